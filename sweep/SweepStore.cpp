#include "sweep/SweepStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <cmath>

namespace {

// Candidates of two windows are one mover when their places in the frames both windows hold lie
// this close on average.
constexpr double sameTrackPixels = 3;

QString cameraKey(Camera camera)
{
    return cameraName(camera);
}

} // namespace

SweepStore::SweepStore(const QString& path)
    : m_connection(QStringLiteral("sweep-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(path);
    if (!m_db.open()) {
        m_error = m_db.lastError().text();
        return;
    }
    for (const char* statement : {
             "PRAGMA journal_mode=WAL",
             "CREATE TABLE IF NOT EXISTS frames (name TEXT PRIMARY KEY, path TEXT, time TEXT, camera TEXT, "
             "size INTEGER)",
             "CREATE TABLE IF NOT EXISTS windows (key TEXT PRIMARY KEY, first_frame TEXT, frames INTEGER, "
             "state TEXT, seconds REAL, candidates INTEGER)",
             "CREATE TABLE IF NOT EXISTS candidates (id INTEGER PRIMARY KEY, window TEXT, track INTEGER, "
             "score REAL, "
             "speed REAL, position_angle REAL, frames_detected INTEGER, false_alarms REAL)",
             "CREATE TABLE IF NOT EXISTS positions (candidate INTEGER, frame TEXT, x REAL, y REAL)",
         }) {
        if (!exec(QLatin1String(statement)))
            return;
    }
    QSqlQuery stored(m_db);
    stored.exec(
        QStringLiteral("SELECT c.track, p.frame, p.x, p.y FROM positions p JOIN candidates c ON c.id = "
                       "p.candidate"));
    while (stored.next()) {
        const int track = stored.value(0).toInt();
        m_positions[stored.value(1).toString()].push_back(
            {track, QPointF(stored.value(2).toDouble(), stored.value(3).toDouble())});
        m_lastTrack = std::max(m_lastTrack, track);
    }
}

SweepStore::~SweepStore()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

bool SweepStore::exec(const QString& statement)
{
    QSqlQuery query(m_db);
    if (query.exec(statement))
        return true;
    m_error = query.lastError().text();
    return false;
}

bool SweepStore::addPlan(const SweepPlan& plan)
{
    m_db.transaction();
    QSqlQuery frame(m_db);
    frame.prepare(QStringLiteral("INSERT OR IGNORE INTO frames VALUES (?, ?, ?, ?, ?)"));
    for (const SweepFrame& f : plan.frames) {
        frame.addBindValue(f.name);
        frame.addBindValue(f.path);
        frame.addBindValue(f.time.toString(Qt::ISODate));
        frame.addBindValue(cameraKey(f.camera));
        frame.addBindValue(f.size);
        if (!frame.exec()) {
            m_error = frame.lastError().text();
            m_db.rollback();
            return false;
        }
    }
    QSqlQuery window(m_db);
    window.prepare(QStringLiteral("INSERT OR IGNORE INTO windows VALUES (?, ?, ?, 'planned', NULL, NULL)"));
    for (const SweepWindow& w : plan.windows) {
        window.addBindValue(w.key);
        window.addBindValue(plan.frames[size_t(w.first)].name);
        window.addBindValue(w.count);
        if (!window.exec()) {
            m_error = window.lastError().text();
            m_db.rollback();
            return false;
        }
    }
    return m_db.commit();
}

std::set<QString> SweepStore::doneWindows() const
{
    std::set<QString> done;
    QSqlQuery query(m_db);
    query.exec(QStringLiteral("SELECT key FROM windows WHERE state = 'done'"));
    while (query.next())
        done.insert(query.value(0).toString());
    return done;
}

bool SweepStore::storeWindow(const SweepPlan& plan, const SweepWindow& window,
                             const std::vector<Candidate>& found, double seconds)
{
    m_db.transaction();
    QSqlQuery candidate(m_db), position(m_db);
    candidate.prepare(QStringLiteral("INSERT INTO candidates (window, track, score, speed, position_angle, "
                                     "frames_detected, false_alarms) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    position.prepare(QStringLiteral("INSERT INTO positions VALUES (?, ?, ?, ?)"));
    std::vector<std::pair<QString, std::pair<int, QPointF>>> added;
    for (const Candidate& c : found) {
        // The track it shares frames with: the closest on average over the shared frames.
        std::map<int, std::pair<double, int>> shared; // track -> (distances, frames)
        for (int i = 0; i < window.count && i < int(c.positions.size()); ++i) {
            const auto it = m_positions.find(plan.frames[size_t(window.first + i)].name);
            if (it == m_positions.end())
                continue;
            for (const auto& [track, at] : it->second) {
                auto& [sum, n] = shared[track];
                sum += std::hypot(at.x() - c.positions[size_t(i)].x(), at.y() - c.positions[size_t(i)].y());
                ++n;
            }
        }
        int track = 0;
        double best = sameTrackPixels;
        for (const auto& [t, s] : shared) {
            if (s.second >= 2 && s.first / s.second <= best) {
                best = s.first / s.second;
                track = t;
            }
        }
        if (track == 0)
            track = ++m_lastTrack;
        for (const QVariant& value :
             {QVariant(window.key), QVariant(track), QVariant(c.score), QVariant(c.speed),
              QVariant(c.positionAngle), QVariant(c.framesDetected), QVariant(c.falseAlarms)})
            candidate.addBindValue(value);
        if (!candidate.exec()) {
            m_error = candidate.lastError().text();
            m_db.rollback();
            return false;
        }
        const QVariant id = candidate.lastInsertId();
        for (int i = 0; i < window.count && i < int(c.positions.size()); ++i) {
            const QString frame = plan.frames[size_t(window.first + i)].name;
            for (const QVariant& value : {id, QVariant(frame), QVariant(c.positions[size_t(i)].x()),
                                          QVariant(c.positions[size_t(i)].y())})
                position.addBindValue(value);
            if (!position.exec()) {
                m_error = position.lastError().text();
                m_db.rollback();
                return false;
            }
            added.push_back({frame, {track, c.positions[size_t(i)]}});
        }
    }
    QSqlQuery done(m_db);
    done.prepare(
        QStringLiteral("UPDATE windows SET state = 'done', seconds = ?, candidates = ? WHERE key = ?"));
    done.addBindValue(seconds);
    done.addBindValue(int(found.size()));
    done.addBindValue(window.key);
    if (!done.exec() || !m_db.commit()) {
        m_error = done.lastError().text();
        m_db.rollback();
        return false;
    }
    for (const auto& [frame, place] : added)
        m_positions[frame].push_back(place);
    return true;
}

std::vector<SweepFrame> SweepStore::storedFrames() const
{
    std::vector<SweepFrame> frames;
    QSqlQuery query(m_db);
    query.exec(QStringLiteral("SELECT path, name, time, camera, size FROM frames"));
    while (query.next()) {
        const FrameInfo info = frameInfoFromName(query.value(1).toString());
        frames.push_back({query.value(0).toString(), query.value(1).toString(),
                          QDateTime::fromString(query.value(2).toString(), Qt::ISODate), info.camera,
                          query.value(4).toInt()});
    }
    return frames;
}

std::vector<SweepStore::StoredWindow> SweepStore::storedWindows() const
{
    std::vector<StoredWindow> windows;
    QSqlQuery window(m_db);
    window.exec(QStringLiteral("SELECT key, seconds FROM windows WHERE state = 'done'"));
    while (window.next()) {
        StoredWindow stored{window.value(0).toString(), window.value(1).toDouble(), {}};
        QSqlQuery candidate(m_db);
        candidate.prepare(
            QStringLiteral("SELECT id, score, speed, position_angle, frames_detected, false_alarms "
                           "FROM candidates WHERE window = ? ORDER BY id"));
        candidate.addBindValue(stored.key);
        candidate.exec();
        while (candidate.next()) {
            Candidate c;
            c.score = candidate.value(1).toDouble();
            c.speed = candidate.value(2).toDouble();
            c.positionAngle = candidate.value(3).toDouble();
            c.framesDetected = candidate.value(4).toInt();
            c.falseAlarms = candidate.value(5).toDouble();
            QSqlQuery position(m_db);
            position.prepare(
                QStringLiteral("SELECT p.x, p.y FROM positions p JOIN frames f ON f.name = p.frame "
                               "WHERE p.candidate = ? ORDER BY f.time, f.name"));
            position.addBindValue(candidate.value(0));
            position.exec();
            while (position.next())
                c.positions.emplace_back(position.value(0).toDouble(), position.value(1).toDouble());
            stored.found.push_back(std::move(c));
        }
        windows.push_back(std::move(stored));
    }
    return windows;
}

int SweepStore::trackCount() const
{
    QSqlQuery query(m_db);
    query.exec(QStringLiteral("SELECT COUNT(DISTINCT track) FROM candidates"));
    return query.next() ? query.value(0).toInt() : 0;
}

std::vector<SweepStore::StoredTrack> SweepStore::tracks() const
{
    std::vector<StoredTrack> tracks;
    QSqlQuery best(m_db);
    // Each track's best candidate, best tracks first.
    best.exec(
        QStringLiteral("SELECT c.track, c.score, c.speed, c.position_angle FROM candidates c WHERE c.id = "
                       "(SELECT id FROM candidates d WHERE d.track = c.track ORDER BY d.score DESC LIMIT 1) "
                       "ORDER BY c.score DESC"));
    while (best.next()) {
        StoredTrack track{best.value(0).toInt(),
                          best.value(1).toDouble(),
                          best.value(2).toDouble(),
                          best.value(3).toDouble(),
                          {}};
        // Where overlapping windows both place it, the mean of their places.
        QSqlQuery places(m_db);
        places.prepare(
            QStringLiteral("SELECT p.frame, f.path, AVG(p.x), AVG(p.y) FROM positions p JOIN candidates c "
                           "ON c.id = p.candidate JOIN frames f ON f.name = p.frame WHERE c.track = ? "
                           "GROUP BY p.frame ORDER BY f.time, p.frame"));
        places.addBindValue(track.track);
        places.exec();
        while (places.next())
            track.places.push_back({places.value(0).toString(), places.value(1).toString(),
                                    QPointF(places.value(2).toDouble(), places.value(3).toDouble())});
        tracks.push_back(std::move(track));
    }
    return tracks;
}

QStringList SweepStore::trackLines() const
{
    QStringList lines;
    for (const StoredTrack& track : tracks()) {
        QStringList places;
        for (const TrackPlace& place : track.places) // 1-based, as --scan prints them
            places << QStringLiteral("%1 %2 %3")
                          .arg(place.frame)
                          .arg(place.position.x() + 0.5, 0, 'f', 1)
                          .arg(place.position.y() + 0.5, 0, 'f', 1);
        lines << QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8")
                     .arg(track.track)
                     .arg(track.score, 0, 'f', 1)
                     .arg(track.speed, 0, 'f', 1)
                     .arg(track.positionAngle, 0, 'f', 0)
                     .arg(track.places.size())
                     .arg(track.places.empty() ? QString() : track.places.front().frame,
                          track.places.empty() ? QString() : track.places.back().frame,
                          places.join(QLatin1Char(';')));
    }
    return lines;
}
