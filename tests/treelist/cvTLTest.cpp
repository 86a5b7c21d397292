// The unit's routines: wrapped-text line counts measured with the font, the
// inverted frame and the cell text painter, pixel by pixel on a memory DC.
#include "treelist/cvTL.h"

#include "platform/ui/Gdi.h"

#include <gtest/gtest.h>

namespace {

TEST(cvTL, CalcTextLineCountCountsWrappedLinesUpToTheLimit) {
    TFont font;
    const int line = cvTL::FontLineHeight(font.Handle());
    ASSERT_GT(line, 0);
    constexpr int Untouched = -77;
    struct Case {
        const char* Name;
        const char* Text;
        int LineHeight;
        int MaxLineCount;
        int Lines;
        int TextHeight;
    };
    const Case cases[] = {
        {"empty text", "", line, -1, 0, Untouched},
        {"no lines allowed", "text", line, 0, 0, Untouched},
        {"one line", "text", line, -1, 1, line + 3},
        {"five lines", "a\nb\nc\nd\ne", line, -1, 5, 5 * line + 3},
        {"five lines cut to two", "a\nb\nc\nd\ne", line, 2, 2, 2 * line + 3},
        {"line height from the font", "a\nb\nc", 0, -1, 3, 3 * line + 3},
    };
    for (const Case& c : cases) {
        int height = Untouched;
        EXPECT_EQ(cvTL::CalcTextLineCount(c.Text, 200, c.LineHeight, height, 0, false, font.Handle(), c.MaxLineCount),
                  c.Lines)
            << c.Name;
        EXPECT_EQ(height, c.TextHeight) << c.Name;
    }
    int height = 0;
    EXPECT_GT(cvTL::CalcTextLineCount("several words that wrap in a narrow cell", 40, line, height, 0, true,
                                      font.Handle(), -1),
              1)
        << "narrow bounds wrap the words";
}

class cvTLImage : public ::testing::Test {
protected:
    void SetUp() override {
        DC = CreateCompatibleDC(nullptr);
        Bitmap = CreateCompatibleBitmap(nullptr, 60, 24);
        Old = SelectObject(DC, Bitmap);
        Fill({0, 0, 60, 24}, 0xFFFFFF);
    }
    void TearDown() override {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
    void Fill(const TRect& r, COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(DC, &r, brush);
        DeleteObject(brush);
    }
    HDC DC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
};

TEST_F(cvTLImage, InvertFrameInvertsEachFramePixelOnceAndTwiceRestores) {
    const TRect frame{2, 3, 10, 9};
    cvTL::InvertFrame(DC, frame);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inside = PtInRect(frame, {x, y});
            const bool edge =
                inside && (x == frame.Left || x == frame.Right - 1 || y == frame.Top || y == frame.Bottom - 1);
            ASSERT_EQ(GetPixel(DC, x, y), edge ? 0x000000u : 0xFFFFFFu) << x << "," << y;
        }
    cvTL::InvertFrame(DC, frame);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(GetPixel(DC, x, y), 0xFFFFFFu) << x << "," << y;
}

TEST_F(cvTLImage, DrawTextCellTakesExtTextOutOnlyForOneFilledLineWithoutEllipsis) {
    struct Case {
        const char* Name;
        bool NoFill, MultiLine, EndEllipsis;
        bool ExtTextOut;
    };
    const Case cases[] = {
        {"plain line", false, false, false, true},
        {"multi-line", false, true, false, false},
        {"ellipsis", false, false, true, false},
        {"no fill, even multi-line", true, true, true, true},
    };
    for (const Case& c : cases) {
        cvTL::TTextCellArgs args;
        args.NoFill = c.NoFill;
        args.MultiLine = c.MultiLine;
        args.EndEllipsis = c.EndEllipsis;
        args.Color = 0x00FF00;
        EXPECT_EQ(cvTL::DrawsWithExtTextOut(DC, args), c.ExtTextOut) << c.Name;
    }
}

TEST_F(cvTLImage, DrawTextCellFillsTheCellAndKeepsTheTextInside) {
    for (TAlignment alignment : {taLeftJustify, taRightJustify, taCenter}) {
        Fill({0, 0, 60, 24}, 0xFFFFFF);
        HBRUSH green = CreateSolidBrush(0x00FF00);
        cvTL::TTextCellArgs args;
        args.Brush = green;
        args.Color = 0x00FF00;
        args.Alignment = alignment;
        SetTextColor(DC, 0x000000);
        const TRect cell{10, 2, 50, 22};
        cvTL::DrawTextCell(DC, cell, "ab", args, nullptr);
        DeleteObject(green);
        int textPixels = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 60; ++x) {
                const COLORREF pixel = GetPixel(DC, x, y);
                if (!PtInRect(cell, {x, y})) {
                    ASSERT_EQ(pixel, 0xFFFFFFu) << "outside the cell at " << x << "," << y;
                } else if (pixel != 0x00FF00u) {
                    ++textPixels;
                    // The 2-pixel strip at the right (and for right and centre at the left) stays background.
                    ASSERT_LT(x, cell.Right - 2) << alignment;
                    if (alignment != taLeftJustify) {
                        ASSERT_GE(x, cell.Left + 2) << alignment;
                    }
                }
            }
        EXPECT_GT(textPixels, 0) << alignment;
    }
}

} // namespace
