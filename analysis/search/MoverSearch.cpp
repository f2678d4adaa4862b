#include "analysis/search/MoverSearch.h"

#include "analysis/search/MoverDetect.h"
#include "analysis/search/MoverLink.h"
#include "analysis/search/MoverLong.h"
#include "analysis/search/MoverTrack.h"
#include "platform/Picture.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double defaultStepHours = 0.2; // 12 minutes, when the frames' times are not all known

// Each frame's time in hours after the first: the frames' own times when every one is known
// and they are not all the same, equal steps otherwise.
std::vector<double> frameHours(const std::vector<QDateTime>& times)
{
    std::vector<double> hours;
    const bool timed =
        std::all_of(times.begin(), times.end(), [](const QDateTime& t) { return t.isValid(); });
    bool spread = false;
    for (const QDateTime& time : times) {
        hours.push_back(timed ? double(times.front().msecsTo(time)) / 3.6e6 : 0.0);
        spread = spread || hours.back() != 0;
    }
    if (!timed || !spread)
        for (size_t f = 0; f < hours.size(); ++f)
            hours[f] = defaultStepHours * double(f);
    return hours;
}

std::vector<double> frameHours(std::span<const SearchFrame> frames)
{
    std::vector<QDateTime> times;
    for (const SearchFrame& frame : frames)
        times.push_back(frame.time);
    return frameHours(times);
}

} // namespace

void spreadOverFrames(std::vector<Candidate>& found, const std::vector<size_t>& searched,
                      const std::vector<QDateTime>& times)
{
    if (searched.size() < 2 || searched.size() == times.size())
        return;
    const std::vector<double> hours = frameHours(times);
    for (Candidate& c : found) {
        if (c.positions.size() != searched.size())
            continue;
        std::vector<QPointF> all;
        size_t next = 0; // the first searched frame at or after the frame
        for (size_t f = 0; f < times.size(); ++f) {
            while (next < searched.size() && searched[next] < f)
                ++next;
            if (next < searched.size() && searched[next] == f) {
                all.push_back(c.positions[next]);
                continue;
            }
            const size_t b = std::clamp(next, size_t(1), searched.size() - 1), a = b - 1;
            const double ta = hours[searched[a]], tb = hours[searched[b]];
            const double u = tb != ta ? (hours[f] - ta) / (tb - ta) : 0.0;
            all.push_back(c.positions[a] + (c.positions[b] - c.positions[a]) * u);
        }
        c.positions = std::move(all);
    }
}

std::vector<Candidate> searchMovers(std::span<const SearchFrame> frames, const SearchOptions& options,
                                    const std::function<bool(int)>& progress)
{
    if (frames.size() < 4 ||
        std::any_of(frames.begin(), frames.end(), [](const SearchFrame& f) { return !f.picture; }))
        return {};
    if (frames.size() >= longWindowFrames)
        return searchLongWindow(frames, options, progress);
    const int width = frames.front().picture->pixelWidth();
    const int height = frames.front().picture->pixelHeight();
    // Anything smaller than a few of the filter's widths holds no track worth the name.
    if (width < 16 || height < 16)
        return {};
    std::vector<const Picture*> pictures;
    for (const SearchFrame& frame : frames) {
        if (frame.picture->pixelWidth() != width || frame.picture->pixelHeight() != height)
            return {};
        pictures.push_back(frame.picture);
    }

    const SerialStages serial(!options.spreadStages);
    constexpr int detectShare = 80; // percent of the progress the detection takes
    std::optional<SignalFrames> maps = detectSignals(pictures, detectShare, progress);
    if (!maps)
        return {};
    const Camera camera = std::all_of(frames.begin(), frames.end(),
                                      [&](const SearchFrame& f) { return f.camera == frames.front().camera; })
                              ? frames.front().camera
                              : Camera::Unknown;
    LinkSettings settings;
    // A frame of one of the cameras' sizes (256 to 2048 a side) shows the field at its scale; a
    // crop of another width keeps the full frame's pixels.
    const bool frameSize =
        width == height && (width == 256 || width == 512 || width == 1024 || width == 2048);
    settings.maxSpeed =
        (options.maxSpeed > 0 ? options.maxSpeed : maxSpeedOf(camera)) * (frameSize ? width / 1024.0 : 1.0);
    settings.minFrames = std::max(options.minFrames, 4);
    settings.maxCandidates = std::max(options.maxCandidates, 0);
    settings.minScore = options.minScore;
    const std::vector<double> hours = frameHours(frames);
    std::optional<std::vector<Candidate>> found = linkMovers(*maps, hours, settings, detectShare, progress);
    if (!found || (progress && !progress(100)))
        return {};
    for (Candidate& c : *found)
        tracks::centreOnFrames(c, pictures, hours);
    for (Candidate& c : *found)
        c.falseAlarms = falseAlarmRate(camera, c.score);
    std::erase_if(*found, [&](const Candidate& c) { return c.falseAlarms > options.maxFalseAlarms; });
    return *found;
}

double maxSpeedOf(Camera camera)
{
    switch (camera) {
    case Camera::C2:
        return 225;
    case Camera::C3:
        return 60;
    case Camera::Ccor1:
    case Camera::Ccor2:
    case Camera::Punch:
    case Camera::Unknown:
        break;
    }
    return 120;
}

double falseAlarmRate(Camera camera, double score)
{
    // Tracks per window scoring `score` or more fall off as exp(a - b score) in the empty real
    // windows of each camera (BM_RealFalseAlarmTail; bench/README.md): C2 11 tracks from 5 up in
    // 13 windows, C3 2 in 23 (its slope C2's). An unknown camera takes the higher.
    struct Tail
    {
        double a, b;
    };
    constexpr Tail c2{4.99, 0.717}, c3{1.14, 0.717};
    const auto rate = [score](Tail t) { return std::exp(t.a - t.b * score); };
    switch (camera) {
    case Camera::C2:
        return rate(c2);
    case Camera::C3:
        return rate(c3);
    case Camera::Ccor1: // not measured yet: the higher
    case Camera::Ccor2:
    case Camera::Punch:
    case Camera::Unknown:
        break;
    }
    return std::max(rate(c2), rate(c3));
}
