#pragma once

#include "analysis/FrameRender.h"

#include <QImage>

#include <span>

// The difference composite: every later frame XOR the first, ORed together, so that whatever
// stayed the same turns black and whatever moved lights up. Frames are rendered at `layout`
// with the hidden channels masked, each against the first frame drawn at its own extent and size.

// Composes over `area` of `target` (black first); `work` and `reference` are scratch surfaces at
// least as large as `area`'s bottom-right corner. Needs two frames or more; with fewer, nothing
// is drawn.
void differenceComposite(std::span<const Picture* const> frames, const FrameLayout& layout, Channels channels,
                         Surface& target, const QRect& area, Surface& work, Surface& reference);

// The composite of `frames` at zoom 1 from the top-left corner, as large as the first frame (in
// pixels), for pictures sized in HIMETRIC for `dpiX` x `dpiY`;
// a null image with fewer than two frames.
QImage differenceComposite(std::span<const Picture* const> frames, int dpiX, int dpiY);
