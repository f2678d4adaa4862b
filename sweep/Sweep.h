#pragma once

#include "analysis/search/MoverSearch.h"
#include "sweep/SweepPlan.h"
#include "sweep/SweepStore.h"

#include <functional>
#include <optional>

struct SweepProgress
{
    int windowsDone = 0; // of this run, and of all in the plan
    int windowsTotal = 0;
    double framesPerSecond = 0;
    double secondsLeft = 0;
    const WindowRecord* stored = nullptr; // the window just stored: its damaged frames, why skipped
};

struct SweepOutcome
{
    int searched = 0;      // windows stored now (merged, for a merge), those skipped among them
    int tooFewFrames = 0;  // of those, windows stored as skipped: under `minGoodFrames` decoded
    int damagedFrames = 0; // frames that could not be decoded, counted in each window holding them
    int skipped = 0;       // windows found stored already
    int superseded = 0;    // stored windows set aside now: a frame of theirs was replaced since
    int tracks = 0;        // in the database now
    QString error;         // empty when the sweep ran to its end; else SQLite's message, or why not
};

// Searches the plan's windows that the database at `database` does not hold done or skipped, on
// Qt Concurrent's thread pool, each frame decoded once however many windows hold it and kept only
// while a window still to be searched needs it; each window is stored as it ends, in one
// transaction. A window is searched over the frames that decoded, the others stored as damaged
// with the reason; with fewer than `minGoodFrames` of them it is stored as skipped. The first
// failure to store ends the sweep with the error. `progress` is called on this thread after each
// window stored. With `onlyWindow`, just that window of the plan (a cluster's task), and only it
// and its frames are recorded.
SweepOutcome runSweep(const SweepPlan& plan, const QString& database, const SearchOptions& options = {},
                      const std::function<void(const SweepProgress&)>& progress = {},
                      std::optional<int> onlyWindow = std::nullopt);

// Merges sweeps' databases (a cluster's tasks) into `database` as one sweep of all their frames
// would have stored them: the inputs taken in the plan's order of their first windows, whatever
// order they are given in, each input's windows in their own order; time and memory linear in
// the windows (and a sort of the inputs). A window stored already is left as it is. The first
// failure ends the merge, naming the database it came from.
SweepOutcome mergeSweeps(const QStringList& inputs, const QString& database);
