// Band widths with and without auto-width, and the widths shared out when
// a band or a column is sized.
#include "TestTreeList.h"
#include "TestTreeListControl.h"

#include <gtest/gtest.h>

using treelisttest::TBandedTreeList;
using treelisttest::TreeListControlTest;

namespace {

// Bands and columns that keep what the sizing gives them.
class TSizedTreeList : public TBandedTreeList {
public:
    using TBandedTreeList::TBandedTreeList;
    std::vector<int> BandMinWidths{0, 0};
    std::vector<bool> BandSizable{true, true};
    int GetBandMinWidth(int Band) const override { return BandMinWidths[size_t(Band)]; }
    bool CanBandSizing(int Band) const override { return BandSizable[size_t(Band)]; }
    void SizeBandWidth(int Band, int Width) override { BandWidths[size_t(Band)] = Width; }
    void SizeColumnWidth(int Column, int Width) override { ColumnWidths[size_t(Column)] = Width; }
};

// Bands without columns, so only the bands' own widths and minimums count.
void MakeBands(TSizedTreeList& Tree, const std::vector<int>& Widths, int AvailableWidth) {
    Tree.SetBorderStyle(bsNone);
    Tree.SetShowIndicator(false);
    Tree.SetBounds(0, 0, AvailableWidth, 200);
    Tree.BandWidths = Widths;
    Tree.BandRows.assign(Widths.size(), {});
    Tree.BandMinWidths.assign(Widths.size(), 0);
    Tree.BandSizable.assign(Widths.size(), true);
}

std::vector<int> ShownBandWidths(const TSizedTreeList& Tree) {
    std::vector<int> widths;
    for (int band = 0; band < Tree.GetBandCount(); ++band)
        widths.push_back(Tree.GetBandWidth(band));
    return widths;
}

TEST(TreeListWidths, AutoWidthSharesTheAreaAboveTheMinimums) {
    struct Case {
        const char* Name;
        std::vector<int> Widths;
        std::vector<int> Minimums;
        std::vector<bool> Sizable;
        std::vector<int> Expected;
    };
    const Case cases[] = {
        {"in proportion", {100, 300}, {0, 0}, {true, true}, {100, 300}},
        {"a share below its minimum takes the minimum", {40, 360}, {120, 30}, {true, true}, {120, 280}},
        {"a band that may not be sized keeps its width", {50, 50, 100}, {0, 0, 0}, {false, true, true}, {50, 117, 233}},
        {"too narrow: the minimums, not the area", {200, 200}, {300, 300}, {true, true}, {300, 300}},
        {"no band may be sized", {100, 100}, {0, 0}, {false, false}, {100, 100}},
        {"widths summing to 0 give no share", {0, 0}, {0, 0}, {true, true}, {0, 400}},
    };
    for (const Case& c : cases) {
        TSizedTreeList tree(nullptr);
        MakeBands(tree, c.Widths, 400);
        tree.BandMinWidths = c.Minimums;
        tree.BandSizable = c.Sizable;
        tree.SetOptions(tree.Options() | tlo_AutoWidth);
        const std::vector<int> widths = ShownBandWidths(tree);
        EXPECT_EQ(widths, c.Expected) << c.Name;
        int sum = 0;
        for (size_t band = 0; band < widths.size(); ++band) {
            EXPECT_GE(widths[band], c.Minimums[band]) << c.Name << " band " << band;
            sum += widths[band];
        }
        EXPECT_EQ(tree.GetTotalBandsWidth(), sum) << c.Name;
    }
}

TEST(TreeListWidths, AutoWidthFollowsTheClientWidthUntilSwitchedOff) {
    TSizedTreeList tree(nullptr);
    tree.SetBorderStyle(bsNone);
    tree.SetBounds(0, 0, 400, 200);
    tree.SetShowIndicator(true);
    const auto lastBandRight = [&tree] { return tree.CalcDrawInfo().Bands.back().Bounds.Right; };
    EXPECT_EQ(tree.GetTotalBandsWidth(), 220);
    EXPECT_EQ(lastBandRight(), tree.IndicatorWidth() + 220);

    tree.SetOptions(tree.Options() | tlo_AutoWidth);
    EXPECT_EQ(tree.GetTotalBandsWidth(), 400 - tree.IndicatorWidth());
    EXPECT_EQ(lastBandRight(), 400);
    tree.SetBounds(0, 0, 600, 200);
    EXPECT_EQ(ShownBandWidths(tree), (std::vector<int>{267, 321}));
    EXPECT_EQ(lastBandRight(), 600);

    tree.SetOptions(tree.Options() & ~tlo_AutoWidth);
    EXPECT_EQ(ShownBandWidths(tree), (std::vector<int>{100, 120}));
}

TEST(TreeListWidths, ABandSizedWithAutoWidthTakesFromItsNeighbours) {
    struct Case {
        const char* Name;
        std::vector<int> Widths;
        int Band;
        int NewWidth;
        std::vector<int> Expected;
    };
    const Case cases[] = {
        {"the bands right of it, the last the remainder", {100, 100, 100}, 0, 150, {150, 75, 75}},
        {"the last band takes from those before it", {100, 100, 100}, 2, 200, {50, 50, 200}},
        {"a middle band narrowed gives to the right", {100, 100, 100}, 1, 40, {100, 40, 160}},
        {"more than the neighbours have leaves them at 0", {100, 100, 100}, 0, 400, {400, 0, 0}},
        {"neighbours summing to 0: only the sized band", {300, 0}, 0, 250, {250, 0}},
    };
    for (const Case& c : cases) {
        TSizedTreeList tree(nullptr);
        MakeBands(tree, c.Widths, 300);
        tree.SetOptions(tree.Options() | tlo_AutoWidth);
        tree.SizeBandAutoWidth(c.Band, c.NewWidth);
        EXPECT_EQ(tree.BandWidths, c.Expected) << c.Name;
    }
}

TEST(TreeListWidths, ABandSizedWithAutoWidthPassesItsWidthToItsColumns) {
    TSizedTreeList tree(nullptr);
    MakeBands(tree, {100, 120}, 220);
    tree.BandRows = {{{0, 1}}, {{2}}};
    tree.ColumnWidths = {50, 50, 120};
    tree.SetOptions(tree.Options() | tlo_AutoWidth);
    tree.SetOptionsEx(tree.OptionsEx() | tloex_ColumnEdgeSizesBand);
    tree.SizeBandAutoWidth(0, 160);
    EXPECT_EQ(tree.BandWidths, (std::vector<int>{160, 60}));
    EXPECT_EQ(tree.ColumnWidths, (std::vector<int>{80, 80, 60}));
}

TEST(TreeListWidths, AColumnSizedTakesFromItsRowNeighbours) {
    struct Case {
        const char* Name;
        std::vector<std::vector<std::vector<int>>> Rows;
        unsigned OptionsEx;
        int Column;
        int NewWidth;
        std::vector<int> Expected;
    };
    const std::vector<std::vector<std::vector<int>>> oneRow{{{0, 1}}, {{2}}};
    const std::vector<std::vector<std::vector<int>>> twoRows{{{0}, {1, 3}}, {{2}}};
    const Case cases[] = {
        {"the columns right of it", oneRow, 0, 0, 70, {70, 30, 120, 40}},
        {"the last column takes from those before it", oneRow, 0, 1, 70, {30, 70, 120, 40}},
        {"more than the neighbour has leaves it at 0", oneRow, 0, 0, 200, {200, 0, 120, 40}},
        {"alone in its row: only the sized column", oneRow, 0, 2, 150, {50, 50, 150, 40}},
        {"the band's other rows follow its new width", twoRows, tloex_ColumnEdgeSizesBand, 0, 150, {150, 83, 120, 67}},
    };
    for (const Case& c : cases) {
        TSizedTreeList tree(nullptr);
        MakeBands(tree, {100, 120}, 300);
        tree.BandRows = c.Rows;
        tree.ColumnWidths = {50, 50, 120, 40};
        tree.SetOptionsEx(tree.OptionsEx() | c.OptionsEx);
        tree.SizeColumnAutoWidth(c.Column, c.NewWidth);
        EXPECT_EQ(tree.ColumnWidths, c.Expected) << c.Name;
    }
}

class TreeListControlWidths : public TreeListControlTest {
protected:
    // 300 pixels wide without border or indicator.
    void Prepare(int BandCount, const std::vector<treelisttest::TColumnPlace>& Columns) {
        Build(BandCount, Columns);
        Tree->SetBorderStyle(bsNone);
        Tree->SetShowIndicator(false);
        Tree->SetBounds(0, 0, 300, 200);
    }
    TcvTreeListBand* B(int Index) { return Tree->Bands()->Items(Index); }
};

TEST_F(TreeListControlWidths, HiddenBandsScaleWithTheirShownNeighbours) {
    // Columns of 100 size their bands: B0 200, B2 100; B1 is hidden.
    Prepare(3, {{0, 0}, {0, 0}, {1, 0}, {2, 0}});
    B(1)->SetVisible(false);
    Tree->SetOptions(Tree->Options() | tlo_AutoWidth);
    Tree->SizeBandAutoWidth(0, 250);
    EXPECT_EQ(B(1)->Width(), 125);
    EXPECT_EQ(B(2)->Width(), 50);
    EXPECT_EQ(C(0)->Width(), 125);
    EXPECT_EQ(C(1)->Width(), 125);
    EXPECT_EQ(C(3)->Width(), 50);
}

TEST_F(TreeListControlWidths, HiddenColumnsScaleWithTheirShownRowNeighbours) {
    // The band is its columns' 200: C0 and C1 show 100 each.
    Prepare(1, {{0, 0}, {0, 0}, {0, 0}});
    C(2)->SetVisible(false);
    Tree->SizeColumnAutoWidth(0, 150);
    EXPECT_EQ(C(1)->Width(), 50);
    EXPECT_EQ(C(2)->Width(), 50);
}

// Switching auto-width off keeps the shared-out widths only when asked to.
TEST_F(TreeListControlWidths, AutoWidthSwitchedOffKeepsTheShownWidthsWhenAsked) {
    struct Case {
        bool Keep;
        std::vector<int> Columns;
        std::vector<int> Bands;
    };
    const Case cases[] = {{true, {200, 200, 200}, {400, 200}}, {false, {100, 100, 100}, {200, 100}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Keep);
        Owner = std::make_unique<TComponent>(nullptr);
        Tree = new TCustomcvTreeListControl(Owner.get());
        // Columns of 100 size their bands, 200 and 100, which share 600.
        Prepare(2, {{0, 0}, {0, 0}, {1, 0}});
        Tree->SetBounds(0, 0, 600, 200);
        const unsigned keep = c.Keep ? tloex_KeepColumnWidths : 0;
        Tree->SetOptionsEx((Tree->OptionsEx() & ~tloex_KeepColumnWidths) | keep);
        Tree->SetOptions(Tree->Options() | tlo_AutoWidth);
        ASSERT_EQ(Tree->GetColumnDisplayWidth(2), 200);
        Tree->SetOptions(Tree->Options() & ~tlo_AutoWidth);
        EXPECT_EQ((std::vector<int>{C(0)->Width(), C(1)->Width(), C(2)->Width()}), c.Columns);
        EXPECT_EQ((std::vector<int>{Tree->GetBandWidth(0), Tree->GetBandWidth(1)}), c.Bands);
    }
}

} // namespace
