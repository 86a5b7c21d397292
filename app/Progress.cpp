// The progress window's layout; it has no behaviour of its own.
#include "app/Progress.h"

#include "platform/ui/FormBuilder.h"

TfrmProgress* frmProgress = nullptr;

namespace {

constexpr TColor GaugeBackground = 16706763; // 0xFEECCB: a pale blue

} // namespace

TfrmProgress::TfrmProgress(TComponent* AOwner) : TForm(AOwner) {
    TFormBuilder build(this);
    SetName("frmProgress");
    SetBorderStyle(bsNone);
    SetPosition(poScreenCenter);
    SetClientWidth(336);
    SetClientHeight(57);
    SetVisible(false);

    Panel1 = build.Control<TPanel>(this, "Panel1");
    Panel1->SetAlign(alClient);
    Panel1->SetBevelInner(bvLowered);
    Panel1->SetBorderWidth(4);
    Panel1->SetCaption("");

    lblTitle = build.Control<TLabel>(Panel1, "lblTitle", {8, 8, 300, 13}, "...");

    Gauge = build.Control<TGauge>(Panel1, "Gauge");
    Gauge->SetAlign(alBottom);
    Gauge->SetHeight(24);
    Gauge->SetBorderStyle(bsNone);
    Gauge->SetForeColor(clNavy);
    Gauge->SetBackColor(GaugeBackground);
    Gauge->SetMinValue(0);
    Gauge->SetMaxValue(100);
    Gauge->SetProgress(0);
}
