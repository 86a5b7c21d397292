// Row copies between two files on one connection: columns matched by name,
// and expressions standing in for chosen columns.
#include "app/DatabaseCopy.h"

#include "app/DataModule.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SqliteFile.h"

#include <gtest/gtest.h>

namespace {

class DatabaseCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The target orders its columns differently and has one the source lacks.
        RunSql(Scratch / "target.db", "create table T (Extra text, Name text, Id integer, Parent integer)");
        RunSql(Scratch / "source.db", "create table T (Id integer, Name text, Gone text);"
                                      "insert into T values (7, 'it''s', 'x'), (8, 'b', 'y')");
        Connection.SetConnectionString(DatabaseConnectionString(Scratch / "target.db"));
        Connection.Open();
    }

    TScratchFolder Scratch;
    TADOConnection Connection{nullptr};
};

} // namespace

TEST_F(DatabaseCopyTest, ValuesTakeTheirColumnsPlaceEvenWhereTheSourceLacksThem) {
    TAttachedDatabase attached(&Connection, Scratch / "source.db", "package");
    TADOCommand copy(nullptr);
    copy.SetConnection(&Connection);
    copy.SetCommandText(CopyRowsByNameSQL(&Connection, "T", "main", "package", "Id = :Old",
                                          {{"id", ":NewKey"}, {"PARENT", ":Parent"}}));
    copy.Parameters()->ParamByName("Old")->SetValue(7);
    copy.Parameters()->ParamByName("NewKey")->SetValue(100);
    copy.Parameters()->ParamByName("Parent")->SetValue(5);
    EXPECT_EQ(copy.Execute(), 1);
    attached.Detach();
    Connection.Close();
    EXPECT_EQ(QueryText(Scratch / "target.db", "select Name || '|' || Id || '|' || Parent || '|' || "
                                               "coalesce(Extra, '<null>') from T"),
              "it's|100|5|<null>");
}
