// The platform's own keyboard focus, mouse capture and active window.
// Focus and capture are plain window handles kept here, not Qt's: focus may sit
// in a popup that was never activated, and capture may pass between top-level
// windows.
#pragma once

#include "platform/ui/WinTypes.h"

// Moves the keyboard focus: WM_KILLFOCUS to the old window (wParam the new one),
// then WM_SETFOCUS to the new one (wParam the old one). Returns the previous
// focus window. Setting it to 0 clears it.
HWND SetFocus(HWND Wnd);
HWND GetFocus();

// Mouse capture: every mouse message goes to Wnd, in its client coordinates,
// wherever the pointer is. The window losing it gets WM_CAPTURECHANGED (lParam
// the new capture window, 0 on release).
HWND SetCapture(HWND Wnd);
bool ReleaseCapture();
HWND GetCapture();

// The active top-level window: WM_NCACTIVATE and WM_ACTIVATE (WA_INACTIVE with
// the other window in lParam) to the old one, then to the new one; activating
// moves the focus into it when the focus is elsewhere.
HWND SetActiveWindow(HWND Wnd);
HWND GetActiveWindow();
bool SetForegroundWindow(HWND Wnd);
HWND GetForegroundWindow();
