// The calendar's date arithmetic; month lengths and leap years are the rtl's.
#include "editors/GridDate.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>

namespace cvGrDate {

namespace {

constexpr int DaysPerWeek = 7;
constexpr int MonthsPerYear = 12;

int FirstDay = 0;

} // namespace

void InitFirstDayOfWeek() {
    // The settings count from Monday; the calendar from Sunday.
    const int mondayBased = FormatSettings.FirstDayOfWeek;
    FirstDay = mondayBased < DaysPerWeek ? (mondayBased + 1) % DaysPerWeek : 0;
}

int FirstDayOfWeek() {
    return FirstDay;
}

int WeekDayIndex(TDateTime Date) {
    return ((DayOfWeek(Date) - 1 - FirstDay) % DaysPerWeek + DaysPerWeek) % DaysPerWeek;
}

void PrevMonth(Word& Year, Word& Month) {
    AddMonths(Year, Month, -1);
}

void NextMonth(Word& Year, Word& Month) {
    AddMonths(Year, Month, 1);
}

void AddMonths(Word& Year, Word& Month, int Delta) {
    int year = Year + Delta / MonthsPerYear, month = Month + Delta % MonthsPerYear;
    if (month < 1) {
        month += MonthsPerYear;
        --year;
    } else if (month > MonthsPerYear) {
        month -= MonthsPerYear;
        ++year;
    }
    Year = static_cast<Word>(year);
    Month = static_cast<Word>(month);
}

int DatePart(int Kind, TDateTime Date) {
    Word year, month, day;
    DecodeDate(Date, year, month, day);
    switch (Kind) {
    case 1:
        return year;
    case 2:
        return month;
    case 3:
        return day;
    default:
        return -1;
    }
}

bool IsLeapYear(Word Year) {
    return ::IsLeapYear(Year);
}

Word DaysPerMonth(Word Year, Word Month) {
    return DaysInAMonth(Year, Month);
}

Word ClampDay(Word Year, Word Month, int Day) {
    if (Day < 1) return 1;
    return static_cast<Word>(std::min<int>(Day, DaysPerMonth(Year, Month)));
}

int64_t TruncDateTime(TDateTime D) {
    constexpr double Hair = 1e-11;
    return static_cast<int64_t>(std::trunc(D + (D >= 0 ? Hair : -Hair)));
}

TDateTime TimeOfDateTime(TDateTime D) {
    Word hour, minute, second, msec;
    DecodeTime(D, hour, minute, second, msec);
    return EncodeTime(hour, minute, second, msec);
}

TDateTime CombineDateTime(TDateTime Day, TDateTime Time) {
    return Day < 0 ? Day - Time : Day + Time;
}

} // namespace cvGrDate
