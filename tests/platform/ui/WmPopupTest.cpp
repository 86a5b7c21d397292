// Popups: top-level windows that never take the activation, so the form
// that opened one stays active and its focused control keeps the keyboard
// and its caret; and a popup the user sizes through its own sizing codes,
// within the work area rather than its owner; and a captioned tool window
// that never takes the activation either, whose caption the platform draws:
// it moves by its caption and offers only a close box.
#include "UiTestSupport.h"
#include "WmRecorder.h"

#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/testhooks/DesktopTestHooks.h"

#include <gtest/gtest.h>

namespace {

using namespace platform_ui::test;

class WmPopupTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(100, 100, 300, 200);
        Edit = new TEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, 10, 120, 21);
        Form->Show();
        Edit->SetFocus();
        SettleActivation();
    }
    void TearDown() override {
        delete Form;
        SetTestMonitors({});
        ProcessMessages();
    }

    // The form is active, the edit has the keyboard and shows its caret.
    void ExpectFormKeepsTheKeyboard(const char* When) {
        EXPECT_EQ(GetActiveWindow(), Form->Handle()) << When;
        EXPECT_TRUE(Form->Active()) << When;
        EXPECT_TRUE(Application->Active()) << When;
        EXPECT_EQ(GetFocus(), Edit->Handle()) << When;
        EXPECT_EQ(QtFocusObjectWindow(), Edit->Handle()) << When;
        EXPECT_FALSE(IsRectEmpty(QtCursorRectangle())) << When << ": the caret shows";
    }

    TForm* Form = nullptr;
    TEdit* Edit = nullptr;
    WmRecorder Recorder;
};

TEST_F(WmPopupTest, APopupNeverTakesTheActivationNorTheFocus) {
    HWND popup = Recorder.Create(WS_POPUP | WS_BORDER, Bounds(150, 140, 160, 120), Form->Handle());
    SetWindowPos(popup, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SettleActivation();
    ExpectFormKeepsTheKeyboard("while the popup is open");

    SendQtMouse(popup, TMouseEventKind::Press, {40, 40}, MK_LBUTTON, MK_LBUTTON);
    SendQtMouse(popup, TMouseEventKind::Release, {40, 40}, MK_LBUTTON, 0);
    SettleActivation();
    ExpectFormKeepsTheKeyboard("after a click into the popup");
    EXPECT_EQ(Recorder.Of(WM_LBUTTONDOWN).size(), 1u) << "the popup took the click";
    for (UINT msg : {UINT(WM_ACTIVATE), UINT(WM_NCACTIVATE), UINT(WM_SETFOCUS)})
        EXPECT_TRUE(Recorder.Of(msg).empty()) << std::hex << msg;

    uitest::Type(Edit, 0, "x");
    EXPECT_EQ(Edit->Text(), "x") << "typing still reaches the edit";
}

TEST_F(WmPopupTest, APopupOfAChildWindowGoesWithTheTopLevelWindowAndItsCaptureToo) {
    HWND top = Recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(300, 100, 200, 150));
    HWND child = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(10, 10, 100, 80), top);
    HWND popup = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(320, 130, 60, 60), child);
    SetCapture(popup);
    DestroyWindow(top);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Recorder.Of(WM_DESTROY).size(), 3u);
}

TEST_F(WmPopupTest, TheUserSizesAPopupThroughItsGripWithinItsLimitsAndTheWorkArea) {
    const TRect work = Rect(0, 50, 800, 600);
    SetTestMonitors({{Rect(0, 0, 800, 640), work}});
    constexpr int Grip = 10;
    TPoint maxTrack{};
    Recorder.Handler = [&](HWND w, TMessage& m) {
        if (m.Msg == WM_NCHITTEST) {
            TRect r;
            GetWindowRect(w, r);
            const TPoint p = PointFromLParam(m.LParam);
            m.Result = p.X >= r.Right - Grip && p.Y >= r.Bottom - Grip ? HTBOTTOMRIGHT : HTCLIENT;
            return true;
        }
        if (m.Msg == WM_GETMINMAXINFO) {
            auto* sizes = reinterpret_cast<MINMAXINFO*>(m.LParam);
            sizes->ptMinTrackSize = {100, 60};
            sizes->ptMaxTrackSize = maxTrack;
            return true;
        }
        return false;
    };
    const struct {
        TPoint Drag;
        TPoint MaxTrack;
        TSize Size;
        const char* What;
    } cases[] = {
        {{150, 100}, {1000, 1000}, {350, 220}, "beyond the owner's client area"},
        {{-300, -300}, {1000, 1000}, {100, 60}, "not below its smallest size"},
        {{300, 200}, {400, 300}, {400, 300}, "not beyond its largest size"},
        {{2000, 2000}, {5000, 5000}, {650, 450}, "not beyond the work area"},
    };
    for (const auto& c : cases) {
        maxTrack = c.MaxTrack;
        HWND popup = Recorder.Create(WS_POPUP | WS_BORDER | WS_VISIBLE, Bounds(150, 150, 200, 120), Form->Handle());
        ProcessMessages();
        const TPoint grip{200 - 3, 120 - 3};
        const TPoint release{grip.X + c.Drag.X, grip.Y + c.Drag.Y};
        PostQtMouse(popup, TMouseEventKind::Move, release, 0, MK_LBUTTON);
        PostQtMouse(popup, TMouseEventKind::Release, release, MK_LBUTTON, 0);
        SendQtMouse(popup, TMouseEventKind::Press, grip, MK_LBUTTON, MK_LBUTTON);
        ProcessMessages();
        TRect r;
        GetWindowRect(popup, r);
        EXPECT_EQ(r, Bounds(150, 150, c.Size.cx, c.Size.cy)) << c.What;
        EXPECT_EQ(GetActiveWindow(), Form->Handle()) << c.What;
        DestroyWindow(popup);
    }
}

TEST_F(WmPopupTest, AToolWindowMovesByItsCaptionAndClosesByItsBoxWithoutTheActivation) {
    Recorder.Handler = [](HWND w, TMessage& m) {
        if (m.Msg != WM_CLOSE) return false;
        ShowWindow(w, SW_HIDE);
        return true;
    };
    HWND tool = Recorder.Create(WS_POPUP | WS_CAPTION | WS_SYSMENU, Bounds(150, 150, 120, 80), Form->Handle(),
                                WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, WmRecorder::ClassName, "Toolbox");
    ShowWindow(tool, SW_SHOWNOACTIVATE);
    SettleActivation();
    ExpectFormKeepsTheKeyboard("while the tool window shows");
    const TDesktopDecorations decorations = DesktopDecorationsOf(tool);
    EXPECT_FALSE(decorations.TitleBar) << "the platform draws the caption";
    EXPECT_FALSE(decorations.TakesFocus);

    const int frame = GetSystemMetrics(SM_CXDLGFRAME);
    const int caption = GetSystemMetrics(SM_CYSMCAPTION);
    TRect client;
    GetClientRect(tool, client);
    EXPECT_EQ(client, Rect(0, 0, 120 - 2 * frame, 80 - 2 * frame - caption));
    const int captionY = frame + caption / 2;
    const struct {
        TPoint At; // window coordinates
        LRESULT HitTest;
    } hits[] = {
        {{20, captionY}, HTCAPTION},
        {{120 - frame - 5 - GetSystemMetrics(SM_CXSMSIZE), captionY}, HTCAPTION}, // no other box
        {{120 - frame - 2 - GetSystemMetrics(SM_CXSMSIZE) / 2, captionY}, HTCLOSE},
        {{20, 40}, HTCLIENT},
    };
    for (const auto& h : hits)
        EXPECT_EQ(SendMessage(tool, WM_NCHITTEST, 0, WmPoint(150 + h.At.X, 150 + h.At.Y)), h.HitTest)
            << h.At.X << "," << h.At.Y;

    PostQtMouse(tool, TMouseEventKind::Move, {60, captionY + 20}, 0, MK_LBUTTON);
    PostQtMouse(tool, TMouseEventKind::Release, {60, captionY + 20}, MK_LBUTTON, 0);
    SendQtMouse(tool, TMouseEventKind::Press, {20, captionY}, MK_LBUTTON, MK_LBUTTON);
    SettleActivation();
    TRect moved;
    GetWindowRect(tool, moved);
    EXPECT_EQ(moved, Bounds(190, 170, 120, 80));
    ExpectFormKeepsTheKeyboard("after the move");

    const TPoint close{120 - frame - 2 - GetSystemMetrics(SM_CXSMSIZE) / 2, captionY};
    PostQtMouse(tool, TMouseEventKind::Release, close, MK_LBUTTON, 0);
    SendQtMouse(tool, TMouseEventKind::Press, close, MK_LBUTTON, MK_LBUTTON);
    SettleActivation();
    EXPECT_EQ(Recorder.Of(WM_CLOSE).size(), 1u);
    EXPECT_FALSE(IsWindowVisible(tool)) << "closing hid it";
    EXPECT_TRUE(IsWindow(tool));
    ExpectFormKeepsTheKeyboard("after the close box");
    for (UINT msg : {UINT(WM_ACTIVATE), UINT(WM_SETFOCUS)})
        EXPECT_TRUE(Recorder.Of(msg).empty()) << std::hex << msg;
}

} // namespace
