// The wheel as lists read it: whole notches, each the desktop's wheel lines.
#pragma once

#include "platform/ui/Messages.h"
#include "platform/ui/SystemMetrics.h"

namespace platform_ui {

// The rows a wheel turn of Delta moves, positive away from the user: whole
// notches only, the rest kept in Accumulated for the next turn (which a turn
// the other way drops); a notch is the desktop's wheel lines, or PageRows
// when the desktop says a page.
inline int WheelRows(int& Accumulated, int Delta, int PageRows) {
    if ((Delta > 0) != (Accumulated > 0)) Accumulated = 0;
    Accumulated += Delta;
    const int notches = Accumulated / WHEEL_DELTA;
    Accumulated -= notches * WHEEL_DELTA;
    UINT lines = 0;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return notches * (lines == WHEEL_PAGESCROLL ? PageRows : static_cast<int>(lines));
}

} // namespace platform_ui
