// Writing and reading the criteria block. A block is built whole in memory and
// written at once, so a failure leaves nothing half written; every length and
// count read is checked against the bytes left before it is used.
#include "dbgrid/CriteriaStream.h"

#include "dbgrid/FilterCriteria.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Utf8.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace {

const char* const SReadError = "Stream read error";
const char* const SWriteError = "Stream write error";

// The fewest bytes an item takes: a group without children.
constexpr Int64 MinItemSize = 7;

// Writing ----------------------------------------------------------------------------

template <class T> void AppendLittleEndian(std::string& Bytes, T Value) {
    static_assert(std::is_integral_v<T>);
    using Unsigned = std::make_unsigned_t<T>;
    const auto bits = static_cast<Unsigned>(Value);
    for (size_t i = 0; i < sizeof(T); ++i)
        Bytes.push_back(char(Byte(bits >> (8 * i))));
}

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

// Text in code page 936; a character it cannot hold would be lost, so the
// write is refused.
std::string AnsiBytes(const std::string& Text) {
    if (!IsGbkRepresentable(Text)) throw EWriteError(SWriteError);
    return Utf8ToGbk(Text);
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

void AppendCountedAnsi(std::string& Bytes, const std::string& Text) {
    const std::string ansi = AnsiBytes(Text);
    AppendLittleEndian(Bytes, int32_t(ansi.size()));
    Bytes += ansi;
}

void WriteBytes(TStream* Stream, const std::string& Bytes) {
    Stream->WriteBuffer(Bytes.data(), Integer(Bytes.size()));
}

// Groups enclosing Item below the root, Item itself included when it is one.
int Depth(const TcvCustomCriteriaItem& Item) {
    int depth = Item.IsList() ? 1 : 0;
    for (const TcvCriteriaItemList* list = Item.Parent(); list && list->Parent(); list = list->Parent())
        ++depth;
    return depth;
}

// Reading ----------------------------------------------------------------------------

// Reads from Stream, refusing any length beyond its end.
class TBlockReader {
public:
    explicit TBlockReader(TStream* AStream) : FStream(AStream) {}

    template <class T> T Number() {
        static_assert(std::is_integral_v<T>);
        const std::string bytes = Bytes(sizeof(T));
        std::make_unsigned_t<T> bits = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            bits |= std::make_unsigned_t<T>(Byte(bytes[i])) << (8 * i);
        return static_cast<T>(bits);
    }
    template <class Float, class Bits> Float FloatNumber() {
        const Bits bits = Number<Bits>();
        Float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    double Extended() {
        const uint64_t mantissa = Number<uint64_t>();
        const uint16_t signAndExponent = Number<uint16_t>();
        const int exponent = signAndExponent & 0x7FFF;
        double magnitude;
        if (exponent == 0x7FFF)
            magnitude = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                                             : std::numeric_limits<double>::quiet_NaN();
        else
            magnitude = std::ldexp(double(mantissa), (exponent == 0 ? 1 : exponent) - 16383 - 63);
        return signAndExponent & 0x8000 ? -magnitude : magnitude;
    }
    // A count or length of items each at least ItemSize bytes long.
    Int64 Count(Int64 ItemSize) {
        const int32_t count = Number<int32_t>();
        if (count < 0 || count > Left() / ItemSize) throw EReadError(SReadError);
        return count;
    }
    std::string Bytes(Int64 Count) {
        if (Count > Left()) throw EReadError(SReadError);
        std::string bytes(size_t(Count), '\0');
        FStream->ReadBuffer(bytes.data(), Integer(Count));
        return bytes;
    }
    std::string AnsiText(Int64 Length) { return GbkToUtf8(Bytes(Length)); }
    std::string WideText() {
        const std::string bytes = Bytes(Count(2) * 2);
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

private:
    Int64 Left() { return FStream->Size() - FStream->Position(); }
    TStream* FStream;
};

Variant ReadValue(TBlockReader& Reader) {
    switch (Reader.Number<Byte>()) {
    case vaNull:
        return Null();
    case vaInt8:
        return Variant(int16_t(Reader.Number<int8_t>()));
    case vaInt16:
        return Variant(Reader.Number<int16_t>());
    case vaInt32:
        return Variant(Reader.Number<int32_t>());
    case vaExtended:
        return Variant(Reader.Extended());
    case vaString:
        return Variant(Reader.AnsiText(Reader.Number<Byte>()));
    case vaFalse:
        return Variant(false);
    case vaTrue:
        return Variant(true);
    case vaLString:
        return Variant(Reader.AnsiText(Reader.Count(1)));
    case vaNil:
        return Unassigned();
    case vaSingle:
        return Variant::FromSingle(Reader.FloatNumber<float, uint32_t>());
    case vaCurrency:
        return Variant::FromCurrency(Reader.Number<int64_t>());
    case vaDate:
        return VarFromDateTime(Reader.FloatNumber<double, uint64_t>());
    case vaWString:
        return Variant::FromOleStr(Reader.WideText());
    default:
        throw EReadError(SReadError);
    }
}

void ReadItems(TBlockReader& Reader, TcvCriteriaItemList& List, Int64 Count, int Depth) {
    for (Int64 i = 0; i < Count; ++i) {
        const bool isList = Reader.Number<Byte>() != 0;
        const bool negated = Reader.Number<Byte>() != 0;
        if (isList) {
            if (Depth > cvMaxCriteriaDepth) throw EReadError(SReadError);
            TcvCriteriaItemList* group = List.AddGroup(Reader.Number<Byte>() != 0);
            ReadItems(Reader, *group, Reader.Count(MinItemSize), Depth + 1);
            group->SetNegated(negated);
        } else {
            const std::string displayText = Reader.AnsiText(Reader.Count(1));
            const std::string fieldName = Reader.AnsiText(Reader.Count(1));
            const Byte operatorIndex = Reader.Number<Byte>();
            if (operatorIndex >= cvOperatorCount) throw EReadError(SReadError);
            const Variant value = ReadValue(Reader);
            List.AddCondition(fieldName, operatorIndex, displayText, value)->SetNegated(negated);
        }
    }
}

} // namespace

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
    TBlockReader reader(Stream);
    return ReadValue(reader);
}

void TcvCriteriaItemList::WriteToStream(TStream* Stream) const {
    if (Depth(*this) > cvMaxCriteriaDepth) throw EWriteError(SWriteError);
    std::string bytes{char(1), char(Negated() ? 1 : 0), char(IsOr() ? 1 : 0)};
    AppendLittleEndian(bytes, int32_t(Count()));
    WriteBytes(Stream, bytes);
    for (int i = 0; i < Count(); ++i)
        Items(i)->WriteToStream(Stream);
}

void TcvCriteriaItem::WriteToStream(TStream* Stream) const {
    std::string bytes{char(0), char(Negated() ? 1 : 0)};
    AppendCountedAnsi(bytes, DisplayText());
    AppendCountedAnsi(bytes, FieldName());
    bytes.push_back(char(OperatorIndex()));
    bytes += EncodeTaggedValue(Value());
    WriteBytes(Stream, bytes);
}

void TcvCriteria::WriteData(TStream* Stream) const {
    TMemoryStream block;
    std::string count;
    AppendLittleEndian(count, int32_t(Root()->Count()));
    WriteBytes(&block, count);
    for (int i = 0; i < Root()->Count(); ++i)
        Root()->Items(i)->WriteToStream(&block);
    Stream->WriteBuffer(block.Memory(), Integer(block.Size()));
}

void TcvCriteria::ReadData(TStream* Stream) {
    Clear();
    TBlockReader reader(Stream);
    ReadItems(reader, *Root(), reader.Count(MinItemSize), 1);
}
