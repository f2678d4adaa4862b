#include "analysis/search/MoverTrack.h"

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
    // pixels: cheap enough for every pair, and close to the full score. The lines through one
    // detection are screened together, the map pixels of all of them asked for from memory
    // first (the maps are far larger than the caches), then summed. Nothing (0) where a line
    // cannot reach `stackSeedScore`: each frame adds at most the cap, and most lines are noise,
    // given up on after half their frames. The pair's own frames come last: they hold its light.
    struct Line
    {
        QPointF start, velocity;
        size_t first = 0, count = 0; // its pixels in `pixels`
    };
    const auto gather = [&](Line& line, size_t a, size_t b, std::vector<const float*>& pixels) {
        line.first = pixels.size();
        const auto add = [&](size_t f) {
            const QPointF p = line.start + line.velocity * hours[f];
            pixels.push_back(maps.snr[f].data() + size_t(p.y()) * size_t(maps.width) + size_t(p.x()));
            __builtin_prefetch(pixels.back());
        };
        for (size_t f = 0; f < n; ++f) {
            const QPointF p = line.start + line.velocity * hours[f];
            if (f != a && f != b && p.x() >= 0 && p.y() >= 0 && p.x() < maps.width && p.y() < maps.height)
                add(f);
        }
        add(a);
        add(b);
        line.count = pixels.size() - line.first;
    };
    const auto screen = [&](const Line& line, const std::vector<const float*>& pixels) {
        const double needed = stackSeedScore * std::sqrt(double(line.count));
        double sum = 0;
        for (size_t k = 0; k < line.count; ++k) {
            sum += std::clamp(*pixels[line.first + k], -detectionThreshold, detectionThreshold);
            if (sum + double(detectionThreshold) * double(line.count - 1 - k) < needed)
                return 0.0;
        }
        return sum / std::sqrt(double(line.count));
    };
    const size_t half = n / 2;
    std::vector<std::vector<Track>> found(n - half);
    parallelFor(int(n - half), [&](int task) {
        const size_t a = size_t(task), b = a + half;
        const double dt = hours[b] - hours[a];
        if (std::abs(dt) < 1e-6)
            return;
        std::vector<Line> lines;
        std::vector<const float*> pixels;
        for (const Detection& from : all[a]) {
            lines.clear();
            pixels.clear();
            grids[b].near(from.at, settings.maxSpeed * std::abs(dt) + trackGate, [&](int j) {
                Line line;
                line.velocity = (all[b][size_t(j)].at - from.at) / dt;
                line.start = from.at - line.velocity * hours[a];
                if (!plausible(line.velocity))
                    return;
                gather(line, a, b, pixels);
                lines.push_back(line);
            });
            for (const Line& line : lines) {
                const double screened = screen(line, pixels);
                if (screened < stackSeedScore)
                    continue;
                // A track must show as points in most frames (the linking's last rule); a line
                // near points in too few frames is not worth refining.
                int near = 0;
                for (size_t f = 0; f < n; ++f)
                    near += grids[f].nearest(line.start + line.velocity * hours[f], seedGate) >= 0;
                if (near < std::min(int(n), minPointFrames) - 1)
                    continue;
                Track track;
                track.pick.assign(n, -1);
                track.vx = line.velocity.x();
                track.vy = line.velocity.y();
                track.x0 = line.start.x();
                track.y0 = line.start.y();
                track.stacked = true;
                track.score = screened;
                found[size_t(task)].push_back(track);
            }
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
