// The spin editor: value and text, the range, key filtering, the buttons laid
// out and painted from view data, and the press-and-hold repeat. Every press
// on a button (re)starts the repeat timer and the end of the press kills it,
// so a second quick press repeats as the first did.
#include "editors/SpinEdit.h"

#include "editors/Container.h"
#include "editors/CurrencyEdit.h" // the range bits of StoredValues
#include "editors/ExEdtr.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timers.h"
#include "platform/ui/Window.h"

#include <cmath>

namespace {

constexpr UINT FirstRepeatDelay = 400;
constexpr UINT RepeatInterval = 100;
constexpr int MinSpinButtonWidth = 13;

bool IsFlatLike(TcvEditButtonViewStyle Style) {
    return Style == btsFlat || Style == btsSimple;
}

// The frame of one button in the style's look; R becomes its face. Answers the arrow's colour.
int DrawSpinButtonFrame(HDC DC, TRect& R, const TcvSpinEditViewData& ViewData, bool Hot, bool Pressed) {
    const TcvEditButtonViewStyle style =
        ViewData.ButtonStyle == btsSimple && (Hot || Pressed) ? btsFlat : ViewData.ButtonStyle;
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    switch (style) {
    case btsFlat:
        DrawEdge(DC, &R, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST | BF_MIDDLE);
        break;
    case btsSimple:
        FrameRect(DC, &R, ViewData.Brush);
        InflateRect(R, -1, -1);
        FillRect(DC, &R, face);
        break;
    case btsHotFlat: {
        FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(R, -1, -1);
        const int faceColor = !ViewData.Enabled ? COLOR_BTNFACE
                              : Pressed         ? COLOR_BTNTEXT
                              : Hot             ? COLOR_BTNSHADOW
                                                : COLOR_BTNFACE;
        FillRect(DC, &R, GetSysColorBrush(faceColor));
        return Hot || Pressed ? COLOR_WINDOW : COLOR_BTNTEXT;
    }
    default:
        if (Pressed)
            DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | BF_MIDDLE);
        else
            DrawEdge(DC, &R, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE);
        break;
    }
    return COLOR_BTNTEXT;
}

void DrawArrow(HDC DC, const TRect& R, int ButtonWidth, bool Up, TPoint Offset, int Color) {
    int w = (ButtonWidth - 2) / 2;
    if (w % 2 == 0) ++w;
    const int x = (R.Left + R.Right - w) / 2 + Offset.X;
    const int y = (R.Top + R.Bottom - w / 2) / 2 - 1 + Offset.Y;
    POINT points[3];
    if (Up) {
        points[0] = {x, y + w / 2};
        points[1] = {x + w / 2, y};
        points[2] = {x + w - 1, y + w / 2};
    } else {
        points[0] = {x, y + 1};
        points[1] = {x + w - 1, y + 1};
        points[2] = {x + w / 2, y + 1 + w / 2};
    }
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(Color));
    HGDIOBJ oldPen = SelectObject(DC, pen);
    HGDIOBJ oldBrush = SelectObject(DC, GetSysColorBrush(Color));
    Polygon(DC, points, 3);
    SelectObject(DC, oldBrush);
    SelectObject(DC, oldPen);
    DeleteObject(pen);
}

} // namespace

// ---- TcvSpinEditClassOps -------------------------------------------------------

std::unique_ptr<TcvEditViewData> TcvSpinEditClassOps::CreateViewData() const {
    return std::make_unique<TcvSpinEditViewData>();
}

int TcvSpinEditClassOps::GetSpinButtonWidth(const TcvEditViewData& ViewData) const {
    const auto* v = dynamic_cast<const TcvSpinEditViewData*>(&ViewData);
    if (!v || !v->ButtonsShown) return 0;
    int width = GetSystemMetrics(SM_CXVSCROLL);
    if (width % 2 == 0) --width;
    width = std::max(width, MinSpinButtonWidth);
    return IsFlatLike(ViewData.ButtonStyle) ? width - 1 : width;
}

void TcvSpinEditClassOps::CalcViewInfo(TcvEditViewData& ViewData, bool CalcSize, TcvEditViewInfo& ViewInfo) const {
    TcvTextEditClassOps::CalcViewInfo(ViewData, CalcSize, ViewInfo);
    ViewInfo.Content.Right -= GetSpinButtonWidth(ViewData);
}

TRect TcvSpinEditClassOps::ButtonColumn(const TcvEditViewInfo& ViewInfo, const TcvEditViewData& ViewData) const {
    const TRect& content = ViewInfo.Content;
    return {content.Right, content.Top, content.Right + GetSpinButtonWidth(ViewData), content.Bottom};
}

void TcvSpinEditClassOps::DrawButtons(HDC DC, const TcvEditViewInfo& ViewInfo, const TcvEditViewData& ViewData) const {
    TcvTextEditClassOps::DrawButtons(DC, ViewInfo, ViewData);
    const auto* v = dynamic_cast<const TcvSpinEditViewData*>(&ViewData);
    const TRect column = ButtonColumn(ViewInfo, ViewData);
    if (!v || column.Width() <= 0) return;
    const int middle = (column.Top + column.Bottom) / 2;
    for (int button : {sbUp, sbDown}) {
        TRect r = column;
        (button == sbUp ? r.Bottom : r.Top) = middle;
        const bool hot = v->HotButton == button;
        const int arrowColor = DrawSpinButtonFrame(DC, r, *v, hot, hot && v->PressedButton == button);
        if (v->Enabled) {
            DrawArrow(DC, r, column.Width(), button == sbUp, {0, 0}, arrowColor);
        } else {
            DrawArrow(DC, r, column.Width(), button == sbUp, {1, 1}, COLOR_BTNHIGHLIGHT);
            DrawArrow(DC, r, column.Width(), button == sbUp, {0, 0}, COLOR_BTNSHADOW);
        }
    }
}

// ---- TcvInplaceSpinEdit --------------------------------------------------------

const TcvInplaceEditClass& TcvInplaceSpinEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceSpinEdit, TcvSpinEditClassOps>::Instance();
}

TcvInplaceSpinEdit::TcvInplaceSpinEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceMaskEdit(AOwner, Class) {
    SetControlStyle(ControlStyle() - csSetCaption);
    SetText("0");
}

TcvInplaceSpinEdit::~TcvInplaceSpinEdit() {
    StopRepeat();
}

const TcvSpinEditClassOps& TcvInplaceSpinEdit::ClassOps() const {
    return dynamic_cast<const TcvSpinEditClassOps&>(EditorClass());
}

void TcvInplaceSpinEdit::SetMaxValue(double Value) {
    SetStoredValues(StoredValues() | cvsvMaxValue);
    InternalSetMaxValue(Value);
}

void TcvInplaceSpinEdit::SetMinValue(double Value) {
    SetStoredValues(StoredValues() | cvsvMinValue);
    InternalSetMinValue(Value);
}

void TcvInplaceSpinEdit::SetMinMaxValues(double AMin, double AMax) {
    SetStoredValues(StoredValues() | cvsvMinValue | cvsvMaxValue);
    InternalSetMinMaxValues(AMin, AMax);
}

void TcvInplaceSpinEdit::SetValueType(int Value) {
    SetStoredValues(StoredValues() | cvsvValueType);
    InternalSetValueType(Value);
}

double TcvInplaceSpinEdit::EmptyValue() const {
    return FValueType == svtFloat ? FMinValue : std::trunc(FMinValue);
}

double TcvInplaceSpinEdit::GetValue() {
    const std::string text = GetText();
    if (text.empty()) return EmptyValue();
    if (FValueType == svtFloat) {
        double value = 0;
        return TryStrToFloat(text, value) ? value : EmptyValue();
    }
    Integer value = 0;
    return TryStrToInt(text, value) ? value : EmptyValue();
}

void TcvInplaceSpinEdit::SetValue(double Value) {
    if (FMaxValue != FMinValue) {
        if (Value < FMinValue)
            Value = FMinValue;
        else if (Value > FMaxValue)
            Value = FMaxValue;
    }
    std::string text;
    if (FValueType == svtFloat) {
        text = FloatToStrF(Value, ffGeneral, 15, 0);
    } else {
        // Halves go to the even neighbour, as the processor rounds.
        const double rounded = std::nearbyint(Value);
        text = std::fabs(rounded) < 9.2e18 ? IntToStr(static_cast<Int64>(rounded)) : FloatToStrF(rounded, ffGeneral, 15, 0);
    }
    if (text != GetText()) SetText(text);
}

bool TcvInplaceSpinEdit::IsValidSpinChar(char32_t Key) {
    if (!FEditorEnabled && (Key == U'\b' || Key >= 0x20)) return false;
    return Key == U'+' || Key == U'-' || (Key >= U'0' && Key <= U'9') ||
           (FValueType == svtFloat && Key == static_cast<unsigned char>(FormatSettings.DecimalSeparator)) || Key < 0x20;
}

void TcvInplaceSpinEdit::InternalSetMaxValue(double Value) {
    if (Value < FMinValue) Value = FMinValue;
    if (Value == FMaxValue) return;
    FMaxValue = Value;
    SetValue(GetValue());
}

void TcvInplaceSpinEdit::InternalSetMinValue(double Value) {
    if (Value > FMaxValue) Value = FMaxValue;
    if (Value == FMinValue) return;
    FMinValue = Value;
    SetValue(GetValue());
}

void TcvInplaceSpinEdit::InternalSetMinMaxValues(double AMin, double AMax) {
    FMinValue = std::min(AMin, AMax);
    FMaxValue = AMax;
    SetValue(GetValue());
}

void TcvInplaceSpinEdit::InternalSetValueType(int Value) {
    if (FValueType == Value) return;
    FValueType = Value;
    if (!GetText().empty()) SetValue(GetValue());
}

double TcvInplaceSpinEdit::GetDefaultMaxValue() {
    return DataDefinition() ? DataDefinition()->GetMaxValue() : 0;
}

double TcvInplaceSpinEdit::GetDefaultMinValue() {
    return DataDefinition() ? DataDefinition()->GetMinValue() : 0;
}

int TcvInplaceSpinEdit::GetDefaultValueType() {
    return DataDefinition() && DataDefinition()->IsFloat() ? svtFloat : svtInteger;
}

void TcvInplaceSpinEdit::ApplyDefinitionProperties() {
    TcvInplaceMaskEdit::ApplyDefinitionProperties();
    if (!(StoredValues() & cvsvValueType)) InternalSetValueType(GetDefaultValueType());
    const bool maxStored = StoredValues() & cvsvMaxValue, minStored = StoredValues() & cvsvMinValue;
    if (!maxStored && !minStored) {
        InternalSetMinMaxValues(GetDefaultMinValue(), GetDefaultMaxValue());
        return;
    }
    if (!maxStored) InternalSetMaxValue(GetDefaultMaxValue());
    if (!minStored) InternalSetMinValue(GetDefaultMinValue());
}

void TcvInplaceSpinEdit::RestoreDefaults() {
    TcvInplaceMaskEdit::RestoreDefaults();
    InternalSetMinMaxValues(GetDefaultMinValue(), GetDefaultMaxValue());
    InternalSetValueType(GetDefaultValueType());
}

void TcvInplaceSpinEdit::ValidateEdit() {
    TcvInplaceMaskEdit::ValidateEdit();
    if (GetModified()) SetValue(GetValue());
}

std::unique_ptr<TcvEditViewData> TcvInplaceSpinEdit::CreateViewData(bool FromDefinition) {
    std::unique_ptr<TcvEditViewData> viewData = TcvInplaceMaskEdit::CreateViewData(FromDefinition);
    if (auto* v = dynamic_cast<TcvSpinEditViewData*>(viewData.get())) {
        v->ButtonsShown = IsActive() || Style()->ButtonTransparence() != ebtHideInactive;
        const bool captured = HandleAllocated() && GetCapture() == FHandle;
        v->HotButton = FPressedButton != sbNone && !captured ? FPressedButton : FHotButton;
        v->PressedButton = FPressedButton;
    }
    return viewData;
}

void TcvInplaceSpinEdit::RepaintFrame() {
    if (HandleAllocated()) SendMessage(FHandle, WM_NCPAINT, 1, 0);
}

void TcvInplaceSpinEdit::SetHotButton(int Button) {
    if (FHotButton == Button) return;
    FHotButton = Button;
    RepaintFrame();
}

void TcvInplaceSpinEdit::SetMouseInside(bool Value) {
    if (!Value) SetHotButton(sbNone);
    TcvInplaceMaskEdit::SetMouseInside(Value);
}

void TcvInplaceSpinEdit::Step() {
    if (!IsEditable()) {
        MessageBeep(0);
        return;
    }
    if (!CanModify()) return;
    if (FPressedButton == sbUp) SetValue(GetValue() + GetIncrement());
    if (FPressedButton == sbDown) SetValue(GetValue() - GetIncrement());
    SetModified(true);
}

void TcvInplaceSpinEdit::StartRepeat(UINT Elapse) {
    FRepeatTimer = SetTimer(Handle(), RepeatTimerId, Elapse);
}

void TcvInplaceSpinEdit::StopRepeat() {
    if (FRepeatTimer == 0) return;
    if (HandleAllocated()) KillTimer(FHandle, RepeatTimerId);
    FRepeatTimer = 0;
}

void TcvInplaceSpinEdit::EndPress() {
    if (FPressedButton == sbNone) return;
    FPressedButton = sbNone;
    FHotButton = sbNone;
    StopRepeat();
    if (HandleAllocated() && GetCapture() == FHandle) ReleaseCapture();
    RepaintFrame();
}

int TcvInplaceSpinEdit::ButtonAt(TPoint Screen) {
    std::unique_ptr<TcvEditViewData> viewData = CreateViewData(false);
    TcvEditViewInfo viewInfo;
    EditorClass().CalcViewInfo(*viewData, false, viewInfo);
    const TRect column = ClassOps().ButtonColumn(viewInfo, *viewData);
    if (!cvExEdtr::ScreenToWindow(FHandle, Screen) || !PtInRect(column, Screen)) return sbNone;
    return Screen.Y < (column.Top + column.Bottom) / 2 ? sbUp : sbDown;
}

void TcvInplaceSpinEdit::HitTest(TMessage& Message) {
    if (ComponentState().Contains(csDesigning)) return;
    const int button = ButtonAt(PointFromLParam(Message.LParam));
    if (button == sbNone || (GetCapture() != nullptr && FPressedButton == sbNone)) {
        SetHotButton(sbNone);
        return;
    }
    SetHotButton(FPressedButton != sbNone && FPressedButton != button ? sbNone : button);
    Message.Result = HTBORDER;
}

void TcvInplaceSpinEdit::PressButton() {
    FPressedButton = FHotButton;
    SetCapture(FHandle);
    RepaintFrame();
    Step();
    // Every press starts the repeat afresh; the end of the press stops it.
    StartRepeat(FirstRepeatDelay);
    if (GetContainer())
        ::SetFocus(FHandle);
    else
        SetFocus();
}

void TcvInplaceSpinEdit::ForwardMouseDown(int X, int Y) {
    TcvInplaceMaskEdit::ForwardMouseDown(X, Y);
    PressAtHostPoint(X, Y);
}

void TcvInplaceSpinEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!FEditorEnabled && IsModifyingKey(Key, Shift)) {
        Key = 0;
        return;
    }
    if ((Key == VK_UP || Key == VK_DOWN) && !(FUseCtrlIncrement && !Shift.Contains(ssCtrl))) {
        FPressedButton = FHotButton = Key == VK_UP ? sbUp : sbDown;
        if (HandleAllocated() && GetCapture() == FHandle) ReleaseCapture();
        RepaintFrame();
        Step();
        Key = 0;
        return;
    }
    TcvInplaceMaskEdit::KeyDown(Key, Shift);
}

void TcvInplaceSpinEdit::KeyPress(char32_t& Key) {
    if (Key == U',' || Key == U'.') Key = static_cast<unsigned char>(FormatSettings.DecimalSeparator);
    if ((Key == U'\b' || Key >= 0x20) && !IsValidSpinChar(Key)) {
        Key = 0;
        MessageBeep(0);
        return;
    }
    TcvInplaceMaskEdit::KeyPress(Key);
}

void TcvInplaceSpinEdit::KeyUp(Word& Key, TShiftState Shift) {
    if (Key == VK_UP || Key == VK_DOWN) EndPress();
    TcvInplaceMaskEdit::KeyUp(Key, Shift);
}

void TcvInplaceSpinEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    EndPress();
    TcvInplaceMaskEdit::MouseUp(Button, Shift, X, Y);
}

void TcvInplaceSpinEdit::DefaultHandler(TMessage& Message) {
    // The edit window never moves its caret for them.
    if (Message.Msg == WM_KEYDOWN && (Message.WParam == VK_UP || Message.WParam == VK_DOWN)) return;
    TcvInplaceMaskEdit::DefaultHandler(Message);
}

void TcvInplaceSpinEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CUT:
    case WM_CLEAR:
    case WM_PASTE:
        if (!FEditorEnabled) return;
        break;
    case WM_NCHITTEST:
        TcvInplaceMaskEdit::WndProc(Message);
        HitTest(Message);
        return;
    case WM_NCLBUTTONDOWN:
        TcvInplaceMaskEdit::WndProc(Message);
        if (FHotButton != sbNone) PressButton();
        return;
    case WM_NCLBUTTONDBLCLK:
        TcvInplaceMaskEdit::WndProc(Message);
        EndPress();
        // A double click steps twice.
        SendMessage(FHandle, WM_NCLBUTTONDOWN, Message.WParam, Message.LParam);
        SendMessage(FHandle, WM_NCLBUTTONUP, Message.WParam, Message.LParam);
        return;
    case WM_MOUSEMOVE:
        // Under the capture the buttons' hit test follows the pointer.
        if (FPressedButton != sbNone && GetCapture() == FHandle) {
            const int button = ButtonAt(ClientToScreen(PointFromLParam(Message.LParam)));
            SetHotButton(button == FPressedButton ? button : sbNone);
        }
        break;
    case WM_TIMER:
        if (Message.WParam != RepeatTimerId) break;
        KillTimer(FHandle, RepeatTimerId);
        FRepeatTimer = 0;
        if (FPressedButton != sbNone && GetCapture() == FHandle) {
            if (FPressedButton == FHotButton) Step();
            StartRepeat(RepeatInterval);
        }
        return;
    case WM_MOUSEWHEEL: {
        const int pressed = FPressedButton;
        FPressedButton = static_cast<int16_t>(HiWord(Message.WParam)) > 0 ? sbUp : sbDown;
        Step();
        FPressedButton = pressed;
        return;
    }
    case WM_LBUTTONUP:
    case WM_CANCELMODE:
        EndPress();
        break;
    case WM_CAPTURECHANGED:
        TcvInplaceMaskEdit::WndProc(Message);
        EndPress();
        return;
    case WM_KILLFOCUS:
        if (GetKeyState(VK_UP) < 0 || GetKeyState(VK_DOWN) < 0) EndPress();
        break;
    default:
        break;
    }
    TcvInplaceMaskEdit::WndProc(Message);
}
