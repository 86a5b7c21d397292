// Panning: direction and speed by where the pointer is, and the modal loop
// run with scripted messages (what moves it, what ends it, what it swallows).
#include "TestTreeList.h"

#include "platform/ui/Focus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Timers.h"
#include "platform/ui/testhooks/WmTestHooks.h"

using namespace platform_ui::test;
using treelisttest::TBandedTreeList;

namespace {

TEST(TreeListPanningMotion, DirectionAndSpeedByPointer) {
    const TPoint origin{500, 400};
    constexpr int W = 21; // half: 10
    struct Case {
        const char* Name;
        TPoint Offset;
        bool Horz;
        bool Vert;
        int Direction;
        int Speed;
    };
    const Case cases[] = {
        {"at the origin", {0, 0}, true, true, 0, 0},
        {"inside the dead zone", {10, -10}, true, true, 0, 0},
        {"just right of the dead zone", {11, 0}, true, true, 3, 1},
        {"6 + W/2 to the right", {16, 0}, true, true, 3, 2},
        {"far left, capped", {-400, 0}, true, true, 1, 12},
        {"up", {0, -30}, true, true, 2, 5},
        {"down beats right when farther", {20, 30}, true, true, 4, 5},
        {"equal distances go vertical", {30, 30}, true, true, 4, 5},
        {"no vertical bar: sideways only", {30, 300}, true, false, 3, 5},
        {"no horizontal bar: far sideways stays", {300, 5}, false, true, 0, 0},
        {"no horizontal bar: down", {300, 40}, false, true, 4, 7},
        {"no bars: never", {300, 300}, false, false, 0, 0},
    };
    for (const Case& c : cases) {
        const cvTL::TPanningMotion m =
            cvTL::PanningMotion(origin, {origin.X + c.Offset.X, origin.Y + c.Offset.Y}, W, c.Horz, c.Vert);
        EXPECT_EQ(m.Direction, c.Direction) << c.Name;
        EXPECT_EQ(m.Speed, c.Speed) << c.Name;
    }
}

class TreeListPanning : public treelisttest::ShownTreeList<TBandedTreeList> {
protected:
    void SetUp() override {
        Show(300, 200, 60, [](TBandedTreeList& tree) { tree.BandWidths = {400, 400}; });
        TRect window;
        GetWindowRect(Tree->Handle(), window);
        Origin = Tree->ClientToScreen({150, 100});
        // The pointer rests where the middle button went down.
        SendQtMouse(Tree->Handle(), TMouseEventKind::Move, {Origin.X - window.Left, Origin.Y - window.Top}, 0, 0);
        ProcessMessages();
    }
    LPARAM ClientPoint(int DX, int DY) const {
        const TPoint p = Tree->ScreenToClient({Origin.X + DX, Origin.Y + DY});
        return LPARAM((p.X & 0xFFFF) | ((p.Y & 0xFFFF) << 16));
    }
    TPoint Origin;
};

TEST_F(TreeListPanning, AScriptedRun) {
    struct Posted {
        UINT Msg;
        WPARAM WParam;
        LPARAM LParam;
    };
    struct Case {
        const char* Name;
        std::vector<Posted> Before;            // posted before the loop starts
        std::vector<Posted> Later;             // posted 150 ms into the loop
        bool Scrolled;                          // the rows moved down
        bool KeyReachedTheTree;
        bool QuitPostedAgain;
    };
    const Case cases[] = {
        {"moved down, then released", {{WM_MOUSEMOVE, 0, ClientPoint(0, 200)}}, {{WM_MBUTTONUP, 0, ClientPoint(0, 200)}},
         true, false, false},
        {"released without moving, then Escape",
         {{WM_MBUTTONUP, 0, ClientPoint(0, 0)}, {WM_KEYDOWN, 'A', 0}},
         {{WM_KEYDOWN, VK_ESCAPE, 0}},
         false, false, false},
        {"another button", {}, {{WM_RBUTTONDOWN, MK_RBUTTON, ClientPoint(0, 0)}}, false, false, false},
        {"quit", {}, {{WM_QUIT, 7, 0}}, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Tree->SetTopRowIndex(0);
        bool keyHeard = false;
        const TWndMethod inherited = Tree->WindowProc;
        Tree->WindowProc = [&](TMessage& m) {
            if (m.Msg == WM_KEYDOWN && m.WParam == 'A') keyHeard = true;
            inherited(m);
        };
        for (const Posted& p : c.Before)
            PostMessage(Tree->Handle(), p.Msg, p.WParam, p.LParam);
        HWND indicatorShown = nullptr;
        const UINT_PTR later = SetTimer(nullptr, 0, 150, [&](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            indicatorShown = WindowFromPoint(Origin);
            EXPECT_EQ(GetCapture(), Tree->Handle());
            for (const Posted& p : c.Later) {
                if (p.Msg == WM_QUIT)
                    PostQuitMessage(int(p.WParam));
                else
                    PostMessage(Tree->Handle(), p.Msg, p.WParam, p.LParam);
            }
        });
        // A run that does not end would hang: another button ends it at last.
        const UINT_PTR rescue = SetTimer(nullptr, 0, 3000, [&](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            ADD_FAILURE() << "panning did not end";
            PostMessage(Tree->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(0, 0));
        });
        Tree->Panning();
        KillTimer(nullptr, later);
        KillTimer(nullptr, rescue);
        Tree->WindowProc = inherited;

        // The indicator lay over the origin while panning ran.
        EXPECT_TRUE(indicatorShown && indicatorShown != Tree->Handle() && indicatorShown != Form->Handle());
        EXPECT_NE(GetCapture(), Tree->Handle());
        EXPECT_EQ(Tree->GetTopRowIndex() > 0, c.Scrolled);
        EXPECT_EQ(keyHeard, c.KeyReachedTheTree);
        TMsg quit;
        const bool quitPending = PeekMessage(quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        EXPECT_EQ(quitPending, c.QuitPostedAgain);
        EXPECT_EQ(quitPending ? quit.wParam : 7u, 7u);
        ProcessMessages();
    }
}

} // namespace
