#pragma once

// A straight track at a steady speed and the signal summed along it, shared by the search's two
// ways of finding tracks: linking detections, and summing along lines through faint ones. Used
// by the search only.

#include "analysis/search/MoverLink.h"

#include <QPointF>

#include <cmath>
#include <functional>
#include <vector>

namespace tracks {

inline constexpr double positionNoise = 0.4; // pixels, one sigma of a faint detection's position
inline constexpr float patchLevel = 2.0f;    // noise sigmas: the level that outlines an object's patch

// A straight track at a steady speed: one detection (or none, -1) per frame and the
// least-squares line through them, x = x0 + vx t and y = y0 + vy t (picture pixels, t in hours).
struct Track
{
    std::vector<int> pick;
    int count = 0;
    double x0 = 0, vx = 0, y0 = 0, vy = 0;
    double tMean = 0, tSpread = 0; // the picks' mean time and the sum of squared deviations from it
    double score = 0;
    bool stacked = false; // found by its summed signal, not grown from detections

    QPointF at(double t) const { return {x0 + vx * t, y0 + vy * t}; }
    QPointF velocity() const { return {vx, vy}; }
    // One sigma of the line's position at `t`, from the scatter of the detections' positions.
    double uncertainty(double t) const
    {
        return positionNoise * std::sqrt(1.0 / count + (t - tMean) * (t - tMean) / tSpread);
    }
};

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

} // namespace tracks
