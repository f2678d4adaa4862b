#pragma once

#include "analysis/sky/CometOrbit.h"
#include "analysis/sky/SkyGeometry.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// The planets, the Moon and known comets as SOHO sees them, from ERFA's ephemerides (eraPlan94,
// eraEpv00, eraMoon98) and two-body orbits. Positions are heliocentric in the ICRS's axes (the mean equator
// and equinox of J2000.0), in astronomical units.

using Vector3 = std::array<double, 3>;

enum class Body
{
    Mercury,
    Venus,
    Mars,
    Jupiter,
    Saturn,
    Uranus,
    Neptune,
    Moon,
};
inline constexpr Body allBodies[] = {Body::Mercury, Body::Venus,  Body::Mars,    Body::Jupiter,
                                     Body::Saturn,  Body::Uranus, Body::Neptune, Body::Moon};

// The body's English name ("Mercury").
QString bodyName(Body body);

// Whence the observer's place is known.
enum class ObserverPlace
{
    Header,        // the frame's HGLN_OBS, HGLT_OBS and DSUN_OBS
    L1,            // SOHO taken at 0.99 of the Earth's heliocentric position
    Geostationary, // GOES-19 over the equator at 75.2 degrees west
};

// Where the observer stood, and whence that is known.
struct Observer
{
    Vector3 position{}; // heliocentric, au
    ObserverPlace place = ObserverPlace::L1;
};

// The camera's spacecraft at `time` (UTC): from the header's Stonyhurst longitude, latitude and
// distance where it gives them; else GOES-19 on its geostationary orbit for CCOR-1, and SOHO at
// L1 (0.99 of the Earth's heliocentric position, about 0.01 au sunward) for LASCO and any other.
Observer observerAt(Camera camera, const QDateTime& time, const QHash<QString, QString>& keywords = {});

// The sky point of a direction from `observer` (any length), and the unit direction of a sky point.
SkyPoint skyPointOf(const Vector3& towards, const Observer& observer);
Vector3 skyDirection(const SkyPoint& sky, const Observer& observer);

// Heliocentric positions at `time` (UTC).
Vector3 earthAt(const QDateTime& time);
Vector3 bodyAt(Body body, const QDateTime& time);

// Where the body is seen from `observer` at `time`, light time allowed for, relative to the sun:
// elongation in solar radii and position angle from solar north (the IAU pole) through east.
SkyPoint bodySky(Body body, const QDateTime& time, const Observer& observer);

// The body's apparent right ascension and declination from the Earth's centre (true equator and
// equinox of date, aberration and light time allowed for), degrees: the almanacs' figures.
std::pair<double, double> apparentPlace(Body body, const QDateTime& terrestrialTime);

// The same for a known comet, from its orbital elements.
SkyPoint cometSky(const CometElements& comet, const QDateTime& time, const Observer& observer);

// The planets and known comets in a frame's field: each with its name and picture position (the
// distortion applied), where it falls on the picture beyond the sun's limb.
struct BodyInFrame
{
    QString name; // "Mercury", or the comet's designation
    QPointF position;
};
std::vector<BodyInFrame> bodiesInFrame(const FrameGeometry& geometry, QSize size, const QDateTime& time,
                                       const Observer& observer,
                                       const std::vector<CometElements>& comets = {});
