// The program's icon in the notification area: hint, pop-up menu, mouse
// events, icon cycling through an image list, and hiding the main window to
// the area. It watches the application's window and its owner form through
// their window-procedure chains and puts its icon back when the shell's task
// bar is re-created. Where no notification area exists the main window is
// never hidden, since nothing would bring it back.
#pragma once

#include "platform/ui/ShellAPI.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Graphics.h"

#include <functional>
#include <memory>
#include <string>

class TPopupMenu;
class TCustomImageList;
class TTimer;

using TCycleEvent = std::function<void(TObject* Sender, int NextIndex)>;

class TTrayIcon : public TComponent {
public:
    explicit TTrayIcon(TComponent* AOwner);
    ~TTrayIcon() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value);
    bool IconVisible() const { return FIconVisible; }
    void SetIconVisible(bool Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    bool LeftPopup() const { return FLeftPopup; }
    void SetLeftPopup(bool Value) { FLeftPopup = Value; }
    bool StartMinimized() const { return FStartMinimized; }
    void SetStartMinimized(bool Value) { FStartMinimized = Value; }
    bool MinimizeToTray() const { return FMinimizeToTray; }
    void SetMinimizeToTray(bool Value) { FMinimizeToTray = Value; }
    int IconIndex() const { return FIconIndex; }
    void SetIconIndex(int Value);
    bool DesignPreview() const { return FDesignPreview; }
    void SetDesignPreview(bool Value);
    TCustomImageList* IconList() const { return FIconList; }
    void SetIconList(TCustomImageList* Value);
    bool CycleIcons() const { return FCycleIcons; }
    void SetCycleIcons(bool Value);
    Cardinal CycleInterval() const { return FCycleInterval; }
    void SetCycleInterval(Cardinal Value);

    // The record as last filled for the shell.
    const NOTIFYICONDATA& IconData() const { return FIconData; }
    // The hidden window that receives the icon's mouse messages.
    HWND Handle() const { return FHandle; }

    // Restores the application's window and shows the main form.
    void ShowMainForm();
    // Hides the main form and the application's window (its task-bar button).
    void HideMainForm();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TCycleEvent OnCycle;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    virtual bool AllowDefaultIcon() { return true; }
    virtual bool AddTrayIcon();
    virtual bool DeleteTrayIcon();
    virtual bool ModifyTrayIcon();
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual void DoClick();
    virtual void DoDblClick();
    virtual void DoCycle(int NextIndex);
    virtual void DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoMouseMove(TShiftState Shift, int X, int Y);
    virtual void MinimizeMainForm();

private:
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    TWinControl* OwnerControl() const;
    bool CanHandleMainForm() const;
    bool FillIconData();
    void CopyListIcon(int Index);
    void PopupAtCursor();
    void CycleTimerTick(TObject* Sender);
    void TrayWndProc(HWND Wnd, TMessage& Message);
    void ApplicationWndProc(HWND Wnd, TMessage& Message);
    void OwnerWndProc(HWND Wnd, TMessage& Message);
    void HookApplication();
    void UnhookApplication();
    void HookOwner();
    void UnhookOwner();

    bool FEnabled = true;
    std::unique_ptr<TIcon> FIcon;
    bool FIconVisible = true;
    std::string FHint;
    bool FShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    bool FLeftPopup = false;
    bool FStartMinimized = false;
    bool FMinimizeToTray = false;
    std::unique_ptr<TTimer> FCycleTimer;
    int FIconIndex = 0;
    bool FDesignPreview = false;
    bool FDesignPreviewChanging = false;
    bool FFirstPositionChange = true;
    bool FClickStarted = false;
    TCustomImageList* FIconList = nullptr;
    bool FCycleIcons = false;
    Cardinal FCycleInterval = 0;
    HWND FApplicationWindow = nullptr;
    TWindowProcedureId FApplicationHook = 0;
    HWND FOwnerWindow = nullptr;
    TWindowProcedureId FOwnerHook = 0;
    HWND FHandle = nullptr;
    NOTIFYICONDATA FIconData;
};
