// The edit-mask engine on its own: how masks read, values laid in and taken
// back out, required positions, and which typed character fits where.
#include "platform/ui/EditMask.h"

#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every case runs under a time separator other than ":" and a date separator
// other than "/", so the international literals show.
struct SeparatorScope {
    TFormatSettings Saved = FormatSettings;
    SeparatorScope() {
        FormatSettings.DateSeparator = '.';
        FormatSettings.TimeSeparator = 'h';
    }
    ~SeparatorScope() { FormatSettings = Saved; }
};

constexpr size_t None = std::string::npos;

} // namespace

TEST(EditMask, FieldsOfTheMaskString) {
    struct Case {
        const char* Mask;
        size_t MaxChars;
        bool SaveLiterals;
        char32_t Blank;
        bool FillFromRight;
    };
    const Case cases[] = {
        {"", 0, true, U'_', false},
        {"000", 3, true, U'_', false},
        {"000;0", 3, false, U'_', false},
        {"000;0;*", 3, false, U'*', false},
        {"00:00:00;1;0", 8, true, U'0', false},
        {"!9999-99-99;1; ", 10, true, U' ', true},
        {"9999年99月;0;_", 8, false, U'_', false},
        {"99;;#", 2, true, U'#', false},
        // A ";" far from the end is a literal of the pattern.
        {"0;00000", 7, true, U'_', false},
        // "\" makes the next character a literal, directives take no position.
        {">\\0<>L!", 2, true, U'_', true},
    };
    for (const Case& c : cases) {
        const TEditMaskInfo info = ParseEditMask(c.Mask);
        EXPECT_EQ(info.MaxChars(), c.MaxChars) << c.Mask;
        EXPECT_EQ(info.SaveLiterals, c.SaveLiterals) << c.Mask;
        EXPECT_EQ(info.Blank, c.Blank) << c.Mask;
        EXPECT_EQ(info.FillFromRight, c.FillFromRight) << c.Mask;
    }
}

TEST(EditMask, ValuesLaidInAndTakenBackOut) {
    struct Case {
        const char* Mask;
        const char* Value;
        const char* Shown;
        const char* Back;
    };
    const Case cases[] = {
        // A blank "0" is no digit in the value: every "0" comes back a space.
        {"00:00:00;1;0", "", "00h00h00", "  h  h  "},
        {"00:00:00;1;0", "12h30h45", "12h30h45", "12h3 h45"},
        {"99/99/9999;1;_", "01.02", "01.02.____", "01.02.    "},
        {">LL<ll;0;_", "abcd", "ABcd", "ABcd"},
        {">LL<ll-99;0;_", "ABCD12", "ABcd-12", "ABcd12"},
        {"9999年99月;0;_", "2024", "2024年__月", "2024"},
        {"9999年99月;0;_", "20245", "2024年5_月", "20245"},
        {"9999-99;1;_", "202405", "2024-05", "2024-05"},
        {"9999-99;1;_", "2024-05", "2024-05", "2024-05"},
        {"0000;0;_", "1 3", "1_3_", "1 3"},
        // "!" fills from the right and cuts leading blanks.
        {"!9999;0;_", "12", "__12", "12"},
        {"!9999-99-99;1; ", "2024-03-05", "2024-03-05", "2024-03-05"},
        {"CCCC;0;_", "中文", "中文__", "中文"},
    };
    SeparatorScope separators;
    for (const Case& c : cases) {
        const TEditMaskInfo info = ParseEditMask(c.Mask);
        EXPECT_EQ(FormatMaskText(info, c.Value), c.Shown) << c.Mask << " <- " << c.Value;
        EXPECT_EQ(MaskTextValue(info, c.Shown), c.Back) << c.Mask << " <- " << c.Value;
    }
}

TEST(EditMask, FirstRequiredPositionLeftUnfilled) {
    struct Case {
        const char* Mask;
        const char* Shown;
        bool IgnoreBlank;
        size_t Unfilled;
    };
    const Case cases[] = {
        {"0000;0;_", "1234", false, None}, {"0000;0;_", "12_4", false, 2},   {"0000;0;_", "12_4", true, None},
        {"0000;0;_", "1 34", true, 1},     {"99-00;1;_", "__-1_", false, 4}, {"LLCC;0;_", "ab  ", false, None},
        {"00;0;_", "1", false, 1},         {"00:00;1;0", "00:00", false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstUnfilledMaskPosition(ParseEditMask(c.Mask), c.Shown, c.IgnoreBlank), c.Unfilled)
            << c.Mask << " " << c.Shown;
}

TEST(EditMask, TypedCharacterFitsItsPosition) {
    struct Case {
        char32_t Pattern;
        const char* Directive;
        char32_t Typed;
        char32_t Placed; // 0: refused
    };
    const Case cases[] = {
        {U'0', "", U'7', U'7'},   {U'9', "", U'x', 0},     {U'#', "", U'-', U'-'},  {U'#', "", U'+', U'+'},
        {U'#', "", U'a', 0},      {U'L', ">", U'q', U'Q'}, {U'l', "<", U'Q', U'q'}, {U'L', "", U'5', 0},
        {U'L', "", U'中', U'中'}, {U'A', "", U'5', U'5'},  {U'a', "", U'-', 0},     {U'C', "", U' ', U' '},
        {U'c', ">", U'b', U'B'},  {U'-', "", U'-', 0},
    };
    for (const Case& c : cases) {
        const std::string mask = std::string(c.Directive) + static_cast<char>(c.Pattern);
        char32_t typed = c.Typed;
        const bool fits = MaskCharFits(ParseEditMask(mask).Positions[0], typed);
        EXPECT_EQ(fits, c.Placed != 0) << mask << " " << static_cast<unsigned>(c.Typed);
        if (fits) {
            EXPECT_EQ(typed, c.Placed) << mask;
        }
    }
}

TEST(EditMask, InputPositionsSkipLiterals) {
    const TEditMaskInfo info = ParseEditMask("(99)-99;0;_");
    EXPECT_EQ(NextInputPosition(info, 0), 1u);
    EXPECT_EQ(NextInputPosition(info, 3), 5u);
    EXPECT_EQ(NextInputPosition(info, 7), 7u);
    EXPECT_EQ(PrevInputPosition(info, 5), 2u);
    EXPECT_EQ(PrevInputPosition(info, 1), None);
}
