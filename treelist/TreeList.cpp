// The tree list's object: nodes, update lock, state, options, focus and the
// shown-row cache.
#include "treelist/TreeList.h"

#include "editors/InplaceEdit.h"
#include "editors/PopupControl.h"
#include "platform/ui/Focus.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"
#include "treelist/cvTL.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

// Visits the nodes below From (nullptr: every node) in tree order, going
// into a node's children only when Visit answers true. It steps through the
// child lists by index, so a walk costs one step per node.
template <class TVisit>
void WalkNodes(const TCustomcvTreeList& Tree, TVisit&& Visit, TcvTreeListNode* From = nullptr) {
    struct TLevel {
        TcvTreeListNode* Parent; // nullptr: the roots
        int Next;
    };
    std::vector<TLevel> path{{From, 0}};
    while (!path.empty()) {
        TLevel& level = path.back();
        TcvTreeListNode* node = level.Parent ? level.Parent->Items(level.Next) : Tree.Items(level.Next);
        if (!node) {
            path.pop_back();
            continue;
        }
        ++level.Next;
        if (Visit(node) && node->Count() > 0) path.push_back({node, 0});
    }
}

} // namespace

TCustomcvTreeList::TCustomcvTreeList(TComponent* AOwner)
    : TCustomcvContainer(AOwner), FRoots(std::make_unique<TList>()), FBandFont(std::make_unique<TFont>()), FHeaderFont(std::make_unique<TFont>()),
      FPreviewFont(std::make_unique<TFont>()) {
    SetBounds(Left(), Top(), 250, 150);
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    // No csDoubleClicks: MouseDown decides by the hit code when a double-click
    // fires DblClick (the window class still asks for double-clicks).
    FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDisplayDragImage};
    FPreviewFont->SetColor(clBlue);
    const auto partFontChanged = [this](TObject*) { FontOfPartChanged(); };
    FBandFont->OnChange = partFontChanged;
    FHeaderFont->OnChange = partFontChanged;
    FPreviewFont->OnChange = partFontChanged;
    FImagesLink = std::make_unique<TChangeLink>();
    FStateImagesLink = std::make_unique<TChangeLink>();
    const auto repaint = [this](TObject*) { Invalidate(); };
    FImagesLink->OnChange = repaint;
    FStateImagesLink->OnChange = repaint;
    // Until the first layout the metrics are the fonts' own.
    CalcMetricValues();
    cvTL::PaintExpandBitmaps();
}

TCustomcvTreeList::~TCustomcvTreeList() {
    Destroying();
    if (HandleAllocated()) DestroyWnd();
    SetParent(nullptr);
    ResetEditorCell();
    DropRowCache();
    ClearNodes();
    SetImages(nullptr);
    SetStateImages(nullptr);
}

// Nodes ------------------------------------------------------------------

TcvTreeListNode* TCustomcvTreeList::Insert(TcvTreeListNode* BeforeNode) {
    TcvTreeListNode* node = CreateNode();
    const int index = BeforeNode && BeforeNode->Owner() == this && !BeforeNode->Parent() ? BeforeNode->Index() : -1;
    node->PlaceInList(*FRoots, index);
    NodeInserted(node);
    return node;
}

TcvTreeListNode* TCustomcvTreeList::Items(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return static_cast<TcvTreeListNode*>(FRoots->Items(Index));
}

void TCustomcvTreeList::ClearNodes() {
    const bool destroying = ComponentState().Contains(csDestroying);
    if (!destroying) BeginUpdate();
    FClearing = true;
    ClearCache();
    ClearSelection();
    ResetNodeReferences();
    for (int i = 0; i < FRoots->Count(); ++i)
        delete static_cast<TcvTreeListNode*>(FRoots->Items(i));
    FRoots->Clear();
    FClearing = false;
    if (!destroying) EndUpdate();
}

void TCustomcvTreeList::ResetNodeReferences() {
    FTopNode = nullptr;
    FFocusedNode = nullptr;
    FEditorNode = nullptr;
    FEditorColumn = -1;
    FSelectionAnchor = nullptr;
    FPendingSelectionNode = nullptr;
    FHotTrack = {};
    FPressedNode = nullptr;
    FPrevFocusedNode = nullptr;
    FLastHit.Node = nullptr;
}

// Update lock and state ------------------------------------------------------

void TCustomcvTreeList::BeginUpdate() {
    ++FLockCount;
    if (FState == 5) FDragCancelled = true;
    FEditorColumn = -1;
    FEditorNode = nullptr;
    SetState(0);
    RemoveEditor(false);
    ClearCache();
    BeginSelectionChange();
}

void TCustomcvTreeList::EndUpdate() {
    --FLockCount;
    LayoutChanged();
    EndSelectionChange();
}

void TCustomcvTreeList::EndUpdateNoLayout() {
    --FLockCount;
    EndSelectionChange();
}

void TCustomcvTreeList::SetState(Byte Value) {
    if (FState == Value) return;
    FState = Value;
    if (Value != 2) return;
    if (FInplaceEditor) FInplaceEditor->CaretToEnd();
    EndIncrementalSearch();
}

// Options --------------------------------------------------------------------

void TCustomcvTreeList::SetOptions(unsigned Value) {
    if (Value == FOptions) return;
    HideEditor();
    TUpdateGuard<TCustomcvTreeList> update(this);
    if (Value & tlo_RowSelect) SetOptionsEx(FOptionsEx & ~tloex_InvertSelect);
    if ((Value & tlo_AutoSort) && !(FOptions & tlo_AutoSort)) ClearSortKeys();
    const bool autoWidthOff = (FOptions & tlo_AutoWidth) && !(Value & tlo_AutoWidth);
    // Read while the widths are still shared out.
    if ((FOptionsEx & tloex_KeepColumnWidths) && autoWidthOff) RecalcColumnWidths();
    FOptions = Value;
    if (!ComponentState().Contains(csLoading)) {
        ClearSelection();
        if (FFocusedNode) SetNodeSelected(FFocusedNode, true);
    }
}

void TCustomcvTreeList::SetOptionsEx(unsigned Value) {
    if (Value == FOptionsEx) return;
    HideEditor();
    TUpdateGuard<TCustomcvTreeList> update(this);
    if (Value & tloex_InvertSelect) FOptions &= ~tlo_RowSelect;
    const unsigned changed = Value ^ FOptionsEx;
    if (((changed & tloex_MultiSort) && !(Value & tloex_MultiSort)) || (changed & tloex_AnsiSort)) ClearSortKeys();
    FOptionsEx = Value;
    if ((changed & tloex_AutoHeaderPanelRowCount) && (Value & tloex_AutoHeaderPanelRowCount))
        AdjustHeaderPanelRowCount();
    if (FSearching && !(Value & tloex_IncSearch)) EndIncrementalSearch();
}

// Focus ------------------------------------------------------------------------

int TCustomcvTreeList::GetFocusedColumn() const {
    if ((FOptions & tlo_RowSelect) || FFocusedColumn < 0 || FFocusedColumn >= GetVisibleColumnCount()) return 0;
    return FFocusedColumn;
}

void TCustomcvTreeList::SetFocusedColumn(int Index) {
    if (Index == FFocusedColumn || Index < 0 || Index >= GetVisibleColumnCount()) return;
    SetFocusedCell(FFocusedNode, Index, true);
}

int TCustomcvTreeList::GetFocusedRowIndex() const {
    return FFocusedNode ? GetNodeRowIndex(FFocusedNode) : 0;
}

int TCustomcvTreeList::GetTopRowIndex() const {
    return FTopNode ? GetNodeRowIndex(FTopNode) : -1;
}

void TCustomcvTreeList::SetTopVisibleNode(TcvTreeListNode* Node) {
    FTopNode = Node;
    CalcVisibleRows();
    Fire(OnChangeTopVisibleNode, this);
}

bool TCustomcvTreeList::FocusNode(TcvTreeListNode* Node) {
    Node->SetFocused(true);
    return true;
}

bool TCustomcvTreeList::IsFocusedInside() {
    if (!HandleAllocated()) return false;
    for (HWND wnd = GetFocus(); wnd; wnd = GetParent(wnd))
        if (wnd == FHandle) return true;
    return false;
}

bool TCustomcvTreeList::IsFocused() {
    return IsFocusedInside() || (FState == 2 && FInplaceEditor && FInplaceEditor->IsFocused());
}

// Shown rows ---------------------------------------------------------------------

bool TCustomcvTreeList::RowCacheInUse() const {
    return FKnownRows > 0 && !ComponentState().Contains(csDestroying);
}

void TCustomcvTreeList::DropRowCache() {
    FKnownRows = 0;
    FShownRowCount = -1;
}

void TCustomcvTreeList::ClearCache() {
    DropRowCache();
    FFocusedAbsoluteIndex = -1;
    ResetRowHeights();
}

void TCustomcvTreeList::ResetRowHeights() {
    if (FClearing || ComponentState().Contains(csDestroying)) return;
    WalkNodes(*this, [](TcvTreeListNode* Node) {
        Node->CachedRowHeight = 0;
        return true;
    });
}

void TCustomcvTreeList::FocusedNodeChanged() {
    KnowRows(std::numeric_limits<int>::max(), nullptr);
}

bool TCustomcvTreeList::IsRowKnown(const TcvTreeListNode* Node) const {
    const int row = Node->FCachedRow;
    return row >= 0 && row < FKnownRows && FRowNodes[size_t(row)] == Node;
}

void TCustomcvTreeList::KnowRows(int Row, const TcvTreeListNode* Until) const {
    if (FKnownRows > Row) return;
    TcvTreeListNode* node = FKnownRows > 0 ? NextShownNode(FRowNodes[size_t(FKnownRows) - 1]) : Items(0);
    // A node on its way out never becomes a known row: its children go
    // without telling the rows.
    for (; node && !node->Destroying() && FKnownRows <= Row; node = NextShownNode(node)) {
        if (FRowNodes.size() > size_t(FKnownRows))
            FRowNodes[size_t(FKnownRows)] = node;
        else
            FRowNodes.push_back(node);
        node->FCachedRow = FKnownRows++;
        if (node == Until) return;
    }
    if (node) return;
    FRowNodes.resize(size_t(FKnownRows));
    FShownRowCount = FKnownRows;
}

void TCustomcvTreeList::ForgetRowsFrom(int Row) {
    FKnownRows = std::min(FKnownRows, std::max(Row, 0));
}

int TCustomcvTreeList::ShownDescendantCount(TcvTreeListNode* Node) const {
    int count = 0;
    if (Node->Expanded())
        WalkNodes(
            *this,
            [&count](TcvTreeListNode* Descendant) {
                ++count;
                return Descendant->Expanded();
            },
            Node);
    return count;
}

void TCustomcvTreeList::RowInserted(TcvTreeListNode* Node) {
    if (!IsNodeVisible(Node)) return;
    // The node took the row of the one shown after it; with none, the rows
    // before it stand.
    if (const TcvTreeListNode* next = NextShownNode(Node); next && IsRowKnown(next)) ForgetRowsFrom(next->FCachedRow);
    if (FShownRowCount >= 0) FShownRowCount += 1 + ShownDescendantCount(Node);
}

void TCustomcvTreeList::RowsRemoving(TcvTreeListNode* Node) {
    if (IsRowKnown(Node)) ForgetRowsFrom(Node->FCachedRow);
    if (FShownRowCount >= 0) FShownRowCount -= 1 + ShownDescendantCount(Node);
}

void TCustomcvTreeList::ChildRowsChanging(TcvTreeListNode* Node, bool Shown) {
    if (!IsNodeVisible(Node)) return;
    if (IsRowKnown(Node)) ForgetRowsFrom(Node->FCachedRow + 1);
    if (FShownRowCount >= 0) FShownRowCount += (Shown ? 1 : -1) * ShownDescendantCount(Node);
}

int TCustomcvTreeList::GetNodeRowIndex(const TcvTreeListNode* Node) const {
    if (!Node || Count() == 0) return -1;
    if (IsRowKnown(Node)) return Node->FCachedRow;
    if (Node->Owner() != this || !IsNodeVisible(Node)) return -1;
    KnowRows(std::numeric_limits<int>::max(), Node);
    return IsRowKnown(Node) ? Node->FCachedRow : -1;
}

TcvTreeListNode* TCustomcvTreeList::GetRowNode(int Row) const {
    if (Row < 0) return nullptr;
    KnowRows(Row, nullptr);
    return Row < FKnownRows ? FRowNodes[size_t(Row)] : nullptr;
}

int TCustomcvTreeList::GetVisibleRowCount() const {
    if (FShownRowCount < 0) KnowRows(std::numeric_limits<int>::max(), nullptr);
    // Unknown only while a walk stops at a node being freed.
    return FShownRowCount >= 0 ? FShownRowCount : FKnownRows;
}

TcvTreeListNode* TCustomcvTreeList::NextShownNode(const TcvTreeListNode* Node) {
    if (Node->Expanded() && Node->Count() > 0) return Node->GetFirstChild();
    for (const TcvTreeListNode* node = Node; node; node = node->Parent())
        if (TcvTreeListNode* sibling = node->GetNextSibling()) return sibling;
    return nullptr;
}

TcvTreeListNode* TCustomcvTreeList::GetNextVisibleNode(const TcvTreeListNode* Node) const {
    if (!Node) return nullptr;
    if (IsRowKnown(Node) && Node->FCachedRow + 1 < FKnownRows) return FRowNodes[size_t(Node->FCachedRow) + 1];
    return NextShownNode(Node);
}

TcvTreeListNode* TCustomcvTreeList::GetPrevVisibleNode(const TcvTreeListNode* Node) const {
    if (!Node) return nullptr;
    if (IsRowKnown(Node)) return Node->FCachedRow > 0 ? FRowNodes[size_t(Node->FCachedRow) - 1] : nullptr;
    TcvTreeListNode* sibling = Node->GetPrevSibling();
    return sibling ? sibling->GetLastExpandedDescendant() : Node->Parent();
}

bool TCustomcvTreeList::IsNodeVisible(const TcvTreeListNode* Node) {
    for (const TcvTreeListNode* node = Node->Parent(); node; node = node->Parent())
        if (!node->Expanded()) return false;
    return true;
}

TcvTreeListNode* TCustomcvTreeList::GetLastVisibleNode() const {
    TcvTreeListNode* last = Items(Count() - 1);
    return last ? last->GetLastExpandedDescendant() : nullptr;
}

void TCustomcvTreeList::MakeNodeVisible(TcvTreeListNode* Node) {
    if (!Node) return;
    if (!IsNodeVisible(Node)) {
        TUpdateGuard<TCustomcvTreeList> update(this);
        for (TcvTreeListNode* node = Node->Parent(); node; node = node->Parent())
            if (!node->Expanded()) node->SetExpanded(true);
    }
    const int row = GetNodeRowIndex(Node);
    const int top = GetTopRowIndex();
    if (row < 0) return;
    if (top < 0 || row < top)
        SetTopRowIndex(row);
    else if (row >= top + FVisibleRowCount)
        SetTopRowIndex(GetTopRowShowingLast(row));
}

void TCustomcvTreeList::InvalidateNode(TcvTreeListNode* Node, bool Relayout) {
    if (IsUpdating() || ComponentState().Contains(csDestroying) || !Node || !IsNodeVisible(Node)) return;
    if (!HandleAllocated()) return;
    // A relayout may change the heights of the rows below.
    TRect row = GetNodeRowRect(Node, Relayout);
    if (row.Top < 0) return;
    row.Left = ClientRect().Left; // with the indicator cell
    InvalidateRect(FHandle, &row, false);
}

void TCustomcvTreeList::InvalidateRowsFrom(TcvTreeListNode* Node) {
    InvalidateNode(Node, true);
}

// Navigation ---------------------------------------------------------------------

TcvTreeListNode* TCustomcvTreeList::GetNavigationNode(TcvTreeListNode* Node, TcvNavigation Direction,
                                                      bool InTreeOrder) {
    if (!Node) return nullptr;
    switch (Direction) {
    case navFirst:
        return Items(0);
    case navPrev:
        return GetPrevVisibleNode(Node);
    case navNext:
        return InTreeOrder ? Node->GetNext() : GetNextVisibleNode(Node);
    case navLast: {
        TcvTreeListNode* last = Items(Count() - 1);
        if (!InTreeOrder) return GetLastVisibleNode();
        while (last && last->Count() > 0)
            last = last->GetLastChild();
        return last;
    }
    }
    return nullptr;
}

TcvTreeListNode* TCustomcvTreeList::MoveFocus(TcvNavigation Direction, bool InTreeOrder) {
    if (!FFocusedNode) return nullptr;
    const bool selectionFollows = (FOptions & tlo_MultiSelect) && SelectedCount() == 1 && IsNodeSelected(FFocusedNode);
    TcvTreeListNode* node = GetNavigationNode(FFocusedNode, Direction, InTreeOrder);
    if (!node) return nullptr;
    node->SetFocused(true);
    if (selectionFollows) {
        ClearSelection();
        SetNodeSelected(node, true);
    }
    return node;
}

bool TCustomcvTreeList::IsBOF() const {
    return Count() == 0 || FFocusedNode == Items(0);
}

bool TCustomcvTreeList::IsEOF() const {
    return Count() == 0 || FFocusedNode == GetLastVisibleNode();
}

// Editor ---------------------------------------------------------------------------

void TCustomcvTreeList::HideEditor() {
    if (FState != 2) return;
    if (!ComponentState().Contains(csDestroying) && FInplaceEditor) FInplaceEditor->ValidateEdit();
    SetState(0);
    RemoveEditor(false);
}

void TCustomcvTreeList::HideEditorAndFocus() {
    // Only an open editor hands the focus back: a resize or a change of look
    // must not take it from another control.
    const bool editing = FState == 2;
    HideEditor();
    if (editing && CanFocus()) SetFocus();
}

void TCustomcvTreeList::RemoveEditor(bool Focus) {
    if (!FInplaceEditor) return;
    TcvInplaceEdit* editor = FInplaceEditor;
    editor->SetHostHiding(true);
    const TScopeGuard hidden([editor] { editor->SetHostHiding(false); });
    if (!editor->ComponentState().Contains(csDestroying)) PostEditorValue();
    FEditorColumn = -1;
    FEditorNode = nullptr;
    const bool editorHadFocus = editor->HandleAllocated() && editor->Focused();
    editor->HideEditorWindow();
    if ((Focus || (editorHadFocus && HandleAllocated() && IsWindowVisible(FHandle))) && CanFocus()) SetFocus();
}

void TCustomcvTreeList::ResetEditorCell() {
    FEditorColumn = -1;
    FEditorNode = nullptr;
    if (FState != 2 || ComponentState().Contains(csDestroying)) return;
    // With the cell gone nothing is posted, so nothing is validated either: a
    // refusal could only throw, and this runs inside a node's destructor.
    SetState(0);
    RemoveEditor(false);
    if (CanFocus()) SetFocus();
}

TcvPopupBorder TCustomcvTreeList::GetEditorPopupBorder() {
    return LookAndFeel() != lfStandard ? pbSingle : pbFrame3D;
}

// Selection bracket ---------------------------------------------------------------

void TCustomcvTreeList::BeginSelectionChange() {
    if (FSelectionChangeLevel++ == 0) FSelectedCountBefore = SelectedCount();
}

void TCustomcvTreeList::EndSelectionChange() {
    if (--FSelectionChangeLevel == 0 && SelectedCount() != FSelectedCountBefore) DoSelectedCountChange();
}

// Node data and notifications -------------------------------------------------------

std::string TCustomcvTreeList::GetNodeString(const TcvTreeListNode* Node, int Column) const {
    (void)Node, (void)Column;
    return {};
}

void TCustomcvTreeList::GetNodeValue(const TcvTreeListNode* Node, int Column, Variant& Value) const {
    Value = GetNodeString(Node, Column);
}

void TCustomcvTreeList::StoreNodeString(TcvTreeListNode* Node, int Column, const std::string& Text) {
    (void)Node, (void)Column, (void)Text;
}

bool TCustomcvTreeList::HasChildNodes(const TcvTreeListNode* Node) const {
    return Node->Count() > 0;
}

void TCustomcvTreeList::NodeInserted(TcvTreeListNode* Node) {
    RowInserted(Node);
    if (!FTopNode) SetTopVisibleNode(Node);
    if (IsUpdating() || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
    // Only the rows from the node down move: the page and the scroll bars
    // follow, and no walk over the other nodes is needed.
    CalcVisibleRows();
    UpdateScrollBars();
    InvalidateNode(Node, true);
    FollowEditorCell();
}

int TCustomcvTreeList::CompareSelectionItems(TcvTreeListNode* Node1, TcvTreeListNode* Node2) {
    return cvTL::ComparePointers(Node1, Node2);
}

void TCustomcvTreeList::DoCollapsing(TcvTreeListNode* Node, bool& Allow) {
    Fire(OnCollapsing, this, Node, Allow);
}
void TCustomcvTreeList::DoExpanding(TcvTreeListNode* Node, bool& Allow) {
    Fire(OnExpanding, this, Node, Allow);
}
void TCustomcvTreeList::DoCollapsed(TcvTreeListNode* Node) {
    Fire(OnCollapsed, this, Node);
}
void TCustomcvTreeList::DoExpanded(TcvTreeListNode* Node) {
    Fire(OnExpanded, this, Node);
}
