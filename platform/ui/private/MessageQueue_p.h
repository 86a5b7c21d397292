// What the message queue offers the rest of the window manager beyond its
// public API: the window of the innermost input hold, and failures reported
// from the queue instead of where they were caught.
#pragma once

#include "platform/ui/WinTypes.h"

namespace platform_ui {

// A thread message the queue keeps to itself: report the failures caught where
// no box may open.
constexpr UINT WM_REPORTFAILURES = 0x03FF;

// Every failure caught where no box could open, oldest first. A loop running
// inside such a place leaves them for the message posted when it is left.
void ReportLateFailures();

// The window the innermost TInputHoldBack lets input reach; null without one.
HWND InputHoldWindow();

// While one is alive, an exception caught at the boundary is not reported at
// once: it is posted, and reported from the platform's queue once the caller
// has returned. Qt's paint events hold one, so a failed paint never opens a
// modal box inside Qt's paint.
struct ReportFailuresLater {
    ReportFailuresLater();
    ~ReportFailuresLater();
    ReportFailuresLater(const ReportFailuresLater&) = delete;
    ReportFailuresLater& operator=(const ReportFailuresLater&) = delete;
};

} // namespace platform_ui
