// The connection: which files it opens, attaching other files for copies,
// and the immediate write lock of its transactions.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "tests/support/ScratchQuery.h"
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
    } cases[] = {
        {"missing.mdb", "Could not find file"},
        {"empty.mdb", "Unrecognized database format"},
        {"notes.mdb", "Unrecognized database format"},
    };
    for (const Case& c : cases) {
        TADOConnection connection(nullptr);
        connection.SetConnectionString(TestConnectionString(Folder / c.Name));
        try {
            connection.Open();
            ADD_FAILURE() << c.Name << " opened";
        } catch (const EDatabaseError& e) {
            EXPECT_NE(std::string(e.Message()).find(c.Expected), std::string::npos) << c.Name << ": " << e.Message();
        }
        EXPECT_FALSE(connection.Connected()) << c.Name;
    }
    EXPECT_FALSE(std::filesystem::exists(Folder / "missing.mdb")) << "opening must never create the file";
}

TEST_F(ConnectionTest, OpensTheFileNamedByDataSourceAndClosesItsDataSets) {
    std::string file = Folder / "voltrane.mdb";
    RunSql(file, "create table T (ID integer primary key, Name varchar(20)); insert into T values (1, 'a');");
    auto connection = Connect(file);
    EXPECT_EQ(connection->DatabaseFileName(), file);
    auto query = OpenQuery(connection.get(), "select * from T");
    EXPECT_EQ(query->RecordCount(), 1);
    connection->Close();
    EXPECT_FALSE(query->Active());
    EXPECT_FALSE(connection->Connected());
}

TEST_F(ConnectionTest, CopiesBetweenFilesThroughAnAttachedFileMatchingColumnsByName) {
    std::string main = Folder / "maindata.mdb", transfer = Folder / "iodata.mdb";
    RunSql(main, "create table KJJHSB (ID integer primary key, XMMC varchar(50), JE money);");
    // The transfer file declares its columns in another order.
    RunSql(transfer, "create table KJJHSB (JE money, XMMC varchar(50), ID integer);"
                     "insert into KJJHSB values (12.5, 'alpha', 7); insert into KJJHSB values (3, 'beta', 8);");
    auto connection = Connect(main);
    connection->Attach(transfer, "io");
    EXPECT_EQ(connection->Execute("insert into KJJHSB (ID, XMMC, JE) select ID, XMMC, JE from io.KJJHSB"), 2);
    EXPECT_EQ(connection->Execute("create table COPY as select * from io.KJJHSB where ID = 8"), 0);
    connection->Detach("io");
    EXPECT_EQ(QueryText(main, "select XMMC || '=' || JE from KJJHSB where ID = 7"), "alpha=12.5");
    EXPECT_EQ(QueryText(main, "select XMMC from COPY"), "beta");
    EXPECT_THROW(connection->Execute("select * from io.KJJHSB"), EDatabaseError);
}

TEST_F(ConnectionTest, AttachRefusesMissingFilesAndOpenTransactions) {
    std::string main = Folder / "maindata.mdb", other = Folder / "other.mdb";
    RunSql(main, "create table T (A integer);");
    RunSql(other, "create table T (A integer);");
    auto connection = Connect(main);
    EXPECT_THROW(connection->Attach(Folder / "nowhere.mdb", "x"), EDatabaseError);
    EXPECT_FALSE(std::filesystem::exists(Folder / "nowhere.mdb"));
    connection->BeginTrans();
    EXPECT_THROW(connection->Attach(other, "o"), EDatabaseError);
    connection->CommitTrans();
    connection->Attach(other, "o");
    connection->BeginTrans();
    EXPECT_THROW(connection->Detach("o"), EDatabaseError);
    connection->RollbackTrans();
    connection->Detach("o");
}

TEST_F(ConnectionTest, AttachingItsOwnFileReadsASnapshot) {
    std::string main = Folder / "maindata.mdb";
    RunSql(main, "create table T (A integer); insert into T values (1); insert into T values (2);");
    auto connection = Connect(main);
    connection->Attach(main, "self");
    EXPECT_EQ(connection->Execute("insert into T select A + 10 from self.T"), 2);
    connection->Detach("self");
    EXPECT_EQ(QueryText(main, "select group_concat(A) from (select A from T order by A)"), "1,2,11,12");
}

TEST_F(ConnectionTest, BeginTransTakesTheWriteLockAtOnce) {
    std::string file = Folder / "voltrane.mdb";
    RunSql(file, "create table SYS_MaxID (TableName varchar(50), CurrentMaxID integer);");
    auto connection = Connect(file);
    connection->BeginTrans();
    EXPECT_TRUE(connection->InTransaction());
    // Another writer, not waiting, is refused before the first has written anything.
    const std::string write = "insert into SYS_MaxID values ('T', 1)";
    try {
        RunSql(file, write);
        ADD_FAILURE() << "a second writer got the lock";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "database is locked");
    }
    connection->CommitTrans();
    EXPECT_NO_THROW(RunSql(file, write));
    EXPECT_THROW(connection->CommitTrans(), EDatabaseError);
}

TEST_F(ConnectionTest, QuotingHelperDoublesQuotes) {
    EXPECT_EQ(SQLQuotedStr("it's"), "'it''s'");
    EXPECT_EQ(SQLQuotedName("a\"b"), "\"a\"\"b\"");
}

} // namespace
