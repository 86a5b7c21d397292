// The memo and currency columns. Both move values in the editor's own type
// only while bound to a field; unbound they edit the node's cell text as the
// column base does.
#include "dbgrid/DBColumnFamilyText.h"

#include "dbgrid/DBColumnFamilyShared.h"
#include "dbgrid/DBTreeListControl.h"
#include "dbgrid/FilterEdit.h"
#include "editors/ExEdtr.h"
#include "editors/GridDate.h"
#include "platform/data/DB.h"
#include "platform/rtl/SysUtils.h"
#include "treelist/TreeListCellViewData.h"
#include "treelist/TreeListNode.h"

// Editor classes ------------------------------------------------------------------------

const TcvInplaceEditClass& TcvInplaceDBTreeListMemoEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListMemoEdit, TcvTextEditClassOps>::Instance();
}

const TcvInplaceEditClass& TcvInplaceDBTreeListCurrencyEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListCurrencyEdit, TcvTextEditClassOps>::Instance();
}

// Limits --------------------------------------------------------------------------------

double TcvColumnValueLimits::Value(bool Max, const TField* Field) const {
    if (FAssigned[Max]) return FValue[Max];
    if (auto* integer = dynamic_cast<const TIntegerField*>(Field))
        return double(Max ? integer->MaxValue() : integer->MinValue());
    // A float field's limit as the field would show it: its precision's digits.
    if (auto* real = dynamic_cast<const TFloatField*>(Field))
        return StrToFloat(FloatToStrF(Max ? real->MaxValue() : real->MinValue(), ffGeneral, real->Precision(), 0));
    if (auto* bcd = dynamic_cast<const TBCDField*>(Field)) return Max ? bcd->MaxValue() : bcd->MinValue();
    return 0.0;
}

void TcvColumnValueLimits::SetValue(bool Max, double Value) {
    FValue[Max] = Value;
    FAssigned[Max] = true;
}

void TcvColumnValueLimits::Assign(const TcvColumnValueLimits& Source) {
    for (const bool max : {false, true})
        if (Source.FAssigned[max]) SetValue(max, Source.FValue[max]);
}

// Memo column ---------------------------------------------------------------------------

TcvDBTreeListMemoColumn::TcvDBTreeListMemoColumn(TComponent* AOwner) : TcvDBTreeListColumn(AOwner) {
    SetHeaderMaxLineCount(0);
    SetDisableFilter(true);
}

void TcvDBTreeListMemoColumn::ResetOwnDefaults() {
    FMaxDisplayLength = 255;
    FScrollBars = ssNone;
    FWordWrap = true;
}

void TcvDBTreeListMemoColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListMemoColumn*>(Source);
    if (!source) return TcvDBTreeListColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListColumn::Assign(Source);
        FMaxDisplayLength = source->FMaxDisplayLength;
        FScrollBars = source->FScrollBars;
        FWordWrap = source->FWordWrap;
    });
}

void TcvDBTreeListMemoColumn::RestoreDefaults() {
    TcvDBTreeListColumn::RestoreDefaults();
    SetDisableFilter(true);
    SetHeaderMaxLineCount(0);
    ResetOwnDefaults();
}

const TcvInplaceEditClass& TcvDBTreeListMemoColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListMemoEdit::StaticClass();
}

std::string TcvDBTreeListMemoColumn::GetDisplayText(TcvTreeListNode* Node) const {
    if (!Field()) return TcvDBTreeListColumn::GetDisplayText(Node);
    return CutToDisplayLength(Field()->AsString(), FMaxDisplayLength);
}

std::string TcvDBTreeListMemoColumn::GetStoredDisplayText(TcvTreeListNode* Node, const Variant& Value) const {
    if (!Field()) return TcvDBTreeListColumn::GetStoredDisplayText(Node, Value);
    return CutToDisplayLength(Value.AsString(), FMaxDisplayLength);
}

void TcvDBTreeListMemoColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListColumn::InitEditor(Editor);
    auto* memo = dynamic_cast<TcvInplaceMemoEdit*>(Editor);
    if (!memo) return;
    memo->SetHideScrollBars(FHideScrollBars);
    memo->SetScrollBars(FScrollBars);
    memo->SetSelectionBar(FSelectionBar);
    memo->SetWantReturns(FWantReturns);
    memo->SetWantTabs(FWantTabs);
    memo->SetWordWrap(FWordWrap);
}

void TcvDBTreeListMemoColumn::InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* memo = dynamic_cast<TcvInplaceMemoEdit*>(Editor);
    if (!Field() || !memo) return TcvDBTreeListColumn::InitEditValue(Node, Editor, Value);
    memo->SetText(Field()->AsString());
    Value = memo->Text();
}

void TcvDBTreeListMemoColumn::ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* memo = dynamic_cast<TcvInplaceMemoEdit*>(Editor);
    if (!Field() || !memo) return TcvDBTreeListColumn::ApplyEditorValue(Node, Editor, Value);
    Field()->SetAsString(memo->Text());
    Node->GetValue(GetIndex(), Value);
}

bool TcvDBTreeListMemoColumn::IsValueCurrent(const Variant& Value) const {
    if (!Field()) return TcvDBTreeListColumn::IsValueCurrent(Value);
    return Variant(Field()->AsString()) == Value;
}

void TcvDBTreeListMemoColumn::SetSelectionBar(bool Value) {
    if (Value == FSelectionBar) return;
    FSelectionBar = Value;
    Changed(true);
}

// Currency column -----------------------------------------------------------------------

TcvDBTreeListCurrencyColumn::TcvDBTreeListCurrencyColumn(TComponent* AOwner) : TcvDBTreeListColumn(AOwner) {}

void TcvDBTreeListCurrencyColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListCurrencyColumn*>(Source);
    if (!source) return TcvDBTreeListColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListColumn::Assign(Source);
        FDecimalPlaces = source->FDecimalPlaces;
        if (source->FDisplayFormatAssigned) SetDisplayFormat(source->FDisplayFormat);
        FLimits.Assign(source->FLimits);
        SetNullable(source->FNullable);
        SetNullString(source->FNullString);
        FUseThousandSeparator = source->FUseThousandSeparator;
    });
}

void TcvDBTreeListCurrencyColumn::RestoreDefaults() {
    TcvDBTreeListColumn::RestoreDefaults();
    FDecimalPlaces = 2;
    FDisplayFormat.clear();
    FDisplayFormatAssigned = false;
    FLimits.ResetValues();
}

const TcvInplaceEditClass& TcvDBTreeListCurrencyColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListCurrencyEdit::StaticClass();
}

void TcvDBTreeListCurrencyColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListColumn::InitEditor(Editor);
    auto* currency = dynamic_cast<TcvInplaceCurrencyEdit*>(Editor);
    if (!currency) return;
    currency->SetDecimalPlaces(int(FDecimalPlaces));
    currency->SetDisplayFormat({});
    currency->SetMinMaxValues(MinValue(), MaxValue());
    currency->SetNullable(FNullable);
    currency->SetNullString(FNullString);
    currency->SetUseThousandSeparator(FUseThousandSeparator);
}

void TcvDBTreeListCurrencyColumn::InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* currency = dynamic_cast<TcvInplaceCurrencyEdit*>(Editor);
    if (!Field() || !currency) return TcvDBTreeListColumn::InitEditValue(Node, Editor, Value);
    currency->SetValue(Field()->AsFloat());
    Value = currency->GetValue();
}

void TcvDBTreeListCurrencyColumn::ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* currency = dynamic_cast<TcvInplaceCurrencyEdit*>(Editor);
    if (Field() && currency)
        Field()->SetValue(currency->GetEditValue());
    else
        TcvDBTreeListColumn::ApplyEditorValue(Node, Editor, Value);
    Node->GetValue(GetIndex(), Value);
}

void TcvDBTreeListCurrencyColumn::PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) {
    TcvDBTreeListColumn::PrepareViewData(ViewData, Cell);
    const std::string format = DisplayFormat();
    if (format.empty() || !Cell.Node || Cell.NewItemRowIdle || FieldFormatsText()) return;
    Variant value;
    Cell.Node->GetValue(GetIndex(), value);
    if (VarIsNull(value) || VarType(value) == varString) {
        std::string text = VarToStr(value);
        if (text.empty() && FNullable) text = FNullString;
        ViewData.Value = text;
    } else {
        ViewData.Value = FormatFloat(format, value.AsFloat());
    }
}

bool TcvDBTreeListCurrencyColumn::IsValidEditChar(char32_t Key) const {
    const bool linked = Field() && DBTreeList() && DBTreeList()->GetDataLink()->Active();
    if (linked && Key == char32_t(FormatSettings.DecimalSeparator)) return true;
    return TcvDBTreeListColumn::IsValidEditChar(Key);
}

bool TcvDBTreeListCurrencyColumn::IsValueCurrent(const Variant& Value) const {
    if (!Field()) return TcvDBTreeListColumn::IsValueCurrent(Value);
    return Variant(Field()->AsFloat()) == Value;
}

const TcvInplaceEditClass& TcvDBTreeListCurrencyColumn::GetFilterEditClass() const {
    return TCustomcvFilterCurrencyEdit::StaticClass();
}

void TcvDBTreeListCurrencyColumn::GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* currency = dynamic_cast<TcvInplaceCurrencyEdit*>(Editor);
    if (!currency) return TcvDBTreeListColumn::GetFilterEditValue(Editor, Value, Text);
    Value = currency->GetValue();
    Text = currency->Text();
}

void TcvDBTreeListCurrencyColumn::SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) {
    auto* currency = dynamic_cast<TCustomcvFilterCurrencyEdit*>(Editor);
    if (!currency) return TcvDBTreeListColumn::SetFilterEditValue(Editor, Value);
    currency->SetValue(VarIsNull(Value) || VarToStr(Value).empty() ? 0.0 : Value.AsFloat());
}

std::string TcvDBTreeListCurrencyColumn::DisplayFormat() const {
    return FDisplayFormatAssigned ? FDisplayFormat : cvExEdtr::DefaultCurrencyDisplayFormat();
}

void TcvDBTreeListCurrencyColumn::SetDisplayFormat(const std::string& Value) {
    if (FDisplayFormatAssigned && Value == FDisplayFormat) return;
    FDisplayFormat = Value;
    FDisplayFormatAssigned = true;
    Changed(true);
}

void TcvDBTreeListCurrencyColumn::SetNullable(bool Value) {
    if (Value == FNullable) return;
    FNullable = Value;
    Changed(false);
}

void TcvDBTreeListCurrencyColumn::SetNullString(const std::string& Value) {
    if (Value == FNullString) return;
    FNullString = Value;
    Changed(false);
}

bool TcvDBTreeListCurrencyColumn::FieldFormatsText() const {
    TField* field = Field();
    if (!field) return false;
    if (field->OnGetText) return true;
    if (auto* real = dynamic_cast<TFloatField*>(field)) return real->Currency();
    if (auto* bcd = dynamic_cast<TBCDField*>(field)) return bcd->Currency();
    return false;
}

// Time column ---------------------------------------------------------------------------

const TcvInplaceEditClass& TcvInplaceDBTreeListTimeEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListTimeEdit, TcvSpinEditClassOps>::Instance();
}

void TcvDBTreeListTimeColumn::Assign(TPersistent* Source) {
    TcvDBTreeListColumn::Assign(Source);
    if (auto* source = dynamic_cast<TcvDBTreeListTimeColumn*>(Source)) {
        FTimeEditFormat = source->FTimeEditFormat;
        FUseCtrlIncrement = source->FUseCtrlIncrement;
    }
}

void TcvDBTreeListTimeColumn::RestoreDefaults() {
    TcvDBTreeListColumn::RestoreDefaults();
    FTimeEditFormat = cvExEdtr::tfHourMinSec;
    FUseCtrlIncrement = false;
}

const TcvInplaceEditClass& TcvDBTreeListTimeColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListTimeEdit::StaticClass();
}

void TcvDBTreeListTimeColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListColumn::InitEditor(Editor);
    if (auto* time = dynamic_cast<TcvInplaceTimeEdit*>(Editor)) {
        time->SetTimeEditFormat(FTimeEditFormat);
        time->SetUseCtrlIncrement(FUseCtrlIncrement);
    }
}

void TcvDBTreeListTimeColumn::InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* time = dynamic_cast<TcvInplaceTimeEdit*>(Editor);
    if (!Field() || !time) return TcvDBTreeListColumn::InitEditValue(Node, Editor, Value);
    time->SetTime(cvGrDate::TimeOfDateTime(Field()->AsFloat()));
    Value = VarFromDateTime(time->GetTime());
}

void TcvDBTreeListTimeColumn::ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* time = dynamic_cast<TcvInplaceTimeEdit*>(Editor);
    if (Field() && time)
        Field()->SetAsFloat(
            cvGrDate::CombineDateTime(double(cvGrDate::TruncDateTime(Field()->AsFloat())), time->GetTime()));
    else
        TcvDBTreeListColumn::ApplyEditorValue(Node, Editor, Value);
    Node->GetValue(GetIndex(), Value);
}

bool TcvDBTreeListTimeColumn::IsValueCurrent(const Variant& Value) const {
    if (!Field()) return TcvDBTreeListColumn::IsValueCurrent(Value);
    return VarFromDateTime(cvGrDate::TimeOfDateTime(Field()->AsFloat())) == Value;
}

const TcvInplaceEditClass& TcvDBTreeListTimeColumn::GetFilterEditClass() const {
    return TCustomcvFilterTimeEdit::StaticClass();
}

void TcvDBTreeListTimeColumn::GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* time = dynamic_cast<TcvInplaceTimeEdit*>(Editor);
    if (!time) return TcvDBTreeListColumn::GetFilterEditValue(Editor, Value, Text);
    Value = VarFromDateTime(time->GetTime());
    Text = time->GetEditText();
}

void TcvDBTreeListTimeColumn::SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) {
    auto* time = dynamic_cast<TCustomcvFilterTimeEdit*>(Editor);
    if (!time) return TcvDBTreeListColumn::SetFilterEditValue(Editor, Value);
    time->SetTime(VarIsNull(Value) ? 0.0 : Value.AsFloat());
}

// Hyperlink column ----------------------------------------------------------------------

namespace {

// Text safe inside an HTML element and a double-quoted attribute.
std::string HtmlEscaped(const std::string& Text) {
    std::string result;
    result.reserve(Text.size());
    for (const char c : Text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

} // namespace

const TcvInplaceEditClass& TcvInplaceDBTreeListHyperLinkEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListHyperLinkEdit, TcvHyperLinkEditClassOps>::Instance();
}

TcvDBTreeListHyperLinkColumn::TcvDBTreeListHyperLinkColumn(TComponent* AOwner)
    : TcvDBTreeListColumn(AOwner), FLinkFont(std::make_unique<TFont>()) {
    UpdateLinkFont();
}

TcvDBTreeListHyperLinkColumn::~TcvDBTreeListHyperLinkColumn() = default;

void TcvDBTreeListHyperLinkColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListHyperLinkColumn*>(Source);
    if (!source) return TcvDBTreeListColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListColumn::Assign(Source);
        SetEditBackgroundColor(source->FEditBackgroundColor);
        SetEditFontColor(source->FEditFontColor);
        SetSingleClick(source->FSingleClick);
        FStartKey = source->FStartKey;
    });
}

void TcvDBTreeListHyperLinkColumn::RestoreDefaults() {
    TcvDBTreeListColumn::RestoreDefaults();
    FEditBackgroundColor = clWhite;
    FEditFontColor = clBlue;
    FSingleClick = false;
    FStartKey = ShortCut(VK_RETURN, {ssCtrl});
    UpdateLinkFont();
}

void TcvDBTreeListHyperLinkColumn::FontChanged() {
    UpdateLinkFont();
    TcvDBTreeListColumn::FontChanged();
}

const TcvInplaceEditClass& TcvDBTreeListHyperLinkColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListHyperLinkEdit::StaticClass();
}

void TcvDBTreeListHyperLinkColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListColumn::InitEditor(Editor);
    auto* link = dynamic_cast<TcvInplaceHyperLinkEdit*>(Editor);
    if (!link) return;
    link->SetColor(FEditBackgroundColor);
    link->SetEditFontColor(FEditFontColor);
    link->SetSingleClick(FSingleClick);
    link->SetStartKey(FStartKey);
    link->OnStartClick = OnStartClick ? TNotifyEvent([this](TObject* Sender) { DoStartClick(Sender); }) : nullptr;
}

void TcvDBTreeListHyperLinkColumn::PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) {
    TcvDBTreeListColumn::PrepareViewData(ViewData, Cell);
    if (!dynamic_cast<TcvHyperLinkEditViewData*>(&ViewData)) return;
    ViewData.Font = FLinkFont->Handle();
    if (FSingleClick && !Cell.Selected) ViewData.TextColor = ColorToRGB(FEditFontColor);
}

void TcvDBTreeListHyperLinkColumn::GetCellCursor(TcvTreeListNode* Node, TCursor& Cursor) const {
    if (FSingleClick && !GetDisplayText(Node).empty()) Cursor = cvExEdtr::crcvHandPoint;
}

void TcvDBTreeListHyperLinkColumn::GetExportText(const Variant& Value, bool HTML, std::string& Result) const {
    if (!HTML) return;
    const std::string text = HtmlEscaped(VarToStr(Value));
    Result = "<a href=\"" + text + "\">" + text + "</a>";
}

void TcvDBTreeListHyperLinkColumn::DoStartClick(TObject* Sender) {
    (void)Sender;
    if (OnStartClick) OnStartClick(this);
}

void TcvDBTreeListHyperLinkColumn::SetEditBackgroundColor(TColor Value) {
    if (Value == FEditBackgroundColor) return;
    FEditBackgroundColor = Value;
    UpdateLinkFont();
    Changed(false);
}

void TcvDBTreeListHyperLinkColumn::SetEditFontColor(TColor Value) {
    if (Value == FEditFontColor) return;
    FEditFontColor = Value;
    UpdateLinkFont();
    Changed(false);
}

void TcvDBTreeListHyperLinkColumn::SetSingleClick(bool Value) {
    if (Value == FSingleClick) return;
    FSingleClick = Value;
    UpdateLinkFont();
    Changed(false);
}

void TcvDBTreeListHyperLinkColumn::UpdateLinkFont() {
    FLinkFont->Assign(Font());
    FLinkFont->SetStyle(FLinkFont->Style() + fsUnderline);
    if (FSingleClick) FLinkFont->SetColor(FEditFontColor);
}

// Spin column ---------------------------------------------------------------------------

const TcvInplaceEditClass& TcvInplaceDBTreeListSpinEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListSpinEdit, TcvSpinEditClassOps>::Instance();
}

TcvDBTreeListSpinColumn::TcvDBTreeListSpinColumn(TComponent* AOwner) : TcvDBTreeListColumn(AOwner) {}

void TcvDBTreeListSpinColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListSpinColumn*>(Source);
    if (!source) return TcvDBTreeListColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListColumn::Assign(Source);
        FEditorEnabled = source->FEditorEnabled;
        FIncrement = source->FIncrement;
        FLimits.Assign(source->FLimits);
        SetShowButtonStyle(source->FShowButtonStyle);
        FUseCtrlIncrement = source->FUseCtrlIncrement;
    });
}

void TcvDBTreeListSpinColumn::RestoreDefaults() {
    TcvDBTreeListColumn::RestoreDefaults();
    FEditorEnabled = true;
    FIncrement = 1.0;
    FLimits.ResetValues();
    FShowButtonStyle = TcvShowButtonStyle::sbDefault;
    FUseCtrlIncrement = false;
}

const TcvInplaceEditClass& TcvDBTreeListSpinColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListSpinEdit::StaticClass();
}

void TcvDBTreeListSpinColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListColumn::InitEditor(Editor);
    auto* spin = dynamic_cast<TcvInplaceSpinEdit*>(Editor);
    if (!spin) return;
    spin->SetEditorEnabled(FEditorEnabled);
    spin->SetIncrement(FIncrement);
    spin->SetMinMaxValues(MinValue(), MaxValue());
    spin->SetUseCtrlIncrement(FUseCtrlIncrement);
    const bool real = dynamic_cast<TFloatField*>(Field()) || dynamic_cast<TBCDField*>(Field());
    spin->SetValueType(real ? svtFloat : svtInteger);
}

void TcvDBTreeListSpinColumn::InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* spin = dynamic_cast<TcvInplaceSpinEdit*>(Editor);
    if (!Field() || !spin) return TcvDBTreeListColumn::InitEditValue(Node, Editor, Value);
    spin->SetValue(Field()->AsFloat());
    Value = spin->GetValue();
}

void TcvDBTreeListSpinColumn::ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* spin = dynamic_cast<TcvInplaceSpinEdit*>(Editor);
    if (Field() && spin)
        Field()->SetValue(spin->GetValue());
    else
        TcvDBTreeListColumn::ApplyEditorValue(Node, Editor, Value);
    Node->GetValue(GetIndex(), Value);
}

bool TcvDBTreeListSpinColumn::IsValueCurrent(const Variant& Value) const {
    if (!Field()) return TcvDBTreeListColumn::IsValueCurrent(Value);
    return Variant(Field()->AsFloat()) == Value;
}

const TcvInplaceEditClass& TcvDBTreeListSpinColumn::GetFilterEditClass() const {
    return TCustomcvFilterSpinEdit::StaticClass();
}

void TcvDBTreeListSpinColumn::GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) {
    auto* spin = dynamic_cast<TcvInplaceSpinEdit*>(Editor);
    if (!spin) return TcvDBTreeListColumn::GetFilterEditValue(Editor, Value, Text);
    Value = spin->GetValue();
    Text = spin->Text();
}

void TcvDBTreeListSpinColumn::SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) {
    auto* spin = dynamic_cast<TCustomcvFilterSpinEdit*>(Editor);
    if (!spin) return TcvDBTreeListColumn::SetFilterEditValue(Editor, Value);
    spin->SetValue(VarIsNull(Value) ? 0.0 : Value.AsFloat());
}

void TcvDBTreeListSpinColumn::PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) {
    TcvDBTreeListColumn::PrepareViewData(ViewData, Cell);
    if (auto* spin = dynamic_cast<TcvSpinEditViewData*>(&ViewData)) spin->ButtonsShown = ShowsButtonInCell(Cell.Node);
}

bool TcvDBTreeListSpinColumn::ShowsButtonInCell(TcvTreeListNode* Node) const {
    return ::ShowsButtonInCell(FShowButtonStyle, *this, Node);
}

void TcvDBTreeListSpinColumn::SetShowButtonStyle(TcvShowButtonStyle Value) {
    if (Value == FShowButtonStyle) return;
    FShowButtonStyle = Value;
    Changed(false);
}
