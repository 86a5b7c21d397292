// Percentages, wildcards and DOS dates of the zip engine.
#include "zip/ZipUtils.h"

#include <sys/stat.h>

#include <cmath>
#include <vector>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace zip {

int Percentage(int64_t part, int64_t whole) {
    if (whole < 1) return 0;
    if (part <= 0) return 0;
    if (part >= whole) return 100;
    // part < whole <= 2^63, so part * 100 can overflow only for enormous values; go through double then.
    const double p = std::round(static_cast<double>(part) * 100.0 / static_cast<double>(whole));
    return p > 100 ? 100 : static_cast<int>(p);
}

bool HasWildcard(std::string_view text) {
    return text.find_first_of("*?<>|") != std::string_view::npos;
}

namespace {

std::u32string CodePoints(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size(); i = Utf8NextCharBoundary(s, i))
        out.push_back(Utf8CodePointAt(s, i));
    return out;
}

// Matches one character against the set starting after "<"; sets end to the
// set's closing ">" (or the pattern's end) and says whether it matched.
bool MatchSet(const std::u32string& p, size_t& i, char32_t c) {
    bool negate = false;
    if (i < p.size() && (p[i] == U'!' || p[i] == U'^')) {
        negate = true;
        ++i;
    }
    bool found = false;
    while (i < p.size() && p[i] != U'>') {
        if (i + 2 < p.size() && p[i + 1] == U'-' && p[i + 2] != U'>') {
            if (c >= p[i] && c <= p[i + 2]) found = true;
            i += 3;
        } else {
            if (c == p[i]) found = true;
            ++i;
        }
    }
    if (i < p.size()) ++i; // past ">"
    return found != negate;
}

} // namespace

bool WildcardMatch(std::string_view pattern, std::string_view text) {
    if (pattern == "*") return true;
    const std::u32string p = CodePoints(pattern), t = CodePoints(text);
    // Iterative matching with one backtrack point for the last "*": linear in practice, never recursive.
    size_t pi = 0, ti = 0, starP = std::u32string::npos, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size()) {
            if (p[pi] == U'*') {
                starP = ++pi;
                starT = ti;
                continue;
            }
            if (p[pi] == U'?') {
                ++pi;
                ++ti;
                continue;
            }
            if (p[pi] == U'<') {
                size_t next = pi + 1;
                if (MatchSet(p, next, t[ti])) {
                    pi = next;
                    ++ti;
                    continue;
                }
            } else if (p[pi] == t[ti]) {
                ++pi;
                ++ti;
                continue;
            }
        }
        if (starP == std::u32string::npos) return false;
        pi = starP;
        ti = ++starT;
    }
    while (pi < p.size() && p[pi] == U'*')
        ++pi;
    return pi == p.size();
}

uint32_t SanitiseDosDateTime(uint32_t dosDateTime) {
    unsigned seconds = (dosDateTime & 0x1F) * 2;
    unsigned minute = (dosDateTime >> 5) & 0x3F;
    unsigned hour = (dosDateTime >> 11) & 0x1F;
    unsigned day = (dosDateTime >> 16) & 0x1F;
    unsigned month = (dosDateTime >> 21) & 0x0F;
    unsigned year = ((dosDateTime >> 25) & 0x7F) + 1980;
    bool changed = false;
    auto clamp = [&changed](unsigned& v, unsigned to) {
        v = to;
        changed = true;
    };
    if (hour > 23) clamp(hour, 23);
    if (minute > 59) clamp(minute, 59);
    if (seconds > 59) clamp(seconds, 58);
    if (year > 2099) clamp(year, 2099);
    if (month > 12) clamp(month, 12);
    if (month == 0) clamp(month, 1);
    if (day == 0) clamp(day, 1);
    const unsigned monthLength = DaysInAMonth(static_cast<Word>(year), static_cast<Word>(month));
    if (day > monthLength) clamp(day, monthLength);
    if (!changed) return dosDateTime;
    return (seconds / 2) | (minute << 5) | (hour << 11) | (day << 16) | (month << 21) | ((year - 1980) << 25);
}

TDateTime DosDateTimeToDateTime(uint32_t dosDateTime) {
    const uint32_t v = SanitiseDosDateTime(dosDateTime);
    return EncodeDate(static_cast<Word>(((v >> 25) & 0x7F) + 1980), static_cast<Word>((v >> 21) & 0x0F),
                      static_cast<Word>((v >> 16) & 0x1F)) +
           EncodeTime(static_cast<Word>((v >> 11) & 0x1F), static_cast<Word>((v >> 5) & 0x3F),
                      static_cast<Word>((v & 0x1F) * 2), 0);
}

uint32_t DateTimeToDosDateTime(TDateTime value) {
    Word year, month, day, hour, minute, second, msec;
    DecodeDateTime(value, year, month, day, hour, minute, second, msec);
    if (year < 1980) return 1u << 21 | 1u << 16; // 1980-01-01 00:00
    if (year > 2107) year = 2107;                // the widest the field holds; sanitising takes it to 2099
    const uint32_t packed = (second / 2u) | (uint32_t{minute} << 5) | (uint32_t{hour} << 11) | (uint32_t{day} << 16) |
                            (uint32_t{month} << 21) | (uint32_t(year - 1980) << 25);
    return SanitiseDosDateTime(packed);
}

bool IsReadOnlyMode(mode_t mode) {
    return !(mode & (S_IWUSR | S_IWGRP | S_IWOTH));
}

mode_t NewFileMode() {
    // umask can only be read by setting it; put it straight back.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string ToForwardSlashes(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

std::string FolderPart(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string NamePart(std::string_view path) {
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string BlockFileName(std::string_view zipName, int n) {
    return ChangeFileExt(zipName, Format(".%3.3d", n));
}

} // namespace zip
