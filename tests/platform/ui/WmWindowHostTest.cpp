// Standard controls on native Qt widgets: typed input reaches the widget only
// through the window's procedure chain, so a subclass can swallow or change it.
#include "WmRecorder.h"

#include "platform/ui/Focus.h"

namespace {

using namespace platform_ui::test;

constexpr int QtKeyA = 0x41;
constexpr int QtKeyB = 0x42;
constexpr int QtKeyX = 0x58;
constexpr int QtKeyBackspace = 0x01000003;
constexpr int QtKeyLeft = 0x01000012;

class WmWindowHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered = RegisterTestEditClass("WmTestEdit");
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
    void Type(int key, const char* text) {
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
    Type(QtKeyA, "a");
    Type(QtKeyX, "x");
    Type(QtKeyB, "b");
    EXPECT_EQ(TestEditText(Edit), "Ab");
    EXPECT_EQ(chars, (std::vector<WPARAM>{'a', 'x', 'b'}));

    SendQtInputMethodCommit(Edit, "中文");
    ProcessMessages();
    EXPECT_EQ(TestEditText(Edit), "Ab中文");
    RemoveWindowProc(Edit, id);
}

TEST_F(WmWindowHostTest, BackspaceActsAtItsCharacterAndNavigationAtKeyDown) {
    Type(QtKeyA, "a");
    Type(QtKeyB, "b");
    TWindowProcedureId id = 0;
    bool blockBackspace = true;
    id = PushWindowProc(Edit, [&](HWND h, TMessage& m) {
        if (m.Msg == WM_CHAR && m.WParam == 8 && blockBackspace) return;
        CallNextWindowProc(h, id, m);
    });
    Type(QtKeyBackspace, "\b");
    EXPECT_EQ(TestEditText(Edit), "ab") << "the character was swallowed, so nothing was deleted";
    blockBackspace = false;
    Type(QtKeyLeft, "");
    Type(QtKeyBackspace, "\b");
    EXPECT_EQ(TestEditText(Edit), "b") << "the caret moved left first";
    RemoveWindowProc(Edit, id);
}

TEST_F(WmWindowHostTest, ClickingAStandardControlTakesTheFocus) {
    SetFocus(Form);
    SendQtMouse(Edit, 1, {5, 5}, 1, 1);
    SendQtMouse(Edit, 2, {5, 5}, 1, 0);
    ProcessMessages();
    EXPECT_EQ(GetFocus(), Edit);
}

} // namespace
