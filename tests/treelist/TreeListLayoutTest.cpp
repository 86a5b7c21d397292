// Metrics from the fonts, row heights, the width share of a band row and the
// area rectangles.
#include "TestTreeList.h"

#include "platform/ui/ImageList.h"
#include "treelist/cvTL.h"

using treelisttest::TTestTreeList;

namespace {

TEST(TreeListLayout, MetricsFollowTheFontsAndTheViewFlags) {
    TTestTreeList tree(nullptr);
    const int text = cvTL::FontLineHeight(tree.Font()->Handle());
    const int header = cvTL::FontLineHeight(tree.HeaderFont()->Handle());
    const int band = cvTL::FontLineHeight(tree.BandFont()->Handle());
    EXPECT_EQ(tree.TextHeight(), text);
    EXPECT_EQ(tree.MinRowHeight(), text + 3);
    EXPECT_EQ(tree.RowHeight(), std::max(text + 3, 16));
    EXPECT_EQ(tree.DefaultRowHeight(), tree.RowHeight());
    EXPECT_EQ(tree.HeaderRowHeight(), header + 5 + 1);
    EXPECT_EQ(tree.HeaderHeight(), tree.HeaderRowHeight());
    EXPECT_EQ(tree.BandHeaderHeight(), 0) << "bands hidden";
    EXPECT_EQ(tree.HorzLineStep(), cvTL::FontTextWidth(tree.Font()->Handle(), "0"));

    struct Case {
        const char* Name;
        std::function<void(TTestTreeList&)> Change;
        std::function<void(const TTestTreeList&)> Check;
    };
    const Case cases[] = {
        {"no header: no height", [](auto& t) { t.SetShowHeader(false); },
         [](const auto& t) { EXPECT_EQ(t.HeaderHeight(), 0); }},
        {"bands shown", [](auto& t) { t.SetShowBands(true); },
         [&](const auto& t) { EXPECT_EQ(t.BandHeaderHeight(), band + 5 + 1); }},
        {"flat rows are a pixel lower",
         [](auto& t) {
             t.SetShowBands(true);
             t.SetLookAndFeel(lfFlat);
         },
         [&](const auto& t) {
             EXPECT_EQ(t.HeaderRowHeight(), header + 5);
             EXPECT_EQ(t.BandHeaderHeight(), band + 5);
         }},
        {"ultra flat too", [](auto& t) { t.SetLookAndFeel(lfUltraFlat); },
         [&](const auto& t) { EXPECT_EQ(t.HeaderRowHeight(), header + 5); }},
        {"both grid flags add the grid line", [](auto& t) { t.SetShowGrid(true); },
         [&](const auto& t) { EXPECT_EQ(t.RowHeight(), std::max(text + 3, 16) + 1); }},
        {"inverted selection adds two", [](auto& t) { t.SetOptionsEx(t.OptionsEx() | tloex_InvertSelect); },
         [&](const auto& t) { EXPECT_EQ(t.RowHeight(), std::max(text + 3, 16) + 2); }},
        {"footer", [](auto& t) { t.SetShowFooter(true); },
         [&](const auto& t) { EXPECT_EQ(t.FooterHeight(), text + 7 + 3 + 1); }},
        {"indicator", [](auto& t) { t.SetShowIndicator(true); },
         [](const auto& t) { EXPECT_EQ(t.IndicatorWidth(), 12); }},
        {"a larger font: larger rows and scroll step", [](auto& t) { t.Font()->SetHeight(t.Font()->Height() * 3); },
         [&](const auto& t) {
             EXPECT_GT(t.TextHeight(), text);
             EXPECT_EQ(t.RowHeight(), t.TextHeight() + 3);
             EXPECT_EQ(t.HorzLineStep(), cvTL::FontTextWidth(t.Font()->Handle(), "0"));
             EXPECT_GT(t.HorzLineStep(), tree.HorzLineStep());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestTreeList changed(nullptr);
        c.Change(changed);
        c.Check(changed);
    }
}

TEST(TreeListLayout, AnExplicitDefaultRowHeightBelowTheFontsIsRaisedAndForgotten) {
    TTestTreeList tree(nullptr);
    const int row = tree.RowHeight();
    tree.SetDefaultRowHeight(row + 10);
    EXPECT_EQ(tree.DefaultRowHeight(), row + 10);
    EXPECT_TRUE(tree.DefaultRowHeightAssigned());
    tree.SetDefaultRowHeight(row - 5);
    EXPECT_EQ(tree.DefaultRowHeight(), row);
    EXPECT_FALSE(tree.DefaultRowHeightAssigned()) << "equal to the font's row height: not stored";
}

TEST(TreeListLayout, ATallImageListMakesEveryRowAsHigh) {
    for (bool grid : {false, true}) {
        TTestTreeList tree(nullptr);
        TImageList images(nullptr);
        images.SetWidth(32);
        images.SetHeight(32);
        tree.SetShowGrid(grid);
        tree.SetImages(&images);
        EXPECT_EQ(tree.RowHeight(), 32 + (grid ? 1 : 0));
        EXPECT_EQ(tree.ImageWidth(), 32);
        TcvTreeListNode* node = tree.Add();
        EXPECT_EQ(tree.GetRowHeight(node, tree.DefaultRowHeight(), true), tree.RowHeight());
        tree.SetImages(nullptr);
    }
}

TEST(TreeListLayout, ShareBandRowWidthsFillsTheBandAndKeepsMinimums) {
    struct Case {
        const char* Name;
        int BandWidth;
        int GroupIndent;
        std::vector<TcvColumnShareInput> Columns;
        std::vector<int> Widths;
    };
    const Case cases[] = {
        {"widths as they are", 150, 0, {{50, 10}, {100, 10}}, {50, 100}},
        {"doubled in proportion", 300, 0, {{50, 10}, {100, 10}}, {100, 200}},
        {"the last takes the rounding", 100, 0, {{1, 0}, {1, 0}, {1, 0}}, {33, 33, 34}},
        {"a fixed column keeps its width", 200, 0, {{50, 50, false}, {50, 10}, {50, 10}}, {50, 75, 75}},
        {"a minimum holds", 60, 0, {{10, 30}, {90, 10}}, {30, 30}},
        {"the group indent goes to the first", 120, 20, {{50, 10}, {50, 10}}, {70, 50}},
        {"widths summing to 0 share nothing", 80, 0, {{0, 0}, {0, 0}}, {0, 80}},
        {"minimums wider than the band", 20, 0, {{10, 30}, {10, 30}}, {30, 0}},
        {"one column takes the band", 90, 15, {{10, 5}}, {90}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShareBandRowWidths(c.BandWidth, c.GroupIndent, c.Columns), c.Widths) << c.Name;
}

TEST(TreeListLayout, AreasStackFromTheTopAndTheRowsTakeTheRest) {
    TTestTreeList tree(nullptr);
    tree.SetBounds(0, 0, 300, 200);
    tree.SetShowBands(true);
    tree.SetShowIndicator(true);
    tree.SetShowFooter(true);
    const TcvTreeListRectInfo areas = tree.CalcRectInfo();
    const int indicator = tree.IndicatorWidth();
    EXPECT_EQ(areas.BandHeader, (TRect{indicator, 0, 300, tree.BandHeaderHeight()}));
    EXPECT_EQ(areas.BandIndicator, (TRect{0, 0, indicator, tree.BandHeaderHeight()}));
    EXPECT_EQ(areas.Header.Top, areas.BandHeader.Bottom);
    EXPECT_EQ(areas.Header.Bottom, areas.Header.Top + tree.HeaderHeight());
    EXPECT_EQ(areas.Rows, (TRect{indicator, areas.Header.Bottom, 300, 200 - tree.FooterHeight()}));
    EXPECT_EQ(areas.RowsIndicator, (TRect{0, areas.Rows.Top, indicator, areas.Rows.Bottom}));
    EXPECT_EQ(areas.Footer, (TRect{0, areas.Rows.Bottom, 300, 200}));
    EXPECT_TRUE(IsRectEmpty(areas.GroupPanel));
    EXPECT_TRUE(IsRectEmpty(areas.NewItemRow));
    EXPECT_TRUE(IsRectEmpty(areas.FilterBar));
}

} // namespace

namespace {

using treelisttest::TBandedTreeList;

TEST(TreeListLayout, ShownColumnsCountBandByBandRowByRow) {
    TBandedTreeList tree(nullptr);
    tree.BandWidths = {100, 80, 60};
    tree.BandRows = {{{4, 1}, {0}}, {}, {{3}}};
    tree.ColumnWidths = {100, 50, 0, 60, 50};
    EXPECT_EQ(tree.GetVisibleColumnCount(), 4);
    const int absolute[] = {4, 1, 0, 3, -1, -1};
    for (int visible = -1; visible < 5; ++visible)
        EXPECT_EQ(tree.GetAbsoluteIndex(visible), visible < 0 ? -1 : absolute[visible]) << visible;
    const int visibleOf[] = {2, 1, 0, 3, 0}; // column 2 is in no band: 0
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(tree.GetVisibleIndex(column), visibleOf[column]) << column;
}

TEST(TreeListLayout, ScrollingBandsLineUpBetweenTheFixedOnes) {
    TBandedTreeList tree(nullptr);
    tree.BandWidths = {40, 100, 120, 30};
    tree.BandRows = {{{0}}, {{1}}, {{2}}, {{3}}};
    tree.ColumnWidths = {40, 100, 120, 30};
    tree.FixedLeft = 0;
    tree.FixedRight = 3;
    EXPECT_EQ(tree.GetScrollableBandsWidth(), 220);
    const int lefts[] = {0, 0, 100, 0};
    for (int band = 0; band < 4; ++band)
        EXPECT_EQ(tree.GetBandLeft(band), lefts[band]) << band;
    EXPECT_EQ(tree.GetBandLeft(4), 0);
}

TEST(TreeListLayout, ColumnDisplayWidthsAreTheHeaderCellsWidths) {
    TBandedTreeList tree(nullptr);
    tree.SetBounds(0, 0, 400, 200);
    tree.BandWidths = {150, 120};
    // The bands' own widths, not their columns' sums.
    tree.SetOptionsEx(tree.OptionsEx() & ~tloex_ColumnEdgeSizesBand);
    const TcvTreeListDrawInfo info = tree.CalcDrawInfo();
    for (const TcvTreeListHeaderCellInfo& cell : info.HeaderCells)
        EXPECT_EQ(tree.GetColumnDisplayWidth(cell.Column), cell.Bounds.Width()) << cell.Column;
    EXPECT_EQ(tree.GetColumnDisplayWidth(0), 75);
}

TEST(TreeListLayout, CellRectanglesSitUnderTheirHeaderCellsPastTheTreePart) {
    struct Case {
        const char* Name;
        bool Grid;
        unsigned ExtraOptionsEx;
    };
    const Case cases[] = {
        {"plain", false, 0}, {"grid lines", true, 0}, {"inverted selection", false, tloex_InvertSelect}};
    for (const Case& c : cases) {
        TBandedTreeList tree(nullptr);
        tree.SetBounds(0, 0, 300, 200);
        tree.SetShowGrid(c.Grid);
        tree.SetOptionsEx(tree.OptionsEx() | c.ExtraOptionsEx);
        TcvTreeListNode* parent = tree.Add();
        TcvTreeListNode* child = parent->AddChild();
        parent->SetExpanded(true);
        const TcvTreeListDrawInfo info = tree.CalcDrawInfo();
        const TcvTreeListRowInfo& row = info.Rows[1];
        ASSERT_EQ(row.Node, child);
        int imagesLeft = 0;
        int textLeft = 0;
        tree.GetNodeIndents(child, imagesLeft, textLeft);
        const int gridLine = c.Grid ? 1 : 0;
        for (int visible = 0; visible < 3; ++visible) {
            const TcvTreeListHeaderCellInfo& header = info.HeaderCells[visible];
            const TRect cell = tree.GetCellRect(child, visible);
            EXPECT_EQ(cell.Left, visible == 0 ? header.Bounds.Left + textLeft : header.Bounds.Left) << c.Name;
            EXPECT_EQ(cell.Right, header.Bounds.Right) << c.Name;
            EXPECT_EQ(cell.Top, row.Top) << c.Name;
            EXPECT_EQ(cell.Bottom, row.Top + tree.DefaultRowHeight() - gridLine) << c.Name;
            const TRect edit = tree.GetCellEditRect(child, visible);
            const bool lastOfAll = visible == 2;
            const int inset = c.ExtraOptionsEx ? 1 : 0;
            EXPECT_EQ(edit.Top, cell.Top + inset) << c.Name;
            EXPECT_EQ(edit.Bottom, cell.Bottom - inset) << c.Name;
            EXPECT_EQ(edit.Left, cell.Left + (visible == 0 ? inset : 0)) << c.Name;
            const int rightLoss = c.Grid ? 1 : (lastOfAll && !c.ExtraOptionsEx ? 1 : 0);
            EXPECT_EQ(edit.Right, cell.Right - rightLoss - (lastOfAll ? inset : 0)) << c.Name << " column " << visible;
        }
        EXPECT_EQ(tree.GetCellRect(child, 3), (TRect{-1, -1, -1, -1})) << "no such column";
        parent->SetExpanded(false);
        EXPECT_EQ(tree.GetCellRect(child, 0), (TRect{-1, -1, -1, -1})) << "no row";
    }
}

} // namespace
