// The notification-area icon over Qt's tray icon. The shell keeps a record
// per icon (window, id); Shell_NotifyIcon answers false when the desktop has
// no notification area, so a caller never hides its window behind an icon
// that nobody can see.
#pragma once

#include "platform/ui/WinTypes.h"

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;

constexpr UINT NIF_MESSAGE = 0x01;
constexpr UINT NIF_ICON = 0x02;
constexpr UINT NIF_TIP = 0x04;

// The record's size and tip length as the shell of the design's system
// defines its ANSI record; callers fill cbSize with it.
constexpr DWORD NotifyIconDataSize = 488;
constexpr int NotifyIconTipSize = 128;

// One icon of a window: (hWnd, uID). Each press and release on it is posted
// to hWnd as uCallbackMessage with wParam uID and lParam the mouse message
// (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN...). szTip
// is UTF-8, ended by a zero byte.
struct NOTIFYICONDATA {
    DWORD cbSize = 0;
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = nullptr;
    char szTip[NotifyIconTipSize] = {};
};

// Adds, modifies or deletes the icon (hWnd, uID); false when the area is
// missing, an added icon is there already, or a changed one is not.
bool Shell_NotifyIcon(DWORD Message, const NOTIFYICONDATA* Data);

// Whether there is a notification area to show icons in.
bool NotifyIconAvailable();
