// Window scroll bars: the Win32 range rules, showing and hiding with the client
// change that follows, the bar's look (standard or flat), and the mouse loop
// that turns clicks and thumb drags into WM_HSCROLL / WM_VSCROLL.
#include "platform/ui/ScrollBar.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timers.h"
#include "platform/ui/private/WindowManager_p.h"

#include <algorithm>

using namespace platform_ui;

namespace {

constexpr UINT_PTR RepeatTimerId = 0xFFFE;
constexpr UINT FirstRepeatDelay = 200;
constexpr UINT RepeatInterval = 50;
constexpr int MinimumThumb = 8;

ScrollBarState* BarOf(HWND w, int bar) {
    if (bar == SB_HORZ) return &w->HorzBar;
    if (bar == SB_VERT) return &w->VertBar;
    return nullptr;
}

int MaxPos(const ScrollBarState& s) {
    return s.Max - std::max(s.Page - 1, 0);
}
bool Scrollable(const ScrollBarState& s) {
    return s.Min < MaxPos(s);
}

// Shows or hides a bar; the frame change sends WM_NCCALCSIZE and, when the
// client area changed size, WM_SIZE before this returns.
void SetBarVisible(HWND w, int bar, bool show) {
    DWORD bits = 0;
    if (bar == SB_HORZ || bar == SB_BOTH) bits |= WS_HSCROLL;
    if (bar == SB_VERT || bar == SB_BOTH) bits |= WS_VSCROLL;
    const DWORD style = show ? (w->Style | bits) : (w->Style & ~bits);
    if (style == w->Style) return;
    w->Style = style;
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (IsLiveWindow(w)) InvalidateFrame(w);
}

// Layout of a bar along its length: arrows, thumb.
struct BarLayout {
    int Start = 0;     // first pixel of the bar along its axis (window coordinates)
    int Length = 0;    // whole bar
    int Arrow = 0;     // arrow size
    int ThumbPos = 0;  // from Start
    int ThumbSize = 0; // 0: no thumb
};

BarLayout LayoutOf(HWND w, int bar) {
    const TRect r = ScrollBarRect(w, bar);
    const ScrollBarState& s = *BarOf(w, bar);
    BarLayout l;
    const bool vert = bar == SB_VERT;
    l.Start = vert ? r.Top : r.Left;
    l.Length = vert ? r.Height() : r.Width();
    const int thickness = vert ? r.Width() : r.Height();
    l.Arrow = std::min(thickness, l.Length / 2);
    const int track = l.Length - 2 * l.Arrow;
    if (!Scrollable(s) || s.DisabledArrows == ESB_DISABLE_BOTH || track <= 0) return l;
    const int range = s.Max - s.Min + 1;
    int thumb = s.Page > 0 ? static_cast<int>(static_cast<int64_t>(track) * s.Page / range)
                           : GetSystemMetrics(vert ? SM_CYVTHUMB : SM_CXHTHUMB);
    thumb = std::max(thumb, MinimumThumb);
    if (thumb > track) return l;
    const int pos = s.Tracking ? s.TrackPos : s.Pos;
    const int span = MaxPos(s) - s.Min;
    l.ThumbSize = thumb;
    l.ThumbPos =
        l.Arrow + (span > 0 ? static_cast<int>(static_cast<int64_t>(track - thumb) * (pos - s.Min) / span) : 0);
    return l;
}

enum class Part { None, LineUp, PageUp, Thumb, PageDown, LineDown };

Part PartAt(const BarLayout& l, int offset) {
    if (offset < 0 || offset >= l.Length) return Part::None;
    if (offset < l.Arrow) return Part::LineUp;
    if (offset >= l.Length - l.Arrow) return Part::LineDown;
    if (l.ThumbSize == 0) return Part::None;
    if (offset < l.ThumbPos) return Part::PageUp;
    if (offset < l.ThumbPos + l.ThumbSize) return Part::Thumb;
    return Part::PageDown;
}

int CodeOf(Part p) {
    switch (p) {
    case Part::LineUp:
        return SB_LINEUP;
    case Part::PageUp:
        return SB_PAGEUP;
    case Part::PageDown:
        return SB_PAGEDOWN;
    case Part::LineDown:
        return SB_LINEDOWN;
    default:
        return SB_ENDSCROLL;
    }
}

void SendScroll(HWND w, int bar, int code, int pos = 0) {
    SendMessage(w, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL,
                static_cast<WPARAM>(MakeLParam(static_cast<Word>(code), static_cast<Word>(pos))), 0);
}

// The offset along the bar of a point given in client coordinates.
int OffsetAlong(HWND w, int bar, TPoint client) {
    const int start = LayoutOf(w, bar).Start;
    return bar == SB_VERT ? client.Y + w->ClientRect.Top - start : client.X + w->ClientRect.Left - start;
}

int TrackValue(HWND w, int bar, int thumbStart) {
    const ScrollBarState& s = *BarOf(w, bar);
    const BarLayout l = LayoutOf(w, bar);
    const int free = l.Length - 2 * l.Arrow - l.ThumbSize;
    if (free <= 0) return s.Min;
    const int pixel = std::clamp(thumbStart - l.Arrow, 0, free);
    const int span = MaxPos(s) - s.Min;
    return s.Min + static_cast<int>((static_cast<int64_t>(pixel) * span + free / 2) / free);
}

void DrawBar(HWND w, HDC dc, int bar) {
    const TRect r = ScrollBarRect(w, bar);
    if (IsRectEmpty(r)) return;
    const ScrollBarState& s = *BarOf(w, bar);
    const BarLayout l = LayoutOf(w, bar);
    const bool vert = bar == SB_VERT;
    const bool flat = w->FlatScrollBars && (vert ? w->FlatVertStyle : w->FlatHorzStyle) != FSB_REGULAR_MODE;
    const bool inactive = !Scrollable(s) || s.DisabledArrows == ESB_DISABLE_BOTH;
    auto piece = [&](int from, int to) {
        return vert ? TRect{r.Left, l.Start + from, r.Right, l.Start + to}
                    : TRect{l.Start + from, r.Top, l.Start + to, r.Bottom};
    };
    FillRect(dc, &r, GetSysColorBrush(flat ? COLOR_BTNFACE : COLOR_SCROLLBAR));
    TRect first = piece(0, l.Arrow);
    TRect last = piece(l.Length - l.Arrow, l.Length);
    const UINT state = (inactive ? DFCS_INACTIVE : 0) | (flat ? DFCS_FLAT : 0);
    DrawFrameControl(dc, &first, DFC_SCROLL, (vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | state);
    DrawFrameControl(dc, &last, DFC_SCROLL, (vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | state);
    if (l.ThumbSize > 0) {
        TRect thumb = piece(l.ThumbPos, l.ThumbPos + l.ThumbSize);
        if (flat) {
            FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
            FrameRect(dc, &thumb, GetSysColorBrush(COLOR_BTNSHADOW));
        } else {
            DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        }
    }
}

int SetInfo(HWND Wnd, int Bar, const TScrollInfo& Info, bool Redraw) {
    if (!IsLiveWindow(Wnd)) return 0;
    ScrollBarState* s = BarOf(Wnd, Bar);
    if (!s) return 0;
    if (Info.fMask & SIF_RANGE) {
        // An inverted or overflowing range counts as empty.
        const bool bad = Info.nMin > Info.nMax || static_cast<int64_t>(Info.nMax) - Info.nMin >= 0x7FFFFFFF;
        s->Min = bad ? 0 : Info.nMin;
        s->Max = bad ? 0 : Info.nMax;
    }
    if (Info.fMask & SIF_PAGE) s->Page = static_cast<int>(std::min<UINT>(Info.nPage, 0x7FFFFFFF));
    if (Info.fMask & SIF_POS) s->Pos = Info.nPos;
    s->Page = std::clamp(s->Page, 0, s->Max - s->Min + 1);
    s->Pos = std::clamp(s->Pos, s->Min, std::max(s->Min, MaxPos(*s)));
    if (Info.fMask & (SIF_RANGE | SIF_PAGE)) {
        if (Scrollable(*s)) {
            s->DisabledArrows = ESB_ENABLE_BOTH;
            SetBarVisible(Wnd, Bar, true);
        } else if (Info.fMask & SIF_DISABLENOSCROLL) {
            s->DisabledArrows = ESB_DISABLE_BOTH;
            SetBarVisible(Wnd, Bar, true);
        } else {
            SetBarVisible(Wnd, Bar, false);
        }
    }
    if (!IsLiveWindow(Wnd)) return 0;
    if (Redraw) InvalidateFrame(Wnd);
    return s->Pos;
}

} // namespace

namespace platform_ui {

void DrawScrollBars(HWND Wnd, HDC DC) {
    DrawBar(Wnd, DC, SB_HORZ);
    DrawBar(Wnd, DC, SB_VERT);
    if (ScrollBarShown(Wnd, SB_HORZ) && ScrollBarShown(Wnd, SB_VERT)) {
        const TRect v = ScrollBarRect(Wnd, SB_VERT);
        const TRect h = ScrollBarRect(Wnd, SB_HORZ);
        TRect corner{v.Left, h.Top, v.Right, h.Bottom};
        FillRect(DC, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void TrackScrollBar(HWND Wnd, int HitTest, TPoint ScreenPoint) {
    const int bar = HitTest == HTVSCROLL ? SB_VERT : SB_HORZ;
    ScrollBarState* s = BarOf(Wnd, bar);
    TPoint client = ScreenPoint;
    ScreenToClient(Wnd, client);
    const Part part = PartAt(LayoutOf(Wnd, bar), OffsetAlong(Wnd, bar, client));
    if (part == Part::None) return;
    const int grip = OffsetAlong(Wnd, bar, client) - LayoutOf(Wnd, bar).ThumbPos;
    SetCapture(Wnd);
    if (part == Part::Thumb) {
        s->Tracking = true;
        s->TrackPos = s->Pos;
    } else {
        SendScroll(Wnd, bar, CodeOf(part));
        if (IsLiveWindow(Wnd)) SetTimer(Wnd, RepeatTimerId, FirstRepeatDelay);
    }
    TPoint mouse = client;
    // The bar's own loop: its mouse messages never reach the window procedure.
    while (IsLiveWindow(Wnd) && GetCapture() == Wnd) {
        TMsg msg;
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.hwnd == Wnd && msg.message == WM_LBUTTONUP) break;
        if (msg.hwnd == Wnd && msg.message == WM_MOUSEMOVE) {
            mouse = PointFromLParam(msg.lParam);
            if (part == Part::Thumb) {
                const int value = TrackValue(Wnd, bar, OffsetAlong(Wnd, bar, mouse) - grip);
                if (value != s->TrackPos) {
                    s->TrackPos = value;
                    InvalidateFrame(Wnd);
                    SendScroll(Wnd, bar, SB_THUMBTRACK, value);
                }
            }
            continue;
        }
        if (msg.hwnd == Wnd && msg.message == WM_TIMER && msg.wParam == RepeatTimerId) {
            SetTimer(Wnd, RepeatTimerId, RepeatInterval);
            // Repeats only while the pointer stays on the part that was pressed.
            if (PartAt(LayoutOf(Wnd, bar), OffsetAlong(Wnd, bar, mouse)) == part) SendScroll(Wnd, bar, CodeOf(part));
            continue;
        }
        if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) continue;
        TranslateMessage(msg);
        DispatchMessage(msg);
    }
    if (!IsLiveWindow(Wnd)) return;
    KillTimer(Wnd, RepeatTimerId);
    if (GetCapture() == Wnd) ReleaseCapture();
    if (part == Part::Thumb) {
        // The handler of SB_THUMBPOSITION still reads the track position.
        SendScroll(Wnd, bar, SB_THUMBPOSITION, s->TrackPos);
        if (!IsLiveWindow(Wnd)) return;
        s->Tracking = false;
    }
    SendScroll(Wnd, bar, SB_ENDSCROLL);
    if (IsLiveWindow(Wnd)) InvalidateFrame(Wnd);
}

} // namespace platform_ui

int SetScrollInfo(HWND Wnd, int Bar, const TScrollInfo& Info, bool Redraw) {
    return SetInfo(Wnd, Bar, Info, Redraw);
}

bool GetScrollInfo(HWND Wnd, int Bar, TScrollInfo& Info) {
    if (!IsLiveWindow(Wnd)) return false;
    const ScrollBarState* s = BarOf(Wnd, Bar);
    if (!s) return false;
    if (Info.fMask & SIF_RANGE) {
        Info.nMin = s->Min;
        Info.nMax = s->Max;
    }
    if (Info.fMask & SIF_PAGE) Info.nPage = static_cast<UINT>(s->Page);
    if (Info.fMask & SIF_POS) Info.nPos = s->Pos;
    if (Info.fMask & SIF_TRACKPOS) Info.nTrackPos = s->Tracking ? s->TrackPos : s->Pos;
    return true;
}

int SetScrollPos(HWND Wnd, int Bar, int Pos, bool Redraw) {
    const int previous = GetScrollPos(Wnd, Bar);
    TScrollInfo info;
    info.fMask = SIF_POS;
    info.nPos = Pos;
    SetInfo(Wnd, Bar, info, Redraw);
    return previous;
}

int GetScrollPos(HWND Wnd, int Bar) {
    TScrollInfo info;
    info.fMask = SIF_POS;
    return GetScrollInfo(Wnd, Bar, info) ? info.nPos : 0;
}

bool SetScrollRange(HWND Wnd, int Bar, int Min, int Max, bool Redraw) {
    if (!IsLiveWindow(Wnd) || !BarOf(Wnd, Bar)) return false;
    TScrollInfo info;
    info.fMask = SIF_RANGE;
    info.nMin = Min;
    info.nMax = Max;
    SetInfo(Wnd, Bar, info, Redraw);
    return true;
}

bool GetScrollRange(HWND Wnd, int Bar, int& Min, int& Max) {
    TScrollInfo info;
    info.fMask = SIF_RANGE;
    if (!GetScrollInfo(Wnd, Bar, info)) return false;
    Min = info.nMin;
    Max = info.nMax;
    return true;
}

bool ShowScrollBar(HWND Wnd, int Bar, bool Show) {
    if (!IsLiveWindow(Wnd) || Bar == SB_CTL) return false;
    SetBarVisible(Wnd, Bar, Show);
    return true;
}

bool EnableScrollBar(HWND Wnd, UINT Bar, UINT Arrows) {
    if (!IsLiveWindow(Wnd)) return false;
    if (Bar == SB_HORZ || Bar == SB_BOTH) Wnd->HorzBar.DisabledArrows = Arrows;
    if (Bar == SB_VERT || Bar == SB_BOTH) Wnd->VertBar.DisabledArrows = Arrows;
    InvalidateFrame(Wnd);
    return true;
}

bool InitializeFlatSB(HWND Wnd) {
    if (!IsLiveWindow(Wnd)) return false;
    Wnd->FlatScrollBars = true;
    InvalidateFrame(Wnd);
    return true;
}

void UninitializeFlatSB(HWND Wnd) {
    if (!IsLiveWindow(Wnd)) return;
    Wnd->FlatScrollBars = false;
    InvalidateFrame(Wnd);
}

bool FlatSB_SetScrollProp(HWND Wnd, UINT Index, intptr_t Value, bool Redraw) {
    if (!IsLiveWindow(Wnd) || !Wnd->FlatScrollBars) return false;
    if (Index == WSB_PROP_HSTYLE)
        Wnd->FlatHorzStyle = static_cast<int>(Value);
    else if (Index == WSB_PROP_VSTYLE)
        Wnd->FlatVertStyle = static_cast<int>(Value);
    else
        return false;
    if (Redraw) InvalidateFrame(Wnd);
    return true;
}

bool FlatSB_GetScrollProp(HWND Wnd, UINT Index, intptr_t* Value) {
    if (!IsLiveWindow(Wnd) || !Wnd->FlatScrollBars || !Value) return false;
    if (Index == WSB_PROP_HSTYLE)
        *Value = Wnd->FlatHorzStyle;
    else if (Index == WSB_PROP_VSTYLE)
        *Value = Wnd->FlatVertStyle;
    else if (Index == WSB_PROP_CXVSCROLL)
        *Value = ScrollBarSize(SB_VERT);
    else if (Index == WSB_PROP_CYHSCROLL)
        *Value = ScrollBarSize(SB_HORZ);
    else
        return false;
    return true;
}

int FlatSB_SetScrollInfo(HWND Wnd, int Bar, const TScrollInfo& Info, bool Redraw) {
    return SetScrollInfo(Wnd, Bar, Info, Redraw);
}
bool FlatSB_GetScrollInfo(HWND Wnd, int Bar, TScrollInfo& Info) {
    return GetScrollInfo(Wnd, Bar, Info);
}
int FlatSB_SetScrollPos(HWND Wnd, int Bar, int Pos, bool Redraw) {
    return SetScrollPos(Wnd, Bar, Pos, Redraw);
}
int FlatSB_GetScrollPos(HWND Wnd, int Bar) {
    return GetScrollPos(Wnd, Bar);
}
bool FlatSB_SetScrollRange(HWND Wnd, int Bar, int Min, int Max, bool Redraw) {
    return SetScrollRange(Wnd, Bar, Min, Max, Redraw);
}
bool FlatSB_GetScrollRange(HWND Wnd, int Bar, int& Min, int& Max) {
    return GetScrollRange(Wnd, Bar, Min, Max);
}
bool FlatSB_ShowScrollBar(HWND Wnd, int Bar, bool Show) {
    return ShowScrollBar(Wnd, Bar, Show);
}
bool FlatSB_EnableScrollBar(HWND Wnd, UINT Bar, UINT Arrows) {
    return EnableScrollBar(Wnd, Bar, Arrows);
}
