// DrawText and ExtTextOut flags, checked against the font's own measurements so
// that no number depends on a particular face.
#include "platform/ui/Gdi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int Width = 200, Height = 60;
constexpr COLORREF Ink = 0x000000, Paper = 0xFFFFFF;

class TextSurface : public testing::Test {
protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(nullptr, Width, Height);
        oldBitmap = SelectObject(dc, bitmap);
        oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(dc, Ink);
        SetBkMode(dc, TRANSPARENT);
        Clear();
        GetTextMetrics(dc, &tm);
    }
    void TearDown() override {
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Clear() {
        RECT all{0, 0, Width, Height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    SIZE Extent(const std::string& text) {
        SIZE size;
        GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }
    // The bounding box of the inked pixels; empty when nothing is inked.
    RECT InkBox() {
        RECT box{Width, Height, 0, 0};
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                if (GetPixel(dc, x, y) == Ink) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box;
    }
    std::vector<COLORREF> Pixels() {
        std::vector<COLORREF> all;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                all.push_back(GetPixel(dc, x, y));
        return all;
    }
    RECT Draw(const std::string& text, RECT r, UINT format) {
        Clear();
        DrawText(dc, text, &r, format);
        return InkBox();
    }
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr, oldFont = nullptr;
    TEXTMETRIC tm;
};

TEST_F(TextSurface, CalcRectMeasuresOneLineAsTheTextExtent) {
    RECT r{5, 5, 5, 5};
    const int height = DrawText(dc, "Wg 中文", &r, DT_CALCRECT | DT_SINGLELINE);
    const SIZE size = Extent("Wg 中文");
    EXPECT_EQ(r, (RECT{5, 5, 5 + size.cx, 5 + tm.tmHeight}));
    EXPECT_EQ(height, tm.tmHeight);
    EXPECT_EQ(InkBox().Right, 0); // measuring draws nothing
}

TEST_F(TextSurface, HorizontalAndVerticalPlacementShiftTheTextByItsExtent) {
    const std::string text = "Wg";
    const RECT box{10, 4, 150, 54};
    const SIZE size = Extent(text);
    const RECT left = Draw(text, box, DT_LEFT | DT_TOP | DT_SINGLELINE);
    ASSERT_LT(left.Left, left.Right);
    struct Case {
        UINT format;
        int dx, dy;
    };
    const int spareX = box.Right - box.Left - size.cx, spareY = box.Bottom - box.Top - tm.tmHeight;
    const Case cases[] = {{DT_RIGHT | DT_SINGLELINE, spareX, 0},
                          {DT_CENTER | DT_SINGLELINE, spareX / 2, 0},
                          {DT_VCENTER | DT_SINGLELINE, 0, spareY / 2},
                          {DT_BOTTOM | DT_SINGLELINE, 0, spareY},
                          {DT_CENTER | DT_VCENTER | DT_SINGLELINE, spareX / 2, spareY / 2},
                          {DT_VCENTER, 0, 0}}; // vertical placement needs a single line
    for (const Case& c : cases) {
        RECT expected = left;
        OffsetRect(expected, c.dx, c.dy);
        EXPECT_EQ(Draw(text, box, c.format), expected) << c.format;
    }
}

TEST_F(TextSurface, EndEllipsisShortensTheTextToTheBox) {
    const std::string text = "The quick brown fox jumps over the lazy dog";
    const RECT box{0, 0, Extent(text).cx / 2, 20};
    RECT measured = box;
    DrawText(dc, text, &measured, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(measured.Right, box.Right);
    EXPECT_GT(measured.Right, box.Right - Extent("...").cx - tm.tmMaxCharWidth);
    // Drawn without clipping, the shortened text still ends inside the box.
    EXPECT_LE(Draw(text, box, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS).Right, box.Right);
    EXPECT_GT(Draw(text, box, DT_SINGLELINE | DT_NOCLIP).Right, box.Right);
    // Shortening drops a surrogate pair whole: what stays is the same as the whole characters kept.
    for (const std::string ch : {"\U0001F600", "\U00020000"}) {
        const struct {
            RECT box;
            std::string kept;
        } cases[] = {{{0, 0, Extent(ch + "...").cx - 1, 20}, "..."},
                     {{0, 0, Extent(ch + ch + "...").cx - 1, 20}, ch + "..."}};
        for (const auto& c : cases) {
            Draw(ch + ch + ch + ch, c.box, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);
            const auto shortened = Pixels();
            Draw(c.kept, c.box, DT_SINGLELINE | DT_NOCLIP);
            EXPECT_EQ(shortened, Pixels()) << c.kept;
        }
    }
    // Path ellipsis fits the box too.
    const std::string path = "/home/user/documents/archive/2026/report.txt";
    const RECT pathBox{0, 0, Extent("/home/...report.txt").cx, 20};
    const RECT shortened = Draw(path, pathBox, DT_SINGLELINE | DT_NOCLIP | DT_PATH_ELLIPSIS);
    EXPECT_LE(shortened.Right, pathBox.Right);
    EXPECT_GT(shortened.Right, 0);
}

TEST_F(TextSurface, PrefixUnderlinesTheMarkedCharacterUnlessNoPrefix) {
    const RECT box{10, 10, 150, 40};
    Draw("W", box, DT_SINGLELINE);
    const auto plain = Pixels();
    Draw("&W", box, DT_SINGLELINE);
    const auto prefixed = Pixels();
    // The same glyph plus an underline: extra ink, all on one row.
    std::vector<int> extraRows;
    for (int i = 0; i < Width * Height; ++i) {
        EXPECT_FALSE(plain[static_cast<size_t>(i)] == Ink && prefixed[static_cast<size_t>(i)] != Ink);
        if (plain[static_cast<size_t>(i)] != Ink && prefixed[static_cast<size_t>(i)] == Ink)
            extraRows.push_back(i / Width);
    }
    ASSERT_FALSE(extraRows.empty());
    EXPECT_EQ(extraRows.front(), extraRows.back());
    EXPECT_EQ(Draw("&&W", box, DT_SINGLELINE).Left, Draw("&W", box, DT_SINGLELINE | DT_NOPREFIX).Left);
    Draw("&W", box, DT_SINGLELINE | DT_HIDEPREFIX);
    EXPECT_EQ(Pixels(), plain);
    // DT_PREFIXONLY draws the underline and nothing else, whatever the background mode.
    SetBkColor(dc, 0x00FF00);
    for (int mode : {TRANSPARENT, OPAQUE}) {
        SetBkMode(dc, mode);
        Draw("&W", box, DT_SINGLELINE | DT_PREFIXONLY);
        const auto underlineOnly = Pixels();
        for (int i = 0; i < Width * Height; ++i) {
            const size_t at = static_cast<size_t>(i);
            const bool underline = plain[at] != Ink && prefixed[at] == Ink;
            EXPECT_EQ(underlineOnly[at], underline ? Ink : Paper)
                << "mode " << mode << " pixel " << i % Width << "," << i / Width;
        }
    }
    SetBkMode(dc, TRANSPARENT);
    Draw("&W", box, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_NE(Pixels(), prefixed);
    RECT measured = box;
    DrawText(dc, "&W", &measured, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(measured.Right - measured.Left, Extent("W").cx);
}

TEST_F(TextSurface, WordBreakWrapsAtBlanksAndBetweenChineseCharacters) {
    struct Case {
        std::string text;
        int boxWidth, lines;
    };
    const Case cases[] = {
        {"aaa aaa aaa", Extent("aaa aaa").cx - 1, 3},
        {"aaa aaa aaa", Extent("aaa aaa").cx, 2},
        {"中文中文中文", Extent("中文").cx, 3},
        {"line one\r\nline two", Width, 2},
        {"averyveryverylongword", Extent("avery").cx, 1}, // a word is never split
        // Surrogate pairs stay whole even in a box narrower than one of them.
        {"\U00020000\U00020000\U00020000", Extent("\U00020000").cx / 2, 3},
        {"\U0001F600\U0001F600\U0001F600", Extent("\U0001F600").cx / 2, 3},
        {"\U00020000\U00020000\U00020000\U00020000", Extent("\U00020000\U00020000").cx, 2},
    };
    for (const Case& c : cases) {
        RECT r{0, 0, c.boxWidth, 0};
        const int height = DrawText(dc, c.text, &r, DT_CALCRECT | DT_WORDBREAK);
        EXPECT_EQ(height, c.lines * tm.tmHeight) << c.text;
        EXPECT_EQ(r.Bottom, c.lines * tm.tmHeight) << c.text;
    }
    RECT single{0, 0, 10, 0};
    EXPECT_EQ(DrawText(dc, "line one\r\nline two", &single, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
}

TEST_F(TextSurface, TabsExpandToEightAverageCharacters) {
    RECT r{0, 0, 0, 0};
    DrawText(dc, "a\tb", &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_GE(r.Right, 8 * tm.tmAveCharWidth + Extent("b").cx);
    EXPECT_LT(r.Right, 8 * tm.tmAveCharWidth + Extent("b").cx + Extent(" ").cx);
}

TEST_F(TextSurface, DrawTextClipsToTheBoxUnlessNoClip) {
    const RECT box{10, 10, 20, 40};
    const RECT clipped = Draw("WWWWWW", box, DT_SINGLELINE);
    EXPECT_LE(clipped.Right, box.Right);
    EXPECT_GT(Draw("WWWWWW", box, DT_SINGLELINE | DT_NOCLIP).Right, box.Right);
}

TEST_F(TextSurface, ExtTextOutPaintsTheOpaqueRectangleAndClipsToIt) {
    SetBkColor(dc, 0x0000FF);
    RECT r{10, 10, 30, 30};
    ExtTextOut(dc, 12, 12, ETO_OPAQUE | ETO_CLIPPED, &r, "WWWWWWWW", 8, nullptr);
    EXPECT_EQ(GetPixel(dc, 10, 10), 0x0000FFu);
    EXPECT_EQ(GetPixel(dc, 29, 29), 0x0000FFu);
    EXPECT_EQ(GetPixel(dc, 30, 29), Paper);
    const RECT ink = InkBox();
    EXPECT_GE(ink.Left, 12);
    EXPECT_LE(ink.Right, 30);
    // Opaque mode without a rectangle fills the text cell only.
    Clear();
    SetBkMode(dc, OPAQUE);
    TextOut(dc, 0, 0, "W", 1);
    EXPECT_EQ(GetPixel(dc, Extent("W").cx - 1, tm.tmHeight - 1) != Paper, true);
    EXPECT_EQ(GetPixel(dc, Extent("W").cx, 0), Paper);
    EXPECT_EQ(GetPixel(dc, 0, tm.tmHeight), Paper);
}

TEST_F(TextSurface, GlyphsAreDrawnWithoutAntialiasing) {
    SetTextColor(dc, 0x0000FF);
    RECT box{0, 0, Width, Height};
    DrawText(dc, "Wg 中文 &x", &box, DT_SINGLELINE);
    int red = 0;
    for (COLORREF c : Pixels()) {
        EXPECT_TRUE(c == 0x0000FF || c == Paper) << std::hex << c;
        red += c == 0x0000FF;
    }
    EXPECT_GT(red, 0);
}

TEST_F(TextSurface, FontsMeasureByTheirPixelHeight) {
    LOGFONT small, large;
    small.lfHeight = -12;
    large.lfHeight = -24;
    small.lfFaceName = large.lfFaceName = "宋体";
    HFONT a = CreateFontIndirect(small), b = CreateFontIndirect(large);
    SelectObject(dc, a);
    TEXTMETRIC ta, tb;
    GetTextMetrics(dc, &ta);
    const SIZE sa = Extent("中文Wg");
    SelectObject(dc, b);
    GetTextMetrics(dc, &tb);
    const SIZE sb = Extent("中文Wg");
    EXPECT_GE(ta.tmHeight, 12);
    EXPECT_GT(tb.tmHeight, ta.tmHeight);
    EXPECT_GT(sb.cx, sa.cx);
    EXPECT_EQ(tb.tmHeight, tb.tmAscent + tb.tmDescent);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DeleteObject(a);
    DeleteObject(b);
}

} // namespace
