// Glyph buttons drawn with DrawFrameControl and DrawEdge; the glyph's
// bottom-left pixel is its transparent colour, as the framework draws them.
#include "platform/ui/Buttons.h"

#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Messages.h"
#include "platform/ui/private/ButtonLook_p.h"

namespace {

void DrawGlyphAndCaption(TCanvas* canvas, TBitmap* glyph, const std::string& caption, TRect r, TButtonLayout layout,
                         int spacing, bool enabled, TColor textColor) {
    HDC dc = canvas->Handle();
    const bool hasGlyph = glyph && !glyph->Empty();
    TRect text{};
    if (!caption.empty()) {
        canvas->Refresh();
        DrawText(dc, caption, &text, DT_SINGLELINE | DT_CALCRECT);
    }
    const int gw = hasGlyph ? glyph->Width() : 0, gh = hasGlyph ? glyph->Height() : 0;
    const int gap = hasGlyph && !caption.empty() ? spacing : 0;
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    const int totalW = horizontal ? gw + gap + text.Width() : std::max(gw, text.Width());
    const int totalH = horizontal ? std::max(gh, text.Height()) : gh + gap + text.Height();
    int x = r.Left + (r.Width() - totalW) / 2, y = r.Top + (r.Height() - totalH) / 2;
    TPoint glyphAt, textAt;
    switch (layout) {
    case blGlyphLeft:
        glyphAt = Point(x, r.Top + (r.Height() - gh) / 2);
        textAt = Point(x + gw + gap, r.Top + (r.Height() - text.Height()) / 2);
        break;
    case blGlyphRight:
        textAt = Point(x, r.Top + (r.Height() - text.Height()) / 2);
        glyphAt = Point(x + text.Width() + gap, r.Top + (r.Height() - gh) / 2);
        break;
    case blGlyphTop:
        glyphAt = Point(r.Left + (r.Width() - gw) / 2, y);
        textAt = Point(r.Left + (r.Width() - text.Width()) / 2, y + gh + gap);
        break;
    case blGlyphBottom:
        textAt = Point(r.Left + (r.Width() - text.Width()) / 2, y);
        glyphAt = Point(r.Left + (r.Width() - gw) / 2, y + text.Height() + gap);
        break;
    }
    if (hasGlyph) {
        glyph->SetTransparent(true);
        canvas->Draw(glyphAt.X, glyphAt.Y, glyph);
    }
    if (!caption.empty()) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(enabled ? textColor : clGrayText));
        TRect t = Bounds(textAt.X, textAt.Y, text.Width(), text.Height());
        DrawText(dc, caption, &t, DT_SINGLELINE);
    }
}

} // namespace

// ---- TBitBtn ----------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TBitBtn::~TBitBtn() {
    FGlyph->OnChange = nullptr;
}

void TBitBtn::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
}

void TBitBtn::SetKind(TBitBtnKind Value) {
    FKind = Value;
    struct KindInfo {
        const char* Caption;
        int Result;
    };
    static const KindInfo kinds[] = {{"", mrNone},           {"确定", mrOk},     {"取消", mrCancel},
                                     {"帮助(&H)", mrNone},   {"是(&Y)", mrYes},  {"否(&N)", mrNo},
                                     {"关闭(&C)", mrNone},   {"中止", mrAbort},  {"重试(&R)", mrRetry},
                                     {"忽略(&I)", mrIgnore}, {"全部(&A)", mrAll}};
    if (Value == bkCustom) return;
    SetCaption(kinds[Value].Caption);
    SetModalResult(kinds[Value].Result);
    if (Value == bkOK || Value == bkYes) SetDefault(true);
    if (Value == bkCancel || Value == bkNo) SetCancel(true);
}

void TBitBtn::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
    FSpacing = Value;
    Invalidate();
}

void TBitBtn::Click() {
    // A close button closes its form.
    if (FKind == bkClose)
        if (TCustomForm* form = GetParentForm(this)) {
            form->Close();
            TButtonControl::Click();
            return;
        }
    TButton::Click();
}

void TBitBtn::Paint() {
    PaintButton([this](const TRect& face) {
        DrawGlyphAndCaption(Canvas(), FGlyph.get(), Caption(), face, FLayout, FSpacing, Enabled(), Font()->Color());
    });
}

// ---- TSpeedButton -----------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    FControlStyle -= csDoubleClicks;
    SetBounds(0, 0, 23, 22);
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() {
    FGlyph->OnChange = nullptr;
}

void TSpeedButton::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
}

void TSpeedButton::SetFlat(bool Value) {
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (FDown == Value) return;
    if (!Value && !FAllowAllUp) return;
    FDown = Value;
    if (Value && Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
                other && other != this && other->FGroupIndex == FGroupIndex) {
                other->FDown = false;
                other->Invalidate();
            }
    Invalidate();
}

void TSpeedButton::Click() {
    if (FGroupIndex != 0) SetDown(!(FDown && FAllowAllUp));
    TGraphicControl::Click();
}

namespace platform_ui {

bool TrackButtonLook(const TMessage& Message, bool& Pressed, bool& Hot, bool CanPress) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
        if (!CanPress) return false;
        Pressed = true;
        return true;
    case WM_LBUTTONUP:
    case WM_CANCELMODE:
        Pressed = false;
        return true;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        Hot = Message.Msg == CM_MOUSEENTER;
        return true;
    default:
        return false;
    }
}

void DrawButtonFace(HDC DC, TRect Rect, bool Flat, bool Sunk, bool Hot, bool Enabled) {
    if (!Flat)
        DrawFrameControl(DC, &Rect, DFC_BUTTON, DFCS_BUTTONPUSH | (Sunk ? DFCS_PUSHED : 0));
    else if (Sunk)
        DrawEdge(DC, &Rect, BDR_SUNKENOUTER, BF_RECT);
    else if (Hot && Enabled)
        DrawEdge(DC, &Rect, BDR_RAISEDINNER, BF_RECT);
}

TRect DrawPushButtonFrame(HDC DC, TRect Rect, bool Default, bool Pressed) {
    if (Default) {
        HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_WINDOWFRAME));
        FrameRect(DC, &Rect, frame);
        DeleteObject(frame);
        InflateRect(Rect, -1, -1);
    }
    DrawFrameControl(DC, &Rect, DFC_BUTTON, DFCS_BUTTONPUSH | (Pressed ? DFCS_PUSHED : 0));
    return Rect;
}

void DrawPushButtonFocus(HDC DC, TRect Face) {
    InflateRect(Face, -3, -3);
    DrawFocusRect(DC, &Face);
}

} // namespace platform_ui

void TSpeedButton::WndProc(TMessage& m) {
    if (platform_ui::TrackButtonLook(m, FPressed, FHot)) Invalidate();
    TGraphicControl::WndProc(m);
}

void TSpeedButton::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    // A flat button is transparent: what lies behind it (a strip's picture) shows.
    if (!FFlat) {
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(r);
    }
    HDC dc = canvas->Handle();
    const bool sunk = FPressed || FDown;
    platform_ui::DrawButtonFace(dc, r, FFlat, sunk, FHot, Enabled());
    TRect content = r;
    if (sunk) OffsetRect(content, 1, 1);
    DrawGlyphAndCaption(canvas, FGlyph.get(), Caption(), content, blGlyphLeft, 4, Enabled(), Font()->Color());
}
