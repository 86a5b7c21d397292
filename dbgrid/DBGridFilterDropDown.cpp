// The grid's header filter drop-down: filling the list with a column's
// distinct values, placing it under the column's header and guarding the
// grid's window procedure while it is open. The list itself applies the
// choice (FilterPopupListBox.cpp).
#include "dbgrid/DBGrid.h"
#include "dbgrid/DBGridFilter.h"
#include "dbgrid/FilterPopupListBox.h"
#include "editors/cvUtils.h"
#include "platform/data/DB.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Focus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace {

// Listed only as "(Blanks)" and "(NonBlanks)".
bool IsBlank(const Variant& Value) {
    return Value.IsEmpty() || Value.IsNull() || (VarIsStr(Value) && Value.AsString().empty());
}

} // namespace

void TCustomcvDBGrid::FilterDropDown(int Column) {
    const TcvTreeListDrawInfo info = CalcDrawInfo();
    const auto cell = std::find_if(info.HeaderCells.begin(), info.HeaderCells.end(),
                                   [Column](const TcvTreeListHeaderCellInfo& c) { return c.Column == Column; });
    if (cell == info.HeaderCells.end() || IsRectEmpty(cell->Bounds)) return;
    auto* column = dynamic_cast<TcvDBTreeListColumn*>(Columns(Column));
    if (!column) return;
    if (!FFilterPopup) {
        FFilterPopup = new TcvDBGridFilterPopupListBox(this);
        FFilterPopup->SetVisible(false);
        FFilterPopup->SetIntegralHeight(true);
        FFilterPopup->SetParent(this);
    }
    TcvDBGridFilterPopupListBox* list = FFilterPopup;
    list->SetColumn(column);
    list->SetColor(Color());
    list->Font()->Assign(Font());
    list->SetPopupBorder(LookAndFeel() == lfUltraFlat ? pbSingle : pbFrame3D);
    list->HandleNeeded();
    FillFilterDropDown(column);

    const TcvDBGridFilter* filter = Filter();
    const int items = list->Items()->Count();
    const int rows = filter->DropDownCount() > 0 ? std::min(filter->DropDownCount(), items) : items;
    list->SetClientHeight(rows * list->MeasuredItemHeight());
    if (filter->DropDownWidth() > 0) {
        list->SetWidth(filter->DropDownWidth());
    } else {
        // The widest item with its margins, the list's own frame and the bar
        // when not every item fits.
        const int bar = GetSystemMetrics(SM_CXVSCROLL);
        const bool barShown = GetWindowLong(list->Handle(), GWL_STYLE) & WS_VSCROLL;
        const int frame = list->Width() - list->ClientWidth() - (barShown ? bar : 0);
        list->SetWidth(std::max(cell->Bounds.Width(), list->WidestItemWidth() + 4 + frame + (rows < items ? bar : 0)));
    }
    TPoint at = ClientToScreen({cell->Bounds.Left, cell->Bounds.Bottom});
    cvUtils::FitPopupToScreen(at, list->Width(), list->Height(), cell->Bounds.Height());
    list->SetBounds(at.X, at.Y, list->Width(), list->Height());

    SetWindowPos(list->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    FFilterDropDownOpen = true;
    // A release anywhere reaches the list: outside it cancels.
    SetCapture(list->Handle());
}

void TCustomcvDBGrid::FilterDropDownClosed() {
    Filter()->Clear();
}

void TCustomcvDBGrid::FillFilterDropDown(TcvDBTreeListColumn* Column) {
    TcvDBGridFilter* filter = Filter();
    TcvDBGridFilterValues* values = FFilterPopup->Values();
    TStrings* items = FFilterPopup->Items();
    // The items point at the values about to go.
    items->Clear();
    values->Clear();
    values->SetCaseInsensitive(filter->CaseInsensitive());
    values->SetMaxCount(filter->MaxDropDownCount());
    bool blanks = false;
    const auto add = [&](const std::string& DisplayText, const Variant& Value) {
        if (IsBlank(Value))
            blanks = true;
        else
            values->AddValue(DisplayText, Value, false);
    };
    // The grid's own texts show as the column shows values outside its cells.
    const auto addShown = [&](const std::string& DisplayText, const Variant& Value) {
        add(Column->ConvertFilterText(DisplayText), Value);
    };
    TDataSet* const data = DataSet();
    TField* const field = Column->Field();
    if (IsNodeFilterActive() && data && field) {
        // The rows the filter hides have no nodes: their values are read
        // from the records, so another value can still be chosen.
        const TDisableControlsScope disabled(data);
        const std::string current = data->Bookmark();
        const TScopeGuard back([data, &current] {
            if (data->BookmarkValid(current)) data->GotoBookmark(current);
        });
        for (data->First(); !data->Eof(); data->Next())
            addShown(field->DisplayText(), field->Value());
    } else if (IsLoadAllMode()) {
        for (TcvTreeListNode* node = Items(0); node; node = node->GetNext()) {
            if (IsGroupNode(node)) continue;
            Variant value;
            Column->GetNodeValue(node, value);
            addShown(Column->GetNodeDisplayText(node), value);
        }
    } else if (OnEnumFilterValues) {
        for (bool more = true; more;) {
            std::string text;
            Variant value;
            OnEnumFilterValues(this, Column, more, text, value);
            add(text, value);
        }
    }

    items->BeginUpdate();
    items->Add(SFilterAll);
    items->Add(SFilterCustom);
    if (blanks) {
        items->Add(SFilterBlanks);
        items->Add(SFilterNonBlanks);
    }
    const int firstValue = items->Count();
    for (int i = 0; i < values->Count(); ++i)
        items->AddObject(values->Get(i), values->Objects(i));
    items->EndUpdate();

    Variant value;
    int selected = -1;
    switch (filter->GetColumnFilterState(Column, value)) {
    case cvColumnNotFiltered:
        selected = TcvDBGridFilterPopupListBox::AllItem;
        break;
    case cvColumnBlanksFiltered:
        if (blanks) selected = TcvDBGridFilterPopupListBox::BlanksItem;
        break;
    case cvColumnNonBlanksFiltered:
        if (blanks) selected = TcvDBGridFilterPopupListBox::NonBlanksItem;
        break;
    case cvColumnValueFiltered:
        if (int index = 0; values->FindValue(value, index)) selected = firstValue + index;
        break;
    default:
        selected = TcvDBGridFilterPopupListBox::CustomItem;
        break;
    }
    FFilterPopup->SetItemIndex(selected);
}

void TCustomcvDBGrid::CancelMouseOperation() {
    TCustomcvDBTreeListControl::CancelMouseOperation();
    if (FFilterDropDownOpen) FFilterPopup->ApplySelection(false);
}

void TCustomcvDBGrid::FreeFilterDropDown() {
    if (!FFilterPopup) return;
    if (FFilterDropDownOpen) FFilterPopup->ApplySelection(false);
    delete FFilterPopup;
    FFilterPopup = nullptr;
}

bool TCustomcvDBGrid::GuardFilterDropDown(TMessage& Message) {
    const HWND popup = FFilterPopup->Handle();
    switch (Message.Msg) {
    case WM_KILLFOCUS:
        // The grid still hears that it lost the focus: it must not go on
        // painting itself focused.
        if (reinterpret_cast<HWND>(Message.WParam) != popup) FFilterPopup->ApplySelection(false);
        return false;
    case WM_CANCELMODE:
        FFilterPopup->ApplySelection(false);
        return true;
    case CM_CANCELMODE:
        // A press on the list itself tells the grid to cancel too: the
        // grid's cancelling would close the list under the press.
        if (reinterpret_cast<TControl*>(Message.LParam) != FFilterPopup) FFilterPopup->ApplySelection(false);
        return true;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        // The grid keeps the focus; the open list takes its keys.
        Message.Result = SendMessage(popup, Message.Msg, Message.WParam, Message.LParam);
        return true;
    default:
        break;
    }
    if (Message.Msg < WM_MOUSEFIRST || Message.Msg > WM_MOUSELAST) return false;
    TPoint screen = PointFromLParam(Message.LParam);
    if (Message.Msg != WM_MOUSEWHEEL) screen = ClientToScreen(screen);
    TRect bounds;
    GetWindowRect(popup, bounds);
    if (PtInRect(bounds, screen)) {
        const LPARAM at =
            Message.Msg == WM_MOUSEWHEEL ? Message.LParam : PointToLParam(FFilterPopup->ScreenToClient(screen));
        Message.Result = SendMessage(popup, Message.Msg, Message.WParam, at);
        return true;
    }
    return Message.Msg != WM_MOUSEMOVE && Message.Msg != WM_LBUTTONDOWN && Message.Msg != WM_LBUTTONUP;
}
