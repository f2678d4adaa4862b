#include "platform/DialogUnits.h"

#include "platform/Language.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
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

// Fits a dialog's texts each time it is shown, before it is placed on the screen.
class TextFitter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType())
            fitTexts(static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

void setupDialog(QWidget* dialog, int pointSize, int width, int height)
{
    dialog->setFont(dialogFont(pointSize));
    const QPointF base = baseUnits(dialog);
    dialog->setFixedSize(scaled(width, base.x()), scaled(height, base.y()));
    if (!showsSourceTexts())
        dialog->installEventFilter(new TextFitter(dialog));
}

void place(QWidget* control, int x, int y, int width, int height)
{
    const QPointF base = baseUnits(control->parentWidget() ? control->parentWidget() : control);
    control->setGeometry(scaled(x, base.x()), scaled(y, base.y()), scaled(width, base.x()),
                         scaled(height, base.y()));
}

int textWidth(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text().isEmpty() || label->wordWrap() ? 0 : label->sizeHint().width();
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        if (button->text().isEmpty())
            return 0;
        // The label inside the frame and the bevel's light edge. The margin the size hint adds
        // beyond that is room the templates' narrower buttons never had.
        const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        return button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() + 2 * (frame + 1);
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text().isEmpty() ? 0 : button->sizeHint().width();
    return 0;
}

void fitTexts(QWidget* dialog)
{
    const QList<QWidget*> controls = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    // A control widened once fits: later rounds only move it or widen it further.
    for (qsizetype round = 0; round < controls.size(); ++round) {
        QRect narrow;
        int missing = 0;
        for (const QWidget* control : controls) {
            if (control->isWindow() || control->isHidden())
                continue;
            missing = textWidth(control) - control->width();
            if (missing > 0) {
                narrow = control->geometry();
                break;
            }
        }
        if (missing <= 0)
            return;
        const int cut = narrow.x() + narrow.width();
        for (QWidget* control : controls) {
            if (control->isWindow())
                continue;
            QRect r = control->geometry();
            if (r.x() >= cut)
                r.translate(missing, 0);
            else if (r.x() + r.width() >= cut)
                r.setWidth(r.width() + missing);
            control->setGeometry(r);
        }
        dialog->setFixedSize(dialog->width() + missing, dialog->height());
    }
}
