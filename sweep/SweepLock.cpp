#include "sweep/SweepLock.h"

#include <QDateTime>
#include <QFile>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

SweepLock::SweepLock(const QString& database) : m_path(QFile::encodeName(database + QStringLiteral(".lock")))
{
    // The holder removes the file as it lets go, so a sweep may lock a file that has just been
    // removed: it then tries again on the file now at that name.
    for (int attempt = 0; attempt < 10; ++attempt) {
        m_fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (m_fd < 0) {
            m_error = QStringLiteral("cannot make the lock file %1: %2")
                          .arg(QFile::decodeName(m_path), systemError(errno));
            return;
        }
        struct flock whole = {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET; // from 0 to the end, whatever the length
        if (::fcntl(m_fd, F_OFD_SETLK, &whole) != 0) {
            const int why = errno;
            char holder[256] = {};
            const ssize_t read = ::pread(m_fd, holder, sizeof holder - 1, 0);
            ::close(m_fd);
            m_fd = -1;
            if (why != EAGAIN && why != EACCES) {
                m_error =
                    QStringLiteral("cannot lock %1: %2").arg(QFile::decodeName(m_path), systemError(why));
                return;
            }
            m_error =
                QStringLiteral("another sweep is writing this database (%1); one sweep writes a "
                               "database at a time: wait for it to end, or give another --db")
                    .arg(read > 0 ? QString::fromUtf8(holder).trimmed() : QStringLiteral("holder unknown"));
            return;
        }
        struct stat held = {}, named = {};
        if (::fstat(m_fd, &held) == 0 && ::stat(m_path.constData(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino)
            break;
        ::close(m_fd);
        m_fd = -1;
    }
    if (m_fd < 0) {
        m_error = QStringLiteral("cannot lock %1: it keeps being removed").arg(QFile::decodeName(m_path));
        return;
    }
    // Who holds it, for a refused sweep's message: a holder that cannot write it (a full disk)
    // holds the lock all the same, and its store says what is wrong soon enough.
    const QByteArray holder =
        QStringLiteral("process %1 on %2, since %3 UTC\n")
            .arg(::getpid())
            .arg(QSysInfo::machineHostName(),
                 QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
            .toUtf8();
    const bool told =
        ::ftruncate(m_fd, 0) == 0 && ::pwrite(m_fd, holder.constData(), size_t(holder.size()), 0) > 0;
    Q_UNUSED(told);
}

SweepLock::~SweepLock()
{
    if (m_fd < 0)
        return;
    // Removed while still held, so that no one takes a lock on it that the next holder's file
    // would not see; a killed sweep leaves the file, unlocked, for the next to take.
    ::unlink(m_path.constData());
    ::close(m_fd);
}
