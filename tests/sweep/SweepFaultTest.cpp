// The sweep under faults, in one process: damaged frames (each position still on its own frame),
// frames the Earth eclipses, and one writer a database (the lock, then the keys). The faults that need a
// process of their own (a full disk, two sweeps at once, a sweep killed) are tested with the command, in
// tests/app.
#include "SweepFixtures.h"
#include "WriteFits.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

namespace {

TEST(SweepFaults, DamagedFramesAreLeftOutByNameAndEveryPositionStaysOnItsOwnFrame)
{
    struct Case
    {
        std::vector<int> damaged; // frames cut off, of 12
        QStringList states;       // each window's state, in the plan's order
    };
    const Case cases[] = {
        {{5}, {"done", "done"}},             // in both windows, mid-window
        {{0, 1, 2, 3}, {"skipped", "done"}}, // the first window keeps 4 good frames: too few
    };
    for (const Case& c : cases) {
        QTemporaryDir frames, out;
        const std::map<QString, QPointF> truth = writeComet(frames.path(), 12);
        std::vector<QString> names;
        for (const auto& [name, at] : truth)
            names.push_back(name);
        for (const int i : c.damaged)
            cutOff(frames.filePath(names[size_t(i)]));
        const QString database = out.filePath(QStringLiteral("sweep.sqlite"));
        const SweepOutcome outcome = runSweep(planSweep(findSweepFrames({frames.path()})), database);
        ASSERT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
        EXPECT_EQ(rows(database, QStringLiteral("SELECT state FROM windows ORDER BY rowid")), c.states);
        QStringList damaged;
        for (const int i : c.damaged)
            damaged << names[size_t(i)] + QStringLiteral(" cut off");
        EXPECT_EQ(rows(database, QStringLiteral("SELECT name, damage FROM frames WHERE damage IS NOT NULL")),
                  damaged);
        // Every good frame of a searched window holds the comet where it truly is, and no
        // damaged frame holds a position at all.
        const QStringList positions =
            rows(database, QStringLiteral("SELECT p.frame, p.x, p.y FROM positions p JOIN candidates c ON "
                                          "c.id = p.candidate WHERE c.rank = 0"));
        std::map<QString, int> perFrame;
        for (const QString& row : positions) {
            const QStringList f = row.split(QLatin1Char(' '));
            const QPointF at(f[1].toDouble(), f[2].toDouble()), expected = truth.at(f[0]);
            EXPECT_LT(std::hypot(at.x() - expected.x(), at.y() - expected.y()), 1.5) << row.toStdString();
            ++perFrame[f[0]];
        }
        const int firstSearched = c.states.front() == QLatin1String("done") ? 0 : 4;
        for (int i = 0; i < 12; ++i) {
            const bool bad = std::count(c.damaged.begin(), c.damaged.end(), i) > 0;
            EXPECT_EQ(perFrame.count(names[size_t(i)]), bad || i < firstSearched ? 0u : 1u) << i;
        }
    }
}

TEST(SweepFaults, ASecondWriterIsRefusedAndAWindowIsNeverStoredTwice)
{
    QTemporaryDir frames, out;
    writeComet(frames.path(), 12);
    const QString database = out.filePath(QStringLiteral("sweep.sqlite"));
    const SweepPlan plan = planSweep(findSweepFrames({frames.path()}));
    {
        const SweepLock held(database); // as a sweep under way holds it
        ASSERT_TRUE(held.error().isEmpty()) << held.error().toStdString();
        const SweepOutcome refused = runSweep(plan, database);
        EXPECT_TRUE(
            refused.error.startsWith(QLatin1String("another sweep is writing this database (process ")))
            << refused.error.toStdString();
        EXPECT_EQ(refused.searched, 0);
    }
    ASSERT_TRUE(runSweep(plan, database).error.isEmpty());
    // Past the lock, the keys: a window stored again (a database merged twice) stores nothing.
    SweepStore store(database, SweepStore::Access::Write);
    WindowRecord again = windowRecord(plan, plan.windows[0]);
    again.found.resize(1);
    EXPECT_FALSE(store.storeWindow(again));
    EXPECT_EQ(store.error(), QStringLiteral("window %1 is stored already").arg(plan.windows[0].key));
    EXPECT_EQ(rows(database, QStringLiteral("SELECT COUNT(*) FROM candidates")),
              QStringList{QStringLiteral("2")});
}

TEST(SweepFaults, FramesTheEarthEclipsesAreLeftOutByName)
{
    QTemporaryDir frames, out;
    ASSERT_EQ(
        writeEquinoxFrames(frames.path(), {"0230", "0240", "0250", "0300", "0310", "0320", "0420", "0430"})
            .size(),
        8);
    const QString database = out.filePath(QStringLiteral("sweep.sqlite"));
    const SweepPlan plan = planSweep(findSweepFrames({frames.path()}));
    ASSERT_EQ(plan.windows.size(), 1u);
    const SweepOutcome outcome = runSweep(plan, database);
    ASSERT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
    EXPECT_EQ(rows(database, QStringLiteral("SELECT name, damage FROM frames WHERE damage IS NOT NULL")),
              (QStringList{"20250923_0420_ccor1_256by256.fts eclipsed by the Earth",
                           "20250923_0430_ccor1_256by256.fts eclipsed by the Earth"}));
    EXPECT_EQ(rows(database, QStringLiteral("SELECT state FROM windows")), QStringList{"done"});
}

} // namespace
