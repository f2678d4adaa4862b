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
    // One row by hand, the others copied from it: memcpy is several times faster than a
    // per-pixel loop over a client-sized surface.
    QRgb* first = scanLine(clipped.top()) + clipped.left();
    std::fill(first, first + clipped.width(), value);
    const size_t bytes = size_t(clipped.width()) * sizeof(QRgb);
    for (int y = clipped.top() + 1; y <= clipped.bottom(); ++y)
        std::memcpy(scanLine(y) + clipped.left(), first, bytes);
}

namespace {

// Four pixels as one value of the compiler's vector extension, the width of an SSE2 register:
// the operations below then compile to whole-register AND, XOR and OR, with no trip through the
// stack.
using Pixels4 = QRgb __attribute__((vector_size(4 * sizeof(QRgb))));

template <typename Op> void combineRows(Surface& destination, const QRect& area, const Surface& source, Op op)
{
    constexpr int block = 8;
    const int width = area.width();
    const int blocked = width - width % block;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb* to = destination.scanLine(y) + area.left();
        const QRgb* from = source.scanLine(y) + area.left();
        for (int x = 0; x < blocked; x += block) {
            // memcpy makes the unaligned loads and stores well defined; it compiles to moves.
            Pixels4 d0, d1, s0, s1;
            std::memcpy(&d0, to + x, sizeof d0);
            std::memcpy(&d1, to + x + 4, sizeof d1);
            std::memcpy(&s0, from + x, sizeof s0);
            std::memcpy(&s1, from + x + 4, sizeof s1);
            d0 = op(d0, s0);
            d1 = op(d1, s1);
            std::memcpy(to + x, &d0, sizeof d0);
            std::memcpy(to + x + 4, &d1, sizeof d1);
        }
        for (int x = blocked; x < width; ++x)
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
        combineRows(destination, clipped, source, [](auto d, auto s) { return d & s; });
        break;
    case RasterOp::Xor:
        combineRows(destination, clipped, source, [](auto d, auto s) { return (d ^ s) | 0xff000000u; });
        break;
    case RasterOp::Or:
        combineRows(destination, clipped, source, [](auto d, auto s) { return d | s; });
        break;
    }
}
