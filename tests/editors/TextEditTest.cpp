// The text editor on a form and in a host: character case while typing,
// limits and state across window re-creation, whole selections, the context
// menu, and text cells painted and measured without a window.
#include "editors/TextEdit.h"

#include "platform/rtl/Utf8.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/EditWindow.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "tests/editors/EditorTestHost.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace uitest;
using namespace editortest;
using platform_ui::test::TMouseEventKind;

namespace {

// A text editor that offers its context menu to a right click, as one bound
// to data does.
class TMenuTextEdit : public TcvInplaceTextEdit {
public:
    using TcvInplaceTextEdit::TcvInplaceTextEdit;
    bool NeedsInputControl() override { return true; }
};

using TStandaloneText = TStandaloneClass<TcvInplaceTextEdit, TcvTextEditClassOps>;
using TStandaloneMenuText = TStandaloneClass<TMenuTextEdit, TcvTextEditClassOps>;

// A standalone text editor focused on a shown form.
struct TextEditOnForm : EditorOnForm<TcvInplaceTextEdit> {
    explicit TextEditOnForm(const TcvInplaceEditClass& Class = TStandaloneText::Instance()) : EditorOnForm(Class) {}
};

TEST(TextEdit, UpperCaseTypingCountsEachChangeButNotARecasing) {
    TextEditOnForm f;
    int changes = 0;
    f.Edit->OnChange = [&](TObject*) { ++changes; };
    f.Edit->SetCharCase(ecUpperCase);
    TypeText(f.Edit, "ab");
    SendMessage(f.Edit->Handle(), EM_SETSEL, 1, 1);
    Type(f.Edit, 0, "c");
    EXPECT_EQ(f.Edit->Text(), "ACB");
    EXPECT_EQ(f.Selection().cpMin, 2) << "the caret stays behind the typed letter";
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(f.Edit->GetModified());

    f.Edit->SetCharCase(ecLowerCase);
    EXPECT_EQ(f.Edit->Text(), "acb");
    EXPECT_EQ(changes, 3) << "re-casing the whole text is no change";
    EXPECT_TRUE(f.Edit->GetModified()) << "and keeps the flag";
    EXPECT_TRUE(platform_ui::test::QtInputMethodEnabled()) << "Chinese may be typed";
}

TEST(TextEdit, LimitAndStateSurviveWindowRecreation) {
    TextEditOnForm f;
    f.Edit->SetMaxLength(-5);
    EXPECT_EQ(f.Edit->MaxLength(), 0);
    f.Edit->SetMaxLength(3);
    TypeText(f.Edit, "abcd");
    EXPECT_EQ(f.Edit->Text(), "abc") << "typing stops at the limit";
    f.Edit->SetOEMConvert(true);
    EXPECT_EQ(f.Edit->Text(), "abc");
    EXPECT_TRUE(f.Edit->GetModified());
    f.Edit->SetFocus();
    ProcessMessages();
    Type(f.Edit, VK_END);
    TypeText(f.Edit, "d");
    EXPECT_EQ(f.Edit->Text(), "abc") << "the new window keeps the limit";

    f.Edit->SetEditValue(std::string("loaded"));
    EXPECT_EQ(SendMessage(f.Edit->Handle(), EM_CANUNDO), 0) << "a loaded value cannot be undone";
    f.Edit->CaretToEnd();
    EXPECT_EQ(f.Selection().cpMin, 6);
    EXPECT_EQ(f.Selection().cpMax, 6);
}

TEST(TextEdit, SelectionComesBackWholeHoweverLong) {
    TextEditOnForm f;
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "中文";
    text += "abc";
    f.Edit->SetText(text);
    f.Edit->SelectAllText();
    EXPECT_EQ(f.Edit->SelLength(), 6003);
    EXPECT_EQ(f.Edit->SelText(), text);
    std::string first;
    EXPECT_EQ(f.Edit->GetSelTextBuf(first, 3), 3);
    EXPECT_EQ(first, "中文中");
    f.Edit->SetSelStart(6000);
    f.Edit->SetSelLength(2);
    EXPECT_EQ(f.Edit->SelText(), "ab");
}

// Right-clicks the editor and answers which context-menu items were enabled.
std::map<std::string, bool> ContextMenuShown(TWinControl* Edit, TMenuItem** Root = nullptr) {
    std::map<std::string, bool> enabled;
    const TMenuTracker previous = SetMenuTracker([&](TMenuItem* parent, TPoint) -> TMenuItem* {
        if (Root) *Root = parent;
        for (int i = 0; i < parent->Count(); ++i)
            if (!parent->Items(i)->IsLine()) enabled[parent->Items(i)->Caption()] = parent->Items(i)->Enabled();
        return nullptr;
    });
    platform_ui::test::SendQtMouse(Edit->Handle(), TMouseEventKind::Press, {20, 8}, MK_RBUTTON, MK_RBUTTON);
    platform_ui::test::SendQtMouse(Edit->Handle(), TMouseEventKind::Release, {20, 8}, MK_RBUTTON, 0);
    ProcessMessages();
    SetMenuTracker(previous);
    return enabled;
}

TEST(TextEdit, ContextMenuOffersWhatTheEditorAllows) {
    struct Case {
        const char* What;
        char32_t PasswordChar;
        bool ReadOnly;
        bool Selected;
        std::map<std::string, bool> Enabled;
    };
    const Case cases[] = {
        {"a selection",
         0,
         false,
         true,
         {{"&Undo", false},
          {"&Redo", false},
          {"Cu&t", true},
          {"&Copy", true},
          {"&Paste", true},
          {"&Delete", true},
          {"Select &All", true}}},
        {"a password hides cut and copy",
         U'*',
         false,
         true,
         {{"&Undo", false},
          {"&Redo", false},
          {"Cu&t", false},
          {"&Copy", false},
          {"&Paste", true},
          {"&Delete", true},
          {"Select &All", true}}},
        {"read-only copies only",
         0,
         true,
         true,
         {{"&Undo", false},
          {"&Redo", false},
          {"Cu&t", false},
          {"&Copy", true},
          {"&Paste", false},
          {"&Delete", false},
          {"Select &All", true}}},
        {"all selected, after typing",
         0,
         false,
         false,
         {{"&Undo", true},
          {"&Redo", false},
          {"Cu&t", true},
          {"&Copy", true},
          {"&Paste", true},
          {"&Delete", true},
          {"Select &All", false}}},
    };
    for (const Case& c : cases) {
        TextEditOnForm f(TStandaloneMenuText::Instance());
        Clipboard()->SetAsText("paste me");
        f.Edit->SetPasswordChar(c.PasswordChar);
        f.Edit->SetReadOnly(c.ReadOnly);
        f.Edit->SetText("text");
        if (c.Selected) {
            SendMessage(f.Edit->Handle(), EM_SETSEL, 1, 3);
        } else {
            TypeText(f.Edit, "x");
            f.Edit->SelectAllText();
        }
        EXPECT_EQ(ContextMenuShown(f.Edit), c.Enabled) << c.What;
    }
}

TEST(TextEdit, APanelsPopupMenuWinsOverTheEditorsOwn) {
    TextEditOnForm f(TStandaloneMenuText::Instance());
    auto* menu = new TPopupMenu(f.Form);
    auto* item = new TMenuItem(menu);
    item->SetCaption("面板");
    menu->Items()->Add(item);
    f.Panel->SetPopupMenu(menu);
    TMenuItem* shown = nullptr;
    ContextMenuShown(f.Edit, &shown);
    EXPECT_EQ(shown, menu->Items());
}

// Pixels of a cell image as a string, to compare two paintings.
std::string Pixels(HDC DC, int Width, int Height) {
    std::string all;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            all += std::to_string(GetPixel(DC, x, y)) + ",";
    return all;
}

class TextCell : public CellImage {
protected:
    TextCell() { Width = 120; }
    ~TextCell() override { DeleteObject(Font); }
    std::unique_ptr<TcvTextEditViewData> Cell(const std::string& Value) {
        std::unique_ptr<TcvEditViewData> base = TcvInplaceTextEdit::StaticClass().CreateViewData();
        std::unique_ptr<TcvTextEditViewData> cell(static_cast<TcvTextEditViewData*>(base.release()));
        cell->Bounds = {0, 0, Width, Height};
        cell->BorderStyle = xbsNone;
        cell->Brush = Blue;
        cell->BackgroundColor = 0xFF0000;
        cell->TextColor = 0x000000;
        cell->Font = Font;
        cell->Value = Value;
        return cell;
    }
    std::string Paint(TcvTextEditViewData& Cell) {
        const TRect all{0, 0, Width, Height};
        FillRect(DC, &all, White);
        TcvInplaceTextEdit::StaticClass().DrawCell(DC, Cell, nullptr);
        return Pixels(DC, Width, Height);
    }
    HFONT Font = [] {
        LOGFONT description;
        description.lfHeight = 13;
        description.lfFaceName = "宋体";
        return CreateFontIndirect(description);
    }();
};

TEST_F(TextCell, PaintsTheTextAsTheEditorWouldShowIt) {
    struct Case {
        const char* What;
        const char* Value;
        TEditCharCase CharCase;
        char32_t PasswordChar;
        int TextLength;
        const char* LooksLike;
    };
    const Case cases[] = {
        {"upper case", "abc", ecUpperCase, 0, 0, "ABC"},
        {"lower case", "ABC", ecLowerCase, 0, 0, "abc"},
        {"a password character per character", "密码ab", ecNormal, U'*', 0, "****"},
        {"the first n characters", "abcdef", ecNormal, 0, 2, "ab"},
    };
    const int windowsBefore = CountWindows();
    for (const Case& c : cases) {
        std::unique_ptr<TcvTextEditViewData> cell = Cell(c.Value);
        cell->CharCase = c.CharCase;
        cell->PasswordChar = c.PasswordChar;
        cell->TextLength = c.TextLength;
        std::unique_ptr<TcvTextEditViewData> expected = Cell(c.LooksLike);
        EXPECT_EQ(Paint(*cell), Paint(*expected)) << c.What;
        EXPECT_NE(Paint(*cell), Paint(*Cell(""))) << c.What << ": some text shows";
    }
    EXPECT_EQ(CountWindows(), windowsBefore) << "painting cells makes no window";
}

TEST_F(TextCell, NoFillLeavesTheBackground) {
    std::unique_ptr<TcvTextEditViewData> cell = Cell("");
    Paint(*cell);
    EXPECT_EQ(GetPixel(DC, 60, 15), 0xFF0000u) << "filled with the brush";
    cell->UnfocusedHighlight = true;
    Paint(*cell);
    EXPECT_EQ(GetPixel(DC, 60, 15), 0xFFFFFFu) << "no fill";
}

TEST_F(TextCell, MeasuresWrappedLinesWithoutPainting) {
    struct Case {
        const char* What;
        const char* Value;
        int VerticalTextMode;
        int Lines; // 0: more than one, as the font decides
    };
    const Case cases[] = {
        {"one line", "abc", 0, 1},
        {"three lines by their breaks", "第一行\r\n第二行\r\n第三行", 3, 3},
        {"a long line wrapped at the cell's width", "alpha beta gamma delta epsilon zeta eta theta", 3, 0},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TcvTextEditViewData> cell = Cell(c.Value);
        cell->VerticalTextMode = c.VerticalTextMode;
        cell->MeasureRequest = true;
        const std::string before = Pixels(DC, Width, Height);
        TcvEditViewInfo info;
        TcvInplaceTextEdit::StaticClass().CalcViewInfo(*cell, false, info);
        EXPECT_TRUE(TcvInplaceTextEdit::StaticClass().DrawContent(DC, info.Content, *cell));
        EXPECT_EQ(Pixels(DC, Width, Height), before) << c.What << ": nothing painted";
        EXPECT_GT(cell->LineHeight, 0) << c.What;
        if (c.Lines > 0)
            EXPECT_EQ(cell->LineCount, c.Lines) << c.What;
        else
            EXPECT_GT(cell->LineCount, 1) << c.What;
        EXPECT_EQ(cell->TextHeight, cell->LineCount * cell->LineHeight) << c.What;
    }
}

} // namespace
