// Conversions and formatting: the number tables the rest of the program shows
// and parses through.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/SysUtils.h"

namespace {

// Restores the global settings whatever a test changes.
class SysUtilsTest : public ::testing::Test {
protected:
    void TearDown() override {
        FormatSettings = TFormatSettings();
        RegionalSettings = TFormatSettings();
    }
};

TEST_F(SysUtilsTest, DayNamesAndWeekStartFollowAChineseDesktop) {
    const std::string shortest[7] = {"日", "一", "二", "三", "四", "五", "六"};
    for (int day = 0; day < 7; ++day)
        EXPECT_EQ(FormatSettings.ShortestDayNames[day], shortest[day]) << day;
    EXPECT_EQ(FormatSettings.FirstDayOfWeek, 0) << "the week starts on Monday";
}

TEST_F(SysUtilsTest, GetFormatSettingsReadsTheRegionalSettingsAgain) {
    FormatSettings.DateSeparator = '.';
    RegionalSettings.FirstDayOfWeek = 6;
    RegionalSettings.ShortestDayNames[0] = "Su";
    GetFormatSettings();
    EXPECT_EQ(FormatSettings.DateSeparator, '-') << "what the program changed gives way";
    EXPECT_EQ(FormatSettings.FirstDayOfWeek, 6);
    EXPECT_EQ(FormatSettings.ShortestDayNames[0], "Su");
}

TEST_F(SysUtilsTest, FloatToStrShowsFifteenSignificantDigits) {
    const struct {
        double Value;
        const char* Text;
    } cases[] = {
        {0.1 + 0.2, "0.3"},
        {0, "0"},
        {-1.5, "-1.5"},
        {1.0 / 3, "0.333333333333333"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"},
        {1e20, "1E20"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {1.5e-7, "1.5E-7"},
        {2.675, "2.675"},
        {100, "100"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStr(c.Value), c.Text) << c.Value;
    EXPECT_EQ(FloatToStr(INFINITY), "INF");
    EXPECT_EQ(FloatToStr(-INFINITY), "-INF");
    EXPECT_EQ(FloatToStr(NAN), "NAN");
}

TEST_F(SysUtilsTest, FloatToStrUsesTheDecimalSeparator) {
    FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(FloatToStr(2.5), "2,5");
}

TEST_F(SysUtilsTest, FormatFloatTable) {
    const struct {
        const char* Format;
        double Value;
        const char* Text;
    } cases[] = {
        {"0.00", 2.675, "2.68"}, // decimal rounding of the 15-digit value
        {"0.00", 1.005, "1.01"},
        {"0.00", -0.5, "-0.50"},
        {"#.##", 0.5, ".5"},
        {"#.##", 3, "3"},
        {"0.##", 3.1, "3.1"},
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0", -1234, "-1,234"},
        {"#,##0", 999.5, "1,000"},
        {"000", 7, "007"},
        {"0", 0.5, "1"},
        {"0", 2.5, "3"},
        {"#", 0, ""},
        {"0.00;(0.00)", -3.14159, "(3.14)"},
        {"0.00;(0.00);'zero'", 0, "zero"},
        {"0.00;(0.00);'zero'", -0.001, "zero"},
        {"0.00;;'none'", 0, "none"},
        {"0.00", -0.001, "0.00"},
        {"0.00E+00", 1234.5, "1.23E+03"},
        {"0.00E-00", 0.00012345, "1.23E-04"},
        {"0.00E-00", 1234.5, "1.23E03"},
        {"00.0E+0", 1234.5, "12.3E+2"},
        {"0.0e+00", 9.96, "1.0e+01"},
        {"'No. '0", 42, "No. 42"},
        {"\"\xC2\xA5\"#,##0.00", 1234.5,
         "\xC2\xA5"
         "1,234.50"},
        {"0.0 'kg'", 12.34, "12.3 kg"},
        {"0.00 \"a;b\"", 1, "1.00 a;b"},
        {"", 0.1 + 0.2, "0.3"},
        {"#,##0.00", 1e20, "1E20"},
        {"0.00E+00", 1e20, "1.00E+20"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.Format, c.Value), c.Text) << c.Format << " " << c.Value;
}

TEST_F(SysUtilsTest, FormatFloatUsesTheSeparatorsOfTheSettings) {
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1.234,50");
}

TEST_F(SysUtilsTest, StrToFloatIsStrictAndTrimmed) {
    const struct {
        const char* Text;
        bool Valid;
        double Value;
    } cases[] = {
        {"1.5", true, 1.5},  {"  -2.25\t", true, -2.25}, {"+3", true, 3},     {".5", true, 0.5},   {"5.", true, 5},
        {"1e3", true, 1000}, {"1E-2", true, 0.01},       {"1e-400", true, 0}, {"", false, 0},      {" ", false, 0},
        {"1,000", false, 0}, {"1.2.3", false, 0},        {"abc", false, 0},   {"12abc", false, 0}, {"1e", false, 0},
        {"1e999", false, 0}, {"inf", false, 0},          {"nan", false, 0},   {"0x10", false, 0},  {"- 1", false, 0},
        {".", false, 0},     {"1 2", false, 0},
    };
    for (const auto& c : cases) {
        double v = -99;
        EXPECT_EQ(TryStrToFloat(c.Text, v), c.Valid) << "'" << c.Text << "'";
        if (c.Valid)
            EXPECT_DOUBLE_EQ(v, c.Value) << c.Text;
        else
            EXPECT_EQ(v, -99) << "a failed parse leaves the value alone";
    }
    try {
        StrToFloat("12abc");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'12abc' is not a valid floating point value");
    }
    EXPECT_EQ(StrToFloatDef("x", 7.5), 7.5);
}

TEST_F(SysUtilsTest, StrToFloatReadsOnlyTheConfiguredDecimalSeparator) {
    FormatSettings.DecimalSeparator = ',';
    EXPECT_DOUBLE_EQ(StrToFloat("2,5"), 2.5);
    double v = 0;
    EXPECT_FALSE(TryStrToFloat("2.5", v));
}

TEST_F(SysUtilsTest, StrToIntIsDecimalAndTrimmed) {
    EXPECT_EQ(StrToInt(" 42 "), 42);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483648LL);
    EXPECT_EQ(StrToInt("+7"), 7);
    for (const char* bad : {"", "2147483648", "1.0", "$10", "0x10", "12 3", "--1", "+-1"}) {
        Integer v = 0;
        EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
    }
    EXPECT_EQ(StrToIntDef("x", -1), -1);
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    try {
        StrToInt("abc");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
    }
}

TEST_F(SysUtilsTest, RoundGoesHalfToEven) {
    const struct {
        double Value;
        Int64 Rounded;
    } cases[] = {{0.5, 0},   {1.5, 2},    {2.5, 2},    {-0.5, 0},  {-1.5, -2},
                 {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {4503599627370497.0, 4503599627370497LL}};
    for (const auto& c : cases)
        EXPECT_EQ(Round(c.Value), c.Rounded) << c.Value;
    EXPECT_THROW(Round(1e19), EConvertError);
    EXPECT_THROW(Round(NAN), EConvertError);
}

TEST_F(SysUtilsTest, FormatHandlesTheUsualSpecifiers) {
    EXPECT_EQ(Format("%s has %d rows", "KJJHSB", 3), "KJJHSB has 3 rows");
    EXPECT_EQ(Format("[%11d]", 42), "[         42]");
    EXPECT_EQ(Format("[%-5d]", 42), "[42   ]");
    EXPECT_EQ(Format("%.4d", -7), "-0007");
    EXPECT_EQ(Format("%.2f", 2.675), "2.68");
    EXPECT_EQ(Format("%f", 1.0), "1.00");
    EXPECT_EQ(Format("%x", 255), "FF");
    EXPECT_EQ(Format("%x", -1), "FFFFFFFF");
    EXPECT_EQ(Format("%.4x", 10), "000A");
    EXPECT_EQ(Format("%n", 1234567.5), "1,234,567.50");
    EXPECT_EQ(Format("%e", 1234.5), "1.23450000000000E+003");
    EXPECT_EQ(Format("%g", 0.1 + 0.2), "0.3");
    EXPECT_EQ(Format("%m", -5.0), "\xC2\xA5-5.00");
    EXPECT_EQ(Format("%1:s %0:s %s", "a", "b"), "b a b");
    EXPECT_EQ(Format("%*d|%.*f", 4, 7, 1, 2.25), "   7|2.3");
    EXPECT_EQ(Format("100%%"), "100%");
    EXPECT_EQ(Format("%.2s", "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97"), "\xE4\xB8\xAD\xE6\x96\x87");
    // A Chinese character takes two columns, as on the original screen.
    EXPECT_EQ(Format("[%6s]", "\xE4\xB8\xAD\xE6\x96\x87"), "[  \xE4\xB8\xAD\xE6\x96\x87]");
}

TEST_F(SysUtilsTest, FormatRejectsArgumentsThatDoNotFit) {
    EXPECT_THROW(Format("%d", "text"), EConvertError);
    EXPECT_THROW(Format("%s", 1), EConvertError);
    EXPECT_THROW(Format("%d %d", 1), EConvertError);
    EXPECT_THROW(Format("%q", 1), EConvertError);
    EXPECT_THROW(Format("50%"), EConvertError);
}

TEST_F(SysUtilsTest, TrimRemovesEveryControlCharacter) {
    EXPECT_EQ(Trim("\t\r\n \x01 a b \x1F\x7F"), "a b \x1F\x7F");
    EXPECT_EQ(Trim(" \t\n"), "");
    EXPECT_EQ(TrimLeft("  a  "), "a  ");
    EXPECT_EQ(TrimRight("  a  "), "  a");
    // The bytes of a Chinese character are above ' ' and stay.
    EXPECT_EQ(Trim(" \xE4\xB8\xAD "), "\xE4\xB8\xAD");
}

TEST_F(SysUtilsTest, CaseMappingAndComparison) {
    EXPECT_EQ(UpperCase("abc\xC3\xA9"), "ABC\xC3\xA9");
    EXPECT_EQ(AnsiUpperCase("abc\xC3\xA9"), "ABC\xC3\x89");
    EXPECT_EQ(AnsiLowerCase("\xEF\xBC\xA1"), "\xEF\xBD\x81"); // full-width A -> a
    EXPECT_EQ(CompareText("abc", "ABD"), -1);
    EXPECT_TRUE(SameText("Hello", "hELLO"));
    EXPECT_GT(CompareStr("a", "B"), 0);
    EXPECT_LT(AnsiCompareText("a", "B"), 0);
    EXPECT_EQ(AnsiCompareText("abc", "ABC"), 0);
    EXPECT_NE(AnsiCompareStr("abc", "ABC"), 0);
    // Chinese collation orders by pronunciation: an (安) before bei (北) before zhong (中).
    EXPECT_LT(AnsiCompareStr("\xE5\xAE\x89", "\xE5\x8C\x97"), 0);
    EXPECT_LT(AnsiCompareStr("\xE5\x8C\x97", "\xE4\xB8\xAD"), 0);
    EXPECT_GT(CompareStr("\xE5\xAE\x89", "\xE4\xB8\xAD"), 0) << "byte order differs from the collation";
    // Digit texts keep the collation's order: digit by digit, a prefix first.
    const struct {
        const char* S1;
        const char* S2;
        int Sign;
    } digitCases[] = {{"9", "10", 1}, {"10", "9", -1}, {"1", "10", -1}, {"007", "7", -1},
                      {"123", "123", 0}, {"10", "a", -1}, {"2", "10a", 1}};
    for (const auto& c : digitCases) {
        EXPECT_EQ((AnsiCompareText(c.S1, c.S2) > 0) - (AnsiCompareText(c.S1, c.S2) < 0), c.Sign) << c.S1 << " " << c.S2;
        EXPECT_EQ((AnsiCompareStr(c.S1, c.S2) > 0) - (AnsiCompareStr(c.S1, c.S2) < 0), c.Sign) << c.S1 << " " << c.S2;
    }
}

TEST_F(SysUtilsTest, QuotingAndReplacing) {
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiDequotedStr("\"a\"\"b\"", '"'), "a\"b");
    EXPECT_EQ(AnsiDequotedStr("plain", '"'), "plain");
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", {rfReplaceAll}), "a+b+c");
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", {}), "a+b-c");
    EXPECT_EQ(StringReplace("Xx", "x", "y", {rfReplaceAll, rfIgnoreCase}), "yy");
}

TEST_F(SysUtilsTest, CurrencyKeepsFourDecimalsExactly) {
    EXPECT_EQ(CurrToStr(123450), "12.345");
    EXPECT_EQ(CurrToStr(-10000), "-1");
    EXPECT_EQ(CurrToStr(5), "0.0005");
    EXPECT_EQ(StrToCurr("12.345"), 123450);
    EXPECT_EQ(StrToCurr("1.00005"), 10000); // half to even at the fourth decimal
    EXPECT_EQ(StrToCurr("1.00015"), 10002);
    EXPECT_THROW(StrToCurr("1,5"), EConvertError);
    EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2), "\xC2\xA5-1,234.50");
}

TEST_F(SysUtilsTest, AbortIsSilentEAbort) {
    try {
        Abort();
        FAIL() << "no exception";
    } catch (const EAbort& e) {
        EXPECT_EQ(e.Message(), "Operation aborted");
        EXPECT_STREQ(e.what(), "Operation aborted");
    }
}

} // namespace
