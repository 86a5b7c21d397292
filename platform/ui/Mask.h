// The masked edit. A mask has up to three fields separated by ";": the
// pattern, whether literals are kept in Text ("0": they are not) and the
// character shown for blanks. Pattern characters: "0" required digit, "9"
// optional digit, "#" optional digit or sign, "L"/"l" letter, "A"/"a" letter
// or digit, "C"/"c" any character (upper case required, lower case
// optional), ">" and "<" force case, "\" makes the next character a literal;
// everything else is a literal shown as it is ("年", "月", "-").
// A masked edit is validated when the focus leaves it after the user changed
// it; Escape abandons the user's changes.
#pragma once

#include "platform/ui/StdCtrls.h"

#include <string>

// The value typed does not fill the mask.
CORVANTA_UI_EXCEPTION(EDBEditError);

class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* AOwner);

    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& Value);
    bool IsMasked() const { return !FPattern.empty(); }
    // The text as shown, literals and blanks included.
    std::string EditText() const;
    void SetEditText(const std::string& Value);
    // Raises EDBEditError when a required position is empty.
    virtual void ValidateEdit();

    void WndProc(TMessage& Message) override;

protected:
    void CreateWindowHandle(const TCreateParams& Params) override;
    void SaveWindowState() override;
    std::string GetText() const override;
    void SetTextBuf(const std::string& Value) override;
    void DoEnter() override;
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    struct MaskSlot {
        bool Literal = false;
        char32_t Char = 0; // the literal, or the pattern character
        int Case = 0;      // -1 lower, 0 as typed, 1 upper
    };
    void ParseMask();
    std::string QtMask() const;
    // Text without literals laid into the mask's positions.
    std::string MaskedText(const std::string& Text) const;

    std::string FEditMask;
    std::string FOldValue; // the shown text before the user's changes
    std::vector<MaskSlot> FPattern;
    bool FSaveLiterals = true;
    char32_t FBlank = U'_';
};

class TMaskEdit : public TCustomMaskEdit {
public:
    using TCustomMaskEdit::TCustomMaskEdit;
};
