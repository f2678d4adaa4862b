#include "tools/ConfirmDlg.h"

#include "platform/DialogUnits.h"

#include <QLabel>
#include <QPushButton>

CConfirmDlg::CConfirmDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("确定"));
    setupDialog(this, 10, 171, 82);
    auto* ok = new QPushButton(tr("OK"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    m_lineLabel = new QLabel(this);
    m_questionLabel = new QLabel(this);
    ok->setObjectName(QStringLiteral("ok"));
    cancel->setObjectName(QStringLiteral("cancel"));
    m_lineLabel->setObjectName(QStringLiteral("line"));
    m_questionLabel->setObjectName(QStringLiteral("question"));
    place(ok, 48, 61, 28, 14);
    place(cancel, 94, 61, 28, 14);
    place(m_lineLabel, 7, 15, 157, 8);
    place(m_questionLabel, 7, 37, 157, 8);
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
