// The window manager's own state, shared by its .cpp files: the platform window
// object behind an HWND, the window registry, and the steps one part of the
// manager asks of another (queueing, painting, non-client layout).
#pragma once

#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/Window.h"
#include "platform/ui/private/WindowHost_p.h"

#include <QImage>
#include <QInputDevice>
#include <QPointer>
#include <QPointingDevice>
#include <QRegion>
#include <QWidget>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class QLabel;

namespace platform_ui {

struct ScrollBarState {
    int Min = 0;
    int Max = 0;
    int Page = 0;
    int Pos = 0;
    int TrackPos = 0;
    bool Tracking = false;
    UINT DisabledArrows = 0; // ESB_ bits
};

struct WindowClassEntry {
    TWindowClass Class;
    TNativeWidgetFactory NativeFactory; // set for native classes
};

} // namespace platform_ui

struct PlatformWindow {
    struct ProcedureEntry {
        TWindowProcedureId Id = 0;
        TWindowProcedure Procedure;
    };

    std::string ClassName;
    UINT ClassStyle = 0;
    HBRUSH ClassBackground = nullptr;
    HCURSOR ClassCursor = nullptr;
    bool Native = false;
    bool MessageOnly = false;

    DWORD Style = 0;
    DWORD ExStyle = 0;
    intptr_t Id = 0;
    LONG_PTR UserData = 0;
    HWND Parent = nullptr;      // parent of a child, owner of a top-level window
    std::vector<HWND> Children; // z-order, top first
    std::string Text;

    std::vector<ProcedureEntry> Procedures; // bottom first
    std::map<TWindowProcedureId, TWindowProcedureId> RemovedBelow;

    TRect WindowRect{};        // parent client coordinates (screen for top-level windows)
    TRect ClientRect{};        // window coordinates
    TRect RestoreRect{};       // a maximised or minimised window's place before
    HWND ShownAbove = nullptr; // top-level: the window the desktop keeps it above (see KeepAboveOwner)
    bool Maximized = false;
    bool Minimized = false;
    bool RestoreMaximized = false; // a minimised window that was maximised before
    bool CaptionActive = false;    // WM_NCACTIVATE's state
    int PushedButton = 0;          // the frame button drawn pushed (HTNOWHERE: none)
    bool Destroying = false;

    QPointer<QWidget> Widget;
    // A Qt widget that shows the client area of a self-painting window and
    // takes its input (see SetClientWidget); the frame stays the image's.
    QPointer<QWidget> ClientWidget;
    QImage Image;    // self-painting windows: the whole window rectangle, null until it draws and when hidden
    // Native windows: what window procedures draw over the widget, shown by a
    // widget on top of it (see AttachPaintOverlay).
    QPointer<QWidget> Overlay;
    QImage OverlayImage;
    bool OverlayPainting = false; // WM_PAINT follows the widget's own paint
    bool OverlayDrawnByDC = false; // only a GetDC drawing is to be shown
    QRegion Invalid; // client coordinates
    bool EraseNeeded = false;
    bool FrameInvalid = false;
    bool RedrawDisabled = false;

    platform_ui::ScrollBarState HorzBar;
    platform_ui::ScrollBarState VertBar;
    bool FlatScrollBars = false;
    int FlatHorzStyle = 0;
    int FlatVertStyle = 0;

    QRegion Shape; // SetWindowRgn, window coordinates; empty: the whole rectangle

    bool InputMethodDisabled = false; // SetInputMethodEnabled

    bool IsChild() const { return (Style & WS_CHILD) != 0; }
    bool SelfPainting() const { return !Native && !MessageOnly; }
    // A Qt widget edits for the window: it shows its own pre-edit and answers
    // the input method itself.
    bool WidgetTakesInput() const { return Native || ClientWidget; }
};

namespace platform_ui {

// Popups (WS_POPUP without a caption: drop-down lists, hints) and
// WS_EX_NOACTIVATE windows never take the activation; every other top-level
// window does, dialog forms included.
bool NeverActivated(HWND Wnd);
// The desktop window flags that give a top-level window of these styles its
// decorations: a title bar with the buttons WS_SYSMENU, WS_MINIMIZEBOX and
// WS_MAXIMIZEBOX ask for, none for popups. An owned window is a dialog to the
// desktop (a tool window when WS_EX_TOOLWINDOW), so it can stay above its owner.
Qt::WindowFlags DesktopWindowFlags(DWORD Style, DWORD ExStyle, bool Owned);
// Makes Widget (a top-level window of ours or a Qt dialog) transient for the
// window that owns it, so the desktop keeps it above: Owner's top-level window
// when it shows and can be active, else the active window (the application's
// window owns the forms, and the desktop never sees it). Answers the window
// chosen, or null.
HWND KeepAboveOwner(QWidget* Widget, HWND Owner);
// Keeps a window that is about to show (a popup, a tool window) off the
// desktop's task bar and pager.
void KeepOffTaskBar(QWidget* Widget);
// After a Qt dialog of its own closes, the desktop's activation goes back to
// the platform's active window (the one that opened the dialog).
void QtDialogClosed();
// The screen's area that is not taken by panels (the whole screen without a
// window manager); a maximised top-level window fills it.
TRect DesktopWorkArea();

// Registers the edit window's class (EditWindow.h), one of the built-in ones.
void RegisterEditWindowClass();
// Registers the owner-drawn list box window's class (ListBoxWindow.h).
void RegisterListBoxWindowClass();

// The registry of live windows.
bool IsLiveWindow(HWND Wnd);
std::vector<HWND> TopLevelWindows(); // creation order, message-only excluded
const WindowClassEntry* FindWindowClass(const std::string& ClassName);
bool RegisterClassEntry(WindowClassEntry Entry);

// Window coordinates -> screen.
TPoint WindowOriginOnScreen(HWND Wnd);
// Recomputes the client rectangle with WM_NCCALCSIZE; true when it changed size.
bool RecalculateClientRect(HWND Wnd);
// Sizes the backing image to the window rectangle, keeping the old pixels; a
// window that holds none yet gets its image when it first draws.
void ResizeBackingImage(HWND Wnd);
// A window that hides gives back its image and those of its children, which no
// longer show; each is painted in full when it shows again.
void ReleaseBackingImages(HWND Wnd);

// The keyboard (and mouse buttons) as a piece of input left them. GetKeyState
// answers with the state of the input read last: it keeps step with the
// messages, not with the keys pressed since, so a shortcut let go before its
// key-down is read is still that shortcut. GetAsyncKeyState answers with now.
using KeyboardState = std::array<uint8_t, 256>;
void KeyboardRead(const KeyboardState& Keyboard);

// The queue.
struct QueuedMessage {
    TMsg Msg;
    uint64_t KeyGroup = 0; // key-down and the characters it produced
    WPARAM MouseKeys = 0;  // mouse input: the MK_ flags, which a non-client message does not carry
    // The desktop's input (never a posted message): the keyboard as it left it.
    std::optional<KeyboardState> Keyboard;
};
void EnqueueMessage(const QueuedMessage& Message);
// Drops the pending messages of a window (on destruction), or of one timer.
void DropQueuedMessages(HWND Wnd);
void DropQueuedTimer(HWND Wnd, UINT_PTR Id);
bool HasQueuedTimer(HWND Wnd, UINT_PTR Id);
// Mouse input queued before Capture took the mouse goes to Capture, as client
// messages: input belongs to the window that holds the capture when it is
// read (the release of the click that started a capture among it). Posted
// messages keep their window and point.
void RetargetQueuedMouseInput(HWND Capture);
// Whether the message being handled came from the queue (else it was sent).
bool CurrentMessageWasPosted();
// Input arrives: dispatched at once unless a GetMessage/PeekMessage loop is
// pumping Qt events, in which case it waits for that loop.
void InputQueued();
// Asks the event loop to run queued messages and paints soon.
void ScheduleDrain();
// Time stamp for queued messages.
DWORD CurrentTime();
void SetCurrentMessageTime(DWORD Time, TPoint Pos);
// Whether input to Wnd is held back by a modal hold.
bool InputHeldBack(HWND Wnd);

// Painting.
// WM_NCPAINT / WM_PAINT when due; Queued: the paint comes from the loop, not UpdateWindow.
void PaintWindowNow(HWND Wnd, bool Queued = false);
// The next message delivered counts as taken from the queue.
void MarkNextDeliveryPosted();
bool NeedsPaint(HWND Wnd);                              // visible with an invalid region or frame
void InvalidateFrame(HWND Wnd);                         // the non-client area needs WM_NCPAINT
void ShowImageChanged(HWND Wnd);                        // let Qt repaint the widget from the image
QWidget* CreateWindowWidget(HWND Wnd, QWidget* Parent); // the self-painting widget
// Lays a see-through widget over a native window's widget: once the widget has
// painted, the window gets WM_PAINT, and what GetDC draws shows on top.
void AttachPaintOverlay(HWND Wnd, QWidget* Widget);
void WindowDestroyed(HWND Wnd);                         // drops focus, capture, timers, queue entries

// Non-client area and scroll bars.
void DefaultNCCalcSize(HWND Wnd, TRect& Rect);
int DefaultNCHitTest(HWND Wnd, TPoint ScreenPoint);
void DefaultNCPaint(HWND Wnd);
void TrackScrollBar(HWND Wnd, int HitTest, TPoint ScreenPoint);
int BorderWidth(HWND Wnd);
// A child with WS_CAPTION has its title bar drawn here (an MDI child).
bool HasEmulatedCaption(HWND Wnd);
// The icon's square at the left of such a title bar, which HTSYSMENU covers
// (window coordinates); empty without WS_SYSMENU and for tool windows.
TRect CaptionIconRect(HWND Wnd);
// DefWindowProc's WM_NCLBUTTONDOWN / WM_NCLBUTTONDBLCLK: scroll bars, caption
// buttons, caption drags and sizing edges.
void DefaultNCLButtonDown(HWND Wnd, int HitTest, TPoint ScreenPoint, bool DoubleClick);
// DefWindowProc's WM_SYSCOMMAND SC_MOVE / SC_SIZE: the pointer drives it with
// the edge (HTCAPTION for a move) in the low bits, the arrow keys without.
void DefaultMoveSizeCommand(HWND Wnd, WPARAM Command, TPoint ScreenPoint);
// Where a maximised child lies: its client area covers the parent's, its frame
// and title bar beyond it.
TRect MaximizedChildRect(HWND Wnd);
bool ScrollBarShown(HWND Wnd, int Bar);
TRect ScrollBarRect(HWND Wnd, int Bar); // window coordinates
int ScrollBarSize(int Bar);

// Widgets of destroyed windows are deleted only where no Qt event of theirs
// and no message can still be running: between messages of the loops.
struct QtEventScope {
    QtEventScope();
    ~QtEventScope();
};
void DeleteRetiredWidgets();

// The devices that events made here name. Without a windowing system (headless
// tests) Qt has none registered, and asking for its primary ones would create
// fallbacks in a registry that is torn down before the application object at
// exit; private devices that live for the whole process avoid that.
const QInputDevice* KeyboardDevice();
const QPointingDevice* PointerDevice();

// Focus bookkeeping when a window goes away or hides.
void FocusWindowGone(HWND Wnd);
void KillWindowTimers(HWND Wnd);
// A timer message with a callback goes to the callback; false for others.
bool DispatchTimerCallback(const TMsg& Msg);

// Input: installs the application-wide event filter (once).
void EnsureInputFilter();
// The key hooks' turn before a key message is dispatched; true if one took it.
bool PreTranslateKeyMessage(const TMsg& Msg);
Word VirtualKeyFromQt(int Key, Qt::KeyboardModifiers Modifiers);
int QtKeyFromVirtualKey(Word Vk);
Qt::KeyboardModifiers CurrentModifiers(); // from the key-state table
void QtActivatedWindow(HWND Wnd);         // Qt activated a top-level window
// Qt's focus moves to Wnd's widget within its top-level widget (Qt activates
// nothing here), and Qt's input method is told: it composes for the control
// that takes the keys.
void MoveQtFocus(HWND Wnd);
// Ends the composition under way before the platform's focus leaves: its
// pre-edit is committed to the control it was typed in.
void FinishComposition();
// Qt's input method asks its focus object again (enabled, cursor rectangle...).
void RefreshInputMethod();
// The label that shows the pre-edit of a self-painting window, or nullptr.
const QLabel* CompositionLabel();
// Native widgets: input for Wnd's widget tree passes straight to Qt while set.
struct PassThroughScope {
    explicit PassThroughScope(HWND Wnd);
    ~PassThroughScope();
    HWND Previous;
};

} // namespace platform_ui
