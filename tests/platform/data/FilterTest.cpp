// The Filter grammar, evaluated per record in memory.
#include <gtest/gtest.h>

#include "tests/support/ScratchQuery.h"

namespace {

class FilterTest : public ::testing::Test {
protected:
    TScratchFolder Folder;
    std::unique_ptr<TADOConnection> Connection;
    std::unique_ptr<TADOQuery> Query;

    void SetUp() override {
        std::string file = Folder / "data.mdb";
        RunSql(file, "create table T (ID integer primary key, Name varchar(20), [Full Name] varchar(30), Qty integer, "
                     "Made date, Amount money);"
                     "insert into T values (1, 'abc', 'A B', 5, '2024-05-01 00:00:00', 12.5);"
                     "insert into T values (2, 'ABC', null, 10, '2024-06-01 00:00:00', 99.99);"
                     "insert into T values (3, '', 'O''Brien', null, null, null);"
                     "insert into T values (4, 'x'' y', 'Z', 7, '2023-01-01 00:00:00', 0.1);");
        Connection = Connect(file);
        Query = OpenQuery(Connection.get(), "select * from T order by ID");
    }
    std::string Ids() {
        std::string s;
        for (Query->First(); !Query->Eof(); Query->Next())
            s += IntToStr(Query->FieldByName("ID")->AsInteger());
        return s;
    }
};

TEST_F(FilterTest, GrammarSelectsRecords) {
    struct Case {
        const char* Filter;
        bool CaseInsensitive;
        const char* Ids;
    } cases[] = {
        {"Qty = 5", false, "1"},
        {"(Qty > 5) AND (Qty <= 10)", false, "24"},
        {"(Qty < 6) OR (Name = 'ABC')", false, "12"},
        {"NOT (Qty >= 7)", false, "13"}, // a missing value satisfies no comparison; NOT inverts that
        {"Amount = '12.5'", false, "1"},
        {"Amount < 12.5", false, "4"},
        {"Qty Is Null", false, "3"},
        {"Name Is Null", false, "3"}, // an empty text counts as null
        {"NOT (Name Is Null)", false, "124"},
        {"Name = 'abc'", false, "1"},
        {"Name = 'abc'", true, "12"},
        {"[Full Name] = 'A B'", false, "1"},
        {"[Full Name] = 'O'Brien'", false, "3"}, // a quote inside a value written unescaped
        {"Name = 'x'' y'", false, "4"},
        {"Qty = '10'", false, "2"},
        {"Made >= '2024-05-01'", false, "12"},
        {"(Made < '2024-01-01') OR (ID = 1) AND (Qty = 99)", false, "4"}, // AND binds tighter
        {"qty <> 5", false, "24"},
        {"", false, "1234"},
    };
    for (const Case& c : cases) {
        Query->SetFiltered(false);
        Query->SetFilter(c.Filter);
        Query->SetFilterOptions(c.CaseInsensitive ? TFilterOptions{foCaseInsensitive} : TFilterOptions{});
        Query->SetFiltered(true);
        EXPECT_EQ(Ids(), c.Ids) << c.Filter;
        EXPECT_EQ(Query->RecordCount(), Integer(std::string(c.Ids).size())) << c.Filter;
    }
}

TEST_F(FilterTest, ItNeverReachesSqlAndRejectsBadTextWithoutChangingAnything) {
    Query->SetFilter("Name = 'x; drop table T; --'");
    Query->SetFiltered(true);
    EXPECT_EQ(Ids(), "");
    Query->SetFiltered(false);
    EXPECT_EQ(Ids(), "1234");
    EXPECT_EQ(QueryText(Folder / "data.mdb", "select count(*) from T"), "4");

    Query->SetFilter("Qty = 5");
    Query->SetFiltered(true);
    for (const char* bad : {"Qty = ", "Nope = 1", "(Qty = 5", "Qty 5", "Name = 'open"})
        EXPECT_THROW(Query->SetFilter(bad), EDatabaseError) << bad;
    EXPECT_EQ(Query->Filter(), "Qty = 5");
    EXPECT_EQ(Ids(), "1");
}

TEST_F(FilterTest, TheCurrentRecordStaysWhenTheFilterKeepsIt) {
    Query->Locate("ID", Variant(4), {});
    Query->SetFilter("Qty > 5");
    Query->SetFiltered(true);
    EXPECT_EQ(Query->FieldByName("ID")->AsInteger(), 4);
    Query->SetFilter("Qty < 6");
    EXPECT_EQ(Query->FieldByName("ID")->AsInteger(), 1);
    EXPECT_TRUE(Query->Bof());
}

} // namespace
