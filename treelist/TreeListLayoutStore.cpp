// Layout storage of the tree-list control: the three section tables, saving
// and loading through the storage wrapper, and the registry and ini entry
// points with the automatic store and restore.
#include "treelist/TreeListLayoutStore.h"

#include "platform/os/Registry.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MessageQueue.h"
#include "treelist/TreeListControl.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using TControlValue = TcvLayoutValue<TCustomcvTreeListControl>;
using TBandValue = TcvLayoutValue<TcvTreeListBand>;
using TColumnValue = TcvLayoutValue<TcvTreeListColumn>;

// Loading reads the values of the first pass; the columns' places come in a
// second pass, after the columns have their order.
constexpr int ColumnPlacePass = 2;
// Read by LoadLayout itself, not by the table.
constexpr int ByCaller = 0;
// A stored HeaderPanelRowCount that leaves the automatic height as it is.
constexpr int AutomaticRowCount = -1;

const TControlValue GridValues[] = {
    {"ShowGrid", true, [](const auto& C) { return int(C.ShowGrid()); }, [](auto& C, int V) { C.SetShowGrid(V); }},
    {"ShowPreviewGrid", true, [](const auto& C) { return int(C.ShowPreviewGrid()); },
     [](auto& C, int V) { C.SetShowPreviewGrid(V); }},
    {"BandRowCount", false, [](const auto& C) { return C.GetBandRowCount(); },
     [](auto& C, int V) { C.SetBandRowCount(V); }},
    {.Name = "DefaultRowHeight",
     .Get = [](const auto& C) { return C.DefaultRowHeight(); },
     .Set = [](auto& C, int V) { C.SetDefaultRowHeight(V); },
     .Valid = IsLayoutExtent},
    // A missing value reads as the automatic marker and so changes nothing.
    {.Name = "HeaderPanelRowCount",
     .Get = [](const auto& C) { return C.IsAutoHeaderPanelHeight() ? AutomaticRowCount : C.GetHeaderPanelRowCount(); },
     .Set =
         [](auto& C, int V) {
             if (V == AutomaticRowCount) return;
             C.DisableAutoHeaderPanelHeight();
             C.SetHeaderPanelRowCount(V);
         },
     .Default = [](const auto&) { return AutomaticRowCount; }},
};

// A section without a matching ID belongs to no band.
const TBandValue BandID{.Name = "ID",
                        .Get = [](const auto& B) { return B.ID(); },
                        .Pass = ByCaller,
                        .Default = [](const auto&) { return -1; },
                        .Valid = nullptr};
// Places only order the items: any number is harmless.
const TBandValue BandIndex{
    .Name = "Index", .Get = [](const auto& B) { return B.Index(); }, .Pass = ByCaller, .Valid = nullptr};
const TBandValue BandValues[] = {
    BandID,
    {"Visible", true, [](const auto& B) { return int(B.Visible()); }, [](auto& B, int V) { B.SetVisible(V); }},
    BandIndex,
    {.Name = "Width",
     .Get = [](const auto& B) { return B.Width(); },
     .Set = [](auto& B, int V) { B.SetWidth(V); },
     .Valid = IsLayoutExtent},
};

const TColumnValue ColumnIndex{
    .Name = "Index", .Get = [](const auto& C) { return C.GetIndex(); }, .Pass = ByCaller, .Valid = nullptr};
const TColumnValue ColumnValues[] = {
    {"BandIndex", false, [](const auto& C) { return C.BandIndex(); }, [](auto& C, int V) { C.SetBandIndex(V); },
     ColumnPlacePass},
    {"RowIndex", false, [](const auto& C) { return C.RowIndex(); }, [](auto& C, int V) { C.SetRowIndex(V); },
     ColumnPlacePass},
    // Written only: the order within a band row follows the absolute index.
    {.Name = "ColIndex", .Get = [](const auto& C) { return C.ColIndex(); }, .Valid = nullptr},
    {"Visible", true, [](const auto& C) { return int(C.Visible()); }, [](auto& C, int V) { C.SetVisible(V); }},
    ColumnIndex,
    {.Name = "Width",
     .Get = [](const auto& C) { return C.Width(); },
     .Set = [](auto& C, int V) { C.SetWidth(V); },
     .Valid = IsLayoutExtent},
    {.Name = "Sorted",
     .Get = [](const auto& C) { return int(C.Sorted()); },
     .Set = [](auto& C, int V) { C.SetSorted(TcvTreeListColumnSort(V)); },
     .Valid = [](int V) { return V >= csNone && V <= csUp; }},
    // Kept for RestoreSortedColumnOrder.
    {.Name = "SortedOrder",
     .Get = [](const auto& C) { return C.GetSortedOrder(); },
     .Set = [](auto& C, int V) { C.SetSortedOrder(V); },
     .Default = [](const auto&) { return -1; },
     .Valid = nullptr},
    {"StoredRowIndex", false, [](const auto& C) { return C.StoredRowIndex(); },
     [](auto& C, int V) { C.SetStoredRowIndex(V); }, ColumnPlacePass},
};

// One leading "\" and none at the end; only "\"s make an empty root.
std::string RootPath(std::string Path) {
    if (!Path.empty() && Path.front() != '\\') Path.insert(0, "\\");
    while (!Path.empty() && Path.back() == '\\')
        Path.pop_back();
    return Path;
}

std::string BandSection(const std::string& Root, int Band) {
    return Root + "\\Band\\Band" + std::to_string(Band);
}

std::string ColumnSection(const std::string& Root, const TcvTreeListColumn* Column) {
    return Root + "\\Columns\\" + Column->Name();
}

// Moves the items to the places their stored indexes ask for: numeric order
// of the indexes, equal indexes in the order read.
template <class Item> void PlaceInStoredOrder(std::vector<std::pair<int, Item*>>& Order) {
    std::stable_sort(Order.begin(), Order.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
    for (size_t place = 0; place < Order.size(); ++place)
        Order[place].second->SetIndex(int(place));
}

void Wrap(TcvRegIniWrapper& Wrapper, TCustomcvTreeListControl::TcvLayoutStore Store) {
    std::visit([&](auto* store) { Wrapper.SetStore(store); }, Store);
}

} // namespace

// Saving and loading --------------------------------------------------------------------

void TCustomcvTreeListControl::SaveLayout(TcvLayoutStore Store, const std::string& Path) {
    const std::string root = RootPath(Path);
    TcvRegIniWrapper wrapper;
    Wrap(wrapper, Store);
    if (!root.empty()) {
        wrapper.EraseSectionTree(root);
    } else if (std::holds_alternative<TCustomIniFile*>(Store)) {
        // Every layout without a root shares the same section names: only
        // the sections this one writes go.
        wrapper.EraseSection(root);
        for (int band = 0; band < FBands->Count(); ++band)
            wrapper.EraseSection(BandSection(root, band));
        for (const TcvTreeListColumn* column : FColumns)
            wrapper.EraseSection(ColumnSection(root, column));
    }
    SaveGridLayout(wrapper, root);
    for (TcvTreeListColumn* column : FColumns)
        SaveColumnLayout(wrapper, ColumnSection(root, column), column);
}

void TCustomcvTreeListControl::SaveGridLayout(TcvRegIniWrapper& Store, const std::string& Section) {
    WriteLayoutValues(Store, Section, *this, GridValues);
    for (int band = 0; band < FBands->Count(); ++band)
        WriteLayoutValues(Store, BandSection(Section, band), *FBands->Items(band), BandValues);
}

void TCustomcvTreeListControl::SaveColumnLayout(TcvRegIniWrapper& Store, const std::string& Section,
                                                TcvTreeListColumn* Column) {
    WriteLayoutValues(Store, Section, *Column, ColumnValues);
}

void TCustomcvTreeListControl::LoadLayout(TcvLayoutStore Store, const std::string& Path) {
    const std::string root = RootPath(Path);
    TcvRegIniWrapper wrapper;
    Wrap(wrapper, Store);
    CheckGridLayout(wrapper, root);
    for (const TcvTreeListColumn* column : FColumns)
        CheckColumnLayout(wrapper, ColumnSection(root, column), column);
    BeginLoadLayout(wrapper);
    const TScopeGuard loading([&] { EndLoadLayout(wrapper); });
    LoadGridLayout(wrapper, root);

    std::vector<std::pair<int, TcvTreeListColumn*>> order;
    for (TcvTreeListColumn* column : FColumns) {
        const std::string section = ColumnSection(root, column);
        LoadColumnLayout(wrapper, section, column);
        order.emplace_back(ReadLayoutValue(wrapper, section, *column, ColumnIndex), column);
    }
    PlaceInStoredOrder(order);
    {
        // The columns are placed in the bands once, after the pass.
        ++FColumnRelayoutLock;
        const TScopeGuard placed([this] { --FColumnRelayoutLock; });
        for (TcvTreeListColumn* column : FColumns)
            ReadLayoutValues(wrapper, ColumnSection(root, column), *column, ColumnValues, ColumnPlacePass);
    }
    ColumnChanged(nullptr);
    if (IsMultiSort()) RestoreSortedColumnOrder();
}

void TCustomcvTreeListControl::LoadGridLayout(TcvRegIniWrapper& Store, const std::string& Section) {
    ReadLayoutValues(Store, Section, *this, GridValues, cvLayoutFirstPass);
    std::vector<std::pair<int, TcvTreeListBand*>> order;
    for (int i = 0; i < FBands->Count(); ++i) {
        // The band is the one with the stored ID, wherever it stands now.
        const std::string section = BandSection(Section, i);
        const int id = ReadLayoutValue(Store, section, *FBands->Items(i), BandID);
        auto* band = id == -1 ? nullptr : static_cast<TcvTreeListBand*>(FBands->FindItemID(id));
        if (!band) continue;
        ReadLayoutValues(Store, section, *band, BandValues, cvLayoutFirstPass);
        order.emplace_back(ReadLayoutValue(Store, section, *band, BandIndex), band);
    }
    PlaceInStoredOrder(order);
}

void TCustomcvTreeListControl::CheckGridLayout(TcvRegIniWrapper& Store, const std::string& Section) {
    CheckLayoutValues(Store, Section, *this, GridValues);
    for (int i = 0; i < FBands->Count(); ++i)
        CheckLayoutValues(Store, BandSection(Section, i), *FBands->Items(i), BandValues);
}

void TCustomcvTreeListControl::CheckColumnLayout(TcvRegIniWrapper& Store, const std::string& Section,
                                                 const TcvTreeListColumn* Column) {
    CheckLayoutValues(Store, Section, *Column, ColumnValues);
}

void TCustomcvTreeListControl::LoadColumnLayout(TcvRegIniWrapper& Store, const std::string& Section,
                                                TcvTreeListColumn* Column) {
    ReadLayoutValues(Store, Section, *Column, ColumnValues, cvLayoutFirstPass);
}

void TCustomcvTreeListControl::BeginLoadLayout(TcvRegIniWrapper& Store) {
    (void)Store;
    BeginUpdate();
    if (IsMultiSort()) BeginSortUpdate();
}

void TCustomcvTreeListControl::EndLoadLayout(TcvRegIniWrapper& Store) {
    (void)Store;
    const TScopeGuard update([this] { EndUpdate(); });
    if (IsMultiSort()) EndSortUpdate();
}

// Entry points -------------------------------------------------------------------------

void TCustomcvTreeListControl::SaveToRegistry(const std::string& Path) {
    TRegIniFile registry;
    SaveLayout(&registry, Path);
}

void TCustomcvTreeListControl::LoadFromRegistry(const std::string& Path) {
    TRegIniFile registry;
    if (!registry.OpenKey(RootPath(Path), false)) return;
    registry.CloseKey();
    LoadLayout(&registry, Path);
}

std::string TCustomcvTreeListControl::IniRootPath(const std::string& FormName) const {
    return FIniSectionName.empty() ? FormName + "_" + Name() : FIniSectionName;
}

void TCustomcvTreeListControl::SaveToIniFile(const std::string& FileName) {
    TMemIniFile ini(FileName);
    SaveLayout(&ini, IniRootPath(FParentFormName));
    ini.UpdateFile();
}

void TCustomcvTreeListControl::LoadFromIniFile(const std::string& FileName) {
    TMemIniFile ini(FileName);
    const TCustomForm* form = GetParentForm(this);
    LoadLayout(&ini, IniRootPath(form ? form->Name() : std::string()));
}

bool TCustomcvTreeListControl::UsesStore(bool Option, const std::string& Where) const {
    return Option && !ComponentState().Contains(csDesigning) && !Where.empty();
}

void TCustomcvTreeListControl::RestoreLayout() {
    if (FLayoutRestored) return;
    FLayoutRestored = true;
    if (UsesStore(IsStoreToRegistry(), FRegistryPath)) RunGuarded([this] { LoadFromRegistry(FRegistryPath); });
    if (UsesStore(IsStoreToIniFile(), FIniFileName)) RunGuarded([this] { LoadFromIniFile(FIniFileName); });
}

void TCustomcvTreeListControl::StoreLayout() {
    if (FLayoutStored) return;
    FLayoutStored = true;
    if (UsesStore(IsStoreToRegistry(), FRegistryPath)) RunGuarded([this] { SaveToRegistry(FRegistryPath); });
    if (UsesStore(IsStoreToIniFile(), FIniFileName)) RunGuarded([this] { SaveToIniFile(FIniFileName); });
}

void TCustomcvTreeListControl::SetParent(TWinControl* AParent) {
    TCustomcvTreeList::SetParent(AParent);
    // Kept for the store at destruction, when the form may be gone.
    if (const TCustomForm* form = GetParentForm(this)) FParentFormName = form->Name();
}
