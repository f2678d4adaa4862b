// Measuring: each confirmed position also records the centre of the object under it, one per
// frame; the positions are drawn on every frame, and the Sungrazer report checks the track.
#include "viewer/SkyrakeView.h"

#include "model/CandidateSky.h"
#include "platform/CommandIds.h"
#include "tools/SungrazerDlg.h"

#include <QPainter>

#include <limits>

void CSkyrakeView::DrawMarks(QPainter& target)
{
    if (!m_showMarks)
        return;
    DrawCandidates(target);
    const std::vector<Measurement> measured = measurements();
    if (measured.empty())
        return;
    const CPictureItem* shown = current();
    target.save();
    target.setRenderHint(QPainter::Antialiasing);
    target.setBrush(Qt::NoBrush);
    // Rings a few pixels wide at any zoom, leaving the object itself visible.
    constexpr double ring = 6.0;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos)) {
        const CPictureItem* item = PictureList::GetAt(pos);
        if (!item->m_mark)
            continue;
        target.setPen(QPen(item == shown ? QColor(0, 255, 0) : QColor(255, 200, 0), 1.5));
        target.drawEllipse(m_placement.toWindow(item->m_mark->position), ring, ring);
    }
    if (shown) {
        const std::optional<TrackFit> fit = fitTrack(measured);
        if (fit && shown->m_facts.time.isValid()) {
            const QPointF at = m_placement.toWindow(fit->at(shown->m_facts.time));
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
    std::vector<QPointF> measured; // one a frame; not a number where the frame has no measurement
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos)) {
        const CPictureItem& item = *PictureList::GetAt(pos);
        frames.push_back({item.m_name, item.m_facts.time});
        const double none = std::numeric_limits<double>::quiet_NaN();
        measured.push_back(item.m_mark ? item.m_mark->position : QPointF(none, none));
    }
    CSungrazerDlg dialog(measurements(), frames, window());
    dialog.showSky(trackSky(*this, measured));
    dialog.exec();
}
