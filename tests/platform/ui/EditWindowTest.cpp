// The edit window under a control, as the editors use it: the control makes
// its window of the edit class through CreateParams and gets the class's
// procedure beneath its WndProc. Positions count characters, notifications
// come back to the control as CN_ messages, and an owner that paints its
// client area itself is what shows.
#include "UiTestSupport.h"
#include "WmRecorder.h"

#include "platform/ui/Clipbrd.h"
#include "platform/ui/EditWindow.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Painting.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace uitest;
using namespace platform_ui::test;

namespace {

constexpr COLORREF OwnerPaint = 0x0000FF; // red

// A control on an edit window, as an editor makes one. Reflected
// notifications go to Recorder; with PaintsItself its WM_PAINT fills the
// client area and does not pass the message on.
class TEditWindowControl : public TWinControl {
public:
    TEditWindowControl(TComponent* AOwner, DWORD Style) : TWinControl(AOwner), FStyle(Style) { SetTabStop(true); }

    WmRecorder* Recorder = nullptr;
    bool PaintsItself = false;
    CHARRANGE LastSelChange{-1, -1};

    void WndProc(TMessage& m) override {
        if ((m.Msg == CN_COMMAND || m.Msg == CN_NOTIFY) && Recorder)
            Recorder->Records.push_back({Handle(), m.Msg, false, m.WParam, 0});
        if (m.Msg == CN_NOTIFY) LastSelChange = reinterpret_cast<const SELCHANGE*>(m.LParam)->chrg;
        if (m.Msg == WM_PAINT && PaintsItself) {
            TPaintStruct ps;
            HDC dc = BeginPaint(Handle(), ps);
            TRect r = ClientRect();
            HBRUSH brush = CreateSolidBrush(OwnerPaint);
            FillRect(dc, &r, brush);
            DeleteObject(brush);
            EndPaint(Handle(), ps);
            return;
        }
        TWinControl::WndProc(m);
    }

protected:
    void CreateParams(TCreateParams& Params) override {
        TWinControl::CreateParams(Params);
        Params.WinClassName = EditWindowClassName;
        Params.Style |= FStyle;
    }

private:
    DWORD FStyle;
};

class EditWindowTest : public ::testing::Test {
protected:
    ~EditWindowTest() override { delete Form; }

    TEditWindowControl* Make(DWORD style = 0, const std::string& text = "") {
        if (!Form) {
            CreateFormInstance(Form, nullptr);
            Form->SetBounds(40, 40, 400, 300);
        }
        delete Edit;
        auto* control = new TEditWindowControl(Form, style);
        control->SetParent(Form);
        control->SetBounds(8, 8, 300, (style & ES_MULTILINE) ? 200 : 24);
        control->SetText(text);
        Form->Show();
        control->SetFocus();
        PumpQt(20);
        ProcessMessages();
        Edit = control;
        return control;
    }

    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessage(Edit->Handle(), msg, w, l); }
    CHARRANGE GetSel() {
        CHARRANGE r;
        Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    void SetSel(int anchor, int caret) {
        CHARRANGE r{anchor, caret};
        Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    }
    std::string SelText() {
        std::string s;
        Send(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(&s));
        return s;
    }
    std::string Text() { return GetWindowText(Edit->Handle()); }
    void Commit(const std::string& text) {
        SendQtInputMethodCommit(Edit->Handle(), text);
        ProcessMessages();
    }

    TForm* Form = nullptr;
    TEditWindowControl* Edit = nullptr;
};

} // namespace

TEST_F(EditWindowTest, ControlMadeOfTheClassHandlesItsMessagesAboveTheClassProcedure) {
    Make(0, "中文");
    EXPECT_EQ(GetClassName(Edit->Handle()), EditWindowClassName);
    EXPECT_EQ(Edit->Text(), "中文") << "the control's text is the window's";
    Edit->SetText("第一");
    GETTEXTLENGTHEX how;
    EXPECT_EQ(Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how)), 2);
    EXPECT_EQ(Send(EM_SETTEXTMODE, 1), 0);
}

struct SelectionCase {
    const char* What;
    DWORD Style;
    const char* Text;
    CHARRANGE Set;
    CHARRANGE Expected;
    int Caret;
    const char* Selected;
};

TEST_F(EditWindowTest, SelectionCountsCharactersAndKeepsTheCaretAtTheActiveEnd) {
    const SelectionCase cases[] = {
        {"Chinese one each", 0, "中文abc", {1, 4}, {1, 4}, 4, "文ab"},
        {"(0, -1) selects all", 0, "中文abc", {0, -1}, {0, 5}, 5, "中文abc"},
        {"anchor at the right", 0, "中文abc", {3, 2}, {2, 3}, 2, "a"},
        {"beyond the end clips", 0, "中文", {9, 12}, {2, 2}, 2, ""},
        {"surrogate pair is one",
         0,
         "\xF0\xA0\x80\x80"
         "a",
         {1, 2},
         {1, 2},
         2,
         "a"},
        {"line break counts one", ES_MULTILINE, "第一行\r\n第二行", {2, 5}, {2, 5}, 5, "行\r\n第"},
    };
    for (const auto& c : cases) {
        Make(c.Style, c.Text);
        SetSel(c.Set.cpMin, c.Set.cpMax);
        const CHARRANGE r = GetSel();
        EXPECT_EQ(r.cpMin, c.Expected.cpMin) << c.What;
        EXPECT_EQ(r.cpMax, c.Expected.cpMax) << c.What;
        EXPECT_EQ(EditWindowCaretIndex(Edit->Handle()), c.Caret) << c.What;
        EXPECT_EQ(SelText(), c.Selected) << c.What;
    }
}

TEST_F(EditWindowTest, SetSelPutsTheCaretAfterTheTextAndCountsLengthWithOrWithoutCrLf) {
    Make(ES_MULTILINE | ES_AUTOHSCROLL, "第一行\r\n第二行");
    Send(EM_SETSEL, 0x7FFFFFFF, -1);
    EXPECT_EQ(GetSel().cpMin, 7);
    EXPECT_EQ(GetSel().cpMax, 7);
    GETTEXTLENGTHEX plain, crlf{GTL_USECRLF, 0};
    EXPECT_EQ(Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&plain)), 7);
    EXPECT_EQ(Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&crlf)), 8);
    EXPECT_EQ(Text(), "第一行\r\n第二行");
}

TEST_F(EditWindowTest, LineMessagesReadLinesByCharacters) {
    Make(ES_MULTILINE | ES_AUTOHSCROLL, "第一行\r\n\r\nab");
    struct Row {
        UINT Msg;
        WPARAM WParam;
        LRESULT Expected;
    };
    const Row rows[] = {
        {EM_GETLINECOUNT, 0, 3}, {EM_LINEINDEX, 1, 4},    {EM_LINEINDEX, 2, 5},
        {EM_LINEINDEX, 3, -1},   {EM_LINELENGTH, 0, 3},   {EM_LINELENGTH, 4, 0},
        {EM_LINELENGTH, 6, 2},   {EM_LINEFROMCHAR, 6, 2}, {EM_LINEFROMCHAR, 3, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Send(row.Msg, row.WParam), row.Expected) << std::hex << row.Msg << " " << row.WParam;
    std::string line;
    EXPECT_EQ(Send(EM_GETLINE, 0, reinterpret_cast<LPARAM>(&line)), 3);
    EXPECT_EQ(line, "第一行");
    const std::string longLine(5000, 'x');
    Edit->SetText(longLine + "\r\ny");
    EXPECT_EQ(Send(EM_GETLINE, 0, reinterpret_cast<LPARAM>(&line)), 5000);
    EXPECT_EQ(line, longLine) << "a long line comes back whole";
}

TEST_F(EditWindowTest, UndoAndRedoGoBackAndForthOverSeveralEdits) {
    for (DWORD style : {DWORD{0}, ES_MULTILINE}) {
        Make(style);
        TypeText(Edit, "ab");
        Send(EM_SETSEL, 0, 0);
        Commit("中");
        ASSERT_EQ(Text(), "中ab");
        const std::vector<std::string> back = {"ab", ""};
        for (const auto& expected : back) {
            EXPECT_TRUE(Send(EM_CANUNDO));
            Send(EM_UNDO);
            EXPECT_EQ(Text(), expected) << style;
        }
        EXPECT_FALSE(Send(EM_CANUNDO)) << style;
        for (const auto& expected : {"ab", "中ab"}) {
            EXPECT_TRUE(Send(EM_CANREDO));
            Send(EM_REDO);
            EXPECT_EQ(Text(), expected) << style;
        }
        EXPECT_FALSE(Send(EM_CANREDO)) << style;
        Send(EM_EMPTYUNDOBUFFER);
        EXPECT_FALSE(Send(EM_CANUNDO)) << style;
        EXPECT_EQ(Text(), "中ab");
    }
}

TEST_F(EditWindowTest, TypingAndPastingStopAtTheLimitInCharacters) {
    struct Row {
        const char* What;
        const char* Start;
        CHARRANGE Selection;
        bool Paste;
        const char* Input;
        const char* Expected;
    };
    const Row rows[] = {
        {"typing fills up", "中文", {2, 2}, false, "abc", "中文a"},
        {"a commit is cut", "中", {1, 1}, false, "第一行", "中第一"},
        {"paste is cut", "中", {1, 1}, true, "xyz", "中xy"},
        {"paste over a selection", "中文a", {1, 2}, true, "XYZ", "中Xa"},
        {"full: nothing more", "abc", {3, 3}, true, "d", "abc"},
    };
    for (const auto& row : rows) {
        Make(0, row.Start);
        Send(EM_EXLIMITTEXT, 0, 3);
        SetSel(row.Selection.cpMin, row.Selection.cpMax);
        if (row.Paste) {
            Clipboard()->SetAsText(row.Input);
            Type(Edit, 'V', "", MK_CONTROL);
        } else if (std::string(row.Input).size() == 3) {
            TypeText(Edit, row.Input);
        } else {
            Commit(row.Input);
        }
        EXPECT_EQ(Text(), row.Expected) << row.What;
    }
}

TEST_F(EditWindowTest, EventMaskGatesTheNotificationsThatComeBackToTheControl) {
    struct Row {
        const char* What;
        DWORD Mask;
        std::function<void()> Action;
        std::vector<WmExpected> Expected;
    };
    const WPARAM change = static_cast<WPARAM>(MakeLParam(0, EN_CHANGE));
    const auto type = [this] { TypeText(Edit, "a"); };
    const Row rows[] = {
        {"typed: both", ENM_CHANGE | ENM_SELCHANGE, type, {Sent(CN_COMMAND, change), Sent(CN_NOTIFY)}},
        {"typed: change only", ENM_CHANGE, type, {Sent(CN_COMMAND, change)}},
        {"typed: selection only", ENM_SELCHANGE, type, {Sent(CN_NOTIFY)}},
        {"typed: none", 0, type, {}},
        {"set by code: the caret goes to the start",
         ENM_CHANGE | ENM_SELCHANGE,
         [this] { Edit->SetText("xy"); },
         {Sent(CN_COMMAND, change), Sent(CN_NOTIFY)}},
        {"selected by code", ENM_CHANGE | ENM_SELCHANGE, [this] { SetSel(0, -1); }, {Sent(CN_NOTIFY)}},
    };
    for (const auto& row : rows) {
        WmRecorder recorder;
        Make(0, "中");
        Send(EM_SETEVENTMASK, 0, static_cast<LPARAM>(row.Mask));
        SetSel(1, 1);
        Edit->Recorder = &recorder;
        row.Action();
        EXPECT_EQ(recorder.Records.size(), row.Expected.size()) << row.What;
        recorder.Expect(row.Expected, row.What);
        Edit->Recorder = nullptr;
    }
    Make(0, "中文");
    Send(EM_SETEVENTMASK, 0, ENM_SELCHANGE);
    SetSel(2, 1);
    EXPECT_EQ(Edit->LastSelChange.cpMin, 1);
    EXPECT_EQ(Edit->LastSelChange.cpMax, 2);
}

TEST_F(EditWindowTest, CaseStylesConvertTypedCharacters) {
    struct Row {
        DWORD Style;
        const char* Expected;
    };
    for (const auto& row : {Row{ES_UPPERCASE, "ABCD中"}, Row{ES_LOWERCASE, "abcd中"}, Row{0, "aBcD中"}}) {
        Make(row.Style);
        TypeText(Edit, "aBcD");
        Commit("中");
        EXPECT_EQ(Text(), row.Expected) << row.Style;
    }
}

TEST_F(EditWindowTest, ReadOnlyTakesNeitherTypingNorPasteUntilSwitchedOff) {
    Make(ES_READONLY, "ab");
    Send(EM_SETSEL, 2, 2);
    Clipboard()->SetAsText("x");
    TypeText(Edit, "c");
    Type(Edit, 'V', "", MK_CONTROL);
    EXPECT_EQ(Text(), "ab");
    Send(EM_SETREADONLY, 0);
    TypeText(Edit, "c");
    EXPECT_EQ(Text(), "abc");
}

TEST_F(EditWindowTest, PasswordCharKeepsTheTextFromTheClipboard) {
    Make(0, "secret");
    Send(EM_SETPASSWORDCHAR, U'●');
    Clipboard()->SetAsText("before");
    Send(EM_SETSEL, 0, -1);
    Send(WM_COPY);
    Type(Edit, 'C', "", MK_CONTROL);
    EXPECT_EQ(Clipboard()->AsText(), "before");
    EXPECT_EQ(Text(), "secret") << "the window still gives its text";
    Send(EM_SETPASSWORDCHAR, 0);
    Send(WM_COPY);
    EXPECT_EQ(Clipboard()->AsText(), "secret");
}

TEST_F(EditWindowTest, OwnerThatPaintsItselfIsWhatShowsUntilItPassesThePaintOn) {
    Make(0, "text");
    const int x = Edit->Width() / 2, y = Edit->Height() / 2;
    EXPECT_TRUE(EditWindowTextShown(Edit->Handle()));
    EXPECT_NE(RenderedPixel(Edit->Handle(), x, y), 0xFF0000u);
    Edit->PaintsItself = true;
    Edit->Invalidate();
    ProcessMessages();
    EXPECT_FALSE(EditWindowTextShown(Edit->Handle()));
    EXPECT_EQ(RenderedPixel(Edit->Handle(), x, y), 0xFF0000u) << "the owner's painting shows";
    Edit->PaintsItself = false;
    Edit->Invalidate();
    ProcessMessages();
    EXPECT_TRUE(EditWindowTextShown(Edit->Handle()));
    EXPECT_NE(RenderedPixel(Edit->Handle(), x, y), 0xFF0000u) << "the text widget shows again";
    Send(EM_SETSEL, 4, 4);
    TypeText(Edit, "s");
    EXPECT_EQ(Text(), "texts") << "and takes the keys";
}

TEST_F(EditWindowTest, BackgroundColourShowsInTheTextWidget) {
    Make(0, "");
    Send(EM_SETBKGNDCOLOR, 0, 0x00FF00);
    ProcessMessages();
    EXPECT_EQ(RenderedPixel(Edit->Handle(), Edit->Width() - 4, Edit->Height() / 2), 0x00FF00u);
}

TEST_F(EditWindowTest, CaretPositionFollowsTheCaretAndInputMethodsFollowImeMode) {
    Make(0, "abc");
    TPoint start, end;
    Send(EM_SETSEL, 0, 0);
    ASSERT_TRUE(GetCaretPos(start));
    Send(EM_SETSEL, 3, 3);
    ASSERT_TRUE(GetCaretPos(end));
    EXPECT_GT(end.X, start.X);
    EXPECT_TRUE(QtInputMethodEnabled());
    Edit->SetImeMode(imDisable);
    EXPECT_FALSE(QtInputMethodEnabled());
    Edit->SetImeMode(imDontCare);
    EXPECT_TRUE(QtInputMethodEnabled());
}
