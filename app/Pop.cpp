// Dialog keys, digit filter, code-box check and input methods of the pop-up
// windows.
#include "app/Pop.h"

#include "app/Main.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Mask.h"
#include "platform/ui/Messages.h"

TfrmPop::TfrmPop(TComponent* AOwner) : TForm(AOwner) {
    SetKeyPreview(true);
    SetPosition(poScreenCenter);
    SetVisible(false);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { FormKeyDown(Sender, Key, Shift); };
    OnKeyPress = [this](TObject* Sender, char32_t& Key) { FormKeyPress(Sender, Key); };
    FlatPainter1 = new TFlatPainter(this);
    FlatPainter1->SetName("FlatPainter1");
    FlatPainter1->SetFlatControls({xcCombo, xcEdit, xcMaskEdit, xcCheckBox, xcButton, xcGroupBox});
}

void TfrmPop::FormCreate(TObject*) {
    if (frmMain) frmMain->PopupOpen = true;
}

void TfrmPop::FormClose(TObject*, TCloseAction&) {
    if (frmMain) frmMain->PopupOpen = false;
}

void TfrmPop::FormKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_UP && Key != VK_DOWN) return;
    SelectNext(ActiveControl(), Key == VK_DOWN, true);
    Key = 0;
}

void TfrmPop::FormKeyPress(TObject*, char32_t& Key) {
    if (Key != U'\r') return;
    if (dynamic_cast<TCustomMemo*>(ActiveControl())) return;
    Key = 0;
    SelectNext(ActiveControl(), true, true);
}

void TfrmPop::EditKeyPress(TObject*, char32_t& Key) {
    if (Key == U'\b') return;
    if (Key < U'0' || Key > U'9') Key = 0;
}

void TfrmPop::popCombBoxExit(TObject* Sender) {
    auto* box = dynamic_cast<TCustomComboBox*>(Sender);
    if (!box) return;
    const std::string text = box->Text();
    if (text.empty() || box->Items()->IndexOf(text) >= 0) return;
    MessageBox(Handle(), "选择项不可被改动或手工录入!!", "提示", MB_OK | MB_ICONERROR);
    box->SetText("");
    box->SetFocus();
}

void TfrmPop::ResetImeModes(TWinControl* Container) {
    for (int i = 0; i < Container->ControlCount(); ++i) {
        auto* control = dynamic_cast<TWinControl*>(Container->Controls(i));
        if (!control) continue;
        if (control->ControlCount() > 0) {
            ResetImeModes(control);
            continue;
        }
        bool noChinese = dynamic_cast<TCustomComboBox*>(control) != nullptr || FDigitEdits.count(control) > 0;
        if (auto* edit = dynamic_cast<TCustomEdit*>(control))
            noChinese = noChinese || edit->PasswordChar() != 0 || dynamic_cast<TCustomMaskEdit*>(edit) != nullptr;
        if (noChinese) control->SetImeMode(imDisable);
    }
}

void TfrmPop::DigitsOnly(TEdit* Edit) {
    Edit->OnKeyPress = [this](TObject* Sender, char32_t& Key) { EditKeyPress(Sender, Key); };
    FDigitEdits.insert(Edit);
}

void TfrmPop::CodeBox(TCustomComboBox* Box) {
    Box->OnExit = [this](TObject* Sender) { popCombBoxExit(Sender); };
}
