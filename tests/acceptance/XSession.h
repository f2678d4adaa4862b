#pragma once

// A private X server (Xvfb) and the command-line tools that drive it: xdotool for the keyboard,
// the mouse and the windows, ImageMagick's import for screenshots, xclip for the clipboard.
// Every call is bounded in time; the destructor stops what the session started.

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

struct ToolResult
{
    bool finished = false; // ended by itself within the time allowed
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    bool ok() const { return finished && exitCode == 0; }
};

class XSession
{
public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Starts Xvfb on the first free display; false (with `error()`) when it does not come up.
    bool start(const QString& screen);
    QString display() const { return m_display; }
    QString error() const { return m_error; }

    // The environment for programs shown on this server.
    QProcessEnvironment environment() const { return m_environment; }

    ToolResult run(const QString& program, const QStringList& arguments, int timeoutMs = 10000) const;
    ToolResult xdotool(const QStringList& arguments, int timeoutMs = 10000) const;

    // A visible window of process `pid` other than `except`, waiting up to `timeoutMs` for one.
    std::optional<QString> waitForWindowOf(qint64 pid, const QString& except, int timeoutMs) const;
    QRect geometry(const QString& window) const;
    QString title(const QString& window) const;

    void focus(const QString& window) const;
    void key(const QString& keys) const; // key names as xdotool knows them, separated by spaces
    void moveMouse(int x, int y) const;
    void click(int x, int y, int count = 1) const;

    // A screenshot of the whole screen, saved to `path` and returned as Format_RGB32.
    QImage screenshot(const QString& path) const;
    QString clipboard() const;

    // Starts a program on this server; it is stopped when the session ends.
    QProcess* launch(const QString& program, const QStringList& arguments, const QString& logPath);

private:
    QTemporaryDir m_runtime;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_program;
    QProcessEnvironment m_environment;
    QString m_display;
    QString m_error;
};

// Stops a child process: politely first, then for good.
void stopProcess(QProcess& process, int graceMs);
