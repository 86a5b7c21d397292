// The flat painter and the control subclasses it makes. Colours are worked out
// before every drawing: lightened system colours on devices of 16 bits per
// pixel and more, plain ones below. A subclass draws through its control's
// window DC after the control painted (over the widget, for controls Qt
// paints), and in the DC its parent hands a graphic control.
#include "components/FlatPainter.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/SystemMetrics.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr int HighColorBits = 16;
constexpr intptr_t KeepOwnLookTag = 999;
constexpr intptr_t PlainFlatStyleTag = 1234567890;
// Messages after which the control's window is made anew.
constexpr UINT RecreatingMessage = 0x00B8;
constexpr UINT RecreatingControlMessage = 0xB034;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr TColor Silver = 0xC0C0C0;
constexpr TColor GreyedMark = 0x808080;

int Clamp(int Value) {
    return std::clamp(Value, 0, 255);
}

bool HighColor(TCanvas* Canvas) {
    return GetDeviceCaps(Canvas->Handle(), BITSPIXEL) >= HighColorBits;
}

// Runs Convert over every pixel, once per run of one colour.
void ConvertPixels(TBitmap* Bitmap, const std::function<TColor(TColor)>& Convert) {
    TCanvas* canvas = Bitmap->Canvas();
    TColor last = -1, converted = 0;
    for (int y = 0; y < Bitmap->Height(); ++y)
        for (int x = 0; x < Bitmap->Width(); ++x) {
            const TColor pixel = canvas->Pixels(x, y);
            if (pixel != last) {
                last = pixel;
                converted = Convert(pixel);
            }
            canvas->SetPixels(x, y, converted);
        }
}

void Line(TCanvas* Canvas, int X1, int Y1, int X2, int Y2) {
    Canvas->MoveTo(X1, Y1);
    Canvas->LineTo(X2, Y2);
}

// A frame Width pixels wide: TopLeft along the top and left, BottomRight along
// the bottom and right; R shrinks by the width.
void Frame3D(TCanvas* Canvas, TRect& R, TColor TopLeft, TColor BottomRight, int Width) {
    for (int i = 0; i < Width; ++i) {
        Canvas->Pen()->SetColor(TopLeft);
        Canvas->Polyline({{R.Left, R.Bottom - 1}, {R.Left, R.Top}, {R.Right - 1, R.Top}});
        Canvas->Pen()->SetColor(BottomRight);
        Canvas->Polyline({{R.Right - 1, R.Top}, {R.Right - 1, R.Bottom - 1}, {R.Left - 1, R.Bottom - 1}});
        InflateRect(R, -1, -1);
    }
}

TColor ParentColor(TControl* Control) {
    return Control->Parent() ? Control->Parent()->Brush()->Color() : clBtnFace;
}

template <class T> bool Is(TObject* Object) {
    return dynamic_cast<T*>(Object) != nullptr;
}

} // namespace

// ---- Colour routines ----------------------------------------------------------

TColor FlatPainter::LightenColor(TCanvas* Canvas, TColor Color, int Percent) {
    const COLORREF c = ColorToRGB(Color);
    const int p = std::min(Percent, 100);
    const auto up = [p](int v) { return v + static_cast<int>(std::nearbyint((255 - v) * p / 100.0)); };
    const COLORREF lighter = RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
    return static_cast<TColor>(GetNearestColor(Canvas->Handle(), lighter));
}

TColor FlatPainter::DarkenColor(TColor Color, int Value) {
    const COLORREF c = ColorToRGB(Color);
    return RGB(Clamp(GetRValue(c) - Value), Clamp(GetGValue(c) - Value + 2), Clamp(GetBValue(c) - Value));
}

TColor FlatPainter::GreyOfColor(TColor Color, int Value) {
    const COLORREF c = ColorToRGB(Color);
    const int g = std::min((GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3 + Value, 240);
    return RGB(g, g, g);
}

void FlatPainter::GreyBitmap(TBitmap* Bitmap, int Value) {
    ConvertPixels(Bitmap, [Value](TColor c) { return GreyOfColor(c, Value); });
}

void FlatPainter::LightenBitmap(TBitmap* Bitmap, int Percent) {
    ConvertPixels(Bitmap, [Bitmap, Percent](TColor c) { return LightenColor(Bitmap->Canvas(), c, Percent); });
}

void FlatPainter::DrawGlyphShadow(TBitmap* Bitmap, TCanvas* Canvas, int X, int Y, TColor Color) {
    TCanvas* glyph = Bitmap->Canvas();
    const TColor transparent = glyph->Pixels(0, Bitmap->Height() - 1);
    for (int row = 0; row < Bitmap->Height(); ++row)
        for (int column = 0; column < Bitmap->Width(); ++column)
            if (glyph->Pixels(column, row) != transparent) Canvas->SetPixels(X + column, Y + row, Color);
}

void FlatPainter::DrawSmallArrow(TCanvas* Canvas, int X, int Y) {
    Line(Canvas, X, Y, X + 5, Y);
    Line(Canvas, X + 1, Y + 1, X + 4, Y);
    Line(Canvas, X + 2, Y + 2, X + 3, Y);
}

void FlatPainter::DrawTick(TCanvas* Canvas, int X, int Y) {
    for (int k = 5; k <= 7; ++k)
        Canvas->Polyline({{X + 2, Y - k}, {X + 4, Y - k + 2}, {X + 9, Y - k - 3}});
}

using namespace FlatPainter;

// ---- TFlatPainter ---------------------------------------------------------------

namespace {

// The painter's handlers as they sit in a menu item or a tool bar, so that
// unhooking clears only its own.
struct TDrawItemHook {
    TFlatPainter* Painter;
    void operator()(TObject* Sender, TCanvas* Canvas, TRect R, bool Selected) const {
        Painter->OnMenuDrawItem(Sender, Canvas, R, Selected);
    }
};
struct TMeasureItemHook {
    TFlatPainter* Painter;
    void operator()(TObject* Sender, TCanvas* Canvas, int& Width, int& Height) const {
        Painter->OnMenuMeasureItem(Sender, Canvas, Width, Height);
    }
};
struct TToolButtonHook {
    TFlatPainter* Painter;
    void operator()(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw) const {
        Painter->OnToolBarCustomDrawButton(Sender, Button, State, DefaultDraw);
    }
};

template <class Hook, class Event> bool IsHookOf(const Event& Handler, const TFlatPainter* Painter) {
    const Hook* hook = Handler.template target<Hook>();
    return hook && hook->Painter == Painter;
}

} // namespace

TFlatPainter::TFlatPainter(TComponent* AOwner)
    : TComponent(AOwner),
      FFont(std::make_unique<TFont>()), FFlatContainers{xccForm,       xccFrame,       xccToolbar,   xccCoolbar,
                                                        xccControlbar, xccPanel,       xccScrollBox, xccGroupBox,
                                                        xccTabSheet,   xccPageScroller},
      FFlatControls{xcMainMenu, xcPopupMenu,   xcToolbar,  xcControlbar, xcCombo,       xcEdit,
                    xcMaskEdit, xcMemo,        xcRichEdit, xcCheckBox,   xcRadioButton, xcButton,
                    xcBitBtn,   xcSpeedButton, xcPanel,    xcGroupBox} {
    SetControlUseTrueFlatStyle(true);
    LoadMenuFont();
    FSelectFontColor = FFont->Color();
}

TFlatPainter::~TFlatPainter() {
    if (TComponent* form = Owner()) HookComponents(form, false, false);
}

void TFlatPainter::LoadMenuFont() {
    NONCLIENTMETRICS metrics;
    if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        HFONT menuFont = CreateFontIndirect(metrics.lfMenuFont);
        FFont->SetHandle(menuFont);
        DeleteObject(menuFont);
    }
    FFont->SetColor(clMenuText);
}

void TFlatPainter::Loaded() {
    TComponent::Loaded();
    // Set while the form was being built: its controls stand only now.
    if (FActive && Owner()) HookComponents(Owner(), true, true);
}

void TFlatPainter::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (ComponentState().Contains(csLoading) || !Owner()) return;
    HookComponents(Owner(), Value, true);
    RedrawMenuBar();
}

void TFlatPainter::RedrawMenuBar() {
    if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->HandleAllocated()) DrawMenuBar(form->Handle());
}

void TFlatPainter::SetFont(TFont* Value) {
    FFont->Assign(Value);
    RedrawMenuBar();
}

void TFlatPainter::SetMenuBarColor(TColor Value) {
    FMenuBarColor = Value;
    RedrawMenuBar();
}

void TFlatPainter::SetUseSystemColors(bool Value) {
    FUseSystemColors = Value;
    RedrawMenuBar();
}

void TFlatPainter::SetOverrideOwnerDraw(bool Value) {
    FOverrideOwnerDraw = Value;
}

void TFlatPainter::Rehook(const std::function<void()>& Store) {
    const bool hooked = FActive && Owner() && !ComponentState().Contains(csLoading);
    if (hooked) HookComponents(Owner(), false, false);
    Store();
    if (hooked) HookComponents(Owner(), true, true);
}

void TFlatPainter::SetFlatContainers(TFlatContainers Value) {
    if (FFlatContainers != Value) Rehook([&] { FFlatContainers = Value; });
}

void TFlatPainter::SetFlatControls(TFlatControls Value) {
    if (FFlatControls != Value) Rehook([&] { FFlatControls = Value; });
}

void TFlatPainter::SetControlUseTrueFlatStyle(bool Value) {
    FControlUseTrueFlatStyle = Value;
    if (!Value) return;
    FBtnRoundArc = 5;
    FBtnOutLineBorderColor = 0x733C00;
    FBtnInnerBorderMoveColor = 0x31B2FF;
    FBtnInnerBorderFocusColor = 0xE7AE8C;
    FBtnSurfaceNormalColor = 0xF7FBFF;
    FBtnSurfaceDownColor = 0xDEE7E7;
    FBtnSurfaceBottomLineColor = 0xDEE7E7;
    FBtnSurfaceDownBottomLineColor = 0xE7EBEF;
    FRdoChkControlChkColor = 0x00A200;
    FComboBoxChkColor = 0x8C694A;
    FComboboxSurfaceMoveColor = 0xFFE7D6;
    FDropDownSurfaceColor = 0xF7A28C;
    FControlDisabledBorderColor = 0xB5C7C6;
}

void TFlatPainter::ComputeColors(TCanvas* Canvas) {
    TFlatColors& c = FColors;
    c.HighColor = HighColor(Canvas);
    c.Item = FColor;
    c.IconColumn = FIconBackColor;
    if (c.HighColor) {
        c.Selection = LightenColor(Canvas, FSelectColor, 68);
        c.CheckArea = LightenColor(Canvas, FSelectColor, 80);
        c.CheckAreaSelected = LightenColor(Canvas, FSelectColor, 50);
        c.MenuBorder = DarkenColor(clBtnFace, 90);
        c.MenuShadow = DarkenColor(clBtnFace, 76);
    } else {
        c.Selection = FSelectColor;
        c.CheckArea = clWhite;
        c.CheckAreaSelected = Silver;
        c.MenuBorder = clBtnShadow;
        c.MenuShadow = clBtnShadow;
    }
    c.SelectionBorder = FSelectBorderColor;
    c.SelectionText = FSelectFontColor;
    c.MenuBar = FMenuBarColor;
    c.Disabled = FDisabledColor;
    c.Check = FCheckedColor;
    c.Separator = FSeparatorColor;
    if (!FUseSystemColors) return;
    LoadMenuFont();
    c.SelectionText = FFont->Color();
    c.SelectionBorder = clHighlight;
    c.MenuBar = clBtnFace;
    c.Check = clHighlight;
    if (c.HighColor) {
        c.Item = LightenColor(Canvas, clBtnFace, 86);
        c.IconColumn = LightenColor(Canvas, clBtnFace, 16);
        c.Selection = LightenColor(Canvas, clHighlight, 68);
        c.Disabled = LightenColor(Canvas, clBtnShadow, 10);
        c.Separator = LightenColor(Canvas, clBtnShadow, 25);
        c.CheckArea = LightenColor(Canvas, clHighlight, 80);
        c.CheckAreaSelected = LightenColor(Canvas, clHighlight, 50);
    } else {
        c.Item = clWhite;
        c.IconColumn = clBtnFace;
        c.Selection = clWhite;
        c.Disabled = clBtnShadow;
        c.Separator = clBtnShadow;
        c.CheckArea = clWhite;
        c.CheckAreaSelected = clWhite;
    }
}

// ---- Hooking ----------------------------------------------------------------------

bool TFlatPainter::ControlQualifies(TControl* Control) const {
    const std::string name = Control->ClassName();
    const TFlatControls& k = FFlatControls;
    const bool kind =
        (Is<TCustomComboBox>(Control) && k.Contains(xcCombo)) || (Is<TCustomEdit>(Control) && k.Contains(xcEdit)) ||
        ((name == "TMaskEdit" || name == "TDBEdit") && k.Contains(xcMaskEdit)) ||
        (Is<TCustomMemo>(Control) && k.Contains(xcMemo)) || (Is<TCustomCheckBox>(Control) && k.Contains(xcCheckBox)) ||
        (Is<TRadioButton>(Control) && k.Contains(xcRadioButton)) || (name == "TBitBtn" && k.Contains(xcBitBtn)) ||
        ((name == "TButton" || name == "TUpDown") && k.Contains(xcButton)) ||
        (Is<TSpeedButton>(Control) && k.Contains(xcSpeedButton)) ||
        (Is<TCustomPanel>(Control) && k.Contains(xcPanel)) || (Is<TCustomGroupBox>(Control) && k.Contains(xcGroupBox));
    if (!kind) return false;
    TWinControl* parent = Control->Parent();
    if (!parent) return false;
    const std::string parentName = parent->ClassName();
    const TFlatContainers& p = FFlatContainers;
    return (Is<TToolBar>(parent) && p.Contains(xccToolbar)) || (Is<TCustomPanel>(parent) && p.Contains(xccPanel)) ||
           (Is<TScrollBox>(parent) && p.Contains(xccScrollBox)) ||
           (Is<TCustomGroupBox>(parent) && p.Contains(xccGroupBox)) ||
           ((Is<TTabSheet>(parent) || parentName == "TcvTabSheet") && p.Contains(xccTabSheet)) ||
           (parentName == "TDBCtrlPanel" && p.Contains(xccFrame)) || (Is<TCustomForm>(parent) && p.Contains(xccForm));
}

void TFlatPainter::HookControl(TControl* Control, bool Hook, bool Repaint) {
    if (!ControlQualifies(Control)) return;
    const bool ownLook =
        Control->Tag() == KeepOwnLookTag || (Control->Parent() && Control->Parent()->Tag() == KeepOwnLookTag);
    if (Hook && !ownLook && !TControlSubClass::Hooked(Control)) new TControlSubClass(this, Control);
    if (Repaint) Control->Invalidate();
}

void TFlatPainter::HookComponents(TComponent* Container, bool Hook, bool Repaint) {
    const bool designing = ComponentState().Contains(csDesigning);
    for (int i = 0; i < Container->ComponentCount(); ++i) {
        TComponent* component = Container->Components(i);
        auto* mainMenu = dynamic_cast<TMainMenu*>(component);
        auto* popupMenu = dynamic_cast<TPopupMenu*>(component);
        if ((mainMenu && FFlatControls.Contains(xcMainMenu) && mainMenu->Tag() != KeepOwnLookTag) ||
            (popupMenu && FFlatControls.Contains(xcPopupMenu))) {
            auto* menu = static_cast<TMenu*>(component);
            for (int j = 0; j < menu->Items()->Count(); ++j) {
                menu->SetOwnerDraw(Hook);
                HookMenuItem(menu->Items()->Items(j), Hook);
            }
        } else if (auto* bar = dynamic_cast<TToolBar*>(component); bar && FFlatControls.Contains(xcToolbar)) {
            if (designing) continue;
            if (!bar->Flat()) bar->SetFlat(true);
            if (Hook) {
                if (!bar->OnCustomDrawButton || FOverrideOwnerDraw) bar->OnCustomDrawButton = TToolButtonHook{this};
            } else if (IsHookOf<TToolButtonHook>(bar->OnCustomDrawButton, this)) {
                bar->OnCustomDrawButton = nullptr;
            }
            if (Repaint) bar->Invalidate();
        } else if (auto* control = dynamic_cast<TControl*>(component); control && !Is<TCustomForm>(control)) {
            if (!designing) HookControl(control, Hook, Repaint);
        } else if (Is<TCustomForm>(component) && FFlatContainers.Contains(xccFrame)) {
            HookComponents(component, Hook, Repaint);
        }
    }
}

void TFlatPainter::HookMenuItem(TMenuItem* Item, bool Hook) {
    if (!Hook) {
        if (IsHookOf<TDrawItemHook>(Item->OnDrawItem, this)) Item->OnDrawItem = nullptr;
        if (IsHookOf<TMeasureItemHook>(Item->OnMeasureItem, this)) Item->OnMeasureItem = nullptr;
    } else if (Item->Tag() != KeepOwnLookTag) {
        const bool formDraws = Item->OnDrawItem && !IsHookOf<TDrawItemHook>(Item->OnDrawItem, this);
        const bool formMeasures = Item->OnMeasureItem && !IsHookOf<TMeasureItemHook>(Item->OnMeasureItem, this);
        if (formDraws && !FOverrideOwnerDraw) {
            // The form's drawing stays; it may need the size measured.
            if (!Item->OnMeasureItem) Item->OnMeasureItem = TMeasureItemHook{this};
        } else {
            Item->OnDrawItem = TDrawItemHook{this};
            if (!formMeasures || FOverrideOwnerDraw) Item->OnMeasureItem = TMeasureItemHook{this};
        }
    }
    for (int i = 0; i < Item->Count(); ++i)
        HookMenuItem(Item->Items(i), Hook);
}

void TFlatPainter::HookNewSubItems(TMenuItem* Item) {
    for (int i = 0; i < Item->Count(); ++i)
        HookMenuItem(Item->Items(i), true);
}

// ---- Menu items -------------------------------------------------------------------

bool TFlatPainter::IsTopLevelOfMainMenu(TMenuItem* Item) const {
    TMenu* menu = Item->GetParentMenu();
    return menu && Is<TMainMenu>(menu) && Item->Parent() == menu->Items();
}

TCustomImageList* TFlatPainter::ItemImages(TMenuItem* Item) {
    if (Item->Parent() && Item->Parent()->SubMenuImages()) return Item->Parent()->SubMenuImages();
    TMenu* menu = Item->GetParentMenu();
    return menu ? menu->Images() : nullptr;
}

std::unique_ptr<TBitmap> TFlatPainter::ItemGlyph(TMenuItem* Item, TCanvas* Canvas) {
    TCustomImageList* images = ItemImages(Item);
    if (!images || Item->ImageIndex() < 0) {
        if (Item->Bitmap()->Width() <= 0) return nullptr;
        auto own = std::make_unique<TBitmap>();
        own->Assign(Item->Bitmap());
        return own;
    }
    if (Item->ImageIndex() >= images->Count()) return nullptr;
    // A picture from the menu's own list sits on what the menu already shows
    // near its corner; one from a sub-menu list on the brush.
    const bool menusOwnImages = !(Item->Parent() && Item->Parent()->SubMenuImages());
    auto glyph = std::make_unique<TBitmap>();
    glyph->SetSize(images->Width(), images->Height());
    glyph->Canvas()->Brush()->SetColor(menusOwnImages ? Canvas->Pixels(2, 2) : Canvas->Brush()->Color());
    glyph->Canvas()->FillRect(Rect(0, 0, images->Width(), images->Height()));
    ImageList_DrawEx(images->Handle(), Item->ImageIndex(), glyph->Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                     ILD_TRANSPARENT);
    return glyph;
}

TSize TFlatPainter::GlyphSize(TMenuItem* Item) {
    TCustomImageList* images = ItemImages(Item);
    const bool listed = images && Item->ImageIndex() >= 0;
    if (!listed && Item->Bitmap()->Width() <= 0) return {0, 0};
    TSize size = listed ? TSize{images->Width(), images->Height()} : TSize{Item->Bitmap()->Width(), Item->Bitmap()->Height()};
    if (!IsTopLevelOfMainMenu(Item)) size.cx = std::max(size.cx, FIconWidth);
    return size;
}

void TFlatPainter::OnMenuMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
    if (!FActive) return;
    auto* item = static_cast<TMenuItem*>(Sender);
    const bool separator = item->IsLine();
    std::string text = separator ? "" : item->Caption();
    if (item->ShortCut() != scNone) text += ShortCutToText(item->ShortCut()) + "WWW";
    ACanvas->Font()->Assign(FFont.get());
    int w = ACanvas->TextWidth(text) + 5;
    if (text.find('&') != std::string::npos) w -= ACanvas->TextWidth("&");
    const TSize glyph = GlyphSize(item);
    if (glyph.cx > 0) w += glyph.cx;
    if (IsTopLevelOfMainMenu(item)) w += 8;
    Width = std::max(Width, w);
    if (separator) {
        Height = 4;
        return;
    }
    const int textHeight = ACanvas->TextHeight(text.empty() ? "W" : text);
    const int h = std::max(textHeight + static_cast<int>(std::nearbyint(0.75 * textHeight)), glyph.cy + 6);
    Height = std::max(Height, h);
}

void TFlatPainter::OnMenuDrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected) {
    if (!FActive) return;
    auto* item = static_cast<TMenuItem*>(Sender);
    ComputeColors(ACanvas);
    const TFlatColors& c = FColors;
    const bool separator = item->IsLine();
    const bool topLevel = item->Parent() && item->GetParentMenu() && item->Parent() == item->GetParentMenu()->Items() &&
                          Is<TMainMenu>(item->GetParentMenu());
    ACanvas->Font()->Assign(FFont.get());
    ARect.Bottom += 1;
    const std::string text = " " + item->Caption();

    const std::unique_ptr<TBitmap> glyph = ItemGlyph(item, ACanvas);
    const TRect column = Rect(ARect.Left, ARect.Top, ARect.Left + FIconWidth, ARect.Bottom);
    TRect glyphRect;
    if (glyph) {
        glyphRect = Rect(column.Left + 1, column.Top + 2, column.Right - 3, column.Bottom - 2);
        if (glyph->Width() > glyphRect.Width()) glyphRect.Right = glyphRect.Left + glyph->Width();
    } else {
        const int x = column.Left + (column.Width() - 10) / 2, y = column.Top + (column.Height() - 10) / 2;
        glyphRect = Rect(x, y, x + 10, y + 10);
    }
    if (topLevel) OffsetRect(glyphRect, 0, -1);
    TRect textRect = ARect;
    textRect.Left += topLevel ? 4 : FIconWidth;
    if (glyph && glyph->Width() > FIconWidth) textRect.Left = std::max(textRect.Left, glyphRect.Right + 4);
    if (topLevel) textRect = glyph ? Rect(ARect.Left + 5, ARect.Top, ARect.Right, ARect.Bottom) : ARect;

    if (topLevel) {
        ACanvas->Brush()->SetColor(c.MenuBar);
        ACanvas->Pen()->SetColor(c.MenuBar);
        ACanvas->FillRect(ARect);
    } else if (FGradient && c.HighColor) {
        FillGradient(ACanvas, Rect(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom + 2));
    } else {
        ACanvas->Brush()->SetColor(c.Item);
        ACanvas->FillRect(ARect);
        ACanvas->Brush()->SetColor(c.IconColumn);
        ACanvas->FillRect(column);
    }
    ACanvas->Font()->SetColor(item->Enabled() ? FFont->Color() : c.Disabled);
    if (Selected && FDrawSelect) {
        if (topLevel) {
            DrawMenuBarSelection(ACanvas, ARect);
        } else if (item->Enabled()) {
            TRect selection = Rect(ARect.Left, ARect.Top + 1, ARect.Right - (FFlatMenu ? 1 : 0), ARect.Bottom - 1);
            ACanvas->Brush()->SetColor(c.Selection);
            ACanvas->FillRect(selection);
            ACanvas->Brush()->SetStyle(bsClear);
            ACanvas->Pen()->SetColor(c.SelectionBorder);
            ACanvas->Rectangle(selection);
            ACanvas->Brush()->SetStyle(bsSolid);
        }
    }
    DrawCheck(item, Selected, glyphRect, ACanvas, glyph != nullptr, item->Enabled());
    DrawGlyph(item, ACanvas, topLevel, item->Checked(), item->Enabled(), Selected, glyphRect, glyph.get());
    if (separator) {
        const int y = textRect.Top + static_cast<int>(std::nearbyint(textRect.Height() / 2.0));
        ACanvas->Pen()->SetColor(c.Separator);
        Line(ACanvas, textRect.Left + 7, y, textRect.Right, y);
    } else {
        TRect r = textRect;
        if (!topLevel) r.Left += 3;
        const std::string shortcut = item->ShortCut() != scNone ? ShortCutToText(item->ShortCut()) : "";
        DrawMenuText(item, text, (topLevel ? DT_CENTER : DT_LEFT) | DT_SINGLELINE | DT_VCENTER, topLevel,
                     item->Default(), item->Enabled(), Selected, r, ACanvas, shortcut);
    }
    HookNewSubItems(item);
}

void TFlatPainter::DrawCheck(TMenuItem* Item, bool Selected, const TRect& ARect, TCanvas* Canvas, bool HasGlyph,
                             bool Enabled) {
    if (!Item->Checked()) return;
    const TFlatColors& c = FColors;
    Canvas->Pen()->SetColor(Enabled ? c.SelectionBorder : c.Disabled);
    Canvas->Brush()->SetColor(Selected ? c.CheckAreaSelected : c.CheckArea);
    Canvas->Brush()->SetStyle(bsSolid);
    if (Item->RadioItem()) {
        if (HasGlyph)
            Canvas->RoundRect(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, 6, 6);
        else
            Canvas->Ellipse(ARect);
        return;
    }
    if (HasGlyph) {
        Canvas->Rectangle(ARect);
        return;
    }
    Canvas->Pen()->SetColor(c.Check);
    Canvas->Rectangle(ARect);
    Canvas->Pen()->SetColor(Enabled ? clBlack : c.Disabled);
    const int x = ARect.Left + 2, y = ARect.Top + 4;
    for (int k = 0; k < 5; ++k)
        Line(Canvas, x + k, y + (k < 2 ? k : 4 - k) + 1, x + k, y + (k < 2 ? k : 4 - k) + 3);
}

void TFlatPainter::DrawGlyph(TObject* Sender, TCanvas* Canvas, bool TopLevel, bool Checked, bool Enabled, bool Selected,
                             const TRect& GlyphRect, TBitmap* Glyph) {
    if (!Glyph || Glyph->Width() == 0) return;
    int x = GlyphRect.Left, y = GlyphRect.Top + 1;
    if (Is<TMenuItem>(Sender)) {
        y += 2;
        if (TopLevel)
            x = GlyphRect.Left + 1;
        else if (Glyph->Width() < FIconWidth)
            x = GlyphRect.Left + (FIconWidth - Glyph->Width()) / 2 - 1;
        else
            x = GlyphRect.Left + 2;
    }
    const bool raised = Selected && Enabled && !Checked && !TopLevel;
    if (raised) {
        --x;
        --y;
    }
    if (Enabled && !Checked && !Selected && FColors.HighColor) LightenBitmap(Glyph, FDimLevel);
    if (!Enabled) {
        GreyBitmap(Glyph, FGrayLevel);
        LightenBitmap(Glyph, 40);
    }
    if (raised) {
        const TColor shadow = Is<TToolButton>(Sender) && FColors.HighColor && !FUseSystemColors
                                  ? DarkenColor(LightenColor(Canvas, FSelectColor, 68), 50)
                                  : DarkenColor(FColors.Selection, 50);
        DrawGlyphShadow(Glyph, Canvas, x + 2, y + 2, shadow);
    }
    Glyph->SetTransparent(true);
    Canvas->Draw(x, y, Glyph);
}

void TFlatPainter::DrawMenuText(TObject* Sender, const std::string& Text, UINT Flags, bool TopLevel, bool Default,
                                bool Enabled, bool Selected, TRect ARect, TCanvas* Canvas,
                                const std::string& ShortCutText) {
    const TFlatColors& c = FColors;
    TColor color = Canvas->Font()->Color();
    if (Selected) color = c.SelectionText;
    if (!Enabled) color = c.Disabled;
    if (Selected && TopLevel && FUseSystemColors) {
        const COLORREF icon = ColorToRGB(c.IconColumn);
        const bool dark = (GetRValue(icon) + GetBValue(icon)) / 2 < 151 && GetGValue(icon) < 201;
        color = dark ? LightenColor(Canvas, c.IconColumn, 90) : Canvas->Font()->Color();
    }
    HDC dc = Canvas->Handle();
    if (!Enabled && Is<TToolButton>(Sender)) {
        // A disabled tool-button caption goes through a bitmap of the background.
        TBitmap text;
        text.SetSize(ARect.Width(), ARect.Height());
        text.Canvas()->Brush()->SetColor(Canvas->Brush()->Color());
        text.Canvas()->FillRect(Rect(0, 0, ARect.Width(), ARect.Height()));
        text.Canvas()->Font()->Assign(Canvas->Font());
        text.Canvas()->Font()->SetColor(color);
        TRect inside = Rect(0, 0, ARect.Width(), ARect.Height());
        HDC textDC = text.Canvas()->Handle();
        text.Canvas()->Refresh();
        SetBkMode(textDC, TRANSPARENT);
        DrawText(textDC, Text, &inside, Flags);
        Canvas->Draw(ARect.Left, ARect.Top, &text);
        return;
    }
    ARect.Top += (ARect.Height() - Canvas->TextHeight("W")) / 2;
    Canvas->Font()->SetColor(color);
    Canvas->Refresh();
    SetBkMode(dc, TRANSPARENT);
    const UINT flags = Flags & ~DT_VCENTER;
    if (Default && Enabled) {
        const TColor under = Canvas->Pixels(ARect.Left, ARect.Top);
        const int steps[] = {30, 30, 40, 60};
        for (int i = 0; i < 4; ++i) {
            TRect r = ARect;
            OffsetRect(r, 4 - i, 0);
            SetTextColor(dc, ColorToRGB(DarkenColor(under, steps[i])));
            DrawText(dc, Text, &r, flags);
        }
        SetTextColor(dc, ColorToRGB(color));
    }
    DrawText(dc, Text, &ARect, flags);
    if (ShortCutText.empty()) return;
    TRect shortcut = ARect;
    shortcut.Right -= 10;
    SetTextColor(dc, ColorToRGB(c.HighColor ? DarkenColor(color, -40) : color));
    DrawText(dc, ShortCutText + " ", &shortcut, DT_RIGHT | DT_SINGLELINE);
}

void TFlatPainter::FillGradient(TCanvas* Canvas, const TRect& ARect) {
    int p = 0;
    for (int x = ARect.Left; x < ARect.Right; ++x) {
        Canvas->Brush()->SetColor(LightenColor(Canvas, FColors.IconColumn, p));
        Canvas->FillRect(Rect(x, ARect.Top, x + 1, ARect.Bottom));
        p = std::min(p + (x - ARect.Left < FIconWidth + 5 ? 3 : 1), 96);
    }
}

void TFlatPainter::DrawMenuBarSelection(TCanvas* Canvas, const TRect& ARect) {
    Canvas->Brush()->SetColor(FColors.Selection);
    Canvas->FillRect(ARect);
    Canvas->Brush()->SetColor(FColors.SelectionBorder);
    Canvas->FrameRect(ARect);
}

// ---- Tool bars and control bars -------------------------------------------------

void TFlatPainter::OnToolBarCustomDrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                                             bool& DefaultDraw) {
    TCanvas* canvas = Sender->Canvas();
    ComputeColors(canvas);
    DefaultDraw = false;
    const TFlatColors& c = FColors;
    TRect r = Button->BoundsRect();
    if (Button->Style() == tbsSeparator || Button->Style() == tbsDivider) return;
    const bool hot = State.Contains(cdsHot), pressed = State.Contains(cdsSelected), down = State.Contains(cdsChecked);
    canvas->Brush()->SetColor(pressed || (down && hot) ? c.CheckAreaSelected
                              : down                   ? c.CheckArea
                              : hot                    ? c.Selection
                                                       : Sender->Color());
    canvas->FillRect(r);
    if (hot || pressed || down) {
        canvas->Brush()->SetColor(c.SelectionBorder);
        canvas->FrameRect(r);
        if (Button->Style() == tbsDropDown) {
            canvas->FrameRect(Rect(r.Right - 13, r.Top, r.Right, r.Bottom));
        }
    }
    if (Button->Style() == tbsDropDown) {
        canvas->Pen()->SetColor(clBlack);
        DrawSmallArrow(canvas, r.Right - 14 + 4, r.Top + r.Height() / 2 - 1);
        r.Right -= 13;
    }
    if (TCustomImageList* images = Sender->Images();
        images && Button->ImageIndex() >= 0 && Button->ImageIndex() < images->Count()) {
        TBitmap glyph;
        glyph.SetSize(images->Width(), images->Height());
        glyph.Canvas()->Brush()->SetColor(canvas->Brush()->Color());
        glyph.Canvas()->FillRect(Rect(0, 0, images->Width(), images->Height()));
        images->Draw(glyph.Canvas(), 0, 0, Button->ImageIndex());
        const int x = Sender->ShowCaptions() && Sender->List() ? r.Left + 3 : r.Left + (r.Width() - glyph.Width()) / 2;
        const int y = Sender->ShowCaptions() && !Sender->List() ? r.Top + 2 : r.Top + (r.Height() - glyph.Height()) / 2;
        DrawGlyph(Button, canvas, false, down, Button->Enabled(), hot,
                  Rect(x, y - 1, x + glyph.Width(), y + glyph.Height()), &glyph);
        if (Sender->List())
            r.Left = x + glyph.Width() + 3;
        else
            r.Top = y + glyph.Height();
    }
    if (Sender->ShowCaptions()) {
        canvas->Font()->Assign(Sender->Font());
        DrawMenuText(Button, Button->Caption(), (Sender->List() ? DT_LEFT : DT_CENTER) | DT_SINGLELINE, false, false,
                     Button->Enabled(), hot, r, canvas, "");
    }
}

void TFlatPainter::OnControlBarBandPaint(TWinControl* Control, TCanvas* Canvas, TRect& ARect,
                                         TBandPaintOptions& Options) {
    ComputeColors(Canvas);
    Options = {};
    Canvas->Brush()->SetColor(FColors.HighColor ? LightenColor(Canvas, Control->Color(), 6) : Control->Color());
    Canvas->FillRect(ARect);
    int p = 30;
    for (int y = ARect.Top + 5; y < ARect.Bottom - 5; ++y) {
        if ((y - ARect.Top) % 2 != 0) continue;
        Canvas->Pen()->SetColor(DarkenColor(Control->Color(), p));
        Line(Canvas, ARect.Left + 3, y, ARect.Left + 6, y);
        p += 7;
    }
}

// ---- TControlSubClass -------------------------------------------------------------

// The subclass's place in its control's WindowProc. Unhooked, it passes
// messages straight to the procedure before it, so a procedure hooked after
// it goes on working.
struct TControlSubClass::TLink {
    TControlSubClass* Sub = nullptr;
    TWndMethod Previous;
};

namespace {

struct TSubClassProcedure {
    std::shared_ptr<TControlSubClass::TLink> Link;
    void operator()(TMessage& Message) const;
};

} // namespace

TControlSubClass::TControlSubClass(TFlatPainter* Menu, TControl* Control)
    : TComponent(Menu), FControl(Control), FMenu(Menu), FLink(std::make_shared<TLink>()) {
    if (auto* edit = dynamic_cast<TWinControl*>(Control)) FSavedCtl3D = edit->Ctl3D();
    FLink->Sub = this;
    FLink->Previous = Control->WindowProc;
    Control->WindowProc = TSubClassProcedure{FLink};
    Control->FreeNotification(this);
}

TControlSubClass::~TControlSubClass() {
    Unhook();
}

void TSubClassProcedure::operator()(TMessage& Message) const {
    // The control's WindowProc, which holds this, may be replaced meanwhile.
    const std::shared_ptr<TControlSubClass::TLink> link = Link;
    if (link->Sub)
        link->Sub->WindowProc(Message);
    else
        link->Previous(Message);
}

bool TControlSubClass::Hooked(TControl* Control) {
    const auto* procedure = Control->WindowProc.target<TSubClassProcedure>();
    return procedure && procedure->Link->Sub;
}

void TControlSubClass::Unhook() {
    if (!FControl || !FLink->Sub) return;
    FLink->Sub = nullptr;
    // Only our own procedure is put back; one hooked after ours stays.
    if (const auto* procedure = FControl->WindowProc.target<TSubClassProcedure>();
        procedure && procedure->Link == FLink)
        FControl->WindowProc = FLink->Previous;
}

void TControlSubClass::FreeLater() {
    Unhook();
    if (FDepth > 0)
        FFreePending = true;
    else
        delete this;
}

void TControlSubClass::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent != FControl) return;
    // The control goes: its WindowProc goes with it.
    FControl = nullptr;
    FLink->Sub = nullptr;
    FreeLater();
}

void TControlSubClass::WindowProc(TMessage& Message) {
    ++FDepth;
    {
        TScopeGuard done([this] { --FDepth; });
        Handle(Message);
    }
    if (FDepth == 0 && FFreePending) delete this;
}

bool TControlSubClass::IsGraphic() const {
    return !Is<TWinControl>(FControl);
}

bool TControlSubClass::TrueFlat() const {
    return FMenu->ControlUseTrueFlatStyle() && FControl->Tag() != PlainFlatStyleTag;
}

namespace {

// A window being made anew, alone or with a parent's.
bool BeingRecreated(TControl* Control) {
    for (TControl* c = Control; c; c = c->Parent())
        if (c->ControlState().Contains(csRecreating)) return true;
    return false;
}

bool IsEdit(TControl* Control) {
    return Is<TCustomEdit>(Control) || Is<TCustomMemo>(Control);
}

} // namespace

void TControlSubClass::Handle(TMessage& m) {
    const bool graphic = IsGraphic();
    if (m.Msg == WM_PAINT && graphic)
        m.Result = 1;
    else
        FLink->Previous(m);
    if (!FControl) return;
    if (!FMenu->Active()) {
        Unhook();
        if (IsEdit(FControl)) static_cast<TWinControl*>(FControl)->SetCtl3D(FSavedCtl3D);
        if (graphic) FControl->Invalidate();
        FreeLater();
        return;
    }
    FLastMessage = m.Msg;
    const auto paintOrInvalidate = [&] {
        if (graphic)
            FControl->Invalidate();
        else
            Paint(nullptr);
    };
    switch (m.Msg) {
    case WM_DESTROY:
        if (!FRecreating && !BeingRecreated(FControl)) {
            FreeLater();
            return;
        }
        FRecreating = false;
        break;
    case WM_SETFOCUS:
        FHot = true;
        Paint(nullptr);
        break;
    case WM_KILLFOCUS:
    case CM_EXIT:
        FHot = false;
        Paint(nullptr);
        break;
    case WM_PAINT:
        FRecreating = false;
        Paint(reinterpret_cast<HDC>(m.WParam));
        break;
    case RecreatingMessage:
    case RecreatingControlMessage:
    case CM_CTL3DCHANGED:
    case CM_PARENTCTL3DCHANGED:
        FRecreating = true;
        break;
    case BM_GETCHECK:
    case BM_SETCHECK:
        FHot = false;
        Paint(nullptr);
        break;
    case BM_SETSTATE:
    case CM_FOCUSCHANGED:
    case CM_PARENTCOLORCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
        Paint(nullptr);
        break;
    case WM_KEYDOWN:
        if (m.WParam != VK_SPACE) break;
        FSpaceDown = true;
        if (!FSpaceRepeat) Paint(nullptr);
        FSpaceRepeat = true;
        break;
    case WM_KEYUP:
        if (m.WParam != VK_SPACE) break;
        FSpaceDown = false;
        FSpaceRepeat = false;
        Paint(nullptr);
        break;
    case WM_LBUTTONDOWN:
        FMouseDown = true;
        Paint(nullptr);
        break;
    case WM_LBUTTONUP:
        FMouseDown = false;
        paintOrInvalidate();
        break;
    case WM_LBUTTONDBLCLK:
        // A quick second click is a second press.
        if (Is<TButton>(FControl) || Is<TSpeedButton>(FControl) || Is<TCustomCheckBox>(FControl))
            FControl->Perform(WM_LBUTTONDOWN, m.WParam, m.LParam);
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (!FControl->Enabled()) break;
        FHot = m.Msg == CM_MOUSEENTER;
        paintOrInvalidate();
        break;
    default:
        break;
    }
}

// ---- Painting a control -----------------------------------------------------------

void TControlSubClass::FillSolid(TCanvas* Canvas, const TRect& R, TColor Color) {
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color);
    Canvas->FillRect(R);
}

void TControlSubClass::RoundFrame(TCanvas* Canvas, const TRect& R, TColor PenColor, int Corner) {
    Canvas->Pen()->SetColor(PenColor);
    Canvas->RoundRect(R.Left, R.Top, R.Right, R.Bottom, Corner, Corner);
}

void TControlSubClass::RoundOutline(TCanvas* Canvas, const TRect& R, TColor PenColor, int Corner) {
    Canvas->Brush()->SetStyle(bsClear);
    RoundFrame(Canvas, R, PenColor, Corner);
    Canvas->Brush()->SetStyle(bsSolid);
}

void TControlSubClass::BottomLine(TCanvas* Canvas, const TRect& R, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    Line(Canvas, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
}

void TControlSubClass::Paint(HDC MessageDC) {
    if (FControl->Tag() < 0) return;
    auto* win = dynamic_cast<TWinControl*>(FControl);
    FFocused = win && win->Focused();
    // An edit loses its 3-D look first: the subclass outlives the new window.
    if (auto* edit = IsEdit(FControl) ? win : nullptr; edit && edit->Ctl3D()) {
        FRecreating = true;
        edit->SetCtl3D(false);
    }
    if (!MessageDC && (!win || !win->HandleAllocated())) return;
    HWND wnd = MessageDC ? nullptr : win->Handle();
    TCanvas canvas;
    canvas.SetHandle(MessageDC ? MessageDC : GetDC(wnd));
    TScopeGuard release([&] {
        HDC dc = canvas.Handle();
        canvas.SetHandle(nullptr);
        if (wnd) ReleaseDC(wnd, dc);
    });
    canvas.Font()->Assign(FControl->Font());
    FMenu->ComputeColors(&canvas);
    if (Is<TCustomComboBox>(FControl)) PaintCombo(&canvas);
    if (IsEdit(FControl)) PaintEdit(&canvas);
    if (Is<TCustomCheckBox>(FControl)) PaintCheck(&canvas, false);
    if (Is<TRadioButton>(FControl)) PaintCheck(&canvas, true);
    if (Is<TButton>(FControl)) PaintButton(&canvas);
    if (Is<TSpeedButton>(FControl) && FControl->Visible()) PaintSpeedButton(&canvas);
    if (Is<TCustomPanel>(FControl) && FLastMessage == WM_PAINT) PaintPanel(&canvas);
    if (Is<TCustomGroupBox>(FControl) && FLastMessage == WM_PAINT) PaintGroupBox(&canvas);
}

void TControlSubClass::PaintCombo(TCanvas* Canvas) {
    auto* combo = static_cast<TCustomComboBox*>(FControl);
    const TFlatColors& c = FMenu->Colors();
    const bool trueFlat = TrueFlat();
    const bool enabled = combo->Enabled();
    TColor arrow = enabled ? clBlack : clWhite;
    TColor border = combo->Color(), button = clBtnFace;
    if (FHot) {
        border = c.SelectionBorder;
        button = c.Selection;
    } else if (FFocused) {
        border = LightenColor(Canvas, c.SelectionBorder, 60);
        button = c.CheckArea;
    }
    TRect r = combo->ClientRect();
    Canvas->Brush()->SetColor(ParentColor(combo));
    Canvas->FrameRect(r);
    Canvas->Pen()->SetColor(ParentColor(combo));
    Line(Canvas, r.Left + 1, r.Top + 1, r.Right - 1, r.Top + 1);
    r.Top += 1;
    r.Bottom -= 1;
    const bool grown = (FHot || FFocused) && !trueFlat;
    if (grown) InflateRect(r, 1, 1);
    const bool dropped = combo->DroppedDown();
    if (dropped) {
        border = c.SelectionBorder;
        arrow = clWhite;
        button = c.CheckAreaSelected;
    }
    if (trueFlat && enabled && !dropped) border = FMenu->BtnOutLineBorderColor();
    TRect framed = r;
    framed.Bottom += 1;
    Canvas->Brush()->SetColor(combo->Color());
    Canvas->FrameRect(framed);
    Canvas->Brush()->SetColor(border);
    Canvas->FrameRect(framed);
    TRect b = Rect(r.Right - GetSystemMetrics(SM_CXVSCROLL) - 1, r.Top + 1, r.Right - 1, r.Bottom);
    if (grown) b.Left -= 1;
    if (trueFlat) {
        FillSolid(Canvas, b, FMenu->BtnSurfaceNormalColor());
        const TColor inside = dropped      ? FMenu->DropDownSurfaceColor()
                              : FHot       ? FMenu->ComboboxSurfaceMoveColor()
                              : FMouseDown ? FMenu->BtnSurfaceDownColor()
                                           : FMenu->BtnInnerBorderFocusColor();
        TRect in = b;
        InflateRect(in, -1, -1);
        FillSolid(Canvas, in, inside);
        // A chevron two pixels thick.
        const int cx = (b.Left + b.Right) / 2, cy = (b.Top + b.Bottom) / 2;
        Canvas->Pen()->SetColor(FMenu->ComboBoxChkColor());
        for (int d = 0; d < 2; ++d)
            Canvas->Polyline({{cx - 4, cy - 2 + d}, {cx, cy + 2 + d}, {cx + 5, cy - 3 + d}});
        return;
    }
    FillSolid(Canvas, Rect(b.Left - 5, b.Top, b.Left, b.Bottom), combo->Color());
    FillSolid(Canvas, b, button);
    Canvas->Pen()->SetColor(border);
    Line(Canvas, b.Left, b.Top, b.Left, b.Bottom);
    Canvas->Pen()->SetColor(arrow);
    const int x = r.Right - 10, y = r.Top + 10;
    Line(Canvas, x, y, x + 5, y);
    Line(Canvas, x + 1, y + 1, x + 4, y + 1);
    Line(Canvas, x + 2, y + 2, x + 3, y + 2);
}

void TControlSubClass::PaintEdit(TCanvas* Canvas) {
    auto* edit = static_cast<TWinControl*>(FControl);
    const TFlatColors& c = FMenu->Colors();
    const auto* single = dynamic_cast<TCustomEdit*>(edit);
    const bool singleBorder = !single || single->BorderStyle() == bsSingle;
    const TColor parent = ParentColor(edit);
    const TColor border = FHot || FFocused ? LightenColor(Canvas, c.SelectionBorder, singleBorder ? 60 : 80)
                          : singleBorder   ? DarkenColor(parent, 60)
                                           : parent;
    if (TrueFlat()) edit->SetColor(FMenu->BtnSurfaceNormalColor());
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Pen()->SetColor(border);
    Canvas->Rectangle(edit->ClientRect());
    Canvas->Brush()->SetStyle(bsSolid);
}

void TControlSubClass::PaintCheck(TCanvas* Canvas, bool Radio) {
    const TFlatColors& c = FMenu->Colors();
    const bool trueFlat = TrueFlat();
    const bool enabled = FControl->Enabled();
    const bool down = FMouseDown || FSpaceDown;
    bool checked, greyed = false;
    TAlignment alignment;
    if (Radio) {
        auto* radio = static_cast<TRadioButton*>(FControl);
        checked = radio->Checked();
        alignment = radio->Alignment();
    } else {
        auto* check = static_cast<TCustomCheckBox*>(FControl);
        checked = check->State() == cbChecked;
        greyed = check->State() == cbGrayed;
        alignment = check->Alignment();
    }
    TColor fill = clWindow, frame = clBtnShadow;
    if (FHot || FFocused) {
        fill = c.Selection;
        frame = c.SelectionBorder;
    }
    if (down) fill = c.CheckAreaSelected;
    if (greyed) fill = Silver;
    if (trueFlat) {
        fill = FMouseDown ? FMenu->BtnSurfaceDownColor() : FMenu->BtnSurfaceNormalColor();
        frame = enabled || down ? FMenu->BtnOutLineBorderColor() : FMenu->ControlDisabledBorderColor();
    }
    const int size = GetSystemMetrics(SM_CXVSCROLL);
    const int inset = Radio ? 4 : 3;
    const TRect client = FControl->ClientRect();
    const int areaTop = client.Top + inset, areaBottom = client.Bottom - inset;
    const int top = areaTop + (areaBottom - areaTop - size) / 2;
    const int left = alignment == taLeftJustify ? client.Right - size : client.Left;
    TRect box = Rect(left, top, left + size, top + size + (trueFlat ? 1 : 0));
    FillSolid(Canvas, box, FControl->Color());
    InflateRect(box, -2, -2);
    Canvas->Brush()->SetColor(fill);
    Canvas->Pen()->SetColor(frame);
    if (Radio)
        Canvas->Ellipse(box);
    else
        Canvas->Rectangle(box);
    if (trueFlat && FHot) {
        TRect inner = box;
        InflateRect(inner, -1, -1);
        Canvas->Brush()->SetStyle(bsClear);
        Canvas->Pen()->SetColor(FMenu->BtnInnerBorderMoveColor());
        if (Radio)
            Canvas->Ellipse(inner);
        else
            Canvas->Rectangle(inner);
        Canvas->Brush()->SetStyle(bsSolid);
    }
    if (!checked && !greyed) return;
    TColor mark = !enabled ? c.Disabled : down ? clWindow : greyed ? GreyedMark : clHighlight;
    if (trueFlat) mark = FMenu->RdoChkControlChkColor();
    const int shift = trueFlat ? 1 : 0;
    if (Radio) {
        TRect dot = box;
        InflateRect(dot, -(trueFlat ? 4 : 2), -(trueFlat ? 4 : 2));
        const TColor dotColor = trueFlat ? FMenu->RdoChkControlChkColor() : clHighlight;
        Canvas->Brush()->SetColor(dotColor);
        Canvas->Pen()->SetColor(dotColor);
        Canvas->Ellipse(dot);
        return;
    }
    if (greyed) {
        FillSolid(Canvas, Rect(box.Left + 2, box.Top + 3, box.Right - 3, box.Bottom - 3),
                  FMenu->RdoChkControlChkColor());
        return;
    }
    Canvas->Pen()->SetColor(mark);
    DrawTick(Canvas, box.Left + shift, box.Bottom);
}

void TControlSubClass::PaintButtonSurface(TCanvas* Canvas, TRect R, bool Down) {
    const int arc = FMenu->BtnRoundArc();
    Canvas->Brush()->SetColor(Down ? FMenu->BtnSurfaceDownColor() : FMenu->BtnSurfaceNormalColor());
    RoundFrame(Canvas, R, FControl->Enabled() ? FMenu->BtnOutLineBorderColor() : FMenu->ControlDisabledBorderColor(),
               arc);
    Canvas->Brush()->SetStyle(bsSolid);
    BottomLine(Canvas, Rect(R.Left + arc / 2, R.Top, R.Right - arc / 2, R.Bottom - 2),
               Down ? FMenu->BtnSurfaceDownBottomLineColor() : FMenu->BtnSurfaceBottomLineColor());
    if (Down) return;
    TColor first = 0, second = 0;
    if (FFocused) {
        first = FMenu->BtnInnerBorderFocusColor();
        second = first + 0x020202;
    } else if (FHot) {
        first = FMenu->BtnInnerBorderMoveColor();
        second = first + 0x020200;
    } else {
        return;
    }
    InflateRect(R, -1, -1);
    RoundOutline(Canvas, R, first, arc);
    InflateRect(R, -1, -1);
    RoundOutline(Canvas, R, second, arc);
}

void TControlSubClass::DrawCaptionAndGlyph(TCanvas* Canvas, TRect Face, TBitmap* Glyph) {
    const bool hasGlyph = Glyph && !Glyph->Empty();
    if (hasGlyph) {
        const std::string caption = FControl->Caption();
        const int spacing = caption.empty() ? 0 : 4;
        const int width = Glyph->Width() + spacing + (caption.empty() ? 0 : Canvas->TextWidth(caption));
        const int x = Face.Left + (Face.Width() - width) / 2;
        const int y = Face.Top + (Face.Height() - Glyph->Height()) / 2;
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(Glyph);
        FMenu->DrawGlyph(FControl, Canvas, false, false, FControl->Enabled(), false,
                         Rect(x, y - 1, x + Glyph->Width(), y + Glyph->Height()), copy.get());
        Face.Left = x + Glyph->Width() + spacing;
        Face.Right = Face.Left + width - Glyph->Width() - spacing;
    }
    FMenu->DrawMenuText(FControl, FControl->Caption(), DT_CENTER | DT_SINGLELINE | DT_VCENTER, false, false,
                        FControl->Enabled(), false, Face, Canvas, "");
}

void TControlSubClass::PaintButton(TCanvas* Canvas) {
    const TFlatColors& c = FMenu->Colors();
    const TRect r = FControl->ClientRect();
    FillSolid(Canvas, r, ParentColor(FControl));
    const bool down = FMouseDown || FSpaceDown;
    if (TrueFlat()) {
        PaintButtonSurface(Canvas, r, down);
    } else {
        const TColor border =
            FHot || FFocused || FSpaceDown ? LightenColor(Canvas, c.SelectionBorder, 60) : TColor(clBtnShadow);
        const TColor face = FHot || FSpaceDown ? LightenColor(Canvas, clBtnFace, 60) : c.IconColumn;
        Canvas->Brush()->SetColor(face);
        RoundFrame(Canvas, r, LightenColor(Canvas, border, 30), FMenu->BtnRoundArc());
        Canvas->Pen()->SetColor(DarkenColor(border, 50));
        if (down)
            Canvas->Polyline({{r.Left + 1, r.Bottom - 2}, {r.Left + 1, r.Top + 1}, {r.Right - 1, r.Top + 1}});
        else
            Canvas->Polyline({{r.Right - 2, r.Top + 1}, {r.Right - 2, r.Bottom - 2}, {r.Left, r.Bottom - 2}});
    }
    auto* bitButton = dynamic_cast<TBitBtn*>(FControl);
    DrawCaptionAndGlyph(Canvas, r, bitButton ? bitButton->Glyph() : nullptr);
}

void TControlSubClass::PaintSpeedButton(TCanvas* Canvas) {
    auto* button = static_cast<TSpeedButton*>(FControl);
    const TFlatColors& c = FMenu->Colors();
    const TRect r = button->ClientRect();
    const bool down = button->Down() || FMouseDown;
    if (TrueFlat()) {
        FillSolid(Canvas, r, ParentColor(button));
        PaintButtonSurface(Canvas, r, down);
    } else {
        const TColor background = down && FHot ? c.CheckAreaSelected
                                  : down       ? c.CheckArea
                                  : FHot       ? c.Selection
                                               : c.IconColumn;
        FillSolid(Canvas, r, background);
        if (!button->Flat() || FHot || down) {
            Canvas->Brush()->SetColor(LightenColor(Canvas, FHot ? c.SelectionBorder : TColor(clBtnShadow), 30));
            Canvas->FrameRect(r);
        }
        if (down) {
            // And-ed with a light copy of its colour, a down face reads pressed.
            Canvas->Brush()->SetColor(LightenColor(Canvas, button->Color(), HighColor(Canvas) ? 20 : 40));
            HDC dc = Canvas->Handle();
            const HGDIOBJ oldBrush = SelectObject(dc, Canvas->Brush()->Handle());
            BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), dc, r.Left, r.Top, MERGECOPY);
            SelectObject(dc, oldBrush);
        }
    }
    DrawCaptionAndGlyph(Canvas, r, button->Glyph());
}

void TControlSubClass::PaintPanel(TCanvas* Canvas) {
    auto* panel = static_cast<TCustomPanel*>(FControl);
    const TColor light = LightenColor(Canvas, panel->Color(), 60), dark = DarkenColor(panel->Color(), 60);
    TRect r = panel->ClientRect();
    const auto bevel = [&](TPanelBevel kind) {
        if (kind == bvLowered) Frame3D(Canvas, r, dark, light, panel->BevelWidth());
        if (kind == bvRaised) Frame3D(Canvas, r, light, dark, panel->BevelWidth());
    };
    bevel(panel->BevelOuter());
    InflateRect(r, -panel->BorderWidth(), -panel->BorderWidth());
    bevel(panel->BevelInner());
}

void TControlSubClass::PaintGroupBox(TCanvas* Canvas) {
    auto* group = static_cast<TCustomGroupBox*>(FControl);
    const TColor light = LightenColor(Canvas, group->Color(), 60), dark = DarkenColor(group->Color(), 60);
    const std::string caption = group->Caption();
    const int h = Canvas->TextHeight(caption.empty() ? " " : caption);
    const int w = caption.empty() ? 0 : Canvas->TextWidth(caption);
    const TRect client = group->ClientRect();
    // The old frame goes under the group's colour.
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Pen()->SetColor(group->Color());
    Canvas->Rectangle(Rect(client.Left + 1, client.Top + h - 1, client.Right - 1, client.Bottom - 1));
    Line(Canvas, client.Left + 1, client.Top + h - 1, client.Left + 1, client.Bottom - 1);
    TRect frame = Rect(client.Left, client.Top + h / 2 - 1, client.Right, client.Bottom);
    const bool ctl3D = group->Ctl3D();
    Frame3D(Canvas, frame, ctl3D ? light : dark, dark, 1);
    FillSolid(Canvas, Rect(client.Left + 1, client.Top, client.Right - 1, client.Top + h / 2 - 1), ParentColor(group));
    if (!caption.empty()) {
        const TRect box = Rect(client.Left + 9, client.Top, client.Left + 9 + w, client.Top + h);
        FillSolid(Canvas, box, group->Color());
        Canvas->Brush()->SetStyle(bsClear);
        Canvas->Font()->Assign(group->Font());
        Canvas->TextOut(box.Left, box.Top, caption);
        Canvas->Brush()->SetStyle(bsSolid);
    }
    const int y = client.Top + h / 2;
    Canvas->Pen()->SetColor(ctl3D ? light : dark);
    Line(Canvas, client.Left + 1, y, client.Left + 9, y);
    Line(Canvas, client.Left + 9 + w, y, client.Right - 1, y);
}
