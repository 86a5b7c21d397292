// Test hooks for what the desktop does to the program's windows through Qt,
// without Qt types, so the tests can see how the window manager answers it;
// and a notification area the tests control.
#pragma once

#include "platform/ui/ShellAPI.h"
#include "platform/ui/WinTypes.h"

#include <vector>

namespace platform_ui::test {

// The desktop activates Wnd's widget (a title-bar click, Alt+Tab), as Qt reports it.
void ActivateFromDesktop(HWND Wnd);
// Qt paints Wnd's widget at once, as it does when the window first shows.
void PaintFromQt(HWND Wnd);
// The desktop's locale changes, as Qt reports it to the application.
void ChangeLocaleFromDesktop();
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

// Tests stand in for the desktop's screens: each monitor's rectangle and work
// area (screen coordinates), the primary first. An empty list gives the
// desktop's own screens back.
struct TTestMonitor {
    TRect Monitor;
    TRect Work;
};
void SetTestMonitors(const std::vector<TTestMonitor>& Monitors);

// Tests stand in for the desktop: a notification area appears or vanishes
// (vanishing drops every icon, as a shell restart does) whatever the platform has.
void SetNotifyAreaExists(bool Exists);
// The record the shell holds for the icon (Wnd, Id), or nullptr.
const NOTIFYICONDATA* FindNotifyIcon(HWND Wnd, UINT Id);
// How a user activates an icon, as the desktop reports it.
enum class TTrayActivation { Click, DoubleClick, Context, MiddleClick };
// The desktop reports an activation of the icon (Wnd, Id): its mouse messages
// are posted to Wnd as for an icon in a real tray.
void ActivateNotifyIcon(HWND Wnd, UINT Id, TTrayActivation How);

} // namespace platform_ui::test
