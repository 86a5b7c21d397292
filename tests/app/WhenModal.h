// Drives a modal window from inside its loop: a timer checks Ready on each
// tick and runs Action once, the first time Ready holds.
#pragma once

#include "platform/ui/ExtCtrls.h"

#include <functional>
#include <utility>

class WhenModal {
public:
    WhenModal(std::function<bool()> Ready, std::function<void()> Action) : FTimer(nullptr) {
        FTimer.SetInterval(1);
        FTimer.OnTimer = [this, ready = std::move(Ready), action = std::move(Action)](TObject*) {
            if (!ready()) return;
            FTimer.SetEnabled(false);
            action();
        };
    }
    // Action at the first tick, whatever window shows.
    explicit WhenModal(std::function<void()> Action) : WhenModal([] { return true; }, std::move(Action)) {}

private:
    TTimer FTimer;
};

// The usual readiness: the window that Form points at (made later, so read
// at each tick) shows modally.
template <class T> std::function<bool()> ShowsModally(T*& Form) {
    return [&Form] { return Form && Form->Modal(); };
}
