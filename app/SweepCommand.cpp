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
#include <set>
#include <unistd.h>

namespace {

// Exit codes: every window searched and stored; a failure (the store, the lock, the plan); the
// sweep stored everything but the database holds frames that could not be decoded or windows
// with too few good frames.
constexpr int exitStored = 0, exitFailed = 1, exitLosses = 3;

int reportOutcome(const SweepOutcome& outcome, const QString& path)
{
    if (!outcome.error.isEmpty()) {
        // Only what was stored is counted; the rest was not searched, or searched and let go.
        std::fprintf(stderr,
                     "skyrake: %s: %s\nskyrake: %d windows stored before that; the sweep stopped there\n",
                     qPrintable(path), qPrintable(outcome.error), outcome.searched);
        return exitFailed;
    }
    if (outcome.superseded > 0)
        std::fprintf(stderr, "skyrake: %d windows stored before set aside: a frame of theirs was replaced\n",
                     outcome.superseded);
    std::fprintf(stderr, "skyrake: %d windows searched, %d found done already, %d tracks in %s\n",
                 outcome.searched, outcome.skipped, outcome.tracks, qPrintable(path));
    return exitStored;
}

bool writeText(const QString& path, const QByteArray& text)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    std::fprintf(stderr, "skyrake: cannot write %s\n", qPrintable(path));
    return false;
}

// The databases a merge takes: those on the line, then those listed in --list, one a line.
std::optional<QStringList> mergeInputs(const CommandLine& line)
{
    QStringList inputs = line.pictures;
    if (line.mergeList.isEmpty())
        return inputs;
    QFile list(line.mergeList);
    if (!list.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "skyrake: %s: %s\n", qPrintable(line.mergeList), qPrintable(list.errorString()));
        return std::nullopt;
    }
    while (!list.atEnd()) {
        const QString input = QString::fromUtf8(list.readLine()).trimmed();
        if (!input.isEmpty())
            inputs << input;
    }
    return inputs;
}

// Names on standard error, once each, the frames that could not be decoded and the windows
// stored as skipped.
class LossReport
{
public:
    void operator()(const WindowRecord& record, bool terminal)
    {
        const char* clear = terminal ? "\r\033[K" : "";
        for (const auto& [frame, why] : record.damaged) {
            if (m_named.insert(frame).second)
                std::fprintf(stderr, "%sskyrake: %s: %s, left out of its windows\n", clear, qPrintable(frame),
                             qPrintable(why));
        }
        if (!record.skipped.isEmpty())
            std::fprintf(stderr, "%sskyrake: window %s skipped: %s\n", clear, qPrintable(record.key),
                         qPrintable(record.skipped));
    }

private:
    std::set<QString> m_named;
};

// The sweep the line asks for: a merge, one window of a plan, or every window under the folders;
// nothing when there is nothing to search (said on standard error) or the plan was written.
std::optional<SweepOutcome> sweepOf(const CommandLine& line, const QString& path, int* code)
{
    *code = exitFailed;
    if (line.merge) {
        const std::optional<QStringList> inputs = mergeInputs(line);
        if (!inputs)
            return std::nullopt;
        return mergeSweeps(*inputs, path);
    }
    std::optional<SweepPlan> plan;
    if (line.window) {
        QString why;
        plan = planWindowFromFile(line.planFile, *line.window, &why);
        if (!plan) {
            std::fprintf(stderr, "skyrake: %s: %s\n", qPrintable(line.planFile), qPrintable(why));
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
            const QByteArray text = planText(*plan).toUtf8();
            const bool written = writeText(line.planFile, text) &&
                                 writeText(line.planFile + QStringLiteral(".index"), planIndex(text));
            *code = written ? exitStored : exitFailed;
            return std::nullopt;
        }
    }
    // One line kept up to date on a terminal, a line each time otherwise.
    const bool terminal = isatty(fileno(stderr));
    LossReport losses;
    const SweepOutcome outcome = runSweep(*plan, path, {}, [terminal, &losses](const SweepProgress& p) {
        losses(*p.stored, terminal);
        std::fprintf(stderr, "%swindows %d/%d, %.1f frames/s, %.0f s left%s", terminal ? "\r" : "",
                     p.windowsDone, p.windowsTotal, p.framesPerSecond, p.secondsLeft,
                     terminal ? "   " : "\n");
        std::fflush(stderr);
    });
    if (terminal)
        std::fputc('\n', stderr);
    return outcome;
}

// The tracks as CSV, with their cutouts where asked for.
int writeTracks(const CommandLine& line, SweepStore& store)
{
    QByteArray csv = "track,score,speed,angle,frames,first,last,positions";
    csv += line.cutoutsDir.isEmpty() ? "\n" : ",cutouts\n";
    const QStringList lines = store.trackLines();
    const std::vector<SweepStore::StoredTrack> tracks = store.tracks();
    if (!store.error().isEmpty()) {
        std::fprintf(stderr, "skyrake: %s\n", qPrintable(store.error()));
        return exitFailed;
    }
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
            const QString gif =
                QDir(line.cutoutsDir).filePath(QStringLiteral("track-%1.gif").arg(tracks[t].track));
            csv += ',' + csvField(gif).toUtf8();
        }
        csv += '\n';
    }
    if (!line.csvOut.isEmpty() && !writeText(line.csvOut, csv))
        return exitFailed;
    return written ? exitStored : exitFailed;
}

} // namespace

int runSweepCommand(const CommandLine& line)
{
    const QString path = line.database.isEmpty() ? QStringLiteral("skyrake-sweep.sqlite") : line.database;
    int code = exitStored;
    const std::optional<SweepOutcome> outcome = sweepOf(line, path, &code);
    if (!outcome)
        return code;
    if (reportOutcome(*outcome, path) != exitStored)
        return exitFailed;
    SweepStore store(path);
    if (!line.csvOut.isEmpty() || !line.cutoutsDir.isEmpty()) {
        code = writeTracks(line, store);
        if (code != exitStored)
            return code;
    }
    const SweepStore::Losses losses = store.losses();
    if (!store.error().isEmpty()) {
        std::fprintf(stderr, "skyrake: %s: %s\n", qPrintable(path), qPrintable(store.error()));
        return exitFailed;
    }
    if (losses.damagedFrames == 0 && losses.skippedWindows == 0)
        return exitStored;
    std::fprintf(stderr,
                 "skyrake: %s holds %d frames that could not be decoded and %d windows skipped for too few "
                 "good frames (the table frames gives each frame's damage, windows each window's reason)\n",
                 qPrintable(path), losses.damagedFrames, losses.skippedWindows);
    return exitLosses;
}
