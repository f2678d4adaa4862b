// Where frames look in the sky: the disc fitted on real frames against centres measured
// without the program, FITS world coordinates read through wcslib, and the mapping between
// picture and sky with LASCO's distortion.
#include "Fixtures.h"
#include "SkyFixtures.h"

#include "analysis/sky/SkyGeometry.h"
#include "analysis/sky/SunDisc.h"

#include <QImage>
#include <QLineF>

#include <cmath>

#include <gtest/gtest.h>

namespace {

// A real LASCO C3 header of a frame taken while SOHO flew turned half round.
QHash<QString, QString> turnedC3()
{
    return header({{"CTYPE1", "SOLAR-X"},
                   {"CTYPE2", "SOLAR-Y"},
                   {"CUNIT1", "ARCSEC"},
                   {"CUNIT2", "ARCSEC"},
                   {"CRPIX1", "519.2"},
                   {"CRPIX2", "533.5"},
                   {"CDELT1", "56.0"},
                   {"CDELT2", "56.0"},
                   {"CROTA1", "-173.55"}});
}

FrameGeometry geometryOfFile(const QString& name)
{
    const QImage frame(fixture(QStringLiteral("sky/") + name));
    return frameGeometry(frame, {}, frameInfoFromName(name));
}

TEST(SkyGeometry, TheDiscOfRealFramesWithinHalfAPixel)
{
    const struct
    {
        const char* frame;
        QPointF centre; // measured independently (sky/README.md)
        double arcsecPerPixel;
    } cases[] = {
        {"20200925_0000_c3_1024.jpg", {505.99, 530.63}, 56.0},
        {"20140611_0000_c2.gif", {510.99, 504.64}, 11.9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        const FrameGeometry geometry = geometryOfFile(QLatin1String(c.frame));
        ASSERT_EQ(geometry.source, GeometrySource::Disc);
        EXPECT_LT(QLineF(geometry.sun, c.centre).length(), 0.5);
        EXPECT_LT(geometry.residual, 0.5);
        EXPECT_DOUBLE_EQ(geometry.arcsecPerPixel, c.arcsecPerPixel);
    }

    // Without its circle (asked for one of 40 pixels, which it has not) a frame's occulter stands
    // for the disc: on the 2020 frame it lies within a pixel of the circle's centre, and the 2013
    // frame finds the same centre at both sizes.
    const QImage c3(fixture(QStringLiteral("sky/20200925_0000_c3_1024.jpg")));
    const std::optional<DiscFit> occulter = fitSolarDisc(c3, 40, 76);
    ASSERT_TRUE(occulter && occulter->occulter);
    EXPECT_LT(QLineF(occulter->centre, {505.99, 530.63}).length(), 1.0);
    const FrameGeometry large = geometryOfFile(QStringLiteral("20130513_1654_c3_1024.jpg"));
    const FrameGeometry small = frameGeometry(QImage(fixture(lasco512Gif)), {},
                                              frameInfoFromName(QStringLiteral("20130513_1654_c3_512.gif")));
    ASSERT_TRUE(large.known() && small.known());
    EXPECT_LT(QLineF(large.sun, small.sun * 2).length(), 0.5);
    EXPECT_DOUBLE_EQ(small.arcsecPerPixel, 112.0);

    // A picture of something else has no disc, and says so.
    EXPECT_FALSE(frameGeometry(QImage(fixture(QStringLiteral("real/hubble_deep_field_1000x872.jpg"))), {},
                               FrameInfo{QDateTime(), false, Camera::C3})
                     .known());
}

// A CCOR-1 browse frame as the camera's published optics make it, 1024 by 960 or binned: the field
// lit from the occulter's edge at 4 solar radii outwards, the sun off the picture's middle.
QImage ccor1Frame(int width, QPointF sun)
{
    const int height = width * 960 / 1024;
    const double edge = 4 * 960 / 39.0 * width / 1024;
    QImage frame(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double light = 0; // a 4 by 4 sampling of the pixel, for the edge's partial pixels
            for (int s = 0; s < 16; ++s) {
                const double r = std::hypot(x + (s % 4 + 0.5) / 4 - sun.x(), y + (s / 4 + 0.5) / 4 - sun.y());
                light += r < edge ? 12 : 40 + 180 * (edge / r) * (edge / r);
            }
            const int v = int(light / 16 + ((x * 7 + y * 13) % 5) - 2);
            frame.setPixel(x, y, qRgb(v, v, v));
        }
    }
    return frame;
}

TEST(SkyGeometry, CcorFramesFromTheOcculterAtThePublishedScale)
{
    for (const int width : {1024, 512}) {
        SCOPED_TRACE(width);
        const QPointF sun = QPointF(517.3, 471.6) * width / 1024;
        const FrameGeometry geometry =
            frameGeometry(ccor1Frame(width, sun), {},
                          frameInfoFromName(QStringLiteral("20251001_1224_ccor1_1024by960.jpg")));
        ASSERT_EQ(geometry.source, GeometrySource::Disc);
        EXPECT_LT(QLineF(geometry.sun, sun).length(), 0.3);
        EXPECT_DOUBLE_EQ(geometry.arcsecPerPixel, 39.0 * 1024 / width);
        EXPECT_NEAR(skyPoint(geometry, geometry.sun + QPointF(0, -100.0 * width / 1024)).elongation,
                    100 * 39 / 960.0, 1e-9);
    }
    // A LASCO frame that is not square is not a browse frame.
    EXPECT_FALSE(frameGeometry(ccor1Frame(1024, {517.3, 471.6}), {},
                               frameInfoFromName(QStringLiteral("20251001_1224_c3_1024.jpg")))
                     .known());
}

TEST(SkyGeometry, FitsWorldCoordinatesThroughWcslib)
{
    // A 1024 x 1024 frame; FITS pixel (p1, p2) shows at (p1 - 0.5, 1024 - p2 + 0.5), or turned
    // back at (1024 - p1 + 0.5, p2 - 0.5).
    const struct
    {
        const char* what;
        QHash<QString, QString> keywords;
        QPointF sun;
        double scale, roll;
    } cases[] = {
        {"LASCO's SOLAR-X/Y, CDELT and CROTA1",
         header({{"CTYPE1", "SOLAR-X"},
                 {"CTYPE2", "SOLAR-Y"},
                 {"CUNIT1", "ARCSEC"},
                 {"CUNIT2", "ARCSEC"},
                 {"CRPIX1", "510.5"},
                 {"CRPIX2", "498.25"},
                 {"CRVAL1", "0"},
                 {"CRVAL2", "0"},
                 {"CDELT1", "56.0"},
                 {"CDELT2", "56.0"},
                 {"CROTA1", "0"}}),
         {510.0, 526.25},
         56.0,
         0.0},
        // Shown turned back, as the decoder shows such a frame: the sun's stored pixel turned
        // with it, and only the roll left after the half turn.
        {"LASCO C3 flying turned half round", turnedC3(), {505.3, 533.0}, 56.0, -6.45},
        {"a CD matrix turning north 30 degrees clockwise",
         header({{"CTYPE1", "SOLAR-X"},
                 {"CTYPE2", "SOLAR-Y"},
                 {"CUNIT1", "arcsec"},
                 {"CUNIT2", "arcsec"},
                 {"CRPIX1", "512"},
                 {"CRPIX2", "512"},
                 {"CD1_1", "10.30589"},
                 {"CD1_2", "-5.95"},
                 {"CD2_1", "5.95"},
                 {"CD2_2", "10.30589"}}),
         {511.5, 512.5},
         11.9,
         -30.0},
        {"helioprojective TAN axes in arcseconds",
         header({{"CTYPE1", "HPLN-TAN"},
                 {"CTYPE2", "HPLT-TAN"},
                 {"CUNIT1", "arcsec"},
                 {"CUNIT2", "arcsec"},
                 {"CRPIX1", "100"},
                 {"CRPIX2", "200"},
                 {"CRVAL1", "0"},
                 {"CRVAL2", "0"},
                 {"CDELT1", "11.9"},
                 {"CDELT2", "11.9"}}),
         {99.5, 824.5},
         11.9,
         0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<FrameGeometry> geometry = headerGeometry(c.keywords, QSize(1024, 1024));
        ASSERT_TRUE(geometry);
        EXPECT_LT(QLineF(geometry->sun, c.sun).length(), 0.01);
        EXPECT_NEAR(geometry->arcsecPerPixel, c.scale, 0.01);
        EXPECT_NEAR(geometry->roll, c.roll, 0.01);
    }
    EXPECT_FALSE(headerGeometry(header({{"DETECTOR", "C3"}}), QSize(1024, 1024)));
}

// A PUNCH-like header: helioprojective axes in degrees at 81" a pixel, the projection `code`.
QHash<QString, QString> punchHeader(const char* code,
                                    std::initializer_list<std::pair<const char*, const char*>> more)
{
    QHash<QString, QString> keywords = header({{"CUNIT1", "deg"},
                                               {"CUNIT2", "deg"},
                                               {"CRPIX1", "512.5"},
                                               {"CRPIX2", "512.5"},
                                               {"CDELT1", "0.0225"},
                                               {"CDELT2", "0.0225"}});
    keywords.insert(QStringLiteral("CTYPE1"), QStringLiteral("HPLN-%1").arg(QLatin1String(code)));
    keywords.insert(QStringLiteral("CTYPE2"), QStringLiteral("HPLT-%1").arg(QLatin1String(code)));
    for (const auto& [key, value] : more)
        keywords.insert(QLatin1String(key), QLatin1String(value));
    return keywords;
}

TEST(SkyGeometry, SkyPositionsGoThroughTheHeadersWholeWorldCoordinates)
{
    // Positions as offsets from the sun in picture pixels (x right, y down) and where they lie.
    const QHash<QString, QString> unequal = header({{"CTYPE1", "SOLAR-X"},
                                                    {"CTYPE2", "SOLAR-Y"},
                                                    {"CRPIX1", "512.5"},
                                                    {"CRPIX2", "512.5"},
                                                    {"CDELT1", "20"},
                                                    {"CDELT2", "10"}});
    const struct
    {
        const char* what;
        QHash<QString, QString> keywords;
        QPointF offset;
        double elongation, positionAngle; // solar radii, degrees
    } cases[] = {
        // Shown turned back, north 6.45 degrees left of up: 300 px up lies at PA 6.45.
        {"LASCO C3 turned half round", turnedC3(), {0, -300}, 300 * 56 / 960.0, 6.45},
        // Twice the scale across as down: the same 100 px are 2000" west but 1000" north.
        {"unequal scales, west", unequal, {100, 0}, 2000 / 960.0, 270},
        {"unequal scales, north", unequal, {0, -100}, 1000 / 960.0, 0},
        // A gnomonic projection: 700 px of 39" east on the plane are atan(27300") on the sky,
        // 0.6 % (4 px) short of the plane's distance.
        {"helioprojective TAN, far out",
         header({{"CTYPE1", "HPLN-TAN"},
                 {"CTYPE2", "HPLT-TAN"},
                 {"CUNIT1", "deg"},
                 {"CUNIT2", "deg"},
                 {"CRPIX1", "512.5"},
                 {"CRPIX2", "480.5"},
                 {"CDELT1", "0.0108333333333"},
                 {"CDELT2", "0.0108333333333"}}),
         {-700, 0},
         std::atan(27300.0 / 206264.806247) * 206264.806247 / 960,
         90},
        // PUNCH's mosaics at 81" a pixel: zenithal equidistant, 700 px are 56700" on the sky.
        {"helioprojective ARC", punchHeader("ARC", {}), {0, -700}, 700 * 81 / 960.0, 0},
        // NFI's zenithal perspective (mu 0.5): 10 degrees out lie (mu + 1) cos 80 / (mu + sin 80)
        // radians out on the plane.
        {"helioprojective AZP",
         punchHeader("AZP", {{"PV2_1", "0.5"}}),
         {0, 180 / M_PI * 1.5 * std::cos(80 * M_PI / 180) / (0.5 + std::sin(80 * M_PI / 180)) / 0.0225},
         36000 / 960.0,
         180},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<FrameGeometry> geometry = headerGeometry(c.keywords, QSize(1024, 1024));
        ASSERT_TRUE(geometry);
        const SkyPoint sky = skyPoint(*geometry, geometry->sun + c.offset);
        EXPECT_NEAR(sky.elongation, c.elongation, 1e-6);
        EXPECT_NEAR(std::remainder(sky.positionAngle - c.positionAngle, 360.0), 0, 1e-6);
        EXPECT_LT(QLineF(picturePoint(*geometry, sky), geometry->sun + c.offset).length(), 1e-6);
        EXPECT_FALSE(geometry->linearOnly);
    }
    // Distortion lookup tables, which wcslib does not read: the linear WCS, and said so.
    const std::optional<FrameGeometry> linear = headerGeometry(
        punchHeader("ARC",
                    {{"CPDIS1", "LOOKUP"}, {"DP1", "EXTVER: 1"}, {"CPDIS2", "LOOKUP"}, {"DP2", "EXTVER: 2"}}),
        QSize(1024, 1024));
    ASSERT_TRUE(linear);
    EXPECT_TRUE(linear->linearOnly);
    EXPECT_NEAR(skyPoint(*linear, linear->sun + QPointF(0, -700)).elongation, 700 * 81 / 960.0, 1e-6);
}

TEST(SkyGeometry, PictureAndSkyMapBothWaysThroughTheDistortion)
{
    const FrameGeometry c2 = knownGeometry(GeometrySource::Disc, Camera::C2, {511, 505}, 11.9);
    FrameGeometry c3 = c2;
    c3.camera = Camera::C3;
    c3.arcsecPerPixel = 56;
    FrameGeometry c3small = c3;
    c3small.binning = 2;
    // 500 full-resolution pixels from the centre: about -3.5 px in C2, +1.5 px in C3, halved at 512.
    EXPECT_NEAR(distortedRadius(c2, 500) - 500, -3.5, 0.1);
    EXPECT_NEAR(distortedRadius(c3, 500) - 500, 1.5, 0.1);
    EXPECT_NEAR(distortedRadius(c3small, 250) - 250, 0.75, 0.05);

    // North is up and east to the left: PA 90 lies left of the sun.
    const QPointF east = picturePoint(c3, {10, 90});
    EXPECT_LT(east.x(), c3.sun.x() - 150);
    EXPECT_NEAR(east.y(), c3.sun.y(), 1e-6);
    c3.roll = 20;
    for (const FrameGeometry& g : {c2, c3, c3small}) {
        for (const SkyPoint sky : {SkyPoint{2.5, 0}, SkyPoint{7, 123.4}, SkyPoint{25, 301}}) {
            const SkyPoint back = skyPoint(g, picturePoint(g, sky));
            EXPECT_NEAR(back.elongation, sky.elongation, 1e-6);
            EXPECT_NEAR(back.positionAngle, sky.positionAngle, 1e-6);
        }
    }
}

} // namespace
