#include "viewer/CoordinateModel.h"

#include <climits>
#include <cmath>

double toPicture(int client, int offset, double zoom)
{
    const long long distance = static_cast<long long>(client) - offset;
    return double(distance) / zoom + 0.5;
}

QString positionText(double x, double y)
{
    return QStringLiteral("x=%1   y=%2").arg(formatWhole(x), formatWhole(y));
}

QString zoomText(double zoom)
{
    return formatWhole(zoom * 100) + QLatin1Char('%');
}

int gridStep(double zoom)
{
    const double step = zoom * 100;
    if (!(step >= 0))
        return 0;
    if (step >= double(INT_MAX))
        return INT_MAX;
    return static_cast<int>(step);
}

std::vector<GridLine> gridLines(int offset, int step, int extent)
{
    std::vector<GridLine> lines;
    if (step < 1)
        return lines;
    long long index = 0;
    if (offset < 0)
        index = (-static_cast<long long>(offset) + step - 1) / step;
    for (long long at = offset + index * step; at < extent; at += step, ++index)
        lines.push_back({int(at), index * 100});
    return lines;
}

// The part of `area` outside `hole`, as at most four rectangles.
std::vector<QRect> around(const QRect& area, const QRect& hole)
{
    const QRect inner = hole.intersected(area);
    if (inner.isEmpty())
        return {area};
    std::vector<QRect> parts;
    const auto add = [&parts](const QRect& r) {
        if (!r.isEmpty())
            parts.push_back(r);
    };
    add(QRect(area.left(), area.top(), area.width(), inner.top() - area.top()));
    add(QRect(area.left(), inner.bottom() + 1, area.width(), area.bottom() - inner.bottom()));
    add(QRect(area.left(), inner.top(), inner.left() - area.left(), inner.height()));
    add(QRect(inner.right() + 1, inner.top(), area.right() - inner.right(), inner.height()));
    return parts;
}

// The part of the rectangle at (x, y), `width` x `height`, that lies in `area`; computed wide,
// since a zoomed picture may reach far beyond int range.
QRect visiblePart(const QRect& area, int x, int y, int width, int height)
{
    const long long left = std::max<long long>(x, area.left());
    const long long top = std::max<long long>(y, area.top());
    const long long right = std::min<long long>(static_cast<long long>(x) + width, area.right() + 1ll);
    const long long bottom = std::min<long long>(static_cast<long long>(y) + height, area.bottom() + 1ll);
    if (left >= right || top >= bottom)
        return {};
    return QRect(int(left), int(top), int(right - left), int(bottom - top));
}
