#pragma once

// The search's second stage: detections linked into straight tracks at a steady speed, the star
// field's common motion found and set aside, each track scored over all frames. Used by the
// search only.

#include "analysis/MoverDetect.h"
#include "analysis/MoverSearch.h"

#include <functional>
#include <optional>
#include <vector>

struct LinkSettings
{
    double maxSpeed = 120; // picture pixels per hour
    int minFrames = 4;
    int maxCandidates = 20;
};

// The star field's velocity in picture pixels per hour, from the displacements between the
// detections of consecutive frames; nothing when no common motion stands out. `hours`: each
// frame's time.
std::optional<QPointF> starVelocity(const SignalFrames& maps, const std::vector<double>& hours);

// The candidates, best first; nothing when `progress` (called with `progressStart`..100) asks
// to stop. Marks the detections that move with the stars.
std::optional<std::vector<Candidate>> linkMovers(SignalFrames& maps, const std::vector<double>& hours,
                                                 const LinkSettings& settings, int progressStart,
                                                 const std::function<bool(int)>& progress);
