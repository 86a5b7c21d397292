// Incremental search and the typed character that opens the editor. Text is
// UTF-8: the search text grows and shrinks by whole characters, and a cell
// text is cut to as many characters as were typed before it is compared.
#include "treelist/TreeList.h"

#include "editors/InplaceEdit.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"

namespace {

constexpr char32_t Backspace = 8;
constexpr char32_t Tab = 9;
constexpr char32_t Enter = 13;
constexpr char32_t Escape = 27;
// The control characters of Ctrl+V and Ctrl+X.
constexpr char32_t CtrlV = 22;
constexpr char32_t CtrlX = 24;

// The characters that open the editor with themselves as its first input:
// Backspace, Ctrl+V, Ctrl+X and every printable one (Chinese too).
bool StartsEditorWithChar(char32_t Key) {
    return Key == Backspace || Key == CtrlV || Key == CtrlX || Key >= U' ';
}

void DropLastCharacter(std::string& Text) {
    Text.erase(Utf8PrevCharBoundary(Text, Text.size()));
}

} // namespace

bool TCustomcvTreeList::IsCtrlOnlyDown() {
    return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
}

bool TCustomcvTreeList::StartIncrementalSearch(int Column, const std::string& Text) {
    HideEditor();
    SetNewItemRowActive(false);
    if (Column < 0) Column = GetFocusedAbsoluteIndex();
    FSearchColumn = Column;
    SetFocusedColumn(GetVisibleIndex(Column));
    FSearching = true;
    FSearchText = Text;
    SearchNode(FSearchText, sdFromFocused, true);
    return !FSearchText.empty();
}

void TCustomcvTreeList::SearchNode(std::string& Text, int Direction, bool ClearOnFail) {
    ++FSearchDepth;
    const TScopeGuard depth([this] { --FSearchDepth; });
    if (FSearchColumn >= 0 && Count() > 0) {
        TcvTreeListNode* node = nullptr;
        if (FindNodeByText(FSearchColumn, Text, node, Direction))
            node->SetFocused(true);
        else if (ClearOnFail)
            Text.clear();
        else if (Direction == sdFromFocused && !Text.empty())
            DropLastCharacter(Text);
    }
    if (!FFocusedNode) return;
    if (IsMultiSelect() && !(SelectedCount() == 1 && IsNodeSelected(FFocusedNode))) {
        ClearSelection();
        SetNodeSelected(FFocusedNode, true);
    }
    MakeNodeVisible(FFocusedNode);
    InvalidateNode(FFocusedNode, false);
}

bool TCustomcvTreeList::FindNodeByText(int Column, const std::string& Text, TcvTreeListNode*& Node, int Direction) {
    if (Text.empty() || !FFocusedNode) return false;
    const size_t length = Utf8Length(Text);
    TcvTreeListNode* stop = nullptr;
    bool wrapped = false;
    // One node on in the search direction; past the end it wraps once to the
    // other end and stops at the focused node.
    const auto step = [&](TcvTreeListNode* Current) -> TcvTreeListNode* {
        TcvTreeListNode* next;
        if (Direction == sdBackward)
            next = FAutoExpandOnSearch ? Current->GetPrev() : GetPrevVisibleNode(Current);
        else
            next = FAutoExpandOnSearch ? Current->GetNext() : GetNextVisibleNode(Current);
        if (next || wrapped) return next;
        wrapped = true;
        stop = FFocusedNode;
        return Direction == sdBackward ? GetLastVisibleNode() : Items(0);
    };
    TcvTreeListNode* current = FFocusedNode;
    if (Direction != sdFromFocused) current = step(current);
    for (; current && current != stop; current = step(current)) {
        if (cvTL::SameTextIgnoreCase(Utf8Copy(GetNodeString(current, Column), 0, length), Text)) {
            Node = current;
            return true;
        }
    }
    return false;
}

void TCustomcvTreeList::EndIncrementalSearch() {
    if (!FSearching) return;
    FSearching = false;
    if (IsUpdating() || !FFocusedNode || ComponentState().Contains(csDestroying)) return;
    InvalidateNode(FFocusedNode, false);
}

void TCustomcvTreeList::SyncSearchColumn() {
    if (IsRowSelect()) return;
    const int focused = GetFocusedAbsoluteIndex();
    if (focused == FSearchColumn) return;
    FSearchColumn = focused;
    FSearchText.clear();
}

void TCustomcvTreeList::ShowEditorWithChar(char32_t Key) {
    ShowEditor();
    if (FState != 2 || !FInplaceEditor) return;
    const HWND editor = FInplaceEditor->Handle();
    if (Key == CtrlV)
        PostMessage(editor, WM_PASTE, 0, 0);
    else if (Key == CtrlX)
        PostMessage(editor, WM_CUT, 0, 0);
    else
        PostMessage(editor, WM_CHAR, WPARAM(Key), 0);
}

void TCustomcvTreeList::KeyPress(char32_t& Key) {
    const bool typing = !IsCtrlOnlyDown();
    if (FState == 0 && !FSearching && IsIncSearchEnabled() && typing && Key != Backspace && Key != Tab &&
        Key != Enter && Key != Escape)
        StartIncrementalSearch(-1, std::string());
    if (!FSearching && CanStartEditByKey() && FState != 2 && Key == Enter) {
        ShowEditor();
    } else if (!FSearching && CanStartEditByKey() && FState != 2 && StartsEditorWithChar(Key)) {
        ShowEditorWithChar(Key);
        if (!InplaceEditor()) TCustomcvContainer::KeyPress(Key);
    } else {
        TCustomcvContainer::KeyPress(Key);
    }
    NodeKeyPress(Key);
    if (FState == 2 || !FSearching || Key < U' ' || !typing) return;
    SyncSearchColumn();
    FSearchText += Utf8FromCodePoint(Key);
    SearchNode(FSearchText, sdFromFocused, false);
}
