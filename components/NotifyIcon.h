// Stand-in for the shell's notification-area call until the platform offers
// one: Shell_NotifyIcon keeps the icons in a table of this process, and
// NotificationAreaExists says whether a desktop area would show them. Nothing
// here draws on a real desktop, so the area counts as missing unless a test
// (or the platform's own call, once it lands) says otherwise.
#pragma once

#include "platform/ui/WinTypes.h"

#include <string>

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 1;
constexpr UINT NIF_ICON = 2;
constexpr UINT NIF_TIP = 4;

// The shell's ANSI record: 488 bytes on the system it was designed for.
constexpr DWORD NotifyIconDataSize = 488;
constexpr int NotifyIconTipSize = 128;

struct NOTIFYICONDATA {
    DWORD cbSize = 0;
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = nullptr;
    char szTip[NotifyIconTipSize] = {};
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    char szInfo[256] = {};
    UINT uTimeout = 0;
    char szInfoTitle[64] = {};
    DWORD dwInfoFlags = 0;
};

// Adds, modifies or deletes the icon (hWnd, uID); false when the area is
// missing, an added icon is there already, or a changed one is not.
bool Shell_NotifyIcon(DWORD Message, const NOTIFYICONDATA& Data);
bool NotificationAreaExists();

namespace notifyarea_test {
// Makes the area appear or vanish (vanishing drops every icon, as a shell
// restart does).
void SetAreaExists(bool Value);
// The icon's record as the shell holds it, or nullptr.
const NOTIFYICONDATA* FindIcon(HWND Wnd, UINT Id);
} // namespace notifyarea_test
