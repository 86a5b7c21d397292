// Sorting: the node sort of the tree list (one sort item chain per node,
// sorted by the stable list sort on a copy, so a throwing comparison leaves
// the list untouched) and the sort keys of the control, its sorted columns.
#include "treelist/TreeList.h"
#include "treelist/TreeListControl.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Forms.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<cvTL::TcvSortItem> MakeSortItem(const TCustomcvTreeList& Tree, TcvTreeListNode* Node, int Column,
                                                bool Descending) {
    auto item = std::make_unique<cvTL::TcvSortItem>();
    item->Node = Node;
    Tree.GetNodeVariant(Node, Column, item->Value);
    item->Descending = Descending;
    return item;
}

} // namespace

// The tree list ---------------------------------------------------------------------

void TCustomcvTreeList::GetNodeVariant(const TcvTreeListNode* Node, int Column, Variant& Value) const {
    (void)Node, (void)Column;
    Value = Variant();
}

void TCustomcvTreeList::SortNodes(TList* List, int Column, bool Descending) {
    if (!List || List->Count() < 2) return;
    const int keyCount = GetSortKeyCount();
    const bool multiKey = CanMultiSort(Column) && keyCount > 1;
    if (multiKey) {
        Column = GetSortKeyColumnIndex(0);
        Descending = IsSortKeyDescending(0);
    }
    const int count = List->Count();
    std::vector<std::unique_ptr<cvTL::TcvSortItem>> items;
    items.reserve(size_t(count));
    TList order;
    order.SetCount(count);
    for (int i = 0; i < count; ++i) {
        auto* node = static_cast<TcvTreeListNode*>(List->Items(i));
        items.push_back(MakeSortItem(*this, node, Column, Descending));
        cvTL::TcvSortItem* last = items.back().get();
        for (int key = 1; multiKey && key < keyCount; ++key) {
            last->Next = MakeSortItem(*this, node, GetSortKeyColumnIndex(key), IsSortKeyDescending(key));
            last = last->Next.get();
        }
        order.SetItems(i, items.back().get());
    }
    const TListSortCompare compare = OnCompare      ? cvTL::CompareNodesByEvent
                                     : IsAnsiSort() ? cvTL::CompareNodesBySortKeysText
                                                    : cvTL::CompareNodesBySortKeys;
    order.Sort(compare);
    for (int i = 0; i < count; ++i)
        List->SetItems(i, static_cast<cvTL::TcvSortItem*>(order.Items(i))->Node);
    DropRowCache();
}

void TCustomcvTreeList::SortChildren(int Level, int Column, bool Descending) {
    // The rows move under an open editor: its value goes in first.
    HideEditor();
    const TScreenCursorScope cursor(IsShowHourGlass() ? crHourGlass : Screen->Cursor());
    // Each list is sorted before the lists of its nodes' children.
    const auto sortFrom = [&](const auto& Self, TList* List, int Depth) -> void {
        if (!List) return;
        if (Level < 0 || Depth == Level) SortNodes(List, Column, Descending);
        if (Level >= 0 && Depth >= Level) return;
        for (int i = 0; i < List->Count(); ++i)
            Self(Self, static_cast<TcvTreeListNode*>(List->Items(i))->FChildren.get(), Depth + 1);
    };
    sortFrom(sortFrom, FRoots.get(), 0);
    LayoutChanged();
}

void TCustomcvTreeList::ClickColumnHeader(int Column, bool ShiftDown, bool CtrlDown) {
    FSortWithShift = IsMultiSort() && ShiftDown;
    FSortWithCtrl = CtrlDown;
    const TScopeGuard clicked([this] { FSortWithShift = FSortWithCtrl = false; });
    DoColumnClick(Column);
}

// The control's sort keys ---------------------------------------------------------

int TCustomcvTreeListControl::GetSortKeyCount() const {
    return int(FSortedColumns.size());
}

bool TCustomcvTreeListControl::IsSortKeyDescending(int Index) const {
    const TcvTreeListColumn* column = GetSortedColumn(Index);
    return column && column->Sorted() == csDown;
}

int TCustomcvTreeListControl::GetSortKeyColumnIndex(int Index) const {
    const TcvTreeListColumn* column = GetSortedColumn(Index);
    return column ? column->GetIndex() : -1;
}

TcvTreeListColumn* TCustomcvTreeListControl::GetSortedColumn(int Index) const {
    return Index >= 0 && Index < GetSortKeyCount() ? FSortedColumns[size_t(Index)] : nullptr;
}

int TCustomcvTreeListControl::GetSortedOrder(const TcvTreeListColumn* Column) const {
    const auto found = std::find(FSortedColumns.begin(), FSortedColumns.end(), Column);
    return found == FSortedColumns.end() ? -1 : int(found - FSortedColumns.begin());
}

void TCustomcvTreeListControl::AddSortedColumn(TcvTreeListColumn* Column) {
    if (!Column || Column->Sorted() == csNone || GetSortedOrder(Column) >= 0) return;
    FSortedColumns.push_back(Column);
}

void TCustomcvTreeListControl::RegisterSortedColumn(TcvTreeListColumn* Column) {
    AddSortedColumn(Column);
}

void TCustomcvTreeListControl::RemoveSortedColumn(TcvTreeListColumn* Column) {
    FSortedColumns.erase(std::remove(FSortedColumns.begin(), FSortedColumns.end(), Column), FSortedColumns.end());
}

void TCustomcvTreeListControl::ClearSortedColumns() {
    FSortedColumns.clear();
}

void TCustomcvTreeListControl::ClearSortKeys() {
    ClearSortedColumns();
}

void TCustomcvTreeListControl::BeginSortUpdate() {
    ++FSortUpdateCount;
}

void TCustomcvTreeListControl::EndSortUpdate() {
    if (--FSortUpdateCount == 0) ResortNodes();
}

bool TCustomcvTreeListControl::DoColumnSorting(TcvTreeListColumn* Column) {
    bool allow = true;
    Fire(OnColumnSorting, this, Column, allow);
    return allow;
}

void TCustomcvTreeListControl::ChangeColumnSort(TcvTreeListColumn* Column) {
    if (!DoColumnSorting(Column)) return;
    if (SortWithCtrl())
        Column->SetSorted(csNone);
    else
        Column->SetSorted(Column->Sorted() == csUp ? csDown : csUp);
}

void TCustomcvTreeListControl::DoColumnClick(int Column) {
    TcvTreeListColumn* column = Columns(Column);
    if (!column) return;
    Fire(OnColumnClick, this, column);
    if (IsAutoSort()) ChangeColumnSort(column);
}

TcvTreeListColumnSort TCustomcvTreeListControl::GetColumnSortState(int Column) const {
    TcvTreeListColumn* column = Columns(Column);
    if (!column) return csNone;
    TcvTreeListColumnSort state = column->Sorted();
    Fire(OnGetColumnSortState, const_cast<TCustomcvTreeListControl*>(this), column, state);
    return state;
}

void TCustomcvTreeListControl::RestoreSortedColumnOrder() {
    for (TcvTreeListColumn* column : FColumns)
        AddSortedColumn(column);
    TList order;
    for (TcvTreeListColumn* column : FSortedColumns)
        order.Add(column);
    order.Sort(cvTL::CompareSortedOrder);
    for (int i = 0; i < order.Count(); ++i)
        FSortedColumns[size_t(i)] = static_cast<TcvTreeListColumn*>(order.Items(i));
}

void TCustomcvTreeListControl::GetNodeVariant(const TcvTreeListNode* Node, int Column, Variant& Value) const {
    GetNodeValue(Node, Column, Value);
}

// The column's sort ------------------------------------------------------------------

int TcvTreeListColumn::GetSortedOrder() const {
    return FTreeList ? FTreeList->GetSortedOrder(this) : -1;
}

void TcvTreeListColumn::SetSorted(TcvTreeListColumnSort Value) {
    if (Value == FSorted) return;
    if (!FTreeList || FTreeList->ComponentState().Contains(csLoading)) {
        FSorted = Value;
        Changed(false);
        return;
    }
    if (Value == csNone) {
        // Taking a key away resorts once the outermost sort update ends.
        TCustomcvTreeListControl* control = FTreeList;
        control->BeginSortUpdate();
        const TScopeGuard sortUpdate([control] { control->EndSortUpdate(); });
        FSorted = Value;
        control->RemoveSortedColumn(this);
        Changed(false);
        return;
    }
    TUpdateGuard<TCustomcvTreeList> update(FTreeList);
    FTreeList->SortedChanging(this);
    FSorted = Value;
    FTreeList->RegisterSortedColumn(this);
}
