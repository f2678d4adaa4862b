// The interval dialog: whole numbers from 100 to 10000 only, the dialog staying open on
// anything else, and arrows that step the number within the bounds.
#include "tools/SpeedDlg.h"
#include "../support/FakeDesktop.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QToolButton>

TEST(SpeedDlg, AcceptsTheBoundsAndRefusesEverythingElseStayingOpen)
{
    FakeDesktop desktop;
    const std::pair<const char*, int> accepted[] = {{"100", 100}, {"10000", 10000}, {" 2500 ", 2500}};
    for (const auto& [text, value] : accepted) {
        CSpeedDlg dialog(300);
        dialog.show();
        dialog.m_intervalEdit->setText(QString::fromLatin1(text));
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << text;
        EXPECT_EQ(dialog.m_value, value) << text;
        EXPECT_FALSE(dialog.isVisible()) << text;
    }
    EXPECT_TRUE(desktop.messages.isEmpty());

    for (const char* text : {"99", "10001", "", "abc", "3e2", "1 000", "-300", "99999999999"}) {
        CSpeedDlg dialog(300);
        dialog.show();
        dialog.m_intervalEdit->setText(QString::fromLatin1(text));
        const qsizetype before = desktop.messages.size();
        dialog.accept();
        EXPECT_EQ(desktop.messages.size(), before + 1) << text;
        EXPECT_TRUE(dialog.isVisible()) << text;
        EXPECT_EQ(dialog.m_value, 300) << text;
        // The field is selected for retyping.
        EXPECT_EQ(dialog.m_intervalEdit->selectedText(), QString::fromLatin1(text)) << text;
    }
}

TEST(SpeedDlg, OpensWithTheIntervalAndCancelKeepsIt)
{
    FakeDesktop desktop;
    CSpeedDlg dialog(750);
    EXPECT_EQ(dialog.m_intervalEdit->text(), QStringLiteral("750"));
    dialog.show();
    dialog.m_intervalEdit->setText(QStringLiteral("1000"));
    dialog.reject();
    EXPECT_EQ(dialog.m_value, 750);
}

TEST(SpeedDlg, ArrowsAndArrowKeysStepWithinTheBounds)
{
    FakeDesktop desktop;
    CSpeedDlg dialog(300);
    dialog.show();
    auto* up = dialog.findChild<QToolButton*>(QStringLiteral("up"));
    auto* down = dialog.findChild<QToolButton*>(QStringLiteral("down"));
    ASSERT_TRUE(up && down);
    up->click();
    EXPECT_EQ(dialog.m_intervalEdit->text(), QStringLiteral("400"));
    down->click();
    down->click();
    EXPECT_EQ(dialog.m_intervalEdit->text(), QStringLiteral("200"));
    down->click();
    down->click();
    EXPECT_EQ(dialog.m_intervalEdit->text(), QStringLiteral("100"));

    dialog.m_intervalEdit->setText(QStringLiteral("9950"));
    QTest::keyClick(dialog.m_intervalEdit, Qt::Key_Up);
    EXPECT_EQ(dialog.m_intervalEdit->text(), QStringLiteral("10000"));
    QTest::keyClick(dialog.m_intervalEdit, Qt::Key_Down);
    EXPECT_EQ(dialog.m_intervalEdit->text(), QStringLiteral("9900"));

    // Text that is not a number steps from the dialog's value; far out of range comes back in.
    dialog.m_intervalEdit->setText(QStringLiteral("abc"));
    up->click();
    EXPECT_EQ(dialog.m_intervalEdit->text(), QStringLiteral("400"));
    dialog.m_intervalEdit->setText(QStringLiteral("50000"));
    down->click();
    EXPECT_EQ(dialog.m_intervalEdit->text(), QStringLiteral("10000"));
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(dialog.m_value, 300); // only OK takes the number over
}
