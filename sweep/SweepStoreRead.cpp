// Reading a sweep's database: its tracks for the CSV, and its windows for a merge.
#include "sweep/SweepStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

std::vector<SweepStore::StoredTrack> SweepStore::tracks()
{
    std::vector<StoredTrack> tracks;
    QSqlQuery best(m_db);
    // Each track's best candidate, best tracks first.
    if (!best.exec(QStringLiteral(
            "SELECT c.track, c.score, c.speed, c.position_angle FROM candidates c WHERE c.id = "
            "(SELECT d.id FROM candidates d JOIN windows w ON w.key = d.window WHERE d.track = c.track "
            "AND w.state = 'done' ORDER BY d.score DESC, d.id LIMIT 1) ORDER BY c.score DESC, c.track")))
        return fail(best), tracks;
    // Where overlapping windows both place it, the mean of their places.
    QSqlQuery places(m_db);
    places.prepare(QStringLiteral(
        "SELECT p.frame, f.path, AVG(p.x), AVG(p.y) FROM positions p JOIN candidates c ON c.id = p.candidate "
        "JOIN windows w ON w.key = c.window JOIN frames f ON f.name = p.frame WHERE c.track = ? AND "
        "w.state = 'done' GROUP BY p.frame ORDER BY f.time, p.frame"));
    while (best.next()) {
        StoredTrack track{best.value(0).toInt(),
                          best.value(1).toDouble(),
                          best.value(2).toDouble(),
                          best.value(3).toDouble(),
                          {}};
        places.addBindValue(track.track);
        if (!places.exec())
            return fail(places), std::vector<StoredTrack>{};
        while (places.next())
            track.places.push_back({places.value(0).toString(), places.value(1).toString(),
                                    QPointF(places.value(2).toDouble(), places.value(3).toDouble())});
        tracks.push_back(std::move(track));
    }
    return tracks;
}

QString csvField(const QString& field)
{
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) &&
        !field.contains(QLatin1Char('\n')) && !field.contains(QLatin1Char('\r')))
        return field;
    QString quoted = field;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QStringList SweepStore::trackLines()
{
    QStringList lines;
    for (const StoredTrack& track : tracks()) {
        QStringList places;
        for (const TrackPlace& place : track.places) // 1-based, as --scan prints them
            places << QStringLiteral("%1 %2 %3")
                          .arg(place.frame)
                          .arg(place.position.x() + 0.5, 0, 'f', 1)
                          .arg(place.position.y() + 0.5, 0, 'f', 1);
        const QString first = track.places.empty() ? QString() : track.places.front().frame;
        const QString last = track.places.empty() ? QString() : track.places.back().frame;
        lines << QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8")
                     .arg(track.track)
                     .arg(track.score, 0, 'f', 1)
                     .arg(track.speed, 0, 'f', 1)
                     .arg(track.positionAngle, 0, 'f', 0)
                     .arg(track.places.size())
                     .arg(csvField(first), csvField(last), csvField(places.join(QLatin1Char(';'))));
    }
    return lines;
}

bool SweepStore::copyFramesTo(SweepStore& into)
{
    QSqlQuery frames(m_db);
    if (!frames.exec(QStringLiteral("SELECT name, path, time, camera, size, bytes, damage FROM frames")))
        return fail(frames);
    into.m_db.transaction();
    const int supersededBefore = into.m_superseded;
    QSqlQuery insert(into.m_db);
    insert.prepare(
        QStringLiteral("INSERT INTO frames VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (name) DO UPDATE SET "
                       "path = excluded.path, "
                       "bytes = excluded.bytes, damage = CASE WHEN frames.bytes = excluded.bytes THEN "
                       "COALESCE(excluded.damage, frames.damage) ELSE excluded.damage END"));
    while (frames.next()) {
        for (int i = 0; i < 7; ++i)
            insert.addBindValue(frames.value(i));
        if (!into.supersedeWindowsOf(frames.value(0).toString(), frames.value(5).toLongLong()) ||
            !insert.exec()) {
            into.fail(insert);
            into.m_db.rollback();
            into.m_superseded = supersededBefore;
            return false;
        }
    }
    if (!into.m_db.commit()) {
        into.m_superseded = supersededBefore;
        return into.failCommit();
    }
    if (into.m_superseded != supersededBefore)
        into.loadPositions();
    return true;
}

QStringList SweepStore::firstStoredWindow()
{
    QSqlQuery first(m_db);
    if (!first.exec(
            QStringLiteral("SELECT w.camera, w.size, f.time, w.first_frame FROM windows w JOIN frames f ON "
                           "f.name = w.first_frame WHERE w.state IN ('done', 'skipped') ORDER BY w.rowid "
                           "LIMIT 1")))
        return fail(first), QStringList();
    if (!first.next())
        return {};
    // The size with leading zeros, so that the fields compare as the plan orders sizes.
    return {first.value(0).toString(),
            QStringLiteral("%1").arg(first.value(1).toInt(), 6, 10, QLatin1Char('0')),
            first.value(2).toString(), first.value(3).toString()};
}

bool SweepStore::forEachStoredWindow(const std::function<bool(WindowRecord&&)>& take)
{
    QSqlQuery window(m_db), candidate(m_db), position(m_db);
    // In the order they were planned, so that a merge joins tracks as the one sweep did.
    if (!window.exec(
            QStringLiteral("SELECT key, camera, size, first_frame, last_frame, frames, state, reason, "
                           "seconds FROM windows WHERE state IN ('done', 'skipped') ORDER BY rowid")))
        return fail(window);
    candidate.prepare(QStringLiteral("SELECT id, score, speed, position_angle, frames_detected, false_alarms "
                                     "FROM candidates WHERE window = ? ORDER BY rank"));
    position.prepare(
        QStringLiteral("SELECT p.frame, p.x, p.y FROM positions p JOIN frames f ON f.name = p.frame "
                       "WHERE p.candidate = ? ORDER BY f.time, f.name"));
    while (window.next()) {
        WindowRecord record;
        record.key = window.value(0).toString();
        record.camera = window.value(1).toString();
        record.size = window.value(2).toInt();
        record.firstFrame = window.value(3).toString();
        record.lastFrame = window.value(4).toString();
        record.frames = window.value(5).toInt();
        if (window.value(6).toString() == QLatin1String("skipped"))
            record.skipped = window.value(7).toString();
        record.seconds = window.value(8).toDouble();
        candidate.addBindValue(record.key);
        if (!candidate.exec())
            return fail(candidate);
        while (candidate.next()) {
            Candidate c;
            c.score = candidate.value(1).toDouble();
            c.speed = candidate.value(2).toDouble();
            c.positionAngle = candidate.value(3).toDouble();
            c.framesDetected = candidate.value(4).toInt();
            c.falseAlarms = candidate.value(5).toDouble();
            position.addBindValue(candidate.value(0));
            if (!position.exec())
                return fail(position);
            std::vector<QString> frames;
            while (position.next()) {
                frames.push_back(position.value(0).toString());
                c.positions.emplace_back(position.value(1).toDouble(), position.value(2).toDouble());
            }
            // Every candidate of a window lies on the same frames, those searched.
            record.searched = std::move(frames);
            record.found.push_back(std::move(c));
        }
        if (!take(std::move(record)))
            return false;
    }
    return true;
}
