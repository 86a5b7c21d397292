// Mouse cursors: the system's standard shapes, cursors made from AND/XOR masks,
// the program's own cursors compiled in, and the one cursor shown now.
#pragma once

#include "platform/ui/Resources.h"

// Standard cursor ids, as LoadCursor(nullptr, ...) takes them.
constexpr int IDC_ARROW = 32512;
constexpr int IDC_IBEAM = 32513;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_CROSS = 32515;
constexpr int IDC_UPARROW = 32516;
constexpr int IDC_SIZENWSE = 32642;
constexpr int IDC_SIZENESW = 32643;
constexpr int IDC_SIZEWE = 32644;
constexpr int IDC_SIZENS = 32645;
constexpr int IDC_SIZEALL = 32646;
constexpr int IDC_NO = 32648;
constexpr int IDC_HAND = 32649;
constexpr int IDC_APPSTARTING = 32650;
constexpr int IDC_HELP = 32651;

// The program's own cursors compiled in, loaded with LoadCursor(HInstance, ...).
constexpr int IDC_PROGRAM_DRAG = 1;
constexpr int IDC_PROGRAM_NODROP = 2;
constexpr int IDC_PROGRAM_MULTIDRAG = 3;
constexpr int IDC_PROGRAM_HSPLIT = 4;
constexpr int IDC_PROGRAM_VSPLIT = 5;

// Instance nullptr: a standard shape; HInstance: one of the program's cursors.
// The handles are shared and never destroyed; nullptr for an unknown id.
HCURSOR LoadCursor(HINSTANCE Instance, int CursorName);
// A cursor resource of the module by name (a .cur file's first picture and
// its hot spot); shared like the above, nullptr when there is none.
HCURSOR LoadCursor(HINSTANCE Instance, const char* CursorName);
// A monochrome cursor from word-aligned, most-significant-bit-first masks of
// Height rows: AND 1 / XOR 0 transparent, 0/0 black, 0/1 white, 1/1 inverted.
HCURSOR CreateCursor(HINSTANCE Instance, int XHotSpot, int YHotSpot, int Width, int Height, const void* AndPlane,
                     const void* XorPlane);
// Frees a cursor made by CreateCursor; shared ones are refused.
bool DestroyCursor(HCURSOR Cursor);

// Shows Cursor (nullptr: none) over the capture window, else the window under
// the pointer, and returns the cursor shown before.
HCURSOR SetCursor(HCURSOR Cursor);
HCURSOR GetCursor();
