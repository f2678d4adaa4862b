#pragma once

#include <QPointF>
#include <QRgb>

#include <algorithm>
#include <vector>

class Picture;

// A frame's brightness as numbers: the data values of a frame of values (FITS), otherwise each
// decoded pixel's brightest component. A coronagraph's colour table puts a grey level into one
// component whole (blue in C3's, red in C2's) and the others follow far behind, so that
// component is the level itself; their mean would dilute it with the others' compression
// noise and bend where the others come in. Positions are picture pixels,
// 0-based: pixel (i, j) covers [i, i + 1) x [j, j + 1) and its centre is (i + 0.5, j + 0.5).
inline float brightnessOf(QRgb pixel)
{
    return float(std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}));
}

class Brightness
{
public:
    explicit Brightness(const Picture& picture);
    int width() const { return m_width; }
    int height() const { return m_height; }
    // NaN outside the picture and where the frame has no value.
    float at(int x, int y) const;

private:
    const Picture& m_picture;
    int m_width;
    int m_height;
};

struct Centroid
{
    QPointF position; // picture pixels, as Brightness counts them
    bool refined;     // false: nothing stood above the background, and `position` is the click
    // The flux under the centroid's Gaussian window at `position` above the same window laid on
    // the sky around it, in sigmas of that sky's scatter; 0 when not refined.
    double significance = 0;
};

// The centre of the object under `clicked`: a background-subtracted, intensity-weighted
// centroid in a box of (2 `radius` + 1) pixels a side, re-centred until it moves less than 0.1
// pixel. The background and its noise come from the box's border (median and scaled median
// absolute deviation). A pixel standing alone above the noise (a cosmic-ray hit) counts as
// background. Falls back to the click when nothing stands above the noise or the centre would
// leave the first box.
Centroid refineCentroid(const Brightness& frame, QPointF clicked, int radius = 5);

// Below this a centroid's flux is what noise gives where the centroid has chased it.
inline constexpr double minSignificance = 5.0;
// Picture pixels: a centroid farther than this from where a fitted track puts the object has
// found something else.
inline constexpr double maxTrackOffset = 1.5;

// Whether `found`, a centroid started where a fitted track expects the object (`expected`), is
// a measurement in its own right: significant, and near the track. A track sums the signal of
// every frame; where a frame's own centroid is weak or has wandered off, the track's position is
// the better one to keep.
bool significantNear(const Centroid& found, QPointF expected);

// The centre to measure in a frame where a fitted track puts the object at `onTrack`: the
// centroid found there when `significantNear` holds, otherwise `onTrack` itself, not refined.
Centroid centroidOnTrack(const Brightness& frame, QPointF onTrack);
