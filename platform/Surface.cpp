#include "platform/Surface.h"

#include <cstring>

Surface::Surface(int width, int height)
{
    resize(width, height);
}

void Surface::resize(int width, int height)
{
    m_image = QImage(width, height, QImage::Format_RGB32);
}

void Surface::fill(const QRect& area, QRgb colour)
{
    const QRect clipped = area.intersected(rect());
    if (clipped.isEmpty())
        return;
    const QRgb value = colour | 0xff000000u;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        QRgb* line = scanLine(y) + clipped.left();
        std::fill(line, line + clipped.width(), value);
    }
}

namespace {

template <typename Op>
void combineRows(Surface& destination, const QRect& area, const Surface& source, Op op)
{
    const int width = area.width();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb* to = destination.scanLine(y) + area.left();
        const QRgb* from = source.scanLine(y) + area.left();
        for (int x = 0; x < width; ++x)
            to[x] = op(to[x], from[x]);
    }
}

} // namespace

void blit(Surface& destination, const QRect& area, const Surface& source, RasterOp op)
{
    const QRect clipped = area.intersected(destination.rect()).intersected(source.rect());
    if (clipped.isEmpty())
        return;
    // The alpha byte stays 0xff: AND, XOR and OR of two opaque pixels are opaque again once
    // the alpha is forced back, which the loops do with the final OR.
    switch (op) {
    case RasterOp::Copy:
        for (int y = clipped.top(); y <= clipped.bottom(); ++y)
            std::memcpy(destination.scanLine(y) + clipped.left(), source.scanLine(y) + clipped.left(),
                        size_t(clipped.width()) * sizeof(QRgb));
        break;
    case RasterOp::And:
        combineRows(destination, clipped, source, [](QRgb d, QRgb s) { return d & s; });
        break;
    case RasterOp::Xor:
        combineRows(destination, clipped, source, [](QRgb d, QRgb s) { return (d ^ s) | 0xff000000u; });
        break;
    case RasterOp::Or:
        combineRows(destination, clipped, source, [](QRgb d, QRgb s) { return d | s; });
        break;
    }
}
