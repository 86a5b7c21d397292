// The order of dataset events, data-source events and data-link
// notifications for each operation, as one table.
#include <gtest/gtest.h>

#include "Recorder.h"
#include "tests/support/ScratchQuery.h"

namespace {

struct TWorld {
    TScratchFolder Folder;
    std::unique_ptr<TADOConnection> Connection;
    std::unique_ptr<TADOQuery> Query;
    std::unique_ptr<TDataSource> Source;
    TEventLog Log;
    std::unique_ptr<TRecordingLink> Link;

    explicit TWorld(const char* Sql = "select * from T order by ID") {
        std::string file = Folder / "data.mdb";
        RunSql(file,
               "create table T (ID integer primary key, Name varchar(20));"
               "insert into T values (1, 'one'); insert into T values (2, 'two'); insert into T values (3, 'three');"
               "create table E (ID integer primary key);");
        Connection = Connect(file);
        Query = std::make_unique<TADOQuery>(nullptr);
        Query->SetConnection(Connection.get());
        Query->SQL()->SetText(Sql);
        Source = std::make_unique<TDataSource>(nullptr);
        Source->SetDataSet(Query.get());
        Link = std::make_unique<TRecordingLink>(Log);
        Link->SetDataSource(Source.get());
        RecordDataSetEvents(Query.get(), Source.get(), Log);
    }
};

struct TEventCase {
    const char* Operation;
    std::function<void(TWorld&)> Prepare; // before recording starts (the query is open unless it closes it)
    std::function<void(TWorld&)> Act;
    TEventLog Expected;
};

const std::vector<TEventCase>& EventCases() {
    static const std::vector<TEventCase> cases = {
        {"Open a non-empty result",
         [](TWorld& W) { W.Query->Close(); },
         [](TWorld& W) { W.Query->Open(); },
         {"BeforeOpen", "link.ActiveChanged", "OnStateChange", "OnDataChange", "AfterOpen", "AfterScroll"}},
        {"Open an empty result",
         [](TWorld& W) {
             W.Query->Close();
             W.Query->SQL()->SetText("select * from E");
         },
         [](TWorld& W) { W.Query->Open(); },
         {"BeforeOpen", "link.ActiveChanged", "OnStateChange", "OnDataChange", "AfterOpen"}},
        {"Close",
         nullptr,
         [](TWorld& W) { W.Query->Close(); },
         {"BeforeClose", "link.ActiveChanged", "OnStateChange", "AfterClose"}},
        {"Next",
         nullptr,
         [](TWorld& W) { W.Query->Next(); },
         {"BeforeScroll", "link.DataSetScrolled(1)", "OnDataChange", "AfterScroll"}},
        {"Next on the last record, reached by moving",
         [](TWorld& W) { W.Query->MoveBy(2); },
         [](TWorld& W) { W.Query->Next(); },
         {"BeforeScroll", "link.DataSetScrolled(0)", "OnDataChange", "AfterScroll"}},
        {"Next at EOF",
         [](TWorld& W) { W.Query->Last(), W.Query->Next(); },
         [](TWorld& W) { W.Query->Next(); },
         {"BeforeScroll"}},
        {"First",
         [](TWorld& W) { W.Query->Last(); },
         [](TWorld& W) { W.Query->First(); },
         {"BeforeScroll", "link.DataSetChanged", "OnDataChange", "AfterScroll"}},
        {"Edit",
         nullptr,
         [](TWorld& W) { W.Query->Edit(); },
         {"BeforeEdit", "link.EditingChanged", "OnStateChange", "link.RecordChanged(nil)", "OnDataChange",
          "AfterEdit"}},
        {"Set a field while editing",
         [](TWorld& W) { W.Query->Edit(); },
         [](TWorld& W) { W.Query->FieldByName("Name")->SetAsString("uno"); },
         {"link.RecordChanged(Name)", "OnDataChange(Name)"}},
        {"Post",
         [](TWorld& W) { W.Query->Edit(), W.Query->FieldByName("Name")->SetAsString("uno"); },
         [](TWorld& W) { W.Query->Post(); },
         {"link.UpdateData", "BeforePost", "link.EditingChanged", "OnStateChange", "link.DataSetChanged",
          "OnDataChange", "AfterPost"}},
        {"Cancel an edit",
         [](TWorld& W) { W.Query->Edit(); },
         [](TWorld& W) { W.Query->Cancel(); },
         {"BeforeCancel", "link.EditingChanged", "OnStateChange", "link.DataSetChanged", "OnDataChange",
          "AfterCancel"}},
        {"Insert",
         nullptr,
         [](TWorld& W) { W.Query->Insert(); },
         {"BeforeInsert", "BeforeScroll", "link.EditingChanged", "OnStateChange", "OnNewRecord", "link.DataSetChanged",
          "OnDataChange", "AfterInsert", "AfterScroll"}},
        {"Append",
         nullptr,
         [](TWorld& W) { W.Query->Append(); },
         {"BeforeInsert", "BeforeScroll", "link.EditingChanged", "OnStateChange", "OnNewRecord", "link.DataSetChanged",
          "OnDataChange", "AfterInsert", "AfterScroll"}},
        {"Cancel an insert",
         [](TWorld& W) { W.Query->Insert(); },
         [](TWorld& W) { W.Query->Cancel(); },
         {"BeforeCancel", "BeforeScroll", "link.EditingChanged", "OnStateChange", "link.DataSetChanged", "OnDataChange",
          "AfterCancel", "AfterScroll"}},
        {"Move a field",
         nullptr,
         [](TWorld& W) { W.Query->FieldByName("Name")->SetIndex(0); },
         {"link.LayoutChanged", "OnDataChange"}},
        {"Delete",
         nullptr,
         [](TWorld& W) { W.Query->Delete(); },
         {"BeforeDelete", "BeforeScroll", "link.DataSetChanged", "OnDataChange", "AfterDelete", "AfterScroll"}},
        {"Next while editing a modified record posts first",
         [](TWorld& W) { W.Query->Edit(), W.Query->FieldByName("Name")->SetAsString("uno"); },
         [](TWorld& W) { W.Query->Next(); },
         {"link.UpdateData", "link.UpdateData", "BeforePost", "link.EditingChanged", "OnStateChange",
          "link.DataSetChanged", "OnDataChange", "AfterPost", "BeforeScroll", "link.DataSetScrolled(1)", "OnDataChange",
          "AfterScroll"}},
        {"Next while editing an unmodified record cancels first",
         [](TWorld& W) { W.Query->Edit(); },
         [](TWorld& W) { W.Query->Next(); },
         {"link.UpdateData", "BeforeCancel", "link.EditingChanged", "OnStateChange", "link.DataSetChanged",
          "OnDataChange", "AfterCancel", "BeforeScroll", "link.DataSetScrolled(1)", "OnDataChange", "AfterScroll"}},
    };
    return cases;
}

TEST(DataSetEvents, EachOperationReportsInTheFrameworksOrder) {
    for (const TEventCase& row : EventCases()) {
        TWorld world;
        world.Query->Open();
        if (row.Prepare) row.Prepare(world);
        world.Log.clear();
        row.Act(world);
        EXPECT_EQ(world.Log, row.Expected) << row.Operation;
    }
}

// A control keeping the records' values tells a jump from a change by it.
TEST(DataSetEvents, ChangeCountGrowsWithAChangeOfTheRecordsNotWithAMove) {
    const struct {
        const char* Operation;
        std::function<void(TDataSet&)> Act;
        bool Grows;
    } cases[] = {
        {"moves and jumps",
         [](TDataSet& D) {
             D.Next(), D.Last(), D.First(), D.SetRecNo(2);
             D.Locate("ID", 3, {});
         },
         false},
        {"an edit begun", [](TDataSet& D) { D.Edit(); }, false},
        {"a post", [](TDataSet& D) { D.Edit(), D.FieldByName("Name")->SetAsString("uno"), D.Post(); }, true},
        {"a cancelled edit", [](TDataSet& D) { D.Edit(), D.Cancel(); }, true},
        {"an insert", [](TDataSet& D) { D.Insert(); }, true},
        {"a delete", [](TDataSet& D) { D.Delete(); }, true},
        {"a refresh", [](TDataSet& D) { D.Refresh(); }, true},
        {"a filter", [](TDataSet& D) { D.SetFilter("ID > 1"), D.SetFiltered(true); }, true},
        {"a reopen", [](TDataSet& D) { D.Close(), D.Open(); }, true},
    };
    for (const auto& c : cases) {
        TWorld world;
        world.Query->Open();
        const Int64 before = world.Query->ChangeCount();
        c.Act(*world.Query);
        EXPECT_EQ(world.Query->ChangeCount() != before, c.Grows) << c.Operation;
    }
}

TEST(DataSetEvents, EditorsWriteTheirTextBeforeBeforePost) {
    TWorld world;
    world.Query->Open();
    world.Query->Edit();
    world.Link->OnUpdateData = [&world] { world.Query->FieldByName("Name")->SetAsString("from the editor"); };
    std::string seenInBeforePost;
    world.Query->BeforePost = [&](TDataSet* D) { seenInBeforePost = D->FieldByName("Name")->AsString(); };
    world.Query->Post();
    EXPECT_EQ(seenInBeforePost, "from the editor");
    EXPECT_EQ(QueryText(world.Folder / "data.mdb", "select Name from T where ID = 1"), "from the editor");
}

TEST(DataSetEvents, AbortInABeforeEventLeavesEverythingAsItWas) {
    TWorld world;
    world.Query->Open();
    world.Query->Edit();
    world.Query->FieldByName("Name")->SetAsString("changed");
    world.Query->BeforePost = [](TDataSet*) { Abort(); };
    EXPECT_THROW(world.Query->Post(), EAbort);
    EXPECT_EQ(world.Query->State(), dsEdit);
    EXPECT_EQ(world.Query->FieldByName("Name")->AsString(), "changed");
    EXPECT_EQ(QueryText(world.Folder / "data.mdb", "select Name from T where ID = 1"), "one");
    world.Query->BeforePost = nullptr;
    world.Query->Cancel();

    world.Query->BeforeScroll = [](TDataSet*) { Abort(); };
    EXPECT_THROW(world.Query->Next(), EAbort);
    EXPECT_EQ(world.Query->RecNo(), 1);
    world.Query->BeforeScroll = nullptr;

    world.Query->BeforeClose = [](TDataSet*) { Abort(); };
    EXPECT_THROW(world.Query->Close(), EAbort);
    EXPECT_TRUE(world.Query->Active());
    world.Query->BeforeClose = nullptr;
}

TEST(DataSetEvents, DisableControlsNestsAndCatchesUpOnce) {
    TWorld world;
    world.Query->Open();
    world.Log.clear();
    {
        TDisableControlsScope outer(world.Query.get());
        {
            TDisableControlsScope inner(world.Query.get());
            world.Query->Next();
            world.Query->Last();
        }
        world.Query->Edit();
        world.Query->FieldByName("Name")->SetAsString("quiet");
        world.Query->Post();
        // Only the dataset's own events fire while controls are disabled.
        for (const std::string& entry : world.Log)
            EXPECT_EQ(entry.find("link."), std::string::npos) << entry;
        world.Log.clear();
    }
    EXPECT_EQ(world.Log, (TEventLog{"link.DataSetChanged", "OnDataChange"}));

    world.Log.clear();
    world.Query->DisableControls();
    world.Query->Edit();
    world.Query->EnableControls();
    EXPECT_EQ(world.Log, (TEventLog{"BeforeEdit", "AfterEdit", "link.EditingChanged", "OnStateChange",
                                    "link.DataSetChanged", "OnDataChange"}));
    world.Query->Cancel();

    // An exception inside the scope still enables the controls.
    try {
        TDisableControlsScope scope(world.Query.get());
        throw EAbort();
    } catch (const EAbort&) {
    }
    EXPECT_FALSE(world.Query->ControlsDisabled());
}

} // namespace
