// The wait window: a borderless strip with one line of text that callers show
// around a long step. One instance, frmMessage, lives for the whole process;
// showing and closing only hide it.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

class TfrmMessage : public TForm {
public:
    explicit TfrmMessage(TComponent* AOwner);

    TPanel* PanelMsg = nullptr;

    void FormShow(TObject* Sender);
};

extern TfrmMessage* frmMessage;
