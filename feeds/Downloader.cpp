#include "feeds/Downloader.h"

#include <QNetworkReply>
#include <QTimer>

#include <algorithm>

Downloader::Downloader(DownloadRules rules, QObject* parent) : QObject(parent), m_rules(std::move(rules))
{
    m_network.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

void Downloader::get(const QUrl& url, std::function<void(const Download&)> done)
{
    m_waiting.push_back({url, std::move(done), 0, 0});
    startWaiting();
}

void Downloader::getHead(const QUrl& url, qint64 bytes, std::function<void(const Download&)> done)
{
    m_waiting.push_back({url, std::move(done), 0, std::max<qint64>(1, bytes)});
    startWaiting();
}

void Downloader::cancel()
{
    ++m_generation; // replies and pauses still under way find themselves out of date
    m_waiting.clear();
    for (QNetworkReply* reply : m_network.findChildren<QNetworkReply*>())
        reply->abort();
}

void Downloader::startWaiting()
{
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (m_perHost[it->url.host()] >= m_rules.perHost) {
            ++it;
            continue;
        }
        Job job = std::move(*it);
        it = m_waiting.erase(it);
        start(std::move(job));
    }
}

void Downloader::start(Job job)
{
    QNetworkRequest request(job.url);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_rules.userAgent);
    request.setTransferTimeout(m_rules.stallMs); // restarted by every byte that arrives
    if (job.headBytes > 0)
        request.setRawHeader("Range", "bytes=0-" + QByteArray::number(job.headBytes - 1));
    QNetworkReply* reply = m_network.get(request);
    ++m_running;
    ++m_perHost[job.url.host()];
    // Too long a body ends the download: announced (Content-Length), or once that many bytes came.
    const auto refuseIfTooLong = [this, reply](qint64 bytes) {
        if (bytes <= m_rules.maxBytes || reply->property("skyrakeTooLong").toBool())
            return;
        reply->setProperty("skyrakeTooLong", true);
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, refuseIfTooLong] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            refuseIfTooLong(length.toLongLong());
    });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, reply, refuseIfTooLong](qint64 received, qint64) {
                refuseIfTooLong(received);
                const qint64 last = reply->property("skyrakeBytes").toLongLong();
                reply->setProperty("skyrakeBytes", received);
                if (received > last)
                    Q_EMIT this->received(received - last);
            });
    const quint64 generation = m_generation;
    connect(reply, &QNetworkReply::finished, this, [this, reply, job = std::move(job), generation]() mutable {
        reply->deleteLater();
        --m_running;
        --m_perHost[job.url.host()];
        if (generation != m_generation) {
            startWaiting();
            if (!busy())
                Q_EMIT finished();
            return;
        }
        Download result;
        result.url = job.url;
        result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QNetworkReply::NetworkError error = reply->error();
        bool retry = false;
        if (reply->property("skyrakeTooLong").toBool()) {
            result.failure = QStringLiteral("larger than %1 bytes").arg(m_rules.maxBytes);
        } else if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
            result.failure = QStringLiteral("timed out");
            retry = true;
        } else if (result.status >= 400) {
            result.failure =
                QStringLiteral("%1 %2")
                    .arg(result.status)
                    .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
            retry = result.status >= 500;
        } else if (error != QNetworkReply::NoError) {
            // A body that ends before the length its answer announced is cut off.
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            const bool cutOff = error == QNetworkReply::RemoteHostClosedError && length.isValid() &&
                                reply->property("skyrakeBytes").toLongLong() < length.toLongLong();
            result.failure = cutOff ? QStringLiteral("cut off") : reply->errorString();
            retry = true;
        } else {
            result.body = reply->readAll();
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (length.isValid() && length.toLongLong() != result.body.size()) {
                result.failure = QStringLiteral("cut off");
                result.body.clear();
                retry = true;
            }
        }
        settle(std::move(job), std::move(result), retry);
    });
}

void Downloader::settle(Job job, Download result, bool retry)
{
    if (retry && job.attempt < m_rules.retries) {
        const int pause = m_rules.firstBackOffMs << job.attempt;
        ++job.attempt;
        ++m_pausing;
        QTimer::singleShot(pause, this, [this, job = std::move(job), generation = m_generation]() mutable {
            --m_pausing;
            if (generation != m_generation)
                return;
            m_waiting.push_back(std::move(job));
            startWaiting();
        });
    } else {
        job.done(result);
    }
    startWaiting();
    if (!busy())
        Q_EMIT finished();
}
