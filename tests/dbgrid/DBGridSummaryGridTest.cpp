// The grid hears of changes to its summary groups and their items, except
// while it is being loaded from its form.
#include "dbgrid/DBGrid.h"

#include <gtest/gtest.h>

namespace {

class TCountingGrid : public TcvDBGrid {
public:
    using TcvDBGrid::TcvDBGrid;
    void SummaryGroupsChanged() override { ++GroupChanges; }
    void LayoutChanged() override {
        ++Layouts;
        TcvDBGrid::LayoutChanged();
    }
    int GroupChanges = 0;
    int Layouts = 0;
};

TEST(SummaryGroupsGridTest, GroupChangesRecomputeAndItemChangesRelayout) {
    TCountingGrid grid(nullptr);
    TcvDBGridSummaryGroup* group = grid.SummaryGroups()->Add();
    group->SetName("Totals");
    EXPECT_EQ(grid.GroupChanges, 2);

    TcvDBGridSummaryItem* item = group->SummaryItems()->Add();
    const int layouts = grid.Layouts;
    item->SetSummaryType(cstSum);
    item->SetSummaryType(cstSum);
    EXPECT_EQ(grid.Layouts, layouts + 1);
    EXPECT_EQ(grid.GroupChanges, 2);

    TcvDBGridSummaryGroups other(nullptr);
    other.Add()->SetName("Copied");
    grid.SetSummaryGroups(&other);
    EXPECT_EQ(grid.SummaryGroups()->Items(0)->Name(), "Copied");
    EXPECT_GT(grid.GroupChanges, 2);
}

TEST(SummaryGroupsGridTest, NothingIsHeardWhileTheGridLoads) {
    TCountingGrid grid(nullptr);
    TComponentLoading loading(&grid);
    TcvDBGridSummaryGroup* group = grid.SummaryGroups()->Add();
    group->SetName("Totals");
    group->SummaryItems()->Add()->SetColumnName("colAmount");
    EXPECT_EQ(grid.GroupChanges, 0);
    EXPECT_EQ(grid.Layouts, 0);
}

} // namespace
