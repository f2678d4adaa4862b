// skyrake --sweep when its results cannot be stored: a full disk (a tiny file system where the
// test may mount one, and a file size limit), a read-only, a corrupt, a locked or a foreign-layout
// database.
// The sweep stops with SQLite's own reason and a non-zero exit, and what it says it stored is there,
// whole. (Processes of their own: the sweep's ThreadSanitizer tests fork nothing.)
#include "SweepFixtures.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <numeric>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

TEST(SweepCommandFaults, EveryStoreFailureStopsTheSweepWithSQLitesReasonAndKeepsWhatWasStored)
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
             if (::mount("tmpfs", QFile::encodeName(tiny).constData(), "tmpfs", 0, "size=1m") != 0)
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
        {"locked by another program",
         [&](const QString& dir) {
             planned(in(dir));
             // Another program's write transaction, held while the sweep runs: the sweep waits its
             // while for it, then stops.
             QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
             db.setDatabaseName(in(dir));
             EXPECT_TRUE(db.open() && QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE")));
             return in(dir);
         },
         {},
         {QStringLiteral("database is locked")}},
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
        if (QSqlDatabase::contains(QStringLiteral("holder"))) {
            QSqlDatabase::database(QStringLiteral("holder")).close();
            QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        }
        if (database.contains(QLatin1String("/tiny/")))
            ::umount(QFile::encodeName(QFileInfo(database).path()).constData());
    }
}

} // namespace
