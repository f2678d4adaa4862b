#include "analysis/Stretch.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int zscaleSample = 1000;        // values, as IRAF samples
constexpr int percentileSample = 100'000; // values
constexpr double asinhSoftening = 0.1;    // in normalised units
constexpr double logScale = 1000;

// A regular grid over width x height pixels visiting about `target` of them, each row and column
// of the grid near the middle of its cell.
template <class Visit> void visitGrid(int width, int height, qint64 target, Visit&& visit)
{
    if (width <= 0 || height <= 0)
        return;
    const double pixels = double(width) * height;
    const int step = std::max(1, int(std::ceil(std::sqrt(pixels / double(std::max<qint64>(target, 1))))));
    const int x0 = std::min(step / 2, width - 1), y0 = std::min(step / 2, height - 1);
    for (int y = y0; y < height; y += step) {
        for (int x = x0; x < width; x += step)
            visit(x, y);
    }
}

std::vector<float> sampleFloats(const float* values, int width, int height, qsizetype stride, int target)
{
    std::vector<float> sample;
    visitGrid(values ? width : 0, height, target, [&](int x, int y) {
        const float v = values[y * stride + x];
        if (std::isfinite(v))
            sample.push_back(v);
    });
    return sample;
}

QImage asRgb32(const QImage& picture)
{
    const bool ready = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
    return ready ? picture : picture.convertToFormat(QImage::Format_RGB32);
}

const QRgb* row(const QImage& picture, int y)
{
    return reinterpret_cast<const QRgb*>(picture.constScanLine(y));
}

// Three values per pixel, so a third as many pixels for the same number of values.
std::vector<float> sampleBytes(const QImage& source, int target)
{
    const QImage picture = asRgb32(source);
    std::vector<float> sample;
    visitGrid(picture.width(), picture.height(), target / 3, [&](int x, int y) {
        const QRgb pixel = row(picture, y)[x];
        sample.insert(sample.end(), {float(qRed(pixel)), float(qGreen(pixel)), float(qBlue(pixel))});
    });
    return sample;
}

// The value at fraction f of the sorted values, interpolated between neighbours, among the elements
// [from, end) of a sample whose elements before `from` are all no greater.
double quantile(std::vector<float>& sample, size_t from, double f)
{
    const double at = f * double(sample.size() - 1);
    const size_t k = std::max(from, size_t(at));
    std::nth_element(sample.begin() + qsizetype(from), sample.begin() + qsizetype(k), sample.end());
    if (k + 1 >= sample.size())
        return sample[k];
    const float next = *std::min_element(sample.begin() + qsizetype(k) + 1, sample.end());
    return sample[k] + (at - double(k)) * (double(next) - sample[k]);
}

Range percentileOfSample(std::vector<float>& sample, double percentile)
{
    if (sample.empty())
        return {0, 0};
    const double p =
        std::isnan(percentile) ? 100 : std::clamp(std::max(percentile, 100 - percentile), 50.0, 100.0);
    const double low = quantile(sample, 0, (100 - p) / 100);
    const size_t lowIndex = size_t((100 - p) / 100 * double(sample.size() - 1));
    return {low, quantile(sample, lowIndex, p / 100)};
}

struct Line
{
    double intercept, slope; // value at sorted index 0; value per index
};

// Least squares over the kept points (index, value); x normalised to [-1, 1] for conditioning.
Line fitLine(const std::vector<float>& sorted, const std::vector<char>& kept)
{
    const double xscale = 2.0 / double(sorted.size() - 1);
    double n = 0, sx = 0, sxx = 0, sy = 0, sxy = 0;
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (!kept[i])
            continue;
        const double x = double(i) * xscale - 1, y = sorted[i];
        n += 1, sx += x, sxx += x * x, sy += y, sxy += x * y;
    }
    const double delta = n * sxx - sx * sx;
    const double slope = (n * sxy - sx * sy) / delta;
    const double intercept = (sxx * sy - sx * sxy) / delta;
    return {intercept - slope, slope * xscale};
}

// IRAF's zscale on a sorted sample: fit a line to value against index with iterative k-sigma
// rejection (each rejected point taking its neighbours with it), flatten its slope by the
// contrast and centre it on the median.
Range zscaleOfSorted(const std::vector<float>& sorted)
{
    constexpr double contrast = 0.25, krej = 2.5;
    constexpr int maxIterations = 5;
    const size_t n = sorted.size();
    if (n < 5)
        return n == 0 ? Range{0, 0} : Range{sorted.front(), sorted.back()};
    const size_t center = (n + 1) / 2, minKept = std::max<size_t>(5, n / 2); // center: 1-based
    const size_t grow = std::max<size_t>(1, n / 100) / 2;
    const double median = n % 2 ? sorted[center - 1] : (double(sorted[center - 1]) + sorted[center]) / 2;

    std::vector<char> kept(n, 1);
    std::vector<double> residual(n);
    size_t good = n, lastGood = n + 1;
    Line line{};
    for (int iteration = 0; iteration < maxIterations && good < lastGood && good >= minKept; ++iteration) {
        line = fitLine(sorted, kept);
        double sum = 0, sumSquares = 0;
        for (size_t i = 0; i < n; ++i) {
            residual[i] = sorted[i] - (line.intercept + line.slope * double(i));
            if (kept[i])
                sum += residual[i], sumSquares += residual[i] * residual[i];
        }
        const double mean = sum / double(good);
        const double threshold = krej * std::sqrt(std::max(0.0, sumSquares / double(good) - mean * mean));
        for (size_t i = 0; i < n; ++i) {
            if (std::abs(residual[i]) > threshold)
                std::fill(kept.begin() + qsizetype(i - std::min(i, grow)),
                          kept.begin() + qsizetype(std::min(n, i + grow + 1)), 0);
        }
        lastGood = good;
        good = size_t(std::count(kept.begin(), kept.end(), char(1)));
    }
    if (good < minKept)
        return {sorted.front(), sorted.back()};
    const double slope = line.slope / contrast;
    return {std::max<double>(sorted.front(), median - double(center - 1) * slope),
            std::min<double>(sorted.back(), median + double(n - center) * slope)};
}

// Percentile or zscale limits from `sample(target)`, which gives about `target` values of a frame.
template <class Sampler> Range sampledLimits(StretchLimits kind, double percentile, Sampler&& sample)
{
    if (kind == StretchLimits::ZScale) {
        std::vector<float> values = sample(zscaleSample);
        std::sort(values.begin(), values.end());
        return zscaleOfSorted(values);
    }
    std::vector<float> values = sample(percentileSample);
    return percentileOfSample(values, percentile);
}

// Levels of the entries at normalised positions t[i], through the curve or the histogram's
// cumulative counts (lowest populated entry at 0, the last at 1).
std::vector<quint8> levelsFor(const StretchSettings& settings, const std::vector<double>& t,
                              const std::vector<quint32>* histogram)
{
    std::vector<quint8> levels(t.size());
    const bool equalise =
        settings.curve == StretchCurve::HistEq && histogram && histogram->size() == t.size();
    quint64 total = 0, lowest = 0; // all counts; those of the lowest populated entry
    for (size_t i = 0; equalise && i < t.size(); ++i) {
        lowest = total == 0 ? (*histogram)[i] : lowest;
        total += (*histogram)[i];
    }
    quint64 cumulative = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        double c = stretchCurve(settings.curve, t[i]);
        if (equalise && total > lowest) {
            cumulative += (*histogram)[i];
            c = t[i] <= 0 ? 0 : t[i] >= 1 ? 1 : double(qint64(cumulative - lowest)) / double(total - lowest);
        }
        const quint8 level = quint8(std::clamp(c, 0.0, 1.0) * 255 + 0.5);
        levels[i] = settings.invert ? quint8(255 - level) : level;
    }
    return levels;
}

} // namespace

Range minMaxLimits(const float* values, int width, int height, qsizetype stride)
{
    float low = std::numeric_limits<float>::infinity(), high = -low;
    for (int y = 0; values && y < height; ++y) {
        for (const float* v = values + y * stride; v < values + y * stride + width; ++v) {
            if (std::isfinite(*v))
                low = std::min(low, *v), high = std::max(high, *v);
        }
    }
    return low <= high ? Range{low, high} : Range{0, 0};
}

Range percentileLimits(const float* values, int width, int height, qsizetype stride, double percentile)
{
    return sampledLimits(StretchLimits::Percentile, percentile,
                         [=](int n) { return sampleFloats(values, width, height, stride, n); });
}

Range zscaleLimits(const float* values, int width, int height, qsizetype stride)
{
    return sampledLimits(StretchLimits::ZScale, 0,
                         [=](int n) { return sampleFloats(values, width, height, stride, n); });
}

Range stretchLimits(const StretchSettings& settings, const float* values, int width, int height,
                    qsizetype stride)
{
    if (settings.limits == StretchLimits::MinMax)
        return minMaxLimits(values, width, height, stride);
    return sampledLimits(settings.limits, settings.percentile,
                         [=](int n) { return sampleFloats(values, width, height, stride, n); });
}

Range minMaxLimits(const QImage& source)
{
    const QImage picture = asRgb32(source);
    int low = 255, high = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (const QRgb* p = row(picture, y); p < row(picture, y) + picture.width(); ++p) {
            low = std::min({low, qRed(*p), qGreen(*p), qBlue(*p)});
            high = std::max({high, qRed(*p), qGreen(*p), qBlue(*p)});
        }
    }
    return low <= high ? Range{double(low), double(high)} : Range{0, 0};
}

Range percentileLimits(const QImage& picture, double percentile)
{
    return sampledLimits(StretchLimits::Percentile, percentile,
                         [&](int n) { return sampleBytes(picture, n); });
}

Range zscaleLimits(const QImage& picture)
{
    return sampledLimits(StretchLimits::ZScale, 0, [&](int n) { return sampleBytes(picture, n); });
}

Range stretchLimits(const StretchSettings& settings, const QImage& picture)
{
    if (settings.limits == StretchLimits::MinMax)
        return minMaxLimits(picture);
    return sampledLimits(settings.limits, settings.percentile,
                         [&](int n) { return sampleBytes(picture, n); });
}

double stretchCurve(StretchCurve curve, double t)
{
    t = t > 0 ? std::min(t, 1.0) : 0.0;
    switch (curve) {
    case StretchCurve::Sqrt:
        return std::sqrt(t);
    case StretchCurve::Log:
        return std::log10(logScale * t + 1) / std::log10(logScale + 1);
    case StretchCurve::Asinh:
        return std::asinh(t / asinhSoftening) / std::asinh(1 / asinhSoftening);
    case StretchCurve::None:
    case StretchCurve::Linear:
    case StretchCurve::HistEq:
        break;
    }
    return t;
}

std::vector<quint32> byteHistogram(const QImage& source, Range range)
{
    const QImage picture = asRgb32(source);
    std::vector<quint32> counts(256);
    for (int y = 0; y < picture.height(); ++y) {
        for (const QRgb* p = row(picture, y); p < row(picture, y) + picture.width(); ++p)
            ++counts[size_t(qRed(*p))], ++counts[size_t(qGreen(*p))], ++counts[size_t(qBlue(*p))];
    }
    for (int level = 0; level < 256; ++level)
        counts[size_t(level)] = level < range.low || level > range.high ? 0 : counts[size_t(level)];
    return counts;
}

std::vector<quint32> floatHistogram(const float* values, int width, int height, qsizetype stride,
                                    const FloatAxis& axis)
{
    std::vector<quint32> counts(size_t(axis.entries()));
    const Range range = axis.range();
    for (int y = 0; values && y < height; ++y) {
        for (const float* v = values + y * stride; v < values + y * stride + width; ++v) {
            if (*v >= range.low && *v <= range.high)
                ++counts[size_t(axis.index(*v))];
        }
    }
    return counts;
}

StretchTable StretchTable::forBytes(const StretchSettings& settings, Range range,
                                    const std::vector<quint32>* histogram)
{
    const FloatAxis axis(Range{0, 255}, 256);
    std::vector<double> t(256);
    const double width = range.high - range.low;
    for (int level = 0; level < 256; ++level) {
        t[size_t(level)] = settings.curve == StretchCurve::None ? level / 255.0
                           : width > 0                          ? (level - range.low) / width
                                                                : double(level > range.low);
    }
    // level / 255 x 255 rounds back to level exactly: None is the identity.
    const bool identity = settings.curve == StretchCurve::None && !settings.invert;
    return StretchTable(axis, levelsFor(settings, t, histogram), identity);
}

StretchTable StretchTable::forFloats(const StretchSettings& settings, const FloatAxis& axis,
                                     const std::vector<quint32>* histogram)
{
    std::vector<double> t(size_t(axis.entries()));
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = double(i) / double(t.size() - 1);
    return StretchTable(axis, levelsFor(settings, t, histogram), false);
}
