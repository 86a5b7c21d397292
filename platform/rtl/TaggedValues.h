// Tagged values: a tag byte naming the kind of a value, then its payload,
// little-endian. Filter criteria and component streams both store values
// this way; strings go as code page 936 bytes.
#pragma once

#include "platform/rtl/Variants.h"

#include <string>
#include <type_traits>

class TStream;

enum TValueType : Byte {
    vaNull = 0,       // no payload
    vaList = 1,       // collection items: properties, then an end marker
    vaInt8 = 2,       // 1 byte, signed
    vaInt16 = 3,      // 2 bytes, signed
    vaInt32 = 4,      // 4 bytes, signed
    vaExtended = 5,   // 10 bytes, 80-bit extended real
    vaString = 6,     // 1-byte length, code page 936 bytes
    vaIdent = 7,      // 1-byte length, a name (references)
    vaFalse = 8,      // no payload
    vaTrue = 9,       // no payload
    vaBinary = 10,    // int32 size, bytes
    vaLString = 12,   // int32 length, code page 936 bytes
    vaNil = 13,       // Unassigned; no payload
    vaCollection = 14, // items, each vaList ..., then an end marker
    vaSingle = 15,    // 4 bytes, IEEE single
    vaCurrency = 16,  // int64 in units of 1/10000
    vaDate = 17,      // IEEE double, days since 1899-12-30
    vaWString = 18,   // int32 character count, UTF-16LE
};

// Value's tag and payload. Smallint and Integer values take the narrowest of
// tags 2-4; a string of more than 255 bytes takes tag 12; a string that code
// page 936 cannot hold goes as tag 18, so no character is lost; an Int64 goes
// as its text.
std::string EncodeTaggedValue(const Variant& Value);
// One tagged value from Stream: a tag of the table above that carries a
// value (not 1, 7, 10 or 14). Tag 2 and 3 read as Smallint, tag 4 as
// Integer. An unknown tag, or a length beyond the stream's end, raises
// EReadError "Stream read error" before anything is allocated.
Variant ReadTaggedValue(TStream* Stream);

template <class T> void AppendLittleEndian(std::string& Bytes, T Value) {
    static_assert(std::is_integral_v<T>);
    const auto bits = static_cast<std::make_unsigned_t<T>>(Value);
    for (size_t i = 0; i < sizeof(T); ++i)
        Bytes.push_back(char(Byte(bits >> (8 * i))));
}

// Reads from a stream, refusing any length or count beyond its end with
// EReadError "Stream read error" before anything is allocated.
class TBoundedReader {
public:
    explicit TBoundedReader(TStream* AStream) : FStream(AStream) {}

    template <class T> T Number() {
        static_assert(std::is_integral_v<T>);
        const std::string bytes = Bytes(sizeof(T));
        std::make_unsigned_t<T> bits = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            bits |= std::make_unsigned_t<T>(Byte(bytes[i])) << (8 * i);
        return static_cast<T>(bits);
    }
    // An int32 count of items each at least ItemSize bytes long.
    Int64 Count(Int64 ItemSize);
    std::string Bytes(Int64 Count);
    // Code page 936 bytes as UTF-8.
    std::string AnsiText(Int64 Length);
    Variant TaggedValue(Byte Tag);
    Int64 Left();

private:
    TStream* FStream;
};

// Raises EReadError "Stream read error".
[[noreturn]] void ReadError();
