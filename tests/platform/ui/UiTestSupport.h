// Shared pieces of the control and form tests: a dialog hook that records
// every box and answers from a queue, and real input sent as Qt events.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Timers.h"
#include "platform/ui/testhooks/WmTestHooks.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace uitest {

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

// A key typed into the control's window as Qt delivers it, then the queue
// drained: a virtual key (VK_RETURN, 'A'), the text it types, the MK_ keys held.
inline void Type(TWinControl* control, Word key, const std::string& text = "", WPARAM keys = 0) {
    platform_ui::test::SendQtKey(control->Handle(), key, keys, text);
    ProcessMessages();
}

// Printable characters typed one by one; each one names its key.
inline void TypeText(TWinControl* control, const std::string& text) {
    for (char c : text)
        Type(control, 0, std::string(1, c));
}

// A left click at a point of the window (window coordinates).
inline void Click(TWinControl* control, TPoint at = {5, 5}) {
    using platform_ui::test::TMouseEventKind;
    platform_ui::test::SendQtMouse(control->Handle(), TMouseEventKind::Press, at, MK_LBUTTON, MK_LBUTTON);
    platform_ui::test::SendQtMouse(control->Handle(), TMouseEventKind::Release, at, MK_LBUTTON, 0);
    ProcessMessages();
}

// A bitmap of one colour.
inline std::unique_ptr<TBitmap> Filled(int width, int height, TColor color) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(width, height);
    bitmap->Canvas()->Brush()->SetColor(color);
    bitmap->Canvas()->FillRect(Rect(0, 0, width, height));
    return bitmap;
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
