// The buttons, check boxes, radio buttons and group boxes: self-painted
// controls that draw the classic look and decide their own clicks.
#include "platform/ui/StdCtrls.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Input.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/private/ButtonLook_p.h"
#include "platform/ui/private/Controls_p.h"

using namespace platform_ui;

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
    // Clicks are decided here (button up over the control, space, accelerator).
    FControlStyle -= csClickEvents;
    FControlStyle -= csDoubleClicks;
    FColor = clBtnFace;
    SetTabStop(true);
}

void TButtonControl::TextChanged() {
    Invalidate();
}

void TButtonControl::DrawCaption(TRect R, UINT Flags) {
    HDC dc = Canvas()->Handle();
    Canvas()->Refresh();
    SetBkMode(dc, TRANSPARENT);
    if (Enabled()) {
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        DrawText(dc, Caption(), &R, Flags);
    } else {
        TRect shifted = R;
        OffsetRect(shifted, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawText(dc, Caption(), &shifted, Flags);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawText(dc, Caption(), &R, Flags);
    }
}

void TButtonControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CM_ENTER:
    case CM_EXIT:
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TCustomControl::WndProc(m);
}

// ---- TButton ----------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    Invalidate();
}

bool TButton::IsActiveDefault() const {
    if (Focused()) return true;
    if (!FDefault) return false;
    // Another button with the focus takes Enter itself.
    return !dynamic_cast<TButton*>(FindControl(GetFocus()));
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm(this); form && FModalResult != mrNone) form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::PaintButton(const std::function<void(const TRect& Face)>& Content) {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    HDC dc = canvas->Handle();
    const TRect face = platform_ui::DrawPushButtonFrame(dc, r, IsActiveDefault() && Enabled(), FPressed);
    Content(face);
    if (Focused()) platform_ui::DrawPushButtonFocus(dc, face);
}

void TButton::Paint() {
    PaintButton([this](const TRect& face) {
        TRect text = face;
        if (FPressed) OffsetRect(text, 1, 1);
        DrawCaption(text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    });
}

void TButton::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_BUTTON | (IsActiveDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        return;
    case CM_DIALOGKEY:
        if (((m.WParam == VK_RETURN && IsActiveDefault()) || (m.WParam == VK_ESCAPE && FCancel)) &&
            KeyDataToShiftState(m.LParam).Empty() && CanFocus()) {
            Click();
            m.Result = 1;
        }
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char32_t>(m.WParam), Caption()) && CanFocus()) {
            Click();
            m.Result = 1;
        }
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        FPressed = true;
        Invalidate();
        break;
    case WM_LBUTTONUP: {
        const bool wasPressed = FPressed;
        FPressed = false;
        Invalidate();
        TButtonControl::WndProc(m);
        TPoint p = PointFromLParam(m.LParam);
        if (wasPressed && PtInRect(ClientRect(), p)) Click();
        return;
    }
    case WM_KEYDOWN:
        if (m.WParam == VK_SPACE) {
            FPressed = true;
            Invalidate();
        }
        break;
    case WM_KEYUP:
        if (m.WParam == VK_SPACE && FPressed) {
            FPressed = false;
            Invalidate();
            Click();
        }
        break;
    case CM_EXIT:
        FPressed = false;
        break;
    default:
        break;
    }
    TButtonControl::WndProc(m);
}

// ---- TCustomCheckBox --------------------------------------------------------

namespace {
constexpr int CheckSize = 13; // the classic check box and radio circle
}

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 97, 17);
    FParentColor = true;
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value) return;
    FState = Value;
    Invalidate();
    Click();
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TCustomCheckBox::Toggle() {
    switch (FState) {
    case cbUnchecked:
        SetState(FAllowGrayed ? cbGrayed : cbChecked);
        break;
    case cbChecked:
        SetState(cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbChecked);
        break;
    }
}

void TButtonControl::PaintMarkAndCaption(TAlignment Alignment, UINT MarkState) {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    HDC dc = canvas->Handle();
    const int top = (r.Height() - CheckSize) / 2;
    const bool left = Alignment == taRightJustify;
    TRect box = left ? Bounds(0, top, CheckSize, CheckSize) : Bounds(r.Right - CheckSize, top, CheckSize, CheckSize);
    DrawFrameControl(dc, &box, DFC_BUTTON, MarkState);
    TRect text = left ? Rect(CheckSize + 4, 0, r.Right, r.Bottom) : Rect(0, 0, r.Right - CheckSize - 4, r.Bottom);
    DrawCaption(text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (Focused()) {
        TRect measure = text;
        DrawText(dc, Caption(), &measure, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
        TRect focus = Rect(text.Left - 1, (r.Height() - measure.Height()) / 2 - 1, text.Left + measure.Width() + 1,
                           (r.Height() + measure.Height()) / 2 + 1);
        DrawFocusRect(dc, &focus);
    }
}

void TCustomCheckBox::Paint() {
    UINT state = DFCS_BUTTONCHECK;
    if (FState != cbUnchecked) state |= DFCS_CHECKED;
    if (FState == cbGrayed || !Enabled()) state |= DFCS_INACTIVE;
    PaintMarkAndCaption(FAlignment, state);
}

void TCustomCheckBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_BUTTON;
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char32_t>(m.WParam), Caption()) && CanFocus()) {
            SetFocus();
            if (Focused()) Toggle();
            m.Result = 1;
        }
        return;
    case WM_LBUTTONUP: {
        TButtonControl::WndProc(m);
        TPoint p = PointFromLParam(m.LParam);
        if (PtInRect(ClientRect(), p)) Toggle();
        return;
    }
    case WM_KEYUP:
        if (m.WParam == VK_SPACE) Toggle();
        break;
    default:
        break;
    }
    TButtonControl::WndProc(m);
}

// ---- TRadioButton -----------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 113, 17);
    FParentColor = true;
}

void TRadioButton::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    SetTabStop(Value);
    Invalidate();
    if (!Value) return;
    if (Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* sibling = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); sibling && sibling != this)
                sibling->SetChecked(false);
    Click();
}

void TRadioButton::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TRadioButton::Paint() {
    UINT state = DFCS_BUTTONRADIO;
    if (FChecked) state |= DFCS_CHECKED;
    if (!Enabled()) state |= DFCS_INACTIVE;
    PaintMarkAndCaption(FAlignment, state);
}

void TRadioButton::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_BUTTON | DLGC_RADIOBUTTON;
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char32_t>(m.WParam), Caption()) && CanFocus()) {
            SetFocus();
            if (Focused()) SetChecked(true);
            m.Result = 1;
        }
        return;
    case WM_LBUTTONUP: {
        TButtonControl::WndProc(m);
        TPoint p = PointFromLParam(m.LParam);
        if (PtInRect(ClientRect(), p)) SetChecked(true);
        return;
    }
    case WM_KEYUP:
        if (m.WParam == VK_SPACE) SetChecked(true);
        break;
    case CM_ENTER:
        // Arrow keys that bring the focus here choose this button, as a dialog does.
        if (GetKeyState(VK_UP) < 0 || GetKeyState(VK_DOWN) < 0 || GetKeyState(VK_LEFT) < 0 || GetKeyState(VK_RIGHT) < 0)
            SetChecked(true);
        break;
    default:
        break;
    }
    TButtonControl::WndProc(m);
}

// ---- TCustomGroupBox --------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle += csAcceptsControls;
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
    Rect.Top += FontHeight(Font());
    InflateRect(Rect, -2, -2);
}

void TCustomGroupBox::TextChanged() {
    Invalidate();
}

void TCustomGroupBox::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    HDC dc = canvas->Handle();
    const int h = FontHeight(Font());
    TRect frame = Rect(0, h / 2, r.Right, r.Bottom);
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (Caption().empty()) return;
    canvas->Refresh();
    TRect text = Rect(0, 0, 0, 0);
    DrawText(dc, Caption(), &text, DT_SINGLELINE | DT_CALCRECT);
    OffsetRect(text, 8, 0);
    text.Right += 2;
    TRect back = text;
    back.Left -= 1;
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
    FillRect(dc, &back, brush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    DrawText(dc, Caption(), &text, DT_SINGLELINE | DT_LEFT);
}

void TCustomGroupBox::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR) {
        // An accelerator in the caption moves into the group.
        if (IsAccel(static_cast<char32_t>(m.WParam), Caption()) && CanFocus()) {
            SelectNext(nullptr, true, true);
            m.Result = 1;
            return;
        }
    }
    TCustomControl::WndProc(m);
}
