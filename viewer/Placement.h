#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>

// Where the pictures stand in the window and how large they are shown: one placement for every
// picture of the sequence. A value type holding the zoom, pan, initial-position and drag rules
// and the mapping from window to picture pixels, so that the rules can be tested without a
// widget. The view owns one and asks it.
class Placement
{
public:
    int offsetX() const { return m_offsetX; }
    int offsetY() const { return m_offsetY; }
    double zoom() const { return m_zoom; }
    int imageWidth() const { return m_imageWidth; }
    int imageHeight() const { return m_imageHeight; }
    bool dragging() const { return m_dragging; }

    // Zoom by 1.5 and by 2/3 (the nearest double): the picture's top-left corner stays put.
    void zoomIn() { m_zoom *= 1.5; }
    void zoomOut() { m_zoom *= 0.6666666666666666; }
    void setZoom(double zoom) { m_zoom = zoom; }
    // The displayed size of the picture as last rendered, window pixels.
    void setDisplayedSize(int width, int height);
    void moveTo(int offsetX, int offsetY);
    void toInitialPosition() { moveTo(0, 0); }

    // The pan rules: left and up while the picture's edge is at or left of (above) the client's;
    // right and down while more than a step of the picture lies beyond the far edge. A step is a
    // third of the client's extent (window pixels).
    bool canPanLeft() const { return m_offsetX <= 0; }
    bool canPanUp() const { return m_offsetY <= 0; }
    bool canPanRight(int clientWidth) const;
    bool canPanDown(int clientHeight) const;
    // One step each way, whatever the rules say (the caller tests them).
    void panLeft(int clientWidth);
    void panRight(int clientWidth);
    void panUp(int clientHeight);
    void panDown(int clientHeight);

    // Dragging: the picture follows the pointer by the distance moved since the press.
    void beginDrag(QPoint client);
    void dragTo(QPoint client);
    void endDrag();

    // The picture position under a client point: 1-based column and row once rounded.
    double pictureX(int clientX) const;
    double pictureY(int clientY) const;
    // Picture pixels (pixel i spans i to i + 1) and window pixels, each way: what is drawn over a
    // picture and what a click on it means.
    QPointF toWindow(QPointF picture) const
    {
        return {m_offsetX + picture.x() * m_zoom, m_offsetY + picture.y() * m_zoom};
    }
    QPointF pictureAt(QPoint client) const
    {
        return {pictureX(client.x()) - 0.5, pictureY(client.y()) - 0.5};
    }
    // The part of `client` the picture covers at its displayed size.
    QRect shownPart(const QRect& client) const;

    bool operator==(const Placement&) const = default;

private:
    int m_offsetX = 0; // client x of the picture's top-left corner, window pixels; may be negative
    int m_offsetY = 0;
    double m_zoom = 1.0;
    int m_imageWidth = 0; // displayed (zoomed) size, window pixels
    int m_imageHeight = 0;
    int m_dragStartX = 0; // client point where the drag began, window pixels
    int m_dragStartY = 0;
    int m_dragOrgX = 0; // offsets when the drag began, window pixels
    int m_dragOrgY = 0;
    bool m_dragging = false;
};
