// The custom filter dialog driven by keys while it shows modally over a grid:
// the conditions it writes into the criteria, the check of typed values and
// the loading of a column's conditions back into it.
#include "dbgrid/CustomFilterDialog.h"

#include "dbgrid/FilterCriteria.h"
#include "platform/ui/StdCtrls.h"
#include "tests/app/WhenModal.h"
#include "tests/dbgrid/ShownGrid.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using uitest::FocusedControl;
using uitest::Type;
using uitest::TypeText;

void Press(Word Key) {
    Type(FocusedControl(), Key);
}
void Write(const std::string& Text) {
    TypeText(FocusedControl(), Text);
}

class CustomFilterDialogTest : public ::testing::Test {
protected:
    TfmCustomDialog* Dialog() const {
        TWinControl* focused = FocusedControl();
        return focused ? dynamic_cast<TfmCustomDialog*>(GetParentForm(focused)) : nullptr;
    }

    // Shows the dialog for the Qty column and runs Keys once it is modal.
    bool Show(const std::function<void(TfmCustomDialog*)>& Keys) {
        WhenModal keys([this] { return Dialog() && Dialog()->Modal(); }, [&] { Keys(Dialog()); });
        return ShowCustomDialog(&Criteria, Qty);
    }

    uitest::DialogRecorder Dialogs;
    gridtest::TShownGrid Shown{5, 150, {"Qty", "Name"}};
    TcvDBTreeListColumn* Qty = static_cast<TcvDBTreeListColumn*>(Shown.Grid->Columns(0));
    TcvDBGridCriteria Criteria{Shown.Grid};
};

TEST_F(CustomFilterDialogTest, FormIsLaidOutAsDesignedForTheColumn) {
    int clientWidth = 0, clientHeight = 0;
    std::string caption, columnName;
    std::vector<TRect> editorBounds;
    std::vector<std::string> tabOrder;
    Show([&](TfmCustomDialog* dialog) {
        const TRect client = dialog->ClientRect();
        clientWidth = client.Width();
        clientHeight = client.Height();
        caption = dialog->Caption();
        columnName = dialog->LColumnName->Caption();
        for (const TControl* editor :
             {static_cast<TControl*>(dialog->Operator1), static_cast<TControl*>(dialog->Value1),
              static_cast<TControl*>(dialog->Operator2), static_cast<TControl*>(dialog->Value2)})
            editorBounds.push_back(editor->BoundsRect());
        const std::pair<const TWinControl*, const char*> names[] = {
            {dialog->Operator1, "Operator1"}, {dialog->Value1, "Value1"},       {dialog->rbAnd, "rbAnd"},
            {dialog->rbOr, "rbOr"},           {dialog->Operator2, "Operator2"}, {dialog->Value2, "Value2"},
            {dialog->btnOK, "btnOK"},         {dialog->btnCancel, "btnCancel"}};
        std::vector<TWinControl*> controls;
        dialog->GetTabOrderList(controls);
        for (const TWinControl* control : controls)
            for (const auto& [named, name] : names)
                if (control == named) tabOrder.push_back(name);
        Press(VK_ESCAPE);
    });
    EXPECT_EQ(clientWidth, 412);
    EXPECT_EQ(clientHeight, 166);
    EXPECT_EQ(caption, "Custom AutoFilter");
    EXPECT_EQ(columnName, "Qty ");
    const std::vector<TRect> placeholders = {Rect(14, 46, 199, 67), Rect(214, 46, 399, 67), Rect(14, 96, 199, 117),
                                             Rect(214, 96, 399, 117)};
    EXPECT_EQ(editorBounds, placeholders);
    const std::vector<std::string> expectedOrder = {"Operator1", "Value1", "rbAnd", "rbOr",
                                                    "Operator2", "Value2", "btnOK", "btnCancel"};
    EXPECT_EQ(tabOrder, expectedOrder);
}

struct TSingleConditionCase {
    const char* Name;
    const char* OperatorKey; // the first letter of the operator's text
    const char* Value;
    const char* DisplayText;
    Byte OperatorIndex;
    bool Negated;
    bool NullValue;
};

TEST_F(CustomFilterDialogTest, OneConditionGoesToTheRoot) {
    const TSingleConditionCase cases[] = {
        {"is greater than 10", "i", "10", "(Qty > 10)", cvGreaterOperatorIndex, false, false},
        {"non blanks ignores the text", "n", "77", "(NOT (Qty Is Null))", cvNullOperatorIndex, true, true},
        {"does not equal", "d", "7", "(NOT (Qty = 7))", cvEqualOperatorIndex, true, false},
    };
    for (const TSingleConditionCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Criteria.Clear();
        const bool confirmed = Show([&](TfmCustomDialog*) {
            Write(c.OperatorKey);
            Press(VK_TAB);
            Write(c.Value);
            Press(VK_RETURN);
        });
        EXPECT_TRUE(confirmed);
        EXPECT_EQ(Criteria.GetDisplayText(), c.DisplayText);
        ASSERT_EQ(Criteria.Root()->Count(), 1);
        const auto* item = dynamic_cast<TcvDBGridCriteriaItem*>(Criteria.Root()->Items(0));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Column(), Qty);
        EXPECT_EQ(item->OperatorIndex(), c.OperatorIndex);
        EXPECT_EQ(item->Negated(), c.Negated);
        EXPECT_EQ(VarIsNull(item->Value()), c.NullValue);
        EXPECT_EQ(item->DisplayText(), c.NullValue ? "" : c.Value);
    }
}

TEST_F(CustomFilterDialogTest, LettersForAnIntegerColumnKeepTheDialogOpenOnThatEditor) {
    Criteria.AddCondition(nullptr, Qty, false, "3", "3", cvEqualOperatorIndex);
    bool valueFocused = false;
    // The check runs when the loop takes the OK; the box shows from there.
    WhenModal afterBox([this] { return Dialog() && Dialog()->Modal() && Dialogs.Boxes().size() == 1; },
                       [&] {
                           valueFocused = FocusedControl() == Dialog()->Value2;
                           Press(VK_ESCAPE);
                       });
    const bool confirmed = Show([&](TfmCustomDialog*) {
        Press(VK_TAB);
        Write("1");
        Press(VK_TAB);
        Press(VK_TAB);
        Write("i");
        Press(VK_TAB);
        Write("abc");
        Press(VK_RETURN);
    });
    EXPECT_FALSE(confirmed);
    ASSERT_EQ(Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(Dialogs.Boxes()[0].Text, "Invalid value.");
    EXPECT_TRUE(valueFocused);
    EXPECT_EQ(Criteria.GetDisplayText(), "(Qty = 3)");
}

TEST_F(CustomFilterDialogTest, AnOrPairIsAppliedAndLoadsBack) {
    Criteria.AddCondition(nullptr, Qty, false, "3", "3", cvEqualOperatorIndex);
    Show([&](TfmCustomDialog*) {
        Press(VK_TAB);
        Write("5");
        Press(VK_TAB);
        Press(VK_DOWN);
        Press(VK_TAB);
        Write("i");
        Press(VK_TAB);
        Write("8");
        Press(VK_RETURN);
    });
    EXPECT_EQ(Criteria.GetDisplayText(), "((Qty = 5) OR (Qty > 8))");

    bool orChecked = false;
    std::string codes, values;
    const bool confirmed = Show([&](TfmCustomDialog* dialog) {
        orChecked = dialog->rbOr->Checked() && !dialog->rbAnd->Checked();
        codes = dialog->Operator1->Text() + " " + dialog->Operator2->Text();
        values = dialog->Value1->Text() + " " + dialog->Value2->Text();
        Press(VK_ESCAPE);
    });
    EXPECT_FALSE(confirmed);
    EXPECT_TRUE(orChecked);
    EXPECT_EQ(codes, "0 2");
    EXPECT_EQ(values, "5 8");
    EXPECT_EQ(Criteria.GetDisplayText(), "((Qty = 5) OR (Qty > 8))");
}

// The dialog over an in-memory grid's own filter: a typed number filters by
// its value, whatever the column's field type.
class CustomFilterRowsTest : public ::testing::Test {
protected:
    std::vector<std::string> Rows() const {
        std::vector<std::string> keys;
        for (TcvTreeListNode* node = Shown.Grid->Count() ? Shown.Grid->Items(0) : nullptr; node; node = node->GetNext())
            keys.push_back(static_cast<TcvDBGridNode*>(node)->KeyText);
        return keys;
    }

    gridtest::TShownGrid Shown{5, 150, {"Qty", "Price", "Name"}, [](TcvDBGrid& grid) {
                                   grid.SetKeyField("ID");
                                   grid.SetOptionsDB(grid.OptionsDB() + edgoLoadAllRecords);
                               }};
};

TEST_F(CustomFilterRowsTest, ANumberColumnsConditionKeepsTheRowsOfItsValue) {
    struct Case {
        const char* Column;
        const char* OperatorKey;
        const char* Value;
        TVarType StoredType;
        std::vector<std::string> Rows;
    };
    // Qty holds 10 to 50, Price 1.5 to 5.5.
    const Case cases[] = {
        {"Qty", "i", "30", varInteger, {"4", "5"}},
        {"Qty", "e", "20", varInteger, {"2"}},
        {"Qty", "d", "10", varInteger, {"2", "3", "4", "5"}},
        {"Price", "i", "2.5", varDouble, {"3", "4", "5"}},
        {"Price", "e", "1.5", varDouble, {"1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Column) + " " + c.OperatorKey + " " + c.Value);
        auto* column = Shown.Grid->ColumnByFieldName(c.Column);
        TcvDBGridFilter* filter = Shown.Grid->Filter();
        filter->Criteria()->Clear();
        WhenModal keys([] { return FocusedControl() && GetParentForm(FocusedControl())->Modal(); },
                       [&] {
                           Write(c.OperatorKey);
                           Press(VK_TAB);
                           Write(c.Value);
                           Press(VK_RETURN);
                       });
        filter->CustomizeColumnFilter(column);
        const TcvCriteriaItem* item = filter->Criteria()->FindColumnItem(column);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Value().VarType(), c.StoredType);
        EXPECT_EQ(item->DisplayText(), c.Value);
        EXPECT_EQ(Rows(), c.Rows);
    }
}

} // namespace
