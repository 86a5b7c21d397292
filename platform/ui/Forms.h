// Forms (normal, MDI frame, MDI child, modal), data modules, the application
// object and the screen. A form's OnCreate runs after construction, so the
// code that created it has already stored it in its global: create forms with
// Application->CreateForm or CreateFormInstance, never with a bare new that
// skips AfterConstruction.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/MessageBoxCodes.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TMainMenu;
class TMenuItem;
struct TCaptionButtons;
class TIcon;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // The second phase of creation: OnCreate, then showing a form made visible.
    virtual void AfterConstruction();

    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    void SetClientWidth(int Value) override;
    void SetClientHeight(int Value) override;
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool Active() const { return FActive; }
    bool Modal() const { return FModal; }

    // Shows the form and waits in a nested loop until ModalResult is set
    // (a button, Close, or code); answers it. Other windows get no input meanwhile.
    virtual TModalResult ShowModal();
    void Show();
    void Hide();
    // Asks OnCloseQuery, then OnClose decides: hide, free, minimise or stay.
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the messages now pending are handled.
    void Release();
    void BringToFront();
    void FocusControl(TWinControl* Control);
    // Called when a control gets the focus: CM_EXIT up from the old control,
    // CM_ENTER down to the new one.
    bool SetFocusedControl(TWinControl* Control);
    // Moves the active control off Control (being hidden, disabled or removed).
    void DefocusControl(TWinControl* Control, bool Removing);
    // Shortcuts of the form's menu and action lists (and the MDI frame's).
    virtual bool IsShortCut(TMessage& Message);
    // Brings the actions of the visible controls and top menu items up to
    // date; the application does it whenever it is about to wait for input.
    void UpdateActions();

    // MDI frame.
    int MDIChildCount() const;
    TCustomForm* MDIChildren(int Index) const;
    TCustomForm* ActiveMDIChild() const;
    HWND ClientHandle() const { return FClientHandle; }

    void WndProc(TMessage& Message) override;
    // The canvas of the window while OnPaint runs.
    TCanvas* Canvas() const { return FPaintCanvas; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnPaint;

protected:
    friend class TWinControl;
    friend class TApplication;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWindowHandle() override;
    void VisibleChanged() override;
    void PaintWindow(HDC DC) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    virtual void DoCreate();
    virtual void DoDestroy();
    // Fires OnDestroy once, while the form is still whole; a failure is
    // reported, never thrown. ~TCustomForm fires it when nothing did before,
    // with only the form base left by then: a form whose OnDestroy handler
    // reaches members of its own calls this first in its destructor.
    void BeforeDestruction();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void SetWindowFocus();
    void PlaceOnScreen();
    void MergeMenu(bool Merge);
    void MenuChanged();
    int MenuBarHeight() const;
    TRect MenuBarRect() const;
    void CloseModal();
    void MDIChildActivated(TCustomForm* Child);
    void MDIChildGone(TCustomForm* Child);
    // The children's title bars show which of them is active, while the frame is.
    void UpdateMDICaptions(bool FrameActive);
    // The active child when it is maximised: its buttons sit in the menu bar.
    TCustomForm* MaximizedMDIChild() const;
    TCaptionButtons MDIChildButtonRects() const;
    void PaintMDIChildButtons(HDC DC);
    bool ClickMDIChildButton(TPoint WindowPoint);
    // WM_MDIGETACTIVE, WM_MDIACTIVATE and WM_MDINEXT, which the MDI client passes on.
    void MDIClientMessage(TMessage& Message);
    // The frame's menu bar: the maximised child's icon at its left, the items after it.
    TRect MDIChildIconRect() const;
    TRect MenuItemsRect() const;
    // An MDI child's system menu, a popup under its icon (the frame's menu bar
    // icon while maximised); each item sends its WM_SYSCOMMAND.
    void ShowSystemMenu();
    // A press on the icon opens the menu; the second press of a double click,
    // which closed the menu it opened, closes the window.
    void SystemMenuPressed();

    TFormStyle FFormStyle = fsNormal;
    TWindowState FWindowState = wsNormal;
    TPosition FPosition = poDesigned;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    bool FKeyPreview = false;
    TMainMenu* FMenu = nullptr;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    TModalResult FModalResult = mrNone;
    bool FActive = false;
    bool FModal = false;
    bool FCreated = false;
    bool FDestroyFired = false;
    bool FShown = false;
    bool FReleasing = false;
    bool FReleasedWhileModal = false; // CM_RELEASE came in the modal loop: freed when it ends
    int FFocusCount = 0;
    int FClientWidth = -1;
    int FClientHeight = -1;
    HWND FClientHandle = nullptr;
    TCanvas* FPaintCanvas = nullptr;
    std::vector<TCustomForm*> FMDIChildren; // activation order, most recent first
    bool FSystemMenuDismissed = false;      // the system menu closed unchosen,
    DWORD FSystemMenuDismissedAt = 0;       // at this tick
};

class TScrollingWinControl;

// One scroll bar of a scrolling container: Range is the extent of the
// content, Position how far it is scrolled.
class TControlScrollBar {
public:
    TControlScrollBar(TScrollingWinControl* Control, int Kind) : FControl(Control), FKind(Kind) {}
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Range() const { return FRange; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    bool IsScrollBarVisible() const;

private:
    friend class TScrollingWinControl;
    TScrollingWinControl* FControl;
    int FKind; // SB_HORZ or SB_VERT
    int FPosition = 0;
    int FRange = 0;
    int FIncrement = 8;
};

// A container whose children may reach beyond its client area: window scroll
// bars appear as needed and scrolling moves the children.
class TScrollingWinControl : public TWinControl {
public:
    explicit TScrollingWinControl(TComponent* AOwner);
    TControlScrollBar* HorzScrollBar() { return &FHorzScrollBar; }
    TControlScrollBar* VertScrollBar() { return &FVertScrollBar; }
    void ScrollInView(TControl* AControl);
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void UpdateScrollBars();

private:
    friend class TControlScrollBar;
    void ScrollTo(int Kind, int Position);

    TControlScrollBar FHorzScrollBar{this, 0};
    TControlScrollBar FVertScrollBar{this, 1};
    bool FUpdatingBars = false;
};

class TScrollBox : public TScrollingWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TBorderStyle FBorderStyle = bsSingle;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

// Two-phase creation: the instance is in Global before its OnCreate runs.
template <class T> T* CreateFormInstance(T*& Global, TComponent* Owner) {
    Global = new T(Owner);
    Global->AfterConstruction();
    return Global;
}

// A container of non-visual components with the form's creation events.
class TDataModule : public TComponent {
public:
    explicit TDataModule(TComponent* AOwner);
    ~TDataModule() override;
    virtual void AfterConstruction();

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;

private:
    bool FCreated = false;
};

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value);
    TCustomForm* MainForm() const { return FMainForm; }
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool Value) { FShowMainForm = Value; }
    bool Terminated() const { return FTerminated; }
    // The hidden top-level window that stands for the program (its title is
    // the application's title); hiding it takes the program off the task bar.
    HWND Handle();
    std::string ExeName() const;
    // The program's icon: its MAINICON resource unless set otherwise. Every
    // top-level window shows it, and a change reaches them at once.
    TIcon* Icon() const;

    // Creates a form (or data module) owned by the application; the first
    // form becomes the main form. Global holds the instance before OnCreate.
    template <class T> void CreateForm(T*& Global) {
        Global = new T(this);
        if (auto* form = dynamic_cast<TCustomForm*>(Global); form && !FMainForm) FMainForm = form;
        Global->AfterConstruction();
    }
    // Shows the main form and runs the message loop until Terminate.
    void Run();
    void Terminate();
    void ProcessMessages();
    void HandleMessage();
    // EAbort silently; others through OnException or a message box.
    void HandleException(const std::exception& E);
    void ShowException(const std::exception& E);
    int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags = MB_OK);
    void Minimize();
    void Restore();
    // Whether one of the program's windows is the desktop's active window.
    bool Active() const;

    // The desktop's regional settings changed: FormatSettings is read again
    // from them, then every control hears CM_WININICHANGE.
    void FormatSettingsChanged();
    // The system colours changed (SetSysColors): every control hears
    // CM_SYSCOLORCHANGE.
    void SysColorsChanged();

    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TExceptionEvent OnException;

private:
    friend class TCustomForm;
    std::string FTitle;
    TCustomForm* FMainForm = nullptr;
    bool FShowMainForm = true;
    bool FTerminated = false;
    bool FRunning = false;
    HWND FHandle = nullptr;
    mutable std::unique_ptr<TIcon> FIcon;
};

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    // A cursor for the whole program (crDefault: each control's own).
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // The cursor table: standard shapes under negative ids, custom ones added
    // under positive ids by the code that loads them; unknown ids give the
    // arrow, crNone nullptr. Setting nullptr removes an entry.
    HCURSOR Cursors(int Index) const;
    void SetCursors(int Index, HCURSOR Handle);

    TCustomForm* ActiveForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int Index) const;
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }

private:
    friend class TCustomForm;
    friend class TWinControl;
    TCursor FCursor = crDefault;
    std::map<int, HCURSOR> FCursors;
    TCustomForm* FActiveForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    TCustomForm* FFocusedForm = nullptr;
    std::vector<TCustomForm*> FForms;
};

extern TApplication* Application;
extern TScreen* Screen;

// Shows Cursor over the whole program while it lives (the hourglass of a long
// operation) and the one before after, however the scope ends.
class TScreenCursorScope {
public:
    explicit TScreenCursorScope(TCursor Cursor) : FPrevious(Screen->Cursor()) { Screen->SetCursor(Cursor); }
    ~TScreenCursorScope() { Screen->SetCursor(FPrevious); }
    TScreenCursorScope(const TScreenCursorScope&) = delete;
    TScreenCursorScope& operator=(const TScreenCursorScope&) = delete;

private:
    TCursor FPrevious;
};

// True when Caption has "&" before Key (case-insensitive), as accelerators do.
bool IsAccel(char32_t Key, const std::string& Caption);
