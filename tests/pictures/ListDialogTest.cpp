// The picture list dialog on a sequence of its own: rows in sequence order, Import under the
// size rule, Delete of the selected row.
#include "../support/FakeDesktop.h"
#include "../support/Fixtures.h"
#include "pictures/ImportFiles.h"
#include "pictures/LoadPictureFile.h"
#include "pictures/PictureListDlg.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

namespace {

const QString sizesDiffer = QStringLiteral("图片大小不一致");

class ListDialog : public ::testing::Test
{
protected:
    // A copy of fixture `source` named `name`, so that names can be chosen freely.
    QString copy(const QString& source, const QString& name)
    {
        const QString path = dir.filePath(name);
        QFile::copy(fixture(source), path);
        return path;
    }

    QStringList rows(const CPictureListDlg& dialog) const
    {
        QStringList texts;
        for (int i = 0; i < dialog.m_list->count(); ++i)
            texts << dialog.m_list->item(i)->text();
        return texts;
    }

    void importInto(CPictureListDlg& dialog, const QStringList& paths)
    {
        desktop.queueFiles(paths);
        dialog.OnImport();
    }

    QTemporaryDir dir;
    FakeDesktop desktop;
    PictureList pictures;
};

Picture pictureOfSize(int himetricWidth, int himetricHeight)
{
    QImage pixels(4, 4, QImage::Format_RGB32);
    pixels.fill(Qt::black);
    return Picture(pixels, himetricWidth, himetricHeight);
}

} // namespace

TEST_F(ListDialog, SizeRuleAllowsOneHundredHimetricEitherWay)
{
    CPictureListDlg dialog(&pictures);
    EXPECT_EQ(dialog.m_refWidth, 0);
    EXPECT_EQ(dialog.m_refHeight, 0);
    EXPECT_TRUE(dialog.checkSize(pictureOfSize(13547, 13547))); // an empty reference takes the first
    EXPECT_EQ(dialog.m_refWidth, 13547);

    EXPECT_TRUE(dialog.checkSize(pictureOfSize(13647, 13547)));
    EXPECT_TRUE(dialog.checkSize(pictureOfSize(13447, 13647)));
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_FALSE(dialog.checkSize(pictureOfSize(13648, 13547)));
    EXPECT_FALSE(dialog.checkSize(pictureOfSize(13547, 13446)));
    EXPECT_EQ(desktop.messages, (QStringList{sizesDiffer, sizesDiffer}));
    EXPECT_EQ(dialog.m_refWidth, 13547); // a refusal leaves the reference alone
}

TEST_F(ListDialog, ReferenceComesFromTheFirstItemAtConstruction)
{
    auto loaded = LoadPictureFile(fixture(lasco512Jpg));
    ASSERT_TRUE(loaded);
    const int width = loaded->picture->himetricWidth();
    pictures.AddTail(std::make_unique<CPictureItem>(std::move(loaded->picture), loaded->name, QString()));
    CPictureListDlg dialog(&pictures);
    EXPECT_EQ(dialog.m_refWidth, width);
    EXPECT_EQ(rows(dialog), QStringList{QStringLiteral("lasco_c3_20130513_1654_512.jpg")});

    importInto(dialog, {fixture(lasco1024Jpg), copy(lasco512Gif, QStringLiteral("second.gif"))});
    EXPECT_EQ(desktop.messages, QStringList{sizesDiffer});
    EXPECT_EQ(rows(dialog), (QStringList{"lasco_c3_20130513_1654_512.jpg", "second.gif"}));
}

TEST_F(ListDialog, FirstImportIntoAnEmptyListSetsTheReferenceWhichOutlivesDeletion)
{
    CPictureListDlg dialog(&pictures);
    EXPECT_TRUE(rows(dialog).isEmpty());
    importInto(dialog, {copy(lasco512Jpg, QStringLiteral("first.jpg"))});
    ASSERT_EQ(pictures.GetCount(), 1);
    const int refWidth = dialog.m_refWidth;
    EXPECT_GT(refWidth, 0);

    dialog.m_list->setCurrentRow(0);
    dialog.OnDelete();
    EXPECT_TRUE(pictures.IsEmpty());
    EXPECT_TRUE(rows(dialog).isEmpty());
    EXPECT_EQ(dialog.m_refWidth, refWidth);

    // Still the 512 reference: the 1024 frame is refused, a 512 one taken.
    importInto(dialog, {fixture(lasco1024Gif), copy(lasco512Gif, QStringLiteral("again.gif"))});
    EXPECT_EQ(desktop.messages, QStringList{sizesDiffer});
    EXPECT_EQ(rows(dialog), QStringList{QStringLiteral("again.gif")});
}

TEST_F(ListDialog, SizeMismatchIsReportedBeforeADuplicateName)
{
    CPictureListDlg dialog(&pictures);
    importInto(dialog, {copy(lasco512Jpg, QStringLiteral("frame.jpg"))});
    QTemporaryDir other;
    const QString sameName = other.filePath(QStringLiteral("frame.jpg"));
    QFile::copy(fixture(lasco1024Jpg), sameName);
    importInto(dialog, {sameName});
    EXPECT_EQ(desktop.messages, QStringList{sizesDiffer});
}

TEST_F(ListDialog, RowsFollowByteOrderAndDeleteRemovesTheSelectedRow)
{
    CPictureListDlg dialog(&pictures);
    importInto(dialog,
               {copy(lasco512Gif, QStringLiteral("a.gif")), copy(lasco512Gif, QStringLiteral("B.gif"))});
    EXPECT_EQ(rows(dialog), (QStringList{"B.gif", "a.gif"}));

    dialog.m_list->setCurrentRow(0);
    EXPECT_EQ(dialog.m_selPos, pictures.GetHeadPosition());
    dialog.OnDelete();
    EXPECT_EQ(rows(dialog), QStringList{QStringLiteral("a.gif")});
    EXPECT_EQ(PictureList::GetAt(pictures.GetHeadPosition())->m_name, QStringLiteral("a.gif"));
    EXPECT_EQ(dialog.m_selPos, nullptr);
    EXPECT_TRUE(dialog.m_list->selectedItems().isEmpty());

    // The refill leaves nothing selected: a second Delete does nothing.
    dialog.OnDelete();
    EXPECT_EQ(pictures.GetCount(), 1);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(ListDialog, DeleteWithoutASelectionDoesNothing)
{
    CPictureListDlg dialog(&pictures);
    importInto(dialog,
               {copy(lasco512Gif, QStringLiteral("one.gif")), copy(lasco512Gif, QStringLiteral("two.gif"))});
    // A current row without a selection (what focus alone gives a list) is not a selection.
    dialog.m_list->selectionModel()->setCurrentIndex(dialog.m_list->model()->index(0, 0),
                                                     QItemSelectionModel::NoUpdate);
    dialog.OnDelete();
    EXPECT_EQ(pictures.GetCount(), 2);
    EXPECT_EQ(rows(dialog).size(), 2);
}

TEST_F(ListDialog, CancelledImportDoesNotRefillAndTheLimitHolds)
{
    CPictureListDlg dialog(&pictures);
    QStringList ten;
    for (int i = 0; i < 11; ++i)
        ten << copy(lasco512Jpg, QStringLiteral("n%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
    importInto(dialog, ten);
    EXPECT_EQ(pictures.GetCount(), 10);
    EXPECT_EQ(desktop.messages, QStringList{QStringLiteral("加载图片过多")});

    dialog.m_list->setCurrentRow(3);
    desktop.queueCancel();
    dialog.OnImport();
    EXPECT_EQ(dialog.m_list->currentRow(), 3); // not refilled
}

TEST(ImportLoop, OrderedPlacingAndLimitFollowTheDialogOrderWhateverDecodesFirst)
{
    // The big frames decode slowly, the small ones fast: placing still follows the dialog's order,
    // so the limit keeps the first ten files that decode, in the order chosen.
    QTemporaryDir dir;
    FakeDesktop desktop;
    QStringList files;
    for (int i = 0; i < 14; ++i) {
        const QString source = i % 2 ? lasco1024Jpg : QStringLiteral("real/eit_171_20040301_0100_128.gif");
        const QString path = dir.filePath(QStringLiteral("%1.x").arg(QChar(u'm' - i)));
        QFile::copy(fixture(source), path);
        files << path;
    }
    files.insert(3, fixture(QStringLiteral("crafted/lasco_c3_1024_cut_half.jpg")));
    desktop.queueFiles(files);
    PictureList list;
    QString lastPath;
    ImportRules rules;
    rules.limit = 10;
    rules.ordered = true;
    rules.pathHolder = &lastPath;
    QStringList seen;
    rules.accept = [&](const Picture& picture) {
        seen << QString::number(picture.pixelWidth());
        return true;
    };
    EXPECT_EQ(ImportFiles(list, rules), ImportOutcome::Done);
    EXPECT_EQ(list.GetCount(), 10);
    EXPECT_EQ(desktop.messages, QStringList{QStringLiteral("加载图片过多")});
    EXPECT_EQ(seen, (QStringList{"128", "1024", "128", "1024", "128", "1024", "128", "1024", "128", "1024"}));
    EXPECT_EQ(lastPath, files[10]);
    EXPECT_EQ(PictureList::GetAt(list.GetHeadPosition())->m_name, QStringLiteral("d.x"));
}
