#pragma once

#include "analysis/sky/SkyGeometry.h"
#include "pictures/FrameOrientation.h"

#include <QHash>
#include <QPointF>
#include <QString>

#include <memory>
#include <mutex>
#include <optional>

struct wcsprm;

// A FITS header's world coordinates, kept with the frame's geometry: positions on the picture as
// shown to the sky and back through wcslib, the projection (TAN, ARC, AZP, ...), unequal scales,
// skew and whatever distortion wcslib reads from the header included. The stored pixels the
// header counts are turned into the picture's by the frame's orientation.
class WorldCoordinates
{
public:
    // Nothing without two axes that wcslib accepts. `cards`: the header as 80-character cards.
    static std::shared_ptr<const WorldCoordinates> parse(QByteArray cards,
                                                         const FrameOrientation& orientation);
    ~WorldCoordinates();
    WorldCoordinates(const WorldCoordinates&) = delete;
    WorldCoordinates& operator=(const WorldCoordinates&) = delete;

    // Solar X and Y (west and north of the sun's centre, arcseconds; for celestial axes the
    // helioprojective longitude and latitude) of a picture position, and the picture position of
    // solar X and Y. Nothing where the projection has no answer.
    std::optional<QPointF> solar(QPointF picture) const;
    std::optional<QPointF> picture(QPointF solar) const;
    // The same as elongation and position angle.
    std::optional<SkyPoint> sky(QPointF picture) const;
    std::optional<QPointF> picture(const SkyPoint& sky) const;

private:
    WorldCoordinates() = default;

    wcsprm* m_wcs = nullptr; // wcslib's array of `m_count`, the first used
    int m_count = 0;
    bool m_celestial = false;   // spherical axes (HPLN/HPLT), else a plane (LASCO's SOLAR-X/Y)
    double m_unitPerArcsec = 1; // the axes' unit in arcseconds
    FrameOrientation m_orientation;
    // wcslib's transformations write to the structure's work space: one at a time.
    mutable std::mutex m_lock;
};
