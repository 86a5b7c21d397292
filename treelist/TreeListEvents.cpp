// The tree list's event dispatchers, option tests, focused-cell moves, the
// repair after a node is deleted, and the custom-draw hooks, which the tree
// list answers with "nobody draws".
#include "treelist/TreeList.h"

// Custom drawing ----------------------------------------------------------------

bool TCustomcvTreeList::HasCustomDrawCell(TcvTreeListNode*, int) const {
    return false;
}

bool TCustomcvTreeList::HasCustomDrawFooter(TcvTreeListNode*, int, int) const {
    return false;
}

bool TCustomcvTreeList::HasCustomDrawColumnHeader(int) const {
    return false;
}

void TCustomcvTreeList::DoCustomDrawBand(int, TCanvas*, const TRect&, std::string&, TColor&, TFont*, TAlignment&,
                                         bool&) {}

void TCustomcvTreeList::DoCustomDrawColumnHeader(int, TCanvas*, const TRect&, std::string&, TColor&, TFont*,
                                                 TAlignment&, TcvTreeListColumnSort&, bool&) {}

void TCustomcvTreeList::DoCustomDrawCell(TCanvas*, const TRect&, TcvTreeListNode*, int, bool, bool, bool,
                                         std::string&, TColor&, TFont*, TAlignment&, bool&) {}

void TCustomcvTreeList::DoCustomDrawFooter(TcvTreeListNode*, int, int, TCanvas*, const TRect&, std::string&, TColor&,
                                           TFont*, TAlignment&, bool&) {}

void TCustomcvTreeList::DoCustomDrawPreview(TCanvas*, const TRect&, TcvTreeListNode*, bool, std::string&, TColor&,
                                            TColor&, TFont*, bool&) {}

void TCustomcvTreeList::DoGetLevelColor(int, TColor&) {}

bool TCustomcvTreeList::IsExistFooterCell(int) {
    return false;
}
