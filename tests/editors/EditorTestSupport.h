// Shared pieces of the editor tests.
#pragma once

#include "platform/ui/Window.h"

namespace editortest {

// Every window there is, top-level and child: painting a cell must not change it.
inline int CountWindows() {
    int count = 0;
    EnumWindows([&](HWND top) {
        ++count;
        EnumChildWindows(top, [&](HWND) { return ++count, true; });
        return true;
    });
    return count;
}

} // namespace editortest
