// The acceptance certificate window: the common document window over
// KORIM_YSZSBNB with its nineteen lists, the two leaders' birth checks, the
// staff, funds and expenditure sums and five sub-tables.
#pragma once

#include "documents/DocumentWindow.h"

class Tfrmyszs : public TfrmDocument {
public:
    explicit Tfrmyszs(TComponent* AOwner);
};

extern Tfrmyszs* frmyszs;
