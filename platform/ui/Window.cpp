// Windows: the class registry, creation and destruction, procedure chains,
// parents, enabling, text and properties. Positioning and visibility are in
// WindowPosition.cpp, the default window procedure in WindowDefProc.cpp. A
// window object outlives DestroyWindow while one of its messages is still
// being handled, so handlers may destroy their own window.
#include "platform/ui/Window.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Input.h"
#include "platform/ui/Monitors.h"
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
#include <QWindow>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

using namespace platform_ui;

namespace {

struct Registry {
    std::map<std::string, WindowClassEntry> Classes; // keys upper-cased
    std::unordered_set<HWND> Live;
    std::vector<HWND> TopLevel; // creation order
    std::unordered_map<HWND, int> DispatchDepth;
    std::unordered_set<HWND> DeletePending;
    std::unordered_map<const QWidget*, HWND> WidgetWindows;
    TWindowProcedureId NextProcedureId = 1;
    std::vector<QPointer<QWidget>> RetiredWidgets;
    int QtEventDepth = 0;
};

Registry& Reg() {
    static Registry registry;
    return registry;
}

constexpr char MessageWindowClass[] = "CorvantaMessageWindow";

void EnsureBuiltinClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    WindowClassEntry staticClass;
    staticClass.Class.ClassName = "STATIC";
    RegisterClassEntry(staticClass);
    WindowClassEntry messageClass;
    messageClass.Class.ClassName = MessageWindowClass;
    RegisterClassEntry(messageClass);
    RegisterEditWindowClass();
    RegisterListBoxWindowClass();
}


QWidget* ParentWidgetFor(HWND w) {
    HWND parent = w->Parent;
    if (!parent || !IsLiveWindow(parent)) return nullptr;
    return parent->Widget.data();
}

// What of the widget shows: the window's shape, and for a child no more than
// lies over its parent's client area (a maximised MDI child's frame and title
// bar lie beyond it, over the parent's border otherwise).
void UpdateWidgetMask(HWND w) {
    QWidget* widget = w->Widget.data();
    if (!widget) return;
    const QRect whole(0, 0, w->WindowRect.Width(), w->WindowRect.Height());
    QRegion shown = w->Shape.isEmpty() ? QRegion(whole) : w->Shape;
    if (w->IsChild() && w->Parent) {
        const TRect& client = w->Parent->ClientRect;
        shown &= QRect(-w->WindowRect.Left, -w->WindowRect.Top, client.Width(), client.Height());
    }
    if (shown == QRegion(whole)) {
        if (!widget->mask().isEmpty()) widget->clearMask();
    } else if (widget->mask() != shown) {
        widget->setMask(shown);
    }
}

// A fixed size tells the desktop not to size a window. One with a maximise
// box stays free, as the desktop cannot maximise a window of fixed size.
bool DesktopSizable(HWND w) {
    return w->IsChild() || NeverActivated(w) || (w->Style & (WS_THICKFRAME | WS_MAXIMIZEBOX));
}

// Puts the widget where the window is: children relative to the parent's
} // namespace

namespace platform_ui {

// Puts the widget where the window is: children relative to the parent's
// window rectangle (whose widget covers the whole window, frame included).
void PlaceWidget(HWND w) {
    QWidget* widget = w->Widget.data();
    if (!widget) return;
    QRect r(w->WindowRect.Left, w->WindowRect.Top, w->WindowRect.Width(), w->WindowRect.Height());
    if (w->IsChild() && w->Parent) r.translate(w->Parent->ClientRect.Left, w->Parent->ClientRect.Top);
    if (!DesktopSizable(w)) widget->setFixedSize(r.size());
    if (widget->geometry() != r) widget->setGeometry(r);
    UpdateWidgetMask(w);
}

void StackWidgets(HWND parent) {
    // Qt's stacking order is bottom first; ours is top first.
    for (auto it = parent->Children.rbegin(); it != parent->Children.rend(); ++it)
        if (QWidget* widget = (*it)->Widget.data()) widget->raise();
}

DispatchScope::DispatchScope(HWND w) : Wnd(w) {
    ++Reg().DispatchDepth[w];
}

DispatchScope::~DispatchScope() {
    auto& reg = Reg();
    if (--reg.DispatchDepth[Wnd] == 0) {
        reg.DispatchDepth.erase(Wnd);
        if (reg.DeletePending.erase(Wnd))
            delete Wnd;
        else
            Wnd->RemovedBelow.clear(); // no procedure of it runs now to pass a message on
    }
}

} // namespace platform_ui

namespace {

void SendDestroyMessages(HWND w) {
    SendMessage(w, WM_DESTROY, 0, 0);
    const std::vector<HWND> children = w->Children;
    for (HWND child : children)
        if (IsLiveWindow(child)) SendDestroyMessages(child);
}

void FreeWindow(HWND w) {
    const std::vector<HWND> children = w->Children;
    for (HWND child : children)
        if (IsLiveWindow(child)) FreeWindow(child);
    SendMessage(w, WM_NCDESTROY, 0, 0);
    WindowDestroyed(w);
    auto& reg = Reg();
    if (w->IsChild() && w->Parent && IsLiveWindow(w->Parent)) {
        auto& siblings = w->Parent->Children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
    }
    reg.TopLevel.erase(std::remove(reg.TopLevel.begin(), reg.TopLevel.end(), w), reg.TopLevel.end());
    reg.Live.erase(w);
    if (QWidget* widget = w->Widget.data()) {
        reg.WidgetWindows.erase(widget);
        widget->hide();
        widget->setParent(nullptr);
        reg.RetiredWidgets.emplace_back(widget);
    }
    w->Widget.clear();
    if (reg.DispatchDepth.count(w))
        reg.DeletePending.insert(w);
    else
        delete w;
}

void NotifyWidgetCreated(HWND w, QWidget* widget) {
    w->Widget = widget;
    Reg().WidgetWindows[widget] = w;
}

// Sends WM_WINDOWPOSCHANGED's consequences.
bool NeverActivatedStyle(DWORD style, DWORD exStyle) {
    const bool popup = (style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION;
    return popup || (exStyle & WS_EX_NOACTIVATE);
}

void ApplyTopLevelFlags(HWND w, QWidget* widget) {
    widget->setWindowFlags(DesktopWindowFlags(w->Style, w->ExStyle, w->Parent != nullptr));
    // Popups never take the activation from their owner.
    widget->setAttribute(Qt::WA_ShowWithoutActivating, NeverActivated(w));
}

// A child's new place after a change of state, whose frame differs too.
} // namespace

namespace platform_ui {

bool IsLiveWindow(HWND Wnd) {
    return Wnd && Reg().Live.count(Wnd) != 0;
}

std::vector<HWND> TopLevelWindows() {
    return Reg().TopLevel;
}

const WindowClassEntry* FindWindowClass(const std::string& ClassName) {
    EnsureBuiltinClasses();
    auto& classes = Reg().Classes;
    auto it = classes.find(UpperCase(ClassName));
    return it == classes.end() ? nullptr : &it->second;
}

bool RegisterClassEntry(WindowClassEntry Entry) {
    auto& classes = Reg().Classes;
    const std::string key = UpperCase(Entry.Class.ClassName);
    if (key.empty() || classes.count(key)) return false;
    classes.emplace(key, std::move(Entry));
    return true;
}

TPoint WindowOriginOnScreen(HWND Wnd) {
    if (!Wnd->IsChild() || !Wnd->Parent) return Wnd->WindowRect.TopLeft();
    TPoint parent = WindowOriginOnScreen(Wnd->Parent);
    return {parent.X + Wnd->Parent->ClientRect.Left + Wnd->WindowRect.Left,
            parent.Y + Wnd->Parent->ClientRect.Top + Wnd->WindowRect.Top};
}

bool RecalculateClientRect(HWND Wnd) {
    TNCCalcSizeParams params;
    params.rgrc[0] = Wnd->WindowRect;
    SendMessage(Wnd, WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&params));
    if (!IsLiveWindow(Wnd)) return false;
    TRect client = params.rgrc[0];
    // Keep the client inside the window, and never inverted.
    client.Left = std::clamp(client.Left, Wnd->WindowRect.Left, Wnd->WindowRect.Right);
    client.Top = std::clamp(client.Top, Wnd->WindowRect.Top, Wnd->WindowRect.Bottom);
    client.Right = std::clamp(client.Right, client.Left, Wnd->WindowRect.Right);
    client.Bottom = std::clamp(client.Bottom, client.Top, Wnd->WindowRect.Bottom);
    OffsetRect(client, -Wnd->WindowRect.Left, -Wnd->WindowRect.Top);
    const bool sizeChanged = client.Width() != Wnd->ClientRect.Width() || client.Height() != Wnd->ClientRect.Height();
    const bool moved = client.TopLeft() != Wnd->ClientRect.TopLeft();
    Wnd->ClientRect = client;
    if (moved || sizeChanged) {
        for (HWND child : Wnd->Children)
            PlaceWidget(child);
        if (QWidget* widget = Wnd->ClientWidget.data())
            widget->setGeometry(client.Left, client.Top, client.Width(), client.Height());
    }
    return sizeChanged;
}

QtEventScope::QtEventScope() {
    ++Reg().QtEventDepth;
}
QtEventScope::~QtEventScope() {
    --Reg().QtEventDepth;
}

void DeleteRetiredWidgets() {
    auto& reg = Reg();
    if (reg.QtEventDepth > 0 || !reg.DispatchDepth.empty() || reg.RetiredWidgets.empty()) return;
    std::vector<QPointer<QWidget>> retired;
    retired.swap(reg.RetiredWidgets);
    for (const QPointer<QWidget>& widget : retired)
        delete widget.data();
}

QWidget* WidgetOfWindow(HWND Wnd) {
    return IsLiveWindow(Wnd) ? Wnd->Widget.data() : nullptr;
}

HWND WindowOfWidget(const QWidget* Widget) {
    auto& map = Reg().WidgetWindows;
    for (const QWidget* w = Widget; w; w = w->parentWidget()) {
        auto it = map.find(w);
        if (it != map.end()) return it->second;
        // A Qt window of its own (a combo box's list, a standard context menu,
        // a file dialog) belongs to Qt, not to the window that opened it.
        if (w->isWindow()) return nullptr;
    }
    return nullptr;
}

bool NeverActivated(HWND Wnd) {
    return NeverActivatedStyle(Wnd->Style, Wnd->ExStyle);
}

Qt::WindowFlags DesktopWindowFlags(DWORD Style, DWORD ExStyle, bool Owned) {
    Qt::WindowFlags flags;
    if (NeverActivatedStyle(Style, ExStyle)) {
        flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    } else {
        flags = (ExStyle & WS_EX_TOOLWINDOW) ? Qt::Tool : Owned ? Qt::Dialog : Qt::Window;
        // Only the hints below, not the desktop's defaults for the window type.
        flags |= Qt::CustomizeWindowHint;
        if ((Style & WS_CAPTION) == WS_CAPTION)
            flags |= Qt::WindowTitleHint;
        else
            flags |= Qt::FramelessWindowHint;
        if (Style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (Style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
        if (Style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
    }
    if (ExStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
    // The pointer passes through to whatever lies below.
    if (ExStyle & WS_EX_TRANSPARENT) flags |= Qt::WindowTransparentForInput;
    return flags;
}

HWND KeepAboveOwner(QWidget* Widget, HWND Owner) {
    HWND above = IsWindowVisible(Owner) ? GetAncestorTopLevel(Owner) : nullptr;
    if (!above || NeverActivated(above)) above = GetActiveWindow();
    // Never above itself or a window that it owns.
    const HWND self = WindowOfWidget(Widget);
    for (HWND w = above; w; w = w->Parent)
        if (w == self) {
            above = nullptr;
            break;
        }
    QWidget* ownerWidget = IsLiveWindow(above) ? above->Widget.data() : nullptr;
    Widget->winId();
    if (QWindow* window = Widget->windowHandle())
        window->setTransientParent(ownerWidget ? ownerWidget->windowHandle() : nullptr);
    return ownerWidget ? above : nullptr;
}

TRect DesktopWorkArea() {
    MONITORINFO info;
    if (GetMonitorInfo(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), info)) return info.rcWork;
    return Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

} // namespace platform_ui

bool RegisterClass(const TWindowClass& WindowClass) {
    EnsureBuiltinClasses();
    WindowClassEntry entry;
    entry.Class = WindowClass;
    return RegisterClassEntry(std::move(entry));
}

bool UnregisterClass(const std::string& ClassName) {
    return Reg().Classes.erase(UpperCase(ClassName)) != 0;
}

bool GetClassInfo(const std::string& ClassName, TWindowClass& WindowClass) {
    const WindowClassEntry* entry = FindWindowClass(ClassName);
    if (!entry) return false;
    WindowClass = entry->Class;
    return true;
}

std::string GetClassName(HWND Wnd) {
    return IsLiveWindow(Wnd) ? Wnd->ClassName : std::string();
}

HWND CreateWindowEx(DWORD ExStyle, const std::string& ClassName, const std::string& WindowName, DWORD Style, int X,
                    int Y, int Width, int Height, HWND Parent, intptr_t Id, TWindowProcedure WindowProcedure,
                    void* CreateParams) {
    EnsureQtApplication();
    EnsureInputFilter();
    const WindowClassEntry* cls = FindWindowClass(ClassName);
    if (!cls) return nullptr;
    const bool messageOnly = Parent == HWND_MESSAGE;
    if (messageOnly) Parent = nullptr;
    if ((Style & WS_CHILD) && !IsLiveWindow(Parent)) return nullptr;
    if (Parent && !IsLiveWindow(Parent)) return nullptr;
    if (X == CW_USEDEFAULT) X = Y = 100;
    if (Width == CW_USEDEFAULT) {
        Width = 400;
        Height = 300;
    }

    HWND w = new PlatformWindow;
    w->ClassName = cls->Class.ClassName;
    w->ClassStyle = cls->Class.Style;
    w->ClassBackground = cls->Class.Background;
    w->ClassCursor = cls->Class.Cursor;
    w->Native = static_cast<bool>(cls->NativeFactory);
    w->MessageOnly = messageOnly;
    w->Style = Style & ~WS_VISIBLE;
    w->ExStyle = ExStyle;
    w->Id = Id;
    w->Parent = Parent;
    w->WindowRect = Bounds(X, Y, std::max(Width, 0), std::max(Height, 0));
    w->ClientRect = {0, 0, w->WindowRect.Width(), w->WindowRect.Height()};
    auto& reg = Reg();
    reg.Live.insert(w);
    if (w->IsChild())
        Parent->Children.insert(Parent->Children.begin(), w);
    else if (!messageOnly)
        reg.TopLevel.push_back(w);
    const TWindowProcedure classProcedure = cls->Class.WindowProcedure;
    PushWindowProc(
        w, classProcedure ? classProcedure : [](HWND h, TMessage& m) { DefWindowProc(h, m); });
    if (WindowProcedure) PushWindowProc(w, std::move(WindowProcedure));

    TCreateStruct create;
    create.CreateParams = CreateParams;
    create.Id = Id;
    create.Parent = Parent;
    create.x = X;
    create.y = Y;
    create.cx = Width;
    create.cy = Height;
    create.Style = Style;
    create.Name = WindowName;
    create.ClassName = ClassName;
    create.ExStyle = ExStyle;

    if (!messageOnly) {
        QWidget* parentWidget = ParentWidgetFor(w);
        QWidget* widget = w->Native ? cls->NativeFactory(w, create) : CreateWindowWidget(w, nullptr);
        if (!widget) {
            FreeWindow(w);
            return nullptr;
        }
        NotifyWidgetCreated(w, widget);
        if (w->Native) AttachPaintOverlay(w, widget);
        // A top-level window's parent widget is its owner, which keeps it above.
        widget->setParent(parentWidget);
        if (!w->IsChild()) ApplyTopLevelFlags(w, widget);
        // Hidden explicitly, so it does not show with its parent before WS_VISIBLE says so.
        widget->setVisible(false);
    }

    DispatchScope keep(w);
    if (SendMessage(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == 0 || !IsLiveWindow(w)) {
        if (IsLiveWindow(w)) DestroyWindow(w);
        return nullptr;
    }
    RecalculateClientRect(w);
    if (!IsLiveWindow(w)) return nullptr;
    PlaceWidget(w);
    if (w->IsChild()) StackWidgets(Parent);
    w->Invalid = QRegion(0, 0, w->ClientRect.Width(), w->ClientRect.Height());
    w->EraseNeeded = true;
    w->FrameInvalid = true;
    if (SendMessage(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1 || !IsLiveWindow(w)) {
        if (IsLiveWindow(w)) DestroyWindow(w);
        return nullptr;
    }
    // A new window learns its size, then its place.
    SendMessage(w, WM_SIZE, SIZE_RESTORED,
                MakeLParam(static_cast<Word>(w->ClientRect.Width()), static_cast<Word>(w->ClientRect.Height())));
    if (!IsLiveWindow(w)) return nullptr;
    SendMessage(w, WM_MOVE, 0,
                MakeLParam(static_cast<Word>(w->WindowRect.Left + w->ClientRect.Left),
                           static_cast<Word>(w->WindowRect.Top + w->ClientRect.Top)));
    if (!IsLiveWindow(w)) return nullptr;
    if (Style & WS_VISIBLE) {
        const int command = (Style & WS_MAXIMIZE)   ? SW_SHOWMAXIMIZED
                            : (Style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                                                    : SW_SHOW;
        ShowWindow(w, command);
    }
    return IsLiveWindow(w) ? w : nullptr;
}

bool DestroyWindow(HWND Wnd) {
    if (!IsLiveWindow(Wnd) || Wnd->Destroying) return false;
    DispatchScope keep(Wnd);
    Wnd->Destroying = true;
    // Owned windows go first, as on Win32, where a child's popups are owned
    // by its top-level window: those a child window owns go too.
    for (HWND owned : TopLevelWindows()) {
        if (IsLiveWindow(owned) && (owned->Parent == Wnd || IsChild(Wnd, owned->Parent))) DestroyWindow(owned);
        if (IsLiveWindow(owned) && owned->ShownAbove == Wnd) owned->ShownAbove = nullptr;
    }
    if (Wnd->Style & WS_VISIBLE) {
        Wnd->Style &= ~WS_VISIBLE;
        if (QWidget* widget = Wnd->Widget.data()) widget->hide();
    }
    FocusWindowGone(Wnd);
    SendDestroyMessages(Wnd);
    if (IsLiveWindow(Wnd)) FreeWindow(Wnd);
    return true;
}

bool IsWindow(HWND Wnd) {
    return IsLiveWindow(Wnd);
}

HWND AllocateHWnd(TWindowProcedure Procedure) {
    EnsureBuiltinClasses();
    return CreateWindowEx(0, MessageWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, 0, std::move(Procedure));
}

void DeallocateHWnd(HWND Wnd) {
    DestroyWindow(Wnd);
}

TWindowProcedureId PushWindowProc(HWND Wnd, TWindowProcedure Procedure) {
    if (!IsLiveWindow(Wnd) || !Procedure) return 0;
    const TWindowProcedureId id = Reg().NextProcedureId++;
    Wnd->Procedures.push_back({id, std::move(Procedure)});
    return id;
}

bool RemoveWindowProc(HWND Wnd, TWindowProcedureId Id) {
    if (!IsLiveWindow(Wnd)) return false;
    auto& chain = Wnd->Procedures;
    for (size_t i = 0; i < chain.size(); ++i) {
        if (chain[i].Id != Id) continue;
        // A procedure removed while a message of the window runs may still
        // pass that message on; the note goes when the last message ends.
        if (Reg().DispatchDepth.count(Wnd)) Wnd->RemovedBelow[Id] = i > 0 ? chain[i - 1].Id : 0;
        chain.erase(chain.begin() + static_cast<std::ptrdiff_t>(i));
        return true;
    }
    return false;
}

void CallNextWindowProc(HWND Wnd, TWindowProcedureId Id, TMessage& Message) {
    if (!IsLiveWindow(Wnd) && !Reg().DispatchDepth.count(Wnd)) return;
    DispatchScope keep(Wnd);
    auto find = [&](TWindowProcedureId id) -> std::ptrdiff_t {
        const auto& chain = Wnd->Procedures;
        for (size_t i = 0; i < chain.size(); ++i)
            if (chain[i].Id == id) return static_cast<std::ptrdiff_t>(i);
        return -1;
    };
    std::ptrdiff_t at = find(Id);
    if (at >= 0) {
        if (at == 0)
            DefWindowProc(Wnd, Message);
        else {
            const TWindowProcedure next = Wnd->Procedures[static_cast<size_t>(at - 1)].Procedure;
            next(Wnd, Message);
        }
        return;
    }
    // Id has left the chain: the procedure that was below it comes next (or,
    // when that one has left as well, the one below that).
    // Each link leads to a procedure pushed earlier, so the walk ends; the cap
    // keeps a damaged link table from hanging the message.
    constexpr int MaxRemovedLinksFollowed = 1000;
    TWindowProcedureId candidate = Id;
    for (int followed = 0; followed < MaxRemovedLinksFollowed; ++followed) {
        auto removed = Wnd->RemovedBelow.find(candidate);
        if (removed == Wnd->RemovedBelow.end() || removed->second == 0) break;
        candidate = removed->second;
        at = find(candidate);
        if (at >= 0) {
            const TWindowProcedure next = Wnd->Procedures[static_cast<size_t>(at)].Procedure;
            next(Wnd, Message);
            return;
        }
    }
    DefWindowProc(Wnd, Message);
}

namespace platform_ui {
// The procedure at the top of the chain gets the message.
void DeliverToChain(HWND Wnd, TMessage& Message) {
    DispatchScope keep(Wnd);
    if (Wnd->Procedures.empty()) {
        DefWindowProc(Wnd, Message);
        return;
    }
    const TWindowProcedure top = Wnd->Procedures.back().Procedure;
    top(Wnd, Message);
}
} // namespace platform_ui

LONG_PTR GetWindowLong(HWND Wnd, int Index) {
    if (!IsLiveWindow(Wnd)) return 0;
    switch (Index) {
    case GWL_STYLE:
        return static_cast<LONG_PTR>(Wnd->Style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(Wnd->ExStyle);
    case GWL_ID:
        return Wnd->Id;
    case GWL_USERDATA:
        return Wnd->UserData;
    case GWL_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(Wnd->Parent);
    default:
        return 0;
    }
}

LONG_PTR SetWindowLong(HWND Wnd, int Index, LONG_PTR Value) {
    if (!IsLiveWindow(Wnd)) return 0;
    const LONG_PTR previous = GetWindowLong(Wnd, Index);
    switch (Index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        TStyleStruct change{static_cast<DWORD>(previous), static_cast<DWORD>(Value)};
        SendMessage(Wnd, WM_STYLECHANGING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&change));
        if (!IsLiveWindow(Wnd)) return previous;
        if (Index == GWL_STYLE) {
            // Visibility changes only through ShowWindow.
            Wnd->Style = (change.styleNew & ~WS_VISIBLE) | (Wnd->Style & WS_VISIBLE);
        } else {
            Wnd->ExStyle = change.styleNew;
        }
        SendMessage(Wnd, WM_STYLECHANGED, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&change));
        break;
    }
    case GWL_ID:
        Wnd->Id = Value;
        break;
    case GWL_USERDATA:
        Wnd->UserData = Value;
        break;
    case GWL_HWNDPARENT:
        if (!Wnd->IsChild()) Wnd->Parent = reinterpret_cast<HWND>(Value);
        break;
    default:
        return 0;
    }
    return previous;
}

bool EnableWindow(HWND Wnd, bool Enable) {
    if (!IsLiveWindow(Wnd)) return false;
    const bool wasDisabled = (Wnd->Style & WS_DISABLED) != 0;
    if (Enable == !wasDisabled) return wasDisabled;
    DispatchScope keep(Wnd);
    if (Enable) {
        Wnd->Style &= ~WS_DISABLED;
        if (Wnd->Native)
            if (QWidget* widget = Wnd->Widget.data()) widget->setEnabled(true);
        SendMessage(Wnd, WM_ENABLE, 1, 0);
    } else {
        SendMessage(Wnd, WM_CANCELMODE, 0, 0);
        if (!IsLiveWindow(Wnd)) return false;
        Wnd->Style |= WS_DISABLED;
        // A disabled window can hold neither the focus nor the capture.
        if (GetFocus() == Wnd) SetFocus(nullptr);
        if (GetCapture() == Wnd) ReleaseCapture();
        if (Wnd->Native)
            if (QWidget* widget = Wnd->Widget.data()) widget->setEnabled(false);
        SendMessage(Wnd, WM_ENABLE, 0, 0);
    }
    return wasDisabled;
}

bool IsWindowEnabled(HWND Wnd) {
    return IsLiveWindow(Wnd) && !(Wnd->Style & WS_DISABLED);
}

HWND GetParent(HWND Wnd) {
    if (!IsLiveWindow(Wnd)) return nullptr;
    return IsLiveWindow(Wnd->Parent) ? Wnd->Parent : nullptr;
}

HWND SetParent(HWND Wnd, HWND NewParent) {
    if (!IsLiveWindow(Wnd) || (NewParent && !IsLiveWindow(NewParent)) || NewParent == Wnd) return nullptr;
    HWND old = Wnd->Parent;
    auto& reg = Reg();
    if (Wnd->IsChild() && old) {
        auto& siblings = old->Children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), Wnd), siblings.end());
    }
    reg.TopLevel.erase(std::remove(reg.TopLevel.begin(), reg.TopLevel.end(), Wnd), reg.TopLevel.end());
    Wnd->Parent = NewParent;
    QWidget* widget = Wnd->Widget.data();
    const bool visible = (Wnd->Style & WS_VISIBLE) != 0;
    if (NewParent) {
        Wnd->Style = (Wnd->Style | WS_CHILD) & ~WS_POPUP;
        NewParent->Children.insert(NewParent->Children.begin(), Wnd);
        if (widget) {
            widget->setParent(NewParent->Widget.data());
            widget->setWindowFlags(Qt::Widget);
        }
    } else {
        Wnd->Style &= ~WS_CHILD;
        reg.TopLevel.push_back(Wnd);
        if (widget) {
            widget->setParent(nullptr);
            ApplyTopLevelFlags(Wnd, widget);
        }
    }
    PlaceWidget(Wnd);
    if (widget) widget->setVisible(visible);
    if (NewParent) StackWidgets(NewParent);
    return old;
}

HWND GetWindow(HWND Wnd, UINT Relation) {
    if (!IsLiveWindow(Wnd)) return nullptr;
    if (Relation == GW_CHILD) return Wnd->Children.empty() ? nullptr : Wnd->Children.front();
    if (Relation == GW_OWNER) return Wnd->IsChild() ? nullptr : GetParent(Wnd);
    std::vector<HWND> siblings;
    if (Wnd->IsChild() && Wnd->Parent)
        siblings = Wnd->Parent->Children;
    else {
        siblings = TopLevelWindows();
        std::reverse(siblings.begin(), siblings.end());
    }
    if (siblings.empty()) return nullptr;
    auto it = std::find(siblings.begin(), siblings.end(), Wnd);
    switch (Relation) {
    case GW_HWNDFIRST:
        return siblings.front();
    case GW_HWNDLAST:
        return siblings.back();
    case GW_HWNDNEXT:
        return (it == siblings.end() || it + 1 == siblings.end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return (it == siblings.end() || it == siblings.begin()) ? nullptr : *(it - 1);
    default:
        return nullptr;
    }
}

bool IsChild(HWND Parent, HWND Wnd) {
    if (!IsLiveWindow(Parent) || !IsLiveWindow(Wnd)) return false;
    for (HWND w = Wnd; w && w->IsChild(); w = w->Parent)
        if (w->Parent == Parent) return true;
    return false;
}

HWND GetAncestorTopLevel(HWND Wnd) {
    if (!IsLiveWindow(Wnd)) return nullptr;
    HWND w = Wnd;
    while (w->IsChild() && w->Parent)
        w = w->Parent;
    return w;
}

namespace {
bool EnumChildren(HWND Parent, const std::function<bool(HWND)>& Callback) {
    const std::vector<HWND> children = Parent->Children;
    for (HWND child : children) {
        if (!IsLiveWindow(child)) continue;
        if (!Callback(child)) return false;
        if (IsLiveWindow(child) && !EnumChildren(child, Callback)) return false;
    }
    return true;
}
} // namespace

void EnumChildWindows(HWND Parent, const std::function<bool(HWND)>& Callback) {
    if (IsLiveWindow(Parent)) EnumChildren(Parent, Callback);
}

void EnumWindows(const std::function<bool(HWND)>& Callback) {
    for (HWND w : TopLevelWindows())
        if (IsLiveWindow(w) && !Callback(w)) return;
}

HWND FindWindow(const std::string& ClassName, const std::string& WindowName) {
    for (HWND w : TopLevelWindows()) {
        if (!IsLiveWindow(w) || w->Destroying) continue;
        if (!ClassName.empty() && UpperCase(ClassName) != UpperCase(w->ClassName)) continue;
        if (!WindowName.empty() && WindowName != w->Text) continue;
        return w;
    }
    return nullptr;
}

int SetWindowRgn(HWND Wnd, HRGN Region, bool Redraw) {
    if (!IsLiveWindow(Wnd)) return 0;
    if (Region) {
        Wnd->Shape = RegionOf(Region);
        DeleteObject(Region);
    } else {
        Wnd->Shape = QRegion();
    }
    UpdateWidgetMask(Wnd);
    if (Redraw) InvalidateFrame(Wnd);
    return 1;
}

bool SetWindowText(HWND Wnd, const std::string& Text) {
    if (!IsLiveWindow(Wnd)) return false;
    return SendMessage(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str())) != 0;
}

std::string GetWindowText(HWND Wnd) {
    if (!IsLiveWindow(Wnd)) return {};
    const LRESULT length = SendMessage(Wnd, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessage(Wnd, WM_GETTEXT, static_cast<WPARAM>(buffer.size()), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return buffer;
}
