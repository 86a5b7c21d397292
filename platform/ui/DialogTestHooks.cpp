// Test hooks for Qt's dialogs: a timer that fires inside the dialog's own
// modal loop reads the dialog and closes it.
#include "platform/ui/private/DialogTestHooks.h"

#include "platform/ui/private/QtApplication_p.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace platform_ui::test {

namespace {

void Record(QDialog* dialog, TShownDialog& shown) {
    shown.Seen = true;
    shown.Title = dialog->windowTitle().toStdString();
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

void Watch(TShownDialog& shown, int triesLeft) {
    QTimer::singleShot(triesLeft == 100 ? 0 : 10, [&shown, triesLeft] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (triesLeft > 0) Watch(shown, triesLeft - 1);
            return;
        }
        Record(dialog, shown);
        dialog->reject();
    });
}

} // namespace

void CloseNextDialog(TShownDialog& Shown) {
    EnsureQtApplication();
    Watch(Shown, 100);
}

} // namespace platform_ui::test
