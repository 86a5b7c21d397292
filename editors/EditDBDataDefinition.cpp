// The field-backed data definitions and their data link. The link passes
// the dataset's notifications to the editor through the definition's
// call-backs; the definition answers the editor from the resolved field.
#include "editors/EditDBDataDefinition.h"

#include "editors/DBEdtr.h"
#include "editors/LookupEdit.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/ActnList.h"

// ---- TcvEditDataLink --------------------------------------------------------

void TcvEditDataLink::SetFieldName(const std::string& Value) {
    if (FFieldName == Value) return;
    FFieldName = Value;
    UpdateField();
    if (!Active()) return;
    ActiveChanged();
    EditingChanged();
    RecordChanged(nullptr);
}

void TcvEditDataLink::UpdateField() {
    FField = nullptr;
    if (Active() && !FFieldName.empty()) FField = DataSet()->FieldByName(FFieldName);
}

void TcvEditDataLink::ActiveChanged() {
    UpdateField();
    Fire(FDefinition->OnActiveChange);
}

void TcvEditDataLink::EditingChanged() {
    if (!Editing()) FModified = false;
}

void TcvEditDataLink::FocusControl(TField*& Value) {
    if (!Value || Value != FField || !FDefinition->OnFocusControl) return;
    bool handled = false;
    FDefinition->OnFocusControl(handled);
    if (handled) Value = nullptr;
}

void TcvEditDataLink::LayoutChanged() {
    UpdateField();
    Fire(FDefinition->OnLayoutChange);
    FModified = false;
}

void TcvEditDataLink::RecordChanged(TField* Value) {
    if (Value && Value != FField) return;
    if (!Value) Fire(FDefinition->OnLayoutChange);
    Fire(FDefinition->OnDataChange);
    FModified = false;
}

void TcvEditDataLink::UpdateData() {
    if (!FModified) return;
    // A refused or failing write leaves the flag set: the next post tries again.
    if (FField) Fire(FDefinition->OnUpdateData);
    FModified = false;
}

// ---- TcvEditDBNotification --------------------------------------------------

void TcvEditDBNotification::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDefinition->DataSource()) FDefinition->SetDataSource(nullptr);
}

// ---- TcvEditDBDataDefinition ------------------------------------------------

TcvEditDBDataDefinition::TcvEditDBDataDefinition()
    : FDataLink(std::make_unique<TcvEditDataLink>(this)), FNotification(std::make_unique<TcvEditDBNotification>(this)) {
}

TcvEditDBDataDefinition::~TcvEditDBDataDefinition() {
    FNotification.reset();
    FDataLink.reset();
}

void TcvEditDBDataDefinition::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(FNotification.get());
}

void TcvEditDBDataDefinition::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TcvEditDBDataDefinition*>(Source)) {
        SetDataSource(source->DataSource());
        SetDataField(source->DataField());
        return;
    }
    TcvEditDataDefinition::Assign(Source);
}

bool TcvEditDBDataDefinition::BeginEdit() {
    TField* field = GetField();
    if (!field) return false;
    if (!field->CanModify() && !(field->Lookup() && cvDBEdtr::CanModifyLookupKey(field))) return false;
    FDataLink->Edit();
    if (FDataLink->Editing()) FDataLink->SetModified(true);
    return FDataLink->Editing();
}

TAlignment TcvEditDBDataDefinition::GetAlignment() {
    TField* field = GetField();
    return field ? field->Alignment() : TcvEditDataDefinition::GetAlignment();
}

std::string TcvEditDBDataDefinition::GetDisplayFormat() {
    TField* field = GetField();
    if (!field) return {};
    if (auto* numeric = dynamic_cast<TNumericField*>(field)) return numeric->DisplayFormat();
    return VarToStr(GetValue());
}

Variant TcvEditDBDataDefinition::GetDisplayValue() {
    TField* field = GetField();
    return field ? Variant(field->DisplayText()) : TcvEditDataDefinition::GetDisplayValue();
}

int TcvEditDBDataDefinition::GetMaxLength() {
    TField* field = GetField();
    if (!field) return TcvEditDataDefinition::GetMaxLength();
    const TFieldType type = field->DataType();
    return type == ftString || type == ftWideString ? field->Size() : 0;
}

std::string TcvEditDBDataDefinition::GetEditMask() {
    TField* field = GetField();
    return field ? field->EditMask() : TcvEditDataDefinition::GetEditMask();
}

Variant TcvEditDBDataDefinition::GetValue() {
    TField* field = GetField();
    if (!field) return TcvEditDataDefinition::GetValue();
    if (field->DataType() == ftBoolean) return field->AsString();
    return field->Value();
}

namespace {

// The field's upper (Max) or lower limit; a float field's as its precision
// writes and reads it back.
double FieldLimit(TField* Field, bool Max) {
    if (auto* integer = dynamic_cast<TIntegerField*>(Field)) return Max ? integer->MaxValue() : integer->MinValue();
    if (auto* floating = dynamic_cast<TFloatField*>(Field)) {
        const double limit = Max ? floating->MaxValue() : floating->MinValue();
        return StrToFloat(FloatToStrF(limit, ffGeneral, floating->Precision(), 0));
    }
    if (auto* bcd = dynamic_cast<TBCDField*>(Field)) return Max ? bcd->MaxValue() : bcd->MinValue();
    return 0.0;
}

} // namespace

double TcvEditDBDataDefinition::GetMaxValue() {
    return FieldLimit(GetField(), true);
}

double TcvEditDBDataDefinition::GetMinValue() {
    return FieldLimit(GetField(), false);
}

bool TcvEditDBDataDefinition::GetRequired() {
    TField* field = GetField();
    return field ? field->Required() : TcvEditDataDefinition::GetRequired();
}

bool TcvEditDBDataDefinition::IsEditable() {
    return GetField() && !GetReadOnly();
}

bool TcvEditDBDataDefinition::IsFloat() {
    TField* field = GetField();
    if (!field) return false;
    const TFieldType type = field->DataType();
    return type == ftFloat || type == ftCurrency || type == ftBCD;
}

bool TcvEditDBDataDefinition::GetReadOnly() {
    TField* field = GetField();
    if (!field) return TcvEditDataDefinition::GetReadOnly();
    return !field->CanModify() || FDataLink->ReadOnly();
}

bool TcvEditDBDataDefinition::IsValidChar(char32_t Key) {
    TField* field = GetField();
    return field ? field->IsValidChar(Key) : TcvEditDataDefinition::IsValidChar(Key);
}

void TcvEditDBDataDefinition::SetValue(const Variant& Value) {
    TField* field = GetField();
    if (!field) return;
    if (Value.VarType() == varString)
        field->SetText(Value.AsString());
    else
        field->SetValue(Value);
}

void TcvEditDBDataDefinition::UpdateData() {
    if (GetField()) FDataLink->UpdateRecord();
}

bool TcvEditDBDataDefinition::ExecuteAction(TBasicAction* Action) {
    return ExecuteActionOn(Action, DataSource());
}

bool TcvEditDBDataDefinition::UpdateAction(TBasicAction* Action) {
    return UpdateActionOn(Action, DataSource());
}

// ---- descendants ------------------------------------------------------------

void TcvMemoEditDBDataDefinition::SetValue(const Variant& Value) {
    TField* field = GetField();
    if (field && Value.VarType() == varString)
        field->SetAsString(Value.AsString());
    else
        TcvEditDBDataDefinition::SetValue(Value);
}

bool TcvCurrencyEditDBDataDefinition::IsValidChar(char32_t Key) {
    return Key == char32_t(FormatSettings.DecimalSeparator) || TcvEditDBDataDefinition::IsValidChar(Key);
}

TAlignment TcvDBLookupEditDBDataDefinition::GetAlignment() {
    return FEditor ? FEditor->Alignment() : TcvEditDBDataDefinition::GetAlignment();
}

Variant TcvDBLookupEditDBDataDefinition::GetValue() {
    return GetField() ? TcvEditDBDataDefinition::GetValue() : Variant();
}
