#include "platform/Himetric.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

// Every picture size must come back exactly from its HIMETRIC size at zoom 1, or every
// position the observer reports would be off by one.
TEST(Himetric, EveryPixelSizeRoundTripsAtCommonResolutions)
{
    for (const int dpi : {96, 120}) {
        for (int px = 1; px <= 16384; ++px) {
            const int him = pixelsToHimetric(px, dpi);
            ASSERT_EQ(displayedSize(dpi, him, 1.0), px) << "dpi " << dpi << " px " << px;
            ASSERT_EQ(naturalSize(dpi, him), px) << "dpi " << dpi << " px " << px;
        }
    }
}

TEST(Himetric, PlainRoundingWouldLoseAPixelForManySizes)
{
    int shortByOne = 0;
    for (int px = 1; px <= 4096; ++px) {
        const int rounded = int(px * 2540.0 / 96 + 0.5);
        if (displayedSize(96, rounded, 1.0) != px)
            ++shortByOne;
    }
    EXPECT_EQ(shortByOne, 1878);
}

TEST(Himetric, DisplayedSizeTruncatesAndStaysInIntRange)
{
    // 27093 HIMETRIC at 96 dpi is 1023.98... pixels: shown 1023 wide.
    EXPECT_EQ(displayedSize(96, 27093, 1.0), 1023);
    EXPECT_EQ(displayedSize(96, 27093, 1.5), 1535);
    EXPECT_EQ(displayedSize(96, 27094, 1e300), INT_MAX);
    EXPECT_EQ(displayedSize(96, 27094, 0.0), 0);
    EXPECT_EQ(displayedSize(96, 27094, std::nan("")), 0);
}
