// Window timers on QTimer. A tick queues WM_TIMER unless one is still pending
// for the same timer, as Win32 coalesces them; the message carries no callback
// pointer, DispatchMessage looks the callback up by (window, id).
#include "platform/ui/Timers.h"

#include "platform/ui/private/QtApplication_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QTimer>

#include <map>
#include <memory>

using namespace platform_ui;

namespace {

constexpr UINT MinimumElapse = 10;
constexpr UINT_PTR FirstThreadTimerId = 0x7F00;

struct TimerEntry {
    TTimerProc Proc;
    std::unique_ptr<QTimer> Timer;
};

struct TimerTable {
    std::map<std::pair<HWND, UINT_PTR>, TimerEntry> Timers;
    UINT_PTR NextThreadId = FirstThreadTimerId;
};

TimerTable& Table() {
    static TimerTable table;
    return table;
}

} // namespace

namespace platform_ui {

bool DispatchTimerCallback(const TMsg& Msg) {
    auto& timers = Table().Timers;
    auto it = timers.find({Msg.hwnd, Msg.wParam});
    if (it == timers.end() || !it->second.Proc) return false;
    const TTimerProc proc = it->second.Proc;
    proc(Msg.hwnd, WM_TIMER, Msg.wParam, GetTickCount());
    return true;
}

void KillWindowTimers(HWND Wnd) {
    auto& timers = Table().Timers;
    for (auto it = timers.begin(); it != timers.end();) {
        if (it->first.first == Wnd)
            it = timers.erase(it);
        else
            ++it;
    }
}

} // namespace platform_ui

UINT_PTR SetTimer(HWND Wnd, UINT_PTR Id, UINT Elapse, TTimerProc Proc) {
    if (Wnd && !IsLiveWindow(Wnd)) return 0;
    EnsureQtApplication();
    auto& table = Table();
    if (!Wnd && !table.Timers.count({nullptr, Id})) Id = table.NextThreadId++;
    auto& entry = table.Timers[{Wnd, Id}];
    entry.Proc = std::move(Proc);
    if (!entry.Timer) {
        entry.Timer = std::make_unique<QTimer>();
        QObject::connect(entry.Timer.get(), &QTimer::timeout, [Wnd, Id] {
            if (HasQueuedTimer(Wnd, Id)) return;
            QueuedMessage q;
            q.Msg = {Wnd, WM_TIMER, Id, 0, CurrentTime(), {}};
            EnqueueMessage(q);
        });
    }
    // Replacing a timer restarts its interval.
    entry.Timer->start(static_cast<int>(std::max(Elapse, MinimumElapse)));
    return Id;
}

bool KillTimer(HWND Wnd, UINT_PTR Id) {
    auto& timers = Table().Timers;
    auto it = timers.find({Wnd, Id});
    if (it == timers.end()) return false;
    timers.erase(it);
    DropQueuedTimer(Wnd, Id);
    return true;
}
