// Standard controls on native Qt widgets: typed input reaches the widget only
// through the window's procedure chain, so a subclass can swallow or change it.
#include "UiTestSupport.h"
#include "WmRecorder.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

namespace {

using namespace platform_ui::test;

class WmWindowHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered =
            RegisterTestEditClass("WmTestEdit") && RegisterTestEditClass("WmTestReadOnlyEdit", true);
        (void)registered;
        ProcessMessages();
        Form = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 100));
        Edit = CreateWindowEx(0, "WmTestEdit", "", WS_CHILD | WS_VISIBLE, 10, 10, 120, 24, Form);
        ASSERT_NE(Edit, nullptr);
        SetFocus(Edit);
    }
    void TearDown() override {
        DestroyWindow(Edit);
        SetFocus(nullptr);
        ProcessMessages();
    }
    void Type(Word key, const char* text) {
        SendQtKey(Edit, key, 0, text);
        ProcessMessages();
    }
    WmRecorder Recorder;
    HWND Form = nullptr;
    HWND Edit = nullptr;
};

TEST_F(WmWindowHostTest, TypedKeysPassTheChainBeforeTheWidget) {
    std::vector<WPARAM> chars;
    TWindowProcedureId id = 0;
    id = PushWindowProc(Edit, [&](HWND h, TMessage& m) {
        if (m.Msg == WM_CHAR) {
            chars.push_back(m.WParam);
            if (m.WParam == 'x') return;         // swallowed
            if (m.WParam == 'a') m.WParam = 'A'; // changed on the way
        }
        CallNextWindowProc(h, id, m);
    });
    Type('A', "a");
    Type('X', "x");
    Type('B', "b");
    EXPECT_EQ(TestEditText(Edit), "Ab");
    EXPECT_EQ(chars, (std::vector<WPARAM>{'a', 'x', 'b'}));

    SendQtInputMethodCommit(Edit, "中文");
    ProcessMessages();
    EXPECT_EQ(TestEditText(Edit), "Ab中文");
    RemoveWindowProc(Edit, id);
}

TEST_F(WmWindowHostTest, BackspaceActsAtItsCharacterAndNavigationAtKeyDown) {
    Type('A', "a");
    Type('B', "b");
    TWindowProcedureId id = 0;
    bool blockBackspace = true;
    id = PushWindowProc(Edit, [&](HWND h, TMessage& m) {
        if (m.Msg == WM_CHAR && m.WParam == 8 && blockBackspace) return;
        CallNextWindowProc(h, id, m);
    });
    Type(VK_BACK, "\b");
    EXPECT_EQ(TestEditText(Edit), "ab") << "the character was swallowed, so nothing was deleted";
    blockBackspace = false;
    Type(VK_LEFT, "");
    Type(VK_BACK, "\b");
    EXPECT_EQ(TestEditText(Edit), "b") << "the caret moved left first";
    RemoveWindowProc(Edit, id);
}

TEST_F(WmWindowHostTest, ClickingAStandardControlTakesTheFocus) {
    SetFocus(Form);
    SendQtMouse(Edit, TMouseEventKind::Press, {5, 5}, MK_LBUTTON, MK_LBUTTON);
    SendQtMouse(Edit, TMouseEventKind::Release, {5, 5}, MK_LBUTTON, 0);
    ProcessMessages();
    EXPECT_EQ(GetFocus(), Edit);
}

bool IsKeyboardInput(UINT msg) {
    return msg >= WM_KEYDOWN && msg <= WM_SYSCHAR;
}

// Records the key messages a window gets and refuses one that arrives while
// another is still being handled, which ends a loop before it overflows.
class KeyMessageLog {
public:
    explicit KeyMessageLog(HWND wnd) : Wnd(wnd) {
        Id = PushWindowProc(Wnd, [this](HWND h, TMessage& m) {
            if (!IsKeyboardInput(m.Msg)) return CallNextWindowProc(h, Id, m);
            Arrived.push_back(m.Msg);
            if (Depth > 0) {
                Nested = true;
                return;
            }
            ++Depth;
            CallNextWindowProc(h, Id, m);
            --Depth;
        });
    }
    ~KeyMessageLog() { RemoveWindowProc(Wnd, Id); }
    std::vector<UINT> Arrived;
    bool Nested = false;

private:
    HWND Wnd;
    TWindowProcedureId Id = 0;
    int Depth = 0;
};

// A key the widget leaves alone (Enter in a line edit, a letter in a read-only
// one, Alt and a letter) Qt hands on to the form's widget; it has been a
// message once and must not become one again.
TEST_F(WmWindowHostTest, KeysTheWidgetIgnoresAreNotTranslatedAgain) {
    struct Case {
        const char* What;
        const char* Class;
        Word Key;
        WPARAM Keys;
        const char* Text;
        std::vector<UINT> Messages;
        const char* EditText;
    };
    const std::vector<UINT> typed{WM_KEYDOWN, WM_CHAR, WM_KEYUP};
    const Case cases[] = {
        {"letter", "WmTestEdit", 'A', 0, "a", typed, "a"},
        {"Enter", "WmTestEdit", VK_RETURN, 0, "\r", typed, ""},
        {"letter, read-only", "WmTestReadOnlyEdit", 'A', 0, "a", typed, ""},
        {"Alt+letter", "WmTestEdit", 'A', MK_ALT, "a", {WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        HWND edit = CreateWindowEx(0, c.Class, "", WS_CHILD | WS_VISIBLE, 10, 40, 120, 24, Form);
        ASSERT_NE(edit, nullptr);
        SetFocus(edit);
        {
            KeyMessageLog log(edit);
            Recorder.Clear();
            SendQtKey(edit, c.Key, c.Keys, c.Text);
            ProcessMessages();
            EXPECT_FALSE(log.Nested);
            EXPECT_EQ(log.Arrived, c.Messages);
            for (const WmRecord& r : Recorder.Records)
                EXPECT_FALSE(IsKeyboardInput(r.Msg)) << "the form got message " << r.Msg;
            EXPECT_EQ(TestEditText(edit), c.EditText);
        }
        DestroyWindow(edit);
    }
}

// A drop-down list takes its keys through the control's window: key-ups (which
// it ignores) once, Alt+Down opens it, and Alt+F4 still closes the form.
TEST(WmWindowHostControls, DropDownListGetsItsKeysOnce) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetBounds(10, 10, 300, 200);
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(8, 8, 150, 21);
    combo->SetStyle(csDropDownList);
    combo->Items()->Add("one");
    combo->Items()->Add("two");
    combo->SetItemIndex(0);
    bool closed = false;
    form->OnClose = [&](TObject*, TCloseAction& action) {
        closed = true;
        action = caHide;
    };
    form->Show();
    combo->SetFocus();
    {
        KeyMessageLog log(combo->Handle());
        uitest::Type(combo, VK_DOWN);
        EXPECT_FALSE(log.Nested);
        EXPECT_EQ(log.Arrived, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP}));
    }
    EXPECT_EQ(combo->ItemIndex(), 1);
    uitest::Type(combo, VK_DOWN, "", MK_ALT);
    EXPECT_TRUE(combo->DroppedDown());
    combo->SetDroppedDown(false);
    uitest::Type(combo, VK_F4, "", MK_ALT);
    EXPECT_TRUE(closed);
    delete form;
}

} // namespace
