// Fetching real LASCO C3 frames from an archive on the loopback address: SkyRake's fetch (the day
// folder's list, then every frame whole, checked and written through QSaveFile) against curl
// fetching the same files one after another, in the same run. The server runs on a thread of its
// own, so both clients are served alike. The fetch also reports how much the process grew while
// frames streamed to disk. bench/README.md gives the ratios.
#include "../tests/support/LoopbackHttp.h"
#include "feeds/FrameFetch.h"
#include "pictures/LoadPictureFile.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <future>

namespace {

const QDate day(2020, 9, 25);
const QByteArray folder = "/arch/2020/c3/20200925/";

// 40 frames under their archive names, 6 minutes apart: the shared set's 30 real C3 frames, the
// first ten again under later names.
const std::vector<std::pair<QString, QByteArray>>& frames()
{
    static std::vector<std::pair<QString, QByteArray>> served;
    if (served.empty()) {
        const QDir real(QStringLiteral(SKYRAKE_SEQUENCES "/c3_2020-09-25"));
        const QStringList files = real.entryList({QStringLiteral("*_c3_1024.jpg")}, QDir::Files, QDir::Name);
        for (int i = 0; i < 40 && !files.isEmpty(); ++i) {
            QFile file(real.filePath(files[i % files.size()]));
            file.open(QIODevice::ReadOnly);
            const QString name = QStringLiteral("20200925_%1_c3_1024.jpg")
                                     .arg(QTime(0, 0).addSecs(i * 360).toString(QStringLiteral("HHmm")));
            served.emplace_back(name, file.readAll());
        }
    }
    return served;
}

// The archive, served from a thread of its own for the whole run.
class ArchiveThread : public QThread
{
public:
    explicit ArchiveThread(int answerDelayMs) : m_answerDelayMs(answerDelayMs)
    {
        start();
        m_url = m_ready.get_future().get();
    }
    ~ArchiveThread() override
    {
        quit();
        wait();
    }
    QString url(const QByteArray& path) const { return m_url + QString::fromUtf8(path); }

private:
    void run() override
    {
        LoopbackHttp http;
        http.answerDelayMs = m_answerDelayMs;
        QStringList names;
        for (const auto& [name, bytes] : frames()) {
            http.routes[folder + name.toUtf8()] = Route::whole(bytes);
            names << name;
        }
        http.routes[folder + ".full_1024.lst"] = Route::whole(names.join(QLatin1Char('\n')).toUtf8());
        m_ready.set_value(http.url(QString()).toString());
        exec();
    }

    const int m_answerDelayMs;
    std::promise<QString> m_ready;
    QString m_url;
};

// The archive answering at once, or after `answerDelayMs` as a distant server does.
ArchiveThread& archive(int answerDelayMs)
{
    static ArchiveThread near(0);
    static ArchiveThread distant(50);
    return answerDelayMs > 0 ? distant : near;
}

qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    return status.readAll().split(' ').value(1).toLongLong() * 4096;
}

void BM_FetchFrames(benchmark::State& state)
{
    const int count = int(state.range(0));
    if (int(frames().size()) < count) {
        state.SkipWithError("the shared real frames are not there");
        return;
    }
    qint64 growth = 0;
    for (auto _ : state) {
        QTemporaryDir library;
        FetchRequest request;
        request.feed = feedOf(FeedKind::C3);
        request.base = QUrl(archive(int(state.range(1))).url("/arch"));
        request.from = QDateTime(day, QTime(0, 0), Qt::UTC);
        request.upTo = QDateTime(day, QTime(0, 0), Qt::UTC).addSecs((count - 1) * 360);
        request.into = library.path();
        request.refresh = true;
        const qint64 before = residentBytes();
        FrameFetch fetch(request);
        QEventLoop loop;
        QObject::connect(&fetch, &FrameFetch::progress,
                         [&] { growth = std::max(growth, residentBytes() - before); });
        QObject::connect(&fetch, &FrameFetch::done, &loop, &QEventLoop::quit);
        fetch.start();
        loop.exec();
        if (fetch.outcome().fetched != count) {
            state.SkipWithError("not every frame was fetched");
            return;
        }
    }
    state.counters["rss_growth_MB"] = double(growth) / (1 << 20);
}
// Arguments: frames, and how long each answer takes to start (ms).
BENCHMARK(BM_FetchFrames)
    ->Args({10, 0})
    ->Args({40, 0})
    ->Args({40, 50})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_CurlFrames(benchmark::State& state)
{
    const int count = int(state.range(0));
    if (int(frames().size()) < count) {
        state.SkipWithError("the shared real frames are not there");
        return;
    }
    for (auto _ : state) {
        QTemporaryDir into;
        QStringList arguments{QStringLiteral("--silent"), QStringLiteral("--fail")};
        for (int i = 0; i < count; ++i)
            arguments << QStringLiteral("--output") << into.filePath(frames()[size_t(i)].first)
                      << archive(int(state.range(1))).url(folder + frames()[size_t(i)].first.toUtf8());
        QProcess curl;
        curl.start(QStringLiteral("curl"), arguments);
        if (!curl.waitForFinished(120000) || curl.exitCode() != 0) {
            state.SkipWithError("curl failed");
            return;
        }
        // With a third argument of 1, each file is then checked as the fetch checks it, one
        // after another: decoded from memory.
        for (int i = 0; state.range(2) == 1 && i < count; ++i) {
            QFile file(into.filePath(frames()[size_t(i)].first));
            file.open(QIODevice::ReadOnly);
            LoadFailure why = LoadFailure::NotAPicture;
            benchmark::DoNotOptimize(decodePicture(file.readAll(), 96, 96, &why));
        }
    }
}
// Arguments: frames, how long each answer takes to start (ms), and whether each file is checked.
BENCHMARK(BM_CurlFrames)
    ->Args({10, 0, 0})
    ->Args({40, 0, 0})
    ->Args({40, 0, 1})
    ->Args({40, 50, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
