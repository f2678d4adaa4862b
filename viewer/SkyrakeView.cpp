#include "viewer/SkyrakeView.h"

#include "tools/ReportText.h"
#include "viewer/CoordinateModel.h"

#include <QPaintEvent>
#include <QPainter>

CSkyrakeView::CSkyrakeView(QWidget* parent)
    : QWidget(parent), m_gridPen(QColor(0x80, 0x80, 0x80), 1, Qt::SolidLine)
{
    m_report = reportHeaderLine();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    connect(&m_playback, &Playback::ticked, this, &CSkyrakeView::OnTimer);
    connect(&m_playback, &Playback::pauseEnded, this, &CSkyrakeView::endPlaybackPause);
    // Whoever changes the work (the view itself, a dialog, a session), the window shows it at once.
    const WorkChanges* work = &changes();
    connect(work, &WorkChanges::sequenceChanged, this, &CSkyrakeView::showPictureCount);
    for (const auto signal : {&WorkChanges::marksChanged, &WorkChanges::candidatesChanged})
        connect(work, signal, this, &CSkyrakeView::ShowCurrent);
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

void CSkyrakeView::setStatusPane(Pane pane, const QString& text) const
{
    setPaneText(this, pane, text);
}

void CSkyrakeView::showPictureCount() const
{
    setStatusPane(Pane::Count, tr("共有%1幅图片").arg(m_pictures.GetCount()));
}

void CSkyrakeView::showPicture(int index)
{
    if (const POSITION pos = positionAt(index))
        makeCurrent(pos);
}

qsizetype CSkyrakeView::memoryInUse() const
{
    qsizetype bytes = 0;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos))
        bytes += PictureList::GetAt(pos)->byteCount();
    for (const Surface* surface : {&m_dcWork, &m_dcComposite, &m_window})
        bytes += surface->image().sizeInBytes();
    return bytes;
}

void CSkyrakeView::makeCurrent(POSITION pos)
{
    setCurrentPosition(pos);
    ShowCurrent();
}

// ---- Zoom and pan ---------------------------------------------------------------------------

void CSkyrakeView::setPlacement(const Placement& placement)
{
    m_placement = placement;
    ShowCurrent();
}

void CSkyrakeView::OnZoomIn()
{
    m_placement.zoomIn();
    ShowCurrent();
    setStatusPane(Pane::Zoom, zoomText(m_placement.zoom()));
}

void CSkyrakeView::OnZoomOut()
{
    m_placement.zoomOut();
    ShowCurrent();
    setStatusPane(Pane::Zoom, zoomText(m_placement.zoom()));
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
    m_placement.panLeft(m_clientRect.width());
    ShowCurrent();
}

void CSkyrakeView::OnPanRight()
{
    if (!allows(&CSkyrakeView::OnUpdatePanRight))
        return;
    m_placement.panRight(m_clientRect.width());
    ShowCurrent();
}

void CSkyrakeView::OnPanUp()
{
    if (!allows(&CSkyrakeView::OnUpdatePanUp))
        return;
    m_placement.panUp(m_clientRect.height());
    ShowCurrent();
}

void CSkyrakeView::OnPanDown()
{
    if (!allows(&CSkyrakeView::OnUpdatePanDown))
        return;
    m_placement.panDown(m_clientRect.height());
    ShowCurrent();
}

void CSkyrakeView::OnInitialPosition()
{
    m_placement.toInitialPosition();
    InvalidateRect();
}
