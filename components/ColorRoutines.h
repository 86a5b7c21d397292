// Colour arithmetic for the wallpaper's grey mapping: RGB to hue, luminance and
// saturation on the 0..240 scale and back, and loading a colour table into a
// device-independent bitmap. Divisions truncate toward zero throughout, so the
// round trips match the classic colour dialog's numbers.
#pragma once

#include "platform/ui/Graphics.h"

#include <vector>

// Hue, luminance, saturation, each 0..240; hue 160 stands for "no hue" (a grey).
struct THLS {
    Byte H = 0;
    Byte L = 0;
    Byte S = 0;
};

TColor MakeColor(Byte Red, Byte Green, Byte Blue);
THLS RGBtoHLS(TColor Color);
TColor HLStoRGB(int H, int L, int S);
// One channel of HLStoRGB; Hue may lie outside 0..239 (H - 80 and H + 80 are passed unwrapped).
int HueValue(int Low, int High, int Hue);

// Loads Colors into Bitmap's colour table from FirstIndex on (system colours
// resolved); answers the number of entries set, raises EOutOfResources on failure.
UINT SetDIBColors(TBitmap* Bitmap, int FirstIndex, const std::vector<TColor>& Colors);
UINT CheckGDI(UINT Value);
[[noreturn]] void RaiseLastWin32();
[[noreturn]] void RaiseOutOfResources();
