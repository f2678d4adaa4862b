#include "feeds/Feed.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

constexpr const char* soho = "https://soho.nascom.nasa.gov/data/REPROCESSING/Completed";
constexpr const char* nrlQuickLook = "https://lasco-www.nrl.navy.mil/lz/level_05/";
constexpr const char* ccorBucket = "https://noaa-nesdis-swfo-ccor-1-pds.s3.amazonaws.com/";
constexpr const char* sdacPunch = "https://umbra.nascom.nasa.gov/punch/";

// The one table of feeds. A LASCO FITS frame's name is only its number; its time is in its header.
const Feed feeds[] = {
    {FeedKind::C3, "c3", "SOHO LASCO C3", soho, "yyyy'/c3/'yyyyMMdd'/'", Listing::ListFile,
     R"((?<time>\d{8}_\d{4})_c3_(?<size>\d+)\.(?:jpe?g|gif|png))", true},
    {FeedKind::C2, "c2", "SOHO LASCO C2", soho, "yyyy'/c2/'yyyyMMdd'/'", Listing::ListFile,
     R"((?<time>\d{8}_\d{4})_c2_(?<size>\d+)\.(?:jpe?g|gif|png))", true},
    {FeedKind::Ccor1, "ccor1", "GOES-19 CCOR-1", "https://services.swpc.noaa.gov/products/ccor1/jpegs/", "",
     Listing::Html, R"((?<time>\d{8}_\d{4})_ccor1_\d+by\d+\.(?:jpe?g|gif|png))", false},
    {FeedKind::LascoFitsC3, "lasco-fits-c3", "SOHO LASCO C3 (FITS 0.5)", nrlQuickLook, "yyMMdd'/c3/'",
     Listing::Html, R"(\d{8}\.fts)", false},
    {FeedKind::LascoFitsC2, "lasco-fits-c2", "SOHO LASCO C2 (FITS 0.5)", nrlQuickLook, "yyMMdd'/c2/'",
     Listing::Html, R"(\d{8}\.fts)", false},
    {FeedKind::Ccor1L1b, "ccor1-l1b", "GOES-19 CCOR-1 (FITS 1b)",
     "https://services.swpc.noaa.gov/products/ccor1/fits/", "", Listing::Html,
     R"(CCOR1_1B_(?<time>\d{8}T\d{6})_V\d+_NC\.fits)", false},
    {FeedKind::Ccor1L3, "ccor1-l3", "GOES-19 CCOR-1 (FITS 3)", ccorBucket,
     "'SWFO/GOES-19/CCOR-1/ccor1-l3_science/'yyyy'/'MM'/'dd'/'", Listing::S3,
     R"(sci_ccor1-l3_g19_s(?<time>\d{8}T\d{6})Z_e\d{8}T\d{6}Z_p\d{8}T\d{6}Z_pub\.fits)", false},
    {FeedKind::Ccor2, "ccor2", "SWFO-L1 CCOR-2", "https://services.swpc.noaa.gov/products/ccor2/jpegs/", "",
     Listing::Html, R"((?<time>\d{8}_\d{4})_ccor2_1024by960\.jpg)", false},
    {FeedKind::PunchNfi, "punch-nfi", "PUNCH NFI", sdacPunch, "'3/CAN/'yyyy'/'MM'/'dd'/'", Listing::Html,
     R"(PUNCH_L3_CAN_(?<time>\d{14})_v(?<version>[0-9a-z]+)\.fits)", false},
    {FeedKind::PunchMosaic, "punch-mosaic", "PUNCH mosaic", sdacPunch, "'3/CTM/'yyyy'/'MM'/'dd'/'",
     Listing::Html, R"(PUNCH_L3_CTM_(?<time>\d{14})_v(?<version>[0-9a-z]+)\.fits)", false},
};

QUrl asFolder(QUrl url)
{
    if (!url.path().endsWith(QLatin1Char('/')))
        url.setPath(url.path() + QLatin1Char('/'));
    return url;
}

// The feed's name pattern, compiled once.
const QRegularExpression& namePattern(const Feed& feed)
{
    static const auto patterns = [] {
        std::vector<QRegularExpression> compiled;
        for (const Feed& f : feeds)
            compiled.emplace_back(QStringLiteral("^(?:%1)$").arg(QLatin1String(f.names)),
                                  QRegularExpression::CaseInsensitiveOption);
        return compiled;
    }();
    return patterns[size_t(&feedOf(feed.kind) - feeds)];
}

} // namespace

std::span<const Feed> allFeeds()
{
    return feeds;
}

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
    for (const Feed& feed : feeds) {
        if (feed.kind == kind)
            return feed;
    }
    return feeds[0];
}

QString feedKeys()
{
    QStringList keys;
    for (const Feed& feed : feeds)
        keys << QLatin1String(feed.key);
    return keys.join(QStringLiteral(", "));
}

bool hasDayFolders(const Feed& feed)
{
    return feed.folder[0] != '\0';
}

bool timeFromHeader(const Feed& feed)
{
    return !QByteArrayView(feed.names).contains("(?<time>");
}

QUrl dayFolder(const Feed& feed, const QUrl& base, QDate day)
{
    const QUrl root = asFolder(base);
    if (!hasDayFolders(feed))
        return root;
    return root.resolved(QUrl(day.toString(QLatin1String(feed.folder))));
}

QString listFileName(const Feed& feed, int size)
{
    return feed.listing == Listing::ListFile ? QStringLiteral(".full_%1.lst").arg(size) : QString();
}

QString s3Prefix(const Feed& feed, QDate day)
{
    return day.toString(QLatin1String(feed.folder));
}

QUrl s3ListingPage(const QUrl& base, const QString& prefix, const QString& continuationToken)
{
    // Tokens hold '+', '/' and '=': encoded, or the bucket would read a '+' as a blank.
    QByteArray query = "list-type=2&prefix=" + QUrl::toPercentEncoding(prefix, "/");
    if (!continuationToken.isEmpty())
        query += "&continuation-token=" + QUrl::toPercentEncoding(continuationToken);
    QUrl page = asFolder(base);
    page.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    return page;
}

std::optional<ArchiveFrame> archiveFrame(const Feed& feed, int size, const QString& name, const QUrl& folder)
{
    // A plain file name: nothing that leads out of the folder.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return std::nullopt;
    const QRegularExpressionMatch match = namePattern(feed).match(name);
    if (!match.hasMatch())
        return std::nullopt;
    if (feed.sized && match.captured(u"size") != QString::number(size))
        return std::nullopt;
    QDateTime time;
    if (!timeFromHeader(feed)) {
        QString digits = match.captured(u"time");
        digits.remove(QRegularExpression(QStringLiteral("[^0-9]")));
        const QDate date(digits.mid(0, 4).toInt(), digits.mid(4, 2).toInt(), digits.mid(6, 2).toInt());
        const QTime clock(digits.mid(8, 2).toInt(), digits.mid(10, 2).toInt(), digits.mid(12, 2).toInt());
        if ((digits.size() != 12 && digits.size() != 14) || !date.isValid() || !clock.isValid())
            return std::nullopt;
        time = QDateTime(date, clock, Qt::UTC);
    }
    return ArchiveFrame{name, time, asFolder(folder).resolved(QUrl(name)),
                        match.captured(u"version").toLower()};
}

bool versionBefore(const QString& a, const QString& b)
{
    const auto split = [](const QString& v) {
        qsizetype digits = 0;
        while (digits < v.size() && v[digits].isDigit())
            ++digits;
        return std::pair(v.left(digits).toLongLong(), v.mid(digits));
    };
    return split(a) < split(b);
}
