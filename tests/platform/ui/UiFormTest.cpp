// Forms driven by real input: tab order, dialog keys, key preview, default
// and cancel buttons, modal forms, focus events of groups, and exceptions
// from event handlers shown in a box while the program goes on.
#include "UiTestSupport.h"

#include "platform/ui/ActnList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Timers.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace uitest;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

namespace {

// A small dialog: two edits, a group with two check boxes, OK (default) and
// Cancel (cancel) buttons, built in code as the form layouts are.
struct Dialog {
    TForm* Form = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TGroupBox* Group = nullptr;
    TCheckBox* Check1 = nullptr;
    TCheckBox* Check2 = nullptr;
    TButton* Ok = nullptr;
    TButton* Cancel = nullptr;

    Dialog() {
        CreateFormInstance(Form, nullptr);
        Form->SetCaption("对话框");
        Form->SetBounds(100, 100, 320, 240);
        Edit1 = new TEdit(Form);
        Edit1->SetParent(Form);
        Edit1->SetBounds(8, 8, 120, 21);
        Edit2 = new TEdit(Form);
        Edit2->SetParent(Form);
        Edit2->SetBounds(8, 36, 120, 21);
        Group = new TGroupBox(Form);
        Group->SetParent(Form);
        Group->SetBounds(8, 64, 200, 80);
        Group->SetCaption("选项");
        Check1 = new TCheckBox(Form);
        Check1->SetParent(Group);
        Check1->SetBounds(8, 20, 100, 17);
        Check1->SetCaption("甲");
        Check2 = new TCheckBox(Form);
        Check2->SetParent(Group);
        Check2->SetBounds(8, 44, 100, 17);
        Check2->SetCaption("乙");
        Ok = new TButton(Form);
        Ok->SetParent(Form);
        Ok->SetBounds(150, 160, 75, 25);
        Ok->SetCaption("确定");
        Ok->SetDefault(true);
        Ok->SetModalResult(mrOk);
        Cancel = new TButton(Form);
        Cancel->SetParent(Form);
        Cancel->SetBounds(232, 160, 75, 25);
        Cancel->SetCaption("取消");
        Cancel->SetCancel(true);
        Cancel->SetModalResult(mrCancel);
    }
    ~Dialog() { delete Form; }
};

} // namespace

TEST(UiForm, TabAndShiftTabFollowTabOrderAndSkipNonStops) {
    Dialog d;
    d.Form->Show();
    d.Edit1->SetFocus();
    ASSERT_EQ(FocusedControl(), d.Edit1);
    const std::vector<TWinControl*> forward = {d.Edit2, d.Check1, d.Check2, d.Ok, d.Cancel, d.Edit1};
    for (TWinControl* expected : forward) {
        Type(FocusedControl(), VK_TAB);
        EXPECT_EQ(FocusedControl(), expected);
    }
    Type(FocusedControl(), VK_TAB, "", MK_SHIFT);
    EXPECT_EQ(FocusedControl(), d.Cancel);
    // Changing the tab order changes the walk.
    d.Edit2->SetTabOrder(0);
    d.Edit2->SetFocus();
    Type(d.Edit2, VK_TAB);
    EXPECT_EQ(FocusedControl(), d.Edit1);
}

TEST(UiForm, GroupOnExitFiresOnlyWhenFocusLeavesTheGroup) {
    Dialog d;
    std::vector<std::string> events;
    d.Group->OnEnter = [&](TObject*) { events.push_back("group enter"); };
    d.Group->OnExit = [&](TObject*) { events.push_back("group exit"); };
    d.Check1->OnExit = [&](TObject*) { events.push_back("check1 exit"); };
    d.Form->Show();
    d.Edit2->SetFocus();
    Type(d.Edit2, VK_TAB);  // into the group
    Type(d.Check1, VK_TAB); // within it
    Type(d.Check2, VK_TAB); // out of it
    EXPECT_EQ(FocusedControl(), d.Ok);
    EXPECT_EQ(events, (std::vector<std::string>{"group enter", "check1 exit", "group exit"}));
}

TEST(UiForm, AClickRefusedByAnExitRuleIsRefusedOnceAndLeavesTheFocusWhereTheRuleSentIt) {
    Dialog d;
    DialogRecorder dialogs;
    // The rule of a group that does not add up: a box, and back to its field.
    d.Group->OnExit = [&](TObject*) {
        MessageBox(d.Form->Handle(), "不等于各个分项之和", "提示", MB_OK);
        d.Check1->SetFocus();
    };
    d.Form->Show();
    d.Check1->SetFocus();
    Click(d.Edit2);
    EXPECT_EQ(dialogs.Boxes().size(), 1u) << "one box for one click";
    EXPECT_EQ(FocusedControl(), d.Check1);
    EXPECT_EQ(platform_ui::test::QtFocusObjectWindow(), d.Check1->Handle()) << "typing goes where the focus is";
    Click(d.Check2);
    EXPECT_EQ(dialogs.Boxes().size(), 1u) << "a click within the group leaves nothing";
    EXPECT_EQ(FocusedControl(), d.Check2);
}

TEST(UiForm, KeyPreviewSeesKeysFirstAndCanSwallowThem) {
    Dialog d;
    d.Form->SetKeyPreview(true);
    // The pattern of the program's windows: arrows walk the tab order,
    // Enter moves to the next control instead of reaching the edit.
    d.Form->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
        if (key == VK_DOWN || key == VK_UP) {
            d.Form->SelectNext(d.Form->ActiveControl(), key == VK_DOWN, true);
            key = 0;
        }
        if (key == VK_RETURN) key = 0; // the edit gets neither the key nor, below, its character
    };
    d.Form->OnKeyPress = [&](TObject*, char32_t& key) {
        if (key == U'\r') {
            d.Form->SelectNext(d.Form->ActiveControl(), true, true);
            key = 0;
        }
    };
    std::vector<char32_t> editKeys;
    d.Edit1->OnKeyPress = [&](TObject*, char32_t& key) { editKeys.push_back(key); };
    d.Form->Show();
    d.Edit1->SetFocus();
    Type(d.Edit1, VK_DOWN);
    EXPECT_EQ(FocusedControl(), d.Edit2);
    Type(d.Edit2, VK_UP);
    EXPECT_EQ(FocusedControl(), d.Edit1);
    Type(d.Edit1, 'A', "a");
    EXPECT_EQ(d.Edit1->Text(), "a");
    EXPECT_EQ(editKeys, (std::vector<char32_t>{U'a'}));
    d.Ok->SetDefault(false);
    Type(d.Edit1, VK_RETURN, "\r");
    EXPECT_EQ(FocusedControl(), d.Edit2);
    EXPECT_EQ(editKeys.size(), 1u); // the swallowed Enter never reached the edit
}

// Qt names a shifted digit by its symbol, and letters of other alphabets have
// no key code at all: every typed character still reaches the edit.
TEST(UiForm, AnEditGetsEveryTypedCharacterWhateverItsKey) {
    struct Key {
        Word Key;
        WPARAM Keys;
        const char* Text;
    };
    const Key keys[] = {{'A', 0, "a"},
                        {'1', MK_SHIFT, "!"},
                        {'2', MK_SHIFT, "@"},
                        {'3', MK_SHIFT, "#"},
                        {'4', MK_SHIFT, "$"},
                        {'5', MK_SHIFT, "%"},
                        {'6', MK_SHIFT, "^"},
                        {'7', MK_SHIFT, "&"},
                        {'9', MK_SHIFT, "("},
                        {'0', MK_SHIFT, ")"},
                        {VK_OEM_MINUS, MK_SHIFT, "_"},
                        {VK_OEM_3, MK_SHIFT, "~"},
                        {0, 0, "ä"},
                        {0, 0, "Ω"},
                        {'B', 0, "b"}};
    Dialog d;
    std::u32string pressed;
    d.Edit1->OnKeyPress = [&](TObject*, char32_t& key) { pressed += key; };
    d.Form->Show();
    d.Edit1->SetFocus();
    for (const Key& k : keys)
        Type(d.Edit1, k.Key, k.Text, k.Keys);
    EXPECT_EQ(d.Edit1->Text(), "a!@#$%^&()_~äΩb");
    EXPECT_EQ(pressed, U"a!@#$%^&()_~äΩb");
}

TEST(UiForm, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
    Dialog d;
    int ok = 0, cancel = 0;
    d.Ok->OnClick = [&](TObject*) { ++ok; };
    d.Cancel->OnClick = [&](TObject*) { ++cancel; };
    d.Form->Show();
    d.Edit1->SetFocus();
    Type(d.Edit1, VK_RETURN, "\r");
    EXPECT_EQ(ok, 1);
    Type(d.Edit1, VK_ESCAPE, "\x1b");
    EXPECT_EQ(cancel, 1);
    // A focused button takes Enter itself, not the default one.
    d.Cancel->SetFocus();
    Type(d.Cancel, VK_RETURN, "\r");
    EXPECT_EQ(cancel, 2);
    EXPECT_EQ(ok, 1);
}

TEST(UiForm, CheckBoxClickFiresForCodeMouseAndSpace) {
    Dialog d;
    int clicks = 0;
    d.Check1->OnClick = [&](TObject*) { ++clicks; };
    d.Check1->SetChecked(true); // by code: OnClick as well
    EXPECT_EQ(clicks, 1);
    d.Check1->SetChecked(true); // no change, no click
    EXPECT_EQ(clicks, 1);
    d.Form->Show();
    Click(d.Check1);
    EXPECT_FALSE(d.Check1->Checked());
    EXPECT_EQ(clicks, 2);
    d.Check1->SetFocus();
    Type(d.Check1, VK_SPACE, " ");
    EXPECT_TRUE(d.Check1->Checked());
    EXPECT_EQ(clicks, 3);
}

TEST(UiForm, ShowModalReturnsTheModalResultOfTheButtonPressedInsideTheLoop) {
    Dialog d;
    std::vector<std::string> events;
    d.Form->OnShow = [&](TObject*) { events.push_back("show"); };
    d.Form->OnCloseQuery = [&](TObject*, bool& canClose) {
        events.push_back("closequery");
        canClose = true;
    };
    d.Form->OnClose = [&](TObject*, TCloseAction& action) {
        events.push_back("close");
        EXPECT_EQ(action, caHide);
    };
    // Typing happens from a timer while ShowModal runs its own loop.
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, [&](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        TypeText(d.Edit1, "ab");
        platform_ui::test::SendQtKey(d.Edit1->Handle(), VK_RETURN, 0, "\r");
    });
    ASSERT_NE(timer, 0u);
    d.Form->SetActiveControl(d.Edit1); // focused once the form shows
    EXPECT_EQ(d.Form->ShowModal(), mrOk);
    EXPECT_FALSE(d.Form->Visible());
    EXPECT_EQ(d.Edit1->Text(), "ab");
    EXPECT_EQ(events, (std::vector<std::string>{"show", "closequery", "close"}));
}

TEST(UiForm, CloseQueryRefusalKeepsAModalFormOpen) {
    Dialog d;
    int queries = 0;
    d.Form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
    SetTimer(nullptr, 0, 10, [&](HWND, UINT, UINT_PTR id, DWORD) {
        d.Cancel->Click(); // refused the first time
        if (queries >= 1) {
            KillTimer(nullptr, id);
            d.Cancel->Click();
        }
    });
    EXPECT_EQ(d.Form->ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);
}

TEST(UiForm, ExceptionInAHandlerIsShownInABoxAndTheProgramGoesOn) {
    DialogRecorder boxes;
    Application->SetTitle("Corvanta2.0");
    Dialog d;
    int clicks = 0;
    d.Ok->OnClick = [&](TObject*) {
        if (++clicks == 1) throw Exception("项目导入出错：磁盘已满");
    };
    d.Cancel->OnClick = [&](TObject*) { Abort(); };
    d.Form->Show();
    Click(d.Ok);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].Text, "项目导入出错：磁盘已满");
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Corvanta2.0");
    EXPECT_EQ(boxes.Boxes()[0].Flags, MB_OK | MB_ICONSTOP);
    Click(d.Cancel); // EAbort is silent
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    Click(d.Ok); // still running, still handling input
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST(UiForm, MessageBoxesGoThroughTheHookWithTheirFlags) {
    DialogRecorder boxes;
    boxes.Answers = {IDYES, IDNO};
    EXPECT_EQ(Application->MessageBox("第一行\r\n第二行", "提示", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBox(nullptr, "x", "y", MB_YESNOCANCEL), IDNO);
    MessageBeep(0);
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].Text, "第一行\r\n第二行");
    EXPECT_EQ(boxes.Boxes()[0].Flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(boxes.Count(TDialogKind::Beep), 1);
}

namespace {
struct TfrmProbe;
TfrmProbe* frmProbe = nullptr;
struct TfrmProbe : TForm {
    explicit TfrmProbe(TComponent* owner) : TForm(owner) {
        OnCreate = [this](TObject*) { SeenInGlobal = frmProbe == this; };
    }
    bool SeenInGlobal = false;
};
} // namespace

TEST(UiForm, OnCreateRunsAfterTheGlobalHoldsTheForm) {
    CreateFormInstance(frmProbe, nullptr);
    EXPECT_TRUE(frmProbe->SeenInGlobal);
    delete frmProbe;
    frmProbe = nullptr;
}

TEST(UiForm, ReleaseFreesTheFormAfterPendingMessages) {
    bool destroyed = false;
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    form->Show();
    form->Release();
    EXPECT_FALSE(destroyed);
    ProcessMessages();
    EXPECT_TRUE(destroyed);
}

// A timer releases the dialog while its modal loop runs and nothing has set
// ModalResult: the loop ends as a cancel and the form goes after it, hidden.
TEST(UiForm, ReleaseInsideTheModalLoopEndsItBeforeTheFormIsFreed) {
    Dialog d;
    std::vector<std::string> events;
    d.Form->OnDestroy = [&](TObject*) {
        events.push_back(IsWindowVisible(d.Form->Handle()) ? "destroy while shown" : "destroy");
    };
    SetTimer(nullptr, 0, 10, [&](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        events.push_back("release");
        d.Form->Release();
    });
    EXPECT_EQ(d.Form->ShowModal(), mrCancel);
    d.Form = nullptr; // freed by the release
    events.push_back("returned");
    EXPECT_EQ(events, (std::vector<std::string>{"release", "destroy", "returned"}));
}

// CM_CANCELMODE tells the active control that another one was pressed, before
// the focus moves, naming the pressed control.
TEST(UiForm, APressElsewhereSendsCancelModeToTheActiveControl) {
    Dialog d;
    std::vector<std::pair<TControl*, TWinControl*>> cancels; // sender, focus then
    TWndMethod inherited = d.Edit1->WindowProc;
    d.Edit1->WindowProc = [&](TMessage& m) {
        if (m.Msg == CM_CANCELMODE) cancels.emplace_back(reinterpret_cast<TControl*>(m.LParam), FocusedControl());
        inherited(m);
    };
    d.Form->Show();
    struct Case {
        const char* Name;
        TWinControl* Pressed;
        WPARAM Button;
        bool Sent;
    };
    const Case cases[] = {
        {"the active control itself", d.Edit1, MK_LBUTTON, false},
        {"another edit", d.Edit2, MK_LBUTTON, true},
        {"a check box, right button", d.Check1, MK_RBUTTON, true},
        {"the form", d.Form, MK_LBUTTON, true},
    };
    for (const Case& c : cases) {
        d.Edit1->SetFocus();
        ASSERT_EQ(d.Form->ActiveControl(), d.Edit1) << c.Name;
        cancels.clear();
        SendQtMouse(c.Pressed->Handle(), TMouseEventKind::Press, {3, 3}, c.Button, c.Button);
        SendQtMouse(c.Pressed->Handle(), TMouseEventKind::Release, {3, 3}, c.Button, 0);
        ProcessMessages();
        if (!c.Sent) {
            EXPECT_TRUE(cancels.empty()) << c.Name;
            continue;
        }
        ASSERT_EQ(cancels.size(), 1u) << c.Name;
        EXPECT_EQ(cancels[0].first, c.Pressed) << c.Name;
        EXPECT_EQ(cancels[0].second, d.Edit1) << c.Name << ": before the focus moves";
    }
    d.Edit1->WindowProc = inherited;
}

// An action's update that throws anything at all is shown like any other
// failure, and the updates go on when the program next waits.
TEST(UiForm, AFailedIdleActionUpdateDoesNotStopTheNextOnes) {
    DialogRecorder boxes;
    Dialog d;
    auto* actions = new TActionList(d.Form);
    auto* action = new TAction(d.Form);
    action->SetActionList(actions);
    action->SetCaption("确定");
    int updates = 0;
    action->OnUpdate = [&](TObject*) {
        if (++updates == 1) throw 42; // not a std::exception
    };
    d.Ok->SetAction(action);
    d.Form->Show();
    WaitABit();
    ASSERT_GE(updates, 1);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    const int before = updates;
    WaitABit();
    EXPECT_GT(updates, before);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

// A one-shot handler clears its own event while it runs; what it captured
// stays alive until it returns.
TEST(UiForm, AFormHandlerMayClearItsOwnEventWhileItRuns) {
    Dialog d;
    std::vector<std::string> seen;
    const std::string first = "first showing of the dialog, captured by value";
    d.Form->OnShow = [&seen, &d, first](TObject*) {
        d.Form->OnShow = {};
        seen.push_back(first);
    };
    d.Form->OnCloseQuery = [&seen, &d, first](TObject*, bool& canClose) {
        d.Form->OnCloseQuery = {};
        seen.push_back(first);
        canClose = true;
    };
    d.Form->Show();
    d.Form->Hide();
    d.Form->Show();
    d.Form->Close();
    EXPECT_EQ(seen, (std::vector<std::string>{first, first}));
}

// A new border style makes the window again; the form stays on screen as it was.
TEST(UiForm, AShownFormStaysShownWhenItsWindowIsMadeAgain) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    std::unique_ptr<TForm> owner(form);
    form->Show();
    form->SetBorderStyle(bsDialog);
    EXPECT_TRUE(GetWindowLong(form->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    form->Hide();
    form->SetBorderStyle(bsSingle);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST(UiForm, ScrollBoxScrollsToTheFocusedControlAndBack) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetBounds(0, 0, 300, 300);
    auto* box = new TScrollBox(form);
    box->SetParent(form);
    box->SetBounds(0, 0, 150, 120);
    auto* top = new TEdit(form);
    top->SetParent(box);
    top->SetBounds(10, 10, 100, 21);
    auto* far = new TEdit(form);
    far->SetParent(box);
    far->SetBounds(10, 300, 100, 21);
    form->Show();
    EXPECT_EQ(box->VertScrollBar()->Range(), 321);
    EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
    top->SetFocus();
    Type(top, VK_TAB);
    EXPECT_EQ(FocusedControl(), far);
    EXPECT_GT(box->VertScrollBar()->Position(), 0);
    EXPECT_LE(far->Top() + far->Height(), box->ClientHeight());
    EXPECT_EQ(far->Top() + box->VertScrollBar()->Position(), 300);
    box->Perform(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(box->VertScrollBar()->Position(), 0);
    EXPECT_EQ(far->Top(), 300);
    delete form;
}
