// Selection by bookmarks: the list in bookmark order with its cached
// halving search, SelectedRows, clearing, the three ways of range
// selection, and the entries dropped when their records vanish.
#include "tests/dbgrid/DBTreeListTestControl.h"

#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

using namespace gridtest;

namespace {

class DBTreeListSelectionTest : public DBTreeListTest {
protected:
    void SetUp() override {
        DBTreeListTest::SetUp();
        Tree->SetOptions(Tree->Options() | tlo_MultiSelect);
        Tree->ClearSelection();
        Tree->OnSelectedCountChange = [this](TObject*) { ++CountChanges; };
    }
    void Select(std::initializer_list<int> Ids) {
        for (int id : Ids)
            Tree->SetNodeSelected(Tree->NodeOfId(id), true);
    }
    int CountChanges = 0;
};

TEST_F(DBTreeListSelectionTest, SelectedRowsOutsideTheListRaiseTheListIndexError) {
    for (int index : {0, -1}) {
        try {
            Tree->GetSelectedRow(index);
            FAIL() << "no exception for " << index;
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(index) + ")");
        }
    }
    EXPECT_EQ(Tree->GetSelectedNode(0), nullptr);
}

TEST_F(DBTreeListSelectionTest, TheListKeepsBookmarkOrderAndReadingItLeavesTheRecord) {
    Select({9, 2, 14, 5});
    EXPECT_EQ(Tree->SelectedCount(), 4);
    EXPECT_EQ(Tree->GetSelectedNode(1), Tree->NodeOfId(5));
    Data.Query->Locate("ID", 11, {});
    for (int i = 0; i < Tree->SelectedCount(); ++i)
        Tree->GetSelectedRow(i);
    EXPECT_EQ(Data.CurrentId(), 11);
    // The export's loop ends on the last selected row.
    EXPECT_EQ(SelectedIds(), (std::vector<int>{2, 5, 9, 14}));
    EXPECT_EQ(Data.CurrentId(), 14);
}

TEST_F(DBTreeListSelectionTest, FindBookmarkHalvesAndCachesUntilTheListChanges) {
    Select({3, 6, 9});
    const std::string six = Tree->Bookmarks[Tree->NodeOfId(6)];
    const std::string seven = Tree->Bookmarks[Tree->NodeOfId(7)];
    int index = -1;
    EXPECT_TRUE(Tree->FindBookmark(six, index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(Tree->FindBookmark(seven, index));
    EXPECT_EQ(index, 2);

    // The cache answers the same question again: a list changed behind its
    // back is not searched.
    Tree->SelectedList().OnChange = nullptr;
    Tree->SelectedList().Delete(0);
    EXPECT_FALSE(Tree->FindBookmark(seven, index));
    EXPECT_EQ(index, 2);
}

TEST_F(DBTreeListSelectionTest, AListChangeEmptiesTheCache) {
    Select({3, 6, 9});
    const std::string seven = Tree->Bookmarks[Tree->NodeOfId(7)];
    int index = -1;
    EXPECT_FALSE(Tree->FindBookmark(seven, index));
    Select({7});
    EXPECT_TRUE(Tree->FindBookmark(seven, index));
    EXPECT_EQ(index, 2);
    Tree->SelectedList().Delete(0);
    EXPECT_TRUE(Tree->FindBookmark(seven, index));
    EXPECT_EQ(index, 1);
}

TEST_F(DBTreeListSelectionTest, ClearingReportsOnlyWhenSomethingWasSelected) {
    CountChanges = 0;
    Tree->ClearSelection();
    EXPECT_EQ(CountChanges, 0);
    Select({4});
    CountChanges = 0;
    Tree->ClearSelection();
    EXPECT_EQ(CountChanges, 1);
    EXPECT_EQ(Tree->SelectedCount(), 0);
}

TEST_F(DBTreeListSelectionTest, RangesSelectByWalkingTheDataset) {
    struct Case {
        int From;
        int To;
        std::vector<int> Expected;
    };
    const Case cases[] = {
        {3, 6, {3, 4, 5, 6}},
        {8, 5, {5, 6, 7, 8}},
        {4, 4, {4}},
    };
    for (const Case& c : cases) {
        Tree->ClearSelection();
        Data.Query->Locate("ID", 12, {});
        CountChanges = 0;
        Tree->SelectNodeRange(Tree->NodeOfId(c.From), Tree->NodeOfId(c.To));
        EXPECT_EQ(CountChanges, 1);
        std::vector<int> expected = c.Expected;
        expected.push_back(12); // the row focused before the walk
        EXPECT_EQ(SelectedIds(), expected) << c.From << ".." << c.To;
    }
}

TEST_F(DBTreeListSelectionTest, RangesInMemorySelectTheShownRowsBetween) {
    Tree->InMemory = true;
    Data.Query->Locate("ID", 12, {});
    Tree->SelectNodeRange(Tree->NodeOfId(6), Tree->NodeOfId(3));
    EXPECT_EQ(SelectedIds(), (std::vector<int>{3, 4, 5, 6}));
}

TEST_F(DBTreeListSelectionTest, RangesSelectNothingWhileTheDatasetEdits) {
    Data.Query->Edit();
    Tree->SelectNodeRange(Tree->NodeOfId(2), Tree->NodeOfId(4));
    EXPECT_EQ(Tree->SelectedCount(), 0);
}

TEST_F(DBTreeListSelectionTest, RangesWithoutBookmarksMergeNodesByAddress) {
    Tree->BookmarkSelection = false;
    Tree->SelectNodeRange(Tree->NodeOfId(6), Tree->NodeOfId(4));
    Tree->SelectNodeRange(Tree->NodeOfId(5), Tree->NodeOfId(9));
    ASSERT_EQ(Tree->SelectedCount(), 6);
    const std::less<const TObject*> before;
    for (int i = 0; i < Tree->SelectedCount(); ++i) {
        EXPECT_EQ(Tree->GetSelectedRow(i), "");
        if (i > 0) {
            EXPECT_TRUE(before(Tree->SelectedList().Objects(i - 1), Tree->SelectedList().Objects(i)));
        }
    }
    for (int id = 4; id <= 9; ++id)
        EXPECT_TRUE(Tree->IsNodeSelected(Tree->NodeOfId(id))) << id;
}

TEST_F(DBTreeListSelectionTest, AChangeWithFewerRecordsDropsVanishedRowsOnce) {
    Select({2, 5, 8});
    Tree->DropVanishedSelection();
    Data.Query->Locate("ID", 5, {});
    Data.Query->Delete();
    Tree->DropVanishedSelection();
    EXPECT_EQ(SelectedIds(), (std::vector<int>{2, 8}));

    // The same count again drops nothing (and costs nothing).
    Tree->SelectedList().Add(std::string("no such bookmark"));
    Tree->DropVanishedSelection();
    EXPECT_EQ(Tree->SelectedCount(), 3);
}

} // namespace
