#pragma once

#include "analysis/search/MoverSearch.h"

#include <QFuture>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class Picture;

// The frames a search reads, taken from the work when it starts: it shares the pictures, so the
// sequence may change while the search runs (a frame deleted or added, a new stretch, which never
// touches the decoded pixels the search reads). The generation is the work's at that moment: a
// result for an older one no longer fits the sequence.
struct SearchSnapshot
{
    std::vector<std::shared_ptr<const Picture>> pictures;
    std::vector<SearchFrame> frames; // the frames searched, in sequence order
    // Where the sequence holds frames left out of the search (the Earth in the field): the index
    // of each frame searched, every frame's time, and "NAME: why" for each left out. The
    // candidates get a place on those frames too.
    std::vector<size_t> searched;
    std::vector<QDateTime> times;
    QStringList leftOut;
    SearchOptions options;
    quint64 generation = 0;
};

// Searches the snapshot's frames on this thread; `progress` as `searchMovers` takes it.
std::vector<Candidate> runSearch(const SearchSnapshot& snapshot,
                                 const std::function<bool(int)>& progress = {});

// Searches on the shared thread pool. The future reports progress 0..100 and its result; cancel
// it to stop the search early (it then has no result).
QFuture<std::vector<Candidate>> startSearch(SearchSnapshot snapshot);
// The result of a search started so, once it finished; nothing when it was cancelled.
std::optional<std::vector<Candidate>> searchResult(QFuture<std::vector<Candidate>> search);
