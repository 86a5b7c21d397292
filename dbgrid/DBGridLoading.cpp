// The grid's three ways of getting its rows, its focusing and its answers to
// the data link. In the record-buffer mode the nodes are the link's buffer
// rows and every move is a dataset move; the in-memory and partial loads walk
// the dataset with its controls disabled and put it back where it was.
#include "dbgrid/DBGrid.h"

#include "platform/data/DB.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

// Records of a partial load: this many screens around the current one.
constexpr int PartialLoadScreens = 5;

bool IsEditingState(TDataSetState State) {
    return State == dsEdit || State == dsInsert || State == dsSetKey;
}

// Where a load found the dataset, and the way back there: the bookmark, the
// row of the link's buffer it was shown at, and BOF/EOF.
class TDataSetPosition {
public:
    TDataSetPosition(TDataSet* DataSet, TDataLink* Link)
        : FDataSet(DataSet), FLink(Link), FBookmark(DataSet->Bookmark()), FActiveRecord(Link->ActiveRecord()),
          FBof(DataSet->Bof()), FEof(DataSet->Eof()) {}
    const TBookmarkStr& Bookmark() const { return FBookmark; }
    bool Bof() const { return FBof; }
    bool Eof() const { return FEof; }

    void Restore() const {
        if (FBookmark.empty() || !FDataSet->BookmarkValid(FBookmark)) return;
        FDataSet->GotoBookmark(FBookmark);
        // Moving away and back leaves the record on the same buffer row.
        if (FLink->BufferCount() > 1 && FActiveRecord > 0) {
            FDataSet->MoveBy(-FActiveRecord);
            FDataSet->MoveBy(FActiveRecord);
        }
        if (FBof)
            FDataSet->Prior();
        else if (FEof)
            FDataSet->Next();
    }

private:
    TDataSet* FDataSet;
    TDataLink* FLink;
    TBookmarkStr FBookmark;
    int FActiveRecord;
    bool FBof;
    bool FEof;
};

} // namespace

// Modes ----------------------------------------------------------------------------

bool TCustomcvDBGrid::IsWindowedMode() const {
    if (FOptions.Contains(egoLoadAllRecords)) return false;
    return !(FDataLink->Active() && !FGroupColumns.empty());
}

bool TCustomcvDBGrid::IsPartialLoadMode() const {
    return IsWindowedMode() && FOptionsDB.Contains(edgoPartialLoad);
}

bool TCustomcvDBGrid::IsBufferMode() const {
    return IsWindowedMode() && !FOptionsDB.Contains(edgoPartialLoad);
}

bool TCustomcvDBGrid::IsLoadAllMode() const {
    return !IsWindowedMode();
}

bool TCustomcvDBGrid::IsUseLocate() const {
    return FOptions.Contains(egoUseLocate) || FOptions.Contains(egoSmartRefresh) || IsNodeFilterActive();
}

// Record-buffer rows ----------------------------------------------------------------

bool TCustomcvDBGrid::RowsHaveOneHeight() const {
    return !IsRowAutoHeight() && !(IsPreviewShown() && IsAutoCalcPreviewLines());
}

void TCustomcvDBGrid::CalcVisibleRows() {
    TCustomcvDBTreeListControl::CalcVisibleRows();
    if (FCountingRows || !IsBufferMode() || !FDataLink->Active()) return;
    FCountingRows = true;
    TScopeGuard countingRows([this] { FCountingRows = false; });
    // The buffer grows a row at a time until the rows fill the rows area or
    // the dataset runs out; a partly shown last row is given back.
    const int height = CalcRectInfo().Rows.Height();
    bool updating = false;
    TScopeGuard endUpdate([this, &updating] {
        if (updating) EndUpdateNoLayout();
    });
    while (Count() == 0 || -GetRowsPixelDistance(-Count()) < height) {
        FDataLink->SetBufferCount(Count() + 1);
        if (FDataLink->RecordCount() < FDataLink->BufferCount()) break;
        // Only a row to add opens the update: it would close an open editor.
        if (!updating) {
            BeginUpdate();
            updating = true;
        }
        Add();
    }
    if (Count() > 1 && -GetRowsPixelDistance(-Count()) > height) {
        if (!updating) {
            BeginUpdate();
            updating = true;
        }
        delete Items(Count() - 1);
        FDataLink->SetBufferCount(Count());
    }
    TCustomcvDBTreeListControl::CalcVisibleRows();
}

void TCustomcvDBGrid::SetBufferNodeCount(int NodeCount) {
    if (Count() == NodeCount) return;
    {
        BeginUpdate();
        TScopeGuard endUpdate([this] { EndUpdateNoLayout(); });
        while (Count() > NodeCount)
            delete Items(Count() - 1);
        while (Count() < NodeCount)
            Add();
    }
    Invalidate();
}

void TCustomcvDBGrid::UpdateScrollBars() {
    TCustomcvDBTreeListControl::UpdateScrollBars();
    if (FUpdatingScrollBars) return;
    FUpdatingScrollBars = true;
    TScopeGuard guard([this] { FUpdatingScrollBars = false; });
    if (!IsBufferMode()) {
        if (FDataLink->Active()) FDataLink->SetBufferCount(1);
        return;
    }
    int nodeCount = 1;
    if (FDataLink->Active() && FDataLink->RecordCount() != 0 && HandleAllocated()) {
        if (FDataLink->BufferCount() != VisibleRowCount()) FDataLink->SetBufferCount(VisibleRowCount());
        if (FDataLink->ActiveRecord() != GetFocusedRowIndex()) HideEditorAndFocus();
        nodeCount = FDataLink->RecordCount();
    }
    SetBufferNodeCount(nodeCount);
    SyncWithDataSet();
}

void TCustomcvDBGrid::SyncWithDataSet() {
    FSyncing = true;
    TScopeGuard syncing([this] { FSyncing = false; });
    TDataSet* dataSet = FDataLink->DataSet();
    if (FDataLink->Active() && !ComponentState().Contains(csLoading) && dataSet && dataSet->Active()) {
        if (IsBufferMode()) {
            const int activeRecord = FDataLink->ActiveRecord();
            if (HandleAllocated() && (!FocusedNode() || activeRecord != GetFocusedRowIndex())) {
                HideEditor();
                if (activeRecord >= 0 && activeRecord < Count()) Items(activeRecord)->SetFocused(true);
            }
        } else {
            if (Parent() && !HandleAllocated()) HandleNeeded();
            if (!FRefreshingNodes) FocusCurrentRecord();
            if (HandleAllocated()) TCustomcvDBTreeListControl::UpdateScrollBars();
        }
    }
    CheckEditorValue();
}

void TCustomcvDBGrid::BeginNodeAccess(TcvTreeListNode* Node) {
    if (FNodeAccessNesting++ == 0 && IsBufferMode() && FDataLink->Active()) {
        FSavedActiveRecord = FDataLink->ActiveRecord();
        FDataLink->SetActiveRecord(Node->Index());
    }
}

void TCustomcvDBGrid::EndNodeAccess(TcvTreeListNode* Node) {
    (void)Node;
    if (--FNodeAccessNesting == 0 && IsBufferMode() && FDataLink->Active())
        FDataLink->SetActiveRecord(FSavedActiveRecord);
}

bool TCustomcvDBGrid::IsFirstNode(const TcvTreeListNode* Node) const {
    if (IsBufferMode() && FDataLink->Active()) return FDataLink->DataSet()->Bof();
    const bool first = TCustomcvDBTreeListControl::IsFirstNode(Node);
    return IsPartialLoadMode() ? first && FBeginningReached : first;
}

bool TCustomcvDBGrid::IsLastNode(const TcvTreeListNode* Node) const {
    if (IsBufferMode() && FDataLink->Active()) return FDataLink->DataSet()->Eof();
    const bool last = TCustomcvDBTreeListControl::IsLastNode(Node);
    return IsPartialLoadMode() ? last && FEndReached : last;
}

bool TCustomcvDBGrid::IsBOF() const {
    if (IsLoadAllMode()) return TCustomcvDBTreeListControl::IsBOF();
    if (IsPartialLoadMode()) return FBeginningReached && TCustomcvDBTreeListControl::IsBOF();
    TDataSet* dataSet = FDataLink->DataSet();
    return !dataSet || dataSet->Bof();
}

bool TCustomcvDBGrid::IsEOF() const {
    if (IsLoadAllMode()) return TCustomcvDBTreeListControl::IsEOF();
    if (IsPartialLoadMode()) return FEndReached && TCustomcvDBTreeListControl::IsEOF();
    TDataSet* dataSet = FDataLink->DataSet();
    return !dataSet || dataSet->Eof();
}

TcvTreeListNode* TCustomcvDBGrid::GetNavigationNode(TcvTreeListNode* Node, TcvNavigation Direction,
                                                     bool InTreeOrder) {
    if (IsLoadAllMode() || (FBeginningReached && FEndReached))
        return TCustomcvDBTreeListControl::GetNavigationNode(Node, Direction, InTreeOrder);
    TDataSet* dataSet = FDataLink->DataSet();
    if (!dataSet) return nullptr;
    switch (Direction) {
    case navFirst:
        dataSet->First();
        break;
    case navPrev:
        dataSet->Prior();
        if (dataSet->Bof()) return nullptr;
        break;
    case navNext:
        dataSet->Next();
        if (dataSet->Eof()) return nullptr;
        break;
    case navLast:
        dataSet->Last();
        break;
    }
    return FocusedNode();
}

// The vertical scroll bar --------------------------------------------------------------

void TCustomcvDBGrid::GetVertScrollInfo(int& Min, int& Max, int& Page, int& Position) {
    if (!IsBufferMode()) {
        TCustomcvDBTreeListControl::GetVertScrollInfo(Min, Max, Page, Position);
        return;
    }
    // Not sequenced: five places, top, a page up, the middle, a page down, bottom.
    constexpr int UnsequencedMax = 4;
    constexpr int UnsequencedMiddle = 2;
    Min = 0;
    Max = UnsequencedMax;
    Page = 0;
    TDataSet* dataSet = FDataLink->DataSet();
    if (!FDataLink->Active() || !dataSet || !dataSet->Active() || !HandleAllocated()) return;
    if (!dataSet->IsSequenced()) {
        Position = dataSet->Bof() ? 0 : dataSet->Eof() ? UnsequencedMax : UnsequencedMiddle;
        return;
    }
    // Rows that fill the rows area keep their count until the layout counts
    // them again; only a buffer that the dataset ran short of may grow here.
    if (!RowsHaveOneHeight() || Count() < RowsThatFit()) CalcVisibleRows();
    Min = 1;
    Page = VisibleRowCount();
    // Records that all fit leave nothing to scroll: the page covers the range.
    Max = dataSet->RecordCount() <= Page ? Page : dataSet->RecordCount() + Page - 1;
    const TDataSetState state = dataSet->State();
    if (dataSet->RecNo() != -1 && (state == dsBrowse || state == dsEdit)) Position = dataSet->RecNo();
}

void TCustomcvDBGrid::BufferVScroll(int Code, int Position) {
    if (!FDataLink->Active()) return;
    HideEditor();
    TDataSet* dataSet = FDataLink->DataSet();
    // The view moves by moving the current record just past the edge it
    // leaves by: the buffer then slides by exactly the distance asked for.
    const int rows = VisibleRowCount();
    const int row = FDataLink->ActiveRecord();
    switch (Code) {
    case SB_LINEUP:
        dataSet->MoveBy(-1 - row);
        break;
    case SB_LINEDOWN:
        dataSet->MoveBy(FDataLink->RecordCount() - row);
        break;
    case SB_PAGEUP:
        dataSet->MoveBy(-row - rows);
        break;
    case SB_PAGEDOWN:
        dataSet->MoveBy(2 * rows - 1 - row);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        // The thumb's place is a record number: the rows follow it while it
        // is dragged and stay where it is let go.
        if (dataSet->IsSequenced()) {
            if (Position <= 1)
                dataSet->First();
            else if (Position >= dataSet->RecordCount())
                dataSet->Last();
            else
                dataSet->SetRecNo(Position);
        } else if (Code == SB_THUMBTRACK) {
            break;
        } else if (Position == 0) {
            dataSet->First();
        } else if (Position == 1) {
            dataSet->MoveBy(-rows);
        } else if (Position == 3) {
            dataSet->MoveBy(rows);
        } else if (Position == 4) {
            dataSet->Last();
        }
        break;
    case SB_TOP:
        dataSet->First();
        break;
    case SB_BOTTOM:
        dataSet->Last();
        break;
    default:
        break;
    }
}

// Focusing ----------------------------------------------------------------------------

void TCustomcvDBGrid::SetFocusedRowIndex(int Row) {
    if (Count() == 0) return;
    if (IsBufferMode()) {
        if (!FDataLink->Active()) return;
        // Before the first focusing the current record's row stands for it.
        const int distance = Row - (FocusedNode() ? GetFocusedRowIndex() : FDataLink->ActiveRecord());
        if (distance != 0) FDataLink->DataSet()->MoveBy(distance);
        return;
    }
    if (FocusedNode() && Row == GetFocusedRowIndex()) return;
    Row = std::clamp(Row, 0, GetVisibleRowCount() - 1);
    if (FocusedNode() && Row == GetFocusedRowIndex()) return;
    SetFocusedCell(GetRowNode(Row), FRecordRowColumn > 0 ? FRecordRowColumn : GetFocusedColumn(), true);
}

void TCustomcvDBGrid::SetFocusedCell(TcvTreeListNode* Node, int VisibleColumn, bool MakeVisible) {
    if (!Node) return;
    // The node is watched while it is focused; it stays listed only when an
    // edit of its record had entered it already.
    const bool watched = !IsFieldNode(Node);
    AddFieldNode(Node);
    const TScopeGuard unwatched([this, Node, watched] {
        if (watched) RemoveFieldNode(Node);
    });
    // A deleted node leaves the list: the focusing is then abandoned.
    const auto nodeLeft = [this, Node] { return !IsFieldNode(Node); };
    if (!FSyncing) {
        TCustomcvDBTreeListControl::SetFocusedCell(FocusedNode(), VisibleColumn, false);
        if (nodeLeft()) return;
        if (IsBufferMode()) {
            SetFocusedRowIndex(Node->Index());
            if (nodeLeft()) return;
            Node = GetRowNode(GetFocusedRowIndex());
            if (!Node) return;
        } else if (!FRefreshingNodes) {
            const std::string keyText = static_cast<TcvDBGridNode*>(Node)->KeyText;
            if (IsUseLocate()) {
                if (!LocateNodeRecord(FocusedNode(), Node, true, keyText)) return;
            } else {
                const bool wasEditing = IsEditingState(FDataLink->DataSet()->State());
                if (!LocateNodeRecord(FocusedNode(), Node, false, std::string())) return;
                // Moving away posted the record: go on only when it is still Node's.
                if (wasEditing && (nodeLeft() || !KeyFieldObject() || KeyFieldObject()->AsString() != keyText))
                    return;
            }
            if (nodeLeft()) return;
        }
    }
    TCustomcvDBTreeListControl::SetFocusedCell(Node, VisibleColumn, MakeVisible);
    if (FRecordRowColumn == -1) FRecordRowColumn = 0;
    if (FocusedNode() && !IsGroupNode(FocusedNode())) FRecordRowColumn = GetFocusedColumn();
}

// The data link's notifications -------------------------------------------------------

void TCustomcvDBGrid::Scroll(int Distance) {
    DataSetScrolled(-Distance);
}

void TCustomcvDBGrid::DataSetScrolled(int Distance) {
    if (IsPartialLoadMode() && Distance != 0 && FocusedNode()) {
        const int focused = FocusedRecordNumber();
        const int first = static_cast<TcvDBGridNode*>(Items(0))->RecordNumber;
        const int last = static_cast<TcvDBGridNode*>(GetLastVisibleNode())->RecordNumber;
        if (Distance < first - focused)
            LoadPartialWindow(0, 1);
        else if (Distance > last - focused)
            LoadPartialWindow(0, 2);
        FKeyValues->Clear();
    }
    if (!IsBufferMode()) {
        FocusCurrentRecord();
    } else if (HandleAllocated()) {
        // The rows' pixels move with their records, by whole rows (their
        // grid lines included); the row that lost the focus now shows
        // Distance rows higher.
        const int oldRow = GetFocusedRowIndex();
        if (Distance != 0 && std::abs(Distance) <= VisibleRowCount() && RowsHaveOneHeight() && Count() > 0) {
            ScrollRows(-Distance * GetRowHeight(FocusedNode(), DefaultRowHeight(), false));
            // What moved in from below the last whole row belongs to no row:
            // the rows that came in and the rest of the area paint afresh.
            InvalidateNode(Items(Distance > 0 ? std::max(Count() - Distance, 0) : Count() - 1), true);
        } else
            Invalidate();
        InvalidateNode(GetRowNode(oldRow - Distance), false);
        SyncWithDataSet();
        InvalidateNode(FocusedNode(), false);
        UpdateScrollBars();
        // The focused row may stay where it was with another record in it.
        DoChangeNodeEx();
    }
    SyncSelectionWithDataSet();
}

void TCustomcvDBGrid::DataChanged() {
    if (FOwnDataSetChange) {
        FOwnDataSetChange = false;
        return;
    }
    TDataSet* dataSet = FDataLink->DataSet();
    if (!dataSet) return;
    // A record deleted through the dataset leaves the selection.
    DropVanishedSelection();
    if (dataSet->State() != dsInsert) {
        FDeletingNode = nullptr;
        FDeletedNodeKey.clear();
    }
    if (IsBufferMode()) {
        UpdateScrollBars();
        Invalidate();
        if (dataSet->State() == dsInsert) {
            SyncWithDataSet();
            if (FOptions.Contains(egoResetColumnFocus)) SetFocusedColumn(0);
        }
        DoChangeNodeEx();
        return;
    }
    if (FLoading || dataSet->State() == dsEdit || dataSet->State() == dsSetKey) return;
    FRefreshingNodes = true;
    TScopeGuard refreshing([this] { FRefreshingNodes = false; });
    if (dataSet->State() == dsInsert) {
        TcvTreeListNode* before = dataSet->Eof() ? nullptr : FocusedNode();
        TcvTreeListNode* node = AddRecordNode(before, FocusedNode() ? FocusedRecordNumber() : 0);
        node->SetFocused(true);
        if (FOptions.Contains(egoResetColumnFocus)) SetFocusedColumn(0);
        return;
    }
    // A jump leaves the records as the rows hold them.
    if (dataSet->ChangeCount() == FLoadedChangeCount && FocusCurrentRecord()) return;
    if (FOptions.Contains(egoSmartRefresh) && SmartRegroupRecord()) {
        NoteRecordsLoaded();
        FocusCurrentRecord();
    } else {
        FullReload();
    }
}

void TCustomcvDBGrid::DoChangeNode(TcvTreeListNode* OldNode, TcvTreeListNode* Node) {
    TCustomcvDBTreeListControl::DoChangeNode(OldNode, Node);
    if (IsBufferMode() || FLoading || !Node || IsGroupNode(Node) || !FDataLink->Active()) return;
    if (static_cast<TcvDBGridNode*>(Node)->KeyText == RecordKeyText()) DoChangeNodeEx();
}

void TCustomcvDBGrid::DoChangeNodeEx() {
    if (!IsBufferMode()) return TCustomcvDBTreeListControl::DoChangeNodeEx();
    if (!ComponentState().Contains(csLoading) && FDataLink->Active()) Fire(OnChangeNodeEx, this);
}

void TCustomcvDBGrid::LoadNodeFromRecord(TcvTreeListNode* Node) {
    if (!IsBufferMode()) TCustomcvDBTreeListControl::LoadNodeFromRecord(Node);
}

void TCustomcvDBGrid::RefreshRow(TcvTreeListNode* Node) {
    if (!IsBufferMode() && FOptions.Contains(egoCanNavigation) && Node && KeyFieldObject()) {
        const std::string key = KeyFieldObject()->AsString();
        while (Node && Node->HasChildren()) {
            TcvTreeListNode* found = nullptr;
            for (int i = 0; i < Node->Count() && !found; ++i)
                if (static_cast<TcvDBGridNode*>(Node->Items(i))->KeyText == key) found = Node->Items(i);
            Node = found;
        }
        if (Node) {
            LoadNodeFromRecord(Node);
            DoCalcSummary(Node);
        }
    }
    if (RowsHaveOneHeight()) {
        if (Node) InvalidateNode(Node, false);
    } else {
        ResetRowHeights();
        Invalidate();
    }
}

void TCustomcvDBGrid::LinkActiveChanged(bool Active) {
    if (ComponentState().Contains(csDestroying)) return;
    if (!Active) HideEditor();
    // Takes the record count the next data-set change is measured against.
    DropVanishedSelection();
    TUpdateGuard<TCustomcvTreeList> update(this);
    ClearNodes();
    FBeginningReached = false;
    FEndReached = false;
    // A dataset opened after the form loaded brings new fields: bind to them.
    if (Active) TCustomcvDBTreeListControl::BindingChanged();
    if (IsBufferMode()) {
        FDataLink->SetBufferCount(1);
        return;
    }
    FullReload();
}

// The in-memory and partial loads -------------------------------------------------------

void TCustomcvDBGrid::LookUpKeyField() {
    TDataSet* dataSet = FDataLink->DataSet();
    SetKeyFieldObject(FDataLink->Active() && dataSet && !KeyField().empty() ? dataSet->FindField(KeyField())
                                                                            : nullptr);
}

std::string TCustomcvDBGrid::RecordKeyText() const {
    return KeyFieldObject() ? KeyFieldObject()->AsString() : FDataLink->DataSet()->Bookmark();
}

TcvDBGridNode* TCustomcvDBGrid::AddRecordNode(TcvTreeListNode* Before, int RecordNumber) {
    TcvDBGridNode* node = LoadRecordNode(static_cast<TcvDBGridNode*>(Insert(Before)), RecordNumber);
    ReselectLoadedNode(node);
    return node;
}

int TCustomcvDBGrid::FocusedRecordNumber() const {
    return FocusedNode() ? static_cast<TcvDBGridNode*>(FocusedNode())->RecordNumber : 0;
}

bool TCustomcvDBGrid::FocusCurrentRecord() {
    TDataSet* dataSet = FDataLink->DataSet();
    if (FLoading || Count() == 0 || !dataSet || !dataSet->Active() || IsBufferMode()) return false;
    TcvTreeListNode* current = CurrentRecordNode();
    if (current && current != FocusedNode()) FocusSynced(current);
    return current != nullptr;
}

TcvTreeListNode* TCustomcvDBGrid::CurrentRecordNode() {
    TDataSet* dataSet = FDataLink->DataSet();
    const std::string key = RecordKeyText();
    // While the records are those loaded, a record's number is its place in
    // the dataset: moves and jumps find their row at once.
    if (IsLoadAllMode() && dataSet->ChangeCount() == FLoadedChangeCount) {
        if (FRecordNodes.empty()) {
            FRecordNodes.assign(size_t(dataSet->RecordCount()), nullptr);
            cvDBGrid::ForEachNode(*this, [this](TcvDBGridNode* Node) {
                if (!IsGroupNode(Node) && Node->RecordNumber >= 0 && Node->RecordNumber < int(FRecordNodes.size()))
                    FRecordNodes[size_t(Node->RecordNumber)] = Node;
            });
        }
        const int number = dataSet->RecNo() - 1;
        if (number >= 0 && number < int(FRecordNodes.size()) && FRecordNodes[size_t(number)] &&
            FRecordNodes[size_t(number)]->KeyText == key)
            return FRecordNodes[size_t(number)];
    }
    return FindRecordNode(key);
}

void TCustomcvDBGrid::NoteRecordsLoaded() {
    TDataSet* dataSet = FDataLink->DataSet();
    FLoadedChangeCount = dataSet && dataSet->Active() ? dataSet->ChangeCount() : -1;
}

void TCustomcvDBGrid::FullReload() {
    if (ComponentState().Contains(csLoading)) return;
    if (IsPartialLoadMode()) {
        LoadPartialWindow(0, 0);
        return;
    }
    FLoading = true;
    TScopeGuard loading([this] {
        FLoading = false;
        FRegroupPending = false;
        NoteRecordsLoaded();
    });
    LookUpKeyField();
    TDataSet* dataSet = FDataLink->DataSet();
    TUpdateGuard<TCustomcvTreeList> update(this);
    const int focusedDistance = FocusedNode() ? GetFocusedRowIndex() - GetTopRowIndex() : 0;
    const bool buildable = CanBuildNodes();
    // A smart reload re-places the record nodes it has instead of reading
    // every record again.
    std::vector<TcvDBGridNode*> records;
    const bool smart = buildable &&
                       (FRefreshingGroupsInPlace || (FOptions.Contains(egoSmartReload) && FRegroupPending)) &&
                       TakeLoadedRecords(records);
    // The selected records come back selected on their new nodes.
    if (!smart) {
        SaveSelection();
        ClearNodes();
        FKeyValues->Clear();
    }
    const TScopeGuard reselected([this] { DiscardSavedSelection(); });
    if (!buildable) return;

    SetSelectionAnchor(nullptr);
    // The smart walk accumulates every record again too.
    BeginSummaries();
    std::optional<TDisableControlsScope> disabled;
    std::optional<TDataSetPosition> position;
    if (!smart) {
        disabled.emplace(dataSet);
        if (IsEditingState(dataSet->State())) dataSet->Cancel();
        position.emplace(dataSet, FDataLink.get());
    }
    std::unique_ptr<TScreenCursorScope> hourGlass;
    if (IsShowHourGlass()) hourGlass = std::make_unique<TScreenCursorScope>(crHourGlass);
    if (!smart) dataSet->First();
    ClearNodeData();
    if (IsNodeFilterActive()) PrepareFilter();

    TcvTreeListNode* current = nullptr;
    if (smart) {
        PlaceLoadedRecords(records);
        current = FindRecordNode(RecordKeyText());
    } else {
        current = LoadAllRecords(position->Bookmark());
    }
    // The filter may free the current record's row: the nearest row it
    // leaves takes the focus, and the dataset follows it there below.
    const int currentNumber = current ? static_cast<TcvDBGridNode*>(current)->RecordNumber : -1;
    if (IsNodeFilterActive()) {
        ApplyNodeFilter();
        current = current ? NearestRecordNode(currentNumber) : nullptr;
    }
    FinishSummaries();
    ResortGroupsBySummary();
    // The records came in dataset order: a sorted column orders them again.
    ResortNodes();
    TakeFirstRecordKeys();

    if (position) position->Restore();
    if (current) dataSet->MoveBy(static_cast<TcvDBGridNode*>(current)->RecordNumber - currentNumber);
    // Row queries on 100,000 rows need the row cache the update lock dropped.
    FocusedNodeChanged();
    if (current && GroupColumnCount() > 0 && FOptionsEx.Contains(egoCollapsedReload) &&
        FOptions.Contains(egoCanNavigation)) {
        FocusCollapsedGroup();
    } else if (current) {
        FocusSynced(current);
    }
    if (current) SetTopRowIndex(std::max(GetFocusedRowIndex() - focusedDistance, 0));
}

bool TCustomcvDBGrid::CanBuildNodes() {
    // Without a key field the rows could not be found again after a move.
    if (!KeyFieldObject() && FOptions.Contains(egoCanNavigation)) return false;
    TDataSet* dataSet = FDataLink->DataSet();
    if (FDataLink->Active() && dataSet && dataSet->Active()) RemoveFieldlessGroupColumns();
    if (IsBufferMode() || !dataSet || !dataSet->Active()) return false;
    for (int level = 0; level < GroupColumnCount(); ++level) {
        const TField* field = GroupColumns(level)->Field();
        if (!field || dynamic_cast<const TBlobField*>(field)) return false;
    }
    return true;
}

TcvTreeListNode* TCustomcvDBGrid::LoadAllRecords(const std::string& CurrentBookmark) {
    TDataSet* dataSet = FDataLink->DataSet();
    TcvTreeListNode* current = nullptr;
    // Nothing looks a loaded key up, only counts them: they stay in load
    // order, unsorted (a sort of every key cost a fifth of the load).
    FKeyValues->SetSorted(false);
    FKeyValues->SetCapacity(dataSet->RecordCount());
    for (int recordNumber = 0; !dataSet->Eof(); dataSet->Next(), ++recordNumber) {
        TcvDBGridNode* group = PlaceRecordInGroups(recordNumber);
        TcvTreeListNode* added = group ? group->AddChild() : Insert(nullptr);
        TcvDBGridNode* node = LoadRecordNode(static_cast<TcvDBGridNode*>(added), recordNumber);
        ReselectLoadedNode(node);
        FKeyValues->Add(node->KeyText);
        DoCalcSummary(node);
        if (!current && node->Bookmark == CurrentBookmark) current = node;
    }
    return current;
}

bool TCustomcvDBGrid::LocateNodeRecord(TcvTreeListNode* FocusedNode, TcvTreeListNode* Node, bool UseLocate,
                                       const std::string& KeyText) {
    TDataSet* dataSet = FDataLink->DataSet();
    if (!dataSet || !Node) return false;
    if (Node == FDeletingNode && dataSet->State() == dsInsert) return false;
    FLoading = true;
    // The mark covers only the move below: a later change is a real one.
    TScopeGuard loading([this] {
        FLoading = false;
        FOwnDataSetChange = false;
    });
    if (UseLocate) return dataSet->Locate(KeyField(), Variant(KeyText), {});
    const int from = FocusedNode ? static_cast<TcvDBGridNode*>(FocusedNode)->RecordNumber : 0;
    const int distance = static_cast<TcvDBGridNode*>(Node)->RecordNumber - from;
    FOwnDataSetChange = true;
    return dataSet->MoveBy(distance) == distance;
}

void TCustomcvDBGrid::LoadPartialWindow(int Direction, int TopPolicy, bool UseBounds) {
    TDataSet* dataSet = FDataLink->DataSet();
    if (!dataSet || !dataSet->Active()) return;
    FLoading = true;
    ++FPartialLoadNesting;
    TScopeGuard loading([this] {
        FLoading = false;
        --FPartialLoadNesting;
        NoteRecordsLoaded();
    });
    LookUpKeyField();
    const int windowSize = std::max((RowsThatFit() + 1) * PartialLoadScreens, FPartialLoadBufferCount);

    TUpdateGuard<TCustomcvTreeList> update(this);
    TDisableControlsScope disabled(dataSet);
    if (IsEditingState(dataSet->State())) dataSet->Cancel();
    const TDataSetPosition position(dataSet, FDataLink.get());
    FDataLink->SetBufferCount(1);
    const int focusedRecord = FocusedRecordNumber();
    const int topDistance = FocusedNode() ? GetFocusedRowIndex() - GetTopRowIndex() : 0;
    // A window loaded afresh selects again the records selected before.
    if (Direction == 0 || Direction == 3) SaveSelection();
    const TScopeGuard reselected([this] { DiscardSavedSelection(); });

    switch (Direction) {
    case 1: {
        int recordNumber = 0;
        if (Count() > 0) {
            recordNumber = static_cast<TcvDBGridNode*>(Items(Count() - 1))->RecordNumber + 1;
            dataSet->MoveBy(recordNumber - focusedRecord);
        }
        for (int added = 0; !dataSet->Eof() && added < windowSize; ++added, dataSet->Next())
            AddRecordNode(nullptr, recordNumber++);
        FEndReached = dataSet->Eof();
        break;
    }
    case 2: {
        int recordNumber = 0;
        if (Count() > 0) {
            recordNumber = static_cast<TcvDBGridNode*>(Items(0))->RecordNumber - 1;
            dataSet->MoveBy(recordNumber - focusedRecord);
        }
        for (int added = 0; !dataSet->Bof() && added < windowSize; ++added, dataSet->Prior())
            AddRecordNode(Items(0), recordNumber--);
        FBeginningReached = dataSet->Bof();
        break;
    }
    case 0:
        LoadWindowAroundCurrent(windowSize, UseBounds);
        break;
    case 3: {
        ClearNodes();
        FKeyValues->Clear();
        dataSet->First();
        for (int recordNumber = 0; !dataSet->Eof(); dataSet->Next())
            AddRecordNode(nullptr, recordNumber++);
        FBeginningReached = true;
        FEndReached = true;
        break;
    }
    default:
        break;
    }

    position.Restore();
    if (Direction != 0 && Direction != 3) return;
    TcvTreeListNode* current = FindRecordNode(RecordKeyText());
    if (!current) return;
    FocusSynced(current);
    // The focused row keeps its place, or shows at the top (1) or bottom (2)
    // after a jump beyond the window.
    const int distance = TopPolicy == 1 ? 0 : TopPolicy == 2 ? VisibleRowCount() - 1 : topDistance;
    SetTopRowIndex(std::max(GetFocusedRowIndex() - distance, 0));
}

void TCustomcvDBGrid::LoadWindowAroundCurrent(int WindowSize, bool UseBounds) {
    TDataSet* dataSet = FDataLink->DataSet();
    ClearNodes();
    if (dataSet->Bof() && dataSet->Eof()) {
        FBeginningReached = true;
        FEndReached = true;
        return;
    }
    // The bounds are the range's ends: the anchor's record and the current one.
    const auto atLowerBound = [&] { return UseBounds && CompareBookmarks(dataSet->Bookmark(), FRangeLow) <= 0; };
    int before = 0;
    while (before < WindowSize / 2 - 1 && !atLowerBound() && dataSet->MoveBy(-1) == -1)
        AddRecordNode(Items(0), -++before);
    FBeginningReached = dataSet->Bof();
    dataSet->MoveBy(before);
    bool upperPassed = !UseBounds;
    for (int recordNumber = 0; !dataSet->Eof() && (Count() < WindowSize || !upperPassed); dataSet->Next()) {
        AddRecordNode(nullptr, recordNumber++);
        if (upperPassed || CompareBookmarks(dataSet->Bookmark(), FRangeHigh) < 0) continue;
        // The window goes on by another half past the range's last record.
        upperPassed = true;
        WindowSize = Count() + WindowSize / 2;
    }
    FEndReached = dataSet->Eof();
}

int TCustomcvDBGrid::RowsThatFit() {
    return CalcRectInfo().Rows.Height() / std::max(DefaultRowHeight(), 1);
}

TcvTreeListNode* TCustomcvDBGrid::FindRecordNode(const std::string& KeyText) const {
    for (TcvTreeListNode* node = Items(0); node; node = node->GetNext())
        if (!node->HasChildren() && static_cast<TcvDBGridNode*>(node)->KeyText == KeyText) return node;
    return nullptr;
}

TcvTreeListNode* TCustomcvDBGrid::NearestRecordNode(int RecordNumber) const {
    TcvDBGridNode* before = nullptr;
    TcvDBGridNode* after = nullptr;
    for (TcvTreeListNode* node = Count() ? Items(0) : nullptr; node; node = node->GetNext()) {
        if (IsGroupNode(node)) continue;
        auto* record = static_cast<TcvDBGridNode*>(node);
        if (record->RecordNumber == RecordNumber) return record;
        if (record->RecordNumber > RecordNumber && (!after || record->RecordNumber < after->RecordNumber))
            after = record;
        if (record->RecordNumber < RecordNumber && (!before || record->RecordNumber > before->RecordNumber))
            before = record;
    }
    return after ? after : before;
}

void TCustomcvDBGrid::FocusSynced(TcvTreeListNode* Node) {
    FSyncing = true;
    TScopeGuard syncing([this] { FSyncing = false; });
    SetFocusedCell(Node, GetFocusedColumn(), true);
}

void TCustomcvDBGrid::SetTopVisibleNode(TcvTreeListNode* Node) {
    TCustomcvDBTreeListControl::SetTopVisibleNode(Node);
    if (!Node || !IsPartialLoadMode() || FPartialLoadNesting > 0 || !HandleAllocated()) return;
    const int fit = RowsThatFit() + 1;
    const int index = Node->Index();
    if (!FBeginningReached && index <= fit)
        LoadPartialWindow(2, 0);
    else if (!FEndReached && index >= GetVisibleRowCount() - 2 * fit)
        LoadPartialWindow(1, 0);
}

void TCustomcvDBGrid::WndProc(TMessage& Message) {
    if (FFilterDropDownOpen && GuardFilterDropDown(Message)) return;
    if (Message.Msg == WM_VSCROLL) {
        // Scrolling leaves the cell: nothing moves while another control keeps the focus.
        Message.Result = 0;
        if (!CanFocusEditor()) return;
        if (IsBufferMode()) return BufferVScroll(Word(Message.WParam), Word(Message.WParam >> 16));
    }
    TCustomcvDBTreeListControl::WndProc(Message);
}
