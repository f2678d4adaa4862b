#include "feeds/FrameFetch.h"

#include "feeds/ArchiveIndex.h"
#include "pictures/FitsFile.h"
#include "pictures/FrameInfo.h"
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
#include <map>
#include <memory>

namespace {

constexpr int listFreshSeconds = 15 * 60;
constexpr int longestRangeDays = 31;
// The first blocks of a FITS frame, where its header keeps the time: a Range request's length.
constexpr qint64 headBytes = 4 * 2880;
// Pages of one S3 listing at most: a bucket that always says there is more must not hold a run.
constexpr int maxListingPages = 100;

// The times read from frames' headers, kept beside a day's frames: a frame's time never changes.
QString headerTimesPath(const FetchRequest& request, QDate day)
{
    return QDir(frameFolder(request, day))
        .filePath(QStringLiteral(".skyrake-%1-times.tsv").arg(QLatin1String(request.feed.key)));
}

std::map<QString, QDateTime> headerTimesRead(const QString& path)
{
    std::map<QString, QDateTime> times;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QList<QByteArray> fields = line.trimmed().split('\t');
            const QDateTime time =
                QDateTime::fromString(QString::fromLatin1(fields.value(1)), Qt::ISODateWithMs);
            if (fields.size() == 2 && time.isValid())
                times[QString::fromUtf8(fields[0])] = time.toUTC();
        }
    }
    return times;
}

// A frame's time from the first bytes of its file; invalid without one.
QDateTime headerTime(const QByteArray& head)
{
    const QHash<QString, QString> keywords = fitsHeadKeywords(head);
    return frameInfoFromHeader([&keywords](const char* key) { return keywords.value(QLatin1String(key)); })
        .time;
}

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
    if (path.isEmpty())
        return false;
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
    if (m_request.feed.listing == Listing::S3) {
        readS3Page(dayIndex, QString(), {}, 0);
        return;
    }
    const auto readListing = [this, dayIndex, folder] {
        m_downloader.get(folder, [this, dayIndex, folder](const Download& listing) {
            if (!listing.ok()) {
                dayUnread(dayIndex, folder, listing);
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

void FrameFetch::dayUnread(int dayIndex, const QUrl& what, const Download& answer)
{
    // A day folder not there (not yet published, or a day without frames) matters only when no
    // frame of the request is found elsewhere.
    (answer.status == 404 ? m_absentFolders : m_outcome.failures)
        << QStringLiteral("%1: %2").arg(what.toString(), answer.failure);
    indexDay(dayIndex + 1);
}

void FrameFetch::readS3Page(int dayIndex, const QString& token, QStringList names, int pages)
{
    const QString prefix = s3Prefix(m_request.feed, m_days[size_t(dayIndex)]);
    const QUrl page = s3ListingPage(m_request.base, prefix, token);
    m_downloader.get(page, [this, dayIndex, prefix, page, names, pages](const Download& answer) mutable {
        if (m_finished)
            return;
        if (!answer.ok()) {
            dayUnread(dayIndex, page, answer);
            return;
        }
        const S3Page listed = namesInS3Listing(answer.body, prefix);
        if (!listed.ok) {
            m_outcome.failures << QStringLiteral("%1: not an S3 listing").arg(page.toString());
            indexDay(dayIndex + 1);
            return;
        }
        names += listed.names;
        // Page after page while the bucket says there are more; a truncated page without a
        // token, or too many pages, ends the listing with what came.
        if (listed.truncated && !listed.nextToken.isEmpty() && pages + 1 < maxListingPages) {
            readS3Page(dayIndex, listed.nextToken, names, pages + 1);
            return;
        }
        if (listed.truncated)
            m_outcome.failures
                << QStringLiteral("%1: the listing ends before its last page").arg(page.toString());
        takeNames(dayIndex, names);
    });
}

void FrameFetch::takeNames(int dayIndex, const QStringList& names)
{
    const QDate day = m_days[size_t(dayIndex)];
    std::vector<ArchiveFrame> frames =
        framesOf(m_request.feed, m_request.size, names, dayFolder(m_request.feed, m_request.base, day));
    QStringList kept;
    for (const ArchiveFrame& frame : frames)
        kept << frame.name;
    writeWhole(listCachePath(m_request, day), kept.join(QLatin1Char('\n')).toUtf8() + '\n');
    if (timeFromHeader(m_request.feed)) {
        readHeaderTimes(dayIndex, std::move(frames));
        return;
    }
    m_known.insert(m_known.end(), frames.begin(), frames.end());
    indexDay(dayIndex + 1);
}

void FrameFetch::readHeaderTimes(int dayIndex, std::vector<ArchiveFrame> frames)
{
    // Each frame's time from its header: as read before, from the frame on disk, or from the
    // archive with a Range request for the header's first blocks alone.
    const QDate day = m_days[size_t(dayIndex)];
    const QString timesPath = headerTimesPath(m_request, day);
    const std::map<QString, QDateTime> known = headerTimesRead(timesPath);
    auto pending = std::make_shared<int>(0);
    auto found = std::make_shared<std::vector<ArchiveFrame>>();
    const auto dayDone = [this, dayIndex, timesPath, found] {
        QByteArray lines;
        for (const ArchiveFrame& frame : *found)
            lines += frame.name.toUtf8() + '\t' + frame.time.toString(Qt::ISODateWithMs).toLatin1() + '\n';
        writeWhole(timesPath, lines);
        m_known.insert(m_known.end(), found->begin(), found->end());
        indexDay(dayIndex + 1);
    };
    for (ArchiveFrame& frame : frames) {
        if (const auto it = known.find(frame.name); it != known.end()) {
            frame.time = it->second;
            found->push_back(frame);
            continue;
        }
        QFile onDisk(QDir(frameFolder(m_request, day)).filePath(frame.name));
        if (onDisk.open(QIODevice::ReadOnly)) {
            frame.time = headerTime(onDisk.read(headBytes));
            if (frame.time.isValid()) {
                found->push_back(frame);
                continue;
            }
        }
        ++*pending;
        m_downloader.getHead(
            frame.url, headBytes, [this, frame, pending, found, dayDone](const Download& head) mutable {
                if (m_finished)
                    return;
                if (!head.ok())
                    m_outcome.failures << QStringLiteral("%1: %2").arg(frame.name, head.failure);
                else if ((frame.time = headerTime(head.body)).isValid())
                    found->push_back(frame);
                else
                    m_outcome.failures << QStringLiteral("%1: no time in its header").arg(frame.name);
                if (--*pending == 0)
                    dayDone();
            });
    }
    if (*pending == 0)
        dayDone();
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
    if (failure.isEmpty()) {
        ++m_outcome.fetched;
        if (!frame.version.isEmpty())
            removeOtherVersions(frame);
    } else {
        m_outcome.failures << QStringLiteral("%1: %2").arg(frame.name, failure);
    }
    Q_EMIT progress(m_framesDone, int(m_wanted.size()), m_bytes);
    finishIfDone();
}

void FrameFetch::removeOtherVersions(const ArchiveFrame& frame)
{
    // The archive replaces a frame by its new version: the library gives up the older ones too.
    const QDir folder(frameFolder(m_request, frame.time.date()));
    for (const QString& name : folder.entryList(QDir::Files)) {
        const std::optional<ArchiveFrame> other = archiveFrame(m_request.feed, m_request.size, name, QUrl());
        if (other && other->time == frame.time && versionBefore(other->version, frame.version))
            QFile::remove(folder.filePath(name));
    }
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
