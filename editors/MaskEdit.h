// The text editor with an edit mask (EditMask.h says how a mask reads): the
// mask decides which character may stand at each position, inserts its
// literals and converts case; the editor types, deletes, pastes and moves the
// caret by mask positions and refuses an unfilled required position when it
// is validated. Without a mask it is the plain text editor.
#pragma once

#include "editors/TextEdit.h"
#include "platform/ui/EditMask.h"
#include "platform/ui/Mask.h" // EDBEditError

#include <string>

class TcvInplaceMaskEdit : public TcvInplaceTextEdit {
public:
    explicit TcvInplaceMaskEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());

    static const TcvInplaceEditClass& StaticClass();

    const std::string& EditMask() const { return FEditMask; }
    // Marks the mask assigned, so the data definition's no longer applies.
    void SetEditMask(const std::string& Value);
    // While set, blank positions pass validation and the value handed back
    // is the raw edit text.
    bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
    void SetIgnoreMaskBlank(bool Value) { FIgnoreMaskBlank = Value; }
    // Set by a host that wants an invalid value reverted silently.
    bool CancelEditing() const { return FCancelEditing; }
    void SetCancelEditing(bool Value) { FCancelEditing = Value; }
    bool IsMasked() const { return FMask.MaxChars() > 0; }

    // The raw window text, literals and blanks included.
    std::string GetEditText();
    // The value the user sees through the mask (the plain text unmasked);
    // Text() stays the raw window text.
    std::string GetText();
    // Writes Value formatted through the mask (as it is unmasked).
    void SetText(const std::string& Value);

    // The mask editor's virtual operations, in the order descendants know them.
    virtual void GetSel(int& Start, int& Stop);
    virtual void InternalSetEditMask(const std::string& Value);
    virtual std::string GetDefaultEditMask();

    void ApplyDefinitionProperties() override;
    int GetDefaultMaxLength() override;
    void InternalSetMaxLength(int Value) override;
    bool NeedsInputControl() override;
    std::string GetValueText() override;
    Variant GetEditValue() override;
    void SetEditValue(const Variant& Value) override;
    void ValidateEdit() override;
    bool IsStateFlagSet() override;

    void WndProc(TMessage& Message) override;

protected:
    using TcvInplaceTextEdit::GetText;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    // A refused value: re-entering the editor keeps the caret where it is.
    void MarkInvalidInput() {
        FReEnter = true;
        FValidateError = true;
    }

private:
    // Puts the caret on an input position and, without a selection, shows
    // it as a one-character selection whose anchor is at the right.
    void CheckCursor();
    // Types C at the selection as the mask allows; false when refused.
    bool TypeChar(char32_t C);
    // Blanks the input positions from Start up to Stop.
    void BlankRange(int Start, int Stop);
    // Replaces the characters from Start with Chars, undoably.
    void ReplaceRange(int Start, const std::u32string& Chars);
    void CaretTo(int Position);
    void PasteThroughMask();
    void ApplyTextLimit();

    std::string FEditMask;
    bool FIgnoreMaskBlank = false;
    bool FCancelEditing = false;
    TEditMaskInfo FMask;
    // Re-entered after a failed validation: focus entry keeps the caret.
    bool FReEnter = false;
    bool FValidateError = false;
};
