#include "analysis/search/MoverTrack.h"

#include <algorithm>

using namespace tracks;

namespace {

constexpr int minAcceleratedPoints = 5; // points that may show a track's speed changing

// Solves the 3 x 3 system `m` (its fourth column the right-hand side) by elimination with
// partial pivoting; false when it is singular.
bool solve3(double m[3][4], double x[3])
{
    for (int col = 0; col < 3; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 3; ++r)
            if (std::abs(m[r][col]) > std::abs(m[pivot][col]))
                pivot = r;
        if (std::abs(m[pivot][col]) < 1e-12)
            return false;
        std::swap(m[col], m[pivot]);
        for (int r = col + 1; r < 3; ++r) {
            const double k = m[r][col] / m[col][col];
            for (int j = col; j < 4; ++j)
                m[r][j] -= k * m[col][j];
        }
    }
    for (int r = 2; r >= 0; --r) {
        double sum = m[r][3];
        for (int j = r + 1; j < 3; ++j)
            sum -= m[r][j] * x[j];
        x[r] = sum / m[r][r];
    }
    return true;
}

// Where the points along the track's line bend away from its steady speed by much more than their
// scatter, a speed changing steadily along the line fits them: s = c0 + c1 (t - tm) + c2 (t - tm)²
// by least squares, kept when it halves the squared residuals and stays within `maxSpeedChange`.
void accelerate(Track& track, const std::vector<std::optional<QPointF>>& points,
                const std::vector<double>& hours)
{
    const double tm = track.tMean;
    const QPointF v = track.velocity();
    const double speed = std::hypot(v.x(), v.y());
    if (speed <= 0)
        return;
    const QPointF u = v / speed, centre = track.at(tm);
    double m[3][4] = {};
    std::vector<std::pair<double, double>> along; // (t - tm, s)
    for (size_t f = 0; f < points.size(); ++f) {
        if (!points[f])
            continue;
        const double dt = hours[f] - tm;
        const double s = QPointF::dotProduct(*points[f] - centre, u);
        along.push_back({dt, s});
        const double powers[3] = {1, dt, dt * dt};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j)
                m[i][j] += powers[i] * powers[j];
            m[i][3] += powers[i] * s;
        }
    }
    double c[3];
    if (!solve3(m, c))
        return;
    double steady = 0, bent = 0;
    double first = along.front().first, last = first;
    for (const auto& [dt, s] : along) {
        steady += (s - speed * dt) * (s - speed * dt);
        const double e = s - c[0] - c[1] * dt - c[2] * dt * dt;
        bent += e * e;
        first = std::min(first, dt);
        last = std::max(last, dt);
    }
    const double a = 2 * c[2];
    if (steady <= double(along.size()) * positionNoise * positionNoise || bent > 0.5 * steady ||
        std::abs(a) * (last - first) > maxSpeedChange * std::abs(c[1]))
        return;
    track.place(tm, centre + c[0] * u, c[1] * u, a);
}

} // namespace

bool tracks::fitPath(Track& track, const std::vector<std::optional<QPointF>>& points,
                     const std::vector<double>& hours)
{
    double n = 0, st = 0, sx = 0, sy = 0;
    for (size_t f = 0; f < points.size(); ++f) {
        if (!points[f])
            continue;
        n += 1;
        st += hours[f];
        sx += points[f]->x();
        sy += points[f]->y();
    }
    track.count = int(n);
    if (n < 2)
        return false;
    const double tm = st / n, xm = sx / n, ym = sy / n;
    double stt = 0, stx = 0, sty = 0;
    for (size_t f = 0; f < points.size(); ++f) {
        if (!points[f])
            continue;
        const double dt = hours[f] - tm;
        stt += dt * dt;
        stx += dt * (points[f]->x() - xm);
        sty += dt * (points[f]->y() - ym);
    }
    if (stt <= 1e-12)
        return false;
    track.vx = stx / stt;
    track.vy = sty / stt;
    track.ax = track.ay = 0;
    track.x0 = xm - track.vx * tm;
    track.y0 = ym - track.vy * tm;
    track.tMean = tm;
    track.tSpread = stt;
    if (n >= minAcceleratedPoints)
        accelerate(track, points, hours);
    return true;
}

double tracks::trackScore(const Track& track, const SignalFrames& maps, const std::vector<double>& hours,
                          double& cap)
{
    std::vector<double> along;
    for (size_t f = 0; f < hours.size(); ++f) {
        const QPointF p = track.at(hours[f]);
        if (p.x() >= 0 && p.y() >= 0 && p.x() < maps.width && p.y() < maps.height)
            along.push_back(maps.at(f, p));
    }
    if (along.empty())
        return 0;
    if (cap <= 0) {
        std::vector<double> sorted = along;
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 2), sorted.end());
        cap = std::max(2 * sorted[sorted.size() / 2], double(detectionThreshold));
    }
    double sum = 0;
    for (const double v : along)
        sum += std::clamp(v, -cap, cap);
    return sum / std::sqrt(double(along.size()));
}

// Moves the track to where its score is largest (shift and stack, started from the detections'
// path): a pattern search over its position at the middle time, its displacement over half the
// sequence and what its acceleration adds there, all in pixels so that one step fits them all, in
// steps from half a pixel to an eighth. The acceleration is searched last, from the best steady
// track, and kept only where it gains `accelerationGain`: a free parameter more finds a little
// more signal in noise too.
void tracks::refine(Track& track, const SignalFrames& maps, const std::vector<double>& hours)
{
    const auto [first, last] = std::minmax_element(hours.begin(), hours.end());
    const double middle = 0.5 * (*first + *last);
    const double half = std::max(0.5 * (*last - *first), 1e-6);
    double cap = 0;
    double best = trackScore(track, maps, hours, cap);
    const QPointF start = track.at(middle), v = track.velocity(middle);
    const double a0 =
        std::hypot(track.ax, track.ay) * (QPointF::dotProduct(v, {track.ax, track.ay}) < 0 ? -1 : 1);
    double p[5] = {start.x(), start.y(), v.x() * half, v.y() * half, 0.5 * a0 * half * half};
    const auto place = [&](Track& t, const double* q) {
        t.place(middle, {q[0], q[1]}, QPointF(q[2], q[3]) / half, 2 * q[4] / (half * half));
    };
    // |a| 2 half <= maxSpeedChange |v|, in these units.
    const auto allowed = [](const double* q) {
        return std::abs(q[4]) <= 0.25 * maxSpeedChange * std::hypot(q[2], q[3]);
    };
    const auto search = [&](int dimensions) {
        Track trial = track;
        for (double step = 0.5; step >= 0.125;) {
            bool moved = false;
            for (int i = 0; i < dimensions; ++i) {
                for (const double sign : {1.0, -1.0}) {
                    double q[5] = {p[0], p[1], p[2], p[3], p[4]};
                    q[i] += sign * step;
                    if (!allowed(q))
                        continue;
                    place(trial, q);
                    const double score = trackScore(trial, maps, hours, cap);
                    if (score > best) {
                        best = score;
                        std::copy(q, q + 5, p);
                        moved = true;
                        break;
                    }
                }
            }
            if (!moved)
                step /= 2;
        }
    };
    if (!allowed(p))
        p[4] = 0;
    search(4);
    const double steady = best;
    double steadyPath[5];
    std::copy(p, p + 5, steadyPath);
    search(5);
    if (best < steady + accelerationGain) {
        std::copy(steadyPath, steadyPath + 5, p);
        best = steady;
    }
    place(track, p);
    track.score = best;
}
