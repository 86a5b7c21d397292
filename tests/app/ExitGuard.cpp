// These tests show windows too, so they leave the program the way the
// window-manager tests do, before Qt's exit-time teardown.
#include "tests/platform/ui/WmExitGuard.cpp"
