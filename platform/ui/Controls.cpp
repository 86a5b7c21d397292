// TControl, TCustomControl and TGraphicControl on the window manager
// (TWinControl is in ControlsWinControl.cpp). Every control window gets
// ControlWindowProcedure as its class procedure; it finds the control and runs
// its WindowProc, catching what a handler throws as the application's message
// loop would.
#include "platform/ui/Controls.h"

#include "platform/ui/ActnList.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Input.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/private/ControlHost_p.h"
#include "platform/ui/private/Controls_p.h"

#include <QObject>
#include <QWidget>

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace {

std::unordered_map<HWND, TWinControl*>& ControlsByWindow() {
    static std::unordered_map<HWND, TWinControl*> map;
    return map;
}

std::unordered_map<TWinControl*, std::unique_ptr<QObject>>& SignalContexts() {
    static std::unordered_map<TWinControl*, std::unique_ptr<QObject>> contexts;
    return contexts;
}

} // namespace

namespace platform_ui {

void ReleaseSignalContext(TWinControl* control) {
    SignalContexts().erase(control);
}

TControl* CaptureControl = nullptr;
TControl* MouseControl = nullptr;

int FontHeight(TFont* font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->Handle());
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return tm.tmHeight;
}

void SetMouseControl(TControl* control) {
    if (MouseControl == control) return;
    TControl* left = MouseControl;
    MouseControl = control;
    if (left) left->Perform(CM_MOUSELEAVE, 0, 0);
    if (control) control->Perform(CM_MOUSEENTER, 0, 0);
}

} // namespace platform_ui

void ControlWindowAccess::Attach(TWinControl* control, HWND wnd) {
    control->FHandle = wnd;
    ControlsByWindow()[wnd] = control;
}

void ControlWindowAccess::Detach(TWinControl* control) {
    platform_ui::ReleaseSignalContext(control);
    if (control->FHandle) ControlsByWindow().erase(control->FHandle);
    control->FHandle = nullptr;
}

void ControlWindowAccess::SetDefault(TWinControl* control, bool native, TWindowProcedure classProcedure) {
    control->FNativeWindow = native;
    control->FClassProcedure = std::move(classProcedure);
}

namespace platform_ui {

QObject* SignalContext(TWinControl* control) {
    auto& context = SignalContexts()[control];
    if (!context) context = std::make_unique<QObject>();
    return context.get();
}

static void ControlWindowProcedure(HWND wnd, TMessage& message) {
    auto& map = ControlsByWindow();
    auto it = map.find(wnd);
    TWinControl* control = it == map.end() ? nullptr : it->second;
    if (!control && message.Msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<TCreateStruct*>(message.LParam);
        control = static_cast<TWinControl*>(create->CreateParams);
        if (control) ControlWindowAccess::Attach(control, wnd);
    }
    // A control on its way out handles nothing more; its window ends quietly.
    if (!control || control->ComponentState().Contains(csDestroying)) {
        if (control && message.Msg == WM_NCDESTROY) ControlWindowAccess::Detach(control);
        DefWindowProc(wnd, message);
        return;
    }
    try {
        control->WindowProc(message);
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        ShowControlException(e);
    }
    if (message.Msg == WM_NCDESTROY) ControlWindowAccess::Detach(control);
}

HWND CreateControlWindow(TWinControl* control, const TCreateParams& params, TNativeWidgetFactory factory) {
    // A class keeps the factory it was registered with, so the class's factory
    // asks for the one of the window being made now.
    static TNativeWidgetFactory pending;
    struct PendingScope {
        TNativeWidgetFactory Previous;
        ~PendingScope() { pending = std::move(Previous); }
    } scope{std::exchange(pending, factory)};
    TWindowClass existing;
    const bool registered = GetClassInfo(params.WinClassName, existing);
    // A class of its own (the edit window) is subclassed: our procedure goes on
    // top of the class's, which stays the control's default handling.
    const auto* procedure = existing.WindowProcedure.target<void (*)(HWND, TMessage&)>();
    const bool subclassed = registered && !(procedure && *procedure == ControlWindowProcedure);
    if (!registered) {
        if (factory) {
            RegisterNativeWindowClass(
                params.WinClassName, params.WindowClassStyle,
                [](HWND wnd, const TCreateStruct& create) { return pending(wnd, create); }, ControlWindowProcedure);
        } else {
            TWindowClass cls;
            cls.ClassName = params.WinClassName;
            cls.Style = params.WindowClassStyle;
            cls.WindowProcedure = ControlWindowProcedure;
            RegisterClass(cls);
        }
    }
    ControlWindowAccess::SetDefault(control, static_cast<bool>(factory),
                                    subclassed ? existing.WindowProcedure : TWindowProcedure{});
    HWND wnd = CreateWindowEx(params.ExStyle, params.WinClassName, params.Caption, params.Style, params.X, params.Y,
                              params.Width, params.Height, params.WndParent, 0,
                              subclassed ? TWindowProcedure(ControlWindowProcedure) : TWindowProcedure{}, control);
    if (wnd && ControlsByWindow().find(wnd) == ControlsByWindow().end()) ControlWindowAccess::Attach(control, wnd);
    // A native widget shows its disabled look only when Qt knows it is disabled.
    if (QWidget* widget = factory && wnd ? WidgetOfWindow(wnd) : nullptr; widget && (params.Style & WS_DISABLED))
        widget->setEnabled(false);
    return wnd;
}

} // namespace platform_ui

using namespace platform_ui;

TShiftState KeyboardShiftState() {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s += ssAlt;
    return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s = KeyboardShiftState();
    if (keyData & KF_ALTDOWN_BIT) s += ssAlt;
    return s;
}

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s;
    if (keys & MK_SHIFT) s += ssShift;
    if (keys & MK_CONTROL) s += ssCtrl;
    if (keys & MK_LBUTTON) s += ssLeft;
    if (keys & MK_RBUTTON) s += ssRight;
    if (keys & MK_MBUTTON) s += ssMiddle;
    if (KeyboardShiftState().Contains(ssAlt)) s += ssAlt;
    return s;
}

TWinControl* FindControl(HWND wnd) {
    auto it = ControlsByWindow().find(wnd);
    return it == ControlsByWindow().end() ? nullptr : it->second;
}

TCustomForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    while (c && c->Parent())
        c = c->Parent();
    return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

// ---- TControl ---------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    FFont->OnChange = [this](TObject*) {
        FParentFont = false;
        FontChanged();
    };
}

TControl::~TControl() {
    DragControlGone(this);
    if (CaptureControl == this) CaptureControl = nullptr;
    if (MouseControl == this) MouseControl = nullptr;
    if (FAction) FAction->UnregisterClient(this);
    if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    Invalidate();
    RequestAlign();
    Resize();
}

TRect TControl::ClientRect() const {
    return Rect(0, 0, FWidth, FHeight);
}

void TControl::SetClientWidth(int Value) {
    SetWidth(Value);
}
void TControl::SetClientHeight(int Value) {
    SetHeight(Value);
}

TPoint TControl::ClientOrigin() const {
    return ClientToScreen(Point(0, 0));
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    FAlign = Value;
    RequestAlign();
}

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    VisibleChanged();
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
    RequestAlign();
}

void TControl::VisibleChanged() {
    if (FParent && FParent->HandleAllocated()) {
        TRect r = BoundsRect();
        InvalidateRect(FParent->FHandle, &r, true);
    }
}

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    EnabledChanged();
    Perform(CM_ENABLEDCHANGED);
}

void TControl::EnabledChanged() {
    Invalidate();
}

void TControl::SetColor(TColor Value) {
    if (FColor != Value) {
        FColor = Value;
        ColorChanged();
        Perform(CM_COLORCHANGED);
    }
    FParentColor = false;
}

void TControl::SetParentColor(bool Value) {
    FParentColor = Value;
    if (Value && FParent) {
        SetColor(FParent->Color());
        FParentColor = true;
    }
}

void TControl::ColorChanged() {
    Invalidate();
}

void TControl::SetFont(TFont* Value) {
    FFont->Assign(Value);
}

void TControl::SetParentFont(bool Value) {
    FParentFont = Value;
    if (Value && FParent) {
        FFont->Assign(FParent->Font());
        FParentFont = true;
    }
}

void TControl::FontChanged() {
    Invalidate();
    Perform(CM_FONTCHANGED);
}

void TControl::SetText(const std::string& Value) {
    if (GetText() == Value) return;
    SetTextBuf(Value);
    TextChanged();
    Perform(CM_TEXTCHANGED);
}

void TControl::SetTextBuf(const std::string& Value) {
    FText = Value;
}

void TControl::TextChanged() {
    Invalidate();
}

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value) Value->FreeNotification(this);
}

void TControl::SetAction(TBasicAction* Value) {
    if (RelinkAction(FAction, Value, this) && Value) ActionChange(Value, ComponentState().Contains(csLoading));
}

void TControl::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action) return;
    if (!CheckDefaults || Caption().empty()) SetCaption(action->Caption());
    if (!CheckDefaults || FEnabled) SetEnabled(action->Enabled());
    if (!CheckDefaults || FHint.empty()) SetHint(action->Hint());
    if (!CheckDefaults || FVisible) SetVisible(action->Visible());
}

bool TControl::ExecuteAction(TBasicAction* Action) {
    return ExecuteActionOn(Action, this);
}

bool TControl::UpdateAction(TBasicAction* Action) {
    return UpdateActionOn(Action, this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FPopupMenu) FPopupMenu = nullptr;
    if (AComponent == FAction) FAction = nullptr;
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (FAction) ActionChange(FAction, true);
    RequestAlign();
}

void TControl::Invalidate() {
    if (FParent && FParent->HandleAllocated() && FVisible) {
        TRect r = BoundsRect();
        InvalidateRect(FParent->FHandle, &r, !FControlStyle.Contains(csOpaque));
    }
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) {
        list.erase(it);
        list.push_back(this);
        Invalidate();
    }
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) {
        list.erase(it);
        list.insert(list.begin(), this);
        Invalidate();
    }
}

TPoint TControl::ClientToScreen(const TPoint& P) const {
    // A window knows where it is, borders and menu bar included.
    if (auto* win = dynamic_cast<const TWinControl*>(this); win && win->FHandle) {
        TPoint p = P;
        ::ClientToScreen(win->FHandle, p);
        return p;
    }
    if (!FParent) return P;
    TPoint origin = FParent->ClientToScreen(Point(FLeft, FTop));
    return Point(P.X + origin.X, P.Y + origin.Y);
}

TPoint TControl::ScreenToClient(const TPoint& P) const {
    TPoint origin = ClientToScreen(Point(0, 0));
    return Point(P.X - origin.X, P.Y - origin.Y);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::Click() {
    // A linked action runs unless the control has a handler of its own.
    if (!Fire(OnClick, this) && FAction) FAction->Execute();
}

void TControl::DblClick() {
    Fire(OnDblClick, this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    Fire(OnMouseDown, this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    Fire(OnMouseUp, this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    Fire(OnMouseMove, this, Shift, X, Y);
}

void TControl::Resize() {
    Fire(OnResize, this);
}

void TControl::RequestAlign() {
    if (FParent && FAlign != alNone) FParent->Realign();
}

void TControl::PaintGraphic(HDC) {}

void TControl::HandleMouse(TMessage& m) {
    const auto [x, y] = PointFromLParam(m.LParam);
    TShiftState shift = KeysToShiftState(m.WParam);
    auto* win = dynamic_cast<TWinControl*>(this);
    auto capture = [&](bool on) {
        if (!FControlStyle.Contains(csCaptureMouse)) return;
        if (win) {
            if (on)
                SetCapture(win->Handle());
            else if (GetCapture() == win->FHandle)
                ReleaseCapture();
        } else {
            CaptureControl = on ? this : nullptr;
        }
    };
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        FControlState += csLButtonDown;
        capture(true);
        if (FControlStyle.Contains(csClickEvents)) FControlState += csClicked;
        if (m.Msg == WM_LBUTTONDBLCLK) {
            shift += ssDouble;
            if (FControlStyle.Contains(csDoubleClicks)) DblClick();
        }
        MouseDown(mbLeft, shift, x, y);
        break;
    case WM_LBUTTONUP:
        FControlState -= csLButtonDown;
        capture(false);
        if (FControlState.Contains(csClicked)) {
            FControlState -= csClicked;
            if (PtInRect(ClientRect(), Point(x, y))) Click();
        }
        MouseUp(mbLeft, shift, x, y);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        MouseDown(mbRight, shift, x, y);
        break;
    case WM_RBUTTONUP:
        MouseUp(mbRight, shift, x, y);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        MouseDown(mbMiddle, shift, x, y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, shift, x, y);
        break;
    case WM_MOUSEMOVE:
        MouseMove(shift, x, y);
        break;
    default:
        break;
    }
}

void TControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_PAINT:
        // A graphic control's paint: its parent's DC in wParam, set to its corner.
        if (m.WParam) PaintGraphic(reinterpret_cast<HDC>(m.WParam));
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
        if (!FEnabled && !dynamic_cast<TWinControl*>(this)) return;
        if ((m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) && FDragMode == dmAutomatic && !Dragging()) {
            BeginDrag(true);
            return;
        }
        HandleMouse(m);
        DefaultHandler(m);
        return;
    case WM_CANCELMODE:
        // A modal loop took the mouse: the press ends without a click.
        FControlState -= csLButtonDown;
        FControlState -= csClicked;
        if (CaptureControl == this) CaptureControl = nullptr;
        DefaultHandler(m);
        return;
    case WM_CONTEXTMENU: {
        // The nearest popup menu up the parent chain pops up at the pointer.
        for (TControl* c = this; c; c = c->FParent) {
            if (c->FPopupMenu && c->FPopupMenu->AutoPopup()) {
                TPoint p = PointFromLParam(m.LParam);
                if (p.X == -1 && p.Y == -1) p = ClientToScreen(Point(0, 0));
                c->FPopupMenu->SetPopupComponent(this);
                c->FPopupMenu->Popup(p.X, p.Y);
                m.Result = 1;
                return;
            }
        }
        DefaultHandler(m);
        return;
    }
    case CM_DRAG:
        HandleDragMessage(m);
        return;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent) {
            SetColor(FParent->Color());
            FParentColor = true;
        }
        return;
    case CM_PARENTFONTCHANGED:
        if (FParentFont && FParent) {
            FFont->Assign(FParent->Font());
            FParentFont = true;
        }
        return;
    default:
        DefaultHandler(m);
        return;
    }
}

void TControl::DefaultHandler(TMessage& m) {
    switch (m.Msg) {
    case WM_GETTEXTLENGTH:
        m.Result = static_cast<LRESULT>(FText.size());
        break;
    default:
        break;
    }
}

// ---- TCustomControl ---------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::Paint() {}

void TCustomControl::PaintWindow(HDC DC) {
    TCanvasOnDC bound(*FCanvas, DC, Font(), FColor);
    Paint();
}

// ---- TGraphicControl --------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Paint() {}

void TGraphicControl::PaintGraphic(HDC DC) {
    TCanvasOnDC bound(*FCanvas, DC, Font(), FColor);
    Paint();
}
