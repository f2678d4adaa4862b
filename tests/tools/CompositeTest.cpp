// The difference composite on the window: black where every frame equals the first, lit where
// anything moved, hidden channels zero, and the first picture current afterwards.
#include "../support/FakeDesktop.h"
#include "../support/Fixtures.h"
#include "../support/ViewHarness.h"

#include <gtest/gtest.h>

#include <QPoint>

#include <algorithm>
#include <vector>

namespace {

// Where the synthetic comet sits in frames f0..f3, in picture pixels.
const std::vector<QPoint> cometTrack = {{360, 300}, {352, 294}, {344, 288}, {336, 282}};
// How far from the comet the JPEG frames may differ: the 16 x 16 blocks around it, plus one.
constexpr int jpegBlockReach = 24;

QStringList cometFrames()
{
    QStringList paths;
    for (int i = 0; i < 4; ++i)
        paths << fixture(QStringLiteral("derived/c3_synthetic_comet_f%1.jpg").arg(i));
    return paths;
}

int brightest(const QImage& image, QPoint centre, int radius)
{
    int best = 0;
    for (int y = centre.y() - radius; y <= centre.y() + radius; ++y) {
        for (int x = centre.x() - radius; x <= centre.x() + radius; ++x) {
            const QRgb p = image.pixel(x, y);
            best = std::max({best, qRed(p), qGreen(p), qBlue(p)});
        }
    }
    return best;
}

// Pixels that are not black and lie further than `reach` (in either axis) from every point of
// `track`.
int litAwayFrom(const QImage& image, const std::vector<QPoint>& track, int reach)
{
    int lit = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xffffff) == 0)
                continue;
            const bool near = std::any_of(track.begin(), track.end(), [&](QPoint p) {
                return std::abs(p.x() - x) <= reach && std::abs(p.y() - y) <= reach;
            });
            if (!near)
                ++lit;
        }
    }
    return lit;
}

class Composite : public ::testing::Test
{
protected:
    FakeDesktop desktop;
    ViewHarness harness{600, 400};
    CSkyrakeView* view = harness.view;
};

} // namespace

TEST_F(Composite, IdenticalFramesGiveBlackWithTheGridOnTop)
{
    harness.load({fixture(lasco512Jpg), fixture(lasco512Jpg)});
    view->setGridShown(false);
    view->OnComposite();
    EXPECT_EQ(litAwayFrom(view->windowImage(), {}, 0), 0);

    view->setGridShown(true);
    view->OnComposite();
    const QImage& shown = view->windowImage();
    EXPECT_NE(shown.pixel(100, 200) & 0xffffff, 0u); // the vertical grid line at picture x 100
    EXPECT_EQ(shown.pixel(150, 250) & 0xffffff, 0u);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(Composite, TheMovingCometLightsUpWhereverItWasAndNowhereElse)
{
    harness.load(cometFrames());
    view->setGridShown(false);
    view->OnComposite();
    const QImage shown = view->windowImage().copy();
    for (const QPoint& p : cometTrack)
        EXPECT_GE(brightest(shown, p, 2), 96) << p.x() << "," << p.y();
    // The frames were saved as JPEG, so they differ throughout the 16-pixel blocks the comet
    // touched (and a pixel beyond, from chroma smoothing); everywhere else they are identical.
    EXPECT_EQ(brightest(shown, {348, 240}, 8), 0);
    EXPECT_EQ(litAwayFrom(shown, cometTrack, jpegBlockReach), 0);

    // The first picture is current again, while pane 3 still names the last frame rendered.
    EXPECT_EQ(view->currentIndex(), 0);
    EXPECT_EQ(harness.pane(3), QStringLiteral("c3_synthetic_comet_f3.jpg"));
    view->OnNextPicture();
    EXPECT_EQ(harness.pane(3), QStringLiteral("c3_synthetic_comet_f1.jpg"));
}

TEST_F(Composite, ASecondRunAfterPanningKeepsNoTraceOfTheFirst)
{
    harness.load(cometFrames());
    view->setGridShown(false);
    view->OnComposite();
    view->OnPanRight(); // the picture moves left by a third of the client width
    const int shift = view->placement().offsetX();
    ASSERT_EQ(shift, -200);
    view->OnComposite();
    const QImage shown = view->windowImage().copy();
    std::vector<QPoint> moved;
    for (const QPoint& p : cometTrack)
        moved.push_back(p + QPoint(shift, 0));
    for (const QPoint& p : moved)
        EXPECT_GE(brightest(shown, p, 2), 96) << p.x() << "," << p.y();
    EXPECT_EQ(litAwayFrom(shown, moved, jpegBlockReach), 0);
}

TEST_F(Composite, AHiddenRedChannelLeavesNoRed)
{
    harness.load(cometFrames());
    view->setGridShown(false);
    view->OnChannelRed();
    ASSERT_FALSE(view->channels().red);
    view->OnComposite();
    const QImage& shown = view->windowImage();
    int red = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x)
            red = std::max(red, qRed(shown.pixel(x, y)));
    }
    EXPECT_EQ(red, 0);
    EXPECT_GT(brightest(shown, cometTrack.front(), 2), 0); // green and blue still show the comet
}

TEST_F(Composite, FewerThanTwoPicturesDrawNothing)
{
    harness.load({fixture(lasco512Jpg)});
    const QImage before = view->windowImage().copy();
    view->OnComposite();
    EXPECT_EQ(view->windowImage(), before);
}
