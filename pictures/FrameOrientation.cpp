#include "pictures/FrameOrientation.h"

#include <cmath>

std::optional<double> headerRoll(const QHash<QString, QString>& keywords)
{
    // LASCO writes CROTA1 and CROTA2 alike; other headers CROTA2 or CROTA.
    for (const char* key : {"CROTA1", "CROTA2", "CROTA"}) {
        bool known = false;
        const double degrees = keywords.value(QLatin1String(key)).toDouble(&known);
        if (known && std::isfinite(degrees))
            return degrees;
    }
    return std::nullopt;
}

namespace {

// The roll a PC matrix (with CDELT) or a CD matrix stands for, in degrees, as CCOR's level-3
// headers give their orientation; nothing without one.
std::optional<double> matrixRoll(const QHash<QString, QString>& keywords)
{
    const auto number = [&keywords](const char* key, double fallback, bool* known = nullptr) {
        bool ok = false;
        const double value = keywords.value(QLatin1String(key)).toDouble(&ok);
        if (known)
            *known = ok && std::isfinite(value);
        return ok && std::isfinite(value) ? value : fallback;
    };
    bool known11 = false, known21 = false;
    double m11 = number("CD1_1", 0, &known11), m21 = number("CD2_1", 0, &known21);
    if (!known11 && !known21) {
        // PC2_1 carries the ratio of the scales: CDELT1 / CDELT2 times the roll's sine.
        const double ratio = number("CDELT1", 1) / number("CDELT2", 1);
        m11 = number("PC1_1", 0, &known11);
        m21 = number("PC2_1", 0, &known21) / (std::isfinite(ratio) && ratio != 0 ? ratio : 1);
    }
    if ((!known11 && !known21) || (m11 == 0 && m21 == 0))
        return std::nullopt;
    return std::atan2(m21, m11) * 180 / 3.14159265358979323846;
}

} // namespace

bool turnedHalfRound(const QHash<QString, QString>& keywords)
{
    std::optional<double> roll = headerRoll(keywords);
    if (!roll)
        roll = matrixRoll(keywords);
    if (roll)
        return std::abs(std::remainder(*roll, 360.0)) > 90.0;
    // CCOR-1's YAWFLIP: 0 upright, 2 turned half round, 1 a turn in progress (shown as stored).
    bool known = false;
    return keywords.value(QStringLiteral("YAWFLIP")).toInt(&known) == 2 && known;
}

FrameOrientation fitsOrientation(const QHash<QString, QString>& keywords, QSize size)
{
    return FrameOrientation{size, true, turnedHalfRound(keywords)};
}

QPointF shownFromFits(const FrameOrientation& orientation, QPointF fits)
{
    // Stored position, 0-based and continuous: column p1 - 0.5, row p2 - 0.5 counted the way
    // the rows are stored.
    const double w = orientation.size.width(), h = orientation.size.height();
    QPointF stored(fits.x() - 0.5, fits.y() - 0.5);
    if (orientation.bottomUp)
        stored.setY(h - stored.y());
    if (orientation.turnedBack)
        stored = QPointF(w - stored.x(), h - stored.y());
    return stored;
}

QPointF fitsFromShown(const FrameOrientation& orientation, QPointF shown)
{
    // Each step above is its own inverse.
    const double w = orientation.size.width(), h = orientation.size.height();
    QPointF stored = shown;
    if (orientation.turnedBack)
        stored = QPointF(w - stored.x(), h - stored.y());
    if (orientation.bottomUp)
        stored.setY(h - stored.y());
    return stored + QPointF(0.5, 0.5);
}

QPoint storedFromShown(const FrameOrientation& orientation, QPoint shown)
{
    const QPointF fits = fitsFromShown(orientation, QPointF(shown) + QPointF(0.5, 0.5));
    return QPoint(int(std::floor(fits.x() - 0.5)), int(std::floor(fits.y() - 0.5)));
}

QPoint shownFromStored(const FrameOrientation& orientation, QPoint stored)
{
    const QPointF shown = shownFromFits(orientation, QPointF(stored) + QPointF(1, 1));
    return QPoint(int(std::floor(shown.x())), int(std::floor(shown.y())));
}
