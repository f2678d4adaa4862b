// Routing, the enable rules as the menus and buttons show them, keys, prompts while hovering,
// and the View menu's bars.
#include "ShellFixture.h"

#include "../support/ModalScript.h"
#include "platform/CommandIds.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QTest>
#include <QToolBar>

namespace {

std::vector<int> disabledOf(CMainFrame* frame, const std::vector<int>& ids)
{
    frame->updateActions();
    std::vector<int> disabled;
    for (int id : ids) {
        if (!frame->action(id)->isEnabled())
            disabled.push_back(id);
    }
    return disabled;
}

const std::vector<int> pictureCommands = {
    cmd::ZoomIn,    cmd::ZoomOut,  cmd::ChannelRed,  cmd::ChannelGreen, cmd::ChannelBlue, cmd::Grid,
    cmd::PlayStart, cmd::PlayStop, cmd::NextPicture, cmd::PrevPicture,  cmd::Composite};
const std::vector<int> alwaysOn = {
    cmd::PictureList,       cmd::ImportPictures,   cmd::SetSpeed,      cmd::ViewReport, cmd::InitialPosition,
    cmd::LinkSungrazerHome, cmd::LinkPersonalHome, cmd::AuthorHome,    cmd::MailAuthor, cmd::AppAbout,
    cmd::AppExit,           cmd::ViewToolbar,      cmd::ViewStatusBar, cmd::FileNew,    cmd::FileOpen,
    cmd::FileSave,          cmd::FilePrint};
// Nobody handles these: their keys do nothing.
const std::vector<int> neverOn = {cmd::EditCopy, cmd::EditCut,  cmd::EditPaste,
                                  cmd::EditUndo, cmd::NextPane, cmd::PrevPane};

} // namespace

TEST_F(ShellTest, StartsMaximisedWithReadyLineAndCountAndCaption)
{
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_EQ(pane(0), QStringLiteral("就绪"));
    EXPECT_EQ(pane(4), QStringLiteral("共有0幅图片"));
    for (int i : {1, 2, 3})
        EXPECT_TRUE(pane(i).isEmpty()) << i;
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("SkyRake"));
    EXPECT_EQ(frame->statusPanes()->paneWidth(Pane::Name), 200);
    EXPECT_FALSE(frame->windowIcon().isNull());
    // The toolbar moves, docks on any edge and floats; the offscreen platform tells no lock keys.
    EXPECT_TRUE(frame->toolBar()->isMovable());
    EXPECT_TRUE(frame->toolBar()->isFloatable());
    EXPECT_EQ(frame->toolBar()->allowedAreas(), Qt::AllToolBarAreas);
    EXPECT_EQ(frame->toolBarArea(frame->toolBar()), Qt::TopToolBarArea);
    for (int i : {5, 6, 7})
        EXPECT_TRUE(pane(i).isEmpty()) << i;
}

TEST_F(ShellTest, EnableRulesWithNoOneAndSeveralPictures)
{
    using Ids = std::vector<int>;
    EXPECT_EQ(disabledOf(frame, pictureCommands), pictureCommands);
    EXPECT_EQ(disabledOf(frame, alwaysOn), Ids{});
    EXPECT_EQ(disabledOf(frame, neverOn), neverOn);

    load({lasco512Jpg});
    EXPECT_EQ(disabledOf(frame, pictureCommands),
              (Ids{cmd::PlayStart, cmd::PlayStop, cmd::NextPicture, cmd::PrevPicture, cmd::Composite}));
    EXPECT_EQ(disabledOf(frame, alwaysOn), Ids{});
    // Channels and grid show their check marks.
    EXPECT_TRUE(frame->action(cmd::ChannelRed)->isChecked());
    EXPECT_TRUE(frame->action(cmd::Grid)->isChecked());

    load({lasco512Second});
    EXPECT_EQ(disabledOf(frame, pictureCommands), Ids{});
    EXPECT_EQ(disabledOf(frame, alwaysOn), Ids{});
    EXPECT_EQ(disabledOf(frame, neverOn), neverOn);
}

TEST_F(ShellTest, ButtonsFollowTheWorkAsItChanges)
{
    // No command runs and nobody asks for an update: the announcements alone refresh the buttons
    // within one turn of the event loop.
    const auto appendSecond = [this] {
        auto loaded = LoadPictureFile(fixture(lasco512Second), view->dpiX(), view->dpiY());
        view->appendPicture(
            std::make_unique<CPictureItem>(std::move(loaded->picture), loaded->name, QString()));
    };
    const struct
    {
        const char* change;
        std::function<void()> make;
        int id;
        bool enabled;
    } steps[] = {
        {"a second picture", appendSecond, cmd::NextPicture, true},
        {"the first removed", [this] { view->removePicture(0); }, cmd::NextPicture, false},
        {"none left", [this] { view->clearPictures(); }, cmd::ZoomIn, false},
    };
    load({lasco512Jpg});
    for (const auto& step : steps) {
        step.make();
        QCoreApplication::processEvents();
        EXPECT_EQ(frame->action(step.id)->isEnabled(), step.enabled) << step.change;
    }
}

TEST_F(ShellTest, DisabledCommandsKeyAndContextItemDoNothing)
{
    load({lasco512Jpg});
    const int first = view->currentIndex();
    QTest::keyClick(frame, Qt::Key_PageDown);
    QTest::keyClick(frame, Qt::Key_PageUp);
    settle();
    EXPECT_EQ(view->currentIndex(), first);

    // The right-button menu shows its items enabled, but "下一幅" is refused all the same.
    bool chosen = false;
    QTimer::singleShot(50, frame, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions()) {
            if (action->text() == QStringLiteral("下一幅")) {
                EXPECT_TRUE(action->isEnabled());
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                chosen = true;
                return;
            }
        }
        menu->close();
    });
    view->OnRButtonDown(view->mapToGlobal(QPoint(10, 10)));
    settle();
    EXPECT_TRUE(chosen);
    EXPECT_EQ(view->currentIndex(), first);

    // With a second picture the same key steps: the key itself does arrive.
    load({lasco512Second});
    QTest::keyClick(frame, Qt::Key_PageDown);
    settle();
    EXPECT_NE(view->currentIndex(), first);
}

TEST_F(ShellTest, EditAndPaneKeysDoNothing)
{
    load({lasco512Jpg, lasco512Second});
    const QImage before = view->grab().toImage();
    const int openDialogs = desktop.fileDialogs;
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_V),
                                    QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::CTRL | Qt::Key_Z),
                                    QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)})
        QTest::keySequence(frame, key);
    settle();
    EXPECT_EQ(view->grab().toImage(), before);
    EXPECT_EQ(desktop.fileDialogs, openDialogs);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(ShellTest, ViewsBindingOfFileOpenHidesTheApplications)
{
    // Both bind 57601; the view is asked first, so Ctrl+O is the view's append dialog and the
    // application's document dialog never opens.
    ASSERT_NE(app->commands().handler(cmd::FileOpen), nullptr);
    ASSERT_NE(view->commands().handler(cmd::FileOpen), nullptr);
    desktop.queueCancel();
    ModalScript script;
    script.then([](QWidget* dialog) { dialog->close(); });
    script.run([&] {
        QTest::keySequence(frame, QKeySequence(Qt::CTRL | Qt::Key_O));
        settle();
    });
    EXPECT_EQ(desktop.fileDialogs, 1);
    EXPECT_EQ(script.stepsRun(), 0) << "a modal dialog other than the picture file dialog opened";
}

TEST_F(ShellTest, HoveringAButtonPromptsInTheMessageLine)
{
    const auto hover = [&](int id) {
        QWidget* button = frame->toolBar()->widgetForAction(frame->action(id));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(button, &enter);
        const QString shown = pane(0);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
        return shown;
    };
    EXPECT_EQ(hover(cmd::ImportPictures), QStringLiteral("导入图片"));
    EXPECT_EQ(pane(0), QStringLiteral("就绪"));
    EXPECT_EQ(hover(cmd::SetSpeed).trimmed(), QString());
    EXPECT_EQ(hover(cmd::AppAbout), QStringLiteral("显示程序信息，版本号和版权"));
    load({lasco512Jpg});
    EXPECT_EQ(hover(cmd::Grid).trimmed(), QString());
    EXPECT_EQ(pane(0), QStringLiteral("就绪"));
}

TEST_F(ShellTest, HighlightedMenuItemPromptsInTheMessageLine)
{
    QMenu* viewMenu = nullptr;
    for (QObject* object : frame->action(cmd::ViewToolbar)->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(object))
            viewMenu = menu;
    }
    ASSERT_NE(viewMenu, nullptr);
    viewMenu->popup(frame->mapToGlobal(QPoint(40, 40)));
    settle();
    viewMenu->setActiveAction(frame->action(cmd::ViewToolbar));
    EXPECT_EQ(pane(0), QStringLiteral("显示或隐藏工具栏"));
    viewMenu->setActiveAction(frame->action(cmd::InitialPosition));
    EXPECT_EQ(pane(0).trimmed(), QString());
    viewMenu->close();
    settle();
    EXPECT_EQ(pane(0), QStringLiteral("就绪"));
}

TEST_F(ShellTest, ViewMenuShowsAndHidesTheBarsWithCheckMarks)
{
    QAction* toolbar = frame->action(cmd::ViewToolbar);
    QAction* statusBar = frame->action(cmd::ViewStatusBar);
    frame->updateActions();
    EXPECT_TRUE(toolbar->isChecked());
    EXPECT_TRUE(statusBar->isChecked());

    toolbar->trigger();
    EXPECT_TRUE(frame->toolBar()->isHidden());
    EXPECT_FALSE(toolbar->isChecked());
    toolbar->trigger();
    EXPECT_FALSE(frame->toolBar()->isHidden());
    EXPECT_TRUE(toolbar->isChecked());

    statusBar->trigger();
    EXPECT_TRUE(frame->statusPanes()->isHidden());
    EXPECT_FALSE(statusBar->isChecked());
    // The panes stay writable while the bar is hidden, and show their texts when it comes back.
    load({lasco512Jpg});
    statusBar->trigger();
    EXPECT_FALSE(frame->statusPanes()->isHidden());
    EXPECT_TRUE(statusBar->isChecked());
    EXPECT_EQ(pane(4), QStringLiteral("共有1幅图片"));
    EXPECT_EQ(pane(3), QStringLiteral("lasco_c3_20130513_1654_512.jpg"));
}

TEST_F(ShellTest, PrintAsksForThePrinterFirst)
{
    load({lasco512Jpg});
    ModalScript script;
    script.on<QPrintDialog>([](QPrintDialog* dialog) { dialog->reject(); });
    script.run([&] { frame->action(cmd::FilePrint)->trigger(); });
    EXPECT_EQ(script.stepsRun(), 1);
    EXPECT_EQ(script.wrongDialogs, 0);

    // What reaches the page is the view's own printing, onto a PDF here.
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("page.pdf")));
    view->printPage(printer);
    EXPECT_GT(QFileInfo(printer.outputFileName()).size(), 0);
}

namespace {

// Opens the right-button menu at `at`, hands it to `choose` while it is open, and returns the
// texts of its places as they were shown (empty for a separator).
QStringList contextMenu(CSkyrakeView* view, QPoint at, const std::function<void(QMenu*)>& choose)
{
    QStringList places;
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || seen)
            return;
        seen = true;
        poll.stop();
        EXPECT_EQ(menu->pos(), view->mapToGlobal(at));
        for (QAction* action : menu->actions()) {
            places << (action->isSeparator() ? QString() : action->text());
            EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
            EXPECT_FALSE(action->isChecked());
        }
        choose(menu);
    });
    poll.start();
    QTest::mouseClick(view, Qt::RightButton, {}, at);
    EXPECT_TRUE(seen);
    return places;
}

void choose(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            menu->setActiveAction(action);
            QTest::keyClick(menu, Qt::Key_Return);
            return;
        }
    }
    ADD_FAILURE() << "no place " << text.toStdString();
    menu->close();
}

} // namespace

TEST_F(ShellTest, TheRightButtonMenuOffersTenPlacesAndCommandsRunOnlyWhenAllowed)
{
    const QString zoomIn = QString::fromUtf8("放大");

    const QStringList places = contextMenu(view, QPoint(50, 60), [&](QMenu* menu) { choose(menu, zoomIn); });
    const QStringList expected = {zoomIn,
                                  QString::fromUtf8("缩小"),
                                  QString(),
                                  QString::fromUtf8("下一幅"),
                                  QString::fromUtf8("前一幅"),
                                  QString(),
                                  QString::fromUtf8("开始播放"),
                                  QString::fromUtf8("停止播放"),
                                  QString(),
                                  QString::fromUtf8("初始位置")};
    EXPECT_EQ(places, expected);
    settle();
    EXPECT_EQ(view->placement().zoom(), 1.0); // no picture: zooming is not allowed
    EXPECT_EQ(pane(2), QString());

    // With one picture, zoom runs and stepping does not.
    load({lasco512Jpg});
    contextMenu(view, QPoint(50, 60), [&](QMenu* menu) { choose(menu, zoomIn); });
    EXPECT_EQ(view->placement().zoom(), 1.5);
    EXPECT_EQ(pane(2), "150%");
    frame->statusPanes()->setPaneText(Pane::Name, QString());
    contextMenu(view, QPoint(50, 60), [&](QMenu* menu) { choose(menu, QString::fromUtf8("下一幅")); });
    EXPECT_EQ(pane(3), QString());
    EXPECT_TRUE(desktop.messages.isEmpty());
}
