// Colour routines: integer HLS conversions on the 0..240 scale and the colour
// table loader the wallpaper's grey mapping needs.
#include "components/ColorRoutines.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Gdi.h"

#include <algorithm>

namespace {
constexpr int HLSMax = 240;
constexpr int RGBMax = 255;
constexpr int UndefinedHue = HLSMax * 2 / 3;
} // namespace

TColor MakeColor(Byte Red, Byte Green, Byte Blue) {
    return static_cast<TColor>(Red | (Green << 8) | (Blue << 16));
}

THLS RGBtoHLS(TColor Color) {
    const int r = Color & 0xFF;
    const int g = (Color >> 8) & 0xFF;
    const int b = (Color >> 16) & 0xFF;
    const int cMax = std::max({r, g, b});
    const int cMin = std::min({r, g, b});
    const int l = ((cMax + cMin) * HLSMax + RGBMax) / (2 * RGBMax);
    int h = UndefinedHue;
    int s = 0;
    if (cMax != cMin) {
        const int d = cMax - cMin;
        const int sum = cMax + cMin;
        if (l <= HLSMax / 2)
            s = (d * HLSMax + sum / 2) / sum;
        else
            s = (d * HLSMax + (2 * RGBMax - sum) / 2) / (2 * RGBMax - sum);
        const int rd = ((cMax - r) * (HLSMax / 6) + d / 2) / d;
        const int gd = ((cMax - g) * (HLSMax / 6) + d / 2) / d;
        const int bd = ((cMax - b) * (HLSMax / 6) + d / 2) / d;
        if (r == cMax)
            h = bd - gd;
        else if (g == cMax)
            h = HLSMax / 3 + rd - bd;
        else
            h = 2 * HLSMax / 3 + gd - rd;
        h %= HLSMax;
        if (h < 0) h += HLSMax;
    }
    return THLS{static_cast<Byte>(h), static_cast<Byte>(l), static_cast<Byte>(s)};
}

int HueValue(int Low, int High, int Hue) {
    Hue %= HLSMax;
    if (Hue < 0) Hue += HLSMax;
    if (Hue < HLSMax / 6) return Low + ((High - Low) * Hue + HLSMax / 12) / (HLSMax / 6);
    if (Hue < HLSMax / 2) return High;
    if (Hue < 2 * HLSMax / 3) return Low + ((High - Low) * (2 * HLSMax / 3 - Hue) + HLSMax / 12) / (HLSMax / 6);
    return Low;
}

TColor HLStoRGB(int H, int L, int S) {
    if (S == 0) {
        const auto grey = static_cast<Byte>(L * RGBMax / HLSMax);
        return MakeColor(grey, grey, grey);
    }
    const int m2 = L <= HLSMax / 2 ? (L * (HLSMax + S) + HLSMax / 2) / HLSMax : L + S - (L * S + HLSMax / 2) / HLSMax;
    const int m1 = 2 * L - m2;
    auto channel = [&](int hue) { return static_cast<Byte>((HueValue(m1, m2, hue) * RGBMax + HLSMax / 2) / HLSMax); };
    return MakeColor(channel(H + HLSMax / 3), channel(H), channel(H - HLSMax / 3));
}

UINT SetDIBColors(TBitmap* Bitmap, int FirstIndex, const std::vector<TColor>& Colors) {
    std::vector<RGBQUAD> table(Colors.size());
    for (size_t i = 0; i < Colors.size(); ++i) {
        const COLORREF c = ColorToRGB(Colors[i]);
        table[i].rgbBlue = GetBValue(c);
        table[i].rgbGreen = GetGValue(c);
        table[i].rgbRed = GetRValue(c);
    }
    Bitmap->SetHandleType(bmDIB);
    return CheckGDI(SetDIBColorTable(Bitmap->Canvas()->Handle(), static_cast<UINT>(FirstIndex),
                                     static_cast<UINT>(table.size()), table.data()));
}

UINT CheckGDI(UINT Value) {
    if (Value == 0) RaiseLastWin32();
    return Value;
}

// The platform keeps no per-thread system error code, so there is never a
// system text to report; the general message stands for every failure.
void RaiseLastWin32() {
    RaiseOutOfResources();
}

void RaiseOutOfResources() {
    throw EOutOfResources("Out of system resources");
}
