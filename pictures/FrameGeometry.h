#pragma once

#include "pictures/FrameInfo.h"
#include "pictures/FrameOrientation.h"

#include <QPointF>

#include <memory>

// A FITS header's world coordinates, read by the sky's code (analysis/sky/WorldCoordinates.h);
// opaque here, where a frame only keeps them.
class WorldCoordinates;

// Where a frame looks: the sun's centre on the picture, the scale and the roll.

enum class GeometrySource
{
    None,   // neither a header nor a disc tells
    Header, // the FITS header's world coordinates
    Disc,   // the solar disc's circle (or the occulter's edge) fitted on the frame
};

struct FrameGeometry
{
    GeometrySource source = GeometrySource::None;
    QPointF sun;               // the sun's centre, picture pixels (pixel i covers [i, i + 1))
    double arcsecPerPixel = 0; // the picture's scale
    double roll = 0;           // degrees from the picture's up to solar north, counter-clockwise
    bool mirrored = false;     // east on the right of north, as in a picture turned over
    double residual = 0;       // the disc fit's RMS residual, pixels
    Camera camera = Camera::Unknown;
    double binning = 1; // the camera's full-resolution pixels per picture pixel (2 for 512 frames)
    // How the stored pixels the header's world coordinates count are shown; for a browse frame,
    // as stored.
    FrameOrientation orientation;
    // For a header's geometry, its whole world coordinates: the picture's positions in the sky go
    // through them, `sun`, `arcsecPerPixel`, `roll` and `mirrored` being their reading at the sun.
    std::shared_ptr<const WorldCoordinates> world;
    // The header's distortion tables (CPDIS 'LOOKUP', D2IMDIS), which wcslib does not read, were
    // left out: `world` is the linear WCS alone.
    bool linearOnly = false;
    bool known() const { return source != GeometrySource::None; }
};
