#include "tools/CandidateDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

CCandidateDlg::CCandidateDlg(const std::vector<Candidate>& candidates, std::function<void(int)> centre,
                             QWidget* parent)
    : QDialog(parent), m_centre(std::move(centre))
{
    setWindowTitle(tr("移动目标候选"));
    m_table = new QTableWidget(int(candidates.size()), 4, this);
    m_table->setObjectName(QStringLiteral("candidates"));
    m_table->setHorizontalHeaderLabels(
        {tr("得分"), tr("速度（像素/小时）"), tr("方向（位置角）"), tr("检出帧数")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < int(candidates.size()); ++row) {
        const Candidate& c = candidates[size_t(row)];
        const QString cells[] = {QString::number(c.score, 'f', 1), QString::number(c.speed, 'f', 1),
                                 QString::number(c.positionAngle, 'f', 0) + QStringLiteral("°"),
                                 QStringLiteral("%1/%2").arg(c.framesDetected).arg(c.positions.size())};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
        m_table->setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(row + 1)));
    }
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (!candidates.empty())
        m_table->selectRow(0);

    auto* buttons = new QDialogButtonBox(this);
    auto* show = buttons->addButton(tr("居中显示"), QDialogButtonBox::ActionRole);
    auto* take = buttons->addButton(tr("转为测量"), QDialogButtonBox::AcceptRole);
    auto* close = buttons->addButton(QDialogButtonBox::Close);
    show->setObjectName(QStringLiteral("centre"));
    take->setObjectName(QStringLiteral("take"));
    close->setObjectName(QStringLiteral("close"));
    close->setText(tr("关闭"));
    show->setEnabled(!candidates.empty());
    take->setEnabled(!candidates.empty());

    auto* layout = new QVBoxLayout(this);
    auto* summary =
        new QLabel(candidates.empty() ? tr("没有找到匀速直线移动的目标。")
                                      : tr("找到 %1 个候选目标，按得分排列：").arg(candidates.size()),
                   this);
    summary->setObjectName(QStringLiteral("summary"));
    layout->addWidget(summary);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
    // Wide enough for every column, so the table needs no scrolling sideways.
    m_table->resizeColumnsToContents();
    const int tableWidth = m_table->verticalHeader()->sizeHint().width() +
                           m_table->horizontalHeader()->length() + 2 * m_table->frameWidth() +
                           m_table->verticalScrollBar()->sizeHint().width();
    const QMargins margins = layout->contentsMargins();
    resize(std::max(480, tableWidth + margins.left() + margins.right()), 320);

    const auto centreChosen = [this] {
        if (chosen() >= 0 && m_centre)
            m_centre(chosen());
    };
    connect(show, &QPushButton::clicked, this, centreChosen);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, centreChosen);
    connect(take, &QPushButton::clicked, this, [this] {
        m_taken = chosen();
        accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

int CCandidateDlg::chosen() const
{
    const QList<QTableWidgetItem*> selected = m_table->selectedItems();
    return selected.isEmpty() ? -1 : selected.front()->row();
}
