// Character-wise helpers on UTF-8 text. Indexes and counts are in characters
// and 0-based unless a name says bytes. A byte that does not start a valid
// sequence counts as one character of its own, so every text has a length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr size_t Utf8NotFound = std::string_view::npos;

size_t Utf8Length(std::string_view S);
// Byte offset where character CharIndex starts; S.size() when past the end.
size_t Utf8ByteOffset(std::string_view S, size_t CharIndex);
// Number of characters that start before ByteOffset.
size_t Utf8CharIndex(std::string_view S, size_t ByteOffset);
// Count characters from CharIndex on (clamped to the text).
std::string Utf8Copy(std::string_view S, size_t CharIndex, size_t Count = Utf8NotFound);
// Character index of the first Needle at or after character FromChar, or Utf8NotFound.
size_t Utf8Pos(std::string_view Needle, std::string_view S, size_t FromChar = 0);
// Byte offset of the next character after the one at ByteOffset (S.size() at
// most), and of the character before ByteOffset (0 at least).
size_t Utf8NextCharBoundary(std::string_view S, size_t ByteOffset);
size_t Utf8PrevCharBoundary(std::string_view S, size_t ByteOffset);
// The code point at ByteOffset (U+FFFD for an invalid byte) and the UTF-8 of one code point.
char32_t Utf8CodePointAt(std::string_view S, size_t ByteOffset);
std::string Utf8FromCodePoint(char32_t CodePoint);
// The whole text as code points, one per character, and back.
std::u32string Utf8ToCodePoints(std::string_view S);
std::string Utf8FromCodePoints(std::u32string_view S);
bool Utf8IsValid(std::string_view S);
