#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>

#include <deque>
#include <functional>
#include <map>

// One answer: the whole body, or why there is none.
struct Download
{
    QUrl url;
    int status = 0;  // the final HTTP status; 0 without an answer
    QByteArray body; // whole, or empty on failure
    QString failure; // empty on success: "404 Not Found", "timed out", "cut off", "larger than ...", ...
    bool ok() const { return failure.isEmpty(); }
};

struct DownloadRules
{
    QByteArray userAgent = "SkyRake/" SKYRAKE_VERSION " (comet hunting; frames for the Sungrazer project)";
    int perHost = 4;           // connections to one host at most
    int stallMs = 30000;       // this long without data is a timeout
    int retries = 2;           // after a 5xx answer, a timeout or a network error
    int firstBackOffMs = 1000; // doubled for each retry
    // A body longer than this, announced or as it streams, is refused and not asked for again, so
    // that a broken or hostile server cannot fill memory: 128 MB, as large as a picture file may be.
    qint64 maxBytes = 128ll * 1024 * 1024;
};

// Fetches URLs through Qt Network, politely: a few at a time per host, redirects followed,
// answers of 5xx and network errors asked again after a pause. Each result reaches its callback
// once, on the thread that asked.
class Downloader : public QObject
{
    Q_OBJECT
public:
    explicit Downloader(DownloadRules rules = {}, QObject* parent = nullptr);

    void get(const QUrl& url, std::function<void(const Download&)> done);
    // The first `bytes` of the body alone, through an HTTP Range request; a server that ignores
    // the range gives the whole body, which is taken as it comes.
    void getHead(const QUrl& url, qint64 bytes, std::function<void(const Download&)> done);
    // Stops everything queued and running; their callbacks are not called.
    void cancel();
    bool busy() const { return m_running > 0 || m_pausing > 0 || !m_waiting.empty(); }

Q_SIGNALS:
    void received(qint64 bytes); // more bytes of any download arrived
    void finished();             // nothing queued or running any more

private:
    struct Job
    {
        QUrl url;
        std::function<void(const Download&)> done;
        int attempt = 0;
        qint64 headBytes = 0; // a Range request for this many bytes; 0: the whole body
    };
    void startWaiting();
    void start(Job job);
    void settle(Job job, Download result, bool retry);

    DownloadRules m_rules;
    QNetworkAccessManager m_network;
    std::deque<Job> m_waiting;
    std::map<QString, int> m_perHost; // running downloads by host
    int m_running = 0;
    int m_pausing = 0; // retries waiting for their pause to end
    quint64 m_generation = 0;
};
