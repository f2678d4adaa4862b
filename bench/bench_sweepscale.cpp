// The sweep at an archive's scale, without decoding: planning 10^5 windows against sorting their
// frames, and merging 250 and 1,000 task databases against copying the same files, each in a
// child process so that its peak memory is its own. bench/README.md gives the ratios.
#include "sweep/Sweep.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace {

// `count` C3 frames 12 minutes apart, a gap of two hours after every 100 (runs of 100 frames:
// 24 windows each), as the archive's names and folders have them.
std::vector<SweepFrame> archiveFrames(int count)
{
    std::vector<SweepFrame> frames;
    frames.reserve(size_t(count));
    QDateTime time(QDate(1996, 1, 1), QTime(0, 0), Qt::UTC);
    for (int i = 0; i < count; ++i) {
        time = time.addSecs(i % 100 == 0 ? 7200 : 720);
        const QString name = time.toString(QStringLiteral("yyyyMMdd_hhmm")) + QStringLiteral("_c3_1024.jpg");
        frames.push_back(
            {QStringLiteral("/archive/c3/%1/%2").arg(time.toString(QStringLiteral("yyyyMMdd")), name), name,
             time, Camera::C3, 1024, 150000 + i % 1000});
    }
    // In the order a folder walk gives, not the plan's.
    std::reverse(frames.begin(), frames.end());
    return frames;
}

// About 10^5 windows: 4.17 x 10^5 frames.
const std::vector<SweepFrame>& plannedFrames()
{
    static const std::vector<SweepFrame> frames = archiveFrames(417000);
    return frames;
}

void BM_PlanWindows(benchmark::State& state)
{
    const std::vector<SweepFrame>& frames = plannedFrames(); // made before the clock runs
    size_t windows = 0;
    for (auto _ : state)
        windows = planSweep(frames).windows.size();
    state.counters["windows"] = double(windows);
}
BENCHMARK(BM_PlanWindows)->Unit(benchmark::kMillisecond)->Iterations(3);

// The baseline: the sort any plan needs.
void BM_PlanWindowsSortOnly(benchmark::State& state)
{
    const std::vector<SweepFrame>& made = plannedFrames();
    for (auto _ : state) {
        std::vector<SweepFrame> frames = made;
        std::sort(frames.begin(), frames.end(), [](const SweepFrame& a, const SweepFrame& b) {
            return std::tie(a.camera, a.size, a.time, a.name) < std::tie(b.camera, b.size, b.time, b.name);
        });
        benchmark::DoNotOptimize(frames.data());
    }
}
BENCHMARK(BM_PlanWindowsSortOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

// 1,000 task databases made once, a window of eight frames each with the comet on a line through
// them all: one track when merged.
const QStringList& taskDatabases()
{
    static QTemporaryDir dir;
    static QStringList paths;
    if (!paths.isEmpty())
        return paths;
    std::vector<SweepFrame> frames = archiveFrames(4 * 1000 + 4);
    std::reverse(frames.begin(), frames.end());
    for (SweepFrame& frame : frames) // one long run
        frame.time =
            QDateTime(QDate(1996, 1, 1), QTime(0, 0), Qt::UTC).addSecs(720 * qint64(&frame - frames.data()));
    const SweepPlan plan = planSweep(frames);
    for (int k = 0; k < 1000; ++k) {
        paths << dir.filePath(QStringLiteral("window-%1.sqlite").arg(k));
        SweepStore store(paths.last(), SweepStore::Access::Write);
        const SweepWindow& window = plan.windows[size_t(k)];
        store.addPlan(plan, {k});
        WindowRecord record = windowRecord(plan, window);
        Candidate comet;
        comet.score = 20;
        for (int i = window.first; i < window.first + window.count; ++i) {
            record.searched.push_back(plan.frames[size_t(i)].name);
            comet.positions.emplace_back(10 + 0.1 * i, 20 + 0.05 * i);
        }
        record.found.push_back(comet);
        if (!store.storeWindow(record))
            qFatal("%s", qPrintable(store.error()));
    }
    return paths;
}

// Runs `work` in a child process; its wall time, its peak memory in MB in `peakMb` and its
// processor time in `cpuSeconds`.
double inChild(const std::function<void()>& work, double* peakMb, double* cpuSeconds = nullptr)
{
    QElapsedTimer clock;
    clock.start();
    const pid_t child = fork();
    if (child == 0) {
        work();
        _exit(0);
    }
    int status = 0;
    rusage usage = {};
    wait4(child, &status, 0, &usage);
    *peakMb = double(usage.ru_maxrss) / 1024;
    if (cpuSeconds)
        *cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return clock.nsecsElapsed() / 1e9;
}

void BM_MergeTasks(benchmark::State& state)
{
    const QStringList inputs = taskDatabases().mid(0, int(state.range(0))); // made before the clock runs
    double peak = 0, idlePeak = 0, cpu = 0;
    for (auto _ : state) {
        QTemporaryDir out;
        const double seconds = inChild(
            [&] {
                if (!mergeSweeps(inputs, out.filePath(QStringLiteral("merged.sqlite"))).error.isEmpty())
                    _exit(1);
            },
            &peak, &cpu);
        state.SetIterationTime(seconds);
        inChild([] {}, &idlePeak);
    }
    state.counters["windows"] = double(inputs.size());
    state.counters["peak_MB_over_idle"] = peak - idlePeak;
    state.counters["cpu_s"] = cpu; // of the last merge
}
BENCHMARK(BM_MergeTasks)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// The baseline: every task database read and written into one file.
void BM_MergeTasksCopyOnly(benchmark::State& state)
{
    const QStringList inputs = taskDatabases().mid(0, int(state.range(0))); // made before the clock runs
    double peak = 0;
    for (auto _ : state) {
        QTemporaryDir out;
        const double seconds = inChild(
            [&] {
                QFile all(out.filePath(QStringLiteral("all")));
                if (!all.open(QIODevice::WriteOnly))
                    _exit(1);
                for (const QString& input : inputs) {
                    QFile part(input);
                    if (part.open(QIODevice::ReadOnly))
                        all.write(part.readAll());
                }
            },
            &peak);
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_MergeTasksCopyOnly)
    ->Arg(250)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

} // namespace
