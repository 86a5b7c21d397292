// The grid column classes' own texts outside the cell: the image column's
// descriptions and the check column's display texts through copy and reset;
// the classes a grid picks for its fields.
#include "dbgrid/DBGrid.h"
#include "dbgrid/GridColumns.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Forms.h"
#include "tests/dbgrid/GridFixture.h"

#include <gtest/gtest.h>
#include <typeinfo>

namespace {

TEST(GridColumnsTest, ImageValueShowsItsDescriptionOrItself) {
    TcvDBGridImageColumn column(nullptr);
    TStringList values, descriptions;
    values.SetText("1\n2\n3");
    descriptions.SetText("一\n二");
    column.SetValues(&values);
    column.SetDescriptions(&descriptions);
    const struct {
        const char* Text;
        const char* Shown;
    } cases[] = {{"1", "一"}, {"2", "二"}, {"3", "3"}, {"9", "9"}};
    for (const auto& c : cases)
        EXPECT_EQ(column.ConvertFilterText(c.Text), c.Shown) << c.Text;
}

TEST(GridColumnsTest, CheckDisplayTextsAreCopiedAndReset) {
    TcvDBGridCheckColumn source(nullptr);
    source.SetDisplayChecked("是");
    source.SetDisplayUnChecked("否");
    source.SetValueChecked("Y");
    TcvDBGridCheckColumn target(nullptr);
    target.Assign(&source);
    EXPECT_EQ(target.DisplayChecked(), "是");
    EXPECT_EQ(target.DisplayUnChecked(), "否");
    EXPECT_EQ(target.ValueChecked(), "Y");
    target.RestoreDefaults();
    EXPECT_EQ(target.DisplayChecked(), "");
    EXPECT_EQ(target.ValueChecked(), "True");
}

// No unit started by hand: the grid itself brings its column classes.
TEST(GridColumnsTest, DefaultColumnsTakeTheClassOfTheirFieldType) {
    gridtest::TGridData data(2);
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    const std::unique_ptr<TForm> owner(form);
    auto* grid = new TcvDBGrid(owner.get());
    EXPECT_EQ(&grid->GetDefaultColumnClass(), &TcvColumnClassOf<TcvDBGridColumn>::Instance());
    grid->CreateDefaultColumns(data.Query.get(), owner.get());
    const struct {
        const char* Field;
        const std::type_info* Class;
    } cases[] = {
        {"ID", &typeid(TcvDBGridMaskColumn)},
        {"Name", &typeid(TcvDBGridMaskColumn)},
        {"Price", &typeid(TcvDBGridMaskColumn)},
        {"Amount", &typeid(TcvDBGridMaskColumn)}, // a BCD field
        {"Made", &typeid(TcvDBGridDateColumn)},
        {"Done", &typeid(TcvDBGridCheckColumn)},
        {"Note", &typeid(TcvDBGridMemoColumn)},
    };
    for (const auto& c : cases) {
        const TcvDBTreeListColumn* column = grid->ColumnByFieldName(c.Field);
        ASSERT_NE(column, nullptr) << c.Field;
        EXPECT_EQ(typeid(*column), *c.Class) << c.Field;
    }
}

} // namespace
