#pragma once

#include "pictures/FrameInfo.h"

#include <QDateTime>
#include <QPointF>

#include <functional>
#include <span>
#include <vector>

class Picture;

// The automatic search for movers: objects that cross a sequence of frames on a straight line at a
// steady speed, as a comet does, among a static background, a star field that drifts as one,
// one-frame hits and noise. Positions are picture pixels, 0-based: pixel i covers [i, i + 1) and
// its centre is i + 0.5.

struct SearchFrame
{
    const Picture* picture;
    // When a frame's time is invalid (or all are the same), all frames are taken as equal steps
    // of 12 minutes.
    QDateTime time;
    // The camera, for the rate at which tracks turn up in its empty frames.
    Camera camera = Camera::Unknown;
};

struct Candidate
{
    std::vector<QPointF> positions; // one per frame, on the fitted track at the frame's time
    int framesDetected = 0;         // frames in which the object was seen on its track
    double score = 0;               // combined signal over the frames, in noise sigmas
    double speed = 0;               // picture pixels per hour
    double positionAngle = 0;       // degrees from up (north) through left (east), 0..360
    // How often a track scoring as well turns up in a window of real frames without any mover, of
    // the same camera and size: expected such tracks per window.
    double falseAlarms = 0;
};

struct SearchOptions
{
    // Pixels per hour in a 1024-pixel frame, scaled for the cameras' other frame sizes; 0 takes
    // the camera's (`maxSpeedOf`).
    double maxSpeed = 0;
    int minFrames = 4; // frames a track must be seen in (4 at least)
    int maxCandidates = 20;
    // Candidates that turn up in empty windows more often than this (per window) are not listed;
    // infinity lists every one.
    double maxFalseAlarms = 0.05;
    // Noise sigmas a track's combined signal must reach (lower only to measure how often weak
    // tracks turn up).
    double minScore = 9.0;
    // The stages spread over the shared thread pool; a caller that keeps every core busy with
    // searches of its own runs each on its own thread alone.
    bool spreadStages = true;
};

// The fastest a comet crosses a 1024-pixel frame of `camera`, pixels per hour: a sungrazer
// near 2.5 solar radii in C2 moves about 45 pixels a 12-minute frame, in C3's wider field about
// 10 (a fifth more allowed: a track's measured speed errs too); an unknown camera takes what
// lies between. Pixels per hour, so an uneven cadence changes nothing.
double maxSpeedOf(Camera camera);

// How many tracks scoring `score` or more turn up per window of `frames` frames of `camera`
// without any mover, as measured on real LASCO sequences (bench/README.md).
double falseAlarmRate(Camera camera, double score);

// Two candidates of overlapping windows are one object where their places on the frames both
// windows hold lie this many pixels apart or less, on average: a diffuse head is placed to a few.
inline constexpr double sameObjectPixels = 6.0;

// The candidates of a search over some of a sequence's frames (`searched`: indices into `times`,
// the sequence's frames' times, in order; two at least) given a place on every frame of the
// sequence: on the line through the searched frames' places nearest in time on either side, or
// the nearest two beyond the last or before the first (equal steps where the times are unknown).
void spreadOverFrames(std::vector<Candidate>& found, const std::vector<size_t>& searched,
                      const std::vector<QDateTime>& times);

// The candidates, best first. A window of 11 frames or more is searched as windows of eight
// (MoverLong.h): over so many hours a comet's path bends. Refuses (nothing found) fewer than 4 frames, frames
// without a picture, frames of different sizes and frames under 16 pixels a side. `progress` (may be empty)
// is called on the calling thread now and then with 0..100 and returns false to cancel, and then the result
// is empty. The work is spread over the machine's cores unless `options.spreadStages` is off.
std::vector<Candidate> searchMovers(std::span<const SearchFrame> frames, const SearchOptions& options = {},
                                    const std::function<bool(int)>& progress = {});
