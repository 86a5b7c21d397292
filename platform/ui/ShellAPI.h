// The notification-area icon over Qt's tray icon. Shell_NotifyIcon answers
// false when the desktop has no notification area, so a caller never hides
// its window behind an icon that nobody can see.
#pragma once

#include "platform/ui/WinTypes.h"

#include <string>

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;

constexpr UINT NIF_MESSAGE = 0x01;
constexpr UINT NIF_ICON = 0x02;
constexpr UINT NIF_TIP = 0x04;

// One icon of a window: (Wnd, uID). Clicks on it are posted to Wnd as
// uCallbackMessage with wParam uID and lParam the mouse message
// (WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK...).
struct NOTIFYICONDATA {
    HWND Wnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = nullptr;
    std::string szTip;
};

bool Shell_NotifyIcon(DWORD Message, const NOTIFYICONDATA* Data);

// Whether there is a notification area to show icons in.
bool NotifyIconAvailable();
