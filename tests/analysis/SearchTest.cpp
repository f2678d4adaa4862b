// The automatic search for movers against the sample generator's truth: seeded sequences on the
// real C3 frame, 512 pixels a side where that will do.
#include "analysis/search/MoverSearch.h"
#include "pictures/LoadPictureFile.h"
#include "platform/Picture.h"
#include "sample/Injection.h"
#include "sample/SequenceMaker.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <cmath>
#include <memory>

namespace {

const QImage& background()
{
    static const QImage image(fixture(lasco1024Jpg));
    return image;
}

// A sample sequence as the search sees it: the pictures lossless (as its GIF frames), or through
// JPEG as skyrake-sample writes them; the frames' times known or not.
struct Sequence
{
    std::vector<SampleFrame> truth;
    std::vector<std::unique_ptr<Picture>> pictures;
    std::vector<SearchFrame> frames;

    explicit Sequence(const SampleOptions& options, bool jpeg = false, bool timed = true)
        : truth(makeSequence(background(), options))
    {
        for (const SampleFrame& frame : truth) {
            const QImage pixels = frame.picture.convertToFormat(QImage::Format_RGB32);
            if (jpeg) {
                QByteArray bytes;
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::WriteOnly);
                pixels.save(&buffer, "JPEG", 90);
                pictures.push_back(decodePicture(bytes, 96, 96));
            } else {
                pictures.push_back(std::make_unique<Picture>(pixels, 1, 1));
            }
            frames.push_back({pictures.back().get(), timed ? frame.time : QDateTime(), Camera::C3});
        }
    }

    // Root mean square distance of a candidate from comet `k`'s true positions.
    double offset(const Candidate& c, size_t k = 0) const
    {
        double sum = 0;
        for (size_t f = 0; f < truth.size(); ++f) {
            const QPointF d = c.positions[f] - truth[f].comets[k];
            sum += d.x() * d.x() + d.y() * d.y();
        }
        return std::sqrt(sum / double(truth.size()));
    }
};

SampleOptions small(quint32 seed)
{
    SampleOptions options;
    options.seed = seed;
    options.size = 512;
    return options;
}

TEST(Search, FindsTheCometOnItsTrackAndNothingWhereThereIsNone)
{
    struct Case
    {
        const char* what;
        SampleOptions options;
        bool comet;       // the comet must come first, within a pixel of its track
        size_t others;    // candidates allowed besides it
        int detected = 4; // frames in which it must have been detected
    };
    SampleOptions clear = small(11);
    clear.peak = 8;
    SampleOptions faint = small(12);
    faint.peak = 4;
    SampleOptions fainter = small(23); // above the detection threshold in one frame only
    fainter.peak = 1.8;
    SampleOptions empty = small(13);
    empty.comets = 0;
    SampleOptions hits = small(14);
    hits.comets = 0;
    hits.stars = 0;
    hits.cosmicRays = 40;
    // Frames at 0, 12, 24, 48, 60, 84, 96 and 120 minutes: only the frames' own times put the
    // comet on a straight line at a steady speed.
    SampleOptions uneven = small(15);
    uneven.peak = 6;
    uneven.minutes = {0, 12, 24, 48, 60, 84, 96, 120};
    const Case cases[] = {
        {"a clear comet", clear, true, 0},
        {"a faint comet", faint, true, 1},
        {"a comet found by its summed signal alone", fainter, true, 1, 1},
        {"stars, noise and cosmic rays", empty, false, 1},
        {"cosmic rays only", hits, false, 0},
        {"an uneven cadence", uneven, true, 0},
    };
    for (const Case& c : cases) {
        const Sequence sequence(c.options);
        const std::vector<Candidate> found = searchMovers(sequence.frames);
        SCOPED_TRACE(c.what);
        if (c.comet) {
            ASSERT_FALSE(found.empty());
            EXPECT_LT(sequence.offset(found[0]), 1.0);
            const double speed = c.options.speed / 2; // picture pixels per hour in a 512 frame
            EXPECT_NEAR(found[0].speed, speed, 0.03 * speed);
            EXPECT_GE(found[0].framesDetected, c.detected);
        }
        EXPECT_LE(found.size(), size_t(c.comet) + c.others);
    }
}

TEST(Search, TheSampleCometIsWhereCometTxtPutsItInTheJpegFrames)
{
    // The tool's own sequence (1024 pixels, JPEG): each position falls in the pixel whose 1-based
    // column and row comet.txt gives, and the track runs down and to the left.
    const Sequence sequence(SampleOptions{}, true);
    const std::vector<Candidate> found = searchMovers(sequence.frames);
    ASSERT_EQ(found.size(), 1u);
    const Candidate& comet = found[0];
    ASSERT_EQ(comet.positions.size(), 8u);
    for (size_t f = 0; f < 8; ++f) {
        const QPointF truth = sequence.truth[f].comets[0];
        EXPECT_EQ(std::floor(comet.positions[f].x()), std::floor(truth.x())) << f;
        EXPECT_EQ(std::floor(comet.positions[f].y()), std::floor(truth.y())) << f;
    }
    EXPECT_NEAR(comet.speed, defaultSampleSpeed, 0.5);
    // 9 pixels left and 7 down a frame: from up through left, 90 + atan(7 / 9).
    EXPECT_NEAR(comet.positionAngle, 90 + std::atan2(7.0, 9.0) * 180 / M_PI, 1.0);
    EXPECT_EQ(comet.framesDetected, 8);

    // The stages kept on this thread alone (as a sweep keeps them) find the very same.
    SearchOptions alone;
    alone.spreadStages = false;
    const std::vector<Candidate> serial = searchMovers(sequence.frames, alone);
    ASSERT_EQ(serial.size(), 1u);
    EXPECT_EQ(serial[0].positions, comet.positions);
    EXPECT_EQ(serial[0].score, comet.score);
}

TEST(Search, SetsAsideWhatMovesWithTheStarsButNotACometCrossingOne)
{
    // The stars drift fast here; a bright object moving exactly with them is one of them. The
    // comet passes over a bright star in the middle frame.
    SampleOptions options = small(16);
    options.starDrift = QPointF(20, -8);
    const std::vector<QPointF> stars = makeSequence(background(),
                                                    [&] {
                                                        SampleOptions first = options;
                                                        first.frames = 1;
                                                        return first;
                                                    }())[0]
                                           .stars;
    // The star nearest a point in the field, clear of the occulter and its pylon (512-frame
    // pixels, first frame).
    const auto away = [](QPointF p) { return std::hypot(p.x() - 150, p.y() - 150); };
    const QPointF star = *std::min_element(stars.begin(), stars.end(),
                                           [&](QPointF a, QPointF b) { return away(a) < away(b); });
    const QPointF velocity(-40, 30); // 1024-frame pixels per hour
    const double crossing = 0.6;     // hours: the fourth frame
    const QPointF meeting = star * 2 + options.starDrift * crossing;
    options.peak = 6;
    options.tracks = {{meeting - velocity * crossing, velocity}, {QPointF(300, 700), options.starDrift}};
    const Sequence sequence(options);
    const std::vector<Candidate> found = searchMovers(sequence.frames);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_LT(sequence.offset(found[0], 0), 1.0);
}

TEST(Search, RefusesWhatItCannotSearchAndStopsWhenAsked)
{
    const Sequence sequence(small(17));
    std::span<const SearchFrame> frames(sequence.frames);
    EXPECT_TRUE(searchMovers(frames.first(3)).empty());
    std::vector<SearchFrame> mixed(frames.begin(), frames.end());
    const Picture other(QImage(256, 512, QImage::Format_RGB32), 1, 1);
    mixed[5].picture = &other;
    EXPECT_TRUE(searchMovers(mixed).empty());
    mixed[5].picture = nullptr;
    EXPECT_TRUE(searchMovers(mixed).empty());

    // Progress rises to 100; a no at any point leaves nothing.
    std::vector<int> seen;
    EXPECT_FALSE(searchMovers(frames, {}, [&](int percent) {
                     seen.push_back(percent);
                     return true;
                 }).empty());
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 100);
    for (size_t stop = 0; stop < seen.size(); stop += 3) {
        size_t calls = 0;
        EXPECT_TRUE(searchMovers(frames, {}, [&](int) { return calls++ < stop; }).empty()) << stop;
    }
}

TEST(Search, CandidatesGetAPlaceOnTheFramesLeftOutOfTheSearch)
{
    const QDateTime start(QDate(2025, 9, 23), QTime(3, 0), Qt::UTC);
    const struct
    {
        const char* what;
        std::vector<int> minutes; // each frame's time after the first; -1: unknown
        std::vector<size_t> searched;
        std::vector<double> x;   // the candidate's on the frames searched ...
        std::vector<double> all; // ... and then on every frame
    } cases[] = {
        {"between two", {0, 10, 20, 30}, {0, 1, 3}, {0, 1, 3}, {0, 1, 2, 3}},
        {"before the first", {0, 10, 20, 30}, {1, 2, 3}, {1, 2, 3}, {0, 1, 2, 3}},
        {"after the last, two", {0, 10, 20, 30, 40}, {0, 1, 2}, {0, 1, 2}, {0, 1, 2, 3, 4}},
        {"uneven times", {0, 10, 40}, {0, 2}, {0, 4}, {0, 1, 4}},
        {"times unknown: equal steps", {0, -1, 40}, {0, 2}, {0, 4}, {0, 2, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<QDateTime> times;
        for (const int m : c.minutes)
            times.push_back(m < 0 ? QDateTime() : start.addSecs(60 * m));
        std::vector<Candidate> found(1);
        for (const double x : c.x)
            found[0].positions.emplace_back(x, 2 * x);
        spreadOverFrames(found, c.searched, times);
        ASSERT_EQ(found[0].positions.size(), c.all.size());
        for (size_t f = 0; f < c.all.size(); ++f) {
            EXPECT_NEAR(found[0].positions[f].x(), c.all[f], 1e-9) << f;
            EXPECT_NEAR(found[0].positions[f].y(), 2 * c.all[f], 1e-9) << f;
        }
    }
}

TEST(Search, ACometWhosePathBendsOverALongWindowIsFollowedThroughIt)
{
    // Sixteen frames, over three hours: the comet's path turns 24 degrees, three pixels off any
    // straight line; over eight frames it keeps within one of one.
    SampleOptions options = small(11);
    options.frames = 16;
    options.comets = 0;
    const std::vector<SampleFrame> sample = makeSequence(background(), options);
    const QPointF centre(256, 256);
    std::vector<QPointF> truth;
    std::vector<std::unique_ptr<Picture>> pictures;
    std::vector<SearchFrame> frames;
    for (size_t f = 0; f < sample.size(); ++f) {
        const double angle = 0.35 + 4.0 / 150 * double(f); // 4 px a frame on a circle of 150 px
        truth.push_back(centre + 150 * QPointF(std::cos(angle), -std::sin(angle)));
        const QImage pixels = injectComet(sample[f].picture, {truth.back(), centre, 8 * options.noise})
                                  .convertToFormat(QImage::Format_RGB32);
        pictures.push_back(std::make_unique<Picture>(pixels, 1, 1));
        frames.push_back({pictures.back().get(), sample[f].time, Camera::C3});
    }
    const std::vector<Candidate> found = searchMovers(frames);
    ASSERT_FALSE(found.empty());
    ASSERT_EQ(found[0].positions.size(), truth.size());
    double squares = 0;
    for (size_t f = 0; f < truth.size(); ++f) {
        const QPointF d = found[0].positions[f] - truth[f];
        squares += QPointF::dotProduct(d, d);
    }
    EXPECT_LT(std::sqrt(squares / double(truth.size())), 1.0);
}

} // namespace
