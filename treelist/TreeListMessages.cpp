// The tree list's window: creation parameters, the message table, the
// setters with more than a store, and the XOR-style feedback the mouse and
// drag code draw straight onto the window (sizing line, drop arrows).
#include "treelist/TreeList.h"

#include "editors/InplaceEdit.h"
#include "editors/PopupControl.h"
#include "editors/cvUtils.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Drag.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/Messages.h"
#include "platform/ui/NonClient.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timers.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace {

// Expanding the node under a dragged node.
constexpr UINT_PTR ExpandTimerId = 101;
// The filter panel button's hint: shown after a pause, then taken away.
constexpr UINT_PTR FilterHintShowTimerId = 110;
constexpr UINT_PTR FilterHintHideTimerId = 111;
constexpr UINT FilterHintDelay = 1000;
constexpr UINT FilterHintDuration = 5000;
constexpr int HorzSizeCursor = -14;
constexpr int VertSizeCursor = -15;
// Drop arrows: 11 pixels wide, the header height plus 18 high.
constexpr int DragArrowsWidth = 11;
constexpr int DragArrowsExtraHeight = 18;

bool IsVertSizingState(Byte State) {
    return State == 1 || State == 8;
}
bool IsHorzSizingState(Byte State) {
    return State >= 12 && State <= 14;
}

} // namespace

// Window ---------------------------------------------------------------------------

void TCustomcvTreeList::CreateParams(TCreateParams& Params) {
    TCustomcvContainer::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
    Params.WindowClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    if (!HasStandardFrame())
        Params.Style &= ~WS_BORDER; // the flat looks paint their frame in WM_NCPAINT
    else if (Ctl3D())
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
        Params.Style |= WS_BORDER;
}

void TCustomcvTreeList::CreateWnd() {
    TCustomcvContainer::CreateWnd();
    UpdateScrollBars();
}

void TCustomcvTreeList::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_DESTROY:
        HideFilterHint();
        TCustomcvContainer::WndProc(Message);
        return;
    case WM_SIZE:
        ResetRowHeights();
        HideEditorAndFocus();
        RemoveScrollBarsWhenFitting();
        TCustomcvContainer::WndProc(Message);
        UpdateScrollBars();
        ClampScrollPositions();
        return;
    case WM_SETFOCUS:
        TCustomcvContainer::WndProc(Message);
        HandleSetFocus(Message);
        return;
    case WM_KILLFOCUS:
        TCustomcvContainer::WndProc(Message);
        HandleKillFocus(Message);
        CancelOwnDelayedEdit();
        return;
    case WM_ERASEBKGND:
        Message.Result = 1; // the paint covers everything
        return;
    case WM_SETCURSOR:
        HandleSetCursor(Message);
        return;
    case WM_CANCELMODE:
        CancelMouseOperation();
        TCustomcvContainer::WndProc(Message);
        return;
    case WM_NCCALCSIZE:
        if (FBorderStyle == bsSingle && FTreeLookAndFeel != lfStandard) {
            TRect& r = Message.WParam ? reinterpret_cast<TNCCalcSizeParams*>(Message.LParam)->rgrc[0]
                                      : *reinterpret_cast<TRect*>(Message.LParam);
            InflateRect(r, -1, -1);
        }
        TCustomcvContainer::WndProc(Message);
        return;
    case WM_NCHITTEST:
        TCustomcvContainer::WndProc(Message);
        FHitTestPoint = ScreenToClient({SmallLo(Message.LParam), SmallHi(Message.LParam)});
        return;
    case WM_NCPAINT:
        TCustomcvContainer::WndProc(Message);
        HandleNcPaint();
        return;
    case WM_GETDLGCODE:
        Message.Result = DialogCode();
        return;
    case WM_HSCROLL:
        HandleHScroll(Word(Message.WParam));
        return;
    case WM_VSCROLL:
        HandleVScroll(Word(Message.WParam));
        return;
    case WM_IME_STARTCOMPOSITION:
        TCustomcvContainer::WndProc(Message);
        ShowEditor(); // the composed text lands in the editor
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        ButtonDown(Message);
        return;
    case WM_MOUSEMOVE:
        // A band or column drag follows the pointer, and nothing else does.
        if (FState == 9)
            DragBandStep();
        else if (FState == 3)
            DragColumnStep();
        else
            TCustomcvContainer::WndProc(Message);
        return;
    case WM_KEYDOWN:
        if (!DragKeyDown(Word(Message.WParam))) TCustomcvContainer::WndProc(Message);
        return;
    case WM_TIMER:
        TCustomcvContainer::WndProc(Message);
        if (Message.WParam == ExpandTimerId) ExpandHoveredNode();
        if (Message.WParam == FilterHintShowTimerId) ShowFilterHint(true);
        if (Message.WParam == FilterHintHideTimerId) HideFilterHint();
        HandleTimer(Message.WParam);
        return;
    case CM_CANCELMODE:
        CancelMouseOperation();
        if (FInplaceEditor) FInplaceEditor->Perform(CM_CANCELMODE, Message.WParam, Message.LParam);
        TCustomcvContainer::WndProc(Message);
        return;
    case CM_DRAG:
        HandleDrag(Message);
        return;
    case CM_CTL3DCHANGED:
        TCustomcvContainer::WndProc(Message);
        if (HasStandardFrame()) RecreateWnd();
        return;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        TCustomcvContainer::WndProc(Message);
        LayoutChanged();
        return;
    case CM_PARENTFONTCHANGED:
        TCustomcvContainer::WndProc(Message);
        if (ParentFont()) SetFontsFromControlFont();
        LayoutChanged();
        return;
    case CM_MOUSEENTER:
        TCustomcvContainer::WndProc(Message);
        UpdateHotTrackAtPointer();
        return;
    case CM_MOUSELEAVE:
        TCustomcvContainer::WndProc(Message);
        // While a press holds the capture the pointer still belongs here.
        if (GetCapture() != FHandle) UpdateHotTrack(TcvTreeListHitInfo{-1, -1});
        HideFilterHint();
        return;
    case CM_CURSORCHANGED:
        // A cursor the hot tracking did not set is the user's own.
        if (!FSettingHotCursor) FUserCursor = Cursor();
        TCustomcvContainer::WndProc(Message);
        return;
    case CM_SYSCOLORCHANGE:
        TCustomcvContainer::WndProc(Message);
        cvTL::PaintExpandBitmaps();
        return;
    default:
        TCustomcvContainer::WndProc(Message);
    }
}

void TCustomcvTreeList::HandleSetFocus(TMessage& Message) {
    if (!FFocusedNode) FFocusedNode = FTopNode;
    const bool fromEditor = FInplaceEditor && FInplaceEditor->HandleAllocated() &&
                            reinterpret_cast<HWND>(Message.WParam) == FInplaceEditor->Handle();
    if (!fromEditor) {
        InvalidateNode(FFocusedNode, false);
        // Back from another window while editing: the keys belong to the
        // editor, which is still open over its cell.
        UpdateEditor(false);
    }
    if (IsMultiSelect() && SelectedCount() > 0) Invalidate();
    if (IsNewItemRowShown()) InvalidateNewItemRow();
}

void TCustomcvTreeList::HandleKillFocus(TMessage& Message) {
    if (FInplaceEditor && FInplaceEditor->HandleAllocated() &&
        reinterpret_cast<HWND>(Message.WParam) == FInplaceEditor->Handle())
        return;
    InvalidateNode(FFocusedNode, false);
    if (FInplaceEditor) HideEditor();
    if (IsMultiSelect() && SelectedCount() > 0) Invalidate();
    if (IsNewItemRowShown()) InvalidateNewItemRow();
    // A node drag and a pressed node end with the focus.
    if (FState == 5 || FState == 6) SetState(0);
}

void TCustomcvTreeList::HandleSetCursor(TMessage& Message) {
    int cursor = 0;
    if (Word(Message.LParam) == HTCLIENT) {
        if (FState == 0 || FState == 2) {
            TcvTreeListHitInfo hit;
            GetHitInfo(FHitTestPoint, hit);
            if (hit.Kind == htColumnEdge || (hit.Kind == htBandEdge && hit.Band >= 0))
                cursor = HorzSizeCursor;
            else if (hit.Kind >= htBandHeightEdge && hit.Kind <= htRowHeightEdge)
                cursor = VertSizeCursor;
        } else if (IsVertSizingState(FState)) {
            cursor = HorzSizeCursor;
        } else if (IsHorzSizingState(FState)) {
            cursor = VertSizeCursor;
        }
    }
    if (cursor == 0) {
        TCustomcvContainer::WndProc(Message);
        return;
    }
    ::SetCursor(Screen->Cursors(cursor));
    Message.Result = 1;
}

void TCustomcvTreeList::HandleNcPaint() {
    if (FTreeLookAndFeel == lfStandard || FBorderStyle != bsSingle) return;
    HDC dc = GetWindowDC(FHandle);
    TRect frame;
    GetWindowRect(FHandle, frame);
    OffsetRect(frame, -frame.Left, -frame.Top);
    if (FTreeLookAndFeel == lfUltraFlat) {
        FrameRect(dc, &frame, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
    }
    const auto style = DWORD(GetWindowLong(FHandle, GWL_STYLE));
    if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
        const TRect client = ClientRect();
        const TPoint corner = ClientToScreen({client.Right, client.Bottom});
        TRect window;
        GetWindowRect(FHandle, window);
        const int left = corner.X - window.Left;
        const int top = corner.Y - window.Top;
        const TRect sizeBox{left, top, left + GetSystemMetrics(SM_CXVSCROLL), top + GetSystemMetrics(SM_CYHSCROLL)};
        FillRect(dc, &sizeBox, GetSysColorBrush(COLOR_BTNFACE));
    }
    ReleaseDC(FHandle, dc);
}

LRESULT TCustomcvTreeList::DialogCode() {
    LRESULT code = DLGC_WANTARROWS;
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (CanEditing() || Searching() || (IsIncSearchEnabled() && !alt)) code |= DLGC_WANTCHARS;
    if (EditorWantsTab()) code |= DLGC_WANTTAB;
    return code;
}

bool TCustomcvTreeList::EditorWantsTab() {
    return (FOptions & tlo_EditorWantsTab) && GetKeyState(VK_CONTROL) >= 0;
}

void TCustomcvTreeList::HandleHScroll(int Code) {
    if (GetVisibleColumnCount() == 0) return;
    const int scrollable = GetScrollableBandsWidth();
    switch (Code) {
    case SB_LINELEFT:
        SetLeftCoord(FLeftCoord - FHorzLineStep);
        break;
    case SB_LINERIGHT:
        SetLeftCoord(FLeftCoord + FHorzLineStep);
        break;
    case SB_PAGELEFT:
        SetLeftCoord(FLeftCoord - GetVisibleWidth());
        break;
    case SB_PAGERIGHT:
        SetLeftCoord(FLeftCoord + GetVisibleWidth());
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        TScrollInfo info;
        info.fMask = SIF_ALL;
        GetScrollInfo(SB_HORZ, info);
        int position = info.nTrackPos;
        if (position <= 0)
            position = 0;
        else if (position >= scrollable)
            position = scrollable;
        else if (++position + GetVisibleWidth() < scrollable)
            position -= position % 4; // the thumb moves in steps of 4 pixels until the last page
        SetLeftCoord(position);
        break;
    }
    case SB_LEFT:
        SetLeftCoord(0);
        break;
    case SB_RIGHT:
        SetLeftCoord(scrollable);
        break;
    default:
        break;
    }
}

void TCustomcvTreeList::HandleVScroll(int Code) {
    const int top = GetTopRowIndex();
    switch (Code) {
    case SB_LINEUP:
        SetTopRowIndex(top - 1);
        break;
    case SB_LINEDOWN:
        SetTopRowIndex(top + 1);
        break;
    case SB_PAGEUP:
        SetTopRowIndex(top - FVisibleRowCount);
        break;
    case SB_PAGEDOWN:
        SetTopRowIndex(top + FVisibleRowCount);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        TScrollInfo info;
        info.fMask = SIF_ALL;
        GetScrollInfo(SB_VERT, info);
        SetTopRowIndex(std::clamp(info.nTrackPos, 0, GetVisibleRowCount()));
        break;
    }
    case SB_TOP:
        SetTopRowIndex(0);
        break;
    case SB_BOTTOM:
        SetTopRowIndex(GetVisibleRowCount() - 1);
        break;
    default:
        break;
    }
}

void TCustomcvTreeList::CancelMouseOperation() {
    switch (FState) {
    case 1:
    case 8:
    case 12:
    case 13:
    case 14:
        DrawSizingLine();
        SetState(0);
        if (HandleAllocated()) ::SetCursor(Screen->Cursors(Cursor()));
        break;
    case 10:
        FPressedBand = -1;
        FBandDown = false;
        SetState(0);
        InvalidateBandHeader();
        break;
    case 15:
        FFilterButtonColumn = -1;
        FFilterButtonDown = false;
        SetState(0);
        InvalidateHeader();
        break;
    case 16:
        SetFilterPanelButtonHot(false);
        break;
    case 4:
        FPressedColumn = -1;
        FColumnDown = false;
        SetState(0);
        InvalidateHeader();
        break;
    case 11:
        FBandButtonDown = false;
        SetState(0);
        InvalidateBandCorner();
        break;
    case 7:
        FHeaderButtonDown = false;
        SetState(0);
        InvalidateHeaderCorner();
        break;
    case 9:
        EndBandDrag(false);
        break;
    case 3:
        EndColumnDrag(false);
        break;
    default:
        break;
    }
}

// Setters ----------------------------------------------------------------------------

void TCustomcvTreeList::SetShowNewItemRow(bool Value) {
    if (Value == FShowNewItemRow) return;
    if (!Value && FNewItemRowActive) SetNewItemRowActive(false);
    StoreAndRelayout(FShowNewItemRow, Value);
}

void TCustomcvTreeList::SetNewItemRowActive(bool Value) {
    if (!IsNewItemRowShown()) return;
    FNewItemRowActive = Value;
    InvalidateNode(FFocusedNode, false);
    InvalidateNewItemRow();
}

void TCustomcvTreeList::SetLookAndFeel(TcvLookAndFeel Value) {
    if (Value == FTreeLookAndFeel) return;
    ResetEditorCell();
    FTreeLookAndFeel = Value;
    TCustomcvContainer::SetLookAndFeel(Value == lfUltraFlat ? lfUltraFlat : lfStandard);
    cvTL::PaintExpandBitmaps();
    LayoutChanged();
    RecreateWnd();
}

void TCustomcvTreeList::FontOfPartChanged() {
    if (!FCopyingFonts && !ComponentState().Contains(csLoading)) SetParentFont(false);
    LayoutChanged();
}

void TCustomcvTreeList::SetFontsFromControlFont() {
    FCopyingFonts = true;
    const TScopeGuard copied([this] { FCopyingFonts = false; });
    FBandFont->Assign(Font());
    FHeaderFont->Assign(Font());
    FPreviewFont->SetName(Font()->Name());
    FPreviewFont->SetSize(Font()->Size());
    FPreviewFont->SetStyle(Font()->Style());
    FPreviewFont->SetColor(clBlue);
}

// Filter hint ------------------------------------------------------------------------

void TCustomcvTreeList::ShowFilterHint(bool Now) {
    HideFilterHint();
    if (!HandleAllocated()) return;
    if (!Now) {
        SetTimer(FHandle, FilterHintShowTimerId, FilterHintDelay);
        return;
    }
    const TRect text = FilterTextRect(CalcRectInfo().FilterBar);
    FFilterHint = std::make_unique<TcvContainerHintWindow>(nullptr);
    FFilterHint->ShowHintAt(ClientToScreen({text.Left + 4, text.Top - FTextHeight}), GetFilterCaption(), Font());
    SetTimer(FHandle, FilterHintHideTimerId, FilterHintDuration);
}

void TCustomcvTreeList::HideFilterHint() {
    if (HandleAllocated()) {
        KillTimer(FHandle, FilterHintShowTimerId);
        KillTimer(FHandle, FilterHintHideTimerId);
    }
    FFilterHint.reset();
}

// Repaints -------------------------------------------------------------------------

void TCustomcvTreeList::InvalidateAreaNow(const TRect& Area) {
    if (!HandleAllocated() || IsRectEmpty(Area)) return;
    InvalidateRect(FHandle, &Area, false);
    UpdateWindow(FHandle);
}

void TCustomcvTreeList::InvalidateNewItemRow() {
    const TRect area = CalcRectInfo().NewItemRow;
    if (HandleAllocated() && !IsRectEmpty(area)) InvalidateRect(FHandle, &area, false);
}

// Sizing line and drop arrows ------------------------------------------------------------

void TCustomcvTreeList::DrawSizingLine() {
    const bool vertical = IsVertSizingState(FState);
    if (!HandleAllocated() || !(vertical || IsHorzSizingState(FState))) return;
    const int thickness = FState == 1 || FState == 14 ? 1 : 2;
    const TRect client = ClientRect();
    const TRect line =
        vertical ? TRect{FSizingCoord, client.Top + FGroupPanelHeight, FSizingCoord + thickness, client.Bottom}
                 : TRect{client.Left, FSizingCoord, client.Right, FSizingCoord + thickness};
    HDC dc = GetDC(FHandle);
    const int oldRop = SetROP2(dc, R2_NOTXORPEN);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    // One stroke per pixel of thickness; drawn again, each pixel returns.
    for (int i = 0; i < thickness; ++i) {
        if (vertical) {
            MoveToEx(dc, line.Left + i, line.Top, nullptr);
            LineTo(dc, line.Left + i, line.Bottom);
        } else {
            MoveToEx(dc, line.Left, line.Top + i, nullptr);
            LineTo(dc, line.Right, line.Top + i);
        }
    }
    SelectObject(dc, oldPen);
    SetROP2(dc, oldRop);
    ReleaseDC(FHandle, dc);
}

void TCustomcvTreeList::DrawDragImage(bool HideDragImage) {
    if (!HandleAllocated()) return;
    const int x = FDragArrowPoint.X;
    const int y = FDragArrowPoint.Y;
    const int height = (FState == 9 ? FBandHeaderHeight : FHeaderRowHeight) + DragArrowsExtraHeight;
    if (HideDragImage) ImageList_DragShowNolock(false);
    const TScopeGuard showAgain([HideDragImage] {
        if (HideDragImage) ImageList_DragShowNolock(true);
    });
    TBitmap* saved = cvTL::DragWorkBitmap();
    HDC dc = GetDC(FHandle);
    if (FDragArrowsShown) {
        BitBlt(dc, x, y, DragArrowsWidth, height, saved->Canvas()->Handle(), 0, 0, SRCCOPY);
    } else {
        cvUtils::EnsureGraphicSize(saved, DragArrowsWidth, height);
        BitBlt(saved->Canvas()->Handle(), 0, 0, DragArrowsWidth, height, dc, x, y, SRCCOPY);
        const int b = y + height;
        const POINT down[] = {{x + 5, y + 8}, {x, y + 3},     {x + 3, y + 3}, {x + 3, y},
                              {x + 7, y},     {x + 7, y + 3}, {x + 10, y + 3}};
        const POINT up[] = {{x + 5, b - 9}, {x + 10, b - 4}, {x + 7, b - 4}, {x + 7, b - 1},
                            {x + 3, b - 1}, {x + 3, b - 4},  {x, b - 4}};
        HBRUSH brush = CreateSolidBrush(ColorToRGB(FArrowsColor));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        Polygon(dc, down, 7);
        Polygon(dc, up, 7);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(brush);
    }
    ReleaseDC(FHandle, dc);
    FDragArrowsShown = !FDragArrowsShown;
}

// Only the outermost hide and the last show act on the screen.
void TCustomcvTreeList::HideDragFeedback() {
    if (FDragFeedbackHidden++ > 0) return;
    if (IsVertSizingState(FState) || IsHorzSizingState(FState)) DrawSizingLine();
    FDragArrowsHidden = FDragArrowsShown;
    if (FDragArrowsHidden) DrawDragImage(false);
    if (FExternalDragObject) FExternalDragObject->HideDragImage();
}

void TCustomcvTreeList::ShowDragFeedback() {
    if (--FDragFeedbackHidden > 0) return;
    if (IsVertSizingState(FState) || IsHorzSizingState(FState)) DrawSizingLine();
    if (FDragArrowsHidden) DrawDragImage(false);
    FDragArrowsHidden = false;
    if (FExternalDragObject) FExternalDragObject->ShowDragImage();
}
