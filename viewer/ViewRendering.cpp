// The rendering pipeline: the current picture is rendered into the work surface at the view's
// placement on black, hidden channels are masked there, and the work surface is copied to the
// window image in one piece with the grid drawn over it.
#include "viewer/SkyrakeView.h"

#include "pictures/FrameInfo.h"
#include "platform/Desktop.h"
#include "viewer/CoordinateModel.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>

void CSkyrakeView::ensureSurfaces()
{
    const int width = std::max(m_clientRect.width(), 1);
    const int height = std::max(m_clientRect.height(), 1);
    if (m_needSurfaces || m_dcWork.width() < width || m_dcWork.height() < height) {
        // Surfaces grow with the window and never shrink, so a window made smaller and larger
        // again allocates nothing.
        const int w = std::max(width, m_dcWork.width());
        const int h = std::max(height, m_dcWork.height());
        for (Surface* surface : {&m_dcWork, &m_dcComposite}) {
            surface->resize(w, h);
            surface->fill(surface->rect(), qRgb(0, 0, 0));
        }
        m_needSurfaces = false;
    }
    if (m_window.width() != width || m_window.height() != height) {
        m_window.resize(width, height);
        m_window.fill(m_window.rect(), qRgb(0, 0, 0));
    }
}

void CSkyrakeView::showFrameFacts(const CPictureItem& item) const
{
    setStatusPane(Pane::Name, item.m_name);
    setStatusPane(Pane::FrameTime, frameTimeText(item.m_facts));
}

FrameLayout CSkyrakeView::layout() const
{
    return {m_placement.offsetX(), m_placement.offsetY(), m_placement.zoom(), dpiX(), dpiY()};
}

bool CSkyrakeView::RenderCurrent()
{
    // Only the item at the current position is ever rendered: without one there is nothing.
    const CPictureItem* item = current();
    if (!item || !item->m_pPicture) {
        ++m_rendersRefused;
        return false;
    }
    ensureSurfaces();
    showFrameFacts(*item);
    const Picture& picture = item->shown();
    const FrameLayout frame = layout();
    const QSize size = frame.displayedSize(picture);
    m_placement.setDisplayedSize(size.width(), size.height());
    return renderFrame(picture, frame, channels(), m_dcWork, m_clientRect);
}

void CSkyrakeView::PresentWork()
{
    ensureSurfaces();
    blit(m_window, m_clientRect, m_dcWork, RasterOp::Copy);
    drawOverlays();
}

void CSkyrakeView::drawOverlays()
{
    QPainter painter(&m_window.image());
    DrawSky(painter);
    DrawMarks(painter);
    DrawGrid(painter);
    painter.end();
    update();
    Q_EMIT shownChanged();
}

void CSkyrakeView::ShowCurrent()
{
    if (!hasCurrentPicture())
        return; // never render without a current picture
    if (RenderCurrent())
        PresentWork();
    else
        Desktop::instance().messageBox(tr("渲染图像失败！"));
}

void CSkyrakeView::DrawGrid(QPainter& target)
{
    if (!m_showGrid)
        return;
    const int step = gridStep(m_placement.zoom());
    const int right = m_clientRect.width();
    const int bottom = m_clientRect.height();
    target.setPen(m_gridPen);
    target.setBackgroundMode(Qt::TransparentMode);
    target.setFont(font());
    const int ascent = target.fontMetrics().ascent();
    const QColor grey = m_gridPen.color();
    // A line runs from the client edge to one pixel short of the other edge (a line's end point
    // is not drawn). The lines are one-pixel rectangles: the same pixels as a one-pixel pen, but
    // a solid fill, which the raster engine draws many times faster than a vertical line.
    for (const GridLine& line : gridLines(m_placement.offsetX(), step, right)) {
        target.fillRect(line.position, 0, 1, bottom, grey);
        target.drawText(line.position, ascent, QString::number(line.label));
    }
    for (const GridLine& line : gridLines(m_placement.offsetY(), step, bottom)) {
        target.fillRect(0, line.position, right, 1, grey);
        target.drawText(0, line.position + ascent, QString::number(line.label));
    }
}

void CSkyrakeView::OnDraw()
{
    window()->setWindowTitle(QStringLiteral("SkyRake"));
    m_clientRect = QRect(QPoint(0, 0), size());
    ensureSurfaces();
    m_window.fill(m_clientRect, qRgb(0, 0, 0));
    bool presented = false;
    if (hasCurrentPicture()) {
        // ShowCurrent's steps, keeping whether the picture (with the grid over it) was shown.
        presented = RenderCurrent();
        if (presented)
            PresentWork();
        else
            Desktop::instance().messageBox(tr("渲染图像失败！"));
    }
    if (!presented) {
        // No picture, or its render failed: the window stays black, with the grid over it.
        QPainter painter(&m_window.image());
        DrawGrid(painter);
    }
    showPictureCount();
    update();
}

void CSkyrakeView::InvalidateRect()
{
    if (m_drawPending)
        return;
    m_drawPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_drawPending = false;
            OnDraw();
        },
        Qt::QueuedConnection);
}

void CSkyrakeView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QImage& image = m_window.image();
    if (!image.isNull())
        painter.drawImage(event->rect().topLeft(), image, event->rect());
    // Any part the image does not cover yet (a resize whose OnDraw is still pending) is black.
    const QRegion uncovered = QRegion(event->rect()) - QRegion(image.rect());
    for (const QRect& r : uncovered)
        painter.fillRect(r, Qt::black);
}

void CSkyrakeView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    InvalidateRect();
}

void CSkyrakeView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    InvalidateRect();
}

void CSkyrakeView::printPage(QPrinter& printer)
{
    QPainter painter(&printer);
    const QImage& image = m_window.image();
    if (image.isNull())
        return;
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawImage(0, 0, image);
}
