#pragma once

#include "analysis/Cutout.h"
#include "analysis/DismissedCandidates.h"
#include "analysis/SequenceStretch.h"
#include "analysis/Track.h"
#include "analysis/search/MoverSearch.h"
#include "analysis/sky/CometOrbit.h"
#include "analysis/sky/Ephemeris.h"
#include "analysis/sky/SkyGeometry.h"
#include "model/SearchRun.h"
#include "pictures/PictureList.h"

#include <QObject>
#include <QStringList>

#include <optional>
#include <vector>

// What the work announces, each kind of change once it is complete.
class WorkChanges : public QObject
{
    Q_OBJECT
Q_SIGNALS:
    void sequenceChanged();   // pictures added or removed
    void currentChanged();    // another frame current, or none
    void marksChanged();      // the measured positions
    void candidatesChanged(); // the search's candidates, dismissals, which of them are listed
    void stretchChanged();    // the stretch's settings, and the pictures shown through it
    void reportChanged();     // the position report's lines
};

// The observer's work, apart from any window: the picture sequence and its current frame, the
// measured positions, the search's candidates and the dismissed ones, the display stretch and
// the position report, with their rules. The window shows it and routes input to it; sessions,
// the command line and the benchmarks use it without one.
class SkyrakeWork
{
public:
    SkyrakeWork();
    virtual ~SkyrakeWork();
    SkyrakeWork(const SkyrakeWork&) = delete;
    SkyrakeWork& operator=(const SkyrakeWork&) = delete;

    WorkChanges& changes() const { return m_changes; }

    // ---- The sequence -------------------------------------------------------------------------
    const PictureList& pictures() const { return m_pictures; }
    // Appends a picture at the tail, as File Open does; the current frame stays.
    void appendPicture(std::unique_ptr<CPictureItem> item);
    // Removes the picture at `index`; nothing beyond the sequence.
    void removePicture(int index);
    // Removes every picture (a session replaces the sequence); none is current.
    void clearPictures();
    // The node `index` places from the head; null beyond the sequence.
    POSITION positionAt(int index) const;
    // The item at the current position; null without one.
    CPictureItem* current() const;
    bool hasCurrentPicture() const { return !m_pictures.IsEmpty() && m_curPos != nullptr; }
    // The current position as an index from the head; -1 without a current picture.
    int currentIndex() const;
    // The current picture's name; empty without one.
    QString currentName() const;
    // Makes the node at `pos` (null: none) current.
    void setCurrentPosition(POSITION pos);
    // The full path of the file an import took last.
    const QString& importPath() const { return m_path; }
    // The frames' names in sequence order.
    QStringList frameNames() const;
    // The frames as the window shows them (through the stretch), with their names, in sequence
    // order; valid while the sequence keeps them.
    std::vector<CutoutFrame> shownFrames() const;

    // ---- Measurements -------------------------------------------------------------------------
    // The measured positions, one per frame at most, in sequence order.
    std::vector<Measurement> measurements() const;
    // The measurement of the frame at `index`, if it has one.
    std::optional<Measurement> measurementAt(int index) const;
    // Restores a frame's measurement (a session); nothing for an index beyond the sequence.
    void setMeasurement(int index, const QPointF& clicked, const QPointF& position, bool refined);
    // Measures the object under `clicked` (picture pixels) in `item`: its centre where it stands
    // out, the click otherwise.
    void measure(CPictureItem& item, QPointF clicked);
    // Each frame's position on a track (one per frame, in sequence order) becomes its
    // measurement, centred on the object found there; where that is too faint to trust or
    // strays from the track, the track's own position is kept.
    void measureTrack(const std::vector<QPointF>& positions);

    // ---- The search's candidates --------------------------------------------------------------
    // The frames as a search reads them, with their times and cameras, the options the settings
    // ask for and the sequence's generation.
    SearchSnapshot searchSnapshot() const;
    // Counts the changes of the sequence: a search's result fits only the generation it read.
    quint64 generation() const { return m_generation; }
    // A search's candidates, when the sequence is still the one it read; false (and nothing
    // changes) when the sequence changed meanwhile.
    bool takeFound(quint64 generation, std::vector<Candidate> found);
    // The last search's candidates, best first, those dismissed before left out; cleared when the
    // sequence changes.
    const std::vector<Candidate>& candidates() const { return m_candidates; }
    // A search's candidates over the current sequence.
    void setFound(std::vector<Candidate> found);
    // Dismisses the candidate at `index`: it leaves the candidates, and later searches over the
    // same frames leave it out.
    void dismissCandidate(int index);
    // The candidates dismissed on any sequence, kept in the session.
    const DismissedCandidates& dismissedCandidates() const { return m_dismissed; }
    void setDismissedCandidates(DismissedCandidates dismissed);
    // Whether the search lists also the weak tracks that turn up in windows without a comet more
    // than once in 20 (kept in the settings).
    bool commonCandidatesShown() const { return m_showCommonCandidates; }
    void setCommonCandidatesShown(bool shown);

    // ---- The display stretch ------------------------------------------------------------------
    const StretchSettings& stretchSettings() const { return m_stretch.settings(); }
    // Measures the new stretch's limits on the reference frames and shows every picture through it.
    void setStretchSettings(const StretchSettings& settings);

    // Whether each frame shows less the sequence's background (its per-pixel median), as the
    // search sees it, instead of through the stretch.
    bool backgroundRemoved() const { return m_backgroundRemoved; }
    void setBackgroundRemoved(bool removed);

    // ---- Known comets -------------------------------------------------------------------------
    // The orbital elements the observer gave, as one-line elements (kept in the settings), and the
    // comets read from them; they are drawn on the frames and name the candidates near them.
    const QString& knownCometsText() const { return m_knownCometsText; }
    const std::vector<CometElements>& knownComets() const { return m_knownComets; }
    // Reads `text`'s comets; returns the lines that are none (blank lines and comments apart).
    QStringList setKnownComets(const QString& text);

    // ---- The position report ------------------------------------------------------------------
    // The report's lines, the header line first (the size header is added when it is shown).
    const QString& report() const { return m_report; }
    void setReport(const QString& report);

protected:
    // The picture sequence, its current node (or null: no current picture), the full path of the
    // file being imported, and the report.
    PictureList m_pictures;
    POSITION m_curPos = nullptr;
    QString m_path;
    QString m_report;

private:
    void onPictureRemoved(POSITION removed);
    void onSequenceChanged();
    // Shows every picture not yet stretched through the stretch, measuring it first where it has
    // no limits for the kind of picture; `all` stretches every picture again.
    void stretchPictures(bool all);

    mutable WorkChanges m_changes;
    SequenceStretch m_stretch;
    std::vector<const Picture*> m_stretched; // pictures shown through the current stretch
    std::vector<Candidate> m_candidates;
    DismissedCandidates m_dismissed;
    bool m_showCommonCandidates = false;
    bool m_backgroundRemoved = false;
    QString m_knownCometsText;
    std::vector<CometElements> m_knownComets;
    quint64 m_generation = 0;
};

// Where `item`'s frame looks in the sky: its header's world coordinates or its disc, measured
// the first time and kept in the item.
const FrameGeometry& geometryOf(const CPictureItem& item);

// Where the camera that took `item`'s frame stood at the frame's time.
Observer observerOf(const CPictureItem& item);
// Whether the Earth stands in the frame's field (CCOR-1 around the equinoxes).
bool eclipsedByEarth(const CPictureItem& item);

// The planets and the known `comets` on `item`'s frame, as its camera saw them.
std::vector<BodyInFrame> bodiesOn(const CPictureItem& item, const std::vector<CometElements>& comets);

// A measurement of `item`'s mark; the item must have one.
Measurement measurementOf(const CPictureItem& item);
