// The calendar's date arithmetic: month stepping, month lengths, clamping,
// whole days and times of day, and the week as the locale starts it.
#include "editors/GridDate.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

TEST(GridDate, MonthsStepAcrossYears) {
    struct Case {
        Word Year, Month;
        int Delta;
        Word ToYear, ToMonth;
    };
    const Case cases[] = {
        {2024, 1, -1, 2023, 12},  {2024, 12, 1, 2025, 1},  {2024, 5, 1, 2024, 6},  {2024, 3, -3, 2023, 12},
        {2024, 1, -13, 2022, 12}, {2024, 11, 14, 2026, 1}, {2024, 6, 12, 2025, 6}, {2024, 6, 0, 2024, 6},
    };
    for (const Case& c : cases) {
        Word year = c.Year, month = c.Month;
        cvGrDate::AddMonths(year, month, c.Delta);
        EXPECT_EQ(year, c.ToYear) << c.Year << "-" << c.Month << " " << c.Delta;
        EXPECT_EQ(month, c.ToMonth) << c.Year << "-" << c.Month << " " << c.Delta;
        if (c.Delta == 1 || c.Delta == -1) {
            year = c.Year, month = c.Month;
            (c.Delta == 1 ? cvGrDate::NextMonth : cvGrDate::PrevMonth)(year, month);
            EXPECT_EQ(year * 100 + month, c.ToYear * 100 + c.ToMonth) << c.Year << "-" << c.Month;
        }
    }
}

TEST(GridDate, MonthLengthsAndClampedDays) {
    struct Case {
        Word Year, Month;
        Word Days;
    };
    const Case cases[] = {{2024, 2, 29}, {2023, 2, 28}, {1900, 2, 28}, {2000, 2, 29}, {2024, 4, 30}, {2024, 12, 31}};
    for (const Case& c : cases) {
        EXPECT_EQ(cvGrDate::DaysPerMonth(c.Year, c.Month), c.Days) << c.Year << "-" << c.Month;
        if (c.Month == 2) {
            EXPECT_EQ(cvGrDate::IsLeapYear(c.Year), c.Days == 29) << c.Year;
        }
        EXPECT_EQ(cvGrDate::ClampDay(c.Year, c.Month, 31), c.Days) << c.Year << "-" << c.Month;
        EXPECT_EQ(cvGrDate::ClampDay(c.Year, c.Month, 0), 1) << c.Year << "-" << c.Month;
        EXPECT_EQ(cvGrDate::ClampDay(c.Year, c.Month, 15), 15) << c.Year << "-" << c.Month;
    }
}

TEST(GridDate, PartsWholeDaysAndTimesOfDay) {
    const TDateTime moment = EncodeDate(2024, 3, 5) + EncodeTime(13, 45, 30, 250);
    EXPECT_EQ(cvGrDate::DatePart(1, moment), 2024);
    EXPECT_EQ(cvGrDate::DatePart(2, moment), 3);
    EXPECT_EQ(cvGrDate::DatePart(3, moment), 5);
    EXPECT_EQ(cvGrDate::DatePart(4, moment), -1);
    struct Case {
        TDateTime D;
        int64_t Day;
    };
    const Case cases[] = {{2.0 - 1e-13, 2}, {2.0 - 1e-9, 1}, {2.75, 2}, {-1.5, -1}, {-2.0 + 1e-13, -2}, {0.0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(cvGrDate::TruncDateTime(c.D), c.Day) << c.D;
    EXPECT_DOUBLE_EQ(cvGrDate::TimeOfDateTime(moment), EncodeTime(13, 45, 30, 250));
}

TEST(GridDate, WeekStartsOnTheLocalesFirstDay) {
    struct Case {
        Byte SettingsValue; // 0 Monday .. 6 Sunday
        int FirstDay;
        int MondayIndex, SundayIndex; // of 2024-03-04 and 2024-03-10
    };
    const Case cases[] = {
        {0, 1, 0, 6}, {6, 0, 1, 0}, {5, 6, 2, 1}, {9, 0, 1, 0},
    };
    const Byte saved = FormatSettings.FirstDayOfWeek;
    for (const Case& c : cases) {
        FormatSettings.FirstDayOfWeek = c.SettingsValue;
        cvGrDate::InitFirstDayOfWeek();
        const int value = c.SettingsValue;
        EXPECT_EQ(cvGrDate::FirstDayOfWeek(), c.FirstDay) << value;
        EXPECT_EQ(cvGrDate::WeekDayIndex(EncodeDate(2024, 3, 4)), c.MondayIndex) << value;
        EXPECT_EQ(cvGrDate::WeekDayIndex(EncodeDate(2024, 3, 10)), c.SundayIndex) << value;
    }
    FormatSettings.FirstDayOfWeek = saved;
    cvGrDate::InitFirstDayOfWeek();
}
