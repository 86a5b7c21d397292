// Tray icons by (window, id): the shell's record of each, and a
// QSystemTrayIcon where the desktop has a tray; its activations become the
// posted callback messages the owner window expects.
#include "platform/ui/ShellAPI.h"

#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "platform/ui/private/ControlHost_p.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/QtApplication_p.h"
#include "platform/ui/private/ShellAPI_p.h"

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace platform_ui;

namespace {

// An icon the program never deleted is left to the end of the process: torn
// down among the statics at exit, after Qt's own, its window crashes.
void DropShownIconsAtExit() {
    static const bool registered = [] {
        std::atexit([] {
            for (auto& [key, icon] : NotifyArea().Icons)
                (void)icon.Shown.release();
        });
        return true;
    }();
    (void)registered;
}

bool QtTrayExists() {
    EnsureQtApplication();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

// Qt reports a press on the icon (the second press of a double click) as one
// activation; the owner gets the press and the release a shell would send.
std::vector<UINT> TrayMouseMessages(QSystemTrayIcon::ActivationReason Reason) {
    switch (Reason) {
    case QSystemTrayIcon::Trigger:
        return {WM_LBUTTONDOWN, WM_LBUTTONUP};
    case QSystemTrayIcon::DoubleClick:
        return {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    case QSystemTrayIcon::Context:
        return {WM_RBUTTONDOWN, WM_RBUTTONUP};
    case QSystemTrayIcon::MiddleClick:
        return {WM_MBUTTONDOWN, WM_MBUTTONUP};
    default:
        return {};
    }
}

// Takes the fields that Data's flags name into Record.
void Merge(NOTIFYICONDATA& Record, const NOTIFYICONDATA& Data) {
    Record.cbSize = Data.cbSize;
    if (Data.uFlags & NIF_ICON) Record.hIcon = Data.hIcon;
    if (Data.uFlags & NIF_TIP) std::memcpy(Record.szTip, Data.szTip, sizeof Record.szTip);
    if (Data.uFlags & NIF_MESSAGE) Record.uCallbackMessage = Data.uCallbackMessage;
    Record.uFlags |= Data.uFlags;
    Record.szTip[sizeof Record.szTip - 1] = '\0';
}

void Show(QSystemTrayIcon& Icon, const NOTIFYICONDATA& Record) {
    if (Record.hIcon) Icon.setIcon(QIconOf(Record.hIcon));
    Icon.setToolTip(ToQString(Record.szTip));
    QObject::disconnect(&Icon, &QSystemTrayIcon::activated, nullptr, nullptr);
    if (!(Record.uFlags & NIF_MESSAGE)) return;
    QObject::connect(&Icon, &QSystemTrayIcon::activated, &Icon,
                     [wnd = Record.hWnd, id = Record.uID, message = Record.uCallbackMessage](
                         QSystemTrayIcon::ActivationReason why) { PostActivation(wnd, id, message, why); });
}

} // namespace

namespace platform_ui {

NotificationArea& NotifyArea() {
    static NotificationArea area;
    return area;
}

void PostActivation(HWND Wnd, UINT Id, UINT CallbackMessage, QSystemTrayIcon::ActivationReason Reason) {
    if (!IsWindow(Wnd)) return;
    for (UINT mouse : TrayMouseMessages(Reason))
        PostMessage(Wnd, CallbackMessage, Id, mouse);
}

} // namespace platform_ui

bool NotifyIconAvailable() {
    const NotificationArea& area = NotifyArea();
    return area.ExistsForTests ? *area.ExistsForTests : QtTrayExists();
}

bool Shell_NotifyIcon(DWORD Message, const NOTIFYICONDATA* Data) {
    if (!Data || !NotifyIconAvailable()) return false;
    auto& icons = NotifyArea().Icons;
    const auto key = std::make_pair(Data->hWnd, Data->uID);
    auto it = icons.find(key);
    switch (Message) {
    case NIM_ADD: {
        if (it != icons.end()) return false;
        ShellIcon icon;
        icon.Record.hWnd = Data->hWnd;
        icon.Record.uID = Data->uID;
        Merge(icon.Record, *Data);
        if (QtTrayExists()) {
            DropShownIconsAtExit();
            icon.Shown = std::make_unique<QSystemTrayIcon>();
            Show(*icon.Shown, icon.Record);
            icon.Shown->show();
        }
        icons.emplace(key, std::move(icon));
        return true;
    }
    case NIM_MODIFY:
        if (it == icons.end()) return false;
        Merge(it->second.Record, *Data);
        if (it->second.Shown) Show(*it->second.Shown, it->second.Record);
        return true;
    case NIM_DELETE:
        if (it == icons.end()) return false;
        icons.erase(it);
        return true;
    default:
        return false;
    }
}
