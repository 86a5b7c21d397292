// The check-box editor: no edit control, a box (the system's, or an image
// of a glyph strip) and an optional caption, painted the same way in its own
// window and in a host's cell. Its value is the state as an integer: 0
// unchecked, 1 checked, 2 grayed. Its style follows the check style
// controllers, whose defaults are no border and a three-dimensional box.
#pragma once

#include "editors/InplaceEdit.h"

#include <memory>
#include <string>

class TBitmap;

enum TcvCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
// How the grayed state shows: as unchecked, as an inactive box, as a grayed check.
enum TcvShowNullFieldStyle { nsUnchecked, nsInactive, nsGrayedChecked };

// Starts and restores to no border and a three-dimensional box.
class TcvCheckEditStyleController : public TcvEditStyleController {
public:
    explicit TcvCheckEditStyleController(TComponent* AOwner);
    void RestoreDefaults() override;
};

// A check editor's style: its values follow the unit's default check style
// controller where the editor has no controller of its own.
class TcvCheckEditStyle : public TcvEditStyle {
public:
    explicit TcvCheckEditStyle(TcvInplaceEdit* Editor);
    ~TcvCheckEditStyle() override;
    TcvEditStyleController* GetDefaultStyleController() const override;
};

class TcvCheckEditViewData : public TcvEditViewData {
public:
    std::string Caption;
    bool CaptionFocus = true; // the focus frame goes round the caption alone
    TBitmap* Glyph = nullptr; // nullptr: the system's box
    int GlyphCount = 6;
    TcvShowNullFieldStyle NullStyle = nsGrayedChecked;
    bool Pressed = false;
    bool MultiLine = false;
};

// The check editor's class operations; Value of the view data is the state.
class TcvCheckEditClassOps : public TcvInplaceEditClass {
public:
    std::unique_ptr<TcvEditViewData> CreateViewData() const override;
    std::unique_ptr<TcvEditStyle> CreateEditStyle(TcvInplaceEdit* Editor) const override;
    int CalcHeight(const TcvEditViewData& ViewData) const override;
    bool DrawContent(HDC DC, const TRect& Rect, TcvEditViewData& ViewData) const override;

    // The size of one box: the system check box's, or one image of a non-empty glyph strip.
    static void GetGlyphSize(TBitmap* Glyph, int GlyphCount, int& Width, int& Height);
    // Where the box and the caption go in R.
    static void CalcLayout(const TRect& R, int GlyphWidth, int GlyphHeight, TAlignment Alignment, TRect& Box,
                           TRect& CaptionArea);
    // The state a value stands for: 1 (or "1", or true) checked, 2 grayed, anything else unchecked.
    static TcvCheckBoxState StateOfValue(const Variant& Value);
};

class TcvInplaceCheckEdit : public TcvInplaceEdit {
public:
    explicit TcvInplaceCheckEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceCheckEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    bool Checked() const { return FState == cbsChecked; }
    void SetChecked(bool Value);
    bool FullFocusRect() const { return FFullFocusRect; }
    void SetFullFocusRect(bool Value);
    // Made empty on first read.
    TBitmap* Glyph();
    // A copy of Value; nullptr frees the glyph.
    void SetGlyph(TBitmap* Value);
    int GlyphCount() const { return FGlyphCount; }
    void SetGlyphCount(int Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TcvShowNullFieldStyle NullStyle() const { return FNullStyle; }
    void SetNullStyle(TcvShowNullFieldStyle Value);
    TcvCheckBoxState State() const { return FState; }
    // A change repaints the box and, unless loading, fires OnClick and OnChange.
    void SetState(TcvCheckBoxState Value);
    // True while Space or the left button holds the box down.
    bool Pressed() const { return FPressed; }

    static void GetGlyphSize(TBitmap* Glyph, int GlyphCount, int& Width, int& Height) {
        TcvCheckEditClassOps::GetGlyphSize(Glyph, GlyphCount, Width, Height);
    }

    // Unchecked, grayed (with AllowGrayed), checked, unchecked ...; marks
    // the editor modified. Nothing when the editor may not be modified.
    virtual void Toggle();

    // Loading a value keeps Modified as it was and fires no notification.
    void SetEditValue(const Variant& Value) override;
    void GetViewValue(Variant& Value, bool FromDefinition) override;
    Variant GetEditValue() override;
    std::unique_ptr<TcvEditViewData> CreateViewData(bool FromDefinition) override;
    void ActivateByClick() override { Toggle(); }

    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void SetPressed(bool Value);
    void InvalidateBox();
    void EndTracking();
    bool NotificationsSuppressed();

    bool FAllowGrayed = false;
    bool FFullFocusRect = false;
    std::unique_ptr<TBitmap> FGlyph;
    int FGlyphCount = 6;
    bool FMultiLine = false;
    TcvShowNullFieldStyle FNullStyle = nsGrayedChecked;
    bool FPressed = false;
    TcvCheckBoxState FState = cbsUnchecked;
    bool FTracking = false;
};

// The check editor on a form.
class TCustomcvCheckEdit : public TcvInplaceCheckEdit {
public:
    explicit TCustomcvCheckEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceCheckEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvCheckEdit : public TCustomcvCheckEdit {
public:
    explicit TcvCheckEdit(TComponent* AOwner) : TCustomcvCheckEdit(AOwner, StaticClass()) {}
    static const TcvInplaceEditClass& StaticClass();
};
