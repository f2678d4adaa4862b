#include "platform/Picture.h"

#include "platform/Surface.h"

#include <cmath>
#include <vector>

Picture::Picture(QImage pixels, int himetricWidth, int himetricHeight)
    : m_pixels(pixels.format() == QImage::Format_RGB32 ? std::move(pixels)
                                                         : pixels.convertToFormat(QImage::Format_RGB32)),
      m_himetricWidth(himetricWidth), m_himetricHeight(himetricHeight)
{
}

namespace {

// Maps destination index i (0-based within a span of `count` pixels starting at source
// coordinate `start` and covering `extent` source pixels) to the source pixel under the
// destination pixel's centre.
inline long long sourceIndex(double start, double extent, long long count, long long i)
{
    return static_cast<long long>(std::floor(start + (double(i) + 0.5) * extent / double(count)));
}

} // namespace

bool Picture::render(Surface& target, int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY,
                     int srcWidth, int srcHeight) const
{
    if (m_pixels.isNull() || srcWidth == 0 || srcHeight == 0 || m_himetricWidth <= 0 ||
        m_himetricHeight <= 0)
        return false;
    // Destination extent as 64-bit values: zoomed sizes may be far beyond the surface.
    const long long dstLeft = dstX;
    const long long dstTop = dstY;
    if (dstWidth <= 0 || dstHeight <= 0)
        return true; // nothing to draw

    const int pw = m_pixels.width();
    const int ph = m_pixels.height();
    // Source rectangle in picture pixels: x from the left edge, y from the top edge.
    const double pxPerHimX = double(pw) / double(m_himetricWidth);
    const double pxPerHimY = double(ph) / double(m_himetricHeight);
    const double sx0 = double(srcX) * pxPerHimX;
    const double sxExtent = double(srcWidth) * pxPerHimX;
    const double sy0 = double(m_himetricHeight - srcY) * pxPerHimY;
    const double syExtent = -double(srcHeight) * pxPerHimY;

    const long long clipLeft = std::max<long long>(dstLeft, 0);
    const long long clipTop = std::max<long long>(dstTop, 0);
    const long long clipRight = std::min<long long>(dstLeft + dstWidth, target.width());
    const long long clipBottom = std::min<long long>(dstTop + dstHeight, target.height());
    if (clipLeft >= clipRight || clipTop >= clipBottom)
        return true;

    const bool exactCopy = dstWidth == pw && dstHeight == ph && srcX == 0 && srcWidth == m_himetricWidth &&
                           srcY == m_himetricHeight && srcHeight == -m_himetricHeight;
    if (exactCopy) {
        const int cols = int(clipRight - clipLeft);
        const int fromX = int(clipLeft - dstLeft);
        for (long long y = clipTop; y < clipBottom; ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(m_pixels.constScanLine(int(y - dstTop))) + fromX;
            std::copy(from, from + cols, target.scanLine(int(y)) + clipLeft);
        }
        return true;
    }

    // Column map for the visible columns; -1 marks a column beyond the picture.
    std::vector<int> columns(size_t(clipRight - clipLeft));
    for (long long x = clipLeft; x < clipRight; ++x) {
        const long long sx = sourceIndex(sx0, sxExtent, dstWidth, x - dstLeft);
        columns[size_t(x - clipLeft)] = (sx >= 0 && sx < pw) ? int(sx) : -1;
    }
    for (long long y = clipTop; y < clipBottom; ++y) {
        const long long sy = sourceIndex(sy0, syExtent, dstHeight, y - dstTop);
        if (sy < 0 || sy >= ph)
            continue;
        const auto* from = reinterpret_cast<const QRgb*>(m_pixels.constScanLine(int(sy)));
        QRgb* to = target.scanLine(int(y)) + clipLeft;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (columns[i] >= 0)
                to[i] = from[columns[i]];
        }
    }
    return true;
}
