#include "sweep/SweepPlan.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>

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

} // namespace

std::vector<SweepFrame> findSweepFrames(const QStringList& folders)
{
    std::vector<SweepFrame> frames;
    for (const QString& folder : folders) {
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString name = QFileInfo(path).fileName();
            const FrameInfo info = frameInfoFromName(name);
            if (!info.time.isValid() || info.camera == Camera::Unknown)
                continue;
            int size = sizeFromName(name);
            if (size == 0)
                size = QImageReader(path).size().width();
            if (size <= 0)
                continue; // no picture the program reads
            frames.push_back({path, name, info.time, info.camera, size});
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
    // The same frame found twice (two folders, a link) counts once.
    frames.erase(std::unique(frames.begin(), frames.end(),
                             [](const SweepFrame& a, const SweepFrame& b) { return a.name == b.name; }),
                 frames.end());
    plan.frames = std::move(frames);
    const auto window = [&](int first, int count) {
        plan.windows.push_back(
            {first, count, QStringLiteral("%1+%2").arg(plan.frames[size_t(first)].name).arg(count)});
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
