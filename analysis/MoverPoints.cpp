// The stars as each frame shows them: bright points against the frame's own surroundings, with
// no other frame taken away. Against the frames' median a star drifting a few pixels leaves only
// the part of it that moved, which runs ahead of it; its own light marks where it is.
#include "analysis/MoverDetect.h"

#include <algorithm>
#include <cmath>

using namespace detect;

namespace {

constexpr float pointLevel = 8.0f; // sigmas of a frame's surroundings-subtracted pixels
constexpr size_t maxPoints = 300;  // per frame, the brightest kept: stars stand out of the texture

} // namespace

std::vector<std::vector<Detection>> detect::brightPoints(const Planes& planes)
{
    const int width = planes.width, height = planes.height;
    std::vector<std::vector<Detection>> points(planes.frames);
    parallelFor(int(planes.frames), [&](int task) {
        const size_t f = size_t(task);
        std::vector<float> level, around;
        // The frame's level (its residual plus the median) less the mean of the square around.
        level.resize(planes.median.size());
        for (size_t i = 0; i < level.size(); ++i)
            level[i] = planes.steady[i] ? 0.0f : planes.signal[f][i] + planes.median[i];
        around = level;
        boxSum(planes, around);
        constexpr float square = 15.0f * 15.0f;
        for (size_t i = 0; i < level.size(); ++i)
            level[i] = planes.steady[i] ? 0.0f : level[i] - around[i] / square;
        std::vector<float> sample;
        for (size_t i = 0; i < level.size(); i += 53)
            if (!planes.steady[i])
                sample.push_back(level[i]);
        const float sigma = noiseSigma(sample);
        if (!(sigma > 0))
            return;
        const float threshold = pointLevel * sigma;
        const auto at = [&](int x, int y) { return level[planes.at(x, y)]; };
        std::vector<Detection>& found = points[f];
        for (int y = edge; y < height - edge; ++y) {
            for (int x = edge; x < width - edge; ++x) {
                const float v = at(x, y);
                if (v < threshold || !(v > at(x - 1, y) && v >= at(x + 1, y) && v > at(x, y - 1) &&
                                       v >= at(x, y + 1) && v > at(x - 1, y - 1) && v >= at(x + 1, y + 1) &&
                                       v > at(x + 1, y - 1) && v >= at(x - 1, y + 1)))
                    continue;
                // The centre of the light above the surroundings in the 3 x 3 pixels.
                double w = 0, sx = 0, sy = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const double p = std::max(0.0f, at(x + dx, y + dy));
                        w += p, sx += p * dx, sy += p * dy;
                    }
                }
                found.push_back({QPointF(x + 0.5 + sx / w, y + 0.5 + sy / w), v / sigma});
            }
        }
        if (found.size() > maxPoints) {
            std::nth_element(found.begin(), found.begin() + maxPoints, found.end(),
                             [](const Detection& a, const Detection& b) { return a.snr > b.snr; });
            found.resize(maxPoints);
        }
    });
    return points;
}
