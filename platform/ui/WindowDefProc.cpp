// The default window procedure: what a window does with a message its own
// procedures pass on.
#include "platform/ui/Window.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Input.h"
#include "platform/ui/NonClient.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timers.h"
#include "platform/ui/private/Cursor_p.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/QtApplication_p.h"
#include "platform/ui/private/WindowManager_p.h"
#include "platform/ui/private/Window_p.h"

#include <QApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cstring>

using namespace platform_ui;

namespace {

void DefaultWindowPosChanged(HWND w, const TWindowPos& pos) {
    if (!(pos.flags & SWP_NOCLIENTMOVE)) {
        TPoint origin{w->WindowRect.Left + w->ClientRect.Left, w->WindowRect.Top + w->ClientRect.Top};
        SendMessage(w, WM_MOVE, 0, PointToLParam(origin));
    }
    if (!(pos.flags & SWP_NOCLIENTSIZE)) {
        const WPARAM kind = w->Maximized ? SIZE_MAXIMIZED : w->Minimized ? SIZE_MINIMIZED : SIZE_RESTORED;
        SendMessage(w, WM_SIZE, kind,
                    MakeLParam(static_cast<Word>(w->ClientRect.Width()), static_cast<Word>(w->ClientRect.Height())));
    }
}

std::string TruncateUtf8(const std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t n = maxBytes;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return text.substr(0, n);
}

} // namespace

void DefWindowProc(HWND Wnd, TMessage& Message) {
    Message.Result = 0;
    if (!IsLiveWindow(Wnd)) return;
    switch (Message.Msg) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const TCreateStruct*>(Message.LParam);
        if (create) Wnd->Text = create->Name;
        if (!Wnd->IsChild())
            if (QWidget* widget = Wnd->Widget.data()) widget->setWindowTitle(QString::fromStdString(Wnd->Text));
        Message.Result = 1;
        break;
    }
    case WM_NCCALCSIZE: {
        auto* params = reinterpret_cast<TNCCalcSizeParams*>(Message.LParam);
        if (params && !Wnd->Native) DefaultNCCalcSize(Wnd, params->rgrc[0]);
        break;
    }
    case WM_NCHITTEST:
        Message.Result = DefaultNCHitTest(
            Wnd, PointFromLParam(Message.LParam));
        break;
    case WM_NCPAINT:
        DefaultNCPaint(Wnd);
        break;
    case WM_NCACTIVATE:
        if (Wnd->CaptionActive != (Message.WParam != 0)) {
            Wnd->CaptionActive = Message.WParam != 0;
            if (HasEmulatedCaption(Wnd)) InvalidateFrame(Wnd);
        }
        Message.Result = 1;
        break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        DefaultNCLButtonDown(
            Wnd, static_cast<int>(Message.WParam),
            PointFromLParam(Message.LParam),
            Message.Msg == WM_NCLBUTTONDBLCLK);
        break;
    case WM_ERASEBKGND:
        if (Wnd->ClassBackground && Message.WParam) {
            TRect client{0, 0, Wnd->ClientRect.Width(), Wnd->ClientRect.Height()};
            FillRect(reinterpret_cast<HDC>(Message.WParam), &client, Wnd->ClassBackground);
            Message.Result = 1;
        }
        break;
    case WM_PAINT: {
        TPaintStruct paint;
        BeginPaint(Wnd, paint);
        EndPaint(Wnd, paint);
        break;
    }
    case WM_SETTEXT:
        Wnd->Text = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
        if (!Wnd->IsChild())
            if (QWidget* widget = Wnd->Widget.data()) widget->setWindowTitle(QString::fromStdString(Wnd->Text));
        if (HasEmulatedCaption(Wnd)) InvalidateFrame(Wnd);
        Message.Result = 1;
        break;
    case WM_GETTEXT: {
        if (Message.WParam == 0 || !Message.LParam) break;
        const std::string text = TruncateUtf8(Wnd->Text, Message.WParam - 1);
        std::memcpy(reinterpret_cast<char*>(Message.LParam), text.c_str(), text.size() + 1);
        Message.Result = static_cast<LRESULT>(text.size());
        break;
    }
    case WM_GETTEXTLENGTH:
        Message.Result = static_cast<LRESULT>(Wnd->Text.size());
        break;
    case WM_CLOSE:
        DestroyWindow(Wnd);
        break;
    case WM_SYSCOMMAND:
        switch (Message.WParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessage(Wnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(Wnd, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(Wnd, SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(Wnd, SW_RESTORE);
            break;
        case SC_MOVE:
        case SC_SIZE:
            DefaultMoveSizeCommand(
                Wnd, Message.WParam,
                PointFromLParam(Message.LParam));
            break;
        }
        break;
    case WM_SYSKEYDOWN:
        if (Message.WParam == VK_F4 && (Message.LParam & KF_ALTDOWN_BIT)) {
            HWND top = GetAncestorTopLevel(Wnd);
            if (top) PostMessage(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        break;
    case WM_SETCURSOR:
    case WM_MOUSEACTIVATE:
        // A parent may decide for its children.
        if (Wnd->IsChild() && Wnd->Parent)
            Message.Result = SendMessage(Wnd->Parent, Message.Msg, Message.WParam, Message.LParam);
        if (Message.Msg == WM_MOUSEACTIVATE && Message.Result == 0) Message.Result = MA_ACTIVATE;
        // Only the window under the pointer shows its class cursor; a parent
        // asked on a child's behalf leaves the child its own.
        if (Message.Msg == WM_SETCURSOR && Message.Result == 0 && reinterpret_cast<HWND>(Message.WParam) == Wnd &&
            LoWord(static_cast<uintptr_t>(Message.LParam)) == HTCLIENT) {
            ApplyClassCursor(Wnd, Wnd->ClassCursor);
            Message.Result = Wnd->ClassCursor ? 1 : 0;
        }
        break;
    case WM_RBUTTONUP: {
        TPoint screen = PointFromLParam(Message.LParam);
        ClientToScreen(Wnd, screen);
        SendMessage(Wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Wnd),
                    PointToLParam(screen));
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
        // The menu key, or Shift+F10, asks for the context menu at the focus (-1).
        if (Message.WParam == VK_APPS || (Message.WParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)))
            SendMessage(Wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Wnd), -1);
        break;
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU:
        if (Wnd->IsChild() && Wnd->Parent)
            Message.Result = SendMessage(Wnd->Parent, Message.Msg, Message.WParam, Message.LParam);
        break;
    case WM_WINDOWPOSCHANGED:
        if (Message.LParam) DefaultWindowPosChanged(Wnd, *reinterpret_cast<const TWindowPos*>(Message.LParam));
        break;
    case WM_CANCELMODE:
        if (GetCapture() == Wnd) ReleaseCapture();
        break;
    case WM_ACTIVATE:
        // An activated window takes the focus unless it already holds it inside.
        if (LoWord(Message.WParam) != WA_INACTIVE && !Wnd->Minimized) {
            HWND focus = GetFocus();
            if (focus != Wnd && !IsChild(Wnd, focus)) SetFocus(Wnd);
        }
        break;
    case WM_SETREDRAW:
        Wnd->RedrawDisabled = Message.WParam == 0;
        break;
    default:
        break;
    }
}

LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage message{Msg, WParam, LParam, 0};
    DefWindowProc(Wnd, message);
    return message.Result;
}
