#include "platform/CFormat.h"

#include <cmath>

QString formatWhole(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    const double rounded = std::round(value); // halves away from zero
    if (std::fabs(rounded) < 9.0e15) {
        const auto whole = static_cast<long long>(rounded);
        if (whole == 0 && std::signbit(rounded))
            return QStringLiteral("-0");
        return QString::number(whole);
    }
    return QString::number(rounded, 'f', 0);
}
