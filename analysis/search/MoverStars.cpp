// The star field: it drifts as one across the frames, so its motion is the displacement that most
// pairs of points half the sequence apart share.
#include "analysis/search/MoverLink.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double maxStarSpeed =
    60.0; // pixels per hour in a 1024-pixel frame: the stars drift slower (C3: 3, C2: 13)
constexpr double voteBin = 1.0;       // pixels per hour, the bins of the velocity histogram
constexpr double minStarMotion = 1.5; // pixels over the sequence that the star field moves at least
constexpr double minStarStep = 0.8;   // pixels between the two frames of a vote, at least
constexpr double starGate = 1.0;
constexpr int minStars = 6; // places across the frame whose points vote for a star field's motion      //
                            // pixels a star's detection may lie off where the drift takes it

} // namespace

namespace {

struct Vote
{
    QPointF velocity;    // picture pixels per hour
    double strength = 0; // the peak's votes against an even spread's, in its own sigmas
};

// The velocity that most pairs of `points` (per frame) about half the sequence apart share.
std::optional<Vote> vote(const std::vector<std::vector<Detection>>& points, int width, int height,
                         const std::vector<double>& hours)
{
    const double limit = maxStarSpeed * width / 1024.0;
    const int half = int(std::ceil(limit / voteBin));
    const int side = 2 * half + 1;
    std::vector<int> votes(size_t(side) * size_t(side), 0);
    std::vector<QPointF> cast;
    std::vector<int> from; // per vote, the 16-pixel cell its first point lies in
    // Each frame against the one about half the sequence later: over a long time a star's
    // velocity comes out sharp (between frames six minutes apart a third of a pixel of position
    // error is three pixels an hour).
    const size_t n = points.size();
    const double span =
        *std::max_element(hours.begin(), hours.end()) - *std::min_element(hours.begin(), hours.end());
    for (size_t f = 0; f + 1 < n; ++f) {
        size_t g = f + 1;
        for (size_t k = f + 1; k < n; ++k)
            if (std::abs(hours[k] - hours[f] - 0.5 * span) < std::abs(hours[g] - hours[f] - 0.5 * span))
                g = k;
        const double dt = hours[g] - hours[f];
        if (std::abs(dt) < 1e-6)
            continue;
        const DetectionGrid later(points[g], width, height);
        for (const Detection& d : points[f]) {
            later.near(d.at, std::min(limit * std::abs(dt), 64.0), [&](int i) {
                const QPointF moved = points[g][size_t(i)].at - d.at;
                if (std::hypot(moved.x(), moved.y()) < minStarStep)
                    return; // a point that stands still
                const QPointF v = moved / dt;
                const int bx = int(std::lround(v.x() / voteBin)) + half;
                const int by = int(std::lround(v.y() / voteBin)) + half;
                if (bx < 0 || by < 0 || bx >= side || by >= side)
                    return;
                ++votes[size_t(by) * size_t(side) + size_t(bx)];
                cast.push_back(v);
                from.push_back(int(d.at.y()) / 16 * 1024 + int(d.at.x()) / 16);
            });
        }
    }
    // The busiest 3 x 3 bins, against what an even spread of the votes would put there. What
    // stands still (labels, the logo, the pylon's edge, the corona's knots) is no star: the field
    // drifts about a degree a day.
    int best = 0, bestX = 0, bestY = 0;
    for (int y = 1; y + 1 < side; ++y) {
        for (int x = 1; x + 1 < side; ++x) {
            if (std::hypot(x - half, y - half) * voteBin * span < minStarMotion)
                continue;
            int sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    sum += votes[size_t(y + dy) * size_t(side) + size_t(x + dx)];
            if (sum > best)
                best = sum, bestX = x, bestY = y;
        }
    }
    const double even = 9.0 * double(cast.size()) / (double(side) * side);
    if (best < 6 || best < 5 * even + 3)
        return std::nullopt;
    // The mean of the votes around the peak, twice.
    QPointF centre((bestX - half) * voteBin, (bestY - half) * voteBin);
    // A star field is many stars across the frame: one bright mover, or a patch of its light,
    // votes many times from one place.
    std::vector<int> places;
    for (size_t i = 0; i < cast.size(); ++i)
        if (std::abs(cast[i].x() - centre.x()) <= 1.5 * voteBin &&
            std::abs(cast[i].y() - centre.y()) <= 1.5 * voteBin)
            places.push_back(from[i]);
    std::sort(places.begin(), places.end());
    if (std::unique(places.begin(), places.end()) - places.begin() < minStars)
        return std::nullopt;
    for (int round = 0; round < 2; ++round) {
        QPointF sum;
        int count = 0;
        for (const QPointF& v : cast) {
            if (std::abs(v.x() - centre.x()) <= 1.5 * voteBin &&
                std::abs(v.y() - centre.y()) <= 1.5 * voteBin) {
                sum += v;
                ++count;
            }
        }
        if (count > 0)
            centre = sum / count;
    }
    return Vote{centre, (best - even) / std::sqrt(even + 1)};
}

} // namespace

// Two views of the stars vote: the frames' own bright points, which place a slow star where it
// is, and the detections in the residuals, where a star that moves far (C2's, 12 pixels an hour)
// stands clear of the median while the frames' texture crowds the bright points. Where both find
// a common motion and they differ, both are taken: in science frames the bright points' texture
// (the inner corona's counts, its compression blocks) drifts as one too, slowly, while the stars
// stand out only in the residuals.
std::vector<QPointF> starVelocities(const SignalFrames& maps, const std::vector<double>& hours)
{
    const std::optional<Vote> own = vote(maps.points, maps.width, maps.height, hours);
    const std::optional<Vote> residual = vote(maps.detections, maps.width, maps.height, hours);
    if (own && residual) {
        const QPointF apart = own->velocity - residual->velocity;
        if (std::hypot(apart.x(), apart.y()) > 2 * voteBin)
            return {own->velocity, residual->velocity};
        // One motion seen twice: the clearer peak places it.
        return {own->strength >= residual->strength ? own->velocity : residual->velocity};
    }
    if (own)
        return {own->velocity};
    if (residual)
        return {residual->velocity};
    return {};
}

void maskStars(SignalFrames& maps, const std::vector<double>& hours, QPointF velocity)
{
    const size_t n = maps.detections.size();
    std::vector<DetectionGrid> grids;
    for (const std::vector<Detection>& frame : maps.points)
        grids.emplace_back(frame, maps.width, maps.height);
    // A star is where the stars' motion takes it in other frames, and over a long enough time
    // to tell it from a slow mover: a partner in two other frames, one of them half the
    // sequence away or more. Between neighbouring frames a comet crawling at a few pixels an
    // hour stays within the gate of where a star would be.
    const double span =
        *std::max_element(hours.begin(), hours.end()) - *std::min_element(hours.begin(), hours.end());
    const auto isStar = [&](size_t f, const Detection& d) {
        int partners = 0;
        bool far = false;
        for (size_t g = 0; g < n; ++g) {
            if (g == f || grids[g].nearest(d.at + velocity * (hours[g] - hours[f]), starGate) < 0)
                continue;
            ++partners;
            far = far || std::abs(hours[g] - hours[f]) >= 0.5 * span;
        }
        return partners >= 2 && far;
    };
    for (size_t f = 0; f < n; ++f) {
        for (const Detection& d : maps.points[f]) {
            if (!isStar(f, d))
                continue;
            // A wider disc for a brighter star, whose residual spreads further, and for the part of
            // a slow star left in the median that runs ahead of it, half its motion over the
            // sequence.
            const double radius = std::clamp(1.5 + 0.8 * std::log2(d.snr / 4), 1.5, 8.0) +
                                  std::min(4.0, 0.5 * std::hypot(velocity.x(), velocity.y()) * span);
            for (size_t g = 0; g < n; ++g) {
                const QPointF centre = d.at + velocity * (hours[g] - hours[f]);
                std::vector<float>& map = maps.snr[g];
                for (int y = std::max(0, int(centre.y() - radius));
                     y <= std::min(maps.height - 1, int(centre.y() + radius)); ++y)
                    for (int x = std::max(0, int(centre.x() - radius));
                         x <= std::min(maps.width - 1, int(centre.x() + radius)); ++x)
                        if (std::pow(x + 0.5 - centre.x(), 2) + std::pow(y + 0.5 - centre.y(), 2) <=
                            radius * radius)
                            map[size_t(y) * size_t(maps.width) + size_t(x)] = 0;
            }
        }
    }
    for (size_t f = 0; f < n; ++f) {
        for (std::vector<Detection>* some : {&maps.detections[f], &maps.faint[f]})
            std::erase_if(*some, [&](const Detection& d) {
                return maps.snr[f][size_t(d.at.y()) * size_t(maps.width) + size_t(d.at.x())] == 0;
            });
    }
}
