// Drives the real skyrake binary in a real X window, as an observer would: start it on the sample
// sequence, step, build the composite, measure the comet with a double-click and copy the report.
// Checks what the screen and the clipboard show, keeps every screenshot, and prints what it saw.
//
// Usage: skyrake-acceptance SKYRAKE SKYRAKE_SAMPLE BACKGROUND.jpg ARTIFACT_DIR [zh|en]
// The last argument is the interface's language (Chinese when not given); the report is the same in
// both.

#include "ScreenMatch.h"
#include "XSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Frame
{
    QString name; // the file name, as the report prints it
    QString path;
    QPoint comet; // the head, 1-based picture column and row
    QImage pixels;
};

void say(const QString& text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

QString artifactDir;

[[noreturn]] void fail(const QString& text)
{
    std::printf("FAILED: %s\n", qPrintable(text));
    QFile log(QDir(artifactDir).filePath(QStringLiteral("skyrake.log")));
    if (log.open(QIODevice::ReadOnly))
        std::printf("skyrake's output:\n%s\n", log.readAll().right(4000).constData());
    std::printf("Screenshots so far are in %s\n", qPrintable(artifactDir));
    std::fflush(stdout);
    throw 1;
}

// Runs skyrake-sample and reads back the 1024-pixel frames with the comet's true positions.
std::vector<Frame> makeSample(const QString& tool, const QString& background, const QString& dir)
{
    QProcess sample;
    sample.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")); // it needs no display
    sample.setProcessEnvironment(environment);
    sample.start(tool, {background, dir});
    if (!sample.waitForFinished(60000) || sample.exitStatus() != QProcess::NormalExit ||
        sample.exitCode() != 0)
        fail(QStringLiteral("skyrake-sample failed: %1").arg(QString::fromLocal8Bit(sample.readAll())));

    QFile table(QDir(dir).filePath(QStringLiteral("comet.txt")));
    if (!table.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("no comet.txt in %1").arg(dir));
    std::vector<Frame> frames;
    QTextStream lines(&table);
    while (!lines.atEnd()) {
        const QString line = lines.readLine();
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (line.startsWith(QLatin1Char('#')) || fields.size() != 3 ||
            !fields[0].endsWith(QLatin1String("_1024")))
            continue;
        Frame frame;
        frame.name = fields[0] + QStringLiteral(".jpg");
        frame.path = QDir(dir).filePath(frame.name);
        frame.comet = QPoint(fields[1].toInt(), fields[2].toInt());
        frame.pixels = QImage(frame.path).convertToFormat(QImage::Format_RGB32);
        if (frame.pixels.size() != QSize(1024, 1024))
            fail(QStringLiteral("%1 does not decode as a 1024x1024 picture").arg(frame.path));
        frames.push_back(frame);
    }
    if (frames.size() != 8)
        fail(QStringLiteral("expected 8 frames of 1024 pixels, comet.txt lists %1").arg(frames.size()));
    return frames;
}

// Takes screenshots until `good` accepts one or the time is up; the last one stays as the artifact.
QImage waitForScreen(const XSession& x, const QString& path, int timeoutMs,
                     const std::function<bool(const QImage&)>& good)
{
    QElapsedTimer clock;
    clock.start();
    QImage shot;
    do {
        shot = x.screenshot(path);
        if (!shot.isNull() && good(shot)) {
            say(QStringLiteral("  screenshot: %1").arg(path));
            return shot;
        }
        QThread::msleep(250);
    } while (clock.elapsed() < timeoutMs);
    say(QStringLiteral("  screenshot: %1").arg(path));
    return {};
}

// The screen position of a 1-based picture pixel: at zoom 1 the picture's pixel (x, y) lies at
// (x - 1, y - 1) from its top-left corner.
QPoint onScreen(QPoint origin, QPoint pixel)
{
    return origin + pixel - QPoint(1, 1);
}

int runScenario(const QStringList& arguments)
{
    const QString skyrake = arguments.at(1);
    const QString sampleTool = arguments.at(2);
    const QString background = arguments.at(3);
    QDir artifacts(arguments.at(4));
    const QString language = arguments.value(5, QStringLiteral("zh"));
    const bool english = language == QLatin1String("en");
    artifactDir = artifacts.absolutePath();
    QDir().mkpath(artifacts.path());
    for (const QString& old :
         artifacts.entryList({QStringLiteral("*.png"), QStringLiteral("*.txt"), QStringLiteral("*.log")}))
        artifacts.remove(old);
    auto artifact = [&](const char* name) { return artifacts.filePath(QString::fromLatin1(name)); };

    QTemporaryDir scratch;
    const QString sampleDir = scratch.filePath(QStringLiteral("frames"));
    say(QStringLiteral("Making the sample sequence in %1").arg(sampleDir));
    const std::vector<Frame> frames = makeSample(sampleTool, background, sampleDir);

    XSession x;
    if (!x.start(QStringLiteral("1600x1200x24")))
        fail(x.error());
    say(QStringLiteral("Xvfb on display %1").arg(x.display()));

    QStringList pictures;
    for (const Frame& frame : frames)
        pictures << frame.path;
    say(QStringLiteral("Interface language: %1").arg(language));
    QProcess* program = x.launch(skyrake, QStringList{QStringLiteral("--lang"), language} + pictures,
                                 artifact("skyrake.log"));
    if (!program)
        fail(QStringLiteral("%1 does not start").arg(skyrake));
    const std::optional<QString> window = x.waitForWindowOf(program->processId(), QString(), 30000);
    if (!window) {
        if (program->state() == QProcess::NotRunning)
            fail(QStringLiteral("skyrake ended (status %1) without showing a window")
                     .arg(program->exitCode()));
        fail(QStringLiteral("no skyrake window within 30 s"));
    }
    // Fill the screen. The program may still be settling its own first geometry, so ask again
    // until the window keeps the size asked for.
    const QRect screen(0, 0, 1600, 1200);
    QElapsedTimer clock;
    clock.start();
    int steady = 0;
    while (steady < 3 && clock.elapsed() < 20000) {
        if (x.geometry(*window) == screen) {
            ++steady;
        } else {
            steady = 0;
            x.xdotool({QStringLiteral("windowmove"), *window, QStringLiteral("0"), QStringLiteral("0")});
            x.xdotool(
                {QStringLiteral("windowsize"), *window, QStringLiteral("1600"), QStringLiteral("1200")});
        }
        QThread::msleep(200);
    }
    if (steady < 3) {
        const QRect seen = x.geometry(*window);
        fail(QStringLiteral("the window does not keep the screen's size: (%1,%2) %3x%4")
                 .arg(seen.x())
                 .arg(seen.y())
                 .arg(seen.width())
                 .arg(seen.height()));
    }
    x.focus(*window);
    x.moveMouse(1590, 5); // out of the picture's way
    say(QStringLiteral("skyrake window %1").arg(*window));

    // 1. The first picture is shown, pixel for pixel; find where.
    Placement placed;
    const QImage first = waitForScreen(x, artifact("01-first-picture.png"), 30000, [&](const QImage& shot) {
        placed = findPicture(shot, frames[0].pixels, QRect(0, 0, 201, 301));
        return placed.score >= 0.9;
    });
    say(QStringLiteral("First picture at screen (%1,%2), %3% of the compared pixels equal")
            .arg(placed.at.x())
            .arg(placed.at.y())
            .arg(placed.score * 100, 0, 'f', 1));
    if (first.isNull())
        fail(QStringLiteral("the first picture does not show (best place (%1,%2) matches %3%)")
                 .arg(placed.at.x())
                 .arg(placed.at.y())
                 .arg(placed.score * 100, 0, 'f', 1));
    const QPoint origin = placed.at;
    // Telling frames apart: the screen holds the decoded pixels unchanged at zoom 1, so the frame
    // shown matches exactly, while its neighbours differ by their fresh noise.
    std::vector<std::vector<QPoint>> samples;
    for (const Frame& frame : frames)
        samples.push_back(informativePixels(frame.pixels, 20000));
    auto scoreOf = [&](const QImage& shot, const Frame& frame) {
        return matchScore(shot, frame.pixels, origin, samples[size_t(&frame - frames.data())], 0);
    };
    auto showsFrame = [&](const QImage& shot, size_t index) {
        const double wanted = scoreOf(shot, frames[index]);
        double others = 0.0;
        for (size_t i = 0; i < 3; ++i) {
            if (i != index)
                others = std::max(others, scoreOf(shot, frames[i]));
        }
        return wanted >= 0.9 && others < wanted - 0.2;
    };

    // 2. Page Down shows the second picture: the sky is the second frame's, the comet has moved.
    x.key(QStringLiteral("Next"));
    const QImage second = waitForScreen(x, artifact("02-second-picture.png"), 15000,
                                        [&](const QImage& shot) { return showsFrame(shot, 1); });
    {
        const QImage& shot = second.isNull() ? x.screenshot(artifact("02-second-picture.png")) : second;
        say(QStringLiteral("After Page Down: matches frame 2 by %1%, frame 1 by %2%")
                .arg(scoreOf(shot, frames[1]) * 100, 0, 'f', 1)
                .arg(scoreOf(shot, frames[0]) * 100, 0, 'f', 1));
        if (second.isNull())
            fail(QStringLiteral("Page Down did not show the second picture"));
        // The comet's head has moved on: around its new place the screen is the second frame's,
        // not the first's.
        std::vector<QPoint> head;
        for (int dy = -4; dy <= 4; ++dy) {
            for (int dx = -4; dx <= 4; ++dx)
                head.push_back(frames[1].comet - QPoint(1, 1) + QPoint(dx, dy));
        }
        const double asSecond = matchScore(shot, frames[1].pixels, origin, head, 0);
        const double asFirst = matchScore(shot, frames[0].pixels, origin, head, 0);
        say(QStringLiteral("  around the head's new place (%1,%2): brightest grey %3 (the first picture "
                           "showed %4 there); "
                           "%5% of the pixels equal the second frame's, %6% the first's")
                .arg(frames[1].comet.x())
                .arg(frames[1].comet.y())
                .arg(brightestNear(shot, onScreen(origin, frames[1].comet), 2))
                .arg(brightestNear(first, onScreen(origin, frames[1].comet), 2))
                .arg(asSecond * 100, 0, 'f', 0)
                .arg(asFirst * 100, 0, 'f', 0));
        if (asSecond < 0.9 || asFirst > 0.5)
            fail(QStringLiteral("the comet's head is not where the second frame has it"));
    }

    // 3. The composite: the static sky goes dark, every position the comet held lights up.
    // A stretch of sky away from the comet's track and the occulter, in picture pixels.
    const QRect sky(250, 150, 200, 200);
    const double skyInFrame = meanGrey(frames[0].pixels, sky);
    double skyInComposite = 0.0;
    std::vector<int> cometLight(frames.size(), 0);
    auto compositeShown = [&](const QImage& shot) {
        skyInComposite = meanGrey(shot, sky.translated(origin));
        bool lit = true;
        for (size_t i = 0; i < frames.size(); ++i) {
            cometLight[i] = brightestNear(shot, onScreen(origin, frames[i].comet), 2);
            lit = lit && cometLight[i] >= 100;
        }
        return skyInComposite <= 12.0 && skyInComposite < skyInFrame / 3 && lit;
    };
    // View menu, fifth item: "合并图象" (SkyRake's own items follow it). Without a key of its own it is
    // reached by keyboard: the menu opens on its first item, and Down skips the separator.
    x.focus(*window);
    x.key(QStringLiteral("alt+v"));
    if (!x.waitForWindowOf(program->processId(), *window, 10000))
        fail(QStringLiteral("Alt+V does not open the View menu"));
    for (int item = 1; item < 5; ++item)
        x.key(QStringLiteral("Down"));
    QThread::msleep(200);
    x.screenshot(artifact("03-view-menu.png"));
    say(QStringLiteral("  screenshot: %1").arg(artifact("03-view-menu.png")));
    x.key(QStringLiteral("Return"));
    const QImage composite = waitForScreen(x, artifact("04-composite.png"), 15000, compositeShown);
    {
        QString light;
        for (size_t i = 0; i < frames.size(); ++i)
            light += QStringLiteral(" %1").arg(cometLight[i]);
        say(QStringLiteral(
                "Composite: sky mean grey %1 (the first frame there: %2); brightest grey within 2 px of "
                "each comet position:%3")
                .arg(skyInComposite, 0, 'f', 1)
                .arg(skyInFrame, 0, 'f', 1)
                .arg(light));
        if (composite.isNull())
            fail(QStringLiteral(
                "the composite does not show a dark sky with the comet lit at every position"));
    }

    // 4. The composite leaves the first picture current: two steps show the third.
    const Frame& target = frames[2];
    x.focus(*window);
    x.key(QStringLiteral("Next Next"));
    const QImage third = waitForScreen(x, artifact("05-third-picture.png"), 15000,
                                       [&](const QImage& shot) { return showsFrame(shot, 2); });
    if (third.isNull())
        fail(QStringLiteral("two Page Downs after the composite did not show the third picture"));

    // 5. Double-click the comet's head, confirm, copy the report.
    const QPoint head = onScreen(origin, target.comet);
    say(QStringLiteral("Double-clicking the comet's head of %1 at picture (%2,%3), screen (%4,%5)")
            .arg(target.name)
            .arg(target.comet.x())
            .arg(target.comet.y())
            .arg(head.x())
            .arg(head.y()));
    x.click(head.x(), head.y(), 2);
    const std::optional<QString> confirm = x.waitForWindowOf(program->processId(), *window, 10000);
    if (!confirm)
        fail(QStringLiteral("no confirmation dialog after the double-click"));
    x.screenshot(artifact("06-confirm.png"));
    say(QStringLiteral("  screenshot: %1").arg(artifact("06-confirm.png")));
    if (x.title(*confirm) != (english ? QStringLiteral("Confirm") : QStringLiteral("确定")))
        fail(QStringLiteral("the double-click opened \"%1\", not the confirmation").arg(x.title(*confirm)));
    x.focus(*confirm);
    x.key(QStringLiteral("Return"));

    std::optional<QString> report;
    clock.restart();
    while (!report && clock.elapsed() < 10000) {
        report = x.waitForWindowOf(program->processId(), *window, 2000);
        if (report == confirm) // still closing
            report.reset();
    }
    if (!report)
        fail(QStringLiteral("no report dialog after confirming"));
    if (x.title(*report) != (english ? QStringLiteral("Report") : QStringLiteral("报告结果")))
        fail(QStringLiteral("confirming opened \"%1\", not the report").arg(x.title(*report)));
    const QRect dialog = x.geometry(*report);
    // COPY sits at the top right: 200, 7, 32 x 14 in a dialog of 239 x 90 dialog units.
    const QPoint copy(dialog.x() + dialog.width() * 216 / 239, dialog.y() + dialog.height() * 14 / 90);
    x.screenshot(artifact("07-report.png"));
    say(QStringLiteral("  screenshot: %1").arg(artifact("07-report.png")));
    say(QStringLiteral("Report dialog at (%1,%2) %3x%4; pressing COPY at (%5,%6)")
            .arg(dialog.x())
            .arg(dialog.y())
            .arg(dialog.width())
            .arg(dialog.height())
            .arg(copy.x())
            .arg(copy.y()));
    x.click(copy.x(), copy.y());

    QString pasted;
    clock.restart();
    while (!pasted.contains(QLatin1String("picture size")) && clock.elapsed() < 10000) {
        QThread::msleep(200);
        pasted = x.clipboard();
    }
    {
        QFile saved(artifact("clipboard.txt"));
        if (saved.open(QIODevice::WriteOnly))
            saved.write(pasted.toUtf8());
    }
    say(QStringLiteral("Clipboard (CR shown as \\r):\n%1")
            .arg(QString(pasted).replace(QLatin1Char('\r'), QStringLiteral("\\r"))));

    const QStringList lines = pasted.split(QStringLiteral("\r\n"));
    if (lines.size() < 4 || lines[0] != QLatin1String("picture size: 1024 * 1024") || !lines[1].isEmpty() ||
        lines[2] != QLatin1String("picture name\t\tposition"))
        fail(QStringLiteral("the clipboard does not start with the report's size header and header line"));
    bool found = false;
    for (const QString& line : lines.mid(3)) {
        static const QRegularExpression format(QStringLiteral("^(.+)\t\\((-?\\d+),(-?\\d+)\\)$"));
        const QRegularExpressionMatch match = format.match(line);
        if (!match.hasMatch() || match.captured(1) != target.name)
            continue;
        const int dx = match.captured(2).toInt() - target.comet.x();
        const int dy = match.captured(3).toInt() - target.comet.y();
        say(QStringLiteral("Reported %1 at (%2,%3); the comet's true position is (%4,%5)")
                .arg(target.name, match.captured(2), match.captured(3))
                .arg(target.comet.x())
                .arg(target.comet.y()));
        found = found || (std::abs(dx) <= 1 && std::abs(dy) <= 1);
    }
    if (!found)
        fail(QStringLiteral("no report line for %1 within one pixel of (%2,%3)")
                 .arg(target.name)
                 .arg(target.comet.x())
                 .arg(target.comet.y()));
    if (!pasted.endsWith(QLatin1String("\r\n")) ||
        pasted.count(QLatin1Char('\n')) != pasted.count(QStringLiteral("\r\n")))
        fail(QStringLiteral("the report's lines do not all end in CR LF"));

    // 6. Close the report and quit from the File menu ("退出(&X)").
    x.focus(*report);
    x.key(QStringLiteral("Escape"));
    clock.restart();
    while (x.waitForWindowOf(program->processId(), *window, 0) && clock.elapsed() < 10000)
        QThread::msleep(150);
    x.focus(*window);
    x.key(QStringLiteral("alt+f"));
    if (!x.waitForWindowOf(program->processId(), *window, 10000))
        fail(QStringLiteral("Alt+F does not open the File menu"));
    x.key(QStringLiteral("x"));
    if (!program->waitForFinished(15000))
        fail(QStringLiteral("skyrake did not quit from the File menu"));
    if (program->exitStatus() != QProcess::NormalExit || program->exitCode() != 0)
        fail(QStringLiteral("skyrake ended with status %1").arg(program->exitCode()));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 5 && arguments.size() != 6) {
        std::fprintf(
            stderr, "usage: skyrake-acceptance SKYRAKE SKYRAKE_SAMPLE BACKGROUND.jpg ARTIFACT_DIR [zh|en]\n");
        return 2;
    }
    try {
        const int result = runScenario(arguments);
        if (result == 0)
            say(QStringLiteral("PASSED"));
        return result;
    } catch (int) {
        return 1;
    }
}
