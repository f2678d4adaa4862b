#include "sweep/Sweep.h"

#include "pictures/LoadPictureFile.h"
#include "sweep/SweepStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

namespace {

// The decoded frames the windows share: decoded by the first window that asks, kept while a
// window still to be searched holds the frame.
class FrameCache
{
public:
    FrameCache(const SweepPlan& plan, const std::vector<int>& windows)
        : m_plan(plan), m_entries(plan.frames.size())
    {
        for (const int w : windows) {
            const SweepWindow& window = plan.windows[size_t(w)];
            for (int i = window.first; i < window.first + window.count; ++i)
                ++m_entries[size_t(i)].windowsLeft;
        }
    }

    // The pictures of the window's frames, null where one can't be decoded. The frames no other
    // window is decoding come first, so that a window waits for another's only when it has
    // nothing else to do.
    std::vector<std::shared_ptr<const Picture>> take(const SweepWindow& window)
    {
        for (int i = window.first; i < window.first + window.count; ++i)
            decodeUnlessClaimed(i);
        std::unique_lock lock(m_mutex);
        std::vector<std::shared_ptr<const Picture>> pictures;
        for (int i = window.first; i < window.first + window.count; ++i) {
            Entry& entry = m_entries[size_t(i)];
            m_decoded.wait(lock, [&] { return entry.state == State::Decoded; });
            pictures.push_back(entry.picture);
        }
        return pictures;
    }

    // A window is done with the frame: the last one lets it go.
    void release(int frame)
    {
        std::lock_guard lock(m_mutex);
        Entry& entry = m_entries[size_t(frame)];
        if (--entry.windowsLeft == 0)
            entry.picture.reset();
    }

private:
    enum class State
    {
        Waiting,
        Decoding,
        Decoded,
    };
    struct Entry
    {
        State state = State::Waiting;
        std::shared_ptr<const Picture> picture;
        int windowsLeft = 0;
    };

    void decodeUnlessClaimed(int frame)
    {
        Entry& entry = m_entries[size_t(frame)];
        {
            std::lock_guard lock(m_mutex);
            if (entry.state != State::Waiting)
                return;
            entry.state = State::Decoding;
        }
        LoadResult loaded = LoadPictureFile(m_plan.frames[size_t(frame)].path, 96, 96);
        {
            std::lock_guard lock(m_mutex);
            if (loaded)
                entry.picture = std::move(loaded->picture);
            entry.state = State::Decoded;
        }
        m_decoded.notify_all();
    }

    const SweepPlan& m_plan;
    std::vector<Entry> m_entries;
    std::mutex m_mutex;
    std::condition_variable m_decoded;
};

struct WindowResult
{
    int window = -1;
    std::vector<Candidate> found;
    double seconds = 0;
};

} // namespace

SweepOutcome runSweep(const SweepPlan& plan, const QString& database, const SearchOptions& options,
                      const std::function<void(const SweepProgress&)>& progress,
                      std::optional<int> onlyWindow)
{
    SweepOutcome outcome;
    SweepStore store(database);
    if (!store.error().isEmpty() || !store.addPlan(plan)) {
        outcome.error = store.error();
        return outcome;
    }
    const std::set<QString> done = store.doneWindows();
    std::vector<int> todo;
    for (int w = 0; w < int(plan.windows.size()); ++w) {
        if (onlyWindow && w != *onlyWindow)
            continue;
        if (done.count(plan.windows[size_t(w)].key))
            ++outcome.skipped;
        else
            todo.push_back(w);
    }
    FrameCache cache(plan, todo);
    // While windows keep every core busy, a search's stages stay on its window's thread; the last
    // windows, fewer than the threads, spread theirs over the shared pool.
    const int threads = QThreadPool::globalInstance()->maxThreadCount();
    std::atomic<int> started = 0;
    const auto search = [&](int w) {
        QElapsedTimer clock;
        clock.start();
        const SweepWindow& window = plan.windows[size_t(w)];
        std::vector<std::shared_ptr<const Picture>> pictures = cache.take(window);
        std::vector<SearchFrame> frames;
        for (int i = 0; i < window.count; ++i) {
            if (const Picture* picture = pictures[size_t(i)].get()) { // the frames that decoded
                const SweepFrame& frame = plan.frames[size_t(window.first + i)];
                frames.push_back({picture, frame.time, frame.camera});
            }
        }
        WindowResult result;
        result.window = w;
        SearchOptions windowOptions = options;
        windowOptions.spreadStages = int(todo.size()) - started++ < threads;
        if (frames.size() >= 4) // the frames that decoded, where enough did
            result.found = searchMovers(frames, windowOptions);
        pictures.clear();
        for (int i = window.first; i < window.first + window.count; ++i)
            cache.release(i);
        result.seconds = clock.elapsed() / 1000.0;
        return result;
    };

    QElapsedTimer clock;
    clock.start();
    qint64 framesSearched = 0;
    QFutureWatcher<WindowResult> watcher;
    QEventLoop waiting;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &waiting, &QEventLoop::quit);
    // Stored in the plan's order whatever order they end in, so that tracks join as a merge of
    // the same windows joins them.
    std::map<int, WindowResult> ready;
    int next = 0;
    QObject::connect(&watcher, &QFutureWatcherBase::resultReadyAt, &waiting, [&](int index) {
        ready[index] = watcher.resultAt(index);
        for (auto it = ready.find(next); it != ready.end(); it = ready.find(++next)) {
            const WindowResult result = std::move(it->second);
            ready.erase(it);
            const SweepWindow& window = plan.windows[size_t(result.window)];
            if (!store.storeWindow(plan, window, result.found, result.seconds) && outcome.error.isEmpty())
                outcome.error = store.error();
            ++outcome.searched;
            framesSearched += window.count;
            if (progress) {
                const double seconds = std::max(clock.elapsed() / 1000.0, 1e-3);
                SweepProgress p;
                p.windowsDone = outcome.skipped + outcome.searched;
                p.windowsTotal = int(plan.windows.size());
                p.framesPerSecond = framesSearched / seconds;
                p.secondsLeft = seconds / outcome.searched * double(todo.size() - size_t(outcome.searched));
                progress(p);
            }
        }
    });
    // The windows on a pool of their own: the search's stages run on the shared pool, and a stage
    // waiting there for its share while every shared thread holds a window would wait for ever.
    QThreadPool windowThreads;
    windowThreads.setMaxThreadCount(threads);
    watcher.setFuture(QtConcurrent::mapped(&windowThreads, todo, std::function<WindowResult(int)>(search)));
    if (!watcher.isFinished())
        waiting.exec();
    QCoreApplication::processEvents(); // results announced just before the end
    outcome.tracks = store.trackCount();
    return outcome;
}

SweepOutcome mergeSweeps(const QStringList& inputs, const QString& database)
{
    SweepOutcome outcome;
    std::vector<SweepFrame> frames;
    std::vector<SweepStore::StoredWindow> windows;
    for (const QString& input : inputs) {
        const SweepStore store(input);
        if (!store.error().isEmpty()) {
            outcome.error = QStringLiteral("%1: %2").arg(input, store.error());
            return outcome;
        }
        const std::vector<SweepFrame> more = store.storedFrames();
        frames.insert(frames.end(), more.begin(), more.end());
        for (SweepStore::StoredWindow& window : store.storedWindows())
            windows.push_back(std::move(window));
    }
    const SweepPlan plan = planSweep(std::move(frames));
    SweepStore merged(database);
    if (!merged.error().isEmpty() || !merged.addPlan(plan)) {
        outcome.error = merged.error();
        return outcome;
    }
    std::set<QString> done = merged.doneWindows();
    for (const SweepWindow& window : plan.windows) {
        const auto stored =
            std::find_if(windows.begin(), windows.end(),
                         [&](const SweepStore::StoredWindow& w) { return w.key == window.key; });
        if (stored == windows.end() || done.count(window.key)) {
            ++outcome.skipped;
            continue;
        }
        if (!merged.storeWindow(plan, window, stored->found, stored->seconds)) {
            outcome.error = merged.error();
            return outcome;
        }
        done.insert(window.key);
        ++outcome.searched;
    }
    outcome.tracks = merged.trackCount();
    return outcome;
}
