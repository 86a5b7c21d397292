// Test hooks for cursors without Qt types: what a window's widget shows.
#pragma once

#include "platform/ui/WinTypes.h"

namespace platform_ui::test {

// Whether Wnd's widget shows Cursor now (a cursor over the whole program
// counts), and a cursor's hot spot.
bool ShowsCursor(HWND Wnd, HCURSOR Cursor);
TPoint CursorHotSpot(HCURSOR Cursor);
// A cursor's picture at (X, Y) as 0xAARRGGBB; alpha 0 where the screen shows.
uint32_t CursorPixel(HCURSOR Cursor, int X, int Y);

} // namespace platform_ui::test
