// The grid column classes' own texts outside the cell: the image column's
// descriptions and the check column's display texts through copy and reset.
#include "dbgrid/GridColumns.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

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

} // namespace
