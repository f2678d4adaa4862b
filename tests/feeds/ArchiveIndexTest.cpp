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
    };
    for (const auto& c : cases) {
        const std::optional<Feed> feed = feedNamed(QString::fromLatin1(c.key));
        ASSERT_TRUE(feed) << c.key;
        EXPECT_EQ(dayFolder(*feed, QUrl(QString::fromLatin1(c.base)), QDate(2020, 9, 28)).toString(),
                  QString::fromLatin1(c.folder));
        EXPECT_EQ(listFileName(*feed, 1024), QString::fromLatin1(c.list)) << c.key;
    }
    EXPECT_FALSE(feedNamed(QStringLiteral("c4")));
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
