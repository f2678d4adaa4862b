// Fetching from an archive served on the loopback address, faults and all: only whole, decodable
// frames are kept, each failure is named with its reason, and a second run asks for nothing it has.
#include "Fixtures.h"
#include "LoopbackHttp.h"

#include "feeds/FrameFetch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
