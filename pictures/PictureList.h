#pragma once

#include "pictures/PictureItem.h"

#include <functional>
#include <list>
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

    int GetCount() const { return int(m_nodes.size()); }
    bool IsEmpty() const { return m_nodes.empty(); }
    POSITION GetHeadPosition() const { return m_nodes.empty() ? nullptr : at(m_nodes.front()); }
    POSITION GetTailPosition() const { return m_nodes.empty() ? nullptr : at(m_nodes.back()); }
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
    // A node is kept by std::list, which never moves it, so its address serves as its position.
    // It knows its own place and the list it stands in: a position alone leads to its neighbours.
    struct Node
    {
        std::unique_ptr<CPictureItem> item;
        std::list<Node>::iterator self;
        const std::list<Node>* nodes = nullptr;
    };

    // A position gives access to its item whatever the constness of the list, as a pointer would.
    static POSITION at(const Node& node) { return const_cast<Node*>(&node); }
    POSITION place(std::list<Node>::iterator before, std::unique_ptr<CPictureItem> item);
    void changed() const;

    std::list<Node> m_nodes;
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
