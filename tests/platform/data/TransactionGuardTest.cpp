// The transaction guard: its own transaction is committed by Commit and rolled
// back otherwise; a transaction the caller already holds is left to the caller.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/ScratchQuery.h"

namespace {

class TransactionGuardTest : public ::testing::Test {
protected:
    TScratchFolder Folder;
    std::string File = Folder / "voltrane.mdb";
    std::unique_ptr<TADOConnection> Connection;

    void SetUp() override {
        RunSql(File, "create table T (A integer);");
        Connection = Connect(File);
    }
    std::string Rows() const { return QueryText(File, "select count(*) from T"); }
};

TEST_F(TransactionGuardTest, CommitKeepsTheChanges) {
    {
        TTransactionGuard transaction(Connection.get());
        EXPECT_TRUE(Connection->InTransaction());
        Connection->Execute("insert into T values (1)");
        transaction.Commit();
        EXPECT_FALSE(Connection->InTransaction());
    }
    EXPECT_EQ(Rows(), "1");
}

TEST_F(TransactionGuardTest, LeavingWithoutCommitRollsBack) {
    EXPECT_THROW(
        {
            TTransactionGuard transaction(Connection.get());
            Connection->Execute("insert into T values (1)");
            throw std::runtime_error("the work failed");
        },
        std::runtime_error);
    EXPECT_FALSE(Connection->InTransaction());
    EXPECT_EQ(Rows(), "0");

    {
        TTransactionGuard transaction(Connection.get());
        Connection->Execute("insert into T values (2)");
    }
    EXPECT_FALSE(Connection->InTransaction());
    EXPECT_EQ(Rows(), "0") << "a return that skips Commit must not keep half the work";
}

TEST_F(TransactionGuardTest, FailingCommitRaisesAndRollsBack) {
    // A deferred foreign key is checked at COMMIT, which then fails and leaves
    // the transaction open.
    RunSql(File, "create table P (ID integer primary key);"
                 "create table C (P integer references P(ID) deferrable initially deferred);");
    Connection->Execute("PRAGMA foreign_keys = ON");
    EXPECT_THROW(
        {
            TTransactionGuard transaction(Connection.get());
            Connection->Execute("insert into T values (1)");
            Connection->Execute("insert into C values (99)");
            transaction.Commit();
        },
        EDatabaseError);
    EXPECT_FALSE(Connection->InTransaction());
    EXPECT_EQ(Rows(), "0");
}

TEST_F(TransactionGuardTest, AJoinedTransactionStaysTheCallers) {
    Connection->BeginTrans();
    {
        TTransactionGuard transaction(Connection.get());
        Connection->Execute("insert into T values (1)");
        transaction.Commit();
    }
    EXPECT_TRUE(Connection->InTransaction()) << "committed by the guard that joined";
    try {
        TTransactionGuard transaction(Connection.get());
        Connection->Execute("insert into T values (2)");
        throw std::runtime_error("the work failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(Connection->InTransaction()) << "rolled back by the guard that joined";
    Connection->CommitTrans();
    EXPECT_EQ(Rows(), "2");
}

} // namespace
