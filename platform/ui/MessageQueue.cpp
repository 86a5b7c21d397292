// The platform's message queue and loops. Posted messages, translated input and
// timer ticks wait in one queue. Outside a GetMessage/PeekMessage loop the Qt
// event loop drains it (input at once, so a native widget learns whether its key
// was swallowed); while such a loop pumps Qt events, everything waits for that
// loop, which is how controls that track the mouse see their input.
#include "platform/ui/MessageQueue.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Input.h"
#include "platform/ui/Timers.h"
#include "platform/ui/private/MessageQueue_p.h"
#include "platform/ui/private/QtApplication_p.h"
#include "platform/ui/private/WindowManager_p.h"
#include "platform/ui/private/Window_p.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>

#include <deque>
#include <map>
#include <utility>

using namespace platform_ui;

namespace {

struct QueueState {
    std::deque<QueuedMessage> Queue;
    int Pumping = 0;
    bool DrainScheduled = false;
    DWORD MessageTime = 0;
    TPoint MessagePos{};
    std::vector<HWND> HoldBacks;
    std::map<std::string, UINT> RegisteredMessages;
    bool NextDeliveryPosted = false;
    std::vector<bool> DeliveryPosted; // per message being handled, innermost last
};

QueueState& State() {
    static QueueState state;
    return state;
}

QElapsedTimer& Clock() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock;
}

constexpr QEvent::Type DrainEventType = static_cast<QEvent::Type>(QEvent::User + 0x5701);

// A window whose WM_PAINT handler never validates its region is found again
// at once; after this many paints in one drain the drain stops instead of
// hanging the program. Far more than any real form has windows to paint.
constexpr int MaxPaintsPerDrain = 10000;

class Dispatcher : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() != DrainEventType) return QObject::event(e);
        State().DrainScheduled = false;
        DrainQueue();
        return true;
    }
    static void DrainQueue();
};

Dispatcher& TheDispatcher() {
    static Dispatcher* dispatcher = [] {
        EnsureQtApplication();
        return new Dispatcher;
    }();
    return *dispatcher;
}

HWND FindWindowToPaint(HWND wnd);

// Runs Qt's pending events with the queue held for the calling loop.
void PumpQt(bool wait) {
    EnsureQtApplication();
    auto& state = State();
    ++state.Pumping;
    struct Leave {
        // What the loop left behind is drained later; asking only when there
        // is something keeps a waiting loop from waking itself forever.
        ~Leave() {
            auto& state = State();
            if (--state.Pumping == 0 && (!state.Queue.empty() || FindWindowToPaint(nullptr))) ScheduleDrain();
        }
    } leave;
    QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
}

bool Matches(const TMsg& m, HWND wnd, UINT first, UINT last) {
    if (m.message == WM_QUIT) return true; // a quit request passes every filter
    if (wnd && m.hwnd != wnd) return false;
    if (first == 0 && last == 0) return true;
    return m.message >= first && m.message <= last;
}

HWND FindWindowToPaint(HWND wnd) {
    if (wnd) return NeedsPaint(wnd) ? wnd : nullptr;
    HWND found = nullptr;
    EnumWindows([&](HWND top) {
        if (NeedsPaint(top))
            found = top;
        else
            EnumChildWindows(top, [&](HWND child) {
                if (NeedsPaint(child)) found = child;
                return found == nullptr;
            });
        return found == nullptr;
    });
    return found;
}

// A message taken off the queue: input brings the keyboard as it left it.
void Read(const QueuedMessage& q) {
    if (q.Keyboard) KeyboardRead(*q.Keyboard);
}

// Takes a message without pumping Qt.
bool TakeQueued(QueuedMessage& out, HWND wnd, UINT first, UINT last, UINT flags) {
    auto& queue = State().Queue;
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!Matches(it->Msg, wnd, first, last)) continue;
        out = *it;
        if (flags & PM_REMOVE) {
            queue.erase(it);
            Read(out);
        }
        return true;
    }
    const bool wantsPaint = (first == 0 && last == 0) || (first <= WM_PAINT && WM_PAINT <= last);
    if (wantsPaint)
        if (HWND paint = FindWindowToPaint(wnd)) {
            out = {};
            out.Msg.hwnd = paint;
            out.Msg.message = WM_PAINT;
            out.Msg.time = CurrentTime();
            return true;
        }
    return false;
}

bool TakeMessage(QueuedMessage& out, HWND wnd, UINT first, UINT last, UINT flags) {
    PumpQt(false);
    if (!TakeQueued(out, wnd, first, last, flags)) return false;
    if (flags & PM_REMOVE) SetCurrentMessageTime(out.Msg.time, out.Msg.pt);
    return true;
}

// What the application's own loop does with a message: key hooks first, then
// the window. A swallowed key-down takes its characters with it.
void ProcessQueued(const QueuedMessage& q) {
    const UINT m = q.Msg.message;
    if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) {
        bool swallowed = false;
        RunGuarded([&] { swallowed = PreTranslateKeyMessage(q.Msg); });
        if (swallowed) {
            if (q.KeyGroup) {
                auto& queue = State().Queue;
                for (auto it = queue.begin(); it != queue.end();) {
                    const UINT k = it->Msg.message;
                    if (it->KeyGroup == q.KeyGroup && (k == WM_CHAR || k == WM_SYSCHAR))
                        it = queue.erase(it);
                    else
                        ++it;
                }
            }
            return;
        }
    }
    DispatchMessage(q.Msg);
}

void Dispatcher::DrainQueue() {
    auto& state = State();
    if (state.Pumping > 0) return; // the pumping loop takes its own messages
    // Only what was queued on entry: a message that posts itself again must
    // not keep Qt from its own events.
    for (size_t budget = state.Queue.size(); budget > 0; --budget) {
        QueuedMessage q;
        bool found = false;
        for (auto it = state.Queue.begin(); it != state.Queue.end(); ++it) {
            if (it->Msg.message == WM_QUIT) continue; // left for the loop that ends on it
            q = *it;
            state.Queue.erase(it);
            Read(q);
            found = true;
            break;
        }
        if (!found) break;
        ProcessQueued(q);
        DeleteRetiredWidgets();
        if (state.Pumping > 0) return;
    }
    for (const auto& q : state.Queue)
        if (q.Msg.message != WM_QUIT) {
            ScheduleDrain();
            break;
        }
    // Paints come when nothing else is pending, parents before children.
    for (int painted = 0; painted < MaxPaintsPerDrain; ++painted) {
        HWND w = FindWindowToPaint(nullptr);
        if (!w) break;
        TMsg paint;
        paint.hwnd = w;
        paint.message = WM_PAINT;
        DispatchMessage(paint);
        if (state.Pumping > 0) return;
    }
    DeleteRetiredWidgets();
}

} // namespace

namespace platform_ui {

void EnqueueMessage(const QueuedMessage& Message) {
    State().Queue.push_back(Message);
    ScheduleDrain();
}

void DropQueuedMessages(HWND Wnd) {
    auto& queue = State().Queue;
    for (auto it = queue.begin(); it != queue.end();) {
        if (it->Msg.hwnd == Wnd)
            it = queue.erase(it);
        else
            ++it;
    }
}

void DropQueuedTimer(HWND Wnd, UINT_PTR Id) {
    auto& queue = State().Queue;
    for (auto it = queue.begin(); it != queue.end();) {
        if (it->Msg.hwnd == Wnd && it->Msg.message == WM_TIMER && it->Msg.wParam == Id)
            it = queue.erase(it);
        else
            ++it;
    }
}

void RetargetQueuedMouseInput(HWND Capture) {
    for (auto& q : State().Queue) {
        if (!q.Keyboard) continue; // posted, not input
        TMsg& m = q.Msg;
        const bool client = m.message >= WM_MOUSEMOVE && m.message <= WM_MBUTTONDBLCLK;
        const bool nonClient = m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCMBUTTONDBLCLK;
        if (!client && !nonClient) continue;
        TPoint point = m.pt;
        ScreenToClient(Capture, point);
        if (nonClient) {
            m.message = m.message - WM_NCMOUSEMOVE + WM_MOUSEMOVE;
            m.wParam = q.MouseKeys;
        }
        m.hwnd = Capture;
        m.lParam = PointToLParam(point);
    }
}

bool HasQueuedTimer(HWND Wnd, UINT_PTR Id) {
    for (const auto& q : State().Queue)
        if (q.Msg.hwnd == Wnd && q.Msg.message == WM_TIMER && q.Msg.wParam == Id) return true;
    return false;
}

void MarkNextDeliveryPosted() {
    State().NextDeliveryPosted = true;
}

bool CurrentMessageWasPosted() {
    const auto& posted = State().DeliveryPosted;
    return !posted.empty() && posted.back();
}

void InputQueued() {
    if (State().Pumping == 0) Dispatcher::DrainQueue();
}

void ScheduleDrain() {
    auto& state = State();
    if (state.DrainScheduled || !QCoreApplication::instance()) return;
    state.DrainScheduled = true;
    QCoreApplication::postEvent(&TheDispatcher(), new QEvent(DrainEventType));
}

DWORD CurrentTime() {
    return static_cast<DWORD>(Clock().elapsed());
}

void SetCurrentMessageTime(DWORD Time, TPoint Pos) {
    State().MessageTime = Time;
    State().MessagePos = Pos;
}

// The allowed window, its children and the windows it owns (its popups).
bool InsideHold(HWND Allowed, HWND Wnd) {
    for (HWND w = Wnd; w; w = IsLiveWindow(w) ? w->Parent : nullptr)
        if (w == Allowed) return true;
    return false;
}

HWND InputHoldWindow() {
    const auto& holds = State().HoldBacks;
    return !holds.empty() && IsLiveWindow(holds.back()) ? holds.back() : nullptr;
}

bool InputHeldBack(HWND Wnd) {
    HWND allowed = InputHoldWindow();
    return allowed && !InsideHold(allowed, Wnd);
}

} // namespace platform_ui

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage message{Msg, WParam, LParam, 0};
    SendMessage(Wnd, message);
    return message.Result;
}

void SendMessage(HWND Wnd, TMessage& Message) {
    Message.Result = 0;
    auto& state = State();
    const bool posted = std::exchange(state.NextDeliveryPosted, false);
    if (!IsLiveWindow(Wnd)) return;
    state.DeliveryPosted.push_back(posted);
    struct Pop {
        ~Pop() { State().DeliveryPosted.pop_back(); }
    } pop;
    DeliverToChain(Wnd, Message);
}

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Wnd && !IsLiveWindow(Wnd)) return false;
    QueuedMessage q;
    q.Msg = {Wnd, Msg, WParam, LParam, CurrentTime(), {}};
    GetCursorPos(q.Msg.pt);
    EnqueueMessage(q);
    return true;
}

void PostQuitMessage(int ExitCode) {
    PostMessage(nullptr, WM_QUIT, static_cast<WPARAM>(ExitCode), 0);
}

bool PeekMessage(TMsg& Msg, HWND Wnd, UINT First, UINT Last, UINT RemoveFlags) {
    QueuedMessage q;
    if (!TakeMessage(q, Wnd, First, Last, RemoveFlags)) return false;
    Msg = q.Msg;
    return true;
}

bool GetMessage(TMsg& Msg, HWND Wnd, UINT First, UINT Last) {
    for (;;) {
        if (PeekMessage(Msg, Wnd, First, Last, PM_REMOVE)) return Msg.message != WM_QUIT;
        WaitMessage();
    }
}

bool TranslateMessage(const TMsg& Msg) {
    return Msg.message == WM_KEYDOWN || Msg.message == WM_SYSKEYDOWN;
}

LRESULT DispatchMessage(const TMsg& Msg) {
    LRESULT result = 0;
    const DWORD savedTime = State().MessageTime;
    const TPoint savedPos = State().MessagePos;
    SetCurrentMessageTime(Msg.time, Msg.pt);
    if (Msg.message == WM_PAINT) {
        // Guarded inside; a paint that fails still validates its region.
        if (IsLiveWindow(Msg.hwnd)) PaintWindowNow(Msg.hwnd, true);
        SetCurrentMessageTime(savedTime, savedPos);
        return 0;
    }
    RunGuarded([&] {
        if (Msg.message == WM_REPORTFAILURES && !Msg.hwnd) return ReportLateFailures();
        if (Msg.message == WM_TIMER && DispatchTimerCallback(Msg)) return;
        if (!Msg.hwnd) return;
        State().NextDeliveryPosted = true;
        result = SendMessage(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam);
    });
    SetCurrentMessageTime(savedTime, savedPos);
    return result;
}

void WaitMessage() {
    PumpQt(true);
}

DWORD GetMessageTime() {
    return State().MessageTime;
}

TPoint GetMessagePos() {
    return State().MessagePos;
}

DWORD GetTickCount() {
    return CurrentTime();
}

UINT RegisterWindowMessage(const std::string& Name) {
    const std::string key = UpperCase(Name);
    auto& registered = State().RegisteredMessages;
    auto it = registered.find(key);
    if (it != registered.end()) return it->second;
    const UINT number = 0xC000 + static_cast<UINT>(registered.size());
    if (number > 0xFFFF) return 0;
    registered.emplace(key, number);
    return number;
}

namespace {

enum class TakenMessage { None, Handled, Quit };

// The loops' one step: takes the next queued message and handles it; a quit
// message is left to the caller with its exit code.
TakenMessage HandleNextQueued(int& ExitCode) {
    QueuedMessage q;
    if (!TakeMessage(q, nullptr, 0, 0, PM_REMOVE)) return TakenMessage::None;
    if (q.Msg.message == WM_QUIT) {
        ExitCode = static_cast<int>(q.Msg.wParam);
        return TakenMessage::Quit;
    }
    ProcessQueued(q);
    DeleteRetiredWidgets();
    return TakenMessage::Handled;
}

} // namespace

bool ProcessMessages() {
    int exitCode = 0;
    TakenMessage taken;
    while ((taken = HandleNextQueued(exitCode)) == TakenMessage::Handled) {
    }
    if (taken == TakenMessage::Quit) {
        PostQuitMessage(exitCode);
        return false;
    }
    DeleteRetiredWidgets();
    return true;
}

bool HandleMessage() {
    int exitCode = 0;
    switch (HandleNextQueued(exitCode)) {
    case TakenMessage::Quit:
        PostQuitMessage(exitCode);
        return false;
    case TakenMessage::None:
        WaitMessage();
        return true;
    case TakenMessage::Handled:
        return true;
    }
    return true;
}

bool RunModalLoop(const std::function<bool()>& Done) {
    while (!Done())
        if (!HandleMessage()) return false;
    return true;
}

int RunMessageLoop() {
    for (;;) {
        int exitCode = 0;
        const TakenMessage taken = HandleNextQueued(exitCode);
        if (taken == TakenMessage::Quit) return exitCode;
        if (taken == TakenMessage::None) WaitMessage();
    }
}

void CancelCaptureOutside(HWND Wnd) {
    HWND capture = GetCapture();
    if (!capture || (Wnd && (!IsLiveWindow(Wnd) || InsideHold(Wnd, capture)))) return;
    SendMessage(capture, WM_CANCELMODE, 0, 0);
    if (GetCapture() == capture) ReleaseCapture();
}

TInputHoldBack::TInputHoldBack(HWND Wnd) {
    // The mouse is held back too: a window outside the hold would wait for a
    // button-up that never comes.
    if (IsLiveWindow(Wnd)) CancelCaptureOutside(Wnd);
    State().HoldBacks.push_back(Wnd);
}

TInputHoldBack::~TInputHoldBack() {
    State().HoldBacks.pop_back();
}
