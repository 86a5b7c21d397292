// Dates as day serials from 1899-12-30 on the proleptic Gregorian calendar,
// times as the fraction of a day rounded to milliseconds. The clock is a
// replaceable function so tests can fix "now".
#include "platform/rtl/DateTime.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>

namespace {

constexpr Int64 MSecsPerDayInt = 86400000;
// Days from 1970-01-01 to 1899-12-30.
constexpr Int64 UnixDateDelta = 25569;

// Days since 1970-01-01 of a civil date (any year).
Int64 DaysFromCivil(Int64 y, unsigned m, unsigned d) {
    y -= m <= 2;
    const Int64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + Int64(doe) - 719468;
}

void CivilFromDays(Int64 z, Int64& y, unsigned& m, unsigned& d) {
    z += 719468;
    const Int64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = Int64(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// Splits a TDateTime into a day serial and milliseconds of the day, rounding
// the whole value to milliseconds first (so 23:59:59.9999 is the next day).
void SplitDateTime(TDateTime Value, Int64& Day, Int64& MSecs) {
    const Int64 total = Int64(std::llround(Value * MSecsPerDayInt));
    Day = total / MSecsPerDayInt;
    MSecs = std::llabs(total % MSecsPerDayInt);
}

std::mutex ClockMutex;
TClockFunction Clock;

} // namespace

bool IsLeapYear(Word Year) {
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

Word DaysInAMonth(Word Year, Word Month) {
    static const Word days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12) return 0;
    return Month == 2 && IsLeapYear(Year) ? 29 : days[Month - 1];
}

bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInAMonth(Year, Month)) return false;
    Date = TDateTime(DaysFromCivil(Year, Month, Day) + UnixDateDelta);
    return true;
}

TDateTime EncodeDate(Word Year, Word Month, Word Day) {
    TDateTime d = 0;
    if (!TryEncodeDate(Year, Month, Day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

bool TryEncodeTime(Word Hour, Word Min, Word Sec, Word MSec, TDateTime& Time) {
    if (Hour >= 24 || Min >= 60 || Sec >= 60 || MSec >= 1000) return false;
    Time = double(((Hour * 60 + Min) * 60 + Sec) * 1000 + MSec) / MSecsPerDayInt;
    return true;
}

TDateTime EncodeTime(Word Hour, Word Min, Word Sec, Word MSec) {
    TDateTime t = 0;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, t)) throw EConvertError("Invalid argument to time encode");
    return t;
}

void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day) {
    Int64 day = 0, msecs = 0;
    SplitDateTime(Date, day, msecs);
    Int64 y = 0;
    unsigned m = 0, d = 0;
    CivilFromDays(day - UnixDateDelta, y, m, d);
    if (y < 1 || y > 9999) {
        Year = Month = Day = 0;
        return;
    }
    Year = Word(y);
    Month = Word(m);
    Day = Word(d);
}

void DecodeTime(TDateTime Time, Word& Hour, Word& Min, Word& Sec, Word& MSec) {
    Int64 day = 0, msecs = 0;
    SplitDateTime(Time, day, msecs);
    MSec = Word(msecs % 1000);
    Sec = Word(msecs / 1000 % 60);
    Min = Word(msecs / 60000 % 60);
    Hour = Word(msecs / 3600000);
}

void DecodeDateTime(TDateTime Value, Word& Year, Word& Month, Word& Day, Word& Hour, Word& Min, Word& Sec, Word& MSec) {
    DecodeDate(Value, Year, Month, Day);
    DecodeTime(Value, Hour, Min, Sec, MSec);
}

Word DayOfWeek(TDateTime Date) {
    Int64 day = 0, msecs = 0;
    SplitDateTime(Date, day, msecs);
    // Day 0 (1899-12-30) was a Saturday.
    return Word(((day % 7 + 7) % 7 + 6) % 7 + 1);
}

// ---- Clock ----------------------------------------------------------------------

TDateTime SystemNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    return EncodeDate(Word(local.tm_year + 1900), Word(local.tm_mon + 1), Word(local.tm_mday)) +
           EncodeTime(Word(local.tm_hour), Word(local.tm_min), Word(std::min(local.tm_sec, 59)), Word(ms));
}

void SetClock(TClockFunction NewClock) {
    std::lock_guard lock(ClockMutex);
    Clock = std::move(NewClock);
}

TDateTime Now() {
    TClockFunction clock;
    {
        std::lock_guard lock(ClockMutex);
        clock = Clock;
    }
    return clock ? clock() : SystemNow();
}

// The day is the integer part and the time of day the absolute fraction,
// also before 1899-12-30.
TDateTime Date() {
    return std::trunc(Now());
}

TDateTime Time() {
    const TDateTime now = Now();
    return std::fabs(now - std::trunc(now));
}

TClockScope::TClockScope(TClockFunction NewClock) {
    std::lock_guard lock(ClockMutex);
    FPrevious = std::move(Clock);
    Clock = std::move(NewClock);
}

TClockScope::TClockScope(TDateTime FixedNow) : TClockScope([FixedNow] { return FixedNow; }) {}

TClockScope::~TClockScope() {
    std::lock_guard lock(ClockMutex);
    Clock = std::move(FPrevious);
}

// ---- Formatting -------------------------------------------------------------------

namespace {

std::string Number(int Value, int MinDigits) {
    std::string s = std::to_string(Value);
    if (int(s.size()) < MinDigits) s.insert(0, size_t(MinDigits) - s.size(), '0');
    return s;
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}

bool StartsWithNoCase(std::string_view S, size_t Pos, std::string_view Prefix) {
    if (S.size() - Pos < Prefix.size()) return false;
    for (size_t i = 0; i < Prefix.size(); ++i)
        if (Upper(S[Pos + i]) != Upper(Prefix[i])) return false;
    return true;
}

bool HasAmPm(std::string_view Format, size_t From) {
    for (size_t i = From; i < Format.size(); ++i)
        if (StartsWithNoCase(Format, i, "am/pm") || StartsWithNoCase(Format, i, "a/p") ||
            StartsWithNoCase(Format, i, "ampm"))
            return true;
    return false;
}

void AppendFormat(std::string& r, std::string_view Format, TDateTime Value, int Depth) {
    Word year, month, day, hour, minute, second, msec;
    DecodeDateTime(Value, year, month, day, hour, minute, second, msec);
    const TFormatSettings& fs = FormatSettings;
    char lastLetter = 0;
    size_t i = 0;
    auto count = [&](char letter) {
        size_t n = 1;
        while (i + n < Format.size() && Upper(Format[i + n]) == letter)
            ++n;
        i += n;
        return int(n);
    };
    auto nested = [&](const std::string& Inner) {
        if (Depth < 2) AppendFormat(r, Inner, Value, Depth + 1);
    };
    while (i < Format.size()) {
        const char c = Format[i];
        char token = Upper(c);
        if (token >= 'A' && token <= 'Z') {
            if (token == 'M' && lastLetter == 'H') token = 'N';
            lastLetter = token;
        }
        switch (token) {
        case '"':
        case '\'': {
            const size_t close = Format.find(c, i + 1);
            const size_t end = close == std::string_view::npos ? Format.size() : close;
            r.append(Format.substr(i + 1, end - i - 1));
            i = end + 1;
            break;
        }
        case 'Y': {
            const int n = count('Y');
            r += n <= 2 ? Number(year % 100, 2) : Number(year, 4);
            break;
        }
        case 'M': {
            const int n = count('M');
            if (n <= 2)
                r += Number(month, n);
            else if (month >= 1)
                r += n == 3 ? fs.ShortMonthNames[month - 1] : fs.LongMonthNames[month - 1];
            break;
        }
        case 'D': {
            const int n = count('D');
            const int dow = DayOfWeek(Value) - 1;
            switch (n) {
            case 1:
            case 2:
                r += Number(day, n);
                break;
            case 3:
                r += fs.ShortDayNames[dow];
                break;
            case 4:
                r += fs.LongDayNames[dow];
                break;
            case 5:
                nested(fs.ShortDateFormat);
                break;
            default:
                nested(fs.LongDateFormat);
                break;
            }
            break;
        }
        case 'H': {
            const size_t start = i;
            const int n = count('H');
            int h = hour;
            if (HasAmPm(Format, start)) {
                h %= 12;
                if (h == 0) h = 12;
            }
            r += Number(h, std::min(n, 2));
            break;
        }
        case 'N':
            r += Number(minute, std::min(count(Upper(c)), 2));
            break;
        case 'S':
            r += Number(second, std::min(count('S'), 2));
            break;
        case 'Z':
            r += Number(msec, count('Z') == 1 ? 1 : 3);
            break;
        case 'T':
            nested(count('T') == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat);
            break;
        case 'C': {
            ++i;
            nested(fs.ShortDateFormat);
            if (hour != 0 || minute != 0 || second != 0) {
                r += ' ';
                nested(fs.LongTimeFormat);
            }
            break;
        }
        case 'A': {
            const bool pm = hour >= 12;
            if (StartsWithNoCase(Format, i, "am/pm")) {
                std::string s(pm ? Format.substr(i + 3, 2) : Format.substr(i, 2));
                r += s;
                i += 5;
            } else if (StartsWithNoCase(Format, i, "a/p")) {
                r += pm ? Format[i + 2] : Format[i];
                i += 3;
            } else if (StartsWithNoCase(Format, i, "ampm")) {
                r += pm ? fs.TimePMString : fs.TimeAMString;
                i += 4;
            } else {
                r += c;
                ++i;
            }
            break;
        }
        case '/':
            r += fs.DateSeparator;
            ++i;
            break;
        case ':':
            r += fs.TimeSeparator;
            ++i;
            break;
        default:
            r += c;
            ++i;
            break;
        }
    }
}

} // namespace

std::string FormatDateTime(std::string_view Format, TDateTime DateTime) {
    std::string r;
    AppendFormat(r, Format.empty() ? std::string_view("c") : Format, DateTime, 0);
    return r;
}

std::string DateToStr(TDateTime Date) {
    return FormatDateTime(FormatSettings.ShortDateFormat, Date);
}
std::string TimeToStr(TDateTime Time) {
    return FormatDateTime(FormatSettings.LongTimeFormat, Time);
}
std::string DateTimeToStr(TDateTime DateTime) {
    return FormatDateTime("c", DateTime);
}

// ---- Parsing ------------------------------------------------------------------------

namespace {

struct TScanner {
    std::string_view S;
    size_t Pos = 0;

    void SkipBlanks() {
        while (Pos < S.size() && static_cast<unsigned char>(S[Pos]) <= ' ')
            ++Pos;
    }
    bool AtEnd() {
        SkipBlanks();
        return Pos >= S.size();
    }
    bool Number(int& Value, int& Digits) {
        SkipBlanks();
        Value = 0;
        Digits = 0;
        while (Pos < S.size() && S[Pos] >= '0' && S[Pos] <= '9' && Digits < 4) {
            Value = Value * 10 + (S[Pos++] - '0');
            ++Digits;
        }
        return Digits > 0 && !(Pos < S.size() && S[Pos] >= '0' && S[Pos] <= '9');
    }
    bool Char(char C) {
        SkipBlanks();
        if (Pos < S.size() && S[Pos] == C) {
            ++Pos;
            return true;
        }
        return false;
    }
    bool Text(std::string_view T) {
        SkipBlanks();
        if (T.empty() || !StartsWithNoCase(S, Pos, T)) return false;
        Pos += T.size();
        return true;
    }
};

enum TDateOrder { doMDY, doDMY, doYMD };

TDateOrder DateOrder() {
    for (char c : FormatSettings.ShortDateFormat) {
        switch (Upper(c)) {
        case 'D':
            return doDMY;
        case 'Y':
            return doYMD;
        case 'M':
            return doMDY;
        default:
            break;
        }
    }
    return doYMD;
}

bool ScanDate(TScanner& s, TDateTime& Value) {
    int n1, n2, n3 = 0, l1, l2, l3 = 0;
    const char sep = FormatSettings.DateSeparator;
    if (!s.Number(n1, l1) || !s.Char(sep) || !s.Number(n2, l2)) return false;
    const bool threeParts = s.Char(sep);
    if (threeParts && !s.Number(n3, l3)) return false;
    Word thisYear, thisMonth, thisDay;
    DecodeDate(Now(), thisYear, thisMonth, thisDay);
    int y, m, d, yearDigits;
    const TDateOrder order = DateOrder();
    if (!threeParts) {
        y = thisYear;
        yearDigits = 4;
        if (order == doDMY)
            d = n1, m = n2;
        else
            m = n1, d = n2;
    } else {
        switch (order) {
        case doMDY:
            m = n1, d = n2, y = n3, yearDigits = l3;
            break;
        case doDMY:
            d = n1, m = n2, y = n3, yearDigits = l3;
            break;
        default:
            y = n1, m = n2, d = n3, yearDigits = l1;
            break;
        }
    }
    if (yearDigits <= 2) {
        // The hundred years that start TwoDigitYearCenturyWindow years ago.
        const int centuryBase = thisYear - FormatSettings.TwoDigitYearCenturyWindow;
        y += centuryBase / 100 * 100;
        if (FormatSettings.TwoDigitYearCenturyWindow > 0 && y < centuryBase) y += 100;
    }
    return TryEncodeDate(Word(y), Word(m), Word(d), Value);
}

bool ScanTime(TScanner& s, TDateTime& Value) {
    int hour, minute = 0, second = 0, msec = 0, digits;
    if (!s.Number(hour, digits)) return false;
    if (s.Char(FormatSettings.TimeSeparator)) {
        if (!s.Number(minute, digits)) return false;
        if (s.Char(FormatSettings.TimeSeparator)) {
            if (!s.Number(second, digits)) return false;
            if (s.Char(FormatSettings.DecimalSeparator) && !s.Number(msec, digits)) return false;
        }
    }
    int pm = -1;
    if (s.Text(FormatSettings.TimeAMString) || s.Text("AM") || s.Text("A"))
        pm = 0;
    else if (s.Text(FormatSettings.TimePMString) || s.Text("PM") || s.Text("P"))
        pm = 1;
    if (pm >= 0) {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    return TryEncodeTime(Word(hour), Word(minute), Word(second), Word(msec), Value);
}

} // namespace

bool TryStrToDate(std::string_view S, TDateTime& Value) {
    TScanner s{S};
    TDateTime d = 0;
    if (!ScanDate(s, d) || !s.AtEnd()) return false;
    Value = d;
    return true;
}

TDateTime StrToDate(std::string_view S) {
    TDateTime d = 0;
    if (!TryStrToDate(S, d)) throw EConvertError("'" + std::string(S) + "' is not a valid date");
    return d;
}

TDateTime StrToDateDef(std::string_view S, TDateTime Default) {
    TDateTime d = 0;
    return TryStrToDate(S, d) ? d : Default;
}

bool TryStrToTime(std::string_view S, TDateTime& Value) {
    TScanner s{S};
    TDateTime t = 0;
    if (!ScanTime(s, t) || !s.AtEnd()) return false;
    Value = t;
    return true;
}

TDateTime StrToTime(std::string_view S) {
    TDateTime t = 0;
    if (!TryStrToTime(S, t)) throw EConvertError("'" + std::string(S) + "' is not a valid time");
    return t;
}

bool TryStrToDateTime(std::string_view S, TDateTime& Value) {
    TScanner s{S};
    TDateTime d = 0, t = 0;
    if (!ScanDate(s, d)) {
        // A time alone is a valid date and time on day 0.
        return TryStrToTime(S, Value);
    }
    if (!s.AtEnd() && (!ScanTime(s, t) || !s.AtEnd())) return false;
    Value = d >= 0 ? d + t : d - t;
    return true;
}

TDateTime StrToDateTime(std::string_view S) {
    TDateTime v = 0;
    if (!TryStrToDateTime(S, v)) throw EConvertError("'" + std::string(S) + "' is not a valid date and time");
    return v;
}
