// Makes a short sequence that looks and behaves like real LASCO C3 data: by default eight frames
// at a 12-minute cadence built on a real C3 frame, with a sungrazing comet (a small bright head
// and a faint tail pointing away from the Sun) moving toward the occulter at a constant rate,
// stars drifting slowly, fresh noise in every frame and a few cosmic-ray hits that appear in one
// frame only. Writes 1024x1024 and 512x512 frames as JPEG and GIF, and comet.txt with each
// comet's true position in each frame.
#include "GifWriter.h"
#include "InjectCommand.h"
#include "SequenceMaker.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

const char usage[] =
    "usage: skyrake-sample BACKGROUND.jpg OUTPUT_DIR [OPTION...]\n"
    "  BACKGROUND.jpg  a 1024x1024 LASCO C3 frame\n"
    "  --seed N        random seed (default 20130513, which puts the first comet on the track of\n"
    "                  the sample the tests use; any other seed draws every track)\n"
    "  --comets N      number of comets (default 1)\n"
    "  --peak K        the comet head's peak above the background, in noise sigmas (default 92;\n"
    "                  the noise is 2.5 grey levels)\n"
    "  --speed V       the comets' speed in pixels per hour of a 1024 frame (default 57)\n"
    "  --frames N      number of frames, 12 minutes apart (default 8)\n"
    "  --no-comet      no comet at all (the same as --comets 0)\n";

// Reads the options after the two positional arguments; nothing when one is unknown or its value
// is not a number in range.
std::optional<SampleOptions> readOptions(int argc, char** argv)
{
    SampleOptions options;
    for (int i = 3; i < argc; ++i) {
        const char* flag = argv[i];
        if (std::strcmp(flag, "--no-comet") == 0) {
            options.comets = 0;
            continue;
        }
        if (i + 1 >= argc)
            return std::nullopt;
        const QString value = QString::fromLocal8Bit(argv[++i]);
        bool ok = false;
        if (std::strcmp(flag, "--seed") == 0) {
            options.seed = value.toUInt(&ok);
        } else if (std::strcmp(flag, "--comets") == 0) {
            options.comets = value.toInt(&ok);
            ok = ok && options.comets >= 0 && options.comets <= 100;
        } else if (std::strcmp(flag, "--frames") == 0) {
            options.frames = value.toInt(&ok);
            ok = ok && options.frames >= 1 && options.frames <= 100;
        } else if (std::strcmp(flag, "--peak") == 0) {
            options.peak = value.toDouble(&ok);
            ok = ok && options.peak >= 0 && options.peak <= 1000;
        } else if (std::strcmp(flag, "--speed") == 0) {
            options.speed = value.toDouble(&ok);
            ok = ok && options.speed >= 0 && options.speed <= 10000;
        }
        if (!ok)
            return std::nullopt;
    }
    return options;
}

bool writeFrame(const QDir& out, const SampleFrame& frame)
{
    const QImage& picture = frame.picture;
    std::vector<unsigned char> indices;
    indices.reserve(size_t(picture.width()) * size_t(picture.height()));
    for (int y = 0; y < picture.height(); ++y)
        indices.insert(indices.end(), picture.constScanLine(y), picture.constScanLine(y) + picture.width());
    const QList<QRgb> table = picture.colorTable();
    QFile gif(out.filePath(frame.name + QStringLiteral(".gif")));
    return picture.convertToFormat(QImage::Format_RGB32)
               .save(out.filePath(frame.name + QStringLiteral(".jpg")), "JPEG", 90) &&
           gif.open(QIODevice::WriteOnly) &&
           gif.write(encodeGif(picture.width(), picture.height(), indices,
                               std::vector<QRgb>(table.begin(), table.end()))) >= 0;
}

} // namespace

int main(int argc, char** argv)
{
    // A tool for scripts: it needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "--inject") == 0)
        return runInject(argc, argv);
    const std::optional<SampleOptions> options = argc >= 3 ? readOptions(argc, argv) : std::nullopt;
    if (!options) {
        std::fputs(usage, stderr);
        std::fputs(injectUsage, stderr);
        return 2;
    }
    const QImage background(QString::fromLocal8Bit(argv[1]));
    if (background.isNull() || background.width() != 1024 || background.height() != 1024) {
        std::fprintf(stderr, "skyrake-sample: %s is not a 1024x1024 picture\n", argv[1]);
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out.path());

    // The same sky (the same seed) at both sizes: the 512-pixel frames bin the 1024-pixel ones.
    SampleOptions large = *options;
    large.size = 1024;
    SampleOptions small = *options;
    small.size = 512;
    const std::vector<SampleFrame> frames[2] = {makeSequence(background, large),
                                                makeSequence(background, small)};

    QFile truth(out.filePath(QStringLiteral("comet.txt")));
    if (!truth.open(QIODevice::WriteOnly | QIODevice::Text))
        return 1;
    QTextStream table(&truth);
    table << "# The comet's true position in each frame, as SkyRake reports a position: the 1-based column "
             "and\n"
             "# row of the picture pixel that holds the centre of the comet's head.\n"
             "# frame (its .jpg and .gif)\tx\ty\n";
    for (size_t f = 0; f < frames[0].size(); ++f) {
        for (const std::vector<SampleFrame>& size : frames) {
            const SampleFrame& frame = size[f];
            if (!writeFrame(out, frame))
                return 1;
            // The head's pixel, 1-based: the pixel the head's centre falls in (one line per comet).
            for (const QPointF& head : frame.comets)
                table << frame.name << "\t" << int(std::floor(head.x())) + 1 << '\t'
                      << int(std::floor(head.y())) + 1 << '\n';
        }
    }
    return 0;
}
