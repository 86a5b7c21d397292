// The procedure chain, the queue (post, peek, quit, loops) and the exception
// boundary.
#include "WmRecorder.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Timers.h"
#include "platform/ui/testhooks/DesktopTestHooks.h"

#include <stdexcept>

namespace {

using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

constexpr UINT WM_PROBE = WM_USER + 1;
constexpr UINT WM_OTHER = WM_USER + 2;

class WmMessageQueueTest : public ::testing::Test {
protected:
    void SetUp() override { ProcessMessages(); }
    void TearDown() override {
        SetExceptionHandler({});
        ProcessMessages();
    }
    WmRecorder Recorder;
};

TEST_F(WmMessageQueueTest, ChainRunsNewestFirstAndSurvivesRemovalInAnyOrder) {
    HWND w = Recorder.Create(WS_CHILD, Bounds(0, 0, 10, 10), Recorder.Create(0, Bounds(0, 0, 50, 50)));
    std::string trace;
    TWindowProcedureId a = 0, b = 0, c = 0;
    a = PushWindowProc(w, [&](HWND h, TMessage& m) {
        if (m.Msg == WM_PROBE) trace += "a";
        CallNextWindowProc(h, a, m);
    });
    b = PushWindowProc(w, [&](HWND h, TMessage& m) {
        if (m.Msg == WM_PROBE) {
            trace += "b";
            // Leaving the chain while handling a message still passes it on.
            RemoveWindowProc(h, b);
        }
        CallNextWindowProc(h, b, m);
    });
    c = PushWindowProc(w, [&](HWND h, TMessage& m) {
        if (m.Msg == WM_PROBE) {
            trace += "c";
            m.Result = 7;
        }
        CallNextWindowProc(h, c, m);
    });
    Recorder.Clear();
    SendMessage(w, WM_PROBE);
    EXPECT_EQ(trace, "cba");
    EXPECT_EQ(Recorder.Of(WM_PROBE).size(), 1u) << "the class procedure at the bottom sees it too";

    trace.clear();
    EXPECT_TRUE(RemoveWindowProc(w, c));
    EXPECT_FALSE(RemoveWindowProc(w, c));
    SendMessage(w, WM_PROBE);
    EXPECT_EQ(trace, "a");
    DestroyWindow(w); // before the procedures' captured locals go
}

TEST_F(WmMessageQueueTest, ASwallowingProcedureStopsTheMessage) {
    HWND w = Recorder.Create(0, Bounds(0, 0, 10, 10));
    PushWindowProc(w, [](HWND, TMessage& m) { m.Result = 42; });
    Recorder.Clear();
    EXPECT_EQ(SendMessage(w, WM_PROBE, 1, 2), 42);
    EXPECT_TRUE(Recorder.Of(WM_PROBE).empty());
}

TEST_F(WmMessageQueueTest, PeekMessageRemovesOnePendingMessageOfOneWindow) {
    HWND first = Recorder.Create(0, Bounds(0, 0, 10, 10));
    HWND second = Recorder.Create(0, Bounds(0, 0, 10, 10));
    ProcessMessages();
    Recorder.Clear();
    PostMessage(first, WM_PROBE, 1, 0);
    PostMessage(second, WM_PROBE, 2, 0);
    PostMessage(first, WM_PROBE, 3, 0);
    PostMessage(first, WM_OTHER, 4, 0);

    TMsg msg;
    EXPECT_FALSE(PeekMessage(msg, first, WM_USER + 50, WM_USER + 60, PM_REMOVE)) << "nothing in that range";
    ASSERT_TRUE(PeekMessage(msg, first, WM_PROBE, WM_PROBE, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u) << "the oldest first";
    ASSERT_TRUE(PeekMessage(msg, first, WM_PROBE, WM_PROBE, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, first);
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_TRUE(Recorder.Records.empty()) << "peeking dispatches nothing";

    ProcessMessages();
    Recorder.Expect({{WM_PROBE, WmHow::Posted, 2, 0, second},
                     {WM_PROBE, WmHow::Posted, 3, 0, first},
                     {WM_OTHER, WmHow::Posted, 4, 0, first}},
                    "the rest arrive posted, in order");
}

TEST_F(WmMessageQueueTest, TheEventLoopDrainsPostedMessages) {
    HWND w = Recorder.Create(0, Bounds(0, 0, 10, 10));
    Recorder.Clear();
    PostMessage(w, WM_PROBE, 5, 6);
    EXPECT_TRUE(Recorder.Records.empty());
    platform_ui::test::PumpQt(20);
    Recorder.Expect({{WM_PROBE, WmHow::Posted, 5, 6, w}}, "drained by Qt's loop");
    EXPECT_FALSE(PostMessage(reinterpret_cast<HWND>(0x1234), WM_PROBE)) << "no such window";
}

TEST_F(WmMessageQueueTest, QuitEndsTheLoopAndIsPostedAgainForTheOuterOne) {
    HWND w = Recorder.Create(0, Bounds(0, 0, 10, 10));
    PostMessage(w, WM_PROBE);
    PostQuitMessage(3);
    int polls = 0;
    EXPECT_FALSE(RunModalLoop([&] { return ++polls > 100; })) << "the nested loop ends on WM_QUIT";
    EXPECT_EQ(Recorder.Of(WM_PROBE).size(), 1u);
    TMsg msg;
    // A quit request passes every filter.
    ASSERT_TRUE(PeekMessage(msg, w, WM_PROBE, WM_PROBE, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    PostQuitMessage(9);
    EXPECT_EQ(RunMessageLoop(), 9);
}

TEST_F(WmMessageQueueTest, AWaitingModalLoopSleepsInsteadOfSpinning) {
    HWND w = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
    ProcessMessages();
    bool done = false;
    int asked = 0;
    SetTimer(w, 1, 100, [&](HWND h, UINT, UINT_PTR id, DWORD) {
        done = true;
        KillTimer(h, id);
    });
    EXPECT_TRUE(RunModalLoop([&] {
        ++asked;
        return done;
    }));
    EXPECT_LT(asked, 50) << "the loop woke only for real events";
}

TEST_F(WmMessageQueueTest, RegisteredMessagesAreStablePerName) {
    const UINT taskbar = RegisterWindowMessage("TaskbarCreated");
    EXPECT_GE(taskbar, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage("TASKBARCREATED"), taskbar);
    EXPECT_NE(RegisterWindowMessage("SomethingElse"), taskbar);
}

TEST_F(WmMessageQueueTest, MessageOnlyWindowsReceiveButAreNotListed) {
    std::vector<UINT> seen;
    HWND target = AllocateHWnd([&](HWND h, TMessage& m) {
        seen.push_back(m.Msg);
        DefWindowProc(h, m);
    });
    ASSERT_TRUE(IsWindow(target));
    bool listed = false;
    EnumWindows([&](HWND w) {
        listed |= w == target;
        return true;
    });
    EXPECT_FALSE(listed);
    PostMessage(target, 0x0800, 0, WM_LBUTTONUP);
    ProcessMessages();
    EXPECT_NE(std::find(seen.begin(), seen.end(), 0x0800u), seen.end());
    DeallocateHWnd(target);
    EXPECT_FALSE(IsWindow(target));
}

TEST_F(WmMessageQueueTest, AHandlerMayDestroyItsOwnWindow) {
    HWND w = Recorder.Create(0, Bounds(0, 0, 10, 10));
    Recorder.Handler = [](HWND h, TMessage& m) {
        if (m.Msg != WM_PROBE) return false;
        DestroyWindow(h);
        m.Result = 1;
        return true;
    };
    EXPECT_EQ(SendMessage(w, WM_PROBE), 1);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(SendMessage(w, WM_PROBE), 0) << "a dead handle is ignored";
}

TEST_F(WmMessageQueueTest, ExceptionsFromQueuedMessagesReachTheHandlerAndTheLoopGoesOn) {
    std::vector<std::string> shown;
    SetExceptionHandler([&](const std::exception& e) { shown.push_back(e.what()); });
    HWND w = Recorder.Create(0, Bounds(0, 0, 10, 10));
    Recorder.Handler = [](HWND, TMessage& m) {
        if (m.Msg == WM_PROBE && m.WParam == 1) throw Exception("保存出错：磁盘已满");
        if (m.Msg == WM_PROBE && m.WParam == 2) Abort();
        if (m.Msg == WM_PROBE && m.WParam == 3) throw std::runtime_error("plain");
        return false;
    };
    for (WPARAM i = 1; i <= 4; ++i)
        PostMessage(w, WM_PROBE, i);
    EXPECT_TRUE(ProcessMessages());
    EXPECT_EQ(shown, (std::vector<std::string>{"保存出错：磁盘已满", "plain"})) << "EAbort stays silent";
    EXPECT_EQ(Recorder.Of(WM_PROBE).size(), 4u) << "every message was still delivered";
    EXPECT_TRUE(IsWindow(w));
}

TEST_F(WmMessageQueueTest, AFailingHandlerOfTheHandlerIsContained) {
    SetExceptionHandler([](const std::exception&) { throw std::runtime_error("handler broke"); });
    EXPECT_FALSE(RunGuarded([] { throw std::runtime_error("first"); }));
    EXPECT_TRUE(RunGuarded([] {}));
}

TEST_F(WmMessageQueueTest, APaintThatThrowsStillValidatesItsRegion) {
    int shown = 0;
    SetExceptionHandler([&](const std::exception&) { ++shown; });
    HWND w = Recorder.Create(WS_VISIBLE, Bounds(0, 0, 40, 40));
    ProcessMessages();
    int paints = 0;
    Recorder.Handler = [&](HWND, TMessage& m) {
        if (m.Msg != WM_PAINT) return false;
        ++paints;
        throw Exception("paint failed");
    };
    TRect r = Rect(1, 1, 5, 5);
    InvalidateRect(w, &r, false);
    ProcessMessages();
    EXPECT_EQ(paints, 1) << "not repainted forever";
    EXPECT_EQ(shown, 1);
    TRect update;
    EXPECT_FALSE(GetUpdateRect(w, &update, false));
}

TEST_F(WmMessageQueueTest, APaintFailingInsideQtIsReportedFromTheQueueAfterwards) {
    // The failure either leaves the window procedure or is caught and reported
    // there, as a control's procedure does.
    for (const bool caughtByProcedure : {false, true}) {
        std::vector<std::string> shown;
        SetExceptionHandler([&](const std::exception& e) { shown.push_back(e.what()); });
        HWND w = Recorder.Create(WS_VISIBLE | WS_POPUP, Bounds(0, 0, 40, 40));
        ProcessMessages();
        int paints = 0;
        Recorder.Handler = [&](HWND, TMessage& m) {
            if (m.Msg != WM_PAINT) return false;
            ++paints;
            try {
                throw Exception("paint failed");
            } catch (const std::exception& e) {
                if (!caughtByProcedure) throw;
                ReportException(e);
            }
            return true;
        };
        InvalidateRect(w, nullptr, false);
        platform_ui::test::PaintFromQt(w);
        EXPECT_EQ(paints, 1) << caughtByProcedure;
        EXPECT_TRUE(shown.empty()) << caughtByProcedure << ": no box opens inside Qt's paint";
        TRect update;
        EXPECT_FALSE(GetUpdateRect(w, &update, false)) << caughtByProcedure << ": the region is validated all the same";
        ProcessMessages();
        EXPECT_EQ(shown, std::vector<std::string>{"paint failed"}) << caughtByProcedure;
        EXPECT_EQ(paints, 1) << caughtByProcedure;
        Recorder.Handler = nullptr;
        DestroyWindow(w);
    }
}

TEST_F(WmMessageQueueTest, InputHoldBackLetsOnlyTheHoldingWindowReceiveInput) {
    HWND busy = Recorder.Create(WS_VISIBLE, Bounds(0, 0, 60, 60));
    HWND other = Recorder.Create(WS_VISIBLE, Bounds(100, 0, 60, 60));
    ProcessMessages();
    Recorder.Clear();
    {
        TInputHoldBack hold(busy);
        SendQtMouse(other, TMouseEventKind::Press, {10, 10}, MK_LBUTTON, MK_LBUTTON);
        SendQtMouse(other, TMouseEventKind::Release, {10, 10}, MK_LBUTTON, 0);
        SendQtMouse(busy, TMouseEventKind::Press, {10, 10}, MK_LBUTTON, MK_LBUTTON);
        SendQtMouse(busy, TMouseEventKind::Release, {10, 10}, MK_LBUTTON, 0);
        ProcessMessages();
    }
    auto downs = Recorder.Of(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].Wnd, busy);
    Recorder.Clear();
    SendQtMouse(other, TMouseEventKind::Press, {10, 10}, MK_LBUTTON, MK_LBUTTON);
    SendQtMouse(other, TMouseEventKind::Release, {10, 10}, MK_LBUTTON, 0);
    ProcessMessages();
    EXPECT_EQ(Recorder.Of(WM_LBUTTONDOWN).size(), 1u) << "input flows again once the hold ends";
}

TEST_F(WmMessageQueueTest, FindWindowByClassAndTitle) {
    HWND w = Recorder.Create(0, Bounds(0, 0, 10, 10), nullptr, 0, WmRecorder::ClassName, "WmFindMe");
    EXPECT_EQ(FindWindow("wmrecorded", ""), w);
    EXPECT_EQ(FindWindow("", "WmFindMe"), w);
    EXPECT_EQ(FindWindow("", "nothing"), nullptr);
    SetWindowText(w, "另一个标题");
    EXPECT_EQ(GetWindowText(w), "另一个标题");
    EXPECT_EQ(FindWindow("", "另一个标题"), w);
}

} // namespace
