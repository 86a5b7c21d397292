// The stream form of filter criteria (the "Criteria" binary property of the
// grid filter, also kept in stored layouts). Little-endian throughout:
//   block:     int32 count of the root's children, then the children;
//   item:      byte isList, byte negated, then
//     group:     byte isOr, int32 child count, the children;
//     condition: int32 length + display text, int32 length + field name (both
//                in code page 936 bytes), byte operator index, tagged value.
// The root's own flags are not kept: it reads back as a plain AND group.
#pragma once

#include "platform/rtl/Variants.h"

#include <string>

class TStream;

// The tag byte in front of a value, followed by its payload.
enum TcvValueTag : Byte {
    vaNull = 0,      // no payload
    vaInt8 = 2,      // 1 byte, signed
    vaInt16 = 3,     // 2 bytes, signed
    vaInt32 = 4,     // 4 bytes, signed
    vaExtended = 5,  // 10 bytes, 80-bit extended real
    vaString = 6,    // 1-byte length, code page 936 bytes
    vaFalse = 8,     // no payload
    vaTrue = 9,      // no payload
    vaLString = 12,  // int32 length, code page 936 bytes
    vaNil = 13,      // Unassigned; no payload
    vaSingle = 15,   // 4 bytes, IEEE single
    vaCurrency = 16, // int64 in units of 1/10000
    vaDate = 17,     // IEEE double, days since 1899-12-30
    vaWString = 18,  // int32 character count, UTF-16LE
};

// Groups nested deeper than this are refused both ways: far beyond what a
// user builds, and it keeps a damaged block from exhausting the stack.
inline constexpr int cvMaxCriteriaDepth = 256;

// Value's tag and payload. Smallint and Integer values take the narrowest of
// tags 2-4; a string of more than 255 bytes takes tag 12; a string that code
// page 936 cannot hold goes as tag 18, so no character is lost; an Int64 goes
// as its text.
std::string EncodeTaggedValue(const Variant& Value);
// One tagged value from Stream. Tag 2 and 3 read as Smallint, tag 4 as
// Integer. An unknown tag, or a length beyond the stream's end, raises
// EReadError "Stream read error" before anything is allocated.
Variant ReadTaggedValue(TStream* Stream);
