// The code combo box: codes parallel to the items, the selected code and the
// copied list.
#include "components/CodeComboBox.h"

#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

namespace {

class CodeComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = std::make_unique<TForm>(nullptr);
        Combo = new TCodeComboBox(Form.get());
        Combo->SetParent(Form.get());
        for (const char* name : {"北京", "上海", "广州"})
            Combo->Items()->Add(name);
        TStringList codes;
        codes.Add("110000");
        codes.Add("310000");
        Combo->SetCodes(&codes);
    }
    std::unique_ptr<TForm> Form;
    TCodeComboBox* Combo = nullptr;
};

TEST_F(CodeComboBoxTest, SelectedCodeFollowsItemIndexWithinTheCodes) {
    struct Case {
        int Index;
        const char* Code;
    } cases[] = {{-1, ""}, {0, "110000"}, {1, "310000"}, {2, ""}};
    for (const auto& c : cases) {
        Combo->SetItemIndex(c.Index);
        EXPECT_EQ(Combo->SelectedCode(), c.Code) << c.Index;
    }
}

TEST_F(CodeComboBoxTest, SetCodesCopiesAndKeepsTheListIdentity) {
    TStringList* own = Combo->codes();
    TStringList other;
    other.Add("9");
    Combo->SetCodes(&other);
    other.Clear();
    EXPECT_EQ(Combo->codes(), own);
    ASSERT_EQ(Combo->codes()->Count(), 1);
    EXPECT_EQ(Combo->codes()->Strings(0), "9");
}

TEST_F(CodeComboBoxTest, WritingSelectedCodeChangesNothingVisible) {
    Combo->SetItemIndex(1);
    Combo->SetSelectedCode("999");
    EXPECT_EQ(Combo->ItemIndex(), 1);
    EXPECT_EQ(Combo->SelectedCode(), "310000");
}

TEST_F(CodeComboBoxTest, CallersFindAndInsertCodesDirectly) {
    Combo->codes()->Insert(0, "000000");
    Combo->Items()->Insert(0, "全国");
    Combo->SetItemIndex(Combo->codes()->IndexOf("310000"));
    EXPECT_EQ(Combo->Text(), "上海");
    Combo->SetItemIndex(Combo->codes()->IndexOf("missing"));
    EXPECT_EQ(Combo->ItemIndex(), -1);
    EXPECT_EQ(Combo->SelectedCode(), "");
}

TEST_F(CodeComboBoxTest, TypedTextIsKeptAsTheBoxAllowsIt) {
    // Refusing text that is not an item is the windows' own check on exit.
    Combo->SetText("深圳");
    EXPECT_EQ(Combo->Text(), "深圳");
    EXPECT_EQ(Combo->SelectedCode(), "");
}

} // namespace
