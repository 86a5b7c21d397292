// The emulated non-client area of a window: borders (WS_BORDER, WS_EX_CLIENTEDGE,
// WS_EX_STATICEDGE, WS_DLGFRAME and the flat frames) and the window scroll bars.
// DefWindowProc answers WM_NCCALCSIZE, WM_NCHITTEST and WM_NCPAINT from here;
// a window that overrides them changes the client area as on Win32.
#pragma once

#include "platform/ui/Messages.h"
#include "platform/ui/WinTypes.h"

// lParam of WM_NCCALCSIZE (wParam 1): rgrc[0] enters as the window rectangle in
// the parent's client coordinates and leaves as the client rectangle.
struct TNCCalcSizeParams {
    TRect rgrc[3]{};
};

// The window rectangle that a client rectangle needs for these styles.
bool AdjustWindowRectEx(TRect& Rect, DWORD Style, bool HasMenu, DWORD ExStyle);
