#include "platform/Himetric.h"
#include "platform/Picture.h"
#include "platform/Surface.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr int dpi = 96;
constexpr QRgb background = 0xff0000ff; // a colour no test picture contains

// Names picture pixel (x, y) by its colour: the low bytes in red and green, the high bits in blue.
QRgb at(int x, int y)
{
    return qRgb(x & 0xff, y & 0xff, (x >> 8) | ((y >> 8) << 4));
}

// A picture whose every pixel names its source, so every drawn pixel says where it came from.
Picture makePicture(int width, int height)
{
    QImage pixels(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.setPixel(x, y, at(x, y));
    return Picture(pixels, pixelsToHimetric(width, dpi), pixelsToHimetric(height, dpi));
}

Surface blank(int width, int height)
{
    Surface surface(width, height);
    surface.fill(surface.rect(), background);
    return surface;
}

// Renders the whole picture upright, as the view does, at its displayed size for `zoom`.
bool renderWhole(const Picture& picture, Surface& target, int x, int y, double zoom)
{
    const int w = displayedSize(dpi, picture.himetricWidth(), zoom);
    const int h = displayedSize(dpi, picture.himetricHeight(), zoom);
    return picture.render(target, x, y, w, h, 0, picture.himetricHeight(), picture.himetricWidth(),
                          -picture.himetricHeight());
}

// The source pixel under the centre of destination pixel i of a span `drawn` pixels wide that
// shows `pixels` picture pixels: floor((i + 0.5) * pixels / drawn), in exact integers.
int sampled(long long i, long long pixels, long long drawn)
{
    return int((2 * i + 1) * pixels / (2 * drawn));
}

} // namespace

TEST(PictureRender, AtZoomOneIsAnExactCopy)
{
    const Picture picture = makePicture(37, 23);
    Surface target = blank(50, 30);
    ASSERT_TRUE(renderWhole(picture, target, 5, 4, 1.0));
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 50; ++x) {
            const bool on = x >= 5 && x < 42 && y >= 4 && y < 27;
            ASSERT_EQ(target.pixel(x, y), on ? qRgb(x - 5, y - 4, 0) : background) << x << "," << y;
        }
    }
}

TEST(PictureRender, ScalesByNearestNeighbourAtPixelCentres)
{
    // Zooms whose pixel centres fall exactly on source pixel edges (0.5, 1.5, 0.75) catch
    // rounding drift in the scale factor: every column must still take the pixel right of the edge.
    for (const double zoom : {0.25, 0.5, 0.75, 1.25, 1.5, 2.0, 3.0, 7.0}) {
        for (const QSize size : {QSize(40, 30), QSize(255, 97), QSize(64, 64)}) {
            const Picture picture = makePicture(size.width(), size.height());
            const int w = displayedSize(dpi, picture.himetricWidth(), zoom);
            const int h = displayedSize(dpi, picture.himetricHeight(), zoom);
            ASSERT_EQ(w, int(size.width() * zoom));
            Surface target = blank(w, h);
            ASSERT_TRUE(renderWhole(picture, target, 0, 0, zoom));
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const QRgb want = qRgb(sampled(x, size.width(), w), sampled(y, size.height(), h), 0);
                    ASSERT_EQ(target.pixel(x, y), want) << "zoom " << zoom << " size " << size.width() << "x"
                                                        << size.height() << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(PictureRender, EveryWidthSamplesTheSameWay)
{
    for (const double zoom : {0.25, 0.5, 0.75, 1.5, 2.5}) {
        for (int width = 1; width <= 1100; ++width) {
            const Picture picture = makePicture(width, 8);
            const int w = displayedSize(dpi, picture.himetricWidth(), zoom);
            const int h = displayedSize(dpi, picture.himetricHeight(), zoom);
            if (w == 0)
                continue;
            Surface target = blank(w, h);
            ASSERT_TRUE(renderWhole(picture, target, 0, 0, zoom));
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(target.pixel(x, 0), at(sampled(x, width, w), sampled(0, 8, h)))
                    << "zoom " << zoom << " width " << width << " at " << x;
        }
    }
}

TEST(PictureRender, NegativeSourceHeightIsUprightAndPositiveIsMirrored)
{
    const Picture picture = makePicture(8, 6);
    Surface upright = blank(8, 6);
    ASSERT_TRUE(picture.render(upright, 0, 0, 8, 6, 0, picture.himetricHeight(), picture.himetricWidth(),
                               -picture.himetricHeight()));
    EXPECT_EQ(upright.pixel(3, 0), qRgb(3, 0, 0));
    EXPECT_EQ(upright.pixel(3, 5), qRgb(3, 5, 0));

    Surface mirrored = blank(8, 6);
    ASSERT_TRUE(
        picture.render(mirrored, 0, 0, 8, 6, 0, 0, picture.himetricWidth(), picture.himetricHeight()));
    EXPECT_EQ(mirrored.pixel(3, 0), qRgb(3, 5, 0));
    EXPECT_EQ(mirrored.pixel(3, 5), qRgb(3, 0, 0));
}

TEST(PictureRender, ClipsToTheSurface)
{
    const Picture picture = makePicture(20, 16);
    for (const double zoom : {1.0, 2.0}) {
        Surface target = blank(12, 10);
        ASSERT_TRUE(renderWhole(picture, target, -7, -5, zoom)); // off the top left
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 12; ++x) {
                const int sx = int((x + 7) / zoom);
                const int sy = int((y + 5) / zoom);
                ASSERT_EQ(target.pixel(x, y), qRgb(sx, sy, 0)) << "zoom " << zoom << " at " << x << "," << y;
            }
        }

        Surface corner = blank(12, 10);
        ASSERT_TRUE(renderWhole(picture, corner, 9, 8, zoom)); // off the bottom right
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x)
                ASSERT_EQ(corner.pixel(x, y),
                          x >= 9 && y >= 8 ? qRgb(int((x - 9) / zoom), int((y - 8) / zoom), 0) : background);

        Surface away = blank(12, 10);
        EXPECT_TRUE(renderWhole(picture, away, 500, -500, zoom)); // wholly outside: nothing drawn
        EXPECT_EQ(away.pixel(0, 0), background);
    }
}

TEST(PictureRender, DrawsNothingBeyondThePicturesExtent)
{
    const Picture picture = makePicture(10, 8);
    const int hw = picture.himetricWidth();
    const int hh = picture.himetricHeight();
    // A source twice the picture's size, starting half a picture left of it, drawn at zoom 1:
    // only the picture's own area shows; the rest keeps what was there.
    Surface target = blank(20, 16);
    ASSERT_TRUE(picture.render(target, 0, 0, 20, 16, -hw / 2, hh, 2 * hw, -2 * hh));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool on = x >= 5 && x < 15 && y < 8;
            ASSERT_EQ(target.pixel(x, y), on ? qRgb(x - 5, y, 0) : background) << x << "," << y;
        }
    }
}

TEST(PictureRender, FailsForAnEmptySource)
{
    const Picture picture = makePicture(10, 8);
    Surface target = blank(10, 8);
    EXPECT_FALSE(
        picture.render(target, 0, 0, 10, 8, 0, picture.himetricHeight(), 0, -picture.himetricHeight()));
    EXPECT_FALSE(
        picture.render(target, 0, 0, 10, 8, 0, picture.himetricHeight(), picture.himetricWidth(), 0));
    EXPECT_EQ(target.pixel(0, 0), background);
}

TEST(PictureRender, HugeDestinationsNeitherOverflowNorTakeLong)
{
    const Picture picture = makePicture(16, 16);
    const int hw = picture.himetricWidth();
    const int hh = picture.himetricHeight();
    constexpr int huge = INT_MAX / 2;

    Surface topLeft = blank(32, 32);
    ASSERT_TRUE(picture.render(topLeft, 0, 0, huge, huge, 0, hh, hw, -hh));
    EXPECT_EQ(topLeft.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(topLeft.pixel(31, 31), qRgb(0, 0, 0));

    // The far corner of the zoomed picture, where offset + size would overflow an int sum.
    Surface bottomRight = blank(32, 32);
    ASSERT_TRUE(picture.render(bottomRight, -(huge - 32), -(huge - 32), huge, huge, 0, hh, hw, -hh));
    EXPECT_EQ(bottomRight.pixel(31, 31), qRgb(15, 15, 0));
    EXPECT_EQ(bottomRight.pixel(0, 0), qRgb(15, 15, 0));

    Surface pastIntMax = blank(32, 32);
    ASSERT_TRUE(picture.render(pastIntMax, 8, 8, INT_MAX, INT_MAX, 0, hh, hw, -hh));
    EXPECT_EQ(pastIntMax.pixel(7, 7), background);
    EXPECT_EQ(pastIntMax.pixel(8, 8), qRgb(0, 0, 0));
}
