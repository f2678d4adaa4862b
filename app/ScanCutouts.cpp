#include "app/ScanCutouts.h"

#include "analysis/search/MoverSearch.h"
#include "pictures/GifAnimation.h"

#include <QDir>
#include <QSaveFile>

#include <cstdio>

namespace {

void printError(const QString& text)
{
    std::fprintf(stderr, "skyrake: %s\n", text.toLocal8Bit().constData());
}

} // namespace

bool writeCutoutGifs(const QString& dir, std::span<const CutoutFrame> frames,
                     std::span<const Candidate> candidates, const QString& stem, int first)
{
    if (!QDir().mkpath(dir)) {
        printError(QStringLiteral("cannot create the folder %1").arg(dir));
        return false;
    }
    bool written = true;
    for (size_t n = 0; n < candidates.size(); ++n) {
        std::vector<QImage> enlarged;
        for (const QImage& crop : cutouts(frames, candidates[n]))
            enlarged.push_back(enlargedCutout(crop, cutoutGifEnlargement));
        const QString path = QDir(dir).filePath(QStringLiteral("%1-%2.gif").arg(stem).arg(int(n) + first));
        const QByteArray gif = encodeGif(enlarged, cutoutGifDelay);
        if (gif.isEmpty()) {
            printError(QStringLiteral("cannot make %1: the frames have no cutouts").arg(path));
            written = false;
            continue;
        }
        // Whole or not at all: a script that finds the file may read it.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(gif) != gif.size() || !file.commit()) {
            printError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
            written = false;
        }
    }
    return written;
}
