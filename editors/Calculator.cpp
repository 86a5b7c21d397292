// The calculator keypad: the key table, the arithmetic of one key, the
// keyboard and mouse mapped onto keys, the layout derived from the client
// size and the painting of the keys in their three styles.
#include "editors/Calculator.h"

#include "editors/EditorTexts.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr TColor DarkRed = 0x000080;
constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;
constexpr TColor Navy = 0x800000;

constexpr int BaseButtonHeight = 22;
constexpr int BaseCalcWidth = 207;
constexpr int BaseCalcHeight = 137;

// MulDiv rounded, as the layout's proportions are.
int Scale(int Value, int Numerator, int Denominator) {
    return static_cast<int>(std::lround(static_cast<double>(Value) * Numerator / Denominator));
}

bool IsArithmetic(int Key) {
    return Key == cbDivide || Key == cbMultiply || Key == cbSubtract || Key == cbAdd;
}

} // namespace

TCustomcvCalculator::TCustomcvCalculator(TComponent* AOwner) : TcvInplacePopupControl(AOwner) {
    const struct {
        const char* Caption;
        TColor Color;
    } table[cbNone] = {
        {"Back", DarkRed}, {"CE", DarkRed}, {"C", DarkRed}, {"MC", Red},  {"MR", Red},    {"MS", Red},
        {"M+", Red},       {"0", Blue},     {"1", Blue},    {"2", Blue},  {"3", Blue},    {"4", Blue},
        {"5", Blue},       {"6", Blue},     {"7", Blue},    {"8", Blue},  {"9", Blue},    {"+/-", Blue},
        {",", Blue},       {"/", Red},      {"*", Red},     {"-", Red},   {"+", Red},     {"sqrt", Navy},
        {"%", Navy},       {"1/x", Navy},   {"=", Red},
    };
    for (int i = 0; i < cbNone; ++i)
        FKeys[static_cast<size_t>(i)] = {table[i].Caption, table[i].Color, {}, false, false};
    SetBounds(Left(), Top(), BaseCalcWidth, BaseCalcHeight);
    SetColor(clBtnFace);
    SetParentColor(false);
    SetTabStop(true);
    SetControlStyle(ControlStyle() + csOpaque);
    Layout(BaseCalcWidth, BaseCalcHeight);
}

void TCustomcvCalculator::SetButtonStyle(TcvButtonStyle Value) {
    if (FButtonStyle == Value) return;
    FButtonStyle = Value;
    Invalidate();
}

void TCustomcvCalculator::SetCalcBorderStyle(int Value) {
    if (FCalcBorderStyle == Value) return;
    FCalcBorderStyle = Value;
    RecreateWnd();
}

void TCustomcvCalculator::SetShowButtonFrame(bool Value) {
    if (FShowButtonFrame == Value) return;
    FShowButtonFrame = Value;
    Invalidate();
}

void TCustomcvCalculator::SetShowFocusRect(bool Value) {
    if (FShowFocusRect == Value) return;
    FShowFocusRect = Value;
    Invalidate();
}

// ---- Display and arithmetic ---------------------------------------------------

std::string TCustomcvCalculator::Display() {
    std::string text;
    GetDisplayText(text);
    return text;
}

void TCustomcvCalculator::SetDisplay(const std::string& Text) {
    if (Display() == Text) return;
    SetDisplayText(Text);
    Fire(OnDisplayChange, this);
}

long double TCustomcvCalculator::GetValue() {
    if (FState == csError) return 0;
    // An empty display, or one that is no number (a host's own text), reads as 0.
    double value = 0;
    return TryStrToFloat(Trim(Display()), value) ? value : 0;
}

void TCustomcvCalculator::SetValue(long double Value) {
    SetDisplay(FloatToStrF(static_cast<double>(Value), ffGeneral, std::max(2, FPrecision), 0));
}

void TCustomcvCalculator::Clear() {
    FState = csResult;
    SetValue(0);
    FLastOperator = cbEqual;
}

void TCustomcvCalculator::Error() {
    FState = csError;
    SetDisplay(SCalculatorError);
    if (FBeepOnError) MessageBeep(0);
    Fire(OnError, this);
}

void TCustomcvCalculator::Copy() {
    Clipboard()->SetAsText(Display());
}

void TCustomcvCalculator::Paste() {
    const std::string text =
        Trim(StringReplace(Clipboard()->AsText(), FormatSettings.CurrencyString, "", {rfReplaceAll}));
    double value = 0;
    if (text.empty() || !TryStrToFloat(text, value)) return;
    SetValue(value);
    FState = csTyping;
}

void TCustomcvCalculator::Reset() {
    FState = csResult;
    FLastOperator = cbEqual;
    FMemory = 0;
}

void TCustomcvCalculator::StartNumber() {
    if (FState != csResult) return;
    FState = csTyping;
    SetDisplay("0");
}

void TCustomcvCalculator::UpdateMemoryKeys() {
    for (int key : {cbMC, cbMR}) {
        const bool disabled = FMemory == 0;
        if (FKeys[static_cast<size_t>(key)].Disabled == disabled) continue;
        FKeys[static_cast<size_t>(key)].Disabled = disabled;
        RepaintKey(key);
    }
}

void TCustomcvCalculator::ApplyOperator(int Key) {
    if (FState == csTyping) {
        FState = csResult;
        long double operand = GetValue();
        if (Key == cbPercent) {
            if (FLastOperator == cbDivide || FLastOperator == cbMultiply)
                operand /= 100;
            else if (FLastOperator == cbSubtract || FLastOperator == cbAdd)
                operand = FAccumulator * operand / 100;
        }
        switch (FLastOperator) {
        case cbDivide:
            if (operand == 0) {
                Error();
                return;
            }
            SetValue(FAccumulator / operand);
            break;
        case cbMultiply:
            SetValue(FAccumulator * operand);
            break;
        case cbSubtract:
            SetValue(FAccumulator - operand);
            break;
        case cbAdd:
            SetValue(FAccumulator + operand);
            break;
        default:
            break;
        }
    }
    FLastOperator = Key;
    FAccumulator = GetValue();
    if (Key == cbPercent || Key == cbEqual) Fire(OnResult, this);
}

void TCustomcvCalculator::ApplyFunction(int Key) {
    // Typing again after a pending operation lets a following "=" apply it to the result.
    FState = IsArithmetic(FLastOperator) ? csTyping : csResult;
    const long double value = GetValue();
    if ((Key == cbSqrt && value < 0) || (Key == cbReciprocal && value == 0)) {
        Error();
        return;
    }
    SetValue(Key == cbSqrt ? std::sqrt(value) : 1 / value);
}

void TCustomcvCalculator::ButtonClick(int Key) {
    Fire(OnButtonClick, this, Key);
    if (FState == csError && Key != cbCancelEntry && Key != cbClear) {
        Error();
        return;
    }
    const int maxDigits = std::max(2, FPrecision);
    switch (Key) {
    case cbDecimal: {
        StartNumber();
        const std::string text = Display();
        if (text.find(FormatSettings.DecimalSeparator) == std::string::npos)
            SetDisplay(text + FormatSettings.DecimalSeparator);
        break;
    }
    case cbBack: {
        StartNumber();
        const std::string text = Display();
        // The display holds digits, a sign and a separator only: one byte each.
        if (text.size() <= 1 || (text.size() == 2 && text[0] == '-'))
            SetDisplay("0");
        else
            SetDisplay(text.substr(0, text.size() - 1));
        break;
    }
    case cbCancelEntry:
    case cbClear:
        Clear();
        break;
    case cbMC:
        FMemory = 0;
        break;
    case cbMR:
        FState = csResult;
        StartNumber();
        SetValue(FMemory);
        break;
    case cbMS:
        FMemory = GetValue();
        break;
    case cbMPlus:
        FMemory += GetValue();
        break;
    case cbSign:
        SetValue(-GetValue());
        break;
    case cbDivide:
    case cbMultiply:
    case cbSubtract:
    case cbAdd:
    case cbPercent:
    case cbEqual:
        ApplyOperator(Key);
        break;
    case cbSqrt:
    case cbReciprocal:
        ApplyFunction(Key);
        break;
    default:
        if (Key >= cbNum0 && Key <= cbNum9) {
            StartNumber();
            std::string text = Display();
            if (text == "0") text.clear();
            const int limit = maxDigits + (!text.empty() && text[0] == '-' ? 1 : 0);
            if (static_cast<int>(text.size()) < limit)
                SetDisplay(text + static_cast<char>('0' + Key - cbNum0));
            else if (FBeepOnError)
                MessageBeep(0);
        }
        break;
    }
    if (Key >= cbMC && Key <= cbMPlus) UpdateMemoryKeys();
}

// ---- Keyboard and mouse -------------------------------------------------------

void TCustomcvCalculator::PressByKeyboard(int Key) {
    if (FKeyboardKey != Key) {
        if (FKeyboardKey != cbNone) SetPressed(FKeyboardKey, false);
        FKeyboardKey = Key;
        SetPressed(Key, true);
    }
    ButtonClick(Key);
}

void TCustomcvCalculator::KeyDown(Word& Key, TShiftState Shift) {
    TcvInplacePopupControl::KeyDown(Key, Shift);
    const bool ctrl = Shift.Contains(ssCtrl);
    int key = cbNone;
    switch (Key) {
    case VK_RETURN:
        key = cbEqual;
        break;
    case VK_ESCAPE:
        key = cbClear;
        break;
    case VK_DELETE:
        key = cbCancelEntry;
        break;
    case 'C':
        if (!ctrl) key = cbClear;
        break;
    case 'L':
        if (ctrl) key = cbMC;
        break;
    case 'R':
        key = ctrl ? cbMR : cbReciprocal;
        break;
    case 'M':
        if (ctrl) key = cbMS;
        break;
    case 'P':
        if (ctrl) key = cbMPlus;
        break;
    case VK_F9:
        key = cbSign;
        break;
    case VK_INSERT:
        if (Shift.Contains(ssShift)) Paste();
        if (ctrl) Copy();
        return;
    default:
        return;
    }
    if (key != cbNone) PressByKeyboard(key);
}

void TCustomcvCalculator::KeyPress(char32_t& Key) {
    TcvInplacePopupControl::KeyPress(Key);
    int key = cbNone;
    if (Key >= U'0' && Key <= U'9')
        key = cbNum0 + static_cast<int>(Key - U'0');
    else if (Key == static_cast<char32_t>(FormatSettings.DecimalSeparator))
        key = cbDecimal;
    else
        switch (Key) {
        case U'/':
            key = cbDivide;
            break;
        case U'*':
            key = cbMultiply;
            break;
        case U'-':
            key = cbSubtract;
            break;
        case U'+':
            key = cbAdd;
            break;
        case U'@':
            key = cbSqrt;
            break;
        case U'%':
            key = cbPercent;
            break;
        case U'=':
            key = cbEqual;
            break;
        case U'\b':
            key = cbBack;
            break;
        case 0x16: // Ctrl+V
            Paste();
            return;
        case 0x03: // Ctrl+C
            Copy();
            return;
        default:
            return;
        }
    PressByKeyboard(key);
}

void TCustomcvCalculator::KeyUp(Word& Key, TShiftState Shift) {
    TcvInplacePopupControl::KeyUp(Key, Shift);
    if (FKeyboardKey == cbNone) return;
    SetPressed(FKeyboardKey, false);
    FKeyboardKey = cbNone;
}

int TCustomcvCalculator::KeyAt(TPoint P) const {
    for (int i = 0; i < cbNone; ++i)
        if (PtInRect(FKeys[static_cast<size_t>(i)].Rect, P)) return i;
    return cbNone;
}

void TCustomcvCalculator::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!ComponentState().Contains(csDesigning) && !IsPopup() && CanFocus()) SetFocus();
    TcvInplacePopupControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FTracking = true;
    FTrackedKey = KeyAt({X, Y});
    if (FTrackedKey != cbNone) SetPressed(FTrackedKey, true);
}

void TCustomcvCalculator::MouseMove(TShiftState Shift, int X, int Y) {
    TcvInplacePopupControl::MouseMove(Shift, X, Y);
    const int under = KeyAt({X, Y});
    if (FButtonStyle == bsExtraFlat) SetHotKey(under);
    if (FTracking && FTrackedKey != cbNone) SetPressed(FTrackedKey, under == FTrackedKey);
}

void TCustomcvCalculator::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TcvInplacePopupControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FTracking) return;
    FTracking = false;
    const int key = FTrackedKey;
    FTrackedKey = cbNone;
    if (key == cbNone || !FKeys[static_cast<size_t>(key)].Pressed) return;
    SetPressed(key, false);
    ButtonClick(key);
}

void TCustomcvCalculator::SetPressed(int Key, bool Pressed) {
    TCalcButton& button = FKeys[static_cast<size_t>(Key)];
    if (button.Pressed == Pressed) return;
    button.Pressed = Pressed;
    RepaintKey(Key);
}

void TCustomcvCalculator::SetHotKey(int Key) {
    if (FHotKey == Key) return;
    const int old = FHotKey;
    FHotKey = Key;
    if (old != cbNone) RepaintKey(old);
    if (Key != cbNone) RepaintKey(Key);
}

void TCustomcvCalculator::RepaintKey(int Key) {
    if (!HandleAllocated()) return;
    const TRect r = KeyRect(Key);
    InvalidateRect(FHandle, &r, false);
}

// ---- Layout and painting -------------------------------------------------------

void TCustomcvCalculator::Layout(int ClientW, int ClientH) {
    const int height = std::min(ClientH, Scale(ClientW, BaseCalcHeight, BaseCalcWidth));
    const auto totalHeight = [](int ButtonHeight) {
        return 5 * (ButtonHeight + Scale(ButtonHeight, 4, BaseButtonHeight)) +
               Scale(ButtonHeight, 4, BaseButtonHeight);
    };
    int buttonHeight = BaseButtonHeight;
    while (std::abs(totalHeight(buttonHeight + 1) - height) < std::abs(totalHeight(buttonHeight) - height))
        ++buttonHeight;
    FButtonHeight = buttonHeight;
    FButtonWidth = Scale(buttonHeight, 28, BaseButtonHeight);
    FHorzGap = FVertGap = Scale(buttonHeight, 4, BaseButtonHeight);
    FWideButtonWidth = Scale(FButtonWidth, 17, 10);
    FFontSize = Scale(buttonHeight, 8, BaseButtonHeight);
    const int gap = FHorzGap;
    FCalcWidth = 6 * (gap + FButtonWidth) + 2 * gap + 4;
    FCalcHeight = 5 * (FButtonHeight + gap) + gap;

    const auto place = [&](int Key, int X, int Y, int W) {
        FKeys[static_cast<size_t>(Key)].Rect = {X, Y, X + W, Y + FButtonHeight};
    };
    const auto rowTop = [&](int Row) { return gap + Row * (gap + FButtonHeight); };
    const int memoryKeys[] = {cbMC, cbMR, cbMS, cbMPlus};
    for (int row = 1; row <= 4; ++row)
        place(memoryKeys[row - 1], gap, rowTop(row), FButtonWidth);
    const int x0 = gap + FButtonWidth + 2 * gap + 4;
    const int keypad[4][5] = {
        {cbNum0 + 7, cbNum0 + 8, cbNum0 + 9, cbDivide, cbSqrt},
        {cbNum0 + 4, cbNum0 + 5, cbNum0 + 6, cbMultiply, cbPercent},
        {cbNum0 + 1, cbNum0 + 2, cbNum0 + 3, cbSubtract, cbReciprocal},
        {cbNum0, cbSign, cbDecimal, cbAdd, cbEqual},
    };
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 5; ++column)
            place(keypad[row][column], x0 + gap + column * (gap + FButtonWidth), rowTop(row + 1), FButtonWidth);
    // C, CE and Back, right-aligned to "=" from right to left.
    int right = KeyRect(cbEqual).Right;
    for (int key : {cbClear, cbCancelEntry, cbBack}) {
        place(key, right - FWideButtonWidth, gap, FWideButtonWidth);
        right -= FWideButtonWidth + gap;
    }
    Reset();
    UpdateMemoryKeys();
}

void TCustomcvCalculator::ApplyLayoutSize() {
    const int width = FCalcWidth + Width() - ClientWidth(), height = FCalcHeight + Height() - ClientHeight();
    if (width != Width() || height != Height()) SetBounds(Left(), Top(), width, height);
}

void TCustomcvCalculator::LayoutKeys() {
    Layout(ClientWidth(), ClientHeight());
    ApplyLayoutSize();
    Invalidate();
}

void TCustomcvCalculator::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    ++FSettingBounds;
    TcvInplacePopupControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    --FSettingBounds;
    // The keypad keeps its proportions: the size follows the layout.
    ApplyLayoutSize();
}

void TCustomcvCalculator::CreateParams(TCreateParams& Params) {
    TcvInplacePopupControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
    Params.WindowClassStyle &= ~CS_DBLCLKS;
    if (IsPopup() || FCalcBorderStyle != 1) return;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

std::string TCustomcvCalculator::Caption(int Key) const {
    if (Key == cbDecimal) return std::string(1, FormatSettings.DecimalSeparator);
    return FKeys[static_cast<size_t>(Key)].Caption;
}

void TCustomcvCalculator::PaintKey(HDC DC, int Key) {
    const TCalcButton& button = FKeys[static_cast<size_t>(Key)];
    TRect r = button.Rect;
    const bool pressed = button.Pressed && !button.Disabled;
    if (FShowButtonFrame) {
        FrameRect(DC, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(r, -1, -1);
    }
    if (FButtonStyle == bsStandard) {
        DrawFrameControl(DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    } else {
        FillRect(DC, &r, GetSysColorBrush(COLOR_BTNFACE));
        if (FButtonStyle == bsFlat || pressed || Key == FHotKey)
            DrawEdge(DC, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    TRect text = r;
    if (pressed) OffsetRect(text, 1, 1);
    SetBkMode(DC, TRANSPARENT);
    const std::string caption = Caption(Key);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    if (!Enabled()) {
        TRect embossed = text;
        OffsetRect(embossed, 1, 1);
        SetTextColor(DC, ColorToRGB(clBtnHighlight));
        DrawText(DC, caption, &embossed, format);
        SetTextColor(DC, ColorToRGB(clBtnShadow));
    } else {
        SetTextColor(DC, ColorToRGB(button.Disabled ? clBtnShadow : button.Color));
    }
    DrawText(DC, caption, &text, format);
    if (Key == cbEqual && FShowFocusRect && Focused()) {
        TRect focus = button.Rect;
        InflateRect(focus, -3, -3);
        DrawFocusRect(DC, &focus);
    }
}

void TCustomcvCalculator::Paint() {
    if (FAutoFontSize) {
        TFont* font = Font();
        if (font->Size() != FFontSize) font->SetSize(FFontSize);
        TFontStyles style = font->Style();
        if (FFontSize >= 10)
            style += fsBold;
        else
            style -= fsBold;
        if (style != font->Style()) font->SetStyle(style);
    }
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    HDC dc = canvas->Handle();
    SelectObject(dc, Font()->Handle());
    const int saved = SaveDC(dc);
    for (int key = 0; key < cbNone; ++key)
        PaintKey(dc, key);
    RestoreDC(dc, saved);
    for (const TCalcButton& button : FKeys)
        ExcludeClipRect(dc, button.Rect.Left, button.Rect.Top, button.Rect.Right, button.Rect.Bottom);
    HBRUSH background = CreateSolidBrush(ColorToRGB(Color()));
    const TRect all = ClientRect();
    FillRect(dc, &all, background);
    DeleteObject(background);
}

void TCustomcvCalculator::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TcvInplacePopupControl::WndProc(Message);
        RepaintKey(cbEqual);
        return;
    case WM_SIZE:
        TcvInplacePopupControl::WndProc(Message);
        Layout(ClientWidth(), ClientHeight());
        // Inside SetBounds the size is applied once the bounds are stored.
        if (FSettingBounds == 0) ApplyLayoutSize();
        Invalidate();
        return;
    case CM_CTL3DCHANGED:
        FCalcBorderStyle = 1;
        RecreateWnd();
        return;
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
        TcvInplacePopupControl::WndProc(Message);
        Invalidate();
        return;
    case CM_MOUSELEAVE:
        TcvInplacePopupControl::WndProc(Message);
        if (FButtonStyle == bsExtraFlat) SetHotKey(cbNone);
        return;
    default:
        TcvInplacePopupControl::WndProc(Message);
        return;
    }
}
