// The grid's items of a stored layout: a column's GroupIndex and the grid's
// four view flags, as rows of the tree list's layout tables, and its filter
// as a binary value, which only the registry keeps.
#include "dbgrid/DBGrid.h"
#include "treelist/TreeListLayoutStore.h"

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

// Every column of the grid is data-aware.
const TColumnValue ColumnValues[] = {
    {"GroupIndex", false, [](const auto& C) { return static_cast<const TcvDBTreeListColumn&>(C).GroupIndex(); },
     [](auto& C, int V) { static_cast<TcvDBTreeListColumn&>(C).SetGroupIndex(V); }},
};

} // namespace

void TCustomcvDBGrid::SaveGridLayout(TcvRegIniWrapper& Store, const std::string& Section) {
    TCustomcvDBTreeListControl::SaveGridLayout(Store, Section);
    WriteLayoutValues(Store, Section, *this, GridValues);
}

void TCustomcvDBGrid::SaveColumnLayout(TcvRegIniWrapper& Store, const std::string& Section, TcvTreeListColumn* Column) {
    TCustomcvDBTreeListControl::SaveColumnLayout(Store, Section, Column);
    WriteLayoutValues(Store, Section, *Column, ColumnValues);
}

void TCustomcvDBGrid::LoadGridLayout(TcvRegIniWrapper& Store, const std::string& Section) {
    TCustomcvDBTreeListControl::LoadGridLayout(Store, Section);
    ReadLayoutValues(Store, Section, *this, GridValues, cvLayoutFirstPass);
}

void TCustomcvDBGrid::LoadColumnLayout(TcvRegIniWrapper& Store, const std::string& Section, TcvTreeListColumn* Column) {
    ReadLayoutValues(Store, Section, *Column, ColumnValues, cvLayoutFirstPass);
    TCustomcvDBTreeListControl::LoadColumnLayout(Store, Section, Column);
}
