#include "model/OpenFrames.h"

#include "analysis/FrameSet.h"
#include "analysis/sky/EarthEclipse.h"
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

QStringList appendArranged(SkyrakeWork& work, const QStringList& paths, int dpiX, int dpiY)
{
    QStringList notes;
    std::vector<std::unique_ptr<CPictureItem>> items;
    std::vector<FrameFacts> facts;
    DecodeAhead decoder(paths, dpiX, dpiY);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        LoadResult loaded = decoder.take(i, paths.size());
        if (!loaded) {
            notes << QStringLiteral("%1: %2").arg(paths[i], QLatin1String(loadFailureText(loaded.failure())));
            continue;
        }
        auto item = std::make_unique<CPictureItem>(std::move(loaded->picture), loaded->name, paths[i]);
        for (const QString& card : item->m_pPicture->setAside())
            notes << QStringLiteral("%1: header card set aside: %2").arg(item->m_name, card);
        const QSize size = item->m_pPicture->decoded().size();
        const bool eclipsed = eclipsedByEarth(*item);
        facts.push_back({item->m_name, item->m_facts, size, eclipsed});
        items.push_back(std::move(item));
    }
    const FrameSet set = arrangeFrames(facts);
    for (const int i : set.kept)
        work.appendPicture(std::move(items[size_t(i)]));
    return notes + set.left;
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
