// The wallpaper on a real MDI frame (and a plain form and controls): pixels at
// a few known points for each placement, tiles with shifts, scrolling by
// pixels, items and rows, grey mapping, transparency, double-buffered
// painting, who holds the client and what leaving the window's chain does.
#include "components/MDIWallpaper.h"

#include "MdiFrame.h"

#include "components/ColorRoutines.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using componentstest::MdiFrame;

constexpr TColor Corner = 0x00FF00; // the picture's top-left pixel
constexpr TColor LeftHalf = 0x0000FF;
constexpr TColor RightHalf = 0xFF0000;
constexpr TColor Unpainted = 0x00FFFF; // what a surface holds before painting

// The colour of the test picture's pixel (x, y).
TColor PictureColour(int x, int y, int w) {
    if (x == 0 && y == 0) return Corner;
    return x < w / 2 ? LeftHalf : RightHalf;
}

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

// Erases Wnd's background into a bitmap of its client size that holds
// Unpainted before; OwnBuffer sends the DC in lParam too, as a control erasing
// into its own off-screen buffer does.
struct Erasure {
    std::unique_ptr<TBitmap> Image = std::make_unique<TBitmap>();
    LRESULT Result = 0;
    TColor At(int x, int y) const { return Image->Canvas()->Pixels(x, y); }
};
Erasure EraseInto(HWND Wnd, bool OwnBuffer = false) {
    Erasure e;
    TRect r;
    GetClientRect(Wnd, r);
    e.Image->SetPixelFormat(pf24bit);
    e.Image->SetSize(r.Width(), r.Height());
    e.Image->Canvas()->Brush()->SetColor(Unpainted);
    e.Image->Canvas()->FillRect(r);
    HDC dc = e.Image->Canvas()->Handle();
    e.Result =
        SendMessage(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), OwnBuffer ? reinterpret_cast<LPARAM>(dc) : 0);
    return e;
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

TEST_F(WallpaperTest, NegativeShiftMovesRowsLeftAndStillCoversTheRightEdge) {
    SetPicture(20, 28);
    Wallpaper->SetShift(-5);
    const Erasure e = EraseInto(Client());
    const int right = ClientArea().Right - 1;
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        const int x0 = ((-5 * row) % 20 + 20) % 20; // where this row's tiles start
        EXPECT_EQ(e.At(x0, row * 28), Corner);
        EXPECT_EQ(e.At(right, row * 28 + 5), PictureColour(((right - x0) % 20 + 20) % 20, 5, 20));
    }
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
    // The thumb names a position: the origin moves by the way there.
    EXPECT_EQ(delta(0, SB_THUMBPOSITION, 30), -240);
    EXPECT_EQ(delta(50, SB_THUMBPOSITION, 30), 160);
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

// A list box whose items are 16 pixels high, answering as the system's does.
class TItemListBox : public TListBox {
public:
    using TListBox::TListBox;
    static constexpr int ItemHeight = 16;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == LB_GETITEMHEIGHT) {
            Message.Result = ItemHeight;
            return;
        }
        TListBox::WndProc(Message);
    }
};

// A control that scrolls by rows of 18 pixels and answers the tree view's
// questions about its first visible row, when it shows one.
class TRowTree : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    static constexpr int RowHeight = 18;
    static constexpr LRESULT FirstRow = 0x5A17;
    bool ShowsRows = true;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == TVM_GETNEXTITEM && Message.WParam == TVGN_FIRSTVISIBLE) {
            Message.Result = ShowsRows ? FirstRow : 0;
            return;
        }
        if (Message.Msg == TVM_GETITEMRECT) {
            auto* row = reinterpret_cast<TRect*>(Message.LParam);
            LRESULT item = 0;
            std::memcpy(&item, static_cast<const void*>(row), sizeof item);
            Message.Result = item == FirstRow;
            if (item == FirstRow) *row = Rect(0, 3 * RowHeight, ClientWidth(), 4 * RowHeight);
            return;
        }
        TCustomControl::WndProc(Message);
    }
};

// A form with one control and a wallpaper tiling the 20 x 28 test picture on it.
struct WallpaperOnControl {
    TForm* Form = nullptr;
    TWinControl* Control = nullptr;
    TMDIWallpaper* Wallpaper = nullptr;
    explicit WallpaperOnControl(const std::function<TWinControl*(TForm*)>& Make) {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(0, 0, 300, 240);
        Control = Make(Form);
        Control->SetParent(Form);
        Control->SetBounds(0, 0, 200, 150);
        Wallpaper = new TMDIWallpaper(Form);
        Wallpaper->SetClient(Control);
        auto picture = TestPicture(20, 28);
        Wallpaper->Picture()->SetGraphic(picture.get());
    }
    ~WallpaperOnControl() {
        delete Form;
        ProcessMessages();
    }
    void Scroll(int Bar, int Max, int Page, int Pos) const {
        TScrollInfo info;
        info.fMask = SIF_ALL;
        info.nMax = Max;
        info.nPage = static_cast<UINT>(Page);
        info.nPos = Pos;
        SetScrollInfo(Control->Handle(), Bar, info, false);
    }
};

TEST(WallpaperScrollUnits, VerticalBarCountsItemsOfAListBoxAndRowsOfATreeView) {
    struct Case {
        const char* Name;
        std::function<TWinControl*(TForm*)> Make;
        int Unit; // pixels per step of the vertical bar
    } cases[] = {
        {"list box", [](TForm* f) { return new TItemListBox(f); }, TItemListBox::ItemHeight},
        {"tree view", [](TForm* f) { return new TRowTree(f); }, TRowTree::RowHeight},
        {"tree view without rows",
         [](TForm* f) {
             auto* tree = new TRowTree(f);
             tree->ShowsRows = false;
             return tree;
         },
         1},
        {"plain control", [](TForm* f) { return new TCustomControl(f); }, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        WallpaperOnControl world(c.Make);
        world.Scroll(SB_VERT, 50, 5, 2);
        world.Scroll(SB_HORZ, 400, 100, 3);
        // The horizontal bar counts pixels for all of them.
        const int x = 20 - 3;
        const int y = ((-2 * c.Unit) % 28 + 28) % 28;
        const Erasure e = EraseInto(world.Control->Handle());
        EXPECT_EQ(e.Result, 1);
        EXPECT_EQ(e.At(x, y), Corner);
        EXPECT_EQ(e.At(x, y + 28), Corner);
        EXPECT_EQ(e.At(x + 1, y), LeftHalf);
        EXPECT_EQ(e.At(x, y + 1), LeftHalf);
    }
}

// Paints a mark and notes, while it paints, what its DC and its window hold.
class TBufferedPanel : public TCustomControl {
public:
    explicit TBufferedPanel(TComponent* AOwner) : TCustomControl(AOwner) { SetDoubleBuffered(true); }
    static constexpr TColor Mark = 0x808000;
    static constexpr TRect MarkRect{40, 40, 50, 50};
    TColor OnDCWhilePainting = clNone;
    TColor OnWindowWhilePainting = clNone;

protected:
    void Paint() override {
        OnDCWhilePainting = static_cast<TColor>(GetPixel(Canvas()->Handle(), 1, 1));
        HDC window = GetDC(Handle());
        OnWindowWhilePainting = static_cast<TColor>(GetPixel(window, 1, 1));
        ReleaseDC(Handle(), window);
        Canvas()->Brush()->SetColor(Mark);
        Canvas()->FillRect(MarkRect);
    }
};

class WallpaperBufferedTest : public ::testing::Test {
protected:
    void SetUp() override {
        World = std::make_unique<WallpaperOnControl>([](TForm* f) { return new TBufferedPanel(f); });
        Panel = static_cast<TBufferedPanel*>(World->Control);
        World->Form->Show();
        ProcessMessages();
    }
    // Fills the window with Unpainted, then lets it repaint with erasing.
    TColor Repaint(int x, int y) {
        HWND wnd = Panel->Handle();
        HDC dc = GetDC(wnd);
        const TRect all = Panel->ClientRect();
        HBRUSH brush = CreateSolidBrush(Unpainted);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(wnd, dc);
        InvalidateRect(wnd, nullptr, true);
        UpdateWindow(wnd);
        return WindowPixel(x, y);
    }
    TColor WindowPixel(int x, int y) {
        HDC dc = GetDC(Panel->Handle());
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(Panel->Handle(), dc);
        return static_cast<TColor>(c);
    }
    std::unique_ptr<WallpaperOnControl> World;
    TBufferedPanel* Panel = nullptr;
};

TEST_F(WallpaperBufferedTest, BackgroundAndContentArePaintedOffScreenAndReachTheWindowInOneCopy) {
    EXPECT_EQ(Repaint(0, 0), Corner);
    // The content was painted over the wallpaper, while the window still held
    // its old pixels.
    EXPECT_EQ(Panel->OnDCWhilePainting, LeftHalf);
    EXPECT_EQ(Panel->OnWindowWhilePainting, Unpainted);
    const TRect client = Panel->ClientRect();
    EXPECT_EQ(WindowPixel(1, 1), LeftHalf);
    EXPECT_EQ(WindowPixel(TBufferedPanel::MarkRect.Left, TBufferedPanel::MarkRect.Top), TBufferedPanel::Mark);
    EXPECT_EQ(WindowPixel(client.Right - 1, client.Bottom - 1),
              PictureColour((client.Right - 1) % 20, (client.Bottom - 1) % 28, 20));
    TRect update;
    EXPECT_FALSE(GetUpdateRect(Panel->Handle(), &update, false));
}

TEST_F(WallpaperBufferedTest, WithoutBufferingTheWallpaperIsErasedOnTheWindowBeforeTheContent) {
    Panel->SetDoubleBuffered(false);
    EXPECT_EQ(Repaint(0, 0), Corner);
    EXPECT_EQ(Panel->OnWindowWhilePainting, LeftHalf);
    EXPECT_EQ(WindowPixel(TBufferedPanel::MarkRect.Left, TBufferedPanel::MarkRect.Top), TBufferedPanel::Mark);
}

TEST_F(WallpaperBufferedTest, OnlyAnEraseIntoTheControlsOwnBufferIsPainted) {
    const Erasure fromBeginPaint = EraseInto(Panel->Handle());
    EXPECT_EQ(fromBeginPaint.Result, 1);
    EXPECT_EQ(fromBeginPaint.At(0, 0), Unpainted);
    const Erasure intoOwnBuffer = EraseInto(Panel->Handle(), true);
    EXPECT_EQ(intoOwnBuffer.Result, 1);
    EXPECT_EQ(intoOwnBuffer.At(0, 0), Corner);
}

TEST_F(WallpaperBufferedTest, DisabledWallpaperLeavesTheControlToItsOwnPainting) {
    World->Wallpaper->SetEnabled(false);
    EXPECT_EQ(Repaint(0, 0), static_cast<TColor>(ColorToRGB(Panel->Color())));
    EXPECT_EQ(WindowPixel(TBufferedPanel::MarkRect.Left, TBufferedPanel::MarkRect.Top), TBufferedPanel::Mark);
}

// A form named Ledger with a wallpaper named Paper, and every message box
// recorded.
class WallpaperChainTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateFormInstance(Form, nullptr);
        Form->SetName("Ledger");
        Form->SetBounds(0, 0, 120, 100);
        Wallpaper = new TMDIWallpaper(Form);
        Wallpaper->SetName("Paper");
        Wallpaper->SetClient(Form);
        auto picture = TestPicture(20, 28);
        Wallpaper->Picture()->SetGraphic(picture.get());
    }
    void TearDown() override {
        delete Form;
        ProcessMessages();
    }
    TForm* Form = nullptr;
    TMDIWallpaper* Wallpaper = nullptr;
    std::vector<TDialogRequest> Boxes;
    TDialogHookScope Record{[this](const TDialogRequest& r) {
        Boxes.push_back(r);
        TDialogAnswer answer;
        answer.Result = IDOK;
        return answer;
    }};
};

TEST_F(WallpaperChainTest, AProcedurePushedLaterOutlivesTheWallpaperWithoutAWarning) {
    constexpr UINT Probe = WM_USER + 7;
    int probes = 0;
    TWindowProcedureId later = 0;
    later = PushWindowProc(Form->Handle(), [&](HWND wnd, TMessage& m) {
        if (m.Msg == Probe) ++probes;
        CallNextWindowProc(wnd, later, m);
    });
    ASSERT_EQ(EraseInto(Form->Handle()).At(0, 0), Corner);
    delete Wallpaper;
    EXPECT_TRUE(Boxes.empty());
    SendMessage(Form->Handle(), Probe);
    EXPECT_EQ(probes, 1);
    // Below the later procedure the form erases with its own colour again.
    EXPECT_EQ(EraseInto(Form->Handle()).At(0, 0), static_cast<TColor>(ColorToRGB(Form->Color())));
    EXPECT_TRUE(RemoveWindowProc(Form->Handle(), later));
}

TEST_F(WallpaperChainTest, AProcedureTakenOffBehindItsBackIsReportedWhenTheWallpaperLeaves) {
    ASSERT_TRUE(RemoveWindowProc(Form->Handle(), Wallpaper->ClientProcedure()));
    delete Wallpaper;
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "Message from Ledger.Paper:\r\n\r\nOops... Messing up Ledger's window procedure chain.");
    EXPECT_EQ(Boxes[0].Flags, MB_OK | MB_ICONWARNING);
}

TEST_F(WallpaperChainTest, NoWarningWhenTheClientItselfIsGoing) {
    ASSERT_TRUE(RemoveWindowProc(Form->Handle(), Wallpaper->ClientProcedure()));
    delete Form;
    Form = nullptr;
    EXPECT_TRUE(Boxes.empty());
}

} // namespace
