// Blink playback: stepping by hand and on timer 1, with a 500 ms pause before the sequence
// starts again from the head. The pause is a one-shot timer, so the window keeps painting and
// taking input during it.
#include "viewer/SkyrakeView.h"

#include "platform/Desktop.h"
#include "tools/SpeedDlg.h"

namespace {
constexpr int wrapPauseMs = 500;
}

void CSkyrakeView::cancelPause()
{
    m_pauseTimer.stop();
    m_timer.start(m_interval);
}

void CSkyrakeView::stepTo(POSITION pos)
{
    // A step during the wrap pause ends the pause; playback goes on from the step's picture.
    if (m_pauseTimer.isActive())
        cancelPause();
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
    // Re-arms the one timer when playback already runs, a pending wrap pause included.
    m_pauseTimer.stop();
    m_timer.start(m_interval);
    m_playing = true;
}

void CSkyrakeView::OnPlayStop()
{
    m_pauseTimer.stop();
    m_timer.stop();
    m_playing = false;
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
        m_timer.stop();
        m_pauseTimer.start(wrapPauseMs);
        return;
    }
    m_curPos = next;
    showTick();
}

void CSkyrakeView::endPlaybackPause()
{
    // The next interval counts from the end of the pause.
    m_pauseTimer.stop();
    m_timer.start(m_interval);
    if (!hasCurrentPicture())
        return;
    m_curPos = m_pictures.GetHeadPosition();
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
    m_timer.stop();
    m_pauseTimer.stop();
    m_playing = false;
}

void CSkyrakeView::OnSetSpeed()
{
    CSpeedDlg dialog(m_interval, window());
    // Playback pauses while the dialog is open and resumes one full interval after it closes.
    if (m_playing) {
        m_timer.stop();
        m_pauseTimer.stop();
    }
    if (dialog.exec() == QDialog::Accepted)
        m_interval = dialog.m_value;
    if (m_playing)
        m_timer.start(m_interval);
}
