// The tree list's mouse driven by real pointer input: the delayed editor
// start, Ctrl and Shift clicks, the header drag threshold and column sizing
// with its inverted line.
#include "tests/treelist/TestTreeListInput.h"

#include "editors/PopupControl.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SystemMetrics.h"

#include <chrono>

using namespace treelisttest;

namespace {

// Lets timers run for longer than the double-click time.
void WaitPastDoubleClickTime() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(GetDoubleClickTime() + 150);
    while (std::chrono::steady_clock::now() < end) {
        platform_ui::test::PumpQt(10);
        ProcessMessages();
    }
}

bool Logged(const TLoggingTreeList* Tree, const std::string& Entry) {
    return std::find(Tree->Log.begin(), Tree->Log.end(), Entry) != Tree->Log.end();
}

std::vector<uint32_t> Image(TCustomcvTreeList* Tree) {
    UpdateWindow(Tree->Handle());
    return platform_ui::test::BackingPixels(Tree->Handle());
}

// Every cell may become hot, and the filter panel shows with a filter in it.
class THotTreeList : public TCustomcvTreeListControl {
public:
    using TCustomcvTreeListControl::TCustomcvTreeListControl;
    bool IsCellHotTrack(TcvTreeListNode*, int) const override { return true; }
    bool IsFilterButtonShown() const override { return true; }
    bool IsFilterActive() const override { return true; }
    bool HasFilter() const override { return true; }
    std::string GetFilterCaption() const override { return "Clear Filter"; }
};

} // namespace

TEST_F(TreeListInput, AClickOnTheFocusedCellOfAFocusedControlOpensTheEditorLater) {
    struct TCase {
        bool Focused;   // the control has the focus before the click
        int Row;        // the row clicked; row 1 holds the focused cell
        WPARAM Keys;
        bool Opens;
    } const cases[] = {
        {true, 1, 0, true},
        {false, 1, 0, false}, // the click only focuses the control
        {true, 2, 0, false},  // another node
        {true, 1, MK_CONTROL, false},
    };
    for (const TCase& c : cases) {
        Form.reset();
        TLoggingTreeList* tree = AddTree(2, 4);
        TLoggingTreeList* other = AddTree(2, 4, 340);
        tree->SetOptions(tree->Options() | tlo_MultiSelect);
        Show(c.Focused ? tree : other);
        tree->SetFocusedCell(tree->GetRowNode(1), 0, false);
        Click(tree, CellCentre(tree, c.Row, 0), c.Keys);
        EXPECT_FALSE(Logged(tree, "ShowEditor")) << "case " << &c - cases << ": not before the double-click time";
        WaitPastDoubleClickTime();
        EXPECT_EQ(Logged(tree, "ShowEditor"), c.Opens) << "case " << &c - cases;
    }
}

TEST_F(TreeListInput, ADelayedEditorStartEndsWhenTheFocusMovesToAnotherList) {
    TLoggingTreeList* first = AddTree(2, 4);
    TLoggingTreeList* second = AddTree(2, 4, 340);
    Show(first);
    first->SetFocusedCell(first->GetRowNode(1), 0, false);
    Click(first, CellCentre(first, 1, 0));
    Click(second, CellCentre(second, 2, 0));
    ASSERT_TRUE(second->Focused());
    WaitPastDoubleClickTime();
    EXPECT_FALSE(Logged(first, "ShowEditor"));
    EXPECT_EQ(first->State(), 0);
}

TEST_F(TreeListInput, CtrlAndShiftClicksSelectAndAClickOnTheSelectionReducesItOnRelease) {
    struct TClick {
        int Row;
        WPARAM Keys;
    };
    struct TCase {
        std::vector<TClick> Clicks;
        const char* Selection;
    } const cases[] = {
        {{{1, 0}, {3, MK_CONTROL}}, "1 3 @3"},
        {{{1, 0}, {3, MK_CONTROL}, {1, MK_CONTROL}}, "3 @1"},
        {{{1, 0}, {3, MK_SHIFT}}, "1 2 3 @3"},
        {{{3, 0}, {1, MK_SHIFT}, {4, MK_SHIFT}}, "3 4 @4"},
        {{{1, 0}, {3, MK_SHIFT}, {2, 0}}, "2 @2"},
    };
    for (const TCase& c : cases) {
        Form.reset();
        TLoggingTreeList* tree = AddTree(1, 6);
        tree->SetOptions(tree->Options() | tlo_MultiSelect);
        Show(tree);
        for (const TClick& click : c.Clicks)
            Click(tree, CellCentre(tree, click.Row, 0), click.Keys);
        EXPECT_EQ(Selection(tree), c.Selection) << "case " << &c - cases;
    }
    // Until the release the click keeps the selection it landed in.
    Form.reset();
    TLoggingTreeList* tree = AddTree(1, 6);
    tree->SetOptions(tree->Options() | tlo_MultiSelect);
    Show(tree);
    Click(tree, CellCentre(tree, 1, 0));
    Click(tree, CellCentre(tree, 3, 0), MK_SHIFT);
    Press(tree, CellCentre(tree, 2, 0));
    EXPECT_EQ(Selection(tree), "1 2 3 @2");
    Release(tree, CellCentre(tree, 2, 0));
    EXPECT_EQ(Selection(tree), "2 @2");
}

TEST_F(TreeListInput, AHeaderDragStartsOnlyPastFivePixels) {
    struct TCase {
        int DX, DY;
        bool Starts;
    } const cases[] = {
        {5, 0, false}, {0, 5, false}, {-5, 5, false}, {6, 0, true}, {0, -6, true}, {-6, 2, true},
    };
    TLoggingTreeList* tree = AddTree(2, 2);
    Show(tree);
    const TRect header = tree->CalcRectInfo().Header;
    const TPoint down{header.Left + 30, (header.Top + header.Bottom) / 2};
    for (const TCase& c : cases) {
        tree->Log.clear();
        Press(tree, down);
        ASSERT_EQ(tree->State(), 4) << "case " << &c - cases;
        MoveTo(tree, {down.X + c.DX, down.Y + c.DY});
        EXPECT_EQ(Logged(tree, "DoStartHeaderDragging 0"), c.Starts) << "case " << &c - cases;
        Release(tree, {down.X + c.DX, down.Y + c.DY});
        EXPECT_EQ(tree->State(), 0) << "case " << &c - cases;
    }
}

TEST_F(TreeListInput, DraggingAColumnEdgeSizesTheColumnAndItsLineLeavesNoTrace) {
    TLoggingTreeList* tree = AddTree(2, 4);
    int changes = 0;
    tree->OnChangedColumnsWidth = [&changes](TObject*) { ++changes; };
    Show(tree);
    const TcvTreeListDrawInfo info = tree->CalcDrawInfo();
    const TRect cell = info.HeaderCells.at(0).Bounds;
    const TPoint edge{cell.Right - 1, (cell.Top + cell.Bottom) / 2};
    ASSERT_EQ(tree->GetHitTestKind(edge.X, edge.Y), htColumnEdge);
    const std::vector<uint32_t> before = Image(tree);
    const int widthBefore = tree->Columns(0)->Width();

    // Drawn, moved and cancelled by Escape: the image is as it was.
    Press(tree, edge);
    ASSERT_EQ(tree->State(), 1);
    MoveTo(tree, {edge.X + 30, edge.Y});
    EXPECT_NE(platform_ui::test::BackingPixels(tree->Handle()), before);
    Key(tree, VK_ESCAPE);
    EXPECT_EQ(tree->State(), 0);
    EXPECT_EQ(platform_ui::test::BackingPixels(tree->Handle()), before);
    Release(tree, {edge.X + 30, edge.Y});
    EXPECT_EQ(tree->Columns(0)->Width(), widthBefore);
    EXPECT_EQ(changes, 0);

    // Released 30 pixels further: the column is 30 pixels wider.
    Press(tree, edge);
    MoveTo(tree, {edge.X + 30, edge.Y});
    Release(tree, {edge.X + 30, edge.Y});
    EXPECT_EQ(tree->State(), 0);
    EXPECT_EQ(tree->Columns(0)->Width(), edge.X + 30 - cell.Left + 1);
    EXPECT_EQ(changes, 1);

    // Below the minimum width the line stops at the minimum.
    tree->Columns(0)->SetMinWidth(40);
    const int right = tree->CalcDrawInfo().HeaderCells.at(0).Bounds.Right - 1;
    Press(tree, {right, edge.Y});
    MoveTo(tree, {cell.Left + 5, edge.Y});
    Release(tree, {cell.Left + 5, edge.Y});
    EXPECT_EQ(tree->Columns(0)->Width(), 41);
}

TEST_F(TreeListInput, AColumnEdgeDraggedInASingleRowBandMovesTheBandEdgeAlong) {
    // A band minimum above its columns' 200 shows them wider than they are
    // set; the hidden C2 scales with the band.
    const struct {
        int Column;
        int Delta;
        int BandMinWidth;
    } cases[] = {{0, 20, 260}, {1, 25, 260}, {0, -20, 30}};
    for (const auto& c : cases) {
        TLoggingTreeList* tree = AddTree(3, 2);
        for (int i = 0; i < 3; ++i)
            tree->Columns(i)->SetWidth(100);
        tree->Columns(2)->SetVisible(false);
        tree->Bands()->Items(0)->SetMinWidth(c.BandMinWidth);
        Show(tree);
        const auto shown = [tree](int Column) { return tree->CalcDrawInfo().HeaderCells.at(size_t(Column)).Bounds; };
        const TRect cell = shown(c.Column);
        const int other = shown(1 - c.Column).Width();
        const int band = tree->CalcDrawInfo().Bands.at(0).Bounds.Width();
        const TPoint edge{cell.Right - 1, (cell.Top + cell.Bottom) / 2};
        ASSERT_EQ(tree->GetHitTestKind(edge.X, edge.Y), htColumnEdge) << c.Column;
        Press(tree, edge);
        MoveTo(tree, {edge.X + c.Delta, edge.Y});
        Release(tree, {edge.X + c.Delta, edge.Y});

        EXPECT_EQ(shown(c.Column).Right, cell.Right + c.Delta) << c.Column << " by " << c.Delta;
        EXPECT_EQ(shown(1 - c.Column).Width(), other) << c.Column << " by " << c.Delta;
        EXPECT_EQ(tree->CalcDrawInfo().Bands.at(0).Bounds.Width(), band + c.Delta) << c.Column << " by " << c.Delta;
        EXPECT_EQ(tree->Columns(2)->Width(), MulDiv(100, band + c.Delta, band)) << c.Column << " by " << c.Delta;
        Form.reset();
    }
}

// The pointer leaving the control takes the hot looks along: the hot cell
// and its cursor, and the filter panel button's hot state, which held back
// F2 and the incremental search.
TEST_F(TreeListInput, LeavingTheControlEndsEveryHotState) {
    auto* tree = AddTree<THotTreeList>(2, 3);
    tree->SetCursor(crCross);
    tree->OnHotTrackNode = [](TObject*, TcvTreeListHotTrackInfo Hot, TCursor& Cursor) {
        if (Hot.Node) Cursor = crHandPoint;
    };
    Show(tree);
    const auto leave = [tree] {
        platform_ui::test::SendQtEnterLeave(tree->Handle(), false);
        ProcessMessages();
    };
    MoveTo(tree, CellCentre(tree, 1, 1), 0);
    ASSERT_EQ(tree->HotTrackInfo().Node, tree->GetRowNode(1));
    ASSERT_EQ(tree->Cursor(), crHandPoint);
    leave();
    EXPECT_EQ(tree->HotTrackInfo().Node, nullptr);
    EXPECT_EQ(tree->Cursor(), crCross);

    const TRect panel = tree->CalcRectInfo().FilterBar;
    ASSERT_FALSE(IsRectEmpty(panel));
    MoveTo(tree, {panel.Left + 9, (panel.Top + panel.Bottom) / 2}, 0);
    ASSERT_EQ(tree->State(), 16);
    Key(tree, VK_F2);
    EXPECT_EQ(tree->State(), 16) << "the hot button holds the keys back";
    leave();
    EXPECT_EQ(tree->State(), 0);
    Key(tree, VK_F2);
    EXPECT_EQ(tree->State(), 2) << "F2 opens the editor again";
}

// Over the filter panel's close button its hint comes after a pause (timer
// 110), above the filter text, and goes with the pointer, when its time is
// up (timer 111) or with the window.
TEST_F(TreeListInput, TheFilterPanelButtonShowsItsHintAfterAPause) {
    auto* tree = AddTree<THotTreeList>(2, 3);
    Show(tree);
    const TRect panel = tree->CalcRectInfo().FilterBar;
    const TPoint button{panel.Left + 9, (panel.Top + panel.Bottom) / 2};
    const struct {
        const char* Name;
        std::function<void()> End;
    } cases[] = {
        {"the pointer leaves", [tree] { platform_ui::test::SendQtEnterLeave(tree->Handle(), false); }},
        {"its time is up", [tree] { SendMessage(tree->Handle(), WM_TIMER, 111, 0); }},
        {"the window goes", [tree] { tree->SetBorderStyle(bsNone); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        MoveTo(tree, CellCentre(tree, 0, 0), 0);
        MoveTo(tree, button, 0);
        ASSERT_EQ(tree->State(), 16);
        EXPECT_EQ(tree->FilterHint(), nullptr) << "not before the pause";
        if (&c == cases) {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            while (!tree->FilterHint() && std::chrono::steady_clock::now() < end) {
                platform_ui::test::PumpQt(10);
                ProcessMessages();
            }
        } else {
            SendMessage(tree->Handle(), WM_TIMER, 110, 0);
        }
        TcvContainerHintWindow* hint = tree->FilterHint();
        ASSERT_NE(hint, nullptr);
        EXPECT_TRUE(IsWindowVisible(hint->Handle()));
        EXPECT_EQ(hint->Caption(), "Clear Filter");
        TRect shown;
        GetWindowRect(hint->Handle(), shown);
        const TRect text = tree->FilterTextRect(panel);
        EXPECT_EQ(shown.TopLeft(), tree->ClientToScreen({text.Left + 4, text.Top - tree->TextHeight()}));
        c.End();
        ProcessMessages();
        EXPECT_EQ(tree->FilterHint(), nullptr);
    }
}
