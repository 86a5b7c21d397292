// Modal loops opened by the mouse (a box, a file dialog, a modal form, a
// popup menu, from a tool button's press or click): each one starts with the
// mouse free, so the desktop's clicks reach it, and the click after it is
// taken, also when the handler that opened it ends in a silent abort.
#include "UiTestSupport.h"

#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/testhooks/ModalTestHooks.h"

#include <gtest/gtest.h>

#include <functional>

using namespace uitest;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

namespace {

// A document window's bar of tool buttons above a field.
struct ToolForm {
    TForm* Form = nullptr;
    TToolBar* Bar = nullptr;
    TToolButton* Button = nullptr;
    TEdit* Field = nullptr;
    TPopupMenu* Menu = nullptr;
    int FieldPresses = 0;

    ToolForm() {
        CreateFormInstance(Form, nullptr);
        TComponentLoading loading(Form);
        Form->SetBounds(40, 40, 320, 200);
        Bar = new TToolBar(Form);
        Bar->SetParent(Form);
        Bar->SetShowCaptions(true);
        Button = new TToolButton(Form);
        Button->SetParent(Bar);
        Button->SetCaption("保存(&S)");
        Field = new TEdit(Form);
        Field->SetParent(Form);
        Field->SetBounds(10, 60, 200, 21);
        Field->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++FieldPresses; };
        Menu = new TPopupMenu(Form);
        auto* item = new TMenuItem(Form);
        item->SetCaption("导出项目");
        Menu->Items()->Add(item);
    }
    ~ToolForm() { delete Form; }

    TPoint OnButton() const { return Point(Button->Left() + 5, Button->Top() + 5); }
};

struct ModalLoop {
    const char* What;
    // Runs the loop; answers whether a window of ours held the mouse meanwhile.
    std::function<bool(ToolForm&)> Run;
};

const ModalLoop Loops[] = {
    {"a message box",
     [](ToolForm& f) {
         platform_ui::test::TShownDialog shown;
         platform_ui::test::CloseNextDialog(shown);
         MessageBox(f.Form->Handle(), "请输入项目名称", "提示", MB_OK | MB_ICONINFORMATION);
         EXPECT_TRUE(shown.Seen);
         return shown.MouseHeld;
     }},
    {"a file dialog",
     [](ToolForm& f) {
         platform_ui::test::TShownDialog shown;
         platform_ui::test::CloseNextDialog(shown);
         TOpenDialog dialog(f.Form);
         dialog.Execute();
         EXPECT_TRUE(shown.Seen);
         return shown.MouseHeld;
     }},
    {"a modal form",
     [](ToolForm&) {
         TForm* modal = nullptr;
         CreateFormInstance(modal, nullptr);
         bool held = true;
         modal->OnShow = [&](TObject*) {
             held = GetCapture() != nullptr;
             modal->SetModalResult(mrOk);
         };
         modal->ShowModal();
         delete modal;
         return held;
     }},
    {"a popup menu",
     [](ToolForm& f) {
         platform_ui::test::TShownMenu shown;
         platform_ui::test::CloseNextMenu(shown);
         f.Menu->Popup(100, 100);
         EXPECT_TRUE(shown.Seen);
         return shown.MouseHeld;
     }},
};

TEST(WmModalCapture, ALoopOpenedByTheMouseFindsItFreeAndTheNextClickIsTaken) {
    for (const ModalLoop& loop : Loops)
        for (const bool onPress : {false, true})
            for (const bool aborts : {false, true}) {
                const std::string what = std::string(loop.What) + (onPress ? " on the press" : " on the click") +
                                         (aborts ? ", then an abort" : "");
                ToolForm f;
                bool held = false;
                auto open = [&] {
                    held = loop.Run(f);
                    if (aborts) Abort();
                };
                if (onPress)
                    f.Button->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { open(); };
                else
                    f.Button->OnClick = [&](TObject*) { open(); };
                f.Form->Show();
                Click(f.Bar, f.OnButton());
                EXPECT_FALSE(held) << what << ": the mouse was held while the loop ran";
                EXPECT_EQ(GetCapture(), nullptr) << what;
                Click(f.Field);
                EXPECT_EQ(f.FieldPresses, 1) << what << ": the click after it";
                EXPECT_EQ(FocusedControl(), f.Field) << what;
            }
}

TEST(WmModalCapture, APressCancelledByALoopEndsWithoutAClick) {
    ToolForm f;
    int clicks = 0;
    f.Button->OnClick = [&](TObject*) { ++clicks; };
    f.Button->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        MessageBox(f.Form->Handle(), "确定删除所选择内容吗？", "提示", MB_YESNO);
    };
    DialogRecorder boxes;
    f.Form->Show();
    Click(f.Bar, f.OnButton());
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(clicks, 0) << "the release after the box belongs to no press";
    // The button was given up with the capture: the next press on the bar is its own.
    f.Button->OnMouseDown = nullptr;
    Click(f.Bar, f.OnButton());
    EXPECT_EQ(clicks, 1);
}

} // namespace
