// What the window shows: the first paint, the grid, hidden channels, a window that grows, and a
// picture that cannot be rendered. Pixels are read from the widget as it shows itself.
#include "ViewTestSupport.h"

#include "../support/FakeDesktop.h"
#include "../support/Fixtures.h"
#include "platform/CommandIds.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb black = 0xff000000u;
constexpr QRgb warm = 0xffc89664u; // red 200, green 150, blue 100

QImage shown(CSkyrakeView& view)
{
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool anyPixel(const QImage& image, const std::function<bool(QRgb)>& test)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (test(image.pixel(x, y)))
                return true;
        }
    }
    return false;
}

TEST(ViewRendering, FirstPaintWithoutPictureIsBlackWithTheGrid)
{
    ViewHarness h(600, 400);
    EXPECT_EQ(h.window.windowTitle(), "SkyRake");
    EXPECT_EQ(h.pane(4), QString::fromUtf8("共有0幅图片"));
    const QImage image = shown(*h.view);
    EXPECT_EQ(image.pixel(50, 50), black);
    for (const int x : {0, 100, 500})
        EXPECT_EQ(image.pixel(x, 250), gridGrey) << x;
    for (const int y : {0, 100, 300})
        EXPECT_EQ(image.pixel(250, y), gridGrey) << y;
    EXPECT_EQ(image.pixel(100, 399), gridGrey); // to the bottom row
    EXPECT_EQ(image.pixel(599, 300), gridGrey); // to the last column
    // A label beside the line at 100, grey on black.
    EXPECT_TRUE(anyPixel(image.copy(102, 1, 30, 14), [](QRgb p) { return p != black; }));
    EXPECT_FALSE(anyPixel(image.copy(130, 130, 40, 40), [](QRgb p) { return p != black; }));
}

TEST(ViewRendering, GridFollowsTheOffsetsAndTheZoom)
{
    ViewHarness h(700, 400);
    CSkyrakeView* view = h.view;
    moveTo(*view, -250, view->placement().offsetY());
    view->InvalidateRect();
    ViewHarness::settle();
    QImage image = shown(*view);
    EXPECT_EQ(image.pixel(50, 150), gridGrey);
    EXPECT_EQ(image.pixel(49, 150), black);
    EXPECT_EQ(image.pixel(0, 150), black);
    EXPECT_EQ(image.pixel(150, 150), gridGrey);

    moveTo(*view, 0, view->placement().offsetY());
    setZoom(*view, 0.6666666666666666);
    view->InvalidateRect();
    ViewHarness::settle();
    image = shown(*view);
    EXPECT_EQ(image.pixel(660, 150), gridGrey); // line 10, labelled 1000
    EXPECT_EQ(image.pixel(594, 150), gridGrey);
    EXPECT_EQ(image.pixel(600, 150), black);
}

TEST(ViewRendering, InATallWindowHorizontalLinesReachTheBottom)
{
    ViewHarness h(200, 700);
    const QImage image = shown(*h.view);
    EXPECT_EQ(image.pixel(150, 600), gridGrey);
    EXPECT_EQ(image.pixel(199, 600), gridGrey);
    EXPECT_EQ(image.pixel(100, 699), gridGrey);
}

TEST(ViewRendering, HiddenChannelsAreRemovedOnEveryRender)
{
    ViewHarness h(600, 400);
    show(h, solidItem(*h.view, QStringLiteral("a.jpg"), 300, 300, warm));
    CSkyrakeView* view = h.view;
    ASSERT_TRUE(runCommand(*view, cmd::Grid));

    ASSERT_TRUE(runCommand(*view, cmd::ChannelRed));
    EXPECT_FALSE(commandState(*view, cmd::ChannelRed).checked());
    EXPECT_EQ(shown(*view).pixel(150, 150), qRgb(0, 150, 100));
    ASSERT_TRUE(runCommand(*view, cmd::ChannelGreen));
    EXPECT_EQ(shown(*view).pixel(150, 150), qRgb(0, 0, 100));
    EXPECT_EQ(shown(*view).pixel(450, 150), black);
    ASSERT_TRUE(runCommand(*view, cmd::ChannelRed)); // rebuilt from the picture, red comes back
    EXPECT_TRUE(commandState(*view, cmd::ChannelRed).checked());
    EXPECT_EQ(shown(*view).pixel(150, 150), qRgb(200, 0, 100));
    ASSERT_TRUE(runCommand(*view, cmd::ChannelBlue));
    ASSERT_TRUE(runCommand(*view, cmd::ChannelRed));
    EXPECT_EQ(shown(*view).pixel(150, 150), black);

    // The switches hold for later renders: a zoom, a new paint.
    view->OnZoomIn();
    view->InvalidateRect();
    ViewHarness::settle();
    EXPECT_EQ(shown(*view).pixel(400, 300), black);
}

TEST(ViewRendering, HiddenChannelsOnARealFrame)
{
    ViewHarness h(600, 400);
    h.load({fixture(lasco512Jpg)});
    CSkyrakeView* view = h.view;
    view->OnGrid();
    const auto red = [](QRgb p) { return qRed(p) != 0; };
    const auto green = [](QRgb p) { return qGreen(p) != 0; };
    ASSERT_TRUE(anyPixel(shown(*view), red));

    view->OnChannelRed();
    EXPECT_FALSE(anyPixel(shown(*view), red));
    EXPECT_TRUE(anyPixel(shown(*view), green));
    view->OnChannelGreen();
    const QImage blueOnly = shown(*view);
    EXPECT_FALSE(anyPixel(blueOnly, red));
    EXPECT_FALSE(anyPixel(blueOnly, green));
    EXPECT_TRUE(anyPixel(blueOnly, [](QRgb p) { return qBlue(p) != 0; }));
    view->OnChannelRed();
    EXPECT_TRUE(anyPixel(shown(*view), red));
}

TEST(ViewRendering, TheGridCommandRemovesAndRestoresLinesAtOnce)
{
    ViewHarness h(600, 400);
    show(h, solidItem(*h.view, QStringLiteral("a.jpg"), 512, 380, warm));
    CSkyrakeView* view = h.view;
    EXPECT_TRUE(commandState(*view, cmd::Grid).checked());
    EXPECT_EQ(shown(*view).pixel(100, 50), gridGrey);

    ASSERT_TRUE(runCommand(*view, cmd::Grid));
    EXPECT_FALSE(commandState(*view, cmd::Grid).checked());
    EXPECT_EQ(shown(*view).pixel(100, 50), warm);
    EXPECT_EQ(shown(*view).pixel(550, 100), black);
    ASSERT_TRUE(runCommand(*view, cmd::Grid));
    EXPECT_EQ(shown(*view).pixel(100, 50), gridGrey);
    EXPECT_EQ(shown(*view).pixel(550, 100), gridGrey); // beyond the picture too
}

TEST(ViewRendering, SurfacesFollowAGrowingWindow)
{
    ViewHarness h(300, 200);
    show(h, solidItem(*h.view, QStringLiteral("a.jpg"), 512, 512, warm));
    CSkyrakeView* view = h.view;
    view->OnGrid();

    view->setFixedSize(700, 600);
    ViewHarness::settle();
    QImage image = shown(*view);
    ASSERT_EQ(image.size(), QSize(700, 600));
    EXPECT_EQ(image.pixel(450, 450), warm); // not cut off at the first size
    EXPECT_EQ(image.pixel(511, 511), warm);
    EXPECT_EQ(image.pixel(600, 550), black);

    // Smaller, then larger again within the surfaces: nothing left over from before.
    view->setFixedSize(200, 150);
    ViewHarness::settle();
    moveTo(*view, 300, view->placement().offsetY());
    view->setFixedSize(650, 560);
    ViewHarness::settle();
    image = shown(*view);
    EXPECT_EQ(image.pixel(100, 100), black);
    EXPECT_EQ(image.pixel(640, 500), warm);
}

TEST(ViewRendering, AFailedRenderSaysSoAndLeavesTheWindow)
{
    FakeDesktop desktop;
    ViewHarness h(600, 400);
    CSkyrakeView* view = h.view;
    // A picture without extent: rendering it fails.
    QImage pixels(10, 10, QImage::Format_RGB32);
    pixels.fill(warm);
    view->appendPicture(std::make_unique<CPictureItem>(std::make_unique<Picture>(pixels, 0, 0),
                                                       QStringLiteral("flat.jpg"),
                                                       QStringLiteral("/pictures/flat.jpg")));
    const QImage before = view->windowImage().copy();
    view->ShowFirst();
    EXPECT_EQ(desktop.messages, QStringList{QString::fromUtf8("渲染图像失败！")});
    EXPECT_EQ(h.pane(3), "flat.jpg");
    EXPECT_EQ(view->windowImage(), before);

    // The zoom still reports its factor.
    view->OnZoomIn();
    EXPECT_EQ(desktop.messages.size(), 2);
    EXPECT_EQ(h.pane(2), "150%");

    // A paint says so too, and still shows black with the grid.
    view->InvalidateRect();
    ViewHarness::settle();
    EXPECT_EQ(desktop.messages.size(), 3);
    EXPECT_EQ(shown(*view).pixel(50, 50), black);
    EXPECT_EQ(shown(*view).pixel(150, 250), gridGrey);
    EXPECT_EQ(h.pane(4), QString::fromUtf8("共有1幅图片"));
}

} // namespace
