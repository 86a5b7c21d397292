// The demo's flat pop-up window: an active flat painter over an edit, a combo
// box, a check box, a radio button, a group box and buttons.
#pragma once

#include "platform/ui/Forms.h"

class TFlatPainter;

class TfrmFlatPopup : public TForm {
public:
    explicit TfrmFlatPopup(TComponent* AOwner);

    TFlatPainter* FlatPainter1 = nullptr;
};
