// The popup base: it never takes the activation from the editor's form, and
// losing the focus hides it and posts CM_POPUPCLOSED to its editor.
#include "editors/InplaceEdit.h"
#include "editors/PopupControl.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Window.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/platform/ui/WmRecorder.h"

#include <gtest/gtest.h>

using namespace uitest;
using platform_ui::test::TMouseEventKind;

namespace {

TEST(PopupControl, NeverTakesTheActivationAndTellsItsEditorWhenItHides) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetBounds(20, 20, 300, 200);
    // A standalone editor: the base class answers in place, so a class object that does not.
    struct TStandaloneClass : TcvInplaceEditClass {
        TcvInplaceEdit* CreateEditor(TComponent* AOwner) const override { return new TcvInplaceEdit(AOwner, *this); }
        bool IsInplace() const override { return false; }
    } standalone;
    TcvInplaceEdit* editor = standalone.CreateEditor(form);
    editor->SetParent(form);
    auto* popup = new TcvInplacePopupControl(form);
    popup->SetPopup(true);
    popup->SetOwnerEditor(editor);
    popup->SetBorderStyle(pbFrame3D);
    popup->SetBounds(30, 60, 120, 80);
    form->Show();
    SettleActivation();
    editor->SetFocus();
    ASSERT_EQ(GetActiveWindow(), form->Handle());

    WmRecorder recorder;
    const TWindowProcedureId hook = PushWindowProc(editor->Handle(), [&](HWND w, TMessage& m) {
        recorder.Records.push_back({w, m.Msg, platform_ui::test::CurrentMessageWasPosted(), m.WParam, m.LParam});
        CallNextWindowProc(w, hook, m);
    });
    popup->ShowPopup();
    SettleActivation();
    EXPECT_TRUE(IsWindowVisible(popup->Handle()));
    platform_ui::test::SendQtMouse(popup->Handle(), TMouseEventKind::Press, {20, 20}, MK_LBUTTON, MK_LBUTTON);
    platform_ui::test::SendQtMouse(popup->Handle(), TMouseEventKind::Release, {20, 20}, MK_LBUTTON, 0);
    SettleActivation();
    EXPECT_EQ(GetActiveWindow(), form->Handle()) << "a click into the popup leaves the form active";

    ::SetFocus(popup->Handle());
    ::SetFocus(editor->Handle()); // the popup loses the focus
    SettleActivation();
    EXPECT_FALSE(IsWindowVisible(popup->Handle()));
    EXPECT_EQ(GetActiveWindow(), form->Handle());
    recorder.Expect({Posted(CM_POPUPCLOSED, 0, 0)}, "the editor is told once, by a posted message");
    RemoveWindowProc(editor->Handle(), hook);
    delete form;
}

} // namespace
