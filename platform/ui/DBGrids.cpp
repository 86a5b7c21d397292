// The grid reads rows through its data link's record window: painting sets
// the link's active record row by row and restores it, so the dataset's
// cursor never moves for drawing. Scrolling moves the dataset, never the rows:
// the link's window follows the cursor and the scroll bar follows the link.
#include "platform/ui/DBGrids.h"

#include "platform/data/DB.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Messages.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/private/Wheel_p.h"

#include <algorithm>

class TGridDataLink : public TDataLink {
public:
    explicit TGridDataLink(TDBGrid* Grid) : FGrid(Grid) {}

protected:
    void ActiveChanged() override {
        FGrid->UpdateRows();
        FGrid->Invalidate();
    }
    void DataSetChanged() override {
        TDataLink::DataSetChanged();
        FGrid->UpdateScrollBar();
        FGrid->Invalidate();
    }
    void DataSetScrolled(Integer Distance) override {
        TDataLink::DataSetScrolled(Distance);
        FGrid->UpdateScrollBar();
        FGrid->Invalidate();
    }
    void RecordChanged(TField* Field) override {
        TDataLink::RecordChanged(Field);
        FGrid->Invalidate();
    }
    void LayoutChanged() override {
        TDataLink::LayoutChanged();
        FGrid->Invalidate();
    }
    void EditingChanged() override { FGrid->Invalidate(); }

private:
    TDBGrid* FGrid;
};

namespace {
constexpr int IndicatorColumnWidth = 11;
const char* const DeleteRecordQuestion = "Delete record?";
} // namespace

// ---- Columns ----------------------------------------------------------------

TColumn::TColumn(TCollection* Collection) : TCollectionItem(Collection) {}

TDBGrid* TColumn::Grid() const {
    auto* columns = dynamic_cast<TDBGridColumns*>(Collection());
    return columns ? columns->Grid() : nullptr;
}

void TColumn::SetFieldName(const std::string& Value) {
    FFieldName = Value;
    Changed(false);
}

TField* TColumn::Field() const {
    TDBGrid* grid = Grid();
    TDataSet* dataSet = grid ? grid->DataSet() : nullptr;
    return dataSet && dataSet->Active() && !FFieldName.empty() ? dataSet->FindField(FFieldName) : nullptr;
}

void TColumn::SetWidth(int Value) {
    FWidth = Value;
    Changed(true);
}

void TColumn::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Changed(false);
}

void TColumn::SetVisible(bool Value) {
    FVisible = Value;
    Changed(true);
}

TDBGridColumns::TDBGridColumns(TDBGrid* Grid) : TCollection(CollectionItemClass<TColumn>()), FGrid(Grid) {}

TPersistent* TDBGridColumns::Owner() const {
    return FGrid;
}

void TDBGridColumns::Update(TCollectionItem*) {
    FGrid->Invalidate();
}

// ---- TDBGrid ----------------------------------------------------------------

TDBGrid::TDBGrid(TComponent* AOwner)
    : TCustomControl(AOwner), FLink(std::make_unique<TGridDataLink>(this)),
      FColumns(std::make_unique<TDBGridColumns>(this)) {
    SetBounds(0, 0, 320, 120);
    SetTabStop(true);
    FParentColor = false;
    FColor = clWindow;
}

TDBGrid::~TDBGrid() {
    FLink->SetDataSource(nullptr);
}

TDataSource* TDBGrid::DataSource() const {
    return FLink->DataSource();
}

void TDBGrid::SetDataSource(TDataSource* Value) {
    FLink->SetDataSource(Value);
    UpdateRows();
    Invalidate();
}

TDataSet* TDBGrid::DataSet() const {
    return FLink->DataSet();
}

void TDBGrid::SetOptions(TDBGridOptions Value) {
    FOptions = Value;
    UpdateRows();
    Invalidate();
}

void TDBGrid::SetDefaultRowHeight(int Value) {
    FDefaultRowHeight = std::max(1, Value);
    UpdateRows();
    Invalidate();
}

int TDBGrid::TitleHeight() const {
    return FOptions.Contains(dgTitles) ? FDefaultRowHeight : 0;
}

int TDBGrid::IndicatorWidth() const {
    return FOptions.Contains(dgIndicator) ? IndicatorColumnWidth : 0;
}

int TDBGrid::VisibleRowCount() const {
    return std::max(1, (ClientHeight() - TitleHeight()) / FDefaultRowHeight);
}

int TDBGrid::RowAt(int Y) const {
    if (Y < TitleHeight()) return -1;
    const int row = (Y - TitleHeight()) / FDefaultRowHeight;
    return row < FLink->RecordCount() ? row : -1;
}

void TDBGrid::UpdateRows() {
    if (FLink->Active()) FLink->SetBufferCount(VisibleRowCount());
    UpdateScrollBar();
}

// The position runs from 1 to RecordCount, so the thumb sits at the bottom on
// the last record. With every record in view the page covers the range and the
// bar goes.
void TDBGrid::UpdateScrollBar() {
    if (!HandleAllocated()) return;
    TDataSet* d = DataSet();
    const int page = VisibleRowCount();
    TScrollInfo info;
    info.fMask = SIF_ALL;
    info.nMin = 1;
    info.nPage = static_cast<UINT>(page);
    info.nMax = page;
    info.nPos = 1;
    if (FLink->Active() && d->RecordCount() > page) {
        info.nMax = d->RecordCount() + page - 1;
        // A record being inserted has no number yet: the thumb stays.
        const bool numbered = d->RecNo() > 0 && (d->State() == dsBrowse || d->State() == dsEdit);
        if (numbered)
            info.nPos = d->RecNo();
        else
            info.fMask &= ~SIF_POS;
    }
    SetScrollInfo(Handle(), SB_VERT, info, true);
}

void TDBGrid::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollBar();
}

void TDBGrid::Resize() {
    UpdateRows();
    TCustomControl::Resize();
}

void TDBGrid::DefaultDrawColumnCell(const TRect& Rect, int, TColumn* Column, TGridDrawState) {
    TField* field = Column->Field();
    if (!field) return;
    TCanvas* canvas = Canvas();
    canvas->Refresh();
    HDC dc = canvas->Handle();
    SetBkMode(dc, TRANSPARENT);
    TRect r = Rect;
    InflateRect(r, -2, 0);
    const UINT align = Column->Alignment() == taCenter         ? DT_CENTER
                       : Column->Alignment() == taRightJustify ? DT_RIGHT
                                                               : DT_LEFT;
    DrawText(dc, field->DisplayText(), &r, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void TDBGrid::Paint() {
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    const TRect client = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);
    const int rowH = FDefaultRowHeight, titleH = TitleHeight(), indW = IndicatorWidth();
    // Column edges, left to right.
    std::vector<std::pair<TColumn*, TRect>> cells;
    int x = indW;
    for (int i = 0; i < FColumns->Count(); ++i) {
        TColumn* column = FColumns->Items(i);
        if (!column->Visible()) continue;
        cells.emplace_back(column, Rect(x, 0, x + column->Width(), 0));
        x += column->Width() + (FOptions.Contains(dgColLines) ? 1 : 0);
    }
    if (titleH > 0) {
        TRect corner = Rect(0, 0, indW, titleH);
        if (indW) DrawEdge(dc, &corner, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
        for (auto& [column, edges] : cells) {
            TRect title = Rect(edges.Left, 0, edges.Right + 1, titleH);
            DrawEdge(dc, &title, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
            canvas->Refresh();
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, ColorToRGB(Font()->Color()));
            const UINT align = column->Title()->Alignment() == taCenter         ? DT_CENTER
                               : column->Title()->Alignment() == taRightJustify ? DT_RIGHT
                                                                                : DT_LEFT;
            InflateRect(title, -2, 0);
            DrawText(dc, column->Title()->Caption(), &title, align | DT_VCENTER | DT_SINGLELINE);
        }
    }
    if (!FLink->Active()) return;
    const int saved = FLink->ActiveRecord();
    struct Restore {
        TGridDataLink* Link;
        int Row;
        ~Restore() { Link->SetActiveRecord(Row); }
    } restore{FLink.get(), saved};
    const bool rowSelect = FOptions.Contains(dgRowSelect);
    for (int row = 0; row < FLink->RecordCount(); ++row) {
        FLink->SetActiveRecord(row);
        const int top = titleH + row * rowH;
        const bool current = row == saved;
        if (indW) {
            TRect ind = Rect(0, top, indW, top + rowH);
            DrawEdge(dc, &ind, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
            if (current) {
                // The current record's triangle.
                const int cy = top + rowH / 2;
                std::vector<TPoint> arrow = {Point(3, cy - 3), Point(6, cy), Point(3, cy + 3)};
                canvas->Brush()->SetColor(clBlack);
                canvas->Pen()->SetColor(clBlack);
                canvas->Polygon(arrow);
            }
        }
        for (size_t i = 0; i < cells.size(); ++i) {
            TColumn* column = cells[i].first;
            TRect cell = Rect(cells[i].second.Left, top, cells[i].second.Right,
                              top + rowH - (FOptions.Contains(dgRowLines) ? 1 : 0));
            TGridDrawState state;
            const bool selected = current && (rowSelect || i == 0);
            if (selected) state += gdSelected;
            if (selected && Focused()) state += gdFocused;
            canvas->Brush()->SetColor(selected ? clHighlight : Color());
            canvas->Font()->Assign(Font());
            if (selected) canvas->Font()->SetColor(clHighlightText);
            canvas->FillRect(cell);
            if (!Fire(OnDrawColumnCell, this, cell, static_cast<int>(i), column, state))
                DefaultDrawColumnCell(cell, static_cast<int>(i), column, state);
        }
        if (FOptions.Contains(dgRowLines)) {
            canvas->Pen()->SetColor(clBtnFace);
            canvas->MoveTo(indW, top + rowH - 1);
            canvas->LineTo(x, top + rowH - 1);
        }
    }
    if (FOptions.Contains(dgColLines)) {
        canvas->Pen()->SetColor(clBtnFace);
        for (auto& [column, edges] : cells) {
            canvas->MoveTo(edges.Right, titleH);
            canvas->LineTo(edges.Right, titleH + FLink->RecordCount() * rowH);
        }
    }
}

void TDBGrid::DeleteCurrent() {
    TDataSet* d = DataSet();
    if (!d || !d->Active() || d->IsEmpty() || FReadOnly || !d->CanModify()) return;
    if (FOptions.Contains(dgConfirmDelete) &&
        MessageBox(nullptr, DeleteRecordQuestion, "Confirm", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    d->Delete();
}

void TDBGrid::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    TDataSet* d = DataSet();
    if (Key == 0 || !d || !d->Active()) return;
    switch (Key) {
    case VK_UP:
        d->Prior();
        break;
    case VK_DOWN:
        d->Next();
        break;
    case VK_PRIOR:
        d->MoveBy(-VisibleRowCount());
        break;
    case VK_NEXT:
        d->MoveBy(VisibleRowCount());
        break;
    case VK_HOME:
        if (Shift.Contains(ssCtrl)) d->First();
        break;
    case VK_END:
        if (Shift.Contains(ssCtrl)) d->Last();
        break;
    case VK_DELETE:
        if (Shift.Contains(ssCtrl)) DeleteCurrent();
        break;
    default:
        return;
    }
    Key = 0;
}

void TDBGrid::AcquireFocus() {
    if (CanFocus() && !Focused()) SetFocus();
}

void TDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    AcquireFocus();
    const int row = RowAt(Y);
    if (row >= 0 && FLink->Active()) DataSet()->MoveBy(row - FLink->ActiveRecord());
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

// A line moves to the record just outside the rows shown, so the rows scroll by
// one; the thumb's track position is a record number.
void TDBGrid::Scroll(int Code) {
    TDataSet* d = DataSet();
    switch (Code) {
    case SB_LINEUP:
        d->MoveBy(-FLink->ActiveRecord() - 1);
        break;
    case SB_LINEDOWN:
        d->MoveBy(FLink->RecordCount() - FLink->ActiveRecord());
        break;
    case SB_PAGEUP:
        d->MoveBy(-VisibleRowCount());
        break;
    case SB_PAGEDOWN:
        d->MoveBy(VisibleRowCount());
        break;
    case SB_THUMBPOSITION: {
        TScrollInfo info;
        info.fMask = SIF_ALL;
        GetScrollInfo(Handle(), SB_VERT, info);
        if (info.nTrackPos <= 1)
            d->First();
        else if (info.nTrackPos >= d->RecordCount())
            d->Last();
        else
            d->SetRecNo(info.nTrackPos);
        break;
    }
    case SB_TOP:
        d->First();
        break;
    case SB_BOTTOM:
        d->Last();
        break;
    default:
        break;
    }
}

// Each notch moves the current record by the desktop's wheel lines (a page
// when the desktop says so), as lists scroll elsewhere on the desktop; turning
// the wheel away from the user goes towards the first record.
void TDBGrid::WheelTurned(int Delta) {
    if (const int rows = platform_ui::WheelRows(FWheelDelta, Delta, VisibleRowCount()); rows != 0)
        DataSet()->MoveBy(-rows);
}

void TDBGrid::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_VSCROLL:
        AcquireFocus();
        if (FLink->Active()) Scroll(LoWord(m.WParam));
        return;
    case WM_MOUSEWHEEL:
        // An inactive grid lets its parent have the wheel.
        if (!FLink->Active()) break;
        WheelTurned(SmallHi(static_cast<uintptr_t>(m.WParam)));
        return;
    case CM_ENTER:
    case CM_EXIT:
        Invalidate();
        break;
    default:
        break;
    }
    TCustomControl::WndProc(m);
}
