#pragma once

#include "feeds/Downloader.h"
#include "feeds/Feed.h"

#include <QDateTime>
#include <QStringList>

#include <optional>
#include <vector>

struct FetchRequest
{
    Feed feed = feedOf(FeedKind::C3);
    int size = 1024;
    QUrl base;                     // the archive, or a mirror of it
    int last = 10;                 // the latest frames ...
    QDateTime upTo;                // ... up to this time (UTC; invalid: now)
    std::optional<QDateTime> from; // or every frame from this time up to `upTo`
    QString into;                  // the frames straight into this folder; empty: the library
    QString library;               // the frame library: <library>/<feed>/<YYYYMMDD>/
    bool refresh = false;          // ask for lists and listings even within 15 minutes
};

struct FetchOutcome
{
    QStringList paths;    // the request's frames on disk, in time order, fetched now or before
    QStringList failures; // "WHAT: REASON", one for each list or frame that could not be had
    int fetched = 0;      // how many of `paths` came now
};

// The folder a day's frames of the request are written to.
QString frameFolder(const FetchRequest& request, QDate day);
// Where the frame library is by default: SkyRake under the desktop's pictures folder.
QString defaultFrameLibrary();

// One request's run: it reads the day folders' lists (or listings, where there is no list; S3
// listings page by page), reads the time of each frame whose name has none from its header
// (a Range request, once per frame), asks each missing frame once, and keeps a frame only whole and
// decodable, written whole (QSaveFile) under the archive's name; frames already on disk are never asked
// again, and a list asked for less than 15 minutes ago is read from disk.
class FrameFetch : public QObject
{
    Q_OBJECT
public:
    FrameFetch(FetchRequest request, DownloadRules rules = {}, QObject* parent = nullptr);

    void start();
    void cancel();
    const FetchOutcome& outcome() const { return m_outcome; }

Q_SIGNALS:
    void progress(int framesDone, int framesWanted, qint64 bytes);
    void done();

private:
    void indexDay(int dayIndex);
    void readS3Page(int dayIndex, const QString& token, QStringList names, int pages);
    // A day folder (or its listing) that could not be read.
    void dayUnread(int dayIndex, const QUrl& what, const Download& answer);
    void takeNames(int dayIndex, const QStringList& names);
    void readHeaderTimes(int dayIndex, std::vector<ArchiveFrame> frames);
    void removeOtherVersions(const ArchiveFrame& frame);
    void fetchFrames();
    void frameArrived(const ArchiveFrame& frame, const Download& download);
    // A frame's end: kept (`failure` empty) or not, and why.
    void frameKept(const ArchiveFrame& frame, const QString& failure);
    void finishIfDone();

    FetchRequest m_request;
    Downloader m_downloader;
    std::vector<QDate> m_days; // the day folders to read, newest first
    std::vector<ArchiveFrame> m_known;
    std::vector<ArchiveFrame> m_wanted;
    int m_framesDone = 0;
    qint64 m_bytes = 0;
    bool m_fetching = false;
    bool m_finished = false;
    FetchOutcome m_outcome;
    QStringList m_absentFolders; // day folders the archive does not have, as failures
};

// Runs a request to its end in a local event loop (the command line's way).
FetchOutcome fetchFrames(const FetchRequest& request, DownloadRules rules = {});
