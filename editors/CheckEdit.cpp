// The check editor: its style and controller, the painting of a box and
// caption from view data (window and cells alike), and the editor's keys and
// mouse. Space and the left button push the box down and toggle on release.
#include "editors/CheckEdit.h"

#include "editors/Container.h"
#include "editors/ExEdtr.h"
#include "editors/StandaloneEdit.h"
#include "editors/cvUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"

#include <algorithm>

// ---- style ------------------------------------------------------------------

TcvCheckEditStyleController::TcvCheckEditStyleController(TComponent* AOwner) : TcvEditStyleController(AOwner) {
    TUpdateGuard<TcvStyleController> update(this);
    SetBorderStyle(xbsNone);
    SetButtonStyle(bts3D);
}

void TcvCheckEditStyleController::RestoreDefaults() {
    TUpdateGuard<TcvStyleController> update(this);
    TcvEditStyleController::RestoreDefaults();
    SetBorderStyle(xbsNone);
    SetButtonStyle(bts3D);
}

// The base registered the editor with the editors' default controller (a
// constructor cannot reach this class's answer); move it to the check one.
TcvCheckEditStyle::TcvCheckEditStyle(TcvInplaceEdit* Editor) : TcvEditStyle(Editor) {
    if (TcvEditStyleController* controller = TcvEditStyle::GetDefaultStyleController())
        controller->RemoveListener(Editor);
    if (TcvEditStyleController* controller = GetDefaultStyleController()) controller->AddListener(Editor);
}

TcvCheckEditStyle::~TcvCheckEditStyle() {
    if (TcvEditStyleController* controller = GetDefaultStyleController()) controller->RemoveListener(Editor());
}

TcvEditStyleController* TcvCheckEditStyle::GetDefaultStyleController() const {
    return cvExEdtr::DefaultCheckStyleController();
}

// ---- class operations -------------------------------------------------------

namespace {

constexpr int CaptionGap = 3;
constexpr int LayoutInset = 2;
constexpr int ImagesPerStrip = 3; // unchecked, checked, grayed
constexpr int WholeText = -1;

UINT BoxStateFlags(const TcvCheckEditViewData& V, TcvCheckBoxState State) {
    UINT flags = DFCS_BUTTONCHECK;
    if (!V.Enabled)
        return flags | DFCS_PUSHED | DFCS_BUTTON3STATE | (State == cbsUnchecked ? DFCS_INACTIVE : DFCS_CHECKED);
    if (State == cbsChecked) flags |= DFCS_CHECKED;
    if (State == cbsGrayed) {
        flags |= DFCS_BUTTON3STATE;
        if (V.NullStyle == nsInactive) flags |= DFCS_INACTIVE;
        if (V.NullStyle == nsGrayedChecked) flags |= DFCS_CHECKED;
    }
    if (V.Pressed) flags |= DFCS_PUSHED;
    return flags;
}

// One image of the strip into Box, its transparent colour shown as Brush.
void DrawGlyph(HDC DC, const TcvCheckEditViewData& V, TcvCheckBoxState State, const TRect& Box) {
    int index = State + (V.Pressed ? ImagesPerStrip : 0);
    if (index >= V.GlyphCount && index >= ImagesPerStrip) index %= ImagesPerStrip;
    const int width = Box.Width(), height = Box.Height();
    TBitmap image;
    image.SetSize(width, height);
    BitBlt(image.Canvas()->Handle(), 0, 0, width, height, V.Glyph->Canvas()->Handle(), index * width, 0, SRCCOPY);
    image.SetTransparentColor(V.Glyph->TransparentColor());
    cvUtils::DrawBitmapOnBrush(DC, V.Brush, Box, &image);
}

void DrawSystemBox(HDC DC, const TcvCheckEditViewData& V, UINT Flags, TRect Box) {
    if (V.ButtonStyle == bts3D) {
        DrawFrameControl(DC, &Box, DFC_BUTTON, Flags);
        return;
    }
    Flags |= DFCS_FLAT;
    const int saved = SaveDC(DC);
    switch (V.ButtonStyle) {
    case btsFlat: {
        IntersectClipRect(DC, Box.Left + 1, Box.Top + 1, Box.Right - 1, Box.Bottom - 1);
        TRect drawn = Box;
        DrawFrameControl(DC, &drawn, DFC_BUTTON, Flags);
        RestoreDC(DC, saved);
        DrawEdge(DC, &Box, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        DrawEdge(DC, &Box, BDR_SUNKENINNER, BF_RECT | BF_FLAT);
        return;
    }
    case btsSimple: {
        IntersectClipRect(DC, Box.Left, Box.Top, Box.Right, Box.Bottom);
        TRect drawn = Box;
        InflateRect(drawn, 1, 1);
        DrawFrameControl(DC, &drawn, DFC_BUTTON, Flags);
        RestoreDC(DC, saved);
        FrameRect(DC, &Box, GetSysColorBrush(COLOR_BTNSHADOW));
        return;
    }
    default:
        DrawFrameControl(DC, &Box, DFC_BUTTON, Flags);
        RestoreDC(DC, saved);
        return;
    }
}

void LayoutOf(const TcvCheckEditViewData& V, const TRect& R, TRect& Box, TRect& CaptionArea) {
    int width, height;
    TcvCheckEditClassOps::GetGlyphSize(V.Glyph, V.GlyphCount, width, height);
    TcvCheckEditClassOps::CalcLayout(R, width, height, V.Alignment, Box, CaptionArea);
}

UINT CaptionFlags(const TcvCheckEditViewData& V) {
    return cvUtils::cvdtLeft | (V.MultiLine ? cvUtils::cvdtWordBreak : cvUtils::cvdtVCenter);
}

} // namespace

std::unique_ptr<TcvEditViewData> TcvCheckEditClassOps::CreateViewData() const {
    return std::make_unique<TcvCheckEditViewData>();
}

std::unique_ptr<TcvEditStyle> TcvCheckEditClassOps::CreateEditStyle(TcvInplaceEdit* Editor) const {
    return std::make_unique<TcvCheckEditStyle>(Editor);
}

void TcvCheckEditClassOps::GetGlyphSize(TBitmap* Glyph, int GlyphCount, int& Width, int& Height) {
    if (Glyph && !Glyph->Empty() && GlyphCount >= 1) {
        Width = Glyph->Width() / GlyphCount;
        Height = Glyph->Height();
        return;
    }
    Width = cvExEdtr::DefaultCheckWidth();
    Height = cvExEdtr::DefaultCheckHeight();
}

void TcvCheckEditClassOps::CalcLayout(const TRect& R, int GlyphWidth, int GlyphHeight, TAlignment Alignment, TRect& Box,
                                      TRect& CaptionArea) {
    if (Alignment == taCenter) {
        Box = Bounds(R.Left + (R.Width() - GlyphWidth) / 2, R.Top + (R.Height() - GlyphHeight) / 2, GlyphWidth,
                     GlyphHeight);
        CaptionArea = {};
        return;
    }
    TRect inner = R;
    InflateRect(inner, -LayoutInset, -LayoutInset);
    const int top = inner.Top + (inner.Height() - GlyphHeight) / 2;
    CaptionArea = inner;
    if (Alignment == taRightJustify) {
        Box = Bounds(inner.Right - GlyphWidth, top, GlyphWidth, GlyphHeight);
        CaptionArea.Right = Box.Left - CaptionGap;
    } else {
        Box = Bounds(inner.Left, top, GlyphWidth, GlyphHeight);
        CaptionArea.Left = Box.Right + CaptionGap;
    }
}

TcvCheckBoxState TcvCheckEditClassOps::StateOfValue(const Variant& Value) {
    if (Value.VarType() == varBoolean) return Value.AsBoolean() ? cbsChecked : cbsUnchecked;
    Integer number = 0;
    if (Value.IsNull() || !TryStrToInt(Trim(VarToStr(Value)), number)) return cbsUnchecked;
    return number == cbsChecked ? cbsChecked : number == cbsGrayed ? cbsGrayed : cbsUnchecked;
}

int TcvCheckEditClassOps::CalcHeight(const TcvEditViewData& ViewData) const {
    const auto& v = static_cast<const TcvCheckEditViewData&>(ViewData);
    int height = std::max(TcvInplaceEditClass::CalcHeight(ViewData), cvExEdtr::DefaultCheckHeight());
    if (v.Glyph && !v.Glyph->Empty()) height = std::max(height, v.Glyph->Height());
    if (v.Alignment == taCenter) return height;
    TRect box, caption;
    LayoutOf(v, v.Bounds, box, caption);
    HDC dc = GetDC(nullptr);
    const int captionHeight = cvUtils::DrawTextInRect(dc, v.Caption, WholeText, nullptr, 0, 0, v.Font, nullptr,
                                                      CaptionFlags(v) | cvUtils::cvdtMeasure, caption, caption);
    ReleaseDC(nullptr, dc);
    return std::max(height, captionHeight + 4);
}

bool TcvCheckEditClassOps::DrawContent(HDC DC, const TRect& Rect, TcvEditViewData& ViewData) const {
    if (ViewData.MeasureRequest) return true;
    const auto& v = static_cast<const TcvCheckEditViewData&>(ViewData);
    TRect box, caption;
    LayoutOf(v, Rect, box, caption);
    if (v.Alignment == taCenter) {
        FillRect(DC, &Rect, v.Brush);
    } else {
        UINT flags = CaptionFlags(v);
        if (v.Focused) flags |= cvUtils::cvdtFocusRect | (v.CaptionFocus ? cvUtils::cvdtFocusText : 0);
        if (v.Enabled) {
            cvUtils::DrawTextInRect(DC, v.Caption, WholeText, nullptr, v.TextColor, v.BackgroundColor, v.Font, v.Brush,
                                    flags, caption, Rect);
        } else {
            // Engraved: a light copy one pixel down and right under the shadow-coloured text.
            TRect light = caption;
            OffsetRect(light, 1, 1);
            cvUtils::DrawTextInRect(DC, v.Caption, WholeText, nullptr, GetSysColor(COLOR_BTNHIGHLIGHT),
                                    v.BackgroundColor, v.Font, v.Brush, flags, light, Rect);
            cvUtils::DrawTextInRect(DC, v.Caption, WholeText, nullptr, GetSysColor(COLOR_BTNSHADOW), v.BackgroundColor,
                                    v.Font, v.Brush, flags | cvUtils::cvdtNoFill, caption, Rect);
        }
    }
    const TcvCheckBoxState state = StateOfValue(v.Value);
    if (v.Glyph && !v.Glyph->Empty() && v.GlyphCount >= 1)
        DrawGlyph(DC, v, state, box);
    else
        DrawSystemBox(DC, v, BoxStateFlags(v, state), box);
    return true;
}

// ---- TcvInplaceCheckEdit ----------------------------------------------------

const TcvInplaceEditClass& TcvInplaceCheckEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceCheckEdit, TcvCheckEditClassOps>::Instance();
}

TcvInplaceCheckEdit::TcvInplaceCheckEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceEdit(AOwner, Class) {
    // It captures the mouse itself and has no click of the framework's own.
    FControlStyle = {csSetCaption, csDoubleClicks};
}

TcvInplaceCheckEdit::~TcvInplaceCheckEdit() = default;

void TcvInplaceCheckEdit::SetChecked(bool Value) {
    SetState(Value ? cbsChecked : cbsUnchecked);
}

void TcvInplaceCheckEdit::SetFullFocusRect(bool Value) {
    if (FFullFocusRect == Value) return;
    FFullFocusRect = Value;
    Invalidate();
}

TBitmap* TcvInplaceCheckEdit::Glyph() {
    if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
    return FGlyph.get();
}

void TcvInplaceCheckEdit::SetGlyph(TBitmap* Value) {
    if (!Value) {
        FGlyph.reset();
    } else {
        Glyph()->Assign(Value);
    }
    PropertiesChanged();
}

void TcvInplaceCheckEdit::SetGlyphCount(int Value) {
    if (FGlyphCount == Value) return;
    FGlyphCount = Value;
    if (FGlyph) PropertiesChanged();
}

void TcvInplaceCheckEdit::SetMultiLine(bool Value) {
    if (FMultiLine == Value) return;
    FMultiLine = Value;
    if (AutoSize())
        PropertiesChanged();
    else
        Invalidate();
}

void TcvInplaceCheckEdit::SetNullStyle(TcvShowNullFieldStyle Value) {
    if (FNullStyle == Value) return;
    FNullStyle = Value;
    InvalidateBox();
}

bool TcvInplaceCheckEdit::NotificationsSuppressed() {
    TCustomcvContainer* host = GetContainer();
    return LoadingValue() || (host && host->FillingEditor());
}

void TcvInplaceCheckEdit::SetState(TcvCheckBoxState Value) {
    if (FState == Value) return;
    FState = Value;
    InvalidateBox();
    if (ComponentState().Contains(csLoading) || NotificationsSuppressed()) return;
    Click();
    Changed();
}

void TcvInplaceCheckEdit::Toggle() {
    if (!CanModify()) return;
    switch (FState) {
    case cbsUnchecked:
        SetState(FAllowGrayed ? cbsGrayed : cbsChecked);
        break;
    case cbsChecked:
        SetState(cbsUnchecked);
        break;
    case cbsGrayed:
        SetState(cbsChecked);
        break;
    }
    SetModified(true);
}

void TcvInplaceCheckEdit::SetEditValue(const Variant& Value) {
    const bool modified = GetModified();
    const bool loading = LoadingValue();
    SetLoadingValue(true);
    TScopeGuard restore([&] { SetLoadingValue(loading); });
    SetState(TcvCheckEditClassOps::StateOfValue(Value));
    SetModified(modified);
}

void TcvInplaceCheckEdit::GetViewValue(Variant& Value, bool FromDefinition) {
    (void)FromDefinition;
    Value = static_cast<Integer>(FState);
}

Variant TcvInplaceCheckEdit::GetEditValue() {
    return static_cast<Integer>(FState);
}

std::unique_ptr<TcvEditViewData> TcvInplaceCheckEdit::CreateViewData(bool FromDefinition) {
    std::unique_ptr<TcvEditViewData> viewData = TcvInplaceEdit::CreateViewData(FromDefinition);
    auto& v = static_cast<TcvCheckEditViewData&>(*viewData);
    v.Caption = Caption();
    v.CaptionFocus = !FFullFocusRect;
    v.Glyph = FGlyph && !FGlyph->Empty() ? FGlyph.get() : nullptr;
    v.GlyphCount = FGlyphCount;
    v.NullStyle = FNullStyle;
    v.Pressed = FPressed;
    v.MultiLine = FMultiLine;
    return viewData;
}

void TcvInplaceCheckEdit::InvalidateBox() {
    if (!HandleAllocated()) return;
    std::unique_ptr<TcvEditViewData> viewData = CreateViewData(false);
    TRect box, caption;
    LayoutOf(static_cast<TcvCheckEditViewData&>(*viewData), ClientRect(), box, caption);
    InvalidateRect(FHandle, &box, false);
}

void TcvInplaceCheckEdit::SetPressed(bool Value) {
    if (FPressed == Value) return;
    FPressed = Value;
    InvalidateBox();
}

void TcvInplaceCheckEdit::EndTracking() {
    FTracking = false;
    SetPressed(false);
    if (HandleAllocated() && GetCapture() == FHandle) ReleaseCapture();
}

void TcvInplaceCheckEdit::KeyDown(Word& Key, TShiftState Shift) {
    switch (Key) {
    case VK_SPACE:
        if (!FPressed) SetPressed(true);
        break;
    case VK_LEFT:
        MoveContainerRow(true);
        break;
    case VK_RIGHT:
        MoveContainerRow(false);
        break;
    default:
        break;
    }
    TcvInplaceEdit::KeyDown(Key, Shift);
}

void TcvInplaceCheckEdit::KeyPress(char32_t& Key) {
    TcvInplaceEdit::KeyPress(Key);
    // The Space that opened a hosted editor arrives without its key down.
    if (IsInplace() && Key == U' ' && !FPressed && IsEditable()) Toggle();
}

void TcvInplaceCheckEdit::KeyUp(Word& Key, TShiftState Shift) {
    if (Key == VK_SPACE && FPressed) {
        SetPressed(false);
        if (IsEditable()) Toggle();
    }
    TcvInplaceEdit::KeyUp(Key, Shift);
}

void TcvInplaceCheckEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        SetCapture(Handle());
        FTracking = true;
        SetPressed(PtInRect(ClientRect(), Point(X, Y)));
    }
    TcvInplaceEdit::MouseDown(Button, Shift, X, Y);
}

void TcvInplaceCheckEdit::MouseMove(TShiftState Shift, int X, int Y) {
    if (FTracking) SetPressed(PtInRect(ClientRect(), Point(X, Y)));
    TcvInplaceEdit::MouseMove(Shift, X, Y);
}

void TcvInplaceCheckEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool wasPressed = FPressed;
    EndTracking();
    if (Button == mbLeft && wasPressed && IsEditable()) Toggle();
    TcvInplaceEdit::MouseUp(Button, Shift, X, Y);
}

void TcvInplaceCheckEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char32_t>(Message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            if (Focused()) Toggle();
            Message.Result = 1;
            return;
        }
        break;
    case WM_GETDLGCODE:
        TcvInplaceEdit::WndProc(Message);
        if (IsInplace())
            Message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
        else
            Message.Result &= ~static_cast<LRESULT>(DLGC_WANTCHARS);
        return;
    case WM_CANCELMODE:
        EndTracking();
        break;
    case CM_TEXTCHANGED:
        TcvInplaceEdit::WndProc(Message);
        PropertiesChanged();
        return;
    default:
        break;
    }
    TcvInplaceEdit::WndProc(Message);
}

// ---- TCustomcvCheckEdit, TcvCheckEdit ---------------------------------------

const TcvInplaceEditClass& TCustomcvCheckEdit::StaticClass() {
    return TcvEditorClass<TCustomcvCheckEdit, TcvStandaloneEditClass<TcvCheckEditClassOps>>::Instance();
}

const TcvInplaceEditClass& TcvCheckEdit::StaticClass() {
    return TcvEditorClass<TcvCheckEdit, TcvStandaloneEditClass<TcvCheckEditClassOps>>::Instance();
}
