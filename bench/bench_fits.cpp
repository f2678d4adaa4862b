// Reading a PUNCH-sized frame, 4096 by 4096 float32, Rice tile-compressed in HDU 1 as PUNCH
// writes it, against the same values stored plain: what cfitsio's decompression costs on top of
// the read, and what loading such a frame as a picture takes in all.
#include "pictures/FitsFile.h"
#include "pictures/LoadPictureFile.h"

#include <benchmark/benchmark.h>
#include <fitsio.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int side = 4096;

// A corona falling off with distance from the centre, with noise a thousandth of it.
QByteArray mosaic(bool rice)
{
    std::vector<float> values(size_t(side) * side);
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double r = std::hypot(x - side / 2 + 0.5, y - side / 2 + 0.5) + 50;
            const float level = float(1e-10 * std::pow(r / 50, -2.5));
            values[size_t(y) * side + size_t(x)] = level * (1 + 1e-3f * noise(random));
        }
    }
    const QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral("m.fits")));
    fitsfile* file = nullptr;
    int status = 0;
    long axes[2] = {side, side};
    fits_create_file(&file, path.constData(), &status);
    if (rice) {
        fits_create_img(file, FLOAT_IMG, 0, nullptr, &status);
        fits_set_compression_type(file, RICE_1, &status);
    }
    fits_create_img(file, FLOAT_IMG, 2, axes, &status);
    fits_write_img(file, TFLOAT, 1, LONGLONG(values.size()), values.data(), &status);
    fits_close_file(file, &status);
    QFile written(QString::fromLocal8Bit(path));
    return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
}

const QByteArray& bytesOf(bool rice)
{
    static const QByteArray plain = mosaic(false), compressed = mosaic(true);
    return rice ? compressed : plain;
}

void BM_DecodeMosaic(benchmark::State& state)
{
    const QByteArray& bytes = bytesOf(state.range(0) == 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeFits(bytes, qint64(1) << 30));
    state.counters["MB"] = double(bytes.size()) / 1e6;
}

void BM_LoadMosaicPicture(benchmark::State& state)
{
    const QByteArray& bytes = bytesOf(state.range(0) == 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(decodePicture(bytes, 96, 96));
}

} // namespace

BENCHMARK(BM_DecodeMosaic)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMosaicPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
