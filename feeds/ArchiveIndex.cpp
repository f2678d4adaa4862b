#include "feeds/ArchiveIndex.h"

#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>

QStringList namesInListFile(const QByteArray& list)
{
    QStringList names;
    for (const QByteArray& line : list.split('\n')) {
        const QString name = QString::fromUtf8(line).trimmed();
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

QStringList namesInListing(const QByteArray& html)
{
    static const QRegularExpression link(
        QStringLiteral(R"re(href\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList names;
    QSet<QString> seen;
    for (auto it = link.globalMatch(QString::fromUtf8(html)); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QString target = match.captured(1) + match.captured(2) + match.captured(3);
        // Links to the folder's own files only: no scheme, no path, no query.
        if (target.startsWith(QStringLiteral("./")))
            target.remove(0, 2);
        if (target.isEmpty() || target.contains(QLatin1Char('/')) || target.contains(QLatin1Char(':')) ||
            target.contains(QLatin1Char('?')) || target.contains(QLatin1Char('#')))
            continue;
        const QString name = QUrl::fromPercentEncoding(target.toUtf8());
        if (!seen.contains(name)) {
            seen.insert(name);
            names << name;
        }
    }
    return names;
}

S3Page namesInS3Listing(const QByteArray& xml, const QString& prefix)
{
    S3Page page;
    QXmlStreamReader reader(xml);
    QSet<QString> seen;
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("ListBucketResult"))
        return page;
    {
        while (reader.readNextStartElement()) {
            const QStringView element = reader.name();
            if (element == QLatin1String("Contents")) {
                while (reader.readNextStartElement()) {
                    if (reader.name() != QLatin1String("Key")) {
                        reader.skipCurrentElement();
                        continue;
                    }
                    const QString key = reader.readElementText();
                    const QString name = key.mid(prefix.size());
                    if (key.startsWith(prefix) && !name.isEmpty() && !name.contains(QLatin1Char('/')) &&
                        !seen.contains(name)) {
                        seen.insert(name);
                        page.names << name;
                    }
                }
            } else if (element == QLatin1String("IsTruncated")) {
                page.truncated = reader.readElementText().trimmed() == QLatin1String("true");
            } else if (element == QLatin1String("NextContinuationToken")) {
                page.nextToken = reader.readElementText().trimmed();
            } else {
                reader.skipCurrentElement();
            }
        }
    }
    page.ok = !reader.hasError();
    return page;
}

std::vector<ArchiveFrame> framesOf(const Feed& feed, int size, const QStringList& names, const QUrl& folder)
{
    std::vector<ArchiveFrame> frames;
    for (const QString& name : names) {
        if (std::optional<ArchiveFrame> frame = archiveFrame(feed, size, name, folder))
            frames.push_back(std::move(*frame));
    }
    std::sort(frames.begin(), frames.end(), [](const ArchiveFrame& a, const ArchiveFrame& b) {
        if (a.time != b.time)
            return a.time < b.time;
        if (a.version != b.version)
            return versionBefore(a.version, b.version);
        return a.name < b.name;
    });
    // A new version replaces the frame of its time: the last of equal times is the highest.
    const auto sameFrame = [](const ArchiveFrame& a, const ArchiveFrame& b) {
        return a.name == b.name || (!a.version.isEmpty() && a.time.isValid() && a.time == b.time);
    };
    std::vector<ArchiveFrame> kept;
    for (ArchiveFrame& frame : frames) {
        if (!kept.empty() && sameFrame(kept.back(), frame))
            kept.back() = std::move(frame);
        else
            kept.push_back(std::move(frame));
    }
    return kept;
}

std::vector<ArchiveFrame> latestFrames(const std::vector<ArchiveFrame>& frames, const QDateTime& upTo,
                                       int count)
{
    std::vector<ArchiveFrame> taken;
    for (const ArchiveFrame& frame : frames) {
        if (frame.time <= upTo)
            taken.push_back(frame);
    }
    std::stable_sort(taken.begin(), taken.end(),
                     [](const ArchiveFrame& a, const ArchiveFrame& b) { return a.time < b.time; });
    if (count >= 0 && taken.size() > size_t(count))
        taken.erase(taken.begin(), taken.end() - count);
    return taken;
}

std::vector<ArchiveFrame> framesBetween(const std::vector<ArchiveFrame>& frames, const QDateTime& from,
                                        const QDateTime& to)
{
    std::vector<ArchiveFrame> taken;
    for (const ArchiveFrame& frame : frames) {
        if (frame.time >= from && frame.time <= to)
            taken.push_back(frame);
    }
    std::stable_sort(taken.begin(), taken.end(),
                     [](const ArchiveFrame& a, const ArchiveFrame& b) { return a.time < b.time; });
    return taken;
}
