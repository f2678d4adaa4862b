#include "tools/ConfirmDlg.h"

#include "platform/DialogUnits.h"

#include <QLabel>
#include <QPushButton>

CConfirmDlg::CConfirmDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("确定"));
    setupDialog(this, 10, 171, 82);
    auto* ok = placed(new QPushButton(tr("OK"), this), "ok", 48, 61, 28, 14);
    auto* cancel = placed(new QPushButton(tr("Cancel"), this), "cancel", 94, 61, 28, 14);
    m_lineLabel = placed(new QLabel(this), "line", 7, 15, 157, 8);
    m_questionLabel = placed(new QLabel(this), "question", 7, 37, 157, 8);
    m_lineLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_questionLabel->setAlignment(Qt::AlignCenter);
    m_lineLabel->setTextFormat(Qt::PlainText);
    m_questionLabel->setTextFormat(Qt::PlainText);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int CConfirmDlg::exec()
{
    // The line ends in CR LF, which a one-line static control does not show; the tab shows as
    // a gap between name and position.
    QString shown = m_line;
    shown.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    m_lineLabel->setText(shown.replace(QLatin1Char('\t'), QStringLiteral("    ")));
    m_questionLabel->setText(m_question);
    return QDialog::exec();
}
