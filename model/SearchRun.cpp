#include "model/SearchRun.h"

#include "platform/ThreadHandoff.h"

#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

std::vector<Candidate> runSearch(const SearchSnapshot& snapshot, const std::function<bool(int)>& progress)
{
    std::vector<Candidate> found = searchMovers(snapshot.frames, snapshot.options, progress);
    if (!snapshot.leftOut.isEmpty())
        spreadOverFrames(found, snapshot.searched, snapshot.times);
    return found;
}

namespace {
const char handOverPoint = 0; // where the snapshot and the result pass between threads
}

QFuture<std::vector<Candidate>> startSearch(SearchSnapshot snapshot)
{
    handOver(&handOverPoint);
    return QtConcurrent::run([snapshot = std::move(snapshot)](QPromise<std::vector<Candidate>>& promise) {
        takeOver(&handOverPoint);
        promise.setProgressRange(0, 100);
        std::vector<Candidate> found = runSearch(snapshot, [&promise](int percent) {
            promise.setProgressValue(percent);
            return !promise.isCanceled();
        });
        if (!promise.isCanceled())
            promise.addResult(std::move(found));
        handOver(&handOverPoint);
    });
}

std::optional<std::vector<Candidate>> searchResult(QFuture<std::vector<Candidate>> search)
{
    search.waitForFinished();
    takeOver(&handOverPoint);
    if (search.isCanceled() || search.resultCount() == 0)
        return std::nullopt;
    return search.result();
}
