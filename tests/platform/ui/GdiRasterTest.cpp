// Raster operations, fills, lines, shapes, clipping and DC state, checked at
// known pixels of memory bitmaps.
#include "platform/ui/Gdi.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A memory DC on a fresh 32 x 32 bitmap filled with one colour.
class Surface {
public:
    explicit Surface(COLORREF fill = 0xFFFFFF, int width = 32, int height = 32) : width_(width), height_(height) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(nullptr, width, height);
        old_ = SelectObject(dc, bitmap);
        Fill(RECT{0, 0, width, height}, fill);
    }
    ~Surface() {
        SelectObject(dc, old_);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Fill(const RECT& r, COLORREF color) const {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    std::vector<COLORREF> Pixels() const {
        SaveDC(dc);
        SelectClipRgn(dc, nullptr);
        std::vector<COLORREF> all;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                all.push_back(GetPixel(dc, x, y));
        RestoreDC(dc, -1);
        return all;
    }
    HDC dc;
    HBITMAP bitmap;

private:
    int width_, height_;
    HGDIOBJ old_;
};

constexpr COLORREF D = 0x123456, S = 0x00FF0F, P = 0xF00F0F;

struct Rop3Case {
    const char* name;
    DWORD rop;
    COLORREF expected;
};

class BitBltRopTest : public testing::TestWithParam<Rop3Case> {};

TEST_P(BitBltRopTest, CombinesPatternSourceAndDestinationBitwise) {
    Surface dest(D), source(S);
    HBRUSH brush = CreateSolidBrush(P);
    HGDIOBJ old = SelectObject(dest.dc, brush);
    ASSERT_TRUE(BitBlt(dest.dc, 4, 4, 8, 8, source.dc, 0, 0, GetParam().rop));
    EXPECT_EQ(GetPixel(dest.dc, 4, 4), GetParam().expected);
    EXPECT_EQ(GetPixel(dest.dc, 11, 11), GetParam().expected);
    EXPECT_EQ(GetPixel(dest.dc, 12, 11), D); // right edge excluded
    EXPECT_EQ(GetPixel(dest.dc, 3, 4), D);
    SelectObject(dest.dc, old);
    DeleteObject(brush);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BitBltRopTest,
    testing::Values(Rop3Case{"SrcCopy", SRCCOPY, S}, Rop3Case{"SrcAnd", SRCAND, 0x003406},
                    Rop3Case{"SrcPaint", SRCPAINT, 0x12FF5F}, Rop3Case{"SrcInvert", SRCINVERT, 0x12CB59},
                    Rop3Case{"DstInvert", DSTINVERT, 0xEDCBA9}, Rop3Case{"PatCopy", PATCOPY, P},
                    Rop3Case{"PatInvert", PATINVERT, 0xE23B59}, Rop3Case{"PatternWhereSourceIsSet", 0xE20746, 0x120F5F},
                    Rop3Case{"Blackness", BLACKNESS, 0}, Rop3Case{"Whiteness", WHITENESS, 0xFFFFFF}),
    [](const auto& info) { return std::string(info.param.name); });

struct Rop2Case {
    const char* name;
    int rop2;
    COLORREF expected;
};

class LineRop2Test : public testing::TestWithParam<Rop2Case> {};

TEST_P(LineRop2Test, PenMeetsDestinationThroughTheMode) {
    Surface s(D);
    HPEN pen = CreatePen(PS_SOLID, 1, P);
    HGDIOBJ old = SelectObject(s.dc, pen);
    SetROP2(s.dc, GetParam().rop2);
    MoveToEx(s.dc, 2, 5, nullptr);
    LineTo(s.dc, 10, 5);
    EXPECT_EQ(GetPixel(s.dc, 2, 5), GetParam().expected);
    EXPECT_EQ(GetPixel(s.dc, 9, 5), GetParam().expected);
    EXPECT_EQ(GetPixel(s.dc, 10, 5), D); // the last point is not drawn
    SelectObject(s.dc, old);
    DeleteObject(pen);
}

INSTANTIATE_TEST_SUITE_P(Table, LineRop2Test,
                         testing::Values(Rop2Case{"CopyPen", R2_COPYPEN, P}, Rop2Case{"XorPen", R2_XORPEN, P ^ D},
                                         Rop2Case{"Not", R2_NOT, 0xEDCBA9}, Rop2Case{"MaskPen", R2_MASKPEN, P& D},
                                         Rop2Case{"MergePen", R2_MERGEPEN, P | D}, Rop2Case{"Nop", R2_NOP, D},
                                         Rop2Case{"Black", R2_BLACK, 0}, Rop2Case{"White", R2_WHITE, 0xFFFFFF},
                                         Rop2Case{"NotCopyPen", R2_NOTCOPYPEN, 0x0FF0F0},
                                         Rop2Case{"NotMergePen", R2_NOTMERGEPEN, 0x0DC0A0},
                                         Rop2Case{"MaskPenNot", R2_MASKPENNOT, 0xE00B09},
                                         Rop2Case{"NotXorPen", R2_NOTXORPEN, 0x1DC4A6},
                                         Rop2Case{"MergePenNot", R2_MERGEPENNOT, 0xFDCFAF}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GdiRasterTest, RectangleFramesWithThePenAndFillsWithTheBrushExcludingRightAndBottom) {
    Surface s(0xFFFFFF);
    HBRUSH brush = CreateSolidBrush(0x0000FF);
    HGDIOBJ oldBrush = SelectObject(s.dc, brush);
    Rectangle(s.dc, 2, 2, 8, 6);
    EXPECT_EQ(GetPixel(s.dc, 2, 2), 0u);
    EXPECT_EQ(GetPixel(s.dc, 7, 5), 0u);
    EXPECT_EQ(GetPixel(s.dc, 7, 3), 0u);
    EXPECT_EQ(GetPixel(s.dc, 3, 3), 0x0000FFu);
    EXPECT_EQ(GetPixel(s.dc, 6, 4), 0x0000FFu);
    EXPECT_EQ(GetPixel(s.dc, 8, 6), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(s.dc, 8, 3), 0xFFFFFFu);
    // Without a pen the figure is one pixel smaller at the right and bottom.
    HGDIOBJ oldPen = SelectObject(s.dc, GetStockObject(NULL_PEN));
    Rectangle(s.dc, 12, 2, 18, 6);
    EXPECT_EQ(GetPixel(s.dc, 12, 2), 0x0000FFu);
    EXPECT_EQ(GetPixel(s.dc, 16, 4), 0x0000FFu);
    EXPECT_EQ(GetPixel(s.dc, 17, 4), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(s.dc, 16, 5), 0xFFFFFFu);
    SelectObject(s.dc, oldPen);
    SelectObject(s.dc, oldBrush);
    DeleteObject(brush);
}

TEST(GdiRasterTest, FillRectAndFrameRectStopBeforeTheRightAndBottomEdges) {
    Surface s(0xFFFFFF);
    s.Fill(RECT{1, 1, 4, 3}, 0x00FF00);
    EXPECT_EQ(GetPixel(s.dc, 1, 1), 0x00FF00u);
    EXPECT_EQ(GetPixel(s.dc, 3, 2), 0x00FF00u);
    EXPECT_EQ(GetPixel(s.dc, 4, 2), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(s.dc, 3, 3), 0xFFFFFFu);
    HBRUSH brush = CreateSolidBrush(0xFF0000);
    RECT frame{10, 10, 15, 14};
    FrameRect(s.dc, &frame, brush);
    EXPECT_EQ(GetPixel(s.dc, 10, 10), 0xFF0000u);
    EXPECT_EQ(GetPixel(s.dc, 14, 13), 0xFF0000u);
    EXPECT_EQ(GetPixel(s.dc, 12, 12), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(s.dc, 15, 12), 0xFFFFFFu);
    DeleteObject(brush);
    // A system colour index + 1 stands for its brush.
    RECT sys{20, 20, 22, 22};
    FillRect(s.dc, &sys, reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNSHADOW + 1)));
    EXPECT_EQ(GetPixel(s.dc, 21, 21), GetSysColor(COLOR_BTNSHADOW));
}

TEST(GdiRasterTest, XorDrawingTwiceRestoresThePixelsExactly) {
    Surface s(0xFFFFFF);
    // A picture with several colours for the XOR to work against.
    for (int i = 0; i < 8; ++i)
        s.Fill(RECT{i * 4, 0, i * 4 + 4, 32}, RGB(i * 30, 255 - i * 20, (i * 77) & 0xFF));
    const auto before = s.Pixels();
    RECT focus{3, 4, 21, 17};
    DrawFocusRect(s.dc, &focus);
    const auto once = s.Pixels();
    EXPECT_NE(once, before);
    EXPECT_EQ(GetPixel(s.dc, 10, 10), before[10 * 32 + 10]); // the inside is untouched
    DrawFocusRect(s.dc, &focus);
    EXPECT_EQ(s.Pixels(), before);

    RECT invert{5, 5, 25, 9};
    InvertRect(s.dc, &invert);
    EXPECT_EQ(GetPixel(s.dc, 5, 5), ~before[5 * 32 + 5] & 0xFFFFFF);
    InvertRect(s.dc, &invert);
    EXPECT_EQ(s.Pixels(), before);

    SetROP2(s.dc, R2_XORPEN);
    HPEN pen = CreatePen(PS_SOLID, 1, 0x808080);
    HGDIOBJ old = SelectObject(s.dc, pen);
    HGDIOBJ oldBrush = SelectObject(s.dc, GetStockObject(NULL_BRUSH));
    for (int pass = 0; pass < 2; ++pass) {
        Rectangle(s.dc, 2, 2, 30, 30);
        POINT lines[] = {{0, 0}, {31, 20}, {5, 31}};
        Polyline(s.dc, lines, 3);
        PatBlt(s.dc, 6, 6, 10, 10, DSTINVERT);
    }
    EXPECT_EQ(s.Pixels(), before);
    SelectObject(s.dc, old);
    SelectObject(s.dc, oldBrush);
    DeleteObject(pen);
}

TEST(GdiRasterTest, FocusRectangleInvertsEveryOtherFramePixel) {
    Surface s(0xFFFFFF);
    RECT focus{0, 0, 10, 10};
    DrawFocusRect(s.dc, &focus);
    int changed = 0;
    for (int x = 0; x < 10; ++x)
        changed += GetPixel(s.dc, x, 0) != 0xFFFFFF;
    EXPECT_EQ(changed, 5);
    EXPECT_NE(GetPixel(s.dc, 0, 0), GetPixel(s.dc, 1, 0));
    EXPECT_EQ(GetPixel(s.dc, 5, 5), 0xFFFFFFu);
    // White text on black, on white: black dots on the rest left white.
    RECT other{0, 20, 10, 30};
    SetTextColor(s.dc, 0xFFFFFF);
    SetBkColor(s.dc, 0);
    DrawFocusRect(s.dc, &other);
    for (int x = 0; x < 10; ++x)
        EXPECT_TRUE(GetPixel(s.dc, x, 20) == 0 || GetPixel(s.dc, x, 20) == 0xFFFFFF);
    EXPECT_NE(GetPixel(s.dc, 0, 20), GetPixel(s.dc, 1, 20));
}

TEST(GdiRasterTest, OverlappingTransferWithinOneImageMovesThePixels) {
    Surface s(0xFFFFFF);
    for (int x = 0; x < 8; ++x)
        s.Fill(RECT{x, 0, x + 1, 1}, RGB(x * 30, 0, 0));
    BitBlt(s.dc, 1, 0, 8, 1, s.dc, 0, 0, SRCCOPY);
    for (int x = 1; x < 9; ++x)
        EXPECT_EQ(GetPixel(s.dc, x, 0), RGB((x - 1) * 30, 0, 0)) << x;
    BitBlt(s.dc, 0, 0, 8, 1, s.dc, 1, 0, SRCCOPY);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(GetPixel(s.dc, x, 0), RGB(x * 30, 0, 0)) << x;
}

TEST(GdiRasterTest, ClipRegionsLimitDrawing) {
    Surface s(0xFFFFFF);
    IntersectClipRect(s.dc, 4, 4, 12, 12);
    ExcludeClipRect(s.dc, 6, 6, 8, 8);
    s.Fill(RECT{0, 0, 32, 32}, 0);
    EXPECT_EQ(GetPixel(s.dc, 4, 4), 0u);
    EXPECT_EQ(GetPixel(s.dc, 11, 11), 0u);
    EXPECT_EQ(GetPixel(s.dc, 6, 6), CLR_INVALID); // outside the clip GetPixel reports nothing
    RECT box;
    EXPECT_EQ(GetClipBox(s.dc, &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT{4, 4, 12, 12}));
    SelectClipRgn(s.dc, nullptr);
    EXPECT_EQ(GetPixel(s.dc, 6, 6), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(s.dc, 12, 12), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(s.dc, 3, 4), 0xFFFFFFu);

    HRGN ellipse = CreateEllipticRgn(0, 0, 32, 32);
    SelectClipRgn(s.dc, ellipse);
    DeleteObject(ellipse); // the DC keeps its own copy
    s.Fill(RECT{0, 0, 32, 32}, 0x0000FF);
    SelectClipRgn(s.dc, nullptr);
    EXPECT_EQ(GetPixel(s.dc, 16, 16), 0x0000FFu);
    EXPECT_EQ(GetPixel(s.dc, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(s.dc, 31, 31), 0xFFFFFFu);
}

TEST(GdiRasterTest, RestoreDCBringsBackObjectsColoursClipAndOrigin) {
    Surface s(0xFFFFFF);
    HPEN red = CreatePen(PS_SOLID, 1, 0x0000FF);
    HGDIOBJ original = SelectObject(s.dc, red);
    SetTextColor(s.dc, 0x111111);
    const int level = SaveDC(s.dc);
    HPEN blue = CreatePen(PS_SOLID, 1, 0xFF0000);
    SelectObject(s.dc, blue);
    SetTextColor(s.dc, 0x222222);
    SetBkMode(s.dc, TRANSPARENT);
    IntersectClipRect(s.dc, 0, 0, 2, 2);
    SetViewportOrgEx(s.dc, 5, 5, nullptr);
    SaveDC(s.dc);
    SetTextColor(s.dc, 0x333333);
    ASSERT_TRUE(RestoreDC(s.dc, level)); // both levels go
    EXPECT_EQ(GetTextColor(s.dc), 0x111111u);
    EXPECT_EQ(GetBkMode(s.dc), OPAQUE);
    EXPECT_EQ(GetCurrentObject(s.dc, OBJ_PEN), red);
    POINT origin;
    GetViewportOrgEx(s.dc, &origin);
    EXPECT_EQ(origin, (POINT{0, 0}));
    MoveToEx(s.dc, 10, 10, nullptr);
    LineTo(s.dc, 20, 10);
    EXPECT_EQ(GetPixel(s.dc, 15, 10), 0x0000FFu);
    EXPECT_FALSE(RestoreDC(s.dc, -1)); // nothing saved any more
    SelectObject(s.dc, original);
    DeleteObject(red);
    DeleteObject(blue);
}

TEST(GdiRasterTest, DeletingASelectedObjectWaitsUntilItIsDeselected) {
    Surface s(0xFFFFFF);
    HBRUSH brush = CreateSolidBrush(0x00FF00);
    HGDIOBJ old = SelectObject(s.dc, brush);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetObjectType(brush), OBJ_BRUSH);
    PatBlt(s.dc, 0, 0, 2, 2, PATCOPY);
    EXPECT_EQ(GetPixel(s.dc, 1, 1), 0x00FF00u);
    SelectObject(s.dc, old);
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH))); // stock objects stay
    EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), OBJ_BRUSH);
}

TEST(GdiRasterTest, ViewportAndWindowOriginsMoveDrawing) {
    Surface s(0xFFFFFF);
    SetViewportOrgEx(s.dc, 10, 10, nullptr);
    SetWindowOrgEx(s.dc, 2, 0, nullptr);
    SetPixelV(s.dc, 2, 0, 0x0000FF);
    SetViewportOrgEx(s.dc, 0, 0, nullptr);
    SetWindowOrgEx(s.dc, 0, 0, nullptr);
    EXPECT_EQ(GetPixel(s.dc, 10, 10), 0x0000FFu);
}

TEST(GdiRasterTest, MonochromeBitmapsTakeTheColoursOfTheDCs) {
    Surface colour(0x000000);
    HDC monoDC = CreateCompatibleDC(nullptr);
    const Byte bits[] = {0xA0, 0x00}; // one row: 1 0 1 0, word-aligned
    HBITMAP mono = CreateBitmap(4, 1, 1, 1, bits);
    HGDIOBJ old = SelectObject(monoDC, mono);
    SetTextColor(colour.dc, 0x0000FF); // 0 bits
    SetBkColor(colour.dc, 0x00FF00);   // 1 bits
    BitBlt(colour.dc, 0, 0, 4, 1, monoDC, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(colour.dc, 0, 0), 0x00FF00u);
    EXPECT_EQ(GetPixel(colour.dc, 1, 0), 0x0000FFu);
    // Colour to monochrome: the source's background colour becomes white.
    colour.Fill(RECT{0, 1, 1, 2}, 0x123456);
    colour.Fill(RECT{1, 1, 2, 2}, 0x654321);
    SetBkColor(colour.dc, 0x123456);
    BitBlt(monoDC, 0, 0, 2, 1, colour.dc, 0, 1, SRCCOPY);
    EXPECT_EQ(GetPixel(monoDC, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(monoDC, 1, 0), 0u);
    SelectObject(monoDC, old);
    DeleteObject(mono);
    DeleteDC(monoDC);
}

TEST(GdiRasterTest, StretchBltScalesAndMirrors) {
    Surface source(0xFFFFFF), dest(0);
    source.Fill(RECT{0, 0, 1, 1}, 0x0000FF);
    StretchBlt(dest.dc, 0, 0, 4, 4, source.dc, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(GetPixel(dest.dc, 1, 1), 0x0000FFu);
    EXPECT_EQ(GetPixel(dest.dc, 2, 1), 0xFFFFFFu);
    // A negative width mirrors: the source's left column lands at the right.
    StretchBlt(dest.dc, 13, 10, -4, 2, source.dc, 0, 0, 4, 2, SRCCOPY);
    EXPECT_EQ(GetPixel(dest.dc, 12, 10), 0x0000FFu);
    EXPECT_EQ(GetPixel(dest.dc, 9, 10), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(dest.dc, 13, 10), 0u);
}

TEST(GdiRasterTest, HatchAndPatternBrushesFollowTheBrushOrigin) {
    Surface s(0xFFFFFF);
    const Byte checker[] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, checker);
    HBRUSH brush = CreatePatternBrush(pattern);
    SetTextColor(s.dc, 0x0000FF);
    SetBkColor(s.dc, 0x00FF00);
    RECT r{0, 0, 8, 2};
    FillRect(s.dc, &r, brush);
    EXPECT_EQ(GetPixel(s.dc, 0, 0), 0x0000FFu); // bit 0
    EXPECT_EQ(GetPixel(s.dc, 1, 0), 0x00FF00u); // bit 1
    SetBrushOrgEx(s.dc, 1, 0, nullptr);
    FillRect(s.dc, &r, brush);
    EXPECT_EQ(GetPixel(s.dc, 0, 0), 0x00FF00u);
    DeleteObject(brush);
    DeleteObject(pattern);

    SetBrushOrgEx(s.dc, 0, 0, nullptr);
    SetBkMode(s.dc, TRANSPARENT);
    HBRUSH hatch = CreateHatchBrush(HS_VERTICAL, 0);
    RECT h{0, 10, 8, 12};
    s.Fill(h, 0xFFFFFF);
    FillRect(s.dc, &h, hatch);
    int black = 0;
    for (int x = 0; x < 8; ++x)
        black += GetPixel(s.dc, x, 10) == 0;
    EXPECT_EQ(black, 1); // one line in eight, the gaps left alone
    DeleteObject(hatch);
}

TEST(GdiRasterTest, RegionsCombineAndAnswerHitTests) {
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15), r = CreateRectRgn(0, 0, 0, 0);
    struct Case {
        int mode;
        POINT inside, outside;
        int kind;
    };
    const Case cases[] = {{RGN_AND, {5, 5}, {4, 4}, SIMPLEREGION},
                          {RGN_OR, {14, 14}, {14, 0}, COMPLEXREGION},
                          {RGN_XOR, {0, 0}, {7, 7}, COMPLEXREGION},
                          {RGN_DIFF, {9, 4}, {9, 9}, COMPLEXREGION}};
    for (const Case& c : cases) {
        EXPECT_EQ(CombineRgn(r, a, b, c.mode), c.kind) << c.mode;
        EXPECT_TRUE(PtInRegion(r, c.inside.X, c.inside.Y)) << c.mode;
        EXPECT_FALSE(PtInRegion(r, c.outside.X, c.outside.Y)) << c.mode;
    }
    CombineRgn(r, a, b, RGN_AND);
    OffsetRgn(r, 10, 0);
    RECT box;
    GetRgnBox(r, &box);
    EXPECT_EQ(box, (RECT{15, 5, 20, 10}));
    RECT touching{20, 5, 25, 10}, overlapping{19, 9, 25, 10};
    EXPECT_FALSE(RectInRegion(r, &touching));
    EXPECT_TRUE(RectInRegion(r, &overlapping));
    EXPECT_EQ(CombineRgn(r, a, nullptr, RGN_AND), RGN_ERROR);
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(r);
}

TEST(GdiRasterTest, EllipseStaysInsideItsBoxAndPolygonFillsItsInterior) {
    Surface s(0xFFFFFF);
    HBRUSH brush = CreateSolidBrush(0x00FF00);
    HGDIOBJ old = SelectObject(s.dc, brush);
    Ellipse(s.dc, 0, 0, 20, 10);
    EXPECT_EQ(GetPixel(s.dc, 10, 5), 0x00FF00u);
    EXPECT_EQ(GetPixel(s.dc, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(s.dc, 10, 10), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(s.dc, 20, 5), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(s.dc, 0, 5), 0u); // the pen's ring touches the box
    POINT triangle[] = {{0, 12}, {20, 12}, {0, 30}};
    Polygon(s.dc, triangle, 3);
    EXPECT_EQ(GetPixel(s.dc, 3, 15), 0x00FF00u);
    EXPECT_EQ(GetPixel(s.dc, 5, 12), 0u);
    EXPECT_EQ(GetPixel(s.dc, 18, 28), 0xFFFFFFu);
    SelectObject(s.dc, old);
    DeleteObject(brush);
}

TEST(GdiRasterTest, DashedPenLeavesGapsOrFillsThemWithTheBackground) {
    Surface s(0xFFFFFF);
    HPEN pen = CreatePen(PS_DOT, 1, 0);
    HGDIOBJ old = SelectObject(s.dc, pen);
    SetBkMode(s.dc, TRANSPARENT);
    MoveToEx(s.dc, 0, 0, nullptr);
    LineTo(s.dc, 12, 0);
    EXPECT_EQ(GetPixel(s.dc, 0, 0), 0u);
    EXPECT_EQ(GetPixel(s.dc, 3, 0), 0xFFFFFFu);
    SetBkMode(s.dc, OPAQUE);
    SetBkColor(s.dc, 0x0000FF);
    MoveToEx(s.dc, 0, 1, nullptr);
    LineTo(s.dc, 12, 1);
    EXPECT_EQ(GetPixel(s.dc, 3, 1), 0x0000FFu);
    SelectObject(s.dc, old);
    DeleteObject(pen);
}

TEST(GdiRasterTest, MulDivRoundsAndMonochromeDevicesOfferOnlyBlackAndWhite) {
    EXPECT_EQ(MulDiv(10, 3, 4), 8); // 7.5 rounds away from zero
    EXPECT_EQ(MulDiv(-10, 3, 4), -8);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateBitmap(4, 4, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(dc, mono);
    EXPECT_EQ(GetNearestColor(dc, RGB(200, 200, 200)), 0xFFFFFFu);
    EXPECT_EQ(GetNearestColor(dc, RGB(20, 40, 20)), 0u);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 1);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    SelectObject(dc, old);
    DeleteObject(mono);
    DeleteDC(dc);
}

} // namespace
