// The criteria block byte for byte: the tagged values, a block read back and
// written again unchanged, and damaged blocks refused without a large
// allocation or deep recursion.
#include "dbgrid/CriteriaStream.h"

#include "dbgrid/FilterCriteria.h"
#include "platform/rtl/Streams.h"
#include "tests/dbgrid/TestCriteria.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using criteriatest::TRowCriteria;

std::string Hex(const std::string& Bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : Bytes)
        hex += {digits[c >> 4], digits[c & 15]};
    return hex;
}

std::string FromHex(const std::string& Hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < Hex.size(); i += 2)
        bytes.push_back(char(std::stoi(Hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string Written(const TcvCriteria& Criteria) {
    TStringStream stream;
    Criteria.WriteData(&stream);
    return stream.DataString();
}

void Read(TcvCriteria& Criteria, const std::string& Bytes) {
    TStringStream stream(Bytes);
    Criteria.ReadData(&stream);
}

// Group nesting Depth levels deep, a condition at the bottom.
void Nest(TcvCriteriaItemList& Root, int Depth) {
    TcvCriteriaItemList* list = &Root;
    for (int i = 0; i < Depth; ++i)
        list = list->AddGroup(i % 2 == 0);
    list->AddCondition("A", cvEqualOperatorIndex, "1", 1);
}

TEST(CriteriaStreamTest, EmptyCriteriaAndOneCondition) {
    TRowCriteria criteria;
    EXPECT_EQ(Hex(Written(criteria)), "00000000");
    criteria.Root()->AddCondition("Qty", cvEqualOperatorIndex, "5", 5);
    EXPECT_EQ(Hex(Written(criteria)), "01000000"
                                      "0000"
                                      "01000000"
                                      "35"
                                      "03000000"
                                      "517479"
                                      "01"
                                      "0205");
}

struct ValueCase {
    const char* Name;
    Variant Value;
    const char* Bytes;
    TVarType ReadBackAs;
};

TEST(CriteriaStreamTest, TaggedValues) {
    const ValueCase cases[] = {
        {"Null", Null(), "00", varNull},
        {"Unassigned", Unassigned(), "0d", varEmpty},
        {"small integer", 5, "0205", varSmallint},
        {"-1 keeps its sign", -1, "02ff", varSmallint},
        {"200 takes two bytes", 200, "03c800", varSmallint},
        {"Smallint -129", int16_t(-129), "037fff", varSmallint},
        {"lowest of two bytes", -32768, "030080", varSmallint},
        {"four bytes", 70000, "0470110100", varInteger},
        {"Double as extended", 1.5, "0500000000000000c0ff3f", varDouble},
        {"Single", Variant::FromSingle(1.5f), "0f0000c03f", varSingle},
        {"Currency", Variant::FromCurrency(15000), "10983a000000000000", varCurrency},
        {"Date", VarFromDateTime(EncodeDate(2024, 3, 5)), "11000000008025e640", varDate},
        {"True", true, "09", varBoolean},
        {"False", false, "08", varBoolean},
        {"string in code page 936", "中", "0602d6d0", varString},
        {"string beyond code page 936", "\xF0\x9F\x98\x80", "12020000003dd800de", varOleStr},
        {"wide string", Variant::FromOleStr("a"), "12010000006100", varOleStr},
        {"Int64 as its text", int64_t(5000000000), "060a35303030303030303030", varString},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Hex(EncodeTaggedValue(c.Value)), c.Bytes);
        TStringStream stream(FromHex(c.Bytes));
        const Variant back = ReadTaggedValue(&stream);
        EXPECT_EQ(back.VarType(), c.ReadBackAs);
        EXPECT_EQ(back.AsString(), c.Value.AsString());
        EXPECT_EQ(stream.Position(), stream.Size());
    }
}

TEST(CriteriaStreamTest, StringLengthChoosesTheTag) {
    EXPECT_EQ(Hex(EncodeTaggedValue(std::string(255, 'a'))).substr(0, 4), "06ff");
    const std::string text = std::string(250, 'a') + "中中中"; // 256 bytes in code page 936
    const std::string bytes = EncodeTaggedValue(text);
    EXPECT_EQ(Hex(bytes).substr(0, 10), "0c00010000");
    TStringStream stream(bytes);
    EXPECT_EQ(ReadTaggedValue(&stream).AsString(), text);
}

TEST(CriteriaStreamTest, ExtendedRealsKeepEveryDouble) {
    for (double value : {0.0, -0.0, 0.1, -2.5e-300, 4.9e-324, 1.7976931348623157e308, HUGE_VAL, -HUGE_VAL}) {
        SCOPED_TRACE(value);
        TStringStream stream(EncodeTaggedValue(value));
        const double back = ReadTaggedValue(&stream).AsFloat();
        EXPECT_EQ(back, value);
        EXPECT_EQ(std::signbit(back), std::signbit(value));
    }
    TStringStream nan(EncodeTaggedValue(std::nan("")));
    EXPECT_TRUE(std::isnan(ReadTaggedValue(&nan).AsFloat()));
}

TEST(CriteriaStreamTest, BlockReadBackWritesTheSameBytes) {
    TRowCriteria criteria;
    TcvCriteriaItemList& root = *criteria.Root();
    root.AddCondition("数量", cvGreaterOperatorIndex, "五", 5)->SetNegated(true);
    TcvCriteriaItemList* any = root.AddGroup(true);
    any->SetNegated(true);
    const Variant values[] = {Null(),
                              Unassigned(),
                              200,
                              -1,
                              70000,
                              0.1,
                              Variant::FromSingle(0.1f),
                              Variant::FromCurrency(-15000),
                              VarFromDateTime(45356.75),
                              true,
                              false,
                              std::string(300, 'x'),
                              "O'Brien",
                              Variant::FromOleStr("\xF0\x9F\x98\x80")};
    Byte op = 0;
    for (const Variant& value : values)
        any->AddCondition("F", op++ % cvOperatorCount, VarIsStr(value) ? "text" : value.AsString(), value);
    TcvCriteriaItemList* inner = any->AddGroup(false);
    inner->AddCondition("G", cvNullOperatorIndex, "", Null());
    root.SetIsOr(true);
    root.SetNegated(true);

    const std::string bytes = Written(criteria);
    TRowCriteria back;
    Read(back, bytes);
    EXPECT_EQ(Hex(Written(back)), Hex(bytes));
    EXPECT_FALSE(back.Root()->IsOr() || back.Root()->Negated()) << "the root's flags are not kept";
    auto* group = static_cast<TcvCriteriaItemList*>(back.Root()->Items(1));
    EXPECT_TRUE(group->IsOr() && group->Negated());
    root.SetIsOr(false);
    root.SetNegated(false);
    EXPECT_EQ(back.GetDisplayText(), criteria.GetDisplayText());
    EXPECT_EQ(back.GetFilterText(), criteria.GetFilterText());
}

TEST(CriteriaStreamTest, ReadingReplacesTheCriteria) {
    TRowCriteria criteria;
    criteria.Root()->AddCondition("Old", cvEqualOperatorIndex, "1", 1);
    Read(criteria, FromHex("00000000"));
    EXPECT_EQ(criteria.Root()->Count(), 0);
}

// The head of a block holding one condition on A, up to its value's tag.
const std::string ConditionHead = "01000000"
                                  "0000"
                                  "00000000"
                                  "01000000"
                                  "41"
                                  "01";

TEST(CriteriaStreamTest, DamagedBlocksFailWithAReadError) {
    const struct {
        const char* Name;
        std::string Bytes;
    } cases[] = {
        {"no count", ""},
        {"a missing item", "01000000"},
        {"a huge count", "ffffff7f"},
        {"a negative count", "feffffff"},
        {"a huge display text", "010000000000ffffff7f"},
        {"a huge child count", "01000000010000ffffff7f"},
        {"operator index 6", "01000000000000000000010000004106"
                             "00"},
        {"tag 1", ConditionHead + "01"},
        {"tag 7", ConditionHead + "07"},
        {"tag 10", ConditionHead + "0a"},
        {"tag 11", ConditionHead + "0b"},
        {"tag 14", ConditionHead + "0e"},
        {"tag 19", ConditionHead + "13"},
        {"a huge long string", ConditionHead + "0cffffff7f"},
        {"a negative long string", ConditionHead + "0cffffffff"},
        {"a huge wide string", ConditionHead + "12ffffff3f"},
        {"a short string", ConditionHead + "0605616263"},
        {"a short extended", ConditionHead + "050000"},
        {"a short integer", ConditionHead + "04ff"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TRowCriteria criteria;
        try {
            Read(criteria, FromHex(c.Bytes));
            ADD_FAILURE() << "no exception";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), "Stream read error");
        }
    }
}

TEST(CriteriaStreamTest, ItemsBeforeTheDamageStay) {
    TRowCriteria criteria;
    criteria.Root()->AddCondition("A", cvEqualOperatorIndex, "1", 1);
    criteria.Root()->AddCondition("B", cvEqualOperatorIndex, "2", 2);
    std::string bytes = Written(criteria);
    bytes[bytes.size() - 2] = char(7); // B's value 02 02 becomes tag 7
    EXPECT_THROW(Read(criteria, bytes), EReadError);
    ASSERT_EQ(criteria.Root()->Count(), 1);
    EXPECT_NE(criteria.FindItem("A"), nullptr);
}

TEST(CriteriaStreamTest, NestingIsCappedBothWays) {
    TRowCriteria deepest;
    Nest(*deepest.Root(), cvMaxCriteriaDepth);
    TRowCriteria back;
    Read(back, Written(deepest));
    EXPECT_EQ(back.GetFilterText(), deepest.GetFilterText());

    TRowCriteria tooDeep;
    Nest(*tooDeep.Root(), cvMaxCriteriaDepth + 1);
    TStringStream target;
    EXPECT_THROW(tooDeep.WriteData(&target), EWriteError);
    EXPECT_EQ(target.Size(), 0) << "nothing half written";

    // The same nesting made by hand: each level one group with one child.
    std::string bytes = "01000000";
    for (int i = 0; i <= cvMaxCriteriaDepth; ++i)
        bytes += "01000001000000";
    bytes += "000001000000310100000041010201";
    EXPECT_THROW(Read(back, FromHex(bytes)), EReadError);
}

// A field name it cannot hold would name another field, so it is refused;
// a display text only shows the value, which keeps every character on its tag.
TEST(CriteriaStreamTest, AFieldNameCodePage936CannotHoldIsRefusedADisplayTextGoesLossily) {
    const char* const emoji = "\xF0\x9F\x98\x80";
    {
        TRowCriteria criteria;
        criteria.Root()->AddCondition("Qty", cvEqualOperatorIndex, "5", 5);
        criteria.Root()->AddCondition(emoji, cvEqualOperatorIndex, "x", "x");
        TStringStream target;
        EXPECT_THROW(criteria.WriteData(&target), EWriteError);
        EXPECT_EQ(target.Size(), 0) << "nothing half written";
    }
    TRowCriteria criteria;
    criteria.Root()->AddCondition("Name", cvEqualOperatorIndex, std::string("\xF0\xA0\xAE\xB7野") + emoji,
                                  std::string("\xF0\xA0\xAE\xB7野") + emoji);
    TRowCriteria back;
    Read(back, Written(criteria));
    ASSERT_EQ(back.Root()->Count(), 1);
    const auto* condition = static_cast<const TcvCriteriaItem*>(back.Root()->Items(0));
    EXPECT_EQ(condition->DisplayText(), "?野?");
    EXPECT_EQ(condition->Value(), Variant(std::string("\xF0\xA0\xAE\xB7野") + emoji));
}

} // namespace
