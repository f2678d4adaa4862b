#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

// The dialogs are laid out as their templates give them, in dialog units: a quarter of the
// font's average character width across and an eighth of its height down.

// The dialogs' font: "宋体" where it is installed, else a Song/Ming-style CJK font.
QFont dialogFont(int pointSize);
// Gives `dialog` its font and its size in dialog units. Where the interface shows a translation
// rather than the texts the templates were drawn for, the dialog fits its texts when it is shown.
void setupDialog(QWidget* dialog, int pointSize, int width, int height);
// Places `control` at the dialog-unit rectangle of its template.
void place(QWidget* control, int x, int y, int width, int height);

// Widens each control of `dialog` that is too narrow for its text. The room is made at a vertical
// cut along the control's right edge: what starts right of the cut moves right, what reaches the
// cut grows with the control (a column of buttons keeps one width), and the dialog grows too.
void fitTexts(QWidget* dialog);
// The width `control` needs to show its whole text in one line, 0 for a control without one
// (no text, a picture, or a text that wraps).
int textWidth(const QWidget* control);

// Names `control` (tests and accessibility tools find it by name), places it as `place` does and
// returns it, so that a dialog's controls read one line each, in their template's order.
template <typename Control>
Control* placed(Control* control, const char* name, int x, int y, int width, int height)
{
    control->setObjectName(QString::fromLatin1(name));
    place(control, x, y, width, height);
    return control;
}
