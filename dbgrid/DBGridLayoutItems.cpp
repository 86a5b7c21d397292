// The grid's items of a stored layout: a column's GroupIndex and the grid's
// four view flags, as rows of the tree list's layout tables, and its filter
// as a binary value, which only the registry keeps. A load is one grouping
// bracket: the columns join the groups as they are read, and the bracket's
// end puts them in their stored order and regroups once.
#include "dbgrid/DBGrid.h"
#include "dbgrid/DBGridFilter.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TaggedValues.h"
#include "treelist/TreeListLayoutStore.h"

#include <algorithm>

namespace {

using TGridValue = TcvLayoutValue<TCustomcvDBGrid>;
using TColumnValue = TcvLayoutValue<TcvTreeListColumn>;

const TGridValue GridValues[] = {
    {"ShowGroupPanel", true, [](const auto& G) { return int(G.ShowGroupPanel()); },
     [](auto& G, int V) { G.SetShowGroupPanel(V); }},
    {"ShowNewItemRow", true, [](const auto& G) { return int(G.ShowNewItemRow()); },
     [](auto& G, int V) { G.SetShowNewItemRow(V); }},
    {"ShowRowFooter", true, [](const auto& G) { return int(G.ShowRowFooter()); },
     [](auto& G, int V) { G.SetShowRowFooter(V); }},
    {"ShowSummaryFooter", true, [](const auto& G) { return int(G.ShowSummaryFooter()); },
     [](auto& G, int V) { G.SetShowSummaryFooter(V); }},
};

// Every column of the grid is data-aware. Read by LoadColumnLayout itself.
const TColumnValue ColumnGroupIndex{
    .Name = "GroupIndex", .Get = [](const auto& C) { return static_cast<const TcvDBTreeListColumn&>(C).GroupIndex(); }};
const TColumnValue ColumnValues[] = {ColumnGroupIndex};

const char* const FilterValueName = "Filter";
// Far beyond any filter a user builds; a larger value is damage.
constexpr int MaxFilterSize = 1 << 20;

// The stored filter block into Block; false when there is none.
bool ReadFilterValue(TcvRegIniWrapper& Store, const std::string& Section, TMemoryStream& Block) {
    const int size = Store.ReadBinaryData(Section, FilterValueName, nullptr, 0);
    if (size <= 0) return false;
    if (size > MaxFilterSize) ReadError();
    Block.SetSize(size);
    // A value that changed between the two reads is not the one measured.
    if (Store.ReadBinaryData(Section, FilterValueName, Block.Memory(), size) != size) ReadError();
    return true;
}

} // namespace

void TCustomcvDBGrid::SaveGridLayout(TcvRegIniWrapper& Store, const std::string& Section) {
    TCustomcvDBTreeListControl::SaveGridLayout(Store, Section);
    WriteLayoutValues(Store, Section, *this, GridValues);
    // An ini file keeps no filter, so it is not written at all, nor can it fail.
    if (!Store.KeepsBinaryData()) return;
    TMemoryStream stream;
    TFilterWrapper::WriteFilter(&stream, Filter());
    Store.WriteBinaryData(Section, FilterValueName, stream.Memory(), int(stream.Size()));
}

void TCustomcvDBGrid::SaveColumnLayout(TcvRegIniWrapper& Store, const std::string& Section, TcvTreeListColumn* Column) {
    TCustomcvDBTreeListControl::SaveColumnLayout(Store, Section, Column);
    WriteLayoutValues(Store, Section, *Column, ColumnValues);
}

void TCustomcvDBGrid::LoadGridLayout(TcvRegIniWrapper& Store, const std::string& Section) {
    TCustomcvDBTreeListControl::LoadGridLayout(Store, Section);
    ReadLayoutValues(Store, Section, *this, GridValues, cvLayoutFirstPass);
    TMemoryStream block;
    if (ReadFilterValue(Store, Section, block)) TFilterWrapper::ReadFilter(&block, Filter());
}

void TCustomcvDBGrid::CheckGridLayout(TcvRegIniWrapper& Store, const std::string& Section) {
    TCustomcvDBTreeListControl::CheckGridLayout(Store, Section);
    TMemoryStream block;
    if (!ReadFilterValue(Store, Section, block)) return;
    // A bare grid takes the whole read, its setters included, and nothing of it reaches this one.
    TcvDBGrid scratch(nullptr);
    TFilterWrapper::ReadFilter(&block, scratch.Filter());
}

void TCustomcvDBGrid::CheckColumnLayout(TcvRegIniWrapper& Store, const std::string& Section,
                                        const TcvTreeListColumn* Column) {
    TCustomcvDBTreeListControl::CheckColumnLayout(Store, Section, Column);
    CheckLayoutValues(Store, Section, *Column, ColumnValues);
}

void TCustomcvDBGrid::LoadColumnLayout(TcvRegIniWrapper& Store, const std::string& Section, TcvTreeListColumn* Column) {
    const int groupIndex = ReadLayoutValue(Store, Section, *Column, ColumnGroupIndex);
    FLoadedGroupIndexes.emplace_back(Column, groupIndex);
    static_cast<TcvDBTreeListColumn*>(Column)->SetGroupIndex(groupIndex);
    TCustomcvDBTreeListControl::LoadColumnLayout(Store, Section, Column);
}

void TCustomcvDBGrid::BeginLoadLayout(TcvRegIniWrapper& Store) {
    TCustomcvDBTreeListControl::BeginLoadLayout(Store);
    BeginGrouping();
    FLoadedGroupIndexes.clear();
}

void TCustomcvDBGrid::EndLoadLayout(TcvRegIniWrapper& Store) {
    const TScopeGuard inherited([&] { TCustomcvDBTreeListControl::EndLoadLayout(Store); });
    const TScopeGuard grouping([this] {
        FLoadedGroupIndexes.clear();
        EndGrouping();
    });
    // Inserting at the stored index in column order misplaces a column whose
    // successors in the list were read before it (stored 2, 1, 0 gives 0, 2, 1).
    const auto loadedIndex = [this](const TcvTreeListColumn* Column) {
        const auto it = std::find_if(FLoadedGroupIndexes.begin(), FLoadedGroupIndexes.end(),
                                     [Column](const auto& Loaded) { return Loaded.first == Column; });
        return it == FLoadedGroupIndexes.end() ? static_cast<const TcvDBTreeListColumn*>(Column)->GroupIndex()
                                               : it->second;
    };
    std::stable_sort(
        FGroupColumns.begin(), FGroupColumns.end(),
        [&](const TcvTreeListColumn* A, const TcvTreeListColumn* B) { return loadedIndex(A) < loadedIndex(B); });
    for (int position = 0; position < GroupColumnCount(); ++position)
        StoreGroupIndex(GroupColumns(position), position);
}
