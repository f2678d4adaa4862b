// The rendering pipeline: the current picture is rendered into the work surface at the view's
// offset and zoom on black, hidden channels are masked there, and the work surface is copied to
// the window image in one piece with the grid drawn over it.
#include "viewer/SkyrakeView.h"

#include "platform/Desktop.h"
#include "platform/Himetric.h"
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
        for (Surface* surface : {&m_dcWork, &m_dcMask, &m_dcComposite}) {
            surface->resize(w, h);
            surface->fill(surface->rect(), m_brushBlack);
        }
        m_needSurfaces = false;
    }
    if (m_window.width() != width || m_window.height() != height) {
        m_window.resize(width, height);
        m_window.fill(m_window.rect(), m_brushBlack);
    }
}

void CSkyrakeView::maskHiddenChannels(Surface& surface)
{
    const std::pair<bool, QRgb> masks[] = {
        {m_showRed, m_brushCyan}, {m_showGreen, m_brushMagenta}, {m_showBlue, m_brushYellow}};
    for (const auto& [shown, colour] : masks) {
        if (shown)
            continue;
        m_dcMask.fill(m_clientRect, colour);
        blit(surface, m_clientRect, m_dcMask, RasterOp::And);
    }
}

bool CSkyrakeView::RenderCurrent()
{
    if (!m_pCurrent || !m_pCurrent->m_pPicture)
        return false;
    ensureSurfaces();
    setStatusPane(3, m_pCurrent->m_name);
    m_dcWork.fill(m_clientRect, m_brushBlack);
    const Picture& picture = *m_pCurrent->m_pPicture;
    const int himWidth = picture.himetricWidth();
    const int himHeight = picture.himetricHeight();
    m_imageWidth = displayedSize(dpiX(), himWidth, m_zoom);
    m_imageHeight = displayedSize(dpiY(), himHeight, m_zoom);
    const bool rendered = picture.render(m_dcWork, m_offsetX, m_offsetY, m_imageWidth, m_imageHeight, 0,
                                         himHeight, himWidth, -himHeight);
    maskHiddenChannels(m_dcWork);
    return rendered;
}

void CSkyrakeView::PresentWork()
{
    ensureSurfaces();
    blit(m_window, m_clientRect, m_dcWork, RasterOp::Copy);
    QPainter painter(&m_window.image());
    DrawGrid(painter);
    painter.end();
    update();
}

void CSkyrakeView::ShowCurrent()
{
    if (!hasCurrentPicture())
        return; // never render without a current picture
    m_pCurrent = PictureList::GetAt(m_curPos);
    if (RenderCurrent())
        PresentWork();
    else
        Desktop::instance().messageBox(tr("渲染图像失败！"));
}

void CSkyrakeView::DrawGrid(QPainter& target)
{
    if (!m_showGrid)
        return;
    const int step = gridStep(m_zoom);
    const int right = m_clientRect.width();
    const int bottom = m_clientRect.height();
    target.setPen(m_gridPen);
    target.setBackgroundMode(Qt::TransparentMode);
    target.setFont(font());
    const int ascent = target.fontMetrics().ascent();
    // Lines end one pixel short of the client edge, as a line's end point is not drawn.
    for (const GridLine& line : gridLines(m_offsetX, step, right)) {
        target.drawLine(line.position, 0, line.position, bottom - 1);
        target.drawText(line.position, ascent, QString::number(line.label));
    }
    for (const GridLine& line : gridLines(m_offsetY, step, bottom)) {
        target.drawLine(0, line.position, right - 1, line.position);
        target.drawText(0, line.position + ascent, QString::number(line.label));
    }
}

void CSkyrakeView::OnDraw()
{
    window()->setWindowTitle(QStringLiteral("SkyRake"));
    m_clientRect = QRect(QPoint(0, 0), size());
    ensureSurfaces();
    m_window.fill(m_clientRect, m_brushBlack);
    if (hasCurrentPicture()) {
        m_pCurrent = PictureList::GetAt(m_curPos);
        ShowCurrent(); // presents the picture with the grid over it
    } else {
        QPainter painter(&m_window.image());
        DrawGrid(painter);
    }
    setStatusPane(4, tr("共有%1幅图片").arg(m_pictures.GetCount()));
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
