// The view's import commands with a scripted file dialog: File Open appends everything, Import
// pictures keeps at most ten pictures in name order and always ends in the picture list.
#include "../support/FakeDesktop.h"
#include "../support/Fixtures.h"
#include "../support/ModalScript.h"
#include "../support/ViewHarness.h"
#include "pictures/PictureListDlg.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <algorithm>

namespace {

const QString tooMany = QStringLiteral("加载图片过多");

QStringList rowsOf(const CPictureListDlg* dialog)
{
    QStringList rows;
    for (int i = 0; i < dialog->m_list->count(); ++i)
        rows << dialog->m_list->item(i)->text();
    return rows;
}

QStringList namesOf(const PictureList& list)
{
    QStringList names;
    for (POSITION pos = list.GetHeadPosition(); pos; pos = PictureList::next(pos))
        names << PictureList::GetAt(pos)->m_name;
    return names;
}

class ImportCommands : public ::testing::Test
{
protected:
    // Copies of the real 512 frame named p01.jpg, p02.jpg, ... (distinct files, one size).
    QStringList copies(int count, int first = 1)
    {
        QStringList paths;
        for (int i = first; i < first + count; ++i) {
            const QString path = dir.filePath(QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
            if (!QFile::exists(path))
                QFile::copy(fixture(lasco512Jpg), path);
            paths << path;
        }
        return paths;
    }

    // Runs Import pictures, closing the list dialog with `button` and noting its rows.
    void importPictures(const char* button = "ok")
    {
        ModalScript script;
        script.on<CPictureListDlg>([this, button](CPictureListDlg* dialog) {
            listRows = rowsOf(dialog);
            clickButton(dialog, button);
        });
        listDialogs += script.run([this] { harness.view->OnImportPictures(); });
        ViewHarness::settle();
    }

    QTemporaryDir dir;
    FakeDesktop desktop;
    ViewHarness harness;
    CSkyrakeView* view = harness.view;
    QStringList listRows;
    int listDialogs = 0;
};

} // namespace

TEST_F(ImportCommands, TwelveFilesGiveTenInNameOrderAndOneLimitMessage)
{
    QStringList files = copies(12);
    std::reverse(files.begin(), files.end()); // the dialog's order decides which ten are taken
    desktop.queueFiles(files);
    importPictures();

    EXPECT_EQ(desktop.messages, QStringList{tooMany});
    EXPECT_EQ(listDialogs, 1);
    QStringList expected;
    for (int i = 3; i <= 12; ++i)
        expected << QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
    EXPECT_EQ(listRows, expected);
    EXPECT_EQ(namesOf(view->pictures()), expected);
    // The last file taken was the tenth; the eleventh was never looked at.
    EXPECT_TRUE(view->importPath().endsWith(QStringLiteral("p03.jpg"))) << view->importPath().toStdString();
    // The closing steps: the head is current and shown, pane 4 counts.
    EXPECT_EQ(view->currentIndex(), 0);
    EXPECT_EQ(harness.pane(3), QStringLiteral("p03.jpg"));
    EXPECT_EQ(harness.pane(4), QStringLiteral("共有10幅图片"));
}

TEST_F(ImportCommands, ExactlyTenFilesGiveNoMessage)
{
    desktop.queueFiles(copies(10));
    importPictures();
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(view->pictures().GetCount(), 10);
    EXPECT_EQ(listRows.size(), 10);
}

TEST_F(ImportCommands, WithTenLoadedTheLimitStopsBeforeTheFirstFileAndTheListStillOpens)
{
    desktop.queueFiles(copies(10));
    importPictures();
    const QString lastPath = view->importPath();

    desktop.queueFiles(copies(2, 11));
    importPictures("cancel");
    EXPECT_EQ(desktop.messages, QStringList{tooMany});
    EXPECT_EQ(view->importPath(), lastPath); // no file was taken
    EXPECT_EQ(view->pictures().GetCount(), 10);
    EXPECT_EQ(listDialogs, 2);
}

TEST_F(ImportCommands, ANonPictureIsSkippedSilentlyAndDoesNotCount)
{
    QStringList files = copies(10);
    files.insert(4, fixture(QStringLiteral("crafted/html_404_named.jpg")));
    files.insert(0, fixture(QStringLiteral("crafted/empty.gif")));
    desktop.queueFiles(files);
    importPictures();
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(view->pictures().GetCount(), 10);
}

TEST_F(ImportCommands, ADuplicateNameIsRefusedOnceAndTheLoopGoesOn)
{
    const QStringList files = copies(3);
    desktop.queueFiles({files[1], files[0], files[1], files[2]});
    importPictures();
    EXPECT_EQ(desktop.messages, QStringList{QStringLiteral("图片已经载入")});
    EXPECT_EQ(namesOf(view->pictures()), (QStringList{"p01.jpg", "p02.jpg", "p03.jpg"}));
}

TEST_F(ImportCommands, CancellingImportPicturesStillOpensTheListThenShowsTheFirst)
{
    harness.load({fixture(lasco512Jpg), fixture(lasco512Gif)});
    view->OnPrevPicture(); // the tail is current
    desktop.queueCancel();
    importPictures("cancel");
    EXPECT_EQ(desktop.fileDialogs, 1);
    EXPECT_EQ(listDialogs, 1);
    EXPECT_EQ(listRows.size(), 2);
    EXPECT_EQ(view->currentIndex(), 0);
    EXPECT_EQ(harness.pane(4), QStringLiteral("共有2幅图片"));
}

TEST_F(ImportCommands, ImportPicturesOnAnEmptySequenceLeavesNoCurrentPicture)
{
    desktop.queueCancel();
    importPictures();
    EXPECT_EQ(view->currentIndex(), -1);
    EXPECT_EQ(view->currentName(), QString());
    EXPECT_EQ(harness.pane(4), QStringLiteral("共有0幅图片"));
}

TEST_F(ImportCommands, CancellingFileOpenChangesNothingAndDrawsNothing)
{
    harness.load({fixture(lasco512Jpg)});
    const QImage before = view->windowImage().copy();
    const QString pane3 = harness.pane(3);
    desktop.queueCancel();
    view->OnFileOpen();
    ViewHarness::settle();
    EXPECT_EQ(desktop.fileDialogs, 1);
    EXPECT_EQ(view->pictures().GetCount(), 1);
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(harness.pane(3), pane3);
    EXPECT_EQ(view->windowImage(), before);
}

TEST_F(ImportCommands, FileOpenAppendsDuplicatesBeyondTenAndThenImportStopsAtOnce)
{
    QStringList files = copies(10);
    files << files[0]; // the same file again: accepted under File Open
    desktop.queueFiles(files);
    view->OnFileOpen();
    EXPECT_EQ(harness.pane(4), QStringLiteral("共有11幅图片")); // at once, before any repaint
    ViewHarness::settle();
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(view->pictures().GetCount(), 11);
    EXPECT_EQ(PictureList::GetAt(view->pictures().GetTailPosition())->m_name, QStringLiteral("p01.jpg"));
    EXPECT_EQ(view->currentIndex(), 0);
    EXPECT_EQ(harness.pane(3), QStringLiteral("p01.jpg"));

    desktop.queueFiles(copies(1, 20));
    importPictures();
    EXPECT_EQ(desktop.messages, QStringList{tooMany});
    EXPECT_EQ(view->pictures().GetCount(), 11);
    EXPECT_EQ(harness.pane(4), QStringLiteral("共有11幅图片"));
}

TEST_F(ImportCommands, FileOpenShowsTheHeadOfTheWholeSequence)
{
    desktop.queueFiles(copies(1, 5));
    view->OnFileOpen();
    desktop.queueFiles(copies(2, 1));
    view->OnFileOpen();
    ViewHarness::settle();
    EXPECT_EQ(namesOf(view->pictures()), (QStringList{"p05.jpg", "p01.jpg", "p02.jpg"}));
    EXPECT_EQ(harness.pane(3), QStringLiteral("p05.jpg"));
}

TEST_F(ImportCommands, TheWaitCursorCoversTheLoopAndItsMessagesOnly)
{
    desktop.queueFiles(copies(11));
    bool waitDuringMessage = false;
    desktop.onMessage = [&](const QString&) {
        waitDuringMessage =
            QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    };
    bool waitInList = true;
    ModalScript script;
    script.on<CPictureListDlg>([&](CPictureListDlg* dialog) {
        waitInList = QApplication::overrideCursor() != nullptr;
        clickButton(dialog, "ok");
    });
    script.run([&] { view->OnImportPictures(); });
    EXPECT_TRUE(waitDuringMessage);
    EXPECT_FALSE(waitInList);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ImportCommands, DeletingTheCurrentPictureDuringPlaybackNeverLeavesATickOnIt)
{
    harness.load({fixture("derived/c3_synthetic_comet_f0.jpg"), fixture("derived/c3_synthetic_comet_f1.jpg"),
                  fixture("derived/c3_synthetic_comet_f2.jpg")});
    view->OnPlayStart();
    view->OnTimer(); // f1 is current
    ASSERT_EQ(harness.pane(3), QStringLiteral("c3_synthetic_comet_f1.jpg"));

    QStringList rowsAfterDelete;
    ModalScript script;
    script.on<CPictureListDlg>([&](CPictureListDlg* dialog) {
        dialog->m_list->setCurrentRow(1); // the user selects f1 ...
        clickButton(dialog, "delete");    // ... and deletes it
        rowsAfterDelete = rowsOf(dialog);
        // Behind the dialog, the current position has moved to the head, and ticks and paint go on.
        EXPECT_EQ(view->currentIndex(), 0);
        view->OnTimer();
        EXPECT_EQ(harness.pane(3), QStringLiteral("c3_synthetic_comet_f2.jpg"));
        view->OnDraw();
        dialog->m_list->setCurrentRow(1); // now delete f2, the current one again
        clickButton(dialog, "delete");
        view->OnTimer(); // from the head (f0) to nothing further: the wrap pause
        EXPECT_TRUE(view->playback().isPausing());
        dialog->m_list->setCurrentRow(0);
        clickButton(dialog, "delete"); // the sequence is empty now
        EXPECT_EQ(view->currentIndex(), -1);
        view->endPlaybackPause();
        view->OnTimer();
        view->OnDraw();
        clickButton(dialog, "ok");
    });
    script.run([&] { view->OnPictureList(); });
    EXPECT_EQ(rowsAfterDelete, (QStringList{"c3_synthetic_comet_f0.jpg", "c3_synthetic_comet_f2.jpg"}));
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_TRUE(view->pictures().IsEmpty());
    EXPECT_EQ(view->currentName(), QString());
    EXPECT_EQ(harness.pane(4), QStringLiteral("共有0幅图片"));
    view->OnPlayStop();
}
