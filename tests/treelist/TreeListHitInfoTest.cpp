// The hit test on a tree list with two bands and three columns: every area
// code at its edges, cross-checked with the drawing layout.
#include "TestTreeList.h"

using treelisttest::TBandedTreeList;

namespace {

class TreeListHitTest : public ::testing::Test {
protected:
    void SetUp() override {
        Tree.SetBounds(0, 0, 300, 200);
        Tree.SetShowBands(true);
        Tree.SetShowIndicator(true);
        TUpdateGuard<TCustomcvTreeList> update(Tree);
        Parent = Tree.Add();
        Child = Parent->AddChild();
        Leaf = Tree.Add();
        Parent->SetExpanded(true);
    }
    int Kind(int X, int Y) { return Tree.GetHitTestKind(X, Y); }
    TcvTreeListHitInfo Hit(int X, int Y) {
        TcvTreeListHitInfo hit;
        Tree.GetHitInfo({X, Y}, hit);
        return hit;
    }
    TBandedTreeList Tree{nullptr};
    TcvTreeListNode* Parent = nullptr;
    TcvTreeListNode* Child = nullptr;
    TcvTreeListNode* Leaf = nullptr;
};

TEST_F(TreeListHitTest, EveryHeaderCentreHitsItsColumnAndEveryRowMiddleItsNode) {
    const TcvTreeListDrawInfo info = Tree.CalcDrawInfo();
    ASSERT_EQ(info.HeaderCells.size(), 3u);
    for (const TcvTreeListHeaderCellInfo& cell : info.HeaderCells) {
        const TcvTreeListHitInfo hit =
            Hit((cell.Bounds.Left + cell.Bounds.Right) / 2, (cell.Bounds.Top + cell.Bounds.Bottom) / 2);
        EXPECT_EQ(hit.Kind, htColumnHeader) << cell.Column;
        EXPECT_EQ(hit.Column, cell.Column);
        EXPECT_EQ(hit.Band, cell.Band);
    }
    ASSERT_EQ(info.Rows.size(), 3u);
    for (size_t i = 0; i < info.Rows.size(); ++i) {
        const TcvTreeListRowInfo& row = info.Rows[i];
        const TcvTreeListHitInfo hit = Hit(info.Areas.Rows.Left + 150, row.Top + row.Height / 2);
        EXPECT_EQ(hit.Kind, htCell) << i;
        EXPECT_EQ(hit.Node, row.Node) << i;
        EXPECT_EQ(hit.Row, int(i));
        EXPECT_EQ(hit.Column, 2);
    }
}

TEST_F(TreeListHitTest, SizingEdgesWinOverTheirNeighbours) {
    const TcvTreeListDrawInfo info = Tree.CalcDrawInfo();
    const TcvTreeListHeaderCellInfo& first = info.HeaderCells[0];
    const int headerMiddle = (first.Bounds.Top + first.Bounds.Bottom) / 2;
    const int edge = first.Bounds.Right; // between columns 0 and 1
    const int bandEdge = info.Bands[0].Bounds.Right;
    const int lastEdge = info.Bands[1].Bounds.Right;
    const int bandMiddle = (info.Bands[0].Bounds.Top + info.Bands[0].Bounds.Bottom) / 2;
    const TcvTreeListRowInfo& row0 = info.Rows[0];
    const int rowsBottomEdge = row0.Top + row0.Height;
    struct Case {
        const char* Name;
        unsigned Options, OptionsEx;
        TPoint P;
        int Kind;
        int Column; // -1: not checked
        int Band;
    };
    const unsigned o = Tree.Options();
    const unsigned ox = Tree.OptionsEx();
    const Case cases[] = {
        {"one pixel outside", o, ox, {-1, headerMiddle}, htOutside, -1, -1},
        {"3 left of a column edge", o, ox, {edge - 3, headerMiddle}, htColumnEdge, 0, 0},
        {"2 right of a column edge", o, ox, {edge + 2, headerMiddle}, htColumnEdge, 0, 0},
        {"column sizing off", o & ~tlo_ColumnSizing, ox, {edge - 3, headerMiddle}, htColumnHeader, 0, 0},
        {"a band row's last edge sizes the band", o, ox, {bandEdge - 2, headerMiddle}, htBandEdge, 1, 0},
        {"band sizing off there", o, ox & ~tloex_BandSizing, {bandEdge - 2, headerMiddle}, htColumnHeader, 1, 0},
        {"right of the last band", o, ox, {lastEdge + 2, headerMiddle}, htBandEdge, -1, 1},
        {"column edges size bands only without band header",
         o,
         (ox | tloex_ColumnEdgeSizesBand),
         {lastEdge + 2, headerMiddle},
         htBandEdge,
         -1,
         1},
        {"band header", o, ox, {20 + info.Bands[0].Bounds.Left, bandMiddle}, htBandHeader, -1, 0},
        {"band edge", o, ox, {bandEdge - 1, bandMiddle}, htBandEdge, -1, 0},
        {"right of the band edge", o, ox, {bandEdge + 3, bandMiddle}, htBandEdge, -1, 0},
        {"band indicator corner", o, ox, {2, bandMiddle}, htBandIndicator, -1, -1},
        {"header indicator corner", o, ox, {2, headerMiddle}, htHeaderIndicator, -1, -1},
        {"header height edge",
         o,
         ox | tloex_HeaderHeightSizing,
         {edge - 20, first.Bounds.Bottom - 2},
         htHeaderHeightEdge,
         -1,
         -1},
        {"indicator over a row", o, ox, {2, row0.Top + row0.Height / 2}, htIndicator, -1, -1},
        {"row edge in the indicator", o, ox | tloex_RowSizing, {2, rowsBottomEdge + 1}, htRowHeightEdge, -1, -1},
        {"row sizing off", o, ox & ~tloex_RowSizing, {2, rowsBottomEdge + 1}, htIndicator, -1, -1},
        {"right of the columns", o, ox, {info.ColumnsRight + 5, row0.Top + 2}, htRowRight, -1, -1},
        {"below the last row", o, ox, {100, info.LastRowBottom + 3}, htNowhere, -1, -1},
    };
    for (const Case& c : cases) {
        Tree.SetOptions(c.Options);
        Tree.SetOptionsEx(c.OptionsEx);
        const TcvTreeListHitInfo hit = Hit(c.P.X, c.P.Y);
        EXPECT_EQ(hit.Kind, c.Kind) << c.Name;
        if (c.Column >= 0) {
            EXPECT_EQ(hit.Column, c.Column) << c.Name;
        }
        EXPECT_EQ(hit.Band, c.Band) << c.Name;
        if (c.Kind == htOutside) {
            EXPECT_EQ(hit.Node, nullptr) << c.Name;
            EXPECT_EQ(hit.Row, -1) << c.Name;
        }
    }
}

TEST_F(TreeListHitTest, WithoutTheBandHeaderTheLastColumnEdgeMaySizeTheBand) {
    Tree.SetShowBands(false);
    const TcvTreeListDrawInfo info = Tree.CalcDrawInfo();
    const TcvTreeListHeaderCellInfo& last = info.HeaderCells[2];
    const int y = (last.Bounds.Top + last.Bounds.Bottom) / 2;
    struct Case {
        const char* Name;
        bool ColumnEdgesSizeBands;
        int X;
        int Kind;
    };
    const Case cases[] = {
        {"inside the edge, band sizing", false, last.Bounds.Right - 2, htBandEdge},
        {"inside the edge, column sizing", true, last.Bounds.Right - 2, htColumnEdge},
        {"right of it, band sizing", false, last.Bounds.Right + 2, htBandEdge},
        {"right of it, column sizing", true, last.Bounds.Right + 2, htColumnEdge},
    };
    for (const Case& c : cases) {
        const unsigned ex = Tree.OptionsEx() & ~tloex_ColumnEdgeSizesBand;
        Tree.SetOptionsEx(c.ColumnEdgesSizeBands ? ex | tloex_ColumnEdgeSizesBand : ex);
        const TcvTreeListHitInfo hit = Hit(c.X, y);
        EXPECT_EQ(hit.Kind, c.Kind) << c.Name;
        EXPECT_EQ(hit.Band, 1) << c.Name;
        if (c.Kind == htColumnEdge) {
            EXPECT_EQ(hit.Column, 2) << c.Name;
        }
    }
}

TEST_F(TreeListHitTest, TheTreePartSplitsIntoIndentButtonAndNothing) {
    const TcvTreeListDrawInfo info = Tree.CalcDrawInfo();
    const int left = info.Areas.Rows.Left;
    const int indent = Tree.LevelIndent();
    const auto middle = [&](size_t row) { return info.Rows[row].Top + info.Rows[row].Height / 2; };
    struct Case {
        const char* Name;
        size_t Row;
        int X;
        int Kind;
    };
    const Case cases[] = {
        {"a parent's button", 0, left + indent / 2, htButton},
        {"a child's indent", 1, left + indent / 2, htIndent},
        {"a child's own level", 1, left + indent + indent / 2, htIndent},
        {"a root leaf: indent, never a button", 2, left + indent / 2, htIndent},
        {"past the tree part: the cell", 2, left + indent + 2, htCell},
    };
    for (const Case& c : cases) {
        const TcvTreeListHitInfo hit = Hit(c.X, middle(c.Row));
        EXPECT_EQ(hit.Kind, c.Kind) << c.Name;
        EXPECT_EQ(hit.Node, info.Rows[c.Row].Node) << c.Name;
    }
}

} // namespace

namespace {

// Level 0 closes its groups with a row footer line.
class TFooterTreeList : public TBandedTreeList {
public:
    using TBandedTreeList::TBandedTreeList;
    bool IsGroupLevel(int Level) const override { return Level == 0; }
};

TEST(TreeListRowFooter, TheLastChildOfAGroupCarriesItsFooterLine) {
    TFooterTreeList tree(nullptr);
    tree.SetBounds(0, 0, 300, 200);
    tree.SetShowRowFooter(true);
    TcvTreeListNode* group = tree.Add();
    TcvTreeListNode* first = group->AddChild();
    TcvTreeListNode* last = group->AddChild();
    group->SetExpanded(true);
    EXPECT_EQ(tree.GetRowFooterCount(first), 0);
    EXPECT_EQ(tree.GetRowFooterCount(last), 1);
    EXPECT_EQ(tree.GetAncestorLevel(last, 0), 0);
    EXPECT_EQ(tree.GetAncestorLevel(last, 1), -1);
    const TcvTreeListDrawInfo info = tree.CalcDrawInfo();
    const TcvTreeListRowInfo& row = info.Rows[2];
    ASSERT_EQ(row.Node, last);
    EXPECT_EQ(row.Height, info.Rows[1].Height + tree.RowFooterHeight());
    const int footerMiddle = row.Top + row.Height - tree.RowFooterHeight() / 2;
    TcvTreeListHitInfo hit;
    tree.GetHitInfo({info.Areas.Rows.Left + tree.LevelIndent() + 5, footerMiddle}, hit);
    EXPECT_EQ(hit.Kind, htRowFooter);
    EXPECT_EQ(hit.FooterIndex, 0);
    EXPECT_EQ(hit.Node, last);
    tree.GetHitInfo({info.Areas.Rows.Left + 2, footerMiddle}, hit);
    EXPECT_NE(hit.Kind, htRowFooter) << "left of the footer line's indent";
    EXPECT_EQ(hit.FooterIndex, -1);
}

} // namespace
