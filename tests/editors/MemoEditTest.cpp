// The memo editor: its lines read and written through the window, Enter,
// Ctrl+Enter and the vertical keys in a host cell, and Enter left to the
// form's default button when the memo does not want returns.
#include "editors/MemoEdit.h"

#include "platform/ui/EditWindow.h"
#include "platform/ui/StdCtrls.h"
#include "tests/editors/EditorTestHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace uitest;
using namespace editortest;

namespace {

using TStandaloneMemo = TStandaloneClass<TcvInplaceMemoEdit, TcvTextEditClassOps>;

struct MemoOnForm : EditorOnForm<TcvInplaceMemoEdit> {
    MemoOnForm() : EditorOnForm(TStandaloneMemo::Instance()) {}
};

TEST(MemoStrings, LinesAreTheWindowsLines) {
    struct Case {
        const char* What;
        const char* Before;
        std::function<void(TcvMemoStrings&)> Change;
        const char* After;
        int Count;
        int Changes; // OnChange calls
    };
    const Case cases[] = {
        {"a final break adds no line", "a\r\nb\r\n", nullptr, "a\r\nb\r\n", 2, 0},
        {"an empty memo has none", "", nullptr, "", 0, 0},
        {"put replaces a line", "a\r\nb\r\nc", [](TcvMemoStrings& l) { l.Put(1, "中文"); }, "a\r\n中文\r\nc", 3, 1},
        {"insert before the first", "a\r\nb", [](TcvMemoStrings& l) { l.Insert(0, "x"); }, "x\r\na\r\nb", 3, 1},
        {"add after the last", "a\r\nb", [](TcvMemoStrings& l) { l.Add("x"); }, "a\r\nb\r\nx", 3, 1},
        {"delete the first", "a\r\nb", [](TcvMemoStrings& l) { l.Delete(0); }, "b", 1, 1},
        {"a missing line is ignored", "a", [](TcvMemoStrings& l) { l.Delete(5), l.Put(-1, "x"); }, "a", 1, 0},
        {"set text takes any break, silently", "", [](TcvMemoStrings& l) { l.SetText("x\ny\rz"); }, "x\r\ny\r\nz", 3, 0},
    };
    for (const Case& c : cases) {
        MemoOnForm f;
        f.Edit->SetText(c.Before);
        int changes = 0;
        f.Edit->OnChange = [&](TObject*) { ++changes; };
        if (c.Change) c.Change(*f.Edit->Lines());
        EXPECT_EQ(f.Edit->Text(), c.After) << c.What;
        EXPECT_EQ(f.Edit->Lines()->Count(), c.Count) << c.What;
        EXPECT_EQ(changes, c.Changes) << c.What;
    }
}

TEST(MemoStrings, GetReturnsTheWholeLineHoweverLong) {
    MemoOnForm f;
    std::string longLine;
    for (int i = 0; i < 3000; ++i)
        longLine += "长";
    f.Edit->SetWordWrap(false);
    f.Edit->SetText("first\r\n" + longLine + "\r\nlast");
    EXPECT_EQ(f.Edit->Lines()->Get(1), longLine);
    EXPECT_EQ(f.Edit->Lines()->Get(2), "last");
    EXPECT_EQ(f.Edit->Lines()->Get(3), "");
    EXPECT_TRUE(platform_ui::test::QtInputMethodEnabled()) << "Chinese may be typed";
}

TEST(MemoEdit, KeysInAHostCellStayInTheMemoUnlessAllIsSelected) {
    struct Case {
        const char* What;
        bool CaretAtEnd; // else all selected, as the editor opens
        Word Key;
        const char* KeyText;
        WPARAM Keys;
        int Row;
        const char* Text;
        std::vector<std::string> HostCalls;
    };
    const Case cases[] = {
        {"all selected, Down moves the row", false, VK_DOWN, "", 0, 6, "l1\r\nl2", {"key 28"}},
        {"inside the text, Down moves the caret", true, VK_DOWN, "", 0, 5, "l1\r\nl2", {}},
        {"Enter types a line break", true, VK_RETURN, "\r", 0, 5, "l1\r\nl2\r\n", {"char \r"}},
        {"Ctrl+Enter goes to the host and types nothing", true, VK_RETURN, "\r", MK_CONTROL, 5, "l1\r\nl2",
         {"key 0D"}},
    };
    for (const Case& c : cases) {
        HostedEditor h(TcvInplaceMemoEdit::StaticClass());
        auto* memo = static_cast<TcvInplaceMemoEdit*>(h.Editor);
        h.Open("l1\r\nl2");
        if (c.CaretAtEnd) memo->CaretToEnd();
        Type(memo, c.Key, c.KeyText, c.Keys);
        EXPECT_EQ(h.Host->Row, c.Row) << c.What;
        EXPECT_EQ(memo->Text(), c.Text) << c.What;
        EXPECT_EQ(h.Host->Calls, c.HostCalls) << c.What;
    }
}

TEST(MemoEdit, WithoutReturnsEnterPressesTheDefaultButton) {
    MemoOnForm f;
    auto* button = new TButton(f.Form);
    button->SetParent(f.Form);
    button->SetBounds(200, 120, 80, 24);
    button->SetDefault(true);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    f.Edit->SetWantReturns(false);
    f.Edit->SetText("ab");
    f.Edit->SetFocus();
    ProcessMessages();
    Type(f.Edit, VK_RETURN, "\r");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(f.Edit->Text(), "ab");
}

} // namespace
