// The grid column classes' own behaviour and the unit's start-up.
#include "dbgrid/GridColumns.h"

#include "dbgrid/FilterEdit.h"
#include "platform/rtl/StringList.h"

// Check column --------------------------------------------------------------------------

void TcvDBGridCheckColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBGridCheckColumn*>(Source);
    if (!source) return TcvDBTreeListCheckColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListCheckColumn::Assign(Source);
        SetDisplayChecked(source->FDisplayChecked);
        SetDisplayUnChecked(source->FDisplayUnChecked);
        SetDisplayNull(source->FDisplayNull);
    });
}

void TcvDBGridCheckColumn::RestoreDefaults() {
    TcvDBTreeListCheckColumn::RestoreDefaults();
    FDisplayChecked.clear();
    FDisplayUnChecked.clear();
    FDisplayNull.clear();
}

std::string TcvDBGridCheckColumn::ConvertFilterText(const std::string& Text) const {
    const std::string* display = nullptr;
    switch (StateOfText(Text)) {
    case cbsChecked:
        display = &FDisplayChecked;
        break;
    case cbsUnchecked:
        display = &FDisplayUnChecked;
        break;
    default:
        display = &FDisplayNull;
    }
    return display->empty() ? Text : *display;
}

void TcvDBGridCheckColumn::InitFilterEdit(TcvInplaceEdit* Editor) {
    TcvDBTreeListCheckColumn::InitFilterEdit(Editor);
    auto* image = dynamic_cast<TCustomcvFilterImageEdit*>(Editor);
    if (!image || (FDisplayChecked.empty() && FDisplayUnChecked.empty() && FDisplayNull.empty())) return;
    TStringList descriptions;
    descriptions.Add(FDisplayNull);
    descriptions.Add(FDisplayUnChecked);
    descriptions.Add(FDisplayChecked);
    image->SetDescriptions(&descriptions);
}

void TcvDBGridCheckColumn::SetDisplayChecked(const std::string& Value) {
    SetDisplayText(FDisplayChecked, Value);
}

void TcvDBGridCheckColumn::SetDisplayUnChecked(const std::string& Value) {
    SetDisplayText(FDisplayUnChecked, Value);
}

void TcvDBGridCheckColumn::SetDisplayNull(const std::string& Value) {
    SetDisplayText(FDisplayNull, Value);
}

void TcvDBGridCheckColumn::SetDisplayText(std::string& Text, const std::string& Value) {
    if (Value == Text) return;
    Text = Value;
    Changed(true);
}

// Image column --------------------------------------------------------------------------

std::string TcvDBGridImageColumn::ConvertFilterText(const std::string& Text) const {
    return DescriptionOf(Text);
}

// Unit ----------------------------------------------------------------------------------

namespace cvGrClms {

namespace {

int UnitReferences = 0;

} // namespace

void GetGridColumnClass(uint8_t FieldType, uint8_t FieldKind, TcvColumnClassInfo& Info) {
    ProposeColumnClass<TcvDBGridLookupColumn, TcvDBGridCheckColumn, TcvDBGridCurrencyColumn, TcvDBGridDateColumn,
                       TcvDBGridTimeColumn, TcvDBGridMemoColumn, TcvDBGridGraphicColumn, TcvDBGridBlobColumn,
                       TcvDBGridMaskColumn>(FieldType, FieldKind, Info);
}

void Initialize() {
    if (UnitReferences++ == 0) cvDBGrid::RegisterColumnClasses(GetGridColumnClass);
}

void Finalize() {
    if (UnitReferences > 0 && --UnitReferences == 0) cvDBGrid::ResetColumnClasses();
}

} // namespace cvGrClms
