// The display stretch's limits on a 1024 x 1024 float frame (a FITS frame's size), against memcpy
// of the same 4 MB: the least any method looking at every pixel costs. zscale reads about a
// thousand pixels and so should come in well under that; it must stay under 5 ms. The ratio
// benchmark runs both in turn and reports zscale's time over memcpy's, in CPU time of this thread.
#include "analysis/Stretch.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <time.h>

namespace {

constexpr int side = 1024; // pixels

// A coronagraph-like frame: a sky falling off from the centre, noise, a few hundred stars and
// some NaN pixels (blank telemetry). Values in DN.
std::vector<float> makeFrame()
{
    std::vector<float> frame(size_t(side) * side);
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0, 15);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const float r2 = float((x - side / 2) * (x - side / 2) + (y - side / 2) * (y - side / 2));
            frame[size_t(y) * side + size_t(x)] = 400 + 3e7f / (r2 + 1e4f) + noise(random);
        }
    }
    std::uniform_int_distribution<size_t> anywhere(0, frame.size() - 1);
    for (int i = 0; i < 300; ++i)
        frame[anywhere(random)] = 16000;
    for (int i = 0; i < 2000; ++i)
        frame[anywhere(random)] = std::numeric_limits<float>::quiet_NaN();
    return frame;
}

const std::vector<float>& frame()
{
    static const std::vector<float> f = makeFrame();
    return f;
}

void copyFrame(const std::vector<float>& f, std::vector<float>& copy)
{
    std::memcpy(copy.data(), f.data(), f.size() * sizeof(float));
    benchmark::ClobberMemory();
}

void BM_FrameMemcpyBaseline(benchmark::State& state)
{
    const auto& f = frame();
    std::vector<float> copy(f.size());
    for (auto _ : state)
        copyFrame(f, copy);
    state.SetBytesProcessed(state.iterations() * qint64(f.size() * sizeof(float)));
}

void BM_ZScaleLimits(benchmark::State& state)
{
    const auto& f = frame();
    for (auto _ : state)
        benchmark::DoNotOptimize(zscaleLimits(f.data(), side, side, side));
}

void BM_PercentileLimits(benchmark::State& state)
{
    const auto& f = frame();
    for (auto _ : state)
        benchmark::DoNotOptimize(percentileLimits(f.data(), side, side, side, 99.5));
}

// Rendering through the table: one level per pixel, as a FITS frame is drawn.
void BM_FloatTableLevels(benchmark::State& state)
{
    const auto& f = frame();
    const Range range = zscaleLimits(f.data(), side, side, side);
    const StretchTable table = StretchTable::forFloats({StretchCurve::Asinh}, FloatAxis(range));
    std::vector<quint8> levels(f.size());
    for (auto _ : state) {
        for (size_t i = 0; i < f.size(); ++i)
            levels[i] = table.level(f[i]);
        benchmark::ClobberMemory();
    }
}

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void BM_ZScaleRatio(benchmark::State& state)
{
    const auto& f = frame();
    std::vector<float> copy(f.size());
    double copyTime = 0, zscaleTime = 0;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        copyFrame(f, copy);
        const double t1 = threadSeconds();
        benchmark::DoNotOptimize(zscaleLimits(f.data(), side, side, side));
        const double t2 = threadSeconds();
        copyTime += t1 - t0;
        zscaleTime += t2 - t1;
    }
    state.counters["ratio"] = zscaleTime / copyTime;
}

} // namespace

BENCHMARK(BM_FrameMemcpyBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZScaleLimits)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PercentileLimits)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FloatTableLevels)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZScaleRatio)->Unit(benchmark::kMicrosecond);
