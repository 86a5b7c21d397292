// The check column's value texts, and the grid check column's display texts
// outside the cell and in the filter editor.
#include "dbgrid/FilterEdit.h"
#include "dbgrid/GridColumns.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

namespace {

std::string Lines(const TStrings* List) {
    std::string lines;
    for (int i = 0; i < List->Count(); ++i)
        lines += (i ? "|" : "") + List->Get(i);
    return lines;
}

TEST(DBColumnCheckTest, TextsMapToStatesIgnoringCase) {
    TcvDBGridCheckColumn column(nullptr);
    column.SetValueChecked("Yes");
    column.SetValueUnchecked("No");
    const struct {
        const char* Text;
        TcvCheckBoxState State;
    } cases[] = {
        {"Yes", cbsChecked}, {"yes", cbsChecked},  {"YES", cbsChecked}, {"no", cbsUnchecked},
        {"", cbsGrayed},     {"maybe", cbsGrayed}, {"True", cbsGrayed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(column.StateOfText(c.Text), c.State) << c.Text;
    column.SetValueGrayed("?");
    EXPECT_EQ(column.TextOfState(cbsGrayed), "?");
    EXPECT_EQ(column.TextOfState(cbsChecked), "Yes");
}

TEST(DBColumnCheckTest, NewColumnChecksTrueAndUnchecksFalse) {
    TcvDBGridCheckColumn column(nullptr);
    EXPECT_EQ(column.StateOfText("true"), cbsChecked);
    EXPECT_EQ(column.StateOfText("FALSE"), cbsUnchecked);
    EXPECT_EQ(column.MinWidth(), 16);
}

TEST(DBColumnCheckTest, DisplayTextsReplaceOnlyTheStatesTheyAreSetFor) {
    TcvDBGridCheckColumn column(nullptr);
    column.SetDisplayChecked("是");
    const struct {
        const char* Text;
        const char* Shown;
    } cases[] = {{"True", "是"}, {"false", "false"}, {"other", "other"}};
    for (const auto& c : cases)
        EXPECT_EQ(column.ConvertFilterText(c.Text), c.Shown) << c.Text;
    column.SetDisplayNull("空");
    EXPECT_EQ(column.ConvertFilterText("other"), "空");
}

TEST(DBColumnCheckTest, FilterEditorListsValueTextsDescribedByTheDisplayTexts) {
    TCustomcvFilterImageEdit editor(nullptr);
    TcvDBGridCheckColumn column(nullptr);
    column.InitFilterEdit(&editor);
    EXPECT_EQ(Lines(editor.Values()), "|False|True");
    EXPECT_EQ(Lines(editor.Descriptions()), "|False|True") << "no display texts: the value texts";
    EXPECT_TRUE(editor.ShowDescription());
    column.SetDisplayNull("空");
    column.InitFilterEdit(&editor);
    EXPECT_EQ(Lines(editor.Descriptions()), "空||");
    EXPECT_FALSE(editor.IsInplace()) << "the dialog's editors are standalone controls";
}

TEST(DBColumnCheckTest, FilterValueOfAnUnboundColumnKeepsTextsButGrayed) {
    TCustomcvFilterImageEdit editor(nullptr);
    TcvDBGridCheckColumn column(nullptr);
    column.SetValueGrayed("?");
    column.InitFilterEdit(&editor);
    const struct {
        const char* Text;
        Variant Value;
    } cases[] = {{"True", Variant("True")}, {"?", Null()}, {"x", Variant("x")}};
    for (const auto& c : cases) {
        editor.SetValueText(c.Text);
        Variant value;
        std::string text;
        column.GetFilterEditValue(&editor, value, text);
        EXPECT_EQ(value, c.Value) << c.Text;
    }
}

} // namespace
