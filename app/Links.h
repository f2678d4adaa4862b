#pragma once

#include <QString>

// The fixed targets of the link commands and the About box's buttons.

// The target of link command `id` (web links, the author's homepage and mail); empty for an id
// that is no link.
QString linkTarget(int id);
// The author's mail address alone, as the About box shows it.
QString authorMailAddress();
// Hands a target to the desktop shell; the outcome is not looked at.
void OpenLink(const QString& target);
