// Data sources and links: Enabled, AutoEdit, ReadOnly links, and components
// freed in any order.
#include <gtest/gtest.h>

#include "Recorder.h"
#include "TestDatabase.h"

namespace {

class DataSourceTest : public ::testing::Test {
protected:
    TScratchFolder Folder;
    std::unique_ptr<TADOConnection> Connection;

    void SetUp() override {
        std::string File = Folder / "data.mdb";
        RunSql(File, "create table T (ID integer primary key, Name varchar(20)); insert into T values (1, 'a');");
        Connection = Connect(File);
    }
};

TEST_F(DataSourceTest, EnabledAutoEditAndReadOnlyDecideWhatLinksSeeAndDo) {
    auto Query = OpenQuery(Connection.get(), "select * from T");
    TDataSource Source(nullptr);
    Source.SetDataSet(Query.get());
    TEventLog Log;
    TRecordingLink Link(Log);
    Link.SetDataSource(&Source);
    EXPECT_TRUE(Link.Active());
    EXPECT_EQ(Log, TEventLog{"link.ActiveChanged"});

    Source.SetEnabled(false);
    EXPECT_FALSE(Link.Active());
    EXPECT_EQ(Source.State(), dsInactive);
    Source.SetEnabled(true);
    EXPECT_TRUE(Link.Active());

    Source.SetAutoEdit(false);
    EXPECT_FALSE(Link.Edit());
    EXPECT_EQ(Query->State(), dsBrowse);
    Source.SetAutoEdit(true);
    Link.SetReadOnly(true);
    EXPECT_FALSE(Link.Edit());
    Link.SetReadOnly(false);
    EXPECT_TRUE(Link.Edit());
    EXPECT_EQ(Query->State(), dsEdit);
    Link.SetReadOnly(true); // a read-only link never reports editing
    EXPECT_FALSE(Link.Editing());
    Query->Cancel();
}

TEST_F(DataSourceTest, FreeingInAnyOrderLeavesNoDanglingReferences) {
    TEventLog Log;
    {
        auto Query = OpenQuery(Connection.get(), "select * from T");
        auto Source = std::make_unique<TDataSource>(nullptr);
        Source->SetDataSet(Query.get());
        TRecordingLink Link(Log);
        Link.SetDataSource(Source.get());
        Query.reset(); // the dataset goes first
        EXPECT_EQ(Source->DataSet(), nullptr);
        EXPECT_FALSE(Link.Active());
        Source.reset(); // then the data source
        EXPECT_EQ(Link.DataSource(), nullptr);
    }
    {
        auto Query = OpenQuery(Connection.get(), "select * from T");
        TDataSource Source(nullptr);
        Source.SetDataSet(Query.get());
        {
            TRecordingLink Link(Log);
            Link.SetDataSource(&Source);
        } // a link freed first simply leaves
        EXPECT_TRUE(Source.DataLinks().empty());
        Connection.reset(); // the connection closes its datasets; default fields go with it
        EXPECT_FALSE(Query->Active());
        EXPECT_EQ(Query->FindField("Name"), nullptr);
        EXPECT_THROW(Query->Open(), EDatabaseError);
    }
}

TEST_F(DataSourceTest, ChangingTheQueryTextClosesItAndRebuildsParameters) {
    TADOQuery Query(nullptr);
    Query.SetConnection(Connection.get());
    Query.SQL()->SetText("select * from T where ID = :id");
    Query.Parameters()->ParamByName("id")->SetValue(Variant(1));
    Query.Open();
    EXPECT_EQ(Query.RecordCount(), 1);
    Query.SQL()->SetText("select * from T where Name = :name");
    EXPECT_FALSE(Query.Active());
    EXPECT_EQ(Query.Parameters()->FindParam("id"), nullptr);
    EXPECT_NE(Query.Parameters()->FindParam("name"), nullptr);
}

} // namespace
