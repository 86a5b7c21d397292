// The wait window's layout. Callers set PanelMsg's caption, Show, let the
// queue drain so it is painted, work, and Close.
#include "app/Message.h"

#include "platform/ui/FormBuilder.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Painting.h"

TfrmMessage* frmMessage = nullptr;

namespace {

constexpr TColor WaitBackground = 16112851; // 0xF5DCD3: a pale blue
const char* const WaitFontName = "宋体";
constexpr int WaitFontHeight = -14;

} // namespace

TfrmMessage::TfrmMessage(TComponent* AOwner) : TForm(AOwner) {
    TFormBuilder build(this);
    SetName("frmMessage");
    SetBorderStyle(bsNone);
    SetPosition(poScreenCenter);
    SetClientWidth(436);
    SetClientHeight(43);
    SetVisible(false);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };

    PanelMsg = build.Control<TPanel>(this, "PanelMsg");
    PanelMsg->SetAlign(alClient);
    PanelMsg->SetBevelInner(bvLowered);
    PanelMsg->SetBorderWidth(2);
    PanelMsg->SetParentColor(false);
    PanelMsg->SetColor(WaitBackground);
    PanelMsg->SetParentFont(false);
    PanelMsg->Font()->SetName(WaitFontName);
    PanelMsg->Font()->SetHeight(WaitFontHeight);
    PanelMsg->Font()->SetColor(clMaroon);
    PanelMsg->SetCaption("正在进，请稍候...");
}

void TfrmMessage::FormShow(TObject*) {}

TWaitMessage::TWaitMessage(const std::string& Text) {
    if (!frmMessage) return;
    frmMessage->PanelMsg->SetCaption(Text);
    frmMessage->Show();
    ProcessMessages();
    // The step after this handles no messages: the text must be on the screen now.
    PaintOnScreenNow(frmMessage->Handle());
}

HWND TWaitMessage::Handle() const {
    return frmMessage ? frmMessage->Handle() : nullptr;
}

void TWaitMessage::Close() {
    if (frmMessage) frmMessage->Close();
}
