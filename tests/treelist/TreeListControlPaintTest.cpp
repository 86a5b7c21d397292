// The control with columns paints its node cells through each column's editor
// class: selection and column colours reach the cells, and the text shows.
#include "TestTreeList.h"

#include "platform/ui/Colors.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tests/platform/ui/WmRecorder.h"
#include "treelist/TreeListColumns.h"
#include "treelist/TreeListControl.h"

using platform_ui::test::BackingPixel;

namespace {

uint32_t Rgb(TColor Colour) {
    const COLORREF c = ColorToRGB(Colour);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// A 400 x 300 control on a form that Owner keeps.
TCustomcvTreeListControl* MakeTree(std::unique_ptr<TForm>& Owner) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    Owner.reset(form);
    form->SetBounds(20, 20, 420, 320);
    auto* tree = new TCustomcvTreeListControl(form);
    tree->SetParent(form);
    tree->SetBounds(0, 0, 400, 300);
    return tree;
}

TEST(TreeListControlPaint, CellsComeFromTheColumnsEditorClassInTheirColours) {
    std::unique_ptr<TForm> owner;
    TCustomcvTreeListControl* tree = MakeTree(owner);
    TForm* form = owner.get();
    constexpr TColor Tinted = 0x00C0FFFF; // a pale yellow of the second column's own
    {
        TUpdateGuard<TCustomcvTreeList> update(*tree);
        tree->Bands()->Add();
        for (int i = 0; i < 3; ++i) {
            auto* column = new TcvTreeListColumn(form);
            column->SetTreeList(tree);
            column->SetBandIndex(0);
        }
        tree->Columns(1)->SetColor(Tinted);
        tree->Columns(2)->SetColor(tree->Color()); // the control's own: no brush of its own
        for (int i = 0; i < 3; ++i) {
            TcvTreeListNode* node = tree->Add();
            for (int c = 0; c < 3; ++c) tree->StoreNodeString(node, c, "");
        }
        tree->StoreNodeString(tree->Items(2), 0, "WWWW");
    }
    form->Show();
    SettleActivation();
    tree->SetFocus();
    tree->SetFocusedCell(tree->Items(1), 0, false);
    ProcessMessages();
    tree->Invalidate();
    UpdateWindow(tree->Handle());

    const TcvTreeListDrawInfo info = tree->CalcDrawInfo();
    ASSERT_EQ(info.HeaderCells.size(), 3u);
    TRect window;
    GetWindowRect(tree->Handle(), window);
    TPoint origin{0, 0};
    ClientToScreen(tree->Handle(), origin);
    const auto pixel = [&](int Cell, int Row, int DX = 0) {
        const TcvTreeListHeaderCellInfo& header = info.HeaderCells[Cell];
        const TcvTreeListRowInfo& row = info.Rows.at(Row);
        return BackingPixel(tree->Handle(), (header.Bounds.Left + header.Bounds.Right) / 2 + DX + origin.X - window.Left,
                            row.Top + row.Height / 2 + origin.Y - window.Top);
    };
    struct Case {
        int Cell;
        int Row;
        TColor Colour;
    };
    const Case cases[] = {
        {0, 0, clWindow}, {1, 0, Tinted}, {2, 0, clWindow},             // unselected row
        {0, 1, clHighlight}, {1, 1, clHighlight}, {2, 1, clHighlight}, // the focused row, row select
    };
    for (const Case& c : cases)
        EXPECT_EQ(pixel(c.Cell, c.Row), Rgb(c.Colour)) << "cell " << c.Cell << " row " << c.Row;
    bool text = false;
    for (int dx = -20; dx <= 20; ++dx) text |= pixel(0, 2, dx) == Rgb(clWindowText);
    EXPECT_TRUE(text) << "the column's editor class drew the text";
}

TEST(TreeListControlPaint, AutomaticRowHeightsMeasureTheCellsThroughTheColumnsEditor) {
    std::unique_ptr<TForm> owner;
    TCustomcvTreeListControl* tree = MakeTree(owner);
    TForm* form = owner.get();
    const std::string wrapped = "word word word word word word word word word word";
    {
        TUpdateGuard<TCustomcvTreeList> update(*tree);
        tree->Bands()->Add();
        for (int i = 0; i < 2; ++i) {
            auto* column = new TcvTreeListColumn(form);
            column->SetTreeList(tree);
            column->SetBandIndex(0);
        }
        for (const std::string& text : {std::string("short"), wrapped}) {
            TcvTreeListNode* node = tree->Add();
            tree->StoreNodeString(node, 0, "");
            tree->StoreNodeString(node, 1, text);
        }
    }
    form->Show();
    SettleActivation();
    const int lineHeight = tree->TextHeight();
    // The row's part outside its text line stays as without automatic heights.
    const int fixedPart = tree->CalcDrawInfo().Rows.at(1).Height - tree->DefaultRowHeight();
    tree->SetOptionsEx(tree->OptionsEx() | tloex_RowAutoHeight);
    struct Case {
        const char* Name;
        int MaxRowLineCount;
        bool Handler; // OnCalcRowLineHeight answers four lines
        int Lines;
        bool AtLeast;
        int Margin; // the row text margin, added to a measured height
    };
    const Case cases[] = {
        {"measured without a limit", -1, false, 3, true, 3},
        {"cut at the maximum", 2, false, 2, false, 3},
        {"the handler's answer", -1, true, 4, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        tree->OnCalcRowLineHeight = nullptr;
        if (c.Handler)
            tree->OnCalcRowLineHeight = [&](TObject*, TcvTreeListNode*, TcvTreeListColumn*, const std::string&, int,
                                            int, int, bool, bool, int& Lines, int& Height, bool& Done) {
                Lines = 4;
                Height = 4 * lineHeight;
                Done = true;
            };
        tree->SetMaxRowLineCount(c.MaxRowLineCount);
        tree->LayoutChanged();
        const TcvTreeListDrawInfo info = tree->CalcDrawInfo();
        ASSERT_GE(info.Rows.size(), 2u);
        const int text = info.Rows[1].Height - fixedPart;
        if (c.AtLeast)
            EXPECT_GE(text, c.Lines * lineHeight + c.Margin);
        else
            EXPECT_EQ(text, c.Lines * lineHeight + c.Margin);
        if (!c.Handler) {
            EXPECT_EQ(info.Rows[0].Height, fixedPart + tree->DefaultRowHeight()) << "one short line";
        }
    }
}

} // namespace
