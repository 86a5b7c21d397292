// Summary texts with their default formats and date prefixes, the summary
// group collection's name and default rules, and the leaf-row count of group
// nodes.
#include "dbgrid/DBGridSummary.h"

#include "dbgrid/DBGrid.h"

#include "platform/rtl/DateTime.h"
#include "treelist/TreeList.h"
#include "treelist/cvTL.h"

#include <gtest/gtest.h>

namespace {

using cvDBCtrl::FormatSummaryValue;

const long double March5 = EncodeDate(2026, 3, 5);

struct TSummaryTextCase {
    const char* Name;
    TcvSummaryType Kind;
    const char* Format;
    TFieldType FieldType;
    bool IsFooter;
    long double Value;
    const char* Text;
};

const TSummaryTextCase SummaryTextCases[] = {
    {"GroupSum", cstSum, "", ftFloat, false, 1234.5L, "(SUM=1234.50)"},
    {"GroupNegativeSum", cstSum, "", ftFloat, false, -3, "(SUM=-3.00)"},
    {"GroupSumRoundsExtended", cstSum, "", ftCurrency, false, 1234.567L, "(SUM=1234.57)"},
    {"FooterSum", cstSum, "", ftInteger, true, 1234.5L, "1234.50"},
    {"FooterCount", cstCount, "", ftString, true, 17, "17"},
    {"GroupCount", cstCount, "", ftString, false, 4, "(COUNT=4)"},
    {"CountOnDateIsANumber", cstCount, "", ftDate, true, 3, "3"},
    {"FooterAverage", cstAvg, "", ftFloat, true, 2.5L, "AVG=2.50"},
    {"FooterNegativeMinimum", cstMin, "", ftFloat, true, -0.5L, "MIN=-0.50"},
    {"GroupMaximum", cstMax, "", ftFloat, false, 8, "(MAX=8.00)"},
    {"CustomFormat", cstSum, "#,##0.0", ftFloat, false, 1234.5L, "1,234.5"},
    {"FooterMinimumDate", cstMin, "", ftDate, true, March5, "MIN=2026-03-05"},
    {"GroupMinimumDate", cstMin, "", ftDate, false, March5, "(MIN=2026-03-05)"},
    {"FooterSumDateHasNoPrefix", cstSum, "", ftDate, true, March5, "2026-03-05"},
    {"CustomFormatPrefixesDate", cstMin, "Total:", ftDate, true, March5, "Total:2026-03-05"},
    {"CustomFormatInGroupRowHasNoParenthesis", cstMax, "Last ", ftDate, false, March5, "Last 2026-03-05"},
    {"GroupMaximumTime", cstMax, "", ftTime, false, 0.75L, "(MAX=18:00:00)"},
    {"FooterAverageDateTime", cstAvg, "", ftDateTime, true, March5 + 0.25L, "AVG=2026-03-05 06:00:00"},
    {"NoneIsEmpty", cstNone, "0.00", ftFloat, true, 5, ""},
};

void PrintTo(const TSummaryTextCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class SummaryTextTest : public testing::TestWithParam<TSummaryTextCase> {};

TEST_P(SummaryTextTest, FormatsWithDefaultsAndDatePrefixes) {
    const TSummaryTextCase& c = GetParam();
    EXPECT_EQ(FormatSummaryValue(c.Kind, c.Format, c.FieldType, c.IsFooter, c.Value), c.Text);
}

INSTANTIATE_TEST_SUITE_P(Cases, SummaryTextTest, testing::ValuesIn(SummaryTextCases),
                         [](const auto& info) { return std::string(info.param.Name); });

void ExpectTreeListError(const std::function<void()>& Action, const std::string& Message) {
    try {
        Action();
        ADD_FAILURE() << "no error, expected " << Message;
    } catch (const EInvalidcvTreeListOperation& e) {
        EXPECT_EQ(e.Message(), Message);
    }
}

TEST(SummaryGroupsTest, NamesAreNonEmptyAndUniqueCaseSensitively) {
    TcvDBGridSummaryGroups groups(nullptr);
    TcvDBGridSummaryGroup* a = groups.Add();
    a->SetName("A");
    TcvDBGridSummaryGroup* b = groups.Add();
    b->SetName("B");

    ExpectTreeListError([&] { b->SetName("A"); }, "Invalidate group name: duplicate!");
    ExpectTreeListError([&] { b->SetName(""); }, "Invalidate group name!");
    EXPECT_EQ(b->Name(), "B");

    a->SetName("A");
    b->SetName("a");
    EXPECT_EQ(a->Name(), "A");
    EXPECT_EQ(b->Name(), "a");
}

TEST(SummaryGroupsTest, OnlyOneGroupIsTheDefault) {
    TcvDBGridSummaryGroups groups(nullptr);
    TcvDBGridSummaryGroup* first = groups.Add();
    TcvDBGridSummaryGroup* second = groups.Add();
    EXPECT_EQ(groups.GetDefaultGroup(), nullptr);

    first->SetDefaultGroup(true);
    second->SetDefaultGroup(true);
    EXPECT_FALSE(first->DefaultGroup());
    EXPECT_EQ(groups.GetDefaultGroup(), second);

    second->SetDefaultGroup(false);
    EXPECT_EQ(groups.GetDefaultGroup(), nullptr);
}

TEST(SummaryGroupsTest, AssignCopiesTextsItemsAndNameThroughItsChecks) {
    TcvDBGridSummaryGroups source(nullptr);
    TcvDBGridSummaryGroup* from = source.Add();
    from->SetName("Totals");
    from->SetBeginSummaryText("[");
    from->SetEndSummaryText("]");
    from->SetDefaultGroup(true);
    TcvDBGridSummaryItem* item = from->SummaryItems()->Add();
    item->SetColumnName("colAmount");
    item->SetSummaryType(cstAvg);
    item->SetSummaryField("Amount");
    item->SetSummaryFormat("0.0");

    TcvDBGridSummaryGroups target(nullptr);
    target.Add()->SetName("Old");
    TcvDBGridSummaryGroup* to = target.Add();
    to->SetDefaultGroup(false);
    to->Assign(from);
    EXPECT_EQ(to->Name(), "Totals");
    EXPECT_EQ(to->BeginSummaryText(), "[");
    EXPECT_EQ(to->EndSummaryText(), "]");
    EXPECT_EQ(target.GetDefaultGroup(), to);
    ASSERT_EQ(to->SummaryItems()->Count(), 1);
    const TcvDBGridSummaryItem* copy = to->SummaryItems()->Items(0);
    EXPECT_EQ(copy->ColumnName(), "colAmount");
    EXPECT_EQ(copy->SummaryType(), cstAvg);
    EXPECT_EQ(copy->SummaryField(), "Amount");
    EXPECT_EQ(copy->SummaryFormat(), "0.0");

    from->SetName("Old");
    ExpectTreeListError([&] { to->Assign(from); }, "Invalidate group name: duplicate!");
    EXPECT_EQ(to->Name(), "Totals");
}

// Group nodes without a grid around them.
class TGroupTree : public TCustomcvTreeList {
public:
    using TCustomcvTreeList::TCustomcvTreeList;

protected:
    TcvTreeListNode* CreateNode() override { return new TcvDBGridNode(this); }
};

TcvDBGridNode* AddGroup(TcvTreeListNode* Parent, int Rows, long double Sum, std::vector<double> Slots = {}) {
    auto* group = static_cast<TcvDBGridNode*>(Parent->AddChild());
    for (int i = 0; i < Rows; ++i)
        group->AddChild();
    group->GroupSummaryValue = Sum;
    group->ItemSummaryValues = std::move(Slots);
    return group;
}

TEST(GroupNodesTest, CountLeafRowsCountsTheRecordsBelowAGroup) {
    TGroupTree tree(nullptr);
    TcvTreeListNode* top = tree.Add();
    TcvTreeListNode* groupA = top->AddChild();
    TcvTreeListNode* groupB = top->AddChild();
    for (int i = 0; i < 3; ++i)
        groupA->AddChild();
    for (int i = 0; i < 2; ++i)
        groupB->AddChild();

    EXPECT_EQ(cvDBGrid::CountLeafRows(top), 5);
    EXPECT_EQ(cvDBGrid::CountLeafRows(groupA), 3);
    EXPECT_EQ(cvDBGrid::CountLeafRows(groupA->Items(0)), 0);
}

TEST(GroupNodesTest, CountsAndAveragesReachOnlyTheNodesOfTheLevel) {
    TGroupTree tree(nullptr);
    auto* top = static_cast<TcvDBGridNode*>(tree.Add());
    top->GroupSummaryValue = 40;
    TcvDBGridNode* cities = AddGroup(top, 3, 30, {6, 9});
    TcvDBGridNode* towns = AddGroup(top, 2, 10);
    TcvDBGridNode* empty = AddGroup(top, 0, 7, {4, 4});

    cvDBGrid::AverageGroupValues(top, 1);
    cvDBGrid::SetSlotCounts(top, 1, 0);
    cvDBGrid::AverageSlotValues(top, 1, 1);
    EXPECT_EQ(cities->GroupSummaryValue, 10);
    EXPECT_EQ(towns->GroupSummaryValue, 5);
    EXPECT_EQ(empty->GroupSummaryValue, 7);
    EXPECT_EQ(cities->ItemSummaryValues, (std::vector<double>{3, 3}));
    EXPECT_EQ(empty->ItemSummaryValues, (std::vector<double>{0, 4}));
    EXPECT_TRUE(towns->ItemSummaryValues.empty());
    EXPECT_EQ(top->GroupSummaryValue, 40);

    cvDBGrid::SetGroupCounts(top, 0);
    EXPECT_EQ(top->GroupSummaryValue, 5);
}

} // namespace
