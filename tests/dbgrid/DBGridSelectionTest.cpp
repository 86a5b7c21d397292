// The grid's multi-row selection in the record-buffer mode: ranges walked
// over the dataset, clicks, the export loop, copy as text, and records that
// vanish under a selection.
#include "tests/dbgrid/DBGridKeysTestGrid.h"

#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

namespace gridtest {
namespace {

using DBGridSelectionTest = GridInput;

struct TStroke {
    Word Vk;
    WPARAM Keys;
};

TEST_F(DBGridSelectionTest, ShiftKeysSelectRecordRangesFromTheClickedRow) {
    Open(30);
    // Rows that fit; the clicked row is the third.
    const int rows = Grid->VisibleRowCount();
    ASSERT_GT(rows, 4);
    struct Case {
        const char* Name;
        std::vector<TStroke> Keys;
        int First, Last, Current;
    };
    const Case cases[] = {
        {"Shift+End", {{VK_END, MK_SHIFT}}, 3, 30, 30},
        {"Shift+Home", {{VK_HOME, MK_SHIFT}}, 1, 3, 1},
        {"Shift+End, Shift+Home", {{VK_END, MK_SHIFT}, {VK_HOME, MK_SHIFT}}, 1, 3, 1},
        {"Shift+PgDn to the last shown row", {{VK_NEXT, MK_SHIFT}}, 3, rows, rows},
        {"Shift+PgDn from the last shown row pages on", {{VK_NEXT, MK_SHIFT}, {VK_NEXT, MK_SHIFT}}, 3, 2 * rows - 1,
         2 * rows - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Grid->ClearSelection();
        Data->Query->First();
        ProcessMessages();
        Click(2);
        for (const TStroke& key : c.Keys)
            Key(key.Vk, key.Keys);
        EXPECT_EQ(Data->CurrentId(), c.Current);
        EXPECT_EQ(ExportedIds(), Ids(c.First, c.Last));
    }
}

TEST_F(DBGridSelectionTest, ClicksWithShiftExtendAndWithCtrlToggleRows) {
    Open(30);
    struct Case {
        int Row;
        WPARAM Keys;
        const char* Ids;
    };
    const Case cases[] = {
        {1, 0, "2"},
        {4, MK_SHIFT, "2 3 4 5"},
        {2, MK_CONTROL, "2 4 5"},
        {2, MK_CONTROL, "2 3 4 5"},
        {0, MK_SHIFT, "1 2 3"}, // from the last Ctrl+clicked row
        {6, MK_CONTROL, "1 2 3 7"},
    };
    for (const Case& c : cases) {
        Click(c.Row, c.Keys);
        EXPECT_EQ(ExportedIds(), c.Ids) << c.Row << " " << c.Keys;
    }
}

TEST_F(DBGridSelectionTest, AShiftClickRangeReachesBeyondTheShownRows) {
    Open(30);
    Click(1);
    Key(VK_END, MK_CONTROL);
    ProcessMessages();
    Click(Grid->GetFocusedRowIndex(), MK_SHIFT);
    EXPECT_EQ(ExportedIds(), Ids(2, 30));
}

// The partial window loads again around the current record and goes on
// past the anchor far below it, so the whole range is selected.
TEST_F(DBGridSelectionTest, APartialWindowRangeReachesAnAnchorBeyondTheWindow) {
    Open(300, [](TcvDBGrid& grid) {
        grid.SetKeyField("ID");
        grid.SetPartialLoad(true);
        grid.SetPartialLoadBufferCount(0);
    });
    const int window = (Grid->VisibleRowCount() + 1) * 5;
    for (int line = 0; line < window + 20; ++line)
        Shown->VScroll(SB_LINEDOWN);
    Click(Grid->GetTopRowIndex());
    const int anchor = Data->CurrentId();
    ASSERT_GT(anchor, window);
    for (int line = 0; line < window + 20; ++line)
        Shown->VScroll(SB_LINEUP);
    Click(Grid->GetTopRowIndex() + 1, MK_SHIFT);
    const int current = Data->CurrentId();
    ASSERT_EQ(Grid->SelectedCount(), anchor - current + 1);
    std::vector<std::string> selected;
    for (int i = 0; i < Grid->SelectedCount(); ++i)
        selected.push_back(Grid->GetSelectedRow(i));
    for (int i = 0; i < int(selected.size()); ++i)
        EXPECT_EQ(selected[i], BookmarkOfId(current + i)) << i;
    // The export loop moves the window; the rows outside it stay selected.
    EXPECT_EQ(ExportedIds(), Ids(current, anchor));
}

TEST_F(DBGridSelectionTest, TheExportLoopEndsOnTheLastSelectedRow) {
    Open(10);
    EXPECT_EQ(Grid->SelectedCount(), 0);
    EXPECT_EQ(ExportedIds(), "");
    try {
        Grid->GetSelectedRow(0);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
    Click(5);
    Click(1, MK_CONTROL);
    Click(3, MK_CONTROL);
    EXPECT_EQ(ExportedIds(), "2 4 6");
    EXPECT_EQ(Data->CurrentId(), 6);
}

TEST_F(DBGridSelectionTest, CopyAsTextReadsTheSelectedOrAllRecordsAndStays) {
    Open(30);
    Click(1);
    Click(3, MK_CONTROL);
    TStringList selected;
    Grid->SaveSelectedToStrings(&selected);
    ASSERT_EQ(selected.Count(), 3);
    EXPECT_EQ(selected.Strings(0), "ID\tName\tQty\r\n");
    EXPECT_EQ(selected.Strings(1), "2\t名称2\t20");
    EXPECT_EQ(selected.Strings(2), "4\t名称4\t40");
    TStringList all;
    Grid->SaveAllToStrings(&all);
    ASSERT_EQ(all.Count(), 31);
    EXPECT_EQ(all.Strings(30), "30\t名称30\t300");
    EXPECT_EQ(Data->CurrentId(), 4);
    EXPECT_FALSE(Data->Query->ControlsDisabled());
}

// Records deleted behind the grid's back (its controls disabled, so it heard
// nothing) must neither stop a deletion nor leave part of the selection.
TEST_F(DBGridSelectionTest, DeletingSkipsRecordsThatVanishedAndEmptiesTheSelection) {
    Open(10);
    Click(1);
    Click(2, MK_CONTROL);
    Click(3, MK_CONTROL);
    ASSERT_EQ(ExportedIds(), "2 3 4");
    {
        const TDisableControlsScope disabled(Data->Query.get());
        Data->Query->Locate("ID", 3, {});
        Data->Query->Delete();
        Grid->DeleteSelection();
        EXPECT_EQ(Grid->SelectedCount(), 0);
    }
    EXPECT_EQ(Data->Query->RecordCount(), 7);
    for (const int id : {2, 3, 4})
        EXPECT_FALSE(Data->Query->Locate("ID", id, {})) << id;
    EXPECT_FALSE(Data->Query->ControlsDisabled());
}

TEST_F(DBGridSelectionTest, ADeletionStoppedHalfWayLeavesNoSelectionAndLiveControls) {
    Open(10);
    Click(1);
    Click(2, MK_CONTROL);
    Click(3, MK_CONTROL);
    Data->Query->BeforeDelete = [this](TDataSet*) {
        if (Data->CurrentId() == 3) Abort();
    };
    EXPECT_THROW(Grid->DeleteSelection(), EAbort);
    EXPECT_EQ(Grid->SelectedCount(), 0);
    EXPECT_FALSE(Data->Query->ControlsDisabled());
    EXPECT_FALSE(Grid->IsUpdating());
    EXPECT_FALSE(Data->Query->Locate("ID", 2, {}));
    EXPECT_TRUE(Data->Query->Locate("ID", 3, {}));
}

TEST_F(DBGridSelectionTest, ARangeWhoseAnchorVanishedStartsAtTheCurrentRecord) {
    Open(10);
    Click(2);
    {
        const TDisableControlsScope disabled(Data->Query.get());
        Data->Query->Delete(); // ID 3, the anchor; ID 4 becomes current
    }
    ProcessMessages();
    ASSERT_EQ(Data->CurrentId(), 4);
    Key(VK_END, MK_SHIFT);
    EXPECT_EQ(ExportedIds(), Ids(4, 10));
    EXPECT_EQ(Data->CurrentId(), 10);
}

// The loading code's side of a reload, played by the test: save, offer
// every node with the dataset on its record (controls disabled, as a load
// walks), discard.
TEST_F(DBGridSelectionTest, AReloadSelectsTheSavedRecordsAgain) {
    for (const bool bookmarks : {true, false}) {
        SCOPED_TRACE(bookmarks);
        Open(10, [bookmarks](TcvDBGrid& grid) {
            grid.SetKeyField("ID");
            grid.SetOptionsDB(grid.OptionsDB() + edgoLoadAllRecords);
            grid.SetUseBookmarks(bookmarks);
        });
        Click(1);
        Click(3, MK_CONTROL);
        const auto selectedKeys = [this] {
            std::string keys;
            for (int i = 0; i < Grid->Count(); ++i)
                if (Grid->IsNodeSelected(Grid->Items(i)))
                    keys += (keys.empty() ? "" : " ") + static_cast<TcvDBGridNode*>(Grid->Items(i))->KeyText;
            return keys;
        };
        ASSERT_EQ(selectedKeys(), "2 4");
        Grid->SaveSelection();
        EXPECT_EQ(Grid->SelectedCount(), 0);
        const TDisableControlsScope loading(Data->Query.get());
        for (int i = 0; i < Grid->Count(); ++i) {
            auto* node = static_cast<TcvDBGridNode*>(Grid->Items(i));
            Data->Query->Locate("ID", std::stoi(node->KeyText), {});
            Grid->ReselectLoadedNode(node);
        }
        Grid->DiscardSavedSelection();
        EXPECT_EQ(selectedKeys(), "2 4");
        EXPECT_EQ(Grid->SelectedCount(), 2);
    }
}

// Rows held in memory: a Shift range selects every row between by its own
// record, grouped or not.
TEST_F(DBGridSelectionTest, InMemoryRangesSelectEachRowsOwnRecord) {
    struct Case {
        const char* Name;
        std::function<void(TcvDBGrid&)> Prepare;
        int From, To;
        const char* Ids;
    };
    const Case cases[] = {
        {"in memory", [](TcvDBGrid& grid) { grid.SetOptionsDB(grid.OptionsDB() + edgoLoadAllRecords); }, 0, 3,
         "1 2 3 4"},
        // Records 1 to 3 under the first group row.
        {"grouped",
         [](TcvDBGrid& grid) {
             grid.SetOptions(grid.Options() + egoExtMultiSelect);
             grid.ColumnByFieldName("Qty")->SetGroupIndex(0);
         },
         1, 3, "1 2 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Open(10, [&c](TcvDBGrid& grid) {
            grid.SetKeyField("ID");
            c.Prepare(grid);
        });
        Data->Connection->Execute("update T set Qty = (ID + 2) / 3");
        Data->Query->Close();
        Data->Query->Open();
        Grid->Items(0)->Expand(true);
        ASSERT_TRUE(Grid->IsLoadAllMode());
        Click(c.From);
        Click(c.To, MK_SHIFT);
        EXPECT_EQ(ExportedIds(), c.Ids);
    }
}

// A reload by the grid itself (a data-set change) in each loading mode:
// the export loop reads the same records before and after, and the loaded
// rows show them selected.
TEST_F(DBGridSelectionTest, TheSelectionOutlivesReloadsInEveryMode) {
    struct Case {
        const char* Name;
        TcvDBGridOptionsDB Extra;
        bool Bookmarks;
    };
    const Case cases[] = {
        {"record buffer", {}, true},
        {"in memory by bookmarks", {edgoLoadAllRecords}, true},
        {"in memory by key values", {edgoLoadAllRecords}, false},
        {"partial", {edgoPartialLoad}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Open(30, [&c](TcvDBGrid& grid) {
            grid.SetKeyField("ID");
            grid.SetOptionsDB(grid.OptionsDB() + c.Extra);
            grid.SetUseBookmarks(c.Bookmarks);
        });
        Click(1);
        Click(3, MK_CONTROL);
        Click(4, MK_CONTROL);
        // Selected by key values, the entries carry no bookmark to export.
        if (c.Bookmarks) {
            ASSERT_EQ(ExportedIds(), "2 4 5");
        }
        Data->Query->Refresh();
        ProcessMessages();
        if (c.Bookmarks) {
            EXPECT_EQ(ExportedIds(), "2 4 5");
        }
        int shownSelected = 0;
        for (int row = 0; row < Grid->Count(); ++row)
            shownSelected += Grid->IsNodeSelected(Grid->Items(row));
        EXPECT_EQ(shownSelected, 3);
    }
}

} // namespace
} // namespace gridtest

namespace gridtest {
namespace {

// Another control moves the dataset; the grid's own clicks do not count as
// such a move.
TEST_F(DBGridSelectionTest, SyncSelectionKeepsTheCurrentRecordSelectedAfterAnotherControlsMove) {
    struct Case {
        const char* Name;
        bool Sync;
        int MoveBy; // from ID 4, the row clicked last
        const char* Ids;
        int Reports;
    };
    const Case cases[] = {
        {"without the option the selection stays", false, 2, "2 4", 0},
        {"a move elsewhere selects the current record alone", true, 2, "6", 1},
        {"a move onto a selected record keeps the selection", true, -2, "2 4", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Open(10, [&c](TcvDBGrid& Grid) {
            if (c.Sync) Grid.SetOptionsDB(Grid.OptionsDB() + edgoSyncSelection);
        });
        Click(1);
        Click(3, MK_CONTROL);
        ASSERT_EQ(ExportedIds(), "2 4");
        int reports = 0;
        Grid->OnSelectedCountChange = [&reports](TObject*) { ++reports; };
        Data->Query->MoveBy(c.MoveBy);
        ProcessMessages();
        Grid->OnSelectedCountChange = nullptr;
        EXPECT_EQ(ExportedIds(), c.Ids);
        EXPECT_EQ(reports, c.Reports);
    }
}

} // namespace
} // namespace gridtest
