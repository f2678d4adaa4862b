// Merging a cluster's task databases into one.
#include "sweep/Sweep.h"

#include <algorithm>

namespace {

// The inputs in the plan's order of their first windows, whatever order they came in (a shell's
// glob puts window-10 before window-2): a track joins the next window's candidate only where
// the windows come in order, so out of order one comet could come out as two tracks. Nothing,
// with the reason, when an input can't be read.
std::optional<QStringList> inPlanOrder(const QStringList& inputs, QString* why)
{
    std::vector<std::pair<QStringList, QString>> keyed;
    keyed.reserve(size_t(inputs.size()));
    for (const QString& input : inputs) {
        SweepStore part(input);
        QStringList first = part.error().isEmpty() ? part.firstStoredWindow() : QStringList();
        if (!part.error().isEmpty()) {
            *why = QStringLiteral("%1: %2").arg(input, part.error());
            return std::nullopt;
        }
        keyed.emplace_back(std::move(first), input);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList ordered;
    for (auto& [first, input] : keyed)
        ordered << std::move(input);
    return ordered;
}

} // namespace

SweepOutcome mergeSweeps(const QStringList& given, const QString& database)
{
    SweepOutcome outcome;
    const std::optional<QStringList> inputs = inPlanOrder(given, &outcome.error);
    if (!inputs)
        return outcome;
    SweepStore merged(database, SweepStore::Access::Merge);
    if (!merged.error().isEmpty()) {
        outcome.error = merged.error();
        return outcome;
    }
    std::set<QString> finished = merged.finishedWindows();
    for (const QString& input : *inputs) {
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
    outcome.superseded = merged.supersededWindows();
    outcome.tracks = merged.trackCount();
    if (!merged.error().isEmpty())
        outcome.error = merged.error();
    return outcome;
}
