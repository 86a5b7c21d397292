// The shell's notification area, for the test hooks that stand in for the
// desktop: the record of each icon, and how an activation reaches its window.
#pragma once

#include "platform/ui/ShellAPI.h"

#include <QSystemTrayIcon>

#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace platform_ui {

struct ShellIcon {
    NOTIFYICONDATA Record;
    std::unique_ptr<QSystemTrayIcon> Shown; // none where the desktop has no tray
};

struct NotificationArea {
    std::optional<bool> ExistsForTests; // set: whether an area exists, whatever the desktop has
    std::map<std::pair<HWND, UINT>, ShellIcon> Icons;
};

NotificationArea& NotifyArea();

// Posts an activation's mouse messages to the icon's window.
void PostActivation(HWND Wnd, UINT Id, UINT CallbackMessage, QSystemTrayIcon::ActivationReason Reason);

} // namespace platform_ui
