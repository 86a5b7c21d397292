// The HLS conversions against the colour dialog's known values, and loading a
// colour table into a paletted bitmap.
#include "components/ColorRoutines.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Gdi.h"

#include <gtest/gtest.h>

namespace {

struct HlsCase {
    const char* Name;
    Byte R, G, B;
    int H, L, S;
};

const HlsCase KnownColours[] = {
    {"black", 0, 0, 0, 160, 0, 0},         {"white", 255, 255, 255, 160, 240, 0}, {"red", 255, 0, 0, 0, 120, 240},
    {"green", 0, 255, 0, 80, 120, 240},    {"blue", 0, 0, 255, 160, 120, 240},    {"grey", 128, 128, 128, 160, 120, 0},
    {"yellow", 255, 255, 0, 40, 120, 240},
};

TEST(ColorRoutines, KnownColoursConvertToHlsAndBack) {
    for (const auto& c : KnownColours) {
        SCOPED_TRACE(c.Name);
        const TColor colour = MakeColor(c.R, c.G, c.B);
        const THLS hls = RGBtoHLS(colour);
        EXPECT_EQ(hls.H, c.H);
        EXPECT_EQ(hls.L, c.L);
        EXPECT_EQ(hls.S, c.S);
        if (c.S != 0 || c.L == 0 || c.L == 240) {
            EXPECT_EQ(HLStoRGB(hls.H, hls.L, hls.S), colour);
        }
    }
}

TEST(ColorRoutines, MakeColorPacksRedLow) {
    EXPECT_EQ(MakeColor(0x12, 0x34, 0x56), 0x563412);
}

TEST(ColorRoutines, MidLuminanceWithoutSaturationIsGrey127ForAnyHue) {
    for (int h : {0, 40, 160, 239})
        EXPECT_EQ(HLStoRGB(h, 120, 0), MakeColor(127, 127, 127)) << h;
}

TEST(ColorRoutines, HueValueWrapsHuesOutsideTheCircle) {
    EXPECT_EQ(HueValue(0, 240, -80), HueValue(0, 240, 160));
    EXPECT_EQ(HueValue(0, 240, 320), HueValue(0, 240, 80));
    EXPECT_EQ(HueValue(0, 240, 20), 120);
    EXPECT_EQ(HueValue(0, 240, 140), 120);
    EXPECT_EQ(HueValue(10, 200, 200), 10);
}

TEST(ColorRoutines, SetDIBColorsLoadsThePaletteFromTheFirstIndex) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf8bit);
    bitmap.SetSize(4, 4);
    const std::vector<TColor> ramp = {MakeColor(1, 2, 3), clWhite, clBtnFace};
    EXPECT_EQ(SetDIBColors(&bitmap, 5, ramp), 3u);
    RGBQUAD table[3];
    ASSERT_EQ(GetDIBColorTable(bitmap.Canvas()->Handle(), 5, 3, table), 3u);
    EXPECT_EQ(table[0].rgbRed, 1);
    EXPECT_EQ(table[0].rgbGreen, 2);
    EXPECT_EQ(table[0].rgbBlue, 3);
    EXPECT_EQ(table[1].rgbRed, 255);
    const COLORREF face = ColorToRGB(clBtnFace);
    EXPECT_EQ(table[2].rgbRed, GetRValue(face));
}

TEST(ColorRoutines, FailedColourTableRaisesOutOfResources) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(2, 2);
    try {
        SetDIBColors(&bitmap, 0, {clBlack});
        FAIL() << "no exception";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Out of system resources");
    }
}

} // namespace
