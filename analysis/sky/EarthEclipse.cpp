#include "analysis/sky/EarthEclipse.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The Earth's equatorial radius in astronomical units; the atmosphere that dims the edge of its
// shadow is left out.
constexpr double earthRadiusAu = 6378.137 / 1.495978707e8;
constexpr double arcsecPerRadian = 180 * 3600 / std::numbers::pi;

double length(const Vector3& v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

} // namespace

EarthDisc earthDisc(const Observer& observer, const QDateTime& time)
{
    const Vector3 earth = earthAt(time);
    const Vector3& o = observer.position;
    const Vector3 toSun{-o[0], -o[1], -o[2]};
    const Vector3 toEarth{earth[0] - o[0], earth[1] - o[1], earth[2] - o[2]};
    const double cosine = (toSun[0] * toEarth[0] + toSun[1] * toEarth[1] + toSun[2] * toEarth[2]) /
                          (length(toSun) * length(toEarth));
    const double distance = length(toEarth);
    EarthDisc disc;
    disc.separation = std::acos(std::clamp(cosine, -1.0, 1.0)) * arcsecPerRadian / solarRadiusArcsec;
    disc.radius = distance > earthRadiusAu
                      ? std::asin(earthRadiusAu / distance) * arcsecPerRadian / solarRadiusArcsec
                      : 1e9; // inside the Earth
    return disc;
}

bool earthInFrame(const FrameGeometry& geometry, QSize size, const QDateTime& time, const Observer& observer)
{
    if (!geometry.known() || !time.isValid() || size.isEmpty())
        return false;
    double field = 0;
    for (const QPointF corner : {QPointF(0, 0), QPointF(size.width(), 0), QPointF(0, size.height()),
                                 QPointF(size.width(), size.height())})
        field = std::max(field, skyPoint(geometry, corner).elongation);
    const EarthDisc earth = earthDisc(observer, time);
    return earth.separation - earth.radius < field;
}

bool eclipsedByEarth(const std::function<FrameGeometry()>& geometry, QSize size, const FrameInfo& info,
                     const QHash<QString, QString>& keywords)
{
    return info.camera == Camera::Ccor1 &&
           earthInFrame(geometry(), size, info.time, observerAt(info.camera, info.time, keywords));
}
