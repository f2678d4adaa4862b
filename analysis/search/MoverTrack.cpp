#include "analysis/search/MoverTrack.h"

#include <algorithm>

using namespace tracks;

double tracks::trackScore(const Track& track, const SignalFrames& maps, const std::vector<double>& hours,
                          double& cap)
{
    std::vector<double> along;
    for (size_t f = 0; f < hours.size(); ++f) {
        const QPointF p = track.at(hours[f]);
        if (p.x() >= 0 && p.y() >= 0 && p.x() < maps.width && p.y() < maps.height)
            along.push_back(maps.at(f, p));
    }
    if (along.empty())
        return 0;
    if (cap <= 0) {
        std::vector<double> sorted = along;
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 2), sorted.end());
        cap = std::max(2 * sorted[sorted.size() / 2], double(detectionThreshold));
    }
    double sum = 0;
    for (const double v : along)
        sum += std::clamp(v, -cap, cap);
    return sum / std::sqrt(double(along.size()));
}

// Moves the track to where its score is largest (shift and stack, started from the detections'
// line): a pattern search over its position at the middle time and its displacement over half the
// sequence, both in pixels so that one step fits both, in steps from half a pixel to an eighth.
void tracks::refine(Track& track, const SignalFrames& maps, const std::vector<double>& hours)
{
    const auto [first, last] = std::minmax_element(hours.begin(), hours.end());
    const double middle = 0.5 * (*first + *last);
    const double half = std::max(0.5 * (*last - *first), 1e-6);
    double cap = 0;
    double best = trackScore(track, maps, hours, cap);
    double p[4] = {track.x0 + track.vx * middle, track.y0 + track.vy * middle, track.vx * half,
                   track.vy * half};
    const auto place = [&](Track& t, const double* q) {
        t.vx = q[2] / half;
        t.vy = q[3] / half;
        t.x0 = q[0] - t.vx * middle;
        t.y0 = q[1] - t.vy * middle;
    };
    Track trial = track;
    for (double step = 0.5; step >= 0.125;) {
        bool moved = false;
        for (int i = 0; i < 4; ++i) {
            for (const double sign : {1.0, -1.0}) {
                double q[4] = {p[0], p[1], p[2], p[3]};
                q[i] += sign * step;
                place(trial, q);
                const double score = trackScore(trial, maps, hours, cap);
                if (score > best) {
                    best = score;
                    std::copy(q, q + 4, p);
                    moved = true;
                    break;
                }
            }
        }
        if (!moved)
            step /= 2;
    }
    place(track, p);
    track.score = best;
}
