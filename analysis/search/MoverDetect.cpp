#include "analysis/search/MoverDetect.h"

#include "analysis/Centroid.h"
#include "analysis/RobustNoise.h"
#include "platform/Picture.h"
#include "platform/ThreadHandoff.h"

#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cmath>

using namespace detect;

namespace {

constexpr float filterSigma = 1.2f; // pixels: a faint comet's head in a LASCO frame, a little blurred
constexpr int bleedRun = 8;         // saturated pixels in a row or column that make a bleed line
constexpr int bleedAspect = 3;      // ... when at least this many times as long as the line is wide
constexpr int maskMargin = 3;       // pixels masked around a bleed line or a saturated area
constexpr int rowsPerTask = 16;

using Bytes16 = unsigned char __attribute__((vector_size(16)));

} // namespace

namespace {

// Widens the marked pixels (non-zero) of `plane` by `maskMargin` in every direction.
void dilate(std::vector<unsigned char>& plane, int width, int height)
{
    std::vector<unsigned char> across(plane.size(), 0);
    for (int y = 0; y < height; ++y) {
        const unsigned char* in = plane.data() + size_t(y) * size_t(width);
        unsigned char* out = across.data() + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x)
            if (in[x])
                for (int i = std::max(0, x - maskMargin); i <= std::min(width - 1, x + maskMargin); ++i)
                    out[i] = 1;
    }
    std::fill(plane.begin(), plane.end(), 0);
    for (int y = 0; y < height; ++y) {
        const unsigned char* in = across.data() + size_t(y) * size_t(width);
        for (int j = std::max(0, y - maskMargin); j <= std::min(height - 1, y + maskMargin); ++j) {
            unsigned char* out = plane.data() + size_t(j) * size_t(width);
            for (int x = 0; x < width; ++x)
                out[x] |= in[x];
        }
    }
}

void maskRect(Planes& planes, size_t f, int x0, int y0, int x1, int y1)
{
    for (int y = std::max(0, y0 - maskMargin); y <= std::min(planes.height - 1, y1 + maskMargin); ++y) {
        planes.maskedRows[f][size_t(y)] = 1;
        for (int x = std::max(0, x0 - maskMargin); x <= std::min(planes.width - 1, x1 + maskMargin); ++x)
            planes.flags[f][planes.at(x, y)] |= Masked;
    }
}

// Masks, with a margin, what else holds no usable signal in frame `f` beyond the steady mask:
// saturated runs long enough to be bleed lines, pixels without a value. A short saturated spot in
// one frame (a bright comet's head, a cosmic-ray hit) is left to the linking.
void maskFrame(Planes& planes, size_t f)
{
    const int width = planes.width, height = planes.height;
    std::vector<unsigned char>& flags = planes.flags[f];
    planes.maskedRows[f].assign(size_t(height), 0);
    if (!planes.pictures[f]->values().empty()) {
        std::vector<unsigned char> none(flags.size());
        for (size_t i = 0; i < flags.size(); ++i)
            none[i] = flags[i] & NoValue;
        dilate(none, width, height);
        for (size_t i = 0; i < flags.size(); ++i) {
            if (none[i]) {
                flags[i] |= Masked;
                planes.maskedRows[f][i / size_t(width)] = 1;
            }
        }
    }
    // Bleed lines: runs along the rows, and down the columns (a run ends at a row without any
    // flagged pixel).
    std::vector<int> down(size_t(width), 0); // the saturated run ending above, per column
    bool open = false;
    // Most flagged rows are flagged for black pixels only (the occulter, the corners).
    const auto anySaturated = [&](int y) {
        const unsigned char* row = flags.data() + planes.at(0, y);
        int x = 0;
        for (; x + 16 <= width; x += 16) {
            Bytes16 sixteen;
            std::memcpy(&sixteen, row + x, sizeof sixteen);
            sixteen &= Bytes16{} + static_cast<unsigned char>(Saturated);
            quint64 halves[2];
            std::memcpy(halves, &sixteen, sizeof halves);
            if (halves[0] | halves[1])
                return true;
        }
        return std::any_of(row + x, row + width, [](unsigned char c) { return (c & Saturated) != 0; });
    };
    // A bleed line is long and thin; a bright comet's head is a saturated blob about as wide as
    // long, and is left to the linking. Saturated pixels in a line through (x, y) along (dx, dy):
    const auto extent = [&](int x, int y, int dx, int dy) {
        const auto saturated = [&](int i, int j) {
            return i >= 0 && j >= 0 && i < width && j < height && (flags[planes.at(i, j)] & Saturated);
        };
        int length = 1;
        for (int k = 1; saturated(x + k * dx, y + k * dy); ++k)
            ++length;
        for (int k = 1; saturated(x - k * dx, y - k * dy); ++k)
            ++length;
        return length;
    };
    const auto thin = [](int run, int across) { return bleedAspect * across <= run; };
    for (int y = 0; y <= height; ++y) {
        const bool any = y < height && planes.flaggedRows[f][size_t(y)] && anySaturated(y);
        if (!any && !open)
            continue;
        int across = 0;
        open = false;
        for (int x = 0; x <= width; ++x) {
            const bool saturated = any && x < width && (flags[planes.at(x, y)] & Saturated);
            if (saturated) {
                ++across;
            } else {
                if (across >= bleedRun && thin(across, extent(x - (across + 1) / 2, y, 0, 1)))
                    maskRect(planes, f, x - across, y, x - 1, y);
                across = 0;
            }
            if (x == width)
                continue;
            if (saturated) {
                ++down[size_t(x)];
                open = true;
            } else {
                const int run = down[size_t(x)];
                if (run >= bleedRun && thin(run, extent(x, y - (run + 1) / 2, 1, 0)))
                    maskRect(planes, f, x, y - run, x, y - 1);
                down[size_t(x)] = 0;
            }
        }
    }
}

// The masked residual of frame `f` through the matched filter (a separable Gaussian, zero beyond
// the picture), in place, and the noise of its single pixels.
void filterFrame(Planes& planes, size_t f)
{
    maskFrame(planes, f);
    const int width = planes.width, height = planes.height;
    std::vector<float>& residual = planes.signal[f];
    for (int y = 0; y < height; ++y)
        planes.clearMasked(f, y, residual.data() + planes.at(0, y));
    std::vector<float> sample;
    for (size_t i = 0; i < residual.size(); i += 61)
        if (!planes.masked(f, i))
            sample.push_back(residual[i]);
    planes.pixelNoise[f] = clippedSigma(sample);

    // The Gaussian is symmetric: four weights, each for a pair of taps (the middle one alone).
    static_assert(reach == 3);
    Floats4 w[reach + 1];
    for (int k = 0; k <= reach; ++k) {
        const float weight = std::exp(-float(k * k) / (2 * filterSigma * filterSigma));
        w[k] = Floats4{weight, weight, weight, weight};
    }
    // Rows filtered across, kept for the rows within reach of the one filtered down; rows beyond
    // the picture are zero.
    const size_t stride = (size_t(width) + 3) / 4 * 4;
    constexpr int ring = 2 * reach + 1;
    std::vector<float> across((ring + 1) * stride, 0.0f);
    const float* zero = across.data() + ring * stride;
    std::vector<float> padded(stride + 2 * reach + 4, 0.0f);
    const auto filterAcross = [&](int y) {
        std::copy_n(residual.data() + planes.at(0, y), width, padded.data() + reach);
        float* out = across.data() + size_t(y % ring) * stride;
        const float* in = padded.data() + reach;
        for (size_t x = 0; x < stride; x += 4)
            store4(out + x, w[0] * load4(in + x) + w[1] * (load4(in + x - 1) + load4(in + x + 1)) +
                                w[2] * (load4(in + x - 2) + load4(in + x + 2)) +
                                w[3] * (load4(in + x - 3) + load4(in + x + 3)));
    };
    for (int y = 0; y < std::min(reach, height); ++y)
        filterAcross(y);
    // In place: row y is written once the rows up to y + reach have been filtered across.
    std::vector<float>& filtered = residual;
    std::vector<float> row(stride);
    for (int y = 0; y < height; ++y) {
        if (y + reach < height)
            filterAcross(y + reach);
        const auto line = [&](int j) {
            return j < 0 || j >= height ? zero : across.data() + size_t(j % ring) * stride;
        };
        const float *m3 = line(y - 3), *m2 = line(y - 2), *m1 = line(y - 1), *c = line(y);
        const float *p1 = line(y + 1), *p2 = line(y + 2), *p3 = line(y + 3);
        for (size_t x = 0; x < stride; x += 4)
            store4(row.data() + x, w[0] * load4(c + x) + w[1] * (load4(m1 + x) + load4(p1 + x)) +
                                       w[2] * (load4(m2 + x) + load4(p2 + x)) +
                                       w[3] * (load4(m3 + x) + load4(p3 + x)));
        std::copy_n(row.data(), width, filtered.data() + planes.at(0, y));
    }
}

} // namespace

void detect::forRows(int height, const std::function<void(int first, int last)>& work)
{
    parallelFor((height + rowsPerTask - 1) / rowsPerTask,
                [&](int task) { work(task * rowsPerTask, std::min(height, (task + 1) * rowsPerTask)); });
}

float SignalFrames::at(size_t frame, QPointF point) const
{
    // Pixel i's value belongs to its centre, i + 0.5.
    const double fx = point.x() - 0.5;
    const double fy = point.y() - 0.5;
    if (!(fx >= 0 && fy >= 0 && fx <= width - 1 && fy <= height - 1))
        return 0;
    const int x = std::min(int(fx), width - 2);
    const int y = std::min(int(fy), height - 2);
    const float wx = float(fx - x);
    const float wy = float(fy - y);
    const std::vector<float>& map = snr[frame];
    const size_t i = size_t(y) * size_t(width) + size_t(x);
    const size_t below = i + size_t(width);
    return (1 - wy) * ((1 - wx) * map[i] + wx * map[i + 1]) +
           wy * ((1 - wx) * map[below] + wx * map[below + 1]);
}

namespace {
thread_local bool serialStages = false;
} // namespace

SerialStages::SerialStages(bool serial) : m_was(serialStages)
{
    serialStages = serialStages || serial;
}

SerialStages::~SerialStages()
{
    serialStages = m_was;
}

void parallelFor(int count, const std::function<void(int)>& work)
{
    if (count <= 0)
        return;
    if (serialStages) {
        for (int i = 0; i < count; ++i)
            work(i);
        return;
    }
    struct Task
    {
        int index;
        const std::function<void(int)>* work;
    };
    std::vector<Task> tasks;
    for (int i = 0; i < count; ++i)
        tasks.push_back({i, &work});
    // The shared pool's threads, this one taking its share (a search runs on a pool thread). The
    // workers read nothing of ours before they take the hand-over.
    static const char handOverPoint = 0;
    handOver(&handOverPoint);
    QtConcurrent::blockingMap(tasks, [](const Task& task) {
        takeOver(&handOverPoint);
        (*task.work)(task.index);
        handOver(&handOverPoint);
    });
    takeOver(&handOverPoint);
}

std::optional<SignalFrames> detectSignals(std::span<const Picture* const> pictures, int progressEnd,
                                          const std::function<bool(int)>& progress)
{
    const auto goOn = [&](int share) { return !progress || progress(progressEnd * share / 100); };
    Planes planes;
    planes.width = pictures.front()->pixelWidth();
    planes.height = pictures.front()->pixelHeight();
    planes.frames = pictures.size();
    const size_t pixels = size_t(planes.width) * size_t(planes.height);
    planes.pictures = pictures;
    planes.median.resize(pixels);
    planes.range.resize(pixels);
    planes.signal.resize(planes.frames);
    planes.flags.resize(planes.frames);
    planes.flaggedRows.assign(planes.frames, std::vector<char>(size_t(planes.height), 0));
    planes.maskedRows.resize(planes.frames);
    planes.pixelNoise.assign(planes.frames, 0.0f);
    planes.scale = exposureScales(pictures);
    const int n = int(planes.frames);

    // Fresh memory costs a page fault a page: the planes are taken on all cores.
    parallelFor(n, [&](int f) {
        planes.signal[size_t(f)].resize(pixels);
        planes.flags[size_t(f)].resize(pixels);
    });
    Clipped clipped{std::vector<unsigned char>(pixels, 0), std::vector<unsigned char>(pixels, 0)};
    forRows(planes.height,
            [&](int first, int last) { medianResidual(pictures, planes, clipped, first, last); });
    // A pixel black in two frames or more lies at the bottom of the range, where the noise is cut
    // off; one saturated in all frames but one, in the inner corona. A moving head saturates a
    // pixel in a few frames, a slow and bright one in half of them: what stays put is masked,
    // what moves is left to the linking.
    std::vector<unsigned char>& steady = clipped.black;
    const int saturatedFrames = std::max(2, n - 1);
    for (size_t i = 0; i < pixels; ++i)
        steady[i] = steady[i] >= 2 || clipped.saturated[i] >= saturatedFrames;
    dilate(steady, planes.width, planes.height);
    planes.steady = std::move(steady);
    maskOutsideField(planes);
    planes.steadyRuns.resize(size_t(planes.height));
    for (int y = 0; y < planes.height; ++y) {
        const unsigned char* row = planes.steady.data() + planes.at(0, y);
        for (int x = 0; x < planes.width;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < planes.width && row[x])
                ++x;
            planes.steadyRuns[size_t(y)].push_back({start, x});
        }
    }
    std::vector<std::vector<Detection>> points = brightPoints(planes);
    if (!goOn(35))
        return std::nullopt;
    parallelFor(n, [&](int f) { filterFrame(planes, size_t(f)); });
    subtractBackground(planes);
    if (!goOn(65))
        return std::nullopt;
    measureNoise(planes);
    if (!goOn(75))
        return std::nullopt;
    SignalFrames maps;
    maps.width = planes.width;
    maps.height = planes.height;
    maps.detections.resize(planes.frames);
    maps.faint.resize(planes.frames);
    parallelFor(n, [&](int f) {
        std::vector<Detection> found = detectFrame(planes, size_t(f));
        const auto faint = std::partition(found.begin(), found.end(),
                                          [](const Detection& d) { return d.snr >= detectionThreshold; });
        maps.faint[size_t(f)].assign(faint, found.end());
        found.erase(faint, found.end());
        maps.detections[size_t(f)] = std::move(found);
    });
    maps.points = std::move(points);
    maps.snr = std::move(planes.signal);
    if (!goOn(100))
        return std::nullopt;
    return maps;
}
