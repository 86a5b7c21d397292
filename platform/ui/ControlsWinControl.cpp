// TWinControl: its window's life, children, tab order and focus, alignment,
// keys and painting, and the message handling that windowed controls share.
#include "platform/ui/Controls.h"

#include "platform/rtl/ScopeGuard.h"
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

#include <QImage>

#include <algorithm>

using namespace platform_ui;

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>()) {
    FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
    Destroying();
    ReleaseSignalContext(this);
    // Leave the parent while this is still a windowed control to it.
    if (Parent()) Parent()->RemoveControl(this);
    if (Screen->FActiveControl == this) Screen->FActiveControl = nullptr;
    // Children go first, each taking its own window with it, so no child
    // keeps a handle that the parent's destruction already took.
    while (!FWinControls.empty())
        delete FWinControls.back();
    while (!FControls.empty())
        delete FControls.back();
    if (FHandle) {
        HWND wnd = FHandle;
        ControlWindowAccess::Detach(this);
        if (GetCapture() == wnd) ReleaseCapture();
        DestroyWindow(wnd);
    }
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle) return;
    if (Parent()) Parent()->HandleNeeded();
    CreateHandle();
}

void TWinControl::CreateHandle() {
    if (FHandle) return;
    CreateWnd();
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params = TCreateParams{};
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
    if (Visible()) Params.Style |= WS_VISIBLE;
    if (!Enabled()) Params.Style |= WS_DISABLED;
    if (FTabStop) Params.Style |= WS_TABSTOP;
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = Height();
    if (Parent()) Params.WndParent = Parent()->FHandle;
    Params.WinClassName = ClassName();
    Params.WindowClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    {
        FControlState += csCreating;
        TScopeGuard creating([this] { FControlState -= csCreating; });
        CreateWindowHandle(params);
    }
    if (!FHandle) throw EOutOfResources("Error creating window of " + ClassName());
    UpdateBoundsFromWindow();
    ApplyImeMode();
    // Children that had no window yet get theirs now, in tab order.
    for (TWinControl* child : FTabList)
        child->CreateHandle();
    for (TWinControl* child : FWinControls)
        child->CreateHandle();
    Realign();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    CreateControlWindow(this, Params);
}

void TWinControl::DestroyWnd() {
    FText = GetText();
    SaveWindowState();
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    if (!FHandle) return;
    FControlState += csDestroyingHandle;
    HWND wnd = FHandle;
    // The children lose their windows with ours; let them keep what they show.
    std::vector<TWinControl*> all;
    GetTabOrderList(all);
    for (TWinControl* c : all)
        if (c->FHandle) {
            c->FText = c->GetText();
            c->SaveWindowState();
        }
    DestroyWindow(wnd);
    for (TWinControl* c : all)
        ControlWindowAccess::Detach(c);
    ControlWindowAccess::Detach(this);
    FControlState -= csDestroyingHandle;
}

void TWinControl::RecreateWnd() {
    if (!FHandle) return;
    const bool hadFocus = Focused();
    {
        FControlState += csRecreating;
        TScopeGuard recreating([this] { FControlState -= csRecreating; });
        DestroyWnd();
        CreateHandle();
    }
    if (hadFocus && CanFocus()) ::SetFocus(FHandle);
}

void TWinControl::UpdateBoundsFromWindow() {
    if (!FHandle) return;
    TRect r;
    GetWindowRect(FHandle, r);
    if (HWND parent = GetParent(FHandle); parent && (GetWindowLong(FHandle, GWL_STYLE) & WS_CHILD)) {
        MapWindowPoints(nullptr, parent, r);
    }
    TControl::FLeft = r.Left;
    TControl::FTop = r.Top;
    TControl::FWidth = r.Width();
    TControl::FHeight = r.Height();
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
        if ((*it)->Visible() && (AllowDisabled || (*it)->Enabled()) && PtInRect((*it)->BoundsRect(), Pos)) return *it;
    return nullptr;
}

TControl* TWinControl::Controls(int Index) const {
    const int graphic = static_cast<int>(FControls.size());
    if (Index < 0 || Index >= ControlCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    if (Index < graphic) return FControls[static_cast<size_t>(Index)];
    return FWinControls[static_cast<size_t>(Index - graphic)];
}

bool TWinControl::ContainsControl(TControl* Control) const {
    while (Control && Control != this)
        Control = Control->Parent();
    return Control == this;
}

void TWinControl::InsertControl(TControl* AControl) {
    AControl->FParent = this;
    if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
        FWinControls.push_back(win);
        FTabList.push_back(win);
    } else {
        FControls.push_back(AControl);
    }
    if (AControl->FParentColor) {
        AControl->FColor = FColor;
        if (auto* win = dynamic_cast<TWinControl*>(AControl)) win->FBrush->SetColor(FColor);
    }
    if (AControl->FParentFont) {
        AControl->FFont->Assign(Font());
        AControl->FParentFont = true;
    }
    if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
        if (FHandle) {
            if (win->FHandle)
                ::SetParent(win->FHandle, FHandle);
            else
                win->CreateHandle();
        }
    }
    AControl->Invalidate();
    Realign();
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
    if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
        if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(win, true);
        std::erase(FWinControls, win);
        std::erase(FTabList, win);
        // A window cannot outlive its parent's: it goes now and comes back
        // when the control finds a new parent.
        if (win->FHandle && !ComponentState().Contains(csDestroying)) win->DestroyWnd();
    } else {
        AControl->Invalidate();
        std::erase(FControls, AControl);
        if (CaptureControl == AControl) CaptureControl = nullptr;
        if (MouseControl == AControl) MouseControl = nullptr;
    }
    AControl->FParent = nullptr;
    Realign();
}

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value) return;
    FTabStop = Value;
    if (FHandle) {
        LONG_PTR style = GetWindowLong(FHandle, GWL_STYLE);
        SetWindowLong(FHandle, GWL_STYLE, Value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
    }
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!Parent()) return;
    auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (Value < 0 || Value >= static_cast<int>(list.size()))
        list.push_back(this);
    else
        list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    const int count = static_cast<int>(list.size());
    auto found = std::find(list.begin(), list.end(), CurControl);
    int start = found == list.end() ? (GoForward ? count - 1 : 0) : static_cast<int>(found - list.begin());
    int i = start;
    do {
        if (GoForward) {
            if (++i == count) i = 0;
        } else {
            if (i == 0) i = count;
            --i;
        }
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c->CanFocus() && (!CheckTabStop || c->FTabStop) && (!CheckParent || c->Parent() == this)) return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) next->SetFocus();
}

bool TWinControl::CanFocus() const {
    TCustomForm* form = GetParentForm(this);
    if (!form) return Visible() && Enabled();
    // The form itself may still be hidden: a control can be chosen before it shows.
    for (const TControl* c = this; c && c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const {
    return FHandle && GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm(this)) {
        form->FocusControl(this);
    } else {
        ::SetFocus(Handle());
    }
}

bool TWinControl::Showing() const {
    if (!FHandle) return false;
    return IsWindowVisible(FHandle);
}

void TWinControl::SetImeMode(TImeMode Value) {
    FImeMode = Value;
    ApplyImeMode();
}

void TWinControl::SetCtl3D(bool Value) {
    if (FCtl3D == Value) return;
    FCtl3D = Value;
    FParentCtl3D = false;
    Perform(CM_CTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool Value) {
    if (FParentCtl3D == Value) return;
    FParentCtl3D = Value;
    if (Value && Parent()) Perform(CM_PARENTCTL3DCHANGED);
}

void TWinControl::ApplyImeMode() {
    if (!FHandle) return;
    // Only "off" means anything here: Qt knows no closed or alphanumeric input
    // method, so those turn it off too, and the others leave it to the window.
    switch (FImeMode) {
    case imDisable:
    case imClose:
    case imSAlpha:
    case imAlpha:
        SetInputMethodEnabled(FHandle, false);
        break;
    default:
        SetInputMethodEnabled(FHandle, true);
        break;
    }
}

TRect TWinControl::ClientRect() const {
    if (!FHandle) return TControl::ClientRect();
    TRect r;
    GetClientRect(FHandle, r);
    return r;
}

void TWinControl::SetClientWidth(int Value) {
    SetWidth(Value + Width() - ClientWidth());
}

void TWinControl::SetClientHeight(int Value) {
    SetHeight(Value + Height() - ClientHeight());
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == Left() && ATop == Top() && AWidth == Width() && AHeight == Height()) return;
    if (FHandle && !FSettingBounds) {
        // The window answers with WM_WINDOWPOSCHANGED, which stores the bounds.
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateBoundsFromWindow();
        TControl::FLeft = ALeft;
        TControl::FTop = ATop;
        TControl::FWidth = AWidth;
        TControl::FHeight = AHeight;
        RequestAlign();
        return;
    }
    TControl::FLeft = ALeft;
    TControl::FTop = ATop;
    TControl::FWidth = AWidth;
    TControl::FHeight = AHeight;
    RequestAlign();
    Realign();
    Resize();
}

void TWinControl::Invalidate() {
    if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::EnableAlign() {
    if (--FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
    if (FAlignLevel > 0 || FAligning || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying))
        return;
    TRect r = ClientRect();
    AdjustClientRect(r);
    FAligning = true;
    TScopeGuard aligning([this] { FAligning = false; });
    AlignControls(nullptr, r);
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    // Top, bottom, left, right, then the client filler, each group in the
    // order of its position, as the framework places them.
    const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    std::vector<TControl*> all(FControls.begin(), FControls.end());
    all.insert(all.end(), FWinControls.begin(), FWinControls.end());
    for (TAlign align : order) {
        std::vector<TControl*> list;
        for (TControl* c : all)
            if (c->Align() == align && c->Visible()) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) {
            auto key = [&](TControl* c) {
                switch (align) {
                case alTop:
                    return c->Top();
                case alBottom:
                    return -(c->Top() + c->Height());
                case alLeft:
                    return c->Left();
                case alRight:
                    return -(c->Left() + c->Width());
                default:
                    return 0;
                }
            };
            if (key(a) == key(b)) return a == AControl && b != AControl;
            return key(a) < key(b);
        });
        for (TControl* c : list) {
            switch (align) {
            case alTop:
                c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->Height());
                Rect.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(Rect.Left, Rect.Bottom - c->Height(), Rect.Width(), c->Height());
                Rect.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(Rect.Left, Rect.Top, c->Width(), Rect.Height());
                Rect.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(Rect.Right - c->Width(), Rect.Top, c->Width(), Rect.Height());
                Rect.Right -= c->Width();
                break;
            case alClient:
                c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
                break;
            default:
                break;
            }
        }
    }
}

void TWinControl::SetTextBuf(const std::string& Value) {
    FText = Value;
    if (FHandle) SetWindowText(FHandle, Value);
}

std::string TWinControl::GetText() const {
    if (FHandle) return GetWindowText(FHandle);
    return FText;
}

void TWinControl::ColorChanged() {
    FBrush->SetColor(FColor);
    Invalidate();
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::FontChanged() {
    if (FHandle) SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
    Invalidate();
    NotifyControls(CM_PARENTFONTCHANGED);
    Perform(CM_FONTCHANGED);
}

void TWinControl::VisibleChanged() {
    if (FHandle) ShowWindow(FHandle, Visible() ? SW_SHOWNA : SW_HIDE);
    if (!Visible())
        if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(this, false);
}

void TWinControl::EnabledChanged() {
    if (FHandle) EnableWindow(FHandle, Enabled());
    if (!Enabled())
        if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(this, false);
    Invalidate();
}

void TWinControl::NotifyControls(UINT Msg) {
    std::vector<TControl*> all(FControls.begin(), FControls.end());
    all.insert(all.end(), FWinControls.begin(), FWinControls.end());
    for (TControl* c : all)
        c->Perform(Msg);
}

void TWinControl::Broadcast(TMessage& Message) {
    std::vector<TControl*> all(FControls.begin(), FControls.end());
    all.insert(all.end(), FWinControls.begin(), FWinControls.end());
    for (TControl* c : all) {
        c->WindowProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::Loaded() {
    TControl::Loaded();
    Realign();
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
    Fire(OnKeyDown, this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
    Fire(OnKeyUp, this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key) {
    Fire(OnKeyPress, this, Key);
}

void TWinControl::DoEnter() {
    Fire(OnEnter, this);
}

void TWinControl::DoExit() {
    Fire(OnExit, this);
}

bool TWinControl::DoKeyEvent(TMessage& m, void (TWinControl::*Handler)(Word&, TShiftState)) {
    const TShiftState shift = KeyDataToShiftState(m.LParam);
    // True when the target swallowed the key by setting it to 0.
    auto deliver = [&](TWinControl* target) {
        Word key = static_cast<Word>(m.WParam);
        (target->*Handler)(key, shift);
        m.WParam = key;
        return key == 0;
    };
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && deliver(form)) return true;
    return !FControlStyle.Contains(csNoStdEvents) && deliver(this);
}

bool TWinControl::DoKeyDown(TMessage& m) { return DoKeyEvent(m, &TWinControl::KeyDown); }

bool TWinControl::DoKeyUp(TMessage& m) { return DoKeyEvent(m, &TWinControl::KeyUp); }

bool TWinControl::DoKeyPress(TMessage& m) {
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview()) {
        char32_t key = static_cast<char32_t>(m.WParam);
        form->KeyPress(key);
        if (key == 0) return true;
        m.WParam = key;
    }
    if (!FControlStyle.Contains(csNoStdEvents)) {
        char32_t key = static_cast<char32_t>(m.WParam);
        KeyPress(key);
        if (key == 0) return true;
        m.WParam = key;
    }
    return false;
}

bool TWinControl::IsMenuKey(TMessage& m) {
    for (TControl* c = this; c; c = c->Parent())
        if (c->PopupMenu() && c->PopupMenu()->IsShortCut(m)) return true;
    if (TCustomForm* form = GetParentForm(this)) return form->IsShortCut(m);
    return false;
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC DC) {
    for (TControl* c : FControls) {
        if (!c->Visible()) continue;
        TRect r = c->BoundsRect();
        if (!RectVisible(DC, &r)) continue;
        const int saved = SaveDC(DC);
        POINT previous;
        OffsetViewportOrgEx(DC, c->Left(), c->Top(), &previous);
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        try {
            // Through the control's procedure, so a subclass sees the paint.
            c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        } catch (...) {
            RestoreDC(DC, saved);
            throw;
        }
        RestoreDC(DC, saved);
    }
}

void TWinControl::PaintHandler(TMessage& m) {
    if (m.WParam) {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        PaintWindow(dc);
        PaintControls(dc);
        return;
    }
    TPaintStruct ps;
    HDC dc = BeginPaint(FHandle, ps);
    // The region is validated whatever the painting does.
    struct EndGuard {
        HWND Wnd;
        TPaintStruct& Ps;
        ~EndGuard() { EndPaint(Wnd, Ps); }
    } guard{FHandle, ps};
    PaintWindow(dc);
    PaintControls(dc);
}

void TWinControl::UpdateControlState() {
    if (FHandle) ShowWindow(FHandle, Visible() ? SW_SHOWNA : SW_HIDE);
}

bool TWinControl::WantsKey(Word Key) {
    // A native widget gets the navigation keys only when it claims them: the
    // others are the dialog's, as an edit control leaves Tab and Enter alone.
    if (!FNativeWindow) return true;
    LRESULT mask = 0;
    switch (Key) {
    case VK_TAB:
        mask = DLGC_WANTTAB;
        break;
    case VK_RETURN:
    case VK_ESCAPE:
        mask = DLGC_WANTALLKEYS;
        break;
    default:
        return true;
    }
    return Perform(CM_WANTSPECIALKEY, Key) != 0 || (Perform(WM_GETDLGCODE, Key) & mask) != 0;
}

void TWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: {
        // Mouse input over a graphic child (or held by one) goes to it.
        TPoint p = PointFromLParam(m.LParam);
        // A disabled control hears of the pointer too; its look decides what that shows.
        if (m.Msg == WM_MOUSEMOVE) SetMouseControl(ControlAtPos(p, true));
        TControl* target =
            CaptureControl && CaptureControl->Parent() == this ? CaptureControl : ControlAtPos(p, false);
        if (target) {
            TMessage child = m;
            child.LParam = MakeLParam(static_cast<Word>(p.X - target->Left()), static_cast<Word>(p.Y - target->Top()));
            // The capture is ours on the child's behalf, taken before it hears
            // the press and given up before it hears the release: a box or a
            // modal form that its handlers open finds the mouse free, and
            // nothing is left held when a handler throws.
            if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) SetCapture(FHandle);
            if (m.Msg == WM_LBUTTONUP && GetCapture() == FHandle) ReleaseCapture();
            target->WindowProc(child);
            return;
        }
        if ((m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN) && FTabStop && CanFocus() && !Focused() &&
            !dynamic_cast<TCustomForm*>(this)) {
            SetFocus();
            // A handler that sent the focus elsewhere (an exit rule that
            // refused) ends the press here: it neither takes the focus a
            // second time nor acts on this control. No focus at all only
            // means the window is not active yet: the press goes on.
            const HWND focus = GetFocus();
            if (!HandleAllocated() || (focus && focus != FHandle && !IsChild(FHandle, focus))) return;
        }
        TControl::WndProc(m);
        return;
    }
    case WM_KEYDOWN:
        if (!DoKeyDown(m) && WantsKey(static_cast<Word>(m.WParam))) DefaultHandler(m);
        return;
    case WM_SYSKEYDOWN:
        if (!DoKeyDown(m)) DefaultHandler(m);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (!DoKeyUp(m)) DefaultHandler(m);
        return;
    case WM_CHAR:
        if (m.WParam >= 0x20 || m.WParam == VK_BACK || m.WParam == VK_RETURN || m.WParam == VK_ESCAPE ||
            m.WParam == VK_TAB) {
            if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0)
                if (TCustomForm* form = GetParentForm(this);
                    form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0)
                    return;
        }
        if (!DoKeyPress(m)) DefaultHandler(m);
        return;
    case WM_SYSCHAR:
        if (m.WParam != VK_SPACE)
            if (TCustomForm* form = GetParentForm(this)) {
                m.Result = form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
                if (m.Result != 0) return;
            }
        DefaultHandler(m);
        return;
    case WM_CANCELMODE:
        // A graphic child pressed through our capture loses its press with it.
        if (CaptureControl && CaptureControl->Parent() == this) CaptureControl->Perform(WM_CANCELMODE, 0, 0);
        TControl::WndProc(m);
        return;
    case CM_MOUSELEAVE:
        if (MouseControl && MouseControl->Parent() == this) SetMouseControl(nullptr);
        TControl::WndProc(m);
        return;
    case WM_SETCURSOR:
        // The control under the pointer (a graphic child or this one) gives
        // the cursor shape.
        if (LoWord(static_cast<uintptr_t>(m.LParam)) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == FHandle) {
            if (WidgetOfWindow(FHandle)) {
                TPoint p;
                GetCursorPos(p);
                p = ScreenToClient(p);
                TControl* under = this;
                for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
                    if ((*it)->Visible() && PtInRect((*it)->BoundsRect(), p)) {
                        under = *it;
                        break;
                    }
                // crDefault leaves it to the window class (an edit's I-beam).
                if (under->Cursor() != crDefault) {
                    ::SetCursor(Screen->Cursors(under->Cursor()));
                    m.Result = 1;
                    return;
                }
            }
        }
        DefaultHandler(m);
        return;
    case WM_SETFOCUS:
        if (TCustomForm* form = GetParentForm(this); form && form != this) form->SetFocusedControl(this);
        DefaultHandler(m);
        return;
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
    case WM_PAINT:
        if (FNativeWindow || FClassProcedure)
            DefaultHandler(m);
        else
            PaintHandler(m);
        return;
    case WM_ERASEBKGND: {
        if (FNativeWindow || FClassProcedure) {
            DefaultHandler(m);
            return;
        }
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        TRect r = ClientRect();
        HBRUSH brush = CreateSolidBrush(ColorToRGB(FColor));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        m.Result = 1;
        return;
    }
    case WM_WINDOWPOSCHANGED: {
        DefaultHandler(m);
        const int oldW = Width(), oldH = Height();
        FSettingBounds = true;
        UpdateBoundsFromWindow();
        FSettingBounds = false;
        if (oldW != Width() || oldH != Height()) {
            Realign();
            Resize();
        }
        return;
    }
    case WM_SIZE:
        DefaultHandler(m);
        Realign();
        return;
    case WM_COMMAND:
    case WM_NOTIFY:
        if (!ReflectToChildControl(m)) TControl::WndProc(m);
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        Broadcast(m);
        return;
    case CM_PARENTCOLORCHANGED:
    case CM_PARENTFONTCHANGED:
        TControl::WndProc(m);
        return;
    case CM_CTL3DCHANGED:
        NotifyControls(CM_PARENTCTL3DCHANGED);
        return;
    case CM_PARENTCTL3DCHANGED:
        if (FParentCtl3D && Parent()) {
            SetCtl3D(Parent()->Ctl3D());
            FParentCtl3D = true;
        }
        return;
    // Every control of the form hears where the focus went.
    case CM_FOCUSCHANGED:
        Broadcast(m);
        return;
    default:
        TControl::WndProc(m);
        return;
    }
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (!FHandle) {
        TControl::DefaultHandler(m);
        return;
    }
    if (FClassProcedure)
        FClassProcedure(FHandle, m);
    else if (FNativeWindow)
        NativeWindowProc(FHandle, m);
    else
        DefWindowProc(FHandle, m);
}

bool TWinControl::SaveImage(const std::string& FileName) {
    QImage image = RenderWindow(Handle());
    return !image.isNull() && image.save(ToQString(FileName));
}
