// UTF-8 character helpers and the GBK boundary: byte lengths of mixed text,
// cutting at a byte limit, conversion both ways, and what happens to characters
// GBK lacks.
#include <gtest/gtest.h>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Utf8.h"

namespace {

// 中文 (two GBK characters), the euro sign (one byte in code page 936) and a
// grinning face (no GBK form at all).
const std::string Chinese = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string Euro = "\xE2\x82\xAC";
const std::string Emoji = "\xF0\x9F\x98\x80";

TEST(CodePageTest, GbkByteLengthOfMixedText) {
    const struct {
        std::string Text;
        size_t Bytes;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {Chinese, 4},
        {"ab" + Chinese + "12", 8},
        {"\xE3\x80\x81\xEF\xBC\x8C", 4}, // ideographic comma and full-width comma
        {Euro, 1},
        {Emoji, 1}, // unrepresentable: counts as its '?'
        {"a" + Emoji + Chinese, 6},
        {"\xFF", 1}, // a stray byte: one '?'
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GbkByteLength(c.Text), c.Bytes) << c.Text;
        EXPECT_EQ(Utf8ToGbk(c.Text).size(), c.Bytes) << "length agrees with the conversion: " << c.Text;
    }
}

TEST(CodePageTest, FittingPrefixCutsAtWholeCharacters) {
    const struct {
        std::string Text;
        size_t MaxBytes;
        std::string Fits;
    } cases[] = {
        {"abc", 2, "ab"},
        {"abc", 5, "abc"},
        {Chinese, 3, "\xE4\xB8\xAD"}, // the second character would need a fourth byte
        {Chinese, 1, ""},
        {"a" + Chinese, 2, "a"},
        {Emoji + "ab", 2, Emoji + "a"}, // the unrepresentable character takes its '?'
        {Euro + Chinese, 3, Euro + "\xE4\xB8\xAD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Text.substr(0, GbkFittingPrefix(c.Text, c.MaxBytes)), c.Fits) << c.Text << " in " << c.MaxBytes;
}

TEST(CodePageTest, ConversionRoundTripsAndMarksWhatGbkLacks) {
    EXPECT_EQ(Utf8ToGbk(Chinese), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(GbkToUtf8("\xD6\xD0\xCE\xC4"), Chinese);
    const std::string mixed = "Report " + Chinese + " 2024.zip";
    EXPECT_EQ(GbkToUtf8(Utf8ToGbk(mixed)), mixed);
    EXPECT_EQ(Utf8ToGbk("a" + Emoji + "b"), "a?b");
    // An undecodable byte and a lead byte cut off at the end both become '?'.
    EXPECT_EQ(GbkToUtf8("a\xFF"
                        "b\xD6"),
              "a?b?");
    EXPECT_TRUE(IsGbkRepresentable(mixed));
    EXPECT_FALSE(IsGbkRepresentable("a" + Emoji));
    EXPECT_FALSE(IsGbkRepresentable("\xFF"));
}

TEST(Utf8Test, CountsAndCopiesWholeCharacters) {
    const std::string text = "a" + Chinese + Emoji + "z"; // 5 characters, 12 bytes
    EXPECT_EQ(Utf8Length(text), 5u);
    EXPECT_EQ(Utf8Copy(text, 1, 2), Chinese);
    EXPECT_EQ(Utf8Copy(text, 3), Emoji + "z");
    EXPECT_EQ(Utf8Copy(text, 9, 2), "");
    EXPECT_EQ(Utf8ByteOffset(text, 3), 7u);
    EXPECT_EQ(Utf8ByteOffset(text, 99), text.size());
    EXPECT_EQ(Utf8CharIndex(text, 7), 3u);
    EXPECT_EQ(Utf8Pos(Emoji, text), 3u);
    EXPECT_EQ(Utf8Pos("z", text, 4), 4u);
    EXPECT_EQ(Utf8Pos("a", text, 1), Utf8NotFound);
    EXPECT_EQ(Utf8Pos("\xB8\xAD", text), Utf8NotFound) << "bytes inside a character are no match";
    EXPECT_EQ(Utf8Pos("", text, 5), 5u);
    EXPECT_EQ(Utf8Pos("", text, 6), Utf8NotFound);
    EXPECT_EQ(Utf8CodePointAt(text, 7), U'\U0001F600');
    EXPECT_EQ(Utf8FromCodePoint(U'\u4E2D'), "\xE4\xB8\xAD");
}

TEST(Utf8Test, BoundariesStepOverWholeCharactersFromAnywhere) {
    const std::string text = "a" + Chinese; // bytes: a | E4 B8 AD | E6 96 87
    EXPECT_EQ(Utf8NextCharBoundary(text, 0), 1u);
    EXPECT_EQ(Utf8NextCharBoundary(text, 1), 4u);
    EXPECT_EQ(Utf8NextCharBoundary(text, 2), 4u) << "from inside a character";
    EXPECT_EQ(Utf8NextCharBoundary(text, 7), 7u);
    EXPECT_EQ(Utf8PrevCharBoundary(text, 7), 4u);
    EXPECT_EQ(Utf8PrevCharBoundary(text, 5), 4u);
    EXPECT_EQ(Utf8PrevCharBoundary(text, 4), 1u);
    EXPECT_EQ(Utf8PrevCharBoundary(text, 0), 0u);
}

TEST(Utf8Test, InvalidBytesCountAsOneCharacterEach) {
    const std::string text = "a\xFF\xE4\xB8"
                             "b"; // stray byte, truncated sequence
    EXPECT_EQ(Utf8Length(text), 5u);
    EXPECT_FALSE(Utf8IsValid(text));
    EXPECT_TRUE(Utf8IsValid("a" + Chinese));
    EXPECT_FALSE(Utf8IsValid("\xC0\xAF")) << "overlong form";
    EXPECT_FALSE(Utf8IsValid("\xED\xA0\x80")) << "surrogate";
    EXPECT_EQ(Utf8CodePointAt(text, 1), U'\uFFFD');
}

} // namespace
