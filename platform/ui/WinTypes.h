// Handle and message types shared by the window manager, GDI and the controls.
// Handles are opaque pointers to platform objects; 0 (nullptr) is "none".
#pragma once

#include "platform/rtl/Types.h"

#include <cstdint>

using UINT = uint32_t;
using DWORD = uint32_t;
using BOOL = int32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONG_PTR = intptr_t;
using UINT_PTR = uintptr_t;
using ATOM = uint16_t;
using TColor = int32_t; // 0x00BBGGRR; 0x80000000 | index for system colours
using COLORREF = uint32_t;

struct PlatformWindow;  // window manager
struct PlatformDC;      // device context on an image
struct PlatformGdiObject; // pen, brush, font, bitmap, region
struct PlatformCursor;
struct PlatformIcon;
struct PlatformMenu;

using HWND = PlatformWindow*;
using HDC = PlatformDC*;
using HGDIOBJ = PlatformGdiObject*;
using HPEN = HGDIOBJ;
using HBRUSH = HGDIOBJ;
using HFONT = HGDIOBJ;
using HBITMAP = HGDIOBJ;
using HRGN = HGDIOBJ;
using HPALETTE = HGDIOBJ;
using HCURSOR = PlatformCursor*;
using HICON = PlatformIcon*;
using HMENU = PlatformMenu*;

// Names a procedure pushed on a window's procedure chain (see Window.h), so
// whoever pushed it can remove it again.
using TWindowProcedureId = uint32_t;

using RECT = TRect;
using POINT = TPoint;
using SIZE = TSize;

// A message as window procedures see it.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

constexpr Word LoWord(uintptr_t v) { return static_cast<Word>(v & 0xFFFF); }
constexpr Word HiWord(uintptr_t v) { return static_cast<Word>((v >> 16) & 0xFFFF); }
constexpr LPARAM MakeLParam(Word lo, Word hi) { return static_cast<LPARAM>(static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 16)); }
// Signed halves, as mouse coordinates and wheel deltas need them.
constexpr int16_t SmallLo(uintptr_t v) { return static_cast<int16_t>(v & 0xFFFF); }
constexpr int16_t SmallHi(uintptr_t v) { return static_cast<int16_t>((v >> 16) & 0xFFFF); }
// A point in a message parameter: x in the low half, y in the high one, each signed.
constexpr TPoint PointFromLParam(LPARAM Param) {
    return {SmallLo(static_cast<uintptr_t>(Param)), SmallHi(static_cast<uintptr_t>(Param))};
}
constexpr LPARAM PointToLParam(TPoint Point) {
    return MakeLParam(static_cast<Word>(Point.X), static_cast<Word>(Point.Y));
}
