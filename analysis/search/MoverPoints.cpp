// The stars as each frame shows them: bright points against the frame's own surroundings, with
// no other frame taken away. Against the frames' median a star drifting a few pixels leaves only
// the part of it that moved, which runs ahead of it; its own light marks where it is.
#include "analysis/search/MoverDetect.h"

#include "analysis/RobustNoise.h"

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
    // A frame's level is its residual plus the median; less the mean of the square around it,
    // that is the residual plus the median's own departure from its surroundings (the residual's
    // mean over a square is about nothing), so one box sum serves every frame.
    std::vector<float> sky = planes.median;
    boxSum(planes, sky);
    constexpr float square = 15.0f * 15.0f;
    forRows(height, [&](int first, int last) {
        for (size_t i = planes.at(0, first); i < planes.at(0, last); ++i)
            sky[i] = planes.steady[i] ? -INFINITY : planes.median[i] - sky[i] / square;
    });
    std::vector<std::vector<Detection>> points(planes.frames);
    parallelFor(int(planes.frames), [&](int task) {
        const size_t f = size_t(task);
        const float* residual = planes.signal[f].data();
        // -infinity where masked: never a peak, nor above one.
        const auto at = [&](int x, int y) {
            const size_t i = planes.at(x, y);
            return residual[i] + sky[i];
        };
        std::vector<float> sample;
        for (size_t i = 0; i < sky.size(); i += 53)
            if (!planes.steady[i])
                sample.push_back(residual[i] + sky[i]);
        const float sigma = clippedSigma(sample);
        if (!(sigma > 0))
            return;
        const float threshold = pointLevel * sigma;
        std::vector<Detection>& found = points[f];
        for (int y = edge; y < height - edge; ++y) {
            const float* r = residual + planes.at(0, y);
            const float* s = sky.data() + planes.at(0, y);
            for (int x = edge; x < width - edge; ++x) {
                if ((x & 3) == 0 && x + 4 <= width - edge) {
                    // Most of the frame is below the threshold: four pixels at a time.
                    const auto above = load4(r + x) + load4(s + x) >= threshold;
                    if (!(above[0] || above[1] || above[2] || above[3])) {
                        x += 3;
                        continue;
                    }
                }
                const float v = r[x] + s[x];
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
