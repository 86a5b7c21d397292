// The grid's cell texts, values, sort keys and preview texts; a group row
// has one text whatever the column.
// In the record-buffer mode a node is a row of the data link's buffer: every
// read points the link's active record at the node's index for its own span,
// so the dataset's current record never moves. The other modes read what the
// load stored in the node.
#include "dbgrid/DBGrid.h"

#include "platform/rtl/SysUtils.h"

namespace {

void FireGetText(TcvDBTreeListColumn* Column, const TcvTreeListNode* Node, std::string& Text) {
    if (Column->OnGetText) Column->OnGetText(Column, const_cast<TcvTreeListNode*>(Node), Text);
}

const Variant& StoredValueOf(const TcvTreeListNode* Node, int Column) {
    return static_cast<const TcvDBTreeListControlNode*>(Node)->StoredValue(Column);
}

} // namespace

std::string TCustomcvDBGrid::GetNodeString(const TcvTreeListNode* Node, int Column) const {
    TcvDBTreeListColumn* column = DBColumns(Column);
    std::string text;
    if (IsBufferMode()) {
        if (!column || !FDataLink->Active()) return text;
        TActiveRecordScope row(FDataLink.get(), Node->Index());
        text = column->GetDisplayText(const_cast<TcvTreeListNode*>(Node));
        FireGetText(column, Node, text);
        return text;
    }
    if (IsGroupNode(Node)) return GetGroupRowText(Node);
    text = TCustomcvDBTreeListControl::GetNodeString(Node, Column);
    if (column) FireGetText(column, Node, text);
    return text;
}

std::string TCustomcvDBGrid::GetGroupRowText(const TcvTreeListNode* Node) const {
    TcvDBTreeListColumn* column = GroupColumns(Node->Level());
    if (!column) return {};
    // The group row holds its first record's texts: the group column's is
    // the group value as the column shows it outside its cells.
    std::string value = column->ConvertFilterText(TCustomcvDBTreeListControl::GetNodeString(Node, column->GetIndex()));
    FireGetText(column, Node, value);
    std::string text = column->Caption() + " : " + value + " " + GetGroupSummaryText(Node);
    if (OnGetGroupText) OnGetGroupText(const_cast<TCustomcvDBGrid*>(this), const_cast<TcvTreeListNode*>(Node), text);
    return text;
}

void TCustomcvDBGrid::GetNodeValue(const TcvTreeListNode* Node, int Column, Variant& Value) const {
    if (IsBufferMode()) {
        Value = Variant();
        TcvDBTreeListColumn* column = DBColumns(Column);
        if (!column || !FDataLink->Active()) return;
        TActiveRecordScope row(FDataLink.get(), Node->Index());
        if (column->Field()) Value = column->Field()->Value();
        return;
    }
    if (IsGroupNode(Node)) {
        Value = static_cast<const TcvDBGridNode*>(Node)->GroupValue;
        return;
    }
    // A stored field value is never Unassigned (an empty field is Null), so
    // Unassigned marks a cell the load left without a value.
    const Variant& stored = StoredValueOf(Node, Column);
    if (!stored.IsEmpty())
        Value = stored;
    else
        Value = GetNodeString(Node, Column);
}

void TCustomcvDBGrid::GetNodeVariant(const TcvTreeListNode* Node, int Column, Variant& Value) const {
    TcvDBTreeListColumn* column = DBColumns(Column);
    if (column && column->GroupIndex() != -1 && column->SortBySummary()) {
        Value = double(static_cast<const TcvDBGridNode*>(Node)->GroupSummaryValue);
        return;
    }
    if (column && column->GetFilterValueType() == varString) {
        const std::string text = GetNodeString(Node, Column);
        Value = FOptionsBehavior.Contains(edgoCaseInsensitive) ? AnsiUpperCase(text) : text;
        return;
    }
    Value = StoredValueOf(Node, Column);
}

std::string TCustomcvDBGrid::GetPreviewText(const TcvTreeListNode* Node) const {
    if (!IsBufferMode()) {
        if (IsGroupNode(Node)) return {};
        return static_cast<const TcvDBTreeListControlNode*>(Node)->PreviewText;
    }
    TField* field = PreviewField();
    if (!field || !FDataLink->Active()) return {};
    TActiveRecordScope row(FDataLink.get(), Node->Index());
    if (field->OnGetText) return field->DisplayText();
    return CutPreviewText(field->AsString());
}
