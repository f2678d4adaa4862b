// The difference composite: every later frame XOR the first, ORed together on the window, so
// that whatever stayed the same turns black and whatever moved lights up.
#include "viewer/SkyrakeView.h"

#include <QPainter>

void CSkyrakeView::OnComposite()
{
    if (m_pictures.GetCount() < 2)
        return;
    ensureSurfaces();
    CPictureItem* reference = PictureList::GetAt(m_pictures.GetHeadPosition());
    m_window.fill(m_clientRect, m_brushBlack);
    for (POSITION pos = PictureList::next(m_pictures.GetHeadPosition()); pos; pos = PictureList::next(pos)) {
        m_curPos = pos;
        m_pCurrent = PictureList::GetAt(pos);
        RenderCurrent();
        RenderReference(reference);
        blit(m_dcWork, m_clientRect, m_dcComposite, RasterOp::Xor);
        blit(m_window, m_clientRect, m_dcWork, RasterOp::Or);
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
    m_dcComposite.fill(m_clientRect, m_brushBlack);
    reference->m_pPicture->render(m_dcComposite, m_offsetX, m_offsetY, m_imageWidth, m_imageHeight, 0, himHeight,
                                  himWidth, -himHeight);
    maskHiddenChannels(m_dcComposite);
}
