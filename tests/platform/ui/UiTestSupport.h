// Shared pieces of the control and form tests: a dialog hook that records
// every box and answers from a queue, and real input sent as Qt events.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Focus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Timers.h"
#include "platform/ui/testhooks/WmTestHooks.h"

#include <deque>
#include <string>
#include <vector>

namespace uitest {

// Qt key codes, as the input layer expects them.
constexpr int KeyEscape = 0x01000000;
constexpr int KeyTab = 0x01000001;
constexpr int KeyBacktab = 0x01000002;
constexpr int KeyReturn = 0x01000004;
constexpr int KeyLeft = 0x01000012;
constexpr int KeyUp = 0x01000013;
constexpr int KeyRight = 0x01000014;
constexpr int KeyDown = 0x01000015;
constexpr int KeyF2 = 0x01000031;
constexpr int KeySpace = 0x20;

// Records every dialog request; answers message boxes from Answers (IDOK
// when empty) and file dialogs with Files.
class DialogRecorder {
public:
    DialogRecorder()
        : FScope([this](const TDialogRequest& r) {
              Requests.push_back(r);
              TDialogAnswer a;
              if (r.Kind == TDialogKind::Beep) return a;
              if (!Answers.empty()) {
                  a.Result = Answers.front();
                  Answers.pop_front();
              } else {
                  a.Result = IDOK;
              }
              a.Files = Files;
              return a;
          }) {}

    int Count(TDialogKind kind) const {
        int n = 0;
        for (const auto& r : Requests)
            if (r.Kind == kind) ++n;
        return n;
    }
    std::vector<TDialogRequest> Boxes() const {
        std::vector<TDialogRequest> boxes;
        for (const auto& r : Requests)
            if (r.Kind == TDialogKind::MessageBox) boxes.push_back(r);
        return boxes;
    }

    std::vector<TDialogRequest> Requests;
    std::deque<int> Answers;
    std::vector<std::string> Files;

private:
    TDialogHookScope FScope;
};

// A key typed into the control's window as Qt delivers it, then the queue drained.
inline void Type(TWinControl* control, int qtKey, const std::string& text = "", unsigned modifiers = 0) {
    platform_ui::test::SendQtKey(control->Handle(), qtKey, modifiers, text);
    ProcessMessages();
}

inline void TypeText(TWinControl* control, const std::string& text) {
    for (char c : text)
        Type(control, static_cast<unsigned char>(c) >= 'a' && c <= 'z' ? c - 32 : c, std::string(1, c));
}

// A left click at a point of the window (window coordinates).
inline void Click(TWinControl* control, TPoint at = {5, 5}) {
    platform_ui::test::SendQtMouse(control->Handle(), 1, at, 1, 1);
    platform_ui::test::SendQtMouse(control->Handle(), 2, at, 1, 0);
    ProcessMessages();
}

inline TWinControl* FocusedControl() {
    return FindControl(GetFocus());
}

// Runs the message loop for a short while, as the program does while it waits
// for the user (idle work such as action updates runs then).
inline void WaitABit() {
    bool done = false;
    SetTimer(nullptr, 0, 30, [&](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        done = true;
    });
    RunModalLoop([&] { return done; });
}

} // namespace uitest
