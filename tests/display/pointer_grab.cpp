// Grabs the pointer as any other program would, lets it go at once, and
// prints what the X server answered: "free" (GrabSuccess) or the refusal
// ("already grabbed", "frozen", ...). Exit 0 only when the grab succeeded.
//   pointer_grab        (on $DISPLAY)
#include <X11/Xlib.h>

#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "pointer_grab: cannot open the display\n");
        return 2;
    }
    const int result = XGrabPointer(display, DefaultRootWindow(display), False, ButtonPressMask,
                                    GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    if (result == GrabSuccess) XUngrabPointer(display, CurrentTime);
    XCloseDisplay(display);
    static const char* const ANSWERS[] = {"free", "already grabbed", "invalid time", "not viewable", "frozen"};
    std::printf("%s\n", result >= 0 && result <= GrabFrozen ? ANSWERS[result] : "unknown");
    return result == GrabSuccess ? 0 : 1;
}
