#pragma once

#include "pictures/FrameGeometry.h"
#include "pictures/FrameInfo.h"

#include <QHash>
#include <QImage>
#include <QPointF>

#include <optional>

// Where a frame looks in the sky: its geometry from the FITS header's world coordinates or
// measured on the frame itself, and positions in solar radii and position angle.

// Elongation in solar radii and position angle in degrees from solar north through east.
struct SkyPoint
{
    double elongation = 0;
    double positionAngle = 0; // [0, 360)
};

// The solar radius the readouts count in (the browse frames' disc circle), arcseconds.
inline constexpr double solarRadiusArcsec = 960;

// The browse frames' scale, disc and occulter radii for a camera, at 1024 pixels wide;
// nothing for a camera without them.
struct BrowseOptics
{
    double arcsecPerPixel;
    double discRadius;     // pixels
    double occulterRadius; // pixels
};
std::optional<BrowseOptics> browseOptics(Camera camera);

// LASCO's radial distortion about the sun's centre: the distance from it, in picture pixels, at
// which a point `trueRadius` pixels away in the sky is seen. Others' cameras: none.
double distortedRadius(const FrameGeometry& geometry, double trueRadius);
double undistortedRadius(const FrameGeometry& geometry, double seenRadius);

// Where a picture position lies in the sky, and where a sky position lies on the picture: through
// the header's whole world coordinates where the geometry has them, else about the sun's centre
// at the geometry's scale and roll, with the camera's distortion for a browse frame's fitted disc.
// The geometry must be known.
SkyPoint skyPoint(const FrameGeometry& geometry, QPointF picture);
QPointF picturePoint(const FrameGeometry& geometry, const SkyPoint& sky);

// The geometry of a FITS frame's header (keyword -> value as text) through wcslib, for a
// picture of `size` shown as the decoder shows the frame (FITS row 1 at the bottom, a frame taken
// turned half round turned back); nothing without world coordinates.
std::optional<FrameGeometry> headerGeometry(const QHash<QString, QString>& keywords, QSize size);

// The frame's geometry: its header's where it has one, else its disc's (or occulter's) for a
// LASCO or CCOR-1 browse frame, else none.
FrameGeometry frameGeometry(const QImage& frame, const QHash<QString, QString>& keywords,
                            const FrameInfo& info);
