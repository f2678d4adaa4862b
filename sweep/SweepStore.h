#pragma once

#include "analysis/search/MoverSearch.h"
#include "sweep/SweepPlan.h"

#include <QSqlDatabase>

#include <map>
#include <set>

// A sweep's results in SQLite (Qt's QSQLITE driver): the frames, each window with its state and
// the time it took, the candidates each window found with their positions, and the track each
// candidate belongs to: a mover seen in overlapping windows is one track. A window stored done is
// not searched again, so an interrupted sweep goes on where it stopped.
class SweepStore
{
public:
    // Opens (creating it where need be) the database at `path`; check error() after.
    explicit SweepStore(const QString& path);
    ~SweepStore();
    SweepStore(const SweepStore&) = delete;
    SweepStore& operator=(const SweepStore&) = delete;

    // Empty when the database is open and its tables are there.
    const QString& error() const { return m_error; }

    // Records the plan's frames and windows (those already there stay as they are).
    bool addPlan(const SweepPlan& plan);
    // The keys of the windows already searched.
    std::set<QString> doneWindows() const;
    // Stores a window's candidates (positions in picture pixels, one per frame of the window) and
    // marks it done, in one transaction; each candidate joins the track it shares frames with.
    bool storeWindow(const SweepPlan& plan, const SweepWindow& window, const std::vector<Candidate>& found,
                     double seconds);
    int trackCount() const;
    // The tracks, best first, each with its best candidate's figures and its place in each frame
    // (picture pixels, the mean where overlapping windows both place it).
    struct TrackPlace
    {
        QString frame, path;
        QPointF position;
    };
    struct StoredTrack
    {
        int track;
        double score, speed, positionAngle;
        std::vector<TrackPlace> places;
    };
    std::vector<StoredTrack> tracks() const;

    // What the database holds, to merge it into another: its frames, and each window done with
    // its candidates (positions in its frames' order).
    struct StoredWindow
    {
        QString key;
        double seconds = 0;
        std::vector<Candidate> found;
    };
    std::vector<SweepFrame> storedFrames() const;
    std::vector<StoredWindow> storedWindows() const;
    // One line per track, best candidate first: TRACK, SCORE, SPEED, ANGLE, FRAMES, FIRST, LAST and
    // its positions as "NAME x y" separated by ';'.
    QStringList trackLines() const;

private:
    bool exec(const QString& statement);

    QString m_connection;
    QSqlDatabase m_db;
    QString m_error;
    // Each stored position by frame name: its track and place, to join later windows' candidates.
    std::map<QString, std::vector<std::pair<int, QPointF>>> m_positions;
    int m_lastTrack = 0;
};
