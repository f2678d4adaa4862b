#include "sweep/SweepStore.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <cmath>

namespace {

// The layout below, in PRAGMA user_version. Databases without it (0) are of the first layout,
// whose windows were known by their first frame and length only: their "done" cannot be trusted
// for frames that may have changed since, so they are refused rather than migrated. Layout 2
// lacked the state 'superseded' alone, and is brought to 3 when opened to write.
constexpr int schemaVersion = 3;

const char* const schema[] = {
    "CREATE TABLE frames (name TEXT PRIMARY KEY, path TEXT NOT NULL, time TEXT NOT NULL, "
    "camera TEXT NOT NULL, size INTEGER NOT NULL, bytes INTEGER NOT NULL, damage TEXT)",
    "CREATE TABLE windows (key TEXT PRIMARY KEY, camera TEXT NOT NULL, size INTEGER NOT NULL, "
    "first_frame TEXT NOT NULL, last_frame TEXT NOT NULL, frames INTEGER NOT NULL, "
    "state TEXT NOT NULL CHECK (state IN ('planned', 'done', 'skipped', 'superseded')), reason TEXT, "
    "seconds REAL, candidates INTEGER)",
    "CREATE TABLE candidates (id INTEGER PRIMARY KEY, window TEXT NOT NULL REFERENCES windows (key), "
    "rank INTEGER NOT NULL, track INTEGER NOT NULL, score REAL, speed REAL, position_angle REAL, "
    "frames_detected INTEGER, false_alarms REAL, UNIQUE (window, rank))",
    "CREATE TABLE positions (candidate INTEGER NOT NULL REFERENCES candidates (id), "
    "frame TEXT NOT NULL REFERENCES frames (name), x REAL NOT NULL, y REAL NOT NULL, "
    "PRIMARY KEY (candidate, frame))",
    "CREATE INDEX windows_state ON windows (state)",
    "CREATE INDEX candidates_track ON candidates (track)",
    "CREATE INDEX positions_frame ON positions (frame)",
    "PRAGMA user_version = 3",
};

// Layout 2 to 3: the windows' table made again (as the layout's, under another name first) with
// the wider check on its state.
const char* const fromLayout2[] = {
    "INSERT INTO windows_3 SELECT * FROM windows",
    "DROP TABLE windows",
    "ALTER TABLE windows_3 RENAME TO windows",
    "CREATE INDEX windows_state ON windows (state)",
    "PRAGMA user_version = 3",
};

QString sqlText(const QSqlError& error)
{
    // SQLite's own words ("database or disk is full", "attempt to write a readonly database",
    // "file is not a database", "database is locked") where it gave any.
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

} // namespace

WindowRecord windowRecord(const SweepPlan& plan, const SweepWindow& window)
{
    const SweepFrame& first = plan.frames[size_t(window.first)];
    WindowRecord record;
    record.key = window.key;
    record.camera = cameraName(first.camera);
    record.size = first.size;
    record.firstFrame = first.name;
    record.lastFrame = plan.frames[size_t(window.first + window.count - 1)].name;
    record.frames = window.count;
    return record;
}

SweepStore::SweepStore(const QString& path, Access access)
    : m_connection(QStringLiteral("sweep-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (!open(path, access))
        return;
    loadPositions();
}

void SweepStore::loadPositions()
{
    m_positions.clear();
    QSqlQuery stored(m_db);
    // Track numbers are never given twice, those of windows set aside included.
    if (!stored.exec(QStringLiteral("SELECT COALESCE(MAX(track), 0) FROM candidates")) || !stored.next())
        return void(fail(stored));
    m_lastTrack = stored.value(0).toInt();
    if (!stored.exec(QStringLiteral("SELECT c.track, p.frame, p.x, p.y FROM positions p JOIN candidates c "
                                    "ON c.id = p.candidate JOIN windows w ON w.key = c.window "
                                    "WHERE w.state = 'done'")))
        return void(fail(stored));
    while (stored.next())
        m_positions[stored.value(1).toString()].push_back(
            {stored.value(0).toInt(), QPointF(stored.value(2).toDouble(), stored.value(3).toDouble())});
}

SweepStore::~SweepStore()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

bool SweepStore::open(const QString& path, Access access)
{
    if (access == Access::Read && !QFileInfo(path).isFile()) {
        m_error = QStringLiteral("no such database");
        return false;
    }
    if (access != Access::Read) {
        m_lock = std::make_unique<SweepLock>(path);
        if (!m_lock->error().isEmpty()) {
            m_error = m_lock->error();
            return false;
        }
    }
    m_db.setDatabaseName(path);
    // Another program reading the database (sqlite3, a merge) holds it for moments only; one
    // that holds it longer makes a store fail with "database is locked".
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!m_db.open()) {
        m_error = sqlText(m_db.lastError());
        return false;
    }
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return fail(query);
    const int version = query.value(0).toInt();
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")) || !query.next())
        return fail(query);
    const bool empty = query.value(0).toInt() == 0;
    query.finish(); // a statement left open is a read transaction, in which the journal can't change
    if (version > schemaVersion) {
        m_error = QStringLiteral("made by a newer SkyRake (layout %1; this one knows %2 and older): "
                                 "open it with that version, or sweep into another --db")
                      .arg(version)
                      .arg(schemaVersion);
        return false;
    }
    if (version < 2 && !empty) {
        m_error = QStringLiteral("made by an older SkyRake, whose windows were known by their first "
                                 "frame alone (layout %1, now %2): a window stored done there may hold "
                                 "frames that changed since; sweep into a new --db")
                      .arg(version)
                      .arg(schemaVersion);
        return false;
    }
    if (empty && access == Access::Read) {
        m_error = QStringLiteral("not a sweep's database: it is empty");
        return false;
    }
    if (access == Access::Read)
        return exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    if (!exec(QStringLiteral("PRAGMA journal_mode = WAL")))
        return false;
    if (access == Access::Merge && !exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return false;
    if (empty || version < schemaVersion) {
        QStringList statements;
        if (empty) {
            for (const char* statement : schema)
                statements << QLatin1String(statement);
        } else {
            statements << QString::fromLatin1(schema[1]).replace(QLatin1String("TABLE windows "),
                                                                 QLatin1String("TABLE windows_3 "));
            for (const char* statement : fromLayout2)
                statements << QLatin1String(statement);
        }
        m_db.transaction();
        for (const QString& statement : statements) {
            if (!exec(statement)) {
                m_db.rollback();
                return false;
            }
        }
        if (!m_db.commit())
            return failCommit();
    }
    // Only now: dropping the old windows' table must not take its candidates with it.
    return exec(QStringLiteral("PRAGMA foreign_keys = ON"));
}

bool SweepStore::exec(const QString& statement)
{
    QSqlQuery query(m_db);
    return query.exec(statement) || fail(query);
}

bool SweepStore::fail(const QSqlQuery& query)
{
    if (m_error.isEmpty())
        m_error = sqlText(query.lastError());
    return false;
}

bool SweepStore::addPlan(const SweepPlan& plan, const std::vector<int>& windows)
{
    if (!m_error.isEmpty())
        return false;
    m_db.transaction();
    QSqlQuery frame(m_db);
    // A frame replaced under its name keeps its rows; its length is the new file's, and a damage
    // found in the old file no longer holds.
    frame.prepare(QStringLiteral(
        "INSERT INTO frames VALUES (?, ?, ?, ?, ?, ?, NULL) ON CONFLICT (name) DO UPDATE SET "
        "path = excluded.path, bytes = excluded.bytes, damage = CASE WHEN frames.bytes = excluded.bytes "
        "THEN frames.damage END"));
    QSqlQuery window(m_db);
    window.prepare(QStringLiteral(
        "INSERT OR IGNORE INTO windows VALUES (?, ?, ?, ?, ?, ?, 'planned', NULL, NULL, NULL)"));
    const int supersededBefore = m_superseded;
    QSqlQuery aside(m_db);
    if (!aside.exec(QStringLiteral("SELECT EXISTS (SELECT 1 FROM windows WHERE state = 'superseded')")) ||
        !aside.next()) {
        m_db.rollback();
        return fail(aside);
    }
    const bool setAside = aside.value(0).toBool();
    aside.finish();
    std::vector<bool> added(plan.frames.size());
    for (const int w : windows) {
        const SweepWindow& planned = plan.windows[size_t(w)];
        for (int i = planned.first; i < planned.first + planned.count; ++i) {
            if (added[size_t(i)])
                continue;
            added[size_t(i)] = true;
            const SweepFrame& f = plan.frames[size_t(i)];
            if (!supersedeWindowsOf(f.name, f.bytes)) {
                m_db.rollback();
                return false;
            }
            for (const QVariant& value :
                 {QVariant(f.name), QVariant(f.path), QVariant(f.time.toString(Qt::ISODate)),
                  QVariant(cameraName(f.camera)), QVariant(f.size), QVariant(f.bytes)})
                frame.addBindValue(value);
            if (!frame.exec()) {
                m_db.rollback();
                return fail(frame);
            }
        }
        const WindowRecord record = windowRecord(plan, planned);
        for (const QVariant& value :
             {QVariant(record.key), QVariant(record.camera), QVariant(record.size),
              QVariant(record.firstFrame), QVariant(record.lastFrame), QVariant(record.frames)})
            window.addBindValue(value);
        if (!window.exec()) {
            m_db.rollback();
            return fail(window);
        }
        if ((setAside || m_superseded != supersededBefore) && !replanSuperseded(record.key)) {
            m_db.rollback();
            return false;
        }
    }
    if (!m_db.commit()) {
        m_superseded = supersededBefore;
        return failCommit();
    }
    if (m_superseded != supersededBefore)
        loadPositions();
    return true;
}

bool SweepStore::supersedeWindowsOf(const QString& frame, qint64 bytes)
{
    QSqlQuery stored(m_db);
    stored.prepare(QStringLiteral("SELECT bytes, camera, size, time FROM frames WHERE name = ?"));
    stored.addBindValue(frame);
    if (!stored.exec())
        return fail(stored);
    if (!stored.next() || stored.value(0).toLongLong() == bytes)
        return true;
    // Every window that held the frame as it was: the same camera and size, and the frame's time
    // within its first and last.
    QSqlQuery aside(m_db);
    aside.prepare(QStringLiteral(
        "UPDATE windows SET state = 'superseded', reason = ? WHERE state <> 'superseded' AND camera = ? "
        "AND size = ? AND (SELECT time FROM frames WHERE name = windows.first_frame) <= ? "
        "AND (SELECT time FROM frames WHERE name = windows.last_frame) >= ?"));
    for (const QVariant& value : {QVariant(QStringLiteral("%1 replaced").arg(frame)), stored.value(1),
                                  stored.value(2), stored.value(3), stored.value(3)})
        aside.addBindValue(value);
    if (!aside.exec())
        return fail(aside);
    m_superseded += aside.numRowsAffected();
    return true;
}

bool SweepStore::replanSuperseded(const QString& key)
{
    // A window set aside comes back when its frames do (a replaced file put back): what it found
    // then goes, and it is searched again.
    for (const char* statement :
         {"DELETE FROM positions WHERE candidate IN (SELECT c.id FROM candidates c JOIN windows w ON "
          "w.key = c.window WHERE w.key = ? AND w.state = 'superseded')",
          "DELETE FROM candidates WHERE window IN (SELECT key FROM windows WHERE key = ? AND state = "
          "'superseded')",
          "UPDATE windows SET state = 'planned', reason = NULL, seconds = NULL, candidates = NULL "
          "WHERE key = ? AND state = 'superseded'"}) {
        QSqlQuery query(m_db);
        query.prepare(QLatin1String(statement));
        query.addBindValue(key);
        if (!query.exec())
            return fail(query);
    }
    return true;
}

std::set<QString> SweepStore::finishedWindows()
{
    std::set<QString> finished;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT key FROM windows WHERE state <> 'planned'")))
        fail(query);
    while (query.next())
        finished.insert(query.value(0).toString());
    return finished;
}

bool SweepStore::failCommit()
{
    if (m_error.isEmpty())
        m_error = sqlText(m_db.lastError());
    m_db.rollback();
    return false;
}

SweepStore::Losses SweepStore::losses()
{
    Losses losses;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT (SELECT COUNT(*) FROM frames WHERE damage IS NOT NULL), "
                                   "(SELECT COUNT(*) FROM windows WHERE state = 'skipped')")) ||
        !query.next())
        return fail(query), losses;
    losses.damagedFrames = query.value(0).toInt();
    losses.skippedWindows = query.value(1).toInt();
    return losses;
}

int SweepStore::trackCount()
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT COUNT(DISTINCT c.track) FROM candidates c JOIN windows w ON "
                                   "w.key = c.window WHERE w.state = 'done'")) ||
        !query.next())
        return fail(query), 0;
    return query.value(0).toInt();
}

bool SweepStore::storeWindow(const WindowRecord& record)
{
    if (!m_error.isEmpty())
        return false;
    if (!m_db.transaction()) {
        m_error = sqlText(m_db.lastError());
        return false;
    }
    const auto abandon = [this](const QSqlQuery& query) {
        fail(query);
        m_db.rollback();
        return false;
    };
    // The window's row first: a window stored already (by an earlier run, or a database merged
    // twice) is no longer planned, and then nothing of it is stored again.
    QSqlQuery window(m_db);
    window.prepare(QStringLiteral(
        "INSERT INTO windows VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (key) DO UPDATE SET "
        "state = excluded.state, reason = excluded.reason, seconds = excluded.seconds, "
        "candidates = excluded.candidates WHERE windows.state = 'planned'"));
    for (const QVariant& value :
         {QVariant(record.key), QVariant(record.camera), QVariant(record.size), QVariant(record.firstFrame),
          QVariant(record.lastFrame), QVariant(record.frames),
          QVariant(record.skipped.isEmpty() ? QStringLiteral("done") : QStringLiteral("skipped")),
          record.skipped.isEmpty() ? QVariant() : QVariant(record.skipped), QVariant(record.seconds),
          QVariant(int(record.found.size()))})
        window.addBindValue(value);
    if (!window.exec())
        return abandon(window);
    if (window.numRowsAffected() != 1) {
        m_db.rollback();
        m_error = QStringLiteral("window %1 is stored already").arg(record.key);
        return false;
    }
    QSqlQuery damaged(m_db);
    damaged.prepare(QStringLiteral("UPDATE frames SET damage = ? WHERE name = ?"));
    for (const auto& [frame, why] : record.damaged) {
        damaged.addBindValue(why);
        damaged.addBindValue(frame);
        if (!damaged.exec())
            return abandon(damaged);
    }
    QSqlQuery candidate(m_db), position(m_db);
    candidate.prepare(
        QStringLiteral("INSERT INTO candidates (window, rank, track, score, speed, position_angle, "
                       "frames_detected, false_alarms) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    position.prepare(QStringLiteral("INSERT INTO positions VALUES (?, ?, ?, ?)"));
    std::vector<std::pair<QString, std::pair<int, QPointF>>> added;
    int lastTrack = m_lastTrack;
    for (size_t rank = 0; rank < record.found.size(); ++rank) {
        const Candidate& c = record.found[rank];
        if (c.positions.size() != record.searched.size()) {
            m_db.rollback();
            m_error = QStringLiteral("window %1: a candidate with %2 positions over %3 frames searched")
                          .arg(record.key)
                          .arg(c.positions.size())
                          .arg(record.searched.size());
            return false;
        }
        // The track it shares frames with: the closest on average over the shared frames.
        std::map<int, std::pair<double, int>> shared; // track -> (distances, frames)
        for (size_t i = 0; i < c.positions.size(); ++i) {
            const auto it = m_positions.find(record.searched[i]);
            if (it == m_positions.end())
                continue;
            for (const auto& [track, at] : it->second) {
                auto& [sum, n] = shared[track];
                sum += std::hypot(at.x() - c.positions[i].x(), at.y() - c.positions[i].y());
                ++n;
            }
        }
        int track = 0;
        double best = sameObjectPixels;
        for (const auto& [t, s] : shared) {
            if (s.second >= 2 && s.first / s.second <= best) {
                best = s.first / s.second;
                track = t;
            }
        }
        if (track == 0)
            track = ++lastTrack;
        for (const QVariant& value : {QVariant(record.key), QVariant(int(rank)), QVariant(track),
                                      QVariant(c.score), QVariant(c.speed), QVariant(c.positionAngle),
                                      QVariant(c.framesDetected), QVariant(c.falseAlarms)})
            candidate.addBindValue(value);
        if (!candidate.exec())
            return abandon(candidate);
        const QVariant id = candidate.lastInsertId();
        for (size_t i = 0; i < c.positions.size(); ++i) {
            for (const QVariant& value : {id, QVariant(record.searched[i]), QVariant(c.positions[i].x()),
                                          QVariant(c.positions[i].y())})
                position.addBindValue(value);
            if (!position.exec())
                return abandon(position);
            added.push_back({record.searched[i], {track, c.positions[i]}});
        }
    }
    if (!m_db.commit())
        return failCommit();
    // Only what is stored joins later windows' candidates.
    m_lastTrack = lastTrack;
    for (const auto& [frame, place] : added)
        m_positions[frame].push_back(place);
    return true;
}
