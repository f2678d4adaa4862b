#include "analysis/search/MoverLink.h"

#include "analysis/search/MoverTrack.h"

#include <cmath>
#include <set>
#include <unordered_set>

using namespace tracks;

namespace {

constexpr double maxGate = 4.0;   // pixels a detection may lie off a track of few points being grown
constexpr double minMotion = 3.0; // pixels over the sequence below which a track stands still
// A track moves with the stars when its motion over the sequence differs from theirs by less than
// `starTolerance` pixels plus `starShare` of theirs: a star drifting a few pixels stays partly in
// the frames' median, and what is left of it in each frame runs ahead of it, faster than it.
constexpr double starTolerance = 3.0;
constexpr double starShare = 0.5;
constexpr int seedReach = 3; // frames apart the two detections of a seed may be
// Two tracks within `companion` pixels of each other for half the frames or more, whose motions
// over the sequence differ by less than `apart` pixels, are one object (both in a 1024-pixel
// frame).
constexpr double companion = 32.0;
constexpr double apart = 24.0;
constexpr double patchReach =
    64.0; // pixels in a 1024-pixel frame that an object's patch of signal reaches at most

class Linker
{
public:
    Linker(const SignalFrames& maps, const std::vector<double>& hours) : m_maps(maps), m_hours(hours)
    {
        for (const std::vector<Detection>& frame : maps.detections)
            m_grids.emplace_back(frame, maps.width, maps.height);
    }

    const DetectionGrid& grid(size_t frame) const { return m_grids[frame]; }

    // The path through the track's picks; false when they do not fix one.
    bool fit(Track& track) const
    {
        std::vector<std::optional<QPointF>> points(track.pick.size());
        for (size_t f = 0; f < track.pick.size(); ++f)
            if (track.pick[f] >= 0)
                points[f] = at(f, track.pick[f]);
        return fitPath(track, points, m_hours);
    }

    // Picks in every frame the detection nearest the line within the final gate.
    void settle(Track& track) const
    {
        for (size_t f = 0; f < m_hours.size(); ++f)
            track.pick[f] = m_grids[f].nearest(track.at(m_hours[f]), trackGate);
        track.count = int(std::count_if(track.pick.begin(), track.pick.end(), [](int p) { return p >= 0; }));
    }

    // Grows a track from a seed pair: frames nearest in time first, each taking the detection
    // nearest the line within what the line's uncertainty allows, then settles it twice.
    std::optional<Track> grow(size_t a, int da, size_t b, int db) const
    {
        Track track;
        track.pick.assign(m_hours.size(), -1);
        track.pick[a] = da;
        track.pick[b] = db;
        if (!fit(track))
            return std::nullopt;
        const double middle = 0.5 * (m_hours[a] + m_hours[b]);
        std::vector<size_t> order;
        for (size_t f = 0; f < m_hours.size(); ++f)
            if (f != a && f != b)
                order.push_back(f);
        std::sort(order.begin(), order.end(), [&](size_t i, size_t j) {
            return std::abs(m_hours[i] - middle) < std::abs(m_hours[j] - middle);
        });
        for (const size_t f : order) {
            const double t = m_hours[f];
            const double reach = std::clamp(3 * track.uncertainty(t) + 0.5, trackGate, maxGate);
            const int found = m_grids[f].nearest(track.at(t), reach);
            if (found >= 0) {
                track.pick[f] = found;
                fit(track);
            }
        }
        for (int round = 0; round < 2; ++round) {
            settle(track);
            if (!fit(track))
                return std::nullopt;
        }
        return track;
    }

private:
    QPointF at(size_t frame, int index) const { return m_maps.detections[frame][size_t(index)].at; }

    const SignalFrames& m_maps;
    const std::vector<double>& m_hours;
    std::vector<DetectionGrid> m_grids;
};

// Claims the detections that belong to an accepted object in a frame: those on the patch of
// signal connected to it (a bright comet's tail holds detections enough to make tracks of its
// own) and, around a bright object, those within a distance growing with its signal (JPEG's
// ringing).
void claimPatch(const SignalFrames& maps, size_t frame, QPointF at, const DetectionGrid& grid,
                std::set<int>& claimed, std::unordered_set<size_t>& patchPixels)
{
    const int reach = int(patchReach * maps.width / 1024.0);
    const int side = 2 * reach + 1;
    const int cx = int(std::floor(at.x())), cy = int(std::floor(at.y()));
    const auto level = [&](int x, int y) {
        return x < 0 || y < 0 || x >= maps.width || y >= maps.height
                   ? 0.0f
                   : maps.snr[frame][size_t(y) * size_t(maps.width) + size_t(x)];
    };
    const double around = std::min(2 * std::sqrt(std::max(0.0, double(level(cx, cy)))), double(reach));
    grid.near(at, around, [&](int i) { claimed.insert(i); });
    if (level(cx, cy) < patchLevel)
        return;
    std::vector<char> patch(size_t(side) * size_t(side), 0);
    std::vector<std::pair<int, int>> pending{{cx, cy}};
    patch[size_t(reach) * size_t(side) + size_t(reach)] = 1;
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int px = x + dx - cx + reach, py = y + dy - cy + reach;
                if (px < 0 || py < 0 || px >= side || py >= side)
                    continue;
                char& mark = patch[size_t(py) * size_t(side) + size_t(px)];
                if (!mark && level(x + dx, y + dy) >= patchLevel) {
                    mark = 1;
                    pending.push_back({x + dx, y + dy});
                }
            }
        }
    }
    for (int py = 0; py < side; ++py)
        for (int px = 0; px < side; ++px)
            if (patch[size_t(py) * size_t(side) + size_t(px)])
                patchPixels.insert(size_t(cy + py - reach) * size_t(maps.width) + size_t(cx + px - reach));
    grid.near(at, reach, [&](int i) {
        const QPointF p = maps.detections[frame][size_t(i)].at;
        const int px = int(std::floor(p.x())) - cx + reach, py = int(std::floor(p.y())) - cy + reach;
        if (px >= 0 && py >= 0 && px < side && py < side && patch[size_t(py) * size_t(side) + size_t(px)])
            claimed.insert(i);
    });
}

Candidate candidateOf(const Track& track, const std::vector<double>& hours, int seen)
{
    Candidate c;
    placeOnPath(c, track, hours);
    c.framesDetected = seen;
    c.score = track.score;
    return c;
}

} // namespace

std::optional<std::vector<Candidate>> linkMovers(SignalFrames& maps, const std::vector<double>& hours,
                                                 const LinkSettings& settings, int progressStart,
                                                 const std::function<bool(int)>& progress)
{
    const auto goOn = [&](int share) {
        return !progress || progress(progressStart + (100 - progressStart) * share / 100);
    };
    const size_t n = hours.size();
    const auto [first, last] = std::minmax_element(hours.begin(), hours.end());
    const size_t early = size_t(first - hours.begin()), late = size_t(last - hours.begin());
    const double span = *last - *first;
    const std::vector<QPointF> stars = starVelocities(maps, hours);
    for (const QPointF& v : stars)
        maskStars(maps, hours, v);
    const Linker linker(maps, hours);
    if (!goOn(10))
        return std::nullopt;

    // Called for every pair of detections: squares compared, no roots.
    const double fastest = settings.maxSpeed * 1.05, slowest = minMotion / span;
    const auto plausible = [&](QPointF v) {
        const double speed2 = QPointF::dotProduct(v, v);
        if (speed2 > fastest * fastest || speed2 < slowest * slowest)
            return false;
        return std::none_of(stars.begin(), stars.end(), [&](QPointF star) {
            const double starRadius =
                (starTolerance + starShare * std::hypot(star.x(), star.y()) * span) / span;
            const QPointF off = v - star;
            return QPointF::dotProduct(off, off) < starRadius * starRadius;
        });
    };

    // Tracks grown from every pair of detections a few frames apart at a speed in range, one
    // first frame per task; each distinct set of detections once, then moved to their best.
    std::vector<std::vector<Track>> grown(n);
    parallelFor(int(n), [&](int task) {
        const size_t a = size_t(task);
        std::set<std::vector<int>> seen;
        for (size_t b = a + 1; b < n && b <= a + seedReach; ++b) {
            const double dt = hours[b] - hours[a];
            if (std::abs(dt) < 1e-6)
                continue;
            for (size_t i = 0; i < maps.detections[a].size(); ++i) {
                const Detection& from = maps.detections[a][i];
                linker.grid(b).near(from.at, settings.maxSpeed * std::abs(dt) + trackGate, [&](int j) {
                    if (!plausible((maps.detections[b][size_t(j)].at - from.at) / dt))
                        return;
                    std::optional<Track> track = linker.grow(a, int(i), b, j);
                    if (track && track->count >= settings.minFrames && plausible(track->velocity()) &&
                        seen.insert(track->pick).second)
                        grown[a].push_back(std::move(*track));
                });
            }
        }
    });
    std::set<std::vector<int>> seen;
    std::vector<Track> tracks;
    for (std::vector<Track>& some : grown)
        for (Track& track : some)
            if (seen.insert(track.pick).second)
                tracks.push_back(std::move(track));
    if (!goOn(60))
        return std::nullopt;
    parallelFor(int(tracks.size()), [&](int i) { refine(tracks[size_t(i)], maps, hours); });
    std::erase_if(tracks, [&](const Track& t) { return t.score < settings.minScore; });
    if (!goOn(75))
        return std::nullopt;
    for (Track& track : stackFaint(maps, hours, settings, plausible))
        tracks.push_back(std::move(track));
    std::sort(tracks.begin(), tracks.end(), [](const Track& a, const Track& b) { return a.score > b.score; });
    if (!goOn(90))
        return std::nullopt;

    // Best first. A track that shares detections with a better one is the same object again,
    // and so is one that moves with a better one close beside it for half the frames or more
    // (a bright comet's tail, or the head again on a slightly different line).
    const double beside = companion * maps.width / 1024.0;
    const double drifting = apart * maps.width / 1024.0;
    std::vector<std::set<int>> claimed(n);
    std::vector<std::unordered_set<size_t>> patches(n); // per frame, the pixels of accepted objects' patches
    // Point-like signal near the track, a detection or a faint one, in enough frames: summed noise
    // along a chance line stands out in two or three.
    const AllDetections points(maps);
    const int pointFrames = std::min(int(n), std::max(minPointFrames, int(n + 1) / 2));
    const auto framesSeen = [&](const Track& track) {
        int seen = 0;
        for (size_t f = 0; f < n; ++f)
            seen += points.grids[f].nearest(track.at(hours[f]), trackGate) >= 0;
        return seen;
    };
    std::vector<Candidate> candidates;
    for (Track& track : tracks) {
        if (int(candidates.size()) >= settings.maxCandidates)
            break;
        // The detections on the track where it was moved to; one moved off its detections has
        // followed a brighter neighbour's light. A track found by its summed signal has no
        // detections of its own: it is a brighter one's light again when it runs on that one's
        // patch in two frames or more.
        const std::vector<int> grownFrom = track.pick;
        linker.settle(track);
        const int seen = framesSeen(track);
        if ((!track.stacked && 2 * track.count < settings.minFrames) || seen < pointFrames)
            continue;
        int shared = 0, onPatch = 0;
        for (size_t f = 0; f < n; ++f) {
            const int pick = track.stacked ? track.pick[f] : grownFrom[f];
            shared += pick >= 0 && claimed[f].count(pick);
            const QPointF p = track.at(hours[f]);
            onPatch += track.stacked && p.x() >= 0 && p.y() >= 0 && p.x() < maps.width &&
                       p.y() < maps.height &&
                       patches[f].count(size_t(p.y()) * size_t(maps.width) + size_t(p.x()));
        }
        const bool along = std::any_of(candidates.begin(), candidates.end(), [&](const Candidate& better) {
            size_t close = 0;
            for (size_t f = 0; f < n; ++f) {
                const QPointF d = better.positions[f] - track.at(hours[f]);
                close += d.x() * d.x() + d.y() * d.y() <= beside * beside;
            }
            const QPointF drift = (better.positions[late] - better.positions[early]) -
                                  (track.at(hours[late]) - track.at(hours[early]));
            return 2 * close >= n && std::hypot(drift.x(), drift.y()) <= drifting;
        });
        if (shared >= 2 || onPatch >= 2 || along)
            continue;
        for (size_t f = 0; f < n; ++f) {
            for (const int pick : {grownFrom[f], track.pick[f]})
                if (pick >= 0)
                    claimed[f].insert(pick);
            claimPatch(maps, f, track.at(hours[f]), linker.grid(f), claimed[f], patches[f]);
        }
        candidates.push_back(candidateOf(track, hours, seen));
    }
    return candidates;
}
