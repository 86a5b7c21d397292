// Queries: field classes from declared types, bound parameters, the storage
// convention, and writing edits back to the table by key, judged by reading
// the file outside the data layer.
#include <gtest/gtest.h>

#include "TestDatabase.h"

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
    auto Query = OpenQuery(Connection.get(), "select *, length(XMMC) as L, XMMC || '!' as X from KJJHSB order by ID");
    struct Case {
        const char* Name;
        TFieldType Type;
        Integer Size;
    } Cases[] = {
        {"ID", ftInteger, 0},  {"XMMC", ftString, 50}, {"BZ", ftMemo, 0},    {"JE", ftBCD, 4},
        {"BL", ftBCD, 2},      {"QTY", ftSmallint, 0}, {"RATE", ftFloat, 0}, {"SB", ftBoolean, 0},
        {"RQ", ftDateTime, 0}, {"PIC", ftGraphic, 0},  {"L", ftInteger, 0},  {"X", ftString, 255},
    };
    for (const Case& C : Cases) {
        TField* Field = Query->FieldByName(C.Name);
        EXPECT_EQ(Field->DataType(), C.Type) << C.Name;
        if (C.Size) {
            EXPECT_EQ(Field->Size(), C.Size) << C.Name;
        }
    }
    EXPECT_NE(dynamic_cast<TIntegerField*>(Query->FieldByName("ID")), nullptr);
    EXPECT_EQ(dynamic_cast<TBlobField*>(Query->FieldByName("BZ"))->BlobType(), ftMemo);
    EXPECT_TRUE(dynamic_cast<TBCDField*>(Query->FieldByName("JE"))->Currency());
    EXPECT_EQ(Query->FieldByName("JE")->AsCurrency(), 12345678);
    EXPECT_EQ(Query->FieldByName("RQ")->AsDateTime(), EncodeDate(2024, 5, 1) + EncodeTime(9, 30, 0, 0));
    EXPECT_TRUE(Query->FieldByName("SB")->AsBoolean());
    EXPECT_EQ(Query->FieldByName("L")->AsInteger(), 5);
    EXPECT_TRUE(Query->FieldByName("XMMC")->Required());
    EXPECT_FALSE(Query->FieldByName("HF")->Required()); // it has a default
    EXPECT_TRUE(Query->FieldByName("X")->ReadOnly());   // an expression cannot be written back
    EXPECT_EQ(Query->Fields()[0]->FieldName(), "ID");
    EXPECT_EQ(Query->FieldByName("xmmc"), Query->FieldByName("XMMC"));
    EXPECT_THROW(Query->FieldByName("nope"), EDatabaseError);
}

TEST_F(QueryTest, ParametersBindByNameAndPositionAndTextStaysText) {
    TADOQuery Query(nullptr);
    Query.SetConnection(Connection.get());
    Query.SQL()->SetText("select ID from KJJHSB where XMMC = :Name or ID = :id or XMMC = :NAME");
    ASSERT_EQ(Query.Parameters()->Count(), 2);
    Query.Parameters()->ParamByName("name")->SetValue(Variant("x' or '1'='1"));
    Query.Parameters()->ParamByName("ID")->SetValue(Variant("2"));
    Query.Open();
    EXPECT_EQ(Query.RecordCount(), 1);
    EXPECT_EQ(Query.FieldByName("ID")->AsInteger(), 2);
    Query.Close();

    Query.SQL()->SetText("update KJJHSB set BZ = ? where ID = ? and XMMC <> ':not a parameter'");
    ASSERT_EQ(Query.Parameters()->Count(), 2);
    Query.Parameters()->Items(0)->SetValue(Variant("memo text"));
    Query.Parameters()->Items(1)->SetValue(Variant(1));
    EXPECT_EQ(Query.ExecSQL(), 1);
    EXPECT_EQ(QueryText(File, "select BZ from KJJHSB where ID = 1"), "memo text");
    EXPECT_THROW(Query.Parameters()->ParamByName("x"), EDatabaseError);

    TADOCommand Command(nullptr);
    Command.SetConnection(Connection.get());
    Command.SetCommandText("delete from KJJHSB where XMMC = :n");
    Command.Parameters()->ParamByName("n")->SetValue(Variant("second"));
    EXPECT_EQ(Command.Execute(), 1);
    EXPECT_EQ(QueryText(File, "select count(*) from KJJHSB"), "1");
}

TEST_F(QueryTest, ValuesAreStoredReadablyForTheShell) {
    auto Query = OpenQuery(Connection.get(), "select * from KJJHSB where ID = 2");
    Query->Edit();
    Query->FieldByName("RQ")->SetAsDateTime(EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 58, 0));
    Query->FieldByName("JE")->SetAsString("99.99");
    Query->FieldByName("SB")->SetAsBoolean(true);
    Query->FieldByName("PIC")->SetAsString(std::string("\x89PNG\0\x01", 6));
    Query->Post();
    EXPECT_EQ(QueryText(File, "select RQ || '|' || JE || '|' || SB || '|' || typeof(PIC) || length(PIC) from "
                              "KJJHSB where ID = 2"),
              "2024-12-31 23:59:58|99.99|1|blob6");
    Query->Close();
    Query->Open();
    EXPECT_EQ(Query->FieldByName("PIC")->AsString(), std::string("\x89PNG\0\x01", 6));
    EXPECT_EQ(Query->FieldByName("RQ")->AsDateTime(), EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 58, 0));

    // Milliseconds are kept; texts other programs wrote are read too.
    Query->Edit();
    Query->FieldByName("RQ")->SetAsDateTime(EncodeDate(2024, 1, 2) + EncodeTime(3, 4, 5, 250));
    Query->Post();
    EXPECT_EQ(QueryText(File, "select RQ from KJJHSB where ID = 2"), "2024-01-02 03:04:05.250");
    RunSql(File, "update KJJHSB set RQ = '2024-1-2T03:04' where ID = 1; update KJJHSB set RQ = 'soon' where ID = 2");
    auto Again = OpenQuery(Connection.get(), "select RQ from KJJHSB order by ID");
    EXPECT_EQ(Again->FieldByName("RQ")->AsDateTime(), EncodeDate(2024, 1, 2) + EncodeTime(3, 4, 0, 0));
    Again->Next();
    EXPECT_THROW(Again->FieldByName("RQ")->AsDateTime(), EConvertError);
}

TEST_F(QueryTest, EditsWriteBackByKeyInTheOrderTheyHappen) {
    auto Query = OpenQuery(Connection.get(), "select ID, XMMC, HF from KJJHSB order by ID");
    EXPECT_TRUE(Query->CanModify());

    Query->Append();
    Query->FieldByName("XMMC")->SetAsString("third");
    Query->Post(); // the table fills in the key and the default
    EXPECT_EQ(Query->FieldByName("ID")->AsInteger(), 3);
    EXPECT_EQ(Query->FieldByName("HF")->AsString(), "none");

    Query->First();
    Query->Edit();
    Query->FieldByName("ID")->SetAsInteger(10); // the key itself changes: the old key finds the row
    Query->FieldByName("XMMC")->SetAsString("renamed");
    Query->Post();
    Query->Next();
    Query->Delete();
    EXPECT_EQ(QueryText(File, "select group_concat(ID || ':' || XMMC, ',') from (select * from KJJHSB order by ID)"),
              "3:third,10:renamed");

    Query->Edit();
    Query->FieldByName("XMMC")->Clear();
    EXPECT_THROW(Query->Post(), EDatabaseError); // XMMC is required
    EXPECT_EQ(Query->State(), dsEdit);
    Query->Cancel();

    // A row changed behind the dataset's back cannot be found by its old key.
    RunSql(File, "update KJJHSB set ID = 99 where ID = 3");
    Query->Locate("ID", Variant(3), {});
    Query->Edit();
    Query->FieldByName("XMMC")->SetAsString("lost");
    EXPECT_THROW(Query->Post(), EDatabaseError);
    Query->Cancel();
}

TEST_F(QueryTest, TablesWithoutAKeyWriteBackByRowid) {
    auto Query = OpenQuery(Connection.get(), "select * from NOKEY");
    ASSERT_EQ(Query->FieldCount(), 2); // the rowid travels hidden
    Query->Next();
    Query->Edit();
    Query->FieldByName("A")->SetAsString("y");
    Query->Post();
    EXPECT_EQ(QueryText(File, "select group_concat(A, ',') from (select A from NOKEY order by rowid)"), "x,y");
    Query->First();
    Query->Delete();
    EXPECT_EQ(QueryText(File, "select group_concat(A, ',') from NOKEY"), "y");
    Query->Append();
    Query->FieldByName("A")->SetAsString("z");
    Query->Post();
    Query->Edit();
    Query->FieldByName("B")->SetAsInteger(3);
    Query->Post();
    EXPECT_EQ(QueryText(File, "select group_concat(A || B, ',') from NOKEY"), "y1,z3");

    // A text primary key that the result does not include: the rowid again.
    auto Names = OpenQuery(Connection.get(), "select NAME from CODES");
    Names->Edit();
    Names->FieldByName("NAME")->SetAsString("uno");
    Names->Post();
    EXPECT_EQ(QueryText(File, "select NAME from CODES where CODE = '01'"), "uno");
}

TEST_F(QueryTest, JoinsAndGroupsAreReadOnly) {
    for (const char* Sql : {"select K.ID, C.NAME from KJJHSB K, CODES C", "select K.ID from KJJHSB K join CODES C on 1",
                            "select count(*) as N from KJJHSB", "select distinct XMMC from KJJHSB",
                            "select ID from KJJHSB union select 5"}) {
        auto Query = OpenQuery(Connection.get(), Sql);
        EXPECT_FALSE(Query->CanModify()) << Sql;
        EXPECT_THROW(Query->Edit(), EDatabaseError) << Sql;
        EXPECT_FALSE(Query->Fields()[0]->CanModify()) << Sql;
    }
    EXPECT_THROW(OpenQuery(Connection.get(), "update KJJHSB set BZ = 'x'"), EDatabaseError);
}

TEST_F(QueryTest, RefreshAndRequeryReadTheTableAgain) {
    TADODataSet DataSet(nullptr);
    DataSet.SetConnection(Connection.get());
    DataSet.SetCommandText("select * from KJJHSB order by ID");
    DataSet.Open();
    DataSet.Next();
    EXPECT_THROW(DataSet.SetCommandText("select 1"), EDatabaseError); // not while open
    RunSql(File, "update KJJHSB set XMMC = 'changed' where ID = 2; insert into KJJHSB (ID, XMMC) values (0, 'zero')");
    DataSet.Refresh();
    EXPECT_EQ(DataSet.RecordCount(), 3);
    EXPECT_EQ(DataSet.FieldByName("XMMC")->AsString(), "changed"); // still on ID 2
    DataSet.Requery();
    EXPECT_EQ(DataSet.FieldByName("ID")->AsInteger(), 0);
    EXPECT_TRUE(DataSet.Bof());
}

} // namespace
