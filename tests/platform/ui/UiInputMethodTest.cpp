// Input methods through Qt's focus object: it follows the platform's focus,
// the pre-edit shows in the control being typed in (native widgets hold it,
// self-painting windows show it at their caret), commits arrive as WM_CHARs,
// and a control whose input-method mode is off answers "not enabled".
#include "UiTestSupport.h"

#include "platform/ui/Forms.h"
#include "platform/ui/Mask.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>

using namespace uitest;
using namespace platform_ui::test;

namespace {

struct FormWithControls {
    TForm* Form = nullptr;
    explicit FormWithControls(TFormBorderStyle style = bsSizeable) {
        CreateFormInstance(Form, nullptr);
        Form->SetBorderStyle(style);
        Form->SetBounds(40, 40, 400, 300);
    }
    ~FormWithControls() { delete Form; }
    template <class T> T* Add(int top) {
        auto* c = new T(Form);
        c->SetParent(Form);
        c->SetBounds(8, top, 200, 24);
        return c;
    }
    void Show() {
        Form->Show();
        PumpQt(20);
    }
};

void Focus(TWinControl* control) {
    control->SetFocus();
    PumpQt(20); // Qt's activation arrives as an event
}

TPoint ClientOriginOnScreen(HWND wnd) {
    TPoint origin{0, 0};
    ClientToScreen(wnd, origin);
    return origin;
}

} // namespace

TEST(UiInputMethod, QtFocusObjectFollowsTheFocusBetweenEditsAndIntoAnotherForm) {
    FormWithControls main;
    auto* name = main.Add<TEdit>(8);
    auto* phone = main.Add<TEdit>(40);
    main.Show();
    Focus(name);
    EXPECT_EQ(QtFocusObjectWindow(), name->Handle());
    Focus(phone);
    EXPECT_EQ(QtFocusObjectWindow(), phone->Handle());

    FormWithControls dialog(bsSingle);
    auto* code = dialog.Add<TEdit>(8);
    dialog.Show();
    Focus(code);
    EXPECT_EQ(QtFocusObjectWindow(), code->Handle()) << "into the other form's edit";
    ASSERT_TRUE(SendQtInputMethodEvent("", "码"));
    ProcessMessages();
    EXPECT_EQ(code->Text(), "码");
    EXPECT_EQ(phone->Text(), "");

    Focus(name);
    EXPECT_EQ(QtFocusObjectWindow(), name->Handle()) << "back in the first form";
}

TEST(UiInputMethod, TextControlsHoldThePreeditAndTakeTheCommitAsCharacters) {
    FormWithControls f;
    auto* edit = f.Add<TEdit>(8);
    auto* memo = f.Add<TMemo>(40);
    auto* combo = f.Add<TComboBox>(72);
    f.Show();
    for (TWinControl* control : std::initializer_list<TWinControl*>{edit, memo, combo}) {
        std::u32string pressed;
        control->OnKeyPress = [&](TObject*, char32_t& key) { pressed += key; };
        Focus(control);
        const auto plain = RenderedPixels(control->Handle());

        ASSERT_TRUE(SendQtInputMethodEvent("nihao"));
        ProcessMessages();
        EXPECT_NE(RenderedPixels(control->Handle()), plain) << control->ClassName() << ": the pre-edit shows";
        EXPECT_EQ(control->Text(), "") << control->ClassName() << ": the pre-edit is no text";
        EXPECT_TRUE(pressed.empty()) << control->ClassName();

        SendQtInputMethodEvent("", "你好");
        ProcessMessages();
        EXPECT_EQ(pressed, U"你好") << control->ClassName();
        EXPECT_EQ(control->Text(), "你好") << control->ClassName();

        // A composition given up leaves the control as it was.
        const auto typed = RenderedPixels(control->Handle());
        SendQtInputMethodEvent("ma");
        SendQtInputMethodEvent("");
        ProcessMessages();
        EXPECT_EQ(RenderedPixels(control->Handle()), typed) << control->ClassName();
        EXPECT_EQ(control->Text(), "你好") << control->ClassName();
        control->OnKeyPress = nullptr;
    }
}

TEST(UiInputMethod, SelfPaintingWindowShowsThePreeditAtItsCaret) {
    FormWithControls f;
    std::u32string pressed;
    f.Form->OnKeyPress = [&](TObject*, char32_t& key) { pressed += key; };
    f.Show();
    SetFocus(f.Form->Handle());
    PumpQt(20);
    ASSERT_EQ(QtFocusObjectWindow(), f.Form->Handle());
    EXPECT_TRUE(QtInputMethodEnabled());
    const TPoint origin = ClientOriginOnScreen(f.Form->Handle());
    const TRect cursor = QtCursorRectangle();
    EXPECT_EQ(cursor.Left, origin.X) << "the candidate list opens at the caret";
    EXPECT_EQ(cursor.Top, origin.Y);
    EXPECT_GT(cursor.Height(), 0);

    const auto plain = RenderedPixels(f.Form->Handle());
    SendQtInputMethodEvent("nihao");
    ProcessMessages();
    TPoint where{-1, -1};
    EXPECT_EQ(ShownComposition(f.Form->Handle(), &where), "nihao");
    TRect window;
    GetWindowRect(f.Form->Handle(), window);
    EXPECT_EQ(where.X, origin.X - window.Left);
    EXPECT_EQ(where.Y, origin.Y - window.Top);
    EXPECT_NE(RenderedPixels(f.Form->Handle()), plain);
    EXPECT_TRUE(pressed.empty());

    SendQtInputMethodEvent("", "你好");
    ProcessMessages();
    EXPECT_EQ(pressed, U"你好");
    EXPECT_EQ(ShownComposition(f.Form->Handle()), "");
    EXPECT_EQ(RenderedPixels(f.Form->Handle()), plain);
}

TEST(UiInputMethod, ControlsWithTheInputMethodOffAnswerNotEnabled) {
    FormWithControls f;
    auto* name = f.Add<TEdit>(8);
    auto* phone = f.Add<TEdit>(40);
    phone->SetImeMode(imDisable);
    auto* mask = f.Add<TMaskEdit>(72);
    auto* kind = f.Add<TComboBox>(104);
    kind->SetImeMode(imDisable);
    f.Show();
    struct Case {
        TWinControl* Control;
        bool Enabled;
    };
    for (const Case& c : {Case{name, true}, Case{phone, false}, Case{mask, false}, Case{kind, false}}) {
        Focus(c.Control);
        EXPECT_EQ(QtInputMethodEnabled(), c.Enabled) << c.Control->ClassName() << " " << c.Control->ImeMode();
    }
    SetFocus(f.Form->Handle());
    f.Form->SetImeMode(imDisable);
    EXPECT_FALSE(QtInputMethodEnabled()) << "a self-painting window";

    // The mode changes while the control has the focus and is composing.
    Focus(name);
    const auto plain = RenderedPixels(name->Handle());
    SendQtInputMethodEvent("ni");
    name->SetImeMode(imDisable);
    EXPECT_FALSE(QtInputMethodEnabled());
    EXPECT_EQ(RenderedPixels(name->Handle()), plain) << "the composition is dropped";
    name->SetImeMode(imChinese);
    EXPECT_TRUE(QtInputMethodEnabled());
}

TEST(UiInputMethod, EditCursorRectangleLiesInTheEdit) {
    FormWithControls f;
    f.Add<TEdit>(8);
    auto* edit = f.Add<TEdit>(60);
    f.Show();
    Focus(edit);
    TRect bounds;
    GetWindowRect(edit->Handle(), bounds);
    // The edit's rectangle reaches a few pixels either side of the caret.
    const TRect cursor = QtCursorRectangle();
    const TPoint caret{(cursor.Left + cursor.Right) / 2, (cursor.Top + cursor.Bottom) / 2};
    EXPECT_TRUE(PtInRect(bounds, caret)) << caret.X << "," << caret.Y;
}
