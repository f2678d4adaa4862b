// Merging a cluster's task databases into one.
#include "sweep/Sweep.h"

SweepOutcome mergeSweeps(const QStringList& inputs, const QString& database)
{
    SweepOutcome outcome;
    SweepStore merged(database, SweepStore::Access::Merge);
    if (!merged.error().isEmpty()) {
        outcome.error = merged.error();
        return outcome;
    }
    std::set<QString> finished = merged.finishedWindows();
    for (const QString& input : inputs) {
        SweepStore part(input);
        const bool copied = part.error().isEmpty() && part.copyFramesTo(merged) &&
                            part.forEachStoredWindow([&](WindowRecord&& record) {
                                if (!finished.insert(record.key).second) {
                                    ++outcome.skipped;
                                    return true;
                                }
                                if (!merged.storeWindow(record))
                                    return false;
                                ++outcome.searched;
                                outcome.tooFewFrames += record.skipped.isEmpty() ? 0 : 1;
                                return true;
                            });
        if (!copied) {
            // Whichever side failed says why; the merged database keeps every window stored so far.
            outcome.error =
                merged.error().isEmpty() ? QStringLiteral("%1: %2").arg(input, part.error()) : merged.error();
            return outcome;
        }
    }
    outcome.tracks = merged.trackCount();
    if (!merged.error().isEmpty())
        outcome.error = merged.error();
    return outcome;
}
