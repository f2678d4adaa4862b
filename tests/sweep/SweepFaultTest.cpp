// The sweep under faults: damaged frames (each position still on its own frame), a store that
// fails (full disk, read-only, corrupt, another layout), two sweeps on one database, and a sweep
// killed in mid-window then resumed. Nothing stored is lost or misplaced, and every loss is named.
#include "SweepFixtures.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <numeric>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

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

TEST(SweepFaults, EveryStoreFailureStopsTheSweepWithSQLitesReasonAndKeepsWhatWasStored)
{
    QTemporaryDir frames;
    writeComet(frames.path(), 20); // four windows
    QFile::setPermissions(frames.path(),
                          QFile::permissions(frames.path()) | QFileDevice::ExeOther | QFileDevice::ReadOther);
    const SweepPlan plan = planSweep(findSweepFrames({frames.path()}));
    ASSERT_EQ(plan.windows.size(), 4u);
    const auto planned = [&](const QString& database) {
        SweepStore store(database, SweepStore::Access::Write);
        std::vector<int> all(plan.windows.size());
        std::iota(all.begin(), all.end(), 0);
        EXPECT_TRUE(store.addPlan(plan, all)) << store.error().toStdString();
    };
    const auto withSql = [](const QString& database, const char* statement) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make"));
        db.setDatabaseName(database);
        EXPECT_TRUE(db.open() && QSqlQuery(db).exec(QLatin1String(statement)));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("make"));
    };
    // The database in a folder of its own; a full disk's cases get a tiny file system there where
    // the machine lets the test mount one (root), and remove the filler after, to resume.
    struct Case
    {
        const char* what;
        std::function<QString(const QString& dir)> prepare; // the database; empty: not on this machine
        std::function<void()> inChild;
        QStringList messages; // what the sweep may say: one of them
        bool full = false;    // the disk filled: what was stored is checked, and the sweep resumed
    };
    const auto in = [](const QString& dir) { return QDir(dir).filePath(QStringLiteral("sweep.sqlite")); };
    const Case cases[] = {
        {"full disk",
         [&](const QString& dir) {
             const QString tiny = QDir(dir).filePath(QStringLiteral("tiny"));
             QDir(dir).mkdir(QStringLiteral("tiny"));
             if (getuid() != 0 ||
                 QProcess::execute(QStringLiteral("mount"),
                                   {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                    QStringLiteral("size=1m"), QStringLiteral("tmpfs"), tiny}) != 0)
                 return QString();
             planned(in(tiny));
             // Room for the log's index (32 KB) and a window or two in the log, no more.
             struct statvfs free = {};
             statvfs(QFile::encodeName(tiny).constData(), &free);
             QFile filler(QDir(tiny).filePath(QStringLiteral("filler")));
             EXPECT_TRUE(filler.open(QIODevice::WriteOnly));
             filler.write(QByteArray(qsizetype(free.f_bavail * free.f_frsize) - 80 * 1024, '\0'));
             return in(tiny);
         },
         {},
         {QStringLiteral("database or disk is full")},
         true},
        {"file size limit",
         [&](const QString& dir) {
             planned(in(dir));
             return in(dir);
         },
         [] {
             // Writes past 48 KB fail (EFBIG, which SQLite calls an I/O error): the write-ahead log
             // fills after a window or two.
             std::signal(SIGXFSZ, SIG_IGN);
             const rlimit limit{48 * 1024, 48 * 1024};
             setrlimit(RLIMIT_FSIZE, &limit);
         },
         {QStringLiteral("disk I/O error"), QStringLiteral("database or disk is full")},
         true},
        {"read-only",
         [&](const QString& dir) {
             planned(in(dir));
             QFile::setPermissions(in(dir), QFileDevice::ReadOwner | QFileDevice::ReadOther);
             QFile::setPermissions(dir, QFileDevice::Permissions(0x7777));
             return in(dir);
         },
         [] {
             // Root writes any file: the sweep runs as nobody then.
             if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                 _exit(99);
         },
         {QStringLiteral("readonly database")}},
        {"not a database",
         [&](const QString& dir) {
             QFile file(in(dir));
             EXPECT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(QByteArray(8192, 'x'));
             return in(dir);
         },
         {},
         {QStringLiteral("file is not a database")}},
        {"pages damaged",
         [&](const QString& dir) {
             planned(in(dir));
             QFile file(in(dir));
             EXPECT_TRUE(file.open(QIODevice::ReadWrite));
             file.seek(4096); // the first page, the schema, stays whole
             file.write(QByteArray(file.size() - 4096, '\xa5'));
             return in(dir);
         },
         {},
         {QStringLiteral("database disk image is malformed")}},
        {"a newer layout",
         [&](const QString& dir) {
             withSql(in(dir), "PRAGMA user_version = 99");
             return in(dir);
         },
         {},
         {QStringLiteral("made by a newer SkyRake (layout 99")}},
        {"the first layout",
         [&](const QString& dir) {
             withSql(in(dir), "CREATE TABLE windows (key TEXT PRIMARY KEY)");
             return in(dir);
         },
         {},
         {QStringLiteral("made by an older SkyRake")}},
    };
    for (const Case& c : cases) {
        QTemporaryDir out;
        const QString database = c.prepare(out.path());
        if (database.isEmpty())
            continue;
        const QStringList sweep = {QStringLiteral("--sweep"), frames.path(), QStringLiteral("--db"),
                                   database};
        const Finished run = sweepProcess(sweep, c.inChild);
        EXPECT_EQ(run.code, 1) << c.what << ": " << run.errors.toStdString();
        EXPECT_TRUE(std::any_of(c.messages.begin(), c.messages.end(),
                                [&](const QString& message) { return run.errors.contains(message); }))
            << c.what << ": " << run.errors.toStdString();
        EXPECT_FALSE(run.errors.contains(QLatin1String("tracks in"))) << c.what;
        if (c.full) {
            // What it said it stored is there, every window whole; the sweep resumed goes on.
            const QString stored = QRegularExpression(QStringLiteral("(\\d+) windows stored before that"))
                                       .match(run.errors)
                                       .captured(1);
            const QStringList whole =
                rows(database,
                     QStringLiteral("SELECT w.key FROM windows w WHERE w.state = 'done' AND w.candidates = "
                                    "(SELECT COUNT(*) FROM candidates c WHERE c.window = w.key)"));
            EXPECT_EQ(QString::number(whole.size()), stored) << c.what << ": " << run.errors.toStdString();
            EXPECT_EQ(rows(database, QStringLiteral("SELECT COUNT(*) FROM windows WHERE state != 'planned'")),
                      QStringList{stored});
            QFile::remove(QFileInfo(database).dir().filePath(QStringLiteral("filler")));
            const Finished resumed = sweepProcess(sweep);
            EXPECT_EQ(resumed.code, 0) << c.what << ": " << resumed.errors.toStdString();
            EXPECT_TRUE(
                resumed.errors.contains(QStringLiteral("%1 found done already, 1 tracks").arg(stored)))
                << c.what << ": " << resumed.errors.toStdString();
        }
        if (database.contains(QLatin1String("/tiny/")))
            QProcess::execute(QStringLiteral("umount"), {QFileInfo(database).path()});
    }
}

} // namespace
