#pragma once

#include "analysis/search/MoverSearch.h"
#include "sweep/SweepPlan.h"

#include <functional>
#include <optional>

struct SweepProgress
{
    int windowsDone = 0; // of this run, and of all in the plan
    int windowsTotal = 0;
    double framesPerSecond = 0;
    double secondsLeft = 0;
};

struct SweepOutcome
{
    int searched = 0; // windows searched now
    int skipped = 0;  // windows found done already
    int tracks = 0;   // in the database now
    QString error;    // empty when the sweep ran to its end
};

// Searches the plan's windows that the database at `database` does not hold done, on Qt
// Concurrent's thread pool, each frame decoded once however many windows hold it and kept only
// while a window still to be searched needs it; each window's candidates are stored as it ends.
// `progress` is called on this thread after each window.
// With `onlyWindow`, just that window of the plan (a cluster's task).
SweepOutcome runSweep(const SweepPlan& plan, const QString& database, const SearchOptions& options = {},
                      const std::function<void(const SweepProgress&)>& progress = {},
                      std::optional<int> onlyWindow = std::nullopt);

// Merges sweeps' databases (a cluster's tasks, one window each) into `database`, window by window
// in the plan's order, as one sweep of all their frames would have stored them.
SweepOutcome mergeSweeps(const QStringList& inputs, const QString& database);
