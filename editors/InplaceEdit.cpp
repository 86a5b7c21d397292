// The editor base: its class operations (layout and painting from view data,
// without a window), construction, key and mouse routing, validation, showing
// over a cell and the frame in the non-client area.
#include "editors/InplaceEdit.h"

#include "editors/Container.h"
#include "editors/EditorTexts.h"
#include "editors/cvUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/NonClient.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"

namespace {


constexpr LPARAM GCS_RESULTSTR = 0x0800;

int BorderWidthOf(TcvEditBorderStyle Style) {
    return Style == xbsNone ? 0 : Style == xbsSingle ? 1 : 2;
}

// Hot tracking lifts the border one step while the editor is active.
TcvEditBorderStyle HotBorderStyle(TcvEditBorderStyle Style) {
    switch (Style) {
    case xbsNone:
        return xbsFlat;
    case xbsSingle:
        return xbsThick;
    case xbsFlat:
        return xbs3D;
    default:
        return Style;
    }
}

TcvEditButtonViewStyle DefaultButtonStyleFor(TcvEditBorderStyle Style) {
    switch (Style) {
    case xbsNone:
        return btsSimple;
    case xbsSingle:
        return btsHotFlat;
    case xbsFlat:
        return btsFlat;
    default:
        return bts3D;
    }
}

bool IsPrintable(char32_t Key) {
    return Key >= 0x20 && Key != 0x7F;
}

} // namespace

// ---- TcvInplaceEditClass ----------------------------------------------------

std::unique_ptr<TcvEditViewData> TcvInplaceEditClass::CreateViewData() const {
    return std::make_unique<TcvEditViewData>();
}

std::unique_ptr<TcvEditStyle> TcvInplaceEditClass::CreateEditStyle(TcvInplaceEdit* Editor) const {
    return std::make_unique<TcvEditStyle>(Editor);
}

std::unique_ptr<TcvEditDataDefinition> TcvInplaceEditClass::CreateDataDefinition() const {
    return nullptr;
}

void TcvInplaceEditClass::CalcViewInfo(TcvEditViewData& ViewData, bool CalcSize, TcvEditViewInfo& ViewInfo) const {
    ViewInfo = {};
    const int shadow = ViewData.Shadow ? 2 : 0;
    ViewInfo.ShadowSize = shadow;
    ViewInfo.BorderWidth = BorderWidthOf(ViewData.BorderStyle);
    TRect& bounds = ViewInfo.Bounds;
    TRect& content = ViewInfo.Content;
    bounds = ViewData.Bounds;
    content = {bounds.Left + 2, bounds.Top + 2, bounds.Right - 2 - shadow, bounds.Bottom - 2 - shadow};
    if (CalcSize) {
        TRect size;
        GetContentSize(ViewData, size);
        int height;
        if (IsRectEmpty(size)) {
            height = CalcHeight(ViewData);
        } else {
            height = size.Height();
            bounds.Right = bounds.Left + size.Width() + 4 + shadow;
            content.Right = bounds.Left + 2 + size.Width();
        }
        bounds.Bottom = bounds.Top + height + 4 + shadow;
        content.Bottom = bounds.Top + 2 + height;
    }
    ViewInfo.LeftEdge = ViewData.Edges.Contains(edgLeft);
    ViewInfo.TopEdge = ViewData.Edges.Contains(edgTop);
    ViewInfo.RightEdge = ViewData.Edges.Contains(edgRight);
    ViewInfo.BottomEdge = ViewData.Edges.Contains(edgBottom);
    const int border = ViewInfo.BorderWidth;
    ViewInfo.FrameRect = {content.Left - (ViewInfo.LeftEdge ? border : 0), content.Top - (ViewInfo.TopEdge ? border : 0),
                          content.Right + (ViewInfo.RightEdge ? border : 0),
                          content.Bottom + (ViewInfo.BottomEdge ? border : 0)};
    if (shadow > 0) {
        ViewInfo.ShadowRect = ViewInfo.FrameRect;
        OffsetRect(ViewInfo.ShadowRect, shadow, shadow);
    }
}

int TcvInplaceEditClass::CalcHeight(const TcvEditViewData& ViewData) const {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ViewData.Font);
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return metrics.tmHeight + (IsInplace() ? 3 : 2 * (GetSystemMetrics(SM_CYBORDER) + 1));
}

HRGN TcvInplaceEditClass::CreateBorderRegion(const TcvEditViewInfo& ViewInfo) {
    const bool allEdges = ViewInfo.LeftEdge && ViewInfo.TopEdge && ViewInfo.RightEdge && ViewInfo.BottomEdge;
    if (ViewInfo.ShadowSize == 0 && ViewInfo.BorderWidth >= 2 && allEdges) return nullptr;
    HRGN region = CreateRectRgnIndirect(ViewInfo.FrameRect);
    if (ViewInfo.ShadowSize > 0) {
        HRGN shadow = CreateRectRgnIndirect(ViewInfo.ShadowRect);
        CombineRgn(region, region, shadow, RGN_OR);
        DeleteObject(shadow);
    }
    return region;
}

void TcvInplaceEditClass::DrawCell(HDC DC, TcvEditViewData& ViewData, HRGN Region) const {
    TcvEditViewInfo viewInfo;
    CalcViewInfo(ViewData, false, viewInfo);
    DrawButtons(DC, viewInfo, ViewData);
    DrawContent(DC, viewInfo.Content, ViewData);
    if (!Region) return;
    HRGN painted = CreateBorderRegion(viewInfo);
    if (!painted) painted = CreateRectRgnIndirect(viewInfo.Bounds);
    CombineRgn(Region, Region, painted, RGN_DIFF);
    DeleteObject(painted);
}

void TcvInplaceEditClass::DrawButtons(HDC DC, const TcvEditViewInfo& ViewInfo, const TcvEditViewData& ViewData) const {
    const UINT edges = (ViewInfo.LeftEdge ? BF_LEFT : 0) | (ViewInfo.TopEdge ? BF_TOP : 0) |
                       (ViewInfo.RightEdge ? BF_RIGHT : 0) | (ViewInfo.BottomEdge ? BF_BOTTOM : 0);
    TRect frame = ViewInfo.FrameRect;
    switch (ViewData.BorderStyle) {
    case xbsNone:
        break;
    case xbsSingle:
    case xbsThick: {
        HBRUSH brush = CreateSolidBrush(ColorToRGB(ViewData.BorderColor));
        const int width = ViewInfo.BorderWidth;
        if (edges == BF_RECT) {
            for (int i = 0; i < width; ++i) {
                FrameRect(DC, &frame, brush);
                InflateRect(frame, -1, -1);
            }
        } else {
            // Strips along the present edges; a side strip reaches a corner
            // only when the edge across it is absent.
            const int top = ViewInfo.TopEdge ? frame.Top + width : frame.Top;
            const int bottom = ViewInfo.BottomEdge ? frame.Bottom - width : frame.Bottom;
            const TRect strips[] = {{frame.Left, frame.Top, frame.Right, frame.Top + width},
                                    {frame.Left, frame.Bottom - width, frame.Right, frame.Bottom},
                                    {frame.Left, top, frame.Left + width, bottom},
                                    {frame.Right - width, top, frame.Right, bottom}};
            const bool present[] = {ViewInfo.TopEdge, ViewInfo.BottomEdge, ViewInfo.LeftEdge, ViewInfo.RightEdge};
            for (int i = 0; i < 4; ++i)
                if (present[i]) FillRect(DC, &strips[i], brush);
        }
        DeleteObject(brush);
        break;
    }
    case xbsFlat:
        DrawEdge(DC, &frame, BDR_SUNKENOUTER, edges | BF_ADJUST);
        DrawEdge(DC, &frame, BDR_SUNKENINNER, edges | BF_FLAT);
        break;
    case xbs3D:
        DrawEdge(DC, &frame, EDGE_SUNKEN, edges);
        break;
    }
    if (ViewData.Shadow)
        cvUtils::DrawShadow(DC, ViewInfo.ShadowRect, ViewInfo.ShadowSize, cvEditShadowBrush());
}

bool TcvInplaceEditClass::DrawContent(HDC DC, const TRect& Rect, TcvEditViewData& ViewData) const {
    if (!ViewData.MeasureRequest) FillRect(DC, &Rect, ViewData.Brush);
    return true;
}

TCursor TcvInplaceEditClass::GetCursor(int X, int Y, const TcvEditViewData& ViewData) const {
    (void)X, (void)Y;
    if (ViewData.Cursor != crDefault) return ViewData.Cursor;
    return ViewData.HasEditControl ? crDefault : crArrow;
}

void TcvInplaceEditClass::GetContentSize(const TcvEditViewData& ViewData, TRect& R) const {
    (void)ViewData;
    R = {};
}

// ---- TcvEditDataDefinition --------------------------------------------------

void TcvEditDataDefinition::DataChanged() {
    Fire(OnDataChange);
}

void TcvEditDataDefinition::UpdateData() {
    Fire(OnUpdateData);
}

// ---- TcvInplaceEdit ---------------------------------------------------------

const TcvInplaceEditClass& TcvInplaceEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceEdit, TcvInplaceEditClass>::Instance();
}

TcvInplaceEdit::TcvInplaceEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TWinControl(AOwner), FClass(&Class) {
    FDefinitionAlignment = Class.GetDefaultAlignment();
    FAlignment = FDefinitionAlignment;
    TCustomcvContainer* container = GetContainer();
    FStyle = container ? container->CreateEditStyle(this) : Class.CreateEditStyle(this);
    FDataDefinition = Class.CreateDataDefinition();
    if (FDataDefinition) {
        FDataDefinition->OnActiveChange = [this] { DefinitionActiveChanged(); };
        FDataDefinition->OnDataChange = [this] { DefinitionDataChanged(); };
        FDataDefinition->OnFocusControl = [this](bool& Handled) { DefinitionFocusControl(Handled); };
        FDataDefinition->OnLayoutChange = [this] { DefinitionActiveChanged(); };
        FDataDefinition->OnUpdateData = [this] { DefinitionUpdateData(); };
    }
    if (IsInplace()) {
        SetParentColor(false);
        SetTabStop(false);
    } else {
        SetBounds(Left(), Top(), 121, 24);
        SetTabStop(true);
    }
}

TcvInplaceEdit::~TcvInplaceEdit() {
    Destroying();
    if (FStyleController && !FStyleController->ComponentState().Contains(csDestroying))
        FStyleController->RemoveListener(this);
    FDataDefinition.reset();
    FStyle.reset();
}

TCustomcvContainer* TcvInplaceEdit::GetContainer() const {
    return IsInplace() ? dynamic_cast<TCustomcvContainer*>(Owner()) : nullptr;
}

void TcvInplaceEdit::SetAlignment(TAlignment Value) {
    FStoredValues |= cvsvAlignment;
    InternalSetAlignment(Value);
}

void TcvInplaceEdit::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    UpdateBounds();
}

bool TcvInplaceEdit::ReadOnly() const {
    return (FStoredValues & cvsvReadOnly) ? FReadOnly : const_cast<TcvInplaceEdit*>(this)->GetDefaultReadOnly();
}

void TcvInplaceEdit::SetReadOnly(bool Value) {
    FStoredValues |= cvsvReadOnly;
    InternalSetReadOnly(Value);
}

void TcvInplaceEdit::SetStyle(TcvEditStyle* Value) {
    FStyle->Assign(Value);
}

void TcvInplaceEdit::SetStyleController(TcvEditStyleController* Value) {
    if (FStyleController == Value) return;
    if (FStyleController && !FStyleController->ComponentState().Contains(csDestroying))
        FStyleController->RemoveListener(this);
    FStyleController = Value;
    if (Value) {
        Value->AddListener(this);
        Value->FreeNotification(this);
        Value->NotifyListener(this);
    } else {
        PropertiesChanged();
    }
}

void TcvInplaceEdit::SetEditMargins(const TRect& Value) {
    if (FEditMargins == Value) return;
    FEditMargins = Value;
    RecreateWnd();
}

void TcvInplaceEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FStyleController) {
        FStyleController = nullptr;
        PropertiesChanged();
    }
}

void TcvInplaceEdit::Loaded() {
    TWinControl::Loaded();
    if (FDataDefinition) DefinitionActiveChanged();
}

void TcvInplaceEdit::PlaceOverRect(const TRect& Rect) {
    TRect r = Rect;
    InflateRect(r, 2, 2);
    SetBoundsRect(r);
}

void TcvInplaceEdit::ShowEditor(const TRect& Rect) {
    if (!IsInplace() || IsRectEmpty(Rect)) return;
    PlaceOverRect(Rect);
    const bool wasShown = FShown;
    ShowEditorWindow();
    FActivationTime = GetMessageTime();
    if (GetFocus() != Handle()) ::SetFocus(Handle());
    SelectAllText();
    if (!wasShown && FShowLockCount == 0) AfterShowEditor();
}

void TcvInplaceEdit::ReplaceText(const std::string& Value) {
    if (CanModify()) SetText(Value);
    SetModified(true);
}

void TcvInplaceEdit::ValidateEdit() {
    if (!GetModified() || FKeyHandlingDepth > 0) return;
    bool accept = true;
    std::string errorText = SInvalidInputValue;
    Fire(OnValidate, this, errorText, accept);
    if (accept) return;
    MessageBeep(0);
    if (HandleAllocated() && IsWindowVisible(FHandle)) ::SetFocus(FHandle);
    throw EcvEditInvalidInput(errorText);
}

void TcvInplaceEdit::SetEditValue(const Variant& Value) {
    SetText(Value.IsNull() || Value.IsEmpty() ? std::string() : VarToStr(Value));
}

void TcvInplaceEdit::ApplyDefinitionProperties() {
    if (!(FStoredValues & cvsvAlignment) && FDataDefinition) {
        const TAlignment alignment = FDataDefinition->GetAlignment();
        if (alignment != FDefinitionAlignment) {
            FDefinitionAlignment = alignment;
            Invalidate();
        }
    }
    if (!(FStoredValues & cvsvReadOnly)) InternalSetReadOnly(IsDataReadOnly());
}

void TcvInplaceEdit::GetViewValue(Variant& Value, bool FromDefinition) {
    if (FDataDefinition && FromDefinition) {
        Value = FDataDefinition->GetDisplayValue();
        if (Value.IsNull()) Value = std::string();
    } else {
        Value = Text();
    }
}

Variant TcvInplaceEdit::GetEditValue() {
    return Text();
}

void TcvInplaceEdit::DefinitionDataChanged() {
    SetEditValue(FDataDefinition->GetValue());
    SetModified(false);
}

void TcvInplaceEdit::DefinitionFocusControl(bool& Handled) {
    SetFocus();
    Handled = true;
}

void TcvInplaceEdit::DefinitionActiveChanged() {
    ApplyDefinitionProperties();
    DefinitionDataChanged();
}

void TcvInplaceEdit::DefinitionUpdateData() {
    ValidateEdit();
    FDataDefinition->SetValue(GetEditValue());
}

bool TcvInplaceEdit::IsValidChar(char32_t Key) {
    if (TCustomcvContainer* host = GetContainer()) return host->IsValidEditChar(Key);
    if (FDataDefinition) return FDataDefinition->IsValidChar(Key);
    return true;
}

void TcvInplaceEdit::Changed() {
    Fire(OnChange, this);
}

std::unique_ptr<TcvEditViewData> TcvInplaceEdit::CreateViewData(bool FromDefinition) {
    std::unique_ptr<TcvEditViewData> viewData = FClass->CreateViewData();
    TcvEditViewData& v = *viewData;
    v.Enabled = Enabled();
    v.Focused = IsFocused();
    v.Active = IsActive();
    v.BorderColor = FStyle->BorderColor();
    v.BorderStyle = FStyle->BorderStyle();
    if (v.Active && FStyle->HotTrack()) v.BorderStyle = HotBorderStyle(v.BorderStyle);
    v.ButtonStyle = FStyle->ButtonStyle();
    if (v.ButtonStyle == btsDefault) v.ButtonStyle = DefaultButtonStyleFor(v.BorderStyle);
    const TcvEditButtonTransparence transparence = FStyle->ButtonTransparence();
    v.ButtonsTransparent = transparence == ebtAlways || (transparence == ebtInactive && !v.Active);
    v.Edges = FStyle->Edges();
    v.Shadow = FStyle->Shadow();
    v.UnfocusedHighlight = !v.Focused && FHighlight;
    v.Bounds = {0, 0, Width(), Height()};
    v.EditMargins = FEditMargins;
    v.Font = Font()->Handle();
    if (!v.Enabled) {
        v.Brush = GetSysColorBrush(COLOR_BTNFACE);
        v.BackgroundColor = GetSysColor(COLOR_BTNFACE);
        v.TextColor = GetSysColor(COLOR_GRAYTEXT);
    } else {
        v.Brush = Brush()->Handle();
        v.BackgroundColor = ColorToRGB(Color());
        v.TextColor = ColorToRGB(Font()->Color());
    }
    v.Alignment = (FStoredValues & cvsvAlignment) || !FDataDefinition ? FAlignment : FDataDefinition->GetAlignment();
    v.HasEditControl = HasEditControl();
    GetViewValue(v.Value, FromDefinition);
    v.Cursor = Cursor();
    return viewData;
}

void TcvInplaceEdit::RefreshActiveBorder() {
    if (!HandleAllocated()) return;
    if (FStyle->HotTrack() || FStyle->ButtonTransparence() != ebtNone)
        RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TcvInplaceEdit::UpdateActiveState() {
    RefreshActiveBorder();
    if (PaintsContent()) Invalidate();
}

bool TcvInplaceEdit::CanModify() {
    if (ReadOnly()) return false;
    if (TCustomcvContainer* host = GetContainer()) return host->CanEditModify();
    return FDataDefinition ? FDataDefinition->BeginEdit() : true;
}

bool TcvInplaceEdit::IsRowKey(Word Key) {
    switch (Key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_INSERT:
        return true;
    default:
        return false;
    }
}

bool TcvInplaceEdit::IsModifyingKey(Word Key, TShiftState Shift) {
    const bool ctrl = Shift.Contains(ssCtrl);
    return (ctrl && (Key == 'V' || Key == 'X')) || Key == VK_BACK || Key == VK_DELETE ||
           (Key == VK_INSERT && Shift == TShiftState{ssShift});
}

bool TcvInplaceEdit::IsCtrlWithoutAlt() {
    return GetAsyncKeyState(VK_CONTROL) < 0 && GetAsyncKeyState(VK_MENU) >= 0;
}

void TcvInplaceEdit::MoveContainerRow(bool Up) {
    if (TCustomcvContainer* host = GetContainer()) host->EditorMoveFocusedRow(Up);
}

void TcvInplaceEdit::PressAtHostPoint(int X, int Y) {
    TCustomcvContainer* host = GetContainer();
    if (!host) return;
    const LPARAM screen = PointToLParam(host->ClientToScreen({X, Y}));
    ReleaseCapture();
    const LRESULT hitTest = SendMessage(Handle(), WM_NCHITTEST, 0, screen);
    SendMessage(Handle(), WM_NCLBUTTONDOWN, static_cast<WPARAM>(hitTest), screen);
}

void TcvInplaceEdit::RestoreOriginalText() {
    if (!GetModified() || !CanRestoreText()) return;
    SetText(FSavedText);
    SetModified(FSavedModified);
}

void TcvInplaceEdit::UpdateFocusState(bool Focused) {
    const bool changes = Focused != FFocusedState;
    if (IsInplace() || changes) {
        FSavedModified = GetModified();
        FSavedText = Text();
    }
    if (IsInplace() || !changes) return;
    FFocusedState = Focused;
    if (PaintsDisplayValue()) Invalidate();
    if (!Focused && FDataDefinition) {
        // Showing the stored value again must not lose the user's change.
        const bool modified = GetModified();
        FDataDefinition->DataChanged();
        SetModified(modified);
    }
}

void TcvInplaceEdit::InternalSetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TcvInplaceEdit::InternalSetReadOnly(bool Value) {
    FReadOnly = Value;
}

void TcvInplaceEdit::PropertiesChanged() {
    if (!HandleAllocated()) return;
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateBounds();
    RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

bool TcvInplaceEdit::IsEditable() {
    return !ReadOnly() && (!FDataDefinition || FDataDefinition->IsEditable());
}

bool TcvInplaceEdit::GetDefaultReadOnly() {
    return FDataDefinition ? FDataDefinition->GetReadOnly() : false;
}

bool TcvInplaceEdit::IsDataReadOnly() {
    return FDataDefinition ? !FDataDefinition->IsEditable() : false;
}

void TcvInplaceEdit::DoKillFocus(HWND FocusedWindow) {
    RefreshActiveBorder();
    if (PaintsContent()) Invalidate();
    TCustomcvContainer* host = GetContainer();
    if (host && (!host->HandleAllocated() || FocusedWindow != host->Handle())) host->EditorFocusChanged();
}

void TcvInplaceEdit::HideEditorWindow() {
    if (!IsInplace()) {
        Hide();
        return;
    }
    FShown = false;
    if (!HandleAllocated() || !IsWindowVisible(FHandle)) return;
    ValidateRect(FHandle, nullptr);
    InvalidateRect(FHandle, nullptr, true);
    if (HWND host = GetParent(FHandle)) {
        TRect area;
        GetWindowRect(FHandle, area);
        MapWindowPoints(nullptr, host, area);
        ValidateRect(host, &area);
        InvalidateRect(host, &area, false);
    }
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE);
}

bool TcvInplaceEdit::IsHostOptionSet() {
    TCustomcvContainer* host = GetContainer();
    return host && host->EditorHostQuery();
}

void TcvInplaceEdit::RestoreDefaults() {
    FStoredValues = 0;
    const TAlignment before = FAlignment;
    InternalSetAlignment(FClass->GetDefaultAlignment());
    if (FAlignment == before && FDataDefinition) {
        const TAlignment alignment = FDataDefinition->GetAlignment();
        if (alignment != FDefinitionAlignment) {
            FDefinitionAlignment = alignment;
            Invalidate();
        }
    }
    InternalSetReadOnly(IsDataReadOnly());
}

void TcvInplaceEdit::ShowEditorWindow() {
    if (!IsInplace()) {
        Show();
        return;
    }
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    FShown = true;
}

void TcvInplaceEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    // An in-place window shows only through ShowEditorWindow.
    if (IsInplace() && !FShown) Params.Style &= ~WS_VISIBLE;
}

void TcvInplaceEdit::UpdateBounds() {
    if (!HandleAllocated()) return;
    std::unique_ptr<TcvEditViewData> viewData = CreateViewData(false);
    TcvEditViewInfo viewInfo;
    FClass->CalcViewInfo(*viewData, AutoSizeInEffect(), viewInfo);
    SetBounds(Left(), Top(), viewInfo.Bounds.Width(), viewInfo.Bounds.Height());
    SetWindowRgn(FHandle, TcvInplaceEditClass::CreateBorderRegion(viewInfo), true);
}

void TcvInplaceEdit::PaintWindow(HDC DC) {
    std::unique_ptr<TcvEditViewData> viewData = CreateViewData(false);
    FClass->DrawContent(DC, ClientRect(), *viewData);
    TWinControl::PaintWindow(DC);
}

void TcvInplaceEdit::PaintNonClient() {
    HDC dc = GetWindowDC(FHandle);
    std::unique_ptr<TcvEditViewData> viewData = CreateViewData(false);
    TcvEditViewInfo viewInfo;
    FClass->CalcViewInfo(*viewData, false, viewInfo);
    FClass->DrawButtons(dc, viewInfo, *viewData);
    const DWORD style = static_cast<DWORD>(GetWindowLong(FHandle, GWL_STYLE));
    if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
        TRect inner = viewInfo.Bounds;
        InflateRect(inner, -viewInfo.BorderWidth, -viewInfo.BorderWidth);
        const TRect corner{inner.Right - GetSystemMetrics(SM_CXVSCROLL), inner.Bottom - GetSystemMetrics(SM_CYHSCROLL),
                           inner.Right, inner.Bottom};
        FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
    ReleaseDC(FHandle, dc);
}

void TcvInplaceEdit::InPlaceKeyDown(Word& Key, TShiftState Shift) {
    TCustomcvContainer* host = GetContainer();
    if (Key == VK_ESCAPE) {
        if (FDataDefinition) {
            FDataDefinition->DataChanged();
            SelectAllText();
        } else {
            RestoreOriginalText();
        }
    }
    if (IsRowKey(Key)) ValidateEdit();
    ++FKeyHandlingDepth;
    TScopeGuard depth([this] { --FKeyHandlingDepth; });
    const auto passToHost = [&] {
        host->EditorKeyDown(Key, Shift);
        Key = 0;
    };
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_RETURN:
    case VK_ESCAPE:
        passToHost();
        break;
    case VK_TAB:
        if (!Shift.Contains(ssAlt)) passToHost();
        break;
    case VK_INSERT:
        if (Shift.Empty())
            passToHost();
        else if (Shift == TShiftState{ssShift} && !host->CanEditModify())
            Key = 0;
        break;
    case VK_F2:
        host->EditorKeyDown(Key, Shift);
        if (Key == VK_F2) {
            CaretToEnd();
            Key = 0;
        }
        return;
    case VK_DELETE:
        if (!host->CanEditModify()) Key = 0;
        break;
    default:
        break;
    }
    if (Key == 0) return;
    host->EditorKeyDown(Key, Shift);
    if (Key != 0 && IsModifyingKey(Key, Shift) && IsEditable() && !CanModify()) Key = 0;
    if (Key != 0) TWinControl::KeyDown(Key, Shift);
}

void TcvInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (GetContainer()) {
        InPlaceKeyDown(Key, Shift);
        return;
    }
    if (IsModifyingKey(Key, Shift) && IsEditable() && !CanModify()) Key = 0;
    if (Key == VK_RETURN && ValidatesOnEnter()) ValidateEdit();
    TWinControl::KeyDown(Key, Shift);
}

void TcvInplaceEdit::KeyUp(Word& Key, TShiftState Shift) {
    if (TCustomcvContainer* host = GetContainer()) {
        host->KeyUpFromEditor(Key, Shift);
        Key = 0;
        return;
    }
    TWinControl::KeyUp(Key, Shift);
}

void TcvInplaceEdit::KeyPress(char32_t& Key) {
    if (TCustomcvContainer* host = GetContainer()) host->KeyPressFromEditor(Key);
    if (IsPrintable(Key) && !IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    if (IsInplace() && Key == U'\t' && !WantsTab()) Key = 0;
    if (Key == 0x1B) Key = 0;
    if ((Key == U'\t' || IsPrintable(Key)) && HasEditControl() && !CanModify()) Key = 0;
    if (Key != 0) TWinControl::KeyPress(Key);
}

void TcvInplaceEdit::DblClick() {
    if (TCustomcvContainer* host = GetContainer()) {
        host->DblClick();
        return;
    }
    TWinControl::DblClick();
}

void TcvInplaceEdit::ExitEditor() {
    if (FDataDefinition) {
        try {
            FDataDefinition->UpdateData();
        } catch (...) {
            // The value stays for the user to mend: all of it selected, focus kept.
            SelectAllText();
            SetFocus();
            throw;
        }
    } else {
        ValidateEdit();
    }
    UpdateFocusState(false);
}

bool TcvInplaceEdit::ExecuteAction(TBasicAction* Action) {
    return TWinControl::ExecuteAction(Action) || (FDataDefinition && FDataDefinition->ExecuteAction(Action));
}

bool TcvInplaceEdit::UpdateAction(TBasicAction* Action) {
    return TWinControl::UpdateAction(Action) || (FDataDefinition && FDataDefinition->UpdateAction(Action));
}

void TcvInplaceEdit::WndProc(TMessage& Message) {
    TCustomcvContainer* host = GetContainer();
    switch (Message.Msg) {
    case WM_KEYDOWN:
        if (host && host->IsEditorInputBlocked()) return;
        // Enter and Tab end here; their characters would only beep.
        if (host && (Message.WParam == VK_RETURN || (Message.WParam == VK_TAB && !WantsTab())))
            cvCntner::DiscardMessage(FHandle, WM_CHAR);
        break;
    case WM_SYSKEYDOWN:
    case WM_CHAR:
        if (host && host->IsEditorInputBlocked()) return;
        break;
    case WM_SETFOCUS:
        if (host) {
            // The host stays the form's active control while its editor types.
            TCustomForm* form = GetParentForm(this);
            const bool refused =
                form && !form->SetFocusedControl(host) && !host->ControlState().Contains(csFocusing);
            if (!refused) {
                DefaultHandler(Message);
                UpdateFocusState(true);
            }
            host->EditorFocusChanged();
            UpdateActiveState();
            return;
        }
        UpdateActiveState();
        break;
    case WM_KILLFOCUS:
        if (host) UpdateFocusState(false);
        DoKillFocus(reinterpret_cast<HWND>(Message.WParam));
        break;
    case WM_LBUTTONDOWN:
        if (host && host->EditorConvertsDblClick() && GetMessageTime() - FActivationTime < GetDoubleClickTime())
            Message.Msg = WM_LBUTTONDBLCLK;
        FActivationTime = 0;
        [[fallthrough]];
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (!HasEditControl() && !Focused() && !ComponentState().Contains(csDesigning)) {
            if (host)
                ::SetFocus(Handle());
            else
                SetFocus();
        }
        break;
    case WM_MOUSEWHEEL:
        if (host && !HandlesMouseWheel() && host->HandleAllocated()) {
            SendMessage(host->Handle(), CM_CANCELMODE, 0, 0);
            SendMessage(host->Handle(), WM_MOUSEWHEEL, Message.WParam, Message.LParam);
        }
        break;
    case WM_GETDLGCODE: {
        TWinControl::WndProc(Message);
        // The arrows move the caret, as an edit control's own code says.
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (IsInplace()) Message.Result |= DLGC_WANTALLKEYS;
        if (host && host->EditorWantsTab())
            Message.Result |= DLGC_WANTTAB;
        else
            Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
        return;
    }
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
        if (!CanModify()) return;
        break;
    case WM_IME_COMPOSITION:
        if ((Message.LParam & GCS_RESULTSTR) && HasEditControl() && !CanModify()) return;
        break;
    case WM_ERASEBKGND:
        if (!HasEditControl()) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_NCCALCSIZE: {
        TRect& r = Message.WParam ? reinterpret_cast<TNCCalcSizeParams*>(Message.LParam)->rgrc[0]
                                  : *reinterpret_cast<TRect*>(Message.LParam);
        std::unique_ptr<TcvEditViewData> viewData = CreateViewData(false);
        viewData->Bounds = {0, 0, r.Width(), r.Height()};
        TcvEditViewInfo viewInfo;
        FClass->CalcViewInfo(*viewData, false, viewInfo);
        r.Left += viewInfo.Content.Left - viewInfo.Bounds.Left;
        r.Top += viewInfo.Content.Top - viewInfo.Bounds.Top;
        r.Right -= viewInfo.Bounds.Right - viewInfo.Content.Right;
        r.Bottom -= viewInfo.Bounds.Bottom - viewInfo.Content.Bottom;
        if (r.Right < r.Left) r.Right = r.Left;
        Message.Result = 0;
        return;
    }
    case WM_NCPAINT:
        TWinControl::WndProc(Message);
        PaintNonClient();
        return;
    case WM_PAINT:
        if (!IsInplace() && !IsFocused() && PaintsDisplayValue()) {
            // Unfocused, the editor shows the data's display value, not its text.
            TPaintStruct paint;
            HDC dc = BeginPaint(FHandle, paint);
            TScopeGuard end([&] { EndPaint(FHandle, paint); });
            std::unique_ptr<TcvEditViewData> viewData = CreateViewData(true);
            if (ControlState().Contains(csPaintCopy)) {
                viewData->Bounds = ClientRect();
                FClass->DrawCell(dc, *viewData, nullptr);
            } else {
                FClass->DrawContent(dc, ClientRect(), *viewData);
            }
            return;
        }
        break;
    case WM_SETCURSOR:
        if (LoWord(static_cast<uintptr_t>(Message.LParam)) == HTCLIENT) {
            TPoint p;
            GetCursorPos(p);
            p = ScreenToClient(p);
            std::unique_ptr<TcvEditViewData> viewData = CreateViewData(false);
            if (const TCursor cursor = FClass->GetCursor(p.X, p.Y, *viewData); cursor != crDefault) {
                ::SetCursor(Screen->Cursors(cursor));
                Message.Result = 1;
                return;
            }
        }
        break;
    case WM_SIZE:
        TWinControl::WndProc(Message);
        // The control stores the window's new bounds only after WM_SIZE: the
        // border region must follow the new size, not the old one.
        UpdateBoundsFromWindow();
        UpdateBounds();
        return;
    case CM_FONTCHANGED:
        TWinControl::WndProc(Message);
        UpdateBounds();
        return;
    case CM_ENABLEDCHANGED:
        TWinControl::WndProc(Message);
        PropertiesChanged();
        return;
    case CM_TEXTCHANGED:
        TWinControl::WndProc(Message);
        if (PaintsContent()) Invalidate();
        return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
        const bool enter = Message.Msg == CM_MOUSEENTER;
        SetMouseInside(enter);
        RefreshActiveBorder();
        Fire(enter ? OnMouseEnter : OnMouseLeave, this);
        TWinControl::WndProc(Message);
        return;
    }
    case CM_ENTER:
        UpdateFocusState(true);
        break;
    case CM_EXIT:
        ExitEditor();
        break;
    case CM_SHOWINGCHANGED:
        if (IsInplace()) return;
        break;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}
