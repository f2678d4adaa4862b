// Fetching from an archive served on the loopback address, faults and all: only whole, decodable
// frames are kept, each failure is named with its reason, and a second run asks for nothing it has.
#include "FitsWriter.h"
#include "Fixtures.h"
#include "LoopbackHttp.h"

#include "feeds/FrameFetch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(FrameFetch, OnlyWholePicturesAreKeptEachFailureNamedAndNothingAskedTwice)
{
    LoopbackHttp archive;
    ASSERT_TRUE(archive.listening());
    const QByteArray jpeg = fileBytes(fixture(lasco512Jpg));
    const QByteArray day = "/arch/2020/c3/20200928/";
    const auto frame = [&](const char* hhmm) { return day + "20200928_" + hhmm + "_c3_1024.jpg"; };
    archive.routes[day + ".full_1024.lst"] =
        Route::whole("20200928_0006_c3_1024.jpg\n20200928_0018_c3_1024.jpg\n"
                     "20200928_0030_c3_1024.jpg\n20200928_0042_c3_1024.jpg\n"
                     "20200928_0054_c3_1024.jpg\n20200928_0106_c3_1024.jpg\n"
                     "20200928_0118_c3_1024.jpg\n20200928_0130_c3_512.jpg\n");
    archive.routes[frame("0006")] = Route::whole(jpeg);
    // 0018 is missing: 404.
    archive.routes[frame("0030")] = Route::whole(jpeg, 1);
    archive.routes[frame("0042")] = Route::cutOff(jpeg);
    archive.routes[frame("0054")] = Route::whole("<!DOCTYPE html><html><body>Moved</body></html>");
    archive.routes[frame("0106")] = Route::redirect(archive.url("/mirror/0106.jpg").toEncoded());
    archive.routes["/mirror/0106.jpg"] = Route::whole(jpeg);
    archive.routes[frame("0118")] = Route::stall();
    // The day before has no list file, only its folder's listing.
    archive.routes["/arch/2020/c3/20200927/"] = Route::whole(
        R"(<html><a href="../">Parent</a> <a href="20200927_2330_c3_1024.jpg">x</a>
           <a href="20200927_2342_c3_1024.jpg">x</a> <a href="20200927_2354_c3_1024.jpg">x</a></html>)");
    for (const char* hhmm : {"2330", "2342", "2354"})
        archive.routes[QByteArray("/arch/2020/c3/20200927/20200927_") + hhmm + "_c3_1024.jpg"] =
            Route::whole(jpeg);

    QTemporaryDir library;
    FetchRequest request;
    request.feed = *feedNamed(QStringLiteral("c3"));
    request.base = archive.url(QStringLiteral("/arch"));
    request.last = 9;
    request.upTo = QDateTime(QDate(2020, 9, 28), QTime(23, 59), Qt::UTC);
    request.library = library.path();
    DownloadRules quick;
    quick.stallMs = 400;
    quick.firstBackOffMs = 20;
    const FetchOutcome first = fetchFrames(request, quick);

    const QString folder28 = library.filePath(QStringLiteral("c3/20200928"));
    const QString folder27 = library.filePath(QStringLiteral("c3/20200927"));
    EXPECT_EQ(first.paths,
              (QStringList{folder27 + "/20200927_2342_c3_1024.jpg", folder27 + "/20200927_2354_c3_1024.jpg",
                           folder28 + "/20200928_0006_c3_1024.jpg", folder28 + "/20200928_0030_c3_1024.jpg",
                           folder28 + "/20200928_0106_c3_1024.jpg"}));
    EXPECT_EQ(first.fetched, 5);
    QStringList failures = first.failures;
    failures.sort();
    EXPECT_EQ(failures.join('|').toStdString(),
              (QStringList{"20200928_0018_c3_1024.jpg: 404 Not Found", "20200928_0042_c3_1024.jpg: cut off",
                           "20200928_0054_c3_1024.jpg: an HTML page", "20200928_0118_c3_1024.jpg: timed out"})
                  .join('|')
                  .toStdString());
    // Nothing of the failures is kept, not even in part.
    EXPECT_EQ(QDir(folder28).entryList({QStringLiteral("*.jpg")}, QDir::Files).size(), 3);
    EXPECT_EQ(fileBytes(folder28 + "/20200928_0106_c3_1024.jpg"), jpeg);
    EXPECT_TRUE(archive.lastUserAgent.startsWith("SkyRake/")) << archive.lastUserAgent.constData();
    EXPECT_LE(archive.maxOpen, 4);
    EXPECT_EQ(archive.asked[frame("0030")], 2); // a 500, then asked again
    EXPECT_EQ(archive.asked[frame("0042")], 3); // cut off each time: twice more
    EXPECT_EQ(archive.asked[frame("0018")], 1); // a 404 is not asked again

    // Again at once: the lists are fresh and the frames there are not asked for.
    const std::map<QByteArray, int> before = archive.asked;
    const FetchOutcome second = fetchFrames(request, quick);
    EXPECT_EQ(second.paths, first.paths);
    EXPECT_EQ(second.fetched, 0);
    for (const QByteArray& path : {day + ".full_1024.lst", frame("0006"), frame("0030")})
        EXPECT_EQ(archive.asked[path], before.at(path)) << path.constData();
}

} // namespace

namespace {

// A frame's file as each feed serves it: FITS with the header's time (PUNCH's Rice-compressed in
// HDU 1), or a browse JPEG.
QByteArray fitsFrame(const QDateTime& time, bool rice)
{
    // Larger than the header's Range request, which is answered in part.
    FitsContent content;
    content.width = 64;
    content.height = 64;
    content.values.assign(64 * 64, 100.0f);
    content.riceCompressed = rice;
    // LASCO's way: the date and the time in two cards.
    content.cards = {{"DATE-OBS", "'" + time.toString("yyyy/MM/dd").toLatin1() + "'"},
                     {"TIME-OBS", "'" + time.toString("HH:mm:ss.zzz").toLatin1() + "'"}};
    return fitsBytes(content);
}

struct FeedCase
{
    const char* key;
    std::function<QString(const QDateTime& time, int i)> name;
    std::function<QByteArray(const QDateTime& time)> body;
};

TEST(FrameFetch, EveryFeedKeepsOnlyWholeFramesFromItsOwnLayoutAndNamesEachFailure)
{
    const QByteArray jpeg = fileBytes(fixture(lasco512Jpg));
    const auto plainFits = [](const QDateTime& t) { return fitsFrame(t, false); };
    const FeedCase cases[] = {
        // File numbers run against time: the order is the headers'.
        {"lasco-fits-c3", [](const QDateTime&, int i) { return QStringLiteral("2520%1.fts").arg(9000 - i); },
         plainFits},
        {"lasco-fits-c2", [](const QDateTime&, int i) { return QStringLiteral("2210%1.fts").arg(1000 + i); },
         plainFits},
        {"ccor1-l1b",
         [](const QDateTime& t, int) { return t.toString("'CCOR1_1B_'yyyyMMdd'T'HHmmss'_V00_NC.fits'"); },
         plainFits},
        {"ccor1-l3",
         [](const QDateTime& t, int) {
             return t.toString("'sci_ccor1-l3_g19_s'yyyyMMdd'T'HHmmss'Z_e'yyyyMMdd'T'HHmmss'Z_p'yyyyMMdd'T'"
                               "HHmmss'Z_pub.fits'");
         },
         plainFits},
        {"ccor2", [](const QDateTime& t, int) { return t.toString("yyyyMMdd_HHmm'_ccor2_1024by960.jpg'"); },
         [&](const QDateTime&) { return jpeg; }},
        {"punch-nfi",
         [](const QDateTime& t, int) { return t.toString("'PUNCH_L3_CAN_'yyyyMMddHHmmss'_v0j.fits'"); },
         [](const QDateTime& t) { return fitsFrame(t, true); }},
        {"punch-mosaic",
         [](const QDateTime& t, int) { return t.toString("'PUNCH_L3_CTM_'yyyyMMddHHmmss'_v0j.fits'"); },
         [](const QDateTime& t) { return fitsFrame(t, true); }},
    };
    const QDate day(2020, 9, 28);
    for (const FeedCase& c : cases) {
        SCOPED_TRACE(c.key);
        const Feed feed = *feedNamed(QLatin1String(c.key));
        LoopbackHttp archive;
        ASSERT_TRUE(archive.listening());
        const QUrl base = archive.url(QStringLiteral("/arch"));
        const QUrl folder = dayFolder(feed, base, day);
        // Seven frames 12 minutes apart, each with a fault of its own but the first.
        QStringList names;
        std::vector<QByteArray> paths, bodies;
        for (int i = 0; i < 7; ++i) {
            const QDateTime time(day, QTime(0, 6, 5).addSecs(12 * 60 * i), Qt::UTC);
            names << c.name(time, i);
            paths.push_back(folder.resolved(QUrl(names.last())).path().toUtf8());
            bodies.push_back(c.body(time)); // Rice's dither makes each file of its own
            archive.routes[paths.back()] = Route::whole(bodies.back());
        }
        archive.routes.erase(paths[1]);                       // 404
        archive.routes[paths[2]].failFirst = 1;               // a 500, then the frame
        archive.routes[paths[3]] = Route::cutOff(c.body({})); // cut off every time
        archive.routes[paths[4]] = Route::whole("<!DOCTYPE html><html><body>Moved</body></html>");
        archive.routes["/elsewhere/5"] = archive.routes[paths[5]];
        archive.routes[paths[5]] = Route::redirect(archive.url("/elsewhere/5").toEncoded());
        archive.routes[paths[6]] = Route::stall();
        // An older version of the first PUNCH frame, already in the library, gives way.
        const QString older = QString(names[0]).replace("_v0j.", "_v0h.");
        if (feed.listing == Listing::S3) {
            // Two pages, the second named by a token S3 would write.
            const QString prefix = s3Prefix(feed, day);
            const auto page = [&](const QStringList& keys, const QByteArray& more) {
                QByteArray xml = "<ListBucketResult><IsTruncated>" +
                                 QByteArray(more.isEmpty() ? "false" : "true") +
                                 "</IsTruncated><NextContinuationToken>" + more + "</NextContinuationToken>";
                for (const QString& key : keys)
                    xml += "<Contents><Key>" + (prefix + key).toUtf8() + "</Key></Contents>";
                return Route::whole(xml + "</ListBucketResult>");
            };
            const auto target = [](const QUrl& url) {
                return url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
            };
            archive.routes[target(s3ListingPage(base, prefix, {}))] = page(names.mid(0, 4), "p2+/=");
            archive.routes[target(s3ListingPage(base, prefix, "p2+/="))] = page(names.mid(4), {});
        } else {
            QByteArray html = "<html><a href=\"../\">Parent</a> <a href=\"" + older.toUtf8() + "\">x</a>";
            for (const QString& name : names)
                html += "<a href=\"" + name.toUtf8() + "\">" + name.toUtf8() + "</a>\n";
            archive.routes[folder.path().toUtf8()] =
                Route::whole(html + "<a href=\"notes.txt\">n</a></html>");
        }

        QTemporaryDir library;
        FetchRequest request;
        request.feed = feed;
        request.base = base;
        request.last = 7;
        request.upTo = QDateTime(day, QTime(23, 59), Qt::UTC);
        request.library = library.path();
        const QString into = frameFolder(request, day);
        QDir().mkpath(into);
        if (older != names[0]) {
            QFile file(QDir(into).filePath(older));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.body({}));
        }
        DownloadRules quick;
        quick.stallMs = 400;
        quick.firstBackOffMs = 20;
        const FetchOutcome first = fetchFrames(request, quick);

        EXPECT_EQ(first.paths.join('|').toStdString(),
                  (QStringList{QDir(into).filePath(names[0]), QDir(into).filePath(names[2]),
                               QDir(into).filePath(names[5])})
                      .join('|')
                      .toStdString());
        QStringList failures = first.failures;
        failures.sort();
        // A frame whose time is in its header is named when its header cannot be read.
        const QString html = timeFromHeader(feed) ? "no time in its header" : "an HTML page";
        QStringList expectedFailures = {names[1] + ": 404 Not Found", names[3] + ": cut off",
                                        names[4] + ": " + html, names[6] + ": timed out"};
        expectedFailures.sort();
        EXPECT_EQ(failures.join('|').toStdString(), expectedFailures.join('|').toStdString());
        EXPECT_EQ(QDir(into).entryList(QDir::Files).size(), 3)
            << QDir(into).entryList(QDir::Files).join(' ').toStdString();
        EXPECT_EQ(fileBytes(QDir(into).filePath(names[5])), bodies[5]);
        // A frame whose name has no time: its header first, then the whole frame once.
        EXPECT_EQ(archive.ranged[paths[0]], timeFromHeader(feed) ? 1 : 0);
        EXPECT_EQ(archive.asked[paths[0]], timeFromHeader(feed) ? 2 : 1);

        // Again at once: neither the listing, the headers nor the frames kept are asked again.
        const std::map<QByteArray, int> before = archive.asked;
        const FetchOutcome second = fetchFrames(request, quick);
        EXPECT_EQ(second.paths, first.paths);
        EXPECT_EQ(second.fetched, 0);
        for (const int i : {0, 2, 5})
            EXPECT_EQ(archive.asked[paths[size_t(i)]], before.at(paths[size_t(i)])) << i;
    }
}

} // namespace
