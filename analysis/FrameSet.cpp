#include "analysis/FrameSet.h"

#include "pictures/PictureItem.h"

#include <algorithm>
#include <map>

namespace {

QString sizeText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

// The size most frames have; the larger of two equally common ones.
QSize daySize(const std::vector<FrameFacts>& frames)
{
    std::map<std::pair<int, int>, int> counts;
    for (const FrameFacts& f : frames)
        ++counts[{f.size.width() * f.size.height(), f.size.width()}];
    const auto most = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second < b.second : a.first < b.first;
    });
    for (const FrameFacts& f : frames) {
        if (most != counts.end() && f.size.width() * f.size.height() == most->first.first &&
            f.size.width() == most->first.second)
            return f.size;
    }
    return {};
}

} // namespace

FrameSet arrangeFrames(const std::vector<FrameFacts>& frames)
{
    FrameSet set;
    const QSize size = daySize(frames);
    std::vector<int> candidates;
    for (int i = 0; i < int(frames.size()); ++i) {
        const FrameFacts& f = frames[size_t(i)];
        if (f.size != size)
            set.left << QStringLiteral("%1: %2, not the %3 of the other frames")
                            .arg(f.name, sizeText(f.size), sizeText(size));
        else if (f.eclipsed)
            set.left << QStringLiteral("%1: eclipsed by the Earth").arg(f.name);
        else
            candidates.push_back(i);
    }
    // Oldest first; frames without a time after the others in the order given; among frames of
    // one time the lowest name first, the one kept.
    std::stable_sort(candidates.begin(), candidates.end(), [&](int a, int b) {
        const FrameInfo& x = frames[size_t(a)].info;
        const FrameInfo& y = frames[size_t(b)].info;
        if (x.time.isValid() != y.time.isValid())
            return x.time.isValid();
        if (!x.time.isValid() || x.time != y.time)
            return x.time < y.time;
        return compareNames(frames[size_t(a)].name, frames[size_t(b)].name) < 0;
    });
    // The frame kept for each camera and time (milliseconds since the epoch).
    std::map<std::pair<Camera, qint64>, int> taken;
    for (const int i : candidates) {
        const FrameFacts& f = frames[size_t(i)];
        if (f.info.time.isValid()) {
            const auto [at, fresh] = taken.try_emplace({f.info.camera, f.info.time.toMSecsSinceEpoch()}, i);
            if (!fresh) {
                set.left << QStringLiteral("%1: the same DATE-OBS as %2")
                                .arg(f.name, frames[size_t(at->second)].name);
                continue;
            }
        }
        set.kept.push_back(i);
    }
    return set;
}
