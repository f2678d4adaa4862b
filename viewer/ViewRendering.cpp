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

#include <vector>

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

namespace {

// ANDs every pixel of `area` with `mask`. In blocks of a fixed size, which the compiler turns into
// vector instructions; the rest of a row pixel by pixel.
void andWithColour(Surface& surface, const QRect& area, QRgb mask)
{
    const QRect clipped = area.intersected(surface.rect());
    constexpr int block = 8;
    const int width = clipped.width();
    const int blocked = width - width % block;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        QRgb* line = surface.scanLine(y) + clipped.left();
        for (int x = 0; x < blocked; x += block) {
            for (int k = 0; k < block; ++k)
                line[x + k] &= mask;
        }
        for (int x = blocked; x < width; ++x)
            line[x] &= mask;
    }
}

} // namespace

void CSkyrakeView::maskHiddenChannels(Surface& surface)
{
    // Each hidden channel's mask colour is ANDed into every pixel; the masks compose, so the
    // hidden channels together take one pass with the AND of their colours (cyan AND magenta
    // keeps blue alone) straight from the colour, without a mask surface to read.
    QRgb mask = 0xffffffffu;
    if (!m_showRed)
        mask &= m_brushCyan;
    if (!m_showGreen)
        mask &= m_brushMagenta;
    if (!m_showBlue)
        mask &= m_brushYellow;
    if (mask == 0xffffffffu)
        return;
    // The surface holds the picture at the view's placement on black, and black stays black under
    // any mask: only the picture's own rectangle needs the pass.
    andWithColour(surface, visiblePart(m_clientRect, m_offsetX, m_offsetY, m_imageWidth, m_imageHeight),
                  mask | 0xff000000u);
}

bool CSkyrakeView::RenderCurrent()
{
    // Only the item at the current position is ever rendered; anything else would be a stale
    // item, possibly one already discarded.
    if (!hasCurrentPicture() || m_pCurrent != PictureList::GetAt(m_curPos) || !m_pCurrent->m_pPicture) {
        ++m_rendersRefused;
        return false;
    }
    ensureSurfaces();
    setStatusPane(3, m_pCurrent->m_name);
    const Picture& picture = *m_pCurrent->m_pPicture;
    const int himWidth = picture.himetricWidth();
    const int himHeight = picture.himetricHeight();
    m_imageWidth = displayedSize(dpiX(), himWidth, m_zoom);
    m_imageHeight = displayedSize(dpiY(), himHeight, m_zoom);
    // The whole picture is drawn over every pixel of its displayed rectangle, so only the ground
    // around it is filled black first; a failed render leaves that rectangle to be filled after.
    const QRect shown = visiblePart(m_clientRect, m_offsetX, m_offsetY, m_imageWidth, m_imageHeight);
    for (const QRect& part : around(m_clientRect, shown))
        m_dcWork.fill(part, m_brushBlack);
    const bool rendered = picture.render(m_dcWork, m_offsetX, m_offsetY, m_imageWidth, m_imageHeight, 0,
                                         himHeight, himWidth, -himHeight);
    if (!rendered)
        m_dcWork.fill(shown, m_brushBlack);
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
    const QColor grey = m_gridPen.color();
    // A line runs from the client edge to one pixel short of the other edge (a line's end point
    // is not drawn). The lines are one-pixel rectangles: the same pixels as a one-pixel pen, but
    // a solid fill, which the raster engine draws many times faster than a vertical line.
    for (const GridLine& line : gridLines(m_offsetX, step, right)) {
        target.fillRect(line.position, 0, 1, bottom, grey);
        target.drawText(line.position, ascent, QString::number(line.label));
    }
    for (const GridLine& line : gridLines(m_offsetY, step, bottom)) {
        target.fillRect(0, line.position, right, 1, grey);
        target.drawText(0, line.position + ascent, QString::number(line.label));
    }
}

void CSkyrakeView::OnDraw()
{
    window()->setWindowTitle(QStringLiteral("SkyRake"));
    m_clientRect = QRect(QPoint(0, 0), size());
    ensureSurfaces();
    m_window.fill(m_clientRect, m_brushBlack);
    bool presented = false;
    if (hasCurrentPicture()) {
        // ShowCurrent's steps, keeping whether the picture (with the grid over it) was shown.
        m_pCurrent = PictureList::GetAt(m_curPos);
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
