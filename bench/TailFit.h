#pragma once

#include "analysis/search/MoverSearch.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

// How often tracks of each score turn up in windows without a mover: the number per window at
// or above a score `s` falls off as exp(a - b s). Fitted by least squares on its logarithm where
// 5 tracks or more were seen from `floor` up; with fewer, `slope` (another set's) and the level
// from the count (none seen counts as half a track).
struct Tail
{
    double a = 0, b = 0;
    int tracks = 0, windows = 0; // what it was fitted on

    double rate(double score) const { return std::exp(a - b * score); }
    // The score above which `perWindow` tracks turn up a window.
    double cut(double perWindow) const { return (a - std::log(perWindow)) / b; }
};

inline Tail fitTail(std::vector<double> scores, int windows, double floor, double slope)
{
    Tail tail;
    tail.tracks = int(scores.size());
    tail.windows = windows;
    if (windows <= 0)
        return tail;
    std::sort(scores.begin(), scores.end(), std::greater<>());
    if (scores.size() < 5) {
        tail.b = slope;
        tail.a = std::log(std::max(0.5, double(scores.size())) / windows) + slope * floor;
        return tail;
    }
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < scores.size(); ++i) {
        const double x = scores[i], y = std::log(double(i + 1) / windows);
        n += 1, sx += x, sy += y, sxx += x * x, sxy += x * y;
    }
    tail.b = -(n * sxy - sx * sy) / (n * sxx - sx * sx);
    tail.a = (sy + tail.b * sx) / n;
    return tail;
}

// The tails are fitted from this score up, and a set with fewer than 5 tracks takes this slope
// (the C2 browse frames' of the in-sample fit).
inline constexpr double tailFloor = 5, knownSlope = 0.717;

// The search's options that list every track from `tailFloor` up, however often such tracks turn up.
inline SearchOptions everyTrack()
{
    SearchOptions options;
    options.minScore = tailFloor;
    options.maxCandidates = 1000;
    options.maxFalseAlarms = INFINITY;
    return options;
}

// A tail fitted on one part of the windows, and how many tracks of the other part reach its cut
// (at least the search's own minimum score): one in `perWindow` windows.
struct HeldOut
{
    Tail tail;
    double cut = 0;
    long above = 0;
};
inline HeldOut holdOut(const std::vector<double>& fitted, int fittedWindows, const std::vector<double>& held,
                       double perWindow = 0.05)
{
    HeldOut out;
    out.tail = fitTail(fitted, fittedWindows, tailFloor, knownSlope);
    out.cut = std::max(out.tail.cut(perWindow), SearchOptions().minScore);
    out.above = std::count_if(held.begin(), held.end(), [&](double s) { return s >= out.cut; });
    return out;
}
