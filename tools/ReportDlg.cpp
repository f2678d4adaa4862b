#include "tools/ReportDlg.h"

#include "platform/DialogUnits.h"
#include "tools/ReportText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>

CReportDlg::CReportDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("报告结果"));
    setupDialog(this, 10, 239, 90);
    auto* ok = new QPushButton(tr("OK"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    m_reportEdit = new QPlainTextEdit(this);
    auto* copy = new QPushButton(tr("COPY"), this);
    auto* clear = new QPushButton(tr("清空"), this);
    ok->setObjectName(QStringLiteral("ok"));
    cancel->setObjectName(QStringLiteral("cancel"));
    m_reportEdit->setObjectName(QStringLiteral("report"));
    copy->setObjectName(QStringLiteral("copy"));
    clear->setObjectName(QStringLiteral("clear"));
    place(ok, 200, 44, 32, 14);
    place(cancel, 200, 64, 32, 14);
    place(m_reportEdit, 7, 7, 183, 73);
    place(copy, 200, 7, 32, 14);
    place(clear, 200, 25, 32, 14);
    ok->setDefault(true);
    m_reportEdit->setReadOnly(true);
    m_reportEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_reportEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_reportEdit->setTabStopDistance(m_reportEdit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 8);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(copy, &QPushButton::clicked, this, &CReportDlg::OnCopyReport);
    connect(clear, &QPushButton::clicked, this, &CReportDlg::OnClearReport);
}

void CReportDlg::showText()
{
    QString shown = m_text;
    m_reportEdit->setPlainText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

int CReportDlg::exec()
{
    showText();
    return QDialog::exec();
}

void CReportDlg::OnCopyReport()
{
    m_reportEdit->selectAll();
    // The whole text as shown, with the CR LF line ends of a plain-text report.
    QString text = m_reportEdit->toPlainText();
    QGuiApplication::clipboard()->setText(text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

void CReportDlg::OnClearReport()
{
    m_cleared = true;
    m_text = reportHeaderLine();
    showText();
}
