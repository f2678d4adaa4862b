// skyrake --fetch against an archive on the loopback address: the frames' paths on standard
// output in time order, each failure named on standard error, and the exit code.
#include "Fixtures.h"
#include "LoopbackHttp.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProgramRun
{
    int exitCode = -1;
    QString out, errors;
};

// The program runs while this process's event loop serves the archive.
ProgramRun runWhileServing(const QStringList& arguments)
{
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    process.start(QStringLiteral(SKYRAKE_BINARY), arguments);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(FetchCommand, PrintsTheFramesPathsNamesEachFailureAndSaysWhetherAnyIsThere)
{
    LoopbackHttp archive;
    ASSERT_TRUE(archive.listening());
    QFile jpeg(fixture(lasco512Jpg));
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    const QByteArray day = "/2020/c3/20200928/";
    archive.routes[day + ".full_1024.lst"] =
        Route::whole("20200928_0006_c3_1024.jpg\n20200928_0018_c3_1024.jpg\n20200928_0030_c3_1024.jpg\n");
    archive.routes[day + "20200928_0006_c3_1024.jpg"] = Route::whole(jpeg.readAll());
    archive.routes[day + "20200928_0030_c3_1024.jpg"] = archive.routes[day + "20200928_0006_c3_1024.jpg"];

    QTemporaryDir into;
    const QStringList request = {QStringLiteral("--fetch"),  QStringLiteral("c3"),
                                 QStringLiteral("--last"),   QStringLiteral("3"),
                                 QStringLiteral("--to"),     QStringLiteral("2020-09-28T23:59"),
                                 QStringLiteral("--into"),   into.path(),
                                 QStringLiteral("--source"), archive.url(QString()).toString()};
    const ProgramRun run = runWhileServing(request);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.out, into.filePath(QStringLiteral("20200928_0006_c3_1024.jpg")) + '\n' +
                           into.filePath(QStringLiteral("20200928_0030_c3_1024.jpg")) + '\n');
    EXPECT_EQ(run.errors, QStringLiteral("skyrake: 20200928_0018_c3_1024.jpg: 404 Not Found\n"));

    // Before the archive's first frame there is nothing to have.
    const ProgramRun none = runWhileServing(QStringList(request).replaceInStrings(
        QStringLiteral("2020-09-28T23:59"), QStringLiteral("2020-09-28T00:05")));
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.out.isEmpty());
}

} // namespace
