// The search on real frames: the shared LASCO sequences (SKYRAKE_SEQUENCES, by default
// ../shared/sequences beside the project), every window of 8 consecutive frames, step 4.
// False alarms: the candidates the search lists in each window (neither set holds a known comet).
// Recovery: comets injected into the same windows through the frames' own colour table and
// written again as their files were (sample/Injection.h), at peaks of 3, 4, 5 and 8 times the
// frames' noise about the track, at speeds real sungrazers move. bench/README.md gives the figures.
#include "analysis/search/MoverSearch.h"
#include "bench/TailFit.h"
#include "bench/Wilson.h"
#include "pictures/FrameInfo.h"
#include "pictures/LoadPictureFile.h"
#include "platform/Picture.h"
#include "sample/Injection.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

constexpr int windowFrames = 8;
constexpr int windowStep = 4;

struct RealSet
{
    const char* folder;
    CometField field; // where comets are injected and how fast they move
};

const RealSet realSets[] = {{"c3_2020-09-25", cometFieldFor(false, 1024)},
                            {"c2_2014-06-11", cometFieldFor(true, 1024)}};

QString sequencesDir()
{
    const QByteArray dir = qgetenv("SKYRAKE_SEQUENCES");
    return dir.isEmpty() ? QStringLiteral(SKYRAKE_SEQUENCES) : QString::fromLocal8Bit(dir);
}

struct Frame
{
    QString name;
    QByteArray bytes;
    double hours; // after the set's first frame, from the name
};

std::vector<Frame> readSet(const RealSet& set)
{
    std::vector<Frame> frames;
    const QDir dir(sequencesDir() + QLatin1Char('/') + QLatin1String(set.folder));
    QDateTime first;
    for (const QString& name :
         dir.entryList({QStringLiteral("*.jpg"), QStringLiteral("*.gif")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QDateTime time = QDateTime::fromString(name.left(13), QStringLiteral("yyyyMMdd_HHmm"));
        time.setTimeSpec(Qt::UTC);
        if (!first.isValid())
            first = time;
        frames.push_back({name, file.readAll(), double(first.msecsTo(time)) / 3.6e6});
    }
    return frames;
}

// The files of the window from `begin` and their times in hours after its first.
void windowOf(const std::vector<Frame>& frames, size_t begin, std::vector<QByteArray>& files,
              std::vector<double>& hours)
{
    for (size_t f = begin; f < begin + windowFrames; ++f) {
        files.push_back(frames[f].bytes);
        hours.push_back(frames[f].hours - frames[begin].hours);
    }
}

std::vector<Candidate> searchWindow(const std::vector<Frame>& set, size_t begin,
                                    const std::vector<QByteArray>* replaced = nullptr,
                                    const SearchOptions& options = {})
{
    std::vector<std::unique_ptr<Picture>> pictures;
    std::vector<SearchFrame> frames;
    for (size_t f = begin; f < begin + windowFrames; ++f) {
        pictures.push_back(decodePicture(replaced ? (*replaced)[f - begin] : set[f].bytes, 96, 96));
        if (!pictures.back())
            return {};
        const FrameInfo info = frameInfoOf(set[f].name, {});
        frames.push_back({pictures.back().get(), info.time, info.camera});
    }
    return searchMovers(frames, options);
}

// `state.range(0)` 1: every frame written again first, as the injection writes it, without a comet.
void BM_RealFalseAlarms(benchmark::State& state)
{
    const bool rewritten = state.range(0) == 1;
    for (auto _ : state) {
        int windows = 0, total = 0, worst = 0;
        for (const RealSet& set : realSets) {
            const std::vector<Frame> frames = readSet(set);
            for (size_t begin = 0; begin + windowFrames <= frames.size(); begin += windowStep) {
                std::vector<QByteArray> again;
                for (size_t f = begin; rewritten && f < begin + windowFrames; ++f)
                    again.push_back(encodeLike(readFrame(frames[f].bytes), frames[f].bytes));
                const std::vector<Candidate> found =
                    searchWindow(frames, begin, rewritten ? &again : nullptr);
                ++windows;
                total += int(found.size());
                worst = std::max(worst, int(found.size()));
                std::fprintf(stderr, "%s from %s: %zu\n", set.folder, qPrintable(frames[begin].name),
                             found.size());
            }
        }
        if (windows == 0) {
            state.SkipWithError("no real sequences found (SKYRAKE_SEQUENCES)");
            return;
        }
        state.counters["windows"] = windows;
        state.counters["per_window"] = double(total) / windows;
        state.counters["worst_window"] = worst;
    }
}

// How often tracks of each score turn up in the empty windows of each camera and format, and
// whether the cut fitted on one half of a sequence holds on the other. Every track that passes
// the search's rules down to a score of 5, in every window of 8 (step 1: more windows, if not
// independent ones); its tail fitted (TailFit.h) on the windows of the sequence's first half and
// counted on those of its second, which share no frame with them. The JPEG sequence is also
// written again at other qualities, the GIF one as the injection writes it. What the search
// lists (its own cut, `falseAlarmRate`) is counted on the held-out windows too.
void BM_RealFalseAlarmTail(benchmark::State& state)
{
    const SearchOptions everything = everyTrack(), shipped;
    struct Encoding
    {
        const char* name;
        int quality; // 0: as the files are; -1: as the injection writes them; else JPEG quality
    };
    for (auto _ : state) {
        for (const RealSet& set : realSets) {
            const std::vector<Frame> frames = readSet(set);
            if (frames.size() < 2 * windowFrames)
                continue;
            const bool jpeg = frames.front().name.endsWith(QLatin1String(".jpg"));
            const Camera camera = frameInfoOf(frames.front().name, {}).camera;
            std::vector<Encoding> encodings{{"as written", 0}, {"written again", -1}};
            if (jpeg)
                encodings.insert(encodings.end(), {{"JPEG quality 75", 75}, {"JPEG quality 95", 95}});
            for (const Encoding& encoding : encodings) {
                std::vector<QByteArray> files;
                for (const Frame& frame : frames) {
                    if (encoding.quality == 0) {
                        files.push_back(frame.bytes);
                    } else if (encoding.quality < 0) {
                        files.push_back(encodeLike(readFrame(frame.bytes), frame.bytes));
                    } else {
                        QBuffer buffer;
                        buffer.open(QIODevice::WriteOnly);
                        readFrame(frame.bytes).save(&buffer, "JPEG", encoding.quality);
                        files.push_back(buffer.data());
                    }
                }
                const size_t half = frames.size() / 2;
                std::vector<double> fitScores;
                int fitWindows = 0, heldWindows = 0, listed = 0, worst = 0;
                std::vector<double> heldScores;
                for (size_t begin = 0; begin + windowFrames <= frames.size(); ++begin) {
                    const bool fit = begin + windowFrames <= half;
                    if (!fit && begin < half)
                        continue; // a window across the halves belongs to neither
                    const std::vector<QByteArray> window(files.begin() + qsizetype(begin),
                                                         files.begin() + qsizetype(begin + windowFrames));
                    const std::vector<Candidate> found = searchWindow(frames, begin, &window, everything);
                    std::vector<double>& scores = fit ? fitScores : heldScores;
                    (fit ? fitWindows : heldWindows) += 1;
                    int here = 0;
                    for (const Candidate& c : found) {
                        scores.push_back(c.score);
                        here += c.score >= shipped.minScore &&
                                falseAlarmRate(camera, c.score) <= shipped.maxFalseAlarms;
                    }
                    if (!fit) {
                        listed += here;
                        worst = std::max(worst, here);
                    }
                }
                const HeldOut held = holdOut(fitScores, fitWindows, heldScores);
                std::fprintf(stderr,
                             "%s, %s: fitted on %d tracks in %d windows (a %.2f b %.3f), 1 in 20 windows "
                             "from %.1f; held out %d windows: %ld above it (%.2f a window), the search "
                             "lists %d (%.2f a window, worst %d)\n",
                             set.folder, encoding.name, held.tail.tracks, held.tail.windows, held.tail.a,
                             held.tail.b, held.cut, heldWindows, held.above,
                             heldWindows ? double(held.above) / heldWindows : 0.0, listed,
                             heldWindows ? double(listed) / heldWindows : 0.0, worst);
                const std::string key = std::string(set.folder).substr(0, 2) + "_" +
                                        std::to_string(encoding.quality < 0 ? 1 : encoding.quality);
                state.counters[key + "_cut"] = held.cut;
                state.counters[key + "_held_listed"] = heldWindows ? double(listed) / heldWindows : 0.0;
            }
        }
    }
}

// `state.range(0)` tracks per window and peak. A comet counts as found when the first candidate
// runs within 3 px (root mean square over the frames) of its true head positions.
void BM_RealInjection(benchmark::State& state)
{
    const int trials = int(state.range(0));
    const double peaks[] = {3, 4, 5, 8};
    for (auto _ : state) {
        int found[4] = {}, tried[4] = {};
        double squares = 0;
        int tracked = 0;
        std::mt19937 random(19);
        for (const RealSet& set : realSets) {
            const std::vector<Frame> frames = readSet(set);
            for (size_t begin = 0; begin + windowFrames <= frames.size(); begin += windowStep) {
                std::vector<QByteArray> files;
                std::vector<double> hours;
                windowOf(frames, begin, files, hours);
                const QPointF sun(512, 512);
                for (int p = 0; p < 4; ++p) {
                    for (int trial = 0; trial < trials; ++trial) {
                        QPointF start, velocity;
                        if (!drawTrack(random, set.field, 1024, hours.back(), sun, start, velocity))
                            continue;
                        const InjectedSequence injected =
                            injectSequence(files, hours, start, velocity, peaks[p], sun);
                        const std::vector<Candidate> candidates =
                            searchWindow(frames, begin, &injected.files);
                        ++tried[p];
                        const auto report = [&](const char* outcome) {
                            if (!qEnvironmentVariableIsSet("SKYRAKE_BENCH_VERBOSE"))
                                return;
                            std::fprintf(stderr, "%s %s %gx at (%.0f, %.0f) %.0f px/h, noise %.1f: %s;",
                                         set.folder, qPrintable(frames[begin].name), peaks[p], start.x(),
                                         start.y(), std::hypot(velocity.x(), velocity.y()), injected.noise,
                                         outcome);
                            for (const Candidate& c : candidates) {
                                double e = 0;
                                for (size_t f = 0; f < injected.heads.size(); ++f) {
                                    const QPointF d = c.positions[f] - injected.heads[f];
                                    e += d.x() * d.x() + d.y() * d.y();
                                }
                                std::fprintf(stderr, " [%.1f px, score %.1f, %d frames]",
                                             std::sqrt(e / double(injected.heads.size())), c.score,
                                             c.framesDetected);
                            }
                            std::fprintf(stderr, "\n");
                        };
                        if (candidates.empty()) {
                            report("missed");
                            continue;
                        }
                        double sum = 0;
                        for (size_t f = 0; f < injected.heads.size(); ++f) {
                            const QPointF d = candidates[0].positions[f] - injected.heads[f];
                            sum += d.x() * d.x() + d.y() * d.y();
                        }
                        sum /= double(injected.heads.size());
                        report(std::sqrt(sum) < 3 ? "found" : "missed");
                        if (std::sqrt(sum) < 3) {
                            ++found[p];
                            squares += sum;
                            ++tracked;
                        }
                    }
                }
            }
        }
        if (tried[0] == 0) {
            state.SkipWithError("no real sequences found (SKYRAKE_SEQUENCES)");
            return;
        }
        for (int p = 0; p < 4; ++p)
            state.counters["found_first_" + std::to_string(int(peaks[p])) + "x"] =
                double(found[p]) / tried[p];
        state.counters["comets_per_peak"] = tried[0];
        state.counters["rms_px"] = tracked > 0 ? std::sqrt(squares / tracked) : 0.0;
    }
}

// A sungrazer as it falls: heading for the Sun (within 25 degrees), `perFrame` pixels a 12-minute
// frame at first, its speed growing by `growth` a frame; kept within the field in every frame.
bool drawSunward(std::mt19937& random, const CometField& field, const std::vector<double>& hours, QPointF sun,
                 double perFrame, double growth, QPointF& start, QPointF& velocity)
{
    std::uniform_real_distribution<double> uniform(0, 1);
    const double margin = 60;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const double radius = field.inner + (field.outer - field.inner) * uniform(random);
        const double angle = 2 * M_PI * uniform(random);
        start = sun + radius * QPointF(std::cos(angle), std::sin(angle));
        const double heading = angle + M_PI + (uniform(random) - 0.5) * 50 * M_PI / 180;
        velocity = perFrame / 0.2 * QPointF(std::cos(heading), std::sin(heading));
        bool inside = true;
        for (const double t : hours) {
            const QPointF p = cometAt(start, velocity, growth, t);
            const QPointF off = p - sun;
            const double r = std::hypot(off.x(), off.y());
            const double pa = std::atan2(-off.y(), off.x()) * 180 / M_PI;
            inside = inside && r >= field.inner && r <= field.outer && p.x() >= margin && p.y() >= margin &&
                     p.x() <= 1024 - margin && p.y() <= 1024 - margin &&
                     !(field.pylon && std::abs(pa - 47) < 10);
        }
        if (inside)
            return true;
    }
    return false;
}

// Comets that speed up as they fall, injected into the real frames: C2 at 4-40 px a frame
// speeding up 0-6 % a frame, C3 at 1-10 px and 0-2 %, at peaks of 3, 4, 5 and 8 times the noise
// and bright ones at 40 and 80 (their heads saturated); `state.range(0)` tracks per window and
// peak. Found: the first candidate within 3 px (root mean square) of the true heads.
void BM_RealAcceleration(benchmark::State& state)
{
    const int trials = int(state.range(0));
    const double peaks[] = {3, 4, 5, 8, 40, 80};
    constexpr int kinds = int(std::size(peaks));
    for (auto _ : state) {
        int found[kinds] = {}, tried[kinds] = {};
        std::mt19937 random(29);
        for (const RealSet& set : realSets) {
            const bool c2 = set.field.inner > 150;
            const double slowest = c2 ? 4 : 1, fastest = c2 ? 40 : 10, mostGrowth = c2 ? 0.06 : 0.02;
            const std::vector<Frame> frames = readSet(set);
            int setFound[kinds] = {}, setTried[kinds] = {};
            for (size_t begin = 0; begin + windowFrames <= frames.size(); begin += windowStep) {
                std::vector<QByteArray> files;
                std::vector<double> hours;
                windowOf(frames, begin, files, hours);
                const QPointF sun(512, 512);
                std::uniform_real_distribution<double> uniform(0, 1);
                for (int p = 0; p < kinds; ++p) {
                    for (int trial = 0; trial < trials; ++trial) {
                        const double perFrame = slowest + (fastest - slowest) * uniform(random);
                        const double growth = mostGrowth * uniform(random);
                        QPointF start, velocity;
                        if (!drawSunward(random, set.field, hours, sun, perFrame, growth, start, velocity))
                            continue;
                        const InjectedSequence injected =
                            injectSequence(files, hours, start, velocity, peaks[p], sun, growth);
                        const std::vector<Candidate> candidates =
                            searchWindow(frames, begin, &injected.files);
                        double sum = INFINITY;
                        if (!candidates.empty()) {
                            sum = 0;
                            for (size_t f = 0; f < injected.heads.size(); ++f) {
                                const QPointF d = candidates[0].positions[f] - injected.heads[f];
                                sum += QPointF::dotProduct(d, d);
                            }
                        }
                        const bool hit = std::sqrt(sum / double(injected.heads.size())) < 3;
                        ++tried[p], ++setTried[p];
                        found[p] += hit, setFound[p] += hit;
                        if (qEnvironmentVariableIsSet("SKYRAKE_BENCH_VERBOSE"))
                            std::fprintf(
                                stderr,
                                "%s %s %gx at (%.0f, %.0f) %.1f px/frame +%.1f %%: %s, %zu candidates, "
                                "first %.1f px off\n",
                                set.folder, qPrintable(frames[begin].name), peaks[p], start.x(), start.y(),
                                perFrame, 100 * growth, hit ? "found" : "missed", candidates.size(),
                                std::sqrt(sum / double(injected.heads.size())));
                    }
                }
            }
            for (int p = 0; p < kinds; ++p)
                std::fprintf(stderr, "%s %gx: found first %d of %d\n", set.folder, peaks[p], setFound[p],
                             setTried[p]);
        }
        for (int p = 0; p < kinds; ++p) {
            const auto [low, high] = wilson(found[p], tried[p]);
            std::fprintf(stderr, "%gx: found first %d of %d, %.2f [%.2f, %.2f]\n", peaks[p], found[p],
                         tried[p], tried[p] ? double(found[p]) / tried[p] : 0.0, low, high);
            state.counters["first_" + std::to_string(int(peaks[p])) + "x"] =
                tried[p] ? double(found[p]) / tried[p] : 0.0;
        }
    }
}

} // namespace

BENCHMARK(BM_RealAcceleration)->Arg(1)->Arg(3)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_RealFalseAlarms)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_RealFalseAlarmTail)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_RealInjection)->Arg(1)->Arg(3)->Iterations(1)->Unit(benchmark::kSecond);
