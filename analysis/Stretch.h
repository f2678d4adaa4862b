#pragma once

#include <QImage>
#include <QRgb>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

// The display stretch: one transfer function from data values to display levels 0..255, the same
// for every frame of a sequence, applied as a lookup table while rendering.

enum class StretchCurve
{
    None,   // 8-bit pictures: the decoded levels, limits ignored; float data: as Linear
    Linear, // linear between the limits
    Sqrt,
    Log,    // log10(1000 t + 1) / log10(1001)
    Asinh,  // asinh(t / 0.1) / asinh(1 / 0.1): linear near the low limit, logarithmic above
    HistEq, // histogram equalisation over the reference frame's values within the limits
};

enum class StretchLimits
{
    MinMax,
    Percentile,
    ZScale, // IRAF's zscale, contrast 0.25
};

struct StretchSettings
{
    StretchCurve curve = StretchCurve::None;
    StretchLimits limits = StretchLimits::Percentile;
    double percentile = 99.5; // limits at the (100 - p) % and p % points; p and 100 - p are the same
    bool invert = false;
};

// A range of data values: channel levels 0..255 for 8-bit pictures, pixel values for float data.
// low == high when the frame has a single value or none at all ({0, 0}).
struct Range
{
    double low, high;
};

// Limits of a float frame: width x height pixels, row by row, `stride` elements from one row's
// start to the next. NaN and infinities are ignored. Min-max reads every pixel; the percentile and
// zscale limits read a regular grid of at most 100,000 and about 1,000 pixels.
Range minMaxLimits(const float* values, int width, int height, qsizetype stride);
Range percentileLimits(const float* values, int width, int height, qsizetype stride, double percentile);
Range zscaleLimits(const float* values, int width, int height, qsizetype stride);
Range stretchLimits(const StretchSettings& settings, const float* values, int width, int height,
                    qsizetype stride);

// Limits of an 8-bit picture (RGB32 read as it is, other formats converted first). Each pixel
// counts with its red, green and blue levels, since one range then maps every channel.
Range minMaxLimits(const QImage& picture);
Range percentileLimits(const QImage& picture, double percentile);
Range zscaleLimits(const QImage& picture);
Range stretchLimits(const StretchSettings& settings, const QImage& picture);

// The curve on a normalised value t in [0, 1] (clamped; NaN counts as 0), giving [0, 1], rising,
// 0 at 0 and 1 at 1. None, Linear and HistEq (whose curve is the table's histogram) give t.
double stretchCurve(StretchCurve curve, double t);

// How float values index a table of `entries` entries over [low, high]: entry i stands for
// low + i (high - low) / (entries - 1); a value takes the nearest entry, values beyond the range
// the end entries, NaN none (-1). With low == high, values above low take the last entry.
class FloatAxis
{
public:
    FloatAxis(Range range, int entries = 4096) : m_range(range), m_last(std::max(entries, 2) - 1)
    {
        // A degenerate range gets a huge scale: values above low land past the last entry.
        const double width = range.high - range.low;
        m_low = float(range.low);
        m_scale = float(width > 0 ? std::min(m_last / width, 1e30) : 1e30);
    }

    int entries() const { return m_last + 1; }
    Range range() const { return m_range; }
    // In float and clamped rather than tested, since the renderer calls it for every pixel.
    int index(float value) const
    {
        if (std::isnan(value))
            return -1;
        const float at = std::min(std::max((value - m_low) * m_scale, 0.0f), float(m_last));
        return int(at + 0.5f);
    }

private:
    Range m_range;
    float m_low;   // data units
    float m_scale; // entries per data unit
    int m_last;
};

// Counts of the reference frame's values within the range, for histogram equalisation: 256
// levels of an 8-bit picture (its red, green and blue levels pooled), or one count per entry of
// a float axis. Every pixel is read.
std::vector<quint32> byteHistogram(const QImage& picture, Range range);
std::vector<quint32> floatHistogram(const float* values, int width, int height, qsizetype stride,
                                    const FloatAxis& axis);

// A lookup table from data values to display levels. HistEq needs the histogram from above;
// without one (or with an empty or wrongly sized one) it falls back to Linear.
class StretchTable
{
public:
    // 256 entries, one per channel level. Curve None without invert is exactly the identity.
    static StretchTable forBytes(const StretchSettings& settings, Range range,
                                 const std::vector<quint32>* histogram = nullptr);
    // One entry per point of the axis. NaN always shows black, inverted or not.
    static StretchTable forFloats(const StretchSettings& settings, const FloatAxis& axis,
                                  const std::vector<quint32>* histogram = nullptr);

    // A byte table that changes nothing: the renderer may skip the pass.
    bool isIdentity() const { return m_identity; }
    const std::vector<quint8>& levels() const { return m_levels; }

    // Byte tables: each channel of a 32-bit pixel through the table, alpha set opaque.
    QRgb map(QRgb pixel) const
    {
        const quint8* t = m_levels.data();
        return qRgb(t[qRed(pixel)], t[qGreen(pixel)], t[qBlue(pixel)]);
    }
    // Float tables: the level shown for a data value.
    quint8 level(float value) const
    {
        const int i = m_axis.index(value);
        return i < 0 ? 0 : m_levels[size_t(i)];
    }

private:
    StretchTable(FloatAxis axis, std::vector<quint8> levels, bool identity)
        : m_axis(axis), m_levels(std::move(levels)), m_identity(identity)
    {}

    FloatAxis m_axis;
    std::vector<quint8> m_levels;
    bool m_identity;
};
