// The display stretch: curves, lookup tables, and the limits they span.
#include "analysis/Stretch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

TEST(StretchCurve, EndsMidpointsAndClamping)
{
    const std::tuple<StretchCurve, double, double> cases[] = {
        {StretchCurve::Linear, 0.5, 0.5},
        {StretchCurve::Sqrt, 0.25, 0.5},
        {StretchCurve::Log, 0.5, std::log10(501.0) / std::log10(1001.0)},
        {StretchCurve::Asinh, 0.5, std::asinh(5.0) / std::asinh(10.0)},
        {StretchCurve::Sqrt, -1, 0},
        {StretchCurve::Log, 2, 1},
        {StretchCurve::Asinh, std::nan(""), 0},
    };
    for (const auto& [curve, t, expected] : cases)
        EXPECT_NEAR(stretchCurve(curve, t), expected, 1e-12) << int(curve) << " at " << t;
    for (const auto curve : {StretchCurve::None, StretchCurve::Linear, StretchCurve::Sqrt, StretchCurve::Log,
                             StretchCurve::Asinh, StretchCurve::HistEq}) {
        EXPECT_EQ(stretchCurve(curve, 0), 0) << int(curve);
        EXPECT_NEAR(stretchCurve(curve, 1), 1, 1e-15) << int(curve);
        for (double t = 0; t < 1; t += 1.0 / 64)
            EXPECT_LT(stretchCurve(curve, t), stretchCurve(curve, t + 1.0 / 64)) << int(curve) << " at " << t;
    }
}

TEST(StretchTable, BytesWithoutCurveAreTheDecodedLevelsAndLinearSpansTheLimits)
{
    const StretchTable plain = StretchTable::forBytes({}, Range{40, 90});
    const StretchTable inverted = StretchTable::forBytes({StretchCurve::None, {}, 99.5, true}, Range{40, 90});
    EXPECT_TRUE(plain.isIdentity());
    EXPECT_FALSE(inverted.isIdentity());
    for (int v = 0; v < 256; ++v) {
        ASSERT_EQ(plain.levels().at(size_t(v)), v);
        ASSERT_EQ(inverted.levels().at(size_t(v)), 255 - v);
    }
    EXPECT_EQ(inverted.map(qRgb(0, 100, 255)), qRgb(255, 155, 0));

    const StretchTable linear = StretchTable::forBytes({StretchCurve::Linear}, Range{50, 150});
    for (const auto& [value, level] : {std::pair{0, 0}, {50, 0}, {100, 128}, {150, 255}, {255, 255}})
        EXPECT_EQ(linear.levels()[size_t(value)], level) << value;
    // A single-valued frame: its value and below black, above white.
    const StretchTable flat = StretchTable::forBytes({StretchCurve::Sqrt}, Range{80, 80});
    EXPECT_EQ(flat.levels()[80], 0);
    EXPECT_EQ(flat.levels()[81], 255);
}

TEST(StretchTable, FloatsTakeTheNearestEntryAndNanShowsBlack)
{
    const FloatAxis axis(Range{-100, 300}, 4096);
    const StretchTable table = StretchTable::forFloats({StretchCurve::Linear}, axis);
    const StretchTable inverted = StretchTable::forFloats({StretchCurve::Linear, {}, 99.5, true}, axis);
    const std::pair<float, int> indices[] = {{-100, 0},   {300, 4095}, {100, 2048},
                                             {-1e30f, 0}, {inf, 4095}, {nan, -1}};
    for (const auto& [value, index] : indices)
        EXPECT_EQ(axis.index(value), index) << value;
    EXPECT_EQ(table.level(100), 128);
    EXPECT_EQ(table.level(nan), 0);
    EXPECT_EQ(inverted.level(nan), 0);
    EXPECT_EQ(inverted.level(-100), 255);
    EXPECT_EQ(FloatAxis(Range{5, 5}).index(5), 0);
    EXPECT_EQ(FloatAxis(Range{5, 5}).index(6), 4095);
}

TEST(StretchTable, HistogramEqualisationFollowsTheCumulativeCounts)
{
    std::vector<quint32> modes(256); // three equal modes: black, mid grey, white
    modes[10] = modes[100] = modes[200] = 6;
    const StretchTable three = StretchTable::forBytes({StretchCurve::HistEq}, Range{0, 255}, &modes);
    EXPECT_EQ(three.levels()[10], 0);
    EXPECT_EQ(three.levels()[100], 128);
    EXPECT_EQ(three.levels()[150], 128);
    EXPECT_EQ(three.levels()[200], 255);

    // Half a frame at the low limit, half spread over it: the spread half takes levels 0..255.
    std::vector<float> frame(200, 0.f);
    for (int i = 0; i < 100; ++i)
        frame[size_t(100 + i)] = float(i + 1);
    frame[0] = nan;
    const FloatAxis axis(Range{0, 100}, 101);
    const std::vector<quint32> counts = floatHistogram(frame.data(), 20, 10, 20, axis);
    EXPECT_EQ(counts[0], 99u);
    const StretchTable floats = StretchTable::forFloats({StretchCurve::HistEq}, axis, &counts);
    EXPECT_EQ(floats.level(0), 0);
    EXPECT_EQ(floats.level(50), 128);
    EXPECT_EQ(floats.level(100), 255);
    EXPECT_EQ(StretchTable::forFloats({StretchCurve::HistEq}, axis).level(25), 64); // no counts: linear
}

TEST(StretchLimits, SkipNonFiniteValuesAndRowPaddingAndPoolChannels)
{
    // 4 x 3 pixels, rows 6 floats apart; the padding must never be read.
    std::vector<float> frame(18, 1e30f);
    const float pixels[3][4] = {{5, nan, 7, 8}, {-inf, 2, 3, 4}, {9, 10, inf, 6}};
    for (int y = 0; y < 3; ++y)
        std::copy(pixels[y], pixels[y] + 4, frame.begin() + y * 6);
    EXPECT_EQ(minMaxLimits(frame.data(), 4, 3, 6).low, 2);
    EXPECT_EQ(minMaxLimits(frame.data(), 4, 3, 6).high, 10);
    EXPECT_EQ(percentileLimits(frame.data(), 4, 3, 6, 100).high, 10);
    EXPECT_LE(zscaleLimits(frame.data(), 4, 3, 6).high, 10);
    const float none[] = {nan, nan};
    EXPECT_EQ(minMaxLimits(none, 2, 1, 2).high, 0);
    EXPECT_EQ(zscaleLimits(none, 2, 1, 2).high, 0);

    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(10, 20, 30));
    picture.setPixel(1, 0, qRgb(40, 50, 60));
    EXPECT_EQ(minMaxLimits(picture).low, 10);
    EXPECT_EQ(minMaxLimits(picture).high, 60);
    const std::vector<quint32> counts = byteHistogram(picture, Range{20, 50});
    EXPECT_EQ(counts[20] + counts[50], 2u);
    EXPECT_EQ(counts[10] + counts[60], 0u); // beyond the limits
}

TEST(StretchLimits, PercentileLimitsInterpolateTheSampledValues)
{
    // 0..999 in random order with NaNs among them: the 1 % and 99 % points, p or 100 - p.
    std::vector<float> values(1000);
    for (int i = 0; i < 1000; ++i)
        values[size_t(i)] = float(i);
    std::shuffle(values.begin(), values.end(), std::mt19937(1));
    values.insert(values.begin() + 300, 24, nan);
    for (const double p : {99.0, 1.0}) {
        EXPECT_NEAR(percentileLimits(values.data(), 32, 32, 32, p).low, 9.99, 1e-9) << p;
        EXPECT_NEAR(percentileLimits(values.data(), 32, 32, 32, p).high, 989.01, 1e-9) << p;
    }
    // A sampled 1024 x 1024 ramp of column numbers: within one grid step of the exact points.
    std::vector<float> ramp(size_t(1024) * 1024);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = float(i % 1024);
    EXPECT_NEAR(percentileLimits(ramp.data(), 1024, 1024, 1024, 99.5).low, 5.1, 4);
    EXPECT_NEAR(percentileLimits(ramp.data(), 1024, 1024, 1024, 99.5).high, 1017.9, 4);
    // Grey levels 0..255 once each: the 0.5 % and 99.5 % points of 768 channel values.
    QImage picture(256, 1, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x)
        picture.setPixel(x, 0, qRgb(x, x, x));
    EXPECT_EQ(percentileLimits(picture, 99.5).low, 1);
    EXPECT_EQ(percentileLimits(picture, 99.5).high, 254);
}

TEST(StretchLimits, ZScaleFitsTheSortedSampleAndIgnoresOutliers)
{
    // 30 x 30 pixels, all sampled: 880 on the line 1000 + 0.1 k, ten far below and ten far above.
    // Sorted, the line has slope 0.1 per index from index 10; the median (indices 449 and 450) is
    // 1043.95, so z1 = 1043.95 - 449 x 0.1 / 0.25 and z2 = 1043.95 + 450 x 0.1 / 0.25.
    std::vector<float> frame;
    for (int k = 0; k < 880; ++k)
        frame.push_back(1000 + 0.1f * float(k));
    frame.insert(frame.end(), 10, -5000.f);
    frame.insert(frame.end(), 10, 50000.f);
    std::shuffle(frame.begin(), frame.end(), std::mt19937(2));
    EXPECT_NEAR(zscaleLimits(frame.data(), 30, 30, 30).low, 864.35, 1e-3);
    EXPECT_NEAR(zscaleLimits(frame.data(), 30, 30, 30).high, 1223.95, 1e-3);

    // A 1024 x 1024 constant sky with hot pixels and NaN holes, rows padded: the sky alone.
    std::vector<float> sky(size_t(1030) * 1024, 100.f);
    for (size_t i = 0; i < sky.size(); i += 997)
        sky[i] = i % 2 ? 60000.f : nan;
    EXPECT_EQ(zscaleLimits(sky.data(), 1024, 1024, 1030).low, 100);
    EXPECT_EQ(zscaleLimits(sky.data(), 1024, 1024, 1030).high, 100);

    // A straight ramp: the flattened slope reaches past both ends, so min and max.
    const float ramp[] = {3, 1, 4, 0, 9, 2, 6, 5, 8, 7};
    const Range r = stretchLimits({StretchCurve::Linear, StretchLimits::ZScale}, ramp, 5, 2, 5);
    EXPECT_EQ(r.low, 0);
    EXPECT_EQ(r.high, 9);
}

} // namespace
