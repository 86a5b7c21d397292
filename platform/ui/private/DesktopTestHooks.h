// Test hooks for what the desktop does to top-level windows through Qt, without
// Qt types, so the tests can see how the window manager answers it.
#pragma once

#include "platform/ui/WinTypes.h"

#include <vector>

namespace platform_ui::test {

// The desktop activates Wnd's widget (a title-bar click, Alt+Tab), as Qt reports it.
void ActivateFromDesktop(HWND Wnd);
// Qt paints Wnd's widget at once, as it does when the window first shows.
void PaintFromQt(HWND Wnd);
// The sizes (widths, smallest first) of the icon the desktop gets from Icon,
// and of the one it shows for Wnd's window.
std::vector<int> DesktopIconSizes(HICON Icon);
std::vector<int> WindowIconSizes(HWND Wnd);

// What a top-level window asks of the window manager: its decorations, whether
// the desktop may size it and give it the keyboard, and the window it is kept
// above (transient for; null: none of ours).
struct TDesktopDecorations {
    bool TitleBar = false;
    bool CloseBox = false;
    bool MinimizeBox = false;
    bool MaximizeBox = false;
    bool Sizable = false;
    bool TakesFocus = false;
    HWND KeptAbove = nullptr;
};
TDesktopDecorations DesktopDecorationsOf(HWND Wnd);

} // namespace platform_ui::test
