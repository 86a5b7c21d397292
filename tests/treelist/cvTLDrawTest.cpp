// The unit's pictures and painters, checked at known pixels of a memory DC:
// expand buttons, the filter button's states, header marks by width, the
// indicator cell and the sort mark's box; the unit's cursors.
#include "treelist/cvTL.h"

#include "platform/ui/Colors.h"
#include "platform/ui/Forms.h"
#include "platform/ui/testhooks/CursorTestHooks.h"

#include <gtest/gtest.h>

namespace {

class cvTLPainting : public ::testing::Test {
protected:
    void SetUp() override {
        DC = CreateCompatibleDC(nullptr);
        Bitmap = CreateCompatibleBitmap(nullptr, Width, Height);
        Old = SelectObject(DC, Bitmap);
        Clear();
    }
    void TearDown() override {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
    void Clear(COLORREF Background = 0xFFFFFF) {
        const TRect all{0, 0, Width, Height};
        HBRUSH brush = CreateSolidBrush(Background);
        FillRect(DC, &all, brush);
        DeleteObject(brush);
        Cleared = Background;
    }
    // Pixels changed since Clear, inside and outside R.
    std::pair<int, int> PaintedInAndOut(const TRect& R) {
        int in = 0, out = 0;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                if (GetPixel(DC, x, y) != Cleared) ++(PtInRect(R, {x, y}) ? in : out);
        return {in, out};
    }
    static constexpr int Width = 80;
    static constexpr int Height = 24;
    cvTL::TUnitScope Unit;
    HDC DC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
    COLORREF Cleared = 0xFFFFFF;
};

TEST_F(cvTLPainting, TheExpandBitmapsDifferOnlyInThePlusBar) {
    cvTL::PaintExpandBitmaps();
    HDC plus = cvTL::PlusBitmap()->Canvas()->Handle();
    HDC minus = cvTL::MinusBitmap()->Canvas()->Handle();
    ASSERT_EQ(cvTL::PlusBitmap()->Width(), 12);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(GetPixel(plus, 4, 5), text);
    EXPECT_EQ(GetPixel(minus, 4, 5), text);
    EXPECT_EQ(GetPixel(plus, 5, 3), text);
    EXPECT_EQ(GetPixel(minus, 5, 3), face);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            if (!(x == 5 && (y == 3 || y == 4 || y == 6 || y == 7))) {
                ASSERT_EQ(GetPixel(plus, x, y), GetPixel(minus, x, y)) << x << "," << y;
            }
}

TEST_F(cvTLPainting, TheTreeButtonIsANineByNineBoxWithItsBars) {
    for (bool collapsed : {false, true}) {
        Clear();
        cvTL::DrawTreeButton(DC, {0, 0, 21, 20}, 10, collapsed); // box (6, 6) - (15, 15)
        EXPECT_EQ(GetPixel(DC, 6, 6), GetSysColor(COLOR_GRAYTEXT));
        EXPECT_EQ(GetPixel(DC, 14, 14), GetSysColor(COLOR_GRAYTEXT));
        EXPECT_EQ(GetPixel(DC, 8, 10), GetSysColor(COLOR_WINDOWTEXT));
        EXPECT_EQ(GetPixel(DC, 10, 8), collapsed ? GetSysColor(COLOR_WINDOWTEXT) : 0xFFFFFFu);
        EXPECT_EQ(PaintedInAndOut({6, 6, 15, 15}).second, 0);
    }
}

TEST_F(cvTLPainting, TheFilterButtonShowsItsStateInFaceAndTriangle) {
    struct Case {
        const char* Name;
        int State;
        int Face; // system colour index of the face
        COLORREF Triangle;
    };
    const Case cases[] = {
        {"plain", 0, COLOR_BTNFACE, GetSysColor(COLOR_BTNTEXT)},
        {"filtered", cvTL::fbsFiltered, COLOR_BTNFACE, 0xFF0000},
        {"pressed", cvTL::fbsPressed, COLOR_BTNSHADOW, GetSysColor(COLOR_WINDOW)},
        {"active over filtered", cvTL::fbsActive | cvTL::fbsFiltered, COLOR_BTNTEXT, GetSysColor(COLOR_WINDOW)},
    };
    for (const Case& c : cases) {
        Clear();
        cvTL::DrawFilterButton(DC, {0, 0, 15, 16}, c.State);
        EXPECT_EQ(GetPixel(DC, 0, 0), GetSysColor(COLOR_BTNSHADOW)) << c.Name;
        EXPECT_EQ(GetPixel(DC, 2, 2), GetSysColor(c.Face)) << c.Name;
        EXPECT_EQ(GetPixel(DC, 7, 8), c.Triangle) << c.Name << ": the triangle's middle";
    }
}

TEST_F(cvTLPainting, TheHeaderShowsItsFilterButtonFromFifteenPixels) {
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    for (int width : {14, 15, 40}) {
        Clear();
        cvTL::THeaderButtonArgs args;
        args.Brush = face;
        args.HasFilterButton = true;
        args.FilterState = cvTL::fbsActive; // a face in the text colour, unmistakable
        cvTL::DrawHeaderButtonContent(DC, {0, 0, width, 20}, args);
        int filterFace = 0;
        for (int x = 0; x < width; ++x)
            if (GetPixel(DC, x, 4) == GetSysColor(COLOR_BTNTEXT)) ++filterFace;
        EXPECT_EQ(filterFace > 0, width >= 15) << width;
    }
}

TEST_F(cvTLPainting, TheSortMarkStaysInsideItsBox) {
    for (bool up : {false, true}) {
        Clear(0x808000);                             // neither of the two shades
        cvTL::DrawSortMark(DC, {20, 0, 36, 20}, up); // box (24, 7) - (32, 14)
        const auto [in, out] = PaintedInAndOut({24, 7, 32, 14});
        EXPECT_GT(in, 14) << up << ": three edges";
        EXPECT_EQ(out, 0) << up;
    }
}

TEST_F(cvTLPainting, AnIndicatorCellShowsTheImageOfItsKind) {
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    TBitmap work;
    std::vector<std::vector<COLORREF>> cells;
    for (int kind = 0; kind <= 5; ++kind) {
        Clear();
        cvTL::DrawIndicatorCell(DC, {0, 0, Width, Height}, {10, 2, 22, 20}, lfStandard, kind, &work, face);
        std::vector<COLORREF> pixels;
        for (int y = 2; y < 20; ++y)
            for (int x = 10; x < 22; ++x)
                pixels.push_back(GetPixel(DC, x, y));
        EXPECT_EQ(PaintedInAndOut({10, 2, 22, 20}).second, 0) << kind;
        cells.push_back(pixels);
    }
    for (int kind = 1; kind <= 5; ++kind)
        for (int other = 0; other < kind; ++other)
            EXPECT_NE(cells[kind], cells[other]) << kind << " vs " << other;
    EXPECT_EQ(cvTL::IndicatorImages()->Count(), 5);
}

TEST(cvTLUnit, TheCursorsLiveInTheScreensTableWhileTheUnitRuns) {
    // The panning cursors point where the view may move: an arrow tip at the
    // top, right, bottom or left of the 21-pixel picture, the hot spot in the
    // middle.
    const struct {
        TCursor Id;
        bool Up, Right, Down, Left;
    } panning[] = {
        {cvTL::crcvTLFullScroll, true, true, true, true},  {cvTL::crcvTLHorScroll, false, true, false, true},
        {cvTL::crcvTLVerScroll, true, false, true, false}, {cvTL::crcvTLUpScroll, true, false, false, false},
        {cvTL::crcvTLRightScroll, false, true, false, false}, {cvTL::crcvTLDownScroll, false, false, true, false},
        {cvTL::crcvTLLeftScroll, false, false, false, true},
    };
    const TCursor others[] = {cvTL::crcvTLRemove, cvTL::crcvTLDragCopy, cvTL::crcvTLMultiDragCopy};
    const HCURSOR arrow = Screen->Cursors(crDefault);
    {
        cvTL::TUnitScope unit;
        constexpr uint32_t Black = 0xFF000000;
        for (const auto& c : panning) {
            const HCURSOR cursor = Screen->Cursors(c.Id);
            ASSERT_NE(cursor, arrow) << c.Id;
            EXPECT_EQ(platform_ui::test::CursorHotSpot(cursor), (TPoint{10, 10})) << c.Id;
            EXPECT_EQ(platform_ui::test::CursorPixel(cursor, 10, 1) == Black, c.Up) << c.Id;
            EXPECT_EQ(platform_ui::test::CursorPixel(cursor, 19, 10) == Black, c.Right) << c.Id;
            EXPECT_EQ(platform_ui::test::CursorPixel(cursor, 10, 19) == Black, c.Down) << c.Id;
            EXPECT_EQ(platform_ui::test::CursorPixel(cursor, 1, 10) == Black, c.Left) << c.Id;
        }
        for (const TCursor id : others)
            EXPECT_NE(Screen->Cursors(id), arrow) << id;
        EXPECT_NE(Screen->Cursors(cvTL::crcvTLDragCopy), Screen->Cursors(cvTL::crcvTLMultiDragCopy));
    }
    for (const auto& c : panning)
        EXPECT_EQ(Screen->Cursors(c.Id), arrow) << c.Id;
    for (const TCursor id : others)
        EXPECT_EQ(Screen->Cursors(id), arrow) << id;
}

} // namespace
