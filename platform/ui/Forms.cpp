// The forms. Focus bookkeeping follows the framework: a control that gets
// the focus tells its form, which sends CM_EXIT up from the old control and
// CM_ENTER down to the new one and remembers it as ActiveControl. Dialog keys
// reach the form through the window manager's dialog-key hook as
// CM_DIALOGKEY. MDI lives in FormsMDI.cpp, the application and data modules
// in FormsApplication.cpp, the screen in FormsScreen.cpp and the scrolling
// controls in FormsScrolling.cpp.
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
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/private/ControlHost_p.h"
#include "platform/ui/private/Forms_p.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/QtApplication_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <algorithm>

using namespace platform_ui;

namespace platform_ui {
// Through the queue, so a failure inside Qt's paint is shown after it.
void ShowControlException(const std::exception& E) {
    ReportException(E);
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

} // namespace platform_ui

namespace {

// How a window in State is shown.
int ShowCommand(TWindowState State) {
    return State == wsMaximized ? SW_SHOWMAXIMIZED : State == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
}

constexpr char MDIClientClassName[] = "MDICLIENT";

// The screen point of a non-client message in the window's coordinates.
TPoint WindowPointOf(HWND wnd, LPARAM screenPoint) {
    TRect window;
    GetWindowRect(wnd, window);
    const TPoint screen = PointFromLParam(screenPoint);
    return {screen.X - window.Left, screen.Y - window.Top};
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
    BeforeDestruction();
    Destroying();
    // The windows go first (an MDI frame's children's before its own), while
    // every object they belong to is still whole.
    DestroyWindowHandle();
    if (FFormStyle == fsMDIChild) {
        MergeMenu(false);
        if (TCustomForm* frame = MDIFrameOf(this)) frame->MDIChildGone(this);
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

void TCustomForm::BeforeDestruction() {
    if (!FCreated || FDestroyFired) return;
    FDestroyFired = true;
    RunGuarded([this] { DoDestroy(); });
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
    TCustomForm* frame = MDIFrameOf(this);
    if (!frame) return;
    TMainMenu* frameMenu = frame->Menu();
    if (!frameMenu) return;
    if (Merge && FMenu && FMenu->AutoMerge())
        frameMenu->Merge(FMenu);
    else if (!Merge && frameMenu->Merged() == FMenu)
        frameMenu->Unmerge(FMenu);
    else if (Merge && !FMenu)
        frameMenu->Unmerge(frameMenu->Merged());
    frame->MenuChanged();
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
    if (TCustomForm* frame = MDIFrameOf(this)) {
        Params.Style |= WS_CHILD | WS_CLIPSIBLINGS;
        Params.ExStyle |= WS_EX_MDICHILD;
        Params.WndParent = frame->ClientHandle();
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
    if (TCustomForm* frame = MDIFrameOf(this)) return frame->IsShortCut(Message);
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
        if (TCustomForm* frame = MDIFrameOf(this)) frame->MDIChildActivated(this);
        Activate();
        return;
    case CM_DEACTIVATE:
        Deactivate();
        return;
    case WM_CHILDACTIVATE:
        // A task button brings the child forward (a press activates it
        // through WM_MOUSEACTIVATE and the MDI client).
        DefaultHandler(m);
        if (TCustomForm* frame = MDIFrameOf(this)) frame->MDIChildActivated(this);
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
        if (TCustomForm* frame = MDIFrameOf(this); frame && frame->FHandle) {
            // The user's buttons change the state too; it shows the same when
            // the child is hidden and shown again.
            if (IsWindowVisible(FHandle))
                FWindowState = m.WParam == SIZE_MAXIMIZED   ? wsMaximized
                               : m.WParam == SIZE_MINIMIZED ? wsMinimized
                                                            : wsNormal;
            // The frame's menu bar shows the buttons of a maximised child.
            InvalidateFrame(frame->FHandle);
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
        if (m.Result != 0 || !KeyboardShiftState().Contains(ssAlt)) return;
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
    case CM_DIALOGKEY: {
        const TShiftState shift = KeyboardShiftState();
        if (!shift.Contains(ssAlt)) {
            switch (m.WParam) {
            case VK_TAB:
                if (!shift.Contains(ssCtrl)) {
                    SelectNext(FActiveControl, !shift.Contains(ssShift), true);
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
    }
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
