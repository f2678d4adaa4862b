#include "app/CommandLine.h"

#include "pictures/LoadPictureFile.h"
#include "viewer/SkyrakeView.h"

#include <QCoreApplication>

#include <cstdio>

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
        "Blink, compare and measure a sequence of coronagraph pictures (GIF or JPEG).\n"
        "\n"
        "Pictures named on the command line are loaded in the given order and the first is shown.\n"
        "\n"
        "Options:\n"
        "  --composite OUT.png  write the difference composite of the pictures (the first is the\n"
        "                       reference) at zoom 1 to OUT.png and exit, without a window\n"
        "  -h, --help           show this help and exit\n"
        "  --version            show the version and exit\n");
}

void appendPictures(CSkyrakeView& view, const QStringList& paths)
{
    for (const QString& path : paths) {
        std::optional<LoadedPicture> loaded = LoadPictureFile(path, view.dpiX(), view.dpiY());
        if (!loaded) {
            printError(QStringLiteral("%1: not a picture SkyRake can read (skipped)").arg(path));
            continue;
        }
        view.m_path = path;
        view.m_pictures.AddTail(
            std::make_unique<CPictureItem>(std::move(loaded->picture), loaded->name, path));
    }
    view.ShowFirst();
}

int runHeadlessComposite(const QString& out, const QStringList& pictures)
{
    CSkyrakeView view;
    appendPictures(view, pictures);
    if (view.m_pictures.GetCount() < 2) {
        printError(QStringLiteral("the composite needs at least two readable pictures"));
        return 1;
    }
    const Picture& first = *PictureList::GetAt(view.m_pictures.GetHeadPosition())->m_pPicture;
    view.resize(first.pixelWidth(), first.pixelHeight());
    view.m_showGrid = false;
    view.OnDraw();
    view.OnComposite();
    if (!view.windowImage().save(out)) {
        printError(QStringLiteral("cannot write %1").arg(out));
        return 1;
    }
    return 0;
}
