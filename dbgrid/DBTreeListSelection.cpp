// Selection by bookmarks: SelectedList holds the selected rows' bookmark
// strings in the dataset's bookmark order, so a look-up is a halving search
// (with a one-entry cache); without bookmarks it holds nodes by address.
#include "dbgrid/DBTreeListControl.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringList.h"

#include <algorithm>
#include <functional>

int TCustomcvDBTreeListControl::SelectedCount() const {
    return FSelectedList ? FSelectedList->Count() : 0;
}

TcvTreeListNode* TCustomcvDBTreeListControl::GetSelectedNode(int Index) const {
    if (Index < 0 || Index >= SelectedCount()) return nullptr;
    return dynamic_cast<TcvTreeListNode*>(FSelectedList->Objects(Index));
}

std::string TCustomcvDBTreeListControl::GetSelectedRow(int Index) const {
    return FSelectedList->Strings(Index);
}

int TCustomcvDBTreeListControl::CompareBookmarks(const std::string& A, const std::string& B) const {
    if (!GetDataLink()->Active()) return -1;
    return DataSet()->CompareBookmarks(A, B);
}

bool TCustomcvDBTreeListControl::FindBookmark(const std::string& Bookmark, int& Index) {
    if (Bookmark == FCachedBookmark && FCachedIndex >= 0) {
        Index = FCachedIndex;
        return FCachedFound;
    }
    bool found = false;
    int low = 0;
    int high = FSelectedList->Count() - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int result = CompareBookmarks(FSelectedList->Strings(middle), Bookmark);
        if (result < 0) {
            low = middle + 1;
        } else {
            // Go on below an equal entry: Index ends at the first one.
            high = middle - 1;
            if (result == 0) found = true;
        }
    }
    Index = low;
    FCachedBookmark = Bookmark;
    FCachedFound = found;
    FCachedIndex = Index;
    return found;
}

bool TCustomcvDBTreeListControl::FindSelectedNode(const TcvTreeListNode* Node, int& Index) const {
    const std::less<const TObject*> before;
    bool found = false;
    int low = 0;
    int high = FSelectedList->Count() - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const TObject* entry = FSelectedList->Objects(middle);
        if (before(entry, Node)) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (entry == Node) found = true;
        }
    }
    Index = low;
    return found;
}

void TCustomcvDBTreeListControl::ClearSelection() {
    if (SelectedCount() == 0) return;
    if (!ComponentState().Contains(csDestroying) && !IsUpdating()) InvalidateSelection();
    FSelectedList->Clear();
    // The tree list's own clearing reports the change; the control's set of
    // nodes by address is not used here.
    TCustomcvTreeList::ClearSelection();
}

void TCustomcvDBTreeListControl::SelectNodeRange(TcvTreeListNode* NodeA, TcvTreeListNode* NodeB) {
    TDataSet* dataSet = DataSet();
    if (dataSet && (dataSet->State() == dsEdit || dataSet->State() == dsInsert || dataSet->State() == dsSetKey))
        return;
    if (!IsMultiSelect() || !NodeA || !NodeB) return;
    BeginSelectionChange();
    const TScopeGuard bracket([this] { EndSelectionChange(); });
    if (IsInMemoryMode()) return TCustomcvTreeListControl::SelectNodeRange(NodeA, NodeB);
    if (!IsBookmarkSelection()) return SelectRowsByAddress(NodeA, NodeB);
    if (!GetDataLink()->Active()) return;
    TDisableControlsScope disable(dataSet);
    TcvTreeListNode* focused = FocusedNode();
    const int rowA = GetNodeRowIndex(NodeA);
    const int rowB = GetNodeRowIndex(NodeB);
    const TcvNavigation direction = rowB >= rowA ? navNext : navPrev;
    // Node by node rather than MoveFocus, whose single selection would follow the focus.
    TcvTreeListNode* node = NodeA;
    for (int step = 0, steps = std::abs(rowB - rowA); step <= steps && node; ++step) {
        FocusNode(node);
        SetNodeSelected(node, true);
        if (step < steps) node = GetNavigationNode(node, direction, false);
    }
    if (focused) SetNodeSelected(focused, true);
}

void TCustomcvDBTreeListControl::SelectRowsByAddress(TcvTreeListNode* NodeA, TcvTreeListNode* NodeB) {
    TUpdateGuard<TCustomcvTreeList> update(this);
    const int first = std::min(GetNodeRowIndex(NodeA), GetNodeRowIndex(NodeB));
    const int last = std::max(GetNodeRowIndex(NodeA), GetNodeRowIndex(NodeB));
    std::vector<TObject*> nodes;
    for (int row = first; row <= last; ++row)
        if (TcvTreeListNode* node = GetRowNode(row); node && CanNodeSelected(node)) nodes.push_back(node);
    const std::less<const TObject*> before;
    std::sort(nodes.begin(), nodes.end(), before);
    std::vector<TObject*> selected;
    for (int i = 0; i < FSelectedList->Count(); ++i)
        selected.push_back(FSelectedList->Objects(i));
    std::vector<TObject*> merged;
    std::set_union(nodes.begin(), nodes.end(), selected.begin(), selected.end(), std::back_inserter(merged), before);
    FSelectedList->Clear();
    for (TObject* node : merged)
        FSelectedList->AddObject(std::string(), node);
}

void TCustomcvDBTreeListControl::DropVanishedSelection() {
    const int previousCount = std::exchange(FLastRecordCount, GetDataLink()->Active() ? DataSet()->RecordCount() : -1);
    if (FLastRecordCount < 0 || FLastRecordCount >= previousCount || !IsBookmarkSelection()) return;
    BeginSelectionChange();
    const TScopeGuard bracket([this] { EndSelectionChange(); });
    for (int i = FSelectedList->Count() - 1; i >= 0; --i)
        if (!DataSet()->BookmarkValid(FSelectedList->Strings(i))) FSelectedList->Delete(i);
}

int TCustomcvDBTreeListControl::CompareSelectionItems(TcvTreeListNode* Node1, TcvTreeListNode* Node2) {
    const auto* node1 = dynamic_cast<const TcvDBTreeListControlNode*>(Node1);
    const auto* node2 = dynamic_cast<const TcvDBTreeListControlNode*>(Node2);
    if (!node1 || !node2 || node1->KeyValue.IsEmpty() || node2->KeyValue.IsEmpty()) return 0;
    const int result = cvDBCtrl::CompareVariants(node1->KeyValue, node2->KeyValue);
    return result != 0 ? result : TCustomcvTreeListControl::CompareSelectionItems(Node1, Node2);
}
