/* Another X client trying to grab the pointer, as a window manager or a
 * second program would: exits 0 when the grab succeeds (nobody holds the
 * pointer), 1 when another client holds it, 2 without a display. */
#include <X11/Xlib.h>

int main(void) {
    Display* display = XOpenDisplay(NULL);
    if (!display) return 2;
    const int result = XGrabPointer(display, DefaultRootWindow(display), False, ButtonPressMask, GrabModeAsync,
                                    GrabModeAsync, None, None, CurrentTime);
    if (result == GrabSuccess) XUngrabPointer(display, CurrentTime);
    XCloseDisplay(display);
    return result == GrabSuccess ? 0 : 1;
}
