// What the forms' implementation files share: window classes registered on
// first use, the MDI client's procedure and the application's hooks into the
// window manager.
#pragma once

#include "platform/ui/Window.h"

class TCustomForm;

namespace platform_ui {

// Registers the class name with procedure unless it is registered already.
void EnsureClass(const char* name, TWindowProcedure procedure);

// The frame an MDI child belongs to (the main form); null for any other form.
TCustomForm* MDIFrameOf(const TCustomForm* Form);

// The window procedure of an MDI frame's client window.
void MDIClientProcedure(HWND wnd, TMessage& m);

// Installs the dialog-key, menu-key, press, hint and exception hooks, the
// idle action update and the windows' icon, once.
void InstallApplicationHooks();

// The hint hook: the control under the pointer hears CM_HINTSHOW, then its
// hint shows unless it refused.
bool ShowControlHint(HWND Wnd, TPoint ScreenPoint);

} // namespace platform_ui
