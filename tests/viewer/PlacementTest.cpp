// The placement model without a widget: the pan rules and steps, zoom, the initial position,
// dragging and the window-to-picture mapping.
#include "viewer/Placement.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

Placement at(int offsetX, int offsetY, int width = 512, int height = 512)
{
    Placement placement;
    placement.moveTo(offsetX, offsetY);
    placement.setDisplayedSize(width, height);
    return placement;
}

struct PanCase
{
    int offsetX, offsetY, width, height; // placement, window pixels
    bool left, right, up, down;          // the rules in a 600 x 400 client
};

TEST(Placement, PanRulesFollowTheEdgesAndAThirdOfTheClient)
{
    const PanCase cases[] = {
        {0, 0, 512, 512, true, true, true, true},         // at the corner
        {1, 1, 512, 512, false, true, false, true},       // right of and below the client's edge
        {-312, -379, 512, 512, true, false, true, false}, // 512 - 200 - 312 = 0, 512 - 133 - 379 = 0
        {-311, -380, 512, 512, true, true, true, false},  // one pixel more of the picture to the right
        {0, 0, 200, 133, true, false, true, false},       // a picture no larger than a step
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, true, false, true, false}, // no overflow
    };
    for (const PanCase& c : cases) {
        const Placement p = at(c.offsetX, c.offsetY, c.width, c.height);
        EXPECT_EQ(p.canPanLeft(), c.left) << c.offsetX;
        EXPECT_EQ(p.canPanRight(600), c.right) << c.offsetX;
        EXPECT_EQ(p.canPanUp(), c.up) << c.offsetY;
        EXPECT_EQ(p.canPanDown(400), c.down) << c.offsetY;
    }
}

TEST(Placement, PansStepByAThirdAndZoomKeepsTheCorner)
{
    Placement p = at(0, 0);
    p.panLeft(600);
    p.panUp(400);
    EXPECT_EQ(p, at(200, 133));
    p.panRight(600);
    p.panRight(600);
    p.panDown(400);
    EXPECT_EQ(p, at(-200, 0));
    p.panLeft(2); // a two-pixel client steps by nothing
    EXPECT_EQ(p.offsetX(), -200);

    p.zoomIn();
    p.zoomIn();
    p.zoomIn();
    EXPECT_EQ(p.zoom(), 3.375);
    EXPECT_EQ(p.offsetX(), -200);
    for (int i = 0; i < 3; ++i)
        p.zoomOut();
    EXPECT_EQ(p.zoom(), 1.0); // each 1.5 x 2/3 pair is exact
    p.toInitialPosition();
    EXPECT_EQ(p, at(0, 0));
}

TEST(Placement, DragFollowsThePointerFromWhereItStartedAndStaysWithinInt)
{
    Placement p = at(-50, 0);
    p.beginDrag({100, 100});
    EXPECT_TRUE(p.dragging());
    p.dragTo({130, 90});
    EXPECT_EQ(p.offsetX(), -20);
    EXPECT_EQ(p.offsetY(), -10);
    p.dragTo({120, 100}); // from the start, not from the last move
    EXPECT_EQ(p.offsetX(), -30);
    EXPECT_EQ(p.offsetY(), 0);
    p.endDrag();
    EXPECT_FALSE(p.dragging());

    Placement far = at(INT_MAX - 5, INT_MIN + 5);
    far.beginDrag({INT_MIN, INT_MAX});
    far.dragTo({INT_MAX, INT_MIN});
    EXPECT_EQ(far.offsetX(), INT_MAX);
    EXPECT_EQ(far.offsetY(), INT_MIN);
}

TEST(Placement, PicturePositionsAndTheShownPart)
{
    Placement p = at(100, -20, 300, 200);
    EXPECT_DOUBLE_EQ(p.pictureX(100), 0.5); // the first column's left edge
    EXPECT_DOUBLE_EQ(p.pictureY(0), 20.5);
    p.setZoom(2.0);
    EXPECT_DOUBLE_EQ(p.pictureX(111), 6.0);
    EXPECT_EQ(p.shownPart(QRect(0, 0, 600, 400)), QRect(100, 0, 300, 180));
    EXPECT_TRUE(at(600, 0).shownPart(QRect(0, 0, 600, 400)).isEmpty());
}

} // namespace
