#include "app/CommandLine.h"

#include "analysis/Composite.h"
#include "analysis/SequenceStretch.h"
#include "pictures/DecodeAhead.h"
#include "viewer/SkyrakeView.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

void printError(const QString& text)
{
    std::fprintf(stderr, "skyrake: %s\n", text.toLocal8Bit().constData());
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            line.pictures << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.showHelp = true;
        } else if (argument == QLatin1String("--version")) {
            line.showVersion = true;
        } else if (argument == QLatin1String("--composite")) {
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--composite needs an output file");
                return line;
            }
            line.compositeOut = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--composite="))) {
            line.compositeOut = argument.mid(12);
        } else {
            line.error = QStringLiteral("unknown option %1").arg(argument);
            return line;
        }
    }
    if (!line.compositeOut.isEmpty() && line.pictures.size() < 2 && !line.showHelp && !line.showVersion)
        line.error = QStringLiteral("--composite needs at least two pictures");
    return line;
}

QString helpText()
{
    return QStringLiteral(
        "Usage: skyrake [OPTIONS] [PICTURE...]\n"
        "Blink, compare and measure a sequence of coronagraph pictures (JPEG, GIF, PNG or FITS).\n"
        "\n"
        "Pictures named on the command line are loaded in the given order and the first is shown.\n"
        "\n"
        "Options:\n"
        "  --composite OUT.png  write the difference composite of the pictures (the first is the\n"
        "                       reference) at zoom 1 to OUT.png and exit, without a window\n"
        "  -h, --help           show this help and exit\n"
        "  --version            show the version and exit\n");
}

namespace {

// Decodes `paths` in order on worker threads and hands each readable picture to `take`; a file
// that can't be decoded is named on standard error and skipped.
void loadInOrder(const QStringList& paths, int dpiX, int dpiY,
                 const std::function<void(LoadedPicture, const QString& path)>& take)
{
    DecodeAhead decoder(paths, dpiX, dpiY);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        std::optional<LoadedPicture> loaded = decoder.take(i, paths.size());
        if (loaded)
            take(std::move(*loaded), paths[i]);
        else
            printError(QStringLiteral("%1: not a picture SkyRake can read (skipped)").arg(paths[i]));
    }
}

} // namespace

void appendPictures(CSkyrakeView& view, const QStringList& paths)
{
    loadInOrder(paths, view.dpiX(), view.dpiY(), [&view](LoadedPicture loaded, const QString& path) {
        view.appendPicture(std::make_unique<CPictureItem>(std::move(loaded.picture), loaded.name, path));
    });
    view.ShowFirst();
}

int runHeadlessComposite(const QString& out, const QStringList& pictures)
{
    // No display: pictures are sized for the usual 96 pixels per inch, which shows them at
    // exactly their pixel size at zoom 1, as a window would.
    constexpr int dpi = 96;
    std::vector<std::unique_ptr<Picture>> frames;
    loadInOrder(pictures, dpi, dpi, [&frames](LoadedPicture loaded, const QString&) {
        frames.push_back(std::move(loaded.picture));
    });
    if (frames.size() < 2) {
        printError(QStringLiteral("the composite needs at least two readable pictures"));
        return 1;
    }
    std::vector<const Picture*> sequence;
    for (const auto& frame : frames)
        sequence.push_back(frame.get());
    // As the window shows them at start: 8-bit pictures as decoded, FITS frames through the
    // sequence's stretch.
    SequenceStretch stretch;
    stretch.measure(sequence);
    for (const auto& frame : frames)
        stretch.apply(*frame);
    const QImage composite = differenceComposite(sequence, dpi, dpi);
    // Quality 89 is zlib's fastest level in Qt's PNG writer: a file about a quarter larger than at
    // the default level, written in a third of the time, which is most of this command's own work.
    constexpr int fastPng = 89;
    if (composite.isNull() || !composite.save(out, nullptr, fastPng)) {
        printError(QStringLiteral("cannot write %1").arg(out));
        return 1;
    }
    return 0;
}
