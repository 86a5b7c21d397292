// Dates: encoding and decoding (invalid parts included), formatting and
// parsing under the settings record, and the injectable clock.
#include <gtest/gtest.h>

#include "platform/rtl/DateTime.h"

namespace {

class DateTimeTest : public ::testing::Test {
protected:
    void TearDown() override { FormatSettings = TFormatSettings(); }
};

TEST_F(DateTimeTest, EncodeDateCountsDaysFrom18991230) {
    const struct {
        Word Y, M, D;
        double Serial;
    } cases[] = {{1899, 12, 30, 0},   {1900, 1, 1, 2},    {1899, 12, 29, -1},     {2000, 2, 29, 36585},
                 {2024, 3, 1, 45352}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465}};
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.Y, c.M, c.D), c.Serial) << c.Y << "-" << c.M << "-" << c.D;
        Word y, m, d;
        DecodeDate(c.Serial, y, m, d);
        EXPECT_EQ(y, c.Y);
        EXPECT_EQ(m, c.M);
        EXPECT_EQ(d, c.D);
    }
}

TEST_F(DateTimeTest, InvalidDatesAndTimesAreRefused) {
    const struct {
        Word Y, M, D;
    } bad[] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 4, 31}, {2024, 13, 1},
               {2024, 0, 1},  {2024, 1, 0},  {0, 1, 1},     {10000, 1, 1}};
    for (const auto& c : bad) {
        TDateTime d = 123;
        EXPECT_FALSE(TryEncodeDate(c.Y, c.M, c.D, d)) << c.Y << "-" << c.M << "-" << c.D;
        EXPECT_EQ(d, 123);
    }
    try {
        EncodeDate(2023, 2, 29);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(2023, 2), 28);
}

TEST_F(DateTimeTest, TimeOfDayDecodesToMillisecondsAndNegativeDatesKeepTheirTime) {
    const TDateTime t = EncodeTime(13, 45, 30, 250);
    Word h, n, s, z;
    DecodeTime(t, h, n, s, z);
    EXPECT_EQ((std::vector<Word>{h, n, s, z}), (std::vector<Word>{13, 45, 30, 250}));
    // -1.25 is 1899-12-29 06:00: the day is the integer part, the time the absolute fraction.
    Word y, m, d;
    DecodeDateTime(-1.25, y, m, d, h, n, s, z);
    EXPECT_EQ((std::vector<Word>{y, m, d, h, n}), (std::vector<Word>{1899, 12, 29, 6, 0}));
    // A time a hair below midnight rounds into the next day, never to 24:00.
    DecodeDateTime(EncodeDate(2024, 1, 1) + 0.9999999999, y, m, d, h, n, s, z);
    EXPECT_EQ((std::vector<Word>{y, m, d, h, n, s}), (std::vector<Word>{2024, 1, 2, 0, 0, 0}));
}

TEST_F(DateTimeTest, DayOfWeekStartsOnSunday) {
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7); // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 6, 2)), 1);   // Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 6, 5)), 4);   // Wednesday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24)), 1); // before day 0
}

TEST_F(DateTimeTest, FormatDateTimeTable) {
    const TDateTime v = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
    const struct {
        const char* Format;
        const char* Text;
    } cases[] = {
        {"yyyy-MM-dd", "2024-03-05"},
        {"yy/m/d", "24-3-5"}, // '/' is the date separator
        {"hh:nn:ss.zzz", "14:07:09.045"},
        {"h:m", "14:7"}, // m after h means minutes
        {"hh:mm", "14:07"},
        {"mm", "03"},
        {"h:mm am/pm", "2:07 pm"},
        {"hh AMPM", "02 \xE4\xB8\x8B\xE5\x8D\x88"},
        {"h a/p", "2 p"},
        {"dddd", "\xE6\x98\x9F\xE6\x9C\x9F\xE4\xBA\x8C"},
        {"ddddd", "2024-03-05"},
        {"dddddd", "2024\xE5\xB9\xB4"
                   "3\xE6\x9C\x88"
                   "5\xE6\x97\xA5"},
        {"c", "2024-03-05 14:07:09"},
        {"t", "14:07"},
        {"yyyy'y'MM\"m\"", "2024y03m"},
        {"", "2024-03-05 14:07:09"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(c.Format, v), c.Text) << c.Format;
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), "2024-03-05") << "midnight shows no time";
    EXPECT_EQ(FormatDateTime("h:nn AM/PM", EncodeTime(0, 5, 0, 0)), "12:05 AM");
}

TEST_F(DateTimeTest, DateToStrFollowsTheSettings) {
    const TDateTime v = EncodeDate(2024, 3, 5);
    EXPECT_EQ(DateToStr(v), "2024-03-05");
    FormatSettings.ShortDateFormat = "dd/mm/yyyy";
    FormatSettings.DateSeparator = '.';
    EXPECT_EQ(DateToStr(v), "05.03.2024");
    EXPECT_EQ(StrToDate("5.3.2024"), v);
}

TEST_F(DateTimeTest, StrToDateReadsTheShortDateOrder) {
    TClockScope clock(EncodeDate(2024, 6, 15));
    const struct {
        const char* Text;
        bool Valid;
        Word Y, M, D;
    } cases[] = {
        {"2024-03-05", true, 2024, 3, 5},
        {" 2024-3-5 ", true, 2024, 3, 5},
        {"3-5", true, 2024, 3, 5}, // no year: this year
        {"24-3-5", true, 2024, 3, 5},
        {"99-3-5", true, 1999, 3, 5}, // two digits: the century window
        {"74-3-5", true, 1974, 3, 5},
        {"73-3-5", true, 2073, 3, 5},
        {"75-3-5", true, 1975, 3, 5},
        {"2023-02-29", false, 0, 0, 0},
        {"2024/03/05", false, 0, 0, 0},
        {"2024-03-05x", false, 0, 0, 0},
        {"", false, 0, 0, 0},
        {"2024-13-01", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        TDateTime d = 0;
        EXPECT_EQ(TryStrToDate(c.Text, d), c.Valid) << c.Text;
        if (c.Valid) {
            EXPECT_EQ(d, EncodeDate(c.Y, c.M, c.D)) << c.Text;
        }
    }
    try {
        StrToDate("2023-02-29");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'2023-02-29' is not a valid date");
    }
}

TEST_F(DateTimeTest, StrToDateTimeAndStrToTime) {
    EXPECT_EQ(StrToDateTime("2024-03-05 14:07:09"), EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0));
    EXPECT_EQ(StrToDateTime("2024-03-05"), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToTime("2:30 PM"), EncodeTime(14, 30, 0, 0));
    EXPECT_EQ(StrToTime("12:00 AM"), 0);
    EXPECT_EQ(StrToTime("10:20:30.5"), EncodeTime(10, 20, 30, 5));
    EXPECT_THROW(StrToTime("25:00"), EConvertError);
    EXPECT_THROW(StrToDateTime("2024-03-05 x"), EConvertError);
    // The text written by DateTimeToStr reads back.
    const TDateTime v = EncodeDate(2030, 12, 31) + EncodeTime(23, 59, 58, 0);
    EXPECT_EQ(StrToDateTime(DateTimeToStr(v)), v);
}

TEST_F(DateTimeTest, TheClockCanBeFixedAndIsRestored) {
    const TDateTime fixed = EncodeDate(2001, 2, 3) + EncodeTime(4, 5, 6, 0);
    {
        TClockScope clock(fixed);
        EXPECT_EQ(Now(), fixed);
        EXPECT_EQ(Date(), EncodeDate(2001, 2, 3));
        EXPECT_NEAR(Time(), EncodeTime(4, 5, 6, 0), 1e-9);
        {
            TClockScope inner([] { return 1.5; });
            EXPECT_EQ(Now(), 1.5);
        }
        EXPECT_EQ(Now(), fixed);
    }
    EXPECT_GT(Now(), EncodeDate(2020, 1, 1)) << "back on the system clock";
}

} // namespace
