#pragma once

#include <QDialog>
#include <QString>

class QLabel;

// Asks whether a report line is to be added: the line above, the question below.
class CConfirmDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CConfirmDlg(QWidget* parent = nullptr);

    QString m_question; // static 1009
    QString m_line;     // static 1010

    int exec() override;

private:
    QLabel* m_questionLabel;
    QLabel* m_lineLabel;
};
