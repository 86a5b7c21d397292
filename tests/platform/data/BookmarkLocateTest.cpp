// Bookmarks (stable across deletions of other records, ordered as the
// dataset), Locate across types and Lookup.
#include <gtest/gtest.h>

#include "tests/support/ScratchQuery.h"

namespace {

class BookmarkLocateTest : public ::testing::Test {
protected:
    TScratchFolder Folder;
    std::unique_ptr<TADOConnection> Connection;
    std::unique_ptr<TADOQuery> Query;

    void SetUp() override {
        std::string file = Folder / "data.mdb";
        RunSql(file, "create table T (ID integer primary key, Code varchar(10), Name varchar(20), Amount money, "
                     "Made datetime, Done bit);"
                     "insert into T values (7, '007', 'Zhang San', 12.5, '2024-05-01 00:00:00', 1);"
                     "insert into T values (42, '042', 'li si', 3, '2024-05-02 08:30:00', 0);"
                     "insert into T values (5, '005', 'Wang Wu', null, null, 0);"
                     "insert into T values (9, '009', 'Zhao Liu', 99.99, '2023-12-31 00:00:00', 1);");
        Connection = Connect(file);
        Query = OpenQuery(Connection.get(), "select * from T order by Code desc");
    }
    Integer CurrentId() const { return Query->FieldByName("ID")->AsInteger(); }
};

TEST_F(BookmarkLocateTest, BookmarksSurviveDeletingOtherRecordsAndCompareInDatasetOrder) {
    // Order: 42, 9, 7, 5.
    std::vector<TBookmarkStr> marks;
    for (Query->First(); !Query->Eof(); Query->Next())
        marks.push_back(Query->Bookmark());
    ASSERT_EQ(marks.size(), 4u);
    for (size_t i = 0; i < marks.size(); ++i)
        for (size_t j = 0; j < marks.size(); ++j)
            EXPECT_EQ(Query->CompareBookmarks(marks[i], marks[j]), i < j ? -1 : i > j ? 1 : 0) << i << "," << j;

    Query->GotoBookmark(marks[1]); // 9
    Query->Delete();
    EXPECT_EQ(CurrentId(), 7);
    EXPECT_FALSE(Query->BookmarkValid(marks[1]));
    for (size_t i : {0, 2, 3})
        EXPECT_TRUE(Query->BookmarkValid(marks[i])) << i;
    Query->GotoBookmark(marks[3]);
    EXPECT_EQ(CurrentId(), 5);
    Query->GotoBookmark(marks[0]);
    EXPECT_EQ(CurrentId(), 42);
    // A deleted record's bookmark still has a place in the order: after the living ones.
    EXPECT_EQ(Query->CompareBookmarks(marks[2], marks[3]), -1);
    EXPECT_EQ(Query->CompareBookmarks(marks[3], marks[1]), -1);
    EXPECT_EQ(Query->CompareBookmarks(marks[1], marks[0]), 1);
    EXPECT_EQ(Query->CompareBookmarks(TBookmarkStr(), marks[0]), -1);
    EXPECT_THROW(Query->GotoBookmark(marks[1]), EDatabaseError);

    // Bookmarks hold any byte; they are not text.
    Query->SetBookmark(marks[2]);
    EXPECT_EQ(CurrentId(), 7);

    // Refresh keeps the records, and so their bookmarks.
    Query->Refresh();
    EXPECT_TRUE(Query->BookmarkValid(marks[3]));
    EXPECT_EQ(CurrentId(), 7);
}

TEST_F(BookmarkLocateTest, LocateMatchesAcrossTypes) {
    struct Case {
        const char* Fields;
        Variant Key;
        TLocateOptions Options;
        Integer Found; // ID, or 0 for no match
    } cases[] = {
        {"ID", Variant("42"), {}, 42}, // text finds the integer
        {"ID", Variant(42.0), {}, 42},
        {"ID", Variant("4x"), {}, 0}, // not a number: no match, no error
        {"Code", Variant(7), {}, 0},  // a number is compared as text with a text field: "7" <> "007"
        {"Code", Variant("007"), {}, 7},
        {"Name", Variant("LI SI"), {}, 0},
        {"Name", Variant("LI SI"), {loCaseInsensitive}, 42},
        {"Name", Variant("Zha"), {loPartialKey}, 9}, // the first match in dataset order
        {"Name", Variant("zhang"), {loPartialKey, loCaseInsensitive}, 7},
        {"Name", Variant("Zha"), {}, 0},
        {"Amount", Variant("99.99"), {}, 9},
        {"Amount", Null(), {}, 5},
        {"Made", Variant("2024-05-02 08:30:00"), {}, 42},
        {"Made", Variant::FromDateTime(EncodeDate(2024, 5, 1)), {}, 7},
        {"Done", Variant(false), {}, 42},
    };
    for (const Case& c : cases) {
        Query->Last();
        bool found = Query->Locate(c.Fields, c.Key, c.Options);
        EXPECT_EQ(found, c.Found != 0) << c.Fields << " = " << c.Key.AsString();
        EXPECT_EQ(CurrentId(), c.Found != 0 ? c.Found : 5) << c.Fields << " = " << c.Key.AsString();
    }
    EXPECT_TRUE(Query->Locate("Code;Name", std::vector<Variant>{Variant("005"), Variant("Wang Wu")}, {}));
    EXPECT_EQ(CurrentId(), 5);
    EXPECT_THROW(Query->Locate("Nope", Variant(1), {}), EDatabaseError);
}

TEST_F(BookmarkLocateTest, LookupNeverMovesAndFeedsLookupFields) {
    Query->First();
    EXPECT_EQ(Query->Lookup("ID", Variant("7"), "Name").AsString(), "Zhang San");
    EXPECT_TRUE(Query->Lookup("ID", Variant(1000), "Name").IsNull());
    EXPECT_EQ(CurrentId(), 42);

    // A second dataset shows Name through a lookup field keyed by its own column.
    RunSql(Folder / "data.mdb", "create table R (RID integer primary key, TID integer);"
                                "insert into R values (1, 9); insert into R values (2, 77);");
    TADOQuery refs(nullptr);
    refs.SetConnection(Connection.get());
    refs.SQL()->SetText("select * from R order by RID");
    TIntegerField rid(nullptr), tid(nullptr);
    rid.SetFieldName("RID");
    tid.SetFieldName("TID");
    TStringField shown(nullptr);
    shown.SetFieldName("TName");
    shown.SetFieldKind(fkLookup);
    shown.SetLookupDataSet(Query.get());
    shown.SetLookupKeyFields("ID");
    shown.SetLookupResultField("Name");
    shown.SetKeyFields("TID");
    for (TField* f : std::initializer_list<TField*>{&rid, &tid, &shown})
        f->SetDataSet(&refs);
    refs.Open();
    EXPECT_EQ(shown.DisplayText(), "Zhao Liu");
    EXPECT_FALSE(shown.CanModify());
    refs.Next();
    EXPECT_TRUE(shown.IsNull());
    refs.Close();
}

} // namespace
