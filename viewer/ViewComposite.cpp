// The difference composite on the window: every later frame against the first, at the view's
// placement and channels, with the grid over it.
#include "viewer/SkyrakeView.h"

#include "analysis/Composite.h"

#include <vector>

void CSkyrakeView::OnComposite()
{
    if (m_pictures.GetCount() < 2)
        return;
    ensureSurfaces();
    std::vector<const Picture*> frames;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos))
        frames.push_back(&PictureList::GetAt(pos)->shown());
    const FrameLayout frameLayout = layout();
    differenceComposite(frames, frameLayout, channels(), m_window, m_clientRect, m_dcWork, m_dcComposite);

    // Afterwards the first picture is current, while panes 3 and 8 and the displayed size are the
    // last frame's, as its render left them.
    const CPictureItem* last = PictureList::GetAt(m_pictures.GetTailPosition());
    const QSize size = frameLayout.displayedSize(*last->m_pPicture);
    m_placement.setDisplayedSize(size.width(), size.height());
    showFrameFacts(*last);
    setCurrentPosition(m_pictures.GetHeadPosition());
    // A wrap pause would show the head again when it ends; the next tick shows the second.
    if (m_playback.isPausing())
        m_playback.endPause();

    drawOverlays();
}
