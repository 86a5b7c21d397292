// The five column classes of the document windows in a real grid in the
// record-buffer mode: each row's cell shows its own record's value through
// the column's editor class, and a value typed into the in-place editor
// reaches the current record's field as a number.
#include "tests/dbgrid/ShownGrid.h"

#include "dbgrid/GridColumns.h"
#include "editors/ExEdtr.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "treelist/TreeListCellViewData.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {

// ID (plain), Name (mask), Price (currency), Made (date) and Note (memo,
// cut to 8 characters), in that order.
class MainRoadGrid : public gridtest::TShownGrid {
public:
    // The columns are bound once the grid shows the records.
    MainRoadGrid() : TShownGrid(30, 200, {}) {
        Add<TcvDBGridColumn>("ID");
        Add<TcvDBGridMaskColumn>("Name");
        Add<TcvDBGridCurrencyColumn>("Price");
        Add<TcvDBGridDateColumn>("Made");
        Add<TcvDBGridMemoColumn>("Note")->SetMaxDisplayLength(8);
        UpdateWindow(Grid->Handle());
    }

    template <class T> T* Add(const char* FieldName) {
        auto* column = static_cast<T*>(Grid->CreateColumn(TcvColumnClassOf<T>::Instance()));
        column->SetBandIndex(0);
        column->SetWidth(78);
        column->SetFieldName(FieldName);
        return column;
    }
    // The text a row's cell hands to its column's editor class, read as
    // painting reads it.
    std::string CellText(int Row, int Column) {
        TcvTreeListCellViewData cell;
        cell.Node = Grid->Items(Row);
        Grid->BeginNodeAccess(cell.Node);
        cell.Text = Grid->GetNodeString(cell.Node, Column);
        TcvTreeListColumn* column = Grid->Columns(Column);
        column->PrepareViewData(*column->GetViewData(), cell);
        Grid->EndNodeAccess(cell.Node);
        return VarToStr(column->GetViewData()->Value);
    }
    // Text-coloured pixels in a row's cell.
    int DarkPixels(int Row, int Column) {
        const TRect cell = Grid->GetCellRect(Grid->Items(Row), Grid->GetVisibleIndex(Column));
        HDC dc = GetDC(Grid->Handle());
        int count = 0;
        for (int y = cell.Top; y < cell.Bottom; ++y)
            for (int x = cell.Left; x < cell.Right; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                count += GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96;
            }
        ReleaseDC(Grid->Handle(), dc);
        return count;
    }
};

TEST(GridColumnsBufferTest, EachRowShowsItsOwnRecordThroughTheColumnClasses) {
    MainRoadGrid grid;
    grid.Data.Query->MoveBy(4);
    const std::string money = cvExEdtr::DefaultCurrencyDisplayFormat();
    for (int row = 0; row < 3; ++row) {
        const int id = row + 1;
        EXPECT_EQ(grid.CellText(row, 0), std::to_string(id));
        EXPECT_EQ(grid.CellText(row, 1), "名称" + std::to_string(id));
        EXPECT_EQ(grid.CellText(row, 2), FormatFloat(money, id + 0.5));
        const std::string note = "note " + std::to_string(id) + " note " + std::to_string(id);
        EXPECT_EQ(grid.CellText(row, 4), note.substr(0, id == 1 ? 7 : 8)) << "cut to 8 characters";
    }
    EXPECT_EQ(grid.Data.CurrentId(), 5) << "reading rows left the current record";
    UpdateWindow(grid.Grid->Handle());
    for (int column = 0; column < 5; ++column)
        EXPECT_GT(grid.DarkPixels(1, column), 10) << "column " << column << " paints its text";
}

TEST(GridColumnsBufferTest, TypedAmountReachesTheCurrentRecordsField) {
    MainRoadGrid grid;
    grid.Data.Query->MoveBy(1);
    grid.Grid->SetFocusedColumn(grid.Grid->GetVisibleIndex(2));
    grid.Grid->ShowEditor();
    ProcessMessages();
    auto* editor = dynamic_cast<TcvInplaceDBTreeListCurrencyEdit*>(grid.Grid->InplaceEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->GetValue(), 2.5);
    editor->SelectAllText();
    for (const char c : std::string("42.75"))
        platform_ui::test::SendQtKey(editor->Handle(), Word(c == '.' ? VK_DECIMAL : std::toupper(c)), 0,
                                     std::string(1, c));
    ProcessMessages();
    grid.Grid->HideEditor();
    EXPECT_EQ(grid.Data.CurrentId(), 2);
    EXPECT_DOUBLE_EQ(grid.Data.Query->FieldByName("Price")->AsFloat(), 42.75);
}

} // namespace
