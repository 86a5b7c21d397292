// The calculator editor hosted in the test container: the keypad dropped
// down by F4 or its button computes from the editor's text and writes the
// result back; the keys that close it, QuickClose, and the error text that
// leaves "0".
#include "editors/CalcEdit.h"
#include "editors/EditorTexts.h"
#include "tests/editors/EditorTestHost.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Window.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace uitest;
using namespace editortest;

namespace {

struct HostedCalcEdit : HostedEditor {
    TcvInplaceCalcEdit* Edit;
    explicit HostedCalcEdit(const std::string& Value) : HostedEditor(TcvInplaceCalcEdit::StaticClass()) {
        Edit = static_cast<TcvInplaceCalcEdit*>(Editor);
        Open(Value);
    }
    TcvPopupCalculator* DropDown() {
        Type(Edit, VK_F4);
        TcvPopupCalculator* calculator = Edit->PopupCalculator();
        EXPECT_TRUE(calculator && IsWindowVisible(calculator->Handle()));
        return calculator;
    }
    bool Shown() {
        return Edit->PopupCalculator() && IsWindowVisible(Edit->PopupCalculator()->Handle());
    }
};

TEST(CalcEdit, ThePopupComputesFromTheTextAndWritesTheResultBack) {
    struct Case {
        const char* Name;
        const char* Value;
        const char* Typed;
        Word CloseKey; // 0: typed only
        const char* Text;
        bool OpenAfter;
    };
    const Case cases[] = {
        {"Enter computes, then closes", "12", "+3", VK_RETURN, "15", false},
        {"Escape closes with the last result", "12", "*2+", VK_ESCAPE, "24", false},
        {"a text that is no number starts from 0", "abc", "+2=", 0, "2", true},
        {"an error closed leaves 0", "5", "/0=", VK_ESCAPE, "0", false},
        {"F4 closes", "7", "-1=", VK_F4, "6", false},
    };
    for (const Case& c : cases) {
        HostedCalcEdit h(c.Value);
        TcvPopupCalculator* calculator = h.DropDown();
        ASSERT_NE(calculator, nullptr) << c.Name;
        EXPECT_EQ(GetFocus(), calculator->Handle()) << c.Name << ": the keypad has the keyboard";
        EXPECT_EQ(GetActiveWindow(), h.Form->Handle()) << c.Name;
        TypeText(calculator, c.Typed);
        if (c.CloseKey) Type(calculator, c.CloseKey, c.CloseKey == VK_RETURN ? "\r" : "");
        EXPECT_EQ(h.Edit->Text(), c.Text) << c.Name;
        EXPECT_TRUE(h.Edit->GetModified()) << c.Name;
        EXPECT_EQ(h.Shown(), c.OpenAfter) << c.Name;
        if (!c.OpenAfter) {
            ProcessMessages();
            EXPECT_FALSE(h.Edit->DroppedDown()) << c.Name;
            EXPECT_EQ(GetFocus(), h.Edit->Handle()) << c.Name << ": the focus back in the editor";
        }
    }
}

TEST(CalcEdit, QuickCloseClosesOnEqualsAndTheButtonOpensAgain) {
    for (bool quickClose : {false, true}) {
        HostedCalcEdit h("4");
        h.Edit->SetQuickClose(quickClose);
        TcvPopupCalculator* calculator = h.DropDown();
        TypeText(calculator, "*4=");
        EXPECT_EQ(h.Edit->Text(), "16") << quickClose;
        EXPECT_EQ(h.Shown(), !quickClose) << quickClose;
        if (!quickClose) Type(calculator, VK_ESCAPE);
        ProcessMessages();
        h.Edit->SetPrecision(3);
        calculator = h.DropDown();
        EXPECT_EQ(calculator->Precision(), 3) << "made afresh with the editor's settings";
        TypeText(calculator, "/3=");
        EXPECT_EQ(h.Edit->Text(), "5.33") << quickClose;
    }
}

TEST(CalcEdit, AReadOnlyEditorNeitherOpensNorTakesResults) {
    HostedCalcEdit h("9");
    h.Edit->SetReadOnly(true);
    Type(h.Edit, VK_F4);
    EXPECT_FALSE(h.Shown());
    EXPECT_EQ(h.Edit->Text(), "9");
}

} // namespace
