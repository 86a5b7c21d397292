// The grid object's defaults and life cycle: a new grid's settings, the
// mode a new grid is in, and what it forgets when its data source goes.
#include "tests/dbgrid/ShownGrid.h"

#include <gtest/gtest.h>

namespace {

TEST(DBGridObjectTest, ANewGridHasItsDefaults) {
    TcvDBGrid grid(nullptr);
    EXPECT_FALSE(grid.ShowGroupPanel());
    EXPECT_EQ(grid.SummarySeparator(), ", ");
    EXPECT_EQ(grid.PartialLoadBufferCount(), 100);
    EXPECT_EQ(grid.GroupPanelColor(), clBtnShadow);
    EXPECT_EQ(grid.GroupPanelFontColor(), clBtnFace);
    EXPECT_TRUE(grid.ShowGrid());
    EXPECT_FALSE(grid.HideSelection());
    EXPECT_FALSE(grid.HideFocusRect());
    EXPECT_TRUE(grid.IsBufferMode());
    EXPECT_TRUE(grid.IsBookmarkSelection());
}

TEST(DBGridObjectTest, ANewSummarySeparatorRepaintsTheGrid) {
    gridtest::TShownGrid shown(5, 200, {"ID"});
    const HWND wnd = shown.Grid->Handle();
    for (const auto& [value, repaints] : {std::pair{", ", false}, std::pair{"; ", true}}) {
        UpdateWindow(wnd);
        shown.Grid->SetSummarySeparator(value);
        TRect dirty;
        EXPECT_EQ(GetUpdateRect(wnd, &dirty, false), repaints) << value;
    }
}

TEST(DBGridObjectTest, AFreedDataSourceLeavesAnEmptyGrid) {
    gridtest::TShownGrid shown(20, 200, {"ID"});
    ASSERT_GT(shown.Grid->Count(), 1);
    shown.Data.Source.reset();
    EXPECT_EQ(shown.Grid->GetDataSource(), nullptr);
    EXPECT_FALSE(shown.Grid->GetDataLink()->Active());
    UpdateWindow(shown.Grid->Handle());
    EXPECT_LE(shown.Grid->Count(), 1);
}

} // namespace
