#include "app/Session.h"

#include "model/OpenFrames.h"
#include "platform/Desktop.h"
#include "viewer/SkyrakeView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

const QString formatName = QStringLiteral("skyrake-session");
constexpr int formatVersion = 1;

QJsonArray point(QPointF p)
{
    return {p.x(), p.y()};
}

QPointF pointFrom(const QJsonValue& value)
{
    const QJsonArray xy = value.toArray();
    return {xy.at(0).toDouble(), xy.at(1).toDouble()};
}

// The session's path of a frame, or a file of its name beside the session file; empty for neither.
QString findFrame(const QString& path, const QString& sessionPath)
{
    if (QFileInfo(path).isFile())
        return path;
    const QString beside = QFileInfo(sessionPath).dir().filePath(QFileInfo(path).fileName());
    return QFileInfo(beside).isFile() ? beside : QString();
}

// The dismissed candidates: each with its frames' names and its place in each. Version 1 files
// from before dismissals have none; a program that does not know them opens the file all the same.
QJsonArray dismissalsOf(const DismissedCandidates& dismissed)
{
    QJsonArray out;
    for (const DismissedCandidates::Dismissal& d : dismissed.dismissals()) {
        QJsonArray positions;
        for (const QPointF& p : d.positions)
            positions.append(point(p));
        out.append(QJsonObject{{QStringLiteral("frames"), QJsonArray::fromStringList(d.frames)},
                               {QStringLiteral("positions"), positions}});
    }
    return out;
}

DismissedCandidates dismissalsFrom(const QJsonValue& value)
{
    std::vector<DismissedCandidates::Dismissal> dismissals;
    for (const QJsonValue& entry : value.toArray()) {
        DismissedCandidates::Dismissal d;
        for (const QJsonValue& frame : entry.toObject().value(QStringLiteral("frames")).toArray())
            d.frames << frame.toString();
        for (const QJsonValue& p : entry.toObject().value(QStringLiteral("positions")).toArray())
            d.positions.push_back(pointFrom(p));
        // One place per frame, or it matches nothing.
        if (!d.frames.isEmpty() && qsizetype(d.positions.size()) == d.frames.size())
            dismissals.push_back(std::move(d));
    }
    return DismissedCandidates(std::move(dismissals));
}

QJsonObject sessionObject(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    const QJsonObject session = document.object();
    if (error.error != QJsonParseError::NoError ||
        session.value(QStringLiteral("format")).toString() != formatName ||
        session.value(QStringLiteral("version")).toInt() != formatVersion)
        return {};
    return session;
}

} // namespace

QByteArray sessionOf(const SkyrakeWork& work, const SessionView& shown)
{
    QJsonArray frames;
    int index = 0;
    for (POSITION pos = work.pictures().GetHeadPosition(); pos; pos = PictureList::next(pos), ++index) {
        QJsonObject frame{
            {QStringLiteral("path"), QFileInfo(PictureList::GetAt(pos)->m_pathName).absoluteFilePath()}};
        if (const std::optional<Measurement> m = work.measurementAt(index)) {
            frame[QStringLiteral("measurement")] =
                QJsonObject{{QStringLiteral("clicked"), point(m->clicked)},
                            {QStringLiteral("position"), point(m->position)},
                            {QStringLiteral("refined"), m->refined}};
        }
        frames.append(frame);
    }
    const Placement& placement = shown.placement;
    const Channels channels = shown.channels;
    const StretchSettings& stretch = work.stretchSettings();
    const QJsonObject session{
        {QStringLiteral("format"), formatName},
        {QStringLiteral("version"), formatVersion},
        {QStringLiteral("frames"), frames},
        {QStringLiteral("current"), work.currentIndex()},
        {QStringLiteral("placement"), QJsonObject{{QStringLiteral("offsetX"), placement.offsetX()},
                                                  {QStringLiteral("offsetY"), placement.offsetY()},
                                                  {QStringLiteral("zoom"), placement.zoom()}}},
        {QStringLiteral("channels"), QJsonObject{{QStringLiteral("red"), channels.red},
                                                 {QStringLiteral("green"), channels.green},
                                                 {QStringLiteral("blue"), channels.blue}}},
        {QStringLiteral("grid"), shown.grid},
        {QStringLiteral("marks"), shown.marks},
        {QStringLiteral("stretch"), QJsonObject{{QStringLiteral("curve"), int(stretch.curve)},
                                                {QStringLiteral("limits"), int(stretch.limits)},
                                                {QStringLiteral("invert"), stretch.invert}}},
        {QStringLiteral("report"), work.report()},
        {QStringLiteral("dismissed"), dismissalsOf(work.dismissedCandidates())},
    };
    return QJsonDocument(session).toJson();
}

QByteArray sessionOf(const CSkyrakeView& view)
{
    return sessionOf(view, {view.placement(), view.channels(), view.gridShown(), view.marksShown()});
}

bool isSession(const QByteArray& bytes)
{
    return !sessionObject(bytes).isEmpty();
}

bool isSessionFile(const QString& path)
{
    QFile file(path);
    // A session starts with its JSON object; pictures start with their signatures.
    if (!QFileInfo(path).isFile() || file.size() > 16 * 1024 * 1024 || !file.open(QIODevice::ReadOnly) ||
        file.peek(1) != "{")
        return false;
    return isSession(file.readAll());
}

std::optional<RestoredSession> restoreSession(SkyrakeWork& work, const QByteArray& bytes,
                                              const QString& sessionPath, int dpiX, int dpiY)
{
    const QJsonObject session = sessionObject(bytes);
    if (session.isEmpty())
        return std::nullopt;
    RestoredSession restored;

    // The frames, decoded ahead as an import decodes them; a frame that is gone keeps its place
    // in the message, not in the sequence.
    const QJsonArray frames = session.value(QStringLiteral("frames")).toArray();
    QStringList paths;
    std::vector<int> found; // index in the session of each frame found
    for (int i = 0; i < frames.size(); ++i) {
        const QString saved = frames.at(i).toObject().value(QStringLiteral("path")).toString();
        const QString path = findFrame(saved, sessionPath);
        if (path.isEmpty() && !saved.isEmpty()) {
            restored.missing << saved;
            continue;
        }
        paths << path;
        found.push_back(i);
    }
    work.clearPictures();
    const std::vector<int> appended = appendFrames(work, paths, dpiX, dpiY);
    std::vector<int> loaded; // session index of each frame in the sequence
    for (const int i : appended)
        loaded.push_back(found[size_t(i)]);
    for (int i = 0; i < int(paths.size()); ++i) {
        if (std::find(appended.begin(), appended.end(), i) == appended.end())
            restored.missing << paths[i];
    }

    const QJsonObject stretch = session.value(QStringLiteral("stretch")).toObject();
    StretchSettings settings = work.stretchSettings();
    settings.curve = StretchCurve(
        std::clamp(stretch.value(QStringLiteral("curve")).toInt(), 0, int(StretchCurve::HistEq)));
    settings.limits = StretchLimits(
        std::clamp(stretch.value(QStringLiteral("limits")).toInt(), 0, int(StretchLimits::ZScale)));
    settings.invert = stretch.value(QStringLiteral("invert")).toBool();
    work.setStretchSettings(settings);

    for (int at = 0; at < int(loaded.size()); ++at) {
        const QJsonObject m =
            frames.at(loaded[size_t(at)]).toObject().value(QStringLiteral("measurement")).toObject();
        if (!m.isEmpty())
            work.setMeasurement(at, pointFrom(m.value(QStringLiteral("clicked"))),
                                pointFrom(m.value(QStringLiteral("position"))),
                                m.value(QStringLiteral("refined")).toBool());
    }
    work.setReport(session.value(QStringLiteral("report")).toString(work.report()));
    work.setDismissedCandidates(dismissalsFrom(session.value(QStringLiteral("dismissed"))));
    // The current frame as saved, when it is still there.
    const int current = session.value(QStringLiteral("current")).toInt(0);
    const auto at = std::find(loaded.begin(), loaded.end(), current);
    work.setCurrentPosition(work.positionAt(at == loaded.end() ? 0 : int(at - loaded.begin())));

    const QJsonObject placed = session.value(QStringLiteral("placement")).toObject();
    restored.shown.placement.moveTo(placed.value(QStringLiteral("offsetX")).toInt(),
                                    placed.value(QStringLiteral("offsetY")).toInt());
    const double zoom = placed.value(QStringLiteral("zoom")).toDouble(1.0);
    restored.shown.placement.setZoom(zoom > 0 && std::isfinite(zoom) ? zoom : 1.0);
    const QJsonObject channels = session.value(QStringLiteral("channels")).toObject();
    restored.shown.channels = {channels.value(QStringLiteral("red")).toBool(true),
                               channels.value(QStringLiteral("green")).toBool(true),
                               channels.value(QStringLiteral("blue")).toBool(true)};
    restored.shown.grid = session.value(QStringLiteral("grid")).toBool(true);
    restored.shown.marks = session.value(QStringLiteral("marks")).toBool(true);
    return restored;
}

bool restoreSession(CSkyrakeView& view, const QByteArray& bytes, const QString& sessionPath)
{
    const std::optional<RestoredSession> restored =
        restoreSession(view, bytes, sessionPath, view.dpiX(), view.dpiY());
    if (!restored)
        return false;
    view.setGridShown(restored->shown.grid);
    view.setMarksShown(restored->shown.marks);
    view.setChannels(restored->shown.channels);
    view.setPlacement(restored->shown.placement);
    view.showPicture(std::max(view.currentIndex(), 0));
    view.InvalidateRect();
    if (!restored->missing.isEmpty())
        Desktop::instance().messageBox(QCoreApplication::translate("Session", "找不到这些图片：%1")
                                           .arg(restored->missing.join(QCoreApplication::translate(
                                               "Session", "，", "between two picture names"))));
    return true;
}
