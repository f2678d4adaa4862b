#pragma once

#include "pictures/LoadPictureFile.h"
#include "platform/PaneBar.h"
#include "viewer/SkyrakeView.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QStringList>

// A view in a window with the status bar's panes, at a fixed client size, for widget tests.
// Pictures are appended straight into the sequence (as File Open does) and the first is shown.
class ViewHarness
{
public:
    explicit ViewHarness(int clientWidth = 600, int clientHeight = 400)
    {
        window.setStatusBar(panes);
        window.setCentralWidget(view);
        window.show();
        view->setFixedSize(clientWidth, clientHeight);
        settle();
    }

    // Lets queued work (the deferred OnDraw) run.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // Appends the fixture pictures at the tail and shows the head, as File Open ends.
    void load(const QStringList& paths)
    {
        for (const QString& path : paths) {
            auto loaded = LoadPictureFile(path, view->dpiX(), view->dpiY());
            if (loaded)
                view->appendPicture(
                    std::make_unique<CPictureItem>(std::move(loaded->picture), loaded->name, path));
        }
        view->ShowFirst();
        settle();
    }

    QString pane(int index) const { return panes->paneText(Pane(index)); }

    QMainWindow window;
    PaneBar* panes = new PaneBar(&window);
    CSkyrakeView* view = new CSkyrakeView(&window);
};
