#include "app/CommandTable.h"

#include "app/CommandIds.h"

#include <QtGlobal>

namespace {

// clang-format off
const CommandInfo table[] = {
    // id                     label                               prompt                                 tooltip                       icon
    {cmd::NextPicture,       "",                                  QT_TR_NOOP("后一幅"),                   QT_TR_NOOP("后一幅"),          "next"},
    {cmd::PrevPicture,       "",                                  QT_TR_NOOP("前一幅"),                   QT_TR_NOOP("前一幅"),          "previous"},
    {cmd::PlayStart,         "",                                  QT_TR_NOOP("开始播放"),                 QT_TR_NOOP("开始播放"),        "play"},
    {cmd::PlayStop,          "",                                  QT_TR_NOOP("停止播放"),                 QT_TR_NOOP("停止播放"),        "stop"},
    {cmd::ZoomIn,            "",                                  QT_TR_NOOP("放大"),                     QT_TR_NOOP("放大"),            "zoom-in"},
    {cmd::ZoomOut,           "",                                  QT_TR_NOOP("缩小"),                     QT_TR_NOOP("缩小"),            "zoom-out"},
    {cmd::PictureList,       QT_TR_NOOP("图片列表"),              QT_TR_NOOP("图片列表"),                 QT_TR_NOOP("图片列表"),        "list"},
    {cmd::PanRight,          "",                                  "",                                    "",                           ""},
    {cmd::PanLeft,           "",                                  "",                                    "",                           ""},
    {cmd::PanUp,             "",                                  "",                                    "",                           ""},
    {cmd::PanDown,           "",                                  "",                                    "",                           ""},
    {cmd::SetSpeed,          "",                                  "",                                    QT_TR_NOOP("设置速度"),        "speed"},
    {cmd::InitialPosition,   QT_TR_NOOP("初始位置"),              "",                                    "",                           ""},
    {cmd::Composite,         QT_TR_NOOP("合并图象"),              QT_TR_NOOP("图像合成"),                 QT_TR_NOOP("图像合成"),        "composite"},
    {cmd::ViewReport,        "",                                  QT_TR_NOOP("查看报告"),                 QT_TR_NOOP("查看报告"),        "report"},
    {cmd::ChannelRed,        QT_TR_NOOP("红"),                    QT_TR_NOOP("色彩通道——红"),             QT_TR_NOOP("色彩通道——红"),    "red"},
    {cmd::ChannelGreen,      QT_TR_NOOP("绿"),                    QT_TR_NOOP("色彩通道——绿"),             QT_TR_NOOP("色彩通道——绿"),    "green"},
    {cmd::ChannelBlue,       QT_TR_NOOP("蓝"),                    QT_TR_NOOP("色彩通道——蓝"),             QT_TR_NOOP("色彩通道——蓝"),    "blue"},
    {cmd::Grid,              "",                                  "",                                    "",                           "grid"},
    {cmd::ImportPictures,    QT_TR_NOOP("导入图片"),              QT_TR_NOOP("导入图片"),                 QT_TR_NOOP("导入图片"),        "import"},
    {cmd::LinkSungrazerHome, QT_TR_NOOP("掠日彗星主页"),          QT_TR_NOOP("该网址包括了多数要用到的链接"), QT_TR_NOOP("该网址包括了多数要用到的链接"), ""},
    {cmd::LinkSungrazerHistory, QT_TR_NOOP("掠日彗星及历史发现情况"), "",                                  "",                           ""},
    {cmd::LinkRecentReports, QT_TR_NOOP("最近的SOHO彗星发现报告"), "",                                   "",                           ""},
    {cmd::LinkReportForm,    QT_TR_NOOP("在线发布发现报告"),      "",                                    "",                           ""},
    {cmd::LinkC3_512,        QT_TR_NOOP("最新图片：LASCO C3 512X512"), "",                               "",                           ""},
    {cmd::LinkC3_1024,       QT_TR_NOOP("最新图片：LASCO C3 1024X1024"), "",                             "",                           ""},
    {cmd::LinkC2_512,        QT_TR_NOOP("最新图片：LASCO C2 512X512"), "",                               "",                           ""},
    {cmd::LinkC2_1024,       QT_TR_NOOP("最新图片：LASCO C2 1024X1024"), "",                             "",                           ""},
    {cmd::LinkBlackWhite,    QT_TR_NOOP("最新黑白图片"),          "",                                    "",                           ""},
    {cmd::LinkArchive,       QT_TR_NOOP("历史图片资料查询"),      "",                                    "",                           ""},
    {cmd::LinkPersonalHome,  QT_TR_NOOP("COBS彗星观测数据库——Črni Vrh天文台的主页"), "",                "",                           ""},
    {cmd::AuthorHome,        QT_TR_NOOP("作者主页"),              "",                                    "",                           ""},
    {cmd::MailAuthor,        QT_TR_NOOP("给作者发E-MAIL"),        "",                                    "",                           ""},
    {cmd::AppAbout,          QT_TR_NOOP("关于 skyrake(&A)..."),   QT_TR_NOOP("显示程序信息，版本号和版权"), QT_TR_NOOP("关于"),        "about"},
    {cmd::AppExit,           QT_TR_NOOP("退出(&X)"),              QT_TR_NOOP("退出应用程序；提示保存文档"), QT_TR_NOOP("退出"),        ""},
    {cmd::ViewToolbar,       QT_TR_NOOP("工具栏(&T)"),            QT_TR_NOOP("显示或隐藏工具栏"),         QT_TR_NOOP("显隐工具栏"),      ""},
    {cmd::ViewStatusBar,     QT_TR_NOOP("状态栏(&S)"),            QT_TR_NOOP("显示或隐藏状态栏"),         QT_TR_NOOP("显隐状态栏"),      ""},
    {cmd::FileNew,           "",                                  "",                                    "",                           ""},
    {cmd::FileOpen,          "",                                  "",                                    "",                           ""},
    {cmd::FileSave,          "",                                  "",                                    "",                           ""},
    {cmd::FilePrint,         "",                                  "",                                    "",                           ""},
    {cmd::EditCopy,          "",                                  "",                                    "",                           ""},
    {cmd::EditCut,           "",                                  "",                                    "",                           ""},
    {cmd::EditPaste,         "",                                  "",                                    "",                           ""},
    {cmd::EditUndo,          "",                                  "",                                    "",                           ""},
    {cmd::NextPane,          "",                                  "",                                    "",                           ""},
    {cmd::PrevPane,          "",                                  "",                                    "",                           ""},
};

const int toolbar[] = {
    cmd::PictureList, cmd::ImportPictures, 0,
    cmd::PlayStart, cmd::PlayStop, 0,
    cmd::NextPicture, cmd::PrevPicture, 0,
    cmd::ZoomIn, cmd::ZoomOut, 0,
    cmd::SetSpeed, 0,
    cmd::Grid, cmd::Composite, cmd::ChannelRed, cmd::ChannelGreen, cmd::ChannelBlue, 0,
    cmd::ViewReport, 0,
    cmd::AppAbout,
};
// clang-format on

} // namespace

std::span<const CommandInfo> commandTable()
{
    return table;
}

const CommandInfo* commandInfo(int id)
{
    for (const CommandInfo& info : table) {
        if (info.id == id)
            return &info;
    }
    return nullptr;
}

const std::vector<Menu>& mainMenu()
{
    static const std::vector<Menu> menus = {
        {QT_TR_NOOP("文件(&F)"), {{cmd::PictureList}, {cmd::ImportPictures}, {0}, {cmd::AppExit}}},
        {QT_TR_NOOP("查看(&V)"),
         {{cmd::InitialPosition},
          {-1, QT_TR_NOOP("色彩通道"), {{cmd::ChannelRed}, {cmd::ChannelGreen}, {cmd::ChannelBlue}}},
          {0},
          {cmd::ViewToolbar},
          {cmd::ViewStatusBar},
          {cmd::Composite}}},
        {QT_TR_NOOP("常用链接"),
         {{cmd::LinkSungrazerHome},
          {cmd::LinkReportForm},
          {cmd::LinkRecentReports},
          {cmd::LinkSungrazerHistory},
          {0},
          {cmd::LinkC3_512},
          {cmd::LinkC3_1024},
          {cmd::LinkC2_512},
          {cmd::LinkC2_1024},
          {cmd::LinkBlackWhite},
          {cmd::LinkArchive},
          {0},
          {cmd::LinkPersonalHome}}},
        {QT_TR_NOOP("帮助(&H)"), {{cmd::AppAbout}, {cmd::AuthorHome}, {cmd::MailAuthor}}},
    };
    return menus;
}

std::span<const int> toolbarLayout()
{
    return toolbar;
}

const std::vector<Accelerator>& accelerators()
{
    static const std::vector<Accelerator> keys = {
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
    return keys;
}
