// Window timers by (window, id): setting an existing pair replaces it. Ticks are
// queued as WM_TIMER (at most one pending per timer); a timer with a callback
// calls it from DispatchMessage instead of the window procedure.
#pragma once

#include "platform/ui/WinTypes.h"

#include <functional>

using TTimerProc = std::function<void(HWND Wnd, UINT Msg, UINT_PTR Id, DWORD Time)>;

// Returns the timer id (for Wnd 0 a new id chosen here), 0 on failure.
UINT_PTR SetTimer(HWND Wnd, UINT_PTR Id, UINT Elapse, TTimerProc Proc = {});
bool KillTimer(HWND Wnd, UINT_PTR Id);
