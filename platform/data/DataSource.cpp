// Data sources pass a dataset's events on to their data links and fire
// OnStateChange/OnDataChange; a data link turns them into its virtual
// notifications and reads its record window from the dataset.
#include <algorithm>

#include "platform/data/DB.h"

// ---- TDataSource ------------------------------------------------------------

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
    OnStateChange = nullptr;
    OnDataChange = nullptr;
    OnUpdateData = nullptr;
    SetDataSet(nullptr);
    while (!FDataLinks.empty())
        FDataLinks.back()->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* Value) {
    if (Value == FDataSet) return;
    if (FDataSet) {
        FDataSet->RemoveFreeNotification(this);
        auto& sources = FDataSet->FDataSources;
        sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
    }
    FDataSet = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->FDataSources.push_back(this);
    }
    UpdateState();
}

void TDataSource::SetEnabled(bool Value) {
    FEnabled = Value;
    UpdateState();
}

void TDataSource::Edit() {
    if (FAutoEdit && FState == dsBrowse) FDataSet->Edit();
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet) {
        FDataSet = nullptr;
        UpdateState();
    }
}

void TDataSource::DoStateChange() {
    Fire(OnStateChange, this);
}

void TDataSource::DoDataChange(TField* Field) {
    Fire(OnDataChange, this, Field);
}

void TDataSource::DoUpdateData() {
    Fire(OnUpdateData, this);
}

void TDataSource::UpdateState() {
    SetState(FEnabled && FDataSet ? FDataSet->State() : dsInactive);
}

void TDataSource::SetState(TDataSetState Value) {
    if (Value == FState) return;
    TDataSetState prior = FState;
    FState = Value;
    for (TDataLink* link : std::vector<TDataLink*>(FDataLinks))
        if (std::find(FDataLinks.begin(), FDataLinks.end(), link) != FDataLinks.end())
            link->DataEvent(deUpdateState, nullptr);
    if (ComponentState().Contains(csDestroying)) return;
    DoStateChange();
    if (prior == dsInactive) DoDataChange(nullptr);
}

void TDataSource::DataEvent(TDataEvent Event, void* Info) {
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (FState == dsInactive) return;
    for (TDataLink* link : std::vector<TDataLink*>(FDataLinks))
        if (std::find(FDataLinks.begin(), FDataLinks.end(), link) != FDataLinks.end()) link->DataEvent(Event, Info);
    switch (Event) {
    case deFieldChange:
        DoDataChange(static_cast<TField*>(Info));
        break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        DoDataChange(nullptr);
        break;
    case deUpdateRecord:
        DoUpdateData();
        break;
    default:
        break;
    }
}

// ---- TDataLink --------------------------------------------------------------

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
    // No notifications from a link that is going away.
    if (FDataSource) {
        auto& links = FDataSource->FDataLinks;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
}

void TDataLink::SetDataSource(TDataSource* Value) {
    if (Value == FDataSource) return;
    if (FDataSource) {
        auto& links = FDataSource->FDataLinks;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
    FDataSource = Value;
    if (Value) Value->FDataLinks.push_back(this);
    UpdateState();
}

TDataSet* TDataLink::DataSet() const {
    return FDataSource ? FDataSource->DataSet() : nullptr;
}

void TDataLink::SetReadOnly(bool Value) {
    if (Value == FReadOnly) return;
    FReadOnly = Value;
    UpdateState();
}

bool TDataLink::Edit() {
    if (!FReadOnly && FDataSource) FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord() {
    FUpdating = true;
    TScopeGuard updating([this] { FUpdating = false; });
    UpdateData();
}

void TDataLink::SetBufferCount(Integer Value) {
    Value = std::max<Integer>(Value, 1);
    if (Value == FBufferCount) return;
    FBufferCount = Value;
    if (FActive) DataSet()->PlaceLinkWindow(this, TDataSet::TWindowRule::Keep);
}

Integer TDataLink::RecordCount() const {
    if (!FActive) return 0;
    return std::clamp<Integer>(DataSet()->ViewCount() - FFirstRecord, 0, FBufferCount);
}

// An empty dataset has no current position; its links see record 0, as they
// do before opening, and keep no position set through them.
Integer TDataLink::ActiveRecord() const {
    return FActive && !DataSet()->IsEmpty() ? DataSet()->FActivePosition - FFirstRecord : 0;
}

void TDataLink::SetActiveRecord(Integer Value) {
    if (FActive && !DataSet()->IsEmpty()) DataSet()->FActivePosition = FFirstRecord + Value;
}

void TDataLink::DataSetChanged() {
    RecordChanged(nullptr);
}

void TDataLink::DataSetScrolled(Integer) {
    DataSetChanged();
}

void TDataLink::RecordChanged(TField*) {}

void TDataLink::LayoutChanged() {
    DataSetChanged();
}

void TDataLink::FocusControl(TField*&) {}

void TDataLink::UpdateState() {
    TDataSetState state = FDataSource ? FDataSource->State() : dsInactive;
    SetActive(state != dsInactive);
    SetEditing((state == dsEdit || state == dsInsert || state == dsSetKey) && !FReadOnly);
}

void TDataLink::SetActive(bool Value) {
    if (Value == FActive) return;
    FActive = Value;
    if (Value)
        DataSet()->PlaceLinkWindow(this, TDataSet::TWindowRule::Keep);
    else
        FFirstRecord = 0;
    ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
    if (Value == FEditing) return;
    FEditing = Value;
    EditingChanged();
}

void TDataLink::DataEvent(TDataEvent Event, void* Info) {
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!FActive) return;
    switch (Event) {
    case deFieldChange:
    case deRecordChange:
        if (!FUpdating) RecordChanged(static_cast<TField*>(Info));
        break;
    case deDataSetChange:
        DataSetChanged();
        break;
    case deDataSetScroll:
        DataSetScrolled(FScrollDistance);
        break;
    case deLayoutChange:
        LayoutChanged();
        break;
    case deUpdateRecord:
        UpdateRecord();
        break;
    case deFocusControl:
        FocusControl(*static_cast<TField**>(Info));
        break;
    default:
        break;
    }
}
