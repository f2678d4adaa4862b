#pragma once

#include <QPointF>
#include <QStringList>

#include <vector>

struct Candidate;

// The candidates the observer dismissed as not worth a look, each with the frames it was found
// in (by name, in sequence order) and its place in each. A later search over the same frames
// (the same names in the same order) does not show a candidate that lies within
// `matchDistance` of a dismissed one's place in every frame: the same object, found again.
class DismissedCandidates
{
public:
    struct Dismissal
    {
        QStringList frames;
        std::vector<QPointF> positions; // picture pixels, one per frame
        bool operator==(const Dismissal&) const = default;
    };
    static constexpr double matchDistance = 3.0; // picture pixels

    DismissedCandidates() = default;
    explicit DismissedCandidates(std::vector<Dismissal> dismissals);

    // Dismisses `candidate`, found in `frames`.
    void dismiss(const QStringList& frames, const Candidate& candidate);
    bool isDismissed(const QStringList& frames, const Candidate& candidate) const;
    // The candidates of a search over `frames` that were not dismissed, in their order.
    std::vector<Candidate> shown(const QStringList& frames, std::vector<Candidate> candidates) const;

    const std::vector<Dismissal>& dismissals() const { return m_dismissals; }
    bool operator==(const DismissedCandidates&) const = default;

private:
    std::vector<Dismissal> m_dismissals;
};
