// The summary calculation of the in-memory mode: footers, group summaries
// and summary-group items are accumulated record by record while the rows
// load (or over the loaded nodes after a change), then finished into counts
// and averages. Null values add 0, also to minimums and averages.
#include "dbgrid/DBGrid.h"

#include "platform/rtl/SysUtils.h"
#include "treelist/TreeListNode.h"

#include <algorithm>

namespace {

// Stores the first value of a summary, then combines the later ones by kind.
// A count only needs the records counted, which finishing does.
void Combine(TcvSummaryType Kind, long double& Target, bool& Assigned, long double Value) {
    if (!Assigned) {
        Target = Value;
        Assigned = true;
        return;
    }
    switch (Kind) {
    case cstSum:
    case cstAvg:
        Target += Value;
        break;
    case cstMin:
        Target = std::min(Target, Value);
        break;
    case cstMax:
        Target = std::max(Target, Value);
        break;
    default:
        break;
    }
}

TFieldType FieldTypeOf(const TField* Field) {
    return Field ? Field->DataType() : ftUnknown;
}

std::string JoinTexts(const std::vector<std::string>& Texts, const std::string& Separator) {
    std::string text;
    for (const std::string& part : Texts)
        text += (text.empty() ? "" : Separator) + part;
    return text;
}

} // namespace

// Preparing -----------------------------------------------------------------------------

TcvDBGridSummaryGroup* TCustomcvDBGrid::FindSummaryGroup(const TcvDBTreeListColumn* Column) const {
    const std::string& name = Column->SummaryGroupName();
    if (name.empty()) return Column->SummaryType() == cstNone ? FSummaryGroups->GetDefaultGroup() : nullptr;
    for (int i = 0; i < FSummaryGroups->Count(); ++i)
        if (AnsiSameText(FSummaryGroups->Items(i)->Name(), name)) return FSummaryGroups->Items(i);
    return nullptr;
}

void TCustomcvDBGrid::PrepareSummaries() {
    FLevelSummaries.clear();
    FSummaryRecordCount = 0;
    TDataSet* dataSet = FDataLink->DataSet();
    if (!dataSet) return;
    if (FSummaryGroups->Count() > 0)
        cvDBGrid::ForEachNode(*this, [](TcvDBGridNode* Node) { Node->ItemSummaryValues.clear(); });
    for (TcvTreeListColumn* groupColumn : FGroupColumns) {
        TLevelSummary level;
        level.Column = static_cast<TcvDBTreeListColumn*>(groupColumn);
        const std::string& fieldName = level.Column->SummaryField();
        level.Field = dataSet->FindField(fieldName.empty() ? level.Column->FieldName() : fieldName);
        level.Group = FindSummaryGroup(level.Column);
        TcvDBGridSummaryItems* items = level.Group ? level.Group->SummaryItems() : nullptr;
        for (int i = 0; items && i < items->Count(); ++i) {
            std::string itemField = items->Items(i)->SummaryField();
            if (itemField.empty())
                if (TcvDBTreeListColumn* column = DBColumnByName(items->Items(i)->ColumnName()))
                    itemField = column->FieldName();
            level.ItemFields.push_back(itemField.empty() ? nullptr : dataSet->FindField(itemField));
        }
        FLevelSummaries.push_back(std::move(level));
    }
}

void TCustomcvDBGrid::ResetSummaries() {
    TCustomcvDBTreeListControl::ResetSummaries();
    FSummaryRecordCount = 0;
}

void TCustomcvDBGrid::BeginSummaries() {
    PrepareSummaries();
    ResetSummaries();
    DoBeforeCalcSummary();
}

void TCustomcvDBGrid::ClearGroupSummaries() {
    cvDBGrid::ForEachNode(*this, [](TcvDBGridNode* Node) {
        Node->GroupSummaryValue = 0;
        Node->GroupSummaryAssigned = false;
        Node->ItemSummaryValues.clear();
    });
}

// Accumulating ----------------------------------------------------------------------

long double TCustomcvDBGrid::RecordFieldValue(TcvTreeListNode* Node, TField* Field) const {
    if (!Field) return 0;
    if (Node && !IsBufferMode())
        for (int i = 0; i < ColumnCount(); ++i)
            if (TcvDBTreeListColumn* column = DBColumns(i); column && column->Field() == Field) {
                const Variant& value = static_cast<TcvDBTreeListControlNode*>(Node)->StoredValue(i);
                return value.IsNull() || value.IsEmpty() ? 0 : value.AsFloat();
            }
    return Field->AsFloat();
}

void TCustomcvDBGrid::AccumulateFooters(TcvTreeListNode* Node) {
    TDataSet* dataSet = FDataLink->DataSet();
    for (int i = 0; i < ColumnCount(); ++i) {
        TcvDBTreeListColumn* column = DBColumns(i);
        if (!column || column->SummaryFooterType() == cstNone) continue;
        long double value = column->SummaryFooterType() == cstCount ? 0 : RecordFieldValue(Node, column->FooterField());
        Fire(column->OnSummaryFooter, column, dataSet, value);
        long double footer = column->FooterValue();
        bool assigned = column->FooterAssigned();
        Combine(column->SummaryFooterType(), footer, assigned, value);
        column->SetFooterValue(footer);
    }
}

void TCustomcvDBGrid::AccumulateGroups(TcvTreeListNode* Node) {
    TDataSet* dataSet = FDataLink->DataSet();
    for (TcvTreeListNode* parent = Node->Parent(); parent; parent = parent->Parent()) {
        const int level = parent->Level();
        if (level >= int(FLevelSummaries.size())) continue;
        const TLevelSummary& summary = FLevelSummaries[size_t(level)];
        auto* group = static_cast<TcvDBGridNode*>(parent);
        TcvDBTreeListColumn* column = summary.Column;
        const TcvSummaryType kind = column->SummaryType();
        if (kind != cstNone || OnSummary) {
            long double value = kind == cstCount ? 0 : RecordFieldValue(Node, summary.Field);
            Fire(column->OnSummary, column, dataSet, value);
            Fire(OnSummary, this, parent, value, dataSet);
            Combine(kind, group->GroupSummaryValue, group->GroupSummaryAssigned, value);
        }
        const int itemCount = int(summary.ItemFields.size());
        if (itemCount == 0) continue;
        // The slots come with the group's first record.
        const bool first = group->ItemSummaryValues.empty();
        if (first) group->ItemSummaryValues.assign(size_t(itemCount), 0);
        for (int i = 0; i < itemCount; ++i) {
            TcvDBGridSummaryItem* item = summary.Group->SummaryItems()->Items(i);
            long double value =
                item->SummaryType() == cstCount ? 0 : RecordFieldValue(Node, summary.ItemFields[size_t(i)]);
            Fire(item->OnSummary, item, dataSet, value);
            long double slot = group->ItemSummaryValues[size_t(i)];
            bool assigned = !first;
            Combine(item->SummaryType(), slot, assigned, value);
            group->ItemSummaryValues[size_t(i)] = double(slot);
        }
    }
}

void TCustomcvDBGrid::DoCalcSummary(TcvTreeListNode* Node) {
    // Summaries cover the rows shown: a record the node filter drops adds nothing.
    if (Node && IsNodeFilterActive() && !NodePassesFilter(Node)) return;
    AccumulateFooters(Node);
    if (Node) AccumulateGroups(Node);
    ++FSummaryRecordCount;
}

// Calculating and finishing ------------------------------------------------------------

void TCustomcvDBGrid::CalculateSummaries() {
    // A summed field no column shows is in no node: only the records hold it.
    if (!SummariesReadStoredValues()) {
        FullReload();
        return;
    }
    TUpdateGuard<TCustomcvTreeList> update(this);
    BeginSummaries();
    ClearGroupSummaries();
    cvDBGrid::ForEachNode(*this, [this](TcvDBGridNode* Node) {
        if (Node->Count() == 0 && IsNodeVisibleByFilter(Node)) DoCalcSummary(Node);
    });
    FinishSummaries();
    ResortGroupsBySummary();
}

void TCustomcvDBGrid::FinishSummaries(bool SkipFooterAverages) {
    for (int level = 0; level < int(FLevelSummaries.size()); ++level) {
        const TLevelSummary& summary = FLevelSummaries[size_t(level)];
        for (int root = 0; root < Count(); ++root) {
            auto* node = static_cast<TcvDBGridNode*>(Items(root));
            if (summary.Column->SummaryType() == cstCount) cvDBGrid::SetGroupCounts(node, level);
            if (summary.Column->SummaryType() == cstAvg) cvDBGrid::AverageGroupValues(node, level);
            for (int i = 0; i < int(summary.ItemFields.size()); ++i) {
                const TcvSummaryType kind = summary.Group->SummaryItems()->Items(i)->SummaryType();
                if (kind == cstCount) cvDBGrid::SetSlotCounts(node, level, i);
                if (kind == cstAvg) cvDBGrid::AverageSlotValues(node, level, i);
            }
        }
    }
    for (int i = 0; i < ColumnCount(); ++i) {
        TcvDBTreeListColumn* column = DBColumns(i);
        if (!column) continue;
        if (column->SummaryFooterType() == cstCount) column->SetFooterValue(FSummaryRecordCount);
        if (column->SummaryFooterType() == cstAvg && FSummaryRecordCount >= 1 && !SkipFooterAverages)
            column->SetFooterValue(column->FooterValue() / FSummaryRecordCount);
    }
    TCustomcvDBTreeListControl::DoCalcSummary(nullptr);
}

void TCustomcvDBGrid::ResortGroupsBySummary() {
    for (int level = 0; level < int(FLevelSummaries.size()); ++level) {
        TcvDBTreeListColumn* column = FLevelSummaries[size_t(level)].Column;
        if (column->SortBySummary() && column->Sorted() != csNone)
            SortChildren(level, column->GetIndex(), column->Sorted() == csDown);
    }
}

// Texts ---------------------------------------------------------------------------------

std::string TCustomcvDBGrid::GetGroupSummaryText(const TcvTreeListNode* Node) const {
    const int level = Node->Level();
    if (level >= int(FLevelSummaries.size())) return {};
    const TLevelSummary& summary = FLevelSummaries[size_t(level)];
    const auto* group = static_cast<const TcvDBGridNode*>(Node);
    std::vector<std::string> parts;
    const TcvDBTreeListColumn* column = summary.Column;
    if (column->SummaryType() != cstNone && group->GroupSummaryAssigned)
        parts.push_back(cvDBCtrl::FormatSummaryValue(column->SummaryType(), column->SummaryFormat(),
                                                     FieldTypeOf(summary.Field), false, group->GroupSummaryValue));
    std::vector<std::string> items;
    const int slots = std::min(int(summary.ItemFields.size()), int(group->ItemSummaryValues.size()));
    for (int i = 0; i < slots; ++i) {
        const TcvDBGridSummaryItem* item = summary.Group->SummaryItems()->Items(i);
        if (item->SummaryType() == cstNone) continue;
        items.push_back(cvDBCtrl::FormatSummaryValue(item->SummaryType(), item->SummaryFormat(),
                                                     FieldTypeOf(summary.ItemFields[size_t(i)]), false,
                                                     group->ItemSummaryValues[size_t(i)]));
    }
    if (!items.empty())
        parts.push_back(summary.Group->BeginSummaryText() + JoinTexts(items, FSummarySeparator) +
                        summary.Group->EndSummaryText());
    return JoinTexts(parts, FSummarySeparator);
}

std::string TCustomcvDBGrid::GetLevelText(const TcvTreeListNode* Node, int Column, int FooterIndex) const {
    if (!Node) {
        const TcvDBTreeListColumn* column = DBColumns(Column);
        return column ? column->GetSummaryFooterText() : std::string();
    }
    const int level = GetAncestorLevel(Node, FooterIndex);
    if (level < 0 || level >= int(FLevelSummaries.size())) return {};
    const std::vector<int>& columns = LevelSummaryMap()[size_t(level)];
    const int item = Column >= 0 && Column < int(columns.size()) ? columns[size_t(Column)] : -1;
    const TLevelSummary& summary = FLevelSummaries[size_t(level)];
    if (item < 0 || !summary.Group || item >= int(summary.ItemFields.size())) return {};
    const TcvTreeListNode* ancestor = Node;
    while (ancestor && ancestor->Level() > level)
        ancestor = ancestor->Parent();
    const std::vector<double>& slots = static_cast<const TcvDBGridNode*>(ancestor)->ItemSummaryValues;
    if (item >= int(slots.size())) return {};
    const TcvDBGridSummaryItem* summaryItem = summary.Group->SummaryItems()->Items(item);
    return cvDBCtrl::FormatSummaryValue(summaryItem->SummaryType(), summaryItem->SummaryFormat(),
                                        FieldTypeOf(summary.ItemFields[size_t(item)]), true, slots[size_t(item)]);
}

bool TCustomcvDBGrid::IsExistFooterCell(int Column) {
    bool exist = DBColumns(Column) != nullptr;
    Fire(OnIsExistFooterCell, this, Column, exist);
    return exist;
}

// The level summary map -----------------------------------------------------------------

void TCustomcvDBGrid::BuildLevelSummaryMap() const {
    FLevelSummaryMap.clear();
    FLevelSummaryMap.reserve(FGroupColumns.size());
    for (TcvTreeListColumn* groupColumn : FGroupColumns) {
        std::vector<int>& columns = FLevelSummaryMap.emplace_back();
        TcvDBGridSummaryGroup* group = FindSummaryGroup(static_cast<TcvDBTreeListColumn*>(groupColumn));
        if (!group) continue;
        columns.assign(size_t(ColumnCount()), -1);
        TcvDBGridSummaryItems* items = group->SummaryItems();
        // The first item naming a column decides, even when it sums nothing.
        std::vector<bool> decided(columns.size(), false);
        for (int i = 0; i < items->Count(); ++i) {
            const TcvDBTreeListColumn* column = DBColumnByName(items->Items(i)->ColumnName());
            const int index = column ? column->GetIndex() : -1;
            if (index < 0 || index >= int(columns.size()) || decided[size_t(index)]) continue;
            decided[size_t(index)] = true;
            if (items->Items(i)->SummaryType() != cstNone) columns[size_t(index)] = i;
        }
    }
}

const std::vector<std::vector<int>>& TCustomcvDBGrid::LevelSummaryMap() const {
    if (FLevelSummaryMap.size() != FGroupColumns.size()) BuildLevelSummaryMap();
    return FLevelSummaryMap;
}

void TCustomcvDBGrid::FocusedNodeChanged() {
    TCustomcvDBTreeListControl::FocusedNodeChanged();
    BuildLevelSummaryMap();
}

// Changes of the summary settings -----------------------------------------------------------

void TCustomcvDBGrid::RenameSummaryColumn(const std::string& OldName, const std::string& NewName) {
    for (int g = 0; g < FSummaryGroups->Count(); ++g) {
        TcvDBGridSummaryItems* items = FSummaryGroups->Items(g)->SummaryItems();
        for (int i = 0; i < items->Count(); ++i)
            if (AnsiSameText(items->Items(i)->ColumnName(), OldName)) items->Items(i)->SetColumnName(NewName);
    }
    FLevelSummaryMap.clear();
}

void TCustomcvDBGrid::SummaryGroupsChanged() {
    FLevelSummaryMap.clear();
    if (FLoading) return;
    if (IsLoadAllMode())
        CalculateSummaries();
    else
        PrepareSummaries();
    Invalidate();
}
