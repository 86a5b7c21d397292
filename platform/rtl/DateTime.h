// TDateTime: days since 1899-12-30 as a double, the fraction being the time of
// day. Encoding, decoding, formatting and parsing read the global
// FormatSettings. The clock is injectable so tests can fix "now".
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/rtl/SysUtils.h"

using TDateTime = double;

inline constexpr TDateTime MSecsPerDay = 24.0 * 60 * 60 * 1000;

bool IsLeapYear(Word Year);
Word DaysInAMonth(Word Year, Word Month);

// Years 1..9999. Invalid parts: Try... returns false, Encode... raises
// EConvertError "Invalid argument to date encode" / "... time encode".
bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date);
TDateTime EncodeDate(Word Year, Word Month, Word Day);
bool TryEncodeTime(Word Hour, Word Min, Word Sec, Word MSec, TDateTime& Time);
TDateTime EncodeTime(Word Hour, Word Min, Word Sec, Word MSec);
// Dates before 1899-12-30 are negative: the day is the integer part, the time
// of day the absolute fraction.
void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day);
void DecodeTime(TDateTime Time, Word& Hour, Word& Min, Word& Sec, Word& MSec);
void DecodeDateTime(TDateTime Value, Word& Year, Word& Month, Word& Day, Word& Hour, Word& Min, Word& Sec, Word& MSec);
// 1 = Sunday .. 7 = Saturday.
Word DayOfWeek(TDateTime Date);

// The clock: Now, Date and Time read it. An empty function restores the
// system clock (local time).
using TClockFunction = std::function<TDateTime()>;
void SetClock(TClockFunction Clock);
TDateTime SystemNow();
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Sets the clock for its lifetime and restores the previous one.
class TClockScope {
public:
    explicit TClockScope(TClockFunction Clock);
    explicit TClockScope(TDateTime FixedNow);
    ~TClockScope();
    TClockScope(const TClockScope&) = delete;
    TClockScope& operator=(const TClockScope&) = delete;

private:
    TClockFunction FPrevious;
};

// Specifiers (case-insensitive): c d dd ddd dddd ddddd dddddd m mm mmm mmmm
// yy yyyy h hh n nn s ss z zzz t tt am/pm a/p ampm / : and quoted text; m
// directly after h or hh means minutes. An empty format behaves as "c".
std::string FormatDateTime(std::string_view Format, TDateTime DateTime);
std::string DateToStr(TDateTime Date);         // ShortDateFormat
std::string TimeToStr(TDateTime Time);         // LongTimeFormat
std::string DateTimeToStr(TDateTime DateTime); // date, and the time when not midnight

// Parsing follows the order of ShortDateFormat (year, month, day) with
// DateSeparator between the parts; a missing year means this year, a
// two-digit year uses TwoDigitYearCenturyWindow. Times are h:n[:s[.z]] with an
// optional AM/PM. Errors raise EConvertError "'<text>' is not a valid date"
// (time, date and time).
bool TryStrToDate(std::string_view S, TDateTime& Value);
TDateTime StrToDate(std::string_view S);
TDateTime StrToDateDef(std::string_view S, TDateTime Default);
bool TryStrToTime(std::string_view S, TDateTime& Value);
TDateTime StrToTime(std::string_view S);
bool TryStrToDateTime(std::string_view S, TDateTime& Value);
TDateTime StrToDateTime(std::string_view S);
