// Tray icons by (window, id), each a QSystemTrayIcon; its activations become
// the posted callback messages the owner window expects.
#include "platform/ui/ShellAPI.h"

#include "platform/ui/MessageQueue.h"
#include "platform/ui/Window.h"
#include "platform/ui/private/ControlHost_p.h"
#include "platform/ui/private/GdiObjects_p.h"
#include "platform/ui/private/QtApplication_p.h"

#include <QPixmap>
#include <QSystemTrayIcon>

#include <map>
#include <memory>

using namespace platform_ui;

namespace {

std::map<std::pair<HWND, UINT>, std::unique_ptr<QSystemTrayIcon>>& Icons() {
    static std::map<std::pair<HWND, UINT>, std::unique_ptr<QSystemTrayIcon>> icons;
    return icons;
}

void Apply(QSystemTrayIcon& icon, const NOTIFYICONDATA& d) {
    if ((d.uFlags & NIF_ICON) && d.hIcon) icon.setIcon(QIcon(QPixmap::fromImage(d.hIcon->image)));
    if (d.uFlags & NIF_TIP) icon.setToolTip(ToQString(d.szTip));
    if (d.uFlags & NIF_MESSAGE) {
        QObject::disconnect(&icon, &QSystemTrayIcon::activated, nullptr, nullptr);
        const HWND wnd = d.Wnd;
        const UINT id = d.uID, message = d.uCallbackMessage;
        QObject::connect(&icon, &QSystemTrayIcon::activated, &icon,
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
}

} // namespace

bool NotifyIconAvailable() {
    EnsureQtApplication();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool Shell_NotifyIcon(DWORD Message, const NOTIFYICONDATA* Data) {
    if (!Data) return false;
    const auto key = std::make_pair(Data->Wnd, Data->uID);
    auto& icons = Icons();
    auto it = icons.find(key);
    switch (Message) {
    case NIM_ADD: {
        if (it != icons.end() || !NotifyIconAvailable()) return false;
        auto icon = std::make_unique<QSystemTrayIcon>();
        Apply(*icon, *Data);
        icon->show();
        icons.emplace(key, std::move(icon));
        return true;
    }
    case NIM_MODIFY:
        if (it == icons.end()) return false;
        Apply(*it->second, *Data);
        return true;
    case NIM_DELETE:
        if (it == icons.end()) return false;
        icons.erase(it);
        return true;
    default:
        return false;
    }
}
