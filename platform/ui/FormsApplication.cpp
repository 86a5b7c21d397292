// The application and the data modules, and the application's hooks into the
// window manager.
#include "platform/ui/Forms.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Window.h"
#include "platform/ui/private/Forms_p.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/QtApplication_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QAbstractEventDispatcher>
#include <QApplication>

#include <cstdlib>
#include <filesystem>

using namespace platform_ui;


TApplication* Application = new TApplication(nullptr);

namespace {

constexpr char ApplicationClassName[] = "TApplication";

// The forms' side of the dialog keys: Tab, the arrows, Enter and Esc that the
// focused control does not claim (by its dialog code or CM_WANTSPECIALKEY)
// become CM_DIALOGKEY to its form.
bool DialogKey(const TMessage& msg, HWND focus) {
    TWinControl* control = nullptr;
    for (HWND w = focus; w && !control; w = GetParent(w))
        control = FindControl(w);
    if (!control) return false;
    if (control->Perform(CM_WANTSPECIALKEY, msg.WParam, msg.LParam) != 0) return false;
    TCustomForm* form = GetParentForm(control);
    if (!form) return false;
    return form->Perform(CM_DIALOGKEY, msg.WParam, msg.LParam) != 0;
}

// The MDI frame's keys, once no shortcut took them: Ctrl+F4 closes the active
// child, Ctrl+F6 and Ctrl+Tab activate the next one (with Shift the previous).
bool MDIKey(const TMessage& msg, TWinControl* control) {
    const TShiftState shift = KeyboardShiftState();
    if (msg.Msg != WM_KEYDOWN || !shift.Contains(ssCtrl) || shift.Contains(ssAlt)) return false;
    if (msg.WParam != VK_F4 && msg.WParam != VK_F6 && msg.WParam != VK_TAB) return false;
    TCustomForm* form = GetParentForm(control);
    TCustomForm* frame = form && form->FormStyle() == fsMDIChild ? Application->MainForm() : form;
    if (!frame || frame->FormStyle() != fsMDIForm || !frame->ClientHandle()) return false;
    TCustomForm* child = frame->ActiveMDIChild();
    if (!child || !child->HandleAllocated() || !IsWindowVisible(child->Handle())) return false;
    if (msg.WParam == VK_F4) {
        if (shift.Contains(ssShift)) return false;
        SendMessage(child->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        SendMessage(frame->ClientHandle(), WM_MDINEXT, reinterpret_cast<WPARAM>(child->Handle()),
                    shift.Contains(ssShift));
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

// Qt tells the application object that the system's locale changed (and may
// then tell each widget): the application's copy is the one acted on, so the
// settings are read again and every control hears CM_WININICHANGE once.
class LocaleChangeFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* Object, QEvent* Event) override {
        if (Event->type() == QEvent::LocaleChange && Object == QCoreApplication::instance())
            RunGuarded([] { Application->FormatSettingsChanged(); });
        return false;
    }
};

} // namespace

namespace platform_ui {

// The application's hooks into the window manager: dialog keys, menu keys,
// presses, the exception boundary's box, the idle action update, the
// windows' icon and the locale changes the desktop reports.
void InstallApplicationHooks() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    ShowApplicationIconOnWindows();
    QApplication& qtApplication = EnsureQtApplication();
    qtApplication.installEventFilter(new LocaleChangeFilter(&qtApplication));
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &EnsureQtApplication(), UpdateActionsWhenIdle);
    SetDialogKeyHook(DialogKey);
    SetKeyMessageHook(MenuKey);
    SetMouseDownHook(CancelModeOnPress);
    SetHintHook(ShowControlHint);
    SetExceptionHandler([](const std::exception& e) { Application->HandleException(e); });
}

} // namespace platform_ui

// ---- TDataModule ------------------------------------------------------------

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner) {}

TDataModule::~TDataModule() {
    if (FCreated) RunGuarded([this] { Fire(OnDestroy, this); });
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

bool TApplication::Active() const {
    return GetActiveWindow() != nullptr;
}

namespace {

// Sends Msg to Control and everything on it, parents before children.
void SendToTree(TControl* Control, UINT Msg) {
    Control->Perform(Msg);
    if (auto* container = dynamic_cast<TWinControl*>(Control))
        for (int i = 0; i < container->ControlCount(); ++i)
            SendToTree(container->Controls(i), Msg);
}

// Every form, and every control that sits on none but has a window of its own.
void SendToEveryControl(UINT Msg) {
    std::vector<TControl*> roots;
    for (int i = 0; i < Screen->FormCount(); ++i)
        roots.push_back(Screen->Forms(i));
    EnumWindows([&roots](HWND Wnd) {
        TWinControl* control = FindControl(Wnd);
        if (control && !control->Parent() && !dynamic_cast<TCustomForm*>(control)) roots.push_back(control);
        return true;
    });
    for (TControl* root : roots)
        SendToTree(root, Msg);
}

} // namespace

void TApplication::FormatSettingsChanged() {
    GetFormatSettings();
    SendToEveryControl(CM_WININICHANGE);
}

void TApplication::SysColorsChanged() {
    SendToEveryControl(CM_SYSCOLORCHANGE);
}
