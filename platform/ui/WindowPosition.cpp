// Where windows are and whether they show: rectangles and coordinate
// mapping, SetWindowPos, ShowWindow with its minimised and maximised states,
// hit-testing from points, and the minimised children's slots.
#include "platform/ui/Window.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Input.h"
#include "platform/ui/NonClient.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timers.h"
#include "platform/ui/private/Cursor_p.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/QtApplication_p.h"
#include "platform/ui/private/WindowManager_p.h"
#include "platform/ui/private/Window_p.h"

#include <QApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cstring>

using namespace platform_ui;

namespace {

void PlaceChild(HWND w, const TRect& r) {
    SetWindowPos(w, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// Minimised children lie in slots from the bottom-left corner of the parent's
// client area, left to right, then row above row.
TRect IconicSlot(HWND parent, int index) {
    TRect client;
    GetClientRect(parent, client);
    const int spacingX = GetSystemMetrics(SM_CXMINSPACING), spacingY = GetSystemMetrics(SM_CYMINSPACING);
    const int perRow = std::max(1, client.Width() / spacingX);
    return Bounds((index % perRow) * spacingX, client.Bottom - (index / perRow + 1) * spacingY,
                  GetSystemMetrics(SM_CXMINIMIZED), GetSystemMetrics(SM_CYMINIMIZED));
}

bool ShownIconic(HWND w) {
    return IsLiveWindow(w) && w->Minimized && (w->Style & WS_VISIBLE);
}

// Siblings moved by hand may cover any slots; past this many the search stops
// and the window takes the slot it reached, overlapping, rather than search on.
constexpr int MaxIconicSlotsSearched = 1000;

// The first slot no other shown minimised sibling covers.
TRect FreeIconicSlot(HWND w) {
    for (int index = 0;; ++index) {
        const TRect slot = IconicSlot(w->Parent, index);
        bool taken = false;
        for (HWND sibling : w->Parent->Children) {
            TRect overlap;
            if (sibling != w && ShownIconic(sibling) && IntersectRect(overlap, slot, sibling->WindowRect)) taken = true;
        }
        if (!taken || index > MaxIconicSlotsSearched) return slot;
    }
}

// Maximises a top-level window into the work area; false when a message
// handler destroyed it meanwhile.
bool MaximizeTopLevel(HWND w, QWidget* widget) {
    // Filled here too, as no window manager may be there to do it; one that
    // is there fits the window to its frame afterwards.
    if (!w->Maximized && !w->Minimized) w->RestoreRect = w->WindowRect;
    widget->setWindowState((widget->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    if (!IsLiveWindow(w)) return false;
    const TRect area = DesktopWorkArea();
    SetWindowPos(w, nullptr, area.Left, area.Top, area.Width(), area.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    return IsLiveWindow(w);
}

} // namespace

bool GetWindowRect(HWND Wnd, TRect& Rect) {
    if (!IsLiveWindow(Wnd)) return false;
    const TPoint origin = WindowOriginOnScreen(Wnd);
    Rect = Bounds(origin.X, origin.Y, Wnd->WindowRect.Width(), Wnd->WindowRect.Height());
    return true;
}

bool GetClientRect(HWND Wnd, TRect& Rect) {
    if (!IsLiveWindow(Wnd)) return false;
    Rect = {0, 0, Wnd->ClientRect.Width(), Wnd->ClientRect.Height()};
    return true;
}

bool ClientToScreen(HWND Wnd, TPoint& Point) {
    if (!IsLiveWindow(Wnd)) return false;
    const TPoint origin = WindowOriginOnScreen(Wnd);
    Point.X += origin.X + Wnd->ClientRect.Left;
    Point.Y += origin.Y + Wnd->ClientRect.Top;
    return true;
}

bool ScreenToClient(HWND Wnd, TPoint& Point) {
    if (!IsLiveWindow(Wnd)) return false;
    const TPoint origin = WindowOriginOnScreen(Wnd);
    Point.X -= origin.X + Wnd->ClientRect.Left;
    Point.Y -= origin.Y + Wnd->ClientRect.Top;
    return true;
}

int MapWindowPoints(HWND From, HWND To, TPoint* Points, int Count) {
    TPoint offset{0, 0};
    if (From) ClientToScreen(From, offset);
    TPoint back{0, 0};
    if (To) ScreenToClient(To, back);
    const int dx = offset.X + back.X;
    const int dy = offset.Y + back.Y;
    for (int i = 0; i < Count; ++i) {
        Points[i].X += dx;
        Points[i].Y += dy;
    }
    return MakeLParam(static_cast<Word>(dx), static_cast<Word>(dy));
}

int MapWindowPoints(HWND From, HWND To, TRect& Rect) {
    TPoint points[2] = {Rect.TopLeft(), Rect.BottomRight()};
    const int result = MapWindowPoints(From, To, points, 2);
    Rect = {points[0].X, points[0].Y, points[1].X, points[1].Y};
    return result;
}

bool SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Width, int Height, UINT Flags) {
    if (!IsLiveWindow(Wnd)) return false;
    TWindowPos pos{Wnd, InsertAfter, X, Y, Width, Height, Flags};
    if (Flags & SWP_NOMOVE) {
        pos.x = Wnd->WindowRect.Left;
        pos.y = Wnd->WindowRect.Top;
    }
    if (Flags & SWP_NOSIZE) {
        pos.cx = Wnd->WindowRect.Width();
        pos.cy = Wnd->WindowRect.Height();
    }
    DispatchScope keep(Wnd);
    if (!(Flags & SWP_NOSENDCHANGING)) {
        SendMessage(Wnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        if (!IsLiveWindow(Wnd)) return false;
    }
    const TRect oldWindow = Wnd->WindowRect;
    const TRect oldClient = Wnd->ClientRect;
    const TRect newWindow = Bounds(pos.x, pos.y, std::max(pos.cx, 0), std::max(pos.cy, 0));
    const bool sized = newWindow.Width() != oldWindow.Width() || newWindow.Height() != oldWindow.Height();
    const bool moved = newWindow.TopLeft() != oldWindow.TopLeft();
    Wnd->WindowRect = newWindow;

    if (sized || (pos.flags & SWP_FRAMECHANGED)) {
        RecalculateClientRect(Wnd);
        if (!IsLiveWindow(Wnd)) return false;
        ResizeBackingImage(Wnd);
        InvalidateFrame(Wnd);
        // Newly uncovered client parts need painting; all of it for redraw classes.
        QRegion fresh(0, 0, Wnd->ClientRect.Width(), Wnd->ClientRect.Height());
        const bool redrawAll =
            (Wnd->ClassStyle & (CS_HREDRAW | CS_VREDRAW)) || oldClient.TopLeft() != Wnd->ClientRect.TopLeft();
        if (!redrawAll) fresh -= QRegion(0, 0, oldClient.Width(), oldClient.Height());
        if (!fresh.isEmpty()) {
            Wnd->Invalid += fresh;
            Wnd->EraseNeeded = true;
            ScheduleDrain();
        }
    }
    if (!(pos.flags & SWP_NOZORDER) && Wnd->IsChild() && Wnd->Parent) {
        auto& siblings = Wnd->Parent->Children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), Wnd), siblings.end());
        auto at = siblings.begin();
        if (pos.hwndInsertAfter == HWND_BOTTOM)
            at = siblings.end();
        else if (pos.hwndInsertAfter != HWND_TOP && pos.hwndInsertAfter != HWND_TOPMOST &&
                 pos.hwndInsertAfter != HWND_NOTOPMOST) {
            auto found = std::find(siblings.begin(), siblings.end(), pos.hwndInsertAfter);
            if (found != siblings.end()) at = found + 1;
        }
        siblings.insert(at, Wnd);
        StackWidgets(Wnd->Parent);
    } else if (!(pos.flags & SWP_NOZORDER) && !Wnd->IsChild()) {
        if (QWidget* widget = Wnd->Widget.data()) widget->raise();
    }
    PlaceWidget(Wnd);
    if (pos.flags & SWP_SHOWWINDOW) ShowWindow(Wnd, (pos.flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (pos.flags & SWP_HIDEWINDOW) ShowWindow(Wnd, SW_HIDE);
    if (!IsLiveWindow(Wnd)) return true;

    TWindowPos changed = pos;
    changed.x = Wnd->WindowRect.Left;
    changed.y = Wnd->WindowRect.Top;
    changed.cx = Wnd->WindowRect.Width();
    changed.cy = Wnd->WindowRect.Height();
    if (Wnd->ClientRect.Width() == oldClient.Width() && Wnd->ClientRect.Height() == oldClient.Height())
        changed.flags |= SWP_NOCLIENTSIZE;
    if (!moved && Wnd->ClientRect.TopLeft() == oldClient.TopLeft()) changed.flags |= SWP_NOCLIENTMOVE;
    if (!(Flags & SWP_NOSENDCHANGING) || sized || moved || (Flags & SWP_FRAMECHANGED))
        SendMessage(Wnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&changed));
    return true;
}

bool MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, bool Repaint) {
    return SetWindowPos(Wnd, nullptr, X, Y, Width, Height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (Repaint ? 0 : SWP_NOREDRAW));
}

bool BringWindowToTop(HWND Wnd) {
    return SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

HWND WindowFromPoint(TPoint Point) {
    const std::vector<HWND> tops = TopLevelWindows();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        HWND w = *it;
        TRect r;
        if (!(w->Style & WS_VISIBLE) || (w->ExStyle & WS_EX_TRANSPARENT) || !GetWindowRect(w, r) || !PtInRect(r, Point))
            continue;
        if (!w->Shape.isEmpty() && !w->Shape.contains(QPoint(Point.X - r.Left, Point.Y - r.Top))) continue;
        for (;;) {
            TPoint local = Point;
            ScreenToClient(w, local);
            // Children show only over their parent's client area.
            if (!PtInRect(Rect(0, 0, w->ClientRect.Width(), w->ClientRect.Height()), local)) return w;
            HWND child = nullptr;
            for (HWND c : w->Children)
                if ((c->Style & WS_VISIBLE) && !(c->ExStyle & WS_EX_TRANSPARENT) && PtInRect(c->WindowRect, local)) {
                    child = c;
                    break;
                }
            if (!child) return w;
            w = child;
        }
    }
    return nullptr;
}

bool ShowWindow(HWND Wnd, int Command) {
    if (!IsLiveWindow(Wnd)) return false;
    DispatchScope keep(Wnd);
    const bool wasVisible = (Wnd->Style & WS_VISIBLE) != 0;
    QWidget* widget = Wnd->Widget.data();
    if (Command == SW_HIDE) {
        if (!wasVisible) return false;
        SendMessage(Wnd, WM_SHOWWINDOW, 0, 0);
        if (!IsLiveWindow(Wnd)) return true;
        Wnd->Style &= ~WS_VISIBLE;
        if (widget) widget->hide();
        // Qt keeps a native window minimised by the desktop minimised when
        // it is hidden, and leaving that state later maps the window before
        // telling the desktop how (it comes back iconic or no longer
        // maximised): the native window is made afresh, not minimised, when
        // shown again. The window itself stays iconic until restored.
        if (QWindow* native = widget ? widget->windowHandle() : nullptr;
            native && !Wnd->IsChild() && (native->windowStates() & Qt::WindowMinimized)) {
            native->destroy();
            native->setWindowStates(native->windowStates() & ~Qt::WindowMinimized);
        }
        ReleaseBackingImages(Wnd);
        FocusWindowGone(Wnd);
        return true;
    }
    if (!wasVisible) {
        SendMessage(Wnd, WM_SHOWWINDOW, 1, 0);
        if (!IsLiveWindow(Wnd)) return false;
        Wnd->Style |= WS_VISIBLE;
        Wnd->Invalid = QRegion(0, 0, Wnd->ClientRect.Width(), Wnd->ClientRect.Height());
        Wnd->EraseNeeded = true;
        Wnd->FrameInvalid = true;
        // A popup without an owner (a wait window, a drop-down) is kept above
        // the window the user works in. Popups and tool windows are no
        // windows of their own to the user: the task bar leaves them out.
        if (widget && !Wnd->IsChild() && (Wnd->Parent || NeverActivated(Wnd)))
            Wnd->ShownAbove = KeepAboveOwner(widget, Wnd->Parent);
        if (widget && !Wnd->IsChild() && (NeverActivated(Wnd) || (Wnd->ExStyle & WS_EX_TOOLWINDOW)))
            KeepOffTaskBar(widget);
    }
    const bool topLevel = !Wnd->IsChild();
    switch (Command) {
    // A top-level window hears of its new state from Qt (UpdateTopLevelState);
    // a child remembers its place before and takes its new one here.
    case SW_MAXIMIZE:
        if (topLevel && widget) {
            if (!MaximizeTopLevel(Wnd, widget)) return wasVisible;
        } else if (Wnd->Parent) {
            // Maximising a maximised child fits it to its parent again.
            if (!Wnd->Maximized && !Wnd->Minimized) Wnd->RestoreRect = Wnd->WindowRect;
            Wnd->Maximized = true;
            Wnd->Minimized = false;
            PlaceChild(Wnd, MaximizedChildRect(Wnd));
        }
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        if (topLevel && widget) {
            widget->showMinimized();
        } else if (!Wnd->Minimized && Wnd->Parent) {
            if (!Wnd->Maximized) Wnd->RestoreRect = Wnd->WindowRect;
            Wnd->RestoreMaximized = Wnd->Maximized;
            Wnd->Minimized = true;
            Wnd->Maximized = false;
            PlaceChild(Wnd, FreeIconicSlot(Wnd));
        }
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        if (topLevel && widget) {
            // A minimised window comes back as it was, maximised or in its place.
            if (Wnd->Minimized && Wnd->RestoreMaximized) {
                if (!MaximizeTopLevel(Wnd, widget)) return wasVisible;
                break;
            }
            const bool unmaximize = Wnd->Maximized && !Wnd->Minimized && !IsRectEmpty(Wnd->RestoreRect);
            if (Wnd->Maximized || Wnd->Minimized) widget->showNormal();
            if (unmaximize && IsLiveWindow(Wnd)) {
                const TRect& r = Wnd->RestoreRect;
                SetWindowPos(Wnd, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
            }
        } else if (Wnd->Maximized || Wnd->Minimized) {
            // A minimised child comes back as it was, maximised or in its place.
            const bool maximize = Wnd->Minimized && Wnd->RestoreMaximized;
            Wnd->Maximized = maximize;
            Wnd->Minimized = false;
            PlaceChild(Wnd, maximize ? MaximizedChildRect(Wnd) : Wnd->RestoreRect);
        }
        break;
    default:
        break;
    }
    if (widget && !widget->isVisible()) widget->show();
    ScheduleDrain();
    const bool activate = topLevel && Command != SW_SHOWNOACTIVATE && Command != SW_SHOWNA &&
                          Command != SW_SHOWMINNOACTIVE && Command != SW_MINIMIZE && !NeverActivated(Wnd);
    if (activate && IsLiveWindow(Wnd)) SetActiveWindow(Wnd);
    return wasVisible;
}

bool IsWindowVisible(HWND Wnd) {
    for (HWND w = Wnd; w; w = w->IsChild() ? w->Parent : nullptr) {
        if (!IsLiveWindow(w) || !(w->Style & WS_VISIBLE)) return false;
        if (!w->IsChild()) break;
    }
    return Wnd != nullptr;
}

bool IsIconic(HWND Wnd) {
    return IsLiveWindow(Wnd) && Wnd->Minimized;
}
bool IsZoomed(HWND Wnd) {
    return IsLiveWindow(Wnd) && Wnd->Maximized;
}

UINT ArrangeIconicWindows(HWND Parent) {
    if (!IsLiveWindow(Parent)) return 0;
    // The oldest first: the bottom of the z-order.
    std::vector<HWND> iconic;
    for (auto it = Parent->Children.rbegin(); it != Parent->Children.rend(); ++it)
        if (ShownIconic(*it)) iconic.push_back(*it);
    int index = 0;
    for (HWND child : iconic)
        if (IsLiveWindow(child)) PlaceChild(child, IconicSlot(Parent, index++));
    return iconic.empty() ? 0 : static_cast<UINT>(GetSystemMetrics(SM_CYMINSPACING));
}
