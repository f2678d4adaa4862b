// A long window (more frames than the viewer holds, up to the 23 a hunter may check) is searched
// as windows of eight frames, four apart, and a mover found in several of them is one candidate.
// Over many hours a comet's path bends and its speed changes more than one track's steady
// acceleration follows; over eight frames it keeps to one. The programme's own rule asks a comet
// to show in five consecutive frames at least: each window of eight asks that of it.
#include "analysis/search/MoverLong.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr size_t partFrames = 8;
constexpr size_t partStep = 4;

// The first frames of the parts: every fourth, and the last eight.
std::vector<size_t> partStarts(size_t frames)
{
    std::vector<size_t> starts;
    for (size_t s = 0; s + partFrames <= frames; s += partStep)
        starts.push_back(s);
    if (starts.back() + partFrames < frames)
        starts.push_back(frames - partFrames);
    return starts;
}

// A mover as the parts saw it: its places on each frame a part placed it (the mean where two did)
// and its best part's figures.
struct Joined
{
    std::map<size_t, std::pair<QPointF, int>> places; // frame -> sum of places, parts
    Candidate best;
    int parts = 0;

    QPointF at(size_t frame) const
    {
        const auto& [sum, n] = places.at(frame);
        return sum / n;
    }
    // The mean distance from `c` (placed on the frames from `start`) over the frames both hold,
    // and how many those are.
    std::pair<double, int> distance(const Candidate& c, size_t start) const
    {
        double sum = 0;
        int shared = 0;
        for (size_t f = 0; f < c.positions.size(); ++f) {
            if (const auto it = places.find(start + f); it != places.end()) {
                const QPointF d = it->second.first / it->second.second - c.positions[f];
                sum += std::hypot(d.x(), d.y());
                ++shared;
            }
        }
        return {shared ? sum / shared : INFINITY, shared};
    }
};

} // namespace

std::vector<Candidate> searchLongWindow(std::span<const SearchFrame> frames, const SearchOptions& options,
                                        const std::function<bool(int)>& progress)
{
    const std::vector<size_t> starts = partStarts(frames.size());
    // Each part lists what turns up in one window of eight; the whole window is as many
    // chances, so a candidate is kept by its rate over all of them.
    SearchOptions partOptions = options;
    partOptions.maxFalseAlarms = INFINITY;
    partOptions.maxCandidates = std::max(options.maxCandidates, 20);
    std::vector<Joined> joined;
    for (size_t p = 0; p < starts.size(); ++p) {
        std::function<bool(int)> partProgress;
        if (progress)
            partProgress = [&](int percent) {
                return progress(int((100 * p + size_t(percent)) / starts.size()));
            };
        const std::vector<Candidate> found = searchMovers(frames.subspan(starts[p], partFrames), partOptions,
                                                          progress ? partProgress : nullptr);
        if (progress && !progress(int(100 * (p + 1) / starts.size())))
            return {};
        for (const Candidate& c : found) {
            Joined* same = nullptr;
            double nearest = sameObjectPixels;
            for (Joined& j : joined) {
                const auto [distance, shared] = j.distance(c, starts[p]);
                if (shared >= 2 && distance <= nearest) {
                    nearest = distance;
                    same = &j;
                }
            }
            if (!same) {
                joined.emplace_back();
                same = &joined.back();
            }
            for (size_t f = 0; f < c.positions.size(); ++f) {
                auto& [sum, n] = same->places[starts[p] + f];
                sum += c.positions[f];
                ++n;
            }
            if (same->parts++ == 0 || c.score > same->best.score)
                same->best = c;
        }
    }
    std::vector<QDateTime> times;
    for (const SearchFrame& frame : frames)
        times.push_back(frame.time);
    std::vector<Candidate> candidates;
    for (const Joined& j : joined) {
        Candidate c = j.best;
        c.positions.clear();
        std::vector<size_t> placed;
        for (const auto& [frame, place] : j.places) {
            placed.push_back(frame);
            c.positions.push_back(j.at(frame));
        }
        c.framesDetected = std::max(c.framesDetected, int(placed.size()));
        std::vector<Candidate> one{std::move(c)};
        spreadOverFrames(one, placed, times);
        one.front().falseAlarms = std::min(1e9, one.front().falseAlarms * double(starts.size()));
        if (one.front().falseAlarms <= options.maxFalseAlarms)
            candidates.push_back(std::move(one.front()));
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
    if (candidates.size() > size_t(std::max(options.maxCandidates, 0)))
        candidates.resize(size_t(std::max(options.maxCandidates, 0)));
    return candidates;
}
