// The gauge paints the filled part in ForeColor and writes the percentage
// over both parts, each in the other part's colour, so it reads on either.
#include "platform/ui/Gauges.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"

#include <algorithm>

TGauge::TGauge(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle += csOpaque;
    SetBounds(0, 0, 100, 100);
}

void TGauge::SetKind(TGaugeKind Value) {
    FKind = Value;
    Invalidate();
}

void TGauge::SetMinValue(int Value) {
    FMinValue = Value;
    SetProgress(FProgress);
    Invalidate();
}

void TGauge::SetMaxValue(int Value) {
    FMaxValue = Value;
    SetProgress(FProgress);
    Invalidate();
}

void TGauge::SetProgress(int Value) {
    Value = std::clamp(Value, FMinValue, std::max(FMinValue, FMaxValue));
    if (Value == FProgress) return;
    FProgress = Value;
    Invalidate();
}

int TGauge::PercentDone() const {
    if (FMaxValue <= FMinValue) return 0;
    return static_cast<int>(static_cast<int64_t>(FProgress - FMinValue) * 100 / (FMaxValue - FMinValue));
}

void TGauge::SetForeColor(TColor Value) {
    FForeColor = Value;
    Invalidate();
}

void TGauge::SetBackColor(TColor Value) {
    FBackColor = Value;
    Invalidate();
}

void TGauge::SetShowText(bool Value) {
    FShowText = Value;
    Invalidate();
}

void TGauge::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    Invalidate();
}

void TGauge::Paint() {
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    TRect r = ClientRect();
    if (FBorderStyle == bsSingle) {
        HBRUSH frame = CreateSolidBrush(0);
        FrameRect(dc, &r, frame);
        DeleteObject(frame);
        InflateRect(r, -1, -1);
    }
    canvas->Brush()->SetColor(FBackColor);
    canvas->FillRect(r);
    TRect filled = r;
    if (FKind == gkHorizontalBar)
        filled.Right = r.Left + MulDiv(r.Width(), PercentDone(), 100);
    else if (FKind == gkVerticalBar)
        filled.Top = r.Bottom - MulDiv(r.Height(), PercentDone(), 100);
    else
        filled = {};
    if (!IsRectEmpty(filled)) {
        canvas->Brush()->SetColor(FForeColor);
        canvas->FillRect(filled);
    }
    if (!FShowText) return;
    const std::string text = std::to_string(PercentDone()) + "%";
    canvas->Refresh();
    SetBkMode(dc, TRANSPARENT);
    const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    auto write = [&](const TRect& clip, TColor color) {
        if (IsRectEmpty(clip)) return;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, clip.Left, clip.Top, clip.Right, clip.Bottom);
        SetTextColor(dc, ColorToRGB(color));
        TRect t = r;
        DrawText(dc, text, &t, flags);
        RestoreDC(dc, saved);
    };
    // Over the bar in the back colour, over the rest in the fore colour.
    write(filled, FBackColor);
    TRect rest = r;
    if (FKind == gkHorizontalBar)
        rest.Left = filled.Right;
    else if (FKind == gkVerticalBar)
        rest.Bottom = filled.Top;
    write(rest, FKind == gkText ? Font()->Color() : FForeColor);
}
