// The archive sweep over 250 real frames (the shared C3 and C2 sets, five times each under the
// names of five days) against decoding the same frames one by one, and with one thread against
// two. bench/README.md gives the ratios.
#include "pictures/LoadPictureFile.h"
#include "sweep/Sweep.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>

namespace {

// The frames, made once: links to the real files under names five days apart.
const SweepPlan& plan()
{
    static QTemporaryDir dir;
    static SweepPlan made;
    if (made.frames.empty()) {
        for (const char* set : {"c3_2020-09-25", "c2_2014-06-11"}) {
            const QDir real(QStringLiteral(SKYRAKE_SEQUENCES "/") + QLatin1String(set));
            for (const QString& name : real.entryList(QDir::Files, QDir::Name)) {
                const FrameInfo info = frameInfoFromName(name);
                if (!info.time.isValid())
                    continue;
                for (int day = 0; day < 5; ++day) {
                    QString renamed = name;
                    renamed.replace(0, 8, info.time.date().addDays(day).toString(QStringLiteral("yyyyMMdd")));
                    QFile::link(real.filePath(name), dir.filePath(renamed));
                }
            }
        }
        made = planSweep(findSweepFrames({dir.path()}));
    }
    return made;
}

void BM_Sweep(benchmark::State& state)
{
    if (plan().frames.size() < 200) {
        state.SkipWithError("the shared real frames are not there");
        return;
    }
    const int threads = QThreadPool::globalInstance()->maxThreadCount();
    QThreadPool::globalInstance()->setMaxThreadCount(int(state.range(0)));
    for (auto _ : state) {
        QTemporaryDir out;
        const SweepOutcome outcome = runSweep(plan(), out.filePath(QStringLiteral("sweep.sqlite")));
        if (!outcome.error.isEmpty() || outcome.searched != int(plan().windows.size())) {
            state.SkipWithError("the sweep did not search every window");
            break;
        }
    }
    QThreadPool::globalInstance()->setMaxThreadCount(threads);
    state.SetItemsProcessed(state.iterations() * qint64(plan().frames.size()));
    state.counters["windows"] = double(plan().windows.size());
}
BENCHMARK(BM_Sweep)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline: each frame decoded once, one after another.
void BM_SweepDecodeOnly(benchmark::State& state)
{
    for (auto _ : state) {
        for (const SweepFrame& frame : plan().frames)
            benchmark::DoNotOptimize(LoadPictureFile(frame.path, 96, 96));
    }
    state.SetItemsProcessed(state.iterations() * qint64(plan().frames.size()));
}
BENCHMARK(BM_SweepDecodeOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
