// Small routines the zip engine shares: progress percentages, the wildcard
// matcher used to select files and entries, and DOS date handling. Paths use
// "/"; the matcher works on whole UTF-8 characters.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/DateTime.h"

namespace zip {

// part * 100 / whole, rounded, at most 100; 0 when whole < 1.
int Percentage(int64_t part, int64_t whole);

// True when the text holds any of * ? < > |.
bool HasWildcard(std::string_view text);

// "*" any run, "?" one character, "<abc>", "<a-z>", "<!x>" or "<^x>" one
// character of a set. Compares exactly: callers upper-case both sides first.
bool WildcardMatch(std::string_view pattern, std::string_view text);

// DOS time in the low 16 bits, date in the high 16 bits. Out-of-range parts are
// clamped (hour 23, minute 59, seconds 58, year 2099, month 1..12, day 1..the
// month's length); the value is re-packed only when something changed.
uint32_t SanitiseDosDateTime(uint32_t dosDateTime);
TDateTime DosDateTimeToDateTime(uint32_t dosDateTime);
// Dates before 1980 become 1980-01-01 00:00, the first the format can hold.
uint32_t DateTimeToDosDateTime(TDateTime value);

// True when nobody may write the file: the read-only attribute of the archive's entries.
bool IsReadOnlyMode(mode_t mode);
// The mode a newly made file gets here: 0666 less the process's umask.
mode_t NewFileMode();

// Makes every "\" a "/", as stored names and paths read on other systems use both.
std::string ToForwardSlashes(std::string_view text);

// The folder part of a path including its trailing "/", and the name after it.
std::string FolderPart(std::string_view path);
std::string NamePart(std::string_view path);

// Disk n (1-based) of a set written as block files: the archive's name with "." and n as "%3.3d" for extension.
std::string BlockFileName(std::string_view zipName, int n);
// The copy of a set's directory beside it, read when the last disk is missing.
inline constexpr const char* ConfigurationFileExt = ".zfc";

} // namespace zip
