#include "pictures/PictureList.h"

#include "platform/Desktop.h"

#include <QCoreApplication>

PictureList::~PictureList()
{
    m_onRemoved = nullptr; // the owner is going away
    m_onChanged = nullptr;
    RemoveAll();
}

POSITION PictureList::next(POSITION pos)
{
    return pos ? pos->next : nullptr;
}

POSITION PictureList::prev(POSITION pos)
{
    return pos ? pos->prev : nullptr;
}

CPictureItem* PictureList::GetAt(POSITION pos)
{
    return pos ? pos->item.get() : nullptr;
}

bool PictureList::contains(POSITION pos) const
{
    for (Node* node = m_head; node; node = node->next) {
        if (node == pos)
            return true;
    }
    return false;
}

POSITION PictureList::AddTail(std::unique_ptr<CPictureItem> item)
{
    auto* node = new Node{std::move(item), nullptr, m_tail};
    if (m_tail)
        m_tail->next = node;
    else
        m_head = node;
    m_tail = node;
    ++m_count;
    changed();
    return node;
}

POSITION PictureList::InsertBefore(POSITION pos, std::unique_ptr<CPictureItem> item)
{
    if (!pos)
        return AddTail(std::move(item));
    auto* node = new Node{std::move(item), pos, pos->prev};
    if (pos->prev)
        pos->prev->next = node;
    else
        m_head = node;
    pos->prev = node;
    ++m_count;
    changed();
    return node;
}

void PictureList::RemoveAt(POSITION pos)
{
    if (!pos)
        return;
    if (pos->prev)
        pos->prev->next = pos->next;
    else
        m_head = pos->next;
    if (pos->next)
        pos->next->prev = pos->prev;
    else
        m_tail = pos->prev;
    --m_count;
    if (m_onRemoved)
        m_onRemoved(pos);
    DiscardItem(std::move(pos->item));
    delete pos;
    changed();
}

void PictureList::changed() const
{
    if (m_onChanged)
        m_onChanged();
}

void PictureList::RemoveAll()
{
    while (m_head)
        RemoveAt(m_head);
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
