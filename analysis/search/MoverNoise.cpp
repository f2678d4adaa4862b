// The detection stage's noise and detections: how much the filtered residual varies around each
// pixel, each frame's signal-to-noise map, and the spots standing out in it.
#include "analysis/search/MoverDetect.h"

#include "analysis/RobustNoise.h"

#include "platform/Picture.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <tuple>

using namespace detect;

namespace {

constexpr int noiseReach = 7;           // the noise is averaged over squares of 2 x 7 + 1 pixels a side
constexpr float loneLevel = 5.0f;       // pixel noise sigmas above which a lone pixel is a hit
constexpr size_t maxDetections = 20000; // per frame, the strongest kept
constexpr float sharpRatio = 4.5f;      // a peak pixel this many times its 3 x 3 mean is a hit
constexpr double broadShare = 0.5;      // the residual 3 to 5 pixels out against the peak's: broad
constexpr float shapeLevel = 5.0f;      // noise sigmas from which a spot's shape is measured

} // namespace

// Sums over squares of 2 x `noiseReach` + 1 pixels a side (cut off at the picture's edges), in
// place: along the rows, then down the columns.
void detect::boxSum(const Planes& planes, std::vector<float>& plane)
{
    const int width = planes.width, height = planes.height;
    const std::unique_ptr<float[]> across(new float[plane.size()]); // each written before it is read
    forRows(height, [&](int first, int last) {
        std::vector<double> prefix(size_t(width) + 1); // doubles: a float running sum would drift
        for (int y = first; y < last; ++y) {
            const float* in = plane.data() + planes.at(0, y);
            for (int x = 0; x < width; ++x)
                prefix[size_t(x) + 1] = prefix[size_t(x)] + in[x];
            float* out = across.get() + planes.at(0, y);
            for (int x = 0; x < width; ++x)
                out[x] = float(prefix[size_t(std::min(width, x + noiseReach + 1))] -
                               prefix[size_t(std::max(0, x - noiseReach))]);
        }
    });
    forRows(height, [&](int first, int last) {
        std::vector<float> sum(size_t(width) + 4, 0.0f);
        for (int j = std::max(0, first - noiseReach); j < std::min(height, first + noiseReach); ++j)
            for (int x = 0; x < width; ++x)
                sum[size_t(x)] += across[planes.at(x, j)];
        for (int y = first; y < last; ++y) {
            const auto row = [&](int j) { return across.get() + planes.at(0, j); };
            // The row below the square enters it; the row above leaves it (the task's first
            // square was summed whole).
            const bool enters = y + noiseReach < height;
            const bool leaves = y > first && y - noiseReach - 1 >= 0;
            int x = 0;
            for (; x + 4 <= width; x += 4) {
                Floats4 s = load4(sum.data() + x);
                if (enters)
                    s += load4(row(y + noiseReach) + x);
                if (leaves)
                    s -= load4(row(y - noiseReach - 1) + x);
                store4(sum.data() + x, s);
            }
            for (; x < width; ++x)
                sum[size_t(x)] +=
                    (enters ? row(y + noiseReach)[x] : 0.0f) - (leaves ? row(y - noiseReach - 1)[x] : 0.0f);
            std::copy_n(sum.data(), width, plane.data() + planes.at(0, y));
        }
    });
}

namespace {

// The mean square of the filtered residual as a function of the median brightness. The noise
// changes with the brightness (where the C3 colour table brings in green above level 128, JPEG's
// errors in it come in too) from one pixel to the next, faster than a square follows.
class NoiseByLevel
{
public:
    NoiseByLevel(const Planes& planes, const std::vector<float>& square)
    {
        const size_t pixels = square.size();
        float hi = -INFINITY;
        for (size_t i = 0; i < pixels; i += 5) {
            if (planes.steady[i])
                continue;
            m_lo = std::min(m_lo, planes.median[i]);
            hi = std::max(hi, planes.median[i]);
        }
        if (!(hi > m_lo))
            return;
        m_scale = bins / (hi - m_lo);
        std::vector<double> sum(bins, 0.0);
        std::vector<int> count(bins, 0);
        for (size_t i = 0; i < pixels; i += 3) {
            if (planes.steady[i])
                continue;
            const size_t b = bin(planes.median[i]);
            sum[b] += square[i];
            ++count[b];
        }
        for (size_t b = 0; b < bins; ++b)
            if (count[b] >= 50)
                m_curve[b] = float(sum[b] / count[b]);
    }

    // The mean square at a median brightness; 0 where too few pixels tell.
    float at(float level) const { return m_scale > 0 ? m_curve[bin(level)] : 0.0f; }

private:
    static constexpr int bins = 128;
    size_t bin(float v) const { return size_t(std::clamp(int((v - m_lo) * m_scale), 0, bins - 1)); }

    float m_lo = INFINITY;
    float m_scale = 0;
    float m_curve[bins] = {};
};

} // namespace

// What is broader than a point leaves the filtered residual: each pixel less the mean of the
// square around it, over the unmasked pixels. A streamer's slow change, a CME's front or a
// brightening patch reach over many pixels; a comet's head is a point.
void detect::subtractBackground(Planes& planes)
{
    // The mean over squares of 5 x 5 cells of 4 pixels, between cells' centres bilinearly: a
    // smooth background that costs two passes over a frame, where a box sum at every pixel costs
    // four and two fresh planes.
    constexpr int cell = 4;   // pixels
    constexpr int reach = 2;  // cells each side
    static_assert(cell == 4); // four pixels summed at once
    const int width = planes.width, height = planes.height;
    const int columns = (width + cell - 1) / cell, rows = (height + cell - 1) / cell;
    const auto at = [columns](int c, int r) { return size_t(r) * size_t(columns) + size_t(c); };
    // Sums over the 5 x 5 cells around each cell, cut off at the edges: across, then down.
    const auto boxCells = [&](const std::vector<float>& in) {
        std::vector<float> across(in.size(), 0.0f), out(in.size(), 0.0f);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                for (int d = std::max(0, c - reach); d <= std::min(columns - 1, c + reach); ++d)
                    across[at(c, r)] += in[at(d, r)];
        for (int r = 0; r < rows; ++r)
            for (int d = std::max(0, r - reach); d <= std::min(rows - 1, r + reach); ++d)
                for (int c = 0; c < columns; ++c)
                    out[at(c, r)] += across[at(c, d)];
        return out;
    };
    // Each pixel's sum into its cell, row by row.
    const auto cellSums = [&](const auto& value) {
        std::vector<float> sums(size_t(columns) * size_t(rows), 0.0f);
        for (int y = 0; y < height; ++y) {
            float* cells = sums.data() + at(0, y / cell);
            const size_t row = planes.at(0, y);
            int x = 0;
            for (; x + cell <= width; x += cell)
                cells[x / cell] += value(row + size_t(x)) + value(row + size_t(x) + 1) +
                                   value(row + size_t(x) + 2) + value(row + size_t(x) + 3);
            for (; x < width; ++x)
                cells[x / cell] += value(row + size_t(x));
        }
        return sums;
    };
    const std::vector<float> counted =
        boxCells(cellSums([&](size_t i) { return planes.steady[i] ? 0.0f : 1.0f; }));
    // Each column's two cells and the share of the second, between the cells' centres; likewise
    // each row's.
    const auto between = [](int pixel, int cells) {
        const float at = std::clamp((pixel + 0.5f) / cell - 0.5f, 0.0f, float(cells - 1));
        const int first = std::min(int(at), std::max(cells - 2, 0));
        return std::pair{first, std::min(at - float(first), 1.0f)};
    };
    std::vector<int> left(static_cast<size_t>(width));
    std::vector<float> share(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        std::tie(left[size_t(x)], share[size_t(x)]) = between(x, columns);
    parallelFor(int(planes.frames), [&](int f) {
        float* signal = planes.signal[size_t(f)].data();
        std::vector<float> mean =
            boxCells(cellSums([&](size_t i) { return signal[i]; })); // masked pixels hold 0
        for (size_t c = 0; c < mean.size(); ++c)
            mean[c] = counted[c] > 0 ? mean[c] / counted[c] : 0.0f;
        // A row of cells interpolated across to every pixel, for the two cell rows a pixel row
        // lies between; down, the rows of a band share them.
        std::vector<float> upper(static_cast<size_t>(width)), lower(static_cast<size_t>(width));
        const auto widen = [&](int r, std::vector<float>& out) {
            const float* means = mean.data() + at(0, std::min(r, rows - 1));
            for (int x = 0; x < width; ++x) {
                const size_t c = size_t(left[size_t(x)]), d = std::min(c + 1, size_t(columns - 1));
                out[size_t(x)] = (1 - share[size_t(x)]) * means[c] + share[size_t(x)] * means[d];
            }
        };
        int band = -1;
        for (int y = 0; y < height; ++y) {
            const auto [top, down] = between(y, rows);
            if (top != band) {
                widen(top, upper);
                widen(top + 1, lower);
                band = top;
            }
            float* row = signal + planes.at(0, y);
            const unsigned char* steady = planes.steady.data() + planes.at(0, y);
            const Floats4 up = Floats4{} + (1 - down), on = Floats4{} + down;
            int x = 0;
            for (; x + 4 <= width; x += 4) {
                const Floats4 keep = {steady[x] ? 0.0f : 1.0f, steady[x + 1] ? 0.0f : 1.0f,
                                      steady[x + 2] ? 0.0f : 1.0f, steady[x + 3] ? 0.0f : 1.0f};
                store4(row + x,
                       load4(row + x) - keep * (up * load4(upper.data() + x) + on * load4(lower.data() + x)));
            }
            for (; x < width; ++x)
                row[x] -= steady[x] ? 0.0f : (1 - down) * upper[size_t(x)] + down * lower[size_t(x)];
        }
    });
}

// The mean square of the frames' filtered values at each pixel with the largest ones left out (a
// mover crosses a pixel in one frame or two), averaged over a square around it. Shared by the
// frames, it follows what they share: more noise in the bright corona, ringing along the
// occulter's edge, quiet dark corners.
void detect::measureNoise(Planes& planes)
{
    constexpr float signalClip = 10; // noise sigmas of its brightness above which a value is signal
    const size_t n = planes.frames;
    const size_t dropped = std::clamp<size_t>(n / 4, 1, 4);
    const size_t pixels = size_t(planes.width) * size_t(planes.height);
    std::vector<float> square(pixels);
    std::vector<float> weight(pixels);
    forRows(planes.height, [&](int first, int last) {
        const size_t end = planes.at(0, last);
        const float share = 1.0f / float(n - dropped);
        size_t i = planes.at(0, first);
        for (; i + 4 <= end; i += 4) {
            Floats4 sum = {}, top[4] = {};
            for (size_t f = 0; f < n; ++f) {
                Floats4 v = load4(planes.signal[f].data() + i);
                v *= v;
                sum += v;
                for (size_t k = 0; k < dropped; ++k) {
                    const Floats4 higher = v > top[k] ? v : top[k];
                    v = v > top[k] ? top[k] : v;
                    top[k] = higher;
                }
            }
            for (size_t k = 0; k < dropped; ++k)
                sum -= top[k];
            store4(square.data() + i, sum * share);
        }
        for (; i < end; ++i) {
            std::vector<float> v(n);
            for (size_t f = 0; f < n; ++f)
                v[f] = planes.signal[f][i] * planes.signal[f][i];
            std::sort(v.begin(), v.end());
            square[i] = 0;
            for (size_t f = 0; f + dropped < n; ++f)
                square[i] += v[f] * share;
        }
        for (i = planes.at(0, first); i < end; ++i) {
            weight[i] = planes.steady[i] ? 0.0f : 1.0f;
            square[i] *= weight[i];
        }
    });
    const NoiseByLevel byLevel(planes, square);
    // A bright mover lights the same pixels in several frames when it is slow and large, more
    // than the frames set aside: its own light would pass for noise and drown it. What stands far
    // above the noise of its brightness is signal, and is set aside too.
    forRows(planes.height, [&](int first, int last) {
        std::vector<float> kept;
        for (size_t i = planes.at(0, first); i < planes.at(0, last); ++i) {
            const float limit = signalClip * signalClip * byLevel.at(planes.median[i]);
            if (!(limit > 0) || weight[i] == 0)
                continue;
            bool above = false;
            for (size_t f = 0; f < n; ++f)
                above = above || planes.signal[f][i] * planes.signal[f][i] > limit;
            if (!above)
                continue; // nothing stood out: the trimmed mean stands
            kept.clear();
            for (size_t f = 0; f < n; ++f) {
                const float v = planes.signal[f][i] * planes.signal[f][i];
                if (v <= limit)
                    kept.push_back(v);
            }
            const size_t drop = std::min(kept.size(), dropped - std::min(dropped, n - kept.size()));
            std::sort(kept.begin(), kept.end());
            if (kept.size() == drop) {
                square[i] = weight[i] = 0;
                continue;
            }
            square[i] = std::accumulate(kept.begin(), kept.end() - std::ptrdiff_t(drop), 0.0f) /
                        float(kept.size() - drop);
        }
    });
    boxSum(planes, square);
    boxSum(planes, weight);
    std::vector<float> sample;
    for (size_t i = 0; i < pixels; i += 97)
        if (weight[i] > 0 && square[i] > 0)
            sample.push_back(square[i] / weight[i]);
    std::nth_element(sample.begin(), sample.begin() + std::ptrdiff_t(sample.size() / 2), sample.end());
    const float typical = sample.empty() ? 0.0f : sample[sample.size() / 2];
    // A quiet place (the occulter, the corners beyond the field) is held to half the typical
    // noise, so that faint JPEG ripples there do not pass for signal; frames equal to their
    // median everywhere have no noise at all, and any level will do.
    const float floor = typical > 0 ? 0.25f * typical : 1.0f;
    planes.inverseNoise.resize(pixels);
    forRows(planes.height, [&](int first, int last) {
        for (size_t i = planes.at(0, first); i < planes.at(0, last); ++i)
            planes.inverseNoise[i] = 1.0f / std::sqrt(std::max({weight[i] > 0 ? square[i] / weight[i] : 0.0f,
                                                                floor, byLevel.at(planes.median[i])}));
    });
}

// The map is scaled so that the frame's own noise in it is one (a frame may be noisier than the
// others). Detections are local maxima above the threshold that are not made by one pixel alone
// (a hit, not an object of some extent).
std::vector<Detection> detect::detectFrame(Planes& planes, size_t f)
{
    const int width = planes.width, height = planes.height;
    std::vector<float>& snr = planes.signal[f];
    std::vector<float> sample;
    for (int y = edge; y < height - edge; y += 7)
        for (int x = edge; x < width - edge; x += 3)
            if (!planes.masked(f, planes.at(x, y)))
                sample.push_back(snr[planes.at(x, y)] * planes.inverseNoise[planes.at(x, y)]);
    const float scale = clippedSigma(sample);
    const float inverse = scale > 0 ? 1.0f / scale : 1.0f;
    for (int y = 0; y < height; ++y) {
        float* row = snr.data() + planes.at(0, y);
        if (y < edge || y >= height - edge) {
            std::fill_n(row, width, 0.0f);
            continue;
        }
        const float* noise = planes.inverseNoise.data() + planes.at(0, y);
        int x = 0;
        for (; x + 4 <= width; x += 4)
            store4(row + x, load4(row + x) * load4(noise + x) * inverse);
        for (; x < width; ++x)
            row[x] *= noise[x] * inverse;
        std::fill_n(row, edge, 0.0f);
        std::fill_n(row + width - edge, edge, 0.0f);
        planes.clearMasked(f, y, row);
    }

    const Picture& picture = *planes.pictures[f];
    const auto level = [&](int x, int y) {
        if (!picture.values().empty())
            return picture.values()[planes.at(x, y)];
        return levelOf(reinterpret_cast<const QRgb*>(picture.decoded().constScanLine(y))[x]);
    };
    const auto value = [&](int x, int y) { return snr[planes.at(x, y)]; };
    const auto raw = [&](int x, int y) {
        const float v = level(x, y) - planes.median[planes.at(x, y)];
        return std::isfinite(v) ? v : -INFINITY;
    };
    const float lone = loneLevel * planes.pixelNoise[f];
    std::vector<Detection> found;
    for (int y = edge; y < height - edge; ++y) {
        const float* row = snr.data() + planes.at(0, y);
        for (int x = edge; x < width - edge; ++x) {
            if ((x & 3) == 0 && x + 4 <= width - edge) {
                // Most of the map is below the threshold: four pixels at a time.
                const auto above = load4(row + x) >= faintThreshold;
                if (!(above[0] || above[1] || above[2] || above[3])) {
                    x += 3;
                    continue;
                }
            }
            const float v = row[x];
            if (v < faintThreshold)
                continue;
            if (!(v > value(x - 1, y - 1) && v > value(x, y - 1) && v > value(x + 1, y - 1) &&
                  v > value(x - 1, y) && v >= value(x + 1, y) && v >= value(x - 1, y + 1) &&
                  v >= value(x, y + 1) && v >= value(x + 1, y + 1)))
                continue;
            int px = x, py = y;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (raw(x + dx, y + dy) > raw(px, py))
                        px = x + dx, py = y + dy;
            float neighbour = -INFINITY;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (dx || dy)
                        neighbour = std::max(neighbour, raw(px + dx, py + dy));
            if (raw(px, py) > lone && neighbour < raw(px, py) / 4)
                continue;
            // Sharper than the optics draw a point: a hit, blurred a little by JPEG. The peak
            // against its 3 x 3 neighbourhood's mean is about 1.5 for a point, 9 for one pixel.
            float around = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    around += raw(px + dx, py + dy);
            if (raw(px, py) > lone && raw(px, py) > sharpRatio * around / 9)
                continue;
            // Broader than a point: a few pixels out the residual is nearly as bright as at the
            // peak (a CME's front, a streamer's knot, a patch of corona brightening).
            if (v >= shapeLevel) {
                double core = 0, ring = 0;
                int inCore = 0, inRing = 0;
                for (int dy = -5; dy <= 5; ++dy) {
                    for (int dx = -5; dx <= 5; ++dx) {
                        if (px + dx < 0 || py + dy < 0 || px + dx >= width || py + dy >= height)
                            continue;
                        const float r = raw(px + dx, py + dy);
                        const int d2 = dx * dx + dy * dy;
                        if (!std::isfinite(r))
                            continue;
                        if (d2 <= 2)
                            core += r, ++inCore;
                        else if (d2 >= 9 && d2 <= 25)
                            ring += r, ++inRing;
                    }
                }
                if (inCore > 0 && inRing > 0 && core > 0 && ring / inRing > broadShare * core / inCore)
                    continue;
            }
            // A cosmic ray's streak (a comet's tail, however bright, lies on one side of its
            // head).
            if (v >= shapeLevel && streak(snr, width, height, x, y))
                continue;
            // Sub-pixel position: a parabola through the peak and its neighbours on each axis.
            const auto offset = [](float before, float at, float after) {
                const float curve = before - 2 * at + after;
                return curve < 0 ? std::clamp(0.5f * (before - after) / curve, -0.5f, 0.5f) : 0.0f;
            };
            const float ox = offset(value(x - 1, y), v, value(x + 1, y));
            const float oy = offset(value(x, y - 1), v, value(x, y + 1));
            found.push_back({QPointF(x + 0.5 + ox, y + 0.5 + oy), v});
        }
    }
    if (found.size() > maxDetections) {
        std::nth_element(found.begin(), found.begin() + maxDetections, found.end(),
                         [](const Detection& a, const Detection& b) { return a.snr > b.snr; });
        found.resize(maxDetections);
    }
    return found;
}
