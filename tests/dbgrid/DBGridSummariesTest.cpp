// The summary footer of the in-memory grid: each kind over the loaded
// records, Null adding 0, an empty grid, the column and grid events, and
// summary items following a renamed column.
#include "tests/dbgrid/SummaryGrid.h"

#include <gtest/gtest.h>

namespace {

using gridtest::TSummaryGrid;
using gridtest::TSummaryRow;

std::vector<TSummaryRow> Quantities(std::initializer_list<const char*> Values) {
    std::vector<TSummaryRow> rows;
    for (const char* value : Values)
        rows.push_back({"Paris", value});
    return rows;
}

TEST(DBGridSummariesTest, FooterShowsEachKindOverTheRecords) {
    struct Case {
        const char* Name;
        std::vector<TSummaryRow> Rows;
        TcvSummaryType Kind;
        std::string Painted;
    };
    const Case cases[] = {
        {"count ignores the values", Quantities({"5", "3", "8"}), cstCount, "3"},
        {"minimum", Quantities({"5", "3", "8"}), cstMin, "MIN=3.00"},
        {"maximum", Quantities({"5", "3", "8"}), cstMax, "MAX=8.00"},
        {"average", Quantities({"5", "3", "8"}), cstAvg, "AVG=5.33"},
        {"sum", Quantities({"5", "3", "8"}), cstSum, "16.00"},
        // Kept as the grid always did: a Null adds 0, also to Min and Avg.
        {"Null in the minimum", Quantities({"5", "NULL", "8"}), cstMin, "MIN=0.00"},
        {"Null in the average", Quantities({"5", "NULL", "8"}), cstAvg, "AVG=4.33"},
        {"empty grid: no minimum", {}, cstMin, ""},
        {"empty grid: no average", {}, cstAvg, ""},
        {"empty grid: no sum", {}, cstSum, ""},
        {"empty grid: a count of none", {}, cstCount, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TSummaryGrid grid(c.Rows);
        grid.Qty->SetSummaryFooterType(c.Kind);
        grid.Grid->FullReload();
        EXPECT_EQ(grid.PaintFooters().at("colQty"), c.Painted);
        EXPECT_EQ(grid.PaintFooters().at("colCity"), "");
        EXPECT_EQ(grid.Grid->SummaryRecordCount(), int(c.Rows.size()));
    }
}

TEST(DBGridSummariesTest, AverageIsTheExactQuotient) {
    TSummaryGrid grid(Quantities({"5", "3", "8"}), [](TcvDBGrid& Grid) {
        static_cast<TcvDBTreeListColumn*>(Grid.Columns(1))->SetSummaryFooterType(cstAvg);
    });
    EXPECT_EQ(grid.Qty->FooterValue(), 16.0L / 3);
}

TEST(DBGridSummariesTest, FooterFieldAndEventsShapeTheValues) {
    TSummaryGrid grid(Quantities({"5", "3", "8"}));
    // The city column sums the quantities; its event doubles every value.
    grid.City->SetSummaryFooterField("Qty");
    grid.City->SetSummaryFooterType(cstMax);
    std::string events;
    grid.City->OnSummaryFooter = [&events](TObject*, TDataSet*, long double& Value) {
        Value *= 2;
        events += "r";
    };
    grid.Grid->OnBeforeCalcSummary = [&](TObject* Sender) {
        EXPECT_EQ(Sender, grid.Grid);
        events += "(";
    };
    grid.Grid->OnCalcSummary = [&](TObject* Sender, TcvTreeListNode* Node) {
        EXPECT_EQ(Sender, grid.Grid);
        EXPECT_EQ(Node, nullptr);
        events += ")";
    };
    grid.Grid->FullReload();
    EXPECT_EQ(grid.PaintFooters().at("colCity"), "MAX=16.00");
    EXPECT_EQ(events, "(rrr)");
    events.clear();
    grid.Grid->CalculateSummaries();
    EXPECT_EQ(events, "(rrr)");
}

TEST(DBGridSummariesTest, RecordBufferModeSumsNothing) {
    TSummaryGrid grid(Quantities({"5", "3", "8"}), [](TcvDBGrid& Grid) {
        Grid.SetOptionsDB(Grid.OptionsDB() - edgoLoadAllRecords);
        static_cast<TcvDBTreeListColumn*>(Grid.Columns(1))->SetSummaryFooterType(cstSum);
    });
    ASSERT_TRUE(grid.Grid->IsBufferMode());
    EXPECT_EQ(grid.PaintFooters().at("colQty"), "");
}

TEST(DBGridSummariesTest, SummaryItemsFollowARenamedColumnInEveryGroup) {
    TSummaryGrid grid(Quantities({"5", "3", "8"}));
    for (const char* name : {"First", "Second"}) {
        TcvDBGridSummaryGroup* group = grid.Grid->SummaryGroups()->Add();
        group->SetName(name);
        group->SummaryItems()->Add()->SetColumnName("COLQTY");
        group->SummaryItems()->Add()->SetColumnName("colCity");
    }
    grid.Qty->SetName("colQuantity");
    for (int g = 0; g < 2; ++g) {
        TcvDBGridSummaryItems* items = grid.Grid->SummaryGroups()->Items(g)->SummaryItems();
        EXPECT_EQ(items->Items(0)->ColumnName(), "colQuantity");
        EXPECT_EQ(items->Items(1)->ColumnName(), "colCity");
    }
    // A column that goes takes its name from the items.
    delete grid.City;
    EXPECT_EQ(grid.Grid->SummaryGroups()->Items(0)->SummaryItems()->Items(1)->ColumnName(), "");
}

} // namespace
