// The editor unit's routines: keyword dates on a fixed clock, the date edit
// mask and text of a date under several format settings (and their way
// through the mask engine), the currency display format, the window point
// conversion, the size grip's corners, and the unit's counted start-up.
#include "editors/ExEdtr.h"

#include "platform/ui/Cursors.h"
#include "platform/ui/EditMask.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

// Format settings changed for one test and restored after it.
struct FormatScope {
    TFormatSettings Saved = FormatSettings;
    FormatScope(const char* ShortDateFormat, char DateSeparator) {
        FormatSettings.ShortDateFormat = ShortDateFormat;
        FormatSettings.DateSeparator = DateSeparator;
    }
    ~FormatScope() { FormatSettings = Saved; }
};

const TDateTime Tuesday = EncodeDate(2024, 2, 13) + EncodeTime(10, 30, 0, 0);

} // namespace

TEST(ExEdtr, KeywordDatesByPrefixFromToday) {
    struct Case {
        TDateTime Now;
        const char* Text;
        TDateTime Expected; // NullDate: no date
    };
    const TDateTime monday = EncodeDate(2024, 2, 12) + EncodeTime(8, 0, 0, 0);
    const Case cases[] = {
        {Tuesday, "today", EncodeDate(2024, 2, 13)},
        {Tuesday, "Today", EncodeDate(2024, 2, 13)},
        {Tuesday, "TODAY - 2", EncodeDate(2024, 2, 11)},
        {Tuesday, "today+3", EncodeDate(2024, 2, 16)},
        {Tuesday, "TODAYS", EncodeDate(2024, 2, 13)},
        {Tuesday, "today +x", EncodeDate(2024, 2, 13)},
        {Tuesday, "today +", EncodeDate(2024, 2, 13)},
        {Tuesday, "yesterday", EncodeDate(2024, 2, 12)},
        {Tuesday, "tomorrow -1", EncodeDate(2024, 2, 13)},
        {Tuesday, "MONDAY", EncodeDate(2024, 2, 19)},
        {monday, "MONDAY", EncodeDate(2024, 2, 12)},
        {Tuesday, "tuesday", EncodeDate(2024, 2, 13)},
        {Tuesday, "sunday", EncodeDate(2024, 2, 18)},
        {Tuesday, "Saturday", EncodeDate(2024, 2, 17)},
        {Tuesday, "FIRST", EncodeDate(2024, 2, 11)},
        {Tuesday, "third", EncodeDate(2024, 2, 13)},
        {Tuesday, "SEVENTH", EncodeDate(2024, 2, 17)},
        {Tuesday, "bom", EncodeDate(2024, 2, 1)},
        {Tuesday, "EOM", EncodeDate(2024, 2, 29)},
        {EncodeDate(2023, 2, 10), "EOM", EncodeDate(2023, 2, 28)},
        {Tuesday, "NOW", Tuesday},
        {Tuesday, "NOWHERE", Tuesday},
        {Tuesday, "", NullDate},
        {Tuesday, "tod", NullDate},
        {Tuesday, "2024-02-13", NullDate},
    };
    for (const Case& c : cases) {
        TClockScope clock(c.Now);
        TDateTime date = NullDate;
        EXPECT_EQ(cvExEdtr::SmartTextToDate(c.Text, date), c.Expected != NullDate) << c.Text;
        EXPECT_EQ(date, c.Expected) << c.Text;
    }
}

TEST(ExEdtr, HookTakesTextsNoKeywordMatches) {
    cvExEdtr::SmartDateHook = [](const std::string& Text, TDateTime& Date) {
        Date = EncodeDate(2000, 1, 1);
        return Text == "millennium";
    };
    TClockScope clock(Tuesday);
    TDateTime date = NullDate;
    EXPECT_TRUE(cvExEdtr::SmartTextToDate("millennium", date));
    EXPECT_EQ(date, EncodeDate(2000, 1, 1));
    EXPECT_TRUE(cvExEdtr::SmartTextToDate("today", date));
    EXPECT_EQ(date, EncodeDate(2024, 2, 13));
    EXPECT_FALSE(cvExEdtr::SmartTextToDate("someday", date));
    cvExEdtr::SmartDateHook = nullptr;
}

TEST(ExEdtr, DateEditMaskFollowsTheShortDateFormat) {
    struct Case {
        const char* ShortDateFormat;
        char DateSeparator;
        const char* Mask;
        const char* MaskFormat;
        const char* EditText; // of 5 March 2024
    };
    const Case cases[] = {
        {"yyyy-M-d", '-', "!9999-99-99;1; ", "yyyy-MM-dd", "2024-03-05"},
        {"yyyy-MM-dd", '-', "!9999-99-99;1; ", "yyyy-MM-dd", "2024-03-05"},
        {"M/d/yyyy", '/', "!99/99/9999;1; ", "MM/dd/yyyy", "03/05/2024"},
        {"d.M.yy", '.', "!99.99.99;1; ", "dd.MM.yy", "05.03.24"},
        {"dd/MMM/yy", '/', "!99/lll/99;1; ", "dd/MMM/yy", nullptr},
    };
    const TDateTime date = EncodeDate(2024, 3, 5);
    for (const Case& c : cases) {
        FormatScope format(c.ShortDateFormat, c.DateSeparator);
        EXPECT_EQ(cvExEdtr::DateEditMask(), c.Mask) << c.ShortDateFormat;
        EXPECT_EQ(cvExEdtr::MaskDateFormat(), c.MaskFormat) << c.ShortDateFormat;
        if (!c.EditText) continue;
        // The date editor's way: the edit text fills the mask, the value read back is the date again.
        const std::string editText = cvExEdtr::DateToEditText(true, date);
        EXPECT_EQ(editText, c.EditText) << c.ShortDateFormat;
        const TEditMaskInfo mask = ParseEditMask(cvExEdtr::DateEditMask());
        EXPECT_EQ(FormatMaskText(mask, editText), editText) << c.ShortDateFormat;
        TDateTime back = NullDate;
        EXPECT_TRUE(cvExEdtr::TextToDate(MaskTextValue(mask, editText), back)) << c.ShortDateFormat;
        EXPECT_EQ(back, date) << c.ShortDateFormat;
    }
}

TEST(ExEdtr, TextToDateUnderFormatSettings) {
    struct Case {
        const char* ShortDateFormat;
        char DateSeparator;
        const char* Text;
        TDateTime Expected; // NullDate: refused
    };
    const Case cases[] = {
        {"yyyy-MM-dd", '-', "2024-03-05", EncodeDate(2024, 3, 5)},
        {"yyyy-MM-dd", '-', "  2024-3-5 ", EncodeDate(2024, 3, 5)},
        {"yyyy-MM-dd", '-', "2024/3/5", EncodeDate(2024, 3, 5)},
        {"yyyy-MM-dd", '-', "2024-03-05 10:30", EncodeDate(2024, 3, 5) + EncodeTime(10, 30, 0, 0)},
        {"yyyy-MM-dd", '-', "Today", EncodeDate(2024, 2, 13)},
        {"yyyy-MM-dd", '-', "", NullDate},
        {"yyyy-MM-dd", '-', "   ", NullDate},
        {"yyyy-MM-dd", '-', "2024-13-05", NullDate},
        {"yyyy-MM-dd", '-', "abc", NullDate},
        {"d.M.yyyy", '.', "1.2.2003", EncodeDate(2003, 2, 1)},
        {"d.M.yyyy", '.', "tomorrow", EncodeDate(2024, 2, 14)},
        {"M/d/yyyy", '/', "3/5/2024", EncodeDate(2024, 3, 5)},
    };
    TClockScope clock(Tuesday);
    for (const Case& c : cases) {
        FormatScope format(c.ShortDateFormat, c.DateSeparator);
        TDateTime date = NullDate;
        EXPECT_EQ(cvExEdtr::TextToDate(c.Text, date), c.Expected != NullDate) << c.ShortDateFormat << " " << c.Text;
        if (c.Expected != NullDate) {
            EXPECT_EQ(date, c.Expected) << c.ShortDateFormat << " " << c.Text;
        }
    }
}

TEST(ExEdtr, DateToTextReadsBackAsTheSameDate) {
    struct Case {
        const char* ShortDateFormat;
        char DateSeparator;
        TDateTime Date;
        const char* Text;
    };
    const Case cases[] = {
        {"yyyy-MM-dd", '-', EncodeDate(2024, 3, 5), "2024-03-05"},
        {"yyyy-MM-dd", '-', EncodeDate(2024, 3, 5) + EncodeTime(10, 30, 0, 0), "2024-03-05 10:30:00"},
        {"yyyy-M-d", '-', EncodeDate(1999, 12, 31), "1999-12-31"},
        {"M/d/yyyy", '/', EncodeDate(2024, 3, 5), "3/5/2024"},
        {"d.M.yyyy", '.', EncodeDate(2003, 2, 1), "1.2.2003"},
    };
    for (const Case& c : cases) {
        FormatScope format(c.ShortDateFormat, c.DateSeparator);
        EXPECT_EQ(cvExEdtr::DateToText(c.Date), c.Text) << c.ShortDateFormat;
        EXPECT_EQ(cvExEdtr::DateToEditText(false, c.Date), c.Text) << c.ShortDateFormat;
        TDateTime back = NullDate;
        EXPECT_TRUE(cvExEdtr::TextToDate(c.Text, back)) << c.Text;
        EXPECT_EQ(back, c.Date) << c.Text;
    }
    EXPECT_EQ(cvExEdtr::DateToText(NullDate), "");
    EXPECT_EQ(cvExEdtr::DateToEditText(true, NullDate), "");
}

TEST(ExEdtr, CurrencyDisplayFormatPlacesTheCurrencyString) {
    struct Case {
        const char* CurrencyString;
        Byte CurrencyFormat;
        Byte CurrencyDecimals;
        const char* Expected;
    };
    const Case cases[] = {
        {"¥", 0, 2, "¥,0.00;-¥,0.00"},       {"€", 3, 2, ",0.00 €;-,0.00 €"}, {"$", 2, 2, "$ ,0.00;-$ ,0.00"},
        {"kr.", 1, 0, ",0.kr'.';-,0.kr'.'"}, {"", 2, 3, ",0.000;-,0.000"},
    };
    const TFormatSettings saved = FormatSettings;
    for (const Case& c : cases) {
        FormatSettings.CurrencyString = c.CurrencyString;
        FormatSettings.CurrencyFormat = c.CurrencyFormat;
        FormatSettings.CurrencyDecimals = c.CurrencyDecimals;
        EXPECT_EQ(cvExEdtr::DefaultCurrencyDisplayFormat(), c.Expected) << c.CurrencyString;
    }
    FormatSettings = saved;
}

TEST(ExEdtr, ScreenToWindowCountsFromTheWindowRectangle) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(40, 30, 200, 150);
    form->Show();
    TRect window;
    ASSERT_TRUE(GetWindowRect(form->Handle(), window));
    TPoint p{window.Left + 5, window.Top + 7};
    EXPECT_TRUE(cvExEdtr::ScreenToWindow(form->Handle(), p));
    EXPECT_EQ(p, (TPoint{5, 7}));
    // Where the client area starts away from the window's corner, the two conversions differ.
    TPoint client{window.Left + 5, window.Top + 7};
    ScreenToClient(form->Handle(), client);
    TPoint origin{0, 0};
    ClientToScreen(form->Handle(), origin);
    EXPECT_EQ(client.X - p.X, window.Left - origin.X);
    EXPECT_EQ(client.Y - p.Y, window.Top - origin.Y);
}

TEST(ExEdtr, SizeGripMirrorsIntoEachCorner) {
    constexpr int Side = 40, Strip = 2;
    const int width = GetSystemMetrics(SM_CXVSCROLL), height = GetSystemMetrics(SM_CYHSCROLL);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Painted {
        HDC DC = CreateCompatibleDC(nullptr);
        HBITMAP Bitmap = CreateBitmap(Side, Side, 1, 32, nullptr);
        HGDIOBJ Old = SelectObject(DC, Bitmap);
        TRect R{0, 0, Side, Side};
        explicit Painted(int Corner) {
            PatBlt(DC, 0, 0, Side, Side, WHITENESS);
            cvExEdtr::DrawSizeGrip(DC, R, Corner);
        }
        ~Painted() {
            SelectObject(DC, Old);
            DeleteObject(Bitmap);
            DeleteDC(DC);
        }
        // The grip picture's pixel (X, Y) as the bottom-right grip would show it.
        COLORREF Grip(int Corner, int X, int Y, int GripWidth, int GripHeight) const {
            const bool right = Corner == 1 || Corner == 3, bottom = Corner >= 2;
            const int x = right ? R.Left + X : R.Left + Strip + GripWidth - 1 - X;
            const int y = bottom ? R.Top + Y : R.Top + Strip + GripHeight - 1 - Y;
            return GetPixel(DC, x, y);
        }
    };
    const Painted bottomRight(3);
    EXPECT_EQ(bottomRight.R, (TRect{Side - width, Side - height, Side, Side}));
    // The grip has ridges, so a picture put in unmirrored shows.
    std::set<COLORREF> colours;
    for (int x = 0; x < width - Strip; ++x)
        colours.insert(bottomRight.Grip(3, x, x, width - Strip, height - Strip));
    ASSERT_GT(colours.size(), 1u);
    for (int corner = 0; corner < 4; ++corner) {
        const Painted painted(corner);
        const bool right = corner == 1 || corner == 3, bottom = corner >= 2;
        EXPECT_EQ(painted.R.Right - painted.R.Left, width) << corner;
        EXPECT_EQ(painted.R.Left, right ? Side - width : 0) << corner;
        EXPECT_EQ(painted.R.Top, bottom ? Side - height : 0) << corner;
        // The face-coloured strips along the corner's outer edges.
        const int outerX = right ? painted.R.Right - 1 : painted.R.Left;
        const int outerY = bottom ? painted.R.Bottom - 1 : painted.R.Top;
        EXPECT_EQ(GetPixel(painted.DC, outerX, painted.R.Top + height / 2), face) << corner;
        EXPECT_EQ(GetPixel(painted.DC, painted.R.Left + width / 2, outerY), face) << corner;
        int differing = 0;
        for (int y = 0; y < height - Strip; ++y)
            for (int x = 0; x < width - Strip; ++x)
                differing += painted.Grip(corner, x, y, width - Strip, height - Strip) !=
                             bottomRight.Grip(3, x, y, width - Strip, height - Strip);
        EXPECT_EQ(differing, 0) << corner;
    }
}

TEST(ExEdtr, StartUpBuildsTheSharedObjectsOnceAndTheLastCloseFreesThem) {
    EXPECT_EQ(cvExEdtr::ToolGlyphs(), nullptr);
    HCURSOR hand = nullptr;
    {
        cvExEdtr::TUnitScope outer;
        {
            cvExEdtr::TUnitScope inner;
            hand = Screen->Cursors(cvExEdtr::crcvHandPoint);
        }
        EXPECT_NE(hand, nullptr);
        EXPECT_EQ(Screen->Cursors(cvExEdtr::crcvHandPoint), hand);
        EXPECT_EQ(hand, LoadCursor(HInstance, "CV_HANDPOINT"));
        ASSERT_NE(cvExEdtr::ToolGlyphs(), nullptr);
        EXPECT_EQ(cvExEdtr::ToolGlyphs()->Count(), 6);
        EXPECT_EQ(cvExEdtr::BlobGlyphs()->Count(), 8);
        TBitmap boxes;
        boxes.SetHandle(LoadBitmap(nullptr, OBM_CHECKBOXES));
        EXPECT_EQ(cvExEdtr::DefaultCheckWidth(), boxes.Width() / 4);
        EXPECT_EQ(cvExEdtr::DefaultCheckHeight(), boxes.Height() / 3);
        EXPECT_GT(cvExEdtr::SharedCanvas()->TextWidth("0"), 0);
        // Olive is transparent: the copy glyph's corner keeps the white below, its outline is black.
        TBitmap target;
        target.SetSize(16, 16);
        target.Canvas()->Brush()->SetColor(clWhite);
        target.Canvas()->FillRect(TRect{0, 0, 16, 16});
        cvExEdtr::ToolGlyphs()->Draw(target.Canvas(), 0, 0, 1);
        EXPECT_EQ(target.Canvas()->Pixels(15, 0), clWhite);
        EXPECT_EQ(target.Canvas()->Pixels(0, 1), clBlack);
    }
    EXPECT_EQ(cvExEdtr::ToolGlyphs(), nullptr);
    EXPECT_EQ(cvExEdtr::SharedCanvas(), nullptr);
    EXPECT_NE(Screen->Cursors(cvExEdtr::crcvHandPoint), hand);
}
