// The stream form of filter criteria (the "Criteria" binary property of the
// grid filter, also kept in stored layouts). Little-endian throughout:
//   block:     int32 count of the root's children, then the children;
//   item:      byte isList, byte negated, then
//     group:     byte isOr, int32 child count, the children;
//     condition: int32 length + display text, int32 length + field name (both
//                in code page 936 bytes), byte operator index, tagged value.
// The root's own flags are not kept: it reads back as a plain AND group.
#pragma once

#include "platform/rtl/TaggedValues.h"

// Groups nested deeper than this are refused both ways: far beyond what a
// user builds, and it keeps a damaged block from exhausting the stack.
inline constexpr int cvMaxCriteriaDepth = 256;
