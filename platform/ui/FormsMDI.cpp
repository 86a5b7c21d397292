// MDI: the client window's procedure, the maximised child's buttons and icon
// in the frame's menu bar, the system menu, the children's activation and
// their captions.
#include "platform/ui/Forms.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Messages.h"
#include "platform/ui/NonClient.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"
#include "platform/ui/private/Forms_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <algorithm>

using namespace platform_ui;

namespace platform_ui {

TCustomForm* MDIFrameOf(const TCustomForm* Form) {
    TCustomForm* frame = Application->MainForm();
    return Form->FormStyle() == fsMDIChild && frame && frame != Form ? frame : nullptr;
}

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
} // namespace platform_ui

namespace {

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

TRect PlaceOf(const TCaptionButtons& places, int HitTest) {
    return HitTest == HTMINBUTTON ? places.Min : HitTest == HTMAXBUTTON ? places.Max : places.Close;
}

} // namespace

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
