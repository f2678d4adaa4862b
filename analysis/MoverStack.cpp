#include "analysis/MoverTrack.h"

#include <algorithm>

using namespace tracks;

namespace {

constexpr double stackSeedScore = 7.0; // the summed signal along a faint seed line worth refining
constexpr double seedGate = 2.0;       // pixels a seed line may pass its frames' points by
constexpr size_t maxSeeds = 4000;      // lines refined at most, the best screened first

// The frames in which the track's light stands out of the noise, if only a little.
int framesLit(const Track& track, const SignalFrames& maps, const std::vector<double>& hours)
{
    int lit = 0;
    for (size_t f = 0; f < hours.size(); ++f)
        lit += maps.at(f, track.at(hours[f])) >= patchLevel;
    return lit;
}

} // namespace

// Objects too faint to be detected in enough frames to grow a track: lines through pairs of
// detections, faint ones included, half the sequence apart (a pair in each frame of the first
// half, so that a faint object needs to stand out in only two frames of them all), each
// scored by the signal summed along it over every frame. The promising ones are moved to their
// best and kept when they stand out in enough frames.
std::vector<Track> tracks::stackFaint(const SignalFrames& maps, const std::vector<double>& hours,
                                      const LinkSettings& settings,
                                      const std::function<bool(QPointF)>& plausible)
{
    const size_t n = hours.size();
    const AllDetections points(maps);
    const std::vector<std::vector<Detection>>& all = points.lists;
    const std::vector<DetectionGrid>& grids = points.grids;
    // The signal summed along a line as `trackScore` sums it with the least cap, at the nearest
    // pixels: cheap enough for every pair, and close to the full score.
    const auto screen = [&](QPointF start, QPointF velocity) {
        double sum = 0;
        int inside = 0;
        for (size_t f = 0; f < n; ++f) {
            const QPointF p = start + velocity * hours[f];
            if (p.x() < 0 || p.y() < 0 || p.x() >= maps.width || p.y() >= maps.height)
                continue;
            const float v = maps.snr[f][size_t(p.y()) * size_t(maps.width) + size_t(p.x())];
            sum += std::clamp(v, -detectionThreshold, detectionThreshold);
            ++inside;
        }
        return inside > 0 ? sum / std::sqrt(double(inside)) : 0.0;
    };
    const size_t half = n / 2;
    std::vector<std::vector<Track>> found(n - half);
    parallelFor(int(n - half), [&](int task) {
        const size_t a = size_t(task), b = a + half;
        const double dt = hours[b] - hours[a];
        if (std::abs(dt) < 1e-6)
            return;
        for (const Detection& from : all[a]) {
            grids[b].near(from.at, settings.maxSpeed * std::abs(dt) + trackGate, [&](int j) {
                const QPointF v = (all[b][size_t(j)].at - from.at) / dt;
                const QPointF start = from.at - v * hours[a];
                if (!plausible(v))
                    return;
                const double screened = screen(start, v);
                if (screened < stackSeedScore)
                    return;
                // A track must show as points in most frames (the linking's last rule); a line
                // near points in too few frames is not worth refining.
                int near = 0;
                for (size_t f = 0; f < n; ++f)
                    near += grids[f].nearest(start + v * hours[f], seedGate) >= 0;
                if (near < std::min(int(n), minPointFrames) - 1)
                    return;
                Track track;
                track.pick.assign(n, -1);
                track.vx = v.x();
                track.vy = v.y();
                track.x0 = start.x();
                track.y0 = start.y();
                track.stacked = true;
                track.score = screened;
                found[size_t(task)].push_back(track);
            });
        }
    });
    std::vector<Track> tracks;
    for (std::vector<Track>& some : found)
        tracks.insert(tracks.end(), some.begin(), some.end());
    // A frame full of faint detections (a storm of particle hits, a flat without its noise)
    // must not make the search crawl.
    if (tracks.size() > maxSeeds) {
        std::nth_element(tracks.begin(), tracks.begin() + maxSeeds, tracks.end(),
                         [](const Track& a, const Track& b) { return a.score > b.score; });
        tracks.resize(maxSeeds);
    }
    parallelFor(int(tracks.size()), [&](int i) { refine(tracks[size_t(i)], maps, hours); });
    std::erase_if(tracks, [&](const Track& t) {
        return t.score < settings.minScore || !plausible(t.velocity()) ||
               framesLit(t, maps, hours) < settings.minFrames;
    });
    return tracks;
}
