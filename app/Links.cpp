#include "app/Links.h"

#include "app/CommandTable.h"
#include "platform/CommandIds.h"
#include "platform/Desktop.h"

QString authorMailAddress()
{
    return linkTarget(cmd::MailAuthor).remove(QStringLiteral("mailto:"));
}

QString authorHomeTitle()
{
    // The homepage is the SOHO project's site for now (see the command table).
    return QStringLiteral("SOHO");
}

void OpenLink(const QString& target)
{
    Desktop::instance().openLink(target);
}
