// The masked editor driven through the real key path: typing, literals,
// deleting and pasting through the mask, the value taken back out, and
// validation of the required positions on a form and in a host.
#include "editors/MaskEdit.h"

#include "platform/ui/Clipbrd.h"
#include "platform/ui/EditWindow.h"
#include "tests/editors/EditorTestHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;
using namespace editortest;

namespace {

using TStandaloneMask = TStandaloneClass<TcvInplaceMaskEdit, TcvTextEditClassOps>;

struct MaskEditOnForm : EditorOnForm<TcvInplaceMaskEdit> {
    explicit MaskEditOnForm(const std::string& Mask) : EditorOnForm(TStandaloneMask::Instance()) {
        Edit->SetEditMask(Mask);
    }
};

struct Keystroke {
    Word Key; // 0: Text types itself
    const char* Text;
};

TEST(MaskEdit, TypingFollowsTheMask) {
    struct Case {
        const char* What;
        const char* Mask;
        std::vector<Keystroke> Keys;
        const char* EditText;
        const char* Text;
        int Beeps;
    };
    const Case cases[] = {
        {"capitals then small letters, no literals saved", ">LL-<ll;0;_", {{0, "abcd"}}, "AB-cd", "ABcd", 0},
        {"literals saved and Chinese literals shown", "0000年00月", {{0, "202401"}}, "2024年01月", "2024年01月", 0},
        {"the next literal typed jumps over it", "00-00;1;_", {{0, "1-5"}}, "1_-5_", "1 -5 ", 0},
        {"a letter in a digit position beeps", "00;0;_", {{0, "a"}}, "__", "", 1},
        {"Chinese in a letter position is a letter", "LL;0;_", {{0, "中文"}}, "中文", "中文", 0},
        {"backspace blanks the position before the caret", "000;0;_", {{0, "12"}, {VK_BACK, ""}}, "1__", "1", 0},
        {"delete blanks the position at the caret",
         "000;0;_",
         {{0, "123"}, {VK_HOME, ""}, {VK_DELETE, ""}},
         "_23",
         " 23",
         0},
        {"right skips the literal", "0-0;0;_", {{0, "1"}, {VK_LEFT, ""}, {VK_RIGHT, ""}, {0, "2"}}, "1-2", "12", 0},
        {"a refused key beeps and keeps the character under the caret",
         "00:00:00;1;_",
         {{0, "123456"}, {VK_HOME, ""}, {VK_RIGHT, ""}, {VK_RIGHT, ""}, {0, "x"}},
         "12:34:56",
         "12:34:56",
         1},
        {"the literal typed on a filled position jumps over it and keeps the character",
         "0000-00-00;1;_",
         {{0, "20240517"}, {VK_HOME, ""}, {VK_RIGHT, ""}, {VK_RIGHT, ""}, {VK_RIGHT, ""}, {0, "-1"}},
         "2024-15-17",
         "2024-15-17",
         0},
    };
    for (const Case& c : cases) {
        MaskEditOnForm f(c.Mask);
        DialogRecorder dialogs;
        for (const Keystroke& k : c.Keys) {
            if (k.Key == 0) {
                const std::string text = k.Text;
                for (size_t i = 0; i < text.size(); i = Utf8NextCharBoundary(text, i))
                    Type(f.Edit, 0, text.substr(i, Utf8NextCharBoundary(text, i) - i));
            } else {
                Type(f.Edit, k.Key, k.Text);
            }
        }
        EXPECT_EQ(f.Edit->GetEditText(), c.EditText) << c.What;
        EXPECT_EQ(f.Edit->GetText(), c.Text) << c.What;
        EXPECT_EQ(dialogs.Count(TDialogKind::Beep), c.Beeps) << c.What;
    }
}

TEST(MaskEdit, ValueOfAnUntouchedMaskIsEmpty) {
    MaskEditOnForm f("00:00:00;1;0");
    EXPECT_EQ(f.Edit->GetEditText(), "00:00:00") << "blanks are zeros, separators the locale's";
    EXPECT_EQ(f.Edit->GetValueText(), "");
    f.Edit->SetText("123456");
    EXPECT_EQ(f.Edit->GetEditText(), "12:34:56");
    EXPECT_EQ(f.Edit->GetValueText(), "12:34:56");
    f.Edit->SetIgnoreMaskBlank(true);
    f.Edit->SetText("");
    EXPECT_EQ(f.Edit->GetValueText(), "00:00:00") << "ignoring blanks hands back the raw text";
    EXPECT_FALSE(platform_ui::test::QtInputMethodEnabled()) << "no input method for masks";
}

TEST(MaskEdit, CaretShowsAsOneCharacterWithItsAnchorAtTheRight) {
    MaskEditOnForm f("(000)0000;0;_");
    SendMessage(f.Edit->Handle(), EM_SETSEL, 0, 0);
    Type(f.Edit, VK_HOME);
    EXPECT_EQ(f.Selection().cpMin, 1) << "the literal is skipped";
    EXPECT_EQ(f.Selection().cpMax, 2);
    EXPECT_EQ(EditWindowCaretIndex(f.Edit->Handle()), 1);
}

TEST(MaskEdit, PasteGoesThroughTheMask) {
    MaskEditOnForm f("00-00;0;_");
    Clipboard()->SetAsText("12ab34");
    f.Edit->SelectAllText();
    Type(f.Edit, 'V', "", MK_CONTROL);
    EXPECT_EQ(f.Edit->GetEditText(), "12-34");
    EXPECT_TRUE(f.Edit->GetModified());
    SendMessage(f.Edit->Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>("longer"));
    EXPECT_EQ(f.Edit->GetEditText(), "12-34") << "a replacement that changes the length is ignored";
}

TEST(MaskEdit, AnUnfilledRequiredPositionFailsValidation) {
    struct Case {
        const char* What;
        bool IgnoreBlank;
        bool Fails;
    };
    const Case cases[] = {
        {"a blank required digit fails", false, true},
        {"ignoring blanks it passes", true, false},
    };
    for (const Case& c : cases) {
        MaskEditOnForm f("0009;0;_");
        DialogRecorder dialogs;
        f.Edit->SetIgnoreMaskBlank(c.IgnoreBlank);
        TypeText(f.Edit, "1");
        bool failed = false;
        try {
            f.Edit->ValidateEdit();
        } catch (const EDBEditError& e) {
            failed = true;
            EXPECT_EQ(e.Message(), "Invalid input value.  Use escape key to abandon changes") << c.What;
        }
        EXPECT_EQ(failed, c.Fails) << c.What;
        EXPECT_EQ(dialogs.Count(TDialogKind::Beep), c.Fails ? 1 : 0) << c.What;
        if (c.Fails) {
            EXPECT_EQ(EditWindowCaretIndex(f.Edit->Handle()), 1) << c.What << ": the caret on the blank";
        }
    }
}

TEST(MaskEdit, HostedEditorKeepsTheRowUntilTheMaskIsFilled) {
    HostedEditor h(TcvInplaceMaskEdit::StaticClass());
    auto* edit = static_cast<TcvInplaceMaskEdit*>(h.Editor);
    edit->SetEditMask("00;0;_");
    DialogRecorder dialogs;
    h.Open("");
    TypeText(edit, "1");
    Type(edit, VK_DOWN);
    EXPECT_EQ(h.Host->Row, 5) << "the row stays";
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(GetFocus(), edit->Handle());
    TypeText(edit, "2");
    Type(edit, VK_DOWN);
    EXPECT_EQ(h.Host->Row, 6);
    EXPECT_EQ(edit->GetValueText(), "12");
    edit->SetEditMask("00;0;_");
    EXPECT_EQ(edit->GetEditText(), "12") << "the same mask again changes nothing";
}

} // namespace
