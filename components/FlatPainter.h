// The flat look of a form. TFlatPainter owner-draws the form's menus and its
// tool bars' buttons, and gives each edit, combo box, button, check box, radio
// button, speed button, panel and group box of the kinds and parents it is set
// to a TControlSubClass, which lets the control paint itself and then paints
// its frame, button face or mark over it in the painter's colours.
// Menu windows are Qt's and offer no frame to paint, so FlatMenu draws no menu
// frame; no window here holds a control bar, so OnControlBarBandPaint is a
// routine that nothing hooks; there is no rich edit control to paint.
#pragma once

#include "platform/ui/ComCtrls.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Menus.h"

#include <functional>
#include <memory>
#include <string>

enum TFlatContainer {
    xccForm,
    xccFrame,
    xccToolbar,
    xccCoolbar,
    xccControlbar,
    xccPanel,
    xccScrollBox,
    xccGroupBox,
    xccTabSheet,
    xccPageScroller
};
using TFlatContainers = TSet<TFlatContainer>;

enum TFlatControl {
    xcMainMenu,
    xcPopupMenu,
    xcToolbar,
    xcControlbar,
    xcCombo,
    xcEdit,
    xcMaskEdit,
    xcMemo,
    xcRichEdit,
    xcCheckBox,
    xcRadioButton,
    xcButton,
    xcBitBtn,
    xcSpeedButton,
    xcPanel,
    xcGroupBox
};
using TFlatControls = TSet<TFlatControl>;

// What a control bar asks of a band's painting; the painter clears them all.
enum TBandPaintOption { bpoGrabber, bpoFrame, bpoGradient, bpoRoundRect };
using TBandPaintOptions = TSet<TBandPaintOption>;

namespace FlatPainter {

// Colours go through ColorToRGB first. Lighten moves each channel Percent
// (at most 100) of the way to 255 and takes the canvas device's nearest colour.
TColor LightenColor(TCanvas* Canvas, TColor Color, int Percent);
// Red and blue less Value, green less Value - 2, each kept in 0..255; a
// negative Value lightens.
TColor DarkenColor(TColor Color, int Value);
// The grey of the channels' mean plus Value, at most 240.
TColor GreyOfColor(TColor Color, int Value);
void GreyBitmap(TBitmap* Bitmap, int Value);
void LightenBitmap(TBitmap* Bitmap, int Percent);
// Every pixel of Bitmap but those of its transparent colour (its bottom-left
// pixel) set on Canvas at (X, Y) in Color.
void DrawGlyphShadow(TBitmap* Bitmap, TCanvas* Canvas, int X, int Y, TColor Color);
void DrawSmallArrow(TCanvas* Canvas, int X, int Y);
void DrawTick(TCanvas* Canvas, int X, int Y);

} // namespace FlatPainter

// The colours a drawing uses, worked out by TFlatPainter::ComputeColors.
struct TFlatColors {
    bool HighColor = true;
    TColor Item = clWhite;
    TColor IconColumn = clBtnFace;
    TColor Selection = clWhite;
    TColor SelectionBorder = clHighlight;
    TColor SelectionText = clMenuText;
    TColor CheckArea = clWhite;
    TColor CheckAreaSelected = clWhite;
    TColor Check = clHighlight;
    TColor MenuBar = clBtnFace;
    TColor Disabled = clBtnShadow;
    TColor Separator = clBtnShadow;
    TColor MenuBorder = clBtnShadow;
    TColor MenuShadow = clBtnShadow;
};

class TFlatPainter : public TComponent {
public:
    explicit TFlatPainter(TComponent* AOwner);
    ~TFlatPainter() override;

    // Hooks or unhooks the owner form's menus, tool bars and controls.
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TColor IconBackColor() const { return FIconBackColor; }
    void SetIconBackColor(TColor Value) { FIconBackColor = Value; }
    TColor MenuBarColor() const { return FMenuBarColor; }
    void SetMenuBarColor(TColor Value);
    TColor SelectColor() const { return FSelectColor; }
    void SetSelectColor(TColor Value) { FSelectColor = Value; }
    TColor SelectBorderColor() const { return FSelectBorderColor; }
    void SetSelectBorderColor(TColor Value) { FSelectBorderColor = Value; }
    TColor SelectFontColor() const { return FSelectFontColor; }
    void SetSelectFontColor(TColor Value) { FSelectFontColor = Value; }
    TColor DisabledColor() const { return FDisabledColor; }
    void SetDisabledColor(TColor Value) { FDisabledColor = Value; }
    TColor SeparatorColor() const { return FSeparatorColor; }
    void SetSeparatorColor(TColor Value) { FSeparatorColor = Value; }
    TColor CheckedColor() const { return FCheckedColor; }
    void SetCheckedColor(TColor Value) { FCheckedColor = Value; }
    int IconWidth() const { return FIconWidth; }
    void SetIconWidth(int Value) { FIconWidth = Value; }
    bool DrawSelect() const { return FDrawSelect; }
    void SetDrawSelect(bool Value) { FDrawSelect = Value; }
    bool UseSystemColors() const { return FUseSystemColors; }
    void SetUseSystemColors(bool Value);
    // Whether handlers the form set itself give way to the painter's.
    bool OverrideOwnerDraw() const { return FOverrideOwnerDraw; }
    void SetOverrideOwnerDraw(bool Value);
    bool Gradient() const { return FGradient; }
    void SetGradient(bool Value) { FGradient = Value; }
    // Narrows a drop-down item's selection by a pixel at the right.
    bool FlatMenu() const { return FFlatMenu; }
    void SetFlatMenu(bool Value) { FFlatMenu = Value; }
    bool AutoDetect() const { return FAutoDetect; }
    void SetAutoDetect(bool Value) { FAutoDetect = Value; }
    // Which parents qualify a control, and which kinds are painted.
    TFlatContainers FlatContainers() const { return FFlatContainers; }
    void SetFlatContainers(TFlatContainers Value);
    TFlatControls FlatControls() const { return FFlatControls; }
    void SetFlatControls(TFlatControls Value);
    Byte GrayLevel() const { return FGrayLevel; }
    void SetGrayLevel(Byte Value) { FGrayLevel = Value; }
    Byte DimLevel() const { return FDimLevel; }
    void SetDimLevel(Byte Value) { FDimLevel = Value; }

    // Setting it True sets every button and check-box colour below again.
    bool ControlUseTrueFlatStyle() const { return FControlUseTrueFlatStyle; }
    void SetControlUseTrueFlatStyle(bool Value);
    int BtnRoundArc() const { return FBtnRoundArc; }
    void SetBtnRoundArc(int Value) { FBtnRoundArc = Value; }
    TColor BtnOutLineBorderColor() const { return FBtnOutLineBorderColor; }
    void SetBtnOutLineBorderColor(TColor Value) { FBtnOutLineBorderColor = Value; }
    TColor BtnInnerBorderMoveColor() const { return FBtnInnerBorderMoveColor; }
    void SetBtnInnerBorderMoveColor(TColor Value) { FBtnInnerBorderMoveColor = Value; }
    TColor BtnInnerBorderFocusColor() const { return FBtnInnerBorderFocusColor; }
    void SetBtnInnerBorderFocusColor(TColor Value) { FBtnInnerBorderFocusColor = Value; }
    TColor BtnSurfaceNormalColor() const { return FBtnSurfaceNormalColor; }
    void SetBtnSurfaceNormalColor(TColor Value) { FBtnSurfaceNormalColor = Value; }
    TColor BtnSurfaceDownColor() const { return FBtnSurfaceDownColor; }
    void SetBtnSurfaceDownColor(TColor Value) { FBtnSurfaceDownColor = Value; }
    TColor BtnSurfaceBottomLineColor() const { return FBtnSurfaceBottomLineColor; }
    void SetBtnSurfaceBottomLineColor(TColor Value) { FBtnSurfaceBottomLineColor = Value; }
    TColor BtnSurfaceDownBottomLineColor() const { return FBtnSurfaceDownBottomLineColor; }
    void SetBtnSurfaceDownBottomLineColor(TColor Value) { FBtnSurfaceDownBottomLineColor = Value; }
    TColor RdoChkControlChkColor() const { return FRdoChkControlChkColor; }
    void SetRdoChkControlChkColor(TColor Value) { FRdoChkControlChkColor = Value; }
    TColor ComboBoxChkColor() const { return FComboBoxChkColor; }
    void SetComboBoxChkColor(TColor Value) { FComboBoxChkColor = Value; }
    TColor ComboboxSurfaceMoveColor() const { return FComboboxSurfaceMoveColor; }
    void SetComboboxSurfaceMoveColor(TColor Value) { FComboboxSurfaceMoveColor = Value; }
    TColor ControlDisabledBorderColor() const { return FControlDisabledBorderColor; }
    void SetControlDisabledBorderColor(TColor Value) { FControlDisabledBorderColor = Value; }
    // The button of a combo box whose list is open.
    TColor DropDownSurfaceColor() const { return FDropDownSurfaceColor; }

    // Works out the colours in use for drawing on Canvas's device.
    void ComputeColors(TCanvas* Canvas);
    const TFlatColors& Colors() const { return FColors; }

    // Walks the components Container owns (frames and forms among them too).
    void HookComponents(TComponent* Container, bool Hook, bool Repaint);
    void HookMenuItem(TMenuItem* Item, bool Hook);
    void HookNewSubItems(TMenuItem* Item);

    void OnMenuMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    void OnMenuDrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected);
    void OnToolBarCustomDrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw);
    void OnControlBarBandPaint(TWinControl* Control, TCanvas* Canvas, TRect& ARect, TBandPaintOptions& Options);

    // The item's picture from its menu's image list (nullptr when none), on
    // Canvas's pixel (2, 2) for the menu's own images, else on its brush;
    // GlyphSize is its size, the width at least IconWidth below the bar.
    std::unique_ptr<TBitmap> ItemGlyph(TMenuItem* Item, TCanvas* Canvas);
    // The parent's sub-menu images, else the menu's.
    static TCustomImageList* ItemImages(TMenuItem* Item);
    TSize GlyphSize(TMenuItem* Item);

    // The pieces of an item's, a tool button's or a push button's drawing.
    void DrawCheck(TMenuItem* Item, bool Selected, const TRect& ARect, TCanvas* Canvas, bool HasGlyph, bool Enabled);
    void DrawGlyph(TObject* Sender, TCanvas* Canvas, bool TopLevel, bool Checked, bool Enabled, bool Selected,
                   const TRect& GlyphRect, TBitmap* Glyph);
    void DrawMenuText(TObject* Sender, const std::string& Text, UINT Flags, bool TopLevel, bool Default, bool Enabled,
                      bool Selected, TRect ARect, TCanvas* Canvas, const std::string& ShortCutText);
    void FillGradient(TCanvas* Canvas, const TRect& ARect);
    void DrawMenuBarSelection(TCanvas* Canvas, const TRect& ARect);

protected:
    void Loaded() override;

private:
    void LoadMenuFont();
    bool IsTopLevelOfMainMenu(TMenuItem* Item) const;
    bool ControlQualifies(TControl* Control) const;
    void HookControl(TControl* Control, bool Hook, bool Repaint);
    // Unhooks everything while Store changes a filter, then hooks again.
    void Rehook(const std::function<void()>& Store);
    void RedrawMenuBar();

    bool FActive = false;
    std::unique_ptr<TFont> FFont;
    TColor FColor = clBtnFace;
    TColor FIconBackColor = clBtnFace;
    TColor FMenuBarColor = clBtnFace;
    TColor FSelectColor = clHighlight;
    TColor FSelectBorderColor = clHighlight;
    TColor FSelectFontColor = clMenuText;
    TColor FDisabledColor = clInactiveCaption;
    TColor FSeparatorColor = clBtnFace;
    TColor FCheckedColor = clHighlight;
    int FIconWidth = 24;
    bool FDrawSelect = true;
    bool FUseSystemColors = true;
    bool FOverrideOwnerDraw = false;
    bool FGradient = false;
    bool FFlatMenu = false;
    bool FAutoDetect = false;
    TFlatContainers FFlatContainers;
    TFlatControls FFlatControls;
    Byte FGrayLevel = 10;
    Byte FDimLevel = 30;

    bool FControlUseTrueFlatStyle = false;
    int FBtnRoundArc = 5;
    TColor FBtnOutLineBorderColor = 0;
    TColor FBtnInnerBorderMoveColor = 0;
    TColor FBtnInnerBorderFocusColor = 0;
    TColor FBtnSurfaceNormalColor = 0;
    TColor FBtnSurfaceDownColor = 0;
    TColor FBtnSurfaceBottomLineColor = 0;
    TColor FBtnSurfaceDownBottomLineColor = 0;
    TColor FRdoChkControlChkColor = 0;
    TColor FComboBoxChkColor = 0;
    TColor FComboboxSurfaceMoveColor = 0;
    TColor FDropDownSurfaceColor = 0;
    TColor FControlDisabledBorderColor = 0;

    TFlatColors FColors;
};

// Paints one control of the painter's form flat, after the control's own
// painting: it takes the control's WindowProc and passes every message on
// first. It survives a window made anew, never frees itself while one of its
// messages runs, and unhooking it never cuts out a procedure hooked after it.
class TControlSubClass : public TComponent {
public:
    TControlSubClass(TFlatPainter* Menu, TControl* Control);
    ~TControlSubClass() override;

    TControl* Control() const { return FControl; }
    void WindowProc(TMessage& Message);
    // Whether Control runs a subclass's procedure now.
    static bool Hooked(TControl* Control);
    // Where the subclass sits in its control's WindowProc.
    struct TLink;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Handle(TMessage& Message);
    void Unhook();
    void FreeLater();
    bool TrueFlat() const;
    bool IsGraphic() const;
    void Paint(HDC MessageDC);
    void PaintCombo(TCanvas* Canvas);
    void PaintEdit(TCanvas* Canvas);
    void PaintCheck(TCanvas* Canvas, bool Radio);
    void PaintButton(TCanvas* Canvas);
    void PaintSpeedButton(TCanvas* Canvas);
    void PaintPanel(TCanvas* Canvas);
    void PaintGroupBox(TCanvas* Canvas);
    void PaintButtonSurface(TCanvas* Canvas, TRect R, bool Down);
    void DrawCaptionAndGlyph(TCanvas* Canvas, TRect Face, TBitmap* Glyph);

    void FillSolid(TCanvas* Canvas, const TRect& R, TColor Color);
    void RoundFrame(TCanvas* Canvas, const TRect& R, TColor PenColor, int Corner);
    void RoundOutline(TCanvas* Canvas, const TRect& R, TColor PenColor, int Corner);
    void BottomLine(TCanvas* Canvas, const TRect& R, TColor Color);

    TControl* FControl;
    bool FRecreating = false;
    bool FHot = false;
    bool FMouseDown = false;
    bool FSpaceDown = false;
    bool FSpaceRepeat = false;
    bool FFocused = false;
    TFlatPainter* FMenu;
    bool FSavedCtl3D = true;
    UINT FLastMessage = 0;
    std::shared_ptr<TLink> FLink;
    int FDepth = 0;            // messages of this subclass running now
    bool FFreePending = false; // free once they have returned
};
