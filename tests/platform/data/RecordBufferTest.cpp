// A record's packed values: every kind of value comes back as it went in,
// and replacing one value leaves its neighbours whole.
#include <gtest/gtest.h>

#include "platform/data/DB.h"

namespace {

using namespace std::string_literals;

const Variant Kinds[] = {Variant(),
                         Null(),
                         Variant(int16_t(-7)),
                         Variant(int32_t(2147483647)),
                         Variant(int64_t(-9000000000LL)),
                         Variant(0.30000000000000004),
                         Variant::FromCurrency(-12345678),
                         Variant::FromDateTime(45413.75),
                         Variant(true),
                         Variant(false),
                         Variant(""),
                         Variant("项目 with a NUL\0 inside"s),
                         Variant(std::string(255, 'x')),
                         Variant(std::string(256, 'y')),
                         Variant(std::string(70000, 'z'))};

TRecordPtr PooledRecordOf(std::pmr::memory_resource* Pool, const std::vector<Variant>& Values) {
    std::string packed;
    for (const Variant& value : Values)
        TRecordBuffer::PackValue(packed, value);
    return TRecordBuffer::CreateInPool(Pool, packed);
}

void ExpectValues(const TRecordBuffer& Record, const std::vector<Variant>& Expected) {
    for (size_t c = 0; c < Expected.size(); ++c) {
        SCOPED_TRACE(c);
        Variant value = Record.Value(Integer(c));
        EXPECT_EQ(value.VarType(), Expected[c].VarType());
        EXPECT_EQ(VarCompare(value, Expected[c]), 0);
        EXPECT_EQ(value.AsString(), Expected[c].AsString());
    }
    EXPECT_TRUE(Record.Value(Integer(Expected.size())).IsNull());
}

TEST(RecordBufferTest, EveryKindOfValueReadsBackUnchangedAndInACopyThatOutlivesThePool) {
    std::vector<Variant> values(std::begin(Kinds), std::end(Kinds));
    auto pool = NewRecordMemoryPool();
    TRecordPtr pooled = PooledRecordOf(pool.get(), values);
    ExpectValues(*pooled, values);
    TRecordPtr copy = TRecordBuffer::Create(*pooled);
    pooled.reset();
    pool.reset();
    ExpectValues(*copy, values);
}

TEST(RecordBufferTest, SetValueReplacesOneValueAndPadsPastTheEnd) {
    std::vector<Variant> values(std::begin(Kinds), std::end(Kinds));
    auto pool = NewRecordMemoryPool();
    TRecordPtr record = PooledRecordOf(pool.get(), values);
    for (size_t c = 0; c < values.size(); ++c) {
        values[c] = Variant("replaced " + std::to_string(c));
        record->SetValue(Integer(c), values[c]);
        ExpectValues(*record, values);
    }
    Integer past = Integer(values.size()) + 2;
    record->SetValue(past, Variant(int32_t(5)));
    values.insert(values.end(), {Variant(), Variant(), Variant(int32_t(5))});
    ExpectValues(*record, values);
}

} // namespace
