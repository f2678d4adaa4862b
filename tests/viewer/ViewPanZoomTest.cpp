// Zoom and the four pan commands on a real view: their steps, their enable rules, the zoom pane,
// and what they do at the extremes and without a current picture.
#include "ViewTestSupport.h"

#include "../support/FakeDesktop.h"
#include "../support/Fixtures.h"
#include "platform/CommandIds.h"

#include <gtest/gtest.h>

#include <QTest>

#include <climits>
#include <limits>

namespace {

constexpr QRgb skyBlue = 0xff3c78c8u;

TEST(ViewPan, LeftAndRightMoveByAThirdOfTheClientWidth)
{
    ViewHarness h(600, 400);
    show(h, solidItem(*h.view, QStringLiteral("a.jpg"), 512, 512, skyBlue));
    CSkyrakeView* view = h.view;

    ASSERT_TRUE(commandState(*view, cmd::PanLeft).enabled());
    ASSERT_TRUE(runCommand(*view, cmd::PanLeft));
    EXPECT_EQ(view->placement().offsetX(), 200);
    EXPECT_FALSE(commandState(*view, cmd::PanLeft).enabled());
    EXPECT_FALSE(runCommand(*view, cmd::PanLeft));
    EXPECT_EQ(view->placement().offsetX(), 200);
    // The picture was drawn again at its new place.
    const QImage shown = view->grab().toImage();
    EXPECT_EQ(shown.pixel(150, 50), 0xff000000u);
    EXPECT_EQ(shown.pixel(250, 50), skyBlue);

    // Right acts while more than one step of the picture would remain right of the left edge.
    for (const int expected : {0, -200, -400}) {
        ASSERT_TRUE(commandState(*view, cmd::PanRight).enabled()) << expected;
        ASSERT_TRUE(runCommand(*view, cmd::PanRight));
        EXPECT_EQ(view->placement().offsetX(), expected);
    }
    EXPECT_FALSE(commandState(*view, cmd::PanRight).enabled()); // 512 - 200 - 400 < 0
    EXPECT_FALSE(runCommand(*view, cmd::PanRight));
    EXPECT_EQ(view->placement().offsetX(), -400);
}

TEST(ViewPan, DownStopsWithLessThanAStepOfThePictureInView)
{
    ViewHarness h(600, 400);
    h.load({fixture(lasco512Jpg)});
    CSkyrakeView* view = h.view;
    ASSERT_EQ(view->placement().imageHeight(), 512);

    for (const int at : {0, -133, -266}) {
        ASSERT_EQ(view->placement().offsetY(), at);
        ASSERT_TRUE(commandState(*view, cmd::PanDown).enabled()) << at;
        ASSERT_TRUE(runCommand(*view, cmd::PanDown));
    }
    EXPECT_EQ(view->placement().offsetY(), -399);
    EXPECT_FALSE(commandState(*view, cmd::PanDown).enabled());
    // Up brings it back a step at a time while the top edge is at or above the window's.
    ASSERT_TRUE(runCommand(*view, cmd::PanUp));
    EXPECT_EQ(view->placement().offsetY(), -266);
}

TEST(ViewPan, ATwoPixelWideClientStepsByNothing)
{
    ViewHarness h(2, 400);
    show(h, solidItem(*h.view, QStringLiteral("a.jpg"), 64, 64, skyBlue));
    CSkyrakeView* view = h.view;
    ASSERT_EQ(view->width(), 2);

    h.panes->setPaneText(Pane::Name, QString());
    ASSERT_TRUE(runCommand(*view, cmd::PanLeft));
    EXPECT_EQ(view->placement().offsetX(), 0);
    EXPECT_TRUE(commandState(*view, cmd::PanLeft).enabled());
    EXPECT_EQ(h.pane(3), "a.jpg"); // rendered again, in place
}

TEST(ViewPan, WithoutACurrentPictureNothingMovesOrRenders)
{
    FakeDesktop desktop;
    ViewHarness h(600, 400);
    CSkyrakeView* view = h.view;
    const auto expectInert = [&](const char* when) {
        h.panes->setPaneText(Pane::Name, QString());
        for (const int id : {cmd::PanLeft, cmd::PanRight, cmd::PanUp, cmd::PanDown})
            EXPECT_FALSE(commandState(*view, id).enabled()) << when << " " << id;
        // Called directly as well: the handlers check for themselves.
        view->OnPanLeft();
        view->OnPanRight();
        view->OnPanUp();
        view->OnPanDown();
        EXPECT_EQ(view->placement().offsetX(), 0) << when;
        EXPECT_EQ(view->placement().offsetY(), 0) << when;
        EXPECT_EQ(h.pane(3), QString()) << when;
        EXPECT_TRUE(desktop.messages.isEmpty()) << when;
    };
    expectInert("before any picture");
    EXPECT_EQ(view->placement().imageWidth(), 0);

    // All pictures deleted: the last displayed size is still there, and must not count.
    show(h, solidItem(*view, QStringLiteral("a.jpg"), 512, 512, skyBlue));
    deleteAllPictures(*view);
    ASSERT_EQ(view->currentIndex(), -1);
    ASSERT_EQ(view->placement().imageWidth(), 512);
    expectInert("after the pictures were deleted");
}

TEST(ViewZoom, FactorsAndTheZoomPane)
{
    ViewHarness h(600, 400);
    show(h, solidItem(*h.view, QStringLiteral("a.jpg"), 100, 100, skyBlue));
    CSkyrakeView* view = h.view;

    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(runCommand(*view, cmd::ZoomIn));
    EXPECT_EQ(view->placement().zoom(), 3.375);
    EXPECT_EQ(h.pane(2), "338%");
    EXPECT_EQ(view->placement().imageWidth(), 337);
    EXPECT_EQ(view->placement().offsetX(), 0); // zoom keeps the top-left corner in place

    for (int i = 0; i < 3; ++i)
        view->OnZoomOut();
    EXPECT_EQ(view->placement().zoom(), 1.0); // each 1.5 x 2/3 pair is exact
    view->OnZoomOut();
    EXPECT_EQ(h.pane(2), "67%");
    EXPECT_EQ(view->placement().imageWidth(), 66);
    view->OnZoomIn();
    EXPECT_EQ(view->placement().zoom(), 1.0);
    EXPECT_EQ(h.pane(2), "100%");
}

TEST(ViewZoom, TwelveZoomOutsDrawNoGrid)
{
    ViewHarness h(600, 400);
    show(h, solidItem(*h.view, QStringLiteral("a.jpg"), 512, 512, skyBlue));
    for (int i = 0; i < 12; ++i)
        h.view->OnZoomOut();
    EXPECT_EQ(h.view->placement().zoom(), 0.007707346629258935);
    const QImage shown = h.view->grab().toImage();
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x)
            ASSERT_NE(shown.pixel(x, y), gridGrey) << x << "," << y;
    }
    // The picture is three pixels wide and tall there.
    EXPECT_EQ(h.view->placement().imageWidth(), 3);
    EXPECT_EQ(shown.pixel(2, 2), skyBlue);
    EXPECT_EQ(shown.pixel(3, 3), 0xff000000u);
}

TEST(ViewZoom, NeedsAPicture)
{
    ViewHarness h(600, 400);
    EXPECT_FALSE(commandState(*h.view, cmd::ZoomIn).enabled());
    EXPECT_FALSE(runCommand(*h.view, cmd::ZoomIn));
    EXPECT_FALSE(runCommand(*h.view, cmd::ZoomOut));
    EXPECT_EQ(h.view->placement().zoom(), 1.0);
    EXPECT_EQ(h.pane(2), QString());
}

TEST(ViewZoom, HundredsOfZoomsEndAndKeepSizesWithinInt)
{
    FakeDesktop desktop;
    ViewHarness h(600, 400);
    show(h, solidItem(*h.view, QStringLiteral("a.jpg"), 64, 64, skyBlue));
    CSkyrakeView* view = h.view;

    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(runCommand(*view, cmd::ZoomIn));
    EXPECT_EQ(view->placement().imageWidth(), INT_MAX);
    EXPECT_EQ(view->grab().toImage().pixel(300, 300), skyBlue); // one pixel fills the window
    // Still usable: pan right, read the position of the top-left pixel.
    ASSERT_TRUE(runCommand(*view, cmd::PanRight));
    EXPECT_EQ(view->placement().offsetX(), -200);
    QTest::mouseMove(view, QPoint(10, 10));
    EXPECT_EQ(h.pane(1), "x=1   y=1");

    // Past the largest double.
    setZoom(*view, std::numeric_limits<double>::max());
    ASSERT_TRUE(runCommand(*view, cmd::ZoomIn));
    EXPECT_EQ(view->placement().imageWidth(), INT_MAX);
    EXPECT_EQ(h.pane(2), "inf%");

    setZoom(*view, 1.0);
    moveTo(*view, 0, view->placement().offsetY());
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(runCommand(*view, cmd::ZoomOut));
    EXPECT_EQ(view->placement().imageWidth(), 0);
    EXPECT_EQ(view->grab().toImage().pixel(0, 0), 0xff000000u); // no picture, no grid
    // The smallest zoom there is (a zoom-out rounds back to it): the readout divides by it.
    setZoom(*view, std::numeric_limits<double>::denorm_min());
    ASSERT_TRUE(runCommand(*view, cmd::ZoomOut));
    EXPECT_GT(view->placement().zoom(), 0.0);
    EXPECT_EQ(h.pane(2), "0%");
    QTest::mouseMove(view, QPoint(20, 20));
    EXPECT_EQ(h.pane(1), "x=inf   y=inf");
    EXPECT_TRUE(desktop.messages.isEmpty());
}

} // namespace
