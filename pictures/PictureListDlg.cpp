#include "pictures/PictureListDlg.h"

#include "pictures/ImportFiles.h"
#include "platform/Desktop.h"
#include "platform/DialogUnits.h"

#include <QListWidget>
#include <QPushButton>

#include <cstdlib>

CPictureListDlg::CPictureListDlg(PictureList* pictures, QWidget* parent)
    : QDialog(parent), m_pPictures(pictures)
{
    if (const CPictureItem* first = PictureList::GetAt(m_pPictures->GetHeadPosition())) {
        m_refWidth = first->m_pPicture->himetricWidth();
        m_refHeight = first->m_pPicture->himetricHeight();
    }

    setWindowTitle(tr("文件列表"));
    setupDialog(this, 10, 179, 82);
    auto* ok = placed(new QPushButton(tr("OK"), this), "ok", 136, 42, 36, 14);
    auto* cancel = placed(new QPushButton(tr("Cancel"), this), "cancel", 136, 61, 36, 14);
    m_list = placed(new QListWidget(this), "list", 7, 7, 120, 68);
    auto* import = placed(new QPushButton(tr("导入文件"), this), "import", 136, 7, 36, 14);
    auto* remove = placed(new QPushButton(tr("删除"), this), "delete", 136, 25, 36, 14);
    ok->setDefault(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSortingEnabled(false);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(import, &QPushButton::clicked, this, &CPictureListDlg::OnImport);
    connect(remove, &QPushButton::clicked, this, &CPictureListDlg::OnDelete);
    // A list box reports a change of its selection; Qt's current row may move without one
    // (focus alone makes the first row current).
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        if (selectedRow() >= 0)
            OnSelchangeList();
    });

    fillList();
    ok->setFocus();
}

void CPictureListDlg::fillList()
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (POSITION pos = m_pPictures->GetHeadPosition(); pos; pos = PictureList::next(pos))
        m_list->addItem(PictureList::GetAt(pos)->m_name);
    m_list->setCurrentRow(-1);
    m_list->clearSelection();
}

int CPictureListDlg::selectedRow() const
{
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.front());
}

void CPictureListDlg::OnSelchangeList()
{
    const int row = selectedRow();
    POSITION pos = m_pPictures->GetHeadPosition();
    for (int i = 0; i < row && pos; ++i)
        pos = PictureList::next(pos);
    if (!pos) {
        Desktop::instance().messageBox(tr("有错误发生，请重新启动程序"));
        return;
    }
    m_selPos = pos;
}

bool CPictureListDlg::checkSize(const Picture& picture)
{
    const int w = picture.himetricWidth();
    const int h = picture.himetricHeight();
    if (m_refWidth == 0 && m_refHeight == 0) {
        m_refWidth = w;
        m_refHeight = h;
        return true;
    }
    if (std::abs(w - m_refWidth) > 100 || std::abs(h - m_refHeight) > 100) {
        Desktop::instance().messageBox(tr("图片大小不一致"));
        return false;
    }
    return true;
}

void CPictureListDlg::OnImport()
{
    ImportRules rules;
    rules.limit = maxPictures;
    rules.ordered = true;
    rules.accept = [this](const Picture& picture) { return checkSize(picture); };
    ImportFiles(*m_pPictures, rules, [this] { fillList(); });
}

void CPictureListDlg::OnDelete()
{
    if (selectedRow() < 0)
        return;
    if (m_selPos && !m_pPictures->IsEmpty() && m_pPictures->contains(m_selPos)) {
        m_pPictures->RemoveAt(m_selPos);
        m_selPos = nullptr;
    }
    fillList();
}
