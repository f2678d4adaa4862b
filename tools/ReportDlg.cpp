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
    auto* ok = placed(new QPushButton(tr("OK"), this), "ok", 200, 44, 32, 14);
    auto* cancel = placed(new QPushButton(tr("Cancel"), this), "cancel", 200, 64, 32, 14);
    m_reportEdit = placed(new QPlainTextEdit(this), "report", 7, 7, 183, 73);
    auto* copy = placed(new QPushButton(tr("COPY"), this), "copy", 200, 7, 32, 14);
    auto* clear = placed(new QPushButton(tr("清空"), this), "clear", 200, 25, 32, 14);
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
