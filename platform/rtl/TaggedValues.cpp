// Tagged values: built whole in memory before they are written, and read
// with every length checked against the bytes left.
#include "platform/rtl/TaggedValues.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Utf8.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

template <class Float, class Bits> void AppendFloat(std::string& Bytes, Float Value) {
    static_assert(sizeof(Float) == sizeof(Bits));
    Bits bits;
    std::memcpy(&bits, &Value, sizeof bits);
    AppendLittleEndian(Bytes, bits);
}

// A double as the 80-bit extended real: 64-bit mantissa with its integer bit,
// 15-bit exponent biased by 16383, sign. Every double fits exactly.
void AppendExtended(std::string& Bytes, double Value) {
    constexpr uint16_t maxExponent = 0x7FFF;
    uint16_t signAndExponent = std::signbit(Value) ? 0x8000 : 0;
    uint64_t mantissa = 0;
    if (std::isnan(Value)) {
        signAndExponent |= maxExponent;
        mantissa = 0xC000000000000000ULL;
    } else if (std::isinf(Value)) {
        signAndExponent |= maxExponent;
        mantissa = 0x8000000000000000ULL;
    } else if (Value != 0) {
        int exponent = 0;
        const double fraction = std::frexp(std::fabs(Value), &exponent); // in [0.5, 1)
        mantissa = uint64_t(std::ldexp(fraction, 64));
        signAndExponent |= uint16_t(exponent - 1 + 16383);
    }
    AppendLittleEndian(Bytes, mantissa);
    AppendLittleEndian(Bytes, signAndExponent);
}

void AppendWideString(std::string& Bytes, const std::string& Text) {
    std::u16string units;
    for (char32_t c : Utf8ToCodePoints(Text)) {
        if (c >= 0x10000) {
            units.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(char16_t(c));
        }
    }
    Bytes.push_back(char(vaWString));
    AppendLittleEndian(Bytes, int32_t(units.size()));
    for (char16_t unit : units)
        AppendLittleEndian(Bytes, uint16_t(unit));
}

void AppendString(std::string& Bytes, const std::string& Text) {
    if (!IsGbkRepresentable(Text)) return AppendWideString(Bytes, Text);
    const std::string ansi = Utf8ToGbk(Text);
    if (ansi.size() <= 255) {
        Bytes.push_back(char(vaString));
        Bytes.push_back(char(Byte(ansi.size())));
    } else {
        Bytes.push_back(char(vaLString));
        AppendLittleEndian(Bytes, int32_t(ansi.size()));
    }
    Bytes += ansi;
}

void AppendInteger(std::string& Bytes, Int64 Value) {
    if (Value >= -128 && Value < 128) {
        Bytes.push_back(char(vaInt8));
        AppendLittleEndian(Bytes, int8_t(Value));
    } else if (Value >= -32768 && Value < 32768) {
        Bytes.push_back(char(vaInt16));
        AppendLittleEndian(Bytes, int16_t(Value));
    } else {
        Bytes.push_back(char(vaInt32));
        AppendLittleEndian(Bytes, int32_t(Value));
    }
}

template <class Float, class Bits> Float ReadFloat(TBoundedReader& Reader) {
    const Bits bits = Reader.Number<Bits>();
    Float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double ReadExtended(TBoundedReader& Reader) {
    const uint64_t mantissa = Reader.Number<uint64_t>();
    const uint16_t signAndExponent = Reader.Number<uint16_t>();
    const int exponent = signAndExponent & 0x7FFF;
    double magnitude;
    if (exponent == 0x7FFF)
        magnitude = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                                         : std::numeric_limits<double>::quiet_NaN();
    else
        magnitude = std::ldexp(double(mantissa), (exponent == 0 ? 1 : exponent) - 16383 - 63);
    return signAndExponent & 0x8000 ? -magnitude : magnitude;
}

std::string ReadWideText(TBoundedReader& Reader) {
    const std::string bytes = Reader.Bytes(Reader.Count(2) * 2);
    std::u32string codePoints;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const char32_t unit = Byte(bytes[i]) | char32_t(Byte(bytes[i + 1])) << 8;
        const char32_t next = i + 3 < bytes.size() ? Byte(bytes[i + 2]) | char32_t(Byte(bytes[i + 3])) << 8 : 0;
        if (unit >= 0xD800 && unit < 0xDC00 && next >= 0xDC00 && next < 0xE000) {
            codePoints.push_back(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            i += 2;
        } else {
            codePoints.push_back(unit >= 0xD800 && unit < 0xE000 ? char32_t(0xFFFD) : unit);
        }
    }
    return Utf8FromCodePoints(codePoints);
}

} // namespace

void ReadError() {
    throw EReadError("Stream read error");
}

std::string EncodeTaggedValue(const Variant& Value) {
    std::string bytes;
    switch (Value.VarType()) {
    case varEmpty:
        bytes.push_back(char(vaNil));
        break;
    case varNull:
        bytes.push_back(char(vaNull));
        break;
    case varSmallint:
    case varInteger:
        AppendInteger(bytes, Value.AsInteger());
        break;
    case varDouble:
        bytes.push_back(char(vaExtended));
        AppendExtended(bytes, Value.AsFloat());
        break;
    case varSingle:
        bytes.push_back(char(vaSingle));
        AppendFloat<float, uint32_t>(bytes, float(Value.AsFloat()));
        break;
    case varCurrency:
        bytes.push_back(char(vaCurrency));
        AppendLittleEndian(bytes, int64_t(Value.AsCurrency()));
        break;
    case varDate:
        bytes.push_back(char(vaDate));
        AppendFloat<double, uint64_t>(bytes, Value.AsDateTime());
        break;
    case varBoolean:
        bytes.push_back(char(Value.AsBoolean() ? vaTrue : vaFalse));
        break;
    case varOleStr:
        AppendWideString(bytes, Value.AsString());
        break;
    default:
        AppendString(bytes, Value.AsString());
        break;
    }
    return bytes;
}

Variant ReadTaggedValue(TStream* Stream) {
    TBoundedReader reader(Stream);
    return reader.TaggedValue(reader.Number<Byte>());
}

Int64 TBoundedReader::Left() {
    return FStream->Size() - FStream->Position();
}

Int64 TBoundedReader::Count(Int64 ItemSize) {
    const int32_t count = Number<int32_t>();
    if (count < 0 || count > Left() / ItemSize) ReadError();
    return count;
}

std::string TBoundedReader::Bytes(Int64 Count) {
    if (Count > Left()) ReadError();
    std::string bytes(size_t(Count), '\0');
    FStream->ReadBuffer(bytes.data(), Integer(Count));
    return bytes;
}

std::string TBoundedReader::AnsiText(Int64 Length) {
    return GbkToUtf8(Bytes(Length));
}

Variant TBoundedReader::TaggedValue(Byte Tag) {
    switch (Tag) {
    case vaNull:
        return Null();
    case vaInt8:
        return Variant(int16_t(Number<int8_t>()));
    case vaInt16:
        return Variant(Number<int16_t>());
    case vaInt32:
        return Variant(Number<int32_t>());
    case vaExtended:
        return Variant(ReadExtended(*this));
    case vaString:
        return Variant(AnsiText(Number<Byte>()));
    case vaFalse:
        return Variant(false);
    case vaTrue:
        return Variant(true);
    case vaLString:
        return Variant(AnsiText(Count(1)));
    case vaNil:
        return Unassigned();
    case vaSingle:
        return Variant::FromSingle(ReadFloat<float, uint32_t>(*this));
    case vaCurrency:
        return Variant::FromCurrency(Number<int64_t>());
    case vaDate:
        return VarFromDateTime(ReadFloat<double, uint64_t>(*this));
    case vaWString:
        return Variant::FromOleStr(ReadWideText(*this));
    default:
        ReadError();
    }
}
