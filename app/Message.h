// The wait window: a borderless strip with one line of text that callers show
// around a long step. One instance, frmMessage, lives for the whole process;
// showing and closing only hide it.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

#include <string>

class TfrmMessage : public TForm {
public:
    explicit TfrmMessage(TComponent* AOwner);

    TPanel* PanelMsg = nullptr;

    void FormShow(TObject* Sender);
};

extern TfrmMessage* frmMessage;

// Shows frmMessage with Text for the life of the guard, so the window closes
// however the step ends. Does nothing before frmMessage exists.
class TWaitMessage {
public:
    explicit TWaitMessage(const std::string& Text);
    ~TWaitMessage() { Close(); }
    TWaitMessage(const TWaitMessage&) = delete;
    TWaitMessage& operator=(const TWaitMessage&) = delete;

    // The wait window, to own a question asked while it shows.
    HWND Handle() const;
    void Close();
};
