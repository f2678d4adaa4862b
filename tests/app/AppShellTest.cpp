// The application's own commands: links, About, New, Save, and the settings it keeps.
#include "ShellFixture.h"

#include "../support/ModalScript.h"
#include "app/AboutDlg.h"
#include "app/RecentFileList.h"
#include "app/Session.h"
#include "app/SkyrakeDoc.h"
#include "platform/CommandIds.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

TEST_F(ShellTest, LinkItemsHandTheirTargetsToTheShell)
{
    const std::pair<int, const char*> links[] = {
        {cmd::LinkSungrazerHome, "http://sungrazer.nrl.navy.mil/"},
        {cmd::LinkSungrazerHistory, "http://www.arbeitskreis-meteore.de/comets/sungrazer.html"},
        {cmd::LinkRecentReports, "http://sungrazer.nrl.navy.mil/recent.html"},
        {cmd::LinkReportForm, "http://sungrazer.nrl.navy.mil/cometform.html"},
        {cmd::LinkC3_512, "http://sohowww.nascom.nasa.gov/data/realtime/realtime-c3-512.html"},
        {cmd::LinkC3_1024, "http://sohowww.nascom.nasa.gov/data/realtime/realtime-c3-1024.html"},
        {cmd::LinkC2_512, "http://sohowww.nascom.nasa.gov/data/realtime/realtime-c2-512.html"},
        {cmd::LinkC2_1024, "http://sohowww.nascom.nasa.gov/data/realtime/realtime-c2-1024.html"},
        {cmd::LinkBlackWhite, "http://lasco-www.nrl.navy.mil/realtime.html"},
        {cmd::LinkArchive, "http://lasco-www.nrl.navy.mil/cgi-bin/wdb/lasco/images/form"},
        {cmd::LinkPersonalHome, "http://cobs.si"},
    };
    // Links work the same with pictures loaded; choosing one twice opens it twice.
    load({lasco512Jpg, lasco512Second});
    QStringList expected;
    for (const auto& [id, target] : links) {
        frame->action(id)->trigger();
        expected << QString::fromLatin1(target);
    }
    frame->action(cmd::LinkSungrazerHome)->trigger();
    expected << QStringLiteral("http://sungrazer.nrl.navy.mil/");
    EXPECT_EQ(desktop.links, expected);
}

TEST_F(ShellTest, AboutButtonsOpenWhatTheHelpItemsOpen)
{
    frame->action(cmd::AuthorHome)->trigger();
    frame->action(cmd::MailAuthor)->trigger();
    const QStringList fromHelp = desktop.links;
    ASSERT_EQ(fromHelp.size(), 2);
    EXPECT_TRUE(fromHelp[0].startsWith(QStringLiteral("http://")));
    EXPECT_TRUE(fromHelp[1].startsWith(QStringLiteral("mailto:")));
    desktop.links.clear();

    QStringList captions;
    bool stayedOpen = false;
    ModalScript script;
    script.on<CAboutDlg>([&](CAboutDlg* about) {
        EXPECT_EQ(about->windowTitle(), QStringLiteral("关于 skyrake"));
        EXPECT_EQ(about->parentWidget(), frame);
        for (const char* name : {"home", "mail"}) {
            captions << about->findChild<QPushButton*>(QString::fromLatin1(name))->text();
            clickButton(about, name);
        }
        stayedOpen = about->isVisible();
        // The caption above the homepage button names the site it opens; the notice the version.
        QStringList labels;
        for (const QLabel* label : about->findChildren<QLabel*>())
            labels << label->text();
        EXPECT_TRUE(labels.contains(QStringLiteral("我的主页：SOHO"))) << labels.join('|').toStdString();
        EXPECT_TRUE(labels.contains(QStringLiteral("版本 1.0.0.1")));
        auto* icon = about->findChild<QLabel*>(QStringLiteral("icon"));
        ASSERT_NE(icon, nullptr);
        EXPECT_FALSE(icon->pixmap().isNull());
        EXPECT_TRUE(about->findChild<QPushButton*>(QStringLiteral("ok"))->isDefault());
        clickButton(about, "ok");
    });
    script.run([&] { frame->action(cmd::AppAbout)->trigger(); });
    EXPECT_EQ(script.stepsRun(), 1);
    EXPECT_EQ(script.wrongDialogs, 0);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(desktop.links, fromHelp);
    // Each button shows the address it opens.
    EXPECT_EQ(captions, (QStringList{fromHelp[0], fromHelp[1].mid(7)}));
    EXPECT_EQ(QUrl(fromHelp[0]).host(), QStringLiteral("sohowww.nascom.nasa.gov")); // SOHO's site
}

TEST_F(ShellTest, NewKeepsPicturesAndRepaints)
{
    load({lasco512Jpg, lasco512Second});
    frame->action(cmd::ZoomIn)->trigger();
    const double zoom = view->placement().zoom();
    const QImage before = view->grab().toImage();
    QTest::keySequence(frame, QKeySequence(Qt::CTRL | Qt::Key_N));
    settle();
    EXPECT_EQ(view->pictures().GetCount(), 2);
    EXPECT_EQ(view->placement().zoom(), zoom);
    EXPECT_EQ(pane(4), QStringLiteral("共有2幅图片"));
    EXPECT_EQ(view->grab().toImage(), before);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(ShellTest, SaveAsksOnceAndWritesTheSessionRememberedAmongRecentFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.skyra"));
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("old contents");
    stale.close();

    desktop.saveAs = path;
    QTest::keySequence(frame, QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_TRUE(isSessionFile(path)); // the old contents replaced
    EXPECT_EQ(app->document()->pathName(), path);

    // The second save goes to the same file without asking.
    desktop.saveAs.reset();
    QFile::remove(path);
    QTest::keySequence(frame, QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_TRUE(isSessionFile(path));

    app->ExitInstance();
    QSettings settings;
    EXPECT_EQ(settings.value(QStringLiteral("Recent File List/File1")).toString(), path);
    EXPECT_EQ(settings.childGroups(),
              (QStringList{QStringLiteral("Display"), QStringLiteral("Recent File List"),
                           QStringLiteral("Search")}));
}

TEST_F(ShellTest, SaveCancelledWritesNothing)
{
    desktop.saveAs.reset();
    QTest::keySequence(frame, QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_TRUE(app->document()->pathName().isEmpty());
    EXPECT_TRUE(app->recentFiles().files().isEmpty());
}

TEST_F(ShellTest, RecentFilesAreReadAtStartAndWrittenAtExit)
{
    app.reset();
    {
        QSettings settings;
        settings.beginGroup(QStringLiteral("Recent File List"));
        for (int i = 1; i <= 5; ++i)
            settings.setValue(QStringLiteral("File%1").arg(i), QStringLiteral("/data/f%1").arg(i));
    }
    app = std::make_unique<CSkyrakeApp>();
    ASSERT_TRUE(app->InitInstance());
    EXPECT_EQ(app->recentFiles().files(),
              (QStringList{QStringLiteral("/data/f1"), QStringLiteral("/data/f2"), QStringLiteral("/data/f3"),
                           QStringLiteral("/data/f4")}));
    app->ExitInstance();
    QSettings settings;
    settings.beginGroup(QStringLiteral("Recent File List"));
    EXPECT_EQ(settings.childKeys(), (QStringList{QStringLiteral("File1"), QStringLiteral("File2"),
                                                 QStringLiteral("File3"), QStringLiteral("File4")}));
}

TEST(RecentFileList, NewestFirstWithoutDuplicatesAndAtMostItsSize)
{
    RecentFileList list(4);
    for (const char* path : {"/a", "/b", "/c", "/d", "/e"})
        list.Add(QString::fromLatin1(path));
    EXPECT_EQ(list.files(), (QStringList{QStringLiteral("/e"), QStringLiteral("/d"), QStringLiteral("/c"),
                                         QStringLiteral("/b")}));
    // The same file by another spelling moves to the front instead of appearing twice.
    list.Add(QStringLiteral("/x/../c"));
    EXPECT_EQ(list.files(), (QStringList{QStringLiteral("/c"), QStringLiteral("/e"), QStringLiteral("/d"),
                                         QStringLiteral("/b")}));
}
