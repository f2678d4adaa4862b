#include "model/SkyrakeWork.h"

#include "analysis/search/BackgroundView.h"

#include "analysis/Centroid.h"
#include "analysis/sky/EarthEclipse.h"

#include <algorithm>
#include <cmath>

SkyrakeWork::SkyrakeWork()
{
    m_pictures.setRemovalObserver([this](POSITION removed) { onPictureRemoved(removed); });
    m_pictures.setChangeObserver([this] { onSequenceChanged(); });
}

SkyrakeWork::~SkyrakeWork()
{
    // The pictures go last: nothing is left to be told of their removal.
    m_pictures.setRemovalObserver({});
    m_pictures.setChangeObserver({});
}

// ---- The sequence -----------------------------------------------------------------------------

void SkyrakeWork::appendPicture(std::unique_ptr<CPictureItem> item)
{
    m_pictures.AddTail(std::move(item));
}

void SkyrakeWork::removePicture(int index)
{
    if (const POSITION pos = positionAt(index))
        m_pictures.RemoveAt(pos);
}

void SkyrakeWork::clearPictures()
{
    m_pictures.RemoveAll();
    setCurrentPosition(nullptr);
}

POSITION SkyrakeWork::positionAt(int index) const
{
    POSITION pos = index < 0 ? nullptr : m_pictures.GetHeadPosition();
    for (int i = 0; pos && i < index; ++i)
        pos = PictureList::next(pos);
    return pos;
}

CPictureItem* SkyrakeWork::current() const
{
    return hasCurrentPicture() ? PictureList::GetAt(m_curPos) : nullptr;
}

int SkyrakeWork::currentIndex() const
{
    int index = 0;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos), ++index)
        if (pos == m_curPos)
            return index;
    return -1;
}

QString SkyrakeWork::currentName() const
{
    const CPictureItem* item = current();
    return item ? item->m_name : QString();
}

void SkyrakeWork::setCurrentPosition(POSITION pos)
{
    m_curPos = pos;
    Q_EMIT m_changes.currentChanged();
}

QStringList SkyrakeWork::frameNames() const
{
    QStringList names;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos))
        names << PictureList::GetAt(pos)->m_name;
    return names;
}

std::vector<CutoutFrame> SkyrakeWork::shownFrames() const
{
    std::vector<CutoutFrame> frames;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos))
        frames.push_back({&PictureList::GetAt(pos)->shown(), PictureList::GetAt(pos)->m_name});
    return frames;
}

void SkyrakeWork::onPictureRemoved(POSITION removed)
{
    // A dialog may delete the current picture while playback and painting go on behind it:
    // the current position moves to the head of what remains, or to nothing.
    if (removed == m_curPos) {
        m_curPos = m_pictures.GetHeadPosition();
        Q_EMIT m_changes.currentChanged();
    }
    std::erase(m_stretched, PictureList::GetAt(removed)->m_pPicture.get());
    if (PictureList::GetAt(removed)->m_mark)
        Q_EMIT m_changes.marksChanged();
}

void SkyrakeWork::onSequenceChanged()
{
    ++m_generation;
    // A candidate's positions are one per frame of the sequence it was found in.
    if (!m_candidates.empty()) {
        m_candidates.clear();
        Q_EMIT m_changes.candidatesChanged();
    }
    stretchPictures(false);
    Q_EMIT m_changes.sequenceChanged();
}

// ---- Measurements -----------------------------------------------------------------------------

Measurement measurementOf(const CPictureItem& item)
{
    const Picture& picture = *item.m_pPicture;
    return {item.m_name,          item.m_facts,          QSize(picture.pixelWidth(), picture.pixelHeight()),
            item.m_mark->clicked, item.m_mark->position, item.m_mark->refined};
}

std::vector<Measurement> SkyrakeWork::measurements() const
{
    std::vector<Measurement> list;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos))
        if (PictureList::GetAt(pos)->m_mark)
            list.push_back(measurementOf(*PictureList::GetAt(pos)));
    return list;
}

std::optional<Measurement> SkyrakeWork::measurementAt(int index) const
{
    const POSITION pos = positionAt(index);
    if (!pos || !PictureList::GetAt(pos)->m_mark)
        return std::nullopt;
    return measurementOf(*PictureList::GetAt(pos));
}

void SkyrakeWork::setMeasurement(int index, const QPointF& clicked, const QPointF& position, bool refined)
{
    if (const POSITION pos = positionAt(index)) {
        PictureList::GetAt(pos)->m_mark = FrameMark{clicked, position, refined};
        Q_EMIT m_changes.marksChanged();
    }
}

void SkyrakeWork::measure(CPictureItem& item, QPointF clicked)
{
    const Centroid centre = refineCentroid(Brightness(*item.m_pPicture), clicked);
    item.m_mark = FrameMark{clicked, centre.position, centre.refined};
    Q_EMIT m_changes.marksChanged();
}

void SkyrakeWork::measureTrack(const std::vector<QPointF>& positions)
{
    size_t index = 0;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos && index < positions.size();
         pos = PictureList::next(pos), ++index) {
        CPictureItem& item = *PictureList::GetAt(pos);
        const QPointF onTrack = positions[index];
        const Centroid centre = centroidOnTrack(Brightness(*item.m_pPicture), onTrack);
        item.m_mark = FrameMark{onTrack, centre.position, centre.refined};
    }
    Q_EMIT m_changes.marksChanged();
}

// ---- The search's candidates ------------------------------------------------------------------

SearchSnapshot SkyrakeWork::searchSnapshot() const
{
    SearchSnapshot snapshot;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos)) {
        const CPictureItem* item = PictureList::GetAt(pos);
        snapshot.times.push_back(item->m_facts.time);
        if (eclipsedByEarth(*item)) {
            snapshot.leftOut << QStringLiteral("%1: eclipsed by the Earth").arg(item->m_name);
            continue;
        }
        snapshot.searched.push_back(snapshot.times.size() - 1);
        snapshot.pictures.push_back(item->m_pPicture);
        snapshot.frames.push_back({item->m_pPicture.get(), item->m_facts.time, item->m_facts.camera});
    }
    if (m_showCommonCandidates)
        snapshot.options.maxFalseAlarms = INFINITY;
    snapshot.generation = m_generation;
    return snapshot;
}

bool SkyrakeWork::takeFound(quint64 generation, std::vector<Candidate> found)
{
    if (generation != m_generation)
        return false;
    setFound(std::move(found));
    return true;
}

void SkyrakeWork::setFound(std::vector<Candidate> found)
{
    m_candidates = m_dismissed.shown(frameNames(), std::move(found));
    Q_EMIT m_changes.candidatesChanged();
}

void SkyrakeWork::dismissCandidate(int index)
{
    if (index < 0 || index >= int(m_candidates.size()))
        return;
    m_dismissed.dismiss(frameNames(), m_candidates[size_t(index)]);
    m_candidates.erase(m_candidates.begin() + index);
    Q_EMIT m_changes.candidatesChanged();
}

void SkyrakeWork::setDismissedCandidates(DismissedCandidates dismissed)
{
    m_dismissed = std::move(dismissed);
    Q_EMIT m_changes.candidatesChanged();
}

void SkyrakeWork::setCommonCandidatesShown(bool shown)
{
    m_showCommonCandidates = shown;
    Q_EMIT m_changes.candidatesChanged();
}

// ---- The display stretch ----------------------------------------------------------------------

void SkyrakeWork::stretchPictures(bool all)
{
    if (all)
        m_stretched.clear();
    std::vector<const Picture*> frames;
    bool unmeasured = false;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos)) {
        const Picture* picture = PictureList::GetAt(pos)->m_pPicture.get();
        frames.push_back(picture);
        unmeasured = unmeasured || !m_stretch.measuredFor(*picture);
    }
    if (m_backgroundRemoved) {
        // The background is the whole sequence's: every frame is shown anew.
        const std::vector<std::shared_ptr<const Picture>> shown = ::backgroundRemoved(frames);
        if (!shown.empty()) {
            size_t f = 0;
            for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos))
                PictureList::GetAt(pos)->m_shown = shown[f++];
            m_stretched.clear();
            return;
        }
        m_stretched.clear(); // too few frames: shown through the stretch until there are more
    }
    if (unmeasured)
        m_stretch.measure(frames);
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos)) {
        CPictureItem& item = *PictureList::GetAt(pos);
        const Picture* picture = item.m_pPicture.get();
        if (std::find(m_stretched.begin(), m_stretched.end(), picture) != m_stretched.end())
            continue;
        item.m_shown = m_stretch.shownOf(*picture);
        m_stretched.push_back(picture);
    }
}

void SkyrakeWork::setBackgroundRemoved(bool removed)
{
    m_backgroundRemoved = removed;
    stretchPictures(true);
    Q_EMIT m_changes.stretchChanged();
}

void SkyrakeWork::setStretchSettings(const StretchSettings& settings)
{
    m_stretch.setSettings(settings);
    stretchPictures(true);
    Q_EMIT m_changes.stretchChanged();
}

// ---- The position report ----------------------------------------------------------------------

void SkyrakeWork::setReport(const QString& report)
{
    m_report = report;
    Q_EMIT m_changes.reportChanged();
}

QStringList SkyrakeWork::setKnownComets(const QString& text)
{
    QStringList rejected;
    m_knownCometsText = text;
    m_knownComets = cometsFromText(text, &rejected);
    return rejected;
}

const FrameGeometry& geometryOf(const CPictureItem& item)
{
    if (!item.m_geometry)
        item.m_geometry =
            frameGeometry(item.m_pPicture->decoded(), item.m_pPicture->keywords(), item.m_facts);
    return *item.m_geometry;
}

Observer observerOf(const CPictureItem& item)
{
    return observerAt(item.m_facts.camera, item.m_facts.time, item.m_pPicture->keywords());
}

bool eclipsedByEarth(const CPictureItem& item)
{
    return eclipsedByEarth([&item] { return geometryOf(item); }, item.m_pPicture->decoded().size(),
                           item.m_facts, item.m_pPicture->keywords());
}

std::vector<BodyInFrame> bodiesOn(const CPictureItem& item, const std::vector<CometElements>& comets)
{
    return bodiesInFrame(geometryOf(item), item.m_pPicture->decoded().size(), item.m_facts.time,
                         observerOf(item), comets);
}
