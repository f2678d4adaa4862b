#include "analysis/search/SearchNear.h"

#include "platform/Picture.h"

#include <QRectF>

#include <cmath>
#include <memory>

namespace {

// The part `area` of `picture`, its values and header with it.
std::unique_ptr<Picture> cropped(const Picture& picture, const QRect& area)
{
    std::vector<float> values;
    if (!picture.values().empty()) {
        values.reserve(size_t(area.width()) * size_t(area.height()));
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const auto row = picture.values().begin() + qsizetype(y) * picture.pixelWidth();
            values.insert(values.end(), row + area.left(), row + area.right() + 1);
        }
    }
    return std::make_unique<Picture>(picture.decoded().copy(area),
                                     picture.himetricWidth() * area.width() / picture.pixelWidth(),
                                     picture.himetricHeight() * area.height() / picture.pixelHeight(),
                                     std::move(values), picture.keywords());
}

} // namespace

std::optional<Candidate> searchNear(std::span<const SearchFrame> frames, const std::vector<QPointF>& expected,
                                    double box, double minScore)
{
    if (frames.empty() || expected.size() != frames.size() || !frames.front().picture)
        return std::nullopt;
    const Picture& first = *frames.front().picture;
    QRectF bounds(expected.front(), QSizeF());
    for (const QPointF& p : expected)
        bounds = bounds.united(QRectF(p, QSizeF(1, 1)));
    QRect area = bounds.adjusted(-box, -box, box, box).toAlignedRect().intersected(first.decoded().rect());
    // A square crop of a camera's frame size would be taken for a whole frame at that scale.
    if (area.width() == area.height() && area.width() >= 256)
        area.setWidth(area.width() - 1);
    if (area.width() < 16 || area.height() < 16)
        return std::nullopt;
    std::vector<std::unique_ptr<Picture>> crops;
    std::vector<SearchFrame> near;
    for (const SearchFrame& frame : frames) {
        if (!frame.picture || frame.picture->decoded().size() != first.decoded().size())
            return std::nullopt;
        crops.push_back(cropped(*frame.picture, area));
        near.push_back({crops.back().get(), frame.time, frame.camera});
    }
    SearchOptions options;
    const int side = first.pixelWidth();
    const bool frameSize =
        side == first.pixelHeight() && (side == 256 || side == 512 || side == 1024 || side == 2048);
    options.maxSpeed = maxSpeedOf(frames.front().camera) * (frameSize ? side / 1024.0 : 1.0);
    options.minScore = minScore;
    options.maxFalseAlarms = INFINITY;
    const QPointF offset = area.topLeft();
    for (Candidate c : searchMovers(near, options)) { // best first
        double squares = 0;
        for (size_t f = 0; f < c.positions.size(); ++f) {
            c.positions[f] += offset;
            const QPointF d = c.positions[f] - expected[f];
            squares += QPointF::dotProduct(d, d);
        }
        if (std::sqrt(squares / double(c.positions.size())) <= box)
            return c;
    }
    return std::nullopt;
}
