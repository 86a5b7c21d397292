// Family columns bound to fields in a real data-aware tree list: the
// currency column's limits, the memo cut, values edited through the
// in-place editor written back to the field in the editor's own type, and
// cells painted through the columns' editor classes.
#include "tests/dbgrid/DBTreeListTestControl.h"

#include "dbgrid/GridColumns.h"
#include "editors/ExEdtr.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Painting.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "treelist/TreeListCellViewData.h"

#include <cctype>

using namespace gridtest;

namespace {

// Answers a cell's value as the grid does: the field value its row was
// loaded with (the test control answers the cell text).
class TValueTree : public TTestDBTreeList {
public:
    using TTestDBTreeList::TTestDBTreeList;
    void GetNodeValue(const TcvTreeListNode* Node, int Column, Variant& Value) const override {
        Value = static_cast<const TcvDBTreeListControlNode*>(Node)->StoredValue(Column);
    }
};

class DBColumnBoundTest : public DBTreeListTest {
protected:
    // The editors' shared pictures and sizes (the check box's among them).
    cvExEdtr::TUnitScope EditorsUnit;

    template <class T> T* AddFamilyColumn(const std::string& FieldName) {
        auto* column = new T(Form.get());
        column->SetName("Family" + std::to_string(Tree->ColumnCount()));
        column->SetTreeList(Tree);
        column->SetBandIndex(0);
        column->SetFieldName(FieldName);
        column->SetColIndex(0); // in sight, whatever the other columns' widths
        Tree->DataChanged();    // the rows load the new column's values
        return column;
    }
    // Focuses the row of Id in Column and opens the column's editor.
    TcvInplaceEdit* Edit(int Id, TcvDBTreeListColumn* Column) {
        Tree->SetOptions(Tree->Options() | tlo_Editing);
        Data.Query->Locate("ID", Id, {});
        Tree->SetFocusedColumn(Tree->GetVisibleIndex(Column->GetIndex()));
        Tree->ShowEditor();
        ProcessMessages();
        return Tree->InplaceEditor();
    }
    // Pixels of the row of Id's cell in Column that Match accepts.
    int CountPixels(TcvDBTreeListColumn* Column, int Id, const std::function<bool(COLORREF)>& Match) {
        UpdateWindow(Tree->Handle());
        const TRect cell = Tree->GetCellRect(Tree->NodeOfId(Id), Tree->GetVisibleIndex(Column->GetIndex()));
        HDC dc = GetDC(Tree->Handle());
        int count = 0;
        for (int y = cell.Top; y < cell.Bottom; ++y)
            for (int x = cell.Left; x < cell.Right; ++x)
                count += Match(GetPixel(dc, x, y));
        ReleaseDC(Tree->Handle(), dc);
        return count;
    }
    void Type(TcvInplaceEdit* Editor, const std::string& Text) {
        for (char c : Text)
            platform_ui::test::SendQtKey(Editor->Handle(), Word(c == '.' ? VK_DECIMAL : std::toupper(c)), 0,
                                         std::string(1, c));
        ProcessMessages();
    }
};

TEST_F(DBColumnBoundTest, CurrencyLimitsFollowTheFieldUntilAssigned) {
    auto* qty = static_cast<TIntegerField*>(Data.Query->FieldByName("Qty"));
    qty->SetMinValue(1);
    qty->SetMaxValue(99);
    auto* column = AddFamilyColumn<TcvDBGridCurrencyColumn>("Qty");
    EXPECT_EQ(column->MinValue(), 1.0);
    EXPECT_EQ(column->MaxValue(), 99.0);
    column->SetMinValue(0);
    EXPECT_EQ(column->MinValue(), 0.0) << "an assigned 0 no longer follows the field";
    EXPECT_EQ(column->MaxValue(), 99.0);
    auto* price = static_cast<TFloatField*>(Data.Query->FieldByName("Price"));
    price->SetPrecision(3);
    price->SetMaxValue(1234.5678);
    EXPECT_EQ(AddFamilyColumn<TcvDBGridCurrencyColumn>("Price")->MaxValue(), 1230.0) << "the field's digits";
}

TEST_F(DBColumnBoundTest, CurrencyCellIsFormattedUnlessTheFieldFormatsItsOwnText) {
    auto* tree = new TValueTree(Form.get());
    tree->SetParent(Form.get());
    tree->SetKeyField("ID");
    const auto add = [&](const char* FieldName) {
        auto* column = new TcvDBGridCurrencyColumn(Form.get());
        column->SetTreeList(tree);
        column->SetFieldName(FieldName);
        return column;
    };
    auto* price = add("Price");
    auto* amount = add("Amount");
    tree->Link.SetDataSource(Data.Source.get());
    const auto cellText = [&](TcvDBTreeListColumn* Column) {
        TcvTreeListCellViewData cell;
        cell.Node = tree->NodeOfId(3);
        cell.Text = tree->GetNodeString(cell.Node, Column->GetIndex());
        TcvEditViewData& viewData = *Column->GetViewData();
        Column->PrepareViewData(viewData, cell);
        return VarToStr(viewData.Value);
    };
    EXPECT_EQ(cellText(price), FormatFloat(cvExEdtr::DefaultCurrencyDisplayFormat(), 3.5));
    price->SetDisplayFormat("0.000");
    EXPECT_EQ(cellText(price), "3.500");
    EXPECT_EQ(cellText(amount), tree->GetNodeString(tree->NodeOfId(3), amount->GetIndex()))
        << "a currency field keeps its own text";
    Data.Query->FieldByName("Price")->OnGetText = [](TField*, std::string& Text, bool) { Text = "价"; };
    tree->DataChanged();
    EXPECT_EQ(cellText(price), "价") << "so does a field with OnGetText";
}

TEST_F(DBColumnBoundTest, MemoShowsTheFirstMaxDisplayLengthCharacters) {
    auto* memo = AddFamilyColumn<TcvDBGridMemoColumn>("Note");
    Data.Query->Locate("ID", 3, {});
    const std::string note = Data.Query->FieldByName("Note")->AsString();
    const struct {
        int Length;
        std::string Shown;
    } cases[] = {{10, note.substr(0, 10)}, {0, ""}, {-1, note}, {1000, note}};
    for (const auto& c : cases) {
        memo->SetMaxDisplayLength(c.Length);
        EXPECT_EQ(memo->GetDisplayText(nullptr), c.Shown) << c.Length;
    }
    Data.Query->Edit();
    Data.Query->FieldByName("Note")->SetAsString("汉字汉字汉字");
    memo->SetMaxDisplayLength(4);
    EXPECT_EQ(memo->GetDisplayText(nullptr), "汉字汉字") << "cut by characters";
    Data.Query->Cancel();
}

TEST_F(DBColumnBoundTest, EditedNumberIsWrittenToTheFieldAsANumber) {
    auto* price = AddFamilyColumn<TcvDBGridCurrencyColumn>("Price");
    TcvInplaceEdit* editor = Edit(2, price);
    auto* currency = dynamic_cast<TcvInplaceDBTreeListCurrencyEdit*>(editor);
    ASSERT_NE(currency, nullptr);
    EXPECT_EQ(currency->GetValue(), 2.5) << "the field's number went in";
    EXPECT_EQ(currency->DisplayFormat(), "") << "the editor edits the plain number";
    currency->SelectAllText();
    Type(currency, "7.25");
    Tree->HideEditor();
    EXPECT_EQ(Data.CurrentId(), 2);
    EXPECT_DOUBLE_EQ(Data.Query->FieldByName("Price")->AsFloat(), 7.25);
}

TEST_F(DBColumnBoundTest, EditedDateIsWrittenToTheFieldAndTheNullDateClearsIt) {
    auto* made = AddFamilyColumn<TcvDBGridDateColumn>("Made");
    auto* date = dynamic_cast<TcvInplaceDateEdit*>(Edit(4, made));
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->GetDate(), EncodeDate(2024, 1, 5));
    date->SetDate(EncodeDate(2025, 2, 3));
    date->SetModified(true);
    Tree->HideEditor();
    EXPECT_EQ(Data.Query->FieldByName("Made")->AsDateTime(), EncodeDate(2025, 2, 3));
    date = dynamic_cast<TcvInplaceDateEdit*>(Edit(4, made));
    date->SetDate(NullDate);
    date->SetModified(true);
    Tree->HideEditor();
    EXPECT_TRUE(Data.Query->FieldByName("Made")->IsNull());
}

TEST_F(DBColumnBoundTest, EditedTimeKeepsTheFieldsDate) {
    auto* time = AddFamilyColumn<TcvDBGridTimeColumn>("Made");
    // Before 1899-12-30 the day counts down and the time of day away from it.
    const TDateTime may1 = EncodeDate(2024, 5, 1), before = EncodeDate(1899, 12, 29);
    const struct {
        TDateTime Stored;
        TDateTime Edited;
    } cases[] = {
        {may1 + EncodeTime(8, 0, 0, 0), may1 + EncodeTime(17, 30, 0, 0)},
        {before - EncodeTime(8, 0, 0, 0), before - EncodeTime(17, 30, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(FormatDateTime("yyyy-mm-dd hh:nn", c.Stored));
        Data.Query->Edit();
        Data.Query->FieldByName("Made")->SetAsDateTime(c.Stored);
        Data.Query->Post();
        auto* editor = dynamic_cast<TcvInplaceTimeEdit*>(Edit(Data.CurrentId(), time));
        ASSERT_NE(editor, nullptr);
        EXPECT_DOUBLE_EQ(editor->GetTime(), EncodeTime(8, 0, 0, 0)) << "the time of day alone went in";
        editor->SetTime(EncodeTime(17, 30, 0, 0));
        editor->SetModified(true);
        Tree->HideEditor();
        EXPECT_DOUBLE_EQ(Data.Query->FieldByName("Made")->AsDateTime(), c.Edited);
    }
}

TEST_F(DBColumnBoundTest, CheckCellsPaintTheStateOfTheirText) {
    auto* done = AddFamilyColumn<TcvDBGridCheckColumn>("Done");
    Data.Query->Locate("ID", 5, {});
    const auto dark = [](COLORREF c) { return GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64; };
    const int checked = CountPixels(done, 1, dark);
    const int unchecked = CountPixels(done, 2, dark);
    EXPECT_GT(checked, unchecked + 5) << "row 1 holds True, row 2 False";
    done->SetValueChecked("False");
    done->SetValueUnchecked("True");
    EXPECT_GT(CountPixels(done, 2, dark), CountPixels(done, 1, dark) + 5) << "the value texts decide";
}

TEST_F(DBColumnBoundTest, DropDownButtonShowsAsShowButtonStyleSays) {
    auto* made = AddFamilyColumn<TcvDBGridDateColumn>("Made");
    Data.Query->Locate("ID", 2, {});
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const auto button = [face](COLORREF c) { return c == face; };
    const struct {
        bool Always;
        TcvShowButtonStyle Style;
        bool FocusedRow, OtherRow;
    } cases[] = {
        {true, TcvShowButtonStyle::sbAlways, true, true},
        {true, TcvShowButtonStyle::sbDefault, true, false},
        {true, TcvShowButtonStyle::sbNone, false, false},
        {false, TcvShowButtonStyle::sbAlways, false, false},
    };
    for (const auto& c : cases) {
        const unsigned always = 1u << 24;
        Tree->SetOptionsEx(c.Always ? Tree->OptionsEx() | always : Tree->OptionsEx() & ~always);
        made->SetShowButtonStyle(c.Style);
        Tree->Invalidate();
        EXPECT_EQ(CountPixels(made, 2, button) > 20, c.FocusedRow) << int(c.Style) << " always " << c.Always;
        EXPECT_EQ(CountPixels(made, 3, button) > 20, c.OtherRow) << int(c.Style) << " always " << c.Always;
    }
}

// Cells paint no button here (the grid does not show buttons always): what
// shows is the open editor's own, and only where ShowsEditButton lets it.
TEST_F(DBColumnBoundTest, TheOpenEditorsButtonFollowsShowsEditButton) {
    auto* made = AddFamilyColumn<TcvDBGridDateColumn>("Made");
    const struct {
        TcvShowButtonStyle Style;
        bool Button;
    } cases[] = {
        {TcvShowButtonStyle::sbNone, false},
        {TcvShowButtonStyle::sbDefault, true},
        {TcvShowButtonStyle::sbAlways, true},
    };
    for (const auto& c : cases) {
        made->SetShowButtonStyle(c.Style);
        TcvInplaceEdit* editor = Edit(2, made);
        ASSERT_NE(dynamic_cast<TcvInplaceDateEdit*>(editor), nullptr);
        TRect r;
        GetWindowRect(editor->Handle(), r);
        const LRESULT hit =
            SendMessage(editor->Handle(), WM_NCHITTEST, 0, PointToLParam({r.Right - 4, (r.Top + r.Bottom) / 2}));
        EXPECT_EQ(hit == HTBORDER, c.Button) << int(c.Style) << ": the hit test";
        UpdateWindow(editor->Handle());
        HDC dc = GetWindowDC(editor->Handle());
        int face = 0;
        for (int y = 0; y < r.Bottom - r.Top; ++y)
            for (int x = 0; x < r.Right - r.Left; ++x)
                face += GetPixel(dc, x, y) == GetSysColor(COLOR_BTNFACE);
        ReleaseDC(editor->Handle(), dc);
        EXPECT_EQ(face > 20, c.Button) << int(c.Style) << ": the painted button";
        Tree->HideEditor();
    }
}

} // namespace
