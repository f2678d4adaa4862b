#include "Injection.h"

#include "analysis/RobustNoise.h"
#include "pictures/GifAnimation.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>

namespace {

constexpr int sumLevels = 3 * 255 + 1;
// The tail: its brightness against the head's, its length and how fast it widens, in pixels at
// 1024 pixels a side. A short tail, as a faint sungrazer shows in one frame.
constexpr double tailShare = 0.2;
constexpr int tailSteps = 10;
constexpr double tailStep = 1.0;

int sumOf(QRgb c)
{
    return qRed(c) + qGreen(c) + qBlue(c);
}

// libjpeg's standard luminance quantisation table, in the zigzag order a file stores it in.
constexpr int standardLuminance[64] = {
    16, 11,  12, 14, 12, 10, 16,  14,  13,  14, 18, 17,  16,  19,  24,  40,  26, 24,  22,  22, 24, 49,
    35, 37,  29, 40, 58, 51, 61,  60,  57,  51, 56, 55,  64,  72,  92,  78,  64, 68,  87,  69, 55, 56,
    80, 109, 81, 87, 95, 98, 103, 104, 103, 62, 77, 113, 121, 112, 100, 120, 92, 101, 103, 99};

} // namespace

ColourTable::ColourTable(const QImage& frame)
{
    if (frame.format() == QImage::Format_Indexed8) {
        m_indexed = true;
        const QList<QRgb> palette = frame.colorTable();
        std::vector<int> order(size_t(palette.size()));
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return sumOf(palette[a]) < sumOf(palette[b]); });
        m_levelOf.assign(order.size(), 0);
        for (size_t level = 0; level < order.size(); ++level) {
            m_levelOf[size_t(order[level])] = int(level);
            m_indexAt.push_back(order[level]);
            m_levelOfRgb.insert(palette[order[level]], int(level));
        }
        return;
    }
    // The mean colour of each brightness sum, then every component made never to fall as the
    // level rises; sums the frame lacks take the colour below them, and beyond its brightest the
    // table runs on to white.
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    std::vector<double> sum[3] = {std::vector<double>(sumLevels), std::vector<double>(sumLevels),
                                  std::vector<double>(sumLevels)};
    std::vector<int> count(sumLevels, 0);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const size_t s = size_t(sumOf(line[x]));
            sum[0][s] += qRed(line[x]);
            sum[1][s] += qGreen(line[x]);
            sum[2][s] += qBlue(line[x]);
            ++count[s];
        }
    }
    int top = 0;
    for (int s = 0; s < sumLevels; ++s)
        if (count[size_t(s)] >= 4)
            top = s;
    double last[3] = {0, 0, 0};
    for (int s = 0; s < sumLevels; ++s) {
        double c[3];
        for (int k = 0; k < 3; ++k) {
            if (s > top) {
                const double share = double(s - top) / double(sumLevels - 1 - top);
                c[k] = last[k] + (255 - last[k]) * share;
            } else {
                c[k] =
                    count[size_t(s)] >= 4 ? std::max(last[k], sum[k][size_t(s)] / count[size_t(s)]) : last[k];
            }
        }
        m_curve.push_back(qRgb(int(std::lround(c[0])), int(std::lround(c[1])), int(std::lround(c[2]))));
        if (s <= top)
            std::copy(c, c + 3, last);
    }
}

double ColourTable::levelOf(QRgb colour) const
{
    return m_indexed ? m_levelOfRgb.value(colour, 0) : sumOf(colour);
}

int ColourTable::brighten(int index, int by) const
{
    if (index < 0 || size_t(index) >= m_levelOf.size())
        return index;
    const int level = std::clamp(m_levelOf[size_t(index)] + by, 0, int(m_indexAt.size()) - 1);
    return m_indexAt[size_t(level)];
}

QRgb ColourTable::brighten(QRgb colour, double by) const
{
    const auto at = [&](double level, int k) {
        const double l = std::clamp(level, 0.0, double(sumLevels - 1));
        const size_t i = size_t(l);
        const size_t j = std::min(i + 1, m_curve.size() - 1);
        const double w = l - double(i);
        const auto part = [k](QRgb c) { return k == 0 ? qRed(c) : k == 1 ? qGreen(c) : qBlue(c); };
        return (1 - w) * part(m_curve[i]) + w * part(m_curve[j]);
    };
    const double s = sumOf(colour);
    int out[3];
    for (int k = 0; k < 3; ++k) {
        const int own = k == 0 ? qRed(colour) : k == 1 ? qGreen(colour) : qBlue(colour);
        out[k] = std::clamp(int(std::lround(own + at(s + by, k) - at(s, k))), 0, 255);
    }
    return qRgb(out[0], out[1], out[2]);
}

QImage readFrame(const QByteArray& bytes)
{
    QImage picture = QImage::fromData(bytes);
    if (picture.isNull() || !bytes.startsWith("GIF"))
        return picture.isNull() ? picture : picture.convertToFormat(QImage::Format_RGB32);
    // Qt gives a GIF as RGB: its palette comes back from its colours, at most 256.
    picture = picture.convertToFormat(QImage::Format_RGB32);
    QList<QRgb> colours;
    QHash<QRgb, int> index;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (!index.contains(line[x])) {
                if (colours.size() == 256)
                    return picture;
                index.insert(line[x], 0);
                colours.push_back(line[x]);
            }
        }
    }
    std::sort(colours.begin(), colours.end(), [](QRgb a, QRgb b) { return sumOf(a) < sumOf(b); });
    for (qsizetype i = 0; i < colours.size(); ++i)
        index[colours[i]] = int(i);
    QImage indexed(picture.size(), QImage::Format_Indexed8);
    indexed.setColorTable(colours);
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < picture.width(); ++x)
            out[x] = uchar(index.value(line[x]));
    }
    return indexed;
}

QImage injectComet(const QImage& frame, const InjectedComet& comet)
{
    const ColourTable table(frame);
    QImage out = table.indexed() ? frame : frame.convertToFormat(QImage::Format_RGB32);
    const double scale = frame.width() / 1024.0;
    // The comet's light in grey levels over a window around the head: the head, then the tail
    // pointing away from the Sun, each a small Gaussian.
    QPointF away = comet.head - comet.sun;
    const double distance = std::hypot(away.x(), away.y());
    away = distance > 0 ? away / distance : QPointF(1, 0);
    struct Blob
    {
        QPointF at;
        double sigma, peak;
    };
    std::vector<Blob> blobs{{comet.head, comet.headSigma * std::max(scale, 0.5), comet.peak}};
    for (int k = 1; k <= tailSteps; ++k)
        blobs.push_back({comet.head + away * (k * tailStep * scale),
                         (comet.headSigma + 0.08 * k) * std::max(scale, 0.5),
                         comet.peak * tailShare * (1.0 - double(k) / (tailSteps + 1))});
    const int reach = int(std::ceil((tailSteps * tailStep + 6) * std::max(scale, 0.5)));
    const int cx = int(std::floor(comet.head.x())), cy = int(std::floor(comet.head.y()));
    for (int y = std::max(0, cy - reach); y <= std::min(frame.height() - 1, cy + reach); ++y) {
        for (int x = std::max(0, cx - reach); x <= std::min(frame.width() - 1, cx + reach); ++x) {
            double light = 0;
            for (const Blob& b : blobs) {
                const double dx = x + 0.5 - b.at.x(), dy = y + 0.5 - b.at.y();
                light += b.peak * std::exp(-(dx * dx + dy * dy) / (2 * b.sigma * b.sigma));
            }
            if (light < 0.05)
                continue;
            if (table.indexed()) {
                // A GIF holds whole levels: the light rounds up or down as the pixel's own unseen
                // fraction would take it (a fixed hash of the pixel stands for that fraction).
                uchar* line = out.scanLine(y);
                const double dither =
                    double((quint32(x) * 73856093u ^ quint32(y) * 19349663u) % 1000u) / 1000.0;
                line[x] = uchar(table.brighten(int(line[x]), int(std::floor(light + dither))));
            } else {
                auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
                line[x] = table.brighten(line[x], light);
            }
        }
    }
    return out;
}

double localNoise(const QImage& frame, const QImage& next, const ColourTable& table, QPoint centre, int half)
{
    const QImage a = frame.convertToFormat(QImage::Format_RGB32);
    const QImage b = next.convertToFormat(QImage::Format_RGB32);
    const ColourTable nextTable(next);
    std::vector<double> d;
    for (int y = std::max(0, centre.y() - half); y < std::min(a.height(), centre.y() + half); ++y)
        for (int x = std::max(0, centre.x() - half); x < std::min(a.width(), centre.x() + half); ++x)
            d.push_back(table.levelOf(a.pixel(x, y)) - nextTable.levelOf(b.pixel(x, y)));
    // The difference of two frames holds the noise of both.
    return robustSpread(d).sigma / std::sqrt(2.0);
}

int jpegQuality(const QByteArray& jpeg)
{
    const auto byte = [&](qsizetype i) { return i < jpeg.size() ? int(uchar(jpeg[i])) : -1; };
    if (byte(0) != 0xFF || byte(1) != 0xD8)
        return 0;
    for (qsizetype i = 2; byte(i) == 0xFF && byte(i + 1) >= 0;) {
        const int marker = byte(i + 1);
        const int length = byte(i + 2) * 256 + byte(i + 3);
        if (length < 2 || marker == 0xDA)
            return 0;
        if (marker == 0xDB && byte(i + 4) == 0 && byte(i + 4 + 64) >= 0) {
            // An 8-bit table 0: the quality whose scaled standard table comes nearest.
            int best = 0;
            long bestError = -1;
            for (int q = 1; q <= 100; ++q) {
                const int scale = q < 50 ? 5000 / q : 200 - 2 * q;
                long error = 0;
                for (int k = 0; k < 64; ++k) {
                    const int expected = std::clamp((standardLuminance[k] * scale + 50) / 100, 1, 255);
                    error += std::abs(expected - byte(i + 5 + k));
                }
                if (bestError < 0 || error < bestError)
                    bestError = error, best = q;
            }
            return best;
        }
        i += 2 + length;
    }
    return 0;
}

QByteArray encodeLike(const QImage& picture, const QByteArray& source)
{
    if (picture.format() == QImage::Format_Indexed8)
        return encodeGif(std::span(&picture, 1), 0); // an indexed frame keeps its pixels exactly
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const int quality = jpegQuality(source);
    if (quality > 0)
        picture.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", quality);
    else
        picture.save(&buffer, "PNG"); // never lossy where the frame was not
    return bytes;
}

QPointF cometAt(QPointF start, QPointF velocity, double growth, double hours)
{
    constexpr double step = 0.2; // hours: 12 minutes
    if (growth == 0)
        return start + velocity * hours;
    // The speed v (1 + g)^(t / step), integrated.
    const double rate = std::log1p(growth) / step;
    return start + velocity * (std::expm1(rate * hours) / rate);
}

InjectedSequence injectSequence(const std::vector<QByteArray>& files, const std::vector<double>& hours,
                                QPointF start, QPointF velocity, double sigmas, QPointF sun, double growth)
{
    InjectedSequence out;
    if (files.size() < 2 || hours.size() != files.size())
        return out;
    std::vector<QImage> frames;
    for (const QByteArray& file : files)
        frames.push_back(readFrame(file));
    const QPointF middle = cometAt(start, velocity, growth, 0.5 * (hours.front() + hours.back()));
    const int half = std::max(16, frames.front().width() / 32);
    out.noise = localNoise(frames[0], frames[1], ColourTable(frames[0]),
                           QPoint(int(middle.x()), int(middle.y())), half);
    for (size_t f = 0; f < files.size(); ++f) {
        InjectedComet comet;
        comet.head = cometAt(start, velocity, growth, hours[f]);
        comet.sun = sun;
        comet.peak = sigmas * out.noise;
        out.heads.push_back(comet.head);
        out.files.push_back(encodeLike(injectComet(frames[f], comet), files[f]));
    }
    return out;
}

CometField cometFieldFor(bool c2, int size)
{
    CometField field = c2 ? CometField{30, 120, 220, 450, false} : CometField{5, 40, 110, 450, true};
    const double scale = size / 1024.0;
    for (double* length : {&field.minSpeed, &field.maxSpeed, &field.inner, &field.outer})
        *length *= scale;
    return field;
}

bool drawTrack(std::mt19937& random, const CometField& field, int size, double span, QPointF sun,
               QPointF& start, QPointF& velocity)
{
    std::uniform_real_distribution<double> uniform(0, 1);
    const double margin = size * 60.0 / 1024;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const double speed = field.minSpeed + (field.maxSpeed - field.minSpeed) * uniform(random);
        const double angle = 2 * M_PI * uniform(random);
        velocity = QPointF(speed * std::cos(angle), speed * std::sin(angle));
        start = QPointF(margin + (size - 2 * margin) * uniform(random),
                        margin + (size - 2 * margin) * uniform(random));
        bool inside = true;
        for (double t = 0; t <= span && inside; t += std::max(span, 1e-3) / 8) {
            const QPointF p = start + velocity * t - sun;
            const double r = std::hypot(p.x(), p.y());
            const double pa = std::atan2(-p.y(), p.x()) * 180 / M_PI; // from +x, counter-clockwise
            inside = r >= field.inner && r <= field.outer && !(field.pylon && std::abs(pa - 47) < 10);
        }
        if (inside)
            return true;
    }
    return false;
}
