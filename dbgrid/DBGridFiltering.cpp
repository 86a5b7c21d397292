// The grid's side of its filter: the answers the tree list paints from, and
// the applying after every change of the criteria. In the in-memory mode
// the grid hides rows itself by freeing the nodes that fail the criteria, so
// a change reloads the rows; with AutoDataSetFilter the dataset filters too.
#include "dbgrid/DBGrid.h"

#include <vector>

namespace {

const char* const SClearFilter = "Clear Filter";

} // namespace

TcvDBGridFilter* TCustomcvDBGrid::Filter() const {
    // Reading the property makes the object; the grid owns it either way.
    if (!FFilter) FFilter = std::make_unique<TcvDBGridFilter>(const_cast<TCustomcvDBGrid*>(this));
    return FFilter.get();
}

bool TCustomcvDBGrid::HasFilter() const {
    return FFilter && FFilter->Criteria()->Root()->Count() > 0;
}

std::string TCustomcvDBGrid::GetFilterText() const {
    // The status line speaks the user's language: captions and typed values.
    return FFilter ? FFilter->Criteria()->GetDisplayText() : std::string();
}

std::string TCustomcvDBGrid::GetFilterCaption() const {
    return SClearFilter;
}

bool TCustomcvDBGrid::IsFilterActive() const {
    return FFilter && FFilter->Active();
}

int TCustomcvDBGrid::GetHeaderButtonState(int Column) const {
    int state = TCustomcvDBTreeListControl::GetHeaderButtonState(Column);
    TcvDBTreeListColumn* column = DBColumns(Column);
    if ((state & 1) && column && FFilter && FFilter->HasColumnFilter(column)) state |= 8;
    return state;
}

bool TCustomcvDBGrid::IsFilterButtonShown() const {
    switch (FFilter ? FFilter->FilterStatus() : fsAuto) {
    case fsNone:
        return false;
    case fsAlways:
        return true;
    case fsAuto:
        break;
    }
    return FNodeFilterActive && HasFilter();
}

void TCustomcvDBGrid::RefreshFilter() {
    FNodeFilterActive = HasFilter();
    // Rows a filter freed come back only by a reload: skip it when no
    // filter hid rows before or hides them now.
    if (FRowsHiddenByFilter || IsNodeFilterActive()) RefilterNodes();
    ApplyFilterToDataSet();
    // The filter bar and the header buttons follow the new state.
    LayoutChanged();
    Invalidate();
}

bool TCustomcvDBGrid::IsNodeVisibleByFilter(TcvTreeListNode* Node) const {
    if (!IsNodeFilterActive()) return true;
    return IsGroupNode(Node) ? Node->Count() > 0 : NodePassesFilter(Node);
}

void TCustomcvDBGrid::ResetNodeFilter() {
    FNodeFilterActive = false;
    RefreshFilter();
}

void TCustomcvDBGrid::FreeFilterObjects() {
    FreeFilterDropDown();
    FFilter.reset();
}

bool TCustomcvDBGrid::NodePassesFilter(TcvTreeListNode* Node) const {
    return !IsNodeFilterActive() || FFilter->Evaluate(Node);
}

void TCustomcvDBGrid::ApplyNodeFilter() {
    std::vector<TcvTreeListNode*> groups;
    std::vector<TcvTreeListNode*> failing;
    for (TcvTreeListNode* node = Count() ? Items(0) : nullptr; node; node = node->GetNext())
        if (IsGroupNode(node))
            groups.push_back(node);
        else if (!NodePassesFilter(node))
            failing.push_back(node);
    FRowsHiddenByFilter = FRowsHiddenByFilter || !failing.empty();
    for (TcvTreeListNode* node : failing)
        delete node;
    // From the deepest up: a group emptied by its records and subgroups goes too.
    for (auto group = groups.rbegin(); group != groups.rend(); ++group)
        if ((*group)->Count() == 0) delete *group;
}

void TCustomcvDBGrid::PrepareFilter() {
    if (FFilter) FFilter->RefreshItems();
}

void TCustomcvDBGrid::RefilterNodes() {
    PrepareFilter();
    // The in-memory load applies the node filter to the rows it makes.
    if (!IsLoadAllMode() || !FDataLink->Active()) return;
    FRowsHiddenByFilter = false;
    FullReload();
}

void TCustomcvDBGrid::ApplyFilterToDataSet() {
    PrepareFilter();
    TDataSet* dataSet = FDataLink->DataSet();
    std::string text = FFilter ? FFilter->GetFilterText() : std::string();
    Fire(OnFilterChanged, this, dataSet, text);
    if (!FFilter || !FFilter->AutoDataSetFilter() || !dataSet) return;
    dataSet->SetFilter(text);
    TFilterOptions options = dataSet->FilterOptions();
    if (FFilter->CaseInsensitive())
        options.Include(foCaseInsensitive);
    else
        options.Exclude(foCaseInsensitive);
    dataSet->SetFilterOptions(options);
    dataSet->SetFiltered(!text.empty());
}
