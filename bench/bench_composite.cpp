// The difference composite of ten 1024 x 1024 frames in a 1600 x 1000 client, against one
// memcpy of a 1600 x 1000 RGB32 surface in the same run. bench/README.md gives the ratio.
#include "BenchView.h"
#include "viewer/SkyrakeView.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QMainWindow>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int compositeWidth = 1600;
constexpr int compositeHeight = 1000;

struct CompositeBench : BenchView
{
    CompositeBench() : BenchView(compositeWidth, compositeHeight, 10) {}
};

void compositeTenFrames(benchmark::State& state)
{
    CompositeBench bench;
    if (bench.view->size() != QSize(compositeWidth, compositeHeight)) {
        state.SkipWithError("the client area is not 1600 x 1000");
        return;
    }
    for (auto _ : state) {
        bench.view->OnComposite();
        benchmark::DoNotOptimize(bench.view->windowImage().constBits());
    }
}

void memcpySurface(benchmark::State& state)
{
    const size_t bytes = size_t(compositeWidth) * compositeHeight * 4;
    std::vector<unsigned char> from(bytes, 1);
    std::vector<unsigned char> to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(memcpySurface)->Name("composite/memcpy_1600x1000")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(compositeTenFrames)
    ->Name("composite/ten_1024_frames")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
