// The search on science frames of raw counts, generated where a rule needs a case on demand: the
// exposure varies, telemetry blocks are lost, a sungrazer speeds up as it falls. The real comets
// in ../shared/comets are judged by bench_comets.
#include "analysis/search/BackgroundView.h"
#include "analysis/search/MoverSearch.h"
#include "analysis/search/MoverTrack.h"
#include "platform/Picture.h"
#include "sample/Injection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

namespace {

constexpr int side = 512;

struct ScienceCase
{
    const char* what;
    double growth;   // the comet's speed-up a 12-minute frame; negative: no comet
    bool lostBlocks; // a block of zeros in one frame, of one repeated value in another
};

// Eight frames 12 minutes apart of a C2-like field: an F-corona falling off from the centre,
// photon and read noise (about 28 counts), exposures of 25 to 27 s; the comet (its peak about 8
// sigmas) heading sunward at 8 pixels a frame.
struct ScienceFrames
{
    std::vector<std::unique_ptr<Picture>> pictures;
    std::vector<SearchFrame> frames;
    std::vector<QPointF> heads;

    explicit ScienceFrames(const ScienceCase& c)
    {
        std::mt19937 random(7);
        std::normal_distribution<float> gauss;
        const QDateTime first(QDate(2008, 6, 22), QTime(11, 6), Qt::UTC);
        for (int f = 0; f < 8; ++f) {
            const double exposure = 25.0 + 2.0 * ((f * 5) % 8) / 7.0;
            const QPointF head =
                cometAt({400, 120}, QPointF(-0.6, 0.8) * 40, std::max(c.growth, 0.0), 0.2 * f);
            heads.push_back(head);
            std::vector<float> values(size_t(side) * side);
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x) {
                    const double r = std::hypot(x + 0.5 - 256, y + 0.5 - 256);
                    double rate = 400 + 60 * 1e4 / std::max(r * r, 2500.0); // counts a second
                    if (c.growth >= 0)
                        rate +=
                            8.8 *
                            std::exp(-(std::pow(x + 0.5 - head.x(), 2) + std::pow(y + 0.5 - head.y(), 2)) /
                                     (2 * 1.3 * 1.3));
                    const double counts = rate * exposure;
                    values[size_t(y) * side + size_t(x)] =
                        float(std::round(counts + gauss(random) * std::sqrt(counts / 25 + 100)));
                }
            }
            if (c.lostBlocks && (f == 3 || f == 5))
                for (int y = 64; y < 96; ++y)
                    std::fill_n(values.begin() + y * side + (f == 3 ? 320 : 96), 32, f == 3 ? 0.0f : 1234.0f);
            QImage grey(side, side, QImage::Format_RGB32);
            grey.fill(Qt::black);
            pictures.push_back(std::make_unique<Picture>(
                grey, 1, 1, std::move(values),
                QHash<QString, QString>{{QStringLiteral("EXPTIME"), QString::number(exposure)},
                                        {QStringLiteral("DETECTOR"), QStringLiteral("C2")}}));
            frames.push_back({pictures.back().get(), first.addSecs(720 * f), Camera::C2});
        }
    }
};

TEST(ScienceFrames, LostBlocksAndExposuresMakeNoMoverAndASungrazerThatSpeedsUpComesFirst)
{
    const ScienceCase cases[] = {
        {"exposures of 25 to 27 s, no comet", -1, false},
        {"a block lost in one frame, one value repeated in another, no comet", -1, true},
        {"a comet at a steady speed, among lost blocks", 0.0, true},
        {"a comet speeding up 3 % a frame", 0.03, false},
        {"a comet speeding up 6 % a frame", 0.06, true},
    };
    for (const ScienceCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ScienceFrames science(c);
        const std::vector<Candidate> found = searchMovers(science.frames);
        if (c.growth < 0) {
            EXPECT_TRUE(found.empty()) << found.size();
            continue;
        }
        ASSERT_FALSE(found.empty());
        double worst = 0;
        for (size_t f = 0; f < science.heads.size(); ++f) {
            const QPointF d = found[0].positions[f] - science.heads[f];
            worst = std::max(worst, std::hypot(d.x(), d.y()));
        }
        EXPECT_LT(worst, 1.0);
    }
}

TEST(ScienceFrames, TheViewLessTheBackgroundShowsOnlyWhatMoved)
{
    const ScienceFrames science({"", 0.0, true});
    std::vector<const Picture*> pictures;
    for (const SearchFrame& f : science.frames)
        pictures.push_back(f.picture);
    const std::vector<std::shared_ptr<const Picture>> shown = backgroundRemoved(pictures);
    ASSERT_EQ(shown.size(), pictures.size());
    const auto grey = [&](size_t f, QPointF at) { return qGray(shown[f]->pixels().pixel(at.toPoint())); };
    for (size_t f = 0; f < shown.size(); ++f) {
        EXPECT_GT(grey(f, science.heads[f]), 240) << f;        // the comet, far above the noise
        EXPECT_NEAR(grey(f, QPointF(100, 400)), 128, 40) << f; // the corona gone, noise left
    }
    EXPECT_EQ(grey(3, QPointF(330, 70)), 0); // the lost block: no value
}

TEST(ScienceFrames, APathSpeedsUpOnlyWhereItsPointsBendAwayFromASteadySpeed)
{
    // Points 12 minutes apart along a line, 10 pixels a frame at first.
    struct PathCase
    {
        double growth;
        double scatter; // pixels, alternating about the path
        bool accelerates;
    };
    const PathCase cases[] = {{0.0, 0.0, false}, {0.0, 0.4, false}, {0.03, 0.0, true}, {0.06, 0.3, true}};
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.growth);
        std::vector<double> hours;
        std::vector<std::optional<QPointF>> points;
        for (int f = 0; f < 8; ++f) {
            hours.push_back(0.2 * f);
            points.push_back(cometAt({100, 100}, {50, 0}, c.growth, hours.back()) +
                             QPointF(0, f % 2 ? c.scatter : -c.scatter));
        }
        tracks::Track track;
        ASSERT_TRUE(tracks::fitPath(track, points, hours));
        EXPECT_EQ(track.ax != 0, c.accelerates);
        EXPECT_LE(std::abs(track.ay), 0.01 * std::abs(track.ax)); // along the line
        for (size_t f = 0; f < points.size(); ++f)
            EXPECT_LT(
                std::hypot(track.at(hours[f]).x() - points[f]->x(), track.at(hours[f]).y() - points[f]->y()),
                c.scatter + 0.2);
    }
}

} // namespace
