#pragma once

#include <QCursor>
#include <QIcon>

// The pictures compiled into the program from res/.

// The program icon: drawn sizes from 16 to 256 pixels, for the window and the About box.
QIcon programIcon();
// A toolbar image by its name in the command table (`:/res/toolbar/<name>.svg`); scalable, so
// it stays sharp on a high-density screen.
QIcon toolbarIcon(const QString& name);
// The hand shown while the picture is dragged; its hot spot is the top-left corner.
QCursor handCursor();
