// The archive sweep over 250 real frames (the shared C3 and C2 sets, five times each under the
// names of five days) against decoding the same frames one by one, and on one core against two.
// bench/README.md gives the ratios.
#include "pictures/LoadPictureFile.h"
#include "sweep/Sweep.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>

#include <sched.h>

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

// Every thread of the process, the pools' among them, on the first `cores` of the processors
// it may use (all of them for 0). A thread that waits on the pool helps with its work, so a
// pool of one thread alone does not make one core.
void useCores(int cores)
{
    static cpu_set_t allowed = [] {
        cpu_set_t set;
        sched_getaffinity(0, sizeof set, &set);
        return set;
    }();
    cpu_set_t chosen;
    CPU_ZERO(&chosen);
    for (int cpu = 0, taken = 0; cpu < CPU_SETSIZE && (cores == 0 || taken < cores); ++cpu) {
        if (CPU_ISSET(cpu, &allowed)) {
            CPU_SET(cpu, &chosen);
            ++taken;
        }
    }
    for (const QString& task :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        sched_setaffinity(task.toInt(), sizeof chosen, &chosen);
}

// One whole sweep into a fresh database on `cores` cores, the pools as wide; seconds taken.
double sweepOn(int cores)
{
    const int threads = QThreadPool::globalInstance()->maxThreadCount();
    QThreadPool::globalInstance()->setMaxThreadCount(cores);
    useCores(cores);
    QTemporaryDir out;
    QElapsedTimer clock;
    clock.start();
    const SweepOutcome outcome = runSweep(plan(), out.filePath(QStringLiteral("sweep.sqlite")));
    const double seconds = clock.nsecsElapsed() / 1e9;
    useCores(0);
    QThreadPool::globalInstance()->setMaxThreadCount(threads);
    return outcome.error.isEmpty() && outcome.searched == int(plan().windows.size()) ? seconds : -1;
}

void BM_Sweep(benchmark::State& state)
{
    if (plan().frames.size() < 200) {
        state.SkipWithError("the shared real frames are not there");
        return;
    }
    for (auto _ : state) {
        const double seconds = sweepOn(int(state.range(0)));
        if (seconds < 0) {
            state.SkipWithError("the sweep did not search every window");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.SetItemsProcessed(state.iterations() * qint64(plan().frames.size()));
    state.counters["windows"] = double(plan().windows.size());
}
BENCHMARK(BM_Sweep)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseManualTime();

// The speed-up from one core to two, the two sweeps in turn inside one loop so that both see the
// same load from the machine's other users.
void BM_SweepSpeedUp(benchmark::State& state)
{
    if (plan().frames.size() < 200) {
        state.SkipWithError("the shared real frames are not there");
        return;
    }
    double one = 0, two = 0;
    for (auto _ : state) {
        const double a = sweepOn(1), b = sweepOn(2);
        if (a < 0 || b < 0) {
            state.SkipWithError("the sweep did not search every window");
            break;
        }
        one += a;
        two += b;
        state.SetIterationTime(a + b);
    }
    state.counters["speedup"] = two > 0 ? one / two : 0;
}
BENCHMARK(BM_SweepSpeedUp)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

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
