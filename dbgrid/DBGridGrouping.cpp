// The grid's grouping: the list of group columns (each column's GroupIndex is
// its position), the grouping lock that batches changes into one regroup, and
// the placing of records in the group tree. A grouped grid always holds every
// record (the in-memory mode); losing its last group column puts it back in
// the record-buffer mode on the same record.
#include "dbgrid/DBGrid.h"
#include "dbgrid/DBGridProperties.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace {

// Holds the grouping lock for a scope.
class TGroupingLock {
public:
    explicit TGroupingLock(TCustomcvDBGrid* Grid) : FGrid(Grid) { FGrid->BeginGrouping(); }
    ~TGroupingLock() { FGrid->EndGrouping(); }
    TGroupingLock(const TGroupingLock&) = delete;
    TGroupingLock& operator=(const TGroupingLock&) = delete;

private:
    TCustomcvDBGrid* FGrid;
};

} // namespace

// The group-column list ------------------------------------------------------------------

TcvDBTreeListColumn* TCustomcvDBGrid::GroupColumns(int Position) const {
    if (Position < 0 || Position >= GroupColumnCount()) return nullptr;
    return static_cast<TcvDBTreeListColumn*>(FGroupColumns[Position]);
}

void TCustomcvDBGrid::SetColumnGroupIndex(TcvDBTreeListColumn* Column, int Index) {
    if (Index == Column->GroupIndex() && !FRegrouping) return;
    TUpdateGuard<TCustomcvTreeList> update(this);
    TGroupingLock lock(this);
    if (Column->GroupIndex() >= 0 && !FRegrouping) RemoveGroupColumn(Column->GroupIndex());
    if (Index != -1) AddGroupColumn(Index, Column);
}

bool TCustomcvDBGrid::CanAddGroupColumn(TcvTreeListColumn* Column) const {
    if (FGridMode) return false;
    auto* column = dynamic_cast<TcvDBTreeListColumn*>(Column);
    if (!column) return false;
    if (!FRegrouping) {
        if (column->DisableGrouping() || dynamic_cast<TBlobField*>(column->Field())) return false;
        if (column->Visible() && GetVisibleColumnCount() == 1) return false;
    }
    for (TcvTreeListColumn* grouped : FGroupColumns) {
        if (grouped == Column) return false;
        const TField* field = static_cast<TcvDBTreeListColumn*>(grouped)->Field();
        if (field && field == column->Field()) return false;
    }
    bool allow = true;
    if (OnAddGroupColumn) OnAddGroupColumn(const_cast<TCustomcvDBGrid*>(this), Column, allow);
    return allow;
}

bool TCustomcvDBGrid::AddGroupColumn(int Index, TcvTreeListColumn* Column) {
    if (!CanAddGroupColumn(Column)) return false;
    if (IsLoadAllMode()) FRegroupPending = true;
    Index = std::clamp(Index, 0, GroupColumnCount());
    FGroupColumns.insert(FGroupColumns.begin() + Index, Column);
    for (int i = 0; i < GroupColumnCount(); ++i)
        StoreGroupIndex(GroupColumns(i), i);
    TUpdateGuard<TCustomcvTreeList> update(this);
    if (Column->Sorted() == csNone) Column->SetSorted(csUp);
    RegisterSortedColumn(Column);
    if (!FOptionsEx.Contains(egoNotHideColumn)) Column->SetVisible(false);
    if (FGroupingLockCount == 0) Regroup();
    return true;
}

void TCustomcvDBGrid::RemoveGroupColumn(int Position) {
    TcvDBTreeListColumn* column = GroupColumns(Position);
    if (!column) return;
    TUpdateGuard<TCustomcvTreeList> update(this);
    column->SetVisible(true);
    column->SetSorted(csNone);
    StoreGroupIndex(column, -1);
    FGroupColumns.erase(FGroupColumns.begin() + Position);
    for (int i = 0; i < GroupColumnCount(); ++i)
        StoreGroupIndex(GroupColumns(i), i);
    FRegroupPending = true;
    if (FGroupingLockCount == 0) Regroup();
}

void TCustomcvDBGrid::ClearGrouping() {
    BeginSortUpdate();
    const TScopeGuard endSort([this] { EndSortUpdate(); });
    TUpdateGuard<TCustomcvTreeList> update(this);
    TGroupingLock lock(this);
    while (GroupColumnCount() > 0)
        RemoveGroupColumn(0);
}

void TCustomcvDBGrid::ColumnFieldChanged(TcvDBTreeListColumn* Column) {
    if (FChangingField || ComponentState().Contains(csLoading)) return;
    FChangingField = true;
    const TScopeGuard changed([this] { FChangingField = false; });
    if (Column) {
        TDataSet* dataSet = DataSet();
        const bool noField = Column->FieldName().empty() || (dataSet && !dataSet->FindField(Column->FieldName()));
        if (noField || (dynamic_cast<TBlobField*>(Column->Field()) && !Column->CanEditValue())) {
            Column->SetGroupIndex(-1);
            return;
        }
    }
    BeginGrouping();
    EndGrouping();
}

void TCustomcvDBGrid::AssignColumns(TCustomcvTreeListControl* Source) {
    // The copies are made by their class names.
    RegisterDBGridProperties();
    TUpdateGuard<TCustomcvTreeList> update(this);
    TGroupingLock lock(this);
    // The nodes hold the old columns' cells: the rows load again.
    ClearNodes();
    FGroupColumns.clear();
    FRegroupPending = true;
    TCustomcvDBTreeListControl::AssignColumns(Source);
    const auto* grid = dynamic_cast<const TCustomcvDBGrid*>(Source);
    for (int i = 0; grid && i < grid->GroupColumnCount(); ++i)
        if (auto* column = dynamic_cast<TcvDBTreeListColumn*>(ColumnByName(grid->GroupColumns(i)->Name())))
            column->SetGroupIndex(i);
}

// The grouping lock ----------------------------------------------------------------------

void TCustomcvDBGrid::BeginGrouping() {
    if (FGroupingLockCount == 0) FGroupingLockMode = IsBufferMode() ? 1 : 2;
    ++FGroupingLockCount;
}

void TCustomcvDBGrid::EndGrouping() {
    if (FGroupingLockCount > 0) --FGroupingLockCount;
    if (FGroupingLockCount != 0) return;
    if (FGroupingLockMode == 1) FRegroupPending = false;
    bool changed = FGroupColumnNames->Count() != GroupColumnCount();
    for (int i = 0; !changed && i < GroupColumnCount(); ++i)
        changed = !SameText(FGroupColumnNames->Strings(i), GroupColumns(i)->FieldName());
    FGroupingLockMode = 0;
    if (changed) {
        Regroup();
    } else if (FRegroupPending && !FLoading && !IsBufferMode()) {
        // The same fields: the record nodes stay and only their groups are
        // placed again (a level's sort direction may have changed).
        FRefreshingGroupsInPlace = true;
        const TScopeGuard refreshed([this] { FRefreshingGroupsInPlace = false; });
        FullReload();
    }
}

void TCustomcvDBGrid::RebuildGroupList() {
    if (FOptions.Contains(egoSmartRefresh) && !FInLayoutChange && !IsBufferMode()) {
        FRegroupPending = true;
        FullReload();
        return;
    }
    // "%11d" pads with blanks, so the keys' string order is GroupIndex order.
    TStringList keys;
    keys.SetDuplicates(dupAccept);
    keys.SetSorted(true);
    for (int i = 0; i < GetAbsoluteColumnCount(); ++i) {
        TcvDBTreeListColumn* column = DBColumns(i);
        if (column && column->GroupIndex() >= 0) keys.AddObject(Format("%11d", column->GroupIndex()), column);
    }
    if (keys.Count() == 0) {
        if (!IsBufferMode()) Regroup();
        return;
    }
    TGroupingLock lock(this);
    FGroupColumns.clear();
    FRegrouping = true;
    const TScopeGuard regrouped([this] { FRegrouping = false; });
    for (int i = 0; i < keys.Count(); ++i) {
        auto* column = static_cast<TcvDBTreeListColumn*>(keys.Objects(i));
        SetColumnGroupIndex(column, column->GroupIndex());
    }
    FRegroupPending = false;
}

void TCustomcvDBGrid::Regroup() {
    // The lock compares with the fields the tree was last grouped by: a
    // column bound to another field regroups, a column taken out and put
    // back does not.
    FGroupColumnNames->Clear();
    for (int i = 0; i < GroupColumnCount(); ++i)
        FGroupColumnNames->Add(GroupColumns(i)->FieldName());
    TUpdateGuard<TCustomcvTreeList> update(this);
    HideEditor();
    // A smart reload keeps the nodes to walk them; only the in-memory mode
    // reloads them, so another mode starts without them.
    if (!(FOptions.Contains(egoSmartReload) && FRegroupPending && IsLoadAllMode())) ClearNodes();
    ClearSelection();
    FBeginningReached = false;
    FEndReached = false;
    if (FDataLink->Active()) {
        TCustomcvDBTreeListControl::BindingChanged();
        for (int i = 0; i < GetAbsoluteColumnCount(); ++i)
            if (TcvDBTreeListColumn* column = DBColumns(i)) column->SetFieldName(column->FieldName());
    }
    if (IsBufferMode())
        FDataLink->SetBufferCount(1);
    else
        FullReload();
    Fire(OnReloadGroupList, this);
}

// Placing records ----------------------------------------------------------------------

int TCustomcvDBGrid::CompareGroupValues(const Variant& A, const Variant& B) const {
    if (VarIsStr(A) && VarIsStr(B)) {
        std::string a = VarToStr(A);
        std::string b = VarToStr(B);
        if (FOptionsBehavior.Contains(edgoCaseInsensitive)) {
            a = AnsiUpperCase(a);
            b = AnsiUpperCase(b);
        }
        if (a == b) return 0;
        if (IsAnsiSort()) {
            const int result = AnsiCompareStr(a, b);
            return (result > 0) - (result < 0);
        }
        return a < b ? -1 : 1;
    }
    // The platform's order already puts Null before every value.
    return cvDBCtrl::CompareVariants(A, B);
}

TcvDBGridNode* TCustomcvDBGrid::FindGroupNode(TcvTreeListNode* Parent, int Level, const Variant& Value,
                                              int& Position) const {
    const int count = Parent ? Parent->Count() : Count();
    const auto child = [&](int Index) {
        return static_cast<TcvDBGridNode*>(Parent ? Parent->Items(Index) : Items(Index));
    };
    Position = count;
    if (count == 0) return nullptr;
    // Records mostly come in group order: the last group is the likely one.
    if (CompareGroupValues(child(count - 1)->GroupValue, Value) == 0) {
        Position = count - 1;
        return child(count - 1);
    }
    const int direction = GroupColumns(Level)->Sorted() == csDown ? -1 : 1;
    int low = 0;
    int high = count - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int order = direction * CompareGroupValues(child(middle)->GroupValue, Value);
        if (order == 0) {
            Position = middle;
            return child(middle);
        }
        if (order < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    Position = low;
    return nullptr;
}

TcvDBGridNode* TCustomcvDBGrid::PlaceRecordInGroups(int RecordNumber, const TcvDBGridNode* Record) {
    TcvDBGridNode* parent = nullptr;
    for (int level = 0; level < GroupColumnCount(); ++level) {
        TcvDBTreeListColumn* column = GroupColumns(level);
        TField* field = column->Field();
        const Variant value = Record ? Record->StoredValue(column->GetIndex()) : field ? field->Value() : Null();
        int position = 0;
        TcvDBGridNode* node = FindGroupNode(parent, level, value, position);
        if (!node) {
            TcvTreeListNode* before = parent ? parent->Items(position) : Items(position);
            node = static_cast<TcvDBGridNode*>(parent ? parent->InsertChild(before) : Insert(before));
            if (Record)
                CopyRecordCells(node, Record);
            else
                LoadRecordNode(node, RecordNumber);
            node->GroupValue = value;
        }
        parent = node;
    }
    return parent;
}

void TCustomcvDBGrid::CopyRecordCells(TcvDBGridNode* Node, const TcvDBGridNode* Record) const {
    Node->KeyText = Record->KeyText;
    Node->Bookmark = Record->Bookmark;
    Node->RecordNumber = Record->RecordNumber;
    Node->KeyValue = Record->KeyValue;
    Node->CopyCells(*Record);
}

bool TCustomcvDBGrid::TakeLoadedRecords(std::vector<TcvDBGridNode*>& Records) const {
    for (TcvTreeListNode* node = Items(0); node; node = node->GetNext())
        if (node->Count() == 0) Records.push_back(static_cast<TcvDBGridNode*>(node));
    // Records that came or went, or rows the node filter freed, need the dataset.
    if (Records.empty() || int(Records.size()) != DataSet()->RecordCount()) return false;
    // A column bound after the load has no value in the nodes to group by.
    for (const TcvDBGridNode* record : Records)
        for (int level = 0; level < GroupColumnCount(); ++level)
            if (record->StoredValue(GroupColumns(level)->GetIndex()).IsEmpty()) return false;
    if (!SummariesReadStoredValues()) return false;
    std::stable_sort(Records.begin(), Records.end(),
                     [](const TcvDBGridNode* A, const TcvDBGridNode* B) { return A->RecordNumber < B->RecordNumber; });
    return true;
}

bool TCustomcvDBGrid::SummariesReadStoredValues() const {
    // A node stores the values of the fields its columns show; any other
    // field is read from the dataset's current record.
    const auto shown = [this](const std::string& FieldName) {
        return FieldName.empty() || ColumnByFieldName(FieldName) != nullptr;
    };
    for (int i = 0; i < ColumnCount(); ++i) {
        const TcvDBTreeListColumn* column = DBColumns(i);
        if (column && column->SummaryFooterType() != cstNone && !shown(column->SummaryFooterField())) return false;
    }
    for (int level = 0; level < GroupColumnCount(); ++level) {
        const TcvDBTreeListColumn* column = GroupColumns(level);
        if (!shown(column->SummaryField())) return false;
        const TcvDBGridSummaryGroup* group = FindSummaryGroup(column);
        for (int i = 0; group && i < group->SummaryItems()->Count(); ++i)
            if (!shown(group->SummaryItems()->Items(i)->SummaryField())) return false;
    }
    return true;
}

void TCustomcvDBGrid::PlaceLoadedRecords(const std::vector<TcvDBGridNode*>& Records) {
    // The record nodes leave the tree, the group rows go, and each record
    // finds its new group path in the order the dataset holds them.
    for (TcvDBGridNode* record : Records)
        record->Detach();
    while (Count() > 0)
        delete Items(0);
    for (TcvDBGridNode* record : Records) {
        TcvDBGridNode* group = PlaceRecordInGroups(record->RecordNumber, record);
        record->AppendToRoot();
        if (group) record->MoveRootToParent(group, Count() - 1);
        DoCalcSummary(record);
    }
}

TcvDBGridNode* TCustomcvDBGrid::LoadRecordNode(TcvDBGridNode* Node, int RecordNumber) {
    Node->Bookmark = FDataLink->DataSet()->Bookmark();
    Node->KeyText = RecordKeyText();
    Node->RecordNumber = RecordNumber;
    LoadNodeFromRecord(Node);
    return Node;
}

void TCustomcvDBGrid::TakeFirstRecordKeys() {
    if (GroupColumnCount() == 0) return;
    // Children before their parent: the deepest levels come first.
    const std::function<void(TcvTreeListNode*)> take = [&](TcvTreeListNode* Node) {
        if (!Node->HasChildren() || Node->Count() == 0) return;
        for (int i = 0; i < Node->Count(); ++i)
            take(Node->Items(i));
        auto* node = static_cast<TcvDBGridNode*>(Node);
        const auto* first = static_cast<const TcvDBGridNode*>(Node->GetFirstChild());
        node->KeyText = first->KeyText;
        node->Bookmark = first->Bookmark;
        node->RecordNumber = first->RecordNumber;
    };
    for (int i = 0; i < Count(); ++i)
        take(Items(i));
}

void TCustomcvDBGrid::RemoveFieldlessGroupColumns() {
    const auto fieldless = [this](int Position) { return !DataSet()->FindField(GroupColumns(Position)->FieldName()); };
    bool any = false;
    for (int position = 0; position < GroupColumnCount() && !any; ++position)
        any = fieldless(position);
    if (!any) return;
    TGroupingLock lock(this);
    for (int position = GroupColumnCount() - 1; position >= 0; --position)
        if (fieldless(position)) RemoveGroupColumn(position);
}

void TCustomcvDBGrid::FocusCollapsedGroup() {
    TField* field = GroupColumns(0)->Field();
    int position = 0;
    TcvDBGridNode* group = FindGroupNode(nullptr, 0, field->Value(), position);
    if (!group) return;
    TDataSet* dataSet = DataSet();
    if (IsUseLocate()) {
        LocateNodeRecord(nullptr, group, true, group->KeyText);
    } else {
        dataSet->First();
        dataSet->MoveBy(group->RecordNumber);
    }
    TcvTreeListNode* node = group;
    if (FOptions.Contains(egoSeekDetail))
        while (node->HasChildren())
            node = node->GetFirstChild();
    FocusSynced(node);
}

// The smart regroup ------------------------------------------------------------------------

bool TCustomcvDBGrid::SmartRegroupRecord() {
    TDataSet* dataSet = DataSet();
    // Only a changed record: a record that came or went, or a summed field
    // the nodes do not hold, needs the whole walk.
    if (GroupColumnCount() == 0 || !dataSet || FKeyValues->Count() != dataSet->RecordCount() ||
        !SummariesReadStoredValues())
        return false;
    auto* node = static_cast<TcvDBGridNode*>(FindRecordNode(RecordKeyText()));
    if (!node) return false;
    TUpdateGuard<TCustomcvTreeList> update(this);
    LoadNodeFromRecord(node);
    TcvTreeListNode* oldParent = node->Parent();
    TcvDBGridNode* group = PlaceRecordInGroups(node->RecordNumber);
    if (group != oldParent) {
        node->InternalMoveTo(group, natAddChild);
        while (oldParent && oldParent->Count() == 0) {
            TcvTreeListNode* above = oldParent->Parent();
            delete oldParent;
            oldParent = above;
        }
    }
    CalculateSummaries();
    ResortNodes();
    TakeFirstRecordKeys();
    return true;
}

// Group rows ---------------------------------------------------------------------------

void TCustomcvDBGrid::DoEditing(TcvTreeListNode* Node, bool& Allow) {
    if (IsGroupNode(Node)) {
        Allow = false;
        return;
    }
    TCustomcvDBTreeListControl::DoEditing(Node, Allow);
}

// Group levels -------------------------------------------------------------------------

bool TCustomcvDBGrid::IsGroupLevel(int Level) const {
    const TcvDBTreeListColumn* column = GroupColumns(Level);
    const TcvDBGridSummaryGroup* group = column ? FindSummaryGroup(column) : nullptr;
    if (!group) return false;
    for (int i = 0; i < group->SummaryItems()->Count(); ++i)
        if (DBColumnByName(group->SummaryItems()->Items(i)->ColumnName())) return true;
    return false;
}

bool TCustomcvDBGrid::IsGroupLevelNode(const TcvTreeListNode* Node, int Column, int Level) const {
    (void)Node;
    if (Level < 0 || Level >= GroupColumnCount()) return false;
    const std::vector<int>& columns = LevelSummaryMap()[size_t(Level)];
    return Column >= 0 && Column < int(columns.size()) && columns[size_t(Column)] >= 0;
}
