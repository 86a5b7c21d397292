// The numeric editor: every typed key is checked so that the text stays a
// number, the digits after the decimal separator are limited, the value is
// clamped to a range when it is validated, and unfocused (or painted in a
// cell) the value shows through a display format. An empty text may stand for
// a null value. Edit masks have no effect here.
#pragma once

#include "editors/MaskEdit.h"

#include <string>

// Bits of StoredValues that this editor adds.
constexpr Word cvsvMaxValue = 1 << 4;
constexpr Word cvsvMinValue = 1 << 5;
constexpr Word cvsvDisplayFormat = 1 << 8;

class TcvInplaceCurrencyEdit : public TcvInplaceMaskEdit {
public:
    explicit TcvInplaceCurrencyEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());

    static const TcvInplaceEditClass& StaticClass();

    // The one conversion of text to number: thousand separators left out,
    // then the format settings' reading of a float; 0 or a magnitude from
    // 5.0e-324 to 1.7e308. On failure Value is 0.
    static bool TextToValue(const std::string& S, double& Value);

    // Published properties. Equal limits mean no limits.
    int DecimalPlaces() const { return FDecimalPlaces; } // digits the user may type after the separator
    void SetDecimalPlaces(int Value) { FDecimalPlaces = Value; }
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& Value);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value);
    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value);
    // Marks both limits assigned.
    void SetMinMaxValues(double AMin, double AMax);
    bool Nullable() const { return FNullable; }
    void SetNullable(bool Value);
    // Shown for a null value while Nullable.
    const std::string& NullString() const { return FNullString; }
    void SetNullString(const std::string& Value);
    bool UseThousandSeparator() const { return FUseThousandSeparator; }
    void SetUseThousandSeparator(bool Value) { FUseThousandSeparator = Value; }

    // 0 for an empty text, MinValue for one that is no number.
    double GetValue();
    // Clamped unless the limits are equal; written in general format when the
    // text differs, the modified flag kept.
    void SetValue(double Value);

    // The currency editor's virtual operations, in the order descendants know them.
    virtual bool IsValidNumberChar(char32_t Key);
    virtual void InternalSetDisplayFormat(const std::string& Value);
    virtual void InternalSetMaxValue(double Value);
    virtual void InternalSetMinValue(double Value);
    virtual void InternalSetMinMaxValues(double AMin, double AMax);
    virtual std::string GetDefaultDisplayFormat();
    virtual double GetDefaultMaxValue();
    virtual double GetDefaultMinValue();

    void ApplyDefinitionProperties() override;
    void GetViewValue(Variant& Value, bool FromDefinition) override;
    Variant GetEditValue() override;
    bool PaintsDisplayValue() override;
    void RestoreDefaults() override;
    void ValidateEdit() override;
    bool NeedsInputControl() override { return true; }
    void InternalSetEditMask(const std::string& Value) override { (void)Value; }

    void WndProc(TMessage& Message) override;

protected:
    void KeyPress(char32_t& Key) override;

private:
    int FDecimalPlaces = 2;
    std::string FDisplayFormat;
    double FMaxValue = 0.0;
    double FMinValue = 0.0;
    bool FNullable = false;
    std::string FNullString;
    bool FUseThousandSeparator = false;
};
