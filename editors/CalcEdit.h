// The calculator editor: a drop-down editor whose popup is the calculator
// keypad. The keypad takes the keyboard itself, starts from the editor's
// text and writes each result back into it; a keypad closed on its error
// text leaves "0".
#pragma once

#include "editors/Calculator.h"
#include "editors/DropDownEdit.h"

#include <memory>

class TcvInplaceCalcEdit;

class TcvPopupCalculator : public TCustomcvCalculator {
public:
    explicit TcvPopupCalculator(TComponent* AOwner);

    TcvInplaceCalcEdit* Editor() const { return FEditor; }
    void SetEditor(TcvInplaceCalcEdit* Value) { FEditor = Value; }
    // Typing "=" closes the keypad.
    bool QuickClose() const { return FQuickClose; }
    void SetQuickClose(bool Value) { FQuickClose = Value; }

    // The editor's text; "0" without an editor.
    void GetDisplayText(std::string& Text) override;
    // Into the editor when it may change, which is then modified.
    void SetDisplayText(const std::string& Text) override;
    // An editor left showing the error text gets "0".
    void HidePopup() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;

private:
    TcvInplaceCalcEdit* FEditor = nullptr;
    bool FQuickClose = false;
};

class TcvInplaceCalcEdit : public TcvInplaceDropDownEdit {
public:
    explicit TcvInplaceCalcEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceCalcEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    bool BeepOnError() const { return FBeepOnError; }
    void SetBeepOnError(bool Value) { FBeepOnError = Value; }
    TcvButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TcvButtonStyle Value) { FButtonStyle = Value; }
    bool QuickClose() const { return FQuickClose; }
    void SetQuickClose(bool Value) { FQuickClose = Value; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = Value; }
    bool ShowButtonFrame() const { return FShowButtonFrame; }
    void SetShowButtonFrame(bool Value) { FShowButtonFrame = Value; }
    // The keypad, once the editor has dropped down.
    TcvPopupCalculator* PopupCalculator() const { return FPopupCalculator.get(); }

    // Opens the keypad made afresh with the current settings, under the editor.
    void DropDown() override;

private:
    bool FBeepOnError = true;
    TcvButtonStyle FButtonStyle = bsStandard;
    bool FQuickClose = false;
    std::unique_ptr<TcvPopupCalculator> FPopupCalculator;
    int FPrecision = 13;
    bool FShowButtonFrame = false;
};
