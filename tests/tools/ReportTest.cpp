// The position report: the line a double-click offers, the report's states through confirm,
// clear, OK and Cancel, the size header and the clipboard text.
#include "../support/FakeDesktop.h"
#include "../support/Fixtures.h"
#include "../support/ModalScript.h"
#include "../support/ViewHarness.h"
#include "tools/ConfirmDlg.h"
#include "tools/ReportDlg.h"
#include "tools/ReportText.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

const QString header = QStringLiteral("picture name\t\tposition\r\n");
const QString name512 = QStringLiteral("lasco_c3_20130513_1654_512.jpg");

class Report : public ::testing::Test
{
protected:
    // The line a double-click at `point` offers; the confirmation is cancelled.
    QString offeredLine(QPoint point)
    {
        QString line;
        ModalScript script;
        script.on<CConfirmDlg>([&](CConfirmDlg* dialog) {
            line = dialog->m_line;
            clickButton(dialog, "cancel");
        });
        script.run([&] { view->OnLButtonDblClk(point); });
        return line;
    }

    // Runs the report command, pressing `buttons` in turn in the report dialog; returns the text
    // the dialog showed when it opened.
    QString viewReport(const std::vector<const char*>& buttons)
    {
        QString shown;
        ModalScript script;
        script.on<CReportDlg>([&](CReportDlg* dialog) {
            shown = dialog->m_reportEdit->toPlainText();
            for (const char* button : buttons)
                clickButton(dialog, button);
        });
        script.run([&] { view->OnViewReport(); });
        return shown;
    }

    FakeDesktop desktop;
    ViewHarness harness;
    CSkyrakeView* view = harness.view;
};

} // namespace

TEST_F(Report, LinesGiveOneBasedPicturePixels)
{
    harness.load({fixture(lasco512Jpg)});
    EXPECT_EQ(offeredLine({0, 0}), name512 + "\t(1,1)\r\n");
    EXPECT_EQ(offeredLine({511, 399}), name512 + "\t(512,400)\r\n");

    view->OnZoomIn();
    ASSERT_DOUBLE_EQ(view->placement().zoom(), 1.5);
    const QStringList expected = {"1", "1", "2", "3"};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(offeredLine({x, 0}), name512 + "\t(" + expected[x] + ",1)\r\n") << x;

    // Left of and above the picture: numbers below 1, the line still offered.
    Placement placement;
    placement.moveTo(10, 20);
    view->setPlacement(placement);
    EXPECT_EQ(offeredLine({9, 18}), name512 + "\t(-1,-2)\r\n");
    EXPECT_EQ(view->report(), header); // every confirmation was cancelled
}

TEST_F(Report, ADoubleClickWithoutPicturesOpensNothing)
{
    ModalScript script;
    script.then([](QWidget* dialog) { dialog->close(); });
    EXPECT_EQ(script.run([&] { view->OnLButtonDblClk({5, 5}); }), 0);
    EXPECT_EQ(view->report(), header);
}

TEST_F(Report, HeaderBeforeAnyRenderReadsZeroByZero)
{
    EXPECT_EQ(viewReport({"ok"}), QStringLiteral("picture size: 0 * 0\n\n") + "picture name\t\tposition\n");
}

TEST_F(Report, HeaderGivesTheNaturalSizeAndLeavesTheDisplayedSizeAlone)
{
    harness.load({fixture(lasco512Jpg)});
    view->OnZoomIn();
    ASSERT_EQ(view->placement().imageWidth(), 768);
    EXPECT_TRUE(viewReport({"cancel"}).startsWith(QStringLiteral("picture size: 512 * 512\n\n")));
    EXPECT_EQ(view->placement().imageWidth(), 768);
    EXPECT_EQ(view->placement().imageHeight(), 768);
}

TEST_F(Report, ConfirmedLinesStayUnlessClearedAndClosedWithOk)
{
    harness.load({fixture(lasco512Jpg), fixture(lasco1024Jpg)});
    const QString line1 = name512 + "\t(3,4)\r\n";
    // Confirm, then cancel the report dialog: the line stays.
    ModalScript confirm;
    QString reportShown;
    confirm.on<CConfirmDlg>([](CConfirmDlg* dialog) {
        EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("question"))->text(),
                  QStringLiteral("添加到报告？"));
        clickButton(dialog, "ok");
    });
    confirm.on<CReportDlg>([&](CReportDlg* dialog) {
        reportShown = dialog->m_text;
        clickButton(dialog, "cancel");
    });
    EXPECT_EQ(confirm.run([&] { view->OnLButtonDblClk({2, 3}); }), 2);
    EXPECT_EQ(reportShown, "picture size: 512 * 512\r\n\r\n" + header + line1);
    EXPECT_EQ(view->report(), header + line1);

    // A line from the next picture joins the same report; the size header follows the current one.
    view->OnNextPicture();
    ModalScript second;
    second.on<CConfirmDlg>([](CConfirmDlg* dialog) { clickButton(dialog, "ok"); });
    second.on<CReportDlg>([&](CReportDlg* dialog) {
        reportShown = dialog->m_text;
        clickButton(dialog, "ok");
    });
    second.run([&] { view->OnLButtonDblClk({0, 0}); });
    const QString line2 = QStringLiteral("lasco_c3_20130513_1654_1024.jpg\t(1,1)\r\n");
    EXPECT_EQ(reportShown, "picture size: 1024 * 1024\r\n\r\n" + header + line1 + line2);

    // Clear, then Cancel: nothing lost. Clear shows the header line alone.
    QString afterClear;
    ModalScript clearCancel;
    clearCancel.on<CReportDlg>([&](CReportDlg* dialog) {
        clickButton(dialog, "clear");
        afterClear = dialog->m_reportEdit->toPlainText();
        clickButton(dialog, "cancel");
    });
    clearCancel.run([&] { view->OnViewReport(); });
    EXPECT_EQ(afterClear, QStringLiteral("picture name\t\tposition\n"));
    EXPECT_EQ(view->report(), header + line1 + line2);

    // Clear, then OK: the header line alone.
    viewReport({"clear", "ok"});
    EXPECT_EQ(view->report(), header);
}

TEST_F(Report, CopyPutsTheWholeShownTextOnTheClipboardWithCrLf)
{
    harness.load({fixture(lasco512Jpg)});
    ModalScript add;
    add.on<CConfirmDlg>([](CConfirmDlg* dialog) { clickButton(dialog, "ok"); });
    add.on<CReportDlg>([](CReportDlg* dialog) { clickButton(dialog, "ok"); });
    ASSERT_EQ(add.run([&] { view->OnLButtonDblClk({9, 19}); }), 2);
    QGuiApplication::clipboard()->clear();
    bool openAfterCopy = false;
    ModalScript script;
    script.on<CReportDlg>([&](CReportDlg* dialog) {
        clickButton(dialog, "copy");
        openAfterCopy = dialog->isVisible();
        clickButton(dialog, "ok");
    });
    script.run([&] { view->OnViewReport(); });
    EXPECT_TRUE(openAfterCopy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "picture size: 512 * 512\r\n\r\npicture name\t\tposition\r\n" + name512 + "\t(10,20)\r\n");
    EXPECT_EQ(view->report(), header + name512 + "\t(10,20)\r\n");
}

TEST(ReportText, LinesRoundHalvesAwayFromZeroAndKeepOneLinePerEntry)
{
    EXPECT_EQ(reportLine("a.gif", 10.5, -0.5), QStringLiteral("a.gif\t(11,-1)\r\n"));
    EXPECT_EQ(reportLine("a.gif", 0.49, 2.5), QStringLiteral("a.gif\t(0,3)\r\n"));
    // A name with a tab, line breaks or a line separator would split the report's columns or lines.
    EXPECT_EQ(reportLine(QStringLiteral("x\ty\r\nz\u2028w.gif"), 1, 1),
              QStringLiteral("x y  z w.gif\t(1,1)\r\n"));
    EXPECT_EQ(reportSizeHeader(1024, 768), QStringLiteral("picture size: 1024 * 768\r\n\r\n"));
}
