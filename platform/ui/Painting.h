// Painting: each self-painting window owns a backing image of its whole window
// rectangle while it shows, and an invalid region kept here. WM_PAINT handlers
// draw into the image between BeginPaint and EndPaint, clipped to what was
// invalid; GetDC and GetWindowDC draw into it at any time. Qt only shows the
// image. A hidden window gives its image back and is painted in full when it
// shows again.
#pragma once

#include "platform/ui/WinTypes.h"

struct TPaintStruct {
    HDC hdc = nullptr;
    BOOL fErase = 0; // the background still needs erasing (WM_ERASEBKGND answered 0)
    TRect rcPaint{}; // bounds of the region being painted, client coordinates
};
using PAINTSTRUCT = TPaintStruct;

// Sends WM_ERASEBKGND when erasing was asked for, validates the update region
// and hands out a client DC clipped to it.
HDC BeginPaint(HWND Wnd, TPaintStruct& Paint);
bool EndPaint(HWND Wnd, const TPaintStruct& Paint);

// Rect 0 / Region 0: the whole client area. Coordinates are client coordinates.
bool InvalidateRect(HWND Wnd, const TRect* Rect, bool Erase);
bool InvalidateRgn(HWND Wnd, HRGN Region, bool Erase);
bool ValidateRect(HWND Wnd, const TRect* Rect);
bool ValidateRgn(HWND Wnd, HRGN Region);
// Sends WM_PAINT now when the window has an invalid region.
bool UpdateWindow(HWND Wnd);
// For a window shown just before a long step that handles no messages (a
// wait window): waits, up to a second, until the desktop has put it on the
// screen, paints it and its children now and hands the picture to the
// screen. Input that arrives meanwhile stays queued.
void PaintOnScreenNow(HWND Wnd);
bool RedrawWindow(HWND Wnd, const TRect* Rect, HRGN Region, UINT Flags);
// The bounds of the invalid region (false when there is none).
bool GetUpdateRect(HWND Wnd, TRect* Rect, bool Erase);
// Copies the invalid region into Region; returns the region's complexity
// (NULLREGION, SIMPLEREGION, COMPLEXREGION as Gdi.h defines them).
int GetUpdateRgn(HWND Wnd, HRGN Region, bool Erase);

// DCs drawing into the image at any time: the client area, or the whole window.
// Wnd 0 gives a DC that only measures. Release with ReleaseDC.
HDC GetDC(HWND Wnd);
HDC GetWindowDC(HWND Wnd);
int ReleaseDC(HWND Wnd, HDC DC);

// Moves the pixels of Scroll (client area when 0), limited to Clip (client area
// when 0), by (DX, DY) within the image. What is uncovered is returned in Update
// and UpdateRect and, with SW_INVALIDATE, invalidated (SW_ERASE: with erasing).
// Child windows never move. Returns the complexity of the uncovered region.
int ScrollWindowEx(HWND Wnd, int DX, int DY, const TRect* Scroll, const TRect* Clip, HRGN Update, TRect* UpdateRect,
                   UINT Flags);
bool ScrollWindow(HWND Wnd, int DX, int DY, const TRect* Scroll, const TRect* Clip);
