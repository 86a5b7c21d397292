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

TEST(TreeListControlPaint, CellsComeFromTheColumnsEditorClassInTheirColours) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    std::unique_ptr<TForm> owner(form);
    form->SetBounds(20, 20, 420, 320);
    auto* tree = new TCustomcvTreeListControl(form);
    tree->SetParent(form);
    tree->SetBounds(0, 0, 400, 300);
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

} // namespace
