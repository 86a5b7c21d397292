// Bitmap and icon resources compiled into the test program
// (tests/platform/ui/resources): loading by name in any case, BMP and PNG
// pixels, unknown names, a resource bitmap added to an image list with a mask
// colour, and an icon of several sizes.
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Resources.h"
#include "platform/ui/testhooks/DesktopTestHooks.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The pixel of a bitmap handle, read through a memory DC.
COLORREF PixelOf(HBITMAP Bitmap, int X, int Y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Bitmap);
    const COLORREF pixel = GetPixel(dc, X, Y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixel;
}

TEST(GraphicsResource, BitmapsLoadByNameInAnyCase) {
    struct Case {
        const char* Name;
        int Width, Height, X, Y;
        COLORREF Expected;
    };
    // test_glyph.bmp: olive, a red square at (1, 1)-(2, 2), a blue bottom-right
    // pixel; test_badge.png: lime top-left, a transparent bottom-right, blue elsewhere.
    const Case cases[] = {
        {"TEST_GLYPH", 6, 4, 0, 0, RGB(128, 128, 0)},
        {"test_glyph", 6, 4, 2, 2, RGB(255, 0, 0)},
        {"Test_Glyph", 6, 4, 5, 3, RGB(0, 0, 255)},
        {"TEST_BADGE", 3, 2, 0, 0, RGB(0, 255, 0)},
        {"TEST_BADGE", 3, 2, 1, 0, RGB(0, 0, 255)},
        {"TEST_BADGE", 3, 2, 2, 1, RGB(255, 255, 255)}, // flattened onto white
    };
    for (const Case& c : cases) {
        HBITMAP bitmap = LoadBitmap(HInstance, c.Name);
        ASSERT_NE(bitmap, nullptr) << c.Name;
        TBitmap owner;
        owner.SetHandle(bitmap);
        EXPECT_EQ(owner.Width(), c.Width) << c.Name;
        EXPECT_EQ(owner.Height(), c.Height) << c.Name;
        EXPECT_EQ(PixelOf(bitmap, c.X, c.Y), c.Expected) << c.Name << " " << c.X << "," << c.Y;
    }
}

TEST(GraphicsResource, UnknownNamesGiveNothingAndLoadFromResourceNameRaises) {
    EXPECT_EQ(LoadBitmap(HInstance, "NO_SUCH_BITMAP"), nullptr);
    EXPECT_EQ(LoadBitmap(HInstance, "TEST_POINTER"), nullptr) << "a cursor is no bitmap";
    EXPECT_EQ(LoadBitmap(nullptr, "TEST_GLYPH"), nullptr) << "the system's module has none of ours";
    EXPECT_EQ(LoadBitmap(HInstance, nullptr), nullptr);
    TBitmap bitmap;
    try {
        bitmap.LoadFromResourceName(HInstance, "NO_SUCH_BITMAP");
        FAIL() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_STREQ(e.what(), "Resource NO_SUCH_BITMAP not found");
    }
    EXPECT_TRUE(bitmap.Empty());
}

TEST(GraphicsResource, SystemCheckBoxesHoldFourStatesOfThreeKinds) {
    EXPECT_EQ(LoadBitmap(HInstance, OBM_CHECKBOXES), nullptr) << "the program's module has no system bitmaps";
    TBitmap boxes;
    boxes.SetHandle(LoadBitmap(nullptr, OBM_CHECKBOXES));
    ASSERT_FALSE(boxes.Empty());
    const int width = boxes.Width() / 4, height = boxes.Height() / 3;
    EXPECT_EQ(width * 4, boxes.Width());
    EXPECT_EQ(height * 3, boxes.Height());
    // The mark crosses the middle of a checked box only.
    const int x = width / 2, y = height / 2 + 1;
    EXPECT_NE(PixelOf(boxes.Handle(), x, y), PixelOf(boxes.Handle(), width + x, y));
}

TEST(GraphicsResource, ResourceBitmapGoesIntoAnImageListMasked) {
    TBitmap glyph;
    glyph.LoadFromResourceName(HInstance, "TEST_GLYPH");
    TImageList list(nullptr);
    list.SetWidth(glyph.Width());
    list.SetHeight(glyph.Height());
    EXPECT_EQ(list.AddMasked(&glyph, clOlive), 0);
    TBitmap target;
    target.SetSize(10, 10);
    target.Canvas()->Brush()->SetColor(clGray);
    target.Canvas()->FillRect(Rect(0, 0, 10, 10));
    list.Draw(target.Canvas(), 2, 2, 0);
    EXPECT_EQ(target.Canvas()->Pixels(2, 2), clGray) << "the olive background is masked out";
    EXPECT_EQ(target.Canvas()->Pixels(3, 3), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(7, 5), clBlue);
}

// mainicon.ico holds red at 16, lime at 32 and blue at 48 pixels.
TEST(GraphicsResource, IconsAreDrawnAtTheNearestSizeAndGiveTheDesktopEverySize) {
    struct Case {
        int Asked; // 0: the system's icon size
        int Width;
        COLORREF Colour;
    };
    const Case cases[] = {{0, 32, RGB(0, 255, 0)},
                          {16, 16, RGB(255, 0, 0)},
                          {20, 16, RGB(255, 0, 0)},
                          {44, 48, RGB(0, 0, 255)},
                          {100, 48, RGB(0, 0, 255)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Asked);
        TIcon icon;
        icon.SetHandle(LoadIcon(HInstance, "mainicon", c.Asked));
        ASSERT_NE(icon.Handle(), nullptr);
        EXPECT_EQ(icon.Width(), c.Width);
        TBitmap target;
        target.SetSize(c.Width, c.Width);
        target.Canvas()->Draw(0, 0, &icon);
        EXPECT_EQ(target.Canvas()->Pixels(c.Width / 2, c.Width / 2), static_cast<TColor>(c.Colour));
        EXPECT_EQ(platform_ui::test::DesktopIconSizes(icon.Handle()), (std::vector<int>{16, 32, 48}));
    }
    EXPECT_EQ(LoadIcon(HInstance, "NO_SUCH_ICON"), nullptr);
    EXPECT_EQ(LoadIcon(HInstance, "TEST_GLYPH"), nullptr) << "a bitmap is no icon";
    EXPECT_EQ(LoadIcon(nullptr, "MAINICON"), nullptr);
}

TEST(GraphicsResource, ACopiedIconKeepsItsSizesAndDrawsTheOneMadeForTheSizeAsked) {
    TIcon loaded;
    loaded.SetHandle(LoadIcon(HInstance, "MAINICON"));
    TIcon copy;
    copy.Assign(&loaded);
    EXPECT_EQ(platform_ui::test::DesktopIconSizes(copy.Handle()), (std::vector<int>{16, 32, 48}));
    TBitmap target;
    target.SetSize(16, 16);
    DrawIconEx(target.Canvas()->Handle(), 0, 0, copy.Handle(), 16, 16);
    EXPECT_EQ(target.Canvas()->Pixels(8, 8), clRed);
}

} // namespace
