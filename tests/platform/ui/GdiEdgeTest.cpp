// DrawEdge and DrawFrameControl at known pixels. Most cases give every system
// colour of the 3-D look a distinct value, so each line's colour is unambiguous.
#include "platform/ui/Gdi.h"
#include "platform/ui/SystemMetrics.h"

#include <gtest/gtest.h>

namespace {

class EdgeSurface : public testing::Test {
protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(nullptr, 40, 40);
        old = SelectObject(dc, bitmap);
        RECT all{0, 0, 40, 40};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    void TearDown() override {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        RestoreClassicSysColors();
    }
    static void DistinctColours() {
        const int indices[] = {COLOR_3DLIGHT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW,  COLOR_3DDKSHADOW,
                               COLOR_BTNFACE, COLOR_WINDOW,       COLOR_WINDOWFRAME};
        const COLORREF colours[] = {0x000011, 0x000022, 0x000033, 0x000044, 0x000055, 0x000066, 0x000077};
        SetSysColors(7, indices, colours);
    }
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

struct EdgePixel {
    int x, y, sysColor; // -1: untouched
};

struct EdgeCase {
    const char* name;
    UINT edge, flags;
    std::vector<EdgePixel> pixels;
    RECT rect{0, 0, 10, 10};
};

class DrawEdgeTest : public EdgeSurface, public testing::WithParamInterface<EdgeCase> {};

TEST_P(DrawEdgeTest, LinesTakeTheirSystemColours) {
    DistinctColours();
    RECT r = GetParam().rect;
    ASSERT_TRUE(DrawEdge(dc, &r, GetParam().edge, GetParam().flags));
    for (const EdgePixel& p : GetParam().pixels)
        EXPECT_EQ(GetPixel(dc, p.x, p.y), p.sysColor < 0 ? 0u : GetSysColor(p.sysColor)) << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DrawEdgeTest,
    testing::Values(
        EdgeCase{"RaisedOuter",
                 BDR_RAISEDOUTER,
                 BF_RECT,
                 {{0, 5, COLOR_3DLIGHT},
                  {5, 0, COLOR_3DLIGHT},
                  {9, 5, COLOR_3DDKSHADOW},
                  {5, 9, COLOR_3DDKSHADOW},
                  {9, 0, COLOR_3DDKSHADOW},
                  {0, 9, COLOR_3DDKSHADOW},
                  {1, 5, -1}}},
        EdgeCase{"SunkenOuter", BDR_SUNKENOUTER, BF_RECT, {{0, 5, COLOR_BTNSHADOW}, {9, 5, COLOR_BTNHIGHLIGHT}}},
        EdgeCase{"LoneRaisedInnerTakesTheOuterLine",
                 BDR_RAISEDINNER,
                 BF_RECT,
                 {{0, 5, COLOR_BTNHIGHLIGHT}, {9, 5, COLOR_BTNSHADOW}, {1, 5, -1}}},
        EdgeCase{"LoneSunkenInner", BDR_SUNKENINNER, BF_RECT, {{0, 5, COLOR_3DDKSHADOW}, {9, 5, COLOR_3DLIGHT}}},
        EdgeCase{"Raised",
                 EDGE_RAISED,
                 BF_RECT,
                 {{0, 5, COLOR_3DLIGHT},
                  {1, 5, COLOR_BTNHIGHLIGHT},
                  {8, 5, COLOR_BTNSHADOW},
                  {9, 5, COLOR_3DDKSHADOW},
                  {1, 1, COLOR_BTNHIGHLIGHT},
                  {8, 1, COLOR_BTNSHADOW},
                  {1, 8, COLOR_BTNSHADOW},
                  {2, 5, -1}}},
        EdgeCase{
            "Sunken",
            EDGE_SUNKEN,
            BF_RECT,
            {{0, 5, COLOR_BTNSHADOW}, {1, 5, COLOR_3DDKSHADOW}, {8, 5, COLOR_3DLIGHT}, {9, 5, COLOR_BTNHIGHLIGHT}}},
        EdgeCase{
            "Etched",
            EDGE_ETCHED,
            BF_RECT,
            {{0, 5, COLOR_BTNSHADOW}, {1, 5, COLOR_BTNHIGHLIGHT}, {8, 5, COLOR_BTNSHADOW}, {9, 5, COLOR_BTNHIGHLIGHT}}},
        EdgeCase{"Bump",
                 EDGE_BUMP,
                 BF_RECT,
                 {{0, 5, COLOR_3DLIGHT}, {1, 5, COLOR_3DDKSHADOW}, {8, 5, COLOR_3DLIGHT}, {9, 5, COLOR_3DDKSHADOW}}},
        EdgeCase{"SoftRaised",
                 EDGE_RAISED,
                 BF_RECT | BF_SOFT,
                 {{0, 5, COLOR_BTNHIGHLIGHT}, {1, 5, COLOR_3DLIGHT}, {9, 5, COLOR_3DDKSHADOW}}},
        EdgeCase{"Flat",
                 EDGE_SUNKEN,
                 BF_RECT | BF_FLAT,
                 {{0, 5, COLOR_BTNSHADOW}, {9, 5, COLOR_BTNSHADOW}, {1, 5, COLOR_BTNFACE}}},
        EdgeCase{"Mono",
                 BDR_RAISEDOUTER,
                 BF_RECT | BF_MONO,
                 {{0, 5, COLOR_WINDOWFRAME}, {9, 5, COLOR_WINDOWFRAME}, {1, 5, -1}}},
        EdgeCase{
            "MiddleFillsTheInside", EDGE_RAISED, BF_RECT | BF_MIDDLE, {{2, 2, COLOR_BTNFACE}, {7, 7, COLOR_BTNFACE}}},
        EdgeCase{"RightAndBottomOnly",
                 EDGE_RAISED,
                 BF_RIGHT | BF_BOTTOM,
                 {{0, 5, -1},
                  {5, 0, -1},
                  {9, 0, COLOR_3DDKSHADOW},
                  {8, 0, COLOR_BTNSHADOW},
                  {8, 9, COLOR_3DDKSHADOW},
                  {8, 8, COLOR_BTNSHADOW}}},
        EdgeCase{"TopOnly", BDR_SUNKENOUTER, BF_TOP, {{0, 0, COLOR_BTNSHADOW}, {9, 0, COLOR_BTNSHADOW}, {0, 1, -1}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Diagonals run corner to corner: "/" from (0, 9) to (9, 0), "\\" from (0, 0) to (9, 9).
INSTANTIATE_TEST_SUITE_P(Diagonal, DrawEdgeTest,
                         testing::Values(EdgeCase{"EndTopRightInnerLineLiesBelow",
                                                  EDGE_RAISED,
                                                  BF_DIAGONAL_ENDTOPRIGHT,
                                                  {{0, 9, COLOR_3DLIGHT},
                                                   {5, 4, COLOR_3DLIGHT},
                                                   {9, 0, COLOR_3DLIGHT},
                                                   {1, 9, COLOR_BTNHIGHLIGHT},
                                                   {9, 1, COLOR_BTNHIGHLIGHT},
                                                   {0, 8, -1},
                                                   {2, 9, -1}}},
                                         EdgeCase{"EndBottomLeftTakesTheRightBottomColoursAbove",
                                                  EDGE_RAISED,
                                                  BF_DIAGONAL_ENDBOTTOMLEFT,
                                                  {{0, 9, COLOR_3DDKSHADOW},
                                                   {9, 0, COLOR_3DDKSHADOW},
                                                   {0, 8, COLOR_BTNSHADOW},
                                                   {8, 0, COLOR_BTNSHADOW},
                                                   {1, 9, -1}}},
                                         EdgeCase{"EndTopLeftInnerLineLiesAbove",
                                                  EDGE_SUNKEN,
                                                  BF_DIAGONAL_ENDTOPLEFT,
                                                  {{0, 0, COLOR_BTNSHADOW},
                                                   {9, 9, COLOR_BTNSHADOW},
                                                   {1, 0, COLOR_3DDKSHADOW},
                                                   {9, 8, COLOR_3DDKSHADOW},
                                                   {0, 1, -1}}},
                                         EdgeCase{"EndBottomRightMiddleFillsTheTriangleBelow",
                                                  EDGE_RAISED,
                                                  BF_DIAGONAL_ENDBOTTOMRIGHT | BF_MIDDLE,
                                                  {{0, 0, COLOR_3DDKSHADOW},
                                                   {9, 9, COLOR_3DDKSHADOW},
                                                   {0, 1, COLOR_BTNSHADOW},
                                                   {8, 9, COLOR_BTNSHADOW},
                                                   {0, 2, COLOR_BTNFACE},
                                                   {7, 9, COLOR_BTNFACE},
                                                   {0, 9, COLOR_BTNFACE},
                                                   {9, 0, -1},
                                                   {5, 4, -1}}},
                                         EdgeCase{"MonoMiddleFillsTheRestOfAWideRectangle",
                                                  BDR_RAISEDOUTER,
                                                  BF_DIAGONAL_ENDTOPRIGHT | BF_MONO | BF_MIDDLE,
                                                  {{0, 9, COLOR_WINDOWFRAME},
                                                   {9, 0, COLOR_WINDOWFRAME},
                                                   {1, 9, COLOR_WINDOW},
                                                   {15, 0, COLOR_WINDOW},
                                                   {15, 9, COLOR_WINDOW},
                                                   {8, 0, -1}},
                                                  {0, 0, 16, 10}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EdgeSurface, RaisedEdgeUsesTheClassicColours) {
    RECT r{0, 0, 10, 10};
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    EXPECT_EQ(GetPixel(dc, 0, 5), RGB(212, 208, 200));
    EXPECT_EQ(GetPixel(dc, 1, 5), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 8, 5), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(dc, 9, 5), RGB(64, 64, 64));
}

TEST_F(EdgeSurface, AdjustShrinksByTheLinesDrawnOnEachSide) {
    struct Case {
        UINT edge, flags;
        RECT expected;
    };
    const Case cases[] = {{EDGE_SUNKEN, BF_RECT | BF_ADJUST, {2, 2, 8, 8}},
                          {BDR_SUNKENOUTER, BF_RECT | BF_ADJUST, {1, 1, 9, 9}},
                          {EDGE_RAISED, BF_LEFT | BF_BOTTOM | BF_ADJUST, {2, 0, 10, 8}},
                          {EDGE_RAISED, BF_RECT, {0, 0, 10, 10}},
                          {EDGE_RAISED, BF_DIAGONAL_ENDTOPRIGHT | BF_ADJUST, {0, 2, 8, 10}}};
    for (const Case& c : cases) {
        RECT r{0, 0, 10, 10};
        DrawEdge(dc, &r, c.edge, c.flags);
        EXPECT_EQ(r, c.expected) << c.edge << " " << c.flags;
    }
}

TEST_F(EdgeSurface, CheckBoxStatesDrawTheMarkAndTheirBackground) {
    DistinctColours();
    struct Case {
        UINT state;
        bool mark;
        int background;
    };
    const Case cases[] = {{0, false, COLOR_WINDOW},
                          {DFCS_CHECKED, true, COLOR_WINDOW},
                          {DFCS_CHECKED | DFCS_PUSHED, true, COLOR_BTNFACE},
                          {DFCS_INACTIVE, false, COLOR_BTNFACE},
                          {DFCS_BUTTON3STATE | DFCS_CHECKED, true, COLOR_BTNFACE}};
    for (const Case& c : cases) {
        RECT r{0, 0, 13, 13};
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | c.state);
        EXPECT_EQ(GetPixel(dc, 0, 6), GetSysColor(COLOR_BTNSHADOW)) << c.state;
        EXPECT_EQ(GetPixel(dc, 2, 2), GetSysColor(c.background)) << c.state;
        // The middle of the check mark.
        EXPECT_EQ(GetPixel(dc, 5, 8) != GetSysColor(c.background), c.mark) << c.state;
    }
}

TEST_F(EdgeSurface, PushButtonLooksRaisedOrPushedAndAdjusts) {
    DistinctColours();
    RECT r{0, 0, 20, 12};
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    EXPECT_EQ(GetPixel(dc, 0, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, 19, 5), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(GetPixel(dc, 10, 6), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(r, (RECT{2, 2, 18, 10}));
    r = RECT{0, 0, 20, 12};
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(GetPixel(dc, 0, 5), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(GetPixel(dc, 19, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(EdgeSurface, ScrollArrowsPointTheirWay) {
    const int size = GetSystemMetrics(SM_CXVSCROLL);
    auto inked = [&](int x, int y) { return GetPixel(dc, x, y) == GetSysColor(COLOR_BTNTEXT); };
    // Count the arrow's pixels on its first and last rows: the tip row has one.
    struct Case {
        UINT state;
        bool vertical, tipFirst;
    };
    const Case cases[] = {{DFCS_SCROLLUP, true, true},
                          {DFCS_SCROLLDOWN, true, false},
                          {DFCS_SCROLLLEFT, false, true},
                          {DFCS_SCROLLRIGHT, false, false},
                          {DFCS_SCROLLCOMBOBOX, true, false}};
    for (const Case& c : cases) {
        RECT r{0, 0, size, size};
        DrawFrameControl(dc, &r, DFC_SCROLL, c.state);
        std::vector<int> lines;
        for (int a = 0; a < size; ++a) {
            int count = 0;
            for (int b = 0; b < size; ++b)
                count += c.vertical ? inked(b, a) : inked(a, b);
            if (count) lines.push_back(count);
        }
        ASSERT_GE(lines.size(), 3u) << c.state;
        EXPECT_EQ(c.tipFirst ? lines.front() : lines.back(), 1) << c.state;
        EXPECT_GT(c.tipFirst ? lines.back() : lines.front(), 1) << c.state;
    }
}

TEST_F(EdgeSurface, SizeGripRidgesSitInTheBottomRightCorner) {
    RECT r{0, 0, 16, 16};
    DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNFACE));
    int highlights = 0, shadows = 0;
    for (int y = 8; y < 16; ++y)
        for (int x = 8; x < 16; ++x) {
            highlights += GetPixel(dc, x, y) == GetSysColor(COLOR_BTNHIGHLIGHT);
            shadows += GetPixel(dc, x, y) == GetSysColor(COLOR_BTNSHADOW);
        }
    EXPECT_GT(highlights, 0);
    EXPECT_GT(shadows, highlights);
}

} // namespace
