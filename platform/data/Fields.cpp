// The field classes: each converts values into its own type when they are
// set and formats them for display and editing. Values live in the dataset's
// records; a field only knows its column.
#include <algorithm>

#include "platform/data/DB.h"

namespace {

// An empty field reads Null; a record without the value Unassigned.
bool IsBlank(const Variant& Value) {
    return Value.IsNull() || Value.IsEmpty();
}

} // namespace

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::TField(TComponent* AOwner, TFieldType DataType) : TComponent(AOwner), FDataType(DataType) {}

TField::~TField() {
    if (FDataSet) FDataSet->RemoveField(this);
    if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
}

void TField::SetDataSet(TDataSet* Value) {
    if (Value == FDataSet) return;
    if ((FDataSet && FDataSet->Active()) || (Value && Value->Active()))
        throw EDatabaseError("Cannot perform this operation on an open dataset");
    if (FDataSet) FDataSet->RemoveField(this);
    if (Value) Value->AddField(this);
}

void TField::SetFieldName(const std::string& Value) {
    if (FDataSet && FDataSet->Active()) throw EDatabaseError("Cannot perform this operation on an open dataset");
    FFieldName = Value;
}

void TField::PropertyChanged() {
    if (FDataSet && FDataSet->Active()) FDataSet->DataEvent(deLayoutChange);
}

void TField::SetDisplayLabel(const std::string& Value) {
    FDisplayLabel = Value == FFieldName ? std::string() : Value;
    PropertyChanged();
}

void TField::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    PropertyChanged();
}

Integer TField::Index() const {
    if (!FDataSet) return -1;
    const auto& fields = FDataSet->Fields();
    return Integer(std::find(fields.begin(), fields.end(), this) - fields.begin());
}

void TField::SetIndex(Integer Value) {
    if (FDataSet) FDataSet->MoveField(this, Value);
}

bool TField::CanModify() const {
    return !FReadOnly && FFieldKind == fkData && FFieldNo >= 0 && FDataSet && FDataSet->CanModify();
}

void TField::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    PropertyChanged();
}

Integer TField::DisplayWidth() const {
    if (FDisplayWidth > 0) return FDisplayWidth;
    switch (FDataType) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
        return FSize > 0 ? FSize : 10;
    case ftSmallint:
        return 6;
    case ftInteger:
    case ftAutoInc:
        return 11;
    case ftBoolean:
        return 5;
    case ftDateTime:
        return 18;
    default:
        return 10;
    }
}

void TField::SetDisplayWidth(Integer Value) {
    if (Value == FDisplayWidth) return;
    FDisplayWidth = Value;
    PropertyChanged();
}

bool TField::IsValidChar(char32_t) const {
    return true;
}

void TField::DoGetText(std::string& Text, bool DisplayText) const {
    if (OnGetText)
        OnGetText(const_cast<TField*>(this), Text, DisplayText);
    else
        Text = GetText(Value(), DisplayText);
}

std::string TField::DisplayText() const {
    std::string s;
    DoGetText(s, true);
    return s;
}

std::string TField::Text() const {
    std::string s;
    DoGetText(s, false);
    return s;
}

void TField::SetText(const std::string& Value) {
    if (OnSetText)
        OnSetText(this, Value);
    else
        SetAsString(Value);
}

std::string TField::GetText(const Variant& Value, bool) const {
    return Value.AsString();
}

Variant TField::ConvertValue(const Variant& Value) const {
    return Value;
}

void TField::DoValidate() {
    Fire(OnValidate, this);
}

void TField::DoChange() {
    Fire(OnChange, this);
}

Variant TField::Value() const {
    if (!FDataSet) throw EDatabaseError("Field '" + DisplayName() + "' has no dataset");
    return FDataSet->FieldValueOf(this, FDataSet->ActiveBuffer());
}

void TField::SetValue(const Variant& Value) {
    if (!FDataSet) throw EDatabaseError("Field '" + DisplayName() + "' has no dataset");
    FDataSet->SetFieldValue(this, Value.IsNull() || Value.IsEmpty() ? Null() : ConvertValue(Value));
}

bool TField::IsNull() const {
    return IsBlank(Value());
}

void TField::Clear() {
    SetValue(Null());
}

std::string TField::AsString() const {
    return Value().AsString();
}
void TField::SetAsString(const std::string& Value) {
    SetValue(Variant(Value));
}

// Null reads as zero, as the framework's fields do.
Integer TField::AsInteger() const {
    return IsNull() ? 0 : Value().AsInteger();
}
void TField::SetAsInteger(Integer Value) {
    SetValue(Variant(Value));
}
double TField::AsFloat() const {
    return IsNull() ? 0.0 : Value().AsFloat();
}
void TField::SetAsFloat(double Value) {
    SetValue(Variant(Value));
}
Int64 TField::AsCurrency() const {
    return IsNull() ? 0 : Value().AsCurrency();
}
void TField::SetAsCurrency(Int64 Value) {
    SetValue(Variant::FromCurrency(Value));
}
TDateTime TField::AsDateTime() const {
    return IsNull() ? 0.0 : Value().AsDateTime();
}
void TField::SetAsDateTime(TDateTime Value) {
    SetValue(Variant::FromDateTime(Value));
}
bool TField::AsBoolean() const {
    return IsNull() ? false : Value().AsBoolean();
}
void TField::SetAsBoolean(bool Value) {
    SetValue(Variant(Value));
}

void TField::FocusControl() {
    if (!FDataSet || !FDataSet->Active()) return;
    TField* field = this;
    FDataSet->DataEvent(deFocusControl, &field);
}

void TField::SetLookupDataSet(TDataSet* Value) {
    if (Value == FLookupDataSet) return;
    if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
    FLookupDataSet = Value;
    if (Value) Value->FreeNotification(this);
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FLookupDataSet) FLookupDataSet = nullptr;
}

// ---- TStringField -----------------------------------------------------------

TStringField::TStringField(TComponent* AOwner) : TField(AOwner, ftString) {
    SetSize(20);
}

std::string TStringField::AsString() const {
    return Value().AsString();
}

void TStringField::SetAsString(const std::string& Value) {
    SetValue(Variant(Value));
}

Variant TStringField::ConvertValue(const Variant& Value) const {
    return Variant(Value.AsString());
}

// ---- TNumericField ----------------------------------------------------------

TNumericField::TNumericField(TComponent* AOwner, TFieldType DataType) : TField(AOwner, DataType) {
    SetAlignment(taRightJustify);
}

void TNumericField::SetDisplayFormat(const std::string& Value) {
    FDisplayFormat = Value;
    PropertyChanged();
}

void TNumericField::SetEditFormat(const std::string& Value) {
    FEditFormat = Value;
    PropertyChanged();
}

const std::string& TNumericField::FormatFor(bool DisplayText) const {
    return DisplayText || FEditFormat.empty() ? FDisplayFormat : FEditFormat;
}

namespace {

bool IsDigitOrSign(char32_t Ch) {
    return (Ch >= U'0' && Ch <= U'9') || Ch == U'+' || Ch == U'-';
}

[[noreturn]] void RangeError(const TField* Field, const std::string& Value, const std::string& Low,
                             const std::string& High) {
    throw EDatabaseError(Value + " is not a valid value for field '" + Field->DisplayName() +
                         "'. The allowed range is " + Low + " to " + High);
}

void CheckFloatRange(const TField* Field, double Value, double Min, double Max) {
    if ((Min != 0 || Max != 0) && (Value < Min || Value > Max))
        RangeError(Field, FloatToStr(Value), FloatToStr(Min), FloatToStr(Max));
}

} // namespace

// ---- TIntegerField ----------------------------------------------------------

TIntegerField::TIntegerField(TComponent* AOwner) : TIntegerField(AOwner, ftInteger, INT32_MIN, INT32_MAX) {}

TIntegerField::TIntegerField(TComponent* AOwner, TFieldType DataType, Integer Low, Integer High)
    : TNumericField(AOwner, DataType), FLow(Low), FHigh(High) {}

bool TIntegerField::IsValidChar(char32_t Ch) const {
    return IsDigitOrSign(Ch);
}

std::string TIntegerField::AsString() const {
    return IsNull() ? std::string() : IntToStr(AsInteger());
}

void TIntegerField::SetAsString(const std::string& Value) {
    if (Trim(Value).empty())
        Clear();
    else
        SetValue(Variant(StrToInt(Value)));
}

std::string TIntegerField::GetText(const Variant& Value, bool DisplayText) const {
    if (IsBlank(Value)) return std::string();
    const std::string& format = FormatFor(DisplayText);
    return format.empty() ? IntToStr(Value.AsInteger()) : FormatFloat(format, Value.AsInteger());
}

Variant TIntegerField::ConvertValue(const Variant& Value) const {
    Int64 v = Value.VarType() == varString ? StrToInt64(Value.AsString()) : Value.AsInt64();
    Integer low = FLow, high = FHigh;
    if (FMinValue != 0 || FMaxValue != 0) {
        low = std::max(low, FMinValue);
        high = std::min(high, FMaxValue);
    }
    if (v < low || v > high) RangeError(this, IntToStr(v), IntToStr(low), IntToStr(high));
    return Stored(Integer(v));
}

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner, ftSmallint, INT16_MIN, INT16_MAX) {}

// ---- TFloatField ------------------------------------------------------------

TFloatField::TFloatField(TComponent* AOwner) : TFloatField(AOwner, ftFloat) {}

TFloatField::TFloatField(TComponent* AOwner, TFieldType DataType) : TNumericField(AOwner, DataType) {}

void TFloatField::SetCurrency(bool Value) {
    FCurrency = Value;
    PropertyChanged();
}

void TFloatField::SetPrecision(Integer Value) {
    FPrecision = std::clamp(Value, 2, 15);
    PropertyChanged();
}

bool TFloatField::IsValidChar(char32_t Ch) const {
    return IsDigitOrSign(Ch) || Ch == char32_t(FormatSettings.DecimalSeparator) || Ch == U'E' || Ch == U'e';
}

std::string TFloatField::AsString() const {
    return IsNull() ? std::string() : FloatToStrF(AsFloat(), ffGeneral, FPrecision, 0);
}

void TFloatField::SetAsString(const std::string& Value) {
    if (Trim(Value).empty())
        Clear();
    else
        SetValue(Variant(StrToFloat(Value)));
}

std::string TFloatField::GetText(const Variant& Value, bool DisplayText) const {
    if (IsBlank(Value)) return std::string();
    const double number = Value.AsFloat();
    const std::string& format = FormatFor(DisplayText);
    if (!format.empty()) return FormatFloat(format, number);
    if (FCurrency)
        return FloatToStrF(number, DisplayText ? ffCurrency : ffFixed, FPrecision, FormatSettings.CurrencyDecimals);
    return FloatToStrF(number, ffGeneral, FPrecision, 0);
}

Variant TFloatField::ConvertValue(const Variant& Value) const {
    double v = Value.VarType() == varString ? StrToFloat(Value.AsString()) : Value.AsFloat();
    CheckFloatRange(this, v, FMinValue, FMaxValue);
    return Variant(v);
}

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner, ftCurrency) {
    SetCurrency(true);
}

// ---- TBCDField --------------------------------------------------------------

TBCDField::TBCDField(TComponent* AOwner) : TNumericField(AOwner, ftBCD) {
    SetSize(4);
}

void TBCDField::SetCurrency(bool Value) {
    FCurrency = Value;
    PropertyChanged();
}

bool TBCDField::IsValidChar(char32_t Ch) const {
    return IsDigitOrSign(Ch) || Ch == char32_t(FormatSettings.DecimalSeparator);
}

std::string TBCDField::AsString() const {
    return IsNull() ? std::string() : CurrToStr(AsCurrency());
}

void TBCDField::SetAsString(const std::string& Value) {
    if (Trim(Value).empty())
        Clear();
    else
        SetValue(Variant::FromCurrency(StrToCurr(Value)));
}

std::string TBCDField::GetText(const Variant& Value, bool DisplayText) const {
    if (IsBlank(Value)) return std::string();
    const std::string& format = FormatFor(DisplayText);
    const Int64 amount = Value.AsCurrency();
    double v = CurrToDouble(amount);
    if (!format.empty()) return FormatFloat(format, v);
    if (FCurrency)
        return FloatToStrF(v, DisplayText ? ffCurrency : ffFixed, FPrecision, FormatSettings.CurrencyDecimals);
    return CurrToStr(amount);
}

Variant TBCDField::ConvertValue(const Variant& Value) const {
    Int64 v = Value.VarType() == varString ? StrToCurr(Value.AsString()) : Value.AsCurrency();
    CheckFloatRange(this, CurrToDouble(v), FMinValue, FMaxValue);
    return Variant::FromCurrency(v);
}

// ---- TBooleanField ----------------------------------------------------------

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner, ftBoolean) {}

std::string TBooleanField::DisplayValues() const {
    return FTrueText + ";" + FFalseText;
}

void TBooleanField::SetDisplayValues(const std::string& Value) {
    size_t semicolon = Value.find(';');
    FTrueText = Value.substr(0, semicolon);
    FFalseText = semicolon == std::string::npos ? std::string() : Value.substr(semicolon + 1);
    if (FTrueText.empty() && FFalseText.empty()) {
        FTrueText = "True";
        FFalseText = "False";
    }
    PropertyChanged();
}

std::string TBooleanField::AsString() const {
    return GetText(Value(), false);
}

std::string TBooleanField::GetText(const Variant& Value, bool) const {
    if (IsBlank(Value)) return std::string();
    return Value.AsBoolean() ? FTrueText : FFalseText;
}

void TBooleanField::SetAsString(const std::string& Value) {
    if (Value.empty())
        Clear();
    else
        SetValue(Variant(Value));
}

// A text matches a display value when it starts it, without case.
Variant TBooleanField::ConvertValue(const Variant& Value) const {
    if (Value.VarType() != varString) return Variant(Value.AsBoolean());
    std::string s = Value.AsString();
    auto starts = [&s](const std::string& Text) {
        return !s.empty() && s.size() <= Text.size() && AnsiSameText(s, Text.substr(0, s.size()));
    };
    if (starts(FFalseText)) return Variant(false);
    if (starts(FTrueText)) return Variant(true);
    throw EConvertError("'" + s + "' is not a valid boolean value for field '" + DisplayName() + "'");
}

// ---- TDateTimeField ---------------------------------------------------------

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner, ftDateTime) {}

void TDateTimeField::SetDisplayFormat(const std::string& Value) {
    FDisplayFormat = Value;
    PropertyChanged();
}

std::string TDateTimeField::AsString() const {
    return IsNull() ? std::string() : DateTimeToStr(AsDateTime());
}

void TDateTimeField::SetAsString(const std::string& Value) {
    if (Trim(Value).empty())
        Clear();
    else
        SetValue(Variant(Value));
}

std::string TDateTimeField::GetText(const Variant& Value, bool DisplayText) const {
    if (IsBlank(Value)) return std::string();
    const TDateTime moment = Value.AsDateTime();
    if (DisplayText && !FDisplayFormat.empty()) return FormatDateTime(FDisplayFormat, moment);
    return DateTimeToStr(moment);
}

Variant TDateTimeField::ConvertValue(const Variant& Value) const {
    if (Value.VarType() != varString) return Variant::FromDateTime(Value.AsDateTime());
    TDateTime d;
    std::string s = Trim(Value.AsString());
    if (TryStrToDateTime(s, d) || TryStrToDate(s, d)) return Variant::FromDateTime(d);
    throw EConvertError("'" + s + "' is not a valid date and time");
}

// ---- TBlobField and descendants --------------------------------------------

TBlobField::TBlobField(TComponent* AOwner) : TBlobField(AOwner, ftBlob) {}

TBlobField::TBlobField(TComponent* AOwner, TFieldType DataType) : TField(AOwner, DataType) {}

std::string TBlobField::AsString() const {
    return Value().AsString();
}

void TBlobField::SetAsString(const std::string& Value) {
    SetValue(Variant(Value));
}

std::string TBlobField::GetText(const Variant& Value, bool) const {
    std::string kind = DataType() == ftMemo ? "Memo" : DataType() == ftGraphic ? "Graphic" : "Blob";
    return "(" + (IsBlank(Value) ? kind : UpperCase(kind)) + ")";
}

Variant TBlobField::ConvertValue(const Variant& Value) const {
    return Variant(Value.AsString());
}

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner, ftMemo) {}

TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner, ftGraphic) {}

TField* CreateFieldOfType(TComponent* AOwner, TFieldType DataType) {
    switch (DataType) {
    case ftSmallint:
        return new TSmallintField(AOwner);
    case ftInteger:
        return new TIntegerField(AOwner);
    case ftFloat:
        return new TFloatField(AOwner);
    case ftCurrency:
        return new TCurrencyField(AOwner);
    case ftBCD:
        return new TBCDField(AOwner);
    case ftBoolean:
        return new TBooleanField(AOwner);
    case ftDateTime:
        return new TDateTimeField(AOwner);
    case ftBlob:
        return new TBlobField(AOwner);
    case ftMemo:
        return new TMemoField(AOwner);
    case ftGraphic:
        return new TGraphicField(AOwner);
    default:
        return new TStringField(AOwner);
    }
}
