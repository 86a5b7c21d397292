// The order of dataset events, data-source events and data-link
// notifications for each operation, as one table.
#include <gtest/gtest.h>

#include "Recorder.h"
#include "TestDatabase.h"

namespace {

struct TWorld {
    TScratchFolder Folder;
    std::unique_ptr<TADOConnection> Connection;
    std::unique_ptr<TADOQuery> Query;
    std::unique_ptr<TDataSource> Source;
    TEventLog Log;
    std::unique_ptr<TRecordingLink> Link;

    explicit TWorld(const char* Sql = "select * from T order by ID") {
        std::string File = Folder / "data.mdb";
        RunSql(File,
               "create table T (ID integer primary key, Name varchar(20));"
               "insert into T values (1, 'one'); insert into T values (2, 'two'); insert into T values (3, 'three');"
               "create table E (ID integer primary key);");
        Connection = Connect(File);
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
    static const std::vector<TEventCase> Cases = {
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
    return Cases;
}

TEST(DataSetEvents, EachOperationReportsInTheFrameworksOrder) {
    for (const TEventCase& Case : EventCases()) {
        TWorld World;
        World.Query->Open();
        if (Case.Prepare) Case.Prepare(World);
        World.Log.clear();
        Case.Act(World);
        EXPECT_EQ(World.Log, Case.Expected) << Case.Operation;
    }
}

TEST(DataSetEvents, EditorsWriteTheirTextBeforeBeforePost) {
    TWorld World;
    World.Query->Open();
    World.Query->Edit();
    World.Link->OnUpdateData = [&World] { World.Query->FieldByName("Name")->SetAsString("from the editor"); };
    std::string SeenInBeforePost;
    World.Query->BeforePost = [&](TDataSet* D) { SeenInBeforePost = D->FieldByName("Name")->AsString(); };
    World.Query->Post();
    EXPECT_EQ(SeenInBeforePost, "from the editor");
    EXPECT_EQ(QueryText(World.Folder / "data.mdb", "select Name from T where ID = 1"), "from the editor");
}

TEST(DataSetEvents, AbortInABeforeEventLeavesEverythingAsItWas) {
    TWorld World;
    World.Query->Open();
    World.Query->Edit();
    World.Query->FieldByName("Name")->SetAsString("changed");
    World.Query->BeforePost = [](TDataSet*) { Abort(); };
    EXPECT_THROW(World.Query->Post(), EAbort);
    EXPECT_EQ(World.Query->State(), dsEdit);
    EXPECT_EQ(World.Query->FieldByName("Name")->AsString(), "changed");
    EXPECT_EQ(QueryText(World.Folder / "data.mdb", "select Name from T where ID = 1"), "one");
    World.Query->BeforePost = nullptr;
    World.Query->Cancel();

    World.Query->BeforeScroll = [](TDataSet*) { Abort(); };
    EXPECT_THROW(World.Query->Next(), EAbort);
    EXPECT_EQ(World.Query->RecNo(), 1);
    World.Query->BeforeScroll = nullptr;

    World.Query->BeforeClose = [](TDataSet*) { Abort(); };
    EXPECT_THROW(World.Query->Close(), EAbort);
    EXPECT_TRUE(World.Query->Active());
    World.Query->BeforeClose = nullptr;
}

TEST(DataSetEvents, DisableControlsNestsAndCatchesUpOnce) {
    TWorld World;
    World.Query->Open();
    World.Log.clear();
    {
        TDisableControlsScope Outer(World.Query.get());
        {
            TDisableControlsScope Inner(World.Query.get());
            World.Query->Next();
            World.Query->Last();
        }
        World.Query->Edit();
        World.Query->FieldByName("Name")->SetAsString("quiet");
        World.Query->Post();
        // Only the dataset's own events fire while controls are disabled.
        for (const std::string& Entry : World.Log)
            EXPECT_EQ(Entry.find("link."), std::string::npos) << Entry;
        World.Log.clear();
    }
    EXPECT_EQ(World.Log, (TEventLog{"link.DataSetChanged", "OnDataChange"}));

    World.Log.clear();
    World.Query->DisableControls();
    World.Query->Edit();
    World.Query->EnableControls();
    EXPECT_EQ(World.Log, (TEventLog{"BeforeEdit", "AfterEdit", "link.EditingChanged", "OnStateChange",
                                    "link.DataSetChanged", "OnDataChange"}));
    World.Query->Cancel();

    // An exception inside the scope still enables the controls.
    try {
        TDisableControlsScope Scope(World.Query.get());
        throw EAbort();
    } catch (const EAbort&) {
    }
    EXPECT_FALSE(World.Query->ControlsDisabled());
}

} // namespace
