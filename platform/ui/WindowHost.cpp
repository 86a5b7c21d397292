// Windows shown by native Qt widgets. Their input has already become messages;
// what reaches the bottom of the procedure chain is rebuilt as Qt events and
// handed to the widget, with the input filter stepping aside meanwhile. What the
// widget ignores goes no further than the window.
// Printable characters go in at WM_CHAR and Backspace too, as the classic edit
// control acts on them there; other keys act at WM_KEYDOWN. A character typed
// with Alt (WM_SYSCHAR) is a menu key, never text.
#include "platform/ui/private/WindowHost_p.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Input.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

using namespace platform_ui;

namespace {

bool IsPrintableKey(Word vk) {
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') || vk == VK_SPACE ||
           (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE && vk != VK_SEPARATOR) || (vk >= VK_OEM_1 && vk <= VK_OEM_3) ||
           (vk >= VK_OEM_4 && vk <= VK_OEM_7);
}

// A printable key without Ctrl or Alt produces a character, which carries it in.
bool ArrivesAsCharacter(Word vk) {
    const Qt::KeyboardModifiers m = CurrentModifiers();
    if (m & (Qt::ControlModifier | Qt::AltModifier)) return false;
    return IsPrintableKey(vk) || vk == VK_BACK || vk == VK_PACKET;
}

// Qt's focus stays where ours is, whatever the widget did with a key.
void KeepQtFocus(HWND w) {
    HWND focus = GetFocus();
    if (!IsLiveWindow(focus) || !focus->Widget) return;
    QWidget* qtFocus = QApplication::focusWidget();
    if (qtFocus && WindowOfWidget(qtFocus) == focus) return;
    if (focus == w || IsChild(w, focus)) MoveQtFocus(focus);
}

// Qt passes an event the widget ignores on to its parents, the widgets of other
// windows, where the input filter would make messages of it a second time.
// Installed after that filter, this one runs first and ends the event there. Qt
// copies mouse events for the parents, so it goes by type; real input is
// spontaneous and never stopped, even in a loop the widget runs meanwhile.
class StopAboveWindow : public QObject {
public:
    StopAboveWindow(QWidget* widget, QEvent::Type type)
        : Above(widget->isWindow() ? nullptr : widget->parentWidget()), Type(type) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~StopAboveWindow() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject* object, QEvent* event) override {
        return event->type() == Type && !event->spontaneous() && object->isWidgetType() &&
               static_cast<QWidget*>(object)->isAncestorOf(Above);
    }

private:
    QWidget* Above;
    QEvent::Type Type;
};

void Deliver(HWND w, QWidget* target, QEvent* event) {
    PassThroughScope pass(w);
    QtEventScope scope;
    StopAboveWindow stop(w->Widget.data(), event->type());
    QCoreApplication::sendEvent(target, event);
}

// The widget that takes the window's keys and wheel.
QWidget* InputWidget(HWND w) {
    return w->ClientWidget ? w->ClientWidget.data() : w->Widget.data();
}

void DeliverKey(HWND w, QEvent::Type type, int key, const QString& text) {
    QWidget* widget = InputWidget(w);
    QWidget* target =
        widget->focusWidget() && widget->isAncestorOf(widget->focusWidget()) ? widget->focusWidget() : widget;
    QKeyEvent event(type, key, CurrentModifiers(), 0, 0, 0, text, false, 1, KeyboardDevice());
    Deliver(w, target, &event);
    if (IsLiveWindow(w)) KeepQtFocus(w);
}

void DeliverMouse(HWND w, const TMessage& m) {
    QWidget* widget = w->Widget.data();
    const TPoint client = PointFromLParam(m.LParam);
    const QPoint pos(client.X + w->ClientRect.Left, client.Y + w->ClientRect.Top);
    QWidget* target = widget->childAt(pos);
    if (!target) target = widget;
    const QPoint local = target->mapFrom(widget, pos);
    TPoint screen = PointFromLParam(m.LParam);
    ClientToScreen(w, screen);
    Qt::MouseButtons buttons;
    if (m.WParam & MK_LBUTTON) buttons |= Qt::LeftButton;
    if (m.WParam & MK_RBUTTON) buttons |= Qt::RightButton;
    if (m.WParam & MK_MBUTTON) buttons |= Qt::MiddleButton;
    Qt::KeyboardModifiers modifiers;
    if (m.WParam & MK_SHIFT) modifiers |= Qt::ShiftModifier;
    if (m.WParam & MK_CONTROL) modifiers |= Qt::ControlModifier;
    QEvent::Type type = QEvent::MouseMove;
    Qt::MouseButton button = Qt::NoButton;
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        type = QEvent::MouseButtonPress;
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        type = QEvent::MouseButtonRelease;
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        type = QEvent::MouseButtonDblClick;
        break;
    default:
        break;
    }
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        button = Qt::LeftButton;
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        button = Qt::RightButton;
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        button = Qt::MiddleButton;
        break;
    default:
        break;
    }
    QMouseEvent event(type, QPointF(local), QPointF(local), QPointF(screen.X, screen.Y), button, buttons, modifiers,
                      PointerDevice());
    Deliver(w, target, &event);
}

} // namespace

namespace platform_ui {

bool RegisterNativeWindowClass(const std::string& ClassName, UINT Style, TNativeWidgetFactory Factory,
                               TWindowProcedure DefaultProcedure) {
    if (!Factory) return false;
    WindowClassEntry entry;
    entry.Class.ClassName = ClassName;
    entry.Class.Style = Style;
    entry.Class.WindowProcedure = DefaultProcedure ? std::move(DefaultProcedure) : TWindowProcedure(NativeWindowProc);
    entry.NativeFactory = [Factory = std::move(Factory)](HWND w, const TCreateStruct& create) {
        QWidget* widget = Factory(w, create);
        if (widget) widget->setMouseTracking(true);
        return widget;
    };
    return RegisterClassEntry(std::move(entry));
}

void SetClientWidget(HWND Wnd, QWidget* Widget) {
    if (!IsLiveWindow(Wnd) || !Wnd->Widget) return;
    Wnd->ClientWidget = Widget;
    Widget->setParent(Wnd->Widget.data());
    Widget->setMouseTracking(true);
    Wnd->Widget->setFocusProxy(Widget);
    const TRect& client = Wnd->ClientRect;
    Widget->setGeometry(client.Left, client.Top, client.Width(), client.Height());
    Widget->show();
}

void NativeWindowProc(HWND Wnd, TMessage& Message) {
    if (!IsLiveWindow(Wnd) || !Wnd->Widget) {
        DefWindowProc(Wnd, Message);
        return;
    }
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        const auto vk = static_cast<Word>(Message.WParam);
        if (!ArrivesAsCharacter(vk)) DeliverKey(Wnd, QEvent::KeyPress, QtKeyFromVirtualKey(vk), QString());
        // Alt+F4 and the like are the system's, whatever the widget did.
        if (Message.Msg == WM_SYSKEYDOWN && IsLiveWindow(Wnd)) DefWindowProc(Wnd, Message);
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (Message.WParam != VK_PACKET)
            DeliverKey(Wnd, QEvent::KeyRelease, QtKeyFromVirtualKey(static_cast<Word>(Message.WParam)), QString());
        DefWindowProc(Wnd, Message);
        break;
    case WM_CHAR: {
        const auto c = static_cast<char32_t>(Message.WParam);
        if (c == 8) {
            DeliverKey(Wnd, QEvent::KeyPress, Qt::Key_Backspace, QString());
        } else if (c >= 0x20 && c != 0x7F) {
            const QString text = QString::fromUcs4(&c, 1);
            const int key = c < 0x80 ? static_cast<int>(QChar(static_cast<char16_t>(c)).toUpper().unicode())
                                     : static_cast<int>(Qt::Key_unknown);
            DeliverKey(Wnd, QEvent::KeyPress, key, text);
        }
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // Standard controls take the focus when clicked.
        if (Message.Msg != WM_RBUTTONDOWN && (Wnd->Widget->focusPolicy() & Qt::ClickFocus) && GetFocus() != Wnd)
            SetFocus(Wnd);
        if (IsLiveWindow(Wnd)) DeliverMouse(Wnd, Message);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
        DeliverMouse(Wnd, Message);
        if (IsLiveWindow(Wnd) && Message.Msg == WM_RBUTTONUP) DefWindowProc(Wnd, Message);
        break;
    case WM_MOUSEWHEEL: {
        QWidget* widget = InputWidget(Wnd);
        TPoint screen = PointFromLParam(Message.LParam);
        TPoint client = screen;
        ScreenToClient(Wnd, client);
        QWheelEvent event(QPointF(client.X, client.Y), QPointF(screen.X, screen.Y), QPoint(),
                          QPoint(0, SmallHi(Message.WParam)), Qt::NoButton, CurrentModifiers(), Qt::NoScrollPhase,
                          false, Qt::MouseEventNotSynthesized, PointerDevice());
        Deliver(Wnd, widget, &event);
        break;
    }
    case WM_CONTEXTMENU: {
        QWidget* widget = Wnd->Widget.data();
        TPoint screen = PointFromLParam(Message.LParam);
        const bool keyboard = Message.LParam == -1;
        if (keyboard) {
            screen = {0, 0};
            ClientToScreen(Wnd, screen);
        }
        TPoint client = screen;
        ScreenToClient(Wnd, client);
        QContextMenuEvent event(keyboard ? QContextMenuEvent::Keyboard : QContextMenuEvent::Mouse,
                                QPoint(client.X, client.Y), QPoint(screen.X, screen.Y), CurrentModifiers());
        Deliver(Wnd, widget, &event);
        break;
    }
    default:
        DefWindowProc(Wnd, Message);
        break;
    }
}

} // namespace platform_ui
