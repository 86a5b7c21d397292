// The emulated non-client area: border widths by style, the client rectangle
// that DefWindowProc gives WM_NCCALCSIZE, hit testing and the frame painting.
// Top-level windows with a caption get their frame from the desktop, so only
// the borders of children and popups are emulated.
#include "platform/ui/NonClient.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/private/WindowManager_p.h"

using namespace platform_ui;

namespace {

bool CaptionFramed(DWORD style) {
    return !(style & WS_CHILD) && (style & WS_CAPTION) == WS_CAPTION;
}

int FrameWidth(DWORD style, DWORD exStyle) {
    int width = 0;
    if (exStyle & WS_EX_CLIENTEDGE)
        width += GetSystemMetrics(SM_CXEDGE);
    else if (exStyle & WS_EX_STATICEDGE)
        width += GetSystemMetrics(SM_CXBORDER);
    if (CaptionFramed(style)) return width;
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

} // namespace

namespace platform_ui {

int BorderWidth(HWND Wnd) {
    return FrameWidth(Wnd->Style, Wnd->ExStyle);
}

int ScrollBarSize(int Bar) {
    return GetSystemMetrics(Bar == SB_VERT ? SM_CXVSCROLL : SM_CYHSCROLL);
}

bool ScrollBarShown(HWND Wnd, int Bar) {
    return !Wnd->Native && (Wnd->Style & (Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

TRect ScrollBarRect(HWND Wnd, int Bar) {
    const int b = BorderWidth(Wnd);
    const TRect area = WindowArea(Wnd);
    const bool vert = ScrollBarShown(Wnd, SB_VERT);
    const bool horz = ScrollBarShown(Wnd, SB_HORZ);
    if (Bar == SB_VERT) {
        if (!vert) return {};
        return {std::max(b, area.Right - b - ScrollBarSize(SB_VERT)), b, area.Right - b,
                std::max(b, area.Bottom - b - (horz ? ScrollBarSize(SB_HORZ) : 0))};
    }
    if (!horz) return {};
    return {b, std::max(b, area.Bottom - b - ScrollBarSize(SB_HORZ)),
            std::max(b, area.Right - b - (vert ? ScrollBarSize(SB_VERT) : 0)), area.Bottom - b};
}

void DefaultNCCalcSize(HWND Wnd, TRect& Rect) {
    const int b = BorderWidth(Wnd);
    InflateRect(Rect, -b, -b);
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
        if (!CaptionFramed(Wnd->Style) && (Wnd->Style & WS_BORDER)) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(r, -1, -1);
        }
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    } else if (Wnd->ExStyle & WS_EX_STATICEDGE) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    } else if (!CaptionFramed(Wnd->Style)) {
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
    DrawScrollBars(Wnd, dc);
    ReleaseDC(Wnd, dc);
}

} // namespace platform_ui

bool AdjustWindowRectEx(TRect& Rect, DWORD Style, bool, DWORD ExStyle) {
    const int b = FrameWidth(Style, ExStyle);
    InflateRect(Rect, b, b);
    return true;
}
