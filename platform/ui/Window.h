// Windows: creation by class name, the chain of window procedures, geometry,
// visibility, parents and children, text, properties.
// A window is an opaque platform object behind an HWND; a self-painting window
// shows a backing image (see Painting.h), a standard control hosts a Qt widget.
#pragma once

#include "platform/ui/WinTypes.h"

#include <functional>
#include <string>

// A window procedure: handles Message in place (setting Message.Result) and, to
// let the procedures below it see the message, calls CallNextWindowProc with the
// id it was pushed under.
using TWindowProcedure = std::function<void(HWND Wnd, TMessage& Message)>;

// A window class: its default procedure (the bottom of every chain; its own
// "next" is DefWindowProc), class styles (CS_DBLCLKS enables double clicks), the
// background brush WM_ERASEBKGND fills with (0: no erasing) and the cursor
// WM_SETCURSOR sets over the client area.
struct TWindowClass {
    std::string ClassName;
    UINT Style = 0;
    TWindowProcedure WindowProcedure;
    HBRUSH Background = nullptr;
    HCURSOR Cursor = nullptr;
};
bool RegisterClass(const TWindowClass& WindowClass); // false when the name is taken
bool UnregisterClass(const std::string& ClassName);
bool GetClassInfo(const std::string& ClassName, TWindowClass& WindowClass);
std::string GetClassName(HWND Wnd);

// What WM_NCCREATE and WM_CREATE carry in lParam.
struct TCreateStruct {
    void* CreateParams = nullptr;
    intptr_t Id = 0;
    HWND Parent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    DWORD Style = 0;
    std::string Name;
    std::string ClassName;
    DWORD ExStyle = 0;
};

// What WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED carry in lParam. The
// changing handler may alter the values; the changed one sees the outcome, with
// SWP_NOCLIENTSIZE / SWP_NOCLIENTMOVE set when the client area kept its size /
// place (DefWindowProc then leaves out WM_SIZE / WM_MOVE).
struct TWindowPos {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
};
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

// What WM_GETMINMAXINFO carries in lParam, sent when the user starts to size
// a window: the handler may change the smallest and largest window sizes
// (frame included) the user can size it to.
struct MINMAXINFO {
    TPoint ptReserved{};
    TPoint ptMaxSize{};
    TPoint ptMaxPosition{};
    TPoint ptMinTrackSize{};
    TPoint ptMaxTrackSize{};
};

// What WM_STYLECHANGING / WM_STYLECHANGED carry in lParam (wParam: GWL_STYLE or
// GWL_EXSTYLE).
struct TStyleStruct {
    DWORD styleOld = 0;
    DWORD styleNew = 0;
};

// The parent for windows that only receive messages: never shown, no widget.
inline HWND const HWND_MESSAGE = reinterpret_cast<HWND>(static_cast<intptr_t>(-3));
// SetWindowPos z-order positions.
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(static_cast<intptr_t>(1));
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-2));
// CreateWindowEx position and size meaning "let the system choose".
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// Creates a window of a registered class. A child (WS_CHILD) is placed in its
// parent's client coordinates, a top-level window in screen coordinates; Parent
// of a top-level window is its owner. WindowProcedure, when given, is pushed on
// top of the class procedure before WM_NCCREATE, so it sees the whole creation.
// Returns 0 when the class is unknown or WM_NCCREATE / WM_CREATE refuse.
HWND CreateWindowEx(DWORD ExStyle, const std::string& ClassName, const std::string& WindowName, DWORD Style, int X,
                    int Y, int Width, int Height, HWND Parent, intptr_t Id = 0, TWindowProcedure WindowProcedure = {},
                    void* CreateParams = nullptr);
// Destroys the window and its children (WM_DESTROY parent first, WM_NCDESTROY
// children first); the handle is invalid afterwards.
bool DestroyWindow(HWND Wnd);
bool IsWindow(HWND Wnd);

// A hidden message-only window whose only procedure is Procedure, for objects
// that need a message target (timers, private callbacks).
HWND AllocateHWnd(TWindowProcedure Procedure);
void DeallocateHWnd(HWND Wnd);

// The procedure chain. A procedure pushed later sees messages first; removal is
// by id and may happen in any order, also while the procedure runs.
TWindowProcedureId PushWindowProc(HWND Wnd, TWindowProcedure Procedure);
bool RemoveWindowProc(HWND Wnd, TWindowProcedureId Id);
// Passes Message to the procedure below Id (DefWindowProc below the class's).
void CallNextWindowProc(HWND Wnd, TWindowProcedureId Id, TMessage& Message);
// The system's default handling: non-client area, scroll bars, erasing, text,
// cursor, WM_CLOSE destroying the window, wheel and context menu to the parent.
void DefWindowProc(HWND Wnd, TMessage& Message);
LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// Styles, id, user data.
LONG_PTR GetWindowLong(HWND Wnd, int Index);
// GWL_STYLE and GWL_EXSTYLE send WM_STYLECHANGING/WM_STYLECHANGED; the frame is
// recomputed by SetWindowPos with SWP_FRAMECHANGED, as usual.
LONG_PTR SetWindowLong(HWND Wnd, int Index, LONG_PTR Value);

// Geometry. Window rectangles are in screen coordinates; client rectangles start
// at (0, 0) and exclude borders and scroll bars.
bool GetWindowRect(HWND Wnd, TRect& Rect);
bool GetClientRect(HWND Wnd, TRect& Rect);
bool ClientToScreen(HWND Wnd, TPoint& Point);
bool ScreenToClient(HWND Wnd, TPoint& Point);
// Maps Count points from From's client coordinates to To's (0: the screen).
int MapWindowPoints(HWND From, HWND To, TPoint* Points, int Count);
int MapWindowPoints(HWND From, HWND To, TRect& Rect);
bool SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Width, int Height, UINT Flags);
bool MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, bool Repaint);
bool BringWindowToTop(HWND Wnd);
// The deepest visible, enabled-or-not child window (or top-level) at a screen
// point; WS_EX_TRANSPARENT windows are looked through.
HWND WindowFromPoint(TPoint Point);

// Visibility, state, enabling.
bool ShowWindow(HWND Wnd, int Command); // returns whether it was visible before
bool IsWindowVisible(HWND Wnd);         // the window and all its ancestors
bool IsIconic(HWND Wnd);
bool IsZoomed(HWND Wnd);
// Lays out the shown minimised children of Parent again from the bottom-left
// corner of its client area; answers the height of a row (0: none).
UINT ArrangeIconicWindows(HWND Parent);
bool EnableWindow(HWND Wnd, bool Enable); // returns whether it was disabled before
bool IsWindowEnabled(HWND Wnd);

// Parents, owners, children.
HWND GetParent(HWND Wnd); // the parent of a child, the owner of a top-level window
HWND SetParent(HWND Wnd, HWND NewParent);
HWND GetWindow(HWND Wnd, UINT Relation);
bool IsChild(HWND Parent, HWND Wnd);
HWND GetAncestorTopLevel(HWND Wnd); // the top-level window that contains Wnd
// Enumerates all descendants, parents before children, top of the z-order first;
// stops when Callback returns false.
void EnumChildWindows(HWND Parent, const std::function<bool(HWND)>& Callback);
// Enumerates the top-level windows, message-only ones excluded.
void EnumWindows(const std::function<bool(HWND)>& Callback);
// A top-level window by class name and/or title (empty: any).
HWND FindWindow(const std::string& ClassName, const std::string& WindowName);

// The window's shape: only the region's pixels show and take the mouse.
// The window owns Region afterwards (it is deleted here); 0 restores the
// rectangle. Region is in window coordinates.
int SetWindowRgn(HWND Wnd, HRGN Region, bool Redraw);

// Text (WM_SETTEXT / WM_GETTEXT carry UTF-8: lParam a const char*, and for
// WM_GETTEXT wParam the buffer size in bytes).
bool SetWindowText(HWND Wnd, const std::string& Text);
std::string GetWindowText(HWND Wnd);
