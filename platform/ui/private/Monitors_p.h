// The monitor layout tests put in place of the desktop's screens.
#pragma once

#include "platform/ui/WinTypes.h"

#include <vector>

namespace platform_ui {

struct MonitorLayout {
    TRect Monitor;
    TRect Work;
};

// The primary monitor first; an empty list gives the desktop's screens back.
void OverrideMonitorLayout(std::vector<MonitorLayout> Monitors);

} // namespace platform_ui
