// Bands of the tree-list control: pins and their moves, moves that carry the
// columns' band indexes, deletion, width limits and the default layout.
#include "TestTreeListControl.h"

using treelisttest::TreeListControlTest;

namespace {

class TreeListBands : public TreeListControlTest {
protected:
    // Three bands with one column each.
    void SetUp() override { Build(3, {{0, 0}, {1, 0}, {2, 0}}); }
    TcvTreeListBand* B(int Index) { return Tree->Bands()->Items(Index); }
};

TEST_F(TreeListBands, PinningMovesTheBandToItsEndAndUnpinsThePrevious) {
    B(1)->SetFixed(bfLeft);
    EXPECT_EQ(BandOrder(), "B1 B0 B2");
    EXPECT_EQ(Tree->GetFixedLeftBandIndex(), 0);
    B(2)->SetFixed(bfLeft); // B2 now stands last
    EXPECT_EQ(BandOrder(), "B2 B1 B0");
    EXPECT_EQ(B(0)->Fixed(), bfLeft);
    EXPECT_EQ(B(1)->Fixed(), bfNone);
    B(1)->SetFixed(bfRight);
    EXPECT_EQ(BandOrder(), "B2 B0 B1");
    EXPECT_EQ(Tree->GetFixedRightBandIndex(), 2);
    EXPECT_EQ(ColumnBands(), "B0 B1 B2") << "every column keeps its band";
    // A pinned band keeps its place.
    B(0)->SetIndex(2);
    EXPECT_EQ(BandOrder(), "B2 B0 B1");
}

TEST_F(TreeListBands, HidingUnpinsAndShowingDoesNotRepin) {
    B(2)->SetFixed(bfRight);
    B(2)->SetVisible(false);
    EXPECT_EQ(B(2)->Fixed(), bfNone);
    EXPECT_EQ(Tree->GetFixedRightBandIndex(), -1);
    B(2)->SetVisible(true);
    EXPECT_EQ(B(2)->Fixed(), bfNone);
    // A hidden band asked to pin moves but stays unpinned.
    B(2)->SetVisible(false);
    B(2)->SetFixed(bfLeft);
    EXPECT_EQ(BandOrder(), "B2 B0 B1");
    EXPECT_EQ(B(0)->Fixed(), bfNone);
}

TEST_F(TreeListBands, MovesCarryTheColumnsWithTheirBands) {
    struct Case {
        int From, To;
        const char* Order;
    };
    const Case cases[] = {
        {0, 2, "B1 B2 B0"}, {2, 0, "B2 B0 B1"}, {1, 0, "B1 B0 B2"}, {0, 99, "B1 B2 B0"}, {2, -5, "B2 B0 B1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.From) + " to " + std::to_string(c.To));
        for (int i = 0; i < 3; ++i) { // afresh: B0 B1 B2, each with its column
            B(i)->SetCaption("B" + std::to_string(i));
            C(i)->SetBandIndex(i);
        }
        B(c.From)->SetIndex(c.To);
        EXPECT_EQ(BandOrder(), c.Order);
        EXPECT_EQ(ColumnBands(), "B0 B1 B2");
    }
}

TEST_F(TreeListBands, DeletingABandFreesItsColumnsAndShiftsTheLaterOnes) {
    AddColumn({1, 0});
    delete B(1);
    EXPECT_EQ(BandOrder(), "B0 B2");
    EXPECT_EQ(ColumnBands(), "B0 - B2 -");
    EXPECT_EQ(C(2)->BandIndex(), 1);
    EXPECT_EQ(Layout(), "B0: C0 | B2: C2");
}

TEST_F(TreeListBands, WidthStaysAtLeastMinWidth) {
    B(0)->SetWidth(10);
    EXPECT_EQ(B(0)->Width(), 30);
    B(0)->SetMinWidth(300);
    EXPECT_EQ(B(0)->Width(), 300);
    B(0)->SetMinWidth(-4);
    EXPECT_EQ(B(0)->MinWidth(), 0);
    EXPECT_EQ(B(0)->Width(), 300);
    EXPECT_EQ(Tree->GetVisibleBandWidth(0), 300);
}

TEST_F(TreeListBands, AssignCopiesThroughTheSettersButNotTheDisableFlags) {
    B(1)->SetAlignment(taRightJustify);
    B(1)->SetWidth(140);
    B(1)->SetDisableDragging(true);
    B(1)->SetOnlyOwnColumns(true);
    B(0)->SetDisableCustomizing(true);
    B(0)->Assign(B(1));
    EXPECT_EQ(B(0)->Caption(), "B1");
    EXPECT_EQ(B(0)->Alignment(), taRightJustify);
    EXPECT_EQ(B(0)->Width(), 140);
    EXPECT_TRUE(B(0)->OnlyOwnColumns());
    EXPECT_FALSE(B(0)->DisableDragging());
    EXPECT_TRUE(B(0)->DisableCustomizing());
}

TEST_F(TreeListBands, TheDefaultLayoutKeepsOneBandForEveryColumn) {
    EXPECT_FALSE(Tree->DefaultLayout()) << "three bands";
    Tree->SetShowBands(true);
    Tree->SetHeaderPanelMaxRowCount(3);
    Tree->SetHeaderPanelRowCount(2);
    B(0)->SetVisible(false);
    Tree->SetDefaultLayout(true);
    EXPECT_TRUE(Tree->DefaultLayout());
    EXPECT_EQ(Tree->Bands()->Count(), 1);
    EXPECT_TRUE(B(0)->Visible());
    EXPECT_FALSE(Tree->ShowBands());
    EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 1);
    EXPECT_EQ(ColumnBands(), "B0 B0 B0");
    EXPECT_EQ(Layout(), "B0: C0 C1 C2");
    Tree->Bands()->Add();
    EXPECT_FALSE(Tree->DefaultLayout());
}

TEST_F(TreeListBands, ShownIndexesCountOnlyShownBands) {
    B(1)->SetVisible(false);
    EXPECT_EQ(Tree->Bands()->VisibleCount(), 2);
    EXPECT_EQ(Tree->Bands()->GetVisibleIndex(1), -1);
    EXPECT_EQ(Tree->Bands()->GetVisibleIndex(2), 1);
    EXPECT_EQ(Tree->Bands()->GetAbsoluteIndex(1), 2);
    EXPECT_EQ(Tree->Bands()->GetAbsoluteIndex(2), -1);
    EXPECT_EQ(Tree->GetBandCount(), 2);
    EXPECT_EQ(Tree->GetBandCaption(1), "B2");
    EXPECT_EQ(Layout(), "B0: C0 | B2: C2");
    EXPECT_EQ(B(2)->GetColumnAt(0, 0), 2);
}

} // namespace
