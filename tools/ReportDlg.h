#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;

// Shows the report, copies it to the clipboard (COPY) and clears it (清空). The view takes a
// clear over only when the dialog is closed with OK.
class CReportDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CReportDlg(QWidget* parent = nullptr);

    bool m_cleared = false;
    QPlainTextEdit* m_reportEdit = nullptr; // edit 1003, read-only
    QString m_text;                         // the text shown, CR LF line ends

    int exec() override;
    void OnCopyReport();
    void OnClearReport();

private:
    void showText();
};
