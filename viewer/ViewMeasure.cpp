// Measuring: each confirmed position also records the centre of the object under it, one per
// frame; the positions are drawn on every frame, and the Sungrazer report checks the track.
#include "viewer/SkyrakeView.h"

#include "analysis/Centroid.h"
#include "platform/CommandIds.h"
#include "tools/SungrazerDlg.h"

#include <QPainter>

Measurement CSkyrakeView::measurementOf(const CPictureItem& item, QPointF clicked, QPointF position,
                                        bool refined) const
{
    const Picture& picture = *item.m_pPicture;
    return {item.m_name,
            frameInfoOf(item.m_name, picture.keywords()),
            QSize(picture.pixelWidth(), picture.pixelHeight()),
            clicked,
            position,
            refined};
}

void CSkyrakeView::measure(const CPictureItem& item, QPointF clicked)
{
    const Centroid centre = refineCentroid(Brightness(*item.m_pPicture), clicked);
    m_measured[&item] = measurementOf(item, clicked, centre.position, centre.refined);
}

std::vector<Measurement> CSkyrakeView::measurements() const
{
    std::vector<Measurement> list;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos)) {
        const auto it = m_measured.find(PictureList::GetAt(pos));
        if (it != m_measured.end())
            list.push_back(it->second);
    }
    return list;
}

std::optional<Measurement> CSkyrakeView::measurementAt(int index) const
{
    POSITION pos = index < 0 ? nullptr : m_pictures.GetHeadPosition();
    for (int i = 0; pos && i < index; ++i)
        pos = PictureList::next(pos);
    const auto it = pos ? m_measured.find(PictureList::GetAt(pos)) : m_measured.end();
    if (it == m_measured.end())
        return std::nullopt;
    return it->second;
}

void CSkyrakeView::setMeasurement(int index, const QPointF& clicked, const QPointF& position, bool refined)
{
    POSITION pos = index < 0 ? nullptr : m_pictures.GetHeadPosition();
    for (int i = 0; pos && i < index; ++i)
        pos = PictureList::next(pos);
    if (!pos)
        return;
    const CPictureItem* item = PictureList::GetAt(pos);
    m_measured[item] = measurementOf(*item, clicked, position, refined);
}

void CSkyrakeView::DrawMarks(QPainter& target)
{
    if (!m_showMarks)
        return;
    DrawCandidates(target);
    if (m_measured.empty())
        return;
    const CPictureItem* shown = current();
    const auto toWindow = [this](QPointF picture) {
        return QPointF(m_placement.offsetX() + picture.x() * m_placement.zoom(),
                       m_placement.offsetY() + picture.y() * m_placement.zoom());
    };
    target.save();
    target.setRenderHint(QPainter::Antialiasing);
    target.setBrush(Qt::NoBrush);
    // Rings a few pixels wide at any zoom, leaving the object itself visible.
    constexpr double ring = 6.0;
    for (const auto& [item, m] : m_measured) {
        target.setPen(QPen(item == shown ? QColor(0, 255, 0) : QColor(255, 200, 0), 1.5));
        target.drawEllipse(toWindow(m.position), ring, ring);
    }
    if (shown) {
        const FrameInfo info = frameInfoOf(shown->m_name, shown->m_pPicture->keywords());
        const std::optional<TrackFit> fit = fitTrack(measurements());
        if (fit && info.time.isValid()) {
            const QPointF at = toWindow(fit->at(info.time));
            target.setPen(QPen(QColor(255, 0, 255), 1.5));
            target.drawLine(at - QPointF(ring, ring), at + QPointF(ring, ring));
            target.drawLine(at - QPointF(ring, -ring), at + QPointF(ring, -ring));
        }
    }
    target.restore();
}

void CSkyrakeView::OnMeasureMarks()
{
    setMarksShown(!m_showMarks);
}

void CSkyrakeView::setMarksShown(bool shown)
{
    m_showMarks = shown;
    ShowCurrent();
}

void CSkyrakeView::OnSungrazerReport()
{
    std::vector<SequenceFrame> frames;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos)) {
        const CPictureItem* item = PictureList::GetAt(pos);
        frames.push_back({item->m_name, frameInfoOf(item->m_name, item->m_pPicture->keywords()).time});
    }
    CSungrazerDlg dialog(measurements(), frames, window());
    dialog.exec();
}
