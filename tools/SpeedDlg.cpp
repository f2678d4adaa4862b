#include "tools/SpeedDlg.h"

#include "platform/Desktop.h"
#include "platform/DialogUnits.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

bool parseWholeNumber(const QString& text, int* value)
{
    static const QRegularExpression whole(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    if (!whole.match(text).hasMatch())
        return false;
    bool ok = false;
    const int parsed = text.trimmed().toInt(&ok);
    if (ok)
        *value = parsed;
    return ok;
}

CSpeedDlg::CSpeedDlg(int interval, QWidget* parent) : QDialog(parent), m_value(interval)
{
    setWindowTitle(tr("播放速度"));
    setupDialog(this, 10, 125, 50);

    auto* ok = placed(new QPushButton(tr("OK"), this), "ok", 88, 7, 30, 14);
    auto* cancel = placed(new QPushButton(tr("Cancel"), this), "cancel", 88, 24, 30, 14);
    m_intervalEdit = placed(new QLineEdit(this), "interval", 31, 18, 24, 14);
    m_intervalSpin = placed(new QWidget(this), "spin", 54, 18, 9, 14);
    placed(new QLabel(tr("间隔"), this), "intervalLabel", 14, 24, 16, 8);
    placed(new QLabel(tr("毫秒"), this), "unitLabel", 66, 24, 16, 8);
    ok->setDefault(true);

    // The up-down control: two arrow buttons that step the number in the field.
    auto* arrows = new QVBoxLayout(m_intervalSpin);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    for (const auto& [arrow, steps] : {std::pair{Qt::UpArrow, 1}, std::pair{Qt::DownArrow, -1}}) {
        auto* button = new QToolButton(m_intervalSpin);
        button->setArrowType(arrow);
        button->setObjectName(steps > 0 ? QStringLiteral("up") : QStringLiteral("down"));
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        arrows->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, steps = steps] { stepBy(steps); });
    }

    m_intervalEdit->setText(QString::number(m_value));
    m_intervalEdit->installEventFilter(this);
    m_intervalEdit->selectAll();
    m_intervalEdit->setFocus();

    connect(ok, &QPushButton::clicked, this, &CSpeedDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CSpeedDlg::stepBy(int steps)
{
    int value = m_value;
    parseWholeNumber(m_intervalEdit->text(), &value);
    // Out-of-range numbers come back into range at the first click.
    const long long stepped = static_cast<long long>(value) + static_cast<long long>(steps) * arrowStep;
    value = int(std::clamp<long long>(stepped, minInterval, maxInterval));
    m_intervalEdit->setText(QString::number(value));
    m_intervalEdit->selectAll();
}

bool CSpeedDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_intervalEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CSpeedDlg::accept()
{
    int value = 0;
    QString problem;
    if (!parseWholeNumber(m_intervalEdit->text(), &value))
        problem = tr("请输入一个整数。");
    else if (value < minInterval || value > maxInterval)
        problem = tr("请输入一个介于 %1 和 %2 之间的整数。").arg(minInterval).arg(maxInterval);
    if (!problem.isEmpty()) {
        Desktop::instance().messageBox(problem);
        m_intervalEdit->setFocus();
        m_intervalEdit->selectAll();
        return; // the dialog stays open
    }
    m_value = value;
    QDialog::accept();
}
