// The selection defaults and the control's selected set: ranges by rows,
// the rule against selecting across levels, repaints of the selection, and
// hot tracking of cells under the pointer.
#include "TestTreeListForm.h"

#include "platform/ui/Painting.h"

using treelisttest::TreeListOnForm;

namespace {

// Rows, all expanded except Q:
//   A
//   +- A1
//   +- A2
//   B
//   C
//   +- C1
//   Q          (collapsed)
//   +- Q1
class TreeListSelection : public TreeListOnForm {
protected:
    void SetUp() override {
        TreeListOnForm::SetUp();
        AddColumn();
        AddColumn();
        TUpdateGuard<TCustomcvTreeList> update(*Tree);
        TcvTreeListNode* a = AddNode(nullptr, {"A"});
        AddNode(a, {"A1"});
        AddNode(a, {"A2"});
        AddNode(nullptr, {"B"});
        AddNode(AddNode(nullptr, {"C"}), {"C1"});
        AddNode(AddNode(nullptr, {"Q"}), {"Q1"});
        a->SetExpanded(true);
        N("C")->SetExpanded(true);
        Tree->SetOptions(Tree->Options() | tlo_MultiSelect | tlo_SelectAcrossLevels);
        Tree->OnSelectedCountChange = [this](TObject*) { ++CountChanges; };
    }
    std::string Selected() const {
        std::string names;
        for (TcvTreeListNode* node = Tree->Items(0); node; node = node->GetNext())
            if (Tree->IsNodeSelected(node)) names += (names.empty() ? "" : " ") + NameOf(node);
        return names;
    }
    // Whether the window has anything left to paint inside R.
    bool Invalidated(const TRect& R) const {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        GetUpdateRgn(Tree->Handle(), region, false);
        const bool inside = RectInRegion(region, &R);
        DeleteObject(region);
        return inside;
    }
    int CountChanges = 0;
};

TEST_F(TreeListSelection, SelectNodeRangeMarksExactlyTheRowsBetween) {
    const struct {
        const char* A;
        const char* B;
        const char* Selected;
    } cases[] = {
        {"A1", "C", "A1 A2 B C"},
        {"C", "A1", "A1 A2 B C"}, // A below B: from B down to A
        {"B", "B", "B"},
        {"A", "C1", "A A1 A2 B C C1"},
        {"Q1", "B", ""}, // a node that is not shown: nothing
        {"B", "Q1", ""},
    };
    for (const auto& c : cases) {
        Tree->ClearSelection();
        CountChanges = 0;
        Tree->SelectNodeRange(N(c.A), N(c.B));
        EXPECT_EQ(Selected(), c.Selected) << c.A << ".." << c.B;
        EXPECT_EQ(CountChanges, *c.Selected ? 1 : 0) << "one report per range: " << c.A << ".." << c.B;
    }
}

TEST_F(TreeListSelection, WithoutSelectionAcrossLevelsOnlySiblingsJoin) {
    Tree->SetOptions(Tree->Options() & ~tlo_SelectAcrossLevels);
    Tree->SetSelectionAnchor(N("A1"));
    EXPECT_FALSE(Tree->CanNodeSelected(N("B"))) << "the anchor decides while nothing is selected";
    N("A2")->SetSelected(true);
    N("B")->SetSelected(true);
    N("A1")->SetSelected(true);
    EXPECT_EQ(Selected(), "A1 A2");
    Tree->OnCanNodeSelected = [](TObject*, TcvTreeListNode* Node, bool& Allow) { Allow = NameOf(Node) != "A1"; };
    Tree->ClearSelection();
    EXPECT_FALSE(Tree->CanNodeSelected(N("A1")));
    EXPECT_TRUE(Tree->CanNodeSelected(N("A2")));
}

TEST_F(TreeListSelection, TheSetGoesWithItsNodesAndOutsideMultiSelectStaysEmpty) {
    Tree->SelectNodeRange(N("A"), N("C1"));
    delete N("A2");
    EXPECT_EQ(Selected(), "A A1 B C C1");
    EXPECT_EQ(Tree->SelectedCount(), 5);
    Tree->ClearNodes();
    EXPECT_EQ(Tree->SelectedCount(), 0);
    EXPECT_EQ(Tree->GetSelectionAnchor(), nullptr);

    Tree->SetOptions(Tree->Options() & ~tlo_MultiSelect);
    TcvTreeListNode* node = AddNode(nullptr, {"X"});
    node->SetSelected(true);
    EXPECT_EQ(Tree->SelectedCount(), 0);
}

TEST_F(TreeListSelection, InvalidateSelectionRepaintsRowsUpToTenThenTheWholeControl) {
    {
        TUpdateGuard<TCustomcvTreeList> update(*Tree);
        for (int i = 0; i < 8; ++i)
            AddNode(nullptr, {"R" + std::to_string(i)});
    }
    Show();
    const TRect lastRow = Tree->GetNodeRowRect(Tree->GetRowNode(Tree->GetVisibleRowCount() - 1), false);
    ASSERT_GE(lastRow.Top, 0);
    N("A")->SetFocused(true);
    for (const int count : {10, 11}) {
        Tree->ClearSelection();
        Tree->SelectNodeRange(N("A"), Tree->GetRowNode(count - 1));
        ASSERT_EQ(Tree->SelectedCount(), count);
        UpdateWindow(Tree->Handle());
        Tree->InvalidateSelection();
        EXPECT_TRUE(Invalidated(Tree->GetNodeRowRect(N("A"), false))) << count;
        EXPECT_EQ(Invalidated(lastRow), count == 11) << count << " selected rows";
    }
}

// A column whose cells show an edit button, so they may become hot.
class TButtonColumn : public TcvTreeListColumn {
public:
    using TcvTreeListColumn::TcvTreeListColumn;
    bool HasEditButton() const override { return true; }
};

class TreeListHotTrack : public TreeListOnForm {
protected:
    void SetUp() override {
        TreeListOnForm::SetUp();
        AddColumn();
        AddColumn<TButtonColumn>();
        AddNode(nullptr, {"A", "a"});
        AddNode(nullptr, {"B", "b"});
        Tree->SetOptionsEx(Tree->OptionsEx() | tloex_CellHotTrack);
        Show();
    }
    // Moves the pointer to (X, Y) as the mouse code does, answering whether
    // anything was left to repaint.
    bool MoveTo(int X, int Y) {
        UpdateWindow(Tree->Handle());
        TcvTreeListHitInfo hit;
        Tree->GetHitInfo({X, Y}, hit);
        Tree->UpdateHotTrack(hit);
        TRect update;
        return GetUpdateRect(Tree->Handle(), &update, false);
    }
    TPoint CentreOf(const char* Node, int Column) {
        const TRect r = Tree->GetCellRect(N(Node), Column);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
};

TEST_F(TreeListHotTrack, OnlyCellsWithAnEditButtonBecomeHotAndEachMoveRepaintsOnce) {
    const TPoint a1 = CentreOf("A", 1);
    const TPoint b1 = CentreOf("B", 1);
    const TPoint a0 = CentreOf("A", 0);
    const struct {
        TPoint Point;
        const char* HotNode;
        bool Repaints;
    } moves[] = {
        {a0, "-", false}, // no edit button: nothing hot
        {a1, "A", true},
        {{a1.X + 3, a1.Y + 1}, "A", false}, // inside the same hot cell
        {b1, "B", true},
        {a0, "-", true}, // leaving the hot cell repaints it
    };
    for (const auto& m : moves) {
        EXPECT_EQ(MoveTo(m.Point.X, m.Point.Y), m.Repaints) << m.Point.X << "," << m.Point.Y;
        EXPECT_EQ(NameOf(Tree->HotTrackInfo().Node), m.HotNode);
        // The painting asks the same record.
        EXPECT_EQ(Tree->IsHotCell(N("A"), 1), std::string(m.HotNode) == "A");
        EXPECT_FALSE(Tree->IsHotCell(N("A"), 0));
    }
    Tree->SetOptionsEx(Tree->OptionsEx() & ~tloex_CellHotTrack);
    EXPECT_FALSE(MoveTo(a1.X, a1.Y)) << "no hot tracking without the option";
}

TEST_F(TreeListHotTrack, TheEventsCursorShowsOverTheCellAndTheUsersComesBack) {
    Tree->SetCursor(crCross);
    Tree->OnHotTrackNode = [](TObject*, TcvTreeListHotTrackInfo Hot, TCursor& Cursor) {
        if (Hot.Node) Cursor = crHandPoint;
    };
    const TPoint a1 = CentreOf("A", 1);
    MoveTo(a1.X, a1.Y);
    EXPECT_EQ(Tree->Cursor(), crHandPoint);
    MoveTo(a1.X + 2, a1.Y);
    EXPECT_EQ(Tree->Cursor(), crHandPoint) << "while the pointer stays";
    const TPoint a0 = CentreOf("A", 0);
    MoveTo(a0.X, a0.Y);
    EXPECT_EQ(Tree->Cursor(), crCross);
}

} // namespace
