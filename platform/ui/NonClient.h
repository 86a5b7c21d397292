// The emulated non-client area of a window: borders (WS_BORDER, WS_EX_CLIENTEDGE,
// WS_EX_STATICEDGE, WS_DLGFRAME and the flat frames), the window scroll bars and
// the title bar of a child with WS_CAPTION (an MDI child) with its buttons.
// DefWindowProc answers WM_NCCALCSIZE, WM_NCHITTEST and WM_NCPAINT from here;
// a window that overrides them changes the client area as on Win32.
#pragma once

#include "platform/ui/WinTypes.h"

// lParam of WM_NCCALCSIZE (wParam 1): rgrc[0] enters as the window rectangle in
// the parent's client coordinates and leaves as the client rectangle.
struct TNCCalcSizeParams {
    TRect rgrc[3]{};
};

// The window rectangle that a client rectangle needs for these styles.
bool AdjustWindowRectEx(TRect& Rect, DWORD Style, bool HasMenu, DWORD ExStyle);

// The caption buttons of a title bar (window coordinates): close at the right
// end, maximise (or restore) and minimise before it; Small for tool windows.
struct TCaptionButtons {
    TRect Min;
    TRect Max;
    TRect Close;
};
TCaptionButtons CaptionButtonRects(const TRect& Bar, bool Small);

// Holds the capture while the left button stays down after a press on the
// frame button HitTest (HTMINBUTTON, HTMAXBUTTON or HTCLOSE) that lies at
// Button (window coordinates): the frame repaints with PushedFrameButton
// answering HitTest while the pointer is over it. True when the button is
// released over it.
bool TrackFrameButton(HWND Wnd, int HitTest, const TRect& Button);
int PushedFrameButton(HWND Wnd); // HTNOWHERE when none
