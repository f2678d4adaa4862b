#include "analysis/Centroid.h"

#include "platform/Picture.h"

#include <algorithm>
#include <cmath>
#include <limits>

Brightness::Brightness(const Picture& picture)
    : m_picture(picture), m_width(picture.pixelWidth()), m_height(picture.pixelHeight())
{}

float Brightness::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return std::numeric_limits<float>::quiet_NaN();
    const std::vector<float>& values = m_picture.values();
    if (!values.empty())
        return values[size_t(y) * size_t(m_width) + size_t(x)];
    return brightnessOf(reinterpret_cast<const QRgb*>(m_picture.decoded().constScanLine(y))[x]);
}

namespace {

constexpr double detection = 3.0;   // noise sigmas above which a lone pixel is a hit, not noise
constexpr double detected = 6.0;    // noise sigmas the window-filtered signal must reach
constexpr double windowSigma = 1.5; // pixels: about the size of a faint comet's coma in a LASCO frame

float median(std::vector<float> values)
{
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

struct Background
{
    float level;
    float noise; // one sigma, at least a small floor so that a flat border still allows a signal
};

// The median and the scaled median absolute deviation of the box's border.
Background borderBackground(const Brightness& frame, int cx, int cy, int radius)
{
    std::vector<float> ring;
    for (int d = -radius; d <= radius; ++d) {
        for (const auto& [x, y] : {std::pair{cx + d, cy - radius}, std::pair{cx + d, cy + radius},
                                   std::pair{cx - radius, cy + d}, std::pair{cx + radius, cy + d}}) {
            const float v = frame.at(x, y);
            if (std::isfinite(v))
                ring.push_back(v);
        }
    }
    if (ring.empty())
        return {0, 1};
    const float level = median(ring);
    for (float& v : ring)
        v = std::abs(v - level);
    return {level, std::max(1.4826f * median(ring), 0.5f)};
}

} // namespace

Centroid refineCentroid(const Brightness& frame, QPointF clicked, int radius)
{
    const Centroid fallback{clicked, false};
    const int cx = int(std::floor(clicked.x()));
    const int cy = int(std::floor(clicked.y()));
    const Background ground = borderBackground(frame, cx, cy, radius);

    const int side = 2 * radius + 1;
    const auto value = [&](int dx, int dy) { return frame.at(cx + dx, cy + dy); };

    // The signal above the background in the box. A pixel that stands far above the noise with
    // no neighbour reaching half its signal is a cosmic-ray hit or a hot pixel, not part of an
    // object of some extent: it counts as background.
    std::vector<float> signal(size_t(side) * size_t(side), 0.0f);
    const auto at = [&](int dx, int dy) -> float& {
        return signal[size_t(dy + radius) * size_t(side) + size_t(dx + radius)];
    };
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const float v = value(dx, dy);
            if (!std::isfinite(v))
                continue;
            const float excess = v - ground.level;
            float brightestNeighbour = -std::numeric_limits<float>::infinity();
            for (int ny = -1; ny <= 1; ++ny) {
                for (int nx = -1; nx <= 1; ++nx) {
                    const float n = value(dx + nx, dy + ny);
                    if ((nx || ny) && std::isfinite(n))
                        brightestNeighbour = std::max(brightestNeighbour, n - ground.level);
                }
            }
            const bool lone = excess > float(detection) * ground.noise && brightestNeighbour < excess / 2;
            at(dx, dy) = lone ? 0.0f : std::max(0.0f, excess);
        }
    }

    // Detection with the window the centroid uses (a matched filter): an object whose pixels
    // each hide in the noise still stands out summed over its extent, and noise alone does not.
    constexpr int reach = 2;
    double weightSquares = 0;
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx)
            weightSquares += std::exp(-(dx * dx + dy * dy) / windowSigma / windowSigma);
    }
    const double filteredNoise = ground.noise * std::sqrt(weightSquares);
    double best = 0;
    for (int y = -radius + reach; y <= radius - reach; ++y) {
        for (int x = -radius + reach; x <= radius - reach; ++x) {
            double filtered = 0;
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx)
                    filtered +=
                        at(x + dx, y + dy) * std::exp(-(dx * dx + dy * dy) / (2 * windowSigma * windowSigma));
            }
            best = std::max(best, filtered);
        }
    }
    if (best < detected * filteredNoise)
        return fallback;

    // A Gaussian-windowed centroid, moved until it settles: the window weighs the pixels near the
    // centre, where the object stands above the noise, and the doubled step makes the estimate
    // converge on the centre of a round object rather than shrink toward the window's.
    QPointF centre = clicked;
    const double window = 2.0 * windowSigma * windowSigma;
    for (int step = 0; step < 30; ++step) {
        double sum = 0, sx = 0, sy = 0;
        for (int dy = -radius; dy <= radius; ++dy) {
            for (int dx = -radius; dx <= radius; ++dx) {
                const double ox = cx + dx + 0.5 - centre.x();
                const double oy = cy + dy + 0.5 - centre.y();
                const double w = signal[size_t(dy + radius) * size_t(side) + size_t(dx + radius)] *
                                 std::exp(-(ox * ox + oy * oy) / window);
                sum += w;
                sx += w * ox;
                sy += w * oy;
            }
        }
        if (sum <= 0)
            return fallback;
        const QPointF move(2.0 * sx / sum, 2.0 * sy / sum);
        centre += move;
        if (std::abs(centre.x() - (cx + 0.5)) > radius || std::abs(centre.y() - (cy + 0.5)) > radius)
            return fallback;
        if (std::hypot(move.x(), move.y()) < 0.1)
            break;
    }
    return {centre, true};
}
