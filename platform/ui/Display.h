// Whether the program can reach a graphical display. Asked before the first
// window: without one the windowing library ends the process with an abort.
#pragma once

// True when the environment names a display (DISPLAY for an X server,
// WAYLAND_DISPLAY for a Wayland compositor) or chooses a window platform
// itself (QT_QPA_PLATFORM, as the headless tests do).
bool GraphicalDisplayNamed();
