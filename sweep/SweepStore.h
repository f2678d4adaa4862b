#pragma once

#include "analysis/search/MoverSearch.h"
#include "sweep/SweepLock.h"
#include "sweep/SweepPlan.h"

#include <QSqlDatabase>

#include <functional>
#include <map>
#include <memory>
#include <set>

// What a window's search gave, as it is stored: its state, the frames that could not be decoded
// with the reason, and the candidates, each with a position on every frame that was searched.
struct WindowRecord
{
    QString key; // SweepWindow::key
    QString camera;
    int size = 0;
    QString firstFrame, lastFrame;
    int frames = 0;  // in the window, damaged ones included
    QString skipped; // why the window was not searched (too few good frames); empty when it was
    double seconds = 0;
    std::vector<std::pair<QString, QString>> damaged; // frame name, why it could not be decoded
    // The names of the frames searched, in order: the window's frames less the damaged ones.
    // Every candidate's positions are on these frames, one each.
    std::vector<QString> searched;
    std::vector<Candidate> found; // best first
};

// The record of `window` of `plan` before its search: its frames and figures, nothing found yet.
WindowRecord windowRecord(const SweepPlan& plan, const SweepWindow& window);

// A sweep's results in SQLite (Qt's QSQLITE driver): the frames (a damaged one with its reason),
// each window with its state (planned, done or skipped with the reason) and the time it took, the
// candidates each window found with their positions, and the track each candidate belongs to: a
// mover seen in overlapping windows is one track. A window stored done or skipped is not searched
// again, so an interrupted sweep goes on where it stopped. Unique keys make a window's candidates
// impossible to store twice, and a store that writes holds the database's lock (SweepLock).
class SweepStore
{
public:
    enum class Access
    {
        Read,  // an existing database, read only; nothing is made or locked
        Write, // made where need be, locked against other writers
        // As Write, each commit made durable with the log's next checkpoint rather than at once
        // (SQLite's synchronous NORMAL): for a merge, whose inputs stay to merge again what a
        // power cut takes, and which otherwise waits on the disk twice a window.
        Merge,
    };
    // Opens the database at `path`; check error() after. A database of another schema version is
    // refused with the reason.
    explicit SweepStore(const QString& path, Access access = Access::Read);
    ~SweepStore();
    SweepStore(const SweepStore&) = delete;
    SweepStore& operator=(const SweepStore&) = delete;

    // Empty while every statement so far went well; otherwise SQLite's own message for the first
    // that did not (disk full, read-only, corrupt, locked), or why the database was refused.
    const QString& error() const { return m_error; }

    // Records frames (those already there are brought up to date: a replaced file's length) and
    // the plan's windows `windows` as planned (those already there stay as they are). Every window
    // that held a frame since replaced is set aside ('superseded', the frame named): its rows stay,
    // but no longer count toward tracks; should its frames come back, it is searched again.
    bool addPlan(const SweepPlan& plan, const std::vector<int>& windows);
    // Windows set aside so far through this store, by addPlan or by a merge's frames.
    int supersededWindows() const { return m_superseded; }
    // The keys of the windows already stored: done, skipped, or set aside (which a merge then
    // leaves aside; addPlan has made those of its plan planned again).
    std::set<QString> finishedWindows();
    // Stores a window's outcome in one transaction: the damaged frames' reasons, the candidates
    // with their positions, each joining the track it shares frames with, and the window's state.
    // Fails, storing nothing, where the window is stored already.
    bool storeWindow(const WindowRecord& record);
    int trackCount();
    // What the database holds that was not searched: frames that could not be decoded, and
    // windows skipped for too few good frames.
    struct Losses
    {
        int damagedFrames = 0;
        int skippedWindows = 0;
    };
    Losses losses();

    // The tracks, best first, each with its best candidate's figures and its place in each frame
    // (picture pixels, the mean where overlapping windows both place it), from windows done.
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
    std::vector<StoredTrack> tracks();
    // One CSV record per track (RFC 4180 quoting), best candidate first: TRACK, SCORE, SPEED, ANGLE,
    // FRAMES, FIRST, LAST and its positions as "NAME x y" separated by ';'.
    QStringList trackLines();

    // What the database holds, to merge it into another: its frames with their damage, then each
    // window stored, in the order they were planned; `take` returns false to stop.
    bool copyFramesTo(SweepStore& into);
    // Where the first window stored falls in a plan's order: its camera, size, first frame's time
    // (ISO 8601, UTC) and name; empty when no window is stored.
    QStringList firstStoredWindow();
    bool forEachStoredWindow(const std::function<bool(WindowRecord&&)>& take);

private:
    bool open(const QString& path, Access access);
    bool exec(const QString& statement);
    bool fail(const class QSqlQuery& query);
    bool failCommit(); // the transaction's commit failed: rolled back, SQLite's reason kept
    void loadPositions();
    bool supersedeWindowsOf(const QString& frame, qint64 bytes);
    bool replanSuperseded(const QString& key);

    std::unique_ptr<SweepLock> m_lock;
    QString m_connection;
    QSqlDatabase m_db;
    QString m_error;
    // Each stored position by frame name: its track and place, to join later windows' candidates.
    std::map<QString, std::vector<std::pair<int, QPointF>>> m_positions;
    int m_lastTrack = 0;
    int m_superseded = 0;
};

// A field of a CSV record, quoted as RFC 4180 asks where it holds a comma, a quote or a line end.
QString csvField(const QString& field);
