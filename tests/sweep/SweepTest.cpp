// The archive sweep: runs and windows planned from the archive's names, a comet seen by two
// overlapping windows kept as one track, and an interrupted sweep resumed without searching any
// window twice.
#include "../support/SampleFiles.h"
#include "../support/SweepFixtures.h"
#include "../support/WriteFits.h"

#include "sweep/Sweep.h"
#include "sweep/SweepStore.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <set>

namespace {

SweepFrame frameAt(const char* name, int minutes, Camera camera = Camera::C3, int size = 1024)
{
    return {QLatin1String(name), QLatin1String(name),
            QDateTime(QDate(2020, 9, 25), QTime(0, 0), Qt::UTC).addSecs(minutes * 60), camera, size};
}

TEST(SweepPlan, RunsEndAtAGapOrAnotherCameraAndWindowsOverlapByFour)
{
    std::vector<SweepFrame> frames;
    for (int i = 0; i < 14; ++i) // a run of 14, 12 minutes apart ...
        frames.push_back(frameAt(qPrintable(QStringLiteral("a%1").arg(i, 2, 10, QLatin1Char('0'))), 12 * i));
    for (int i = 0; i < 5; ++i) // ... then, after a gap of more than an hour, a run of 5
        frames.push_back(frameAt(qPrintable(QStringLiteral("b%1").arg(i)), 12 * 13 + 61 + 12 * i));
    for (int i = 0; i < 3; ++i) // C2 frames between them: too few for a window
        frames.push_back(frameAt(qPrintable(QStringLiteral("c%1").arg(i)), 12 * i, Camera::C2));
    const SweepPlan plan = planSweep(frames);
    QStringList windows;
    for (const SweepWindow& w : plan.windows)
        windows << w.key.section(QLatin1Char('#'), 0, 0); // the hash of their frames aside
    EXPECT_EQ(windows, (QStringList{"a00+8", "a04+8", "a06+8", "b0+5"}));
}

TEST(SweepPlan, AFrameReplacedOrAGapFilledMakesNewWindowsAndLeavesTheOthers)
{
    const auto run = [](int missing, int replaced) {
        std::vector<SweepFrame> frames;
        for (int i = 0; i < 14; ++i) {
            if (i == missing)
                continue;
            frames.push_back(
                frameAt(qPrintable(QStringLiteral("a%1").arg(i, 2, 10, QLatin1Char('0'))), 12 * i));
            frames.back().bytes = i == replaced ? 999 : 1000;
        }
        std::set<QString> keys;
        for (const SweepWindow& w : planSweep(frames).windows)
            keys.insert(w.key);
        return keys;
    };
    struct Case
    {
        const char* what;
        std::set<QString> before, after;
        int unchanged; // windows of `after` found in `before`
    };
    const Case cases[] = {
        {"frame 5 replaced", run(-1, -1), run(-1, 5), 1}, // only the window of frames 6-13 stays
        {"the gap at frame 7 filled", run(7, -1), run(-1, -1), 0},
        {"nothing changed", run(-1, -1), run(-1, -1), 3},
    };
    for (const Case& c : cases) {
        int unchanged = 0;
        for (const QString& key : c.after)
            unchanged += int(c.before.count(key));
        EXPECT_EQ(unchanged, c.unchanged) << c.what;
    }
}

TEST(SweepStore, AReplacedFrameSetsItsWindowsAsideUntilItComesBack)
{
    QTemporaryDir out;
    QString database = out.filePath(QStringLiteral("sweep.sqlite"));
    const auto planOf = [](qint64 frame5Bytes) {
        std::vector<SweepFrame> frames;
        for (int i = 0; i < 12; ++i) {
            frames.push_back(
                frameAt(qPrintable(QStringLiteral("a%1").arg(i, 2, 10, QLatin1Char('0'))), 12 * i));
            frames.back().bytes = i == 5 ? frame5Bytes : 1000;
        }
        return planSweep(frames);
    };
    // Each window's one candidate at `x` on every frame: one track through both windows.
    const auto sweep = [&](const SweepPlan& plan, double x) {
        SweepStore store(database, SweepStore::Access::Write);
        EXPECT_TRUE(store.addPlan(plan, {0, 1})) << store.error().toStdString();
        const std::set<QString> finished = store.finishedWindows();
        for (const SweepWindow& window : plan.windows) {
            if (finished.count(window.key))
                continue;
            WindowRecord record = windowRecord(plan, window);
            Candidate c;
            for (int i = window.first; i < window.first + window.count; ++i) {
                record.searched.push_back(plan.frames[size_t(i)].name);
                c.positions.emplace_back(x, 100);
            }
            record.found = {c};
            EXPECT_TRUE(store.storeWindow(record)) << store.error().toStdString();
        }
        return store.supersededWindows();
    };
    const auto placesOnFrame5 = [&] {
        QStringList places;
        for (const SweepStore::StoredTrack& track : SweepStore(database).tracks()) {
            for (const SweepStore::TrackPlace& place : track.places)
                places << QStringLiteral("%1 %2").arg(place.frame).arg(place.position.x());
        }
        return places.filter(QStringLiteral("a05"));
    };
    ASSERT_EQ(planOf(1000).windows.size(), 2u);
    EXPECT_EQ(sweep(planOf(1000), 10), 0);
    // Both windows held frame 5: replaced, their candidates stay in the database but no longer
    // pull the track's place on it.
    EXPECT_EQ(sweep(planOf(999), 50), 2);
    EXPECT_EQ(placesOnFrame5(), QStringList{QStringLiteral("a05 50")});
    EXPECT_EQ(rows(database, QStringLiteral("SELECT state, reason, COUNT(*) FROM windows GROUP BY state")),
              (QStringList{"done  2", "superseded a05 replaced 2"}));
    // The old file back: its windows are searched again and the other two set aside.
    EXPECT_EQ(sweep(planOf(1000), 20), 2);
    EXPECT_EQ(placesOnFrame5(), QStringList{QStringLiteral("a05 20")});
    EXPECT_EQ(rows(database, QStringLiteral("SELECT COUNT(*) FROM candidates")), QStringList{"4"});

    // A database of the layout before, whose windows could not be set aside, is brought up to
    // date when written, its windows kept.
    database = out.filePath(QStringLiteral("layout2.sqlite"));
    EXPECT_EQ(sweep(planOf(1000), 10), 0);
    for (const char* statement :
         {"CREATE TABLE w2 (key TEXT PRIMARY KEY, camera TEXT NOT NULL, size INTEGER NOT NULL, first_frame "
          "TEXT NOT NULL, last_frame TEXT NOT NULL, frames INTEGER NOT NULL, state TEXT NOT NULL CHECK "
          "(state "
          "IN ('planned', 'done', 'skipped')), reason TEXT, seconds REAL, candidates INTEGER)",
          "INSERT INTO w2 SELECT * FROM windows", "DROP TABLE windows", "ALTER TABLE w2 RENAME TO windows",
          "PRAGMA user_version = 2"})
        rows(database, QLatin1String(statement));
    EXPECT_EQ(sweep(planOf(999), 50), 2);
    EXPECT_EQ(rows(database, QStringLiteral("PRAGMA user_version")), QStringList{"3"});
    EXPECT_EQ(placesOnFrame5(), QStringList{QStringLiteral("a05 50")});
}

TEST(Sweep, ACometInOverlappingWindowsIsOneTrackAndAResumeSearchesNothingTwice)
{
    QTemporaryDir frames, out;
    SampleOptions options;
    options.size = 512;
    options.frames = 12;
    ASSERT_EQ(writeSampleSequence(frames.path(), options).size(), 12);
    const SweepPlan plan = planSweep(findSweepFrames({frames.path()}));
    ASSERT_EQ(plan.windows.size(), 2u); // frames 0-7 and 4-11
    const QString database = out.filePath(QStringLiteral("sweep.sqlite"));

    const SweepOutcome first = runSweep(plan, database);
    EXPECT_TRUE(first.error.isEmpty()) << first.error.toStdString();
    EXPECT_EQ(first.searched, 2);
    EXPECT_EQ(first.tracks, 1);
    {
        SweepStore store(database);
        const QStringList tracks = store.trackLines();
        ASSERT_EQ(tracks.size(), 1);
        EXPECT_EQ(tracks[0].section(QLatin1Char(','), 4, 4),
                  QStringLiteral("12")); // seen in all twelve frames
    }

    // As if the sweep had stopped before storing the second window: only that one runs again.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("undo"));
        db.setDatabaseName(database);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(
            QStringLiteral("DELETE FROM positions WHERE candidate IN (SELECT id FROM candidates WHERE "
                           "window = '%1')")
                .arg(plan.windows[1].key));
        QSqlQuery(db).exec(
            QStringLiteral("DELETE FROM candidates WHERE window = '%1'").arg(plan.windows[1].key));
        QSqlQuery(db).exec(
            QStringLiteral("UPDATE windows SET state = 'planned' WHERE key = '%1'").arg(plan.windows[1].key));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("undo"));
    const SweepOutcome resumed = runSweep(plan, database);
    EXPECT_EQ(resumed.searched, 1);
    EXPECT_EQ(resumed.skipped, 1);
    EXPECT_EQ(resumed.tracks, 1);
    const SweepOutcome again = runSweep(plan, database);
    EXPECT_EQ(again.searched, 0);
    EXPECT_EQ(again.skipped, 2);

    // A cluster's way: the plan as a file, each window a task into its own database finding its
    // line through the plan's index (or, where the index is not the plan's, by reading), then
    // merged: the same tracks as the one sweep.
    const QByteArray text = planText(plan).toUtf8();
    const QString planFile = out.filePath(QStringLiteral("plan.txt"));
    for (const QByteArray& index : {planIndex(text), planIndex(text + "x"), QByteArray()}) {
        for (const auto& [file, bytes] : {std::pair{planFile, text}, std::pair{planFile + ".index", index}}) {
            QFile written(file);
            ASSERT_TRUE(written.open(QIODevice::WriteOnly));
            written.write(bytes);
        }
        QStringList parts;
        for (int k = 0; k < 2; ++k) {
            QString why;
            const std::optional<SweepPlan> task = planWindowFromFile(planFile, k, &why);
            ASSERT_TRUE(task) << why.toStdString();
            ASSERT_EQ(task->windows.size(), 1u);
            EXPECT_EQ(task->windows[0].key, plan.windows[size_t(k)].key);
            parts << out.filePath(QStringLiteral("window-%1-%2.sqlite").arg(k).arg(index.size()));
            EXPECT_EQ(runSweep(*task, parts.last()).searched, 1);
        }
        QString why;
        EXPECT_FALSE(planWindowFromFile(planFile, 2, &why));
        const QString merged = out.filePath(QStringLiteral("merged-%1.sqlite").arg(index.size()));
        std::reverse(parts.begin(), parts.end()); // as a glob gives window-10 before window-2
        EXPECT_EQ(mergeSweeps(parts, merged).searched, 2);
        EXPECT_EQ(SweepStore(merged).trackLines(), SweepStore(database).trackLines());
    }
}

TEST(SweepStore, CsvFieldsAreQuotedAsRfc4180Asks)
{
    const std::pair<const char*, const char*> cases[] = {
        {"20200925_0000_c3_1024.jpg 1.0 2.0", "20200925_0000_c3_1024.jpg 1.0 2.0"},
        {"/frames,2020/track-1.gif", "\"/frames,2020/track-1.gif\""},
        {"a \"quoted\" name", "\"a \"\"quoted\"\" name\""},
        {"two\nlines", "\"two\nlines\""},
    };
    for (const auto& [field, quoted] : cases)
        EXPECT_EQ(csvField(QString::fromUtf8(field)), QString::fromUtf8(quoted)) << field;
}

TEST(SweepPlan, FitsFramesNamedByNumberAreTimedByTheirHeaders)
{
    // As the archives serve level-0.5 frames: numbers out of time order (the last frames under
    // lower numbers), one time under two numbers, one frame gzipped.
    QTemporaryDir dir;
    const QDateTime start(QDate(1997, 10, 19), QTime(18, 0), Qt::UTC);
    const struct
    {
        const char* name;
        int minutes;
    } files[] = {{"22023494.fts", 0},   {"22023495.fts", 20},  {"22023496.fts", 40},
                 {"22023497.fts", 60},  {"22023498.fts", 80},  {"22023499.fts", 80},
                 {"22022327.fts", 100}, {"22022328.fts", 120}, {"22022329.fts", 140}};
    for (const auto& f : files)
        ASSERT_TRUE(writeFits(
            dir.filePath(QLatin1String(f.name)), 64, 64,
            {{"DETECTOR", "'C2'"},
             {"DATE-OBS", "'" + start.addSecs(60 * f.minutes).toString(Qt::ISODate).chopped(1) + "'"}},
            [](int, int) { return 1000.0f; }));
    {
        QFile plain(dir.filePath(QStringLiteral("22023496.fts")));
        ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
        const QByteArray bytes = plain.readAll();
        gzFile packed = gzopen(qPrintable(plain.fileName() + QStringLiteral(".gz")), "wb");
        ASSERT_TRUE(packed);
        EXPECT_EQ(gzwrite(packed, bytes.constData(), unsigned(bytes.size())), int(bytes.size()));
        ASSERT_EQ(gzclose(packed), Z_OK);
        ASSERT_TRUE(plain.remove());
    }
    const SweepPlan plan = planSweep(findSweepFrames({dir.path()}));
    QStringList names;
    for (const SweepFrame& frame : plan.frames) {
        names << frame.name;
        EXPECT_EQ(frame.camera, Camera::C2);
        EXPECT_EQ(frame.size, 64);
    }
    EXPECT_EQ(names, (QStringList{"22023494.fts", "22023495.fts", "22023496.fts.gz", "22023497.fts",
                                  "22023498.fts", "22022327.fts", "22022328.fts", "22022329.fts"}));
    ASSERT_EQ(plan.windows.size(), 1u);
}

} // namespace
