// Sending and posting messages, the platform's own message queue, message loops.
// Sent messages run the window's procedure chain at once. Posted messages, input
// and timer ticks wait in one queue that the Qt event loop drains, so a nested
// loop built on GetMessage/PeekMessage sees them as on Win32. WM_PAINT is
// reported by the loop functions while a visible window has an invalid region
// and nothing else is pending.
#pragma once

#include "platform/ui/WinTypes.h"

#include <functional>
#include <string>

struct TMsg {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    TPoint pt{};
};
using MSG = TMsg;

// Calls the window's procedure chain now and returns Message.Result. Exceptions
// pass to the caller; the boundary that catches them is where Qt calls in.
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
void SendMessage(HWND Wnd, TMessage& Message);

// Queues a message (Wnd 0: a message for the loop itself). False for a window
// that does not exist.
bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// Queues WM_QUIT with the exit code; the loop that takes it ends.
void PostQuitMessage(int ExitCode);

// Takes the first pending message for Wnd (0: any window, and the loop's own
// messages) with a number in First..Last (both 0: any). Pending Qt events are
// handled first, so input that has arrived is queued. PM_REMOVE takes it off.
bool PeekMessage(TMsg& Msg, HWND Wnd, UINT First, UINT Last, UINT RemoveFlags);
// Waits for a message as PeekMessage would take it; false when it is WM_QUIT.
bool GetMessage(TMsg& Msg, HWND Wnd, UINT First, UINT Last);
// Characters are queued by input translation already, so this only reports
// whether Msg is a key message that has them.
bool TranslateMessage(const TMsg& Msg);
// Delivers a message taken from the queue (WM_TIMER with a timer callback calls
// the callback). Runs inside the exception boundary.
LRESULT DispatchMessage(const TMsg& Msg);
// Blocks until a message or Qt event arrives.
void WaitMessage();

// The time (milliseconds since start-up) and the screen position of the pointer
// when the message being handled was queued.
DWORD GetMessageTime();
TPoint GetMessagePos();
// Milliseconds since start-up on the same clock.
DWORD GetTickCount();

// Numbers 0xC000..0xFFFF, the same for the same name during the process.
UINT RegisterWindowMessage(const std::string& Name);

// Handles every pending Qt event and queued message, then returns. False when
// WM_QUIT was taken (it is posted again, so the outer loop sees it too).
bool ProcessMessages();
// Handles one message, or waits for one when none is pending. False on WM_QUIT,
// which is posted again for the outer loop.
bool HandleMessage();
// A nested loop: handles messages until Done() answers true (asked after each)
// or WM_QUIT arrives; WM_QUIT is posted again. Returns false on WM_QUIT. Modal
// forms and controls that track the mouse while holding the capture run one.
bool RunModalLoop(const std::function<bool()>& Done);
// The main loop: runs until WM_QUIT and returns its exit code.
int RunMessageLoop();

// A modal loop begins for Wnd (null: a dialog or menu of Qt's own): a mouse
// capture held outside Wnd (any capture for null) gets WM_CANCELMODE and is
// released, as disabling its window does on Win32. So the modal window takes
// the mouse, and no window waits for a button-up it will never hear.
void CancelCaptureOutside(HWND Wnd);

// While alive, user input (keys, mouse, wheel) reaches only Wnd and its
// descendants, as if Wnd were modal; it is dropped elsewhere. Long operations
// hold one while they pump messages, so a second action cannot start in the
// middle of the first. Nested holds narrow to the innermost window.
class TInputHoldBack {
public:
    explicit TInputHoldBack(HWND Wnd);
    ~TInputHoldBack();
    TInputHoldBack(const TInputHoldBack&) = delete;
    TInputHoldBack& operator=(const TInputHoldBack&) = delete;
};

// The exception boundary. Every call from Qt into the system (input, paint,
// timers, queued messages) catches: EAbort silently, any other exception goes to
// this handler (the application installs one that shows a message box; the
// default prints the message to stderr). Returns the previous handler.
using TExceptionHandler = std::function<void(const std::exception& E)>;
TExceptionHandler SetExceptionHandler(TExceptionHandler Handler);
// Runs Action inside the boundary; false when it threw.
bool RunGuarded(const std::function<void()>& Action);
// Reports E as the boundary does, for code that catches for itself (a control's
// window procedure): EAbort stays silent; inside Qt's paint the report waits
// for the queue, so no box opens there. Call it from the catch that caught E.
void ReportException(const std::exception& E);
