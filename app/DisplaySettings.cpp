#include "app/DisplaySettings.h"

#include <QSettings>

namespace {

template <typename E> E enumFrom(const QSettings& settings, const char* key, E fallback, E last)
{
    bool ok = false;
    const int value = settings.value(QLatin1String(key)).toInt(&ok);
    return ok && value >= 0 && value <= int(last) ? E(value) : fallback;
}

} // namespace

StretchSettings readStretchSettings(QSettings& settings)
{
    StretchSettings stretch;
    settings.beginGroup(QStringLiteral("Display"));
    stretch.curve = enumFrom(settings, "curve", stretch.curve, StretchCurve::HistEq);
    stretch.limits = enumFrom(settings, "limits", stretch.limits, StretchLimits::ZScale);
    stretch.invert = settings.value(QStringLiteral("invert"), false).toBool();
    settings.endGroup();
    return stretch;
}

void writeStretchSettings(QSettings& settings, const StretchSettings& stretch)
{
    settings.beginGroup(QStringLiteral("Display"));
    settings.setValue(QStringLiteral("curve"), int(stretch.curve));
    settings.setValue(QStringLiteral("limits"), int(stretch.limits));
    settings.setValue(QStringLiteral("invert"), stretch.invert);
    settings.endGroup();
}
