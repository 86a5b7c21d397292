// The grid's criteria: conditions bound to columns read the rows' values,
// name their fields for the dataset's Filter, and compare strings
// upper-cased when case-insensitive.
#include "dbgrid/FilterCriteria.h"

#include "dbgrid/CriteriaStream.h"
#include "platform/rtl/Streams.h"
#include "tests/dbgrid/ShownGrid.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class FilterCriteriaGridTest : public testing::Test {
protected:
    void SetUp() override { Grid->SetOptions(Grid->Options() + egoLoadAllRecords); }

    // One character per row, '1' when it passes.
    std::string Passing() const {
        std::string passing;
        for (int i = 0; i < Grid->Count(); ++i)
            passing += Criteria.Evaluate(Grid->Items(i)) ? '1' : '0';
        return passing;
    }

    gridtest::TShownGrid Shown{
        5, 300, {"ID", "Qty", "Amount", "Note"}, [](TcvDBGrid& Grid) { Grid.SetKeyField("ID"); }};
    TcvDBGrid* Grid = Shown.Grid;
    TcvDBTreeListColumn* Qty = Grid->ColumnByFieldName("Qty");
    TcvDBTreeListColumn* Amount = Grid->ColumnByFieldName("Amount");
    TcvDBTreeListColumn* Note = Grid->ColumnByFieldName("Note");
    TcvDBGridCriteria Criteria{Grid};
};

TEST_F(FilterCriteriaGridTest, RowsAreTestedThroughTheirColumns) {
    const struct {
        const char* Name;
        std::function<void(TcvDBGridCriteria&)> Build;
        bool CaseInsensitive;
        const char* Passing;
    } cases[] = {
        {"integer",
         [&](TcvDBGridCriteria& C) { C.AddCondition(nullptr, Qty, false, "30", 30, cvGreaterEqualOperatorIndex); },
         false, "00111"},
        {"money against a double",
         [&](TcvDBGridCriteria& C) { C.AddCondition(nullptr, Amount, true, "200.25", 200.25, cvEqualOperatorIndex); },
         false, "10111"},
        {"a string of another case, case-sensitive",
         [&](TcvDBGridCriteria& C) { C.AddCondition(nullptr, Note, false, "x", "NOTE 1 ", cvEqualOperatorIndex); },
         false, "00000"},
        {"a string of another case, case-insensitive",
         [&](TcvDBGridCriteria& C) { C.AddCondition(nullptr, Note, false, "x", "NOTE 1 ", cvEqualOperatorIndex); },
         true, "10000"},
        {"into a group",
         [&](TcvDBGridCriteria& C) {
             TcvCriteriaItemList* any = C.Root()->AddGroup(true);
             C.AddCondition(any, Qty, false, "10", 10, cvEqualOperatorIndex);
             C.AddCondition(any, Qty, false, "50", 50, cvEqualOperatorIndex);
         },
         false, "10001"},
    };
    ASSERT_EQ(Grid->Count(), 5);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Criteria.Clear();
        Criteria.SetCaseInsensitive(c.CaseInsensitive);
        c.Build(Criteria);
        EXPECT_EQ(Passing(), c.Passing);
    }
}

TEST_F(FilterCriteriaGridTest, TextsNameColumnsByCaptionAndFieldsByName) {
    Qty->SetCaption("数量");
    Criteria.AddCondition(nullptr, Qty, true, "三十", 30, cvLessOperatorIndex);
    Criteria.AddCondition(nullptr, Note, false, "", Null(), cvNullOperatorIndex);
    EXPECT_EQ(Criteria.GetDisplayText(), "(NOT (数量 < 三十)) AND (Note Is Null)");
    EXPECT_EQ(Criteria.GetFilterText(), "(NOT (Qty < 30)) AND (Note Is Null)");
}

TEST_F(FilterCriteriaGridTest, TheDatasetFiltersAsTheGridDoes) {
    RunSql(Shown.Data.Folder / "grid.mdb", "update T set Note = 'O''Brien' where ID = 2");
    Shown.Data.Query->Close();
    Shown.Data.Query->Open();
    ASSERT_EQ(Grid->Count(), 5);
    TcvCriteriaItemList* any = Criteria.Root()->AddGroup(true);
    Criteria.AddCondition(any, Note, false, "O'Brien", "O'Brien", cvEqualOperatorIndex);
    Criteria.AddCondition(any, Qty, true, "40", 40, cvLessOperatorIndex);
    Criteria.AddCondition(nullptr, Note, true, "", Null(), cvNullOperatorIndex);
    EXPECT_EQ(Passing(), "01011");
    Shown.Data.Query->SetFilter(Criteria.GetFilterText());
    Shown.Data.Query->SetFiltered(true);
    EXPECT_EQ(Shown.Data.Query->RecordCount(), 3) << Criteria.GetFilterText();
    EXPECT_EQ(Shown.Data.Query->FieldByName("Note")->AsString(), "O'Brien");
}

TEST_F(FilterCriteriaGridTest, ConditionsFoundAndRemovedByColumn) {
    Criteria.AddCondition(nullptr, Qty, false, "10", 10, cvEqualOperatorIndex);
    TcvCriteriaItemList* any = Criteria.Root()->AddGroup(true);
    TcvDBGridCriteriaItem* inGroup = Criteria.AddCondition(any, Note, false, "a", "a", cvEqualOperatorIndex);
    Criteria.AddCondition(any, Amount, false, "1", 1, cvEqualOperatorIndex);
    EXPECT_FALSE(Criteria.IsCustomFilter(Qty)) << "a plain = in the root";
    EXPECT_TRUE(Criteria.IsCustomFilter(Note)) << "inside a group";
    EXPECT_EQ(Criteria.FindColumnItem(Note), inGroup);
    EXPECT_EQ(inGroup->Column(), Note);

    Criteria.RemoveColumnItems(Note);
    EXPECT_EQ(Criteria.FindColumnItem(Note), nullptr);
    EXPECT_FALSE(Criteria.IsCustomFilter(Amount)) << "promoted into the root";
    Criteria.AddCondition(nullptr, Qty, false, "10", 10, cvGreaterOperatorIndex);
    EXPECT_TRUE(Criteria.IsCustomFilter(Qty)) << "not an = condition";
}

TEST_F(FilterCriteriaGridTest, RefreshItemsBindsConditionsReadFromAStream) {
    TcvDBGridCriteria source(Grid);
    source.AddCondition(nullptr, Qty, false, "20", 20, cvGreaterOperatorIndex);
    source.Root()->AddCondition("NoColumn", cvNullOperatorIndex, "", Null());
    TMemoryStream stream;
    source.WriteData(&stream);
    stream.SetPosition(0);
    Criteria.ReadData(&stream);
    auto* qty = static_cast<TcvDBGridCriteriaItem*>(Criteria.FindItem("Qty"));
    EXPECT_EQ(qty->Column(), nullptr) << "read conditions wait for their columns";
    Criteria.RefreshItems();
    EXPECT_EQ(qty->Column(), Qty);
    EXPECT_EQ(static_cast<TcvDBGridCriteriaItem*>(Criteria.FindItem("NoColumn"))->Column(), nullptr);
    EXPECT_EQ(Passing(), "00111") << "a condition without a column sees Null";
}

TEST(FilterCriteriaGridFieldTest, FilterFieldNames) {
    gridtest::TShownGrid shown{3, 200, {}};
    TADOQuery query(nullptr);
    query.SetConnection(shown.Data.Connection.get());
    query.SQL()->SetText("select ID, Name as [Full Name], Qty as 数量, Price from T order by ID");
    TIntegerField id(nullptr), qty(nullptr);
    TStringField fullName(nullptr), who(nullptr), nobody(nullptr);
    TFloatField price(nullptr);
    id.SetFieldName("ID");
    fullName.SetFieldName("Full Name");
    qty.SetFieldName("数量");
    price.SetFieldName("Price");
    price.SetOrigin("T.Price");
    who.SetFieldName("Who");
    who.SetFieldKind(fkLookup);
    who.SetKeyFields("ID");
    nobody.SetFieldName("Nobody");
    nobody.SetFieldKind(fkLookup);
    nobody.SetKeyFields("NoSuchField");
    for (TField* field :
         {(TField*)&id, (TField*)&fullName, (TField*)&qty, (TField*)&price, (TField*)&who, (TField*)&nobody})
        field->SetDataSet(&query);
    query.Open();
    TDataSource source(nullptr);
    source.SetDataSet(&query);
    shown.Grid->SetDataSource(&source);

    const std::pair<const char*, const char*> cases[] = {
        {"ID", "ID"},   {"Full Name", "[Full Name]"}, {"数量", "[数量]"}, {"Price", "T.Price"}, {"Who", "ID"},
        {"Nobody", ""}, {"NoSuchField", ""},
    };
    TcvDBGridCriteria criteria(shown.Grid);
    for (const auto& [field, expected] : cases) {
        SCOPED_TRACE(field);
        TcvDBTreeListColumn* column = shown.Grid->CreateColumn(shown.Grid->GetDefaultColumnClass());
        column->SetFieldName(field);
        EXPECT_EQ(criteria.AddCondition(nullptr, column, false, "", 1, cvEqualOperatorIndex)->GetFilterFieldName(),
                  expected);
    }
    EXPECT_EQ(criteria.Root()->AddCondition("Unbound", cvEqualOperatorIndex, "", 1)->GetFilterFieldName(), "");
    shown.Grid->SetDataSource(nullptr);
    query.Close();
}

} // namespace
