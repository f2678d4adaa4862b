#pragma once

#include "analysis/sky/Ephemeris.h"

#include <QDateTime>
#include <QPointF>

#include <vector>

// A candidate seen by one camera, looked for in another's frames of the same hours: LASCO C3 and
// CCOR-2 look from L1, CCOR-1 from the Earth, so a real comet shows in each of them at the same
// times, a cosmic ray or a glint in one only.

// Where an object seen from `from` at `sky` is, taken in the plane through the sun square to the
// line of sight (the point of the line nearest the sun: a sungrazer's distance is the sun's,
// within a tenth of an astronomical unit), heliocentric, au.
Vector3 placeNearSun(const SkyPoint& sky, const Observer& from);

// A track as one camera saw it: each frame's time, the object's place on the sky and the
// observer's place then.
struct SeenTrack
{
    std::vector<QDateTime> times;
    std::vector<SkyPoint> sky;
    std::vector<Observer> observers;
};

// Where the track's object falls on another camera's frames, each given by its time, geometry
// and observer: its places near the sun followed in time (the nearest two either side, or beyond
// the track's ends the first or last two), seen from the other observer. Nothing for a track of
// fewer than two points or a frame without geometry.
std::vector<QPointF> expectedOnFrames(const SeenTrack& track, const std::vector<QDateTime>& times,
                                      const std::vector<FrameGeometry>& geometries,
                                      const std::vector<Observer>& observers);
