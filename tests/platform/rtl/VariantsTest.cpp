// Variant: the framework's conversions between kinds and the total order
// the data layer sorts and searches with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/rtl/Variants.h"

namespace {

TEST(VariantTest, KindsReportTheirTypeCodes) {
    EXPECT_EQ(VarType(Variant()), varEmpty);
    EXPECT_EQ(VarType(Null()), varNull);
    EXPECT_EQ(VarType(Variant(int16_t(1))), varSmallint);
    EXPECT_EQ(VarType(Variant(1)), varInteger);
    EXPECT_EQ(VarType(Variant(int64_t(1))), varInt64);
    EXPECT_EQ(VarType(Variant(1.5)), varDouble);
    EXPECT_EQ(VarType(Variant::FromCurrency(15000)), varCurrency);
    EXPECT_EQ(VarType(VarFromDateTime(1.5)), varDate);
    EXPECT_EQ(VarType(Variant("a")), varString);
    EXPECT_EQ(VarType(Variant(true)), varBoolean);
    EXPECT_EQ(VarType(Variant::FromSingle(1.5f)), varSingle);
    EXPECT_EQ(VarType(Variant::FromOleStr("a")), varOleStr);
    EXPECT_TRUE(VarIsStr(Variant::FromOleStr("a")) && VarIsStr(Variant("a")) && !VarIsStr(Variant(1)));
    EXPECT_TRUE(VarIsEmpty(Unassigned()));
    EXPECT_TRUE(VarIsNull(Null()));
    EXPECT_FALSE(VarIsNull(Variant("")));
}

TEST(VariantTest, ConversionsBetweenKinds) {
    EXPECT_EQ(Variant("42").AsInteger(), 42);
    EXPECT_EQ(Variant(" 42 ").AsInteger(), 42);
    EXPECT_EQ(Variant("2.5").AsInteger(), 2) << "half to even";
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_DOUBLE_EQ(Variant("1.25").AsFloat(), 1.25);
    EXPECT_EQ(Variant(0.1 + 0.2).AsString(), "0.3");
    EXPECT_EQ(Variant::FromCurrency(123450).AsString(), "12.345");
    EXPECT_EQ(Variant::FromCurrency(125000).AsInteger(), 12) << "12.5 rounds to even";
    EXPECT_EQ(Variant(2.5).AsCurrency(), 25000);
    EXPECT_EQ(Variant("3.14159").AsCurrency(), 31416);
    EXPECT_EQ(Variant(false).AsString(), "False");
    EXPECT_TRUE(Variant("true").AsBoolean());
    EXPECT_TRUE(Variant(2).AsBoolean());
    EXPECT_EQ(VarFromDateTime(EncodeDate(2024, 3, 5)).AsString(), "2024-03-05");
    for (const char* text : {"2024-03-05", "2024/3/5", "2024.3.5", "2024 3  5",
                             "2024\xE5\xB9\xB4"
                             "3\xE6\x9C\x88"
                             "5\xE6\x97\xA5"})
        EXPECT_EQ(Variant(text).AsDateTime(), EncodeDate(2024, 3, 5)) << text;
    EXPECT_EQ(Variant("2024/3/5 10:30").AsDateTime(), EncodeDate(2024, 3, 5) + EncodeTime(10, 30, 0, 0));
    EXPECT_EQ(Variant(int64_t(5000000000)).AsInt64(), 5000000000);
}

TEST(VariantTest, UnassignedAndNullReadAsTheFrameworkReadsThem) {
    EXPECT_EQ(Unassigned().AsInteger(), 0);
    EXPECT_EQ(Unassigned().AsString(), "");
    EXPECT_FALSE(Unassigned().AsBoolean());
    EXPECT_EQ(VarToStr(Null()), "");
    EXPECT_EQ(Null().AsString(), "");
    EXPECT_THROW(Null().AsInteger(), EConvertError);
    EXPECT_THROW(Null().AsFloat(), EConvertError);
    EXPECT_THROW(Null().AsDateTime(), EConvertError);
}

TEST(VariantTest, TextThatIsNoNumberRaisesEConvertError) {
    for (const char* text : {"abc", "", "1,5", "12x"}) {
        EXPECT_THROW(Variant(text).AsInteger(), EConvertError) << text;
        EXPECT_THROW(Variant(text).AsFloat(), EConvertError) << text;
    }
    try {
        Variant("abc").AsInteger();
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (String) into type (Integer)");
    }
    EXPECT_THROW(Variant(int64_t(5000000000)).AsInteger(), EConvertError) << "out of Integer range";
    EXPECT_THROW(Variant("maybe").AsBoolean(), EConvertError);
    EXPECT_THROW(Variant("x").AsDateTime(), EConvertError);
}

TEST(VariantTest, VarCompareIsATotalOrder) {
    const std::vector<Variant> values = {
        Unassigned(),
        Null(),
        Variant(false),
        Variant(true),
        Variant(std::nan("")),
        Variant(-1e300),
        Variant(int16_t(-2)),
        Variant(1),
        Variant::FromSingle(1.25f),
        Variant::FromCurrency(15000),
        Variant(1.5000001),
        Variant(int64_t(2)),
        Variant(9007199254740993LL),
        VarFromDateTime(-1),
        VarFromDateTime(45000),
        Variant(""),
        Variant("A"),
        Variant("a"),
        Variant::FromOleStr("b"),
        Variant("\xE4\xB8\xAD"),
    };
    // Listed in ascending order: every pair compares as its positions do.
    for (size_t i = 0; i < values.size(); ++i)
        for (size_t j = 0; j < values.size(); ++j) {
            const int expected = (i > j) - (i < j);
            EXPECT_EQ(VarCompare(values[i], values[j]), expected) << i << " vs " << j;
        }
}

TEST(VariantTest, NumbersCompareByValueAcrossKinds) {
    EXPECT_EQ(VarCompare(Variant(2), Variant(2.0)), 0);
    EXPECT_EQ(VarCompare(Variant(int16_t(3)), Variant(int64_t(3))), 0);
    EXPECT_EQ(VarCompare(Variant::FromCurrency(25000), Variant(2.5)), 0);
    EXPECT_EQ(VarCompare(Variant::FromCurrency(999900), Variant(99.99)), 0) << "money typed as a float";
    EXPECT_EQ(VarCompare(Variant(9007199254740993LL), Variant(9007199254740992.0)), 1)
        << "no precision lost against a double";
    EXPECT_TRUE(Variant(2) == Variant(2.0));
    EXPECT_FALSE(Variant("2") == Variant(2)) << "text and numbers keep their ranks";
    EXPECT_EQ(VarCompare(Variant(std::nan("")), Variant(std::nan(""))), 0);
}

TEST(VariantTest, SingleAndOleStrConvertAndCompareAsNumbersAndTexts) {
    const Variant single = Variant::FromSingle(0.1f);
    EXPECT_EQ(single.AsString(), "0.1") << "a Single shows its own precision";
    EXPECT_EQ(single.AsFloat(), double(0.1f));
    EXPECT_EQ(Variant::FromSingle(2.5f).AsInteger(), 2);
    EXPECT_EQ(Variant::FromSingle(2.5f).AsCurrency(), 25000);
    EXPECT_EQ(VarCompare(Variant::FromSingle(2.5f), Variant(2.5)), 0);
    EXPECT_EQ(VarCompare(single, Variant(0.1)), 1) << "compared by the value it holds, 0.100000001...";
    EXPECT_TRUE(single.IsNumeric());

    const Variant wide = Variant::FromOleStr("\xF0\x9F\x98\x80 42");
    EXPECT_EQ(wide.AsString(), "\xF0\x9F\x98\x80 42");
    EXPECT_EQ(VarCompare(wide, Variant("\xF0\x9F\x98\x80 42")), 0) << "equal to the String of its text";
    EXPECT_EQ(Variant::FromOleStr(" 42 ").AsInteger(), 42);
    EXPECT_EQ(Variant::FromOleStr("2024-03-05").AsDateTime(), EncodeDate(2024, 3, 5));
    EXPECT_TRUE(Variant::FromOleStr("true").AsBoolean());
    try {
        Variant::FromOleStr("x").AsFloat();
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (OleStr) into type (Double)");
    }
}

TEST(VariantTest, SortingMixedValuesNeverThrows) {
    std::vector<Variant> values = {Variant("b"),       Null(),       Variant(3),
                                   Variant(true),      Unassigned(), Variant(1.5),
                                   VarFromDateTime(2), Variant("a"), Variant::FromCurrency(10000)};
    std::sort(values.begin(), values.end(), [](const Variant& a, const Variant& b) { return VarCompare(a, b) < 0; });
    std::vector<std::string> order;
    for (const Variant& v : values)
        order.push_back(v.IsEmpty() ? "<empty>" : v.IsNull() ? "<null>" : v.AsString());
    EXPECT_EQ(order, (std::vector<std::string>{"<empty>", "<null>", "True", "1", "1.5", "3", "1900-01-01", "a", "b"}));
}

} // namespace
