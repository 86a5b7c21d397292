// A cursor's Qt side, for platform/ui's own .cpp files.
#pragma once

#include "platform/ui/Cursors.h"

#include <QCursor>

struct PlatformCursor {
    QCursor Shape;
    bool Shared = false; // standard and compiled-in cursors are never destroyed
};

namespace platform_ui {

// Shows a window's class cursor over it; nullptr gives the widget back its
// own shape (an edit's I-beam).
void ApplyClassCursor(HWND Wnd, HCURSOR Cursor);

} // namespace platform_ui
