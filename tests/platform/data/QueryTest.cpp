// Queries: field classes from declared types, bound parameters, the storage
// convention, and writing edits back to the table by key, judged by reading
// the file outside the data layer.
#include <gtest/gtest.h>

#include "tests/support/ScratchQuery.h"

namespace {

class QueryTest : public ::testing::Test {
protected:
    TScratchFolder Folder;
    std::string File = Folder / "maindata.mdb";
    std::unique_ptr<TADOConnection> Connection;

    void SetUp() override {
        RunSql(File,
               "create table KJJHSB (ID integer primary key, XMMC varchar(50) not null, BZ memo, JE money, "
               "BL decimal(10,2), QTY smallint, RATE float, SB bit, RQ datetime, PIC image, "
               "HF varchar(10) default 'none');"
               "insert into KJJHSB (ID, XMMC, JE, RQ, SB) values (1, 'first', 1234.5678, '2024-05-01 09:30:00', 1);"
               "insert into KJJHSB (ID, XMMC) values (2, 'second');"
               "create table NOKEY (A varchar(10), B integer);"
               "insert into NOKEY values ('x', 1); insert into NOKEY values ('x', 1);"
               "create table CODES (CODE varchar(4), NAME varchar(20), primary key (CODE));"
               "insert into CODES values ('01', 'one');");
        Connection = Connect(File);
    }
};

TEST_F(QueryTest, DeclaredTypesChooseTheFieldClasses) {
    auto query = OpenQuery(Connection.get(), "select *, length(XMMC) as L, XMMC || '!' as X from KJJHSB order by ID");
    struct Case {
        const char* Name;
        TFieldType Type;
        Integer Size;
    } cases[] = {
        {"ID", ftInteger, 0},  {"XMMC", ftString, 50}, {"BZ", ftMemo, 0},    {"JE", ftBCD, 4},
        {"BL", ftBCD, 2},      {"QTY", ftSmallint, 0}, {"RATE", ftFloat, 0}, {"SB", ftBoolean, 0},
        {"RQ", ftDateTime, 0}, {"PIC", ftGraphic, 0},  {"L", ftInteger, 0},  {"X", ftString, 255},
    };
    for (const Case& c : cases) {
        TField* field = query->FieldByName(c.Name);
        EXPECT_EQ(field->DataType(), c.Type) << c.Name;
        if (c.Size) {
            EXPECT_EQ(field->Size(), c.Size) << c.Name;
        }
    }
    EXPECT_NE(dynamic_cast<TIntegerField*>(query->FieldByName("ID")), nullptr);
    EXPECT_EQ(dynamic_cast<TBlobField*>(query->FieldByName("BZ"))->BlobType(), ftMemo);
    EXPECT_TRUE(dynamic_cast<TBCDField*>(query->FieldByName("JE"))->Currency());
    EXPECT_EQ(query->FieldByName("JE")->AsCurrency(), 12345678);
    EXPECT_EQ(query->FieldByName("RQ")->AsDateTime(), EncodeDate(2024, 5, 1) + EncodeTime(9, 30, 0, 0));
    EXPECT_TRUE(query->FieldByName("SB")->AsBoolean());
    EXPECT_EQ(query->FieldByName("L")->AsInteger(), 5);
    EXPECT_TRUE(query->FieldByName("XMMC")->Required());
    EXPECT_FALSE(query->FieldByName("HF")->Required()); // it has a default
    EXPECT_TRUE(query->FieldByName("X")->ReadOnly());   // an expression cannot be written back
    EXPECT_EQ(query->Fields()[0]->FieldName(), "ID");
    EXPECT_EQ(query->FieldByName("xmmc"), query->FieldByName("XMMC"));
    EXPECT_THROW(query->FieldByName("nope"), EDatabaseError);
}

TEST_F(QueryTest, ParametersBindByNameAndPositionAndTextStaysText) {
    TADOQuery query(nullptr);
    query.SetConnection(Connection.get());
    query.SQL()->SetText("select ID from KJJHSB where XMMC = :Name or ID = :id or XMMC = :NAME");
    ASSERT_EQ(query.Parameters()->Count(), 2);
    query.Parameters()->ParamByName("name")->SetValue(Variant("x' or '1'='1"));
    query.Parameters()->ParamByName("ID")->SetValue(Variant("2"));
    query.Open();
    EXPECT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(query.FieldByName("ID")->AsInteger(), 2);
    query.Close();

    query.SQL()->SetText("update KJJHSB set BZ = ? where ID = ? and XMMC <> ':not a parameter'");
    ASSERT_EQ(query.Parameters()->Count(), 2);
    query.Parameters()->Items(0)->SetValue(Variant("memo text"));
    query.Parameters()->Items(1)->SetValue(Variant(1));
    EXPECT_EQ(query.ExecSQL(), 1);
    EXPECT_EQ(QueryText(File, "select BZ from KJJHSB where ID = 1"), "memo text");
    EXPECT_THROW(query.Parameters()->ParamByName("x"), EDatabaseError);

    TADOCommand command(nullptr);
    command.SetConnection(Connection.get());
    command.SetCommandText("delete from KJJHSB where XMMC = :n");
    command.Parameters()->ParamByName("n")->SetValue(Variant("second"));
    EXPECT_EQ(command.Execute(), 1);
    EXPECT_EQ(QueryText(File, "select count(*) from KJJHSB"), "1");
}

TEST_F(QueryTest, ValuesAreStoredReadablyForTheShell) {
    auto query = OpenQuery(Connection.get(), "select * from KJJHSB where ID = 2");
    query->Edit();
    query->FieldByName("RQ")->SetAsDateTime(EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 58, 0));
    query->FieldByName("JE")->SetAsString("99.99");
    query->FieldByName("SB")->SetAsBoolean(true);
    query->FieldByName("PIC")->SetAsString(std::string("\x89PNG\0\x01", 6));
    query->Post();
    EXPECT_EQ(QueryText(File, "select RQ || '|' || JE || '|' || SB || '|' || typeof(PIC) || length(PIC) from "
                              "KJJHSB where ID = 2"),
              "2024-12-31 23:59:58|99.99|1|blob6");
    query->Close();
    query->Open();
    EXPECT_EQ(query->FieldByName("PIC")->AsString(), std::string("\x89PNG\0\x01", 6));
    EXPECT_EQ(query->FieldByName("RQ")->AsDateTime(), EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 58, 0));

    // Milliseconds are kept; texts other programs wrote are read too.
    query->Edit();
    query->FieldByName("RQ")->SetAsDateTime(EncodeDate(2024, 1, 2) + EncodeTime(3, 4, 5, 250));
    query->Post();
    EXPECT_EQ(QueryText(File, "select RQ from KJJHSB where ID = 2"), "2024-01-02 03:04:05.250");
    RunSql(File, "update KJJHSB set RQ = '2024-1-2T03:04' where ID = 1; update KJJHSB set RQ = 'soon' where ID = 2");
    auto again = OpenQuery(Connection.get(), "select RQ from KJJHSB order by ID");
    EXPECT_EQ(again->FieldByName("RQ")->AsDateTime(), EncodeDate(2024, 1, 2) + EncodeTime(3, 4, 0, 0));
    again->Next();
    EXPECT_THROW(again->FieldByName("RQ")->AsDateTime(), EConvertError);
}

TEST_F(QueryTest, EditsWriteBackByKeyInTheOrderTheyHappen) {
    auto query = OpenQuery(Connection.get(), "select ID, XMMC, HF from KJJHSB order by ID");
    EXPECT_TRUE(query->CanModify());

    query->Append();
    query->FieldByName("XMMC")->SetAsString("third");
    query->Post(); // the table fills in the key and the default
    EXPECT_EQ(query->FieldByName("ID")->AsInteger(), 3);
    EXPECT_EQ(query->FieldByName("HF")->AsString(), "none");

    query->First();
    query->Edit();
    query->FieldByName("ID")->SetAsInteger(10); // the key itself changes: the old key finds the row
    query->FieldByName("XMMC")->SetAsString("renamed");
    query->Post();
    query->Next();
    query->Delete();
    EXPECT_EQ(QueryText(File, "select group_concat(ID || ':' || XMMC, ',') from (select * from KJJHSB order by ID)"),
              "3:third,10:renamed");

    query->Edit();
    query->FieldByName("XMMC")->Clear();
    EXPECT_THROW(query->Post(), EDatabaseError); // XMMC is required
    EXPECT_EQ(query->State(), dsEdit);
    query->Cancel();

    // A row changed behind the dataset's back cannot be found by its old key.
    RunSql(File, "update KJJHSB set ID = 99 where ID = 3");
    query->Locate("ID", Variant(3), {});
    query->Edit();
    query->FieldByName("XMMC")->SetAsString("lost");
    EXPECT_THROW(query->Post(), EDatabaseError);
    query->Cancel();
}

TEST_F(QueryTest, TablesWithoutAKeyWriteBackByRowid) {
    auto query = OpenQuery(Connection.get(), "select * from NOKEY");
    ASSERT_EQ(query->FieldCount(), 2); // the rowid travels hidden
    query->Next();
    query->Edit();
    query->FieldByName("A")->SetAsString("y");
    query->Post();
    EXPECT_EQ(QueryText(File, "select group_concat(A, ',') from (select A from NOKEY order by rowid)"), "x,y");
    query->First();
    query->Delete();
    EXPECT_EQ(QueryText(File, "select group_concat(A, ',') from NOKEY"), "y");
    query->Append();
    query->FieldByName("A")->SetAsString("z");
    query->Post();
    query->Edit();
    query->FieldByName("B")->SetAsInteger(3);
    query->Post();
    EXPECT_EQ(QueryText(File, "select group_concat(A || B, ',') from NOKEY"), "y1,z3");

    // A text primary key that the result does not include: the rowid again.
    auto names = OpenQuery(Connection.get(), "select NAME from CODES");
    names->Edit();
    names->FieldByName("NAME")->SetAsString("uno");
    names->Post();
    EXPECT_EQ(QueryText(File, "select NAME from CODES where CODE = '01'"), "uno");
}

TEST_F(QueryTest, JoinsAndGroupsAreReadOnly) {
    for (const char* sql : {"select K.ID, C.NAME from KJJHSB K, CODES C", "select K.ID from KJJHSB K join CODES C on 1",
                            "select count(*) as N from KJJHSB", "select distinct XMMC from KJJHSB",
                            "select ID from KJJHSB union select 5"}) {
        auto query = OpenQuery(Connection.get(), sql);
        EXPECT_FALSE(query->CanModify()) << sql;
        EXPECT_THROW(query->Edit(), EDatabaseError) << sql;
        EXPECT_FALSE(query->Fields()[0]->CanModify()) << sql;
    }
    EXPECT_THROW(OpenQuery(Connection.get(), "update KJJHSB set BZ = 'x'"), EDatabaseError);
}

TEST_F(QueryTest, RefreshAndRequeryReadTheTableAgain) {
    TADODataSet dataSet(nullptr);
    dataSet.SetConnection(Connection.get());
    dataSet.SetCommandText("select * from KJJHSB order by ID");
    dataSet.Open();
    dataSet.Next();
    EXPECT_THROW(dataSet.SetCommandText("select 1"), EDatabaseError); // not while open
    RunSql(File, "update KJJHSB set XMMC = 'changed' where ID = 2; insert into KJJHSB (ID, XMMC) values (0, 'zero')");
    dataSet.Refresh();
    EXPECT_EQ(dataSet.RecordCount(), 3);
    EXPECT_EQ(dataSet.FieldByName("XMMC")->AsString(), "changed"); // still on ID 2
    dataSet.Requery();
    EXPECT_EQ(dataSet.FieldByName("ID")->AsInteger(), 0);
    EXPECT_TRUE(dataSet.Bof());
}

} // namespace
