// Stored grid looks: capturing a grid, applying the look to another grid
// (reset to defaults first, its own name kept), copies between layouts, the
// "Data" property, the filter and its criteria travelling with the look, and
// damaged data leaving the grid with its defaults.
#include <gtest/gtest.h>

#include "dbgrid/DBGridFilter.h"
#include "dbgrid/GridColumns.h"
#include "platform/rtl/TaggedValues.h"
#include "tests/dbgrid/LayoutWorld.h"
#include "tests/support/ScratchFolder.h"

#include <cstring>
#include <functional>
#include <vector>

namespace {

using gridtest::Stream;

// The stream of a component under a blank name, to compare two components.
std::string Unnamed(TComponent* Instance) {
    const std::string name = Instance->Name();
    Instance->SetName("");
    const std::string bytes = Stream(Instance);
    Instance->SetName(name);
    return bytes;
}

std::string DataOf(const TcvDBGridLayout& Layout) {
    return std::string(static_cast<const char*>(Layout.Data()->Memory()), size_t(Layout.Data()->Size()));
}

std::string ShortString(const std::string& Text) {
    return char(Text.size()) + Text;
}

// The keys of the record rows a grid shows, in order.
std::vector<std::string> ShownKeys(TcvDBGrid* Grid) {
    std::vector<std::string> keys;
    for (TcvTreeListNode* node = Grid->Count() ? Grid->Items(0) : nullptr; node; node = node->GetNext())
        keys.push_back(static_cast<TcvDBGridNode*>(node)->KeyText);
    return keys;
}

class DBGridLayoutTest : public testing::Test, protected gridtest::TLayoutWorld {
protected:
    DBGridLayoutTest() : TLayoutWorld(5) {}

    // A grid off its defaults in every kind of property.
    TcvDBGrid* MakeStyledGrid(const std::string& Name) {
        TcvDBGrid* grid = MakeGrid(Name);
        grid->SetDataSource(FSource);
        grid->SetKeyField("ID");
        grid->SetShowGrid(false);
        grid->SetIndentDesc(7);
        grid->SetSummarySeparator("; ");
        grid->HeaderFont()->SetHeight(-15);
        grid->SetOptionsView(grid->OptionsView() + edgoIndicator);
        grid->Bands()->Items(0)->SetCaption("Main");
        TcvDBGridSummaryGroup* group = grid->SummaryGroups()->Add();
        group->SetName("Totals");
        group->SummaryItems()->Add()->SetSummaryType(cstSum);
        for (const char* field : {"ID", "Name", "Qty"}) {
            grid->CreateColumn(grid->GetDefaultColumnClass())->SetFieldName(field);
        }
        grid->DBColumns(1)->SetCaption("名称");
        grid->DBColumns(1)->SetWidth(140);
        grid->DBColumns(2)->SetVisible(false);
        grid->DBColumns(2)->SetSummaryFooterType(cstSum);
        grid->Filter()->SetFilterStatus(fsAlways);
        grid->Filter()->SetDropDownCount(5);
        grid->Filter()->SetValueFilter(grid->DBColumns(2), 30, "30");
        return grid;
    }

    // ID, Name and Qty columns over the data source, every record loaded.
    TcvDBGrid* MakeLoadedGrid(const std::string& Name) {
        TcvDBGrid* grid = MakeGrid(Name);
        grid->SetKeyField("ID");
        grid->SetOptionsDB(grid->OptionsDB() + edgoLoadAllRecords);
        for (const char* field : {"ID", "Name", "Qty"}) {
            grid->CreateColumn(grid->GetDefaultColumnClass())->SetFieldName(field);
        }
        grid->SetDataSource(FSource);
        return grid;
    }
};

TEST_F(DBGridLayoutTest, AGridAtItsDefaultsStoresOnlyWhatHasNoStoredDefault) {
    TcvDBGrid* grid = MakeStyledGrid("Plain");
    TcvDBGridLayout::ResetGridToDefaults(grid);
    EXPECT_EQ(Stream(grid), "TPF0" + ShortString("TcvDBGrid") + ShortString("Plain") +
                                ShortString("DefaultRowHeight") + EncodeTaggedValue(grid->DefaultRowHeight()) +
                                ShortString("PreviewFont.Color") + EncodeTaggedValue(int32_t(clBlue)) +
                                ShortString("Bands") + char(vaCollection) + char(vaList) + std::string(2, '\0') +
                                ShortString("SummarySeparator") + EncodeTaggedValue(", ") +
                                ShortString("Filter.Criteria") + char(vaBinary) + std::string("\4\0\0\0", 4) +
                                std::string(4, '\0') + std::string(2, '\0'));
}

TEST_F(DBGridLayoutTest, AnEmptyLayoutStoresNoDataAndApplyingItLeavesTheDefaults) {
    TcvDBGridLayout layout(&FForm);
    layout.SetName("Empty");
    EXPECT_EQ(Stream(&layout), "TPF0" + ShortString("TcvDBGridLayout") + ShortString("Empty") + std::string(2, '\0'));

    TcvDBGrid* grid = MakeStyledGrid("Target");
    grid->Assign(&layout);
    EXPECT_EQ(grid->Name(), "Target");
    EXPECT_EQ(grid->ColumnCount(), 0);
    EXPECT_EQ(grid->GetDataSource(), nullptr);
    TcvDBGrid* fresh = MakeGrid("Fresh");
    TcvDBGridLayout::ResetGridToDefaults(fresh);
    EXPECT_EQ(Unnamed(grid), Unnamed(fresh));
}

TEST_F(DBGridLayoutTest, CaptureApplyCaptureGivesTheSameBytesAndTheTargetKeepsItsName) {
    TcvDBGridLayout first(&FForm);
    first.Assign(MakeStyledGrid("Source1"));
    ASSERT_GT(first.Data()->Size(), 0);

    TcvDBGrid* target = MakeGrid("Second");
    target->SetShowHeader(false); // reset before the look is applied
    target->Assign(&first);
    EXPECT_EQ(target->Name(), "Second");
    EXPECT_TRUE(target->ShowHeader());
    EXPECT_FALSE(target->ShowGrid());
    EXPECT_EQ(target->IndentDesc(), 7);
    EXPECT_EQ(target->GetDataSource(), FSource) << "the data source is found by name";
    EXPECT_EQ(target->HeaderFont()->Height(), -15);
    EXPECT_EQ(target->Bands()->Items(0)->Caption(), "Main");
    ASSERT_EQ(target->SummaryGroups()->Count(), 1);
    EXPECT_EQ(target->SummaryGroups()->Items(0)->SummaryItems()->Items(0)->SummaryType(), cstSum);
    ASSERT_EQ(target->ColumnCount(), 3);
    EXPECT_NE(dynamic_cast<TcvDBGridColumn*>(target->Columns(0)), nullptr);
    EXPECT_EQ(target->DBColumns(1)->FieldName(), "Name");
    EXPECT_EQ(target->DBColumns(1)->Caption(), "名称");
    EXPECT_EQ(target->DBColumns(1)->Width(), 140);
    EXPECT_FALSE(target->DBColumns(2)->Visible());
    EXPECT_EQ(target->DBColumns(2)->SummaryFooterType(), cstSum);
    EXPECT_EQ(target->Filter()->FilterStatus(), fsAlways);
    EXPECT_EQ(target->Filter()->DropDownCount(), 5);
    EXPECT_EQ(target->Filter()->Criteria()->GetDisplayText(), "(Qty = 30)");

    TcvDBGridLayout second(&FForm);
    second.Assign(target);
    EXPECT_EQ(DataOf(second), DataOf(first));
}

TEST_F(DBGridLayoutTest, AnAppliedLayoutFiltersTheRowsByItsOwnCriteriaOnly) {
    const struct {
        const char* What;
        std::function<void(TcvDBGrid*)> FilterSource;
        std::vector<std::string> Keys;
    } cases[] = {
        {"an active filter in the layout",
         [](TcvDBGrid* Grid) {
             Grid->Filter()->Criteria()->AddCondition(nullptr, Grid->DBColumns(2), false, "30", 30,
                                                      cvGreaterEqualOperatorIndex);
             Grid->Filter()->SetActive(true);
         },
         {"3", "4", "5"}},
        {"an OR group in the layout",
         [](TcvDBGrid* Grid) {
             TcvDBGridCriteria* criteria = Grid->Filter()->Criteria();
             TcvCriteriaItemList* either = criteria->Root()->AddGroup(true);
             criteria->AddCondition(either, Grid->DBColumns(2), false, "20", 20, cvLessEqualOperatorIndex);
             criteria->AddCondition(either, Grid->DBColumns(0), false, "4", 4, cvEqualOperatorIndex);
             Grid->Filter()->Changed();
         },
         {"1", "2", "4"}},
        {"a layout without criteria", [](TcvDBGrid*) {}, {"1", "2", "3", "4", "5"}},
    };
    for (const auto& c : cases) {
        TcvDBGrid* source = MakeLoadedGrid("Source1");
        c.FilterSource(source);
        ASSERT_EQ(ShownKeys(source), c.Keys) << c.What;
        TcvDBGridLayout layout(&FForm);
        layout.Assign(source);

        TcvDBGrid* target = MakeLoadedGrid("Target");
        target->Filter()->SetActive(true);
        target->Filter()->SetBlanksFilter(target->DBColumns(1), true);
        target->Filter()->SetValueFilter(target->DBColumns(2), 10, "10");
        ASSERT_EQ(ShownKeys(target), std::vector<std::string>{"1"}) << c.What;
        target->Assign(&layout);
        EXPECT_EQ(ShownKeys(target), c.Keys) << c.What;
        EXPECT_EQ(target->Filter()->Criteria()->GetFilterText(), source->Filter()->Criteria()->GetFilterText())
            << c.What;
        EXPECT_EQ(target->Filter()->Active(), source->Filter()->Active()) << c.What;
        delete target;
        delete source;
    }
}

TEST_F(DBGridLayoutTest, TheDatasetFilterFollowsTheAppliedLayoutAndNotTheCapture) {
    TcvDBGrid* source = MakeLoadedGrid("Source1");
    source->SetOptionsDB(source->OptionsDB() - edgoLoadAllRecords);
    source->Filter()->SetAutoDataSetFilter(true);
    source->Filter()->SetValueFilter(source->DBColumns(2), 30, "30");
    ASSERT_EQ(FData.Query->RecordCount(), 1);
    TcvDBGridLayout filtered(&FForm);
    filtered.Assign(source);
    EXPECT_TRUE(FData.Query->Filtered()) << "capturing left the dataset as the grid filtered it";
    EXPECT_EQ(FData.Query->RecordCount(), 1);
    delete source;
    TcvDBGridLayout unfiltered(&FForm);
    unfiltered.Assign(MakeLoadedGrid("Plain"));

    TcvDBGrid* target = MakeLoadedGrid("Target");
    FData.Query->SetFilter("");
    FData.Query->SetFiltered(false);
    target->Assign(&filtered);
    EXPECT_EQ(FData.Query->Filter(), "(Qty = 30)");
    EXPECT_EQ(FData.Query->RecordCount(), 1);
    target->Assign(&unfiltered);
    EXPECT_FALSE(FData.Query->Filtered()) << "the grid's old filter left the dataset";
    EXPECT_EQ(FData.Query->RecordCount(), 5);
}

TEST_F(DBGridLayoutTest, ALayoutBeingEditedTakesANewLookWhole) {
    TcvDBGrid* plain = MakeGrid("Plain");
    TcvDBGridLayout plainLook(&FForm);
    plainLook.Assign(plain);

    TcvDBGridLayout layout(&FForm);
    layout.Assign(MakeStyledGrid("Styled1"));
    layout.Assign(plain);
    EXPECT_EQ(DataOf(layout), DataOf(plainLook)) << "a second capture keeps nothing of the first";
    EXPECT_EQ(layout.Wrapper()->ColumnCount(), 0);

    layout.Assign(MakeStyledGrid("Styled2"));
    layout.Assign(&plainLook);
    TStringStream stored;
    layout.WriteData(&stored);
    EXPECT_EQ(stored.DataString().substr(4), DataOf(plainLook)) << "a copied look is what the layout stores";
}

TEST_F(DBGridLayoutTest, ALayoutAppliedToAGridLoadedBeforeRegroupsAndReloadsIt) {
    TcvDBGrid* source = MakeLoadedGrid("Source1");
    source->DBColumns(2)->SetGroupIndex(0);
    TcvDBGridLayout layout(&FForm);
    layout.Assign(source);
    const struct {
        const char* What;
        std::function<TcvDBGrid*()> MakeTarget;
    } cases[] = {
        {"a grid given the layout before",
         [&] {
             TcvDBGrid* grid = MakeLoadedGrid("Target");
             grid->Assign(&layout);
             return grid;
         }},
        {"a grid loaded with its form",
         [&] {
             TComponentLoading loading(&FForm);
             return MakeLoadedGrid("Target");
         }},
    };
    for (const auto& c : cases) {
        TcvDBGrid* target = c.MakeTarget();
        target->Assign(&layout);
        EXPECT_FALSE(target->ComponentState().Contains(csLoading)) << c.What;
        EXPECT_EQ(target->GroupColumnCount(), 1) << c.What;
        ASSERT_EQ(target->Count(), 5) << c.What;
        EXPECT_TRUE(target->IsGroupNode(target->Items(0))) << c.What;
        delete target;
    }
}

// The grid's after-loading step runs once the grid has its own name back:
// the look it stored of its own comes from its own section, also when the
// layout's stream names another grid.
TEST_F(DBGridLayoutTest, AnAppliedLayoutRestoresTheTargetsOwnStoredLook) {
    TScratchFolder folder;
    const std::string file = folder / "grids.ini";
    TcvDBGrid* saved = MakeGrid("Target");
    saved->SetShowGroupPanel(true);
    saved->SaveToIniFile(file);
    delete saved;
    TcvDBGrid* source = MakeGrid("Source1");
    source->SetIniFileName(file);
    source->SetOptionsBehavior(source->OptionsBehavior() + edgoStoreToIniFile);
    TcvDBGridLayout layout(&FForm);
    const std::string named = Stream(source);
    layout.Data()->WriteBuffer(named.data(), Integer(named.size()));
    // It stores its look as it goes: while the folder is there.
    delete source;
    TcvDBGrid* target = MakeGrid("Target");
    target->Assign(&layout);
    EXPECT_EQ(target->Name(), "Target");
    EXPECT_TRUE(target->ShowGroupPanel());
    delete target;
}

TEST_F(DBGridLayoutTest, LayoutsCopyBytesAndStoreThemAsData) {
    TcvDBGridLayout first(&FForm);
    first.SetName("First");
    first.Assign(MakeStyledGrid("Styled"));
    TcvDBGridLayout copy(&FForm);
    copy.Assign(&first);
    EXPECT_EQ(DataOf(copy), DataOf(first));

    TStringStream stored;
    WriteComponent(&stored, &first);
    TcvDBGridLayout read(nullptr);
    stored.SetPosition(0);
    ReadComponent(&stored, &read);
    EXPECT_EQ(DataOf(read), DataOf(first));

    EXPECT_THROW(first.Assign(FSource), EConvertError);
}

TEST_F(DBGridLayoutTest, DamagedDataFailsAsAReadErrorAndTheGridKeepsItsDefaults) {
    TcvDBGridLayout good(&FForm);
    good.Assign(MakeStyledGrid("Styled"));
    const std::string bytes = DataOf(good);
    // The stream with the bytes at Offset replaced.
    const auto patched = [&bytes](size_t Offset, std::string Replacement) {
        std::string damaged = bytes;
        damaged.replace(Offset, Replacement.size(), Replacement);
        return damaged;
    };
    // The "Data" property's bytes: int32 size + stream.
    const auto sized = [](const std::string& Stream) {
        std::string data(4, '\0');
        const auto size = int32_t(Stream.size());
        std::memcpy(data.data(), &size, 4);
        return data + Stream;
    };
    const size_t indentValueAt = bytes.find(ShortString("IndentDesc")) + 11;
    // The criteria block: after the name, vaBinary and the block's int32 size.
    const size_t criteriaAt = bytes.find(ShortString("Filter.Criteria")) + 16 + 1 + 4;
    // Its one condition's value tag: after the field name and the operator.
    const size_t criteriaValueTagAt = bytes.find("Qty", criteriaAt) + 3 + 1;
    const struct {
        const char* What;
        std::string Data;
    } cases[] = {
        {"a size past the end", std::string("\xff\xff\xff\x7f", 4) + bytes},
        {"a negative size", std::string("\xfe\xff\xff\xff", 4) + bytes},
        {"a stream cut short", sized(bytes.substr(0, bytes.size() / 2))},
        {"an unknown tag", sized(patched(indentValueAt, "\x0b"))},
        {"a criteria count past its block", sized(patched(criteriaAt, std::string("\xff\xff\xff\x7f", 4)))},
        {"an unknown tag in the criteria", sized(patched(criteriaValueTagAt, "\x0b"))},
    };
    TcvDBGrid* fresh = MakeGrid("Fresh");
    TcvDBGridLayout::ResetGridToDefaults(fresh);
    const std::string defaults = Unnamed(fresh);
    for (const auto& c : cases) {
        TcvDBGridLayout layout(nullptr);
        try {
            TStringStream property(c.Data);
            layout.ReadData(&property);
            MakeStyledGrid("Victim")->Assign(&layout);
            ADD_FAILURE() << c.What << " was applied";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error") << c.What;
        }
        if (TComponent* target = FForm.FindComponent("Victim")) {
            EXPECT_EQ(Unnamed(target), defaults) << c.What;
            delete target;
        }
    }
}

TEST_F(DBGridLayoutTest, EditingKeepsTheLookInTheWrapper) {
    TcvDBGridLayout layout(&FForm);
    layout.SetName("Look");
    layout.Assign(MakeStyledGrid("Styled"));
    layout.SetEditing(true);
    ASSERT_NE(layout.Wrapper(), nullptr);
    EXPECT_EQ(layout.Wrapper()->NamePath(), "Look.(DBGrid)");
    layout.Wrapper()->SetName("Other");
    EXPECT_EQ(layout.Wrapper()->Name(), "");
    layout.Wrapper()->SetIndentDesc(3);
    layout.SetEditing(false);
    EXPECT_EQ(layout.Wrapper(), nullptr);

    TcvDBGrid* grid = MakeGrid("Shown");
    grid->Assign(&layout);
    EXPECT_EQ(grid->IndentDesc(), 3);
}

TEST_F(DBGridLayoutTest, AListHoldsItsLayoutsAndFreesThem) {
    auto* list = new TcvDBGridLayoutList(&FForm);
    auto* other = new TcvDBGridLayoutList(&FForm);
    auto* layout = new TcvDBGridLayout(&FForm);
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };
    layout->SetLayoutList(list);
    layout->SetName("Renamed");
    EXPECT_EQ(changes, 1);
    layout->SetLayoutList(other);
    EXPECT_EQ(list->Count(), 0);
    ASSERT_EQ(other->Count(), 1);
    delete other;
    EXPECT_EQ(FForm.FindComponent("Renamed"), nullptr);
    delete list;
}

} // namespace
