#include "platform/CFormat.h"

#include <gtest/gtest.h>

TEST(FormatWhole, RoundsLikeCsPercentDotZeroF)
{
    struct Case
    {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {10.5, "11"},
        {-0.5, "-1"},
        {337.5, "338"},
        {66.666666666666671, "67"},
        {2.5, "3"},
        {3.5, "4"},
        {-2.5, "-3"},
        {0.0, "0"},
        {0.49999999999999994, "0"},
        {1.4999, "1"},
        {-0.4, "-0"},
        {512.0, "512"},
        {1e17, "100000000000000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatWhole(c.value), QString::fromLatin1(c.text)) << "value " << c.value;
}
