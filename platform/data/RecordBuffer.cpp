// A record's values packed into one block: each value is a kind byte and
// then its bytes (fixed sizes for numbers and dates, a length and the bytes
// for text; most texts are short, so those get a one-byte length). Reading
// a column walks the kinds before it, which costs less than a table of
// offsets for the few columns a result has.
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "platform/data/DB.h"

namespace {

enum TPackedKind : char {
    pkEmpty,
    pkNull,
    pkSmallint,
    pkInteger,
    pkInt64,
    pkDouble,
    pkCurrency,
    pkDate,
    pkBoolean,
    pkString,
    pkShortString
};

using TTextLength = uint32_t;
using TShortTextLength = uint8_t;

template <typename T> T ReadPacked(const char* P) {
    T value;
    std::memcpy(&value, P, sizeof value);
    return value;
}

template <typename T> void WritePacked(std::string& Packed, T Value) {
    Packed.append(reinterpret_cast<const char*>(&Value), sizeof Value);
}

// The bytes of the value whose kind byte is at P, kind byte included.
size_t PackedSize(const char* P) {
    switch (TPackedKind(*P)) {
    case pkSmallint:
        return 1 + sizeof(int16_t);
    case pkInteger:
        return 1 + sizeof(int32_t);
    case pkInt64:
    case pkDouble:
    case pkCurrency:
    case pkDate:
        return 1 + 8;
    case pkBoolean:
        return 2;
    case pkString:
        return 1 + sizeof(TTextLength) + ReadPacked<TTextLength>(P + 1);
    case pkShortString:
        return 1 + sizeof(TShortTextLength) + ReadPacked<TShortTextLength>(P + 1);
    default:
        return 1;
    }
}

} // namespace

void TRecordBuffer::PackValue(std::string& Packed, const Variant& Value) {
    switch (Value.VarType()) {
    case varEmpty:
        Packed.push_back(pkEmpty);
        break;
    case varNull:
        Packed.push_back(pkNull);
        break;
    case varSmallint:
        Packed.push_back(pkSmallint);
        WritePacked(Packed, int16_t(Value.AsInteger()));
        break;
    case varInteger:
        Packed.push_back(pkInteger);
        WritePacked(Packed, int32_t(Value.AsInteger()));
        break;
    case varInt64:
        Packed.push_back(pkInt64);
        WritePacked(Packed, Value.AsInt64());
        break;
    case varDouble:
        Packed.push_back(pkDouble);
        WritePacked(Packed, Value.AsFloat());
        break;
    case varCurrency:
        Packed.push_back(pkCurrency);
        WritePacked(Packed, Value.AsCurrency());
        break;
    case varDate:
        Packed.push_back(pkDate);
        WritePacked(Packed, Value.AsDateTime());
        break;
    case varBoolean:
        Packed.push_back(pkBoolean);
        Packed.push_back(Value.AsBoolean() ? 1 : 0);
        break;
    default:
        PackText(Packed, Value.AsString());
        break;
    }
}

void TRecordBuffer::PackText(std::string& Packed, std::string_view Text) {
    if (Text.size() <= std::numeric_limits<TShortTextLength>::max()) {
        Packed.push_back(pkShortString);
        WritePacked(Packed, TShortTextLength(Text.size()));
    } else {
        Packed.push_back(pkString);
        WritePacked(Packed, TTextLength(Text.size()));
    }
    Packed += Text;
}

namespace {

Variant Unpack(const char* P) {
    const char* bytes = P + 1;
    switch (TPackedKind(*P)) {
    case pkEmpty:
        return Variant();
    case pkNull:
        return Null();
    case pkSmallint:
        return Variant(ReadPacked<int16_t>(bytes));
    case pkInteger:
        return Variant(ReadPacked<int32_t>(bytes));
    case pkInt64:
        return Variant(ReadPacked<int64_t>(bytes));
    case pkDouble:
        return Variant(ReadPacked<double>(bytes));
    case pkCurrency:
        return Variant::FromCurrency(ReadPacked<Int64>(bytes));
    case pkDate:
        return Variant::FromDateTime(ReadPacked<TDateTime>(bytes));
    case pkBoolean:
        return Variant(*bytes != 0);
    case pkString:
        return Variant(std::string_view(bytes + sizeof(TTextLength), ReadPacked<TTextLength>(bytes)));
    case pkShortString:
        return Variant(std::string_view(bytes + sizeof(TShortTextLength), ReadPacked<TShortTextLength>(bytes)));
    }
    return Variant();
}

} // namespace

namespace {

// Record sizes are held in 32 bits; a row's values never come near that.
uint32_t PackedLength(std::string_view Packed) {
    if (Packed.size() > std::numeric_limits<uint32_t>::max()) throw std::length_error("Record too large");
    return uint32_t(Packed.size());
}

} // namespace

static_assert(sizeof(TRecordBuffer) <= 24, "a large result holds one record header per row");

TRecordPtr TRecordBuffer::Create() {
    return TRecordPtr(new TRecordBuffer(false));
}

TRecordPtr TRecordBuffer::Create(const TRecordBuffer& Other) {
    TRecordPtr record = Create();
    record->Id = Other.Id;
    record->AssignValues(Other);
    return record;
}

TRecordPtr TRecordBuffer::CreateInPool(std::pmr::memory_resource* Pool, std::string_view Packed) {
    uint32_t size = PackedLength(Packed);
    char* block = static_cast<char*>(Pool->allocate(sizeof(TRecordBuffer) + size, alignof(TRecordBuffer)));
    TRecordPtr record(new (block) TRecordBuffer(true));
    record->FPacked = block + sizeof(TRecordBuffer);
    record->FSize = size;
    if (size) std::memcpy(record->FPacked, Packed.data(), size);
    return record;
}

void TRecordDeleter::operator()(TRecordBuffer* Record) const {
    if (Record->FInPool)
        Record->~TRecordBuffer();
    else
        delete Record;
}

TRecordBuffer::~TRecordBuffer() {
    if (FOwnsValues) delete[] FPacked;
}

size_t TRecordBuffer::OffsetOf(Integer Column) const {
    size_t offset = 0;
    for (Integer i = 0; i < Column && offset < FSize; ++i)
        offset += PackedSize(FPacked + offset);
    return offset;
}

Variant TRecordBuffer::Value(Integer Column) const {
    size_t offset = OffsetOf(Column);
    if (Column < 0 || offset >= FSize) return Null();
    return Unpack(FPacked + offset);
}

void TRecordBuffer::SetValue(Integer Column, const Variant& Value) {
    std::string packed(PackedValues());
    size_t start = 0;
    for (Integer i = 0; i < Column; ++i) {
        if (start == packed.size()) PackValue(packed, Variant());
        start += PackedSize(packed.data() + start);
    }
    size_t end = start < packed.size() ? start + PackedSize(packed.data() + start) : start;
    std::string value;
    PackValue(value, Value);
    packed.replace(start, end - start, value);
    SetPackedValues(packed);
}

void TRecordBuffer::SetPackedValues(std::string_view Packed) {
    uint32_t size = PackedLength(Packed);
    char* fresh = size == 0 ? nullptr : new char[size];
    if (fresh) std::memcpy(fresh, Packed.data(), size);
    if (FOwnsValues) delete[] FPacked;
    FPacked = fresh;
    FSize = size;
    FOwnsValues = fresh != nullptr;
}
