// The tree list's scrolling: rows that fit, the two scroll bars, the top row
// and LeftCoord with their window scrolls. Rows scroll by whole rows (their
// heights may differ), the bands by pixels between the fixed bands.
#include "treelist/TreeList.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"

#include <algorithm>

// Visible rows -------------------------------------------------------------------

void TCustomcvTreeList::CountRowsFitting(TcvTreeListNode* Node, int Height, int& Partly, int& Fully) {
    Partly = 0;
    Fully = 0;
    int y = 0;
    for (TcvTreeListNode* node = Node; node; node = GetNextVisibleNode(node)) {
        const int h = GetRowHeight(node, FDefaultRowHeight, false);
        if (y + h > Height) {
            if (y <= Height) ++Partly;
            return;
        }
        y += h;
        ++Partly;
        ++Fully;
    }
    // Everything from Node down fits: the rows above it fill what is left,
    // so the page does not shrink at the end.
    for (TcvTreeListNode* node = GetPrevVisibleNode(Node); node; node = GetPrevVisibleNode(node)) {
        const int h = GetRowHeight(node, FDefaultRowHeight, false);
        if (y + h > Height) return;
        y += h;
        ++Partly;
        ++Fully;
    }
}

void TCustomcvTreeList::CalcVisibleRows() {
    CountRowsFitting(FTopNode, CalcRectInfo().Rows.Height(), FPartVisibleRowCount, FVisibleRowCount);
    FPartVisibleRowCount = std::max(FPartVisibleRowCount, 1);
    FVisibleRowCount = std::max(FVisibleRowCount, 1);
}

void TCustomcvTreeList::GetVertScrollInfo(int& Min, int& Max, int& Page, int& Position) {
    CalcVisibleRows();
    const int rows = GetVisibleRowCount();
    Min = 0;
    Page = FVisibleRowCount;
    Max = rows > Page ? rows - 1 : 0;
    Position = GetTopRowIndex();
}

bool TCustomcvTreeList::IsLastNode(const TcvTreeListNode* Node) const {
    return Node && Node == GetLastVisibleNode();
}

int TCustomcvTreeList::GetRowsPixelDistance(int N) {
    int distance = 0;
    if (N >= 0) {
        TcvTreeListNode* node = GetPrevVisibleNode(FTopNode);
        for (int i = 0; i < N && node; ++i, node = GetPrevVisibleNode(node))
            distance += GetRowHeight(node, FDefaultRowHeight, false);
        return distance;
    }
    TcvTreeListNode* node = FTopNode;
    for (int i = 0; i < -N && node; ++i, node = GetNextVisibleNode(node))
        distance += GetRowHeight(node, FDefaultRowHeight, false);
    return -distance;
}

int TCustomcvTreeList::GetTopRowShowingLast(int Row) {
    TcvTreeListNode* node = GetRowNode(Row);
    if (!node) return 0;
    const int height = CalcRectInfo().Rows.Height();
    int top = Row;
    int sum = GetRowHeight(node, FDefaultRowHeight, false);
    for (node = GetPrevVisibleNode(node); node; node = GetPrevVisibleNode(node)) {
        sum += GetRowHeight(node, FDefaultRowHeight, false);
        if (sum > height) break;
        --top;
    }
    return top < 0 ? Row - FVisibleRowCount + 1 : top;
}

// Scroll bars ----------------------------------------------------------------------

namespace {

// Writes the bar only when range, page or position changed.
void WriteScrollBar(TCustomcvContainer& Control, int Bar, int Min, int Max, int Page, int Position) {
    TScrollInfo current;
    current.fMask = SIF_ALL;
    Control.GetScrollInfo(Bar, current);
    if (current.nMin == Min && current.nMax == Max && int(current.nPage) == Page && current.nPos == Position) return;
    TScrollInfo info;
    info.fMask = SIF_ALL;
    info.nMin = Min;
    info.nMax = Max;
    info.nPage = UINT(std::max(Page, 0));
    info.nPos = Position;
    Control.SetScrollInfo(Bar, info, true);
}

} // namespace

void TCustomcvTreeList::ScrollingBandsSpan(int& Left, int& Right, int& FixedRightLeft) const {
    const TRect client = ClientRect();
    const int left = client.Left + FIndicatorWidth;
    const int fixedLeft = GetFixedLeftBandIndex();
    const int fixedRight = GetFixedRightBandIndex();
    const auto shownWidth = [this](int band) { return GetBandWidth(band) + (band == 0 ? GetGroupIndentWidth() : 0); };
    Left = left + (fixedLeft >= 0 ? shownWidth(fixedLeft) : 0);
    FixedRightLeft =
        fixedRight >= 0 ? std::min(client.Right, left + GetTotalBandsWidth()) - shownWidth(fixedRight) : client.Right;
    Right = std::max(Left, FixedRightLeft);
}

int TCustomcvTreeList::GetVisibleWidth() const {
    const TRect area = GetScrollingBandsRect();
    return area.Right - area.Left;
}

TRect TCustomcvTreeList::GetScrollingBandsRect() const {
    TRect rect = ClientRect();
    int fixedRightLeft = 0;
    ScrollingBandsSpan(rect.Left, rect.Right, fixedRightLeft);
    rect.Top += FGroupPanelHeight;
    return rect;
}

void TCustomcvTreeList::UpdateHorzScrollBar() {
    if (!HandleAllocated() || !IsHorzScrollBarWanted()) return;
    const int scrollable = GetScrollableBandsWidth();
    const int visible = GetVisibleWidth();
    WriteScrollBar(*this, SB_HORZ, 0, scrollable > visible ? scrollable - 1 : 0, visible, FLeftCoord);
}

void TCustomcvTreeList::UpdateVertScrollBar() {
    if (!HandleAllocated() || !IsVertScrollBarWanted()) return;
    int min = 0;
    int max = 0;
    int page = 0;
    int position = 0;
    GetVertScrollInfo(min, max, page, position);
    WriteScrollBar(*this, SB_VERT, min, max, page, position);
}

void TCustomcvTreeList::UpdateScrollBars() {
    if (!HandleAllocated()) return;
    // Only a bar shown or hidden changes the room the other one has.
    const TRect client = ClientRect();
    UpdateHorzScrollBar();
    UpdateVertScrollBar();
    if (ClientRect() == client) return;
    UpdateHorzScrollBar();
    UpdateVertScrollBar();
}

void TCustomcvTreeList::RemoveScrollBarsWhenFitting() {
    if (!HandleAllocated() || IsRowHeightVariable()) return;
    const auto style = DWORD(GetWindowLong(FHandle, GWL_STYLE));
    if ((style & (WS_HSCROLL | WS_VSCROLL)) != (WS_HSCROLL | WS_VSCROLL)) return;
    const int wider = GetSystemMetrics(SM_CXVSCROLL);
    const int higher = GetSystemMetrics(SM_CYHSCROLL);
    int partly = 0;
    int fully = 0;
    CountRowsFitting(Items(0), CalcRectInfo().Rows.Height() + higher, partly, fully);
    if (fully < GetVisibleRowCount() || GetScrollableBandsWidth() > GetVisibleWidth() + wider) return;
    SetWindowLong(FHandle, GWL_STYLE, LONG_PTR(style & ~(WS_HSCROLL | WS_VSCROLL)));
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// Positions ----------------------------------------------------------------------------

void TCustomcvTreeList::ClampScrollPositions() {
    const int rows = GetVisibleRowCount();
    const int top = GetTopRowIndex();
    const int lastTop = std::max(rows - FVisibleRowCount, 0);
    if (top > lastTop) SetTopRowIndex(lastTop);
    const int lastLeft = std::max(GetScrollableBandsWidth() - GetVisibleWidth(), 0);
    if (FLeftCoord > lastLeft) SetLeftCoord(lastLeft);
}

void TCustomcvTreeList::SetLeftCoord(int Value) {
    HideEditor();
    Value = std::clamp(Value, 0, std::max(GetScrollableBandsWidth() - GetVisibleWidth(), 0));
    if (Value == FLeftCoord) return;
    const int distance = FLeftCoord - Value;
    FLeftCoord = Value;
    UpdateScrollBars();
    if (IsUpdating()) return;
    const bool noFixedBand = GetFixedLeftBandIndex() < 0 && GetFixedRightBandIndex() < 0;
    if (!FShowFooter && std::abs(distance) <= GetVisibleWidth() && noFixedBand)
        ScrollBands(distance);
    else
        Invalidate();
    DoChangeLeftCoord();
}

void TCustomcvTreeList::SetTopRowIndex(int Value) {
    HideEditor();
    Value = std::max(Value, 0);
    const int rows = GetVisibleRowCount();
    if (Value == GetTopRowIndex() || rows <= 1) return;
    CalcVisibleRows();
    Value = std::min(Value, std::max(rows - FVisibleRowCount, 0));
    const int moved = GetTopRowIndex() - Value;
    if (moved == 0) return;
    const bool onePage = std::abs(moved) <= FVisibleRowCount;
    const int distance = onePage ? GetRowsPixelDistance(moved) : 0;
    const bool scrolls = onePage && HandleAllocated() && !IsUpdating();
    if (scrolls) InvalidateNode(FFocusedNode, false);
    SetTopVisibleNode(GetRowNode(Value));
    CalcVisibleRows();
    UpdateScrollBars();
    if (!scrolls) {
        Invalidate();
        return;
    }
    ScrollRows(distance);
    InvalidateNode(FFocusedNode, false);
}

// Window scrolls ---------------------------------------------------------------------------

void TCustomcvTreeList::ScrollRows(int DY) {
    if (!HandleAllocated()) return;
    HideDragFeedback();
    const TScopeGuard showFeedback([this] { ShowDragFeedback(); });
    const TcvTreeListRectInfo areas = CalcRectInfo();
    const TRect rows{ClientRect().Left, areas.Rows.Top, areas.Rows.Right, areas.Rows.Bottom};
    ScrollWindowEx(FHandle, 0, DY, &rows, &rows, nullptr, nullptr, SW_INVALIDATE);
    const int fixedLeft = GetFixedLeftBandIndex();
    if (fixedLeft < 0) return;
    const TRect scrolling = GetScrollingBandsRect();
    const TRect strip{areas.Rows.Left, rows.Top, scrolling.Left, rows.Bottom};
    InvalidateRect(FHandle, &strip, false);
}

void TCustomcvTreeList::ScrollBands(int DX) {
    if (!HandleAllocated()) return;
    HideDragFeedback();
    const TScopeGuard showFeedback([this] { ShowDragFeedback(); });
    const TRect area = GetScrollingBandsRect();
    ScrollWindowEx(FHandle, DX, 0, &area, &area, nullptr, nullptr, SW_INVALIDATE);
}

TRect TCustomcvTreeList::GetNodeRowRect(const TcvTreeListNode* Node, bool ToBottom) {
    const TRect rows = CalcRectInfo().Rows;
    int top = rows.Top;
    for (TcvTreeListNode* node = FTopNode; node && top < rows.Bottom; node = GetNextVisibleNode(node)) {
        const int height = GetRowHeight(node, FDefaultRowHeight, false);
        if (node == Node) return {rows.Left, top, rows.Right, ToBottom ? rows.Bottom : top + height};
        top += height;
    }
    return {-1, -1, -1, -1};
}
