#include "viewer/SkyrakeView.h"

#include "platform/PaneBar.h"
#include "viewer/CoordinateModel.h"

#include <QPaintEvent>
#include <QPainter>

CSkyrakeView::CSkyrakeView(QWidget* parent)
    : QWidget(parent), m_gridPen(QColor(0x80, 0x80, 0x80), 1, Qt::SolidLine),
      m_report(QStringLiteral("picture name\t\tposition\r\n"))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CSkyrakeView::OnTimer);
    m_pauseTimer.setSingleShot(true);
    m_pauseTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pauseTimer, &QTimer::timeout, this, &CSkyrakeView::endPlaybackPause);

    m_pictures.setRemovalObserver([this](POSITION removed) { onPictureRemoved(removed); });
    registerCommands();
    m_contextRoute.append(&m_commands);
}

CSkyrakeView::~CSkyrakeView() = default;

void CSkyrakeView::setDocumentCommands(const CommandMap* document)
{
    m_contextRoute = CommandRouter{&m_commands, document};
}

int CSkyrakeView::dpiX() const
{
    return logicalDpiX();
}

int CSkyrakeView::dpiY() const
{
    return logicalDpiY();
}

void CSkyrakeView::setStatusPane(int index, const QString& text) const
{
    setPaneText(this, index, text);
}

void CSkyrakeView::makeCurrent(POSITION pos)
{
    m_curPos = pos;
    m_pCurrent = PictureList::GetAt(pos);
    ShowCurrent();
}

void CSkyrakeView::onPictureRemoved(POSITION removed)
{
    // A dialog may delete the current picture while playback and painting go on behind it:
    // the current position moves to the head of what remains, or to nothing.
    if (removed != m_curPos)
        return;
    m_curPos = m_pictures.GetHeadPosition();
    m_pCurrent = PictureList::GetAt(m_curPos);
}

// ---- Zoom and pan ---------------------------------------------------------------------------

void CSkyrakeView::OnZoomIn()
{
    m_zoom *= 1.5;
    if (hasCurrentPicture())
        ShowCurrent();
    setStatusPane(2, zoomText(m_zoom));
}

void CSkyrakeView::OnZoomOut()
{
    m_zoom *= 0.6666666666666666;
    if (hasCurrentPicture())
        ShowCurrent();
    setStatusPane(2, zoomText(m_zoom));
}

bool CSkyrakeView::allows(void (CSkyrakeView::*rule)(CmdUI&) const) const
{
    CmdUI ui;
    (this->*rule)(ui);
    return ui.enabled();
}

// Each pan acts only while its own rule holds (the rules are in the message map's file); without
// a current picture they move nothing.
void CSkyrakeView::OnPanLeft()
{
    if (!allows(&CSkyrakeView::OnUpdatePanLeft))
        return;
    m_offsetX += panStep(m_clientRect.width());
    ShowCurrent();
}

void CSkyrakeView::OnPanRight()
{
    if (!allows(&CSkyrakeView::OnUpdatePanRight))
        return;
    m_offsetX -= panStep(m_clientRect.width());
    ShowCurrent();
}

void CSkyrakeView::OnPanUp()
{
    if (!allows(&CSkyrakeView::OnUpdatePanUp))
        return;
    m_offsetY += panStep(m_clientRect.height());
    ShowCurrent();
}

void CSkyrakeView::OnPanDown()
{
    if (!allows(&CSkyrakeView::OnUpdatePanDown))
        return;
    m_offsetY -= panStep(m_clientRect.height());
    ShowCurrent();
}

void CSkyrakeView::OnInitialPosition()
{
    m_offsetX = 0;
    m_offsetY = 0;
    InvalidateRect();
}
