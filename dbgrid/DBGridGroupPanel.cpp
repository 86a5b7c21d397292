// The group panel above the headers: its geometry, its painting, the slide
// of the rows when it shows or hides, and the drags that group a column
// (a header dropped on the panel) or ungroup it (a button dragged away).
#include "dbgrid/DBGrid.h"

#include "platform/ui/Colors.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Painting.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int GroupPanelMargin = 8;
constexpr int GroupButtonWidth = 100;
constexpr int GroupButtonSpacing = 104;
// A press on a group button turns into a drag once the pointer leaves this
// square around it.
constexpr int DragThreshold = 5;
// The slide never takes longer than this.
constexpr DWORD SlideTimeLimit = 400;
constexpr TPoint NoArrow{-100, -100};

} // namespace

// Geometry ---------------------------------------------------------------------------

int TCustomcvDBGrid::GroupPanelHeightFor(int GroupCount, int HeaderRowHeight) {
    return (GroupCount - 1) * (HeaderRowHeight / 2) + HeaderRowHeight + 2 * GroupPanelMargin;
}

TRect TCustomcvDBGrid::GroupButtonRectFor(int Position, int HeaderRowHeight) {
    const int left = GroupPanelMargin + GroupButtonSpacing * Position;
    const int top = GroupPanelMargin + (HeaderRowHeight / 2) * Position;
    return {left, top, left + GroupButtonWidth, top + HeaderRowHeight};
}

int TCustomcvDBGrid::GetGroupPanelHeight() const {
    return FShowGroupPanel ? GroupPanelHeightFor(GroupColumnCount(), HeaderRowHeight()) : 0;
}

int TCustomcvDBGrid::GetGroupIndentWidth() const {
    return GroupColumnCount() * LevelIndent();
}

TRect TCustomcvDBGrid::GroupButtonRect(int Position) const {
    const TRect panel = CalcRectInfo().GroupPanel;
    TRect button = GroupButtonRectFor(Position, HeaderRowHeight());
    OffsetRect(button, panel.Left, panel.Top);
    return button;
}

TcvTreeListColumn* TCustomcvDBGrid::GroupColumnAtPoint(int X, int Y) const {
    if (!PtInRect(CalcRectInfo().GroupPanel, {X, Y})) return nullptr;
    for (int position = 0; position < GroupColumnCount(); ++position)
        if (PtInRect(GroupButtonRect(position), {X, Y})) return FGroupColumns[size_t(position)];
    return nullptr;
}

int TCustomcvDBGrid::GroupDropPosition(int X) const {
    int position = 0;
    while (position < GroupColumnCount()) {
        const TRect button = GroupButtonRect(position);
        if ((button.Left + button.Right) / 2 >= X) break;
        ++position;
    }
    return position;
}

// Showing and hiding ----------------------------------------------------------------------

void TCustomcvDBGrid::SetShowGroupPanel(bool Value) {
    if (Value == FShowGroupPanel) return;
    HideEditor();
    FShowGroupPanel = Value;
    if (HandleAllocated()) {
        ValidateRect(Handle(), nullptr);
        if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csDesigning) && State() == 0)
            SlideGroupPanel(Value);
    }
    LayoutChanged();
}

void TCustomcvDBGrid::SlideGroupPanel(bool Showing) {
    const int distance = GroupPanelHeightFor(GroupColumnCount(), HeaderRowHeight());
    const DWORD start = GetTickCount();
    const int direction = Showing ? 1 : -1;
    const TcvTreeListRectInfo areas = CalcRectInfo();
    TRect area = ClientRect();
    if (!IsRectEmpty(areas.Footer)) area.Bottom = areas.Footer.Top;
    int step = std::max(area.Height() / 256, 1);
    int scrolled = 0;
    HDC dc = GetDC(Handle());
    HBRUSH strip = CreateSolidBrush(ColorToRGB(Showing ? clBtnShadow : Color()));
    while (scrolled < distance && GetTickCount() - start <= SlideTimeLimit) {
        if (scrolled > 20) ++step;
        const int rest = distance - scrolled;
        const int move = step > rest || step > rest / 2 ? rest : step;
        ScrollWindowEx(Handle(), 0, direction * move, &area, &area, nullptr, nullptr, SW_INVALIDATE);
        scrolled += move;
        const TRect uncovered = Showing ? TRect{area.Left, area.Top, area.Right, area.Top + scrolled}
                                        : TRect{area.Left, area.Bottom - scrolled, area.Right, area.Bottom};
        FillRect(dc, &uncovered, strip);
    }
    DeleteObject(strip);
    ReleaseDC(Handle(), dc);
}

// Painting --------------------------------------------------------------------------------

void TCustomcvDBGrid::DrawGroupPanel(TCanvas* ACanvas, const TRect& R, HBRUSH HeaderBrush, HBRUSH ShadowBrush) {
    HDC dc = ACanvas->Handle();
    if (OnBackgroundDrawEvent) {
        OnBackgroundDrawEvent(this, ACanvas, R);
    } else if (LookAndFeel() == lfUltraFlat && FGroupPanelColor == clBtnShadow) {
        FillRect(dc, &R, ShadowBrush);
    } else {
        HBRUSH background = CreateSolidBrush(ColorToRGB(FGroupPanelColor));
        FillRect(dc, &R, background);
        DeleteObject(background);
    }
    ACanvas->SetFont(HeaderFont());
    ACanvas->Refresh();
    if (FGroupColumns.empty()) {
        const std::string text = std::string(" ") + SGroupPanelHint;
        TRect line = R;
        SetTextColor(dc, ColorToRGB(FGroupPanelFontColor));
        SetBkMode(dc, TRANSPARENT);
        DrawText(dc, text, &line, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS);
        return;
    }
    if (GroupColumnCount() >= 2) {
        HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(clBtnText));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        for (int position = 0; position + 1 < GroupColumnCount(); ++position) {
            const TRect button = GroupButtonRect(position);
            const TRect next = GroupButtonRect(position + 1);
            const int middle = (button.Left + button.Right) / 2;
            const TPoint line[3] = {
                {middle, button.Bottom - 1}, {middle, button.Bottom + 2}, {next.Left + 1, button.Bottom + 2}};
            Polyline(dc, line, 3);
        }
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    for (int position = 0; position < GroupColumnCount(); ++position) {
        const TRect button = GroupButtonRect(position);
        if (!RectVisible(dc, &button)) continue;
        const int column = FGroupColumns[size_t(position)]->GetIndex();
        cvTL::THeaderButtonArgs args;
        args.Brush = HeaderBrush;
        args.Look = LookAndFeel();
        args.SortMark = GetColumnSortState(column);
        args.Text = GetColumnCaption(column);
        cvTL::DrawHeaderButton(dc, button, button, args, PaintBitmap());
    }
}

// Dragging ----------------------------------------------------------------------------------

bool TCustomcvDBGrid::CanDropToCustomizeForm() const {
    return TCustomcvDBTreeListControl::CanDropToCustomizeForm() || FGroupPanelDragColumn;
}

bool TCustomcvDBGrid::IsGroupDropRefused(int Column) const {
    TcvDBTreeListColumn* column = DBColumns(Column);
    return column && column->GroupIndex() < 0 && !CanAddGroupColumn(column);
}

void TCustomcvDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && !FGroupColumns.empty() && GetHitTestKind(X, Y) == htGroupPanel) {
        TcvTreeListColumn* column = GroupColumnAtPoint(X, Y);
        FGroupPanelDragColumn = column && CanHeaderDragging(column->GetIndex()) ? column : nullptr;
        if (FGroupPanelDragColumn && !Shift.Contains(ssDouble)) {
            FGroupPanelPressPoint = {X, Y};
            FGroupPanelDragPending = true;
        }
        Shift.Exclude(ssDouble);
    }
    TCustomcvDBTreeListControl::MouseDown(Button, Shift, X, Y);
}

void TCustomcvDBGrid::MouseMove(TShiftState Shift, int X, int Y) {
    if (FGroupPanelDragPending && FGroupPanelDragColumn &&
        (std::abs(X - FGroupPanelPressPoint.X) > DragThreshold ||
         std::abs(Y - FGroupPanelPressPoint.Y) > DragThreshold)) {
        FGroupPanelDragPending = false;
        DoStartHeaderDragging(FGroupPanelDragColumn->GetIndex());
    }
    TCustomcvDBTreeListControl::MouseMove(Shift, X, Y);
}

void TCustomcvDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FGroupPanelDragColumn && State() != 3 && IsAutoSort())
        ClickColumnHeader(FGroupPanelDragColumn->GetIndex(), Shift.Contains(ssShift), Shift.Contains(ssCtrl));
    TCustomcvDBTreeListControl::MouseUp(Button, Shift, X, Y);
    FGroupPanelDragPending = false;
    FGroupPanelDragColumn = nullptr;
}

TcvHeaderPosInfo TCustomcvDBGrid::GetHeaderDropPosition(TPoint& Point, bool BandMode, int DraggedIndex,
                                                        int DraggedItem) {
    const TPoint p = ScreenToClient(Point);
    if (BandMode || !FShowGroupPanel || !PtInRect(CalcRectInfo().GroupPanel, p))
        return TCustomcvDBTreeListControl::GetHeaderDropPosition(Point, BandMode, DraggedIndex, DraggedItem);
    Point = NoArrow;
    if (IsGroupDropRefused(DraggedItem)) return {};
    int position = GroupDropPosition(p.X);
    const TcvDBTreeListColumn* column = DBColumns(DraggedItem);
    if (column && column->GroupIndex() >= 0) position = std::min(position, GroupColumnCount() - 1);
    const TRect button = GroupButtonRect(position);
    Point = ClientToScreen({button.Left - 5, button.Top - 9});
    return {};
}

void TCustomcvDBGrid::GetDragCursor(TPoint ClientPoint, TCursor& Cursor) {
    TCustomcvDBTreeListControl::GetDragCursor(ClientPoint, Cursor);
    if (!FShowGroupPanel || !PtInRect(CalcRectInfo().GroupPanel, ClientPoint)) return;
    Cursor = !FGroupPanelDragColumn && IsGroupDropRefused(DraggedColumn()) ? cvTL::crcvTLRemove : this->Cursor();
}

void TCustomcvDBGrid::EndColumnDrag(bool Accepted) {
    TcvTreeListColumn* const groupButton = FGroupPanelDragColumn;
    const int dragged = DraggedColumn();
    TPoint screen;
    GetCursorPos(screen);
    const TPoint p = ScreenToClient(screen);
    if (!Accepted) {
        TCustomcvDBTreeListControl::EndColumnDrag(false);
    } else if (FShowGroupPanel && !PointInCustomizeForm(screen) && GetHitTestKind(p.X, p.Y) == htGroupPanel &&
               DBColumns(dragged)) {
        TCustomcvDBTreeListControl::EndColumnDrag(false);
        TcvDBTreeListColumn* column = DBColumns(dragged);
        int position = GroupDropPosition(p.X);
        if (column->GroupIndex() >= 0) position = std::min(position, GroupColumnCount() - 1);
        bool accept = true;
        EndDragGroupColumn(column, position, accept);
        if (accept) column->SetGroupIndex(position);
        if (!column->Visible() && column->GroupIndex() == -1) Fire(OnShowHeader, this, column, -1, -1, -1);
    } else if (auto* column = dynamic_cast<TcvDBTreeListColumn*>(groupButton)) {
        // The drop lands where the pointer was in the layout the user saw:
        // the panel shrinks only once the drop is done.
        TUpdateGuard<TCustomcvTreeList> update(this);
        column->SetGroupIndex(-1);
        TCustomcvDBTreeListControl::EndColumnDrag(true);
        if (!IsLoadAllMode())
            for (int i = 0; i < GetAbsoluteColumnCount(); ++i)
                if (DBColumns(i) && DBColumns(i)->GroupIndex() < 0) DBColumns(i)->SetSorted(csNone);
    } else {
        TCustomcvDBTreeListControl::EndColumnDrag(true);
    }
    FGroupPanelDragColumn = nullptr;
}
