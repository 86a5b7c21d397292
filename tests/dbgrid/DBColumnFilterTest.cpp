// The values the family's columns hand to the filter from their filter
// editors: the null date, a value not among an image column's values, a
// spin number, and the check column's texts for a Boolean field.
#include "dbgrid/FilterEdit.h"
#include "dbgrid/GridColumns.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

namespace {

template <class TColumn> Variant FilterValue(TColumn& Column, TcvInplaceEdit& Editor) {
    Variant value;
    std::string text;
    Column.GetFilterEditValue(&Editor, value, text);
    return value;
}

TEST(DBColumnFilterTest, NullDateFiltersForNull) {
    TcvDBGridDateColumn column(nullptr);
    TCustomcvFilterDateEdit editor(nullptr);
    column.InitFilterEdit(&editor);
    column.SetFilterEditValue(&editor, Null());
    EXPECT_TRUE(VarIsNull(FilterValue(column, editor)));
    column.SetFilterEditValue(&editor, VarFromDateTime(45000));
    EXPECT_EQ(FilterValue(column, editor), VarFromDateTime(45000));
}

TEST(DBColumnFilterTest, ImageTextOutsideTheValuesFiltersForNull) {
    TcvDBGridImageColumn column(nullptr);
    TStringList values;
    values.SetText("A\nB");
    column.SetValues(&values);
    TCustomcvFilterImageEdit editor(nullptr);
    column.InitFilterEdit(&editor);
    editor.SetValueText("B");
    EXPECT_EQ(FilterValue(column, editor), Variant("B"));
    editor.SetValueText("Z");
    EXPECT_TRUE(VarIsNull(FilterValue(column, editor)));
}

TEST(DBColumnFilterTest, SpinAndCurrencyFilterOnNumbersWithNullAsZero) {
    TcvDBGridSpinColumn spin(nullptr);
    TCustomcvFilterSpinEdit spinEditor(nullptr);
    spin.InitFilterEdit(&spinEditor);
    spin.SetFilterEditValue(&spinEditor, Variant(12));
    EXPECT_EQ(FilterValue(spin, spinEditor), Variant(12.0));
    spin.SetFilterEditValue(&spinEditor, Null());
    EXPECT_EQ(FilterValue(spin, spinEditor), Variant(0.0));

    TcvDBGridCurrencyColumn currency(nullptr);
    TCustomcvFilterCurrencyEdit currencyEditor(nullptr);
    currency.InitFilterEdit(&currencyEditor);
    currency.SetFilterEditValue(&currencyEditor, Variant(3.25));
    EXPECT_EQ(FilterValue(currency, currencyEditor), Variant(3.25));
    currency.SetFilterEditValue(&currencyEditor, Variant(""));
    EXPECT_EQ(FilterValue(currency, currencyEditor), Variant(0.0));
}

TEST(DBColumnFilterTest, ListedColumnsAllowOnlyEqualityAndBlankOperators) {
    const TcvFilterOperatorCodes listed = (1 << 0) | (1 << 1) | (1 << 6) | (1 << 7);
    EXPECT_EQ(TcvDBGridCheckColumn(nullptr).GetFilterOperators(), listed);
    EXPECT_EQ(TcvDBGridImageColumn(nullptr).GetFilterOperators(), listed);
    EXPECT_EQ(TcvDBGridLookupColumn(nullptr).GetFilterOperators(), listed);
    EXPECT_EQ(TcvDBGridCurrencyColumn(nullptr).GetFilterOperators(), cvAllFilterOperators);
}

TEST(DBColumnFilterTest, BlobGraphicMemoAndWrapperColumnsNeverFilter) {
    EXPECT_TRUE(TcvDBGridBlobColumn(nullptr).DisableFilter());
    EXPECT_TRUE(TcvDBGridGraphicColumn(nullptr).DisableFilter());
    EXPECT_TRUE(TcvDBGridMemoColumn(nullptr).DisableFilter());
    EXPECT_TRUE(TcvDBGridWrapperColumn(nullptr).DisableFilter());
    EXPECT_FALSE(TcvDBGridDateColumn(nullptr).DisableFilter());
}

} // namespace
