#pragma once

// The search's second stage: the star field's common motion found and taken out, detections
// linked into straight tracks at a steady speed, each track scored over all frames. Used by the
// search only.

#include "analysis/search/MoverDetect.h"
#include "analysis/search/MoverSearch.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <optional>
#include <vector>

namespace tracks {
inline constexpr double minScore = 9.0; // noise sigmas a candidate's combined signal must reach
}

struct LinkSettings
{
    double maxSpeed = 120; // picture pixels per hour
    int minFrames = 4;
    int maxCandidates = 20;
    double minScore = tracks::minScore;
};

// Frames a track must show point-like signal in: summed noise along a chance line stands out in
// two or three.
inline constexpr int minPointFrames = 5;

// A detection may lie this far off a settled track, picture pixels.
inline constexpr double trackGate = 1.5;

// The star field's velocity in picture pixels per hour, from the displacements between the
// detections of frames about half the sequence apart; none when no common motion stands out, and
// two when the frames' bright points and their residuals each show another. `hours`: each
// frame's time.
std::vector<QPointF> starVelocities(const SignalFrames& maps, const std::vector<double>& hours);

// Takes the stars out: the detections that move with the star field and, along their paths in
// every frame, their light in the maps and whatever else was detected there.
void maskStars(SignalFrames& maps, const std::vector<double>& hours, QPointF velocity);

// The candidates, best first; nothing when `progress` (called with `progressStart`..100) asks
// to stop.
std::optional<std::vector<Candidate>> linkMovers(SignalFrames& maps, const std::vector<double>& hours,
                                                 const LinkSettings& settings, int progressStart,
                                                 const std::function<bool(int)>& progress);

// The detections of one frame by square cells, for neighbour queries.
class DetectionGrid
{
public:
    DetectionGrid(const std::vector<Detection>& detections, int width, int height)
        : m_detections(detections), m_columns(width / cell + 1), m_rows(height / cell + 1),
          m_start(size_t(m_columns) * size_t(m_rows) + 1, 0)
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
                const size_t c = size_t(y) * size_t(m_columns) + size_t(x);
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

// Every frame's detections with its faint ones, and their grids: where a track shows as points.
struct AllDetections
{
    explicit AllDetections(const SignalFrames& maps) : lists(maps.detections.size())
    {
        for (size_t f = 0; f < lists.size(); ++f) {
            lists[f] = maps.detections[f];
            lists[f].insert(lists[f].end(), maps.faint[f].begin(), maps.faint[f].end());
        }
        // The grids refer to the lists, which stay where they are from here on.
        for (const std::vector<Detection>& frame : lists)
            grids.emplace_back(frame, maps.width, maps.height);
    }
    AllDetections(const AllDetections&) = delete;
    AllDetections& operator=(const AllDetections&) = delete;

    std::vector<std::vector<Detection>> lists;
    std::vector<DetectionGrid> grids;
};
