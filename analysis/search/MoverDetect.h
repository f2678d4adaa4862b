#pragma once

// The search's first stage: what changes from frame to frame, as signal-to-noise maps and the
// spots standing out in them. Used by the search only.

#include <QPointF>
#include <QRgb>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

class Picture;

// A pixel's grey level in its frame's colour table. Coronagraph tables (C2's red, C3's blue)
// raise their components one after another, none ever falling, so their sum rises all along the
// table: the brightest component alone saturates half-way up (C3's blue in the inner corona) and
// leaves a comet there unseen.
inline float levelOf(QRgb pixel)
{
    return float(qRed(pixel) + qGreen(pixel) + qBlue(pixel));
}

struct Detection
{
    QPointF at; // picture pixels
    float snr;  // the filtered signal at the peak, in noise sigmas
};

struct SignalFrames
{
    int width = 0; // picture pixels
    int height = 0;
    // Per frame, row by row: the residual against the sequence's per-pixel median, put through
    // a small Gaussian matched filter and divided by its local noise. 0 where masked (saturated
    // areas and bleed lines, missing values) and near the edges.
    std::vector<std::vector<float>> snr;
    std::vector<std::vector<Detection>> detections; // per frame, local maxima of `snr`
    // Per frame, the local maxima from `faintThreshold` up to `detectionThreshold`: they only
    // seed lines along which the signal is summed over every frame.
    std::vector<std::vector<Detection>> faint;
    // Per frame, the bright points of the frame itself (its surroundings taken away, not the
    // other frames): where the stars are, for their common motion.
    std::vector<std::vector<Detection>> points;

    // The map of `frame` at a point, interpolated between pixel centres; 0 off the picture.
    float at(size_t frame, QPointF point) const;
};

// Detections stand at least this far above the noise of the filtered residual; faint ones this
// far.
inline constexpr float detectionThreshold = 4.0f;
inline constexpr float faintThreshold = 3.0f;

// The maps and detections of the frames (at least two, one size). Nothing when `progress`
// (called on this thread with 0..`progressEnd`) asks to stop.
std::optional<SignalFrames> detectSignals(std::span<const Picture* const> pictures, int progressEnd,
                                          const std::function<bool(int)>& progress);

// Runs `work(i)` for i in [0, count) on the machine's cores, this thread included; on this
// thread alone while a SerialStages lives on it.
void parallelFor(int count, const std::function<void(int)>& work);

class SerialStages
{
public:
    explicit SerialStages(bool serial = true);
    ~SerialStages();
    SerialStages(const SerialStages&) = delete;
    SerialStages& operator=(const SerialStages&) = delete;

private:
    bool m_was;
};

// The working planes of the detection stage, shared by its two source files.
namespace detect {

enum Flag : unsigned char
{
    Saturated = 1,
    NoValue = 2,
    Masked = 4,
    Black = 8, // at the bottom of the range, where the noise is clipped
};

inline constexpr unsigned saturatedLevel =
    254;                               // an 8-bit component at which, all three there, a pixel is saturated
inline constexpr int reach = 3;        // the matched filter's radius, pixels
inline constexpr int edge = reach + 1; // pixels along the picture's edges that carry no signal

struct Planes
{
    std::span<const Picture* const> pictures;
    int width = 0;
    int height = 0;
    size_t frames = 0;
    std::vector<float> median; // per pixel, over the frames
    std::vector<float> range;  // per pixel, the largest minus the smallest value over the frames
    // Per frame: the brightness minus the median (the residual), then in place the residual
    // through the matched filter, then its signal-to-noise map.
    std::vector<std::vector<float>> signal;
    std::vector<std::vector<unsigned char>> flags; // per frame, Flag bits
    std::vector<std::vector<char>>
        flaggedRows; // per frame and row: any pixel saturated, black or without value
    std::vector<std::vector<char>> maskedRows; // per frame and row: any pixel Masked
    // Masked in every frame: the pixels at either end of the range in two frames or more (the
    // inner corona; the occulter and the corners beyond the field, and JPEG's ringing at their
    // edges), with a margin. Per pixel, and per row as runs [first, last).
    std::vector<unsigned char> steady;
    std::vector<std::vector<std::pair<int, int>>> steadyRuns;
    std::vector<float> inverseNoise; // per pixel, one over the filtered residual's noise
    std::vector<float> pixelNoise;   // per frame, one sigma of a single residual pixel
    std::vector<float> scale;        // per frame, what its data values are multiplied by

    size_t at(int x, int y) const { return size_t(y) * size_t(width) + size_t(x); }
    bool masked(size_t frame, size_t i) const { return steady[i] || (flags[frame][i] & Masked); }
    // Sets the masked pixels of row `y` of frame `frame`'s plane `row` to zero.
    void clearMasked(size_t frame, int y, float* row) const
    {
        for (const auto& [first, last] : steadyRuns[size_t(y)])
            std::fill(row + first, row + last, 0.0f);
        if (maskedRows[frame][size_t(y)])
            for (int x = 0; x < width; ++x)
                if (flags[frame][at(x, y)] & Masked)
                    row[x] = 0;
    }
};

// Four floats as one value of the compiler's vector extension, the width of an SSE2 register:
// the pixel loops work on them, four pixels at a time at any optimisation level.
using Floats4 = float __attribute__((vector_size(4 * sizeof(float))));
inline Floats4 load4(const float* p)
{
    Floats4 v;
    std::memcpy(&v, p, sizeof v); // well-defined unaligned load; compiles to one move
    return v;
}
inline void store4(float* p, Floats4 v)
{
    std::memcpy(p, &v, sizeof v);
}

// A frame's grey level, a row at a time (see `levelOf`): the data values where the frame has
// them, times `scale`, otherwise the sum of red, green and blue; each pixel's Flag bits in
// `flags` (NoValue where a science frame lost its telemetry: zeros, or one value repeated along
// the row). Returns whether any pixel of the row is saturated or black, or has no value.
bool readRow(const Picture& picture, float scale, int y, float* out, unsigned char* flags);
// Per pixel, the frames in which it is saturated, and those (up to two) in which it is black.
struct Clipped
{
    std::vector<unsigned char> saturated;
    std::vector<unsigned char> black;
};
// Rows [first, last): brightness, then the residual against the per-pixel median over the
// frames, and the frames in which each pixel is clipped.
void medianResidual(std::span<const Picture* const> pictures, Planes& planes, Clipped& clipped, int first,
                    int last);
// Per frame, what its data values are multiplied by to bring them to the frames' mean exposure
// (EXPTIME) when every frame gives one; 1 otherwise.
std::vector<float> exposureScales(std::span<const Picture* const> pictures);
// Runs `work(first, last)` over blocks of rows on the machine's cores.
void forRows(int height, const std::function<void(int first, int last)>& work);
// Adds to the steady mask what lies outside the field of view: the occulter and the frame's
// corners, which hold one level in every frame, and burnt-in labels.
void maskOutsideField(Planes& planes);
// Whether the spot peaking at (x, y) of `map` is a streak: its pixels within 4 of the peak holding
// half its value or more much longer than wide (their second moments), with the peak amid them.
bool streak(const std::vector<float>& map, int width, int height, int x, int y);
// Sums over squares of 15 pixels a side around each pixel of `plane`, in place.
void boxSum(const Planes& planes, std::vector<float>& plane);
// Each frame's bright points against their surroundings (`SignalFrames::points`); from the
// residual planes before they are filtered.
std::vector<std::vector<Detection>> brightPoints(const Planes& planes);
// Takes from each frame's filtered residual what is broader than a point.
void subtractBackground(Planes& planes);
// The noise of the filtered residuals around each pixel (`inverseNoise`).
void measureNoise(Planes& planes);
// Turns frame `f`'s filtered residual into its signal-to-noise map and finds its detections,
// faint ones included.
std::vector<Detection> detectFrame(Planes& planes, size_t f);

} // namespace detect
