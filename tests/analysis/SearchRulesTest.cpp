// What the search must set aside, on real frames (crops of two real LASCO sequences) and on
// generated ones where a rule needs a case real frames do not hold on demand.
#include "analysis/search/MoverSearch.h"
#include "analysis/search/MoverTrack.h"
#include "pictures/LoadPictureFile.h"
#include "platform/Picture.h"
#include "sample/Injection.h"
#include "sample/SequenceMaker.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cmath>
#include <memory>
#include <random>

namespace {

struct Frames
{
    std::vector<QImage> images;
    std::vector<std::unique_ptr<Picture>> pictures;
    std::vector<SearchFrame> frames;

    void add(const QImage& image, const QString& name)
    {
        images.push_back(image.convertToFormat(QImage::Format_RGB32));
        pictures.push_back(std::make_unique<Picture>(images.back(), 1, 1));
        const FrameInfo info = frameInfoOf(name, {});
        frames.push_back({pictures.back().get(), info.time, info.camera});
    }
    double hours(size_t f) const { return double(frames.front().time.msecsTo(frames[f].time)) / 3.6e6; }
};

double offset(const Candidate& c, const std::vector<QPointF>& truth)
{
    double sum = 0;
    for (size_t f = 0; f < truth.size(); ++f) {
        const QPointF d = c.positions[f] - truth[f];
        sum += QPointF::dotProduct(d, d);
    }
    return std::sqrt(sum / double(truth.size()));
}

TEST(SearchRules, RealFramesGiveNoCandidateAndACometAddedToThemComesFirst)
{
    // Crops with the field's edge, the flat corner, the date or the logo, hits, streaks, stars
    // and streamers; the comet at 5 times the frames' noise, as real sungrazers move there (a
    // crop keeps the full frame's pixels and their speed limits).
    // A comet bright enough to saturate its head, slow as C3's are, comes first too and is placed
    // on its head, not on the edge its own light leaves in the frames' median.
    struct Case
    {
        const char* camera;
        QPointF start;    // crop pixels
        QPointF velocity; // pixels per hour
        QPointF sun;      // crop pixels
        double peak;      // noise sigmas
        double within;    // pixels, root mean square
    };
    const Case cases[] = {
        {"c3", {200, 80}, {-22, 12}, {512, -192}, 5, 1.0},
        {"c2", {100, 150}, {32, -10}, {-192, -192}, 5, 1.0},
        {"c3", {150, 120}, {-12, 10}, {512, -192}, 80, 1.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.camera) + " at " + std::to_string(int(c.peak)) + " sigmas");
        const QDir dir(fixture(QStringLiteral("sequences")));
        const QStringList names =
            dir.entryList({QStringLiteral("*_%1.png").arg(QLatin1String(c.camera))}, QDir::Files, QDir::Name);
        ASSERT_EQ(names.size(), 8);
        Frames real;
        for (const QString& name : names)
            real.add(QImage(dir.filePath(name)), name);
        EXPECT_TRUE(searchMovers(real.frames).empty());

        const QPointF middle = c.start + c.velocity * (0.5 * real.hours(7));
        const double noise =
            localNoise(real.images[0], real.images[1], ColourTable(real.images[0]), middle.toPoint(), 32);
        Frames withComet;
        std::vector<QPointF> truth;
        for (size_t f = 0; f < 8; ++f) {
            truth.push_back(c.start + c.velocity * real.hours(f));
            withComet.add(injectComet(real.images[f], {truth.back(), c.sun, c.peak * noise}),
                          names[qsizetype(f)]);
        }
        const std::vector<Candidate> found = searchMovers(withComet.frames);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_LT(offset(found[0], truth), c.within);
        EXPECT_LT(found[0].falseAlarms, 0.05);
    }
}

// Grey levels added to an indexed sample frame around `at`.
void paint(QImage& frame, QPointF at, double sigma, double peak, QPointF along = {}, int length = 0)
{
    for (int k = -length; k <= length; ++k) {
        const QPointF centre = at + along * k;
        for (int y = int(centre.y()) - 8; y <= int(centre.y()) + 8; ++y) {
            for (int x = int(centre.x()) - 8; x <= int(centre.x()) + 8; ++x) {
                if (x < 0 || y < 0 || x >= frame.width() || y >= frame.height())
                    continue;
                const double d2 = std::pow(x + 0.5 - centre.x(), 2) + std::pow(y + 0.5 - centre.y(), 2);
                const double light =
                    sigma > 0 ? peak * std::exp(-d2 / (2 * sigma * sigma)) : (d2 < 0.5 ? peak : 0);
                uchar& level = frame.scanLine(y)[x];
                level = uchar(std::min(255.0, level + std::round(light)));
            }
        }
    }
}

TEST(SearchRules, SetsAsideWhatIsNoPointMovingSteadily)
{
    // Something on a steady track at 60 px an hour in every frame (or some): only a point as the
    // optics draw it, seen in five frames or more, is a mover. The sample's noise is 2.5 levels.
    struct Case
    {
        const char* what;
        double sigma; // pixels; 0: one pixel
        double peak;  // grey levels
        int length;   // a streak: this many pixels each side, across the track
        std::vector<int> frames;
        bool found;
    };
    const std::vector<int> all{0, 1, 2, 3, 4, 5, 6, 7};
    const Case cases[] = {
        {"a point in every frame", 0.9, 25, 0, all, true},
        {"a cosmic-ray hit on the line in every frame", 0, 120, 0, all, false},
        {"a streak through the line in every frame", 0.6, 60, 6, all, false},
        {"a broad patch, the corona brightening", 7, 25, 0, all, false},
        {"a point in four frames only", 0.9, 25, 0, {0, 2, 5, 7}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SampleOptions options;
        options.seed = 31;
        options.size = 512;
        options.comets = 0;
        options.cosmicRays = 0;
        std::vector<SampleFrame> sample = makeSequence(QImage(fixture(lasco1024Jpg)), options);
        Frames frames;
        std::vector<QPointF> truth;
        for (size_t f = 0; f < sample.size(); ++f) {
            const double t = double(sample.front().time.msecsTo(sample[f].time)) / 3.6e6;
            truth.push_back(QPointF(120.5, 330.5) + QPointF(48, -36) * t);
            // A streak lies any way, as cosmic rays come.
            const double angle = 0.82 * double(f);
            if (std::find(c.frames.begin(), c.frames.end(), int(f)) != c.frames.end())
                paint(sample[f].picture, truth.back(), c.sigma, c.peak,
                      QPointF(std::cos(angle), std::sin(angle)), c.length);
            frames.add(sample[f].picture, sample[f].name);
        }
        const std::vector<Candidate> found = searchMovers(frames.frames);
        if (c.found) {
            ASSERT_EQ(found.size(), 1u);
            EXPECT_LT(offset(found[0], truth), 1.0);
        } else {
            EXPECT_TRUE(found.empty()) << found.size();
        }
    }
}

} // namespace

TEST(SearchRules, ASaturatedHeadIsPlacedOnItsHeadOnANoisySlopingSky)
{
    // The residuals' track runs 7 px behind the head (the light a bright comet leaves in the
    // frames' median), over a sky whose slope and noise keep a saturated head under 20 sigmas of
    // a plain spread; the tail stretches the plateau away from the Sun.
    const QPointF start(40, 40), perFrame(4, 3), away(-0.8, -0.6);
    std::mt19937 random(3);
    std::normal_distribution<double> grain(0, 8);
    std::vector<QImage> images;
    std::vector<std::unique_ptr<Picture>> pictures;
    std::vector<const Picture*> frames;
    std::vector<double> hours;
    Candidate candidate;
    std::vector<QPointF> truth;
    for (int f = 0; f < 8; ++f) {
        truth.push_back(start + perFrame * f);
        QImage image(128, 128, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QPointF p(x + 0.5, y + 0.5);
                bool white = false;
                for (int k = 0; k <= 6; ++k) { // the coma, 3 px across, then a tail narrowing
                    const QPointF d = p - (truth.back() + away * k);
                    white = white || std::hypot(d.x(), d.y()) <= (k == 0 ? 3.0 : 1.5);
                }
                const int sky = std::clamp(int(std::lround(60 + 1.2 * y + grain(random))), 0, 255);
                line[x] = white ? qRgb(255, 255, 255) : qRgb(sky, sky, sky);
            }
        }
        images.push_back(image);
        pictures.push_back(std::make_unique<Picture>(images.back(), 1, 1));
        frames.push_back(pictures.back().get());
        hours.push_back(0.2 * f);
        candidate.positions.push_back(truth.back() + away * 7);
    }
    tracks::centreOnFrames(candidate, frames, hours);
    EXPECT_LT(offset(candidate, truth), 1.0);
}
