// The menus, toolbar, keys, prompts and tooltips as the observer meets them in the main window.
#include "ShellFixture.h"

#include "platform/CommandIds.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// One line per menu place: "label" for a command, "-" for a separator, "label>" for a submenu
// followed by its items indented with two blanks.
QStringList describe(const QMenu* menu, const QString& indent = {})
{
    QStringList lines;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            lines << indent + QStringLiteral("-");
        else if (action->menu()) {
            lines << indent + action->text() + QStringLiteral(">");
            lines << describe(action->menu(), indent + QStringLiteral("  "));
        } else
            lines << indent + action->text() + QStringLiteral("=") + QString::number(action->data().toInt());
    }
    return lines;
}

QStringList lines(std::initializer_list<const char*> texts)
{
    QStringList result;
    for (const char* text : texts)
        result << QString::fromUtf8(text);
    return result;
}

} // namespace

TEST_F(ShellTest, MainMenuHasItsMenusInOrderWithLabelsMnemonicsAndIds)
{
    QStringList titles;
    for (QAction* top : frame->menuBar()->actions())
        titles << top->text();
    EXPECT_EQ(titles, lines({"文件(&F)", "查看(&V)", "常用链接", "帮助(&H)"}));

    const QList<QAction*> tops = frame->menuBar()->actions();
    ASSERT_EQ(tops.size(), 4);
    EXPECT_EQ(describe(tops[0]->menu()), lines({"图片列表=32779", "导入图片=32797", "-", "退出(&X)=57665"}));
    EXPECT_EQ(describe(tops[1]->menu()),
              lines({"初始位置=32790", "色彩通道>", "  红=32793", "  绿=32794", "  蓝=32795", "-",
                     "工具栏(&T)=59392", "状态栏(&S)=59393", "合并图象=32791"}));
    EXPECT_EQ(describe(tops[2]->menu()),
              lines({"掠日彗星主页=32798", "在线发布发现报告=32801", "最近的SOHO彗星发现报告=32800",
                     "掠日彗星及历史发现情况=32799", "-", "最新图片：LASCO C3 512X512=32802",
                     "最新图片：LASCO C3 1024X1024=32803", "最新图片：LASCO C2 512X512=32804",
                     "最新图片：LASCO C2 1024X1024=32805", "最新黑白图片=32806", "历史图片资料查询=32807",
                     "-", "COBS彗星观测数据库——Črni Vrh天文台的主页=32808"}));
    EXPECT_EQ(describe(tops[3]->menu()),
              lines({"关于 skyrake(&A)...=57664", "作者主页=32809", "给作者发E-MAIL=32810"}));
}

TEST_F(ShellTest, ToolbarHasSixteenButtonsWithSeparatorsInOrderAndTheirTooltips)
{
    QStringList buttons;
    for (QAction* action : frame->toolBar()->actions()) {
        if (action->isSeparator()) {
            buttons << QStringLiteral("|");
            continue;
        }
        auto* button = qobject_cast<QToolButton*>(frame->toolBar()->widgetForAction(action));
        ASSERT_NE(button, nullptr);
        buttons << QString::number(action->data().toInt()) + QStringLiteral(":") + button->toolTip();
    }
    EXPECT_EQ(buttons, lines({"32779:图片列表",
                              "32797:导入图片",
                              "|",
                              "32775:开始播放",
                              "32776:停止播放",
                              "|",
                              "32772:后一幅",
                              "32773:前一幅",
                              "|",
                              "32777:放大",
                              "32778:缩小",
                              "|",
                              "32788:设置速度",
                              "|",
                              "32796:",
                              "32791:图像合成",
                              "32793:色彩通道——红",
                              "32794:色彩通道——绿",
                              "32795:色彩通道——蓝",
                              "|",
                              "32792:查看报告",
                              "|",
                              "57664:关于"}));
}

TEST_F(ShellTest, ToolbarImagesAreDrawnAtOneAndTwoTimesTheirSize)
{
    for (QAction* action : frame->toolBar()->actions()) {
        if (action->isSeparator())
            continue;
        SCOPED_TRACE(action->data().toInt());
        ASSERT_FALSE(action->icon().isNull());
        for (const int size : {16, 32}) {
            const QImage image = action->icon().pixmap(size, size).toImage();
            ASSERT_EQ(image.size(), QSize(size, size));
            int opaque = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 200;
            EXPECT_GT(opaque, size * size / 16) << "an empty or missing image at " << size;
        }
    }
}

TEST_F(ShellTest, AcceleratorsReachTheirCommands)
{
    const std::pair<QKeySequence, int> rows[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_C), cmd::EditCopy},
        {QKeySequence(Qt::CTRL | Qt::Key_N), cmd::FileNew},
        {QKeySequence(Qt::CTRL | Qt::Key_O), cmd::FileOpen},
        {QKeySequence(Qt::CTRL | Qt::Key_P), cmd::FilePrint},
        {QKeySequence(Qt::CTRL | Qt::Key_S), cmd::FileSave},
        {QKeySequence(Qt::CTRL | Qt::Key_V), cmd::EditPaste},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), cmd::EditUndo},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), cmd::EditCut},
        {QKeySequence(Qt::Key_Down), cmd::PanDown},
        {QKeySequence(Qt::Key_F6), cmd::NextPane},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), cmd::PrevPane},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), cmd::EditCopy},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), cmd::EditPaste},
        {QKeySequence(Qt::Key_Left), cmd::PanLeft},
        {QKeySequence(Qt::Key_PageDown), cmd::NextPicture},
        {QKeySequence(Qt::Key_PageUp), cmd::PrevPicture},
        {QKeySequence(Qt::Key_Right), cmd::PanRight},
        {QKeySequence(Qt::Key_Up), cmd::PanUp},
        {QKeySequence(Qt::CTRL | Qt::Key_X), cmd::EditCut},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), cmd::EditUndo},
    };
    int bound = 0;
    for (const auto& [key, id] : rows) {
        SCOPED_TRACE(key.toString().toStdString());
        int owners = 0;
        for (QAction* action : frame->actions()) {
            if (action->shortcuts().contains(key)) {
                ++owners;
                EXPECT_EQ(action->data().toInt(), id);
                EXPECT_EQ(action->shortcutContext(), Qt::WindowShortcut);
            }
        }
        EXPECT_EQ(owners, 1);
        bound += owners;
    }
    // No key beyond the twenty rows.
    int keys = 0;
    for (QAction* action : frame->actions())
        keys += int(action->shortcuts().size());
    EXPECT_EQ(keys, 20);
    EXPECT_EQ(bound, 20);
}

TEST_F(ShellTest, PromptsOfTheCommands)
{
    // Commands with no prompt of their own leave the message line empty.
    const std::pair<int, const char*> prompts[] = {
        {cmd::NextPicture, "后一幅"},
        {cmd::PrevPicture, "前一幅"},
        {cmd::PlayStart, "开始播放"},
        {cmd::PlayStop, "停止播放"},
        {cmd::ZoomIn, "放大"},
        {cmd::ZoomOut, "缩小"},
        {cmd::PictureList, "图片列表"},
        {cmd::SetSpeed, ""},
        {cmd::InitialPosition, ""},
        {cmd::Composite, "图像合成"},
        {cmd::ViewReport, "查看报告"},
        {cmd::ChannelRed, "色彩通道——红"},
        {cmd::ChannelGreen, "色彩通道——绿"},
        {cmd::ChannelBlue, "色彩通道——蓝"},
        {cmd::Grid, ""},
        {cmd::ImportPictures, "导入图片"},
        {cmd::LinkSungrazerHome, "该网址包括了多数要用到的链接"},
        {cmd::LinkSungrazerHistory, ""},
        {cmd::LinkPersonalHome, ""},
        {cmd::AuthorHome, ""},
        {cmd::MailAuthor, ""},
        {cmd::AppAbout, "显示程序信息，版本号和版权"},
        {cmd::AppExit, "退出应用程序；提示保存文档"},
        {cmd::ViewToolbar, "显示或隐藏工具栏"},
        {cmd::ViewStatusBar, "显示或隐藏状态栏"},
    };
    for (const auto& [id, prompt] : prompts) {
        SCOPED_TRACE(id);
        QAction* action = frame->action(id);
        ASSERT_NE(action, nullptr);
        action->showStatusText(frame);
        EXPECT_EQ(pane(0).trimmed(), QString::fromUtf8(prompt));
        frame->statusBar()->clearMessage();
        EXPECT_EQ(pane(0), QStringLiteral("就绪"));
    }
}
