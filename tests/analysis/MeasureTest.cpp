// Measuring without a widget: the centroid on seeded noisy spots, when a track's position is kept
// instead, the track fit and its flags, and the Sungrazer report's text.
#include "analysis/Centroid.h"
#include "analysis/SungrazerReport.h"
#include "analysis/search/MoverSearch.h"
#include "platform/Picture.h"
#include "sample/SequenceMaker.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

namespace {

// A grey frame 64 pixels a side: background 40, Gaussian noise of `noise` levels, a round
// Gaussian spot (sigma 1.5 pixels) of `peak` levels centred at `centre`, JPEG-compressed.
Picture spotFrame(std::mt19937& random, QPointF centre, double peak, double noise = 4.0)
{
    std::normal_distribution<double> grain(0, noise);
    QImage pixels(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const double dx = x + 0.5 - centre.x();
            const double dy = y + 0.5 - centre.y();
            const double v = 40 + peak * std::exp(-(dx * dx + dy * dy) / (2 * 1.5 * 1.5)) + grain(random);
            const int level = std::clamp(int(std::lround(v)), 0, 255);
            pixels.setPixel(x, y, qRgb(level, level, level));
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    pixels.save(&buffer, "JPEG", 85);
    return Picture(QImage::fromData(jpeg, "JPEG"), 1, 1);
}

TEST(Centroid, FindsNoisySpotsWithinAThirdOfAPixel)
{
    struct Case
    {
        double peakInNoise;
        double medianError; // pixels, at most
    };
    for (const Case c : {Case{5.0, 0.3}, Case{10.0, 0.15}}) {
        std::mt19937 random(20261208);
        std::uniform_real_distribution<double> within(0, 1);
        std::vector<double> errors;
        for (int trial = 0; trial < 200; ++trial) {
            const QPointF truth(28 + 8 * within(random), 28 + 8 * within(random));
            const Picture frame = spotFrame(random, truth, 4.0 * c.peakInNoise);
            // The observer's click lands up to a pixel and a half off.
            const QPointF click = truth + QPointF(3 * within(random) - 1.5, 3 * within(random) - 1.5);
            const Centroid found = refineCentroid(Brightness(frame), click);
            ASSERT_TRUE(found.refined) << trial;
            errors.push_back(std::hypot(found.position.x() - truth.x(), found.position.y() - truth.y()));
        }
        std::sort(errors.begin(), errors.end());
        EXPECT_LE(errors[errors.size() / 2], c.medianError) << c.peakInNoise << " x noise";
        EXPECT_LE(errors[errors.size() * 9 / 10], 2 * c.medianError) << c.peakInNoise << " x noise";
    }
}

TEST(Centroid, FallsBackToTheClickOnEmptySkyAndIgnoresACosmicRayHit)
{
    std::mt19937 random(7);
    const Picture sky = spotFrame(random, {32, 32}, 0.0);
    const Centroid empty = refineCentroid(Brightness(sky), {30.2, 31.7});
    EXPECT_FALSE(empty.refined);
    EXPECT_EQ(empty.position, QPointF(30.2, 31.7));

    // A lone saturated pixel on empty sky is no object...
    QImage hit = sky.decoded();
    hit.setPixel(33, 30, qRgb(255, 255, 255));
    EXPECT_FALSE(refineCentroid(Brightness(Picture(hit, 1, 1)), {32, 31}).refined);
    // ... nor does it pull a real one's centre.
    const Picture spot = spotFrame(random, {30.5, 30.5}, 40.0);
    QImage both = spot.decoded();
    both.setPixel(34, 33, qRgb(255, 255, 255));
    const Centroid found = refineCentroid(Brightness(Picture(both, 1, 1)), {31, 31});
    ASSERT_TRUE(found.refined);
    EXPECT_LT(std::hypot(found.position.x() - 30.5, found.position.y() - 30.5), 0.3);
}

TEST(Centroid, IsTakenOnATrackOnlyWhereItIsSignificantAndNearTheTrack)
{
    struct Case
    {
        const char* what;
        double peakInNoise;
        QPointF offset;     // of the spot from the track's position, pixels
        bool hit;           // a lone saturated pixel at the track's position
        double least, most; // share of trials in which the centroid is taken
    };
    const Case cases[] = {
        {"a clear spot on the track", 8.0, {0.6, -0.4}, false, 0.95, 1.0},
        {"noise alone", 0.0, {}, false, 0.0, 0.05},
        {"a cosmic-ray hit on noise", 0.0, {}, true, 0.0, 0.05},
        {"a clear spot off the track", 8.0, {2.2, 1.0}, false, 0.0, 0.05},
    };
    for (const Case& c : cases) {
        std::mt19937 random(31);
        std::uniform_real_distribution<double> within(0, 1);
        int taken = 0;
        constexpr int trials = 60;
        for (int trial = 0; trial < trials; ++trial) {
            const QPointF track(28 + 8 * within(random), 28 + 8 * within(random));
            const Picture spot = spotFrame(random, track + c.offset, 4.0 * c.peakInNoise);
            QImage pixels = spot.decoded();
            if (c.hit)
                pixels.setPixel(int(track.x()), int(track.y()), qRgb(255, 255, 255));
            const Picture frame(pixels, 1, 1);
            const Centroid kept = centroidOnTrack(Brightness(frame), track);
            taken += kept.refined;
            EXPECT_TRUE(kept.refined || kept.position == track) << c.what;
        }
        EXPECT_GE(taken, c.least * trials) << c.what;
        EXPECT_LE(taken, c.most * trials) << c.what;
    }
}

TEST(Centroid, AFaintCometsTrackTakenAsMeasurementsKeepsTheTracksAccuracy)
{
    // Comets at 2.5 noise sigmas, found by their summed signal: each frame's own centroid mostly
    // chases noise and the background's grain, the track does not.
    const QImage background(fixture(lasco1024Jpg));
    double track = 0, centroids = 0, kept = 0;
    int frames = 0;
    for (const quint32 seed : {101u, 202u, 303u, 404u}) {
        SampleOptions options;
        options.seed = seed;
        options.size = 512;
        options.peak = 2.5;
        const std::vector<SampleFrame> truth = makeSequence(background, options);
        std::vector<std::unique_ptr<Picture>> pictures;
        std::vector<SearchFrame> search;
        for (const SampleFrame& frame : truth) {
            pictures.push_back(
                std::make_unique<Picture>(frame.picture.convertToFormat(QImage::Format_RGB32), 1, 1));
            search.push_back({pictures.back().get(), frame.time, Camera::C3});
        }
        const std::vector<Candidate> found = searchMovers(search);
        ASSERT_FALSE(found.empty()) << seed;
        std::vector<Measurement> measured;
        for (size_t f = 0; f < truth.size(); ++f) {
            const QPointF onTrack = found[0].positions[f];
            const auto squared = [&](QPointF p) {
                const QPointF d = p - truth[f].comets[0];
                return QPointF::dotProduct(d, d);
            };
            const Brightness frame(*pictures[f]);
            const Centroid centre = centroidOnTrack(frame, onTrack);
            track += squared(onTrack);
            centroids += squared(refineCentroid(frame, onTrack).position);
            kept += squared(centre.position);
            ++frames;
            Measurement m;
            m.frame = truth[f].name;
            m.info = {truth[f].time, false, Camera::C3};
            m.frameSize = pictures[f]->decoded().size();
            m.position = centre.position;
            measured.push_back(m);
        }
        EXPECT_TRUE(trackFlags(measured, fitTrack(measured)).isEmpty()) << seed;
    }
    track = std::sqrt(track / frames);
    centroids = std::sqrt(centroids / frames);
    kept = std::sqrt(kept / frames);
    EXPECT_LT(track, 1.0);
    EXPECT_LE(kept, track + 0.02) << "centroids alone: " << centroids;
    EXPECT_LT(kept, centroids / 2) << "track: " << track;
}

Measurement at(const char* time, double x, double y, Camera camera = Camera::C3, int size = 1024)
{
    Measurement m;
    m.frame = QString::fromLatin1(time);
    m.info.time = QDateTime::fromString(QString::fromLatin1(time), Qt::ISODate);
    m.info.time.setTimeSpec(Qt::UTC);
    m.info.camera = camera;
    m.frameSize = QSize(size, size);
    m.position = {x, y};
    return m;
}

TEST(Track, FitsUnevenTimesAndFlagsThePlantedOutlier)
{
    // 6 pixels an hour to the right and 8 down: speed 10, heading down and right.
    std::vector<Measurement> track = {
        at("2013-05-13T16:54:00", 100, 200), at("2013-05-13T17:06:00", 101.2, 201.6),
        at("2013-05-13T17:42:00", 104.8, 206.4), at("2013-05-13T18:06:00", 107.2, 209.6)};
    std::optional<TrackFit> fit = fitTrack(track);
    ASSERT_TRUE(fit);
    EXPECT_NEAR(fit->speed(), 10.0, 1e-9);
    EXPECT_NEAR(fit->positionAngle(), 180 + 36.8699,
                1e-3); // below and to the right: south-west in the picture
    EXPECT_NEAR(fit->at(QDateTime(QDate(2013, 5, 13), QTime(17, 18), Qt::UTC)).x(), 102.4, 1e-9);
    EXPECT_TRUE(trackFlags(track, fit).isEmpty());

    track[2].position += QPointF(0, 3); // one position off the line
    fit = fitTrack(track);
    const QStringList flags = trackFlags(track, fit);
    ASSERT_EQ(flags.size(), 1);
    EXPECT_TRUE(flags[0].startsWith(QStringLiteral("2013-05-13T17:42:00"))) << flags[0].toStdString();
}

TEST(Track, EachFlag)
{
    struct Case
    {
        std::vector<Measurement> measurements;
        const char* flag; // the start of the one flag expected
    };
    Measurement untimed = at("2013-05-13T17:30:00", 103, 204);
    untimed.info.time = {};
    const Case cases[] = {
        {{at("2013-05-13T16:54:00", 1, 1), at("2013-05-13T17:06:00", 2, 2)}, "C3 图片至少需要 3 个位置"},
        {{at("2013-05-13T16:54:00", 1, 1, Camera::C2), at("2013-05-13T17:06:00", 2, 2, Camera::C3),
          at("2013-05-13T17:18:00", 3, 3, Camera::C3)},
         "测量来自不止一个相机"},
        {{at("2013-05-13T16:54:00", 1, 1), at("2013-05-13T17:06:00", 2, 2, Camera::C3, 512),
          at("2013-05-13T17:18:00", 3, 3)},
         "测量来自不止一种大小"},
        {{at("2013-05-13T17:06:00", 2, 2), at("2013-05-13T16:54:00", 1, 1), at("2013-05-13T17:18:00", 3, 3)},
         "图片的时间没有随顺序递增"},
        {{at("2013-05-13T23:48:00", 1, 1), at("2013-05-14T00:00:00", 2, 2), at("2013-05-14T00:12:00", 3, 3)},
         "轨迹跨过了世界时午夜"},
        {{at("2013-05-13T16:54:00", 1, 1), untimed, at("2013-05-13T17:18:00", 3, 3)}, "有图片不知道拍摄时间"},
    };
    for (const Case& c : cases) {
        const QStringList flags = trackFlags(c.measurements, fitTrack(c.measurements));
        ASSERT_EQ(flags.size(), 1) << c.flag << ": " << flags.join('|').toStdString();
        EXPECT_TRUE(flags[0].startsWith(QString::fromUtf8(c.flag))) << flags[0].toStdString();
    }
    // Two positions are enough for C2.
    EXPECT_TRUE(
        trackFlags({at("2013-05-13T16:54:00", 1, 1, Camera::C2), at("2013-05-13T17:06:00", 2, 2, Camera::C2)},
                   std::nullopt)
            .isEmpty());
}

TEST(SungrazerReport, TextForBothCornersAndBothSizes)
{
    // Given out of time order: the report sorts them. Centres of pixels (257, 282) and (261, 287).
    const std::vector<Measurement> measured = {at("2013-05-13T17:06:00", 261.5, 287.5),
                                               at("2013-05-13T16:54:00", 257.5, 282.5)};
    const QString head =
        QStringLiteral("Camera: C3\nImage size: %1\n(0,0) position: %2\nDate of first image: 2013-05-13\n");
    struct Case
    {
        SungrazerOptions options;
        QString text;
    };
    const Case cases[] = {
        {{SungrazerOptions::Corner::UpperLeft, 0},
         head.arg(QStringLiteral("1024x1024"), QStringLiteral("upper left")) +
             "16:54 257,282\n17:06 261,287\n"},
        {{SungrazerOptions::Corner::LowerLeft, 0},
         head.arg(QStringLiteral("1024x1024"), QStringLiteral("lower left")) +
             "16:54 257,741\n17:06 261,736\n"},
        // Halved: centre 128.75 - 0.5 = 128.25 -> 128; 141.25 -> 141.
        {{SungrazerOptions::Corner::UpperLeft, 512},
         head.arg(QStringLiteral("512x512"), QStringLiteral("upper left")) +
             "16:54 128,141\n17:06 130,143\n"},
        {{SungrazerOptions::Corner::LowerLeft, 512},
         head.arg(QStringLiteral("512x512"), QStringLiteral("lower left")) +
             "16:54 128,370\n17:06 130,368\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sungrazerReport(measured, c.options), c.text);

    Measurement unknown = at("2013-05-13T16:54:00", 10.5, 20.5, Camera::Unknown, 512);
    unknown.info.time = {};
    EXPECT_EQ(sungrazerReport({unknown}, {}),
              QStringLiteral("Camera: unknown\nImage size: 512x512\n(0,0) position: "
                             "upper left\nDate of first image: unknown\n--:-- 10,20\n"));

    // Another camera's positions: not for the form, a plain list to mail, whole times.
    std::vector<Measurement> ccor = {at("2025-10-01T23:54:07", 261.5, 287.5, Camera::Ccor1),
                                     at("2025-10-01T23:39:07", 257.5, 282.5, Camera::Ccor1)};
    ccor[0].info.hasSeconds = ccor[1].info.hasSeconds = true;
    EXPECT_EQ(
        sungrazerReport(ccor, {}),
        QStringLiteral("Camera: CCOR-1\nThe Sungrazer project's report form takes LASCO C2 and C3 only: "
                       "mail these times and positions instead.\nImage size: 1024x1024\n(0,0) position: "
                       "upper left\n2025-10-01 23:39:07 UT  257,282\n2025-10-01 23:54:07 UT  261,287\n"));
}

} // namespace
