// Test hooks for Qt's dialogs and drop-down menus: a timer that fires inside
// their own loop reads the window and closes it.
#include "platform/ui/testhooks/ModalTestHooks.h"

#include "platform/ui/Focus.h"
#include "platform/ui/private/QtApplication_p.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace platform_ui::test {

namespace {

// QWidget::mouseGrabber is set only by grabMouse, which Qt's own dialogs and
// menus never call: a grabber is one of our windows.
bool MouseHeldByUs() {
    return GetCapture() != nullptr || QWidget::mouseGrabber() != nullptr;
}

void Record(QDialog* dialog, TShownDialog& shown) {
    shown.Seen = true;
    shown.MouseHeld = MouseHeldByUs();
    shown.Title = dialog->windowTitle().toStdString();
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) shown.Text = box->text().toStdString();
    QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
    buttons.removeIf([](QPushButton* b) { return !b->isVisible(); });
    std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    for (QPushButton* b : buttons) {
        const QRect r(b->mapTo(dialog, QPoint(0, 0)), b->size());
        if (b->isDefault()) shown.DefaultButton = static_cast<int>(shown.ButtonTexts.size());
        shown.ButtonTexts.push_back(b->text().toStdString());
        shown.ButtonRects.push_back(Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()));
    }
    const QImage image = dialog->grab().toImage();
    shown.Size = {image.width(), image.height()};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            shown.Pixels.push_back(image.pixel(x, y) & 0xFFFFFF);
}

// Calls Handle with the window Find answers once there is one, looking again
// every few milliseconds for about a second.
template <class TWindow>
void WhenUp(std::function<TWindow*()> Find, std::function<void(TWindow*)> Handle, int triesLeft = 100) {
    QTimer::singleShot(10, [Find, Handle, triesLeft] {
        if (TWindow* window = Find())
            Handle(window);
        else if (triesLeft > 0)
            WhenUp(Find, Handle, triesLeft - 1);
    });
}

} // namespace

void CloseNextDialog(TShownDialog& Shown) {
    EnsureQtApplication();
    WhenUp<QDialog>([] { return qobject_cast<QDialog*>(QApplication::activeModalWidget()); },
                    [&Shown](QDialog* dialog) {
                        Record(dialog, Shown);
                        dialog->reject();
                    });
}

void CloseNextMenu(TShownMenu& Shown) {
    EnsureQtApplication();
    WhenUp<QMenu>([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); },
                  [&Shown](QMenu* menu) {
                      Shown.Seen = true;
                      Shown.MouseHeld = MouseHeldByUs();
                      if (QAction* active = menu->activeAction()) Shown.ActiveItem = active->text().toStdString();
                      menu->close();
                  });
}

} // namespace platform_ui::test
