// The difference composite: every later frame XOR the first, ORed together on the window, so
// that whatever stayed the same turns black and whatever moved lights up.
#include "viewer/SkyrakeView.h"

#include "viewer/CoordinateModel.h"

#include <QPainter>

#include <optional>

namespace {

// work := work XOR reference, then window := window OR work, over `area`, in one pass over the
// rows: the same result as the two raster operations one after the other, reading each surface
// once. The difference is written back into `work` only when `keepDifference` (the last frame's
// is what the work surface holds afterwards; earlier ones are overwritten unseen).
void accumulateDifference(Surface& window, Surface& work, const Surface& reference, const QRect& area,
                          bool keepDifference)
{
    const QRect clipped = area & window.rect() & work.rect() & reference.rect();
    if (clipped.isEmpty())
        return;
    const int width = clipped.width();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        // Three distinct surfaces: telling the compiler lets it vectorise the loops.
        QRgb* __restrict shown = window.scanLine(y) + clipped.left();
        QRgb* __restrict frame = work.scanLine(y) + clipped.left();
        const QRgb* __restrict first = reference.scanLine(y) + clipped.left();
        // The alpha byte stays 0xff: XOR clears it, the OR sets it again.
        for (int x = 0; x < width; ++x)
            shown[x] |= (frame[x] ^ first[x]) | 0xff000000u;
        if (keepDifference) {
            for (int x = 0; x < width; ++x)
                frame[x] = (frame[x] ^ first[x]) | 0xff000000u;
        }
    }
}

} // namespace

void CSkyrakeView::OnComposite()
{
    if (m_pictures.GetCount() < 2)
        return;
    ensureSurfaces();
    CPictureItem* reference = PictureList::GetAt(m_pictures.GetHeadPosition());
    m_window.fill(m_clientRect, m_brushBlack);
    // The reference drawn for one frame serves the next as long as the frames have the same
    // extent and displayed size (the usual case: one field, one camera).
    struct Geometry
    {
        int himWidth, himHeight, width, height;
        bool operator==(const Geometry&) const = default;
    };
    std::optional<Geometry> referenceDrawnFor;
    for (POSITION pos = PictureList::next(m_pictures.GetHeadPosition()); pos; pos = PictureList::next(pos)) {
        m_curPos = pos;
        m_pCurrent = PictureList::GetAt(pos);
        RenderCurrent();
        const Picture& frame = *m_pCurrent->m_pPicture;
        const Geometry geometry{frame.himetricWidth(), frame.himetricHeight(), m_imageWidth, m_imageHeight};
        if (referenceDrawnFor != geometry) {
            RenderReference(reference);
            referenceDrawnFor = geometry;
        }
        // Both the frame and the reference draw only inside the frame's rectangle; outside it both
        // surfaces are black, their difference is nothing and the window stays as it is.
        accumulateDifference(m_window, m_dcWork, m_dcComposite,
                             visiblePart(m_clientRect, m_offsetX, m_offsetY, m_imageWidth, m_imageHeight),
                             PictureList::next(pos) == nullptr);
    }
    m_curPos = m_pictures.GetHeadPosition();
    m_pCurrent = reference;
    QPainter painter(&m_window.image());
    DrawGrid(painter);
    painter.end();
    update();
}

void CSkyrakeView::RenderReference(CPictureItem* reference)
{
    // The reference is drawn with the frame's extent and zoomed size, over the frame.
    const Picture& frame = *m_pCurrent->m_pPicture;
    const int himWidth = frame.himetricWidth();
    const int himHeight = frame.himetricHeight();
    // Black wherever the reference draws nothing. Where it covers the whole destination (it is at
    // least as large as the frame), only the ground around that rectangle needs filling.
    const Picture& first = *reference->m_pPicture;
    const QRect drawn = visiblePart(m_clientRect, m_offsetX, m_offsetY, m_imageWidth, m_imageHeight);
    if (first.himetricWidth() >= himWidth && first.himetricHeight() >= himHeight && !drawn.isEmpty()) {
        for (const QRect& part : around(m_clientRect, drawn))
            m_dcComposite.fill(part, m_brushBlack);
    } else {
        m_dcComposite.fill(m_clientRect, m_brushBlack);
    }
    reference->m_pPicture->render(m_dcComposite, m_offsetX, m_offsetY, m_imageWidth, m_imageHeight, 0,
                                  himHeight, himWidth, -himHeight);
    maskHiddenChannels(m_dcComposite);
}
