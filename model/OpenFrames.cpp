#include "model/OpenFrames.h"

#include "pictures/DecodeAhead.h"

std::vector<int> appendFrames(SkyrakeWork& work, const QStringList& paths, int dpiX, int dpiY,
                              QStringList* skipped)
{
    std::vector<int> appended;
    DecodeAhead decoder(paths, dpiX, dpiY);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        LoadResult loaded = decoder.take(i, paths.size());
        if (!loaded) {
            if (skipped)
                *skipped << QStringLiteral("%1: %2").arg(paths[i],
                                                         QLatin1String(loadFailureText(loaded.failure())));
            continue;
        }
        work.appendPicture(
            std::make_unique<CPictureItem>(std::move(loaded->picture), loaded->name, paths[i]));
        appended.push_back(int(i));
    }
    return appended;
}

QStringList keepFrames(SkyrakeWork& work, const QStringList& paths, int dpiX, int dpiY)
{
    QStringList present;
    for (int i = int(work.pictures().GetCount()) - 1; i >= 0; --i) {
        const QString& path = PictureList::GetAt(work.positionAt(i))->m_pathName;
        if (paths.contains(path))
            present << path;
        else
            work.removePicture(i);
    }
    QStringList missing;
    for (const QString& path : paths) {
        if (!present.contains(path))
            missing << path;
    }
    QStringList skipped;
    appendFrames(work, missing, dpiX, dpiY, &skipped);
    if (!work.hasCurrentPicture())
        work.setCurrentPosition(work.pictures().GetHeadPosition());
    return skipped;
}
