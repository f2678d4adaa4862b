#pragma once

#include "analysis/sky/Ephemeris.h"
#include "model/SkyrakeWork.h"

#include <optional>
#include <vector>

// Where a track lies in the sky: its start and end in solar radii and position angle, whether it
// heads for the sun, and the planet or known comet whose own track it keeps near, if any.
struct TrackSky
{
    std::optional<SkyPoint> start, end; // where the first and last frames' geometry is known
    bool headsForSun = false;
    QString nearBody; // the planet or known comet within `nearBodyPixels` of the track in some frame
};

inline constexpr double nearBodyPixels = 10;

// Whether a track from `start` to `end` heads for the sun: its elongation falls by at least half
// of how far it moved, that is within 60 degrees of the sun's direction.
bool headsForSun(const SkyPoint& start, const SkyPoint& end);

// The sky of a track with one position per frame of `work`'s sequence, in sequence order (not a
// number where a frame has none).
TrackSky trackSky(const SkyrakeWork& work, const std::vector<QPointF>& positions);
