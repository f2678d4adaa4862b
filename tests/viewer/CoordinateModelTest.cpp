// The coordinate model without a widget: picture positions and the texts of panes 1 and 2, the
// zoom factors the commands reach, and the grid's geometry.
#include "viewer/CoordinateModel.h"
#include "analysis/Geometry.h"
#include "platform/Himetric.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

struct Readout
{
    int x, y; // client point
    int offsetX, offsetY;
    double zoom;
    const char* text; // pane 1
};

TEST(CoordinateModel, ReadoutIsTheOneBasedPixelRoundedHalfAwayFromZero)
{
    const Readout cases[] = {
        {10, 20, 0, 0, 1.0, "x=11   y=21"},
        {0, 0, 0, 0, 1.0, "x=1   y=1"},         // the picture's top-left pixel
        {10, 20, 0, 0, 2.0, "x=6   y=11"},      // 5.5 and 10.5
        {0, 5, 100, 0, 1.0, "x=-100   y=6"},    // -99.5
        {99, 99, 100, 100, 1.0, "x=-1   y=-1"}, // -0.5
        {-5, 0, -10, 0, 1.0, "x=6   y=1"},
        {100, 100, 0, 0, 1.5 * 1.5 * 1.5, "x=30   y=30"}, // 29.6...
    };
    for (const Readout& c : cases) {
        const QString text =
            positionText(toPicture(c.x, c.offsetX, c.zoom), toPicture(c.y, c.offsetY, c.zoom));
        EXPECT_EQ(text, QString::fromUtf8(c.text)) << c.x << "," << c.y << " zoom " << c.zoom;
    }
}

TEST(CoordinateModel, ReadoutSubtractsWithoutOverflow)
{
    // A client point far right of a picture dragged far left: the distance exceeds int.
    EXPECT_DOUBLE_EQ(toPicture(INT_MAX, INT_MIN, 1.0), double(INT_MAX) - double(INT_MIN) + 0.5);
    EXPECT_DOUBLE_EQ(toPicture(INT_MIN, INT_MAX, 1.0), double(INT_MIN) - double(INT_MAX) + 0.5);
}

TEST(CoordinateModel, ZoomTextAfterTheCommandsFactors)
{
    double zoom = 1.0;
    EXPECT_EQ(zoomText(zoom), "100%");
    zoom *= 1.5;
    EXPECT_EQ(zoomText(zoom), "150%");
    zoom *= 1.5;
    zoom *= 1.5;
    EXPECT_EQ(zoom, 3.375);
    EXPECT_EQ(zoomText(zoom), "338%"); // 337.5, the half away from zero
    EXPECT_EQ(zoomText(0.6666666666666666), "67%");
    EXPECT_EQ(1.0 * 1.5 * 0.6666666666666666, 1.0);
}

TEST(CoordinateModel, ZoomTextSurvivesDegenerateZooms)
{
    EXPECT_EQ(zoomText(0.0), "0%");
    EXPECT_EQ(zoomText(std::numeric_limits<double>::infinity()), "inf%");
}

TEST(CoordinateModel, DisplayedSizeTruncatesAndStaysWithinInt)
{
    EXPECT_EQ(displayedSize(96, 27093, 1.0), 1023); // 1023.987...
    EXPECT_EQ(displayedSize(96, 27094, 1.0), 1024);
    EXPECT_EQ(displayedSize(96, 27094, 1e300), INT_MAX);
    EXPECT_EQ(displayedSize(96, 27094, std::numeric_limits<double>::infinity()), INT_MAX);
    EXPECT_EQ(displayedSize(96, 27094, 0.0), 0);
    EXPECT_EQ(displayedSize(96, 0, std::numeric_limits<double>::infinity()), 0); // 0 x inf is NaN
}

TEST(GridGeometry, StepIsTheWholePartOfZoomTimesHundred)
{
    EXPECT_EQ(gridStep(1.0), 100);
    EXPECT_EQ(gridStep(0.6666666666666666), 66);
    EXPECT_EQ(gridStep(3.375), 337);
    EXPECT_EQ(gridStep(0.007707346629258935), 0);
    EXPECT_EQ(gridStep(1e300), INT_MAX);
    EXPECT_EQ(gridStep(std::numeric_limits<double>::infinity()), INT_MAX);
    EXPECT_EQ(gridStep(std::nan("")), 0);
}

TEST(GridGeometry, FirstLineIsTheFirstAtOrRightOfTheClientEdge)
{
    const auto fromLeft = gridLines(-250, 100, 600);
    ASSERT_FALSE(fromLeft.empty());
    EXPECT_EQ(fromLeft.front().position, 50);
    EXPECT_EQ(fromLeft.front().label, 300);
    EXPECT_EQ(fromLeft.back().position, 550);
    EXPECT_EQ(fromLeft.size(), 6u);

    // A line exactly on the edge counts; the picture edge inside the window carries label 0.
    EXPECT_EQ(gridLines(-200, 100, 600).front().position, 0);
    EXPECT_EQ(gridLines(-200, 100, 600).front().label, 200);
    EXPECT_EQ(gridLines(30, 100, 600).front().position, 30);
    EXPECT_EQ(gridLines(30, 100, 600).front().label, 0);

    // Nothing when the picture's edge lies at or beyond the far client edge.
    EXPECT_TRUE(gridLines(600, 100, 600).empty());
}

TEST(GridGeometry, TwoThirdsZoomPutsLineTenAt660LabelledThousand)
{
    const auto lines = gridLines(0, gridStep(0.6666666666666666), 700);
    ASSERT_GE(lines.size(), 11u);
    EXPECT_EQ(lines[10].position, 660);
    EXPECT_EQ(lines[10].label, 1000);
    EXPECT_EQ(lines.back().position, 660); // 726 is past the client edge
}

TEST(GridGeometry, NoLinesBelowOnePixelAndNoOverflowAtTheExtremes)
{
    EXPECT_TRUE(gridLines(0, 0, 600).empty());
    EXPECT_TRUE(gridLines(-5, 0, 600).empty());

    // The largest step: one line at most, even with the picture's edge far off to the left.
    EXPECT_TRUE(gridLines(-5, INT_MAX, 600).empty());
    ASSERT_EQ(gridLines(0, INT_MAX, 600).size(), 1u);

    // The picture's edge at the far negative end: labels beyond int, positions still exact.
    const auto far = gridLines(INT_MIN, 1, 3);
    ASSERT_EQ(far.size(), 3u);
    EXPECT_EQ(far[0].position, 0);
    EXPECT_EQ(far[0].label, -static_cast<long long>(INT_MIN) * 100);
    EXPECT_EQ(far[2].position, 2);
}

} // namespace

// The picture's rectangle on the client, clipped: a zoomed picture may reach far past int range,
// and what lies around it must tile the client exactly.
TEST(CoordinateModel, VisiblePartAndItsSurroundTileTheClient)
{
    const QRect client(0, 0, 600, 400);
    EXPECT_EQ(visiblePart(client, -50, 20, 200, 100), QRect(0, 20, 150, 100));
    EXPECT_EQ(visiblePart(client, 100, 100, INT_MAX, INT_MAX), QRect(100, 100, 500, 300));
    EXPECT_EQ(visiblePart(client, INT_MIN, INT_MIN, INT_MAX, INT_MAX), QRect());
    EXPECT_TRUE(visiblePart(client, 600, 0, 10, 10).isEmpty());

    const QRect hole(100, 50, 200, 100);
    long long area = 0;
    for (const QRect& part : around(client, hole)) {
        EXPECT_FALSE(part.intersects(hole));
        EXPECT_TRUE(client.contains(part));
        area += static_cast<long long>(part.width()) * part.height();
    }
    EXPECT_EQ(area, 600ll * 400 - 200ll * 100);
    ASSERT_EQ(around(client, QRect()).size(), 1u);
    EXPECT_EQ(around(client, QRect()).front(), client);
}
