// The data-aware column and the mask column: field binding, defaults from
// the field, the node's value records, the filter hooks and the summary
// settings. Field reads follow the data link's active record, so a caller
// reading a row other than the current one sets it first.
#include "dbgrid/DBTreeListColumn.h"

#include "dbgrid/DBTreeListControl.h"
#include "editors/StandaloneEdit.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/EditMask.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Painting.h"

#include <algorithm>
#include <optional>
#include <utility>

const TcvInplaceEditClass& TCustomcvFilterEdit::StaticClass() {
    return TcvEditorClass<TCustomcvFilterEdit, TcvStandaloneEditClass<TcvTextEditClassOps>>::Instance();
}

const TcvInplaceEditClass& TcvInplaceDBTreeListMaskEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListMaskEdit, TcvTextEditClassOps>::Instance();
}

namespace {

// The width of a column without a control.
constexpr int DefaultColumnWidth = 64;

bool IsLoading(const TComponent* Component) {
    return Component->ComponentState().Contains(csLoading);
}

// Text width and overhang of Text in Font on the screen.
struct TTextMeasure {
    int Width = 0;
    int Overhang = 0;
};

TTextMeasure MeasureText(TFont* Font, const std::string& Text) {
    HDC dc = GetDC(nullptr);
    const auto release = TScopeGuard([dc] { ReleaseDC(nullptr, dc); });
    HGDIOBJ old = SelectObject(dc, Font->Handle());
    SIZE size{};
    GetTextExtentPoint32(dc, Text.c_str(), int(Text.size()), &size);
    TEXTMETRIC metrics{};
    GetTextMetrics(dc, &metrics);
    SelectObject(dc, old);
    return {int(size.cx), int(metrics.tmOverhang)};
}

// What a text measure depends on in a font.
struct TFontDescription {
    std::string Name;
    Integer Height = 0;
    TFontStyles Style;
    TFontCharset Charset = 0;
    TFontPitch Pitch = fpDefault;

    explicit TFontDescription(const TFont* Font)
        : Name(Font->Name()), Height(Font->Height()), Style(Font->Style()), Charset(Font->Charset()),
          Pitch(Font->Pitch()) {}
    // Compared in place: the width is asked for at every scroll-bar update.
    bool Describes(const TFont* Font) const {
        return Name == Font->Name() && Height == Font->Height() && Style == Font->Style() &&
               Charset == Font->Charset() && Pitch == Font->Pitch();
    }
};

} // namespace

struct TcvDBTreeListColumn::TMeasuredWidth {
    const TCustomcvTreeListControl* Control = nullptr;
    std::string Caption;
    TFontDescription HeaderFont;
    TFontDescription CellFont;
    int DisplayWidth = 0;
    int Width = 0;

    bool Measures(const TCustomcvTreeListControl* AControl, const std::string& ACaption, const TFont* ACellFont,
                  int ADisplayWidth) const {
        return Control == AControl && DisplayWidth == ADisplayWidth && Caption == ACaption &&
               HeaderFont.Describes(AControl->HeaderFont()) && CellFont.Describes(ACellFont);
    }
};

TcvDBTreeListColumn::TcvDBTreeListColumn(TComponent* AOwner) : TcvTreeListColumn(AOwner) {}

TcvDBTreeListColumn::~TcvDBTreeListColumn() {
    TCustomcvDBTreeListControl* control = DBTreeList();
    if (!control || control->ComponentState().Contains(csDestroying)) return;
    // Leaving the groups regroups the grid, which reads the dataset.
    RunGuarded([&] {
        if (FGroupIndex >= 0) control->SetColumnGroupIndex(this, -1);
        control->RenameSummaryColumn(Name(), std::string());
    });
}

TCustomcvDBTreeListControl* TcvDBTreeListColumn::DBTreeList() const {
    return dynamic_cast<TCustomcvDBTreeListControl*>(TreeList());
}

TDataSet* TcvDBTreeListColumn::DataSet() const {
    TCustomcvDBTreeListControl* control = DBTreeList();
    return control ? control->DataSet() : nullptr;
}

// Defaults from the field ---------------------------------------------------------------

TAlignment TcvDBTreeListColumn::GetDefaultAlignment() const {
    return FField ? FField->Alignment() : taLeftJustify;
}

std::string TcvDBTreeListColumn::GetDefaultCaption() const {
    return FField ? FField->DisplayLabel() : FFieldName;
}

int TcvDBTreeListColumn::GetDefaultMaxLength() const {
    if (!FField) return 0;
    const TFieldType type = FField->DataType();
    return type == ftString || type == ftWideString ? FField->Size() : 0;
}

bool TcvDBTreeListColumn::GetDefaultReadOnly() const {
    return FField && FField->ReadOnly();
}

int TcvDBTreeListColumn::GetDefaultWidth() const {
    // The last measure is checked before the data-aware control is looked
    // up: a measure names the control it was taken in.
    TCustomcvTreeListControl* control = TreeList();
    if (!control) return DefaultColumnWidth;
    TFont* font = IsAssigned(cavFont) ? Font() : control->Font();
    std::string caption = Caption();
    const int displayWidth = FField ? FField->DisplayWidth() : -1;
    if (FMeasuredWidth && FMeasuredWidth->Measures(control, caption, font, displayWidth)) return FMeasuredWidth->Width;
    if (!DBTreeList()) return DefaultColumnWidth;
    TMeasuredWidth inputs{control, std::move(caption), TFontDescription(control->HeaderFont()),
                          TFontDescription(font), displayWidth};
    int width = 0;
    if (!inputs.Caption.empty()) width = MeasureText(control->HeaderFont(), inputs.Caption).Width + 6;
    if (FField) {
        const TTextMeasure digit = MeasureText(font, "0");
        width = std::max(width, (digit.Width - digit.Overhang) * inputs.DisplayWidth + digit.Overhang + 4);
    }
    inputs.Width = width;
    FMeasuredWidth = std::make_unique<TMeasuredWidth>(std::move(inputs));
    return width;
}

void TcvDBTreeListColumn::RestoreDefaults() {
    TcvTreeListColumn::RestoreDefaults();
    FDisableGrouping = false;
    FSummaryGroupName.clear();
}

bool TcvDBTreeListColumn::HasCustomDrawCell() const {
    return TcvTreeListColumn::HasCustomDrawCell() || OnCustomDraw;
}

void TcvDBTreeListColumn::DoCustomDrawCell(TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode, bool ASelected,
                                           bool AFocused, bool ANewItemRow, std::string& AText, TColor& AColor,
                                           TFont* AFont, TAlignment& AAlignment, bool& ADone) {
    Fire(OnCustomDraw, TreeList(), ACanvas, ARect, ANode, this, ASelected, AFocused, ANewItemRow, AText, AColor, AFont,
         AAlignment, ADone);
    if (ADone) return;
    TcvTreeListColumn::DoCustomDrawCell(ACanvas, ARect, ANode, ASelected, AFocused, ANewItemRow, AText, AColor, AFont,
                                        AAlignment, ADone);
}

std::string TcvDBTreeListColumn::GetDisplayText(TcvTreeListNode* Node) const {
    (void)Node;
    return FField ? FField->DisplayText() : std::string();
}

bool TcvDBTreeListColumn::TextFollowsValue() const {
    return FField && !FField->OnGetText;
}

std::string TcvDBTreeListColumn::GetStoredDisplayText(TcvTreeListNode* Node, const Variant& Value) const {
    (void)Node;
    return FField ? FField->DisplayTextOf(Value) : std::string();
}

void TcvDBTreeListColumn::SetIndex(int Value) {
    if (TCustomcvDBTreeListControl* control = DBTreeList()) control->MoveColumnField(this, Value);
    TcvTreeListColumn::SetIndex(Value);
}

void TcvDBTreeListColumn::SetName(const std::string& Value) {
    TCustomcvDBTreeListControl* control = DBTreeList();
    if (IsLoading(this) || !control) return TcvTreeListColumn::SetName(Value);
    const std::string old = Name();
    {
        // The change handler hears of the rename once, after the summary items.
        const TNotifyEvent onChange = std::exchange(OnChange, TNotifyEvent());
        const auto restore = TScopeGuard([&] { OnChange = onChange; });
        TcvTreeListColumn::SetName(Value);
    }
    if (Name() != old) control->RenameSummaryColumn(old, Name());
    Fire(OnChange, this);
}

void TcvDBTreeListColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListColumn*>(Source);
    TCustomcvDBTreeListControl* control = DBTreeList();
    if (!source || !control) return TcvTreeListColumn::Assign(Source);
    TUpdateGuard<TCustomcvTreeList> update(control);
    TcvTreeListColumn::Assign(Source);
    FDisableGrouping = source->FDisableGrouping;
    SetFieldName(source->FFieldName);
    FSummaryGroupName = source->FSummaryGroupName;
}

// Binding -----------------------------------------------------------------------------

void TcvDBTreeListColumn::SetFieldName(const std::string& Value) {
    TCustomcvDBTreeListControl* control = DBTreeList();
    TDataSet* dataSet = DataSet();
    const bool loading = !control || IsLoading(control);
    if (FGroupIndex >= 0 && control && control->GetDataLink()->Active() && !dataSet->FindField(Value))
        control->SetColumnGroupIndex(this, -1);
    if (Value.empty())
        FField = nullptr;
    else if (dataSet && !loading)
        FField = dataSet->FindField(Value);
    // Value may be FFieldName itself: re-binding passes the column's own name.
    const std::string old = FFieldName;
    FFieldName = Value;
    if (!control) return;
    if (!control->IsUpdating()) Changed(false);
    if (!loading && old != Value) control->ColumnFieldChanged(this);
}

void TcvDBTreeListColumn::SetDisableGrouping(bool Value) {
    if (FDisableGrouping == Value) return;
    FDisableGrouping = Value;
    TCustomcvDBTreeListControl* control = DBTreeList();
    if (Value && FGroupIndex >= 0 && control)
        control->SetColumnGroupIndex(this, -1);
    else
        Changed(true);
}

void TcvDBTreeListColumn::SetGroupIndex(int Value) {
    if (Value < -1) return;
    TCustomcvDBTreeListControl* control = DBTreeList();
    if (!control || IsLoading(control))
        FGroupIndex = Value;
    else
        control->SetColumnGroupIndex(this, Value);
}

void TcvDBTreeListColumn::LoadNodeValue(TcvTreeListNode* Node) {
    if (!Node || !FField) return;
    // Only the data-aware control loads rows, and its nodes are all its own kind.
    auto* node = static_cast<TcvDBTreeListControlNode*>(Node);
    const int index = GetIndex();
    std::optional<std::string> text;
    if (!TextFollowsValue()) text = GetDisplayText(Node);
    node->StoreCell(index, FField->Value(), std::move(text));
    if (FField->Lookup())
        if (TField* key = FField->DataSet()->FindField(FField->KeyFields())) node->StoreKeyValue(index, key->Value());
}

void TcvDBTreeListColumn::GetNodeValue(TcvTreeListNode* Node, Variant& Value) const {
    auto* node = dynamic_cast<TcvDBTreeListControlNode*>(Node);
    Value = node ? node->StoredValue(GetIndex()) : Variant();
}

std::string TcvDBTreeListColumn::GetNodeDisplayText(TcvTreeListNode* Node) const {
    Variant value;
    GetNodeValue(Node, value);
    return GetValueText(value);
}

std::string TcvDBTreeListColumn::GetValueText(const Variant& Value) const {
    return Value.AsString();
}

// Filter hooks -------------------------------------------------------------------------

TcvInplaceEdit* TcvDBTreeListColumn::CreateFilterEdit(TComponent* Owner) {
    TcvInplaceEdit* editor = GetFilterEditClass().CreateEditor(Owner);
    InitFilterEdit(editor);
    return editor;
}

const TcvInplaceEditClass& TcvDBTreeListColumn::GetFilterEditClass() const {
    return TCustomcvFilterEdit::StaticClass();
}

void TcvDBTreeListColumn::GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& DisplayText) {
    DisplayText = Editor->Text();
    Value = DisplayText;
}

void TcvDBTreeListColumn::SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) {
    Editor->SetText(GetValueText(Value));
}

TVarType TcvDBTreeListColumn::GetFilterValueType() const {
    if (!FField) return varEmpty;
    switch (FField->DataType()) {
    case ftSmallint:
        return varSmallint;
    case ftInteger:
    case ftWord:
    case ftAutoInc:
        return varInteger;
    case ftFloat:
        return varDouble;
    case ftCurrency:
    case ftBCD:
        return varCurrency;
    case ftDate:
    case ftTime:
    case ftDateTime:
        return varDate;
    default:
        return varString;
    }
}

bool TcvDBTreeListColumn::IsValueCurrent(const Variant& Value) const {
    if (!FField) return false;
    if (Value.VarType() == varString) return Value.AsString() == FField->Text();
    return VarCompare(Value, FField->Value()) == 0;
}

void TcvDBTreeListColumn::InitFilterEdit(TcvInplaceEdit* Editor) {
    InitEditor(Editor);
    Editor->SetReadOnly(false);
    if (dynamic_cast<TcvInplaceTextEdit*>(Editor)) {
        Editor->OnChange = nullptr;
        Editor->OnValidate = nullptr;
    }
}

bool TcvDBTreeListColumn::IsValidEditChar(char32_t Key) const {
    TCustomcvDBTreeListControl* control = DBTreeList();
    return control && control->GetDataLink()->Active() && FField && FField->IsValidChar(Key);
}

void TcvDBTreeListColumn::NotifyFieldChanged(bool All) {
    TCustomcvDBTreeListControl* control = DBTreeList();
    if (!control || IsLoading(control) || !control->GetDataLink()->Active()) return;
    control->ColumnFieldChanged(All ? nullptr : this);
}

// Summaries ---------------------------------------------------------------------------

void TcvDBTreeListColumn::SetSummaryType(TcvSummaryType Value) {
    if (FSummaryType == Value) return;
    FSummaryType = Value;
    if (Value == cstNone) FSortBySummary = false;
    Changed(false);
}

void TcvDBTreeListColumn::SetSortBySummary(bool Value) {
    FSortBySummary = Value && FSummaryType != cstNone;
}

void TcvDBTreeListColumn::SetSummaryFooterType(TcvSummaryType Value) {
    if (FSummaryFooterType == Value) return;
    FSummaryFooterType = Value;
    Changed(false);
}

std::string TcvDBTreeListColumn::GetSummaryFooterText() const {
    if (FSummaryFooterType == cstNone || !FFooterAssigned) return std::string();
    TFieldType type = ftUnknown;
    if (FSummaryFooterType != cstCount && FFooterField) {
        const TFieldType fieldType = FFooterField->DataType();
        if (fieldType == ftDate || fieldType == ftTime || fieldType == ftDateTime) type = fieldType;
    }
    return cvDBCtrl::FormatSummaryValue(FSummaryFooterType, FSummaryFooterFormat, type, true, FFooterValue);
}

void TcvDBTreeListColumn::BindFooterField() {
    TDataSet* dataSet = DataSet();
    FFooterField =
        dataSet ? dataSet->FindField(FSummaryFooterField.empty() ? FFieldName : FSummaryFooterField) : nullptr;
}

// The mask column -----------------------------------------------------------------------

std::string TcvDBTreeListMaskColumn::EditMask() const {
    if (FEditMaskAssigned) return FEditMask;
    return Field() ? Field()->EditMask() : std::string();
}

void TcvDBTreeListMaskColumn::SetEditMask(const std::string& Value) {
    if (FEditMask == Value && FEditMaskAssigned) return;
    FEditMask = Value;
    FEditMaskAssigned = true;
}

bool TcvDBTreeListMaskColumn::IsEditMaskStored() const {
    return FEditMaskAssigned && (!Field() || FEditMask != Field()->EditMask());
}

void TcvDBTreeListMaskColumn::Assign(TPersistent* Source) {
    TcvDBTreeListColumn::Assign(Source);
    if (auto* source = dynamic_cast<TcvDBTreeListMaskColumn*>(Source)) {
        SetEditMask(source->EditMask());
        FIgnoreMaskBlank = source->FIgnoreMaskBlank;
    }
}

void TcvDBTreeListMaskColumn::RestoreDefaults() {
    TcvDBTreeListColumn::RestoreDefaults();
    FEditMaskAssigned = false;
    SetEditMask(Field() ? Field()->EditMask() : std::string());
    FIgnoreMaskBlank = false;
}

const TcvInplaceEditClass& TcvDBTreeListMaskColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListMaskEdit::StaticClass();
}

void TcvDBTreeListMaskColumn::InitEditor(TcvInplaceEdit* Editor) {
    // The mask goes in first: a masked editor takes the mask's length as its
    // MaxLength, which the column's own MaxLength then replaces.
    if (auto* mask = dynamic_cast<TcvInplaceMaskEdit*>(Editor)) {
        mask->SetEditMask(EditMask());
        mask->SetIgnoreMaskBlank(FIgnoreMaskBlank);
    }
    TcvDBTreeListColumn::InitEditor(Editor);
}

void TcvDBTreeListMaskColumn::InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    if (!Field()) return TcvDBTreeListColumn::InitEditValue(Node, Editor, Value);
    Editor->SetText(Field()->Text());
    Value = Editor->Text();
}

void TcvDBTreeListMaskColumn::ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    if (!Field()) return TcvDBTreeListColumn::ApplyEditorValue(Node, Editor, Value);
    Field()->SetText(Editor->Text());
}

bool TcvDBTreeListMaskColumn::IsValueCurrent(const Variant& Value) const {
    if (!Field() || Value.VarType() != varString) return TcvDBTreeListColumn::IsValueCurrent(Value);
    return FormatMaskText(ParseEditMask(EditMask()), Value.AsString()) == Field()->Text();
}
