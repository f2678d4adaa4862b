#include "analysis/sky/SkyGeometry.h"

#include "analysis/sky/SunDisc.h"
#include "analysis/sky/WorldCoordinates.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double degree = std::numbers::pi / 180;

// LASCO's radial distortion, in the camera's full-resolution pixels of 0.021 mm: a point r
// pixels from the centre is seen r + Δmm / 0.021 away, Δmm = mm (a0 + a1 mm² + a2 mm⁴).
struct Distortion
{
    double a0, a1, a2;
};

std::optional<Distortion> distortionOf(Camera camera)
{
    switch (camera) {
    case Camera::C2:
        return Distortion{0.0051344125, -0.00012233862, 1.0978595e-7};
    case Camera::C3:
        return Distortion{-0.0151657, 0.000165455, 0};
    default:
        return std::nullopt;
    }
}

double shift(const Distortion& d, double fullRadius)
{
    const double mm = 0.021 * fullRadius;
    return mm * (d.a0 + d.a1 * mm * mm + d.a2 * mm * mm * mm * mm) / 0.021;
}

} // namespace

std::optional<BrowseOptics> browseOptics(Camera camera)
{
    // The disc circle is 960" across in radius; the occulters' edges were measured on real
    // frames (C3 2013 and 2020, C2 2014). CCOR-1's come from its published optics: 2048 by 1920
    // pixels binned to the 1024 by 960 frames, 39" resolution, the field from 4 solar radii,
    // which the occulter's edge stands for; a disc circle, if its frames draw one, at 960".
    switch (camera) {
    case Camera::C2:
        return BrowseOptics{11.9, 80.5, 185};
    case Camera::C3:
        return BrowseOptics{56.0, 17.1, 76};
    case Camera::Ccor1:
        return BrowseOptics{39.0, 960 / 39.0, 4 * 960 / 39.0};
    case Camera::Ccor2: // its browse frames' scale is not measured yet
    case Camera::Punch: // FITS frames only, with their header's geometry
    case Camera::Unknown:
        break;
    }
    return std::nullopt;
}

double distortedRadius(const FrameGeometry& geometry, double trueRadius)
{
    const std::optional<Distortion> d = distortionOf(geometry.camera);
    if (!d || geometry.source != GeometrySource::Disc)
        return trueRadius;
    return trueRadius + shift(*d, trueRadius * geometry.binning) / geometry.binning;
}

double undistortedRadius(const FrameGeometry& geometry, double seenRadius)
{
    // Newton's steps on distortedRadius(r) = seen; the distortion changes slowly with r.
    double r = seenRadius;
    for (int i = 0; i < 8; ++i) {
        const double f = distortedRadius(geometry, r) - seenRadius;
        const double slope = (distortedRadius(geometry, r + 0.5) - distortedRadius(geometry, r - 0.5));
        if (std::abs(slope) < 1e-9)
            break;
        r -= f / slope;
    }
    return r;
}

SkyPoint skyPoint(const FrameGeometry& geometry, QPointF picture)
{
    if (geometry.world) {
        if (const std::optional<SkyPoint> sky = geometry.world->sky(picture))
            return *sky;
    }
    QPointF d = picture - geometry.sun;
    if (geometry.mirrored)
        d.setX(-d.x());
    const double seen = std::hypot(d.x(), d.y());
    SkyPoint sky;
    sky.elongation = undistortedRadius(geometry, seen) * geometry.arcsecPerPixel / solarRadiusArcsec;
    // Counter-clockwise from the picture's up (y grows downwards), then from solar north.
    const double fromUp = std::atan2(-d.x(), -d.y()) / degree;
    sky.positionAngle = std::fmod(fromUp - geometry.roll + 720.0, 360.0);
    return sky;
}

QPointF picturePoint(const FrameGeometry& geometry, const SkyPoint& sky)
{
    if (geometry.world) {
        if (const std::optional<QPointF> at = geometry.world->picture(sky))
            return *at;
    }
    const double r = distortedRadius(geometry, sky.elongation * solarRadiusArcsec / geometry.arcsecPerPixel);
    const double angle = (sky.positionAngle + geometry.roll) * degree;
    const double x = -r * std::sin(angle);
    return geometry.sun + QPointF(geometry.mirrored ? -x : x, -r * std::cos(angle));
}

FrameGeometry frameGeometry(const QImage& frame, const QHash<QString, QString>& keywords,
                            const FrameInfo& info)
{
    if (std::optional<FrameGeometry> header = headerGeometry(keywords, frame.size())) {
        header->camera = info.camera;
        return *header;
    }
    FrameGeometry geometry;
    geometry.camera = info.camera;
    geometry.orientation.size = frame.size();
    const std::optional<BrowseOptics> optics = browseOptics(info.camera);
    // LASCO's frames are square; CCOR-1's are 1024 by 960.
    const bool square = info.camera != Camera::Ccor1;
    if (!optics || frame.width() <= 0 || (square && frame.width() != frame.height()))
        return geometry;
    geometry.binning = 1024.0 / frame.width();
    const std::optional<DiscFit> disc =
        fitSolarDisc(frame, optics->discRadius / geometry.binning, optics->occulterRadius / geometry.binning);
    if (!disc)
        return geometry;
    geometry.source = GeometrySource::Disc;
    geometry.sun = disc->centre;
    geometry.residual = disc->residual;
    geometry.arcsecPerPixel = optics->arcsecPerPixel * geometry.binning;
    return geometry;
}
