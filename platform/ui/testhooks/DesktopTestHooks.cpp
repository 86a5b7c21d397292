// Test hooks for the desktop: Qt's own activation and paint of a widget, a
// locale change, the icons Qt hands the desktop, and the shell's notification
// area.
#include "platform/ui/testhooks/DesktopTestHooks.h"

#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/Monitors_p.h"
#include "platform/ui/private/ShellAPI_p.h"
#include "platform/ui/private/WindowHost_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QApplication>
#include <QIcon>
#include <QWindow>

#include <algorithm>

namespace platform_ui::test {

namespace {
std::vector<int> WidthsOf(const QIcon& Icon) {
    std::vector<int> widths;
    for (const QSize& size : Icon.availableSizes())
        widths.push_back(size.width());
    std::sort(widths.begin(), widths.end());
    return widths;
}
} // namespace

void SetTestMonitors(const std::vector<TTestMonitor>& Monitors) {
    std::vector<MonitorLayout> layout;
    for (const TTestMonitor& m : Monitors)
        layout.push_back({m.Monitor, m.Work});
    OverrideMonitorLayout(std::move(layout));
}

void ActivateFromDesktop(HWND Wnd) {
    if (QWidget* widget = WidgetOfWindow(Wnd)) QApplication::setActiveWindow(widget);
}

void PaintFromQt(HWND Wnd) {
    if (QWidget* widget = WidgetOfWindow(Wnd)) widget->repaint();
}

void ChangeLocaleFromDesktop() {
    QEvent event(QEvent::LocaleChange);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &event);
}

std::vector<int> DesktopIconSizes(HICON Icon) {
    return WidthsOf(QIconOf(Icon));
}

std::vector<int> WindowIconSizes(HWND Wnd) {
    const QWidget* widget = WidgetOfWindow(Wnd);
    return widget ? WidthsOf(widget->windowIcon()) : std::vector<int>{};
}

void SetNotifyAreaExists(bool Exists) {
    NotifyArea().ExistsForTests = Exists;
    if (!Exists) NotifyArea().Icons.clear();
}

const NOTIFYICONDATA* FindNotifyIcon(HWND Wnd, UINT Id) {
    const auto& icons = NotifyArea().Icons;
    const auto it = icons.find(std::make_pair(Wnd, Id));
    return it == icons.end() ? nullptr : &it->second.Record;
}

void ActivateNotifyIcon(HWND Wnd, UINT Id, TTrayActivation How) {
    const NOTIFYICONDATA* record = FindNotifyIcon(Wnd, Id);
    if (!record || !(record->uFlags & NIF_MESSAGE)) return;
    static constexpr QSystemTrayIcon::ActivationReason reasons[] = {
        QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick};
    PostActivation(Wnd, Id, record->uCallbackMessage, reasons[static_cast<int>(How)]);
}

TDesktopDecorations DesktopDecorationsOf(HWND Wnd) {
    TDesktopDecorations d;
    QWidget* widget = WidgetOfWindow(Wnd);
    if (!widget) return d;
    const Qt::WindowFlags flags = widget->windowFlags();
    d.TitleBar = (flags & Qt::WindowTitleHint) && !(flags & Qt::FramelessWindowHint);
    d.CloseBox = d.TitleBar && (flags & Qt::WindowCloseButtonHint);
    d.MinimizeBox = d.TitleBar && (flags & Qt::WindowMinimizeButtonHint);
    d.MaximizeBox = d.TitleBar && (flags & Qt::WindowMaximizeButtonHint);
    d.Sizable = widget->minimumSize() != widget->maximumSize();
    d.TakesFocus = !(flags & Qt::WindowDoesNotAcceptFocus);
    if (QWindow* window = widget->windowHandle(); window && window->transientParent())
        for (HWND w : TopLevelWindows())
            if (w->Widget && w->Widget->windowHandle() == window->transientParent()) d.KeptAbove = w;
    return d;
}

} // namespace platform_ui::test
