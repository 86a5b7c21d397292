// TCanvas with its font, pen and brush on a TBitmap, and the bitmap's own
// behaviour: resizing, pixel formats and palettes, transparency, BMP files.
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::unique_ptr<TBitmap> MakeBitmap(int width, int height, TColor fill) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(width, height);
    bitmap->Canvas()->Brush()->SetColor(fill);
    bitmap->Canvas()->FillRect(Rect(0, 0, width, height));
    return bitmap;
}

TEST(GraphicsCanvasTest, FontSizeIsPointsAtNinetySixDpiAndChangesNotify) {
    TFont font;
    int changes = 0;
    font.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(font.Size(), 9); // the default 宋体 9
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -13);
    font.SetHeight(-16);
    EXPECT_EQ(font.Size(), 12);
    font.SetStyle({fsBold});
    font.SetColor(clRed);
    font.SetColor(clRed); // no change, no notification
    EXPECT_EQ(changes, 4);
    LOGFONT lf;
    ASSERT_TRUE(GetObject(font.Handle(), lf));
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    TFont copy;
    copy.Assign(&font);
    EXPECT_EQ(copy.Height(), -16);
    EXPECT_TRUE(copy.Style().Contains(fsBold));
    EXPECT_EQ(copy.Color(), clRed);
}

TEST(GraphicsCanvasTest, CanvasDrawsWithItsBrushPenAndSystemColours) {
    auto bitmap = MakeBitmap(20, 20, clBtnFace);
    TCanvas* canvas = bitmap->Canvas();
    EXPECT_EQ(static_cast<COLORREF>(canvas->Pixels(5, 5)), GetSysColor(COLOR_BTNFACE));
    canvas->Pen()->SetColor(clBlue);
    canvas->MoveTo(0, 3);
    canvas->LineTo(10, 3);
    EXPECT_EQ(canvas->Pixels(9, 3), clBlue);
    EXPECT_EQ(canvas->PenPos(), (TPoint{10, 3}));
    canvas->SetPixels(15, 15, clLime);
    EXPECT_EQ(canvas->Pixels(15, 15), clLime);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(0, 10, 5, 15); // a hollow frame
    EXPECT_EQ(canvas->Pixels(0, 10), clBlue);
    EXPECT_EQ(static_cast<COLORREF>(canvas->Pixels(2, 12)), GetSysColor(COLOR_BTNFACE));
}

TEST(GraphicsCanvasTest, XorPenModeDrawnTwiceRestoresTheBitmap) {
    auto bitmap = MakeBitmap(16, 16, clTeal);
    TCanvas* canvas = bitmap->Canvas();
    canvas->SetPixels(4, 4, clYellow);
    canvas->Pen()->SetMode(pmXor);
    canvas->Pen()->SetColor(clWhite);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(2, 2, 12, 12);
    canvas->Rectangle(2, 2, 12, 12);
    EXPECT_EQ(canvas->Pixels(2, 2), clTeal);
    EXPECT_EQ(canvas->Pixels(4, 4), clYellow);
    canvas->Pen()->SetMode(pmNot);
    canvas->MoveTo(0, 4);
    canvas->LineTo(8, 4);
    EXPECT_EQ(canvas->Pixels(4, 4), static_cast<TColor>(~static_cast<COLORREF>(clYellow) & 0xFFFFFF));
}

TEST(GraphicsCanvasTest, TextIsOpaqueOnASolidBrushAndTransparentOnAClearOne) {
    auto bitmap = MakeBitmap(100, 30, clWhite);
    TCanvas* canvas = bitmap->Canvas();
    canvas->Font()->SetColor(clBlack);
    canvas->Brush()->SetColor(clYellow);
    const TSize size = canvas->TextExtent("Wg");
    ASSERT_GT(size.cx, 0);
    canvas->TextOut(0, 0, "Wg");
    EXPECT_EQ(canvas->PenPos().X, size.cx);
    int yellow = 0;
    for (int x = 0; x < size.cx; ++x)
        yellow += canvas->Pixels(x, size.cy - 1) == clYellow;
    EXPECT_GT(yellow, 0);
    EXPECT_EQ(canvas->Pixels(size.cx, 0), clWhite);
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(0, size.cy, "Wg");
    for (int x = 0; x < size.cx; ++x)
        EXPECT_NE(canvas->Pixels(x, 2 * size.cy - 1), clYellow);
    // TextRect clips to its rectangle.
    canvas->Brush()->SetColor(clRed);
    canvas->TextRect(Rect(60, 0, 64, size.cy), 60, 0, "WWWW");
    EXPECT_EQ(canvas->Pixels(64, 2), clWhite);
    canvas->Font()->SetSize(20);
    EXPECT_GT(canvas->TextWidth("Wg"), size.cx);
}

TEST(GraphicsCanvasTest, ResizingKeepsTheTopLeftPixels) {
    auto bitmap = MakeBitmap(4, 4, clRed);
    bitmap->SetSize(8, 6);
    EXPECT_EQ(bitmap->Width(), 8);
    EXPECT_EQ(bitmap->Height(), 6);
    EXPECT_EQ(bitmap->Canvas()->Pixels(3, 3), clRed);
    EXPECT_EQ(bitmap->Canvas()->Pixels(4, 3), clWhite);
    bitmap->SetWidth(0);
    EXPECT_TRUE(bitmap->Empty());
    EXPECT_EQ(bitmap->Handle(), nullptr);
    // An empty bitmap grows one side at a time, as a caller widening and
    // then heightening it expects.
    TBitmap grown;
    grown.SetWidth(5);
    EXPECT_TRUE(grown.Empty());
    grown.SetHeight(3);
    EXPECT_EQ(grown.Width(), 5);
    EXPECT_EQ(grown.Height(), 3);
    EXPECT_EQ(grown.Canvas()->Pixels(4, 2), clWhite);
}

TEST(GraphicsCanvasTest, EightBitBitmapsFollowTheirColourTable) {
    auto bitmap = MakeBitmap(4, 4, clBlack);
    bitmap->SetPixelFormat(pf8bit);
    EXPECT_EQ(bitmap->PixelFormat(), pf8bit);
    EXPECT_EQ(GetDeviceCaps(bitmap->Canvas()->Handle(), BITSPIXEL), 8);
    EXPECT_EQ(bitmap->Canvas()->Pixels(1, 1), clBlack);
    const RGBQUAD red{0, 0, 255, 0};
    EXPECT_EQ(SetDIBColorTable(bitmap->Canvas()->Handle(), 0, 1, &red), 1u);
    EXPECT_EQ(bitmap->Canvas()->Pixels(1, 1), clRed);
    // Drawing takes the nearest colour of the table.
    bitmap->Canvas()->SetPixels(0, 0, RGB(250, 5, 5));
    EXPECT_EQ(bitmap->Canvas()->Pixels(0, 0), clRed);
    auto mono = MakeBitmap(2, 2, clWhite);
    mono->SetPixelFormat(pf1bit);
    EXPECT_EQ(SetDIBColorTable(mono->Canvas()->Handle(), 0, 1, &red), 0u);
    EXPECT_TRUE(mono->Monochrome());
}

TEST(GraphicsCanvasTest, MappedBitmapReplacesColours) {
    auto bitmap = MakeBitmap(2, 1, clRed);
    bitmap->Canvas()->SetPixels(1, 0, clBlue);
    HBITMAP mapped = CreateMappedBmp(bitmap->Handle(), {clRed}, {clGreen});
    TBitmap copy;
    copy.SetHandle(mapped);
    EXPECT_EQ(copy.Canvas()->Pixels(0, 0), clGreen);
    EXPECT_EQ(copy.Canvas()->Pixels(1, 0), clBlue);
    EXPECT_EQ(bitmap->Canvas()->Pixels(0, 0), clRed);
}

TEST(GraphicsCanvasTest, TransparentBitmapLeavesItsTransparentColourUnpainted) {
    auto sprite = MakeBitmap(4, 4, clFuchsia);
    sprite->Canvas()->SetPixels(1, 1, clRed);
    sprite->Canvas()->SetPixels(2, 2, clBlack);
    sprite->SetTransparent(true);
    EXPECT_EQ(sprite->TransparentColor(), clFuchsia); // the bottom-left pixel
    auto target = MakeBitmap(10, 10, clBlue);
    target->Canvas()->Draw(3, 3, sprite.get());
    EXPECT_EQ(target->Canvas()->Pixels(4, 4), clRed);
    EXPECT_EQ(target->Canvas()->Pixels(5, 5), clBlack);
    EXPECT_EQ(target->Canvas()->Pixels(3, 3), clBlue);
    sprite->SetTransparent(false);
    target->Canvas()->StretchDraw(Rect(0, 0, 8, 8), sprite.get());
    EXPECT_EQ(target->Canvas()->Pixels(0, 0), clFuchsia);
    EXPECT_EQ(target->Canvas()->Pixels(3, 3), clRed);
    EXPECT_EQ(target->Canvas()->Pixels(8, 8), clBlue);
}

TEST(GraphicsCanvasTest, BitmapFilesRoundTripWithTheirPixelFormat) {
    const auto folder = std::filesystem::temp_directory_path() / ("graphics-canvas-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    for (TPixelFormat format : {pf24bit, pf8bit, pf1bit}) {
        auto bitmap = MakeBitmap(5, 3, clWhite);
        bitmap->Canvas()->SetPixels(1, 2, clBlack);
        bitmap->Canvas()->SetPixels(4, 0, clBlack);
        bitmap->SetPixelFormat(format);
        const std::string file = (folder / "picture.bmp").string();
        bitmap->SaveToFile(file);
        TBitmap loaded;
        loaded.LoadFromFile(file);
        EXPECT_EQ(loaded.Width(), 5) << format;
        EXPECT_EQ(loaded.Height(), 3) << format;
        EXPECT_EQ(loaded.PixelFormat() == pf1bit, format == pf1bit) << format;
        EXPECT_EQ(loaded.Canvas()->Pixels(1, 2), clBlack) << format;
        EXPECT_EQ(loaded.Canvas()->Pixels(4, 0), clBlack) << format;
        EXPECT_EQ(loaded.Canvas()->Pixels(0, 0), clWhite) << format;
    }
    TMemoryStream garbage;
    garbage.WriteBuffer("not a bitmap", 12);
    garbage.SetPosition(0);
    TBitmap broken;
    EXPECT_THROW(broken.LoadFromStream(&garbage), EInvalidGraphic);
    std::filesystem::remove_all(folder);
}

} // namespace
