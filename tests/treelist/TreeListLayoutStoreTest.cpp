// Layout storage of the tree-list control: round trips through an ini file
// and the registry, the sections a save erases, the stored header rows, the
// order of stored indexes, the automatic store and restore, and a store
// that fails while the control is freed.
#include "treelist/TreeListControl.h"

#include "platform/os/Registry.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MessageQueue.h"
#include "tests/platform/os/ScratchHome.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// A form "frmLayout" holding the control "Grid" with bands B0..B2 and
// columns C0..C3 (C0 and C1 in B0, C2 in B1, C3 in B2), multi-sorting on.
struct TLayoutWorld {
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TCustomcvTreeListControl* Tree = new TCustomcvTreeListControl(Form.get());

    TLayoutWorld() {
        Form->SetName("frmLayout");
        Tree->SetName("Grid");
        Tree->SetParent(Form.get());
        TUpdateGuard<TCustomcvTreeList> update(Tree);
        while (Tree->Bands()->Count() < 3)
            Tree->Bands()->Add();
        for (int i = 0; i < 3; ++i)
            Band(i)->SetCaption("B" + std::to_string(i));
        const int bands[] = {0, 0, 1, 2};
        for (int i = 0; i < 4; ++i) {
            auto* column = new TcvTreeListColumn(Form.get());
            column->SetName("C" + std::to_string(i));
            column->SetTreeList(Tree);
            column->SetBandIndex(bands[i]);
        }
        Tree->SetOptionsEx(Tree->OptionsEx() | tloex_MultiSort);
    }
    TcvTreeListBand* Band(int Index) const { return Tree->Bands()->Items(Index); }
    TcvTreeListColumn* C(const std::string& Name) const { return Tree->ColumnByName(Name); }

    // Everything a layout holds, as one line.
    std::string Describe() const {
        std::string s = "grid " + std::to_string(Tree->ShowGrid()) + " " + std::to_string(Tree->GetBandRowCount()) +
                        " " + std::to_string(Tree->DefaultRowHeight()) + " rows " +
                        (Tree->IsAutoHeaderPanelHeight() ? "auto" : std::to_string(Tree->GetHeaderPanelRowCount())) +
                        " | bands";
        for (int i = 0; i < Tree->Bands()->Count(); ++i)
            s += " " + Band(i)->Caption() + (Band(i)->Visible() ? "" : "-") + ":" + std::to_string(Band(i)->Width());
        s += " | columns";
        const char* const sorts[] = {"", " down", " up"};
        for (int i = 0; i < Tree->ColumnCount(); ++i) {
            const TcvTreeListColumn* c = Tree->Columns(i);
            s += " " + c->Name() + "@" + (c->BandIndex() < 0 ? "-" : Band(c->BandIndex())->Caption()) + "/" +
                 std::to_string(c->RowIndex()) + (c->Visible() ? "" : "-") + ":" + std::to_string(c->Width()) +
                 sorts[c->Sorted()];
        }
        s += " | keys";
        for (int i = 0; i < Tree->GetSortKeyCount(); ++i)
            s += " " + Tree->GetSortedColumn(i)->Name();
        return s;
    }

    // A layout worth storing: every kind of value away from its default.
    void Shape() {
        TUpdateGuard<TCustomcvTreeList> update(Tree);
        Tree->SetShowGrid(true);
        Tree->SetBandRowCount(2);
        Tree->SetDefaultRowHeight(Tree->DefaultRowHeight() + 7);
        Tree->SetHeaderPanelRowCount(2);
        Band(2)->SetIndex(0);
        Band(1)->SetWidth(300);     // B0, now second
        Band(2)->SetVisible(false); // B1
        C("C1")->SetRowIndex(1);
        C("C1")->SetWidth(150);
        C("C0")->SetVisible(false);
        C("C3")->SetIndex(0);
        C("C3")->SetSorted(csUp);
        C("C0")->SetSorted(csDown);
    }
};

std::string SectionsOf(TCustomIniFile& Ini) {
    TStringList sections;
    Ini.ReadSections(&sections);
    std::string names;
    for (int i = 0; i < sections.Count(); ++i)
        names += "[" + sections.Strings(i) + "]";
    return names;
}

TEST(TreeListLayoutStore, ALayoutComesBackFromAnIniFileAndFromTheRegistry) {
    ScratchHome home;
    TScratchFolder folder;
    const std::string file = folder / "layout.ini";
    struct Store {
        const char* Name;
        void (*Save)(TCustomcvTreeListControl&, const std::string&);
        void (*Load)(TCustomcvTreeListControl&, const std::string&);
    };
    const Store stores[] = {
        {"ini file", [](auto& T, const std::string& F) { T.SaveToIniFile(F); },
         [](auto& T, const std::string& F) { T.LoadFromIniFile(F); }},
        {"registry", [](auto& T, const std::string&) { T.SaveToRegistry("Software\\Corvanta\\Layouts\\Grid\\"); },
         [](auto& T, const std::string&) { T.LoadFromRegistry("\\Software\\Corvanta\\Layouts\\Grid"); }},
    };
    for (const Store& store : stores) {
        TLayoutWorld saved;
        saved.Shape();
        store.Save(*saved.Tree, file);
        TLayoutWorld loaded;
        ASSERT_NE(loaded.Describe(), saved.Describe()) << store.Name;
        store.Load(*loaded.Tree, file);
        EXPECT_EQ(loaded.Describe(), saved.Describe()) << store.Name;
    }
    TMemIniFile ini(file);
    EXPECT_TRUE(ini.SectionExists("\\frmLayout_Grid\\Band\\Band2")) << SectionsOf(ini);
    EXPECT_TRUE(ini.SectionExists("\\frmLayout_Grid\\Columns\\C3")) << SectionsOf(ini);
    EXPECT_EQ(ini.ReadInteger("\\frmLayout_Grid\\Band\\Band0", "ID", -1), 2) << "a band's identity is its ID";
    EXPECT_EQ(ini.ReadInteger("\\frmLayout_Grid", "HeaderPanelRowCount", 0), 2);
    TRegIniFile registry;
    EXPECT_EQ(registry.ReadInteger("\\Software\\Corvanta\\Layouts\\Grid\\Columns\\C1", "Width", 0), 150);
}

TEST(TreeListLayoutStore, SavingToAnIniFileErasesOnlyTheLayoutsOwnSections) {
    const char* const sections[] = {"",
                                    "\\Grid",
                                    "\\Grid\\Columns\\Gone",
                                    "\\GridOther",
                                    "\\GridOther\\Columns\\C0",
                                    "\\Columns\\C0",
                                    "\\Columns\\Gone",
                                    "\\Band\\Band0"};
    struct Case {
        const char* Root;
        std::vector<bool> StaleKept; // by section above
        const char* Written;         // a column's section
    };
    const Case cases[] = {
        {"Grid", {true, false, false, true, true, true, true, true}, "\\Grid\\Columns\\C3"},
        {"\\Grid\\\\", {true, false, false, true, true, true, true, true}, "\\Grid\\Columns\\C3"},
        // Without a root, only the sections this layout writes.
        {"", {false, true, true, true, true, false, true, false}, "\\Columns\\C3"},
        {"\\\\", {false, true, true, true, true, false, true, false}, "\\Columns\\C3"},
    };
    for (const Case& c : cases) {
        TScratchFolder folder;
        TMemIniFile ini(folder / "layout.ini");
        for (const char* section : sections)
            ini.WriteInteger(section, "Stale", 1);
        TLayoutWorld world;
        world.Tree->SaveLayout(&ini, c.Root);
        for (size_t i = 0; i < std::size(sections); ++i)
            EXPECT_EQ(ini.ValueExists(sections[i], "Stale"), c.StaleKept[i])
                << "root \"" << c.Root << "\", section \"" << sections[i] << "\"";
        EXPECT_TRUE(ini.ValueExists(c.Written, "Width")) << "root \"" << c.Root << "\": " << SectionsOf(ini);
    }
}

TEST(TreeListLayoutStore, AStoredHeaderRowCountSwitchesTheAutomaticHeightOffUnlessItIsMinusOne) {
    struct Case {
        const char* Stored; // nullptr: no value
        bool AutoBefore;
        const char* After;
    };
    const Case cases[] = {
        {nullptr, true, "auto 2"}, {nullptr, false, "4"}, {"-1", true, "auto 2"},
        {"-1", false, "4"},        {"3", true, "3"},      {"3", false, "3"},
    };
    for (const Case& c : cases) {
        TScratchFolder folder;
        TMemIniFile ini(folder / "layout.ini");
        ini.WriteInteger("\\L", "ShowGrid", 0);
        if (c.Stored) ini.WriteString("\\L", "HeaderPanelRowCount", c.Stored);
        TLayoutWorld world;
        TCustomcvTreeListControl& tree = *world.Tree;
        tree.SetHeaderPanelRowCount(2);
        world.C("C1")->SetRowIndex(1);
        if (c.AutoBefore)
            tree.SetOptionsEx(tree.OptionsEx() | tloex_AutoHeaderPanelRowCount);
        else
            tree.SetHeaderPanelRowCount(4);
        tree.LoadLayout(&ini, "L");
        const std::string after =
            (tree.IsAutoHeaderPanelHeight() ? "auto " : "") + std::to_string(tree.GetHeaderPanelRowCount());
        EXPECT_EQ(after, c.After) << (c.Stored ? c.Stored : "missing") << (c.AutoBefore ? ", auto" : "");
    }
}

TEST(TreeListLayoutStore, StoredIndexesOrderNumericallyAndEqualOnesKeepTheirOrder) {
    using Stored = std::vector<std::optional<int>>; // nullopt: no Index value
    struct Case {
        Stored Columns; // C0..C3
        Stored Bands;   // by band ID
        const char* Order;
    };
    const Case cases[] = {
        {{0, 2, 10, 1}, {0, 1, 2}, "C0 C3 C1 C2 | B0 B1 B2"},
        {{5, -1, 5, 0}, {10, 2, 0}, "C1 C3 C0 C2 | B2 B1 B0"},
        {{{}, {}, 0, {}}, {1, -5, 1}, "C0 C2 C1 C3 | B1 B0 B2"},
    };
    for (const Case& c : cases) {
        TScratchFolder folder;
        TMemIniFile ini(folder / "layout.ini");
        for (int i = 0; i < 4; ++i)
            if (c.Columns[i]) ini.WriteInteger("\\L\\Columns\\C" + std::to_string(i), "Index", *c.Columns[i]);
        for (int i = 0; i < 3; ++i) {
            const std::string section = "\\L\\Band\\Band" + std::to_string(i);
            ini.WriteInteger(section, "ID", i);
            if (c.Bands[i]) ini.WriteInteger(section, "Index", *c.Bands[i]);
        }
        TLayoutWorld world;
        world.Tree->LoadLayout(&ini, "L");
        std::string order;
        for (int i = 0; i < world.Tree->ColumnCount(); ++i)
            order += world.Tree->Columns(i)->Name() + " ";
        order += "|";
        for (int i = 0; i < world.Tree->Bands()->Count(); ++i)
            order += " " + world.Band(i)->Caption();
        EXPECT_EQ(order, c.Order);
    }
}

TEST(TreeListLayoutStore, TheRegistryKeepsRemovedColumnsAndLoadsOnlyAnExistingKey) {
    ScratchHome home;
    TRegistry registry;
    {
        TLayoutWorld world;
        world.Tree->LoadFromRegistry("Software\\Corvanta\\Missing");
        EXPECT_FALSE(registry.KeyExists("\\Software\\Corvanta\\Missing")) << "loading creates nothing";
        world.Tree->SaveToRegistry("Software\\Corvanta\\Grid");
        delete world.C("C3");
        world.Tree->SaveToRegistry("Software\\Corvanta\\Grid");
    }
    EXPECT_TRUE(registry.KeyExists("\\Software\\Corvanta\\Grid\\Columns\\C3"));
    TLayoutWorld world;
    world.Tree->LoadFromRegistry("Software\\Corvanta\\Grid");
    EXPECT_EQ(world.Tree->ColumnCount(), 4);
}

TEST(TreeListLayoutStore, StoreAndRestoreRunOnceEachByTheirOptionsRegistryFirst) {
    ScratchHome home;
    TScratchFolder folder;
    const auto useStores = [&](TLayoutWorld& World) {
        World.Tree->SetOptions(World.Tree->Options() | tlo_StoreToRegistry | tlo_StoreToIniFile);
        World.Tree->SetRegistryPath("Software\\Corvanta\\Auto");
        World.Tree->SetIniFileName(folder / "auto.ini");
        World.Tree->SetIniSectionName("Auto");
    };
    {
        TLayoutWorld world;
        useStores(world);
        world.C("C1")->SetWidth(150);
        world.Tree->StoreLayout();
        world.C("C1")->SetWidth(170);
        world.Tree->StoreLayout();
    } // the destructor stores no more either
    TMemIniFile ini(folder / "auto.ini");
    EXPECT_EQ(ini.ReadInteger("\\Auto\\Columns\\C1", "Width", 0), 150);
    ini.WriteInteger("\\Auto\\Columns\\C1", "Width", 160);
    ini.UpdateFile();

    TLayoutWorld world;
    useStores(world);
    world.Tree->RestoreLayout();
    EXPECT_EQ(world.C("C1")->Width(), 160) << "the ini file is read last";
    world.C("C1")->SetWidth(99);
    world.Tree->RestoreLayout();
    EXPECT_EQ(world.C("C1")->Width(), 99);
}

TEST(TreeListLayoutStore, AStoreFailingInTheDestructorIsReportedOnce) {
    TScratchFolder folder;
    std::vector<std::string> reported;
    {
        // The first form starts the application, which installs its own
        // handler: ours goes in after it.
        TLayoutWorld world;
        const TExceptionHandler previous =
            SetExceptionHandler([&](const std::exception& E) { reported.push_back(E.what()); });
        world.Tree->SetOptions(world.Tree->Options() | tlo_StoreToIniFile);
        world.Tree->SetIniFileName(folder / "no such folder/layout.ini");
        EXPECT_NO_THROW(world.Form.reset());
        SetExceptionHandler(previous);
    }
    EXPECT_EQ(reported.size(), 1u);
}

} // namespace
