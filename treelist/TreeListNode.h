// TcvTreeListNode: one row of the tree list. A node knows its owner, its
// parent and its children (a list made on the first child and freed with the
// last); cell data, images, focus and selection are the owner's business, so
// every such question is forwarded to it. Freeing a node frees its subtree.
#pragma once

#include "platform/rtl/Lists.h"
#include "platform/rtl/Variants.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

class TCustomcvTreeList;

// Where MoveTo puts a node relative to its destination.
enum TcvNodeAttachMode {
    natAddLast = 0,  // last sibling of the destination
    natAddFirst = 1, // first sibling
    natAddChild = 2, // last child
    natAddChildFirst = 3,
    natInsert = 4, // before the destination
};

class TcvTreeListNode : public TObject {
public:
    // Raises EInvalidcvTreeListOperation "Invalid Owner TcvTreeListNode" for
    // a nil owner. Nodes come from the owner's CreateNode.
    explicit TcvTreeListNode(TCustomcvTreeList* AOwner);
    // Unlinks the node, frees its subtree and tells the owner.
    ~TcvTreeListNode() override;
    TcvTreeListNode(const TcvTreeListNode&) = delete;
    TcvTreeListNode& operator=(const TcvTreeListNode&) = delete;

    TCustomcvTreeList* Owner() const { return FOwner; }
    TcvTreeListNode* Parent() const { return FParent; }
    bool Destroying() const { return FDestroying; }

    // The structure.
    TcvTreeListNode* AddChild() { return InsertChild(nullptr); }
    // Before BeforeNode, or last when it is nil.
    TcvTreeListNode* InsertChild(TcvTreeListNode* BeforeNode);
    int Count() const { return FChildren ? FChildren->Count() : 0; }
    // nullptr out of range.
    TcvTreeListNode* Items(int Index) const;
    int IndexOf(TcvTreeListNode* Node) const { return FChildren ? FChildren->IndexOf(Node) : -1; }
    // Position in the parent's children or in the owner's root list.
    int Index() const;
    int Level() const;
    TcvTreeListNode* GetFirstChild() const { return Items(0); }
    TcvTreeListNode* GetLastChild() const { return Items(Count() - 1); }
    TcvTreeListNode* GetNextSibling() const;
    TcvTreeListNode* GetPrevSibling() const;
    // Tree order, ignoring expansion.
    TcvTreeListNode* GetNext() const;
    TcvTreeListNode* GetPrev() const;
    TcvTreeListNode* GetPrevSiblingOrParent() const;
    // Neighbours among the shown rows.
    TcvTreeListNode* GetNextVisible() const;
    TcvTreeListNode* GetPrevVisible() const;
    TcvTreeListNode* GetLastExpandedDescendant() const;
    bool HasAsParent(const TcvTreeListNode* Node) const;
    bool IsLast() const;
    // Every ancestor expanded.
    bool IsVisible() const;

    // False for a nil destination, for the node itself with the child and
    // insert modes, and for a destination inside the node's subtree.
    bool CanMove(TcvTreeListNode* Destination, TcvNodeAttachMode Mode) const;
    // Relinks, focuses and shows the node inside one update bracket.
    bool MoveTo(TcvTreeListNode* Destination, TcvNodeAttachMode Mode);
    // Relinks without telling anybody.
    void InternalMoveTo(TcvTreeListNode* Destination, TcvNodeAttachMode Mode);
    // Takes the root entry at Index and appends it (this node) to Parent's children.
    void MoveRootToParent(TcvTreeListNode* AParent, int RootIndex);
    void AppendToRoot();
    void Detach();
    void MoveChildrenToRoot();
    void AppendChildrenTo(TList& List) const;
    void DeleteChildren();

    bool Expanded() const { return FExpanded; }
    // Only with HasChildren; the owner may veto; a collapse that would hide
    // the focused node moves the focus here first and keeps the node open
    // when the focus cannot move.
    void SetExpanded(bool Value);
    // Recursing opens one update bracket when none is open.
    void Expand(bool Recurse);
    bool HasChildren() const { return FHasChildren; }
    // True stays True while the node has children.
    void SetHasChildren(bool Value);
    void MakeVisible();

    int RowIndex() const;
    bool Focused() const;
    void SetFocused(bool Value);
    bool Selected() const;
    void SetSelected(bool Value);
    int ImageIndex() const;
    int SelectedIndex() const;
    int StateIndex() const;
    std::string Strings(int Index) const;
    void GetValue(int Index, Variant& Value) const;
    // Stores a cell text without change notification.
    void StoreString(int Index, const std::string& Text);

    // The row height the layout computed last (0: not computed).
    int CachedRowHeight = 0;
    // The row line count the layout computed last.
    int CachedLineCount = 0;

private:
    friend class TCustomcvTreeList;
    // The list this node sits in: its parent's children or the owner's roots.
    TList* SiblingList() const;
    // After the last child went: the list is freed, HasChildren asks the
    // owner, the node collapses.
    void ChildListEmptied();
    TList& EnsureChildren();
    // Out of its list (the row cache is the caller's); true when that
    // emptied the parent's child list.
    bool Unlink();
    void ExpandTree(bool Recurse);

    // Stores the node in List at Index and remembers the place.
    void PlaceInList(TList& List, int Index);

    bool FDestroying = false;
    bool FExpanded = false;
    bool FHasChildren = false;
    std::unique_ptr<TList> FChildren;
    TCustomcvTreeList* FOwner;
    TcvTreeListNode* FParent = nullptr;
    // Where the node last stood in its list, checked before the list is
    // searched: stepping through siblings then costs no search at all.
    mutable int FIndexHint = 0;
    // The node's row while the owner's shown-row cache holds it there.
    mutable int FCachedRow = -1;
};

// The node of the tree-list control: its images and its cell texts, one
// per absolute column index, held in the node itself. The control reads and
// writes them.
// A node's per-column entry follows a column from index From to To; the list
// grows to hold both first.
template <class T> void MoveColumnEntry(std::vector<T>& List, int From, int To) {
    if (int(List.size()) <= std::max(From, To)) List.resize(size_t(std::max(From, To)) + 1);
    const auto from = List.begin() + From, to = List.begin() + To;
    if (From < To)
        std::rotate(from, from + 1, to + 1);
    else
        std::rotate(to, from, from + 1);
}

class TcvTreeListTextNode : public TcvTreeListNode {
public:
    using TcvTreeListNode::TcvTreeListNode;

    std::vector<std::string>& Texts() { return FTexts; }
    const std::vector<std::string>& Texts() const { return FTexts; }

private:
    friend class TCustomcvTreeListControl;
    int FStateIndex = 0;
    int FImageIndex = -1;
    int FSelectedIndex = -1;
    std::vector<std::string> FTexts;
};
