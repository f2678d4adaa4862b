// A bright comet's head spreads over a dozen pixels, and saturates. Against the frames' median a
// slow one leaves mostly its leading edge and its tail, and a track fitted to the residuals runs
// a few pixels off the head. Where the head stands out well in each frame of its own, it is
// placed there (its saturated plateau's centre, or its peak's), and the path is fitted through
// those places. A faint head is placed better by its track.
#include "analysis/RobustNoise.h"
#include "analysis/Track.h"
#include "analysis/search/MoverTrack.h"
#include "platform/Picture.h"

#include <algorithm>
#include <cmath>

using namespace tracks;

namespace {

constexpr float white = 3.0f * detect::saturatedLevel; // the sum of the components of a saturated pixel
constexpr double brightSignificance = 20;              // sky sigmas a head's peak must stand above it
constexpr int box = 10;         // pixels each side of the track: a saturated head whole
constexpr double headReach = 6; // pixels a head's plateau may lie off the residuals' track

// The frame's level at (x, y) as the search reads it; NaN off the picture and without a value.
float levelAt(const Picture& picture, int x, int y)
{
    if (x < 0 || y < 0 || x >= picture.pixelWidth() || y >= picture.pixelHeight())
        return NAN;
    if (!picture.values().empty())
        return picture.values()[size_t(y) * size_t(picture.pixelWidth()) + size_t(x)];
    return levelOf(reinterpret_cast<const QRgb*>(picture.decoded().constScanLine(y))[x]);
}

// The centre of the saturated plateau around (x, y), 8-connected, or nothing when it reaches the
// box about (cx, cy): then it is the corona's or a bleed line's, not a head's.
std::optional<QPointF> plateauAt(const Picture& picture, int x, int y, int cx, int cy)
{
    std::vector<char> seen(size_t(2 * box + 1) * size_t(2 * box + 1), 0);
    const auto mark = [&](int px, int py) -> char& {
        return seen[size_t(py - cy + box) * size_t(2 * box + 1) + size_t(px - cx + box)];
    };
    std::vector<std::pair<int, int>> pending{{x, y}};
    mark(x, y) = 1;
    QPointF sum;
    int count = 0;
    while (!pending.empty()) {
        const auto [px, py] = pending.back();
        pending.pop_back();
        if (std::abs(px - cx) == box || std::abs(py - cy) == box)
            return std::nullopt;
        sum += QPointF(px + 0.5, py + 0.5);
        ++count;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (!mark(px + dx, py + dy) && levelAt(picture, px + dx, py + dy) >= white) {
                    mark(px + dx, py + dy) = 1;
                    pending.push_back({px + dx, py + dy});
                }
    }
    return sum / count;
}

// The head near `onTrack` in its frame, where it stands out by `brightSignificance`: the centre
// of its saturated plateau, or of the light above the sky in the 3 x 3 pixels about its peak
// (the tail, fainter, hardly pulls them).
std::optional<QPointF> headNear(const Picture& picture, QPointF onTrack)
{
    const int cx = int(std::floor(onTrack.x())), cy = int(std::floor(onTrack.y()));
    std::vector<float> border;
    for (int d = -box; d <= box; ++d)
        for (const auto& [x, y] : {std::pair{cx + d, cy - box}, std::pair{cx + d, cy + box},
                                   std::pair{cx - box, cy + d}, std::pair{cx + box, cy + d}})
            if (const float v = levelAt(picture, x, y); std::isfinite(v))
                border.push_back(v);
    if (border.size() < 8)
        return std::nullopt;
    const Spread<float> sky = robustSpread(border);
    const auto mean3 = [&](int x, int y) {
        float sum = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                sum += levelAt(picture, x + dx, y + dy);
        return sum / 9;
    };
    const int reach = int(std::ceil(headReach));
    float peak = -INFINITY;
    int px = cx, py = cy;
    for (int y = cy - reach; y <= cy + reach; ++y)
        for (int x = cx - reach; x <= cx + reach; ++x)
            if (std::hypot(x + 0.5 - onTrack.x(), y + 0.5 - onTrack.y()) <= headReach)
                if (const float v = mean3(x, y); v > peak)
                    peak = v, px = x, py = y;
    if (!(peak - sky.level >= brightSignificance * std::max(sky.sigma, 0.5f)))
        return std::nullopt;
    if (picture.values().empty() && levelAt(picture, px, py) >= white)
        return plateauAt(picture, px, py, cx, cy);
    QPointF sum;
    double weight = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const double w = std::max(0.0f, levelAt(picture, px + dx, py + dy) - sky.level);
            sum += w * QPointF(px + dx + 0.5, py + dy + 0.5);
            weight += w;
        }
    return sum / weight;
}

} // namespace

void tracks::centreOnFrames(Candidate& candidate, std::span<const Picture* const> pictures,
                            const std::vector<double>& hours)
{
    std::vector<std::optional<QPointF>> heads(pictures.size());
    int bright = 0;
    for (size_t f = 0; f < pictures.size(); ++f) {
        heads[f] = headNear(*pictures[f], candidate.positions[f]);
        bright += heads[f].has_value();
    }
    Track path;
    if (bright < minPointFrames || !fitPath(path, heads, hours))
        return;
    // The heads must lie on one path: one that merges with a star or the corona's edge in some
    // frames is better placed by its track.
    double squares = 0;
    for (size_t f = 0; f < heads.size(); ++f) {
        if (heads[f]) {
            const QPointF d = *heads[f] - path.at(hours[f]);
            squares += QPointF::dotProduct(d, d);
        }
    }
    if (squares > double(bright) * maxResidual * maxResidual)
        return;
    placeOnPath(candidate, path, hours);
}

void tracks::placeOnPath(Candidate& candidate, const Track& path, const std::vector<double>& hours)
{
    candidate.positions.clear();
    for (const double t : hours)
        candidate.positions.push_back(path.at(t));
    TrackFit fit;
    const QPointF v = path.velocity(0.5 * (hours.front() + hours.back()));
    fit.vx = v.x();
    fit.vy = v.y();
    candidate.speed = fit.speed();
    candidate.positionAngle = fit.positionAngle();
}
