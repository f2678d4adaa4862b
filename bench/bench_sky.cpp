// The solar disc fitted on every frame of the shared real sets, against the centroid of the disc
// circle's white pixels (a different way to the same centre) and against decoding the same frame:
// how close, and at what cost. bench/README.md gives the figures.
#include "analysis/sky/SkyGeometry.h"
#include "analysis/sky/SunDisc.h"
#include "pictures/LoadPictureFile.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QLineF>

#include <algorithm>

namespace {

struct RealSet
{
    const char* folder;
    const char* pattern;
    Camera camera;
};
const RealSet sets[] = {{"c3_2020-09-25", "*_c3_1024.jpg", Camera::C3},
                        {"c2_2014-06-11", "*_c2.gif", Camera::C2}};

QStringList framesOf(const RealSet& set)
{
    const QDir dir(QStringLiteral(SKYRAKE_SEQUENCES "/") + QLatin1String(set.folder));
    QStringList paths;
    for (const QString& name : dir.entryList({QLatin1String(set.pattern)}, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

// The centroid of the white pixels (all three channels 200 or more) within 1.5 disc radii of the
// middle of the occulter's region: the circle's centre, counted rather than fitted.
QPointF whiteCentroid(const QImage& frame, QPointF near, double radius)
{
    double sx = 0, sy = 0, n = 0;
    for (int y = int(near.y() - 1.5 * radius); y <= int(near.y() + 1.5 * radius); ++y) {
        for (int x = int(near.x() - 1.5 * radius); x <= int(near.x() + 1.5 * radius); ++x) {
            const QRgb c = frame.pixel(x, y);
            if (std::min({qRed(c), qGreen(c), qBlue(c)}) >= 200)
                sx += x + 0.5, sy += y + 0.5, ++n;
        }
    }
    return n > 0 ? QPointF(sx / n, sy / n) : QPointF();
}

void BM_DiscFit(benchmark::State& state)
{
    const RealSet& set = sets[state.range(0)];
    const QStringList paths = framesOf(set);
    if (paths.isEmpty()) {
        state.SkipWithError("the shared real frames are not there");
        return;
    }
    std::vector<QImage> frames;
    for (const QString& path : paths)
        frames.push_back(QImage(path).convertToFormat(QImage::Format_RGB32));
    const BrowseOptics optics = *browseOptics(set.camera);
    double worst = 0, sum = 0, worstResidual = 0;
    for (const QImage& frame : frames) {
        const std::optional<DiscFit> fit = fitSolarDisc(frame, optics.discRadius, optics.occulterRadius);
        if (!fit || fit->occulter) {
            state.SkipWithError("no disc circle found");
            return;
        }
        const double off = QLineF(fit->centre, whiteCentroid(frame, fit->centre, optics.discRadius)).length();
        worst = std::max(worst, off);
        sum += off;
        worstResidual = std::max(worstResidual, fit->residual);
    }
    size_t next = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            fitSolarDisc(frames[next++ % frames.size()], optics.discRadius, optics.occulterRadius));
    state.counters["frames"] = double(frames.size());
    state.counters["mean_offset_px"] = sum / double(frames.size());
    state.counters["worst_offset_px"] = worst;
    state.counters["worst_residual_px"] = worstResidual;
}
BENCHMARK(BM_DiscFit)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// The baseline: decoding the same frames from their files.
void BM_DecodeFrame(benchmark::State& state)
{
    const QStringList paths = framesOf(sets[state.range(0)]);
    if (paths.isEmpty()) {
        state.SkipWithError("the shared real frames are not there");
        return;
    }
    size_t next = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadPictureFile(paths[qsizetype(next++ % size_t(paths.size()))], 96, 96));
}
BENCHMARK(BM_DecodeFrame)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

} // namespace
