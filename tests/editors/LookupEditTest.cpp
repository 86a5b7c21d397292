// The lookup editor over a code table: its list, its search by list text,
// its stepping through the keys, and the editor itself in a host and on a form.
#include "editors/LookupEdit.h"
#include "editors/DBEdtr.h"
#include "tests/editors/EditorTestHost.h"

#include "platform/data/DB.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/EditWindow.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tests/support/ScratchQuery.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace uitest;
using namespace editortest;
using platform_ui::test::SendQtInputMethodCommit;

namespace {

// The code table the acceptance documents look their categories up in.
struct CodeTable {
    TScratchFolder Folder;
    std::string File = Folder / "codes.mdb";
    std::unique_ptr<TADOConnection> Connection;
    std::unique_ptr<TADOQuery> Codes;

    CodeTable() {
        RunSql(File, "create table CODES (CODE varchar(4) primary key, NAME varchar(40));"
                     "insert into CODES values ('01', '重点科技攻关'), ('02', '软科学研究'),"
                     " ('03', '科技型中小企业创新');");
        Connection = Connect(File);
        Codes = OpenQuery(Connection.get(), "select * from CODES order by CODE");
    }
    std::string CurrentCode() const { return Codes->FieldByName("CODE")->AsString(); }
};

TEST(LookupList, SearchFindsTheFirstNameWithThePrefix) {
    const struct {
        const char* Text;
        bool Found;
        const char* Code;
    } cases[] = {
        {"软", true, "02"},  {"科技", true, "03"}, {"重点科技攻关", true, "01"},
        {"科学", false, ""}, // inside a name, not at its start
        {"", true, "01"},
    };
    CodeTable t;
    for (const auto& c : cases) {
        EXPECT_EQ(cvLookupList::LocateByText(t.Codes.get(), "NAME", c.Text), c.Found) << c.Text;
        if (c.Found) {
            EXPECT_EQ(t.CurrentCode(), c.Code) << c.Text;
        }
    }
    EXPECT_FALSE(cvLookupList::LocateByText(t.Codes.get(), "NOSUCHFIELD", "软")) << "a failing search finds nothing";
}

TEST(LookupList, StepMovesFromTheKeyOrStartsAtTheFirstRecord) {
    const struct {
        Variant Key;
        int Delta;
        const char* Code;
    } cases[] = {
        {"01", 1, "02"},  {"02", -1, "01"}, {"03", 1, "03"}, // the last record stays
        {"01", -1, "01"}, {"99", 1, "01"},  {Null(), 1, "01"},
    };
    CodeTable t;
    for (const auto& c : cases) {
        t.Codes->Last();
        cvLookupList::StepFromKey(t.Codes.get(), "CODE", c.Key, c.Delta);
        EXPECT_EQ(t.CurrentCode(), c.Code) << VarToStr(c.Key) << " " << c.Delta;
    }
    EXPECT_EQ(cvLookupList::TextForKey(t.Codes.get(), "CODE", "NAME", "02"), "软科学研究");
    EXPECT_EQ(cvLookupList::TextForKey(t.Codes.get(), "CODE", "NAME", "99"), "");
    EXPECT_EQ(cvLookupList::FirstFieldName(" NAME ;CODE"), "NAME");
}

TEST(LookupList, TheFrameAndShadowAddToTheRows) {
    const struct {
        TcvPopupBorder Border;
        bool Shadow;
        int Frame;
    } cases[] = {
        {pbSingle, false, 2},
        {pbFrame3D, false, 8},
        {pbFlat, false, 4},
        {pbFlat, true, 6},
    };
    for (const auto& c : cases) {
        TPopupDBLookupListBox list(nullptr);
        list.SetRowCount(3);
        list.SetBorderStyle(c.Border);
        list.SetShadow(c.Shadow);
        list.SetBounds(10, 10, 100, list.Height());
        EXPECT_EQ(list.Height(), 3 * list.RowHeight() + c.Frame) << c.Border;
        list.HandleNeeded();
        EXPECT_EQ(list.ClientHeight(), 3 * list.RowHeight()) << c.Border;
        const DWORD exStyle = static_cast<DWORD>(GetWindowLong(list.Handle(), GWL_EXSTYLE));
        EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
        EXPECT_FALSE(GetWindowLong(list.Handle(), GWL_STYLE) & WS_BORDER);
    }
}

// A document row whose CODE the lookup field CODENAME shows by name.
struct DocumentTable : CodeTable {
    TADOQuery Doc{nullptr};
    TIntegerField Id{nullptr};
    TStringField Code{nullptr};
    TStringField Name{nullptr};
    DocumentTable() {
        RunSql(File, "create table DOC (ID integer primary key, CODE varchar(4)); insert into DOC values (1, '01');");
        Doc.SetConnection(Connection.get());
        Doc.SQL()->SetText("select * from DOC");
        Id.SetFieldName("ID");
        Code.SetFieldName("CODE");
        Name.SetFieldName("CODENAME");
        Name.SetFieldKind(fkLookup);
        Name.SetLookupDataSet(Codes.get());
        Name.SetLookupKeyFields("CODE");
        Name.SetLookupResultField("NAME");
        Name.SetKeyFields("CODE");
        for (TField* f : {static_cast<TField*>(&Id), static_cast<TField*>(&Code), static_cast<TField*>(&Name)})
            f->SetDataSet(&Doc);
        Doc.Open();
    }
    ~DocumentTable() { Doc.Close(); }
};

TEST(LookupKey, ModifiableOnlyWhenTheKeyFieldIs) {
    DocumentTable t;
    EXPECT_TRUE(cvDBEdtr::CanModifyLookupKey(&t.Name));
    t.Code.SetReadOnly(true);
    EXPECT_FALSE(cvDBEdtr::CanModifyLookupKey(&t.Name));
    t.Code.SetReadOnly(false);
    t.Name.SetKeyFields("NOSUCHFIELD");
    EXPECT_FALSE(cvDBEdtr::CanModifyLookupKey(&t.Name));
    TStringField loose(nullptr);
    EXPECT_FALSE(cvDBEdtr::CanModifyLookupKey(&loose)) << "a field without a dataset";
}

const std::map<std::string, std::string> Names = {
    {"", ""}, {"01", "重点科技攻关"}, {"02", "软科学研究"}, {"03", "科技型中小企业创新"}};

using TStandaloneLookup = TStandaloneClass<TcvInplaceLookupEdit, TcvDropDownEditClassOps>;

// A standalone editor on a form whose list is the code table; it holds its
// key itself (no field is bound) and starts on "01", all text selected.
struct LookupOnForm : CodeTable {
    TDataSource Source{nullptr};
    EditorOnForm<TcvInplaceLookupEdit> Form{TStandaloneLookup::Instance()};
    TcvInplaceLookupEdit* Edit = Form.Edit;

    LookupOnForm() {
        Source.SetDataSet(Codes.get());
        Edit->SetWidth(160);
        Edit->SetLocateKey(true);
        Edit->SetListSource(&Source);
        Edit->SetKeyFieldName("CODE");
        Edit->SetListFieldName("NAME");
        SetKey("01");
    }
    void SetKey(const Variant& Key) {
        Edit->SetLookupKeyValue(Key);
        Edit->SelectAllText();
    }
    std::string Key() const { return Edit->LookupKeyValue().IsNull() ? "" : VarToStr(Edit->LookupKeyValue()); }
    bool ListShown() const {
        return Edit->PopupList()->HandleAllocated() && IsWindowVisible(Edit->PopupList()->Handle());
    }
    // A click on the drop-down button, which sits at the right inside the frame.
    void ClickButton() {
        using platform_ui::test::TMouseEventKind;
        const TPoint at{Edit->Width() - 8, Edit->Height() / 2};
        platform_ui::test::SendQtMouse(Edit->Handle(), TMouseEventKind::Move, at, 0, 0);
        Click(Edit, at);
    }
};

TEST(LookupEdit, TheListOpensOnTheButtonAndOnTheKeysWhileTheFormStaysActive) {
    const struct {
        const char* How;
        void (*Open)(LookupOnForm&);
    } cases[] = {
        {"the button", [](LookupOnForm& w) { w.ClickButton(); }},
        {"Alt+Down", [](LookupOnForm& w) { Type(w.Edit, VK_DOWN, "", MK_ALT); }},
        {"F4", [](LookupOnForm& w) { Type(w.Edit, VK_F4); }},
    };
    for (const auto& c : cases) {
        LookupOnForm w;
        c.Open(w);
        ASSERT_TRUE(w.ListShown()) << c.How;
        EXPECT_EQ(VarToStr(w.Edit->PopupList()->KeyValue()), "01") << c.How << ": the list stands on the key";
        EXPECT_EQ(w.Edit->PopupList()->RowCount(), 3) << c.How << ": no more rows than records";
        const TPoint below = w.Edit->ClientToScreen({0, w.Edit->ClientHeight()});
        EXPECT_GE(w.Edit->PopupList()->Top(), below.Y) << c.How;
        EXPECT_EQ(GetActiveWindow(), w.Form.Form->Handle()) << c.How;
        EXPECT_EQ(GetFocus(), w.Edit->Handle()) << c.How;
        Type(w.Edit, VK_F4);
        EXPECT_FALSE(w.ListShown()) << c.How << ": F4 closes";
    }
}

TEST(LookupEdit, TypingSearchesTheNamesByPrefixAndShowsTheMatch) {
    const struct {
        const char* What;
        std::vector<std::string> Commits;
        const char* Key;
        int SearchLength; // the selection runs from here to the end
    } cases[] = {
        {"an input-method commit", {"软"}, "02", 1},
        {"a longer prefix", {"科技"}, "03", 2},
        {"a character that finds nothing is dropped", {"科", "x"}, "03", 1},
        {"nothing found keeps the value", {"x"}, "01", 0},
    };
    for (const auto& c : cases) {
        LookupOnForm w;
        EXPECT_TRUE(platform_ui::test::QtInputMethodEnabled()) << "names are typed in Chinese";
        for (const std::string& commit : c.Commits)
            SendQtInputMethodCommit(w.Edit->Handle(), commit);
        ProcessMessages();
        EXPECT_EQ(w.Key(), c.Key) << c.What;
        EXPECT_EQ(w.Edit->Text(), Names.at(c.Key)) << c.What;
        const CHARRANGE selection = w.Form.Selection();
        EXPECT_EQ(selection.cpMin, c.SearchLength) << c.What;
        EXPECT_EQ(selection.cpMax, static_cast<int>(Utf8Length(w.Edit->Text()))) << c.What;
        EXPECT_TRUE(w.ListShown()) << c.What << ": typing drops the list down";
        EXPECT_EQ(VarToStr(w.Edit->PopupList()->KeyValue()), c.Key) << c.What;
    }
}

TEST(LookupEdit, UpDownAndADoubleClickStepTheKeyWithoutTheList) {
    const struct {
        const char* From;
        Word Key;
        const char* To;
    } cases[] = {
        {"01", VK_DOWN, "02"}, {"02", VK_UP, "01"},    {"03", VK_DOWN, "03"}, // the last record stays
        {"01", VK_NEXT, "03"}, {"03", VK_PRIOR, "01"}, {"", VK_DOWN, "01"},
    };
    LookupOnForm w;
    for (const auto& c : cases) {
        w.SetKey(*c.From ? Variant(c.From) : Null());
        Type(w.Edit, c.Key);
        EXPECT_EQ(w.Key(), c.To) << c.From << " " << c.Key;
        EXPECT_EQ(w.Edit->Text(), Names.at(c.To));
        EXPECT_FALSE(w.ListShown());
    }
    w.SetKey("01");
    w.Edit->SetRevertable(true);
    platform_ui::test::SendQtMouse(w.Edit->Handle(), platform_ui::test::TMouseEventKind::DoubleClick, {10, 5},
                                   MK_LBUTTON, MK_LBUTTON);
    platform_ui::test::SendQtMouse(w.Edit->Handle(), platform_ui::test::TMouseEventKind::Release, {10, 5},
                                   MK_LBUTTON, 0);
    ProcessMessages();
    EXPECT_EQ(w.Key(), "02") << "a revertable editor steps on a double click";
}

// Closed, the wheel steps the value; open, it scrolls the list by one row
// and the list's selection stays.
TEST(LookupEdit, TheWheelStepsTheValueOrScrollsTheOpenList) {
    LookupOnForm w;
    const auto turn = [&](int Delta) {
        platform_ui::test::SendQtWheel(w.Edit->Handle(), {5, 5}, Delta);
        ProcessMessages();
    };
    turn(-WHEEL_DELTA);
    EXPECT_EQ(w.Key(), "02");
    turn(WHEEL_DELTA);
    EXPECT_EQ(w.Key(), "01");

    w.Edit->SetDropDownRows(2);
    Type(w.Edit, VK_F4);
    ASSERT_TRUE(w.ListShown());
    const HWND list = w.Edit->PopupList()->Handle();
    const int firstRow = w.Edit->PopupList()->RowHeight() / 2 + 4; // inside the frame
    // Near the right of the rows, short of the scroll bar.
    TRect frame;
    GetWindowRect(list, frame);
    const int rowsRight =
        w.Edit->PopupList()->ClientToScreen({w.Edit->PopupList()->ClientWidth() - 4, 0}).X - frame.Left;
    const auto firstRowHighlighted = [&] {
        UpdateWindow(list);
        const COLORREF highlight = ColorToRGB(clHighlight);
        return platform_ui::test::BackingPixel(list, rowsRight, firstRow) ==
               static_cast<uint32_t>((GetRValue(highlight) << 16) | (GetGValue(highlight) << 8) | GetBValue(highlight));
    };
    EXPECT_TRUE(firstRowHighlighted());
    turn(-WHEEL_DELTA);
    EXPECT_FALSE(firstRowHighlighted()) << "the selected first record scrolled off";
    EXPECT_EQ(VarToStr(w.Edit->PopupList()->KeyValue()), "01");
    EXPECT_EQ(w.Key(), "01");
    EXPECT_TRUE(w.ListShown());
}

TEST(LookupEdit, EnterTakesTheListSelectionAndEscapeKeepsTheValue) {
    const struct {
        Word Key;
        const char* Text;
        bool Accept;
        const char* Kept;
    } cases[] = {{VK_RETURN, "\r", true, "02"}, {VK_ESCAPE, "\x1b", false, "01"}};
    for (const auto& c : cases) {
        LookupOnForm w;
        std::vector<std::string> closes;
        w.Edit->OnCloseUp = [&](TObject*, Variant& Value, bool& Accept) {
            closes.push_back(VarToStr(Value) + (Accept ? " taken" : " dropped"));
        };
        Type(w.Edit, VK_F4);
        Type(w.Edit, VK_DOWN);
        EXPECT_EQ(w.Key(), "01") << "moving in the list changes no value";
        Type(w.Edit, c.Key, c.Text);
        EXPECT_FALSE(w.ListShown());
        EXPECT_EQ(closes, std::vector<std::string>{std::string("02") + (c.Accept ? " taken" : " dropped")});
        EXPECT_EQ(w.Key(), c.Kept);
        EXPECT_EQ(w.Edit->Text(), Names.at(c.Kept)) << "no character follows the choice";
        EXPECT_EQ(w.Form.Selection().cpMin, 0);
    }
}

TEST(LookupEdit, ClearingTheValue) {
    const struct {
        const char* What;
        bool CanDeleteText;
        const char* Commit; // a search run first
        Word Press;
        const char* Text;
        WPARAM Keys;
        const char* Key;
    } cases[] = {
        {"Backspace over all with CanDeleteText", true, "", VK_BACK, "\b", 0, ""},
        {"Delete over all with CanDeleteText", true, "", VK_DELETE, "", 0, ""},
        {"Backspace over all without it", false, "", VK_BACK, "\b", 0, "01"},
        {"Backspace shortens a running search", false, "科技", VK_BACK, "\b", 0, "03"},
        {"Backspace empties a one-character search", true, "软", VK_BACK, "\b", 0, ""},
        {"the clear key", false, "", VK_DELETE, "", MK_CONTROL, ""},
    };
    for (const auto& c : cases) {
        LookupOnForm w;
        w.Edit->SetCanDeleteText(c.CanDeleteText);
        w.Edit->SetClearKey(ShortCut(VK_DELETE, {ssCtrl}));
        if (*c.Commit) SendQtInputMethodCommit(w.Edit->Handle(), c.Commit);
        ProcessMessages();
        Type(w.Edit, c.Press, c.Text, c.Keys);
        EXPECT_EQ(w.Key(), c.Key) << c.What;
        EXPECT_EQ(w.Edit->Text(), Names.at(c.Key)) << c.What;
    }
}

// In a host the editor stands for a lookup field: a choice writes the key
// field of the host's record, and the post stores it.
TEST(LookupEdit, AChoiceInAHostWritesTheKeyFieldThatThePostStores) {
    DocumentTable t;
    HostedEditor h(TcvInplaceLookupEdit::StaticClass());
    auto* edit = static_cast<TcvInplaceLookupEdit*>(h.Editor);
    edit->SetLookupField(&t.Name);
    EXPECT_FALSE(edit->ReadOnly());
    EXPECT_THROW(edit->SetKeyFieldName("CODE"), EDatabaseError) << "the lookup field defines the list";
    EXPECT_THROW(edit->SetListSource(nullptr), EDatabaseError);
    t.Doc.Edit();
    h.Open(t.Name.DisplayText());
    SendQtInputMethodCommit(edit->Handle(), "软");
    ProcessMessages();
    EXPECT_EQ(t.Code.AsString(), "02");
    EXPECT_EQ(edit->Text(), "软科学研究");
    EXPECT_TRUE(edit->GetModified());
    t.Doc.Post();
    EXPECT_EQ(QueryText(t.File, "select CODE from DOC"), "02");

    t.Code.SetReadOnly(true);
    EXPECT_TRUE(edit->ReadOnly()) << "a key that cannot be written makes the editor read-only";
    SendQtInputMethodCommit(edit->Handle(), "重");
    ProcessMessages();
    EXPECT_EQ(t.Code.AsString(), "02");
}

} // namespace
