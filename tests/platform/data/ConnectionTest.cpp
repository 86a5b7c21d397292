// The connection: which files it opens, attaching other files for copies,
// and the immediate write lock of its transactions.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "TestDatabase.h"
#include "tests/support/FileContents.h"

namespace {

class ConnectionTest : public ::testing::Test {
protected:
    TScratchFolder Folder;
};

TEST_F(ConnectionTest, RefusesFilesThatAreMissingEmptyOrNotDatabases) {
    WriteFileContents(Folder / "notes.mdb", "A database, or so its name claims, but only text follows.");
    WriteFileContents(Folder / "empty.mdb", "");
    struct Case {
        const char* Name;
        std::string Expected;
    } Cases[] = {
        {"missing.mdb", "Could not find file"},
        {"empty.mdb", "Unrecognized database format"},
        {"notes.mdb", "Unrecognized database format"},
    };
    for (const Case& C : Cases) {
        TADOConnection Connection(nullptr);
        Connection.SetConnectionString(TestConnectionString(Folder / C.Name));
        try {
            Connection.Open();
            ADD_FAILURE() << C.Name << " opened";
        } catch (const EDatabaseError& E) {
            EXPECT_NE(std::string(E.Message()).find(C.Expected), std::string::npos) << C.Name << ": " << E.Message();
        }
        EXPECT_FALSE(Connection.Connected()) << C.Name;
    }
    EXPECT_FALSE(std::filesystem::exists(Folder / "missing.mdb")) << "opening must never create the file";
}

TEST_F(ConnectionTest, OpensTheFileNamedByDataSourceAndClosesItsDataSets) {
    std::string File = Folder / "voltrane.mdb";
    RunSql(File, "create table T (ID integer primary key, Name varchar(20)); insert into T values (1, 'a');");
    auto Connection = Connect(File);
    EXPECT_EQ(Connection->DatabaseFileName(), File);
    auto Query = OpenQuery(Connection.get(), "select * from T");
    EXPECT_EQ(Query->RecordCount(), 1);
    Connection->Close();
    EXPECT_FALSE(Query->Active());
    EXPECT_FALSE(Connection->Connected());
}

TEST_F(ConnectionTest, CopiesBetweenFilesThroughAnAttachedFileMatchingColumnsByName) {
    std::string Main = Folder / "maindata.mdb", Transfer = Folder / "iodata.mdb";
    RunSql(Main, "create table KJJHSB (ID integer primary key, XMMC varchar(50), JE money);");
    // The transfer file declares its columns in another order.
    RunSql(Transfer, "create table KJJHSB (JE money, XMMC varchar(50), ID integer);"
                     "insert into KJJHSB values (12.5, 'alpha', 7); insert into KJJHSB values (3, 'beta', 8);");
    auto Connection = Connect(Main);
    Connection->Attach(Transfer, "io");
    EXPECT_EQ(Connection->Execute("insert into KJJHSB (ID, XMMC, JE) select ID, XMMC, JE from io.KJJHSB"), 2);
    EXPECT_EQ(Connection->Execute("create table COPY as select * from io.KJJHSB where ID = 8"), 0);
    Connection->Detach("io");
    EXPECT_EQ(QueryText(Main, "select XMMC || '=' || JE from KJJHSB where ID = 7"), "alpha=12.5");
    EXPECT_EQ(QueryText(Main, "select XMMC from COPY"), "beta");
    EXPECT_THROW(Connection->Execute("select * from io.KJJHSB"), EDatabaseError);
}

TEST_F(ConnectionTest, AttachRefusesMissingFilesAndOpenTransactions) {
    std::string Main = Folder / "maindata.mdb", Other = Folder / "other.mdb";
    RunSql(Main, "create table T (A integer);");
    RunSql(Other, "create table T (A integer);");
    auto Connection = Connect(Main);
    EXPECT_THROW(Connection->Attach(Folder / "nowhere.mdb", "x"), EDatabaseError);
    EXPECT_FALSE(std::filesystem::exists(Folder / "nowhere.mdb"));
    Connection->BeginTrans();
    EXPECT_THROW(Connection->Attach(Other, "o"), EDatabaseError);
    Connection->CommitTrans();
    Connection->Attach(Other, "o");
    Connection->BeginTrans();
    EXPECT_THROW(Connection->Detach("o"), EDatabaseError);
    Connection->RollbackTrans();
    Connection->Detach("o");
}

TEST_F(ConnectionTest, AttachingItsOwnFileReadsASnapshot) {
    std::string Main = Folder / "maindata.mdb";
    RunSql(Main, "create table T (A integer); insert into T values (1); insert into T values (2);");
    auto Connection = Connect(Main);
    Connection->Attach(Main, "self");
    EXPECT_EQ(Connection->Execute("insert into T select A + 10 from self.T"), 2);
    Connection->Detach("self");
    EXPECT_EQ(QueryText(Main, "select group_concat(A) from (select A from T order by A)"), "1,2,11,12");
}

TEST_F(ConnectionTest, BeginTransTakesTheWriteLockAtOnce) {
    std::string File = Folder / "voltrane.mdb";
    RunSql(File, "create table SYS_MaxID (TableName varchar(50), CurrentMaxID integer);");
    auto Connection = Connect(File);
    Connection->BeginTrans();
    EXPECT_TRUE(Connection->InTransaction());
    // Another writer, not waiting, is refused before the first has written anything.
    const std::string write = "insert into SYS_MaxID values ('T', 1)";
    try {
        RunSql(File, write);
        ADD_FAILURE() << "a second writer got the lock";
    } catch (const std::runtime_error& E) {
        EXPECT_STREQ(E.what(), "database is locked");
    }
    Connection->CommitTrans();
    EXPECT_NO_THROW(RunSql(File, write));
    EXPECT_THROW(Connection->CommitTrans(), EDatabaseError);
}

TEST_F(ConnectionTest, QuotingHelperDoublesQuotes) {
    EXPECT_EQ(SQLQuotedStr("it's"), "'it''s'");
    EXPECT_EQ(SQLQuotedName("a\"b"), "\"a\"\"b\"");
}

} // namespace
