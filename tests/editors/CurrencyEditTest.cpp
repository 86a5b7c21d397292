// The numeric editor: which keys keep the text a number, typing through the
// real key path, limits at validation, null values and the display format,
// pastes that leave no number, and a change of the regional settings.
#include "editors/CurrencyEdit.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/Clipbrd.h"
#include "tests/editors/EditorTestHost.h"

#include <gtest/gtest.h>

#include <string>

using namespace uitest;
using namespace editortest;

namespace {

using TStandaloneCurrency = TStandaloneClass<TcvInplaceCurrencyEdit, TcvTextEditClassOps>;

struct CurrencyOnForm : EditorOnForm<TcvInplaceCurrencyEdit> {
    CurrencyOnForm() : EditorOnForm(TStandaloneCurrency::Instance()) {}
    // Text with the selection from Start to Stop (characters).
    void Put(const std::string& Text, int Start, int Stop) {
        Edit->SetText(Text);
        SendMessage(Edit->Handle(), EM_SETSEL, Start, Stop);
    }
};

TEST(CurrencyEdit, IsValidNumberCharKeepsTheTextANumber) {
    struct Case {
        const char* What;
        const char* Text;
        int Start, Stop;
        char32_t Key;
        int DecimalPlaces;
        bool Thousands;
        bool Valid;
    };
    const Case cases[] = {
        {"a digit", "12", 2, 2, U'3', 2, false, true},
        {"a separator before any decimal", "5", 1, 1, U'.', 0, false, true},
        {"no decimal beyond the places", "5.", 2, 2, U'1', 0, false, false},
        {"a third decimal refused", "1.23", 4, 4, U'4', 2, false, false},
        {"digits after E are no decimals", "1.235", 4, 4, U'E', 2, false, true},
        {"nor after a small e", "1.235", 4, 4, U'e', 2, false, true},
        {"a minus into an empty text", "", 0, 0, U'-', 2, false, true},
        {"a minus over the whole text", "5", 0, 1, U'-', 2, false, true},
        {"a minus after digits", "5", 1, 1, U'-', 2, false, false},
        {"a letter", "5", 1, 1, U'a', 2, false, false},
        {"a Chinese character", "5", 1, 1, U'五', 2, false, false},
        {"a comma without thousands", "1", 1, 1, U',', 2, false, false},
        {"a comma with thousands", "1", 1, 1, U',', 2, true, true},
        {"a lone exponent", "1", 1, 1, U'E', 2, false, false},
        {"beyond the largest value", "1.7E30", 6, 6, U'9', 2, false, false},
    };
    CurrencyOnForm f;
    for (const Case& c : cases) {
        f.Edit->SetDecimalPlaces(c.DecimalPlaces);
        f.Edit->SetUseThousandSeparator(c.Thousands);
        f.Put(c.Text, c.Start, c.Stop);
        EXPECT_EQ(f.Edit->IsValidNumberChar(c.Key), c.Valid) << c.What;
    }
}

TEST(CurrencyEdit, TypingMakesDecimalSeparatorsAndBeepsAtTheRest) {
    struct Case {
        const char* What;
        const char* Typed;
        bool Thousands;
        const char* Text;
        double Value;
        int Beeps;
    };
    const Case cases[] = {
        {"a comma types the decimal separator", "1,5", false, "1.5", 1.5, 0},
        {"letters beep", "1x2", false, "12", 12, 1},
        {"with thousands the comma stays", "1,234", true, "1,234", 1234, 0},
        {"a minus after digits beeps", "5-", false, "5", 5, 1},
    };
    for (const Case& c : cases) {
        CurrencyOnForm f;
        DialogRecorder dialogs;
        f.Edit->SetUseThousandSeparator(c.Thousands);
        TypeText(f.Edit, c.Typed);
        EXPECT_EQ(f.Edit->Text(), c.Text) << c.What;
        EXPECT_EQ(f.Edit->GetValue(), c.Value) << c.What;
        EXPECT_EQ(dialogs.Count(TDialogKind::Beep), c.Beeps) << c.What;
    }
    CurrencyOnForm f;
    EXPECT_FALSE(platform_ui::test::QtInputMethodEnabled()) << "no input method for numbers";
}

TEST(CurrencyEdit, ValidationClampsToTheLimits) {
    struct Case {
        const char* What;
        double Min, Max;
        const char* Entered;
        double MinAfter, MaxAfter;
        const char* Text;
    };
    const Case cases[] = {
        {"above the maximum", 0, 999, "1500", 0, 999, "999"},
        {"equal limits impose none", 0, 0, "1500", 0, 0, "1500"},
        {"a minimum above the maximum makes them equal", 10, 5, "1500", 5, 5, "1500"},
        {"no number becomes the minimum", 3, 9, "x", 3, 9, "3"},
        {"a number is written in general format", 0, 0, "1.50", 0, 0, "1.5"},
    };
    for (const Case& c : cases) {
        CurrencyOnForm f;
        f.Edit->SetMinMaxValues(c.Min, c.Max);
        f.Edit->SetText(c.Entered);
        f.Edit->SetModified(true);
        f.Edit->ValidateEdit();
        EXPECT_EQ(f.Edit->MinValue(), c.MinAfter) << c.What;
        EXPECT_EQ(f.Edit->MaxValue(), c.MaxAfter) << c.What;
        EXPECT_EQ(f.Edit->Text(), c.Text) << c.What;
    }
}

TEST(CurrencyEdit, NullValueKeepsItsEmptyTextAndShowsTheNullString) {
    CurrencyOnForm f;
    f.Edit->SetDisplayFormat(",0.00");
    f.Edit->SetNullable(true);
    f.Edit->SetNullString("无");
    f.Edit->SetText("1234.5");
    Variant shown;
    f.Edit->GetViewValue(shown, false);
    EXPECT_EQ(VarToStr(shown), "1,234.50");
    f.Edit->SelectAllText();
    Type(f.Edit, VK_DELETE);
    f.Edit->ValidateEdit();
    EXPECT_EQ(f.Edit->Text(), "");
    EXPECT_TRUE(f.Edit->GetEditValue().IsNull());
    f.Edit->GetViewValue(shown, false);
    EXPECT_EQ(VarToStr(shown), "无");
}

TEST(CurrencyEdit, APasteThatLeavesNoNumberIsTakenBack) {
    struct Case {
        const char* What;
        const char* Clipboard;
        bool ReadOnly;
        const char* Text;
        int Selected;
    };
    const Case cases[] = {
        {"a number pastes", "42", false, "42", 0},
        {"letters are taken back, all selected", "abc", false, "12", 2},
        {"read-only pastes nothing", "42", true, "12", 2},
    };
    for (const Case& c : cases) {
        CurrencyOnForm f;
        f.Edit->SetText("12");
        f.Edit->SetReadOnly(c.ReadOnly);
        Clipboard()->SetAsText(c.Clipboard);
        f.Edit->SelectAllText();
        SendMessage(f.Edit->Handle(), WM_PASTE, 0, 0);
        EXPECT_EQ(f.Edit->Text(), c.Text) << c.What;
        EXPECT_EQ(f.Edit->SelLength(), c.Selected) << c.What;
    }
}

TEST(CurrencyEdit, RegionalChangeGivesAnUnassignedFormatTheNewCurrency) {
    const TFormatSettings saved = RegionalSettings;
    CurrencyOnForm f;
    auto* fixed = static_cast<TcvInplaceCurrencyEdit*>(TStandaloneCurrency::Instance().CreateEditor(f.Form));
    fixed->SetDisplayFormat("0.0000");
    const std::string before = f.Edit->DisplayFormat();
    RegionalSettings.CurrencyString = "元";
    RegionalSettings.CurrencyFormat = 1;
    f.Edit->Perform(CM_WININICHANGE);
    fixed->Perform(CM_WININICHANGE);
    const std::string after = f.Edit->DisplayFormat();
    RegionalSettings = saved;
    GetFormatSettings();
    EXPECT_NE(after, before);
    EXPECT_NE(after.find("元"), std::string::npos);
    EXPECT_EQ(fixed->DisplayFormat(), "0.0000") << "an assigned format stays";
}

} // namespace
