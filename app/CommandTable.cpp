#include "app/CommandTable.h"

#include "platform/CommandIds.h"

#include <QString>

#include <algorithm>

namespace {

// The link targets' hosts:
// A: the Sungrazer Project, where SOHO comet finds are reported.
// B: the meteor society whose site keeps the history of the sungrazers.
// C: the SOHO project, with the realtime coronagraph pictures.
// D: the LASCO coronagraph team.
// E: COBS, the comet observers' database hosted at Crni Vrh observatory.
// SkyRake publishes no homepage or mailbox of its own yet; until it does, the author's homepage is
// the SOHO project's site, where its pictures come from (the About box names it so), and mail
// goes to the local user skyrake.

// The texts are translated in the context "Commands", wherever they are shown.
// clang-format off
const CommandInfo table[] = {
    {.id = cmd::NextPicture, .prompt = QT_TRANSLATE_NOOP("Commands", "后一幅"),
     .tooltip = QT_TRANSLATE_NOOP("Commands", "后一幅"), .icon = "next", .toolbar = 31,
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "下一幅"), .context = 21, .keys = {Qt::Key_PageDown}},
    {.id = cmd::PrevPicture, .prompt = QT_TRANSLATE_NOOP("Commands", "前一幅"),
     .tooltip = QT_TRANSLATE_NOOP("Commands", "前一幅"), .icon = "previous", .toolbar = 32,
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "前一幅"), .context = 22, .keys = {Qt::Key_PageUp}},
    {.id = cmd::PlayStart, .prompt = QT_TRANSLATE_NOOP("Commands", "开始播放"),
     .tooltip = QT_TRANSLATE_NOOP("Commands", "开始播放"), .icon = "play", .toolbar = 21,
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "开始播放"), .context = 31},
    {.id = cmd::PlayStop, .prompt = QT_TRANSLATE_NOOP("Commands", "停止播放"),
     .tooltip = QT_TRANSLATE_NOOP("Commands", "停止播放"), .icon = "stop", .toolbar = 22,
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "停止播放"), .context = 32},
    {.id = cmd::ZoomIn, .prompt = QT_TRANSLATE_NOOP("Commands", "放大"), .tooltip = QT_TRANSLATE_NOOP("Commands", "放大"),
     .icon = "zoom-in", .toolbar = 41, .contextLabel = QT_TRANSLATE_NOOP("Commands", "放大"), .context = 11},
    {.id = cmd::ZoomOut, .prompt = QT_TRANSLATE_NOOP("Commands", "缩小"), .tooltip = QT_TRANSLATE_NOOP("Commands", "缩小"),
     .icon = "zoom-out", .toolbar = 42, .contextLabel = QT_TRANSLATE_NOOP("Commands", "缩小"), .context = 12},
    {.id = cmd::PictureList, .label = QT_TRANSLATE_NOOP("Commands", "图片列表"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "图片列表"), .tooltip = QT_TRANSLATE_NOOP("Commands", "图片列表"), .icon = "list",
     .toolbar = 11},
    {.id = cmd::PanRight, .keys = {Qt::Key_Right}},
    {.id = cmd::PanLeft, .keys = {Qt::Key_Left}},
    {.id = cmd::PanUp, .keys = {Qt::Key_Up}},
    {.id = cmd::PanDown, .keys = {Qt::Key_Down}},
    {.id = cmd::SetSpeed, .tooltip = QT_TRANSLATE_NOOP("Commands", "设置速度"), .icon = "speed", .toolbar = 51},
    {.id = cmd::InitialPosition, .label = QT_TRANSLATE_NOOP("Commands", "初始位置"),
     .contextLabel = QT_TRANSLATE_NOOP("Commands", "初始位置"), .context = 41},
    {.id = cmd::Composite, .label = QT_TRANSLATE_NOOP("Commands", "合并图象"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "图像合成"), .tooltip = QT_TRANSLATE_NOOP("Commands", "图像合成"),
     .icon = "composite", .toolbar = 62},
    {.id = cmd::ViewReport, .prompt = QT_TRANSLATE_NOOP("Commands", "查看报告"),
     .tooltip = QT_TRANSLATE_NOOP("Commands", "查看报告"), .icon = "report", .toolbar = 71},
    {.id = cmd::ChannelRed, .label = QT_TRANSLATE_NOOP("Commands", "红"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "色彩通道——红"), .tooltip = QT_TRANSLATE_NOOP("Commands", "色彩通道——红"),
     .icon = "red", .toolbar = 63},
    {.id = cmd::ChannelGreen, .label = QT_TRANSLATE_NOOP("Commands", "绿"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "色彩通道——绿"), .tooltip = QT_TRANSLATE_NOOP("Commands", "色彩通道——绿"),
     .icon = "green", .toolbar = 64},
    {.id = cmd::ChannelBlue, .label = QT_TRANSLATE_NOOP("Commands", "蓝"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "色彩通道——蓝"), .tooltip = QT_TRANSLATE_NOOP("Commands", "色彩通道——蓝"),
     .icon = "blue", .toolbar = 65},
    {.id = cmd::Grid, .icon = "grid", .toolbar = 61},
    {.id = cmd::ImportPictures, .label = QT_TRANSLATE_NOOP("Commands", "导入图片"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "导入图片"), .tooltip = QT_TRANSLATE_NOOP("Commands", "导入图片"),
     .icon = "import", .toolbar = 12},
    {.id = cmd::LinkSungrazerHome, .label = QT_TRANSLATE_NOOP("Commands", "掠日彗星主页"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "该网址包括了多数要用到的链接"),
     .tooltip = QT_TRANSLATE_NOOP("Commands", "该网址包括了多数要用到的链接"), .link = "http://sungrazer.nrl.navy.mil/"},
    {.id = cmd::LinkSungrazerHistory, .label = QT_TRANSLATE_NOOP("Commands", "掠日彗星及历史发现情况"),
     .link = "http://www.arbeitskreis-meteore.de/comets/sungrazer.html"},
    {.id = cmd::LinkRecentReports, .label = QT_TRANSLATE_NOOP("Commands", "最近的SOHO彗星发现报告"),
     .link = "http://sungrazer.nrl.navy.mil/recent.html"},
    {.id = cmd::LinkReportForm, .label = QT_TRANSLATE_NOOP("Commands", "在线发布发现报告"),
     .link = "http://sungrazer.nrl.navy.mil/cometform.html"},
    {.id = cmd::LinkC3_512, .label = QT_TRANSLATE_NOOP("Commands", "最新图片：LASCO C3 512X512"),
     .link = "http://sohowww.nascom.nasa.gov/data/realtime/realtime-c3-512.html"},
    {.id = cmd::LinkC3_1024, .label = QT_TRANSLATE_NOOP("Commands", "最新图片：LASCO C3 1024X1024"),
     .link = "http://sohowww.nascom.nasa.gov/data/realtime/realtime-c3-1024.html"},
    {.id = cmd::LinkC2_512, .label = QT_TRANSLATE_NOOP("Commands", "最新图片：LASCO C2 512X512"),
     .link = "http://sohowww.nascom.nasa.gov/data/realtime/realtime-c2-512.html"},
    {.id = cmd::LinkC2_1024, .label = QT_TRANSLATE_NOOP("Commands", "最新图片：LASCO C2 1024X1024"),
     .link = "http://sohowww.nascom.nasa.gov/data/realtime/realtime-c2-1024.html"},
    {.id = cmd::LinkBlackWhite, .label = QT_TRANSLATE_NOOP("Commands", "最新黑白图片"),
     .link = "http://lasco-www.nrl.navy.mil/realtime.html"},
    {.id = cmd::LinkArchive, .label = QT_TRANSLATE_NOOP("Commands", "历史图片资料查询"),
     .link = "http://lasco-www.nrl.navy.mil/cgi-bin/wdb/lasco/images/form"},
    {.id = cmd::LinkPersonalHome, .label = QT_TRANSLATE_NOOP("Commands", "COBS彗星观测数据库——Črni Vrh天文台的主页"),
     .link = "http://cobs.si"},
    {.id = cmd::AuthorHome, .label = QT_TRANSLATE_NOOP("Commands", "作者主页"), .link = "http://sohowww.nascom.nasa.gov"},
    {.id = cmd::MailAuthor, .label = QT_TRANSLATE_NOOP("Commands", "给作者发E-MAIL"), .link = "mailto:skyrake@localhost"},
    {.id = cmd::AppAbout, .label = QT_TRANSLATE_NOOP("Commands", "关于 skyrake(&A)..."),
     .prompt = QT_TRANSLATE_NOOP("Commands", "显示程序信息，版本号和版权"), .tooltip = QT_TRANSLATE_NOOP("Commands", "关于"),
     .icon = "about", .toolbar = 81},
    {.id = cmd::AppExit, .label = QT_TRANSLATE_NOOP("Commands", "退出(&X)"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "退出应用程序；提示保存文档"), .tooltip = QT_TRANSLATE_NOOP("Commands", "退出")},
    {.id = cmd::ViewToolbar, .label = QT_TRANSLATE_NOOP("Commands", "工具栏(&T)"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "显示或隐藏工具栏"), .tooltip = QT_TRANSLATE_NOOP("Commands", "显隐工具栏")},
    {.id = cmd::ViewStatusBar, .label = QT_TRANSLATE_NOOP("Commands", "状态栏(&S)"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "显示或隐藏状态栏"), .tooltip = QT_TRANSLATE_NOOP("Commands", "显隐状态栏")},
    {.id = cmd::StretchNone, .label = QT_TRANSLATE_NOOP("Commands", "不拉伸"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "按解码的样子显示图片"), .keys = {Qt::CTRL | Qt::Key_0}},
    {.id = cmd::StretchLinear, .label = QT_TRANSLATE_NOOP("Commands", "线性"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "在亮度范围内线性拉伸"), .keys = {Qt::CTRL | Qt::Key_1}},
    {.id = cmd::StretchSqrt, .label = QT_TRANSLATE_NOOP("Commands", "平方根"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "平方根拉伸，提亮暗部"), .keys = {Qt::CTRL | Qt::Key_2}},
    {.id = cmd::StretchLog, .label = QT_TRANSLATE_NOOP("Commands", "对数"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "对数拉伸，显出暗弱细节"), .keys = {Qt::CTRL | Qt::Key_3}},
    {.id = cmd::StretchAsinh, .label = QT_TRANSLATE_NOOP("Commands", "反双曲正弦"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "反双曲正弦拉伸"), .keys = {Qt::CTRL | Qt::Key_4}},
    {.id = cmd::StretchHistEq, .label = QT_TRANSLATE_NOOP("Commands", "直方图均衡"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "按参考图片的直方图均衡"), .keys = {Qt::CTRL | Qt::Key_5}},
    {.id = cmd::LimitsMinMax, .label = QT_TRANSLATE_NOOP("Commands", "最小值—最大值"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "亮度范围取参考图片的最小值和最大值"), .keys = {Qt::CTRL | Qt::Key_6}},
    {.id = cmd::LimitsPercentile, .label = QT_TRANSLATE_NOOP("Commands", "百分位 99.5%"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "亮度范围取参考图片的0.5%和99.5%分位"), .keys = {Qt::CTRL | Qt::Key_7}},
    {.id = cmd::LimitsZScale, .label = QT_TRANSLATE_NOOP("Commands", "zscale"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "亮度范围按IRAF的zscale算法取"), .keys = {Qt::CTRL | Qt::Key_8}},
    {.id = cmd::StretchInvert, .label = QT_TRANSLATE_NOOP("Commands", "反相"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "黑白反转显示"), .keys = {Qt::CTRL | Qt::Key_I}},
    {.id = cmd::BackgroundRemoved, .label = QT_TRANSLATE_NOOP("Commands", "减去背景"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "每幅图片减去整组图片逐像素的中值，只显示变化的部分，如同搜索看到的"),
     .keys = {Qt::CTRL | Qt::Key_B}},
    {.id = cmd::StretchRemeasure, .label = QT_TRANSLATE_NOOP("Commands", "重新计算亮度范围"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "按现在的第一幅图片重新计算亮度范围"), .keys = {Qt::CTRL | Qt::Key_R}},
    {.id = cmd::MeasureMarks, .label = QT_TRANSLATE_NOOP("Commands", "测量标记"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "显示或隐藏测得的位置和预计位置"), .keys = {Qt::CTRL | Qt::Key_M}},
    {.id = cmd::SungrazerReport, .label = QT_TRANSLATE_NOOP("Commands", "掠日彗星报告"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "按掠日彗星项目报告表的格式整理测得的位置"), .keys = {Qt::CTRL | Qt::Key_G}},
    {.id = cmd::SearchMovers, .label = QT_TRANSLATE_NOOP("Commands", "搜索移动目标"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "在图片序列中自动搜索匀速直线移动的目标"),
     .tooltip = QT_TRANSLATE_NOOP("Commands", "搜索移动目标"), .icon = "search", .toolbar = 91,
     .keys = {Qt::CTRL | Qt::Key_F}},
    {.id = cmd::CandidateList, .label = QT_TRANSLATE_NOOP("Commands", "候选目标列表"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "再次列出上次搜索的候选目标"), .keys = {Qt::CTRL | Qt::SHIFT | Qt::Key_F}},
    {.id = cmd::SearchShowCommon, .label = QT_TRANSLATE_NOOP("Commands", "显示常见候选"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "候选列表也列出在没有彗星的图片中常见的弱轨迹（每20组多于一次）")},
    {.id = cmd::LanguageChinese, .label = QT_TRANSLATE_NOOP("Commands", "简体中文"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "界面使用简体中文（重新启动后生效）")},
    {.id = cmd::LanguageEnglish, .label = QT_TRANSLATE_NOOP("Commands", "English"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "界面使用英文（重新启动后生效）")},
    {.id = cmd::FetchFrames, .label = QT_TRANSLATE_NOOP("Commands", "获取图片(&G)..."),
     .prompt = QT_TRANSLATE_NOOP("Commands", "从 SOHO 或 GOES-19 的档案获取最新的图片或一段时间的图片，作为图片序列打开")},
    {.id = cmd::WatchFrames, .label = QT_TRANSLATE_NOOP("Commands", "监视新图片(&W)"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "每15分钟获取新图片并搜索移动目标，发现候选目标时通知")},
    {.id = cmd::SkyOverlay, .label = QT_TRANSLATE_NOOP("Commands", "日心坐标(&K)"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "显示太阳中心、日面边缘、2、5、10、20、30倍太阳半径的圆和每30°的位置角线"),
     .keys = {Qt::CTRL | Qt::Key_K}},
    {.id = cmd::KnownComets, .label = QT_TRANSLATE_NOOP("Commands", "已知彗星(&E)..."),
     .prompt = QT_TRANSLATE_NOOP("Commands", "粘贴或载入已知彗星的轨道根数，在图片上画出它们并标出它们附近的候选目标")},
    {.id = cmd::FileNew, .keys = {Qt::CTRL | Qt::Key_N}},
    {.id = cmd::FileOpen, .keys = {Qt::CTRL | Qt::Key_O}},
    {.id = cmd::FileSave, .label = QT_TRANSLATE_NOOP("Commands", "保存工作(&S)"),
     .prompt = QT_TRANSLATE_NOOP("Commands", "保存图片序列、测量和报告，以后可以打开继续"), .keys = {Qt::CTRL | Qt::Key_S}},
    {.id = cmd::FileSaveAs, .label = QT_TRANSLATE_NOOP("Commands", "工作另存为(&A)..."),
     .prompt = QT_TRANSLATE_NOOP("Commands", "把工作保存到新的文件"), .keys = {Qt::CTRL | Qt::SHIFT | Qt::Key_S}},
    {.id = cmd::FileOpenSession, .label = QT_TRANSLATE_NOOP("Commands", "打开工作(&O)..."),
     .prompt = QT_TRANSLATE_NOOP("Commands", "打开保存的工作：图片序列、测量和报告"), .keys = {Qt::CTRL | Qt::SHIFT | Qt::Key_O}},
    {.id = cmd::FilePrint, .keys = {Qt::CTRL | Qt::Key_P}},
    {.id = cmd::EditCopy, .keys = {Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert}},
    {.id = cmd::EditCut, .keys = {Qt::SHIFT | Qt::Key_Delete, Qt::CTRL | Qt::Key_X}},
    {.id = cmd::EditPaste, .keys = {Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert}},
    {.id = cmd::EditUndo, .keys = {Qt::ALT | Qt::Key_Backspace, Qt::CTRL | Qt::Key_Z}},
    {.id = cmd::NextPane, .keys = {Qt::Key_F6}},
    {.id = cmd::PrevPane, .keys = {Qt::SHIFT | Qt::Key_F6}},
};
// clang-format on

} // namespace

std::span<const CommandInfo> commandTable()
{
    return table;
}

const CommandInfo* commandInfo(int id)
{
    const auto row =
        std::find_if(std::begin(table), std::end(table), [id](const CommandInfo& r) { return r.id == id; });
    return row == std::end(table) ? nullptr : row;
}

const std::vector<Menu>& mainMenu()
{
    static const std::vector<Menu> menus = {
        {QT_TRANSLATE_NOOP("Commands", "文件(&F)"),
         {{cmd::PictureList},
          {cmd::ImportPictures},
          {0},
          {cmd::AppExit},
          // After the menu's first items: sessions.
          {0},
          {cmd::FileOpenSession},
          {cmd::FileSave},
          {cmd::FileSaveAs},
          // Frames from the archives.
          {0},
          {cmd::FetchFrames},
          {cmd::WatchFrames}}},
        {QT_TRANSLATE_NOOP("Commands", "查看(&V)"),
         {{cmd::InitialPosition},
          {-1,
           QT_TRANSLATE_NOOP("Commands", "色彩通道"),
           {{cmd::ChannelRed}, {cmd::ChannelGreen}, {cmd::ChannelBlue}}},
          {0},
          {cmd::ViewToolbar},
          {cmd::ViewStatusBar},
          {cmd::Composite},
          // After the menu's first items: the display stretch.
          {0},
          {-1,
           QT_TRANSLATE_NOOP("Commands", "显示拉伸"),
           {{cmd::StretchNone},
            {cmd::StretchLinear},
            {cmd::StretchSqrt},
            {cmd::StretchLog},
            {cmd::StretchAsinh},
            {cmd::StretchHistEq}}},
          {-1,
           QT_TRANSLATE_NOOP("Commands", "亮度范围"),
           {{cmd::LimitsMinMax}, {cmd::LimitsPercentile}, {cmd::LimitsZScale}, {0}, {cmd::StretchRemeasure}}},
          {cmd::StretchInvert},
          {cmd::BackgroundRemoved},
          {0},
          {cmd::MeasureMarks},
          {cmd::SungrazerReport},
          {cmd::SearchMovers},
          {cmd::CandidateList},
          {cmd::SearchShowCommon},
          // Where in the sky.
          {0},
          {cmd::SkyOverlay},
          {cmd::KnownComets},
          // The interface's language.
          {0},
          {-1, QT_TRANSLATE_NOOP("Commands", "界面语言"), {{cmd::LanguageChinese}, {cmd::LanguageEnglish}}}}},
        {QT_TRANSLATE_NOOP("Commands", "常用链接"),
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
        {QT_TRANSLATE_NOOP("Commands", "帮助(&H)"), {{cmd::AppAbout}, {cmd::AuthorHome}, {cmd::MailAuthor}}},
    };
    return menus;
}

std::vector<int> slotLayout(Slot CommandInfo::*slot)
{
    std::vector<const CommandInfo*> placed;
    for (const CommandInfo& row : table) {
        if (row.*slot > 0)
            placed.push_back(&row);
    }
    std::sort(placed.begin(), placed.end(), [slot](auto a, auto b) { return a->*slot < b->*slot; });
    std::vector<int> ids;
    for (size_t i = 0; i < placed.size(); ++i) {
        if (i > 0 && placed[i]->*slot / 10 != placed[i - 1]->*slot / 10)
            ids.push_back(0);
        ids.push_back(placed[i]->id);
    }
    return ids;
}

std::vector<std::pair<QKeySequence, int>> accelerators()
{
    std::vector<std::pair<QKeySequence, int>> keys;
    for (const CommandInfo& row : table) {
        for (const QKeyCombination key : row.keys) {
            if (key.key() != Qt::Key_unknown && key.toCombined() != 0)
                keys.emplace_back(QKeySequence(key), row.id);
        }
    }
    return keys;
}

QString linkTarget(int id)
{
    const CommandInfo* row = commandInfo(id);
    return row && row->link ? QString::fromUtf8(row->link) : QString();
}
