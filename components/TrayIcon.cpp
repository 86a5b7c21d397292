// The tray icon. Its hidden window takes the icon's callback message; the
// application's and the owner form's windows are watched by procedures pushed
// on their chains and removed again by id.
#include "components/TrayIcon.h"

#include "platform/rtl/Streams.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr UINT TrayIconId = 1;
constexpr UINT TrayCallbackMessage = 0x0800;

// The shell re-creates its task bar after a crash and then announces it.
UINT TaskbarCreatedMessage = 0;
} // namespace

TTrayIcon::TTrayIcon(TComponent* AOwner) : TComponent(AOwner) {
    FFirstPositionChange = true;
    FIconVisible = FEnabled = FShowHint = true;
    FDesignPreviewChanging = false;
    TaskbarCreatedMessage = RegisterWindowMessage("TaskbarCreated");
    FIcon = std::make_unique<TIcon>();
    FIconData.cbSize = NotifyIconDataSize;
    FHandle = AllocateHWnd([this](HWND wnd, TMessage& m) { TrayWndProc(wnd, m); });
    FIconData.hWnd = FHandle;
    FIconData.uID = TrayIconId;
    FIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    FIconData.uCallbackMessage = TrayCallbackMessage;
    FCycleTimer = std::make_unique<TTimer>(nullptr);
    FCycleTimer->SetEnabled(false);
    FCycleTimer->SetInterval(FCycleInterval);
    FCycleTimer->OnTimer = [this](TObject* sender) { CycleTimerTick(sender); };
    if (!Designing()) {
        HookApplication();
        // A form being built has no window yet; asking for one now would make
        // it before the form's style is set, so the hook waits for Loaded.
        if (OwnerControl() && !ComponentState().Contains(csLoading)) HookOwner();
    }
}

TTrayIcon::~TTrayIcon() {
    SetIconVisible(false);
    SetDesignPreview(false);
    FIcon.reset();
    DeallocateHWnd(FHandle);
    FCycleTimer.reset();
    UnhookApplication();
    UnhookOwner();
}

TWinControl* TTrayIcon::OwnerControl() const {
    return dynamic_cast<TWinControl*>(Owner());
}

bool TTrayIcon::CanHandleMainForm() const {
    return OwnerControl() && Application->MainForm();
}

void TTrayIcon::Loaded() {
    TComponent::Loaded();
    if (OwnerControl() && !Designing() && !FOwnerHook) HookOwner();
    if (OwnerControl() && FStartMinimized && !Designing() && NotifyIconAvailable()) {
        Application->SetShowMainForm(false);
        ShowWindow(Application->Handle(), SW_HIDE);
    }
    ModifyTrayIcon();
    SetIconVisible(FIconVisible);
}

void TTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FIconList) SetIconList(nullptr);
    if (AComponent == FPopupMenu) SetPopupMenu(nullptr);
}

bool TTrayIcon::FillIconData() {
    if (Designing() && !FDesignPreviewChanging && !FDesignPreview) return false;
    FIconData.hIcon = FIcon ? FIcon->Handle() : nullptr;
    std::memset(FIconData.szTip, 0, sizeof FIconData.szTip);
    if (!FHint.empty() && FShowHint) {
        const size_t n = std::min(FHint.size(), sizeof FIconData.szTip - 1);
        std::memcpy(FIconData.szTip, FHint.data(), n);
    }
    return true;
}

bool TTrayIcon::AddTrayIcon() {
    if (!FDesignPreviewChanging) FIconVisible = true;
    if (Designing() && !FDesignPreviewChanging) return false;
    return FillIconData() && Shell_NotifyIcon(NIM_ADD, &FIconData);
}

bool TTrayIcon::DeleteTrayIcon() {
    if (!FDesignPreviewChanging) FIconVisible = false;
    if (Designing() && !FDesignPreviewChanging) return false;
    return FillIconData() && Shell_NotifyIcon(NIM_DELETE, &FIconData);
}

bool TTrayIcon::ModifyTrayIcon() {
    return FillIconData() && Shell_NotifyIcon(NIM_MODIFY, &FIconData);
}

void TTrayIcon::SetIcon(TIcon* Value) {
    FIcon->Assign(Value);
    ModifyTrayIcon();
}

void TTrayIcon::SetIconVisible(bool Value) {
    if (Value)
        AddTrayIcon();
    else
        DeleteTrayIcon();
}

void TTrayIcon::SetHint(const std::string& Value) {
    FHint = Value;
    ModifyTrayIcon();
}

void TTrayIcon::SetShowHint(bool Value) {
    FShowHint = Value;
    ModifyTrayIcon();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* Value) {
    FPopupMenu = Value;
    if (Value) Value->FreeNotification(this);
}

void TTrayIcon::SetDesignPreview(bool Value) {
    FDesignPreview = Value;
    FDesignPreviewChanging = true;
    SetIconVisible(Value);
    FDesignPreviewChanging = false;
}

void TTrayIcon::SetIconList(TCustomImageList* Value) {
    FIconList = Value;
    if (Value) Value->FreeNotification(this);
    SetIconIndex(0);
}

void TTrayIcon::CopyListIcon(int Index) {
    // The list hands out bitmaps; the icon reads any picture from a stream.
    TBitmap picture;
    if (!FIconList->GetBitmap(Index, &picture)) return;
    TMemoryStream stream;
    picture.SaveToStream(&stream);
    stream.SetPosition(0);
    FIcon->LoadFromStream(&stream);
}

void TTrayIcon::SetIconIndex(int Value) {
    if (FIconList) {
        FIconIndex = Value;
        if (Value >= FIconList->Count()) FIconIndex = FIconList->Count() - 1;
        if (FIconIndex >= 0) CopyListIcon(FIconIndex);
    } else {
        FIconIndex = 0;
    }
    ModifyTrayIcon();
}

void TTrayIcon::SetCycleIcons(bool Value) {
    FCycleIcons = Value;
    if (Value) SetIconIndex(0);
    FCycleTimer->SetEnabled(Value);
}

void TTrayIcon::SetCycleInterval(Cardinal Value) {
    FCycleInterval = Value;
    FCycleTimer->SetInterval(Value);
}

void TTrayIcon::CycleTimerTick(TObject*) {
    if (!FIconList) return;
    const int last = FIconList->Count() - 1;
    if (FIconIndex >= 0 && FIconIndex <= last) CopyListIcon(FIconIndex);
    DoCycle(FIconIndex >= last ? 0 : FIconIndex + 1);
    ModifyTrayIcon();
    FIconIndex = FIconIndex >= last ? 0 : FIconIndex + 1;
}

void TTrayIcon::ShowMainForm() {
    if (!CanHandleMainForm()) return;
    ShowWindow(Application->Handle(), SW_RESTORE);
    TCustomForm* form = Application->MainForm();
    // Minimised by the desktop, the form comes back as it was before, in one
    // step: shown minimised and restored at once, the desktop could still
    // be minimising it when asked to restore it.
    if (IsIconic(form->Handle())) ShowWindow(form->Handle(), SW_RESTORE);
    form->SetVisible(true);
}

void TTrayIcon::HideMainForm() {
    if (!CanHandleMainForm()) return;
    // Without a notification area the hidden window could not be brought back.
    if (!NotifyIconAvailable()) return;
    Application->MainForm()->SetVisible(false);
    ShowWindow(Application->Handle(), SW_HIDE);
}

void TTrayIcon::MinimizeMainForm() {
    HideMainForm();
    SetIconVisible(true);
}

void TTrayIcon::DoClick() {
    Fire(OnClick, this);
}

void TTrayIcon::DoDblClick() {
    Fire(OnDblClick, this);
}

void TTrayIcon::DoCycle(int NextIndex) {
    Fire(OnCycle, this, NextIndex);
}

void TTrayIcon::DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    Fire(OnMouseDown, this, Button, Shift, X, Y);
}

void TTrayIcon::DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    Fire(OnMouseUp, this, Button, Shift, X, Y);
}

void TTrayIcon::DoMouseMove(TShiftState Shift, int X, int Y) {
    Fire(OnMouseMove, this, Shift, X, Y);
}

void TTrayIcon::PopupAtCursor() {
    if (!FPopupMenu || !FPopupMenu->AutoPopup()) return;
    TPoint cursor;
    if (!GetCursorPos(cursor)) return;
    ProcessMessages();
    SetForegroundWindow(FHandle);
    if (FOwnerWindow && IsWindow(FOwnerWindow)) SetForegroundWindow(FOwnerWindow);
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(cursor.X, cursor.Y);
    if (FOwnerWindow && IsWindow(FOwnerWindow)) PostMessage(FOwnerWindow, WM_NULL);
}

void TTrayIcon::TrayWndProc(HWND Wnd, TMessage& Message) {
    if (Message.Msg == TrayCallbackMessage) {
        if (!FEnabled) return;
        const TShiftState shift = KeyboardShiftState();
        TPoint pt;
        GetCursorPos(pt);
        switch (static_cast<UINT>(Message.LParam)) {
        case WM_MOUSEMOVE:
            DoMouseMove(shift, pt.X, pt.Y);
            break;
        case WM_LBUTTONDOWN:
            DoMouseDown(mbLeft, shift + ssLeft, pt.X, pt.Y);
            FClickStarted = true;
            if (FLeftPopup) PopupAtCursor();
            break;
        case WM_LBUTTONUP:
            if (FClickStarted) {
                FClickStarted = false;
                DoClick();
            }
            DoMouseUp(mbLeft, shift + ssLeft, pt.X, pt.Y);
            break;
        case WM_LBUTTONDBLCLK:
            DoDblClick();
            if (FPopupMenu && FPopupMenu->AutoPopup() && !FLeftPopup) {
                TMenuItem* chosen = nullptr;
                for (int i = FPopupMenu->Items()->Count() - 1; i >= 0; --i)
                    if (FPopupMenu->Items()->Items(i)->Default()) chosen = FPopupMenu->Items()->Items(i);
                if (chosen) chosen->Click();
            }
            break;
        case WM_RBUTTONDOWN:
            DoMouseDown(mbRight, shift + ssRight, pt.X, pt.Y);
            PopupAtCursor();
            break;
        case WM_RBUTTONUP:
            DoMouseUp(mbRight, shift + ssRight, pt.X, pt.Y);
            break;
        case WM_MBUTTONDOWN:
            DoMouseDown(mbMiddle, shift + ssMiddle, pt.X, pt.Y);
            break;
        case WM_MBUTTONUP:
            DoMouseUp(mbMiddle, shift + ssMiddle, pt.X, pt.Y);
            break;
        default:
            break;
        }
        return;
    }
    if (Message.Msg == WM_QUERYENDSESSION) {
        Message.Result = 1;
        return;
    }
    DefWindowProc(Wnd, Message);
}

void TTrayIcon::ApplicationWndProc(HWND Wnd, TMessage& Message) {
    if (Message.Msg == WM_SIZE && Message.WParam == SIZE_MINIMIZED) {
        if (FMinimizeToTray) MinimizeMainForm();
    } else if (Message.Msg == WM_WINDOWPOSCHANGED) {
        if (FFirstPositionChange && Application->MainForm()) {
            if (Application->MainForm()->FormStyle() == fsMDIForm && FStartMinimized && NotifyIconAvailable())
                ShowWindow(Application->Handle(), SW_HIDE);
            FFirstPositionChange = false;
        }
    } else if (Message.Msg == TaskbarCreatedMessage) {
        if (FIconVisible) AddTrayIcon();
    }
    CallNextWindowProc(Wnd, FApplicationHook, Message);
}

void TTrayIcon::OwnerWndProc(HWND Wnd, TMessage& Message) {
    if (Message.Msg == WM_SHOWWINDOW && Message.WParam == 1 && Message.LParam == 0) {
        ShowWindow(Application->Handle(), SW_RESTORE);
        SetForegroundWindow(Application->Handle());
        SetForegroundWindow(Wnd);
    } else if (Message.Msg == WM_ACTIVATE &&
               (LoWord(Message.WParam) == WA_ACTIVE || LoWord(Message.WParam) == WA_CLICKACTIVE)) {
        if (TWinControl* active = Screen->ActiveControl()) {
            TWinControl* frame = active->Parent() ? active->Parent() : active;
            if (frame->HandleAllocated() && reinterpret_cast<LPARAM>(frame->Handle()) != Message.LParam &&
                active->HandleAllocated())
                ::SetFocus(active->Handle());
        }
    }
    CallNextWindowProc(Wnd, FOwnerHook, Message);
}

void TTrayIcon::HookApplication() {
    FApplicationWindow = Application->Handle();
    FApplicationHook =
        PushWindowProc(FApplicationWindow, [this](HWND wnd, TMessage& m) { ApplicationWndProc(wnd, m); });
}

void TTrayIcon::UnhookApplication() {
    if (FApplicationHook && IsWindow(FApplicationWindow)) RemoveWindowProc(FApplicationWindow, FApplicationHook);
    FApplicationHook = 0;
    FApplicationWindow = nullptr;
}

void TTrayIcon::HookOwner() {
    FOwnerWindow = OwnerControl()->Handle();
    FOwnerHook = PushWindowProc(FOwnerWindow, [this](HWND wnd, TMessage& m) { OwnerWndProc(wnd, m); });
}

void TTrayIcon::UnhookOwner() {
    if (FOwnerHook && IsWindow(FOwnerWindow)) RemoveWindowProc(FOwnerWindow, FOwnerHook);
    FOwnerHook = 0;
    FOwnerWindow = nullptr;
}
