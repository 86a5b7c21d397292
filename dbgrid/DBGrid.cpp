// The grid object: its defaults, life cycle, data link and node, and the
// tree-list answers that depend on the loading mode. The loading itself lives
// in DBGridLoading.cpp.
#include "dbgrid/DBGrid.h"
#include "dbgrid/FilterPopupListBox.h"

#include "platform/rtl/Classes.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/MessageQueue.h"

#include <algorithm>

// The data link -------------------------------------------------------------------------

TcvGridDataLink::TcvGridDataLink(TCustomcvDBGrid* AGrid) : TcvDBTreeListControlDataLink(AGrid), FGrid(AGrid) {}

void TcvGridDataLink::FocusControl(TField*& Field) {
    if (!Field || !FGrid->FOptions.Contains(egoCanNavigation)) return;
    if (!FGrid->IsBufferMode() && FGrid->FocusedNode()) {
        TcvTreeListNode* node = FGrid->FocusedNode();
        while (node->GetFirstChild())
            node = node->GetFirstChild();
        node->SetFocused(true);
        node->MakeVisible();
    }
    if (FGrid->FOptionsView.Contains(edgoRowSelect)) return;
    if (FGrid->IsNewItemRowShown()) FGrid->SetNewItemRowActive(true);
    TcvDBTreeListControlDataLink::FocusControl(Field);
    // The request is handled once the field's editor opens.
    const TcvDBTreeListColumn* column = FGrid->DBColumns(FGrid->GetFocusedAbsoluteIndex());
    if (!column || column->Field() != Field || !FGrid->CanFocusEditor()) return;
    Field = nullptr;
    FGrid->ShowEditor();
}

void TcvGridDataLink::LayoutChanged() {
    // The grouped fields may have gone or changed: one regroup when they did.
    const bool grouping = !FGrid->IsBufferMode();
    if (grouping) FGrid->BeginGrouping();
    FGrid->LayoutChanged();
    FGrid->FInLayoutChange = true;
    TScopeGuard inLayoutChange([this] { FGrid->FInLayoutChange = false; });
    if (grouping) FGrid->EndGrouping();
    if (!FGrid->IsBufferMode() && FGrid->FGroupingLockCount != 0) return;
    TcvDBTreeListControlDataLink::LayoutChanged();
}

// The node ----------------------------------------------------------------------------

void TcvDBGridNode::Delete() {
    auto* grid = static_cast<TCustomcvDBGrid*>(Owner());
    if (!grid->FDataLink->Active()) return;
    if (grid->IsBufferMode()) {
        if (!Focused()) return;
    } else {
        if (grid->IsGroupNode(this) || !grid->FOptions.Contains(egoCanNavigation)) return;
        if (!grid->LocateNodeRecord(grid->FocusedNode(), this, grid->IsUseLocate(), KeyText)) return;
    }
    grid->FDeletingNode = this;
    grid->FDeletedNodeKey = KeyText;
    grid->FDataLink->DataSet()->Delete();
}

// The grid ----------------------------------------------------------------------------

TCustomcvDBGrid::TCustomcvDBGrid(TComponent* AOwner) : TCustomcvDBTreeListControl(AOwner) {
    FDataLink = std::make_unique<TcvGridDataLink>(this);
    // Straight into the fields: the setters' translation would run on a half-made grid.
    FOptionsBehavior = cvDBGrid::DefaultOptionsBehavior;
    FOptionsCustomize = cvDBGrid::DefaultOptionsCustomize;
    FOptionsDB = cvDBGrid::DefaultOptionsDB;
    FOptionsView = cvDBGrid::DefaultOptionsView;
    FOptions = cvDBGrid::DefaultOptions;
    FOptionsEx = cvDBGrid::DefaultOptionsEx;
    SetHideFocusRect(false);
    SetHideSelection(false);
    SetNoRootIndent(true);
    SetShowGrid(true);
    unsigned options = TCustomcvTreeList::Options();
    unsigned optionsEx = TCustomcvTreeList::OptionsEx();
    cvDBGrid::WriteTreeListBits(FOptionsBehavior, options, optionsEx);
    cvDBGrid::WriteTreeListBits(FOptionsCustomize, options, optionsEx);
    cvDBGrid::WriteTreeListBits(FOptionsView, options, optionsEx);
    TCustomcvTreeList::SetOptions(options);
    TCustomcvTreeList::SetOptionsEx(optionsEx);
    SetHideSelectionColor(clHighlight);
    SetHideSelectionTextColor(clHighlightText);
    FGroupColumnNames = std::make_unique<TStringList>();
    FKeyValues = std::make_unique<TStringList>();
    FSummaryGroups = std::make_unique<TcvDBGridSummaryGroups>(this);
    cvDBCtrl::RegisterControl(this);
}

TCustomcvDBGrid::~TCustomcvDBGrid() {
    // The link's last notifications must find the grid going, not reloading.
    Destroying();
    // While the columns, the filter and the grouping are whole; a failing
    // store is reported, since nothing may leave a destructor.
    RunGuarded([this] { StoreLayout(); });
    FreeFilterObjects();
    FLevelSummaryMap.clear();
    FKeyValues.reset();
    FValueRecords.clear();
    FSummaryGroups.reset();
    FGroupColumnNames.reset();
    ClearSelection();
    FGroupColumns.clear();
    // The link goes before the nodes: nothing reads a row while they are freed.
    FDataLink->SetDataSource(nullptr);
    FDataLink.reset();
    cvDBCtrl::UnregisterControl(this);
}

void TCustomcvDBGrid::SetDataSource(TDataSource* Value) {
    if (Value == FDataLink->DataSource()) return;
    if (FDataLink->DataSource()) FDataLink->DataSource()->RemoveFreeNotification(this);
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
}

void TCustomcvDBGrid::Loaded() {
    if (FStreamingLayout) return TComponent::Loaded();
    TUpdateGuard<TCustomcvTreeList> update(this);
    FLoading = true;
    TScopeGuard loading([this] { FLoading = false; });
    TCustomcvDBTreeListControl::Loaded();
    {
        FInLayoutChange = true;
        TScopeGuard inLayoutChange([this] { FInLayoutChange = false; });
        RebuildGroupList();
    }
    BindingChanged();
    RestoreLayout();
    if (IsAutoHeaderPanelHeight()) AdjustHeaderPanelRowCount();
    // A link that came alive inside the bracket loaded nothing yet.
    if (FDataLink->Active() && !IsBufferMode()) FullReload();
}

void TCustomcvDBGrid::LayoutStreamed() {
    if (!FStreamingLayout) Loaded();
}

void TCustomcvDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomcvDBTreeListControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (FDataLink && AComponent == FDataLink->DataSource()) {
        FDataLink->SetDataSource(nullptr);
        return;
    }
    auto* field = dynamic_cast<TField*>(AComponent);
    if (!field) return;
    std::vector<TcvDBTreeListColumn*> affected;
    for (int i = 0; i < GetAbsoluteColumnCount(); ++i)
        if (DBColumns(i) && DBColumns(i)->Field() == field) affected.push_back(DBColumns(i));
    if (KeyFieldObject() == field) SetKeyFieldObject(nullptr);
    if (PreviewField() == field) ClearPreviewField();
    TDataSet* dataSet = DataSet();
    if (affected.empty() || (dataSet && dataSet->ComponentState().Contains(csDestroying))) return;
    // The field is being freed: a failing reload is reported, not thrown out of its destructor.
    RunGuarded([&] {
        TUpdateGuard<TCustomcvTreeList> update(this);
        for (TcvDBTreeListColumn* column : affected)
            column->SetFieldName(column->FieldName());
        if (!IsBufferMode() && FDataLink->Active()) LinkActiveChanged(dataSet->Active());
    });
}

void TCustomcvDBGrid::EndDragGroupColumn(TcvTreeListColumn* Column, int NewPosition, bool& Accept) {
    Fire(OnEndDragGroupColumn, this, Column, NewPosition, Accept);
}

void TCustomcvDBGrid::ClearNodeData() {
    Fire(OnClearNodeData, this);
}

bool TCustomcvDBGrid::IsNodeSearchMode() const {
    return IsLoadAllMode() || (FBeginningReached && FEndReached);
}

bool TCustomcvDBGrid::IsBookmarkSelection() const {
    return FOptionsDB.Contains(edgoUseBookmarks) || IsBufferMode();
}

void TCustomcvDBGrid::BindingChanged() {
    TCustomcvDBTreeListControl::BindingChanged();
    LookUpKeyField();
    SyncWithDataSet();
}

bool TCustomcvDBGrid::IsDblClickEnabled() const {
    return FOptions.Contains(egoDblClick);
}

bool TCustomcvDBGrid::IsGroupNode(const TcvTreeListNode* Node) const {
    return Node && Node->Level() < GroupColumnCount();
}

void TCustomcvDBGrid::SetSummarySeparator(const std::string& Value) {
    if (FSummarySeparator == Value) return;
    FSummarySeparator = Value;
    Invalidate();
}

void TCustomcvDBGrid::ClearCache() {
    TCustomcvDBTreeListControl::ClearCache();
    FLevelSummaryMap.clear();
    // The nodes are going all at once, without a deletion each.
    if (Clearing()) {
        ClearFieldNodes();
        FRecordNodes.clear();
    }
}

TcvTreeListNode* TCustomcvDBGrid::CreateNode() {
    return new TcvDBGridNode(this);
}

bool TCustomcvDBGrid::CanCacheRowHeight() const {
    return TCustomcvDBTreeListControl::CanCacheRowHeight() && !IsBufferMode();
}

bool TCustomcvDBGrid::IsRowHeightVariable() const {
    return TCustomcvDBTreeListControl::IsRowHeightVariable() ||
           (IsBufferMode() && (State() == 2 || State() == 3));
}

void TCustomcvDBGrid::HideColumn(int Column) {
    TCustomcvDBTreeListControl::HideColumn(Column);
    Fire(OnHideColumn, this, Columns(Column));
}

void TCustomcvDBGrid::ShowColumnAt(int Band, int Row, int Column, int Position) {
    TCustomcvDBTreeListControl::ShowColumnAt(Band, Row, Column, Position);
    Fire(OnShowColumn, this, Columns(Column));
}

void TCustomcvDBGrid::RemoveColumn(TcvTreeListColumn* Column) {
    const auto grouped = std::find(FGroupColumns.begin(), FGroupColumns.end(), Column);
    const bool wasGrouped = grouped != FGroupColumns.end();
    if (wasGrouped) FGroupColumns.erase(grouped);
    if (FFilterPopup && FFilterPopup->Column() == Column) FFilterPopup->SetColumn(nullptr);
    TCustomcvDBTreeListControl::RemoveColumn(Column);
    // The criteria keep no pointer to a column that went.
    PrepareFilter();
    if (wasGrouped && !ComponentState().Contains(csDestroying)) {
        // The levels below the one that went move up.
        for (int i = 0; i < GroupColumnCount(); ++i)
            StoreGroupIndex(GroupColumns(i), i);
        FRegroupPending = true;
        if (FGroupingLockCount == 0) Regroup();
    }
}

void TCustomcvDBGrid::RecordChanged(TField* Field) {
    (void)Field;
    RefreshRow(FocusedNode());
}

bool TCustomcvDBGrid::IsFieldNode(const TcvTreeListNode* Node) const {
    const auto& nodes = FieldNodes();
    return std::find(nodes.begin(), nodes.end(), Node) != nodes.end();
}

// Column classes ---------------------------------------------------------------------

const TcvDBTreeListColumnClass& TCustomcvDBGrid::GetDefaultColumnClass() const {
    return TcvColumnClassOf<TcvDBGridColumn>::Instance();
}

const TcvDBTreeListColumnClass& TCustomcvDBGrid::GetColumnClass(TField* Field) const {
    return cvDBGrid::GetColumnClass(*Field);
}

// Nodes under edit -------------------------------------------------------------------

void TCustomcvDBGrid::DoNodeDeletion(TcvTreeListNode* Node, TcvTreeListNode* Previous, bool Relayout,
                                     TcvTreeListNode* Next) {
    RemoveFieldNode(Node);
    FRecordNodes.clear();
    TCustomcvDBTreeListControl::DoNodeDeletion(Node, Previous, Relayout, Next);
}
