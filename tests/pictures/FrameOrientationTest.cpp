// How stored pixels are shown: FITS rows bottom up, and frames of a spacecraft flying turned
// half round turned back, the same for a position as for the decoder's pixels.
#include "pictures/FrameOrientation.h"

#include "SkyFixtures.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameOrientation, WhichHeadersSayTheFrameWasTakenTurnedHalfRound)
{
    const struct
    {
        QHash<QString, QString> keywords;
        bool turned;
    } cases[] = {
        {header({{"CROTA1", "0.00000"}}), false},
        {header({{"CROTA1", "180.000"}, {"CROTA2", "180.000"}}), true},
        {header({{"CROTA1", "-173.55"}}), true},
        {header({{"CROTA1", "6.45"}}), false},
        {header({{"CROTA", "270.5"}}), false}, // 89.5 degrees the other way
        {header({{"CROTA2", "-91"}}), true},
        {header({{"YAWFLIP", "2"}}), true},
        {header({{"YAWFLIP", "1"}}), false},
        {header({{"YAWFLIP", "0"}}), false},
        {header({{"CROTA1", "0"}, {"YAWFLIP", "2"}}), false}, // the roll, where given, says it
        {header({{"CROTA1", "nan"}}), false},
        // CCOR's level 3: the PC (or CD) matrix says it.
        {header({{"PC1_1", "-0.9999"}, {"PC1_2", "0.0141"}, {"PC2_1", "-0.0141"}, {"PC2_2", "-0.9999"}}),
         true},
        {header({{"PC1_1", "0.9962"}, {"PC2_1", "-0.0436"}, {"CDELT1", "39"}, {"CDELT2", "39"}}), false},
        {header({{"CD1_1", "-0.0108"}, {"CD2_1", "0.0001"}, {"YAWFLIP", "0"}}), true},
        {header({}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keywords.keys().join(QLatin1Char(',')).toStdString());
        EXPECT_EQ(turnedHalfRound(c.keywords), c.turned);
    }
    EXPECT_FALSE(headerRoll(header({{"CROTA1", "x"}})));
    EXPECT_EQ(headerRoll(header({{"CROTA1", "-173.55"}, {"CROTA2", "5"}})), -173.55);
}

TEST(FrameOrientation, PositionsAndPixelsMapBothWays)
{
    // A 64 x 48 FITS frame: FITS pixel (5, 3) is stored at column 4, row 2 counted from the
    // bottom; upright it shows at (4, 45), turned back at (59, 2).
    const FrameOrientation upright{QSize(64, 48), true, false};
    const FrameOrientation turned{QSize(64, 48), true, true};
    const FrameOrientation browse{QSize(64, 48), false, false};
    const struct
    {
        FrameOrientation orientation;
        QPointF fits;
        QPointF shown;
        QPoint storedPixel, shownPixel;
    } cases[] = {
        {upright, {5, 3}, {4.5, 45.5}, {4, 2}, {4, 45}}, {turned, {5, 3}, {59.5, 2.5}, {4, 2}, {59, 2}},
        {upright, {0.5, 0.5}, {0, 48}, {0, 0}, {0, 47}}, {turned, {0.5, 0.5}, {64, 0}, {63, 0}, {0, 0}},
        {browse, {5, 3}, {4.5, 2.5}, {4, 2}, {4, 2}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shownFromFits(c.orientation, c.fits), c.shown);
        EXPECT_EQ(fitsFromShown(c.orientation, c.shown), c.fits);
        EXPECT_EQ(shownFromStored(c.orientation, c.storedPixel), c.shownPixel);
        EXPECT_EQ(storedFromShown(c.orientation, c.shownPixel), c.storedPixel);
    }
}

} // namespace
