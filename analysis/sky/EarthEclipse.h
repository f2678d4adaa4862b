#pragma once

#include "analysis/sky/Ephemeris.h"
#include "pictures/FrameInfo.h"

#include <QHash>
#include <QSize>

#include <functional>

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

// Whether the Earth stands in a frame of `info.camera` at `info.time`: only GOES-19's CCOR-1 sees it
// pass before the sun, so only its frames are looked at (which costs `geometry`, a disc fit where
// the header gives none: it is asked for only then).
bool eclipsedByEarth(const std::function<FrameGeometry()>& geometry, QSize size, const FrameInfo& info,
                     const QHash<QString, QString>& keywords);
