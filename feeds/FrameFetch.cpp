#include "feeds/FrameFetch.h"

#include "feeds/ArchiveIndex.h"
#include "pictures/LoadFailure.h"
#include "pictures/LoadPictureFile.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

constexpr int listFreshSeconds = 15 * 60;
constexpr int longestRangeDays = 31;

// The list of a day folder as last read, kept beside its frames.
QString listCachePath(const FetchRequest& request, QDate day)
{
    const QString name = hasDayFolders(request.feed)
                             ? QStringLiteral(".skyrake-%1-%2-%3.lst")
                                   .arg(QLatin1String(request.feed.key))
                                   .arg(request.size)
                                   .arg(day.toString(QStringLiteral("yyyyMMdd")))
                             : QStringLiteral(".skyrake-%1.lst").arg(QLatin1String(request.feed.key));
    return QDir(frameFolder(request, day)).filePath(name);
}

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// Keeps a frame's body at `path` when it is a whole picture; empty then, otherwise the reason.
// Runs on the thread pool: it reads nothing but its arguments.
QString keepFrame(const QString& path, const QByteArray& body)
{
    LoadFailure why = LoadFailure::NotAPicture;
    if (!decodePicture(body, 96, 96, &why))
        return QLatin1String(loadFailureText(why));
    if (!writeWhole(path, body))
        return QStringLiteral("cannot be written to %1").arg(path);
    return {};
}

} // namespace

QString defaultFrameLibrary()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation))
        .filePath(QStringLiteral("SkyRake"));
}

QString frameFolder(const FetchRequest& request, QDate day)
{
    if (!request.into.isEmpty())
        return request.into;
    const QString library = request.library.isEmpty() ? defaultFrameLibrary() : request.library;
    QString folder = QDir(library).filePath(QLatin1String(request.feed.key));
    if (hasDayFolders(request.feed))
        folder = QDir(folder).filePath(day.toString(QStringLiteral("yyyyMMdd")));
    return folder;
}

FrameFetch::FrameFetch(FetchRequest request, DownloadRules rules, QObject* parent)
    : QObject(parent), m_request(std::move(request)), m_downloader(std::move(rules))
{
    if (!m_request.upTo.isValid())
        m_request.upTo = QDateTime::currentDateTimeUtc();
    m_request.upTo = m_request.upTo.toUTC();
    if (m_request.base.isEmpty())
        m_request.base = QUrl(QString::fromLatin1(m_request.feed.defaultUrl));
    connect(&m_downloader, &Downloader::received, this, [this](qint64 bytes) {
        m_bytes += bytes;
        Q_EMIT progress(m_framesDone, int(m_wanted.size()), m_bytes);
    });
}

void FrameFetch::start()
{
    const QDate last = m_request.upTo.date();
    QDate first = last.addDays(-2); // the latest frames: at most three day folders back
    if (m_request.from)
        first = std::max(m_request.from->toUTC().date(), last.addDays(-longestRangeDays));
    if (!hasDayFolders(m_request.feed))
        first = last;
    for (QDate day = last; day >= first; day = day.addDays(-1))
        m_days.push_back(day);
    indexDay(0);
}

void FrameFetch::cancel()
{
    if (m_finished)
        return;
    m_downloader.cancel();
    m_outcome.failures << QStringLiteral("cancelled");
    m_finished = true;
    Q_EMIT done();
}

void FrameFetch::indexDay(int dayIndex)
{
    if (m_finished)
        return;
    // The latest frames: no further back than needed.
    const bool enough = !m_request.from &&
                        int(latestFrames(m_known, m_request.upTo, m_request.last).size()) >= m_request.last;
    if (dayIndex >= int(m_days.size()) || enough) {
        fetchFrames();
        return;
    }
    const QDate day = m_days[size_t(dayIndex)];
    const QString cache = listCachePath(m_request, day);
    const QFileInfo cached(cache);
    if (!m_request.refresh && cached.exists() &&
        cached.lastModified().secsTo(QDateTime::currentDateTimeUtc()) < listFreshSeconds) {
        QFile file(cache);
        if (file.open(QIODevice::ReadOnly)) {
            takeNames(dayIndex, namesInListFile(file.readAll()));
            return;
        }
    }
    const QUrl folder = dayFolder(m_request.feed, m_request.base, day);
    const auto readListing = [this, dayIndex, folder] {
        m_downloader.get(folder, [this, dayIndex, folder](const Download& listing) {
            if (!listing.ok()) {
                // A day folder not there (not yet published, or a day without frames) matters
                // only when no frame of the request is found elsewhere.
                (listing.status == 404 ? m_absentFolders : m_outcome.failures)
                    << QStringLiteral("%1: %2").arg(folder.toString(), listing.failure);
                indexDay(dayIndex + 1);
                return;
            }
            takeNames(dayIndex, namesInListing(listing.body));
        });
    };
    const QString listName = listFileName(m_request.feed, m_request.size);
    if (listName.isEmpty()) {
        readListing();
        return;
    }
    const QUrl list = folder.resolved(QUrl(listName));
    m_downloader.get(list, [this, dayIndex, list, readListing](const Download& answer) {
        if (answer.ok())
            takeNames(dayIndex, namesInListFile(answer.body));
        else if (answer.status == 404) // a folder without its list: its listing
            readListing();
        else {
            m_outcome.failures << QStringLiteral("%1: %2").arg(list.toString(), answer.failure);
            indexDay(dayIndex + 1);
        }
    });
}

void FrameFetch::takeNames(int dayIndex, const QStringList& names)
{
    const QDate day = m_days[size_t(dayIndex)];
    const std::vector<ArchiveFrame> frames =
        framesOf(m_request.feed, m_request.size, names, dayFolder(m_request.feed, m_request.base, day));
    QStringList kept;
    for (const ArchiveFrame& frame : frames)
        kept << frame.name;
    writeWhole(listCachePath(m_request, day), kept.join(QLatin1Char('\n')).toUtf8() + '\n');
    m_known.insert(m_known.end(), frames.begin(), frames.end());
    indexDay(dayIndex + 1);
}

void FrameFetch::fetchFrames()
{
    m_wanted = m_request.from ? framesBetween(m_known, *m_request.from, m_request.upTo)
                              : latestFrames(m_known, m_request.upTo, m_request.last);
    m_fetching = true;
    Q_EMIT progress(0, int(m_wanted.size()), m_bytes);
    for (const ArchiveFrame& frame : m_wanted) {
        const QString path = QDir(frameFolder(m_request, frame.time.date())).filePath(frame.name);
        if (QFileInfo::exists(path)) {
            ++m_framesDone; // never asked again
            continue;
        }
        m_downloader.get(frame.url,
                         [this, frame](const Download& download) { frameArrived(frame, download); });
    }
    finishIfDone();
}

void FrameFetch::frameArrived(const ArchiveFrame& frame, const Download& download)
{
    if (!download.ok()) {
        frameKept(frame, download.failure);
        return;
    }
    // Checked and written on the thread pool, while the other frames still download.
    const QString path = QDir(frameFolder(m_request, frame.time.date())).filePath(frame.name);
    auto* check = new QFutureWatcher<QString>(this);
    connect(check, &QFutureWatcherBase::finished, this, [this, check, frame] {
        check->deleteLater();
        if (!m_finished)
            frameKept(frame, check->result());
    });
    check->setFuture(QtConcurrent::run(keepFrame, path, download.body));
}

void FrameFetch::frameKept(const ArchiveFrame& frame, const QString& failure)
{
    ++m_framesDone;
    if (failure.isEmpty())
        ++m_outcome.fetched;
    else
        m_outcome.failures << QStringLiteral("%1: %2").arg(frame.name, failure);
    Q_EMIT progress(m_framesDone, int(m_wanted.size()), m_bytes);
    finishIfDone();
}

void FrameFetch::finishIfDone()
{
    if (m_finished || !m_fetching || m_framesDone < int(m_wanted.size()))
        return;
    m_finished = true;
    for (const ArchiveFrame& frame : m_wanted) {
        const QString path = QDir(frameFolder(m_request, frame.time.date())).filePath(frame.name);
        if (QFileInfo::exists(path))
            m_outcome.paths << path;
    }
    if (m_outcome.paths.isEmpty())
        m_outcome.failures << m_absentFolders;
    Q_EMIT done();
}

FetchOutcome fetchFrames(const FetchRequest& request, DownloadRules rules)
{
    FrameFetch fetch(request, std::move(rules));
    QEventLoop loop;
    bool finished = false; // it may end within start(), all its frames already there
    QObject::connect(&fetch, &FrameFetch::done, &loop, [&] {
        finished = true;
        loop.quit();
    });
    fetch.start();
    if (!finished)
        loop.exec();
    return fetch.outcome();
}
