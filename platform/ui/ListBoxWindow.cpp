// The owner-drawn list box window. One state per window: the strings, the
// height of each item (or the one height of a fixed-height list), the
// selection, the top item and whether the list shows the focus look. Rows
// are laid out from the top item down; the scroll bar counts items.
#include "platform/ui/ListBoxWindow.h"

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Painting.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/Window.h"
#include "platform/ui/private/Wheel_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

using namespace platform_ui;

namespace {

constexpr int DefaultItemHeight = 16;

struct TListBoxState {
    HWND Wnd = nullptr;
    bool ScrollBar = false; // created with WS_VSCROLL: the bar comes and goes with the items
    std::vector<std::string> Strings;
    std::vector<int> Heights; // each item's, with LBS_OWNERDRAWVARIABLE
    int ItemHeight = DefaultItemHeight;
    int Selected = -1;
    int Top = 0;
    bool InFocus = false;
    bool Tracking = false;        // the left button went down in the list and is held
    int SelectedAtPress = -1;     // what LBN_SELCHANGE compares with on release
    int WheelDelta = 0;
};

std::unordered_map<HWND, TListBoxState>& States() {
    static std::unordered_map<HWND, TListBoxState> states;
    return states;
}

DWORD StyleOf(const TListBoxState& s) {
    return static_cast<DWORD>(GetWindowLong(s.Wnd, GWL_STYLE));
}

bool Variable(const TListBoxState& s) {
    return (StyleOf(s) & LBS_OWNERDRAWVARIABLE) != 0;
}

int Count(const TListBoxState& s) {
    return static_cast<int>(s.Strings.size());
}

int HeightOf(const TListBoxState& s, int Index) {
    return Variable(s) ? s.Heights[static_cast<size_t>(Index)] : s.ItemHeight;
}

int ClientHeight(const TListBoxState& s) {
    TRect r;
    GetClientRect(s.Wnd, r);
    return r.Height();
}

// The items that show whole from First down.
int WholeItemsFrom(const TListBoxState& s, int First) {
    const int height = ClientHeight(s);
    int y = 0;
    int items = 0;
    for (int i = First; i < Count(s); ++i) {
        y += HeightOf(s, i);
        if (y > height) break;
        ++items;
    }
    return std::max(items, 1);
}

// The highest top item that still fills the list to its last item.
int MaxTop(const TListBoxState& s) {
    const int height = ClientHeight(s);
    int y = 0;
    int top = Count(s);
    while (top > 0 && y + HeightOf(s, top - 1) <= height) {
        --top;
        y += HeightOf(s, top);
    }
    return top == Count(s) ? std::max(0, Count(s) - 1) : top;
}

TRect ItemRect(const TListBoxState& s, int Index) {
    TRect client;
    GetClientRect(s.Wnd, client);
    int y = 0;
    for (int i = s.Top; i < Index; ++i)
        y += HeightOf(s, i);
    for (int i = Index; i < s.Top; ++i)
        y -= HeightOf(s, i);
    return {0, y, client.Width(), y + HeightOf(s, Index)};
}

// The item at a client height, -1 above the items, Count below them.
int ItemAtY(const TListBoxState& s, int Y) {
    if (Y < 0) return -1;
    int y = 0;
    for (int i = s.Top; i < Count(s); ++i) {
        y += HeightOf(s, i);
        if (Y < y) return i;
    }
    return Count(s);
}

void UpdateScrollBar(TListBoxState& s) {
    if (!s.ScrollBar) return;
    TScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = Count(s) - 1;
    // The last page decides the page size, so the thumb reaches MaxTop.
    info.nPage = static_cast<UINT>(Count(s) - MaxTop(s));
    if (Count(s) == 0 || WholeItemsFrom(s, 0) >= Count(s)) info.nPage = static_cast<UINT>(Count(s) + 1);
    info.nPos = s.Top;
    SetScrollInfo(s.Wnd, SB_VERT, info, true);
}

void SetTop(TListBoxState& s, int Top) {
    Top = std::clamp(Top, 0, MaxTop(s));
    if (Top == s.Top) return;
    s.Top = Top;
    InvalidateRect(s.Wnd, nullptr, true);
    UpdateScrollBar(s);
}

void ScrollIntoView(TListBoxState& s, int Index) {
    if (Index < 0 || Index >= Count(s)) return;
    if (Index < s.Top) {
        SetTop(s, Index);
        return;
    }
    int top = s.Top;
    while (top < Index && Index - top + 1 > WholeItemsFrom(s, top))
        ++top;
    SetTop(s, top);
}

void InvalidateItem(TListBoxState& s, int Index) {
    if (Index < 0 || Index >= Count(s)) return;
    const TRect r = ItemRect(s, Index);
    InvalidateRect(s.Wnd, &r, true);
}

void Select(TListBoxState& s, int Index) {
    if (Index < -1 || Index >= Count(s)) Index = -1;
    if (Index == s.Selected) return;
    InvalidateItem(s, s.Selected);
    s.Selected = Index;
    InvalidateItem(s, Index);
    ScrollIntoView(s, Index);
}

void NotifySelChange(TListBoxState& s) {
    if (StyleOf(s) & LBS_NOTIFY)
        SendMessage(s.Wnd, CN_COMMAND, (LBN_SELCHANGE << 16) | static_cast<Word>(GetWindowLong(s.Wnd, GWL_ID)),
                    reinterpret_cast<LPARAM>(s.Wnd));
}

void AddString(TListBoxState& s, const std::string& Text) {
    s.Strings.push_back(Text);
    if (Variable(s)) {
        MEASUREITEMSTRUCT measure;
        measure.itemID = static_cast<UINT>(Count(s) - 1);
        measure.itemHeight = static_cast<UINT>(s.ItemHeight);
        SendMessage(s.Wnd, CN_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
        s.Heights.push_back(static_cast<int>(measure.itemHeight));
    }
    InvalidateRect(s.Wnd, nullptr, true);
    UpdateScrollBar(s);
}

LRESULT SelectString(TListBoxState& s, WPARAM Before, const std::string& Text) {
    const int n = Count(s);
    if (n == 0) return LB_ERR;
    int start = static_cast<int>(static_cast<intptr_t>(Before)) + 1;
    if (start < 0 || start >= n) start = 0;
    const size_t length = Utf8Length(Text);
    for (int k = 0; k < n; ++k) {
        const int i = (start + k) % n;
        if (AnsiSameText(Utf8Copy(s.Strings[static_cast<size_t>(i)], 0, length), Text)) {
            Select(s, i);
            return i;
        }
    }
    return LB_ERR;
}

HBRUSH ListBrush(TListBoxState& s, HDC DC) {
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessage(s.Wnd, CN_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(s.Wnd)));
    return brush ? brush : GetSysColorBrush(COLOR_WINDOW);
}

void Paint(TListBoxState& s) {
    TPaintStruct ps;
    HDC dc = BeginPaint(s.Wnd, ps);
    TRect client;
    GetClientRect(s.Wnd, client);
    int y = 0;
    for (int i = s.Top; i < Count(s) && y < client.Bottom; ++i) {
        DRAWITEMSTRUCT draw;
        draw.itemID = static_cast<UINT>(i);
        draw.hwndItem = s.Wnd;
        draw.hDC = dc;
        draw.rcItem = {0, y, client.Right, y + HeightOf(s, i)};
        if (i == s.Selected) draw.itemState |= ODS_SELECTED | (s.InFocus ? ODS_FOCUS : 0);
        if (!IsWindowEnabled(s.Wnd)) draw.itemState |= ODS_DISABLED;
        y = draw.rcItem.Bottom;
        if (RectVisible(dc, &draw.rcItem)) SendMessage(s.Wnd, CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    }
    if (y < client.Bottom) {
        const TRect rest{0, y, client.Right, client.Bottom};
        FillRect(dc, &rest, ListBrush(s, dc));
    }
    EndPaint(s.Wnd, ps);
}

// Fixed-height items show whole: the window loses what is left below them.
void KeepIntegralHeight(TListBoxState& s) {
    const DWORD style = StyleOf(s);
    if (Variable(s) || (style & LBS_NOINTEGRALHEIGHT) || s.ItemHeight <= 0) return;
    const int rest = ClientHeight(s) % s.ItemHeight;
    if (rest == 0) return;
    TRect r;
    GetWindowRect(s.Wnd, r);
    SetWindowPos(s.Wnd, nullptr, 0, 0, r.Width(), r.Height() - rest,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void KeyDown(TListBoxState& s, Word Key) {
    const int page = std::max(1, WholeItemsFrom(s, s.Top) - 1);
    int target = s.Selected;
    switch (Key) {
    case VK_UP:
        target = s.Selected - 1;
        break;
    case VK_DOWN:
        target = s.Selected + 1;
        break;
    case VK_PRIOR:
        target = s.Selected - page;
        break;
    case VK_NEXT:
        target = s.Selected + page;
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = Count(s) - 1;
        break;
    default:
        return;
    }
    if (Count(s) == 0) return;
    target = std::clamp(target, 0, Count(s) - 1);
    if (target == s.Selected) return;
    Select(s, target);
    NotifySelChange(s);
}

// While the button is held the item under the pointer is selected; above or
// below the items, the list scrolls by one.
void TrackTo(TListBoxState& s, TPoint P) {
    if (Count(s) == 0) return;
    int index = ItemAtY(s, P.Y);
    if (P.Y < 0) index = std::max(0, s.Top - 1);
    if (P.Y >= ClientHeight(s)) index = std::min(Count(s) - 1, s.Top + WholeItemsFrom(s, s.Top));
    if (index >= Count(s)) index = Count(s) - 1;
    Select(s, index);
}

void VScroll(TListBoxState& s, WPARAM WParam) {
    const int page = std::max(1, WholeItemsFrom(s, s.Top) - 1);
    switch (LoWord(WParam)) {
    case SB_LINEUP:
        SetTop(s, s.Top - 1);
        break;
    case SB_LINEDOWN:
        SetTop(s, s.Top + 1);
        break;
    case SB_PAGEUP:
        SetTop(s, s.Top - page);
        break;
    case SB_PAGEDOWN:
        SetTop(s, s.Top + page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        SetTop(s, HiWord(WParam));
        break;
    case SB_TOP:
        SetTop(s, 0);
        break;
    case SB_BOTTOM:
        SetTop(s, Count(s));
        break;
    default:
        break;
    }
}

void Handle(TListBoxState& s, TMessage& m) {
    switch (m.Msg) {
    case LB_ADDSTRING:
        AddString(s, m.LParam ? reinterpret_cast<const char*>(m.LParam) : "");
        m.Result = Count(s) - 1;
        return;
    case LB_RESETCONTENT:
        s.Strings.clear();
        s.Heights.clear();
        s.Selected = -1;
        s.Top = 0;
        InvalidateRect(s.Wnd, nullptr, true);
        UpdateScrollBar(s);
        return;
    case LB_SETCURSEL:
        Select(s, static_cast<int>(static_cast<intptr_t>(m.WParam)));
        m.Result = s.Selected;
        return;
    case LB_GETCURSEL:
        m.Result = s.Selected;
        return;
    case LB_GETCOUNT:
        m.Result = Count(s);
        return;
    case LB_SELECTSTRING:
        m.Result = SelectString(s, m.WParam, m.LParam ? reinterpret_cast<const char*>(m.LParam) : "");
        return;
    case LB_GETTOPINDEX:
        m.Result = s.Top;
        return;
    case LB_SETTOPINDEX:
        SetTop(s, static_cast<int>(m.WParam));
        return;
    case LB_GETITEMRECT: {
        const int index = static_cast<int>(m.WParam);
        if (index < 0 || index >= Count(s) || !m.LParam) {
            m.Result = LB_ERR;
            return;
        }
        *reinterpret_cast<TRect*>(m.LParam) = ItemRect(s, index);
        m.Result = 1;
        return;
    }
    case LB_GETITEMHEIGHT: {
        const int index = static_cast<int>(m.WParam);
        m.Result = Variable(s) && index >= 0 && index < Count(s) ? HeightOf(s, index) : s.ItemHeight;
        return;
    }
    case LB_SETITEMHEIGHT: {
        const int index = static_cast<int>(m.WParam);
        const int height = std::max(1, static_cast<int>(LoWord(static_cast<uintptr_t>(m.LParam))));
        if (Variable(s) && index >= 0 && index < Count(s))
            s.Heights[static_cast<size_t>(index)] = height;
        else if (!Variable(s))
            s.ItemHeight = height;
        KeepIntegralHeight(s);
        InvalidateRect(s.Wnd, nullptr, true);
        UpdateScrollBar(s);
        return;
    }
    case LB_ITEMFROMPOINT: {
        const int index = ItemAtY(s, PointFromLParam(m.LParam).Y);
        const bool outside = index < 0 || index >= Count(s);
        const int nearest = std::clamp(index, 0, std::max(0, Count(s) - 1));
        m.Result = MakeLParam(static_cast<Word>(nearest), outside ? 1 : 0);
        return;
    }
    case WM_PAINT:
        Paint(s);
        return;
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        TRect client;
        GetClientRect(s.Wnd, client);
        FillRect(dc, &client, ListBrush(s, dc));
        m.Result = 1;
        return;
    }
    case WM_SIZE:
        KeepIntegralHeight(s);
        SetTop(s, s.Top);
        UpdateScrollBar(s);
        DefWindowProc(s.Wnd, m);
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        s.InFocus = m.Msg == WM_SETFOCUS;
        InvalidateItem(s, s.Selected);
        return;
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_KEYDOWN:
        KeyDown(s, static_cast<Word>(m.WParam));
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        s.Tracking = true;
        s.SelectedAtPress = s.Selected;
        SetCapture(s.Wnd);
        TrackTo(s, PointFromLParam(m.LParam));
        return;
    case WM_MOUSEMOVE:
        if (s.Tracking) TrackTo(s, PointFromLParam(m.LParam));
        return;
    case WM_LBUTTONUP:
        if (!s.Tracking) return;
        s.Tracking = false;
        if (GetCapture() == s.Wnd) ReleaseCapture();
        if (s.Selected != s.SelectedAtPress) NotifySelChange(s);
        return;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        s.Tracking = false;
        DefWindowProc(s.Wnd, m);
        return;
    case WM_MOUSEWHEEL: {
        const int rows = WheelRows(s.WheelDelta, SmallHi(m.WParam), WholeItemsFrom(s, s.Top));
        SetTop(s, s.Top - rows);
        m.Result = 0;
        return;
    }
    case WM_VSCROLL:
        VScroll(s, m.WParam);
        m.Result = 0;
        return;
    default:
        DefWindowProc(s.Wnd, m);
        return;
    }
}

void ListBoxWindowProcedure(HWND w, TMessage& m) {
    if (m.Msg == WM_NCCREATE) {
        TListBoxState& s = States()[w];
        s.Wnd = w;
        s.ScrollBar = (reinterpret_cast<const TCreateStruct*>(m.LParam)->Style & WS_VSCROLL) != 0;
        DefWindowProc(w, m);
        return;
    }
    auto it = States().find(w);
    if (it == States().end()) {
        DefWindowProc(w, m);
        return;
    }
    if (m.Msg == WM_NCDESTROY) {
        States().erase(it);
        DefWindowProc(w, m);
        return;
    }
    Handle(it->second, m);
}

} // namespace

namespace platform_ui {

void RegisterListBoxWindowClass() {
    WindowClassEntry entry;
    entry.Class.ClassName = ListBoxWindowClassName;
    entry.Class.Style = CS_DBLCLKS;
    entry.Class.WindowProcedure = ListBoxWindowProcedure;
    RegisterClassEntry(std::move(entry));
}

} // namespace platform_ui
