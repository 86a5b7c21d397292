// The in-memory reload and the partial-load window: which records become
// nodes, and that every load leaves the dataset on its record with its
// BOF/EOF state.
#include "tests/dbgrid/ShownGrid.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A grid with a column ID, the key field given and a loading option.
class LoadedGrid : public gridtest::TShownGrid {
public:
    LoadedGrid(int RowCount, TcvDBGridOptionDB Mode, int Height = 200, const std::string& KeyField = "ID")
        : TShownGrid(RowCount, Height, {"ID"}, [&](TcvDBGrid& grid) {
              grid.SetKeyField(KeyField);
              grid.SetOptionsDB(grid.OptionsDB() + Mode);
          }) {}

    std::string KeyOf(int Index) const { return static_cast<TcvDBGridNode*>(Grid->Items(Index))->KeyText; }
    std::string FocusedKey() const { return static_cast<TcvDBGridNode*>(Grid->FocusedNode())->KeyText; }
};

TEST(DBGridLoadingTest, InMemoryReloadMakesANodePerRecordAndKeepsThePosition) {
    struct Case {
        const char* Name;
        void (*Place)(TDataSet*);
        int ExpectedId;
        bool Bof;
        bool Eof;
    };
    const Case cases[] = {
        {"a middle record", [](TDataSet* d) { d->MoveBy(6); }, 7, false, false},
        {"at BOF", [](TDataSet* d) { d->First(); }, 1, true, false},
        {"at EOF", [](TDataSet* d) { d->Last(), d->Next(); }, 30, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LoadedGrid grid(30, edgoLoadAllRecords);
        ASSERT_TRUE(grid.Grid->IsLoadAllMode());
        ASSERT_EQ(grid.Grid->Count(), 30);
        EXPECT_EQ(grid.KeyOf(0), "1");
        EXPECT_EQ(grid.KeyOf(29), "30");
        c.Place(grid.Data.Query.get());
        grid.Grid->FullReload();
        EXPECT_EQ(grid.Grid->Count(), 30);
        EXPECT_EQ(grid.Data.CurrentId(), c.ExpectedId);
        EXPECT_EQ(grid.Data.Query->Bof(), c.Bof);
        EXPECT_EQ(grid.Data.Query->Eof(), c.Eof);
        EXPECT_EQ(grid.FocusedKey(), std::to_string(c.ExpectedId));
    }
}

TEST(DBGridLoadingTest, InMemoryReloadWithoutKeyFieldBuildsNothingWhileNavigating) {
    LoadedGrid grid(30, edgoLoadAllRecords, 200, "");
    EXPECT_EQ(grid.Grid->Count(), 0);
    EXPECT_EQ(grid.Data.CurrentId(), 1);
}

TEST(DBGridLoadingTest, FocusingANodeMovesTheDataSetAndALaterChangeIsHeard) {
    LoadedGrid grid(30, edgoLoadAllRecords);
    grid.Grid->Items(9)->SetFocused(true);
    EXPECT_EQ(grid.Data.CurrentId(), 10);
    // The move marked its own change; a real change after it is not swallowed.
    grid.Data.Query->Delete();
    EXPECT_EQ(grid.Grid->Count(), 29);
    EXPECT_EQ(grid.FocusedKey(), std::to_string(grid.Data.CurrentId()));
}

TEST(DBGridLoadingTest, PartialWindowIsFiveScreensOrTheBufferCount) {
    struct Case {
        const char* Name;
        int Records;
        int Height;
    };
    const Case cases[] = {
        {"100 records fill the smallest window", 100, 200},
        {"155 records, a small grid: the buffer count wins", 155, 200},
        {"a tall grid: five screens", 400, 700},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LoadedGrid grid(c.Records, edgoPartialLoad, c.Height);
        ASSERT_TRUE(grid.Grid->IsPartialLoadMode());
        const int window = std::max((grid.Grid->VisibleRowCount() + 1) * 5, 100);
        EXPECT_EQ(grid.Grid->Count(), std::min(window, c.Records));
        EXPECT_TRUE(grid.Grid->BeginningReached());
        EXPECT_EQ(grid.KeyOf(0), "1");
        EXPECT_EQ(grid.Data.CurrentId(), 1);
        EXPECT_TRUE(grid.Data.Query->Bof());
    }
}

TEST(DBGridLoadingTest, ScrollingExtendsThePartialWindow) {
    LoadedGrid grid(155, edgoPartialLoad);
    ASSERT_EQ(grid.Grid->Count(), 100);
    EXPECT_FALSE(grid.Grid->EndReached());
    for (int page = 0; page < 20 && !grid.Grid->EndReached(); ++page)
        grid.VScroll(SB_PAGEDOWN);
    EXPECT_TRUE(grid.Grid->EndReached());
    EXPECT_EQ(grid.Grid->Count(), 155);
    EXPECT_EQ(grid.KeyOf(154), "155");
    EXPECT_EQ(grid.Data.CurrentId(), 1);
}

TEST(DBGridLoadingTest, AJumpBeyondThePartialWindowReloadsAroundTheRecord) {
    LoadedGrid grid(400, edgoPartialLoad);
    grid.Data.Query->Last();
    EXPECT_TRUE(grid.Grid->EndReached());
    EXPECT_FALSE(grid.Grid->BeginningReached());
    EXPECT_EQ(grid.FocusedKey(), "400");
    EXPECT_EQ(grid.KeyOf(grid.Grid->Count() - 1), "400");
    EXPECT_TRUE(grid.Data.Query->Eof());
}

// A dataset change that leaves the records as they were (a jump) only
// brings the focus to the current record; one that changed them reloads.
TEST(DBGridLoadingTest, AJumpFocusesItsRecordAndAChangeOfTheRecordsReloads) {
    struct Case {
        const char* Name;
        void (*Act)(TDataSet*);
        bool Reloads;
        int FocusedId;
        int RowCount;
    };
    const Case cases[] = {
        {"GotoBookmark",
         [](TDataSet* d) {
             d->MoveBy(7);
             const TBookmarkStr eighth = d->Bookmark();
             d->First();
             d->GotoBookmark(eighth);
         },
         false, 8, 30},
        {"Locate", [](TDataSet* d) { d->Locate("ID", 21, {}); }, false, 21, 30},
        {"Last", [](TDataSet* d) { d->Last(); }, false, 30, 30},
        {"SetRecNo", [](TDataSet* d) { d->SetRecNo(12); }, false, 12, 30},
        {"a bracket of moves",
         [](TDataSet* d) {
             const TDisableControlsScope disabled(d);
             d->MoveBy(3);
             d->Last();
             d->SetRecNo(5);
         },
         false, 5, 30},
        {"Post",
         [](TDataSet* d) {
             d->MoveBy(2);
             d->Edit();
             d->FieldByName("Name")->SetAsString("changed");
             d->Post();
         },
         true, 3, 30},
        {"Delete", [](TDataSet* d) { d->MoveBy(2), d->Delete(); }, true, 4, 29},
        {"a filter",
         [](TDataSet* d) {
             d->SetFilter("ID > 20");
             d->SetFiltered(true);
         },
         true, 21, 10},
        {"Refresh", [](TDataSet* d) { d->MoveBy(4), d->Refresh(); }, true, 5, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LoadedGrid grid(30, edgoLoadAllRecords);
        int reloads = 0;
        grid.Grid->OnClearNodeData = [&reloads](TObject*) { ++reloads; };
        c.Act(grid.Data.Query.get());
        EXPECT_EQ(reloads > 0, c.Reloads);
        EXPECT_EQ(grid.Grid->Count(), c.RowCount);
        EXPECT_EQ(grid.Data.CurrentId(), c.FocusedId);
        EXPECT_EQ(grid.FocusedKey(), std::to_string(c.FocusedId));
    }
}

// An edit's values go from the row when the edit is given up.
TEST(DBGridLoadingTest, ACancelledEditLeavesTheRowWithItsStoredValues) {
    gridtest::TShownGrid grid(10, 200, {"ID", "Name"}, [](TcvDBGrid& Grid) {
        Grid.SetKeyField("ID");
        Grid.SetOptionsDB(Grid.OptionsDB() + edgoLoadAllRecords);
    });
    TDataSet* data = grid.Data.Query.get();
    data->MoveBy(3);
    data->Edit();
    data->FieldByName("Name")->SetAsString("typed");
    EXPECT_EQ(grid.Grid->GetNodeString(grid.Grid->FocusedNode(), 1), "typed");
    data->Cancel();
    EXPECT_EQ(grid.Grid->GetNodeString(grid.Grid->FocusedNode(), 1), "名称4");
}

// OnChangeNodeEx tells of every new current record, in each mode, once
// the focused row is its row; loads stay quiet.
TEST(DBGridLoadingTest, EveryNewCurrentRecordFiresOnChangeNodeExOnItsRow) {
    const struct {
        const char* Name;
        TcvDBGridOptionDB Mode;
    } modes[] = {{"in memory", edgoLoadAllRecords}, {"partial", edgoPartialLoad}, {"record buffer", edgoUseBookmarks}};
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.Name);
        LoadedGrid grid(60, mode.Mode);
        std::vector<std::string> seen;
        grid.Grid->OnChangeNodeEx = [&grid, &seen](TObject* Sender) {
            EXPECT_EQ(Sender, grid.Grid);
            seen.push_back(grid.Grid->GetNodeString(grid.Grid->FocusedNode(), 0));
        };
        TDataSet* data = grid.Data.Query.get();
        data->MoveBy(3);
        data->Locate("ID", 40, {});
        data->Prior();
        grid.Grid->FullReload();
        // The focus moving first: the dataset follows it.
        grid.Grid->SetFocusedRowIndex(grid.Grid->GetFocusedRowIndex() + 2);
        EXPECT_EQ(seen, (std::vector<std::string>{"4", "40", "39", "41"}));
        EXPECT_EQ(grid.Data.CurrentId(), 41);
    }
}

// A closing dataset frees its default fields; a window still on the screen
// (a document window closing with the program) paints its grid after that.
TEST(DBGridLoadingTest, AGridPaintsAfterItsDataSetClosedAndFreedItsFields) {
    for (const TcvDBGridOptionDB mode : {edgoLoadAllRecords, edgoUseBookmarks}) {
        LoadedGrid grid(10, mode);
        grid.Data.Query->Close();
        EXPECT_EQ(grid.Grid->DBColumns(0)->Field(), nullptr);
        grid.Grid->Invalidate();
        UpdateWindow(grid.Grid->Handle());
        EXPECT_EQ(grid.Grid->DBColumns(0)->GetDefaultAlignment(), taLeftJustify);
        grid.Data.Query->Open();
        EXPECT_EQ(grid.Grid->DBColumns(0)->Field(), grid.Data.Query->FindField("ID"));
    }
}

} // namespace
