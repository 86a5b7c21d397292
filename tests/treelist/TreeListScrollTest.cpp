// Visible rows, the scroll bars, and the top row and LeftCoord moves: a
// window scroll plus UpdateWindow leaves the same pixels as a full repaint.
#include "TestTreeList.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"

using treelisttest::TBandedTreeList;
using treelisttest::TTestTreeList;

namespace {

// Paints every header cell and row in its own colour with a dark edge, so a
// row or cell that lands a pixel off shows; the rest is white.
class TColouredTreeList : public TBandedTreeList {
public:
    using TBandedTreeList::TBandedTreeList;
    bool OwnPaint = true;

protected:
    void Paint() override {
        if (!OwnPaint) return TBandedTreeList::Paint();
        HDC dc = Canvas()->Handle();
        const TcvTreeListDrawInfo info = CalcDrawInfo();
        const TRect client = ClientRect();
        Fill(dc, client, RGB(255, 255, 255));
        for (const TcvTreeListHeaderCellInfo& cell : info.HeaderCells) {
            Fill(dc, cell.Bounds, RGB(40 * cell.Column, 200, 100));
            Fill(dc, {cell.Bounds.Left, cell.Bounds.Top, cell.Bounds.Left + 1, cell.Bounds.Bottom}, RGB(0, 0, 0));
        }
        for (const TcvTreeListRowInfo& row : info.Rows) {
            const int index = GetNodeRowIndex(row.Node);
            const TRect r{client.Left, row.Top, info.ColumnsRight, row.Top + row.Height};
            Fill(dc, r, RGB((index * 37) % 256, (index * 91) % 256, 150));
            Fill(dc, {r.Left, r.Top, r.Right, r.Top + 1}, RGB(0, 0, 0));
            for (const TcvTreeListHeaderCellInfo& cell : info.HeaderCells)
                Fill(dc, {cell.Bounds.Left, r.Top, cell.Bounds.Left + 1, r.Bottom}, RGB(0, 0, 0));
        }
    }

private:
    static void Fill(HDC dc, const TRect& r, COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
};

class TreeListScroll : public treelisttest::ShownTreeList<TColouredTreeList> {
protected:
    void SetUp() override {
        Show(200, 160, 40, [](TColouredTreeList& tree) {
            tree.BandWidths = {150, 180};
            tree.ColumnWidths = {75, 75, 180};
        });
    }
    std::vector<COLORREF> RepaintedPixels() {
        InvalidateRect(Tree->Handle(), nullptr, false);
        UpdateWindow(Tree->Handle());
        return Pixels();
    }
    bool HasBar(DWORD Bar) { return (GetWindowLong(Tree->Handle(), GWL_STYLE) & Bar) != 0; }
};

TEST_F(TreeListScroll, AWindowScrollPaintsWhatAFullRepaintPaints) {
    const int page = Tree->VisibleRowCount();
    struct Case {
        const char* Name;
        std::function<void()> Move;
        bool KeepsMiddle; // the pixels moved: the middle of the rows stays valid
    };
    const Case cases[] = {
        {"one row down", [&] { Tree->SetTopRowIndex(Tree->GetTopRowIndex() + 1); }, true},
        {"three rows down", [&] { Tree->SetTopRowIndex(Tree->GetTopRowIndex() + 3); }, true},
        {"two rows up", [&] { Tree->SetTopRowIndex(Tree->GetTopRowIndex() - 2); }, true},
        {"a page and more: full repaint", [&] { Tree->SetTopRowIndex(Tree->GetTopRowIndex() + page + 2); }, false},
        {"bands 7 pixels left", [&] { Tree->SetLeftCoord(7); }, true},
        {"bands back 5", [&] { Tree->SetLeftCoord(2); }, true},
        {"line down by the bar", [&] { SendMessage(Tree->Handle(), WM_VSCROLL, SB_LINEDOWN, 0); }, true},
        {"line up by the bar", [&] { SendMessage(Tree->Handle(), WM_VSCROLL, SB_LINEUP, 0); }, true},
        {"page up by the bar uncovers the rows", [&] { SendMessage(Tree->Handle(), WM_VSCROLL, SB_PAGEUP, 0); }, false},
    };
    for (const bool ownPaint : {true, false}) {
        Tree->OwnPaint = ownPaint;
        Tree->SetTopRowIndex(0);
        Tree->SetLeftCoord(0);
        RepaintedPixels();
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (ownPaint ? "" : ", the tree list's own paint"));
            c.Move();
            HRGN invalid = CreateRectRgn(0, 0, 0, 0);
            GetUpdateRgn(Tree->Handle(), invalid, false);
            const TRect rows = Tree->CalcRectInfo().Rows;
            EXPECT_NE(PtInRegion(invalid, rows.Left + 5, (rows.Top + rows.Bottom) / 2), c.KeepsMiddle);
            DeleteObject(invalid);
            UpdateWindow(Tree->Handle());
            const std::vector<COLORREF> scrolled = Pixels();
            EXPECT_EQ(scrolled, RepaintedPixels());
        }
    }
}

TEST_F(TreeListScroll, TopRowAndLeftCoordStayInRange) {
    const int rows = Tree->GetVisibleRowCount();
    const int page = Tree->VisibleRowCount();
    const int lastLeft = Tree->GetScrollableBandsWidth() - Tree->GetVisibleWidth();
    ASSERT_GT(lastLeft, 0);
    struct Case {
        const char* Name;
        std::function<void()> Set;
        int Top;
        int Left;
    };
    const Case cases[] = {
        {"negative top row", [&] { Tree->SetTopRowIndex(-5); }, 0, 0},
        {"past the end: the last page stays full", [&] { Tree->SetTopRowIndex(rows + 3); }, rows - page, 0},
        {"bottom by the bar", [&] { SendMessage(Tree->Handle(), WM_VSCROLL, SB_BOTTOM, 0); }, rows - page, 0},
        {"LeftCoord past the right end", [&] { Tree->SetLeftCoord(10000); }, 0, lastLeft},
        {"negative LeftCoord", [&] { Tree->SetLeftCoord(-3); }, 0, 0},
        {"right end by the bar", [&] { SendMessage(Tree->Handle(), WM_HSCROLL, SB_RIGHT, 0); }, 0, lastLeft},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Tree->SetTopRowIndex(0);
        Tree->SetLeftCoord(0);
        c.Set();
        EXPECT_EQ(Tree->GetTopRowIndex(), c.Top);
        EXPECT_EQ(Tree->LeftCoord(), c.Left);
    }
    Tree->BandWidths = {50, 50};
    Tree->ColumnWidths = {25, 25, 50};
    Tree->LayoutChanged();
    Tree->SetLeftCoord(30);
    EXPECT_EQ(Tree->LeftCoord(), 0) << "everything visible";
}

TEST_F(TreeListScroll, TheBarsFollowTheRowsAndTheBands) {
    TScrollInfo info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(HasBar(WS_VSCROLL));
    ASSERT_TRUE(HasBar(WS_HSCROLL));
    Tree->GetScrollInfo(SB_VERT, info);
    EXPECT_EQ(info.nMax, 39);
    EXPECT_EQ(int(info.nPage), Tree->VisibleRowCount());
    Tree->SetTopRowIndex(4);
    Tree->GetScrollInfo(SB_VERT, info);
    EXPECT_EQ(info.nPos, 4);
    Tree->GetScrollInfo(SB_HORZ, info);
    EXPECT_EQ(info.nMax, Tree->GetScrollableBandsWidth() - 1);
    EXPECT_EQ(int(info.nPage), Tree->GetVisibleWidth());
    Tree->SetScrollBars(ssNone);
    EXPECT_FALSE(HasBar(WS_VSCROLL));
    EXPECT_FALSE(HasBar(WS_HSCROLL));
}

// Nodes added or deleted one by one, outside an update: the range follows
// the rows, and the thumb the top row, which a change above it moves.
TEST_F(TreeListScroll, TheBarFollowsSingleAddsAndDeletes) {
    Tree->SetTopRowIndex(4);
    TcvTreeListNode* top = Tree->TopNode();
    TScrollInfo info;
    info.fMask = SIF_ALL;
    for (int i = 0; i < 10; ++i)
        Tree->Add();
    Tree->GetScrollInfo(SB_VERT, info);
    EXPECT_EQ(info.nMax, 49);
    EXPECT_EQ(info.nPos, 4);
    Tree->Insert(Tree->Items(0));
    Tree->GetScrollInfo(SB_VERT, info);
    EXPECT_EQ(info.nMax, 50);
    EXPECT_EQ(info.nPos, 5) << "the top node stays, one row lower";
    EXPECT_EQ(Tree->TopNode(), top);
    delete Tree->Items(0);
    delete Tree->Items(Tree->Count() - 1);
    Tree->GetScrollInfo(SB_VERT, info);
    EXPECT_EQ(info.nMax, 48);
    EXPECT_EQ(info.nPos, 4);
}

// With both bars shown, neither can go alone: each takes the room the other
// would need. Both go at once when everything fits without them.
TEST_F(TreeListScroll, BothBarsGoTogetherWhenEverythingFitsWithoutThem) {
    Tree->BandWidths = {100, 120};
    Tree->ColumnWidths = {50, 50, 120};
    while (Tree->Count() > 5)
        delete Tree->Items(Tree->Count() - 1);
    Tree->SetBounds(0, 0, 60, 60);
    ASSERT_TRUE(HasBar(WS_VSCROLL));
    ASSERT_TRUE(HasBar(WS_HSCROLL));
    const int frameWidth = Tree->Width() - Tree->ClientWidth() - GetSystemMetrics(SM_CXVSCROLL);
    const int frameHeight = Tree->Height() - Tree->ClientHeight() - GetSystemMetrics(SM_CYHSCROLL);
    const int fitWidth = frameWidth + 220;
    const int fitHeight = frameHeight + Tree->CalcRectInfo().Rows.Top + 5 * Tree->DefaultRowHeight();
    struct Case {
        const char* Name;
        int Width;
        int Height;
        bool Bars;
    };
    const Case cases[] = {
        {"everything fits exactly", fitWidth, fitHeight, false},
        {"a pixel too narrow", fitWidth - 1, fitHeight, true},
        {"a pixel too low", fitWidth, fitHeight - 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Tree->SetBounds(0, 0, 60, 60);
        Tree->SetBounds(0, 0, c.Width, c.Height);
        EXPECT_EQ(HasBar(WS_VSCROLL), c.Bars);
        EXPECT_EQ(HasBar(WS_HSCROLL), c.Bars);
    }
}

TEST(TreeListVisibleRows, RowsCountFromTheTopNodeAndFillTheEnd) {
    TTestTreeList tree(nullptr);
    tree.SetBounds(0, 0, 200, 0);
    const int header = tree.HeaderHeight();
    const int row = tree.DefaultRowHeight();
    for (int i = 0; i < 10; ++i)
        tree.Add();
    struct Case {
        const char* Name;
        int RowsHeight;
        int TopRow;
        int Partly;
        int Fully;
    };
    const Case cases[] = {
        {"a row taller than the area", row / 2, 0, 1, 1},
        {"three rows and a half", row * 7 / 2, 0, 4, 3},
        {"near the end the rows above fill up", row * 4, 8, 4, 4},
        {"every row fits", row * 12, 0, 10, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        tree.SetBounds(0, 0, 200, header + c.RowsHeight);
        tree.SetTopVisibleNode(tree.GetRowNode(c.TopRow));
        EXPECT_EQ(tree.GetVisibleRowCapacity(), c.Partly);
        EXPECT_EQ(tree.VisibleRowCount(), c.Fully);
    }
    int min = -1, max = -1, page = -1, position = -1;
    tree.SetBounds(0, 0, 200, header + row * 12);
    tree.GetVertScrollInfo(min, max, page, position);
    EXPECT_EQ(max, 0) << "all rows fit: no range";
    EXPECT_TRUE(tree.IsLastNode(tree.Items(9)));
    EXPECT_FALSE(tree.IsLastNode(tree.Items(8)));
    tree.ClearNodes();
    EXPECT_FALSE(tree.IsLastNode(nullptr));
}

} // namespace
