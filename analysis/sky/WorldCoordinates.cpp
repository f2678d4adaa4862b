#include "analysis/sky/WorldCoordinates.h"

#include <wcshdr.h>
#include <wcslib.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double degree = std::numbers::pi / 180;
constexpr double arcsec = degree / 3600;

} // namespace

std::shared_ptr<const WorldCoordinates> WorldCoordinates::parse(QByteArray cards,
                                                                const FrameOrientation& orientation)
{
    std::shared_ptr<WorldCoordinates> world(new WorldCoordinates);
    int rejected = 0;
    if (wcspih(cards.data(), int(cards.size() / 80), WCSHDR_all, 0, &rejected, &world->m_count,
               &world->m_wcs) != 0 ||
        world->m_count < 1)
        return nullptr;
    wcsprm& wcs = world->m_wcs[0];
    if (wcs.naxis != 2 || wcsset(&wcs) != 0)
        return nullptr;
    // Celestial axes come in degrees; others in their header's unit, arcseconds for LASCO's
    // SOLAR-X/Y, or degrees or minutes where the header says so.
    const QString unit = QString::fromLatin1(wcs.cunit[0]).trimmed().toLower();
    world->m_celestial = wcs.lng >= 0;
    if (world->m_celestial || unit == QLatin1String("deg"))
        world->m_unitPerArcsec = 1.0 / 3600;
    else if (unit == QLatin1String("arcmin"))
        world->m_unitPerArcsec = 1.0 / 60;
    world->m_orientation = orientation;
    return world;
}

WorldCoordinates::~WorldCoordinates()
{
    if (m_wcs)
        wcsvfree(&m_count, &m_wcs);
}

std::optional<QPointF> WorldCoordinates::solar(QPointF picture) const
{
    const QPointF fits = fitsFromShown(m_orientation, picture);
    double pixel[2] = {fits.x(), fits.y()}, img[2], phi, theta, world[2];
    int status = 0;
    const std::lock_guard lock(m_lock);
    if (wcsp2s(m_wcs, 1, 2, pixel, img, &phi, &theta, world, &status) != 0)
        return std::nullopt;
    // Longitude in (-180, 180]: the sun's west is small and positive, its east small and negative.
    double x = world[0];
    if (m_celestial)
        x = std::remainder(x, 360.0);
    return QPointF(x / m_unitPerArcsec, world[1] / m_unitPerArcsec);
}

std::optional<QPointF> WorldCoordinates::picture(QPointF solar) const
{
    double world[2] = {solar.x() * m_unitPerArcsec, solar.y() * m_unitPerArcsec}, phi, theta, img[2],
           pixel[2];
    int status = 0;
    const std::lock_guard lock(m_lock);
    if (wcss2p(m_wcs, 1, 2, world, &phi, &theta, img, pixel, &status) != 0)
        return std::nullopt;
    return shownFromFits(m_orientation, {pixel[0], pixel[1]});
}

std::optional<SkyPoint> WorldCoordinates::sky(QPointF picture) const
{
    const std::optional<QPointF> xy = solar(picture);
    if (!xy)
        return std::nullopt;
    // West is solar X, north solar Y; the position angle runs from north through east.
    double elongation = std::hypot(xy->x(), xy->y()), east = -xy->x(), north = xy->y();
    if (m_celestial) {
        // On the sphere: the direction's cosines towards the west, the north and the sun.
        const double tx = xy->x() * arcsec, ty = xy->y() * arcsec;
        elongation = std::acos(std::clamp(std::cos(ty) * std::cos(tx), -1.0, 1.0)) / arcsec;
        east = -std::cos(ty) * std::sin(tx);
        north = std::sin(ty);
    }
    SkyPoint point;
    point.elongation = elongation / solarRadiusArcsec;
    point.positionAngle = std::fmod(std::atan2(east, north) / degree + 360.0, 360.0);
    return point;
}

std::optional<QPointF> WorldCoordinates::picture(const SkyPoint& sky) const
{
    const double rho = sky.elongation * solarRadiusArcsec, psi = sky.positionAngle * degree;
    QPointF xy(-rho * std::sin(psi), rho * std::cos(psi));
    if (m_celestial) {
        const double r = rho * arcsec;
        xy = QPointF(std::atan2(-std::sin(r) * std::sin(psi), std::cos(r)),
                     std::asin(std::sin(r) * std::cos(psi))) /
             arcsec;
    }
    return picture(xy);
}
