// The frames' levels and each pixel's median over them: the first pass of the detection stage.
#include "analysis/search/MoverDetect.h"

#include "platform/Picture.h"

#include <algorithm>
#include <cmath>
#include <numeric>

using namespace detect;

namespace {

constexpr unsigned blackLevel = 2; // the sum of the components at or below which a pixel is black
constexpr int constantRun = 16;    // data values repeated along a row that are no data
constexpr float farOut = 1e30f;    // beyond any value, yet finite: half a sum of two is still 0

using Ints4 = quint32 __attribute__((vector_size(4 * sizeof(quint32))));
using Bytes16 = unsigned char __attribute__((vector_size(16)));

} // namespace

bool detect::readRow(const Picture& picture, float scale, int y, float* out, unsigned char* flags)
{
    const int width = picture.pixelWidth();
    const std::vector<float>& values = picture.values();
    bool flagged = false;
    if (!values.empty()) {
        const float* row = values.data() + size_t(y) * size_t(width);
        for (int x = 0; x < width;) {
            // Science frames lose whole blocks of telemetry: they hold zeros, or one value
            // repeated where light never holds still.
            int run = 1;
            while (x + run < width && row[x + run] == row[x])
                ++run;
            const bool missing = !std::isfinite(row[x]) || row[x] == 0 || run >= constantRun;
            for (int k = x; k < x + run; ++k) {
                out[k] = missing ? 0.0f : row[k] * scale;
                flags[k] = missing ? NoValue : 0;
            }
            flagged = flagged || missing;
            x += run;
        }
        return flagged;
    }
    const auto* row = reinterpret_cast<const QRgb*>(picture.decoded().constScanLine(y));
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        Ints4 p;
        std::memcpy(&p, row + x, sizeof p);
        const Ints4 r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        const Ints4 sum = r + g + b;
        store4(out + x, __builtin_convertvector(sum, Floats4));
        const auto saturated = sum >= 3 * saturatedLevel;
        const auto black = sum <= blackLevel;
        unsigned char four[4] = {};
        if (saturated[0] || saturated[1] || saturated[2] || saturated[3] || black[0] || black[1] ||
            black[2] || black[3]) {
            for (int k = 0; k < 4; ++k)
                four[k] = (saturated[k] ? Saturated : 0) | (black[k] ? Black : 0);
            flagged = true;
        }
        std::memcpy(flags + x, four, sizeof four);
    }
    for (; x < width; ++x) {
        out[x] = levelOf(row[x]);
        const unsigned sum = unsigned(out[x]);
        flags[x] = (sum >= 3 * saturatedLevel ? Saturated : 0) | (sum <= blackLevel ? Black : 0);
        flagged = flagged || flags[x];
    }
    return flagged;
}

namespace {

// Batcher's odd-even merge sort as compare-exchange pairs (19 for 8 frames, against 28 for a
// transposition sort); none beyond 16 frames, which are sorted a pixel at a time.
std::vector<std::pair<size_t, size_t>> sortingNetwork(size_t n)
{
    std::vector<std::pair<size_t, size_t>> pairs;
    if (n > 16)
        return pairs;
    size_t size = 1;
    while (size < n)
        size *= 2;
    for (size_t p = 1; p < size; p *= 2)
        for (size_t k = p; k >= 1; k /= 2)
            for (size_t j = k % p; j + k < size; j += 2 * k)
                for (size_t i = 0; i < std::min(k, size - j - k); ++i)
                    if ((i + j) / (2 * p) == (i + j + k) / (2 * p) && i + j + k < n)
                        pairs.push_back({i + j, i + j + k});
    return pairs;
}

} // namespace

// Rows [first, last): brightness, then the residual against the per-pixel median over the
// frames, and the frames in which each pixel is clipped.
void detect::medianResidual(std::span<const Picture* const> pictures, Planes& planes, Clipped& clipped,
                            int first, int last)
{
    constexpr int lanes = 256;
    const size_t n = planes.frames;
    const int width = planes.width;
    std::vector<float> sorted(n * lanes);
    std::vector<float> pixel(n);
    const std::vector<std::pair<size_t, size_t>> network = sortingNetwork(n);
    for (int y = first; y < last; ++y) {
        const size_t row = planes.at(0, y);
        for (size_t f = 0; f < n; ++f)
            planes.flaggedRows[f][size_t(y)] =
                readRow(*pictures[f], planes.scale[f], y, planes.signal[f].data() + row,
                        planes.flags[f].data() + row);
        // A pixel without a value in some frames takes its median from the others: their missing
        // values go in turn to either end of the order (a block lost in half the frames would
        // otherwise halve the median there and light up in the rest).
        // Only rows where some frame lost a value (8-bit frames never do).
        if (std::any_of(planes.flaggedRows.begin(), planes.flaggedRows.end(),
                        [&](const std::vector<char>& rows) { return rows[size_t(y)] != 0; }) &&
            std::any_of(pictures.begin(), pictures.end(),
                        [](const Picture* p) { return !p->values().empty(); })) {
            for (int x = 0; x < width; ++x) {
                size_t missing = 0;
                for (size_t f = 0; f < n; ++f) {
                    if (planes.flags[f][row + size_t(x)] & NoValue) {
                        planes.signal[f][row + size_t(x)] = missing % 2 ? farOut : -farOut;
                        ++missing;
                    }
                }
                // Lost in half the frames or more: no background to measure the rest against.
                if (missing > 0 && 2 * missing >= n) {
                    for (size_t f = 0; f < n; ++f) {
                        planes.flags[f][row + size_t(x)] |= NoValue;
                        planes.flaggedRows[f][size_t(y)] = 1;
                    }
                }
            }
        }
        for (int x0 = 0; x0 < width; x0 += lanes) {
            const int count = std::min(lanes, width - x0);
            for (size_t f = 0; f < n; ++f)
                std::copy_n(planes.signal[f].data() + row + size_t(x0), count, sorted.data() + f * lanes);
            if (!network.empty()) {
                // A sorting network across the frames, all pixels of the stretch at once: the
                // compiler turns the inner loop into vector min and max.
                for (const auto& [i, j] : network) {
                    float* a = sorted.data() + i * lanes;
                    float* b = sorted.data() + j * lanes;
                    for (int k = 0; k < lanes; ++k) {
                        const float lo = std::min(a[k], b[k]);
                        const float hi = std::max(a[k], b[k]);
                        a[k] = lo;
                        b[k] = hi;
                    }
                }
            } else {
                for (int k = 0; k < count; ++k) {
                    for (size_t f = 0; f < n; ++f)
                        pixel[f] = sorted[f * lanes + size_t(k)];
                    std::sort(pixel.begin(), pixel.end());
                    for (size_t f = 0; f < n; ++f)
                        sorted[f * lanes + size_t(k)] = pixel[f];
                }
            }
            const float* lower = sorted.data() + ((n - 1) / 2) * lanes;
            const float* upper = sorted.data() + (n / 2) * lanes;
            float* median = planes.median.data() + row + size_t(x0);
            int k = 0;
            const float* lowest = sorted.data();
            const float* highest = sorted.data() + (n - 1) * lanes;
            float* range = planes.range.data() + row + size_t(x0);
            for (k = 0; k < count; ++k)
                range[k] = highest[k] - lowest[k];
            for (k = 0; k + 4 <= count; k += 4)
                store4(median + k, 0.5f * (load4(lower + k) + load4(upper + k)));
            for (; k < count; ++k)
                median[k] = 0.5f * (lower[k] + upper[k]);
            // Where most frames lost the pixel, what is left of their stand-ins is no level.
            for (k = 0; k < count; ++k)
                if (std::abs(median[k]) > 0.25f * farOut)
                    median[k] = 0;
            for (size_t f = 0; f < n; ++f) {
                float* out = planes.signal[f].data() + row + size_t(x0);
                k = 0;
                for (; k + 4 <= count; k += 4)
                    store4(out + k, load4(out + k) - load4(median + k));
                for (; k < count; ++k)
                    out[k] -= median[k];
            }
        }
        for (size_t f = 0; f < n; ++f) {
            if (!planes.flaggedRows[f][size_t(y)])
                continue;
            const unsigned char* flags = planes.flags[f].data() + row;
            unsigned char* saturatedIn = clipped.saturated.data() + row;
            unsigned char* blackIn = clipped.black.data() + row;
            for (int x = 0; x < width; ++x) {
                saturatedIn[x] = std::min(255, saturatedIn[x] + ((flags[x] & Saturated) != 0));
                blackIn[x] = std::min(2, blackIn[x] + ((flags[x] & Black) != 0));
            }
            if (!pictures[f]->values().empty()) {
                float* out = planes.signal[f].data() + row;
                for (int x = 0; x < width; ++x)
                    if (flags[x] & NoValue)
                        out[x] = 0;
            }
        }
    }
}

// Science frames count what fell on each pixel while the shutter was open: each frame's values
// are brought to the window's mean exposure (EXPTIME, seconds) when every frame gives one.
std::vector<float> detect::exposureScales(std::span<const Picture* const> pictures)
{
    std::vector<double> exposures;
    for (const Picture* picture : pictures) {
        bool known = false;
        const double seconds = picture->keywords().value(QStringLiteral("EXPTIME")).toDouble(&known);
        if (!known || !(seconds > 0) || picture->values().empty())
            return std::vector<float>(pictures.size(), 1.0f);
        exposures.push_back(seconds);
    }
    const double mean = std::accumulate(exposures.begin(), exposures.end(), 0.0) / double(exposures.size());
    std::vector<float> scales;
    for (const double seconds : exposures)
        scales.push_back(float(mean / seconds));
    return scales;
}
