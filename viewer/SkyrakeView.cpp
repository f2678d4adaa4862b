#include "viewer/SkyrakeView.h"

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
    m_pictures.setChangeObserver([this] { onSequenceChanged(); });
    registerCommands();
    m_contextRoute.append(&m_commands);
}

CSkyrakeView::~CSkyrakeView()
{
    // The pictures go before the widget's parts: nothing is left to be told of their removal.
    m_pictures.setRemovalObserver({});
    m_pictures.setChangeObserver({});
}

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

CPictureItem* CSkyrakeView::current() const
{
    return hasCurrentPicture() ? PictureList::GetAt(m_curPos) : nullptr;
}

QString CSkyrakeView::currentName() const
{
    const CPictureItem* item = current();
    return item ? item->m_name : QString();
}

int CSkyrakeView::currentIndex() const
{
    int index = 0;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos), ++index) {
        if (pos == m_curPos)
            return index;
    }
    return -1;
}

void CSkyrakeView::appendPicture(std::unique_ptr<CPictureItem> item)
{
    m_pictures.AddTail(std::move(item));
}

void CSkyrakeView::clearPictures()
{
    m_pictures.RemoveAll();
    InvalidateRect();
}

void CSkyrakeView::showPicture(int index)
{
    POSITION pos = m_pictures.GetHeadPosition();
    for (int i = 0; pos && i < index; ++i)
        pos = PictureList::next(pos);
    if (pos && index >= 0)
        makeCurrent(pos);
}

qsizetype CSkyrakeView::memoryInUse() const
{
    qsizetype bytes = 0;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos))
        bytes += PictureList::GetAt(pos)->m_pPicture->byteCount();
    for (const Surface* surface : {&m_dcWork, &m_dcComposite, &m_window})
        bytes += surface->image().sizeInBytes();
    return bytes;
}

void CSkyrakeView::makeCurrent(POSITION pos)
{
    m_curPos = pos;
    ShowCurrent();
}

void CSkyrakeView::onPictureRemoved(POSITION removed)
{
    // A dialog may delete the current picture while playback and painting go on behind it:
    // the current position moves to the head of what remains, or to nothing.
    if (removed == m_curPos)
        m_curPos = m_pictures.GetHeadPosition();
    std::erase(m_stretched, PictureList::GetAt(removed)->m_pPicture.get());
    m_measured.erase(PictureList::GetAt(removed));
}

void CSkyrakeView::onSequenceChanged()
{
    // A candidate's positions are one per frame of the sequence it was found in.
    m_candidates.clear();
    stretchPictures(false);
    showPictureCount();
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
