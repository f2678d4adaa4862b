#include "tools/SungrazerDlg.h"

#include "platform/Desktop.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include <cmath>

CSungrazerDlg::CSungrazerDlg(std::vector<Measurement> measurements, std::vector<SequenceFrame> frames,
                             QWidget* parent)
    : QDialog(parent), m_measurements(std::move(measurements)), m_frames(std::move(frames))
{
    setWindowTitle(tr("掠日彗星报告"));
    auto* upperLeft = new QRadioButton(tr("左上角"), this);
    auto* lowerLeft = new QRadioButton(tr("左下角"), this);
    upperLeft->setObjectName(QStringLiteral("upperLeft"));
    lowerLeft->setObjectName(QStringLiteral("lowerLeft"));
    upperLeft->setChecked(true);
    m_corner = new QButtonGroup(this);
    m_corner->addButton(upperLeft, int(SungrazerOptions::Corner::UpperLeft));
    m_corner->addButton(lowerLeft, int(SungrazerOptions::Corner::LowerLeft));

    // The frames' own size first; the other of 512 and 1024 (a frame of neither size can be
    // reported at both).
    m_size = new QComboBox(this);
    m_size->setObjectName(QStringLiteral("size"));
    const int own = m_measurements.empty() ? 0 : m_measurements.front().frameSize.width();
    m_size->addItem(tr("图片本身的大小"), 0);
    for (const int size : {512, 1024}) {
        if (size != own)
            m_size->addItem(tr("换算到 %1×%1").arg(size), size);
    }

    m_report = new QPlainTextEdit(this);
    m_report->setObjectName(QStringLiteral("report"));
    m_report->setReadOnly(true);
    m_report->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_check = new QLabel(this);
    m_check->setObjectName(QStringLiteral("check"));
    m_check->setWordWrap(true);
    m_check->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(this);
    auto* copy = buttons->addButton(tr("COPY"), QDialogButtonBox::ActionRole);
    auto* save = buttons->addButton(tr("另存为..."), QDialogButtonBox::ActionRole);
    auto* close = buttons->addButton(QDialogButtonBox::Close);
    copy->setObjectName(QStringLiteral("copy"));
    save->setObjectName(QStringLiteral("save"));
    close->setObjectName(QStringLiteral("close"));
    close->setText(tr("关闭"));

    auto* corner = new QHBoxLayout;
    corner->addWidget(upperLeft);
    corner->addWidget(lowerLeft);
    auto* form = new QFormLayout;
    form->addRow(tr("(0,0) 位置："), corner);
    form->addRow(tr("报告的图片大小："), m_size);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_report, 1);
    layout->addWidget(m_check);
    layout->addWidget(buttons);
    resize(560, 720); // room for a whole report of ten frames above the track check

    connect(m_corner, &QButtonGroup::idClicked, this, &CSungrazerDlg::update);
    connect(m_size, &QComboBox::currentIndexChanged, this, &CSungrazerDlg::update);
    connect(copy, &QPushButton::clicked, this, &CSungrazerDlg::OnCopy);
    connect(save, &QPushButton::clicked, this, &CSungrazerDlg::OnSaveAs);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    update();
}

SungrazerOptions CSungrazerDlg::options() const
{
    SungrazerOptions options;
    options.origin = SungrazerOptions::Corner(m_corner->checkedId());
    options.size = m_size->currentData().toInt();
    return options;
}

QString CSungrazerDlg::reportText() const
{
    return m_report->toPlainText() + QLatin1Char('\n');
}

QString CSungrazerDlg::checkText() const
{
    return m_check->text();
}

void CSungrazerDlg::update()
{
    QString report = sungrazerReport(m_measurements, options());
    report.chop(1); // the last line's end: the editor shows lines
    m_report->setPlainText(report);

    const std::optional<TrackFit> fit = fitTrack(m_measurements);
    QStringList lines;
    if (fit) {
        lines << tr("速度：每小时 %1 像素，方向（位置角）：%2°")
                     .arg(fit->speed(), 0, 'f', 1)
                     .arg(fit->positionAngle(), 0, 'f', 1);
        for (const Measurement& m : m_measurements) {
            if (!m.info.time.isValid())
                continue;
            const QPointF off = m.position - fit->at(m.info.time);
            lines << tr("%1：残差 %2 像素").arg(m.frame).arg(std::hypot(off.x(), off.y()), 0, 'f', 2);
        }
        for (const SequenceFrame& frame : m_frames) {
            if (!frame.time.isValid())
                continue;
            const QPointF at = zeroBased(fit->at(frame.time));
            lines
                << tr("%1：预计位置 (%2, %3)").arg(frame.name).arg(at.x(), 0, 'f', 1).arg(at.y(), 0, 'f', 1);
        }
    } else {
        lines << tr("需要至少两个有时间的位置才能检查轨迹。");
    }
    lines += trackFlags(m_measurements, fit);
    lines += m_skyLines;
    m_check->setText(lines.join(QLatin1Char('\n')));
}

void CSungrazerDlg::showSky(const TrackSky& sky)
{
    m_skyLines.clear();
    if (sky.start && sky.end)
        m_skyLines << tr("日心距离 %1 R☉，位置角 %2° → %3 R☉，%4°；%5")
                          .arg(sky.start->elongation, 0, 'f', 2)
                          .arg(sky.start->positionAngle, 0, 'f', 1)
                          .arg(sky.end->elongation, 0, 'f', 2)
                          .arg(sky.end->positionAngle, 0, 'f', 1)
                          .arg(sky.headsForSun ? tr("朝向太阳") : tr("不朝向太阳"));
    if (!sky.nearBody.isEmpty())
        m_skyLines << tr("轨迹靠近 %1：可能是这颗行星，不是彗星。").arg(sky.nearBody);
    update();
}

void CSungrazerDlg::OnCopy()
{
    QString text = reportText();
    QGuiApplication::clipboard()->setText(text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

void CSungrazerDlg::OnSaveAs()
{
    const std::optional<QString> path = Desktop::instance().chooseSaveFile();
    if (!path)
        return;
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(reportText().toUtf8()) < 0 || !file.commit())
        Desktop::instance().messageBox(tr("无法保存文件 %1").arg(*path));
}
