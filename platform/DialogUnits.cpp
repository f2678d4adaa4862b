#include "platform/DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QWidget>

#include <cmath>

QFont dialogFont(int pointSize)
{
    QFont font = QGuiApplication::font();
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"宋体", "SimSun", "AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC"}) {
        const QString family = QString::fromUtf8(name);
        if (families.contains(family)) {
            font.setFamily(family);
            break;
        }
    }
    font.setPointSize(pointSize);
    return font;
}

namespace {

QPointF baseUnits(const QWidget* widget)
{
    const QFontMetricsF metrics(widget->font());
    // The average width of the Latin letters, as the dialog manager measures it.
    const double average =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
        52.0;
    return {average / 4.0, metrics.height() / 8.0};
}

int scaled(int units, double base)
{
    return int(std::lround(units * base));
}

} // namespace

void setupDialog(QWidget* dialog, int pointSize, int width, int height)
{
    dialog->setFont(dialogFont(pointSize));
    const QPointF base = baseUnits(dialog);
    dialog->setFixedSize(scaled(width, base.x()), scaled(height, base.y()));
}

void place(QWidget* control, int x, int y, int width, int height)
{
    const QPointF base = baseUnits(control->parentWidget() ? control->parentWidget() : control);
    control->setGeometry(scaled(x, base.x()), scaled(y, base.y()), scaled(width, base.x()),
                         scaled(height, base.y()));
}
