#include "platform/Surface.h"

#include <gtest/gtest.h>

namespace {

// Every pixel of `surface` inside `area` equals `inside`, every other one `outside`.
void expectRegion(const Surface& surface, const QRect& area, QRgb inside, QRgb outside)
{
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            const QRgb want = area.contains(x, y) ? inside : outside;
            ASSERT_EQ(surface.pixel(x, y), want) << "at " << x << "," << y;
        }
    }
}

Surface filled(int width, int height, QRgb colour)
{
    Surface surface(width, height);
    surface.fill(surface.rect(), colour);
    return surface;
}

} // namespace

TEST(Surface, FillKeepsToTheSurface)
{
    Surface surface = filled(8, 6, 0x000000);
    surface.fill(QRect(-3, 4, 6, 10), 0x123456); // over the left and bottom edges
    expectRegion(surface, QRect(0, 4, 3, 2), 0xff123456, 0xff000000);

    surface.fill(QRect(20, 20, 5, 5), 0xffffff); // wholly outside
    surface.fill(QRect(2, 2, 0, 3), 0xffffff);   // empty
    expectRegion(surface, QRect(0, 4, 3, 2), 0xff123456, 0xff000000);
}

TEST(Surface, RasterOpsArePixelExact)
{
    struct Case
    {
        RasterOp op;
        QRgb destination, source, result;
    };
    const Case cases[] = {
        {RasterOp::Copy, 0x303030, 0x383838, 0xff383838}, {RasterOp::Xor, 0x303030, 0x383838, 0xff080808},
        {RasterOp::Xor, 0xabcdef, 0xabcdef, 0xff000000}, // a frame against itself cancels out
        {RasterOp::And, 0xffffff, 0x00ffff, 0xff00ffff}, // cyan clears red only
        {RasterOp::And, 0x80c0e0, 0x00ffff, 0xff00c0e0},  {RasterOp::Or, 0x100000, 0x000204, 0xff100204},
        {RasterOp::Or, 0x000000, 0xff0000, 0xffff0000},
    };
    for (const Case& c : cases) {
        Surface destination = filled(5, 4, c.destination);
        const Surface source = filled(5, 4, c.source);
        blit(destination, destination.rect(), source, c.op);
        expectRegion(destination, destination.rect(), c.result, 0);
        ASSERT_FALSE(HasFatalFailure()) << "op " << int(c.op) << " dst " << std::hex << c.destination;
    }
}

TEST(Surface, RasterOpsClipToBothSurfaces)
{
    for (const RasterOp op : {RasterOp::Copy, RasterOp::And, RasterOp::Xor, RasterOp::Or}) {
        Surface destination = filled(10, 8, 0x0f0f0f);
        const Surface source = filled(6, 12, 0xf0f0f0); // narrower and taller than the destination
        blit(destination, QRect(-4, 2, 40, 40), source, op);
        const QRgb result =
            op == RasterOp::And ? 0xff000000 : 0xfff0f0f0 | (op == RasterOp::Copy ? 0 : 0x0f0f0f);
        expectRegion(destination, QRect(0, 2, 6, 6), result, 0xff0f0f0f);
        ASSERT_FALSE(HasFatalFailure()) << "op " << int(op);

        blit(destination, QRect(7, 0, 3, 3), source, op); // nothing of the source there
        expectRegion(destination, QRect(0, 2, 6, 6), result, 0xff0f0f0f);
    }
}

TEST(Surface, RasterOpsTakeTheSameRectangleOfBoth)
{
    Surface source(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.fill(QRect(x, y, 1, 1), qRgb(x * 10, y * 10, 0));
    Surface destination = filled(4, 4, 0);
    blit(destination, QRect(1, 2, 2, 1), source, RasterOp::Xor);
    EXPECT_EQ(destination.pixel(1, 2), qRgb(10, 20, 0));
    EXPECT_EQ(destination.pixel(2, 2), qRgb(20, 20, 0));
    EXPECT_EQ(destination.pixel(0, 2), qRgb(0, 0, 0));
    EXPECT_EQ(destination.pixel(1, 1), qRgb(0, 0, 0));
}
