// skyrake --sweep: every window of the frames under some folders searched, the results in SQLite.
#include "app/CommandLine.h"

#include "app/ScanCutouts.h"
#include "pictures/LoadPictureFile.h"
#include "sweep/Sweep.h"
#include "sweep/SweepStore.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>
#include <unistd.h>

namespace {

int reportOutcome(const SweepOutcome& outcome, const QString& path)
{
    if (!outcome.error.isEmpty()) {
        std::fprintf(stderr, "skyrake: %s: %s\n", qPrintable(path), qPrintable(outcome.error));
        return 1;
    }
    std::fprintf(stderr, "skyrake: %d windows searched, %d found done already, %d tracks in %s\n",
                 outcome.searched, outcome.skipped, outcome.tracks, qPrintable(path));
    return 0;
}

bool writeText(const QString& path, const QByteArray& text)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    std::fprintf(stderr, "skyrake: cannot write %s\n", qPrintable(path));
    return false;
}

// The sweep the line asks for: a merge, one window of a plan, or every window under the folders;
// nothing when there is nothing to search (said on standard error) or the plan was written.
std::optional<SweepOutcome> sweepOf(const CommandLine& line, const QString& path, int* code)
{
    if (line.merge)
        return mergeSweeps(line.pictures, path);
    std::optional<SweepPlan> plan;
    *code = 1;
    if (line.window) {
        QFile file(line.planFile);
        if (file.open(QIODevice::ReadOnly))
            plan = planFromText(QString::fromUtf8(file.readAll()));
        if (!plan || *line.window >= int(plan->windows.size())) {
            std::fprintf(stderr, "skyrake: %s holds no window %d of frames that are there\n",
                         qPrintable(line.planFile), *line.window);
            return std::nullopt;
        }
    } else {
        plan = planSweep(findSweepFrames(line.pictures));
        if (plan->windows.empty()) {
            std::fputs("skyrake: no run of four or more frames of one camera and size under those folders\n",
                       stderr);
            return std::nullopt;
        }
        if (!line.planFile.isEmpty()) {
            *code = writeText(line.planFile, planText(*plan).toUtf8()) ? 0 : 1;
            return std::nullopt;
        }
    }
    // One line kept up to date on a terminal, a line each time otherwise.
    const bool terminal = isatty(fileno(stderr));
    const SweepOutcome outcome = runSweep(
        *plan, path, {},
        [terminal](const SweepProgress& p) {
            std::fprintf(stderr, "%swindows %d/%d, %.1f frames/s, %.0f s left%s", terminal ? "\r" : "",
                         p.windowsDone, p.windowsTotal, p.framesPerSecond, p.secondsLeft,
                         terminal ? "   " : "\n");
            std::fflush(stderr);
        },
        line.window);
    if (terminal)
        std::fputc('\n', stderr);
    return outcome;
}

} // namespace

int runSweepCommand(const CommandLine& line)
{
    const QString path = line.database.isEmpty() ? QStringLiteral("skyrake-sweep.sqlite") : line.database;
    int code = 0;
    const std::optional<SweepOutcome> outcome = sweepOf(line, path, &code);
    if (!outcome)
        return code;
    if (reportOutcome(*outcome, path) != 0)
        return 1;
    if (line.csvOut.isEmpty() && line.cutoutsDir.isEmpty())
        return 0;
    const SweepStore store(path);
    QByteArray csv = "track,score,speed,angle,frames,first,last,positions";
    csv += line.cutoutsDir.isEmpty() ? "\n" : ",cutouts\n";
    const QStringList lines = store.trackLines();
    const std::vector<SweepStore::StoredTrack> tracks = store.tracks();
    bool written = true;
    for (size_t t = 0; t < tracks.size(); ++t) {
        csv += lines[qsizetype(t)].toUtf8();
        if (!line.cutoutsDir.isEmpty()) {
            // The track's frames decoded again, one track at a time.
            std::vector<std::unique_ptr<Picture>> pictures;
            std::vector<CutoutFrame> frames;
            Candidate candidate;
            for (const SweepStore::TrackPlace& place : tracks[t].places) {
                LoadResult loaded = LoadPictureFile(place.path, 96, 96);
                if (!loaded)
                    continue;
                pictures.push_back(std::move(loaded->picture));
                frames.push_back({pictures.back().get(), place.frame});
                candidate.positions.push_back(place.position);
            }
            written = writeCutoutGifs(line.cutoutsDir, frames, {&candidate, 1}, QStringLiteral("track"),
                                      tracks[t].track) &&
                      written;
            csv +=
                ',' +
                QDir(line.cutoutsDir).filePath(QStringLiteral("track-%1.gif").arg(tracks[t].track)).toUtf8();
        }
        csv += '\n';
    }
    if (!line.csvOut.isEmpty() && !writeText(line.csvOut, csv))
        return 1;
    return written ? 0 : 1;
}
