// The criteria model over plain rows: its two texts, the test of a row, and
// finding and removing one field's conditions with the tidying of the groups
// that leaves.
#include "dbgrid/FilterCriteria.h"

#include "tests/dbgrid/TestCriteria.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using criteriatest::TRow;
using criteriatest::TRowCriteria;
using TBuild = std::function<void(TcvCriteriaItemList& Root)>;

TcvCriteriaItem* Add(TcvCriteriaItemList& List, const char* Field, Byte Operator, const Variant& Value,
                     bool Negated = false) {
    TcvCriteriaItem* item = List.AddCondition(Field, Operator, Value.AsString(), Value);
    item->SetNegated(Negated);
    return item;
}

TcvCriteriaItemList* Group(TcvCriteriaItemList& List, bool IsOr, bool Negated = false) {
    TcvCriteriaItemList* group = List.AddGroup(IsOr);
    group->SetNegated(Negated);
    return group;
}

TEST(FilterCriteriaTest, OperatorsKeepTheirIndexesAndTexts) {
    const char* texts[] = {"Is Null", "=", ">", "<", ">=", "<="};
    for (Byte i = 0; i < cvOperatorCount; ++i)
        EXPECT_EQ(cvFilterOperator(i)->GetText(), texts[i]);
    EXPECT_EQ(cvFilterOperator(cvOperatorCount), nullptr);
    EXPECT_EQ(cvFilterOperator(cvEqualOperatorIndex), cvFilterOperator(cvEqualOperatorIndex)) << "one shared instance";
}

struct TextCase {
    const char* Name;
    TBuild Build;
    const char* Display;
    const char* Filter;
};

TEST(FilterCriteriaTest, TextsInBothForms) {
    const TextCase cases[] = {
        {"empty", [](TcvCriteriaItemList&) {}, "", ""},
        {"nested negated group",
         [](TcvCriteriaItemList& Root) {
             Add(Root, "Qty", cvEqualOperatorIndex, 5);
             TcvCriteriaItemList* group = Group(Root, true, true);
             Add(*group, "B", cvNullOperatorIndex, Null());
             Add(*group, "C", cvGreaterOperatorIndex, "x");
         },
         "(Qty = 5) AND (NOT ((B Is Null) OR (C > x)))", "(Qty = 5) AND (NOT ((B Is Null) OR (C > 'x')))"},
        {"negated Is Null writes no value",
         [](TcvCriteriaItemList& Root) { Add(Root, "Name", cvNullOperatorIndex, "ignored", true); },
         "(NOT (Name Is Null))", "(NOT (Name Is Null))"},
        {"a quote is doubled only in the filter form",
         [](TcvCriteriaItemList& Root) { Add(Root, "Name", cvEqualOperatorIndex, "O'Brien"); }, "(Name = O'Brien)",
         "(Name = 'O''Brien')"},
        {"kinds of values",
         [](TcvCriteriaItemList& Root) {
             Root.SetIsOr(true);
             Add(Root, "Done", cvEqualOperatorIndex, true);
             Add(Root, "Price", cvGreaterEqualOperatorIndex, 1.5);
             Add(Root, "Made", cvLessOperatorIndex, VarFromDateTime(EncodeDate(2024, 3, 5)));
             Add(Root, "Wide", cvLessEqualOperatorIndex, Variant::FromOleStr("w"));
         },
         "(Done = True) OR (Price >= 1.5) OR (Made < 2024-03-05) OR (Wide <= w)",
         "(Done = True) OR (Price >= 1.5) OR (Made < '2024-03-05') OR (Wide <= 'w')"},
        {"negated root",
         [](TcvCriteriaItemList& Root) {
             Root.SetNegated(true);
             Add(Root, "A", cvEqualOperatorIndex, 1);
         },
         "NOT ((A = 1))", "NOT ((A = 1))"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRowCriteria criteria;
        c.Build(*criteria.Root());
        EXPECT_EQ(criteria.GetDisplayText(), c.Display);
        EXPECT_EQ(criteria.GetFilterText(), c.Filter);
    }
}

struct EvaluateCase {
    const char* Name;
    TBuild Build;
    const char* Passing; // one character per row of Rows(), '1' when it passes
};

std::vector<TRow> Rows() {
    std::vector<TRow> rows(4);
    rows[0].Values = {{"A", 1}, {"S", "abc"}, {"N", Null()}};
    rows[1].Values = {{"A", 5}, {"S", ""}, {"N", 2}};
    rows[2].Values = {{"A", 10}, {"S", "ABC"}, {"N", Unassigned()}};
    rows[3].Values = {{"A", Null()}, {"S", Null()}};
    return rows;
}

TEST(FilterCriteriaTest, EvaluateRows) {
    const EvaluateCase cases[] = {
        {"empty criteria accept every row", [](TcvCriteriaItemList&) {}, "1111"},
        {"greater", [](TcvCriteriaItemList& Root) { Add(Root, "A", cvGreaterOperatorIndex, 4); }, "0110"},
        {"a Null row value satisfies no comparison",
         [](TcvCriteriaItemList& Root) { Add(Root, "A", cvLessOperatorIndex, 5); }, "1000"},
        {"negated condition", [](TcvCriteriaItemList& Root) { Add(Root, "A", cvLessOperatorIndex, 5, true); }, "0111"},
        {"Null and the empty string are blank",
         [](TcvCriteriaItemList& Root) { Add(Root, "S", cvNullOperatorIndex, Null()); }, "0101"},
        {"Unassigned is not blank", [](TcvCriteriaItemList& Root) { Add(Root, "N", cvNullOperatorIndex, Null()); },
         "1001"},
        {"strings compare case-sensitively",
         [](TcvCriteriaItemList& Root) { Add(Root, "S", cvEqualOperatorIndex, "abc"); }, "1000"},
        {"an OR group whose first child is a group",
         [](TcvCriteriaItemList& Root) {
             TcvCriteriaItemList* any = Group(Root, true);
             TcvCriteriaItemList* five = Group(*any, false);
             Add(*five, "A", cvGreaterEqualOperatorIndex, 5);
             Add(*five, "A", cvLessEqualOperatorIndex, 5);
             Add(*any, "S", cvEqualOperatorIndex, "ABC");
         },
         "0110"},
        {"an empty group is true",
         [](TcvCriteriaItemList& Root) {
             Group(Root, true);
             Add(Root, "A", cvEqualOperatorIndex, 1);
         },
         "1000"},
        {"a negated empty group is false", [](TcvCriteriaItemList& Root) { Group(Root, false, true); }, "0000"},
        {"negated OR root",
         [](TcvCriteriaItemList& Root) {
             Root.SetIsOr(true);
             Root.SetNegated(true);
             Add(Root, "A", cvEqualOperatorIndex, 1);
             Add(Root, "A", cvEqualOperatorIndex, 10);
         },
         "0101"},
    };
    std::vector<TRow> rows = Rows();
    for (const EvaluateCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRowCriteria criteria;
        c.Build(*criteria.Root());
        std::string passing;
        for (TRow& row : rows)
            passing += criteria.Evaluate(&row) ? '1' : '0';
        EXPECT_EQ(passing, c.Passing);
    }
}

TEST(FilterCriteriaTest, FindItemIsDepthFirstAndCaseSensitive) {
    TRowCriteria criteria;
    TcvCriteriaItemList* group = Group(*criteria.Root(), true);
    Add(*group, "X", cvEqualOperatorIndex, 1);
    TcvCriteriaItem* inGroup = Add(*group, "Qty", cvEqualOperatorIndex, 2);
    Add(*criteria.Root(), "Qty", cvEqualOperatorIndex, 3);
    EXPECT_EQ(criteria.FindItem("Qty"), inGroup);
    EXPECT_EQ(criteria.FindItem("qty"), nullptr);
    EXPECT_EQ(criteria.Root()->Items(-1), nullptr);
    EXPECT_EQ(criteria.Root()->Items(2), nullptr);
    EXPECT_FALSE(inGroup->Negated()) << "a new condition is not negated";
    EXPECT_EQ(inGroup->Parent(), group);
    EXPECT_EQ(group->Criteria(), &criteria);

    criteria.Root()->SetIsOr(true);
    criteria.Root()->SetNegated(true);
    criteria.Clear();
    EXPECT_EQ(criteria.Root()->Count(), 0);
    EXPECT_FALSE(criteria.Root()->IsOr() || criteria.Root()->Negated());
}

struct RemoveCase {
    const char* Name;
    TBuild Build;
    const char* Removed;
    const char* Left; // the filter text afterwards
};

TEST(FilterCriteriaTest, RemoveItemsTidiesTheGroupsItLeaves) {
    const RemoveCase cases[] = {
        {"the other condition of an OR group takes its place",
         [](TcvCriteriaItemList& Root) {
             TcvCriteriaItemList* group = Group(Root, true);
             Add(*group, "A", cvEqualOperatorIndex, 1);
             Add(*group, "B", cvEqualOperatorIndex, 2);
         },
         "B", "(A = 1)"},
        {"NOT (A OR B) without B is NOT (A)",
         [](TcvCriteriaItemList& Root) {
             TcvCriteriaItemList* group = Group(Root, true, true);
             Add(*group, "A", cvEqualOperatorIndex, 1);
             Add(*group, "B", cvEqualOperatorIndex, 2);
         },
         "B", "(NOT (A = 1))"},
        {"two negations cancel",
         [](TcvCriteriaItemList& Root) {
             TcvCriteriaItemList* group = Group(Root, true, true);
             Add(*group, "A", cvEqualOperatorIndex, 1, true);
             Add(*group, "B", cvEqualOperatorIndex, 2);
         },
         "B", "(A = 1)"},
        {"the promoted child goes to the end of its new list",
         [](TcvCriteriaItemList& Root) {
             TcvCriteriaItemList* group = Group(Root, true);
             Add(*group, "A", cvEqualOperatorIndex, 1);
             Add(*group, "B", cvEqualOperatorIndex, 2);
             Add(Root, "C", cvEqualOperatorIndex, 3);
         },
         "B", "(C = 3) AND (A = 1)"},
        {"every condition of the field, promoted or not",
         [](TcvCriteriaItemList& Root) {
             Add(Root, "C", cvEqualOperatorIndex, 3);
             TcvCriteriaItemList* any = Group(Root, true, true);
             TcvCriteriaItemList* both = Group(*any, false);
             Add(*both, "A", cvEqualOperatorIndex, 1);
             Add(*both, "A", cvEqualOperatorIndex, 2);
             Add(*any, "B", cvEqualOperatorIndex, 2);
         },
         "A", "(C = 3) AND (NOT (B = 2))"},
        {"groups emptied in turn all go",
         [](TcvCriteriaItemList& Root) {
             Add(Root, "C", cvEqualOperatorIndex, 3);
             TcvCriteriaItemList* outer = Group(Root, false, true);
             Add(*Group(*Group(*outer, true), false), "A", cvEqualOperatorIndex, 1);
         },
         "A", "(C = 3)"},
        {"the root stays", [](TcvCriteriaItemList& Root) { Add(Root, "A", cvEqualOperatorIndex, 1); }, "A", ""},
    };
    for (const RemoveCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRowCriteria criteria;
        c.Build(*criteria.Root());
        criteria.RemoveItems(c.Removed);
        EXPECT_EQ(criteria.GetFilterText(), c.Left);
        EXPECT_EQ(criteria.FindItem(c.Removed), nullptr);
    }
}

} // namespace
