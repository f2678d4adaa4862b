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
    // Each menu's first items first; what SkyRake adds comes after them.
    EXPECT_EQ(describe(tops[0]->menu()).mid(0, 4),
              lines({"图片列表=32779", "导入图片=32797", "-", "退出(&X)=57665"}));
    EXPECT_EQ(describe(tops[0]->menu()).mid(4),
              lines({"-", "打开工作(&O)...=32824", "保存工作(&S)=57603", "工作另存为(&A)...=57604", "-",
                     "获取图片(&G)...=32832", "监视新图片(&W)=32833"}));
    // The first items first; the display stretch only after them.
    EXPECT_EQ(describe(tops[1]->menu()).mid(0, 10),
              lines({"初始位置=32790", "色彩通道>", "  红=32793", "  绿=32794", "  蓝=32795", "-",
                     "工具栏(&T)=59392", "状态栏(&S)=59393", "合并图象=32791", "-"}));
    EXPECT_EQ(describe(tops[1]->menu()).mid(10, 2), lines({"显示拉伸>", "  不拉伸=32811"}));
    EXPECT_EQ(describe(tops[2]->menu()),
              lines({"掠日彗星主页=32798", "在线发布发现报告=32801", "最近的SOHO彗星发现报告=32800",
                     "掠日彗星及历史发现情况=32799", "-", "最新图片：LASCO C3 512X512=32802",
                     "最新图片：LASCO C3 1024X1024=32803", "最新图片：LASCO C2 512X512=32804",
                     "最新图片：LASCO C2 1024X1024=32805", "最新黑白图片=32806", "历史图片资料查询=32807",
                     "-", "COBS彗星观测数据库——Črni Vrh天文台的主页=32808"}));
    EXPECT_EQ(describe(tops[3]->menu()),
              lines({"关于 skyrake(&A)...=57664", "作者主页=32809", "给作者发E-MAIL=32810"}));
}

TEST_F(ShellTest, ToolbarHasTheSixteenButtonsWithSeparatorsInOrderThenItsOwn)
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
    EXPECT_EQ(buttons,
              lines({"32779:图片列表", "32797:导入图片", "|", "32775:开始播放", "32776:停止播放", "|",
                     "32772:后一幅", "32773:前一幅", "|", "32777:放大", "32778:缩小", "|", "32788:设置速度",
                     "|", "32796:", "32791:图像合成", "32793:色彩通道——红", "32794:色彩通道——绿",
                     "32795:色彩通道——蓝", "|", "32792:查看报告", "|", "57664:关于",
                     // Added ones, after the first sixteen.
                     "|", "32825:搜索移动目标"}));
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

TEST_F(ShellTest, EveryKeyOnOneActionOfTheWindow)
{
    QList<QKeySequence> keys;
    for (QAction* action : frame->actions()) {
        for (const QKeySequence& key : action->shortcuts()) {
            EXPECT_FALSE(keys.contains(key)) << key.toString().toStdString() << " bound twice";
            EXPECT_EQ(action->shortcutContext(), Qt::WindowShortcut);
            keys << key;
        }
    }
    // The first twenty; the stretch's, the background's, measuring's, sessions', search's and the sky's.
    EXPECT_EQ(keys.size(), 20 + 19);
    EXPECT_EQ(frame->action(cmd::NextPicture)->shortcuts(),
              QList<QKeySequence>{QKeySequence(Qt::Key_PageDown)});
}
