#include "analysis/DismissedCandidates.h"

#include "analysis/search/MoverSearch.h"

#include <QLineF>

#include <algorithm>

DismissedCandidates::DismissedCandidates(std::vector<Dismissal> dismissals)
    : m_dismissals(std::move(dismissals))
{}

void DismissedCandidates::dismiss(const QStringList& frames, const Candidate& candidate)
{
    if (!isDismissed(frames, candidate))
        m_dismissals.push_back({frames, candidate.positions});
}

bool DismissedCandidates::isDismissed(const QStringList& frames, const Candidate& candidate) const
{
    const std::vector<QPointF>& track = candidate.positions;
    return std::any_of(m_dismissals.begin(), m_dismissals.end(), [&](const Dismissal& dismissed) {
        if (dismissed.frames != frames || dismissed.positions.size() != track.size() ||
            qsizetype(track.size()) != frames.size())
            return false;
        for (size_t i = 0; i < track.size(); ++i) {
            if (!(QLineF(track[i], dismissed.positions[i]).length() <= matchDistance))
                return false;
        }
        return true;
    });
}

std::vector<Candidate> DismissedCandidates::shown(const QStringList& frames,
                                                  std::vector<Candidate> candidates) const
{
    std::erase_if(candidates, [&](const Candidate& candidate) { return isDismissed(frames, candidate); });
    return candidates;
}
