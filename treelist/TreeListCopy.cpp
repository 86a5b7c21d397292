// The tree list as text: a header line of captions, then one line per node,
// cells joined by TAB; for the clipboard and the string-list exports.
#include "treelist/TreeList.h"

#include "treelist/TreeListColumns.h"
#include "treelist/TreeListControl.h"

#include "platform/rtl/StringList.h"
#include "platform/ui/Clipbrd.h"

void TCustomcvTreeList::GetHeaderLineText(std::string& Text) const {
    Text.clear();
    for (int visible = 0; visible < GetVisibleColumnCount(); ++visible) {
        if (visible > 0) Text += '\t';
        Text += GetColumnCaption(GetAbsoluteIndex(visible));
    }
    Text += "\r\n";
}

void TCustomcvTreeList::GetNodeLineText(const TcvTreeListNode* Node, std::string& Text) const {
    if (IsGroupNode(Node)) {
        Text = GetNodeString(Node, 0);
        return;
    }
    Text.clear();
    for (int visible = 0; visible < GetVisibleColumnCount(); ++visible) {
        if (visible > 0) Text += '\t';
        Text += GetCellCopyText(Node, GetAbsoluteIndex(visible));
    }
}

std::string TCustomcvTreeListControl::GetCellCopyText(const TcvTreeListNode* Node, int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    if (!column) return GetNodeString(Node, Column);
    Variant value;
    GetNodeValue(Node, Column, value);
    return column->GetCopyText(value, GetNodeString(Node, Column));
}

std::string TcvTreeListColumn::GetCopyText(const Variant& Value, std::string Text) const {
    ConvertDisplayText(Value, Text);
    std::string exported;
    GetExportText(Value, false, exported);
    return exported.empty() ? Text : exported;
}

void TCustomcvTreeList::SaveAllToStrings(TStrings* Strings) const {
    std::string line;
    GetHeaderLineText(line);
    Strings->Add(line);
    for (TcvTreeListNode* node = Items(0); node; node = node->GetNextVisible()) {
        GetNodeLineText(node, line);
        Strings->Add(line);
    }
}

void TCustomcvTreeList::SaveSelectedToStrings(TStrings* Strings) const {
    std::string line;
    GetHeaderLineText(line);
    Strings->Add(line);
    if (!IsMultiSelect()) {
        if (!FFocusedNode) return;
        GetNodeLineText(FFocusedNode, line);
        Strings->Add(line);
        return;
    }
    TList nodes;
    for (int i = 0; i < SelectedCount(); ++i)
        nodes.Add(GetSelectedNode(i));
    nodes.Sort(cvTL::CompareNodePositions);
    for (int i = 0; i < nodes.Count(); ++i) {
        GetNodeLineText(static_cast<TcvTreeListNode*>(nodes.Items(i)), line);
        Strings->Add(line);
    }
}

void TCustomcvTreeList::CopySelectedToClipboard() {
    TStringList lines;
    SaveSelectedToStrings(&lines);
    // The header line already ends in CR LF, so the text keeps an empty line
    // under the captions.
    Clipboard()->SetAsText(lines.Text());
}
