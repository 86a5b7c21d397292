// Qt input as window messages: keys with their codes and lParam bits, one
// WM_CHAR per character of an input-method commit after the composition start
// is sent, mouse messages in client coordinates after WM_SETCURSOR, double
// clicks, the wheel, the context menu, entering and leaving, WM_MOUSEACTIVATE before a press on an inactive window,
// and the dialog-key and key-message hooks.
#include "WmRecorder.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Input.h"

namespace {

using namespace platform_ui::test;

class WmInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProcessMessages();
        Window = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 120, 90), nullptr, WS_EX_CLIENTEDGE,
                                 WmRecorder::DoubleClickClassName);
        SetFocus(Window);
        ProcessMessages();
        Recorder.Clear();
    }
    void TearDown() override {
        SetDialogKeyHook({});
        SetKeyMessageHook({});
        SetFocus(nullptr);
        ProcessMessages();
    }
    WmRecorder Recorder;
    HWND Window = nullptr;
};

struct KeyCase {
    const char* Name;
    Word Key;
    WPARAM Keys;
    const char* Text;
    UINT Down;
    Word Vk;
    std::vector<WPARAM> Chars;
    LPARAM RequiredBits;
};

TEST_F(WmInputTest, KeysBecomeKeyDownCharactersAndKeyUp) {
    const KeyCase cases[] = {
        {"letter", 'A', 0, "a", WM_KEYDOWN, 'A', {'a'}, 0},
        {"shifted letter", 'A', MK_SHIFT, "A", WM_KEYDOWN, 'A', {'A'}, 0},
        {"Alt+F", 'F', MK_ALT, "f", WM_SYSKEYDOWN, 'F', {'f'}, KF_ALTDOWN_BIT},
        {"Enter", VK_RETURN, 0, "\r", WM_KEYDOWN, VK_RETURN, {13}, 0},
        {"Delete has no character", VK_DELETE, 0, "\x7f", WM_KEYDOWN, VK_DELETE, {}, KF_EXTENDED_BIT},
        {"arrow", VK_LEFT, 0, "", WM_KEYDOWN, VK_LEFT, {}, KF_EXTENDED_BIT},
        // Qt names the key after the shifted symbol; its code stays the digit's.
        {"Shift+1", '1', MK_SHIFT, "!", WM_KEYDOWN, '1', {'!'}, 0},
        {"Shift+9", '9', MK_SHIFT, "(", WM_KEYDOWN, '9', {'('}, 0},
        {"Shift+8", '8', MK_SHIFT, "*", WM_KEYDOWN, '8', {'*'}, 0},
        {"Shift+[", VK_OEM_4, MK_SHIFT, "{", WM_KEYDOWN, VK_OEM_4, {'{'}, 0},
        {"letter with no key code", 0, 0, "ä", WM_KEYDOWN, VK_PACKET, {0xE4}, 0},
    };
    for (const KeyCase& c : cases) {
        Recorder.Clear();
        SendQtKey(Window, c.Key, c.Keys, c.Text);
        ProcessMessages();
        const UINT charMsg = c.Down == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
        const UINT up = c.Down == WM_SYSKEYDOWN ? WM_SYSKEYUP : WM_KEYUP;
        std::vector<WmExpected> expected{{c.Down, WmHow::Posted, c.Vk, std::nullopt, Window}};
        for (WPARAM ch : c.Chars)
            expected.push_back({charMsg, WmHow::Posted, ch, std::nullopt, Window});
        expected.push_back({up, WmHow::Posted, c.Vk, std::nullopt, Window});
        Recorder.Expect(expected, c.Name);
        const auto downs = Recorder.Of(c.Down);
        ASSERT_EQ(downs.size(), 1u) << c.Name;
        EXPECT_EQ(downs[0].LParam & c.RequiredBits, c.RequiredBits) << c.Name;
        EXPECT_EQ(downs[0].LParam & 0xFFFF, 1) << c.Name << ": repeat count";
        const auto ups = Recorder.Of(up);
        EXPECT_EQ(ups[0].LParam & KF_UP_BIT, KF_UP_BIT) << c.Name << ": transition bit";
    }
}

TEST_F(WmInputTest, InputMethodCommitSendsOneCharPerCharacter) {
    SendQtInputMethodCommit(Window, "中文ab𠀀");
    ProcessMessages();
    Recorder.Expect({{WM_CHAR, WmHow::Posted, 0x4E2D},
                     {WM_CHAR, WmHow::Posted, 0x6587},
                     {WM_CHAR, WmHow::Posted, 'a'},
                     {WM_CHAR, WmHow::Posted, 'b'},
                     {WM_CHAR, WmHow::Posted, 0x20000}},
                    "whole characters, not UTF-16 halves");
    EXPECT_TRUE(Recorder.Of(WM_KEYDOWN).empty());
}

struct CompositionCase {
    const char* Name;
    std::vector<std::pair<const char*, const char*>> Events; // pre-edit, commit
    std::vector<WmExpected> Expected;
};

TEST_F(WmInputTest, CompositionStartIsSentBeforeItsCharacters) {
    const CompositionCase cases[] = {
        {"commit without pre-edit", {{"", "中"}}, {Sent(WM_IME_STARTCOMPOSITION), Posted(WM_CHAR, 0x4E2D)}},
        {"pre-edit growing, then commit",
         {{"zh", ""}, {"zhong", ""}, {"", "中"}},
         {Sent(WM_IME_STARTCOMPOSITION), Posted(WM_CHAR, 0x4E2D)}},
        {"composition given up", {{"ma", ""}, {"", ""}}, {Sent(WM_IME_STARTCOMPOSITION)}},
        {"two compositions",
         {{"a", ""}, {"", "啊"}, {"b", ""}, {"", "吧"}},
         {Sent(WM_IME_STARTCOMPOSITION), Posted(WM_CHAR, 0x554A), Sent(WM_IME_STARTCOMPOSITION),
          Posted(WM_CHAR, 0x5427)}},
    };
    for (const CompositionCase& c : cases) {
        Recorder.Clear();
        for (const auto& [preedit, commit] : c.Events) {
            ASSERT_TRUE(SendQtInputMethodEvent(preedit, commit)) << c.Name;
            ProcessMessages();
        }
        Recorder.Expect(c.Expected, c.Name);
        for (const WmRecord& r : Recorder.Of(WM_IME_STARTCOMPOSITION))
            EXPECT_EQ(r.Wnd, Window) << c.Name << ": the focus window hears it";
    }
}

TEST_F(WmInputTest, KeyStateIsCurrentWhileTheMessageIsHandled) {
    bool shiftSeen = false;
    Recorder.Handler = [&](HWND, TMessage& m) {
        if (m.Msg == WM_KEYDOWN) shiftSeen = GetKeyState(VK_SHIFT) < 0 && GetAsyncKeyState(VK_SHIFT) < 0;
        return false;
    };
    SendQtKey(Window, 'A', MK_SHIFT, "A");
    ProcessMessages();
    EXPECT_TRUE(shiftSeen);
    SendQtKey(Window, 'A', 0, "a");
    ProcessMessages();
    EXPECT_FALSE(GetKeyState(VK_SHIFT) < 0);
}

// Ctrl+A pressed and let go while the program is busy: the key-down, read
// afterwards, is still Ctrl+A, though the keyboard no longer holds Ctrl.
TEST_F(WmInputTest, KeyStateKeepsStepWithTheInputRead) {
    bool ctrlAsRead = false;
    bool ctrlNow = true;
    Recorder.Handler = [&](HWND, TMessage& m) {
        if (m.Msg == WM_KEYDOWN && m.WParam == 'A') {
            ctrlAsRead = GetKeyState(VK_CONTROL) < 0;
            ctrlNow = GetAsyncKeyState(VK_CONTROL) < 0;
        }
        return false;
    };
    PostQtKey(Window, VK_CONTROL, MK_CONTROL, "", true);
    PostQtKey(Window, 'A', MK_CONTROL, "\x01", true);
    PostQtKey(Window, 'A', MK_CONTROL, "\x01", false);
    PostQtKey(Window, VK_CONTROL, 0, "", false);
    TMsg busy;
    PeekMessage(busy, nullptr, 0, 0, PM_NOREMOVE); // the keys arrive, none is read yet
    ASSERT_TRUE(Recorder.Of(WM_KEYDOWN).empty());
    ProcessMessages();
    EXPECT_TRUE(ctrlAsRead);
    EXPECT_FALSE(ctrlNow);
    EXPECT_FALSE(GetKeyState(VK_CONTROL) < 0) << "once its release is read";
}

TEST_F(WmInputTest, MouseMessagesArriveInClientCoordinatesAfterSetCursor) {
    SendQtMouse(Window, TMouseEventKind::Move, {12, 13}, 0, 0);
    SendQtMouse(Window, TMouseEventKind::Press, {12, 13}, MK_LBUTTON, MK_LBUTTON | MK_SHIFT);
    SendQtMouse(Window, TMouseEventKind::Release, {12, 13}, MK_LBUTTON, 0);
    ProcessMessages();
    // The client area starts 2 pixels in, inside the sunken edge.
    Recorder.Expect({{WM_SETCURSOR, WmHow::Sent, reinterpret_cast<WPARAM>(Window), WmPoint(HTCLIENT, WM_MOUSEMOVE)},
                     {WM_MOUSEMOVE, WmHow::Posted, 0, WmPoint(10, 11)},
                     {WM_SETCURSOR, WmHow::Sent, reinterpret_cast<WPARAM>(Window), WmPoint(HTCLIENT, WM_LBUTTONDOWN)},
                     {WM_LBUTTONDOWN, WmHow::Posted, MK_LBUTTON | MK_SHIFT, WmPoint(10, 11)},
                     {WM_SETCURSOR, WmHow::Sent, reinterpret_cast<WPARAM>(Window), WmPoint(HTCLIENT, WM_LBUTTONUP)},
                     {WM_LBUTTONUP, WmHow::Posted, 0, WmPoint(10, 11)}},
                    "move, press, release");
    Recorder.Clear();
    SendQtMouse(Window, TMouseEventKind::Move, {0, 0}, 0, 0);
    ProcessMessages();
    Recorder.Expect({{WM_NCMOUSEMOVE, WmHow::Posted, static_cast<WPARAM>(HTBORDER), WmPoint(0, 0)}},
                    "the frame gets non-client messages");
    EXPECT_TRUE(Recorder.Of(WM_MOUSEMOVE).empty());
}

TEST_F(WmInputTest, DoubleClicksNeedTheClassStyle) {
    HWND plain = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(200, 0, 50, 50));
    ProcessMessages();
    Recorder.Clear();
    SendQtMouse(Window, TMouseEventKind::DoubleClick, {20, 20}, MK_LBUTTON, MK_LBUTTON);
    SendQtMouse(plain, TMouseEventKind::DoubleClick, {20, 20}, MK_LBUTTON, MK_LBUTTON);
    ProcessMessages();
    Recorder.Expect({{WM_LBUTTONDBLCLK, WmHow::Posted, MK_LBUTTON, std::nullopt, Window},
                     {WM_LBUTTONDOWN, WmHow::Posted, MK_LBUTTON, std::nullopt, plain}},
                    "a class without CS_DBLCLKS sees a second press");
}

TEST_F(WmInputTest, TheWheelGoesToTheWindowUnderThePointerWithItsSignedDelta) {
    HWND other = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(200, 0, 50, 50));
    ProcessMessages();
    Recorder.Clear();
    SendQtWheel(other, {10, 10}, -120, MK_CONTROL);
    ProcessMessages();
    const auto wheels = Recorder.Of(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(wheels[0].Wnd, other) << "not the focus window";
    EXPECT_EQ(SmallHi(wheels[0].WParam), -120);
    EXPECT_EQ(LoWord(wheels[0].WParam), MK_CONTROL);
    EXPECT_EQ(wheels[0].LParam, WmPoint(210, 10)) << "screen coordinates";
}

TEST_F(WmInputTest, RightButtonUpAsksForTheContextMenu) {
    SetWindowPos(Window, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Recorder.Clear();
    SendQtMouse(Window, TMouseEventKind::Press, {12, 12}, MK_RBUTTON, MK_RBUTTON);
    SendQtMouse(Window, TMouseEventKind::Release, {12, 12}, MK_RBUTTON, 0);
    ProcessMessages();
    Recorder.Expect({{WM_RBUTTONDOWN, WmHow::Posted, MK_RBUTTON, WmPoint(10, 10)},
                     {WM_RBUTTONUP, WmHow::Posted, 0, WmPoint(10, 10)},
                     {WM_CONTEXTMENU, WmHow::Sent, reinterpret_cast<WPARAM>(Window), WmPoint(42, 52)}},
                    "context menu at the screen point");
}

TEST_F(WmInputTest, MovingBetweenWindowsEntersAndLeaves) {
    HWND other = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(200, 0, 50, 50));
    ProcessMessages();
    SendQtMouse(Window, TMouseEventKind::Move, {20, 20}, 0, 0);
    Recorder.Clear();
    SendQtMouse(Window, TMouseEventKind::Move, {21, 20}, 0, 0);
    SendQtMouse(other, TMouseEventKind::Move, {5, 5}, 0, 0);
    SendQtEnterLeave(other, false);
    Recorder.Expect({{CM_MOUSELEAVE, WmHow::Sent, 0, 0, Window},
                     {CM_MOUSEENTER, WmHow::Sent, 0, 0, other},
                     {CM_MOUSELEAVE, WmHow::Sent, 0, 0, other}},
                    "one enter and one leave per window");
}

TEST_F(WmInputTest, DialogKeysAskWmGetDlgCodeBeforeTheHook) {
    UINT answer = 0;
    std::vector<WPARAM> hooked;
    Recorder.Handler = [&](HWND, TMessage& m) {
        if (m.Msg != WM_GETDLGCODE) return false;
        m.Result = answer;
        return true;
    };
    SetDialogKeyHook([&](const TMessage& m, HWND) {
        hooked.push_back(m.WParam);
        return true;
    });
    SendQtKey(Window, VK_TAB, 0, "\t");
    ProcessMessages();
    Recorder.Expect({{WM_GETDLGCODE, WmHow::Sent, VK_TAB}}, "asked first");
    EXPECT_TRUE(Recorder.Of(WM_KEYDOWN).empty()) << "a window that does not want Tab loses it to the hook";
    EXPECT_TRUE(Recorder.Of(WM_CHAR).empty()) << "with its character";
    EXPECT_EQ(hooked, std::vector<WPARAM>{VK_TAB});

    Recorder.Clear();
    hooked.clear();
    answer = DLGC_WANTTAB;
    SendQtKey(Window, VK_TAB, 0, "\t");
    ProcessMessages();
    Recorder.Expect(
        {{WM_GETDLGCODE, WmHow::Sent, VK_TAB}, {WM_KEYDOWN, WmHow::Posted, VK_TAB}, {WM_CHAR, WmHow::Posted, '\t'}},
        "a window that wants Tab gets it");
    EXPECT_TRUE(hooked.empty());

    Recorder.Clear();
    answer = DLGC_WANTTAB;
    SendQtKey(Window, VK_RETURN, 0, "\r");
    ProcessMessages();
    EXPECT_TRUE(Recorder.Of(WM_KEYDOWN).empty()) << "wanting Tab does not claim Enter";
    EXPECT_EQ(hooked, std::vector<WPARAM>{VK_RETURN});
}

TEST_F(WmInputTest, TheKeyMessageHookCanSwallowAKeyWithItsCharacters) {
    SetKeyMessageHook([](const TMessage& m, HWND) { return m.WParam == 'A'; });
    SendQtKey(Window, 'A', 0, "a");
    SendQtKey(Window, 'F', 0, "f");
    ProcessMessages();
    Recorder.Expect({{WM_KEYDOWN, WmHow::Posted, 'F'}, {WM_CHAR, WmHow::Posted, 'f'}}, "only F passed");
}

TEST_F(WmInputTest, AClickMayDestroyTheWindowItLandsOn) {
    HWND doomed = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(200, 0, 50, 50));
    HWND child = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(0, 0, 50, 50), doomed);
    ProcessMessages();
    Recorder.Handler = [&](HWND h, TMessage& m) {
        if (m.Msg == WM_LBUTTONDOWN && h == child) DestroyWindow(doomed);
        return false;
    };
    SendQtMouse(child, TMouseEventKind::Press, {5, 5}, MK_LBUTTON, MK_LBUTTON);
    SendQtMouse(child, TMouseEventKind::Release, {5, 5}, MK_LBUTTON, 0);
    ProcessMessages();
    EXPECT_FALSE(IsWindow(doomed));
    EXPECT_FALSE(IsWindow(child));
}

// A press on a window of an inactive top-level window asks the pressed window
// first, its parents through DefWindowProc; the answer decides the activation
// and whether the press arrives.
TEST_F(WmInputTest, PressOnAnInactiveWindowAsksWmMouseActivateUpTheParents) {
    struct Case {
        LRESULT Answer; // the top-level window's; 0: DefWindowProc's
        bool Activates;
        bool PressArrives;
    } cases[] = {
        {0, true, true},
        {MA_NOACTIVATE, false, true},
        {MA_ACTIVATEANDEAT, true, false},
        {MA_NOACTIVATEANDEAT, false, false},
    };
    HWND other = Recorder.Create(WS_OVERLAPPED | WS_VISIBLE, Bounds(0, 200, 100, 100));
    for (const Case& c : cases) {
        HWND top = Recorder.Create(WS_OVERLAPPED | WS_VISIBLE, Bounds(200, 0, 200, 150));
        HWND inner = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(10, 10, 80, 60), top);
        SetActiveWindow(other);
        ProcessMessages();
        Recorder.Clear();
        Recorder.Handler = [&](HWND w, TMessage& m) {
            if (m.Msg != WM_MOUSEACTIVATE || w != top || !c.Answer) return false;
            m.Result = c.Answer;
            return true;
        };
        SendQtMouse(inner, TMouseEventKind::Press, {5, 5}, MK_LBUTTON, MK_LBUTTON);
        SendQtMouse(inner, TMouseEventKind::Release, {5, 5}, MK_LBUTTON, 0);
        ProcessMessages();
        const LPARAM where = WmPoint(HTCLIENT, WM_LBUTTONDOWN);
        Recorder.Expect({{WM_MOUSEACTIVATE, WmHow::Sent, reinterpret_cast<WPARAM>(top), where, inner},
                         {WM_MOUSEACTIVATE, WmHow::Sent, reinterpret_cast<WPARAM>(top), where, top}},
                        "the pressed window, then its parent");
        EXPECT_EQ(GetActiveWindow() == top, c.Activates) << c.Answer;
        EXPECT_EQ(Recorder.Of(WM_LBUTTONDOWN).size(), c.PressArrives ? 1u : 0u) << c.Answer;
        EXPECT_EQ(Recorder.Of(WM_LBUTTONUP).size(), 1u) << c.Answer;
        Recorder.Handler = {};
        DestroyWindow(top);
    }
}

// Inside an active top-level window, a press in an MDI child (WS_EX_MDICHILD)
// that its client does not report active asks WM_MOUSEACTIVATE and has the
// client activate it.
TEST_F(WmInputTest, PressInAnInactiveMdiChildHasItsClientActivateIt) {
    HWND top = Recorder.Create(WS_OVERLAPPED | WS_VISIBLE, Bounds(200, 0, 300, 200));
    HWND client = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(0, 0, 300, 200), top);
    HWND first = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(0, 0, 100, 100), client, WS_EX_MDICHILD);
    HWND second = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(150, 0, 100, 100), client, WS_EX_MDICHILD);
    HWND inner = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(10, 10, 50, 50), second);
    SetActiveWindow(top);
    ProcessMessages();
    HWND active = first;
    Recorder.Handler = [&](HWND w, TMessage& m) {
        if (w != client) return false;
        if (m.Msg == WM_MDIGETACTIVE) m.Result = reinterpret_cast<LRESULT>(active);
        if (m.Msg == WM_MDIACTIVATE) active = reinterpret_cast<HWND>(m.WParam);
        return m.Msg == WM_MDIGETACTIVE || m.Msg == WM_MDIACTIVATE;
    };
    Recorder.Clear();
    SendQtMouse(inner, TMouseEventKind::Press, {5, 5}, MK_LBUTTON, MK_LBUTTON);
    SendQtMouse(inner, TMouseEventKind::Release, {5, 5}, MK_LBUTTON, 0);
    ProcessMessages();
    Recorder.Expect({{WM_MOUSEACTIVATE, WmHow::Sent, reinterpret_cast<WPARAM>(top), std::nullopt, inner},
                     {WM_MOUSEACTIVATE, WmHow::Sent, reinterpret_cast<WPARAM>(top), std::nullopt, second},
                     {WM_MOUSEACTIVATE, WmHow::Sent, reinterpret_cast<WPARAM>(top), std::nullopt, client},
                     {WM_MOUSEACTIVATE, WmHow::Sent, reinterpret_cast<WPARAM>(top), std::nullopt, top},
                     {WM_MDIACTIVATE, WmHow::Sent, reinterpret_cast<WPARAM>(second), std::nullopt, client},
                     {WM_LBUTTONDOWN, WmHow::Posted, std::nullopt, std::nullopt, inner}},
                    "asked, activated, then pressed");
    EXPECT_EQ(active, second);
    // Now it is the active one: nothing is asked.
    Recorder.Clear();
    SendQtMouse(inner, TMouseEventKind::Press, {5, 5}, MK_LBUTTON, MK_LBUTTON);
    SendQtMouse(inner, TMouseEventKind::Release, {5, 5}, MK_LBUTTON, 0);
    ProcessMessages();
    EXPECT_TRUE(Recorder.Of(WM_MOUSEACTIVATE).empty());
    EXPECT_EQ(Recorder.Of(WM_LBUTTONDOWN).size(), 1u);
    Recorder.Handler = {};
}

} // namespace
