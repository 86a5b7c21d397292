// The pick and MRU editors: the incremental search as the user types (the
// completion selected), the list style's Backspace and Delete, stepping,
// the MRU order, and the pick list's own type-ahead by prefix.
#include "editors/PickEdit.h"
#include "tests/editors/EditorTestHost.h"

#include "platform/rtl/StringList.h"
#include "platform/ui/Focus.h"
#include "platform/ui/ListBoxWindow.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;
using namespace editortest;

namespace {

using PickOnForm = EditorOnForm<TcvInplacePickEdit>;

const TcvInplaceEditClass& StandalonePick() {
    return TStandaloneClass<TcvInplacePickEdit, TcvDropDownEditClassOps>::Instance();
}

void SetItems(TcvInplacePickEdit* Edit, std::initializer_list<const char*> Items) {
    TStringList items;
    for (const char* item : Items)
        items.Add(item);
    Edit->SetItems(&items);
}

std::vector<std::string> ItemsOf(TcvInplacePickEdit* Edit) {
    std::vector<std::string> items;
    for (int i = 0; i < Edit->Items()->Count(); ++i)
        items.push_back(Edit->Items()->Get(i));
    return items;
}

// Text, then the selection as anchor..caret.
std::string Shown(PickOnForm& W) {
    const CHARRANGE r = W.Selection();
    return W.Edit->Text() + " " + std::to_string(r.cpMin) + ".." + std::to_string(r.cpMax);
}

} // namespace

TEST(PickEdit, TypingCompletesToTheFirstItemWithTheTypedPrefix) {
    const struct {
        Word Key;
        const char* Text;
        const char* Shown;
    } steps[] = {
        {'A', "a", "Apple 1..5"},    {'P', "p", "Apple 2..5"},
        {'R', "r", "apricot 3..7"},  // the typed part goes on: apr
        {VK_BACK, "\b", "Apple 2..5"}, // back to ap
        {'X', "x", "Apx 3..3"},      // nothing starts so: typed over the completion
    };
    PickOnForm w(StandalonePick());
    w.Edit->SetImmediateDropDown(false);
    SetItems(w.Edit, {"Apple", "apricot", "Banana"});
    for (const auto& s : steps) {
        Type(w.Edit, s.Key, s.Text);
        EXPECT_EQ(Shown(w), s.Shown) << "after " << s.Key;
    }
}

TEST(PickEdit, AnInputMethodCommitSearchesLikeTyping) {
    PickOnForm w(StandalonePick());
    w.Edit->SetImmediateDropDown(false);
    SetItems(w.Edit, {"北京", "北海", "上海"});
    platform_ui::test::SendQtInputMethodCommit(w.Edit->Handle(), "上");
    ProcessMessages();
    EXPECT_EQ(Shown(w), "上海 1..2");
}

TEST(PickEdit, TheListStyleOnlyEmptiesItsTextWhenAllowed) {
    const struct {
        bool CanDeleteText;
        Word Key;
        const char* Shown;
    } cases[] = {
        {false, VK_BACK, "Banana 0..6"}, // the whole item selected, not emptied
        {true, VK_BACK, " 0..0"},
        {true, VK_DELETE, " 0..0"},
        {false, VK_DELETE, "Banana 0..6"},
    };
    for (const auto& c : cases) {
        PickOnForm w(StandalonePick());
        w.Edit->SetImmediateDropDown(false);
        SetItems(w.Edit, {"Apple", "Banana"});
        w.Edit->SetDropDownListStyle(true);
        w.Edit->SetCanDeleteText(c.CanDeleteText);
        w.Edit->SetEditValue("Banana");
        w.Edit->SelectAllText();
        for (int i = 0; i < 6; ++i)
            Type(w.Edit, c.Key, c.Key == VK_BACK ? "\b" : "");
        EXPECT_EQ(Shown(w), c.Shown) << c.CanDeleteText << " key " << c.Key;
    }
}

TEST(PickEdit, StandaloneStepsStopAtTheEndAndADoubleClickWraps) {
    PickOnForm w(StandalonePick());
    SetItems(w.Edit, {"one", "two", "three"});
    w.Edit->SetEditValue("two");
    Type(w.Edit, VK_DOWN);
    EXPECT_EQ(w.Edit->Text(), "three");
    Type(w.Edit, VK_DOWN);
    EXPECT_EQ(w.Edit->Text(), "three") << "no wrapping by keys";
    w.Edit->SetRevertable(true);
    platform_ui::test::SendQtMouse(w.Edit->Handle(), platform_ui::test::TMouseEventKind::DoubleClick, {10, 5},
                                   MK_LBUTTON, MK_LBUTTON);
    ProcessMessages();
    EXPECT_EQ(w.Edit->Text(), "one") << "a double click wraps to the first";
}

TEST(PickEdit, TheListOpensUnderTheEditorAndTypesAheadByPrefix) {
    PickOnForm w(StandalonePick());
    SetItems(w.Edit, {"Apple", "apricot", "Banana", "北京"});
    w.Edit->SetEditValue("Banana");
    Type(w.Edit, VK_F4);
    TcvPopupPickListBox* list = w.Edit->PopupList();
    ASSERT_TRUE(list->HandleAllocated() && IsWindowVisible(list->Handle()));
    EXPECT_EQ(GetActiveWindow(), w.Form->Handle());
    EXPECT_EQ(GetFocus(), w.Edit->Handle());
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(list->ClientHeight(), 4 * list->MeasuredItemHeight());

    // When the list holds the keyboard itself, it searches what is typed.
    const struct {
        const char* Typed;
        int Selected;
    } typeAhead[] = {{"a", 0}, {"p", 0}, {"r", 1}, {"x", 1}, {"\b", 1}, {"北", 3}};
    for (const auto& t : typeAhead) {
        const char32_t c = Utf8ToCodePoints(t.Typed)[0];
        list->Perform(WM_CHAR, c, 0);
        EXPECT_EQ(list->ItemIndex(), t.Selected) << t.Typed;
    }
    Type(w.Edit, VK_RETURN);
    EXPECT_FALSE(IsWindowVisible(list->Handle()));
    EXPECT_EQ(w.Edit->Text(), "北京");
}

TEST(MRUEdit, ValidatedTextsMoveToTheTopAndTheListIsTrimmed) {
    const struct {
        const char* Validated;
        std::vector<std::string> Items;
    } steps[] = {
        {"d", {"d", "a", "b"}},
        {"B", {"b", "d", "a"}}, // the stored item keeps its case
        {"", {"b", "d", "a"}},
    };
    EditorOnForm<TcvInplaceMRUEdit> w(TStandaloneClass<TcvInplaceMRUEdit, TcvMRUEditClassOps>::Instance());
    w.Edit->SetMaxItemCount(3);
    SetItems(w.Edit, {"a", "b", "c"});
    for (const auto& s : steps) {
        w.Edit->SetEditValue(std::string());
        w.Edit->ReplaceText(s.Validated);
        w.Edit->ValidateEdit();
        EXPECT_EQ(ItemsOf(w.Edit), s.Items) << s.Validated;
    }
    w.Edit->SetMaxItemCount(-5);
    EXPECT_EQ(w.Edit->MaxItemCount(), 0) << "no limit";
    w.Edit->SetMaxItemCount(1);
    EXPECT_EQ(ItemsOf(w.Edit), std::vector<std::string>{"b"});
}

TEST(MRUEdit, TheEllipsisButtonAndCtrlEnterClickWithoutOpeningTheList) {
    EditorOnForm<TcvInplaceMRUEdit> w(TStandaloneClass<TcvInplaceMRUEdit, TcvMRUEditClassOps>::Instance());
    SetItems(w.Edit, {"a"});
    int clicks = 0;
    w.Edit->OnButtonClick = [&](TObject*) { ++clicks; };
    const auto buttons = [&] {
        std::unique_ptr<TcvEditViewData> view = w.Edit->CreateViewData(false);
        TcvEditViewInfo info;
        w.Edit->EditorClass().CalcViewInfo(*view, false, info);
        return static_cast<TcvDropDownEditViewData&>(*view).ButtonCount;
    };
    EXPECT_EQ(buttons(), 2);
    Type(w.Edit, VK_RETURN, "\r", MK_CONTROL);
    EXPECT_EQ(clicks, 1);
    w.Edit->ButtonDown(false, 1);
    ProcessMessages();
    EXPECT_FALSE(w.Edit->DroppedDown());
    w.Edit->ReleaseButton();
    w.Edit->SetShowEllipsis(false);
    EXPECT_EQ(buttons(), 1);
}
