// The grid filter on a real grid: value and blanks filters hide rows in the
// in-memory mode and filter the dataset in the record-buffer mode, the
// column states, the texts, the filter buttons, and the switches that turn
// the filter off.
#include "dbgrid/DBGridFilter.h"
#include "tests/dbgrid/ShownGrid.h"

#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Six records: Name is Null in rows 2 and 5 and "O'Brien" in row 4.
class FilterGrid : public gridtest::TShownGrid {
public:
    explicit FilterGrid(TcvDBGridOptionsDB Mode = {})
        : TShownGrid(6, 200, {"ID", "Name", "Qty"}, [&](TcvDBGrid& grid) {
              grid.SetKeyField("ID");
              grid.SetOptionsDB(grid.OptionsDB() + Mode);
          }) {
        Data.Connection->Execute("update T set Name = null where ID in (2, 5)");
        Data.Connection->Execute("update T set Name = 'O''Brien' where ID = 4");
        Data.Query->Close();
        Data.Query->Open();
    }

    TcvDBTreeListColumn* Column(const char* Name) const {
        for (int i = 0; i < Grid->ColumnCount(); ++i)
            if (Grid->DBColumns(i)->FieldName() == Name) return Grid->DBColumns(i);
        return nullptr;
    }
    TcvDBGridFilter& Filter() const { return *Grid->Filter(); }

    // The keys of the rows shown, in order.
    std::vector<std::string> Rows() const {
        std::vector<std::string> keys;
        for (TcvTreeListNode* node = Grid->Count() ? Grid->Items(0) : nullptr; node; node = node->GetNext())
            keys.push_back(static_cast<TcvDBGridNode*>(node)->KeyText);
        return keys;
    }
};

using Keys = std::vector<std::string>;

struct FilterCase {
    const char* Name;
    std::function<void(FilterGrid&)> Apply;
    Keys Expected;
};

const std::vector<FilterCase>& FilterCases() {
    static const std::vector<FilterCase> cases = {
        {"a value", [](FilterGrid& g) { g.Filter().SetValueFilter(g.Column("Qty"), Variant(30), "30"); }, {"3"}},
        {"a quoted value",
         [](FilterGrid& g) { g.Filter().SetValueFilter(g.Column("Name"), Variant("O'Brien"), "O'Brien"); },
         {"4"}},
        {"blanks", [](FilterGrid& g) { g.Filter().SetBlanksFilter(g.Column("Name"), false); }, {"2", "5"}},
        {"non-blanks",
         [](FilterGrid& g) { g.Filter().SetBlanksFilter(g.Column("Name"), true); },
         {"1", "3", "4", "6"}},
        {"a second value replaces the first",
         [](FilterGrid& g) {
             g.Filter().SetValueFilter(g.Column("Qty"), Variant(30), "30");
             g.Filter().SetValueFilter(g.Column("Qty"), Variant(50), "50");
         },
         {"5"}},
        {"two columns",
         [](FilterGrid& g) {
             g.Filter().SetBlanksFilter(g.Column("Name"), true);
             g.Filter().SetValueFilter(g.Column("Qty"), Variant(40), "40");
         },
         {"4"}},
        {"a cleared column shows every row",
         [](FilterGrid& g) {
             g.Filter().SetValueFilter(g.Column("Qty"), Variant(30), "30");
             g.Filter().ClearColumnFilter(g.Column("Qty"));
         },
         {"1", "2", "3", "4", "5", "6"}},
    };
    return cases;
}

TEST(DBGridFilterTest, FiltersHideRowsInTheInMemoryMode) {
    for (const FilterCase& c : FilterCases()) {
        SCOPED_TRACE(c.Name);
        FilterGrid grid(TcvDBGridOptionsDB{edgoLoadAllRecords});
        ASSERT_EQ(grid.Rows().size(), 6u);
        c.Apply(grid);
        EXPECT_EQ(grid.Rows(), c.Expected);
        // The dataset itself is left alone.
        EXPECT_FALSE(grid.Data.Query->Filtered());
        EXPECT_EQ(grid.Data.Query->RecordCount(), 6);
    }
}

TEST(DBGridFilterTest, AFilterHidingTheCurrentRecordFocusesTheNearestRowLeft) {
    struct Case {
        const char* Name;
        int StartId;
        std::function<void(FilterGrid&)> Apply;
        const char* Focused;
    };
    const Case cases[] = {
        {"the current record stays", 4, [](FilterGrid& g) { g.Filter().SetBlanksFilter(g.Column("Name"), true); }, "4"},
        {"a later row takes the focus", 1, [](FilterGrid& g) { g.Filter().SetBlanksFilter(g.Column("Name"), false); },
         "2"},
        {"an earlier row when none follows", 6,
         [](FilterGrid& g) { g.Filter().SetValueFilter(g.Column("Qty"), Variant(30), "30"); }, "3"},
        {"no row left", 2, [](FilterGrid& g) { g.Filter().SetValueFilter(g.Column("Qty"), Variant(35), "35"); },
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FilterGrid grid(TcvDBGridOptionsDB{edgoLoadAllRecords});
        ASSERT_TRUE(grid.Data.Query->Locate("ID", Variant(c.StartId), {}));
        c.Apply(grid);
        TcvTreeListNode* focused = grid.Grid->FocusedNode();
        if (!c.Focused) {
            EXPECT_EQ(grid.Grid->Count(), 0);
            continue;
        }
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(static_cast<TcvDBGridNode*>(focused)->KeyText, c.Focused);
        // The dataset is on the focused row's record.
        EXPECT_EQ(grid.Data.Query->FieldByName("ID")->AsString(), c.Focused);
    }
}

TEST(DBGridFilterTest, FiltersFilterTheDataSetInTheRecordBufferMode) {
    for (const FilterCase& c : FilterCases()) {
        SCOPED_TRACE(c.Name);
        FilterGrid grid;
        ASSERT_TRUE(grid.Grid->IsBufferMode());
        grid.Filter().SetAutoDataSetFilter(true);
        c.Apply(grid);
        EXPECT_EQ(grid.Data.Query->RecordCount(), int(c.Expected.size()));
        EXPECT_EQ(grid.Data.Query->Filtered(), c.Expected.size() < 6);
    }
}

TEST(DBGridFilterTest, TheDataSetTakesTheFilterTextWithItsQuotesDoubledAndTheCase) {
    FilterGrid grid;
    std::string heard;
    grid.Grid->OnFilterChanged = [&](TObject*, TDataSet* DataSet, std::string& Text) {
        EXPECT_EQ(DataSet, grid.Data.Query.get());
        heard = Text;
    };
    grid.Filter().SetAutoDataSetFilter(true);
    grid.Filter().SetCaseInsensitive(true);
    grid.Filter().SetValueFilter(grid.Column("Name"), Variant("o'brien"), "o'brien");
    EXPECT_EQ(heard, "(Name = 'o''brien')");
    EXPECT_EQ(grid.Data.Query->Filter(), "(Name = 'o''brien')");
    EXPECT_TRUE(grid.Data.Query->FilterOptions().Contains(foCaseInsensitive));
    EXPECT_EQ(grid.Data.Query->RecordCount(), 1);
    EXPECT_EQ(grid.Grid->GetFilterText(), "(Name = o'brien)");

    grid.Filter().SetCaseInsensitive(false);
    EXPECT_FALSE(grid.Data.Query->FilterOptions().Contains(foCaseInsensitive));
    EXPECT_EQ(grid.Data.Query->RecordCount(), 0);

    // The handler may change the text on its way.
    grid.Grid->OnFilterChanged = [](TObject*, TDataSet*, std::string& Text) { Text = "ID > 4"; };
    grid.Filter().Changed();
    EXPECT_EQ(grid.Data.Query->RecordCount(), 2);

    grid.Filter().SetAutoDataSetFilter(false);
    EXPECT_FALSE(grid.Data.Query->Filtered());
    EXPECT_EQ(grid.Data.Query->Filter(), "");
    EXPECT_EQ(grid.Data.Query->RecordCount(), 6);
}

TEST(DBGridFilterTest, ColumnFilterStateFollowsTheColumnsCondition) {
    struct Case {
        const char* Name;
        std::function<void(FilterGrid&)> Apply;
        int State;
        Variant Value;
    };
    const Case cases[] = {
        {"no condition", [](FilterGrid&) {}, cvColumnNotFiltered, Variant()},
        {"another column's condition",
         [](FilterGrid& g) { g.Filter().SetValueFilter(g.Column("ID"), Variant(1), "1"); },
         cvColumnNotFiltered, Variant()},
        {"a value", [](FilterGrid& g) { g.Filter().SetValueFilter(g.Column("Qty"), Variant(30), "30"); },
         cvColumnValueFiltered, Variant(30)},
        {"an empty text value",
         [](FilterGrid& g) { g.Filter().SetValueFilter(g.Column("Qty"), Variant(""), ""); },
         cvColumnBlanksFiltered, Variant("")},
        {"a negated Null value in the root",
         [](FilterGrid& g) {
             g.Filter().Criteria()->AddCondition(nullptr, g.Column("Qty"), true, "", Null(),
                                                 cvEqualOperatorIndex);
         },
         cvColumnNonBlanksFiltered, Null()},
        {"blanks: an Is Null condition is custom",
         [](FilterGrid& g) { g.Filter().SetBlanksFilter(g.Column("Qty"), false); }, cvColumnCustomFiltered,
         Null()},
        {"a value inside a group",
         [](FilterGrid& g) {
             TcvCriteriaItemList* group = g.Filter().Criteria()->Root()->AddGroup(true);
             g.Filter().Criteria()->AddCondition(group, g.Column("Qty"), false, "20", Variant(20),
                                                 cvEqualOperatorIndex);
         },
         cvColumnCustomFiltered, Variant(20)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FilterGrid grid;
        c.Apply(grid);
        Variant value;
        EXPECT_EQ(grid.Filter().GetColumnFilterState(grid.Column("Qty"), value), c.State);
        EXPECT_EQ(grid.Filter().HasColumnFilter(grid.Column("Qty")), c.State != cvColumnNotFiltered);
        EXPECT_EQ(value.VarType(), c.Value.VarType());
        if (!VarIsEmpty(c.Value) && !VarIsNull(c.Value)) {
            EXPECT_EQ(value.AsString(), c.Value.AsString());
        }
    }
}

TEST(DBGridFilterTest, FilterButtonsShowByFilterStatus) {
    struct Case {
        TcvDBGridFilterStatus Status;
        bool WithCondition;
        bool Shown;
    };
    const Case cases[] = {
        {fsAuto, false, false}, {fsAuto, true, true},  {fsNone, false, false},
        {fsNone, true, false},  {fsAlways, false, true}, {fsAlways, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(int(c.Status)) + (c.WithCondition ? " filtered" : " unfiltered"));
        FilterGrid grid(TcvDBGridOptionsDB{edgoLoadAllRecords});
        grid.Filter().SetActive(true);
        grid.Filter().SetFilterStatus(c.Status);
        if (c.WithCondition) grid.Filter().SetValueFilter(grid.Column("Qty"), Variant(30), "30");
        EXPECT_EQ(grid.Grid->IsFilterButtonShown(), c.Shown);
        const int qty = grid.Column("Qty")->GetIndex();
        const int id = grid.Column("ID")->GetIndex();
        EXPECT_EQ(grid.Grid->GetHeaderButtonState(qty), c.Shown ? (c.WithCondition ? 1 | 8 : 1) : 0);
        EXPECT_EQ(grid.Grid->GetHeaderButtonState(id), c.Shown ? 1 : 0);
    }
}

TEST(DBGridFilterTest, FilterBarShowsTheDisplayTextAndClearFilterClearsIt) {
    FilterGrid grid(TcvDBGridOptionsDB{edgoLoadAllRecords});
    grid.Filter().SetActive(true);
    EXPECT_FALSE(grid.Grid->HasFilter());
    EXPECT_EQ(grid.Grid->GetFilterText(), "");
    grid.Filter().SetBlanksFilter(grid.Column("Name"), true);
    grid.Filter().SetValueFilter(grid.Column("Qty"), Variant(40), "40");
    EXPECT_TRUE(grid.Grid->HasFilter());
    EXPECT_EQ(grid.Grid->GetFilterText(), "(NOT (Name Is Null)) AND (Qty = 40)");
    EXPECT_EQ(grid.Grid->GetFilterCaption(), "Clear Filter");

    grid.Filter().Clear();
    EXPECT_FALSE(grid.Grid->HasFilter());
    EXPECT_FALSE(grid.Grid->IsNodeFilterActive());
    EXPECT_EQ(grid.Rows().size(), 6u);
}

TEST(DBGridFilterTest, SwitchingTheFilterOffClearsItAndDefaultFieldsSwitchesItOff) {
    FilterGrid grid(TcvDBGridOptionsDB{edgoLoadAllRecords});
    grid.Filter().SetActive(true);
    EXPECT_TRUE(grid.Grid->IsFilterActive());
    grid.Filter().SetValueFilter(grid.Column("Qty"), Variant(30), "30");
    grid.Filter().SetActive(false);
    EXPECT_FALSE(grid.Grid->HasFilter());
    EXPECT_EQ(grid.Rows().size(), 6u);

    grid.Filter().SetActive(true);
    grid.Grid->SetDefaultFields(true);
    EXPECT_FALSE(grid.Filter().Active());
    // And the other way round: switching the filter on ends DefaultFields.
    grid.Filter().SetActive(true);
    EXPECT_FALSE(grid.Grid->GetDefaultFields());
}

TEST(DBGridFilterTest, RestoreDefaultsResetsEveryOption) {
    FilterGrid grid;
    TcvDBGridFilter& filter = grid.Filter();
    filter.SetActive(true);
    filter.SetAutoDataSetFilter(true);
    filter.SetCaseInsensitive(true);
    filter.SetDropDownCount(3);
    filter.SetDropDownWidth(90);
    filter.SetFilterStatus(fsAlways);
    filter.SetMaxDropDownCount(7);
    filter.SetValueFilter(grid.Column("Qty"), Variant(30), "30");
    filter.RestoreDefaults();
    EXPECT_FALSE(filter.Active());
    EXPECT_FALSE(filter.AutoDataSetFilter());
    EXPECT_FALSE(filter.CaseInsensitive());
    EXPECT_FALSE(filter.Criteria()->CaseInsensitive());
    EXPECT_EQ(filter.DropDownCount(), 12);
    EXPECT_EQ(filter.DropDownWidth(), 0);
    EXPECT_EQ(filter.FilterStatus(), fsAuto);
    EXPECT_EQ(filter.MaxDropDownCount(), 1000);
    EXPECT_FALSE(grid.Grid->HasFilter());
    EXPECT_FALSE(grid.Data.Query->Filtered());
}

TEST(DBGridFilterTest, RestoreDefaultsDropsCriteriaSetWhileTheFilterWasOff) {
    FilterGrid grid(TcvDBGridOptionsDB{edgoLoadAllRecords});
    grid.Filter().SetValueFilter(grid.Column("Qty"), Variant(30), "30");
    ASSERT_FALSE(grid.Filter().Active());
    ASSERT_EQ(grid.Rows(), Keys{"3"});
    grid.Filter().RestoreDefaults();
    EXPECT_FALSE(grid.Grid->HasFilter());
    EXPECT_EQ(grid.Rows(), (Keys{"1", "2", "3", "4", "5", "6"}));
}

TEST(DBGridFilterTest, AColumnThatGoesLeavesItsConditionsUnbound) {
    FilterGrid grid(TcvDBGridOptionsDB{edgoLoadAllRecords});
    grid.Filter().SetValueFilter(grid.Column("Qty"), Variant(30), "30");
    ASSERT_EQ(grid.Rows(), Keys{"3"});
    auto* item = static_cast<TcvDBGridCriteriaItem*>(grid.Filter().Criteria()->FindItem("Qty"));
    delete grid.Column("Qty");
    EXPECT_EQ(item->Column(), nullptr);
    // Evaluated without the column, the condition meets a Null row value.
    EXPECT_EQ(grid.Grid->GetFilterText(), "( = 30)");
    grid.Filter().Changed();
    EXPECT_EQ(grid.Rows(), Keys{});
    // A new column of the field takes the condition back.
    TcvDBTreeListColumn* column = grid.Grid->CreateColumn(grid.Grid->GetDefaultColumnClass());
    column->SetFieldName("Qty");
    grid.Filter().Changed();
    EXPECT_EQ(item->Column(), column);
    EXPECT_EQ(grid.Rows(), Keys{"3"});
}

TEST(DBGridFilterTest, ModeSwitchKeepsTheRowsFiltered) {
    FilterGrid grid;
    grid.Filter().SetAutoDataSetFilter(true);
    grid.Filter().SetBlanksFilter(grid.Column("Name"), false);
    EXPECT_EQ(grid.Data.Query->RecordCount(), 2);
    grid.Grid->SetOptionsDB(grid.Grid->OptionsDB() + edgoLoadAllRecords);
    EXPECT_EQ(grid.Rows(), (Keys{"2", "5"}));
    grid.Filter().SetAutoDataSetFilter(false);
    // The grid's own node filter goes on hiding the rows.
    EXPECT_EQ(grid.Rows(), (Keys{"2", "5"}));
}

TEST(DBGridFilterTest, AFilterStreamedThroughItsWrapperComesBackWhole) {
    FilterGrid from(TcvDBGridOptionsDB{edgoLoadAllRecords});
    from.Filter().SetActive(true);
    from.Filter().SetCaseInsensitive(true);
    from.Filter().SetFilterStatus(fsAlways);
    from.Filter().SetDropDownCount(5);
    from.Filter().SetValueFilter(from.Column("Name"), Variant("o'brien"), "o'brien");
    TStringStream written;
    TFilterWrapper::WriteFilter(&written, from.Grid->Filter());

    FilterGrid to(TcvDBGridOptionsDB{edgoLoadAllRecords});
    written.SetPosition(0);
    TFilterWrapper::ReadFilter(&written, to.Grid->Filter());
    EXPECT_TRUE(to.Filter().Active());
    EXPECT_TRUE(to.Filter().CaseInsensitive());
    EXPECT_EQ(to.Filter().FilterStatus(), fsAlways);
    EXPECT_EQ(to.Filter().DropDownCount(), 5);
    EXPECT_EQ(to.Grid->GetFilterText(), "(Name = o'brien)");
    EXPECT_EQ(to.Rows(), Keys{"4"});
    TStringStream again;
    TFilterWrapper::WriteFilter(&again, to.Grid->Filter());
    EXPECT_EQ(again.DataString(), written.DataString());

    // Damaged bytes change nothing.
    const std::string& bytes = written.DataString();
    for (size_t cut : {size_t(0), size_t(6), bytes.size() / 2, bytes.size() - 1}) {
        SCOPED_TRACE(cut);
        TStringStream damaged(bytes.substr(0, cut));
        EXPECT_THROW(TFilterWrapper::ReadFilter(&damaged, to.Grid->Filter()), EReadError);
        EXPECT_EQ(to.Grid->GetFilterText(), "(Name = o'brien)");
        EXPECT_EQ(to.Filter().DropDownCount(), 5);
    }
}

} // namespace
