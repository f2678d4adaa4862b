#include "sweep/SweepPlan.h"

#include "pictures/FitsFile.h"
#include "pictures/Gzip.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>
#include <tuple>

namespace {

// The side the archive's name gives ("_1024", "_512", "_1024by960"), or 0.
int sizeFromName(const QString& name)
{
    static const QRegularExpression size(QStringLiteral("_(\\d{3,4})(?:by\\d{3,4})?\\.[A-Za-z]+$"));
    const QRegularExpressionMatch match = size.match(name);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// A FITS file's primary header, read from its first blocks alone (gunzipped where need be).
QHash<QString, QString> headKeywords(const QString& path)
{
    constexpr qint64 headBytes = 10 * 2880; // a LASCO level-0.5 header takes three or four blocks
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray start = file.read(4 * headBytes); // a compressed header is smaller
    return fitsHeadKeywords(isGzip(start) ? gunzipHead(start, headBytes) : start.left(headBytes));
}

bool isFitsName(const QString& name)
{
    static const QRegularExpression fits(QStringLiteral("\\.(fts|fits|fit)(\\.gz)?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    return fits.match(name).hasMatch();
}

// The frame at `path`, when its name (or, for a FITS frame named by its number as the archives
// serve level-0.5 frames, its header) gives its time and camera, and it is a picture.
std::optional<SweepFrame> sweepFrame(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    FrameInfo info = frameInfoFromName(name);
    int size = 0;
    if ((!info.time.isValid() || info.camera == Camera::Unknown) && isFitsName(name)) {
        const QHash<QString, QString> keywords = headKeywords(path);
        info = frameInfoOf(name, keywords);
        size = keywords.value(QStringLiteral("NAXIS1")).toInt();
    }
    if (!info.time.isValid() || info.camera == Camera::Unknown)
        return std::nullopt;
    if (size == 0)
        size = sizeFromName(name);
    if (size == 0)
        size = QImageReader(path).size().width();
    if (size <= 0)
        return std::nullopt; // no picture the program reads
    return SweepFrame{path, name, info.time, info.camera, size, QFileInfo(path).size()};
}

// The key of the window of `count` frames from `first` (see SweepWindow::key).
QString windowKey(const std::vector<SweepFrame>& frames, int first, int count)
{
    // Names and numbers as the same bytes on every machine of a cluster: UTF-8, little-endian.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const auto number = [&hash](qint64 n) {
        const qint64 stored = qToLittleEndian(n);
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&stored), sizeof stored));
    };
    const SweepFrame& head = frames[size_t(first)];
    hash.addData(cameraName(head.camera).toUtf8());
    number(head.size);
    for (int i = first; i < first + count; ++i) {
        const QByteArray name = frames[size_t(i)].name.toUtf8();
        number(name.size());
        hash.addData(name);
        number(frames[size_t(i)].bytes);
    }
    // 64 bits of it: a chance collision among a million windows is about one in 10^7.
    return QStringLiteral("%1+%2#%3")
        .arg(head.name)
        .arg(count)
        .arg(QString::fromLatin1(hash.result().left(8).toHex()));
}

} // namespace

std::vector<SweepFrame> findSweepFrames(const QStringList& folders)
{
    std::vector<SweepFrame> frames;
    for (const QString& folder : folders) {
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            if (const std::optional<SweepFrame> frame = sweepFrame(it.next()))
                frames.push_back(*frame);
        }
    }
    return frames;
}

SweepPlan planSweep(std::vector<SweepFrame> frames)
{
    SweepPlan plan;
    std::sort(frames.begin(), frames.end(), [](const SweepFrame& a, const SweepFrame& b) {
        return std::tie(a.camera, a.size, a.time, a.name) < std::tie(b.camera, b.size, b.time, b.name);
    });
    // The same frame found twice (two folders, a link) counts once, and so does one time of a
    // camera served under two file numbers (the lowest kept).
    frames.erase(std::unique(frames.begin(), frames.end(),
                             [](const SweepFrame& a, const SweepFrame& b) {
                                 return a.name == b.name || std::tie(a.camera, a.size, a.time) ==
                                                                std::tie(b.camera, b.size, b.time);
                             }),
                 frames.end());
    plan.frames = std::move(frames);
    const auto window = [&](int first, int count) {
        plan.windows.push_back({first, count, windowKey(plan.frames, first, count)});
    };
    for (int start = 0; start < int(plan.frames.size());) {
        int end = start + 1; // one past the run's last frame
        while (end < int(plan.frames.size())) {
            const SweepFrame& a = plan.frames[size_t(end - 1)];
            const SweepFrame& b = plan.frames[size_t(end)];
            if (a.camera != b.camera || a.size != b.size || a.time.secsTo(b.time) > runGapSeconds)
                break;
            ++end;
        }
        const int length = end - start;
        if (length >= windowFrames) {
            int first = start;
            for (; first + windowFrames < end; first += windowStep)
                window(first, windowFrames);
            window(end - windowFrames, windowFrames);
        } else if (length >= 4) {
            window(start, length);
        }
        start = end;
    }
    return plan;
}

QString planText(const SweepPlan& plan)
{
    QString text;
    for (const SweepWindow& window : plan.windows) {
        text += window.key;
        for (int i = window.first; i < window.first + window.count; ++i)
            text += QLatin1Char('\t') + plan.frames[size_t(i)].path;
        text += QLatin1Char('\n');
    }
    return text;
}

namespace {

// The frames of one line of a plan, with the line's key; nothing when the line is no window of
// frames that are there.
std::optional<QString> readPlanLine(const QString& line, std::vector<SweepFrame>* frames)
{
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() < 5)
        return std::nullopt;
    for (const QString& path : fields.mid(1)) {
        const std::optional<SweepFrame> frame = sweepFrame(path);
        if (!frame)
            return std::nullopt;
        frames->push_back(*frame);
    }
    return fields.first();
}

} // namespace

QByteArray planIndex(const QByteArray& text)
{
    std::vector<quint64> numbers{quint64(text.size())};
    for (qsizetype at = 0; at < text.size();) {
        numbers.push_back(quint64(at));
        const qsizetype end = text.indexOf('\n', at);
        if (end < 0)
            break;
        at = end + 1;
    }
    QByteArray index;
    for (const quint64 n : numbers) {
        const quint64 stored = qToLittleEndian(n);
        index.append(reinterpret_cast<const char*>(&stored), sizeof stored);
    }
    return index;
}

namespace {

// Where line `k` of the plan begins, from its index; nothing when there is no index, or one made
// for another text.
std::optional<qint64> indexedLine(const QFile& plan, int k)
{
    QFile file(plan.fileName() + QStringLiteral(".index"));
    quint64 numbers[2] = {};
    if (!file.open(QIODevice::ReadOnly) || file.read(reinterpret_cast<char*>(&numbers[0]), 8) != 8 ||
        qFromLittleEndian(numbers[0]) != quint64(plan.size()) || !file.seek(8 * (qint64(k) + 1)) ||
        file.read(reinterpret_cast<char*>(&numbers[1]), 8) != 8)
        return std::nullopt;
    return qint64(qFromLittleEndian(numbers[1]));
}

} // namespace

std::optional<SweepPlan> planWindowFromFile(const QString& path, int k, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return std::nullopt;
    }
    QByteArray line;
    if (const std::optional<qint64> at = indexedLine(file, k); at && file.seek(*at)) {
        line = file.readLine();
    } else {
        for (int i = 0; i <= k; ++i) {
            line = file.readLine();
            if (line.isEmpty())
                break;
        }
    }
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.isEmpty()) {
        *why = QStringLiteral("the plan has no window %1").arg(k);
        return std::nullopt;
    }
    std::vector<SweepFrame> frames;
    const std::optional<QString> key = readPlanLine(QString::fromUtf8(line), &frames);
    SweepPlan plan = planSweep(std::move(frames));
    if (!key || plan.windows.size() != 1 || plan.windows.front().key != *key) {
        *why = QStringLiteral("window %1's frames are no longer those the plan was made of (missing, "
                              "replaced or not pictures): make the plan again")
                   .arg(k);
        return std::nullopt;
    }
    return plan;
}
