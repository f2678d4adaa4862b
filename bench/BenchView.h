#pragma once

#include "pictures/LoadPictureFile.h"
#include "platform/PaneBar.h"
#include "viewer/SkyrakeView.h"

#include <QCoreApplication>
#include <QMainWindow>

#include <memory>

// A view in a window with its status panes at a fixed client size, holding `count` copies of the
// real 1024 x 1024 LASCO C3 frame with the first shown: the set-up of the display benchmarks.
struct BenchView
{
    BenchView(int clientWidth, int clientHeight, int count)
    {
        window.setStatusBar(panes);
        window.setCentralWidget(view);
        view->setFixedSize(clientWidth, clientHeight);
        window.show();
        settle();
        const QString path = QStringLiteral(SKYRAKE_FIXTURES "/real/lasco_c3_20130513_1654_1024.jpg");
        for (int i = 0; i < count; ++i) {
            auto loaded = LoadPictureFile(path, view->dpiX(), view->dpiY());
            if (!loaded)
                qFatal("cannot load %s", qPrintable(path));
            view->appendPicture(
                std::make_unique<CPictureItem>(std::move(loaded->picture), loaded->name, path));
        }
        view->ShowFirst();
        settle();
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    QMainWindow window;
    PaneBar* panes = new PaneBar(&window);
    CSkyrakeView* view = new CSkyrakeView(&window);
};
