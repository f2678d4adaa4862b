#include "feeds/Feed.h"

namespace {

const Feed feeds[] = {
    {FeedKind::C2, "c2", "SOHO LASCO C2", "https://soho.nascom.nasa.gov/data/REPROCESSING/Completed"},
    {FeedKind::C3, "c3", "SOHO LASCO C3", "https://soho.nascom.nasa.gov/data/REPROCESSING/Completed"},
    {FeedKind::Ccor1, "ccor1", "GOES-19 CCOR-1", "https://services.swpc.noaa.gov/products/ccor1/jpegs/"},
};

Camera cameraOf(FeedKind kind)
{
    switch (kind) {
    case FeedKind::C2:
        return Camera::C2;
    case FeedKind::C3:
        return Camera::C3;
    case FeedKind::Ccor1:
        return Camera::Ccor1;
    }
    return Camera::Unknown;
}

QUrl asFolder(QUrl url)
{
    if (!url.path().endsWith(QLatin1Char('/')))
        url.setPath(url.path() + QLatin1Char('/'));
    return url;
}

} // namespace

std::optional<Feed> feedNamed(const QString& key)
{
    for (const Feed& feed : feeds) {
        if (key.compare(QLatin1String(feed.key), Qt::CaseInsensitive) == 0)
            return feed;
    }
    return std::nullopt;
}

const Feed& feedOf(FeedKind kind)
{
    return feeds[int(kind)];
}

bool hasDayFolders(const Feed& feed)
{
    return feed.kind != FeedKind::Ccor1;
}

QUrl dayFolder(const Feed& feed, const QUrl& base, QDate day)
{
    const QUrl root = asFolder(base);
    if (!hasDayFolders(feed))
        return root;
    return root.resolved(QUrl(QStringLiteral("%1/%2/%3/")
                                  .arg(day.toString(QStringLiteral("yyyy")), QLatin1String(feed.key),
                                       day.toString(QStringLiteral("yyyyMMdd")))));
}

QString listFileName(const Feed& feed, int size)
{
    return hasDayFolders(feed) ? QStringLiteral(".full_%1.lst").arg(size) : QString();
}

std::optional<ArchiveFrame> archiveFrame(const Feed& feed, int size, const QString& name, const QUrl& folder)
{
    // A plain file name: nothing that leads out of the folder.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return std::nullopt;
    const FrameInfo info = frameInfoFromName(name);
    if (!info.time.isValid() || info.camera != cameraOf(feed.kind))
        return std::nullopt;
    if (hasDayFolders(feed) &&
        !name.section(QLatin1Char('.'), 0, 0).endsWith(QStringLiteral("_%1").arg(size)))
        return std::nullopt;
    return ArchiveFrame{name, info.time, asFolder(folder).resolved(QUrl(name))};
}
