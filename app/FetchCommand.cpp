// skyrake --fetch: frames from an archive into the frame library, their paths printed, and with
// --scan searched at once.
#include "app/CommandLine.h"

#include "feeds/FetchSettings.h"

#include <QTextStream>

#include <cstdio>

int runFetch(const FetchLine& fetch, bool scan, bool sungrazer, const QString& cutoutsDir)
{
    const std::optional<Feed> feed = feedNamed(fetch.feed);
    if (!feed)
        return 2;
    FetchRequest request;
    request.feed = *feed;
    request.size = fetch.size;
    request.last = fetch.last;
    request.from = fetch.from;
    request.upTo = fetch.to;
    request.into = fetch.into;
    request.refresh = fetch.refresh;
    request.library = frameLibrary();
    request.base = fetch.source.isEmpty() ? feedSource(*feed) : QUrl(fetch.source);

    const FetchOutcome outcome = fetchFrames(request);
    for (const QString& failure : outcome.failures)
        std::fprintf(stderr, "skyrake: %s\n", failure.toLocal8Bit().constData());
    if (outcome.paths.isEmpty()) {
        std::fputs("skyrake: none of the frames asked for is there\n", stderr);
        return 1;
    }
    if (scan)
        return runScan(outcome.paths, sungrazer, cutoutsDir);
    QTextStream out(stdout);
    for (const QString& path : outcome.paths)
        out << path << '\n';
    return 0;
}
