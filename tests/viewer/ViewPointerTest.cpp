// The pointer on a real view: the position readout, dragging with the left button, the cursor,
// and the right-button menu.
#include "ViewTestSupport.h"

#include "../support/FakeDesktop.h"
#include "../support/ModalScript.h"
#include "platform/CommandIds.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace {

constexpr QRgb black = 0xff000000u;
constexpr QRgb green = 0xff30a050u;

TEST(ViewPointer, ReadoutShowsThePicturePixelAndTheZoom)
{
    ViewHarness h(600, 400); // no picture: the readout works all the same
    CSkyrakeView* view = h.view;
    QTest::mouseMove(view, QPoint(10, 20));
    EXPECT_EQ(h.pane(1), "x=11   y=21");
    EXPECT_EQ(h.pane(2), "100%");

    setZoom(*view, 2.0);
    QTest::mouseMove(view, QPoint(10, 21));
    EXPECT_EQ(h.pane(1), "x=6   y=11"); // 5.5 and 11
    EXPECT_EQ(h.pane(2), "200%");

    setZoom(*view, 1.0);
    moveTo(*view, 100, view->placement().offsetY());
    QTest::mouseMove(view, QPoint(0, 20));
    EXPECT_EQ(h.pane(1), "x=-100   y=21");
}

TEST(ViewPointer, DragMovesThePictureByThePointersDistance)
{
    ViewHarness h(600, 600);
    show(h, solidItem(*h.view, QStringLiteral("a.jpg"), 512, 512, green));
    CSkyrakeView* view = h.view;
    view->OnGrid();
    moveTo(*view, -50, view->placement().offsetY());
    h.panes->setPaneText(Pane::Position, QStringLiteral("before"));

    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(view->placement().dragging());
    EXPECT_EQ(view->cursor().shape(), Qt::BitmapCursor);
    EXPECT_FALSE(view->cursor().pixmap().isNull()); // the hand, from the resources
    EXPECT_EQ(view->cursor().hotSpot(), QPoint(0, 0));

    QTest::mouseMove(view, QPoint(130, 90));
    EXPECT_EQ(view->placement().offsetX(), -20);
    EXPECT_EQ(view->placement().offsetY(), -10);
    EXPECT_EQ(h.pane(1), "before"); // no readout while dragging
    const QImage image = view->grab().toImage();
    EXPECT_EQ(image.pixel(491, 200), green);
    EXPECT_EQ(image.pixel(492, 200), black);
    EXPECT_EQ(image.pixel(200, 501), green);
    EXPECT_EQ(image.pixel(200, 502), black);

    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(130, 90));
    EXPECT_FALSE(view->placement().dragging());
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(view->placement().offsetX(), -20);
    EXPECT_EQ(view->placement().offsetY(), -10);

    // A second drag starts from where the first ended.
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseMove(view, QPoint(290, 310));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(290, 310));
    EXPECT_EQ(view->placement().offsetX(), -30);
    EXPECT_EQ(view->placement().offsetY(), 0);
}

TEST(ViewPointer, ADragEndsWhenTheButtonComesUpOutsideTheView)
{
    ViewHarness h(600, 400);
    show(h, solidItem(*h.view, QStringLiteral("a.jpg"), 512, 512, green));
    CSkyrakeView* view = h.view;

    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(view, QPoint(120, 100));
    ASSERT_EQ(view->placement().offsetX(), 20);
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(-40, 500));
    EXPECT_FALSE(view->placement().dragging());
    QTest::mouseMove(view, QPoint(200, 200));
    EXPECT_EQ(view->placement().offsetX(), 20); // the picture no longer follows
    EXPECT_EQ(view->placement().offsetY(), 0);
    EXPECT_EQ(h.pane(1), "x=181   y=201");

    // A release the view never saw: the first move without the button ends the drag.
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(150, 150), view->mapToGlobal(QPointF(150, 150)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
    EXPECT_FALSE(view->placement().dragging());
    EXPECT_EQ(view->placement().offsetX(), 20);
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
}

TEST(ViewPointer, WithoutAPictureADragMovesNothing)
{
    ViewHarness h(600, 400);
    CSkyrakeView* view = h.view;
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(view, QPoint(150, 160));
    EXPECT_EQ(view->placement().offsetX(), 0);
    EXPECT_EQ(view->placement().offsetY(), 0);
    EXPECT_EQ(h.pane(1), "x=151   y=161");
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(150, 160));
    EXPECT_FALSE(view->placement().dragging());
}

TEST(ViewPointer, ADoubleClickLeavesThePictureWhereItIs)
{
    ViewHarness h(600, 400);
    show(h, solidItem(*h.view, QStringLiteral("a.jpg"), 512, 512, green));
    CSkyrakeView* view = h.view;
    moveTo(*view, -30, view->placement().offsetY());
    ModalScript script; // the double-click offers a report line: decline it
    script.then([](QWidget* dialog) { dialog->close(); });
    script.run([view] {
        QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(200, 200));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(200, 200));
    });
    QTest::mouseMove(view, QPoint(210, 200));
    EXPECT_FALSE(view->placement().dragging());
    EXPECT_EQ(view->placement().offsetX(), -30);
    EXPECT_EQ(view->placement().offsetY(), 0);
}

} // namespace
