// Monitors: each screen of the desktop with its work area, the part that the
// desktop's panels leave free. A popup that must stay visible keeps inside the
// work area of the monitor it opens on, which need not start at (0, 0).
#pragma once

#include "platform/ui/WinTypes.h"

struct PlatformMonitor;
using HMONITOR = PlatformMonitor*;

// What MonitorFromPoint answers for a point on no monitor.
constexpr DWORD MONITOR_DEFAULTTONULL = 0;
constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;

constexpr DWORD MONITORINFOF_PRIMARY = 1;

// Screen coordinates; rcWork lies within rcMonitor.
struct MONITORINFO {
    DWORD cbSize = sizeof(MONITORINFO);
    TRect rcMonitor{};
    TRect rcWork{};
    DWORD dwFlags = 0; // MONITORINFOF_PRIMARY for the primary monitor
};

// The monitor that holds Point, else as Flags say (the nearest, the primary,
// or nullptr). A handle stays valid while the desktop keeps its screens.
HMONITOR MonitorFromPoint(TPoint Point, DWORD Flags);
// False for a handle of no monitor.
bool GetMonitorInfo(HMONITOR Monitor, MONITORINFO& Info);
