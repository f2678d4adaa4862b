// The star field: it drifts as one across the frames, so its motion is the displacement that most
// pairs of detections in consecutive frames share.
#include "analysis/MoverLink.h"

#include <cmath>

namespace {

constexpr double maxStarSpeed =
    60.0; // pixels per hour in a 1024-pixel frame: the stars drift slower (C3: 3, C2: 13)
constexpr double voteBin = 1.0; // pixels per hour, the bins of the velocity histogram

} // namespace

std::optional<QPointF> starVelocity(const SignalFrames& maps, const std::vector<double>& hours)
{
    const double limit = maxStarSpeed * maps.width / 1024.0;
    const int half = int(std::ceil(limit / voteBin));
    const int side = 2 * half + 1;
    std::vector<int> votes(size_t(side) * size_t(side), 0);
    std::vector<QPointF> cast;
    for (size_t f = 0; f + 1 < maps.detections.size(); ++f) {
        const double dt = hours[f + 1] - hours[f];
        if (std::abs(dt) < 1e-6)
            continue;
        const DetectionGrid next(maps.detections[f + 1], maps.width, maps.height);
        for (const Detection& d : maps.detections[f]) {
            next.near(d.at, std::min(limit * std::abs(dt), 64.0), [&](int i) {
                const QPointF v = (maps.detections[f + 1][size_t(i)].at - d.at) / dt;
                const int bx = int(std::lround(v.x() / voteBin)) + half;
                const int by = int(std::lround(v.y() / voteBin)) + half;
                if (bx < 0 || by < 0 || bx >= side || by >= side)
                    return;
                ++votes[size_t(by) * size_t(side) + size_t(bx)];
                cast.push_back(v);
            });
        }
    }
    // The busiest 3 x 3 bins, against what an even spread of the votes would put there.
    int best = 0, bestX = 0, bestY = 0;
    for (int y = 1; y + 1 < side; ++y) {
        for (int x = 1; x + 1 < side; ++x) {
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
    for (int round = 0; round < 2; ++round) {
        QPointF sum;
        int n = 0;
        for (const QPointF& v : cast) {
            if (std::abs(v.x() - centre.x()) <= 1.5 * voteBin &&
                std::abs(v.y() - centre.y()) <= 1.5 * voteBin) {
                sum += v;
                ++n;
            }
        }
        if (n > 0)
            centre = sum / n;
    }
    return centre;
}

void maskStars(SignalFrames& maps, const std::vector<double>& hours, QPointF velocity)
{
    const size_t n = maps.detections.size();
    std::vector<DetectionGrid> grids;
    for (const std::vector<Detection>& frame : maps.detections)
        grids.emplace_back(frame, maps.width, maps.height);
    // A star has a partner in the frame before or after, where the stars' motion takes it.
    const auto isStar = [&](size_t f, const Detection& d) {
        for (const size_t g : {f - 1, f + 1})
            if (g < n && grids[g].nearest(d.at + velocity * (hours[g] - hours[f]), trackGate) >= 0)
                return true;
        return false;
    };
    for (size_t f = 0; f < n; ++f) {
        for (const Detection& d : maps.detections[f]) {
            if (!isStar(f, d))
                continue;
            // A wider disc for a brighter star, whose residual spreads further.
            const double radius = std::clamp(1.5 + 0.8 * std::log2(d.snr / 4), 1.5, 8.0);
            for (size_t g = 0; g < n; ++g) {
                const QPointF centre = d.at + velocity * (hours[g] - hours[f]);
                std::vector<float>& map = maps.snr[g];
                for (int y = std::max(0, int(centre.y() - radius));
                     y <= std::min(maps.height - 1, int(centre.y() + radius)); ++y)
                    for (int x = std::max(0, int(centre.x() - radius));
                         x <= std::min(maps.width - 1, int(centre.x() + radius)); ++x)
                        if (std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y()) <= radius)
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
