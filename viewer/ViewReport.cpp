// The position report: a double-click offers the picture position under the pointer as a
// report line; confirmed lines build the report, which the report dialog shows and copies.
#include "viewer/SkyrakeView.h"

#include "platform/Himetric.h"
#include "tools/ConfirmDlg.h"
#include "tools/ReportDlg.h"
#include "tools/ReportText.h"
#include "viewer/CoordinateModel.h"

void CSkyrakeView::OnLButtonDblClk(QPoint point)
{
    if (!hasCurrentPicture())
        return;
    m_pCurrent = PictureList::GetAt(m_curPos);
    const double x = toPicture(point.x(), m_offsetX, m_zoom);
    const double y = toPicture(point.y(), m_offsetY, m_zoom);
    CConfirmDlg confirm(window());
    confirm.m_line = reportLine(m_pCurrent->m_name, x, y);
    confirm.m_question = tr("添加到报告？");
    if (confirm.exec() != QDialog::Accepted)
        return;
    m_report += confirm.m_line;
    OnViewReport();
}

QSize CSkyrakeView::NaturalSize() const
{
    if (!hasCurrentPicture() || !m_pCurrent)
        return {};
    const Picture& picture = *m_pCurrent->m_pPicture;
    return {naturalSize(dpiX(), picture.himetricWidth()), naturalSize(dpiY(), picture.himetricHeight())};
}

void CSkyrakeView::OnViewReport()
{
    // The header quotes the current picture's natural size; the displayed size that the pan
    // rules read stays as the last render left it.
    const QSize size = hasCurrentPicture() ? NaturalSize() : QSize(m_imageWidth, m_imageHeight);
    CReportDlg dialog(window());
    dialog.m_text = reportSizeHeader(size.width(), size.height()) + m_report;
    if (dialog.exec() == QDialog::Accepted && dialog.m_cleared)
        m_report = reportHeaderLine();
}
