// The controls' side of the window manager, for platform/ui's own .cpp files:
// the window procedure every control window starts with, and windows of
// controls that show a native Qt widget.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/private/WindowHost_p.h"

#include <QString>
#include <Qt>

#include <exception>
#include <string>

namespace platform_ui {

// Creates the window of Control from Params: a self-painting window of the
// class Params.WinClassName, or, with a factory, a native window whose widget
// the factory makes. Messages go to Control->WindowProc first; DefaultHandler
// passes them to the class below (DefWindowProc or NativeWindowProc).
HWND CreateControlWindow(TWinControl* Control, const TCreateParams& Params, TNativeWidgetFactory Factory = {});

// A child window's WM_COMMAND (lParam the child) or WM_NOTIFY (hwndFrom) comes
// back to the child's control as CN_COMMAND / CN_NOTIFY, whose answer becomes
// the message's; false when the sender is no control (menus, plain windows).
bool ReflectToChildControl(TMessage& Message);

// The context object for Qt signal connections of a control's widget: it goes
// when the control or its window goes, and every connection with it, so a
// widget still waiting for deletion never calls into a dead control.
QObject* SignalContext(TWinControl* Control);

// Shows an exception that escaped a message handler, as the application does.
void ShowControlException(const std::exception& E);

inline QString ToQString(const std::string& S) {
    return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size()));
}
inline std::string FromQString(const QString& S) {
    return S.toUtf8().toStdString();
}

} // namespace platform_ui
