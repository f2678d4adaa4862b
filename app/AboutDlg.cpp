#include "app/AboutDlg.h"

#include "app/CommandTable.h"
#include "app/Links.h"
#include "platform/CommandIds.h"
#include "platform/DialogUnits.h"
#include "platform/Resources.h"

#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("关于 skyrake"));
    setupDialog(this, 9, 209, 111);

    auto* icon = placed(new QLabel(this), "icon", 11, 17, 21, 21);
    // The 32-pixel icon, drawn at the screen's density.
    icon->setPixmap(programIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* version = new QLabel(tr("skyrake 1.0 版"), this);
    version->setTextFormat(Qt::PlainText);
    place(version, 40, 10, 84, 8);
    placed(new QLabel(tr("版本 %1").arg(QStringLiteral(SKYRAKE_VERSION)), this), "notice1", 40, 25, 73, 8);

    auto* ok = placed(new QPushButton(tr("确定"), this), "ok", 152, 7, 50, 14);
    ok->setDefault(true);
    auto* home = placed(new QPushButton(linkTarget(cmd::AuthorHome), this), "home", 39, 55, 131, 14);
    auto* mail = placed(new QPushButton(authorMailAddress(), this), "mail", 39, 85, 131, 14);

    placed(new QLabel(tr("GPLv3+"), this), "notice2", 123, 25, 41, 8);
    auto* homeCaption = new QLabel(tr("我的主页：%1").arg(authorHomeTitle()), this);
    homeCaption->setAlignment(Qt::AlignHCenter);
    place(homeCaption, 39, 43, 131, 8);
    auto* mailCaption = new QLabel(tr("给我发E-MAIL"), this);
    mailCaption->setAlignment(Qt::AlignHCenter);
    place(mailCaption, 39, 73, 131, 8);

    // Tab order as the controls stand in the template.
    setTabOrder(ok, home);
    setTabOrder(home, mail);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(home, &QPushButton::clicked, this, &CAboutDlg::OnAuthorHome);
    connect(mail, &QPushButton::clicked, this, &CAboutDlg::OnMailAuthor);
}

void CAboutDlg::OnAuthorHome()
{
    OpenLink(linkTarget(cmd::AuthorHome));
}

void CAboutDlg::OnMailAuthor()
{
    OpenLink(linkTarget(cmd::MailAuthor));
}
