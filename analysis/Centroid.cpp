#include "analysis/Centroid.h"

#include "analysis/RobustNoise.h"

#include "platform/Picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

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
    const Spread<float> spread = robustSpread(ring);
    return {spread.level, std::max(spread.sigma, 0.5f)};
}

// A pixel that stands far above the noise with no neighbour reaching half its signal is a
// cosmic-ray hit or a hot pixel, not part of an object of some extent.
bool loneHit(const Brightness& frame, int x, int y, const Background& ground)
{
    const float excess = frame.at(x, y) - ground.level;
    if (!(excess > float(detection) * ground.noise))
        return false;
    for (int ny = -1; ny <= 1; ++ny) {
        for (int nx = -1; nx <= 1; ++nx) {
            const float n = frame.at(x + nx, y + ny);
            if ((nx || ny) && std::isfinite(n) && n - ground.level >= excess / 2)
                return false;
        }
    }
    return true;
}

struct Aperture
{
    double mean;        // brightness under the centroid's Gaussian window, hits taken as background
    double independent; // one sigma of `mean` if each pixel's noise were its own
};

// The window's weighted mean centred at `centre`, out to 3 window sigmas; nothing when less than
// nine tenths of the window lies on the frame.
std::optional<Aperture> apertureAt(const Brightness& frame, QPointF centre, const Background& ground)
{
    constexpr double reach = 3 * windowSigma;
    double full = 0, sum = 0, weights = 0, squares = 0;
    for (int y = int(std::floor(centre.y() - reach)); y <= int(std::ceil(centre.y() + reach)); ++y) {
        for (int x = int(std::floor(centre.x() - reach)); x <= int(std::ceil(centre.x() + reach)); ++x) {
            const double ox = x + 0.5 - centre.x(), oy = y + 0.5 - centre.y();
            if (ox * ox + oy * oy > reach * reach)
                continue;
            const double w = std::exp(-(ox * ox + oy * oy) / (2 * windowSigma * windowSigma));
            full += w;
            const float v = frame.at(x, y);
            if (!std::isfinite(v))
                continue;
            sum += w * (loneHit(frame, x, y, ground) ? ground.level : v);
            weights += w;
            squares += w * w;
        }
    }
    if (weights < 0.9 * full)
        return std::nullopt;
    return Aperture{sum / weights, ground.noise * std::sqrt(squares) / weights};
}

struct SkySample
{
    double dx, dy; // from the centre, pixels
    double mean;
};

// The plane a + b dx + c dy through the samples (those `use` takes) by least squares: `a`, its
// level at the centre; nothing when the samples do not fix a plane.
std::optional<std::array<double, 3>> fitPlane(const std::vector<SkySample>& samples,
                                              const std::vector<bool>& use)
{
    double n = 0, x = 0, y = 0, xx = 0, xy = 0, yy = 0, v = 0, xv = 0, yv = 0;
    for (size_t k = 0; k < samples.size(); ++k) {
        if (!use[k])
            continue;
        const SkySample& s = samples[k];
        n += 1, x += s.dx, y += s.dy, xx += s.dx * s.dx, xy += s.dx * s.dy, yy += s.dy * s.dy;
        v += s.mean, xv += s.dx * s.mean, yv += s.dy * s.mean;
    }
    // Cramer's rule on the normal equations.
    const auto det3 = [](double a, double b, double c, double d, double e, double f, double g, double h,
                         double i) {
        return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    };
    const double det = det3(n, x, y, x, xx, xy, y, xy, yy);
    if (n < 3 || std::abs(det) < 1e-9)
        return std::nullopt;
    return std::array<double, 3>{det3(v, x, y, xv, xx, xy, yv, xy, yy) / det,
                                 det3(n, v, y, x, xv, xy, y, yv, yy) / det,
                                 det3(n, x, v, x, xx, xv, y, xy, yv) / det};
}

// The window's flux at `centre` against the same window laid on the sky around it, in sigmas of
// that sky's scatter about a plane. Measured, not assumed from the pixels' own noise: a JPEG's
// blocks and the frame's own structure (grain, stars, streamers) move a window's sum far more than
// independent pixels would. The plane takes out the corona's smooth fall-off, which is no noise;
// a second fit without the samples far off the first (a star, the object's own tail) keeps them
// from tilting it.
double significanceAt(const Brightness& frame, QPointF centre, const Background& ground)
{
    const std::optional<Aperture> here = apertureAt(frame, centre, ground);
    if (!here)
        return 0;
    std::vector<SkySample> around;
    for (const auto& [distance, count] : {std::pair{9.0, 8}, std::pair{15.0, 12}}) {
        for (int k = 0; k < count; ++k) {
            const QPointF offset =
                distance * QPointF(std::cos(2 * M_PI * k / count), std::sin(2 * M_PI * k / count));
            if (const std::optional<Aperture> sky = apertureAt(frame, centre + offset, ground))
                around.push_back({offset.x(), offset.y(), sky->mean});
        }
    }
    if (around.size() < 8)
        return 0;
    std::vector<bool> use(around.size(), true);
    double level = 0, scatter = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const std::optional<std::array<double, 3>> plane = fitPlane(around, use);
        if (!plane)
            return 0;
        std::vector<float> residuals;
        for (const SkySample& s : around)
            residuals.push_back(
                float(std::abs(s.mean - ((*plane)[0] + (*plane)[1] * s.dx + (*plane)[2] * s.dy))));
        level = (*plane)[0];
        scatter = std::max(madToSigma * medianOf(residuals), here->independent);
        for (size_t k = 0; k < around.size(); ++k)
            use[k] = residuals[k] <= 3 * scatter;
    }
    return (here->mean - level) / scatter;
}

} // namespace

Centroid refineCentroid(const Brightness& frame, QPointF clicked, int radius)
{
    const Centroid fallback{clicked, false, 0.0};
    const int cx = int(std::floor(clicked.x()));
    const int cy = int(std::floor(clicked.y()));
    const Background ground = borderBackground(frame, cx, cy, radius);

    const int side = 2 * radius + 1;
    const auto value = [&](int dx, int dy) { return frame.at(cx + dx, cy + dy); };

    // The signal above the background in the box; a lone hit counts as background.
    std::vector<float> signal(size_t(side) * size_t(side), 0.0f);
    const auto at = [&](int dx, int dy) -> float& {
        return signal[size_t(dy + radius) * size_t(side) + size_t(dx + radius)];
    };
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const float v = value(dx, dy);
            if (!std::isfinite(v))
                continue;
            at(dx, dy) = loneHit(frame, cx + dx, cy + dy, ground) ? 0.0f : std::max(0.0f, v - ground.level);
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
    return {centre, true, significanceAt(frame, centre, ground)};
}

bool significantNear(const Centroid& found, QPointF expected)
{
    return found.refined && found.significance >= minSignificance &&
           std::hypot(found.position.x() - expected.x(), found.position.y() - expected.y()) <= maxTrackOffset;
}

Centroid centroidOnTrack(const Brightness& frame, QPointF onTrack)
{
    const Centroid found = refineCentroid(frame, onTrack);
    return significantNear(found, onTrack) ? found : Centroid{onTrack, false, 0.0};
}
