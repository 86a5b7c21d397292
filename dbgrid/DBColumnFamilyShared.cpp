// The family's shared rules.
#include "dbgrid/DBColumnFamilyShared.h"

#include "platform/rtl/Utf8.h"

namespace {

// The tree list's second option word carries the grid's "show buttons
// always" in this bit.
constexpr unsigned ShowButtonAlwaysBit = 1u << 24;

} // namespace

bool ShowsButtonInCell(TcvShowButtonStyle Style, const TcvTreeListColumn& Column, const TcvTreeListNode* Node) {
    const TCustomcvTreeListControl* control = Column.TreeList();
    if (Style == TcvShowButtonStyle::sbNone || !control || !(control->OptionsEx() & ShowButtonAlwaysBit)) return false;
    return Style == TcvShowButtonStyle::sbAlways || (Node && Node == control->FocusedNode());
}

std::string CutToDisplayLength(std::string Text, int MaxDisplayLength) {
    // Characters, not bytes: a cut never splits a Chinese character.
    if (MaxDisplayLength >= 0) Text.resize(Utf8ByteOffset(Text, size_t(MaxDisplayLength)));
    return Text;
}
