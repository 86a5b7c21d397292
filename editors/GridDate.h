// Date arithmetic of the calendar and the date and time editors: month
// stepping, month lengths, day clamping, whole-day and time-of-day parts, and
// the week as the locale starts it.
#pragma once

#include "platform/rtl/DateTime.h"

#include <cstdint>

namespace cvGrDate {

// The format settings' first day of the week (0 Monday .. 6 Sunday, as the
// regional settings count it) becomes FirstDayOfWeek; a value out of range
// gives Sunday. Run again when the settings are reloaded.
void InitFirstDayOfWeek();
// 0 Sunday .. 6 Saturday.
int FirstDayOfWeek();
// Days from the week's first day (by FirstDayOfWeek) to Date: 0..6.
int WeekDayIndex(TDateTime Date);

// Month 1 becomes 12 of the year before, 12 becomes 1 of the year after.
void PrevMonth(Word& Year, Word& Month);
void NextMonth(Word& Year, Word& Month);
// Delta months on, either way, the year following.
void AddMonths(Word& Year, Word& Month, int Delta);
// Kind 1 the year, 2 the month, 3 the day of Date; -1 for any other kind.
int DatePart(int Kind, TDateTime Date);
bool IsLeapYear(Word Year);
Word DaysPerMonth(Word Year, Word Month);
// Day into 1 .. the month's length.
Word ClampDay(Word Year, Word Month, int Day);
// The whole day of D; a value a hair (1e-11) short of a whole day counts as that day.
int64_t TruncDateTime(TDateTime D);
// D's time of day, rebuilt from its hours, minutes, seconds and milliseconds.
TDateTime TimeOfDateTime(TDateTime D);
// The moment Time (a time of day) into the whole day Day: before 1899-12-30
// the day is negative and the time of day counts away from zero.
TDateTime CombineDateTime(TDateTime Day, TDateTime Time);

} // namespace cvGrDate
