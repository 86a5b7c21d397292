// Variant: the framework's tagged value (every field value of the data layer
// lives in one). Conversions follow the framework; VarCompare is a total
// order that never throws, for sorting and searching.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"

// The framework's type codes, as VarType reports them.
using TVarType = Word;
inline constexpr TVarType varEmpty = 0x0000;
inline constexpr TVarType varNull = 0x0001;
inline constexpr TVarType varSmallint = 0x0002;
inline constexpr TVarType varInteger = 0x0003;
inline constexpr TVarType varSingle = 0x0004;
inline constexpr TVarType varDouble = 0x0005;
inline constexpr TVarType varCurrency = 0x0006;
inline constexpr TVarType varDate = 0x0007;
inline constexpr TVarType varOleStr = 0x0008;
inline constexpr TVarType varBoolean = 0x000B;
inline constexpr TVarType varInt64 = 0x0014;
inline constexpr TVarType varString = 0x0100;

class Variant {
public:
    struct TNullTag {
        friend bool operator==(TNullTag, TNullTag) { return true; }
    };
    struct TCurrencyValue {
        Int64 Scaled;
        friend bool operator==(TCurrencyValue, TCurrencyValue) = default;
    };
    struct TDateValue {
        TDateTime Value;
        friend bool operator==(TDateValue, TDateValue) = default;
    };
    // A wide string: held as UTF-8 like every text, it converts and compares
    // as a String does and only its type code differs.
    struct TOleStrValue {
        std::string Text;
        friend bool operator==(const TOleStrValue&, const TOleStrValue&) = default;
    };

    Variant() = default; // Unassigned
    Variant(int16_t v) : FValue(v) {}
    Variant(int32_t v) : FValue(v) {}
    Variant(int64_t v) : FValue(v) {}
    Variant(long long v) : FValue(int64_t(v)) {}
    Variant(uint32_t v) : FValue(int64_t(v)) {} // a Cardinal is held as Int64
    Variant(double v) : FValue(v) {}
    Variant(bool v) : FValue(v) {}
    Variant(std::string v) : FValue(std::move(v)) {}
    Variant(std::string_view v) : FValue(std::string(v)) {}
    Variant(const char* v) : FValue(std::string(v ? v : "")) {}
    Variant(TNullTag) : FValue(TNullTag{}) {}

    static Variant FromCurrency(Int64 ScaledValue) { return Variant(TCurrencyValue{ScaledValue}); }
    static Variant FromDateTime(TDateTime Value) { return Variant(TDateValue{Value}); }
    static Variant FromSingle(float Value) { return Variant(Value); }
    static Variant FromOleStr(std::string Utf8) { return Variant(TOleStrValue{std::move(Utf8)}); }

    TVarType VarType() const;
    bool IsEmpty() const { return FValue.index() == 0; }
    bool IsNull() const { return FValue.index() == 1; }
    bool IsNumeric() const; // Smallint, Integer, Single, Int64, Double, Currency (not Boolean, not Date)

    // Unassigned reads as 0, "" and false. Null reads as "" through AsString
    // and VarToStr; as a number, date or boolean it raises EConvertError, as
    // does a text that is not a number ("Could not convert variant of type
    // (String) into type (Integer)"). Floating values round half to even into
    // integers; True is -1 as an integer; an integer out of range raises.
    // A text converts to a date as StrToDateTime reads it, or with '/', '.'
    // or the Chinese year/month/day marks between the date parts.
    Integer AsInteger() const;
    Int64 AsInt64() const;
    double AsFloat() const;
    Int64 AsCurrency() const; // scaled by CurrencyScale
    TDateTime AsDateTime() const;
    bool AsBoolean() const;
    std::string AsString() const;

    // Equal under VarCompare.
    friend bool operator==(const Variant& A, const Variant& B);

private:
    explicit Variant(TCurrencyValue v) : FValue(v) {}
    explicit Variant(TDateValue v) : FValue(v) {}
    explicit Variant(float v) : FValue(v) {}
    explicit Variant(TOleStrValue v) : FValue(std::move(v)) {}
    friend int VarCompare(const Variant& A, const Variant& B) noexcept;
    // The text of a String or an OleStr.
    const std::string& StringText() const;

    std::variant<std::monostate, TNullTag, int16_t, int32_t, int64_t, double, TCurrencyValue, TDateValue, std::string,
                 bool, float, TOleStrValue>
        FValue;
};

Variant Null();
Variant Unassigned();
inline Variant VarFromDateTime(TDateTime Value) {
    return Variant::FromDateTime(Value);
}
inline bool VarIsNull(const Variant& V) {
    return V.IsNull();
}
inline bool VarIsEmpty(const Variant& V) {
    return V.IsEmpty();
}
inline TVarType VarType(const Variant& V) {
    return V.VarType();
}
inline std::string VarToStr(const Variant& V) {
    return V.AsString();
}
// A String or an OleStr.
inline bool VarIsStr(const Variant& V) {
    return V.VarType() == varString || V.VarType() == varOleStr;
}

// Total order: Unassigned < Null < Boolean < numbers < dates < strings.
// Numbers of any numeric kind compare by value (NaN below all others),
// strings (String and OleStr alike) by their UTF-8 bytes. Returns -1, 0 or 1.
int VarCompare(const Variant& A, const Variant& B) noexcept;
