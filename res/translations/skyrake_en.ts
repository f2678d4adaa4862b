<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>关于 skyrake</source>
        <translation>About skyrake</translation>
    </message>
    <message>
        <source>skyrake 1.0 版</source>
        <translation>skyrake version 1.0</translation>
    </message>
    <message>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>GPLv3+</source>
        <translation>GPLv3+</translation>
    </message>
    <message>
        <source>我的主页：%1</source>
        <translation>My homepage: %1</translation>
    </message>
    <message>
        <source>给我发E-MAIL</source>
        <translation>Send me e-mail</translation>
    </message>
</context>
<context>
    <name>CCandidateDlg</name>
    <message>
        <source>移动目标候选</source>
        <translation>Moving Object Candidates</translation>
    </message>
    <message>
        <source>得分</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>速度（像素/小时）</source>
        <translation>Speed (pixels/hour)</translation>
    </message>
    <message>
        <source>方向（位置角）</source>
        <translation>Direction (position angle)</translation>
    </message>
    <message>
        <source>检出帧数</source>
        <translation>Frames detected</translation>
    </message>
    <message>
        <source>居中显示</source>
        <translation>Show &amp;Centred</translation>
    </message>
    <message>
        <source>转为测量</source>
        <translation>Take as &amp;Measurements</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>没有找到匀速直线移动的目标。</source>
        <translation>No object moving uniformly in a straight line was found.</translation>
    </message>
    <message>
        <source>找到 %1 个候选目标，按得分排列：</source>
        <translation>Candidates found: %1, best score first:</translation>
    </message>
    <message>
        <source>虚警率</source>
        <translation>False alarms</translation>
    </message>
    <message>
        <source>↑↓ 选择，Enter 居中显示，Delete 排除</source>
        <translation>↑↓ choose, Enter centres, Delete dismisses</translation>
    </message>
    <message>
        <source>排除</source>
        <translation>&amp;Dismiss</translation>
    </message>
    <message>
        <source>候选目标都已排除。</source>
        <translation>Every candidate has been dismissed.</translation>
    </message>
    <message>
        <source>起止（R☉，位置角）</source>
        <translation>Start → end (R☉, position angle)</translation>
    </message>
    <message>
        <source>朝向太阳</source>
        <translation>Towards the sun</translation>
    </message>
    <message>
        <source>附近天体</source>
        <translation>Near</translation>
    </message>
    <message>
        <source>是</source>
        <translation>yes</translation>
    </message>
</context>
<context>
    <name>CConfirmDlg</name>
    <message>
        <source>确定</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CFetchDlg</name>
    <message>
        <source>获取图片</source>
        <translation>Fetch Frames</translation>
    </message>
    <message>
        <source>图片来源：</source>
        <translation>Feed:</translation>
    </message>
    <message>
        <source>图片大小：</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>最新的</source>
        <translation>The latest</translation>
    </message>
    <message>
        <source> 幅</source>
        <translation> frames</translation>
    </message>
    <message>
        <source>图片：</source>
        <translation>Frames:</translation>
    </message>
    <message>
        <source>从</source>
        <translation>From</translation>
    </message>
    <message>
        <source>到</source>
        <translation>to</translation>
    </message>
    <message>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>图片库：</source>
        <translation>Frame library:</translation>
    </message>
    <message>
        <source>档案地址：</source>
        <translation>Archive address:</translation>
    </message>
    <message>
        <source>图片库</source>
        <translation>Frame Library</translation>
    </message>
    <message>
        <source>请输入档案的网址。</source>
        <translation>Enter the archive&apos;s web address.</translation>
    </message>
    <message>
        <source>请选择存放图片的文件夹。</source>
        <translation>Choose a folder for the frames.</translation>
    </message>
    <message>
        <source>开始时间晚于结束时间。</source>
        <translation>The start time is later than the end time.</translation>
    </message>
</context>
<context>
    <name>CKnownCometsDlg</name>
    <message>
        <source>已知彗星</source>
        <translation>Known Comets</translation>
    </message>
    <message>
        <source>彗星的轨道根数，每行一颗，采用小行星中心的单行格式（CometEls.txt）：</source>
        <translation>Comets&apos; orbital elements, one comet a line, in the Minor Planet Center&apos;s one-line format (CometEls.txt):</translation>
    </message>
    <message>
        <source>载入文件...</source>
        <translation>Load File...</translation>
    </message>
    <message>
        <source>载入彗星轨道根数</source>
        <translation>Load Comets&apos; Orbital Elements</translation>
    </message>
    <message>
        <source>无法读取文件 %1</source>
        <translation>Cannot read the file %1</translation>
    </message>
    <message>
        <source>有 %1 行不是彗星的轨道根数，已略过：%2</source>
        <translation>%1 lines are not orbital elements of a comet and were skipped: %2</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>工具栏</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>大写</source>
        <translation>CAP</translation>
    </message>
    <message>
        <source>数字</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>滚动</source>
        <translation>SCRL</translation>
    </message>
</context>
<context>
    <name>CPictureListDlg</name>
    <message>
        <source>文件列表</source>
        <translation>File List</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>导入文件</source>
        <translation>&amp;Import Files</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>有错误发生，请重新启动程序</source>
        <translation>An error occurred. Please restart the program.</translation>
    </message>
    <message>
        <source>图片大小不一致</source>
        <translation>The pictures differ in size.</translation>
    </message>
</context>
<context>
    <name>CReportDlg</name>
    <message>
        <source>报告结果</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>COPY</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>C&amp;lear</translation>
    </message>
</context>
<context>
    <name>CSkyrakeApp</name>
    <message>
        <source>%1 不是 SkyRake 保存的工作</source>
        <translation>%1 is not a session saved by SkyRake</translation>
    </message>
    <message>
        <source>界面语言将在重新启动 SkyRake 以后改变。</source>
        <translation>The interface language changes when SkyRake is started again.</translation>
    </message>
</context>
<context>
    <name>CSkyrakeView</name>
    <message>
        <source>共有%1幅图片</source>
        <translation>%1 pictures</translation>
    </message>
    <message>
        <source>渲染图像失败！</source>
        <translation>Rendering the picture failed!</translation>
    </message>
    <message>
        <source>添加到报告？</source>
        <translation>Add to the report?</translation>
    </message>
    <message>
        <source>正在搜索移动目标...</source>
        <translation>Searching for moving objects...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>搜索移动目标</source>
        <translation>Search for Moving Objects</translation>
    </message>
    <message>
        <source>没有找到日面</source>
        <translation>No solar disc found</translation>
    </message>
    <message>
        <source>%1 R☉  PA %2°</source>
        <translation>%1 R☉  PA %2°</translation>
    </message>
    <message>
        <source>%1 R☉</source>
        <translation>%1 R☉</translation>
    </message>
    <message>
        <source>%1°</source>
        <translation>%1°</translation>
    </message>
    <message>
        <source>SOHO 的位置：地球位置的 0.99 倍（L1）</source>
        <translation>SOHO&apos;s place: 0.99 of the Earth&apos;s (L1)</translation>
    </message>
    <message>
        <source>观测者的位置：取自文件头</source>
        <translation>The observer&apos;s place: from the file&apos;s header</translation>
    </message>
    <message>
        <source>GOES-19 的位置：地球静止轨道，西经 75.2°</source>
        <translation>GOES-19&apos;s place: geostationary, 75.2° W</translation>
    </message>
    <message>
        <source>未搜索的图片：%1</source>
        <translation>Frames not searched: %1</translation>
    </message>
    <message>
        <source>；畸变查找表未用，仅按线性 WCS</source>
        <translation>; distortion tables not applied: the linear WCS only</translation>
    </message>
</context>
<context>
    <name>CSpeedDlg</name>
    <message>
        <source>播放速度</source>
        <translation>Playback Speed</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>间隔</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>毫秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>请输入一个整数。</source>
        <translation>Please enter an integer.</translation>
    </message>
    <message>
        <source>请输入一个介于 %1 和 %2 之间的整数。</source>
        <translation>Please enter an integer between %1 and %2.</translation>
    </message>
</context>
<context>
    <name>CSungrazerDlg</name>
    <message>
        <source>掠日彗星报告</source>
        <translation>Sungrazer Report</translation>
    </message>
    <message>
        <source>左上角</source>
        <translation>&amp;Upper left</translation>
    </message>
    <message>
        <source>左下角</source>
        <translation>&amp;Lower left</translation>
    </message>
    <message>
        <source>图片本身的大小</source>
        <translation>The pictures&apos; own size</translation>
    </message>
    <message>
        <source>换算到 %1×%1</source>
        <translation>Scaled to %1×%1</translation>
    </message>
    <message>
        <source>COPY</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>另存为...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>(0,0) 位置：</source>
        <translation>(0,0) corner:</translation>
    </message>
    <message>
        <source>报告的图片大小：</source>
        <translation>Reported picture size:</translation>
    </message>
    <message>
        <source>速度：每小时 %1 像素，方向（位置角）：%2°</source>
        <translation>Speed: %1 pixels per hour, direction (position angle): %2°</translation>
    </message>
    <message>
        <source>%1：残差 %2 像素</source>
        <translation>%1: residual %2 pixels</translation>
    </message>
    <message>
        <source>%1：预计位置 (%2, %3)</source>
        <translation>%1: predicted position (%2, %3)</translation>
    </message>
    <message>
        <source>需要至少两个有时间的位置才能检查轨迹。</source>
        <translation>At least two positions with known times are needed to check the track.</translation>
    </message>
    <message>
        <source>无法保存文件 %1</source>
        <translation>Cannot save the file %1</translation>
    </message>
    <message>
        <source>日心距离 %1 R☉，位置角 %2° → %3 R☉，%4°；%5</source>
        <translation>From the sun %1 R☉, position angle %2° → %3 R☉, %4°; %5</translation>
    </message>
    <message>
        <source>朝向太阳</source>
        <translation>heading for the sun</translation>
    </message>
    <message>
        <source>不朝向太阳</source>
        <translation>not heading for the sun</translation>
    </message>
    <message>
        <source>轨迹靠近 %1：可能是这颗行星，不是彗星。</source>
        <translation>The track keeps near %1: it may be that planet, not a comet.</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>后一幅</source>
        <translation>Next Picture</translation>
    </message>
    <message>
        <source>下一幅</source>
        <translation>Next Picture</translation>
    </message>
    <message>
        <source>前一幅</source>
        <translation>Previous Picture</translation>
    </message>
    <message>
        <source>开始播放</source>
        <translation>Start Playback</translation>
    </message>
    <message>
        <source>停止播放</source>
        <translation>Stop Playback</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Zoom In</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Zoom Out</translation>
    </message>
    <message>
        <source>图片列表</source>
        <translation>&amp;Picture List</translation>
    </message>
    <message>
        <source>设置速度</source>
        <translation>Set Speed</translation>
    </message>
    <message>
        <source>初始位置</source>
        <translation>&amp;Initial Position</translation>
    </message>
    <message>
        <source>合并图象</source>
        <translation>&amp;Merge Pictures</translation>
    </message>
    <message>
        <source>图像合成</source>
        <translation>Composite Image</translation>
    </message>
    <message>
        <source>查看报告</source>
        <translation>View Report</translation>
    </message>
    <message>
        <source>红</source>
        <translation>&amp;Red</translation>
    </message>
    <message>
        <source>色彩通道——红</source>
        <translation>Colour Channel — Red</translation>
    </message>
    <message>
        <source>绿</source>
        <translation>&amp;Green</translation>
    </message>
    <message>
        <source>色彩通道——绿</source>
        <translation>Colour Channel — Green</translation>
    </message>
    <message>
        <source>蓝</source>
        <translation>&amp;Blue</translation>
    </message>
    <message>
        <source>色彩通道——蓝</source>
        <translation>Colour Channel — Blue</translation>
    </message>
    <message>
        <source>导入图片</source>
        <translation>&amp;Import Pictures</translation>
    </message>
    <message>
        <source>掠日彗星主页</source>
        <translation>Sungrazer Project Home Page</translation>
    </message>
    <message>
        <source>该网址包括了多数要用到的链接</source>
        <translation>This site holds most of the links you will need</translation>
    </message>
    <message>
        <source>掠日彗星及历史发现情况</source>
        <translation>Sungrazing Comets and Their Discovery History</translation>
    </message>
    <message>
        <source>最近的SOHO彗星发现报告</source>
        <translation>Recent SOHO Comet Discovery Reports</translation>
    </message>
    <message>
        <source>在线发布发现报告</source>
        <translation>Report a Discovery Online</translation>
    </message>
    <message>
        <source>最新图片：LASCO C3 512X512</source>
        <translation>Latest Pictures: LASCO C3 512x512</translation>
    </message>
    <message>
        <source>最新图片：LASCO C3 1024X1024</source>
        <translation>Latest Pictures: LASCO C3 1024x1024</translation>
    </message>
    <message>
        <source>最新图片：LASCO C2 512X512</source>
        <translation>Latest Pictures: LASCO C2 512x512</translation>
    </message>
    <message>
        <source>最新图片：LASCO C2 1024X1024</source>
        <translation>Latest Pictures: LASCO C2 1024x1024</translation>
    </message>
    <message>
        <source>最新黑白图片</source>
        <translation>Latest Black-and-White Pictures</translation>
    </message>
    <message>
        <source>历史图片资料查询</source>
        <translation>Search the Picture Archive</translation>
    </message>
    <message>
        <source>COBS彗星观测数据库——Črni Vrh天文台的主页</source>
        <translation>COBS Comet Observation Database — Črni Vrh Observatory&apos;s Homepage</translation>
    </message>
    <message>
        <source>作者主页</source>
        <translation>Author&apos;s &amp;Homepage</translation>
    </message>
    <message>
        <source>给作者发E-MAIL</source>
        <translation>&amp;E-mail the Author</translation>
    </message>
    <message>
        <source>关于 skyrake(&amp;A)...</source>
        <translation>&amp;About skyrake...</translation>
    </message>
    <message>
        <source>显示程序信息，版本号和版权</source>
        <translation>Display program information, version number and copyright</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>退出应用程序；提示保存文档</source>
        <translation>Quit the application; prompts to save documents</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>显示或隐藏工具栏</source>
        <translation>Show or hide the toolbar</translation>
    </message>
    <message>
        <source>显隐工具栏</source>
        <translation>Toggle Toolbar</translation>
    </message>
    <message>
        <source>状态栏(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>显示或隐藏状态栏</source>
        <translation>Show or hide the status bar</translation>
    </message>
    <message>
        <source>显隐状态栏</source>
        <translation>Toggle Status Bar</translation>
    </message>
    <message>
        <source>不拉伸</source>
        <translation>&amp;No Stretch</translation>
    </message>
    <message>
        <source>按解码的样子显示图片</source>
        <translation>Show the pictures as decoded</translation>
    </message>
    <message>
        <source>线性</source>
        <translation>&amp;Linear</translation>
    </message>
    <message>
        <source>在亮度范围内线性拉伸</source>
        <translation>Stretch linearly across the brightness range</translation>
    </message>
    <message>
        <source>平方根</source>
        <translation>&amp;Square Root</translation>
    </message>
    <message>
        <source>平方根拉伸，提亮暗部</source>
        <translation>Square-root stretch: brightens the dark parts</translation>
    </message>
    <message>
        <source>对数</source>
        <translation>L&amp;ogarithmic</translation>
    </message>
    <message>
        <source>对数拉伸，显出暗弱细节</source>
        <translation>Logarithmic stretch: brings out faint detail</translation>
    </message>
    <message>
        <source>反双曲正弦</source>
        <translation>&amp;Asinh</translation>
    </message>
    <message>
        <source>反双曲正弦拉伸</source>
        <translation>Inverse hyperbolic sine (asinh) stretch</translation>
    </message>
    <message>
        <source>直方图均衡</source>
        <translation>&amp;Histogram Equalisation</translation>
    </message>
    <message>
        <source>按参考图片的直方图均衡</source>
        <translation>Equalise by the reference picture&apos;s histogram</translation>
    </message>
    <message>
        <source>最小值—最大值</source>
        <translation>&amp;Minimum–Maximum</translation>
    </message>
    <message>
        <source>亮度范围取参考图片的最小值和最大值</source>
        <translation>Take the brightness range from the reference picture&apos;s minimum and maximum</translation>
    </message>
    <message>
        <source>百分位 99.5%</source>
        <translation>&amp;Percentile 99.5%</translation>
    </message>
    <message>
        <source>亮度范围取参考图片的0.5%和99.5%分位</source>
        <translation>Take the brightness range from the reference picture&apos;s 0.5% and 99.5% percentiles</translation>
    </message>
    <message>
        <source>zscale</source>
        <translation>&amp;zscale</translation>
    </message>
    <message>
        <source>亮度范围按IRAF的zscale算法取</source>
        <translation>Take the brightness range by IRAF&apos;s zscale algorithm</translation>
    </message>
    <message>
        <source>反相</source>
        <translation>In&amp;vert</translation>
    </message>
    <message>
        <source>黑白反转显示</source>
        <translation>Show black as white and white as black</translation>
    </message>
    <message>
        <source>重新计算亮度范围</source>
        <translation>&amp;Recalculate Brightness Range</translation>
    </message>
    <message>
        <source>按现在的第一幅图片重新计算亮度范围</source>
        <translation>Recalculate the brightness range from the present first picture</translation>
    </message>
    <message>
        <source>测量标记</source>
        <translation>Measurement M&amp;arks</translation>
    </message>
    <message>
        <source>显示或隐藏测得的位置和预计位置</source>
        <translation>Show or hide the measured and the predicted positions</translation>
    </message>
    <message>
        <source>掠日彗星报告</source>
        <translation>Sun&amp;grazer Report</translation>
    </message>
    <message>
        <source>按掠日彗星项目报告表的格式整理测得的位置</source>
        <translation>Arrange the measured positions as the Sungrazer Project&apos;s report form asks</translation>
    </message>
    <message>
        <source>搜索移动目标</source>
        <translation>Search for M&amp;oving Objects</translation>
    </message>
    <message>
        <source>在图片序列中自动搜索匀速直线移动的目标</source>
        <translation>Search the picture sequence for objects moving uniformly in a straight line</translation>
    </message>
    <message>
        <source>候选目标列表</source>
        <translation>Ca&amp;ndidate List</translation>
    </message>
    <message>
        <source>再次列出上次搜索的候选目标</source>
        <translation>List the last search&apos;s candidates again</translation>
    </message>
    <message>
        <source>简体中文</source>
        <translation>简体中文</translation>
    </message>
    <message>
        <source>界面使用简体中文（重新启动后生效）</source>
        <translation>Show the interface in Simplified Chinese (from the next start)</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>界面使用英文（重新启动后生效）</source>
        <translation>Show the interface in English (from the next start)</translation>
    </message>
    <message>
        <source>保存工作(&amp;S)</source>
        <translation>&amp;Save Session</translation>
    </message>
    <message>
        <source>保存图片序列、测量和报告，以后可以打开继续</source>
        <translation>Save the picture sequence, measurements and report, to open them and go on later</translation>
    </message>
    <message>
        <source>工作另存为(&amp;A)...</source>
        <translation>Save Session &amp;As...</translation>
    </message>
    <message>
        <source>把工作保存到新的文件</source>
        <translation>Save the session in a new file</translation>
    </message>
    <message>
        <source>打开工作(&amp;O)...</source>
        <translation>&amp;Open Session...</translation>
    </message>
    <message>
        <source>打开保存的工作：图片序列、测量和报告</source>
        <translation>Open a saved session: picture sequence, measurements and report</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>色彩通道</source>
        <translation>&amp;Colour Channels</translation>
    </message>
    <message>
        <source>显示拉伸</source>
        <translation>Dis&amp;play Stretch</translation>
    </message>
    <message>
        <source>亮度范围</source>
        <translation>Brightness &amp;Range</translation>
    </message>
    <message>
        <source>界面语言</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>常用链接</source>
        <translation>&amp;Links</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>显示常见候选</source>
        <translation>Show Common Candidates</translation>
    </message>
    <message>
        <source>候选列表也列出在没有彗星的图片中常见的弱轨迹（每20组多于一次）</source>
        <translation>List also the weak tracks that turn up in frames without a comet (more than once in 20 sequences)</translation>
    </message>
    <message>
        <source>获取图片(&amp;G)...</source>
        <translation>&amp;Get Frames...</translation>
    </message>
    <message>
        <source>从 SOHO 或 GOES-19 的档案获取最新的图片或一段时间的图片，作为图片序列打开</source>
        <translation>Fetch the latest frames, or a time range&apos;s, from the SOHO or GOES-19 archive and open them as the sequence</translation>
    </message>
    <message>
        <source>监视新图片(&amp;W)</source>
        <translation>&amp;Watch for New Frames</translation>
    </message>
    <message>
        <source>每15分钟获取新图片并搜索移动目标，发现候选目标时通知</source>
        <translation>Every 15 minutes fetch the new frames and search them for movers; notify when a candidate appears</translation>
    </message>
    <message>
        <source>日心坐标(&amp;K)</source>
        <translation>S&amp;un Coordinates</translation>
    </message>
    <message>
        <source>显示太阳中心、日面边缘、2、5、10、20、30倍太阳半径的圆和每30°的位置角线</source>
        <translation>Show the sun&apos;s centre, its limb, circles at 2, 5, 10, 20 and 30 solar radii and position-angle spokes every 30°</translation>
    </message>
    <message>
        <source>已知彗星(&amp;E)...</source>
        <translation>Known Com&amp;ets...</translation>
    </message>
    <message>
        <source>粘贴或载入已知彗星的轨道根数，在图片上画出它们并标出它们附近的候选目标</source>
        <translation>Paste or load known comets&apos; orbital elements, draw them on the frames and mark the candidates near them</translation>
    </message>
    <message>
        <source>减去背景</source>
        <translation>Subtract &amp;Background</translation>
    </message>
    <message>
        <source>每幅图片减去整组图片逐像素的中值，只显示变化的部分，如同搜索看到的</source>
        <translation>Show each frame less the per-pixel median of the whole sequence: only what changed, as the search sees it</translation>
    </message>
</context>
<context>
    <name>FeedCommands</name>
    <message>
        <source>，另有 %1 个</source>
        <translation>, and %1 more</translation>
    </message>
    <message>
        <source>有些图片没有获取到：%1</source>
        <translation>Some frames could not be fetched: %1</translation>
    </message>
    <message>
        <source>档案里没有所要的图片。</source>
        <translation>The archive has none of the frames asked for.</translation>
    </message>
    <message>
        <source>不再监视新图片</source>
        <translation>No longer watching for new frames</translation>
    </message>
    <message>
        <source> - 监视 %1</source>
        <translation> - watching %1</translation>
    </message>
    <message>
        <source>正在获取 %1 的新图片...</source>
        <translation>Fetching new %1 frames...</translation>
    </message>
    <message>
        <source>%1 UT：获取了 %2 幅新图片</source>
        <translation>%1 UT: %2 new frames fetched</translation>
    </message>
    <message>
        <source>；没有获取到：%1</source>
        <translation>; not fetched: %1</translation>
    </message>
    <message>
        <source> - 发现 %1 个候选目标</source>
        <translation> - candidates found: %1</translation>
    </message>
    <message>
        <source>SkyRake 发现候选目标</source>
        <translation>SkyRake found a candidate</translation>
    </message>
    <message>
        <source>%1 的最新图片中有 %2 个候选目标</source>
        <translation>Candidates in the latest %1 frames: %2</translation>
    </message>
</context>
<context>
    <name>FetchProgress</name>
    <message>
        <source>正在读取档案的图片列表...</source>
        <translation>Reading the archive&apos;s frame lists...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>获取图片</source>
        <translation>Fetch Frames</translation>
    </message>
    <message>
        <source>已获取 %1 / %2 幅图片，%3</source>
        <translation>%1 of %2 frames fetched, %3</translation>
    </message>
</context>
<context>
    <name>Pictures</name>
    <message>
        <source>加载图片过多</source>
        <translation>Too many pictures loaded</translation>
    </message>
    <message>
        <source>图片已经载入</source>
        <translation>The picture is already loaded</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>无法保存文件 %1</source>
        <translation>Cannot save the file %1</translation>
    </message>
</context>
<context>
    <name>QtDesktop</name>
    <message>
        <source>GIF文件(*.gif)</source>
        <translation>GIF files (*.gif)</translation>
    </message>
    <message>
        <source>JPEG文件(*.jpg)</source>
        <translation>JPEG files (*.jpg)</translation>
    </message>
    <message>
        <source>PNG文件(*.png)</source>
        <translation>PNG files (*.png)</translation>
    </message>
    <message>
        <source>SkyRake工作(*.skyrake);;所有文件(*)</source>
        <translation>SkyRake sessions (*.skyrake);;All files (*)</translation>
    </message>
    <message>
        <source>FITS文件(*.fts *.fits *.fit *.fts.gz *.fits.gz)</source>
        <translation>FITS files (*.fts *.fits *.fit *.fts.gz *.fits.gz)</translation>
    </message>
    <message>
        <source>所有图片(*.gif *.jpg *.jpeg *.png *.fts *.fits *.fit *.fts.gz *.fits.gz)</source>
        <translation>All pictures (*.gif *.jpg *.jpeg *.png *.fts *.fits *.fit *.fts.gz *.fits.gz)</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>找不到这些图片：%1</source>
        <translation>These pictures cannot be found: %1</translation>
    </message>
    <message>
        <source>，</source>
        <comment>between two picture names</comment>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>Track</name>
    <message>
        <source>%1 的位置偏离直线轨迹 %2 像素（超过 1.5 像素）。</source>
        <translation>The position in %1 is %2 pixels off the straight track (more than 1.5 pixels).</translation>
    </message>
    <message>
        <source>C2 图片至少需要 2 个位置。</source>
        <translation>C2 pictures need at least 2 positions.</translation>
    </message>
    <message>
        <source>C3 图片至少需要 3 个位置。</source>
        <translation>C3 pictures need at least 3 positions.</translation>
    </message>
    <message>
        <source>测量来自不止一个相机的图片。</source>
        <translation>The measurements come from pictures of more than one camera.</translation>
    </message>
    <message>
        <source>测量来自不止一种大小的图片。</source>
        <translation>The measurements come from pictures of more than one size.</translation>
    </message>
    <message>
        <source>图片的时间没有随顺序递增。</source>
        <translation>The pictures&apos; times do not increase in the sequence&apos;s order.</translation>
    </message>
    <message>
        <source>轨迹跨过了世界时午夜：报告表只能填一个日期。</source>
        <translation>The track crosses midnight UT: the report form takes only one date.</translation>
    </message>
    <message>
        <source>有图片不知道拍摄时间。</source>
        <translation>Some pictures have no known time.</translation>
    </message>
</context>
</TS>
