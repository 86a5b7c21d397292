// The tree list's mouse: MouseDown picks an operation by the hit code and
// enters its interaction state, MouseMove runs it (sizing lines within their
// limits, pressed looks, the 5-pixel drag threshold, row selection by
// dragging), MouseUp applies it. The delayed editor start and the
// row-selection auto-scroll timer live here too.
#include "treelist/TreeList.h"

#include "treelist/TreeListControl.h"

#include "editors/InplaceEdit.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Input.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timers.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr UINT_PTR EditorDelayTimerId = 2;
constexpr UINT_PTR DragScrollTimerId = 1;
constexpr UINT DragScrollInterval = 60;
// A press turns into a drag once the pointer leaves this square around it.
constexpr int DragThreshold = 5;
// The widest a band or column may be sized with OptionsEx bit 11.
constexpr int UnlimitedSizingMaximum = 100000;
constexpr unsigned tloex_UnlimitedSizing = 1u << 11;
constexpr unsigned tloex_BandButton = 1u << 17;
constexpr unsigned tloex_HeaderButton = 1u << 19;
// The hot header parts of a column's filter button and of the strip beside
// it, where a press does nothing.
constexpr int FilterButtonPart = 2;
constexpr int FilterStripPart = 3;

// The one delayed editor start of the process: the window whose timer runs
// (nullptr when none). Only that control may open an editor from it.
HWND DelayedEditWindow = nullptr;
// The direction of the row-selection auto-scroll timer.
bool DragScrollUp = false;

bool IsNodeAreaKind(int Kind) {
    switch (Kind) {
    case htImage:
    case htStateImage:
    case htCell:
    case htNewItemRow:
    case htRowFooter:
    case htPreview:
        return true;
    default:
        return false;
    }
}

bool LeftSquare(TPoint Down, int X, int Y) {
    return std::abs(X - Down.X) > DragThreshold || std::abs(Y - Down.Y) > DragThreshold;
}

} // namespace

void cvTL::DragScrollTimerProc(HWND Wnd, UINT Msg, UINT_PTR Id, DWORD Time) {
    (void)Msg, (void)Time;
    auto* tree = dynamic_cast<TCustomcvTreeList*>(FindControl(Wnd));
    if (!tree || tree->State() != 6) {
        KillTimer(Wnd, Id);
        return;
    }
    tree->DragScrollRows(DragScrollUp);
}

// Delayed editor start --------------------------------------------------------------

void TCustomcvTreeList::CancelDelayedEdit() {
    if (DelayedEditWindow) KillTimer(DelayedEditWindow, EditorDelayTimerId);
    DelayedEditWindow = nullptr;
}

void TCustomcvTreeList::StartDelayedEdit() {
    CancelDelayedEdit();
    SetTimer(FHandle, EditorDelayTimerId, GetDoubleClickTime());
    DelayedEditWindow = FHandle;
}

bool TCustomcvTreeList::IsDelayedEditPending() {
    return DelayedEditWindow != nullptr;
}

void TCustomcvTreeList::HandleTimer(UINT_PTR Id) {
    if (Id != EditorDelayTimerId) return;
    KillTimer(FHandle, EditorDelayTimerId);
    if (DelayedEditWindow != FHandle) return;
    DelayedEditWindow = nullptr;
    if (FState == 0 && IsFocusedInside()) ShowEditor();
}

void TCustomcvTreeList::CancelOwnDelayedEdit() {
    if (HandleAllocated() && DelayedEditWindow == FHandle) CancelDelayedEdit();
}

// Sizing ---------------------------------------------------------------------------

int TCustomcvTreeList::BandHeaderHeightFor(int Rows) const {
    return Rows * FBandLineHeight + (FBandHeaderHeight - FBandRowCount * FBandLineHeight);
}

void TCustomcvTreeList::StartSizing(Byte State, int Coord) {
    SetState(State);
    FSizingStart = Coord;
    FSizingCoord = Coord;
    DrawSizingLine();
}

int TCustomcvTreeList::LimitSizingCoord(int Coord) {
    const TcvTreeListDrawInfo info = CalcDrawInfo();
    const TRect client = ClientRect();
    switch (FState) {
    case 8: {
        const TcvTreeListBandInfo* band = FindBand(info, FLastHit.Band);
        if (!band) return Coord;
        const int minimum = band->Bounds.Left + GetBandMinWidth(FLastHit.Band) +
                            (FLastHit.Band == 0 ? GetGroupIndentWidth() : 0);
        const int maximum = (FOptionsEx & tloex_UnlimitedSizing) ? UnlimitedSizingMaximum : client.Right - 2;
        return std::clamp(Coord, minimum, std::max(minimum, maximum));
    }
    case 1: {
        const TcvTreeListHeaderCellInfo* cell = FindHeaderCell(info, FLastHit.Column);
        if (!cell) return Coord;
        const bool firstColumn = cell->Band == 0 && cell->Position == 0;
        const int minimum =
            cell->Bounds.Left + GetColumnMinWidth(FLastHit.Column) + (firstColumn ? GetGroupIndentWidth() : 0);
        int maximum;
        if (!IsAutoWidth() && (FOptionsEx & tloex_UnlimitedSizing))
            maximum = UnlimitedSizingMaximum;
        else if ((FOptionsEx & tloex_ColumnEdgeSizesBand) && !FShowBands)
            maximum = client.Right - 1;
        else if (const TcvTreeListBandInfo* band = FindBand(info, cell->Band))
            maximum = band->Bounds.Right;
        else
            maximum = client.Right - 1;
        return std::clamp(Coord, minimum, std::max(minimum, maximum));
    }
    case 12: {
        // The line snaps to the band-row boundary nearest to the pointer.
        const int top = info.Areas.BandHeader.Top;
        int rows = 1;
        while (Coord > top + (BandHeaderHeightFor(rows) + BandHeaderHeightFor(rows + 1)) / 2)
            ++rows;
        return top + BandHeaderHeightFor(rows);
    }
    case 13: {
        if (IsRectEmpty(info.Areas.Header) || FHeaderRowHeight <= 0) return Coord;
        const int top = info.Areas.Header.Top;
        const int rows = std::clamp((Coord - top + FHeaderRowHeight / 2) / FHeaderRowHeight, 1,
                                    std::max(GetHeaderPanelMaxRowCount(), 1));
        return top + rows * FHeaderRowHeight;
    }
    case 14: {
        const TRect row = GetNodeRowRect(FPressedNode, false);
        if (row.Top < 0) return Coord;
        const int minimum = row.Top + GetRowHeight(FPressedNode, FRowHeight, true);
        const int maximum = IsRectEmpty(info.Areas.Footer) ? client.Bottom - 1 : info.Areas.Footer.Top - 1;
        return std::clamp(Coord, minimum, std::max(minimum, maximum));
    }
    default:
        return Coord;
    }
}

void TCustomcvTreeList::MoveSizingLine(int Coord) {
    const int limited = LimitSizingCoord(Coord);
    if (limited == FSizingCoord) return;
    DrawSizingLine();
    FSizingCoord = limited;
    DrawSizingLine();
}

void TCustomcvTreeList::EndSizing(int Coord) {
    const Byte state = FState;
    DrawSizingLine();
    const int coord = LimitSizingCoord(Coord);
    SetState(0);
    const TcvTreeListDrawInfo info = CalcDrawInfo();
    // One layout and repaint for whatever the result changes.
    TUpdateGuard<TCustomcvTreeList> update(this);
    switch (state) {
    case 8:
        if (coord == FSizingStart) break;
        if (const TcvTreeListBandInfo* band = FindBand(info, FLastHit.Band)) {
            const int width = coord - band->Bounds.Left + 2;
            if (IsAutoWidth())
                SizeBandAutoWidth(FLastHit.Band, width);
            else
                SizeBandWidth(FLastHit.Band, width);
            DoChangedColumnsWidth();
        }
        break;
    case 1:
        if (coord == FSizingStart) break;
        if (const TcvTreeListHeaderCellInfo* cell = FindHeaderCell(info, FLastHit.Column)) {
            const int width = coord - cell->Bounds.Left + 1;
            if ((FOptionsEx & tloex_ColumnEdgeSizesBand) && !IsAutoWidth() && GetBandRowCountOf(cell->Band) < 2)
                SizeColumnInSingleRowBand(FLastHit.Column, width);
            else
                SizeColumnAutoWidth(FLastHit.Column, width);
            DoChangedColumnsWidth();
        }
        break;
    case 12: {
        const int top = info.Areas.BandHeader.Top;
        int rows = 0;
        while (rows < GetBandMaxRowCount() && coord >= top + BandHeaderHeightFor(rows + 1))
            ++rows;
        SizeBandRowCount(rows);
        break;
    }
    case 13:
        if (FHeaderRowHeight > 0)
            SizeHeaderPanelRowCount(
                std::max((coord - info.Areas.Header.Top + FHeaderRowHeight / 2) / FHeaderRowHeight, 1));
        break;
    case 14:
        if (coord != FSizingStart && FPressedNode) SizeRowHeightTo(coord);
        break;
    default:
        break;
    }
}

void TCustomcvTreeList::SizeRowHeightTo(int Bottom) {
    const TRect row = GetNodeRowRect(FPressedNode, false);
    if (row.Top < 0) return;
    const int dragged = Bottom - row.Top;
    int chosen = FDefaultRowHeight;
    for (int height = FMinRowHeight; height <= dragged; ++height)
        if (GetRowHeight(FPressedNode, height, true) <= dragged) chosen = height;
    SizeDefaultRowHeight(chosen);
}

const TcvTreeListBandInfo* TCustomcvTreeList::FindBand(const TcvTreeListDrawInfo& Info, int Band) {
    for (const TcvTreeListBandInfo& band : Info.Bands)
        if (band.Band == Band) return &band;
    return nullptr;
}

// MouseDown ----------------------------------------------------------------------------

void TCustomcvTreeList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FState == 2 && FInplaceEditor && FInplaceEditor->BlocksHostMouse()) return;
    if (FInplaceEditor && !FInplaceEditor->IsStateFlagSet()) HideEditorAndFocus();
    FSelectionBracketOpen = false;
    FDeferredSingleSelect = false;
    FNewItemRowClicked = false;
    bool wasFocused = true;
    if (!ComponentState().Contains(csDesigning) && CanFocus()) {
        wasFocused = FFocusedBeforePress && IsFocusedInside();
        SetFocus();
        if (!IsFocusedInside()) {
            // Another control kept the focus (a failed validation): the click is dropped.
            ReleaseCapture();
            return;
        }
    }
    GetHitInfo({X, Y}, FLastHit);
    const TcvTreeListHitInfo& hit = FLastHit;
    if (FState != 0 && Button == mbRight) CancelMouseOperation();
    const bool doubleClick = Shift.Contains(ssDouble);
    if (Button == mbLeft && FState == 0 && HeaderMouseDown(hit, doubleClick)) return;
    if (Button == mbLeft && hit.Kind == htFilterBar && IsInFilterPanelButton({X, Y})) SetFilterPanelButtonHot(true);
    bool clickEnded = false;
    if (FState == 0 && (Button == mbLeft || (Button == mbRight && IsNodeAreaKind(hit.Kind))))
        clickEnded = NodeMouseDown(Button, Shift, X, Y, wasFocused);
    else if (FState == 2)
        HideEditorAndFocus();
    if (!clickEnded && Button == mbLeft && doubleClick && IsDblClickEnabled() &&
        (hit.Kind == htNowhere || (hit.Kind >= htButton && hit.Kind <= htOutside)))
        DblClick();
    if (!clickEnded && Button == mbMiddle && FState == 0) Panning();
    TCustomcvContainer::MouseDown(Button, Shift, X, Y);
}

bool TCustomcvTreeList::HeaderMouseDown(const TcvTreeListHitInfo& Hit, bool DoubleClick) {
    switch (Hit.Kind) {
    case htBandEdge:
        if (Hit.Band < 0) return false;
        if (DoubleClick)
            BandEdgeDblClick(Hit.Band);
        else
            StartSizing(8, Hit.X);
        return true;
    case htColumnEdge:
        if (Hit.Column < 0) return false;
        if (DoubleClick)
            ColumnEdgeDblClick(Hit.Column);
        else
            StartSizing(1, Hit.X);
        return true;
    case htBandHeightEdge:
    case htHeaderHeightEdge:
    case htRowHeightEdge:
        FPressedNode = Hit.Node;
        StartSizing(Byte(12 + Hit.Kind - htBandHeightEdge), Hit.Y);
        return true;
    case htBandHeader:
        SetState(10);
        FPressedBand = Hit.Band;
        FBandDown = true;
        FMouseDownPoint = {Hit.X, Hit.Y};
        InvalidateBandHeader();
        return true;
    case htColumnHeader:
        if (IsFilterActive() && HotHeaderPart() == FilterButtonPart) {
            SetState(15);
            FFilterButtonColumn = Hit.Column;
            FFilterButtonDown = true;
        } else if (!IsFilterActive() || HotHeaderPart() != FilterStripPart) {
            SetState(4);
            FPressedColumn = Hit.Column;
            FColumnDown = true;
            FMouseDownPoint = {Hit.X, Hit.Y};
        }
        InvalidateHeader();
        return true;
    case htBandIndicator:
        if (!(FOptionsEx & tloex_BandButton)) return false;
        SetState(11);
        FBandButtonDown = true;
        InvalidateBandCorner();
        return true;
    case htHeaderIndicator:
        if (!(FOptionsEx & tloex_HeaderButton)) return false;
        SetState(7);
        FHeaderButtonDown = true;
        InvalidateHeaderCorner();
        return true;
    default:
        return false;
    }
}

void TCustomcvTreeList::SetFilterPanelButtonHot(bool Value) {
    FFilterPanelButtonHot = Value;
    SetState(Value ? 16 : 0);
    InvalidateAreaNow(CalcRectInfo().FilterBar);
    // The button's hint: after a pause over it, gone when the pointer goes.
    if (Value)
        ShowFilterHint(false);
    else
        HideFilterHint();
}

int TCustomcvTreeList::HotHeaderPart() const {
    return FHotTrack.Node ? 0 : FHotTrack.Kind;
}

int TCustomcvTreeList::GetHeaderButtonState(int Column) const {
    if (!IsFilterActive() || !IsFilterButtonShown()) return 0;
    int state = cvTL::fbsShown;
    if (FState == 15 && FFilterButtonDown && FFilterButtonColumn == Column) state |= cvTL::fbsPressed;
    if (FHotTrack.Column == Column && HotHeaderPart() == FilterButtonPart) state |= cvTL::fbsActive;
    return state;
}

bool TCustomcvTreeList::IsHeaderHotPart(TPoint Point, int Column, Byte& Part) const {
    if (!(GetHeaderButtonState(Column) & cvTL::fbsShown)) return false;
    // The layout is computed afresh; nothing of this object changes.
    const TcvTreeListDrawInfo info = const_cast<TCustomcvTreeList*>(this)->CalcDrawInfo();
    const TcvTreeListHeaderCellInfo* cell = FindHeaderCell(info, Column);
    // The button sits inside the header's frame and shows only when it fits.
    constexpr int FrameWidth = 1;
    if (!cell || cell->Bounds.Width() < cvTL::FilterButtonWidth + 2 * FrameWidth) return false;
    const int right = cell->Bounds.Right - FrameWidth;
    if (Point.X < right - cvTL::FilterButtonWidth || Point.X >= right) return false;
    Part = FilterButtonPart;
    return true;
}

bool TCustomcvTreeList::NodeMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y, bool WasFocused) {
    const TcvTreeListHitInfo& hit = FLastHit;
    if (hit.Kind == htButton) {
        CancelDelayedEdit();
        if (hit.Node) hit.Node->SetExpanded(!hit.Node->Expanded());
        if (Shift.Contains(ssDouble) && IsDblClickEnabled()) DblClick();
        return true;
    }
    const bool nodeArea = IsNodeAreaKind(hit.Kind) || hit.Kind == htButton;
    if (Shift.Contains(ssDouble) && nodeArea) {
        CancelDelayedEdit();
        if (FDblClkExpanding && hit.Node) hit.Node->SetExpanded(!hit.Node->Expanded());
        if (IsDblClickEnabled()) DblClick();
        return true;
    }
    const int clickedColumn = hit.Column >= 0 ? GetVisibleIndex(hit.Column) : GetFocusedColumn();
    if (hit.Kind == htNewItemRow) {
        if (!FFocusedNode) EnsureCellEdit();
        if (!FFocusedNode) return false;
        const bool wasActive = FNewItemRowActive;
        const int oldColumn = GetFocusedColumn();
        SetFocusedColumn(clickedColumn);
        SetNewItemRowActive(true);
        FNewItemRowClicked = true;
        if (Button == mbLeft && !IsRowSelect() && hit.Column >= 0 && wasActive && oldColumn == GetFocusedColumn() &&
            WasFocused && FState != 2 && !IsDelayedEditPending())
            StartDelayedEdit();
        return false;
    }
    if (!hit.Node || !(nodeArea || hit.Kind == htIndicator)) return false;
    if (Button == mbLeft && hit.Kind != htIndicator) SetState(6);
    FPressedNode = hit.Node;
    SetNewItemRowActive(false);
    BeginSelectionChange();
    const TScopeGuard bracket([this] { EndSelectionChange(); });
    FPrevFocusedNode = FFocusedNode;
    const int oldColumn = GetFocusedColumn();
    SetFocusedCell(hit.Node, clickedColumn, true);
    FMouseDownPoint = {X, Y};
    if (FFocusedNode && IsMultiSelect()) {
        FShiftExtension = false;
        const bool ctrl = Shift.Contains(ssCtrl);
        const bool shift = Shift.Contains(ssShift);
        if (ctrl || shift) {
            BeginSelectionChange();
            const TScopeGuard nested([this] { EndSelectionChange(); });
            FSelectionBracketOpen = true;
            if (!shift) {
                SetNodeSelected(FFocusedNode, !IsNodeSelected(FFocusedNode));
                SetSelectionAnchor(FFocusedNode);
                return true;
            }
            if (!FSelectionAnchor) SetSelectionAnchor(FPrevFocusedNode);
            if (!ctrl) ClearSelection();
            if (FSelectionAnchor)
                SelectNodeRange(FSelectionAnchor, FFocusedNode);
            else
                SetNodeSelected(FFocusedNode, !IsNodeSelected(FFocusedNode));
            return true;
        }
        if (!IsNodeSelected(FFocusedNode)) {
            {
                BeginSelectionChange();
                const TScopeGuard clearing([this] { EndSelectionChange(); });
                ClearSelection();
            }
            SetNodeSelected(FFocusedNode, true);
            SetSelectionAnchor(FFocusedNode);
        } else if (Button != mbRight) {
            FDeferredSingleSelect = true;
        }
    }
    if (Button != mbLeft || hit.Kind != htCell || hit.Column < 0 || IsRowSelect()) return false;
    const bool sameNode = FFocusedNode == FPrevFocusedNode;
    if (IsImmediateEditorClick()) {
        SetState(0);
        ShowEditor();
        if (FState == 2 && FInplaceEditor) FInplaceEditor->ForwardMouseDown(X, Y);
    } else if (sameNode && oldColumn == GetFocusedColumn() && WasFocused && FState != 2 && !IsDelayedEditPending()) {
        StartDelayedEdit();
    }
    return false;
}

// MouseMove ----------------------------------------------------------------------------

void TCustomcvTreeList::MouseMove(TShiftState Shift, int X, int Y) {
    TcvTreeListHitInfo hit;
    GetHitInfo({X, Y}, hit);
    if (!Shift.Contains(ssLeft) && FState == 6) SetState(0);
    switch (FState) {
    case 8:
    case 1:
        MoveSizingLine(X);
        break;
    case 12:
    case 13:
    case 14:
        MoveSizingLine(Y);
        break;
    case 10:
        if (FPressedBand >= 0 && CanBandDragging(FPressedBand) && LeftSquare(FMouseDownPoint, X, Y))
            StartBandDragging(FPressedBand);
        break;
    case 4:
        if (FPressedColumn >= 0 && CanHeaderDragging(FPressedColumn) && LeftSquare(FMouseDownPoint, X, Y))
            DoStartHeaderDragging(FPressedColumn);
        break;
    case 6:
        PressedNodeMove(X, Y);
        break;
    default:
        break;
    }
    FollowPressedLooks(hit);
    UpdateHotTrack(hit);
    TCustomcvContainer::MouseMove(Shift, X, Y);
}

void TCustomcvTreeList::PressedNodeMove(int X, int Y) {
    if (DragMode() != dmAutomatic) {
        if (CanMouseSelectRows() && Count() > 0) SelectRowsByDragging(Y);
        return;
    }
    if (!LeftSquare(FMouseDownPoint, X, Y)) return;
    TcvTreeListNode* node = FPressedNode ? FPressedNode : GetHitNode(X, Y);
    if (node) {
        if (!FSelectionBracketOpen) ClearSelection();
        SetFocusedCell(node, GetFocusedColumn(), true);
        SetNodeSelected(node, true);
    }
    FSelectionBracketOpen = false;
    FDeferredSingleSelect = false;
    // The drag carries the pressed node, wherever the pointer is when the
    // drag itself starts.
    if (!DragNode()) SetDragNode(node);
    BeginDrag(false);
}

void TCustomcvTreeList::SelectRowsByDragging(int Y) {
    const TRect rows = CalcRectInfo().Rows;
    if (Y >= rows.Top && Y < rows.Bottom) {
        TcvTreeListNode* node = GetHitNode(rows.Left, Y);
        if (node && node != FFocusedNode) SetFocusedCell(node, GetFocusedColumn(), true);
        KillTimer(FHandle, DragScrollTimerId);
        if (IsMultiSelect() && FFocusedNode) {
            ClearSelection();
            SetNodeSelected(FFocusedNode, true);
        }
        return;
    }
    DragScrollUp = Y < rows.Top;
    const int row = DragScrollUp ? GetTopRowIndex() : GetTopRowIndex() + FVisibleRowCount - 1;
    if (row != GetFocusedRowIndex()) SetFocusedRowIndex(row);
    SetTimer(FHandle, DragScrollTimerId, DragScrollInterval, cvTL::DragScrollTimerProc);
}

void TCustomcvTreeList::FollowPressedLooks(const TcvTreeListHitInfo& Hit) {
    auto follow = [](bool& Flag, bool Value, const std::function<void()>& Repaint) {
        if (Flag == Value) return;
        Flag = Value;
        Repaint();
    };
    switch (FState) {
    case 10:
        follow(FBandDown, Hit.Kind == htBandHeader && Hit.Band == FPressedBand, [this] { InvalidateBandHeader(); });
        break;
    case 15:
        follow(FFilterButtonDown,
               Hit.Kind == htColumnHeader && Hit.Column == FFilterButtonColumn && HotHeaderPart() == FilterButtonPart,
               [this] { InvalidateHeader(); });
        break;
    case 4:
        follow(FColumnDown, Hit.Kind == htColumnHeader && Hit.Column == FPressedColumn,
               [this] { InvalidateHeader(); });
        break;
    case 11:
        follow(FBandButtonDown, Hit.Kind == htBandIndicator, [this] { InvalidateBandCorner(); });
        break;
    case 7:
        follow(FHeaderButtonDown, Hit.Kind == htHeaderIndicator, [this] { InvalidateHeaderCorner(); });
        break;
    default:
        break;
    }
}

// MouseUp ------------------------------------------------------------------------------

void TCustomcvTreeList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    BeginSelectionChange();
    const TScopeGuard bracket([this] { EndSelectionChange(); });
    TcvTreeListHitInfo hit;
    GetHitInfo({X, Y}, hit);
    const Byte state = FState;
    switch (state) {
    case 8:
    case 1:
    case 12:
    case 13:
    case 14:
        EndSizing(state == 8 || state == 1 ? X : Y);
        break;
    case 10: {
        const int band = FPressedBand;
        CancelMouseOperation();
        if (hit.Kind == htBandHeader && hit.Band == band) DoBandClick(band);
        break;
    }
    case 9:
        EndBandDrag(true);
        break;
    case 15: {
        const int column = FFilterButtonColumn;
        CancelMouseOperation();
        if (hit.Kind == htColumnHeader && hit.Column == column && HotHeaderPart() == FilterButtonPart &&
            !ComponentState().Contains(csDesigning))
            FilterDropDown(column);
        break;
    }
    case 16: {
        const bool hot = FFilterPanelButtonHot;
        CancelMouseOperation();
        if (hot) FilterDropDownClosed();
        break;
    }
    case 4: {
        const int column = FPressedColumn;
        CancelMouseOperation();
        if (hit.Kind == htColumnHeader && hit.Column == column)
            ClickColumnHeader(column, Shift.Contains(ssShift), Shift.Contains(ssCtrl));
        break;
    }
    case 3:
        EndColumnDrag(true);
        break;
    case 11:
    case 7: {
        const bool down = state == 11 ? FBandButtonDown : FHeaderButtonDown;
        CancelMouseOperation();
        if (down && state == 11) DoBandButtonClick();
        if (down && state == 7) DoHeaderButtonClick();
        break;
    }
    default:
        break;
    }
    if (FDeferredSingleSelect) {
        FDeferredSingleSelect = false;
        ClearSelection();
        SetNodeSelected(FFocusedNode, true);
        SetSelectionAnchor(FFocusedNode);
    }
    const bool nodeClick = FState == 2 || FState == 5 || FState == 6;
    if ((nodeClick || FNewItemRowClicked) && EditorConvertsDblClick() && !IsRowSelect() && Button == mbLeft &&
        hit.Column == FLastHit.Column && hit.Row == FLastHit.Row && hit.Kind == FLastHit.Kind &&
        (hit.Kind == htNewItemRow || (hit.Kind == htCell && FFocusedNode == hit.Node))) {
        SetState(0);
        if (!Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) {
            ShowEditor();
            if (FState == 2 && FInplaceEditor) FInplaceEditor->ActivateByClick();
        }
    }
    FNewItemRowClicked = false;
    if (FState == 6) SetState(0);
    if (nodeClick) Click();
    TCustomcvContainer::MouseUp(Button, Shift, X, Y);
}

// Messages ------------------------------------------------------------------------------

void TCustomcvTreeList::ButtonDown(TMessage& Message) {
    // The window takes the focus before MouseDown runs; the click needs to
    // know whether it had it already.
    FFocusedBeforePress = IsFocusedInside();
    // MouseDown decides when an automatic drag begins (after the threshold),
    // so the framework's immediate start is bypassed.
    const bool left = Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK;
    if (!left || DragMode() != dmAutomatic || Dragging() || ComponentState().Contains(csDesigning)) {
        TCustomcvContainer::WndProc(Message);
        return;
    }
    SetDragMode(dmManual);
    const TScopeGuard automatic([this] { SetDragMode(dmAutomatic); });
    TCustomcvContainer::WndProc(Message);
}

bool TCustomcvTreeList::DragKeyDown(Word Key) {
    if (DragMode() != dmAutomatic || !Dragging()) return false;
    if (Key == VK_ESCAPE) {
        EndDrag(false);
        return true;
    }
    if (Key != VK_ADD && Key != VK_SUBTRACT) return false;
    TPoint point;
    GetCursorPos(point);
    point = ScreenToClient(point);
    TcvTreeListNode* node = GetHitNode(point.X, point.Y);
    const bool expand = Key == VK_ADD;
    if (node && node->HasChildren() && node->Expanded() != expand) node->SetExpanded(expand);
    return true;
}

// The control's sizing results and header clicks ------------------------------------------

void TCustomcvTreeListControl::SizeBandWidth(int Band, int Width) {
    if (TcvTreeListBand* band = VisibleBand(Band)) band->SetWidth(Width);
}

void TCustomcvTreeListControl::SizeColumnWidth(int Column, int Width) {
    TcvTreeListColumn* column = Columns(Column);
    if (!column || !column->Sizing()) return;
    column->SizeWidth(Width);
    ClearLayoutCache();
}

void TCustomcvTreeListControl::BandEdgeDblClick(int Band) {
    {
        TUpdateGuard<TCustomcvTreeList> update(this);
        for (int row = 0; row < GetBandRowCountOf(Band); ++row)
            for (int position = 0; position < GetColumnCountInBandRow(Band, row); ++position)
                ApplyBestFit(Columns(GetColumnAt(Band, row, position)));
    }
    DoChangedColumnsWidth();
}

void TCustomcvTreeListControl::ColumnEdgeDblClick(int Column) {
    ApplyBestFit(Columns(Column));
    DoChangedColumnsWidth();
}

void TCustomcvTreeListControl::DoBandButtonClick() {
    Fire(OnBandButtonClick, this);
}

void TCustomcvTreeListControl::DoBandClick(int Band) {
    Fire(OnBandClick, this, VisibleBand(Band));
}

void TCustomcvTreeListControl::DoChangedColumnsWidth() {
    Fire(OnChangedColumnsWidth, this);
}

void TCustomcvTreeListControl::DoHeaderButtonClick() {
    Fire(OnHeaderButtonClick, this);
}
