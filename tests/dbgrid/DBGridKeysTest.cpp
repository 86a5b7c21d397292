// The grid's keys in the record-buffer mode: they move, delete, insert,
// append and cancel records of the dataset, asking before deleting.
#include "tests/dbgrid/DBGridKeysTestGrid.h"

#include "platform/ui/testhooks/ModalTestHooks.h"

namespace gridtest {
namespace {

using DBGridKeysTest = GridInput;

TEST_F(DBGridKeysTest, CtrlDelDeletesTheSelectedRecordsWhenTheBoxAgrees) {
    struct Case {
        const char* Name;
        TcvDBGridOptionsDB Removed;
        int Answer;
        bool SecondRow; // Ctrl+click a second row before deleting
        const char* Question; // nullptr: no box
        const char* Left;     // IDs 1-5 left afterwards
    };
    const Case cases[] = {
        {"cancel", {}, IDCANCEL, false, "Delete all selected records?", "1 2 3 4 5"},
        {"ok", {}, IDOK, false, "Delete all selected records?", "1 2 4 5"},
        {"ok on two rows", {}, IDOK, true, "Delete all selected records?", "1 2 4"},
        {"no confirming", {edgoConfirmDelete}, IDCANCEL, false, nullptr, "1 2 4 5"},
        {"no navigation", {edgoCanNavigation}, IDOK, false, nullptr, "1 2 3 4 5"},
        {"no deleting", {edgoCanDelete}, IDOK, false, nullptr, "1 2 3 4 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Open(5, [&c](TcvDBGrid& grid) { grid.SetOptionsDB(grid.OptionsDB() - c.Removed); });
        Boxes.clear();
        Answer = c.Answer;
        Click(2);
        if (c.SecondRow) Click(4, MK_CONTROL);
        Key(VK_DELETE, MK_CONTROL);
        ASSERT_EQ(Boxes.size(), c.Question ? 1u : 0u);
        if (c.Question) {
            EXPECT_EQ(Boxes[0].Text, c.Question);
            EXPECT_EQ(Boxes[0].Caption, "Confirm");
            EXPECT_EQ(Boxes[0].Flags, UINT(MB_OKCANCEL | MB_ICONQUESTION));
        }
        std::string left;
        for (Data->Query->First(); !Data->Query->Eof(); Data->Query->Next())
            left += (left.empty() ? "" : " ") + std::to_string(Data->CurrentId());
        EXPECT_EQ(left, c.Left);
        EXPECT_FALSE(Data->Query->ControlsDisabled());
    }
}

TEST_F(DBGridKeysTest, CtrlDelWithNoRowSelectedAsksForTheFocusedRecord) {
    Open(5);
    Click(1);
    Grid->ClearSelection();
    Key(VK_DELETE, MK_CONTROL);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "Delete record?");
    EXPECT_EQ(Data->Query->RecordCount(), 4);
    EXPECT_FALSE(Data->Query->Locate("ID", 2, {}));
}

TEST_F(DBGridKeysTest, TheRealBoxCancelledDeletesNothing) {
    Open(5);
    Click(0);
    const TDialogHookScope realBoxes{TDialogHook()};
    platform_ui::test::TShownDialog shown;
    platform_ui::test::CloseNextDialog(shown);
    Key(VK_DELETE, MK_CONTROL);
    EXPECT_TRUE(shown.Seen);
    EXPECT_EQ(shown.Title, "Confirm");
    EXPECT_EQ(shown.Text, "Delete all selected records?");
    EXPECT_EQ(Data->Query->RecordCount(), 5);
}

TEST_F(DBGridKeysTest, InsInsertsOnlyWhenEditingCellsWithInsertAllowed) {
    struct Case {
        const char* Name;
        bool RowSelect;
        TcvDBGridOptionsDB Removed;
        TDataSetState State;
    };
    const Case cases[] = {
        {"cells", false, {}, dsInsert},
        {"whole rows", true, {}, dsBrowse},
        {"no inserting", false, {edgoCanInsert}, dsBrowse},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Open(5, [&c](TcvDBGrid& grid) {
            if (!c.RowSelect) CellEditing(grid);
            grid.SetOptionsDB(grid.OptionsDB() - c.Removed);
        });
        Click(2);
        Key(VK_INSERT);
        EXPECT_EQ(Data->Query->State(), c.State);
        EXPECT_EQ(Grid->SelectedCount(), c.State == dsInsert ? 0 : 1);
    }
}

TEST_F(DBGridKeysTest, DownOnTheLastRecordAppendsOnlyWithAppendAllowed) {
    for (const bool canAppend : {true, false}) {
        SCOPED_TRACE(canAppend);
        Open(5, [canAppend](TcvDBGrid& grid) {
            CellEditing(grid);
            if (canAppend) grid.SetOptionsDB(grid.OptionsDB() + edgoCanAppend);
        });
        Key(VK_END, MK_CONTROL);
        Key(VK_DOWN);
        EXPECT_EQ(Data->Query->State(), canAppend ? dsInsert : dsBrowse);
        EXPECT_EQ(Data->Query->RecordCount(), 5);
    }
}

TEST_F(DBGridKeysTest, UpOrDownLeavesAnUntouchedAppendWithoutAddingARecord) {
    Open(5, [](TcvDBGrid& grid) {
        CellEditing(grid);
        grid.SetOptionsDB(grid.OptionsDB() + edgoCanAppend);
    });
    Key(VK_END, MK_CONTROL);
    Key(VK_DOWN);
    ASSERT_EQ(Data->Query->State(), dsInsert);
    Key(VK_DOWN); // stays on the new record: nothing was typed
    EXPECT_EQ(Data->Query->State(), dsInsert);
    Key(VK_UP);
    EXPECT_EQ(Data->Query->State(), dsBrowse);
    EXPECT_EQ(Data->Query->RecordCount(), 5);
    EXPECT_EQ(Data->CurrentId(), 5);
}

TEST_F(DBGridKeysTest, EscCancelsThePendingEdit) {
    Open(5);
    Click(1);
    Data->Query->Edit();
    Data->Query->FieldByName("Name")->SetAsString("changed");
    Key(VK_ESCAPE);
    EXPECT_EQ(Data->Query->State(), dsBrowse);
    EXPECT_EQ(Data->Query->FieldByName("Name")->AsString(), "名称2");
}

TEST_F(DBGridKeysTest, HomeAndEndJumpAndSelectTheRowTheyReach) {
    Open(30);
    Click(2);
    Key(VK_END);
    EXPECT_EQ(Data->CurrentId(), 30);
    EXPECT_EQ(ExportedIds(), "30");
    Key(VK_HOME, MK_CONTROL); // Ctrl keeps the selection
    EXPECT_EQ(Data->CurrentId(), 1);
    EXPECT_EQ(ExportedIds(), "30");
}

TEST_F(DBGridKeysTest, LeftAndRightOfWholeRowsBecomeHorizontalScrollCodes) {
    Open(5);
    Click(1);
    std::vector<WPARAM> codes;
    const TWndMethod original = Grid->WindowProc;
    Grid->WindowProc = [&](TMessage& Message) {
        if (Message.Msg == WM_HSCROLL) codes.push_back(Message.WParam);
        original(Message);
    };
    Key(VK_RIGHT);
    Key(VK_LEFT);
    Grid->WindowProc = original;
    EXPECT_EQ(codes, (std::vector<WPARAM>{SB_LINERIGHT, SB_LINELEFT}));
    EXPECT_EQ(Data->CurrentId(), 2);
}

// Moving the focus through many rows and reloading them leaves no node in
// the list of nodes under edit, in each mode that has nodes per record.
TEST_F(DBGridKeysTest, NavigationLeavesNoNodesUnderEdit) {
    for (const TcvDBGridOptionDB mode : {edgoLoadAllRecords, edgoPartialLoad}) {
        SCOPED_TRACE(int(mode));
        Open(60, [mode](TcvDBGrid& grid) {
            grid.SetKeyField("ID");
            grid.SetOptionsDB(grid.OptionsDB() + mode);
        });
        Click(0);
        for (int i = 0; i < 40; ++i)
            Key(VK_DOWN);
        EXPECT_EQ(Data->CurrentId(), 41);
        EXPECT_TRUE(Grid->FieldNodes().empty());
        Data->Query->Refresh();
        ProcessMessages();
        EXPECT_TRUE(Grid->FieldNodes().empty());
    }
}

} // namespace
} // namespace gridtest
