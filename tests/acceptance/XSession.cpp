#include "XSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

namespace {

// Children die with the driver, even when it is killed outright (a test timeout).
void dieWithParent(QProcess& process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

} // namespace

void stopProcess(QProcess& process, int graceMs)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(graceMs)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

XSession::XSession()
{
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    // Keep the program's settings away from the user's own.
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_runtime.filePath(QStringLiteral("config")));
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
    m_environment.remove(QStringLiteral("QT_SCREEN_SCALE_FACTORS"));
    m_environment.insert(QStringLiteral("QT_AUTO_SCREEN_SCALE_FACTOR"), QStringLiteral("0"));
}

XSession::~XSession()
{
    if (m_program)
        stopProcess(*m_program, 3000);
    if (m_server)
        stopProcess(*m_server, 3000);
}

bool XSession::start(const QString& screen)
{
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_server = std::make_unique<QProcess>();
    dieWithParent(*m_server);
    m_server->setProcessChannelMode(QProcess::SeparateChannels);
    // -displayfd: the server takes the first free display and writes its number to standard output.
    m_server->start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                     QStringLiteral("0"), screen, QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                     QStringLiteral("-noreset")});
    if (!m_server->waitForStarted(10000)) {
        m_error = QStringLiteral("Xvfb does not start: %1").arg(m_server->errorString());
        return false;
    }
    QByteArray number;
    QElapsedTimer clock;
    clock.start();
    while (!number.contains('\n') && clock.elapsed() < 20000 && m_server->state() == QProcess::Running) {
        m_server->waitForReadyRead(500);
        number += m_server->readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        m_error = QStringLiteral("Xvfb gave no display number: %1")
                      .arg(QString::fromLocal8Bit(m_server->readAllStandardError()));
        return false;
    }
    m_display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    m_environment.insert(QStringLiteral("DISPLAY"), m_display);
    // The server answers once a client can connect.
    while (clock.elapsed() < 20000) {
        if (run(QStringLiteral("xdotool"), {QStringLiteral("getmouselocation")}, 3000).ok())
            return true;
        QThread::msleep(100);
    }
    m_error = QStringLiteral("display %1 does not answer").arg(m_display);
    return false;
}

ToolResult XSession::run(const QString& program, const QStringList& arguments, int timeoutMs) const
{
    QProcess process;
    dieWithParent(process);
    process.setProcessEnvironment(m_environment);
    process.start(program, arguments);
    ToolResult result;
    if (!process.waitForStarted(5000)) {
        result.err = process.errorString().toLocal8Bit();
        return result;
    }
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished)
        stopProcess(process, 500);
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

ToolResult XSession::xdotool(const QStringList& arguments, int timeoutMs) const
{
    return run(QStringLiteral("xdotool"), arguments, timeoutMs);
}

std::optional<QString> XSession::waitForWindowOf(qint64 pid, const QString& except, int timeoutMs) const
{
    QElapsedTimer clock;
    clock.start();
    do {
        const ToolResult found = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                          QStringLiteral("--pid"), QString::number(pid)},
                                         3000);
        for (const QByteArray& window : found.out.trimmed().split('\n')) {
            if (!window.isEmpty() && QString::fromLatin1(window) != except)
                return QString::fromLatin1(window);
        }
        QThread::msleep(150);
    } while (clock.elapsed() < timeoutMs);
    return std::nullopt;
}

QRect XSession::geometry(const QString& window) const
{
    // --shell prints X=, Y=, WIDTH=, HEIGHT= lines.
    const ToolResult shown =
        xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window}, 3000);
    int values[4] = {0, 0, 0, 0};
    const char* names[4] = {"X=", "Y=", "WIDTH=", "HEIGHT="};
    for (const QByteArray& line : shown.out.split('\n')) {
        for (int i = 0; i < 4; ++i) {
            if (line.startsWith(names[i]))
                values[i] = line.mid(int(qstrlen(names[i]))).toInt();
        }
    }
    return QRect(values[0], values[1], values[2], values[3]);
}

QString XSession::title(const QString& window) const
{
    return QString::fromUtf8(xdotool({QStringLiteral("getwindowname"), window}, 3000).out.trimmed());
}

void XSession::focus(const QString& window) const
{
    // Without a window manager nobody else gives a window the keyboard.
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}, 3000);
    QThread::msleep(150);
}

void XSession::key(const QString& keys) const
{
    xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} +
                keys.split(QLatin1Char(' '), Qt::SkipEmptyParts),
            5000);
}

void XSession::moveMouse(int x, int y) const
{
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(x), QString::number(y)},
            3000);
}

void XSession::click(int x, int y, int count) const
{
    moveMouse(x, y);
    QThread::msleep(100);
    xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(count),
             QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")},
            5000);
}

QImage XSession::screenshot(const QString& path) const
{
    const ToolResult taken =
        run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path}, 20000);
    if (!taken.ok())
        return {};
    QImage image(path);
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

QString XSession::clipboard() const
{
    const ToolResult pasted =
        run(QStringLiteral("xclip"),
            {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")}, 5000);
    return pasted.ok() ? QString::fromUtf8(pasted.out) : QString();
}

QProcess* XSession::launch(const QString& program, const QStringList& arguments, const QString& logPath)
{
    m_program = std::make_unique<QProcess>();
    dieWithParent(*m_program);
    m_program->setProcessEnvironment(m_environment);
    m_program->setProcessChannelMode(QProcess::MergedChannels);
    m_program->setStandardOutputFile(logPath);
    m_program->start(program, arguments);
    return m_program->waitForStarted(10000) ? m_program.get() : nullptr;
}
