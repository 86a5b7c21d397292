// The tree list's keys: KeyDown runs the key map (navigation, Shift and Ctrl
// selection, search control, editor start and stop, copy) inside one
// selection bracket; the typed '+', '-', '*' and Ctrl+C act on the focused
// node. Both go only through the focus, selection and node operations, so
// the grid's overrides steer them.
#include "treelist/TreeList.h"

#include "editors/InplaceEdit.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Messages.h"

#include <algorithm>

namespace {

constexpr char32_t CtrlC = 3;

// The mouse operations during which the keyboard only cancels.
bool IsMouseOperationState(Byte State) {
    switch (State) {
    case 1:
    case 3:
    case 8:
    case 9:
    case 12:
    case 13:
    case 14:
        return true;
    default:
        return false;
    }
}

int Sign(int Value) {
    return (Value > 0) - (Value < 0);
}

} // namespace

void TCustomcvTreeList::DoExit() {
    TCustomcvContainer::DoExit();
    HideEditor();
}

// KeyDown ----------------------------------------------------------------------------

void TCustomcvTreeList::EditorKeyDown(Word& Key, TShiftState Shift) {
    if (TcvInplaceEdit::IsRowKey(Key))
        KeyDown(Key, Shift);
    else
        TCustomcvContainer::EditorKeyDown(Key, Shift);
}

void TCustomcvTreeList::KeyDown(Word& Key, TShiftState Shift) {
    BeginSelectionChange();
    const TScopeGuard bracket([this] { EndSelectionChange(); });
    TCustomcvContainer::KeyDown(Key, Shift);
    if (!CanHandleKey(Key, Shift)) Key = 0;
    if (IsMouseOperationState(FState)) {
        if (Key == VK_ESCAPE) CancelMouseOperation();
        return;
    }
    if (Count() == 0) return;
    if (FState == 2) {
        switch (Key) {
        case VK_TAB:
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_UP:
        case VK_DOWN:
            HideEditorAndFocus();
            if (Key == VK_ESCAPE) return;
            break;
        default:
            break;
        }
    }
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool shift = Shift.Contains(ssShift);
    if (FNewItemRowActive && (Key == VK_NEXT || Key == VK_DOWN)) {
        SetNewItemRowActive(false);
        SetFocusedCell(FTopNode, GetFocusedColumn(), true);
        if (!ctrl && !shift) {
            ClearSelection();
            SetSelectionAnchor(nullptr);
            SetNodeSelected(FFocusedNode, true);
        }
        return;
    }
    if (FSearching && (Key == VK_BACK || Key == VK_ESCAPE || Key == VK_DELETE || (Key == VK_RETURN && (shift || ctrl)))) {
        SearchKeyDown(Key, ctrl);
        return;
    }
    if (ctrl && !(shift && CanSelectRange() && IsRangeKey(Key))) {
        CtrlKeyDown(Key);
        return;
    }
    NavigationKeyDown(Key, Shift);
    if (SelectedCount() == 0 && FFocusedNode) SetNodeSelected(FFocusedNode, true);
}

bool TCustomcvTreeList::IsRangeKey(Word Key) {
    return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME || Key == VK_UP || Key == VK_DOWN;
}

void TCustomcvTreeList::SearchKeyDown(Word Key, bool Ctrl) {
    SyncSearchColumn();
    int direction = sdFromFocused;
    switch (Key) {
    case VK_ESCAPE:
        EndIncrementalSearch();
        InvalidateNode(FFocusedNode, false);
        return;
    case VK_BACK: // one whole character, however many bytes it takes
        FSearchText.erase(Utf8PrevCharBoundary(FSearchText, FSearchText.size()));
        break;
    case VK_DELETE:
        FSearchText.clear();
        break;
    default: // Shift+Enter searches backward, Ctrl+Enter forward
        direction = Ctrl ? sdForward : sdBackward;
        break;
    }
    SearchNode(FSearchText, direction, false);
}

void TCustomcvTreeList::CtrlKeyDown(Word Key) {
    FShiftExtension = false;
    switch (Key) {
    case VK_SPACE:
        if (IsRowSelect() || !CanEditing()) {
            SetNodeSelected(FFocusedNode, !IsNodeSelected(FFocusedNode));
            SetSelectionAnchor(FFocusedNode);
        }
        break;
    case VK_PRIOR:
    case VK_NEXT:
        PageStep(Key == VK_NEXT ? 1 : -1);
        break;
    case VK_END:
        SetFocusedRowIndex(GetVisibleRowCount() - 1);
        break;
    case VK_HOME:
        SetFocusedRowIndex(0);
        break;
    case VK_LEFT:
        SetFocusedColumn(0);
        break;
    case VK_RIGHT:
        SetFocusedColumn(GetVisibleColumnCount() - 1);
        break;
    case VK_UP:
        if (IsFirstNode(FFocusedNode))
            SetNewItemRowActive(true);
        else
            SetFocusedRowIndex(GetFocusedRowIndex() - 1);
        break;
    case VK_DOWN:
        SetFocusedRowIndex(GetFocusedRowIndex() + 1);
        break;
    case VK_INSERT:
        CopySelectedToClipboard();
        break;
    default:
        break;
    }
}

void TCustomcvTreeList::NavigationKeyDown(Word Key, TShiftState& Shift) {
    const bool shift = Shift.Contains(ssShift);
    switch (Key) {
    case VK_HOME:
    case VK_END:
        if (!IsRowSelect() && !shift) {
            SetFocusedColumn(Key == VK_HOME ? 0 : GetVisibleColumnCount() - 1);
            break;
        }
        ClearSelection();
        if (shift && CanSelectRange()) {
            if (!FSelectionAnchor) SetSelectionAnchor(FFocusedNode);
            SetFocusedRowIndex(Key == VK_HOME ? 0 : GetVisibleRowCount() - 1);
            SelectNodeRange(FSelectionAnchor, FFocusedNode);
        } else {
            SetSelectionAnchor(nullptr);
            SetFocusedRowIndex(Key == VK_HOME ? 0 : GetVisibleRowCount() - 1);
        }
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        ClearSelection();
        const bool range = shift && CanSelectRange();
        if (range && !FSelectionAnchor)
            SetSelectionAnchor(FFocusedNode);
        else if (!range)
            SetSelectionAnchor(nullptr);
        if (Key == VK_PRIOR && IsFirstNode(FFocusedNode))
            SetNewItemRowActive(true);
        else
            PageStep(Key == VK_NEXT ? 1 : -1);
        if (range && FSelectionAnchor) SelectNodeRange(FSelectionAnchor, FFocusedNode);
        break;
    }
    case VK_RIGHT:
        if (IsRowSelect())
            RowSelectRight();
        else if (GetFocusedColumn() == GetVisibleColumnCount() - 1 && IsArrowWrapsRows())
            NextRowStep();
        else
            SetFocusedColumn(GetFocusedColumn() + 1);
        break;
    case VK_LEFT:
        if (IsRowSelect())
            RowSelectLeft();
        else if (GetFocusedColumn() == 0 && IsArrowWrapsRows())
            PrevRowStep();
        else
            SetFocusedColumn(GetFocusedColumn() - 1);
        break;
    case VK_UP:
        if (IsBandRowNavigation() && BandRowStep(true)) break;
        if (IsFirstNode(FFocusedNode))
            SetNewItemRowActive(true);
        else
            RowStep(-1, shift);
        break;
    case VK_DOWN:
        if (IsBandRowNavigation() && BandRowStep(false)) break;
        RowStep(1, shift);
        break;
    case VK_F2:
        ShowEditor();
        break;
    case VK_TAB:
        TabKeyDown(shift, Shift.Contains(ssAlt));
        Shift -= ssShift;
        break;
    case VK_RETURN:
        if (IsEnterMovesToNextCell()) {
            const int next = FindTabStopColumn(GetFocusedColumn() + 1, true);
            if (next < GetVisibleColumnCount())
                SetFocusedColumn(next);
            else
                NextRowStep();
            ShowEditor();
        }
        break;
    case VK_ESCAPE:
        ClearSelection();
        RefreshEditor();
        if (FInplaceEditor) FInplaceEditor->CaretToEnd();
        HideEditorAndFocus();
        break;
    default:
        break;
    }
}

void TCustomcvTreeList::TabKeyDown(bool Shift, bool Alt) {
    if (Alt) return;
    if (IsRowSelect()) {
        ClearSelection();
        SetFocusedRowIndex(GetFocusedRowIndex() + (Shift ? -1 : 1));
        return;
    }
    if (!Shift) {
        const int next = FindTabStopColumn(GetFocusedColumn() + 1, true);
        if (next >= GetVisibleColumnCount() && IsTabWrapsRows())
            NextRowStep();
        else
            SetFocusedColumn(next); // past the last column it leaves the focus where it is
        return;
    }
    const int previous = FindTabStopColumn(GetFocusedColumn() - 1, false);
    if (previous >= 0)
        SetFocusedColumn(previous);
    else if (IsTabWrapsRows())
        PrevRowStep();
}

void TCustomcvTreeList::RowSelectRight() {
    TcvTreeListNode* node = FFocusedNode;
    if (!node) return;
    MakeNodeVisible(node);
    if (FNewItemRowActive) return;
    if (!node->HasChildren()) {
        ClearSelection();
        SetFocusedRowIndex(GetFocusedRowIndex() + 1);
    } else if (!node->Expanded()) {
        node->SetExpanded(true);
    } else if (TcvTreeListNode* child = node->GetFirstChild()) {
        ClearSelection();
        SetFocusedCell(child, GetFocusedColumn(), true);
        SetNodeSelected(child, true);
    }
}

void TCustomcvTreeList::RowSelectLeft() {
    TcvTreeListNode* node = FFocusedNode;
    if (!node) return;
    MakeNodeVisible(node);
    if (FNewItemRowActive) return;
    if (node->HasChildren() && node->Expanded()) {
        node->SetExpanded(false);
    } else if (node->Index() == 0 && node->Parent()) {
        TcvTreeListNode* parent = node->Parent();
        ClearSelection();
        SetFocusedCell(parent, GetFocusedColumn(), true);
        SetNodeSelected(parent, true);
    } else {
        ClearSelection();
        SetFocusedRowIndex(GetFocusedRowIndex() - 1);
    }
}

// Steps ----------------------------------------------------------------------------

void TCustomcvTreeList::RowStep(int Delta, bool Shift) {
    if (!IsMultiSelect()) {
        SetFocusedRowIndex(GetFocusedRowIndex() + Delta);
        return;
    }
    TcvTreeListNode* const node = FFocusedNode;
    bool selectNew = false;
    if (Shift && FShiftExtension) {
        // Moving back toward the anchor gives up the row left behind.
        if (CompareToSelectionAnchor(node) == -Delta)
            SetNodeSelected(node, false);
        else
            selectNew = true;
    } else {
        const bool keepAtEdge = (SelectedCount() == 1 && Delta == -1 && IsFirstNode(node)) ||
                                (Delta == 1 && IsLastNode(node));
        if (!keepAtEdge) ClearSelection();
        if (Shift) {
            if (!CanSelectRange() || !FSelectionAnchor) {
                SetSelectionAnchor(node);
                SetNodeSelected(node, true);
            } else {
                SelectNodeRange(FSelectionAnchor, node);
                const int toAnchor = GetNodeRowIndex(FSelectionAnchor) - GetNodeRowIndex(node);
                SetNodeSelected(node, Sign(toAnchor) != Sign(Delta));
            }
            FShiftExtension = true;
            selectNew = true;
        } else {
            SetSelectionAnchor(nullptr);
        }
    }
    SetFocusedRowIndex(GetFocusedRowIndex() + Delta);
    if (selectNew) SetNodeSelected(FFocusedNode, true);
}

void TCustomcvTreeList::PageStep(int Delta) {
    if (!FFocusedNode) return;
    const int rows = GetVisibleRowCount();
    const int focused = GetFocusedRowIndex();
    if (rows < 2) {
        if ((Delta < 0 && IsFirstNode(FFocusedNode)) || (Delta > 0 && IsLastNode(FFocusedNode))) return;
        SetFocusedRowIndex(focused + Delta);
        return;
    }
    const int top = GetTopRowIndex();
    const int bottom = std::min(top + FVisibleRowCount - 1, rows - 1);
    if (focused > top && focused < bottom)
        SetFocusedRowIndex(Delta > 0 ? bottom : top);
    else
        SetFocusedRowIndex(focused + Delta * std::max(FVisibleRowCount - 1, 1));
}

int TCustomcvTreeList::FindTabStopColumn(int From, bool Forward) const {
    const int count = GetVisibleColumnCount();
    int column = From;
    if (Forward) {
        while (column < count && !GetColumnTabStop(GetAbsoluteIndex(column)))
            ++column;
    } else {
        while (column >= 0 && !GetColumnTabStop(GetAbsoluteIndex(column)))
            --column;
    }
    return column;
}

void TCustomcvTreeList::NextRowStep() {
    ClearSelection();
    SetFocusedRowIndex(GetFocusedRowIndex() + 1);
    const int first = FindTabStopColumn(0, true);
    if (first < GetVisibleColumnCount()) SetFocusedColumn(first);
}

void TCustomcvTreeList::PrevRowStep() {
    ClearSelection();
    SetFocusedRowIndex(GetFocusedRowIndex() - 1);
    const int last = FindTabStopColumn(GetVisibleColumnCount() - 1, false);
    if (last >= 0) SetFocusedColumn(last);
}

bool TCustomcvTreeList::BandRowStep(bool Up) {
    const int column = GetFocusedAbsoluteIndex();
    if (IsRowSelect() || IsGroupNode(FFocusedNode) || column < 0) return false;
    int band = -1, row = 0, position = 0;
    const int rows = FindShownColumn(column, band, row, position) ? GetBandRowCountOf(band) : 0;
    if (rows < 2) return false;
    const int lastRow = rows - 1;
    const bool wrapped = Up ? row == 0 : row == lastRow;
    if (wrapped && (Up ? IsFirstNode(FFocusedNode) : IsLastNode(FFocusedNode))) return false;
    const int newRow = wrapped ? (Up ? lastRow : 0) : row + (Up ? -1 : 1);
    position = std::min(position, GetColumnCountInBandRow(band, newRow) - 1);
    SetFocusedColumn(GetVisibleIndex(GetColumnAt(band, newRow, position)));
    // A wrapped step lets the row step move on to the neighbouring node.
    return !wrapped;
}

// KeyPress ---------------------------------------------------------------------------

void TCustomcvTreeList::NodeKeyPress(char32_t Key) {
    if (FState == 2 || !FFocusedNode) return;
    TcvTreeListNode* const node = FFocusedNode;
    switch (Key) {
    case CtrlC:
        if (FOptionsEx & tloex_CopyByCtrlC) CopySelectedToClipboard();
        break;
    case U'*':
        if (node->HasChildren()) node->Expand(true);
        break;
    case U'+':
    case U'-':
        MakeNodeVisible(node);
        node->SetExpanded(Key == U'+');
        break;
    default:
        break;
    }
}
