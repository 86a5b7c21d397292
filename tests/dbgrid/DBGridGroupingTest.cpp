// Grouping a shown grid: the group tree and its row texts, the group list's
// numbering, the refusals, the switch between the record-buffer and the
// in-memory mode, the grouping lock and the regroup of one edited record.
#include "tests/dbgrid/ShownGrid.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// Six records over four cities, one of them Null.
constexpr char Records[] = "insert into P values (1, 'Paris', 'A', 3, 'n1');"
                           "insert into P values (2, 'Rome', 'B', 8, 'n2');"
                           "insert into P values (3, 'Paris', 'B', 5, 'n3');"
                           "insert into P values (4, NULL, 'A', 1, 'n4');"
                           "insert into P values (5, 'Rome', 'A', 2, 'n5');"
                           "insert into P values (6, 'Oslo', 'B', 4, 'n6');";

class GroupedGrid : public TScratchQuery, public gridtest::TGridOnForm {
public:
    // Columns ID, City, Kind, Qty, Note; Prepare runs before the data source
    // is set, inside the form's loading bracket when FromForm.
    explicit GroupedGrid(const std::function<void(TcvDBGrid&)>& Prepare = {}, bool FromForm = false)
        : TScratchQuery("group.mdb",
                        std::string("create table P (ID integer primary key, City varchar(20), Kind varchar(10),"
                                    " Qty integer, Note memo);") +
                            Records,
                        "select * from P order by ID"),
          TGridOnForm(
              Source.get(), 560, 300, {"ID", "City", "Kind", "Qty", "Note"},
              [&Prepare](TcvDBGrid& Grid) {
                  Grid.SetKeyField("ID");
                  if (Prepare) Prepare(Grid);
              },
              FromForm) {}

    TcvDBTreeListColumn* Column(const char* FieldName) const { return Grid->ColumnByFieldName(FieldName); }

    // Every node in tree order, one line each, indented by level: a group
    // row's text, a record row's ID.
    std::string Tree() const {
        std::string lines;
        for (TcvTreeListNode* node = Grid->Items(0); node; node = node->GetNext()) {
            lines += std::string(size_t(node->Level()) * 2, ' ');
            lines += Grid->IsGroupNode(node) ? Grid->GetNodeString(node, -1) : Grid->GetNodeString(node, 0);
            lines += "|";
        }
        return lines;
    }
};

TEST(DBGridGroupingTest, GroupingBuildsTheGroupTreeWithItsRowTexts) {
    struct Case {
        const char* Name;
        TcvTreeListColumnSort CitySort;
        bool ByKind;
        const char* Tree;
    };
    const Case cases[] = {
        {"by City: Null first, records in dataset order", csNone, false,
         "City :  |  4|City : Oslo |  6|City : Paris |  1|  3|City : Rome |  2|  5|"},
        {"by City descending: Null last", csDown, false,
         "City : Rome |  2|  5|City : Paris |  1|  3|City : Oslo |  6|City :  |  4|"},
        {"by City, then Kind", csNone, true,
         "City :  |  Kind : A |    4|City : Oslo |  Kind : B |    6|City : Paris |  Kind : A |    1|"
         "  Kind : B |    3|City : Rome |  Kind : A |    5|  Kind : B |    2|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        GroupedGrid grid;
        grid.Column("City")->SetSorted(c.CitySort);
        grid.Column("City")->SetGroupIndex(0);
        if (c.ByKind) grid.Column("Kind")->SetGroupIndex(1);
        EXPECT_TRUE(grid.Grid->IsLoadAllMode());
        EXPECT_EQ(grid.Tree(), c.Tree);
    }
}

TEST(DBGridGroupingTest, AGroupRowStandsForItsFirstRecordAndValue) {
    GroupedGrid grid([](TcvDBGrid& Grid) {
        Grid.OnGetGroupText = [](TObject*, TcvTreeListNode* Node, std::string& Text) {
            if (Node->Count() > 1) Text += "(" + std::to_string(Node->Count()) + ")";
        };
    });
    grid.Column("City")->SetGroupIndex(0);
    EXPECT_FALSE(grid.Column("City")->Visible());
    EXPECT_EQ(grid.Column("City")->Sorted(), csUp);
    auto* paris = static_cast<TcvDBGridNode*>(grid.Grid->Items(2));
    EXPECT_EQ(grid.Grid->GetNodeString(paris, 3), "City : Paris (2)");
    // The value is the group's field value, never the composed text.
    Variant value;
    grid.Grid->GetNodeValue(paris, 1, value);
    EXPECT_EQ(VarToStr(value), "Paris");
    grid.Grid->GetNodeValue(grid.Grid->Items(0), 1, value);
    EXPECT_TRUE(value.IsNull());
    EXPECT_EQ(paris->KeyText, "1");
    // Sorting the records descending changes which record comes first.
    grid.Grid->SetOptionsBehavior(grid.Grid->OptionsBehavior() + edgoAutoSort);
    grid.Column("ID")->SetSorted(csDown);
    EXPECT_EQ(paris->KeyText, "3");
    EXPECT_EQ(paris->RecordNumber, 2);
}

TEST(DBGridGroupingTest, GroupIndexIsThePositionInTheGroupList) {
    GroupedGrid grid;
    grid.Column("City")->SetGroupIndex(0);
    grid.Column("Kind")->SetGroupIndex(1);
    grid.Column("Qty")->SetGroupIndex(5);
    EXPECT_EQ(grid.Column("Qty")->GroupIndex(), 2);
    grid.Column("Qty")->SetGroupIndex(-2);
    EXPECT_EQ(grid.Column("Qty")->GroupIndex(), 2);
    // Moving a column to the front renumbers the others.
    grid.Column("Qty")->SetGroupIndex(0);
    EXPECT_EQ(grid.Column("City")->GroupIndex(), 1);
    EXPECT_EQ(grid.Column("Kind")->GroupIndex(), 2);
    EXPECT_EQ(grid.Grid->GroupColumns(0), grid.Column("Qty"));
    // Ungrouping shows the column again, unsorted.
    grid.Column("Kind")->SetGroupIndex(-1);
    EXPECT_TRUE(grid.Column("Kind")->Visible());
    EXPECT_EQ(grid.Column("Kind")->Sorted(), csNone);
    EXPECT_EQ(grid.Grid->GroupColumnCount(), 2);
}

TEST(DBGridGroupingTest, AGroupColumnThatGoesLeavesTheLevelsBelowItOneUp) {
    GroupedGrid grid;
    grid.Column("City")->SetGroupIndex(0);
    grid.Column("Kind")->SetGroupIndex(1);
    delete grid.Column("City");
    EXPECT_EQ(grid.Column("Kind")->GroupIndex(), 0);
    EXPECT_EQ(grid.Grid->GroupColumnCount(), 1);
    EXPECT_EQ(grid.Tree(), "Kind : A |  1|  4|  5|Kind : B |  2|  3|  6|");
}

TEST(DBGridGroupingTest, CanAddGroupColumnRefuses) {
    struct Case {
        const char* Name;
        std::function<TcvDBTreeListColumn*(GroupedGrid&)> Arrange;
    };
    const Case cases[] = {
        {"a memo field", [](GroupedGrid& g) { return g.Column("Note"); }},
        {"DisableGrouping",
         [](GroupedGrid& g) {
             g.Column("Kind")->SetDisableGrouping(true);
             return g.Column("Kind");
         }},
        {"the last visible column",
         [](GroupedGrid& g) {
             for (const char* name : {"ID", "City", "Kind", "Note"})
                 g.Column(name)->SetVisible(false);
             return g.Column("Qty");
         }},
        {"a second column on a grouped field",
         [](GroupedGrid& g) {
             g.Column("City")->SetGroupIndex(0);
             TcvDBTreeListColumn* second = g.Grid->CreateColumn(g.Grid->GetDefaultColumnClass());
             second->SetBandIndex(0);
             second->SetFieldName("City");
             return second;
         }},
        {"OnAddGroupColumn",
         [](GroupedGrid& g) {
             g.Grid->OnAddGroupColumn = [](TObject*, TcvTreeListColumn*, bool& Allow) { Allow = false; };
             return g.Column("Kind");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        GroupedGrid grid;
        TcvDBTreeListColumn* column = c.Arrange(grid);
        const int groups = grid.Grid->GroupColumnCount();
        EXPECT_FALSE(grid.Grid->CanAddGroupColumn(column));
        column->SetGroupIndex(0);
        EXPECT_EQ(column->GroupIndex(), -1);
        EXPECT_EQ(grid.Grid->GroupColumnCount(), groups);
    }
}

TEST(DBGridGroupingTest, GroupingSwitchesToTheInMemoryModeAndBackOnTheSameRecord) {
    GroupedGrid grid;
    ASSERT_TRUE(grid.Grid->IsBufferMode());
    grid.Query->MoveBy(2);
    UpdateWindow(grid.Grid->Handle());
    grid.Column("City")->SetGroupIndex(0);
    ASSERT_TRUE(grid.Grid->IsLoadAllMode());
    EXPECT_EQ(grid.CurrentId(), 3);
    ASSERT_TRUE(grid.Grid->FocusedNode());
    EXPECT_EQ(grid.Grid->GetNodeString(grid.Grid->FocusedNode(), 0), "3");
    // The focused record's group opened to show it.
    EXPECT_TRUE(grid.Grid->FocusedNode()->IsVisible());

    grid.Column("City")->SetGroupIndex(-1);
    UpdateWindow(grid.Grid->Handle());
    ASSERT_TRUE(grid.Grid->IsBufferMode());
    EXPECT_EQ(grid.CurrentId(), 3);
    ASSERT_TRUE(grid.Grid->FocusedNode());
    EXPECT_EQ(grid.Grid->GetNodeString(grid.Grid->FocusedNode(), 0), "3");
    EXPECT_EQ(grid.Grid->GetNodeString(grid.Grid->Items(0), 0), "1");
}

TEST(DBGridGroupingTest, TheGroupingLockRegroupsOnceWhenTheGroupedFieldsChanged) {
    GroupedGrid grid;
    int reloads = 0;
    grid.Grid->OnReloadGroupList = [&reloads](TObject*) { ++reloads; };
    grid.Grid->BeginGrouping();
    grid.Column("City")->SetGroupIndex(0);
    grid.Column("Kind")->SetGroupIndex(1);
    EXPECT_EQ(reloads, 0);
    grid.Grid->EndGrouping();
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(grid.Grid->Count(), 4);

    // Taking a column out and putting it back changes nothing grouped.
    reloads = 0;
    grid.Grid->BeginGrouping();
    grid.Column("Kind")->SetGroupIndex(-1);
    grid.Column("Kind")->SetGroupIndex(1);
    grid.Grid->EndGrouping();
    EXPECT_EQ(reloads, 0);

    reloads = 0;
    grid.Grid->ClearGrouping();
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(grid.Grid->GroupColumnCount(), 0);
    EXPECT_TRUE(grid.Grid->IsBufferMode());
}

TEST(DBGridGroupingTest, AGridReadFromItsFormGroupsByTheColumnsGroupIndex) {
    // Group index 10 comes after 2: the keys order numbers, not texts.
    GroupedGrid grid(
        [](TcvDBGrid& Grid) {
            static_cast<TcvDBTreeListColumn*>(Grid.Columns(2))->SetGroupIndex(10);
            static_cast<TcvDBTreeListColumn*>(Grid.Columns(1))->SetGroupIndex(2);
        },
        true);
    EXPECT_EQ(grid.Grid->GroupColumns(0), grid.Column("City"));
    EXPECT_EQ(grid.Grid->GroupColumns(1), grid.Column("Kind"));
    EXPECT_EQ(grid.Column("Kind")->GroupIndex(), 1);
    EXPECT_EQ(grid.Grid->Count(), 4);
}

// The ID footer sums Qty, which no column shows, so the nodes hold no Qty.
void SumQtyWithoutItsColumn(TcvDBGrid& Grid) {
    delete Grid.ColumnByFieldName("Qty");
    Grid.ColumnByFieldName("ID")->SetSummaryFooterType(cstSum);
    Grid.ColumnByFieldName("ID")->SetSummaryFooterField("Qty");
}

TEST(DBGridGroupingTest, ASmartRefreshMovesOnlyTheEditedRecordsRow) {
    GroupedGrid grid([](TcvDBGrid& Grid) { Grid.SetOptions(Grid.Options() + egoSmartRefresh); });
    grid.Column("City")->SetGroupIndex(0);
    TcvTreeListNode* oslo = grid.Grid->Items(1);
    TcvTreeListNode* six = oslo->GetFirstChild();
    grid.Query->Locate("ID", Variant(4), {});
    grid.Query->Edit();
    grid.Query->FieldByName("City")->SetAsString("Rome");
    grid.Query->Post();
    // The Null group went with its only record; record 4 joined Rome.
    EXPECT_EQ(grid.Tree(), "City : Oslo |  6|City : Paris |  1|  3|City : Rome |  2|  5|  4|");
    EXPECT_EQ(grid.Grid->Items(0), oslo);
    EXPECT_EQ(oslo->GetFirstChild(), six);
    EXPECT_EQ(grid.CurrentId(), 4);
    EXPECT_EQ(grid.Grid->GetNodeString(grid.Grid->FocusedNode(), 0), "4");
}

TEST(DBGridGroupingTest, ASmartRefreshSumsAFieldNoColumnShowsFromEachRecord) {
    GroupedGrid grid([](TcvDBGrid& Grid) {
        SumQtyWithoutItsColumn(Grid);
        Grid.SetOptions(Grid.Options() + egoSmartRefresh);
    });
    grid.Column("City")->SetGroupIndex(0);
    ASSERT_EQ(grid.Column("ID")->GetSummaryFooterText(), "23.00");
    grid.Query->Locate("ID", Variant(4), {});
    grid.Query->Edit();
    grid.Query->FieldByName("City")->SetAsString("Rome");
    grid.Query->FieldByName("Qty")->SetAsInteger(11);
    grid.Query->Post();
    // Reloaded whole: record 4 takes its place in the dataset's order.
    EXPECT_EQ(grid.Tree(), "City : Oslo |  6|City : Paris |  1|  3|City : Rome |  2|  4|  5|");
    EXPECT_EQ(grid.Column("ID")->GetSummaryFooterText(), "33.00") << "each record's own Qty, not the current one's";
    EXPECT_EQ(grid.CurrentId(), 4);
}

TEST(DBGridGroupingTest, AGroupRowEndsInItsSummaryAndItsLevelShowsItems) {
    GroupedGrid grid([](TcvDBGrid& Grid) {
        TcvDBGridSummaryGroup* group = Grid.SummaryGroups()->Add();
        group->SetName("Totals");
        TcvDBGridSummaryItem* item = group->SummaryItems()->Add();
        item->SetColumnName(Grid.ColumnByFieldName("Qty")->Name());
        item->SetSummaryType(cstMax);
        auto* city = Grid.ColumnByFieldName("City");
        city->SetSummaryType(cstCount);
        city->SetSummaryGroupName("Totals");
    });
    grid.Column("City")->SetGroupIndex(0);
    grid.Column("Kind")->SetGroupIndex(1);
    EXPECT_EQ(grid.Grid->GetNodeString(grid.Grid->Items(2), 0), "City : Paris (COUNT=2), (MAX=5.00)");
    EXPECT_EQ(grid.Grid->GetNodeString(grid.Grid->Items(2)->GetFirstChild(), 0), "Kind : A ");
    // Only the City level has items, and only under the Qty column.
    EXPECT_TRUE(grid.Grid->IsGroupLevel(0));
    EXPECT_FALSE(grid.Grid->IsGroupLevel(1));
    const int qty = grid.Column("Qty")->GetIndex();
    EXPECT_TRUE(grid.Grid->IsGroupLevelNode(grid.Grid->Items(2), qty, 0));
    EXPECT_FALSE(grid.Grid->IsGroupLevelNode(grid.Grid->Items(2), 0, 0));
    EXPECT_FALSE(grid.Grid->IsGroupLevelNode(grid.Grid->Items(2), qty, 1));
}

TEST(DBGridGroupingTest, ACollapsedReloadFocusesTheCurrentRecordsGroup) {
    struct Case {
        const char* Name;
        bool SeekDetail;
        bool GroupFocused;
        bool GroupExpanded;
    };
    const Case cases[] = {
        {"collapsed: the group row, closed", false, true, false},
        {"seek detail: on to its first record", true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        GroupedGrid grid([&c](TcvDBGrid& Grid) {
            Grid.SetOptionsEx(Grid.OptionsEx() + egoCollapsedReload);
            if (c.SeekDetail) Grid.SetOptions(Grid.Options() + egoSeekDetail);
        });
        grid.Query->Locate("ID", Variant(5), {});
        grid.Column("City")->SetGroupIndex(0);
        TcvTreeListNode* rome = grid.Grid->Items(3);
        // The dataset moved to the group's first record.
        EXPECT_EQ(grid.CurrentId(), 2);
        EXPECT_EQ(grid.Grid->FocusedNode() == rome, c.GroupFocused);
        EXPECT_EQ(grid.Grid->FocusedNode() == rome->GetFirstChild(), !c.GroupFocused);
        EXPECT_EQ(rome->Expanded(), c.GroupExpanded);
    }
}

TEST(DBGridGroupingTest, AGroupColumnBoundToAnotherFieldRegroupsOrLeaves) {
    struct Case {
        const char* Name;
        const char* FieldName;
        int GroupIndex;
        int Reloads;
    };
    const Case cases[] = {
        {"another field: grouped by it", "Kind", 0, 1},
        {"a memo field: ungrouped", "Note", -1, 1},
        {"no such field: ungrouped", "Missing", -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        GroupedGrid grid;
        grid.Column("City")->SetGroupIndex(0);
        TcvDBTreeListColumn* column = grid.Column("City");
        int reloads = 0;
        grid.Grid->OnReloadGroupList = [&reloads](TObject*) { ++reloads; };
        column->SetFieldName(c.FieldName);
        UpdateWindow(grid.Grid->Handle());
        EXPECT_EQ(column->GroupIndex(), c.GroupIndex);
        EXPECT_EQ(reloads, c.Reloads);
        EXPECT_EQ(grid.Grid->IsLoadAllMode(), c.GroupIndex == 0);
        if (c.GroupIndex == 0) {
            EXPECT_EQ(grid.Grid->Count(), 2);
        }
    }
}

TEST(DBGridGroupingTest, CaseInsensitiveGroupingJoinsValuesThatDifferInCase) {
    struct Case {
        const char* Name;
        bool CaseInsensitive;
        const char* Tree;
    };
    const Case cases[] = {
        {"case-sensitive: a group of its own", false,
         "City :  |  4|City : Paris |  1|  3|City : Rome |  2|  5|City : paris |  6|"},
        {"case-insensitive: one group", true, "City :  |  4|City : Paris |  1|  3|  6|City : Rome |  2|  5|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        GroupedGrid grid([&c](TcvDBGrid& Grid) {
            if (c.CaseInsensitive) Grid.SetOptionsBehavior(Grid.OptionsBehavior() + edgoCaseInsensitive);
        });
        grid.Query->Locate("ID", Variant(6), {});
        grid.Query->Edit();
        grid.Query->FieldByName("City")->SetAsString("paris");
        grid.Query->Post();
        grid.Column("City")->SetGroupIndex(0);
        EXPECT_EQ(grid.Tree(), c.Tree);
    }
}

// A grid counting the rows, max and sum of Qty per City group and in the footer.
void AddQtySummaries(TcvDBGrid& Grid) {
    TcvDBGridSummaryGroup* group = Grid.SummaryGroups()->Add();
    group->SetName("Totals");
    TcvDBGridSummaryItem* item = group->SummaryItems()->Add();
    item->SetColumnName(Grid.ColumnByFieldName("Qty")->Name());
    item->SetSummaryType(cstMax);
    for (const char* name : {"City", "Kind"}) {
        Grid.ColumnByFieldName(name)->SetSummaryType(cstCount);
        Grid.ColumnByFieldName(name)->SetSummaryGroupName("Totals");
    }
    Grid.ColumnByFieldName("Qty")->SetSummaryFooterType(cstSum);
}

TEST(DBGridGroupingTest, ASmartReloadPlacesTheRecordNodesItHasAsAFullReloadWould) {
    struct Case {
        const char* Name;
        std::function<void(GroupedGrid&)> Before;
        std::function<void(GroupedGrid&)> Change;
        bool InMemory;
    };
    const Case cases[] = {
        {"a level added", [](GroupedGrid& g) { g.Column("City")->SetGroupIndex(0); },
         [](GroupedGrid& g) { g.Column("Kind")->SetGroupIndex(1); }, true},
        {"the outer level taken away",
         [](GroupedGrid& g) {
             g.Column("City")->SetGroupIndex(0);
             g.Column("Kind")->SetGroupIndex(1);
         },
         [](GroupedGrid& g) { g.Column("City")->SetGroupIndex(-1); }, true},
        {"the levels swapped",
         [](GroupedGrid& g) {
             g.Column("City")->SetGroupIndex(0);
             g.Column("Kind")->SetGroupIndex(1);
         },
         [](GroupedGrid& g) { g.Column("Kind")->SetGroupIndex(0); }, true},
        {"the last level taken away with every record loaded",
         [](GroupedGrid& g) {
             g.Grid->SetOptionsDB(g.Grid->OptionsDB() + edgoLoadAllRecords);
             g.Column("City")->SetGroupIndex(0);
         },
         [](GroupedGrid& g) { g.Column("City")->SetGroupIndex(-1); }, true},
        {"the last level taken away: the record buffer's rows",
         [](GroupedGrid& g) { g.Column("City")->SetGroupIndex(0); },
         [](GroupedGrid& g) { g.Column("City")->SetGroupIndex(-1); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string tree[2];
        std::string footer[2];
        for (const bool smart : {false, true}) {
            GroupedGrid grid([smart](TcvDBGrid& Grid) {
                AddQtySummaries(Grid);
                if (smart) Grid.SetOptions(Grid.Options() + egoSmartReload);
            });
            grid.Query->Locate("ID", Variant(5), {});
            c.Before(grid);
            TcvTreeListNode* five = grid.Grid->FocusedNode();
            int scrolls = 0;
            grid.Query->AfterScroll = [&scrolls](TDataSet*) { ++scrolls; };
            c.Change(grid);
            UpdateWindow(grid.Grid->Handle());
            tree[smart] = grid.Tree();
            footer[smart] = grid.Column("Qty")->GetSummaryFooterText();
            EXPECT_EQ(grid.CurrentId(), 5);
            ASSERT_TRUE(grid.Grid->FocusedNode());
            EXPECT_EQ(grid.Grid->GetNodeString(grid.Grid->FocusedNode(), 0), "5");
            if (smart && c.InMemory) {
                // The same record node, re-placed without a walk of the dataset.
                EXPECT_EQ(grid.Grid->FocusedNode(), five);
                EXPECT_EQ(scrolls, 0);
            }
        }
        EXPECT_EQ(tree[true], tree[false]);
        EXPECT_EQ(footer[true], footer[false]);
    }
}

TEST(DBGridGroupingTest, ASmartReloadReadsTheDatasetForAFieldNoColumnShows) {
    GroupedGrid grid([](TcvDBGrid& Grid) {
        SumQtyWithoutItsColumn(Grid);
        Grid.SetOptions(Grid.Options() + egoSmartReload);
    });
    grid.Query->Locate("ID", Variant(5), {});
    grid.Column("City")->SetGroupIndex(0);
    int scrolls = 0;
    grid.Query->AfterScroll = [&scrolls](TDataSet*) { ++scrolls; };
    grid.Column("Kind")->SetGroupIndex(1);
    EXPECT_EQ(grid.Column("ID")->GetSummaryFooterText(), "23.00");
    EXPECT_GT(scrolls, 0);
    EXPECT_EQ(grid.CurrentId(), 5);
}

TEST(DBGridGroupingTest, EndGroupingOverTheSameFieldsRefreshesTheGroupsInPlace) {
    GroupedGrid grid([](TcvDBGrid& Grid) {
        AddQtySummaries(Grid);
        Grid.SetOptions(Grid.Options() + egoMultiSelect);
    });
    grid.Query->Locate("ID", Variant(5), {});
    grid.Column("City")->SetSorted(csDown);
    grid.Column("City")->SetGroupIndex(0);
    grid.Column("Kind")->SetGroupIndex(1);
    ASSERT_EQ(grid.Tree(), "City : Rome (COUNT=2), (MAX=8.00)|  Kind : A (COUNT=1), (MAX=2.00)|    5|"
                           "  Kind : B (COUNT=1), (MAX=8.00)|    2|"
                           "City : Paris (COUNT=2), (MAX=5.00)|  Kind : A (COUNT=1), (MAX=3.00)|    1|"
                           "  Kind : B (COUNT=1), (MAX=5.00)|    3|"
                           "City : Oslo (COUNT=1), (MAX=4.00)|  Kind : B (COUNT=1), (MAX=4.00)|    6|"
                           "City :  (COUNT=1), (MAX=1.00)|  Kind : A (COUNT=1), (MAX=1.00)|    4|");
    TcvTreeListNode* five = grid.Grid->FocusedNode();
    TcvTreeListNode* three = grid.Grid->Items(1)->Items(1)->GetFirstChild();
    five->SetSelected(true);
    ASSERT_EQ(grid.Grid->SelectedCount(), 1);
    int reloads = 0;
    int scrolls = 0;
    grid.Grid->OnReloadGroupList = [&reloads](TObject*) { ++reloads; };
    grid.Query->AfterScroll = [&scrolls](TDataSet*) { ++scrolls; };

    // Out and back in: grouped by the same fields, but now ascending.
    grid.Grid->BeginGrouping();
    grid.Column("City")->SetGroupIndex(-1);
    grid.Column("City")->SetGroupIndex(0);
    grid.Grid->EndGrouping();
    UpdateWindow(grid.Grid->Handle());
    EXPECT_EQ(grid.Tree(), "City :  (COUNT=1), (MAX=1.00)|  Kind : A (COUNT=1), (MAX=1.00)|    4|"
                           "City : Oslo (COUNT=1), (MAX=4.00)|  Kind : B (COUNT=1), (MAX=4.00)|    6|"
                           "City : Paris (COUNT=2), (MAX=5.00)|  Kind : A (COUNT=1), (MAX=3.00)|    1|"
                           "  Kind : B (COUNT=1), (MAX=5.00)|    3|"
                           "City : Rome (COUNT=2), (MAX=8.00)|  Kind : A (COUNT=1), (MAX=2.00)|    5|"
                           "  Kind : B (COUNT=1), (MAX=8.00)|    2|");
    EXPECT_EQ(grid.Column("Qty")->GetSummaryFooterText(), "23.00");
    // The record nodes stayed, with their focus and selection; no regroup,
    // no walk of the dataset.
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(grid.Grid->FocusedNode(), five);
    EXPECT_EQ(grid.CurrentId(), 5);
    EXPECT_EQ(grid.Grid->Items(2)->Items(1)->GetFirstChild(), three);
    EXPECT_TRUE(five->Selected());
    EXPECT_EQ(grid.Grid->SelectedCount(), 1);
}

TEST(DBGridGroupingTest, SeveralSortKeysOrderTheRecordRowsAndAGroupColumnItsOwnLevel) {
    struct Case {
        const char* Name;
        std::function<void(GroupedGrid&)> Sort;
        const char* Tree;
    };
    const Case cases[] = {
        {"a group column sorts its groups by itself, not by the record keys",
         [](GroupedGrid& g) {
             g.Column("Kind")->SetSorted(csUp);
             g.Column("Qty")->SetSorted(csDown);
             g.Column("City")->SetSorted(csDown);
         },
         "City : Rome |  5|  2|City : Paris |  1|  3|City : Oslo |  6|City :  |  4|"},
        {"a new key follows the column sorted before",
         [](GroupedGrid& g) {
             g.Column("Kind")->SetSorted(csUp);
             // Switching the option empties the keys; Kind keeps its state.
             g.Grid->SetOptionsEx(g.Grid->OptionsEx() - egoMultiSort);
             g.Grid->SetOptionsEx(g.Grid->OptionsEx() + egoMultiSort);
             ASSERT_EQ(g.Grid->GetSortKeyCount(), 0);
             g.Column("Qty")->SetSorted(csDown);
             EXPECT_EQ(g.Grid->GetSortedColumn(0), g.Column("Kind"));
             EXPECT_EQ(g.Grid->GetSortedColumn(1), g.Column("Qty"));
         },
         "City :  |  4|City : Oslo |  6|City : Paris |  1|  3|City : Rome |  5|  2|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        GroupedGrid grid([](TcvDBGrid& Grid) { Grid.SetOptionsEx(Grid.OptionsEx() + egoMultiSort); });
        grid.Column("City")->SetGroupIndex(0);
        c.Sort(grid);
        EXPECT_EQ(grid.Tree(), c.Tree);
        const int city = grid.Column("City")->GetIndex();
        EXPECT_FALSE(grid.Grid->CanMultiSort(city));
        EXPECT_TRUE(grid.Grid->CanMultiSort(grid.Column("Qty")->GetIndex()));
    }
}

TEST(DBGridGroupingTest, AGroupRowOpensNoEditorByKeyOrClick) {
    struct Case {
        const char* Name;
        std::function<void(GroupedGrid&, TcvTreeListNode*)> Input;
    };
    const Case cases[] = {
        {"F2", [](GroupedGrid& g, TcvTreeListNode*) { uitest::Type(g.Grid, VK_F2); }},
        {"Enter", [](GroupedGrid& g, TcvTreeListNode*) { uitest::Type(g.Grid, VK_RETURN, "\r"); }},
        {"a typed letter", [](GroupedGrid& g, TcvTreeListNode*) { uitest::Type(g.Grid, 'X', "x"); }},
        {"a click on the focused row",
         [](GroupedGrid& g, TcvTreeListNode* Row) {
             const TRect r = g.Grid->GetNodeRowRect(Row, false);
             const TPoint origin = g.Grid->ClientToScreen({0, 0});
             TRect window;
             GetWindowRect(g.Grid->Handle(), window);
             uitest::Click(g.Grid, {r.Left + 150 + origin.X - window.Left, (r.Top + r.Bottom) / 2 + origin.Y - window.Top});
         }},
    };
    for (const Case& c : cases)
        for (const bool groupRow : {true, false}) {
            SCOPED_TRACE(std::string(c.Name) + (groupRow ? " on a group row" : " on a record row"));
            GroupedGrid grid;
            int editings = 0;
            grid.Grid->OnEditing = [&editings](TObject*, TcvTreeListNode*, bool&) { ++editings; };
            grid.Column("City")->SetGroupIndex(0);
            TcvTreeListNode* paris = grid.Grid->Items(2);
            TcvTreeListNode* row = groupRow ? paris : paris->GetFirstChild();
            grid.Grid->SetFocus();
            row->SetFocused(true);
            grid.Grid->SetFocusedColumn(1);
            ProcessMessages();
            c.Input(grid, row);
            EXPECT_EQ(grid.Grid->IsEditing(), !groupRow);
            EXPECT_EQ(editings, groupRow ? 0 : 1);
            if (groupRow) {
                EXPECT_EQ(grid.Query->State(), dsBrowse);
            }
            grid.Grid->HideEditor();
        }
}

TEST(DBGridGroupingTest, AGroupsLastRecordEndsInAFooterStripWithTheLevelsSummaries) {
    // An unusual strip colour; the backing image holds 0x00RRGGBB.
    constexpr TColor StripColour = TColor(0x00336699);
    constexpr uint32_t StripPixel = 0x00996633;
    std::map<std::string, std::string> painted;
    GroupedGrid grid([&painted](TcvDBGrid& Grid) {
        AddQtySummaries(Grid);
        Grid.ColumnByFieldName("Kind")->SetSummaryGroupName("");
        Grid.ColumnByFieldName("Kind")->SetSummaryType(cstNone);
        Grid.SetShowRowFooter(true);
        Grid.SetRowFooterColor(StripColour);
        Grid.OnCustomDrawFooterNode = [&painted](TObject*, TCanvas*, const TRect&, TcvTreeListNode* Node,
                                                 TcvTreeListColumn* Column, int FooterIndex, std::string& Text, TColor&,
                                                 TFont*, TAlignment&, bool&) {
            painted[static_cast<TcvDBGridNode*>(Node)->KeyText + "/" + std::to_string(FooterIndex) + "/" +
                    static_cast<TcvDBTreeListColumn*>(Column)->FieldName()] = Text;
        };
    });
    grid.Form->SetBounds(20, 20, 600, 520);
    grid.Grid->SetBounds(0, 0, 560, 480);
    grid.Column("City")->SetGroupIndex(0);
    for (int i = 0; i < grid.Grid->Count(); ++i)
        grid.Grid->Items(i)->Expand(false);
    grid.Grid->Invalidate();
    UpdateWindow(grid.Grid->Handle());

    // The last record of each city, in the Qty column only.
    const std::map<std::string, std::string> expected = {
        {"4/0/Qty", "MAX=1.00"}, {"6/0/Qty", "MAX=4.00"}, {"3/0/Qty", "MAX=5.00"}, {"5/0/Qty", "MAX=8.00"}};
    EXPECT_EQ(painted, expected);

    // Under record 3 (Paris's last) the strip shows its colour beside the
    // Qty cell, and the cell its sunken frame.
    const TcvTreeListDrawInfo info = grid.Grid->CalcDrawInfo();
    const TcvTreeListRowInfo* row = nullptr;
    for (const TcvTreeListRowInfo& r : info.Rows)
        if (r.Node == grid.Grid->Items(2)->GetLastChild()) row = &r;
    ASSERT_TRUE(row);
    ASSERT_EQ(row->FooterCount, 1);
    const int top = row->Top + row->Height - grid.Grid->RowSeparatorLineWidth() - row->FooterHeight;
    const TRect strip = grid.Grid->GetRowFooterRect(row->Node, 0, info, 1, top);
    TRect window;
    GetWindowRect(grid.Grid->Handle(), window);
    const TPoint origin = grid.Grid->ClientToScreen({0, 0});
    const auto pixel = [&](int X, int Y) {
        return platform_ui::test::BackingPixel(grid.Grid->Handle(), X + origin.X - window.Left, Y + origin.Y - window.Top);
    };
    const int middle = (strip.Top + strip.Bottom) / 2;
    const TRect qty = grid.Grid->GetCellRect(row->Node, grid.Grid->GetVisibleIndex(grid.Column("Qty")->GetIndex()));
    EXPECT_EQ(pixel(strip.Left + 3, middle), StripPixel);
    EXPECT_EQ(pixel(qty.Left - 3, middle), StripPixel);
    EXPECT_NE(pixel(qty.Left + 1, middle), StripPixel);
    // The record's cells end above the strip.
    EXPECT_LE(qty.Bottom, strip.Top);
}

TEST(DBGridGroupingTest, AssignedColumnsTakeTheSourcesGroupingAndLoadTheRowsOnce) {
    struct Case {
        const char* Name;
        std::vector<const char*> SourceGroups;
        int Reloads;
        const char* Tree;
    };
    const Case cases[] = {
        {"other fields: one regroup, in the source's group order", {"Kind", "City"}, 1,
         "Kind : A |  City :  |    4|  City : Paris |    1|  City : Rome |    5|"
         "Kind : B |  City : Oslo |    6|  City : Paris |    3|  City : Rome |    2|"},
        {"the same field: the rows load again without a regroup", {"City"}, 0,
         "City :  |  4|City : Oslo |  6|City : Paris |  1|  3|City : Rome |  2|  5|"},
    };
    const auto named = [](TcvDBGrid& Grid) {
        for (int i = 0; i < Grid.ColumnCount(); ++i)
            Grid.Columns(i)->SetName(std::string("col") + Grid.DBColumns(i)->FieldName());
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        GroupedGrid source(named);
        for (size_t i = 0; i < c.SourceGroups.size(); ++i)
            source.Column(c.SourceGroups[i])->SetGroupIndex(int(i));
        GroupedGrid target(named);
        target.Column("City")->SetGroupIndex(0);
        int reloads = 0;
        target.Grid->OnReloadGroupList = [&reloads](TObject*) { ++reloads; };
        target.Grid->AssignColumns(source.Grid);
        UpdateWindow(target.Grid->Handle());
        EXPECT_EQ(reloads, c.Reloads);
        ASSERT_EQ(target.Grid->ColumnCount(), 5);
        for (int i = 0; i < 5; ++i) {
            const TcvDBTreeListColumn* copy = target.Grid->DBColumnByName(source.Grid->Columns(i)->Name());
            ASSERT_TRUE(copy);
            EXPECT_EQ(copy->FieldName(), source.Grid->DBColumns(i)->FieldName());
        }
        ASSERT_EQ(target.Grid->GroupColumnCount(), int(c.SourceGroups.size()));
        for (size_t i = 0; i < c.SourceGroups.size(); ++i)
            EXPECT_EQ(target.Column(c.SourceGroups[i])->GroupIndex(), int(i));
        EXPECT_EQ(target.Tree(), c.Tree);
    }
}

} // namespace
