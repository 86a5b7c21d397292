// Forms, data modules, the application and the screen. Focus bookkeeping
// follows the framework: a control that gets the focus tells its form, which
// sends CM_EXIT up from the old control and CM_ENTER down to the new one and
// remembers it as ActiveControl. Dialog keys reach the form through the
// window manager's dialog-key hook as CM_DIALOGKEY.
#include "platform/ui/Forms.h"

#include "platform/ui/ActnList.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Input.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/NonClient.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Resources.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/private/ControlHost_p.h"
#include "platform/ui/private/Cursor_p.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/QtApplication_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace platform_ui;

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

namespace platform_ui {
// Through the queue, so a failure inside Qt's paint is shown after it.
void ShowControlException(const std::exception& E) {
    ReportException(E);
}
} // namespace platform_ui

namespace {

// How a window in State is shown.
int ShowCommand(TWindowState State) {
    return State == wsMaximized ? SW_SHOWMAXIMIZED : State == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
}

constexpr char MDIClientClassName[] = "MDICLIENT";
constexpr char ApplicationClassName[] = "TApplication";

// The MDI client fills what the frame's aligned controls leave free and
// erases with the frame's colour; a wallpaper component subclasses it.
void MDIClientProcedure(HWND wnd, TMessage& m) {
    if (m.Msg == WM_SIZE) {
        DefWindowProc(wnd, m);
        // Maximised children keep covering the client area; minimised ones
        // keep to its bottom.
        for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (IsZoomed(child) && (GetWindowLong(child, GWL_STYLE) & WS_VISIBLE)) ShowWindow(child, SW_MAXIMIZE);
        ArrangeIconicWindows(wnd);
        return;
    }
    if (m.Msg == WM_ERASEBKGND) {
        TWinControl* frame = FindControl(GetParent(wnd));
        TRect r;
        GetClientRect(wnd, r);
        HBRUSH brush = CreateSolidBrush(ColorToRGB(frame ? frame->Color() : clAppWorkSpace));
        FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush);
        DeleteObject(brush);
        m.Result = 1;
        return;
    }
    if (m.Msg == WM_MDIGETACTIVE || m.Msg == WM_MDIACTIVATE || m.Msg == WM_MDINEXT) {
        if (TWinControl* frame = FindControl(GetParent(wnd))) m.Result = frame->Perform(m.Msg, m.WParam, m.LParam);
        return;
    }
    DefWindowProc(wnd, m);
}

void EnsureClass(const char* name, TWindowProcedure procedure) {
    TWindowClass existing;
    if (GetClassInfo(name, existing)) return;
    TWindowClass cls;
    cls.ClassName = name;
    cls.Style = CS_DBLCLKS;
    cls.WindowProcedure = std::move(procedure);
    RegisterClass(cls);
}

// The forms' side of the dialog keys: Tab, the arrows, Enter and Esc that the
// focused control does not claim become CM_DIALOGKEY to its form.
bool DialogKey(const TMessage& msg, HWND focus) {
    TWinControl* control = nullptr;
    for (HWND w = focus; w && !control; w = GetParent(w))
        control = FindControl(w);
    if (!control) return false;
    TCustomForm* form = GetParentForm(control);
    if (!form) return false;
    return form->Perform(CM_DIALOGKEY, msg.WParam, msg.LParam) != 0;
}

bool AltDown() {
    return GetKeyState(VK_MENU) < 0;
}
bool CtrlDown() {
    return GetKeyState(VK_CONTROL) < 0;
}
bool ShiftDown() {
    return GetKeyState(VK_SHIFT) < 0;
}

// The MDI frame's keys, once no shortcut took them: Ctrl+F4 closes the active
// child, Ctrl+F6 and Ctrl+Tab activate the next one (with Shift the previous).
bool MDIKey(const TMessage& msg, TWinControl* control) {
    if (msg.Msg != WM_KEYDOWN || !CtrlDown() || AltDown()) return false;
    if (msg.WParam != VK_F4 && msg.WParam != VK_F6 && msg.WParam != VK_TAB) return false;
    TCustomForm* form = GetParentForm(control);
    TCustomForm* frame = form && form->FormStyle() == fsMDIChild ? Application->MainForm() : form;
    if (!frame || frame->FormStyle() != fsMDIForm || !frame->ClientHandle()) return false;
    TCustomForm* child = frame->ActiveMDIChild();
    if (!child || !child->HandleAllocated() || !IsWindowVisible(child->Handle())) return false;
    if (msg.WParam == VK_F4) {
        if (ShiftDown()) return false;
        SendMessage(child->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        SendMessage(frame->ClientHandle(), WM_MDINEXT, reinterpret_cast<WPARAM>(child->Handle()), ShiftDown());
    }
    return true;
}

// Menu and action shortcuts come before dialog keys and the key preview.
bool MenuKey(const TMessage& msg, HWND focus) {
    TWinControl* control = nullptr;
    for (HWND w = focus; w && !control; w = GetParent(w))
        control = FindControl(w);
    if (!control) return false;
    TMessage copy = msg;
    if (control->IsMenuKey(copy)) return true;
    return MDIKey(msg, control);
}

// Before the program waits for input, the actions on screen check their state.
// Called by Qt: whatever a handler throws stays on this side, and a failed
// update does not stop the next ones.
void UpdateActionsWhenIdle() {
    static bool updating = false;
    if (updating) return;
    updating = true;
    struct Reset {
        ~Reset() { updating = false; }
    } reset;
    RunGuarded([] {
        TCustomForm* active = Screen->ActiveForm();
        if (active) active->UpdateActions();
        if (TCustomForm* main = Application->MainForm(); main && main != active) main->UpdateActions();
    });
}

// A press on a control tells the active control of its form that another one
// was clicked, before the focus moves (drop-downs close their pop-ups).
void CancelModeOnPress(HWND Wnd) {
    TWinControl* clicked = FindControl(Wnd);
    TCustomForm* form = clicked ? GetParentForm(clicked) : nullptr;
    TWinControl* active = form ? form->ActiveControl() : nullptr;
    if (active && active != clicked)
        active->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(clicked)));
}

// Qt gives the window manager this icon, with all its sizes, for every
// top-level window.
void ShowApplicationIconOnWindows() {
    if (QCoreApplication::instance()) QApplication::setWindowIcon(QIconOf(Application->Icon()->Handle()));
}

// The application's hooks into the window manager: dialog keys, menu keys,
// presses, the exception boundary's box, the idle action update and the
// windows' icon.
void InstallApplicationHooks() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    ShowApplicationIconOnWindows();
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &EnsureQtApplication(), UpdateActionsWhenIdle);
    SetDialogKeyHook(DialogKey);
    SetKeyMessageHook(MenuKey);
    SetMouseDownHook(CancelModeOnPress);
    SetExceptionHandler([](const std::exception& e) { Application->HandleException(e); });
}

// The buttons of a maximised MDI child at the right of the frame's menu bar.
struct MDIChildButton {
    int HitTest;
    UINT Glyph;
    WPARAM Command;
    DWORD Style; // the child's style that enables it (0: always)
};
constexpr MDIChildButton MDIChildButtons[] = {
    {HTMINBUTTON, DFCS_CAPTIONMIN, SC_MINIMIZE, WS_MINIMIZEBOX},
    {HTMAXBUTTON, DFCS_CAPTIONRESTORE, SC_RESTORE, WS_MAXIMIZEBOX},
    {HTCLOSE, DFCS_CAPTIONCLOSE, SC_CLOSE, 0},
};

// The screen point of a non-client message in the window's coordinates.
TPoint WindowPointOf(HWND wnd, LPARAM screenPoint) {
    TRect window;
    GetWindowRect(wnd, window);
    return {SmallLo(static_cast<uintptr_t>(screenPoint)) - window.Left,
            SmallHi(static_cast<uintptr_t>(screenPoint)) - window.Top};
}

TRect PlaceOf(const TCaptionButtons& places, int HitTest) {
    return HitTest == HTMINBUTTON ? places.Min : HitTest == HTMAXBUTTON ? places.Max : places.Close;
}

} // namespace

bool IsAccel(char32_t Key, const std::string& Caption) {
    // The character after a single "&" ("&&" is a literal ampersand).
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&') continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(Caption[i + 1]);
        if (c >= 0x80) return false;
        auto lower = [](char32_t ch) { return ch >= 'A' && ch <= 'Z' ? ch + 32 : ch; };
        return lower(Key) == lower(static_cast<char32_t>(c));
    }
    return false;
}

// ---- TCustomForm ------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    EnsureQtApplication();
    InstallApplicationHooks();
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetVisible(false);
    FParentColor = false;
    FParentFont = false;
    FColor = clBtnFace;
    FBrush->SetColor(FColor);
    SetBounds(0, 0, 320, 240);
    Screen->FForms.push_back(this);
}

TCustomForm::~TCustomForm() {
    if (FCreated) {
        try {
            DoDestroy();
        } catch (const std::exception& e) {
            Application->HandleException(e);
        }
    }
    Destroying();
    // The windows go first (an MDI frame's children's before its own), while
    // every object they belong to is still whole.
    DestroyWindowHandle();
    if (FFormStyle == fsMDIChild) {
        MergeMenu(false);
        if (Application->MainForm() && Application->MainForm() != this) Application->MainForm()->MDIChildGone(this);
    }
    // The menu may outlive this form (it goes with the owner's components).
    if (FMenu) {
        FMenu->RemoveFreeNotification(this);
        FMenu->FWindow = nullptr;
        FMenu = nullptr;
    }
    std::erase(Screen->FForms, this);
    if (Screen->FActiveForm == this) Screen->FActiveForm = nullptr;
    if (Screen->FFocusedForm == this) Screen->FFocusedForm = nullptr;
    if (Application->FMainForm == this) Application->FMainForm = nullptr;
    // Children first, while this is still a form they can ask about.
    while (ControlCount() > 0)
        delete Controls(ControlCount() - 1);
}

void TCustomForm::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    DoCreate();
    if (FFormStyle == fsMDIChild || Visible()) {
        SetVisible(false);
        Show();
    }
}

void TCustomForm::DoCreate() {
    Fire(OnCreate, this);
}

void TCustomForm::DoDestroy() {
    Fire(OnDestroy, this);
}

void TCustomForm::DoShow() {
    Fire(OnShow, this);
}

void TCustomForm::DoHide() {
    Fire(OnHide, this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    Fire(OnClose, this, Action);
}

void TCustomForm::Activate() {
    Fire(OnActivate, this);
}

void TCustomForm::Deactivate() {
    Fire(OnDeactivate, this);
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value) return;
    FFormStyle = Value;
    if (Value == fsMDIChild) SetVisible(true);
    if (FHandle) RecreateWnd();
}

TWindowState TCustomForm::WindowState() const {
    if (FHandle) {
        if (IsIconic(FHandle)) return wsMinimized;
        if (IsZoomed(FHandle)) return wsMaximized;
        if (IsWindowVisible(FHandle)) return wsNormal;
    }
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
    const TWindowState old = WindowState();
    FWindowState = Value;
    if (FHandle && Visible()) {
        ShowWindow(FHandle, Value == wsMaximized   ? SW_SHOWMAXIMIZED
                            : Value == wsMinimized ? SW_SHOWMINIMIZED
                                                   : SW_RESTORE);
        UpdateBoundsFromWindow();
        Realign();
    }
    if (Application->MainForm() == this && old != Value) {
        if (Value == wsMinimized)
            Application->Minimize();
        else if (old == wsMinimized)
            Application->Restore();
    }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    if (FHandle) RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (FBorderIcons == Value) return;
    FBorderIcons = Value;
    if (FHandle) RecreateWnd();
}

void TCustomForm::SetClientWidth(int Value) {
    TCreateParams p;
    CreateParams(p);
    TRect r = Rect(0, 0, Value, 100);
    AdjustWindowRectEx(r, p.Style, false, p.ExStyle);
    SetWidth(r.Width());
}

void TCustomForm::SetClientHeight(int Value) {
    TCreateParams p;
    CreateParams(p);
    TRect r = Rect(0, 0, 100, Value);
    AdjustWindowRectEx(r, p.Style, false, p.ExStyle);
    SetHeight(r.Height() + MenuBarHeight());
}

void TCustomForm::SetMenu(TMainMenu* Value) {
    if (FMenu == Value) return;
    if (FMenu) {
        FMenu->RemoveFreeNotification(this);
        FMenu->FWindow = nullptr;
    }
    FMenu = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->FWindow = this;
    }
    // The active MDI child shows its new menu in the frame's bar at once.
    if (FFormStyle == fsMDIChild && Application->MainForm() && Application->MainForm()->ActiveMDIChild() == this)
        MergeMenu(true);
    MenuChanged();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FMenu) {
        FMenu = nullptr;
        MenuChanged();
    }
    if (AComponent == FActiveControl) FActiveControl = nullptr;
    if (AComponent == FFocusedControl) FFocusedControl = nullptr;
}

int TCustomForm::MenuBarHeight() const {
    // An MDI child's menu shows in the frame's bar, merged.
    if (!FMenu || FFormStyle == fsMDIChild) return 0;
    return GetSystemMetrics(SM_CYMENU) + 1;
}

TRect TCustomForm::MenuBarRect() const {
    if (!FHandle) return {};
    TRect window;
    GetWindowRect(FHandle, window);
    TPoint origin{0, 0};
    ::ClientToScreen(FHandle, origin);
    TRect client;
    GetClientRect(FHandle, client);
    const int left = origin.X - window.Left, top = origin.Y - window.Top;
    return Rect(left, top - MenuBarHeight(), left + client.Width(), top);
}

void TCustomForm::MenuChanged() {
    if (FHandle) SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void TCustomForm::MergeMenu(bool Merge) {
    if (FFormStyle != fsMDIChild || !Application->MainForm() || Application->MainForm() == this) return;
    TMainMenu* frameMenu = Application->MainForm()->Menu();
    if (!frameMenu) return;
    if (Merge && FMenu && FMenu->AutoMerge())
        frameMenu->Merge(FMenu);
    else if (!Merge && frameMenu->Merged() == FMenu)
        frameMenu->Unmerge(FMenu);
    else if (Merge && !FMenu)
        frameMenu->Unmerge(frameMenu->Merged());
    Application->MainForm()->MenuChanged();
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style = WS_CLIPCHILDREN;
    Params.ExStyle = 0;
    switch (FBorderStyle) {
    case bsNone:
        Params.Style |= WS_POPUP;
        break;
    case bsSingle:
        Params.Style |= WS_CAPTION | WS_BORDER;
        break;
    case bsSizeable:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow:
        Params.Style |= WS_CAPTION;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
    if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
        if (FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
        if (FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
    }
    Params.WndParent = nullptr;
    if (FFormStyle == fsMDIChild && Application->MainForm() && Application->MainForm() != this) {
        Params.Style |= WS_CHILD | WS_CLIPSIBLINGS;
        Params.ExStyle |= WS_EX_MDICHILD;
        Params.WndParent = Application->MainForm()->ClientHandle();
    } else if (Application->MainForm() != this) {
        Params.WndParent = Application->Handle();
    }
    if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
}

void TCustomForm::CreateWnd() {
    if (FFormStyle == fsMDIChild &&
        (!Application->MainForm() || Application->MainForm() == this || !Application->MainForm()->ClientHandle()))
        throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    TWinControl::CreateWnd();
    if (FFormStyle == fsMDIForm && !FClientHandle) {
        EnsureClass(MDIClientClassName, MDIClientProcedure);
        TRect r = ClientRect();
        FClientHandle = CreateWindowEx(WS_EX_CLIENTEDGE, MDIClientClassName, "",
                                       WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, r.Width(),
                                       r.Height(), FHandle);
        Realign();
    }
    MenuChanged();
    // A window made again while the form is on screen (a style changed)
    // shows as the old one did.
    if (FShown && Visible()) {
        ShowWindow(FHandle, ShowCommand(FWindowState));
        UpdateBoundsFromWindow();
        Realign();
    }
}

void TCustomForm::DestroyWindowHandle() {
    if (FClientHandle) {
        for (int i = MDIChildCount() - 1; i >= 0; --i)
            MDIChildren(i)->DestroyWnd();
        DestroyWindow(FClientHandle);
        FClientHandle = nullptr;
    }
    TWinControl::DestroyWindowHandle();
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
    TWinControl::AlignControls(AControl, Rect);
    if (FClientHandle) MoveWindow(FClientHandle, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), true);
}

void TCustomForm::PlaceOnScreen() {
    const TRect work = Screen->WorkAreaRect();
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        SetBounds(work.Left + (work.Width() - Width()) / 2, work.Top + (work.Height() - Height()) / 2, Width(),
                  Height());
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* center = dynamic_cast<TCustomForm*>(Owner());
        if (FPosition == poMainFormCenter || !center) center = Application->MainForm();
        if (center && center != this && center->HandleAllocated()) {
            TRect r;
            GetWindowRect(center->FHandle, r);
            SetBounds(r.Left + (r.Width() - Width()) / 2, r.Top + (r.Height() - Height()) / 2, Width(), Height());
        } else {
            SetBounds(work.Left + (work.Width() - Width()) / 2, work.Top + (work.Height() - Height()) / 2, Width(),
                      Height());
        }
        break;
    }
    default:
        break;
    }
}

void TCustomForm::Show() {
    if (!FCreated) AfterConstruction();
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide() {
    SetVisible(false);
}

void TCustomForm::VisibleChanged() {
    if (ComponentState().Contains(csDestroying)) return;
    if (Visible()) {
        HandleNeeded();
        if (!FShown) {
            FShown = true;
            PlaceOnScreen();
        }
        DoShow();
        if (!Visible()) return; // OnShow may hide it again
        ShowWindow(FHandle, ShowCommand(FWindowState));
        UpdateBoundsFromWindow();
        Realign();
        if (FWindowState != wsMinimized) {
            if (FFormStyle == fsMDIChild) {
                if (Application->MainForm()) Application->MainForm()->MDIChildActivated(this);
            } else {
                SetActiveWindow(FHandle);
            }
            SetWindowFocus();
        }
    } else if (FHandle) {
        DoHide();
        const bool wasActive = GetActiveWindow() == FHandle;
        const bool hadFocus = GetFocus() && (GetFocus() == FHandle || IsChild(FHandle, GetFocus()));
        ShowWindow(FHandle, SW_HIDE);
        if (hadFocus) ::SetFocus(nullptr);
        if (FFormStyle == fsMDIChild && Application->MainForm()) Application->MainForm()->MDIChildGone(this);
        if (wasActive && Application->MainForm() && Application->MainForm() != this &&
            Application->MainForm()->HandleAllocated() && Application->MainForm()->Visible())
            SetActiveWindow(Application->MainForm()->FHandle);
    }
}

void TCustomForm::BringToFront() {
    if (!FHandle || !Visible()) return;
    BringWindowToTop(FHandle);
    if (FFormStyle == fsMDIChild) {
        if (Application->MainForm()) Application->MainForm()->MDIChildActivated(this);
    } else {
        SetActiveWindow(FHandle);
    }
}

void TCustomForm::SetWindowFocus() {
    if (!FHandle) return;
    TWinControl* target = FActiveControl && FActiveControl->CanFocus() ? FActiveControl : nullptr;
    if (!target && !FActiveControl) {
        // Nothing chosen yet: the first control in tab order, as a dialog would.
        target = FindNextControl(nullptr, true, true, false);
        if (target) FActiveControl = target;
    }
    ::SetFocus(target ? target->Handle() : FHandle);
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control) return;
    if (Control && !(Control != this && GetParentForm(Control) == this &&
                     (ComponentState().Contains(csLoading) || Control->CanFocus())))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    FActiveControl = Control;
    if (Control) Control->FreeNotification(this);
    if (!ComponentState().Contains(csLoading) && FHandle && IsWindowVisible(FHandle) &&
        (FActive || GetActiveWindow() == FHandle || FFormStyle == fsMDIChild))
        SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
    const bool wasActive = FActive;
    SetActiveControl(Control);
    if (!wasActive && FHandle && IsWindowVisible(FHandle)) {
        if (FFormStyle == fsMDIChild) {
            if (Application->MainForm()) Application->MainForm()->MDIChildActivated(this);
        } else if (GetActiveWindow() != FHandle) {
            SetActiveWindow(FHandle);
        }
        SetWindowFocus();
    }
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    ++FFocusCount;
    if (Control != this) FActiveControl = Control;
    if (Control) Control->FreeNotification(this);
    Screen->FActiveControl = Control;
    Screen->FActiveForm = this;
    if (Control->ControlState().Contains(csFocusing)) return false;
    Control->SetControlState(Control->ControlState() + csFocusing);
    struct Clear {
        TWinControl* C;
        ~Clear() { C->SetControlState(C->ControlState() - csFocusing); }
    } clear{Control};
    // A handler that moves the focus again ends this round: the newer one wins.
    auto send = [this](TWinControl* target, UINT msg) {
        const int count = FFocusCount;
        if (target->HandleAllocated())
            SendMessage(target->Handle(), msg);
        else
            target->Perform(msg);
        return count == FFocusCount;
    };
    if (Screen->FFocusedForm != this) {
        if (TCustomForm* old = Screen->FFocusedForm) {
            Screen->FFocusedForm = nullptr;
            if (!send(old, CM_DEACTIVATE)) return false;
        }
        Screen->FFocusedForm = this;
        if (!send(this, CM_ACTIVATE)) return false;
    }
    if (!FFocusedControl) FFocusedControl = this;
    if (FFocusedControl != Control) {
        while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
            TWinControl* leaving = FFocusedControl;
            FFocusedControl = FFocusedControl->Parent();
            if (!send(leaving, CM_EXIT)) return false;
        }
        while (FFocusedControl != Control) {
            TWinControl* entering = Control;
            while (entering->Parent() != FFocusedControl)
                entering = entering->Parent();
            FFocusedControl = entering;
            if (!send(entering, CM_ENTER)) return false;
        }
        // Scrolling containers bring the focused control into view.
        for (TWinControl* p = Control->Parent(); p; p = p->Parent())
            if (auto* scrolling = dynamic_cast<TScrollingWinControl*>(p)) scrolling->ScrollInView(Control);
        Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    }
    return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (Removing && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->Parent();
    if (Control->ContainsControl(FActiveControl)) {
        TWinControl* next = FindNextControl(Control, true, true, false);
        FActiveControl = next && !Control->ContainsControl(next) ? next : nullptr;
        if (FActiveControl && FHandle && GetFocus() &&
            IsChild(Control->HandleAllocated() ? Control->Handle() : FHandle, GetFocus()))
            ::SetFocus(FActiveControl->Handle());
    }
}

bool TCustomForm::IsShortCut(TMessage& Message) {
    if (FMenu && FMenu->IsShortCut(Message)) return true;
    // Action lists owned by the form.
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* list = dynamic_cast<TCustomActionList*>(Components(i)); list && list->IsShortCut(Message))
            return true;
    // An MDI child's keys reach the frame's menu and actions as well.
    if (FFormStyle == fsMDIChild && Application->MainForm() && Application->MainForm() != this)
        return Application->MainForm()->IsShortCut(Message);
    return false;
}

void TCustomForm::UpdateActions() {
    if (!FHandle || !IsWindowVisible(FHandle)) return;
    std::function<void(TControl*)> visit = [&](TControl* c) {
        if (!c->Visible()) return;
        if (TBasicAction* action = c->Action()) action->Update();
        if (auto* win = dynamic_cast<TWinControl*>(c))
            for (int i = 0; i < win->ControlCount(); ++i)
                visit(win->Controls(i));
    };
    for (int i = 0; i < ControlCount(); ++i)
        visit(Controls(i));
    if (FMenu)
        for (TMenuItem* item : FMenu->ShownItems())
            if (item->Visible() && item->Action()) item->Action()->Update();
}

int TCustomForm::MDIChildCount() const {
    if (!FClientHandle) return 0;
    int count = 0;
    for (HWND w = GetWindow(FClientHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (dynamic_cast<TCustomForm*>(FindControl(w))) ++count;
    return count;
}

TCustomForm* TCustomForm::MDIChildren(int Index) const {
    if (FClientHandle) {
        int i = 0;
        for (HWND w = GetWindow(FClientHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            if (auto* form = dynamic_cast<TCustomForm*>(FindControl(w)))
                if (i++ == Index) return form;
    }
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
    return FMDIChildren.empty() ? nullptr : FMDIChildren.front();
}

void TCustomForm::MDIChildActivated(TCustomForm* Child) {
    TCustomForm* previous = ActiveMDIChild();
    std::erase(FMDIChildren, Child);
    FMDIChildren.insert(FMDIChildren.begin(), Child);
    if (Child->FHandle) BringWindowToTop(Child->FHandle);
    if (previous && previous != Child) previous->MergeMenu(false);
    Child->MergeMenu(true);
    if (FHandle && GetActiveWindow() != FHandle) SetActiveWindow(FHandle);
    UpdateMDICaptions(FHandle && GetActiveWindow() == FHandle);
    if (FHandle) InvalidateFrame(FHandle);
}

void TCustomForm::UpdateMDICaptions(bool FrameActive) {
    TCustomForm* active = ActiveMDIChild();
    for (TCustomForm* child : FMDIChildren)
        if (child->FHandle) SendMessage(child->FHandle, WM_NCACTIVATE, FrameActive && child == active, 0);
}

TCustomForm* TCustomForm::MaximizedMDIChild() const {
    if (FFormStyle != fsMDIForm || MenuBarHeight() == 0) return nullptr;
    TCustomForm* child = ActiveMDIChild();
    return child && child->FHandle && IsZoomed(child->FHandle) && IsWindowVisible(child->FHandle) ? child : nullptr;
}

TCaptionButtons TCustomForm::MDIChildButtonRects() const {
    TRect bar = MenuBarRect();
    --bar.Bottom; // the bar's last row parts it from the client area
    return CaptionButtonRects(bar, false);
}

TRect TCustomForm::MDIChildIconRect() const {
    TRect bar = MenuBarRect();
    --bar.Bottom;
    return {bar.Left, bar.Top, bar.Left + bar.Height(), bar.Bottom};
}

TRect TCustomForm::MenuItemsRect() const {
    TRect bar = MenuBarRect();
    if (MaximizedMDIChild()) bar.Left = MDIChildIconRect().Right;
    return bar;
}

void TCustomForm::PaintMDIChildButtons(HDC DC) {
    TCustomForm* child = MaximizedMDIChild();
    if (!child) return;
    if (auto icon = reinterpret_cast<HICON>(SendMessage(child->FHandle, WM_GETICON, ICON_SMALL, 0))) {
        const TRect r = MDIChildIconRect();
        const int size = GetSystemMetrics(SM_CXSMICON);
        DrawIconEx(DC, r.Left + (r.Width() - size) / 2, r.Top + (r.Height() - size) / 2, icon, size, size);
    }
    const TCaptionButtons places = MDIChildButtonRects();
    const DWORD style = static_cast<DWORD>(GetWindowLong(child->FHandle, GWL_STYLE));
    for (const MDIChildButton& button : MDIChildButtons) {
        TRect r = PlaceOf(places, button.HitTest);
        UINT state = button.Glyph;
        if (button.Style && !(style & button.Style)) state |= DFCS_INACTIVE;
        if (PushedFrameButton(FHandle) == button.HitTest) state |= DFCS_PUSHED;
        DrawFrameControl(DC, &r, DFC_CAPTION, state);
    }
}

bool TCustomForm::ClickMDIChildButton(TPoint WindowPoint) {
    TCustomForm* child = MaximizedMDIChild();
    if (!child) return false;
    if (PtInRect(MDIChildIconRect(), WindowPoint)) {
        child->SystemMenuPressed();
        return true;
    }
    const TCaptionButtons places = MDIChildButtonRects();
    const HWND childHandle = child->FHandle;
    const DWORD style = static_cast<DWORD>(GetWindowLong(childHandle, GWL_STYLE));
    for (const MDIChildButton& button : MDIChildButtons) {
        const TRect r = PlaceOf(places, button.HitTest);
        if (!PtInRect(r, WindowPoint)) continue;
        if ((!button.Style || (style & button.Style)) && TrackFrameButton(FHandle, button.HitTest, r) &&
            IsWindow(childHandle))
            SendMessage(childHandle, WM_SYSCOMMAND, button.Command, 0);
        return true;
    }
    return false;
}

void TCustomForm::MDIClientMessage(TMessage& m) {
    TCustomForm* active = ActiveMDIChild();
    if (active && (!active->FHandle || !IsWindowVisible(active->FHandle))) active = nullptr;
    switch (m.Msg) {
    case WM_MDIGETACTIVE:
        if (active) {
            m.Result = reinterpret_cast<LRESULT>(active->FHandle);
            if (m.LParam) *reinterpret_cast<bool*>(m.LParam) = IsZoomed(active->FHandle);
        }
        return;
    case WM_MDIACTIVATE:
        if (auto* child = dynamic_cast<TCustomForm*>(FindControl(reinterpret_cast<HWND>(m.WParam)));
            child && child->FFormStyle == fsMDIChild && child->FHandle && IsWindowVisible(child->FHandle)) {
            MDIChildActivated(child);
            child->SetWindowFocus();
        }
        return;
    case WM_MDINEXT: {
        // The child below the given one (the active one when none) in the
        // z-order comes forward and the given one goes to the bottom, so that
        // repeating it visits every child; the previous one is the one above,
        // from the top the bottom one.
        HWND from = m.WParam ? reinterpret_cast<HWND>(m.WParam) : active ? active->FHandle : nullptr;
        std::vector<HWND> shown;
        for (HWND w = FClientHandle ? GetWindow(FClientHandle, GW_CHILD) : nullptr; w; w = GetWindow(w, GW_HWNDNEXT))
            if (IsWindowVisible(w) && IsWindowEnabled(w) && dynamic_cast<TCustomForm*>(FindControl(w)))
                shown.push_back(w);
        const auto at = std::find(shown.begin(), shown.end(), from);
        if (at == shown.end() || shown.size() < 2) return;
        const size_t i = static_cast<size_t>(at - shown.begin());
        HWND next = m.LParam ? shown[(i + shown.size() - 1) % shown.size()] : shown[(i + 1) % shown.size()];
        Perform(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(next), 0);
        if (!m.LParam && IsWindow(from))
            SetWindowPos(from, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    default:
        return;
    }
}

void TCustomForm::ShowSystemMenu() {
    const HWND wnd = FHandle;
    if (!wnd || !HasEmulatedCaption(wnd) || !(GetWindowLong(wnd, GWL_STYLE) & WS_SYSMENU)) return;
    FSystemMenuDismissed = false;
    // Under the icon: the title bar's, or the frame's menu bar's while maximised.
    TCustomForm* frame = Application->MainForm();
    const bool inBar = frame && frame != this && frame->MaximizedMDIChild() == this;
    const TRect icon = inBar ? frame->MDIChildIconRect() : CaptionIconRect(wnd);
    TRect window;
    GetWindowRect(inBar ? frame->FHandle : wnd, window);
    const TPoint at{window.Left + icon.Left, window.Top + icon.Bottom};
    const auto style = static_cast<DWORD>(GetWindowLong(wnd, GWL_STYLE));
    const bool minimized = IsIconic(wnd), maximized = IsZoomed(wnd);
    struct Entry {
        const char* Caption;
        WPARAM Command;
        bool Enabled;
    };
    const Entry entries[] = {
        {"还原(&R)", SC_RESTORE, minimized || maximized},
        {"移动(&M)", SC_MOVE, !maximized},
        {"大小(&S)", SC_SIZE, !minimized && !maximized && (style & WS_THICKFRAME)},
        {"最小化(&N)", SC_MINIMIZE, !minimized && (style & WS_MINIMIZEBOX)},
        {"最大化(&X)", SC_MAXIMIZE, !maximized && (style & WS_MAXIMIZEBOX)},
        {"-", 0, true},
        {"关闭(&C)", SC_CLOSE, true},
    };
    TPopupMenu menu(nullptr);
    bool chosen = false;
    for (const Entry& entry : entries) {
        auto* item = new TMenuItem(&menu);
        item->SetCaption(entry.Caption);
        item->SetEnabled(entry.Enabled);
        if (entry.Command == SC_CLOSE) {
            item->SetShortCut(ShortCut(VK_F4, {ssCtrl}));
            item->SetDefault(true);
        }
        const WPARAM command = entry.Command;
        if (command)
            item->OnClick = [wnd, command, &chosen](TObject*) {
                chosen = true;
                if (IsWindow(wnd)) SendMessage(wnd, WM_SYSCOMMAND, command, 0);
            };
        menu.Items()->Add(item);
    }
    menu.Popup(at.X, at.Y);
    if (!chosen && IsWindow(wnd)) {
        FSystemMenuDismissed = true;
        FSystemMenuDismissedAt = GetTickCount();
    }
}

void TCustomForm::SystemMenuPressed() {
    if (FSystemMenuDismissed && GetTickCount() - FSystemMenuDismissedAt <= GetDoubleClickTime()) {
        FSystemMenuDismissed = false;
        SendMessage(FHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
    ShowSystemMenu();
}

void TCustomForm::MDIChildGone(TCustomForm* Child) {
    const bool wasActive = ActiveMDIChild() == Child;
    std::erase(FMDIChildren, Child);
    if (!wasActive) return;
    if (FHandle) InvalidateFrame(FHandle);
    Child->MergeMenu(false);
    for (TCustomForm* next : FMDIChildren)
        if (next->Visible()) {
            MDIChildActivated(next);
            next->SetWindowFocus();
            return;
        }
}

bool TCustomForm::CloseQuery() {
    if (FFormStyle == fsMDIForm)
        for (int i = 0; i < MDIChildCount(); ++i)
            if (!MDIChildren(i)->CloseQuery()) return false;
    bool canClose = true;
    Fire(OnCloseQuery, this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = FFormStyle == fsMDIChild ? (FBorderIcons.Contains(biMinimize) ? caMinimize : caNone) : caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application->MainForm() == this)
        Application->Terminate();
    else if (action == caHide)
        Hide();
    else if (action == caMinimize)
        SetWindowState(wsMinimized);
    else
        Release();
}

void TCustomForm::CloseModal() {
    try {
        TCloseAction action = caNone;
        if (CloseQuery()) {
            action = caHide;
            DoClose(action);
        }
        if (action == caNone)
            FModalResult = mrNone;
        else if (action == caFree)
            Release();
    } catch (const std::exception& e) {
        FModalResult = mrNone;
        Application->HandleException(e);
    }
}

TModalResult TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || FModal || FFormStyle == fsMDIChild)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (!FCreated) AfterConstruction();
    HWND activeBefore = GetActiveWindow();
    if (GetCapture()) ReleaseCapture();
    FModal = true;
    FModalResult = mrNone;
    // Runs after the result is taken: the last use of the form, which a
    // release during the loop then frees.
    struct Restore {
        TCustomForm* Form;
        HWND Before;
        ~Restore() {
            Form->FModal = false;
            if (Form->FHandle && !Form->ComponentState().Contains(csDestroying)) Form->Hide();
            if (Before && IsWindow(Before) && IsWindowVisible(Before)) SetActiveWindow(Before);
            if (Form->FReleasedWhileModal) delete Form;
        }
    } restore{this, activeBefore};
    Show();
    TInputHoldBack hold(FHandle);
    RunModalLoop([this] {
        if (Application->Terminated() || FReleasedWhileModal) return true;
        if (FModalResult != mrNone) CloseModal();
        return FModalResult != mrNone;
    });
    if (FModalResult == mrNone) FModalResult = mrCancel;
    return FModalResult;
}

void TCustomForm::Release() {
    if (FReleasing) return;
    FReleasing = true;
    PostMessage(Handle(), CM_RELEASE);
}

void TCustomForm::PaintWindow(HDC DC) {
    if (OnPaint) {
        // The form's canvas is a window DC made for the event.
        TCanvas canvas;
        canvas.SetHandle(DC);
        canvas.Font()->Assign(Font());
        canvas.Brush()->SetColor(FColor);
        FPaintCanvas = &canvas;
        struct Reset {
            TCustomForm* F;
            TCanvas* C;
            ~Reset() {
                F->FPaintCanvas = nullptr;
                C->SetHandle(nullptr);
            }
        } reset{this, &canvas};
        Fire(OnPaint, this);
    }
}

void TCustomForm::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case CM_RELEASE:
        // The modal loop still runs on this form: it ends, then frees it.
        if (FModal)
            FReleasedWhileModal = true;
        else
            delete this;
        return;
    case WM_ACTIVATE:
        TWinControl::WndProc(m);
        FActive = LoWord(m.WParam) != WA_INACTIVE;
        if (FActive) {
            Screen->FActiveForm = this;
            if (!GetFocus() || (GetFocus() != FHandle && !IsChild(FHandle, GetFocus()))) SetWindowFocus();
        }
        return;
    case WM_SETFOCUS:
        DefaultHandler(m);
        if (FActiveControl && FActiveControl != this && FActiveControl->CanFocus() && FActiveControl->HandleAllocated())
            ::SetFocus(FActiveControl->Handle());
        else
            SetFocusedControl(this);
        return;
    case CM_ACTIVATE:
        if (FFormStyle == fsMDIChild && Application->MainForm() && Application->MainForm() != this)
            Application->MainForm()->MDIChildActivated(this);
        Activate();
        return;
    case CM_DEACTIVATE:
        Deactivate();
        return;
    case WM_CHILDACTIVATE:
        // A task button brings the child forward (a press activates it
        // through WM_MOUSEACTIVATE and the MDI client).
        DefaultHandler(m);
        if (FFormStyle == fsMDIChild && Application->MainForm() && Application->MainForm() != this)
            Application->MainForm()->MDIChildActivated(this);
        return;
    case WM_MDIGETACTIVE:
    case WM_MDIACTIVATE:
    case WM_MDINEXT:
        // The MDI client passes these on to its frame.
        if (FFormStyle == fsMDIForm)
            MDIClientMessage(m);
        else
            TWinControl::WndProc(m);
        return;
    case WM_NCACTIVATE:
        DefaultHandler(m);
        if (FFormStyle == fsMDIForm) UpdateMDICaptions(m.WParam != 0);
        return;
    case WM_GETICON:
        // Forms show the program's icon in their title bars.
        DefaultHandler(m);
        if (m.Result == 0 && Application->Icon()) m.Result = reinterpret_cast<LRESULT>(Application->Icon()->Handle());
        return;
    case WM_SYSCOMMAND:
        switch (m.WParam & 0xFFF0) {
        case SC_MINIMIZE:
            SetWindowState(wsMinimized);
            return;
        case SC_MAXIMIZE:
            SetWindowState(wsMaximized);
            return;
        case SC_RESTORE:
            SetWindowState(wsNormal);
            return;
        case SC_CLOSE:
            Close();
            return;
        default:
            break;
        }
        DefaultHandler(m);
        return;
    case WM_SIZE:
        TWinControl::WndProc(m);
        if (FFormStyle == fsMDIChild && Application->MainForm() && Application->MainForm() != this &&
            Application->MainForm()->FHandle) {
            // The user's buttons change the state too; it shows the same when
            // the child is hidden and shown again.
            if (IsWindowVisible(FHandle))
                FWindowState = m.WParam == SIZE_MAXIMIZED   ? wsMaximized
                               : m.WParam == SIZE_MINIMIZED ? wsMinimized
                                                            : wsNormal;
            // The frame's menu bar shows the buttons of a maximised child.
            InvalidateFrame(Application->MainForm()->FHandle);
        }
        if (Application->MainForm() == this) {
            if (m.WParam == SIZE_MINIMIZED && FWindowState != wsMinimized) {
                FWindowState = wsMinimized;
                Application->Minimize();
            } else if (m.WParam != SIZE_MINIMIZED && FWindowState == wsMinimized) {
                FWindowState = m.WParam == SIZE_MAXIMIZED ? wsMaximized : wsNormal;
                Application->Restore();
            }
        }
        return;
    case CM_DIALOGCHAR: {
        // The controls' accelerators first; then Alt and a letter opens the
        // menu that marks it (an MDI child's merged menu is in the frame's bar).
        TWinControl::WndProc(m);
        if (m.Result != 0 || !AltDown()) return;
        TCustomForm* bar = FFormStyle == fsMDIChild ? Application->MainForm() : this;
        // Alt+minus: the active MDI child's system menu.
        if (m.WParam == '-' && bar && bar->FFormStyle == fsMDIForm) {
            TCustomForm* child = bar->ActiveMDIChild();
            if (child && child->FHandle && IsWindowVisible(child->FHandle) &&
                (GetWindowLong(child->FHandle, GWL_STYLE) & WS_SYSMENU)) {
                child->ShowSystemMenu();
                m.Result = 1;
                return;
            }
        }
        if (bar && bar->FMenu && bar->MenuBarHeight() > 0 &&
            bar->FMenu->OpenBarAccelerator(bar->FHandle, bar->MenuItemsRect(), static_cast<char32_t>(m.WParam),
                                           bar->Font()))
            m.Result = 1;
        return;
    }
    case CM_DIALOGKEY:
        if (!AltDown()) {
            switch (m.WParam) {
            case VK_TAB:
                if (!CtrlDown()) {
                    SelectNext(FActiveControl, !ShiftDown(), true);
                    m.Result = 1;
                    return;
                }
                break;
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
                if (FActiveControl && FActiveControl->Parent()) {
                    FActiveControl->Parent()->SelectNext(FActiveControl, m.WParam == VK_RIGHT || m.WParam == VK_DOWN,
                                                         false);
                    m.Result = 1;
                }
                return;
            default:
                break;
            }
        }
        TWinControl::WndProc(m);
        return;
    case WM_NCCALCSIZE:
        DefaultHandler(m);
        if (MenuBarHeight() > 0 && m.LParam) {
            auto* params = reinterpret_cast<TNCCalcSizeParams*>(m.LParam);
            params->rgrc[0].Top += MenuBarHeight();
        }
        return;
    case WM_NCHITTEST: {
        DefaultHandler(m);
        if (MenuBarHeight() > 0 && FHandle) {
            const TPoint p = WindowPointOf(FHandle, m.LParam);
            if (PtInRect(MenuBarRect(), p)) m.Result = HTMENU;
        }
        return;
    }
    case WM_NCPAINT:
        DefaultHandler(m);
        if (MenuBarHeight() > 0 && FMenu) {
            HDC dc = GetWindowDC(FHandle);
            FMenu->PaintBar(dc, MenuItemsRect(), Font());
            PaintMDIChildButtons(dc);
            ReleaseDC(FHandle, dc);
        }
        return;
    case WM_NCLBUTTONDOWN:
        if (m.WParam == static_cast<WPARAM>(HTMENU) && FMenu) {
            const TPoint p = WindowPointOf(FHandle, m.LParam);
            if (!ClickMDIChildButton(p)) FMenu->ClickBar(FHandle, MenuItemsRect(), p, Font());
            return;
        }
        if (m.WParam == static_cast<WPARAM>(HTSYSMENU) && FHandle && HasEmulatedCaption(FHandle)) {
            SystemMenuPressed();
            return;
        }
        DefaultHandler(m);
        return;
    case WM_NCLBUTTONDBLCLK:
        // A double click on the maximised child's icon in the menu bar closes it.
        if (m.WParam == static_cast<WPARAM>(HTMENU)) {
            TCustomForm* child = MaximizedMDIChild();
            const TPoint p = WindowPointOf(FHandle, m.LParam);
            if (child && PtInRect(MDIChildIconRect(), p)) {
                SendMessage(child->FHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
                return;
            }
        }
        DefaultHandler(m);
        return;
    default:
        TWinControl::WndProc(m);
        return;
    }
}

// ---- TScrollingWinControl ---------------------------------------------------

void TControlScrollBar::SetPosition(int Value) {
    FControl->ScrollTo(FKind, Value);
}

bool TControlScrollBar::IsScrollBarVisible() const {
    if (!FControl->HandleAllocated()) return false;
    TScrollInfo info;
    info.fMask = SIF_ALL;
    GetScrollInfo(FControl->Handle(), FKind, info);
    return FRange > static_cast<int>(info.nPage) && info.nPage > 0;
}

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle += csAcceptsControls;
}

void TScrollingWinControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style |= WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    TWinControl::AlignControls(AControl, Rect);
    UpdateScrollBars();
}

void TScrollingWinControl::UpdateScrollBars() {
    if (!FHandle || FUpdatingBars) return;
    FUpdatingBars = true;
    // The content reaches as far as the farthest unaligned child, measured
    // from the unscrolled origin.
    int right = 0, bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible() || c->Align() != alNone) continue;
        right = std::max(right, c->Left() + c->Width() + FHorzScrollBar.FPosition);
        bottom = std::max(bottom, c->Top() + c->Height() + FVertScrollBar.FPosition);
    }
    FHorzScrollBar.FRange = right;
    FVertScrollBar.FRange = bottom;
    // Setting one bar changes the client area, so both are set twice.
    for (int round = 0; round < 2; ++round)
        for (TControlScrollBar* bar : {&FHorzScrollBar, &FVertScrollBar}) {
            const TRect client = ClientRect();
            TScrollInfo info;
            info.fMask = SIF_ALL;
            info.nMin = 0;
            info.nMax = std::max(0, bar->FRange - 1);
            info.nPage = static_cast<UINT>(bar->FKind == SB_HORZ ? client.Width() : client.Height());
            info.nPos = bar->FPosition;
            SetScrollInfo(FHandle, bar->FKind, info, true);
        }
    FUpdatingBars = false;
    // A grown client area may leave nothing to scroll any more.
    for (TControlScrollBar* bar : {&FHorzScrollBar, &FVertScrollBar}) {
        const int page = bar->FKind == SB_HORZ ? ClientWidth() : ClientHeight();
        const int limit = std::max(0, bar->FRange - page);
        if (bar->FPosition > limit) ScrollTo(bar->FKind, limit);
    }
}

void TScrollingWinControl::ScrollTo(int Kind, int Position) {
    TControlScrollBar& bar = Kind == SB_HORZ ? FHorzScrollBar : FVertScrollBar;
    const int page = Kind == SB_HORZ ? ClientWidth() : ClientHeight();
    Position = std::clamp(Position, 0, std::max(0, bar.FRange - page));
    const int delta = bar.FPosition - Position;
    if (delta == 0) return;
    bar.FPosition = Position;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Align() != alNone) continue;
        if (Kind == SB_HORZ)
            c->SetBounds(c->Left() + delta, c->Top(), c->Width(), c->Height());
        else
            c->SetBounds(c->Left(), c->Top() + delta, c->Width(), c->Height());
    }
    if (FHandle) SetScrollPos(FHandle, Kind, Position, true);
    Invalidate();
}

void TScrollingWinControl::ScrollInView(TControl* AControl) {
    if (!AControl || !ContainsControl(AControl)) return;
    TRect r = AControl->BoundsRect();
    for (TControl* p = AControl->Parent(); p && p != this; p = p->Parent())
        OffsetRect(r, p->Left(), p->Top());
    const TRect client = ClientRect();
    if (r.Left < 0)
        ScrollTo(SB_HORZ, FHorzScrollBar.FPosition + r.Left);
    else if (r.Right > client.Right)
        ScrollTo(SB_HORZ, FHorzScrollBar.FPosition + r.Right - client.Right);
    if (r.Top < 0)
        ScrollTo(SB_VERT, FVertScrollBar.FPosition + r.Top);
    else if (r.Bottom > client.Bottom)
        ScrollTo(SB_VERT, FVertScrollBar.FPosition + r.Bottom - client.Bottom);
}

void TScrollingWinControl::WndProc(TMessage& m) {
    if (m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) {
        const int kind = m.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
        TControlScrollBar& bar = kind == SB_HORZ ? FHorzScrollBar : FVertScrollBar;
        const int page = kind == SB_HORZ ? ClientWidth() : ClientHeight();
        TScrollInfo info;
        info.fMask = SIF_ALL;
        GetScrollInfo(FHandle, kind, info);
        int pos = bar.FPosition;
        switch (LoWord(m.WParam)) {
        case SB_LINEUP:
            pos -= bar.FIncrement;
            break;
        case SB_LINEDOWN:
            pos += bar.FIncrement;
            break;
        case SB_PAGEUP:
            pos -= page;
            break;
        case SB_PAGEDOWN:
            pos += page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            pos = info.nTrackPos;
            break;
        case SB_TOP:
            pos = 0;
            break;
        case SB_BOTTOM:
            pos = bar.FRange;
            break;
        default:
            return;
        }
        ScrollTo(kind, pos);
        return;
    }
    TWinControl::WndProc(m);
}

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& Params) {
    TScrollingWinControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

// ---- TDataModule ------------------------------------------------------------

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner) {}

TDataModule::~TDataModule() {
    if (FCreated && OnDestroy) {
        try {
            Fire(OnDestroy, this);
        } catch (const std::exception& e) {
            Application->HandleException(e);
        }
    }
}

void TDataModule::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    Fire(OnCreate, this);
}

// ---- TApplication -----------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() = default;

TIcon* TApplication::Icon() const {
    // Loaded on first use: the module's resources are registered before main,
    // perhaps after this object was made.
    if (!FIcon) {
        FIcon = std::make_unique<TIcon>();
        FIcon->SetHandle(LoadIcon(HInstance, "MAINICON"));
        FIcon->OnChange = [](TObject*) { ShowApplicationIconOnWindows(); };
    }
    return FIcon.get();
}

void TApplication::SetTitle(const std::string& Value) {
    FTitle = Value;
    if (FHandle) SetWindowText(FHandle, Value);
}

HWND TApplication::Handle() {
    if (!FHandle) {
        EnsureQtApplication();
        InstallApplicationHooks();
        EnsureClass(ApplicationClassName, [](HWND wnd, TMessage& m) { DefWindowProc(wnd, m); });
        // The program shows on the desktop through its forms only: this window
        // never gets a frame or the activation, even when shown.
        FHandle = CreateWindowEx(WS_EX_NOACTIVATE, ApplicationClassName, FTitle,
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr);
        // The window's widget must go before the Qt application does at exit;
        // registered after the application was made, this runs first.
        std::atexit([] {
            if (Application->FHandle) DestroyWindow(Application->FHandle);
            Application->FHandle = nullptr;
        });
    }
    return FHandle;
}

std::string TApplication::ExeName() const {
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

void TApplication::Run() {
    FRunning = true;
    if (FMainForm && FShowMainForm) FMainForm->Show();
    while (!FTerminated) {
        try {
            RunMessageLoop();
            FTerminated = true;
        } catch (const std::exception& e) {
            HandleException(e);
        }
    }
    FRunning = false;
}

void TApplication::Terminate() {
    if (FTerminated) return;
    FTerminated = true;
    PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
    ::ProcessMessages();
}

void TApplication::HandleMessage() {
    ::HandleMessage();
}

void TApplication::HandleException(const std::exception& E) {
    if (dynamic_cast<const EAbort*>(&E)) return;
    if (!Fire(OnException, this, E)) ShowException(E);
}

void TApplication::ShowException(const std::exception& E) {
    std::string text = E.what();
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.' &&
        static_cast<unsigned char>(text.back()) < 0x80)
        text += '.';
    ::MessageBox(FHandle, text, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
    HWND owner = GetActiveWindow();
    if (!owner) owner = Handle();
    return ::MessageBox(owner, Text, Caption, Flags);
}

void TApplication::Minimize() {
    Fire(OnMinimize, this);
}

void TApplication::Restore() {
    Fire(OnRestore, this);
}

// ---- TScreen ----------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen() = default;

void TScreen::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    EnsureQtApplication();
    if (FCursor != crDefault) QApplication::restoreOverrideCursor();
    FCursor = Value;
    if (Value != crDefault) {
        const HCURSOR shape = Cursors(Value);
        QApplication::setOverrideCursor(shape ? shape->Shape : QCursor(Qt::BlankCursor));
    }
}

HCURSOR TScreen::Cursors(int Index) const {
    if (auto it = FCursors.find(Index); it != FCursors.end()) return it->second;
    struct Standard {
        TCursor Id;
        HINSTANCE Module;
        int Name;
    };
    static const Standard standard[] = {
        {crArrow, nullptr, IDC_ARROW},
        {crCross, nullptr, IDC_CROSS},
        {crIBeam, nullptr, IDC_IBEAM},
        {crSizeNESW, nullptr, IDC_SIZENESW},
        {crSizeNS, nullptr, IDC_SIZENS},
        {crSizeNWSE, nullptr, IDC_SIZENWSE},
        {crSizeWE, nullptr, IDC_SIZEWE},
        {crUpArrow, nullptr, IDC_UPARROW},
        {crHourGlass, nullptr, IDC_WAIT},
        {crDrag, HInstance, IDC_PROGRAM_DRAG},
        {crNoDrop, HInstance, IDC_PROGRAM_NODROP},
        {crHSplit, HInstance, IDC_PROGRAM_HSPLIT},
        {crVSplit, HInstance, IDC_PROGRAM_VSPLIT},
        {crMultiDrag, HInstance, IDC_PROGRAM_MULTIDRAG},
        {crSQLWait, nullptr, IDC_WAIT},
        {crNo, nullptr, IDC_NO},
        {crAppStart, nullptr, IDC_APPSTARTING},
        {crHelp, nullptr, IDC_HELP},
        {crHandPoint, nullptr, IDC_HAND},
        {crSizeAll, nullptr, IDC_SIZEALL},
    };
    // crNone has no shape; an id nobody registered shows the arrow.
    if (Index == crNone) return nullptr;
    for (const auto& s : standard)
        if (s.Id == Index) return LoadCursor(s.Module, s.Name);
    return LoadCursor(nullptr, IDC_ARROW);
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
    if (Handle)
        FCursors[Index] = Handle;
    else
        FCursors.erase(Index);
}

TCustomForm* TScreen::Forms(int Index) const {
    if (Index < 0 || Index >= FormCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FForms[static_cast<size_t>(Index)];
}

int TScreen::Width() const {
    return GetSystemMetrics(SM_CXSCREEN);
}
int TScreen::Height() const {
    return GetSystemMetrics(SM_CYSCREEN);
}

TRect TScreen::WorkAreaRect() const {
    return DesktopWorkArea();
}
