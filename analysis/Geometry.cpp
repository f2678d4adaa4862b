#include "analysis/Geometry.h"

#include <algorithm>

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
