// Pointer handling: dragging with the left button, the position readout, the hand cursor and
// the right-button menu.
#include "viewer/SkyrakeView.h"

#include "app/CommandIds.h"
#include "viewer/CoordinateModel.h"

#include <QBitmap>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <climits>

namespace {

QCursor handCursor()
{
    static const QCursor cursor(QPixmap(QStringLiteral(":/res/hand.xpm")), 0, 0);
    return cursor;
}

// An offset that stays within int however far the pointer moved from a far-off start.
int clampedOffset(long long offset)
{
    return int(std::clamp<long long>(offset, INT_MIN, INT_MAX));
}

} // namespace

// The cursor lives in the resources of this static library, which the linker drops unless they
// are registered by name (outside any namespace, as the macro requires).
static void registerViewResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(skyrake);
        return true;
    }();
    (void)done;
}

void CSkyrakeView::OnLButtonDown(QPoint point)
{
    m_dragOrgX = m_offsetX;
    m_dragOrgY = m_offsetY;
    m_dragStartX = point.x();
    m_dragStartY = point.y();
    m_dragging = true;
    OnSetCursor();
}

void CSkyrakeView::OnLButtonUp()
{
    m_dragOrgX = m_offsetX;
    m_dragOrgY = m_offsetY;
    m_dragging = false;
    OnSetCursor();
}

void CSkyrakeView::OnMouseMove(QPoint point)
{
    if (m_dragging && !m_pictures.IsEmpty()) {
        // The picture follows the pointer by the distance moved since the press.
        m_offsetX = clampedOffset(static_cast<long long>(m_dragOrgX) - m_dragStartX + point.x());
        m_offsetY = clampedOffset(static_cast<long long>(m_dragOrgY) - m_dragStartY + point.y());
        ShowCurrent();
        return;
    }
    setStatusPane(
        1, positionText(toPicture(point.x(), m_offsetX, m_zoom), toPicture(point.y(), m_offsetY, m_zoom)));
    setStatusPane(2, zoomText(m_zoom));
}

void CSkyrakeView::OnSetCursor()
{
    if (m_dragging) {
        registerViewResources();
        setCursor(handCursor());
    } else
        setCursor(Qt::ArrowCursor);
}

void CSkyrakeView::OnRButtonDown(QPoint globalPoint)
{
    struct Place
    {
        int id; // 0: separator
        const char* text;
    };
    static constexpr Place places[] = {
        {cmd::ZoomIn, QT_TR_NOOP("放大")},
        {cmd::ZoomOut, QT_TR_NOOP("缩小")},
        {0, nullptr},
        {cmd::NextPicture, QT_TR_NOOP("下一幅")},
        {cmd::PrevPicture, QT_TR_NOOP("前一幅")},
        {0, nullptr},
        {cmd::PlayStart, QT_TR_NOOP("开始播放")},
        {cmd::PlayStop, QT_TR_NOOP("停止播放")},
        {0, nullptr},
        {cmd::InitialPosition, QT_TR_NOOP("初始位置")},
    };
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("contextMenu"));
    for (const Place& place : places) {
        if (place.id == 0) {
            menu.addSeparator();
            continue;
        }
        // Items are never greyed: the command's rule is tested when it arrives.
        QAction* action = menu.addAction(tr(place.text));
        action->setData(place.id);
    }
    const QAction* chosen = menu.exec(globalPoint);
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
    if (m_dragging && !(event->buttons() & Qt::LeftButton))
        OnLButtonUp();
    OnMouseMove(event->position().toPoint());
}

void CSkyrakeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(event->position().toPoint());
}
