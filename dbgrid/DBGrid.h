// TCustomcvDBGrid: the data-aware grid. Its rows come from a dataset in one
// of three modes, chosen afresh at every use: the record-buffer mode (one node
// per row of the data link's buffer; moving means moving the dataset), the
// in-memory mode (a node per record, needed for grouping) and the partial-load
// mode (a window of records around the current one, extended while scrolling).
// Every load puts the dataset back on its record with its BOF/EOF state.
#pragma once

#include "dbgrid/DBGridFilter.h"
#include "dbgrid/DBGridOptions.h"
#include "dbgrid/DBGridSummary.h"
#include "dbgrid/DBTreeListControl.h"
#include "dbgrid/GridColumns.h"
#include "editors/ExEdtr.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TcvDBGridFilterPopupListBox;
class TcvDBGridColumn;
class TCustomcvDBGrid;
class TStringList;

using TcvDBGridEnumFilterValuesEvent = std::function<void(TObject* Sender, TcvDBTreeListColumn* Column, bool& More,
                                                         std::string& DisplayText, Variant& Value)>;
using TcvDBGridColumnEvent = std::function<void(TObject* Sender, TcvTreeListColumn* Column)>;
using TcvDBGridEndDragGroupColumnEvent =
    std::function<void(TObject* Sender, TcvTreeListColumn* Column, int NewPosition, bool& Accept)>;

// The grid's link: a field focus request moves the focus to the field's
// column, a layout change regroups outside the record-buffer mode.
class TcvGridDataLink : public TcvDBTreeListControlDataLink {
public:
    explicit TcvGridDataLink(TCustomcvDBGrid* AGrid);

protected:
    void FocusControl(TField*& Field) override;
    void LayoutChanged() override;

private:
    TCustomcvDBGrid* FGrid;
};

class TcvDBGridNode : public TcvDBTreeListControlNode {
public:
    using TcvDBTreeListControlNode::TcvDBTreeListControlNode;

    // Asks the dataset to delete the node's record: in the record-buffer mode
    // only the focused node; otherwise a record node, after the dataset was
    // put on its record (nothing when that fails).
    void Delete();

    // The record's key: the key field's text, or its bookmark without one.
    std::string KeyText;
    // The record's bookmark (empty for a record being inserted); a group
    // node carries its first record's, as it does its key.
    TBookmarkStr Bookmark;
    // Unassigned for record nodes.
    Variant GroupValue;
    long double GroupSummaryValue = 0;
    bool GroupSummaryAssigned = false;
    // Position among the loaded records; a group node carries its first record's.
    int RecordNumber = 0;
    // One slot per item of the level column's summary group.
    std::vector<double> ItemSummaryValues;
};

class TCustomcvDBGrid : public TCustomcvDBTreeListControl {
public:
    explicit TCustomcvDBGrid(TComponent* AOwner);
    ~TCustomcvDBGrid() override;

    // The three ways of getting the rows.
    // Unless all records are asked for or a column is grouped under an active link.
    bool IsWindowedMode() const;
    bool IsPartialLoadMode() const;
    // The record-buffer mode.
    bool IsBufferMode() const;
    bool IsNodeFilterActive() const { return IsLoadAllMode() && FNodeFilterActive; }

    // Loading.
    // Rows of the window around the current record (0), after (1) or before
    // (2) the loaded ones, or every record (3). After 0 and 3 the focused row
    // keeps its distance from the top row, or shows at the top (TopPolicy 1)
    // or the bottom (2). With UseBounds the window around the current record
    // reaches the range being selected: loading back stops at its first
    // record, loading on goes past its last one.
    void LoadPartialWindow(int Direction, int TopPolicy, bool UseBounds = false);
    // Puts the dataset on Node's record (by its key text, or by moving from
    // FocusedNode's record); true when it is there.
    bool LocateNodeRecord(TcvTreeListNode* FocusedNode, TcvTreeListNode* Node, bool UseLocate,
                          const std::string& KeyText);
    bool Loading() const { return FLoading; }
    // The layout-streaming mark: while a stored look streams in, the grid's
    // after-loading step waits; LayoutStreamed runs it once the mark is off,
    // with the grid's own name back (its stored look is found by it).
    bool StreamingLayout() const { return FStreamingLayout; }
    void SetStreamingLayout(bool Value) { FStreamingLayout = Value; }
    void LayoutStreamed();
    bool BeginningReached() const { return FBeginningReached; }
    bool EndReached() const { return FEndReached; }

    // Focusing: in the record-buffer mode the dataset moves by the rows' difference.
    void SetFocusedRowIndex(int Row) override;
    // The dataset follows the focus first (unless the rows are being brought
    // in line with it); the tree list focuses only when it got there.
    void SetFocusedCell(TcvTreeListNode* Node, int VisibleColumn, bool MakeVisible) override;
    // In the partial-load mode a top row near either end of the window extends it.
    void SetTopVisibleNode(TcvTreeListNode* Node) override;

    // Properties.
    int PartialLoadBufferCount() const { return FPartialLoadBufferCount; }
    void SetPartialLoadBufferCount(int Value) { FPartialLoadBufferCount = Value; }
    const std::string& SummarySeparator() const { return FSummarySeparator; }
    // Repaints on a change: the group rows join their texts with it.
    void SetSummarySeparator(const std::string& Value);
    TcvDBGridSummaryGroups* SummaryGroups() const { return FSummaryGroups.get(); }
    TColor GroupPanelColor() const { return FGroupPanelColor; }
    TColor GroupPanelFontColor() const { return FGroupPanelFontColor; }
    bool ShowGroupPanel() const { return FShowGroupPanel; }
    // Stores and lays out again.
    void SetShowGroupPanel(bool Value);
    int GroupColumnCount() const { return int(FGroupColumns.size()); }

    // Option sets.
    TcvDBGridOptions Options() const { return FOptions; }
    TcvDBGridOptionsEx OptionsEx() const { return FOptionsEx; }
    TcvDBGridOptionsBehavior OptionsBehavior() const { return FOptionsBehavior; }
    TcvDBGridOptionsCustomize OptionsCustomize() const { return FOptionsCustomize; }
    TcvDBGridOptionsDB OptionsDB() const { return FOptionsDB; }
    TcvDBGridOptionsView OptionsView() const { return FOptionsView; }

    // Option setters and the properties they drive.
    // Copy the old set onto its namesakes, then run the four new setters.
    void SetOptions(TcvDBGridOptions Value);
    void SetOptionsEx(TcvDBGridOptionsEx Value);
    // Each: nothing when unchanged; else stores, brings the old sets in step
    // and does the set's own work (tree-list bits, sorting, reloads).
    void SetOptionsBehavior(TcvDBGridOptionsBehavior Value);
    void SetOptionsCustomize(TcvDBGridOptionsCustomize Value);
    // edgoLoadAllRecords wins over edgoPartialLoad; turning edgoUseBookmarks
    // on clears the selection; a mode switch reloads the rows.
    void SetOptionsDB(TcvDBGridOptionsDB Value);
    // edgoInvertSelect wins over edgoRowSelect.
    void SetOptionsView(TcvDBGridOptionsView Value);
    bool PartialLoad() const { return FOptionsDB.Contains(edgoPartialLoad); }
    void SetPartialLoad(bool Value);
    bool UseBookmarks() const { return FOptionsDB.Contains(edgoUseBookmarks); }
    void SetUseBookmarks(bool Value);
    // Columns made from the fields; either change drops egoLoadAllRecords,
    // the grouping and every column.
    void SetDefaultFields(bool Value);
    bool ShowSummaryFooter() const { return ShowFooter(); }
    void SetShowSummaryFooter(bool Value) { SetShowFooter(Value); }
    void SetSummaryGroups(TcvDBGridSummaryGroups* Value) { FSummaryGroups->Assign(Value); }
    // Repaint when the group panel shows.
    void SetGroupPanelColor(TColor Value);
    void SetGroupPanelFontColor(TColor Value);
    // A column dragged off the header hides unless edgoNotHideColumn is set.
    bool CanHideColumnByDrag() const override;

    TNotifyEvent OnClearNodeData;
    TcvDBGridEndDragGroupColumnEvent OnEndDragGroupColumn;
    TcvDBGridColumnEvent OnHideColumn;
    TcvDBGridColumnEvent OnShowColumn;

    // The grid's own virtual operations.
    virtual void EndDragGroupColumn(TcvTreeListColumn* Column, int NewPosition, bool& Accept);
    virtual bool IsUseLocate() const;
    virtual void ClearNodeData();
    // Rebuilds every node from the dataset (the in-memory mode) or reloads
    // the partial window; nothing in the record-buffer mode.
    virtual void FullReload();
    virtual bool IsLoadAllMode() const;

    // The data-aware control's questions.
    TcvDBTreeListControlDataLink* GetDataLink() const override { return FDataLink.get(); }
    TDataSource* GetDataSource() const override { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    bool GetDefaultFields() const override { return FDefaultFields; }
    bool IsCancelOnExit() const override { return FOptions.Contains(egoCancelOnExit); }
    bool CanStartEditing() const override { return FOptions.Contains(egoCanInsert); }
    bool CanEditData() const override { return FOptions.Contains(egoCanNavigation); }
    bool IsInMemoryMode() const override { return IsLoadAllMode(); }
    bool IsReadOnlyData() const override { return false; }
    // Every record has its node: the in-memory mode, or a window holding all.
    bool IsNodeSearchMode() const override;
    bool IsBookmarkSelection() const override;
    void SetInternalFlag(bool Value) override { FLoading = Value; }
    // The key field is looked up again and the focus brought to the current record.
    void BindingChanged() override;

    // Tree-list answers.
    bool IsDblClickEnabled() const override;
    bool IsGroupNode(const TcvTreeListNode* Node) const override;
    bool CanCacheRowHeight() const override;
    bool IsRowHeightVariable() const override;
    bool IsBOF() const override;
    bool IsEOF() const override;
    bool IsFirstNode(const TcvTreeListNode* Node) const override;
    bool IsLastNode(const TcvTreeListNode* Node) const override;
    TcvTreeListNode* GetNavigationNode(TcvTreeListNode* Node, TcvNavigation Direction, bool InTreeOrder) override;
    void BeginNodeAccess(TcvTreeListNode* Node) override;
    void EndNodeAccess(TcvTreeListNode* Node) override;
    void CalcVisibleRows() override;
    void GetVertScrollInfo(int& Min, int& Max, int& Page, int& Position) override;
    void UpdateScrollBars() override;
    void HideColumn(int Column) override;
    void ShowColumnAt(int Band, int Row, int Column, int Position) override;
    void RemoveColumn(TcvTreeListColumn* Column) override;

    // Cell texts and values. Record rows of the record-buffer mode are read
    // from the data link's buffer row of the node, without moving the dataset.
    std::string GetNodeString(const TcvTreeListNode* Node, int Column) const override;
    // Unassigned for a column bound to no field.
    void GetNodeValue(const TcvTreeListNode* Node, int Column, Variant& Value) const override;
    // The sort key: texts for string-typed columns (upper-cased under
    // edgoCaseInsensitive), else the stored field value.
    void GetNodeVariant(const TcvTreeListNode* Node, int Column, Variant& Value) const override;
    std::string GetPreviewText(const TcvTreeListNode* Node) const override;

protected:
    TcvTreeListNode* CreateNode() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    void ClearCache() override;

    // The data link's notifications.
    void LinkActiveChanged(bool Active) override;
    void DataChanged() override;
    void Scroll(int Distance) override;
    // The focused row shows its record's new values.
    void RecordChanged(TField* Field) override;
    // Nothing in the record-buffer mode: its rows show the link's buffer
    // and keep no values of their own.
    void LoadNodeFromRecord(TcvTreeListNode* Node) override;
    // Outside the record-buffer mode a new focused row that is the current
    // record's (the dataset followed the focus, or the focus the dataset)
    // is re-read and OnChangeNodeEx fires; loads stay quiet.
    void DoChangeNode(TcvTreeListNode* OldNode, TcvTreeListNode* Node) override;
    // In the record-buffer mode the rows show the data link's buffer: no row
    // is re-read, and the callers repaint what moved.
    void DoChangeNodeEx() override;

private:
    friend class TcvGridDataLink;
    friend class TcvDBGridNode;

    // The record-buffer mode's rows and scrolling.
    void SetBufferNodeCount(int Count);
    // The focused row follows the dataset's current record.
    void SyncWithDataSet();
    // WM_VSCROLL of the record-buffer mode; Position: the thumb's place.
    void BufferVScroll(int Code, int Position);
    // The data link's window moved by Distance records (positive toward EOF).
    void DataSetScrolled(int Distance);
    // False when the current record has no row.
    bool FocusCurrentRecord();
    // The row of the current record; nil when it has none.
    TcvTreeListNode* CurrentRecordNode();
    // The rows now stand for the dataset's records as they are.
    void NoteRecordsLoaded();
    // Rows have one height (no auto height, no measured preview).
    bool RowsHaveOneHeight() const;
    // The row of the current record, re-read from the dataset.
    void RefreshRow(TcvTreeListNode* Node);
    // The loads' steps: a node for the current record before Before (nil:
    // last), the key field object, the current record's key text.
    TcvDBGridNode* AddRecordNode(TcvTreeListNode* Before, int RecordNumber);
    void LookUpKeyField();
    std::string RecordKeyText() const;
    int FocusedRecordNumber() const;
    void LoadWindowAroundCurrent(int WindowSize, bool UseBounds);
    int RowsThatFit();
    TcvTreeListNode* FindRecordNode(const std::string& KeyText) const;
    // The record row of that record number, else of the next one after it,
    // else of the last one before it; nil without record rows.
    TcvTreeListNode* NearestRecordNode(int RecordNumber) const;
    // Focuses Node without moving the dataset (it is on Node's record).
    void FocusSynced(TcvTreeListNode* Node);
    bool IsFieldNode(const TcvTreeListNode* Node) const;

    bool FLoading = false;
    bool FStreamingLayout = false;
    std::unique_ptr<TcvGridDataLink> FDataLink;
    bool FGridMode = false;
    bool FBeginningReached = false;
    bool FEndReached = false;
    int FNodeAccessNesting = 0;
    int FSavedActiveRecord = 0;
    int FPartialLoadBufferCount = 100;
    std::string FDeletedNodeKey;
    int FPartialLoadNesting = 0;
    bool FUpdatingScrollBars = false;
    TcvTreeListNode* FDeletingNode = nullptr;
    TcvTreeListColumn* FGroupPanelDragColumn = nullptr;
    bool FChangingField = false;
    std::vector<TcvTreeListColumn*> FGroupColumns;
    std::unique_ptr<TStringList> FGroupColumnNames;
    int FGroupingLockCount = 0;
    bool FRegrouping = false;
    std::unique_ptr<TcvDBGridSummaryGroups> FSummaryGroups;
    std::string FSummarySeparator = ", ";
    int FSummaryRecordCount = 0;
    mutable std::vector<std::vector<int>> FLevelSummaryMap;
    std::unique_ptr<TStringList> FKeyValues;
    std::vector<Variant> FValueRecords;
    TColor FGroupPanelColor = clBtnShadow;
    TColor FGroupPanelFontColor = clBtnFace;
    bool FShowGroupPanel = false;
    int FRecordRowColumn = -1;
    TcvDBGridOptions FOptions;
    TcvDBGridOptionsEx FOptionsEx;
    TcvDBGridOptionsBehavior FOptionsBehavior;
    TcvDBGridOptionsCustomize FOptionsCustomize;
    TcvDBGridOptionsDB FOptionsDB;
    TcvDBGridOptionsView FOptionsView;
    bool FNodeFilterActive = false;
    bool FRegroupPending = false;
    bool FInLayoutChange = false;

    // Option sets: the four stored sets, and the old two recomputed from them.
    TcvDBGridOptionSets OptionSets() const;
    void UpdateOldOptions();
    // The tree list's option words rewritten by one new set.
    template <typename TSetType> void WriteTreeListOptions(TSetType Value);

    // Set while the rows are brought in line with the dataset.
    bool FSyncing = false;
    // Set by LocateNodeRecord's move: the data-set-changed notification it
    // causes is the grid's own.
    bool FOwnDataSetChange = false;
    // Set while the data-set-changed handling refreshes the nodes.
    bool FRefreshingNodes = false;
    // The dataset's ChangeCount when the rows last took in its records: a
    // data-set change that leaves it is a jump.
    Int64 FLoadedChangeCount = -1;
    // In-memory record rows by record number, made on first need while the
    // records are those the rows were loaded from; any node deletion drops it.
    std::vector<TcvDBGridNode*> FRecordNodes;
    // Guards the buffer's growth against the row count it triggers.
    bool FCountingRows = false;
    bool FDefaultFields = false;

    // Keyboard and multi-row selection.
public:
    // Asks "Delete record?" (or "Delete all selected records?" with rows
    // selected) under egoConfirmDelete; true to go on.
    virtual bool ConfirmDelete();
    // Deletes the records of the selected rows; a record that vanished
    // meanwhile is skipped, and the selection ends empty on every path.
    void DeleteSelection();
    // Record-buffer mode: selects the records from the anchor to Count
    // records past the current one, or to the dataset's start or end when
    // Count is 0; the dataset ends there.
    void SelectRecordRange(bool Backwards, int Count);
    // The record-buffer mode walks the dataset itself.
    bool CanSelectRange() const override;
    // Outside the record-buffer mode group rows join no selection unless
    // selection across levels is allowed.
    bool CanNodeSelected(TcvTreeListNode* Node) override;
    // Record-buffer mode: the current record against the anchor record.
    int CompareToSelectionAnchor(const TcvTreeListNode* Node) const override;
    bool IsNodeSelected(const TcvTreeListNode* Node) const override;
    void InvalidateSelection() override;
    // Only with egoMultiSelect under an active link.
    void SetNodeSelected(TcvTreeListNode* Node, bool Selected) override;
    // Bookmark selection: the record-buffer mode walks the records from the
    // anchor's to the current one; the partial window reloads around the
    // current record.
    void SelectNodeRange(TcvTreeListNode* NodeA, TcvTreeListNode* NodeB) override;
    // Record-buffer mode: the anchor is the row's record (its bookmark).
    void SetSelectionAnchor(TcvTreeListNode* Node) override;
    const std::string& SelectionAnchorBookmark() const { return FSelectionAnchorBookmark; }
    // Record-buffer mode: every record, or the selected ones, read from the
    // dataset with its controls disabled.
    void SaveAllToStrings(TStrings* Strings) const override;
    void SaveSelectedToStrings(TStrings* Strings) const override;

    // Keeping the selection across a reload: the loading code saves it
    // before clearing the nodes (the list empties, as its nodes go), offers
    // every node it loads, with the dataset on the node's record, and
    // discards what is left.
    void SaveSelection();
    void ReselectLoadedNode(TcvTreeListNode* Node);
    void DiscardSavedSelection();

protected:
    // The grid's keys act on the dataset before the tree list's own.
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    // Key steps; each answers true when the handling ends there.
    bool CtrlDeleteKeyDown();
    bool BufferModeKeyDown(Word Key, TShiftState Shift);
    bool NodeModeKeyDown(Word Key, TShiftState Shift);
    // In the edit, insert or set-key state.
    bool IsDataSetEditing() const;
    // Inserting with nothing typed yet.
    bool IsUntouchedInsert() const;
    // The dataset's current bookmark, or that of Node's buffer row.
    std::string RowBookmark(const TcvTreeListNode* Node) const;
    // The bookmark of Node's record: its buffer row's, or the one the load
    // stored in the node.
    std::string NodeBookmark(const TcvTreeListNode* Node) const;
    // The selection list's entries from Bookmarks, in their order.
    void SetSelectedBookmarks(const std::vector<std::string>& Bookmarks);
    // The bookmarks from the earlier record of A and B to the later one,
    // walked over the dataset.
    std::vector<std::string> RecordsBetween(const std::string& A, const std::string& B);
    // The anchor record; the current one when the anchor's record is gone.
    std::string ValidSelectionAnchor();
    // With edgoSyncSelection, a move that the grid's own gestures did not
    // make leaves the current record selected: alone, unless it was already.
    void SyncSelectionWithDataSet();
    void SaveRecordsToStrings(TStrings* Strings, bool SelectedOnly) const;

    std::string FSelectionAnchorBookmark;
    // A bookmark selection saved across a reload, in dataset order.
    std::vector<std::string> FSavedBookmarks;
    // Set while the partial window reloads to make a range: loaded records
    // between the bounds join the selection.
    bool FRangeReload = false;
    std::string FRangeLow;
    std::string FRangeHigh;

    // Column classes.
public:
    // TcvDBGridColumn, and the grid's registry's choice for a field.
    const TcvDBTreeListColumnClass& GetDefaultColumnClass() const override;
    const TcvDBTreeListColumnClass& GetColumnClass(TField* Field) const override;

    // Sorting.
public:
    // egoAutoSort, and only in the in-memory mode.
    bool IsAutoSort() const override;
    // With automatic sorting the rows are sorted by Column at once, unless a
    // sort update is open.
    void RegisterSortedColumn(TcvTreeListColumn* Column) override;
    // Sorts by the first sorted column; the record-buffer mode sorts nothing.
    void ResortNodes() override;
    // egoMultiSort, and never in the record-buffer mode.
    bool IsMultiSort() const override;
    // A grouped column sorts by several keys only while it is one of them.
    bool CanMultiSort(int Column) const override;

private:
    // The first ungrouped column, in column order, with a sort state; with
    // several keys the first key, or the column found becomes the first key.
    TcvTreeListColumn* FirstSortColumn();
    void SortRows(TcvTreeListColumn* Column, int Level);

    // Grouping.
public:
    using TcvDBGridAddGroupColumnEvent = std::function<void(TObject* Sender, TcvTreeListColumn* Column, bool& Allow)>;
    using TcvDBGridGetGroupTextEvent = std::function<void(TObject* Sender, TcvTreeListNode* Node, std::string& Text)>;

    // The columns' GroupIndex setter lands here: Column leaves its group
    // position and, unless Index is -1, joins at Index; one update and one
    // grouping lock around both.
    void SetColumnGroupIndex(TcvDBTreeListColumn* Column, int Index) override;
    // False when CanAddGroupColumn refuses. Otherwise Column goes in at Index
    // (clamped to the list), every GroupIndex becomes its position, an
    // unsorted column sorts up, the column hides unless egoNotHideColumn,
    // and the grid regroups unless the grouping is locked.
    bool AddGroupColumn(int Index, TcvTreeListColumn* Column);
    // The column at Position shows again, unsorted and ungrouped; the grid
    // regroups unless the grouping is locked. Nothing without group columns.
    void RemoveGroupColumn(int Position);
    void ClearGrouping() override;
    // False in grid mode. Unless renumbering: false for nil, DisableGrouping,
    // a blob field (memo and graphic ones too) and the only visible column.
    // Then false for a grouped column or one whose field a group column
    // shows already; else OnAddGroupColumn decides.
    virtual bool CanAddGroupColumn(TcvTreeListColumn* Column) const;
    // Changes inside the bracket only renumber the list; the outermost
    // EndGrouping regroups once when the grouped fields differ from those
    // of the last regroup, else it refreshes the groups in place.
    void BeginGrouping();
    void EndGrouping();
    // The list made again from the columns' GroupIndex values (after a form
    // or a layout was read): in GroupIndex order, renumbered from 0.
    void RebuildGroupList();
    // Every node built again (FullReload), then OnReloadGroupList.
    void Regroup();
    // The tree-list control's copy of Source's columns, inside one grouping
    // bracket: the nodes go with the old columns, and the new columns named
    // as a source grid's group columns are grouped in its order, so the rows
    // load once.
    void AssignColumns(TCustomcvTreeListControl* Source) override;
    // A column without a field (or on a blob field it cannot edit) leaves
    // the grouping; otherwise the grid regroups when the grouped fields changed.
    void ColumnFieldChanged(TcvDBTreeListColumn* Column) override;
    // A group row's one text: "Caption : value " with the group column's
    // caption and display text, then the group's summary text, then
    // OnGetGroupText may change it all.
    std::string GetGroupRowText(const TcvTreeListNode* Node) const;
    // A level whose group column's summary group has an item naming a column:
    // its groups end in a row footer.
    bool IsGroupLevel(int Level) const override;
    // The row footer of the group level shows a summary under Column.
    bool IsGroupLevelNode(const TcvTreeListNode* Node, int Column, int Level) const override;
    // The group column at Position (0: outermost); nullptr out of range.
    TcvDBTreeListColumn* GroupColumns(int Position) const;

    TcvDBGridAddGroupColumnEvent OnAddGroupColumn;
    TcvDBGridGetGroupTextEvent OnGetGroupText;
    TNotifyEvent OnReloadGroupList;

protected:
    // A group row is never edited: Allow becomes false and nothing fires.
    void DoEditing(TcvTreeListNode* Node, bool& Allow) override;

private:
    // The current record's group nodes (or those of Record's stored values),
    // level by level, found among the children of the level above or made;
    // the deepest one, nil without grouping. RecordNumber (or Record's key
    // and cells) goes to the nodes made.
    TcvDBGridNode* PlaceRecordInGroups(int RecordNumber, const TcvDBGridNode* Record = nullptr);
    // Parent's child (a root with nil Parent) of group value Value, searched
    // the last child first, then by halving in the level's sort direction;
    // nil when none, Position then the place for a new one.
    TcvDBGridNode* FindGroupNode(TcvTreeListNode* Parent, int Level, const Variant& Value, int& Position) const;
    // -1, 0 or 1: Null first; strings upper-cased under edgoCaseInsensitive
    // and compared by the locale under IsAnsiSort.
    int CompareGroupValues(const Variant& A, const Variant& B) const;
    // Each group node takes its first record's key text and number, deepest first.
    void TakeFirstRecordKeys();
    // Node filled from the current record as record number RecordNumber.
    TcvDBGridNode* LoadRecordNode(TcvDBGridNode* Node, int RecordNumber);
    // egoSmartRefresh: only the current record's node moves to its new
    // group path; groups left empty go. False when it cannot (no such node,
    // records came or went): the caller reloads.
    bool SmartRegroupRecord();
    // With the grouping locked, group columns whose field the dataset no
    // longer has leave the grouping, the last first.
    void RemoveFieldlessGroupColumns();
    // Groups collapsed (egoCollapsedReload): the top group of the current
    // record is focused and the dataset put on its first record; with
    // egoSeekDetail the focus goes on to that group's first record row.
    void FocusCollapsedGroup();

    // FullReload's steps 3 to 5: false when nothing is built (no key field
    // while navigating, the record-buffer mode, no active dataset, a group
    // column without a field or on a blob field); group columns whose field
    // is gone leave the grouping first.
    bool CanBuildNodes();
    // The dataset walk of FullReload: every record's node under its group
    // path; the node of the record CurrentBookmark names.
    TcvTreeListNode* LoadAllRecords(const std::string& CurrentBookmark);
    // The smart walk's record nodes, in record order; false when they do
    // not stand for every record with its group values.
    bool TakeLoadedRecords(std::vector<TcvDBGridNode*>& Records) const;
    // Every field the summaries add up is one a column shows, so the nodes
    // hold its values.
    bool SummariesReadStoredValues() const;
    // The group rows go; Records are placed again by their stored values
    // and their summaries accumulated.
    void PlaceLoadedRecords(const std::vector<TcvDBGridNode*>& Records);
    // A group row made from Record: its key, record number and cells.
    void CopyRecordCells(TcvDBGridNode* Node, const TcvDBGridNode* Record) const;

    // 0 unlocked, 1 locked in the record-buffer mode, 2 otherwise.
    int FGroupingLockMode = 0;
    // Set while EndGrouping refreshes the groups over the nodes it has.
    bool FRefreshingGroupsInPlace = false;

    // Group panel.
public:
    using TcvBackgroundDrawEvent = std::function<void(TObject* Sender, TCanvas* Canvas, const TRect& Rect)>;
    static constexpr const char* SGroupPanelHint = "Drag a column header here to group by that column";

    // The panel's height for GroupCount group columns under header rows
    // HeaderRowHeight high, and the button of group position Position
    // (Position = GroupCount: the place after the last button) measured
    // from the panel's corner.
    static int GroupPanelHeightFor(int GroupCount, int HeaderRowHeight);
    static TRect GroupButtonRectFor(int Position, int HeaderRowHeight);
    // 0 while the panel is hidden.
    int GetGroupPanelHeight() const override;
    // The rows shift right by one level indent per group column.
    int GetGroupIndentWidth() const override;
    // The button of group position Position in client coordinates.
    TRect GroupButtonRect(int Position) const;
    // The group column whose button holds the client point, when the point
    // lies in the group panel; else nil.
    TcvTreeListColumn* GroupColumnAtPoint(int X, int Y) const;
    // While a group button is dragged it may go where headers are hidden.
    bool CanDropToCustomizeForm() const override;

    // Paints the group panel's background instead of GroupPanelColor.
    TcvBackgroundDrawEvent OnBackgroundDrawEvent;

protected:
    // Background, the hint with no group column, the connector lines and
    // the group buttons drawn as header buttons with their sort marks.
    void DrawGroupPanel(TCanvas* ACanvas, const TRect& R, HBRUSH HeaderBrush, HBRUSH ShadowBrush) override;
    // A press on a group button makes a drag pending; past 5 pixels the
    // button's column is dragged; a release without a drag sorts by it.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Over the group panel: no header position, the arrow above the group
    // position the drop would take (none when the column may not group).
    TcvHeaderPosInfo GetHeaderDropPosition(TPoint& Point, bool BandMode, int DraggedIndex, int DraggedItem) override;
    // The grid's cursor over the group panel, the remove cursor for a
    // column that may not group.
    void GetDragCursor(TPoint ClientPoint, TCursor& Cursor) override;
    // A header dropped on the group panel groups (OnEndDragGroupColumn may
    // refuse); a group button dropped elsewhere ungroups.
    void EndColumnDrag(bool Accepted) override;

private:
    // The rows slide by the panel's height as it shows or hides.
    void SlideGroupPanel(bool Showing);
    // The group position a drop at client X takes: the number of buttons
    // whose middle lies left of it.
    int GroupDropPosition(int X) const;
    // The dragged column may not join the grouping.
    bool IsGroupDropRefused(int Column) const;
    bool FGroupPanelDragPending = false;
    TPoint FGroupPanelPressPoint{};

    // Summaries.
public:
    // Caches, per group level, the group column's summary field and summary
    // group (the one named by SummaryGroupName, ignoring case; the default
    // group when neither a name nor a kind is set) and the field of each of
    // its items; frees every node's item slots; the record count restarts.
    // Nothing is cached while the link has no dataset.
    void PrepareSummaries() override;
    // The footers' reset, then the record count restarts.
    void ResetSummaries() override;
    // Accumulates one record (Node's, or the dataset's current record when
    // nil) into the footers, its group nodes' summaries and their item slots;
    // nothing for a node the active node filter drops.
    void DoCalcSummary(TcvTreeListNode* Node) override;
    // Recalculates every summary from the loaded record nodes (those the
    // node filter shows) and finishes them. A changed record is placed on
    // its group path by the caller first.
    void CalculateSummaries();
    // Counts and averages of the group nodes, their item slots and the
    // footers (footer averages only when not skipped and a record was
    // counted), then OnCalcSummary.
    void FinishSummaries(bool SkipFooterAverages = false);
    // Group levels whose column has SortBySummary and a sort state are
    // ordered by their group summary values.
    void ResortGroupsBySummary();
    // The summary part of a group row: the group column's own summary, then
    // the items of its summary group between the group's BeginSummaryText
    // and EndSummaryText, every part joined by SummarySeparator. Empty when
    // the level shows no summary.
    std::string GetGroupSummaryText(const TcvTreeListNode* Node) const;
    // Summary items naming OldName (ignoring case) take NewName.
    void RenameSummaryColumn(const std::string& OldName, const std::string& NewName) override;
    // Outside the record-buffer mode the summaries are calculated again.
    void SummaryGroupsChanged() override;
    // The total footer (Node nil): the column's summary footer text; a
    // group-level footer: the value of the summary item the level shows
    // under the column.
    std::string GetLevelText(const TcvTreeListNode* Node, int Column, int FooterIndex) const override;
    // Every data-aware column has its footer cell, unless OnIsExistFooterCell
    // says otherwise.
    bool IsExistFooterCell(int Column) override;
    // Records counted by the last summary pass.
    int SummaryRecordCount() const { return FSummaryRecordCount; }
    // Per group level, for each column: the position of the first item of
    // the level's summary group that names it, -1 when none (or that item
    // sums nothing); an empty list for a level without summary group.
    const std::vector<std::vector<int>>& LevelSummaryMap() const;

    // May change the value a record adds to a group node's summary.
    TcvDBGridSummaryEvent OnSummary;

protected:
    // The tree list's handling, then the level summary map is built again.
    void FocusedNodeChanged() override;

private:
    // What a group level sums: its column's field and summary group, and
    // the field of each item of that group (nil where none).
    struct TLevelSummary {
        TcvDBTreeListColumn* Column = nullptr;
        TField* Field = nullptr;
        TcvDBGridSummaryGroup* Group = nullptr;
        std::vector<TField*> ItemFields;
    };
    // The record's value of Field: through the node's stored value when a
    // column shows that field, else the field's own; 0 without a field.
    long double RecordFieldValue(TcvTreeListNode* Node, TField* Field) const;
    void AccumulateFooters(TcvTreeListNode* Node);
    void AccumulateGroups(TcvTreeListNode* Node);
    void BuildLevelSummaryMap() const;
    // The summary group a group column's values go to: the group named by
    // its SummaryGroupName (ignoring case), or the default group when that
    // name is empty and the column sums nothing itself; nil otherwise.
    TcvDBGridSummaryGroup* FindSummaryGroup(const TcvDBTreeListColumn* Column) const;
    // Every group node's summary value and item slots start again.
    void ClearGroupSummaries();
    // A summary pass begins: the caches made, the footers and the record
    // count reset, then OnBeforeCalcSummary.
    void BeginSummaries();

    std::vector<TLevelSummary> FLevelSummaries;

    // Filtering.
public:
    // Made on first read and owned by the grid; the filter's own properties
    // are set, never the object.
    TcvDBGridFilter* Filter() const;
    // The criteria hold an item.
    bool HasFilter() const override;
    // The criteria's filter text.
    std::string GetFilterText() const override;
    // "Clear Filter".
    std::string GetFilterCaption() const override;
    // The filter's Active.
    bool IsFilterActive() const override;
    // The tree-list control's state, with bit 8 added when the button shows
    // and the column takes part in the criteria.
    int GetHeaderButtonState(int Column) const override;
    // fsNone: never; fsAlways: always; fsAuto: while a non-empty filter hides rows.
    bool IsFilterButtonShown() const override;
    // After the criteria changed: the rows the filter hides go (in the
    // in-memory mode), and with AutoDataSetFilter the dataset is filtered.
    virtual void RefreshFilter();
    // May change the text before the dataset takes it.
    TcvDBGridFilterChangedEvent OnFilterChanged;

    // Nodes pass while the node filter is off; then the criteria decide.
    virtual bool IsNodeVisibleByFilter(TcvTreeListNode* Node) const;
    // The node filter goes off and every row comes back.
    virtual void ResetNodeFilter();
    // The filter and the drop-down, closed first when it is open.
    virtual void FreeFilterObjects();
    virtual bool NodePassesFilter(TcvTreeListNode* Node) const;
    // Frees the record rows that fail the criteria, then the group rows
    // left without records.
    virtual void ApplyNodeFilter();
    // Binds the conditions to the columns as they are now.
    virtual void PrepareFilter();
    // Reloads the rows, which applies the node filter.
    virtual void RefilterNodes();
    // The criteria's filter text (after OnFilterChanged) into the dataset's
    // Filter, FilterOptions and Filtered, under AutoDataSetFilter.
    virtual void ApplyFilterToDataSet();

private:
    mutable std::unique_ptr<TcvDBGridFilter> FFilter;
    // Set when the node filter freed rows the last reload made.
    bool FRowsHiddenByFilter = false;

    // Filter drop-down.
public:
    // Drops Column's value list down under its header's filter button,
    // without taking the focus from the grid; nothing when the column shows
    // no header cell.
    void FilterDropDown(int Column) override;
    // The filter panel's close button: the filter object clears the criteria
    // and every row comes back.
    void FilterDropDownClosed() override;
    // The drop-down list; nullptr before the first drop-down.
    TcvDBGridFilterPopupListBox* FilterPopup() const { return FFilterPopup; }
    // From the drop-down's showing until its list applies or cancels.
    bool IsFilterDropDownOpen() const { return FFilterDropDownOpen; }
    // Also closes an open drop-down without applying a choice.
    void CancelMouseOperation() override;

    // Outside the in-memory mode, the application lists a column's values:
    // called until it leaves More False, each time with More True, an empty
    // DisplayText and an unassigned Value (an unassigned or Null value only
    // tells that the column has blanks).
    TcvDBGridEnumFilterValuesEvent OnEnumFilterValues;

private:
    friend class TcvDBGridFilterPopupListBox;
    // The value list of Column, then its items, the selected one following
    // the column's condition.
    void FillFilterDropDown(TcvDBTreeListColumn* Column);
    // While the drop-down is open: focus loss and cancel mode close it, the
    // mouse inside it goes to it, the keys go to it; true when Message was
    // handled here.
    bool GuardFilterDropDown(TMessage& Message);
    // Closes an open drop-down unapplied, giving the mouse back, and frees it.
    void FreeFilterDropDown();

    TcvDBGridFilterPopupListBox* FFilterPopup = nullptr; // owned as a component
    bool FFilterDropDownOpen = false;

    // Layout items.
protected:
    // A column adds "GroupIndex"; the grid "ShowGroupPanel", "ShowNewItemRow",
    // "ShowRowFooter", "ShowSummaryFooter" and, in the registry only, its
    // Filter as the binary "Filter" (missing or empty: the filter stays).
    // Each after the inherited values, except that a column's GroupIndex is
    // set before them.
    void SaveGridLayout(TcvRegIniWrapper& Store, const std::string& Section) override;
    void SaveColumnLayout(TcvRegIniWrapper& Store, const std::string& Section, TcvTreeListColumn* Column) override;
    void LoadGridLayout(TcvRegIniWrapper& Store, const std::string& Section) override;
    void LoadColumnLayout(TcvRegIniWrapper& Store, const std::string& Section, TcvTreeListColumn* Column) override;
    // The stored filter is read into a grid of its own first.
    void CheckGridLayout(TcvRegIniWrapper& Store, const std::string& Section) override;
    void CheckColumnLayout(TcvRegIniWrapper& Store, const std::string& Section,
                           const TcvTreeListColumn* Column) override;
    // A load runs inside one grouping bracket, so the tree is regrouped once
    // at its end, with the group columns in their stored order.
    void BeginLoadLayout(TcvRegIniWrapper& Store) override;
    void EndLoadLayout(TcvRegIniWrapper& Store) override;

private:
    // The GroupIndex each column read in the load under way. Columns join
    // the groups one by one in column order, so the list's order comes from
    // these at the end.
    std::vector<std::pair<const TcvTreeListColumn*, int>> FLoadedGroupIndexes;

    // Nodes under edit.
protected:
    // A deleted node leaves the list of nodes under edit.
    void DoNodeDeletion(TcvTreeListNode* Node, TcvTreeListNode* Previous, bool Relayout,
                        TcvTreeListNode* Next) override;

private:
    // The column classes are registered, and the check glyphs made, while
    // any grid lives.
    cvDBTLCl::TUnitScope FFamilyUnit;
    cvGrClms::TUnitScope FColumnsUnit;
    cvExEdtr::TUnitScope FEditorsUnit;
};

// The component the forms place; it only publishes.
class TcvDBGrid : public TCustomcvDBGrid {
public:
    using TCustomcvDBGrid::TCustomcvDBGrid;
};

namespace cvDBGrid {

// Node and every node below it, parents before their children. Each child
// list is walked by position: a step to the next sibling would search it.
template <typename TAction> void ForEachNode(TcvTreeListNode* Node, const TAction& Action) {
    Action(static_cast<TcvDBGridNode*>(Node));
    for (int i = 0; i < Node->Count(); ++i)
        ForEachNode(Node->Items(i), Action);
}

// Every node of Grid in tree order.
template <typename TAction> void ForEachNode(const TCustomcvDBGrid& Grid, const TAction& Action) {
    for (int i = 0; i < Grid.Count(); ++i)
        ForEachNode(Grid.Items(i), Action);
}

} // namespace cvDBGrid
