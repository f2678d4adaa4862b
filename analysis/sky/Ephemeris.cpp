#include "analysis/sky/Ephemeris.h"

#include <erfa.h>

#include <cmath>
#include <functional>
#include <numbers>

namespace {

constexpr double degree = std::numbers::pi / 180;
constexpr double lightDayAu = 173.1446326846693; // the speed of light, au a day
constexpr double metresPerAu = 1.495978707e11;

Vector3 operator-(const Vector3& a, const Vector3& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Vector3 operator+(const Vector3& a, const Vector3& b)
{
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
Vector3 operator*(double k, const Vector3& a)
{
    return {k * a[0], k * a[1], k * a[2]};
}
double dot(const Vector3& a, const Vector3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vector3 cross(const Vector3& a, const Vector3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double length(const Vector3& a)
{
    return std::sqrt(dot(a, a));
}
Vector3 unit(const Vector3& a)
{
    return (1 / length(a)) * a;
}

// A Julian date in two parts, on the TT scale.
struct Date
{
    double day, fraction;
    Date later(double days) const { return {day, fraction + days}; }
};

Date terrestrial(const QDateTime& time, bool fromUtc)
{
    const QDateTime t = fromUtc ? time.toUTC() : time;
    const QDate d = t.date();
    const QTime c = t.time();
    double j1 = 0, j2 = 0;
    eraDtf2d(fromUtc ? "UTC" : "TT", d.year(), d.month(), d.day(), c.hour(), c.minute(),
             c.second() + c.msec() / 1000.0, &j1, &j2);
    if (!fromUtc)
        return {j1, j2};
    double tai1 = 0, tai2 = 0, tt1 = 0, tt2 = 0;
    eraUtctai(j1, j2, &tai1, &tai2);
    eraTaitt(tai1, tai2, &tt1, &tt2);
    return {tt1, tt2};
}

Vector3 earthOn(Date date, Vector3* barycentricVelocity = nullptr)
{
    double heliocentric[2][3], barycentric[2][3];
    eraEpv00(date.day, date.fraction, heliocentric, barycentric);
    if (barycentricVelocity)
        *barycentricVelocity = {barycentric[1][0], barycentric[1][1], barycentric[1][2]};
    return {heliocentric[0][0], heliocentric[0][1], heliocentric[0][2]};
}

Vector3 bodyOn(Body body, Date date)
{
    double pv[2][3];
    if (body == Body::Moon) {
        eraMoon98(date.day, date.fraction, pv);
        return earthOn(date) + Vector3{pv[0][0], pv[0][1], pv[0][2]};
    }
    // ERFA counts Mercury 1, Venus 2, the Earth-Moon barycentre 3, Mars 4 ... Neptune 8.
    eraPlan94(date.day, date.fraction, int(body) + (body >= Body::Mars ? 2 : 1), pv);
    return {pv[0][0], pv[0][1], pv[0][2]};
}

// The Sun's north pole (IAU: right ascension 286.13 degrees, declination 63.87 degrees).
Vector3 solarPole()
{
    return {std::cos(63.87 * degree) * std::cos(286.13 * degree),
            std::cos(63.87 * degree) * std::sin(286.13 * degree), std::sin(63.87 * degree)};
}

// A body's heliocentric place at a date.
using Place = std::function<Vector3(Date)>;

Place placeOf(Body body)
{
    return [body](Date date) { return bodyOn(body, date); };
}

Place placeOf(const CometElements& comet)
{
    return [comet](Date date) { return cometPlace(comet, date.day, date.fraction); };
}

// From `observer` to the body as seen at `date`: where it was when its light left.
Vector3 seenFrom(const Place& place, Date date, const Vector3& observer)
{
    Vector3 towards = place(date) - observer;
    for (int i = 0; i < 3; ++i)
        towards = place(date.later(-length(towards) / lightDayAu)) - observer;
    return towards;
}

// Where a body is seen relative to the sun: elongation and position angle from solar north.
SkyPoint skyOf(const Place& place, const QDateTime& time, const Observer& observer)
{
    return skyPointOf(seenFrom(place, terrestrial(time, true), observer.position), observer);
}

// GOES-19's place, 42,164 km from the Earth's centre in its equator, above 75.2 degrees west,
// turned by the sidereal time. UT1 is taken as UTC (under 2 km off) and the equator of date as
// J2000's (a few hundred km): well under an arcsecond for the nearest planet.
Vector3 geostationaryAt(const QDateTime& time)
{
    constexpr double radiusAu = 42164.2e3 / metresPerAu;
    constexpr double longitude = -75.2 * degree;
    const Date tt = terrestrial(time, true);
    const QDateTime utc = time.toUTC();
    double ut1 = 0, ut2 = 0;
    eraDtf2d("UTC", utc.date().year(), utc.date().month(), utc.date().day(), utc.time().hour(),
             utc.time().minute(), utc.time().second() + utc.time().msec() / 1000.0, &ut1, &ut2);
    const double angle = eraGmst06(ut1, ut2, tt.day, tt.fraction) + longitude;
    return earthOn(tt) + Vector3{radiusAu * std::cos(angle), radiusAu * std::sin(angle), 0};
}

} // namespace

QString bodyName(Body body)
{
    static const char* const names[] = {"Mercury", "Venus",  "Mars",    "Jupiter",
                                        "Saturn",  "Uranus", "Neptune", "Moon"};
    return QLatin1String(names[int(body)]);
}

Vector3 earthAt(const QDateTime& time)
{
    return earthOn(terrestrial(time, true));
}

Vector3 bodyAt(Body body, const QDateTime& time)
{
    return bodyOn(body, terrestrial(time, true));
}

Observer observerAt(Camera camera, const QDateTime& time, const QHash<QString, QString>& keywords)
{
    const Vector3 earth = earthAt(time);
    bool lon = false, lat = false, distance = false;
    const double hgln = keywords.value(QStringLiteral("HGLN_OBS")).toDouble(&lon);
    const double hglt = keywords.value(QStringLiteral("HGLT_OBS")).toDouble(&lat);
    const double dsun = keywords.value(QStringLiteral("DSUN_OBS")).toDouble(&distance);
    if (lon && lat && distance && dsun > 0) {
        // Stonyhurst: z the solar pole, x towards the Earth's foot on the solar equator.
        const Vector3 z = solarPole();
        const Vector3 x = unit(earth - dot(earth, z) * z);
        const Vector3 y = cross(z, x);
        const double r = dsun / metresPerAu;
        const double cl = std::cos(hglt * degree);
        return {r * cl * std::cos(hgln * degree) * x + r * cl * std::sin(hgln * degree) * y +
                    r * std::sin(hglt * degree) * z,
                ObserverPlace::Header};
    }
    if (camera == Camera::Ccor1)
        return {geostationaryAt(time), ObserverPlace::Geostationary};
    return {0.99 * earth, ObserverPlace::L1};
}

SkyPoint bodySky(Body body, const QDateTime& time, const Observer& observer)
{
    return skyOf(placeOf(body), time, observer);
}

SkyPoint cometSky(const CometElements& comet, const QDateTime& time, const Observer& observer)
{
    return skyOf(placeOf(comet), time, observer);
}

std::pair<double, double> apparentPlace(Body body, const QDateTime& terrestrialTime)
{
    const Date date = terrestrial(terrestrialTime, false);
    Vector3 velocity;
    const Vector3 earth = earthOn(date, &velocity);
    Vector3 natural = unit(seenFrom(placeOf(body), date, earth));
    // Annual aberration, then the bias, precession and nutation to the true equator of date.
    Vector3 v = (1 / lightDayAu) * velocity;
    double proper[3];
    eraAb(natural.data(), v.data(), length(earth), std::sqrt(1 - dot(v, v)), proper);
    double rnpb[3][3], ofDate[3];
    eraPnm06a(date.day, date.fraction, rnpb);
    for (int i = 0; i < 3; ++i)
        ofDate[i] = rnpb[i][0] * proper[0] + rnpb[i][1] * proper[1] + rnpb[i][2] * proper[2];
    double ra = 0, dec = 0;
    eraC2s(ofDate, &ra, &dec);
    return {eraAnp(ra) / degree, dec / degree};
}

std::vector<BodyInFrame> bodiesInFrame(const FrameGeometry& geometry, QSize size, const QDateTime& time,
                                       const Observer& observer, const std::vector<CometElements>& comets)
{
    std::vector<BodyInFrame> bodies;
    if (!geometry.known() || !time.isValid())
        return bodies;
    const auto place = [&](const QString& name, const SkyPoint& sky) {
        if (sky.elongation <= 1)
            return; // behind the Sun or on its disc
        const QPointF at = picturePoint(geometry, sky);
        if (at.x() >= 0 && at.y() >= 0 && at.x() < size.width() && at.y() < size.height())
            bodies.push_back({name, at});
    };
    for (const Body body : allBodies)
        place(bodyName(body), bodySky(body, time, observer));
    for (const CometElements& comet : comets)
        place(comet.designation, cometSky(comet, time, observer));
    return bodies;
}

namespace {

// The observer's axes on the sky: towards the sun, solar north square to it, and east.
struct SkyAxes
{
    Vector3 z, north, east;
};
SkyAxes skyAxes(const Observer& observer)
{
    SkyAxes axes;
    axes.z = unit(-1 * observer.position);
    const Vector3 pole = solarPole();
    axes.north = unit(pole - dot(pole, axes.z) * axes.z);
    axes.east = cross(axes.north, axes.z);
    return axes;
}

} // namespace

SkyPoint skyPointOf(const Vector3& towards, const Observer& observer)
{
    const SkyAxes axes = skyAxes(observer);
    const Vector3 across = towards - dot(towards, axes.z) * axes.z;
    SkyPoint sky;
    const double angle = std::atan2(length(across), dot(towards, axes.z));
    sky.elongation = angle / degree * 3600 / solarRadiusArcsec;
    sky.positionAngle =
        std::fmod(std::atan2(dot(across, axes.east), dot(across, axes.north)) / degree + 360.0, 360.0);
    return sky;
}

Vector3 skyDirection(const SkyPoint& sky, const Observer& observer)
{
    const SkyAxes axes = skyAxes(observer);
    const double angle = sky.elongation * solarRadiusArcsec / 3600 * degree;
    const double pa = sky.positionAngle * degree;
    return std::cos(angle) * axes.z +
           std::sin(angle) * (std::cos(pa) * axes.north + std::sin(pa) * axes.east);
}
