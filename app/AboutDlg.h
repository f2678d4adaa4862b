#pragma once

#include <QDialog>

// The About box: version, licence, and buttons that open the author's homepage and mail.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

private:
    // The buttons do what Help's two items do, and the box stays open.
    void OnAuthorHome();
    void OnMailAuthor();
};
