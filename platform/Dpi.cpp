#include "platform/Dpi.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {
int screenDpi(bool x)
{
    if (!qGuiApp)
        return 96;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96;
    const double dpi = x ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? int(std::lround(dpi)) : 96;
}
} // namespace

int displayDpiX()
{
    return screenDpi(true);
}

int displayDpiY()
{
    return screenDpi(false);
}
