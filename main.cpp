#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/Session.h"
#include "app/SkyrakeApp.h"
#include "platform/HeapBlocks.h"
#include "platform/Language.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSettings>

#include <cstdio>

int main(int argc, char* argv[])
{
    keepLargeBlocksInHeap();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = parseCommandLine(arguments);
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "skyrake: %s\n\n%s", qPrintable(line.error), qPrintable(helpText()));
        return 2;
    }
    if (line.showHelp) {
        std::printf("%s", qPrintable(helpText()));
        return 0;
    }
    if (line.showVersion) {
        std::printf("skyrake %s\n", SKYRAKE_VERSION);
        return 0;
    }
    if (line.fetch) {
        QCoreApplication application(argc, argv);
        CSkyrakeApp::SetRegistryKey(); // the frame library and the archives' addresses
        return runFetch(*line.fetch, line.scan, line.sungrazer, line.cutoutsDir);
    }
    if (line.sweep) {
        QCoreApplication application(argc, argv);
        return runSweepCommand(line);
    }
    if (line.sky) {
        QCoreApplication application(argc, argv);
        CSkyrakeApp::SetRegistryKey(); // the known comets
        return runSky(line.pictures);
    }
    if (line.scan) {
        QCoreApplication application(argc, argv);
        return runScan(line.pictures, line.sungrazer, line.cutoutsDir, line.confirmIn);
    }
    if (!line.compositeOut.isEmpty()) {
        // No window and no display: the picture plugins need only the core application.
        QCoreApplication application(argc, argv);
        return runHeadlessComposite(line.compositeOut, line.pictures);
    }

    QApplication application(argc, argv);
    // The interface's language: --lang, else the one chosen in the View menu, else the system's.
    CSkyrakeApp::SetRegistryKey();
    installLanguage(application, chooseLanguage(line.language, QSettings()));
    CSkyrakeApp skyrake;
    if (!skyrake.InitInstance())
        return 1;
    // A saved session named there is opened; the other files are pictures to append.
    QStringList pictures;
    for (const QString& path : line.pictures) {
        if (isSessionFile(path))
            skyrake.OpenSession(path);
        else
            pictures << path;
    }
    if (!pictures.isEmpty())
        appendPictures(*skyrake.mainFrame()->view(), pictures);
    const int result = application.exec();
    skyrake.ExitInstance();
    return result;
}
