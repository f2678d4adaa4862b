#include "model/CandidateSky.h"

#include <cmath>
#include <numbers>

bool headsForSun(const SkyPoint& start, const SkyPoint& end)
{
    // The distance moved, by the law of cosines on the two (elongation, angle) points.
    const double turn = (end.positionAngle - start.positionAngle) * std::numbers::pi / 180;
    const double moved =
        std::sqrt(std::max(0.0, start.elongation * start.elongation + end.elongation * end.elongation -
                                    2 * start.elongation * end.elongation * std::cos(turn)));
    return moved > 0 && start.elongation - end.elongation >= 0.5 * moved;
}

TrackSky trackSky(const SkyrakeWork& work, const std::vector<QPointF>& positions)
{
    TrackSky sky;
    int index = 0;
    for (POSITION pos = work.pictures().GetHeadPosition(); pos && index < int(positions.size());
         pos = PictureList::next(pos), ++index) {
        const CPictureItem& item = *PictureList::GetAt(pos);
        const FrameGeometry& geometry = geometryOf(item);
        if (!geometry.known())
            continue;
        const QPointF at = positions[size_t(index)];
        if (!std::isfinite(at.x()) || !std::isfinite(at.y()))
            continue; // no position in this frame
        const SkyPoint here = skyPoint(geometry, at);
        if (!sky.start)
            sky.start = here;
        sky.end = here;
        if (!sky.nearBody.isEmpty() || !item.m_facts.time.isValid())
            continue;
        for (const BodyInFrame& body : bodiesOn(item, work.knownComets())) {
            if (std::hypot(body.position.x() - at.x(), body.position.y() - at.y()) <= nearBodyPixels)
                sky.nearBody = body.name;
        }
    }
    sky.headsForSun = sky.start && sky.end && headsForSun(*sky.start, *sky.end);
    return sky;
}
