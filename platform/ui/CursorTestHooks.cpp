#include "platform/ui/private/CursorTestHooks.h"

#include "platform/ui/private/Cursor_p.h"
#include "platform/ui/private/WindowHost_p.h"

#include <QApplication>

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

} // namespace platform_ui::test
