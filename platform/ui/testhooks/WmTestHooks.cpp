// Test hooks of the window manager: real Qt input events sent to a window's
// widget (through the same filter a user's input passes), and the backing image
// read back as plain pixels.
#include "platform/ui/testhooks/WmTestHooks.h"

#include "platform/ui/private/WindowManager_p.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTextCharFormat>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindow>

namespace platform_ui::test {

namespace {
QWidget* Target(HWND w) {
    return IsLiveWindow(w) ? w->Widget.data() : nullptr;
}

std::vector<uint32_t> PixelsOf(const QImage& image) {
    std::vector<uint32_t> pixels;
    pixels.reserve(static_cast<size_t>(image.width()) * static_cast<size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(image.pixel(x, y) & 0xFFFFFF);
    return pixels;
}

QPointF GlobalOf(HWND w, TPoint p) {
    const TPoint origin = WindowOriginOnScreen(w);
    return QPointF(origin.X + p.X, origin.Y + p.Y);
}

Qt::KeyboardModifiers ModifiersOf(WPARAM keys) {
    Qt::KeyboardModifiers modifiers;
    if (keys & MK_SHIFT) modifiers |= Qt::ShiftModifier;
    if (keys & MK_CONTROL) modifiers |= Qt::ControlModifier;
    if (keys & MK_ALT) modifiers |= Qt::AltModifier;
    return modifiers;
}

Qt::MouseButtons ButtonsOf(WPARAM keys) {
    Qt::MouseButtons buttons;
    if (keys & MK_LBUTTON) buttons |= Qt::LeftButton;
    if (keys & MK_RBUTTON) buttons |= Qt::RightButton;
    if (keys & MK_MBUTTON) buttons |= Qt::MiddleButton;
    return buttons;
}

QEvent::Type MouseEventType(TMouseEventKind kind) {
    switch (kind) {
    case TMouseEventKind::Move:
        return QEvent::MouseMove;
    case TMouseEventKind::Press:
        return QEvent::MouseButtonPress;
    case TMouseEventKind::Release:
        return QEvent::MouseButtonRelease;
    case TMouseEventKind::DoubleClick:
        return QEvent::MouseButtonDblClick;
    }
    return QEvent::None;
}

// The key Qt reports with a key press: the printable character it types
// names it (letters in upper case), else the key's own code does.
int QtKeyOf(Word key, WPARAM keys, const QString& text) {
    const auto characters = text.toUcs4();
    if (characters.size() == 1 && QChar::isPrint(characters[0])) return static_cast<int>(QChar::toUpper(characters[0]));
    if (key == VK_TAB && (keys & MK_SHIFT)) return Qt::Key_Backtab;
    return QtKeyFromVirtualKey(key);
}
} // namespace

void SendQtKey(HWND Wnd, Word Key, WPARAM Keys, const std::string& Text, bool Release) {
    QWidget* widget = Target(Wnd);
    if (!widget) return;
    const Qt::KeyboardModifiers modifiers = ModifiersOf(Keys);
    const QString text = QString::fromStdString(Text);
    const int qtKey = QtKeyOf(Key, Keys, text);
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, 0, 0, 0, text, false, 1, KeyboardDevice());
    QCoreApplication::sendEvent(widget, &press);
    if (!Release || !IsLiveWindow(Wnd)) return;
    QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers, 0, 0, 0, text, false, 1, KeyboardDevice());
    QCoreApplication::sendEvent(widget, &release);
}

void PostQtKey(HWND Wnd, Word Key, WPARAM Keys, const std::string& Text, bool Press) {
    QWidget* widget = Target(Wnd);
    if (!widget) return;
    const QString text = QString::fromStdString(Text);
    QCoreApplication::postEvent(widget, new QKeyEvent(Press ? QEvent::KeyPress : QEvent::KeyRelease,
                                                      QtKeyOf(Key, Keys, text), ModifiersOf(Keys), 0, 0, 0, text,
                                                      false, 1, KeyboardDevice()));
}

void SendQtInputMethodCommit(HWND Wnd, const std::string& Text) {
    QWidget* widget = Target(Wnd);
    if (!widget) return;
    QInputMethodEvent event;
    event.setCommitString(QString::fromStdString(Text));
    QCoreApplication::sendEvent(widget, &event);
}

bool SendQtInputMethodEvent(const std::string& Preedit, const std::string& Commit) {
    QObject* focus = QGuiApplication::focusObject();
    if (!focus) return false;
    const QString preedit = QString::fromStdString(Preedit);
    QTextCharFormat underlined;
    underlined.setFontUnderline(true);
    const QList<QInputMethodEvent::Attribute> attributes{
        {QInputMethodEvent::TextFormat, 0, static_cast<int>(preedit.size()), underlined},
        {QInputMethodEvent::Cursor, static_cast<int>(preedit.size()), 1, QVariant()}};
    QInputMethodEvent event(preedit, attributes);
    event.setCommitString(QString::fromStdString(Commit));
    QCoreApplication::sendEvent(focus, &event);
    return true;
}

HWND QtFocusObjectWindow() {
    QObject* focus = QGuiApplication::focusObject();
    return focus && focus->isWidgetType() ? WindowOfWidget(static_cast<QWidget*>(focus)) : nullptr;
}

// Asked by event, as Qt asks when its focus object changes (a direct query
// would skip the application's event filters).
bool QtInputMethodEnabled() {
    QObject* focus = QGuiApplication::focusObject();
    if (!focus) return false;
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(focus, &query);
    return query.value(Qt::ImEnabled).toBool();
}

TRect QtCursorRectangle() {
    const QWindow* window = QGuiApplication::focusWindow();
    const QRect r = QGuiApplication::inputMethod()->cursorRectangle().toRect();
    if (!window || r.isNull()) return {};
    const QPoint topLeft = window->mapToGlobal(r.topLeft());
    return Bounds(topLeft.x(), topLeft.y(), r.width(), r.height());
}

std::string ShownComposition(HWND Wnd, TPoint* Where) {
    const QLabel* label = CompositionLabel();
    if (!label || label->isHidden() || !IsLiveWindow(Wnd) || label->parentWidget() != Wnd->Widget.data()) return {};
    if (Where) *Where = {label->x(), label->y()};
    return label->text().toStdString();
}

void SendQtMouse(HWND Wnd, TMouseEventKind Kind, TPoint WindowPoint, WPARAM Button, WPARAM Keys) {
    QWidget* widget = Target(Wnd);
    if (!widget) return;
    const QPointF local(WindowPoint.X, WindowPoint.Y);
    QMouseEvent event(MouseEventType(Kind), local, local, GlobalOf(Wnd, WindowPoint),
                      static_cast<Qt::MouseButton>(ButtonsOf(Button).toInt()), ButtonsOf(Keys), ModifiersOf(Keys),
                      PointerDevice());
    QCoreApplication::sendEvent(widget, &event);
}

void PostQtMouse(HWND Wnd, TMouseEventKind Kind, TPoint WindowPoint, WPARAM Button, WPARAM Keys) {
    QWidget* widget = Target(Wnd);
    if (!widget) return;
    QCoreApplication::postEvent(widget, new QMouseEvent(MouseEventType(Kind), QPointF(WindowPoint.X, WindowPoint.Y),
                                                        GlobalOf(Wnd, WindowPoint),
                                                        static_cast<Qt::MouseButton>(ButtonsOf(Button).toInt()),
                                                        ButtonsOf(Keys), ModifiersOf(Keys)));
}

void SendQtWheel(HWND Wnd, TPoint WindowPoint, int Delta, WPARAM Keys) {
    QWidget* widget = Target(Wnd);
    if (!widget) return;
    QWheelEvent event(QPointF(WindowPoint.X, WindowPoint.Y), GlobalOf(Wnd, WindowPoint), QPoint(), QPoint(0, Delta),
                      Qt::NoButton, ModifiersOf(Keys), Qt::NoScrollPhase, false, Qt::MouseEventNotSynthesized,
                      PointerDevice());
    QCoreApplication::sendEvent(widget, &event);
}

void SendQtHintRequest(HWND Wnd, TPoint WindowPoint) {
    QWidget* widget = Target(Wnd);
    if (!widget) return;
    QHelpEvent event(QEvent::ToolTip, QPoint(WindowPoint.X, WindowPoint.Y), GlobalOf(Wnd, WindowPoint).toPoint());
    QCoreApplication::sendEvent(widget, &event);
}

std::string ShownHint() {
    return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
}

void RemoveShownHint() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->inherits("QTipLabel")) widget->hide();
}

void SendQtEnterLeave(HWND Wnd, bool Enter) {
    QWidget* widget = Target(Wnd);
    if (!widget) return;
    if (Enter) {
        QEnterEvent event(QPointF(0, 0), QPointF(0, 0), GlobalOf(Wnd, {0, 0}), PointerDevice());
        QCoreApplication::sendEvent(widget, &event);
    } else {
        QEvent event(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &event);
    }
}

void PumpQt(int Milliseconds) {
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (timer.elapsed() < Milliseconds);
    QCoreApplication::processEvents();
}

bool CurrentMessageWasPosted() {
    return platform_ui::CurrentMessageWasPosted();
}

bool RegisterTestEditClass(const std::string& ClassName, bool ReadOnly) {
    return RegisterNativeWindowClass(ClassName, CS_DBLCLKS, [ReadOnly](HWND, const TCreateStruct& create) -> QWidget* {
        auto* edit = new QLineEdit;
        edit->setText(QString::fromStdString(create.Name));
        edit->setReadOnly(ReadOnly);
        return edit;
    });
}

std::string TestEditText(HWND Wnd) {
    auto* edit = qobject_cast<QLineEdit*>(WidgetOfWindow(Wnd));
    return edit ? edit->text().toStdString() : std::string();
}

size_t BackingImageBytes(HWND Wnd) {
    return IsLiveWindow(Wnd) ? static_cast<size_t>(Wnd->Image.sizeInBytes()) : 0;
}

uint32_t BackingPixel(HWND Wnd, int X, int Y) {
    const QImage* image = BackingImageOfWindow(Wnd);
    if (!image || !image->rect().contains(X, Y)) return 0;
    return image->pixel(X, Y) & 0xFFFFFF;
}

std::vector<uint32_t> BackingPixels(HWND Wnd) {
    const QImage* image = BackingImageOfWindow(Wnd);
    return image ? PixelsOf(*image) : std::vector<uint32_t>();
}

uint32_t RenderedPixel(HWND Wnd, int X, int Y) {
    const QImage image = RenderWindow(Wnd);
    if (!image.rect().contains(X, Y)) return 0;
    return image.pixel(X, Y) & 0xFFFFFF;
}

std::vector<uint32_t> RenderedPixels(HWND Wnd) {
    return PixelsOf(RenderWindow(Wnd));
}

void FillBacking(HWND Wnd, const TRect& Rect, uint32_t Rgb) {
    QImage* image = BackingImageOfWindow(Wnd);
    if (!image) return;
    QPainter painter(image);
    painter.fillRect(QRect(Rect.Left, Rect.Top, Rect.Width(), Rect.Height()), QColor::fromRgb(Rgb));
}

} // namespace platform_ui::test
