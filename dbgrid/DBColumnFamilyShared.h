// What several members of the data-aware column family share: copies inside
// one update of the control, the cell button rule of the drop-down and spin
// columns, and the cut of a long text to the cell's display length.
#pragma once

#include "platform/rtl/Classes.h"
#include "treelist/TreeListColumns.h"
#include "treelist/TreeListControl.h"

#include <string>

// Where a cell paints its button. Scoped: the spin editor's buttons already
// name an sbNone.
enum class TcvShowButtonStyle { sbDefault, sbAlways, sbNone };

// Runs Copy inside the column's control update (one relayout for several
// settings), or plainly without a control.
template <class TCopy> void CopyInsideUpdate(TcvTreeListColumn& Column, TCopy&& Copy) {
    if (!Column.TreeList()) return Copy();
    TUpdateGuard<TCustomcvTreeList> update(Column.TreeList());
    Copy();
}

// Only while the control shows buttons always: in every row (sbAlways) or in
// the focused row (sbDefault); never for sbNone.
bool ShowsButtonInCell(TcvShowButtonStyle Style, const TcvTreeListColumn& Column, const TcvTreeListNode* Node);

// Text cut to its first MaxDisplayLength characters; whole for a negative length.
std::string CutToDisplayLength(std::string Text, int MaxDisplayLength);
