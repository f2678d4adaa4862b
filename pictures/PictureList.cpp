#include "pictures/PictureList.h"

#include "platform/Desktop.h"

#include <QCoreApplication>

#include <algorithm>
#include <iterator>

PictureList::~PictureList()
{
    m_onRemoved = nullptr; // the owner is going away
    m_onChanged = nullptr;
    RemoveAll();
}

POSITION PictureList::next(POSITION pos)
{
    if (!pos)
        return nullptr;
    const auto after = std::next(pos->self);
    return after == pos->nodes->end() ? nullptr : &*after;
}

POSITION PictureList::prev(POSITION pos)
{
    if (!pos || pos->self == pos->nodes->begin())
        return nullptr;
    return &*std::prev(pos->self);
}

CPictureItem* PictureList::GetAt(POSITION pos)
{
    return pos ? pos->item.get() : nullptr;
}

bool PictureList::contains(POSITION pos) const
{
    // By address alone: `pos` may be a removed node's, which must not be read.
    return std::any_of(m_nodes.begin(), m_nodes.end(), [pos](const Node& node) { return &node == pos; });
}

POSITION PictureList::place(std::list<Node>::iterator before, std::unique_ptr<CPictureItem> item)
{
    const auto it = m_nodes.insert(before, Node{std::move(item), {}, &m_nodes});
    it->self = it;
    changed();
    return &*it;
}

POSITION PictureList::AddTail(std::unique_ptr<CPictureItem> item)
{
    return place(m_nodes.end(), std::move(item));
}

POSITION PictureList::InsertBefore(POSITION pos, std::unique_ptr<CPictureItem> item)
{
    return pos ? place(pos->self, std::move(item)) : AddTail(std::move(item));
}

void PictureList::RemoveAt(POSITION pos)
{
    if (!pos)
        return;
    // Unlinked into a list of its own, the node lives on while the owner hears of its removal
    // and its item is discarded; it is freed with that list.
    std::list<Node> removed;
    removed.splice(removed.end(), m_nodes, pos->self);
    pos->nodes = &removed;
    if (m_onRemoved)
        m_onRemoved(pos);
    DiscardItem(std::move(pos->item));
    removed.clear();
    changed();
}

void PictureList::changed() const
{
    if (m_onChanged)
        m_onChanged();
}

void PictureList::RemoveAll()
{
    while (!m_nodes.empty())
        RemoveAt(&m_nodes.front());
}

InsertResult InsertByName(PictureList& list, std::unique_ptr<CPictureItem> item)
{
    for (POSITION pos = list.GetHeadPosition(); pos; pos = PictureList::next(pos)) {
        const int order = compareNames(PictureList::GetAt(pos)->m_name, item->m_name);
        if (order == 0) {
            Desktop::instance().messageBox(QCoreApplication::translate("Pictures", "图片已经载入"));
            DiscardItem(std::move(item));
            return InsertResult::Refused;
        }
        if (order > 0) {
            list.InsertBefore(pos, std::move(item));
            return InsertResult::Inserted;
        }
    }
    list.AddTail(std::move(item));
    return InsertResult::Inserted;
}
