// The whole `skyrake --composite OUT.png` process on ten 1024 x 1024 JPEG frames against
// ImageMagick's convert computing the same difference composite (the lighten of each frame's
// difference from the first), both started the same way in the same run, turn about.
// bench/README.md gives the ratio and the command lines.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString convert = QStringLiteral("/usr/bin/convert");

// Ten frames of the sample sequence (eight of a moving comet, then the first two again under new
// names), made once.
const QStringList& frames()
{
    static QTemporaryDir dir;
    static QStringList paths;
    if (paths.isEmpty()) {
        QProcess sample;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        sample.setProcessEnvironment(environment);
        sample.start(QStringLiteral(SKYRAKE_SAMPLE),
                     {QStringLiteral(SKYRAKE_FIXTURES "/real/lasco_c3_20130513_1654_1024.jpg"), dir.path()});
        sample.waitForFinished(120000);
        for (const QString& name : QDir(dir.path()).entryList({QStringLiteral("*_c3_1024.jpg")}, QDir::Files))
            paths << dir.filePath(name);
        for (int i = 0; paths.size() < 10 && i < paths.size(); ++i) {
            const QString copy = dir.filePath(QStringLiteral("extra_%1.jpg").arg(i));
            QFile::copy(paths[i], copy);
            paths << copy;
        }
    }
    return paths;
}

QStringList skyrakeArguments(const QString& out)
{
    return QStringList{QStringLiteral("--composite"), out} + frames();
}

// convert F0 ( F1 F0 -compose difference -composite ) ... -delete 0 -background black
//         -compose lighten -flatten OUT
QStringList convertArguments(const QString& out)
{
    const QStringList& f = frames();
    QStringList arguments{f[0]};
    for (qsizetype i = 1; i < f.size(); ++i)
        arguments << QStringLiteral("(") << f[i] << f[0] << QStringLiteral("-compose")
                  << QStringLiteral("difference") << QStringLiteral("-composite") << QStringLiteral(")");
    arguments << QStringLiteral("-delete") << QStringLiteral("0") << QStringLiteral("-background")
              << QStringLiteral("black") << QStringLiteral("-compose") << QStringLiteral("lighten")
              << QStringLiteral("-flatten") << out;
    return arguments;
}

// Runs a program to its end; its wall-clock time in seconds, or a negative value on failure.
double timedRun(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1;
    return double(clock.nsecsElapsed()) / 1e9;
}

// Each iteration runs convert, then skyrake; the counters give each one's mean and the ratio.
void BM_HeadlessCompositeAgainstConvert(benchmark::State& state)
{
    if (!QFile::exists(convert) || frames().size() != 10) {
        state.SkipWithError("needs /usr/bin/convert and the sample maker");
        return;
    }
    QTemporaryDir dir;
    // No display for either: the composite must not need one.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    double convertSeconds = 0;
    double skyrakeSeconds = 0;
    for (auto _ : state) {
        const double c =
            timedRun(convert, convertArguments(dir.filePath(QStringLiteral("c.png"))), environment);
        const double s = timedRun(QStringLiteral(SKYRAKE_BINARY),
                                  skyrakeArguments(dir.filePath(QStringLiteral("s.png"))), environment);
        if (c < 0 || s < 0) {
            state.SkipWithError("a process failed");
            return;
        }
        convertSeconds += c;
        skyrakeSeconds += s;
    }
    const double runs = double(state.iterations());
    state.counters["convert_ms"] = convertSeconds / runs * 1e3;
    state.counters["skyrake_ms"] = skyrakeSeconds / runs * 1e3;
    state.counters["ratio"] = skyrakeSeconds / convertSeconds;
}
BENCHMARK(BM_HeadlessCompositeAgainstConvert)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
