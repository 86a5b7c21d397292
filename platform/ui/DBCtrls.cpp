// The popup data list reads its rows through its link's record window, as
// the grid does: painting points the link's active record at each row and
// puts it back, so the cursor never moves for drawing. Keys, clicks and drags
// move the cursor and select the record it lands on; the wheel only scrolls.
#include "platform/ui/DBCtrls.h"

#include "platform/data/DB.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Messages.h"
#include "platform/ui/NonClient.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/private/Wheel_p.h"

#include <algorithm>

class TPopupDataListLink : public TDataLink {
public:
    explicit TPopupDataListLink(TPopupDataList* List) : FList(List) { SetVisualControl(true); }

protected:
    void ActiveChanged() override { FList->ListLinkChanged(); }
    void LayoutChanged() override {
        TDataLink::LayoutChanged();
        FList->ListLinkChanged();
    }
    void DataSetChanged() override {
        TDataLink::DataSetChanged();
        FList->UpdateScrollBar();
        FList->Invalidate();
    }
    void DataSetScrolled(Integer Distance) override {
        TDataLink::DataSetScrolled(Distance);
        FList->UpdateScrollBar();
        FList->Invalidate();
    }

private:
    TPopupDataList* FList;
};

namespace {

constexpr int MinRowCount = 1;
constexpr int MaxRowCount = 100;
constexpr int TextMargin = 2;

} // namespace

TPopupDataList::TPopupDataList(TComponent* AOwner)
    : TCustomControl(AOwner), FListLink(std::make_unique<TPopupDataListLink>(this)) {
    SetVisible(false);
    FColor = clWindow;
    FParentColor = false;
    UpdateHeight();
}

TPopupDataList::~TPopupDataList() {
    FListLink->SetDataSource(nullptr);
}

TDataSource* TPopupDataList::ListSource() const {
    return FListLink->DataSource();
}

void TPopupDataList::SetListSource(TDataSource* Value) {
    if (ListSource()) ListSource()->RemoveFreeNotification(this);
    FListLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
    ListLinkChanged();
}

void TPopupDataList::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == ListSource()) SetListSource(nullptr);
}

void TPopupDataList::SetKeyField(const std::string& Value) {
    FKeyField = Value;
    ListLinkChanged();
}

void TPopupDataList::SetListField(const std::string& Value) {
    FListField = Value;
    Invalidate();
}

TDataSet* TPopupDataList::ListDataSet() const {
    return FListLink->Active() ? FListLink->DataSet() : nullptr;
}

TField* TPopupDataList::FindKeyField() const {
    TDataSet* dataSet = ListDataSet();
    return dataSet ? dataSet->FindField(FKeyField) : nullptr;
}

std::vector<TField*> TPopupDataList::ListFields() const {
    std::vector<TField*> fields;
    TDataSet* dataSet = ListDataSet();
    if (!dataSet) return fields;
    size_t start = 0;
    while (start <= FListField.size()) {
        const size_t end = std::min(FListField.find(';', start), FListField.size());
        if (TField* field = dataSet->FindField(Trim(FListField.substr(start, end - start)))) fields.push_back(field);
        start = end + 1;
    }
    return fields;
}

void TPopupDataList::SetKeyValue(const Variant& Value) {
    FKeyValue = Value;
    if (TDataSet* dataSet = ListDataSet(); dataSet && FindKeyField() && !Value.IsNull())
        dataSet->Locate(FKeyField, Value, {});
    Invalidate();
}

void TPopupDataList::SelectCurrent() {
    TField* key = FindKeyField();
    if (!key || ListDataSet()->IsEmpty()) return;
    FKeyValue = key->Value();
    Invalidate();
}

void TPopupDataList::SelectRow(int Row) {
    TDataSet* dataSet = ListDataSet();
    if (!dataSet || FListLink->RecordCount() == 0) return;
    Row = std::clamp(Row, 0, FListLink->RecordCount() - 1);
    dataSet->MoveBy(Row - FListLink->ActiveRecord());
    SelectCurrent();
}

void TPopupDataList::ScrollBy(int Distance) {
    TDataSet* dataSet = ListDataSet();
    if (!dataSet || Distance == 0) return;
    // Moving the cursor just past the first or last row shown scrolls the rows.
    if (Distance < 0)
        dataSet->MoveBy(Distance - FListLink->ActiveRecord());
    else
        dataSet->MoveBy(FListLink->RecordCount() - 1 - FListLink->ActiveRecord() + Distance);
}

int TPopupDataList::TopRow() const {
    TDataSet* dataSet = ListDataSet();
    return dataSet ? std::max(0, dataSet->RecNo() - 1 - FListLink->ActiveRecord()) : 0;
}

// The page is the rows shown; with every record in view it covers the range
// and the bar goes.
void TPopupDataList::UpdateScrollBar() {
    if (!HandleAllocated()) return;
    TDataSet* dataSet = ListDataSet();
    TScrollInfo info;
    info.fMask = SIF_ALL;
    info.nMin = 0;
    info.nMax = dataSet ? std::max(0, dataSet->RecordCount() - 1) : 0;
    info.nPage = static_cast<UINT>(FRowCount);
    info.nPos = TopRow();
    SetScrollInfo(FHandle, SB_VERT, info, true);
}

void TPopupDataList::SetRowCount(int Value) {
    FRowCount = std::clamp(Value, MinRowCount, MaxRowCount);
    UpdateHeight();
}

int TPopupDataList::RowHeight() {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, Font()->Handle());
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    DeleteDC(dc);
    return metrics.tmHeight + 2;
}

int TPopupDataList::GetBorderSize() {
    TCreateParams params;
    CreateParams(params);
    TRect frame{0, 0, 0, 0};
    AdjustWindowRectEx(frame, params.Style, false, params.ExStyle);
    return frame.Height();
}

void TPopupDataList::UpdateHeight() {
    FListLink->SetBufferCount(FRowCount);
    SetHeight(FRowCount * RowHeight() + GetBorderSize());
    UpdateScrollBar();
}

void TPopupDataList::FontChanged() {
    TCustomControl::FontChanged();
    UpdateHeight();
}

void TPopupDataList::ListLinkChanged() {
    FListLink->SetBufferCount(FRowCount);
    if (ListDataSet() && FindKeyField()) SetKeyValue(FKeyValue);
    UpdateScrollBar();
    Invalidate();
}

void TPopupDataList::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    // A top-level window owned by its parent's window: it may reach beyond
    // the parent, and never takes the activation.
    Params.Style = (Params.Style & ~(WS_CHILD | WS_TABSTOP)) | WS_POPUP | WS_BORDER;
    Params.ExStyle |= WS_EX_TOOLWINDOW;
    Params.WindowClassStyle |= CS_SAVEBITS;
}

void TPopupDataList::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollBar();
}

void TPopupDataList::Paint() {
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);
    if (!ListDataSet()) return;
    const int rowHeight = RowHeight();
    const std::vector<TField*> fields = ListFields();
    TField* key = FindKeyField();
    const int saved = FListLink->ActiveRecord();
    TScopeGuard restore([&] { FListLink->SetActiveRecord(saved); });
    for (int row = 0; row < FListLink->RecordCount(); ++row) {
        FListLink->SetActiveRecord(row);
        const TRect line{client.Left, row * rowHeight, client.Right, (row + 1) * rowHeight};
        const bool selected = key && !FKeyValue.IsNull() && key->Value() == FKeyValue;
        canvas->Brush()->SetColor(selected ? clHighlight : Color());
        canvas->Font()->SetColor(selected ? clHighlightText : Font()->Color());
        canvas->FillRect(line);
        const int columnWidth = fields.empty() ? 0 : line.Width() / static_cast<int>(fields.size());
        for (size_t column = 0; column < fields.size(); ++column) {
            TRect cell{line.Left + static_cast<int>(column) * columnWidth + TextMargin, line.Top,
                       line.Left + static_cast<int>(column + 1) * columnWidth - TextMargin, line.Bottom};
            DrawText(canvas->Handle(), fields[column]->DisplayText(), &cell,
                     DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }
}

void TPopupDataList::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    TDataSet* dataSet = ListDataSet();
    if (!dataSet || Shift.Contains(ssAlt)) return;
    const int page = FRowCount - 1;
    switch (Key) {
    case VK_UP:
        dataSet->MoveBy(-1);
        break;
    case VK_DOWN:
        dataSet->MoveBy(1);
        break;
    case VK_PRIOR:
        dataSet->MoveBy(-std::max(1, page));
        break;
    case VK_NEXT:
        dataSet->MoveBy(std::max(1, page));
        break;
    case VK_HOME:
        dataSet->First();
        break;
    case VK_END:
        dataSet->Last();
        break;
    default:
        return;
    }
    SelectCurrent();
    Key = 0;
}

void TPopupDataList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        FTracking = true;
        SelectRow(Y / RowHeight());
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

// While the button is held the row under the pointer is selected; above or
// below the list, the rows scroll one at a time.
void TPopupDataList::MouseMove(TShiftState Shift, int X, int Y) {
    if (FTracking && ListDataSet()) {
        if (Y < 0) {
            ScrollBy(-1);
            SelectRow(0);
        } else if (Y >= ClientHeight()) {
            ScrollBy(1);
            SelectRow(FListLink->RecordCount() - 1);
        } else {
            SelectRow(Y / RowHeight());
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TPopupDataList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) FTracking = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TPopupDataList::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_MOUSEACTIVATE:
        m.Result = MA_NOACTIVATE;
        return;
    case WM_MOUSEWHEEL:
        if (!ListDataSet()) break;
        ScrollBy(-platform_ui::WheelRows(FWheelDelta, SmallHi(static_cast<uintptr_t>(m.WParam)), FRowCount));
        m.Result = 1;
        return;
    case WM_VSCROLL: {
        // The scroll bar, and a drop-down passing its wheel on as line scrolls.
        TDataSet* dataSet = ListDataSet();
        if (!dataSet) break;
        switch (LoWord(static_cast<uintptr_t>(m.WParam))) {
        case SB_LINEUP:
            ScrollBy(-1);
            break;
        case SB_LINEDOWN:
            ScrollBy(1);
            break;
        case SB_PAGEUP:
            ScrollBy(-FRowCount);
            break;
        case SB_PAGEDOWN:
            ScrollBy(FRowCount);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            ScrollBy(HiWord(static_cast<uintptr_t>(m.WParam)) - TopRow());
            break;
        case SB_TOP:
            ScrollBy(-TopRow());
            break;
        case SB_BOTTOM:
            ScrollBy(dataSet->RecordCount());
            break;
        default:
            break;
        }
        m.Result = 0;
        return;
    }
    case CM_CANCELMODE:
    case WM_CANCELMODE:
        FTracking = false;
        break;
    default:
        break;
    }
    TCustomControl::WndProc(m);
}
