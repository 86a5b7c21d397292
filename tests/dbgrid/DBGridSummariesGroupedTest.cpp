// Summaries of a grid grouped by City over Paris 5, Rome 3, Paris 8,
// Rome 4, Oslo 1: the group column's own summary and its summary group's
// items in the group rows, the level summary map, and groups sorted by
// their summaries.
#include "tests/dbgrid/SummaryGrid.h"

#include <gtest/gtest.h>

namespace {

using gridtest::TSummaryGrid;

const std::vector<gridtest::TSummaryRow> Cities = {
    {"Paris", "5"}, {"Rome", "3"}, {"Paris", "8"}, {"Rome", "4"}, {"Oslo", "1"}};

class DBGridSummariesGroupedTest : public ::testing::Test {
protected:
    // The group rows' values, top to bottom.
    std::vector<std::string> GroupOrder() const {
        std::vector<std::string> cities;
        for (int i = 0; i < Grid.Grid->Count(); ++i)
            cities.push_back(static_cast<TcvDBGridNode*>(Grid.Grid->Items(i))->GroupValue.AsString());
        return cities;
    }
    TcvTreeListNode* GroupRow(const std::string& City) const {
        for (int i = 0; i < Grid.Grid->Count(); ++i)
            if (static_cast<TcvDBGridNode*>(Grid.Grid->Items(i))->GroupValue.AsString() == City)
                return Grid.Grid->Items(i);
        return nullptr;
    }
    void GroupByCity() {
        ASSERT_TRUE(Grid.Grid->AddGroupColumn(0, Grid.City));
        ASSERT_EQ(Grid.Grid->Count(), 3);
    }
    // Items of group "Totals" on the quantity column; City shows that group.
    TcvDBGridSummaryGroup* AddTotals(std::initializer_list<TcvSummaryType> Kinds) {
        TcvDBGridSummaryGroup* group = Grid.Grid->SummaryGroups()->Add();
        group->SetName("Totals");
        for (TcvSummaryType kind : Kinds) {
            TcvDBGridSummaryItem* item = group->SummaryItems()->Add();
            item->SetColumnName("colQty");
            item->SetSummaryType(kind);
        }
        Grid.City->SetSummaryGroupName("TOTALS");
        return group;
    }

    TSummaryGrid Grid{Cities};
};

TEST_F(DBGridSummariesGroupedTest, GroupColumnSummaryOfEachKind) {
    struct Case {
        TcvSummaryType Kind;
        const char* Paris;
        const char* Oslo;
    };
    const Case cases[] = {
        {cstSum, "(SUM=13.00)", "(SUM=1.00)"}, {cstMin, "(MIN=5.00)", "(MIN=1.00)"},
        {cstMax, "(MAX=8.00)", "(MAX=1.00)"},  {cstCount, "(COUNT=2)", "(COUNT=1)"},
        {cstAvg, "(AVG=6.50)", "(AVG=1.00)"},  {cstNone, "", ""},
    };
    Grid.City->SetSummaryField("Qty");
    GroupByCity();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Kind);
        Grid.City->SetSummaryType(c.Kind);
        Grid.Grid->FullReload();
        EXPECT_EQ(Grid.Grid->GetGroupSummaryText(GroupRow("Paris")), c.Paris);
        EXPECT_EQ(Grid.Grid->GetGroupSummaryText(GroupRow("Oslo")), c.Oslo);
    }
}

TEST_F(DBGridSummariesGroupedTest, SummaryGroupItemsJoinTheColumnsOwnSummary) {
    TcvDBGridSummaryGroup* totals = AddTotals({cstCount, cstMax, cstAvg});
    totals->SetBeginSummaryText("[");
    totals->SetEndSummaryText("]");
    Grid.City->SetSummaryField("Qty");
    Grid.City->SetSummaryType(cstSum);
    Grid.Grid->SetSummarySeparator("; ");
    GroupByCity();
    EXPECT_EQ(Grid.Grid->GetGroupSummaryText(GroupRow("Paris")), "(SUM=13.00); [(COUNT=2); (MAX=8.00); (AVG=6.50)]");
    EXPECT_EQ(Grid.Grid->GetGroupSummaryText(GroupRow("Rome")), "(SUM=7.00); [(COUNT=2); (MAX=4.00); (AVG=3.50)]");
    EXPECT_EQ(static_cast<TcvDBGridNode*>(GroupRow("Paris"))->ItemSummaryValues.size(), 3u);
    // The footer still sums every record.
    Grid.Qty->SetSummaryFooterType(cstCount);
    Grid.Grid->FullReload();
    EXPECT_EQ(Grid.PaintFooters().at("colQty"), "5");
}

TEST_F(DBGridSummariesGroupedTest, EventsChangeTheGatheredValues) {
    AddTotals({cstSum});
    Grid.City->SetSummaryField("Qty");
    Grid.City->SetSummaryType(cstSum);
    // The column's event, then the grid's, see each record's value.
    Grid.City->OnSummary = [](TObject*, TDataSet*, long double& Value) { Value += 1; };
    Grid.Grid->OnSummary = [](TObject*, TcvTreeListNode* Node, long double& Value, TDataSet*) {
        EXPECT_TRUE(Node->HasChildren());
        Value *= 10;
    };
    Grid.Grid->SummaryGroups()->Items(0)->SummaryItems()->Items(0)->OnSummary =
        [](TObject*, TDataSet*, long double& Value) { Value = -Value; };
    GroupByCity();
    EXPECT_EQ(Grid.Grid->GetGroupSummaryText(GroupRow("Paris")), "(SUM=150.00), (SUM=-13.00)");
}

TEST_F(DBGridSummariesGroupedTest, LevelSummaryMapShowsTheFirstItemOfAColumn) {
    TcvDBGridSummaryGroup* totals = AddTotals({cstNone, cstMax});
    totals->SummaryItems()->Add()->SetColumnName("colCity");
    totals->SummaryItems()->Items(2)->SetSummaryType(cstCount);
    GroupByCity();
    // colQty's first item sums nothing: no entry; colCity shows item 2.
    ASSERT_EQ(Grid.Grid->LevelSummaryMap().size(), 1u);
    EXPECT_EQ(Grid.Grid->LevelSummaryMap()[0], (std::vector<int>{2, -1}));
    // A renamed column keeps its item.
    Grid.City->SetName("colTown");
    Grid.Grid->FullReload();
    EXPECT_EQ(Grid.Grid->LevelSummaryMap()[0], (std::vector<int>{2, -1}));
    EXPECT_EQ(Grid.Grid->GetGroupSummaryText(GroupRow("Paris")), "(MAX=8.00), (COUNT=2)");
}

TEST_F(DBGridSummariesGroupedTest, GroupsSortBySummaryInsteadOfTheirValues) {
    struct Case {
        TcvTreeListColumnSort Sort;
        std::vector<std::string> Order;
    };
    const Case cases[] = {
        {csUp, {"Oslo", "Rome", "Paris"}},
        {csDown, {"Paris", "Rome", "Oslo"}},
    };
    Grid.City->SetSummaryField("Qty");
    Grid.City->SetSummaryType(cstSum);
    Grid.City->SetSortBySummary(true);
    GroupByCity();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Sort);
        Grid.City->SetSorted(c.Sort);
        Grid.Grid->FullReload();
        EXPECT_EQ(GroupOrder(), c.Order);
    }
    // Without it the groups go by their values.
    Grid.City->SetSortBySummary(false);
    Grid.City->SetSorted(csUp);
    Grid.Grid->FullReload();
    EXPECT_EQ(GroupOrder(), (std::vector<std::string>{"Oslo", "Paris", "Rome"}));
}

} // namespace

TEST_F(DBGridSummariesGroupedTest, EditedRecordIsSummedAgainOnce) {
    struct Case {
        const char* Name;
        const char* Field;
        Variant Value;
        const char* Paris;
        const char* Rome;
    };
    const Case cases[] = {
        {"a new quantity", "Qty", Variant(6), "(SUM=14.00)", "(SUM=7.00)"},
        {"another group", "City", Variant(std::string("Rome")), "(SUM=8.00)", "(SUM=12.00)"},
    };
    for (bool smart : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (smart ? " (smart)" : ""));
            TSummaryGrid grid(Cities, [&](TcvDBGrid& Grid) {
                if (smart) Grid.SetOptions(Grid.Options() + egoSmartRefresh);
            });
            grid.City->SetSummaryField("Qty");
            grid.City->SetSummaryType(cstSum);
            ASSERT_TRUE(grid.Grid->AddGroupColumn(0, grid.City));
            grid.Query->First();
            grid.Query->Edit();
            grid.Query->FieldByName(c.Field)->SetValue(c.Value);
            grid.Query->Post();
            for (int i = 0; i < grid.Grid->Count(); ++i) {
                TcvTreeListNode* row = grid.Grid->Items(i);
                const std::string city = static_cast<TcvDBGridNode*>(row)->GroupValue.AsString();
                const std::string expected = city == "Paris" ? c.Paris : city == "Rome" ? c.Rome : "(SUM=1.00)";
                EXPECT_EQ(grid.Grid->GetGroupSummaryText(row), expected) << city;
            }
        }
    }
}
