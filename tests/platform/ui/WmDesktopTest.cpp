// Top-level windows as the desktop sees them: the decorations a form's border
// style and icons ask for, activation that follows the desktop's for dialog
// forms but never for popups, the window an owned window is kept above, and a
// maximised window that fills the work area by itself.
#include "UiTestSupport.h"
#include "WmRecorder.h"

#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/testhooks/DesktopTestHooks.h"

#include <memory>

namespace {

using namespace platform_ui::test;

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

class WmDesktopTest : public ::testing::Test {
protected:
    void SetUp() override { ProcessMessages(); }
    void TearDown() override {
        SetFocus(nullptr);
        ProcessMessages();
    }
};

TEST_F(WmDesktopTest, BorderStyleAndIconsGiveTheDesktopItsDecorations) {
    const TBorderIcons all{biSystemMenu, biMinimize, biMaximize};
    struct Case {
        const char* what;
        TFormBorderStyle style;
        TBorderIcons icons;
        bool title, close, minimize, maximize, sizable, focus;
    };
    const Case cases[] = {
        {"a dialog: caption and close box only", bsDialog, all, true, true, false, false, false, true},
        {"single: the icons asked for, fixed size", bsSingle, {biSystemMenu, biMinimize}, true, true, true, false, false,
         true},
        {"single with a maximise box: sizable by maximising", bsSingle, all, true, true, true, true, true, true},
        {"sizeable: everything", bsSizeable, all, true, true, true, true, true, true},
        {"sizeable without icons: a bare title bar", bsSizeable, {}, true, false, false, false, true, true},
        {"a tool window: caption and close box", bsToolWindow, all, true, true, false, false, false, true},
        {"none: a popup without any frame", bsNone, all, false, false, false, false, true, false},
    };
    for (const Case& c : cases) {
        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        std::unique_ptr<TForm> owner(form);
        form->SetBorderStyle(c.style);
        form->SetBorderIcons(c.icons);
        form->SetCaption("窗体");
        const TDesktopDecorations d = DesktopDecorationsOf(form->Handle());
        EXPECT_EQ(d.TitleBar, c.title) << c.what;
        EXPECT_EQ(d.CloseBox, c.close) << c.what;
        EXPECT_EQ(d.MinimizeBox, c.minimize) << c.what;
        EXPECT_EQ(d.MaximizeBox, c.maximize) << c.what;
        EXPECT_EQ(d.Sizable, c.sizable) << c.what;
        EXPECT_EQ(d.TakesFocus, c.focus) << c.what;
    }
}

TEST_F(WmDesktopTest, TheDesktopActivatesDialogFormsButNeverPopups) {
    WmRecorder recorder;
    HWND main = recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(0, 0, 300, 200));
    HWND dialog = recorder.Create(DialogStyle | WS_VISIBLE, Bounds(40, 40, 150, 100), main);
    HWND popup = recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(400, 0, 80, 60), main);
    SetActiveWindow(main);
    SettleActivation();
    ASSERT_EQ(GetActiveWindow(), main);

    recorder.Clear();
    ActivateFromDesktop(dialog);
    SettleActivation();
    recorder.Expect({{WM_NCACTIVATE, WmHow::Sent, 0, std::nullopt, main},
                     {WM_ACTIVATE, WmHow::Sent, WA_INACTIVE, reinterpret_cast<LPARAM>(dialog), main},
                     {WM_NCACTIVATE, WmHow::Sent, 1, std::nullopt, dialog},
                     {WM_ACTIVATE, WmHow::Sent, WA_ACTIVE, reinterpret_cast<LPARAM>(main), dialog}},
                    "the dialog the desktop activated");
    EXPECT_EQ(GetFocus(), dialog);

    recorder.Clear();
    SendQtMouse(main, TMouseEventKind::Press, {20, 20}, MK_LBUTTON, MK_LBUTTON);
    SendQtMouse(main, TMouseEventKind::Release, {20, 20}, MK_LBUTTON, 0);
    ProcessMessages();
    recorder.Expect({{WM_MOUSEACTIVATE, WmHow::Sent, std::nullopt, std::nullopt, main},
                     {WM_ACTIVATE, WmHow::Sent, WA_INACTIVE, std::nullopt, dialog},
                     {WM_ACTIVATE, WmHow::Sent, WA_ACTIVE, std::nullopt, main}},
                    "a click into the inactive main window");
    SettleActivation();

    recorder.Clear();
    ActivateFromDesktop(popup);
    SettleActivation();
    EXPECT_TRUE(recorder.Of(WM_ACTIVATE).empty()) << "a popup never takes the activation";
    EXPECT_EQ(GetActiveWindow(), main);
}

TEST_F(WmDesktopTest, KeysGoToTheFocusedControlOfTheFormTheDesktopActivates) {
    TForm* first = nullptr;
    TForm* second = nullptr;
    CreateFormInstance(first, nullptr);
    CreateFormInstance(second, nullptr);
    std::unique_ptr<TForm> ownFirst(first), ownSecond(second);
    TEdit* edits[2] = {};
    int i = 0;
    for (TForm* form : {first, second}) {
        form->SetBorderStyle(bsDialog);
        form->SetBounds(100 + 300 * i, 100, 250, 120);
        edits[i] = new TEdit(form);
        edits[i]->SetParent(form);
        edits[i]->SetBounds(10, 40, 120, 21);
        form->SetActiveControl(edits[i]);
        form->Show();
        ++i;
    }
    SettleActivation();
    ASSERT_EQ(Screen->ActiveForm(), second);

    ActivateFromDesktop(first->Handle());
    SettleActivation();
    EXPECT_EQ(Screen->ActiveForm(), first);
    EXPECT_EQ(GetFocus(), edits[0]->Handle());
    uitest::TypeText(edits[0], "ab");
    EXPECT_EQ(edits[0]->Text(), "ab");
    EXPECT_EQ(edits[1]->Text(), "");
}

TEST_F(WmDesktopTest, APopupWithoutAnOwnerStaysAboveTheActiveWindow) {
    // Kept above a window of ours, the desktop shows it there and gives it no
    // button of its own on the task bar (a wait window, a drop-down list).
    WmRecorder recorder;
    HWND main = recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(0, 0, 400, 300));
    HWND popup = recorder.Create(WS_POPUP, Bounds(100, 100, 200, 40));
    SetActiveWindow(main);
    SettleActivation();
    ShowWindow(popup, SW_SHOWNOACTIVATE);
    EXPECT_EQ(DesktopDecorationsOf(popup).KeptAbove, main);
    EXPECT_EQ(GetActiveWindow(), main);
}

TEST_F(WmDesktopTest, AnOwnedWindowStaysAboveTheWindowThatOpenedIt) {
    WmRecorder recorder;
    // The application's window: hidden, never active, the owner of every form.
    HWND application = recorder.Create(DialogStyle, Bounds(0, 0, 0, 0), nullptr, WS_EX_NOACTIVATE);
    HWND main = recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(0, 0, 400, 300));
    HWND form = recorder.Create(DialogStyle, Bounds(50, 50, 200, 150), application);
    HWND box = recorder.Create(DialogStyle, Bounds(80, 80, 120, 60), form);
    SetActiveWindow(main);
    SettleActivation();

    ShowWindow(form, SW_SHOW);
    EXPECT_EQ(DesktopDecorationsOf(form).KeptAbove, main) << "the owner is hidden: the window active before";
    ShowWindow(box, SW_SHOW);
    EXPECT_EQ(DesktopDecorationsOf(box).KeptAbove, form) << "its owner shows";
    SettleActivation();
    EXPECT_EQ(GetActiveWindow(), box);

    ShowWindow(box, SW_HIDE);
    SettleActivation();
    EXPECT_EQ(GetActiveWindow(), form) << "closing the box activates the form that opened it";
    ShowWindow(form, SW_HIDE);
    SettleActivation();
    EXPECT_EQ(GetActiveWindow(), main) << "closing the form activates the main window";
}

TEST_F(WmDesktopTest, AMaximisedWindowFillsTheWorkAreaAndComesBack) {
    WmRecorder recorder;
    const TRect normal = Bounds(10, 20, 320, 240);
    HWND main = recorder.Create(WS_OVERLAPPEDWINDOW, normal);
    recorder.Clear();
    ShowWindow(main, SW_SHOWMAXIMIZED);
    SettleActivation();
    // Headless, Qt plays a window manager that keeps a frame inside the area.
    const TRect area = Screen->WorkAreaRect();
    TRect r, inside;
    GetWindowRect(main, r);
    EXPECT_TRUE(IntersectRect(inside, r, area) && inside == r);
    EXPECT_GT(r.Width(), area.Width() - 10);
    EXPECT_GT(r.Height(), area.Height() - 10);
    EXPECT_TRUE(IsZoomed(main));
    const auto sizes = recorder.Of(WM_SIZE);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back().WParam, SIZE_MAXIMIZED);
    EXPECT_EQ(sizes.back().LParam, WmPoint(r.Width(), r.Height()));

    ShowWindow(main, SW_RESTORE);
    SettleActivation();
    GetWindowRect(main, r);
    EXPECT_EQ(r, normal);
    EXPECT_FALSE(IsZoomed(main));
}

} // namespace
