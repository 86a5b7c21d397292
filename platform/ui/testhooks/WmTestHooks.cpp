// Test hooks of the window manager: real Qt input events sent to a window's
// widget (through the same filter a user's input passes), and the backing image
// read back as plain pixels.
#include "platform/ui/testhooks/WmTestHooks.h"

#include "platform/ui/private/WindowManager_p.h"

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
} // namespace

void SendQtKey(HWND Wnd, int QtKey, unsigned Modifiers, const std::string& Text, bool Release) {
    QWidget* widget = Target(Wnd);
    if (!widget) return;
    const auto modifiers = Qt::KeyboardModifiers::fromInt(static_cast<int>(Modifiers));
    const QString text = QString::fromStdString(Text);
    QKeyEvent press(QEvent::KeyPress, QtKey, modifiers, 0, 0, 0, text, false, 1, KeyboardDevice());
    QCoreApplication::sendEvent(widget, &press);
    if (!Release || !IsLiveWindow(Wnd)) return;
    QKeyEvent release(QEvent::KeyRelease, QtKey, modifiers, 0, 0, 0, text, false, 1, KeyboardDevice());
    QCoreApplication::sendEvent(widget, &release);
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

void SendQtMouse(HWND Wnd, int Kind, TPoint WindowPoint, unsigned Button, unsigned Buttons, unsigned Modifiers) {
    QWidget* widget = Target(Wnd);
    if (!widget) return;
    static constexpr QEvent::Type Types[] = {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                             QEvent::MouseButtonDblClick};
    const QPointF local(WindowPoint.X, WindowPoint.Y);
    QMouseEvent event(Types[Kind & 3], local, local, GlobalOf(Wnd, WindowPoint), static_cast<Qt::MouseButton>(Button),
                      Qt::MouseButtons::fromInt(static_cast<int>(Buttons)),
                      Qt::KeyboardModifiers::fromInt(static_cast<int>(Modifiers)), PointerDevice());
    QCoreApplication::sendEvent(widget, &event);
}

void PostQtMouse(HWND Wnd, int Kind, TPoint WindowPoint, unsigned Button, unsigned Buttons, unsigned Modifiers) {
    QWidget* widget = Target(Wnd);
    if (!widget) return;
    static constexpr QEvent::Type Types[] = {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                             QEvent::MouseButtonDblClick};
    QCoreApplication::postEvent(widget,
                                new QMouseEvent(Types[Kind & 3], QPointF(WindowPoint.X, WindowPoint.Y),
                                                GlobalOf(Wnd, WindowPoint), static_cast<Qt::MouseButton>(Button),
                                                Qt::MouseButtons::fromInt(static_cast<int>(Buttons)),
                                                Qt::KeyboardModifiers::fromInt(static_cast<int>(Modifiers))));
}

void SendQtWheel(HWND Wnd, TPoint WindowPoint, int Delta, unsigned Modifiers) {
    QWidget* widget = Target(Wnd);
    if (!widget) return;
    QWheelEvent event(QPointF(WindowPoint.X, WindowPoint.Y), GlobalOf(Wnd, WindowPoint), QPoint(), QPoint(0, Delta),
                      Qt::NoButton, Qt::KeyboardModifiers::fromInt(static_cast<int>(Modifiers)), Qt::NoScrollPhase,
                      false, Qt::MouseEventNotSynthesized, PointerDevice());
    QCoreApplication::sendEvent(widget, &event);
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
