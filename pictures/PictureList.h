#pragma once

#include "pictures/PictureItem.h"

#include <functional>
#include <memory>

// The picture sequence: a doubly linked list of items that owns them. A position designates
// one node and stays valid until that node itself is removed, whatever happens to the others.
class PictureList
{
    struct Node;

public:
    using POSITION = Node*;

    PictureList() = default;
    ~PictureList();
    PictureList(const PictureList&) = delete;
    PictureList& operator=(const PictureList&) = delete;

    int GetCount() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }
    POSITION GetHeadPosition() const { return m_head; }
    POSITION GetTailPosition() const { return m_tail; }
    // The neighbours of a node; null past the ends.
    static POSITION next(POSITION pos);
    static POSITION prev(POSITION pos);
    static CPictureItem* GetAt(POSITION pos);
    // Whether `pos` designates a node of this list (a linear walk; the list is short).
    bool contains(POSITION pos) const;

    POSITION AddTail(std::unique_ptr<CPictureItem> item);
    POSITION InsertBefore(POSITION pos, std::unique_ptr<CPictureItem> item);
    // Discards the node's item (picture first, then the item) and removes the node.
    void RemoveAt(POSITION pos);
    void RemoveAll();

    // Called after a node has been unlinked and before it is freed, with the removed position
    // (for comparison only): lets the owner move its current position off a removed node.
    void setRemovalObserver(std::function<void(POSITION)> observer) { m_onRemoved = std::move(observer); }
    // Called after every insertion and removal, once the list is consistent again.
    void setChangeObserver(std::function<void()> observer) { m_onChanged = std::move(observer); }

private:
    void changed() const;

    struct Node
    {
        std::unique_ptr<CPictureItem> item;
        Node* next = nullptr;
        Node* prev = nullptr;
    };

    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    int m_count = 0;
    std::function<void(POSITION)> m_onRemoved;
    std::function<void()> m_onChanged;
};

// The most pictures the ordered import keeps in the sequence.
inline constexpr int maxPictures = 10;

using POSITION = PictureList::POSITION;

enum class InsertResult
{
    Inserted,
    Refused, // a picture of that name is already present
};

// Ordered insertion with refusal of equal names: the item goes before the first node whose name
// orders after it. Meeting an equal name first shows "图片已经载入" and discards the new item.
InsertResult InsertByName(PictureList& list, std::unique_ptr<CPictureItem> item);
