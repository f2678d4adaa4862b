#pragma once

#include <QObject>
#include <QTimer>

// Blink playback's clock: timer 1 ticks at the interval; at the wrap the last frame stays on for
// a pause (a one-shot timer, so the window keeps painting and taking input), then the sequence
// starts again. It only keeps time: what a tick or the end of the pause shows is the owner's.
class Playback : public QObject
{
    Q_OBJECT
public:
    static constexpr int wrapPauseMs = 500;

    explicit Playback(QObject* parent = nullptr);

    bool isPlaying() const { return m_playing; }
    bool isPausing() const { return m_pauseTimer.isActive(); }
    int interval() const { return m_interval; }
    void setInterval(int milliseconds) { m_interval = milliseconds; }
    // The one playback timer (timer 1) and the pause at the wrap.
    const QTimer& timer() const { return m_timer; }
    const QTimer& pauseTimer() const { return m_pauseTimer; }

    // Starts ticking; re-arms the timer when playback already runs, a pending pause included.
    void start();
    void stop();
    // The wrap: ticks stop for the pause, then `pauseEnded` follows (the owner ends the pause).
    void pauseAtWrap();
    // Ends the pause now: ticks resume at the full interval.
    void endPause();
    // Holds the ticks while the interval is being chosen; `resume` starts them again after a full
    // interval. Nothing while stopped.
    void hold();
    void resume();

Q_SIGNALS:
    void ticked();
    void pauseEnded();

private:
    bool m_playing = false;
    int m_interval = 300; // milliseconds
    QTimer m_timer;
    QTimer m_pauseTimer;
};
