// Focus, capture and activation kept as plain handles. Qt's own focus follows
// ours (so keys arrive and an input method composes for the focused control),
// but the routing of input uses these handles, never Qt's.
#include "platform/ui/Focus.h"

#include "platform/ui/Messages.h"
#include "platform/ui/private/MessageQueue_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QWidget>

#include <algorithm>
#include <vector>

using namespace platform_ui;

namespace {

struct FocusState {
    HWND Focus = nullptr;
    HWND Capture = nullptr;
    HWND Active = nullptr;
    // Windows asked of Qt in this order, their answers not seen yet. Qt
    // answers in order, so an answer also settles the requests before it.
    std::vector<HWND> ActivationsAsked;
    bool FollowingQt = false;
};

FocusState& State() {
    // Never destroyed: windows destroyed by exit handlers still leave the
    // focus, after function statics made later have gone.
    static FocusState& state = *new FocusState;
    return state;
}

bool Contains(HWND outer, HWND inner) {
    return inner && (inner == outer || IsChild(outer, inner));
}

// Asks Qt to activate Wnd's widget; its answer comes later. Qt does not
// answer for a window that is active already, so nothing is awaited then,
// and the desktop never activates a popup, so it is not asked to.
void AskQtToActivate(HWND Wnd) {
    if (NeverActivated(Wnd)) return;
    if (QWidget* widget = Wnd->Widget.data(); widget && widget->isVisible()) {
        auto& asked = State().ActivationsAsked;
        if (!widget->isActiveWindow() && (asked.empty() || asked.back() != Wnd)) asked.push_back(Wnd);
        widget->activateWindow();
    }
}

// Where the activation goes when the active window hides: to its owner, or
// to the window it was shown above.
HWND NextActive(HWND Wnd) {
    for (HWND next : {Wnd->Parent, Wnd->ShownAbove})
        if (IsLiveWindow(next) && IsWindowVisible(next) && !next->Destroying && !NeverActivated(next)) return next;
    return nullptr;
}

} // namespace

namespace platform_ui {

void FocusWindowGone(HWND Wnd) {
    auto& state = State();
    if (state.Capture && Contains(Wnd, state.Capture)) ReleaseCapture();
    if (state.Focus && Contains(Wnd, state.Focus)) SetFocus(Wnd->IsChild() ? Wnd->Parent : nullptr);
    std::erase(state.ActivationsAsked, Wnd);
    if (state.Active == Wnd) SetActiveWindow(NextActive(Wnd));
}

void WindowDestroyed(HWND Wnd) {
    auto& state = State();
    if (state.Focus == Wnd) state.Focus = nullptr;
    if (state.Capture == Wnd) state.Capture = nullptr;
    if (state.Active == Wnd) state.Active = nullptr;
    std::erase(state.ActivationsAsked, Wnd);
    KillWindowTimers(Wnd);
    DropQueuedMessages(Wnd);
}

void MoveQtFocus(HWND Wnd) {
    if (QWidget* widget = IsLiveWindow(Wnd) ? Wnd->Widget.data() : nullptr) widget->setFocus(Qt::OtherFocusReason);
    RefreshInputMethod();
}

// Activation that Qt reports. Qt answers our own requests late, so an answer
// to an older request must not undo a newer one; only activation that nobody
// here asked for (the user clicked another window) is followed. A window
// behind a hold is never followed, even while an answer is awaited: the
// desktop may hand it the activation when a dialog of Qt's own closes.
void QtActivatedWindow(HWND Wnd) {
    auto& state = State();
    auto& asked = state.ActivationsAsked;
    if (auto answered = std::find(asked.begin(), asked.end(), Wnd); answered != asked.end()) {
        asked.erase(asked.begin(), answered + 1);
        return;
    }
    // Popups never take the activation, whatever the desktop does with them.
    // Qt's goes back to the active window unless the keyboard is in the
    // popup, so that Qt's focus object (where input methods compose) stays
    // the control that has the focus.
    if (NeverActivated(Wnd)) {
        if (IsLiveWindow(state.Active) && !Contains(Wnd, state.Focus)) AskQtToActivate(state.Active);
        return;
    }
    if (state.Active == Wnd) return;
    // Windows behind a modal form (or a long operation's window) cannot be
    // activated: the hold's window takes the activation back, so the keys
    // typed next reach it instead of being held back.
    if (InputHeldBack(Wnd)) {
        HWND hold = GetAncestorTopLevel(InputHoldWindow());
        if (!hold || NeverActivated(hold)) hold = state.Active;
        if (!IsLiveWindow(hold)) return;
        if (hold == state.Active)
            AskQtToActivate(hold);
        else
            SetActiveWindow(hold);
        return;
    }
    if (!asked.empty()) return;
    state.FollowingQt = true;
    SetActiveWindow(Wnd);
    state.FollowingQt = false;
}

void QtDialogClosed() {
    if (IsLiveWindow(State().Active)) AskQtToActivate(State().Active);
}

} // namespace platform_ui

HWND SetFocus(HWND Wnd) {
    auto& state = State();
    if (Wnd) {
        if (!IsLiveWindow(Wnd)) return nullptr;
        // A disabled or minimised window, or one inside such a window, cannot take the focus.
        for (HWND w = Wnd; w; w = w->IsChild() ? w->Parent : nullptr) {
            if ((w->Style & WS_DISABLED) || w->Minimized) return nullptr;
            if (!w->IsChild()) break;
        }
        // Focus activates its top-level window, except in popups, which never
        // take the activation, and in hidden windows, which cannot have it.
        HWND top = GetAncestorTopLevel(Wnd);
        if (top && top != state.Active && !NeverActivated(top) && IsWindowVisible(top)) {
            SetActiveWindow(top);
            if (!IsLiveWindow(Wnd)) return nullptr;
        }
    }
    if (state.Focus == Wnd) return Wnd;
    // While the old control still has the focus; its characters may move it.
    FinishComposition();
    HWND previous = state.Focus;
    if (previous == Wnd) return previous;
    state.Focus = Wnd;
    if (IsLiveWindow(previous)) SendMessage(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(Wnd), 0);
    if (state.Focus != Wnd) return previous; // the old window moved the focus on
    if (IsLiveWindow(Wnd)) {
        MoveQtFocus(Wnd);
        SendMessage(Wnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(IsLiveWindow(previous) ? previous : nullptr), 0);
    }
    return IsLiveWindow(previous) ? previous : nullptr;
}

HWND GetFocus() {
    return State().Focus;
}

HWND SetCapture(HWND Wnd) {
    auto& state = State();
    if (Wnd && !IsLiveWindow(Wnd)) return nullptr;
    HWND previous = state.Capture;
    if (previous == Wnd) return previous;
    state.Capture = Wnd;
    if (IsLiveWindow(previous))
        if (QWidget* widget = previous->Widget.data()) widget->releaseMouse();
    if (Wnd)
        if (QWidget* widget = Wnd->Widget.data(); widget && widget->isVisible()) widget->grabMouse();
    if (IsLiveWindow(previous)) SendMessage(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(Wnd));
    return IsLiveWindow(previous) ? previous : nullptr;
}

bool ReleaseCapture() {
    if (!State().Capture) return true;
    SetCapture(nullptr);
    return true;
}

HWND GetCapture() {
    return State().Capture;
}

HWND SetActiveWindow(HWND Wnd) {
    auto& state = State();
    if (Wnd) {
        if (!IsLiveWindow(Wnd)) return nullptr;
        Wnd = GetAncestorTopLevel(Wnd);
        // A popup (a wait message, the application's window) shows without
        // taking the activation from the window the user works in.
        if (NeverActivated(Wnd)) return nullptr;
    }
    HWND previous = state.Active;
    if (previous == Wnd) return previous;
    state.Active = Wnd;
    if (IsLiveWindow(previous)) {
        SendMessage(previous, WM_NCACTIVATE, 0, 0);
        SendMessage(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(Wnd));
    }
    if (state.Active != Wnd) return previous;
    if (IsLiveWindow(Wnd)) {
        if (!state.FollowingQt) AskQtToActivate(Wnd);
        SendMessage(Wnd, WM_NCACTIVATE, 1, 0);
        SendMessage(Wnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(IsLiveWindow(previous) ? previous : nullptr));
    }
    return IsLiveWindow(previous) ? previous : nullptr;
}

HWND GetActiveWindow() {
    return State().Active;
}

bool SetForegroundWindow(HWND Wnd) {
    if (!IsLiveWindow(Wnd)) return false;
    if (QWidget* widget = Wnd->Widget.data()) widget->raise();
    SetActiveWindow(Wnd);
    return true;
}

HWND GetForegroundWindow() {
    return State().Active;
}
