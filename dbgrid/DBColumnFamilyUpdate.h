// The family's copies run inside one update of the column's control, so a
// column that copies several settings relays its control out once.
#pragma once

#include "platform/rtl/Classes.h"
#include "treelist/TreeListColumns.h"
#include "treelist/TreeListControl.h"

template <class TCopy> void CopyInsideUpdate(TcvTreeListColumn& Column, TCopy&& Copy) {
    if (!Column.TreeList()) return Copy();
    TUpdateGuard<TCustomcvTreeList> update(Column.TreeList());
    Copy();
}
