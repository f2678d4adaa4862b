#include "platform/Himetric.h"

#include <climits>
#include <cmath>

namespace {
int truncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}
} // namespace

int displayedSize(int dpi, int himetric, double zoom)
{
    const double product = double(static_cast<long long>(dpi) * himetric);
    return truncateToInt(product * zoom * himetricPerInchInverse);
}

int naturalSize(int dpi, int himetric)
{
    const double product = double(static_cast<long long>(dpi) * himetric);
    return truncateToInt(product * himetricPerInchInverse + 0.5);
}

int pixelsToHimetric(int pixels, int dpi)
{
    if (pixels <= 0 || dpi <= 0)
        return 0;
    // Start a little below the exact value and walk up to the first that converts back.
    long long himetric = static_cast<long long>(std::floor(double(pixels) * 2540.0 / dpi)) - 2;
    if (himetric < 0)
        himetric = 0;
    while (displayedSize(dpi, int(himetric), 1.0) < pixels)
        ++himetric;
    return int(himetric);
}
