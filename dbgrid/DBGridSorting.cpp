// The grid's sort: header clicks sort only the in-memory rows (the record
// buffer's rows are the dataset's own order), by the column just sorted or,
// when a sort key goes, by the first sorted column left. Grouped columns are
// no sort keys: a group column orders the group rows of its own level, and
// the record rows sort below the deepest group level.
#include "dbgrid/DBGrid.h"

#include "platform/rtl/SysUtils.h"

bool TCustomcvDBGrid::IsAutoSort() const {
    return FOptionsEx.Contains(egoAutoSort) && IsLoadAllMode();
}

bool TCustomcvDBGrid::IsMultiSort() const {
    return FOptionsEx.Contains(egoMultiSort) && !IsBufferMode();
}

bool TCustomcvDBGrid::CanMultiSort(int Column) const {
    if (!TCustomcvDBTreeListControl::CanMultiSort(Column)) return false;
    // A group column orders its own level by itself, unless it is a sort key.
    const TcvDBTreeListColumn* column = DBColumns(Column);
    return !column || column->GroupIndex() == -1 || column->GetSortedOrder() != -1;
}

void TCustomcvDBGrid::RegisterSortedColumn(TcvTreeListColumn* Column) {
    if (!Column || ComponentState().Contains(csLoading) || Column->Sorted() == csNone) return;
    const auto* column = dynamic_cast<const TcvDBTreeListColumn*>(Column);
    const bool grouped = column && column->GroupIndex() != -1;
    // A record column showing a grouped field would only repeat the group order.
    for (int level = 0; column && !grouped && level < GroupColumnCount(); ++level)
        if (SameText(GroupColumns(level)->FieldName(), column->FieldName())) return;
    // The keys start with the column sorted before, not with this one.
    if (IsMultiSort()) FirstSortColumn();
    if (!grouped) TCustomcvDBTreeListControl::RegisterSortedColumn(Column);
    if (IsAutoSort() && !SortUpdating()) SortRows(Column, grouped ? column->GroupIndex() : GroupColumnCount());
}

void TCustomcvDBGrid::ResortNodes() {
    if (IsBufferMode()) return;
    if (TcvTreeListColumn* column = FirstSortColumn()) SortRows(column, GroupColumnCount());
}

TcvTreeListColumn* TCustomcvDBGrid::FirstSortColumn() {
    if (IsMultiSort() && GetSortKeyCount() > 0) return GetSortedColumn(0);
    for (int i = 0; i < ColumnCount(); ++i) {
        TcvDBTreeListColumn* column = DBColumns(i);
        if (!column || column->GroupIndex() != -1 || column->Sorted() == csNone) continue;
        if (IsMultiSort()) AddSortedColumn(column);
        return column;
    }
    return nullptr;
}

void TCustomcvDBGrid::SortRows(TcvTreeListColumn* Column, int Level) {
    TUpdateGuard<TCustomcvTreeList> update(this);
    SortChildren(Level, Column->GetIndex(), Column->Sorted() == csDown);
    // A group row stands for its first record, which the sort may have changed.
    TakeFirstRecordKeys();
}
