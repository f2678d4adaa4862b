#include "analysis/sky/SunDisc.h"

#include <QRect>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int rayCount = 180;

// One value a pixel, read between pixels by bilinear interpolation (0 beyond the frame).
class Plane
{
public:
    template <typename F>
    Plane(const QImage& frame, F value) : m_width(frame.width()), m_height(frame.height())
    {
        const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
        m_values.resize(size_t(m_width) * size_t(m_height));
        for (int y = 0; y < m_height; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            for (int x = 0; x < m_width; ++x)
                m_values[size_t(y) * size_t(m_width) + size_t(x)] = value(line[x]);
        }
    }

    int width() const { return m_width; }
    int height() const { return m_height; }
    float pixel(int x, int y) const
    {
        return x < 0 || y < 0 || x >= m_width || y >= m_height
                   ? 0.f
                   : m_values[size_t(y) * size_t(m_width) + size_t(x)];
    }
    // At picture position `p` (pixel centres at i + 0.5).
    float at(QPointF p) const
    {
        const double x = p.x() - 0.5, y = p.y() - 0.5;
        const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
        const float fx = float(x - x0), fy = float(y - y0);
        return (pixel(x0, y0) * (1 - fx) + pixel(x0 + 1, y0) * fx) * (1 - fy) +
               (pixel(x0, y0 + 1) * (1 - fx) + pixel(x0 + 1, y0 + 1) * fx) * fy;
    }

private:
    int m_width, m_height;
    std::vector<float> m_values;
};

QPointF onRay(QPointF centre, int ray, double r)
{
    const double angle = 2 * std::numbers::pi * ray / rayCount;
    return centre + QPointF(r * std::cos(angle), r * std::sin(angle));
}

// The circle through `points` in the least-squares sense of x² + y² + Dx + Ey + F = 0.
std::optional<DiscFit> circleThrough(const std::vector<QPointF>& points)
{
    if (points.size() < 8)
        return std::nullopt;
    // Centred on the points' mean for a well-conditioned system.
    QPointF mean;
    for (const QPointF& p : points)
        mean += p;
    mean /= double(points.size());
    double suu = 0, svv = 0, suv = 0, suuu = 0, svvv = 0, suvv = 0, svuu = 0;
    for (const QPointF& p : points) {
        const double u = p.x() - mean.x(), v = p.y() - mean.y();
        suu += u * u, svv += v * v, suv += u * v;
        suuu += u * u * u, svvv += v * v * v, suvv += u * v * v, svuu += v * u * u;
    }
    const double det = suu * svv - suv * suv;
    if (std::abs(det) < 1e-9)
        return std::nullopt;
    const double bu = (suuu + suvv) / 2, bv = (svvv + svuu) / 2;
    const double uc = (bu * svv - bv * suv) / det, vc = (bv * suu - bu * suv) / det;
    DiscFit fit;
    fit.centre = mean + QPointF(uc, vc);
    fit.radius = std::sqrt(uc * uc + vc * vc + (suu + svv) / double(points.size()));
    double squares = 0;
    for (const QPointF& p : points) {
        const double off = std::hypot(p.x() - fit.centre.x(), p.y() - fit.centre.y()) - fit.radius;
        squares += off * off;
    }
    fit.residual = std::sqrt(squares / double(points.size()));
    return fit;
}

// The fit again without the points more than three times the residual off the circle (a star on
// the ring, the pylon across the occulter's edge).
std::optional<DiscFit> robustCircle(std::vector<QPointF> points)
{
    std::optional<DiscFit> fit = circleThrough(points);
    for (int pass = 0; fit && pass < 2; ++pass) {
        const double limit = 3 * std::max(fit->residual, 0.15);
        std::erase_if(points, [&](QPointF p) {
            return std::abs(std::hypot(p.x() - fit->centre.x(), p.y() - fit->centre.y()) - fit->radius) >
                   limit;
        });
        fit = circleThrough(points);
    }
    return fit;
}

// The centre of the circle of about `radius` pixels that the white pixels of `window` lie on most:
// each votes for the centres at that distance from it.
std::optional<QPointF> ringCentre(const Plane& white, const QRect& window, double radius)
{
    const int w = window.width(), h = window.height();
    std::vector<int> votes(size_t(w) * size_t(h), 0);
    const int steps = int(2 * std::numbers::pi * radius) + 1;
    std::vector<QPoint> offsets;
    for (int s = 0; s < steps; ++s) {
        const double a = 2 * std::numbers::pi * s / steps;
        offsets.emplace_back(int(std::lround(radius * std::cos(a))), int(std::lround(radius * std::sin(a))));
    }
    int whitePixels = 0;
    for (int y = window.top(); y <= window.bottom(); ++y) {
        for (int x = window.left(); x <= window.right(); ++x) {
            if (white.pixel(x, y) < 200)
                continue;
            ++whitePixels;
            // The circle's pixels a pixel either side of its radius all meet at its centre.
            for (int s = 0; s < steps; ++s) {
                const int cx = x + offsets[size_t(s)].x() - window.left();
                const int cy = y + offsets[size_t(s)].y() - window.top();
                if (cx >= 0 && cy >= 0 && cx < w && cy < h)
                    ++votes[size_t(cy) * size_t(w) + size_t(cx)];
            }
        }
    }
    if (whitePixels == 0)
        return std::nullopt;
    const auto best = std::max_element(votes.begin(), votes.end());
    const int index = int(best - votes.begin());
    return QPointF(window.left() + index % w + 0.5, window.top() + index / w + 0.5);
}

// The white circle: on each ray from the centre, the middle of the ring's profile.
std::optional<DiscFit> fitRing(const Plane& white, QPointF centre, double radius)
{
    std::optional<DiscFit> fit;
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<QPointF> points;
        for (int ray = 0; ray < rayCount; ++ray) {
            double weights = 0, weighted = 0;
            for (double r = 0.6 * radius; r <= 1.4 * radius; r += 0.25) {
                const double w = std::max(0.f, white.at(onRay(centre, ray, r)) - 128.f);
                weights += w;
                weighted += w * r;
            }
            if (weights > 0)
                points.push_back(onRay(centre, ray, weighted / weights));
        }
        if (int(points.size()) < rayCount * 7 / 10)
            return std::nullopt; // no whole ring there
        fit = robustCircle(points);
        if (!fit)
            return std::nullopt;
        centre = fit->centre;
    }
    return fit;
}

// The occulter: on each ray from the centre, where the dark inside turns into the bright field
// (halfway between the two levels, between pixels).
std::optional<DiscFit> fitOcculter(const Plane& light, QPointF centre, double radius)
{
    std::optional<DiscFit> fit;
    for (int pass = 0; pass < 4; ++pass) {
        std::vector<QPointF> points;
        for (int ray = 0; ray < rayCount; ++ray) {
            std::vector<float> profile;
            for (double r = 0.5 * radius; r <= 1.5 * radius; r += 0.25)
                profile.push_back(light.at(onRay(centre, ray, r)));
            const int n = int(profile.size());
            std::vector<float> inner(profile.begin(), profile.begin() + n / 5);
            std::vector<float> outer(profile.end() - n / 5, profile.end());
            std::nth_element(inner.begin(), inner.begin() + inner.size() / 2, inner.end());
            std::nth_element(outer.begin(), outer.begin() + outer.size() / 2, outer.end());
            const float dark = inner[inner.size() / 2], bright = outer[outer.size() / 2];
            if (bright - dark < 24)
                continue; // the pylon, or no occulter there
            const float half = (dark + bright) / 2;
            for (int i = 1; i < n; ++i) {
                if (profile[size_t(i - 1)] < half && profile[size_t(i)] >= half) {
                    const double t =
                        (half - profile[size_t(i - 1)]) / (profile[size_t(i)] - profile[size_t(i - 1)]);
                    points.push_back(onRay(centre, ray, 0.5 * radius + 0.25 * (i - 1 + t)));
                    break;
                }
            }
        }
        if (int(points.size()) < rayCount / 2)
            return std::nullopt;
        fit = robustCircle(points);
        if (!fit)
            return std::nullopt;
        centre = fit->centre;
    }
    if (fit)
        fit->occulter = true;
    return fit;
}

bool near(double radius, double expected)
{
    return radius > 0.85 * expected && radius < 1.15 * expected;
}

} // namespace

std::optional<DiscFit> fitSolarDisc(const QImage& frame, double discRadius, double occulterRadius)
{
    if (frame.isNull() || discRadius <= 2 || occulterRadius <= discRadius)
        return std::nullopt;
    const QPointF middle(frame.width() / 2.0, frame.height() / 2.0);
    const QRect window = QRect(int(middle.x() - occulterRadius), int(middle.y() - occulterRadius),
                               int(2 * occulterRadius), int(2 * occulterRadius))
                             .intersected(frame.rect());
    const Plane white(frame, [](QRgb c) { return float(std::min({qRed(c), qGreen(c), qBlue(c)})); });
    if (const std::optional<QPointF> coarse = ringCentre(white, window, discRadius)) {
        const std::optional<DiscFit> ring = fitRing(white, *coarse, discRadius);
        if (ring && near(ring->radius, discRadius) && ring->residual < 1.0)
            return ring;
    }
    const Plane light(frame, [](QRgb c) { return float(std::max({qRed(c), qGreen(c), qBlue(c)})); });
    const std::optional<DiscFit> occulter = fitOcculter(light, middle, occulterRadius);
    if (occulter && near(occulter->radius, occulterRadius) && occulter->residual < 1.5)
        return occulter;
    return std::nullopt;
}
