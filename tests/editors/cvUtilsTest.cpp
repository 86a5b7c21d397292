// The drawing routines: keeping a popup inside its work area, and the
// checkerboard and shadow painters checked pixel by pixel on a memory DC.
#include "editors/cvUtils.h"

#include "platform/ui/Gdi.h"

#include <gtest/gtest.h>

namespace {

TEST(cvUtils, FitPopupToWorkAreaKeepsThePopupInsideAndFlipsOnlyWithMoreRoomAbove) {
    struct Case {
        const char* Name;
        TRect WorkArea;
        TPoint Planned; // under an editor 20 high whose bottom is Planned.Y
        TPoint Placed;
    };
    // The popup is 100 x 80.
    const Case cases[] = {
        {"fits below", {0, 0, 800, 600}, {50, 100}, {50, 100}},
        {"left of the work area", {40, 0, 800, 600}, {10, 100}, {40, 100}},
        {"past the right edge", {0, 0, 800, 600}, {750, 100}, {700, 100}},
        {"no room below, more above", {0, 0, 800, 600}, {50, 560}, {50, 460}},
        {"no room below, less above", {0, 0, 800, 600}, {50, 90}, {50, 90}},
        // A work area below y = 0: the popup's bottom meets the area's bottom.
        {"lower monitor, fits below", {0, 600, 800, 1200}, {50, 1000}, {50, 1000}},
        {"lower monitor, flips", {0, 600, 800, 1200}, {50, 1150}, {50, 1050}},
        {"lower monitor, near its top", {0, 600, 800, 1200}, {50, 640}, {50, 640}},
    };
    for (const Case& c : cases) {
        TPoint p = c.Planned;
        cvUtils::FitPopupToWorkArea(p, 100, 80, 20, c.WorkArea);
        EXPECT_EQ(p, c.Placed) << c.Name;
    }
}

class PaintedImage : public ::testing::Test {
protected:
    void SetUp() override {
        DC = CreateCompatibleDC(nullptr);
        Bitmap = CreateCompatibleBitmap(nullptr, 16, 16);
        Old = SelectObject(DC, Bitmap);
        const TRect all{0, 0, 16, 16};
        HBRUSH white = CreateSolidBrush(0xFFFFFF);
        FillRect(DC, &all, white);
        DeleteObject(white);
    }
    void TearDown() override {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
    HDC DC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
};

TEST_F(PaintedImage, DitherRectColoursEverySecondPixelAndKeepsTheOthers) {
    cvUtils::DitherRect(DC, {2, 2, 10, 10}, 0x0000FF); // red
    for (int y = 2; y < 10; ++y)
        for (int x = 2; x < 10; ++x)
            EXPECT_EQ(GetPixel(DC, x, y), (x % 2 == y % 2) ? 0x0000FFu : 0xFFFFFFu) << x << "," << y;
    EXPECT_EQ(GetPixel(DC, 1, 1), 0xFFFFFFu) << "outside the rectangle";
}

TEST_F(PaintedImage, DrawShadowFillsTheBottomAndRightStrips) {
    HBRUSH black = CreateSolidBrush(0);
    cvUtils::DrawShadow(DC, {4, 4, 12, 12}, 2, black);
    DeleteObject(black);
    EXPECT_EQ(GetPixel(DC, 4, 11), 0u) << "bottom strip, left end";
    EXPECT_EQ(GetPixel(DC, 11, 4), 0u) << "right strip, top end";
    EXPECT_EQ(GetPixel(DC, 9, 9), 0xFFFFFFu) << "the frame's own area";
}

} // namespace
