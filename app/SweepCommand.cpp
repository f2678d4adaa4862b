// skyrake --sweep: every window of the frames under some folders searched, the results in SQLite.
#include "app/CommandLine.h"

#include "sweep/Sweep.h"
#include "sweep/SweepStore.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>
#include <unistd.h>

int runSweepCommand(const QStringList& folders, const QString& database, const QString& csvOut)
{
    const SweepPlan plan = planSweep(findSweepFrames(folders));
    if (plan.windows.empty()) {
        std::fputs("skyrake: no run of four or more frames of one camera and size under those folders\n",
                   stderr);
        return 1;
    }
    const QString path = database.isEmpty() ? QStringLiteral("skyrake-sweep.sqlite") : database;
    // One line kept up to date on a terminal, a line each time otherwise.
    const bool terminal = isatty(fileno(stderr));
    const SweepOutcome outcome = runSweep(plan, path, {}, [terminal](const SweepProgress& p) {
        std::fprintf(stderr, "%swindows %d/%d, %.1f frames/s, %.0f s left%s", terminal ? "\r" : "",
                     p.windowsDone, p.windowsTotal, p.framesPerSecond, p.secondsLeft,
                     terminal ? "   " : "\n");
        std::fflush(stderr);
    });
    if (terminal)
        std::fputc('\n', stderr);
    if (!outcome.error.isEmpty()) {
        std::fprintf(stderr, "skyrake: %s: %s\n", qPrintable(path), qPrintable(outcome.error));
        return 1;
    }
    std::fprintf(stderr, "skyrake: %d windows searched, %d found done already, %d tracks in %s\n",
                 outcome.searched, outcome.skipped, outcome.tracks, qPrintable(path));
    if (csvOut.isEmpty())
        return 0;
    const SweepStore store(path);
    QSaveFile csv(csvOut);
    const QByteArray text = "track,score,speed,angle,frames,first,last,positions\n" +
                            store.trackLines().join(QLatin1Char('\n')).toUtf8() + '\n';
    if (!csv.open(QIODevice::WriteOnly) || csv.write(text) != text.size() || !csv.commit()) {
        std::fprintf(stderr, "skyrake: cannot write %s\n", qPrintable(csvOut));
        return 1;
    }
    return 0;
}
