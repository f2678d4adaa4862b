#pragma once

#include <QRect>

#include <vector>

// Rectangles of pixels shared by the renderers and the view.

// The part of the rectangle at (x, y), `width` x `height`, that lies in `area`; computed wide,
// since a zoomed picture may reach far beyond int range.
QRect visiblePart(const QRect& area, int x, int y, int width, int height);
// The part of `area` outside `hole`, as at most four rectangles.
std::vector<QRect> around(const QRect& area, const QRect& hole);
