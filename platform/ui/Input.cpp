// Qt input to window messages. One application-wide event filter sees every
// key, input-method, mouse and wheel event aimed at a widget of ours, turns it
// into queued messages for the platform's focus or capture window, and keeps it
// from Qt; native widgets get it back from their class procedure (WindowHost).
// Input methods: native widgets show their pre-edit and answer Qt's queries
// themselves; self-painting windows answer here and show the pre-edit in a
// small label at the caret. Commits always arrive as WM_CHARs.
#include "platform/ui/Input.h"

#include "platform/ui/Focus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>

#include <array>

using namespace platform_ui;

namespace {

constexpr uint8_t KeyDown = 0x80;
constexpr uint8_t KeyToggled = 0x01;

struct InputState {
    KeyboardState Keys{};     // as the desktop's input has it now
    KeyboardState KeysRead{}; // as the input read last left it
    TPoint CursorPos{};
    bool CursorKnown = false;
    uint64_t NextKeyGroup = 1;
    HWND MouseWindow = nullptr; // for CM_MOUSEENTER / CM_MOUSELEAVE
    HWND PassThrough = nullptr;
    TDialogKeyHook DialogKeyHook;
    TKeyMessageHook KeyMessageHook;
    TMouseDownHook MouseDownHook;
    THintHook HintHook;
    QPointer<QLabel> Composition; // the pre-edit of a self-painting window
    bool Composing = false;       // a pre-edit is under way
};

InputState& State() {
    static InputState state;
    return state;
}

struct KeyPair {
    int Qt;
    Word Vk;
};

constexpr KeyPair KeyTable[] = {
    {Qt::Key_Backspace, VK_BACK},
    {Qt::Key_Tab, VK_TAB},
    {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Clear, VK_CLEAR},
    {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL},
    {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Select, VK_SELECT},
    {Qt::Key_Print, VK_SNAPSHOT},
    {Qt::Key_Execute, VK_EXECUTE},
    {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Help, VK_HELP},
    {Qt::Key_Meta, VK_LWIN},
    {Qt::Key_Menu, VK_APPS},
    {Qt::Key_NumLock, VK_NUMLOCK},
    {Qt::Key_ScrollLock, VK_SCROLL},
    // Shifted digits report the symbol; the key is the digit's (US layout).
    // The keypad's asterisk comes through the keypad modifier; its row here
    // serves the way back from VK_MULTIPLY.
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_Asterisk, VK_MULTIPLY},
    {Qt::Key_Plus, VK_OEM_PLUS},
    {Qt::Key_Comma, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS},
    {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Slash, VK_OEM_2},
    {Qt::Key_Semicolon, VK_OEM_1},
    {Qt::Key_Colon, VK_OEM_1},
    {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_QuoteLeft, VK_OEM_3},
    {Qt::Key_AsciiTilde, VK_OEM_3},
    {Qt::Key_BracketLeft, VK_OEM_4},
    {Qt::Key_BraceLeft, VK_OEM_4},
    {Qt::Key_Backslash, VK_OEM_5},
    {Qt::Key_Bar, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6},
    {Qt::Key_BraceRight, VK_OEM_6},
    {Qt::Key_Apostrophe, VK_OEM_7},
    {Qt::Key_QuoteDbl, VK_OEM_7},
    {Qt::Key_Less, VK_OEM_COMMA},
    {Qt::Key_Greater, VK_OEM_PERIOD},
    {Qt::Key_Question, VK_OEM_2},
    {Qt::Key_Underscore, VK_OEM_MINUS},
};

bool ExtendedKey(Word vk) {
    switch (vk) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
        return true;
    default:
        return false;
    }
}

void SetKey(Word vk, bool down) {
    uint8_t& k = State().Keys[vk & 0xFF];
    if (down && !(k & KeyDown)) k ^= KeyToggled;
    k = down ? (k | KeyDown) : (k & ~KeyDown);
}

void SyncModifiers(Qt::KeyboardModifiers modifiers) {
    SetKey(VK_SHIFT, modifiers & Qt::ShiftModifier);
    SetKey(VK_CONTROL, modifiers & Qt::ControlModifier);
    SetKey(VK_MENU, modifiers & Qt::AltModifier);
}

void SyncButtons(Qt::MouseButtons buttons) {
    SetKey(VK_LBUTTON, buttons & Qt::LeftButton);
    SetKey(VK_RBUTTON, buttons & Qt::RightButton);
    SetKey(VK_MBUTTON, buttons & Qt::MiddleButton);
}

WPARAM MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    WPARAM flags = 0;
    if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

bool AcceptsInput(HWND w) {
    if (!IsLiveWindow(w) || InputHeldBack(w)) return false;
    for (HWND p = w; p; p = p->IsChild() ? p->Parent : nullptr) {
        if (p->Style & WS_DISABLED) return false;
        if (!p->IsChild()) break;
    }
    return true;
}

// The window that keys go to: the focus window, else the active one.
HWND KeyTarget(HWND fallback) {
    if (HWND focus = GetFocus(); IsLiveWindow(focus)) return focus;
    if (HWND active = GetActiveWindow(); IsLiveWindow(active)) return active;
    return fallback;
}

void Queue(HWND w, UINT msg, WPARAM wParam, LPARAM lParam, uint64_t group = 0, WPARAM mouseKeys = 0) {
    QueuedMessage q;
    q.Msg = {w, msg, wParam, lParam, CurrentTime(), State().CursorPos};
    q.KeyGroup = group;
    q.MouseKeys = mouseKeys;
    q.Keyboard = State().Keys;
    EnqueueMessage(q);
}

void TranslateKey(HWND fallback, QKeyEvent* e) {
    const bool press = e->type() == QEvent::KeyPress;
    if (!press && e->isAutoRepeat()) return; // Win32 repeats key-downs only
    const Word known = VirtualKeyFromQt(e->key(), e->modifiers());
    SyncModifiers(e->modifiers());
    // A key we have no code for still types its characters.
    const Word vk = known ? known : e->text().isEmpty() ? 0 : VK_PACKET;
    const bool wasDown = known && (State().Keys[known & 0xFF] & KeyDown) != 0;
    if (known) SetKey(known, press);
    HWND target = KeyTarget(fallback);
    if (!vk || !AcceptsInput(target)) return;
    const bool alt = e->modifiers() & Qt::AltModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool sys = (alt && !ctrl) || vk == VK_F10 || (vk == VK_MENU && !ctrl);
    LPARAM lParam = 1 | (static_cast<LPARAM>(e->nativeScanCode() & 0xFF) << 16);
    if (ExtendedKey(vk)) lParam |= KF_EXTENDED_BIT;
    if (alt) lParam |= KF_ALTDOWN_BIT;
    if (!press)
        lParam |= KF_REPEAT_BIT | KF_UP_BIT;
    else if (wasDown || e->isAutoRepeat())
        lParam |= KF_REPEAT_BIT;
    if (!press) {
        Queue(target, sys ? WM_SYSKEYUP : WM_KEYUP, vk, lParam);
        InputQueued();
        return;
    }
    const uint64_t group = State().NextKeyGroup++;
    Queue(target, sys ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, lParam, group);
    if (vk != VK_DELETE)
        for (char32_t c : e->text().toUcs4())
            if (c != 0x7F) Queue(target, (alt && !ctrl) ? WM_SYSCHAR : WM_CHAR, c, lParam, group);
    InputQueued();
}

// An input method's text begins with a pre-edit or, when it commits at once,
// with the commit: the focus window hears of it first, so that it can move the
// focus (to an editor) before any character is queued.
void StartComposition(HWND fallback, QInputMethodEvent* e) {
    const bool composing = !e->preeditString().isEmpty();
    const bool starts = !State().Composing && (composing || !e->commitString().isEmpty());
    State().Composing = composing;
    if (!starts) return;
    HWND target = KeyTarget(fallback);
    if (AcceptsInput(target)) SendMessage(target, WM_IME_STARTCOMPOSITION, 0, 0);
}

void TranslateInputMethod(HWND fallback, QInputMethodEvent* e) {
    const QString commit = e->commitString();
    if (commit.isEmpty()) return;
    HWND target = KeyTarget(fallback);
    if (!AcceptsInput(target)) return;
    const uint64_t group = State().NextKeyGroup++;
    for (char32_t c : commit.toUcs4())
        Queue(target, WM_CHAR, c, 1, group);
    InputQueued();
}

// Where a self-painting window's caret stands for an input method, in the
// coordinates of its widget: the platform keeps no caret of its own, so the
// top-left corner of the client area, one line high.
QRect CaretRectangle(HWND w) {
    return QRect(ClientOriginOfWindow(w), QSize(1, QFontMetrics(w->Widget->font()).height()));
}

QWidget* QtFocusWidget() {
    QObject* focus = QGuiApplication::focusObject();
    return focus && focus->isWidgetType() ? static_cast<QWidget*>(focus) : nullptr;
}

// Shows the pre-edit of a self-painting window at its caret, underlined as
// composition text is; empty text hides it.
void ShowComposition(HWND w, const QString& text) {
    QPointer<QLabel>& label = State().Composition;
    if (text.isEmpty() || !IsLiveWindow(w) || !w->Widget) {
        if (label) label->hide();
        return;
    }
    if (!label) {
        label = new QLabel(w->Widget.data());
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setFrameShape(QFrame::Box);
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, Qt::white);
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    } else if (label->parentWidget() != w->Widget.data()) {
        label->setParent(w->Widget.data());
    }
    QFont font = w->Widget->font();
    font.setUnderline(true);
    label->setFont(font);
    label->setText(text);
    label->adjustSize();
    label->move(CaretRectangle(w).topLeft());
    label->raise();
    label->show();
}

// Widgets that edit for their window answer for themselves unless it turned
// input methods off; a self-painting window answers as an empty text at its caret.
bool AnswerInputMethodQuery(HWND w, QWidget* widget, QInputMethodQueryEvent* e) {
    if (w->WidgetTakesInput() && !w->InputMethodDisabled) return false;
    const Qt::InputMethodQueries queries = e->queries();
    if (queries & Qt::ImEnabled) e->setValue(Qt::ImEnabled, !w->InputMethodDisabled);
    if (!w->WidgetTakesInput()) {
        const QRect caret = CaretRectangle(w).translated(widget->mapFrom(w->Widget.data(), QPoint()));
        if (queries & Qt::ImCursorRectangle) e->setValue(Qt::ImCursorRectangle, caret);
        if (queries & Qt::ImAnchorRectangle) e->setValue(Qt::ImAnchorRectangle, caret);
        if (queries & Qt::ImInputItemClipRectangle) e->setValue(Qt::ImInputItemClipRectangle, widget->rect());
        if (queries & Qt::ImFont) e->setValue(Qt::ImFont, widget->font());
        if (queries & Qt::ImHints) e->setValue(Qt::ImHints, static_cast<int>(Qt::ImhNone));
        for (Qt::InputMethodQuery q : {Qt::ImCursorPosition, Qt::ImAnchorPosition, Qt::ImAbsolutePosition})
            if (queries & q) e->setValue(q, 0);
        for (Qt::InputMethodQuery q :
             {Qt::ImSurroundingText, Qt::ImCurrentSelection, Qt::ImTextBeforeCursor, Qt::ImTextAfterCursor})
            if (queries & q) e->setValue(q, QString());
    }
    e->accept();
    return true;
}

void UpdateMouseWindow(HWND w) {
    auto& state = State();
    if (state.MouseWindow == w) return;
    HWND old = state.MouseWindow;
    state.MouseWindow = w;
    RunGuarded([&] {
        if (IsLiveWindow(old)) SendMessage(old, CM_MOUSELEAVE, 0, 0);
        if (IsLiveWindow(w)) SendMessage(w, CM_MOUSEENTER, 0, 0);
    });
}

// Button index 0 left, 1 right, 2 middle; -1 for a move.
int ButtonIndex(Qt::MouseButton b) {
    if (b == Qt::LeftButton) return 0;
    if (b == Qt::RightButton) return 1;
    if (b == Qt::MiddleButton) return 2;
    return -1;
}

// The MDI child that holds w, w itself included; null outside MDI children.
HWND MDIChildOf(HWND w) {
    for (HWND p = w; IsLiveWindow(p) && p->IsChild(); p = p->Parent)
        if (p->ExStyle & WS_EX_MDICHILD) return p;
    return nullptr;
}

// A press on a window whose top-level window or MDI child is not the active
// one asks the pressed window (and through DefWindowProc its parents) whether
// to activate them and whether the press goes on; false when it is eaten.
bool MouseActivate(HWND target, int hitTest, UINT msg) {
    HWND top = GetAncestorTopLevel(target);
    const bool topInactive = top && top != GetActiveWindow() && !NeverActivated(top);
    HWND child = MDIChildOf(target);
    HWND client = child ? child->Parent : nullptr;
    const bool childInactive =
        child && IsLiveWindow(client) && reinterpret_cast<HWND>(SendMessage(client, WM_MDIGETACTIVE, 0, 0)) != child;
    if (!topInactive && !childInactive) return true;
    if (!IsLiveWindow(target)) return false;
    const LRESULT answer = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                       MakeLParam(static_cast<Word>(hitTest), static_cast<Word>(msg)));
    if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) {
        if (topInactive && IsLiveWindow(top)) SetActiveWindow(top);
        if (childInactive && IsLiveWindow(child) && IsLiveWindow(client))
            SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
    }
    return answer != MA_ACTIVATEANDEAT && answer != MA_NOACTIVATEANDEAT;
}

void TranslateMouse(HWND hit, QWidget* widget, QMouseEvent* e) {
    auto& state = State();
    // Screen position from our own geometry, so it agrees with ClientToScreen.
    const QPoint local = widget->mapTo(hit->Widget.data(), e->position().toPoint());
    const TPoint origin = WindowOriginOnScreen(hit);
    const TPoint screen{origin.X + local.x(), origin.Y + local.y()};
    state.CursorPos = screen;
    state.CursorKnown = true;
    SyncModifiers(e->modifiers());
    SyncButtons(e->buttons());

    int button = -1;
    int kind = 0; // 0 move, 1 down, 2 up, 3 double click
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        kind = 1;
        button = ButtonIndex(e->button());
        break;
    case QEvent::MouseButtonRelease:
        kind = 2;
        button = ButtonIndex(e->button());
        break;
    case QEvent::MouseButtonDblClick:
        kind = 3;
        button = ButtonIndex(e->button());
        break;
    default:
        break;
    }
    if (kind != 0 && button < 0) return;

    HWND capture = GetCapture();
    HWND target = IsLiveWindow(capture) ? capture : hit;
    int hitTest = HTCLIENT;
    if (!IsLiveWindow(capture)) {
        UpdateMouseWindow(hit);
        // Transparent parts pass the pointer to the parent.
        for (int guard = 0; guard < 64 && IsLiveWindow(target); ++guard) {
            hitTest = static_cast<int>(SendMessage(target, WM_NCHITTEST, 0, PointToLParam(screen)));
            if (hitTest != HTTRANSPARENT || !target->IsChild()) break;
            target = target->Parent;
        }
    } else {
        UpdateMouseWindow(WindowFromPoint(screen));
    }
    if (!AcceptsInput(target) || hitTest == HTERROR) return;

    static constexpr UINT Down[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static constexpr UINT Up[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    static constexpr UINT Double[3] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
    UINT msg = WM_MOUSEMOVE;
    if (kind == 1)
        msg = Down[button];
    else if (kind == 2)
        msg = Up[button];
    else if (kind == 3)
        msg = (target->ClassStyle & CS_DBLCLKS) || hitTest != HTCLIENT ? Double[button] : Down[button];

    if (!IsLiveWindow(capture)) {
        if ((kind == 1 || kind == 3) && !MouseActivate(target, hitTest, msg)) return;
        if (!IsLiveWindow(target)) return;
        SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                    MakeLParam(static_cast<Word>(hitTest), static_cast<Word>(msg)));
        if (!IsLiveWindow(target)) return;
    }
    if ((kind == 1 || kind == 3) && state.MouseDownHook) {
        const TMouseDownHook hook = state.MouseDownHook;
        hook(target);
        if (!IsLiveWindow(target)) return;
    }
    const WPARAM keys = MouseKeyFlags(e->buttons(), e->modifiers());
    if (hitTest == HTCLIENT) {
        TPoint client = screen;
        ScreenToClient(target, client);
        Queue(target, msg, keys, PointToLParam(client), 0, keys);
    } else {
        // Non-client messages are the client ones moved by WM_NCMOUSEMOVE - WM_MOUSEMOVE.
        Queue(target, msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE, static_cast<WPARAM>(hitTest), PointToLParam(screen), 0,
              keys);
    }
    InputQueued();
}

void TranslateWheel(HWND hit, QWidget* widget, QWheelEvent* e) {
    const QPoint local = widget->mapTo(hit->Widget.data(), e->position().toPoint());
    const TPoint origin = WindowOriginOnScreen(hit);
    const TPoint screen{origin.X + local.x(), origin.Y + local.y()};
    State().CursorPos = screen;
    State().CursorKnown = true;
    SyncModifiers(e->modifiers());
    int delta = e->angleDelta().y();
    if (delta == 0) delta = e->angleDelta().x();
    if (delta == 0) return;
    // The wheel goes to the window under the pointer, as on today's desktops,
    // so a list scrolls without being clicked first; a capture keeps it.
    HWND target = IsLiveWindow(GetCapture()) ? GetCapture() : hit;
    if (!AcceptsInput(target)) return;
    const WPARAM wParam = static_cast<WPARAM>(
        MakeLParam(static_cast<Word>(MouseKeyFlags(e->buttons(), e->modifiers())), static_cast<Word>(delta)));
    Queue(target, WM_MOUSEWHEEL, wParam, PointToLParam(screen));
    InputQueued();
}

void UpdateTopLevelGeometry(HWND w, QWidget* widget) {
    if (w->IsChild() || !widget->isWindow()) return;
    const QRect g = widget->geometry();
    const TRect r = Bounds(g.x(), g.y(), g.width(), g.height());
    if (r == w->WindowRect) return;
    RunGuarded([&] { SetWindowPos(w, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE); });
}

// The desktop minimised, maximised or restored a window: WM_SIZE says which.
void UpdateTopLevelState(HWND w, QWidget* widget) {
    const bool minimized = widget->isMinimized();
    const bool maximized = widget->isMaximized();
    if (minimized == w->Minimized && maximized == w->Maximized) return;
    // The desktop may drop the maximised state of a window it iconifies;
    // restoring brings it back all the same.
    if (minimized && !w->Minimized) w->RestoreMaximized = w->Maximized || maximized;
    w->Minimized = minimized;
    w->Maximized = maximized;
    const WPARAM kind = minimized ? SIZE_MINIMIZED : maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
    SendMessage(w, WM_SIZE, kind,
                MakeLParam(static_cast<Word>(w->ClientRect.Width()), static_cast<Word>(w->ClientRect.Height())));
}

class InputFilter : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (!object->isWidgetType()) return false;
        auto* widget = static_cast<QWidget*>(object);
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::InputMethod:
        case QEvent::InputMethodQuery:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Leave:
        case QEvent::WindowActivate:
        case QEvent::Close:
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::WindowStateChange:
        case QEvent::ToolTip:
            break;
        default:
            return false;
        }
        HWND w = WindowOfWidget(widget);
        if (!w || !IsLiveWindow(w) || !w->Widget) return false;
        // Qt asks while a native widget handles input given back to it too.
        if (event->type() == QEvent::InputMethodQuery)
            return AnswerInputMethodQuery(w, widget, static_cast<QInputMethodQueryEvent*>(event));
        HWND pass = State().PassThrough;
        if (pass && (w == pass || IsChild(pass, w))) return false;
        bool consumed = true;
        QtEventScope scope;
        RunGuarded([&] { consumed = Handle(w, widget, event); });
        return consumed;
    }

private:
    static bool Handle(HWND w, QWidget* widget, QEvent* event) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            TranslateKey(w, static_cast<QKeyEvent*>(event));
            return true;
        case QEvent::InputMethod: {
            auto* im = static_cast<QInputMethodEvent*>(event);
            StartComposition(w, im);
            if (!IsLiveWindow(w)) return true;
            if (!w->WidgetTakesInput()) {
                ShowComposition(w, im->preeditString());
            } else if (im->commitString().isEmpty()) {
                return false; // the widget shows the pre-edit
            } else {
                // The commit goes through the messages; the widget keeps only
                // the pre-edit that follows it, if any.
                QInputMethodEvent rest(im->preeditString(), im->attributes());
                PassThroughScope pass(w);
                QCoreApplication::sendEvent(widget, &rest);
            }
            TranslateInputMethod(w, im);
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            TranslateMouse(w, widget, static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::Wheel:
            TranslateWheel(w, widget, static_cast<QWheelEvent*>(event));
            return true;
        case QEvent::ContextMenu:
            return true; // WM_CONTEXTMENU comes from the button-up message
        case QEvent::ToolTip: {
            if (!State().HintHook) return false;
            const THintHook hook = State().HintHook;
            const QPoint local = widget->mapTo(w->Widget.data(), static_cast<QHelpEvent*>(event)->pos());
            const TPoint origin = WindowOriginOnScreen(w);
            return hook(w, {origin.X + local.x(), origin.Y + local.y()});
        }
        case QEvent::Leave:
            if (widget == w->Widget.data() && State().MouseWindow == w && !GetCapture()) UpdateMouseWindow(nullptr);
            return false;
        case QEvent::WindowActivate:
            if (widget == w->Widget.data() && !w->IsChild()) QtActivatedWindow(w);
            return false;
        case QEvent::Close:
            if (widget != w->Widget.data()) return false;
            event->ignore();
            PostMessage(w, WM_CLOSE, 0, 0);
            return true;
        case QEvent::Resize:
        case QEvent::Move:
            if (widget == w->Widget.data()) UpdateTopLevelGeometry(w, widget);
            return false;
        case QEvent::WindowStateChange:
            if (widget == w->Widget.data() && !w->IsChild()) UpdateTopLevelState(w, widget);
            return false;
        default:
            return false;
        }
    }
};

} // namespace

namespace platform_ui {

void KeyboardRead(const KeyboardState& Keyboard) {
    State().KeysRead = Keyboard;
}

Word VirtualKeyFromQt(int Key, Qt::KeyboardModifiers Modifiers) {
    if ((Modifiers & Qt::KeypadModifier) && Key >= Qt::Key_0 && Key <= Qt::Key_9)
        return static_cast<Word>(VK_NUMPAD0 + (Key - Qt::Key_0));
    if (Modifiers & Qt::KeypadModifier) {
        switch (Key) {
        case Qt::Key_Asterisk:
            return VK_MULTIPLY;
        case Qt::Key_Plus:
            return VK_ADD;
        case Qt::Key_Minus:
            return VK_SUBTRACT;
        case Qt::Key_Period:
            return VK_DECIMAL;
        case Qt::Key_Slash:
            return VK_DIVIDE;
        default:
            break;
        }
    }
    if ((Key >= Qt::Key_A && Key <= Qt::Key_Z) || (Key >= Qt::Key_0 && Key <= Qt::Key_9)) return static_cast<Word>(Key);
    if (Key >= Qt::Key_F1 && Key <= Qt::Key_F24) return static_cast<Word>(VK_F1 + (Key - Qt::Key_F1));
    for (const KeyPair& pair : KeyTable)
        if (pair.Qt == Key) return pair.Vk;
    return 0;
}

int QtKeyFromVirtualKey(Word Vk) {
    if ((Vk >= 'A' && Vk <= 'Z') || (Vk >= '0' && Vk <= '9')) return Vk;
    if (Vk >= VK_NUMPAD0 && Vk <= VK_NUMPAD9) return Qt::Key_0 + (Vk - VK_NUMPAD0);
    if (Vk >= VK_F1 && Vk <= VK_F1 + 23) return Qt::Key_F1 + (Vk - VK_F1);
    for (const KeyPair& pair : KeyTable)
        if (pair.Vk == Vk) return pair.Qt;
    return 0;
}

Qt::KeyboardModifiers CurrentModifiers() {
    Qt::KeyboardModifiers m;
    const auto& keys = State().Keys;
    if (keys[VK_SHIFT] & KeyDown) m |= Qt::ShiftModifier;
    if (keys[VK_CONTROL] & KeyDown) m |= Qt::ControlModifier;
    if (keys[VK_MENU] & KeyDown) m |= Qt::AltModifier;
    return m;
}

bool PreTranslateKeyMessage(const TMsg& Msg) {
    auto& state = State();
    const TMessage message{Msg.message, Msg.wParam, Msg.lParam, 0};
    if (state.KeyMessageHook) {
        const TKeyMessageHook hook = state.KeyMessageHook;
        if (hook(message, Msg.hwnd)) return true;
    }
    if (!IsLiveWindow(Msg.hwnd) || Msg.message != WM_KEYDOWN) return false;
    UINT mask = 0;
    switch (Msg.wParam) {
    case VK_TAB:
        mask = DLGC_WANTTAB;
        break;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        mask = DLGC_WANTARROWS;
        break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
        mask = DLGC_WANTALLKEYS;
        break;
    default:
        return false;
    }
    TMsg copy = Msg;
    const auto code =
        static_cast<UINT>(SendMessage(Msg.hwnd, WM_GETDLGCODE, Msg.wParam, reinterpret_cast<LPARAM>(&copy)));
    if (code & mask) return false;
    if (!state.DialogKeyHook || !IsLiveWindow(Msg.hwnd)) return false;
    const TDialogKeyHook hook = state.DialogKeyHook;
    return hook(message, Msg.hwnd);
}

void EnsureInputFilter() {
    static InputFilter* filter = nullptr;
    if (filter) return;
    filter = new InputFilter;
    QCoreApplication::instance()->installEventFilter(filter);
}

const QInputDevice* KeyboardDevice() {
    for (const QInputDevice* device : QInputDevice::devices())
        if (device->type() == QInputDevice::DeviceType::Keyboard) return device;
    static const auto* keyboard =
        new QInputDevice(QStringLiteral("platform keyboard"), 1, QInputDevice::DeviceType::Keyboard);
    return keyboard;
}

const QPointingDevice* PointerDevice() {
    for (const QInputDevice* device : QInputDevice::devices())
        if (device->type() == QInputDevice::DeviceType::Mouse) return static_cast<const QPointingDevice*>(device);
    static const auto* mouse = new QPointingDevice(
        QStringLiteral("platform mouse"), 2, QInputDevice::DeviceType::Mouse, QPointingDevice::PointerType::Generic,
        QInputDevice::Capability::Position | QInputDevice::Capability::Scroll, 1, 3);
    return mouse;
}

void FinishComposition() {
    State().Composing = false;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    QWidget* focus = QtFocusWidget();
    if (!focus || !WindowOfWidget(focus)) return; // Qt's own windows keep theirs
    QGuiApplication::inputMethod()->commit();
    ShowComposition(nullptr, {});
}

const QLabel* CompositionLabel() {
    return State().Composition;
}

void RefreshInputMethod() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QGuiApplication::focusObject())
        QGuiApplication::inputMethod()->update(Qt::ImQueryAll);
}

PassThroughScope::PassThroughScope(HWND Wnd) : Previous(State().PassThrough) {
    State().PassThrough = Wnd;
}
PassThroughScope::~PassThroughScope() {
    State().PassThrough = Previous;
}

} // namespace platform_ui

int16_t GetKeyState(int VirtualKey) {
    const uint8_t k = State().KeysRead[static_cast<size_t>(VirtualKey) & 0xFF];
    return static_cast<int16_t>(((k & KeyDown) ? 0x8000 : 0) | (k & KeyToggled));
}

// Input is translated as it arrives, so the table is as current as Qt's view.
int16_t GetAsyncKeyState(int VirtualKey) {
    return (State().Keys[static_cast<size_t>(VirtualKey) & 0xFF] & KeyDown) ? static_cast<int16_t>(0x8000) : 0;
}

bool GetCursorPos(TPoint& Point) {
    const auto& state = State();
    if (state.CursorKnown) {
        Point = state.CursorPos;
        return true;
    }
    if (QGuiApplication::instance()) {
        const QPoint p = QCursor::pos();
        Point = {p.x(), p.y()};
    } else {
        Point = {};
    }
    return true;
}

void SetInputMethodEnabled(HWND Wnd, bool Enabled) {
    if (!IsLiveWindow(Wnd) || Wnd->InputMethodDisabled == !Enabled) return;
    Wnd->InputMethodDisabled = !Enabled;
    QWidget* focus = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QtFocusWidget() : nullptr;
    if (!focus || WindowOfWidget(focus) != Wnd) return;
    if (!Enabled) {
        QGuiApplication::inputMethod()->reset();
        // The reset leaves the shown pre-edit to its widget: an empty one clears it.
        QInputMethodEvent clear;
        QCoreApplication::sendEvent(focus, &clear);
    }
    RefreshInputMethod();
}

TDialogKeyHook SetDialogKeyHook(TDialogKeyHook Hook) {
    TDialogKeyHook previous = State().DialogKeyHook;
    State().DialogKeyHook = std::move(Hook);
    return previous;
}

TKeyMessageHook SetKeyMessageHook(TKeyMessageHook Hook) {
    TKeyMessageHook previous = State().KeyMessageHook;
    State().KeyMessageHook = std::move(Hook);
    return previous;
}

THintHook SetHintHook(THintHook Hook) {
    THintHook previous = State().HintHook;
    State().HintHook = std::move(Hook);
    return previous;
}

TMouseDownHook SetMouseDownHook(TMouseDownHook Hook) {
    TMouseDownHook previous = State().MouseDownHook;
    State().MouseDownHook = std::move(Hook);
    return previous;
}
