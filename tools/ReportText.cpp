#include "tools/ReportText.h"

#include "platform/CFormat.h"

QString reportHeaderLine()
{
    return QStringLiteral("picture name\t\tposition\r\n");
}

QString reportLine(const QString& name, double x, double y)
{
    QString safe = name;
    for (QChar& c : safe) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    }
    return QStringLiteral("%1\t(%2,%3)\r\n").arg(safe, formatWhole(x), formatWhole(y));
}

QString reportSizeHeader(int width, int height)
{
    return QStringLiteral("picture size: %1 * %2\r\n\r\n").arg(width).arg(height);
}
