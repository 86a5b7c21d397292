// The acceptance application window: the common document window over
// KORIM_YSSQNB with its plan-category lookup, five lists, three approval
// boxes and four sub-tables.
#pragma once

#include "documents/DocumentWindow.h"

class Tfrmyssq : public TfrmDocument {
public:
    explicit Tfrmyssq(TComponent* AOwner);
};

extern Tfrmyssq* frmyssq;
