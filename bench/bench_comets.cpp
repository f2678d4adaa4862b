// The search on real comets: LASCO C2 science frames in which the SOHO comet programme measured
// a comet's position in every frame (SKYRAKE_COMETS, by default ../shared/comets beside the
// project; its README gives the sources). Every window of 8 frames in time order, step 4, as a
// hunter would load them (and of 16 and 23, step half that). For each window: the rank of the first candidate
// whose median distance from the measured positions is 5 px or less (the programme's own positions of faint
// comets are good to about that), its root-mean-square distance, and how many other candidates were listed.
// A window counts towards "first" when the comet is measured in 5 or more of its frames, the
// programme's rule for a report. bench/README.md gives the figures.
#include "analysis/search/MoverSearch.h"
#include "bench/TailFit.h"
#include "bench/Wilson.h"
#include "pictures/FrameInfo.h"
#include "pictures/LoadPictureFile.h"
#include "platform/Picture.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

constexpr size_t windowFrames = 8;
constexpr double foundWithin = 5; // pixels, median over the measured frames

QString cometsDir()
{
    const QByteArray dir = qgetenv("SKYRAKE_COMETS");
    return dir.isEmpty() ? QStringLiteral(SKYRAKE_COMETS) : QString::fromLocal8Bit(dir);
}

struct CometFrame
{
    QString name;
    std::unique_ptr<Picture> picture;
    FrameInfo info;
    bool measured = false;
    QPointF truth; // picture pixels as shown, 0-based, pixel centres at .5
};

// The truth file's X and Y are the stored array's 0-based column and row; a frame is shown with
// FITS row 1 at the bottom, and turned half round when its CROTA1 is near 180.
QPointF shownPosition(double x, double y, const Picture& picture)
{
    const int w = picture.pixelWidth(), h = picture.pixelHeight();
    const double roll = picture.keywords().value(QStringLiteral("CROTA1")).toDouble();
    if (std::abs(std::remainder(roll, 360.0)) > 90.0)
        return {w - x - 0.5, y + 0.5};
    return {x + 0.5, h - y - 0.5};
}

std::vector<CometFrame> readComet(const QString& folder)
{
    const QDir dir(folder);
    std::map<QString, QPointF> measured; // stored-array positions by file name
    QFile truth(dir.filePath(dir.dirName() + QStringLiteral(".txt")));
    if (truth.open(QIODevice::ReadOnly)) {
        QTextStream in(&truth);
        while (!in.atEnd()) {
            const QStringList fields = in.readLine().simplified().split(QLatin1Char(' '));
            if (fields.size() >= 5 && !fields[0].startsWith(QLatin1Char('#')))
                measured[fields[2]] = QPointF(fields[3].toDouble(), fields[4].toDouble());
        }
    }
    std::vector<CometFrame> frames;
    for (const QString& name :
         dir.entryList({QStringLiteral("*.fts"), QStringLiteral("*.fts.gz")}, QDir::Files)) {
        LoadResult loaded = LoadPictureFile(dir.filePath(name), 96, 96);
        if (!loaded)
            continue;
        CometFrame frame;
        frame.name = name;
        frame.picture = std::move(loaded->picture);
        frame.info = frameInfoOf(name, frame.picture->keywords());
        QString stored = name;
        if (stored.endsWith(QLatin1String(".gz")))
            stored.chop(3);
        if (const auto it = measured.find(stored); it != measured.end()) {
            frame.measured = true;
            frame.truth = shownPosition(it->second.x(), it->second.y(), *frame.picture);
        }
        frames.push_back(std::move(frame));
    }
    // The archive's numbers are not always in time order.
    std::sort(frames.begin(), frames.end(),
              [](const CometFrame& a, const CometFrame& b) { return a.info.time < b.info.time; });
    return frames;
}

// The median distance of `c` from the measured positions in the window; infinity when none.
double medianMiss(const Candidate& c, const std::vector<CometFrame>& frames, size_t begin)
{
    std::vector<double> misses;
    for (size_t f = 0; f < c.positions.size(); ++f)
        if (frames[begin + f].measured) {
            const QPointF d = c.positions[f] - frames[begin + f].truth;
            misses.push_back(std::hypot(d.x(), d.y()));
        }
    if (misses.empty())
        return INFINITY;
    std::sort(misses.begin(), misses.end());
    const size_t m = misses.size();
    return m % 2 ? misses[m / 2] : 0.5 * (misses[m / 2 - 1] + misses[m / 2]);
}

// `state.range(0)`: frames a window, its step half that (8, as a hunter loads them; 16 and 23, as
// the programme checks a comet over longer runs).
void BM_RealComets(benchmark::State& state)
{
    const size_t length = size_t(state.range(0)), step = std::max<size_t>(length / 2, 1);
    for (auto _ : state) {
        int windows = 0, reportable = 0, first = 0, found = 0, others = 0, worst = 0;
        double squares = 0;
        int placed = 0;
        const QDir root(cometsDir());
        for (const QString& set : root.entryList({QStringLiteral("cmt*")}, QDir::Dirs, QDir::Name)) {
            const std::vector<CometFrame> frames = readComet(root.filePath(set));
            for (size_t begin = 0; begin + length <= frames.size(); begin += step) {
                std::vector<SearchFrame> window;
                int measured = 0;
                for (size_t f = begin; f < begin + length; ++f) {
                    window.push_back({frames[f].picture.get(), frames[f].info.time, frames[f].info.camera});
                    measured += frames[f].measured;
                }
                const std::vector<Candidate> candidates = searchMovers(window);
                int rank = 0;
                for (size_t i = 0; i < candidates.size() && rank == 0; ++i)
                    if (medianMiss(candidates[i], frames, begin) <= foundWithin)
                        rank = int(i) + 1;
                ++windows;
                const bool counts = measured >= 5;
                reportable += counts;
                first += counts && rank == 1;
                found += counts && rank > 0;
                const int rest = int(candidates.size()) - (rank > 0);
                others += rest;
                worst = std::max(worst, rest);
                if (rank > 0) {
                    const Candidate& c = candidates[size_t(rank - 1)];
                    for (size_t f = 0; f < length; ++f)
                        if (frames[begin + f].measured) {
                            const QPointF d = c.positions[f] - frames[begin + f].truth;
                            squares += QPointF::dotProduct(d, d);
                            ++placed;
                        }
                }
                std::fprintf(stderr, "%s frames %zu-%zu (%d measured): comet %s, %d others, scores",
                             qPrintable(set), begin + 1, begin + length, measured,
                             rank > 0 ? qPrintable(QStringLiteral("rank %1").arg(rank)) : "not found", rest);
                for (const Candidate& c : candidates)
                    std::fprintf(stderr, " %.1f", c.score);
                std::fprintf(stderr, "\n");
            }
        }
        if (windows == 0) {
            state.SkipWithError("no real comets found (SKYRAKE_COMETS)");
            return;
        }
        const auto [firstLow, firstHigh] = wilson(first, reportable);
        const auto [foundLow, foundHigh] = wilson(found, reportable);
        std::fprintf(stderr, "first %d of %d [%.2f, %.2f], found %d [%.2f, %.2f]\n", first, reportable,
                     firstLow, firstHigh, found, foundLow, foundHigh);
        state.counters["windows"] = windows;
        state.counters["first"] = reportable ? double(first) / reportable : 0.0;
        state.counters["found"] = reportable ? double(found) / reportable : 0.0;
        state.counters["others_per_window"] = double(others) / windows;
        state.counters["worst_window"] = worst;
        state.counters["rms_px"] = placed ? std::sqrt(squares / placed) : 0.0;
    }
}

// The false-alarm tail of the science frames (TailFit.h, as BM_RealFalseAlarmTail for the
// browse frames): every track down to a score of 5 but the comet's own (within 5 px of its
// measured positions), in every window of 8, step 1; fitted on the windows of each sequence's
// first half, counted on those of its second.
void BM_CometFalseAlarmTail(benchmark::State& state)
{
    const SearchOptions everything = everyTrack(), shipped;
    for (auto _ : state) {
        std::vector<double> fitScores, heldScores;
        int fitWindows = 0, heldWindows = 0, listed = 0, worst = 0;
        const QDir root(cometsDir());
        for (const QString& set : root.entryList({QStringLiteral("cmt*")}, QDir::Dirs, QDir::Name)) {
            const std::vector<CometFrame> frames = readComet(root.filePath(set));
            const size_t half = frames.size() / 2;
            for (size_t begin = 0; begin + windowFrames <= frames.size(); ++begin) {
                const bool fit = begin + windowFrames <= half;
                if (!fit && begin < half)
                    continue;
                std::vector<SearchFrame> window;
                for (size_t f = begin; f < begin + windowFrames; ++f)
                    window.push_back({frames[f].picture.get(), frames[f].info.time, frames[f].info.camera});
                (fit ? fitWindows : heldWindows) += 1;
                int here = 0;
                for (const Candidate& c : searchMovers(window, everything)) {
                    if (medianMiss(c, frames, begin) <= foundWithin)
                        continue;
                    (fit ? fitScores : heldScores).push_back(c.score);
                    const bool shown =
                        c.score >= shipped.minScore &&
                        falseAlarmRate(window.front().camera, c.score) <= shipped.maxFalseAlarms;
                    here += !fit && shown;
                    if (shown && qEnvironmentVariableIsSet("SKYRAKE_BENCH_VERBOSE"))
                        std::fprintf(stderr,
                                     "%s frames %zu-%zu (%s): listed at (%.0f, %.0f), score %.1f, %.0f px "
                                     "from the comet\n",
                                     qPrintable(set), begin + 1, begin + windowFrames,
                                     fit ? "fit" : "held out", c.positions[0].x(), c.positions[0].y(),
                                     c.score, medianMiss(c, frames, begin));
                }
                listed += here;
                worst = std::max(worst, here);
            }
        }
        if (fitWindows + heldWindows == 0) {
            state.SkipWithError("no real comets found (SKYRAKE_COMETS)");
            return;
        }
        const HeldOut held = holdOut(fitScores, fitWindows, heldScores);
        std::fprintf(stderr,
                     "C2 science frames: fitted on %d tracks in %d windows (a %.2f b %.3f), 1 in 20 windows "
                     "from %.1f; held out %d windows: %ld above it, the search lists %d (worst %d)\n",
                     held.tail.tracks, held.tail.windows, held.tail.a, held.tail.b, held.cut, heldWindows,
                     held.above, listed, worst);
        state.counters["cut"] = held.cut;
        state.counters["held_windows"] = heldWindows;
        state.counters["held_listed"] = heldWindows ? double(listed) / heldWindows : 0.0;
    }
}

} // namespace

BENCHMARK(BM_RealComets)->Arg(8)->Arg(16)->Arg(23)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_CometFalseAlarmTail)->Iterations(1)->Unit(benchmark::kSecond);
