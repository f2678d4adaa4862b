#include "analysis/search/BackgroundView.h"

#include "analysis/RobustNoise.h"
#include "analysis/search/MoverDetect.h"
#include "platform/Picture.h"

#include <algorithm>
#include <cmath>

using namespace detect;

namespace {

constexpr float shownSigmas = 5; // the residual's noise sigmas from mid-grey to white

} // namespace

std::vector<std::shared_ptr<const Picture>> backgroundRemoved(std::span<const Picture* const> frames)
{
    if (frames.size() < 2)
        return {};
    const int width = frames.front()->pixelWidth(), height = frames.front()->pixelHeight();
    if (std::any_of(frames.begin(), frames.end(),
                    [&](const Picture* p) { return p->pixelWidth() != width || p->pixelHeight() != height; }))
        return {};
    const size_t n = frames.size();
    const size_t pixels = size_t(width) * size_t(height);
    const std::vector<float> scales = exposureScales(frames);
    std::vector<std::vector<float>> residual(n, std::vector<float>(pixels));
    std::vector<std::vector<unsigned char>> flags(n, std::vector<unsigned char>(pixels));
    forRows(height, [&](int first, int last) {
        std::vector<float> present;
        for (int y = first; y < last; ++y) {
            const size_t row = size_t(y) * size_t(width);
            for (size_t f = 0; f < n; ++f)
                readRow(*frames[f], scales[f], y, residual[f].data() + row, flags[f].data() + row);
            for (size_t i = row; i < row + size_t(width); ++i) {
                present.clear();
                for (size_t f = 0; f < n; ++f)
                    if (!(flags[f][i] & NoValue))
                        present.push_back(residual[f][i]);
                const float median = medianOf(present);
                for (size_t f = 0; f < n; ++f)
                    residual[f][i] -= median;
            }
        }
    });
    std::vector<float> sample;
    for (size_t i = 0; i < pixels; i += 7)
        if (!(flags[0][i] & NoValue) && residual[0][i] != 0)
            sample.push_back(residual[0][i]);
    const float sigma = std::max(robustSpread(sample).sigma, 1e-6f);
    const float gain = 127.5f / (shownSigmas * sigma);
    std::vector<std::shared_ptr<const Picture>> shown;
    for (size_t f = 0; f < n; ++f) {
        QImage grey(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            auto* out = reinterpret_cast<QRgb*>(grey.scanLine(y));
            const size_t row = size_t(y) * size_t(width);
            for (int x = 0; x < width; ++x) {
                const size_t i = row + size_t(x);
                const int level =
                    flags[f][i] & NoValue
                        ? 0
                        : int(std::lround(std::clamp(127.5f + gain * residual[f][i], 0.0f, 255.0f)));
                out[x] = qRgb(level, level, level);
            }
        }
        shown.push_back(std::make_shared<const Picture>(std::move(grey), frames[f]->himetricWidth(),
                                                        frames[f]->himetricHeight()));
    }
    return shown;
}
