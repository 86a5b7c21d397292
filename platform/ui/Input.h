// Keyboard and mouse state as the controls read it. Qt input is translated into
// messages here: WM_KEYDOWN / WM_SYSKEYDOWN (Alt held: lParam bit 29), then one
// WM_CHAR per character (input-method commits too, after WM_IME_STARTCOMPOSITION
// is sent to the focus window as a composition begins), WM_KEYUP; mouse messages in
// client coordinates with MK_ flags, WM_MOUSEACTIVATE before a press on a
// window whose top-level window or MDI child is inactive, WM_SETCURSOR before
// each move, double clicks for CS_DBLCLKS classes, WM_MOUSEWHEEL with the signed delta,
// CM_MOUSEENTER / CM_MOUSELEAVE, WM_CONTEXTMENU.
#pragma once

#include "platform/ui/WinTypes.h"

#include <functional>

// High bit set (negative) while the key is down; bit 0 toggles (Caps Lock...).
// Mouse buttons are VK_LBUTTON, VK_RBUTTON, VK_MBUTTON. GetKeyState answers as
// the input read last left the keyboard (a key-down handled late still sees
// the Ctrl held with it); GetAsyncKeyState answers as the keyboard is now.
int16_t GetKeyState(int VirtualKey);
int16_t GetAsyncKeyState(int VirtualKey);
bool GetCursorPos(TPoint& Point);

// Whether an input method may compose text for Wnd (it may by default). A
// window that turns it off tells Qt's input method "not enabled", so keys reach
// it as typed; the change holds at once when Wnd has the focus, and a
// composition under way there is dropped.
void SetInputMethodEnabled(HWND Wnd, bool Enabled);

// Dialog navigation: before a key that a dialog uses for navigation (Tab, the
// arrows, Enter, Esc) reaches the focus window, the application's loop asks the
// focus window's WM_GETDLGCODE (wParam the key, lParam the TMsg); when the
// answer does not claim the key (DLGC_WANTTAB for Tab, DLGC_WANTARROWS for the
// arrows, DLGC_WANTALLKEYS for Enter and Esc), this hook gets it (the forms move
// the focus, press default buttons...). Returning true swallows the key and its
// characters; false delivers it as usual. Msg is the WM_KEYDOWN about to be sent.
using TDialogKeyHook = std::function<bool(const TMessage& Msg, HWND FocusWnd)>;
TDialogKeyHook SetDialogKeyHook(TDialogKeyHook Hook);

// Every key-down taken for the focus window by the application's loop passes
// this hook first (the forms' key preview, menu and action shortcuts); true
// swallows the key together with the characters it produced.
using TKeyMessageHook = std::function<bool(const TMessage& Msg, HWND FocusWnd)>;
TKeyMessageHook SetKeyMessageHook(TKeyMessageHook Hook);

// Every button press is shown to this hook before its message is queued for
// Wnd, so before the focus moves (the forms tell the active control that
// another one was clicked).
using TMouseDownHook = std::function<void(HWND Wnd)>;
TMouseDownHook SetMouseDownHook(TMouseDownHook Hook);

// Before Qt shows a hint (a tooltip) over Wnd, with the pointer at
// ScreenPoint, this hook decides what shows; true means it took care of it
// and Qt shows nothing of its own.
using THintHook = std::function<bool(HWND Wnd, TPoint ScreenPoint)>;
THintHook SetHintHook(THintHook Hook);
