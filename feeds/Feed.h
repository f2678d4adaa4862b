#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>
#include <span>

// The archives frames come from, one row each in the feed table (Feed.cpp): SOHO's LASCO C2 and
// C3 (browse JPEGs in day folders with list files, and level-0.5 FITS frames), GOES-19's CCOR-1
// (browse JPEGs, level-1b FITS, and level-3 FITS in NOAA's open-data bucket), SWFO-L1's CCOR-2
// browse JPEGs and PUNCH's FITS frames.
enum class FeedKind
{
    C2,
    C3,
    Ccor1,
    LascoFitsC2,
    LascoFitsC3,
    Ccor1L1b,
    Ccor1L3,
    Ccor2,
    PunchNfi,
    PunchMosaic,
};

// How an archive tells what a folder holds.
enum class Listing
{
    ListFile, // the folder's list file of frame names, or its HTML listing where there is none
    Html,     // the folder's HTML (Apache) index
    S3,       // an S3 bucket's ListObjectsV2 under the folder's prefix, page after page
};

struct Feed
{
    FeedKind kind;
    const char* key;        // as the command line and the settings name it: c2, ccor1-l3, punch-nfi, ...
    const char* title;      // as the window names it: "SOHO LASCO C3"
    const char* defaultUrl; // the archive's own base address
    // A day's folder under the base, as a QDate format ("yyyy'/c3/'yyyyMMdd'/'"); empty for an
    // archive that keeps all its frames in the base folder.
    const char* folder;
    Listing listing;
    // A frame's name: a regular expression matched whole, any case, with the groups `time` (the
    // frame's UTC time: the digits of YYYYMMDD then HHMM or HHMMSS, anything between them
    // ignored), `size` (its side in pixels, for a feed served in several sizes) and `version`
    // (the highest of a time is kept). Without a `time` group the time comes from each frame's
    // FITS header, read first with a Range request.
    const char* names;
    bool sized; // served at 1024 and 512 pixels, the request choosing
};

// Every feed, in the order the window offers them.
std::span<const Feed> allFeeds();
// The feed a key names ("c2", "punch-nfi", any case); nothing for any other.
std::optional<Feed> feedNamed(const QString& key);
const Feed& feedOf(FeedKind kind);
// The keys of every feed, as the command line lists them: "c2, c3, ccor1, ...".
QString feedKeys();

// The folder holding the frames of `day` (a day folder, or the base itself); always ends in '/'.
QUrl dayFolder(const Feed& feed, const QUrl& base, QDate day);
// Whether the feed keeps its frames in day folders (and so a request looks back day by day).
bool hasDayFolders(const Feed& feed);
// The day folder's list file for frames `size` pixels a side (".full_1024.lst"); empty for a feed
// without list files.
QString listFileName(const Feed& feed, int size);
// Whether a frame's time comes from its header rather than its name.
bool timeFromHeader(const Feed& feed);
// For an S3 feed: the key prefix of a day folder ("SWFO/.../2025/06/01/") and the address of a
// page of its listing, the first or the one a continuation token names.
QString s3Prefix(const Feed& feed, QDate day);
QUrl s3ListingPage(const QUrl& base, const QString& prefix, const QString& continuationToken);

// One frame of the archive.
struct ArchiveFrame
{
    QString name;    // the archive's file name
    QDateTime time;  // UTC, from the name or the header; invalid until the header is read
    QUrl url;        // where it is fetched from
    QString version; // the archive's version of the frame, for a feed that names one
    bool operator==(const ArchiveFrame&) const = default;
};

// The frame a name designates in `feed`, `size` pixels a side (the request's size, for a feed
// served in several), found in `folder`; nothing for a name of another feed, size or kind of file.
std::optional<ArchiveFrame> archiveFrame(const Feed& feed, int size, const QString& name, const QUrl& folder);
// Whether version `a` comes before `b`: the number first, then the letters after it (PUNCH's
// "0j" < "1" < "1a" < "10").
bool versionBefore(const QString& a, const QString& b);
