#pragma once

#include "pictures/FrameInfo.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>

// The archives frames come from: SOHO's LASCO C2 and C3 (day folders with list files) and
// GOES-19's CCOR-1 (one folder with an HTML listing).
enum class FeedKind
{
    C2,
    C3,
    Ccor1,
};

struct Feed
{
    FeedKind kind;
    const char* key;        // as the command line and the settings name it: c2, c3, ccor1
    const char* title;      // as the window names it: "SOHO LASCO C3"
    const char* defaultUrl; // the archive's own base address
};

// The feed a key names ("c2", "c3", "ccor1", any case); nothing for any other.
std::optional<Feed> feedNamed(const QString& key);
const Feed& feedOf(FeedKind kind);

// The folder holding the frames of `day`: {base}/{YYYY}/{c2|c3}/{YYYYMMDD}/ for LASCO, the base
// itself for CCOR-1. Always ends in '/'.
QUrl dayFolder(const Feed& feed, const QUrl& base, QDate day);
// Whether the feed keeps its frames in day folders (and so a request looks back day by day).
bool hasDayFolders(const Feed& feed);
// The day folder's list file for frames `size` pixels a side (".full_1024.lst"); empty for a feed
// without list files.
QString listFileName(const Feed& feed, int size);

// One frame of the archive.
struct ArchiveFrame
{
    QString name;   // the archive's file name
    QDateTime time; // UTC, from the name
    QUrl url;       // where it is fetched from
    bool operator==(const ArchiveFrame&) const = default;
};

// The frame a name designates in `feed`, `size` pixels a side (1024 or 512; CCOR-1 names give
// their own size and take any), found in `folder`; nothing for a name of another feed, size or
// kind of file.
std::optional<ArchiveFrame> archiveFrame(const Feed& feed, int size, const QString& name, const QUrl& folder);
