// The masked edit, on the edit-mask engine of EditMask.h (which says how a
// mask reads): literals such as "年", "月" and "-" are shown as they are.
// A masked edit is validated when the focus leaves it after the user changed
// it; Escape abandons the user's changes.
#pragma once

#include "platform/ui/EditMask.h"
#include "platform/ui/StdCtrls.h"

#include <string>

// The value typed does not fill the mask.
CORVANTA_UI_EXCEPTION(EDBEditError);

class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* AOwner);

    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& Value);
    bool IsMasked() const { return FMask.MaxChars() > 0; }
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
    std::string QtMask() const;

    std::string FEditMask;
    std::string FOldValue; // the shown text before the user's changes
    TEditMaskInfo FMask;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    using TCustomMaskEdit::TCustomMaskEdit;
};
