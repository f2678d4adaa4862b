// Pointer handling: dragging with the left button, the position readout, the hand cursor and
// the right-button menu.
#include "viewer/SkyrakeView.h"

#include "platform/Resources.h"
#include "viewer/CoordinateModel.h"

#include <QMenu>
#include <QMouseEvent>

void CSkyrakeView::OnLButtonDown(QPoint point)
{
    m_placement.beginDrag(point);
    OnSetCursor();
}

void CSkyrakeView::OnLButtonUp()
{
    m_placement.endDrag();
    OnSetCursor();
}

void CSkyrakeView::OnMouseMove(QPoint point)
{
    if (m_placement.dragging() && !m_pictures.IsEmpty()) {
        m_placement.dragTo(point);
        ShowCurrent();
        return;
    }
    setStatusPane(Pane::Position,
                  positionText(m_placement.pictureX(point.x()), m_placement.pictureY(point.y())));
    setStatusPane(Pane::Zoom, zoomText(m_placement.zoom()));
    setStatusPane(Pane::Sky, skyText(QPointF(m_placement.pictureX(point.x()) + 0.5,
                                             m_placement.pictureY(point.y()) + 0.5)));
}

QString CSkyrakeView::skyText(QPointF picture) const
{
    const CPictureItem* item = current();
    if (!item)
        return QString();
    const FrameGeometry& geometry = geometryOf(*item);
    if (!geometry.known())
        return item->m_facts.camera == Camera::Unknown ? QString() : tr("没有找到日面");
    const SkyPoint sky = skyPoint(geometry, picture);
    return tr("%1 R☉  PA %2°").arg(sky.elongation, 0, 'f', 2).arg(sky.positionAngle, 0, 'f', 1);
}

void CSkyrakeView::OnSetCursor()
{
    if (m_placement.dragging())
        setCursor(handCursor());
    else
        setCursor(Qt::ArrowCursor);
}

void CSkyrakeView::OnRButtonDown(QPoint globalPoint)
{
    if (!m_contextMenu)
        return;
    // Items are never greyed: the command's rule is tested when it arrives.
    const QAction* chosen = m_contextMenu->exec(globalPoint);
    if (chosen && m_contextRoute.execute(chosen->data().toInt()))
        Q_EMIT commandDone();
}

void CSkyrakeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(event->position().toPoint());
    else if (event->button() == Qt::RightButton)
        OnRButtonDown(event->globalPosition().toPoint());
}

void CSkyrakeView::mouseReleaseEvent(QMouseEvent* event)
{
    // The view holds the pointer while the button is down, so a release outside it arrives here.
    if (event->button() == Qt::LeftButton)
        OnLButtonUp();
}

void CSkyrakeView::mouseMoveEvent(QMouseEvent* event)
{
    // A release that never reached the view (a dialog took the pointer) ends the drag here.
    if (m_placement.dragging() && !(event->buttons() & Qt::LeftButton))
        OnLButtonUp();
    OnMouseMove(event->position().toPoint());
}

void CSkyrakeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(event->position().toPoint());
}
