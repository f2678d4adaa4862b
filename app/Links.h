#pragma once

#include <QString>

// The link commands' one operation and what the About box shows of the links. The targets
// themselves are in the command table.

// The author's mail address alone, as the About box shows it.
QString authorMailAddress();
// The title of the author's homepage, as the About box's caption names it.
QString authorHomeTitle();
// Hands a target to the desktop shell; the outcome is not looked at.
void OpenLink(const QString& target);
