// The header filter list: the pick list's drawing and type-ahead, with
// Enter, Esc, F4 and a left release ending the choice through
// ApplySelection, which the grid's filter turns into the column's condition.
#include "dbgrid/FilterPopupListBox.h"

#include "dbgrid/DBGrid.h"
#include "dbgrid/DBGridFilter.h"
#include "editors/Container.h"
#include "platform/ui/Focus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

TcvDBGridFilterPopupListBox::TcvDBGridFilterPopupListBox(TCustomcvDBGrid* AGrid)
    : TCustomcvPopupPickListBox(AGrid), FGrid(AGrid) {}

TcvDBGridFilterPopupListBox::~TcvDBGridFilterPopupListBox() {
    // The items point at the values.
    Items()->Clear();
}

void TcvDBGridFilterPopupListBox::ApplySelection(bool Accept) {
    if (!FGrid->FFilterDropDownOpen) return;
    // Cleared first: the cancel-mode message below reaches the grid, whose
    // guard must not close the list a second time.
    FGrid->FFilterDropDownOpen = false;
    if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int index = ItemIndex();
    if (!Accept || index < 0 || !FColumn) return;
    TcvDBGridFilter* filter = FGrid->Filter();
    const auto* value = static_cast<const TcvFilterValue*>(Items()->Objects(index));
    if (index == AllItem)
        filter->ClearColumnFilter(FColumn);
    else if (index == CustomItem)
        filter->CustomizeColumnFilter(FColumn);
    else if (index == BlanksItem && !value)
        filter->SetBlanksFilter(FColumn, false);
    else if (index == NonBlanksItem && !value)
        filter->SetBlanksFilter(FColumn, true);
    else if (value)
        filter->SetValueFilter(FColumn, value->Value, Items()->Get(index));
}

void TcvDBGridFilterPopupListBox::KeyDown(Word& Key, TShiftState Shift) {
    TCustomcvPopupPickListBox::KeyDown(Key, Shift);
    if (Key != VK_RETURN && Key != VK_ESCAPE && Key != VK_F4) return;
    // The key's character would land in the focused grid after the list is gone.
    cvCntner::DiscardMessage(GetFocus(), WM_CHAR);
    ApplySelection(Key == VK_RETURN);
    Key = 0;
}

void TcvDBGridFilterPopupListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomcvPopupPickListBox::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft) ApplySelection(PtInRect(ClientRect(), {X, Y}));
}
