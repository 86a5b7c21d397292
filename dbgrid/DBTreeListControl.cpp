// The data-aware control: its data link and field map, the binding of
// columns to fields, node loading from the current record, the editing
// rules, the dataset-wide incremental search and the horizontal scroll
// codes; and the unit's routines (node removal, the registry of live grids).
#include "dbgrid/DBTreeListControl.h"

#include "editors/InplaceEdit.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Messages.h"
#include "treelist/cvTL.h"

#include <algorithm>
#include <utility>

namespace {

constexpr const char* SDefaultFieldsSet = "DefaultFields property should be set to False";
// The field map's limit.
constexpr int MaxFieldMapCount = 268435455;
constexpr int FirstFieldMapCapacity = 8;

bool IsInEditState(const TDataSet* DataSet) {
    const TDataSetState state = DataSet->State();
    return state == dsEdit || state == dsInsert || state == dsSetKey;
}

} // namespace

// Field map and data link --------------------------------------------------------------

void TcvFieldMap::Add(int FieldIndex) {
    if (Count() >= MaxFieldMapCount) throw EListError("List capacity out of bounds (" + IntToStr(Count()) + ")");
    if (Count() == Capacity())
        FIndexes.reserve(Capacity() == 0 ? FirstFieldMapCapacity : std::min(Capacity() * 2, MaxFieldMapCount));
    FIndexes.push_back(FieldIndex);
}

TcvDBTreeListControlDataLink::TcvDBTreeListControlDataLink(TCustomcvDBTreeListControl* AControl)
    : FControl(AControl) {
    SetVisualControl(true);
}

void TcvDBTreeListControlDataLink::CancelChanges() {
    if (!FModified) {
        if (DataSet()) DataSet()->Cancel();
        return;
    }
    RecordChanged(nullptr);
}

void TcvDBTreeListControlDataLink::AddField(const std::string& FieldName) {
    TField* field = DataSet() ? DataSet()->FindField(FieldName) : nullptr;
    FFieldMap.Add(field ? field->Index() : -1);
}

TField* TcvDBTreeListControlDataLink::GetField(int Index) const {
    if (Index < 0 || Index >= FFieldMap.Count() || FFieldMap[Index] < 0 || !DataSet()) return nullptr;
    return DataSet()->Fields()[FFieldMap[Index]];
}

void TcvDBTreeListControlDataLink::ActiveChanged() {
    if (!Active()) FControl->UnbindColumnsFromFields();
    FControl->LinkActiveChanged(Active());
}

void TcvDBTreeListControlDataLink::DataSetChanged() {
    FControl->DataChanged();
    FModified = false;
}

void TcvDBTreeListControlDataLink::DataSetScrolled(Integer Distance) {
    FControl->Scroll(-Distance);
}

void TcvDBTreeListControlDataLink::RecordChanged(TField* Field) {
    FControl->RecordChanged(Field);
    FModified = false;
}

void TcvDBTreeListControlDataLink::UpdateData() {
    if (!FModified) return;
    FControl->UpdateData();
    FModified = false;
}

void TcvDBTreeListControlDataLink::LayoutChanged() {
    FControl->BindingChanged();
    TDataLink::LayoutChanged();
}

void TcvDBTreeListControlDataLink::FocusControl(TField*& Field) {
    FControl->FocusFieldColumn(Field);
}

// The node --------------------------------------------------------------------------

namespace {

template <class T> void EraseEntry(std::vector<T>& List, int Index) {
    if (Index >= 0 && Index < int(List.size())) List.erase(List.begin() + Index);
}

template <class T> T& EntryAt(std::vector<T>& List, int Index) {
    if (Index >= int(List.size())) List.resize(size_t(Index) + 1);
    return List[size_t(Index)];
}

const Variant& NoValue() {
    static const Variant unassigned;
    return unassigned;
}

} // namespace

const Variant& TcvDBTreeListControlNode::StoredValue(int Index) const {
    return Index >= 0 && Index < int(FValues.size()) ? FValues[size_t(Index)] : NoValue();
}

const Variant& TcvDBTreeListControlNode::StoredKeyValue(int Index) const {
    return FKeyValues && Index >= 0 && Index < int(FKeyValues->size()) ? (*FKeyValues)[size_t(Index)] : NoValue();
}

const std::string* TcvDBTreeListControlNode::KeptText(int Index) const {
    if (!FTexts || Index < 0 || Index >= int(FTexts->size())) return nullptr;
    const std::optional<std::string>& text = (*FTexts)[size_t(Index)];
    return text ? &*text : nullptr;
}

void TcvDBTreeListControlNode::StoreCell(int Index, Variant Value, std::optional<std::string> Text) {
    if (Index < 0) return;
    EntryAt(FValues, Index) = std::move(Value);
    if (Text)
        StoreText(Index, *Text);
    else if (FTexts && Index < int(FTexts->size()))
        (*FTexts)[size_t(Index)].reset();
}

void TcvDBTreeListControlNode::StoreText(int Index, const std::string& Text) {
    if (Index < 0) return;
    EntryAt(FValues, Index);
    if (!FTexts) FTexts = std::make_unique<std::vector<std::optional<std::string>>>();
    EntryAt(*FTexts, Index) = Text;
}

void TcvDBTreeListControlNode::StoreKeyValue(int Index, Variant Value) {
    if (Index < 0) return;
    if (!FKeyValues) FKeyValues = std::make_unique<std::vector<Variant>>();
    EntryAt(*FKeyValues, Index) = std::move(Value);
}

void TcvDBTreeListControlNode::ReserveCells(int Count) {
    FValues.reserve(size_t(std::max(Count, 0)));
}

void TcvDBTreeListControlNode::MoveCell(int From, int To) {
    MoveColumnEntry(FValues, From, To);
    if (FTexts) MoveColumnEntry(*FTexts, From, To);
    if (FKeyValues) MoveColumnEntry(*FKeyValues, From, To);
}

void TcvDBTreeListControlNode::DeleteCell(int Index) {
    EraseEntry(FValues, Index);
    if (FTexts) EraseEntry(*FTexts, Index);
    if (FKeyValues) EraseEntry(*FKeyValues, Index);
}

void TcvDBTreeListControlNode::CopyCells(const TcvDBTreeListControlNode& Source) {
    FValues = Source.FValues;
    FTexts = Source.FTexts ? std::make_unique<std::vector<std::optional<std::string>>>(*Source.FTexts) : nullptr;
    FKeyValues = Source.FKeyValues ? std::make_unique<std::vector<Variant>>(*Source.FKeyValues) : nullptr;
}

namespace {

TcvDBTreeListControlNode* DBNode(const TcvTreeListNode* Node) {
    // CreateNode makes every node of the control.
    return static_cast<TcvDBTreeListControlNode*>(const_cast<TcvTreeListNode*>(Node));
}

} // namespace

// The control -----------------------------------------------------------------------

TCustomcvDBTreeListControl::TCustomcvDBTreeListControl(TComponent* AOwner)
    : TCustomcvTreeListControl(AOwner), FSelectedList(std::make_unique<TStringList>()) {
    FSelectedList->OnChange = [this](TObject*) {
        FCachedBookmark.clear();
        FCachedIndex = -1;
    };
}

TCustomcvDBTreeListControl::~TCustomcvDBTreeListControl() = default;

TcvTreeListNode* TCustomcvDBTreeListControl::CreateNode() {
    return new TcvDBTreeListControlNode(this);
}

TDataSet* TCustomcvDBTreeListControl::DataSet() const {
    return GetDataLink()->DataSet();
}

TcvDBTreeListColumn* TCustomcvDBTreeListControl::DBColumns(int Index) const {
    TcvTreeListColumn* column = Columns(Index);
    if (!column) return nullptr;
    if (Index >= int(FDBColumns.size())) FDBColumns.resize(size_t(Index) + 1);
    auto& known = FDBColumns[size_t(Index)];
    if (known.first != column) known = {column, dynamic_cast<TcvDBTreeListColumn*>(column)};
    return known.second;
}

void TCustomcvDBTreeListControl::RemoveColumn(TcvTreeListColumn* Column) {
    FDBColumns.clear();
    TCustomcvTreeListControl::RemoveColumn(Column);
}

void TCustomcvDBTreeListControl::CheckEditorValue() {
    TcvDBTreeListColumn* column = DBColumns(GetFocusedAbsoluteIndex());
    if (!IsEditing() || !InplaceEditor() || !column) return;
    if (!column->IsValueCurrent(InplaceEditor()->GetEditValue())) HideEditor();
}

void TCustomcvDBTreeListControl::UpdateData() {
    PostEditorValue();
}

void TCustomcvDBTreeListControl::ResetSummaries() {
    for (int i = 0; i < ColumnCount(); ++i)
        if (TcvDBTreeListColumn* column = DBColumns(i)) {
            column->BindFooterField();
            column->ResetFooterValue();
        }
}

void TCustomcvDBTreeListControl::DoBeforeCalcSummary() {
    Fire(OnBeforeCalcSummary, this);
}

void TCustomcvDBTreeListControl::DoCalcSummary(TcvTreeListNode* Node) {
    Fire(OnCalcSummary, this, Node);
}

void TCustomcvDBTreeListControl::LoadColumnValue(TcvDBTreeListColumn* Column, TcvTreeListNode* Node) {
    Column->LoadNodeValue(Node);
}

void TCustomcvDBTreeListControl::LoadNodeFromRecord(TcvTreeListNode* Node) {
    if (!Node) return;
    TcvDBTreeListControlNode* node = DBNode(Node);
    node->KeyValue = FKeyFieldObject ? FKeyFieldObject->Value() : Null();
    node->ReserveCells(ColumnCount());
    for (int i = 0; i < ColumnCount(); ++i) {
        TcvDBTreeListColumn* column = DBColumns(i);
        if (column && column->Field()) LoadColumnValue(column, Node);
    }
    if (FPreviewField)
        node->PreviewText =
            CutPreviewText(FPreviewField->OnGetText ? FPreviewField->DisplayText() : FPreviewField->AsString());
}

std::string TCustomcvDBTreeListControl::GetNodeString(const TcvTreeListNode* Node, int Column) const {
    if (!Node) return {};
    const TcvDBTreeListControlNode* node = DBNode(Node);
    if (const std::string* kept = node->KeptText(Column)) return *kept;
    // A cell the load left without a value shows nothing.
    const Variant& value = node->StoredValue(Column);
    TcvDBTreeListColumn* column = DBColumns(Column);
    if (value.IsEmpty() || !column) return {};
    return column->GetStoredDisplayText(const_cast<TcvTreeListNode*>(Node), value);
}

void TCustomcvDBTreeListControl::StoreNodeString(TcvTreeListNode* Node, int Column, const std::string& Text) {
    if (Node) DBNode(Node)->StoreText(Column, Text);
}

void TCustomcvDBTreeListControl::DeleteNodeValue(TcvTreeListNode* Node, int Index) {
    DBNode(Node)->DeleteCell(Index);
    for (int i = 0; i < Node->Count(); ++i)
        DeleteNodeValue(Node->Items(i), Index);
}

void TCustomcvDBTreeListControl::ColumnMoved(int From, int To) {
    for (TcvTreeListNode* node = Items(0); node; node = node->GetNext())
        DBNode(node)->MoveCell(From, To);
}

std::string TCustomcvDBTreeListControl::CutPreviewText(const std::string& Text) const {
    if (FPreviewMaxLength < 1 || Utf8Length(Text) <= size_t(FPreviewMaxLength)) return Text;
    return Utf8Copy(Text, 0, FPreviewMaxLength) + "...";
}

TcvDBTreeListColumn* TCustomcvDBTreeListControl::CreateColumnForClass(const TcvDBTreeListColumnClass& Class) {
    TcvDBTreeListColumn* column = Class.CreateColumn(Owner());
    column->SetTreeList(this);
    return column;
}

void TCustomcvDBTreeListControl::FillFieldMap() {
    TcvDBTreeListControlDataLink* link = GetDataLink();
    link->ClearFields();
    if (GetDefaultFields()) {
        if (!DataSet()) return;
        for (TField* field : DataSet()->Fields())
            if (field->Visible()) link->AddField(field->FieldName());
        return;
    }
    for (int i = 0; i < ColumnCount(); ++i)
        if (TcvDBTreeListColumn* column = DBColumns(i)) link->AddField(column->FieldName());
}

void TCustomcvDBTreeListControl::DoChangeNodeEx() {
    if (ComponentState().Contains(csLoading) || !GetDataLink()->Active()) return;
    if (FocusedNode() && DataSet()->State() == dsBrowse) {
        LoadNodeFromRecord(FocusedNode());
        InvalidateNode(FocusedNode(), false);
    }
    Fire(OnChangeNodeEx, this);
}

bool TCustomcvDBTreeListControl::IsEmptyDataSet() const {
    const TDataSet* dataSet = DataSet();
    return GetDataLink()->Active() && dataSet->Active() && !CanStartEditing() && dataSet->Bof() && dataSet->Eof() &&
           dataSet->State() == dsBrowse;
}

TcvDBTreeListColumn* TCustomcvDBTreeListControl::CreateColumn(const TcvDBTreeListColumnClass& Class) {
    if (GetDefaultFields()) throw Exception(SDefaultFieldsSet);
    TcvDBTreeListColumn* column = Class.CreateColumn(Owner());
    column->SetName(NewColumnName());
    column->SetTreeList(this);
    return column;
}

std::string TCustomcvDBTreeListControl::NewColumnName() const {
    const auto taken = [this](const std::string& Name) {
        return Owner() ? Owner()->FindComponent(Name) != nullptr : ColumnByName(Name) != nullptr;
    };
    int number = ColumnCount() + 1;
    while (taken(Name() + "Column" + IntToStr(number)))
        ++number;
    return Name() + "Column" + IntToStr(number);
}

void TCustomcvDBTreeListControl::CreateDefaultColumns(TDataSet* DataSet, TComponent* Owner) {
    TUpdateGuard<TCustomcvTreeList> update(this);
    for (TField* field : DataSet->Fields()) {
        TcvDBTreeListColumn* column = GetColumnClass(field).CreateColumn(Owner);
        column->SetTreeList(this);
        column->SetFieldName(field->FieldName());
        column->SetVisible(field->Visible());
    }
}

const TcvDBTreeListColumnClass& TCustomcvDBTreeListControl::GetDefaultColumnClass() const {
    return TcvColumnClassOf<TcvDBTreeListColumn>::Instance();
}

const TcvDBTreeListColumnClass& TCustomcvDBTreeListControl::GetColumnClass(TField* Field) const {
    (void)Field;
    return TcvColumnClassOf<TcvDBTreeListColumn>::Instance();
}

// Binding ---------------------------------------------------------------------------

void TCustomcvDBTreeListControl::BindingChanged() {
    TcvDBTreeListControlDataLink* link = GetDataLink();
    link->ClearFields();
    const bool active = link->Active();
    if (active) {
        FillFieldMap();
        FieldsChanged();
    }
    ResolvePreviewField();
    FKeyFieldObject = active && !FKeyField.empty() ? DataSet()->FindField(FKeyField) : nullptr;
    TUpdateGuard<TCustomcvTreeList> update(this);
    if (!GetDefaultFields())
        BindColumnsToFields();
    else if (active)
        FollowMappedFields();
    else {
        TCustomcvTreeListControl::DestroyColumns();
        if (DataSet()) CreateDefaultColumns(DataSet(), Owner());
    }
}

bool TCustomcvDBTreeListControl::ExecuteAction(TBasicAction* Action) {
    return TCustomcvTreeListControl::ExecuteAction(Action) || ExecuteActionOn(Action, GetDataSource());
}

bool TCustomcvDBTreeListControl::UpdateAction(TBasicAction* Action) {
    return TCustomcvTreeListControl::UpdateAction(Action) || UpdateActionOn(Action, GetDataSource());
}

void TCustomcvDBTreeListControl::BindColumnsToFields() {
    for (int i = 0; i < ColumnCount(); ++i)
        if (TcvDBTreeListColumn* column = DBColumns(i)) column->SetFieldName(column->FieldName());
}

void TCustomcvDBTreeListControl::UnbindColumnsFromFields() {
    for (int i = 0; i < ColumnCount(); ++i)
        if (TcvDBTreeListColumn* column = DBColumns(i)) column->FField = nullptr;
}

void TCustomcvDBTreeListControl::FollowMappedFields() {
    TcvDBTreeListControlDataLink* link = GetDataLink();
    const TcvFieldMap& map = link->FieldMap();
    const auto mapped = [&](const TField* Field) {
        for (int i = 0; i < map.Count(); ++i)
            if (link->GetField(i) == Field) return true;
        return false;
    };
    for (int i = ColumnCount() - 1; i >= 0; --i) {
        TcvDBTreeListColumn* column = DBColumns(i);
        if (column && !mapped(DataSet()->FindField(column->FieldName()))) delete column;
    }
    for (int i = 0; i < map.Count(); ++i) {
        TField* field = link->GetField(i);
        if (!field) continue;
        TcvDBTreeListColumn* column = ColumnByFieldName(field->FieldName());
        if (!column) {
            column = CreateColumnForClass(GetColumnClass(field));
            column->SetFieldName(field->FieldName());
        }
        // The tree-list move: the column's own would move the field again.
        if (i < ColumnCount()) column->TcvTreeListColumn::SetIndex(i);
    }
}

void TCustomcvDBTreeListControl::ResolvePreviewField() {
    FPreviewField = nullptr;
    if (!GetDataLink()->Active() || FPreviewFieldName.empty()) return;
    TField* field = DataSet()->FindField(FPreviewFieldName);
    if (field && field->IsBlob()) {
        const TFieldType type = field->DataType();
        if (type != ftBlob && type != ftMemo && type != ftFmtMemo) field = nullptr;
    }
    FPreviewField = field;
}

void TCustomcvDBTreeListControl::MoveColumnField(TcvDBTreeListColumn* Column, int Value) {
    TcvDBTreeListControlDataLink* link = GetDataLink();
    if (!GetDefaultFields() || !link->Active() || !Column->Field()) return;
    TField* target = link->GetField(Value);
    Column->Field()->SetIndex(target ? target->Index() : DataSet()->FieldCount() - 1);
}

void TCustomcvDBTreeListControl::ApplySingleSortRule(const TcvTreeListColumn* Sorting) {
    if (IsMultiSort()) return;
    const auto* sorting = dynamic_cast<const TcvDBTreeListColumn*>(Sorting);
    // A group column sorts its own level: the record columns keep theirs.
    if (Sorting && (!sorting || sorting->GroupIndex() >= 0)) return;
    bool kept = sorting != nullptr;
    for (int i = 0; i < ColumnCount(); ++i) {
        TcvDBTreeListColumn* column = DBColumns(i);
        if (!column || column == sorting || column->GroupIndex() >= 0 || column->Sorted() == csNone) continue;
        if (kept) column->SetSorted(csNone);
        kept = true;
    }
}

void TCustomcvDBTreeListControl::SortedChanging(TcvTreeListColumn* Column) {
    ApplySingleSortRule(Column);
}

void TCustomcvDBTreeListControl::DestroyColumns() {
    const TComponentState state = ComponentState();
    if (GetDefaultFields() && !state.Contains(csLoading) && !state.Contains(csDestroying))
        throw Exception(SDefaultFieldsSet);
    TCustomcvTreeListControl::DestroyColumns();
}

TcvDBTreeListColumn* TCustomcvDBTreeListControl::ColumnByFieldName(const std::string& Name) const {
    for (int i = 0; i < ColumnCount(); ++i) {
        TcvDBTreeListColumn* column = DBColumns(i);
        if (column && SameText(column->FieldName(), Name)) return column;
    }
    return nullptr;
}

TcvDBTreeListColumn* TCustomcvDBTreeListControl::DBColumnByName(const std::string& Name) const {
    return dynamic_cast<TcvDBTreeListColumn*>(ColumnByName(Name));
}

void TCustomcvDBTreeListControl::FocusFieldColumn(TField* Field) {
    for (int i = 0; i < ColumnCount(); ++i) {
        TcvDBTreeListColumn* column = DBColumns(i);
        if (column && column->Visible() && column->Field() == Field) return SetFocusedColumn(GetVisibleIndex(i));
    }
}

// Settings --------------------------------------------------------------------------

void TCustomcvDBTreeListControl::SetKeyField(const std::string& Value) {
    if (FKeyField == Value) return;
    FKeyField = Value;
    LinkActiveChanged(GetDataLink()->Active());
}

void TCustomcvDBTreeListControl::SetPreviewFieldName(const std::string& Value) {
    if (FPreviewFieldName == Value) return;
    FPreviewFieldName = Value;
    LinkActiveChanged(GetDataLink()->Active());
}

void TCustomcvDBTreeListControl::SetPreviewMaxLength(int Value) {
    Value = std::max(Value, 0);
    if (FPreviewMaxLength == Value) return;
    FPreviewMaxLength = Value;
    LayoutChanged();
}

void TCustomcvDBTreeListControl::SetGrIndicatorWidth(int Value) {
    // The indicator's pictures must fit.
    if (TImageList* images = cvTL::IndicatorImages()) Value = std::max(Value, images->Width());
    if (FGrIndicatorWidth == Value) return;
    FGrIndicatorWidth = Value;
    LayoutChanged();
}

void TCustomcvDBTreeListControl::AddFieldNode(TcvTreeListNode* Node) {
    if (std::find(FFieldNodes.begin(), FFieldNodes.end(), Node) == FFieldNodes.end()) FFieldNodes.push_back(Node);
}

void TCustomcvDBTreeListControl::RemoveFieldNode(TcvTreeListNode* Node) {
    std::erase(FFieldNodes, Node);
}

// Tree-list overrides ------------------------------------------------------------------

bool TCustomcvDBTreeListControl::FindNodeByText(int Column, const std::string& Text, TcvTreeListNode*& Node,
                                                int Direction) {
    if (IsNodeSearchMode()) return TCustomcvTreeListControl::FindNodeByText(Column, Text, Node, Direction);
    TDataSet* dataSet = DataSet();
    TcvDBTreeListColumn* column = DBColumns(Column);
    if (Text.empty() || !column || !dataSet || !dataSet->Active() || (dataSet->Bof() && dataSet->Eof()) ||
        dataSet->State() == dsEdit || dataSet->State() == dsInsert)
        return false;
    const size_t length = Utf8Length(Text);
    const auto matches = [&] {
        return cvTL::SameTextIgnoreCase(Utf8Copy(column->GetDisplayText(nullptr), 0, length), Text);
    };
    bool found = false;
    {
        TDisableControlsScope disable(dataSet);
        const TBookmarkStr start = dataSet->Bookmark();
        found = Direction == sdFromFocused && matches();
        while (!found) {
            // A move past either end sets BOF or EOF and stays put.
            if (Direction == sdBackward) {
                dataSet->Prior();
                if (dataSet->Bof()) break;
            } else {
                dataSet->Next();
                if (dataSet->Eof()) break;
            }
            found = matches();
        }
        if (!found) dataSet->GotoBookmark(start);
    }
    // The controls followed the dataset when they were enabled again.
    Node = FocusedNode();
    return found && Node;
}

bool TCustomcvDBTreeListControl::CanEditModify() {
    TcvDBTreeListControlDataLink* link = GetDataLink();
    if (!CanEditData() || IsReadOnlyData() || !link->Active() || link->ReadOnly()) return false;
    TcvDBTreeListColumn* column = DBColumns(GetFocusedAbsoluteIndex());
    if (!column || column->ReadOnly()) return false;
    TField* field = column->Field();
    if (!field || !field->CanModify() || (field->IsBlob() && !column->CanEditValue()) || IsEmptyDataSet())
        return false;
    if (link->Edit()) link->SetModified();
    return link->Editing();
}

bool TCustomcvDBTreeListControl::IsEditorReadOnly() {
    return TCustomcvTreeListControl::IsEditorReadOnly() || IsEmptyDataSet() || IsReadOnlyData();
}

bool TCustomcvDBTreeListControl::IsValidEditChar(char32_t Key) {
    TcvDBTreeListColumn* column = DBColumns(GetFocusedAbsoluteIndex());
    return column && column->IsValidEditChar(Key);
}

int TCustomcvDBTreeListControl::GetIndicatorKind(const TcvTreeListNode* Node) const {
    if (Node != FocusedNode()) return IsNodeSelected(Node) ? 4 : 0;
    const TDataSet* dataSet = DataSet();
    if (dataSet && dataSet->State() == dsEdit) return 2;
    if (dataSet && dataSet->State() == dsInsert) return 3;
    return IsMultiSelect() && IsNodeSelected(Node) ? 5 : 1;
}

bool TCustomcvDBTreeListControl::CanEditRecord() const {
    return TCustomcvTreeListControl::CanEditRecord() && !(DataSet() && IsInEditState(DataSet()));
}

void TCustomcvDBTreeListControl::DoEditing(TcvTreeListNode* Node, bool& Allow) {
    TcvDBTreeListColumn* column = DBColumns(GetFocusedAbsoluteIndex());
    TDataSet* dataSet = DataSet();
    if (!column || column->ReadOnly() || !column->Field() || !dataSet || !dataSet->Active() || !CanStartEditing() ||
        !CanEditData()) {
        Allow = false;
        return;
    }
    if (dataSet->State() != dsInsert) GetDataLink()->Edit();
    TCustomcvTreeListControl::DoEditing(Node, Allow);
}

void TCustomcvDBTreeListControl::DoExit() {
    TcvDBTreeListControlDataLink* link = GetDataLink();
    if (link->Active()) {
        TDataSet* dataSet = DataSet();
        if (IsCancelOnExit() && dataSet->State() == dsInsert && !dataSet->Modified())
            dataSet->Cancel();
        else
            link->UpdateRecord();
    }
    TCustomcvTreeListControl::DoExit();
    if (IsMultiSelect() && SelectedCount() > 0) InvalidateSelection();
}

bool TCustomcvDBTreeListControl::CanFocusEditor() {
    if (CanFocus() && !IsFocusedInside()) {
        SetFocus();
        if (!IsFocusedInside()) return false;
    }
    CheckEditorValue();
    return true;
}

void TCustomcvDBTreeListControl::WndProc(TMessage& Message) {
    if (Message.Msg == WM_HSCROLL && CanFocus() && GetVisibleColumnCount() > 0) {
        const int code = LoWord(Message.WParam);
        if (code >= SB_LINELEFT && code <= SB_THUMBTRACK) return WMHScroll(Message);
    }
    TCustomcvTreeListControl::WndProc(Message);
}

void TCustomcvDBTreeListControl::WMHScroll(TMessage& Message) {
    const int count = GetVisibleColumnCount();
    switch (LoWord(Message.WParam)) {
    case SB_LINELEFT:
    case SB_LINERIGHT: {
        // The first column whose cells reach into the scrolling area.
        const int scrollingLeft = GetScrollingBandsRect().Left;
        int first = 0;
        while (first < count - 1 && GetCellRect(TopNode(), first).Right <= scrollingLeft)
            ++first;
        const int step = LoWord(Message.WParam) == SB_LINELEFT ? -1 : 1;
        SetFocusedColumn(std::clamp(first + step, 0, count - 1));
        break;
    }
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        TScrollInfo info;
        info.fMask = SIF_ALL;
        GetScrollInfo(SB_HORZ, info);
        SetFocusedColumn(info.nTrackPos <= 0 ? 0 : std::min(info.nTrackPos, count - 1));
        break;
    }
    default: // pages move nothing
        break;
    }
    Message.Result = 0;
}

// Unit routines -----------------------------------------------------------------------

namespace cvDBCtrl {

namespace {

// Made on the first registration, freed with the last.
std::unique_ptr<std::vector<TCustomcvDBTreeListControl*>> LiveControls;

} // namespace

void DeleteNodeWithEmptyParents(TcvTreeListNode* Node) {
    while (Node->Parent() && Node->Parent()->Count() == 1)
        Node = Node->Parent();
    delete Node;
}

void RegisterControl(TCustomcvDBTreeListControl* Control) {
    if (!LiveControls) LiveControls = std::make_unique<std::vector<TCustomcvDBTreeListControl*>>();
    LiveControls->push_back(Control);
}

void UnregisterControl(TCustomcvDBTreeListControl* Control) {
    if (!LiveControls) return;
    std::erase(*LiveControls, Control);
    if (LiveControls->empty()) LiveControls.reset();
}

bool IsDataSetInUse(TDataSet* DataSet) {
    if (!LiveControls) return false;
    return std::any_of(LiveControls->begin(), LiveControls->end(), [DataSet](TCustomcvDBTreeListControl* Control) {
        return Control->DataSet() == DataSet && Control->IsDataSetUsed();
    });
}

int CompareVariants(const Variant& A, const Variant& B) {
    const int result = VarCompare(A, B);
    return (result > 0) - (result < 0);
}

} // namespace cvDBCtrl
