#include "app/AboutDlg.h"

#include "app/CommandIds.h"
#include "app/Links.h"
#include "platform/DialogUnits.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("关于 skyrake"));
    setupDialog(this, 9, 209, 111);
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/res/skyrake.svg")).pixmap(32, 32));
    place(icon, 11, 17, 21, 21);
    auto* version = new QLabel(tr("skyrake 1.0 版"), this);
    version->setTextFormat(Qt::PlainText);
    place(version, 40, 10, 84, 8);
    auto* notice1 = new QLabel(tr("版本 %1").arg(QStringLiteral(SKYRAKE_VERSION)), this);
    place(notice1, 40, 25, 73, 8);
    auto* ok = new QPushButton(tr("确定"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    place(ok, 152, 7, 50, 14);
    auto* home = new QPushButton(linkTarget(cmd::AuthorHome), this);
    home->setObjectName(QStringLiteral("home"));
    place(home, 39, 55, 131, 14);
    auto* mail = new QPushButton(linkTarget(cmd::MailAuthor).mid(7), this);
    mail->setObjectName(QStringLiteral("mail"));
    place(mail, 39, 85, 131, 14);
    auto* notice2 = new QLabel(tr("GPL-3.0+"), this);
    place(notice2, 123, 25, 41, 8);
    auto* homeCaption = new QLabel(tr("我的主页：SkyRake"), this);
    homeCaption->setAlignment(Qt::AlignHCenter);
    place(homeCaption, 39, 43, 131, 8);
    auto* mailCaption = new QLabel(tr("给我发E-MAIL"), this);
    mailCaption->setAlignment(Qt::AlignHCenter);
    place(mailCaption, 39, 73, 131, 8);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(home, &QPushButton::clicked, this, [] { OpenLink(linkTarget(cmd::AuthorHome)); });
    connect(mail, &QPushButton::clicked, this, [] { OpenLink(linkTarget(cmd::MailAuthor)); });
}
