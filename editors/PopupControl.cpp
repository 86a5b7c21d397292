// Popups of the drop-down editors and the cell hint window. A popup is a
// WS_POPUP window, which the platform never activates; the messages below keep
// its owner form looking active and tell the editor when the popup goes.
#include "editors/PopupControl.h"

#include "editors/EditStyle.h"
#include "editors/InplaceEdit.h"
#include "editors/cvUtils.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/NonClient.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace {

TRect SizeGripCorner(const TRect& R) {
    return {R.Right - GetSystemMetrics(SM_CXVSCROLL), R.Bottom - GetSystemMetrics(SM_CYHSCROLL), R.Right, R.Bottom};
}

} // namespace

namespace cvCntner {

int PopupBorderWidth(TcvPopupBorder Border) {
    switch (Border) {
    case pbSingle:
        return 1;
    case pbFrame3D:
        return 4;
    case pbFlat:
        return 2;
    default:
        return 0;
    }
}

void DeflatePopupClient(TMessage& NcCalcSize, TcvPopupBorder BorderStyle, bool Shadow, int ShadowSize) {
    TRect& r = NcCalcSize.WParam ? reinterpret_cast<TNCCalcSizeParams*>(NcCalcSize.LParam)->rgrc[0]
                                 : *reinterpret_cast<TRect*>(NcCalcSize.LParam);
    const int border = PopupBorderWidth(BorderStyle);
    InflateRect(r, -border, -border);
    if (Shadow) {
        r.Right -= ShadowSize;
        r.Bottom -= ShadowSize;
    }
}

void PaintPopupFrame(HDC DC, TRect R, TcvPopupBorder BorderStyle, int ShadowSize, bool Shadow, bool SizeGrip) {
    TRect shadow{};
    if (Shadow) {
        R.Right -= ShadowSize;
        R.Bottom -= ShadowSize;
        shadow = R;
        OffsetRect(shadow, ShadowSize, ShadowSize);
    }
    switch (BorderStyle) {
    case pbSingle:
        DrawEdge(DC, &R, BDR_RAISEDOUTER, BF_RECT | BF_MONO | BF_ADJUST);
        break;
    case pbFrame3D:
        DrawEdge(DC, &R, EDGE_RAISED, BF_RECT | BF_ADJUST);
        DrawEdge(DC, &R, BDR_SUNKENINNER, BF_RECT | BF_FLAT | BF_ADJUST);
        DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        break;
    case pbFlat:
        DrawEdge(DC, &R, EDGE_RAISED, BF_RECT | BF_ADJUST);
        break;
    case pbDefault:
        break;
    }
    if (Shadow) cvUtils::DrawShadow(DC, shadow, ShadowSize, cvEditShadowBrush());
    if (SizeGrip) {
        const TRect corner = SizeGripCorner(R);
        FillRect(DC, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void DrawPopupFrame(HWND Wnd, TcvPopupBorder BorderStyle, bool SizeGrip, int ShadowSize, bool Shadow) {
    TRect r;
    GetWindowRect(Wnd, r);
    OffsetRect(r, -r.Left, -r.Top);
    HDC dc = GetWindowDC(Wnd);
    PaintPopupFrame(dc, r, BorderStyle, ShadowSize, Shadow, SizeGrip);
    ReleaseDC(Wnd, dc);
}

void SetPopupShadowRegion(HWND Wnd, bool Shadow, int ShadowSize) {
    if (!Shadow) {
        SetWindowRgn(Wnd, nullptr, true);
        return;
    }
    TRect r;
    GetWindowRect(Wnd, r);
    OffsetRect(r, -r.Left, -r.Top);
    r.Right -= ShadowSize;
    r.Bottom -= ShadowSize;
    HRGN region = CreateRectRgnIndirect(r);
    HRGN moved = CreateRectRgn(r.Left + ShadowSize, r.Top + ShadowSize, r.Right + ShadowSize, r.Bottom + ShadowSize);
    CombineRgn(region, region, moved, RGN_OR);
    DeleteObject(moved);
    SetWindowRgn(Wnd, region, true);
}

} // namespace cvCntner

// ---- TcvInplacePopupControl -------------------------------------------------

TcvInplacePopupControl::TcvInplacePopupControl(TComponent* AOwner) : TCustomControl(AOwner) {}

void TcvInplacePopupControl::SetBorderStyle(TcvPopupBorder Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TcvInplacePopupControl::SetShadow(bool Value) {
    if (FShadow == Value) return;
    FShadow = Value;
    RecreateWnd();
}

HWND TcvInplacePopupControl::OwnerFormHandle() const {
    TCustomForm* form = FOwnerEditor ? GetParentForm(FOwnerEditor) : nullptr;
    return form && form->HandleAllocated() ? form->Handle() : nullptr;
}

void TcvInplacePopupControl::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (!FPopup) return;
    // Owned by the editor's form, so it stays above it.
    Params.Style = (Params.Style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
    Params.WndParent = OwnerFormHandle();
}

void TcvInplacePopupControl::ShowPopup() {
    ShowWindow(Handle(), SW_SHOW);
    if (HWND form = OwnerFormHandle()) SendMessage(form, WM_NCACTIVATE, 1, 0);
}

void TcvInplacePopupControl::HidePopup() {
    if (HandleAllocated() && IsWindowVisible(FHandle)) {
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        if (Application->Active() && FOwnerEditor && FOwnerEditor->HandleAllocated())
            ::SetFocus(FOwnerEditor->Handle());
    }
    if (FOwnerEditor && FOwnerEditor->HandleAllocated()) PostMessage(FOwnerEditor->Handle(), CM_POPUPCLOSED, 0, 0);
}

void TcvInplacePopupControl::WndProc(TMessage& Message) {
    if (!FPopup) {
        TCustomControl::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_ACTIVATE:
        TCustomControl::WndProc(Message);
        if (LoWord(Message.WParam) == WA_INACTIVE)
            if (HWND form = OwnerFormHandle(); form && reinterpret_cast<HWND>(Message.LParam) != form)
                SendMessage(form, WM_NCACTIVATE, 0, 0);
        return;
    case WM_KILLFOCUS:
        HidePopup();
        if (FOwnerEditor) FOwnerEditor->DoKillFocus(reinterpret_cast<HWND>(Message.WParam));
        TCustomControl::WndProc(Message);
        return;
    case WM_NCCALCSIZE:
        TCustomControl::WndProc(Message);
        cvCntner::DeflatePopupClient(Message, FBorderStyle, FShadow, FShadowSize);
        return;
    case WM_NCPAINT: {
        TCustomControl::WndProc(Message);
        if (!FFrame) return;
        const DWORD style = static_cast<DWORD>(GetWindowLong(FHandle, GWL_STYLE));
        cvCntner::DrawPopupFrame(FHandle, FBorderStyle, (style & WS_HSCROLL) && (style & WS_VSCROLL), FShadowSize,
                                 FShadow);
        return;
    }
    case WM_SIZE:
        TCustomControl::WndProc(Message);
        cvCntner::SetPopupShadowRegion(FHandle, FShadow, FShadowSize);
        return;
    default:
        TCustomControl::WndProc(Message);
        return;
    }
}

// ---- TcvContainerHintWindow -------------------------------------------------

TcvContainerHintWindow::TcvContainerHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clInfoBk);
    SetVisible(false);
}

void TcvContainerHintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP;
    Params.WindowClassStyle |= CS_SAVEBITS;
    Params.ExStyle |= WS_EX_TOOLWINDOW;
}

void TcvContainerHintWindow::WndProc(TMessage& Message) {
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    TCustomControl::WndProc(Message);
}

void TcvContainerHintWindow::ShowHintAt(TPoint Point, const std::string& Text, TFont* Font) {
    ShowHint(Point, 0, false, Font, Text);
}

void TcvContainerHintWindow::ShowHint(TPoint Point, int MaxWidth, bool UseFontSize, TFont* Font,
                                      const std::string& Text) {
    SetCaption(Text);
    // The canvas takes the control's font for each paint.
    TFont* hintFont = this->Font();
    NONCLIENTMETRICS metrics;
    if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        HFONT statusFont = CreateFontIndirect(metrics.lfStatusFont);
        hintFont->SetHandle(statusFont);
        DeleteObject(statusFont);
    } else {
        hintFont->SetSize(8);
    }
    hintFont->SetColor(clInfoText);
    hintFont->SetName(Font->Name());
    hintFont->SetCharset(Font->Charset());
    if (UseFontSize) hintFont->SetSize(Font->Size());
    if (MaxWidth < 1) MaxWidth = Screen->Width();
    TRect r{0, 0, MaxWidth, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, hintFont->Handle());
    DrawText(dc, Text, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    r = Bounds(Point.X, Point.Y, r.Width() + 6, r.Height() + 6);
    if (r.Bottom > Screen->Height()) OffsetRect(r, 0, Screen->Height() - r.Bottom);
    if (r.Right > Screen->Width()) OffsetRect(r, Screen->Width() - r.Right, 0);
    if (r.Left < 0) OffsetRect(r, -r.Left, 0);
    if (r.Top < 0) OffsetRect(r, 0, -r.Top);
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    SetWindowPos(Handle(), HWND_TOPMOST, r.Left, r.Top, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
}

void TcvContainerHintWindow::Paint() {
    TRect r = ClientRect();
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetStyle(bsClear);
    HDC dc = canvas->Handle();
    DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT);
    InflateRect(r, -1, -1);
    r.Left += 2;
    r.Top += 2;
    SelectObject(dc, canvas->Font()->Handle());
    SetTextColor(dc, ColorToRGB(canvas->Font()->Color()));
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, Caption(), &r, DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
}
