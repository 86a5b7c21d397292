// The emulated non-client area: border widths by style, the client rectangle
// that DefWindowProc gives WM_NCCALCSIZE, hit testing and the frame painting.
// Top-level windows with a caption get their frame from the desktop, so only
// the borders of children and popups are emulated, and the title bars of
// children with a caption (MDI children) and of captioned windows that never
// take the activation (tool windows, which the desktop would activate):
// their buttons, the caption drag that moves them and the edges that size
// them, or the arrow keys for both.
#include "platform/ui/NonClient.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Monitors.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/private/WindowManager_p.h"

#include <algorithm>
#include <limits>

using namespace platform_ui;

namespace {

// A caption drawn by the platform rather than by the desktop.
bool EmulatedCaptionStyle(DWORD style, DWORD exStyle) {
    return (style & WS_CAPTION) == WS_CAPTION && ((style & WS_CHILD) || (exStyle & WS_EX_NOACTIVATE));
}

// Framed by the desktop: a top-level caption that the platform does not draw.
bool CaptionFramed(DWORD style, DWORD exStyle) {
    return !(style & WS_CHILD) && (style & WS_CAPTION) == WS_CAPTION && !EmulatedCaptionStyle(style, exStyle);
}

int FrameWidth(DWORD style, DWORD exStyle) {
    int width = 0;
    if (exStyle & WS_EX_CLIENTEDGE)
        width += GetSystemMetrics(SM_CXEDGE);
    else if (exStyle & WS_EX_STATICEDGE)
        width += GetSystemMetrics(SM_CXBORDER);
    if (CaptionFramed(style, exStyle)) return width;
    if (style & WS_THICKFRAME)
        width += GetSystemMetrics(SM_CXFRAME);
    else if (style & WS_DLGFRAME)
        width += GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_BORDER)
        width += GetSystemMetrics(SM_CXBORDER);
    return width;
}

TRect WindowArea(HWND w) {
    return {0, 0, w->WindowRect.Width(), w->WindowRect.Height()};
}

bool SmallCaption(HWND w) {
    return (w->ExStyle & WS_EX_TOOLWINDOW) != 0;
}

// The caption's height with the line that parts it from the client area.
int CaptionHeight(HWND w) {
    return GetSystemMetrics(SmallCaption(w) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

// Where the parts of an emulated title bar lie (window coordinates); empty
// rectangles for parts the styles leave out.
struct CaptionLayout {
    TRect Bar;
    TRect SysMenu; // the icon's square, which HTSYSMENU covers
    TCaptionButtons Buttons;
};

CaptionLayout LayoutCaption(HWND w) {
    CaptionLayout layout;
    if (!HasEmulatedCaption(w)) return layout;
    const int b = BorderWidth(w);
    const TRect area = WindowArea(w);
    // A minimised window is its title bar and nothing else.
    const int height = w->Minimized ? area.Height() - 2 * b : CaptionHeight(w) - 1;
    layout.Bar = {b, b, std::max(b, area.Right - b), b + std::max(0, height)};
    if (!(w->Style & WS_SYSMENU)) return layout;
    layout.Buttons = CaptionButtonRects(layout.Bar, SmallCaption(w));
    if (SmallCaption(w) || !(w->Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
        layout.Buttons.Min = layout.Buttons.Max = {};
    if (!SmallCaption(w))
        layout.SysMenu = {layout.Bar.Left, layout.Bar.Top, layout.Bar.Left + height, layout.Bar.Bottom};
    return layout;
}

// What a caption button shows and does in the window's present state.
struct CaptionButton {
    int HitTest = HTNOWHERE;
    TRect Place;
    UINT Glyph = 0;
    WPARAM Command = 0;
    bool Disabled = false;
};

std::vector<CaptionButton> CaptionButtonsOf(HWND w, const CaptionLayout& layout) {
    std::vector<CaptionButton> buttons;
    if (!IsRectEmpty(layout.Buttons.Min)) {
        const bool restore = w->Minimized;
        buttons.push_back({HTMINBUTTON, layout.Buttons.Min, restore ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN,
                           restore ? SC_RESTORE : SC_MINIMIZE, !(w->Style & WS_MINIMIZEBOX)});
    }
    if (!IsRectEmpty(layout.Buttons.Max)) {
        const bool restore = w->Maximized;
        buttons.push_back({HTMAXBUTTON, layout.Buttons.Max, restore ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX,
                           restore ? SC_RESTORE : SC_MAXIMIZE, !(w->Style & WS_MAXIMIZEBOX)});
    }
    if (!IsRectEmpty(layout.Buttons.Close))
        buttons.push_back({HTCLOSE, layout.Buttons.Close, DFCS_CAPTIONCLOSE, SC_CLOSE, false});
    return buttons;
}

// Left to right from the first colour to the second, one brush per run of
// columns of the same colour.
void FillGradient(HDC dc, const TRect& r, COLORREF from, COLORREF to) {
    const int steps = std::max(1, r.Width() - 1);
    auto at = [&](int i) {
        auto mix = [&](int shift) {
            const int a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
            return (a + (b - a) * i / steps) << shift;
        };
        return static_cast<COLORREF>(mix(0) | mix(8) | mix(16));
    };
    for (int x = r.Left; x < r.Right;) {
        const COLORREF color = at(x - r.Left);
        int end = x + 1;
        while (end < r.Right && at(end - r.Left) == color)
            ++end;
        HBRUSH brush = CreateSolidBrush(color);
        const TRect run{x, r.Top, end, r.Bottom};
        FillRect(dc, &run, brush);
        DeleteObject(brush);
        x = end;
    }
}

void DrawCaption(HWND w, HDC dc) {
    const CaptionLayout layout = LayoutCaption(w);
    const TRect bar = layout.Bar;
    if (IsRectEmpty(bar)) return;
    const bool active = w->CaptionActive;
    if (!w->Minimized) {
        const TRect line{bar.Left, bar.Bottom, bar.Right, bar.Bottom + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
    }
    FillGradient(dc, bar, GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION),
                 GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION));
    TRect text = bar;
    if (!IsRectEmpty(layout.SysMenu)) {
        const int size = GetSystemMetrics(SM_CXSMICON);
        if (auto icon = reinterpret_cast<HICON>(SendMessage(w, WM_GETICON, ICON_SMALL, 0)))
            DrawIconEx(dc, layout.SysMenu.Left + 1, bar.Top + (bar.Height() - size) / 2, icon, size, size);
        if (!IsLiveWindow(w)) return;
        text.Left = layout.SysMenu.Right;
    }
    const auto buttons = CaptionButtonsOf(w, layout);
    if (!buttons.empty()) text.Right = buttons.front().Place.Left;
    text.Left += 2;
    text.Right -= 2;
    if (!w->Text.empty() && text.Right > text.Left) {
        LOGFONT font;
        GetObject(GetStockObject(DEFAULT_GUI_FONT), font);
        font.lfWeight = FW_BOLD;
        HFONT bold = CreateFontIndirect(font);
        HGDIOBJ old = SelectObject(dc, bold);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        DrawText(dc, w->Text, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, old);
        DeleteObject(bold);
    }
    for (const CaptionButton& button : buttons) {
        TRect place = button.Place;
        UINT state = button.Glyph;
        if (button.Disabled) state |= DFCS_INACTIVE;
        if (w->PushedButton == button.HitTest) state |= DFCS_PUSHED;
        DrawFrameControl(dc, &place, DFC_CAPTION, state);
    }
}

// The sizing edge under p of a window with a sizing frame; the corners reach
// a caption button's width along each edge, as the classic frame's do.
int SizingEdge(HWND w, TPoint p) {
    const TRect area = WindowArea(w);
    const int b = BorderWidth(w);
    const int corner = GetSystemMetrics(SM_CXSIZE) + b;
    const bool left = p.X < b, right = p.X >= area.Right - b;
    const bool top = p.Y < b, bottom = p.Y >= area.Bottom - b;
    if (!left && !right && !top && !bottom) return HTNOWHERE;
    const bool nearLeft = p.X < corner, nearRight = p.X >= area.Right - corner;
    const bool nearTop = p.Y < corner, nearBottom = p.Y >= area.Bottom - corner;
    if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
    if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
    if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
    if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    return top ? HTTOP : HTBOTTOM;
}

bool Sizable(HWND w) {
    return (w->Style & WS_THICKFRAME) && !w->Minimized && !w->Maximized;
}

// Runs the capture loop of a button, a move or a size: Step sees each pointer
// position on screen, and the loop ends at the release (true) or when the
// capture or the window is lost, or Esc is pressed (false). With Keys the keys
// drive it instead: Keys takes the key-downs, Enter or a click ends it.
bool TrackPointer(HWND w, const std::function<void(TPoint)>& Step, const std::function<void(WPARAM)>& Keys = {}) {
    SetCapture(w);
    bool released = false;
    while (IsLiveWindow(w) && GetCapture() == w) {
        TMsg msg;
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        // The key that ends the loop is used up: its character goes nowhere.
        const auto swallowCharacter = [&] {
            TMsg character;
            PeekMessage(character, msg.hwnd, WM_CHAR, WM_CHAR, PM_REMOVE);
        };
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            swallowCharacter();
            break;
        }
        if (Keys && msg.message >= WM_KEYDOWN && msg.message <= WM_SYSCHAR) {
            if (msg.message != WM_KEYDOWN) continue;
            if (msg.wParam == VK_RETURN) {
                swallowCharacter();
                released = true;
                break;
            }
            Keys(msg.wParam);
            continue;
        }
        if (Keys && msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
            // Only a click counts, as Enter does.
            if (msg.message == WM_LBUTTONUP) {
                released = true;
                break;
            }
            continue;
        }
        if (msg.hwnd == w && (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP)) {
            Step(msg.pt);
            if (msg.message == WM_LBUTTONUP) {
                released = true;
                break;
            }
            continue;
        }
        if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) continue;
        TranslateMessage(msg);
        DispatchMessage(msg);
    }
    if (IsLiveWindow(w) && GetCapture() == w) ReleaseCapture();
    return released && IsLiveWindow(w);
}

void ShowPushed(HWND w, int HitTest) {
    if (w->PushedButton == HitTest) return;
    w->PushedButton = HitTest;
    InvalidateFrame(w);
    PaintWindowNow(w);
}

// How far an arrow key moves the window or the edge.
constexpr int KeyboardStep = 8;

// Where a window being moved or sized may go: a child within its parent's
// client area, a popup within the work area of the monitor it starts on.
TRect TrackingLimit(HWND w, TPoint Start) {
    TRect limit;
    if (!w->IsChild()) {
        MONITORINFO info;
        GetMonitorInfo(MonitorFromPoint(Start, MONITOR_DEFAULTTONEAREST), info);
        return info.rcWork;
    }
    GetClientRect(w->Parent, limit);
    MapWindowPoints(w->Parent, nullptr, limit);
    return limit;
}

// The sizes the user may give the window: the defaults, then as the
// window's WM_GETMINMAXINFO says.
MINMAXINFO TrackingSizes(HWND w, const TRect& Limit) {
    MINMAXINFO sizes;
    if ((w->Style & WS_CAPTION) == WS_CAPTION)
        sizes.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    else
        sizes.ptMinTrackSize = {2 * BorderWidth(w), 2 * BorderWidth(w)};
    sizes.ptMaxSize = {Limit.Width(), Limit.Height()};
    sizes.ptMaxPosition = {Limit.Left, Limit.Top};
    sizes.ptMaxTrackSize = {std::numeric_limits<int>::max() / 2, std::numeric_limits<int>::max() / 2};
    SendMessage(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&sizes));
    return sizes;
}

// Moves (HTCAPTION) or sizes (a sizing edge) a child within its parent's
// client area, or a popup within the work area, while the left button is
// down, as the window follows the pointer. A popup is sized through the
// edges its WM_NCHITTEST answers, whatever its frame. ByKeys (the system
// menu's move and size) the arrows move a pointer that starts at the
// window's centre; sizing, the first one picks the edge.
void TrackMoveSize(HWND w, int HitTest, TPoint Start, bool ByKeys = false) {
    const bool popup = !w->IsChild() && NeverActivated(w);
    if (w->Maximized || (w->IsChild() ? !IsLiveWindow(w->Parent) : !popup)) return;
    if (HitTest != HTCAPTION && !popup && !Sizable(w)) return;
    const TRect before = w->WindowRect;
    const TRect limit = TrackingLimit(w, Start);
    // The pointer counts only while it stays over that area.
    auto within = [&](TPoint p) {
        return TPoint{std::clamp(p.X, limit.Left, std::max(limit.Left, limit.Right - 1)),
                      std::clamp(p.Y, limit.Top, std::max(limit.Top, limit.Bottom - 1))};
    };
    if (ByKeys) {
        TRect window;
        GetWindowRect(w, window);
        Start = within({(window.Left + window.Right) / 2, (window.Top + window.Bottom) / 2});
    }
    const MINMAXINFO sizes = TrackingSizes(w, limit);
    const TPoint minSize = sizes.ptMinTrackSize;
    const TPoint maxSize{std::max(minSize.X, sizes.ptMaxTrackSize.X), std::max(minSize.Y, sizes.ptMaxTrackSize.Y)};
    TPoint pointer = Start;
    auto step = [&](TPoint p) {
        p = within(p);
        pointer = p;
        const bool left = HitTest == HTLEFT || HitTest == HTTOPLEFT || HitTest == HTBOTTOMLEFT;
        const bool right = HitTest == HTRIGHT || HitTest == HTTOPRIGHT || HitTest == HTBOTTOMRIGHT;
        const bool top = HitTest == HTTOP || HitTest == HTTOPLEFT || HitTest == HTTOPRIGHT;
        const bool bottom = HitTest == HTBOTTOM || HitTest == HTBOTTOMLEFT || HitTest == HTBOTTOMRIGHT;
        const int dx = p.X - Start.X, dy = p.Y - Start.Y;
        TRect r = before;
        if (HitTest == HTCAPTION) {
            OffsetRect(r, dx, dy);
        } else {
            // A popup's edges stop at the work area; then the sizes it allows.
            if (left) r.Left = popup ? std::max(before.Left + dx, limit.Left) : before.Left + dx;
            if (right) r.Right = popup ? std::min(before.Right + dx, limit.Right) : before.Right + dx;
            if (top) r.Top = popup ? std::max(before.Top + dy, limit.Top) : before.Top + dy;
            if (bottom) r.Bottom = popup ? std::min(before.Bottom + dy, limit.Bottom) : before.Bottom + dy;
            const int width = std::clamp(r.Width(), minSize.X, maxSize.X);
            const int height = std::clamp(r.Height(), minSize.Y, maxSize.Y);
            if (left) r.Left = r.Right - width;
            if (right) r.Right = r.Left + width;
            if (top) r.Top = r.Bottom - height;
            if (bottom) r.Bottom = r.Top + height;
        }
        if (r != w->WindowRect)
            SetWindowPos(w, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    auto keys = [&](WPARAM key) {
        const int dx = key == VK_LEFT ? -KeyboardStep : key == VK_RIGHT ? KeyboardStep : 0;
        const int dy = key == VK_UP ? -KeyboardStep : key == VK_DOWN ? KeyboardStep : 0;
        if (dx == 0 && dy == 0) return;
        if (HitTest == HTNOWHERE) {
            HitTest = dx < 0 ? HTLEFT : dx > 0 ? HTRIGHT : dy < 0 ? HTTOP : HTBOTTOM;
            return;
        }
        step({pointer.X + dx, pointer.Y + dy});
    };
    const bool done = ByKeys ? TrackPointer(w, step, keys) : TrackPointer(w, step);
    // Esc or a lost capture puts the window back.
    if (!done && IsLiveWindow(w) && w->WindowRect != before)
        SetWindowPos(w, nullptr, before.Left, before.Top, before.Width(), before.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

TCaptionButtons CaptionButtonRects(const TRect& Bar, bool Small) {
    const int width = GetSystemMetrics(Small ? SM_CXSMSIZE : SM_CXSIZE) - 2;
    const int height = GetSystemMetrics(Small ? SM_CYSMSIZE : SM_CYSIZE) - 4;
    const int top = Bar.Top + (Bar.Height() - height) / 2;
    // Close stands apart at the right; maximise and minimise touch.
    TCaptionButtons buttons;
    buttons.Close = Bounds(Bar.Right - 2 - width, top, width, height);
    buttons.Max = Bounds(buttons.Close.Left - 2 - width, top, width, height);
    buttons.Min = Bounds(buttons.Max.Left - width, top, width, height);
    return buttons;
}

bool TrackFrameButton(HWND Wnd, int HitTest, const TRect& Button) {
    if (!IsLiveWindow(Wnd)) return false;
    auto over = [&](TPoint screen) {
        TRect window;
        GetWindowRect(Wnd, window);
        return PtInRect(Button, Point(screen.X - window.Left, screen.Y - window.Top));
    };
    bool inside = true;
    ShowPushed(Wnd, HitTest);
    const bool released = TrackPointer(Wnd, [&](TPoint p) {
        inside = over(p);
        ShowPushed(Wnd, inside ? HitTest : HTNOWHERE);
    });
    if (IsLiveWindow(Wnd)) ShowPushed(Wnd, HTNOWHERE);
    return released && inside;
}

int PushedFrameButton(HWND Wnd) {
    return IsLiveWindow(Wnd) ? Wnd->PushedButton : HTNOWHERE;
}

namespace platform_ui {

bool HasEmulatedCaption(HWND Wnd) {
    return EmulatedCaptionStyle(Wnd->Style, Wnd->ExStyle);
}

TRect CaptionIconRect(HWND Wnd) {
    return LayoutCaption(Wnd).SysMenu;
}

int BorderWidth(HWND Wnd) {
    // A minimised window cannot be sized, so its frame is a fixed one.
    if (Wnd->Minimized && HasEmulatedCaption(Wnd)) return FrameWidth(Wnd->Style & ~WS_THICKFRAME, Wnd->ExStyle);
    return FrameWidth(Wnd->Style, Wnd->ExStyle);
}

int ScrollBarSize(int Bar) {
    return GetSystemMetrics(Bar == SB_VERT ? SM_CXVSCROLL : SM_CYHSCROLL);
}

bool ScrollBarShown(HWND Wnd, int Bar) {
    return !Wnd->Native && !Wnd->Minimized && (Wnd->Style & (Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

TRect ScrollBarRect(HWND Wnd, int Bar) {
    // The bars sit against the client area, so a frame a window adds inside
    // its border (a popup's) stays around them; a window too small to give
    // a bar its room has it inside the border.
    const int b = BorderWidth(Wnd);
    const TRect area = WindowArea(Wnd);
    const TRect& client = Wnd->ClientRect;
    if (Bar == SB_VERT) {
        if (!ScrollBarShown(Wnd, SB_VERT)) return {};
        const int left = std::min(client.Right, std::max(b, area.Right - b - ScrollBarSize(SB_VERT)));
        return {left, client.Top, std::min(area.Right - b, left + ScrollBarSize(SB_VERT)), client.Bottom};
    }
    if (!ScrollBarShown(Wnd, SB_HORZ)) return {};
    const int top = std::min(client.Bottom, std::max(b, area.Bottom - b - ScrollBarSize(SB_HORZ)));
    return {client.Left, top, client.Right, std::min(area.Bottom - b, top + ScrollBarSize(SB_HORZ))};
}

void DefaultNCCalcSize(HWND Wnd, TRect& Rect) {
    const int b = BorderWidth(Wnd);
    InflateRect(Rect, -b, -b);
    if (HasEmulatedCaption(Wnd)) {
        if (Wnd->Minimized) {
            // No client area: it shrinks to a point below the title bar.
            Rect.Right = Rect.Left;
            Rect.Top = Rect.Bottom;
        } else {
            Rect.Top = std::min(Rect.Bottom, Rect.Top + CaptionHeight(Wnd));
        }
    }
    if (ScrollBarShown(Wnd, SB_VERT) && Rect.Width() >= ScrollBarSize(SB_VERT)) Rect.Right -= ScrollBarSize(SB_VERT);
    if (ScrollBarShown(Wnd, SB_HORZ) && Rect.Height() >= ScrollBarSize(SB_HORZ)) Rect.Bottom -= ScrollBarSize(SB_HORZ);
    if (Rect.Right < Rect.Left) Rect.Right = Rect.Left;
    if (Rect.Bottom < Rect.Top) Rect.Bottom = Rect.Top;
}

int DefaultNCHitTest(HWND Wnd, TPoint ScreenPoint) {
    TRect window;
    if (!GetWindowRect(Wnd, window) || !PtInRect(window, ScreenPoint)) return HTNOWHERE;
    const TPoint p{ScreenPoint.X - window.Left, ScreenPoint.Y - window.Top};
    if (!Wnd->Shape.isEmpty() && !Wnd->Shape.contains(QPoint(p.X, p.Y))) return HTNOWHERE;
    if (PtInRect(Wnd->ClientRect, p)) return HTCLIENT;
    if (PtInRect(ScrollBarRect(Wnd, SB_VERT), p)) return HTVSCROLL;
    if (PtInRect(ScrollBarRect(Wnd, SB_HORZ), p)) return HTHSCROLL;
    if (Sizable(Wnd))
        if (const int edge = SizingEdge(Wnd, p); edge != HTNOWHERE) return edge;
    if (HasEmulatedCaption(Wnd)) {
        const CaptionLayout layout = LayoutCaption(Wnd);
        for (const CaptionButton& button : CaptionButtonsOf(Wnd, layout))
            if (PtInRect(button.Place, p)) return button.HitTest;
        if (PtInRect(layout.SysMenu, p)) return HTSYSMENU;
        // The line below the bar belongs to it, and a minimised window is all bar.
        if (Wnd->Minimized || (p.Y >= layout.Bar.Top && p.Y < layout.Bar.Top + CaptionHeight(Wnd) &&
                               p.X >= layout.Bar.Left && p.X < layout.Bar.Right))
            return HTCAPTION;
    }
    const int b = BorderWidth(Wnd);
    TRect inner = WindowArea(Wnd);
    InflateRect(inner, -b, -b);
    if (!PtInRect(inner, p)) return HTBORDER;
    // The corner between two scroll bars.
    return (Wnd->Style & WS_THICKFRAME) ? HTSIZE : HTNOWHERE;
}

void DrawScrollBars(HWND Wnd, HDC DC); // ScrollBar.cpp

void DefaultNCPaint(HWND Wnd) {
    if (!Wnd->SelfPainting()) return;
    HDC dc = GetWindowDC(Wnd);
    TRect r = WindowArea(Wnd);
    if (Wnd->ExStyle & WS_EX_CLIENTEDGE) {
        if (!CaptionFramed(Wnd->Style, Wnd->ExStyle) && (Wnd->Style & WS_BORDER)) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(r, -1, -1);
        }
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    } else if (Wnd->ExStyle & WS_EX_STATICEDGE) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    } else if (!CaptionFramed(Wnd->Style, Wnd->ExStyle)) {
        if (Wnd->Style & (WS_THICKFRAME | WS_DLGFRAME)) {
            DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
            const int rest = BorderWidth(Wnd) - 2;
            for (int i = 0; i < rest; ++i) {
                FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
                InflateRect(r, -1, -1);
            }
        } else if (Wnd->Style & WS_BORDER) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        }
    }
    if (HasEmulatedCaption(Wnd)) DrawCaption(Wnd, dc);
    if (IsLiveWindow(Wnd)) DrawScrollBars(Wnd, dc);
    ReleaseDC(Wnd, dc);
}

void DefaultNCLButtonDown(HWND Wnd, int HitTest, TPoint ScreenPoint, bool DoubleClick) {
    if (HitTest == HTHSCROLL || HitTest == HTVSCROLL) {
        TrackScrollBar(Wnd, HitTest, ScreenPoint);
        return;
    }
    if (!HasEmulatedCaption(Wnd)) {
        if (!DoubleClick && HitTest >= HTLEFT && HitTest <= HTBOTTOMRIGHT)
            SendMessage(Wnd, WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(HitTest - HTLEFT + 1),
                        PointToLParam(ScreenPoint));
        return;
    }
    // The press has activated the child already (WM_MOUSEACTIVATE).
    const LPARAM where = PointToLParam(ScreenPoint);
    if (DoubleClick && HitTest == HTCAPTION) {
        if (Wnd->Maximized || Wnd->Minimized)
            SendMessage(Wnd, WM_SYSCOMMAND, SC_RESTORE, where);
        else if (Wnd->Style & WS_MAXIMIZEBOX)
            SendMessage(Wnd, WM_SYSCOMMAND, SC_MAXIMIZE, where);
        return;
    }
    if (DoubleClick && HitTest == HTSYSMENU) {
        SendMessage(Wnd, WM_SYSCOMMAND, SC_CLOSE, where);
        return;
    }
    if (HitTest == HTCAPTION) {
        SendMessage(Wnd, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, where);
        return;
    }
    if (HitTest >= HTLEFT && HitTest <= HTBOTTOMRIGHT) {
        SendMessage(Wnd, WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(HitTest - HTLEFT + 1), where);
        return;
    }
    for (const CaptionButton& button : CaptionButtonsOf(Wnd, LayoutCaption(Wnd)))
        if (button.HitTest == HitTest) {
            if (!button.Disabled && TrackFrameButton(Wnd, button.HitTest, button.Place))
                SendMessage(Wnd, WM_SYSCOMMAND, button.Command, where);
            return;
        }
}

void DefaultMoveSizeCommand(HWND Wnd, WPARAM Command, TPoint ScreenPoint) {
    const int low = static_cast<int>(Command & 0xF);
    if (low == 0) {
        // Chosen from the system menu: the keys drive it.
        TrackMoveSize(Wnd, (Command & 0xFFF0) == SC_MOVE ? HTCAPTION : HTNOWHERE, ScreenPoint, true);
    } else if ((Command & 0xFFF0) == SC_MOVE) {
        TrackMoveSize(Wnd, HTCAPTION, ScreenPoint);
    } else if (low <= HTBOTTOMRIGHT - HTLEFT + 1) {
        TrackMoveSize(Wnd, HTLEFT + low - 1, ScreenPoint);
    }
}

TRect MaximizedChildRect(HWND Wnd) {
    TRect r;
    GetClientRect(Wnd->Parent, r);
    // The frame and the title bar lie beyond the parent's client area.
    const int b = FrameWidth(Wnd->Style, Wnd->ExStyle);
    InflateRect(r, b, b);
    if (HasEmulatedCaption(Wnd)) r.Top -= CaptionHeight(Wnd);
    return r;
}

} // namespace platform_ui

bool AdjustWindowRectEx(TRect& Rect, DWORD Style, bool, DWORD ExStyle) {
    const int b = FrameWidth(Style, ExStyle);
    InflateRect(Rect, b, b);
    if (EmulatedCaptionStyle(Style, ExStyle))
        Rect.Top -= GetSystemMetrics((ExStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    return true;
}
