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
#include <array>
#include <cmath>

using namespace tracks;

namespace {

constexpr float white = 3.0f * detect::saturatedLevel; // the sum of the components of a saturated pixel
constexpr double brightSignificance = 20;              // sky sigmas a head's peak must stand above it
// A head saturated where the sky is noisy stands less than 20 sigmas above it. JPEG's ringing keeps
// some of its pixels a few levels below full: a 3 x 3 mean this near full is a saturated head.
constexpr float nearWhite = 3.0f * (detect::saturatedLevel - 8);
constexpr int box = 16;          // pixels each side of the track: a saturated head whole
constexpr double headReach = 10; // pixels a head's plateau may lie off the residuals' track

// The frame's level at (x, y) as the search reads it; NaN off the picture and without a value.
float levelAt(const Picture& picture, int x, int y)
{
    if (x < 0 || y < 0 || x >= picture.pixelWidth() || y >= picture.pixelHeight())
        return NAN;
    if (!picture.values().empty())
        return picture.values()[size_t(y) * size_t(picture.pixelWidth()) + size_t(x)];
    return levelOf(reinterpret_cast<const QRgb*>(picture.decoded().constScanLine(y))[x]);
}

// The head's place in the saturated plateau around (x, y), 8-connected, or nothing when the
// plateau reaches the box about (cx, cy): then it is the corona's or a bleed line's, not a head's.
// The coma saturates as a disc and the tail, narrower, stretches the plateau away from the Sun:
// the head is the middle of the widest disc the plateau holds, the points farthest from its edge,
// which the tail does not pull as it pulls the plateau's mean.
std::optional<QPointF> plateauAt(const Picture& picture, int x, int y, int cx, int cy)
{
    constexpr int side = 2 * box + 1;
    std::vector<char> inside(size_t(side) * size_t(side), 0);
    const auto at = [&](int px, int py) -> char& {
        return inside[size_t(py - cy + box) * size_t(side) + size_t(px - cx + box)];
    };
    std::vector<std::pair<int, int>> pending{{x, y}}, plateau;
    at(x, y) = 1;
    while (!pending.empty()) {
        const auto [px, py] = pending.back();
        pending.pop_back();
        if (std::abs(px - cx) == box || std::abs(py - cy) == box)
            return std::nullopt;
        plateau.push_back({px, py});
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (!at(px + dx, py + dy) && levelAt(picture, px + dx, py + dy) >= white) {
                    at(px + dx, py + dy) = 1;
                    pending.push_back({px + dx, py + dy});
                }
    }
    // The plateau's edge: the pixels about it that are not in it.
    std::vector<std::pair<int, int>> edge;
    for (const auto& [px, py] : plateau)
        for (const auto& [ex, ey] :
             {std::pair{px + 1, py}, std::pair{px - 1, py}, std::pair{px, py + 1}, std::pair{px, py - 1}})
            if (!at(ex, ey))
                edge.push_back({ex, ey});
    std::vector<double> depth(plateau.size(), INFINITY);
    double deepest = 0;
    for (size_t i = 0; i < plateau.size(); ++i) {
        for (const auto& [ex, ey] : edge)
            depth[i] =
                std::min(depth[i], std::hypot(double(ex - plateau[i].first), double(ey - plateau[i].second)));
        deepest = std::max(deepest, depth[i]);
    }
    QPointF sum;
    int count = 0;
    for (size_t i = 0; i < plateau.size(); ++i) {
        if (depth[i] >= deepest - 0.5) {
            sum += QPointF(plateau[i].first + 0.5, plateau[i].second + 0.5);
            ++count;
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
    // The sky about the head from the box's border: its level the border's median, its noise
    // from the steps between neighbours along each side, which the corona's slope hardly changes.
    std::vector<float> border, steps;
    for (const auto& [sx, sy, ux, uy] :
         {std::array{cx - box, cy - box, 1, 0}, std::array{cx - box, cy + box, 1, 0},
          std::array{cx - box, cy - box, 0, 1}, std::array{cx + box, cy - box, 0, 1}}) {
        float previous = NAN;
        for (int d = 0; d <= 2 * box; ++d) {
            const float v = levelAt(picture, sx + d * ux, sy + d * uy);
            if (std::isfinite(v)) {
                border.push_back(v);
                if (std::isfinite(previous))
                    steps.push_back(v - previous);
            }
            previous = v;
        }
    }
    if (steps.size() < 8)
        return std::nullopt;
    Spread<float> sky = robustSpread(border);
    sky.sigma = robustSpread(steps).sigma / float(M_SQRT2);
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
    if (!(peak - sky.level >= brightSignificance * std::max(sky.sigma, 0.5f)) &&
        !(picture.values().empty() && peak >= nearWhite))
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
