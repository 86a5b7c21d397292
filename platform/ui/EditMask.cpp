// The edit-mask engine. Texts are decoded to code points once, so every
// position is one character; letters and case follow Unicode through QChar.
#include "platform/ui/EditMask.h"

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

#include <QChar>

#include <algorithm>

namespace {

constexpr char32_t FieldSeparator = U';';
// A ";" separates fields only this close to the end of the mask.
constexpr size_t FieldArea = 4;

bool IsDigit(char32_t C) {
    return C >= U'0' && C <= U'9';
}

bool IsLetter(char32_t C) {
    return QChar::isLetter(C);
}

struct PatternChar {
    char32_t Char;
    TMaskCharType Type;
    bool Required;
};

constexpr PatternChar PatternChars[] = {
    {U'0', TMaskCharType::Digit, true},          {U'9', TMaskCharType::Digit, false},
    {U'#', TMaskCharType::DigitOrSign, false},   {U'L', TMaskCharType::Letter, true},
    {U'l', TMaskCharType::Letter, false},        {U'A', TMaskCharType::LetterOrDigit, true},
    {U'a', TMaskCharType::LetterOrDigit, false}, {U'C', TMaskCharType::AnyChar, true},
    {U'c', TMaskCharType::AnyChar, false},       {U'/', TMaskCharType::DateSeparator, false},
    {U':', TMaskCharType::TimeSeparator, false},
};

// Splits off the save-literals and blank fields; answers the pattern.
std::u32string SplitFields(const std::u32string& Mask, TEditMaskInfo& Info) {
    const size_t n = Mask.size();
    const size_t fieldStart = n > FieldArea ? n - FieldArea : 0;
    const size_t first = Mask.find(FieldSeparator, fieldStart);
    if (first == std::u32string::npos) return Mask;
    const size_t second = Mask.find(FieldSeparator, first + 1);
    Info.SaveLiterals = Mask.substr(first + 1, second == std::u32string::npos ? n : second - first - 1) != U"0";
    // The blank: one character after a final ";" with another ";" one or two before it.
    if (n >= 3 && Mask[n - 2] == FieldSeparator &&
        (Mask[n - 3] == FieldSeparator || (n >= 4 && n - 4 >= fieldStart && Mask[n - 4] == FieldSeparator)))
        Info.Blank = Mask[n - 1];
    return Mask.substr(0, first);
}

char32_t ToCase(char32_t C, TMaskCase Case) {
    switch (Case) {
    case TMaskCase::Upper:
        return QChar::toUpper(C);
    case TMaskCase::Lower:
        return QChar::toLower(C);
    default:
        return C;
    }
}

// The order in which positions take value characters.
template <typename Visit> void WalkPositions(const TEditMaskInfo& Mask, Visit&& visit) {
    const size_t n = Mask.Positions.size();
    for (size_t k = 0; k < n; ++k)
        visit(Mask.FillFromRight ? n - 1 - k : k);
}

} // namespace

TEditMaskInfo ParseEditMask(std::string_view EditMask) {
    TEditMaskInfo info;
    const std::u32string pattern = SplitFields(Utf8ToCodePoints(EditMask), info);
    TMaskCase caseMode = TMaskCase::AsTyped;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char32_t c = pattern[i];
        switch (c) {
        case U'!':
            info.FillFromRight = true;
            continue;
        case U'>':
            caseMode = TMaskCase::Upper;
            continue;
        case U'<':
            if (i + 1 < pattern.size() && pattern[i + 1] == U'>') {
                caseMode = TMaskCase::AsTyped;
                ++i;
            } else {
                caseMode = TMaskCase::Lower;
            }
            continue;
        default:
            break;
        }
        TMaskPosition position;
        position.Case = caseMode;
        position.Char = c;
        if (c == U'\\' && i + 1 < pattern.size()) {
            position.Char = pattern[++i];
        } else {
            for (const PatternChar& p : PatternChars)
                if (p.Char == c) {
                    position.Type = p.Type;
                    position.Required = p.Required;
                }
        }
        info.Positions.push_back(position);
    }
    return info;
}

char32_t MaskLiteralChar(const TMaskPosition& Position) {
    switch (Position.Type) {
    case TMaskCharType::DateSeparator:
        return static_cast<unsigned char>(FormatSettings.DateSeparator);
    case TMaskCharType::TimeSeparator:
        return static_cast<unsigned char>(FormatSettings.TimeSeparator);
    default:
        return Position.Char;
    }
}

std::string FormatMaskText(const TEditMaskInfo& Mask, std::string_view Value, char32_t Blank) {
    const std::u32string value = Utf8ToCodePoints(Value);
    std::u32string shown(Mask.Positions.size(), Blank);
    size_t taken = 0;
    auto next = [&]() -> const char32_t* {
        if (taken >= value.size()) return nullptr;
        return &value[Mask.FillFromRight ? value.size() - 1 - taken : taken];
    };
    WalkPositions(Mask, [&](size_t i) {
        const TMaskPosition& position = Mask.Positions[i];
        const char32_t* c = next();
        if (position.IsLiteral()) {
            shown[i] = MaskLiteralChar(position);
            if (Mask.SaveLiterals && c && *c == shown[i]) ++taken;
            return;
        }
        if (!c) return;
        ++taken;
        if (*c != U' ') shown[i] = ToCase(*c, position.Case);
    });
    return Utf8FromCodePoints(shown);
}

std::string MaskTextValue(const TEditMaskInfo& Mask, std::string_view EditText) {
    const std::u32string text = Utf8ToCodePoints(EditText);
    std::u32string value;
    for (size_t i = 0; i < text.size(); ++i)
        if (i >= Mask.Positions.size() || !Mask.Positions[i].IsLiteral()) value += text[i];
    if (Mask.FillFromRight)
        value.erase(0, std::min(value.find_first_not_of(Mask.Blank), value.size()));
    else
        value.erase(value.find_last_not_of(Mask.Blank) + 1);
    for (char32_t& c : value)
        if (c == Mask.Blank) c = U' ';
    if (Mask.SaveLiterals) return FormatMaskText(Mask, Utf8FromCodePoints(value), U' ');
    return Utf8FromCodePoints(value);
}

bool MaskCharFits(const TMaskPosition& Position, char32_t& C) {
    const char32_t c = ToCase(C, Position.Case);
    bool fits = false;
    switch (Position.Type) {
    case TMaskCharType::Digit:
        fits = IsDigit(c);
        break;
    case TMaskCharType::DigitOrSign:
        fits = IsDigit(c) || c == U'+' || c == U'-';
        break;
    case TMaskCharType::Letter:
        fits = IsLetter(c);
        break;
    case TMaskCharType::LetterOrDigit:
        fits = IsLetter(c) || IsDigit(c);
        break;
    case TMaskCharType::AnyChar:
        fits = true;
        break;
    default:
        break;
    }
    if (fits) C = c;
    return fits;
}

size_t FirstUnfilledMaskPosition(const TEditMaskInfo& Mask, std::string_view EditText, bool IgnoreBlank) {
    const std::u32string text = Utf8ToCodePoints(EditText);
    for (size_t i = 0; i < Mask.Positions.size(); ++i) {
        const TMaskPosition& position = Mask.Positions[i];
        if (position.IsLiteral() || !position.Required) continue;
        const char32_t c = i < text.size() ? text[i] : Mask.Blank;
        const bool blank = c == Mask.Blank && !IgnoreBlank;
        const bool space = c == U' ' && position.Type != TMaskCharType::AnyChar && !(IgnoreBlank && c == Mask.Blank);
        if (blank || space) return i;
    }
    return std::string::npos;
}

size_t NextInputPosition(const TEditMaskInfo& Mask, size_t Pos) {
    while (Pos < Mask.Positions.size() && Mask.Positions[Pos].IsLiteral())
        ++Pos;
    return std::min(Pos, Mask.Positions.size());
}

size_t PrevInputPosition(const TEditMaskInfo& Mask, size_t Pos) {
    for (size_t i = std::min(Pos, Mask.Positions.size()); i-- > 0;)
        if (!Mask.Positions[i].IsLiteral()) return i;
    return std::string::npos;
}
