// The drop-down editor base: buttons laid out and painted from view data (so
// cells get them without a window), the non-client hit test and pressing, the
// posted open request, key and wheel routing to an open popup, and placing
// the popup inside the work area.
#include "editors/DropDownEdit.h"

#include "editors/ExEdtr.h"
#include "editors/PopupControl.h"
#include "editors/cvUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"

namespace {

// Alt+Up, Alt+Down and F4 open (and, with keys to the popup, close).
bool IsDropDownKey(Word Key, TShiftState Shift) {
    const bool alt = Shift.Contains(ssAlt);
    return ((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt);
}

bool IsFlatLike(TcvEditButtonViewStyle Style) {
    return Style == btsFlat || Style == btsSimple;
}

void FillColumn(HDC DC, TRect& R, HBRUSH Brush) {
    const TRect column{R.Left, R.Top, R.Left + 1, R.Bottom};
    FillRect(DC, &column, Brush);
    ++R.Left;
}

// The down arrow: a filled triangle about half the button wide, odd, centred.
void DrawDownArrow(HDC DC, const TRect& R, int ButtonWidth, HBRUSH Brush) {
    int width = ButtonWidth / 2;
    if (width % 2 == 0) --width;
    if (width < 1) width = 1;
    const int height = (width + 1) / 2;
    const int x = R.Left + (R.Width() - width) / 2;
    const int y = R.Top + (R.Height() - height) / 2;
    for (int row = 0; row < height; ++row) {
        const TRect line{x + row, y + row, x + width - row, y + row + 1};
        FillRect(DC, &line, Brush);
    }
}

// Three square dots, the middle one centred, the others two sides away.
void DrawEllipsis(HDC DC, const TRect& R, int Side, HBRUSH Brush) {
    const int x = R.Left + (R.Width() - Side) / 2;
    const int y = R.Top + (R.Height() - Side) / 2;
    for (int dot = -1; dot <= 1; ++dot) {
        const TRect square{x + dot * 2 * Side, y, x + dot * 2 * Side + Side, y + Side};
        FillRect(DC, &square, Brush);
    }
}

void DrawButton(HDC DC, TRect R, const TcvDropDownEditViewData& ViewData, const TcvEditButtonViewInfo& Button,
                bool Hot, bool Pressed) {
    const TcvEditButtonViewStyle style =
        ViewData.ButtonStyle == btsSimple && (Hot || Pressed) ? btsFlat : ViewData.ButtonStyle;
    const bool transparent = ViewData.ButtonsTransparent;
    const bool glyph = Button.Kind == bkGlyph;
    HBRUSH face = transparent ? ViewData.Brush : GetSysColorBrush(COLOR_BTNFACE);
    if (transparent && !glyph) FillRect(DC, &R, ViewData.Brush);
    const UINT middle = transparent || glyph ? 0 : BF_MIDDLE;
    int symbolColor = COLOR_BTNTEXT;
    switch (style) {
    case bts3D:
        if (Pressed) {
            DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST | middle);
            DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST | middle);
        } else {
            DrawEdge(DC, &R, EDGE_RAISED, BF_RECT | BF_ADJUST | middle);
        }
        break;
    case btsFlat:
        if (!transparent) FillColumn(DC, R, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(DC, &R, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST | middle);
        break;
    case btsSimple:
        if (!transparent) {
            FrameRect(DC, &R, ViewData.Brush);
            InflateRect(R, -1, -1);
            FillColumn(DC, R, ViewData.Brush);
            if (!glyph) FillRect(DC, &R, face);
        } else {
            InflateRect(R, -1, -1);
        }
        break;
    case btsHotFlat: {
        FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(R, -1, -1);
        if (!transparent && !glyph) {
            const int faceColor = !ViewData.Enabled ? COLOR_BTNFACE
                                  : Pressed         ? COLOR_BTNTEXT
                                  : Hot             ? COLOR_BTNSHADOW
                                                    : COLOR_BTNFACE;
            FillRect(DC, &R, GetSysColorBrush(faceColor));
        }
        if (Hot || Pressed) {
            if (!transparent)
                symbolColor = COLOR_WINDOW;
            else if (!Pressed)
                symbolColor = COLOR_BTNSHADOW;
        }
        break;
    }
    case btsDefault:
        break;
    }

    int shift = Pressed ? 1 : 0;
    if (Pressed && glyph && style == bts3D) shift = 2;
    if (style == btsHotFlat) shift = 0;
    if (glyph) {
        TBitmap* bitmap = Button.Glyph;
        const int x = R.Left + (R.Width() - bitmap->Width()) / 2 + shift;
        const int y = R.Top + (R.Height() - bitmap->Height()) / 2 + shift;
        cvUtils::DrawBitmapInRect(DC, face, R, bitmap, Bounds(x, y, bitmap->Width(), bitmap->Height()));
        return;
    }
    const int side = Button.Width + (IsFlatLike(ViewData.ButtonStyle) ? 1 : 0) >= 16 ? 2 : 1;
    const auto drawSymbol = [&](int Offset, int Color) {
        TRect at = R;
        OffsetRect(at, Offset, Offset);
        if (Button.Kind == bkEllipsis)
            DrawEllipsis(DC, at, side, GetSysColorBrush(Color));
        else
            DrawDownArrow(DC, at, Button.Width, GetSysColorBrush(Color));
    };
    if (ViewData.Enabled) {
        drawSymbol(shift, symbolColor);
    } else {
        drawSymbol(shift + 1, COLOR_BTNHIGHLIGHT);
        drawSymbol(shift, COLOR_BTNSHADOW);
    }
}

} // namespace

// ---- TcvDropDownEditClassOps -----------------------------------------------

std::unique_ptr<TcvEditViewData> TcvDropDownEditClassOps::CreateViewData() const {
    return std::make_unique<TcvDropDownEditViewData>();
}

void TcvDropDownEditClassOps::CalcButtons(TcvDropDownEditViewData& ViewData) const {
    ViewData.Buttons.fill({});
    ViewData.ButtonCount = 0;
    if (ViewData.ButtonsHidden) return;
    ViewData.ButtonCount = 1;
    TcvEditButtonViewInfo& button = ViewData.Buttons[0];
    button.Glyph = ViewData.DropDownGlyph;
    button.Kind = button.Glyph ? bkGlyph : bkDown;
    button.Width = GetButtonWidth(ViewData, button);
}

int TcvDropDownEditClassOps::GetButtonWidth(const TcvDropDownEditViewData& ViewData,
                                            const TcvEditButtonViewInfo& Button) const {
    if (Button.Kind == bkGlyph && Button.Glyph && Button.Glyph->Width() > 0)
        return Button.Glyph->Width() + 2 + (IsFlatLike(ViewData.ButtonStyle) ? 1 : 0) +
               (ViewData.ButtonStyle == bts3D ? 2 : 0);
    return GetSystemMetrics(SM_CXVSCROLL) - (IsFlatLike(ViewData.ButtonStyle) ? 1 : 0);
}

void TcvDropDownEditClassOps::CalcViewInfo(TcvEditViewData& ViewData, bool CalcSize, TcvEditViewInfo& ViewInfo) const {
    TcvTextEditClassOps::CalcViewInfo(ViewData, CalcSize, ViewInfo);
    auto* dropDownData = dynamic_cast<TcvDropDownEditViewData*>(&ViewData);
    if (!dropDownData) return;
    CalcButtons(*dropDownData);
    for (int i = 0; i < dropDownData->ButtonCount; ++i) {
        const TcvEditButtonViewInfo& button = dropDownData->Buttons[static_cast<size_t>(i)];
        if (button.LeftAlignment)
            ViewInfo.Content.Left += button.Width;
        else
            ViewInfo.Content.Right -= button.Width;
    }
}

void TcvDropDownEditClassOps::ForEachButtonRect(const TcvEditViewInfo& ViewInfo, const TcvEditViewData& ViewData,
                                                const std::function<bool(int Index, const TRect& R)>& Visit) {
    const auto* v = dynamic_cast<const TcvDropDownEditViewData*>(&ViewData);
    if (!v) return;
    TRect area = ViewInfo.Content;
    for (int i = 0; i < v->ButtonCount; ++i) {
        const TcvEditButtonViewInfo& button = v->Buttons[static_cast<size_t>(i)];
        (button.LeftAlignment ? area.Left : area.Right) += button.LeftAlignment ? -button.Width : button.Width;
    }
    for (int i = v->ButtonCount - 1; i >= 0; --i) {
        const TcvEditButtonViewInfo& button = v->Buttons[static_cast<size_t>(i)];
        TRect r = area;
        if (button.LeftAlignment) {
            r.Right = r.Left + button.Width;
            area.Left = r.Right;
        } else {
            r.Left = r.Right - button.Width;
            area.Right = r.Left;
        }
        if (!Visit(i, r)) return;
    }
}

void TcvDropDownEditClassOps::DrawButtons(HDC DC, const TcvEditViewInfo& ViewInfo,
                                          const TcvEditViewData& ViewData) const {
    TcvTextEditClassOps::DrawButtons(DC, ViewInfo, ViewData);
    const auto* v = dynamic_cast<const TcvDropDownEditViewData*>(&ViewData);
    if (!v) return;
    ForEachButtonRect(ViewInfo, ViewData, [&](int Index, const TRect& R) {
        const bool hot = v->HotButton == Index;
        DrawButton(DC, R, *v, v->Buttons[static_cast<size_t>(Index)], hot, hot && v->PressedButton == Index);
        return true;
    });
}

// ---- TcvInplaceDropDownEdit ------------------------------------------------

const TcvInplaceEditClass& TcvInplaceDropDownEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDropDownEdit, TcvDropDownEditClassOps>::Instance();
}

TcvInplaceDropDownEdit::TcvInplaceDropDownEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceMaskEdit(AOwner, Class) {}

TcvInplaceDropDownEdit::~TcvInplaceDropDownEdit() = default;

const TcvDropDownEditClassOps* TcvInplaceDropDownEdit::ClassOps() const {
    return dynamic_cast<const TcvDropDownEditClassOps*>(&EditorClass());
}

TBitmap* TcvInplaceDropDownEdit::ButtonGlyph() {
    if (!FButtonGlyph) FButtonGlyph = std::make_unique<TBitmap>();
    return FButtonGlyph.get();
}

void TcvInplaceDropDownEdit::SetButtonGlyph(TBitmap* Value) {
    if (Value)
        ButtonGlyph()->Assign(Value);
    else
        FButtonGlyph.reset();
    PropertiesChanged();
}

bool TcvInplaceDropDownEdit::PopupHasFocus() const {
    return FPopup && FPopup->HandleAllocated() && GetFocus() == FPopup->Handle();
}

bool TcvInplaceDropDownEdit::IsPopupVisible() {
    return FPopup && FPopup->HandleAllocated() && IsWindowVisible(FPopup->Handle()) &&
           (PopupHasFocus() || FKeysToPopup);
}

void TcvInplaceDropDownEdit::SetDroppedDown(bool Value) {
    if (Value == IsPopupVisible()) return;
    if (Value)
        PostMessage(Handle(), CM_DROPDOWNPOPUP, 0, 0);
    else
        CloseUp(false);
}

void TcvInplaceDropDownEdit::RepaintFrame() {
    if (HandleAllocated()) SendMessage(FHandle, WM_NCPAINT, 1, 0);
}

void TcvInplaceDropDownEdit::ReleaseButton() {
    if (FPressedButton == -1) return;
    FPressedButton = -1;
    if (HandleAllocated() && GetCapture() == FHandle) ReleaseCapture();
    RepaintFrame();
}

void TcvInplaceDropDownEdit::SetHotButton(int Index) {
    if (FHotButton == Index) return;
    FHotButton = Index;
    RepaintFrame();
}

TcvPopupBorder TcvInplaceDropDownEdit::GetPopupBorder() {
    if (FPopupBorder != pbDefault) return FPopupBorder;
    if (TCustomcvContainer* host = GetContainer()) return host->GetEditorPopupBorder();
    switch (Style()->BorderStyle()) {
    case xbsSingle:
    case xbs3D:
        return pbSingle;
    case xbsFlat:
        return pbFlat;
    default:
        return pbFrame3D;
    }
}

void TcvInplaceDropDownEdit::PopupMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    (void)Sender, (void)Shift;
    if (Button != mbLeft || !FPopup) return;
    CloseUp(PtInRect(FPopup->ClientRect(), {X, Y}));
}

void TcvInplaceDropDownEdit::FocusAfterCloseUp() {
    if (FLosingFocus || Focused() || !CanFocus() || !HandleAllocated() || !IsWindowVisible(FHandle) || !Application->Active()) return;
    if (GetContainer())
        ::SetFocus(FHandle);
    else
        SetFocus();
}

bool TcvInplaceDropDownEdit::TakeFocus() {
    if (!Focused()) {
        if (GetContainer())
            ::SetFocus(Handle());
        else
            SetFocus();
    }
    return Focused();
}

void TcvInplaceDropDownEdit::ShowDroppedPopup() {
    SetWindowPos(FPopup->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    FDroppedDown = true;
    RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TcvInplaceDropDownEdit::HideDroppedPopup() {
    if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
    FocusAfterCloseUp();
    if (FPopup && FPopup->HandleAllocated())
        SetWindowPos(FPopup->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FDroppedDown = false;
    if (HandleAllocated()) RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TcvInplaceDropDownEdit::PositionPopup(TWinControl* Popup, bool AdjustWidth) {
    TRect r;
    GetWindowRect(Handle(), r);
    std::unique_ptr<TcvEditViewData> viewData = CreateViewData(false);
    TcvEditViewInfo viewInfo;
    EditorClass().CalcViewInfo(*viewData, false, viewInfo);
    const int width = viewInfo.Content.Width() + (viewData->Shadow ? 2 : 0);
    if (AdjustWidth && width > Popup->Width()) Popup->SetWidth(width);

    r.Left += viewInfo.Content.Left - viewInfo.Bounds.Left;
    r.Right = r.Left + width;
    const TcvEditBorderStyle border = Style()->BorderStyle();
    if (border == xbsNone || border == xbsSingle) InflateRect(r, 0, -1);
    if (border == xbsNone && !IsInplace()) InflateRect(r, 0, -1);

    TPoint at{r.Left, r.Bottom};
    if (FPopupAlignment == taRightJustify)
        at.X = r.Right - Popup->Width();
    else if (FPopupAlignment == taCenter)
        at.X = (r.Left + r.Right) / 2 - Popup->Width() / 2;
    cvUtils::FitPopupToScreen(at, Popup->Width(), Popup->Height(), r.Height());
    Popup->SetBounds(at.X, at.Y, Popup->Width(), Popup->Height());
}

void TcvInplaceDropDownEdit::ButtonDown(bool FromClientArea, int Index) {
    if (FPopup && FDroppedDown && FKeysToPopup) {
        // A second click on the button closes.
        CloseUp(false);
        return;
    }
    if (FDroppedDown) return;
    FPressedButton = FHotButton;
    if (!FromClientArea) SetCapture(Handle());
    RepaintFrame();
    if (Index != -1) SetDroppedDown(true);
}

void TcvInplaceDropDownEdit::ButtonClick(int Index) {
    if (OnButtonClick) OnButtonClick(this, Index);
}

void TcvInplaceDropDownEdit::DoCloseUp(Variant& Value, bool& Accept) {
    if (OnCloseUp) OnCloseUp(this, Value, Accept);
}

void TcvInplaceDropDownEdit::DropDownKeyDown(Word& Key, TShiftState Shift) {
    if (IsDropDownKey(Key, Shift)) {
        if (FDroppedDown)
            CloseUp(true);
        else
            DropDown();
        Key = 0;
    } else if ((Key == VK_RETURN || Key == VK_ESCAPE) && FDroppedDown && !Shift.Contains(ssAlt)) {
        CloseUp(Key == VK_RETURN);
        // Enter's character must not type into the editor after the choice.
        if (Key == VK_RETURN) cvCntner::DiscardMessage(FHandle, WM_CHAR);
        Key = 0;
    }
}

void TcvInplaceDropDownEdit::DoDropDown() {
    Fire(DropDownHook, this);
    Fire(OnDropDown, this);
}

std::unique_ptr<TcvEditViewData> TcvInplaceDropDownEdit::CreateViewData(bool FromDefinition) {
    std::unique_ptr<TcvEditViewData> viewData = TcvInplaceMaskEdit::CreateViewData(FromDefinition);
    if (auto* v = dynamic_cast<TcvDropDownEditViewData*>(viewData.get())) {
        v->DropDownGlyph = FButtonGlyph && !FButtonGlyph->Empty() ? FButtonGlyph.get() : nullptr;
        const bool shown = IsActive() || Style()->ButtonTransparence() != ebtHideInactive;
        v->ButtonsHidden = !(ShowsButtonsHook ? ShowsButtonsHook(shown) : shown);
        v->HotButton = FHotButton;
        v->PressedButton = FPressedButton;
    }
    return viewData;
}

void TcvInplaceDropDownEdit::SetMouseInside(bool Value) {
    if (!Value) SetHotButton(-1);
    TcvInplaceMaskEdit::SetMouseInside(Value);
}

void TcvInplaceDropDownEdit::AfterShowEditor() {
    TcvInplaceMaskEdit::AfterShowEditor();
    if (FImmediatePopup) SetDroppedDown(true);
}

void TcvInplaceDropDownEdit::HideEditorWindow() {
    if (FDroppedDown && FPopup && FPopup->HandleAllocated()) PostMessage(FPopup->Handle(), WM_CLOSE, 0, 0);
    FDroppedDown = false;
    TcvInplaceMaskEdit::HideEditorWindow();
}

void TcvInplaceDropDownEdit::ShowEditorWindow() {
    FDroppedDown = false;
    TcvInplaceMaskEdit::ShowEditorWindow();
}

bool TcvInplaceDropDownEdit::IsFocused() {
    return TcvInplaceMaskEdit::IsFocused() || PopupHasFocus();
}

void TcvInplaceDropDownEdit::ForwardMouseDown(int X, int Y) {
    TcvInplaceMaskEdit::ForwardMouseDown(X, Y);
    PressAtHostPoint(X, Y);
}

void TcvInplaceDropDownEdit::ActivateByClick() {
    if (FTextAreaOpens && !(FPopup && FDroppedDown)) DropDown();
    TcvInplaceMaskEdit::ActivateByClick();
}

void TcvInplaceDropDownEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!FKeysToPopup && IsDropDownKey(Key, Shift)) {
        DropDown();
        Key = 0;
    }
    TcvInplaceMaskEdit::KeyDown(Key, Shift);
}

void TcvInplaceDropDownEdit::HitTest(TMessage& Message) {
    if (ComponentState().Contains(csDesigning)) return;
    std::unique_ptr<TcvEditViewData> viewData = CreateViewData(false);
    TcvEditViewInfo viewInfo;
    EditorClass().CalcViewInfo(*viewData, false, viewInfo);
    TPoint p = PointFromLParam(Message.LParam);
    cvExEdtr::ScreenToWindow(FHandle, p);
    bool inButton = false;
    TcvDropDownEditClassOps::ForEachButtonRect(viewInfo, *viewData, [&](int Index, const TRect& R) {
        if (!PtInRect(R, p)) return true;
        inButton = true;
        if (GetCapture() == nullptr || FPressedButton != -1) {
            if (FPressedButton != -1 && FPressedButton != Index) Index = -1;
            SetHotButton(Index);
            Message.Result = HTBORDER;
        }
        return false;
    });
    if (!inButton) SetHotButton(-1);
}

bool TcvInplaceDropDownEdit::RouteKeyToPopup(TMessage& Message) {
    if (Message.Msg != WM_CHAR) {
        Word key = static_cast<Word>(Message.WParam);
        DropDownKeyDown(key, KeyDataToShiftState(Message.LParam));
        if (key == 0) return true;
        Message.WParam = key;
    }
    if (!FDroppedDown || !FPopup || !FPopup->HandleAllocated()) return false;
    const WPARAM key = Message.WParam;
    if (!FEditWhileDropped) {
        Message.Result = SendMessage(FPopup->Handle(), Message.Msg, Message.WParam, Message.LParam);
        return true;
    }
    const bool edits = Message.Msg == WM_CHAR || (Message.Msg == WM_KEYDOWN && (key == VK_BACK || key == VK_DELETE));
    if (edits) {
        TcvInplaceMaskEdit::WndProc(Message);
        PopupTextChanged(Text());
        return true;
    }
    if (Message.Msg == WM_KEYDOWN) {
        if (key == VK_END || key == VK_HOME || key == VK_LEFT || key == VK_RIGHT) {
            // The caret moves in the text.
            if (HasEditControl()) TcvInplaceMaskEdit::WndProc(Message);
        } else if (key >= VK_PRIOR && key <= VK_DOWN) {
            SendMessage(FPopup->Handle(), Message.Msg, Message.WParam, Message.LParam);
        }
        return true;
    }
    // Alt+F4 still reaches the window.
    return !(Message.Msg == WM_SYSKEYDOWN && key == VK_F4);
}

bool TcvInplaceDropDownEdit::DragIntoPopup(TPoint ClientPoint, WPARAM Keys) {
    if (!FDroppedDown || !FPopup || !FPopup->HandleAllocated()) return false;
    if (FPressedButton == -1 && !(FTextAreaOpens && (Keys & MK_LBUTTON))) return false;
    const TPoint p = FPopup->ScreenToClient(ClientToScreen(ClientPoint));
    if (!PtInRect(FPopup->ClientRect(), p)) return false;
    // The press goes on inside the popup.
    ReleaseButton();
    SendMessage(FPopup->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(p));
    return true;
}

void TcvInplaceDropDownEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DROPDOWNPOPUP:
        DropDown();
        return;
    case CM_POPUPCLOSED:
        FDroppedDown = false;
        return;
    case WM_NCHITTEST:
        TcvInplaceMaskEdit::WndProc(Message);
        HitTest(Message);
        return;
    case WM_NCLBUTTONDOWN:
        TcvInplaceMaskEdit::WndProc(Message);
        if (FHotButton != -1) {
            ButtonDown(false, FHotButton);
            TakeFocus();
        }
        return;
    case WM_NCLBUTTONDBLCLK:
        DefaultHandler(Message);
        SendMessage(Handle(), WM_NCLBUTTONDOWN, Message.WParam, Message.LParam);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (FTextAreaOpens) ButtonDown(true, 0);
        break;
    case WM_LBUTTONUP:
        if (FPressedButton != -1) {
            const int index = FHotButton != -1 ? FPressedButton : -1;
            ReleaseButton();
            if (index != -1) ButtonClick(index);
        }
        break;
    case WM_MOUSEMOVE:
        if (DragIntoPopup(PointFromLParam(Message.LParam), Message.WParam)) return;
        break;
    case WM_MOUSEWHEEL: {
        const int delta = static_cast<int16_t>(HiWord(Message.WParam));
        const bool open = IsPopupVisible();
        if (open)
            SendMessage(FPopup->Handle(), WM_VSCROLL, delta < 1 ? SB_LINEDOWN : SB_LINEUP, 0);
        else
            StepValue(delta < 1 ? 1 : -1, 0);
        return;
    }
    case WM_GETDLGCODE:
        TcvInplaceMaskEdit::WndProc(Message);
        if (IsInplace() || IsPopupVisible()) Message.Result |= DLGC_WANTALLKEYS;
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
        if (FKeysToPopup && RouteKeyToPopup(Message)) return;
        break;
    case WM_KILLFOCUS: {
        TcvInplaceMaskEdit::WndProc(Message);
        FLosingFocus = true;
        TScopeGuard left([this] { FLosingFocus = false; });
        CloseUp(false);
        return;
    }
    case WM_CANCELMODE:
        ReleaseButton();
        break;
    case WM_CAPTURECHANGED:
        DefaultHandler(Message);
        ReleaseButton();
        return;
    case CM_CANCELMODE: {
        const auto* sender = reinterpret_cast<const TControl*>(Message.LParam);
        if (sender != this && (!FPopup || sender != FPopup)) CloseUp(false);
        return;
    }
    case CM_HINTSHOW:
        Message.Result = IsPopupVisible();
        return;
    default:
        break;
    }
    TcvInplaceMaskEdit::WndProc(Message);
}
