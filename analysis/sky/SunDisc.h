#pragma once

#include <QImage>
#include <QPointF>

#include <optional>

// A circle fitted to a browse frame: the solar disc's white circle, or where a frame has none,
// the occulter's edge (the dark disc in the middle of the field, centred on the sun to a few
// pixels).
struct DiscFit
{
    QPointF centre;        // picture pixels: pixel i covers [i, i + 1)
    double radius = 0;     // pixels
    double residual = 0;   // RMS distance of the edge points from the circle, pixels
    bool occulter = false; // fitted to the occulter's edge
};

// Fits the white circle of about `discRadius` pixels that browse frames draw for the solar disc
// near the middle of the frame, to a fraction of a pixel; where there is none, the edge of the
// occulter of about `occulterRadius` pixels. Nothing when neither is found.
std::optional<DiscFit> fitSolarDisc(const QImage& frame, double discRadius, double occulterRadius);
