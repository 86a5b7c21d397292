// Window scroll bars (WS_HSCROLL / WS_VSCROLL) with the Win32 rules: an
// inclusive maximum, a page, a position kept within Min..Max - Page + 1, a track
// position while the thumb is dragged, and a bar that hides itself when the page
// covers the range (SIF_DISABLENOSCROLL keeps it, disabled). When a bar appears
// or goes, the client area changes and WM_SIZE arrives before the setter
// returns. Mouse use of a bar sends WM_HSCROLL / WM_VSCROLL with SB_ codes.
// The FlatSB_ functions do the same; only the look differs.
#pragma once

#include "platform/ui/WinTypes.h"

struct TScrollInfo {
    UINT cbSize = sizeof(TScrollInfo);
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};
using SCROLLINFO = TScrollInfo;

// Returns the new position.
int SetScrollInfo(HWND Wnd, int Bar, const TScrollInfo& Info, bool Redraw);
bool GetScrollInfo(HWND Wnd, int Bar, TScrollInfo& Info);
// Returns the previous position.
int SetScrollPos(HWND Wnd, int Bar, int Pos, bool Redraw);
int GetScrollPos(HWND Wnd, int Bar);
bool SetScrollRange(HWND Wnd, int Bar, int Min, int Max, bool Redraw);
bool GetScrollRange(HWND Wnd, int Bar, int& Min, int& Max);
bool ShowScrollBar(HWND Wnd, int Bar, bool Show);
bool EnableScrollBar(HWND Wnd, UINT Bar, UINT Arrows);

// Flat scroll bars: the same bars, drawn flat or in the hover ("Encarta") style
// chosen with WSB_PROP_HSTYLE / WSB_PROP_VSTYLE.
bool InitializeFlatSB(HWND Wnd);
void UninitializeFlatSB(HWND Wnd);
bool FlatSB_SetScrollProp(HWND Wnd, UINT Index, intptr_t Value, bool Redraw);
bool FlatSB_GetScrollProp(HWND Wnd, UINT Index, intptr_t* Value);
int FlatSB_SetScrollInfo(HWND Wnd, int Bar, const TScrollInfo& Info, bool Redraw);
bool FlatSB_GetScrollInfo(HWND Wnd, int Bar, TScrollInfo& Info);
int FlatSB_SetScrollPos(HWND Wnd, int Bar, int Pos, bool Redraw);
int FlatSB_GetScrollPos(HWND Wnd, int Bar);
bool FlatSB_SetScrollRange(HWND Wnd, int Bar, int Min, int Max, bool Redraw);
bool FlatSB_GetScrollRange(HWND Wnd, int Bar, int& Min, int& Max);
bool FlatSB_ShowScrollBar(HWND Wnd, int Bar, bool Show);
bool FlatSB_EnableScrollBar(HWND Wnd, UINT Bar, UINT Arrows);
