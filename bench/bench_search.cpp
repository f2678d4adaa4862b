// The automatic search for movers. Speed: the search over eight 1024 x 1024 frames against
// loading the same eight JPEG files (LoadPictureFile, one after another on this thread), turn
// about in one run, wall-clock time (the search uses every core). Accuracy: seeded sample
// sequences of eight 1024 x 1024 frames with a comet at a peak of 4 and of 3 noise sigmas and
// with none, read back from GIF (lossless, as skyrake-sample writes them) or from JPEG (quality
// 90, likewise). bench/README.md gives the figures.
#include "analysis/search/MoverSearch.h"
#include "analysis/search/MoverTrack.h"
#include "pictures/FrameInfo.h"
#include "pictures/LoadPictureFile.h"
#include "sample/GifWriter.h"
#include "sample/SequenceMaker.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cmath>

namespace {

const QImage& background()
{
    static const QImage image(QStringLiteral(SKYRAKE_FIXTURES "/real/lasco_c3_20130513_1654_1024.jpg"));
    return image;
}

QByteArray encode(const QImage& picture, bool gif)
{
    if (gif) {
        std::vector<unsigned char> indices;
        for (int y = 0; y < picture.height(); ++y)
            indices.insert(indices.end(), picture.constScanLine(y),
                           picture.constScanLine(y) + picture.width());
        const QList<QRgb> table = picture.colorTable();
        return encodeGif(picture.width(), picture.height(), indices,
                         std::vector<QRgb>(table.begin(), table.end()));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", 90);
    return bytes;
}

// A sample sequence as eight JPEG files, made once: the tool's default (a bright comet) for
// `faint` false, otherwise seed 1 with a comet at a peak of 3 noise sigmas.
const QStringList& sampleFiles(bool faint)
{
    static QTemporaryDir dir;
    static QStringList lists[2];
    QStringList& paths = lists[faint];
    if (paths.isEmpty()) {
        SampleOptions options;
        if (faint) {
            options.seed = 1;
            options.peak = 3;
        }
        for (const SampleFrame& frame : makeSequence(background(), options)) {
            paths << dir.filePath(frame.name +
                                  (faint ? QStringLiteral("_faint.jpg") : QStringLiteral(".jpg")));
            QFile file(paths.back());
            if (file.open(QIODevice::WriteOnly))
                file.write(encode(frame.picture, false));
        }
    }
    return paths;
}

// The eight real C2 science frames of a comet (gzipped FITS, 1024 pixels a side).
QStringList cometFiles()
{
    const QByteArray set = qgetenv("SKYRAKE_COMETS");
    const QDir dir((set.isEmpty() ? QStringLiteral(SKYRAKE_COMETS) : QString::fromLocal8Bit(set)) +
                   QStringLiteral("/cmt0008"));
    QStringList paths;
    for (const QString& name : dir.entryList({QStringLiteral("*.fts.gz")}, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

// `state.range(0)`: 0 the bright sample comet, 1 a faint one (JPEG), 2 real FITS frames.
void BM_SearchAgainstLoading(benchmark::State& state)
{
    const QStringList paths = state.range(0) == 2 ? cometFiles() : sampleFiles(state.range(0) == 1);
    std::vector<std::unique_ptr<Picture>> pictures;
    std::vector<SearchFrame> frames;
    for (const QString& path : paths) {
        LoadResult loaded = LoadPictureFile(path, 96, 96);
        if (!loaded) {
            state.SkipWithError("the sample frames did not load");
            return;
        }
        pictures.push_back(std::move(loaded->picture));
        const FrameInfo info = frameInfoOf(loaded->name, pictures.back()->keywords());
        frames.push_back({pictures.back().get(), info.time, info.camera});
    }
    if (frames.size() < 4) {
        state.SkipWithError("no frames to search");
        return;
    }
    double loading = 0, searching = 0;
    QElapsedTimer clock;
    for (auto _ : state) {
        clock.start();
        for (const QString& path : paths)
            benchmark::DoNotOptimize(LoadPictureFile(path, 96, 96));
        const qint64 loaded = clock.nsecsElapsed();
        const std::vector<Candidate> found = searchMovers(frames);
        const qint64 searched = clock.nsecsElapsed();
        if (found.empty() && state.range(0) != 1)
            state.SkipWithError("the comet was not found");
        loading += double(loaded) * 1e-6;
        searching += double(searched - loaded) * 1e-6;
        state.SetIterationTime(double(searched) * 1e-9);
    }
    const double n = double(state.iterations());
    state.counters["load_ms"] = loading / n;
    state.counters["search_ms"] = searching / n;
    state.counters["ratio"] = searching / loading;
}

// Whether the signal summed along the comet's true track, as the search scores a track, reaches
// the search's threshold: what a search that knew where to look would find.
bool withinReach(const std::vector<SampleFrame>& truth, const std::vector<std::unique_ptr<Picture>>& pictures)
{
    std::vector<const Picture*> frames;
    std::vector<double> hours;
    for (size_t f = 0; f < truth.size(); ++f) {
        frames.push_back(pictures[f].get());
        hours.push_back(double(truth.front().time.msecsTo(truth[f].time)) / 3.6e6);
    }
    const std::optional<SignalFrames> maps = detectSignals(frames, 100, {});
    if (!maps)
        return false;
    tracks::Track track;
    const QPointF velocity = (truth.back().comets[0] - truth.front().comets[0]) / hours.back();
    track.vx = velocity.x();
    track.vy = velocity.y();
    track.x0 = truth.front().comets[0].x();
    track.y0 = truth.front().comets[0].y();
    double cap = 0;
    return tracks::trackScore(track, *maps, hours, cap) >= tracks::minScore;
}

// Seeds 1 to `state.range(1)` at peaks 4 and 3 and without a comet; the format is GIF for
// `state.range(0)` 1, JPEG for 0. A comet is found when the first candidate runs within 3
// pixels (root mean square) of its true positions; the position error is that of found tracks.
// `within_reach` counts the comets whose true track alone would score enough.
void BM_SearchAccuracy(benchmark::State& state)
{
    const bool gif = state.range(0) == 1;
    const int seeds = int(state.range(1));
    for (auto _ : state) {
        int found[2] = {0, 0}, reachable[2] = {0, 0};
        double squares = 0;
        int tracked = 0, empties = 0;
        for (const double peak : {4.0, 3.0, 0.0}) {
            for (int seed = 1; seed <= seeds; ++seed) {
                SampleOptions options;
                options.seed = quint32(seed);
                options.peak = peak;
                options.comets = peak > 0 ? 1 : 0;
                const std::vector<SampleFrame> truth = makeSequence(background(), options);
                std::vector<std::unique_ptr<Picture>> pictures;
                std::vector<SearchFrame> frames;
                for (const SampleFrame& frame : truth) {
                    pictures.push_back(decodePicture(encode(frame.picture, gif), 96, 96));
                    frames.push_back({pictures.back().get(), frame.time, Camera::C3});
                }
                const std::vector<Candidate> candidates = searchMovers(frames);
                if (peak == 0) {
                    empties += int(candidates.size());
                    continue;
                }
                reachable[peak == 4.0 ? 0 : 1] += withinReach(truth, pictures);
                if (candidates.empty())
                    continue;
                double sum = 0;
                for (size_t f = 0; f < truth.size(); ++f) {
                    const QPointF d = candidates[0].positions[f] - truth[f].comets[0];
                    sum += d.x() * d.x() + d.y() * d.y();
                }
                sum /= double(truth.size());
                if (std::sqrt(sum) < 3) {
                    ++found[peak == 4.0 ? 0 : 1];
                    squares += sum;
                    ++tracked;
                }
            }
        }
        state.counters["found_first_4x"] = double(found[0]) / seeds;
        state.counters["found_first_3x"] = double(found[1]) / seeds;
        state.counters["within_reach_4x"] = double(reachable[0]) / seeds;
        state.counters["within_reach_3x"] = double(reachable[1]) / seeds;
        state.counters["rms_px"] = tracked > 0 ? std::sqrt(squares / tracked) : 0.0;
        state.counters["empty_candidates"] = double(empties) / seeds;
    }
    state.SetLabel(gif ? "gif" : "jpeg");
}

} // namespace

BENCHMARK(BM_SearchAgainstLoading)->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchAccuracy)->Args({1, 20})->Args({0, 20})->Iterations(1)->Unit(benchmark::kSecond);
