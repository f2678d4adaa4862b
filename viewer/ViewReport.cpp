// The position report: a double-click offers the picture position under the pointer as a
// report line; confirmed lines build the report, which the report dialog shows and copies.
#include "viewer/SkyrakeView.h"

#include "platform/Himetric.h"
#include "tools/ConfirmDlg.h"
#include "tools/ReportDlg.h"
#include "tools/ReportText.h"

void CSkyrakeView::OnLButtonDblClk(QPoint point)
{
    CPictureItem* item = current();
    if (!item)
        return;
    CConfirmDlg confirm(window());
    confirm.m_line =
        reportLine(item->m_name, m_placement.pictureX(point.x()), m_placement.pictureY(point.y()));
    confirm.m_question = tr("添加到报告？");
    if (confirm.exec() != QDialog::Accepted)
        return;
    setReport(m_report + confirm.m_line);
    measure(*item, m_placement.pictureAt(point));
    OnViewReport();
}

QSize CSkyrakeView::NaturalSize() const
{
    const CPictureItem* item = current();
    if (!item)
        return {};
    const Picture& picture = *item->m_pPicture;
    return {naturalSize(dpiX(), picture.himetricWidth()), naturalSize(dpiY(), picture.himetricHeight())};
}

void CSkyrakeView::OnViewReport()
{
    // The header quotes the current picture's natural size; the displayed size that the pan
    // rules read stays as the last render left it.
    const QSize size =
        hasCurrentPicture() ? NaturalSize() : QSize(m_placement.imageWidth(), m_placement.imageHeight());
    CReportDlg dialog(window());
    dialog.m_text = reportSizeHeader(size.width(), size.height()) + m_report;
    if (dialog.exec() == QDialog::Accepted && dialog.m_cleared)
        setReport(reportHeaderLine());
}
