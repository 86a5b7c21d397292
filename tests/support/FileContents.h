// A file's bytes read or written whole, for building a test's input and
// judging its output. Bytes are held in std::string: nothing is converted.
#pragma once

#include <string>
#include <string_view>

// Empty when the file is missing or unreadable.
std::string ReadFileContents(const std::string& FileName);
// Makes the missing folders on the way and replaces the file.
void WriteFileContents(const std::string& FileName, std::string_view Bytes);
