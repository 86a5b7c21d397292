// The drop-down editor base: the mask editor with buttons in the non-client
// area of its window and a popup that opens below it. It owns the mechanics
// (hit test, pressing, hot tracking and painting of the buttons, the private
// messages that open and close the popup, key and wheel routing while it is
// open, placing it on the screen); each descendant supplies its own popup in
// DropDown and takes its value back in CloseUp.
#pragma once

#include "editors/Container.h"
#include "editors/MaskEdit.h"

#include <array>
#include <functional>
#include <memory>

class TBitmap;

// Posted to the editor to open its popup once the mouse message that asked
// for it has been handled.
constexpr UINT CM_DROPDOWNPOPUP = 0x8066;

enum TcvEditButtonKind { bkEllipsis, bkDown, bkGlyph };

// One button of a cell or an editor, as it is painted.
struct TcvEditButtonViewInfo {
    TBitmap* Glyph = nullptr;
    int Tag = 0; // 0 here; the button editor keeps its own number in it
    TcvEditButtonKind Kind = bkEllipsis;
    bool LeftAlignment = false;
    int Width = 0;
};

class TcvDropDownEditViewData : public TcvTextEditViewData {
public:
    static constexpr int MaxButtons = 8;
    int ButtonCount = 0;
    std::array<TcvEditButtonViewInfo, MaxButtons> Buttons{};
    TBitmap* DropDownGlyph = nullptr; // nullptr: the down arrow
    bool ButtonsHidden = false;
    int HotButton = -1;
    int PressedButton = -1;
};

class TcvDropDownEditClassOps : public TcvTextEditClassOps {
public:
    std::unique_ptr<TcvEditViewData> CreateViewData() const override;
    // The base layout, then each button's width taken off the content: the
    // buttons lie between the content and the frame.
    void CalcViewInfo(TcvEditViewData& ViewData, bool CalcSize, TcvEditViewInfo& ViewInfo) const override;
    // The frame, then the buttons in their hot and pressed looks.
    void DrawButtons(HDC DC, const TcvEditViewInfo& ViewInfo, const TcvEditViewData& ViewData) const override;

    // Fills the button list: none while hidden, else the one drop-down button.
    virtual void CalcButtons(TcvDropDownEditViewData& ViewData) const;
    virtual int GetButtonWidth(const TcvDropDownEditViewData& ViewData, const TcvEditButtonViewInfo& Button) const;

    // The rectangle of each button of a laid-out view data, last to first
    // cut from the area inside the frame; Visit answers false to stop.
    static void ForEachButtonRect(const TcvEditViewInfo& ViewInfo, const TcvEditViewData& ViewData,
                                  const std::function<bool(int Index, const TRect& R)>& Visit);
};

// Sender, the descendant's value (by reference) and whether it is taken.
using TcvCloseUpEvent = std::function<void(TObject* Sender, Variant& Value, bool& Accept)>;
using TcvButtonClickEvent = std::function<void(TObject* Sender, int AbsoluteIndex)>;

class TcvInplaceDropDownEdit : public TcvInplaceMaskEdit {
public:
    explicit TcvInplaceDropDownEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceDropDownEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    // Published properties.
    // Created empty on first read; an empty glyph shows the down arrow.
    TBitmap* ButtonGlyph();
    // A copy of Value (nullptr frees the glyph), then a new layout.
    void SetButtonGlyph(TBitmap* Value);
    int DropDownRows() const { return FDropDownRows; }
    void SetDropDownRows(int Value) { FDropDownRows = Value; }
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
    bool ImmediateDropDown() const { return FImmediateDropDown; }
    void SetImmediateDropDown(bool Value) { FImmediateDropDown = Value; }
    // Opens the popup as soon as the in-place editor has been shown.
    bool ImmediatePopup() const { return FImmediatePopup; }
    void SetImmediatePopup(bool Value) { FImmediatePopup = Value; }
    TAlignment PopupAlignment() const { return FPopupAlignment; }
    void SetPopupAlignment(TAlignment Value) { FPopupAlignment = Value; }
    TcvPopupBorder PopupBorder() const { return FPopupBorder; }
    void SetPopupBorder(TcvPopupBorder Value) { FPopupBorder = Value; }

    TcvCloseUpEvent OnCloseUp;
    TNotifyEvent OnDropDown;
    // Set by a host's column: runs before OnDropDown.
    TNotifyEvent DropDownHook;
    // Set by a host's column: told of a click on a button.
    TcvButtonClickEvent OnButtonClick;
    // Set by a host's column: whether the buttons show, given the editor's
    // own answer (its style hides them while it is inactive).
    std::function<bool(bool Default)> ShowsButtonsHook;

    // True from DropDown until the popup hides (CM_POPUPCLOSED), or the
    // editor window is hidden or shown.
    bool DroppedDown() const { return FDroppedDown; }
    TWinControl* Popup() const { return FPopup; }
    int HotButton() const { return FHotButton; }
    int PressedButton() const { return FPressedButton; }
    // A click anywhere in the editor counts as a click on the button.
    bool TextAreaOpens() const { return FTextAreaOpens; }
    void SetTextAreaOpens(bool Value) { FTextAreaOpens = Value; }

    // The popup exists, is shown and has the keyboard (its own focus, or
    // the keys the editor forwards).
    bool IsPopupVisible();
    // True posts CM_DROPDOWNPOPUP, false closes without a value; nothing
    // when the popup is already as asked.
    void SetDroppedDown(bool Value);
    void ReleaseButton();
    void SetHotButton(int Index);
    // PopupBorder unless pbDefault; else the host's choice, or one that
    // matches the editor's border.
    TcvPopupBorder GetPopupBorder();
    // For popup lists: a left release inside the popup accepts, outside cancels.
    void PopupMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // Takes the focus back after a close when the program is active.
    void FocusAfterCloseUp();

    // The drop-down editor's virtual operations, in the order descendants know them.
    // Places Popup under (or above) the editor as PopupAlignment says; with
    // AdjustWidth a narrower popup is widened to the editor's content.
    virtual void PositionPopup(TWinControl* Popup, bool AdjustWidth);
    virtual void CloseUp(bool Accept) { (void)Accept; }
    virtual void ButtonDown(bool FromClientArea, int Index);
    virtual void ButtonClick(int Index);
    virtual void DoCloseUp(Variant& Value, bool& Accept);
    // Alt+Up/Down and F4 open or close; Enter and Escape close an open popup.
    virtual void DropDownKeyDown(Word& Key, TShiftState Shift);
    // The wheel while the popup is closed: -1 up, +1 down.
    virtual void StepValue(int Delta, int Reserved) { (void)Delta, (void)Reserved; }
    virtual void DropDown() {}
    virtual void DoDropDown();
    // The text after typing into an open popup that lets the text be edited.
    virtual void PopupTextChanged(const std::string& Text) { (void)Text; }

    std::unique_ptr<TcvEditViewData> CreateViewData(bool FromDefinition) override;
    bool HandlesMouseWheel() override { return true; }
    void SetMouseInside(bool Value) override;
    void AfterShowEditor() override;
    void HideEditorWindow() override;
    bool IsFocused() override;
    void ForwardMouseDown(int X, int Y) override;
    void ActivateByClick() override;
    void ShowEditorWindow() override;

    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    // The descendant's popup; the descendant owns it.
    void SetPopup(TWinControl* Value) { FPopup = Value; }
    void SetDroppedDownFlag(bool Value) { FDroppedDown = Value; }
    // Set (the default): the editor keeps the focus and forwards keys to the
    // popup. Clear: the popup takes the focus itself.
    bool KeysToPopup() const { return FKeysToPopup; }
    void SetKeysToPopup(bool Value) { FKeysToPopup = Value; }
    // While the popup is open, typed characters still edit the text.
    bool EditWhileDropped() const { return FEditWhileDropped; }
    void SetEditWhileDropped(bool Value) { FEditWhileDropped = Value; }
    // Focuses the editor (an in-place one by its window alone, as its host
    // expects); answers whether it has the focus now.
    bool TakeFocus();
    // Shows the popup where it was placed, without activation, and marks the
    // editor dropped down.
    void ShowDroppedPopup();
    // Ends a mouse capture, takes the focus back (unless it is leaving),
    // hides the popup and marks the editor closed.
    void HideDroppedPopup();

private:
    const TcvDropDownEditClassOps* ClassOps() const;
    bool PopupHasFocus() const;
    void RepaintFrame();
    void HitTest(TMessage& Message);
    // The keyboard path while keys go to the popup; true when the message went no further.
    bool RouteKeyToPopup(TMessage& Message);
    bool DragIntoPopup(TPoint ClientPoint, WPARAM Keys);

    int FHotButton = -1;
    std::unique_ptr<TBitmap> FButtonGlyph;
    int FDropDownRows = 7;
    int FDropDownWidth = 0;
    bool FImmediateDropDown = true;
    bool FImmediatePopup = false;
    TAlignment FPopupAlignment = taLeftJustify;
    TcvPopupBorder FPopupBorder = pbDefault;
    int FPressedButton = -1;
    TWinControl* FPopup = nullptr;
    bool FDroppedDown = false;
    bool FKeysToPopup = true;
    bool FEditWhileDropped = false;
    bool FTextAreaOpens = false;
    bool FLosingFocus = false; // closing because the focus left
};
