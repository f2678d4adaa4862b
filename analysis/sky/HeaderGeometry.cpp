// A FITS frame's geometry from its header's world coordinates, through wcslib.
#include "analysis/sky/SkyGeometry.h"
#include "analysis/sky/WorldCoordinates.h"
#include "pictures/FrameOrientation.h"

#include <QRegularExpression>

#include <cmath>
#include <numbers>

namespace {

// The header again as 80-character cards, values that read as numbers or logicals unquoted.
QByteArray headerCards(QHash<QString, QString> keywords)
{
    // The AIPS convention's roll (LASCO writes it as CROTA1, others as CROTA or CROTA2) as the PC
    // matrix it stands for: wcslib takes CROTA only on a celestial latitude axis, and LASCO's
    // SOLAR-X/Y are not celestial.
    const bool matrix =
        keywords.contains(QStringLiteral("PC1_1")) || keywords.contains(QStringLiteral("CD1_1"));
    if (const std::optional<double> degrees = headerRoll(keywords); degrees && !matrix) {
        const double roll = *degrees * std::numbers::pi / 180;
        const double cdelt1 = keywords.value(QStringLiteral("CDELT1"), QStringLiteral("1")).toDouble();
        const double cdelt2 = keywords.value(QStringLiteral("CDELT2"), QStringLiteral("1")).toDouble();
        const double ratio = cdelt1 != 0 && cdelt2 != 0 ? cdelt2 / cdelt1 : 1;
        keywords.insert(QStringLiteral("PC1_1"), QString::number(std::cos(roll), 'g', 15));
        keywords.insert(QStringLiteral("PC1_2"), QString::number(-std::sin(roll) * ratio, 'g', 15));
        keywords.insert(QStringLiteral("PC2_1"), QString::number(std::sin(roll) / ratio, 'g', 15));
        keywords.insert(QStringLiteral("PC2_2"), QString::number(std::cos(roll), 'g', 15));
    }
    for (const char* key : {"CROTA", "CROTA1", "CROTA2"})
        keywords.remove(QLatin1String(key));
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([EeDd][+-]?\\d+)?$"));
    QByteArray cards;
    for (auto it = keywords.begin(); it != keywords.end(); ++it) {
        const QString key = it.key().left(8);
        const QString value = it.value().trimmed();
        const bool plain =
            number.match(value).hasMatch() || value == QLatin1String("T") || value == QLatin1String("F");
        QString card =
            key.leftJustified(8) + QStringLiteral("= ") +
            (plain ? value.rightJustified(20)
                   : QLatin1Char('\'') +
                         QString(value).replace(QLatin1Char('\''), QStringLiteral("''")).leftJustified(8) +
                         QLatin1Char('\''));
        cards += card.leftJustified(80, QLatin1Char(' '), true).toLatin1();
    }
    return cards;
}

} // namespace

std::optional<FrameGeometry> headerGeometry(const QHash<QString, QString>& keywords, QSize size)
{
    if (!keywords.contains(QStringLiteral("CTYPE1")) || !keywords.contains(QStringLiteral("CTYPE2")) ||
        size.isEmpty())
        return std::nullopt;
    // The world coordinates count the stored pixels; the picture shows them turned as the
    // decoder turned them.
    const FrameOrientation orientation = fitsOrientation(keywords, size);
    // wcslib reads polynomial distortions, not the lookup tables kept in other HDUs (PUNCH's):
    // such a header's linear WCS is used, and said so. So is a header whose distortion wcslib
    // refuses.
    QHash<QString, QString> linear = keywords;
    static const QRegularExpression distortion(QStringLiteral("^(CPDIS|CQDIS|D2IMDIS|DP|DQ|D2IM)[0-9]"));
    bool lookup = false;
    bool distorted = false;
    for (auto it = keywords.cbegin(); it != keywords.cend(); ++it) {
        if (!distortion.match(it.key()).hasMatch())
            continue;
        distorted = true;
        lookup = lookup || it.value().trimmed().compare(QLatin1String("LOOKUP"), Qt::CaseInsensitive) == 0 ||
                 it.key().startsWith(QLatin1String("D2IM"));
        linear.remove(it.key());
    }
    std::shared_ptr<const WorldCoordinates> world =
        lookup ? nullptr : WorldCoordinates::parse(headerCards(keywords), orientation);
    const bool linearOnly = !world && distorted;
    if (linearOnly)
        world = WorldCoordinates::parse(headerCards(linear), orientation);
    if (!world)
        return std::nullopt;
    const std::optional<QPointF> centre = world->picture(QPointF(0, 0));
    const std::optional<QPointF> north = world->picture(QPointF(0, 1000));
    const std::optional<QPointF> west = world->picture(QPointF(1000, 0));
    if (!centre || !north || !west)
        return std::nullopt;
    const QPointF up = *north - *centre;
    const QPointF right = *west - *centre;
    FrameGeometry geometry;
    geometry.source = GeometrySource::Header;
    geometry.sun = *centre;
    geometry.arcsecPerPixel = 1000 / std::hypot(up.x(), up.y());
    geometry.roll = std::atan2(-up.x(), -up.y()) * 180 / std::numbers::pi;
    geometry.binning = 1;
    geometry.orientation = orientation;
    // West lies clockwise of north unless the picture is turned over.
    geometry.mirrored = up.x() * right.y() - up.y() * right.x() < 0;
    geometry.world = std::move(world);
    geometry.linearOnly = linearOnly;
    return geometry;
}
