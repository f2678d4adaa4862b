// The archives' folders, list files and listings, and the frames a request takes from them.
#include "Fixtures.h"

#include "feeds/ArchiveIndex.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QDateTime utc(const char* text)
{
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate).toUTC();
}

TEST(Feeds, DayFoldersAndListFiles)
{
    const struct
    {
        const char* key;
        const char* base;
        const char* folder;
        const char* list;
    } cases[] = {
        {"c3", "https://soho.example/Completed", "https://soho.example/Completed/2020/c3/20200928/",
         ".full_1024.lst"},
        {"C2", "http://127.0.0.1:8080/mirror/", "http://127.0.0.1:8080/mirror/2020/c2/20200928/",
         ".full_1024.lst"},
        {"ccor1", "https://swpc.example/ccor1/jpegs", "https://swpc.example/ccor1/jpegs/", ""},
        {"lasco-fits-c3", "https://nrl.example/lz/level_05", "https://nrl.example/lz/level_05/200928/c3/",
         ""},
        {"LASCO-FITS-C2", "https://nrl.example/lz/level_05/", "https://nrl.example/lz/level_05/200928/c2/",
         ""},
        {"ccor1-l1b", "https://swpc.example/ccor1/fits", "https://swpc.example/ccor1/fits/", ""},
        {"ccor1-l3", "https://bucket.example",
         "https://bucket.example/SWFO/GOES-19/CCOR-1/ccor1-l3_science/2020/09/28/", ""},
        {"ccor2", "https://swpc.example/ccor2/jpegs/", "https://swpc.example/ccor2/jpegs/", ""},
        {"punch-nfi", "https://sdac.example/punch", "https://sdac.example/punch/3/CAN/2020/09/28/", ""},
        {"punch-mosaic", "https://sdac.example/punch", "https://sdac.example/punch/3/CTM/2020/09/28/", ""},
    };
    for (const auto& c : cases) {
        const std::optional<Feed> feed = feedNamed(QString::fromLatin1(c.key));
        ASSERT_TRUE(feed) << c.key;
        EXPECT_EQ(dayFolder(*feed, QUrl(QString::fromLatin1(c.base)), QDate(2020, 9, 28)).toString(),
                  QString::fromLatin1(c.folder));
        EXPECT_EQ(listFileName(*feed, 1024), QString::fromLatin1(c.list)) << c.key;
    }
    EXPECT_FALSE(feedNamed(QStringLiteral("c4")));
    // A bucket's listing pages: the continuation token's '+', '/' and '=' encoded.
    EXPECT_EQ(
        s3ListingPage(QUrl(QStringLiteral("https://bucket.example")), QStringLiteral("SWFO/x/2020/09/28/"),
                      QStringLiteral("1a+b/c="))
            .toEncoded(),
        "https://bucket.example/?list-type=2&prefix=SWFO/x/2020/09/28/&continuation-token=1a%2Bb%2Fc%3D");
}

TEST(Feeds, EachFeedTakesItsOwnNamesWithTheirTimes)
{
    const struct
    {
        const char* key;
        const char* name;
        const char* time; // empty: no frame of the feed; "-": a frame, its time in its header
    } cases[] = {
        {"lasco-fits-c3", "25123456.fts", "-"},
        {"lasco-fits-c3", "25123456.fts.gz", ""},
        {"lasco-fits-c3", "img_hdr.txt", ""},
        {"ccor1-l1b", "CCOR1_1B_20250601T120415_V00_NC.fits", "2025-06-01T12:04:15Z"},
        {"ccor1-l1b", "CCOR1_1B_20251301T120415_V00_NC.fits", ""}, // month 13
        {"ccor1-l1b", "20250601_1200_ccor1_1024by960.jpg", ""},
        {"ccor1-l3", "sci_ccor1-l3_g19_s20250601T120415Z_e20250601T120430Z_p20250601T124512Z_pub.fits",
         "2025-06-01T12:04:15Z"},
        {"ccor2", "20251120_2345_ccor2_1024by960.jpg", "2025-11-20T23:45:00Z"},
        {"ccor2", "20251120_2345_ccor1_1024by960.jpg", ""},
        {"ccor1", "20251120_2345_ccor2_1024by960.jpg", ""},
        {"punch-nfi", "PUNCH_L3_CAN_20250601120400_v0j.fits", "2025-06-01T12:04:00Z"},
        {"punch-nfi", "PUNCH_L3_CTM_20250601120400_v0j.fits", ""},
        {"punch-mosaic", "PUNCH_L3_CTM_20250601120400_v1.fits", "2025-06-01T12:04:00Z"},
    };
    const QUrl folder(QStringLiteral("http://127.0.0.1/day/"));
    for (const auto& c : cases) {
        const std::optional<ArchiveFrame> frame =
            archiveFrame(*feedNamed(QLatin1String(c.key)), 1024, QLatin1String(c.name), folder);
        ASSERT_EQ(frame.has_value(), c.time[0] != '\0') << c.key << " " << c.name;
        if (frame) {
            EXPECT_EQ(frame->time, c.time[0] == '-' ? QDateTime() : utc(c.time)) << c.name;
        }
    }
}

TEST(Feeds, OfAFramesVersionsTheHighestIsKept)
{
    const QStringList names = {"PUNCH_L3_CAN_20250601120400_v0h.fits", "PUNCH_L3_CAN_20250601120400_v1a.fits",
                               "PUNCH_L3_CAN_20250601120400_v0j.fits", "PUNCH_L3_CAN_20250601120400_v1.fits",
                               "PUNCH_L3_CAN_20250601120800_v0h.fits", "PUNCH_L3_CAN_20250601120000_v10.fits",
                               "PUNCH_L3_CAN_20250601120000_v9z.fits"};
    QStringList kept;
    for (const ArchiveFrame& frame :
         framesOf(*feedNamed("punch-nfi"), 1024, names, QUrl(QStringLiteral("http://127.0.0.1/day/"))))
        kept << frame.name;
    EXPECT_EQ(kept,
              (QStringList{"PUNCH_L3_CAN_20250601120000_v10.fits", "PUNCH_L3_CAN_20250601120400_v1a.fits",
                           "PUNCH_L3_CAN_20250601120800_v0h.fits"}));
}

TEST(Feeds, AnS3ListingGivesTheNamesUnderItsPrefixAndItsNextPage)
{
    const QString prefix = QStringLiteral("SWFO/GOES-19/CCOR-1/ccor1-l3_science/2025/06/01/");
    const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<ListBucketResult xmlns="http://s3.amazonaws.com/doc/2006-03-01/"><Name>bucket</Name>
<Prefix>SWFO/GOES-19/CCOR-1/ccor1-l3_science/2025/06/01/</Prefix><KeyCount>3</KeyCount>
<IsTruncated>true</IsTruncated><NextContinuationToken>1x+y/z=</NextContinuationToken>
<Contents><Key>SWFO/GOES-19/CCOR-1/ccor1-l3_science/2025/06/01/a.fits</Key><Size>5</Size></Contents>
<Contents><Key>SWFO/GOES-19/CCOR-1/ccor1-l3_science/2025/06/01/deeper/b.fits</Key></Contents>
<Contents><Key>SWFO/GOES-19/CCOR-1/other/c.fits</Key></Contents>
</ListBucketResult>)";
    const S3Page page = namesInS3Listing(xml, prefix);
    EXPECT_TRUE(page.ok);
    EXPECT_EQ(page.names.join('|').toStdString(), "a.fits");
    EXPECT_TRUE(page.truncated);
    EXPECT_EQ(page.nextToken.toStdString(), "1x+y/z=");
    EXPECT_FALSE(namesInS3Listing("<html><body>Access Denied</body></html>", prefix).ok);
}

TEST(Feeds, ARealListFileGivesItsFramesAndTheLatestUpToATime)
{
    QFile list(fixture(QStringLiteral("archive/c3_20200928.full_1024.lst")));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const Feed c3 = *feedNamed(QStringLiteral("c3"));
    const QUrl folder(QStringLiteral("http://127.0.0.1/2020/c3/20200928/"));
    const std::vector<ArchiveFrame> frames = framesOf(c3, 1024, namesInListFile(list.readAll()), folder);
    ASSERT_EQ(frames.size(), 106u);
    EXPECT_EQ(frames.front().url.toString(),
              QStringLiteral("http://127.0.0.1/2020/c3/20200928/20200928_0006_c3_1024.jpg"));
    // The same day's frames at 512 pixels, or of C2, are other files.
    EXPECT_TRUE(framesOf(c3, 512, namesInListFile(list.readAll()), folder).empty());

    const std::vector<ArchiveFrame> latest = latestFrames(frames, utc("2020-09-28T12:00:00Z"), 10);
    ASSERT_EQ(latest.size(), 10u);
    EXPECT_LE(latest.back().time, utc("2020-09-28T12:00:00Z"));
    EXPECT_GT(
        frames[size_t(std::find(frames.begin(), frames.end(), latest.back()) - frames.begin()) + 1].time,
        utc("2020-09-28T12:00:00Z"));
    EXPECT_TRUE(std::is_sorted(latest.begin(), latest.end(),
                               [](const ArchiveFrame& a, const ArchiveFrame& b) { return a.time < b.time; }));
    EXPECT_EQ(framesBetween(frames, utc("2020-09-28T00:06:00Z"), utc("2020-09-28T00:30:00Z")).size(), 3u);
    EXPECT_EQ(latestFrames(frames, utc("2020-09-27T23:59:00Z"), 10).size(), 0u);
}

TEST(Feeds, AListingGivesTheFolderOwnFramesOnly)
{
    // An Apache-style listing: sort links, the parent, links elsewhere, a frame twice, quoting
    // of every kind and percent-encoding.
    const QByteArray html = R"(<html><head><title>Index of /ccor1/jpegs</title></head><body>
<a href="?C=N;O=D">Name</a> <a href="?C=M;O=A">Last modified</a>
<a href="/products/">Parent Directory</a> <a href="../">Up</a>
<a href="20251001_1200_ccor1_1024by960.jpg">20251001_1200_ccor1_1024by960.jpg</a>
<A HREF='20251001_1215_ccor1_1024by960.jpg'>x</A>
<a href=20251001_1230_ccor1_1024by960.jpg>x</a>
<a href="./20251001_1245%5Fccor1_1024by960.jpg">x</a>
<a href="20251001_1200_ccor1_1024by960.jpg">again</a>
<a href="https://elsewhere.example/20251001_1300_ccor1_1024by960.jpg">x</a>
<a href="notes.txt">notes</a> <a href="sub/20251001_1315_ccor1_1024by960.jpg">x</a>
</body></html>)";
    const QStringList names = namesInListing(html);
    const QUrl folder(QStringLiteral("http://127.0.0.1/ccor1/jpegs/"));
    const std::vector<ArchiveFrame> frames =
        framesOf(*feedNamed(QStringLiteral("ccor1")), 1024, names, folder);
    QStringList found;
    for (const ArchiveFrame& frame : frames)
        found << frame.name;
    EXPECT_EQ(found, (QStringList{"20251001_1200_ccor1_1024by960.jpg", "20251001_1215_ccor1_1024by960.jpg",
                                  "20251001_1230_ccor1_1024by960.jpg", "20251001_1245_ccor1_1024by960.jpg"}));
    EXPECT_EQ(frames.back().time, utc("2025-10-01T12:45:00Z"));
    // A name that would lead out of the folder is no frame.
    EXPECT_FALSE(archiveFrame(*feedNamed(QStringLiteral("c3")), 1024,
                              QStringLiteral("../20200928_0006_c3_1024.jpg"), folder));
}

} // namespace
