#pragma once

#include "feeds/FrameFetch.h"
#include "model/SkyrakeWork.h"

#include <QFutureWatcher>
#include <QTimer>

#include <chrono>
#include <memory>

// Watching a feed: a round at once and then one every 15 minutes fetches the latest frames,
// keeps them as the work's sequence (the frames that stay keep their measurements) and, when the
// sequence changed, searches it quietly on the thread pool. A round that finds the previous one
// still fetching or searching is skipped.
class FrameWatch : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::minutes defaultInterval{15};

    FrameWatch(SkyrakeWork& work, QObject* parent = nullptr);
    ~FrameWatch() override;

    // Watches for the frames `request` asks for (its count, its feed and size; always up to now).
    void start(FetchRequest request, int dpiX, int dpiY);
    // Stops watching; a fetch or search under way is abandoned.
    void stop();
    bool isOn() const { return m_timer.isActive(); }
    const FetchRequest& request() const { return m_request; }
    void setInterval(std::chrono::milliseconds interval) { m_timer.setInterval(interval); }

Q_SIGNALS:
    void roundStarted();
    // A round's frames are the sequence now (`fetched` of them new); `failures` as a fetch names them.
    void framesKept(int fetched, const QStringList& failures);
    // A round's search ended over the current sequence with this many candidates.
    void searched(int candidates);

private:
    void round();
    void fetched();
    void searchEnded();

    SkyrakeWork& m_work;
    QTimer m_timer;
    FetchRequest m_request;
    int m_dpiX = 96;
    int m_dpiY = 96;
    std::unique_ptr<FrameFetch> m_fetch;
    QFutureWatcher<std::vector<Candidate>> m_search;
    quint64 m_searchedGeneration = 0;
    bool m_searchedOnce = false;
    quint64 m_searchGeneration = 0;
};
