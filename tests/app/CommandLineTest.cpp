// The command line: pictures named there are appended as File Open appends them, and the
// headless composite writes exactly what the view composes on screen.
#include "FakeDesktop.h"
#include "Fixtures.h"
#include "Programs.h"
#include "SampleFiles.h"
#include "ViewHarness.h"

#include "app/CommandLine.h"
#include "feeds/Feed.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList cometFrames()
{
    QStringList frames;
    for (int i = 0; i < 4; ++i)
        frames << fixture(QStringLiteral("derived/c3_synthetic_comet_f%1.jpg").arg(i));
    return frames;
}

} // namespace

TEST(CommandLine, OptionsAndPicturesAreTakenApart)
{
    const CommandLine plain = parseCommandLine({"skyrake", "a.jpg", "b.gif"});
    EXPECT_EQ(plain.pictures, (QStringList{"a.jpg", "b.gif"}));
    EXPECT_TRUE(plain.error.isEmpty());
    EXPECT_TRUE(plain.compositeOut.isEmpty());

    const CommandLine composite = parseCommandLine({"skyrake", "--composite", "out.png", "a.jpg", "b.jpg"});
    EXPECT_EQ(composite.compositeOut, "out.png");
    EXPECT_EQ(composite.pictures, (QStringList{"a.jpg", "b.jpg"}));
    EXPECT_EQ(parseCommandLine({"skyrake", "--composite=o.png", "a", "b"}).compositeOut, "o.png");

    EXPECT_TRUE(parseCommandLine({"skyrake", "--help"}).showHelp);
    EXPECT_TRUE(parseCommandLine({"skyrake", "--version"}).showVersion);
    // A file whose name starts with a dash is reached after "--".
    EXPECT_EQ(parseCommandLine({"skyrake", "--", "-odd.jpg"}).pictures, QStringList{"-odd.jpg"});

    EXPECT_EQ(parseCommandLine({"skyrake", "--lang", "en", "a.jpg"}).language, "en");
    EXPECT_EQ(parseCommandLine({"skyrake", "--lang=zh"}).language, "zh");
    EXPECT_TRUE(parseCommandLine({"skyrake", "--scan", "--sungrazer", "a", "b", "c", "d"}).sungrazer);
    EXPECT_EQ(parseCommandLine({"skyrake", "--scan", "--cutouts", "out", "a"}).cutoutsDir, "out");
    EXPECT_EQ(parseCommandLine({"skyrake", "--scan", "--cutouts=out", "a"}).cutoutsDir, "out");

    EXPECT_FALSE(parseCommandLine({"skyrake", "--lang", "fr"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"skyrake", "--lang"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"skyrake", "--sungrazer", "a.jpg"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"skyrake", "--bogus"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"skyrake", "--cutouts", "out", "a.jpg"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"skyrake", "--scan", "--cutouts"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"skyrake", "--confirm-in", "other", "a.jpg"}).error.isEmpty());
    EXPECT_FALSE(
        parseCommandLine({"skyrake", "--scan", "--sungrazer", "--confirm-in", "other"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"skyrake", "--composite"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"skyrake", "--composite", "out.png", "one.jpg"}).error.isEmpty());

    const CommandLine fetch =
        parseCommandLine({"skyrake", "--fetch", "C2", "--from", "2026-12-01T05:30", "--to",
                          "2026-12-01T07:00", "--size", "512", "--refresh", "--scan"});
    ASSERT_TRUE(fetch.fetch);
    EXPECT_TRUE(fetch.error.isEmpty()) << fetch.error.toStdString();
    EXPECT_EQ(fetch.fetch->feed, "c2");
    EXPECT_EQ(fetch.fetch->from, QDateTime(QDate(2026, 12, 1), QTime(5, 30), Qt::UTC));
    EXPECT_EQ(fetch.fetch->to, QDateTime(QDate(2026, 12, 1), QTime(7, 0), Qt::UTC));
    EXPECT_EQ(fetch.fetch->size, 512);
    EXPECT_TRUE(fetch.fetch->refresh && fetch.scan);
    // Every feed of the table by its key, in any case.
    for (const Feed& feed : allFeeds()) {
        const CommandLine line =
            parseCommandLine({"skyrake", "--fetch", QString::fromLatin1(feed.key).toUpper()});
        EXPECT_TRUE(line.error.isEmpty()) << feed.key;
        EXPECT_EQ(line.fetch->feed, QLatin1String(feed.key));
    }
    for (const QStringList& wrong :
         {QStringList{"--fetch", "c4"}, QStringList{"--fetch", "c3", "--last", "0"},
          QStringList{"--fetch", "c3", "--size", "256"},
          QStringList{"--fetch", "c3", "--from", "2026-12-01 05:30"},
          QStringList{"--fetch", "c3", "--source", "ftp://mirror/"}, QStringList{"--fetch", "c3", "a.jpg"},
          QStringList{"--last", "5"}, QStringList{"--fetch"}, QStringList{"--sky"},
          QStringList{"--sky", "--scan", "a.jpg"}, QStringList{"--sweep"},
          QStringList{"--sweep", "--window", "1", "d"},
          QStringList{"--sweep", "--plan", "p", "--window", "x"},
          QStringList{"--sweep", "--merge", "a.sqlite"}, QStringList{"--db", "x.sqlite", "a.jpg"}})
        EXPECT_FALSE(parseCommandLine(QStringList{"skyrake"} + wrong).error.isEmpty())
            << wrong.join(' ').toStdString();
}

TEST(CommandLine, PicturesAreAppendedInTheGivenOrderSkippingUnreadableOnes)
{
    FakeDesktop desktop;
    ViewHarness harness(600, 400);
    const QStringList frames = cometFrames();
    appendPictures(*harness.view,
                   {frames[2], fixture(QStringLiteral("crafted/html_404_named.jpg")), frames[0]});
    const PictureList& pictures = harness.view->pictures();
    ASSERT_EQ(pictures.GetCount(), 2);
    EXPECT_EQ(PictureList::GetAt(pictures.GetHeadPosition())->m_name, "c3_synthetic_comet_f2.jpg");
    EXPECT_EQ(PictureList::GetAt(pictures.GetTailPosition())->m_name, "c3_synthetic_comet_f0.jpg");
    // The first picture of the sequence is shown, and no message box interrupts a start-up.
    EXPECT_EQ(harness.view->currentIndex(), 0);
    EXPECT_EQ(harness.pane(3), "c3_synthetic_comet_f2.jpg");
    EXPECT_EQ(harness.pane(4), QStringLiteral("共有2幅图片")); // at once, before any repaint
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST(CommandLine, VersionIsTheVersionRecords)
{
    EXPECT_EQ(runSkyrake({QStringLiteral("--version")}), QStringLiteral("skyrake 1.0.0.1\n"));
}

TEST(CommandLine, HeadlessCompositeNeedsNoDisplayAndEqualsTheViewsComposite)
{
    const QStringList frames = cometFrames();
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("composite.png"));
    // A cut-off file among them is skipped, and said to be.
    const QString cut = fixture(QStringLiteral("crafted/lasco_c3_512_cut_half.gif"));
    QString errors;
    runSkyrake(QStringList{QStringLiteral("--composite"), out, frames[0], cut} + frames.mid(1), &errors);
    EXPECT_EQ(errors, QStringLiteral("skyrake: %1: cut off\n").arg(cut));
    const QImage written(out);
    ASSERT_EQ(written.size(), QSize(512, 512));

    ViewHarness harness(512, 512);
    harness.load(frames);
    harness.view->setGridShown(false);
    harness.view->OnComposite();
    const QImage shown = harness.view->windowImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(512, 512));
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), shown);

    // And it is a real difference picture: black where nothing moved, bright where the dot was.
    EXPECT_EQ(qGray(written.pixel(20, 20)), 0);
    EXPECT_GT(qGray(written.pixel(360, 300)), 60);
    EXPECT_GT(qGray(written.pixel(336, 282)), 60);
}

TEST(CommandLine, ScanPrintsTheCometsTrackFirstWithNoDisplay)
{
    // The sample sequence: eight frames with a comet whose true pixel comet.txt gives.
    QTemporaryDir dir;
    QProcess sample;
    sample.start(QStringLiteral(SKYRAKE_SAMPLE), {fixture(lasco1024Jpg), dir.path()});
    ASSERT_TRUE(sample.waitForFinished(120000));
    QStringList frames;
    QMap<QString, QPoint> truth;
    QFile table(dir.filePath(QStringLiteral("comet.txt")));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly | QIODevice::Text));
    while (!table.atEnd()) {
        const QStringList fields = QString::fromUtf8(table.readLine()).trimmed().split('\t');
        if (fields.size() == 3 && fields[0].endsWith(QStringLiteral("_512"))) {
            frames << dir.filePath(fields[0] + QStringLiteral(".jpg"));
            truth[fields[0] + QStringLiteral(".jpg")] = QPoint(fields[1].toInt(), fields[2].toInt());
        }
    }
    ASSERT_EQ(frames.size(), 8);
    const QStringList lines =
        runSkyrake(QStringList{QStringLiteral("--scan")} + frames).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 8);
    for (int i = 0; i < 8; ++i) {
        // N, name, x, y (1-based, one decimal), score.
        const QStringList fields = lines[i].split('\t');
        ASSERT_EQ(fields.size(), 5) << lines[i].toStdString();
        EXPECT_EQ(fields[0], QStringLiteral("1"));
        EXPECT_EQ(fields[1], QFileInfo(frames[i]).fileName());
        EXPECT_TRUE(fields[2].contains(QRegularExpression(QStringLiteral("^\\d+\\.\\d$"))))
            << fields[2].toStdString();
        const QPoint expected = truth[fields[1]];
        EXPECT_LT(std::abs(fields[2].toDouble() - expected.x()), 1.5) << lines[i].toStdString();
        EXPECT_LT(std::abs(fields[3].toDouble() - expected.y()), 1.5) << lines[i].toStdString();
    }
    const QString report =
        runSkyrake(QStringList{QStringLiteral("--scan"), QStringLiteral("--sungrazer")} + frames);
    EXPECT_TRUE(
        report.startsWith(QStringLiteral("Camera: C3\nImage size: 512x512\n(0,0) position: upper left\n"
                                         "Date of first image: 2013-05-13\n16:54 ")))
        << report.toStdString();
}

TEST(CommandLine, ScanWritesEachCandidatesCutoutsAsALoopingGif)
{
    QTemporaryDir dir;
    const QStringList frames = writeSampleSequence(dir.path());
    ASSERT_EQ(frames.size(), 8);
    const QString out = dir.filePath(QStringLiteral("cutouts/new"));
    const QStringList lines =
        runSkyrake(QStringList{QStringLiteral("--scan"), QStringLiteral("--cutouts"), out} + frames)
            .split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty()) << "the search found nothing";
    const int candidates = lines.last().section('\t', 0, 0).toInt();
    for (int n = 1; n <= candidates + 1; ++n) {
        const QString gif = QDir(out).filePath(QStringLiteral("candidate-%1.gif").arg(n));
        if (n > candidates) {
            EXPECT_FALSE(QFile::exists(gif));
            break;
        }
        QImageReader reader(gif);
        EXPECT_EQ(reader.imageCount(), 8) << n;
        EXPECT_EQ(reader.size(), QSize(256, 256)) << n;
        EXPECT_EQ(reader.loopCount(), -1) << n; // forever
        const QImage first = reader.read();
        EXPECT_EQ(reader.nextImageDelay(), 500) << n;
        // The best one, the comet, stands bright in the middle of its cutout.
        if (n == 1) {
            EXPECT_GT(qGray(first.pixel(130, 130)), qGray(first.pixel(40, 40)) + 50);
        }
    }

    // A folder that cannot be made is named, and the scan fails.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QProcess process;
    process.start(
        QStringLiteral(SKYRAKE_BINARY),
        QStringList{QStringLiteral("--scan"), QStringLiteral("--cutouts"), blocker.fileName() + "/in"} +
            frames);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_NE(process.exitCode(), 0);
    EXPECT_TRUE(QString::fromLocal8Bit(process.readAllStandardError()).contains(blocker.fileName() + "/in"));
}

TEST(CommandLine, HeadlessCompositeNeedsTwoReadablePictures)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("composite.png"));
    EXPECT_NE(runHeadlessComposite(out, {cometFrames()[0], fixture(QStringLiteral("crafted/empty.jpg"))}), 0);
    EXPECT_FALSE(QFile::exists(out));
}
