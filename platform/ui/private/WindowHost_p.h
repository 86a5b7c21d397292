// The window manager's Qt side, for platform/ui's own .cpp files: the widget
// behind a window, and standard controls hosted on native Qt widgets.
#pragma once

#include "platform/ui/Window.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace platform_ui {

// The Qt widget that shows a window (nullptr for message-only windows), and the
// window a widget shows or lies inside (a native control's inner widgets);
// nullptr for Qt's own windows, even those a control opens (its drop-down list,
// its context menu), whose input stays with Qt.
QWidget* WidgetOfWindow(HWND Wnd);
HWND WindowOfWidget(const QWidget* Widget);

// A window class whose windows are native Qt widgets (QLineEdit, QComboBox...).
// CreateWindowEx of the class calls Factory for the widget (parented and placed
// by the window manager; the window owns it). Qt input to that widget is still
// translated into messages first and sent through the window's procedure chain;
// only what reaches the class procedure at the bottom (NativeWindowProc, or
// DefaultProcedure which should end in it) is handed to the widget, rebuilt from
// the message: a handler that swallows WM_KEYDOWN/WM_CHAR or a mouse message
// keeps it from the widget, and one that changes WM_CHAR's character changes
// what the widget receives. The widget paints itself; the window has no emulated
// non-client area. Returns false when the class name is taken.
using TNativeWidgetFactory = std::function<QWidget*(HWND Wnd, const TCreateStruct& Create)>;
bool RegisterNativeWindowClass(const std::string& ClassName, UINT Style, TNativeWidgetFactory Factory,
                               TWindowProcedure DefaultProcedure = {});
// Puts Widget over the client area of the self-painting window Wnd (the
// window owns it): the window manager keeps it there as the frame changes, Qt's
// focus goes to it with the window's, and Qt input to it becomes the window's
// messages, which NativeWindowProc hands back to it. Hiding it shows what the
// window painted into its client area.
void SetClientWidget(HWND Wnd, QWidget* Widget);
// The default procedure of native windows: gives input messages to the widget,
// keeps WM_SETTEXT/WM_GETTEXT on the window's own text, then DefWindowProc.
void NativeWindowProc(HWND Wnd, TMessage& Message);

// The backing image of a self-painting window (its whole window rectangle;
// nullptr for native and message-only windows), and where its client area lies.
QImage* BackingImageOfWindow(HWND Wnd);
QPoint ClientOriginOfWindow(HWND Wnd);

// The window as it shows now, children included (native widgets grabbed by Qt),
// for screenshots and pixel tests of whole forms.
QImage RenderWindow(HWND Wnd);

} // namespace platform_ui
