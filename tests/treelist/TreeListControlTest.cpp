// The tree-list control with columns: placement in band rows, the automatic
// header-panel height, best fit from the font, the font sync, forms loaded
// in code, the hit test over real header and node cells and a cell painted
// through the column's editor class.
#include "TestTreeListControl.h"

#include "platform/ui/Colors.h"
#include "platform/ui/Gdi.h"
#include "treelist/cvTL.h"

using treelisttest::TreeListControlTest;

namespace {

using TreeListControl = TreeListControlTest;

TEST_F(TreeListControl, PlacementClosesUpEmptyRows) {
    Tree->SetHeaderPanelRowCount(3);
    struct Case {
        const char* Name;
        std::vector<treelisttest::TColumnPlace> Columns;
        const char* Layout;
    };
    const Case cases[] = {
        {"two header rows in one band", {{0, 0}, {0, 1}, {1, 0}, {0, 0}}, "B0: C0 C3 / C1 | B1: C2"},
        {"rows 0 and 1 empty", {{0, 2}, {1, 0}}, "B0: C0 | B1: C1"},
        {"a gap between rows", {{0, 0}, {0, 2}}, "B0: C0 / C1 | B1:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Tree->DestroyColumns();
        Build(2, c.Columns);
        Tree->PlaceColumnsInBands();
        EXPECT_EQ(Layout(), c.Layout);
    }
    // Removing the only column of row 0 lifts row 1.
    Tree->DestroyColumns();
    Build(1, {{0, 0}, {0, 1}, {0, 1}});
    Tree->PlaceColumnsInBands();
    delete C(0);
    EXPECT_EQ(Layout(), "B0: C1 C2 | B1:");
    EXPECT_EQ(C(0)->RowIndex(), 0);
}

TEST_F(TreeListControl, TheAutomaticHeaderHeightFollowsTheRowsInUse) {
    Build(2, {{0, 0}, {0, 0}});
    Tree->SetOptionsEx(Tree->OptionsEx() | tloex_AutoHeaderPanelRowCount);
    EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 1);
    C(1)->SetStoredRowIndex(1);
    Tree->PlaceColumnsInBands();
    EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 2);
    EXPECT_EQ(Tree->HeaderHeight(), 2 * Tree->HeaderRowHeight());
    EXPECT_TRUE(Tree->IsAutoHeaderPanelHeight());
    // Alone in band 1 the column closes up to row 0: the header shrinks.
    C(1)->SetBandIndex(1);
    EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 1);
    // Asking for row 1 alone in its band: the grown header closes it up, and
    // the count comes back to the rows in use.
    C(1)->SetStoredRowIndex(1);
    Tree->PlaceColumnsInBands();
    EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 1);
    EXPECT_EQ(C(1)->RowIndex(), 0);
    // A user's count switches the automatic height off and stands.
    Tree->SetHeaderPanelRowCount(3);
    EXPECT_FALSE(Tree->IsAutoHeaderPanelHeight());
    EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 3);
    Tree->SetOptionsEx(Tree->OptionsEx() | tloex_AutoHeaderPanelRowCount);
    EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 1);
}

TEST_F(TreeListControl, RowCountsStayWithinTheirLimits) {
    Tree->SetBandRowCount(9);
    EXPECT_EQ(Tree->GetBandRowCount(), 5);
    Tree->SetBandMaxRowCount(2);
    EXPECT_EQ(Tree->GetBandRowCount(), 2);
    Tree->SetBandMaxRowCount(0);
    EXPECT_EQ(Tree->GetBandMaxRowCount(), 1);
    EXPECT_EQ(Tree->GetBandRowCount(), 1);
    Tree->SetHeaderPanelRowCount(0);
    EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 1);
    Tree->SetHeaderMinRowCount(3);
    EXPECT_EQ(Tree->GetHeaderLineCount(), 3);
}

TEST_F(TreeListControl, BestFitTakesTheWidestTextInTheColumnsFont) {
    Build(1, {{0, 0}, {0, 0}, {0, 0}});
    C(1)->SetCaption("标题很长的一列");
    C(1)->SetDisableFilter(true);
    C(2)->SetSizing(false);
    C(2)->SetWidth(33);
    TcvTreeListNode* root = Tree->Add();
    TcvTreeListNode* child = root->AddChild();
    root->StoreString(0, "短");
    child->StoreString(0, "一个较长的文本");
    root->StoreString(1, "x");
    root->StoreString(2, "a text far wider than thirty-three pixels");
    C(0)->Font()->SetHeight(-20); // its own font
    const auto width = [](TFont* font, const std::string& text) {
        return cvTL::FontTextWidth(font->Handle(), text.c_str());
    };
    const int margin = width(Tree->Font(), "0") / 2 + 1;
    int indentA = 0;
    int indentB = 0;
    Tree->GetNodeIndents(child, indentA, indentB);
    Tree->ApplyBestFit(nullptr);
    EXPECT_EQ(C(0)->Width(), width(C(0)->Font(), "一个较长的文本") + indentB + 2 * margin)
        << "the first column holds the tree's indent";
    EXPECT_EQ(C(1)->Width(), width(Tree->Font(), "标题很长的一列") + 2 * margin) << "the caption is wider";
    EXPECT_EQ(C(2)->Width(), 33) << "not sizable";
    C(1)->SetDisableFilter(false);
    Tree->ApplyBestFit(C(1));
    EXPECT_EQ(C(1)->Width(), width(Tree->Font(), "标题很长的一列") + 15 + 2 * margin) << "room for the filter button";
}

TEST_F(TreeListControl, ColumnFontsFollowTheControlsUnlessSet) {
    Build(1, {{0, 0}, {0, 0}});
    C(0)->Font(); // both fonts exist
    C(1)->Font()->SetStyle(TFontStyles{fsBold});
    Tree->Font()->SetHeight(-24);
    EXPECT_EQ(C(0)->Font()->Height(), -24);
    EXPECT_FALSE(C(0)->IsAssigned(cavFont));
    EXPECT_EQ(C(1)->Font()->Height(), -12);
}

// A form built in code: setters only store while it loads, and Loaded
// places the columns.
TEST_F(TreeListControl, AFormLoadedInCodePlacesItsColumnsAtTheEnd) {
    TCustomcvTreeListControl* tree = nullptr;
    {
        TComponentLoading loading(Owner.get());
        tree = new TCustomcvTreeListControl(Owner.get());
        tree->Bands()->Add()->SetCaption("B1");
        tree->Bands()->Items(0)->SetCaption("B0");
        tree->SetHeaderPanelRowCount(2);
        for (int i = 0; i < 3; ++i) {
            auto* column = new TcvTreeListColumn(Owner.get());
            column->SetName("F" + std::to_string(i));
            column->SetTreeList(tree);
            column->SetBandIndex(i == 2 ? 1 : 0);
            column->SetStoredRowIndex(i == 1 ? 1 : 0);
        }
        EXPECT_EQ(tree->Columns(2)->BandIndex(), 1);
        EXPECT_FALSE(tree->DefaultLayout());
    }
    EXPECT_EQ(tree->GetBandCount(), 2);
    EXPECT_EQ(tree->GetColumnAt(0, 1, 0), 1);
    EXPECT_EQ(tree->GetColumnAt(1, 0, 0), 2);
    EXPECT_EQ(tree->HeaderHeight(), 2 * tree->HeaderRowHeight());
}

TEST_F(TreeListControl, EveryHeaderCellAndNodeCellCentreHitsItsColumn) {
    Tree->SetBounds(0, 0, 500, 300);
    Tree->SetShowBands(true);
    Tree->SetHeaderPanelRowCount(2);
    Build(2, {{0, 0}, {0, 0}, {0, 1}, {1, 0}, {1, 1}});
    Tree->Bands()->Items(0)->SetWidth(220);
    Tree->Bands()->Items(1)->SetWidth(180);
    Tree->Bands()->Items(0)->SetFixed(bfLeft);
    C(3)->SetVisible(false);
    Tree->Add();
    const TcvTreeListDrawInfo info = Tree->CalcDrawInfo();
    ASSERT_EQ(info.HeaderCells.size(), 4u);
    for (const TcvTreeListHeaderCellInfo& cell : info.HeaderCells) {
        TcvTreeListHitInfo hit;
        Tree->GetHitInfo({(cell.Bounds.Left + cell.Bounds.Right) / 2, (cell.Bounds.Top + cell.Bounds.Bottom) / 2}, hit);
        EXPECT_EQ(hit.Kind, htColumnHeader) << cell.Column;
        EXPECT_EQ(hit.Column, cell.Column);
        EXPECT_EQ(Tree->GetColumnBandIndex(cell.Column), Tree->GetBandIndexFromVisible(cell.Band));
        EXPECT_EQ(Tree->GetColumnRowIndex(cell.Column), cell.BandRow);
        EXPECT_EQ(cell.Bounds.Width(), Tree->GetColumnDisplayWidth(cell.Column));
    }
    // Band 1's hidden column leaves its row 1 to column 4, spanning both rows.
    EXPECT_EQ(info.HeaderCells[3].Column, 4);
    EXPECT_EQ(info.HeaderCells[3].BandRow, 0);
    // A node's cells lie in the lines of its row as the headers in their rows.
    for (int visible = 0; visible < Tree->GetVisibleColumnCount(); ++visible) {
        const TRect cell = Tree->GetCellRect(Tree->Items(0), visible);
        TcvTreeListHitInfo hit;
        Tree->GetHitInfo({(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2}, hit);
        EXPECT_EQ(hit.Kind, htCell) << visible;
        EXPECT_EQ(hit.Column, Tree->GetAbsoluteIndex(visible));
        EXPECT_EQ(hit.Node, Tree->Items(0));
    }
}

TEST_F(TreeListControl, ACellIsPaintedByTheColumnsEditorClass) {
    Build(1, {{0, 0}});
    TcvTreeListNode* node = Tree->Add();
    node->StoreString(0, "W");
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 60, 20);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH white = CreateSolidBrush(0xFFFFFF);
    HBRUSH yellow = CreateSolidBrush(0x00FFFF);
    const TRect all{0, 0, 60, 20};
    FillRect(dc, &all, white);
    TcvTreeListCellViewData cell;
    cell.Brush = yellow;
    cell.Color = TColor(0x00FFFF);
    cell.TextColor = clBlack;
    cell.Font = Tree->Font()->Handle();
    cell.Text = "W";
    cell.Node = node;
    cell.InvertedSelection = true;
    cell.LeftEdge = true;
    const TRect rect{10, 2, 50, 18};
    Tree->DrawCellContent(dc, rect, 0, cell);
    EXPECT_EQ(GetPixel(dc, 9, 10), 0xFFFFFFu) << "nothing outside the cell";
    EXPECT_EQ(GetPixel(dc, 10, 2), 0x00FFFFu) << "the inverted selection's strip";
    EXPECT_EQ(GetPixel(dc, 48, 16), 0x00FFFFu) << "the background";
    int dark = 0;
    for (int y = 3; y < 17; ++y)
        for (int x = 11; x < 49; ++x)
            dark += GetPixel(dc, x, y) == 0 ? 1 : 0;
    EXPECT_GT(dark, 0) << "the text";
    EXPECT_EQ(C(0)->PaintingNode(), nullptr);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteObject(white);
    DeleteObject(yellow);
    DeleteDC(dc);
}

} // namespace
