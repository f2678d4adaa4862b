#pragma once

#include "../support/FakeDesktop.h"
#include "../support/Fixtures.h"
#include "app/MainFrame.h"
#include "app/SkyrakeApp.h"
#include "pictures/LoadPictureFile.h"
#include "platform/PaneBar.h"
#include "viewer/SkyrakeView.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

// The whole program as it starts: application, document and main window, with the settings in
// a private folder and the desktop's dialogs and links scripted.
class ShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        app = std::make_unique<CSkyrakeApp>();
        ASSERT_TRUE(app->InitInstance());
        frame = app->mainFrame();
        view = frame->view();
        settle();
    }

    void TearDown() override { app.reset(); }

    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    // Appends fixture pictures, as Ctrl+O does, and shows the first.
    void load(const QStringList& names)
    {
        for (const QString& name : names) {
            const QString path = fixture(name);
            auto loaded = LoadPictureFile(path, view->dpiX(), view->dpiY());
            ASSERT_TRUE(loaded) << name.toStdString();
            view->appendPicture(
                std::make_unique<CPictureItem>(std::move(loaded->picture), loaded->name, path));
        }
        view->ShowFirst();
        frame->updateActions();
        settle();
    }

    QString pane(int index) const { return frame->statusPanes()->paneText(Pane(index)); }

    QTemporaryDir settingsDir;
    FakeDesktop desktop; // outlives the application, which may still hand it links
    std::unique_ptr<CSkyrakeApp> app;
    CMainFrame* frame = nullptr;
    CSkyrakeView* view = nullptr;
};

inline const QString lasco512Second = QStringLiteral("real/lasco_c3data_c2palette_512.jpg");
