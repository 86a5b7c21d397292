// TCustomcvDBTreeListControl: the data-aware layer between the tree-list
// control and the grid. It keeps the selection as dataset bookmarks, binds
// columns to fields through its data link's field map, makes default
// columns from the fields, resolves the preview field, and turns the data
// link's notifications into virtual operations that the grid answers. A
// process-wide registry of live grids tells whether a dataset is in use.
#pragma once

#include "dbgrid/DBTreeListColumn.h"
#include "platform/data/DB.h"
#include "treelist/TreeListControl.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TCustomcvDBTreeListControl;
class TStringList;

// The node of the data-aware control: per-column cells (the field's value;
// for a lookup field also the value of the key field the lookup uses), the
// key of its record and its preview text. A cell keeps a text beside its
// value only where the column cannot make it from the value (a field's own
// OnGetText, a text an editor stored); texts and lookup keys take room only
// in rows that keep one. The cells follow column moves and deletions.
class TcvDBTreeListControlNode : public TcvTreeListTextNode {
public:
    using TcvTreeListTextNode::TcvTreeListTextNode;

    // Unassigned beyond the stored values or where none was written.
    const Variant& StoredValue(int Index) const;
    const Variant& StoredKeyValue(int Index) const;
    // The text kept for the cell; nullptr where none is.
    const std::string* KeptText(int Index) const;
    // Each extends its cells with empty ones up to Index first. A cell given
    // no Text keeps none: its column makes it from the value.
    void StoreCell(int Index, Variant Value, std::optional<std::string> Text);
    void StoreText(int Index, const std::string& Text);
    void StoreKeyValue(int Index, Variant Value);
    // Room for Count cells, so that loading a row allocates once instead of
    // once per cell.
    void ReserveCells(int Count);
    void MoveCell(int From, int To);
    void DeleteCell(int Index);
    // Every cell of Source, texts and lookup keys included.
    void CopyCells(const TcvDBTreeListControlNode& Source);

    // The key field's value of the node's record (Null without a key field;
    // Unassigned until loaded).
    Variant KeyValue;
    std::string PreviewText;

private:
    std::vector<Variant> FValues;
    std::unique_ptr<std::vector<std::optional<std::string>>> FTexts;
    std::unique_ptr<std::vector<Variant>> FKeyValues;
};

// Dataset field indexes (-1: no field) in column or field order. The
// capacity grows to 8 first, then doubles (to at least Count + 1).
class TcvFieldMap {
public:
    int Count() const { return int(FIndexes.size()); }
    int Capacity() const { return int(FIndexes.capacity()); }
    int operator[](int Index) const { return FIndexes[Index]; }
    // Raises EListError beyond 268435455 entries.
    void Add(int FieldIndex);
    void Clear() { FIndexes.clear(); }

private:
    std::vector<int> FIndexes;
};

class TcvDBTreeListControlDataLink : public TDataLink {
public:
    // A visual-control link of Control.
    explicit TcvDBTreeListControlDataLink(TCustomcvDBTreeListControl* AControl);

    TCustomcvDBTreeListControl* Control() const { return FControl; }
    const TcvFieldMap& FieldMap() const { return FFieldMap; }
    // The current record was changed through the control.
    bool Modified() const { return FModified; }
    void SetModified() { FModified = true; }
    // Unmodified: the dataset's edit is cancelled; modified: a record change
    // without field shows the stored values again.
    void CancelChanges();
    // Appends the index of the dataset's field of that name, or -1.
    void AddField(const std::string& FieldName);
    void ClearFields() { FFieldMap.Clear(); }
    // The field of map entry Index; nullptr for a -1 entry or out of range.
    TField* GetField(int Index) const;

protected:
    // Each calls one operation of the control (Scroll with the distance's
    // sign inverted); DataSetChanged, RecordChanged and UpdateData clear
    // Modified, UpdateData runs only when Modified.
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(Integer Distance) override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;
    // The control binds its columns again, then the link's own handling.
    void LayoutChanged() override;
    // The first visible column bound to the field takes the focus.
    void FocusControl(TField*& Field) override;

private:
    TCustomcvDBTreeListControl* FControl;
    TcvFieldMap FFieldMap;
    bool FModified = false;
};

using TcvDBTreeListCalcSummaryEvent = std::function<void(TObject* Sender, TcvTreeListNode* Node)>;

class TCustomcvDBTreeListControl : public TCustomcvTreeListControl {
public:
    explicit TCustomcvDBTreeListControl(TComponent* AOwner);
    ~TCustomcvDBTreeListControl() override;

    // Virtual operations, in slot order; the grid answers the abstract ones.
    virtual TcvDBTreeListControlDataLink* GetDataLink() const = 0;
    virtual TDataSource* GetDataSource() const = 0;
    // Columns follow the dataset's fields.
    virtual bool GetDefaultFields() const = 0;
    // Leaving the control cancels an untouched insert.
    virtual bool IsCancelOnExit() const { return true; }
    // Needed by cell editing; an empty dataset without it is read-only.
    virtual bool CanStartEditing() const = 0;
    // Needed by CanEditModify and cell editing.
    virtual bool CanEditData() const = 0;
    // The grid holds every record in nodes: the tree list's own range selection.
    virtual bool IsInMemoryMode() const { return false; }
    virtual bool IsReadOnlyData() const = 0;
    // The tree list's own incremental search instead of the dataset's.
    virtual bool IsNodeSearchMode() const = 0;
    // The selection holds bookmarks; otherwise nodes with empty strings.
    virtual bool IsBookmarkSelection() const = 0;
    virtual void SetInternalFlag(bool Value) = 0;
    // While a cell is edited: a value the focused column refuses hides the editor.
    virtual void CheckEditorValue();
    virtual void DataChanged() {}
    virtual bool IsDataSetUsed() const { return false; }
    virtual void LinkActiveChanged(bool Active) { (void)Active; }
    virtual void RecordChanged(TField* Field) { (void)Field; }
    // Distance: positive toward the top (the dataset's distance inverted).
    virtual void Scroll(int Distance) { (void)Distance; }
    // Posts the in-place editor's value.
    virtual void UpdateData();
    virtual void FieldsChanged() {}
    // Column nil: every column.
    virtual void ColumnFieldChanged(TcvDBTreeListColumn* Column) { (void)Column; }
    virtual void SetColumnGroupIndex(TcvDBTreeListColumn* Column, int Index) { (void)Column, (void)Index; }
    virtual void PrepareSummaries() {}
    // Binds each column's footer field and leaves its footer unassigned.
    virtual void ResetSummaries();
    virtual void DoBeforeCalcSummary();
    virtual void DoCalcSummary(TcvTreeListNode* Node);
    virtual long double GetSummaryValue() { return 0; }
    // Summary items that name a column follow its rename (NewName empty: it went).
    virtual void RenameSummaryColumn(const std::string& OldName, const std::string& NewName) {
        (void)OldName, (void)NewName;
    }
    // The column's LoadNodeValue.
    virtual void LoadColumnValue(TcvDBTreeListColumn* Column, TcvTreeListNode* Node);
    // Fills the node from the dataset's current record: key value, every
    // bound column's text and value record, the preview text.
    virtual void LoadNodeFromRecord(TcvTreeListNode* Node);
    // A column of the class, owned by the control's owner, added.
    virtual TcvDBTreeListColumn* CreateColumnForClass(const TcvDBTreeListColumnClass& Class);
    // With DefaultFields the visible dataset fields in field order, else the
    // columns' FieldName in column order.
    virtual void FillFieldMap();
    // Outside loading: the focused row read again unless an edit runs, and
    // OnChangeNodeEx with an active link.
    virtual void DoChangeNodeEx();
    // An active, browsing, empty dataset (BOF and EOF) that cannot start editing.
    virtual bool IsEmptyDataSet() const;
    virtual void ClearGrouping() {}
    // Raises "DefaultFields property should be set to False" under
    // DefaultFields; else a column named Name + "Column" + the first free number.
    virtual TcvDBTreeListColumn* CreateColumn(const TcvDBTreeListColumnClass& Class);
    // Name + "Column" + the first number free among the owner's components
    // (the columns without an owner).
    std::string NewColumnName() const;
    // One column of GetColumnClass per field, bound and as visible as the field.
    virtual void CreateDefaultColumns(TDataSet* DataSet, TComponent* Owner);
    virtual void SummaryGroupsChanged() {}
    virtual const TcvDBTreeListColumnClass& GetDefaultColumnClass() const;
    virtual const TcvDBTreeListColumnClass& GetColumnClass(TField* Field) const;

    // After the dataset's layout changed: the field map, the preview field
    // and the columns are bound again (with DefaultFields, made to follow
    // the fields).
    virtual void BindingChanged();

    // An action the control itself does not take runs on the data source.
    bool ExecuteAction(TBasicAction* Action) override;
    bool UpdateAction(TBasicAction* Action) override;

    // Columns and fields.
    TcvDBTreeListColumn* DBColumns(int Index) const;
    // The first column bound to that field name, ignoring case; nullptr when none.
    TcvDBTreeListColumn* ColumnByFieldName(const std::string& Name) const;
    // The data-aware column of that component name; nullptr when none.
    TcvDBTreeListColumn* DBColumnByName(const std::string& Name) const;
    // Focuses the first visible column bound to the field.
    void FocusFieldColumn(TField* Field);
    TDataSet* DataSet() const;
    // With DefaultFields and an active link, the field that a column moving
    // to index Value takes along goes to the field position of that map entry.
    void MoveColumnField(TcvDBTreeListColumn* Column, int Value);
    // Without multi-sorting only one ungrouped column keeps its sort mark:
    // Sorting, an ungrouped column about to sort, else the first sorted one
    // in column order.
    void ApplySingleSortRule(const TcvTreeListColumn* Sorting = nullptr);
    // A column about to sort takes the other columns' sorts away (above).
    void SortedChanging(TcvTreeListColumn* Column) override;
    // Frees the columns; raises under DefaultFields outside loading and destroying.
    void DestroyColumns() override;

    // Settings.
    const std::string& KeyField() const { return FKeyField; }
    // A change re-binds through LinkActiveChanged.
    void SetKeyField(const std::string& Value);
    // The key field looked up by the grid; nullptr when none.
    TField* KeyFieldObject() const { return FKeyFieldObject; }
    void SetKeyFieldObject(TField* Value) { FKeyFieldObject = Value; }
    const std::string& PreviewFieldName() const { return FPreviewFieldName; }
    void SetPreviewFieldName(const std::string& Value);
    // 0: unlimited; negative values become 0.
    int PreviewMaxLength() const { return FPreviewMaxLength; }
    void SetPreviewMaxLength(int Value);
    // The text cut to PreviewMaxLength characters + "..." when longer.
    std::string CutPreviewText(const std::string& Text) const;
    TField* PreviewField() const { return FPreviewField; }
    // Forgets a preview field that is going away.
    void ClearPreviewField() { FPreviewField = nullptr; }
    // Raised to the indicator images' width.
    int GrIndicatorWidth() const { return FGrIndicatorWidth; }
    void SetGrIndicatorWidth(int Value);
    int GetIndicatorWidth() const override { return FGrIndicatorWidth; }

    // Nodes touched by an edit of the current record, each once.
    const std::vector<TcvTreeListNode*>& FieldNodes() const { return FFieldNodes; }
    void AddFieldNode(TcvTreeListNode* Node);
    void RemoveFieldNode(TcvTreeListNode* Node);
    void ClearFieldNodes() { FFieldNodes.clear(); }

    // Overrides of the tree list.
    // The dataset is searched unless IsNodeSearchMode.
    bool FindNodeByText(int Column, const std::string& Text, TcvTreeListNode*& Node, int Direction) override;
    // Puts the dataset into edit state and marks the link modified, when
    // every rule allows.
    bool CanEditModify() override;
    bool IsEditorReadOnly() override;
    // The bound field's character test.
    bool IsValidEditChar(char32_t Key) override;
    // 1 focused (5 in multi-select mode when selected), 2 editing, 3
    // inserting, 4 other selected rows, 0 otherwise.
    int GetIndicatorKind(const TcvTreeListNode* Node) const override;
    // Not while the dataset edits, inserts or sets a key.
    bool CanEditRecord() const override;
    // Selected rows carry the row's bookmark; CompareSelectionItems orders
    // by the nodes' key values.
    int CompareSelectionItems(TcvTreeListNode* Node1, TcvTreeListNode* Node2) override;
    // Takes the focus (when the window can have it) and checks an open
    // editor's value against its field; false when another control kept the
    // focus, a failed validation for instance.
    bool CanFocusEditor() override;
    void WndProc(TMessage& Message) override;

    // Selection by bookmarks.
    // Bookmark strings (or empty strings) with their nodes as objects, in
    // CompareBookmarks order (by node address without bookmarks).
    TStringList& SelectedList() const { return *FSelectedList; }
    int SelectedCount() const override;
    TcvTreeListNode* GetSelectedNode(int Index) const override;
    // Raises "List index out of bounds (%d)" outside 0..SelectedCount-1;
    // never moves the dataset.
    std::string GetSelectedRow(int Index) const;
    // -1 with an inactive link, else the dataset's comparison.
    int CompareBookmarks(const std::string& A, const std::string& B) const;
    // Halving search; Index: the first equal entry or the insertion place.
    // The last look-up is cached until the list changes.
    bool FindBookmark(const std::string& Bookmark, int& Index);
    // Halving search of a list ordered by node address.
    bool FindSelectedNode(const TcvTreeListNode* Node, int& Index) const;
    void ClearSelection() override;
    // Shift-click and shift-arrow ranges: the tree list's way in memory
    // mode, by node address without bookmarks, else by walking the dataset.
    void SelectNodeRange(TcvTreeListNode* NodeA, TcvTreeListNode* NodeB) override;
    // A data-set change that finds fewer records than before drops the
    // entries whose bookmark is no longer valid, once per such change.
    void DropVanishedSelection();
    // Cells: the nodes' cells hold the texts beside the values, and follow
    // column moves and deletions.
    std::string GetNodeString(const TcvTreeListNode* Node, int Column) const override;
    void StoreNodeString(TcvTreeListNode* Node, int Column, const std::string& Text) override;
    void DeleteNodeValue(TcvTreeListNode* Node, int Index) override;
    void ColumnMoved(int From, int To) override;

    TNotifyEvent OnBeforeCalcSummary;
    TcvDBTreeListCalcSummaryEvent OnCalcSummary;
    TNotifyEvent OnChangeNodeEx;

protected:
    TcvTreeListNode* CreateNode() override;
    // A focused column that can be edited, an active dataset, CanStartEditing
    // and CanEditData: the dataset goes into edit state unless inserting;
    // then OnEditing.
    void DoEditing(TcvTreeListNode* Node, bool& Allow) override;
    // An untouched insert is cancelled (IsCancelOnExit), else the link
    // writes the editor; a multi-selection is repainted.
    void DoExit() override;
    // Forgets the columns DBColumns knew.
    void RemoveColumn(TcvTreeListColumn* Column) override;
    // Horizontal scroll codes move the focused column.
    void WMHScroll(TMessage& Message);
    // The grouping renumbers its columns without their setter's round trip.
    static void StoreGroupIndex(TcvDBTreeListColumn* Column, int Index) { Column->FGroupIndex = Index; }

private:
    friend class TcvDBTreeListControlDataLink;
    void ResolvePreviewField();
    // Without DefaultFields every column binds by its FieldName again.
    void BindColumnsToFields();
    // A closing dataset frees its default fields: no column keeps one.
    void UnbindColumnsFromFields();
    // With DefaultFields: columns of unmapped fields go, each mapped field
    // gets its column at the field's place.
    void FollowMappedFields();
    // The range's selectable rows merged into the selection by node address.
    void SelectRowsByAddress(TcvTreeListNode* NodeA, TcvTreeListNode* NodeB);

    // DBColumns' answers by index with the column each was for: loads ask for
    // every cell. A removal forgets them all, so a new column at a freed
    // address is looked at afresh.
    mutable std::vector<std::pair<const TcvTreeListColumn*, TcvDBTreeListColumn*>> FDBColumns;
    std::unique_ptr<TStringList> FSelectedList;
    std::string FCachedBookmark;
    bool FCachedFound = false;
    int FCachedIndex = -1;
    std::string FKeyField;
    TField* FKeyFieldObject = nullptr;
    std::vector<TcvTreeListNode*> FFieldNodes;
    std::string FPreviewFieldName;
    int FPreviewMaxLength = 0;
    int FGrIndicatorWidth = 12;
    TField* FPreviewField = nullptr;
    // The record count at the last data-set change, for DropVanishedSelection.
    int FLastRecordCount = -1;
};

namespace cvDBCtrl {

// Frees the node; a parent left without children goes the same way, so no
// group row stays empty.
void DeleteNodeWithEmptyParents(TcvTreeListNode* Node);

// The registry of live grids (their constructors and destructors).
void RegisterControl(TCustomcvDBTreeListControl* Control);
void UnregisterControl(TCustomcvDBTreeListControl* Control);
// Some registered control on DataSet answers IsDataSetUsed.
bool IsDataSetInUse(TDataSet* DataSet);

// -1, 0 or 1 by the platform's total order (Unassigned < Null < values).
int CompareVariants(const Variant& A, const Variant& B);

// The prompts of the grid's record deletion.
inline constexpr const char* SConfirmCaption = "Confirm";
inline constexpr const char* SDeleteRecordQuestion = "Delete record?";
inline constexpr const char* SDeleteSelectedQuestion = "Delete all selected records?";

} // namespace cvDBCtrl
