// Variant conversions and the total order. Texts convert to numbers with the
// strict parsers of SysUtils; numbers convert to text as FloatToStr and
// CurrToStr show them.
#include "platform/rtl/Variants.h"

#include <cmath>
#include <limits>
#include <regex>

namespace {

enum TKindIndex {
    kEmpty,
    kNull,
    kSmallint,
    kInteger,
    kInt64,
    kDouble,
    kCurrency,
    kDate,
    kString,
    kBoolean,
    kSingle,
    kOleStr
};

// Significant digits a Single shows as text.
constexpr int SinglePrecision = 7;

const char* KindName(size_t Index) {
    static const char* names[] = {"Empty",    "Null", "Smallint", "Integer", "Int64",  "Double",
                                  "Currency", "Date", "String",   "Boolean", "Single", "OleStr"};
    return names[Index];
}

[[noreturn]] void CastError(size_t From, const char* To) {
    throw EConvertError(std::string("Could not convert variant of type (") + KindName(From) + ") into type (" + To +
                        ")");
}

// Sorting rank of each kind: numbers share one rank.
int Rank(size_t Index) {
    switch (Index) {
    case kEmpty:
        return 0;
    case kNull:
        return 1;
    case kBoolean:
        return 2;
    case kDate:
        return 4;
    case kString:
    case kOleStr:
        return 5;
    default:
        return 3;
    }
}

// The locale conversion of a text to a date also takes '/', '.', blanks and
// the Chinese year/month/day marks between the parts ("2024/3/5", "1 2 2003",
// "2024年3月5日").
bool TryTextToDateTime(const std::string& Text, TDateTime& Value) {
    if (TryStrToDateTime(Text, Value)) return true;
    static const std::regex blankSeparated(R"(^(\d+) +(\d+) +(\d+))");
    const std::string trimmed = std::regex_replace(Trim(Text), blankSeparated, "$1/$2/$3");
    const size_t blank = trimmed.find(' ');
    std::string date = trimmed.substr(0, blank);
    const std::string rest = blank == std::string::npos ? std::string() : trimmed.substr(blank);
    const std::string separator(1, FormatSettings.DateSeparator);
    for (const char* mark : {"/", ".", "-", "年", "月"})
        date = StringReplace(date, mark, separator, {rfReplaceAll});
    date = StringReplace(date, "日", "", {rfReplaceAll});
    return TryStrToDateTime(date + rest, Value);
}

} // namespace

Variant Null() {
    return Variant(Variant::TNullTag{});
}
Variant Unassigned() {
    return Variant();
}

TVarType Variant::VarType() const {
    static const TVarType types[] = {varEmpty,    varNull, varSmallint, varInteger, varInt64,  varDouble,
                                     varCurrency, varDate, varString,   varBoolean, varSingle, varOleStr};
    return types[FValue.index()];
}

bool Variant::IsNumeric() const {
    const size_t i = FValue.index();
    return i == kSmallint || i == kInteger || i == kInt64 || i == kDouble || i == kCurrency || i == kSingle;
}

const std::string& Variant::StringText() const {
    return FValue.index() == kOleStr ? std::get<TOleStrValue>(FValue).Text : std::get<std::string>(FValue);
}

Int64 Variant::AsInt64() const {
    switch (FValue.index()) {
    case kEmpty:
        return 0;
    case kSmallint:
        return std::get<int16_t>(FValue);
    case kInteger:
        return std::get<int32_t>(FValue);
    case kInt64:
        return std::get<int64_t>(FValue);
    case kBoolean:
        return std::get<bool>(FValue) ? -1 : 0;
    case kCurrency: {
        const Int64 scaled = std::get<TCurrencyValue>(FValue).Scaled;
        // Half to even on the scaled integer, exactly.
        Int64 q = scaled / CurrencyScale;
        const Int64 rem = scaled % CurrencyScale;
        const Int64 twice = 2 * (rem < 0 ? -rem : rem);
        if (twice > CurrencyScale || (twice == CurrencyScale && q % 2 != 0)) q += rem < 0 ? -1 : 1;
        return q;
    }
    case kDouble:
    case kDate:
    case kSingle: {
        const double v = AsFloat();
        if (!std::isfinite(v) || v >= 9223372036854775808.0 || v < -9223372036854775808.0)
            CastError(FValue.index(), "Int64");
        return Round(v);
    }
    case kString:
    case kOleStr: {
        const std::string& s = StringText();
        Int64 i = 0;
        if (TryStrToInt64(s, i)) return i;
        double d = 0;
        if (TryStrToFloat(s, d) && std::fabs(d) < 9.2e18) return Round(d);
        CastError(FValue.index(), "Int64");
    }
    default:
        CastError(FValue.index(), "Int64");
    }
}

Integer Variant::AsInteger() const {
    try {
        const Int64 v = AsInt64();
        if (v < std::numeric_limits<Integer>::min() || v > std::numeric_limits<Integer>::max())
            CastError(FValue.index(), "Integer");
        return Integer(v);
    } catch (const EConvertError&) {
        CastError(FValue.index(), "Integer");
    }
}

double Variant::AsFloat() const {
    switch (FValue.index()) {
    case kEmpty:
        return 0;
    case kSmallint:
        return std::get<int16_t>(FValue);
    case kInteger:
        return std::get<int32_t>(FValue);
    case kInt64:
        return double(std::get<int64_t>(FValue));
    case kDouble:
        return std::get<double>(FValue);
    case kSingle:
        return std::get<float>(FValue);
    case kCurrency:
        return CurrToDouble(std::get<TCurrencyValue>(FValue).Scaled);
    case kDate:
        return std::get<TDateValue>(FValue).Value;
    case kBoolean:
        return std::get<bool>(FValue) ? -1 : 0;
    case kString:
    case kOleStr: {
        double d = 0;
        if (TryStrToFloat(StringText(), d)) return d;
        CastError(FValue.index(), "Double");
    }
    default:
        CastError(FValue.index(), "Double");
    }
}

Int64 Variant::AsCurrency() const {
    switch (FValue.index()) {
    case kCurrency:
        return std::get<TCurrencyValue>(FValue).Scaled;
    case kSmallint:
    case kInteger:
    case kInt64:
    case kBoolean: {
        const Int64 v = AsInt64();
        if (v > std::numeric_limits<Int64>::max() / CurrencyScale ||
            v < std::numeric_limits<Int64>::min() / CurrencyScale)
            CastError(FValue.index(), "Currency");
        return v * CurrencyScale;
    }
    case kString:
    case kOleStr: {
        Int64 c = 0;
        if (TryStrToCurr(StringText(), c)) return c;
        CastError(FValue.index(), "Currency");
    }
    case kEmpty:
        return 0;
    case kNull:
        CastError(kNull, "Currency");
    default: {
        const double v = AsFloat();
        if (!std::isfinite(v) || std::fabs(v) >= 922337203685477.0) CastError(FValue.index(), "Currency");
        return DoubleToCurr(v);
    }
    }
}

TDateTime Variant::AsDateTime() const {
    switch (FValue.index()) {
    case kDate:
        return std::get<TDateValue>(FValue).Value;
    case kString:
    case kOleStr: {
        TDateTime d = 0;
        if (TryTextToDateTime(StringText(), d)) return d;
        CastError(FValue.index(), "Date");
    }
    case kNull:
        CastError(kNull, "Date");
    default:
        return AsFloat();
    }
}

bool Variant::AsBoolean() const {
    switch (FValue.index()) {
    case kEmpty:
        return false;
    case kBoolean:
        return std::get<bool>(FValue);
    case kString:
    case kOleStr: {
        const std::string& s = StringText();
        if (SameText(Trim(s), "True")) return true;
        if (SameText(Trim(s), "False")) return false;
        double d = 0;
        if (TryStrToFloat(s, d)) return d != 0;
        CastError(FValue.index(), "Boolean");
    }
    case kNull:
        CastError(kNull, "Boolean");
    default:
        return AsFloat() != 0;
    }
}

std::string Variant::AsString() const {
    switch (FValue.index()) {
    case kEmpty:
    case kNull:
        return {};
    case kSmallint:
    case kInteger:
    case kInt64:
        return IntToStr(AsInt64());
    case kDouble:
        return FloatToStr(std::get<double>(FValue));
    case kSingle:
        return FloatToStrF(std::get<float>(FValue), ffGeneral, SinglePrecision, 0);
    case kCurrency:
        return CurrToStr(std::get<TCurrencyValue>(FValue).Scaled);
    case kDate:
        return DateTimeToStr(std::get<TDateValue>(FValue).Value);
    case kBoolean:
        return std::get<bool>(FValue) ? "True" : "False";
    default:
        return StringText();
    }
}

namespace {

// NaN sorts below every number, so the order stays total.
template <class Number> int CompareFloats(Number a, Number b) {
    const bool nanA = std::isnan(a), nanB = std::isnan(b);
    if (nanA || nanB) return nanB - nanA;
    return (a > b) - (a < b);
}

// Compares numbers of any numeric kinds. long double holds every Int64 and
// every double exactly, so no two distinct integers and floats compare equal.
int CompareNumbers(const Variant& A, size_t ia, const Variant& B, size_t ib) {
    if (ia == kCurrency && ib == kCurrency) {
        const Int64 a = A.AsCurrency(), b = B.AsCurrency();
        return (a > b) - (a < b);
    }
    // Money against a float compares as doubles: 99.99 typed as a float must
    // equal 99.99 held as money, and the money's nearest double is that float.
    if ((ia == kCurrency && ib == kDouble) || (ia == kDouble && ib == kCurrency))
        return CompareFloats(A.AsFloat(), B.AsFloat());
    auto value = [](const Variant& V, size_t i) -> long double {
        if (i == kCurrency) return static_cast<long double>(V.AsCurrency()) / CurrencyScale;
        if (i == kDouble || i == kSingle) return V.AsFloat();
        return static_cast<long double>(V.AsInt64());
    };
    return CompareFloats(value(A, ia), value(B, ib));
}

} // namespace

int VarCompare(const Variant& A, const Variant& B) noexcept {
    const size_t ia = A.FValue.index(), ib = B.FValue.index();
    const int ra = Rank(ia), rb = Rank(ib);
    if (ra != rb) return ra < rb ? -1 : 1;
    switch (ra) {
    case 0:
    case 1:
        return 0;
    case 2: {
        const bool a = std::get<bool>(A.FValue), b = std::get<bool>(B.FValue);
        return (a > b) - (a < b);
    }
    case 3:
        return CompareNumbers(A, ia, B, ib);
    case 4: {
        const double a = std::get<Variant::TDateValue>(A.FValue).Value,
                     b = std::get<Variant::TDateValue>(B.FValue).Value;
        if (std::isnan(a) || std::isnan(b)) return std::isnan(b) - std::isnan(a);
        return (a > b) - (a < b);
    }
    default: {
        const int c = A.StringText().compare(B.StringText());
        return (c > 0) - (c < 0);
    }
    }
}

bool operator==(const Variant& A, const Variant& B) {
    return VarCompare(A, B) == 0;
}
