#include "SequenceMaker.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr int skySide = 1024;
constexpr QPointF sunCentre(512.0, 512.0);
// The classic sample comet (the tests know its track): its head in the first frame and its direction of
// motion.
constexpr QPointF classicStart(745.5, 262.5);
constexpr QPointF classicStep(-9.0, 7.0);
// The tail's brightness against the head's.
constexpr double tailShare = 22.0 / 230.0;
// Drawn comets and stars keep this far from the frame's edges (1024-frame pixels).
constexpr double margin = 40.0;
// The grey level below which the background is outside the field of view.
constexpr double fieldLevel = 16.0;

using Sky = std::vector<double>; // grey levels, skySide x skySide, row by row

void addLight(Sky& sky, double x, double y, double sigma, double peak)
{
    const int r = int(std::ceil(sigma * 4));
    for (int j = int(y) - r; j <= int(y) + r; ++j) {
        for (int i = int(x) - r; i <= int(x) + r; ++i) {
            if (i < 0 || j < 0 || i >= skySide || j >= skySide)
                continue;
            const double dx = i + 0.5 - x;
            const double dy = j + 0.5 - y;
            sky[size_t(j) * skySide + size_t(i)] +=
                peak * std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma));
        }
    }
}

void addComet(Sky& sky, QPointF head, double peak, bool tail)
{
    if (tail) {
        // The tail points away from the Sun: along the line from the Sun through the head.
        QPointF away = head - sunCentre;
        const double length = std::hypot(away.x(), away.y());
        away = length > 0 ? away / length : QPointF(1, 0);
        for (int k = 1; k <= 40; ++k) {
            const double fade = 1.0 - k / 41.0;
            addLight(sky, head.x() + away.x() * k * 1.2, head.y() + away.y() * k * 1.2, 1.4 + k * 0.03,
                     peak * tailShare * fade);
        }
    }
    addLight(sky, head.x(), head.y(), 1.3, peak);
}

// The C3 colour table maps a grey level to a colour; the grey level of each pixel is the
// brightest of its colour's components, and the table is rebuilt as the mean colour per level.
std::vector<QRgb> readBackground(const QImage& background, Sky& levels)
{
    const QImage rgb = background.convertToFormat(QImage::Format_RGB32);
    std::vector<double> sum[3] = {std::vector<double>(256), std::vector<double>(256),
                                  std::vector<double>(256)};
    std::vector<int> count(256);
    levels.assign(size_t(skySide) * skySide, 0);
    for (int y = 0; y < skySide; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < skySide; ++x) {
            const QRgb c = line[x];
            const int level = std::max({qRed(c), qGreen(c), qBlue(c)});
            levels[size_t(y) * skySide + size_t(x)] = level;
            sum[0][size_t(level)] += qRed(c);
            sum[1][size_t(level)] += qGreen(c);
            sum[2][size_t(level)] += qBlue(c);
            ++count[size_t(level)];
        }
    }
    std::vector<QRgb> palette(256);
    QRgb last = qRgb(0, 0, 0);
    for (size_t v = 0; v < 256; ++v) {
        if (count[v] > 0)
            last = qRgb(int(sum[0][v] / count[v]), int(sum[1][v] / count[v]), int(sum[2][v] / count[v]));
        else if (v > 0)
            last = qRgb(std::min(255, qRed(last) + 1), std::min(255, qGreen(last) + 1),
                        std::min(255, qBlue(last) + 1));
        palette[v] = last;
    }
    return palette;
}

// The sky binned `bin` x `bin` as palette indices.
QImage toPicture(const Sky& sky, int bin, const std::vector<QRgb>& palette)
{
    const int side = skySide / bin;
    QImage image(side, side, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(palette.begin(), palette.end()));
    for (int y = 0; y < side; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < side; ++x) {
            double sum = 0;
            for (int j = 0; j < bin; ++j)
                for (int i = 0; i < bin; ++i)
                    sum += sky[size_t(y * bin + j) * skySide + size_t(x * bin + i)];
            line[x] = uchar(std::clamp(int(std::lround(sum / (bin * bin))), 0, 255));
        }
    }
    return image;
}

// A track crossing the frame at `speed` in a random direction, inside the margins and inside the
// coronagraph's field of view (off the occulter and the black corners, where a real comet could
// not be seen) at every time in `times` (hours).
SampleTrack drawTrack(std::mt19937& random, double speed, const std::vector<double>& times, const Sky& base)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto [first, last] = std::minmax_element(times.begin(), times.end());
    SampleTrack track;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const double angle = 2 * M_PI * unit(random);
        track.velocity = QPointF(speed * std::cos(angle), speed * std::sin(angle));
        const QPointF span = track.velocity * (*last - *first);
        const auto place = [&](double extent) {
            const double room = std::max(0.0, skySide - 2 * margin - std::abs(extent));
            return margin + std::max(0.0, -extent) + room * unit(random);
        };
        const double x = place(span.x());
        track.start = QPointF(x, place(span.y()));
        const bool seen = std::all_of(times.begin(), times.end(), [&](double t) {
            const QPointF at = track.start + track.velocity * t;
            return at.x() >= 0 && at.y() >= 0 && at.x() < skySide && at.y() < skySide &&
                   base[size_t(at.y()) * skySide + size_t(at.x())] >= fieldLevel;
        });
        if (seen)
            break;
    }
    return track;
}

} // namespace

std::vector<SampleFrame> makeSequence(const QImage& background, const SampleOptions& options)
{
    if (background.width() != skySide || background.height() != skySide || options.frames < 1 ||
        options.size < 1 || options.size > skySide || skySide % options.size != 0)
        return {};
    const int bin = skySide / options.size;
    Sky base;
    const std::vector<QRgb> palette = readBackground(background, base);

    std::vector<double> minutes(size_t(options.frames));
    for (size_t f = 0; f < minutes.size(); ++f)
        minutes[f] = f < options.minutes.size() ? options.minutes[f] : 12.0 * double(f);
    std::vector<double> times; // hours after the first frame
    for (const double m : minutes)
        times.push_back((m - minutes.front()) / 60.0);

    std::mt19937 random(options.seed);
    std::uniform_real_distribution<double> anywhere(margin, skySide - margin);
    struct Star
    {
        QPointF at;
        double peak;
    };
    std::vector<Star> stars;
    for (int i = 0; i < options.stars; ++i)
        stars.push_back({QPointF(anywhere(random), anywhere(random)),
                         40.0 + 120.0 * std::generate_canonical<double, 32>(random)});

    std::vector<SampleTrack> tracks = options.tracks;
    if (tracks.empty()) {
        for (int k = 0; k < options.comets; ++k) {
            if (k == 0 && options.seed == defaultSampleSeed) {
                const double perHour = options.speed / std::hypot(classicStep.x(), classicStep.y());
                tracks.push_back({classicStart, classicStep * perHour});
            } else {
                tracks.push_back(drawTrack(random, options.speed, times, base));
            }
        }
    }
    const double cometPeak = options.peak * options.noise;
    std::normal_distribution<double> noise(0.0, options.noise);

    const QDateTime start(QDate(2013, 5, 13), QTime(16, 54), Qt::UTC);
    std::vector<SampleFrame> frames;
    for (size_t f = 0; f < minutes.size(); ++f) {
        const double t = times[f];
        SampleFrame frame;
        frame.time = start.addSecs(qint64(std::lround(minutes[f] * 60)));
        frame.name = frame.time.toString(QStringLiteral("yyyyMMdd_HHmm_c3_")) + QString::number(options.size);

        Sky sky = base;
        for (const Star& star : stars) {
            const QPointF at = star.at + options.starDrift * t;
            addLight(sky, at.x(), at.y(), 0.9, star.peak);
            frame.stars.push_back(at / bin);
        }
        for (const SampleTrack& track : tracks) {
            const QPointF head = track.start + track.velocity * t;
            addComet(sky, head, cometPeak, options.tail);
            frame.comets.push_back(head / bin);
        }
        for (int hit = 0; hit < options.cosmicRays; ++hit) { // short bright streaks
            const double x = anywhere(random);
            const double y = anywhere(random);
            for (int k = 0; k < 3; ++k)
                addLight(sky, x + k, y + k * 0.5, 0.6, 250);
        }
        for (double& v : sky)
            v += noise(random);
        frame.picture = toPicture(sky, bin, palette);
        frames.push_back(std::move(frame));
    }
    return frames;
}
