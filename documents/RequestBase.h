// The base of the project application window: an MDI child that stays
// maximised, frees itself when closed and lets the arrows and Enter walk the
// controls in tab order, except inside a code combo box, which keeps its keys.
#pragma once

#include "platform/ui/Forms.h"

class TfrmRequestBase : public TForm {
public:
    explicit TfrmRequestBase(TComponent* AOwner);

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FormKeyPress(TObject* Sender, char32_t& Key);
};
