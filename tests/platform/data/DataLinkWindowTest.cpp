// The record window each data link sees: its size, where it sits after
// moves and jumps, the Distance it reports, and ActiveRecord redirecting
// field reads without moving the cursor.
#include <gtest/gtest.h>

#include "Recorder.h"
#include "tests/support/ScratchQuery.h"

namespace {

class DataLinkWindowTest : public ::testing::Test {
protected:
    TScratchFolder Folder;
    std::unique_ptr<TADOConnection> Connection;
    std::unique_ptr<TADOQuery> Query;
    TDataSource Source{nullptr};
    TEventLog Log;
    TRecordingLink Link{Log};

    // Ten records with ID 1..10, in ID order.
    void SetUp() override {
        std::string file = Folder / "data.mdb";
        std::string sql = "create table T (ID integer primary key, Name varchar(20));";
        for (int i = 1; i <= 10; ++i)
            sql += "insert into T values (" + std::to_string(i) + ", 'n" + std::to_string(i) + "');";
        RunSql(file, sql);
        Connection = Connect(file);
        Query = OpenQuery(Connection.get(), "select * from T order by ID");
        Source.SetDataSet(Query.get());
        Link.SetDataSource(&Source);
    }
    void TearDown() override { Link.SetDataSource(nullptr); }

    Integer CurrentId() const { return Query->FieldByName("ID")->AsInteger(); }
    // The IDs of the window's rows, read through ActiveRecord.
    std::vector<Integer> WindowIds() {
        std::vector<Integer> ids;
        for (Integer row = 0; row < Link.RecordCount(); ++row) {
            TActiveRecordScope scope(&Link, row);
            ids.push_back(CurrentId());
        }
        return ids;
    }
    std::vector<Integer> Range(Integer From, Integer To) {
        std::vector<Integer> ids;
        for (Integer i = From; i <= To; ++i)
            ids.push_back(i);
        return ids;
    }
};

TEST_F(DataLinkWindowTest, GrowingTheBufferFetchesAfterThenBeforeAndTellsNoOne) {
    Log.clear();
    Link.SetBufferCount(4);
    EXPECT_EQ(WindowIds(), Range(1, 4));
    EXPECT_EQ(Link.ActiveRecord(), 0);

    Query->Last();
    EXPECT_EQ(WindowIds(), Range(7, 10));
    Log.clear();
    Link.SetBufferCount(6); // nothing after the window: the rows come from before it
    EXPECT_EQ(WindowIds(), Range(5, 10));
    EXPECT_EQ(Link.ActiveRecord(), 5);
    EXPECT_EQ(CurrentId(), 10);
    Link.SetBufferCount(25); // more than there are records
    EXPECT_EQ(Link.RecordCount(), 10);
    EXPECT_EQ(Link.ActiveRecord(), 9);
    EXPECT_TRUE(Log.empty());

    Query->MoveBy(-5);      // ID 5
    Link.SetBufferCount(3); // shrinking keeps the current record inside
    EXPECT_EQ(CurrentId(), 5);
    EXPECT_EQ(Link.RecordCount(), 3);
    EXPECT_EQ(Link.ActiveRecord(), 2);
}

TEST_F(DataLinkWindowTest, RelativeMovesScrollMinimallyWithTheSignedShiftOfTheTop) {
    Link.SetBufferCount(4);
    struct Step {
        Integer Distance;
        Integer ExpectedTop; // ID of the window's first row
        Integer ExpectedActive;
        const char* Reported;
    } steps[] = {
        {3, 1, 3, "link.DataSetScrolled(0)"}, // inside the window: only ActiveRecord changes
        {1, 2, 3, "link.DataSetScrolled(1)"}, // one past the bottom: toward EOF is positive
        {4, 6, 3, "link.DataSetScrolled(4)"},   {-3, 6, 0, "link.DataSetScrolled(0)"},
        {-2, 4, 0, "link.DataSetScrolled(-2)"}, // toward BOF is negative
        {20, 7, 3, "link.DataSetScrolled(3)"},  // stops at the last record
    };
    for (const Step& s : steps) {
        Log.clear();
        Query->MoveBy(s.Distance);
        EXPECT_EQ(Log, TEventLog{s.Reported}) << "MoveBy(" << s.Distance << ")";
        EXPECT_EQ(WindowIds().front(), s.ExpectedTop) << "MoveBy(" << s.Distance << ")";
        EXPECT_EQ(Link.ActiveRecord(), s.ExpectedActive) << "MoveBy(" << s.Distance << ")";
    }
    EXPECT_TRUE(Query->Eof());
    EXPECT_EQ(CurrentId(), 10);
}

TEST_F(DataLinkWindowTest, MovingByTheWindowEdgesLandsExactlyOneRowOutside) {
    Link.SetBufferCount(4);
    Query->MoveBy(5);  // ID 6, window 3..6
    Query->MoveBy(-2); // ID 4, window 3..6, ActiveRecord 1
    ASSERT_EQ(WindowIds(), Range(3, 6));

    Log.clear();
    EXPECT_EQ(Query->MoveBy(-1 - Link.ActiveRecord()), -2);
    EXPECT_EQ(CurrentId(), 2); // the row above the first buffered row
    EXPECT_EQ(Log, TEventLog{"link.DataSetScrolled(-1)"});
    EXPECT_EQ(WindowIds(), Range(2, 5));

    Log.clear();
    EXPECT_EQ(Query->MoveBy(Link.RecordCount() - Link.ActiveRecord()), 4);
    EXPECT_EQ(CurrentId(), 6); // the row below the last buffered row
    EXPECT_EQ(Log, TEventLog{"link.DataSetScrolled(1)"});
    EXPECT_EQ(WindowIds(), Range(3, 6));
}

TEST_F(DataLinkWindowTest, ActiveRecordRedirectsReadsButNotTheCursor) {
    Link.SetBufferCount(4);
    Query->MoveBy(1); // ID 2
    TBookmarkStr current = Query->Bookmark();
    Log.clear();
    Link.SetActiveRecord(3);
    EXPECT_EQ(CurrentId(), 4);
    EXPECT_EQ(Query->FieldByName("Name")->DisplayText(), "n4");
    EXPECT_EQ(Query->RecNo(), 4);
    TBookmarkStr row3 = Query->Bookmark();
    EXPECT_NE(row3, current);
    Link.SetActiveRecord(1);
    EXPECT_EQ(Query->Bookmark(), current);
    EXPECT_TRUE(Log.empty());

    // Cursor operations act on the real current record.
    Link.SetActiveRecord(3);
    Query->Next();
    EXPECT_EQ(CurrentId(), 3);
    EXPECT_EQ(Link.ActiveRecord(), 2);
    // So do writes.
    Link.SetActiveRecord(0);
    Query->Edit();
    Query->FieldByName("Name")->SetAsString("third");
    Query->Post();
    EXPECT_EQ(QueryText(Folder / "data.mdb", "select Name from T where ID = 3"), "third");
    EXPECT_EQ(QueryText(Folder / "data.mdb", "select Name from T where ID = 1"), "n1");
}

TEST_F(DataLinkWindowTest, JumpsRebuildTheWindowAndSendDataSetChanged) {
    Link.SetBufferCount(4);
    struct Jump {
        const char* Name;
        std::function<void()> Act;
        std::vector<Integer> Window;
        Integer Current;
    } jumps[] = {
        {"Last", [&] { Query->Last(); }, Range(7, 10), 10},
        {"First", [&] { Query->First(); }, Range(1, 4), 1},
        {"Locate centres", [&] { Query->Locate("ID", Variant(6), {}); }, Range(5, 8), 6},
        {"RecNo centres", [&] { Query->SetRecNo(3); }, Range(2, 5), 3},
        {"GotoBookmark near the end",
         [&] {
             Query->Last();
             TBookmarkStr b = Query->Bookmark();
             Query->First();
             Query->GotoBookmark(b);
         },
         Range(7, 10), 10},
    };
    for (const Jump& j : jumps) {
        Log.clear();
        j.Act();
        EXPECT_EQ(Log.back(), "link.DataSetChanged") << j.Name;
        for (const std::string& entry : Log)
            EXPECT_EQ(entry.find("Scrolled"), std::string::npos) << j.Name;
        EXPECT_EQ(WindowIds(), j.Window) << j.Name;
        EXPECT_EQ(CurrentId(), j.Current) << j.Name;
    }
}

TEST_F(DataLinkWindowTest, EditsKeepTheWindowTop) {
    Link.SetBufferCount(4);
    Query->MoveBy(5);  // ID 6, window 3..6
    Query->MoveBy(-1); // ID 5, ActiveRecord 2

    Query->Insert(); // the new row takes the current row's place, the window's top stays
    EXPECT_EQ(Link.RecordCount(), 4);
    EXPECT_EQ(Link.ActiveRecord(), 2);
    EXPECT_EQ(Query->RecNo(), -1);
    EXPECT_EQ(WindowIds(), (std::vector<Integer>{3, 4, 0, 5}));
    Query->Cancel();
    EXPECT_EQ(WindowIds(), Range(3, 6));
    EXPECT_EQ(CurrentId(), 5);

    Query->Delete(); // the next record becomes current in the same row
    EXPECT_EQ(WindowIds(), (std::vector<Integer>{3, 4, 6, 7}));
    EXPECT_EQ(CurrentId(), 6);

    Query->Append(); // the new row at the bottom, after the last record
    EXPECT_EQ(Link.ActiveRecord(), 3);
    EXPECT_EQ(WindowIds(), (std::vector<Integer>{8, 9, 10, 0}));
    Query->FieldByName("ID")->SetAsInteger(11);
    Query->Post();
    EXPECT_EQ(WindowIds(), (std::vector<Integer>{8, 9, 10, 11}));

    Query->Last();
    Query->Delete(); // deleting the last record makes the previous one current
    EXPECT_EQ(CurrentId(), 10);
    EXPECT_EQ(WindowIds(), (std::vector<Integer>{7, 8, 9, 10}));
}

TEST_F(DataLinkWindowTest, AnEmptyDataSetShowsRecordZeroAndKeepsNoPosition) {
    // A grid that opens an empty list focuses its node ActiveRecord names.
    Query->Close();
    Query->SQL()->SetText("select * from T where ID > 10");
    Query->Open();
    EXPECT_EQ(Link.RecordCount(), 0);
    EXPECT_EQ(Link.ActiveRecord(), 0);
    Link.SetActiveRecord(0);
    EXPECT_TRUE(Query->Eof());
    EXPECT_TRUE(Query->IsEmpty());
}

} // namespace

