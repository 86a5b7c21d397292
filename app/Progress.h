// The progress window: a borderless box with a step text above a gauge. One
// instance, frmProgress, lives for the whole process; callers drive it.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gauges.h"

class TfrmProgress : public TForm {
public:
    explicit TfrmProgress(TComponent* AOwner);

    TPanel* Panel1 = nullptr;
    TLabel* lblTitle = nullptr;
    TGauge* Gauge = nullptr;
};

extern TfrmProgress* frmProgress;
