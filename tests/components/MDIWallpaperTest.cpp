// The wallpaper on a real MDI frame (and a plain form): pixels at a few known
// points for each placement, tiles with shifts, scrolling, grey mapping,
// transparency, and who holds the client.
#include "components/MDIWallpaper.h"

#include "MdiFrame.h"

#include "components/ColorRoutines.h"
#include "platform/ui/Painting.h"
#include "platform/ui/ScrollBar.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using componentstest::MdiFrame;

constexpr TColor Corner = 0x00FF00; // the picture's top-left pixel
constexpr TColor LeftHalf = 0x0000FF;
constexpr TColor RightHalf = 0xFF0000;

// A picture whose left half is red, right half blue, top-left pixel green.
std::unique_ptr<TBitmap> TestPicture(int w, int h) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(LeftHalf);
    b->Canvas()->FillRect(Rect(0, 0, w / 2, h));
    b->Canvas()->Brush()->SetColor(RightHalf);
    b->Canvas()->FillRect(Rect(w / 2, 0, w, h));
    b->Canvas()->SetPixels(0, 0, Corner);
    return b;
}

class WallpaperTest : public ::testing::Test {
protected:
    void SetUp() override {
        Wallpaper = new TMDIWallpaper(MdiFrame());
        TComponentLoading loading(Wallpaper);
        Wallpaper->SetClientIsOwnerForm(true);
    }
    void TearDown() override {
        delete Wallpaper;
        RestoreClassicSysColors();
        ProcessMessages();
    }
    void SetPicture(int w, int h) {
        auto picture = TestPicture(w, h);
        Wallpaper->Picture()->SetGraphic(picture.get());
    }
    HWND Client() const { return MdiFrame()->ClientHandle(); }
    TRect ClientArea() const {
        TRect r;
        GetClientRect(Client(), r);
        return r;
    }
    TColor Pixel(int x, int y) {
        InvalidateRect(Client(), nullptr, true);
        UpdateWindow(Client());
        HDC dc = GetDC(Client());
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(Client(), dc);
        return static_cast<TColor>(c);
    }
    TColor Background() const { return static_cast<TColor>(ColorToRGB(MdiFrame()->Color())); }
    TMDIWallpaper* Wallpaper = nullptr;
};

TEST_F(WallpaperTest, HooksTheOwnerFormsMdiClientWhenLoaded) {
    EXPECT_TRUE(Wallpaper->ClientIsOwnerForm());
    EXPECT_EQ(Wallpaper->Client(), MdiFrame());
    EXPECT_TRUE(Wallpaper->Hooked());
    EXPECT_EQ(Wallpaper->Mode(), wpTile);
}

TEST_F(WallpaperTest, TileOfThePicturesSizeIsPaintedDirectlyAcrossTheClient) {
    SetPicture(19, 28);
    Wallpaper->SetTileWidth(19);
    Wallpaper->SetTileHeight(28);
    EXPECT_EQ(Wallpaper->PreparedBitmap(), nullptr);
    EXPECT_EQ(Pixel(0, 0), Corner);
    EXPECT_EQ(Pixel(19, 0), Corner);
    EXPECT_EQ(Pixel(2 * 19, 3 * 28), Corner);
    EXPECT_EQ(Pixel(19 + 3, 28 + 5), LeftHalf);
    EXPECT_EQ(Pixel(19 + 15, 28 + 5), RightHalf);
}

TEST_F(WallpaperTest, LargerTilesCentreThePictureOnTheClientColour) {
    SetPicture(19, 28);
    Wallpaper->SetTileWidth(25);
    Wallpaper->SetTileHeight(30);
    ASSERT_NE(Wallpaper->PreparedBitmap(), nullptr);
    EXPECT_EQ(Pixel(0, 0), Background());
    EXPECT_EQ(Pixel(3, 1), Corner);
    EXPECT_EQ(Pixel(25 + 3, 30 + 1), Corner);
    EXPECT_EQ(Pixel(24, 29), Background());
}

TEST_F(WallpaperTest, TileSizeNeverFallsBelowThePicture) {
    SetPicture(19, 28);
    Wallpaper->SetTileWidth(5);
    Wallpaper->SetTileHeight(40);
    EXPECT_EQ(Wallpaper->TileWidth(), 19);
    EXPECT_EQ(Wallpaper->TileHeight(), 40);
    Wallpaper->SetAutoSizeTile(true);
    EXPECT_EQ(Wallpaper->TileHeight(), 28);
    Wallpaper->SetTileHeight(50);
    EXPECT_EQ(Wallpaper->TileHeight(), 28);
}

TEST_F(WallpaperTest, ShiftedRowsMoveEachRowByTheShiftModuloTheTile) {
    SetPicture(20, 28);
    Wallpaper->SetZigzag(true);
    Wallpaper->SetShift(10);
    EXPECT_FALSE(Wallpaper->Zigzag());
    struct Case {
        int Row;
        int X;
    } cases[] = {{0, 0}, {1, 10}, {2, 0}, {3, 10}};
    for (const auto& c : cases)
        EXPECT_EQ(Pixel(c.X + 20, c.Row * 28), Corner) << c.Row;

    Wallpaper->SetShift(5);
    EXPECT_EQ(Pixel(20 + 5, 28), Corner);
    EXPECT_EQ(Pixel(20 + 10, 2 * 28), Corner);
}

TEST_F(WallpaperTest, ZigzagColumnsShiftEveryOtherColumnByHalfATile) {
    SetPicture(20, 28);
    Wallpaper->SetShiftMode(smColumns);
    Wallpaper->SetZigzag(true);
    EXPECT_EQ(Pixel(0, 28), Corner);
    EXPECT_EQ(Pixel(20, 14), Corner);
    EXPECT_EQ(Pixel(20, 28 + 14), Corner);
    EXPECT_EQ(Pixel(40, 28), Corner);
}

TEST_F(WallpaperTest, PlacedModesPutThePictureAndFillTheRestWithTheClientColour) {
    SetPicture(20, 30);
    const TRect r = ClientArea();
    const int cx = (r.Width() - 20) / 2;
    const int cy = (r.Height() - 30) / 2;
    struct Case {
        TWallpaperMode Mode;
        TPoint Corner;
    } cases[] = {
        {wpCenter, Point(cx, cy)},
        {wpTopLeft, Point(0, 0)},
        {wpTopRight, Point(r.Right - 20, 0)},
        {wpBottomLeft, Point(0, r.Bottom - 30)},
        {wpBottomRight, Point(r.Right - 20, r.Bottom - 30)},
        {wpTop, Point(cx, 0)},
        {wpLeft, Point(0, cy)},
        {wpBottom, Point(cx, r.Bottom - 30)},
        {wpRight, Point(r.Right - 20, cy)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Mode));
        Wallpaper->SetMode(c.Mode);
        EXPECT_EQ(Pixel(c.Corner.X, c.Corner.Y), Corner);
        EXPECT_EQ(Pixel(c.Corner.X + 15, c.Corner.Y + 29), RightHalf);
        const TPoint away =
            c.Corner.X > r.Width() / 2 ? Point(c.Corner.X - 5, c.Corner.Y) : Point(c.Corner.X + 25, c.Corner.Y);
        EXPECT_EQ(Pixel(away.X, away.Y), Background());
    }
}

TEST_F(WallpaperTest, StretchFillsTheWholeClient) {
    SetPicture(20, 30);
    Wallpaper->SetMode(wpStretch);
    const TRect r = ClientArea();
    EXPECT_EQ(Pixel(r.Width() / 4, r.Height() / 2), LeftHalf);
    EXPECT_EQ(Pixel(r.Width() * 3 / 4, r.Height() / 2), RightHalf);
    EXPECT_EQ(Pixel(r.Right - 1, r.Bottom - 1), RightHalf);
}

TEST_F(WallpaperTest, FitPictureSizeScalesThePictureIntoTheClient) {
    SetPicture(20, 30);
    Wallpaper->SetMode(wpTopLeft);
    Wallpaper->SetFitPictureSize(true);
    const TRect r = ClientArea();
    const double f = std::min(r.Width() / 20.0, r.Height() / 30.0);
    const int w = static_cast<int>(std::nearbyint(20 * f));
    EXPECT_EQ(Pixel(w - 2, 5), RightHalf);
    EXPECT_EQ(Pixel(w + 2, 5), w + 2 < r.Width() ? Background() : RightHalf);
}

TEST_F(WallpaperTest, DisabledWallpaperLeavesTheClientsOwnColour) {
    SetPicture(19, 28);
    Wallpaper->SetEnabled(false);
    EXPECT_EQ(Pixel(0, 0), Background());
    Wallpaper->SetEnabled(true);
    EXPECT_EQ(Pixel(0, 0), Corner);
}

TEST_F(WallpaperTest, JpegTileIsPaintedAndGreyMappedFromAGreyscaleDecode) {
    auto source = std::make_unique<TBitmap>();
    source->SetPixelFormat(pf24bit);
    source->SetSize(19, 28);
    source->Canvas()->Brush()->SetColor(clGray);
    source->Canvas()->FillRect(Rect(0, 0, 19, 28));
    TJPEGImage jpeg;
    jpeg.Assign(source.get());
    Wallpaper->Picture()->SetGraphic(&jpeg);
    Wallpaper->SetTileWidth(19);
    Wallpaper->SetTileHeight(28);
    EXPECT_EQ(Wallpaper->PreparedBitmap(), nullptr);
    const TColor grey = Pixel(19 + 9, 14);
    EXPECT_NEAR(GetRValue(grey), 128, 3);
    EXPECT_NEAR(GetBValue(grey), 128, 3);

    Wallpaper->SetGrayMapped(true);
    ASSERT_NE(Wallpaper->PreparedBitmap(), nullptr);
    const THLS face = RGBtoHLS(static_cast<TColor>(ColorToRGB(clBtnFace)));
    const THLS tone = RGBtoHLS(Pixel(19 + 9, 14));
    // A mid grey becomes a darker shade of the button face.
    EXPECT_NEAR(tone.H, face.H, 4);
    EXPECT_NEAR(tone.L, face.L * 128 / 192, 4);
    auto* picture = dynamic_cast<TJPEGImage*>(Wallpaper->Picture()->Graphic());
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->Grayscale());
}

TEST(WallpaperOnAForm, ReCreatedWindowIsHookedAgain) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetBounds(0, 0, 120, 100);
    auto* wallpaper = new TMDIWallpaper(form);
    wallpaper->SetClient(form);
    auto picture = TestPicture(20, 30);
    wallpaper->Picture()->SetGraphic(picture.get());
    form->HandleNeeded();
    form->RecreateWnd();
    ProcessMessages();
    EXPECT_TRUE(wallpaper->Hooked());
    // The new window's erasing goes through the wallpaper again.
    TBitmap canvas;
    canvas.SetPixelFormat(pf24bit);
    canvas.SetSize(120, 100);
    EXPECT_EQ(SendMessage(form->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Canvas()->Handle()), 0), 1);
    EXPECT_EQ(canvas.Canvas()->Pixels(20, 0), Corner);
    delete form;
    ProcessMessages();
}

TEST(WallpaperScroll, DeltaFollowsTheBarAndTheRequest) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 200);
    HWND wnd = form.Handle();
    auto delta = [&](int pos, int code, int thumb = 0) {
        TScrollInfo info;
        info.fMask = SIF_ALL;
        info.nMin = 0;
        info.nMax = 100;
        info.nPage = 10;
        info.nPos = pos;
        SetScrollInfo(wnd, SB_VERT, info, false);
        return TMDIWallpaper::ScrollDelta(wnd, SB_VERT, code, thumb);
    };
    EXPECT_EQ(delta(50, SB_LINEDOWN), -24);
    EXPECT_EQ(delta(90, SB_LINEDOWN), -8);
    EXPECT_EQ(delta(1, SB_LINEUP), 8);
    EXPECT_EQ(delta(50, SB_LINEUP), 24);
    EXPECT_EQ(delta(50, SB_PAGEDOWN), -72);
    EXPECT_EQ(delta(5, SB_PAGEUP), 40);
    EXPECT_EQ(delta(50, SB_THUMBPOSITION, 30), -240);
    EXPECT_EQ(delta(50, SB_ENDSCROLL), 0);
}

TEST(WallpaperScroll, FloorOffsetGivesTheCongruentValueInTheTile) {
    struct Case {
        int Value, Size, Result;
    } cases[] = {{0, 20, 0}, {5, 20, -15}, {20, 20, -20}, {-5, 20, -5}, {-25, 20, -5}, {7, 0, 7}};
    for (const auto& c : cases)
        EXPECT_EQ(TMDIWallpaper::FloorOffset(c.Value, c.Size), c.Result) << c.Value;
}

TEST_F(WallpaperTest, ScrollingTheMdiClientMovesTheTileOriginAndRepaintsPlacedPictures) {
    SetPicture(19, 28);
    TScrollInfo info;
    info.fMask = SIF_ALL;
    info.nMax = 100;
    info.nPage = 10;
    info.nPos = 50;
    SetScrollInfo(Client(), SB_VERT, info, false);
    SendMessage(Client(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(Wallpaper->ScrollOffset().Y, -24);
    Wallpaper->SetMode(wpCenter);
    ValidateRect(Client(), nullptr);
    SendMessage(Client(), WM_VSCROLL, SB_LINEDOWN, 0);
    TRect update;
    EXPECT_TRUE(GetUpdateRect(Client(), &update, false));
    info.nPos = 0;
    SetScrollInfo(Client(), SB_VERT, info, false);
    ShowScrollBar(Client(), SB_VERT, false);
}

TEST_F(WallpaperTest, ASecondWallpaperTakesTheClientOver) {
    SetPicture(19, 28);
    auto* second = new TMDIWallpaper(MdiFrame());
    second->SetClient(MdiFrame());
    EXPECT_EQ(second->Client(), MdiFrame());
    EXPECT_EQ(Wallpaper->Client(), nullptr);
    EXPECT_FALSE(Wallpaper->Hooked());
    EXPECT_TRUE(second->Hooked());
    // Without a picture of its own the second one paints nothing.
    EXPECT_EQ(Pixel(0, 0), Background());
    EXPECT_THROW(second->SetClient(nullptr), EMDIWallpaper);
    delete second;
}

TEST_F(WallpaperTest, FreedWallpaperLeavesTheClientToItsOwnPainting) {
    SetPicture(19, 28);
    EXPECT_EQ(Pixel(0, 0), Corner);
    delete Wallpaper;
    Wallpaper = nullptr;
    EXPECT_EQ(Pixel(0, 0), Background());
    Wallpaper = new TMDIWallpaper(MdiFrame());
}

TEST_F(WallpaperTest, TransparentColourShowsTheClientColour) {
    auto picture = TestPicture(20, 28);
    picture->Canvas()->SetPixels(0, 27, clWhite);
    picture->Canvas()->Brush()->SetColor(clWhite);
    picture->Canvas()->FillRect(Rect(5, 5, 8, 8));
    Wallpaper->Picture()->SetGraphic(picture.get());
    EXPECT_EQ(Wallpaper->TransparentColor(), 0x02FFFFFF);
    Wallpaper->SetTransparent(true);
    ASSERT_NE(Wallpaper->PreparedBitmap(), nullptr);
    EXPECT_EQ(Pixel(6, 6), Background());
    EXPECT_EQ(Pixel(1, 1), LeftHalf);
    Wallpaper->SetTransparentColor(LeftHalf);
    EXPECT_EQ(Wallpaper->TransparentMode(), tmFixed);
    EXPECT_EQ(Pixel(1, 1), Background());
    EXPECT_EQ(Pixel(6, 6), clWhite);
}

TEST_F(WallpaperTest, GrayMappingTurnsGreysIntoButtonFaceTonesAndFollowsSystemColours) {
    auto picture = std::make_unique<TBitmap>();
    picture->SetPixelFormat(pf24bit);
    picture->SetSize(19, 28);
    picture->Canvas()->Brush()->SetColor(clWhite);
    picture->Canvas()->FillRect(Rect(0, 0, 19, 14));
    picture->Canvas()->Brush()->SetColor(clBlack);
    picture->Canvas()->FillRect(Rect(0, 14, 19, 28));
    Wallpaper->Picture()->SetGraphic(picture.get());
    EXPECT_EQ(Wallpaper->PreparedBitmap(), nullptr);

    Wallpaper->SetGrayMapped(true);
    ASSERT_NE(Wallpaper->PreparedBitmap(), nullptr);
    const THLS face = RGBtoHLS(static_cast<TColor>(ColorToRGB(clBtnFace)));
    const THLS highlight = RGBtoHLS(static_cast<TColor>(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(Pixel(3, 3), HLStoRGB(face.H, highlight.L, face.S));
    EXPECT_EQ(Pixel(3, 20), HLStoRGB(face.H, 0, face.S));

    const int index = COLOR_BTNHIGHLIGHT;
    const COLORREF tinted = RGB(255, 255, 200);
    SetSysColors(1, &index, &tinted);
    SendMessage(MdiFrame()->Handle(), WM_SYSCOLORCHANGE);
    const THLS newHighlight = RGBtoHLS(static_cast<TColor>(tinted));
    EXPECT_EQ(Pixel(3, 3), HLStoRGB(face.H, newHighlight.L, face.S));

    Wallpaper->SetGrayMapped(false);
    EXPECT_EQ(Wallpaper->PreparedBitmap(), nullptr);
    EXPECT_EQ(Pixel(3, 3), clWhite);
}

TEST(WallpaperOnAForm, PaintsAPlainFormsBackground) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetBounds(0, 0, 200, 150);
    auto* wallpaper = new TMDIWallpaper(form);
    wallpaper->SetClient(form);
    auto picture = TestPicture(20, 30);
    wallpaper->Picture()->SetGraphic(picture.get());
    wallpaper->SetMode(wpCenter);
    form->Show();
    ProcessMessages();
    const TRect r = form->ClientRect();
    InvalidateRect(form->Handle(), nullptr, true);
    UpdateWindow(form->Handle());
    HDC dc = GetDC(form->Handle());
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc, (r.Width() - 20) / 2, (r.Height() - 30) / 2)), Corner);
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc, 1, 1)), static_cast<TColor>(ColorToRGB(form->Color())));
    ReleaseDC(form->Handle(), dc);
    delete form;
    ProcessMessages();
}

} // namespace
