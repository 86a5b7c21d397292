// What controls are asked or told by the forms and the application: whether
// they want a key the form would use for navigation, whether their hint may
// show, and that the regional settings (also as the desktop reports a locale
// change) or system colours changed.
#include "UiTestSupport.h"
#include "WmRecorder.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/testhooks/DesktopTestHooks.h"

#include <gtest/gtest.h>

#include <set>

using namespace uitest;
using namespace platform_ui::test;

namespace {

// A focusable control that wants the special keys in Wanted, and shows or
// changes its hint as a test says.
class TProbe : public TCustomControl {
public:
    explicit TProbe(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
    std::set<WPARAM> Wanted;
    std::function<LRESULT(THintInfo&)> OnHintShow;

    void WndProc(TMessage& m) override {
        if (m.Msg == CM_WANTSPECIALKEY) {
            m.Result = Wanted.count(m.WParam) ? 1 : 0;
            return;
        }
        if (m.Msg == CM_HINTSHOW && OnHintShow) {
            m.Result = OnHintShow(*reinterpret_cast<THintInfo*>(m.LParam));
            return;
        }
        TCustomControl::WndProc(m);
    }
};

// Every message Control's WindowProc gets goes into Recorder first.
void Record(TControl* Control, WmRecorder& Recorder) {
    TWndMethod previous = Control->WindowProc;
    Control->WindowProc = [Control, previous, &Recorder](TMessage& m) {
        auto* win = dynamic_cast<TWinControl*>(Control);
        Recorder.Records.push_back({win && win->HandleAllocated() ? win->Handle() : nullptr, m.Msg,
                                    CurrentMessageWasPosted(), m.WParam, m.LParam});
        previous(m);
    };
}

class UiControlNotificationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(100, 100, 300, 200);
        First = new TProbe(Form);
        First->SetParent(Form);
        First->SetBounds(10, 10, 100, 40);
        Second = new TProbe(Form);
        Second->SetParent(Form);
        Second->SetBounds(10, 60, 100, 40);
        Form->Show();
        First->SetFocus();
        ProcessMessages();
    }
    void TearDown() override {
        delete Form;
        FormatSettings = TFormatSettings();
        RegionalSettings = TFormatSettings();
        ProcessMessages();
    }

    TForm* Form = nullptr;
    TProbe* First = nullptr;
    TProbe* Second = nullptr;
    WmRecorder Recorder;
};

TEST_F(UiControlNotificationsTest, AControlThatWantsASpecialKeyKeepsItFromTheForm) {
    Record(First, Recorder);
    Record(Form, Recorder);
    const HWND first = First->Handle(), form = Form->Handle();
    const struct {
        Word Key;
        bool Wanted;
        std::vector<WmExpected> Messages;
        bool FocusMoves;
    } cases[] = {
        {VK_TAB, false, {Sent(CM_WANTSPECIALKEY, VK_TAB, {}, first), Sent(CM_DIALOGKEY, VK_TAB, {}, form)}, true},
        {VK_DOWN, false, {Sent(CM_WANTSPECIALKEY, VK_DOWN, {}, first), Sent(CM_DIALOGKEY, VK_DOWN, {}, form)}, true},
        {VK_TAB, true, {Sent(CM_WANTSPECIALKEY, VK_TAB, {}, first), Posted(WM_KEYDOWN, VK_TAB, {}, first)}, false},
        {VK_DOWN, true, {Sent(CM_WANTSPECIALKEY, VK_DOWN, {}, first), Posted(WM_KEYDOWN, VK_DOWN, {}, first)}, false},
        {VK_RETURN,
         true,
         {Sent(CM_WANTSPECIALKEY, VK_RETURN, {}, first), Posted(WM_KEYDOWN, VK_RETURN, {}, first)},
         false},
        {VK_ESCAPE,
         true,
         {Sent(CM_WANTSPECIALKEY, VK_ESCAPE, {}, first), Posted(WM_KEYDOWN, VK_ESCAPE, {}, first)},
         false},
    };
    for (const auto& c : cases) {
        First->SetFocus();
        First->Wanted = c.Wanted ? std::set<WPARAM>{c.Key} : std::set<WPARAM>{};
        Recorder.Clear();
        Type(First, c.Key);
        Recorder.Expect(c.Messages, "key " + std::to_string(c.Key) + (c.Wanted ? " wanted" : " not wanted"));
        EXPECT_EQ(FocusedControl(), c.FocusMoves ? Second : First) << c.Key;
    }
}

TEST_F(UiControlNotificationsTest, TheControlUnderThePointerMayChangeOrRefuseItsHint) {
    First->SetHint("原提示");
    First->SetShowHint(true);
    const struct {
        LRESULT Answer;
        const char* NewText; // nullptr: unchanged
        std::string Shown;
    } cases[] = {
        {0, nullptr, "原提示"},
        {0, "改过的提示", "改过的提示"},
        {1, nullptr, ""},
    };
    for (const auto& c : cases) {
        THintInfo asked;
        First->OnHintShow = [&](THintInfo& info) {
            asked = info;
            if (c.NewText) info.HintStr = c.NewText;
            return c.Answer;
        };
        RemoveShownHint();
        SendQtHintRequest(First->Handle(), {30, 20});
        EXPECT_EQ(ShownHint(), c.Shown);
        EXPECT_EQ(asked.HintControl, First);
        EXPECT_EQ(asked.HintStr, "原提示");
        EXPECT_EQ(asked.CursorPos, (TPoint{30, 20}));
        EXPECT_EQ(asked.HintPos, First->ClientToScreen({30, 20}));
    }

    bool askedWithoutHint = false;
    Second->OnHintShow = [&](THintInfo&) { return askedWithoutHint = true, LRESULT(0); };
    RemoveShownHint();
    SendQtHintRequest(Second->Handle(), {5, 5});
    EXPECT_EQ(ShownHint(), "") << "a control without ShowHint shows none, and is not asked";
    EXPECT_FALSE(askedWithoutHint);
}

TEST_F(UiControlNotificationsTest, SettingsChangesReachEveryControlParentsFirst) {
    Record(Form, Recorder);
    Record(First, Recorder);
    Record(Second, Recorder);
    const HWND form = Form->Handle(), first = First->Handle(), second = Second->Handle();
    RegionalSettings.FirstDayOfWeek = 6;
    Application->FormatSettingsChanged();
    EXPECT_EQ(FormatSettings.FirstDayOfWeek, 6) << "read again before the controls hear of it";
    Recorder.Expect({Sent(CM_WININICHANGE, {}, {}, form), Sent(CM_WININICHANGE, {}, {}, first),
                     Sent(CM_WININICHANGE, {}, {}, second)},
                    "regional settings");
    Recorder.Clear();
    Application->SysColorsChanged();
    Recorder.Expect({Sent(CM_SYSCOLORCHANGE, {}, {}, form), Sent(CM_SYSCOLORCHANGE, {}, {}, first),
                     Sent(CM_SYSCOLORCHANGE, {}, {}, second)},
                    "system colours");
}

TEST_F(UiControlNotificationsTest, ALocaleChangeTheDesktopReportsReachesEveryControlOnce) {
    Record(Form, Recorder);
    Record(First, Recorder);
    Record(Second, Recorder);
    RegionalSettings.LongMonthNames[0] = "Month one";
    ChangeLocaleFromDesktop();
    EXPECT_EQ(FormatSettings.LongMonthNames[0], "Month one");
    Recorder.Expect({Sent(CM_WININICHANGE, {}, {}, Form->Handle()), Sent(CM_WININICHANGE, {}, {}, First->Handle()),
                     Sent(CM_WININICHANGE, {}, {}, Second->Handle())},
                    "locale change");
}

TEST_F(UiControlNotificationsTest, AFocusChangeReachesEveryControlOfTheForm) {
    auto* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(120, 10, 150, 100);
    auto* label = new TLabel(Form);
    label->SetParent(panel);
    auto* inner = new TProbe(Form);
    inner->SetParent(panel);
    inner->SetBounds(10, 40, 100, 30);
    for (TControl* c : std::initializer_list<TControl*>{Form, First, Second, panel, label, inner})
        Record(c, Recorder);
    Second->SetFocus();
    const auto focused = reinterpret_cast<LPARAM>(Second);
    Recorder.Expect(
        {Sent(CM_FOCUSCHANGED, 0, focused, Form->Handle()), Sent(CM_FOCUSCHANGED, 0, focused, First->Handle()),
         Sent(CM_FOCUSCHANGED, 0, focused, Second->Handle()), Sent(CM_FOCUSCHANGED, 0, focused, panel->Handle()),
         Sent(CM_FOCUSCHANGED, 0, focused), Sent(CM_FOCUSCHANGED, 0, focused, inner->Handle())},
        "focus to the second control");
}

TEST_F(UiControlNotificationsTest, AGraphicControlIsPaintedThroughItsWindowProc) {
    auto* label = new TLabel(Form);
    label->SetParent(Form);
    label->SetBounds(120, 10, 80, 20);
    label->SetCaption("标签");
    bool swallow = false;
    TWndMethod previous = label->WindowProc;
    std::vector<WPARAM> paints;
    label->WindowProc = [&, previous](TMessage& m) {
        if (m.Msg == WM_PAINT) paints.push_back(m.WParam);
        if (m.Msg != WM_PAINT || !swallow) previous(m);
    };
    Form->Repaint();
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_NE(paints[0], 0u) << "the parent's DC, set to the label's corner";
    const auto before = platform_ui::test::RenderedPixels(Form->Handle());
    swallow = true;
    Form->Repaint();
    EXPECT_NE(platform_ui::test::RenderedPixels(Form->Handle()), before) << "a swallowed paint leaves the caption out";
}

TEST_F(UiControlNotificationsTest, ChildrenFollowTheirParentsCtl3DUntilTheyAreGivenTheirOwn) {
    auto* edit = new TEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(120, 10, 100, 21);
    Second->SetParentCtl3D(false); // its own look, as the form's author set it
    const HWND before = edit->Handle();
    Record(edit, Recorder);
    Form->SetCtl3D(false);
    EXPECT_FALSE(First->Ctl3D());
    EXPECT_TRUE(First->ParentCtl3D());
    EXPECT_TRUE(Second->Ctl3D());
    EXPECT_FALSE(Second->ParentCtl3D());
    EXPECT_FALSE(edit->Ctl3D());
    Recorder.Expect({Sent(CM_PARENTCTL3DCHANGED, {}, {}, before), Sent(CM_CTL3DCHANGED, {}, {}, before),
                     Sent(WM_DESTROY, {}, {}, before)},
                    "the edit's look changes with a new window");
    EXPECT_FALSE(edit->ControlState().Contains(csRecreating));
    Form->SetCtl3D(true);
    EXPECT_TRUE(edit->Ctl3D());
}

} // namespace
