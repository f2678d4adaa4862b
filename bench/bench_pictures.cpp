// Loading a picture file against the least any loader must do: decode the same bytes with a bare
// QImageReader. The difference is the file read, the cut-off check and the conversion to
// 32-bit RGB. Each pair also runs interleaved in one benchmark, whose "ratio" counter is the
// loader's time over the reader's, both in CPU time of this thread: interleaving keeps both under
// the same load, and CPU time leaves out the waits for a core on a shared machine.
#include "pictures/LoadPictureFile.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <time.h>

namespace {

const QString jpegPath = QStringLiteral(SKYRAKE_FIXTURES "/real/lasco_c3_20130513_1654_1024.jpg");
const QString gifPath = QStringLiteral(SKYRAKE_FIXTURES "/real/lasco_c3_20130513_1654_1024.gif");

const QString& pathOf(const benchmark::State& state)
{
    return state.range(0) == 0 ? jpegPath : gifPath;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage decodeBare(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.read();
}

void BM_ReaderBaseline(benchmark::State& state)
{
    const QByteArray bytes = readAll(pathOf(state));
    for (auto _ : state) {
        QImage image = decodeBare(bytes);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(state.range(0) == 0 ? "jpeg" : "gif");
}

void BM_LoadPictureFile(benchmark::State& state)
{
    const QString& path = pathOf(state);
    for (auto _ : state) {
        auto loaded = LoadPictureFile(path, 96, 96);
        if (!loaded) {
            state.SkipWithError("the fixture did not load");
            break;
        }
        benchmark::DoNotOptimize(loaded->picture.get());
    }
    state.SetLabel(state.range(0) == 0 ? "jpeg" : "gif");
}

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void BM_LoadRatio(benchmark::State& state)
{
    const QString& path = pathOf(state);
    const QByteArray bytes = readAll(path);
    double reader = 0;
    double loader = 0;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        {
            QImage image = decodeBare(bytes);
            benchmark::DoNotOptimize(image.constBits());
        }
        const double t1 = threadSeconds();
        {
            auto loaded = LoadPictureFile(path, 96, 96);
            benchmark::DoNotOptimize(loaded);
        }
        const double t2 = threadSeconds();
        reader += t1 - t0;
        loader += t2 - t1;
    }
    state.counters["ratio"] = loader / reader;
    state.SetLabel(state.range(0) == 0 ? "jpeg" : "gif");
}

} // namespace

BENCHMARK(BM_ReaderBaseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPictureFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadRatio)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
