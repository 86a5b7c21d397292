// Data sources and links: Enabled, AutoEdit, ReadOnly links, and components
// freed in any order.
#include <gtest/gtest.h>

#include "Recorder.h"
#include "tests/support/ScratchQuery.h"

namespace {

class DataSourceTest : public ::testing::Test {
protected:
    TScratchFolder Folder;
    std::unique_ptr<TADOConnection> Connection;

    void SetUp() override {
        std::string file = Folder / "data.mdb";
        RunSql(file, "create table T (ID integer primary key, Name varchar(20)); insert into T values (1, 'a');");
        Connection = Connect(file);
    }
};

TEST_F(DataSourceTest, EnabledAutoEditAndReadOnlyDecideWhatLinksSeeAndDo) {
    auto query = OpenQuery(Connection.get(), "select * from T");
    TDataSource source(nullptr);
    source.SetDataSet(query.get());
    TEventLog log;
    TRecordingLink link(log);
    link.SetDataSource(&source);
    EXPECT_TRUE(link.Active());
    EXPECT_EQ(log, TEventLog{"link.ActiveChanged"});

    source.SetEnabled(false);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(source.State(), dsInactive);
    source.SetEnabled(true);
    EXPECT_TRUE(link.Active());

    source.SetAutoEdit(false);
    EXPECT_FALSE(link.Edit());
    EXPECT_EQ(query->State(), dsBrowse);
    source.SetAutoEdit(true);
    link.SetReadOnly(true);
    EXPECT_FALSE(link.Edit());
    link.SetReadOnly(false);
    EXPECT_TRUE(link.Edit());
    EXPECT_EQ(query->State(), dsEdit);
    link.SetReadOnly(true); // a read-only link never reports editing
    EXPECT_FALSE(link.Editing());
    query->Cancel();
}

TEST_F(DataSourceTest, FreeingInAnyOrderLeavesNoDanglingReferences) {
    TEventLog log;
    {
        auto query = OpenQuery(Connection.get(), "select * from T");
        auto source = std::make_unique<TDataSource>(nullptr);
        source->SetDataSet(query.get());
        TRecordingLink link(log);
        link.SetDataSource(source.get());
        query.reset(); // the dataset goes first
        EXPECT_EQ(source->DataSet(), nullptr);
        EXPECT_FALSE(link.Active());
        source.reset(); // then the data source
        EXPECT_EQ(link.DataSource(), nullptr);
    }
    {
        auto query = OpenQuery(Connection.get(), "select * from T");
        TDataSource source(nullptr);
        source.SetDataSet(query.get());
        {
            TRecordingLink link(log);
            link.SetDataSource(&source);
        } // a link freed first simply leaves
        EXPECT_TRUE(source.DataLinks().empty());
        Connection.reset(); // the connection closes its datasets; default fields go with it
        EXPECT_FALSE(query->Active());
        EXPECT_EQ(query->FindField("Name"), nullptr);
        EXPECT_THROW(query->Open(), EDatabaseError);
    }
}

TEST_F(DataSourceTest, ChangingTheQueryTextClosesItAndRebuildsParameters) {
    TADOQuery query(nullptr);
    query.SetConnection(Connection.get());
    query.SQL()->SetText("select * from T where ID = :id");
    query.Parameters()->ParamByName("id")->SetValue(Variant(1));
    query.Open();
    EXPECT_EQ(query.RecordCount(), 1);
    query.SQL()->SetText("select * from T where Name = :name");
    EXPECT_FALSE(query.Active());
    EXPECT_EQ(query.Parameters()->FindParam("id"), nullptr);
    EXPECT_NE(query.Parameters()->FindParam("name"), nullptr);
}

} // namespace
