// The exception classes, the format-settings record and the string and number
// routines of the runtime library. Text is UTF-8; conversions are strict and
// never depend on the C locale.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/rtl/Types.h"

// ---- Exceptions -------------------------------------------------------------

class Exception : public std::exception {
public:
    Exception() = default;
    explicit Exception(std::string Message) : FMessage(std::move(Message)) {}
    ~Exception() override = default;

    const std::string& Message() const { return FMessage; }
    void SetMessage(std::string Value) { FMessage = std::move(Value); }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// The silent exception: the application's handler shows nothing for it.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    using Exception::Exception;
};
[[noreturn]] void Abort();

#define CORVANTA_EXCEPTION_CLASS(Name, Base)                                                                           \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        using Base::Base;                                                                                              \
    }

CORVANTA_EXCEPTION_CLASS(EConvertError, Exception);
CORVANTA_EXCEPTION_CLASS(EDatabaseError, Exception);
CORVANTA_EXCEPTION_CLASS(EStreamError, Exception);
CORVANTA_EXCEPTION_CLASS(EReadError, EStreamError);
CORVANTA_EXCEPTION_CLASS(EWriteError, EStreamError);
CORVANTA_EXCEPTION_CLASS(EFOpenError, EStreamError);
CORVANTA_EXCEPTION_CLASS(EFCreateError, EStreamError);
CORVANTA_EXCEPTION_CLASS(EFilerError, EStreamError);
CORVANTA_EXCEPTION_CLASS(EClassNotFound, EFilerError);
CORVANTA_EXCEPTION_CLASS(EListError, Exception);
CORVANTA_EXCEPTION_CLASS(EStringListError, Exception);
CORVANTA_EXCEPTION_CLASS(EComponentError, Exception);
CORVANTA_EXCEPTION_CLASS(EInOutError, Exception);

#undef CORVANTA_EXCEPTION_CLASS

template <typename T> void FreeAndNil(T*& Obj) {
    T* p = Obj;
    Obj = nullptr;
    delete p;
}

// ---- Format settings -------------------------------------------------------

// The regional settings every formatting and parsing routine reads. The
// defaults are those of a Chinese (PRC) desktop with ISO short dates.
struct TFormatSettings {
    std::string CurrencyString = "¥";
    Byte CurrencyFormat = 0; // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    Byte NegCurrFormat = 2;  // the 16 negative layouts; 2 is "$-1"
    Byte CurrencyDecimals = 2;
    char ThousandSeparator = ',';
    char DecimalSeparator = '.';
    char DateSeparator = '-';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    std::string ShortDateFormat = "yyyy-MM-dd";
    std::string LongDateFormat = "yyyy'年'M'月'd'日'";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString = "上午";
    std::string TimePMString = "下午";
    std::string ShortMonthNames[12] = {"一月", "二月", "三月", "四月", "五月",   "六月",
                                       "七月", "八月", "九月", "十月", "十一月", "十二月"};
    std::string LongMonthNames[12] = {"一月", "二月", "三月", "四月", "五月",   "六月",
                                      "七月", "八月", "九月", "十月", "十一月", "十二月"};
    std::string ShortDayNames[7] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    std::string LongDayNames[7] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    // One character each, for narrow columns such as a calendar's day row.
    std::string ShortestDayNames[7] = {"日", "一", "二", "三", "四", "五", "六"};
    // Counted as the regional settings count it: 0 Monday .. 6 Sunday.
    Byte FirstDayOfWeek = 0;
    Word TwoDigitYearCenturyWindow = 50;
};

// The one settings record the routines below read; tests and the start-up
// code may change it.
extern TFormatSettings FormatSettings;

// The desktop's regional settings, which FormatSettings starts from: those of
// a Chinese (PRC) desktop. Tests change them to stand for a user who changed
// the desktop's settings, then reload.
extern TFormatSettings RegionalSettings;
// Reads FormatSettings again from the regional settings.
void GetFormatSettings();

// ---- Strings ----------------------------------------------------------------

// The line break written by TStrings.Text and the ini files.
inline constexpr const char* sLineBreak = "\r\n";

// Trim every character <= ' ' (control characters included), as the framework does.
std::string Trim(std::string_view S);
std::string TrimLeft(std::string_view S);
std::string TrimRight(std::string_view S);

// ASCII-only case mapping and comparison (other bytes unchanged).
std::string UpperCase(std::string_view S);
std::string LowerCase(std::string_view S);
int CompareStr(std::string_view S1, std::string_view S2);
int CompareText(std::string_view S1, std::string_view S2);
bool SameText(std::string_view S1, std::string_view S2);

// Unicode case mapping and locale comparison: ICU's Chinese collation, which
// orders Chinese characters by pronunciation, ahead of Latin letters. Both
// comparisons are total orders: strings the collation calls equal are ordered
// by their bytes (AnsiCompareStr) or their lower-case bytes (AnsiCompareText).
std::string AnsiUpperCase(std::string_view S);
std::string AnsiLowerCase(std::string_view S);
int AnsiCompareStr(std::string_view S1, std::string_view S2);
int AnsiCompareText(std::string_view S1, std::string_view S2);
bool AnsiSameText(std::string_view S1, std::string_view S2);

std::string QuotedStr(std::string_view S);                   // 'it''s'
std::string AnsiQuotedStr(std::string_view S, char Quote);   // doubles Quote inside
std::string AnsiDequotedStr(std::string_view S, char Quote); // inverse; unquoted text unchanged
// Reads a quoted string starting at S[Pos] (which holds Quote); Pos moves past it.
std::string AnsiExtractQuotedStr(std::string_view S, size_t& Pos, char Quote);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
std::string StringReplace(std::string_view S, std::string_view OldPattern, std::string_view NewPattern,
                          TReplaceFlags Flags);
bool IsValidIdent(std::string_view Ident);

// ---- Numbers ----------------------------------------------------------------

std::string IntToStr(Int64 Value);
std::string IntToHex(Int64 Value, int Digits);

// Decimal integers only, after trimming; anything else raises EConvertError
// "'<text>' is not a valid integer value".
Integer StrToInt(std::string_view S);
Integer StrToIntDef(std::string_view S, Integer Default);
bool TryStrToInt(std::string_view S, Integer& Value);
Int64 StrToInt64(std::string_view S);
Int64 StrToInt64Def(std::string_view S, Int64 Default);
bool TryStrToInt64(std::string_view S, Int64& Value);

// [sign] digits [DecimalSeparator digits] [E [sign] digits], trimmed; no
// thousand separators, no INF/NAN. Errors raise EConvertError
// "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view S);
double StrToFloatDef(std::string_view S, double Default);
bool TryStrToFloat(std::string_view S, double& Value);

// Shortest of fixed or scientific notation with 15 significant digits:
// 0.1 + 0.2 gives "0.3", 1e20 gives "1E20".
std::string FloatToStr(double Value);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);

// Sections "positive;negative;zero"; 0 # . , E+ E- e+ e-, and text in '...' or
// "..." copied literally. An empty format behaves as FloatToStr. A value that
// rounds to zero under the format is formatted as zero.
std::string FormatFloat(std::string_view Format, double Value);

// Currency: a fixed-point amount held as an integer scaled by 10000.
inline constexpr Int64 CurrencyScale = 10000;
std::string CurrToStr(Int64 ScaledValue);
Int64 StrToCurr(std::string_view S);
bool TryStrToCurr(std::string_view S, Int64& ScaledValue);
Int64 DoubleToCurr(double Value); // rounds half to even at the fourth decimal
inline double CurrToDouble(Int64 ScaledValue) {
    return double(ScaledValue) / CurrencyScale;
}

// Rounds half to even (the framework's default rounding), as a 64-bit integer.
Int64 Round(double Value);

// ---- Format -----------------------------------------------------------------

// One argument of Format: an integer, a floating value, a text or a pointer.
class TFormatArg {
public:
    enum TKind { fkInteger, fkFloat, fkString, fkPointer };
    template <typename T>
    requires(std::is_integral_v<T> || std::is_enum_v<T>) TFormatArg(T v)
        : FKind(fkInteger), FInteger(static_cast<Int64>(v)) {}
    TFormatArg(double v) : FKind(fkFloat), FFloat(v) {}
    TFormatArg(float v) : FKind(fkFloat), FFloat(v) {}
    TFormatArg(const std::string& v) : FKind(fkString), FString(v) {}
    TFormatArg(std::string_view v) : FKind(fkString), FString(v) {}
    TFormatArg(const char* v) : FKind(fkString), FString(v ? v : "") {}
    TFormatArg(const void* v) : FKind(fkPointer), FPointer(v) {}

    TKind Kind() const { return FKind; }
    Int64 AsInteger() const { return FInteger; }
    double AsFloat() const { return FFloat; }
    const std::string& AsString() const { return FString; }
    const void* AsPointer() const { return FPointer; }
    // An integer wider than 32 bits: %x and %u show its 64-bit pattern.
    bool Wide() const { return FWide; }

private:
    TKind FKind;
    Int64 FInteger = 0;
    double FFloat = 0;
    std::string FString;
    const void* FPointer = nullptr;
    bool FWide = false;
};

// The framework's Format: %[index:][-][width][.precision]type with types
// d u x (upper case hex) e f g n m s p and %%; '*' takes width or precision from
// the arguments. %f, %n, %m default to 2 decimals. Width counts display
// columns as the GBK byte length does (a Chinese character is two columns).
// A specifier that does not fit its argument raises EConvertError
// "Format '<format>' invalid or incompatible with argument".
std::string FormatArgs(std::string_view Format, const std::vector<TFormatArg>& Args);
template <typename... Args> std::string Format(std::string_view Fmt, const Args&... args) {
    return FormatArgs(Fmt, std::vector<TFormatArg>{TFormatArg(args)...});
}
