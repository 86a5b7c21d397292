// The base of the modal pop-up windows (registration and profile, data
// update): centred, keys previewed so arrows and Enter walk the controls,
// digit-only edits, code combo boxes that refuse typed text, and the
// main window's PopupOpen flag held while the window is open.
#pragma once

#include "components/FlatPainter.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <set>

class TfrmPop : public TForm {
public:
    explicit TfrmPop(TComponent* AOwner);

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FormKeyPress(TObject* Sender, char32_t& Key);
    // Lets Backspace and "0" to "9" through, nothing else.
    void EditKeyPress(TObject* Sender, char32_t& Key);
    // Text that is not one of the combo box's items is refused and emptied.
    void popCombBoxExit(TObject* Sender);
    // Switches input methods off in the fields that take no Chinese: code
    // combo boxes, masked, password and digit-only edits. Free-text edits
    // keep theirs, so names and addresses can be typed in Chinese.
    void ResetImeModes(TWinControl* Container);

    // Inactive here; the pop-up windows switch it on.
    TFlatPainter* FlatPainter1 = nullptr;

protected:
    // Binds EditKeyPress and marks the edit as one that takes digits only.
    void DigitsOnly(TEdit* Edit);
    // Binds popCombBoxExit.
    void CodeBox(TCustomComboBox* Box);

private:
    std::set<TWinControl*> FDigitEdits;
};
