#pragma once

#include "model/FrameWatch.h"

#include <QObject>

class CMainFrame;
class CommandMap;

// The window's commands for the archives: File > 获取图片 fetches the frames the observer asks
// for and opens the latest of them as the sequence; File > 监视新图片 keeps the latest frames of
// the feed last fetched as the sequence, searches each new set and, when a round finds
// candidates, says so in the title and in a desktop notification.
class FeedCommands : public QObject
{
    Q_OBJECT
public:
    FeedCommands(CMainFrame& frame, CommandMap& commands);

    FrameWatch& watch() { return m_watch; }
    void OnFetchFrames();
    void OnWatchFrames();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void roundStarted();
    void framesKept(int fetched, const QStringList& failures);
    void searched(int candidates);
    // What the title adds to the window's own while watching; "" otherwise.
    void setTitleNote(const QString& note);
    void showMessage(const QString& text) const;

    CMainFrame& m_frame;
    FrameWatch m_watch;
    QString m_titleNote;
};
