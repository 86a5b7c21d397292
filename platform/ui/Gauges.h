// The sample gauge: a bar (or text) showing Progress between MinValue and
// MaxValue, with the percentage written across it.
#pragma once

#include "platform/ui/Controls.h"

enum TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar };

class TGauge : public TGraphicControl {
public:
    explicit TGauge(TComponent* AOwner);

    TGaugeKind Kind() const { return FKind; }
    void SetKind(TGaugeKind Value);
    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value);
    int Progress() const { return FProgress; }
    void SetProgress(int Value);
    void AddProgress(int Value) { SetProgress(FProgress + Value); }
    // 0..100, rounded down.
    int PercentDone() const;
    TColor ForeColor() const { return FForeColor; }
    void SetForeColor(TColor Value);
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor Value);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

protected:
    void Paint() override;

private:
    TGaugeKind FKind = gkHorizontalBar;
    int FMinValue = 0;
    int FMaxValue = 100;
    int FProgress = 0;
    TColor FForeColor = clBlack;
    TColor FBackColor = clWhite;
    bool FShowText = true;
    TBorderStyle FBorderStyle = bsSingle;
};
