// The spin editor: a numeric mask editor with an up and a down button in the
// non-client area at its right. The buttons, Up and Down and the wheel step
// the value by an increment within a range; a button held with the mouse
// steps at once, again after 400 ms and then every 100 ms while the mouse
// stays on it (window timer 100). The time editor derives from it.
#pragma once

#include "editors/MaskEdit.h"

#include <memory>

// Bit of StoredValues that this editor adds (the range takes the currency
// editor's bits 4 and 5).
constexpr Word cvsvValueType = 1 << 3;

// The spin buttons: 0 none, 1 up, 2 down.
enum TcvSpinButton : int { sbNone = 0, sbUp = 1, sbDown = 2 };
enum TcvSpinValueType : int { svtInteger = 0, svtFloat = 1 };

class TcvSpinEditViewData : public TcvTextEditViewData {
public:
    bool ButtonsShown = true;
    int HotButton = sbNone;
    int PressedButton = sbNone;
};

class TcvSpinEditClassOps : public TcvTextEditClassOps {
public:
    std::unique_ptr<TcvEditViewData> CreateViewData() const override;
    // The text area loses the button column on its right.
    void CalcViewInfo(TcvEditViewData& ViewData, bool CalcSize, TcvEditViewInfo& ViewInfo) const override;
    // The frame, then the up and the down button in their hot and pressed looks.
    void DrawButtons(HDC DC, const TcvEditViewInfo& ViewInfo, const TcvEditViewData& ViewData) const override;

    // 0 unless the view data shows spin buttons; else odd and at least 13.
    virtual int GetSpinButtonWidth(const TcvEditViewData& ViewData) const;
    // Where the buttons of a laid-out view data lie (empty without buttons).
    TRect ButtonColumn(const TcvEditViewInfo& ViewInfo, const TcvEditViewData& ViewData) const;
};

class TcvInplaceSpinEdit : public TcvInplaceMaskEdit {
public:
    static constexpr UINT_PTR RepeatTimerId = 100;

    explicit TcvInplaceSpinEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceSpinEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    // False: only the buttons, keys and wheel change the value.
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    double Increment() const { return FIncrement; }
    void SetIncrement(double Value) { FIncrement = Value; }
    // Equal limits mean no limits.
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value);
    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value);
    void SetMinMaxValues(double AMin, double AMax);
    // Up and Down step only with Ctrl; without it they are the host's.
    bool UseCtrlIncrement() const { return FUseCtrlIncrement; }
    void SetUseCtrlIncrement(bool Value) { FUseCtrlIncrement = Value; }
    int ValueType() const { return FValueType; }
    void SetValueType(int Value);
    int HotButton() const { return FHotButton; }
    int PressedButton() const { return FPressedButton; }
    // The repeat timer runs.
    bool Repeating() const { return FRepeatTimer != 0; }

    // The spin editor's virtual operations, in the order descendants know them.
    virtual double GetIncrement() { return FIncrement; }
    // The number in the text; an empty or unreadable text gives MinValue
    // (truncated for integers).
    virtual double GetValue();
    virtual bool IsValidSpinChar(char32_t Key);
    virtual void InternalSetMaxValue(double Value);
    virtual void InternalSetMinValue(double Value);
    virtual void InternalSetMinMaxValues(double AMin, double AMax);
    virtual void InternalSetValueType(int Value);
    // Clamped to the limits and written (general format, or the nearest
    // integer) only when the text differs; Modified stays as it is.
    virtual void SetValue(double Value);
    virtual double GetDefaultMaxValue();
    virtual double GetDefaultMinValue();
    virtual int GetDefaultValueType();

    void ApplyDefinitionProperties() override;
    std::unique_ptr<TcvEditViewData> CreateViewData(bool FromDefinition) override;
    // A mouse-down in the host closes a spin editor.
    bool IsStateFlagSet() override { return false; }
    bool HandlesMouseWheel() override { return true; }
    void SetMouseInside(bool Value) override;
    void RestoreDefaults() override;
    // Then the text clamped and normalised.
    void ValidateEdit() override;
    // A click that opened the editor on a cell's button steps at once.
    void ForwardMouseDown(int X, int Y) override;

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // One increment up or down as the pressed button says.
    void Step();

private:
    const TcvSpinEditClassOps& ClassOps() const;
    // What an empty or unreadable text reads as: MinValue, truncated for integers.
    double EmptyValue() const;
    void RepaintFrame();
    void SetHotButton(int Button);
    // Pressed and hot back to none, the capture and the repeat timer let go.
    void EndPress();
    void StartRepeat(UINT Elapse);
    void StopRepeat();
    // The button under a screen point; sbNone outside the buttons.
    int ButtonAt(TPoint Screen);
    void HitTest(TMessage& Message);
    void PressButton();

    bool FEditorEnabled = true;
    double FIncrement = 1.0;
    double FMaxValue = 0;
    double FMinValue = 0;
    int FHotButton = sbNone;
    int FPressedButton = sbNone;
    UINT_PTR FRepeatTimer = 0;
    bool FUseCtrlIncrement = false;
    int FValueType = svtInteger;
};
