// Where a candidate's track lies in the sky: start and end, whether it heads for the sun, and
// the planet it keeps near on a real frame.
#include "Fixtures.h"
#include "SkyFixtures.h"

#include "model/CandidateSky.h"
#include "pictures/LoadPictureFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(CandidateSky, HeadsForTheSunWithinSixtyDegreesOfIt)
{
    const struct
    {
        SkyPoint start, end;
        bool heads;
    } cases[] = {
        {{10, 90}, {8, 90}, true},                                // straight in
        {{8, 90}, {10, 90}, false},                               // straight out
        {{10, 90}, {10, 100}, false},                             // across
        {{10, 90}, {9, 95}, true},                                // in at about 40 degrees
        {{10, 90}, {9.6, 105}, false}, {{5, 90}, {5, 90}, false}, // standing still
    };
    for (const auto& c : cases)
        EXPECT_EQ(headsForSun(c.start, c.end), c.heads) << c.end.elongation << " " << c.end.positionAngle;
}

TEST(CandidateSky, ATrackOnMarsIsMarkedWithItsName)
{
    // The 2013 C3 frame twice, 12 minutes apart, placed as its header places it (solar north
    // down; see the fixtures' sky/README.md).
    QTemporaryDir dir;
    SkyrakeWork work;
    const FrameGeometry geometry = c3Of20130513();
    for (const char* name : {"20130513_1654_c3_1024.jpg", "20130513_1706_c3_1024.jpg"}) {
        const QString path = dir.filePath(QLatin1String(name));
        ASSERT_TRUE(QFile::copy(fixture(QStringLiteral("sky/20130513_1654_c3_1024.jpg")), path));
        LoadResult loaded = LoadPictureFile(path, 96, 96);
        ASSERT_TRUE(loaded);
        auto item = std::make_unique<CPictureItem>(std::move(loaded->picture), loaded->name, path);
        item->m_geometry = geometry;
        work.appendPicture(std::move(item));
    }
    const TrackSky onMars = trackSky(work, {QPointF(135.5, 570.0), QPointF(134, 571)});
    EXPECT_EQ(onMars.nearBody, QStringLiteral("Mars"));
    ASSERT_TRUE(onMars.start && onMars.end);
    EXPECT_NEAR(onMars.start->elongation, 22.0, 0.5);
    EXPECT_NEAR(onMars.start->positionAngle, 275, 2);
    EXPECT_FALSE(onMars.headsForSun);
    // Near a known comet the observer gave: named by its designation.
    EXPECT_TRUE(work.setKnownComets(
                        QStringLiteral("# sungrazers\n    CK13J010  2013 05 13.5000  0.005549  0.999929   "
                                       "53.5479  326.3788  134.3596  20130513  13.5  4.0  C/2013 J1 (Test)"))
                    .isEmpty());
    const QDateTime time(QDate(2013, 5, 13), QTime(16, 54), Qt::UTC);
    const QPointF comet =
        picturePoint(geometry, cometSky(work.knownComets().front(), time, observerAt(Camera::C3, time)));
    EXPECT_EQ(trackSky(work, {comet + QPointF(6, 6), comet}).nearBody, QStringLiteral("C/2013 J1 (Test)"));
    // Away from the planets, and heading in.
    const TrackSky inward = trackSky(work, {QPointF(300, 300), QPointF(320, 320)});
    EXPECT_TRUE(inward.nearBody.isEmpty());
    EXPECT_TRUE(inward.headsForSun);
}

} // namespace
