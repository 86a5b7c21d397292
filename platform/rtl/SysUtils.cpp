// String and number routines. Numbers are converted with std::from_chars and
// std::to_chars, never printf or strtod: Qt sets the C locale from the
// environment, which would change the decimal point under us.
#include "platform/rtl/SysUtils.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Utf8.h"

TFormatSettings FormatSettings;
TFormatSettings RegionalSettings;

void GetFormatSettings() {
    FormatSettings = RegionalSettings;
}

void Abort() {
    throw EAbort();
}

// ---- Strings ----------------------------------------------------------------

static bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string Trim(std::string_view S) {
    size_t b = 0, e = S.size();
    while (b < e && IsBlank(S[b]))
        ++b;
    while (e > b && IsBlank(S[e - 1]))
        --e;
    return std::string(S.substr(b, e - b));
}

std::string TrimLeft(std::string_view S) {
    size_t b = 0;
    while (b < S.size() && IsBlank(S[b]))
        ++b;
    return std::string(S.substr(b));
}

std::string TrimRight(std::string_view S) {
    size_t e = S.size();
    while (e > 0 && IsBlank(S[e - 1]))
        --e;
    return std::string(S.substr(0, e));
}

static char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}
static char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

std::string UpperCase(std::string_view S) {
    std::string r(S);
    for (char& c : r)
        c = AsciiUpper(c);
    return r;
}

std::string LowerCase(std::string_view S) {
    std::string r(S);
    for (char& c : r)
        c = AsciiLower(c);
    return r;
}

static int Sign(int v) {
    return (v > 0) - (v < 0);
}

int CompareStr(std::string_view S1, std::string_view S2) {
    return Sign(S1.compare(S2));
}

int CompareText(std::string_view S1, std::string_view S2) {
    const size_t n = std::min(S1.size(), S2.size());
    for (size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(AsciiUpper(S1[i]));
        const auto b = static_cast<unsigned char>(AsciiUpper(S2[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    return S1.size() == S2.size() ? 0 : (S1.size() < S2.size() ? -1 : 1);
}

bool SameText(std::string_view S1, std::string_view S2) {
    return CompareText(S1, S2) == 0;
}

static QString ToQString(std::string_view S) {
    return QString::fromUtf8(S.data(), qsizetype(S.size()));
}

static std::string FromQString(const QString& S) {
    const QByteArray bytes = S.toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

std::string AnsiUpperCase(std::string_view S) {
    return FromQString(ToQString(S).toUpper());
}
std::string AnsiLowerCase(std::string_view S) {
    return FromQString(ToQString(S).toLower());
}

// One collator per thread and case mode: QCollator is not safe to share.
static const QCollator& Collator(bool CaseSensitive) {
    static thread_local QCollator sensitive = [] {
        QCollator c(QLocale(QLocale::Chinese, QLocale::China));
        c.setCaseSensitivity(Qt::CaseSensitive);
        return c;
    }();
    static thread_local QCollator insensitive = [] {
        QCollator c(QLocale(QLocale::Chinese, QLocale::China));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return CaseSensitive ? sensitive : insensitive;
}

static bool IsAscii(std::string_view S) {
    for (char c : S)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

static bool IsDigits(std::string_view S) {
    return !S.empty() && std::all_of(S.begin(), S.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Digit texts (keys, record numbers) collate in byte order: sorting many of
// them need not convert each pair for the collator.
static bool CompareDigits(std::string_view S1, std::string_view S2, int& Result) {
    if (!IsDigits(S1) || !IsDigits(S2)) return false;
    Result = Sign(S1.compare(S2));
    return true;
}

int AnsiCompareStr(std::string_view S1, std::string_view S2) {
    if (S1 == S2) return 0;
    if (int r; CompareDigits(S1, S2, r)) return r;
    const int r = Sign(Collator(true).compare(ToQString(S1), ToQString(S2)));
    return r != 0 ? r : CompareStr(S1, S2);
}

int AnsiCompareText(std::string_view S1, std::string_view S2) {
    if (S1.size() == S2.size() && IsAscii(S1) && IsAscii(S2) && CompareText(S1, S2) == 0) return 0;
    if (int r; CompareDigits(S1, S2, r)) return r;
    const int r = Sign(Collator(false).compare(ToQString(S1), ToQString(S2)));
    return r != 0 ? r : CompareStr(AnsiLowerCase(S1), AnsiLowerCase(S2));
}

bool AnsiSameText(std::string_view S1, std::string_view S2) {
    return AnsiCompareText(S1, S2) == 0;
}

std::string AnsiQuotedStr(std::string_view S, char Quote) {
    std::string r;
    r.reserve(S.size() + 2);
    r += Quote;
    for (char c : S) {
        r += c;
        if (c == Quote) r += Quote;
    }
    r += Quote;
    return r;
}

std::string QuotedStr(std::string_view S) {
    return AnsiQuotedStr(S, '\'');
}

std::string AnsiExtractQuotedStr(std::string_view S, size_t& Pos, char Quote) {
    std::string r;
    if (Pos >= S.size() || S[Pos] != Quote) return r;
    ++Pos;
    while (Pos < S.size()) {
        if (S[Pos] == Quote) {
            if (Pos + 1 < S.size() && S[Pos + 1] == Quote) {
                r += Quote;
                Pos += 2;
                continue;
            }
            ++Pos;
            break;
        }
        r += S[Pos++];
    }
    return r;
}

std::string AnsiDequotedStr(std::string_view S, char Quote) {
    size_t pos = 0;
    if (S.empty() || S[0] != Quote) return std::string(S);
    std::string r = AnsiExtractQuotedStr(S, pos, Quote);
    // Text after the closing quote means it was not one quoted string.
    if (pos != S.size() || S.size() < 2 || S.back() != Quote) return std::string(S);
    return r;
}

std::string StringReplace(std::string_view S, std::string_view OldPattern, std::string_view NewPattern,
                          TReplaceFlags Flags) {
    if (OldPattern.empty()) return std::string(S);
    const bool ignoreCase = Flags.Contains(rfIgnoreCase);
    const std::string haystack = ignoreCase ? LowerCase(S) : std::string(S);
    const std::string needle = ignoreCase ? LowerCase(OldPattern) : std::string(OldPattern);
    std::string r;
    size_t from = 0;
    while (true) {
        const size_t at = haystack.find(needle, from);
        if (at == std::string::npos) break;
        r.append(S.substr(from, at - from));
        r.append(NewPattern);
        from = at + needle.size();
        if (!Flags.Contains(rfReplaceAll)) break;
    }
    r.append(S.substr(from));
    return r;
}

bool IsValidIdent(std::string_view Ident) {
    if (Ident.empty()) return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(Ident[0])) return false;
    for (char c : Ident)
        if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

// ---- Integers -----------------------------------------------------------------

std::string IntToStr(Int64 Value) {
    return std::to_string(Value);
}

std::string IntToHex(Int64 Value, int Digits) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<uint64_t>(Value), 16);
    std::string r = UpperCase(std::string_view(buf, size_t(end - buf)));
    if (int(r.size()) < Digits) r.insert(0, size_t(Digits) - r.size(), '0');
    return r;
}

bool TryStrToInt64(std::string_view S, Int64& Value) {
    const std::string t = Trim(S);
    if (t.empty()) return false;
    const char* first = t.data();
    const char* last = t.data() + t.size();
    if (*first == '+') {
        ++first;
        if (first == last || *first == '-') return false;
    }
    Int64 v = 0;
    auto [ptr, ec] = std::from_chars(first, last, v, 10);
    if (ec != std::errc() || ptr != last) return false;
    Value = v;
    return true;
}

bool TryStrToInt(std::string_view S, Integer& Value) {
    Int64 v = 0;
    if (!TryStrToInt64(S, v) || v < std::numeric_limits<Integer>::min() || v > std::numeric_limits<Integer>::max())
        return false;
    Value = Integer(v);
    return true;
}

static std::string InvalidInteger(std::string_view S) {
    return "'" + std::string(S) + "' is not a valid integer value";
}

Integer StrToInt(std::string_view S) {
    Integer v = 0;
    if (!TryStrToInt(S, v)) throw EConvertError(InvalidInteger(S));
    return v;
}

Integer StrToIntDef(std::string_view S, Integer Default) {
    Integer v = 0;
    return TryStrToInt(S, v) ? v : Default;
}

Int64 StrToInt64(std::string_view S) {
    Int64 v = 0;
    if (!TryStrToInt64(S, v)) throw EConvertError(InvalidInteger(S));
    return v;
}

Int64 StrToInt64Def(std::string_view S, Int64 Default) {
    Int64 v = 0;
    return TryStrToInt64(S, v) ? v : Default;
}

// ---- Floating values ------------------------------------------------------------

bool TryStrToFloat(std::string_view S, double& Value) {
    const std::string t = Trim(S);
    // Check the grammar ourselves and hand from_chars a plain C number.
    std::string c;
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-') c += '-';
        ++i;
    }
    size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9')
        c += t[i++], ++digits;
    if (i < t.size() && t[i] == FormatSettings.DecimalSeparator) {
        c += '.';
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            c += t[i++], ++digits;
    }
    if (digits == 0) return false;
    bool negativeExponent = false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        c += 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
            negativeExponent = t[i] == '-';
            if (negativeExponent) c += '-';
            ++i;
        }
        size_t expDigits = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            c += t[i++], ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != t.size()) return false;
    double v = 0;
    auto [ptr, ec] = std::from_chars(c.data(), c.data() + c.size(), v, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (!negativeExponent) return false;
        v = 0; // too small to hold: zero, as the framework reads it
    } else if (ec != std::errc() || ptr != c.data() + c.size()) {
        return false;
    }
    Value = v;
    return true;
}

double StrToFloat(std::string_view S) {
    double v = 0;
    if (!TryStrToFloat(S, v)) throw EConvertError("'" + std::string(S) + "' is not a valid floating point value");
    return v;
}

double StrToFloatDef(std::string_view S, double Default) {
    double v = 0;
    return TryStrToFloat(S, v) ? v : Default;
}

Int64 Round(double Value) {
    if (!std::isfinite(Value) || Value >= 9223372036854775808.0 || Value < -9223372036854775808.0)
        throw EConvertError("Invalid floating point operation");
    double r = std::floor(Value);
    const double diff = Value - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
    if (r >= 9223372036854775808.0) throw EConvertError("Invalid floating point operation");
    return Int64(r);
}

namespace {

// A decimal number 0.Digits x 10^Exponent, as the formatting routines see it.
// Zero has no digits.
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;
    bool IsZero() const { return Digits.empty(); }
};

// At most Precision significant digits, correctly rounded from the binary value.
TDecimal ToDecimal(double Value, int Precision) {
    TDecimal d;
    d.Negative = std::signbit(Value);
    if (Value == 0) return d;
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(Value), std::chars_format::scientific,
                                   std::clamp(Precision, 1, 17) - 1);
    std::string_view text(buf, size_t(end - buf));
    const size_t e = text.find('e');
    for (char c : text.substr(0, e))
        if (c != '.') d.Digits += c;
    int exponent = 0;
    const std::string_view expText = text.substr(e + 1);
    std::from_chars(expText.data() + (expText[0] == '+' ? 1 : 0), expText.data() + expText.size(), exponent);
    d.Exponent = exponent + 1;
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    return d;
}

// Keeps Keep leading digits, rounding half away from zero on the decimal digits.
void RoundDigits(TDecimal& d, int Keep) {
    if (Keep < 0) {
        d.Digits.clear();
        return;
    }
    if (int(d.Digits.size()) <= Keep) return;
    const bool up = d.Digits[size_t(Keep)] >= '5';
    d.Digits.resize(size_t(Keep));
    if (up) {
        int i = Keep - 1;
        while (i >= 0 && d.Digits[size_t(i)] == '9')
            d.Digits[size_t(i--)] = '0';
        if (i < 0) {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        } else {
            ++d.Digits[size_t(i)];
        }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
}

// Rounds to Decimals places after the point.
void RoundDecimals(TDecimal& d, int Decimals) {
    if (d.IsZero()) return;
    RoundDigits(d, d.Exponent + Decimals);
}

char DigitAt(const TDecimal& d, int Index) {
    return Index >= 0 && Index < int(d.Digits.size()) ? d.Digits[size_t(Index)] : '0';
}

std::string IntegerPart(const TDecimal& d, char Thousands) {
    std::string r;
    const int count = std::max(d.Exponent, 1);
    for (int i = 0; i < count; ++i) {
        r += d.Exponent <= 0 ? '0' : DigitAt(d, i);
        const int remaining = count - 1 - i;
        if (Thousands && remaining > 0 && remaining % 3 == 0) r += Thousands;
    }
    return r;
}

std::string FixedText(const TDecimal& d, int Decimals, char Thousands) {
    std::string r = IntegerPart(d, Thousands);
    if (Decimals > 0) {
        r += FormatSettings.DecimalSeparator;
        for (int i = 0; i < Decimals; ++i)
            r += DigitAt(d, d.Exponent + i);
    }
    return r;
}

std::string ExponentText(int Exponent, bool AlwaysSign, int MinDigits, char Letter = 'E') {
    std::string r(1, Letter);
    if (Exponent < 0)
        r += '-';
    else if (AlwaysSign)
        r += '+';
    std::string digits = std::to_string(std::abs(Exponent));
    if (int(digits.size()) < MinDigits) digits.insert(0, size_t(MinDigits) - digits.size(), '0');
    return r + digits;
}

std::string SpecialValue(double Value) {
    if (std::isnan(Value)) return "NAN";
    return Value < 0 ? "-INF" : "INF";
}

std::string GeneralText(double Value, int Precision, int Digits) {
    Precision = std::clamp(Precision, 1, 15);
    TDecimal d = ToDecimal(Value, Precision);
    if (d.IsZero()) return "0";
    std::string r = d.Negative ? "-" : "";
    if (d.Exponent > Precision || d.Exponent < -3) {
        r += d.Digits[0];
        if (d.Digits.size() > 1) r += FormatSettings.DecimalSeparator + d.Digits.substr(1);
        return r + ExponentText(d.Exponent - 1, false, std::clamp(Digits, 0, 4));
    }
    const int decimals = std::max(0, int(d.Digits.size()) - d.Exponent);
    return r + FixedText(d, decimals, 0);
}

std::string ExponentFormText(double Value, int Precision, int Digits) {
    Precision = std::clamp(Precision, 1, 15);
    TDecimal d = ToDecimal(Value, Precision);
    std::string r = d.Negative && !d.IsZero() ? "-" : "";
    r += DigitAt(d, 0);
    r += FormatSettings.DecimalSeparator;
    for (int i = 1; i < Precision; ++i)
        r += DigitAt(d, i);
    return r + ExponentText(d.IsZero() ? 0 : d.Exponent - 1, true, std::clamp(Digits, 0, 4));
}

std::string CurrencyText(const std::string& Amount, bool Negative) {
    const std::string& c = FormatSettings.CurrencyString;
    if (!Negative) {
        switch (FormatSettings.CurrencyFormat) {
        case 1:
            return Amount + c;
        case 2:
            return c + " " + Amount;
        case 3:
            return Amount + " " + c;
        default:
            return c + Amount;
        }
    }
    switch (FormatSettings.NegCurrFormat) {
    case 0:
        return "(" + c + Amount + ")";
    case 1:
        return "-" + c + Amount;
    case 3:
        return c + Amount + "-";
    case 4:
        return "(" + Amount + c + ")";
    case 5:
        return "-" + Amount + c;
    case 6:
        return Amount + "-" + c;
    case 7:
        return Amount + c + "-";
    case 8:
        return "-" + Amount + " " + c;
    case 9:
        return "-" + c + " " + Amount;
    case 10:
        return Amount + " " + c + "-";
    case 11:
        return c + " " + Amount + "-";
    case 12:
        return c + " -" + Amount;
    case 13:
        return Amount + "- " + c;
    case 14:
        return "(" + c + " " + Amount + ")";
    case 15:
        return "(" + Amount + " " + c + ")";
    default:
        return c + "-" + Amount;
    }
}

} // namespace

std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits) {
    if (!std::isfinite(Value)) return SpecialValue(Value);
    switch (Format) {
    case ffGeneral:
        return GeneralText(Value, Precision, Digits);
    case ffExponent:
        return ExponentFormText(Value, Precision, Digits);
    default:
        break;
    }
    Precision = std::clamp(Precision, 1, 15);
    Digits = std::clamp(Digits, 0, 18);
    TDecimal d = ToDecimal(Value, Precision);
    if (d.Exponent > Precision) return GeneralText(Value, Precision, 0);
    RoundDecimals(d, Digits);
    const bool negative = d.Negative && !d.IsZero();
    const char thousands = Format == ffFixed ? 0 : FormatSettings.ThousandSeparator;
    const std::string amount = FixedText(d, Digits, thousands);
    if (Format == ffCurrency) return CurrencyText(amount, negative);
    return negative ? "-" + amount : amount;
}

std::string FloatToStr(double Value) {
    return FloatToStrF(Value, ffGeneral, 15, 0);
}

// ---- FormatFloat ------------------------------------------------------------------

namespace {

// One section of a FormatFloat format, split into what the digits need.
struct TFloatSection {
    std::string_view Text;
    int IntPlaceholders = 0;  // 0 and # before the point (or the exponent)
    int IntZeros = 0;         // digits always shown before the point
    int FracPlaceholders = 0; // 0 and # after the point
    int FracZeros = 0;        // digits always shown after the point
    bool Thousands = false;
    bool Scientific = false;
    bool ExponentAlwaysSigned = false;
    int ExponentDigits = 0;
};

// Splits at unquoted ';'.
std::vector<std::string_view> SplitSections(std::string_view Format) {
    std::vector<std::string_view> sections;
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < Format.size(); ++i) {
        const char c = Format[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.push_back(Format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(Format.substr(start));
    return sections;
}

bool IsExponentAt(std::string_view S, size_t i) {
    return (S[i] == 'E' || S[i] == 'e') && i + 1 < S.size() && (S[i + 1] == '+' || S[i + 1] == '-');
}

TFloatSection ScanSection(std::string_view Text) {
    TFloatSection s;
    s.Text = Text;
    bool afterPoint = false;
    int firstIntZero = -1;
    int lastFracZero = 0;
    char quote = 0;
    for (size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '0' || c == '#') {
            if (afterPoint) {
                ++s.FracPlaceholders;
                if (c == '0') lastFracZero = s.FracPlaceholders;
            } else {
                if (c == '0' && firstIntZero < 0) firstIntZero = s.IntPlaceholders;
                ++s.IntPlaceholders;
            }
        } else if (c == '.') {
            afterPoint = true;
        } else if (c == ',') {
            s.Thousands = true;
        } else if (IsExponentAt(Text, i)) {
            s.Scientific = true;
            s.ExponentAlwaysSigned = Text[i + 1] == '+';
            i += 2;
            while (i < Text.size() && Text[i] == '0')
                ++s.ExponentDigits, ++i;
            break;
        }
    }
    s.IntZeros = firstIntZero < 0 ? 0 : s.IntPlaceholders - firstIntZero;
    s.FracZeros = lastFracZero;
    s.ExponentDigits = std::min(s.ExponentDigits, 4);
    return s;
}

// Lays the digits of d (already rounded) into the section's placeholders.
std::string ApplySection(const TFloatSection& s, const TDecimal& d, int Exponent, bool Negative) {
    // The integer digits: those of the value, at least IntZeros of them.
    std::string intDigits;
    for (int i = 0; i < d.Exponent; ++i)
        intDigits += DigitAt(d, i);
    if (int(intDigits.size()) < s.IntZeros) intDigits.insert(0, size_t(s.IntZeros) - intDigits.size(), '0');
    // The fraction digits: up to FracPlaceholders, at least FracZeros.
    std::string fracDigits;
    for (int i = 0; i < s.FracPlaceholders; ++i)
        fracDigits += DigitAt(d, d.Exponent + i);
    while (int(fracDigits.size()) > s.FracZeros && fracDigits.back() == '0')
        fracDigits.pop_back();

    std::string r = Negative ? "-" : "";
    const int intCount = int(intDigits.size());
    int intPlaceholder = 0; // placeholders before the point seen so far
    int fracPlaceholder = 0;
    int intEmitted = 0;
    bool afterPoint = false;
    auto emitInteger = [&](int upTo) {
        // Emits integer digits while more remain than placeholders left.
        while (intEmitted < intCount && intCount - intEmitted > s.IntPlaceholders - upTo) {
            r += intDigits[size_t(intEmitted++)];
            const int remaining = intCount - intEmitted;
            if (s.Thousands && remaining > 0 && remaining % 3 == 0) r += FormatSettings.ThousandSeparator;
        }
    };
    const std::string_view t = s.Text;
    for (size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '"' || c == '\'') {
            const size_t close = t.find(c, i + 1);
            const size_t end = close == std::string_view::npos ? t.size() : close;
            r.append(t.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '0' || c == '#') {
            if (!afterPoint) {
                ++intPlaceholder;
                emitInteger(intPlaceholder);
            } else {
                if (fracPlaceholder < int(fracDigits.size())) r += fracDigits[size_t(fracPlaceholder)];
                ++fracPlaceholder;
            }
        } else if (c == '.') {
            if (!afterPoint) {
                emitInteger(s.IntPlaceholders);
                afterPoint = true;
                if (!fracDigits.empty()) r += FormatSettings.DecimalSeparator;
            }
        } else if (c == ',') {
            // Switches grouping on; the comma itself is not shown.
        } else if (IsExponentAt(t, i)) {
            emitInteger(s.IntPlaceholders);
            r += ExponentText(Exponent, s.ExponentAlwaysSigned, s.ExponentDigits, c);
            i += 1;
            while (i + 1 < t.size() && t[i + 1] == '0')
                ++i;
        } else {
            r += c;
        }
    }
    emitInteger(s.IntPlaceholders);
    return r;
}

} // namespace

std::string FormatFloat(std::string_view Format, double Value) {
    if (Format.empty()) return FloatToStr(Value);
    if (!std::isfinite(Value)) return SpecialValue(Value);
    const std::vector<std::string_view> sections = SplitSections(Format);

    auto render = [&](std::string_view text, bool negative, bool signInText) -> std::pair<std::string, bool> {
        const TFloatSection s = ScanSection(text);
        // Beyond 18 integer digits a fixed picture means nothing: the general form shows the value.
        if (!s.Scientific && std::fabs(Value) >= 1e18) return {FloatToStr(Value), false};
        TDecimal d = ToDecimal(Value, 15);
        int exponent = 0;
        if (s.Scientific) {
            if (!d.IsZero()) {
                const int intDigits = std::max(s.IntPlaceholders, 1);
                exponent = d.Exponent - intDigits;
                d.Exponent = intDigits;
                RoundDigits(d, intDigits + s.FracPlaceholders);
                if (d.Exponent > intDigits) { // 9.99 rounded up to 10.0
                    d.Exponent = intDigits;
                    ++exponent;
                }
            }
        } else {
            RoundDecimals(d, s.FracPlaceholders);
        }
        const bool zero = d.IsZero();
        return {ApplySection(s, d, exponent, negative && !signInText && !zero), zero};
    };

    const bool negative = Value < 0;
    std::string_view section = sections[0];
    bool signInText = false;
    if (negative && sections.size() > 1 && !sections[1].empty()) {
        section = sections[1];
        signInText = true;
    }
    auto [text, roundedToZero] = render(section, negative, signInText);
    if (roundedToZero || Value == 0) {
        if (sections.size() > 2 && !sections[2].empty()) return render(sections[2], false, false).first;
        if (negative) return render(sections[0], false, false).first;
    }
    return text;
}

// ---- Currency ---------------------------------------------------------------------

std::string CurrToStr(Int64 ScaledValue) {
    const bool negative = ScaledValue < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(ScaledValue) : static_cast<uint64_t>(ScaledValue);
    std::string r = negative ? "-" : "";
    r += std::to_string(magnitude / CurrencyScale);
    std::string fraction = std::to_string(magnitude % CurrencyScale);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (!fraction.empty()) r += FormatSettings.DecimalSeparator + fraction;
    return r;
}

Int64 DoubleToCurr(double Value) {
    const double scaled = Value * CurrencyScale;
    // Correct the binary error (1.00005 * 10000 = 10000.499999...) before
    // rounding half to even, by rounding through 15 significant digits.
    TDecimal d = ToDecimal(scaled, 15);
    std::string text = d.Negative ? "-" : "";
    text += d.IsZero() ? "0" : "0." + d.Digits + "e" + std::to_string(d.Exponent);
    double corrected = 0;
    std::from_chars(text.data(), text.data() + text.size(), corrected);
    return Round(corrected);
}

bool TryStrToCurr(std::string_view S, Int64& ScaledValue) {
    double v = 0;
    if (!TryStrToFloat(S, v) || std::fabs(v) >= 922337203685477.0) return false;
    ScaledValue = DoubleToCurr(v);
    return true;
}

Int64 StrToCurr(std::string_view S) {
    Int64 v = 0;
    if (!TryStrToCurr(S, v)) throw EConvertError("'" + std::string(S) + "' is not a valid floating point value");
    return v;
}

// ---- Format ----------------------------------------------------------------------

std::string FormatArgs(std::string_view Format, const std::vector<TFormatArg>& Args) {
    const auto invalid = [&]() {
        return EConvertError("Format '" + std::string(Format) + "' invalid or incompatible with argument");
    };
    const auto missing = [&]() { return EConvertError("No argument for format '" + std::string(Format) + "'"); };
    std::string r;
    size_t argIndex = 0;
    size_t i = 0;
    auto readNumber = [&](int& value) -> bool {
        if (i < Format.size() && Format[i] == '*') {
            ++i;
            if (argIndex >= Args.size()) throw missing();
            if (Args[argIndex].Kind() != TFormatArg::fkInteger) throw invalid();
            value = int(Args[argIndex++].AsInteger());
            return true;
        }
        bool any = false;
        value = 0;
        while (i < Format.size() && Format[i] >= '0' && Format[i] <= '9') {
            value = value * 10 + (Format[i++] - '0');
            any = true;
        }
        return any;
    };
    while (i < Format.size()) {
        const char c = Format[i++];
        if (c != '%') {
            r += c;
            continue;
        }
        if (i >= Format.size()) throw invalid();
        if (Format[i] == '%') {
            r += '%';
            ++i;
            continue;
        }
        // [index:][-][width][.precision]type
        int number = 0;
        const size_t specStart = i;
        bool left = false;
        int width = -1;
        int precision = -1;
        while (i < Format.size() && Format[i] >= '0' && Format[i] <= '9')
            number = number * 10 + (Format[i++] - '0');
        if (i > specStart && i < Format.size() && Format[i] == ':') {
            argIndex = size_t(number);
            ++i;
        } else {
            i = specStart;
        }
        if (i < Format.size() && Format[i] == '-') {
            left = true;
            ++i;
        }
        if (readNumber(number)) width = number;
        if (i < Format.size() && Format[i] == '.') {
            ++i;
            if (readNumber(number))
                precision = number;
            else
                precision = 0;
        }
        if (i >= Format.size()) throw invalid();
        const char type = char(std::tolower(static_cast<unsigned char>(Format[i++])));
        if (argIndex >= Args.size()) throw missing();
        const TFormatArg& arg = Args[argIndex++];
        std::string text;
        auto asFloat = [&]() -> double {
            if (arg.Kind() == TFormatArg::fkFloat) return arg.AsFloat();
            if (arg.Kind() == TFormatArg::fkInteger) return double(arg.AsInteger());
            throw invalid();
        };
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            if (arg.Kind() != TFormatArg::fkInteger) throw invalid();
            Int64 v = arg.AsInteger();
            uint64_t magnitude;
            bool negative = false;
            if (type == 'd') {
                negative = v < 0;
                magnitude = negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
            } else {
                magnitude = arg.Wide() ? static_cast<uint64_t>(v) : static_cast<uint64_t>(static_cast<uint32_t>(v));
            }
            char buf[32];
            auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude, type == 'x' ? 16 : 10);
            text.assign(buf, end);
            if (type == 'x') text = UpperCase(text);
            if (precision > int(text.size())) text.insert(0, size_t(precision) - text.size(), '0');
            if (negative) text.insert(0, "-");
            break;
        }
        case 'e':
            text = FloatToStrF(asFloat(), ffExponent, precision < 0 ? 15 : precision, 3);
            break;
        case 'f':
            text = FloatToStrF(asFloat(), ffFixed, 15, precision < 0 ? 2 : precision);
            break;
        case 'g':
            text = FloatToStrF(asFloat(), ffGeneral, precision < 0 ? 15 : precision, 0);
            break;
        case 'n':
            text = FloatToStrF(asFloat(), ffNumber, 15, precision < 0 ? 2 : precision);
            break;
        case 'm':
            text = FloatToStrF(asFloat(), ffCurrency, 15, precision < 0 ? FormatSettings.CurrencyDecimals : precision);
            break;
        case 's':
            if (arg.Kind() != TFormatArg::fkString) throw invalid();
            text = precision >= 0 ? Utf8Copy(arg.AsString(), 0, size_t(precision)) : arg.AsString();
            break;
        case 'p': {
            if (arg.Kind() != TFormatArg::fkPointer) throw invalid();
            text = IntToHex(Int64(reinterpret_cast<uintptr_t>(arg.AsPointer())), int(sizeof(void*) * 2));
            break;
        }
        default:
            throw invalid();
        }
        const int columns = int(GbkByteLength(text));
        if (width > columns) {
            if (left)
                text.append(size_t(width - columns), ' ');
            else
                text.insert(0, size_t(width - columns), ' ');
        }
        r += text;
    }
    return r;
}
