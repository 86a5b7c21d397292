// Hints: before Qt shows the hint of the control under the pointer, that
// control hears CM_HINTSHOW, so it may change the text or the place, or show
// none (a drop-down shows none while its list is open).
#include "platform/ui/Controls.h"

#include "platform/ui/Messages.h"
#include "platform/ui/private/ControlHost_p.h"
#include "platform/ui/private/Forms_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QToolTip>

namespace platform_ui {

namespace {

// The control whose hint shows at Point (client coordinates of Control): a
// graphic child there (the last painted is on top), else Control.
TControl* HintControlAt(TWinControl* Control, TPoint Point) {
    for (int i = Control->ControlCount() - 1; i >= 0; --i) {
        TControl* child = Control->Controls(i);
        if (!dynamic_cast<TWinControl*>(child) && child->Visible() && PtInRect(child->BoundsRect(), Point))
            return child;
    }
    return Control;
}

} // namespace

bool ShowControlHint(HWND Wnd, TPoint ScreenPoint) {
    TWinControl* window = FindControl(Wnd);
    if (!window) return false;
    const TPoint point = window->ScreenToClient(ScreenPoint);
    TControl* control = HintControlAt(window, point);
    THintInfo info;
    info.HintControl = control;
    info.HintPos = ScreenPoint;
    info.CursorPos = control->ScreenToClient(ScreenPoint);
    info.CursorRect = control->ClientRect();
    info.HintStr = control->Hint();
    const bool shows = control->ShowHint() && !info.HintStr.empty() &&
                       control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0 && !info.HintStr.empty();
    if (!shows) {
        QToolTip::hideText();
        return true;
    }
    // Qt keeps the hint while the pointer stays in a rectangle of the widget.
    const TPoint controlOrigin = control->ClientToScreen({0, 0});
    const TPoint widgetOrigin = WindowOriginOnScreen(Wnd);
    const TRect& r = info.CursorRect;
    QToolTip::showText(QPoint(info.HintPos.X, info.HintPos.Y), ToQString(info.HintStr), WidgetOfWindow(Wnd),
                       QRect(controlOrigin.X - widgetOrigin.X + r.Left, controlOrigin.Y - widgetOrigin.Y + r.Top,
                             r.Width(), r.Height()));
    return true;
}

} // namespace platform_ui
