#include "platform/ui/testhooks/CursorTestHooks.h"

#include "platform/ui/private/Cursor_p.h"
#include "platform/ui/private/WindowHost_p.h"

#include <QApplication>
#include <QBitmap>
#include <QPixmap>

namespace platform_ui::test {

bool ShowsCursor(HWND Wnd, HCURSOR Cursor) {
    QWidget* widget = WidgetOfWindow(Wnd);
    if (!widget || !Cursor) return false;
    const QCursor* over = QApplication::overrideCursor();
    return (over ? *over : widget->cursor()) == Cursor->Shape;
}

TPoint CursorHotSpot(HCURSOR Cursor) {
    const QPoint p = Cursor->Shape.hotSpot();
    return {p.x(), p.y()};
}

uint32_t CursorPixel(HCURSOR Cursor, int X, int Y) {
    const QCursor& shape = Cursor->Shape;
    if (!shape.pixmap().isNull()) return shape.pixmap().toImage().convertToFormat(QImage::Format_ARGB32).pixel(X, Y);
    // A black-and-white cursor: Qt's colour 1 is black in the bitmap and opaque in the mask.
    const auto set = [&](const QBitmap& plane) { return qGray(plane.toImage().pixel(X, Y)) < 128; };
    if (!set(shape.mask())) return 0;
    return set(shape.bitmap()) ? 0xFF000000u : 0xFFFFFFFFu;
}

} // namespace platform_ui::test
