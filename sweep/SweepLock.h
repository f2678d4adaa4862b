#pragma once

#include <QByteArray>
#include <QString>

// One writer a database: a lock on the file "DATABASE.lock" beside it, held while a sweep or a
// merge writes. It is an open file description lock (fcntl F_OFD_SETLK), which the kernel lets go
// of when the process ends, however it ends, so a killed sweep leaves nothing to clean up; it
// works over NFS, where a cluster's tasks and merges write; and unlike a plain POSIX lock it also
// keeps two sweeps of one process apart. The holder writes its process and host into the file so
// that a refused sweep can say who has the database, and removes the file when it is done.
class SweepLock
{
public:
    explicit SweepLock(const QString& database);
    ~SweepLock();
    SweepLock(const SweepLock&) = delete;
    SweepLock& operator=(const SweepLock&) = delete;

    // Empty while held; otherwise why not: another sweep has the database, or the lock file
    // could not be made.
    const QString& error() const { return m_error; }

private:
    QByteArray m_path; // of the lock file
    int m_fd = -1;
    QString m_error;
};
