// The view's picture commands: File Open (append), Import pictures (ordered, at most ten, then
// the list) and the picture list.
#include "viewer/SkyrakeView.h"

#include "pictures/ImportFiles.h"
#include "pictures/PictureListDlg.h"

void CSkyrakeView::ShowFirst()
{
    makeCurrent(m_pictures.GetHeadPosition());
}

void CSkyrakeView::OnFileOpen()
{
    m_clientRect = QRect(QPoint(0, 0), size());
    ImportRules rules;
    rules.pathHolder = &m_path;
    ImportFiles(m_pictures, rules, [this] { ShowFirst(); });
}

void CSkyrakeView::OnImportPictures()
{
    ImportRules rules;
    rules.limit = maxPictures;
    rules.ordered = true;
    rules.pathHolder = &m_path;
    ImportFiles(m_pictures, rules);
    OnPictureList();
}

void CSkyrakeView::OnPictureList()
{
    {
        CPictureListDlg dialog(&m_pictures, window());
        dialog.exec();
    }
    ShowFirst();
    showPictureCount();
    InvalidateRect();
}
