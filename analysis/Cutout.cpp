#include "analysis/Cutout.h"

#include "analysis/search/MoverSearch.h"
#include "platform/Picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Ticks: crop pixels between a tick and the middle pixel, and a tick's length.
constexpr int tickGap = 4;
constexpr int tickLength = 3;
const QRgb tickColour = qRgb(255, 170, 0);

} // namespace

QImage cutout(const Picture& picture, QPointF at)
{
    QImage crop(cutoutSide, cutoutSide, QImage::Format_RGB32);
    crop.fill(Qt::black);
    if (!std::isfinite(at.x()) || !std::isfinite(at.y()))
        return crop;
    // Far outside any picture the square is black anyway; the limit keeps the sums in range.
    constexpr double far = 1e6;
    const QRect square(int(std::floor(std::clamp(at.x(), -far, far))) - cutoutSide / 2,
                       int(std::floor(std::clamp(at.y(), -far, far))) - cutoutSide / 2, cutoutSide,
                       cutoutSide);
    const QRect inside = square & picture.pixels().rect();
    if (inside.isEmpty())
        return crop;
    const QImage part = picture.pixels().copy(inside).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < part.height(); ++y)
        std::memcpy(crop.scanLine(inside.top() - square.top() + y) + 4 * (inside.left() - square.left()),
                    part.constScanLine(y), size_t(part.width()) * 4);
    return crop;
}

std::vector<QImage> cutouts(std::span<const CutoutFrame> frames, const Candidate& candidate)
{
    std::vector<QImage> crops;
    for (size_t i = 0; i < frames.size() && i < candidate.positions.size(); ++i)
        crops.push_back(frames[i].picture ? cutout(*frames[i].picture, candidate.positions[i]) : QImage());
    return crops;
}

QImage enlargedCutout(const QImage& crop, int scale)
{
    scale = std::max(scale, 1);
    QImage big = crop.convertToFormat(QImage::Format_RGB32)
                     .scaled(crop.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    // Each tick is a bar across the middle pixel's row or column, half a picture pixel thick.
    const int thick = std::max(1, scale / 2);
    const int length = tickLength * scale;
    const auto across = [&](int middle) { return middle * scale + (scale - thick) / 2; };
    // Left and top ticks end at nearEnd, right and bottom ones start at farStart.
    const auto nearEnd = [&](int middle) { return (middle - tickGap) * scale; };
    const auto farStart = [&](int middle) { return (middle + 1 + tickGap) * scale; };
    const int x = crop.width() / 2;
    const int y = crop.height() / 2;
    const QRect ticks[] = {{nearEnd(x) - length, across(y), length, thick},
                           {farStart(x), across(y), length, thick},
                           {across(x), nearEnd(y) - length, thick, length},
                           {across(x), farStart(y), thick, length}};
    for (const QRect& tick : ticks) {
        const QRect inside = tick & big.rect();
        for (int row = inside.top(); row <= inside.bottom(); ++row)
            std::fill_n(reinterpret_cast<QRgb*>(big.scanLine(row)) + inside.left(), inside.width(),
                        tickColour);
    }
    return big;
}
