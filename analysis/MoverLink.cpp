#include "analysis/MoverLink.h"

#include "analysis/Track.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numeric>
#include <set>

namespace {

const double gate = getenv("GATE") ? atof(getenv("GATE"))
                                   : 1.5; // TUNING          // pixels a detection may lie off a settled track
constexpr double maxGate = 4.0;           // pixels, while a track of few points is extended
constexpr double positionNoise = 0.4;     // pixels, one sigma of a faint detection's position
constexpr double minMotion = 2.0;         // pixels over the sequence below which a track stands still
constexpr double starTolerance = 2.0; // pixels over the sequence within which a track moves with the stars
constexpr double maxStarSpeed = 30.0; // pixels per hour: the star field drifts slower than this
constexpr double voteBin = 1.0;       // pixels per hour, the star velocity histogram's bin
const double minScore = getenv("MINSCORE")
                            ? atof(getenv("MINSCORE"))
                            : 8.0; // TUNING      // noise sigmas a candidate's combined signal must reach
constexpr int seedReach = 3;
constexpr double duplicate = 3.0; // pixels within which two tracks' positions are the same object // frames
                                  // apart a seed pair may be

QPointF velocityOf(const Detection& from, const Detection& to, double hours)
{
    return (to.at - from.at) / hours;
}

// The detections of one frame by square cells, for neighbour queries.
class Grid
{
public:
    Grid(const std::vector<Detection>& detections, int width, int height)
        : m_detections(detections), m_columns(width / cell + 1), m_rows(height / cell + 1),
          m_start(size_t(m_columns * m_rows) + 1, 0)
    {
        std::vector<int> cellOf(detections.size());
        for (size_t i = 0; i < detections.size(); ++i) {
            cellOf[i] = cellIndex(detections[i].at);
            ++m_start[size_t(cellOf[i]) + 1];
        }
        std::partial_sum(m_start.begin(), m_start.end(), m_start.begin());
        m_order.resize(detections.size());
        std::vector<int> fill(m_start.begin(), m_start.end() - 1);
        for (size_t i = 0; i < detections.size(); ++i)
            m_order[size_t(fill[size_t(cellOf[i])]++)] = int(i);
    }

    // Calls `visit(index)` for each detection within `radius` of `centre`.
    template <class Visit> void near(QPointF centre, double radius, Visit visit) const
    {
        const int x0 = std::max(0, int((centre.x() - radius) / cell));
        const int x1 = std::min(m_columns - 1, int((centre.x() + radius) / cell));
        const int y0 = std::max(0, int((centre.y() - radius) / cell));
        const int y1 = std::min(m_rows - 1, int((centre.y() + radius) / cell));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const size_t c = size_t(y * m_columns + x);
                for (int k = m_start[c]; k < m_start[c + 1]; ++k) {
                    const QPointF d = m_detections[size_t(m_order[size_t(k)])].at - centre;
                    if (d.x() * d.x() + d.y() * d.y() <= radius * radius)
                        visit(m_order[size_t(k)]);
                }
            }
        }
    }

    // The detection nearest to `centre` within `radius`, or -1.
    int nearest(QPointF centre, double radius) const
    {
        int best = -1;
        double bestDistance = radius * radius;
        near(centre, radius, [&](int i) {
            const QPointF d = m_detections[size_t(i)].at - centre;
            const double distance = d.x() * d.x() + d.y() * d.y();
            if (distance <= bestDistance) {
                bestDistance = distance;
                best = i;
            }
        });
        return best;
    }

private:
    static constexpr int cell = 16; // pixels
    int cellIndex(QPointF p) const
    {
        return std::clamp(int(p.y() / cell), 0, m_rows - 1) * m_columns +
               std::clamp(int(p.x() / cell), 0, m_columns - 1);
    }

    const std::vector<Detection>& m_detections;
    int m_columns;
    int m_rows;
    std::vector<int> m_start; // per cell, its first entry in m_order
    std::vector<int> m_order;
};

// A straight track at a steady speed: one detection (or none, -1) per frame and the
// least-squares line through them, x = x0 + vx t and y = y0 + vy t (t in hours).
struct Track
{
    std::vector<int> pick;
    int count = 0;
    double x0 = 0, vx = 0, y0 = 0, vy = 0;
    double tMean = 0, tSpread = 0; // mean time and sum of squared deviations from it

    QPointF at(double t) const { return {x0 + vx * t, y0 + vy * t}; }
    QPointF velocity() const { return {vx, vy}; }
    // One sigma of the line's position at `t`, from the detections' own scatter.
    double uncertainty(double t) const
    {
        return positionNoise * std::sqrt(1.0 / count + (t - tMean) * (t - tMean) / tSpread);
    }
};

class Linker
{
public:
    Linker(const SignalFrames& maps, const std::vector<double>& hours) : m_maps(maps), m_hours(hours)
    {
        for (const std::vector<Detection>& frame : maps.detections)
            m_grids.emplace_back(frame, maps.width, maps.height);
    }

    const Grid& grid(size_t frame) const { return m_grids[frame]; }

    bool fit(Track& track) const
    {
        double n = 0, st = 0, sx = 0, sy = 0;
        for (size_t f = 0; f < track.pick.size(); ++f) {
            if (track.pick[f] < 0)
                continue;
            const QPointF p = detection(f, track.pick[f]).at;
            n += 1;
            st += m_hours[f];
            sx += p.x();
            sy += p.y();
        }
        track.count = int(n);
        if (n < 2)
            return false;
        const double tm = st / n, xm = sx / n, ym = sy / n;
        double stt = 0, stx = 0, sty = 0;
        for (size_t f = 0; f < track.pick.size(); ++f) {
            if (track.pick[f] < 0)
                continue;
            const QPointF p = detection(f, track.pick[f]).at;
            const double dt = m_hours[f] - tm;
            stt += dt * dt;
            stx += dt * (p.x() - xm);
            sty += dt * (p.y() - ym);
        }
        if (stt <= 1e-12)
            return false;
        track.vx = stx / stt;
        track.vy = sty / stt;
        track.x0 = xm - track.vx * tm;
        track.y0 = ym - track.vy * tm;
        track.tMean = tm;
        track.tSpread = stt;
        return true;
    }

    // Grows a track from a seed pair: frames nearest in time first, each taking the detection
    // nearest the line within what the line's uncertainty allows, then settles it with the
    // final gate over all frames.
    std::optional<Track> grow(size_t a, int da, size_t b, int db) const
    {
        Track track;
        track.pick.assign(m_hours.size(), -1);
        track.pick[a] = da;
        track.pick[b] = db;
        if (!fit(track))
            return std::nullopt;
        const double middle = 0.5 * (m_hours[a] + m_hours[b]);
        std::vector<size_t> order;
        for (size_t f = 0; f < m_hours.size(); ++f)
            if (f != a && f != b)
                order.push_back(f);
        std::sort(order.begin(), order.end(), [&](size_t i, size_t j) {
            return std::abs(m_hours[i] - middle) < std::abs(m_hours[j] - middle);
        });
        for (size_t f : order) {
            const double t = m_hours[f];
            const double reach = std::clamp(3 * track.uncertainty(t) + 0.5, gate, maxGate);
            const int found = m_grids[f].nearest(track.at(t), reach);
            if (found >= 0) {
                track.pick[f] = found;
                fit(track);
            }
        }
        for (int settle = 0; settle < 2; ++settle) {
            Track settled = track;
            for (size_t f = 0; f < m_hours.size(); ++f)
                settled.pick[f] = m_grids[f].nearest(track.at(m_hours[f]), gate);
            if (!fit(settled))
                return std::nullopt;
            track = settled;
        }
        return track;
    }

    const Detection& detection(size_t frame, int index) const
    {
        return m_maps.detections[frame][size_t(index)];
    }

private:
    const SignalFrames& m_maps;
    const std::vector<double>& m_hours;
    std::vector<Grid> m_grids;
};

// Takes the star field out: each detection with a partner in the frame before or after where the
// stars' motion would take it is a star, and its light is masked along its path in every frame
// (a wider disc for a brighter star), with whatever else was detected there.
void maskStars(SignalFrames& maps, const std::vector<double>& hours, QPointF velocity)
{
    const size_t n = maps.detections.size();
    std::vector<Grid> grids;
    for (const std::vector<Detection>& frame : maps.detections)
        grids.emplace_back(frame, maps.width, maps.height);
    for (size_t f = 0; f < n; ++f) {
        for (const Detection& d : maps.detections[f]) {
            const bool star =
                std::any_of(std::begin({f - 1, f + 1}), std::end({f - 1, f + 1}), [&](size_t g) {
                    return g < n && grids[g].nearest(d.at + velocity * (hours[g] - hours[f]), gate) >= 0;
                });
            if (!star)
                continue;
            const double radius = std::clamp(2 + 1.2 * std::log2(d.snr / 4), 2.0, 10.0);
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
        std::erase_if(maps.detections[f], [&](const Detection& d) {
            return maps.snr[f][size_t(d.at.y()) * size_t(maps.width) + size_t(d.at.x())] == 0;
        });
    }
}

// The signal summed along the track over every frame it crosses, in noise sigmas of the sum. A
// steady object gives about the same signal in every frame: no frame counts for more than `cap`
// (a cosmic-ray hit on the line); with `cap` zero, twice the typical frame's.
double trackScore(const Track& track, const SignalFrames& maps, const std::vector<double>& hours, double& cap)
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

// Moves the track to where its score is largest, by a pattern search over its position at its
// middle time and its displacement over the sequence (both in pixels, so that one step size
// fits both), in steps from half a pixel down to an eighth. Returns the score.
double refine(Track& track, const SignalFrames& maps, const std::vector<double>& hours)
{
    const auto [first, last] = std::minmax_element(hours.begin(), hours.end());
    const double middle = 0.5 * (*first + *last);
    const double half = std::max(0.5 * (*last - *first), 1e-6);
    double cap = 0;
    double best = trackScore(track, maps, hours, cap);
    double p[4] = {track.x0 + track.vx * middle, track.y0 + track.vy * middle, track.vx * half,
                   track.vy * half};
    const auto place = [&](Track& t, const double* q) {
        t.vx = q[2] / half;
        t.vy = q[3] / half;
        t.x0 = q[0] - t.vx * middle;
        t.y0 = q[1] - t.vy * middle;
    };
    Track trial = track;
    for (double step = getenv("NOREFINE") ? 0.0 : 0.5; step >= 0.125;) {
        bool moved = false;
        for (int i = 0; i < 4; ++i) {
            for (const double sign : {1.0, -1.0}) {
                double q[4] = {p[0], p[1], p[2], p[3]};
                q[i] += sign * step;
                place(trial, q);
                const double score = trackScore(trial, maps, hours, cap);
                if (score > best) {
                    best = score;
                    std::copy(q, q + 4, p);
                    moved = true;
                    break;
                }
            }
        }
        if (!moved)
            step /= 2;
    }
    place(track, p);
    if (getenv("DBG") && best > 12)
        fprintf(stderr, "refine %.2f -> %.2f\n", trackScore(track, maps, hours, cap), best);
    return best;
}

} // namespace

std::optional<QPointF> starVelocity(const SignalFrames& maps, const std::vector<double>& hours)
{
    const double limit = maxStarSpeed * maps.width / 1024.0;
    const int half = int(std::ceil(limit / voteBin));
    const int side = 2 * half + 1;
    std::vector<int> votes(size_t(side) * size_t(side), 0);
    std::vector<QPointF> cast;
    int total = 0;
    for (size_t f = 0; f + 1 < maps.detections.size(); ++f) {
        const double dt = hours[f + 1] - hours[f];
        if (std::abs(dt) < 1e-6)
            continue;
        const Grid next(maps.detections[f + 1], maps.width, maps.height);
        for (const Detection& d : maps.detections[f]) {
            next.near(d.at, std::min(limit * std::abs(dt), 64.0), [&](int i) {
                const QPointF v = velocityOf(d, maps.detections[f + 1][size_t(i)], dt);
                const int bx = int(std::lround(v.x() / voteBin)) + half;
                const int by = int(std::lround(v.y() / voteBin)) + half;
                if (bx < 0 || by < 0 || bx >= side || by >= side)
                    return;
                ++votes[size_t(by) * size_t(side) + size_t(bx)];
                cast.push_back(v);
                ++total;
            });
        }
    }
    // The busiest 3 x 3 bins against what an even spread would put there.
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
    const double even = 9.0 * total / (double(side) * side);
    if (best < 6 || best < 5 * even + 3)
        return std::nullopt;
    QPointF centre((bestX - half) * voteBin, (bestY - half) * voteBin);
    for (int refine = 0; refine < 2; ++refine) {
        QPointF sum;
        int n = 0;
        for (const QPointF& v : cast) {
            const QPointF d = v - centre;
            if (std::abs(d.x()) <= 1.5 * voteBin && std::abs(d.y()) <= 1.5 * voteBin) {
                sum += v;
                ++n;
            }
        }
        if (n > 0)
            centre = sum / n;
    }
    return centre;
}

std::optional<std::vector<Candidate>> linkMovers(SignalFrames& maps, const std::vector<double>& hours,
                                                 const LinkSettings& settings, int progressStart,
                                                 const std::function<bool(int)>& progress)
{
    const size_t n = hours.size();
    const auto [first, last] = std::minmax_element(hours.begin(), hours.end());
    const double span = *last - *first;
    const std::optional<QPointF> stars = starVelocity(maps, hours);
    if (stars)
        maskStars(maps, hours, *stars);
    const Linker linker(maps, hours);

    const auto plausible = [&](QPointF v) {
        const double speed = std::hypot(v.x(), v.y());
        if (speed > settings.maxSpeed * 1.05 || speed * span < minMotion)
            return false;
        return !stars || std::hypot(v.x() - stars->x(), v.y() - stars->y()) * span >= starTolerance;
    };

    // Tracks grown from every pair of detections a few frames apart, neither moving with the
    // stars, at a speed in range; each distinct set of detections once.
    std::set<std::vector<int>> seen;
    std::vector<Track> tracks;
    for (size_t a = 0; a < n; ++a) {
        if (progress && !progress(progressStart + int((100 - progressStart) * a / n)))
            return std::nullopt;
        for (size_t b = a + 1; b < n && b <= a + seedReach; ++b) {
            const double dt = hours[b] - hours[a];
            if (std::abs(dt) < 1e-6)
                continue;
            for (size_t i = 0; i < maps.detections[a].size(); ++i) {
                const Detection& from = maps.detections[a][i];
                if (from.star)
                    continue;
                linker.grid(b).near(from.at, settings.maxSpeed * std::abs(dt) + gate, [&](int j) {
                    const Detection& to = maps.detections[b][size_t(j)];
                    if (to.star || !plausible(velocityOf(from, to, dt)))
                        return;
                    std::optional<Track> track = linker.grow(a, int(i), b, j);
                    if (track && track->count >= settings.minFrames && plausible(track->velocity()) &&
                        seen.insert(track->pick).second)
                        tracks.push_back(std::move(*track));
                });
            }
        }
    }

    // Each track's signal summed along it over every frame it crosses, detected there or not,
    // with the track moved to where that sum is largest.
    struct Scored
    {
        Track* track;
        double score;
    };
    std::vector<Scored> scored;
    for (Track& track : tracks) {
        const double score = refine(track, maps, hours);
        int seen = 0;
        static const double seenLevel = getenv("SEEN") ? atof(getenv("SEEN")) : 0; // TUNING
        for (size_t f = 0; f < n; ++f)
            seen += maps.at(f, track.at(hours[f])) >= seenLevel;
        if (score >= minScore && (seenLevel <= 0 || seen >= settings.minFrames))
            scored.push_back({&track, score});
    }
    std::sort(scored.begin(), scored.end(),
              [](const Scored& a, const Scored& b) { return a.score > b.score; });

    // Best first; a track that shares detections with a better one is the same object again.
    std::vector<std::set<int>> claimed(n);
    std::vector<Candidate> candidates;
    for (const Scored& s : scored) {
        if (int(candidates.size()) >= settings.maxCandidates)
            break;
        const Track& track = *s.track;
        int shared = 0;
        for (size_t f = 0; f < n; ++f)
            shared += track.pick[f] >= 0 && claimed[f].count(track.pick[f]);
        // ... and so is one that runs along a better one for half the frames or more.
        const bool along = std::any_of(candidates.begin(), candidates.end(), [&](const Candidate& better) {
            size_t close = 0;
            for (size_t f = 0; f < n; ++f) {
                const QPointF d = better.positions[f] - track.at(hours[f]);
                close += d.x() * d.x() + d.y() * d.y() <= duplicate * duplicate;
            }
            return 2 * close >= n;
        });
        if (shared >= 2 || along)
            continue;
        for (size_t f = 0; f < n; ++f)
            if (track.pick[f] >= 0)
                claimed[f].insert(track.pick[f]);
        Candidate c;
        for (size_t f = 0; f < n; ++f)
            c.positions.push_back(track.at(hours[f]));
        c.framesDetected = track.count;
        c.score = s.score;
        TrackFit fit;
        fit.vx = track.vx;
        fit.vy = track.vy;
        c.speed = fit.speed();
        c.positionAngle = fit.positionAngle();
        candidates.push_back(std::move(c));
    }
    return candidates;
}
