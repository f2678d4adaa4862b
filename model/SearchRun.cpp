#include "model/SearchRun.h"

#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

std::vector<Candidate> runSearch(const SearchSnapshot& snapshot, const std::function<bool(int)>& progress)
{
    return searchMovers(snapshot.frames, snapshot.options, progress);
}

QFuture<std::vector<Candidate>> startSearch(SearchSnapshot snapshot)
{
    return QtConcurrent::run([snapshot = std::move(snapshot)](QPromise<std::vector<Candidate>>& promise) {
        promise.setProgressRange(0, 100);
        std::vector<Candidate> found = runSearch(snapshot, [&promise](int percent) {
            promise.setProgressValue(percent);
            return !promise.isCanceled();
        });
        if (!promise.isCanceled())
            promise.addResult(std::move(found));
    });
}
