#include "pictures/PictureList.h"

#include "../support/FakeDesktop.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// An item with a one-pixel picture whose pixels `watch` shares: once the picture is released,
// `watch` is the only holder left and reports itself detached.
std::unique_ptr<CPictureItem> item(const QString& name, QImage* watch = nullptr)
{
    QImage pixels(1, 1, QImage::Format_RGB32);
    pixels.fill(Qt::black);
    if (watch)
        *watch = pixels;
    return std::make_unique<CPictureItem>(std::make_unique<Picture>(pixels, 27, 27), name,
                                          QStringLiteral("/pictures/") + name);
}

QStringList names(const PictureList& list)
{
    QStringList out;
    for (POSITION pos = list.GetHeadPosition(); pos; pos = PictureList::next(pos))
        out << PictureList::GetAt(pos)->m_name;
    return out;
}

QStringList namesBackwards(const PictureList& list)
{
    QStringList out;
    for (POSITION pos = list.GetTailPosition(); pos; pos = PictureList::prev(pos))
        out.prepend(PictureList::GetAt(pos)->m_name);
    return out;
}

} // namespace

TEST(PictureList, PositionsSurviveChangesToOtherNodes)
{
    PictureList list;
    const POSITION b = list.AddTail(item("b.gif"));
    const POSITION d = list.AddTail(item("d.gif"));
    const POSITION a = list.InsertBefore(b, item("a.gif"));
    const POSITION c = list.InsertBefore(d, item("c.gif"));
    EXPECT_EQ(names(list), QStringList({"a.gif", "b.gif", "c.gif", "d.gif"}));
    EXPECT_EQ(list.GetHeadPosition(), a);
    EXPECT_EQ(list.GetTailPosition(), d);

    list.RemoveAt(b);
    list.RemoveAt(d);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(PictureList::GetAt(a)->m_name, "a.gif");
    EXPECT_EQ(PictureList::GetAt(c)->m_name, "c.gif");
    EXPECT_EQ(PictureList::next(a), c);
    EXPECT_EQ(PictureList::prev(c), a);
    EXPECT_EQ(PictureList::prev(a), nullptr);
    EXPECT_EQ(PictureList::next(c), nullptr);
    EXPECT_EQ(list.GetTailPosition(), c);
    EXPECT_TRUE(list.contains(a));
    EXPECT_FALSE(list.contains(b));

    list.RemoveAt(a);
    list.RemoveAt(c);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    EXPECT_EQ(list.GetTailPosition(), nullptr);
    list.AddTail(item("e.gif")); // an emptied list works as a new one
    EXPECT_EQ(names(list), QStringList({"e.gif"}));
    EXPECT_EQ(namesBackwards(list), QStringList({"e.gif"}));
}

TEST(PictureList, RemovalReleasesThePictureAndTellsTheOwner)
{
    PictureList list;
    QImage watch;
    list.AddTail(item("a.gif"));
    const POSITION b = list.AddTail(item("b.gif", &watch));
    list.AddTail(item("c.gif"));
    ASSERT_FALSE(watch.isDetached());

    std::vector<POSITION> removed;
    int countSeen = -1;
    list.setRemovalObserver([&](POSITION pos) {
        removed.push_back(pos);
        countSeen = list.GetCount();
    });
    list.RemoveAt(b);
    EXPECT_EQ(removed, std::vector<POSITION>{b});
    EXPECT_EQ(countSeen, 2); // already unlinked when the owner hears of it
    EXPECT_TRUE(watch.isDetached());
    EXPECT_EQ(names(list), QStringList({"a.gif", "c.gif"}));
    EXPECT_EQ(namesBackwards(list), QStringList({"a.gif", "c.gif"}));

    list.RemoveAll();
    EXPECT_EQ(removed.size(), 3u);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(PictureList, DestroyingTheListReleasesEveryPicture)
{
    QImage first, second;
    {
        PictureList list;
        list.AddTail(item("a.gif", &first));
        list.AddTail(item("b.gif", &second));
    }
    EXPECT_TRUE(first.isDetached());
    EXPECT_TRUE(second.isDetached());
}

TEST(InsertByName, KeepsNameOrder)
{
    struct Case
    {
        QStringList before;
        QString inserted;
        QStringList after;
    };
    const Case cases[] = {
        {{}, "a.gif", {"a.gif"}},
        {{"a.gif", "c.gif"}, "b.gif", {"a.gif", "b.gif", "c.gif"}},
        {{"a.gif", "b.gif"}, "c.gif", {"a.gif", "b.gif", "c.gif"}},
        {{"b.gif", "c.gif"}, "a.gif", {"a.gif", "b.gif", "c.gif"}},
        {{"a.gif"}, "A.gif", {"A.gif", "a.gif"}}, // names differing in case are different pictures
        {{"10.gif"}, "9.gif", {"10.gif", "9.gif"}},
    };
    for (const Case& c : cases) {
        FakeDesktop desktop;
        PictureList list;
        for (const QString& name : c.before)
            list.AddTail(item(name));
        EXPECT_EQ(InsertByName(list, item(c.inserted)), InsertResult::Inserted);
        EXPECT_EQ(names(list), c.after) << c.inserted.toStdString();
        EXPECT_EQ(namesBackwards(list), c.after);
        EXPECT_EQ(list.GetCount(), c.after.size());
        EXPECT_TRUE(desktop.messages.isEmpty());
    }
}

TEST(InsertByName, RefusesANameAlreadyLoadedAndReleasesTheNewPicture)
{
    FakeDesktop desktop;
    PictureList list;
    QImage kept, refused;
    InsertByName(list, item("a.gif", &kept));
    InsertByName(list, item("b.gif"));
    EXPECT_EQ(InsertByName(list, item("a.gif", &refused)), InsertResult::Refused);

    EXPECT_EQ(desktop.messages, QStringList({"图片已经载入"}));
    EXPECT_TRUE(refused.isDetached());
    EXPECT_FALSE(kept.isDetached());
    EXPECT_EQ(names(list), QStringList({"a.gif", "b.gif"}));

    EXPECT_EQ(InsertByName(list, item("b.gif")), InsertResult::Refused); // once per refused file
    EXPECT_EQ(desktop.messages.size(), 2);
}

TEST(InsertByName, AfterAnUnorderedAppendStopsAtTheFirstGreaterName)
{
    // File Open appends without ordering; a later ordered insert only looks as far as it walks.
    FakeDesktop desktop;
    PictureList list;
    list.AddTail(item("c.gif"));
    list.AddTail(item("a.gif"));
    EXPECT_EQ(InsertByName(list, item("b.gif")), InsertResult::Inserted);
    EXPECT_EQ(names(list), QStringList({"b.gif", "c.gif", "a.gif"}));
    EXPECT_EQ(InsertByName(list, item("a.gif")), InsertResult::Inserted); // never meets the other a.gif
    EXPECT_EQ(names(list), QStringList({"a.gif", "b.gif", "c.gif", "a.gif"}));
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST(CompareNames, OrdersByUnsignedBytesOfUtf8)
{
    struct Case
    {
        QString less, greater;
    };
    const Case cases[] = {
        {"B.gif", "a.gif"},
        {"10.gif", "9.gif"},
        {"a.gif", "a.gif.bak"}, // a prefix orders first
        {"", "a.gif"},
        {"z.gif", "é.gif"},               // bytes over 0x7f order after ASCII
        {"é.gif", "图片.gif"},            // two-byte before three-byte sequences
        {"\uFF5E.gif", "\U0001F600.gif"}, // UTF-8 order, where UTF-16 order would be the reverse
    };
    for (const Case& c : cases) {
        EXPECT_LT(compareNames(c.less, c.greater), 0)
            << c.less.toStdString() << " < " << c.greater.toStdString();
        EXPECT_GT(compareNames(c.greater, c.less), 0) << c.greater.toStdString();
        EXPECT_EQ(compareNames(c.less, c.less), 0);
    }
}
