// Window state, closing and dialog keys of the project application window.
#include "documents/RequestBase.h"

#include "app/Main.h"
#include "components/CodeComboBox.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"

TfrmRequestBase::TfrmRequestBase(TComponent* AOwner) : TForm(AOwner) {
    SetFormStyle(fsMDIChild);
    SetKeyPreview(true);
    SetPosition(poDefault);
    Font()->SetName("宋体");
    Font()->SetCharset(GB2312_CHARSET);
    Font()->SetHeight(-12);
    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { FormKeyDown(Sender, Key, Shift); };
    OnKeyPress = [this](TObject* Sender, char32_t& Key) { FormKeyPress(Sender, Key); };
}

void TfrmRequestBase::FormActivate(TObject*) {
    SetWindowState(wsMaximized);
}

void TfrmRequestBase::FormClose(TObject*, TCloseAction& Action) {
    Action = caFree;
    frmMain->ChildClosed(this);
}

void TfrmRequestBase::FormKeyDown(TObject*, Word& Key, TShiftState) {
    if (dynamic_cast<TCodeComboBox*>(ActiveControl())) return;
    // Enter moves on when its character comes (FormKeyPress); held back
    // here, it breaks no line in the memo.
    if (Key == VK_RETURN) Key = 0;
    if (Key != VK_UP && Key != VK_DOWN) return;
    SelectNext(ActiveControl(), Key == VK_DOWN, true);
    Key = 0;
}

void TfrmRequestBase::FormKeyPress(TObject*, char32_t& Key) {
    if (Key != U'\r') return;
    if (dynamic_cast<TCodeComboBox*>(ActiveControl())) return;
    Key = 0;
    SelectNext(ActiveControl(), true, true);
}
