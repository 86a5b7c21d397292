// The tree list's answers to an edit style's unset values.
#include "treelist/TreeListEditStyle.h"

#include "treelist/TreeList.h"

TcvEditBorderStyle TcvTreeListEditStyle::GetDefaultBorderStyle() const {
    return FTreeList->ShowGrid() ? xbsNone : xbsSingle;
}

TcvEditButtonViewStyle TcvTreeListEditStyle::GetDefaultButtonStyle() const {
    return cvTL::ButtonStyleOf(FTreeList->LookAndFeel());
}
