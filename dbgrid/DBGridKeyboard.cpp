// The grid's keys: they act on the dataset (delete, insert, append, cancel,
// first and last record, record ranges) before the tree list's own handler.
#include "dbgrid/DBGrid.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"

#include <algorithm>

void TCustomcvDBGrid::KeyDown(Word& Key, TShiftState Shift) {
    // The inherited handler would fire OnKeyDown a second time.
    const TKeyEvent handler = OnKeyDown;
    OnKeyDown = nullptr;
    BeginSelectionChange();
    const TScopeGuard restored([this, handler] {
        OnKeyDown = handler;
        EndSelectionChange();
    });
    Fire(handler, this, Key, Shift);

    TcvDBTreeListControlDataLink* const link = GetDataLink();
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool shift = Shift.Contains(ssShift);
    if (IsPartialLoadMode() && shift && link->Active()) SetSelectionAnchor(FocusedNode());
    const bool editorKey = Key == VK_BACK || Key == VK_ESCAPE || Key == VK_DELETE || (Key == VK_RETURN && (shift || ctrl));
    if (!(State() == 2 && editorKey) && link->Active() && CanHandleKey(Key, Shift)) {
        if (Key == VK_DELETE && ctrl) {
            CtrlDeleteKeyDown();
            return;
        }
        if (Key == VK_ESCAPE && State() != 2) {
            if (link->Editing())
                link->CancelChanges();
            else
                DataSet()->Cancel();
        } else if (IsBufferMode() ? BufferModeKeyDown(Key, Shift) : NodeModeKeyDown(Key, Shift)) {
            return;
        }
    }
    if (Options().Contains(egoRowSelect) && (Key == VK_LEFT || Key == VK_RIGHT) && FocusedNode() &&
        !IsGroupNode(FocusedNode())) {
        PostMessage(Handle(), WM_HSCROLL, Key == VK_LEFT ? SB_LINELEFT : SB_LINERIGHT, 0);
        Key = 0;
    }
    TCustomcvDBTreeListControl::KeyDown(Key, Shift);
}

bool TCustomcvDBGrid::IsDataSetEditing() const {
    const TDataSetState state = DataSet()->State();
    return state == dsEdit || state == dsInsert || state == dsSetKey;
}

bool TCustomcvDBGrid::IsUntouchedInsert() const {
    return DataSet()->State() == dsInsert && !DataSet()->Modified() && !GetDataLink()->Modified();
}

bool TCustomcvDBGrid::CtrlDeleteKeyDown() {
    TcvTreeListNode* const node = FocusedNode();
    if (State() != 0 || !Options().Contains(egoCanDelete) || !Options().Contains(egoCanNavigation) || !node ||
        IsGroupNode(node))
        return true;
    TDataSet* const data = DataSet();
    if (data->IsEmpty() || !data->CanModify() || !ConfirmDelete()) return true;
    if (SelectedCount() == 0)
        static_cast<TcvDBGridNode*>(node)->Delete();
    else
        DeleteSelection();
    return true;
}

bool TCustomcvDBGrid::BufferModeKeyDown(Word Key, TShiftState Shift) {
    TDataSet* const data = DataSet();
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool shift = Shift.Contains(ssShift);
    if ((Key == VK_END || Key == VK_HOME) && !shift && (Options().Contains(egoRowSelect) || ctrl)) {
        if (Key == VK_END)
            data->Last();
        else
            data->First();
        // Ctrl only moves; otherwise the reached row alone is selected and
        // starts the next range, as after the tree list's own Home and End.
        if (!ctrl) {
            ClearSelection();
            SetSelectionAnchor(nullptr);
            SetNodeSelected(FocusedNode(), true);
        }
        return true;
    }
    if ((Key == VK_UP || Key == VK_DOWN || Key == VK_INSERT) && data->CanModify() &&
        Options().Contains(egoEditing) && !Options().Contains(egoRowSelect)) {
        if (Key == VK_UP) {
            if (IsUntouchedInsert() && data->Eof())
                data->Cancel();
            else
                TCustomcvDBTreeListControl::KeyDown(Key, Shift);
            return true;
        }
        if (Key == VK_DOWN) {
            if (IsUntouchedInsert()) {
                if (!data->Eof()) data->Cancel();
                return true;
            }
            TCustomcvDBTreeListControl::KeyDown(Key, Shift);
            if (Options().Contains(egoCanAppend) && Options().Contains(egoCanInsert) && data->Eof()) {
                if (SelectedCount() == 1) ClearSelection();
                data->Append();
            }
            return true;
        }
        if (!ctrl && Options().Contains(egoCanInsert) && Options().Contains(egoCanNavigation)) {
            ClearSelection();
            data->Insert();
            return true;
        }
    }
    if (!Options().Contains(egoMultiSelect) || !shift) return false;
    // Rows to the top or bottom edge; from the edge itself, a page.
    const auto pageRows = [this](int ToEdge) { return std::max(1, ToEdge > 0 ? ToEdge : VisibleRowCount() - 1); };
    const int focused = GetFocusedRowIndex();
    const int top = GetTopRowIndex();
    switch (Key) {
    case VK_PRIOR:
        SelectRecordRange(true, pageRows(focused - top));
        return true;
    case VK_NEXT:
        SelectRecordRange(false, pageRows(top + VisibleRowCount() - 1 - focused));
        return true;
    case VK_END:
        SelectRecordRange(false, 0);
        return true;
    case VK_HOME:
        SelectRecordRange(true, 0);
        return true;
    default:
        return false;
    }
}

bool TCustomcvDBGrid::NodeModeKeyDown(Word Key, TShiftState Shift) {
    TDataSet* const data = DataSet();
    TcvTreeListNode* const node = FocusedNode();
    const bool rowSelect = Options().Contains(egoRowSelect);
    const bool canAdd = data->CanModify() && Options().Contains(egoCanInsert) && Options().Contains(egoCanNavigation);
    switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
        if (!rowSelect && State() == 0 && node && node->HasChildren() && node->Expanded() == (Key == VK_LEFT))
            node->SetExpanded(Key == VK_RIGHT);
        return false;
    case VK_INSERT:
        if (Shift.Contains(ssCtrl) || rowSelect || !canAdd) return false;
        HideEditor();
        ClearSelection();
        data->Insert();
        ShowEditor();
        return true;
    case VK_UP:
        if (!IsDataSetEditing()) return false;
        if (IsUntouchedInsert() && data->Eof()) {
            data->Cancel();
            FocusNode(GetLastVisibleNode());
            return true;
        }
        if (IsFirstNode(node)) data->Post();
        return false;
    case VK_DOWN:
        if (!node || !IsLastNode(node)) return false;
        if (IsUntouchedInsert()) return true;
        if (canAdd && Options().Contains(egoCanAppend)) {
            if (SelectedCount() == 1) ClearSelection();
            data->Append();
            return true;
        }
        if (IsDataSetEditing()) data->Post();
        return false;
    default:
        return false;
    }
}

bool TCustomcvDBGrid::ConfirmDelete() {
    if (!Options().Contains(egoConfirmDelete)) return true;
    const char* question = SelectedCount() > 0 ? cvDBCtrl::SDeleteSelectedQuestion : cvDBCtrl::SDeleteRecordQuestion;
    return MessageBox(Handle(), question, cvDBCtrl::SConfirmCaption, MB_OKCANCEL | MB_ICONQUESTION) != IDCANCEL;
}
