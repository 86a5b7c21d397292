// The scrolling controls: a window that scrolls its children, and the scroll box.
#include "platform/ui/Forms.h"

#include "platform/ui/Messages.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/Window.h"

#include <algorithm>


// ---- TScrollingWinControl ---------------------------------------------------

void TControlScrollBar::SetPosition(int Value) {
    FControl->ScrollTo(FKind, Value);
}

bool TControlScrollBar::IsScrollBarVisible() const {
    if (!FControl->HandleAllocated()) return false;
    TScrollInfo info;
    info.fMask = SIF_ALL;
    GetScrollInfo(FControl->Handle(), FKind, info);
    return FRange > static_cast<int>(info.nPage) && info.nPage > 0;
}

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle += csAcceptsControls;
}

void TScrollingWinControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style |= WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    TWinControl::AlignControls(AControl, Rect);
    UpdateScrollBars();
}

void TScrollingWinControl::UpdateScrollBars() {
    if (!FHandle || FUpdatingBars) return;
    FUpdatingBars = true;
    // The content reaches as far as the farthest unaligned child, measured
    // from the unscrolled origin.
    int right = 0, bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible() || c->Align() != alNone) continue;
        right = std::max(right, c->Left() + c->Width() + FHorzScrollBar.FPosition);
        bottom = std::max(bottom, c->Top() + c->Height() + FVertScrollBar.FPosition);
    }
    FHorzScrollBar.FRange = right;
    FVertScrollBar.FRange = bottom;
    // Setting one bar changes the client area, so both are set twice.
    for (int round = 0; round < 2; ++round)
        for (TControlScrollBar* bar : {&FHorzScrollBar, &FVertScrollBar}) {
            const TRect client = ClientRect();
            TScrollInfo info;
            info.fMask = SIF_ALL;
            info.nMin = 0;
            info.nMax = std::max(0, bar->FRange - 1);
            info.nPage = static_cast<UINT>(bar->FKind == SB_HORZ ? client.Width() : client.Height());
            info.nPos = bar->FPosition;
            SetScrollInfo(FHandle, bar->FKind, info, true);
        }
    FUpdatingBars = false;
    // A grown client area may leave nothing to scroll any more.
    for (TControlScrollBar* bar : {&FHorzScrollBar, &FVertScrollBar}) {
        const int page = bar->FKind == SB_HORZ ? ClientWidth() : ClientHeight();
        const int limit = std::max(0, bar->FRange - page);
        if (bar->FPosition > limit) ScrollTo(bar->FKind, limit);
    }
}

void TScrollingWinControl::ScrollTo(int Kind, int Position) {
    TControlScrollBar& bar = Kind == SB_HORZ ? FHorzScrollBar : FVertScrollBar;
    const int page = Kind == SB_HORZ ? ClientWidth() : ClientHeight();
    Position = std::clamp(Position, 0, std::max(0, bar.FRange - page));
    const int delta = bar.FPosition - Position;
    if (delta == 0) return;
    bar.FPosition = Position;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Align() != alNone) continue;
        if (Kind == SB_HORZ)
            c->SetBounds(c->Left() + delta, c->Top(), c->Width(), c->Height());
        else
            c->SetBounds(c->Left(), c->Top() + delta, c->Width(), c->Height());
    }
    if (FHandle) SetScrollPos(FHandle, Kind, Position, true);
    Invalidate();
}

void TScrollingWinControl::ScrollInView(TControl* AControl) {
    if (!AControl || !ContainsControl(AControl)) return;
    TRect r = AControl->BoundsRect();
    for (TControl* p = AControl->Parent(); p && p != this; p = p->Parent())
        OffsetRect(r, p->Left(), p->Top());
    const TRect client = ClientRect();
    if (r.Left < 0)
        ScrollTo(SB_HORZ, FHorzScrollBar.FPosition + r.Left);
    else if (r.Right > client.Right)
        ScrollTo(SB_HORZ, FHorzScrollBar.FPosition + r.Right - client.Right);
    if (r.Top < 0)
        ScrollTo(SB_VERT, FVertScrollBar.FPosition + r.Top);
    else if (r.Bottom > client.Bottom)
        ScrollTo(SB_VERT, FVertScrollBar.FPosition + r.Bottom - client.Bottom);
}

void TScrollingWinControl::WndProc(TMessage& m) {
    if (m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) {
        const int kind = m.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
        TControlScrollBar& bar = kind == SB_HORZ ? FHorzScrollBar : FVertScrollBar;
        const int page = kind == SB_HORZ ? ClientWidth() : ClientHeight();
        TScrollInfo info;
        info.fMask = SIF_ALL;
        GetScrollInfo(FHandle, kind, info);
        int pos = bar.FPosition;
        switch (LoWord(m.WParam)) {
        case SB_LINEUP:
            pos -= bar.FIncrement;
            break;
        case SB_LINEDOWN:
            pos += bar.FIncrement;
            break;
        case SB_PAGEUP:
            pos -= page;
            break;
        case SB_PAGEDOWN:
            pos += page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            pos = info.nTrackPos;
            break;
        case SB_TOP:
            pos = 0;
            break;
        case SB_BOTTOM:
            pos = bar.FRange;
            break;
        default:
            return;
        }
        ScrollTo(kind, pos);
        return;
    }
    TWinControl::WndProc(m);
}

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& Params) {
    TScrollingWinControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}
