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

#include <QSystemTrayIcon>

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <vector>

using namespace platform_ui;

namespace {

struct ShellIcon {
    NOTIFYICONDATA Record;
    std::unique_ptr<QSystemTrayIcon> Shown; // none where the desktop has no tray
};

struct NotificationArea {
    std::optional<bool> ExistsForTests;
    std::map<std::pair<HWND, UINT>, ShellIcon> Icons;
};

NotificationArea& Area() {
    static NotificationArea area;
    return area;
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

// Posts an activation's mouse messages to the icon's window.
void PostActivation(HWND Wnd, UINT Id, UINT CallbackMessage, QSystemTrayIcon::ActivationReason Reason) {
    if (!IsWindow(Wnd)) return;
    for (UINT mouse : TrayMouseMessages(Reason))
        PostMessage(Wnd, CallbackMessage, Id, mouse);
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

bool NotifyIconAvailable() {
    const NotificationArea& area = Area();
    return area.ExistsForTests ? *area.ExistsForTests : QtTrayExists();
}

bool Shell_NotifyIcon(DWORD Message, const NOTIFYICONDATA* Data) {
    if (!Data || !NotifyIconAvailable()) return false;
    auto& icons = Area().Icons;
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

namespace notifyarea_test {

void SetAreaExists(bool Value) {
    Area().ExistsForTests = Value;
    if (!Value) Area().Icons.clear();
}

const NOTIFYICONDATA* FindIcon(HWND Wnd, UINT Id) {
    const auto& icons = Area().Icons;
    const auto it = icons.find(std::make_pair(Wnd, Id));
    return it == icons.end() ? nullptr : &it->second.Record;
}

void ActivateIcon(HWND Wnd, UINT Id, TTrayActivation How) {
    const NOTIFYICONDATA* record = FindIcon(Wnd, Id);
    if (!record || !(record->uFlags & NIF_MESSAGE)) return;
    static constexpr QSystemTrayIcon::ActivationReason reasons[] = {
        QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick};
    PostActivation(Wnd, Id, record->uCallbackMessage, reasons[static_cast<int>(How)]);
}

} // namespace notifyarea_test
