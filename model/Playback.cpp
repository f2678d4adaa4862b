#include "model/Playback.h"

Playback::Playback(QObject* parent) : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Playback::ticked);
    m_pauseTimer.setSingleShot(true);
    m_pauseTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pauseTimer, &QTimer::timeout, this, &Playback::pauseEnded);
}

void Playback::start()
{
    m_pauseTimer.stop();
    m_timer.start(m_interval);
    m_playing = true;
}

void Playback::stop()
{
    m_pauseTimer.stop();
    m_timer.stop();
    m_playing = false;
}

void Playback::pauseAtWrap()
{
    m_timer.stop();
    m_pauseTimer.start(wrapPauseMs);
}

void Playback::endPause()
{
    // The next interval counts from the end of the pause.
    m_pauseTimer.stop();
    m_timer.start(m_interval);
}

void Playback::hold()
{
    if (!m_playing)
        return;
    m_timer.stop();
    m_pauseTimer.stop();
}

void Playback::resume()
{
    if (m_playing)
        m_timer.start(m_interval);
}
