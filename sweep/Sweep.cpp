#include "sweep/Sweep.h"

#include "analysis/sky/EarthEclipse.h"
#include "analysis/sky/SkyGeometry.h"
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

    struct Frame
    {
        std::shared_ptr<const Picture> picture; // null where the frame can't be decoded ...
        QString damage;                         // ... and then why
    };
    // The window's frames, in order. The frames no other window is decoding come first, so that a
    // window waits for another's only when it has nothing else to do.
    std::vector<Frame> take(const SweepWindow& window)
    {
        for (int i = window.first; i < window.first + window.count; ++i)
            decodeUnlessClaimed(i);
        std::unique_lock lock(m_mutex);
        std::vector<Frame> frames;
        for (int i = window.first; i < window.first + window.count; ++i) {
            Entry& entry = m_entries[size_t(i)];
            m_decoded.wait(lock, [&] { return entry.state == State::Decoded; });
            frames.push_back({entry.picture, entry.damage});
        }
        return frames;
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
        QString damage; // why it gave no picture
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
        QString eclipse;
        if (loaded) {
            // A frame the Earth stands in is left out of the search, as one that can't be read.
            const Picture& picture = *loaded->picture;
            const FrameInfo info = frameInfoOf(m_plan.frames[size_t(frame)].name, picture.keywords());
            if (eclipsedByEarth([&] { return frameGeometry(picture.decoded(), picture.keywords(), info); },
                                picture.decoded().size(), info, picture.keywords()))
                eclipse = QStringLiteral("eclipsed by the Earth");
        }
        {
            std::lock_guard lock(m_mutex);
            if (loaded && eclipse.isEmpty())
                entry.picture = std::move(loaded->picture);
            else
                entry.damage = loaded ? eclipse : QString::fromLatin1(loadFailureText(loaded.failure()));
            entry.state = State::Decoded;
        }
        m_decoded.notify_all();
    }

    const SweepPlan& m_plan;
    std::vector<Entry> m_entries;
    std::mutex m_mutex;
    std::condition_variable m_decoded;
};

// The window's search over the frames that decoded, each position kept with its own frame: the
// search gives one position per frame it was given, and those are `record.searched`.
WindowRecord searchWindow(const SweepPlan& plan, const SweepWindow& window,
                          std::vector<FrameCache::Frame> decoded, const SearchOptions& options)
{
    WindowRecord record = windowRecord(plan, window);
    std::vector<SearchFrame> frames;
    for (int i = 0; i < window.count; ++i) {
        const SweepFrame& frame = plan.frames[size_t(window.first + i)];
        if (const Picture* picture = decoded[size_t(i)].picture.get()) {
            frames.push_back({picture, frame.time, frame.camera});
            record.searched.push_back(frame.name);
        } else {
            record.damaged.push_back({frame.name, decoded[size_t(i)].damage});
        }
    }
    if (int(frames.size()) < minGoodFrames)
        record.skipped = QStringLiteral("%1 of its %2 frames decoded, %3 needed")
                             .arg(frames.size())
                             .arg(window.count)
                             .arg(minGoodFrames);
    else
        record.found = searchMovers(frames, options);
    return record;
}

} // namespace

SweepOutcome runSweep(const SweepPlan& plan, const QString& database, const SearchOptions& options,
                      const std::function<void(const SweepProgress&)>& progress,
                      std::optional<int> onlyWindow)
{
    SweepOutcome outcome;
    SweepStore store(database, SweepStore::Access::Write);
    // A cluster's task records only its own window and that window's frames.
    std::vector<int> planned;
    for (int w = 0; w < int(plan.windows.size()); ++w) {
        if (!onlyWindow || w == *onlyWindow)
            planned.push_back(w);
    }
    const std::set<QString> finished =
        store.addPlan(plan, planned) ? store.finishedWindows() : std::set<QString>{};
    outcome.superseded = store.supersededWindows();
    if (!store.error().isEmpty()) {
        outcome.error = store.error();
        return outcome;
    }
    std::vector<int> todo;
    for (const int w : planned) {
        if (finished.count(plan.windows[size_t(w)].key))
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
        SearchOptions windowOptions = options;
        windowOptions.spreadStages = int(todo.size()) - started++ < threads;
        WindowRecord record = searchWindow(plan, window, cache.take(window), windowOptions);
        for (int i = window.first; i < window.first + window.count; ++i)
            cache.release(i);
        record.seconds = clock.elapsed() / 1000.0;
        return record;
    };

    QElapsedTimer clock;
    clock.start();
    qint64 framesSearched = 0;
    QFutureWatcher<WindowRecord> watcher;
    QEventLoop waiting;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &waiting, &QEventLoop::quit);
    // Stored in the plan's order whatever order they end in, so that tracks join as a merge of
    // the same windows joins them. The first store that fails ends the sweep: no window more is
    // started, those under way are let go unstored, and only what was stored is counted.
    std::map<int, WindowRecord> ready;
    int next = 0;
    QObject::connect(&watcher, &QFutureWatcherBase::resultReadyAt, &waiting, [&](int index) {
        ready[index] = watcher.resultAt(index);
        for (auto it = ready.find(next); it != ready.end() && outcome.error.isEmpty();
             it = ready.find(++next)) {
            const WindowRecord record = std::move(it->second);
            ready.erase(it);
            if (!store.storeWindow(record)) {
                outcome.error = store.error();
                watcher.cancel();
                return;
            }
            ++outcome.searched;
            outcome.tooFewFrames += record.skipped.isEmpty() ? 0 : 1;
            outcome.damagedFrames += int(record.damaged.size());
            framesSearched += record.frames;
            if (progress) {
                const double seconds = std::max(clock.elapsed() / 1000.0, 1e-3);
                SweepProgress p;
                p.windowsDone = outcome.skipped + outcome.searched;
                p.windowsTotal = int(planned.size());
                p.framesPerSecond = framesSearched / seconds;
                p.secondsLeft = seconds / outcome.searched * double(todo.size() - size_t(outcome.searched));
                p.stored = &record;
                progress(p);
            }
        }
    });
    // The windows on a pool of their own: the search's stages run on the shared pool, and a stage
    // waiting there for its share while every shared thread holds a window would wait for ever.
    QThreadPool windowThreads;
    windowThreads.setMaxThreadCount(threads);
    watcher.setFuture(QtConcurrent::mapped(&windowThreads, todo, std::function<WindowRecord(int)>(search)));
    if (!watcher.isFinished())
        waiting.exec();
    QCoreApplication::processEvents(); // results announced just before the end
    watcher.waitForFinished();         // windows under way when a store failed
    if (outcome.error.isEmpty())
        outcome.tracks = store.trackCount();
    if (outcome.error.isEmpty() && !store.error().isEmpty())
        outcome.error = store.error();
    return outcome;
}
