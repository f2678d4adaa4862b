#pragma once

#include "feeds/Feed.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

// What a day folder holds, read from its list file or its HTML listing, and the frames a request
// takes from it.

// A list file's names: one a line, blanks around them and empty lines ignored.
QStringList namesInListFile(const QByteArray& list);
// An HTML listing's names: the target of each link (href) that is a plain file name in the
// folder itself, once each, in the listing's order. Percent-encoding is undone.
QStringList namesInListing(const QByteArray& html);

// One page of an S3 ListObjectsV2 answer: the names of the objects right under `prefix` (the
// key less the prefix; nothing in a deeper folder), and whether another page follows.
struct S3Page
{
    QStringList names;
    bool truncated = false;
    QString nextToken; // the continuation token of the next page
    bool ok = false;   // a ListBucketResult was read
};
S3Page namesInS3Listing(const QByteArray& xml, const QString& prefix);

// The names that are frames of `feed` and `size` in `folder`, by time (then name), once each;
// of the versions of one time, the highest alone.
std::vector<ArchiveFrame> framesOf(const Feed& feed, int size, const QStringList& names, const QUrl& folder);

// The latest `count` frames taken no later than `upTo`, by time.
std::vector<ArchiveFrame> latestFrames(const std::vector<ArchiveFrame>& frames, const QDateTime& upTo,
                                       int count);
// The frames taken from `from` to `to`, both included, by time.
std::vector<ArchiveFrame> framesBetween(const std::vector<ArchiveFrame>& frames, const QDateTime& from,
                                        const QDateTime& to);
