#pragma once

// A straight track at a steady speed and the signal summed along it, shared by the search's two
// ways of finding tracks: linking detections, and summing along lines through faint ones. Used
// by the search only.

#include "analysis/search/MoverLink.h"

#include <QPointF>

#include <cmath>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace tracks {

inline constexpr double positionNoise = 0.4; // pixels, one sigma of a faint detection's position
inline constexpr float patchLevel = 2.0f;    // noise sigmas: the level that outlines an object's patch
// Noise sigmas of the summed signal an acceleration must add to a track to be kept: about what
// the best of a few more trial paths gains on noise alone.
inline constexpr double accelerationGain = 1.0;

// A sungrazer speeds up as it falls: at 5 solar radii by about 3 % a 12-minute frame, more further
// in. A track may change its speed along its line by this share of its speed over the frames.
inline constexpr double maxSpeedChange = 0.6;

// A straight track: one detection (or none, -1) per frame and the least-squares path through
// them, x = x0 + vx t + ax t² / 2 and y = y0 + vy t + ay t² / 2 (picture pixels, t in hours),
// its acceleration (ax, ay) along its line or none.
struct Track
{
    std::vector<int> pick;
    int count = 0;
    double x0 = 0, vx = 0, y0 = 0, vy = 0;
    double ax = 0, ay = 0;         // pixels per hour squared
    double tMean = 0, tSpread = 0; // the picks' mean time and the sum of squared deviations from it
    double score = 0;
    bool stacked = false; // found by its summed signal, not grown from detections

    QPointF at(double t) const { return {x0 + vx * t + 0.5 * ax * t * t, y0 + vy * t + 0.5 * ay * t * t}; }
    // At the first frame's time (t = 0), or at `t`.
    QPointF velocity() const { return {vx, vy}; }
    QPointF velocity(double t) const { return {vx + ax * t, vy + ay * t}; }
    // Sets the path from its place `p`, velocity `v` and acceleration `a` along `v`, all at time `t`.
    void place(double t, QPointF p, QPointF v, double a)
    {
        const double speed = std::hypot(v.x(), v.y());
        ax = speed > 0 ? a * v.x() / speed : 0;
        ay = speed > 0 ? a * v.y() / speed : 0;
        vx = v.x() - ax * t;
        vy = v.y() - ay * t;
        x0 = p.x() - v.x() * t + 0.5 * ax * t * t;
        y0 = p.y() - v.y() * t + 0.5 * ay * t * t;
    }
    // One sigma of the line's position at `t`, from the scatter of the detections' positions.
    double uncertainty(double t) const
    {
        return positionNoise * std::sqrt(1.0 / count + (t - tMean) * (t - tMean) / tSpread);
    }
};

// Fits the track's path to `points` (one or none per frame, at `hours`) by least squares: a
// straight line at a steady speed, or where five points or more bend away from it by much more
// than their scatter, a speed changing steadily along the line (a comet falling toward the sun).
// Sets `count`, `tMean` and `tSpread` too; false when the points fix no line.
bool fitPath(Track& track, const std::vector<std::optional<QPointF>>& points,
             const std::vector<double>& hours);

// The signal summed along the track over every frame it crosses, in noise sigmas of the sum. A
// steady object gives about the same signal in every frame: no frame counts for more than `cap`
// (a cosmic-ray hit on the line); with `cap` zero, twice the typical frame's, and `cap` is set.
double trackScore(const Track& track, const SignalFrames& maps, const std::vector<double>& hours,
                  double& cap);

// Moves the track to where its score is largest (shift and stack, started from the detections'
// line), and sets its score.
void refine(Track& track, const SignalFrames& maps, const std::vector<double>& hours);

// Objects too faint to be detected in enough frames to grow a track, found by the signal summed
// along lines through pairs of detections, faint ones included; refined and scored. `plausible`
// says whether a velocity (picture pixels per hour) may be a mover's.
std::vector<Track> stackFaint(const SignalFrames& maps, const std::vector<double>& hours,
                              const LinkSettings& settings, const std::function<bool(QPointF)>& plausible);

// Puts `candidate` on `path`: its position in each frame, and its speed and direction at the
// sequence's middle time.
void placeOnPath(Candidate& candidate, const Track& path, const std::vector<double>& hours);

// Where a candidate stands out well in five frames or more of its own (a bright comet, its head
// saturated), the path through its centroids on the frames, where they lie on one, replaces the
// track fitted to the residuals.
void centreOnFrames(Candidate& candidate, std::span<const Picture* const> pictures,
                    const std::vector<double>& hours);

} // namespace tracks
