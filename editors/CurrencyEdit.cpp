// The numeric editor: key filtering by trial conversion of the text the key
// would make, the range and display-format setters, and the display value.
#include "editors/CurrencyEdit.h"

#include "editors/ExEdtr.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Messages.h"

#include <cmath>

namespace {

// The smallest positive double and the largest magnitude the editor takes.
constexpr double SmallestValue = 5.0e-324;
constexpr double LargestValue = 1.7e308;

std::string WithoutChar(const std::string& S, char C) {
    std::string out;
    for (char c : S)
        if (c != C) out += c;
    return out;
}

} // namespace

const TcvInplaceEditClass& TcvInplaceCurrencyEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceCurrencyEdit, TcvTextEditClassOps>::Instance();
}

TcvInplaceCurrencyEdit::TcvInplaceCurrencyEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceMaskEdit(AOwner, Class) {
    SetControlStyle(ControlStyle() - csSetCaption);
    FDisplayFormat = GetDefaultDisplayFormat();
}

bool TcvInplaceCurrencyEdit::TextToValue(const std::string& S, double& Value) {
    double number = 0.0;
    const bool converted = TryStrToFloat(WithoutChar(S, FormatSettings.ThousandSeparator), number);
    const double magnitude = std::fabs(number);
    if (converted && (number == 0.0 || (magnitude >= SmallestValue && magnitude <= LargestValue))) {
        Value = number;
        return true;
    }
    Value = 0.0;
    return false;
}

void TcvInplaceCurrencyEdit::SetDisplayFormat(const std::string& Value) {
    SetStoredValues(StoredValues() | cvsvDisplayFormat);
    InternalSetDisplayFormat(Value);
}

void TcvInplaceCurrencyEdit::SetMaxValue(double Value) {
    SetStoredValues(StoredValues() | cvsvMaxValue);
    InternalSetMaxValue(Value);
}

void TcvInplaceCurrencyEdit::SetMinValue(double Value) {
    SetStoredValues(StoredValues() | cvsvMinValue);
    InternalSetMinValue(Value);
}

void TcvInplaceCurrencyEdit::SetMinMaxValues(double AMin, double AMax) {
    SetStoredValues(StoredValues() | cvsvMinValue | cvsvMaxValue);
    InternalSetMinMaxValues(AMin, AMax);
}

void TcvInplaceCurrencyEdit::SetNullable(bool Value) {
    FNullable = Value;
    Invalidate();
}

void TcvInplaceCurrencyEdit::SetNullString(const std::string& Value) {
    if (FNullString == Value) return;
    FNullString = Value;
    Invalidate();
}

double TcvInplaceCurrencyEdit::GetValue() {
    const std::string text = GetText();
    if (text.empty()) return 0.0;
    double value = 0.0;
    return TextToValue(text, value) ? value : FMinValue;
}

void TcvInplaceCurrencyEdit::SetValue(double Value) {
    if (FMaxValue != FMinValue) {
        if (Value < FMinValue)
            Value = FMinValue;
        else if (Value > FMaxValue)
            Value = FMaxValue;
    }
    const std::string text = FloatToStrF(Value, ffGeneral, 15, 0);
    const bool modified = GetModified();
    TScopeGuard keep([&] { SetModified(modified); });
    if (text != GetText()) SetText(text);
}

bool TcvInplaceCurrencyEdit::IsValidNumberChar(char32_t Key) {
    const char decimal = FormatSettings.DecimalSeparator;
    const bool allowed = Key == U'+' || Key == U'-' || (Key >= U'0' && Key <= U'9') || Key == U'E' ||
                         Key == U'e' || Key == static_cast<unsigned char>(decimal) ||
                         (FUseThousandSeparator && Key == static_cast<unsigned char>(FormatSettings.ThousandSeparator));
    if (!allowed) return false;
    const std::string text = Text();
    const size_t start = Utf8ByteOffset(text, static_cast<size_t>(GetSelStart()));
    const size_t stop = Utf8ByteOffset(text, static_cast<size_t>(GetSelStart() + GetSelLength()));
    std::string candidate = text.substr(0, start) + text.substr(stop);
    if (Key == U'-' && candidate.empty()) return true;
    candidate.insert(start, 1, static_cast<char>(Key));
    if (const size_t point = candidate.find(decimal); point != std::string::npos) {
        // The decimals end at the exponent, whichever case its letter has.
        const size_t exponent = candidate.find_first_of("Ee", point + 1);
        const size_t decimals =
            exponent != std::string::npos ? exponent - point - 1 : candidate.size() - point - 1;
        if (decimals > static_cast<size_t>(std::max(FDecimalPlaces, 0))) return false;
    }
    double value = 0.0;
    return TextToValue(candidate, value);
}

void TcvInplaceCurrencyEdit::InternalSetDisplayFormat(const std::string& Value) {
    if (FDisplayFormat == Value) return;
    FDisplayFormat = Value;
    Invalidate();
}

void TcvInplaceCurrencyEdit::InternalSetMaxValue(double Value) {
    if (Value < FMinValue) Value = FMinValue;
    if (Value == FMaxValue) return;
    FMaxValue = Value;
    SetValue(GetValue());
}

void TcvInplaceCurrencyEdit::InternalSetMinValue(double Value) {
    if (Value > FMaxValue) Value = FMaxValue;
    if (Value == FMinValue) return;
    FMinValue = Value;
    SetValue(GetValue());
}

void TcvInplaceCurrencyEdit::InternalSetMinMaxValues(double AMin, double AMax) {
    if (AMin > AMax) AMin = AMax;
    FMinValue = AMin;
    FMaxValue = AMax;
    SetValue(GetValue());
}

std::string TcvInplaceCurrencyEdit::GetDefaultDisplayFormat() {
    const std::string format = DataDefinition() ? DataDefinition()->GetDisplayFormat() : std::string();
    return format.empty() ? cvExEdtr::DefaultCurrencyDisplayFormat() : format;
}

double TcvInplaceCurrencyEdit::GetDefaultMaxValue() {
    return DataDefinition() ? DataDefinition()->GetMaxValue() : 0.0;
}

double TcvInplaceCurrencyEdit::GetDefaultMinValue() {
    return DataDefinition() ? DataDefinition()->GetMinValue() : 0.0;
}

void TcvInplaceCurrencyEdit::ApplyDefinitionProperties() {
    TcvInplaceMaskEdit::ApplyDefinitionProperties();
    const Word stored = StoredValues();
    if (!(stored & cvsvDisplayFormat)) InternalSetDisplayFormat(GetDefaultDisplayFormat());
    if (!(stored & (cvsvMaxValue | cvsvMinValue))) {
        InternalSetMinMaxValues(GetDefaultMinValue(), GetDefaultMaxValue());
        return;
    }
    if (!(stored & cvsvMaxValue)) InternalSetMaxValue(GetDefaultMaxValue());
    if (!(stored & cvsvMinValue)) InternalSetMinValue(GetDefaultMinValue());
}

void TcvInplaceCurrencyEdit::GetViewValue(Variant& Value, bool FromDefinition) {
    if (FDisplayFormat.empty()) {
        TcvInplaceMaskEdit::GetViewValue(Value, FromDefinition);
        return;
    }
    double number = 0.0;
    if (FromDefinition && DataDefinition()) {
        const Variant stored = DataDefinition()->GetValue();
        const bool empty = stored.IsNull() || stored.IsEmpty() || VarToStr(stored).empty();
        if (empty && FNullable) {
            Value = FNullString;
            return;
        }
        if (!empty) {
            try {
                number = stored.AsFloat();
            } catch (const Exception&) {
                // A value that is no number shows as 0.
            }
        }
    } else {
        Variant shown;
        TcvInplaceMaskEdit::GetViewValue(shown, false);
        const std::string text = VarToStr(shown);
        if (text.empty() && FNullable) {
            Value = FNullString;
            return;
        }
        TextToValue(text, number);
    }
    Value = FormatFloat(FDisplayFormat, number);
}

Variant TcvInplaceCurrencyEdit::GetEditValue() {
    if (FNullable && GetText().empty()) return Null();
    return TcvInplaceMaskEdit::GetEditValue();
}

bool TcvInplaceCurrencyEdit::PaintsDisplayValue() {
    return TcvInplaceMaskEdit::PaintsDisplayValue() || !FDisplayFormat.empty();
}

void TcvInplaceCurrencyEdit::RestoreDefaults() {
    TcvInplaceMaskEdit::RestoreDefaults();
    InternalSetDisplayFormat(GetDefaultDisplayFormat());
    InternalSetMinMaxValues(GetDefaultMinValue(), GetDefaultMaxValue());
}

void TcvInplaceCurrencyEdit::ValidateEdit() {
    TcvInplaceMaskEdit::ValidateEdit();
    if (!GetModified()) return;
    if (FNullable && GetText().empty()) return;
    SetValue(GetValue());
}

void TcvInplaceCurrencyEdit::KeyPress(char32_t& Key) {
    const auto thousand = static_cast<unsigned char>(FormatSettings.ThousandSeparator);
    if (!(FUseThousandSeparator && Key == thousand) && (Key == U',' || Key == U'.'))
        Key = static_cast<unsigned char>(FormatSettings.DecimalSeparator);
    if (Key >= 0x20 && !IsValidNumberChar(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    if (Key != 0) TcvInplaceMaskEdit::KeyPress(Key);
}

void TcvInplaceCurrencyEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PASTE: {
        if (!IsEditable()) return;
        const std::string before = Text();
        TcvInplaceMaskEdit::WndProc(Message);
        double value = 0.0;
        if (!TryStrToFloat(Text(), value)) {
            // A paste that leaves no number is taken back.
            SetText(before);
            SelectAllText();
        }
        return;
    }
    case CM_WININICHANGE:
        TcvInplaceMaskEdit::WndProc(Message);
        if (!(StoredValues() & cvsvDisplayFormat)) {
            GetFormatSettings();
            InternalSetDisplayFormat(GetDefaultDisplayFormat());
        }
        return;
    default:
        break;
    }
    TcvInplaceMaskEdit::WndProc(Message);
}
