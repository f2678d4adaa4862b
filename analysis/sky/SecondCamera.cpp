#include "analysis/sky/SecondCamera.h"

#include <algorithm>

namespace {

Vector3 along(const Vector3& a, const Vector3& b, double u)
{
    return {a[0] + (b[0] - a[0]) * u, a[1] + (b[1] - a[1]) * u, a[2] + (b[2] - a[2]) * u};
}

} // namespace

Vector3 placeNearSun(const SkyPoint& sky, const Observer& from)
{
    const Vector3 u = skyDirection(sky, from);
    const Vector3& o = from.position;
    const double d = -(o[0] * u[0] + o[1] * u[1] + o[2] * u[2]); // along u, to the point nearest the sun
    return {o[0] + d * u[0], o[1] + d * u[1], o[2] + d * u[2]};
}

std::vector<QPointF> expectedOnFrames(const SeenTrack& track, const std::vector<QDateTime>& times,
                                      const std::vector<FrameGeometry>& geometries,
                                      const std::vector<Observer>& observers)
{
    const size_t n = track.times.size();
    if (n < 2 || track.sky.size() != n || track.observers.size() != n || geometries.size() != times.size() ||
        observers.size() != times.size())
        return {};
    std::vector<Vector3> places;
    for (size_t i = 0; i < n; ++i)
        places.push_back(placeNearSun(track.sky[i], track.observers[i]));
    std::vector<QPointF> expected;
    for (size_t f = 0; f < times.size(); ++f) {
        if (!geometries[f].known())
            return {};
        // The track's points before and after the frame's time (the first or last two beyond).
        size_t b = 1;
        while (b + 1 < n && track.times[b] < times[f])
            ++b;
        const size_t a = b - 1;
        const double span = double(track.times[a].msecsTo(track.times[b]));
        const double u = span != 0 ? double(track.times[a].msecsTo(times[f])) / span : 0.0;
        const Vector3 place = along(places[a], places[b], u);
        const Vector3& o = observers[f].position;
        const SkyPoint sky = skyPointOf({place[0] - o[0], place[1] - o[1], place[2] - o[2]}, observers[f]);
        expected.push_back(picturePoint(geometries[f], sky));
    }
    return expected;
}
