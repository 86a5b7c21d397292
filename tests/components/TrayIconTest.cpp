// The tray icon: what reaches the shell, the icon's mouse messages, cycling,
// references it drops, and hiding the main window only where a notification
// area exists to bring it back.
#include "components/TrayIcon.h"

#include "MdiFrame.h"

#include "platform/ui/ImageList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/DesktopTestHooks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using componentstest::MdiFrame;
using platform_ui::test::ActivateNotifyIcon;
using platform_ui::test::FindNotifyIcon;
using platform_ui::test::SetNotifyAreaExists;
using platform_ui::test::TTrayActivation;

constexpr UINT Callback = 0x0800;

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetNotifyAreaExists(true);
        PreviousTracker = SetMenuTracker([this](TMenuItem* parent, TPoint) {
            ++Popups;
            return Choose ? Choose(parent) : nullptr;
        });
        Tray = new TTrayIcon(MdiFrame());
        { TComponentLoading loading(Tray); }
    }
    void TearDown() override {
        delete Tray;
        SetMenuTracker(PreviousTracker);
        MdiFrame()->Show();
        ShowWindow(Application->Handle(), SW_RESTORE);
        SetNotifyAreaExists(false);
    }
    const NOTIFYICONDATA* InShell() const { return FindNotifyIcon(Tray->Handle(), 1); }
    void Mouse(UINT msg) { SendMessage(Tray->Handle(), Callback, 1, static_cast<LPARAM>(msg)); }

    TTrayIcon* Tray = nullptr;
    TMenuTracker PreviousTracker;
    std::function<TMenuItem*(TMenuItem*)> Choose;
    int Popups = 0;
};

TEST_F(TrayIconTest, LoadedIconIsInTheShellWithItsRecord) {
    const NOTIFYICONDATA* data = InShell();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->cbSize, 488u);
    EXPECT_EQ(data->uID, 1u);
    EXPECT_EQ(data->uFlags, 7u);
    EXPECT_EQ(data->uCallbackMessage, Callback);
}

TEST_F(TrayIconTest, HintReachesTheShellCutTo127BytesAndOnlyWithShowHint) {
    Tray->SetHint("Corvanta2.0");
    EXPECT_STREQ(InShell()->szTip, "Corvanta2.0");
    Tray->SetHint(std::string(200, 'x'));
    EXPECT_EQ(std::strlen(InShell()->szTip), 127u);
    Tray->SetShowHint(false);
    EXPECT_STREQ(InShell()->szTip, "");
}

TEST_F(TrayIconTest, IconVisibleAddsAndDeletes) {
    Tray->SetIconVisible(false);
    EXPECT_EQ(InShell(), nullptr);
    EXPECT_FALSE(Tray->IconVisible());
    Tray->SetIconVisible(true);
    EXPECT_NE(InShell(), nullptr);
}

TEST_F(TrayIconTest, IconComesBackAfterTheShellRestartsOnlyWhenVisible) {
    const UINT taskbarCreated = RegisterWindowMessage("TaskbarCreated");
    SetNotifyAreaExists(false);
    SetNotifyAreaExists(true);
    SendMessage(Application->Handle(), taskbarCreated);
    EXPECT_NE(InShell(), nullptr);

    Tray->SetIconVisible(false);
    SetNotifyAreaExists(false);
    SetNotifyAreaExists(true);
    SendMessage(Application->Handle(), taskbarCreated);
    EXPECT_EQ(InShell(), nullptr);
}

TEST_F(TrayIconTest, LeftPressAndReleaseClickOnceAndDoubleClickAddsOneDblClick) {
    std::vector<std::string> events;
    Tray->OnClick = [&](TObject*) { events.push_back("click"); };
    Tray->OnDblClick = [&](TObject*) { events.push_back("dblclick"); };
    Tray->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int, int) {
        events.push_back(b == mbLeft && s.Contains(ssLeft) ? "down-left" : "down-other");
    };
    Tray->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("up"); };
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        Mouse(m);
    EXPECT_EQ(events, (std::vector<std::string>{"down-left", "click", "up", "dblclick", "up"}));
    EXPECT_EQ(Popups, 0);
}

TEST_F(TrayIconTest, DisabledIconIgnoresTheMouse) {
    int events = 0;
    Tray->OnClick = Tray->OnDblClick = [&](TObject*) { ++events; };
    Tray->OnMouseMove = [&](TObject*, TShiftState, int, int) { ++events; };
    Tray->SetEnabled(false);
    for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN})
        Mouse(m);
    EXPECT_EQ(events, 0);
}

TEST_F(TrayIconTest, MenuPopsUpOnRightPressOnLeftOnlyWithLeftPopupAndNeverWithoutAutoPopup) {
    auto* menu = new TPopupMenu(MdiFrame());
    auto* item = new TMenuItem(menu);
    item->SetCaption("显示主窗口");
    menu->Items()->Add(item);
    Tray->SetPopupMenu(menu);

    Mouse(WM_RBUTTONDOWN);
    EXPECT_EQ(Popups, 1);
    EXPECT_EQ(menu->PopupComponent(), Tray);
    Mouse(WM_LBUTTONDOWN);
    EXPECT_EQ(Popups, 1);
    Tray->SetLeftPopup(true);
    Mouse(WM_LBUTTONDOWN);
    EXPECT_EQ(Popups, 2);
    menu->SetAutoPopup(false);
    Mouse(WM_RBUTTONDOWN);
    Mouse(WM_LBUTTONDOWN);
    EXPECT_EQ(Popups, 2);
    delete menu;
    EXPECT_EQ(Tray->PopupMenu(), nullptr);
}

// The desktop reports one activation per press; the icon gets the press and
// the release, so the menu opens on the right button.
TEST_F(TrayIconTest, TheDesktopsActivationsReachTheIconAsPressAndRelease) {
    auto* menu = new TPopupMenu(MdiFrame());
    menu->Items()->Add(new TMenuItem(menu));
    Tray->SetPopupMenu(menu);
    std::vector<std::string> events;
    Tray->OnClick = [&](TObject*) { events.push_back("click"); };
    Tray->OnDblClick = [&](TObject*) { events.push_back("dblclick"); };
    Tray->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) {
        events.push_back(b == mbLeft ? "down-left" : b == mbRight ? "down-right" : "down-middle");
    };
    Tray->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("up"); };
    struct Case {
        TTrayActivation How;
        std::vector<std::string> Events;
        int Popups;
    };
    using enum TTrayActivation;
    const Case cases[] = {
        {Click, {"down-left", "click", "up"}, 0},
        {DoubleClick, {"dblclick", "up"}, 0},
        {Context, {"down-right", "up"}, 1},
        {MiddleClick, {"down-middle", "up"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.How));
        events.clear();
        Popups = 0;
        ActivateNotifyIcon(Tray->Handle(), 1, c.How);
        ProcessMessages();
        EXPECT_EQ(events, c.Events);
        EXPECT_EQ(Popups, c.Popups);
    }
    delete menu;
}

TEST_F(TrayIconTest, DoubleClickRunsTheFirstDefaultItem) {
    auto* menu = new TPopupMenu(MdiFrame());
    std::vector<int> clicked;
    for (int i = 0; i < 3; ++i) {
        auto* item = new TMenuItem(menu);
        item->SetCaption("item" + std::to_string(i));
        item->OnClick = [&clicked, i](TObject*) { clicked.push_back(i); };
        menu->Items()->Add(item);
    }
    menu->Items()->Items(1)->SetDefault(true);
    Tray->SetPopupMenu(menu);
    Mouse(WM_LBUTTONDBLCLK);
    EXPECT_EQ(clicked, std::vector<int>{1});
    delete menu;
}

class TrayIconListTest : public TrayIconTest {
protected:
    void SetUp() override {
        TrayIconTest::SetUp();
        List = new TImageList(MdiFrame());
        for (TColor c : Colours) {
            TBitmap b;
            b.SetSize(16, 16);
            b.Canvas()->Brush()->SetColor(c);
            b.Canvas()->FillRect(Rect(0, 0, 16, 16));
            b.Canvas()->SetPixels(0, 15, clFuchsia);
            List->AddMasked(&b, clFuchsia);
        }
    }
    void TearDown() override {
        delete List;
        TrayIconTest::TearDown();
    }
    TColor IconColour() const {
        TBitmap b;
        b.SetSize(16, 16);
        b.Canvas()->Draw(0, 0, Tray->Icon());
        return b.Canvas()->Pixels(8, 8);
    }
    const TColor Colours[3] = {clRed, clLime, clBlue};
    TImageList* List = nullptr;
};

TEST_F(TrayIconListTest, IconIndexIsClampedToTheListAndZeroWithout) {
    Tray->SetIconList(List);
    Tray->SetIconIndex(7);
    EXPECT_EQ(Tray->IconIndex(), 2);
    EXPECT_EQ(IconColour(), clBlue);
    Tray->SetIconIndex(1);
    EXPECT_EQ(IconColour(), clLime);
    delete List;
    List = nullptr;
    EXPECT_EQ(Tray->IconList(), nullptr);
    Tray->SetIconIndex(2);
    EXPECT_EQ(Tray->IconIndex(), 0);
}

TEST_F(TrayIconListTest, CyclingShowsEachIconInTurnAndAnnouncesTheNext) {
    Tray->SetIconList(List);
    std::vector<int> next;
    std::vector<TColor> shown;
    Tray->OnCycle = [&](TObject*, int n) {
        next.push_back(n);
        shown.push_back(IconColour());
    };
    Tray->SetCycleInterval(5);
    Tray->SetCycleIcons(true);
    RunModalLoop([&] { return next.size() >= 4; });
    Tray->SetCycleIcons(false);
    EXPECT_EQ(next, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(shown, (std::vector<TColor>{clRed, clLime, clBlue, clRed}));
}

TEST_F(TrayIconTest, HideAndShowMainFormWhereTheAreaExists) {
    Tray->HideMainForm();
    EXPECT_FALSE(MdiFrame()->Visible());
    EXPECT_FALSE(IsWindowVisible(Application->Handle()));
    Tray->ShowMainForm();
    EXPECT_TRUE(MdiFrame()->Visible());
}

TEST_F(TrayIconTest, AMaximisedMainFormComesBackFromTheTrayMaximised) {
    HWND frame = MdiFrame()->Handle();
    MdiFrame()->SetWindowState(wsMaximized);
    ShowWindow(frame, SW_MINIMIZE); // as the desktop's minimise box does
    Tray->HideMainForm();
    Tray->ShowMainForm();
    EXPECT_FALSE(IsIconic(frame));
    EXPECT_TRUE(IsZoomed(frame));
    TRect r;
    GetWindowRect(frame, r);
    EXPECT_EQ(r, Screen->WorkAreaRect());
    MdiFrame()->SetWindowState(wsNormal);
}

TEST_F(TrayIconTest, WithoutANotificationAreaMinimisingKeepsTheMainFormShown) {
    SetNotifyAreaExists(false);
    Tray->SetMinimizeToTray(true);
    SendMessage(Application->Handle(), WM_SIZE, SIZE_MINIMIZED, 0);
    Tray->HideMainForm();
    EXPECT_TRUE(MdiFrame()->Visible());
}

TEST_F(TrayIconTest, MinimiseToTrayHidesTheMainFormAndShowsTheIcon) {
    Tray->SetIconVisible(false);
    Tray->SetMinimizeToTray(true);
    SendMessage(Application->Handle(), WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_FALSE(MdiFrame()->Visible());
    EXPECT_TRUE(Tray->IconVisible());
    EXPECT_NE(InShell(), nullptr);
}

TEST_F(TrayIconTest, ShowingTheOwnerBringsTheApplicationWindowBack) {
    ShowWindow(Application->Handle(), SW_HIDE);
    SendMessage(MdiFrame()->Handle(), WM_SHOWWINDOW, 1, 0);
    EXPECT_TRUE(IsWindowVisible(Application->Handle()));
}

TEST(TrayIconStart, StartMinimizedHidesTheProgramOnlyWhereTheAreaExists) {
    for (bool area : {false, true}) {
        SCOPED_TRACE(area);
        SetNotifyAreaExists(area);
        ShowWindow(Application->Handle(), SW_RESTORE);
        Application->SetShowMainForm(true);
        auto* tray = new TTrayIcon(MdiFrame());
        {
            TComponentLoading loading(tray);
            tray->SetStartMinimized(true);
        }
        EXPECT_EQ(Application->ShowMainForm(), !area);
        EXPECT_EQ(IsWindowVisible(Application->Handle()), !area);
        delete tray;
    }
    Application->SetShowMainForm(true);
    ShowWindow(Application->Handle(), SW_RESTORE);
    SetNotifyAreaExists(false);
}

TEST_F(TrayIconTest, FreedTrayLeavesTheShellAndTheWindowsItWatched) {
    HWND hidden = Tray->Handle();
    delete Tray;
    Tray = nullptr;
    EXPECT_EQ(FindNotifyIcon(hidden, 1), nullptr);
    EXPECT_FALSE(IsWindow(hidden));
    // The application's and the frame's chains no longer lead into the freed tray.
    SendMessage(Application->Handle(), WM_SIZE, SIZE_MINIMIZED, 0);
    SendMessage(MdiFrame()->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(MdiFrame()->Visible());
}

} // namespace
