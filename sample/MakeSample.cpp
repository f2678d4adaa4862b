// Makes a short sequence that looks and behaves like real LASCO C3 data: eight frames at a
// 12-minute cadence built on a real C3 frame, with a sungrazing comet (a small bright head and
// a faint tail pointing away from the Sun) moving toward the occulter at a constant rate, stars
// drifting slowly, fresh noise in every frame and a few cosmic-ray hits that appear in one frame
// only. Writes 1024x1024 and 512x512 frames as JPEG and GIF, and
// comet.txt with the comet's true position in each frame.
//
// Usage: skyrake-sample BACKGROUND.jpg OUTPUT_DIR
#include "GifWriter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPointF>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int frameCount = 8;
constexpr int size = 1024;
// Comet head in the first frame and its motion per frame, in 1024-frame pixels (0-based).
constexpr QPointF cometStart(745.5, 262.5);
constexpr QPointF cometStep(-9.0, 7.0);
constexpr QPointF sunCentre(512.0, 512.0);

struct Star
{
    QPointF at;
    double peak;
};

void addLight(std::vector<double>& sky, double x, double y, double sigma, double peak)
{
    const int r = int(std::ceil(sigma * 4));
    for (int j = int(y) - r; j <= int(y) + r; ++j) {
        for (int i = int(x) - r; i <= int(x) + r; ++i) {
            if (i < 0 || j < 0 || i >= size || j >= size)
                continue;
            const double dx = i + 0.5 - x;
            const double dy = j + 0.5 - y;
            sky[size_t(j) * size + size_t(i)] += peak * std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma));
        }
    }
}

void addComet(std::vector<double>& sky, QPointF head)
{
    // The tail points away from the Sun: along the line from the Sun through the head.
    QPointF away = head - sunCentre;
    const double length = std::hypot(away.x(), away.y());
    away /= length;
    for (int k = 1; k <= 40; ++k) {
        const double fade = 1.0 - k / 41.0;
        addLight(sky, head.x() + away.x() * k * 1.2, head.y() + away.y() * k * 1.2, 1.4 + k * 0.03,
                 22 * fade);
    }
    addLight(sky, head.x(), head.y(), 1.3, 230);
}

// Grey levels of the sky, binned by `bin` x `bin`, as palette indices.
std::vector<unsigned char> levels(const std::vector<double>& sky, int bin)
{
    const int side = size / bin;
    std::vector<unsigned char> out(size_t(side) * side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            double sum = 0;
            for (int j = 0; j < bin; ++j)
                for (int i = 0; i < bin; ++i)
                    sum += sky[size_t(y * bin + j) * size + size_t(x * bin + i)];
            out[size_t(y) * side + size_t(x)] =
                static_cast<unsigned char>(std::clamp(int(std::lround(sum / (bin * bin))), 0, 255));
        }
    }
    return out;
}

QImage toImage(const std::vector<unsigned char>& indices, int side, const std::vector<QRgb>& palette)
{
    QImage image(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x)
            line[x] = palette[indices[size_t(y) * side + size_t(x)]];
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    // A tool for scripts: it needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: skyrake-sample BACKGROUND.jpg OUTPUT_DIR\n");
        return 2;
    }
    QImage background(QString::fromLocal8Bit(argv[1]));
    if (background.isNull() || background.width() != size || background.height() != size) {
        std::fprintf(stderr, "skyrake-sample: %s is not a 1024x1024 picture\n", argv[1]);
        return 1;
    }
    background = background.convertToFormat(QImage::Format_RGB32);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out.path());

    // The C3 colour table maps a grey level to a colour; recover the grey level of each pixel as
    // the brightness of its colour, and rebuild the palette as the mean colour per level.
    std::vector<double> base(size_t(size) * size);
    std::vector<double> sum[3] = {std::vector<double>(256), std::vector<double>(256),
                                  std::vector<double>(256)};
    std::vector<int> count(256);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb c = background.pixel(x, y);
            const int level = std::max({qRed(c), qGreen(c), qBlue(c)});
            base[size_t(y) * size + size_t(x)] = level;
            sum[0][size_t(level)] += qRed(c);
            sum[1][size_t(level)] += qGreen(c);
            sum[2][size_t(level)] += qBlue(c);
            ++count[size_t(level)];
        }
    }
    std::vector<QRgb> palette(256);
    QRgb last = qRgb(0, 0, 0);
    for (int v = 0; v < 256; ++v) {
        if (count[size_t(v)] > 0)
            last = qRgb(int(sum[0][size_t(v)] / count[size_t(v)]), int(sum[1][size_t(v)] / count[size_t(v)]),
                        int(sum[2][size_t(v)] / count[size_t(v)]));
        else if (v > 0)
            last = qRgb(std::min(255, qRed(last) + 1), std::min(255, qGreen(last) + 1),
                        std::min(255, qBlue(last) + 1));
        palette[size_t(v)] = last;
    }

    std::mt19937 random(20130513);
    std::uniform_real_distribution<double> anywhere(40.0, size - 40.0);
    std::vector<Star> stars;
    for (int i = 0; i < 60; ++i)
        stars.push_back({QPointF(anywhere(random), anywhere(random)),
                         40.0 + 120.0 * std::generate_canonical<double, 32>(random)});
    std::normal_distribution<double> noise(0.0, 2.5);

    QFile truth(out.filePath(QStringLiteral("comet.txt")));
    if (!truth.open(QIODevice::WriteOnly | QIODevice::Text))
        return 1;
    QTextStream table(&truth);
    table << "# The comet's true position in each frame, as SkyRake reports a position: the 1-based column "
             "and\n"
             "# row of the picture pixel that holds the centre of the comet's head.\n"
             "# frame (its .jpg and .gif)\tx\ty\n";

    const QDateTime start(QDate(2013, 5, 13), QTime(16, 54), Qt::UTC);
    for (int f = 0; f < frameCount; ++f) {
        std::vector<double> sky = base;
        for (const Star& star : stars) // drifting slowly to the right, as C3 stars do
            addLight(sky, star.at.x() + 0.8 * f, star.at.y(), 0.9, star.peak);
        const QPointF head = cometStart + cometStep * f;
        addComet(sky, head);
        for (int hit = 0; hit < 4; ++hit) { // cosmic rays: short bright streaks, one frame only
            const double x = anywhere(random);
            const double y = anywhere(random);
            for (int k = 0; k < 3; ++k)
                addLight(sky, x + k, y + k * 0.5, 0.6, 250);
        }
        for (double& v : sky)
            v += noise(random);

        const QString stamp = start.addSecs(qint64(f) * 12 * 60).toString(QStringLiteral("yyyyMMdd_HHmm"));
        for (const int bin : {1, 2}) {
            const int side = size / bin;
            const std::vector<unsigned char> indices = levels(sky, bin);
            const QString name = QStringLiteral("%1_c3_%2").arg(stamp).arg(side);
            QFile gif(out.filePath(name + QStringLiteral(".gif")));
            if (!toImage(indices, side, palette)
                     .save(out.filePath(name + QStringLiteral(".jpg")), "JPEG", 90) ||
                !gif.open(QIODevice::WriteOnly) || gif.write(encodeGif(side, side, indices, palette)) < 0)
                return 1;
            // The head's pixel, 1-based; in the binned frame the pixel the head's centre falls in.
            table << name << "\t" << int(std::floor(head.x() / bin)) + 1 << '\t'
                  << int(std::floor(head.y() / bin)) + 1 << '\n';
        }
    }
    return 0;
}
