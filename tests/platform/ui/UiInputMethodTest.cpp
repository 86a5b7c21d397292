// Input methods through Qt's focus object: it follows the platform's focus,
// commits arrive as WM_CHARs in the control that has it, and a control whose
// input-method mode is off answers "not enabled".
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
