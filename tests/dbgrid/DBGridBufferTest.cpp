// The record-buffer mode end to end: the rows are the data link's buffer,
// reading a row leaves the current record alone, scroll codes move the
// dataset and the focus follows whoever moved it.
#include "tests/dbgrid/ShownGrid.h"

#include "platform/ui/Focus.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

namespace {

// A grid with columns ID and Name in the record-buffer mode.
class BufferGrid : public gridtest::TShownGrid {
public:
    explicit BufferGrid(int RowCount) : TShownGrid(RowCount, 200, {"ID", "Name"}) {}

    TDataLink* Link() const { return Grid->GetDataLink(); }
    // The ID of a row's record, read the way painting reads it.
    int RowId(int Row) {
        Grid->BeginNodeAccess(Grid->Items(Row));
        const int id = Data.CurrentId();
        Grid->EndNodeAccess(Grid->Items(Row));
        return id;
    }
    int FocusedId() { return RowId(Grid->FocusedNode()->Index()); }
};

TEST(DBGridBufferTest, RowsAreTheBufferRowsThatFitNeverOnePerRecord) {
    BufferGrid many(100);
    const int rows = many.Grid->Count();
    EXPECT_GT(rows, 2);
    EXPECT_LT(rows, 100);
    EXPECT_EQ(rows, many.Grid->VisibleRowCount());
    EXPECT_EQ(many.Link()->BufferCount(), rows);
    for (int row = 0; row < rows; ++row)
        EXPECT_EQ(many.RowId(row), row + 1);

    BufferGrid few(3);
    EXPECT_EQ(few.Grid->Count(), 3);
    EXPECT_EQ(few.RowId(2), 3);
    // Records appended to a short dataset join the rows; a full grid stays full.
    for (BufferGrid* grid : {&few, &many})
        for (int id = 101; id <= 102; ++id) {
            grid->Data.Query->Append();
            grid->Data.Query->FieldByName("ID")->SetAsInteger(id);
            grid->Data.Query->Post();
        }
    EXPECT_EQ(few.Grid->Count(), 5);
    EXPECT_EQ(few.RowId(4), 102);
    EXPECT_EQ(many.Grid->Count(), rows);
}

TEST(DBGridBufferTest, ReadingAndPaintingRowsLeaveTheCurrentRecordAlone) {
    BufferGrid grid(100);
    grid.Data.Query->MoveBy(3);
    // A handler sees the painted row's record, whatever row is current.
    int paintedCells = 0;
    int otherRecords = 0;
    grid.Grid->OnCustomDrawCell = [&](TObject*, TCanvas*, const TRect&, TcvTreeListNode* node, TcvTreeListColumn*,
                                      bool, bool, bool, std::string&, TColor&, TFont*, TAlignment&, bool&) {
        Variant value;
        node->GetValue(0, value);
        ++paintedCells;
        if (grid.Data.CurrentId() != node->Index() + 1) ++otherRecords;
    };
    InvalidateRect(grid.Grid->Handle(), nullptr, true);
    UpdateWindow(grid.Grid->Handle());
    EXPECT_GT(paintedCells, 0);
    EXPECT_EQ(otherRecords, 0);
    EXPECT_EQ(grid.RowId(0), 1);
    EXPECT_EQ(grid.Data.CurrentId(), 4);
    EXPECT_EQ(grid.Link()->ActiveRecord(), 3);
    EXPECT_EQ(grid.FocusedId(), 4);
}

struct ScrollCase {
    const char* Name;
    bool FromLast;
    int Code;
    // The expected top row's record and current record; Page stands for the rows that fit.
    int (*Top)(int Page);
    int (*Current)(int Page);
};

TEST(DBGridBufferTest, ScrollCodesMoveTheViewByALineOrAPage) {
    const ScrollCase cases[] = {
        {"line down: the current record lands on the new bottom row", false, SB_LINEDOWN, [](int) { return 2; },
         [](int page) { return page + 1; }},
        {"line up: on the new top row", true, SB_LINEUP, [](int page) { return 100 - page; },
         [](int page) { return 100 - page; }},
        {"page down: the next rows", false, SB_PAGEDOWN, [](int page) { return page + 1; },
         [](int page) { return 2 * page; }},
        {"page up: the rows before", true, SB_PAGEUP, [](int page) { return 101 - 2 * page; },
         [](int page) { return 101 - 2 * page; }},
        {"bottom", false, SB_BOTTOM, [](int page) { return 101 - page; }, [](int) { return 100; }},
        {"top", true, SB_TOP, [](int) { return 1; }, [](int) { return 1; }},
    };
    for (const ScrollCase& c : cases) {
        SCOPED_TRACE(c.Name);
        BufferGrid grid(100);
        if (c.FromLast) grid.Data.Query->Last();
        grid.VScroll(c.Code);
        const int page = grid.Grid->VisibleRowCount();
        EXPECT_EQ(grid.RowId(0), c.Top(page));
        EXPECT_EQ(grid.Data.CurrentId(), c.Current(page));
        EXPECT_EQ(grid.FocusedId(), grid.Data.CurrentId());
    }
}

TEST(DBGridBufferTest, ScrolledRowsShowWhatAFullPaintShows) {
    // The rows move by whole rows, and what showed below the last one goes.
    BufferGrid grid(100);
    grid.Data.Query->MoveBy(40);
    for (const int code : {SB_LINEDOWN, SB_LINEUP, SB_PAGEDOWN, SB_PAGEUP}) {
        SCOPED_TRACE(code);
        grid.VScroll(code);
        UpdateWindow(grid.Grid->Handle());
        const std::vector<uint32_t> scrolled = platform_ui::test::BackingPixels(grid.Grid->Handle());
        InvalidateRect(grid.Grid->Handle(), nullptr, true);
        UpdateWindow(grid.Grid->Handle());
        EXPECT_TRUE(scrolled == platform_ui::test::BackingPixels(grid.Grid->Handle()));
    }
}

TEST(DBGridBufferTest, TheRowsFollowTheThumbWhileItIsDraggedAndStayWhereItIsLetGo) {
    BufferGrid grid(100);
    grid.VScroll(SB_THUMBTRACK, 50);
    EXPECT_EQ(grid.Data.CurrentId(), 50);
    grid.VScroll(SB_THUMBTRACK, 80);
    grid.VScroll(SB_THUMBPOSITION, 80);
    grid.VScroll(SB_ENDSCROLL);
    EXPECT_EQ(grid.Data.CurrentId(), 80) << "never back at the top";
    EXPECT_EQ(grid.FocusedId(), 80);
}

TEST(DBGridBufferTest, DraggingTheRealThumbMovesTheRowsBeforeItIsLetGo) {
    BufferGrid grid(100);
    std::vector<int> seen;
    grid.Data.Query->AfterScroll = [&](TDataSet* d) { seen.push_back(d->RecNo()); };
    TRect window;
    GetWindowRect(grid.Grid->Handle(), window);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    const int x = window.Width() - bar / 2 - 2;
    const int thumbY = bar + 6;
    using platform_ui::test::PostQtMouse;
    using platform_ui::test::TMouseEventKind;
    for (int y = thumbY + 10; y <= thumbY + 60; y += 10)
        PostQtMouse(grid.Grid->Handle(), TMouseEventKind::Move, {x, y}, 0, MK_LBUTTON);
    PostQtMouse(grid.Grid->Handle(), TMouseEventKind::Release, {x, thumbY + 60}, MK_LBUTTON, 0);
    platform_ui::test::SendQtMouse(grid.Grid->Handle(), TMouseEventKind::Press, {x, thumbY}, MK_LBUTTON, MK_LBUTTON);
    ProcessMessages();
    ASSERT_GE(seen.size(), 2u) << "the rows moved while the thumb was dragged";
    EXPECT_GT(seen.front(), 1);
    EXPECT_EQ(grid.Data.CurrentId(), seen.back());
}

TEST(DBGridBufferTest, OneClickOnAnArrowMovesTheRowsByOne) {
    // The desktop's press and release come in one batch, both read before
    // the press starts the bar's loop: the release must still end it.
    BufferGrid grid(100);
    int moves = 0;
    grid.Data.Query->AfterScroll = [&](TDataSet*) {
        if (++moves > 5) ReleaseCapture(); // a loop that missed the release ends here
    };
    TRect window;
    GetWindowRect(grid.Grid->Handle(), window);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    const TPoint arrow{window.Width() - bar / 2 - 2, window.Height() - bar / 2 - 2};
    using platform_ui::test::PostQtMouse;
    using platform_ui::test::TMouseEventKind;
    PostQtMouse(grid.Grid->Handle(), TMouseEventKind::Press, arrow, MK_LBUTTON, MK_LBUTTON);
    PostQtMouse(grid.Grid->Handle(), TMouseEventKind::Release, arrow, MK_LBUTTON, 0);
    ProcessMessages();
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(grid.RowId(0), 2);
}

TEST(DBGridBufferTest, ScrollingTakesTheFocusAndMovesNothingWhileAnotherControlKeepsIt) {
    for (const bool keeps : {false, true}) {
        SCOPED_TRACE(keeps ? "the edit keeps the focus" : "the edit lets it go");
        BufferGrid grid(100);
        auto* edit = new TEdit(grid.Form.get());
        edit->SetParent(grid.Form.get());
        edit->SetBounds(410, 0, 80, 24);
        edit->SetFocus();
        // A validating control takes the focus back when it is left.
        if (keeps) edit->OnExit = [edit](TObject*) { edit->SetFocus(); };
        ProcessMessages();
        ASSERT_EQ(GetFocus(), edit->Handle());
        grid.VScroll(SB_BOTTOM);
        ProcessMessages();
        EXPECT_EQ(grid.Data.CurrentId(), keeps ? 1 : 100);
        EXPECT_EQ(GetFocus() == grid.Grid->Handle(), !keeps);
        edit->OnExit = nullptr;
    }
}

TEST(DBGridBufferTest, AFieldsFocusRequestFocusesItsColumnAndOpensTheEditor) {
    BufferGrid grid(10);
    grid.Data.Query->FieldByName("Name")->FocusControl();
    ProcessMessages();
    EXPECT_EQ(grid.Grid->GetFocusedAbsoluteIndex(), 1);
    ASSERT_NE(grid.Grid->InplaceEditor(), nullptr);
    EXPECT_TRUE(grid.Grid->IsEditing());
    EXPECT_EQ(GetFocus(), grid.Grid->InplaceEditor()->Handle());
}

TEST(DBGridBufferTest, ScrollBarShowsTheRecordNumberInTheRecordCount) {
    BufferGrid grid(100);
    grid.Data.Query->MoveBy(41);
    TScrollInfo info;
    info.fMask = SIF_ALL;
    grid.Grid->GetScrollInfo(SB_VERT, info);
    const int page = grid.Grid->VisibleRowCount();
    EXPECT_EQ(info.nMin, 1);
    EXPECT_EQ(int(info.nPage), page);
    EXPECT_EQ(info.nMax, 100 + page - 1);
    EXPECT_EQ(info.nPos, 42);
}

TEST(DBGridBufferTest, RecordsThatAllFitLeaveNothingToScroll) {
    for (const int records : {1, 2, 100}) {
        SCOPED_TRACE(records);
        BufferGrid grid(records);
        TScrollInfo info;
        info.fMask = SIF_ALL;
        grid.Grid->GetScrollInfo(SB_VERT, info);
        const bool scrolls = info.nMax - info.nMin + 1 > int(info.nPage);
        EXPECT_EQ(scrolls, records > grid.Grid->VisibleRowCount());
    }
}

TEST(DBGridBufferTest, TheWheelOverTheListScrollsItsRowsByTheDesktopsLines) {
    BufferGrid grid(100);
    auto* edit = new TEdit(grid.Form.get());
    edit->SetParent(grid.Form.get());
    edit->SetBounds(410, 0, 80, 24);
    edit->SetFocus();
    ProcessMessages();
    UINT lines = 0;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    platform_ui::test::SendQtWheel(grid.Grid->Handle(), {50, 50}, -120);
    ProcessMessages();
    EXPECT_EQ(grid.RowId(0), 1 + int(lines)) << "the view moved down by the lines, with no click first";
    platform_ui::test::SendQtWheel(grid.Grid->Handle(), {50, 50}, 120);
    ProcessMessages();
    EXPECT_EQ(grid.RowId(0), 1);
    EXPECT_EQ(grid.FocusedId(), grid.Data.CurrentId());
}

TEST(DBGridBufferTest, AnotherControlsMoveMovesTheFocus) {
    BufferGrid grid(100);
    TDataLink other;
    other.SetDataSource(grid.Data.Source.get());
    grid.Data.Query->MoveBy(2);
    EXPECT_EQ(grid.FocusedId(), 3);
    grid.Data.Query->Last();
    EXPECT_EQ(grid.Grid->FocusedNode()->Index(), grid.Grid->Count() - 1);
    EXPECT_EQ(grid.FocusedId(), 100);
    grid.Data.Query->Prior();
    EXPECT_EQ(grid.FocusedId(), 99);
    other.SetDataSource(nullptr);
}

TEST(DBGridBufferTest, FocusingARowMovesTheDataSet) {
    BufferGrid grid(100);
    grid.Grid->SetFocusedRowIndex(4);
    EXPECT_EQ(grid.Data.CurrentId(), 5);
    EXPECT_EQ(grid.FocusedId(), 5);
    grid.Grid->Items(2)->SetFocused(true);
    EXPECT_EQ(grid.Data.CurrentId(), 3);
}

TEST(DBGridBufferTest, ArrowKeysPastTheRowsMoveTheDataSet) {
    BufferGrid grid(100);
    grid.Data.Query->MoveBy(grid.Grid->Count() - 1);
    const int last = grid.Data.CurrentId();
    SendMessage(grid.Grid->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(grid.Data.CurrentId(), last + 1);
    EXPECT_EQ(grid.RowId(0), 2);
    EXPECT_EQ(grid.FocusedId(), last + 1);
    grid.Data.Query->First();
    SendMessage(grid.Grid->Handle(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(grid.Data.CurrentId(), 1);
    EXPECT_TRUE(grid.Data.Query->Bof());
}

TEST(DBGridBufferTest, ARecordDeletedThroughTheDataSetLeavesTheSelection) {
    BufferGrid grid(20);
    // Rows 2, 4 and 6 selected by their bookmarks, as the selection keeps them.
    for (int row : {1, 3, 5}) {
        TActiveRecordScope scope(grid.Link(), row);
        grid.Grid->SelectedList().AddObject(grid.Data.Query->Bookmark(), grid.Grid->Items(row));
    }
    ASSERT_EQ(grid.Grid->SelectedCount(), 3);
    grid.Data.Query->MoveBy(3);
    grid.Data.Query->Delete();
    ASSERT_EQ(grid.Grid->SelectedCount(), 2);
    // The export loop meets only rows that still exist.
    for (int i = 0; i < grid.Grid->SelectedCount(); ++i) {
        grid.Data.Query->SetBookmark(grid.Grid->GetSelectedRow(i));
        EXPECT_NE(grid.Data.CurrentId(), 4);
    }
}

} // namespace
