// skyrake-sample --inject: one comet injected into given real frames of one field, written again
// under their own names, with its true place in each frame, so that anyone can try the search on
// real frames with a known answer.
#include "InjectCommand.h"

#include "Injection.h"
#include "pictures/FrameInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

struct InjectOptions
{
    QString outDir;
    QStringList frames;
    double peak = 5;
    std::optional<double> speed; // pixels per hour; drawn as in the camera when unset
    unsigned seed = 1;
    std::optional<QPointF> at, sun; // 1-based picture pixels
};

std::optional<QPointF> readPoint(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool okX = false, okY = false;
    if (parts.size() != 2)
        return std::nullopt;
    const QPointF p(parts[0].toDouble(&okX), parts[1].toDouble(&okY));
    return okX && okY ? std::optional<QPointF>(p) : std::nullopt;
}

// argv[1] is --inject; nothing when an option is unknown, a value is out of range or fewer than
// two frames are given.
std::optional<InjectOptions> readInjectOptions(int argc, char** argv)
{
    InjectOptions options;
    if (argc < 3)
        return std::nullopt;
    options.outDir = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const char* flag = argv[i];
        if (std::strncmp(flag, "--", 2) != 0) {
            options.frames << QString::fromLocal8Bit(flag);
            continue;
        }
        if (i + 1 >= argc)
            return std::nullopt;
        const QString value = QString::fromLocal8Bit(argv[++i]);
        bool ok = false;
        if (std::strcmp(flag, "--peak") == 0) {
            options.peak = value.toDouble(&ok);
            ok = ok && options.peak > 0 && options.peak <= 1000;
        } else if (std::strcmp(flag, "--speed") == 0) {
            options.speed = value.toDouble(&ok);
            ok = ok && *options.speed >= 0 && *options.speed <= 10000;
        } else if (std::strcmp(flag, "--seed") == 0) {
            options.seed = value.toUInt(&ok);
        } else if (std::strcmp(flag, "--at") == 0) {
            options.at = readPoint(value);
            ok = options.at.has_value();
        } else if (std::strcmp(flag, "--sun") == 0) {
            options.sun = readPoint(value);
            ok = options.sun.has_value();
        }
        if (!ok)
            return std::nullopt;
    }
    if (options.frames.size() < 2)
        return std::nullopt;
    return options;
}

int fail(const QString& message)
{
    std::fprintf(stderr, "skyrake-sample: %s\n", qPrintable(message));
    return 1;
}

// Hours after the first frame, from the frames' names; 12 minutes apart where a name gives no time.
std::vector<double> frameHours(const QStringList& frames)
{
    std::vector<QDateTime> times;
    for (const QString& path : frames)
        times.push_back(frameInfoFromName(QFileInfo(path).fileName()).time);
    const bool timed =
        std::all_of(times.begin(), times.end(), [](const QDateTime& t) { return t.isValid(); });
    if (!timed)
        std::fputs("skyrake-sample: the names give no times; the frames are taken 12 minutes apart\n",
                   stderr);
    std::vector<double> hours;
    for (size_t f = 0; f < times.size(); ++f)
        hours.push_back(timed ? times.front().msecsTo(times[f]) / 3.6e6 : 0.2 * double(f));
    return hours;
}

} // namespace

int runInject(int argc, char** argv)
{
    const std::optional<InjectOptions> options = readInjectOptions(argc, argv);
    if (!options) {
        std::fputs(injectUsage, stderr);
        return 2;
    }
    QDir().mkpath(options->outDir);
    const QString out = QDir(options->outDir).canonicalPath();
    if (out.isEmpty())
        return fail(QStringLiteral("%1: cannot make the folder").arg(options->outDir));
    std::vector<QByteArray> files;
    QSize size;
    for (const QString& path : options->frames) {
        // Written under their own names: the frames themselves must never be overwritten.
        if (QFileInfo(path).absoluteDir().canonicalPath() == out)
            return fail(QStringLiteral("%1 is in %2: write the frames elsewhere").arg(path, options->outDir));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1: cannot be read").arg(path));
        files.push_back(file.readAll());
        const QImage frame = readFrame(files.back());
        if (frame.isNull())
            return fail(QStringLiteral("%1: not a picture").arg(path));
        if (size.isValid() && frame.size() != size)
            return fail(QStringLiteral("%1: not the size of the first frame").arg(path));
        size = frame.size();
    }
    const std::vector<double> hours = frameHours(options->frames);
    if (hours.back() <= 0)
        return fail(QStringLiteral("the last frame is not later than the first"));

    // Positions from here on are 0-based with pixel i centred at i + 0.5, as the injection takes them.
    const QPointF half(0.5, 0.5);
    const QPointF sun = options->sun ? *options->sun - half : QPointF(size.width(), size.height()) / 2;
    const bool c2 = frameInfoFromName(QFileInfo(options->frames.front()).fileName()).camera == Camera::C2;
    CometField field = cometFieldFor(c2, size.width());
    if (options->speed)
        field.minSpeed = field.maxSpeed = *options->speed;
    std::mt19937 random(options->seed);
    QPointF start, velocity;
    if (options->at) {
        // Placed by hand: a sungrazer heading for the Sun.
        start = *options->at - half;
        const QPointF in = sun - start;
        const double length = std::hypot(in.x(), in.y());
        const double speed = std::uniform_real_distribution<double>(field.minSpeed, field.maxSpeed)(random);
        velocity = length > 0 ? in * (speed / length) : QPointF(speed, 0);
    } else if (!drawTrack(random, field, size.width(), hours.back(), sun, start, velocity)) {
        return fail(QStringLiteral("no track of that speed stays in the field"));
    }

    const InjectedSequence injected = injectSequence(files, hours, start, velocity, options->peak, sun);
    for (int f = 0; f < options->frames.size(); ++f) {
        QSaveFile file(QDir(out).filePath(QFileInfo(options->frames[f]).fileName()));
        if (!file.open(QIODevice::WriteOnly) || file.write(injected.files[size_t(f)]) < 0 || !file.commit())
            return fail(QStringLiteral("%1: cannot be written").arg(file.fileName()));
    }
    QSaveFile truth(QDir(out).filePath(QStringLiteral("comet.txt")));
    if (!truth.open(QIODevice::WriteOnly | QIODevice::Text))
        return fail(QStringLiteral("%1: cannot be written").arg(truth.fileName()));
    QTextStream table(&truth);
    table << "# The injected comet's head in each frame: its centre in 1-based picture pixels, as skyrake "
             "--scan\n"
          << "# gives positions. Peak " << options->peak << " times the noise (" << injected.noise
          << " grey levels of the frames' table), " << std::hypot(velocity.x(), velocity.y())
          << " pixels an hour.\n"
          << "# frame\tx\ty\n";
    table.setRealNumberNotation(QTextStream::FixedNotation);
    table.setRealNumberPrecision(2);
    for (int f = 0; f < options->frames.size(); ++f) {
        const QPointF head = injected.heads[size_t(f)] + half;
        table << QFileInfo(options->frames[f]).fileName() << '\t' << head.x() << '\t' << head.y() << '\n';
    }
    table.flush();
    return truth.commit() ? 0 : fail(QStringLiteral("%1: cannot be written").arg(truth.fileName()));
}
