// The tree list's event dispatchers, the focused-cell move with its change
// events, the repair after a node is deleted, and the custom-draw hooks,
// which the tree list answers with "nobody draws".
#include "treelist/TreeList.h"

#include "platform/ui/Painting.h"

#include <algorithm>

// Dispatchers ---------------------------------------------------------------------

void TCustomcvTreeList::DoEdited(TcvTreeListNode* Node) {
    Fire(OnEdited, this, Node);
}

void TCustomcvTreeList::DoEditing(TcvTreeListNode* Node, bool& Allow) {
    Fire(OnEditing, this, Node, Allow);
}

void TCustomcvTreeList::DoChangeColumn(TcvTreeListNode* Node, int Column) {
    Fire(OnChangeColumn, this, Node, Column);
}

void TCustomcvTreeList::DoChangeLeftCoord() {
    Fire(OnChangeLeftCoord, this);
}

void TCustomcvTreeList::DoChangeNode(TcvTreeListNode* OldNode, TcvTreeListNode* Node) {
    Fire(OnChangeNode, this, OldNode, Node);
}

void TCustomcvTreeList::DoEditChange(TObject* Sender) {
    Fire(OnEditChange, Sender);
}

void TCustomcvTreeList::DoEditValidate(TObject* Sender, std::string& ErrorText, bool& Accept) {
    Fire(OnEditValidate, Sender, ErrorText, Accept);
}

// Focused cell ---------------------------------------------------------------------

void TCustomcvTreeList::MakeColumnVisible(int Column) {
    const TcvTreeListDrawInfo info = CalcDrawInfo();
    const int absolute = GetAbsoluteIndex(Column);
    const auto cell = std::find_if(info.HeaderCells.begin(), info.HeaderCells.end(),
                                   [absolute](const TcvTreeListHeaderCellInfo& c) { return c.Column == absolute; });
    if (cell == info.HeaderCells.end()) return;
    if (cell->Band == GetFixedLeftBandIndex() || cell->Band == GetFixedRightBandIndex()) return;
    const TRect area = GetScrollingBandsRect();
    if (cell->Bounds.Left < area.Left)
        SetLeftCoord(FLeftCoord - (area.Left - cell->Bounds.Left));
    else if (cell->Bounds.Right > area.Right)
        SetLeftCoord(FLeftCoord + std::min(cell->Bounds.Right - area.Right, cell->Bounds.Left - area.Left));
}

void TCustomcvTreeList::SetFocusedCell(TcvTreeListNode* Node, int Column, bool MakeVisible) {
    if (!Node) return;
    HideEditor();
    FFocusedAbsoluteIndex = -1;
    TcvTreeListNode* const oldNode = FFocusedNode;
    const int oldColumn = FFocusedColumn;
    if (IsUpdating()) {
        FFocusedNode = Node;
        FFocusedColumn = Column;
    } else if (Node == oldNode) {
        if (Column != oldColumn && !IsRowSelect()) {
            FFocusedColumn = Column;
            MakeColumnVisible(Column);
            InvalidateNode(Node, false);
            InvalidateNewItemRow();
        }
    } else {
        if (!IsRowSelect()) {
            FFocusedColumn = Column;
            MakeColumnVisible(Column);
        }
        FFocusedNode = Node;
        InvalidateNode(oldNode, false);
        InvalidateNode(Node, false);
        SetNewItemRowActive(false);
    }
    if (MakeVisible) MakeNodeVisible(FFocusedNode);
    const bool nodeChanged = FFocusedNode != oldNode;
    const bool columnChanged = FFocusedColumn != oldColumn;
    if (nodeChanged || columnChanged) EndSearch();
    if (nodeChanged) DoChangeNode(oldNode, FFocusedNode);
    if (columnChanged) DoChangeColumn(FFocusedNode, FFocusedColumn);
}

void TCustomcvTreeList::SetFocusedRowIndex(int Row) {
    if (Count() == 0) return;
    Row = std::clamp(Row, 0, GetVisibleRowCount() - 1);
    if (FFocusedNode && Row == GetFocusedRowIndex()) return;
    SetFocusedCell(GetRowNode(Row), GetFocusedColumn(), true);
}

// Deletion -------------------------------------------------------------------------

void TCustomcvTreeList::DoNodeDeletion(TcvTreeListNode* Node, TcvTreeListNode* Previous, bool Relayout,
                                       TcvTreeListNode* Next) {
    Fire(OnDeletion, this, Node);
    if (FClearing) return;
    const bool destroying = ComponentState().Contains(csDestroying);
    SetNodeSelected(Node, false);
    if (Count() == 0) {
        if (!destroying) ClearCache();
        ResetNodeReferences();
        if (IsUpdating() || destroying) return;
        UpdateScrollBars();
        Invalidate();
        return;
    }
    TcvTreeListNode* const replacement = Previous ? Previous : Next;
    TcvTreeListNode* repaint = replacement;
    if (FTopNode == Node) FTopNode = replacement;
    if (FFocusedNode == Node) FFocusedNode = replacement;
    if (FEditorNode == Node) ResetEditorCell();
    if (!Relayout || IsUpdating() || destroying) return;
    FocusedNodeChanged();
    CalcVisibleRows();
    UpdateScrollBars();
    // The rows from the deleted one down moved; when the node to repaint from
    // lies above the shown rows (a parent scrolled away), all of them did.
    if (GetNodeRowRect(repaint, false).Top < 0)
        Invalidate();
    else
        InvalidateNode(repaint, true);
}

// Custom drawing ----------------------------------------------------------------

bool TCustomcvTreeList::HasCustomDrawCell(TcvTreeListNode*, int) const {
    return false;
}

bool TCustomcvTreeList::HasCustomDrawFooter(TcvTreeListNode*, int, int) const {
    return false;
}

bool TCustomcvTreeList::HasCustomDrawColumnHeader(int) const {
    return false;
}

void TCustomcvTreeList::DoCustomDrawBand(int, TCanvas*, const TRect&, std::string&, TColor&, TFont*, TAlignment&,
                                         bool&) {}

void TCustomcvTreeList::DoCustomDrawColumnHeader(int, TCanvas*, const TRect&, std::string&, TColor&, TFont*,
                                                 TAlignment&, TcvTreeListColumnSort&, bool&) {}

void TCustomcvTreeList::DoCustomDrawCell(TCanvas*, const TRect&, TcvTreeListNode*, int, bool, bool, bool, std::string&,
                                         TColor&, TFont*, TAlignment&, bool&) {}

void TCustomcvTreeList::DoCustomDrawFooter(TcvTreeListNode*, int, int, TCanvas*, const TRect&, std::string&, TColor&,
                                           TFont*, TAlignment&, bool&) {}

void TCustomcvTreeList::DoCustomDrawPreview(TCanvas*, const TRect&, TcvTreeListNode*, bool, std::string&, TColor&,
                                            TColor&, TFont*, bool&) {}

void TCustomcvTreeList::DoGetLevelColor(int, TColor&) {}

bool TCustomcvTreeList::IsExistFooterCell(int) {
    return false;
}
