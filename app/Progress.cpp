// The progress window's layout; it has no behaviour of its own.
#include "app/Progress.h"

TfrmProgress* frmProgress = nullptr;

namespace {

constexpr TColor GaugeBackground = 16706763; // 0xFEECCB: a pale blue

} // namespace

TfrmProgress::TfrmProgress(TComponent* AOwner) : TForm(AOwner) {
    TComponentLoading loading(this);
    SetName("frmProgress");
    SetBorderStyle(bsNone);
    SetPosition(poScreenCenter);
    SetClientWidth(336);
    SetClientHeight(57);
    SetVisible(false);

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetAlign(alClient);
    Panel1->SetBevelInner(bvLowered);
    Panel1->SetBorderWidth(4);
    Panel1->SetCaption("");

    lblTitle = new TLabel(this);
    lblTitle->SetName("lblTitle");
    lblTitle->SetParent(Panel1);
    lblTitle->SetBounds(8, 8, 300, 13);
    lblTitle->SetCaption("...");

    Gauge = new TGauge(this);
    Gauge->SetName("Gauge");
    Gauge->SetParent(Panel1);
    Gauge->SetAlign(alBottom);
    Gauge->SetHeight(24);
    Gauge->SetBorderStyle(bsNone);
    Gauge->SetForeColor(clNavy);
    Gauge->SetBackColor(GaugeBackground);
    Gauge->SetMinValue(0);
    Gauge->SetMaxValue(100);
    Gauge->SetProgress(0);
}
