// Window timers: WM_TIMER by (window, id), replacing, killing, callbacks,
// coalesced ticks, thread timers in a nested loop.
#include "WmRecorder.h"

#include "platform/ui/Timers.h"

namespace {

using platform_ui::test::PumpQt;

class WmTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProcessMessages();
        Window = Recorder.Create(WS_POPUP, Bounds(0, 0, 10, 10));
        Recorder.Clear();
    }
    WmRecorder Recorder;
    HWND Window = nullptr;
};

TEST_F(WmTimerTest, TicksArriveAsWmTimerWithTheId) {
    EXPECT_EQ(SetTimer(Window, 5, 10), 5u);
    for (int i = 0; i < 200 && Recorder.Of(WM_TIMER).size() < 2; ++i)
        PumpQt(10);
    const auto ticks = Recorder.Of(WM_TIMER);
    ASSERT_GE(ticks.size(), 2u);
    EXPECT_EQ(ticks[0].WParam, 5u);
    EXPECT_TRUE(ticks[0].Posted);
    EXPECT_TRUE(KillTimer(Window, 5));
    EXPECT_FALSE(KillTimer(Window, 5));
    Recorder.Clear();
    PumpQt(50);
    EXPECT_TRUE(Recorder.Of(WM_TIMER).empty());
}

TEST_F(WmTimerTest, SettingTheSameIdReplacesTheTimer) {
    SetTimer(Window, 1, 10);
    SetTimer(Window, 1, 2000);
    PumpQt(80);
    EXPECT_TRUE(Recorder.Of(WM_TIMER).empty()) << "the second interval replaced the first";
    SetTimer(Window, 2, 10);
    for (int i = 0; i < 200 && Recorder.Of(WM_TIMER).empty(); ++i)
        PumpQt(10);
    ASSERT_FALSE(Recorder.Of(WM_TIMER).empty());
    for (const auto& r : Recorder.Of(WM_TIMER))
        EXPECT_EQ(r.WParam, 2u) << "timer 1 has not come due";
    KillTimer(Window, 1);
    KillTimer(Window, 2);
}

TEST_F(WmTimerTest, ACallbackTimerCallsTheCallbackNotTheWindow) {
    std::vector<UINT_PTR> called;
    SetTimer(Window, 7, 10, [&](HWND w, UINT msg, UINT_PTR id, DWORD) {
        EXPECT_EQ(w, Window);
        EXPECT_EQ(msg, WM_TIMER);
        called.push_back(id);
        KillTimer(w, id);
    });
    for (int i = 0; i < 200 && called.empty(); ++i)
        PumpQt(10);
    PumpQt(40);
    EXPECT_EQ(called, std::vector<UINT_PTR>{7}) << "killed in its own callback";
    EXPECT_TRUE(Recorder.Of(WM_TIMER).empty());
}

TEST_F(WmTimerTest, TicksWaitingInTheQueueAreCoalesced) {
    SetTimer(Window, 3, 10);
    // A loop that looks without taking lets the first tick arrive, then
    // several more intervals pass.
    TMsg msg;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 2000 && !PeekMessage(msg, Window, WM_TIMER, WM_TIMER, PM_NOREMOVE)) {
    }
    const DWORD ticked = GetTickCount();
    while (GetTickCount() - ticked < 60)
        PeekMessage(msg, Window, WM_USER, WM_USER, PM_NOREMOVE);
    int pending = 0;
    while (PeekMessage(msg, Window, WM_TIMER, WM_TIMER, PM_REMOVE))
        ++pending;
    EXPECT_EQ(pending, 1);
    KillTimer(Window, 3);
}

TEST_F(WmTimerTest, AThreadTimerFeedsANestedGetMessageLoop) {
    const UINT_PTR id = SetTimer(nullptr, 0, 20);
    ASSERT_NE(id, 0u);
    TMsg msg;
    bool ticked = false;
    for (int i = 0; i < 50 && !ticked; ++i) {
        ASSERT_TRUE(GetMessage(msg, nullptr, 0, 0));
        ticked = msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == id;
        if (!ticked) DispatchMessage(msg);
    }
    EXPECT_TRUE(ticked);
    EXPECT_TRUE(KillTimer(nullptr, id));
}

TEST_F(WmTimerTest, TimersGoWithTheirWindow) {
    SetTimer(Window, 9, 10);
    DestroyWindow(Window);
    PumpQt(40);
    EXPECT_FALSE(KillTimer(Window, 9));
}

} // namespace
