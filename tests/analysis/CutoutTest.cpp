// Cutouts around a candidate: the right picture pixels, black beyond the edges, and the ticks of
// the enlarged cutout clear of the candidate.
#include "analysis/Cutout.h"
#include "analysis/search/MoverSearch.h"
#include "platform/Picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A 100 x 80 picture whose pixel (x, y) has red x and green y.
Picture coordinatePicture()
{
    QImage pixels(100, 80, QImage::Format_RGB32);
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            pixels.setPixel(x, y, qRgb(x, y, 7));
    return Picture(pixels, 2646, 2117);
}

TEST(Cutout, TakesTheSquareAroundThePlaceAndBlackBeyondThePicture)
{
    const Picture picture = coordinatePicture();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        QPointF at;
        QPoint middle; // the picture pixel at the cutout's (32, 32); far off for none
    } cases[] = {
        {{50.5, 40.5}, {50, 40}}, {{50.99, 40.01}, {50, 40}}, {{2.5, 3.5}, {2, 3}},
        {{99.5, 79.5}, {99, 79}}, {{-0.5, 0.5}, {-1, 0}},     {{-1000, 5}, {-1000, 5}},
        {{nan, 5}, {-100000, 0}},
    };
    for (const Case& c : cases) {
        const QImage crop = cutout(picture, c.at);
        ASSERT_EQ(crop.size(), QSize(cutoutSide, cutoutSide));
        int wrong = 0;
        for (int y = 0; y < cutoutSide; ++y)
            for (int x = 0; x < cutoutSide; ++x) {
                const QPoint from = c.middle + QPoint(x - 32, y - 32);
                const QRgb expected =
                    picture.pixels().rect().contains(from) ? qRgb(from.x(), from.y(), 7) : qRgb(0, 0, 0);
                wrong += crop.pixel(x, y) != expected;
            }
        EXPECT_EQ(wrong, 0) << c.at.x() << ", " << c.at.y();
    }

    // One per frame, as far as both go.
    Candidate candidate;
    candidate.positions = {{10.5, 10.5}, {20.5, 10.5}, {30.5, 10.5}};
    const CutoutFrame frames[] = {{&picture, "a"}, {&picture, "b"}};
    const std::vector<QImage> crops = cutouts(frames, candidate);
    ASSERT_EQ(crops.size(), 2u);
    EXPECT_EQ(crops[1].pixel(32, 32), qRgb(20, 10, 7));
}

TEST(Cutout, EnlargedEachPixelASquareWithTicksClearOfTheMiddle)
{
    const QImage crop = cutout(coordinatePicture(), {50.5, 40.5});
    const int scale = 4;
    const QImage big = enlargedCutout(crop, scale);
    ASSERT_EQ(big.size(), crop.size() * scale);
    int ticked = 0;
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x) {
            const QPoint pixel(x / scale, y / scale);
            if (big.pixel(x, y) == crop.pixel(pixel))
                continue;
            ++ticked;
            // The candidate and the pixels around it (up to the ticks' gap) stay uncovered.
            EXPECT_GT((pixel - QPoint(32, 32)).manhattanLength(), 4) << x << ", " << y;
        }
    EXPECT_GT(ticked, 0);
}

} // namespace
