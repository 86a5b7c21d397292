// Where dragged band and column headers land, a node dragged onto another
// with the real mouse, another control's drag over the rows, and a column
// drag run step by step to its drop.
#include "TestTreeListForm.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Drag.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Messages.h"
#include "platform/ui/testhooks/WmTestHooks.h"

using namespace platform_ui::test;

namespace {

// Three bands: band 0 holds C0 and C1, band 1 holds C2, band 2 holds C3.
class TreeListDrag : public treelisttest::TreeListOnForm {
protected:
    void SetUp() override {
        TreeListOnForm::SetUp();
        {
            TUpdateGuard<TCustomcvTreeList> update(Tree);
            Tree->SetDefaultLayout(false);
            Tree->SetShowBands(true);
            while (Tree->Bands()->Count() < 3)
                Tree->Bands()->Add();
            for (int band = 0; band < 3; ++band)
                Tree->Bands()->Items(band)->SetWidth(120);
            for (int band : {0, 0, 1, 2}) {
                TcvTreeListColumn* column = AddColumn();
                column->SetBandIndex(band);
                column->SetWidth(60);
                column->SetCaption("C" + std::to_string(Tree->ColumnCount() - 1));
            }
            for (const char* name : {"A", "B", "C"})
                AddNode(nullptr, {name, "x", "y", "z"});
        }
        Show();
    }
    // A screen point a quarter into the left or right half of a rectangle.
    TPoint Inside(const TRect& R, bool Right) const {
        const int x = Right ? R.Right - R.Width() / 4 - 1 : R.Left + R.Width() / 4;
        return Tree->ClientToScreen({x, (R.Top + R.Bottom) / 2});
    }
    TRect HeaderCell(int Column) {
        for (const TcvTreeListHeaderCellInfo& cell : Tree->CalcDrawInfo().HeaderCells)
            if (cell.Column == Column) return cell.Visible;
        return {};
    }
    TRect BandCell(int Band) { return Tree->CalcDrawInfo().Bands.at(size_t(Band)).Visible; }
    // The pointer moved to a screen point as the user moves it.
    void MoveTo(TPoint Screen) {
        TRect window;
        GetWindowRect(Tree->Handle(), window);
        SendQtMouse(Tree->Handle(), TMouseEventKind::Move, {Screen.X - window.Left, Screen.Y - window.Top}, 0, 0);
        ProcessMessages();
    }
};

std::string Text(const TcvHeaderPosInfo& P) {
    return std::to_string(P.Band) + " " + std::to_string(P.Row) + " " + std::to_string(P.Column) + " " +
           std::to_string(P.Status);
}

TEST_F(TreeListDrag, ColumnDropPositions) {
    struct Case {
        const char* Name;
        int Dragged;
        int OverColumn; // -1: in the rows
        bool RightHalf;
        bool Band1OnlyOwn;
        const char* Expected; // band row position status
    };
    const Case cases[] = {
        {"onto itself", 0, 0, true, false, "0 0 0 -2"},
        {"before the next column", 0, 1, false, false, "0 0 1 -2"},
        {"after the next column", 0, 1, true, false, "0 0 1 -3"},
        {"before a column of another band", 0, 2, false, false, "1 0 0 -3"},
        {"after a column of another band", 0, 2, true, false, "1 0 1 -3"},
        {"into a band that keeps its own", 0, 2, true, true, "1 0 0 -2"},
        {"before the previous column", 1, 0, false, false, "0 0 0 -3"},
        {"after the previous column", 1, 0, true, false, "0 0 0 -2"},
        {"over the rows", 0, -1, false, false, "-1 -1 -1 -1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Tree->Bands()->Items(1)->SetOnlyOwnColumns(c.Band1OnlyOwn);
        const TRect rows = Tree->CalcRectInfo().Rows;
        TPoint point = c.OverColumn >= 0 ? Inside(HeaderCell(c.OverColumn), c.RightHalf) : Inside(rows, false);
        const TcvHeaderPosInfo result = Tree->GetHeaderDropPosition(point, false, c.Dragged, c.Dragged);
        EXPECT_EQ(Text(result), c.Expected);
        // The arrows mark the edge dropped at; without a valid drop they go away.
        if (result.Status == -3) {
            const TRect cell = HeaderCell(c.OverColumn);
            EXPECT_EQ(point, Tree->ClientToScreen({(c.RightHalf ? cell.Right : cell.Left) - 5, cell.Top - 9}));
        } else {
            EXPECT_EQ(point, (TPoint{-100, -100}));
        }
    }
}

TEST_F(TreeListDrag, BandDropPositions) {
    struct Case {
        const char* Name;
        int Dragged;
        int OverBand; // 3: right of the last band
        bool RightHalf;
        bool FirstFixed;
        int Expected;
    };
    const Case cases[] = {
        {"onto itself", 0, 0, false, false, -2},
        {"before the next band", 0, 1, false, false, -2},
        {"after the next band", 0, 1, true, false, 1},
        {"before the last band", 0, 2, false, false, 1},
        {"right of the last band", 0, 3, false, false, 2},
        {"after the first band", 2, 0, true, false, 1},
        {"before the fixed first band", 2, 0, false, true, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Tree->Bands()->Items(0)->SetFixed(c.FirstFixed ? bfLeft : bfNone);
        const TRect last = BandCell(2);
        TPoint point = c.OverBand < 3 ? Inside(BandCell(c.OverBand), c.RightHalf)
                                      : Tree->ClientToScreen({last.Right + 5, (last.Top + last.Bottom) / 2});
        EXPECT_EQ(Tree->GetHeaderDropPosition(point, true, c.Dragged, c.Dragged).Band, c.Expected);
    }
}

TEST_F(TreeListDrag, ANodeDraggedOntoAnother) {
    Tree->SetDragMode(dmAutomatic);
    std::string heard;
    Tree->OnBeginDragNode = [&](TObject*, TcvTreeListNode* node) { heard += "begin " + NameOf(node) + ";"; };
    Tree->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; };
    Tree->OnDragDrop = [&](TObject*, TObject*, int x, int y) {
        Tree->DragNode()->MoveTo(Tree->GetHitNode(x, y), natAddChild);
    };
    const auto rowPoint = [&](const char* name) {
        const TRect row = Tree->GetNodeRowRect(N(name), false);
        TRect window;
        GetWindowRect(Tree->Handle(), window);
        const TPoint screen = Tree->ClientToScreen({row.Left + 30, (row.Top + row.Bottom) / 2});
        return TPoint{screen.X - window.Left, screen.Y - window.Top};
    };
    SendQtMouse(Tree->Handle(), TMouseEventKind::Press, rowPoint("A"), MK_LBUTTON, MK_LBUTTON);
    ProcessMessages();
    // The drag begins once the pointer leaves the press's 5-pixel square,
    // and carries the pressed node.
    const TPoint pastSquare{rowPoint("A").X + 6, rowPoint("A").Y};
    SendQtMouse(Tree->Handle(), TMouseEventKind::Move, pastSquare, 0, MK_LBUTTON);
    ProcessMessages();
    SendQtMouse(Tree->Handle(), TMouseEventKind::Move, rowPoint("C"), 0, MK_LBUTTON);
    ProcessMessages();
    // The focus follows the pointer while the node drags.
    EXPECT_EQ(heard, "begin A;");
    EXPECT_EQ(Tree->State(), 5);
    EXPECT_EQ(NameOf(Tree->FocusedNode()), "C");
    SendQtMouse(Tree->Handle(), TMouseEventKind::Release, rowPoint("C"), MK_LBUTTON, 0);
    ProcessMessages();
    EXPECT_EQ(N("A")->Parent(), N("C"));
    EXPECT_EQ(Tree->State(), 0);
    EXPECT_EQ(Tree->DragNode(), nullptr);
}

// A panel beside the rows drags over them as the user moves the mouse: the
// focus follows the pointer, a hovered button opens its node, the rows
// scroll under the top row, and the drop lands; the drag is the tree list's
// only while the pointer is over it.
TEST_F(TreeListDrag, AnotherControlsDragOverTheRows) {
    auto* source = new TPanel(Form.get());
    source->SetParent(Form.get());
    source->SetBoundsRect(Bounds(410, 10, 80, 80));
    source->SetDragMode(dmAutomatic);
    AddNode(N("C"), {"C1", "", "", ""});
    for (int i = 0; i < 30; ++i)
        AddNode(nullptr, {"R" + std::to_string(i), "", "", ""});
    Tree->SetWaitForExpandNodeTime(30);
    Tree->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; };
    TObject* dropped = nullptr;
    Tree->OnDragDrop = [&](TObject*, TObject* from, int, int) { dropped = from; };
    TRect frame;
    GetWindowRect(Form->Handle(), frame);
    const auto formPoint = [&](TPoint screen) { return TPoint{screen.X - frame.Left, screen.Y - frame.Top}; };
    const auto overRow = [&](const std::string& name, int x) {
        const TRect row = Tree->GetNodeRowRect(N(name), false);
        return Tree->ClientToScreen({x, (row.Top + row.Bottom) / 2});
    };
    const auto moveTo = [&](TPoint screen) {
        SendQtMouse(Form->Handle(), TMouseEventKind::Move, formPoint(screen), 0, MK_LBUTTON);
        ProcessMessages();
    };
    const auto pumpUntil = [](const std::function<bool()>& done) {
        for (int i = 0; i < 100 && !done(); ++i)
            PumpQt(10);
    };
    const TPoint onSource = source->ClientToScreen({20, 20});
    SendQtMouse(source->Handle(), TMouseEventKind::Press, {20, 20}, MK_LBUTTON, MK_LBUTTON);
    ProcessMessages();
    moveTo({onSource.X + 10, onSource.Y});
    ASSERT_TRUE(source->Dragging());
    EXPECT_EQ(Tree->ExternalDragObject(), nullptr);

    moveTo(overRow("B", 100));
    EXPECT_NE(Tree->ExternalDragObject(), nullptr);
    EXPECT_EQ(NameOf(Tree->FocusedNode()), "B");
    EXPECT_EQ(Tree->State(), 0);
    EXPECT_EQ(Tree->DragCursor(), crDrag);

    int button = 0;
    for (TcvTreeListHitInfo hit; button < 60; ++button) {
        Tree->GetHitInfo(Tree->ScreenToClient(overRow("C", button)), hit);
        if (hit.Kind == htButton) break;
    }
    moveTo(overRow("C", button));
    pumpUntil([&] { return N("C")->Expanded(); });
    EXPECT_TRUE(N("C")->Expanded());

    Tree->SetTopRowIndex(5);
    UpdateWindow(Tree->Handle());
    moveTo(overRow(NameOf(Tree->TopNode()), 100));
    pumpUntil([&] { return Tree->GetTopRowIndex() < 4; });
    EXPECT_LT(Tree->GetTopRowIndex(), 4);

    moveTo(onSource);
    EXPECT_EQ(Tree->ExternalDragObject(), nullptr);
    const int top = Tree->GetTopRowIndex();
    PumpQt(250);
    EXPECT_EQ(Tree->GetTopRowIndex(), top); // the scrolling ended with the drag's leave

    Tree->SetTopRowIndex(0);
    UpdateWindow(Tree->Handle());
    moveTo(overRow("A", 100));
    SendQtMouse(Form->Handle(), TMouseEventKind::Release, formPoint(overRow("A", 100)), MK_LBUTTON, 0);
    ProcessMessages();
    EXPECT_EQ(dropped, source);
    EXPECT_EQ(NameOf(Tree->FocusedNode()), "A");
    EXPECT_EQ(Tree->ExternalDragObject(), nullptr);
    EXPECT_FALSE(source->Dragging());
}

// The drag cursor says whether one node or several go.
TEST_F(TreeListDrag, TheDragCursorFollowsTheSelection) {
    Tree->SetOptions(Tree->Options() | tlo_MultiSelect);
    Tree->SetDragMode(dmAutomatic);
    Tree->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; };
    for (const bool several : {false, true}) {
        Tree->ClearSelection();
        N("A")->SetFocused(true);
        Tree->SetNodeSelected(N("A"), true);
        if (several) Tree->SetNodeSelected(N("B"), true);
        TDragRec rec{Tree->ClientToScreen({100, 5}), nullptr, Tree};
        Tree->Perform(CM_DRAG, dmFindTarget, reinterpret_cast<LPARAM>(&rec));
        EXPECT_EQ(Tree->DragCursor(), several ? crMultiDrag : crDrag) << several;
    }
}

// An update batch interrupts a node drag (state 5), not a pressed node (6).
TEST_F(TreeListDrag, AnUpdateBatchCancelsANodeDrag) {
    for (const Byte state : {Byte(6), Byte(5)}) {
        Tree->SetState(state);
        Tree->BeginUpdate();
        EXPECT_EQ(Tree->State(), 0);
        Tree->EndUpdate();
        EXPECT_EQ(Tree->DragCancelled(), state == 5) << int(state);
    }
}

TEST_F(TreeListDrag, AColumnDraggedAndDropped) {
    struct Case {
        const char* Name;
        std::function<TPoint()> DropAt;
        bool DisableCustomizing;
        const char* Layout; // each band's columns
    };
    const auto layout = [&] {
        std::string text;
        for (int band = 0; band < Tree->GetBandCount(); ++band) {
            text += band ? " |" : "";
            for (int position = 0; position < Tree->GetColumnCountInBandRow(band, 0); ++position)
                text += " " + Tree->Columns(Tree->GetColumnAt(band, 0, position))->Caption();
        }
        return text;
    };
    // A move reorders the columns: they are found by their captions.
    const auto byCaption = [&](const std::string& caption) {
        for (int i = 0; i < Tree->ColumnCount(); ++i)
            if (Tree->Columns(i)->Caption() == caption) return i;
        return -1;
    };
    const auto c0 = [&] { return byCaption("C0"); };
    const auto outside = [&] { return Tree->ClientToScreen({100, Tree->CalcRectInfo().Rows.Top + 20}); };
    const Case cases[] = {
        {"after C2", [&] { return Inside(HeaderCell(byCaption("C2")), true); }, false, " C1 | C2 C0 | C3"},
        {"into the rows", outside, false, " C1 | C2 | C3"},
        {"into the rows, not customizable", outside, true, " C0 C1 | C2 | C3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TcvTreeListColumn* column = Tree->Columns(c0());
        column->SetVisible(true);
        column->SetBandIndex(0);
        column->SetColIndex(0);
        column->SetDisableCustomizing(c.DisableCustomizing);
        ASSERT_EQ(layout(), " C0 C1 | C2 | C3");
        MoveTo(Inside(HeaderCell(c0()), false));
        Tree->DoStartHeaderDragging(c0());
        EXPECT_EQ(Tree->State(), 3);
        MoveTo(c.DropAt());
        Tree->DragColumnStep();
        Tree->EndColumnDrag(true);
        EXPECT_EQ(Tree->State(), 0);
        EXPECT_FALSE(Tree->DragArrowsShown());
        EXPECT_EQ(layout(), c.Layout);
    }
}

} // namespace
