// What the window manager's files share about window objects: keeping one
// alive while its messages run, and its widget's place and stacking.
#pragma once

#include "platform/ui/WinTypes.h"

namespace platform_ui {

// Keeps the window object alive while one of its messages runs.
struct DispatchScope {
    explicit DispatchScope(HWND w);
    ~DispatchScope();
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;
    HWND Wnd;
};

// The procedure at the top of the chain gets the message.
void DeliverToChain(HWND Wnd, TMessage& Message);

// Puts the widget where the window is: children relative to the parent's
// window rectangle (whose widget covers the whole window, frame included).
void PlaceWidget(HWND w);

// Stacks the children's widgets in the children's z-order.
void StackWidgets(HWND parent);

} // namespace platform_ui
