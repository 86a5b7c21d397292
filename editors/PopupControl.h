// The popup a drop-down editor shows under itself (calendar, list, ...): a
// top-level window owned by the editor's form that never takes the
// activation, keeps the form's caption active, hides itself when it loses the
// focus and then posts CM_POPUPCLOSED to its editor. It paints its frame and
// drop shadow in its non-client area. Also the hint window that shows a
// cell's full text.
#pragma once

#include "editors/Container.h"
#include "platform/ui/Controls.h"

#include <string>

class TcvInplaceEdit;
class TFont;

// Posted by a popup to its editor when it hides.
constexpr UINT CM_POPUPCLOSED = 0x8065;

class TcvInplacePopupControl : public TCustomControl {
public:
    explicit TcvInplacePopupControl(TComponent* AOwner);

    TcvPopupBorder BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TcvPopupBorder Value); // recreates the window on a change
    bool Shadow() const { return FShadow; }
    void SetShadow(bool Value); // recreates the window on a change
    int ShadowSize() const { return FShadowSize; }
    // Set by the drop-down editor that uses the control as its popup.
    bool IsPopup() const { return FPopup; }
    void SetPopup(bool Value) { FPopup = Value; }
    bool Frame() const { return FFrame; }
    void SetFrame(bool Value) { FFrame = Value; }
    TcvInplaceEdit* OwnerEditor() const { return FOwnerEditor; }
    void SetOwnerEditor(TcvInplaceEdit* Value) { FOwnerEditor = Value; }

    // Hides the popup (the focus back to the editor while the program is
    // active) and posts CM_POPUPCLOSED to the editor.
    virtual void HidePopup();
    // Shows the popup where it was placed; the editor's form keeps its caption active.
    virtual void ShowPopup();

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    HWND OwnerFormHandle() const;

    TcvPopupBorder FBorderStyle = pbDefault;
    bool FShadow = false;
    int FShadowSize = 2;
    bool FPopup = false;
    bool FFrame = true;
    TcvInplaceEdit* FOwnerEditor = nullptr;
};

// A tooltip-like window the mouse passes through; its caption is the text shown.
class TcvContainerHintWindow : public TCustomControl {
public:
    explicit TcvContainerHintWindow(TComponent* AOwner);

    // Sizes the window to Text (wrapped at the screen width) in the status-bar
    // font with Font's name and character set, and shows it at the screen
    // point, kept on the screen, without taking the activation.
    void ShowHintAt(TPoint Point, const std::string& Text, TFont* Font);
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    void ShowHint(TPoint Point, int MaxWidth, bool UseFontSize, TFont* Font, const std::string& Text);
};

namespace cvCntner {

// The width of a popup frame of each side (0 for pbDefault).
int PopupBorderWidth(TcvPopupBorder Border);
// Takes the frame and shadow off the client rectangle of a WM_NCCALCSIZE
// that the window's default handling has answered.
void DeflatePopupClient(TMessage& NcCalcSize, TcvPopupBorder BorderStyle, bool Shadow, int ShadowSize);
// Paints a popup frame (and shadow and size grip) into R of DC.
void PaintPopupFrame(HDC DC, TRect R, TcvPopupBorder BorderStyle, int ShadowSize, bool Shadow, bool SizeGrip);
// The same on the window DC of Wnd, over the whole window.
void DrawPopupFrame(HWND Wnd, TcvPopupBorder BorderStyle, bool SizeGrip, int ShadowSize, bool Shadow);
// Shapes the window to its frame and shadow; without a shadow, no shape.
void SetPopupShadowRegion(HWND Wnd, bool Shadow, int ShadowSize);

} // namespace cvCntner
