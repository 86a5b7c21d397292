// Band widths with and without auto-width.
#include "TestTreeList.h"

#include <gtest/gtest.h>

using treelisttest::TBandedTreeList;

namespace {

// Bands with their own minimums and sizing.
class TSizedTreeList : public TBandedTreeList {
public:
    using TBandedTreeList::TBandedTreeList;
    std::vector<int> BandMinWidths{0, 0};
    std::vector<bool> BandSizable{true, true};
    int GetBandMinWidth(int Band) const override { return BandMinWidths[size_t(Band)]; }
    bool CanBandSizing(int Band) const override { return BandSizable[size_t(Band)]; }
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

} // namespace
