// The tree list's event dispatchers, the focused-cell move with its change
// events, the repair after a node is deleted, and the custom-draw hooks: the
// tree list answers "nobody draws", the control asks its events and then the
// column's.
#include "treelist/TreeList.h"
#include "treelist/TreeListControl.h"

#include "platform/ui/MessageQueue.h"
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
    // A search step focusing its find keeps the search going.
    if ((nodeChanged && FSearchDepth == 0) || columnChanged) EndIncrementalSearch();
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
    // A failing handler is reported and the references are repaired all the
    // same: the node is gone whatever the handler did.
    RunGuarded([&] { Fire(OnDeletion, this, Node); });
    if (FClearing) return;
    const bool destroying = ComponentState().Contains(csDestroying);
    SetNodeSelected(Node, false);
    if (Count() == 0) {
        if (!destroying) ClearCache();
        ResetNodeReferences();
        ResetEditorCell(); // an editor left open has no cell any more
        if (IsUpdating() || destroying) return;
        UpdateScrollBars();
        Invalidate();
        return;
    }
    TcvTreeListNode* const replacement = Previous ? Previous : Next;
    TcvTreeListNode* repaint = replacement;
    if (FTopNode == Node) FTopNode = replacement;
    if (FFocusedNode == Node) FFocusedNode = replacement;
    if (FSelectionAnchor == Node) FSelectionAnchor = replacement;
    if (FPendingSelectionNode == Node) FPendingSelectionNode = nullptr;
    if (FHotTrack.Node == Node) FHotTrack = {};
    if (FPressedNode == Node) FPressedNode = nullptr;
    if (FPrevFocusedNode == Node) FPrevFocusedNode = nullptr;
    if (FLastHit.Node == Node) FLastHit.Node = nullptr;
    // Last: dropping the editor hands the focus back, which reads the
    // references repaired above.
    if (FEditorNode == Node) ResetEditorCell();
    if (!Relayout || IsUpdating() || destroying) return;
    CalcVisibleRows();
    UpdateScrollBars();
    // The rows from the deleted one down moved; when the node to repaint from
    // lies above the shown rows (a parent scrolled away), all of them did.
    if (GetNodeRowRect(repaint, false).Top < 0)
        Invalidate();
    else
        InvalidateNode(repaint, true);
    FollowEditorCell();
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

// The control's custom drawing -------------------------------------------------------

bool TCustomcvTreeListControl::HasCustomDrawCell(TcvTreeListNode*, int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return OnCustomDrawCellEx || OnCustomDrawCell || (column && column->HasCustomDrawCell());
}

bool TCustomcvTreeListControl::HasCustomDrawFooter(TcvTreeListNode* Node, int, int) const {
    return Node ? bool(OnCustomDrawFooterNode) : bool(OnCustomDrawFooter);
}

bool TCustomcvTreeListControl::HasCustomDrawColumnHeader(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return OnCustomDrawColumnHeader || (column && column->HasCustomDrawColumnHeader());
}

void TCustomcvTreeListControl::DoCustomDrawBand(int VisibleBand, TCanvas* ACanvas, const TRect& ARect,
                                                std::string& AText, TColor& AColor, TFont* AFont,
                                                TAlignment& AAlignment, bool& ADone) {
    const TRect rect = ARect;
    Fire(OnCustomDrawBand, this, this->VisibleBand(VisibleBand), ACanvas, rect, AText, AColor, AFont, AAlignment,
         ADone);
}

void TCustomcvTreeListControl::DoCustomDrawColumnHeader(int Column, TCanvas* ACanvas, const TRect& ARect,
                                                        std::string& AText, TColor& AColor, TFont* AFont,
                                                        TAlignment& AAlignment, TcvTreeListColumnSort& ASorted,
                                                        bool& ADone) {
    TcvTreeListColumn* column = Columns(Column);
    Fire(OnCustomDrawColumnHeader, this, column, ACanvas, ARect, AText, AColor, AFont, AAlignment, ASorted, ADone);
    if (!ADone && column)
        column->DoCustomDrawColumnHeader(ACanvas, ARect, AText, AColor, AFont, AAlignment, ASorted, ADone);
}

void TCustomcvTreeListControl::DoCustomDrawCell(TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode,
                                                int Column, bool ASelected, bool AFocused, bool ANewItemRow,
                                                std::string& AText, TColor& AColor, TFont* AFont,
                                                TAlignment& AAlignment, bool& ADone) {
    TcvTreeListColumn* column = Columns(Column);
    for (const TcvTLCustomDrawCell* event : {&OnCustomDrawCellEx, &OnCustomDrawCell})
        if (!ADone)
            Fire(*event, this, ACanvas, ARect, ANode, column, ASelected, AFocused, ANewItemRow, AText, AColor, AFont,
                 AAlignment, ADone);
    if (ADone || !column) return;
    const bool columnDraws = ANewItemRow ? IsInserting() : !IsGroupNode(ANode);
    if (columnDraws)
        column->DoCustomDrawCell(ACanvas, ARect, ANode, ASelected, AFocused, ANewItemRow, AText, AColor, AFont,
                                 AAlignment, ADone);
}

void TCustomcvTreeListControl::DoCustomDrawFooter(TcvTreeListNode* ANode, int Column, int FooterIndex, TCanvas* ACanvas,
                                                  const TRect& ARect, std::string& AText, TColor& AColor, TFont* AFont,
                                                  TAlignment& AAlignment, bool& ADone) {
    TcvTreeListColumn* column = Columns(Column);
    if (ANode)
        Fire(OnCustomDrawFooterNode, this, ACanvas, ARect, ANode, column, FooterIndex, AText, AColor, AFont, AAlignment,
             ADone);
    else
        Fire(OnCustomDrawFooter, this, ACanvas, ARect, ANode, column, AText, AColor, AFont, AAlignment, ADone);
}

void TCustomcvTreeListControl::DoCustomDrawPreview(TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode,
                                                   bool ASelected, std::string& AText, TColor& AColor,
                                                   TColor& ATextColor, TFont* AFont, bool& ADone) {
    Fire(OnCustomDrawPreview, this, ACanvas, ARect, ANode, ASelected, static_cast<const std::string&>(AText), ADone);
    if (!ADone)
        Fire(OnCustomDrawPreviewCell, this, ACanvas, ARect, ANode, ASelected, AText, AColor, ATextColor, AFont, ADone);
}

void TCustomcvTreeListControl::DoGetLevelColor(int Level, TColor& AColor) {
    Fire(OnGetLevelColor, this, Level, AColor);
}

bool TCustomcvTreeListControl::IsExistFooterCell(int Column) {
    bool exist = false;
    Fire(OnIsExistFooterCell, this, Column, exist);
    return exist;
}
