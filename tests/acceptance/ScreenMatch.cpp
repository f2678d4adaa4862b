#include "ScreenMatch.h"

#include <algorithm>
#include <cstdlib>

namespace {

int grey(QRgb pixel)
{
    return (qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3;
}

bool close(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QRgb at(const QImage& image, int x, int y)
{
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

} // namespace

std::vector<QPoint> informativePixels(const QImage& picture, int wanted)
{
    std::vector<QPoint> sample;
    // A fixed linear congruential walk: scattered, never aligned with the grid lines, and the
    // same from run to run.
    quint32 state = 12345;
    const int tries = wanted * 50;
    for (int i = 0; i < tries && int(sample.size()) < wanted; ++i) {
        state = state * 1664525u + 1013904223u;
        const int x = int((state >> 8) % quint32(picture.width()));
        state = state * 1664525u + 1013904223u;
        const int y = int((state >> 8) % quint32(picture.height()));
        if (grey(at(picture, x, y)) >= 16)
            sample.emplace_back(x, y);
    }
    return sample;
}

double matchScore(const QImage& screen, const QImage& picture, QPoint origin,
                  const std::vector<QPoint>& sample, int tolerance)
{
    if (sample.empty())
        return 0.0;
    int matched = 0;
    for (const QPoint& p : sample) {
        const int sx = origin.x() + p.x();
        const int sy = origin.y() + p.y();
        if (sx < 0 || sy < 0 || sx >= screen.width() || sy >= screen.height())
            continue;
        if (close(at(screen, sx, sy), at(picture, p.x(), p.y()), tolerance))
            ++matched;
    }
    return double(matched) / double(sample.size());
}

Placement findPicture(const QImage& screen, const QImage& picture, const QRect& search)
{
    // A coarse sample finds the place, a dense one measures how well it fits.
    const std::vector<QPoint> coarse = informativePixels(picture, 300);
    Placement best;
    for (int y = search.top(); y <= search.bottom(); ++y) {
        for (int x = search.left(); x <= search.right(); ++x) {
            const double score = matchScore(screen, picture, QPoint(x, y), coarse, 1);
            if (score > best.score)
                best = {QPoint(x, y), score};
        }
    }
    best.score = matchScore(screen, picture, best.at, informativePixels(picture, 20000), 1);
    return best;
}

double meanGrey(const QImage& image, const QRect& area)
{
    const QRect clipped = area & image.rect();
    if (clipped.isEmpty())
        return 0.0;
    double sum = 0.0;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            sum += grey(at(image, x, y));
    }
    return sum / (double(clipped.width()) * double(clipped.height()));
}

int brightestNear(const QImage& image, QPoint centre, int radius)
{
    const QRect area = QRect(centre - QPoint(radius, radius), centre + QPoint(radius, radius)) & image.rect();
    int brightest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            brightest = std::max(brightest, grey(at(image, x, y)));
    }
    return brightest;
}
