// skyrake --sweep, one writer a database: two sweeps started at once store each window once, and
// a sweep killed in mid-window leaves no lock and no half window behind. (Processes of their own:
// the sweep's ThreadSanitizer tests fork nothing.)
#include "SweepFixtures.h"

#include <QTemporaryDir>

#include <csignal>

namespace {

QStringList sweepArguments(const QString& frames, const QString& database)
{
    return {QStringLiteral("--sweep"), frames, QStringLiteral("--db"), database};
}

TEST(SweepCommandFaults, TwoSweepsAtOnceStoreEachWindowOnce)
{
    QTemporaryDir frames, out;
    writeComet(frames.path(), 12);
    const QString database = out.filePath(QStringLiteral("sweep.sqlite"));
    // Whichever comes second is refused, or finds every window stored.
    QProcess first, second;
    for (QProcess* sweep : {&first, &second})
        sweep->start(QStringLiteral(SKYRAKE_BINARY), sweepArguments(frames.path(), database));
    for (QProcess* sweep : {&first, &second}) {
        ASSERT_TRUE(sweep->waitForFinished(120000));
        const QString errors = QString::fromUtf8(sweep->readAllStandardError());
        EXPECT_TRUE(sweep->exitCode() == 0 ||
                    (sweep->exitCode() == 1 && errors.contains(QLatin1String("another sweep is writing"))))
            << errors.toStdString();
    }
    EXPECT_TRUE(first.exitCode() == 0 || second.exitCode() == 0);
    EXPECT_EQ(rows(database, QStringLiteral("SELECT state, COUNT(*) FROM windows GROUP BY state")),
              QStringList{QStringLiteral("done 2")});
    // The one track, its candidates once per window.
    EXPECT_EQ(
        rows(database, QStringLiteral("SELECT window, COUNT(*) FROM candidates GROUP BY window")).size(), 2);
    EXPECT_EQ(rows(database, QStringLiteral("SELECT COUNT(*) FROM candidates")),
              QStringList{QStringLiteral("2")});
}

TEST(SweepCommandFaults, ASweepKilledInMidWindowResumesWhereItStoppedWithTheSameTracks)
{
    QTemporaryDir frames, out;
    writeComet(frames.path(), 20); // four windows
    const QString database = out.filePath(QStringLiteral("sweep.sqlite"));
    QProcess sweep;
    sweep.setReadChannel(QProcess::StandardError);
    sweep.start(QStringLiteral(SKYRAKE_BINARY), sweepArguments(frames.path(), database));
    // Killed as soon as the first window is stored: the next are under way.
    QByteArray said;
    while (!said.contains("windows 1/4") && sweep.waitForReadyRead(60000))
        said += sweep.readAllStandardError();
    ASSERT_TRUE(said.contains("windows 1/4")) << said.toStdString();
    ::kill(pid_t(sweep.processId()), SIGKILL);
    ASSERT_TRUE(sweep.waitForFinished(10000));
    const QStringList stored =
        rows(database, QStringLiteral("SELECT COUNT(*) FROM windows WHERE state = 'done'"));
    ASSERT_EQ(stored.size(), 1);
    EXPECT_LT(stored.front().toInt(), 4) << "killed after the sweep's end: nothing tested";

    const Finished resumed = sweepProcess(sweepArguments(frames.path(), database));
    EXPECT_EQ(resumed.code, 0) << resumed.errors.toStdString();
    EXPECT_TRUE(resumed.errors.contains(QStringLiteral("%1 windows searched, %2 found done already")
                                            .arg(4 - stored.front().toInt())
                                            .arg(stored.front())))
        << resumed.errors.toStdString();
    const QString whole = out.filePath(QStringLiteral("whole.sqlite"));
    ASSERT_TRUE(runSweep(planSweep(findSweepFrames({frames.path()})), whole).error.isEmpty());
    EXPECT_EQ(SweepStore(database).trackLines(), SweepStore(whole).trackLines());
    EXPECT_EQ(SweepStore(database).trackLines().size(), 1);
}

} // namespace
