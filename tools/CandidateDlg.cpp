#include "tools/CandidateDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

QString falseAlarmText(double falseAlarms)
{
    if (falseAlarms < 0.001)
        return QStringLiteral("<1/1000");
    if (falseAlarms >= 1)
        return QString::number(falseAlarms, 'g', 2);
    return QStringLiteral("1/%1").arg(qRound(1 / falseAlarms));
}

CCandidateDlg::CCandidateDlg(const std::vector<Candidate>& candidates, std::vector<CutoutFrame> frames,
                             int interval, std::function<void(int)> centre, std::function<void(int)> dismiss,
                             QWidget* parent)
    : QDialog(parent), m_candidates(candidates), m_frames(std::move(frames)), m_centre(std::move(centre)),
      m_dismiss(std::move(dismiss))
{
    setWindowTitle(tr("移动目标候选"));
    constexpr int columns = 5;
    m_table = new QTableWidget(int(candidates.size()), columns, this);
    m_table->setObjectName(QStringLiteral("candidates"));
    m_table->setHorizontalHeaderLabels(
        {tr("得分"), tr("速度（像素/小时）"), tr("方向（位置角）"), tr("检出帧数"), tr("虚警率")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < int(candidates.size()); ++row) {
        const Candidate& c = candidates[size_t(row)];
        const QString cells[] = {QString::number(c.score, 'f', 1), QString::number(c.speed, 'f', 1),
                                 QString::number(c.positionAngle, 'f', 0) + QStringLiteral("°"),
                                 QStringLiteral("%1/%2").arg(c.framesDetected).arg(c.positions.size()),
                                 falseAlarmText(c.falseAlarms)};
        for (int column = 0; column < columns; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
        m_table->setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(row + 1)));
    }
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    // The cutouts, at their enlarged size, the frame's name under them.
    m_cutout = new QLabel(this);
    m_cutout->setObjectName(QStringLiteral("cutout"));
    m_cutout->setFixedSize(QSize(cutoutSide, cutoutSide) * enlargement);
    m_frameName = new QLabel(this);
    m_frameName->setObjectName(QStringLiteral("cutoutFrame"));
    m_frameName->setAlignment(Qt::AlignHCenter);
    auto* keys = new QLabel(tr("↑↓ 选择，Enter 居中显示，Delete 排除"), this);
    keys->setAlignment(Qt::AlignHCenter);
    auto* side = new QVBoxLayout;
    side->addWidget(m_cutout);
    side->addWidget(m_frameName);
    side->addWidget(keys);
    side->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    auto* show = buttons->addButton(tr("居中显示"), QDialogButtonBox::ActionRole);
    auto* remove = buttons->addButton(tr("排除"), QDialogButtonBox::ActionRole);
    auto* take = buttons->addButton(tr("转为测量"), QDialogButtonBox::AcceptRole);
    auto* close = buttons->addButton(QDialogButtonBox::Close);
    show->setObjectName(QStringLiteral("centre"));
    remove->setObjectName(QStringLiteral("dismiss"));
    take->setObjectName(QStringLiteral("take"));
    close->setObjectName(QStringLiteral("close"));
    close->setText(tr("关闭"));
    // Enter in the list centres the chosen candidate.
    show->setDefault(true);
    m_buttons[0] = show;
    m_buttons[1] = remove;
    m_buttons[2] = take;

    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    layout->addWidget(m_summary);
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_table, 1);
    middle->addLayout(side);
    layout->addLayout(middle, 1);
    layout->addWidget(buttons);
    updateSummary();
    fitToColumns();

    m_blink.setInterval(std::max(interval, 10));
    connect(&m_blink, &QTimer::timeout, this, [this] {
        if (!m_cutouts.empty())
            m_shown = (m_shown + 1) % m_cutouts.size();
        showCutout();
    });
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &CCandidateDlg::showChosen);
    if (!candidates.empty())
        m_table->selectRow(0);
    m_table->setFocus();

    const auto centreChosen = [this] {
        if (chosen() >= 0 && m_centre)
            m_centre(chosen());
    };
    connect(show, &QPushButton::clicked, this, centreChosen);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, centreChosen);
    connect(remove, &QPushButton::clicked, this, &CCandidateDlg::dismissChosen);
    connect(take, &QPushButton::clicked, this, [this] {
        m_taken = chosen();
        if (m_taken >= 0)
            accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CCandidateDlg::keyPressEvent(QKeyEvent* event)
{
    // The list leaves Delete to the dialog.
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        dismissChosen();
        return;
    }
    QDialog::keyPressEvent(event);
}

int CCandidateDlg::chosen() const
{
    const QList<QTableWidgetItem*> selected = m_table->selectedItems();
    return selected.isEmpty() ? -1 : selected.front()->row();
}

void CCandidateDlg::showChosen()
{
    // The blink starts again from the first frame, so every candidate is seen in frame order.
    m_cutouts.clear();
    m_shown = 0;
    const int row = chosen();
    if (row >= 0) {
        for (const QImage& crop : cutouts(m_frames, m_candidates[size_t(row)]))
            m_cutouts.push_back(enlargedCutout(crop, enlargement));
    }
    for (QPushButton* button : m_buttons)
        button->setEnabled(row >= 0);
    if (m_cutouts.empty())
        m_blink.stop();
    else
        m_blink.start();
    showCutout();
}

void CCandidateDlg::showCutout()
{
    if (m_shown >= m_cutouts.size()) {
        m_cutout->clear();
        m_frameName->clear();
        return;
    }
    m_cutout->setPixmap(QPixmap::fromImage(m_cutouts[m_shown]));
    m_frameName->setText(m_frames[m_shown].name);
}

void CCandidateDlg::dismissChosen()
{
    const int row = chosen();
    if (row < 0)
        return;
    if (m_dismiss)
        m_dismiss(row);
    m_candidates.erase(m_candidates.begin() + row);
    ++m_dismissedHere;
    m_table->removeRow(row);
    // The ranks follow the list, as the numbers drawn in the window do.
    for (int at = row; at < m_table->rowCount(); ++at)
        m_table->verticalHeaderItem(at)->setText(QString::number(at + 1));
    if (m_table->rowCount() > 0)
        m_table->selectRow(std::min(row, m_table->rowCount() - 1));
    else
        showChosen();
    updateSummary();
}

void CCandidateDlg::updateSummary()
{
    if (!m_candidates.empty())
        m_summary->setText(tr("找到 %1 个候选目标，按得分排列：").arg(m_candidates.size()));
    else if (m_dismissedHere > 0)
        m_summary->setText(tr("候选目标都已排除。"));
    else
        m_summary->setText(tr("没有找到匀速直线移动的目标。"));
}

void CCandidateDlg::fitToColumns()
{
    // Wide enough for every column, so the table needs no scrolling sideways.
    m_table->resizeColumnsToContents();
    const int tableWidth = m_table->verticalHeader()->sizeHint().width() +
                           m_table->horizontalHeader()->length() + 2 * m_table->frameWidth() +
                           m_table->verticalScrollBar()->sizeHint().width();
    const QMargins margins = layout()->contentsMargins();
    resize(std::max(480, tableWidth + margins.left() + margins.right()) + layout()->spacing() +
               m_cutout->width(),
           std::max(320, sizeHint().height()));
}

void CCandidateDlg::showSky(const std::vector<TrackSky>& skies)
{
    const int first = m_table->columnCount();
    m_table->setColumnCount(first + 3);
    m_table->setHorizontalHeaderItem(first, new QTableWidgetItem(tr("起止（R☉，位置角）")));
    m_table->setHorizontalHeaderItem(first + 1, new QTableWidgetItem(tr("朝向太阳")));
    m_table->setHorizontalHeaderItem(first + 2, new QTableWidgetItem(tr("附近天体")));
    const auto where = [](const std::optional<SkyPoint>& at) {
        return at ? QStringLiteral("%1, %2°").arg(at->elongation, 0, 'f', 2).arg(at->positionAngle, 0, 'f', 0)
                  : QStringLiteral("?");
    };
    for (int row = 0; row < m_table->rowCount() && row < int(skies.size()); ++row) {
        const TrackSky& sky = skies[size_t(row)];
        const QString cells[] = {sky.start ? where(sky.start) + QStringLiteral(" → ") + where(sky.end)
                                           : QString(),
                                 sky.headsForSun ? tr("是") : QString(), sky.nearBody};
        for (int i = 0; i < 3; ++i)
            m_table->setItem(row, first + i, new QTableWidgetItem(cells[i]));
    }
    fitToColumns();
}
