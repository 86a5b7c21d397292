// The node's tree operations; everything about data, focus and painting is
// the owner's and reached through it.
#include "treelist/TreeListNode.h"

#include "platform/ui/MessageQueue.h"
#include "treelist/TreeList.h"
#include "treelist/cvTL.h"

TcvTreeListNode::TcvTreeListNode(TCustomcvTreeList* AOwner) : FOwner(AOwner) {
    if (!AOwner) cvTL::RaiseTreeListError(SInvalidOwnerNode);
}

TcvTreeListNode::~TcvTreeListNode() {
    FDestroying = true;
    const bool clearing = FOwner->Clearing();
    // A node under a parent that goes too counts as hidden: only the
    // outermost deleted node takes its rows, with its shown descendants',
    // out of the owner's shown rows.
    const bool shown = !clearing && (!FParent || !FParent->FDestroying) && IsVisible();
    if (shown) FOwner->RowsRemoving(this);
    if (FChildren) {
        if (clearing) {
            for (int i = 0; i < FChildren->Count(); ++i) {
                auto* child = static_cast<TcvTreeListNode*>(FChildren->Items(i));
                child->FParent = nullptr; // it must not unlink itself from this list
                delete child;
            }
            FChildren.reset();
        } else {
            while (FChildren && FChildren->Count() > 0)
                delete static_cast<TcvTreeListNode*>(FChildren->First());
        }
    }
    if (clearing) return; // ClearNodes empties the root list itself
    TcvTreeListNode* previous = GetPrevSiblingOrParent();
    TcvTreeListNode* next = GetNextVisible();
    TcvTreeListNode* parent = FParent;
    if (Unlink()) parent->ChildListEmptied();
    // Nothing may leave a destructor: what the owner's repair raises is reported.
    RunGuarded([&] { FOwner->DoNodeDeletion(this, previous, shown, next); });
}

TcvTreeListNode* TcvTreeListNode::InsertChild(TcvTreeListNode* BeforeNode) {
    TcvTreeListNode* node = FOwner->CreateNode();
    node->FParent = this;
    TList& children = EnsureChildren();
    const int index = BeforeNode && BeforeNode->FParent == this ? BeforeNode->Index() : -1;
    node->PlaceInList(children, index);
    FHasChildren = true;
    FOwner->NodeInserted(node);
    return node;
}

TcvTreeListNode* TcvTreeListNode::Items(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return static_cast<TcvTreeListNode*>(FChildren->Items(Index));
}

TList* TcvTreeListNode::SiblingList() const {
    return FParent ? FParent->FChildren.get() : FOwner->FRoots.get();
}

void TcvTreeListNode::PlaceInList(TList& List, int Index) {
    if (Index >= 0 && Index < List.Count()) {
        List.Insert(Index, this);
        FIndexHint = Index;
    } else {
        FIndexHint = List.Add(this);
    }
}

int TcvTreeListNode::Index() const {
    const TList* list = SiblingList();
    if (!list) return -1;
    if (FIndexHint >= 0 && FIndexHint < list->Count() && list->Items(FIndexHint) == this) return FIndexHint;
    FIndexHint = list->IndexOf(const_cast<TcvTreeListNode*>(this));
    return FIndexHint;
}

int TcvTreeListNode::Level() const {
    int level = 0;
    for (const TcvTreeListNode* node = FParent; node; node = node->FParent)
        ++level;
    return level;
}

TcvTreeListNode* TcvTreeListNode::GetNextSibling() const {
    const TList* list = SiblingList();
    const int index = Index();
    if (index < 0 || index + 1 >= list->Count()) return nullptr;
    auto* sibling = static_cast<TcvTreeListNode*>(list->Items(index + 1));
    sibling->FIndexHint = index + 1;
    return sibling;
}

TcvTreeListNode* TcvTreeListNode::GetPrevSibling() const {
    const int index = Index();
    if (index <= 0) return nullptr;
    auto* sibling = static_cast<TcvTreeListNode*>(SiblingList()->Items(index - 1));
    sibling->FIndexHint = index - 1;
    return sibling;
}

TcvTreeListNode* TcvTreeListNode::GetNext() const {
    if (Count() > 0) return GetFirstChild();
    for (const TcvTreeListNode* node = this; node; node = node->FParent)
        if (TcvTreeListNode* sibling = node->GetNextSibling()) return sibling;
    return nullptr;
}

TcvTreeListNode* TcvTreeListNode::GetPrev() const {
    TcvTreeListNode* node = GetPrevSibling();
    if (!node) return FParent;
    while (node->Count() > 0)
        node = node->GetLastChild();
    return node;
}

TcvTreeListNode* TcvTreeListNode::GetPrevSiblingOrParent() const {
    TcvTreeListNode* sibling = GetPrevSibling();
    return sibling ? sibling : FParent;
}

TcvTreeListNode* TcvTreeListNode::GetNextVisible() const {
    return FOwner->GetNextVisibleNode(this);
}

TcvTreeListNode* TcvTreeListNode::GetPrevVisible() const {
    return FOwner->GetPrevVisibleNode(this);
}

TcvTreeListNode* TcvTreeListNode::GetLastExpandedDescendant() const {
    const TcvTreeListNode* node = this;
    while (node->FExpanded && node->Count() > 0)
        node = node->GetLastChild();
    return const_cast<TcvTreeListNode*>(node);
}

bool TcvTreeListNode::HasAsParent(const TcvTreeListNode* Node) const {
    if (!Node) return false;
    for (const TcvTreeListNode* node = FParent; node; node = node->FParent)
        if (node == Node) return true;
    return false;
}

bool TcvTreeListNode::IsLast() const {
    const TList* list = SiblingList();
    return list && list->Count() > 0 && list->Last() == this;
}

bool TcvTreeListNode::IsVisible() const {
    return TCustomcvTreeList::IsNodeVisible(this);
}

bool TcvTreeListNode::CanMove(TcvTreeListNode* Destination, TcvNodeAttachMode Mode) const {
    if (!Destination) return false;
    if (Destination == this) return Mode == natAddLast || Mode == natAddFirst;
    return !Destination->HasAsParent(this);
}

bool TcvTreeListNode::MoveTo(TcvTreeListNode* Destination, TcvNodeAttachMode Mode) {
    if (!CanMove(Destination, Mode)) return false;
    {
        TUpdateGuard<TCustomcvTreeList> update(FOwner);
        InternalMoveTo(Destination, Mode);
        FOwner->SetFocusedNodeField(this);
        FOwner->FocusedNodeChanged();
    }
    MakeVisible();
    return true;
}

void TcvTreeListNode::InternalMoveTo(TcvTreeListNode* Destination, TcvNodeAttachMode Mode) {
    // The new parent is read before the node leaves its list (a node moved
    // beside itself keeps its parent), the insert position after it (the
    // destination's index may shift). A parent that gets the node back keeps
    // its list and its expansion.
    const bool siblingMode = Mode == natAddLast || Mode == natAddFirst || Mode == natInsert;
    TcvTreeListNode* newParent = siblingMode ? Destination->FParent : Destination;
    TcvTreeListNode* oldParent = FParent;
    if (Unlink() && oldParent != newParent) oldParent->ChildListEmptied();
    FOwner->DropRowCache();
    TList& list = newParent ? newParent->EnsureChildren() : *FOwner->FRoots;
    switch (Mode) {
    case natAddLast:
    case natAddChild:
        list.Add(this);
        break;
    case natAddFirst:
    case natAddChildFirst:
        list.Insert(0, this);
        break;
    case natInsert:
        list.Insert(list.IndexOf(Destination), this);
        break;
    }
    FParent = newParent;
    if (newParent) newParent->FHasChildren = true;
}

void TcvTreeListNode::MoveRootToParent(TcvTreeListNode* AParent, int RootIndex) {
    FOwner->FRoots->Delete(RootIndex);
    AParent->EnsureChildren().Add(this);
    FParent = AParent;
    AParent->FHasChildren = true;
    FOwner->DropRowCache();
}

void TcvTreeListNode::AppendToRoot() {
    FOwner->FRoots->Add(this);
    FOwner->DropRowCache();
}

bool TcvTreeListNode::Unlink() {
    TList* list = SiblingList();
    if (const int index = Index(); index >= 0) list->Delete(index);
    const bool emptied = FParent && FParent->FChildren && FParent->FChildren->Count() == 0;
    FParent = nullptr;
    return emptied;
}

void TcvTreeListNode::Detach() {
    FOwner->DropRowCache();
    TcvTreeListNode* parent = FParent;
    if (Unlink()) parent->ChildListEmptied();
}

void TcvTreeListNode::ChildListEmptied() {
    FChildren.reset();
    FHasChildren = FOwner->HasChildNodes(this);
    FExpanded = false;
}

TList& TcvTreeListNode::EnsureChildren() {
    if (!FChildren) FChildren = std::make_unique<TList>();
    return *FChildren;
}

void TcvTreeListNode::MoveChildrenToRoot() {
    if (!FChildren) return;
    for (int i = 0; i < FChildren->Count(); ++i) {
        auto* child = static_cast<TcvTreeListNode*>(FChildren->Items(i));
        child->FParent = nullptr;
        FOwner->FRoots->Add(child);
    }
    ChildListEmptied();
    FOwner->DropRowCache();
    FOwner->SetFocusedNodeField(this);
}

void TcvTreeListNode::AppendChildrenTo(TList& List) const {
    for (int i = 0; i < Count(); ++i)
        List.Add(FChildren->Items(i));
}

void TcvTreeListNode::DeleteChildren() {
    // Front first, so each child's full deletion runs with its neighbours
    // still in place.
    while (Count() > 0)
        delete GetFirstChild();
}

void TcvTreeListNode::SetExpanded(bool Value) {
    if (!FHasChildren || Value == FExpanded) return;
    bool allow = true;
    if (Value)
        FOwner->DoExpanding(this, allow);
    else
        FOwner->DoCollapsing(this, allow);
    if (!allow) return;
    if (!Value) {
        if (FOwner->TopNode() && FOwner->TopNode()->HasAsParent(this)) FOwner->SetTopVisibleNode(this);
        TcvTreeListNode* focused = FOwner->FocusedNode();
        if (focused && focused->HasAsParent(this) && !FOwner->FocusNode(this)) return;
        FOwner->ChildRowsChanging(this, false);
    }
    FExpanded = Value;
    if (Value) FOwner->ChildRowsChanging(this, true);
    if (!FOwner->IsUpdating() && !FOwner->ComponentState().Contains(csDestroying)) FOwner->FocusedNodeChanged();
    FOwner->InvalidateRowsFrom(this);
    FOwner->FollowEditorCell();
    if (Value)
        FOwner->DoExpanded(this);
    else
        FOwner->DoCollapsed(this);
}

void TcvTreeListNode::Expand(bool Recurse) {
    if (!FHasChildren) return;
    if (!Recurse || FOwner->IsUpdating()) {
        ExpandTree(Recurse);
        return;
    }
    TUpdateGuard<TCustomcvTreeList> update(FOwner);
    ExpandTree(Recurse);
}

void TcvTreeListNode::ExpandTree(bool Recurse) {
    SetExpanded(true);
    if (!Recurse) return;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->FHasChildren) Items(i)->ExpandTree(true);
}

void TcvTreeListNode::SetHasChildren(bool Value) {
    const bool hasChildren = Value || Count() > 0;
    if (hasChildren == FHasChildren) return;
    FHasChildren = hasChildren;
    FOwner->InvalidateNode(this, false);
}

void TcvTreeListNode::MakeVisible() {
    FOwner->MakeNodeVisible(this);
}

int TcvTreeListNode::RowIndex() const {
    return FOwner->GetNodeRowIndex(this);
}

bool TcvTreeListNode::Focused() const {
    return FOwner->FocusedNode() == this;
}

void TcvTreeListNode::SetFocused(bool Value) {
    if (Value == Focused()) return;
    FOwner->SetFocusedCell(Value ? this : nullptr, FOwner->GetFocusedColumn(), true);
}

bool TcvTreeListNode::Selected() const {
    return (FOwner->Options() & tlo_MultiSelect) ? FOwner->IsNodeSelected(this) : Focused();
}

void TcvTreeListNode::SetSelected(bool Value) {
    FOwner->SetNodeSelected(this, Value);
}

int TcvTreeListNode::ImageIndex() const {
    return FOwner->GetNodeImageIndex(this);
}
int TcvTreeListNode::SelectedIndex() const {
    return FOwner->GetNodeSelectedIndex(this);
}
int TcvTreeListNode::StateIndex() const {
    return FOwner->GetNodeStateIndex(this);
}
std::string TcvTreeListNode::Strings(int Index) const {
    return FOwner->GetNodeString(this, Index);
}
void TcvTreeListNode::GetValue(int Index, Variant& Value) const {
    FOwner->GetNodeValue(this, Index, Value);
}
void TcvTreeListNode::StoreString(int Index, const std::string& Text) {
    FOwner->StoreNodeString(this, Index, Text);
}
