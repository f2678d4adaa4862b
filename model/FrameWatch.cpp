#include "model/FrameWatch.h"

#include "model/OpenFrames.h"

FrameWatch::FrameWatch(SkyrakeWork& work, QObject* parent) : QObject(parent), m_work(work)
{
    m_timer.setInterval(defaultInterval);
    connect(&m_timer, &QTimer::timeout, this, &FrameWatch::round);
    connect(&m_search, &QFutureWatcherBase::finished, this, &FrameWatch::searchEnded);
}

FrameWatch::~FrameWatch()
{
    stop();
}

void FrameWatch::start(FetchRequest request, int dpiX, int dpiY)
{
    m_request = std::move(request);
    // Always the latest frames up to the moment of the round, and the lists read anew: a round
    // comes only every so often, and it is there to see what is new.
    m_request.from.reset();
    m_request.upTo = QDateTime();
    m_request.refresh = true;
    m_dpiX = dpiX;
    m_dpiY = dpiY;
    m_searchedOnce = false;
    m_timer.start();
    round();
}

void FrameWatch::stop()
{
    m_timer.stop();
    if (m_fetch) {
        m_fetch->disconnect(this);
        m_fetch->cancel();
        m_fetch.release()->deleteLater();
    }
    m_search.cancel();
}

void FrameWatch::round()
{
    if (m_fetch || m_search.isRunning())
        return;
    m_fetch = std::make_unique<FrameFetch>(m_request);
    connect(m_fetch.get(), &FrameFetch::done, this, &FrameWatch::fetched);
    Q_EMIT roundStarted();
    m_fetch->start();
}

void FrameWatch::fetched()
{
    const FetchOutcome outcome = m_fetch->outcome();
    m_fetch.release()->deleteLater(); // it is still announcing its end
    if (!outcome.paths.isEmpty()) {
        const QStringList skipped = keepFrames(m_work, outcome.paths, m_dpiX, m_dpiY);
        Q_EMIT framesKept(outcome.fetched, outcome.failures + skipped);
    } else {
        Q_EMIT framesKept(0, outcome.failures);
    }
    const bool unchanged = m_searchedOnce && m_work.generation() == m_searchedGeneration;
    if (!isOn() || unchanged || m_work.pictures().GetCount() < 4)
        return;
    const SearchSnapshot snapshot = m_work.searchSnapshot();
    m_searchGeneration = snapshot.generation;
    m_search.setFuture(startSearch(snapshot));
}

void FrameWatch::searchEnded()
{
    std::optional<std::vector<Candidate>> found = searchResult(m_search.future());
    if (!found || !isOn() || !m_work.takeFound(m_searchGeneration, std::move(*found)))
        return;
    m_searchedOnce = true;
    m_searchedGeneration = m_searchGeneration;
    Q_EMIT searched(int(m_work.candidates().size()));
}
