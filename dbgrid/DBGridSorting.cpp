// The grid's sort: header clicks sort only the in-memory rows (the record
// buffer's rows are the dataset's own order), by the column just sorted or,
// when a sort key goes, by the first sorted column left. Grouped columns are
// no sort keys: the record rows sort below the deepest group level.
#include "dbgrid/DBGrid.h"

bool TCustomcvDBGrid::IsAutoSort() const {
    return FOptionsEx.Contains(egoAutoSort) && IsLoadAllMode();
}

void TCustomcvDBGrid::RegisterSortedColumn(TcvTreeListColumn* Column) {
    if (!Column || ComponentState().Contains(csLoading) || Column->Sorted() == csNone) return;
    TCustomcvDBTreeListControl::RegisterSortedColumn(Column);
    if (IsAutoSort() && !SortUpdating()) SortRows(Column);
}

void TCustomcvDBGrid::ResortNodes() {
    if (IsBufferMode()) return;
    if (TcvTreeListColumn* column = FirstSortColumn()) SortRows(column);
}

TcvTreeListColumn* TCustomcvDBGrid::FirstSortColumn() const {
    for (int i = 0; i < ColumnCount(); ++i) {
        TcvDBTreeListColumn* column = DBColumns(i);
        if (column && column->GroupIndex() == -1 && column->Sorted() != csNone) return column;
    }
    return nullptr;
}

void TCustomcvDBGrid::SortRows(TcvTreeListColumn* Column) {
    TUpdateGuard<TCustomcvTreeList> update(this);
    SortChildren(GroupColumnCount(), Column->GetIndex(), Column->Sorted() == csDown);
}
