// Monitors from Qt's screens (the primary first), or from the layout a test
// put in their place. A handle is the monitor's place in that list plus one.
#include "platform/ui/Monitors.h"

#include "platform/ui/private/Monitors_p.h"
#include "platform/ui/private/QtApplication_p.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform_ui {

namespace {

std::vector<MonitorLayout>& Override() {
    static std::vector<MonitorLayout> layout;
    return layout;
}

TRect FromQRect(const QRect& R) {
    return Rect(R.left(), R.top(), R.right() + 1, R.bottom() + 1);
}

std::vector<MonitorLayout> Layout() {
    if (!Override().empty()) return Override();
    EnsureQtApplication();
    std::vector<MonitorLayout> layout;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) layout.push_back({FromQRect(primary->geometry()), FromQRect(primary->availableGeometry())});
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            layout.push_back({FromQRect(screen->geometry()), FromQRect(screen->availableGeometry())});
    return layout;
}

HMONITOR HandleOf(size_t Index) {
    return reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(Index + 1));
}

// The square of how far Point lies outside R; 0 inside.
int SquaredDistanceTo(const TRect& R, TPoint Point) {
    const int dx = Point.X < R.Left ? R.Left - Point.X : Point.X >= R.Right ? Point.X - R.Right + 1 : 0;
    const int dy = Point.Y < R.Top ? R.Top - Point.Y : Point.Y >= R.Bottom ? Point.Y - R.Bottom + 1 : 0;
    return dx * dx + dy * dy;
}

} // namespace

void OverrideMonitorLayout(std::vector<MonitorLayout> Monitors) {
    Override() = std::move(Monitors);
}

} // namespace platform_ui

using namespace platform_ui;

HMONITOR MonitorFromPoint(TPoint Point, DWORD Flags) {
    const std::vector<MonitorLayout> layout = Layout();
    if (layout.empty()) return nullptr;
    size_t nearest = 0;
    for (size_t i = 0; i < layout.size(); ++i) {
        if (PtInRect(layout[i].Monitor, Point)) return HandleOf(i);
        if (SquaredDistanceTo(layout[i].Monitor, Point) < SquaredDistanceTo(layout[nearest].Monitor, Point))
            nearest = i;
    }
    switch (Flags) {
    case MONITOR_DEFAULTTONEAREST:
        return HandleOf(nearest);
    case MONITOR_DEFAULTTOPRIMARY:
        return HandleOf(0);
    default:
        return nullptr;
    }
}

bool GetMonitorInfo(HMONITOR Monitor, MONITORINFO& Info) {
    const std::vector<MonitorLayout> layout = Layout();
    const auto index = reinterpret_cast<uintptr_t>(Monitor);
    if (index == 0 || index > layout.size()) return false;
    const MonitorLayout& m = layout[index - 1];
    Info.rcMonitor = m.Monitor;
    Info.rcWork = m.Work;
    Info.dwFlags = index == 1 ? MONITORINFOF_PRIMARY : 0;
    return true;
}
