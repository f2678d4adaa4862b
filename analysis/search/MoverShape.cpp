// The shape of a detection's light: what tells a cosmic ray's streak from a comet.
#include "analysis/search/MoverDetect.h"

#include <algorithm>
#include <cmath>

bool detect::streak(const std::vector<float>& map, int width, int height, int x, int y)
{
    constexpr int reach = 4;
    constexpr double longer = 2.2;   // longer than wide by this much
    constexpr double oneSided = 0.4; // its light's centre off the peak by this much of its length
    const float half = 0.5f * map[size_t(y) * size_t(width) + size_t(x)];
    double w = 0, mx = 0, my = 0, xx = 0, yy = 0, xy = 0;
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px < 0 || py < 0 || px >= width || py >= height)
                continue;
            const float v = map[size_t(py) * size_t(width) + size_t(px)];
            if (v < half)
                continue;
            w += v;
            mx += v * dx;
            my += v * dy;
            xx += v * dx * dx;
            yy += v * dy * dy;
            xy += v * dx * dy;
        }
    }
    if (w <= 0)
        return false;
    mx /= w, my /= w;
    const double cxx = xx / w - mx * mx, cyy = yy / w - my * my, cxy = xy / w - mx * my;
    // The axes of the moments' ellipse, from the eigenvalues of their matrix.
    const double mean = 0.5 * (cxx + cyy);
    const double spread = std::sqrt(std::max(0.0, 0.25 * (cxx - cyy) * (cxx - cyy) + cxy * cxy));
    const double minor = std::max(mean - spread, 1.0 / 12), major = mean + spread;
    if (major < longer * longer * minor)
        return false;
    // A comet's head is the bright end of its light, the tail on one side; a streak peaks
    // anywhere along a line of light on both sides of the peak.
    return std::hypot(mx, my) < oneSided * std::sqrt(major);
}
