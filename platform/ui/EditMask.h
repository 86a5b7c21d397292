// The edit-mask engine shared by every masked edit: parsing a mask, laying a
// value into it, taking the value back out and checking the required
// positions. Plain routines without a window; positions count characters, so
// a Chinese character is one position. The mask string:
//   up to three ";" fields (a ";" separates only within the last four
//   characters): the pattern, the save-literals flag ("0": literals are not
//   part of the value) and the blank character (default "_");
//   pattern: "0" digit, "9" optional digit, "#" optional digit or sign, "L"/"l"
//   letter, "A"/"a" letter or digit, "C"/"c" any character (upper case
//   required), "!" fill optional positions from the right, ">" upper case,
//   "<" lower case, "<>" no case conversion, "\" next character literal,
//   "/" and ":" the format settings' date and time separators, anything else
//   a literal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What a masked edit says when a required position is left unfilled.
inline constexpr const char* SMaskEditErr = "Invalid input value.  Use escape key to abandon changes";

enum class TMaskCharType {
    Literal,       // shown as it stands
    DateSeparator, // "/": FormatSettings.DateSeparator
    TimeSeparator, // ":": FormatSettings.TimeSeparator
    Digit,         // "0", "9"
    DigitOrSign,   // "#"
    Letter,        // "L", "l"
    LetterOrDigit, // "A", "a"
    AnyChar,       // "C", "c"
};

enum class TMaskCase { AsTyped, Upper, Lower };

struct TMaskPosition {
    TMaskCharType Type = TMaskCharType::Literal;
    bool Required = false;
    char32_t Char = 0; // the pattern character, or the literal shown
    TMaskCase Case = TMaskCase::AsTyped;

    bool IsLiteral() const { return Type <= TMaskCharType::TimeSeparator; }
};

struct TEditMaskInfo {
    std::vector<TMaskPosition> Positions; // one per character of the edit text
    bool SaveLiterals = true;
    char32_t Blank = U'_';
    bool FillFromRight = false; // the pattern holds "!"

    // The number of characters the mask describes.
    size_t MaxChars() const { return Positions.size(); }
};

TEditMaskInfo ParseEditMask(std::string_view EditMask);

// The character a literal position shows (separators as the format settings give them).
char32_t MaskLiteralChar(const TMaskPosition& Position);

// Value laid into the mask: its characters fill the input positions in order
// (from the right with "!"), a space or a missing character shows Blank, case
// directives convert. With saved literals a value character equal to the
// literal at its place is taken as that literal.
std::string FormatMaskText(const TEditMaskInfo& Mask, std::string_view Value, char32_t Blank);
inline std::string FormatMaskText(const TEditMaskInfo& Mask, std::string_view Value) {
    return FormatMaskText(Mask, Value, Mask.Blank);
}

// The value of an edit text: literals left out, trailing blanks (leading ones
// with "!") cut, other blanks as spaces; with saved literals that is laid
// into the mask again with spaces as blanks.
std::string MaskTextValue(const TEditMaskInfo& Mask, std::string_view EditText);

// Whether C may stand at Position, C turned to the position's case first.
bool MaskCharFits(const TMaskPosition& Position, char32_t& C);

// The first required position of EditText holding the blank (unless
// IgnoreBlank) or, except at "C", a space; npos when every one is filled.
size_t FirstUnfilledMaskPosition(const TEditMaskInfo& Mask, std::string_view EditText, bool IgnoreBlank);

// The first input position at or after Pos (MaxChars() when none), and the
// last one before Pos (npos when none).
size_t NextInputPosition(const TEditMaskInfo& Mask, size_t Pos);
size_t PrevInputPosition(const TEditMaskInfo& Mask, size_t Pos);
