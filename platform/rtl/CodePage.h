// Code page 936 (GBK) at the program's boundaries: database size limits are
// counted in its bytes and zip entry names are stored in it. Built on glibc
// iconv.
//
// A character that GBK cannot represent (an emoji, most characters outside
// the BMP) becomes '?' when converted and so counts as one byte, as the
// platform's own conversion does. Undecodable GBK bytes become '?' in UTF-8.
// Invalid UTF-8 bytes are treated the same way as unrepresentable characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

size_t GbkByteLength(std::string_view Utf8);
// The length in UTF-8 bytes of the longest run of whole characters at the
// start of Utf8 that takes at most MaxGbkBytes bytes in GBK: where a text is
// cut to a byte limit without splitting a character.
size_t GbkFittingPrefix(std::string_view Utf8, size_t MaxGbkBytes);
std::string Utf8ToGbk(std::string_view Utf8);
std::string GbkToUtf8(std::string_view Gbk);
// True when every character of the text converts to GBK and back unchanged.
bool IsGbkRepresentable(std::string_view Utf8);
