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
