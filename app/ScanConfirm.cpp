#include "app/ScanConfirm.h"

#include "analysis/Track.h"
#include "analysis/search/SearchNear.h"
#include "analysis/sky/SecondCamera.h"
#include "model/OpenFrames.h"
#include "model/SkyrakeWork.h"

#include <QDir>

#include <cstdio>

namespace {

// Pixels about the expected place, at 1024 a side: what the plane through the sun leaves of the
// parallax, the track's own error carried over the hours between the cameras' frames, and the
// two cameras' pointing as their headers or discs give it.
constexpr double boxAt1024 = 24;

void note(const QString& text)
{
    std::fprintf(stderr, "skyrake: %s\n", text.toLocal8Bit().constData());
}

struct FrameSky
{
    std::vector<QDateTime> times;
    std::vector<FrameGeometry> geometries;
    std::vector<Observer> observers;
    std::vector<SearchFrame> frames;
};

FrameSky frameSky(const SkyrakeWork& work)
{
    FrameSky sky;
    for (POSITION pos = work.pictures().GetHeadPosition(); pos; pos = PictureList::next(pos)) {
        const CPictureItem& item = *PictureList::GetAt(pos);
        sky.times.push_back(item.m_facts.time);
        sky.geometries.push_back(geometryOf(item));
        sky.observers.push_back(observerOf(item));
        sky.frames.push_back({item.m_pPicture.get(), item.m_facts.time, item.m_facts.camera});
    }
    return sky;
}

} // namespace

int confirmInOtherCamera(const SkyrakeWork& scanned, std::span<const Candidate> found, const QString& folder,
                         QTextStream& out)
{
    constexpr int dpi = 96;
    SkyrakeWork other;
    QStringList paths;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name))
        paths << QDir(folder).filePath(name);
    for (const QString& left : appendArranged(other, paths, dpi, dpi))
        note(left);
    const FrameSky here = frameSky(scanned), there = frameSky(other);
    if (there.frames.size() < 4) {
        note(QStringLiteral("%1: %2 frames, 4 needed to look for the candidates there")
                 .arg(folder)
                 .arg(there.frames.size()));
        return 0;
    }
    const Camera camera = there.frames.front().camera;
    const QString cameraText = camera == Camera::Unknown ? folder : cameraName(camera);
    const QStringList names = other.frameNames();
    const int side = there.frames.front().picture->pixelWidth();
    const double box = boxAt1024 * side / 1024.0;
    int seen = 0;
    for (size_t n = 0; n < found.size(); ++n) {
        SeenTrack track;
        for (size_t f = 0; f < found[n].positions.size() && f < here.frames.size(); ++f) {
            if (!here.geometries[f].known() || !here.times[f].isValid())
                continue;
            track.times.push_back(here.times[f]);
            track.sky.push_back(skyPoint(here.geometries[f], found[n].positions[f]));
            track.observers.push_back(here.observers[f]);
        }
        const std::vector<QPointF> expected =
            expectedOnFrames(track, there.times, there.geometries, there.observers);
        if (expected.empty()) {
            note(QStringLiteral(
                     "candidate %1: not looked for in %2: a frame's time or place in the sky is unknown")
                     .arg(n + 1)
                     .arg(cameraText));
            continue;
        }
        const std::optional<Candidate> match = searchNear(there.frames, expected, box);
        if (!match) {
            note(QStringLiteral("candidate %1: not seen by %2 within %3 px of where it would be")
                     .arg(n + 1)
                     .arg(cameraText)
                     .arg(box, 0, 'f', 0));
            continue;
        }
        ++seen;
        double squares = 0;
        for (size_t f = 0; f < expected.size(); ++f) {
            const QPointF d = match->positions[f] - expected[f];
            squares += QPointF::dotProduct(d, d);
            const QPointF at = oneBased(match->positions[f]);
            out << n + 1 << '\t' << names[qsizetype(f)] << '\t' << QString::number(at.x(), 'f', 1) << '\t'
                << QString::number(at.y(), 'f', 1) << '\t' << QString::number(match->score, 'f', 1) << '\n';
        }
        note(QStringLiteral("candidate %1: seen by %2 too, score %3, %4 px from where it would be")
                 .arg(n + 1)
                 .arg(cameraText)
                 .arg(match->score, 0, 'f', 1)
                 .arg(std::sqrt(squares / double(expected.size())), 0, 'f', 1));
    }
    return seen;
}
