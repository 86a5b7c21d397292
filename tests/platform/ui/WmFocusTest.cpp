// Focus, capture and activation kept by the platform: the messages that carry
// the other window, capture across two top-level windows, focus in a popup that
// is never activated.
#include "WmRecorder.h"

#include "platform/ui/Focus.h"

namespace {

using namespace platform_ui::test;

class WmFocusTest : public ::testing::Test {
protected:
    void SetUp() override { ProcessMessages(); }
    void TearDown() override {
        ReleaseCapture();
        SetFocus(nullptr);
        ProcessMessages();
    }
    WmRecorder Recorder;
};

TEST_F(WmFocusTest, FocusMessagesCarryTheOtherWindow) {
    HWND form = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 100));
    HWND first = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(0, 0, 50, 20), form);
    HWND second = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(0, 30, 50, 20), form);
    SetFocus(first);
    Recorder.Clear();
    EXPECT_EQ(SetFocus(second), first);
    Recorder.Expect({{WM_KILLFOCUS, WmHow::Sent, reinterpret_cast<WPARAM>(second), 0, first},
                     {WM_SETFOCUS, WmHow::Sent, reinterpret_cast<WPARAM>(first), 0, second}},
                    "kill, then set");
    EXPECT_EQ(GetFocus(), second);

    Recorder.Clear();
    ShowWindow(second, SW_HIDE);
    EXPECT_EQ(GetFocus(), form) << "hiding the focus window hands the focus to its parent";
    ShowWindow(second, SW_SHOW);
    SetFocus(second);
    Recorder.Clear();
    EnableWindow(second, false);
    EXPECT_EQ(GetFocus(), nullptr) << "a disabled window cannot keep the focus";
    Recorder.Expect({{WM_CANCELMODE, WmHow::Sent, 0, 0, second},
                     {WM_KILLFOCUS, WmHow::Sent, 0, 0, second},
                     {WM_ENABLE, WmHow::Sent, 0, 0, second}},
                    "disabling");
    EXPECT_EQ(SetFocus(second), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WmFocusTest, CaptureFollowsTheMouseAcrossTopLevelWindows) {
    HWND a = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND b = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(300, 50, 100, 100));
    ProcessMessages();
    Recorder.Clear();
    EXPECT_EQ(SetCapture(a), nullptr);
    SendQtMouse(b, TMouseEventKind::Move, {10, 10}, 0, MK_LBUTTON);
    SendQtMouse(b, TMouseEventKind::Press, {10, 10}, MK_LBUTTON, MK_LBUTTON);
    ProcessMessages();
    Recorder.Expect({{WM_MOUSEMOVE, WmHow::Posted, MK_LBUTTON, WmPoint(310, 60), a},
                     {WM_LBUTTONDOWN, WmHow::Posted, MK_LBUTTON, WmPoint(310, 60), a}},
                    "in the capturing window's client coordinates");
    for (const auto& r : Recorder.Records) {
        const bool mouse = (r.Msg >= WM_MOUSEFIRST && r.Msg <= WM_MOUSELAST) || r.Msg == WM_NCHITTEST ||
                           r.Msg == WM_SETCURSOR || r.Msg == WM_MOUSEACTIVATE;
        EXPECT_FALSE(mouse && r.Wnd == b) << "b never hears of the mouse";
    }

    Recorder.Clear();
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    Recorder.Expect({{WM_CAPTURECHANGED, WmHow::Sent, 0, reinterpret_cast<LPARAM>(b), a},
                     {WM_CAPTURECHANGED, WmHow::Sent, 0, 0, b}},
                    "the loser hears who took it");

    SetCapture(a);
    DestroyWindow(a);
    EXPECT_EQ(GetCapture(), nullptr) << "a destroyed window gives the capture up";
}

TEST_F(WmFocusTest, APopupTakesTheKeyboardWithoutTheActivation) {
    HWND form = Recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(0, 0, 200, 100));
    SetActiveWindow(form);
    HWND popup = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(20, 20, 80, 60), form);
    HWND list = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(0, 0, 80, 60), popup);
    ProcessMessages();
    Recorder.Clear();
    SetFocus(list);
    EXPECT_EQ(GetActiveWindow(), form);
    SendQtKey(form, 'A', 0, "a");
    ProcessMessages();
    Recorder.Expect(
        {{WM_KEYDOWN, WmHow::Posted, 'A', std::nullopt, list}, {WM_CHAR, WmHow::Posted, 'a', std::nullopt, list}},
        "keys go to the focus window wherever Qt sends them");
    EXPECT_TRUE(Recorder.Of(WM_ACTIVATE).empty());
}

TEST_F(WmFocusTest, ActivationMessagesNameTheOtherWindow) {
    HWND a = Recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(0, 0, 100, 100));
    HWND b = Recorder.Create(WS_OVERLAPPEDWINDOW, Bounds(200, 0, 100, 100));
    SetActiveWindow(a);
    ProcessMessages();
    Recorder.Clear();
    ShowWindow(b, SW_SHOW);
    Recorder.Expect({{WM_NCACTIVATE, WmHow::Sent, 0, std::nullopt, a},
                     {WM_ACTIVATE, WmHow::Sent, WA_INACTIVE, reinterpret_cast<LPARAM>(b), a},
                     {WM_NCACTIVATE, WmHow::Sent, 1, std::nullopt, b},
                     {WM_ACTIVATE, WmHow::Sent, WA_ACTIVE, reinterpret_cast<LPARAM>(a), b},
                     {WM_SETFOCUS, WmHow::Sent, std::nullopt, 0, b}},
                    "showing activates and focuses");
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(GetFocus(), b);
    DestroyWindow(b);
    EXPECT_NE(GetActiveWindow(), b);
}

TEST_F(WmFocusTest, MinimisingAndMaximisingReportTheirKindOfSize) {
    HWND form = Recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(0, 0, 200, 100));
    HWND child = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(10, 10, 50, 40), form);
    ProcessMessages();
    Recorder.Clear();
    ShowWindow(form, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(form));
    ShowWindow(form, SW_RESTORE);
    EXPECT_FALSE(IsIconic(form));
    const auto sizes = Recorder.Of(WM_SIZE);
    ASSERT_GE(sizes.size(), 2u);
    EXPECT_EQ(sizes.front().WParam, SIZE_MINIMIZED);
    EXPECT_EQ(sizes.back().WParam, SIZE_RESTORED);

    Recorder.Clear();
    ShowWindow(child, SW_MAXIMIZE);
    Recorder.Expect({{WM_SIZE, WmHow::Sent, SIZE_MAXIMIZED, WmPoint(200, 100), child}}, "a child fills its parent");
    ShowWindow(child, SW_RESTORE);
    TRect r;
    GetWindowRect(child, r);
    EXPECT_EQ(r, Bounds(10, 10, 50, 40)) << "and comes back to its place";
}

} // namespace
