// Blink playback: stepping by hand and on the playback's ticks, with a pause before the
// sequence starts again from the head.
#include "viewer/SkyrakeView.h"

#include "platform/Desktop.h"
#include "tools/SpeedDlg.h"

void CSkyrakeView::stepTo(POSITION pos)
{
    // A step during the wrap pause ends the pause; playback goes on from the step's picture.
    if (m_playback.isPausing())
        m_playback.endPause();
    makeCurrent(pos);
}

void CSkyrakeView::OnNextPicture()
{
    if (m_pictures.IsEmpty())
        return;
    POSITION next = PictureList::next(m_curPos);
    stepTo(next ? next : m_pictures.GetHeadPosition());
}

void CSkyrakeView::OnPrevPicture()
{
    if (m_pictures.IsEmpty())
        return;
    POSITION prev = PictureList::prev(m_curPos);
    stepTo(prev ? prev : m_pictures.GetTailPosition());
}

void CSkyrakeView::OnPlayStart()
{
    m_playback.start();
}

void CSkyrakeView::OnPlayStop()
{
    m_playback.stop();
}

void CSkyrakeView::OnTimer()
{
    // Ticks that come while the message of a failed tick is open wait for it to close. A null
    // position with pictures present (an import into an empty sequence whose list dialog is
    // still open) is no current picture: nothing to advance from.
    if (m_reportingTickFailure || !hasCurrentPicture())
        return;
    POSITION next = PictureList::next(m_curPos);
    if (!next) {
        // The wrap: the last picture stays on for the pause, then the head follows.
        m_playback.pauseAtWrap();
        return;
    }
    setCurrentPosition(next);
    showTick();
}

void CSkyrakeView::endPlaybackPause()
{
    m_playback.endPause();
    if (!hasCurrentPicture())
        return;
    setCurrentPosition(m_pictures.GetHeadPosition());
    showTick();
}

void CSkyrakeView::showTick()
{
    if (RenderCurrent()) {
        PresentWork();
        return;
    }
    // The message comes first and the timer keeps running behind it; playback stops once the
    // observer has seen it.
    m_reportingTickFailure = true;
    Desktop::instance().messageBox(tr("渲染图像失败！"));
    m_reportingTickFailure = false;
    m_playback.stop();
}

void CSkyrakeView::OnSetSpeed()
{
    CSpeedDlg dialog(m_playback.interval(), window());
    // Playback pauses while the dialog is open and resumes one full interval after it closes.
    m_playback.hold();
    if (dialog.exec() == QDialog::Accepted)
        m_playback.setInterval(dialog.m_value);
    m_playback.resume();
}
