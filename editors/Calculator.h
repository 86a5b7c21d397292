// The pocket-calculator keypad: 27 keys drawn as one control, a shortcut for
// each, a memory register, one pending operation, percentage and an error
// state. It has no display of its own: a descendant shows the text through
// GetDisplayText and SetDisplayText (the calculator editor's popup shows it
// in its editor). Memory and accumulator are long double; the display text
// is what an operand is read from.
#pragma once

#include "editors/PopupControl.h"

#include <array>
#include <functional>
#include <string>

enum TcvButtonStyle { bsStandard, bsFlat, bsExtraFlat };

// The keys by index, in the order of the button table.
enum TcvCalcKey {
    cbBack,
    cbCancelEntry, // CE
    cbClear,       // C
    cbMC,
    cbMR,
    cbMS,
    cbMPlus,
    cbNum0,
    cbNum9 = cbNum0 + 9,
    cbSign,
    cbDecimal,
    cbDivide,
    cbMultiply,
    cbSubtract,
    cbAdd,
    cbSqrt,
    cbPercent,
    cbReciprocal, // 1/x
    cbEqual,
    cbNone
};

using TcvCalcButtonClickEvent = std::function<void(TObject* Sender, int Key)>;

class TCustomcvCalculator : public TcvInplacePopupControl {
public:
    enum TCalcState { csResult = 0, csTyping = 1, csError = 2 };

    explicit TCustomcvCalculator(TComponent* AOwner);

    bool AutoFontSize() const { return FAutoFontSize; }
    void SetAutoFontSize(bool Value) { FAutoFontSize = Value; }
    bool BeepOnError() const { return FBeepOnError; }
    void SetBeepOnError(bool Value) { FBeepOnError = Value; }
    TcvButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TcvButtonStyle Value);
    // 1 gives a standalone calculator a window border; recreates the window.
    int CalcBorderStyle() const { return FCalcBorderStyle; }
    void SetCalcBorderStyle(int Value);
    // A one-pixel frame around each key.
    bool ShowButtonFrame() const { return FShowButtonFrame; }
    void SetShowButtonFrame(bool Value);
    // The focus rectangle on "=" while the calculator has the focus.
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool Value);
    // Significant digits of results and digits typed (at least 2 are used).
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = Value; }
    long double Memory() const { return FMemory; }
    TCalcState State() const { return FState; }
    // The key's place on the keypad, from the last layout.
    TRect KeyRect(int Key) const { return FKeys[static_cast<size_t>(Key)].Rect; }
    bool KeyEnabled(int Key) const { return !FKeys[static_cast<size_t>(Key)].Disabled; }

    TNotifyEvent OnDisplayChange;
    TcvCalcButtonClickEvent OnButtonClick;
    TNotifyEvent OnError;
    TNotifyEvent OnResult;

    // The display, in slot order; the text is empty and unkept here.
    virtual void GetDisplayText(std::string& Text) { Text.clear(); }
    virtual void SetDisplayText(const std::string& Text) { (void)Text; }

    // The arithmetic of one key.
    void ButtonClick(int Key);
    // The display as a number: "0" when empty; 0 in the error state and for
    // a text that is no number.
    long double GetValue();
    // The display becomes Value with max(2, Precision) significant digits.
    void SetValue(long double Value);
    // A result of 0 with no pending operation.
    void Clear();
    // Shows "Error" (beeping when BeepOnError); only CE and C leave it.
    void Error();
    void Copy();
    // A number on the clipboard (the currency string and blanks around it
    // taken away) becomes the value; anything else is ignored.
    void Paste();
    // Clear, and the memory emptied.
    void Reset();
    // Lays the keys out for the client size and sizes the control to them.
    void LayoutKeys();

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    struct TCalcButton {
        const char* Caption;
        TColor Color;
        TRect Rect;
        bool Pressed;
        bool Disabled;
    };

    void SetDisplay(const std::string& Text);
    std::string Display();
    // The display becomes "0" for a new number when a result is shown.
    void StartNumber();
    void ApplyOperator(int Key);
    void ApplyFunction(int Key);
    void UpdateMemoryKeys();
    void Layout(int ClientW, int ClientH);
    // Sizes the control to the last layout.
    void ApplyLayoutSize();
    int KeyAt(TPoint P) const;
    void RepaintKey(int Key);
    void SetPressed(int Key, bool Pressed);
    void SetHotKey(int Key);
    // The keyboard shows Key pressed and clicks it.
    void PressByKeyboard(int Key);
    void PaintKey(HDC DC, int Key);
    std::string Caption(int Key) const;

    bool FAutoFontSize = true;
    bool FBeepOnError = true;
    TcvButtonStyle FButtonStyle = bsStandard;
    int FCalcBorderStyle = 0;
    bool FShowButtonFrame = false;
    bool FShowFocusRect = true;
    int FFontSize = 8;
    int FButtonWidth = 28;
    int FButtonHeight = 22;
    int FWideButtonWidth = 47;
    int FHorzGap = 4;
    int FVertGap = 4;
    int FCalcWidth = 207;
    int FCalcHeight = 137;
    long double FMemory = 0;
    int FLastOperator = cbEqual;
    long double FAccumulator = 0;
    int FPrecision = 13;
    TCalcState FState = csResult;
    std::array<TCalcButton, cbNone> FKeys;
    int FHotKey = cbNone;
    int FTrackedKey = cbNone;
    int FKeyboardKey = cbNone;
    bool FTracking = false;
    int FSettingBounds = 0;
};
