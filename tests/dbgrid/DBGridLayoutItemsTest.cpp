// The grid's own items of a stored layout: a column's GroupIndex and the
// grid's four view flags through an ini file and the registry, and a layout
// that the plain tree-list control wrote.
#include "dbgrid/DBGrid.h"
#include "dbgrid/DBGridFilter.h"

#include "platform/os/Registry.h"
#include "platform/rtl/IniFiles.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MessageQueue.h"
#include "tests/dbgrid/GridFixture.h"
#include "tests/platform/os/ScratchHome.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const ColumnFields[] = {"ID", "Name", "Qty", "Price"};
const char* const RegistryPath = "\\Software\\Corvanta\\Layouts\\Grid";

// A form "frmLayout" holding the grid "Grid" with the columns colID,
// colName, colQty and colPrice over the fixture's rows.
struct TGridWorld {
    gridtest::TGridData Data{6};
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TcvDBGrid* Grid = new TcvDBGrid(Form.get());

    TGridWorld() {
        Form->SetName("frmLayout");
        Grid->SetName("Grid");
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 400, 200);
        for (const char* field : ColumnFields) {
            TcvDBTreeListColumn* column = Grid->CreateColumn(Grid->GetDefaultColumnClass());
            column->SetName(std::string("col") + field);
            column->SetBandIndex(0);
            column->SetFieldName(field);
        }
        Grid->SetDataSource(Data.Source.get());
        Grid->OnReloadGroupList = [this](TObject*) { ++Regroupings; };
    }

    TcvDBTreeListColumn* Column(const char* Field) const {
        return static_cast<TcvDBTreeListColumn*>(Grid->ColumnByName(std::string("col") + Field));
    }

    // Grouped by Price, Qty and Name, in this order: the reverse of the
    // columns' order.
    void Group() const {
        Column("Price")->SetGroupIndex(0);
        Column("Qty")->SetGroupIndex(1);
        Column("Name")->SetGroupIndex(2);
    }

    void FilterQtyAbove(int Value) const {
        Grid->Filter()->Criteria()->AddCondition(nullptr, Column("Qty"), false, std::to_string(Value), Value,
                                                 cvGreaterOperatorIndex);
    }

    void SetFlags(bool Value) const {
        Grid->SetShowGroupPanel(Value);
        Grid->SetShowNewItemRow(Value);
        Grid->SetShowRowFooter(Value);
        Grid->SetShowSummaryFooter(Value);
    }

    // The grid's layout items, as one line.
    std::string Describe() const {
        std::string s = "flags " + std::to_string(Grid->ShowGroupPanel()) + std::to_string(Grid->ShowNewItemRow()) +
                        std::to_string(Grid->ShowRowFooter()) + std::to_string(Grid->ShowSummaryFooter()) +
                        " | filter " + Grid->Filter()->Criteria()->GetDisplayText() + " | groups";
        for (int i = 0; i < Grid->GroupColumnCount(); ++i)
            s += " " + Grid->GroupColumns(i)->Name() + ":" + std::to_string(Grid->GroupColumns(i)->GroupIndex());
        return s;
    }

    int Regroupings = 0;
};

struct TStore {
    const char* Name;
    // What a grid filtered by Qty > 20 loads back.
    const char* LoadedFilter;
    std::function<void(TCustomcvTreeListControl&, const std::string& File)> Save;
    std::function<void(TCustomcvTreeListControl&, const std::string& File)> Load;
};

const TStore Stores[] = {
    {"ini file", "", [](auto& C, const std::string& F) { C.SaveToIniFile(F); },
     [](auto& C, const std::string& F) { C.LoadFromIniFile(F); }},
    {"registry", "(Qty > 20)", [](auto& C, const std::string&) { C.SaveToRegistry(RegistryPath); },
     [](auto& C, const std::string&) { C.LoadFromRegistry(RegistryPath); }},
};

TEST(DBGridLayoutItems, GroupsFlagsAndTheRegistrysFilterComeBackWithOneRegrouping) {
    ScratchHome home;
    TScratchFolder folder;
    const std::string file = folder / "layout.ini";
    for (const TStore& store : Stores) {
        SCOPED_TRACE(store.Name);
        TGridWorld saved;
        saved.Group();
        saved.SetFlags(true);
        saved.FilterQtyAbove(20);
        store.Save(*saved.Grid, file);
        TGridWorld loaded;
        ASSERT_NE(loaded.Describe(), saved.Describe());
        store.Load(*loaded.Grid, file);
        EXPECT_EQ(loaded.Describe(),
                  std::string("flags 1111 | filter ") + store.LoadedFilter + " | groups colPrice:0 colQty:1 colName:2");
        EXPECT_EQ(loaded.Regroupings, 1);
    }
    TMemIniFile ini(file);
    EXPECT_EQ(ini.ReadString("\\frmLayout_Grid", "ShowSummaryFooter", ""), "1");
    EXPECT_EQ(ini.ReadString("\\frmLayout_Grid\\Columns\\colQty", "GroupIndex", ""), "1");
}

TEST(DBGridLayoutItems, APlainTreeListLayoutLeavesTheGridsItems) {
    TScratchFolder folder;
    const std::string file = folder / "layout.ini";
    {
        TForm form(nullptr);
        form.SetName("frmLayout");
        auto* tree = new TCustomcvTreeListControl(&form);
        tree->SetName("Grid");
        tree->SetParent(&form);
        for (const char* field : ColumnFields) {
            auto* column = new TcvTreeListColumn(&form);
            column->SetName(std::string("col") + field);
            column->SetTreeList(tree);
        }
        tree->SaveToIniFile(file);
    }
    TGridWorld world;
    world.Group();
    world.SetFlags(true);
    world.FilterQtyAbove(20);
    const std::string before = world.Describe();
    world.Grid->LoadFromIniFile(file);
    EXPECT_EQ(world.Describe(), before);
}

// Real names hold characters code page 936 lacks; the filter's display text
// keeps them lossily, its value whole.
TEST(DBGridLayoutItems, AGridFilteredOnTextBeyondCodePage936ClosesAndStoresItsLayout) {
    ScratchHome home;
    TScratchFolder folder;
    const std::string file = folder / "layout.ini";
    uitest::DialogRecorder dialogs;
    {
        TGridWorld world;
        world.Grid->SetOptions(world.Grid->Options() + egoStoreToIniFile + egoStoreToRegistry);
        world.Grid->SetIniFileName(file);
        world.Grid->SetRegistryPath(RegistryPath);
        world.Grid->SetShowSummaryFooter(true);
        world.Grid->Filter()->SetValueFilter(world.Column("Name"), Variant("𠮷野"), "𠮷野");
    }
    EXPECT_EQ(dialogs.Boxes().size(), 0u) << "nothing reported";
    EXPECT_EQ(TMemIniFile(file).ReadString("\\frmLayout_Grid", "ShowSummaryFooter", ""), "1");
    TGridWorld loaded;
    loaded.Grid->LoadFromRegistry(RegistryPath);
    ASSERT_EQ(loaded.Grid->Filter()->Criteria()->Root()->Count(), 1);
    const auto* condition = static_cast<const TcvCriteriaItem*>(loaded.Grid->Filter()->Criteria()->Root()->Items(0));
    EXPECT_EQ(condition->Value(), Variant("𠮷野"));
    EXPECT_EQ(condition->DisplayText(), "?野");
}

TEST(DBGridLayoutItems, ADamagedFilterFailsAsAStreamReadErrorAndLeavesTheGridWorking) {
    ScratchHome home;
    struct TDamage {
        const char* Name;
        std::string Bytes;
    };
    const TDamage damages[] = {
        {"cut inside the signature", "TP"},
        {"only the signature", "TPF0"},
        {"a class name longer than the value", std::string("TPF0\xC8TFilterWrapper", 18)},
        {"no signature", std::string(64, '\xFF')},
    };
    for (const TDamage& damage : damages) {
        SCOPED_TRACE(damage.Name);
        TGridWorld world;
        world.Grid->SaveToRegistry(RegistryPath);
        {
            TRegistry registry;
            ASSERT_TRUE(registry.OpenKey(RegistryPath, false));
            registry.WriteBinaryData("Filter", damage.Bytes.data(), int(damage.Bytes.size()));
        }
        world.FilterQtyAbove(20);
        try {
            world.Grid->LoadFromRegistry(RegistryPath);
            ADD_FAILURE() << "loaded";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
        }
        EXPECT_EQ(world.Grid->Filter()->Criteria()->GetDisplayText(), "(Qty > 20)");
        // Neither the update nor the grouping bracket stays open.
        world.Column("Qty")->SetGroupIndex(0);
        EXPECT_EQ(world.Regroupings, 1);
        EXPECT_FALSE(world.Grid->IsUpdating());
    }
}

TEST(DBGridLayoutItems, AStoreFailingAsTheGridGoesIsReportedAndGoesNoFurther) {
    TScratchFolder folder;
    std::vector<std::string> reported;
    {
        TGridWorld world;
        const TExceptionHandler previous =
            SetExceptionHandler([&](const std::exception& E) { reported.push_back(E.what()); });
        world.Grid->SetOptionsBehavior(world.Grid->OptionsBehavior() + edgoStoreToIniFile);
        world.Grid->SetIniFileName(folder / "no such folder/layout.ini");
        EXPECT_NO_THROW(world.Form.reset());
        SetExceptionHandler(previous);
    }
    EXPECT_EQ(reported.size(), 1u);
}

// A value no layout of this program holds refuses the whole layout before
// any of it is applied: the grid stays exactly as it was.
TEST(DBGridLayoutItems, AValueOutOfShapeRefusesTheWholeLayout) {
    TScratchFolder folder;
    const std::string file = folder / "layout.ini";
    const char* const grid = "\\frmLayout_Grid";
    const char* const qty = "\\frmLayout_Grid\\Columns\\colQty";
    const struct {
        const char* Section;
        const char* Name;
        const char* Value;
    } damages[] = {
        {qty, "Width", "2000000000"},   {qty, "Width", "-3"},         {qty, "Sorted", "7"},
        {qty, "GroupIndex", "99999999"}, {qty, "BandIndex", "-2"},    {qty, "StoredRowIndex", "70000"},
        {grid, "DefaultRowHeight", "-1"}, {grid, "BandRowCount", "1000000"},
        {"\\frmLayout_Grid\\Band\\Band0", "Width", "40000"},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(std::string(damage.Name) + "=" + damage.Value);
        {
            TGridWorld saved;
            saved.Group();
            saved.SetFlags(true);
            saved.Grid->SaveToIniFile(file);
        }
        {
            TMemIniFile ini(file);
            ini.WriteString(damage.Section, damage.Name, damage.Value);
            ini.UpdateFile();
        }
        TGridWorld world;
        const auto look = [&] {
            std::string s = world.Describe() + " | row height " + std::to_string(world.Grid->DefaultRowHeight());
            for (int i = 0; i < world.Grid->ColumnCount(); ++i)
                s += " " + std::to_string(world.Grid->Columns(i)->Width());
            return s;
        };
        const std::string before = look();
        EXPECT_THROW(world.Grid->LoadFromIniFile(file), EReadError);
        EXPECT_EQ(look(), before);
        EXPECT_EQ(world.Regroupings, 0);
        EXPECT_FALSE(world.Grid->IsUpdating());
    }
}

} // namespace
