#include "viewer/Placement.h"

#include "analysis/Geometry.h"
#include "viewer/CoordinateModel.h"

#include <algorithm>
#include <climits>

namespace {

// An offset that stays within int however far the pointer moved from a far-off start.
int clampedOffset(long long offset)
{
    return int(std::clamp<long long>(offset, INT_MIN, INT_MAX));
}

} // namespace

void Placement::setDisplayedSize(int width, int height)
{
    m_imageWidth = width;
    m_imageHeight = height;
}

void Placement::moveTo(int offsetX, int offsetY)
{
    m_offsetX = offsetX;
    m_offsetY = offsetY;
}

bool Placement::canPanRight(int clientWidth) const
{
    return static_cast<long long>(m_imageWidth) - panStep(clientWidth) + m_offsetX > 0;
}

bool Placement::canPanDown(int clientHeight) const
{
    return static_cast<long long>(m_imageHeight) - panStep(clientHeight) + m_offsetY > 0;
}

void Placement::panLeft(int clientWidth)
{
    m_offsetX = clampedOffset(static_cast<long long>(m_offsetX) + panStep(clientWidth));
}

void Placement::panRight(int clientWidth)
{
    m_offsetX = clampedOffset(static_cast<long long>(m_offsetX) - panStep(clientWidth));
}

void Placement::panUp(int clientHeight)
{
    m_offsetY = clampedOffset(static_cast<long long>(m_offsetY) + panStep(clientHeight));
}

void Placement::panDown(int clientHeight)
{
    m_offsetY = clampedOffset(static_cast<long long>(m_offsetY) - panStep(clientHeight));
}

void Placement::beginDrag(QPoint client)
{
    m_dragOrgX = m_offsetX;
    m_dragOrgY = m_offsetY;
    m_dragStartX = client.x();
    m_dragStartY = client.y();
    m_dragging = true;
}

void Placement::dragTo(QPoint client)
{
    m_offsetX = clampedOffset(static_cast<long long>(m_dragOrgX) - m_dragStartX + client.x());
    m_offsetY = clampedOffset(static_cast<long long>(m_dragOrgY) - m_dragStartY + client.y());
}

void Placement::endDrag()
{
    m_dragOrgX = m_offsetX;
    m_dragOrgY = m_offsetY;
    m_dragging = false;
}

double Placement::pictureX(int clientX) const
{
    return toPicture(clientX, m_offsetX, m_zoom);
}

double Placement::pictureY(int clientY) const
{
    return toPicture(clientY, m_offsetY, m_zoom);
}

QRect Placement::shownPart(const QRect& client) const
{
    return visiblePart(client, m_offsetX, m_offsetY, m_imageWidth, m_imageHeight);
}
