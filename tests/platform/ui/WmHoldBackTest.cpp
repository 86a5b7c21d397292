// An input hold (a modal form, a long operation's window) against what else
// may take the input: the desktop activating a window behind it, and a window
// that held the mouse capture when the hold began.
#include "WmRecorder.h"

#include "platform/ui/Focus.h"
#include "platform/ui/testhooks/DesktopTestHooks.h"

namespace {

using namespace platform_ui::test;


class WmHoldBackTest : public ::testing::Test {
protected:
    void SetUp() override { ProcessMessages(); }
    void TearDown() override {
        ReleaseCapture();
        SetFocus(nullptr);
        ProcessMessages();
    }
};

// A main window, a dialog it owns with an edit inside, a window the dialog
// owns, and an unrelated window.
struct Desktop {
    enum Which { Main, Dialog, Edit, Owned, Other, Count };
    explicit Desktop(WmRecorder& recorder) {
        windows[Main] = recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(0, 0, 300, 200));
        windows[Dialog] = recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(40, 40, 150, 100), windows[Main]);
        windows[Edit] = recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(5, 5, 80, 20), windows[Dialog]);
        windows[Owned] = recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(60, 60, 80, 60), windows[Dialog]);
        windows[Other] = recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(400, 0, 100, 100));
    }
    HWND operator[](Which w) const { return windows[w]; }
    HWND windows[Count] = {};
};

TEST_F(WmHoldBackTest, TheDesktopCannotActivateAWindowBehindTheHold) {
    struct Case {
        const char* what;
        Desktop::Which activated;
        bool held;
        Desktop::Which active, focus;
    };
    const Case cases[] = {
        {"the owner behind a modal dialog", Desktop::Main, true, Desktop::Dialog, Desktop::Edit},
        {"an unrelated window", Desktop::Other, true, Desktop::Dialog, Desktop::Edit},
        {"a window the dialog owns", Desktop::Owned, true, Desktop::Owned, Desktop::Owned},
        {"the owner when nothing holds input", Desktop::Main, false, Desktop::Main, Desktop::Main},
    };
    for (const Case& c : cases) {
        WmRecorder recorder;
        const Desktop desktop(recorder);
        SettleActivation();
        SetFocus(desktop[Desktop::Edit]);
        SettleActivation();
        ASSERT_EQ(GetActiveWindow(), desktop[Desktop::Dialog]) << c.what;
        ASSERT_EQ(GetFocus(), desktop[Desktop::Edit]) << c.what;
        recorder.Clear();
        {
            std::optional<TInputHoldBack> hold;
            if (c.held) hold.emplace(desktop[Desktop::Dialog]);
            ActivateFromDesktop(desktop[c.activated]);
            SettleActivation();
            EXPECT_EQ(GetActiveWindow(), desktop[c.active]) << c.what;
            EXPECT_EQ(GetFocus(), desktop[c.focus]) << c.what;
            recorder.Clear();
            SendQtKey(desktop[c.focus], 'A', 0, "a");
            ProcessMessages();
            recorder.Expect({{WM_CHAR, WmHow::Posted, 'a', std::nullopt, desktop[c.focus]}},
                            std::string(c.what) + ": the next key reaches the focus");
        }
    }
}

TEST_F(WmHoldBackTest, AHoldCancelsACaptureOutsideIt) {
    struct Case {
        const char* what;
        Desktop::Which capture;
        bool cancelled;
    };
    const Case cases[] = {
        {"a window behind the hold", Desktop::Main, true},
        {"an unrelated window", Desktop::Other, true},
        {"the holding window", Desktop::Dialog, false},
        {"a child of the holding window", Desktop::Edit, false},
        {"a window the holding window owns", Desktop::Owned, false},
    };
    for (const Case& c : cases) {
        WmRecorder recorder;
        const Desktop desktop(recorder);
        HWND captured = desktop[c.capture];
        SetCapture(captured);
        recorder.Clear();
        {
            TInputHoldBack hold(desktop[Desktop::Dialog]);
            if (c.cancelled)
                recorder.Expect({{WM_CANCELMODE, WmHow::Sent, std::nullopt, std::nullopt, captured},
                                 {WM_CAPTURECHANGED, WmHow::Sent, std::nullopt, 0, captured}},
                                c.what);
            else
                EXPECT_TRUE(recorder.Of(WM_CANCELMODE).empty() && recorder.Of(WM_CAPTURECHANGED).empty()) << c.what;
            EXPECT_EQ(GetCapture(), c.cancelled ? nullptr : captured) << c.what;
        }
        EXPECT_EQ(GetCapture(), c.cancelled ? nullptr : captured) << c.what << ": after the hold";
        ReleaseCapture();
    }
}

} // namespace
