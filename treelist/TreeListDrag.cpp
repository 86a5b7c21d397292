// Dragging in the tree list: nodes through the drag protocol (the focus
// follows the pointer, a hovered button expands, the rows and columns scroll
// near the edges), and its own drags of band and column headers with their
// picture, drop arrows and cursor, and the drops that move, show or hide.
#include "treelist/TreeListControl.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Drag.h"
#include "platform/ui/Input.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timers.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace {

constexpr UINT_PTR DragScrollTimerId = 1;
constexpr UINT DragScrollInterval = 100;
constexpr UINT_PTR ExpandTimerId = 101;
// The pointer scrolls within this many pixels of an edge.
constexpr int DragScrollZone = 12;
constexpr int DragScrollStep = 32;
constexpr TPoint NoArrow{-100, -100};

// The unit's drag-scroll timers (-1: not running) and their directions.
UINT_PTR HorzScrollTimer = UINT_PTR(-1);
bool HorzScrollLeft = false;
UINT_PTR VertScrollTimer = UINT_PTR(-1);
bool VertScrollUp = false;

TCustomcvTreeList* TreeListOf(HWND Wnd) {
    return dynamic_cast<TCustomcvTreeList*>(FindControl(Wnd));
}

void StopHorzScroll(HWND Wnd) {
    if (HorzScrollTimer == UINT_PTR(-1)) return;
    KillTimer(Wnd, HorzScrollTimer);
    HorzScrollTimer = UINT_PTR(-1);
}

void StopVertScroll(HWND Wnd) {
    if (VertScrollTimer == UINT_PTR(-1)) return;
    KillTimer(Wnd, VertScrollTimer);
    VertScrollTimer = UINT_PTR(-1);
}

void StartHorzScroll(HWND Wnd, bool Left) {
    HorzScrollLeft = Left;
    HorzScrollTimer = SetTimer(Wnd, DragScrollTimerId, DragScrollInterval, cvTL::HorzScrollTimerProc);
}

void StartVertScroll(HWND Wnd, bool Up) {
    VertScrollUp = Up;
    VertScrollTimer = SetTimer(Wnd, DragScrollTimerId, DragScrollInterval, cvTL::VertScrollTimerProc);
}

bool IsNodeRowHit(int Kind) {
    return (Kind >= htButton && Kind <= htRowRight) || Kind == htRowFooter || Kind == htPreview;
}

} // namespace

namespace cvTL {

void HorzScrollTimerProc(HWND Wnd, UINT, UINT_PTR Id, DWORD) {
    TCustomcvTreeList* tree = TreeListOf(Wnd);
    const Byte state = tree ? tree->State() : 0;
    const bool dragging = tree && (state == 3 || state == 9 || tree->IsNodeDragOver());
    if (!dragging || !tree->DragScrollColumns(HorzScrollLeft)) {
        KillTimer(Wnd, Id);
        HorzScrollTimer = UINT_PTR(-1);
    }
}

void VertScrollTimerProc(HWND Wnd, UINT, UINT_PTR Id, DWORD) {
    TCustomcvTreeList* tree = TreeListOf(Wnd);
    if (!tree || !tree->IsNodeDragOver()) {
        KillTimer(Wnd, Id);
        VertScrollTimer = UINT_PTR(-1);
        return;
    }
    TPoint pointer;
    GetCursorPos(pointer);
    if (WindowFromPoint(pointer) == Wnd) tree->DragScrollRows(VertScrollUp);
}

} // namespace cvTL

bool TCustomcvTreeList::DragScrollColumns(bool Left) {
    const int last = std::max(GetScrollableBandsWidth() - GetVisibleWidth(), 0);
    if (Left ? FLeftCoord <= 0 : FLeftCoord >= last) return false;
    SetLeftCoord(FLeftCoord + (Left ? -DragScrollStep : DragScrollStep));
    UpdateWindow(FHandle);
    return true;
}

void TCustomcvTreeList::DragScrollRows(bool Up) {
    SetFocusedRowIndex(GetFocusedRowIndex() + (Up ? -1 : 1));
    UpdateWindow(FHandle);
}

// Nodes ----------------------------------------------------------------------------------

void TCustomcvTreeList::DoStartDrag(TDragObject*& DragObject) {
    if (FState == 2) HideEditor();
    CancelOwnDelayedEdit();
    TCustomcvContainer::DoStartDrag(DragObject);
    if (!FDragNode) {
        TPoint pointer;
        GetCursorPos(pointer);
        const TPoint p = ScreenToClient(pointer);
        FDragNode = GetHitNode(p.X, p.Y);
    }
    if (FDragNode) {
        DoBeginDragNode(FDragNode);
        SetFocusedCell(FDragNode, GetFocusedColumn(), true);
        SetState(5);
    }
    SetExternalDragObject(nullptr);
}

void TCustomcvTreeList::DoBeginDragNode(TcvTreeListNode* Node) {
    if (OnBeginDragNode) OnBeginDragNode(this, Node);
}

void TCustomcvTreeList::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    TCustomcvContainer::DragOver(Source, X, Y, State, Accept);
    if (!Dragging() && !FExternalDragObject) return;
    StopHorzScroll(FHandle);
    StopVertScroll(FHandle);
    TcvTreeListHitInfo hit;
    GetHitInfo({X, Y}, hit);
    if (IsDragExpand() && hit.Kind == htButton) {
        FExpandNode = hit.Node;
        SetTimer(FHandle, ExpandTimerId, UINT(FWaitForExpandNodeTime));
    }
    if (!CanEditRecord()) return;
    int left = 0;
    int right = 0;
    int fixedRightLeft = 0;
    ScrollingBandsSpan(left, right, fixedRightLeft);
    if (X >= left && X < left + DragScrollZone)
        StartHorzScroll(FHandle, true);
    else if (X > right - DragScrollZone && X <= right)
        StartHorzScroll(FHandle, false);
    if (!IsNodeRowHit(hit.Kind) || !hit.Node) return;
    const int column = hit.Column < 0 ? GetFocusedColumn() : GetVisibleIndex(hit.Column);
    if (hit.Node != FFocusedNode)
        SetFocusedCell(hit.Node, column, true);
    else if (!IsRowSelect() && column != GetFocusedColumn())
        SetFocusedCell(hit.Node, column, true);
    UpdateWindow(FHandle);
    if (hit.Node == FTopNode && !IsFirstNode(hit.Node))
        StartVertScroll(FHandle, true);
    else if (hit.Node->RowIndex() >= GetTopRowIndex() + FVisibleRowCount - 1 && !IsLastNode(hit.Node))
        StartVertScroll(FHandle, false);
}

void TCustomcvTreeList::DoEndDrag(TObject* Target, int X, int Y) {
    TCustomcvContainer::DoEndDrag(Target, X, Y);
    FDragNode = nullptr;
    FExpandNode = nullptr;
    SetExternalDragObject(nullptr);
    SetState(0);
    if (!HandleAllocated()) return;
    KillTimer(FHandle, ExpandTimerId);
    StopHorzScroll(FHandle);
    StopVertScroll(FHandle);
}

void TCustomcvTreeList::HandleDrag(TMessage& Message) {
    const bool copying = CanDragCopy() && GetKeyState(VK_CONTROL) < 0;
    if (SelectedCount() > 1)
        SetDragCursor(copying ? cvTL::crcvTLMultiDragCopy : crMultiDrag);
    else
        SetDragCursor(copying ? cvTL::crcvTLDragCopy : crDrag);
    TCustomcvContainer::WndProc(Message);
    if (FState == 5 || Dragging()) return;
    const auto& drag = *reinterpret_cast<const TDragRec*>(Message.LParam);
    if (Message.WParam == dmDragEnter && Message.Result)
        SetExternalDragObject(drag.Source);
    else if (Message.WParam == dmDragLeave || Message.WParam == dmDragDrop)
        SetExternalDragObject(nullptr);
}

void TCustomcvTreeList::SetExternalDragObject(TDragObject* Object) {
    if (Object == FExternalDragObject) return;
    // The picture on the screen is the drag's that comes or goes; the
    // focused row's repaint must not paint over it.
    TDragObject* shown = Object ? Object : FExternalDragObject;
    FExternalDragObject = Object;
    shown->HideDragImage();
    InvalidateNode(FFocusedNode, false);
    if (HandleAllocated()) UpdateWindow(FHandle);
    shown->ShowDragImage();
}

TDragImageList* TCustomcvTreeList::GetDragImages() {
    return FDragImageList && FDragImageList->Dragging() ? FDragImageList.get() : nullptr;
}

void TCustomcvTreeList::ExpandHoveredNode() {
    KillTimer(FHandle, ExpandTimerId);
    TPoint pointer;
    GetCursorPos(pointer);
    const TPoint p = ScreenToClient(pointer);
    TcvTreeListHitInfo hit;
    GetHitInfo(p, hit);
    if (!IsNodeRowHit(hit.Kind) || !hit.Node || hit.Node != FExpandNode) return;
    if (IsDragExpand()) {
        hit.Node->SetExpanded(!hit.Node->Expanded());
        SetTimer(FHandle, ExpandTimerId, UINT(2 * FWaitForExpandNodeTime));
    } else {
        hit.Node->SetExpanded(true);
    }
}

// Band and column headers -------------------------------------------------------------------

namespace {

// A header button Width x Height (at most the screen's width) in the font and
// colour of its strip; the rest of the look comes with Args.
void DrawDragPicture(TBitmap& Bitmap, int Width, int Height, TFont* Font, TColor Color, cvTL::THeaderButtonArgs Args) {
    Bitmap.SetWidth(std::min(Width, GetSystemMetrics(SM_CXSCREEN)));
    Bitmap.SetHeight(Height);
    TCanvas* canvas = Bitmap.Canvas();
    canvas->Font()->Assign(Font);
    canvas->Brush()->SetColor(Color);
    Args.Brush = canvas->Brush()->Handle();
    cvTL::DrawHeaderButtonContent(canvas->Handle(), {0, 0, Bitmap.Width(), Bitmap.Height()}, Args);
}

} // namespace

void TCustomcvTreeList::MakeBandDragImage(int Band, TBitmap& Bitmap) {
    cvTL::THeaderButtonArgs args;
    args.Look = FTreeLookAndFeel;
    args.Alignment = GetBandAlignment(Band);
    args.MultiLine = GetBandRowCount() >= 2;
    args.Text = GetBandCaption(Band);
    const int width = GetBandWidth(Band) + (Band == 0 ? GetGroupIndentWidth() : 0);
    DrawDragPicture(Bitmap, width, FBandHeaderHeight, FBandFont.get(), FBandColor, args);
}

void TCustomcvTreeList::MakeHeaderDragImage(int Column, TBitmap& Bitmap) {
    const TcvTreeListDrawInfo info = CalcDrawInfo();
    const TcvTreeListHeaderCellInfo* cell = FindHeaderCell(info, Column);
    int width = cell ? cell->Bounds.Width() : GetColumnDisplayWidth(Column);
    if (width < 1) width = 20;
    cvTL::THeaderButtonArgs args;
    args.Look = FTreeLookAndFeel;
    args.Alignment = GetColumnHeaderAlignment(Column);
    args.SortMark = GetColumnSortState(Column);
    args.Glyph = HasColumnHeaderGlyph(Column) ? GetColumnHeaderGlyph(Column) : nullptr;
    args.Text = GetColumnCaption(Column);
    DrawDragPicture(Bitmap, width, FHeaderRowHeight, FHeaderFont.get(), FHeaderColor, args);
}

void TCustomcvTreeList::StartHeaderDrag(bool BandMode, TBitmap& Picture) {
    HideFilterHint();
    FDragImageList = std::make_unique<TDragImageList>(nullptr);
    FDragImageList->SetWidth(Picture.Width());
    FDragImageList->SetHeight(Picture.Height());
    FDragImageList->AddMasked(&Picture, clNone);
    FDragImageList->SetDragImage(0, Picture.Width() / 2, Picture.Height() / 2);
    TPoint pointer;
    GetCursorPos(pointer);
    FDragImageList->BeginDrag(nullptr, pointer.X, pointer.Y);
    FDragArrowPoint = NoArrow;
    SetState(BandMode ? 9 : 3);
}

void TCustomcvTreeList::StartBandDragging(int Band) {
    FDragBand = Band;
    TBitmap picture;
    MakeBandDragImage(Band, picture);
    StartHeaderDrag(true, picture);
}

void TCustomcvTreeList::DoStartHeaderDragging(int Column) {
    FDragColumn = Column;
    TBitmap picture;
    MakeHeaderDragImage(Column, picture);
    StartHeaderDrag(false, picture);
}

void TCustomcvTreeList::DragBandStep() {
    DragHeaderStep(true);
}

void TCustomcvTreeList::DragColumnStep() {
    DragHeaderStep(false);
}

void TCustomcvTreeList::DragHeaderStep(bool BandMode) {
    if (!HandleAllocated() || !FDragImageList) return;
    StopHorzScroll(FHandle);
    TPoint screen;
    GetCursorPos(screen);
    const TcvTreeListDrawInfo info = CalcDrawInfo();
    const int dragged = BandMode ? FDragBand : FDragColumn;
    TPoint arrow = screen;
    GetHeaderDropPosition(arrow, BandMode, dragged, dragged);
    const TPoint arrowInClient = arrow == NoArrow ? NoArrow : ScreenToClient(arrow);
    if (arrowInClient != FDragArrowPoint) {
        if (FDragArrowsShown) DrawDragImage(true);
        FDragArrowPoint = arrowInClient;
        if (arrowInClient != NoArrow) DrawDragImage(true);
    }

    const TPoint p = ScreenToClient(screen);
    const TRect& strip = BandMode ? info.Areas.BandHeader : info.Areas.Header;
    const TRect client = ClientRect();
    const TRect dropArea{client.Left, strip.Top, client.Right, strip.Bottom};
    TCursor cursor = PtInRect(dropArea, p) ? Cursor() : cvTL::crcvTLRemove;
    GetDragCursor(p, cursor);
    bool accept = cursor != cvTL::crcvTLRemove;
    if (BandMode)
        DoDragOverBand(p, FDragBand, accept);
    else
        DoDragOverHeader(p, FDragColumn, accept);
    cursor = accept ? Cursor() : cvTL::crcvTLRemove;
    if (FDragImageList->DragCursor() != cursor) {
        FDragImageList->HideDragImage();
        FDragImageList->SetDragCursor(cursor);
        FDragImageList->ShowDragImage();
    }

    // The remove cursor sits beside the picture: the picture moves left by
    // half the cursor's width.
    const int e = cursor == cvTL::crcvTLRemove ? 32 : 0;
    const TPoint hotSpot{(FDragImageList->Width() - e) / 2, FDragImageList->Height() / 2};
    const TPoint at = ClientToScreen({p.X - e / 2, p.Y});
    if (FDragImageList->Dragging() && FDragImageList->DragHotspot() != hotSpot) {
        FDragImageList->EndDrag();
        FDragImageList->SetDragImage(0, hotSpot.X, hotSpot.Y);
        FDragImageList->BeginDrag(nullptr, at.X, at.Y);
    } else if (!FDragImageList->Dragging()) {
        FDragImageList->BeginDrag(nullptr, at.X, at.Y);
    } else {
        FDragImageList->DragMove(at.X, at.Y);
    }

    if (PointInCustomizeForm(screen)) return;
    int left = 0;
    int right = 0;
    int fixedRightLeft = 0;
    ScrollingBandsSpan(left, right, fixedRightLeft);
    if (GetFixedLeftBandIndex() < 0) left = strip.Left;
    if (GetFixedRightBandIndex() < 0) right = strip.Right;
    if (left < p.X && p.X < left + DragScrollZone)
        StartHorzScroll(FHandle, true);
    else if (right - DragScrollZone < p.X && p.X <= right)
        StartHorzScroll(FHandle, false);
}

int TCustomcvTreeList::EndHeaderDrag(int& Dragged) {
    const int dragged = Dragged;
    Dragged = -1;
    if (FDragArrowsShown) DrawDragImage(true);
    FDragArrowPoint = NoArrow;
    if (FDragImageList && FDragImageList->Dragging()) FDragImageList->EndDrag();
    FDragImageList.reset();
    SetState(0);
    if (!HandleAllocated()) return dragged;
    StopHorzScroll(FHandle);
    InvalidateHeader();
    InvalidateBandHeader();
    return dragged;
}

void TCustomcvTreeList::EndColumnDrag(bool Accepted) {
    const int column = EndHeaderDrag(FDragColumn);
    if (!Accepted || column < 0) return;
    TPoint screen;
    GetCursorPos(screen);
    const TPoint p = ScreenToClient(screen);
    TcvHeaderPosInfo drop;
    if (!PointInCustomizeForm(screen)) {
        TPoint arrow = screen;
        drop = GetHeaderDropPosition(arrow, false, IsColumnVisible(column) ? column : -1, column);
    }
    bool accept = true;
    DoDragEndHeader(p, column, drop, accept);
    if (!accept) return;
    const bool mayHide = CanDropToCustomizeForm() || CanHideColumnByDrag();
    if (IsColumnVisible(column)) {
        if (drop.Status == -3) {
            MoveColumnTo(column, drop.Band, drop.Column, drop.Row);
            SetFocusedColumn(GetVisibleIndex(column));
        } else if (mayHide && drop.Status == -1 && !GetColumnDisableCustomizing(column) &&
                   GetVisibleColumnCount() > 1) {
            HideColumn(column);
        }
    } else if (CanDropToCustomizeForm() && drop.Status == -3) {
        ShowColumnAt(drop.Band, drop.Row, column, drop.Column);
    }
}

void TCustomcvTreeList::EndBandDrag(bool Accepted) {
    const int band = EndHeaderDrag(FDragBand);
    if (!Accepted || band < 0) return;
    TPoint screen;
    GetCursorPos(screen);
    const TPoint p = ScreenToClient(screen);
    int index = PointInCustomizeForm(screen) ? -1 : GetBandDropIndex(p, band, band);
    bool accept = true;
    DoDragEndBand(p, band, index, accept);
    if (!accept) return;
    if (index >= 0)
        MoveBand(band, index);
    else if (index == -1 && (CanDropToCustomizeForm() || CanHideColumnByDrag()) && !GetBandDisableCustomizing(band) &&
             GetBandCount() > 1)
        HideBand(band);
}

// The control's drags -------------------------------------------------------------------------

bool TCustomcvTreeListControl::CanBandDragging(int Band) const {
    TcvTreeListBand* band = VisibleBand(Band);
    if (!TCustomcvTreeList::CanBandDragging(Band) || !band || band->Fixed() != bfNone || band->DisableDragging())
        return false;
    bool allow = true;
    if (OnCanBandDragging) OnCanBandDragging(const_cast<TCustomcvTreeListControl*>(this), band, allow);
    return allow;
}

bool TCustomcvTreeListControl::CanHeaderDragging(int Column) const {
    TcvTreeListColumn* column = Columns(Column);
    if (!TCustomcvTreeList::CanHeaderDragging(Column) || !column || column->DisableDragging()) return false;
    bool allow = true;
    if (OnCanHeaderDragging) OnCanHeaderDragging(const_cast<TCustomcvTreeListControl*>(this), column, allow);
    return allow;
}

void TCustomcvTreeListControl::StartBandDragging(int Band) {
    TCustomcvTreeList::StartBandDragging(Band);
    if (OnStartBandDragging) OnStartBandDragging(this, VisibleBand(Band));
}

void TCustomcvTreeListControl::DoStartHeaderDragging(int Column) {
    TCustomcvTreeList::DoStartHeaderDragging(Column);
    if (OnStartHeaderDragging) OnStartHeaderDragging(this, Columns(Column));
}

void TCustomcvTreeListControl::DoDragOverBand(TPoint Point, int Band, bool& Accept) {
    if (OnDragOverBand) OnDragOverBand(this, VisibleBand(Band), Point, Accept);
}

void TCustomcvTreeListControl::DoDragOverHeader(TPoint Point, int Column, bool& Accept) {
    if (OnDragOverHeader) OnDragOverHeader(this, Columns(Column), Point, Accept);
}

void TCustomcvTreeListControl::DoDragEndBand(TPoint Point, int Band, int& NewIndex, bool& Accept) {
    if (OnDragEndBand) OnDragEndBand(this, VisibleBand(Band), Point, GetBandIndexFromVisible(Band), Band, NewIndex, Accept);
}

void TCustomcvTreeListControl::DoDragEndHeader(TPoint Point, int Column, TcvHeaderPosInfo& PosInfo, bool& Accept) {
    TcvTreeListColumn* column = Columns(Column);
    if (OnDragEndHeader) OnDragEndHeader(this, column, Point, PosInfo, Accept);
    if (GetBandCount() == 1 && OnColumnMoved && column) OnColumnMoved(this, column->ColIndex(), PosInfo.Column);
}

void TCustomcvTreeListControl::MoveColumnTo(int Column, int Band, int Position, int Row) {
    TcvTreeListColumn* column = Columns(Column);
    if (!column) return;
    {
        TUpdateGuard<TCustomcvTreeList> update(this);
        column->SetBandIndex(GetBandIndexFromVisible(Band));
        column->SetRowIndex(Row);
        column->SetColIndex(Position);
    }
    if (OnHeaderMoved) OnHeaderMoved(this, column);
}

void TCustomcvTreeListControl::ShowColumnAt(int Band, int Row, int Column, int Position) {
    TcvTreeListColumn* column = Columns(Column);
    if (!column) return;
    const int bandIndex = GetBandIndexFromVisible(Band);
    {
        TUpdateGuard<TCustomcvTreeList> update(this);
        column->SetBandIndex(bandIndex);
        column->SetVisible(true);
        column->SetRowIndex(Row);
        column->SetColIndex(Position);
    }
    if (OnShowHeader) OnShowHeader(this, column, bandIndex, Row, Position);
}

void TCustomcvTreeListControl::HideColumn(int Column) {
    TcvTreeListColumn* column = Columns(Column);
    if (!column) return;
    {
        TUpdateGuard<TCustomcvTreeList> update(this);
        column->SetVisible(false);
    }
    if (OnHideHeader) OnHideHeader(this, column);
}

void TCustomcvTreeListControl::MoveBand(int From, int To) {
    TcvTreeListBand* band = VisibleBand(From);
    TcvTreeListBand* target = VisibleBand(To);
    if (From == To || !band || !target) return;
    TUpdateGuard<TCustomcvTreeList> update(this);
    band->SetIndex(target->Index());
}

void TCustomcvTreeListControl::ShowBandAt(int VisibleIndex, int Band) {
    TcvTreeListBand* band = FBands->Items(Band);
    if (!band) return;
    {
        TUpdateGuard<TCustomcvTreeList> update(this);
        band->SetVisible(true);
        if (GetBandCount() > 1) {
            TcvTreeListBand* target = VisibleBand(std::max(VisibleIndex, 0));
            band->SetIndex(target ? target->Index() : FBands->Count() - 1);
        }
    }
    if (OnShowBand) OnShowBand(this, band, VisibleIndex);
}

void TCustomcvTreeListControl::HideBand(int Band) {
    TcvTreeListBand* band = VisibleBand(Band);
    if (!band) return;
    {
        TUpdateGuard<TCustomcvTreeList> update(this);
        band->SetVisible(false);
    }
    if (OnHideBand) OnHideBand(this, band);
}

bool TCustomcvTreeListControl::GetColumnDisableCustomizing(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column && column->DisableCustomizing();
}

bool TCustomcvTreeListControl::GetBandDisableCustomizing(int Band) const {
    const TcvTreeListBand* band = VisibleBand(Band);
    return band && band->DisableCustomizing();
}

void TCustomcvTreeListControl::GetNodeDragText(TcvTreeListNode* Node, int Column, std::string& Text) {
    TCustomcvTreeList::GetNodeDragText(Node, Column, Text);
    if (OnGetNodeDragText) OnGetNodeDragText(this, Node, Column, Text);
}
