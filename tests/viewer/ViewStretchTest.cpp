// The display stretch and the frame time on a real view: one mapping for every frame, the
// decoded pixels back with no stretch, and the time pane following the steps.
#include "ViewTestSupport.h"

#include "../support/Fixtures.h"
#include "platform/CommandIds.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

// A grey picture, `left` in its left half and `right` in its right half.
std::unique_ptr<CPictureItem> halves(const CSkyrakeView& view, const QString& name, int left, int right)
{
    QImage pixels(64, 64, QImage::Format_RGB32);
    pixels.fill(qRgb(right, right, right));
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 32; ++x)
            pixels.setPixel(x, y, qRgb(left, left, left));
    }
    return std::make_unique<CPictureItem>(std::make_unique<Picture>(pixels, pixelsToHimetric(64, view.dpiX()),
                                                                    pixelsToHimetric(64, view.dpiY())),
                                          name, name);
}

int greyAt(const CSkyrakeView& view, int x, int y)
{
    return qGray(view.windowImage().pixel(x, y));
}

TEST(ViewStretch, OneMappingFromTheReferenceServesEveryFrameAndNoneShowsTheDecodedPixels)
{
    ViewHarness h(200, 100);
    h.view->setGridShown(false);
    h.view->appendPicture(halves(*h.view, QStringLiteral("a.png"), 50, 150));
    h.view->appendPicture(halves(*h.view, QStringLiteral("b.png"), 100, 100));
    h.view->ShowFirst();
    EXPECT_EQ(greyAt(*h.view, 10, 10), 50);

    ASSERT_TRUE(runCommand(*h.view, cmd::LimitsMinMax));
    ASSERT_TRUE(runCommand(*h.view, cmd::StretchLinear));
    EXPECT_TRUE(commandState(*h.view, cmd::StretchLinear).radio());
    EXPECT_EQ(greyAt(*h.view, 10, 10), 0); // the reference's 50..150 spread over 0..255
    EXPECT_EQ(greyAt(*h.view, 40, 10), 255);
    h.view->OnNextPicture();
    // The second frame, a flat 100, keeps the reference's mapping: mid-grey, not stretched flat.
    EXPECT_NEAR(greyAt(*h.view, 10, 10), 128, 1);
    EXPECT_NEAR(greyAt(*h.view, 40, 10), 128, 1);

    ASSERT_TRUE(runCommand(*h.view, cmd::StretchInvert));
    EXPECT_NEAR(greyAt(*h.view, 10, 10), 127, 1);
    h.view->OnPrevPicture();
    EXPECT_EQ(greyAt(*h.view, 10, 10), 255);

    ASSERT_TRUE(runCommand(*h.view, cmd::StretchInvert));
    ASSERT_TRUE(runCommand(*h.view, cmd::StretchNone));
    EXPECT_EQ(greyAt(*h.view, 10, 10), 50);
    EXPECT_EQ(greyAt(*h.view, 40, 10), 150);
    // A picture added later is shown through the stretch in force.
    ASSERT_TRUE(runCommand(*h.view, cmd::StretchLinear));
    h.view->appendPicture(halves(*h.view, QStringLiteral("c.png"), 150, 50));
    h.view->OnPrevPicture();
    EXPECT_EQ(greyAt(*h.view, 10, 10), 255);
}

TEST(ViewStretch, TheTimePaneFollowsEveryStepAndTheComposite)
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("20130513_1654_c3_512.jpg"));
    const QString second = dir.filePath(QStringLiteral("20130513_1706_C3_512.JPG"));
    ASSERT_TRUE(QFile::copy(fixture(lasco512Jpg), first));
    ASSERT_TRUE(QFile::copy(fixture(lasco512Jpg), second));
    ViewHarness h(300, 200);
    h.load({fixture(lasco512Gif), first, second});
    EXPECT_EQ(h.pane(8), QString()); // no archive name, no header: unknown
    h.view->OnNextPicture();
    EXPECT_EQ(h.pane(8), QStringLiteral("2013-05-13 16:54 UT"));
    h.view->OnNextPicture();
    EXPECT_EQ(h.pane(8), QStringLiteral("2013-05-13 17:06 UT"));
    h.view->OnNextPicture();
    EXPECT_EQ(h.pane(8), QString());
    h.view->OnComposite(); // the last frame's name and time, as its render leaves them
    EXPECT_EQ(h.pane(8), QStringLiteral("2013-05-13 17:06 UT"));
    h.view->OnNextPicture();
    EXPECT_EQ(h.pane(8), QStringLiteral("2013-05-13 16:54 UT"));
}

} // namespace

namespace {

TEST(ViewStretch, FitsFramesOpenLinearBetweenZscaleLimitsAndEightBitOnesAsDecoded)
{
    ViewHarness h(200, 100);
    h.load({fixture(QStringLiteral("fits/lasco_c3_20130513_1654_64.fits")), fixture(lasco512Jpg)});
    ASSERT_EQ(h.view->stretchSettings().curve, StretchCurve::None);
    const CPictureItem& fits = *PictureList::GetAt(h.view->pictures().GetHeadPosition());
    const CPictureItem& jpeg = *PictureList::GetAt(h.view->pictures().GetTailPosition());
    EXPECT_NE(fits.shown().pixels(), fits.m_pPicture->pixels()); // zscale + linear, not its own min-max
    EXPECT_EQ(&jpeg.shown(), jpeg.m_pPicture.get());
    EXPECT_EQ(h.pane(8), QStringLiteral("2013-05-13 16:54:05 UT")); // from the header, to the second
}

} // namespace
