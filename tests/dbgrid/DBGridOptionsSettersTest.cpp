// The grid's option setters on a real grid: each set stays in step with the
// others and with the tree list's words, and each setter's side effects
// (winning members, selection, sorting, column hiding, default columns).
#include "dbgrid/DBGrid.h"

#include "tests/dbgrid/ShownGrid.h"

#include <gtest/gtest.h>

namespace {

using namespace cvDBGrid;

class GridOptionsTest : public testing::Test {
protected:
    // The old sets read back from the four stored ones.
    void ExpectOldSetsInStep() const {
        const TcvDBGridOptionSets sets = {Grid->OptionsBehavior(), Grid->OptionsCustomize(), Grid->OptionsDB(),
                                          Grid->OptionsView()};
        EXPECT_EQ(Grid->Options(), OptionsFromNewOptions(sets));
        EXPECT_EQ(Grid->OptionsEx(), OptionsExFromNewOptions(sets));
    }
    unsigned TreeListOptions() const { return Grid->TCustomcvTreeList::Options(); }
    unsigned TreeListOptionsEx() const { return Grid->TCustomcvTreeList::OptionsEx(); }

    gridtest::TShownGrid Shown{20, 300, {"Name", "Qty"}};
    TcvDBGrid* Grid = Shown.Grid;
};

TEST_F(GridOptionsTest, LoadAllRecordsWinsOverPartialLoad) {
    Grid->SetOptionsDB({edgoLoadAllRecords, edgoPartialLoad});
    EXPECT_EQ(Grid->OptionsDB(), TcvDBGridOptionsDB({edgoLoadAllRecords}));
    EXPECT_FALSE(Grid->PartialLoad());
    EXPECT_TRUE(Grid->Options().Contains(egoLoadAllRecords));
    ExpectOldSetsInStep();

    Grid->SetPartialLoad(true);
    EXPECT_FALSE(Grid->PartialLoad());
    Grid->SetOptions(Grid->Options() - egoLoadAllRecords);
    Grid->SetPartialLoad(true);
    EXPECT_TRUE(Grid->PartialLoad());
    EXPECT_FALSE(Grid->OptionsDB().Contains(edgoLoadAllRecords));
}

TEST_F(GridOptionsTest, OldSetsReachTheNewSetsAndTheTreeListWords) {
    Grid->SetOptions(Grid->Options() + egoLoadAllRecords + egoMultiSelect - egoEditing);
    EXPECT_TRUE(Grid->OptionsDB().Contains(edgoLoadAllRecords));
    EXPECT_TRUE(Grid->OptionsBehavior().Contains(edgoMultiSelect));
    EXPECT_FALSE(Grid->OptionsBehavior().Contains(edgoEditing));
    EXPECT_TRUE(TreeListOptions() & tlo_MultiSelect);
    EXPECT_FALSE(TreeListOptions() & tlo_Editing);

    Grid->SetOptions(Grid->Options() - egoLoadAllRecords);
    EXPECT_FALSE(Grid->OptionsDB().Contains(edgoLoadAllRecords));
    Grid->SetOptionsEx(Grid->OptionsEx() + egoRowSizing + egoHeaderButtonClicking);
    EXPECT_TRUE(Grid->OptionsCustomize().Contains(edgoRowSizing));
    EXPECT_TRUE(TreeListOptionsEx() & tloex_RowSizing);
    EXPECT_TRUE(TreeListOptionsEx() & (1u << 19));
    ExpectOldSetsInStep();

    // A form stores only the new sets; the old ones follow.
    Grid->SetOptionsBehavior({edgoDblClick, edgoTabs});
    const TcvDBGridOptions behaviorOptions = {egoDblClick, egoTabs, egoEditing, egoMultiSelect};
    EXPECT_EQ(Grid->Options() * behaviorOptions, TcvDBGridOptions({egoDblClick, egoTabs}));
    ExpectOldSetsInStep();
}

TEST_F(GridOptionsTest, InvertSelectWinsOverRowSelect) {
    Grid->SetOptionsView({edgoInvertSelect, edgoRowSelect, edgoIndicator});
    EXPECT_EQ(Grid->OptionsView(), TcvDBGridOptionsView({edgoInvertSelect, edgoIndicator}));
    EXPECT_TRUE(TreeListOptionsEx() & tloex_InvertSelect);
    EXPECT_FALSE(Grid->IsRowSelect());
    EXPECT_TRUE(Grid->ShowIndicator());

    Grid->SetOptionsView({edgoRowSelect});
    EXPECT_TRUE(Grid->IsRowSelect());
    EXPECT_FALSE(TreeListOptionsEx() & tloex_InvertSelect);
    EXPECT_FALSE(Grid->ShowIndicator());
    EXPECT_TRUE(Grid->Options().Contains(egoRowSelect));
    EXPECT_FALSE(Grid->OptionsEx().Contains(egoInvertSelect));
}

TEST_F(GridOptionsTest, TogglingAutoSortClearsTheSortedColumns) {
    TcvDBTreeListColumn* column = Grid->DBColumns(0);
    column->SetSorted(csUp);
    Grid->AddSortedColumn(column);
    Grid->SetOptionsBehavior(Grid->OptionsBehavior());
    EXPECT_EQ(Grid->GetSortedColumn(0), column);

    Grid->SetOptionsBehavior(Grid->OptionsBehavior() - edgoAutoSort);
    EXPECT_EQ(Grid->GetSortedColumn(0), nullptr);
    EXPECT_FALSE(TreeListOptions() & tlo_AutoSort);
}

TEST_F(GridOptionsTest, NotHideColumnKeepsDraggedColumnsAndLeavesRowSizingAlone) {
    EXPECT_TRUE(Grid->CanHideColumnByDrag());
    Grid->SetOptionsCustomize(Grid->OptionsCustomize() + edgoNotHideColumn);
    EXPECT_FALSE(Grid->CanHideColumnByDrag());
    EXPECT_FALSE(TreeListOptionsEx() & tloex_RowSizing);
    EXPECT_TRUE(Grid->OptionsEx().Contains(egoNotHideColumn));

    Grid->SetOptionsCustomize({edgoRowSizing});
    EXPECT_TRUE(Grid->CanHideColumnByDrag());
    EXPECT_TRUE(TreeListOptionsEx() & tloex_RowSizing);
}

TEST_F(GridOptionsTest, DefaultFieldsDropsLoadAllRecordsAndTheColumns) {
    Grid->SetOptions(Grid->Options() + egoLoadAllRecords);

    Grid->SetDefaultFields(true);
    EXPECT_TRUE(Grid->GetDefaultFields());
    EXPECT_EQ(Grid->ColumnCount(), 0);
    EXPECT_FALSE(Grid->OptionsDB().Contains(edgoLoadAllRecords));

    Grid->SetOptionsDB(Grid->OptionsDB() + edgoLoadAllRecords);
    EXPECT_FALSE(Grid->GetDefaultFields());
    EXPECT_TRUE(Grid->OptionsDB().Contains(edgoLoadAllRecords));
    EXPECT_TRUE(Grid->Options().Contains(egoLoadAllRecords));
}

TEST_F(GridOptionsTest, UseBookmarksClearsTheSelectionOnlyWhenSwitchedOn) {
    Grid->SetUseBookmarks(false);
    // Records 1 and 3 in the selection's list, in dataset order.
    TDataSet* dataSet = Shown.Data.Query.get();
    Grid->SelectedList().AddObject(dataSet->Bookmark(), Grid->Items(0));
    dataSet->MoveBy(2);
    Grid->SelectedList().AddObject(dataSet->Bookmark(), Grid->Items(2));
    ASSERT_EQ(Grid->SelectedCount(), 2);

    Grid->SetUseBookmarks(false);
    EXPECT_EQ(Grid->SelectedCount(), 2);
    Grid->SetUseBookmarks(true);
    EXPECT_EQ(Grid->SelectedCount(), 0);
    EXPECT_TRUE(Grid->UseBookmarks());
}

TEST_F(GridOptionsTest, ModeSwitchesReloadTheRows) {
    Grid->SetKeyField("ID");
    const int bufferRows = Grid->Count();
    ASSERT_LT(bufferRows, 20);

    Grid->SetOptions(Grid->Options() + egoLoadAllRecords);
    EXPECT_EQ(Grid->Count(), 20);
    Grid->SetOptionsDB(Grid->OptionsDB() - edgoLoadAllRecords + edgoPartialLoad);
    EXPECT_TRUE(Grid->IsPartialLoadMode());
    EXPECT_EQ(Grid->Count(), 20);
    EXPECT_TRUE(Grid->BeginningReached() && Grid->EndReached());
    Grid->SetPartialLoad(false);
    EXPECT_TRUE(Grid->IsBufferMode());
    EXPECT_EQ(Grid->Count(), bufferRows);
    EXPECT_EQ(Shown.Data.CurrentId(), 1);
}

} // namespace
