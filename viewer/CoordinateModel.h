#pragma once

#include "platform/CFormat.h"

#include <QString>

#include <vector>

// The view's coordinate model: window pixels against picture pixels, and the texts that show
// them. Free functions so that the rules can be tested without a widget.

// Picture coordinate under a client coordinate: (client - offset) / zoom + 0.5, the subtraction
// in integers and the rest in double. Shown with formatWhole() it is the 1-based column (row) of
// the picture pixel under the point.
double toPicture(int client, int offset, double zoom);

// Status pane 1: "x=%.0f   y=%.0f".
QString positionText(double x, double y);
// Status pane 2: "%.0f%%" of zoom x 100.
QString zoomText(double zoom);

// The pan step for a client extent: a third of it, truncated.
inline int panStep(int clientExtent)
{
    return clientExtent / 3;
}

// Grid step in window pixels: the whole part of zoom x 100, kept within int range.
int gridStep(double zoom);

struct GridLine
{
    int position;    // window pixels from the client edge
    long long label; // picture pixels: the line's index x 100
};

// The grid lines along one axis of a client area `extent` pixels long, for a picture edge at
// `offset` and lines `step` pixels apart: from the first line at or after the client's edge to
// the last before `extent`. No lines for a step below one pixel.
std::vector<GridLine> gridLines(int offset, int step, int extent);
