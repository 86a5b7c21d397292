// The drop-down's value list: values kept once in value order whatever kinds
// a column mixes, the cap, upper-casing without case, and appending.
#include "dbgrid/FilterValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Texts(const TcvDBGridFilterValues& Values) {
    std::vector<std::string> texts;
    for (int i = 0; i < Values.Count(); ++i)
        texts.push_back(Values.Get(i));
    return texts;
}

struct TShown {
    const char* Text;
    Variant Value;
};

// Values that a plain "-1 when the pair cannot be compared" order scatters:
// strings that are no numbers beside numbers, Null, booleans, dates.
const std::vector<TShown> MixedKinds = {
    {"abc", "abc"},
    {"5", 5},
    {"5.0", 5.0},
    {"five", "5"},
    {"Null", Null()},
    {"True", true},
    {"2.5", 2.5},
    {"date", Variant::FromDateTime(45000)},
    {"money", Variant::FromCurrency(50000)},
    {"x", "x"},
    {"-3", int16_t(-3)},
    {"big", int64_t(1) << 40},
};

TEST(FilterValuesTest, MixedKindsAreListedOnceAndAllFoundInAnyOrder) {
    // Each row adds the same values, in another order, twice over.
    const std::vector<std::vector<int>> orders = {
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
        {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0},
        {3, 0, 9, 1, 4, 6, 2, 11, 5, 8, 10, 7},
        {4, 4, 2, 1, 8, 3, 3, 0, 9, 9, 7, 5, 6, 10, 11},
    };
    for (const std::vector<int>& order : orders) {
        TcvDBGridFilterValues values;
        for (int pass = 0; pass < 2; ++pass)
            for (int i : order)
                EXPECT_NO_THROW(values.AddValue(MixedKinds[i].Text, MixedKinds[i].Value, false));
        // 5, 5.0 and the currency 5 are one value; the others differ.
        EXPECT_EQ(values.Count(), int(MixedKinds.size()) - 2);
        for (int i = 1; i < values.Count(); ++i)
            EXPECT_LT(values.CompareValues(values.Value(i - 1), values.Value(i)), 0) << "in order at " << i;
        for (const TShown& shown : MixedKinds) {
            int index = -1;
            EXPECT_TRUE(values.FindValue(shown.Value, index)) << shown.Text;
        }
    }
}

TEST(FilterValuesTest, AMissTellsWhereTheValueWouldGo) {
    TcvDBGridFilterValues values;
    for (int v : {10, 30, 20})
        values.AddValue(std::to_string(v), v, false);
    EXPECT_EQ(Texts(values), (std::vector<std::string>{"10", "20", "30"}));
    const struct {
        Variant Value;
        bool Found;
        int Index;
    } cases[] = {{5, false, 0}, {10, true, 0}, {25, false, 2}, {30.0, true, 2}, {"10", false, 3}, {Null(), false, 0}};
    for (const auto& c : cases) {
        int index = -1;
        EXPECT_EQ(values.FindValue(c.Value, index), c.Found) << c.Value.AsString();
        EXPECT_EQ(index, c.Index) << c.Value.AsString();
    }
}

TEST(FilterValuesTest, MaxCountCapsDistinctValuesOnly) {
    TcvDBGridFilterValues values;
    values.SetMaxCount(3);
    for (const char* v : {"b", "b", "a", "b", "d", "a", "c", "e"})
        values.AddValue(v, v, false);
    // The first three distinct values met, in value order.
    EXPECT_EQ(Texts(values), (std::vector<std::string>{"a", "b", "d"}));
}

TEST(FilterValuesTest, WithoutCaseStringsCollapseUpperCased) {
    TcvDBGridFilterValues values;
    values.SetCaseInsensitive(true);
    values.AddValue("abc", "abc", false);
    values.AddValue("ABC", "ABC", false);
    values.AddValue("Abc", Variant::FromOleStr("Abc"), false);
    values.AddValue("number 7", 7, false);
    EXPECT_EQ(Texts(values), (std::vector<std::string>{"number 7", "ABC"}));
    EXPECT_EQ(values.Value(1).AsString(), "ABC");
    int index = -1;
    EXPECT_TRUE(values.FindValue("aBc", index));
    EXPECT_EQ(index, 1);

    values.SetCaseInsensitive(false);
    EXPECT_FALSE(values.FindValue("aBc", index));
}

TEST(FilterValuesTest, AppendGoesLastUncheckedAndFindingMeetsTheFirstEqual) {
    TcvDBGridFilterValues values;
    values.SetMaxCount(1);
    values.AddValue("1", 1, false);
    values.AddValue("2", 2, true);
    values.AddValue("2 again", 2, true);
    values.AddValue("3", 3, false);
    EXPECT_EQ(Texts(values), (std::vector<std::string>{"1", "2", "2 again"}));
    int index = -1;
    EXPECT_TRUE(values.FindValue(2, index));
    EXPECT_EQ(index, 1);
    values.Delete(0);
    values.Clear();
    EXPECT_EQ(values.Count(), 0);
}

} // namespace
