// The planets from ERFA against published places, and on a real LASCO frame where they are.
#include "Fixtures.h"
#include "SkyFixtures.h"

#include "analysis/sky/EarthEclipse.h"
#include "analysis/sky/Ephemeris.h"
#include "analysis/sky/SecondCamera.h"

#include <QImage>
#include <QLineF>

#include <cmath>

#include <gtest/gtest.h>

namespace {

TEST(Ephemeris, ApparentPlacesAgreeWithThePublishedOnes)
{
    // Jean Meeus, Astronomical Algorithms, 2nd ed. (Willmann-Bell 1998): example 33.a (Venus) and
    // example 47.a (the Moon), apparent right ascension and declination, at 0h TD.
    const struct
    {
        Body body;
        QDate date;
        double ra, dec; // degrees
    } published[] = {
        {Body::Venus, {1992, 12, 20}, (21 + 4 / 60.0 + 41.454 / 3600) * 15, -(18 + 53 / 60.0 + 16.84 / 3600)},
        {Body::Moon, {1992, 4, 12}, 134.688470, 13.768368},
    };
    for (const auto& p : published) {
        SCOPED_TRACE(bodyName(p.body).toStdString());
        const auto [ra, dec] = apparentPlace(p.body, QDateTime(p.date, QTime(0, 0), Qt::UTC));
        EXPECT_LT(std::abs(ra - p.ra) * std::cos(dec * M_PI / 180) * 3600, 30);
        EXPECT_LT(std::abs(dec - p.dec) * 3600, 30);
    }
}

TEST(Ephemeris, MercuryAndMarsOnARealC3Frame)
{
    const QImage frame(fixture(QStringLiteral("sky/20130513_1654_c3_1024.jpg")));
    const FrameGeometry geometry = c3Of20130513();

    // Where the planets are on the frame, measured on its pixels (the saturated cores' middles);
    // SOHO taken at 0.99 of the Earth's place.
    const QDateTime time(QDate(2013, 5, 13), QTime(16, 54, 6), Qt::UTC);
    const Observer soho = observerAt(Camera::C3, time);
    EXPECT_EQ(soho.place, ObserverPlace::L1);
    const std::vector<BodyInFrame> bodies = bodiesInFrame(geometry, frame.size(), time, soho);
    ASSERT_EQ(bodies.size(), 2u);
    EXPECT_EQ(bodies[0].name, QStringLiteral("Mercury"));
    EXPECT_LT(QLineF(bodies[0].position, QPointF(650.3, 544.0)).length(), 3);
    EXPECT_EQ(bodies[1].name, QStringLiteral("Mars"));
    EXPECT_LT(QLineF(bodies[1].position, QPointF(135.5, 570.0)).length(), 12);
}

TEST(Ephemeris, TheObserversPlaceFromTheHeaderOrTheSpacecraftsOrbit)
{
    // Longitude 0 at the Earth's own heliographic latitude and 0.99 of its distance: 0.99 of the
    // Earth's place, as taken without a header.
    const QDateTime time(QDate(2020, 9, 25), QTime(0, 0), Qt::UTC);
    const Vector3 earth = earthAt(time);
    const double distance = std::sqrt(earth[0] * earth[0] + earth[1] * earth[1] + earth[2] * earth[2]);
    const double poleRa = 286.13 * M_PI / 180, poleDec = 63.87 * M_PI / 180;
    const double latitude =
        std::asin((earth[0] * std::cos(poleDec) * std::cos(poleRa) +
                   earth[1] * std::cos(poleDec) * std::sin(poleRa) + earth[2] * std::sin(poleDec)) /
                  distance);
    const Observer soho = observerAt(
        Camera::C3, time,
        {{QStringLiteral("HGLN_OBS"), QStringLiteral("0")},
         {QStringLiteral("HGLT_OBS"), QString::number(latitude * 180 / M_PI, 'g', 12)},
         {QStringLiteral("DSUN_OBS"), QString::number(0.99 * distance * 1.495978707e11, 'g', 12)}});
    EXPECT_EQ(soho.place, ObserverPlace::Header);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(soho.position[size_t(i)], 0.99 * earth[size_t(i)], 1e-9);

    // GOES-19 is 42,164 km from the Earth's centre over 75.2 degrees west: sunward near that
    // meridian's noon, 17:01 UT, and behind the Earth twelve hours later (the sun near the equator).
    for (const auto& [hour, towardsSun] : {std::pair{17, true}, {5, false}}) {
        const QDateTime at(QDate(2025, 9, 23), QTime(hour, 1), Qt::UTC);
        const Observer goes = observerAt(Camera::Ccor1, at);
        EXPECT_EQ(goes.place, ObserverPlace::Geostationary);
        const Vector3 centre = earthAt(at);
        const Vector3 off{goes.position[0] - centre[0], goes.position[1] - centre[1],
                          goes.position[2] - centre[2]};
        const double km = std::sqrt(off[0] * off[0] + off[1] * off[1] + off[2] * off[2]) * 1.495978707e8;
        EXPECT_NEAR(km, 42164.2, 0.1);
        const double cosine =
            -(off[0] * centre[0] + off[1] * centre[1] + off[2] * centre[2]) /
            (km / 1.495978707e8 *
             std::sqrt(centre[0] * centre[0] + centre[1] * centre[1] + centre[2] * centre[2]));
        EXPECT_GT(towardsSun ? cosine : -cosine, std::cos(5 * M_PI / 180));
    }
}

TEST(Ephemeris, TheEarthInCcor1sFieldAroundTheEquinoxesMidnight)
{
    // GOES-19 over 75.2 degrees west passes behind the Earth around 05:01 UT; the Earth's disc
    // there is 8.7 degrees in radius, and a 1024 by 960 frame at 39" reaches 7.6 degrees out.
    const FrameGeometry ccor1 = knownGeometry(GeometrySource::Disc, Camera::Ccor1, {512, 480}, 39);
    const QSize size(1024, 960);
    const struct
    {
        const char* time;
        bool inField;
    } cases[] = {
        {"2025-09-23T05:01:00", true},  // the Earth before the sun
        {"2025-09-23T04:20:00", true},  // its limb across the field
        {"2025-09-23T03:30:00", false}, // 22 degrees along the orbit: clear
        {"2025-09-23T17:01:00", false}, // the Earth behind the spacecraft
        {"2025-06-21T05:01:00", false}, // the solstice: the sun 23 degrees above the Earth
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        QDateTime time = QDateTime::fromString(QLatin1String(c.time), Qt::ISODate);
        time.setTimeSpec(Qt::UTC);
        EXPECT_EQ(earthInFrame(ccor1, size, time, observerAt(Camera::Ccor1, time)), c.inField);
    }
    // From L1 the Earth is behind SOHO, always.
    const QDateTime equinox(QDate(2025, 9, 23), QTime(5, 1), Qt::UTC);
    EXPECT_GT(earthDisc(observerAt(Camera::C3, equinox), equinox).separation, 600);
}

TEST(Ephemeris, ASungrazerSeenFromL1IsFoundFromGeostationaryOrbitNearTheSun)
{
    // C/2011 W3 (Lovejoy) on its way in: seen by C3 from L1, where would CCOR-1 see it from
    // GOES-19? Its place taken in the plane through the sun square to C3's line of sight, against
    // its place from its orbit. L1 lies 0.01 au sunward of the Earth, nearly along the line of
    // sight, and GOES-19 0.0003 au off it: the parallax is 35-110" here (one to three CCOR-1
    // pixels), and what the plane leaves of it a few arcseconds.
    const std::optional<CometElements> lovejoy = cometFromLine(
        QStringLiteral("    CK11W030  2011 12 16.0142  0.005549  0.999929   53.5479  326.3788  134.3596  "
                       "20111216  13.5  4.0  C/2011 W3 (Lovejoy)"));
    ASSERT_TRUE(lovejoy);
    const auto apart = [](const SkyPoint& a, const SkyPoint& b, const Observer& o) {
        const Vector3 u = skyDirection(a, o), v = skyDirection(b, o);
        const double c = u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
        return std::acos(std::min(1.0, c)) * 180 / M_PI * 3600;
    };
    for (const int hours : {-12, -6, -2}) {
        SCOPED_TRACE(hours);
        const QDateTime time = lovejoy->perihelion.addSecs(hours * 3600);
        const Observer soho = observerAt(Camera::C3, time), goes = observerAt(Camera::Ccor1, time);
        const SkyPoint fromSoho = cometSky(*lovejoy, time, soho), truth = cometSky(*lovejoy, time, goes);
        const Vector3 place = placeNearSun(fromSoho, soho);
        const SkyPoint expected = skyPointOf(
            {place[0] - goes.position[0], place[1] - goes.position[1], place[2] - goes.position[2]}, goes);
        EXPECT_LT(apart(expected, truth, goes), 10);
        EXPECT_GT(apart(fromSoho, truth, goes), 3 * apart(expected, truth, goes)); // the parallax matters
        // Its place in the sky round trips through the observer's axes.
        const SkyPoint back = skyPointOf(skyDirection(truth, goes), goes);
        EXPECT_NEAR(back.elongation, truth.elongation, 1e-9);
        EXPECT_NEAR(back.positionAngle, truth.positionAngle, 1e-7);
    }
}

} // namespace
