// The raster operations the composite and the channel masks run over the whole work surface,
// against memcpy of the same bytes: the floor any per-pixel pass over that memory could reach.
#include "platform/Surface.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <time.h>

namespace {

constexpr int width = 1600;
constexpr int height = 1000;

struct Surfaces
{
    Surfaces() : destination(width, height), source(width, height)
    {
        destination.fill(destination.rect(), 0x304050);
        source.fill(source.rect(), 0x00ffff);
    }
    Surface destination;
    Surface source;
};

void copyBytes(Surfaces& s)
{
    std::memcpy(s.destination.scanLine(0), s.source.scanLine(0), size_t(width) * height * sizeof(QRgb));
}

void BM_MemcpyBaseline(benchmark::State& state)
{
    Surfaces s;
    for (auto _ : state) {
        copyBytes(s);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * width * height * qint64(sizeof(QRgb)));
}

void BM_Blit(benchmark::State& state)
{
    Surfaces s;
    const auto op = RasterOp(state.range(0));
    for (auto _ : state) {
        blit(s.destination, s.destination.rect(), s.source, op);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * width * height * qint64(sizeof(QRgb)));
    state.SetLabel(op == RasterOp::And   ? "and"
                   : op == RasterOp::Xor ? "xor"
                   : op == RasterOp::Or  ? "or"
                                         : "copy");
}

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The operation and memcpy in turn, so both see the same load; "ratio" is the operation's time
// over memcpy's, in CPU time of this thread (waits for a core on the shared machine left out).
void BM_BlitRatio(benchmark::State& state)
{
    Surfaces s;
    const auto op = RasterOp(state.range(0));
    double blitTime = 0;
    double copyTime = 0;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        copyBytes(s);
        benchmark::ClobberMemory();
        const double t1 = threadSeconds();
        blit(s.destination, s.destination.rect(), s.source, op);
        benchmark::ClobberMemory();
        const double t2 = threadSeconds();
        copyTime += t1 - t0;
        blitTime += t2 - t1;
    }
    state.counters["ratio"] = blitTime / copyTime;
    state.SetLabel(op == RasterOp::And ? "and" : op == RasterOp::Xor ? "xor" : "or");
}

} // namespace

BENCHMARK(BM_MemcpyBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Blit)
    ->Arg(int(RasterOp::And))
    ->Arg(int(RasterOp::Xor))
    ->Arg(int(RasterOp::Or))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlitRatio)
    ->Arg(int(RasterOp::And))
    ->Arg(int(RasterOp::Xor))
    ->Arg(int(RasterOp::Or))
    ->Unit(benchmark::kMicrosecond);
