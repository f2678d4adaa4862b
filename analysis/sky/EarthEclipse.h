#pragma once

#include "analysis/sky/Ephemeris.h"

#include <QSize>

// The Earth in a coronagraph's field: from GOES-19's geostationary orbit it passes in front of
// the sun for up to about an hour and a quarter around local midnight in the weeks about the
// equinoxes, and eclipses part of CCOR-1's field (or all of it) in those frames.

// The Earth's disc as seen from `observer` at `time` (UTC), relative to the sun: the distance of
// its centre from the sun's and its radius, both in solar radii (960" each).
struct EarthDisc
{
    double separation = 0;
    double radius = 0;
};
EarthDisc earthDisc(const Observer& observer, const QDateTime& time);

// Whether the Earth's disc reaches into the frame's field: within the distance from the sun of
// the frame's farthest corner. Never for a frame whose geometry is unknown or untimed.
bool earthInFrame(const FrameGeometry& geometry, QSize size, const QDateTime& time, const Observer& observer);
