// The text controls under real typing: edits with their limits and case,
// input-method commits seen character by character, combo and list boxes,
// memo lines, and the application's minimise and restore events.
#include "UiTestSupport.h"

#include "platform/rtl/Utf8.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;

namespace {

struct OneForm {
    TForm* Form = nullptr;
    OneForm() {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(10, 10, 400, 300);
    }
    ~OneForm() { delete Form; }
    template <class T> T* Add(TRect r) {
        auto* c = new T(Form);
        c->SetParent(Form);
        c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        return c;
    }
};

} // namespace

TEST(UiStdCtrls, EditLimitsCaseAndReadOnlyApplyToTyping) {
    struct Case {
        const char* Name;
        int MaxLength;
        TEditCharCase CharCase;
        bool ReadOnly;
        const char* Typed;
        const char* Text;
    };
    const Case cases[] = {
        {"plain", 0, ecNormal, false, "abc", "abc"},    {"limited", 3, ecNormal, false, "abcd", "abc"},
        {"upper", 0, ecUpperCase, false, "ab1", "AB1"}, {"lower", 0, ecLowerCase, false, "AB", "ab"},
        {"read-only", 0, ecNormal, true, "ab", ""},
    };
    OneForm f;
    f.Form->Show();
    int y = 0;
    for (const Case& c : cases) {
        auto* edit = f.Add<TEdit>(Rect(8, y, 200, y + 21));
        y += 24;
        edit->SetMaxLength(c.MaxLength);
        edit->SetCharCase(c.CharCase);
        edit->SetReadOnly(c.ReadOnly);
        edit->SetFocus();
        for (char ch : std::string(c.Typed))
            Type(edit, 0, std::string(1, ch), ch >= 'A' && ch <= 'Z' ? MK_SHIFT : 0);
        EXPECT_EQ(edit->Text(), c.Text) << c.Name;
    }
}

// An edit and a memo hold a limit alike.
template <class TTextControl> void CheckByteLimitHoldsTypingAndPasteToWholeCharacters() {
    enum Input { Typed, Committed, Pasted };
    struct Case {
        const char* Name;
        TLengthUnit Unit;
        int MaxLength;
        const char* Before; // set by code, the cursor at its end
        Input How;
        const char* Text;
        const char* After;
    };
    const Case cases[] = {
        {"ASCII", luGbkBytes, 6, "", Typed, "abcdefgh", "abcdef"},
        {"Chinese", luGbkBytes, 6, "", Committed, "中文字典", "中文字"},
        {"mixed", luGbkBytes, 5, "", Committed, "a中b文", "a中b"},
        {"Chinese into the last byte", luGbkBytes, 5, "abcd", Committed, "中", "abcd"},
        {"paste over the limit", luGbkBytes, 6, "ab", Pasted, "中文字典", "ab中文"},
        {"paste cut before a split character", luGbkBytes, 6, "a", Pasted, "中文字", "a中文"},
        {"outside GBK counts as one byte", luGbkBytes, 3, "ab", Pasted, "😀c", "ab😀"},
        {"full: nothing more", luGbkBytes, 4, "中文", Typed, "a", "中文"},
        {"set over the limit by code, then typed", luGbkBytes, 4, "abcdef", Typed, "x", "abcdef"},
        {"characters stay characters", luCharacters, 3, "", Committed, "中文字典", "中文字"},
    };
    OneForm f;
    f.Form->Show();
    auto* edit = f.Add<TTextControl>(Rect(8, 8, 200, 60));
    for (const Case& c : cases) {
        edit->SetMaxLengthUnit(c.Unit);
        edit->SetMaxLength(c.MaxLength);
        edit->SetText(c.Before);
        edit->SetFocus();
        edit->SetSelStart(static_cast<int>(Utf8Length(c.Before)));
        if (c.How == Typed) TypeText(edit, c.Text); // ASCII
        if (c.How == Committed) platform_ui::test::SendQtInputMethodCommit(edit->Handle(), c.Text);
        if (c.How == Pasted) {
            Clipboard()->SetAsText(c.Text);
            Type(edit, 'V', "", MK_CONTROL);
        }
        ProcessMessages();
        EXPECT_EQ(edit->Text(), c.After) << c.Name;
    }
    // A paste over a selection counts the bytes the selection frees; a
    // deletion from a text over the limit goes through.
    edit->SetMaxLengthUnit(luGbkBytes);
    edit->SetMaxLength(6);
    edit->SetText("abcdef");
    edit->SetSelStart(2);
    edit->SetSelLength(2);
    Clipboard()->SetAsText("中文");
    Type(edit, 'V', "", MK_CONTROL);
    EXPECT_EQ(edit->Text(), "ab中ef");
    edit->SetMaxLength(2);
    edit->SetSelStart(static_cast<int>(Utf8Length(edit->Text())));
    Type(edit, VK_BACK, "\b");
    EXPECT_EQ(edit->Text(), "ab中e");
}

TEST(UiStdCtrls, EditLimitInGbkBytesHoldsTypingAndPasteToWholeCharacters) {
    CheckByteLimitHoldsTypingAndPasteToWholeCharacters<TEdit>();
}

TEST(UiStdCtrls, MemoLimitInGbkBytesHoldsTypingAndPasteToWholeCharacters) {
    CheckByteLimitHoldsTypingAndPasteToWholeCharacters<TMemo>();
    // A line break is two bytes, and goes in whole or not at all.
    OneForm f;
    f.Form->Show();
    auto* memo = f.Add<TMemo>(Rect(8, 8, 200, 60));
    memo->SetMaxLengthUnit(luGbkBytes);
    for (const auto& [limit, after] : {std::pair{3, "ab"}, std::pair{4, "ab\r\n"}}) {
        memo->SetMaxLength(limit);
        memo->SetText("ab");
        memo->SetFocus();
        memo->SetSelStart(2);
        Type(memo, VK_RETURN, "\r");
        EXPECT_EQ(memo->Text(), after) << limit;
    }
}

TEST(UiStdCtrls, EditSeesEveryCharacterOfAnInputMethodCommit) {
    OneForm f;
    auto* edit = f.Add<TEdit>(Rect(8, 8, 200, 29));
    std::u32string pressed;
    int changes = 0;
    edit->OnKeyPress = [&](TObject*, char32_t& key) { pressed += key; };
    edit->OnChange = [&](TObject*) { ++changes; };
    f.Form->Show();
    edit->SetFocus();
    platform_ui::test::SendQtInputMethodCommit(edit->Handle(), "项目");
    ProcessMessages();
    EXPECT_EQ(pressed, U"项目");
    EXPECT_EQ(edit->Text(), "项目");
    EXPECT_GE(changes, 1);
    // A handler may refuse characters: digits only.
    edit->SetText("");
    edit->OnKeyPress = [&](TObject*, char32_t& key) {
        if ((key < U'0' || key > U'9') && key != VK_BACK) key = 0;
    };
    TypeText(edit, "1a2");
    platform_ui::test::SendQtInputMethodCommit(edit->Handle(), "三");
    ProcessMessages();
    EXPECT_EQ(edit->Text(), "12");
    EXPECT_EQ(edit->SelStart(), 2);
}

TEST(UiStdCtrls, ComboBoxTypingAndChoosingFireOnChange) {
    OneForm f;
    auto* combo = f.Add<TComboBox>(Rect(8, 8, 200, 29));
    for (const char* item : {"男", "女"})
        combo->Items()->Add(item);
    std::vector<std::string> changes;
    combo->OnChange = [&](TObject*) { changes.push_back(combo->Text()); };
    f.Form->Show();
    combo->SetFocus();
    TypeText(combo, "x");
    EXPECT_EQ(combo->Text(), "x");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(1); // by code: no OnChange
    EXPECT_EQ(combo->Text(), "女");
    Type(combo, VK_UP);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(changes, (std::vector<std::string>{"x", "男"}));
    // Changing the items keeps the selection where it still fits.
    combo->Items()->Add("未知");
    EXPECT_EQ(combo->ItemIndex(), 0);
    combo->Items()->Clear();
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST(UiStdCtrls, ListBoxClickSelectsAndReports) {
    OneForm f;
    auto* list = f.Add<TListBox>(Rect(8, 8, 200, 120));
    for (const char* item : {"甲", "乙", "丙"})
        list->Items()->Add(item);
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    f.Form->Show();
    list->SetItemIndex(0); // by code: no OnClick
    EXPECT_EQ(clicks, 0);
    list->SetFocus();
    Type(list, VK_DOWN);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(list->Selected(1));
}

TEST(UiStdCtrls, MemoLinesAndTextAgreeWithCrLf) {
    OneForm f;
    auto* memo = f.Add<TMemo>(Rect(8, 8, 300, 200));
    memo->Lines()->Add("第一行");
    memo->Lines()->Add("second");
    EXPECT_EQ(memo->Text(), "第一行\r\nsecond");
    f.Form->Show(); // the window takes the text over
    EXPECT_EQ(memo->Lines()->Count(), 2);
    memo->Lines()->Insert(1, "middle");
    EXPECT_EQ(memo->Lines()->Get(1), "middle");
    memo->Lines()->Delete(0);
    EXPECT_EQ(memo->Text(), "middle\r\nsecond");
    // Enter stays in the memo (it wants returns) and opens a new line.
    memo->SetFocus();
    memo->SetSelStart(static_cast<int>(std::string("middle").size()));
    Type(memo, VK_RETURN, "\r");
    EXPECT_EQ(memo->Lines()->Count(), 3);
}

TEST(UiStdCtrls, MinimisingTheMainFormTellsTheApplication) {
    ASSERT_EQ(Application->MainForm(), nullptr);
    TForm* main = nullptr;
    Application->CreateForm(main);
    std::vector<std::string> events;
    Application->OnMinimize = [&](TObject*) { events.push_back("minimize"); };
    Application->OnRestore = [&](TObject*) { events.push_back("restore"); };
    main->Show();
    main->SetWindowState(wsMinimized);
    main->SetWindowState(wsNormal);
    EXPECT_EQ(events, (std::vector<std::string>{"minimize", "restore"}));
    Application->OnMinimize = nullptr;
    Application->OnRestore = nullptr;
    delete main;
    EXPECT_EQ(Application->MainForm(), nullptr);
}
