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
// path): a pattern search over its position at the middle time, its displacement over half the
// sequence and what its acceleration adds there, all in pixels so that one step fits them all, in
// steps from half a pixel to an eighth. The acceleration is searched last, from the best steady
// track, and kept only where it gains `accelerationGain`: a free parameter more finds a little
// more signal in noise too.
void tracks::refine(Track& track, const SignalFrames& maps, const std::vector<double>& hours)
{
    const auto [first, last] = std::minmax_element(hours.begin(), hours.end());
    const double middle = 0.5 * (*first + *last);
    const double half = std::max(0.5 * (*last - *first), 1e-6);
    double cap = 0;
    double best = trackScore(track, maps, hours, cap);
    const QPointF start = track.at(middle), v = track.velocity(middle);
    const double a0 = std::hypot(track.ax, track.ay) * (QPointF::dotProduct(v, {track.ax, track.ay}) < 0 ? -1 : 1);
    double p[5] = {start.x(), start.y(), v.x() * half, v.y() * half, 0.5 * a0 * half * half};
    const auto place = [&](Track& t, const double* q) {
        t.place(middle, {q[0], q[1]}, QPointF(q[2], q[3]) / half, 2 * q[4] / (half * half));
    };
    // |a| 2 half <= maxSpeedChange |v|, in these units.
    const auto allowed = [](const double* q) {
        return std::abs(q[4]) <= 0.25 * maxSpeedChange * std::hypot(q[2], q[3]);
    };
    const auto search = [&](int dimensions) {
        Track trial = track;
        for (double step = 0.5; step >= 0.125;) {
            bool moved = false;
            for (int i = 0; i < dimensions; ++i) {
                for (const double sign : {1.0, -1.0}) {
                    double q[5] = {p[0], p[1], p[2], p[3], p[4]};
                    q[i] += sign * step;
                    if (!allowed(q))
                        continue;
                    place(trial, q);
                    const double score = trackScore(trial, maps, hours, cap);
                    if (score > best) {
                        best = score;
                        std::copy(q, q + 5, p);
                        moved = true;
                        break;
                    }
                }
            }
            if (!moved)
                step /= 2;
        }
    };
    if (!allowed(p))
        p[4] = 0;
    search(4);
    const double steady = best;
    double steadyPath[5];
    std::copy(p, p + 5, steadyPath);
    search(5);
    if (best < steady + accelerationGain) {
        std::copy(steadyPath, steadyPath + 5, p);
        best = steady;
    }
    place(track, p);
    track.score = best;
}
