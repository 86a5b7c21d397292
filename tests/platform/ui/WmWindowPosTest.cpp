// Window creation and destruction, positioning (SetWindowPos, ShowWindow) and
// EnableWindow pinned as message sequences: one table per behaviour.
#include "WmRecorder.h"

#include "platform/ui/Focus.h"

#include <algorithm>

namespace {

class WmWindowPosTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProcessMessages();
        Parent = Recorder.Create(0, Bounds(10, 20, 200, 100));
    }
    void TearDown() override { ProcessMessages(); }

    // A child with a one-pixel border, the log cleared after its creation.
    HWND BorderedChild(DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER) {
        HWND child = Recorder.Create(style, Bounds(5, 6, 40, 30), Parent);
        Recorder.Clear();
        return child;
    }

    // The table must name every message of `watched` that was recorded, so
    // a message the table leaves out fails as surely as a missing one.
    void ExpectExactly(const std::vector<UINT>& watched, const std::vector<WmExpected>& table,
                       const std::string& what) {
        const auto count = std::count_if(Recorder.Records.begin(), Recorder.Records.end(), [&](const WmRecord& r) {
            return std::find(watched.begin(), watched.end(), r.Msg) != watched.end();
        });
        EXPECT_EQ(static_cast<size_t>(count), table.size()) << what << ": a message outside the table";
        Recorder.Expect(table, what);
    }
    void ExpectPositioning(const std::vector<WmExpected>& table, const std::string& what) {
        ExpectExactly({WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE, WM_SHOWWINDOW},
                      table, what);
    }

    WmRecorder Recorder;
    HWND Parent = nullptr;
};

TEST_F(WmWindowPosTest, CreationAndDestructionFollowTheClassicOrder) {
    Recorder.Clear();
    HWND child = Recorder.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, Bounds(5, 6, 40, 30), Parent);
    Recorder.Expect({Sent(WM_NCCREATE, {}, {}, child), Sent(WM_NCCALCSIZE, 1, {}, child),
                     Sent(WM_CREATE, {}, {}, child), Sent(WM_SIZE, SIZE_RESTORED, WmPoint(38, 28), child),
                     Sent(WM_MOVE, 0, WmPoint(6, 7), child), Sent(WM_SHOWWINDOW, 1, 0, child)},
                    "create a visible bordered child");
    Recorder.Clear();
    DestroyWindow(Parent);
    Recorder.Expect({Sent(WM_DESTROY, 0, 0, Parent), Sent(WM_DESTROY, 0, 0, child), Sent(WM_NCDESTROY, 0, 0, child),
                     Sent(WM_NCDESTROY, 0, 0, Parent)},
                    "destroy parent first, free children first");
    EXPECT_FALSE(IsWindow(child));
}

struct SetWindowPosCase {
    const char* What;
    int X, Y, Width, Height;
    UINT Flags;
    std::vector<WmExpected> Expected;
};

TEST_F(WmWindowPosTest, SetWindowPosSendsWhatChanged) {
    const SetWindowPosCase cases[] = {
        {"move only",
         15,
         16,
         0,
         0,
         SWP_NOSIZE | SWP_NOZORDER,
         {Sent(WM_WINDOWPOSCHANGING, 0), Sent(WM_WINDOWPOSCHANGED, 0), Sent(WM_MOVE, 0, WmPoint(16, 17))}},
        {"size only",
         0,
         0,
         60,
         50,
         SWP_NOMOVE | SWP_NOZORDER,
         {Sent(WM_WINDOWPOSCHANGING, 0), Sent(WM_NCCALCSIZE, 1), Sent(WM_WINDOWPOSCHANGED, 0),
          Sent(WM_SIZE, SIZE_RESTORED, WmPoint(58, 48))}},
        {"move and size",
         1,
         2,
         60,
         50,
         SWP_NOZORDER,
         {Sent(WM_WINDOWPOSCHANGING, 0), Sent(WM_NCCALCSIZE, 1), Sent(WM_WINDOWPOSCHANGED, 0),
          Sent(WM_MOVE, 0, WmPoint(2, 3)), Sent(WM_SIZE, SIZE_RESTORED, WmPoint(58, 48))}},
        {"same place and size",
         5,
         6,
         40,
         30,
         SWP_NOZORDER,
         {Sent(WM_WINDOWPOSCHANGING, 0), Sent(WM_WINDOWPOSCHANGED, 0)}},
        {"frame changed in place",
         0,
         0,
         0,
         0,
         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED,
         {Sent(WM_WINDOWPOSCHANGING, 0), Sent(WM_NCCALCSIZE, 1), Sent(WM_WINDOWPOSCHANGED, 0)}},
        {"nothing, without the changing message",
         0,
         0,
         0,
         0,
         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOSENDCHANGING,
         {}},
        {"hidden by the flag",
         0,
         0,
         0,
         0,
         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW,
         {Sent(WM_WINDOWPOSCHANGING, 0), Sent(WM_SHOWWINDOW, 0), Sent(WM_WINDOWPOSCHANGED, 0)}},
    };
    for (const auto& c : cases) {
        HWND child = BorderedChild();
        SetWindowPos(child, nullptr, c.X, c.Y, c.Width, c.Height, c.Flags);
        ExpectPositioning(c.Expected, c.What);
        DestroyWindow(child);
    }
}

TEST_F(WmWindowPosTest, AFrameChangeThatMovesTheClientReportsSizeAndMove) {
    HWND child = BorderedChild(WS_CHILD | WS_VISIBLE);
    SetWindowLong(child, GWL_STYLE, WS_CHILD | WS_VISIBLE | WS_BORDER);
    Recorder.Clear();
    SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ExpectPositioning({Sent(WM_WINDOWPOSCHANGING, 0), Sent(WM_NCCALCSIZE, 1), Sent(WM_WINDOWPOSCHANGED, 0),
                       Sent(WM_MOVE, 0, WmPoint(6, 7)), Sent(WM_SIZE, SIZE_RESTORED, WmPoint(38, 28))},
                      "a border added to a borderless child");
}

TEST_F(WmWindowPosTest, ZOrderChangesRestackSiblingsWithoutMovingThem) {
    HWND first = BorderedChild();
    HWND second = BorderedChild();
    HWND third = BorderedChild();
    ASSERT_EQ(GetWindow(Parent, GW_CHILD), third) << "a new child goes on top";
    const UINT zOnly = SWP_NOMOVE | SWP_NOSIZE;
    const struct {
        const char* What;
        HWND Wnd;
        HWND InsertAfter;
        std::vector<HWND> Order;
    } cases[] = {
        {"to the bottom", third, HWND_BOTTOM, {second, first, third}},
        {"to the top", first, HWND_TOP, {first, second, third}},
        {"after a sibling", first, third, {second, third, first}},
    };
    for (const auto& c : cases) {
        Recorder.Clear();
        SetWindowPos(c.Wnd, c.InsertAfter, 0, 0, 0, 0, zOnly);
        ExpectPositioning({Sent(WM_WINDOWPOSCHANGING, 0, {}, c.Wnd), Sent(WM_WINDOWPOSCHANGED, 0, {}, c.Wnd)}, c.What);
        std::vector<HWND> order;
        for (HWND w = GetWindow(Parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            order.push_back(w);
        EXPECT_EQ(order, c.Order) << c.What;
    }
}

TEST_F(WmWindowPosTest, ShowWindowSendsShowAndPlacesMaximisedAndRestoredChildren) {
    HWND child = BorderedChild(WS_CHILD | WS_BORDER);
    const struct {
        const char* What;
        int Command;
        std::vector<WmExpected> Expected;
    } steps[] = {
        {"show a hidden child", SW_SHOW, {Sent(WM_SHOWWINDOW, 1, 0)}},
        {"show a shown child", SW_SHOW, {}},
        {"maximise fills the parent's client area",
         SW_MAXIMIZE,
         {Sent(WM_WINDOWPOSCHANGING, 0), Sent(WM_NCCALCSIZE, 1), Sent(WM_WINDOWPOSCHANGED, 0), Sent(WM_MOVE, 0),
          Sent(WM_SIZE, SIZE_MAXIMIZED)}},
        {"restore goes back to the old place",
         SW_RESTORE,
         {Sent(WM_WINDOWPOSCHANGING, 0), Sent(WM_NCCALCSIZE, 1), Sent(WM_WINDOWPOSCHANGED, 0),
          Sent(WM_MOVE, 0, WmPoint(6, 7)), Sent(WM_SIZE, SIZE_RESTORED, WmPoint(38, 28))}},
        {"restore a restored child", SW_RESTORE, {}},
        {"hide", SW_HIDE, {Sent(WM_SHOWWINDOW, 0, 0)}},
        {"hide a hidden child", SW_HIDE, {}},
    };
    for (const auto& step : steps) {
        Recorder.Clear();
        ShowWindow(child, step.Command);
        ExpectPositioning(step.Expected, step.What);
    }
    TRect r;
    GetWindowRect(child, r);
    EXPECT_EQ(r.Width(), 40);
}

TEST_F(WmWindowPosTest, EnableWindowSendsCancelModeAndEnableAndDropsTheFocus) {
    HWND child = BorderedChild();
    const std::vector<UINT> watched = {WM_CANCELMODE, WM_KILLFOCUS, WM_ENABLE};
    SetFocus(child);
    Recorder.Clear();
    EXPECT_FALSE(EnableWindow(child, false)) << "it was enabled";
    ExpectExactly(watched, {Sent(WM_CANCELMODE, 0), Sent(WM_KILLFOCUS), Sent(WM_ENABLE, 0)}, "disable the focus");
    EXPECT_NE(GetFocus(), child);

    Recorder.Clear();
    EXPECT_TRUE(EnableWindow(child, false)) << "it was disabled";
    ExpectExactly(watched, {}, "disable a disabled window");

    Recorder.Clear();
    EXPECT_TRUE(EnableWindow(child, true));
    ExpectExactly(watched, {Sent(WM_ENABLE, 1)}, "enable");
    EXPECT_NE(GetFocus(), child) << "enabling gives no focus back";
}

} // namespace
