// Family columns bound to fields in a real data-aware tree list: the
// currency column's limits, the memo cut, and values edited through the
// in-place editor written back to the field in the editor's own type.
#include "tests/dbgrid/DBTreeListTestControl.h"

#include "dbgrid/GridColumns.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/testhooks/WmTestHooks.h"

#include <cctype>

using namespace gridtest;

namespace {

class DBColumnBoundTest : public DBTreeListTest {
protected:
    template <class T> T* AddFamilyColumn(const std::string& FieldName) {
        auto* column = new T(Form.get());
        column->SetName("Family" + std::to_string(Tree->ColumnCount()));
        column->SetTreeList(Tree);
        column->SetBandIndex(0);
        column->SetFieldName(FieldName);
        Tree->DataChanged(); // the rows load the new column's values
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

} // namespace
