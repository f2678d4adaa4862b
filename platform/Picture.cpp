#include "platform/Picture.h"

#include "platform/Surface.h"

#include <algorithm>
#include <climits>
#include <vector>

Picture::Picture(QImage pixels, int himetricWidth, int himetricHeight)
    : m_pixels(pixels.format() == QImage::Format_RGB32 ? std::move(pixels)
                                                       : pixels.convertToFormat(QImage::Format_RGB32)),
      m_himetricWidth(himetricWidth), m_himetricHeight(himetricHeight)
{}

Picture::Picture(QImage pixels, int himetricWidth, int himetricHeight, std::vector<float> values,
                 QHash<QString, QString> keywords, QStringList setAside)
    : Picture(std::move(pixels), himetricWidth, himetricHeight)
{
    m_values = std::move(values);
    m_keywords = std::move(keywords);
    m_setAside = std::move(setAside);
}

qsizetype Picture::byteCount() const
{
    return m_pixels.sizeInBytes() + qsizetype(m_values.size() * sizeof(float));
}

namespace {

// Floor of n / d for d > 0, kept within long long (anything that far out is off the picture).
inline long long floorDiv(__int128 n, __int128 d)
{
    __int128 q = n / d;
    if (n % d != 0 && n < 0)
        --q;
    return static_cast<long long>(std::clamp<__int128>(q, LLONG_MIN, LLONG_MAX));
}

// The picture pixel under the centre of destination pixel i of a span `count` pixels long that
// shows the picture coordinates from `start` on over `extent` (both in HIMETRIC, along an axis
// of `himetric` units and `pixels` pixels): floor((start + (i + 0.5) * extent / count) * pixels /
// himetric). Exact integers: in floating point the scale factors drift by an ulp, and centres
// that fall exactly on a pixel edge (every other one at zoom 0.5 or 1.5) then land on either side.
inline long long sourceIndex(long long start, long long extent, long long count, long long i,
                             long long pixels, long long himetric)
{
    const __int128 numerator = (__int128(2) * count * start + __int128(2 * i + 1) * extent) * pixels;
    return floorDiv(numerator, __int128(2) * count * himetric);
}

} // namespace

bool Picture::render(Surface& target, int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY,
                     int srcWidth, int srcHeight) const
{
    if (m_pixels.isNull() || srcWidth == 0 || srcHeight == 0 || m_himetricWidth <= 0 || m_himetricHeight <= 0)
        return false;
    // Destination extent as 64-bit values: zoomed sizes may be far beyond the surface.
    const long long dstLeft = dstX;
    const long long dstTop = dstY;
    if (dstWidth <= 0 || dstHeight <= 0)
        return true; // nothing to draw

    const int pw = m_pixels.width();
    const int ph = m_pixels.height();
    // HIMETRIC y runs upward from the bottom edge; picture rows run down from the top. Measured
    // down from the top edge, the source starts at height - srcY and extends by -srcHeight.
    const long long fromTop = static_cast<long long>(m_himetricHeight) - srcY;

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
        const long long sx = sourceIndex(srcX, srcWidth, dstWidth, x - dstLeft, pw, m_himetricWidth);
        columns[size_t(x - clipLeft)] = (sx >= 0 && sx < pw) ? int(sx) : -1;
    }
    // The mapping is monotonic, so the columns on the picture are one run.
    size_t first = 0;
    while (first < columns.size() && columns[first] < 0)
        ++first;
    size_t end = first;
    while (end < columns.size() && columns[end] >= 0)
        ++end;
    if (first == end)
        return true;
    const QRgb* previous = nullptr; // the last row drawn, and the source row it shows
    long long previousSy = -1;
    for (long long y = clipTop; y < clipBottom; ++y) {
        const long long sy = sourceIndex(fromTop, -static_cast<long long>(srcHeight), dstHeight, y - dstTop,
                                         ph, m_himetricHeight);
        if (sy < 0 || sy >= ph)
            continue;
        QRgb* to = target.scanLine(int(y)) + clipLeft;
        if (previous && sy == previousSy) {
            // Enlarged, several rows show the same source row: copy the one already drawn.
            std::copy(previous + first, previous + end, to + first);
        } else {
            const auto* from = reinterpret_cast<const QRgb*>(m_pixels.constScanLine(int(sy)));
            for (size_t i = first; i < end; ++i)
                to[i] = from[columns[i]];
        }
        previous = to;
        previousSy = sy;
    }
    return true;
}
