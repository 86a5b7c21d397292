// Tray icons by (window, id): the shell's record of each, and a
// QSystemTrayIcon where the desktop has a tray; its activations become the
// posted callback messages the owner window expects.
#include "platform/ui/ShellAPI.h"

#include "platform/ui/MessageQueue.h"
#include "platform/ui/Window.h"
#include "platform/ui/private/ControlHost_p.h"
#include "platform/ui/private/GdiObjects_p.h"
#include "platform/ui/private/QtApplication_p.h"

#include <QPixmap>
#include <QSystemTrayIcon>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>

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

// An icon the program never deleted is left to the end of the process: torn
// down among the statics at exit, after Qt's own, its window crashes.
void DropShownIconsAtExit() {
    static const bool registered = [] {
        std::atexit([] {
            for (auto& [key, icon] : Area().Icons)
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
    if (Record.hIcon) Icon.setIcon(QIcon(QPixmap::fromImage(Record.hIcon->image)));
    Icon.setToolTip(ToQString(Record.szTip));
    QObject::disconnect(&Icon, &QSystemTrayIcon::activated, nullptr, nullptr);
    const HWND wnd = Record.hWnd;
    const UINT id = Record.uID, message = Record.uCallbackMessage;
    if (!(Record.uFlags & NIF_MESSAGE)) return;
    QObject::connect(&Icon, &QSystemTrayIcon::activated, &Icon,
                     [wnd, id, message](QSystemTrayIcon::ActivationReason why) {
                         LPARAM mouse = WM_LBUTTONUP;
                         if (why == QSystemTrayIcon::Context)
                             mouse = WM_RBUTTONUP;
                         else if (why == QSystemTrayIcon::DoubleClick)
                             mouse = WM_LBUTTONDBLCLK;
                         else if (why == QSystemTrayIcon::MiddleClick)
                             mouse = WM_MBUTTONUP;
                         if (IsWindow(wnd)) PostMessage(wnd, message, id, mouse);
                     });
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

} // namespace notifyarea_test
