// Header clicks sort the in-memory rows and leave the record buffer's rows in
// dataset order; a reload keeps the rows sorted.
#include "tests/dbgrid/ShownGrid.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Twelve records, so that names sort as texts ("名称10" before "名称2").
constexpr int Records = 12;
constexpr char DatasetOrder[] = "1 2 3 4 5 6 7 8 9 10 11 12";
constexpr char NameOrder[] = "1 10 11 12 2 3 4 5 6 7 8 9";
constexpr char NameOrderDown[] = "9 8 7 6 5 4 3 2 12 11 10 1";

class SortedGrid : public gridtest::TShownGrid {
public:
    explicit SortedGrid(bool InMemory)
        : TShownGrid(Records, 400, {"ID", "Name", "Qty"}, [InMemory](TcvDBGrid& grid) {
              grid.SetKeyField("ID");
              grid.SetOptionsBehavior(grid.OptionsBehavior() + edgoAutoSort);
              if (InMemory) grid.SetOptionsDB(grid.OptionsDB() + edgoLoadAllRecords);
          }) {}

    // A left click in the middle of the header of the column at Column.
    void ClickHeader(int Column) {
        const TRect cell = Grid->GetCellRect(Grid->TopNode(), Column);
        const LPARAM point = PointToLParam({(cell.Left + cell.Right) / 2, cell.Top - Grid->HeaderHeight() / 2});
        SendMessage(Grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessage(Grid->Handle(), WM_LBUTTONUP, 0, point);
        UpdateWindow(Grid->Handle());
    }
    void ClickNameHeader() { ClickHeader(1); }

    // The IDs of the rows shown, top to bottom.
    std::string RowIds() const {
        std::string ids;
        for (int row = 0; row < Grid->GetVisibleRowCount(); ++row)
            ids += (ids.empty() ? "" : " ") + Grid->GetNodeString(Grid->GetRowNode(row), 0);
        return ids;
    }
};

TEST(DBGridSortingTest, HeaderClicksSortTheInMemoryRowsUpThenDown) {
    struct Case {
        const char* Name;
        bool InMemory;
        int Clicks;
        TcvTreeListColumnSort Sort;
        const char* Rows;
    };
    const Case cases[] = {
        {"in memory, one click: ascending", true, 1, csUp, NameOrder},
        {"in memory, two clicks: descending", true, 2, csDown, NameOrderDown},
        {"in memory, three clicks: ascending again", true, 3, csUp, NameOrder},
        {"record buffer: nothing sorts", false, 1, csNone, DatasetOrder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        SortedGrid grid(c.InMemory);
        grid.Data.Query->MoveBy(4);
        for (int i = 0; i < c.Clicks; ++i)
            grid.ClickNameHeader();
        EXPECT_EQ(grid.Grid->Columns(1)->Sorted(), c.Sort);
        EXPECT_EQ(grid.RowIds(), c.Rows);
        // The focus stays on the dataset's record wherever its row went.
        EXPECT_EQ(grid.Data.CurrentId(), 5);
        EXPECT_EQ(grid.Grid->GetNodeString(grid.Grid->FocusedNode(), 0), "5");
    }
}

TEST(DBGridSortingTest, AReloadKeepsTheRowsSortedAndTakingTheSortAwayLeavesThem) {
    SortedGrid grid(true);
    grid.ClickNameHeader();
    grid.Grid->FullReload();
    EXPECT_EQ(grid.RowIds(), NameOrder);
    // Taking the sort away keeps the rows where they are until the next sort.
    grid.Grid->Columns(1)->SetSorted(csNone);
    EXPECT_EQ(grid.RowIds(), NameOrder);
    grid.Grid->FullReload();
    EXPECT_EQ(grid.RowIds(), DatasetOrder);
}

TEST(DBGridSortingTest, ASortByAnotherColumnTakesTheFormerSortAway) {
    SortedGrid grid(true);
    grid.ClickNameHeader();
    grid.ClickHeader(2);
    grid.ClickHeader(2);
    EXPECT_EQ(grid.Grid->Columns(1)->Sorted(), csNone);
    EXPECT_EQ(grid.Grid->Columns(2)->Sorted(), csDown);
    EXPECT_EQ(grid.RowIds(), "12 11 10 9 8 7 6 5 4 3 2 1");
    grid.Grid->FullReload();
    EXPECT_EQ(grid.RowIds(), "12 11 10 9 8 7 6 5 4 3 2 1");
    // With several sort keys both columns keep their marks.
    grid.Grid->SetOptionsBehavior(grid.Grid->OptionsBehavior() + edgoMultiSort);
    grid.ClickNameHeader();
    EXPECT_EQ(grid.Grid->Columns(1)->Sorted(), csUp);
    EXPECT_EQ(grid.Grid->Columns(2)->Sorted(), csDown);
    // Back to one key: the first sorted column in column order stays.
    grid.Grid->SetOptionsBehavior(grid.Grid->OptionsBehavior() - edgoMultiSort);
    EXPECT_EQ(grid.Grid->Columns(1)->Sorted(), csUp);
    EXPECT_EQ(grid.Grid->Columns(2)->Sorted(), csNone);
    EXPECT_EQ(grid.RowIds(), NameOrder);
}

} // namespace
