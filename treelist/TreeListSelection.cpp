// The tree list's selection defaults (anchor, pending node, range, repaints),
// the control's selected set, and the hot-tracking step of a mouse move.
#include "treelist/TreeList.h"

#include "editors/InplaceEdit.h"
#include "platform/ui/Input.h"
#include "platform/ui/Painting.h"
#include "treelist/TreeListControl.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

// From this many selected rows on, one repaint of the whole control is cheaper.
constexpr int WholeControlSelectionCount = 11;

bool ByAddress(const TcvTreeListNode* A, const TcvTreeListNode* B) {
    return std::less<const TcvTreeListNode*>()(A, B);
}

} // namespace

// Selection -----------------------------------------------------------------------

void TCustomcvTreeList::SetNodeSelected(TcvTreeListNode* Node, bool Value) {
    (void)Node, (void)Value;
    DoSelectedCountChange();
}

void TCustomcvTreeList::ClearSelection() {
    FPendingSelectionNode = nullptr;
    DoSelectedCountChange();
}

bool TCustomcvTreeList::CanNodeSelected(TcvTreeListNode* Node) {
    bool allow = true;
    Fire(OnCanNodeSelected, this, Node, allow);
    if (!allow || CanSelectAcrossLevels()) return allow;
    const TcvTreeListNode* reference = SelectedCount() > 0 ? GetSelectedNode(0) : GetSelectionAnchor();
    return !reference || reference->Parent() == Node->Parent();
}

int TCustomcvTreeList::CompareToSelectionAnchor(const TcvTreeListNode* Node) const {
    const int row = GetNodeRowIndex(Node);
    const int anchor = GetNodeRowIndex(FSelectionAnchor);
    if (row == anchor) return 0;
    return anchor > row ? -1 : 1;
}

int TCustomcvTreeList::ResetSelectionPending() {
    FPendingSelectionNode = nullptr;
    return SelectedCount();
}

void TCustomcvTreeList::DoSelectedCountChange() {
    if (ComponentState().Contains(csDestroying) || FSelectionChangeLevel > 0) return;
    Fire(OnSelectedCountChange, this);
}

void TCustomcvTreeList::InvalidateSelection() {
    InvalidateNode(FFocusedNode, false);
    const int count = SelectedCount();
    if (count >= WholeControlSelectionCount) {
        Invalidate();
        return;
    }
    for (int i = 0; i < count; ++i)
        InvalidateNode(GetSelectedNode(i), false);
}

void TCustomcvTreeList::SelectNodeRange(TcvTreeListNode* NodeA, TcvTreeListNode* NodeB) {
    const int rowA = GetNodeRowIndex(NodeA);
    const int rowB = GetNodeRowIndex(NodeB);
    if (rowA < 0 || rowB < 0) return;
    BeginSelectionChange();
    const TScopeGuard bracket([this] { EndSelectionChange(); });
    TcvTreeListNode* node = GetRowNode(std::min(rowA, rowB));
    for (int marked = 0; node && marked <= std::abs(rowA - rowB); ++marked) {
        node->SetSelected(true);
        node = GetNextVisibleNode(node);
    }
}

void TCustomcvTreeList::SetEditorText(const std::string& Text) {
    if (FState == 2 && FInplaceEditor) FInplaceEditor->ReplaceText(Text);
}

// Hot tracking --------------------------------------------------------------------

bool TCustomcvTreeList::IsCellHotTrack(TcvTreeListNode* Node, int Column) const {
    (void)Node, (void)Column;
    return FOptionsEx & tloex_CellHotTrack;
}

void TCustomcvTreeList::DoHotTrackNode(const TcvTreeListHotTrackInfo& HotTrack, TCursor& Cursor) {
    Fire(OnHotTrackNode, this, HotTrack, Cursor);
}

void TCustomcvTreeList::UpdateHotTrack(const TcvTreeListHitInfo& Hit) {
    if (FState == 0 || FState == 16) {
        const bool hot = IsInFilterPanelButton({Hit.X, Hit.Y});
        if (hot != FFilterPanelButtonHot) SetFilterPanelButtonHot(hot);
    }
    if (!(FOptionsEx & tloex_CellHotTrack) && !IsFilterActive()) return;
    const TcvTreeListHotTrackInfo old = FHotTrack;
    Byte part = 0;
    if (Hit.Node && Hit.Column >= 0 && IsCellHotTrack(Hit.Node, Hit.Column))
        FHotTrack = {Hit.Node, Hit.Column, 0, 0};
    else if (Hit.Kind == htColumnHeader && Hit.Column >= 0 && IsHeaderHotPart({Hit.X, Hit.Y}, Hit.Column, part))
        FHotTrack = {nullptr, Hit.Column, 0, part};
    else
        FHotTrack = {};
    if (FHotTrack.Node == old.Node && FHotTrack.Column == old.Column) {
        if (FHotTrack.Kind == old.Kind) return;
    } else {
        TCursor cursor = FUserCursor;
        DoHotTrackNode(FHotTrack, cursor);
        if (cursor != Cursor()) {
            FSettingHotCursor = true;
            const TScopeGuard assigned([this] { FSettingHotCursor = false; });
            SetCursor(cursor);
        }
    }
    InvalidateHotArea(old);
    InvalidateHotArea(FHotTrack);
}

void TCustomcvTreeList::UpdateHotTrackAtPointer() {
    TPoint pointer;
    GetCursorPos(pointer);
    TcvTreeListHitInfo hit;
    GetHitInfo(ScreenToClient(pointer), hit);
    UpdateHotTrack(hit);
}

void TCustomcvTreeList::InvalidateHotArea(const TcvTreeListHotTrackInfo& HotTrack) {
    if (!HandleAllocated() || HotTrack.Column < 0) return;
    if (!HotTrack.Node) {
        InvalidateHeader();
        return;
    }
    const TRect cell = GetCellRect(HotTrack.Node, GetVisibleIndex(HotTrack.Column));
    if (!IsRectEmpty(cell)) InvalidateRect(FHandle, &cell, false);
}

// The control's selected set and hot cells -----------------------------------------

bool TCustomcvTreeListControl::IsNodeSelected(const TcvTreeListNode* Node) const {
    return std::binary_search(FSelectedNodes.begin(), FSelectedNodes.end(), Node, ByAddress);
}

void TCustomcvTreeListControl::SetNodeSelected(TcvTreeListNode* Node, bool Value) {
    if (!IsMultiSelect() || !Node) return;
    const auto place = std::lower_bound(FSelectedNodes.begin(), FSelectedNodes.end(), Node, ByAddress);
    const bool selected = place != FSelectedNodes.end() && *place == Node;
    if (selected == Value) return;
    if (Value) {
        if (!CanNodeSelected(Node)) return;
        FSelectedNodes.insert(place, Node);
    } else {
        FSelectedNodes.erase(place);
    }
    InvalidateNode(Node, false);
    TCustomcvTreeList::SetNodeSelected(Node, Value);
}

void TCustomcvTreeListControl::ClearSelection() {
    if (!FSelectedNodes.empty() && !ComponentState().Contains(csDestroying)) {
        for (TcvTreeListNode* node : FSelectedNodes)
            InvalidateNode(node, false);
    }
    FSelectedNodes.clear();
    TCustomcvTreeList::ClearSelection();
}

TcvTreeListNode* TCustomcvTreeListControl::GetSelectedNode(int Index) const {
    return Index >= 0 && Index < SelectedCount() ? FSelectedNodes[size_t(Index)] : nullptr;
}

bool TCustomcvTreeListControl::IsCellHotTrack(TcvTreeListNode* Node, int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return TCustomcvTreeList::IsCellHotTrack(Node, Column) && column && column->HasEditButton();
}

void TCustomcvTreeListControl::DoHotTrackNode(const TcvTreeListHotTrackInfo& HotTrack, TCursor& Cursor) {
    if (const TcvTreeListColumn* column = Columns(HotTrack.Column); column && HotTrack.Node)
        column->GetCellCursor(HotTrack.Node, Cursor);
    TCustomcvTreeList::DoHotTrackNode(HotTrack, Cursor);
}
