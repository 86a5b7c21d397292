// Middle-button panning: an elliptic indicator marks where the button went
// down, and a modal loop holding the mouse capture scrolls one line at a
// time towards the pointer, faster the farther it is, until Escape or a
// mouse button ends it.
#include "treelist/TreeList.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Timers.h"
#include "platform/ui/Window.h"

#include <cstdlib>

namespace cvTL {

TPanningMotion PanningMotion(TPoint Origin, TPoint Point, int IndicatorWidth, bool HorzBar, bool VertBar) {
    const int half = IndicatorWidth / 2;
    const int dx = Point.X - Origin.X;
    const int dy = Point.Y - Origin.Y;
    const auto insideSpan = [&](int Delta) { return Delta >= -half && Delta < IndicatorWidth - half; };
    if ((!HorzBar || insideSpan(dx)) && (!VertBar || insideSpan(dy))) return {};
    int direction = 0;
    int distance = 0;
    if (HorzBar && (!VertBar || std::abs(dx) > std::abs(dy))) {
        direction = dx >= 0 ? 3 : 1;
        distance = std::abs(dx);
    } else {
        direction = dy >= 0 ? 4 : 2;
        distance = std::abs(dy);
    }
    return {direction, std::min((distance - half) / 5 + 1, 12)};
}

TCursor PanningCursor(int Direction, bool HorzBar, bool VertBar) {
    switch (Direction) {
    case 1:
        return crcvTLLeftScroll;
    case 2:
        return crcvTLUpScroll;
    case 3:
        return crcvTLRightScroll;
    case 4:
        return crcvTLDownScroll;
    default:
        if (HorzBar && VertBar) return crcvTLFullScroll;
        return HorzBar ? crcvTLHorScroll : crcvTLVerScroll;
    }
}

} // namespace cvTL

namespace {

// The indicator: a "STATIC" pop-up with an elliptic region, shown without
// being activated, with the picture of the scroll bars the control has.
HWND ShowPanningIndicator(TPoint Origin, bool HorzBar, bool VertBar) {
    const char* name = HorzBar && VertBar ? "CVGRID_FULLSCROLLBITMAP"
                       : HorzBar          ? "CVGRID_HORSCROLLBITMAP"
                                          : "CVGRID_VERSCROLLBITMAP";
    TBitmap bitmap;
    bitmap.LoadFromResourceName(HInstance, name);
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    HWND wnd = CreateWindowEx(0, "STATIC", "", WS_POPUP, Origin.X - w / 2, Origin.Y - h / 2, w, h, nullptr);
    if (!wnd) return nullptr;
    SetWindowRgn(wnd, CreateEllipticRgn(0, 0, w, h), true);
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    HDC dc = GetWindowDC(wnd);
    BitBlt(dc, 0, 0, w, h, bitmap.Canvas()->Handle(), 0, 0, SRCCOPY);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Ellipse(dc, 0, 0, w, h);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    ReleaseDC(wnd, dc);
    return wnd;
}

bool IsMouseMessage(UINT Msg) {
    return Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSEWHEEL;
}

} // namespace

void TCustomcvTreeList::Panning() {
    if (!HandleAllocated()) return;
    const auto style = DWORD(GetWindowLong(FHandle, GWL_STYLE));
    const bool horzBar = (style & WS_HSCROLL) != 0;
    const bool vertBar = (style & WS_VSCROLL) != 0;
    TPoint origin;
    GetCursorPos(origin);
    TPoint last = origin;
    HWND indicator = ShowPanningIndicator(origin, horzBar, vertBar);
    TRect indicatorRect;
    if (indicator) GetWindowRect(indicator, indicatorRect);
    const int width = indicator ? indicatorRect.Right - indicatorRect.Left : 0;

    cvTL::TPanningMotion motion{0, 1};
    bool moved = false;
    int ticks = 0;
    ::SetCursor(Screen->Cursors(cvTL::PanningCursor(0, horzBar, vertBar)));
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20);
    SetCapture(FHandle);
    const TScopeGuard leave([&] {
        if (GetCapture() == FHandle) ReleaseCapture();
        ::KillTimer(nullptr, timer);
        if (indicator) DestroyWindow(indicator);
    });
    while (GetCapture() == FHandle) {
        TMsg msg;
        if (!GetMessage(msg, nullptr, 0, 0)) {
            if (msg.message == WM_QUIT) PostQuitMessage(int(msg.wParam));
            return;
        }
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (msg.wParam == VK_ESCAPE) return;
            continue; // every other key is swallowed
        case WM_TIMER:
            if (msg.hwnd || msg.wParam != timer) break;
            if (++ticks % (13 - motion.Speed) == 0 && motion.Direction != 0) {
                if (motion.Direction == 1 || motion.Direction == 3)
                    SendMessage(FHandle, WM_HSCROLL, motion.Direction == 1 ? SB_LINELEFT : SB_LINERIGHT, 0);
                else
                    SendMessage(FHandle, WM_VSCROLL, motion.Direction == 2 ? SB_LINEUP : SB_LINEDOWN, 0);
            }
            continue;
        case WM_MOUSEMOVE: {
            TPoint point{SmallLo(msg.lParam), SmallHi(msg.lParam)};
            ::ClientToScreen(msg.hwnd, point);
            if (point == last) continue;
            motion = cvTL::PanningMotion(origin, point, width, horzBar, vertBar);
            moved = moved || motion.Direction != 0;
            ::SetCursor(Screen->Cursors(cvTL::PanningCursor(motion.Direction, horzBar, vertBar)));
            last = point;
            continue;
        }
        case WM_MBUTTONUP:
            // A click without moving leaves panning on until the next button.
            if (moved) return;
            continue;
        case WM_PAINT:
            if (msg.hwnd != indicator) break;
            ValidateRect(indicator, nullptr);
            continue;
        default:
            if (IsMouseMessage(msg.message)) return;
            break;
        }
        TranslateMessage(msg);
        DispatchMessage(msg);
    }
}
