#pragma once

#include <QRect>
#include <QRgb>
#include <QSize>

class Picture;
class Surface;

// The colour channels shown; a hidden channel is masked off every rendered frame.
struct Channels
{
    bool red = true;
    bool green = true;
    bool blue = true;

    // The AND mask of the hidden channels (cyan removes red, magenta green, yellow blue; the
    // masks compose); all ones when every channel shows.
    QRgb mask() const;
    bool operator==(const Channels&) const = default;
};

// Where frames stand on a target surface and how large: the top-left corner in target pixels,
// the zoom, and the resolution (pixels per inch) that turns a picture's HIMETRIC size into
// pixels. One layout serves every frame of a sequence.
struct FrameLayout
{
    int offsetX = 0;
    int offsetY = 0;
    double zoom = 1.0;
    int dpiX = 96;
    int dpiY = 96;

    // The frame's displayed (zoomed) size in target pixels.
    QSize displayedSize(const Picture& picture) const;
    // The part of `area` the frame covers.
    QRect shownPart(const Picture& picture, const QRect& area) const;
};

// ANDs the mask of the hidden channels into every pixel of `area` (nothing when all show).
void maskChannels(Surface& surface, const QRect& area, Channels channels);

// Renders `picture` upright at the layout into `area` of `target`, on black, and masks the
// hidden channels. Returns whether the picture drew; a failed render leaves `area` black.
bool renderFrame(const Picture& picture, const FrameLayout& layout, Channels channels, Surface& target,
                 const QRect& area);

// Renders `reference` with the extent and displayed size of `frame`, so that the two line up
// pixel for pixel whatever their own sizes; black wherever the reference draws nothing.
void renderReference(const Picture& reference, const Picture& frame, const FrameLayout& layout,
                     Channels channels, Surface& target, const QRect& area);
